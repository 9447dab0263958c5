// Unit and commander queries, the army-size cache, link repairs, and the
// consistency stops.
#include <gtest/gtest.h>

#include <functional>
#include <regex>

#include "support/process.h"
#include "support/smallworld.h"

class UnitQuery : public ::testing::Test {
 protected:
  void SetUp() override {
    makesmallworld();
    settype(1, "Soldier");
    settype(2, "Giant").size = 5;
    settype(3, "Ghoul").flags2 = MF2_UNDEADCLASS;
    settype(4, "Wisp").flags2 = MF2_MAGICBEING;
  }
};

TEST_F(UnitQuery, CountsSeeOnlyLivingUnits) {
  mkunit(1, 0, 1);
  mkunit(2, 0, 1);
  mkunit(1, 1, 2);
  unit[mkunit(1, 0, 1)].hp = 0;
  EXPECT_EQ(countunits(-1, -1), 3);
  EXPECT_EQ(countunits(1, -1), 2);
  EXPECT_EQ(countunits(-1, 1), 1);
  EXPECT_EQ(sumunitsizes(1, 0), 2 + 6);
  const int32_t c = mkcom(1, 0, 1);
  EXPECT_EQ(countcommanders(1, 0), 1);
  EXPECT_EQ(countfreeunits(1, 0, -1), 2);   // the commander's body does not count
  EXPECT_EQ(countfreeunits(1, 0, 2), 1);
  unit[bodyunit(c)].hp = 0;
  EXPECT_EQ(countcommanders(1, 0), 0);
}

TEST_F(UnitQuery, FindUnitOfTypePrefersTheLiving) {
  const int32_t dead = mkunit(3, 0, 1);
  unit[dead].hp = 0;
  EXPECT_EQ(findunitoftype(3), dead);
  const int32_t alive = mkunit(3, 0, 1);
  EXPECT_EQ(findunitoftype(3), alive);
  EXPECT_EQ(findunitoftype(4), -1);
}

TEST_F(UnitQuery, EmptyTablesCountNothing) {
  EXPECT_EQ(countunits(-1, -1), 0);
  EXPECT_EQ(findunitoftype(0), -1);
}

TEST_F(UnitQuery, UnitToCommanderChecksTheLinkBothWays) {
  const int32_t c = mkcom(1, 0, 1);
  const int32_t u = mkunit(1, 0, 1);
  EXPECT_EQ(unit2com(bodyunit(c)), c);
  EXPECT_EQ(unit2com(u), -1);
  EXPECT_EQ(unit2com(-1), -1);
  EXPECT_DEATH(unit2com(MAXUNITS), "u2c: bad unr");
  unit[u].comnr = c;   // claims a commander whose body is another unit
  EXPECT_DEATH(unit2com(u), "unit2com inconsistency");
  unit[u].comnr = 8999;   // beyond the highest commander
  EXPECT_DEATH(unit2com(u), "unit2com inconsistency");
  unit[u].comnr = 70000;  // beyond the table: no record is read for the dump
  EXPECT_DEATH(unit2com(u), "unit2com inconsistency");
}

TEST_F(UnitQuery, LeadersAndSquads) {
  const int32_t free = mkcom(1, 0, 1);   // squads all -1
  const int32_t c = mkcom(1, 0, 1);
  com[c].squad[4] = 70;
  const int32_t u = mkunit(1, 0, 1);
  EXPECT_EQ(unitleader(u), -1);          // squad -1 never matches an empty slot
  setunitsquad(u, 70);
  EXPECT_EQ(unitleader(u), c);
  EXPECT_EQ(unitleader(bodyunit(free)), free);
  EXPECT_TRUE(comleadsunit(u, c));
  EXPECT_FALSE(comleadsunit(u, free));
  EXPECT_FALSE(comleadsunit(-1, c));
  EXPECT_EQ(squad2com(70), c);
  EXPECT_EQ(squad2com(-1), -1);
  EXPECT_TRUE(comhasunits(c));
  EXPECT_FALSE(comhasunits(free));
  EXPECT_DEATH(comhasunits(99), "comunits: bad cnr");
}

TEST_F(UnitQuery, LedUnitsByLeadershipClass) {
  const int32_t c = mkcom(1, 0, 1);
  com[c].squad[0] = 10;
  com[c].squad[1] = 11;
  for (int32_t t : {1, 1, 3, 4, 4}) setunitsquad(mkunit(t, 0, 1), t == 1 ? 10 : 11);
  setunitsquad(mkunit(1, 0, 2), 10);   // elsewhere
  int32_t undead = -1, magic = -1;
  EXPECT_EQ(comunits(c, &undead, &magic), 2);
  EXPECT_EQ(undead, 1);
  EXPECT_EQ(magic, 2);
  com[c].body = -1;
  EXPECT_DEATH(comunits(c, nullptr, nullptr), "comunits: bad unr");
}

TEST_F(UnitQuery, ArmySizeCacheOwnLandsAndScoutReports) {
  land[1].owner = 0;
  for (int i = 0; i < 3; i++) mkunit(1, 0, 1);
  for (int i = 0; i < 5; i++) mkunit(2, 0, 1);
  mkunit(3, 0, 1);
  mkcom(4, 0, 1);
  const int32_t m = newmsg(2, 0, MT_SCOUT, 0);
  message[m].subj[1] = 40;
  message[m].subj[2] = 3;
  cachearmysizes(0);
  EXPECT_EQ(cachedarmysize(1), 10);
  int32_t t1, c1, t2, c2;
  cachedarmytypes(1, &t1, &c1, &t2, &c2);
  EXPECT_EQ(t1, 2);
  EXPECT_EQ(c1, 5);
  EXPECT_EQ(t2, 1);
  EXPECT_EQ(c2, 3);
  EXPECT_EQ(cachedcomcount(1), 1);
  EXPECT_EQ(cachedarmysize(2), 40);
  cachedarmytypes(2, &t1, &c1, &t2, &c2);
  EXPECT_EQ(t1, 3);
  EXPECT_EQ(c1, 40);
  EXPECT_EQ(t2, -1);
  EXPECT_EQ(cachedarmysize(3), 0);
  EXPECT_EQ(cachedarmysize(0), 0);
  EXPECT_EQ(cachedarmysize(1505), 0);
  cachedarmytypes(1505, &t1, &c1, &t2, &c2);
  EXPECT_EQ(t1 | c1 | t2 | c2, 0);
}

TEST_F(UnitQuery, EqualCountsKeepTheirOrderOfFirstAppearance) {
  land[1].owner = 0;
  mkunit(3, 0, 1);
  mkunit(4, 0, 1);
  mkunit(1, 0, 1);
  mkunit(4, 0, 1);
  mkunit(3, 0, 1);
  cachearmysizes(0);
  int32_t t1, c1, t2, c2;
  cachedarmytypes(1, &t1, &c1, &t2, &c2);
  EXPECT_EQ(t1, 3);
  EXPECT_EQ(t2, 4);
}

TEST_F(UnitQuery, StrayUnitsLoseTheirSquadLinks) {
  const int32_t c = mkcom(1, 0, 1);
  com[c].squad[0] = 10;
  const int32_t near = mkunit(1, 0, 1);
  const int32_t far = mkunit(1, 0, 2);
  setunitsquad(near, 10);
  setunitsquad(far, 10);
  unlinkstrayunits();
  EXPECT_EQ(unit[near].squad, 10);
  EXPECT_EQ(unit[far].squad, -1);
  setunitland(bodyunit(c), 0);          // a commander in land 0 keeps its units
  setunitsquad(far, 10);
  unlinkstrayunits();
  EXPECT_EQ(unit[near].squad, 10);
  EXPECT_EQ(unit[far].squad, 10);
  unit[bodyunit(c)].owner = 1;         // changed sides
  unlinkstrayunits();
  EXPECT_EQ(unit[near].squad, -1);
}

TEST_F(UnitQuery, EmptySquadsAreCleared) {
  const int32_t c = mkcom(1, 0, 1);
  com[c].squad[0] = 10;
  com[c].squad[1] = 11;
  setunitsquad(mkunit(1, 0, 1), 10);
  const int32_t gone = mkunit(1, 0, 1);
  setunitsquad(gone, 11);
  unit[gone].hp = 0;
  clearemptysquads();
  EXPECT_EQ(com[c].squad[0], 10);
  EXPECT_EQ(com[c].squad[1], -1);
}

TEST_F(UnitQuery, ConsistencyStops) {
  const int32_t u = mkunit(1, 3, 1);
  unitfatal(0x10000, "ignored", u);   // only the low 16 bits count
  unit[u].hp = 0;
  checkunit(u, "tst");                 // 0 hit points pass
  unit[u].hp = -1;
  EXPECT_DEATH(checkunit(u, "tst"), "tst: unit dead");
  unit[u].hp = 1;
  unit[u].owner = -2;
  EXPECT_DEATH(checkunit(u, "tst"), "tst: bad owner");
  EXPECT_DEATH(checkunit(u + 1, "tst"), "tst: bad unr");
  EXPECT_DEATH(checkcom(0, "tst"), "tst: bad cnr 0");
  // With -d the log names the place of the check's caller, not of the check.
  const std::regex here("where: tests/world/unitquery_test.cpp:[0-9]+, operator\\(\\)\n");
  for (const auto& stop : std::vector<std::function<void()>>{[&] { checkunit(u, "tst"); },
                                                             [&] { checkunit(u + 1, "tst"); },
                                                             [&] { checkcom(0, "tst"); }}) {
    const Ended e = runchild([&] {
      debuglevel = 1;
      stop();
    });
    EXPECT_TRUE(std::regex_match(e.places, here)) << e.places;
  }
  EXPECT_DEATH(unitfatal(1, "broken unit", -5), "broken unit");
}

TEST_F(UnitQuery, DumpWritesTheUnitToTheLog) {
  const int32_t u = mkunit(1, 3, 1);
  debuglevel = 1;
  strcpy(nations[3].name, "Ulmland");
  testing::internal::CaptureStdout();
  unitdump(u);
  unitdump(-4);
  const std::string out = testing::internal::GetCapturedStdout();
  debuglevel = 0;
  EXPECT_NE(out.find("owner: 3 (Ulmland)"), std::string::npos);
  EXPECT_NE(out.find("type: 1 (Soldier)"), std::string::npos);
  EXPECT_NE(out.find("--------- Unit nbr -4"), std::string::npos);
}
