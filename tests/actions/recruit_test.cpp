// The recruitment queue on a small world: paying at once while gold and
// room last, the refusals, one commander, and taking back exactly what was
// paid (only the fort holder takes gold back).
#include <gtest/gtest.h>

#include "actions/recruit.h"
#include "support/recruitworld.h"

using namespace recruitworld;

TEST_F(Recruiting, UnitsArePaidAtOnceWhileGoldAndRoomLast) {
  gold = 35;   // three spearmen of the ten asked
  EXPECT_EQ(queueunits(L, P, SPEAR, 10), 3);
  EXPECT_EQ(gold, 5);
  EXPECT_EQ(recruitunit(L, P, SPEAR).why, "Not enough gold");
  gold = 1000;
  l.queuecount = 95;
  EXPECT_EQ(queueunits(L, P, SPEAR, 10), 5);
  EXPECT_EQ(l.queuecount, 100);
  EXPECT_EQ(canrecruitunit(L, P, SPEAR).why, "The recruitment queue is full");
  l.queuecount = 0;
  // Not offered here, a holy unit without a temple, a negative price,
  // unrest above 99, a besieged province, another player.
  EXPECT_EQ(queueunits(L, P, FAR, 1) + queueunits(L, P, ACOLYTE, 1) + queueunits(L, P, -5, 1), 0);
  unittypes[SPEAR].gcost = -10;
  EXPECT_EQ(queueunits(L, P, SPEAR, 1), 0);
  unittypes[SPEAR].gcost = 10;
  l.unrest = 100;
  EXPECT_EQ(recruitcommander(L, P, CAPTAIN).why, "Unrest too high");
  EXPECT_EQ(queueunits(L, P, SPEAR, 1), 0);
  l.unrest = 99, l.owner = 4;
  EXPECT_EQ(canrecruitunit(L, P, SPEAR).why, "Cannot recruit while besieged");
  l.owner = P;
  EXPECT_EQ(queueunits(L, 4, SPEAR, 1), 0);
  EXPECT_EQ(gold, 950);
  EXPECT_EQ(l.queuecount, 0);
}

TEST_F(Recruiting, OneCommanderAndRemovalGivesBackExactlyWhatWasPaid) {
  EXPECT_EQ(recruitcommander(L, P, SEER).why, "Not recruited here");   // needs a laboratory
  ASSERT_FALSE(recruitcommander(L, P, CAPTAIN));
  EXPECT_EQ(recruitcommander(L, P, CAPTAIN).why, "A commander is already queued");
  queueunits(L, P, SPEAR, 2);
  l.temple = 1;
  queueunits(L, P, ACOLYTE, 1);
  EXPECT_EQ(gold, 925);
  EXPECT_EQ(unqueuelastunit(L, 4).why, "Only the holder of the fort can recruit here");
  ASSERT_FALSE(unqueuelastunit(L, P));
  EXPECT_EQ(gold, 940);
  EXPECT_EQ(l.queue[l.queuecount - 1], SPEAR);
  ASSERT_FALSE(unqueuecommander(L, P));
  EXPECT_EQ(unqueuecommander(L, P).why, "No commander queued");
  EXPECT_EQ(gold, 980);
  l.queuecount = 300;   // a count out of range from a file: nothing taken
  EXPECT_EQ(unqueuelastunit(L, P).why, "No unit queued");
  EXPECT_EQ(gold, 980);
}
