// Invariants of the built-in data set as a player and a designer read it:
// prices from the one rule, lasting enchantments where their rules look,
// items and spells that do something, nations of their own. Each failure
// names the row that breaks the invariant.
#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>
#include <vector>

#include "../tools/content/contentrules.h"
#include "world/gamedata.h"

namespace {

class Content : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { loadgamedata(); }
};

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

}  // namespace
