// Invariants of the built-in data set as a player and a designer read it:
// prices from the one rule, lasting enchantments where their rules look,
// items and spells that do something, nations of their own. Each failure
// names the row that breaks the invariant.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "../tools/content/contentrules.h"
#include "../tools/content/describe.h"
#include "battle/battle.h"
#include "gamedata_ids.h"
#include "world/gamedata.h"

namespace {

using content::playable;
using content::recruitof;

class Content : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { loadgamedata(); }
};

std::string spellrow(int s) { return "spell " + std::to_string(s) + " \"" + spells[s].name + "\""; }
std::string itemrow(int i) { return "item " + std::to_string(i) + " \"" + items[i].name + "\""; }
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

TEST_F(Content, EveryGodStartsBeforeItsOldAge) {
  const std::vector<int> forms = content::godforms(content::rolesofdata());
  EXPECT_GT(forms.size(), 10u);
  for (int m : forms) EXPECT_EQ(content::godageproblem(m), "") << unitrow(m);
}

TEST_F(Content, NoTroopIsFreeAndStrengthIsPaidFor) {
  const content::Roles roles = content::rolesofdata();
  for (int m = 1; m < nbrofunittypes(); m++)
    if (roles.recruitable(m)) { EXPECT_GT(unittypes[m].gcost, 0) << unitrow(m) << " is recruitable for nothing"; }
  // Prices follow strength: no troop costs less than a troop it outclasses
  // in every figure, trait, weapon and ability.
  std::vector<int> troops;
  for (int m = 1; m < nbrofunittypes(); m++)
    if (roles.troop[m] && !roles.commander[m]) troops.push_back(m);
  for (int a : troops)
    for (int b : troops)
      if (content::dominates(a, b)) { EXPECT_GE(unittypes[a].gcost, unittypes[b].gcost) << unitrow(a) << " costs less than " << unitrow(b); }
  EXPECT_TRUE(content::dominates(findunittype("Mammoth Rider"), findunittype("Khan's Lancer")));
  EXPECT_GT(unittypes[findunittype("Mammoth Rider")].gcost, 2 * unittypes[findunittype("Khan's Lancer")].gcost);
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
    EXPECT_TRUE(sp.path[0] >= 0 && (k->paths & (1u << sp.path[0]))) << spellrow(s) << " is cast in a path unlike what it does: "
                                                                     << k->does;
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

// Every spell does something that the battle engine or the ritual phase
// reads: a known effect code with what that code needs.
TEST_F(Content, EverySpellDoesSomethingARuleReads) {
  const content::Roles roles = content::rolesofdata();
  static const std::set<int> rituals = {10001, 10002, 10010, 10013, 10020, 10023, 10033, 10044, 10050, 10062, 10081, 10082, 10083, 10111};
  for (int s = 1; s < nbrofspells(); s++) {
    const Spell& sp = spells[s];
    if (sp.effect >= SPELL_RITUAL) {
      EXPECT_TRUE(rituals.count(sp.effect)) << spellrow(s) << ": the ritual phase knows no effect " << sp.effect;
    } else {
      EXPECT_GE(battlespelleffect(s), 0) << spellrow(s) << ": the battle engine casts no effect " << sp.effect;
    }
    const int code = sp.effect >= 1000 && sp.effect < SPELL_RITUAL ? sp.effect % 1000 : sp.effect;
    if (code == 1 || code == content::EFFECT_SUMMON) {
      EXPECT_TRUE(sp.damage > 0 && sp.damage < MAXUNITTYPES && isusedunittype(sp.damage)) << spellrow(s) << " calls no unit";
      EXPECT_GT(sp.nbreff, 0) << spellrow(s) << " calls nobody";
    }
    if (code == 2 || code == 3 || code == 24 || code == 13 || code == 10002) { EXPECT_NE(sp.damage, 0) << spellrow(s) << " does no harm nor good"; }
    EXPECT_FALSE(content::describespell(roles, s).rfind("A ritual.", 0) == 0) << spellrow(s) << " has no description of what it does";
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

TEST_F(Content, EveryRitualCanBeCast) {
  for (int s = 1; s < nbrofspells(); s++)
    if (spells[s].effect >= SPELL_RITUAL) {
      EXPECT_TRUE(content::ritualcastable(s)) << spellrow(s) << " asks for more than any nation's mage reaches, and no item casts it";
    }
  // A ritual is castable through a mage that reaches it, and through nothing else.
  const int s = findspell("Gift of the Sea");
  ASSERT_GT(s, 0);
  const Spell saved = spells[s];
  spells[s].pathlevel[0] = 9;
  EXPECT_FALSE(content::ritualcastable(s));
  spells[s] = saved;
}

TEST_F(Content, NoTwoDescriptionsAlike) {
  std::map<std::string, int> bytext;
  for (int d = 1; d < nbrdescrs; d++) {
    const std::string text = descrtextof(d);
    EXPECT_FALSE(bytext.count(text)) << "description \"" << descrs[d].key << "\" reads like \"" << descrs[bytext[text]].key << "\"";
    bytext.emplace(text, d);
  }
  EXPECT_GT(bytext.size(), 1000u);
}

// ------------------------------------------------------------------ nations

std::string nationrow(int n) { return "nation " + std::to_string(n) + " \"" + nations[n].name + "\" (era " + std::to_string(nations[n].era) + ")"; }

TEST_F(Content, EveryNationRecruitsAnArmyOfItsOwn) {
  std::map<std::vector<int32_t>, int> lists;
  std::map<int, int> troopusers, comusers;
  for (int n = 0; n < nbrofnations(); n++) {
    if (!playable(n)) continue;
    std::vector<int32_t> list(nations[n].recruit, nations[n].recruit + RECRUITLEN);
    EXPECT_FALSE(lists.count(list)) << nationrow(n) << " recruits the whole list of nation " << lists[list];
    lists[list] = n;
    for (int m : recruitof(n, false)) troopusers[m]++;
    for (int m : recruitof(n, true)) comusers[m]++;
  }
  for (int n = 0; n < nbrofnations(); n++) {
    if (!playable(n)) continue;
    int owntroops = 0, owncoms = 0;
    for (int m : recruitof(n, false)) owntroops += troopusers[m] == 1;
    for (int m : recruitof(n, true)) owncoms += comusers[m] == 1;
    EXPECT_GT(owntroops, 0) << nationrow(n) << " has no troop that no other nation recruits";
    EXPECT_GT(owncoms, 0) << nationrow(n) << " has no commander that no other nation recruits";
    const std::vector<int> t = recruitof(n, false), c = recruitof(n, true);
    auto in = [](const std::vector<int>& v, int m) { return std::find(v.begin(), v.end(), m) != v.end(); };
    EXPECT_TRUE(in(c, getnatattr(n, NA_STARTCOM))) << nationrow(n) << ": its start commander is not its own";
    EXPECT_TRUE(in(t, getnatattr(n, NA_STARTUNIT1))) << nationrow(n) << ": its start troops are not its own";
    EXPECT_TRUE(in(t, getnatattr(n, NA_STARTUNIT2))) << nationrow(n) << ": its start troops are not its own";
  }
}

TEST_F(Content, EveryNationHasACapitalUnitAndAMasterOfItsPath) {
  for (int n = 0; n < nbrofnations(); n++) {
    if (!playable(n)) continue;
    const int cap = content::capitalunitof(n);
    EXPECT_GT(cap, 0) << nationrow(n) << " has no unit of its own capital";
    const int path = content::mainpath(n);
    ASSERT_GE(path, 0) << nationrow(n) << " has no home site whose gems name its main path";
    EXPECT_GE(content::nationreach(n)[path], 3) << nationrow(n) << ": no mage reaches level 3 in its main path, "
                                                << pathnames[path];
    int best = 0;
    for (int m : recruitof(n, true)) best = std::max(best, content::typemagicof(m).best());
    EXPECT_GE(best, 3) << nationrow(n) << ": no mage of its recruit list reaches level 3 in a path";
  }
}

// A later era of a people is no copy of its earlier eras: at least half of
// its roster, a troop and a commander among them, is new to its people.
TEST_F(Content, LaterErasAreNotCopiesOfEarlierOnes) {
  int later = 0;
  for (int n = 0; n < nbrofnations(); n++) {
    if (!playable(n) || content::earlierpeople(n) < 0) continue;
    later++;
    const int roster = int(recruitof(n, false).size() + recruitof(n, true).size());
    EXPECT_GE(2 * content::newunitsofera(n), roster) << nationrow(n) << ": " << content::newunitsofera(n) << " of its "
                                                     << roster << " units are new to its people";
    for (bool coms : {false, true}) {
      auto before = recruitof(content::earlierpeople(n), coms);
      bool fresh = false;
      for (int m : recruitof(n, coms)) fresh = fresh || std::find(before.begin(), before.end(), m) == before.end();
      EXPECT_TRUE(fresh) << nationrow(n) << (coms ? ": no new commander" : ": no new troop");
    }
  }
  EXPECT_GT(later, 30);
}

TEST_F(Content, NationsBuildFortsThatFitTheirLand) {
  static const uint32_t landkeys[] = {NA_CASTLEPLAIN, NA_CASTLEMOUNTAIN, NA_CASTLEFOREST, NA_CASTLESWAMP,
                                      NA_CASTLECAVE, NA_CASTLEFARM};
  std::set<int> used;
  for (int n = 0; n < nbrofnations(); n++) {
    if (!playable(n)) continue;
    for (uint32_t key : landkeys)
      if (int f = getnatattr(n, key)) {
        used.insert(f);
        EXPECT_FALSE(forts[f].flags & FORTF_UWONLY) << nationrow(n) << ": fort " << forts[f].name << " cannot stand on land";
      }
    const bool sea = getnatattr(n, NA_UNDERWATER) > 0;
    for (uint32_t key : {NA_CASTLEUW, NA_CASTLEDEEP}) {
      const int f = getnatattr(n, key);
      if (f) used.insert(f);
      if (sea) { EXPECT_GT(f, 0) << nationrow(n) << " lives under water without a sea fort"; }
      if (f) { EXPECT_TRUE(forts[f].flags & FORTF_UWONLY) << nationrow(n) << ": " << forts[f].name << " is no sea fort"; }
    }
    if (int f = getnatattr(n, NA_CASTLESTART)) {
      used.insert(f);
      EXPECT_EQ(bool(forts[f].flags & FORTF_UWONLY), sea) << nationrow(n) << ": its home fort " << forts[f].name;
      EXPECT_FALSE(sea && (forts[f].flags & FORTF_NOTUW)) << nationrow(n);
    }
  }
  for (int f = 1; f < MAXFORTS && forts[f].name[0]; f++) EXPECT_TRUE(used.count(f)) << "no nation builds " << forts[f].name;
}

// ------------------------------------------------------------------ items

TEST_F(Content, EveryItemDoesWhatItsNameSays) {
  const uint32_t LUCK = 0x2, STRENGTH = 0x80, QUICK = 0x40000, FLY = 0x20000, BARK = 0x10;
  struct Promise { const char* word; std::vector<int> abilities; uint32_t states; };
  const Promise promises[] = {{"Luck", {}, LUCK}, {"Might", {151}, STRENGTH}, {"Quickness", {}, QUICK},
                              {"Messenger", {}, QUICK | FLY}, {"Winged", {}, FLY}, {"Strides", {170}, FLY},
                              {"Regeneration", {189}, 0}, {"Antimagic", {160}, 0}, {"Missile Protection", {208}, 0},
                              {"Barkskin", {}, BARK}, {"Sorcery", {21, 22}, 0}, {"Sorceress", {21, 22}, 0},
                              {"Command", {157}, 0}, {"Shadows", {108}, 0}, {"Warding", {160}, 0}};
  for (int i = 1; i < nbrofitems(); i++) {
    const Item& it = items[i];
    if (!it.name[0]) continue;
    EXPECT_FALSE(content::itemeffects(i).empty()) << itemrow(i) << " gives its holder nothing";
    if (it.weapon > 0) { EXPECT_GT(weapons[it.weapon].dmg, 0) << itemrow(i); }
    for (int k = 0; k < ITEMABILITIES && it.abilityid[k] != 0; k++) {
      EXPECT_NE(content::abilitytext(it.abilityid[k]), nullptr) << itemrow(i) << ": no rule reads ability " << it.abilityid[k];
      if (it.abilityid[k] == 187 && it.cursed >= 0) { EXPECT_GE(it.abilityval[k], 100) << itemrow(i) << " weakens its bearer's magic"; }
    }
    for (const Promise& p : promises) {
      if (!strstr(it.name, p.word)) continue;
      bool kept = (it.flags[0] & p.states) != 0;
      for (int k = 0; k < ITEMABILITIES && it.abilityid[k] != 0; k++)
        for (int a : p.abilities) kept = kept || it.abilityid[k] == a;
      EXPECT_TRUE(kept) << itemrow(i) << " does not give what its name promises";
    }
  }
}


// ------------------------------------------------------------------ names

// Names the game's plural rule carries, and no name that a player would
// not want to see on a commander or a province. The unit names that the
// rules bind by number keep their names.
TEST_F(Content, NamesReadWellInThePluralAndOffendNoOne) {
  std::set<int> bound;
  for (const BoundRow& b : boundrows)
    if (b.table == 'u') bound.insert(b.row);
  for (int m = 1; m < nbrofunittypes(); m++)
    if (isusedunittype(m) && !bound.count(m)) { EXPECT_FALSE(content::pluralgoeswrong(unittypes[m].name)) << unitrow(m) << " has no plural by the game's rule"; }
  for (const char* wrong : {"Witch", "Lancer of the Khan", "Grail Man at Arms", "Magus", "Shaman", "Thief", "Envoy", "Hero"}) EXPECT_TRUE(content::pluralgoeswrong(wrong)) << wrong;
  for (const char* right : {"Knight of the Chalice", "Soulless of Caelum", "Chief", "Monarch", "Longbowman", "Wolf", "Monkey", "Princess", "Man at Arms"})
    EXPECT_FALSE(content::pluralgoeswrong(right)) << right;
  for (int t = 0; t < MAXNAMETYPES; t++)
    for (int k = 0; k < personalnames[t].count; k++) {
      const char* name = personalnames[t].names[k];
      EXPECT_FALSE(content::unfortunatename(name)) << "personal name " << name << " of list " << t;
      std::string n = name;
      for (char& c : n) c = char(tolower(static_cast<unsigned char>(c)));
      const size_t h = n.size() / 2;
      EXPECT_FALSE(n.size() >= 6 && n.size() % 2 == 0 && n.compare(0, h, n, h, h) == 0) << "personal name " << name << " stutters";
      EXPECT_EQ(n.find("bb"), std::string::npos) << "personal name " << name;
    }
  for (const char* bad : {"Ishith", "Hanusa", "Dickon", "Demonbane"}) EXPECT_TRUE(content::unfortunatename(bad)) << bad;
  for (const char* fine : {"Cassius", "Titus", "Grapeshire", "Hanuman"}) EXPECT_FALSE(content::unfortunatename(fine)) << fine;
  for (int l = 0; l < NBRPROVNAMELISTS; l++)
    for (int k = 0; k < provnames[l].count; k++) EXPECT_FALSE(content::unfortunatename(provnames[l].names[k])) << "province name " << provnames[l].names[k];
}

}  // namespace
