// Worn armors, shields and protection by location.
#include <gtest/gtest.h>

#include "support/smallworld.h"

class ArmorTest : public ::testing::Test {
 protected:
  void SetUp() override {
    makesmallworld();
    setarmor(1, "Iron Cap", IT_HELMET);
    addprot(1, LOC_HEAD, 12);
    setarmor(2, "Plate Cuirass", IT_ARMOR, -1, 2);
    addprot(2, LOC_BODY, 20);
    addprot(2, LOC_ARMS, 8);
    addprot(2, LOC_LEGS, 8);
    setarmor(3, "Buckler", IT_SHIELD, 2, 0);
    addprot(3, LOC_SHIELD, 13);
    setarmor(4, "Bracers", IT_MISC);
    addprot(4, LOC_ALLBUTSHIELD, 2);
    setarmor(5, "Full Plate", IT_ARMOR);
    addprot(5, LOC_ALLBUTSHIELD, 20);
    Monster& t = settype(1, "Knight");
    t.armor[0] = 1;
    t.armor[1] = 2;
    t.armor[2] = 3;
    settype(2, "Hero");
    unittypes[2].armor[0] = 1;
    unittypes[2].armor[1] = 3;
    setitem(10, "Crown", IT_HELMET);          // no armor row
    setitem(11, "Great Sword", IT_TWOHAND);
    setitem(12, "Sword", IT_ONEHAND);
    setitem(13, "Magic Bracers", IT_MISC);
    items[13].armor = 4;
    setitem(14, "Tower Shield", IT_SHIELD);
    items[14].armor = 3;
  }
};

TEST_F(ArmorTest, PlainUnitsWearTheirTypesArmors) {
  const int32_t u = mkunit(1, 0, 1);
  EXPECT_EQ(getarmor(u, 0), 1);
  EXPECT_EQ(getarmor(u, 1), 2);
  EXPECT_EQ(getarmor(u, 2), 3);
  EXPECT_EQ(getarmor(u, 3), 0);
  unit[u].flags[0] = AF_LOSTARM;
  EXPECT_EQ(getarmor(u, 2), 0);
  EXPECT_FALSE(hasshield(u));
  unit[u].flags[0] = AF_NOARMOR;
  EXPECT_EQ(getarmor(u, 0), 0);
  EXPECT_EQ(getarmor(-1, 0), 0);
  EXPECT_DEATH(getarmor(MAXUNITS, 0), "getarmor: bad unr");
}

TEST_F(ArmorTest, ArmorNumbersOutsideTheTableEndTheList) {
  unittypes[1].armor[1] = 900;
  const int32_t u = mkunit(1, 0, 1);
  EXPECT_EQ(getarmor(u, 0), 1);
  EXPECT_EQ(getarmor(u, 1), 0);
}

TEST_F(ArmorTest, AHelmetItemWithoutArmorKeepsTheTypesHelmetOff) {
  const int32_t c = mkcom(2, 0, 1);
  const int32_t b = bodyunit(c);
  EXPECT_EQ(getarmor(b, 0), 1);
  com[c].item[2] = 10;   // the head slot
  EXPECT_EQ(getarmor(b, 0), 3);
  EXPECT_EQ(getlocprot(b, LOC_HEAD), 0);
}

TEST_F(ArmorTest, TwoHandedItemKeepsTheTypesShieldOff) {
  const int32_t c = mkcom(2, 0, 1);
  const int32_t b = bodyunit(c);
  com[c].item[0] = 12;
  EXPECT_TRUE(hasshield(b));
  com[c].item[0] = 11;
  EXPECT_FALSE(hasshield(b));
  com[c].item[0] = 14;   // a shield item replaces the type's shield
  EXPECT_EQ(getarmor(b, 1), 3);
  EXPECT_EQ(getarmor(b, 2), 0);
  EXPECT_EQ(getshldprt(b), 13);
  EXPECT_EQ(getshlddef(b), 2);
  EXPECT_DEATH(getshldprt(-1), "getshldprt: bad unr");
  EXPECT_DEATH(getshlddef(highestunit + 1), "getshlddef: bad unr");
  EXPECT_DEATH(hasshield(-1), "getshlddef: bad unr");
}

TEST_F(ArmorTest, BracersCountEverywhereButTheShield) {
  const int32_t c = mkcom(2, 0, 1);
  const int32_t b = bodyunit(c);
  com[c].item[5] = 13;
  EXPECT_EQ(getlocprot(b, LOC_HEAD), 12 + 2);
  EXPECT_EQ(getlocprot(b, LOC_BODY), 2);
  EXPECT_EQ(getlocprot(b, LOC_ARMS), 2);
  EXPECT_EQ(getlocprot(b, LOC_LEGS), 2);
  EXPECT_EQ(getlocprot(b, LOC_SHIELD), 13);
}

TEST_F(ArmorTest, ReinforcedArmorAndTheEarthGodAddPerPiece) {
  const int32_t u = mkunit(1, 3, 1);
  unit[u].flags[1] = ST_ARMORPLUS;
  EXPECT_EQ(getlocprot(u, LOC_BODY), 23);
  EXPECT_EQ(getlocprot(u, LOC_SHIELD), 16);
  unit[u].flags[1] |= ST_BLESSED;
  kingdom[3].godpath[P_EARTH] = 9;
  EXPECT_EQ(getlocprot(u, LOC_BODY), 27);
}

TEST_F(ArmorTest, IceProtectionFollowsTheCold) {
  const int32_t u = mkunit(1, 0, 4);
  unit[u].abil[0] = AB_ICEPROT;
  unit[u].abilval[0] = 2;
  land[4].scale[SC_COLD] = 3;
  EXPECT_EQ(getlocprot(u, LOC_BODY), 26);
  land[4].scale[SC_COLD] = -2;
  EXPECT_EQ(getlocprot(u, LOC_BODY), 16);
  setunitland(u, 3000);   // no land record: no ice
  EXPECT_EQ(getlocprot(u, LOC_BODY), 20);
}

TEST_F(ArmorTest, TwoHeadsShareTheHelmets) {
  addtypeability(1, AB_ITEMSLOTS, 0x100 | 0x80 | 0x400);
  const int32_t u = mkunit(1, 0, 1);
  EXPECT_EQ(getlocprot(u, LOC_HEAD), 6);
}

TEST_F(ArmorTest, OverallProtectionCombinesArmorAndNaturalProtection) {
  unittypes[3] = unittypes[1];
  unittypes[3].armor[0] = 5;
  unittypes[3].armor[1] = 0;
  unittypes[3].prot = 20;
  const int32_t u = mkunit(3, 0, 1);
  EXPECT_EQ(getprot(u), 30);
  unittypes[3].prot = 40;
  EXPECT_EQ(getprot(u), 40);
  unittypes[3].prot = 70;
  EXPECT_EQ(getprot(u), 40);
  unittypes[3].prot = 0;
  EXPECT_EQ(getprot(u), 20);
  EXPECT_EQ(getheadprot(u), 20);
  EXPECT_EQ(getprot(-1), 0);
  EXPECT_DEATH(getprot(MAXUNITS), "getprot: bad unr");
}

TEST_F(ArmorTest, AHeadlessUnitAveragesBodyArmsAndLegs) {
  const int32_t u = mkunit(1, 0, 1);
  // Head 12, body 20, arms 8, legs 8: (12 + 40 + 8 + 8) / 5 = 13.
  EXPECT_EQ(getprot(u), 13);
  EXPECT_EQ(getbodyprot(u), (40 + 8 + 8) / 4);
  addtypeability(1, AB_ITEMSLOTS, 0x80 | 0x2 | 0x400);   // one head slot
  EXPECT_EQ(getprot(u), 13);
  unit[u].flags[0] = AF_LOSTHEAD;
  EXPECT_EQ(getprot(u), (40 + 8 + 8) / 4);
}
