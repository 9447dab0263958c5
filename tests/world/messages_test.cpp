#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include "runtime/rnd.h"
#include "world/hoststate.h"
#include "world/world.h"

class MessagesTest : public ::testing::Test {
 protected:
  void SetUp() override { clearworld(); }
};

TEST_F(MessagesTest, NewMessagesTakeFreeSlotsAndRefuseBadPlayers) {
  EXPECT_EQ(newmsg(5, 95, MT_PLAIN, 0), -1);
  EXPECT_EQ(newmsg(5, -1, MT_PLAIN, 0), -1);
  const int32_t a = newmsg(5, 3, MT_PLAIN, 0);
  const int32_t b = newmsg(-1, -2, MT_BATTLE, 0);
  EXPECT_EQ(a, 0);
  EXPECT_EQ(b, 1);
  EXPECT_EQ(message[b].player, MSG_ALLPLAYERS);
  EXPECT_EQ(highestmsg, 1);
  for (int32_t i = 2; i < MAXMSG; i++) ASSERT_GE(newmsg(1, 0, MT_PLAIN, 0), 0);
  EXPECT_EQ(newmsg(1, 0, MT_PLAIN, 0), -1);
}

TEST_F(MessagesTest, AppendedTextIsCutAt1499Characters) {
  const int32_t m = newmsg(1, 0, MT_PLAIN, 0);
  t2msg(m, "%s has %d", "Ulm", 3);
  t2msg(-1, "ignored");
  EXPECT_STREQ(message[m].text, "Ulm has 3");
  const std::string block(1000, 'x');
  t2msg(m, "%s", block.c_str());
  t2msg(m, "%s", block.c_str());
  EXPECT_EQ(strlen(message[m].text), size_t(MSGTEXTLEN - 1));
}

TEST_F(MessagesTest, ScoutReportIsTheLowestOfType5ForPlayerAndLand) {
  newmsg(7, 2, MT_PLAIN, 0);
  const int32_t s1 = newmsg(7, 2, MT_SCOUT, 0);
  newmsg(7, 2, MT_SCOUT, 0);
  newmsg(7, 3, MT_SCOUT, 0);
  EXPECT_EQ(findscoutmsg(2, 7), s1);
  EXPECT_EQ(findscoutmsg(2, 8), -1);
  EXPECT_DEATH(findscoutmsg(101, 7), "sctmsg: bad pl");
}

TEST_F(MessagesTest, RandomNeighbourComesFromTheList) {
  provgeo[4].nbr[0] = 9;
  provgeo[4].nbr[1] = 12;
  provgeo[4].nbr[2] = 0;
  seedrnd(77);
  int seen9 = 0, seen12 = 0;
  for (int i = 0; i < 200; i++) {
    const int32_t n = randneighbour(4);
    ASSERT_TRUE(n == 9 || n == 12);
    (n == 9 ? seen9 : seen12)++;
  }
  EXPECT_GT(seen9, 0);
  EXPECT_GT(seen12, 0);
  EXPECT_EQ(randneighbour(5), -1);
  EXPECT_EQ(randneighbour(0), -1);
  EXPECT_EQ(randneighbour(1505), -1);
}
