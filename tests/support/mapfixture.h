// Shared set-up of the world-creation tests: private maps and saved-games
// folders, and writers of hand-made map images.
#pragma once
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdio>
#include <string>
#include <vector>

#include "runtime/folders.h"
#include "runtime/image.h"
#include "runtime/options.h"
#include "runtime/util.h"
#include "support/scratch.h"
#include "world/gamedata.h"
#include "world/world.h"
#include "worldgen/worldgen.h"

// A picture in buffer order (row 0 = bottom row), 4 bytes a pixel.
struct Picture {
  int32_t w, h;
  std::vector<uint8_t> px;
  Picture(int32_t width, int32_t height, uint8_t r = 0, uint8_t g = 90, uint8_t b = 0)
      : w(width), h(height), px(size_t(width * height * 4)) {
    for (int32_t i = 0; i < w * h; i++) {
      px[size_t(i * 4)] = r;
      px[size_t(i * 4 + 1)] = g;
      px[size_t(i * 4 + 2)] = b;
      px[size_t(i * 4 + 3)] = 255;
    }
  }
  void set(int32_t x, int32_t y, uint8_t r, uint8_t g, uint8_t b, uint8_t a = 255) {
    uint8_t* p = &px[size_t((y * w + x) * 4)];
    p[0] = r, p[1] = g, p[2] = b, p[3] = a;
  }
  void white(int32_t x, int32_t y) { set(x, y, 255, 255, 255); }
  void redcolumn(int32_t x) {
    for (int32_t y = 0; y < h; y++) set(x, y, 200, 10, 10);
  }
  void redrow(int32_t y) {
    for (int32_t x = 0; x < w; x++) set(x, y, 200, 10, 10);
  }
};

// Uncompressed 32-bit TGA, written top row first when toporigin is set.
inline void writetga(const std::string& path, const Picture& p, bool toporigin) {
  std::vector<uint8_t> d(18, 0);
  d[2] = 2;
  d[12] = uint8_t(p.w), d[13] = uint8_t(p.w >> 8), d[14] = uint8_t(p.h), d[15] = uint8_t(p.h >> 8);
  d[16] = 32;
  d[17] = uint8_t(8 | (toporigin ? 0x20 : 0));
  for (int32_t r = 0; r < p.h; r++) {
    int32_t y = toporigin ? p.h - 1 - r : r;
    for (int32_t x = 0; x < p.w; x++) {
      const uint8_t* q = &p.px[size_t((y * p.w + x) * 4)];
      d.push_back(q[2]), d.push_back(q[1]), d.push_back(q[0]), d.push_back(q[3]);
    }
  }
  FILE* f = fopen(path.c_str(), "wb");
  ASSERT_NE(f, nullptr);
  fwrite(d.data(), 1, d.size(), f);
  fclose(f);
}

// A small picture that gives one province.
inline void writeoneprovince(const std::string& path) {
  Picture p(4, 4);
  p.white(1, 1);
  writetga(path, p, false);
}

inline void writetext(const std::string& path, const std::string& text) {
  FILE* f = fopen(path.c_str(), "wb");
  ASSERT_NE(f, nullptr);
  fwrite(text.data(), 1, text.size(), f);
  fclose(f);
}

// The whole file as text; empty when it cannot be read.
inline std::string readtext(const std::string& path) {
  FILE* f = fopen(path.c_str(), "rb");
  if (!f) return "";
  std::string text;
  char buf[4096];
  size_t n;
  while ((n = fread(buf, 1, sizeof buf, f)) > 0) text.append(buf, n);
  fclose(f);
  return text;
}

// Points the maps, local maps and saved-games folders at a fresh folder.
class MapFolders : public testing::Test {
 protected:
  std::string root;
  // Where the folders stand; a test whose child drops to a plain user sets
  // Reach::plainuser before SetUp.
  Reach reach = Reach::self;
  void SetUp() override {
    root = makescratch("vey3wg_", reach);
    ASSERT_FALSE(root.empty()) << "no folder that a plain user reaches";
    mkdirs((root + "/maps").c_str());
    mkdirs((root + "/local").c_str());
    mkdirs((root + "/save").c_str());
    strlcopy(mappath, (root + "/maps").c_str(), PATHLEN);
    strlcopy(localmappath, (root + "/local").c_str(), PATHLEN);
    strlcopy(savepath, (root + "/save").c_str(), PATHLEN);
    freebigmap();
    mapimage.imagename[0] = 0;
    clearworld();
  }
  void TearDown() override {
    freebigmap();
    mapimage.imagename[0] = 0;
    std::string cmd = "rm -rf '" + root + "'";
    if (system(cmd.c_str()) != 0) ADD_FAILURE();
  }
  std::string mapdir() const { return root + "/maps/"; }
};

// Map folders holding the maps of data/maps, the game data loaded, and the
// console switched on, for whole games. Each test starts from the loaded
// tables: a test before it may have emptied them for a small world.
class ShippedMapFolders : public MapFolders {
 protected:
  static void SetUpTestSuite() { loadgamedata(); }
  void SetUp() override {
    restoregamedata();
    MapFolders::SetUp();
    resetoptions();
    textonly = 1;
    std::string cmd = "cp " VEY3_SOURCE_DIR "/data/maps/* '" + root + "/maps/'";
    ASSERT_EQ(system(cmd.c_str()), 0);
  }
};
