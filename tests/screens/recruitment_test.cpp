// The rules of the Recruit Units screen on a small world: what is offered
// and what a turn covers.
#include <gtest/gtest.h>

#include <cstring>

#include "screens/recruitment.h"
#include "support/recruitworld.h"
#include "world/economy.h"
#include "world/scores.h"

using namespace recruitworld;

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

// The commander is paid first, then the units in order; once a turn's
// resources are spent everything after waits (drawn faded).
TEST_F(Recruiting, TheQueueLineAndWhatThisTurnsResourcesCover) {
  l.temple = 1;
  recruitcommander(L, P, CAPTAIN);
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
