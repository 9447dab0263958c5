// Strength, hit points, encumbrance, defence, attack, action points,
// precision and age.
#include <gtest/gtest.h>

#include "support/smallworld.h"

class Combat : public ::testing::Test {
 protected:
  void SetUp() override {
    makesmallworld();
    settype(1, "Soldier");
    setarmor(1, "Scale Mail", IT_ARMOR, -1, 2);
    addprot(1, LOC_BODY, 10);
    setarmor(2, "Kite Shield", IT_SHIELD, 3, 2);
    addprot(2, LOC_SHIELD, 16);
    setweapon(1, "Spear", 1, 1, 3);
    setweapon(2, "Dagger", 2, 0, 1);
    setweapon(WEAPON_FIST, "Fist");
    u = mkunit(1, 2, 3);
  }
  int32_t u = -1;
};

TEST_F(Combat, StrengthSteps) {
  unit[u].flags[1] = ST_STRENGTH | ST_BERSERK;   // +4, +1
  unit[u].flags[2] = F3_HELLPOWER;               // +4
  unit[u].exp = 400;                             // +2
  unit[u].flags[0] = AF_WEAKENED | AF_CHESTWOUND | AF_LOSTARM;
  EXPECT_EQ(getstr(u), 10 + 4 + 1 + 4 + 2 - 6);
  EXPECT_DEATH(getstr(-1), "getstr: bad unr");
}

TEST_F(Combat, VeyranceBoundProphetGetsTheTermTwice) {
  land[3].veyowner = 2;
  land[3].veystr = 3;
  unit[u].flags[1] = ST_PROPHET;
  unit[u].flags[2] = F3_PRETENDER;
  EXPECT_EQ(getstr(u), 16);
  land[3].veyowner = 4;
  EXPECT_EQ(getstr(u), 4);
}

TEST_F(Combat, ColdPowerAndFirePowerFollowTheScale) {
  land[3].scale[SC_COLD] = 2;
  unit[u].abil[0] = AB_COLDPOWER;
  unit[u].abilval[0] = 1;
  EXPECT_EQ(getstr(u), 12);
  unit[u].abil[0] = AB_FIREPOWER;
  EXPECT_EQ(getstr(u), 8);
  setunitland(u, -1);
  EXPECT_EQ(getstr(u), 10);
}

TEST_F(Combat, HitPointsFollowTheVeyrance) {
  land[3].veyowner = 4;
  land[3].veystr = 7;
  unit[u].flags[2] = F3_PRETENDER;
  unittypes[1].hp = 100;
  EXPECT_EQ(getmaxhp(u), 20);    // another's veyrance of 7 counts -4: x 2/10
  land[3].veyowner = 2;
  EXPECT_EQ(getmaxhp(u), 240);   // own veyrance of 7: x 24/10
  unit[u].flags[1] = ST_PROPHET;
  EXPECT_EQ(getmaxhp(u), 576);
}

TEST_F(Combat, HitPointsNeverBelowOne) {
  unittypes[1].hp = 2;
  unit[u].flags[0] = AF_NEVERHEAL;
  EXPECT_EQ(getmaxhp(u), 1);
  unittypes[1].hp = 20;
  EXPECT_EQ(getmaxhp(u), 16);
}

TEST_F(Combat, SeasonsChangeHitPoints) {
  unittypes[1].hp = 100;
  unit[u].abil[0] = AB_WINTERPOWER;
  unit[u].abilval[0] = 20;
  turn = 10;    // winter
  EXPECT_EQ(getmaxhp(u), 120);
  turn = 4;     // summer
  EXPECT_EQ(getmaxhp(u), 80);
  turn = 1;     // spring
  EXPECT_EQ(getmaxhp(u), 100);
  turn = -5;    // counts as turn 0
  EXPECT_EQ(getseason(), 0);
  turn = 23;
  EXPECT_EQ(getmonth(), 11);
  EXPECT_EQ(getseason(), 3);
}

TEST_F(Combat, OldAgeLevels) {
  unit[u].age = 49;
  EXPECT_EQ(oldagelevel(u), 0);
  unit[u].age = 50;
  EXPECT_EQ(oldagelevel(u), 1);
  unit[u].age = 60;   // exactly 1.2 times the limit
  EXPECT_EQ(oldagelevel(u), 2);
  unit[u].age = 70;
  EXPECT_EQ(oldagelevel(u), 3);
  unit[u].age = 100;
  EXPECT_EQ(oldagelevel(u), 5);
  unit[u].age = 150;
  EXPECT_EQ(oldagelevel(u), 6);
  unittypes[1].hp = 100;
  EXPECT_EQ(getmaxhp(u), 70);
}

TEST_F(Combat, LifespansByKind) {
  EXPECT_EQ(typemaxage(1), 50);
  unittypes[1].flags = MF_COLDBLOOD;
  EXPECT_EQ(typemaxage(1), 75);
  unittypes[1].flags = MF_UNDEAD | MF_ETHEREAL;
  EXPECT_EQ(typemaxage(1), 1000);
  unittypes[1].flags = MF_INANIMATE;
  EXPECT_EQ(typemaxage(1), 800);
  unittypes[1].flags = MF_ANIMAL;
  EXPECT_EQ(typemaxage(1), 30);
  unittypes[1].mr = 4;
  EXPECT_EQ(typemaxage(1), 14);
  addtypeability(1, AB_STARTVEY, 1);
  EXPECT_EQ(typemaxage(1), 500);
  addtypeability(1, AB_MAXAGE, 77);
  EXPECT_EQ(typemaxage(1), 77);
  EXPECT_EQ(typemaxage(-1), 0);
}

TEST_F(Combat, CommandersAgeByTheirPaths) {
  const int32_t c = mkcom(1, 0, 1);
  com[c].path[P_NATURE] = 2;
  EXPECT_EQ(getmaxage(bodyunit(c)), 100);
  com[c].path[P_FIRE] = 3;
  EXPECT_EQ(getmaxage(bodyunit(c)), 100 - 3 * 5);
  unittypes[1].flags = MF_UNDEAD;
  com[c].path[P_DEATH] = 1;
  EXPECT_EQ(getmaxage(bodyunit(c)), 750);
}

TEST_F(Combat, StartAge) {
  EXPECT_EQ(startage(1), 20);      // lifespan 50: 50/3 + 4
  unittypes[1].flags = MF_ANIMAL;
  unittypes[1].size = 1;
  unittypes[1].mr = 0;
  EXPECT_EQ(startage(1), 3);       // lifespan 7: 7/3 + 1
  unittypes[1].flags = 0;
  addtypeability(1, AB_MAXAGE, 40);
  EXPECT_EQ(startage(1), 17);
  typemagic[0] = TypeMagic{1, P_FIRE, 2};
  typemagic[1] = TypeMagic{1, P_PRIEST, 1};
  typemagic[2] = TypeMagic{-1, 0, 0};
  EXPECT_EQ(startage(1), 2 * 40 / 7 + 17);
  unittypes[1].flags2 = MF2_EXPERTLEADER;
  EXPECT_EQ(startage(1), 11 + 17 + 8);
  addtypeability(1, AB_STARTAGE, -4);
  EXPECT_EQ(startage(1), 0);
  EXPECT_EQ(startage(-1), 20);
  EXPECT_DEATH(startage(4000), "startage: bad mnr");
}

TEST_F(Combat, OlderTypesRollAnOpenDie) {
  addtypeability(1, AB_OLDERROLL, 6);
  seedrnd(31);
  const RndState before = getrndstate();
  const int32_t want = 20 + openroll(6);
  setrndstate(before);
  EXPECT_EQ(startage(1), want);
}

TEST_F(Combat, EncumbranceFromArmorClimateAndSea) {
  unittypes[1].armor[0] = 1;
  unittypes[1].armor[1] = 2;
  EXPECT_EQ(getenc(u, 0), 5);
  EXPECT_EQ(getenc(u, 1), 9);
  land[3].scale[SC_COLD] = 3;
  EXPECT_EQ(getenc(u, 0), 7);
  unit[u].abil[0] = AB_COLDRES;
  unit[u].abilval[0] = 25;
  EXPECT_EQ(getenc(u, 0), 6);
  unit[u].abilval[0] = 26;
  EXPECT_EQ(getenc(u, 0), 5);
  land[3].scale[SC_COLD] = -3;
  unit[u].abil[0] = AB_FIRERES;
  unit[u].abilval[0] = 24;
  EXPECT_EQ(getenc(u, 0), 6);
  unit[u].abilval[0] = 25;
  EXPECT_EQ(getenc(u, 0), 5);
  land[3].scale[SC_COLD] = 0;
  provgeo[3].terrain = TM_SEA;
  EXPECT_EQ(getenc(u, 0), 8);
  addench(EN_CURRENTS, 0, 2, -1, 0);
  EXPECT_EQ(getenc(u, 0), 4);
  provgeo[3].terrain = TM_SWAMP;
  EXPECT_EQ(getenc(u, 0), 7);
  unittypes[1].enc = 0;
  EXPECT_EQ(getenc(u, 0), 0);
  unit[u].type = -1;
  EXPECT_DEATH(getenc(u, 0), "get: bad m");
}

TEST_F(Combat, DefenceModes) {
  unittypes[1].armor[0] = 1;
  unittypes[1].armor[1] = 2;
  unittypes[1].weapon[0] = 1;
  EXPECT_EQ(getdef(u, 3), 10);
  EXPECT_EQ(getdef(u, 0), 10 - 1 - 2);
  EXPECT_EQ(getdef(u, 1), 10 - 1 + 3);
  EXPECT_EQ(getdef(u, 2), 10 - 1 + 3 + 1);
}

TEST_F(Combat, DefenceStatesQuarterAndHalve) {
  unit[u].exp = 50;              // +2
  unit[u].flags[1] = ST_QUICK;   // +3
  EXPECT_EQ(getdef(u, 3), 15);
  unit[u].flags[0] = AF_SLIMED;
  EXPECT_EQ(getdef(u, 3), 7);
  unit[u].flags[0] = 0x40;
  EXPECT_EQ(getdef(u, 3), 3);
  unit[u].flags[0] = 0x40 | 0x4000;
  EXPECT_EQ(getdef(u, 3), 0);
  unit[u].flags[0] = 0;
  unit[u].batstate = 3;
  EXPECT_EQ(getdef(u, 3), 11);
  unit[u].abil[0] = AB_PARALYZED;
  unit[u].abilval[0] = 1;
  EXPECT_EQ(getdef(u, 3), 0);
  unit[u].type = 5000;
  EXPECT_DEATH(getdef(u, 3), "gd: bad m");
}

TEST_F(Combat, ALostEyeCountsOnce) {
  unit[u].flags[0] = AF_LOSTEYE;
  EXPECT_EQ(getatt(u), 8);
  EXPECT_EQ(getdef(u, 3), 8);
  EXPECT_EQ(getprec(u), 7);
  unit[u].abil[0] = AB_EYES;
  unit[u].abilval[0] = -1;     // no eye left
  EXPECT_EQ(getatt(u), 0);
  unit[u].abil[1] = AB_BLIND;
  unit[u].abilval[1] = 1;      // blind-fighting sees anyway
  EXPECT_EQ(getatt(u), 10);
  unit[u].abil[0] = 0;
  unit[u].abil[1] = 0;
  unit[u].flags[0] = AF_BLIND;
  EXPECT_EQ(getatt(u), 0);
  EXPECT_EQ(getprec(u), 0);
}

TEST_F(Combat, DarknessAndTheVoid) {
  addench(EN_DARKNESS, 0, 0, 3, 0);
  EXPECT_EQ(getatt(u), 5);
  EXPECT_EQ(getprec(u), 2);
  unit[u].abil[0] = AB_DARKVISION;
  unit[u].abilval[0] = 100;
  EXPECT_EQ(getatt(u), 10);
  EXPECT_EQ(getprec(u), 10);
  unittypes[1].flags = MF_UNDEAD;
  unit[u].abil[0] = 0;
  EXPECT_EQ(getatt(u), 10);
  setunitland(u, VOIDLAND);
  EXPECT_EQ(getatt(u), 5);
  EXPECT_EQ(getdef(u, 3), 5);
  EXPECT_EQ(getprec(u), 5);
}

TEST_F(Combat, AttackOfACommanderAndAtSea) {
  const int32_t c = mkcom(1, 2, 3);
  com[c].path[P_FIRE] = 2;
  com[c].tmpfx = 2;
  com[c].tmpfxstr = 100;
  EXPECT_EQ(getatt(bodyunit(c)), 14);
  provgeo[3].terrain = TM_SEA;
  EXPECT_EQ(getatt(bodyunit(c)), 11);
  unittypes[1].flags = MF_AQUATIC;
  EXPECT_EQ(getatt(bodyunit(c)), 14);
  EXPECT_EQ(getatt(-1), 0);
}

TEST_F(Combat, WeaponAttackAndTheTwoWeaponPenalty) {
  unittypes[1].weapon[0] = 1;
  unittypes[1].weapon[1] = 2;
  EXPECT_EQ(getweaponatt(u, 0), 10 + 1 - 4);
  EXPECT_EQ(getweaponatt(u, 1), 10 + 2 - 4);
  unit[u].abil[0] = AB_AMBIDEXTROUS;
  unit[u].abilval[0] = 3;
  EXPECT_EQ(getweaponatt(u, 0), 10);
  unit[u].abilval[0] = 9;      // the penalty never turns into a bonus
  EXPECT_EQ(getweaponatt(u, 0), 11);
  unittypes[1].weapon[1] = 0;
  EXPECT_EQ(getweaponatt(u, 0), 11);
  EXPECT_EQ(getweaponatt(-1, 0), 0);
}

TEST_F(Combat, ActionPoints) {
  unittypes[1].armor[0] = 1;
  EXPECT_EQ(getmaxap(u, 0), 10);
  unit[u].flags[1] = ST_QUICK;
  EXPECT_EQ(getmaxap(u, 0), 10);
  EXPECT_EQ(getmaxap(u, 1), 20);
  unit[u].flags[0] = AF_LIMP;
  EXPECT_EQ(getmaxap(u, 1), 10);
  provgeo[3].terrain = TM_SEA;
  EXPECT_EQ(getmaxap(u, 1), 5);
  addench(EN_CURRENTS, 0, 7, 3, 0);
  EXPECT_EQ(getmaxap(u, 1), 2);   // another's under-water help: 5 - 4, at least 2
  unit[u].flags[0] = AF_CRIPPLED;
  unit[u].flags[1] = 0;
  EXPECT_EQ(getmaxap(u, 0), 2);
  unittypes[1].ap = 1;
  unit[u].flags[0] = 0;
  EXPECT_EQ(getmaxap(u, 0), 2);
  EXPECT_DEATH(getmaxap(MAXUNITS, 0), "getmaxap: bad unr");
}

TEST_F(Combat, PrecisionInStormAndFog) {
  addench(EN_STORM, 0, 0, 3, 0);
  EXPECT_EQ(getprec(u), 5);
  addench(EN_FOG, 0, 0, 3, 0);
  EXPECT_EQ(getprec(u), 2);
  unit[u].flags[1] = ST_PRECISION;
  unit[u].abil[0] = AB_STORMPOWER;
  unit[u].abilval[0] = 1;      // storm power: the storm does not halve
  EXPECT_EQ(getprec(u), 7);
}

TEST_F(Combat, BadUnitNumbersStop) {
  EXPECT_DEATH(getmaxhp(highestunit + 1), "getmaxhp: bad unr");
  EXPECT_DEATH(getenc(-1, 0), "getenc: bad unr");
  EXPECT_DEATH(getdef(-1, 0), "getdef: bad unr");
  unit[u].type = -1;
  EXPECT_DEATH(getatt(u), "getatt: bad m");
  EXPECT_DEATH(getprec(u), "getprec: bad m");
  EXPECT_DEATH(getweaponatt(u, 0), "gwa: bad mnr");
  EXPECT_DEATH(getmaxap(u, 0), "getmaxap: bad m");
}
