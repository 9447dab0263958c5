// Messages during a turn: the list of a nation's messages and the line of a
// letter.
#include <gtest/gtest.h>

#include "screens/messages.h"
#include "support/smallworld.h"

namespace {
constexpr int32_t ME = 3, FRIEND = 4;

}  // namespace

TEST(MessageList, TheNationsOwnAndThoseToEveryone) {
  makesmallworld();
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

TEST(Letters, TheListLineNamesTheGift) {
  makesmallworld();
  setitem(9, "Ring of Frost", IT_MISC);
  PMess& m = pmess[ME][2];
  m.b0 = FRIEND;
  m.b1 = PG_ITEM;
  m.value = 9;
  char line[200];
  letterline(ME, 2, line, sizeof line);
  EXPECT_NE(std::string(line).find("(with Ring of Frost)"), std::string::npos);
}
