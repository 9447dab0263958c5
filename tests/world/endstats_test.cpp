#include <gtest/gtest.h>

#include "support/smallworld.h"
#include "world/economy.h"
#include "world/hoststate.h"
#include "world/ruleconstants.h"
#include "world/scores.h"

namespace {
uint16_t stat(int32_t series, int32_t t, int32_t p) { return uint16_t(endstats.value[series][t][p]); }

class EndStatsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    makesmallworld();
    defaultgeneral();
    forts.fill(Fort{});
    kingdom[2].w[KW_CONTROLLER] = CTRL_HUMAN;
    kingdom[5].w[KW_CONTROLLER] = int16_t(CTRL_AI);
    for (int32_t l = 1; l <= 10; l++) {
      land[l].population = 2000;
      land[l].tax = 100;
    }
    // Player 2: lands 1..3, forts in 1 and 2 (the one in 2 besieged by 5),
    // a temple in 3; player 5: land 4 with a temple; 6 is not in play.
    for (int32_t l = 1; l <= 3; l++) land[l].owner = land[l].fortholder = 2;
    land[1].fort = 1;
    land[2].fort = 1;
    land[2].fortholder = 5;
    land[3].temple = 1;
    land[4].owner = land[4].fortholder = 5;
    land[4].temple = 1;
    land[5].owner = land[5].fortholder = 6;
    land[1].vpword = 0x10 | 2;
    land[2].vpword = 1;
    // A found site of three fire gems a month in land 1, and one not found.
    sites[5].effectkind[0] = SE_GEMFIRST;
    sites[5].effectval[0] = 3;
    land[1].site[0] = land[1].site[1] = 5;
    land[1].sitefound[0] = 1;
    // Player 2's god covers land 1 with strength 2 and land 4 with nothing.
    land[1].veyowner = 2;
    land[1].veystr = 2;
    land[4].veyowner = 2;
    researchrec[2][RR_LEVEL + 0] = 2;
    researchrec[2][RR_LEVEL + 6] = 3;
    researchrec[2][RR_LEVEL + 7] = 9;   // the eighth school is not researched
    for (int32_t u = 0; u < 4; u++) {
      unit[u].hp = u == 3 ? 0 : 10;   // the last one is dead
      unit[u].owner = 2;
      unit[u].type = 1;
      setunitland(u, 1);
    }
    putunit(4, unit[0]);
    unit[4].owner = 5;
    highestunit = 4;
  }
};
}  // namespace

TEST_F(EndStatsTest, RecordsEverySeriesForPlayersInPlay) {
  turn = 3;
  updateendstats(0);
  EXPECT_EQ(endstats.highest, 3);
  EXPECT_EQ(stat(ES_PROVINCES, 3, 2), 3);
  EXPECT_EQ(stat(ES_PROVINCES, 3, 5), 1);
  EXPECT_EQ(stat(ES_FORTS, 3, 2), 1);
  EXPECT_EQ(stat(ES_FORTS, 3, 5), 1);   // the fort it holds in land 2
  EXPECT_EQ(stat(ES_INCOME, 3, 2), getkinc(2));
  EXPECT_GT(stat(ES_INCOME, 3, 2), stat(ES_INCOME, 3, 5));
  EXPECT_EQ(stat(ES_GEMINCOME, 3, 2), 3);
  EXPECT_EQ(stat(ES_GEMINCOME, 3, 5), 0);
  EXPECT_EQ(stat(ES_RESEARCH, 3, 2), 5);
  EXPECT_EQ(stat(ES_UNITS, 3, 2), 3);
  EXPECT_EQ(stat(ES_UNITS, 3, 5), 1);
  EXPECT_EQ(stat(ES_VEYRANCE, 3, 2), veyscore(2));
  EXPECT_EQ(stat(ES_VEYRANCE, 3, 2), 2 + 10);
  EXPECT_EQ(stat(ES_VEYRANCE, 3, 5), 0);
  EXPECT_EQ(stat(ES_VICTORYPOINTS, 3, 2), 2);
  EXPECT_EQ(stat(ES_VICTORYPOINTS, 3, 5), 1);
  // A slot not in play and the independents record nothing; other turns stay.
  for (int32_t s = 0; s < ENDSTATSERIES; s++) {
    EXPECT_EQ(stat(s, 3, 6), 0);
    EXPECT_EQ(stat(s, 3, INDEPENDENTS), 0);
    EXPECT_EQ(stat(s, 2, 2), 0);
  }
}

TEST_F(EndStatsTest, TurnIndexIsCappedAndTheHighestOnlyRises) {
  turn = -4;   // counts as turn 0
  updateendstats(0);
  EXPECT_EQ(endstats.highest, 0);
  EXPECT_EQ(stat(ES_PROVINCES, 0, 2), 3);
  turn = 900;
  updateendstats(0);
  EXPECT_EQ(endstats.highest, ENDSTATTURNS - 1);
  EXPECT_EQ(stat(ES_PROVINCES, ENDSTATTURNS - 1, 2), 3);
  turn = 10;
  land[1].owner = 5;
  updateendstats(0);
  EXPECT_EQ(endstats.highest, ENDSTATTURNS - 1);
  EXPECT_EQ(stat(ES_PROVINCES, 10, 2), 2);
  EXPECT_EQ(stat(ES_PROVINCES, ENDSTATTURNS - 1, 2), 3);
}

TEST_F(EndStatsTest, ValuesAreClampedTo16BitsUnsigned) {
  for (int32_t l = 1; l <= 3; l++) land[l].veyowner = 2, land[l].veystr = 30000;   // 90030
  for (int32_t s = 0; s < 7; s++) researchrec[2][RR_LEVEL + s] = 9000;   // 63000 levels
  researchrec[5][RR_LEVEL] = -40;   // a negative level counts as none
  updateendstats(0);
  EXPECT_EQ(stat(ES_VEYRANCE, 0, 2), 65535);
  EXPECT_EQ(stat(ES_RESEARCH, 0, 2), 63000);
  EXPECT_EQ(stat(ES_RESEARCH, 0, 5), 0);
}
