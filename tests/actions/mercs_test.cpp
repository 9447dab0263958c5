// Bids for mercenary bands: paid at once, the old bid given back first,
// never more than the treasury holds.
#include <gtest/gtest.h>

#include "actions/mercs.h"
#include "support/smallworld.h"

namespace {

TEST(MercBids, TheOldBidComesBackAndTheNewOneIsPaidWithinTheTreasury) {
  makesmallworld();
  int32_t& gold = kingdom[3].gold;
  int16_t* bids = &kingdom[3].w[KW_MERCBIDS];
  int16_t* lands = &kingdom[3].w[KW_MERCBIDLAND];
  gold = 100;
  ASSERT_FALSE(bidformerc(2, 3, 60, 7));
  EXPECT_EQ(gold, 40);
  EXPECT_EQ(bids[2], 60);
  EXPECT_EQ(lands[2], 7);
  // The 60 already bid count towards a new bid of 100.
  EXPECT_EQ(bidformerc(2, 3, 101, 8).why, "You do not have that much gold");
  ASSERT_FALSE(bidformerc(2, 3, 100, 8));
  EXPECT_EQ(gold, 0);
  EXPECT_EQ(lands[2], 8);
  EXPECT_EQ(stepmercbid(2, 3, 1).why, "You have no more gold");
  EXPECT_FALSE(stepmercbid(2, 3, -5));
  EXPECT_EQ(gold, 1);
  EXPECT_EQ(bids[2], 99);
  EXPECT_EQ(canbidformerc(2, 3, 40000).why, "A bid is between 0 and 32767 pounds of gold");
  EXPECT_EQ(canbidformerc(MAXMERCBANDS, 3, 1).why, "No such mercenary band");
  EXPECT_EQ(canbidformerc(2, MAXPLAYERS, 1).why, "No such nation");
  ASSERT_FALSE(withdrawmercbid(2, 3));
  EXPECT_EQ(gold, 100);
  EXPECT_EQ(lands[2], -1);
  EXPECT_EQ(stepmercbid(2, 3, -1).why, "There is no bid to lower");
  // A bid of nothing needs no gold, even from a treasury in debt.
  gold = -5;
  EXPECT_FALSE(bidformerc(2, 3, 0, 7));
}

}  // namespace
