// Invariants of the built-in data set as a player and a designer read it:
// prices from the one rule, lasting enchantments where their rules look,
// items and spells that do something, nations of their own. Each failure
// names the row that breaks the invariant.
#include <gtest/gtest.h>

#include <array>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "../tools/content/contentrules.h"
#include "../tools/content/describe.h"
#include "world/gamedata.h"

namespace {

class Content : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { loadgamedata(); }
};

std::string spellrow(int s) { return "spell " + std::to_string(s) + " \"" + spells[s].name + "\""; }
std::string unitrow(int m) { return "unit " + std::to_string(m) + " \"" + unittypes[m].name + "\""; }

// ------------------------------------------------------------------ prices

TEST_F(Content, EveryUnitTypeCostsWhatThePriceRuleSays) {
  const content::Roles roles = content::rolesofdata();
  int priced = 0;
  for (int m = 1; m < nbrofunittypes(); m++) {
    if (!content::pricedbyrule(roles, m)) continue;
    priced++;
    EXPECT_EQ(unittypes[m].gcost, content::goldcost(m, content::servesascommander(roles, m)))
        << unitrow(m) << ": run tools/content (vey3content data) after changing a unit";
    EXPECT_EQ(unittypes[m].rcost, content::resourcecost(m)) << unitrow(m);
  }
  EXPECT_GT(priced, 600);
}

TEST_F(Content, NoTroopIsFreeAndStrengthIsPaidFor) {
  const content::Roles roles = content::rolesofdata();
  for (int m = 1; m < nbrofunittypes(); m++)
    if (roles.recruitable(m)) { EXPECT_GT(unittypes[m].gcost, 0) << unitrow(m) << " is recruitable for nothing"; }
  // The rule itself: more of any fighting figure never makes a unit cheaper.
  Monster saved = unittypes[18];
  const int base = content::goldcost(18, false);
  for (int16_t Monster::*field : {&Monster::hp, &Monster::prot, &Monster::att, &Monster::def, &Monster::str,
                                  &Monster::size, &Monster::mr}) {
    unittypes[18].*field += 10;
    EXPECT_GT(content::goldcost(18, false), base);
    unittypes[18] = saved;
  }
  unittypes[18].flags |= MF_MOUNTED;
  EXPECT_GT(content::goldcost(18, false), base);
  unittypes[18] = saved;
  // leadership and magic are paid by commanders
  EXPECT_GT(content::goldcost(34, true), content::goldcost(34, false));
  EXPECT_LT(content::goldcost(92, true), content::goldcost(93, true));   // Air 1 against Air 2, Astral 1
}

// ------------------------------------------------------------------ spells

TEST_F(Content, LastingEnchantmentsLieWhereTheirRulesLook) {
  std::set<std::pair<int, int>> made;
  for (int s = 1; s < nbrofspells(); s++) {
    const Spell& sp = spells[s];
    if (!content::islastingench(sp)) continue;
    const content::EnchKind* k = content::enchkindof(sp);
    ASSERT_NE(k, nullptr) << spellrow(s) << ": kind " << sp.damage << " is read by no rule at that scope";
    made.insert({k->kind, int(k->scope)});
    if (k->gempath >= 0) { EXPECT_EQ(sp.path[0], k->gempath) << spellrow(s) << " pays gems of another path"; }
  }
  for (const content::EnchKind& k : content::enchkinds)
    EXPECT_TRUE(made.count({k.kind, int(k.scope)})) << "no spell makes enchantment kind " << k.kind;
}

TEST_F(Content, SpellsCarryTheFlagsOfTheirKind) {
  static const std::set<int> hostileeffects = {2, 3, 24, 66, 73, 96, 99, 103, 105, 106, 107, 109};
  for (int s = 1; s < nbrofspells(); s++) {
    const Spell& sp = spells[s];
    const int p = sp.path[0];
    const bool elemental = p == 0 || p == 1;
    EXPECT_EQ(bool(sp.flags & SF_UNDERWATER), !elemental) << spellrow(s) << ": fire and air alone fail under water";
    const bool seasummon = sp.effect == content::EFFECT_SUMMON && (unittypes[sp.damage].flags & MF_AQUATIC);
    EXPECT_EQ(bool(sp.flags & SF_ONLYUNDERWATER), seasummon) << spellrow(s);
    const int base = sp.effect >= 1000 && sp.effect < SPELL_RITUAL ? sp.effect % 1000 : sp.effect;
    const content::BattleState* b = content::battlestateof(sp);
    const bool hostile = (hostileeffects.count(base) && sp.damage != 0) || (b && b->hostile);
    const bool soul = p == 4 || p == 5 || p == 7;
    EXPECT_EQ(bool(sp.flags & SF_MRNEGATES), hostile && soul) << spellrow(s) << ": magic resistance";
    EXPECT_EQ(bool(sp.flags & SF_MRNEGATESEASILY), hostile && p == 8) << spellrow(s) << ": magic resistance";
  }
}

TEST_F(Content, BattleEnchantmentsDifferAndSummonsCostWhatTheyBring) {
  const content::Roles roles = content::rolesofdata();
  std::map<std::vector<int>, int> seen;
  for (int s = 1; s < nbrofspells(); s++) {
    const Spell& sp = spells[s];
    if (sp.effect == content::EFFECT_BATTLESTATE || sp.effect == content::EFFECT_BATTLEENCH) {
      const content::BattleState* b = content::battlestateof(sp);
      EXPECT_NE(b, nullptr) << spellrow(s) << ": no such battle state " << sp.damage;
      if (b && b->hostile) { EXPECT_GT(sp.area, 0) << spellrow(s) << " would curse its own caster"; }
      std::vector<int> key = {sp.effect, int(sp.damage), sp.area, sp.range, sp.path[0]};
      EXPECT_FALSE(seen.count(key)) << spellrow(s) << " does what spell " << seen[key] << " does";
      seen[key] = s;
    }
    if (sp.effect == content::EFFECT_SUMMON) {
      EXPECT_EQ(sp.fatigue, 100 * content::summongems(roles, sp)) << spellrow(s) << ": run tools/content";
    }
  }
}

// ------------------------------------------------------------ descriptions

TEST_F(Content, DescriptionsSayWhatTheDataSays) {
  for (const auto& [key, text] : content::generateddescriptions()) {
    const int d = finddescr(key.c_str());
    ASSERT_GT(d, 0) << key << " has no description: run tools/content";
    EXPECT_EQ(descrtextof(d), text) << key << ": the description is stale; run tools/content";
  }
}

}  // namespace
