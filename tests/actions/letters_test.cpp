// Letters to other nations that carry gold, gems or an item, paid when
// written and returned when taken back, and their refusals.
#include <gtest/gtest.h>

#include "actions/letters.h"
#include "support/smallworld.h"

namespace {
constexpr int32_t ME = 3, FRIEND = 4;

void world() {
  makesmallworld();
  for (int32_t k : {ME, FRIEND, 7}) kingdom[k].w[KW_CONTROLLER] = CTRL_HUMAN;
  kingdom[7].w[KW_CONTROLLER] = CTRL_NONE;
  kingdom[ME].gold = 100;
  kingdom[ME].w[KW_GEMS + 2] = 5;
  setitem(9, "Ring of Frost", IT_MISC);
  kingdom[ME].w[KW_LABSTORE + 4] = 9;
}
}  // namespace

TEST(Letters, GiftsArePaidWhenWrittenAndReturnedWhenTakenBack) {
  world();
  EXPECT_EQ(letterreceivers(ME), std::vector<int32_t>({FRIEND}));
  int32_t gold = -1, gems = -1, item = -1;
  ASSERT_FALSE(sendletter(ME, FRIEND, "Peace?", PG_GOLD, 40, &gold));
  EXPECT_EQ(kingdom[ME].gold, 60);
  EXPECT_EQ(pmess[ME][gold].b0, FRIEND);
  EXPECT_EQ(pmess[ME][gold].value, 40);
  ASSERT_FALSE(sendletter(ME, FRIEND, "Gems", PG_GEMS + 2, 5, &gems));
  EXPECT_EQ(kingdom[ME].w[KW_GEMS + 2], 0);
  ASSERT_FALSE(sendletter(ME, FRIEND, "A ring", PG_ITEM, 4, &item));
  EXPECT_EQ(pmess[ME][item].value, 9);
  EXPECT_EQ(kingdom[ME].w[KW_LABSTORE + 4], 0);
  EXPECT_EQ(pendingletters(ME), std::vector<int32_t>({gold, gems, item}));
  // Taken back: everything returns, once.
  EXPECT_FALSE(withdrawletter(ME, gold));
  EXPECT_EQ(withdrawletter(ME, gold).why, "There is no such message");
  EXPECT_FALSE(withdrawletter(ME, gems));
  EXPECT_FALSE(withdrawletter(ME, item));
  EXPECT_EQ(kingdom[ME].gold, 100);
  EXPECT_EQ(kingdom[ME].w[KW_GEMS + 2], 5);
  EXPECT_EQ(kingdom[ME].w[KW_LABSTORE], 9);
  EXPECT_TRUE(pendingletters(ME).empty());
}

TEST(Letters, RefusalsChangeNothing) {
  world();
  EXPECT_EQ(sendletter(ME, ME, "me", PG_NONE, 0).why, "There is no nation to send a message to");
  EXPECT_TRUE(sendletter(ME, 7, "gone", PG_NONE, 0));
  EXPECT_TRUE(sendletter(ME, 25, "independents", PG_NONE, 0));
  EXPECT_EQ(sendletter(ME, FRIEND, "much", PG_GOLD, 101).why, "You do not have that much gold");
  EXPECT_EQ(sendletter(ME, FRIEND, "none", PG_GOLD, 0).why, "Nothing to send");
  EXPECT_EQ(sendletter(ME, FRIEND, "gems", PG_GEMS + 2, 6).why, "You do not have that many gems");
  EXPECT_EQ(sendletter(ME, FRIEND, "item", PG_ITEM, 5).why, "That item is not in your laboratory");
  EXPECT_TRUE(sendletter(ME, FRIEND, "item", PG_ITEM, 50));
  EXPECT_EQ(kingdom[ME].gold, 100);
  EXPECT_EQ(kingdom[ME].w[KW_GEMS + 2], 5);
  EXPECT_TRUE(pendingletters(ME).empty());
  // Every slot taken: the next one is refused.
  for (int32_t n = 0; n < PMESSSLOTS; n++) {
    int32_t slot = -1;
    ASSERT_FALSE(sendletter(ME, FRIEND, "x", PG_NONE, 0, &slot));
    ASSERT_EQ(slot, n);
  }
  EXPECT_EQ(sendletter(ME, FRIEND, "x", PG_GOLD, 1).why, "You cannot send more messages this month");
  EXPECT_EQ(kingdom[ME].gold, 100);
}

TEST(Letters, AnItemStaysInTheLetterWhenTheLaboratoryIsFull) {
  world();
  int32_t item = -1;
  ASSERT_FALSE(sendletter(ME, FRIEND, "A ring", PG_ITEM, 4, &item));
  for (int32_t i = 0; i < LABSTORESIZE; i++) kingdom[ME].w[KW_LABSTORE + i] = 9;
  EXPECT_EQ(withdrawletter(ME, item).why, "Your laboratory has no room for the item; the message stays");
  EXPECT_EQ(pendingletters(ME), std::vector<int32_t>({item}));
}
