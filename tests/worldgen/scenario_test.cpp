// The scenario commands of a map file and their limits.
#include "support/mapfixture.h"

#include <cstring>

#include "world/builders.h"
#include "world/gamedata.h"
#include "world/magic.h"
#include "world/units.h"

namespace {

class Scenario : public testing::Test {
 protected:
  static void SetUpTestSuite() { loadgamedata(); }
  void SetUp() override {
    clearworld();
    resetbuilder();
    nbrlands = 30;
    for (int32_t l = 0; l < MAXLANDS; l++) provgeo[size_t(l)].x = provgeo[size_t(l)].y = 10;
  }
  static int run(const std::string& text, int nogods = 0) {
    std::vector<char> copy(text.begin(), text.end());
    return readscenario(copy.data(), int32_t(copy.size()), nogods);
  }
  static int32_t unitsin(int32_t lnr) {
    int32_t n = 0;
    for (int32_t u = 0; u <= highestunit; u++) n += unit[size_t(u)].hp > 0 && unit[size_t(u)].land == lnr;
    return n;
  }
  // A nation in play with a god commander in land 3.
  static int32_t godfor(int32_t nation) {
    kingdom[size_t(nation)].w[KW_CONTROLLER] = CTRL_AI;
    int32_t c = newcom(240, nation);
    setunitland(com[size_t(c)].body, 3);
    com[size_t(c)].path[P_FIRE] = 3;
    com[size_t(c)].path[P_PRIEST] = 2;
    kingdom[size_t(nation)].w[KW_GOD] = int16_t(c);
    return c;
  }
};

TEST_F(Scenario, LandNamesBuildingsOwnersAndPopulations) {
  EXPECT_EQ(run("#vey2title x\n#landname 1503 \"Far % End\"\n#landname 1504 \"Never\"\n#landname 5 \"\"\n"
                "#setland 7\n#fort 3\n#temple\n#lab\n#owner 4\n#unrest 500\n#population 12345\n#poptype 25\n"
                "#defence 125\n#setland 8\n#fort 50\n#unrest 501\n#population 250001\n#poptype 100\n#owner 95\n"
                "#defense 126\n"),
            1);
  EXPECT_STREQ(land[1503].name, "Far   End");
  EXPECT_STREQ(land[1504].name, "");
  const Land& l = land[7];
  EXPECT_EQ(l.fort, 3);
  EXPECT_EQ(l.temple, 1);
  EXPECT_EQ(l.lab, 1);
  EXPECT_EQ(l.owner, 4);
  EXPECT_EQ(l.fortholder, 4);
  EXPECT_EQ(l.unrest, 500);
  EXPECT_EQ(l.population, 1234);
  EXPECT_EQ(l.poptype, 25);
  EXPECT_EQ(l.provdef, 125);
  const Land& m = land[8];
  EXPECT_EQ(m.fort, 0);
  EXPECT_EQ(m.unrest, 0);
  EXPECT_EQ(m.population, -1);
  EXPECT_EQ(m.poptype, -1);
  EXPECT_EQ(m.owner, INDEPENDENTS);
  EXPECT_EQ(m.provdef, 0);
  run("#setland 8\n#population 0\n#defence 20\n");
  EXPECT_EQ(land[8].population, 0);
  EXPECT_EQ(land[8].provdef, 20);
  // An owner byte that reads as a number above 94 takes no defence.
  land[9].owner = 120;
  run("#setland 9\n#defence 20\n");
  EXPECT_EQ(land[9].provdef, 0);
  // Without a valid current land nothing changes.
  run("#setland 0\n#temple\n#setland 1504\n#lab\n");
  EXPECT_EQ(land[0].temple, 0);
  EXPECT_EQ(land[1504].lab, 0);
}

TEST_F(Scenario, LandKillsItsUnitsCommandersGetTroopsAndMagic) {
  land[4].fortholder = 6;
  spawnunits(18, INDEPENDENTS, 5, 4, -1);
  ASSERT_EQ(unitsin(4), 5);
  run("#land 4\n#commander \"Priest\"\n#comname \"Old %Man\"\n#units 5000 \"Militia\"\n#bodyguards 500 38\n"
      "#units 0 18\n#mag_fire 25\n#mag_death -1\n#mag_priest 3\n#xp 1000\n#additem \"Enchanted Sword\"\n");
  int32_t c = builder.com;
  ASSERT_GE(c, 0);
  EXPECT_STREQ(com[size_t(c)].name, "Old  Man");
  EXPECT_EQ(unit[size_t(com[size_t(c)].body)].owner, 6);
  EXPECT_EQ(unit[size_t(com[size_t(c)].body)].land, 4);
  EXPECT_EQ(com[size_t(c)].path[P_FIRE], 19);
  EXPECT_EQ(com[size_t(c)].path[P_DEATH], 0);
  EXPECT_EQ(com[size_t(c)].path[P_PRIEST], 3);
  EXPECT_EQ(unit[size_t(com[size_t(c)].body)].exp, 900);
  EXPECT_EQ(com[size_t(c)].item[0] > 0 || com[size_t(c)].item[1] > 0 || com[size_t(c)].item[2] > 0, true);
  EXPECT_EQ(squadunitcount(com[size_t(c)].squad[0]), 999);
  EXPECT_EQ(squadunitcount(com[size_t(c)].squad[1]), 100);
  EXPECT_EQ(com[size_t(c)].squad[2], -1);
  EXPECT_EQ(unitsin(4), 1 + 999 + 100);   // the five earlier units were killed
  run("#clearmagic\n");
  EXPECT_EQ(com[size_t(c)].path[P_FIRE], 0);
  EXPECT_EQ(com[size_t(c)].path[P_PRIEST], 3);
}

TEST_F(Scenario, CommanderNeedsAValidLandAndAKnownType) {
  run("#setland 1504\n#commander 240\n#setland 5\n#commander \"No Such Thing\"\n#commander 4000\n");
  EXPECT_EQ(highestcom, -1);
  // Troops, bodyguards, items and magic without a commander to join are left out.
  run("#setland 5\n#bodyguards 2 20\n#units 3 20\n#additem \"No Item\"\n#mag_fire 2\n");
  EXPECT_EQ(highestcom, -1);
  EXPECT_EQ(unitsin(5), 0);
}

TEST_F(Scenario, GodsAreReplacedAndRenamed) {
  int32_t g = godfor(3);
  run("#god 3 \"Priest\"\n#comname \"Aten\"\n#mag_astral 4\n");
  EXPECT_STREQ(kingdom[3].godname, "Aten");
  EXPECT_EQ(com[size_t(g)].path[P_FIRE], 0);
  EXPECT_EQ(com[size_t(g)].path[P_PRIEST], 2);
  EXPECT_EQ(kingdom[3].godpath[P_ASTRAL], 4);   // copied after the pass
  // comname after a commander renames that one, not the god.
  run("#god 3 240\n#setland 2\n#commander 240\n#comname \"Bob\"\n");
  EXPECT_STREQ(kingdom[3].godname, "Aten");
  // In the map editor pass the god command is skipped without checks.
  run("#god 9 240\n", 1);
  EXPECT_DEATH(run("#god 9 240\n"), "#god: this nation is not in play");
  kingdom[9].w[KW_CONTROLLER] = CTRL_AI;
  kingdom[9].w[KW_GOD] = -1;
  EXPECT_DEATH(run("#god 9 240\n"), "bad god cnr");
}

TEST_F(Scenario, SitesBattlegroundsScalesAlliancesVictory) {
  land[6].vpword = 1;
  run("#setland 6\n#knownfeature \"Mine of the Cyclops\"\n#feature 1\n#features 40\n#skybox \"sky.tga\"\n"
      "#batmap \"../x.v3m\"\n#groundcol 1 2 3\n#fogcol 4 5 6\n#victorypoints 6 2\n#victorypoints 7 8\n"
      "#victorycondition 3 12\n#allies 3 3\n#allies 1 95\n#cannotwin 5\n#nostart 9\n#nonamefilter\n"
      "#scale_cold 2 3\n#scale_unmagic 2 -4\n#veyrancestr 2 5\n#wraparound\n");
  EXPECT_EQ(land[6].site[0], findsite("Mine of the Cyclops"));
  EXPECT_EQ(land[6].sitefound[0], 1);
  EXPECT_EQ(land[6].site[1], 1);
  EXPECT_STREQ(provgeo[6].skybox, "sky.tga");
  EXPECT_STREQ(provgeo[6].batmap, "");
  EXPECT_EQ(provgeo[6].groundcol[2], 3);
  EXPECT_EQ(provgeo[6].fogcol[0], 4);
  EXPECT_EQ(land[6].vpword, 3);
  EXPECT_EQ(land[7].vpword, 0);
  EXPECT_EQ(gameinfo.victory, 3);
  EXPECT_EQ(gameinfo.victoryvalue, 12);
  EXPECT_EQ(diplomacy[3][3], 255);
  EXPECT_EQ(kingdom[5].w[KW_MAYWIN], 0);
  EXPECT_TRUE(provgeo[9].terrain & TM_NOSTART);
  EXPECT_TRUE(gameinfo.gameflags & 4);
  EXPECT_EQ(veyrec[2].scale[SC_COLD], 3);
  EXPECT_EQ(veyrec[2].scale[SC_DRAIN], 0);
  EXPECT_EQ(gameinfo.wraparound, 1);
  run("#setland 6\n#killfeatures\n");
  EXPECT_EQ(land[6].site[0], 0);
  EXPECT_EQ(land[6].sitefound[0], 1);
}

TEST_F(Scenario, StartSpellsAndVersion) {
  int32_t spell = 1;
  while (spell < MAXSPELLS && !spells[size_t(spell)].name[0]) spell++;
  ASSERT_LT(spell, MAXSPELLS);
  std::string text = std::string("#startspell 4 \"") + spells[size_t(spell)].name + "\"\n#startspell 4 \"Nothing Like It\"\n";
  run(text);
  EXPECT_EQ(spellbook[4][0], spell);
  EXPECT_EXIT(run("#veyversion 400\n"), testing::ExitedWithCode(1), "Veyrances version is too old");
}

}  // namespace
