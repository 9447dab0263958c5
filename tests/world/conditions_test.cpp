// Weather and land predicates, unit conditions, movement and item slots.
#include <gtest/gtest.h>

#include "support/smallworld.h"

class Conditions : public ::testing::Test {
 protected:
  void SetUp() override {
    makesmallworld();
    settype(1, "Soldier");
    settype(2, "Bird").flags = MF_FLYING;
    settype(3, "Sea Hawk").flags = MF_FLYING | MF_AMPHIBIAN;
    provgeo[5].terrain = TM_SEA;
    provgeo[1].nbr[0] = 2;
    provgeo[1].nbr[1] = 5;
    provgeo[2].nbr[0] = 1;
    provgeo[2].nbr[1] = 0;
    provgeo[2].nbr[2] = 5;   // after the end of the list
  }
};

TEST_F(Conditions, WeatherNeedsLandAndTheRightEnchantments) {
  EXPECT_FALSE(isstorm(1));
  addench(EN_STORM, 0, 0, 1, 0);
  EXPECT_TRUE(isstorm(1));
  EXPECT_FALSE(isstorm(2));
  addench(EN_WINTER, 0, 0, -1, 0);
  EXPECT_TRUE(isstorm(2));
  EXPECT_FALSE(isstorm(5));   // never at sea
  EXPECT_FALSE(isstorm(-1));
  battlesnow = 1;
  EXPECT_TRUE(issnow(1));
  EXPECT_FALSE(issnow(5));
  addench(EN_RAIN, 0, 0, 3, 0);
  EXPECT_TRUE(israin(3));
  EXPECT_FALSE(israin(4));
  addench(EN_MIST, 0, 0, 4, 0);
  EXPECT_TRUE(isfog(4));
  EXPECT_FALSE(isstorm(MAXLANDS));
}

TEST_F(Conditions, SolarBrillianceLiftsEveryDarkness) {
  addench(EN_FAMINE, 0, 0, -1, 0);
  EXPECT_TRUE(isdarkness(1));
  addench(EN_LIGHT, 0, 0, 1, 0);
  EXPECT_FALSE(isdarkness(1));
  addench(EN_DARKNESS, 0, 0, 2, 0);
  EXPECT_TRUE(isdarkness(2));
}

TEST_F(Conditions, CoastsAndNeighbours) {
  EXPECT_TRUE(iscoastal(1));
  EXPECT_FALSE(iscoastal(2));   // the sea entry lies past the end of its list
  EXPECT_FALSE(iscoastal(5));
  EXPECT_FALSE(iscoastal(1505));
  EXPECT_DEATH(iscoastal(-1), "lic: bad lnr");
  EXPECT_TRUE(isneighbour(1, 5));
  EXPECT_FALSE(isneighbour(2, 5));
  EXPECT_FALSE(isneighbour(-1, 5));
}

TEST_F(Conditions, FlyingOverTheSeaNeedsAWaterBody) {
  const int32_t bird = mkunit(2, 0, 5);
  const int32_t hawk = mkunit(3, 0, 5);
  EXPECT_FALSE(canfly(bird));
  EXPECT_TRUE(canfly(hawk));
  setunitland(bird, 1);
  EXPECT_TRUE(canfly(bird));
  addench(EN_STORM, 0, 0, 1, 0);
  EXPECT_FALSE(canfly(bird));
  addtypeability(2, AB_STORMIMMUNE, 1);
  EXPECT_TRUE(canfly(bird));
}

TEST_F(Conditions, FlyersMoveOneMoreUpToThree) {
  const int32_t bird = mkunit(2, 0, 1);
  EXPECT_EQ(getmapmove(bird), 3);
  unittypes[2].mapmove = 3;
  EXPECT_EQ(getmapmove(bird), 3);
  const int32_t walker = mkunit(1, 0, 1);
  EXPECT_EQ(getmapmove(walker), 2);
  const int32_t hawk = mkunit(3, 0, -1);   // no land: an amphibious type is on water
  EXPECT_EQ(getmapmove(hawk), 2);
  EXPECT_DEATH(getmapmove(-1), "getmapmove: bad unr");
  EXPECT_DEATH(getmapmove(highestunit + 1), "getmapmove: bad unr");
}

TEST_F(Conditions, ArmyMovesAtItsSlowestLedUnit) {
  const int32_t c = mkcom(2, 0, 1);
  com[c].squad[0] = 900;
  const int32_t slow = mkunit(1, 0, 1);
  setunitsquad(slow, 900);
  unit[slow].hp = 0;   // hit points are not tested
  const int32_t away = mkunit(1, 0, 2);
  unittypes[1].mapmove = 1;
  setunitsquad(away, 900);
  EXPECT_EQ(armymapmove(c), 1);
  setunitland(slow, 3);
  EXPECT_EQ(armymapmove(c), 3);
  EXPECT_EQ(armymapmove(-1), 0);
  EXPECT_EQ(armyflags(c), MF_FLYING);
  const int32_t mate = mkunit(1, 0, 1);
  setunitsquad(mate, 900);
  EXPECT_EQ(armyflags(c), 0u);
}

TEST_F(Conditions, TheVoidAndSacredness) {
  const int32_t u = mkunit(1, 0, VOIDLAND);
  EXPECT_TRUE(invoid(u));
  setunitland(u, 0);
  EXPECT_FALSE(invoid(u));
  strcpy(land[0].name, "The Void");
  EXPECT_TRUE(invoid(u));
  addtypeability(1, AB_VOIDSANITY, 1);
  EXPECT_FALSE(invoid(u));
  unit[u].flags[1] = ST_PROPHET;
  EXPECT_TRUE(issacred(u));
  EXPECT_TRUE(isholy(u));
  unit[u].flags[2] = F3_PRETENDER;
  EXPECT_FALSE(issacred(u));
  EXPECT_FALSE(issacred(-1));
}

TEST_F(Conditions, PriestsAndHolyTypesAreHoly) {
  const int32_t c = mkcom(1, 0, 1);
  EXPECT_FALSE(isholy(bodyunit(c)));
  com[c].path[P_PRIEST] = 1;
  EXPECT_TRUE(isholy(bodyunit(c)));
  unit[bodyunit(c)].flags[0] = AF_FEEBLEMINDED;
  EXPECT_FALSE(isholy(bodyunit(c)));
  unittypes[1].flags |= MF_HOLY;
  EXPECT_TRUE(isholy(mkunit(1, 0, 1)));
}

TEST_F(Conditions, StatesThatStopActing) {
  const int32_t u = mkunit(1, 0, 1);
  EXPECT_FALSE(cannotact(u));
  unit[u].fatigue = 100;
  EXPECT_TRUE(cannotact(u));
  unit[u].fatigue = 0;
  unit[u].flags[0] = 0x20000000;
  EXPECT_TRUE(cannotact(u));
  unit[u].flags[0] = 0;
  unit[u].abil[0] = AB_PARALYZED;
  unit[u].abilval[0] = 3;
  EXPECT_TRUE(cannotact(u));
}

TEST_F(Conditions, BurningAndFreezing) {
  const int32_t u = mkunit(1, 0, 1);
  EXPECT_TRUE(mayburn(u));
  EXPECT_TRUE(mayfreeze(u));
  setunitland(u, 5);
  EXPECT_FALSE(mayburn(u));
  setunitland(u, -1);
  EXPECT_TRUE(mayburn(u));
  unittypes[1].flags = MF_FIRERES;
  EXPECT_FALSE(mayburn(u));
  unittypes[1].flags = MF_COLDRES;
  EXPECT_FALSE(mayfreeze(u));
  unittypes[1].flags = 0;
  unit[u].flags[2] = 0x8000;
  EXPECT_FALSE(mayfreeze(u));
  EXPECT_TRUE(mayburn(u));
}

TEST_F(Conditions, NativeTerrainAndWater) {
  unittypes[1].flags = MF_FORESTSURVIVAL;
  provgeo[2].terrain = TM_FOREST;
  const int32_t u = mkunit(1, 0, 2);
  EXPECT_TRUE(nativeter(u));
  setunitland(u, 3);
  EXPECT_FALSE(nativeter(u));
  setunitland(u, 2000);
  EXPECT_FALSE(nativeter(u));
  unit[u].type = 5000;
  EXPECT_DEATH(nativeter(u), "nativeter: bad mnr");
  unit[u].type = 1;
  EXPECT_TRUE(survivesonland(u));
  unittypes[1].flags = MF_AQUATIC;
  EXPECT_FALSE(survivesonland(u));
  EXPECT_TRUE(breatheswater(u));
}

TEST_F(Conditions, HolyUnitsBreatheWaterInTheirGodsVeyrance) {
  nations[3].attrkey[0] = NA_HOLYWATERBREATHING;
  nations[3].attrval[0] = 1;
  unittypes[1].flags = MF_HOLY;
  const int32_t u = mkunit(1, 3, 5);
  land[5].veyowner = 3;
  land[5].veystr = 2;
  EXPECT_TRUE(breatheswater(u));
  land[5].veystr = 0;
  EXPECT_FALSE(breatheswater(u));
  addench(EN_WATERFORALL, 0, 0, -1, 0);
  EXPECT_TRUE(breatheswater(u));
  unit[u].abil[0] = AB_NOWATER;
  unit[u].abilval[0] = 100;
  EXPECT_FALSE(breatheswater(u));
}

TEST_F(Conditions, DefaultSlotsOfMountedAndPlainTypes) {
  unittypes[1].flags = MF_MOUNTED;
  EXPECT_EQ(nbrslotsofkind(1, SLOT_HAND), 2);
  EXPECT_EQ(nbrslotsofkind(1, SLOT_HEAD), 1);
  EXPECT_EQ(nbrslotsofkind(1, SLOT_BODY), 1);
  EXPECT_EQ(nbrslotsofkind(1, SLOT_FEET), 0);
  EXPECT_EQ(nbrslotsofkind(1, SLOT_MISC), 2);
  EXPECT_EQ(nbrslotsofkind(2, SLOT_FEET), 1);
  unittypes[2].flags |= MF_NOITEM;
  EXPECT_EQ(nbrslotsofkind(2, SLOT_MISC), 2);
  EXPECT_EQ(nbrslotsofkind(2, SLOT_HAND), 0);
  addtypeability(3, AB_ITEMSLOTS, 1);
  EXPECT_EQ(typeslotkind(3, 0), 0);
  EXPECT_EQ(typeslotkind(-1, 0), 0);
}

TEST_F(Conditions, LostArmAndHeadTakeTheFirstSlotOfTheirKind) {
  const int32_t u = mkunit(1, 0, 1);
  EXPECT_EQ(unitslotkind(u, 0), SLOT_HAND);
  EXPECT_EQ(unitslotkind(u, 1), SLOT_HAND);
  unit[u].flags[0] = AF_LOSTARM | AF_LOSTHEAD;
  EXPECT_EQ(unitslotkind(u, 0), SLOT_HAND);
  EXPECT_EQ(unitslotkind(u, 1), SLOT_BODY);
  EXPECT_EQ(unitslotkind(u, 5), 0);
}

TEST_F(Conditions, HeadSlotsFollowTheItemSlotMask) {
  const int32_t u = mkunit(1, 0, 1);
  EXPECT_EQ(nbrheadslots(u), 1);
  addtypeability(1, AB_ITEMSLOTS, 0x100 | 0x80 | 0x2);
  EXPECT_EQ(nbrheadslots(u), 2);
  unit[u].flags[0] = AF_LOSTHEAD;
  EXPECT_EQ(nbrheadslots(u), 1);
  unittypes[1].abilityval[0] = 0x80 | 0x2;
  EXPECT_EQ(nbrheadslots(u), 0);
  unittypes[1].abilityval[0] = 0x2;
  unit[u].flags[0] = 0;
  EXPECT_EQ(nbrheadslots(u), 0);
  unittypes[1].flags = MF_NOITEM;
  EXPECT_EQ(nbrheadslots(u), 0);
}

TEST_F(Conditions, PackedCommanderItemsBySlotKind) {
  setitem(10, "Ring", IT_MISC);
  setitem(11, "Amulet", IT_MISC);
  const int32_t c = mkcom(1, 0, 1);
  com[c].item[6] = 11;
  com[c].item[0] = 10;   // a misc item in a hand slot is found as a hand item
  EXPECT_EQ(comslotitem(c, SLOT_MISC, 0), 11);
  EXPECT_EQ(comslotitem(c, SLOT_MISC, 1), 0);
  EXPECT_EQ(comslotitem(c, SLOT_HAND, 0), 10);
  EXPECT_EQ(comslotitem(-1, SLOT_HAND, 0), 0);
}

TEST_F(Conditions, BattleOrdersOfCommandersAndSquadMembers) {
  const int32_t c = mkcom(1, 0, 1);
  com[c].batorder = BO_CAST;
  com[c].battarget = 7;
  com[c].squad[3] = 44;
  com[c].sqorder[3] = BO_FIRE;
  com[c].sqtarget[3] = 2;
  const int32_t u = mkunit(1, 0, 1);
  setunitsquad(u, 44);
  EXPECT_EQ(getbattleorder(bodyunit(c)), BO_CAST);
  EXPECT_EQ(getbattleorderparam(bodyunit(c)), 7);
  EXPECT_EQ(getbattleorder(u), BO_FIRE);
  EXPECT_EQ(getbattleorderparam(u), 2);
  setunitsquad(u, 45);
  EXPECT_EQ(getbattleorder(u), 0);
  EXPECT_DEATH(getbattleorder(-1), "ubp: bad unr");
}

TEST_F(Conditions, SizeOfABadTypeStops) {
  const int32_t u = mkunit(1, 0, 1);
  EXPECT_EQ(getsize(u), 2);
  unit[u].type = -1;
  EXPECT_DEATH(getsize(u), "getsize: bad m");
}
