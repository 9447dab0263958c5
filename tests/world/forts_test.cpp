#include <gtest/gtest.h>

#include "support/smallworld.h"
#include "world/forts.h"

namespace {
void setattr(int n, int slot, uint32_t key, int32_t value) {
  nations[n].attrkey[slot] = key;
  nations[n].attrval[slot] = value;
}
void setforts() {
  forts.fill(Fort{});
  forts[1].val[FORT_DEF] = 150;
  forts[1].val[FORT_COSTFACTOR] = 3;
  forts[2].val[FORT_DEF] = 300;
  forts[2].val[FORT_COSTFACTOR] = 4;
}
}  // namespace

TEST(Forts, PricesDefenceAndCastles) {
  makesmallworld();
  setforts();
  EXPECT_EQ(getlabcost(3), 500);
  EXPECT_EQ(gettemplecost(3), 400);
  setattr(3, 0, NA_LABCOST, 250);
  setattr(3, 1, NA_TEMPLECOST, 0);
  EXPECT_EQ(getlabcost(3), 250);
  EXPECT_EQ(gettemplecost(3), 400);
  EXPECT_EQ(getlabcost(95), 500);
  EXPECT_EQ(fortcost(1, 1), 800);
  EXPECT_EQ(fortcost(1, 2), 1000);
  EXPECT_EQ(fortdef(1, 4), 150);
  addench(EN_IRONWALLS, 0, 2, 4, 0);
  EXPECT_EQ(fortdef(1, 4), 350);
  EXPECT_EQ(fortdef(1, 5), 150);
  EXPECT_DEATH(fortcost(1, 50), "fortcost");
  EXPECT_DEATH(fortcost(-1, 1), "fortcost");
  EXPECT_DEATH(fortdef(50, 1), "fortdef");
  EXPECT_DEATH(fortdef(-1, 1), "fortdef");

  EXPECT_EQ(getcastle(3, 1), 1);
  provgeo[1].terrain = TM_FOREST | TM_SWAMP | TM_CAVE;
  setattr(3, 2, NA_CASTLECAVE, 9);
  EXPECT_EQ(getcastle(3, 1), 9);   // forest and swamp have none: on to caves
  setattr(3, 3, NA_CASTLESWAMP, 7);
  EXPECT_EQ(getcastle(3, 1), 7);
  setattr(3, 4, NA_CASTLEPLAIN, 2);
  EXPECT_EQ(getcastle(3, 2), 2);
  provgeo[2].terrain = TM_SEA;
  EXPECT_EQ(getcastle(3, 2), 0);
  setattr(3, 5, NA_CASTLEUW, 11);
  EXPECT_EQ(getcastle(3, 2), 11);
  provgeo[2].terrain = TM_SEA | TM_DEEPSEA;
  EXPECT_EQ(getcastle(3, 2), 0);
  EXPECT_EQ(getcastle(99, 2), 0);
  EXPECT_EQ(getcastle(99, 1), 1);
  setattr(3, 6, NA_CASTLESTART, 3);
  EXPECT_EQ(getcastle(3, -1), 3);
  setattr(3, 6, NA_CASTLESTART, 50);
  EXPECT_DEATH(getcastle(3, -1), "bad startcastle");
  setattr(3, 3, NA_CASTLESWAMP, 70);
  EXPECT_DEATH(getcastle(3, 1), "bad swampcastle");
}

TEST(Forts, Afflictions) {
  makesmallworld();
  settype(1, "Man");
  const int32_t u = mkunit(1, 0, 1);
  unit[u].flags[0] = AF_DISEASED | AF_LOSTHEAD | AF_NOARMOR | 0x40;
  EXPECT_EQ(nbrofafflictions(u), 2);
  unit[u].flags[0] = 0xFFFFFFFF;
  EXPECT_EQ(nbrofafflictions(u), 14);
  EXPECT_EQ(nbrofafflictions(-1), 0);
}

TEST(Forts, KingdomValueCountsEverythingPaidFor) {
  makesmallworld();
  setforts();
  kingdom[3].gold = 100;
  kingdom[3].w[KW_MERCPAY] = 40;
  kingdom[3].w[KW_MERCPAY + 1] = -5;
  EXPECT_EQ(kingdomvalue(3), 140);
  land[1].owner = 3;
  land[1].provdef = 10;
  EXPECT_EQ(kingdomvalue(3), 195);
  settype(1, "Spearman").gcost = 10;
  land[2].fortholder = 3;
  land[2].queuecount = 2;
  land[2].queue[0] = land[2].queue[1] = 1;
  EXPECT_EQ(kingdomvalue(3), 215);
  const int32_t c = mkcom(1, 3, 2);
  com[c].order = Order::buildfort;
  com[c].orderparam = 1;
  EXPECT_EQ(kingdomvalue(3), 215 + 800);
  com[c].order = Order::buildlab;
  EXPECT_EQ(kingdomvalue(3), 215 + 500);
  com[c].order = Order::defend;
  kingdom[3].w[KW_GEMS + 0] = 2;   // fire 15 each, times 1.5 without alchemy
  kingdom[3].w[KW_GEMS + 7] = 3;   // blood slaves 10 each, not multiplied
  EXPECT_EQ(kingdomvalue(3), 215 + 30 + 15 + 30);
  setitem(5, "Philosopher", IT_MISC);
  additemability(5, AB_ALCHEMY, 50);
  com[c].item[0] = 5;
  EXPECT_EQ(kingdomvalue(3), 215 + 30 + 30 + 30);
  setitem(6, "alchemist's stone", IT_MISC);
  com[c].item[1] = 6;   // carrying the stone counts 50 less
  EXPECT_EQ(kingdomvalue(3), 215 + 30 + 15 + 30);
  com[c].item[0] = com[c].item[1] = 0;
  com[c].gems[3] = 1;   // carried earth gem: 10
  pmess[3][0].b0 = 4;
  pmess[3][0].b1 = 1;
  pmess[3][0].value = 25;
  pmess[3][1].b0 = 4;
  pmess[3][1].b1 = 13;   // three earth gems sent
  pmess[3][1].value = 3;
  EXPECT_EQ(kingdomvalue(3), 215 + 25 + (30 + 40) * 3 / 2 + 30);
  pmess[3][1].b1 = 18;
  EXPECT_DEATH(kingdomvalue(3), "kv: gt");
  pmess[3][1].b1 = 0;
  spells[9].path[0] = 8;   // holy rituals weigh nothing
  com[c].order = Order::ritual;
  com[c].orderparam = 9;
  com[c].ordergems[0] = 5;
  EXPECT_EQ(kingdomvalue(3), 215 + 25 + (30 + 10) * 3 / 2 + 30);
  spells[9].path[0] = 4;
  EXPECT_EQ(kingdomvalue(3), 215 + 25 + (30 + 10 + 40) * 3 / 2 + 30);
  spells[9].path[0] = 9;
  EXPECT_DEATH(kingdomvalue(3), "kv: bad spell mt0");
  com[c].order = Order::buildfort;
  com[c].orderparam = 0;
  EXPECT_DEATH(kingdomvalue(3), "kv: bad f");
  com[c].order = Order::defend;
  land[2].queue[1] = 4100;
  EXPECT_DEATH(kingdomvalue(3), "kdv: bad m");
}

TEST(Forts, KingdomItemValueWeighsItemsAndMages) {
  makesmallworld();
  settype(1, "Mage");
  const int32_t c0 = mkcom(1, 3, 1), c1 = mkcom(1, 3, 1);
  com[c0].path[P_FIRE] = 2;
  com[c1].path[P_FIRE] = 2;
  EXPECT_EQ(kingdomitemvalue(3), 2 * 1 + 2 * 2);
  setitem(4, "Sword", IT_ONEHAND).mainlevel = 2;
  items[4].constlevel = 3;
  com[c0].item[0] = 4;
  kingdom[3].w[KW_LABSTORE + 5] = 4;
  kingdom[3].w[KW_LABSTORE + 6] = 700;   // a corrupt number counts nothing
  pmess[3][2].b0 = 1;
  pmess[3][2].b1 = 2;
  pmess[3][2].value = 4;
  EXPECT_EQ(kingdomitemvalue(3), 6 + 3 * 9);
  unit[com[c1].body].hp = 0;
  EXPECT_EQ(kingdomitemvalue(3), 2 + 3 * 9);
  pmess[3][2].value = -1;
  EXPECT_DEATH(kingdomitemvalue(3), "kiv: i");
  EXPECT_DEATH(kingdomitemvalue(-1), "kiv: bad p");
}
