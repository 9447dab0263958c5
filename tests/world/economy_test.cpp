#include <gtest/gtest.h>

#include "support/smallworld.h"
#include "world/economy.h"
#include "world/ruleconstants.h"

namespace {
class Economy : public ::testing::Test {
 protected:
  void SetUp() override {
    makesmallworld();
    defaultgeneral();
    forts.fill(Fort{});
    forts[1].val[FORT_ADMIN] = 5;
    forts[1].val[FORT_SUPPLY] = 100;
    forts[2].val[FORT_ADMIN] = 20;
    forts[2].val[FORT_SUPPLY] = 200;
    for (int32_t l = 1; l <= 10; l++) {
      land[l].population = 2000;
      land[l].tax = 100;
      land[l].baseres = 50;
      land[l].owner = land[l].fortholder = 3;
    }
    // A chain 1-2-3-...-10.
    for (int32_t l = 1; l <= 10; l++) {
      int i = 0;
      if (l > 1) provgeo[l].nbr[i++] = int16_t(l - 1);
      if (l < 10) provgeo[l].nbr[i++] = int16_t(l + 1);
    }
  }
  void TearDown() override { defaultgeneral(); }
};

void setsite(int32_t s, int16_t kind, int32_t value) {
  sites[s] = Site{};
  sites[s].effectkind[0] = kind;
  sites[s].effectval[0] = value;
  sites[s].effectkind[1] = kind;   // a second pair of the same kind
  sites[s].effectval[1] = 1;
}
}  // namespace

TEST_F(Economy, SiteEffectsSumOrTakeTheLargestAndRespectFoundFlags) {
  setsite(5, SE_GOLD, 7);
  setsite(6, SE_GOLD, 3);
  land[1].site[0] = 5;
  land[1].site[1] = 6;
  land[1].sitefound[0] = 1;
  EXPECT_EQ(landsiteeffect(1, SE_GOLD, 1, 0), 8);
  EXPECT_EQ(landsiteeffect(1, SE_GOLD, 0, 0), 7);
  EXPECT_EQ(landsiteeffect(1, SE_GOLD, 1, 1), 12);
  land[1].site[0] = 0;   // the list ends at the first empty slot
  EXPECT_EQ(landsiteeffect(1, SE_GOLD, 1, 1), 0);
  EXPECT_EQ(landsiteeffect(-1, SE_GOLD, 1, 1), 0);
  EXPECT_EQ(landsiteeffect(1505, SE_GOLD, 1, 1), 0);
  land[2].site[0] = 3000;   // a site number beyond the table counts nothing
  EXPECT_EQ(landsiteeffect(2, SE_GOLD, 1, 1), 0);
}

TEST_F(Economy, IncomeStepsApplyEachScaleInOrder) {
  EXPECT_EQ(getbaseincome(1), 200);
  EXPECT_EQ(getincome(1, 3), 200);
  land[1].scale[SC_TURMOIL] = 2;
  land[1].scale[SC_DEATH] = 1;
  land[1].scale[SC_SLOTH] = 3;
  land[1].scale[SC_COLD] = 2;
  // 200*86/100=172, *98/100=168, *94/100=157, *90/100=141.
  EXPECT_EQ(getincome(1, 3), 141);
  land[1].unrest = 50;
  EXPECT_EQ(getincome(1, 3), 70);
  // Player 37 is spared the Death scale: 172, 161, 144, then unrest 72.
  land[1].owner = land[1].fortholder = 37;
  EXPECT_EQ(getincome(1, 37), 72);
}

TEST_F(Economy, FriendlyScalesCountOnlyUnderTheOwnVeyrance) {
  land[1].scale[SC_TURMOIL] = -2;
  land[1].scale[SC_SLOTH] = -3;
  EXPECT_EQ(getincome(1, 3), 200);
  land[1].veyowner = 3;
  // 200*114/100=228, *106/100=241.
  EXPECT_EQ(getincome(1, 3), 241);
  // Cold preference: a heat-loving nation in a land of Heat 2 pays nothing.
  nations[3].attrkey[0] = NA_COLDPREF;
  nations[3].attrval[0] = -2;
  land[1].scale[SC_COLD] = -2;
  EXPECT_EQ(getincome(1, 3), 241);
  provgeo[2].terrain = TM_SEA;   // and the sea knows no cold
  land[2].scale[SC_COLD] = 3;
  EXPECT_EQ(getincome(2, 3), 200);
}

TEST_F(Economy, BesiegedFortSplitsIncomeAndResources) {
  land[1].fort = 1;
  land[1].fortholder = 4;
  EXPECT_EQ(getincome(1, 3), 190);   // owner keeps 95 percent
  EXPECT_EQ(getincome(1, 4), 10);    // (200 + 5%) * 5%
  EXPECT_EQ(getincome(1, 5), 0);
  EXPECT_EQ(getkinc(4), 10);
  EXPECT_EQ(getkinc(3), 190 + 9 * 200);
  EXPECT_EQ(getresources(1, 3), 25);
  EXPECT_EQ(getresources(1, 4), 25);
  EXPECT_EQ(getresources(1, 5), 0);
  land[1].fortholder = 3;
  EXPECT_EQ(getincome(1, 3), 210);
}

TEST_F(Economy, IncomeUnderEnchantmentsAndSiteIncome) {
  EXPECT_GE(addench(EN_WINTER, 0, 7, -1, 0), 0);   // winter: 80 percent on land
  EXPECT_EQ(getincome(1, 3), 160);
  provgeo[1].terrain = TM_FRESHWATER;
  EXPECT_GE(addench(EN_DROUGHT, 0, 7, -1, 0), 0);   // drought on fresh water first
  EXPECT_EQ(getincome(1, 3), 200 * 70 / 100 * 80 / 100);
  clearmagictables();
  EXPECT_GE(addench(EN_GOLDEN, 0, 3, -1, 0), 0);   // the owner's golden age
  EXPECT_EQ(getincome(1, 3), 210);
  EXPECT_EQ(getincome(2, 3), 210);
  EXPECT_GE(addench(EN_FAMINE, 0, 9, -1, 0), 0);
  EXPECT_EQ(getincome(1, 3), 21);
  clearmagictables();
  land[1].veyowner = 6;
  land[1].veystr = 12;
  EXPECT_GE(addench(EN_FERTILITY, 0, 6, -1, 0), 0);   // fertility of the veyrance owner, at most 10
  EXPECT_EQ(getincome(1, 3), 200 + 10 * 200 / 5);
  clearmagictables();
  setsite(8, SE_INCOME, 4);
  land[1].site[0] = 8;   // counted found or not, summed: 5; veyrance 12 is larger
  EXPECT_EQ(getincome(1, 3), (100 - 60) * 200 / 100);
  nations[3].attrkey[0] = NA_SITEINCOMEUP;
  nations[3].attrval[0] = 1;
  EXPECT_EQ(getincome(1, 3), 112 * 200 / 100);
}

TEST_F(Economy, BadRuleConstantsAndPopulationsNeverDivideByZero) {
  poppergold = 0;
  land[1].extraincome = 30;
  EXPECT_EQ(getbaseincome(1), 30);
  land[1].extraincome = 0;
  defaultgeneral();
  unresthalfinc = 0;
  EXPECT_EQ(getincome(1, 3), 0);
  unresthalfinc = -50;
  land[1].unrest = 50;
  EXPECT_EQ(getincome(1, 3), 0);
  defaultgeneral();
  unresthalfres = 0;
  land[1].unrest = 0;
  EXPECT_EQ(getbaseresources(1, 3), 0);
  defaultgeneral();
  land[1].population = -1;
  EXPECT_EQ(getbaseincome(1), 0);
  EXPECT_EQ(getbaseresources(1, 3), 0);
  EXPECT_EQ(getsupply(1, 3, 0), 10);
  land[1].fort = 100;   // a fort row beyond the table counts as none
  land[1].population = 2000;
  EXPECT_EQ(getincome(1, 3), 200);
  EXPECT_EQ(getsupply(1, 3, 1), 610);
  land[2].owner = 200;
  EXPECT_EQ(grd(2), 0);
}

TEST_F(Economy, ResourcesFromNeighboursWithoutForts) {
  EXPECT_EQ(getbaseresources(1, 3), 50);
  EXPECT_EQ(getresources(1, 3), 25);
  land[1].fort = 2;
  EXPECT_EQ(grd(2), 20);
  EXPECT_EQ(getresources(2, 3), 25);
  land[2].fort = 2;
  land[2].fortholder = 3;
  EXPECT_EQ(grd(3), 20);
  EXPECT_EQ(grd(1), 20);
  land[3].fort = 3;
  forts[3].val[FORT_ADMIN] = 50;
  EXPECT_EQ(getresources(4, 3), 25);   // admin 50 from land 3: half
  land[5].fort = 3;
  EXPECT_EQ(getresources(4, 3), 0);    // 100 from both sides: nothing left
  land[2].fort = land[3].fort = land[5].fort = 0;
  EXPECT_EQ(getresources(1, 3), 50 + 50 * 20 / 100);
  provgeo[2].terrain = TM_SEA;   // across the shore nothing comes in
  EXPECT_EQ(getresources(1, 3), 50);
  provgeo[2].terrain = 0;
  nations[3].attrkey[0] = NA_FORTRESBONUS;
  nations[3].attrval[0] = 50;
  EXPECT_EQ(getresources(1, 3), 75 + 10);
  land[1].scale[SC_SLOTH] = 2;
  EXPECT_EQ(getbaseresources(1, 3), 35);
  land[1].population = 50;
  EXPECT_EQ(getbaseresources(1, 3), 17);
  land[3].unrest = 100;
  EXPECT_EQ(getbaseresources(3, 3), 25);
}

TEST_F(Economy, SupplyFromPopulationScalesAndForts) {
  EXPECT_EQ(getsupply(1, 3, 0), 610);
  land[1].population = 999;
  EXPECT_EQ(getsupply(1, 3, 0), 409);
  land[1].population = 2000;
  land[1].scale[SC_DEATH] = 2;
  EXPECT_EQ(getsupply(1, 3, 0), 280 * 3000 / 2000 + 10);
  nations[3].attrkey[0] = NA_NODEATHSUPPLY;
  nations[3].attrval[0] = 1;
  EXPECT_EQ(getsupply(1, 3, 0), 610);
  land[1].scale[SC_COLD] = 1;
  EXPECT_EQ(getsupply(1, 3, 0), 360 * 3000 / 2000 + 10);
  land[1].scale[SC_COLD] = 0;
  land[1].fort = 2;
  EXPECT_EQ(getsupply(1, 3, 1), 610 + 80);
  EXPECT_EQ(getsupply(2, 3, 1), 610 + 40);
  EXPECT_EQ(getsupply(5, 3, 1), 610 + 80 / 5);
  EXPECT_EQ(getsupply(6, 3, 1), 610);   // beyond the reach of five provinces
  EXPECT_EQ(getsupply(4, 3, 1), 610 + 80 / 4);
  land[3].owner = 9;   // the chain is cut
  EXPECT_EQ(getsupply(4, 3, 1), 610);
  land[1].fortholder = 4;
  land[1].supplydiv = 2;
  EXPECT_EQ(getsupply(1, 3, 1), 610 - 20 * 610 / 100);
  EXPECT_EQ(getsupply(1, 4, 1), 100);
  land[1].supplydiv = 1;
  EXPECT_EQ(getsupply(1, 4, 1), 200);
  EXPECT_EQ(getsupply(1, 5, 1), 0);
}

TEST_F(Economy, GemsFromSitesAndGlobalEnchantments) {
  setsite(5, SE_GEMFIRST + P_FIRE, 2);
  land[1].site[0] = 5;
  land[1].sitefound[0] = 1;
  land[2].site[0] = 5;   // not found yet
  EXPECT_EQ(visinc(3, P_FIRE), 3);
  land[1].fortholder = 4;   // site gems go to the fort holder
  EXPECT_EQ(visinc(3, P_FIRE), 0);
  EXPECT_EQ(visinc(4, P_FIRE), 3);
  addench(EN_PYRE, 0, 4, -1, 0);
  addench(EN_MAELSTROM, 0, 4, -1, 0);
  EXPECT_EQ(visinc(4, P_FIRE), 3 + 20 + 1);
  EXPECT_EQ(visinc(4, P_WATER), 15);
  EXPECT_EQ(visinc(4, P_BLOOD), 0);
  EXPECT_EQ(visinc(3, P_WATER), 0);
  addench(EN_CW, 0, 6, -1, 0);
  EXPECT_EQ(visinc(6, P_NATURE), 6);
  EXPECT_EQ(visinc(6, P_DEATH), 3);
}

TEST_F(Economy, ResearchScaleAndCommanderResearch) {
  const int32_t want2[7] = {2, 1, 1, 0, -1, -1, -2};
  for (int32_t s = -3; s <= 3; s++) EXPECT_EQ(scaleresearchmod(s), want2[s + 3]);
  EXPECT_EQ(scaleresearchmod(-9), 2);
  researchscale = 1;
  EXPECT_EQ(scaleresearchmod(-1), 0);
  EXPECT_EQ(scaleresearchmod(3), -1);
  researchscale = 3;
  EXPECT_EQ(scaleresearchmod(-2), 2);
  researchscale = 2;

  settype(1, "Mage");
  const int32_t c = mkcom(1, 3, 1);
  EXPECT_EQ(comresearch(c, 0), 0);
  com[c].path[P_FIRE] = 2;
  com[c].path[P_ASTRAL] = 1;
  unit[com[c].body].exp = 50;
  EXPECT_EQ(comresearch(c, 0), 3 + 2 + 2);
  EXPECT_EQ(comresearch(c, 1), 3 + 1 + 2 + 2);
  land[1].scale[SC_DRAIN] = -3;
  EXPECT_EQ(comresearch(c, 0), 7);   // magic helps only under the own veyrance
  land[1].veyowner = 3;
  EXPECT_EQ(comresearch(c, 0), 9);
  land[1].veyowner = 5;
  land[1].scale[SC_DRAIN] = 3;
  EXPECT_EQ(comresearch(c, 0), 5);
  setunitland(com[c].body, -1);
  EXPECT_EQ(comresearch(c, 0), 7);
  EXPECT_EQ(comresearch(-1, 0), 0);
  EXPECT_EQ(comresearch(MAXCOMS, 0), 0);
}

TEST_F(Economy, SupplyUseBySize) {
  settype(1, "Small").size = 1;
  settype(2, "Man").size = 2;
  settype(3, "Big").size = 3;
  settype(4, "Golem").flags = MF_NEEDNOTEAT;
  mkunit(1, 3, 1);
  mkunit(2, 3, 1);
  mkunit(3, 3, 1);
  mkunit(3, 3, 1);
  mkunit(4, 3, 1);
  mkunit(3, 4, 1);   // another player's
  mkunit(3, 3, 2);   // another land
  EXPECT_EQ(supplyuse(1, 3), (1 + 2 + 4 + 4) / 2);
}

using EconomyDeath = Economy;
TEST_F(EconomyDeath, BadNumbersStop) {
  EXPECT_DEATH(getsupply(-1, 3, 0), "gs: bad lnr");
  EXPECT_DEATH(getincome(1505, 3), "gi: bad lnr");
  EXPECT_DEATH(getbaseincome(-2), "gbi: bad lnr");
  EXPECT_DEATH(getbaseresources(-2, 3), "gbr: bad lnr");
  EXPECT_DEATH(getresources(-2, 3), "gr: bad lnr");
  EXPECT_DEATH(grd(1505), "grd: bad lnr");
  EXPECT_DEATH(getkinc(100), "getkinc: bad player");
  EXPECT_DEATH(supline(11, 3, 0, 0, 1, 5), "supline: bad lnr");
  provgeo[1].nbr[1] = 40;
  EXPECT_DEATH(supline(1, 3, 0, 0, 1, 5), "msl: bad nbor");
  addench(EN_PYRE, 0, 120, -1, 0);
  EXPECT_DEATH(visinc(3, P_FIRE), "visinc: no one owns pyre");
}

TEST_F(Economy, BreadthFirstSupplyLineMatchesTheRecursiveRule) {
  // Random 8-neighbour grids of 6 x 6 provinces with scattered owners and forts.
  nbrlands = 36;
  for (int round = 0; round < 30; round++) {
    seedrnd(round);
    for (int32_t l = 1; l <= 36; l++) {
      const int32_t x = (l - 1) % 6, y = (l - 1) / 6;
      for (int16_t& n : provgeo[l].nbr) n = 0;
      int i = 0;
      for (int dy = -1; dy <= 1; dy++)
        for (int dx = -1; dx <= 1; dx++)
          if ((dx || dy) && x + dx >= 0 && x + dx < 6 && y + dy >= 0 && y + dy < 6)
            provgeo[l].nbr[i++] = int16_t(l + dx + 6 * dy);
      land[l].owner = uint8_t(rnd(3) ? 3 : 4);
      land[l].fortholder = uint8_t(rnd(5) ? land[l].owner : 4);
      land[l].fort = int8_t(rnd(4) == 0 ? 1 + rnd(2) : 0);
    }
    for (int32_t l = 1; l <= 36; l++)
      for (int32_t dmax = 1; dmax <= 6; dmax++)
        ASSERT_EQ(suplinereach(l, 3, dmax), supline(l, 3, 0, 0, 1, dmax)) << round << " " << l << " " << dmax;
  }
}

TEST_F(Economy, EveryRuleConstantAndGameMultipleIsRead) {
  struct Case {
    int32_t* constant;
    int32_t value;
    int scale, scalevalue;
    int32_t income;
  };
  const Case cases[] = {
      {&turmoilincome, 10, SC_TURMOIL, 1, 180}, {&deathincome, 5, SC_DEATH, 2, 180},
      {&deathincome, 5, SC_DEATH, -2, 220},     {&slothincome, 10, SC_SLOTH, 1, 180},
      {&coldincome, 20, SC_COLD, 1, 160},       {&poppergold, 50, -1, 0, 400},
  };
  for (const Case& k : cases) {
    defaultgeneral();
    for (int8_t& s : land[1].scale) s = 0;
    *k.constant = k.value;
    if (k.scale >= 0) land[1].scale[k.scale] = int8_t(k.scalevalue);
    EXPECT_EQ(getincome(1, 3), k.income) << k.value;
  }
  defaultgeneral();
  for (int8_t& s : land[1].scale) s = 0;
  gameinfo.moneymult = 200;
  EXPECT_EQ(getbaseincome(1), 400);
  gameinfo.resourcemult = 50;
  EXPECT_EQ(getbaseresources(1, 3), 25);
  gameinfo.resourcemult = 100;
  resourcemult = 200;
  EXPECT_EQ(getbaseresources(1, 3), 100);
  resourcemult = 100;
  slothresources = 50;
  land[1].scale[SC_SLOTH] = 1;
  EXPECT_EQ(getbaseresources(1, 3), 25);
  land[1].scale[SC_SLOTH] = 0;
  land[1].unrest = 100;
  EXPECT_EQ(getbaseresources(1, 3), 25);
  unresthalfres = 300;
  EXPECT_EQ(getbaseresources(1, 3), 37);
  unresthalfinc = 100;
  EXPECT_EQ(getincome(1, 3), 400 / 2);
  land[1].unrest = 0;
  supplymult = 50;
  EXPECT_EQ(getsupply(1, 3, 0), 310);
  supplymult = 100;
  deathsupply = 25;
  land[1].scale[SC_DEATH] = 1;
  EXPECT_EQ(getsupply(1, 3, 0), 460);
  land[1].scale[SC_DEATH] = 0;
  coldsupply = 50;
  land[1].scale[SC_COLD] = 1;
  EXPECT_EQ(getsupply(1, 3, 0), 310);
}

TEST_F(Economy, HugeValuesFromFilesDoNotOverflow) {
  for (int32_t l = 1; l <= 10; l++) {
    land[l].population = 32767;
    land[l].tax = 32767;
    land[l].extraincome = 32767;
  }
  gameinfo.moneymult = 32767;
  const int32_t g = getincome(1, 3);
  EXPECT_GT(g, 1000000);
  EXPECT_EQ(getkinc(3), INT32_MAX);
}
