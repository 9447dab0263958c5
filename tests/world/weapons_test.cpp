// Melee and missile weapon lists with their fallbacks.
#include <gtest/gtest.h>

#include "support/smallworld.h"

class WeaponsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    makesmallworld();
    setweapon(1, "Spear", 1, 1, 3);
    setweapon(2, "Bite", 0, 0, 0);
    setweapon(3, "Claw", 0, 0, 1);
    setweapon(4, "Pike", 2, 0, 4).flags |= WF_TWOHANDED;
    setweapon(5, "Kick", 0, 0, 1).flags |= WF_BONUS;
    setweapon(6, "Bow", 0, 0, 0).range = 30;
    setweapon(7, "Crossbow", 0, 0, 0).range = 25;
    weapons[7].flags |= WF_TWOHANDED;
    setweapon(8, "Sword", 1, 1, 1);
    setweapon(9, "Tail", 0, 0, 2);
    setweapon(WEAPON_FIST, "Fist");
    setweapon(WEAPON_USELESSKICK, "Useless Kick");
    settype(1, "Beast").weapon[0] = 2;
    unittypes[1].weapon[1] = 3;
    settype(2, "Hero").weapon[0] = 1;
    unittypes[2].weapon[1] = 3;
    settype(3, "Pikeman").weapon[0] = 4;
    unittypes[3].weapon[1] = 7;
    settype(4, "Statue").flags = MF_IMMOBILE;
    settype(5, "Rider").weapon[0] = 8;
    unittypes[5].weapon[1] = 5;
    setitem(10, "Magic Sword", IT_ONEHAND);
    items[10].weapon = 8;
    setitem(11, "Shield", IT_SHIELD);
    setitem(12, "Longbow", IT_MISSILE);
    items[12].weapon = 6;
    setitem(13, "Boots of Kicking", IT_BOOTS);
    items[13].weapon = 9;
  }
};

TEST_F(WeaponsTest, NoWeaponMeansFist) {
  settype(6, "Ghost");
  const int32_t u = mkunit(6, 0, 1);
  EXPECT_EQ(getnthweapon(u, 0), WEAPON_FIST);
  EXPECT_EQ(getnthweapon(u, 1), 0);
  const int32_t s = mkunit(4, 0, 1);
  EXPECT_EQ(getnthweapon(s, 0), 0);   // an immobile type has no fallback
  EXPECT_EQ(getnthweapon(-1, 0), 0);
  unit[s].type = 4000;
  EXPECT_DEATH(getnthweapon(s, 0), "gmw: bad m");
}

TEST_F(WeaponsTest, NaturalMeleeWeaponsInOrder) {
  const int32_t u = mkunit(1, 0, 1);
  EXPECT_EQ(getnthweapon(u, 0), 2);
  EXPECT_EQ(getnthweapon(u, 1), 3);
  EXPECT_EQ(getnthweapon(u, 2), 0);
  const int32_t p = mkunit(3, 0, 1);
  EXPECT_EQ(getnthweapon(p, 0), 4);
  EXPECT_EQ(getnthweapon(p, 1), 0);   // the crossbow is a missile weapon
  EXPECT_EQ(getmissileweapon(p, 0), 7);
}

TEST_F(WeaponsTest, OneArmedUnitsFightWithFistsInsteadOfTwoHandedWeapons) {
  const int32_t p = mkunit(3, 0, 1);
  unit[p].flags[0] = AF_LOSTARM;
  EXPECT_EQ(getnthweapon(p, 0), WEAPON_FIST);
  EXPECT_EQ(getmissileweapon(p, 0), 0);
}

TEST_F(WeaponsTest, TwoShieldsAndNoWeaponItemGiveAUselessKick) {
  unittypes[1].flags = 0;
  const int32_t c = mkcom(1, 0, 1);
  com[c].item[0] = 11;
  com[c].item[1] = 11;
  EXPECT_EQ(getnthweapon(bodyunit(c), 0), WEAPON_USELESSKICK);
  EXPECT_EQ(getnthweapon(bodyunit(c), 1), 0);
  addtypeability(1, AB_ITEMSLOTS, 0x2 | 0x4 | 0x80);   // no feet slot: a fist instead
  EXPECT_EQ(getnthweapon(bodyunit(c), 0), WEAPON_FIST);
}

TEST_F(WeaponsTest, OneShieldCostsTheSecondNaturalWeaponAndTwoHandedOnes) {
  unittypes[1].weapon[0] = 4;   // pike
  const int32_t c = mkcom(1, 0, 1);
  com[c].item[0] = 11;
  EXPECT_EQ(getnthweapon(bodyunit(c), 0), WEAPON_FIST);
  EXPECT_EQ(getnthweapon(bodyunit(c), 1), 0);
  unittypes[1].weapon[1] = 5;   // a bonus weapon stays
  EXPECT_EQ(getnthweapon(bodyunit(c), 1), 5);
}

TEST_F(WeaponsTest, AWeaponInHandKeepsOnlyBonusNaturalWeapons) {
  const int32_t c = mkcom(5, 0, 1);
  com[c].item[0] = 10;
  com[c].item[4] = 13;
  EXPECT_EQ(getnthweapon(bodyunit(c), 0), 8);
  EXPECT_EQ(getnthweapon(bodyunit(c), 1), 5);
  EXPECT_EQ(getnthweapon(bodyunit(c), 2), 9);
  EXPECT_EQ(getnthweapon(bodyunit(c), 3), 0);
}

TEST_F(WeaponsTest, MissileItemReplacesNaturalMissiles) {
  const int32_t c = mkcom(3, 0, 1);
  EXPECT_EQ(getmissileweapon(bodyunit(c), 0), 7);
  com[c].item[0] = 12;
  EXPECT_EQ(getmissileweapon(bodyunit(c), 0), 6);
  EXPECT_EQ(getmissileweapon(bodyunit(c), 1), 0);
  // The last hand item giving any weapon switches to the item list too.
  com[c].item[0] = 10;
  EXPECT_EQ(getmissileweapon(bodyunit(c), 0), 0);
}

TEST_F(WeaponsTest, ALostPartTakesOnlyTheFirstCopyOfItsWeapon) {
  settype(608, "Gryphon").weapon[0] = 20;
  unittypes[608].weapon[1] = 3;
  unittypes[608].weapon[2] = 20;
  setweapon(20, "Beak");
  const int32_t g = mkunit(608, 0, 1);
  unit[g].flags[0] = AF_LOSTPART;
  EXPECT_EQ(getnthweapon(g, 0), WEAPON_USELESSKICK);   // the beak becomes weapon 346
  EXPECT_EQ(getnthweapon(g, 1), 3);
  settype(91, "Hydra").weapon[0] = 30;
  unittypes[91].weapon[1] = 3;
  unittypes[91].weapon[2] = 30;
  setweapon(30, "Bite of a head");
  const int32_t h = mkunit(91, 0, 1);
  unit[h].flags[0] = AF_LOSTPART;
  EXPECT_EQ(getnthweapon(h, 0), 3);
  EXPECT_EQ(getnthweapon(h, 1), 30);   // the second copy stays
}

TEST_F(WeaponsTest, ShortestWeapon) {
  EXPECT_EQ(shortestweaponlen(mkunit(1, 0, 1)), 0);
  EXPECT_EQ(shortestweaponlen(mkunit(2, 0, 1)), 1);
  EXPECT_EQ(shortestweaponlen(-1), 100);
}
