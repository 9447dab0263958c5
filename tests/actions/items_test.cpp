// Items handed on: the player's check and hand-over with their refusals and
// the leadership after an item left, and the hand-over between commanders,
// the laboratory store and the ground with the "Transfer item to" question.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "actions/items.h"
#include "magic/magicworld.h"
#include "support/dialogscript.h"
#include "support/smallworld.h"

namespace {

class ItemMoves : public ::testing::Test {
 protected:
  int32_t hero = -1, mate = -1;
  void SetUp() override {
    makesmallworld();
    settype(1, "Spearman");
    hero = mkcom(1, 3, 2);
    mate = mkcom(1, 3, 2);
  }
};

TEST_F(ItemMoves, ToTheLaboratoryWithTheRefusalsAndTheLeadershipAfter) {
  setitem(8, "Cursed Crown", IT_HELMET).cursed = -1;
  setitem(9, "Banner of Many", IT_MISC);
  additemability(9, AB_LEADERSHIPBONUS, 100);
  com[hero].item[1] = 8;
  com[hero].item[4] = 9;
  EXPECT_EQ(canmoveitem(hero, 4, 1).why, "No lab in this province");
  land[2].lab = 1;
  land[2].fortholder = 3;
  EXPECT_EQ(canmoveitem(hero, 1, 1).why, "This item is cursed and cannot be transfered.");
  EXPECT_EQ(canmoveitem(hero, 0, 1).why, "No magic item");
  unit[bodyunit(mate)].homeland = -2;
  com[mate].item[4] = 9;
  EXPECT_EQ(canmoveitem(mate, 4, 1).why, "The mercenary won't give away his magic item.");
  EXPECT_EQ(moveitem(mate, 4, 1).why, "The mercenary won't give away his magic item.");
  EXPECT_EQ(com[mate].item[4], 9) << "refused: nothing changes";
  // Hero leads 40 + 100 units; 60 soldiers in its squad; the banner goes
  // into the laboratory and the units past 40 leave the squad in unit order.
  com[hero].squad[0] = 777;
  std::vector<int32_t> men;
  for (int32_t n = 0; n < 60; n++) {
    men.push_back(mkunit(1, 3, 2));
    setunitsquad(men.back(), 777);
  }
  com[hero].order = Order::empower;
  EXPECT_FALSE(moveitem(hero, 4, 1));
  EXPECT_EQ(com[hero].item[4], 0);
  EXPECT_EQ(kingdom[3].w[KW_LABSTORE], 9);
  EXPECT_EQ(com[hero].order, Order::defend) << "the order went with the item";
  EXPECT_EQ(unit[men[39]].squad, 777);
  EXPECT_EQ(unit[men[40]].squad, -1);
  EXPECT_EQ(unit[men[59]].squad, -1);
  // An item number beyond the table (only a damaged file holds one) cannot
  // be handed over.
  com[hero].item[2] = 600;
  EXPECT_EQ(canmoveitem(hero, 2, 1).why, "No magic item");
  EXPECT_EQ(moveitem(hero, 2, 1).why, "No magic item");
  EXPECT_EQ(com[hero].item[2], 600);
}

TEST_F(ItemMoves, TheOrderGoesEvenWhenThePlayerLeavesTheQuestion) {
  setitem(9, "Banner of Many", IT_MISC);
  com[hero].item[4] = 9;
  com[hero].order = Order::empower;
  {
    DialogScript answers("999\n");
    EXPECT_FALSE(moveitem(hero, 4, 0));
  }
  EXPECT_EQ(com[hero].item[4], 9);
  EXPECT_EQ(com[hero].order, Order::defend);
  // Research is kept.
  com[hero].order = Order::research;
  {
    DialogScript answers("1000\n");
    EXPECT_FALSE(moveitem(hero, 4, 0));
  }
  EXPECT_EQ(com[hero].item[4], 0);
  EXPECT_EQ(std::count(com[mate].item, com[mate].item + 8, 9), 1) << "the one other commander has it";
  EXPECT_EQ(com[hero].order, Order::research);
}

using GiveItem = MagicWorld;

TEST_F(GiveItem, ToAnotherCommanderTheLaboratoryOrTheGround) {
  const int32_t other = commander(A, AHOME);
  strlcopy(com[size_t(other)].name, "Receiver", 36);
  const int32_t ring = finditem(ITM_RING_OF_SORCERY);
  const int32_t slot = getitem(mage, ring);
  ASSERT_GE(slot, 0);
  {
    DialogScript answers("1000\n");
    EXPECT_EQ(giveitem(mage, AHOME, slot, 0), 1);
    EXPECT_NE(answers.printed().find("Receiver"), std::string::npos);
  }
  EXPECT_EQ(com[size_t(mage)].item[slot], 0);
  int32_t held = -1;
  for (int32_t s = 0; s < 8; s++)
    if (com[size_t(other)].item[s] == ring) held = s;
  ASSERT_GE(held, 0);
  // Into the laboratory, then out of it to the first commander again.
  EXPECT_EQ(giveitem(other, AHOME, held, 1), 1);
  EXPECT_EQ(kingdom[A].w[KW_LABSTORE], ring);
  {
    DialogScript answers("1000\n");
    EXPECT_EQ(giveitem(-1, AHOME, 0, 0), 1);
  }
  EXPECT_EQ(kingdom[A].w[KW_LABSTORE], 0);
  // Exit leaves it; throwing it away loses it.
  int32_t s2 = -1;
  for (int32_t s = 0; s < 8; s++)
    if (com[size_t(mage)].item[s] == ring) s2 = s;
  ASSERT_GE(s2, 0);
  {
    DialogScript answers("999\n");
    EXPECT_EQ(giveitem(mage, AHOME, s2, 0), 0);
  }
  EXPECT_EQ(com[size_t(mage)].item[s2], ring);
  {
    DialogScript answers("3\n");
    EXPECT_EQ(giveitem(mage, AHOME, s2, 0), 1);
  }
  EXPECT_EQ(com[size_t(mage)].item[s2], 0);
  // A full laboratory keeps the item with the commander.
  for (int32_t i = 0; i < LABSTORESIZE; i++) kingdom[A].w[KW_LABSTORE + i] = int16_t(ring);
  const int32_t s3 = getitem(mage, finditem("Eye of the Seer"));
  EXPECT_EQ(giveitem(mage, AHOME, s3, 1), 0);
  EXPECT_GT(com[size_t(mage)].item[s3], 0);
  EXPECT_DEATH(giveitem(mage, 0, s3, 1), "giveitem: bad lnr");
  EXPECT_DEATH(giveitem(mage, AHOME, -1, 1), "giveitem: bad itemnr");
}

}  // namespace
