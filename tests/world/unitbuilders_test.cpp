#include <gtest/gtest.h>

#include "support/smallworld.h"

class UnitBuilders : public ::testing::Test {
 protected:
  void SetUp() override {
    makesmallworld();
    settype(1, "Soldier").hp = 12;
    settype(2, "Mage");
    typemagic[0] = TypeMagic{2, P_FIRE, 2};
    typemagic[1] = TypeMagic{2, P_PRIEST, 1};
    typemagic[2] = TypeMagic{-1, 0, 0};
  }
};

TEST_F(UnitBuilders, NewUnitsTakeFreeSlotsWithFullHitPointsAndStartAge) {
  const int32_t a = newunit(1, 3, 0);
  const int32_t b = newunit(1, 3, 1);
  EXPECT_EQ(a, 0);
  EXPECT_EQ(b, 1);
  EXPECT_EQ(highestunit, 1);
  EXPECT_EQ(unit[a].hp, 12);
  EXPECT_EQ(unit[a].owner, 3);
  EXPECT_EQ(unit[a].land, -1);
  EXPECT_EQ(unit[a].squad, -1);
  EXPECT_EQ(unit[a].age, startage(1));
  EXPECT_EQ(unit[b].tmp, 1);
  EXPECT_DEATH(newunit(MAXUNITTYPES, 0, 0), "newunit: bad mnr");
}

TEST_F(UnitBuilders, ThePretendersBodyIsNeverReused) {
  const int32_t g = newunit(1, 0, 0);
  unit[g].flags[2] = F3_PRETENDER;
  unit[g].hp = 0;
  for (int i = 0; i < 5; i++) EXPECT_NE(newunit(1, 0, 0), g);
}

TEST_F(UnitBuilders, NewCommandersGetABodyAndTheirTypesPaths) {
  const int32_t c = newcom(2, 5);
  ASSERT_GE(c, 0);
  const int32_t b = com[c].body;
  EXPECT_EQ(unit[b].comnr, c);
  EXPECT_EQ(unit2com(b), c);
  EXPECT_EQ(com[c].path[P_FIRE], 2);
  EXPECT_EQ(com[c].path[P_PRIEST], 1);
  EXPECT_EQ(com[c].squad[0], -1);
  EXPECT_EQ(comowner(c), 5);
  killunit(b);
  EXPECT_EQ(com[c].body, -1);
  EXPECT_EQ(newcom(2, 5), c);
}

TEST_F(UnitBuilders, SpawnedUnitsShareLandAndSquad) {
  EXPECT_EQ(spawnunits(1, 2, 0, 4, 77), -1);
  const int32_t last = spawnunits(1, 2, 3, 4, 77);
  EXPECT_EQ(last, 2);
  EXPECT_EQ(squadunitcount(77), 3);
  EXPECT_EQ(countunits(4, 2), 3);
  const int32_t t = spawntempunits(1, 2, 2, 4, -1);
  EXPECT_EQ(unit[t].tmp, 1);
  EXPECT_EQ(unit[2].tmp, 0);
}

TEST_F(UnitBuilders, AFullTableMakesNoUnit) {
  for (Unit& u : unit) u.hp = 1;
  highestunit = MAXUNITS - 1;
  EXPECT_EQ(newunit(1, 0, 0), -1);
  EXPECT_EQ(newcom(1, 0), -1);
  EXPECT_EQ(com[0].body, -1);
  EXPECT_EQ(spawnunits(1, 0, 5, 1, -1), -1);
  killunit(5);   // the one free slot is found wherever the search starts
  EXPECT_EQ(newunit(1, 0, 0), 5);
}

TEST_F(UnitBuilders, SquadSizeAndFirstUnit) {
  unittypes[1].size = 3;
  spawnunits(1, 0, 2, 1, 50);
  unit[0].hp = 0;
  EXPECT_EQ(squadtotalsize(50), 3);
  EXPECT_EQ(firstsquadunit(50), 1);
  EXPECT_EQ(firstsquadunit(51), -1);
  EXPECT_EQ(firstsquadunit(-1), -1);
}

TEST_F(UnitBuilders, DeathCountStopsAtItsLimit) {
  const int32_t c = newcom(1, 0);
  com[c].deaths = INT16_MAX;
  killunit(com[c].body);
  EXPECT_EQ(com[c].deaths, INT16_MAX);
}

TEST_F(UnitBuilders, AFullSquadRangeRunsOutOfSquads) {
  for (int32_t s = 0; s < 5000; s++) spawnunits(1, 2, 1, 1, 2 * 5000 + s);
  EXPECT_DEATH(newsquadnbr(2), "out of squads");
}
