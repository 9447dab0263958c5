// Name look-ups and nation attributes, over small hand-made tables so that
// the cases do not depend on the authored data.
#include <gtest/gtest.h>

#include <cstring>

#include "world/gamedata.h"

namespace {

class GameDataLookups : public ::testing::Test {
 protected:
  void SetUp() override { cleargamedata(); }
  void TearDown() override { loadgamedata(); }
  static void endunits(int at) { unittypes[at].sprite = UNITTYPE_ENDSPRITE; strcpy(unittypes[at].name, "end"); }
};

TEST_F(GameDataLookups, UnitTypesStopAtTheEndRowAndSkipUnusedRows) {
  strcpy(unittypes[0].name, "no one");
  strcpy(unittypes[1].name, "Archer");
  // row 2 unused: empty name
  strcpy(unittypes[3].name, "Archer");
  endunits(4);
  strcpy(unittypes[5].name, "Hidden");   // past the end row
  EXPECT_EQ(findunittype("NO ONE"), 0);
  EXPECT_EQ(findunittype("archer"), 1);
  EXPECT_EQ(findunittype(""), -1);        // an unused row is never a match
  EXPECT_EQ(findunittype("Hidden"), -1);
  EXPECT_EQ(findunittype("end"), -1);
  EXPECT_EQ(findunittype(nullptr), -1);
  EXPECT_EQ(nbrofunittypes(), 4);
  EXPECT_TRUE(isusedunittype(3));
  EXPECT_FALSE(isusedunittype(2));
  EXPECT_FALSE(isusedunittype(4));
  EXPECT_FALSE(isusedunittype(-1));
  EXPECT_FALSE(isusedunittype(5));             // named, but past the end row
  EXPECT_FALSE(isusedunittype(MAXUNITTYPES));
  // without an end row the scan stops at the capacity
  unittypes[4] = Monster{};
  strcpy(unittypes[MAXUNITTYPES - 1].name, "Last");
  EXPECT_EQ(findunittype("Last"), MAXUNITTYPES - 1);
  EXPECT_EQ(nbrofunittypes(), MAXUNITTYPES);
}

TEST_F(GameDataLookups, WeaponsPreferRowsThatUseStrength) {
  strcpy(weapons[0].name, "Nothing");
  strcpy(weapons[1].name, "Bite");              // natural, no strength bit
  strcpy(weapons[2].name, "Spear");
  weapons[2].flags = WF_STRENGTH;
  strcpy(weapons[3].name, "Bite");
  weapons[3].flags = WF_STRENGTH;
  strcpy(weapons[4].name, "Sting");
  weapons[5].dmg = WEAPON_ENDDMG;
  strcpy(weapons[6].name, "Beyond");
  weapons[6].flags = WF_STRENGTH;
  EXPECT_EQ(findweapon("spear"), 2);
  EXPECT_EQ(findweapon("bite"), 3);     // the later row with the bit wins
  EXPECT_EQ(findweapon("Sting"), 4);    // second pass: any row
  EXPECT_EQ(findweapon("Beyond"), -1);
  EXPECT_EQ(findweapon(""), -1);
  EXPECT_EQ(nbrofweapons(), 5);
}

TEST_F(GameDataLookups, ArmorsItemsSitesAndSpells) {
  strcpy(armors[0].name, "Nothing");
  strcpy(armors[1].name, "Buckler");
  armors[2].def = ARMOR_ENDDEF;
  strcpy(armors[3].name, "Ghost Mail");
  EXPECT_EQ(findarmor("BUCKLER"), 1);
  EXPECT_EQ(findarmor("Ghost Mail"), -1);

  strcpy(items[0].name, "No Item");
  items[0].constlevel = ITEM_SENTINELLEVEL;
  strcpy(items[1].name, "Ring");
  items[2].constlevel = 60;                 // unused filler row
  strcpy(items[3].name, "Crown");
  items[3].constlevel = 98;
  items[4].constlevel = ITEM_ENDLEVEL;
  strcpy(items[5].name, "Lost");
  EXPECT_EQ(finditem("No Item"), 0);        // row 0 is never a match
  EXPECT_EQ(finditem("ring"), 1);
  EXPECT_EQ(finditem("Crown"), 3);
  EXPECT_EQ(finditem("Lost"), 0);
  EXPECT_EQ(finditem(""), 0);
  EXPECT_EQ(nbrofitems(), 4);

  strcpy(sites[0].name, "None");
  strcpy(sites[1].name, "Well");
  sites[2].path = SITE_ENDPATH;
  strcpy(sites[3].name, "Far");
  EXPECT_EQ(findsite("well"), 1);
  EXPECT_EQ(findsite("Far"), -1);
  EXPECT_EQ(nbrofsites(), 2);

  strcpy(spells[0].name, "Bolt");
  spells[1].researchlevel = SPELL_ENDLEVEL;
  strcpy(spells[2].name, "Hidden");
  EXPECT_EQ(findspell("bolt"), 0);
  EXPECT_EQ(findspell("Hidden"), -1);
  EXPECT_EQ(nbrofspells(), 1);
}

TEST_F(GameDataLookups, NationAttributes) {
  Nation& n = nations[3];
  for (int k = 0; k < NATIONATTRS; k++) { n.attrkey[k] = 200 + k; n.attrval[k] = k + 1; }
  EXPECT_EQ(getnatattr(3, 200), 1);
  EXPECT_EQ(getnatattr(3, 259), 60);
  EXPECT_EQ(getnatattr(3, NA_COLDPREF), 0);   // 60 keys, none the one asked
  n.attrkey[0] = NA_COLDPREF;
  n.attrval[0] = -2;
  n.attrkey[1] = 0;                           // key 0 ends the list
  EXPECT_EQ(getnatcoldpref(3), -2);
  EXPECT_EQ(getnatattr(3, 202), 0);
  n.attrkey[2] = NA_COLDPREF;                 // a later duplicate is not read
  EXPECT_EQ(getnatcoldpref(3), -2);
  EXPECT_EQ(getnatattr(-1, 200), 0);
  EXPECT_EQ(getnatattr(MAXNATIONS, 200), 0);
  EXPECT_EQ(getnatcoldpref(MAXNATIONS + 5), 0);
  nations[2].endmarker = (int32_t)(uint16_t)NATION_FREEMARK;
  EXPECT_EQ(nbrofnations(), 2);
}

TEST_F(GameDataLookups, Descriptions) {
  EXPECT_STREQ(descrtextof(0), "no description available");
  EXPECT_EQ(finddescr("anything"), 0);
  loadgamedata();
  int d = finddescr("TAX");
  EXPECT_GT(d, 0);
  EXPECT_NE(strstr(descrtextof(d), "tax"), nullptr);
  EXPECT_STREQ(descrtextof(-3), "no description available");
  EXPECT_STREQ(descrtextof(MAXDESCRS + 1), "no description available");
  EXPECT_EQ(finddescr(nullptr), 0);
}

}  // namespace
