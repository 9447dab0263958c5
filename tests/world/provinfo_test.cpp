#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "support/smallworld.h"
#include "world/provinfo.h"

namespace {
// Lands 1-2-3-4 in a row; player 3 owns land 1.
class Info : public ::testing::Test {
 protected:
  void SetUp() override {
    makesmallworld();
    gamewinner = 255;
    settype(1, "Scout");
    settype(2, "Necromancer");
    for (int32_t l = 1; l <= 4; l++) {
      int i = 0;
      if (l > 1) provgeo[l].nbr[i++] = int16_t(l - 1);
      if (l < 4) provgeo[l].nbr[i++] = int16_t(l + 1);
    }
    land[1].owner = land[1].fortholder = 3;
  }
  void TearDown() override { gamewinner = 255; }
};
}  // namespace

TEST_F(Info, OwnersNeighboursVeyranceAndCommanders) {
  EXPECT_EQ(infolevel(1, 3, 0), 0xAFB);
  EXPECT_EQ(infolevel(2, 3, 0), 0x1);   // next to an own province
  EXPECT_EQ(infolevel(3, 3, 0), 0);
  land[3].fortholder = 3;
  EXPECT_EQ(infolevel(3, 3, 0), 0xFF);
  land[3].fortholder = 25;
  land[3].veyowner = 3;
  EXPECT_EQ(infolevel(3, 3, 0), 0);   // a veyrance without strength is none
  land[3].veystr = 2;
  EXPECT_EQ(infolevel(3, 3, 0), 0xCB);
  EXPECT_EQ(infolevel(4, 3, 0), 0x80);
  EXPECT_EQ(infolevel(2, 3, 0), 0x81);
  const int32_t c = mkcom(1, 3, 4);
  EXPECT_EQ(infolevel(4, 3, 0), 0x347 | 0x80);
  setitem(1, "Spy Ring", IT_MISC);
  additemability(1, AB_SPY, 1);
  com[c].item[5] = 1;
  EXPECT_EQ(cominland(4, 3), 2);
  EXPECT_EQ(infolevel(4, 3, 0), 0x347 | 0xA38 | 0x80);
  unit[com[c].body].hp = 0;
  EXPECT_EQ(cominland(4, 3), 0);
  // A necromancer of the player adds 0x400 even in an own province.
  const int32_t n = mkcom(2, 3, 1);
  com[n].path[P_DEATH] = 1;
  EXPECT_EQ(infolevel(1, 3, 0), 0xAFB | 0x400);
  EXPECT_EQ(infolevel(1, 3, 1), 0xAFB);
  EXPECT_EQ(infolevel(2, 3, 0), 0x81);   // not for the neighbour it stands next to
}

TEST_F(Info, EnchantmentsWinnerAndRange) {
  addench(EN_EYESOFGOD, 0, 3, -1, 0);
  EXPECT_EQ(infolevel(3, 3, 0), 0xAB);
  land[3].veyowner = 3;
  land[3].veystr = 1;
  EXPECT_EQ(infolevel(3, 3, 0), 0x8AF | 0xCB);
  clearmagictables();
  addench(EN_ASTRALWINDOW, 0, 3, 4, 0);
  EXPECT_EQ(infolevel(4, 3, 0) & 0x87F, 0x87F);
  EXPECT_EQ(infolevel(3, 3, 0), 0xCB | 0x80);
  EXPECT_EQ(infolevel(1, -1, 0), 0);
  EXPECT_EQ(infolevel(0, 3, 0), 0);
  gamewinner = 4;
  EXPECT_EQ(infolevel(1, 3, 0), -1);
  EXPECT_EQ(infolevel(9, 3, 0), -1);
  EXPECT_EQ(infolevel(0, 3, 0), 0);
  gamewinner = 255;
  cacheinfolevels(3, 0);
  EXPECT_EQ(land[1].infolevel, 0xAFB);
  EXPECT_EQ(land[2].infolevel, 0x81);
  EXPECT_EQ(land[5].infolevel, 0);
  EXPECT_DEATH(infolevel(1505, 3, 0), "infolevel: bad lnr");
  EXPECT_DEATH(infolevel(-1, 3, 0), "infolevel: bad lnr");
}

namespace {
// Takes the steps ("+" raise, "-" lower) one after another, as the box would.
void buywith(const char* steps, int32_t p, int32_t l) {
  for (const char* c = steps; *c; c++) stepprovdef(p, l, *c == '+' ? 1 : -1);
}
}  // namespace

TEST_F(Info, BuyingProvinceDefenceStepByStep) {
  kingdom[3].gold = 100;
  buywith("+++", 3, 1);
  EXPECT_EQ(land[1].provdef, 3);
  EXPECT_EQ(kingdom[3].gold, 94);
  buywith("----", 3, 1);   // points of this turn sell back at their price
  EXPECT_EQ(land[1].provdef, 0);
  EXPECT_EQ(kingdom[3].gold, 100);
  land[1].provdef = 5;
  land[1].small[1] = 5;   // bought before this turn: cannot be lowered
  buywith("--", 3, 1);
  EXPECT_EQ(land[1].provdef, 5);
  kingdom[3].gold = 5;   // 5 is not below 5: no raise
  buywith("++", 3, 1);
  EXPECT_EQ(land[1].provdef, 5);
  EXPECT_EQ(kingdom[3].gold, 5);
  kingdom[3].gold = 7;
  buywith("+++", 3, 1);   // one raise, then the gold runs short
  EXPECT_EQ(land[1].provdef, 6);
  EXPECT_EQ(kingdom[3].gold, 1);
  land[1].provdef = 125;
  land[1].small[1] = 125;
  kingdom[3].gold = 100000;
  buywith("+", 3, 1);
  EXPECT_EQ(land[1].provdef, 125);
  // Not offered unless owner and fort holder, and the sea needs its own rule.
  land[2].owner = 3;
  buywith("+", 3, 2);
  EXPECT_EQ(land[2].provdef, 0);
  land[2].fortholder = 3;
  provgeo[2].terrain = TM_SEA;
  buywith("+", 3, 2);
  EXPECT_EQ(land[2].provdef, 0);
  nations[3].attrkey[0] = NA_UWDEFENCE;
  nations[3].attrval[0] = 1;
  buywith("+", 3, 2);
  EXPECT_EQ(land[2].provdef, 1);
  EXPECT_EQ(canbuydefence(3, -1), 0);
  EXPECT_EQ(canbuydefence(4, 1), 1);
  EXPECT_EQ(provdefsteps(3, 1), PD_BUY);
  EXPECT_EQ(provdefsteps(4, 1), 0);
  EXPECT_EQ(stepprovdef(-1, 1, 1), 0);
  EXPECT_EQ(stepprovdef(3, 1505, 1), 0);
}

TEST_F(Info, SelectionListsAndSquareRoot) {
  clearselections();
  const int32_t c = mkcom(1, 3, 1), d = mkcom(1, 3, 1);
  EXPECT_EQ(selectcom(c), 0);
  EXPECT_EQ(selectcom(d), 1);
  EXPECT_EQ(selectcom(c), 0);
  setitem(2, "Crown", IT_HELMET);
  additemability(2, AB_FIXEDORDER, 1);
  const int32_t e = mkcom(1, 3, 1);
  com[e].item[0] = 2;
  EXPECT_EQ(selectcom(e), -1);
  const int32_t u = mkunit(1, 3, 1), v = mkunit(1, 3, 1), w = mkunit(1, 3, 1);
  EXPECT_EQ(selectunit(u), 0);
  EXPECT_EQ(selectunit(v), 1);
  EXPECT_EQ(selectunit(u), 0);
  selectedunits.nr[0] = -1;   // a freed place is used again
  EXPECT_EQ(selectunit(w), 0);
  EXPECT_EQ(findselectedunit(v), 1);
  EXPECT_EQ(findselectedunit(u), -1);
  unit[u].homeland = -2;
  EXPECT_EQ(selectunit(u), -1);
  EXPECT_EQ(selectunit(-1), -1);
  selectedunits.last = SELECTSIZE - 1;
  for (int32_t& x : selectedunits.nr) x = 99999;
  unit[u].homeland = 0;
  EXPECT_EQ(selectunit(u), -1);
  selectedcoms.last = SELECTSIZE - 1;
  EXPECT_EQ(selectcom(e + 1), -1);

  EXPECT_EQ(isqrtceil(0), 0);
  EXPECT_EQ(isqrtceil(-4), 0);
  EXPECT_EQ(isqrtceil(1), 1);
  EXPECT_EQ(isqrtceil(24), 5);
  EXPECT_EQ(isqrtceil(25), 5);
  EXPECT_EQ(isqrtceil(625), 25);
  EXPECT_EQ(isqrtceil(626), 26);
  EXPECT_EQ(isqrtceil(2147483647), 46341);
}
