// Land and kingdom values, player status, era counts, type magic and the
// random undead types.
#include <gtest/gtest.h>

#include "support/smallworld.h"

class LandRecords : public ::testing::Test {
 protected:
  void SetUp() override { makesmallworld(); }
  static void temples(int32_t n, int32_t holder) {
    for (int32_t l = 1; l <= n; l++) {
      land[l].temple = 1;
      land[l].fortholder = uint8_t(holder);
    }
  }
};

TEST_F(LandRecords, VeyranceStrengthCountsTemplesOfTheFortHolder) {
  settype(1, "God");
  const int32_t g = mkcom(1, 4, 1);
  com[g].veyvalue = 3;
  kingdom[4].w[KW_GOD] = int16_t(g);
  temples(4, 4);
  EXPECT_EQ(getveystr(4), 3);
  temples(5, 4);
  EXPECT_EQ(getveystr(4), 4);
  land[5].owner = 4;
  land[5].fortholder = 6;   // the temple counts for the fort holder
  EXPECT_EQ(nbroftemples(4), 4);
  EXPECT_EQ(nbroftemples(6), 1);
  kingdom[4].w[KW_GOD] = -1;   // no god: the temple term alone
  EXPECT_EQ(getveystr(4), 0);
  temples(10, 24);
  EXPECT_EQ(getveystr(24), 0);
  EXPECT_DEATH(getveystr(100), "getveystr: bad player");
  EXPECT_DEATH(getveystr(-1), "getveystr: bad player");
}

TEST_F(LandRecords, GodPathLevels) {
  kingdom[7].godpath[P_EARTH] = 5;
  kingdom[25].godpath[P_EARTH] = 5;
  EXPECT_EQ(godpathlevel(7, P_EARTH), 5);
  EXPECT_EQ(godpathlevel(25, P_EARTH), 0);
  EXPECT_EQ(godpathlevel(7, 9), 0);
  EXPECT_EQ(godpathlevel(-1, 0), 0);
  EXPECT_EQ(godpathlevel(95, 0), 0);
}

TEST_F(LandRecords, FoundSitesEndAtTheFirstEmptySlot) {
  land[2].site[0] = 5;
  land[2].site[1] = 6;
  land[2].site[3] = 7;
  land[2].sitefound[0] = 1;
  land[2].sitefound[3] = 1;
  EXPECT_EQ(countfoundsites(2), 1);
  EXPECT_EQ(countfoundsites(0), 0);
  EXPECT_EQ(countfoundsites(11), 0);
}

TEST_F(LandRecords, MercenaryContracts) {
  kingdom[2].w[KW_MERCPAY] = 100;
  kingdom[2].w[KW_MERCBAND] = 3;
  kingdom[2].w[KW_MERCPAY + 2] = 50;
  kingdom[2].w[KW_MERCBAND + 2] = 4;
  kingdom[2].w[KW_MERCBAND + 3] = 3;   // no payment: no contract
  EXPECT_EQ(recmercs(2, -1), 2);
  EXPECT_EQ(recmercs(2, 3), 1);
  EXPECT_DEATH(recmercs(-1, -1), "recmercs: bad p");
}

TEST_F(LandRecords, NationsInEraSkipSpecialsShadowsAndDisallowed) {
  auto nation = [](int32_t n, const char* name, int32_t era) {
    nations[n] = Nation{};
    strcpy(nations[n].name, name);
    nations[n].era = era;
  };
  nation(0, "Arca", 1);
  nation(1, "Borea", 1);
  nation(2, "Arca", 1);    // a mod's copy shadows row 0
  nation(3, "Cyra", 2);
  nation(23, "Special Monsters", 1);
  EXPECT_EQ(nationsinera(1), 2);
  EXPECT_EQ(nationsinera(2), 1);
  allowednationsonly = 1;
  allowednation[1] = 1;
  EXPECT_EQ(nationsinera(1), 1);
  allowednationsonly = 0;
}

TEST_F(LandRecords, TypeMagicSums) {
  typemagic[0] = TypeMagic{5, P_FIRE, 2};
  typemagic[1] = TypeMagic{5, P_PRIEST, 3};
  typemagic[2] = TypeMagic{5, 200, 1};
  typemagic[3] = TypeMagic{6, P_FIRE, 4};
  typemagic[4] = TypeMagic{5, P_DEATH, 1};
  typemagic[5] = TypeMagic{-1, 0, 0};
  typemagic[6] = TypeMagic{5, P_AIR, 9};   // after the end
  EXPECT_EQ(gettypemagic(5, 53), 3);
  EXPECT_EQ(gettypemagic(5, 55), 6);
  EXPECT_EQ(gettypemagic(5, 57), 1);
  EXPECT_EQ(gettypemagic(5, P_PRIEST), 3);
  EXPECT_EQ(gettypemagic(5, P_AIR), 0);
}

TEST_F(LandRecords, SoullessFromFallenSoldiers) {
  land[4].corpses[0] = 0;
  land[4].corpses[1] = 5;
  seedrnd(8);
  for (int i = 0; i < 3; i++) {
    const int32_t t = randsoulless(9, 4, 100, 0, 2);
    EXPECT_EQ(t, 918);
  }
  EXPECT_EQ(land[4].corpses[1], 0);
  land[4].corpses[0] = 10;
  EXPECT_EQ(randsoulless(9, 4, 0, 0, 3), 197);
  EXPECT_EQ(land[4].corpses[0], 7);
}

TEST_F(LandRecords, RandomUndeadDrawInOrder) {
  seedrnd(17);
  const RndState s = getrndstate();
  // A chance of 0: the defaults, drawn after their own dice.
  const int32_t d = randlongdead(1, 0);
  setrndstate(s);
  EXPECT_EQ(d, 191 + rnd(6));
  EXPECT_GE(d, 191);
  EXPECT_LE(d, 196);
  for (int i = 0; i < 20; i++) {
    const RndState before = getrndstate();
    const int32_t def = 191 + rnd(6);
    rnd(100);
    const int32_t kind = rnd(4), which = rnd(2);
    setrndstate(before);
    EXPECT_EQ(randlongdead(28, 100), kind < 2 ? 186 + which : 1657 + which);
    const RndState again = getrndstate();
    const int32_t def2 = 191 + rnd(6);
    rnd(100);
    const int32_t giant = rnd(100);
    setrndstate(again);
    EXPECT_EQ(randlongdead(17, 100), giant < 50 ? 316 : def2);
    (void)def;
  }
  EXPECT_EQ(randghoul(18, 0), 198);
  EXPECT_EQ(randghoul(18, 100), 1715);
  EXPECT_EQ(randghoul(3, 100), 198);
}

TEST_F(LandRecords, BenchmarkLandIsPlain) {
  provgeo[0].terrain = TM_SWAMP | TM_FOREST;
  land[0].scale[SC_COLD] = 3;
  land[0].scale[SC_DEATH] = -2;
  land[0].scale[SC_DRAIN] = 1;
  plainbenchmarkland();
  EXPECT_EQ(provgeo[0].terrain, 0u);
  EXPECT_EQ(land[0].scale[SC_COLD], 0);
  EXPECT_EQ(land[0].scale[SC_DEATH], 0);
  EXPECT_EQ(land[0].scale[SC_DRAIN], 1);
}
