// The statistic breakdown on small worlds: the box's lines in their order
// and words under their conditions and no others, the current values, and
// the morale box that ends at once for an unshakeable unit.
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
  std::vector<std::string> lines(int32_t unr, int32_t stat) { return statbreakdown(unr, unit[unr].type, stat).modifiers; }
};

TEST_F(StatBox, OnlyTheBoxsLinesInTheirOrder) {
  Unit& u = unit[soldier];
  u.exp = 120;   // three stars
  u.flags[0] |= AF_LOSTEYE | AF_WEAKENED | AF_LIMP | AF_SLIMED | AF_FEEBLEMINDED;
  u.flags[1] |= ST_BERSERK | ST_QUICK | ST_STRENGTH;
  u.flags[2] |= F3_HELLPOWER;
  provgeo[2].terrain |= TM_SWAMP;
  // Feeble-mindedness lowers the attack too, but the attack box has no line
  // for it: it is named in the magic resistance box alone.
  EXPECT_EQ(lines(soldier, STAT_ATT),
            (std::vector<std::string>{"Experience bonus: +3", "Berserk: +1", "Hell Power: +4", "Quickness: +3",
                                      "Slimed: -half", "Limp: -1", "Eye Loss: -2", "Swamp penalty: -1"}));
  EXPECT_TRUE(has(lines(soldier, STAT_MR), "Feeble Minded: -5"));
  // Strength: the spell of strength moves the figure, yet no line names it.
  EXPECT_EQ(lines(soldier, STAT_STR),
            (std::vector<std::string>{"Experience bonus: +1", "Berserk: +1", "Hell Power: +4", "Weakened: -4"}));
  EXPECT_EQ(lines(soldier, STAT_AP).front(), "Hell Power: +4");
  EXPECT_TRUE(has(lines(soldier, STAT_AP), "Slimed: -half"));
  // A lost eye: -all for a unit with one eye, no effect for one that never saw.
  addtypeability(2, AB_EYES, -1);
  EXPECT_TRUE(has(lines(soldier, STAT_PREC), "Eye Loss: -all"));
  EXPECT_TRUE(has(lines(soldier, STAT_DEF), "Eye Loss: -all"));
  addtypeability(2, AB_BLIND, 1);
  EXPECT_TRUE(has(lines(soldier, STAT_ATT), "Eye Loss: no effect"));
  u.flags[0] |= AF_BLIND;
  EXPECT_TRUE(has(lines(soldier, STAT_ATT), "Blind: no effect"));
  // Cold power in a hot land reads as a penalty, sign and all.
  land[2].scale[SC_COLD] = -2;
  addtypeability(2, AB_COLDPOWER, 1);
  EXPECT_TRUE(has(lines(soldier, STAT_DEF), "Heat: -2"));
}

TEST_F(StatBox, DefenceMoraleAndCurrentValues) {
  Unit& u = unit[soldier];
  u.homeland = 2;
  land[2].veystr = 2;
  land[2].veyowner = 5;
  const StatBreakdown mor = statbreakdown(soldier, 2, STAT_MORALE);
  EXPECT_EQ(mor.modifiers, (std::vector<std::string>{"Hostile Veyrance: -1", "Home Province: +1"}));
  EXPECT_TRUE(mor.current.empty()) << "morale shows no current line";
  // The defence separates armour, shield parry and weapon.
  const StatBreakdown def = statbreakdown(soldier, 2, STAT_DEF);
  EXPECT_EQ(def.modifiers, (std::vector<std::string>{"Weapon Defence Modifiers: +1",
                                                     "Armor+Shield Defence Modifiers: -2", "Shield Parry: +3"}));
  EXPECT_EQ(def.current, std::vector<std::string>{"Current Defence and Parry Skill: " + std::to_string(getdef(soldier, 2))});
  unittypes[2].armor[1] = 0;
  EXPECT_FALSE(has(lines(soldier, STAT_DEF), "Shield Parry: +3")) << "no shield, no parry";
  u.hp = 7;
  EXPECT_EQ(statbreakdown(soldier, 2, STAT_HP).current, (std::vector<std::string>{"Current Hit Points: 7", "Size: 2"}));
  const StatBreakdown att = statbreakdown(soldier, 2, STAT_ATT);
  EXPECT_EQ(att.first, std::vector<std::string>{"Basic Attack Skill: 10"});
  EXPECT_EQ(att.weaponlines, std::vector<std::string>{"Attack nr 1: " + std::to_string(getweaponatt(soldier, 0))});
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
  const std::vector<std::string> att = lines(bodyunit(hero), STAT_ATT);
  EXPECT_EQ(att, (std::vector<std::string>{"Prophet Bonus: +2", "Heroic Ability: +3", "Fire Magic Bonus: +2"}));
  EXPECT_EQ(lines(bodyunit(hero), STAT_HP), std::vector<std::string>{"Veyrance Bonus: +6"});
  EXPECT_EQ(lines(bodyunit(hero), STAT_MR), std::vector<std::string>{"Veyrance Bonus: +1"});
  EXPECT_EQ(lines(bodyunit(hero), STAT_PROT), std::vector<std::string>{"Earth Magic: +1"});
  com[hero].tmpfx = 8;   // heroic quickness: a share of the action points
  EXPECT_TRUE(has(lines(bodyunit(hero), STAT_AP), "Heroic Ability: +75 percent"));
  b.flags[1] = 0;
  b.flags[2] |= F3_PRETENDER;
  land[2].veyowner = 7;
  EXPECT_TRUE(has(lines(bodyunit(hero), STAT_STR), "Veyrance Penalty: -3"));
  const StatBreakdown lead = statbreakdown(bodyunit(hero), 1, STAT_LEADERSHIP);
  ASSERT_EQ(lead.modifiers.size(), 4u);
  EXPECT_EQ(lead.modifiers[0], "Leadership Limits");
  EXPECT_TRUE(statbreakdown(soldier, 2, STAT_LEADERSHIP).modifiers.empty()) << "a plain unit leads nobody";
}

TEST_F(StatBox, MoraleOfThirtyOrMoreExplainsNothing) {
  unit[soldier].homeland = 2;
  EXPECT_FALSE(statbreakdown(soldier, 2, STAT_MORALE).modifiers.empty());
  // The prophet's faith makes its morale 30 whatever its type's.
  unit[soldier].flags[1] |= ST_PROPHET;
  const StatBreakdown prophet = statbreakdown(soldier, 2, STAT_MORALE);
  EXPECT_EQ(prophet.first, std::vector<std::string>{"Basic Morale: 10"});
  EXPECT_TRUE(prophet.modifiers.empty());
  unit[soldier].flags[1] = ST_BERSERK;   // gone berserk: 99
  EXPECT_TRUE(statbreakdown(soldier, 2, STAT_MORALE).modifiers.empty());
  unit[soldier].flags[1] = 0;
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
