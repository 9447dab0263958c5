// Special abilities: type pairs and flags, unit slots, items, state; items
// into slots and the laboratory store.
#include <gtest/gtest.h>

#include "support/smallworld.h"

class Abilities : public ::testing::Test {
 protected:
  void SetUp() override {
    makesmallworld();
    settype(1, "Soldier");
    settype(2, "Hero");
  }
};

TEST_F(Abilities, TypeFlagsAddFixedAmountsToTheirAbilities) {
  addtypeability(1, AB_FIRERES, 15);
  unittypes[1].flags |= MF_FIRERES | MF_COLDRES | MF_SHOCKRES | MF_POISONRES | MF_UNUSED10000 | MF_UNUSED80;
  EXPECT_EQ(gettypeability(1, AB_FIRERES, -1), 115);
  EXPECT_EQ(gettypeability(1, AB_COLDRES, -1), 100);
  EXPECT_EQ(gettypeability(1, AB_SHOCKRES, -1), 100);
  EXPECT_EQ(gettypeability(1, AB_POISONRES, -1), 100);
  EXPECT_EQ(gettypeability(1, AB_COLD, -1), 3);
  EXPECT_EQ(gettypeability(1, AB_HEAT, -1), 3);
  EXPECT_EQ(gettypeability(1, 0, -1), 0);
  EXPECT_EQ(gettypeability(-1, AB_FIRERES, -1), 0);
  EXPECT_EQ(gettypeability(MAXUNITTYPES, AB_FIRERES, -1), 0);
}

TEST_F(Abilities, RegenerationAtSeaAddsAbility221) {
  addtypeability(1, AB_REGENERATION, 10);
  addtypeability(1, AB_SEAREGENERATION, 5);
  provgeo[3].terrain = TM_SEA;
  EXPECT_EQ(gettypeability(1, AB_REGENERATION, 3), 15);
  EXPECT_EQ(gettypeability(1, AB_REGENERATION, 4), 10);
  EXPECT_EQ(gettypeability(1, AB_REGENERATION, -1), 10);
}

TEST_F(Abilities, PlainUnitSumsOrTakesTheBestOfInstanceTypeAndState) {
  addtypeability(1, AB_FIRERES, 20);
  const int32_t u = mkunit(1, 0, 1);
  unit[u].abil[2] = AB_FIRERES;
  unit[u].abilval[2] = 30;
  unit[u].flags[1] = 0x400;   // +50 fire resistance from state
  EXPECT_EQ(getability(u, AB_FIRERES, 1), 100);
  EXPECT_EQ(getability(u, AB_FIRERES, 0), 50);
  EXPECT_EQ(getability(u, AB_FIRERES, 0x10000), 50);   // only the low 16 bits of the flag count
  EXPECT_EQ(getability(-1, AB_FIRERES, 1), 0);
  EXPECT_EQ(getability(u, 0, 1), 0);
  EXPECT_EQ(getability(MAXUNITS, AB_FIRERES, 1), 0);
}

TEST_F(Abilities, HomesickUnitsRegenerateOnlyAtHome) {
  addtypeability(1, AB_REGENERATION, 10);
  addtypeability(1, AB_HOMESICK, 1);
  const int32_t u = mkunit(1, 0, 2);
  unit[u].homeland = 2;
  EXPECT_EQ(getability(u, AB_REGENERATION, 1), 10);
  setunitland(u, 3);
  EXPECT_EQ(getability(u, AB_REGENERATION, 1), 0);
}

TEST_F(Abilities, SecondCopyOfAnItemAddsNothing) {
  setitem(10, "Ring of Warmth", IT_MISC);
  additemability(10, AB_FIRERES, 5);
  const int32_t c = mkcom(2, 0, 1);
  com[c].item[0] = 10;
  com[c].item[1] = 10;
  EXPECT_EQ(getitemfx(c, AB_FIRERES, 1), 5);
  EXPECT_EQ(lastfxslot, 0);
  EXPECT_EQ(getability(bodyunit(c), AB_FIRERES, 1), 5);
  // Three other items in between let the copy count again.
  setitem(11, "A", IT_MISC);
  additemability(11, AB_FIRERES, 1);
  setitem(12, "B", IT_MISC);
  additemability(12, AB_FIRERES, 1);
  setitem(13, "C", IT_MISC);
  additemability(13, AB_FIRERES, 1);
  com[c].item[1] = 11;
  com[c].item[2] = 12;
  com[c].item[3] = 13;
  com[c].item[4] = 10;
  EXPECT_EQ(getitemfx(c, AB_FIRERES, 1), 13);
  EXPECT_EQ(lastfxslot, 4);
}

TEST_F(Abilities, BestModeTakesAFirstNegativeThenOnlyHigherValues) {
  setitem(10, "Cursed", IT_MISC);
  additemability(10, AB_FIRERES, -5);
  setitem(11, "Less cursed", IT_MISC);
  additemability(11, AB_FIRERES, -3);
  setitem(12, "Worse", IT_MISC);
  additemability(12, AB_FIRERES, -7);
  const int32_t c = mkcom(2, 0, 1);
  com[c].item[0] = 10;
  com[c].item[1] = 12;
  com[c].item[2] = 11;
  // The items' best is -3 (slot 2); the state value 0 is then the larger.
  EXPECT_EQ(getitemfx(c, AB_FIRERES, 0), 0);
  EXPECT_EQ(lastfxslot, 2);
  EXPECT_EQ(getitemfx(c, AB_FIRERES, 1), -15);
  additemability(10, AB_COLDRES, 5);
  additemability(12, AB_COLDRES, 3);
  additemability(11, AB_COLDRES, 7);
  EXPECT_EQ(getitemfx(c, AB_COLDRES, 0), 7);
  EXPECT_EQ(getitemfx(c, 999, 0), 0);
  EXPECT_EQ(lastfxslot, -9);
}

TEST_F(Abilities, ItemNumbersOutsideTheTableCountAsEmpty) {
  const int32_t c = mkcom(2, 0, 1);
  com[c].item[0] = 700;
  com[c].item[1] = -3;
  EXPECT_EQ(getitemfx(c, AB_FIRERES, 1), 0);
  EXPECT_EQ(getitemability(700, AB_FIRERES), 0);
  EXPECT_EQ(getitemability(0, AB_FIRERES), 0);
  getiba(c);   // reads no item row
  EXPECT_EQ(unit[bodyunit(c)].flags[1], 0u);
}

TEST_F(Abilities, CommanderAdjustmentsFollowTheTemporaryEffect) {
  const int32_t c = mkcom(2, 0, 1);
  com[c].tmpfx = 5;
  com[c].tmpfxstr = 55;
  EXPECT_EQ(getitemfx(c, AB_STANDARD, 1), 5);
  com[c].tmpfx = 12;
  com[c].tmpfxstr = 120;
  EXPECT_EQ(getitemfx(c, AB_AMBIDEXTROUS, 1), 2);
  com[c].tmpfx = 101;
  com[c].tmpfxstr = 60;
  com[c].path[P_DEATH] = 2;
  EXPECT_EQ(getitemfx(c, AB_FEAR, 1), 3 + 2);
  com[c].tmpfx = 106;
  com[c].tmpfxstr = 4;
  EXPECT_EQ(getitemfx(c, AB_FEAR, 1), 5 + 2);
  EXPECT_EQ(getitemfx(c, AB_DEATHPOWER, 1), 8);
}

TEST_F(Abilities, AweOfAGreatGodAndFearFromItems) {
  const int32_t c = mkcom(2, 0, 1);
  const int32_t b = bodyunit(c);
  unit[b].flags[2] = F3_PRETENDER;
  com[c].veyvalue = 10;
  EXPECT_EQ(getitemfx(c, AB_AWE, 1), 3);
  setitem(10, "Horror Helm", IT_HELMET);
  additemability(10, AB_FEARBOOST, 2);
  additemability(10, AB_FEAR, 5);
  com[c].item[0] = 10;
  EXPECT_EQ(getitemfx(c, AB_FEAR, 1), 15);
}

TEST_F(Abilities, FireShieldAndAurasGrowWithTheCommandersPaths) {
  const int32_t c = mkcom(2, 0, 1);
  com[c].path[P_FIRE] = 3;
  com[c].path[P_WATER] = 2;
  unittypes[2].flags |= MF_UNUSED10000;   // cold aura 3
  EXPECT_EQ(getitemfx(c, AB_COLD, 1), 5);
  EXPECT_EQ(getitemfx(c, AB_HEAT, 1), 0);       // no heat aura: no fire bonus
  unit[bodyunit(c)].flags[2] = 0x8000;      // fire shield 7 from state
  EXPECT_EQ(getitemfx(c, AB_FIRESHIELD, 1), 9);
}

TEST_F(Abilities, SupplyBonusAddsTenPerNatureLevel) {
  const int32_t c = mkcom(2, 0, 1);
  com[c].path[P_NATURE] = 2;
  setitem(10, "Sack", IT_MISC);
  additemability(10, AB_SUPPLYBONUS, 15);
  com[c].item[0] = 10;
  EXPECT_EQ(getitemfx(c, AB_SUPPLYBONUS, 1), 35);
  EXPECT_EQ(getitemfx(c, AB_SUPPLYBONUS, 0), 20);
}

TEST_F(Abilities, RegenerationFromStateAndTheGodOfGrowth) {
  const int32_t u = mkunit(1, 3, 1);
  unit[u].flags[1] = 0x20 | ST_BLESSED;
  kingdom[3].godpath[P_NATURE] = 6;
  EXPECT_EQ(stateability(u, AB_REGENERATION, 1), 10 + 3 * 5 - 5);
  unit[u].flags[2] = 0x20000000;
  EXPECT_EQ(stateability(u, AB_REGENERATION, 1), 30);
  unittypes[1].flags |= MF_INANIMATE;
  EXPECT_EQ(stateability(u, AB_REGENERATION, 1), 10);
}

TEST_F(Abilities, SumOverALandCountsLivingUnitsOfTheOwner) {
  addtypeability(1, AB_PATROLBONUS, 2);
  mkunit(1, 0, 4);
  mkunit(1, 0, 4);
  mkunit(1, 1, 4);
  const int32_t dead = mkunit(1, 0, 4);
  unit[dead].hp = 0;
  mkunit(1, 0, 5);
  EXPECT_EQ(sumlandability(4, 0, AB_PATROLBONUS), 4);
  EXPECT_EQ(sumlandability(4, -1, AB_PATROLBONUS), 6);
}

TEST_F(Abilities, ItemFlagWordsGoToTheBodyAndTwoEyeLossesBlind) {
  setitem(10, "Eye Patch", IT_MISC);
  items[10].flags[0] = 0x4;
  items[10].flags[1] = 0x10;
  items[10].flags[2] = AF_LOSTEYE;
  setitem(11, "Second Patch", IT_MISC);
  items[11].flags[2] = AF_LOSTEYE;
  const int32_t c = mkcom(2, 0, 1);
  com[c].item[0] = 10;
  getiba(c);
  const int32_t b = bodyunit(c);
  EXPECT_EQ(unit[b].flags[1], 0x4u);
  EXPECT_EQ(unit[b].flags[2], 0x10u);
  EXPECT_EQ(unit[b].flags[0], AF_LOSTEYE);
  com[c].item[1] = 11;
  getiba(c);
  EXPECT_TRUE(unit[b].flags[0] & AF_BLIND);
  EXPECT_DEATH(getiba(9000), "getiba: bad cnr");
  EXPECT_DEATH(getitemfx(9000, 1, 1), "getitemfx: bad cnr");
}

TEST_F(Abilities, ItemsGoIntoFittingSlots) {
  setitem(10, "Sword", IT_ONEHAND);
  setitem(11, "Pike", IT_TWOHAND);
  setitem(12, "Hat", IT_HELMET);
  setitem(13, "Frost Charm", IT_MISC);
  items[13].picture = 27;
  const int32_t c = mkcom(2, 0, 1);   // default slots: hands 0,1; head 2; body 3; feet 4; misc 5,6
  EXPECT_EQ(getitem(c, 11), 0);       // a two-handed item takes slot 0 and blocks slot 1
  EXPECT_EQ(com[c].item[1], 0);
  EXPECT_EQ(getitem(c, 10), -10);     // every hand slot is taken: -10 - first hand slot
  EXPECT_EQ(getitem(c, 12), 2);
  EXPECT_EQ(getitem(c, 12), -12);
  EXPECT_EQ(getitem(c, 13), -20);     // picture 27 fits only cold-blooded types
  unittypes[2].flags |= MF_COLDBLOOD;
  EXPECT_EQ(getitem(c, 13), 5);
  EXPECT_EQ(getitem(c, 0), -20);
  EXPECT_EQ(getitem(-1, 10), -20);
  EXPECT_DEATH(getitem(c, 500), "getitem: bad item");
}

TEST_F(Abilities, TwoHandedItemIsRefusedWhenOnlyTheLastSlotIsFree) {
  addtypeability(2, AB_ITEMSLOTS, 0x80 | 0x2 | 0x4);   // head, then two hands: slots 0 hand, 1 hand, 2 head
  setitem(10, "Sword", IT_ONEHAND);
  setitem(11, "Pike", IT_TWOHAND);
  const int32_t c = mkcom(2, 0, 1);
  EXPECT_EQ(getitem(c, 10), 0);
  EXPECT_EQ(getitem(c, 11), -10);
}

TEST_F(Abilities, RestrictionPairsAndInanimateFits) {
  setitem(10, "Boots of the Living", IT_BOOTS);
  additemability(10, AB_ITEMFIT, int32_t(MF_UNDEAD));
  setitem(11, "Amulet", IT_MISC);
  items[11].picture = 26;
  const int32_t c = mkcom(2, 0, 1);
  unittypes[2].flags |= MF_UNDEAD;
  EXPECT_EQ(getitem(c, 10), -20);
  unittypes[2].flags = MF_INANIMATE;
  EXPECT_EQ(getitem(c, 11), -20);
  EXPECT_EQ(getitem(c, 10), 4);
}

TEST_F(Abilities, ForcedGivingSavesTheOldItemToTheLaboratory) {
  setitem(10, "Sword", IT_ONEHAND);
  setitem(11, "Axe", IT_ONEHAND);
  setitem(12, "Pike", IT_TWOHAND);
  const int32_t c = mkcom(2, 4, 1);
  com[c].item[0] = 10;
  com[c].item[1] = 11;
  EXPECT_EQ(getitemf(c, 12, 2), 0);
  EXPECT_EQ(com[c].item[0], 12);
  EXPECT_EQ(com[c].item[1], 0);
  EXPECT_EQ(kingdom[4].w[KW_LABSTORE], 10);
  EXPECT_EQ(kingdom[4].w[KW_LABSTORE + 1], 11);
  // Mode 1 keeps the old item only where the owner holds a laboratory.
  com[c].item[0] = 10;
  com[c].item[1] = 11;
  EXPECT_EQ(getitemf(c, 12, 1), 0);
  EXPECT_EQ(kingdom[4].w[KW_LABSTORE + 2], 0);
  land[1].fortholder = 4;
  land[1].lab = 1;
  com[c].item[0] = 10;
  com[c].item[1] = 11;
  EXPECT_EQ(getitemf(c, 12, 1), 0);
  EXPECT_EQ(kingdom[4].w[KW_LABSTORE + 2], 10);
  EXPECT_EQ(kingdom[4].w[KW_LABSTORE + 3], 11);
  EXPECT_DEATH(getitemf(-1, 10, 0), "getitemf: bad cnr");
}

TEST_F(Abilities, LaboratoryStoreFillsAndForcedReplacesTheLastPlace) {
  for (int i = 0; i < LABSTORESIZE; i++) ASSERT_EQ(additemtolab(2, 10 + i, 0), i);
  EXPECT_EQ(additemtolab(2, 99, 0), -1);
  EXPECT_EQ(additemtolab(2, 99, 1), 49);
  EXPECT_EQ(kingdom[2].w[KW_LABSTORE + 49], 99);
  EXPECT_EQ(additemtolab(2, 0, 1), -1);
  EXPECT_EQ(additemtolab(-1, 5, 1), -1);
  EXPECT_EQ(additemtolab(100, 5, 1), -1);
}

TEST_F(Abilities, WeaponAbilitiesEndAtTheFirstZero) {
  weapons[5] = Weapon{};
  weapons[5].abilityid[0] = AB_PATROLBONUS;
  weapons[5].abilityval[0] = 4;
  weapons[5].abilityid[2] = AB_BLIND;   // after the end of the list
  weapons[5].abilityval[2] = 1;
  EXPECT_EQ(getweaponability(5, AB_PATROLBONUS), 4);
  EXPECT_EQ(getweaponability(5, AB_BLIND), 0);
  EXPECT_EQ(getweaponability(-1, AB_PATROLBONUS), 0);
  EXPECT_EQ(getweaponability(MAXWEAPONS, AB_PATROLBONUS), 0);
  EXPECT_EQ(getweaponability(5, 0), 0);
}

TEST_F(Abilities, BlessingsFollowTheGodButNotForTheIndependents) {
  const int32_t u = mkunit(1, 3, 1);
  unit[u].flags[1] = ST_BLESSED | 0x8;   // air shield 80 from state
  kingdom[3].godpath[P_AIR] = 10;
  kingdom[3].godpath[P_DEATH] = 4;
  EXPECT_EQ(stateability(u, AB_AIRSHIELD, 1), 80);
  kingdom[3].godpath[P_AIR] = 11;
  EXPECT_EQ(stateability(u, AB_AIRSHIELD, 1), 90);
  EXPECT_EQ(stateability(u, AB_SHOCKRES, 1), 75);
  EXPECT_EQ(stateability(u, AB_DEATHPOWER, 1), 100);
  unit[u].owner = 25;
  kingdom[25] = kingdom[3];
  EXPECT_EQ(stateability(u, AB_DEATHPOWER, 1), 0);
  unit[u].owner = 3;
  unit[u].flags[2] = F3_PRETENDER;   // the god's own body is never sacred
  EXPECT_EQ(stateability(u, AB_DEATHPOWER, 1), 0);
}
