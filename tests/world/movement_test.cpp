#include <gtest/gtest.h>

#include "support/smallworld.h"
#include "world/movement.h"

namespace {
// Types: 1 man (size 2), 2 fish (aquatic, size 3), 3 bird (flying, size 1),
// 4 ninja (stealthy), 5 statue (map move 0), 6 rock (never enters water).
class Movement : public ::testing::Test {
 protected:
  void SetUp() override {
    makesmallworld();
    settype(1, "Man").flags = MF_FORESTSURVIVAL | MF_MOUNTAINSURVIVAL;
    settype(2, "Fish").flags = MF_AQUATIC;
    unittypes[2].size = 3;
    settype(3, "Bird").flags = MF_FLYING | MF_FORESTSURVIVAL;
    unittypes[3].size = 1;
    settype(4, "Ninja").flags = MF_STEALTHY;
    settype(5, "Statue").mapmove = 0;
    settype(6, "Rock");
    addtypeability(6, AB_NOWATER, 100);
    setitem(1, "Boots", IT_MISC);
    setitem(2, "Gills", IT_MISC);
    setitem(3, "Cloak", IT_MISC);
  }
  int32_t army(int32_t comtype, int32_t lnr = 1) {
    const int32_t c = mkcom(comtype, 3, lnr);
    com[c].squad[0] = 100 + c;
    return c;
  }
  int32_t join(int32_t c, int32_t type) {
    const int32_t u = mkunit(type, 3, unit[com[c].body].land);
    setunitsquad(u, com[c].squad[0]);
    return u;
  }
  void give(int32_t c, int32_t item, int32_t ability, int32_t value) {
    items[item].abilityid[0] = int16_t(ability);
    items[item].abilityval[0] = value;
    com[c].item[item] = int16_t(item);
  }
};
}  // namespace

TEST_F(Movement, WaterNeedsCapacityForEveryDryBreather) {
  const int32_t c = army(1);
  EXPECT_EQ(watermove(c, 0), -1);   // the commander itself, even alone
  addench(EN_WATERFORALL, 0, 9, -1, 0);
  EXPECT_EQ(watermove(c, 0), 1);
  const int32_t rock = army(6);
  EXPECT_EQ(watermove(rock, 0), -1);
  clearmagictables();
  give(c, 2, 111, 6);
  EXPECT_EQ(watermove(c, 0), 1);   // 6 - 2 leaves 4
  const int32_t a = join(c, 1), b = join(c, 1), f = join(c, 2);
  EXPECT_EQ(watermove(c, 0), 1);   // the fish needs nothing
  const int32_t d = join(c, 1);
  EXPECT_EQ(watermove(c, 0), 0);
  EXPECT_EQ(unit[d].squad, com[c].squad[0]);
  EXPECT_EQ(watermove(c, 1), 1);   // the last one that does not fit stays behind
  EXPECT_EQ(unit[a].squad, com[c].squad[0]);
  EXPECT_EQ(unit[b].squad, com[c].squad[0]);
  EXPECT_EQ(unit[f].squad, com[c].squad[0]);
  EXPECT_EQ(unit[d].squad, -1);
  const int32_t r = join(c, 6);
  give(c, 2, 111, 100);
  EXPECT_EQ(watermove(c, 1), 0);   // a rock never enters water, nor is it dropped
  EXPECT_EQ(unit[r].squad, com[c].squad[0]);
  EXPECT_DEATH(watermove(-1, 0), "watermove: bad cnr");
  EXPECT_DEATH(watermove(highestcom + 1, 0), "watermove: bad cnr");
}

TEST_F(Movement, LandFlyAndSneak) {
  const int32_t fish = army(2);
  EXPECT_EQ(landmove(fish, 0), -1);
  give(fish, 1, 129, 1);
  EXPECT_EQ(landmove(fish, 0), 1);   // leaves the water without using capacity
  join(fish, 2);
  EXPECT_EQ(landmove(fish, 0), 0);
  give(fish, 2, 130, 3);
  EXPECT_EQ(landmove(fish, 0), 1);
  EXPECT_DEATH(landmove(-1, 0), "landmove: bad cnr");

  const int32_t bird = army(3);
  EXPECT_EQ(flymove(bird, 0), 1);
  const int32_t m = join(bird, 1);
  EXPECT_EQ(flymove(bird, 0), 0);
  unit[m].flags[1] |= ST_FLYING;   // a member's own flying is not consulted
  EXPECT_EQ(flymove(bird, 0), 0);
  EXPECT_EQ(flymove(bird, 1), 1);
  EXPECT_EQ(unit[m].squad, -1);
  const int32_t man = army(1);
  EXPECT_EQ(flymove(man, 0), -1);
  unit[com[man].body].flags[1] |= ST_FLYING;
  EXPECT_EQ(flymove(man, 0), 1);
  com[man].body = -1;
  EXPECT_DEATH(flymove(man, 0), "flymove: bad u");

  const int32_t ninja = army(4);
  EXPECT_EQ(maysneak(ninja), 1);
  join(ninja, 4);
  EXPECT_EQ(maysneak(ninja), 1);
  join(ninja, 1);
  EXPECT_EQ(maysneak(ninja), 0);
  give(ninja, 3, 109, 2);
  EXPECT_EQ(maysneak(ninja), 1);
  EXPECT_EQ(maysneak(army(1)), 0);
  EXPECT_DEATH(maysneak(-1), "maysneak: bad cnr");
}

TEST_F(Movement, MovementWordAndImmobileUnits) {
  const int32_t c = army(3);
  join(c, 3);
  uint32_t w = getmoveflags(c);
  EXPECT_EQ(w & 0xFF, uint32_t(armymapmove(c)));
  EXPECT_GE(armymapmove(c), 2);
  EXPECT_TRUE(w & MW_LAND);
  EXPECT_FALSE(w & MW_WATER);
  EXPECT_TRUE(w & MW_FLY);
  EXPECT_TRUE(w & MW_FOREST);
  EXPECT_FALSE(w & MW_MOUNTAIN);
  unittypes[3].mapmove = 0;
  ASSERT_LT(armymapmove(c), 3);
  give(c, 1, 113, 10);   // strong flying lifts the move to 3
  EXPECT_EQ(getmoveflags(c) & 0xFF, 3u);
  const int32_t m = join(c, 1);
  w = getmoveflags(c);
  EXPECT_TRUE(w & MW_FLY);   // ten points carry the man
  EXPECT_TRUE(w & MW_FOREST);     // bird and man both survive in forest
  EXPECT_FALSE(w & MW_MOUNTAIN);  // only the man in mountains
  com[c].item[1] = 0;
  w = getmoveflags(c);
  EXPECT_FALSE(w & MW_FLY);
  EXPECT_EQ(w & 0xFF, uint32_t(armymapmove(c)));
  EXPECT_LT(armymapmove(c), 3);
  unit[com[c].body].owner = 41;
  unit[m].owner = 41;
  EXPECT_TRUE(getmoveflags(c) & 0x800);

  const int32_t d = army(1);
  const int32_t s = join(d, 5), k = join(d, 1);
  EXPECT_EQ(armymapmove(d), 0);
  dropimmobileunits(d);
  EXPECT_EQ(unit[s].squad, -1);
  EXPECT_EQ(unit[k].squad, com[d].squad[0]);
  EXPECT_EQ(armymapmove(d), 2);
  dropimmobileunits(-1);
}
