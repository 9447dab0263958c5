#include <cstring>
#include <filesystem>

#include "gamefiles/gamefiles.h"
#include "runtime/binio.h"
#include "runtime/rnd.h"
#include "support/gamefolders.h"

namespace {

std::string savefile(const char* name) { return std::string(savepath) + "/" + name; }
// A nation's file in a game folder.
std::string savefile(const char* folder, int realm, const char* ext) {
  return std::string(savepath) + "/" + folder + realmword(realm) + ext;
}

// Writes a header-only file the way the game does.
void makefile(const char* gname, int32_t gamenbr, int32_t turn, int32_t turnfile, int32_t realm, const char* pass,
              int withcrc = 0) {
  GameFile file = createfileheader(gname, gamenbr, turn, turnfile, realm, pass, 0);
  ASSERT_TRUE(file);
  ASSERT_TRUE(closegamefile(std::move(file), withcrc));
}

// A header with the given version, patched into a written file.
void setversion(const std::string& path, int32_t version) {
  std::vector<uint8_t> bytes = readbytes(path);
  memcpy(&bytes[10], &version, 4);
  writebytes(path, bytes);
}

int32_t at32(const std::vector<uint8_t>& b, size_t offset) {
  int32_t v;
  memcpy(&v, &b[offset], 4);
  return v;
}

}  // namespace

using Header = GameFolders;

TEST_F(Header, GoldenBytesOfAnOrderFileHeader) {
  strlcopy(masterpassword, "", sizeof masterpassword);
  makefile("g1", 5, 3, 0, 7, "pw");
  std::vector<uint8_t> b = readbytes(savefile("g1/", 7, ".2h"));
  const uint8_t magic[6] = {1, 2, 4, 'V', 'E', 'Y'};
  ASSERT_GE(b.size(), 38u);
  EXPECT_EQ(0, memcmp(b.data(), magic, 6));
  EXPECT_EQ(at32(b, 10), 327);
  EXPECT_EQ(at32(b, 14), 3);
  EXPECT_EQ(at32(b, 18), 0);
  EXPECT_EQ(at32(b, 22), 5);
  EXPECT_EQ(at32(b, 26), 7);
  EXPECT_EQ(at32(b, 30), 0);
  // Game name "g1" masked, then "pw" keyed, then the empty master password, then 12345.
  const std::vector<uint8_t> tail = {'g' ^ 0xC5, '1' ^ 0xC5, 0xC5, 'p' ^ 0xB3, 'w' ^ uint8_t(0xB3 + 'p'),
                                     uint8_t(0xB3 + 'p' + 'w'), 0xB3, 0x39, 0x30, 0x00, 0x00};
  EXPECT_EQ(std::vector<uint8_t>(b.begin() + 38, b.end()), tail);
}

TEST_F(Header, PathsFollowRealmAndKind) {
  EXPECT_STREQ(realmword(0), "early_raraduvizaro");
  EXPECT_STREQ(realmword(23), "x1");
  makefile("g2", 1, 0, 1, -1, nullptr);
  makefile("g2", 1, 0, 1, 4, "a");
  makefile("g2", 1, 0, 0, 4, "a");
  EXPECT_TRUE(fileexists("%s/g2/ftherlnd", savepath));
  EXPECT_TRUE(fileexists("%s/g2/%s.trn", savepath, realmword(4)));
  EXPECT_TRUE(fileexists("%s/g2/%s.2h", savepath, realmword(4)));
  EXPECT_STREQ(lastfilepath, savefile("g2/", 4, ".2h").c_str());
}

TEST_F(Header, ReadBackGivesTurnPasswordMasterAndGameNumber) {
  strlcopy(masterpassword, "boss", sizeof masterpassword);
  makefile("g3", 77, 12, 0, 2, "secret");
  memset(headermasterpass, 0, sizeof headermasterpass);
  int32_t turn = -5;
  char pass[50] = {};
  UniqueFile f = readfileheader("g3", 77, 12, 0, 2, &turn, pass, nullptr, nullptr);
  ASSERT_TRUE(f);
  EXPECT_EQ(turn, 12);
  EXPECT_STREQ(pass, "secret");
  EXPECT_STREQ(headermasterpass, "boss");
  EXPECT_EQ(filegamenumber, 77);
  EXPECT_EQ(readversion, 327);
  EXPECT_EQ(headererror, 0);
  // Any game and any turn when none is asked for.
  EXPECT_TRUE(readfileheader("g3", 0, -1, 0, 2, &turn, nullptr, nullptr, nullptr));
}

TEST_F(Header, RefusalsReturnNoneAndSetTheHeaderError) {
  int32_t turn;
  makefile("g4", 9, 4, 0, 3, "x");
  makefile("g4", 9, 4, 1, -1, nullptr);
  EXPECT_FALSE(readfileheader("g4", 0, -1, 0, 5, &turn, nullptr, nullptr, nullptr));   // missing
  EXPECT_EQ(headererror, 0);
  EXPECT_FALSE(readfileheader("g4", 10, -1, 0, 3, &turn, nullptr, nullptr, nullptr));  // other game
  EXPECT_EQ(headererror, -2);
  EXPECT_FALSE(readfileheader("g4", 9, 5, 0, 3, &turn, nullptr, nullptr, nullptr));    // other turn
  EXPECT_EQ(headererror, 0);
  EXPECT_TRUE(readfileheader("g4", 9, 5, 1, -1, &turn, nullptr, nullptr, nullptr));    // world: any turn
  // The file of realm 3 copied to realm 6's name: foreign.
  copyfile(savefile("g4/", 3, ".2h").c_str(), savefile("g4/", 6, ".2h").c_str());
  EXPECT_FALSE(readfileheader("g4", 9, 4, 0, 6, &turn, nullptr, nullptr, nullptr));
  std::vector<uint8_t> b = readbytes(savefile("g4/", 3, ".2h"));
  b[3] = 'X';
  writebytes(savefile("g4/", 3, ".2h"), b);
  EXPECT_FALSE(readfileheader("g4", 9, 4, 0, 3, &turn, nullptr, nullptr, nullptr));
  EXPECT_EQ(headererror, -1);
}

TEST_F(Header, VersionLimits) {
  int32_t turn;
  makefile("g5", 1, 0, 0, 1, "x");
  std::string path = savefile("g5/", 1, ".2h");
  setversion(path, 264);
  EXPECT_TRUE(readfileheader("g5", 1, 0, 0, 1, &turn, nullptr, nullptr, nullptr));
  EXPECT_EQ(readversion, 264);
  setversion(path, 263);
  EXPECT_DEATH(readfileheader("g5", 1, 0, 0, 1, &turn, nullptr, nullptr, nullptr), "Save files are too old 327 263");
  setversion(path, 229);
  EXPECT_DEATH(readfileheader("g5", 1, 0, 0, 1, &turn, nullptr, nullptr, nullptr), "earlier generation");
  setversion(path, 328);
  EXPECT_DEATH(readfileheader("g5", 1, 0, 0, 1, &turn, nullptr, nullptr, nullptr),
               "Veyrances version is too old(.|\n)*myversion327 fileversion328 nation1");
  // Untrusted reading refuses the same file without stopping.
  SoftReadScope soft;
  EXPECT_FALSE(readfileheader("g5", 1, 0, 0, 1, &turn, nullptr, nullptr, nullptr));
  EXPECT_TRUE(binreadfailed);
}

TEST_F(Header, BadCheckAndBadArgumentsStop) {
  int32_t turn;
  makefile("g6", 1, 0, 0, 1, "x");
  std::string path = savefile("g6/", 1, ".2h");
  std::vector<uint8_t> b = readbytes(path);
  b[b.size() - 4] ^= 1;
  writebytes(path, b);
  EXPECT_DEATH(readfileheader("g6", 1, 0, 0, 1, &turn, nullptr, nullptr, nullptr), "readfileheader: bad CHECK");
  EXPECT_DEATH(readfileheader("g6", 1, 0, 0, 95, &turn, nullptr, nullptr, nullptr), "rfh: bad realmnbr");
  EXPECT_DEATH(readfileheader("g6", 1, 0, 0, 1, nullptr, nullptr, nullptr, nullptr), "rfh: bad pointer");
  EXPECT_DEATH(createfileheader("g6", 1, 0, 0, 95, "", 0), "cfh: bad realmnbr");
  EXPECT_DEATH(createfileheader("g6", 1, 30001, 0, 1, "", 0), "cfh: bad turnnbr");
  EXPECT_DEATH(createfileheader(nullptr, 1, 0, 0, 1, "", 0), "cfh: bad gname");
}

TEST_F(Header, UnfinishedFileLeavesTheOldOneAndNoLeftovers) {
  makefile("g7", 1, 0, 0, 1, "old");
  std::vector<uint8_t> before = readbytes(savefile("g7/", 1, ".2h"));
  {
    GameFile file = createfileheader("g7", 1, 1, 0, 1, "new", 0);
    fputs("half a body", gamefilestream(file));
  }   // dropped without closegamefile, as after an error
  EXPECT_EQ(readbytes(savefile("g7/", 1, ".2h")), before);
  int entries = 0;
  for ([[maybe_unused]] auto& entry : std::filesystem::directory_iterator(savefile("g7"))) entries++;
  EXPECT_EQ(entries, 1);
}

TEST(Checksum, GoldenValues) {
  const uint8_t one[1] = {7};
  EXPECT_EQ(calccrc(one, 1, 0), int32_t(randtab[7] & 0xFFFF));
  uint8_t two[2] = {7, 200};
  uint32_t s = randtab[7];
  s += randtab[(s + 200) & 255];
  EXPECT_EQ(calccrc(two, 2, 0), int32_t(s & 0xFFFF));
  EXPECT_EQ(calccrc(two, 0, 0), 0);
  // Mode 1 leaves out the last two bytes and records them (last byte high).
  uint8_t three[3] = {7, 0x34, 0x12};
  EXPECT_EQ(calccrc(three, 3, 1), int32_t(randtab[7] & 0xFFFF));
  EXPECT_EQ(storedcrc, 0x1234);
}

TEST_F(Header, AddcrcThenCheckcrcAndTamper) {
  makefile("g8", 1, 0, 0, 1, "x");
  std::string path = savefile("g8/", 1, ".2h");
  std::vector<uint8_t> plain = readbytes(path);
  int32_t crc = addcrc(path.c_str());
  std::vector<uint8_t> withcrc = readbytes(path);
  ASSERT_EQ(withcrc.size(), plain.size() + 2);
  EXPECT_EQ(withcrc[plain.size()] | withcrc[plain.size() + 1] << 8, crc);
  EXPECT_EQ(checkcrc(path.c_str()), 1);
  // The writer's own checksum is the same as addcrc's.
  makefile("g8", 1, 0, 0, 1, "x", 1);
  EXPECT_EQ(readbytes(path), withcrc);
  withcrc[20] ^= 0x40;
  writebytes(path, withcrc);
  EXPECT_EQ(checkcrc(path.c_str()), 0);
  writebytes(path, {});
  EXPECT_EQ(checkcrc(path.c_str()), 0);
  writebytes(path, {1});
  EXPECT_EQ(checkcrc(path.c_str()), 0);
  EXPECT_EQ(checkcrc(savefile("g8/none").c_str()), 0);
  EXPECT_DEATH(addcrc(savefile("g8/none").c_str()), "addcrc: can't open file: .*/g8/none: there is no such file or folder");
}
