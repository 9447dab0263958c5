#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "gfx/gfx.h"
#include "runtime/trs.h"
#include "runtime/util.h"
#include "support/testdir.h"

namespace {
TrsImage solid(int w, int h, int frames, uint8_t r, uint8_t a = 255) {
  TrsImage im;
  im.width = w, im.height = h, im.frames = frames;
  for (int i = 0; i < w * h * frames; i++)
    for (uint8_t v : {r, uint8_t(i), uint8_t(0), a}) im.pixels.push_back(v);
  return im;
}
}  // namespace

TEST(TrsArchive, WrittenSpritesReadBack) {
  std::vector<TrsImage> images = {solid(3, 2, 1, 10), solid(1, 5, 3, 20)};
  std::vector<uint8_t> bytes = encodetrs(images);
  EXPECT_EQ(std::string(bytes.begin(), bytes.begin() + 3), "TCS");
  ASSERT_EQ(trscheck(bytes.data(), int64_t(bytes.size())), 1);
  EXPECT_EQ(trscount(bytes.data()), 2);
  TrsSprite s = trssprite(bytes.data(), 1);
  EXPECT_EQ(s.width, 1);
  EXPECT_EQ(s.height, 5);
  EXPECT_EQ(s.frames, 3);
  EXPECT_EQ(std::vector<uint8_t>(s.pixels, s.pixels + 60), images[1].pixels);
  EXPECT_EQ(trssprite(bytes.data(), 2).pixels, nullptr);
  EXPECT_EQ(trssprite(bytes.data(), -1).width, 0);
}

TEST(TrsArchive, EveryDamageIsRefused) {
  std::vector<TrsImage> images = {solid(2, 2, 1, 1), solid(2, 1, 2, 2)};
  const std::vector<uint8_t> good = encodetrs(images);
  for (size_t n = 0; n < good.size(); n++) EXPECT_EQ(trscheck(good.data(), int64_t(n)), 0) << n;
  auto refused = [](std::vector<uint8_t> d) { return trscheck(d.data(), int64_t(d.size())) == 0; };
  auto with = [&](size_t at, uint8_t v) {
    std::vector<uint8_t> d = good;
    d[at] = v;
    return d;
  };
  EXPECT_TRUE(refused(with(0, 'X')));
  EXPECT_TRUE(refused(with(3, 9)));        // version
  EXPECT_TRUE(refused(with(4, 0)));        // no sprites
  EXPECT_TRUE(refused(with(6, 1)));        // 65538 sprites
  EXPECT_TRUE(refused(with(8, 4)));        // first record inside the header
  EXPECT_TRUE(refused(with(9, 0x10)));     // first record beyond the file
  size_t rec = good[8];
  EXPECT_TRUE(refused(with(rec, 0)));      // width 0
  EXPECT_TRUE(refused(with(rec + 1, 4)));  // width 1026
  EXPECT_TRUE(refused(with(rec + 4, 65))); // too many frames
  size_t last = good[12];
  EXPECT_TRUE(refused(with(last + 2, 3))); // taller than the bytes stored
  EXPECT_EQ(trscheck(nullptr, 0), 0);
}

TEST(TrsCache, LoadsFromTheFolderReplacesInTurnAndKeepsTheBudget) {
  TestDir folder;
  const std::string& dir = folder.path;
  settrsfolder(dir.c_str());
  flushtrscache();
  std::vector<TrsImage> small = {solid(4, 4, 1, 5)};
  for (int file = 0; file < TRSFILES; file++)
    ASSERT_EQ(savetrsfile((dir + "/" + trsfilename(file)).c_str(), small), 1);
  EXPECT_EQ(loadtrsfile(TRSFILES), 0);
  EXPECT_EQ(loadtrsfile(-1), 0);
  for (int file = 0; file < TRSCACHESLOTS; file++) ASSERT_EQ(loadtrsfile(file), 1);
  for (int file = 0; file < TRSCACHESLOTS; file++) EXPECT_NE(trsfiledata(file), nullptr);
  ASSERT_EQ(loadtrsfile(TRSCACHESLOTS), 1);   // the eleventh replaces the first slot
  EXPECT_EQ(trsfiledata(0), nullptr);
  EXPECT_NE(trsfiledata(1), nullptr);

  // Two archives of 600,000 bytes do not fit the budget together.
  std::vector<TrsImage> big = {solid(300, 500, 1, 9)};
  ASSERT_EQ(savetrsfile((dir + "/" + trsfilename(20)).c_str(), big), 1);
  ASSERT_EQ(savetrsfile((dir + "/" + trsfilename(21)).c_str(), big), 1);
  ASSERT_EQ(loadtrsfile(20), 1);
  ASSERT_EQ(loadtrsfile(21), 1);
  EXPECT_EQ(trsfiledata(20), nullptr);
  EXPECT_NE(trsfiledata(21), nullptr);

  // A damaged or missing archive is not cached.
  FILE* f = fopen((dir + "/" + trsfilename(30)).c_str(), "wb");
  fputs("TCS\x01garbage", f);
  fclose(f);
  EXPECT_EQ(loadtrsfile(30), 0);
  remove((dir + "/" + trsfilename(31)).c_str());
  EXPECT_EQ(loadtrsfile(31), 0);
  flushtrscache();
  EXPECT_EQ(trsfiledata(21), nullptr);
}

TEST(TrsCache, TheBuildMakesTheMapAndArmyArchives) {
  settrsfolder("/nonexistent");
  ASSERT_EQ(loadtrsfile(TRS_MAPSTUFF), 0);
  // Start-up hands the sprite layer the data folder and an empty cache.
  initsprites(VEY3_DATA_DIR);
  ASSERT_EQ(loadtrsfile(TRS_MAPSTUFF), 1);
  EXPECT_GE(trscount(trsfiledata(TRS_MAPSTUFF)), 50);
  ASSERT_EQ(loadtrsfile(TRS_ARMY), 1);
  EXPECT_STREQ(trsfilename(TRS_ARMY), "army.trs");
  EXPECT_GE(trscount(trsfiledata(TRS_ARMY)), 64);
  flushtrscache();
}

// A button's lit and dim pictures are the same shape in other light, so the
// turn screen's column shows the same thing whether or not it can be used.
TEST(TrsCache, LitAndDimButtonsOfTheArmyColumnShowTheSameThing) {
  initsprites(VEY3_DATA_DIR);
  ASSERT_EQ(loadtrsfile(TRS_MISC2), 1);
  const uint8_t* archive = trsfiledata(TRS_MISC2);
  auto shape = [&](int32_t nr) {
    const TrsSprite s = trssprite(archive, nr);
    std::vector<bool> opaque;
    for (int32_t i = 0; i < s.width * s.height; i++) opaque.push_back(s.pixels[4 * i + 3] > 0);
    return opaque;
  };
  const int32_t pairs[][2] = {{SPRITE2_ARMYSETUP, SPRITE2_ARMYSETUPLIT},
                              {SPRITE2_MERCENARIES, SPRITE2_MERCENARIESLIT},
                              {SPRITE2_RECRUIT, SPRITE2_RECRUITLIT}};
  for (const auto& [dim, lit] : pairs) {
    EXPECT_FALSE(shape(dim).empty()) << dim;
    EXPECT_EQ(shape(dim), shape(lit)) << dim << " and " << lit;
  }
  EXPECT_NE(shape(SPRITE2_MERCENARIES), shape(SPRITE2_RECRUIT));
  flushtrscache();
}

TEST(TrsDraw, ScalesClipsAndBlends) {
  TrsImage im;
  im.width = 2, im.height = 1, im.frames = 2;
  im.pixels = {10, 0, 0, 255, 20, 0, 0, 0, 30, 0, 0, 255, 40, 0, 0, 128};
  std::vector<uint8_t> bytes = encodetrs(std::span<const TrsImage>(&im, 1));
  TrsSprite s = trssprite(bytes.data(), 0);
  std::vector<uint8_t> target(3 * 2 * 4, 100);
  // Frame 1 at 4 x 2 from column -1: only columns 0..2 land in the 3-wide block.
  drawtrssprite(s, 1, target.data(), 3, 2, -1, 0, 4, 2, 0, 0);
  EXPECT_EQ(target[0], 30);   // sprite column 0 (scaled) at target 0
  EXPECT_EQ(target[4], 40);
  EXPECT_EQ(target[7], 128);
  EXPECT_EQ(target[12], 30);  // second row
  std::vector<uint8_t> blend(4, 100);
  blend[3] = 200;
  drawtrssprite(s, 1, blend.data(), 1, 1, 0, 0, 1, 1, TRSDRAW_BLEND | TRSDRAW_KEEPALPHA, 0);
  EXPECT_EQ(blend[0], 30);
  EXPECT_EQ(blend[3], 200);
  drawtrssprite(s, 0, blend.data(), 1, 1, -1, 0, 2, 1, TRSDRAW_BLEND, 0);   // transparent pixel
  EXPECT_EQ(blend[0], 30);
  drawtrssprite(s, 2, blend.data(), 1, 1, 0, 0, 1, 1, 0, 0);                // no such frame
  drawtrssprite(s, 0, blend.data(), 1, 1, 5, 5, 1, 1, 0, 0);                // wholly outside
  EXPECT_EQ(blend[0], 30);
}
