#include <cstring>

#include "gamefiles/gamefiles.h"
#include "runtime/binio.h"
#include "support/gamefolders.h"
#include "world/units.h"

namespace {

// A stand-in replay: marker, three header values, a checksum block.
void fakereplay(FILE* f, int32_t land) {
  writevcrmarker(f);
  putint(land, f);
  putint(land + 1, f);
  putint(land + 2, f);
  write_checksums(f);
}

}  // namespace

TEST(Checksums, BlockLayoutForEmptyAndFullTables) {
  battlechecksums.fill(0);
  std::vector<uint8_t> empty = streambytes([](FILE* f) { write_checksums(f); });
  const std::vector<uint8_t> golden = {0xE0, 0x58, 0x01, 0x00, 0x00, 0x00, 0x1E, 0xE3, 0x01, 0x00};
  EXPECT_EQ(empty, golden);
  for (int i = 0; i < MAXCHECKSUMS; i++) battlechecksums[i] = 1000 + i;
  std::vector<uint8_t> full = streambytes([](FILE* f) { write_checksums(f); });
  EXPECT_EQ(full.size(), 4u + 2 + 75 * 4 + 4);
  battlechecksums.fill(0);
  FILE* f = bytestream(full);
  EXPECT_EQ(readchecksums(f), 75);
  fclose(f);
  EXPECT_EQ(battlechecksums[74], 1074);
  // A table with a zero in the middle keeps only the part before it.
  battlechecksums[3] = 0;
  std::vector<uint8_t> part = streambytes([](FILE* f) { write_checksums(f); });
  f = bytestream(part);
  EXPECT_EQ(readchecksums(f), 3);
  fclose(f);
  EXPECT_EQ(battlechecksums[2], 1002);
  EXPECT_EQ(battlechecksums[3], 0);
  EXPECT_EQ(battlechecksums[10], 0);
}

TEST(Checksums, MissingBlockOversizeCountAndBadEnd) {
  for (int i = 0; i < MAXCHECKSUMS; i++) battlechecksums[i] = 5;
  std::vector<uint8_t> none = streambytes([](FILE* f) { putint(12345, f); });
  FILE* f = bytestream(none);
  EXPECT_EQ(readchecksums(f), -1);
  fclose(f);
  for (int i = 0; i < MAXCHECKSUMS; i++) EXPECT_EQ(battlechecksums[i], 0);
  // 80 stored entries: the five past the table are read and dropped.
  std::vector<uint8_t> big = streambytes([](FILE* f) {
    putint(VCRCHECKSTART, f);
    putshort(80, f);
    for (int i = 0; i < 80; i++) putint(i + 1, f);
    putint(VCRCHECKEND, f);
  });
  f = bytestream(big);
  EXPECT_EQ(readchecksums(f), 80);
  fclose(f);
  EXPECT_EQ(battlechecksums[74], 75);
  big.back() ^= 1;
  f = bytestream(big);
  EXPECT_DEATH(readchecksums(f), "readchecksums: bad check");
  fclose(f);
}

using Replays = GameFolders;

TEST_F(Replays, FindByNumberInsideATurnFile) {
  battlechecksums.fill(0);
  std::vector<uint8_t> bytes = streambytes([](FILE* f) {
    put_string("stray _vcr text", f);   // masked: cannot form a marker
    fputs("_vcr_vcr_vc", f);           // raw bytes close to a marker
    putint(12345, f);
    fakereplay(f, 10);
    fakereplay(f, 20);
  });
  FILE* f = bytestream(bytes);
  ASSERT_EQ(find_vcr(1, f), 1);
  int32_t land = 0, defender = 0, attacker = 0;
  readvcrheader(&land, &defender, &attacker, f);
  EXPECT_EQ(land, 20);
  EXPECT_EQ(attacker, 22);
  rewind(f);
  ASSERT_EQ(find_vcr(0, f), 1);
  readvcrheader(&land, &defender, &attacker, f);
  EXPECT_EQ(land, 10);
  rewind(f);
  EXPECT_EQ(find_vcr(2, f), 0);
  rewind(f);
  fseek(f, 2, SEEK_SET);
  EXPECT_DEATH(readvcrheader(&land, &defender, &attacker, f), "bad vcr header");
  fclose(f);
}

TEST_F(Replays, NumberingAppendingAndRemoval) {
  EXPECT_EQ(freevcrnumber(4), 0);
  char path[PATHLEN];
  for (int n : {0, 1, 3}) {
    vcrpath(path, PATHLEN, 4, n);
    FILE* f = fopen(path, "wb");
    fakereplay(f, n);
    fclose(f);
  }
  EXPECT_EQ(freevcrnumber(4), 2);
  EXPECT_EQ(freevcrnumber(5), 0);
  // Appending stops at the first missing number: replays 0 and 1 only.
  std::vector<uint8_t> joined = streambytes([](FILE* f) { EXPECT_EQ(appendvcrs(4, f), 2); });
  FILE* f = bytestream(joined);
  EXPECT_EQ(find_vcr(1, f), 1);
  EXPECT_EQ(find_vcr(0, f), 0);
  fclose(f);
  removevcrs();
  vcrpath(path, PATHLEN, 4, 0);
  EXPECT_FALSE(fileexists("%s", path));
  vcrpath(path, PATHLEN, 4, 3);
  EXPECT_TRUE(fileexists("%s", path));   // removal also stops at the first gap
}

using Designs = GameFolders;

TEST_F(Designs, SlotsAndCount) {
  mkdirs((std::string(savepath) + "/newlords").c_str());
  auto touch = [](int n) {
    char path[PATHLEN];
    formatbounded(path, PATHLEN, "%s/newlords/%s_%d.2h", savepath, realmword(6), n);
    fclose(fopen(path, "wb"));
  };
  EXPECT_EQ(newlordslot(6), 0);
  touch(0);
  touch(1);
  touch(3);
  EXPECT_EQ(newlordslot(6), 2);
  EXPECT_EQ(countnewlords(6), 3);
  EXPECT_EQ(countnewlords(7), 0);
  touch(60);
  EXPECT_EQ(countnewlords(6), 4);
  for (int n = 0; n < 4; n++) {
    char path[PATHLEN];
    formatbounded(path, PATHLEN, "%s/newlords/%s_%d.2h", savepath, realmword(6), n);
    remove(path);
  }
  EXPECT_EQ(countnewlords(6), 0);   // only slot 60: given up past slot 50
}
