#include <gtest/gtest.h>

#include "runtime/rnd.h"
#include "world/units.h"
#include "world/world.h"

class SquadsTest : public ::testing::Test {
 protected:
  void SetUp() override { clearworld(); }
  static void placeunit(int32_t u, int32_t squad, int16_t hp) {
    putunit(u, emptyunit());
    unit[u].type = 1;
    unit[u].hp = hp;
    setunitsquad(u, squad);
    if (u > highestunit) highestunit = u;
  }
};

TEST_F(SquadsTest, CountsLivingUnitsAndFindsTheLeader) {
  placeunit(0, 700, 5);
  placeunit(1, 700, 0);
  placeunit(2, 700, 3);
  placeunit(3, 12, 3);
  EXPECT_EQ(squadunitcount(700), 2);
  EXPECT_EQ(squadunitcount(-1), -1);
  com[4] = emptycommander();
  com[4].body = 3;
  com[4].squad[2] = 700;
  highestcom = 4;
  EXPECT_EQ(squadcommander(700), 4);
  EXPECT_EQ(com[4].squadslot, 2);
  EXPECT_EQ(squadcommander(-1), -1);
  com[4].body = -1;   // a free commander leads nothing
  EXPECT_EQ(squadcommander(700), -1);
}

TEST_F(SquadsTest, NewSquadNumbersAreFreeAndInThePlayersRange) {
  seedrnd(5);
  for (int i = 0; i < 50; i++) {
    const int32_t s = newsquadnbr(3);
    EXPECT_GE(s, 15000);
    EXPECT_LT(s, 20000);
    placeunit(i, s, 1);
  }
  for (int i = 0; i < 50; i++)
    for (int j = i + 1; j < 50; j++) EXPECT_NE(unit[i].squad, unit[j].squad);
  const int32_t big = newsquadnbr(201);
  EXPECT_GE(big, 1000000);
  EXPECT_LT(big, 1005000);
}

TEST_F(SquadsTest, KillingABodyFreesItsCommanderButNotThePretender) {
  placeunit(0, -1, 10);
  placeunit(1, -1, 10);
  com[0] = emptycommander();
  com[0].body = 0;
  unit[0].comnr = 0;
  com[1] = emptycommander();
  com[1].body = 1;
  unit[1].comnr = 1;
  unit[1].flags[2] = F3_PRETENDER;
  highestcom = 1;
  killunit(0);
  killunit(1);
  EXPECT_EQ(unit[0].hp, 0);
  EXPECT_EQ(com[0].body, -1);
  EXPECT_EQ(com[0].deaths, 1);
  EXPECT_EQ(com[1].body, 1);
  EXPECT_DEATH(killunit(MAXUNITS), "killunit: bad unr");
}
