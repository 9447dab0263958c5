#include <gtest/gtest.h>

#include "screens/orders.h"
#include "support/smallworld.h"
#include "world/provinfo.h"

namespace {
class Armies : public ::testing::Test {
 protected:
  void SetUp() override {
    makesmallworld();
    settype(1, "Man");
    settype(2, "Mage");
    clearselections();
  }
  std::vector<int32_t> selection() {
    return {selectedcoms.nr.begin(), selectedcoms.nr.begin() + (selectedcoms.last + 1)};
  }
};

TEST_F(Armies, SelectArmyGivesALoneCommanderANewArmyAndSelectsTheWholeArmyOtherwise) {
  const int32_t a = mkcom(1, 3, 2), b = mkcom(1, 3, 2), elsewhere = mkcom(1, 3, 4), foreign = mkcom(1, 5, 2);
  selectcom(foreign);
  EXPECT_EQ(selectarmy(a), 0);
  EXPECT_EQ(selection(), std::vector<int32_t>{a});
  ASSERT_NE(com[a].armynr, 0);
  // The same number elsewhere, on another owner or on a dead body binds nothing.
  for (int32_t c : {b, elsewhere, foreign}) com[c].armynr = com[a].armynr;
  const int32_t dead = mkcom(1, 3, 2);
  com[dead].armynr = com[a].armynr;
  unit[bodyunit(dead)].hp = 0;
  EXPECT_EQ(selectarmy(b), 0);
  EXPECT_EQ(selection(), (std::vector<int32_t>{b, a}));
  EXPECT_EQ(selectarmy(-1), -1);
}

TEST_F(Armies, SelectKindBindsEveryCommanderOfTheTypeInTheProvince) {
  const int32_t a = mkcom(1, 3, 2), mage = mkcom(2, 3, 2), b = mkcom(1, 3, 2), away = mkcom(1, 3, 5);
  com[mage].armynr = 77;
  EXPECT_EQ(selectkind(b), 1);
  EXPECT_EQ(selection(), (std::vector<int32_t>{a, b}));
  EXPECT_NE(com[a].armynr, 0);
  EXPECT_EQ(com[a].armynr, com[b].armynr);
  EXPECT_EQ(com[mage].armynr, 77);
  EXPECT_EQ(com[away].armynr, 0);
}

TEST_F(Armies, SelArmyNrSkipsCommandersWithoutAnArmy) {
  EXPECT_EQ(selarmynr(), 0);
  const int32_t a = mkcom(1, 3, 2), b = mkcom(1, 3, 2);
  com[b].armynr = 12;
  selectcom(a);
  EXPECT_EQ(selarmynr(), 0);
  selectcom(b);
  EXPECT_EQ(selarmynr(), 12);
}

TEST_F(Armies, CheckArmiesKeepsAnArmyWhereItsLowestLivingCommanderStands) {
  const int32_t dead = mkcom(1, 3, 7), first = mkcom(1, 3, 2), strayed = mkcom(1, 3, 4), kept = mkcom(1, 3, 2);
  const int32_t other = mkcom(1, 6, 4);   // another nation's army of the same number
  for (int32_t c : {dead, first, strayed, kept, other}) com[c].armynr = 9;
  unit[bodyunit(dead)].hp = 0;
  checkarmies();
  EXPECT_EQ(com[dead].armynr, 0);
  EXPECT_EQ(com[first].armynr, 9);
  EXPECT_EQ(com[kept].armynr, 9);
  EXPECT_EQ(com[strayed].armynr, 0);
  EXPECT_EQ(com[other].armynr, 9);
}

TEST_F(Armies, PagingCountsTheOwnersLivingCommandersOfTheProvince) {
  // Cards of nation 3 in land 2: c0 c1 (dead c2) c3 c4, and others between.
  std::vector<int32_t> mine;
  for (int32_t i = 0; i < 5; i++) {
    mine.push_back(mkcom(1, 3, 2));
    mkcom(1, 4, 2);
    mkcom(1, 3, 6);
  }
  unit[bodyunit(mine[2])].hp = 0;   // a dead body takes no place on the cards
  // Pages of two cards: mine[0], mine[1] | mine[3], mine[4].
  EXPECT_EQ(comvisible(mine[0], 0, 2), 1);
  EXPECT_EQ(comvisible(mine[1], 0, 2), 1);
  EXPECT_EQ(comvisible(mine[3], 0, 2), 0);
  EXPECT_EQ(comvisible(mine[0], 2, 2), 0);
  EXPECT_EQ(comvisible(mine[3], 2, 2), 1);
  EXPECT_EQ(comvisible(mine[4], 2, 2), 1);
  EXPECT_EQ(comvisible(mine[4], 3, 2), 1);
  setunitland(bodyunit(mine[4]), -1);
  EXPECT_EQ(comvisible(mine[4], 0, 2), -1);
  EXPECT_EQ(comvisible(highestcom + 1, 0, 2), -1);
}
}  // namespace
