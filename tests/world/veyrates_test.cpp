// The conversion points of a nation's veyrance sources, which the Temple
// screen shows and the host spends.
#include <gtest/gtest.h>

#include "support/smallworld.h"
#include "world/veyrates.h"

namespace {
constexpr int32_t P = 3, OTHER = 4;

class VeyRatesTest : public ::testing::Test {
 protected:
  int32_t god = -1;
  void SetUp() override {
    makesmallworld();
    settype(10, "God");
    nbrlands = 50;
    god = mkcom(10, P, 45);
    kingdom[P].w[KW_GOD] = int16_t(god);
    kingdom[P].w[KW_PROPHET] = -1;
    kingdom[P].w[KW_HOMELAND] = 1;
    land[1].fortholder = P;
    com[god].veyvalue = 3;
  }
  static void temples(int32_t n) {   // in lands 1..n, held by P
    for (int32_t l = 1; l <= n; l++) land[l].fortholder = P, land[l].temple = 1;
  }
  // The screen's lines summed equal the points of every land summed.
  static void linesmatchlands() {
    const VeyRates r = veyrates(P);
    int32_t lines = 0, lands = 0;
    for (int32_t k = 0; k < VS_KINDS; k++) lines += r.points[k];
    for (int32_t l = 1; l <= nbrlands; l++) lands += veyconversion(P, l);
    EXPECT_EQ(lines, lands);
  }
};
}  // namespace

TEST_F(VeyRatesTest, TheGodConvertsTwiceTheRatePlusTenWhileItWalksTheWorld) {
  temples(12);
  EXPECT_EQ(veyrate(P), 5);   // 12 / 5 + 3
  EXPECT_EQ(veyconversion(P, 45), 20);
  temples(40);
  com[god].veyvalue = 5;
  EXPECT_EQ(veyrates(P).points[VS_GOD], 30);   // 8 + 5, capped at 10
  com[god].veyvalue = -9;                      // from a design file
  EXPECT_EQ(veyrate(P), 0);
  EXPECT_EQ(veyrates(P).points[VS_GOD], 10);
  // A dead god, or one out of the world, converts nothing; the rate stays.
  for (int32_t hp : {0, 10})
    for (int16_t l : {int16_t(45), int16_t(-7), int16_t(51)}) {
      unit[bodyunit(god)].hp = int16_t(hp);
      setunitland(bodyunit(god), l);
      EXPECT_EQ(veyconversion(P, 45), hp && l == 45 ? 10 : 0) << hp << " " << l;
    }
  linesmatchlands();
}

TEST_F(VeyRatesTest, ProphetAndHomeProvinceConvertAtTheRate) {
  const int32_t prophet = mkcom(10, P, 1);
  kingdom[P].w[KW_PROPHET] = int16_t(prophet);
  land[1].temple = 1;
  EXPECT_EQ(veyconversion(P, 1), 3 + 3 + 3);   // prophet, home and temple add up
  unit[bodyunit(prophet)].owner = OTHER;          // seduced away
  EXPECT_EQ(veyrates(P).points[VS_PROPHET], 0);
  unit[bodyunit(prophet)].owner = P;
  land[1].fortholder = OTHER;                     // the home's fort lost
  const VeyRates r = veyrates(P);
  EXPECT_EQ(r.points[VS_HOME] + r.points[VS_TEMPLE], 0);
  EXPECT_EQ(r.points[VS_PROPHET], 3);
  unit[bodyunit(prophet)].hp = 0;
  EXPECT_EQ(veyconversion(P, 1), 0);
  linesmatchlands();
}

TEST_F(VeyRatesTest, TemplesHeldAndVictoryPointsConvert) {
  temples(12);
  land[30].temple = 1;   // in a fort held by another nation
  land[30].fortholder = OTHER;
  land[14].fortholder = P;
  land[14].vpword = 0x12;   // 2 points; the start-province mark is none
  land[15].vpword = 3;      // not held
  land[20].veyowner = land[21].veyowner = P;
  land[20].veystr = 3;      // land 21 has no strength
  const VeyRates r = veyrates(P);
  EXPECT_EQ(r.temples, 12);
  EXPECT_EQ(r.converted, 1);
  EXPECT_EQ(r.points[VS_TEMPLE], 60);
  EXPECT_EQ(r.points[VS_VICTORY], 10);
  EXPECT_EQ(veyconversion(P, 12), 5);
  EXPECT_EQ(veyconversion(P, 30), 0);
  linesmatchlands();
}

TEST_F(VeyRatesTest, AGodThatConvertsAloneGetsTenAndPlayersWithoutAGodNothing) {
  temples(12);
  land[4].vpword = 1;
  kingdom[P].w[KW_PROPHET] = int16_t(mkcom(10, P, 9));
  nations[P].attrkey[0] = NA_FIXEDTEMPLERATES;
  nations[P].attrval[0] = 1;
  const VeyRates r = veyrates(P);
  EXPECT_EQ(r.rate, 5);
  EXPECT_EQ(r.points[VS_GOD], 10);
  EXPECT_EQ(r.points[VS_PROPHET] + r.points[VS_HOME] + r.points[VS_TEMPLE], 0);
  EXPECT_EQ(r.points[VS_VICTORY], 5);
  linesmatchlands();
  for (int32_t p : {23, 24, 25, -1, 95}) {
    if (p >= 0 && p < 95) kingdom[p] = kingdom[P], land[2].fortholder = int8_t(p);
    EXPECT_EQ(veyrate(p), 0) << p;
    EXPECT_TRUE(veysources(p).empty()) << p;
  }
  EXPECT_EQ(veyrates(100).rate, 0);
}

namespace {
// Ten points a step, spread over the months: any ten months in a row give
// exactly the points' worth, and each month the tenth rounded down or up.
TEST(VeySteps, TenMonthsInARowTakeEveryPointAndEachMonthItsShare) {
  for (int32_t points : {1, 3, 5, 10, 16, 25, 30, 75})
    for (int32_t from : {0, 1, 7, 9, 1234}) {
      int32_t sum = 0;
      for (int32_t m = from; m < from + 10; m++) {
        const int32_t s = veysteps(points, m);
        EXPECT_GE(s, points / VEYPOINTSPERSTEP) << points << " month " << m;
        EXPECT_LE(s, (points + VEYPOINTSPERSTEP - 1) / VEYPOINTSPERSTEP) << points << " month " << m;
        sum += s;
      }
      EXPECT_EQ(sum, points) << points << " from month " << from;
    }
  EXPECT_EQ(veysteps(0, 5), 0);
  EXPECT_EQ(veysteps(-4, 5), 0);
  EXPECT_EQ(veysteps(16, -1), 0);
  // Far into a long game the product does not overflow.
  int32_t sum = 0;
  for (int32_t m = 2000000000; m < 2000000010; m++) sum += veysteps(30, m);
  EXPECT_EQ(sum, 30);
}
}  // namespace
