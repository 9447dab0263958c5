// The content rules' table of lasting enchantment kinds (where each lies
// and what it does) held against the rules themselves: an enchantment of a
// kind placed at its listed scope changes something that some rule computes,
// and placed at the other scope changes nothing. The content invariants
// then hold every spell to the table, so a spell that creates a kind where
// no rule looks fails one of the two.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "../tools/content/contentrules.h"
#include "actions/moverule.h"
#include "actions/orderrules.h"
#include "host/phases.h"
#include "support/smallworld.h"
#include "world/economy.h"
#include "world/forts.h"
#include "world/provinfo.h"
#include "world/ruleconstants.h"

namespace {

constexpr int32_t P = 3, Q = 4;   // the caster's nation and a foreign one

// A world in which every rule that reads an enchantment has something to
// change: land 1 a plain with fresh water, a fort and P's veyrance, land 2 a
// sea next to it, land 5 Q's; P's mage (air, astral) and soldier in land 1,
// Q's soldier there too, and a soldier of each in the sea.
class EnchantmentScopes : public ::testing::Test {
 protected:
  void SetUp() override {
    makesmallworld();
    defaultgeneral();
    forts.fill(Fort{});
    forts[1].val[FORT_DEF] = 100;
    for (int32_t l = 1; l <= 10; l++) {
      land[l].population = 2000;
      land[l].tax = 100;
      land[l].baseres = 50;
      land[l].owner = land[l].fortholder = l == 5 ? Q : P;
    }
    provgeo[1].terrain = TM_FRESHWATER;
    provgeo[2].terrain = TM_SEA;
    provgeo[1].nbr[0] = 2;
    provgeo[2].nbr[0] = 1;
    land[1].fort = 1;
    land[1].veyowner = P;
    land[1].veystr = 3;
    Monster& man = settype(1, "Man");
    addtypeability(1, AB_DARKPOWER, 2);
    settype(2, "Mage").flags |= MF_AMPHIBIAN;
    mage = mkcom(2, P, 1);
    com[mage].path[P_AIR] = 2;
    com[mage].path[P_ASTRAL] = 1;
    unit[bodyunit(mage)].flags[2] |= 0x2000;   // storm power
    setitem(1, "Wind Crown", IT_HELMET).mainpath = P_AIR;
    items[1].mainlevel = 3;
    items[1].constlevel = 2;
    researchrec[P][RR_LEVEL + SCH_CONSTRUCTION] = 4;
    ours = mkunit(1, P, 1);
    theirs = mkunit(1, Q, 1);
    oursatsea = mkunit(1, P, 2);
    theirsatsea = mkunit(1, Q, 2);
    (void)man;
  }

  void TearDown() override { defaultgeneral(); }

  // Everything that a rule reading an enchantment computes here.
  std::vector<int64_t> observe() {
    std::vector<int64_t> v = {isstorm(1), israin(1), isfog(1), isdarkness(1), getatt(ours),
                              getcommagic(mage, P_AIR), getcommagic(mage, P_ASTRAL), getmaxmorale(ours),
                              getmaxmorale(theirs), getmaxhp(ours), getenc(ours, 1), getenc(oursatsea, 1),
                              getmaxap(theirsatsea, 1), fortdef(1, 1), infolevel(5, P, 0), getincome(1, P),
                              getresources(1, P), breatheswater(ours), mapmove(mage, 2, 0), canforge(mage, 1),
                              orderallowed(mage, Order::deathmatch, 0).why.empty()};
    for (int32_t path = 0; path < 8; path++) v.push_back(visinc(P, path));
    return v;
  }

  // No enchantment in force (the research records stay).
  static void noenchantments() {
    for (Ench& e : ench) e = Ench{};
    highestench = -1;
  }

  // P's enchantment of the kind world-wide, on land 0 or on every province.
  static void place(int kind, content::Scope scope) {
    if (scope == content::Scope::World) addench(kind, 0, P, -1, 0);
    else if (scope == content::Scope::Land0) addench(kind, 0, P, 0, 0);
    else
      for (int32_t l = 1; l <= 10; l++) addench(kind, 0, P, l, 0);
  }

  int32_t mage = -1, ours = -1, theirs = -1, oursatsea = -1, theirsatsea = -1;
};

const char* scopename(content::Scope s) {
  return s == content::Scope::World ? "world-wide" : s == content::Scope::Land0 ? "on land 0" : "on a province";
}

bool listedat(int kind, content::Scope s) {
  for (const content::EnchKind& k : content::enchkinds)
    if (k.kind == kind && k.scope == s) return true;
  return false;
}

TEST_F(EnchantmentScopes, EveryKindActsWhereTheTableSaysAndNowhereElse) {
  const std::vector<int64_t> plain = observe();
  for (const content::EnchKind& k : content::enchkinds) {
    noenchantments();
    place(k.kind, k.scope);
    EXPECT_NE(observe(), plain) << "enchantment kind " << k.kind << " " << scopename(k.scope)
                                << " changes nothing that a rule computes; the table says: " << k.does;
    for (content::Scope other : {content::Scope::World, content::Scope::Province, content::Scope::Land0}) {
      if (listedat(k.kind, other)) continue;
      noenchantments();
      place(k.kind, other);
      EXPECT_EQ(observe(), plain) << "enchantment kind " << k.kind << " acts " << scopename(other)
                                  << " too, where the table does not list it";
    }
  }
  noenchantments();
  EXPECT_EQ(observe(), plain);
}

}  // namespace
