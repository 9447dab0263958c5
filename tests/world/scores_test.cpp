#include <gtest/gtest.h>

#include "support/smallworld.h"
#include "world/scores.h"

TEST(Scores, ResearchCostsFollowTheDifficultyAndStayInTheTable) {
  makesmallworld();
  researchrec[2][RR_LEVEL + 0] = 9;
  EXPECT_EQ(totalresearch(2), 2840);
  researchrec[2][RR_POINTS + 0] = 15;
  researchrec[2][RR_LEVEL + 6] = 1;
  researchrec[2][RR_LEVEL + 7] = 5;   // divine is not researched
  EXPECT_EQ(totalresearch(2), 2840 + 15 + 20);
  gameinfo.researchdiff = uint8_t(-1);
  EXPECT_EQ(totalresearch(2), 1740 + 15 + 0);
  gameinfo.researchdiff = 120;   // from a file: clamped to the last cost
  researchrec[2][RR_LEVEL + 0] = 30;   // and levels above 10 cost no more
  EXPECT_EQ(totalresearch(2), 10 * 5000 + 15 + 5000);
  EXPECT_DEATH(totalresearch(100), "grs: bad p");
  EXPECT_DEATH(totalresearch(-1), "grs: bad p");
}

TEST(Scores, LandScoresCountByFortHolderAndVeyrance) {
  makesmallworld();
  land[1].veyowner = 4;
  land[1].veystr = 3;
  land[2].veyowner = 4;
  land[2].veystr = 0;
  land[3].fortholder = 4;
  land[3].vpword = 0x13;
  land[4].vpword = 2;
  EXPECT_EQ(veyscore(4), 13);
  EXPECT_EQ(nbrofprovinces(4), 1);
  EXPECT_EQ(nbrofprovinces(25), 9);
  EXPECT_EQ(victorypoints(4), 3);
  EXPECT_EQ(victorypoints(-1), 5);
  nbrlands = 0;
  EXPECT_EQ(nbrofprovinces(25), 0);
  nbrlands = 5000;   // a count from a bad file stays inside the table
  EXPECT_EQ(nbrofprovinces(4), 1);
}

TEST(Scores, ItemsNationsAndResourceCosts) {
  makesmallworld();
  settype(1, "Pikeman").size = 2;
  setweapon(5, "Pike").rcost = 3;
  unittypes[1].weapon[0] = 5;
  EXPECT_EQ(unitrescost(1), 3);
  setarmor(6, "Mail", IT_ARMOR).rcost = 5;
  unittypes[1].armor[0] = 6;
  unittypes[1].rcost = 4;
  EXPECT_EQ(unitrescost(1), 8 * 2 / 2 + 4);
  addtypeability(1, AB_RESSIZE, 3);
  EXPECT_EQ(unitrescost(1), 8 * 3 / 2 + 4);
  unittypes[1].rcost = -100;
  EXPECT_EQ(unitrescost(1), 0);
  EXPECT_EQ(unitrescost(-1), 0);
  EXPECT_EQ(unitrescost(MAXUNITTYPES), 0);

  unittypes[1].rcost = 4;
  land[1].queuecount = 2;
  land[1].queue[0] = land[1].queue[1] = 1;
  land[1].comqueued = 1;
  land[1].queuedcomtype = 1;
  EXPECT_EQ(recruitqueueres(1), 3 * 16);
  land[1].queuecount = 30000;   // a count from a bad file reads only the queue
  land[1].comqueued = 7;
  EXPECT_EQ(queuedunits(1), 100);
  EXPECT_EQ(queuedcom(1), 1);
  EXPECT_EQ(recruitqueueres(-1), 0);
  land[1].queue[5] = 4000;
  EXPECT_DEATH(recruitqueueres(1), "rq: bad m in uque");

  settype(2, "Hero");
  const int32_t c = mkcom(2, 1, 1);
  com[c].item[3] = 17;
  EXPECT_EQ(comhasitem(c, 17), 1);
  EXPECT_EQ(comhasitem(c, 18), 0);
  EXPECT_EQ(comhasitem(-1, 17), 0);
  com[c].body = -1;
  EXPECT_EQ(comhasitem(c, 17), 0);

  nations[5].attrkey[0] = NA_UNDERWATER;
  nations[5].attrval[0] = 1;
  EXPECT_EQ(isuwnation(5), 1);
  EXPECT_EQ(isuwnation(4), 0);
  EXPECT_EQ(isuwnation(95), 0);
  EXPECT_EQ(isuwnation(-1), 0);
}

TEST(Scores, ArmyCompositionTalliesTheTwoMostCommonTypes) {
  makesmallworld();
  for (int m = 1; m <= 60; m++) settype(m, "T");
  mkunit(7, 2, 1);
  mkunit(3, 2, 1);
  mkunit(3, 2, 1);
  mkunit(9, 2, 1);
  mkunit(9, 2, 1);
  mkunit(3, 2, 2);
  mkunit(3, 5, 1);
  int32_t t1, c1, t2, c2;
  EXPECT_EQ(armycomposition(2, 1, &t1, &c1, &t2, &c2), 5);
  EXPECT_EQ(t1, 3);   // equal counts keep their order of appearance
  EXPECT_EQ(c1, 2);
  EXPECT_EQ(t2, 9);
  EXPECT_EQ(c2, 2);
  EXPECT_EQ(armycomposition(2, -1, &t1, &c1, &t2, &c2), 6);
  EXPECT_EQ(c1, 3);
  EXPECT_EQ(armycomposition(4, 1, &t1, &c1, &t2, &c2), 0);
  EXPECT_EQ(t1, -1);
  EXPECT_EQ(c2, 0);
  // Fifty-five distinct types: the ones past fifty count only in the total.
  for (int m = 1; m <= 55; m++) mkunit(m, 6, 1);
  mkunit(55, 6, 1);
  mkunit(55, 6, 1);
  EXPECT_EQ(armycomposition(6, 1, &t1, &c1, nullptr, nullptr), 57);
  EXPECT_EQ(c1, 1);
}
