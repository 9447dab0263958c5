#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "screens/orders.h"
#include "support/smallworld.h"

namespace {
// Spells: 1 Flare (fire 1, battle), 2 Inferno (fire 3, battle), 3 Ripple
// (water 1), 4 Summon Ember (fire 1, ritual), 5 Bless (priest 1), 6 Wave
// (fire 1, water only), 7 Never (range -1).
class SpellChoice : public ::testing::Test {
 protected:
  int32_t mage = -1;
  void SetUp() override {
    makesmallworld();
    for (Spell& s : spells) s = Spell{};
    spells[20].researchlevel = 255;
    settype(1, "Mage");
    mage = mkcom(1, 3, 2);
    com[mage].path[P_FIRE] = 2;
    com[mage].path[P_PRIEST] = 1;
    spell(1, "Flare", P_FIRE, 1, SCH_EVOCATION, 5);
    spell(2, "Inferno", P_FIRE, 3, SCH_EVOCATION, 5);
    spell(3, "Ripple", P_WATER, 1, SCH_EVOCATION, 5);
    spell(4, "Summon Ember", P_FIRE, 1, SCH_CONJURATION, 10001);
    spell(5, "Bless", P_PRIEST, 1, SCH_DIVINE, 5);
    spell(6, "Wave", P_FIRE, 1, SCH_EVOCATION, 5).flags = SF_ONLYUNDERWATER | SF_UNDERWATER;
    spell(7, "Never", P_FIRE, 1, SCH_EVOCATION, 5).range = -1;
    int32_t i = 0;
    for (int32_t s : {2, 1, 3, 4, 5, 6, 7}) spellbook[3][i++] = int16_t(s);
    spellbook[3][i] = -1;
  }
  static Spell& spell(int32_t n, const char* name, int8_t path, uint8_t level, int8_t school, int16_t effect) {
    Spell& s = spells[size_t(n)];
    snprintf(s.name, sizeof s.name, "%s", name);
    s.path[0] = path;
    s.path[1] = -1;
    s.pathlevel[0] = level;
    s.school = school;
    s.effect = effect;
    s.range = 5;
    s.researchlevel = 1;
    return s;
  }
  // "name" for a spell, "[school]" for a header, "~name" for a greyed one.
  std::vector<std::string> rows(int32_t ritual, const SpellFilter& f = SpellFilter{}) {
    SpellRow r[50];
    const int32_t n = spellchoicerows(mage, ritual, f, r, 50);
    std::vector<std::string> out;
    for (int32_t i = 0; i < n; i++) {
      if (r[i].spell < 0) out.push_back(r[i].school == -2 ? "[items]" : std::string("[") + schoolnames[r[i].school] + "]");
      else out.push_back((r[i].greyed ? "~" : "") + std::string(spells[size_t(r[i].spell)].name));
    }
    return out;
  }
};

TEST_F(SpellChoice, ListsTheMagesSpellsBySchoolInBookOrder) {
  using V = std::vector<std::string>;
  EXPECT_EQ(rows(0), (V{"[Evocation]", "~Inferno", "Flare", "~Wave", "[Divine]", "Bless"}));
  EXPECT_EQ(rows(1), (V{"[Conjuration]", "Summon Ember"}));
  // At sea every spell that cannot be cast under water is greyed.
  provgeo[2].terrain = TM_SEA;
  EXPECT_EQ(rows(0), (V{"[Evocation]", "~Inferno", "~Flare", "Wave", "[Divine]", "~Bless"}));
  // An item's spell comes first and is never greyed; a ritual list shows item rituals only.
  setitem(1, "Wand", IT_MISC);
  strcpy(items[1].spell, "Ripple");
  com[mage].item[0] = 1;
  EXPECT_EQ(rows(0)[0], "[items]");
  EXPECT_EQ(rows(0)[1], "Ripple");
  EXPECT_EQ(rows(1)[0], "[Conjuration]");
}

TEST_F(SpellChoice, FilterKeysShowOnePathOrAllAndNeverHidePriestSpells) {
  SpellFilter f;
  spellfilterkey(f, P_WATER);
  EXPECT_EQ(rows(0, f), (std::vector<std::string>{"[Divine]", "Bless"}));
  spellfilterkey(f, P_WATER);   // the same key again: everything
  EXPECT_EQ(rows(0, f).size(), 6u);
  spellfilterkey(f, P_FIRE);
  spellfilterkey(f, P_AIR);     // another path while one is shown alone
  EXPECT_FALSE(f.on[P_FIRE]);
  EXPECT_TRUE(f.on[P_AIR]);
  spellfilterall(f);
  for (int8_t on : f.on) EXPECT_TRUE(on);
}

TEST_F(SpellChoice, InfoLinesScaleWithTheSpellsLevelAndCountGems) {
  Spell& s = spells[1];
  s.pathlevel[0] = 2;
  s.damage = 2005;
  s.effect = 2;
  s.fatigue = 100;
  s.area = 1001;
  s.precision = 3;
  s.flags = SF_ARMORPIERCING | SF_UNDERWATER;
  char lines[24][SPELLINFOLINE];
  std::vector<std::string> v;
  auto collect = [&](int32_t sp) {
    v.clear();
    const int32_t n = spellinfolines(sp, lines, 24);
    for (int32_t i = 0; i < n; i++) v.push_back(lines[i]);
    return v;
  };
  EXPECT_EQ(collect(1), (std::vector<std::string>{"Range: 5 ", "Area of Effect: 3+", "Precision: 3", "Fatigue Cost: 100-",
                                                  "Fire Gems Required: 1", "Damage: 9+ (armor piercing)"}));
  s.fatigue = 99;
  s.damage = 999;
  s.effect = 3003;   // three rounds of effect 3
  s.flags = SF_MRNEGATES;
  collect(1);
  EXPECT_EQ(std::count(v.begin(), v.end(), "Fire Gems Required: 0"), 0);
  EXPECT_NE(std::find(v.begin(), v.end(), "Damage: Death"), v.end());
  EXPECT_NE(std::find(v.begin(), v.end(), "Effect remains for 3 battle rounds"), v.end());
  EXPECT_NE(std::find(v.begin(), v.end(), "Magic resistance negates"), v.end());
  EXPECT_NE(std::find(v.begin(), v.end(), "Cannot be cast under water"), v.end());
  // A ritual says so and shows neither precision nor fatigue.
  spells[4].fatigue = 300;
  collect(4);
  EXPECT_EQ(v.front(), "Ritual");
  EXPECT_NE(std::find(v.begin(), v.end(), "Fire Gems Required: 3"), v.end());
  EXPECT_EQ(std::count_if(v.begin(), v.end(), [](const std::string& l) { return l.rfind("Fatigue", 0) == 0; }), 0);
  bool scaled = false;
  EXPECT_EQ(spellscaled(2005, 2, &scaled), 9);
  EXPECT_TRUE(scaled);
  EXPECT_EQ(spellscaled(999, 2, &scaled), 999);
  EXPECT_FALSE(scaled);
}

TEST_F(SpellChoice, NationRestrictions) {
  EXPECT_EQ(spellforbidden(1, 3), 0);
  EXPECT_EQ(spellforbidden(1, -1), 0);
  spells[1].attrkey[0] = 278;
  spells[1].attrval[0] = 105;   // nation 5
  EXPECT_EQ(spellforbidden(1, 3), 1);
  EXPECT_EQ(spellforbidden(1, 5), 0);
  EXPECT_EQ(spellforbidden(1, -1), 1);
  spells[1].attrkey[1] = 278;
  spells[1].attrval[1] = 103;
  EXPECT_EQ(spellforbidden(1, 3), 0);
}
}  // namespace
