// A small world for the tests of single host phases: the built-in game data,
// ten provinces in a row (each the neighbour of the next), two nations in
// play with a capital each (fort, laboratory, temple), independents
// everywhere else, and helpers that place commanders and armies.
#pragma once
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstring>
#include <string>
#include <vector>

#include "battle/battle.h"
#include "gamedata_ids.h"
#include "gamefiles/gamefiles.h"
#include "host/host.h"
#include "host/hostinternal.h"
#include "host/phases.h"
#include "mods/mods.h"
#include "runtime/fatal.h"
#include "runtime/folders.h"
#include "runtime/options.h"
#include "runtime/rnd.h"
#include "runtime/util.h"
#include "world/forts.h"
#include "world/gamedata.h"
#include "world/magic.h"
#include "world/rules.h"
#include "world/siteentry.h"
#include "world/units.h"
#include "world/world.h"
#include "worldgen/worldgen.h"
#include "support/scratch.h"

class HostWorld : public ::testing::Test {
 protected:
  static constexpr int32_t A = 0, B = 1;      // the two nations
  static constexpr int32_t AHOME = 2, BHOME = 8;
  std::string tmp;

  static void SetUpTestSuite() { loadgamedata(); }

  void SetUp() override {
    tmp = makescratch("vey3host");
    strlcopy(temppath, tmp.c_str(), PATHLEN);
    clearworld();
    defaultgeneral();
    seedrnd(1);
    srand(1);
    debuglevel = 0;
    textonly = 1;
    hostmode = 0;
    turn = 1;
    battlesfought = 0;
    pendingbattles.clear();
    GameInfo& g = gameinfo;
    g.moneymult = g.resourcemult = g.supplymult = 100;
    g.hofsize = 10;
    g.eventrarity = 1;
    g.researchdiff = 1;
    g.era = 1;
    nbrlands = 10;
    for (int32_t l = 1; l <= nbrlands; l++) {
      land[size_t(l)] = resetland();
      formatbounded(land[size_t(l)].name, 36, "Land%d", l);
      land[size_t(l)].population = 2000;
      land[size_t(l)].baseres = 50;
      int32_t n = 0;
      if (l > 1) provgeo[size_t(l)].nbr[n++] = int16_t(l - 1);
      if (l < nbrlands) provgeo[size_t(l)].nbr[n++] = int16_t(l + 1);
    }
    for (int32_t p : {A, B}) {
      Kingdom& k = kingdom[size_t(p)];
      k.w[KW_CONTROLLER] = CTRL_HUMAN;
      k.w[KW_GOD] = -1;
      k.w[KW_PROPHET] = -1;
      k.w[KW_PLAYER] = int16_t(p);
      k.w[KW_MAYWIN] = 1;
      k.gold = 1000;
      const int32_t h = p == A ? AHOME : BHOME;
      k.w[KW_HOMELAND] = int16_t(h);
      own(h, p);
      Land& l = land[size_t(h)];
      l.fort = 1;
      l.fortdef = int16_t(fortdef(1, h));
      l.lab = 1;
      l.temple = 1;
      researchrec[p][RR_PERCENT] = 100;
    }
  }

  void TearDown() override {
    const std::string cmd = "rm -rf '" + tmp + "'";
    if (system(cmd.c_str()) != 0) ADD_FAILURE() << "cleanup";
  }

  static void own(int32_t lnr, int32_t p) {
    land[size_t(lnr)].owner = land[size_t(lnr)].fortholder = uint8_t(p);
  }

  // A commander of the type for the player in the land.
  static int32_t commander(int32_t p, int32_t lnr, int32_t type = MON_COMMANDER_34) {
    const int32_t c = newcom(type, p);
    EXPECT_GE(c, 0);
    setunitland(com[size_t(c)].body, lnr);
    strlcopy(com[size_t(c)].name, "Tester", 36);
    return c;
  }

  // count units of the type in the commander's first squad.
  static void army(int32_t cnr, int32_t count, int32_t type = MON_HEAVY_INFANTRY_38) {
    const int32_t p = complayer(cnr);
    if (com[size_t(cnr)].squad[0] == -1) com[size_t(cnr)].squad[0] = newsquadnbr(p);
    spawnunits(type, p, count, comland(cnr), com[size_t(cnr)].squad[0]);
  }

  static void order(int32_t cnr, Order code, int32_t param = 0) {
    com[size_t(cnr)].order = code;
    com[size_t(cnr)].orderparam = param;
  }

  // Messages for the player that contain the text.
  static int32_t messages(int32_t p, const char* text) {
    int32_t n = 0;
    for (int32_t m = 0; m <= highestmsg; m++)
      if (message[size_t(m)].type != MT_FREE && message[size_t(m)].player == p && strstr(message[size_t(m)].text, text))
        n++;
    return n;
  }

  static int32_t living(int32_t lnr, int32_t p) { return int32_t(unitsin(lnr, p).size()); }

  // A hosted battle as the turn screen shows it again: the world from the
  // player's first replay record, then fought from its seed against the
  // stored checksums, giving the battle log.
  struct Replay {
    int32_t lnr = 0, def = 0, att = 0, castle = 0, seed = 0, values[3] = {};
  };
  static void readreplay(int32_t p, Replay& r) {
    char path[PATHLEN];
    vcrpath(path, PATHLEN, p, 0);
    UniqueFile f = openfile(path, "rb");
    ASSERT_TRUE(f);
    clearunittables();
    ASSERT_EQ(find_vcr(0, f.get()), 1);
    setreadversion(FILEVERSION);
    ASSERT_EQ(readvcr(&r.lnr, &r.def, &r.att, &r.castle, &r.seed, r.values, 1, f.get()), 1);
    ASSERT_GT(readchecksums(f.get()), 0);
  }
  static std::string fightreplay(const Replay& r) {
    debuglevel = 1;
    testing::internal::CaptureStdout();
    seedrnd(r.seed);
    initbattle(r.lnr, r.def, r.att, r.castle, r.values[0], r.values[1]);
    dobatl(r.def, r.att, 0, 0, 1, r.values[2]);
    debuglevel = 0;
    return testing::internal::GetCapturedStdout();
  }
};
