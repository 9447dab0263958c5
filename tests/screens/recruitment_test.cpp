// The rules of the Recruit Units screen on a small world: what is offered,
// paying and refunding, the limits of the queue and what a turn covers.
#include <gtest/gtest.h>

#include <cstring>

#include "screens/recruitment.h"
#include "support/smallworld.h"
#include "world/economy.h"
#include "world/scores.h"

namespace {
constexpr int32_t P = 3, L = 1, SPEAR = 10, ACOLYTE = 11, CAPTAIN = 20, SEER = 21, PRIEST = 22, FAR = 30;

// Nation 3 holds the fort of land 1: units 10 and 11 (holy), commanders 20,
// 21 (mage) and 22 (holy); type 30 is recruited nowhere.
class Recruiting : public ::testing::Test {
 protected:
  void SetUp() override {
    makesmallworld();
    for (int32_t m : {SPEAR, ACOLYTE, CAPTAIN, SEER, PRIEST, FAR}) settype(m, "Recruit");
    unittypes[SPEAR].gcost = 10, unittypes[ACOLYTE].gcost = 15, unittypes[CAPTAIN].gcost = 40, unittypes[FAR].gcost = 1;
    unittypes[ACOLYTE].flags = unittypes[PRIEST].flags = MF_HOLY;
    typemagic[0] = TypeMagic{SEER, P_FIRE, 1};
    const int32_t list[] = {SPEAR, ACOLYTE, RECRUIT_COMMANDERS, CAPTAIN, SEER, PRIEST, RECRUIT_END};
    std::copy(std::begin(list), std::end(list), nations[P].recruit);
    land[L].fortholder = land[L].owner = P;
    land[L].fort = 1;
    land[L].poptype = -1;
    kingdom[P].gold = 1000;
  }
  Land& l = land[L];
  int32_t& gold = kingdom[P].gold;
};
}  // namespace

TEST_F(Recruiting, TheLabelsOfCommandersSayWhatTheProvinceLacks) {
  EXPECT_EQ(recruitlist(L, 12), (std::vector<int32_t>{SEER, PRIEST}));
  char label[120];
  const auto labelof = [&](int32_t t) { return barredcomlabel(L, t, label, sizeof label), std::string(label); };
  EXPECT_EQ(labelof(SEER), "Recruit (lab needed)");
  EXPECT_EQ(labelof(PRIEST), "Recruit (temple needed)");
  typemagic[1] = TypeMagic{PRIEST, P_FIRE, 1};   // a holy mage lacks both
  EXPECT_EQ(labelof(PRIEST), "Recruit (lab and temple needed)");
  l.temple = 1;
  EXPECT_EQ(labelof(PRIEST), "Recruit (lab needed)");
  l.fortholder = uint8_t(-1);   // nobody holds the fort: nothing is offered
  EXPECT_TRUE(recruitlist(L, 0).empty());
}

TEST_F(Recruiting, UnitsArePaidAtOnceWhileGoldAndRoomLast) {
  gold = 35;   // three spearmen of the ten asked
  EXPECT_EQ(queueunits(L, P, SPEAR, 10), 3);
  EXPECT_EQ(gold, 5);
  gold = 1000;
  l.queuecount = 95;
  EXPECT_EQ(queueunits(L, P, SPEAR, 10), 5);
  EXPECT_EQ(l.queuecount, 100);
  l.queuecount = 0;
  // Not offered here, a holy unit without a temple, a negative price,
  // unrest above 99, a besieged province, another player.
  EXPECT_EQ(queueunits(L, P, FAR, 1) + queueunits(L, P, ACOLYTE, 1) + queueunits(L, P, -5, 1), 0);
  unittypes[SPEAR].gcost = -10;
  EXPECT_EQ(queueunits(L, P, SPEAR, 1), 0);
  unittypes[SPEAR].gcost = 10;
  l.unrest = 100;
  EXPECT_FALSE(queuecommander(L, P, CAPTAIN));
  EXPECT_EQ(queueunits(L, P, SPEAR, 1), 0);
  l.unrest = 99, l.owner = 4;
  EXPECT_EQ(queueunits(L, P, SPEAR, 1), 0);
  l.owner = P;
  EXPECT_EQ(queueunits(L, 4, SPEAR, 1), 0);
  EXPECT_EQ(gold, 950);
  EXPECT_EQ(l.queuecount, 0);
}

TEST_F(Recruiting, OneCommanderAndRemovalGivesBackExactlyWhatWasPaid) {
  EXPECT_FALSE(queuecommander(L, P, SEER));   // needs a laboratory
  ASSERT_TRUE(queuecommander(L, P, CAPTAIN));
  EXPECT_FALSE(queuecommander(L, P, CAPTAIN));
  queueunits(L, P, SPEAR, 2);
  l.temple = 1;
  queueunits(L, P, ACOLYTE, 1);
  EXPECT_EQ(gold, 925);
  EXPECT_FALSE(unqueuelastunit(L, 4));   // only the fort holder takes gold back
  ASSERT_TRUE(unqueuelastunit(L, P));
  EXPECT_EQ(gold, 940);
  EXPECT_EQ(l.queue[l.queuecount - 1], SPEAR);
  ASSERT_TRUE(unqueuecommander(L, P));
  EXPECT_FALSE(unqueuecommander(L, P));
  EXPECT_EQ(gold, 980);
  l.queuecount = 300;   // a count out of range from a file: nothing taken
  EXPECT_FALSE(unqueuelastunit(L, P));
  EXPECT_EQ(gold, 980);
}

// The commander is paid first, then the units in order; once a turn's
// resources are spent everything after waits (drawn faded).
TEST_F(Recruiting, TheQueueLineAndWhatThisTurnsResourcesCover) {
  l.temple = 1;
  queuecommander(L, P, CAPTAIN);
  queueunits(L, P, SPEAR, 3);
  queueunits(L, P, ACOLYTE, 2);
  const RecruitTotals t = recruittotals(L, P);
  EXPECT_EQ(t.left, t.perturn - recruitqueueres(L));
  EXPECT_EQ(t.holy, getveystr(P) - 2);
  unittypes[SPEAR].rcost = unittypes[ACOLYTE].rcost = 1;
  unittypes[CAPTAIN].rcost = int16_t(getresources(L, P) - 2 * unitrescost(SPEAR));
  ASSERT_GE(unittypes[CAPTAIN].rcost, 0);
  EXPECT_EQ(queuecovered(L, P), (std::vector<bool>{true, true, true, false, false, false}));
  EXPECT_FLOAT_EQ(queuestep(40), 10.75f);
}
