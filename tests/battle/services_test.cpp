// The commander services: random magic, item spells, a commander in a
// land, changing shape and the item check after it.
#include "battleworld.h"
#include "world/magic.h"

class Services : public ::testing::Test {
 protected:
  void SetUp() override { makebattleworld(); }
};

TEST_F(Services, ItemSpellsAreListedInSlotOrder) {
  const int32_t c = army(DEF, T_CAPTAIN, 0, 0);
  EXPECT_EQ(gispl(c, 0), 0);
  strlcopy(setitem(1, "Wand", IT_MISC).spell, "Fire Bolt", ITEMSPELLLEN);
  strlcopy(setitem(2, "Charm", IT_MISC).spell, "No Such Spell", ITEMSPELLLEN);
  strlcopy(setitem(3, "Staff", IT_MISC).spell, "Heal", ITEMSPELLLEN);
  com[c].item[5] = 3;
  com[c].item[2] = 2;
  com[c].item[1] = 1;
  EXPECT_EQ(gispl(c, 0), S_FIREBOLT);
  EXPECT_EQ(gispl(c, 1), S_HEAL);   // the unknown name is passed over
  EXPECT_EQ(gispl(c, 2), 0);
  EXPECT_EQ(gispl(c, -1), 0);
}

TEST_F(Services, AnItemSpellIsCastWithoutMagicOfItsOwn) {
  const int32_t c = army(DEF, T_CAPTAIN, 0, 0);
  strlcopy(setitem(1, "Wand", IT_MISC).spell, "Fire Bolt", ITEMSPELLLEN);
  com[c].item[0] = 1;
  com[c].batorder = BO_CAST;
  com[c].ownx = 9;
  army(ATT, T_CAPTAIN, T_SOLDIER, 5, BO_HOLDATTACK, 0, 10, 0);
  fight(3, true, 0, 0, 1);
  EXPECT_EQ(countevents(BEV_SPELL, S_FIREBOLT), 1);
}

TEST_F(Services, ACommanderOfThePlayerInTheLand) {
  EXPECT_EQ(randcom(FIELD, DEF, 1), -1);
  const int32_t a = army(DEF, T_CAPTAIN, 0, 0);
  const int32_t b = army(DEF, T_CAPTAIN, 0, 0);
  army(ATT, T_CAPTAIN, 0, 0);
  setunitland(com[army(DEF, T_CAPTAIN, 0, 0)].body, DEFHOME);
  EXPECT_EQ(randcom(FIELD, DEF, 0), a);
  bool seena = false, seenb = false;
  seedrnd(1);
  for (int i = 0; i < 40; i++) {
    const int32_t c = randcom(FIELD, DEF, 1);
    ASSERT_TRUE(c == a || c == b);
    seena |= c == a;
    seenb |= c == b;
  }
  EXPECT_TRUE(seena && seenb);
  unit[com[a].body].hp = 0;
  unit[com[b].body].hp = 0;
  EXPECT_EQ(randcom(FIELD, DEF, 0), -1);
}

TEST_F(Services, AChangeOfShapeCarriesTheWoundsOver) {
  const int32_t c = army(DEF, T_CAPTAIN, 0, 0);
  const int32_t u = com[c].body;
  unit[u].hp = 10;   // five below its 15
  EXPECT_EQ(shapechange(u), 1);
  EXPECT_EQ(unit[u].type, T_WEREFORM);
  EXPECT_EQ(unit[u].hp, 25);
  // Back to the smaller shape: 15 - 30 + 2 would kill it, so it stays.
  unit[u].hp = 2;
  EXPECT_EQ(shapechange(u), 0);
  EXPECT_EQ(unit[u].type, T_WEREFORM);
  EXPECT_EQ(unit[u].hp, 2);
  unit[u].hp = 20;
  EXPECT_EQ(shapechange(u), 1);
  EXPECT_EQ(unit[u].type, T_CAPTAIN);
  EXPECT_EQ(unit[u].hp, 5);
  // A type without another shape.
  const int32_t plain = mkunit(T_SOLDIER, DEF, FIELD);
  EXPECT_EQ(shapechange(plain), 0);
  EXPECT_EQ(unit[plain].type, T_SOLDIER);
}

TEST_F(Services, ItemsTheNewShapeCannotHoldGoToAnotherSlotOrTheLaboratory) {
  const int32_t c = army(DEF, T_CAPTAIN, 0, 0);
  const int32_t u = com[c].body;
  setitem(1, "Helm", IT_HELMET);
  setitem(2, "Ring", IT_MISC);
  ASSERT_GE(getitem(c, 1), 0);
  ASSERT_GE(getitem(c, 2), 0);
  // The other shape has no head and a single misc slot, filled.
  addtypeability(T_WEREFORM, 182, 0x1000);
  unit[u].type = T_WEREFORM;
  debuglevel = 1;
  testing::internal::CaptureStdout();
  check_item_slots(u, 0);
  EXPECT_NE(testing::internal::GetCapturedStdout().find("Item violation"), std::string::npos);
  EXPECT_NE(com[c].item[0] + com[c].item[1] + com[c].item[2] + com[c].item[3] + com[c].item[4] + com[c].item[5] +
                com[c].item[6] + com[c].item[7],
            0);   // mode 0 only reports
  testing::internal::CaptureStdout();
  check_item_slots(u, 2);
  testing::internal::GetCapturedStdout();
  int32_t held = 0;
  for (int32_t s = 0; s < 8; s++)
    if (com[c].item[s] > 0) {
      held++;
      EXPECT_EQ(unitslotkind(u, s), SLOT_MISC);
    }
  EXPECT_EQ(held, 1);
  EXPECT_EQ(kingdom[DEF].w[KW_LABSTORE], 1);   // the helm
  debuglevel = 0;
}

TEST_F(Services, RandomMagicRollsThePathsOfItsRows) {
  randmagic[0] = RandMagic{T_MAGE, 0x80 | 0x100, 100};   // fire or air, certainly
  randmagic[1] = RandMagic{T_MAGE, 0x400, 0};             // earth, never
  randmagic[2] = RandMagic{T_MAGE, 51, 10};               // an elemental path, certainly
  randmagic[3] = RandMagic{-1, 0, 0};
  seedrnd(4);
  for (int i = 0; i < 20; i++) {
    const int32_t c = mage(DEF, P_DEATH, 1);
    ccm(c);
    EXPECT_EQ(ccmrandomtotal, 200);
    const Commander& m = com[c];
    EXPECT_EQ(m.path[P_FIRE] + m.path[P_AIR] + m.path[P_WATER] + m.path[P_EARTH], 2);
    EXPECT_GE(m.path[P_FIRE] + m.path[P_AIR], 1);
    EXPECT_EQ(m.path[P_DEATH], 1);
  }
  const int32_t plain = army(DEF, T_CAPTAIN, 0, 0);
  ccm(plain);
  EXPECT_EQ(ccmrandomtotal, 0);
}

TEST(ServicesDeath, BadNumbersStop) {
  EXPECT_DEATH(shapechange(-1), "shapechange: bad unr");
  EXPECT_DEATH(gispl(-1, 0), "gispl: bad cnr");
  EXPECT_DEATH(ccm(MAXCOMS), "ccm: bad cnr");
  // A battle is fought once from its set-up, between the sides set up.
  makebattleworld();
  EXPECT_DEATH(dobatl(DEF, ATT, 0, 0, 1, 0), "dobatl: bad battle");
  army(DEF, T_CAPTAIN, T_SOLDIER, 2);
  army(ATT, T_CAPTAIN, T_SOLDIER, 2);
  seedrnd(1);
  initbattle(FIELD, DEF, ATT, 0, 0, 0);
  EXPECT_DEATH(dobatl(ATT, DEF, 0, 0, 1, 0), "dobatl: bad battle");
  dobatl(DEF, ATT, 0, 0, 1, 0);
  EXPECT_DEATH(dobatl(DEF, ATT, 0, 0, 1, 0), "dobatl: bad battle");
}
