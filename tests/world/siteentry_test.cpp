#include <gtest/gtest.h>

#include "support/smallworld.h"
#include "world/forts.h"
#include "world/siteentry.h"

namespace {
class Orders : public ::testing::Test {
 protected:
  void SetUp() override {
    makesmallworld();
    forts.fill(Fort{});
    forts[1].val[FORT_COSTFACTOR] = 3;
    settype(1, "Mage");
    c = mkcom(1, 3, 2);
    land[2].owner = land[2].fortholder = 3;
    kingdom[3].gold = 5000;
    for (int g = 0; g < 9; g++) kingdom[3].w[KW_GEMS + g] = 100;
  }
  // Gives an order and pays for it the way the order menus do.
  void order(Order code, int32_t param, int32_t gems1 = 0, int32_t gems2 = 0) {
    Commander& cm = com[c];
    cm.order = code;
    cm.orderparam = param;
    cm.ordergems[0] = gems1;
    cm.ordergems[1] = gems2;
    int16_t* gems = &kingdom[3].w[KW_GEMS];
    switch (code) {
      case Order::buildlab: kingdom[3].gold -= getlabcost(3); break;
      case Order::buildtemple: kingdom[3].gold -= gettemplecost(3); break;
      case Order::buildfort: kingdom[3].gold -= fortcost(2, param); break;
      case Order::empower: gems[param] -= int16_t(empowercost(c, param)); break;
      case Order::dispel: gems[P_ASTRAL] -= int16_t(gems1); break;
      case Order::ritual: gems[spells[param].path[0]] -= int16_t(gems1); break;
      case Order::forge:
        gems[items[param].mainpath] -= int16_t(gems1);
        if (items[param].secondpath >= 0) gems[items[param].secondpath] -= int16_t(gems2);
        break;
      default: break;
    }
  }
  int64_t wealth() const {
    int64_t w = kingdom[3].gold;
    for (int g = 0; g < 9; g++) w += kingdom[3].w[KW_GEMS + g] * 1000LL * (g + 1);
    return w;
  }
  int32_t c = -1;
};
}  // namespace

TEST_F(Orders, EveryPaidOrderIsRefundedOnceAndExactly) {
  spells[7].path[0] = P_DEATH;
  setitem(8, "Blade", IT_ONEHAND);
  items[8].mainpath = P_FIRE;
  items[8].secondpath = P_EARTH;
  com[c].path[P_NATURE] = 2;
  const int64_t start = wealth();
  struct Case {
    Order code;
    int32_t param, g1, g2;
  };
  const Case cases[] = {{Order::buildlab, 0, 0, 0},   {Order::buildtemple, 0, 0, 0}, {Order::buildfort, 1, 0, 0},
                        {Order::empower, P_NATURE, 0, 0}, {Order::empower, P_AIR, 0, 0}, {Order::dispel, 0, 12, 0},
                        {Order::ritual, 7, 9, 0},      {Order::forge, 8, 5, 3}};
  for (const Case& k : cases) {
    order(k.code, k.param, k.g1, k.g2);
    EXPECT_NE(wealth(), start);
    EXPECT_EQ(cancelorder(c), 1);
    EXPECT_EQ(wealth(), start) << "order " << int32_t(k.code);
    EXPECT_EQ(cancelorder(c), 1);   // the second cancel finds Defend
    EXPECT_EQ(wealth(), start);
    EXPECT_EQ(com[c].order, Order::defend);
    EXPECT_EQ(com[c].ordergems[0] + com[c].ordergems[1], 0);
  }
  // Re-ordering: order, cancel, order again, cancel leaves the treasury whole.
  order(Order::buildfort, 1);
  cancelorder(c);
  order(Order::buildlab, 0);
  cancelorder(c);
  order(Order::empower, P_NATURE);
  cancelorder(c);
  EXPECT_EQ(wealth(), start);
  EXPECT_EQ(empowercost(c, P_NATURE), 45);
  EXPECT_EQ(empowercost(c, P_AIR), 50);
}

TEST_F(Orders, ParametersKeptOrClearedAndRefusals) {
  com[c].order = Order::move;
  com[c].orderparam = 7;
  EXPECT_EQ(cancelorder(c), 1);
  EXPECT_EQ(com[c].orderparam, 7);
  com[c].order = Order::entersite;
  com[c].orderparam = 2;
  EXPECT_EQ(cancelorder(c), 1);
  EXPECT_EQ(com[c].orderparam, 0);

  setitem(1, "Black Heart", IT_MISC);
  com[c].item[0] = 1;
  com[c].order = Order::deathmatch;
  EXPECT_EQ(cancelorder(c), 0);
  EXPECT_EQ(com[c].order, Order::deathmatch);
  com[c].item[0] = 0;
  EXPECT_EQ(cancelorder(c), 1);

  setitem(2, "Crown of Command", IT_HELMET);
  additemability(2, AB_FIXEDORDER, 1);
  com[c].item[0] = 2;
  getiba(c);
  const int32_t gold = kingdom[3].gold;
  com[c].order = Order::buildlab;
  EXPECT_EQ(cancelorder(c), 0);
  EXPECT_EQ(kingdom[3].gold, gold);
  EXPECT_EQ(com[c].order, Order::buildlab);
  com[c].item[0] = 0;
  getiba(c);

  // A fort under construction: the computer keeps its order, others cancel unpaid.
  land[2].fort = -1;
  com[c].order = Order::buildfort;
  com[c].orderparam = 1;
  kingdom[3].w[KW_CONTROLLER] = CTRL_AI;
  EXPECT_EQ(cancelorder(c), 0);
  kingdom[3].w[KW_CONTROLLER] = CTRL_HUMAN;
  EXPECT_EQ(cancelorder(c), 1);
  EXPECT_EQ(kingdom[3].gold, gold);
  land[2].fort = 0;

  EXPECT_EQ(cancelorder(-1), 0);
  EXPECT_EQ(cancelorder(highestcom + 1), 0);
  EXPECT_EQ(cancelorder(MAXCOMS + 5), 0);
}

TEST_F(Orders, RefundsNeverLeaveTheTreasury) {
  // Ritual and forge paths beyond the gem kinds, and Empowerment of path 30,
  // refund nothing and touch nothing else.
  const Kingdom before = kingdom[3];
  const Kingdom next = kingdom[4];
  spells[7].path[0] = 12;
  com[c].order = Order::ritual;
  com[c].orderparam = 7;
  com[c].ordergems[0] = 9;
  EXPECT_EQ(cancelorder(c), 1);
  com[c].order = Order::empower;
  com[c].orderparam = 30;
  EXPECT_EQ(cancelorder(c), 1);
  com[c].order = Order::empower;
  com[c].orderparam = -4;
  EXPECT_EQ(cancelorder(c), 1);
  setitem(8, "Odd", IT_MISC);
  items[8].mainpath = -1;
  items[8].secondpath = 40;
  com[c].order = Order::forge;
  com[c].orderparam = 8;
  com[c].ordergems[0] = com[c].ordergems[1] = 5;
  EXPECT_EQ(cancelorder(c), 1);
  com[c].order = Order::forge;
  com[c].orderparam = 9000;
  EXPECT_EQ(cancelorder(c), 1);
  EXPECT_EQ(memcmp(&before, &kingdom[3], sizeof before), 0);
  EXPECT_EQ(memcmp(&next, &kingdom[4], sizeof next), 0);
  // An owner outside the player table has no treasury: nothing is written.
  unit[com[c].body].owner = -7;
  com[c].order = Order::buildlab;
  EXPECT_EQ(cancelorder(c), 1);
  kingdom[3].w[KW_GEMS + int(P_DEATH)] = 32760;
  unit[com[c].body].owner = 3;
  spells[7].path[0] = P_DEATH;
  com[c].order = Order::ritual;
  com[c].orderparam = 7;
  com[c].ordergems[0] = 100;
  EXPECT_EQ(cancelorder(c), 1);
  EXPECT_EQ(kingdom[3].w[KW_GEMS + int(P_DEATH)], 32767);
  spells[7].path[0] = 20;
  com[c].order = Order::ritual;
  com[c].orderparam = 7;
  EXPECT_DEATH(cancelorder(c), "rho: bad mt0");
  com[c].order = Order::buildfort;
  com[c].orderparam = 50;
  EXPECT_DEATH(cancelorder(c), "rho: bad f");
}

TEST_F(Orders, SiteEntry) {
  sites[5] = Site{};
  sites[5].path = P_ASTRAL;
  sites[5].level = 5;
  sites[5].effectkind[0] = 72;
  sites[6] = Site{};
  sites[6].effectkind[0] = 192;
  sites[7] = Site{};
  sites[7].effectkind[0] = SE_GOLD;
  land[2].site[0] = 5;
  land[2].site[1] = 6;
  land[2].site[2] = 7;
  land[2].site[3] = -1;
  EXPECT_EQ(canentersite(c, 1), 0);   // not found yet
  land[2].sitefound[0] = land[2].sitefound[1] = land[2].sitefound[2] = 1;
  EXPECT_EQ(canentersite(c, 0), -1);
  EXPECT_EQ(canentersite(c, 1), 1);
  EXPECT_EQ(canentersite(c, 2), 0);
  EXPECT_EQ(canentersite(c, 3), 0);
  com[c].path[P_ASTRAL] = 1;
  EXPECT_EQ(canentersite(c, 0), 1);
  const int32_t d = mkcom(1, 3, 2);
  com[d].order = Order::entersite;
  com[d].orderparam = 1;
  EXPECT_EQ(countsiteentrants(2, 1), 1);
  EXPECT_EQ(canentersite(c, 1), -2);
  EXPECT_EQ(canentersite(d, 1), -2);   // its own order counts too
  land[2].fortholder = 4;
  EXPECT_EQ(canentersite(c, 0), -3);
  land[2].fortholder = 3;
  land[2].site[0] = 3000;
  EXPECT_EQ(canentersite(c, 0), 0);
  setunitland(com[c].body, 0);
  EXPECT_EQ(canentersite(c, 1), 0);
  EXPECT_EQ(canentersite(-1, 1), 0);
  EXPECT_EQ(canentersite(MAXCOMS + 1, 1), 0);
  EXPECT_DEATH(canentersite(c, 4), "ces: bad sitenr");
  EXPECT_EQ(siteicon(5), 157 + 12 + 2);
  EXPECT_EQ(siteicon(6), 157);
  EXPECT_EQ(siteicon(-1), 0);
  EXPECT_EQ(siteicon(MAXSITES), 0);
}
