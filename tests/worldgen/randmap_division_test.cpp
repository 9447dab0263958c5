// The building blocks of the division on small hand-made maps.
#include <gtest/gtest.h>

#include <algorithm>

#include "runtime/rnd.h"
#include "world/hoststate.h"
#include "world/world.h"
#include "worldgen/randmap.h"

namespace {
// A w x h map of land (or water) with the given capitals as lands 1..n.
void smallmap(int32_t w, int32_t h, std::initializer_list<std::pair<int, int>> capitals, float height = 100) {
  rm.width = w, rm.height = h;
  rm.heights.assign(size_t(w * h), height);
  rm.sealevel = 50;
  rm.mindist = 8;
  rm.owner.assign(size_t(w * h), 0);
  for (ProvGeo& p : provgeo) p = ProvGeo{};
  nbrlands = 0;
  for (auto [x, y] : capitals) {
    ++nbrlands;
    provgeo[size_t(nbrlands)].x = int16_t(x);
    provgeo[size_t(nbrlands)].y = int16_t(y);
  }
}
}  // namespace

TEST(RandomMapDivision, PassesCountBeforeTheyFillAndDivisionOwnsEveryPixel) {
  seedrnd(4);
  smallmap(12, 9, {{5, 4}});
  RMSetOwner(5, 4, 1);
  // Growth passes skip the outermost rows and columns, in counting too.
  EXPECT_EQ(GrowPass(30, 1), 10 * 7 - 1);
  int32_t before = int32_t(std::count(rm.owner.begin(), rm.owner.end(), 0));
  EXPECT_EQ(FillPass(100, 50), before);
  EXPECT_LT(std::count(rm.owner.begin(), rm.owner.end(), 0), before);
  for (int i = 0; i < 100 && std::count(rm.owner.begin(), rm.owner.end(), 0) > 0; i++) FillPass(100, 50);
  EXPECT_EQ(std::count(rm.owner.begin(), rm.owner.end(), 0), 0);

  // Two lands split a map between them; every pixel is owned by one of them.
  smallmap(60, 40, {{10, 20}, {50, 20}});
  DivideWorld(0, 1);
  EXPECT_EQ(std::count(rm.owner.begin(), rm.owner.end(), 0), 0);
  EXPECT_EQ(RMOwner(10, 20), 1);
  EXPECT_EQ(RMOwner(50, 20), 2);
  EXPECT_GT(LandSize(1), 600);
  EXPECT_GT(LandSize(2), 600);
}

TEST(RandomMapDivision, SeaProvincesKeepToWaterAndLandToLand) {
  seedrnd(9);
  smallmap(40, 20, {{10, 10}, {30, 10}});
  for (int32_t y = 0; y < 20; y++)
    for (int32_t x = 20; x < 40; x++) rm.heights[size_t(y * 40 + x)] = 10;   // the right half is water
  provgeo[2].terrain = TM_SEA;
  DivideWorld(0, 1);
  int32_t crossed = 0;
  for (int32_t y = 0; y < 20; y++)
    for (int32_t x = 0; x < 40; x++) crossed += (x < 20) != (RMOwner(x, y) == 1);
  // Only a thin spill across the coast.
  EXPECT_LT(crossed, 60);
}

TEST(RandomMapDivision, SortingAndNeighboursFollowThePixels) {
  smallmap(40, 30, {{30, 20}, {5, 2}, {35, 2}});
  provgeo[1].terrain = TM_FOREST;
  SortLands();
  EXPECT_EQ(provgeo[1].x, 5);
  EXPECT_EQ(provgeo[2].x, 35);
  EXPECT_EQ(provgeo[3].y, 20);
  EXPECT_EQ(provgeo[3].terrain, TM_FOREST);
  // Land 1 owns the left half, land 2 the top right, land 3 the bottom right.
  for (int32_t y = 0; y < 30; y++)
    for (int32_t x = 0; x < 40; x++) RMSetOwner(x, y, x < 20 ? 1 : (y < 15 ? 2 : 3));
  rm.mindist = 8;
  rmfindneighbours(0);
  EXPECT_TRUE(rmisneighbour(1, 2) && rmisneighbour(2, 1));
  EXPECT_TRUE(rmisneighbour(2, 3) && rmisneighbour(3, 2));
  EXPECT_TRUE(rmisneighbour(1, 3));
  // Far apart on the capitals' axes: never neighbours, whatever the pixels say.
  rm.mindist = 0.5f;
  rmfindneighbours(0);
  EXPECT_FALSE(rmisneighbour(1, 2));
  EXPECT_EQ(randneighbour(1), -1);
}
