#include <gtest/gtest.h>

#include "actions/moverule.h"
#include "support/dialogscript.h"
#include "support/smallworld.h"
#include "world/magic.h"

namespace {
// Lands 1 - 2 - 3 in a row; 1 and 6 both touch sea 5; 5 touches sea 7.
// Nation 3 owns 1, 2 and 3; 6 belongs to the independents.
// Types: 1 man, 2 statue (no map move), 3 fish (aquatic), 4 tower (immobile).
class MoveLegality : public ::testing::Test {
 protected:
  void SetUp() override {
    makesmallworld();
    settype(1, "Man");
    settype(2, "Statue").mapmove = 0;
    settype(3, "Fish").flags = MF_AQUATIC;
    settype(4, "Tower").flags = MF_IMMOBILE;
    link(1, 2);
    link(2, 3);
    link(1, 5);
    link(6, 5);
    link(5, 7);
    provgeo[5].terrain = provgeo[7].terrain = TM_SEA;
    for (int32_t l : {1, 2, 3}) land[l].owner = land[l].fortholder = 3;
    setitem(1, "Ship in a bottle", IT_MISC);
    additemability(1, 112, 1);
  }
  static void link(int32_t a, int32_t b) {
    auto add = [](int32_t x, int32_t y) {
      int32_t i = 0;
      while (provgeo[x].nbr[i] > 0) i++;
      provgeo[x].nbr[i] = int16_t(y);
    };
    add(a, b);
    add(b, a);
  }
  int32_t army(int32_t comtype, int32_t lnr) {
    const int32_t c = mkcom(comtype, 3, lnr);
    com[c].squad[0] = 100 + c;
    return c;
  }
  int32_t join(int32_t c, int32_t type) {
    const int32_t u = mkunit(type, 3, unit[bodyunit(c)].land);
    setunitsquad(u, com[c].squad[0]);
    return u;
  }
};

TEST_F(MoveLegality, ImmobileCommanderIsRefusedBeforeAnyQuestion) {
  DialogScript answers("1\n");
  const int32_t c = army(4, 1);
  EXPECT_EQ(mapmove(c, 2, 1), 0);
  EXPECT_EQ(answers.printed(), "");
  EXPECT_EQ(mapmove(army(1, 1), 0, 0), 0);   // no destination
}

TEST_F(MoveLegality, UnitsWithoutMapMoveAreLeftBehindOrTheArmyStays) {
  const int32_t c = army(1, 1);
  const int32_t statue = join(c, 2);
  {
    DialogScript answers("2\n");   // stay still
    EXPECT_EQ(mapmove(c, 2, 1), 0);
    EXPECT_NE(answers.printed().find("This army is immobile"), std::string::npos);
    EXPECT_NE(unit[statue].squad, -1);
  }
  {
    DialogScript answers("1\n");   // remove immobile units
    EXPECT_EQ(mapmove(c, 2, 1), 1);
    EXPECT_EQ(unit[statue].squad, -1);
  }
  // Without questions they are always left behind.
  const int32_t d = army(1, 1);
  const int32_t other = join(d, 2);
  EXPECT_EQ(mapmove(d, 3, 0), 1);
  EXPECT_EQ(unit[other].squad, -1);
  // A mercenary commander is never offered to leave its band.
  const int32_t merc = army(1, 1);
  unit[bodyunit(merc)].homeland = -2;
  join(merc, 2);
  DialogScript answers("1\n2\n");
  EXPECT_EQ(mapmove(merc, 2, 1), 0);
  EXPECT_EQ(answers.printed().find("remove immobile units"), std::string::npos);
}

TEST_F(MoveLegality, WaterAndDryLandQuestions) {
  // A fish with a man: the man cannot go under water.
  const int32_t c = army(3, 5);
  const int32_t man = join(c, 1);
  {
    DialogScript answers("2\n");
    EXPECT_EQ(mapmove(c, 7, 1), 0);   // the man stays in the squad, so the army cannot go
    EXPECT_NE(answers.printed().find("This army cannot travel underwater"), std::string::npos);
    EXPECT_NE(unit[man].squad, -1);
  }
  EXPECT_EQ(mapmove(c, 7, 0), 1);
  EXPECT_EQ(unit[man].squad, -1);
  // A man leading a fish ashore: the fish stays behind when asked to.
  unit[bodyunit(c)].hp = 0;
  const int32_t m = mkcom(1, 3, 5);
  com[m].squad[0] = 900;
  const int32_t fish = mkunit(3, 3, 5);
  setunitsquad(fish, 900);
  DialogScript answers("1\n");
  mapmove(m, 1, 1);
  EXPECT_NE(answers.printed().find("This army cannot travel above the surface"), std::string::npos);
  EXPECT_EQ(unit[fish].squad, -1);
  EXPECT_EQ(com[m].squad[0], -1);   // the squad left empty is cleared
}

TEST_F(MoveLegality, FrozenSeasStopOnlyCrossingsBetweenSeaAndLand) {
  const int32_t fish = army(3, 5);
  const int32_t man = army(1, 1);
  addtypeability(1, AB_WATERBREATHING, 1);
  EXPECT_EQ(mapmove(man, 5, 0), 1);
  ASSERT_GE(addench(EN_FROZENSEAS, -1, 4, -1, 0), 0);
  EXPECT_EQ(mapmove(man, 5, 0), 0);
  EXPECT_EQ(mapmove(fish, 7, 0), 1);
}

TEST_F(MoveLegality, SailingCrossesOneSeaProvince) {
  const int32_t c = army(1, 1);
  EXPECT_EQ(mapmove(c, 6, 0), 0);   // not a neighbour, not ours
  com[c].item[0] = 1;
  EXPECT_EQ(mapmove(c, 6, 0), 1);
  EXPECT_EQ(mapmove(c, 7, 0), 0);   // never into the sea
  const int32_t e = addench(EN_WINTER, -1, 4, -1, 0);
  EXPECT_EQ(mapmove(c, 6, 0), 0);
  removeench(e);
  addench(EN_FROZENSEAS, -1, 4, -1, 0);
  EXPECT_EQ(mapmove(c, 6, 0), 0);
}

TEST_F(MoveLegality, BoatMoveNeedsOneSeaBetweenTwoLands) {
  EXPECT_EQ(boatmove(3, 1, 6), 1);
  EXPECT_EQ(boatmove(3, 6, 1), 1);
  EXPECT_EQ(boatmove(3, 1, 1), 0);
  EXPECT_EQ(boatmove(3, 1, 7), 0);   // a sea destination
  EXPECT_EQ(boatmove(3, 1, 3), 0);   // no sea between
  EXPECT_DEATH(boatmove(3, 1505, 1), "boatmove: bad from");
  EXPECT_DEATH(mapmove(highestcom + 1, 1, 0), "mapmove: bad cnr");
}
}  // namespace
