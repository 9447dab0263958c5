// The ritual order and its refusals, and the description entries.
#include "magic/magicworld.h"

namespace {

using Castrit = MagicWorld;

TEST_F(Castrit, StoresTheOrderPaysTheGemsAndCancellingGivesThemBack) {
  const int32_t s = spell("Fire Rain");
  ASSERT_EQ(ritualtargetkind(s), RT_PROVINCE);
  const int32_t cost = ritualgemcost(s);
  ASSERT_GT(cost, 0);
  EXPECT_EQ(castrit(mage, s, 0, AHOME + 3, 0), RIT_OK);
  const Commander& c = com[size_t(mage)];
  EXPECT_EQ(c.order, Order::ritual);
  EXPECT_EQ(c.orderparam, s);
  EXPECT_EQ(c.ordergems[0], cost);
  EXPECT_EQ(c.ordergems[1], AHOME + 3);
  EXPECT_EQ(gems(A, P_FIRE), 100 - cost);
  EXPECT_EQ(cancelorder(mage), 1);
  EXPECT_EQ(gems(A, P_FIRE), 100);

  // A ritual without a target keeps no target land.
  EXPECT_EQ(castrit(mage, spell("Summon Animals"), 0, 7, 0), RIT_OK);
  EXPECT_EQ(com[size_t(mage)].ordergems[1], 0);
}

TEST_F(Castrit, RefusesWhatTheCasterOrTheTreasuryCannotDo) {
  const int32_t firerain = spell("Fire Rain");
  // Range: twice the level in the first path.
  com[size_t(mage)].path[P_FIRE] = 3;
  EXPECT_EQ(castrit(mage, firerain, 0, AHOME + 7, 0), RIT_BADTARGET);
  EXPECT_EQ(castrit(mage, firerain, 0, 0, 0), RIT_BADTARGET);
  EXPECT_EQ(ritualrange(mage, firerain), 6);
  com[size_t(mage)].path[P_FIRE] = 2;
  EXPECT_EQ(castrit(mage, firerain, 0, AHOME + 1, 0), RIT_TOOCOMPLEX);
  // Granted by an item, the path levels are not asked.
  gems(A, P_FIRE) = 1;
  EXPECT_EQ(castrit(mage, firerain, 1, AHOME + 1, 0), RIT_NOGEMS);
  EXPECT_EQ(gems(A, P_FIRE), 1);
  EXPECT_EQ(com[size_t(mage)].order, Order::defend);
  // No laboratory of the nation: only item rituals.
  setunitland(com[size_t(mage)].body, AHOME + 1);
  EXPECT_EQ(castrit(mage, spell("Summon Animals"), 0, 0, 0), RIT_NOLAB);
  EXPECT_EQ(castrit(mage, spell("Summon Animals"), 1, 0, 0), RIT_OK);
  // A battle spell is no ritual.
  EXPECT_EQ(castrit(mage, spell("Fire Bolt"), 0, 0, 0), RIT_NORITUAL);
}

TEST_F(Castrit, WaterTerrainAndImmobileCastersAreRefusedWithTheirWords) {
  // Under water.
  provgeo[AHOME].terrain |= TM_SEA;
  EXPECT_EQ(castrit(mage, spell("Fire Rain"), 0, AHOME + 1, 0), RIT_NOTUNDERWATER);
  EXPECT_STREQ(ritualrefusaltext(RIT_NOTUNDERWATER), "This spell cannot be cast under water.");
  EXPECT_EQ(castrit(mage, spell("Sea Serpent Call"), 0, 0, 0), RIT_OK);
  provgeo[AHOME].terrain &= ~TM_SEA;
  cancelorder(mage);
  EXPECT_EQ(castrit(mage, spell("Sea Serpent Call"), 0, 0, 0), RIT_ONLYUNDERWATER);
  EXPECT_STREQ(ritualrefusaltext(RIT_ONLYUNDERWATER), "This spell can only be cast under water.");
  // Fire enchantments do not take hold at sea.
  provgeo[AHOME + 1].terrain |= TM_SEA;
  const int32_t toads = spell("Rain of Toads");
  EXPECT_EQ(castrit(mage, toads, 0, AHOME + 1, 0), RIT_OK);
  cancelorder(mage);
  // Teleport: only into the nation's own provinces, on ground the army can stand on.
  const int32_t teleport = spell("Teleport");
  EXPECT_EQ(castrit(mage, teleport, 0, AHOME + 2, 0), RIT_BADTARGET);
  own(AHOME + 1, A);
  EXPECT_EQ(castrit(mage, teleport, 0, AHOME + 1, 0), RIT_WRONGTERRAIN);
  EXPECT_STREQ(ritualrefusaltext(RIT_WRONGTERRAIN), "Wrong terrain for this ritual.");
  own(AHOME - 1, A);
  EXPECT_EQ(castrit(mage, teleport, 0, AHOME - 1, 0), RIT_OK);
  cancelorder(mage);
  unit[size_t(com[size_t(mage)].body)].type = int16_t(findunittype("Blood Idol"));
  EXPECT_EQ(castrit(mage, teleport, 0, AHOME - 1, 0), RIT_IMMOBILE);
  EXPECT_STREQ(ritualrefusaltext(RIT_IMMOBILE), "The caster is too immobile to use this spell.");
}

TEST_F(Castrit, DispelTakesAWorldEnchantmentAndPearls) {
  const int32_t dispel = spell("Dispel");
  ASSERT_EQ(ritualtargetkind(dispel), RT_ENCHANTMENT);
  const int32_t local = addench(7, -1, B, AHOME, 0);
  EXPECT_EQ(castrit(mage, dispel, 0, local, 5), RIT_BADTARGET);
  const int32_t e = addench(21, -1, B, -1, 0);
  EXPECT_EQ(castrit(mage, dispel, 0, e, 0), RIT_NOGEMS);
  EXPECT_EQ(castrit(mage, dispel, 0, e, 101), RIT_NOGEMS);
  EXPECT_EQ(castrit(mage, dispel, 0, e, 30), RIT_OK);
  EXPECT_EQ(com[size_t(mage)].order, Order::dispel);
  EXPECT_EQ(com[size_t(mage)].orderparam, e);
  EXPECT_EQ(gems(A, P_ASTRAL), 70);
  cancelorder(mage);
  EXPECT_EQ(gems(A, P_ASTRAL), 100);
  // An enchantment of the nation's own that is in force is not cast twice.
  const int32_t s = spell("Wild Growth");
  com[size_t(mage)].path[P_NATURE] = 4;
  EXPECT_EQ(ritualrefusal(mage, s, 0, 0), RIT_OK);
  addench(spells[size_t(s)].damage, -1, A, -1, 0);
  EXPECT_EQ(castrit(mage, s, 0, 0, 0), RIT_INFORCE);
}

TEST_F(Castrit, ItemSpellsAreTheRitualsOfTheItemsWorn) {
  const int32_t ring = finditem(ITM_RING_OF_SORCERY);
  const int32_t seer = finditem("Eye of the Seer");
  ASSERT_GE(getitem(mage, ring), 0);
  ASSERT_GE(getitem(mage, seer), 0);
  EXPECT_EQ(getcomitemspell(mage, 0), spell("Astral Travel"));
  EXPECT_EQ(getcomitemspell(mage, 1), spell("Scrying"));
  EXPECT_EQ(getcomitemspell(mage, 2), 0);
}

TEST(Descriptions, EveryUnitTypeSpellItemAndSiteHasAText) {
  loadgamedata();
  for (int32_t m = 1; m < nbrofunittypes(); m++)
    if (isusedunittype(m)) {
      EXPECT_GT(findmondescr(m), 0) << unittypes[size_t(m)].name;
    }
  for (int32_t s = 1; s < nbrofspells(); s++) EXPECT_GT(getspldscr(s), 0) << spells[size_t(s)].name;
  for (int32_t i = 1; i < nbrofitems(); i++)
    if (items[size_t(i)].name[0]) {
      EXPECT_GT(finditemdescr(i), 0) << items[size_t(i)].name;
    }
  for (int32_t s = 1; s < nbrofsites(); s++)
    if (sites[size_t(s)].name[0]) {
      EXPECT_GT(findsitedescr(s), 0) << sites[size_t(s)].name;
    }
  EXPECT_EQ(getspldscr(0), -1);
  EXPECT_EQ(findmondescr(-1), 0);
}

}  // namespace
