#include <gtest/gtest.h>

#include "actions/moverule.h"
#include "world/world.h"

namespace {
// A 4 x 4 grid of provinces 1..16, row by row; each joined to its four
// neighbours. Player 2 owns the left half.
class FindPath : public ::testing::Test {
 protected:
  void SetUp() override {
    clearworld();
    nbrlands = 16;
    for (int32_t l = 1; l <= 16; l++) {
      const int32_t x = (l - 1) % 4, y = (l - 1) / 4;
      int i = 0;
      if (x > 0) provgeo[l].nbr[i++] = int16_t(l - 1);
      if (x < 3) provgeo[l].nbr[i++] = int16_t(l + 1);
      if (y > 0) provgeo[l].nbr[i++] = int16_t(l - 4);
      if (y < 3) provgeo[l].nbr[i++] = int16_t(l + 4);
      land[l].owner = x < 2 ? 2 : 25;
    }
  }
};
constexpr uint32_t WALK = MW_LAND;
}  // namespace

TEST_F(FindPath, OwnProvincesWithinTheMovePoints) {
  int32_t r = -1;
  EXPECT_EQ(findpath(2, 1, 2, WALK | 1, &r), 1);
  EXPECT_EQ(r, 1);
  EXPECT_EQ(findpath(2, 1, 14, WALK | 4, &r), 4);
  EXPECT_EQ(r, 1);
  EXPECT_EQ(findpath(2, 1, 14, WALK | 3, &r), 0);
  EXPECT_EQ(r, 0);
  EXPECT_EQ(findpath(2, 1, 1, WALK | 5, &r), 0);   // the start itself
  EXPECT_EQ(r, 0);
  EXPECT_EQ(findpath(2, 1, 2, WALK, &r), 0);   // no move points
  EXPECT_EQ(findpath(2, 1, 0, WALK | 5, &r), 0);
  EXPECT_EQ(findpath(2, 1, 17, WALK | 5, &r), 0);
  EXPECT_EQ(findpath(2, -3, 2, WALK | 5, nullptr), 0);
}

TEST_F(FindPath, ForeignProvincesOnlyNextToTheStartUnlessFlying) {
  int32_t r;
  EXPECT_EQ(findpath(2, 2, 3, WALK | 1, &r), 1);
  EXPECT_EQ(r, 1);
  EXPECT_EQ(findpath(2, 1, 3, WALK | 5, &r), 0);   // two steps into foreign land
  EXPECT_EQ(r, 0);
  EXPECT_EQ(findpath(2, 2, 4, WALK | 5, &r), 0);
  EXPECT_EQ(findpath(2, 1, 4, WALK | MW_FLY | 3, &r), 3);
  EXPECT_EQ(r, 1);
  EXPECT_EQ(findpath(2, 1, 4, WALK | MW_ANYOWNER | 3, &r), 3);
  EXPECT_EQ(r, 1);
}

TEST_F(FindPath, TerrainDecidesWhereAndHowFast) {
  int32_t r;
  provgeo[5].terrain = TM_SEA;
  EXPECT_EQ(findpath(2, 1, 5, WALK | 5, &r), 0);
  EXPECT_EQ(findpath(2, 1, 5, WALK | MW_WATER | 5, &r), 1);
  EXPECT_EQ(r, 1);
  EXPECT_EQ(findpath(2, 1, 9, WALK | 5, &r), 4);   // round the sea
  EXPECT_EQ(findpath(2, 1, 9, MW_WATER | 5, &r), 0);   // no dry land allowed
  provgeo[2].terrain = TM_FOREST;
  provgeo[6].terrain = TM_MOUNTAINS;
  EXPECT_EQ(findpath(2, 1, 10, WALK | 4, &r), 0);   // 2 + 2 + 1
  EXPECT_EQ(findpath(2, 1, 10, WALK | 5, &r), 5);
  EXPECT_EQ(findpath(2, 1, 10, WALK | MW_FOREST | MW_MOUNTAIN | 3, &r), 3);
  EXPECT_EQ(findpath(2, 1, 10, WALK | MW_FLY | 3, &r), 3);
}

TEST_F(FindPath, BadNeighbourListsAreSkipped) {
  int32_t r;
  provgeo[1].nbr[0] = 1400;   // beyond the map
  provgeo[1].nbr[1] = 5;
  EXPECT_EQ(findpath(2, 1, 9, WALK | 2, &r), 2);
  nbrlands = 5000;   // a bad count stays inside the table
  EXPECT_EQ(findpath(2, 1, 9, WALK | 2, &r), 2);
}

TEST_F(FindPath, EveryHardTerrainCostsTwoUnlessTheArmySurvivesIt) {
  struct Case {
    uint32_t terrain, survival;
  };
  const Case cases[] = {{TM_FOREST, MW_FOREST}, {TM_MOUNTAINS, MW_MOUNTAIN}, {TM_SWAMP, MW_SWAMP}, {TM_WASTE, MW_WASTE}};
  int32_t r;
  for (const Case& k : cases) {
    provgeo[2].terrain = k.terrain;
    EXPECT_EQ(findpath(2, 1, 2, WALK | 1, &r), 0);
    EXPECT_EQ(findpath(2, 1, 2, WALK | 2, &r), 2);
    EXPECT_EQ(findpath(2, 1, 2, WALK | k.survival | 1, &r), 1);
    // Surviving another terrain does not help.
    EXPECT_EQ(findpath(2, 1, 2, WALK | ((MW_FOREST | MW_MOUNTAIN | MW_SWAMP | MW_WASTE) & ~k.survival) | 1, &r), 0);
  }
  provgeo[2].terrain = TM_SEA | TM_SWAMP;
  EXPECT_EQ(findpath(2, 1, 2, MW_WATER | MW_LAND | 1, &r), 0);
  EXPECT_EQ(findpath(2, 1, 2, MW_WATER | MW_SWAMP | 1, &r), 1);
}
