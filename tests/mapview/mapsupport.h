// A map for the map view's window-free tests: the small world with its
// provinces placed on a map image of a given size (only the size is set),
// the camera, zoom and viewport at known values.
#pragma once
#include <gtest/gtest.h>

#include "mapview/mapcamera.h"
#include "support/smallworld.h"
#include "world/ruleconstants.h"
#include "worldgen/worldgen.h"

inline void placeland(int32_t lnr, int32_t x, int32_t y, uint32_t terrain = 0) {
  provgeo[size_t(lnr)].x = int16_t(x);
  provgeo[size_t(lnr)].y = int16_t(y);
  provgeo[size_t(lnr)].terrain = terrain;
}

class MapWorld : public testing::Test {
 protected:
  void SetUp() override {
    makesmallworld();
    defaultgeneral();
    freebigmap();
    provgeo[0].x = provgeo[0].y = -500;
    setmap(1000, 800, false);
    mapzoom = defaultmapzoom = 1.0f;
    mapcamx = 500;
    mapcamy = 400;
    setmapviewport(0, 0, 800, 600);
  }
  void TearDown() override { setmap(0, 0, false); }
  static void setmap(int32_t w, int32_t h, bool wrap) {
    mapimage.width = w;
    mapimage.height = h;
    wraparound = wrap ? 1 : 0;
  }
};
