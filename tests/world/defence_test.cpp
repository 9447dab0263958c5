// Natural protection, hit locations, stealth, morale, magic resistance,
// battle colours and lost body parts.
#include <gtest/gtest.h>

#include "support/smallworld.h"

class Defence : public ::testing::Test {
 protected:
  void SetUp() override {
    makesmallworld();
    settype(1, "Soldier");
    settype(2, "Giant").size = 4;
  }
};

TEST_F(Defence, NaturalProtectionFromSkinStatesAndPowers) {
  unittypes[1].prot = 5;
  const int32_t u = mkunit(1, 0, 1);
  EXPECT_EQ(getnatprot(u), 5);
  unit[u].flags[1] = 0x10000 | 0x10;   // the first skin that applies: max(15, p + 2)
  EXPECT_EQ(getnatprot(u), 15);
  unit[u].flags[1] = 0x10;
  EXPECT_EQ(getnatprot(u), 10);
  unit[u].flags[1] = ST_BERSERK;
  EXPECT_EQ(getnatprot(u), 6);
  unit[u].abil[0] = AB_BERSERK;
  unit[u].abilval[0] = 3;
  EXPECT_EQ(getnatprot(u), 8);
  unit[u].abil[1] = AB_PETRIFIED;
  unit[u].abilval[1] = 40;             // clamped to 25
  EXPECT_EQ(getnatprot(u), 33);
  unit[u].flags[1] = 0;
  unit[u].abil[1] = 0;
  unit[u].flags[2] = 0x2;
  EXPECT_EQ(getnatprot(u), 25);
  EXPECT_EQ(getnatprot(-1), 0);
  EXPECT_DEATH(getnatprot(MAXUNITS), "getnatprot: bad unr");
}

TEST_F(Defence, CommandersAddTheirEarthLevel) {
  const int32_t c = mkcom(1, 0, 1);
  com[c].path[P_EARTH] = 2;
  com[c].tmpfx = 6;
  com[c].tmpfxstr = 70;
  EXPECT_EQ(getnatprot(bodyunit(c)), 4);
}

TEST_F(Defence, RandomHitLocationsFollowTheTenDraws) {
  int counts[5] = {0, 0, 0, 0, 0};
  seedrnd(1234);
  for (int i = 0; i < 10000; i++) counts[randhitloc()]++;
  EXPECT_NEAR(counts[LOC_LEGS], 2000, 250);
  EXPECT_NEAR(counts[LOC_BODY], 5000, 250);
  EXPECT_NEAR(counts[LOC_ARMS], 2000, 250);
  EXPECT_NEAR(counts[LOC_HEAD], 1000, 200);
  // The draw itself: peeked before it is made.
  for (int i = 0; i < 50; i++) {
    const int32_t r = peekrnd(10);
    const int32_t want = r <= 1 ? LOC_LEGS : r <= 6 ? LOC_BODY : r <= 8 ? LOC_ARMS : LOC_HEAD;
    EXPECT_EQ(randhitloc(), want);
  }
}

TEST_F(Defence, SmallAttackersHitLargeTargetsLow) {
  const int32_t small = mkunit(1, 0, 1);
  const int32_t giant = mkunit(2, 0, 1);
  unittypes[1].size = 2;
  seedrnd(99);
  for (int i = 0; i < 200; i++) {
    const int32_t r = peekrnd(10);
    const int32_t loc = hitloc(small, giant, 1);   // diff 2: head and body hits become leg hits
    if (r >= 7 && r <= 8) EXPECT_EQ(loc, LOC_ARMS);
    else EXPECT_EQ(loc, LOC_LEGS);
  }
  for (int i = 0; i < 200; i++) {
    const int32_t r = peekrnd(10);
    const int32_t loc = hitloc(small, giant, 3);   // a long weapon: diff 0
    EXPECT_EQ(loc, r <= 1 ? LOC_LEGS : r <= 6 ? LOC_BODY : r <= 8 ? LOC_ARMS : LOC_HEAD);
  }
  unit[giant].type = -1;
  const int32_t r = peekrnd(10);
  EXPECT_EQ(hitloc(small, giant, 1), r <= 1 ? LOC_LEGS : r <= 6 ? LOC_BODY : r <= 8 ? LOC_ARMS : LOC_HEAD);
}

TEST_F(Defence, Stealth) {
  const int32_t u = mkunit(1, 0, 1);
  EXPECT_EQ(getstealth(u), 0);
  unittypes[1].flags = MF_STEALTHY;
  EXPECT_EQ(getstealth(u), 40);
  unittypes[1].flags |= MF_ILLUSION;
  addtypeability(1, AB_STEALTH, 10);
  EXPECT_EQ(getstealth(u), 75);
  EXPECT_DEATH(getstealth(-1), "gs: bad unr");
}

TEST_F(Defence, MoraleSteps) {
  const int32_t u = mkunit(1, 2, 3);
  EXPECT_EQ(getmaxmorale(u), 10);
  unit[u].exp = 100;         // +3
  unit[u].homeland = 3;      // +1
  land[3].veystr = 2;
  land[3].veyowner = 2;      // +1
  unit[u].flags[1] = ST_BLESSED | 0x8000;   // +2 +2
  EXPECT_EQ(getmaxmorale(u), 19);
  unit[u].abil[0] = AB_MORALECAP;
  unit[u].abilval[0] = 20;   // capped at 30
  EXPECT_EQ(getmaxmorale(u), 30);
  unit[u].flags[0] = 0x4 | AF_FRIGHT;
  EXPECT_EQ(getmaxmorale(u), 21);
  unit[u].moralemod = -3;
  EXPECT_EQ(getmaxmorale(u), 18);
  unit[u].flags[1] |= ST_PROPHET;
  EXPECT_EQ(getmaxmorale(u), 30);
  unit[u].flags[1] |= ST_BERSERK;
  EXPECT_EQ(getmaxmorale(u), 99);
}

TEST_F(Defence, HighTypeMoraleStandsAsItIs) {
  unittypes[1].mor = 30;
  const int32_t u = mkunit(1, 0, 1);
  unit[u].flags[1] = ST_BERSERK;
  unit[u].flags[0] = AF_FRIGHT;
  EXPECT_EQ(getmaxmorale(u), 30);
  EXPECT_DEATH(getmaxmorale(highestunit + 1), "getmaxmorale: bad unr");
}

TEST_F(Defence, DespairOfAForeignVeyrance) {
  const int32_t u = mkunit(1, 2, 3);
  land[3].veystr = 4;
  land[3].veyowner = 5;
  EXPECT_EQ(getmaxmorale(u), 9);
  addench(EN_ORDEROFHEAVEN, 0, 5, -1, 0);
  EXPECT_EQ(getmaxmorale(u), 5);
  addench(EN_DECEPTION, 0, 1, 3, 0);
  EXPECT_EQ(getmaxmorale(u), 1);
  // An enchantment of a player whose veyrance is not here does nothing.
  land[3].veyowner = -1;
  land[3].veystr = 0;
  EXPECT_EQ(getmaxmorale(u), 6);
}

TEST_F(Defence, MagicResistance) {
  const int32_t u = mkunit(1, 2, 3);
  land[3].scale[SC_DRAIN] = -3;      // Magic: -3 / 2 = -1
  EXPECT_EQ(getmr(u), 9);
  unit[u].flags[1] = ST_MRPLUS | ST_BLESSED;
  kingdom[2].godpath[P_ASTRAL] = 8;  // sacred: +3, at most 18
  EXPECT_EQ(getmr(u), 16);
  land[3].veystr = 5;
  land[3].veyowner = 2;
  unit[u].flags[1] = ST_PROPHET;
  EXPECT_EQ(getmr(u), 9 + 3 + 2);    // prophet: + 5 / 2
  unit[u].flags[0] = AF_FEEBLEMINDED;
  EXPECT_EQ(getmr(u), 9);
  setunitland(u, VOIDLAND);
  unit[u].flags[0] = 0;
  unit[u].flags[1] = 0;
  EXPECT_EQ(getmr(u), 5);
  EXPECT_EQ(getmr(-1), 0);
  unit[u].type = MAXUNITTYPES;
  EXPECT_DEATH(getmr(u), "getmr: bad m");
  EXPECT_DEATH(getmr(MAXUNITS), "getmr: bad unr");
}

TEST_F(Defence, ColourShowsWoundsCounterAndFatigue) {
  const int32_t u = mkunit(1, 0, 1);
  EXPECT_EQ(unitcolour(u), 0);
  unit[u].hp = 5;
  unit[u].batcounter = 20;
  unit[u].fatigue = 50;
  EXPECT_EQ(unitcolour(u), (14 << 11) | (63 << 5) | 10);
  unittypes[1].hp = 0;   // no hit points to divide by: no red
  EXPECT_EQ(unitcolour(u), (63 << 5) | 10);
  unit[u].type = -2;
  EXPECT_DEATH(unitcolour(u), "unitcolour: bad m");
  EXPECT_DEATH(unitcolour(-1), "unitcolour: bad unr");
}

TEST_F(Defence, LostBodyParts) {
  settype(91, "Hydra");
  settype(608, "Gryphon");
  settype(5, "Lizard").weapon[2] = 68;
  settype(6, "Vine Ogre").weapon[0] = 71;
  unittypes[6].weapon[1] = 3;
  int32_t lost = -1, repl = -1, cls = -1, res = -1;
  char text[100];
  EXPECT_EQ(specialpartloss(mkunit(91, 0, 1), &lost, &repl, &cls, &res, text), 1);
  EXPECT_STREQ(text, "Lost some heads");
  EXPECT_EQ(lost, 30);
  EXPECT_EQ(res, 0);
  EXPECT_EQ(specialpartloss(mkunit(608, 0, 1), &lost, &repl, nullptr, nullptr, nullptr), 1);
  EXPECT_EQ(repl, 346);
  EXPECT_EQ(specialpartloss(mkunit(5, 0, 1), &lost, &repl, &cls, nullptr, text), 1);
  EXPECT_STREQ(text, "Tail chopped off");
  EXPECT_EQ(cls, 1);
  EXPECT_EQ(specialpartloss(mkunit(6, 0, 1), &lost, nullptr, nullptr, nullptr, text), 1);
  EXPECT_EQ(lost, 71);
  unittypes[6].weapon[1] = 0;
  EXPECT_EQ(specialpartloss(highestunit, nullptr, nullptr, nullptr, nullptr, nullptr), 0);
  EXPECT_EQ(specialpartloss(mkunit(1, 0, 1), nullptr, nullptr, nullptr, nullptr, nullptr), 0);
  unit[highestunit].type = 4000;
  EXPECT_DEATH(specialpartloss(highestunit, nullptr, nullptr, nullptr, nullptr, nullptr), "uas: bad mnr");
}
