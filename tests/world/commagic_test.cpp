// Commander magic levels, leadership and commander queries.
#include <gtest/gtest.h>

#include "support/smallworld.h"

class ComMagic : public ::testing::Test {
 protected:
  void SetUp() override {
    makesmallworld();
    settype(1, "Mage");
    settype(2, "Soldier");
    setitem(10, "Fire Brand", IT_MISC);
    additemability(10, AB_MAGICBOOST, 1);   // +1 Fire
    setitem(11, "Staff", IT_MISC);
    additemability(11, AB_MAGICBOOSTALL, 1);   // +1 every path but Priest
    setitem(12, "Orb", IT_MISC);
    additemability(12, AB_MAGICBOOST, 2);
    c = mkcom(1, 0, 1);
  }
  int32_t c = -1;
};

TEST_F(ComMagic, ItemsRaiseOnlyPathsTheCommanderHas) {
  com[c].item[0] = 10;
  com[c].item[1] = 11;
  EXPECT_EQ(getcommagic(c, P_FIRE), 0);
  EXPECT_EQ(getcommagic(c, P_WATER), 0);
  com[c].path[P_FIRE] = 1;
  EXPECT_EQ(getcommagic(c, P_FIRE), 3);
  com[c].path[P_PRIEST] = 2;
  EXPECT_EQ(getcommagic(c, P_PRIEST), 2);
}

TEST_F(ComMagic, ACopyOfOneOfTheTwoLastItemsCountsOnce) {
  com[c].path[P_FIRE] = 1;
  com[c].item[0] = 10;
  com[c].item[1] = 12;
  com[c].item[2] = 10;
  EXPECT_EQ(getcommagic(c, P_FIRE), 1 + 1 + 2);
  com[c].item[2] = 11;
  com[c].item[3] = 10;
  EXPECT_EQ(getcommagic(c, P_FIRE), 1 + 1 + 2 + 1 + 1);
}

TEST_F(ComMagic, SumsOverPaths) {
  com[c].path[P_FIRE] = 2;
  com[c].path[P_PRIEST] = 3;
  com[c].path[P_NATURE] = 1;
  com[c].path[P_BLOOD] = 4;
  EXPECT_EQ(getcommagic(c, 53), 7);
  EXPECT_EQ(getcommagic(c, 55), 10);
  EXPECT_EQ(getcommagic(c, 56), 3);
  EXPECT_EQ(getcommagic(c, 9), 0);
  EXPECT_EQ(getcommagic(c, -1), 0);
  EXPECT_EQ(getcommagic(-1, P_FIRE), 0);
  EXPECT_EQ(getcommagic(MAXCOMS, P_FIRE), 0);
}

TEST_F(ComMagic, TypeBoostsMutenessAndFeeblemindedness) {
  com[c].path[P_WATER] = 3;
  addtypeability(1, AB_MAGICBOOST + P_WATER, 1);
  addtypeability(1, AB_MAGICBOOSTALL, 1);
  EXPECT_EQ(getcommagic(c, P_WATER), 5);
  EXPECT_EQ(getcommagic(c, P_AIR), 0);   // no Air: no type bonus either
  unit[bodyunit(c)].flags[0] = AF_MUTE;
  EXPECT_EQ(getcommagic(c, P_WATER), 3);
  unit[bodyunit(c)].flags[0] = AF_FEEBLEMINDED;
  EXPECT_EQ(getcommagic(c, P_WATER), 0);
  unit[bodyunit(c)].flags[0] = 0;
  com[c].tmpfx = 105;
  EXPECT_EQ(getcommagic(c, P_WATER), 3);
}

TEST_F(ComMagic, BodyStatesAndEnchantmentsAddLevels) {
  const int32_t b = bodyunit(c);
  com[c].path[P_EARTH] = 1;
  com[c].path[P_AIR] = 1;
  com[c].path[P_ASTRAL] = 1;
  unit[b].flags[2] = 0x1000 | 0x20000 | 0x2000;
  EXPECT_EQ(getcommagic(c, P_EARTH), 4);
  EXPECT_EQ(getcommagic(c, P_AIR), 3);
  addench(EN_WINTER, 0, 0, -1, 0);
  EXPECT_EQ(getcommagic(c, P_AIR), 4);
  addench(EN_ARCANENEXUS, 0, 0, 1, 0);
  EXPECT_EQ(getcommagic(c, P_ASTRAL), 4);
  unit[b].homeland = 7;
  unit[b].abil[0] = AB_FOREIGNMAGIC;
  unit[b].abilval[0] = 2;
  EXPECT_EQ(getcommagic(c, P_ASTRAL), 6);
  setitem(13, "Skull of Doubt", IT_MISC);
  additemability(13, AB_MAGICSCALE, 50);
  com[c].item[5] = 13;
  EXPECT_EQ(getcommagic(c, P_ASTRAL), 3);
}

TEST_F(ComMagic, BestPathPrefersTheLowestOnTies) {
  EXPECT_EQ(bestpath(c), 0);
  com[c].path[P_WATER] = 2;
  com[c].path[P_BLOOD] = 2;
  EXPECT_EQ(bestpath(c), P_WATER);
  com[c].path[P_BLOOD] = 3;
  EXPECT_EQ(bestpath(c), P_BLOOD);
}

TEST_F(ComMagic, MagePriestPredicatesReadBaseLevels) {
  EXPECT_FALSE(ismageorpriest(c));
  com[c].path[P_PRIEST] = 1;
  EXPECT_TRUE(ispriest(c));
  EXPECT_FALSE(ismage(c));
  EXPECT_TRUE(ismageorpriest(c));
  unit[bodyunit(c)].flags[0] = AF_FEEBLEMINDED;
  EXPECT_FALSE(ispriest(c));
  EXPECT_TRUE(hasmagicpaths(c));
  EXPECT_FALSE(ismage(-1));
}

TEST_F(ComMagic, ExpertLeaderWithFireAndExperience) {
  unittypes[1].flags2 = MF2_EXPERTLEADER;
  com[c].path[P_FIRE] = 1;
  unit[bodyunit(c)].exp = 100;
  int32_t undead = -1, magic = -1;
  EXPECT_EQ(maxcomunits(c, &undead, &magic), 250);
  // A mage gets undead and magic leadership from its paths.
  EXPECT_EQ(undead, 0);
  EXPECT_EQ(magic, 5);
  unit[bodyunit(c)].flags[0] = AF_MUTE;
  EXPECT_EQ(maxcomunits(c, nullptr, nullptr), (250 + 3) / 4);
}

TEST_F(ComMagic, UndeadAndMagicLeadership) {
  unittypes[1].flags2 = MF2_GOODUNDEADLEADER | MF2_POORMAGICLEADER | MF2_NOLEADER;
  com[c].path[P_DEATH] = 2;
  com[c].path[P_PRIEST] = 2;
  nations[0].attrkey[0] = NA_PRIESTREANIM;
  nations[0].attrval[0] = 1;
  int32_t undead = 0, magic = 0;
  EXPECT_EQ(maxcomunits(c, &undead, &magic), 0);
  EXPECT_EQ(undead, 0);                 // no leader: undead leadership is gone too
  EXPECT_EQ(magic, 10 + 0);             // a poor magic leader keeps magic leadership
  unittypes[1].flags2 = MF2_GOODUNDEADLEADER;
  com[c].tmpfx = 102;
  com[c].tmpfxstr = 20;
  EXPECT_EQ(maxcomunits(c, &undead, &magic), 40);
  EXPECT_EQ(undead, 80 + 10 + 60 + 30);
  EXPECT_DEATH(maxcomunits(9000, nullptr, nullptr), "maxcomunits: bad cnr");
  com[c].body = -1;
  EXPECT_DEATH(maxcomunits(c, nullptr, nullptr), "maxcomunits: bad unr");
}

TEST_F(ComMagic, ArmyIsFullWhenEveryClassIsFull) {
  unittypes[1].flags2 = MF2_POORLEADER;
  com[c].squad[0] = 300;
  for (int i = 0; i < 10; i++) setunitsquad(mkunit(2, 0, 1), 300);
  EXPECT_EQ(nbrcomunits(c), 10);
  EXPECT_TRUE(comarmyfull(c));
  unit[highestunit].hp = 0;
  EXPECT_FALSE(comarmyfull(c));
  EXPECT_TRUE(comarmyfull(-1));
}

TEST_F(ComMagic, PriestPowersDependOnTheNation) {
  com[c].path[P_PRIEST] = 2;
  EXPECT_EQ(reanimatelevel(c), 0);
  nations[0].attrkey[0] = NA_PRIESTREANIM;
  nations[0].attrval[0] = 1;
  EXPECT_EQ(reanimatelevel(c), 2);
  nations[0].attrkey[1] = NA_MANIKINS;
  nations[0].attrval[1] = 1;
  EXPECT_EQ(reanimatelevel(c), 0);
  unittypes[1].flags = MF_UNDEAD;
  EXPECT_EQ(reanimatelevel(c), 3);
  EXPECT_EQ(manikinlevel(c), 2);
  EXPECT_EQ(callspiritslevel(c), 0);
  nations[0].attrkey[2] = NA_CALLSPIRITS;
  nations[0].attrval[2] = 1;
  EXPECT_EQ(callspiritslevel(c), 3);
  unittypes[1].flags = 0;
  EXPECT_EQ(callspiritslevel(c), 0);
  com[c].path[P_DEATH] = 1;
  EXPECT_EQ(callspiritslevel(c), 2);
}

TEST_F(ComMagic, CommanderSearchesByOrderLandAndOwner) {
  const int32_t d = mkcom(2, 1, 2);
  com[c].order = Order::research;
  com[d].order = Order::research;
  EXPECT_EQ(findcomwithorder(-1, -1, Order::research), c);
  EXPECT_EQ(findcomwithorder(1, -1, Order::research), d);
  EXPECT_EQ(findcomwithorder(-1, 3, Order::research), -1);
  EXPECT_EQ(countcomwithorder(-1, -1, Order::research), 2);
  unit[bodyunit(c)].hp = 0;
  EXPECT_EQ(countcomwithorder(-1, -1, Order::research), 1);
  EXPECT_EQ(comowner(d), 1);
  EXPECT_EQ(comowner(-1), -1);
  com[d].order = Order::movepatrol;
  com[d].orderparam = 9;
  EXPECT_EQ(comdestination(d), 9);
  com[d].order = Order::defend;
  EXPECT_EQ(comdestination(d), -1);
}

TEST_F(ComMagic, BestLevelInALandAndSmallQueries) {
  const int32_t d = mkcom(1, 0, 1);
  com[c].path[P_AIR] = 1;
  com[d].path[P_AIR] = 3;
  EXPECT_EQ(bestpathinland(0, 1, P_AIR), 3);
  EXPECT_EQ(bestpathinland(1, 1, P_AIR), 0);
  com[d].squad[1] = 5;
  EXPECT_EQ(nbrsquads(d), 1);
  EXPECT_EQ(nbrsquads(-1), 0);
  com[d].gems[0] = 200;
  com[d].gems[7] = 100;
  com[d].gems[8] = 50;   // holy gems are not counted
  EXPECT_EQ(getcomgems(d), 300);
  EXPECT_FALSE(hasitemspell(d));
  setitem(14, "Wand", IT_MISC);
  strcpy(items[14].spell, "Fire Bolt");
  com[d].item[6] = 14;
  EXPECT_TRUE(hasitemspell(d));
}
