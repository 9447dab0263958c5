// Random maps, random gods and the design check, extra start provinces.
#include "support/mapfixture.h"
#include "support/childconsole.h"
#include "support/notafile.h"

#include "ai/randgod.h"
#include "gamefiles/gamefiles.h"
#include "world/hoststate.h"
#include "world/units.h"
#include <cstring>
#include <filesystem>
#include "runtime/options.h"
#include "runtime/rnd.h"
#include "runtime/trs.h"
#include "world/gamedata.h"

namespace {

TEST(RandomMapSize, ProvinceCountsAndLimits) {
  EXPECT_EQ(randomprovinces("__largerandommap", 3, 0.0f), 48);
  EXPECT_EQ(randomprovinces("__largerandommap", 3, 4095.0f / 4096.0f), 71);
  EXPECT_EQ(randomprovinces("__smallrandommap", 1, 0.0f), 10);
  EXPECT_EQ(randomprovinces("__mediumrandommap", 40, 0.99f), 500);
  EXPECT_EQ(randomperplayer("__other"), 15);
}

class Gods : public ShippedMapFolders {
 protected:
  void SetUp() override {
    ShippedMapFolders::SetUp();
    seedrnd(21);
    srand(21);
  }
};

TEST_F(Gods, RandomGodsStayWithinTheirPointsAndPassTheCheck) {
  for (int32_t level : {1, 5}) {
    int32_t points = 50 * level < 100 ? 500 : 400 + 50 * level;
    int32_t c = randgod(3, points);
    ASSERT_GE(c, 0);
    kingdom[3].w[KW_GOD] = int16_t(c);
    EXPECT_LE(godcost(3), points);
    EXPECT_GT(godcost(3), points - 100);   // the points are spent
    EXPECT_EQ(unit[size_t(com[size_t(c)].body)].owner, 3);
  }
  int32_t c = randgod(3, 500);
  kingdom[3].w[KW_GOD] = int16_t(c);
  EXPECT_EQ(fg(3, -1), 0);
  EXPECT_EQ(fg(3, 0), 0);
  com[size_t(c)].path[P_FIRE] = 9;
  com[size_t(c)].path[P_WATER] = 9;
  EXPECT_EQ(fg(3, -1), 1);   // too many points
  for (int p = 0; p < 9; p++) com[size_t(c)].path[p] = 0;
  unit[size_t(com[size_t(c)].body)].type = 17;   // an archer is no god form
  EXPECT_EQ(fg(3, -1), 1);
  kingdom[4].w[KW_GOD] = -1;
  EXPECT_DEATH(fg(4, -1), "fg: bad c");
  EXPECT_DEATH(fg(-1, -1), "fg: bad p");
}

TEST_F(Gods, RandomMapGameInTheGameFolder) {
  settrsfolder(VEY3_DATA_DIR);   // the generator draws decorations from the data folder
  randmap = 10;
  mapsize[0] = 480, mapsize[1] = 360;
  eraoption = 1;
  nationcontrol[0] = nationcontrol[1] = 21;
  ASSERT_EQ(createnewgame("rnd", 0, nullptr), 1);
  EXPECT_GE(nbrlands, 10);
  EXPECT_TRUE(fileexists("%s/rnd/__randommap_rnd.map", savepath));
  EXPECT_TRUE(fileexists("%s/rnd/__randommap_rnd.rgb", savepath));
  EXPECT_TRUE(fileexists("%s/rnd/ftherlnd", savepath));
  EXPECT_STREQ(gameinfo.mappic, "__randommap_rnd.rgb");
  EXPECT_NE(kingdom[0].w[KW_HOMELAND], kingdom[1].w[KW_HOMELAND]);
}

TEST_F(Gods, RandomMapAllOfSeaIsMadeAndTheGameOnItRefused) {
  // The command line's sea share of 100 is taken: the map is made, and the
  // nations of the land find no start on it, which ends the run with why.
  settrsfolder(VEY3_DATA_DIR);
  static const char* args[] = {"vey3", "--randmap", "10", "--seapart", "100", "--mapsize", "400", "300", "--era",
                               "1",    "--normai",  "0",  "--normai",  "1",   "sunk"};
  EXPECT_EXIT(
      {
        parsecommandline(15, const_cast<char**>(args));
        newgamemode(gamename);
      },
      testing::ExitedWithCode(1),
      "can't find a valid starting province on the random map __randommap_sunk.map: This map has room for 0 nations on "
      "land, not for 2");
  EXPECT_FALSE(direxists("%s/sunk", savepath));
}

TEST_F(Gods, ExtraStartProvincesWalkOutward) {
  strlcopy(mapfile, "veyrmark.map", sizeof mapfile);
  eraoption = 1;
  nationcontrol[0] = nationcontrol[1] = 21;
  startprov = 3;
  ASSERT_EQ(createnewgame("extra", 0, nullptr), 1);
  for (int32_t k : {0, 1}) {
    int32_t owned = 0;
    for (int32_t l = 1; l <= nbrlands; l++)
      if (land[size_t(l)].owner == k) {
        owned++;
        EXPECT_TRUE(land[size_t(l)].vpword & 0x10);
        EXPECT_FALSE(provgeo[size_t(l)].terrain & TM_SEA);
      }
    EXPECT_EQ(owned, 3);
  }
  // A computer player's turn file is written only when asked for.
  EXPECT_FALSE(fileexists("%s/extra/%s.trn", savepath, nations[0].fileword));
}

TEST_F(Gods, HumanGodsFromTheirDesignsAndTheCheatCheck) {
  mkdirs((root + "/save/hum").c_str());
  // Designs of nations 0 (within the rules) and 1 (far too strong).
  for (int32_t k : {0, 1}) {
    int32_t c = newcom(nations[size_t(k)].godform[0], k);
    ASSERT_GE(c, 0);
    com[size_t(c)].path[P_FIRE] = k == 0 ? 2 : 9;
    com[size_t(c)].path[P_EARTH] = k == 0 ? 0 : 9;
    com[size_t(c)].veyvalue = 3;
    strlcopy(com[size_t(c)].name, k == 0 ? "Good" : "Greedy", 36);
    writenewlord("hum", k, c, k == 0 ? "pw0" : "pw1");
  }
  clearworld();
  kingdom[0].w[KW_CONTROLLER] = kingdom[1].w[KW_CONTROLLER] = CTRL_HUMAN;
  strlcopy(mapfile, "testvale.map", sizeof mapfile);
  eraoption = 1;
  ASSERT_EQ(createnewgame("hum", 0, nullptr), 1);
  int32_t good = kingdom[0].w[KW_GOD], greedy = kingdom[1].w[KW_GOD];
  EXPECT_STREQ(kingdom[0].godname, "Good");
  EXPECT_STREQ(password[0], "pw0");
  EXPECT_EQ(com[size_t(good)].path[P_FIRE], 2);
  EXPECT_EQ(com[size_t(greedy)].path[P_FIRE], 0);
  EXPECT_EQ(kingdom[1].godpath[P_EARTH], 0);
  EXPECT_EQ(unit[size_t(com[size_t(greedy)].body)].type, 244);
  bool told = false;
  for (int32_t m = 0; m <= highestmsg; m++)
    if (message[size_t(m)].player == 0 && strstr(message[size_t(m)].text, "has cheated")) told = true;
  EXPECT_TRUE(told);
  // Human players get their turn files with their passwords.
  EXPECT_TRUE(fileexists("%s/hum/%s.trn", savepath, nations[0].fileword));
  // A human without a design stops with a clear message.
  clearworld();
  kingdom[2].w[KW_CONTROLLER] = CTRL_HUMAN;
  EXPECT_DEATH(createnewgame("hum", 0, nullptr), "No usable pretender design");
}

// A FIFO, a folder or a device where a player's design should stand in the
// game's folder stops the new game with one line that names the file and
// what stands there, where the FIFO was said in a line of its own before
// the stop, which did not name it, and the folder was not named at all.
TEST_F(Gods, ADesignThatIsNoFileIsNamedOnceInTheStop) {
  const std::string folder = root + "/save/hum";
  const std::string design = folder + "/" + nations[1].fileword + ".2h";
  for (const NotAFile& c : notafiles) {
    SCOPED_TRACE(c.kind);
    std::filesystem::remove_all(folder);
    mkdirs(folder.c_str());
    if (c.plant(design.c_str()) != 0) {
      EXPECT_STREQ(c.kind, "device") << "cannot be made here";
      continue;
    }
    const ChildEnd e = runwithconsole(root, [] {
      const struct rlimit nocore = {0, 0};   // the stop aborts
      setrlimit(RLIMIT_CORE, &nocore);
      clearworld();
      kingdom[0].w[KW_CONTROLLER] = CTRL_AI;
      kingdom[1].w[KW_CONTROLLER] = CTRL_HUMAN;
      strlcopy(mapfile, "testvale.map", sizeof mapfile);
      eraoption = 1;
      createnewgame("hum", 0, nullptr);
      return 0;
    });
    EXPECT_FALSE(e.exited) << e.out;
    const std::string stop = std::string("No usable pretender design for ") + nations[1].name + " in game hum: " +
                             design + ": it is a " + c.kind + ", not a file\n";
    EXPECT_NE(e.out.find(stop), std::string::npos) << e.out;
    EXPECT_EQ(e.out.find(nations[1].fileword), e.out.rfind(nations[1].fileword)) << e.out;
  }
}

}  // namespace
