#include <gtest/gtest.h>

#include "world/magic.h"
#include "world/world.h"

class EnchTest : public ::testing::Test {
 protected:
  void SetUp() override { clearworld(); }
};

TEST_F(EnchTest, FindMatchesKindLandAndOwner) {
  const int32_t world = addench(EN_FAMINE, 10, 3, -1, 0);
  const int32_t local = addench(EN_LIGHT, 11, 4, 7, 0);
  EXPECT_EQ(findench(EN_FAMINE, -1, -1), world);
  EXPECT_EQ(findench(EN_FAMINE, -1, 3), world);
  EXPECT_EQ(findench(EN_FAMINE, -1, 4), -1);
  // Land -1 finds only world-wide enchantments; a land finds only its own.
  EXPECT_EQ(findench(EN_LIGHT, -1, -1), -1);
  EXPECT_EQ(findench(EN_LIGHT, 7, -1), local);
  EXPECT_EQ(findench(-1, 7, -1), local);
  EXPECT_EQ(findench(-1, 8, -1), -1);
  removeench(world);
  EXPECT_EQ(findench(EN_FAMINE, -1, -1), -1);
}

TEST_F(EnchTest, TableFillsUpAndCountsCasterGlobals) {
  for (int32_t i = 0; i < MAXENCH; i++) ASSERT_EQ(addench(5, i % 2, 0, i % 3 == 0 ? -1 : 1, 0), i);
  EXPECT_EQ(addench(5, 0, 0, -1, 0), -1);
  EXPECT_EQ(addench(0, 0, 0, -1, 0), -1);
  // Caster 0 has the even slots; world-wide are those divisible by 3: 0, 6, ..., 96.
  EXPECT_EQ(countcasterench(0), 17);
  removeench(50);
  EXPECT_EQ(addench(9, 0, 0, -1, 0), 50);
}

TEST_F(EnchTest, SpellbookEndsAtFirstNegativeAndHoldsNoDuplicates) {
  addtospellbook(12, 3);
  addtospellbook(40, 3);
  addtospellbook(12, 3);
  EXPECT_EQ(spellbook[3][0], 12);
  EXPECT_EQ(spellbook[3][1], 40);
  EXPECT_LT(spellbook[3][2], 0);
  EXPECT_TRUE(inspellbook(40, 3));
  EXPECT_FALSE(inspellbook(40, 4));
  addtospellbook(1, 95);   // not a player in play
  EXPECT_LT(spellbook[95][0], 0);
}
