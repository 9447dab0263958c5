#include <gtest/gtest.h>

#include "support/smallworld.h"

class Spellbook : public ::testing::Test {
 protected:
  void SetUp() override {
    makesmallworld();
    spells.fill(Spell{});
    auto spell = [](int32_t s, const char* name, int8_t school, uint8_t level) {
      strcpy(spells[s].name, name);
      spells[s].school = school;
      spells[s].researchlevel = level;
    };
    spell(0, "no spell", 0, 0);
    spell(1, "Fire Bolt", SCH_EVOCATION, 0);
    spell(2, "Lightning", SCH_EVOCATION, 3);
    spell(3, "Bless", SCH_DIVINE, 0);
    spell(4, "Ulm Forge", SCH_CONSTRUCTION, 0);
    spells[4].attrkey[0] = SPA_NATION;
    spells[4].attrval[0] = 7 + 100;
    spells[5].researchlevel = SPELL_ENDLEVEL;
    spell(6, "Past the End", SCH_EVOCATION, 0);
  }
};

TEST_F(Spellbook, NamesFindSpells) {
  EXPECT_EQ(name2spell("lightning"), 2);
  EXPECT_LT(name2spell("Past the End"), 1);
  EXPECT_LT(name2spell("no spell"), 1);
}

TEST_F(Spellbook, BookFollowsResearchAndNation) {
  updatespellbook(3);
  EXPECT_EQ(spellbook[3][0], 1);
  EXPECT_EQ(spellbook[3][1], 3);
  EXPECT_LT(spellbook[3][2], 0);
  researchrec[3][RR_LEVEL + SCH_EVOCATION] = 3;
  updatespellbook(3);
  EXPECT_TRUE(inspellbook(2, 3));
  updatespellbook(7);
  EXPECT_TRUE(inspellbook(4, 7));
  EXPECT_FALSE(inspellbook(4, 3));
  EXPECT_FALSE(inspellbook(6, 7));
}
