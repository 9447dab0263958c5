// Joining squads under the leadership limits: new and given squads, the
// refusals and what a unit keeps, and a sneak that a unit cannot keep.
#include <gtest/gtest.h>

#include "support/squadworld.h"

using namespace squadworld;

TEST_F(Squads, UnitsJoinNewAndGivenSquadsUnderTheRules) {
  const int32_t c = mkcom(2, ME, 1);
  const std::vector<int32_t> men = units(1, 7);
  squaddefaults = SquadDefaults{3, -2, 2, 5};
  ASSERT_FALSE(joinsquad(men[0], c, -1, 0));
  const int32_t s = unit[men[0]].squad;
  EXPECT_EQ(com[c].squad[0], s);
  EXPECT_EQ(com[c].sqx[0], 3);   // the defaults go into the new slot
  EXPECT_EQ(com[c].sqorder[0], 2);
  EXPECT_EQ(com[c].sqtarget[0], 5);
  EXPECT_FALSE(joinsquad(men[1], c, s, 0));
  // Five squads, then a request for a new one lands in the first.
  for (int32_t i = 2; i < 6; i++) ASSERT_FALSE(joinsquad(men[size_t(i)], c, -1, 0));
  EXPECT_EQ(nbrsquads(c), 5);
  EXPECT_FALSE(joinsquad(men[6], c, -1, 0));
  EXPECT_EQ(unit[men[6]].squad, s);
  // Commander -1: out of every squad, into the garrison.
  EXPECT_FALSE(joinsquad(men[6], -1, -1, 0));
  EXPECT_EQ(unit[men[6]].squad, -1);

  // Refusals keep the former squad, or leave the unit out with leave-out.
  const int32_t there = mkunit(1, ME, 2);
  EXPECT_EQ(joinsquad(there, c, -1, 0).why, "The unit stands in another province");
  const int32_t d = mkcom(2, ME, 1);
  EXPECT_EQ(joinsquad(men[1], d, s, 0).why, "Captain does not lead that squad");
  EXPECT_EQ(unit[men[1]].squad, s);
  EXPECT_TRUE(joinsquad(men[1], d, s, 1));
  EXPECT_EQ(unit[men[1]].squad, -1);
  // A commander without a unit is a refusal like the others.
  com[d].body = -1;
  setunitsquad(men[2], com[c].squad[1]);
  EXPECT_EQ(joinsquad(men[2], d, -1, 0).why, "No commander to join");
  EXPECT_EQ(unit[men[2]].squad, com[c].squad[1]);
  // A mercenary commander takes no units, whatever leave-out says.
  const int32_t merc = mkcom(2, ME, 1);
  unit[bodyunit(merc)].homeland = -2;
  EXPECT_EQ(joinsquad(men[2], merc, -1, 0).why, "A mercenary commander leads only its band");
  EXPECT_EQ(unit[men[2]].squad, -1);
  EXPECT_EQ(nbrsquads(merc), 0);
}

TEST_F(Squads, LeadershipIsCountedByKind) {
  const int32_t c = mkcom(2, ME, 1);
  int32_t undead = 0, magic = 0;
  const int32_t normal = maxcomunits(c, &undead, &magic);
  ASSERT_EQ(undead, 0);
  ASSERT_GT(normal, 0);
  const int32_t zombie = mkunit(3, ME, 1);
  EXPECT_EQ(joinsquad(zombie, c, -1, 0).why, "Captain cannot lead more undead");   // though room for the living
  EXPECT_EQ(nbrsquads(c), 0);           // the squad made for it is gone again
  const std::vector<int32_t> men = units(1, normal + 1);
  for (int32_t i = 0; i < normal; i++) ASSERT_FALSE(joinsquad(men[size_t(i)], c, -1, 0)) << i;
  EXPECT_EQ(joinsquad(men[size_t(normal)], c, -1, 1).why, "Captain cannot lead more troops");
  // Asked beforehand, a unit led already is counted as if it had left.
  EXPECT_FALSE(canjoinsquad(men[0], c, unit[men[0]].squad));
  EXPECT_EQ(canjoinsquad(men[size_t(normal)], c, unit[men[0]].squad).why, "Captain cannot lead more troops");
  EXPECT_EQ(unit[men[size_t(normal)]].squad, -1);
  EXPECT_EQ(canlead(c, zombie).why, "Captain cannot lead undead");
  EXPECT_FALSE(canlead(c, men[0]));
}

TEST_F(Squads, ANonStealthyUnitEndsASneak) {
  const int32_t abroad = mkcom(2, ME, 5);   // land 5 is nobody's
  com[abroad].order = Order::sneak;
  com[abroad].orderparam = 1;
  ASSERT_FALSE(joinsquad(mkunit(1, ME, 5), abroad, -1, 0));
  EXPECT_EQ(com[abroad].order, Order::defend);
  // At home it becomes a move, which stands only while the move is legal.
  provgeo[1].nbr[0] = 2;
  provgeo[2].nbr[0] = 1;
  const int32_t home = mkcom(2, ME, 1);
  com[home].order = Order::sneak;
  com[home].orderparam = 2;
  ASSERT_FALSE(joinsquad(mkunit(1, ME, 1), home, -1, 0));
  EXPECT_EQ(com[home].order, Order::move);
  com[home].orderparam = 9;   // out of reach
  ASSERT_FALSE(joinsquad(mkunit(1, ME, 1), home, -1, 0));
  EXPECT_EQ(com[home].order, Order::defend);
}
