// Messages during a turn: the list of a nation's messages, and letters to
// other nations that carry gold, gems or an item, paid when written and
// returned when taken back.
#include <gtest/gtest.h>

#include "screens/messages.h"
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

TEST(MessageList, TheNationsOwnAndThoseToEveryone) {
  world();
  t2msg(newmsg(-1, FRIEND, MT_PLAIN, -1), "not mine");
  t2msg(newmsg(2, ME, MT_LANDLINK, 2), "Battle of Land2\nThe rest");
  t2msg(newmsg(-1, -2, MT_PLAIN, -1), "To all");
  EXPECT_EQ(playermessages(ME), std::vector<int32_t>({1, 2}));
  char title[100];
  messagetitle(1, title, sizeof title);
  EXPECT_STREQ(title, "Battle of Land2");
  messagetitle(1, title, 7);
  EXPECT_STREQ(title, "Battle");
}

TEST(Letters, GiftsArePaidWhenWrittenAndReturnedWhenTakenBack) {
  world();
  EXPECT_EQ(letterreceivers(ME), std::vector<int32_t>({FRIEND}));
  const int32_t gold = sendletter(ME, FRIEND, "Peace?", PG_GOLD, 40);
  ASSERT_GE(gold, 0);
  EXPECT_EQ(kingdom[ME].gold, 60);
  EXPECT_EQ(pmess[ME][gold].b0, FRIEND);
  EXPECT_EQ(pmess[ME][gold].value, 40);
  const int32_t gems = sendletter(ME, FRIEND, "Gems", PG_GEMS + 2, 5);
  ASSERT_GE(gems, 0);
  EXPECT_EQ(kingdom[ME].w[KW_GEMS + 2], 0);
  const int32_t item = sendletter(ME, FRIEND, "A ring", PG_ITEM, 4);
  ASSERT_GE(item, 0);
  EXPECT_EQ(pmess[ME][item].value, 9);
  EXPECT_EQ(kingdom[ME].w[KW_LABSTORE + 4], 0);
  EXPECT_EQ(pendingletters(ME), std::vector<int32_t>({gold, gems, item}));
  char line[200];
  letterline(ME, item, line, sizeof line);
  EXPECT_NE(std::string(line).find("(with Ring of Frost)"), std::string::npos);
  // Taken back: everything returns, once.
  EXPECT_EQ(withdrawletter(ME, gold), 1);
  EXPECT_EQ(withdrawletter(ME, gold), 0);
  EXPECT_EQ(withdrawletter(ME, gems), 1);
  EXPECT_EQ(withdrawletter(ME, item), 1);
  EXPECT_EQ(kingdom[ME].gold, 100);
  EXPECT_EQ(kingdom[ME].w[KW_GEMS + 2], 5);
  EXPECT_EQ(kingdom[ME].w[KW_LABSTORE], 9);
  EXPECT_TRUE(pendingletters(ME).empty());
}

TEST(Letters, RefusalsChangeNothing) {
  world();
  EXPECT_EQ(sendletter(ME, ME, "me", PG_NONE, 0), LR_RECEIVER);
  EXPECT_EQ(sendletter(ME, 7, "gone", PG_NONE, 0), LR_RECEIVER);
  EXPECT_EQ(sendletter(ME, 25, "independents", PG_NONE, 0), LR_RECEIVER);
  EXPECT_EQ(sendletter(ME, FRIEND, "much", PG_GOLD, 101), LR_GOLD);
  EXPECT_EQ(sendletter(ME, FRIEND, "none", PG_GOLD, 0), LR_AMOUNT);
  EXPECT_EQ(sendletter(ME, FRIEND, "gems", PG_GEMS + 2, 6), LR_GEMS);
  EXPECT_EQ(sendletter(ME, FRIEND, "item", PG_ITEM, 5), LR_ITEM);
  EXPECT_EQ(sendletter(ME, FRIEND, "item", PG_ITEM, 50), LR_ITEM);
  EXPECT_EQ(kingdom[ME].gold, 100);
  EXPECT_EQ(kingdom[ME].w[KW_GEMS + 2], 5);
  EXPECT_TRUE(pendingletters(ME).empty());
  // Every slot taken: the next one is refused.
  for (int32_t n = 0; n < PMESSSLOTS; n++) ASSERT_EQ(sendletter(ME, FRIEND, "x", PG_NONE, 0), n);
  EXPECT_EQ(sendletter(ME, FRIEND, "x", PG_GOLD, 1), LR_NOSLOT);
  EXPECT_EQ(kingdom[ME].gold, 100);
}

TEST(Letters, AnItemStaysInTheLetterWhenTheLaboratoryIsFull) {
  world();
  const int32_t item = sendletter(ME, FRIEND, "A ring", PG_ITEM, 4);
  for (int32_t i = 0; i < LABSTORESIZE; i++) kingdom[ME].w[KW_LABSTORE + i] = 9;
  EXPECT_EQ(withdrawletter(ME, item), 0);
  EXPECT_EQ(pendingletters(ME), std::vector<int32_t>({item}));
}
