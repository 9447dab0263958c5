// The statistic breakdown: on units with many modifiers at once, the basic
// value and the listed modifiers add up to the figure the rules compute,
// for every statistic, and each modifier is named.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "screens/statbox.h"
#include "support/smallworld.h"

namespace {
bool has(const std::vector<std::string>& v, const std::string& s) { return std::find(v.begin(), v.end(), s) != v.end(); }

class StatBox : public ::testing::Test {
 protected:
  int32_t hero = -1, soldier = -1;
  void SetUp() override {
    makesmallworld();
    settype(1, "Ash Warden");
    Monster& s = settype(2, "Spearman");
    s.prot = 3;
    setweapon(1, "Spear", 2, 1, 3);
    setarmor(1, "Leather Cuirass", IT_ARMOR, -1, 2);
    addprot(1, LOC_BODY, 8);
    setarmor(2, "Buckler", IT_SHIELD, 2, 1);
    addprot(2, LOC_SHIELD, 10);
    s.weapon[0] = 1;
    s.armor[0] = 1;
    s.armor[1] = 2;
    hero = mkcom(1, 3, 2);
    soldier = mkunit(2, 3, 2);
  }
  // Every statistic that adds up does so.
  void expectsums(int32_t unr, const char* what) {
    for (int32_t st = 0; st < STATISTICS; st++) {
      const StatBreakdown b = statbreakdown(unr, unit[unr].type, st);
      if (b.sums) { EXPECT_EQ(b.total, b.value) << what << ", " << b.title; }
    }
  }
};

TEST_F(StatBox, ModifiersAddUpToTheFigure) {
  expectsums(soldier, "plain");
  Unit& u = unit[soldier];
  u.exp = 120;                                          // three stars
  u.flags[0] |= AF_LOSTEYE | AF_WEAKENED | AF_LIMP | AF_SLIMED | AF_CHESTWOUND | AF_FEEBLEMINDED;
  u.flags[1] |= ST_BERSERK | ST_QUICK;
  u.flags[2] |= F3_HELLPOWER;
  u.age = 200;                                          // old
  u.homeland = 2;
  land[2].veystr = 2;
  land[2].veyowner = 5;
  land[2].scale[SC_COLD] = 3;
  land[2].scale[SC_DRAIN] = -4;
  provgeo[2].terrain |= TM_SWAMP;
  expectsums(soldier, "afflicted");
  const StatBreakdown att = statbreakdown(soldier, 2, STAT_ATT);
  EXPECT_EQ(att.first, std::vector<std::string>{"Basic Attack Skill: 10"});
  EXPECT_TRUE(has(att.modifiers, "Experience bonus: +3"));
  EXPECT_TRUE(has(att.modifiers, "Eye Loss: -2"));
  EXPECT_TRUE(has(att.modifiers, "Swamp penalty: -1"));
  EXPECT_TRUE(has(att.current, "Current Attack Skill: " + std::to_string(getatt(soldier))));
  ASSERT_EQ(att.weaponlines.size(), 1u);
  const StatBreakdown mor = statbreakdown(soldier, 2, STAT_MORALE);
  EXPECT_TRUE(has(mor.modifiers, "Hostile Veyrance: -1"));
  EXPECT_TRUE(has(mor.modifiers, "Home Province: +1"));
  EXPECT_TRUE(mor.current.empty()) << "morale shows no current line";
  // The defence separates armour, shield parry and weapon.
  u.flags[0] = 0, u.flags[1] = 0, u.flags[2] = 0;
  const StatBreakdown def = statbreakdown(soldier, 2, STAT_DEF);
  EXPECT_TRUE(has(def.modifiers, "Armor+Shield Defence Modifiers: -2")) << "cuirass -1, buckler's encumbrance -1";
  EXPECT_TRUE(has(def.modifiers, "Shield Parry: +3"));
  EXPECT_TRUE(has(def.modifiers, "Weapon Defence Modifiers: +1"));
  EXPECT_EQ(def.total, getdef(soldier, 2));
  // A unit without shield has no parry line.
  unittypes[2].armor[1] = 0;
  EXPECT_FALSE(has(statbreakdown(soldier, 2, STAT_DEF).modifiers, "Shield Parry: +3"));
}

TEST_F(StatBox, ProphetGodAndCommanderFigures) {
  Unit& b = unit[bodyunit(hero)];
  b.flags[1] |= ST_PROPHET;
  land[2].veyowner = 3;
  land[2].veystr = 3;
  com[hero].path[P_FIRE] = 2;
  com[hero].path[P_EARTH] = 1;
  com[hero].tmpfx = 2;   // heroic battle prowess
  com[hero].tmpfxstr = 150;
  expectsums(bodyunit(hero), "prophet");
  const StatBreakdown att = statbreakdown(bodyunit(hero), 1, STAT_ATT);
  EXPECT_TRUE(has(att.modifiers, "Prophet Bonus: +2"));
  EXPECT_TRUE(has(att.modifiers, "Fire Magic Bonus: +2"));
  EXPECT_TRUE(has(att.modifiers, "Heroic Ability: +3"));
  EXPECT_TRUE(has(statbreakdown(bodyunit(hero), 1, STAT_HP).modifiers, "Veyrance Bonus: +6"));
  b.flags[1] = 0;
  b.flags[2] |= F3_PRETENDER;
  land[2].veyowner = 7;
  expectsums(bodyunit(hero), "god in another's veyrance");
  EXPECT_TRUE(has(statbreakdown(bodyunit(hero), 1, STAT_STR).modifiers, "Veyrance Penalty: -3"));
  const StatBreakdown lead = statbreakdown(bodyunit(hero), 1, STAT_LEADERSHIP);
  ASSERT_EQ(lead.modifiers.size(), 4u);
  EXPECT_EQ(lead.modifiers[0], "Leadership Limits");
  EXPECT_TRUE(statbreakdown(soldier, 2, STAT_LEADERSHIP).modifiers.empty()) << "a plain unit leads nobody";
  // Unshakeable morale explains nothing.
  unittypes[2].mor = 50;
  const StatBreakdown mor = statbreakdown(soldier, 2, STAT_MORALE);
  EXPECT_EQ(mor.first, std::vector<std::string>{"Basic Morale: 50"});
  EXPECT_TRUE(mor.modifiers.empty());
}

TEST_F(StatBox, BadNumbersShowNothing) {
  EXPECT_TRUE(statbreakdown(MAXUNITS, 2, STAT_STR).first.empty());
  EXPECT_TRUE(statbreakdown(soldier, MAXUNITTYPES, STAT_STR).first.empty());
  EXPECT_TRUE(statbreakdown(soldier, 2, STATISTICS).first.empty());
  EXPECT_TRUE(statbreakdown(highestunit + 1, 2, STAT_STR).first.empty());
  EXPECT_DEATH(unitdescrbox(soldier, -1, STAT_STR), "ds: bad mnr");
}
}  // namespace
