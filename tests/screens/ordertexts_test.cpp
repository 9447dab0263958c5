#include <gtest/gtest.h>

#include <string>

#include "screens/orders.h"
#include "support/smallworld.h"

namespace {
class OrderTexts : public ::testing::Test {
 protected:
  int32_t c = -1;
  void SetUp() override {
    makesmallworld();
    settype(1, "Man");
    c = mkcom(1, 3, 2);
    land[2].owner = land[2].fortholder = 3;
    strcpy(spells[7].name, "Fog");
    setitem(9, "Ring", IT_MISC);
    strcpy(forts[1].name, "Palisade");
    forts[1].val[FORT_BUILDTIME] = 3;
    strcpy(forts[4].name, "Citadel");
    forts[4].val[FORT_BUILDTIME] = 5;
  }
  std::string text(Order order, int32_t param = 0, int32_t gems = 0, int32_t target = 0) {
    com[c].order = order;
    com[c].orderparam = param;
    com[c].ordergems[0] = gems;
    com[c].ordergems[1] = target;
    char buf[ORDERTEXTLEN];
    return hostordertext(c, buf);
  }
};

TEST_F(OrderTexts, DefendBecomesSiegeWhereAnotherHoldsTheCastle) {
  EXPECT_EQ(text(Order::defend), "Defend");
  land[2].fortholder = 4;
  EXPECT_EQ(text(Order::defend), "Siege");
  land[2].owner = 4;   // besieged ourselves: still defending
  EXPECT_EQ(text(Order::defend), "Defend");
}

TEST_F(OrderTexts, SneakWithADestinationElseHide) {
  EXPECT_EQ(text(Order::sneak, 5), "Sneak");
  EXPECT_EQ(text(Order::sneak, 0), "Hide");
  EXPECT_EQ(text(Order::sneak, 2), "Hide");   // the land it stands in
}

TEST_F(OrderTexts, RitualTargetsShownByNameWhenKnownByNumberOtherwise) {
  EXPECT_EQ(text(Order::ritual, 7, 3, 0), "Cast Fog");
  EXPECT_EQ(text(Order::ritual, 7, 3, 1505), "Cast Fog");
  EXPECT_EQ(text(Order::ritual, 7, 3, 2), "Cast Fog at Land2");   // our own province
  EXPECT_EQ(text(Order::ritual, 7, 3, 8), "Cast Fog at 8");       // nothing known of it
  EXPECT_EQ(text(Order::monthlyritual, 7, 3, 0), "Cast Fog (monthly)");
  EXPECT_EQ(text(Order::monthlyritual, 7, 3, 2), "Cast Fog at Land2 (monthly)");
  EXPECT_EQ(text(Order::monthlyritual, 7, 3, 8), "Cast Fog at 8 (monthly)");
  EXPECT_EQ(text(Order::ritual, 40000), "Cast ???");   // a spell beyond the table
}

TEST_F(OrderTexts, FortTextsFollowTheConstructionUnderWay) {
  EXPECT_EQ(text(Order::buildfort, 1), "Build Palisade, 3 months remaining");   // nothing begun: getcastle's type
  land[2].counter = 4;
  land[2].fort = -3;
  EXPECT_EQ(text(Order::buildfort, 4), "Build Citadel, 2 months remaining");
  land[2].fort = -4;
  EXPECT_EQ(text(Order::buildfort, 4), "Build Citadel, 1 month remaining");
  land[2].fort = 0;
  EXPECT_EQ(text(Order::buildfort, 4), "Build Citadel, 5 months remaining");
  land[2].counter = -1;
  EXPECT_EQ(text(Order::buildfort, 4), "Build fort ???");
}

TEST_F(OrderTexts, TableTextsVariantsAndUnknownCodes) {
  EXPECT_EQ(text(Order::move, 4), "Move");
  EXPECT_EQ(text(Order::enemypreach), "Preach");
  EXPECT_EQ(text(Order::chariot), "Reanimate");
  EXPECT_EQ(text(Order::forge, 9), "Forge Ring");
  EXPECT_EQ(text(Order::cultist, 3), "Hear my dreams of R'lyeh");
  EXPECT_EQ(text(Order::cultist, 8), "Fhtagn");
  EXPECT_EQ(text(Order::funeral, 9), "Build mausoleum");
  EXPECT_EQ(text(Order::funeral, 16), "All will end");
  EXPECT_EQ(text(Order::funeral, 8), "Attend funeral");
  for (int32_t unknown : {13, 29, 35, 52, 59, 65, 255}) EXPECT_EQ(text(Order(unknown)), "Unknown order") << unknown;
}

TEST_F(OrderTexts, FhtagnNamesTheAwakenedPretenderOfTheFirstNationInPlay) {
  settype(2, "Old One");
  const int32_t god = mkcom(2, 47, 9);
  strcpy(com[god].name, "Dreamer");
  kingdom[47].w[KW_GOD] = int16_t(god);
  kingdom[47].w[KW_CONTROLLER] = CTRL_AI;
  EXPECT_EQ(text(Order::cultist, 99), "Fhtagn");   // without effect 277
  addtypeability(2, AB_VOIDSANITY, 1);
  EXPECT_EQ(text(Order::cultist, 99), "Dreamer");
  kingdom[67].w[KW_CONTROLLER] = CTRL_HUMAN;   // nation 67 comes first, and its god is not there
  kingdom[67].w[KW_GOD] = -1;
  EXPECT_EQ(text(Order::cultist, 99), "Fhtagn");
}

TEST(OrderTextsDeath, BadCommanderStops) {
  makesmallworld();
  char buf[ORDERTEXTLEN];
  EXPECT_DEATH(hostordertext(-1, buf), "hostordertext: bad cnr");
  EXPECT_DEATH(hostordertext(5, buf), "hostordertext: bad unr");
}
}  // namespace
