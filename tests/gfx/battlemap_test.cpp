#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <unistd.h>
#include <vector>

#include "battleview/battleview.h"
#include "runtime/util.h"
#include "support/testdir.h"

namespace {
std::unique_ptr<battlemapdata> samplemap() {
  auto map = std::make_unique<battlemapdata>();
  clearbattlemap(*map);
  map->width = 4;
  map->depth = 3;
  map->cellsize = 100;
  for (int32_t i = 0; i < 12; i++) map->height[size_t(i)] = int16_t(i * 10 - 30);
  map->objects = 2;
  map->obj[0] = {0, 50, 60, 0, 90, 100, 10, 20, 30, 7, 0};
  map->obj[1] = {2, 300, 200, -5, 359, 1000, 255, 0, 0, 1, 1};
  return map;
}

struct TempFile {
  TestDir dir;
  std::string name = dir / "map.v3m";
  const char* path = name.c_str();
  std::vector<uint8_t> bytes() const {
    std::vector<uint8_t> out(4096);
    UniqueFile f = openfile(path, "rb");
    out.resize(fread(out.data(), 1, out.size(), f.get()));
    return out;
  }
  void put(const std::vector<uint8_t>& b) const {
    UniqueFile f = openfile(path, "wb");
    if (!b.empty()) fwrite(b.data(), 1, b.size(), f.get());
  }
};

void poke32(std::vector<uint8_t>& b, size_t at, int32_t v) {
  for (int i = 0; i < 4; i++) b[at + i] = uint8_t(uint32_t(v) >> (8 * i));
}

// Reads bytes through the reader as a file of their own length.
std::string readbytes(const std::vector<uint8_t>& b, battlemapdata& map) {
  TempFile t;
  t.put(b);
  UniqueFile f = openfile(t.path, "rb");
  const char* why = readbattlemap(f.get(), int64_t(b.size()), map);
  return why ? why : "";
}

constexpr size_t HEIGHTS = BMHEADER, OBJECTS = BMHEADER + 24;   // offsets in the sample file
}  // namespace

TEST(BattleMapFile, WritesAndReadsBackEveryField) {
  auto map = samplemap();
  TempFile t;
  ASSERT_EQ(writebattlemap(t.path, *map), 1);
  std::vector<uint8_t> b = t.bytes();
  ASSERT_EQ(b.size(), OBJECTS + 2 * MASSOBJBYTES);
  EXPECT_EQ(memcmp(b.data(), "V3BM", 4), 0);
  auto back = std::make_unique<battlemapdata>();
  ASSERT_EQ(readbytes(b, *back), "");
  EXPECT_EQ(back->width, 4);
  EXPECT_EQ(back->depth, 3);
  EXPECT_EQ(back->height[0], -30);
  EXPECT_EQ(back->height[11], 80);
  ASSERT_EQ(back->objects, 2);
  EXPECT_EQ(back->obj[1].x, 300);
  EXPECT_EQ(back->obj[1].z, -5);
  EXPECT_EQ(back->obj[1].scale, 1000);
  EXPECT_EQ(back->obj[1].red, 255);
  EXPECT_EQ(back->obj[1].decoration, 1);
  EXPECT_EQ(back->obj[0].seed, 7);
}

TEST(BattleMapFile, MarkedPlacesRoundTripAndAreCheckedAndOldFilesStillRead) {
  auto map = samplemap();
  map->entries = 2;
  map->entry[0] = {3, 2};
  map->entry[1] = {1, 0};
  TempFile t;
  ASSERT_EQ(writebattlemap(t.path, *map), 1);
  const std::vector<uint8_t> good = t.bytes();
  ASSERT_EQ(good.size(), OBJECTS + 2 * MASSOBJBYTES + 2 * MBENTRYBYTES);
  auto back = std::make_unique<battlemapdata>();
  ASSERT_EQ(readbytes(good, *back), "");
  ASSERT_EQ(back->entries, 2);
  EXPECT_EQ(back->entry[0].x, 3);
  EXPECT_EQ(back->entry[0].y, 2);
  EXPECT_EQ(battlefieldmiddle(*back).x, 3);
  EXPECT_EQ(back->entry[1].x, 1);
  // A place off the height field, and places over the objects.
  std::vector<uint8_t> b = good;
  b[good.size() - 4] = 4;   // the second place's x: one past the last vertex
  EXPECT_EQ(readbytes(b, *back), "LoadBattleMap: bad entry");
  EXPECT_EQ(back->entries, 0);
  b = good;
  poke32(b, 36, int32_t(OBJECTS + 40));
  EXPECT_EQ(readbytes(b, *back), "LoadBattleMap: sections overlap");
  // A first-version file: the shorter header, no marked places; the
  // battlefield's middle is the map's.
  b = good;
  poke32(b, 4, 1);
  b.erase(b.begin() + BMHEADER1, b.begin() + BMHEADER);
  b.resize(b.size() - 2 * MBENTRYBYTES);
  poke32(b, 20, BMHEADER1);
  poke32(b, 28, int32_t(OBJECTS) - (BMHEADER - BMHEADER1));
  ASSERT_EQ(readbytes(b, *back), "");
  EXPECT_EQ(back->entries, 0);
  EXPECT_EQ(back->objects, 2);
  EXPECT_EQ(back->height[11], 80);
  EXPECT_EQ(battlefieldmiddle(*back).x, 2);
  EXPECT_EQ(battlefieldmiddle(*back).y, 1);
}

TEST(BattleMapFile, RefusesDamagedHeadersAndLeavesTheMapEmpty) {
  auto map = samplemap();
  TempFile t;
  ASSERT_EQ(writebattlemap(t.path, *map), 1);
  const std::vector<uint8_t> good = t.bytes();
  struct Damage {
    size_t at;
    int32_t value;
    const char* why;
  };
  const Damage cases[] = {
      {0, 0x4d42, "LoadBattleMap: bad magic"},
      {4, 3, "LoadBattleMap: bad version"},
      {32, 101, "LoadBattleMap: bad entry count"},
      {36, 12, "LoadBattleMap: bad entry offset"},
      {8, 1, "LoadBattleMap: bad size"},
      {12, 257, "LoadBattleMap: bad size"},
      {8, -4, "LoadBattleMap: bad size"},
      {16, 0, "LoadBattleMap: bad cell size"},
      {20, 8, "LoadBattleMap: bad height offset"},            // inside the header
      {20, int32_t(OBJECTS + 70), "LoadBattleMap: bad height offset"},   // runs past the end
      {20, 0x7ffffff0, "LoadBattleMap: bad height offset"},
      {24, 15001, "LoadBattleMap: bad object count"},
      {24, -1, "LoadBattleMap: bad object count"},
      {24, 3, "LoadBattleMap: bad object offset"},           // a third record would run past the end
      {28, int32_t(OBJECTS - 2), "LoadBattleMap: sections overlap"},
      {28, -42, "LoadBattleMap: bad object offset"},
  };
  for (const Damage& d : cases) {
    std::vector<uint8_t> b = good;
    poke32(b, d.at, d.value);
    auto back = samplemap();
    EXPECT_EQ(readbytes(b, *back), d.why) << "at " << d.at;
    EXPECT_EQ(back->width, 0);
    EXPECT_EQ(back->objects, 0);
  }
}

TEST(BattleMapFile, RefusesObjectsThatCannotStandOnTheMap) {
  struct Damage {
    size_t field;   // int32 field of the second record
    int32_t value;
    const char* why;
  };
  const Damage cases[] = {
      {0, 4, "LoadBattleMap: bad object kind"},     {1, 301, "LoadBattleMap: bad object position"},
      {2, -1, "LoadBattleMap: bad object position"}, {4, 360, "LoadBattleMap: bad object angle"},
      {5, 0, "LoadBattleMap: bad object scale"},     {8, 256, "LoadBattleMap: bad object colour"},
  };
  auto map = samplemap();
  TempFile t;
  ASSERT_EQ(writebattlemap(t.path, *map), 1);
  const std::vector<uint8_t> good = t.bytes();
  for (const Damage& d : cases) {
    std::vector<uint8_t> b = good;
    poke32(b, OBJECTS + MASSOBJBYTES + 4 * d.field, d.value);
    auto back = std::make_unique<battlemapdata>();
    EXPECT_EQ(readbytes(b, *back), d.why) << "field " << d.field;
    EXPECT_EQ(back->objects, 0);
  }
}

TEST(BattleMapFile, EveryTruncationIsRefused) {
  auto map = samplemap();
  TempFile t;
  ASSERT_EQ(writebattlemap(t.path, *map), 1);
  const std::vector<uint8_t> good = t.bytes();
  for (size_t n = 0; n < good.size(); n++) {
    std::vector<uint8_t> b(good.begin(), good.begin() + long(n));
    auto back = std::make_unique<battlemapdata>();
    EXPECT_NE(readbytes(b, *back), "") << "length " << n;
    EXPECT_EQ(back->width, 0);
  }
  // A stated length beyond what the stream holds is caught by the short read.
  TempFile shortfile;
  shortfile.put(std::vector<uint8_t>(good.begin(), good.begin() + HEIGHTS + 6));
  UniqueFile f = openfile(shortfile.path, "rb");
  auto back = std::make_unique<battlemapdata>();
  EXPECT_STREQ(readbattlemap(f.get(), int64_t(good.size()), *back), "LoadBattleMap: file too short");
}

TEST(LoadBattleMap, FailedLoadEmptiesThePreviousMapAndObjectChoicesApply) {
  auto map = samplemap();
  TempFile t;
  ASSERT_EQ(writebattlemap(t.path, *map), 1);
  int32_t savedextra = battleextradetail;
  battleextradetail = 1;
  ASSERT_EQ(LoadBattleMap(t.path, 0, 1, 1), 1);
  EXPECT_EQ(battlemap.objects, 2);
  battleextradetail = 0;
  ASSERT_EQ(LoadBattleMap(t.path, 0, 1, 1), 1);
  EXPECT_EQ(battlemap.objects, 1);   // decoration left out without extra detail
  EXPECT_EQ(battlemap.obj[0].x, 50);
  ASSERT_EQ(LoadBattleMap(t.path, 1, 1, 1), 1);
  EXPECT_EQ(battlemap.objects, 2);   // the editor keeps everything
  ASSERT_EQ(LoadBattleMap(t.path, 0, 1, 0), 1);
  EXPECT_EQ(battlemap.objects, 0);
  EXPECT_EQ(battlemap.width, 4);
  battleextradetail = savedextra;

  uint32_t generation = battlemapgeneration;
  EXPECT_EQ(LoadBattleMap("/nonexistent/plain0.v3m", 0, 1, 1), 0);
  EXPECT_EQ(battlemap.width, 0);
  EXPECT_NE(battlemapgeneration, generation);   // the view rebuilds from the empty map
}

TEST(BattleMapHeight, InterpolatesBetweenVerticesAndIsZeroOutside) {
  auto map = samplemap();   // heights: row 0 = -30 -20 -10 0, row 1 = 10 20 30 40
  EXPECT_FLOAT_EQ(battlemapheight(*map, 0, 0), -30.0f);
  EXPECT_FLOAT_EQ(battlemapheight(*map, 50, 0), -25.0f);
  EXPECT_FLOAT_EQ(battlemapheight(*map, 0, 50), -10.0f);
  EXPECT_FLOAT_EQ(battlemapheight(*map, 300, 200), 80.0f);   // far corner
  EXPECT_FLOAT_EQ(battlemapheight(*map, 301, 0), 0.0f);
  EXPECT_FLOAT_EQ(battlemapheight(*map, -1, 0), 0.0f);
  clearbattlemap(*map);
  EXPECT_FLOAT_EQ(battlemapheight(*map, 0, 0), 0.0f);
}

TEST(BattleMapArt, BenchmarkPlainLoads) {
  char path[PATHLEN];
  formatbounded(path, PATHLEN, "%s/battlemaps/plain0.v3m", VEY3_DATA_DIR);
  ASSERT_EQ(LoadBattleMap(path, 1, 1, 1), 1);
  EXPECT_GE(battlemap.width, 32);
  EXPECT_GT(battlemap.objects, 3);
}
