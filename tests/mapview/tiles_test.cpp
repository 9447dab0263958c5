// Cutting the map image into tile textures and planning the tiles and the
// background on screen, without a window.
#include <cmath>
#include <cstring>
#include <vector>

#include "mapview/mapsupport.h"
#include "mapview/maptiles.h"

namespace {

// An image of one colour, rows bottom first.
std::vector<uint8_t> image(int32_t w, int32_t h, uint8_t r, uint8_t g, uint8_t b, uint8_t a = 255) {
  std::vector<uint8_t> px(size_t(w) * size_t(h) * 4);
  for (size_t i = 0; i < px.size(); i += 4) px[i] = r, px[i + 1] = g, px[i + 2] = b, px[i + 3] = a;
  return px;
}

void setpixel(std::vector<uint8_t>& px, int32_t w, int32_t x, int32_t y, uint8_t r, uint8_t g, uint8_t b) {
  uint8_t* p = &px[(size_t(y) * size_t(w) + size_t(x)) * 4];
  p[0] = r, p[1] = g, p[2] = b;
}

// Records every level handed over; level 0 of every tile kept whole.
struct Recorder {
  struct Made {
    int32_t column, row, level, side, alpha;
  };
  std::vector<Made> made;
  std::vector<std::vector<uint8_t>> level0;
  std::vector<uint8_t> last2x2;
  MapTexMaker maker() {
    return [this](const MapTileLevel& t) {
      made.push_back({t.column, t.row, t.level, t.side, t.alpha});
      if (t.level == 0) level0.emplace_back(t.pixels, t.pixels + size_t(t.side) * size_t(t.side) * 4);
      if (t.side == 2) last2x2.assign(t.pixels, t.pixels + 16);
      return uint32_t(made.size());
    };
  }
  const uint8_t* at(int32_t tile, int32_t x, int32_t y) const { return &level0[size_t(tile)][(size_t(y) * 512 + size_t(x)) * 4]; }
};

class Tiles : public MapWorld {
 protected:
  void SetUp() override {
    MapWorld::SetUp();
    maptex = MapTextureSet{{}, {}, 0, 0, MAPTILE, MAPTILE};
    mapistransparent = 0;
  }
};

TEST_F(Tiles, ImageIsCutIntoTilesWithNineLevelsEach) {
  std::vector<uint8_t> px = image(1600, 1200, 30, 90, 40);
  Recorder rec;
  cutmapimage(px.data(), 1600, 1200, 0, rec.maker());
  ASSERT_EQ(rec.made.size(), size_t(4 * 3 * 9));
  EXPECT_EQ(maptex.lastcolumnwidth, 64);
  EXPECT_EQ(maptex.lastrowheight, 176);
  // Row by row, column by column, levels 512 down to 2; names kept by place.
  EXPECT_EQ(rec.made[9].column, 1);
  EXPECT_EQ(rec.made[36].row, 1);
  for (size_t i = 0; i < rec.made.size(); i++) EXPECT_EQ(rec.made[i].side, 512 >> rec.made[i].level);
  EXPECT_EQ(maptex.names[3][2][8], uint32_t(rec.made.size()));
  EXPECT_EQ(maptex.names[0][0][0], 1u);
  // An opaque image larger than a tile counts as opaque; each level is the
  // halved one before it.
  EXPECT_EQ(mapistransparent, 0);
  EXPECT_EQ(rec.made[0].alpha, 0);
  EXPECT_EQ(rec.last2x2[0], 30);
  EXPECT_EQ(rec.last2x2[1], 90);
}

TEST_F(Tiles, MarkersTakeTheColourCarriedAlongTheRows) {
  std::vector<uint8_t> px = image(600, 40, 30, 90, 40);
  setpixel(px, 600, 0, 0, 255, 255, 255);      // first pixel of the first tile: black
  setpixel(px, 600, 599, 4, 200, 10, 10);      // last pixel of row 4, in the second tile
  setpixel(px, 600, 512, 5, 255, 255, 255);    // first pixel of that tile's row 5
  setpixel(px, 600, 100, 7, 255, 255, 255);
  setpixel(px, 600, 101, 7, 255, 255, 255);
  Recorder rec;
  cutmapimage(px.data(), 600, 40, 0, rec.maker());
  const uint8_t* p = rec.at(0, 0, 0);
  EXPECT_EQ(p[0] + p[1] + p[2], 0);
  EXPECT_EQ(p[3], 255);
  p = rec.at(1, 0, 5);
  EXPECT_EQ(p[0], 200);
  EXPECT_EQ(p[1], 10);
  p = rec.at(0, 101, 7);
  EXPECT_EQ(p[0], 30);
  EXPECT_EQ(p[1], 90);
  // The partial tile's right edge is extended by 8 pixels, the rest of its
  // buffer keeps the fill, so a map this low counts as transparent.
  EXPECT_EQ(rec.at(1, 88 + 7, 0)[1], 90);
  EXPECT_EQ(rec.at(1, 88 + 8, 0)[3], 128);
  EXPECT_EQ(rec.at(0, 3, 40 + 7)[1], 90);
  EXPECT_EQ(mapistransparent, 1);
  EXPECT_EQ(rec.made[0].alpha, 1);
}

TEST_F(Tiles, ReducedGraphicsNeverMakeTransparentTiles) {
  std::vector<uint8_t> px = image(300, 300, 30, 90, 40, 10);
  Recorder rec;
  cutmapimage(px.data(), 300, 300, 1, rec.maker());
  EXPECT_EQ(mapistransparent, 0);
  EXPECT_EQ(rec.made[0].alpha, 0);
}

TEST_F(Tiles, ImagesBeyond16384PixelsStop) {
  std::vector<uint8_t> wide = image(16385, 1, 30, 90, 40);
  EXPECT_DEATH(cutmapimage(wide.data(), 16385, 1, 0, [](const MapTileLevel&) { return 1u; }), "cmt: map too wide");
  Recorder rec;
  cutmapimage(wide.data(), 16384, 1, 0, rec.maker());
  EXPECT_EQ(rec.made.size(), size_t(32 * 9));
  EXPECT_DEATH(cutmapimage(wide.data(), 1, 16385, 0, [](const MapTileLevel&) { return 1u; }), "cmt: map too high");
  EXPECT_DEATH(cutmapimage(wide.data(), 100, 1, 0, [](const MapTileLevel&) { return 0u; }),
               "cmt: failed to chop up txtr");
}

TEST_F(Tiles, LevelFollowsTheTileSizeOnScreen) {
  EXPECT_EQ(maptexlevel(512 * 8.0f), 0);
  EXPECT_EQ(maptexlevel(512 * 0.5f), 0);
  EXPECT_EQ(maptexlevel(512 * 0.49f), 1);
  EXPECT_EQ(maptexlevel(512 * 0.25f), 1);
  EXPECT_EQ(maptexlevel(512 * 0.2f), 2);
  EXPECT_EQ(maptexlevel(1.0f), 8);
}

class Plan : public Tiles {
 protected:
  MapDrawPlan plan;
  void textures(int32_t w, int32_t h) {
    setmap(w, h, false);
    maptex.width = w;
    maptex.height = h;
    maptex.lastcolumnwidth = w % 512 ? w % 512 : 512;
    maptex.lastrowheight = h % 512 ? h % 512 : 512;
  }
  void draw(bool wrap, float zoom) {
    wraparound = wrap;
    planbigmap(plan, wrap, mapcamx, mapcamy, zoom, {0, 0, 800, 600}, 1, 1, 0);
  }
};

TEST_F(Plan, MapCoveringTheScreenNeedsNoBackground) {
  textures(1600, 1200);
  mapcamx = 800;
  mapcamy = 600;
  draw(false, 1);
  // Tiles from -400 and -300: three columns and two rows meet the screen,
  // drawn from the last tile to the first.
  ASSERT_EQ(plan.tiles.size(), 6u);
  EXPECT_EQ(plan.tiles.front().column, 2);
  EXPECT_EQ(plan.tiles.front().row, 1);
  EXPECT_FLOAT_EQ(plan.tiles.back().x, -400);
  EXPECT_FLOAT_EQ(plan.tiles.back().y, -300);
  EXPECT_TRUE(plan.bands.empty());
  EXPECT_EQ(plan.blend, 0);
  EXPECT_EQ(plan.clipped, 0);
  EXPECT_EQ(plan.underlay, 0);
}

TEST_F(Plan, SmallMapGetsBackgroundBandsAndPartialTiles) {
  textures(1600, 1200);
  mapcamx = 800;
  mapcamy = 600;
  draw(false, 0.375f);   // 600 x 450 units in the middle of the screen
  ASSERT_EQ(plan.tiles.size(), 12u);
  EXPECT_EQ(plan.level, 1);
  // The partial last column and row show only their part of the texture.
  const MapTileQuad& corner = plan.tiles.front();
  EXPECT_FLOAT_EQ(corner.w, 64 * 0.375f);
  EXPECT_FLOAT_EQ(corner.du, 64.0f / 512);
  EXPECT_FLOAT_EQ(corner.dv, 176.0f / 512);
  ASSERT_EQ(plan.bands.size(), 4u);
  // Below, above, left and right, each overlapping the map by a unit.
  const MapRect below = {100, 0, 600, 76}, above = {100, 525, 600, 76}, left = {0, 0, 101, 600},
                right = {700, 0, 100, 600};
  int32_t i = 0;
  for (const MapRect& want : {below, above, left, right}) {
    const MapRect& got = plan.bands[size_t(i++)];
    EXPECT_EQ(got.x, want.x);
    EXPECT_EQ(got.y, want.y);
    EXPECT_EQ(got.w, want.w);
    EXPECT_EQ(got.h, want.h);
  }
  // Dimmed (a dialog over the map) the tiles are modulated.
  planbigmap(plan, 0, mapcamx, mapcamy, 0.375f, {0, 0, 800, 600}, 0.6f, 1, 0);
  EXPECT_EQ(plan.blend, 5);
  EXPECT_FLOAT_EQ(plan.colour[0], 0.6f);
}

// A window wider than the screen, the map's left edge on the window's
// (at -79.5 units): no band is laid over the map's first unit, and the band
// under the map starts at the window's edge.
TEST_F(Plan, AMapEdgeOnTheWindowsEdgeLeftOfTheScreenGetsNoBand) {
  textures(1600, 1200);
  setmapviewport(-79.5f, 0, 959, 600);
  mapcamx = 400 + 79.5f;
  mapcamy = 200;
  draw(false, 1);   // the map's bottom edge 100 units up
  ASSERT_EQ(plan.bands.size(), 1u);
  EXPECT_EQ(plan.bands[0].x, -79.5f);
  EXPECT_EQ(plan.bands[0].y, 0);
  EXPECT_EQ(plan.bands[0].h, 101);
  setmapviewport(0, 0, 800, 600);
}

TEST_F(Plan, WrappingMapShowsCopiesAndNoBands) {
  textures(1000, 800);
  mapcamx = 0;
  mapcamy = 0;
  draw(true, 0.6f);   // 600 x 480 units a copy: parts of four copies or more
  EXPECT_TRUE(plan.bands.empty());
  int32_t lefts = 0, rights = 0;
  for (const MapTileQuad& q : plan.tiles) {
    if (q.x < 400) lefts++;
    else rights++;
  }
  EXPECT_GT(lefts, 0);
  EXPECT_GT(rights, 0);
  // Every copy of a tile lies a whole map apart from the others.
  for (const MapTileQuad& q : plan.tiles) {
    if (q.column == 0 && q.row == 0) {
      EXPECT_NEAR(std::remainder(q.x - 400, 600.0f), 0, 1e-3);
    }
  }
  // Seen from far out, up to five copies each way.
  draw(true, 0.1f);
  EXPECT_GE(plan.tiles.size(), size_t(4 * 2 * 9));
}

TEST_F(Plan, TransparentMapLiesOverTheBackgroundAndClipsToTheViewport) {
  textures(1000, 800);
  mapistransparent = 1;
  draw(false, 1);
  EXPECT_EQ(plan.underlay, 1);
  EXPECT_EQ(plan.blend, 2);
  EXPECT_TRUE(plan.bands.empty());
  // A preview rectangle: only what meets it, clipped to it.
  setmapviewport(100, 100, 200, 150);
  planbigmap(plan, 0, 500, 400, 0.25f, {100, 100, 200, 150}, 1, 1, 1.0f / 256);
  EXPECT_EQ(plan.clipped, 1);
  EXPECT_EQ(plan.underlay, 0);
  for (const MapTileQuad& q : plan.tiles) {
    EXPECT_GT(q.x + q.w, 100);
    EXPECT_LT(q.y, 250);
    EXPECT_FLOAT_EQ(q.u, 1.0f / 256);
  }
  // No textures yet: the background fills the viewport.
  mapistransparent = 0;
  maptex.width = maptex.height = 0;
  setmapviewport(0, 0, 800, 600);
  draw(false, 1);
  EXPECT_TRUE(plan.tiles.empty());
  ASSERT_FALSE(plan.bands.empty());
  EXPECT_GE(plan.bands[0].w, 800);
}

}  // namespace
