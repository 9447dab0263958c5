// Whole games for the host tests: a game created from a map of data/maps
// with human nations whose gods are saved designs, the players' side of a
// turn (read the turn file, give orders, write the order file), and the
// host's files read back.
#pragma once
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "gamefiles/gamefiles.h"
#include "host/host.h"
#include "host/phases.h"
#include "mods/mods.h"
#include "runtime/fatal.h"
#include "runtime/folders.h"
#include "runtime/options.h"
#include "runtime/rnd.h"
#include "support/mapfixture.h"
#include "world/magic.h"
#include "world/rules.h"
#include "world/units.h"

class HostGame : public ShippedMapFolders {
 protected:
  std::string game = "g";
  std::vector<int32_t> humans;
  int32_t gamenbr = 0;

  void SetUp() override {
    ShippedMapFolders::SetUp();
    strlcopy(temppath, (root + "/temp").c_str(), PATHLEN);
    mkdirs(temppath);
    clearenabledmods();
    defaultgeneral();
    seedrnd(3);
    srand(3);
  }

  // A game on the map with these nations as human players (era 1).
  void create(const char* map, std::vector<int32_t> nationlist, int32_t startprovinces = 1, const char* pass = "") {
    humans = nationlist;
    mkdirs((root + "/save/" + game).c_str());
    for (int32_t k : humans) {
      const int32_t c = newcom(nations[size_t(k)].godform[0], k);
      ASSERT_GE(c, 0);
      com[size_t(c)].path[P_FIRE] = 1;
      com[size_t(c)].path[P_PRIEST] = 1;
      com[size_t(c)].veyvalue = 3;
      strlcopy(com[size_t(c)].name, "God", 36);
      writenewlord(game.c_str(), k, c, pass);
    }
    clearworld();
    for (int32_t k : humans) kingdom[size_t(k)].w[KW_CONTROLLER] = CTRL_HUMAN;
    strlcopy(mapfile, map, sizeof mapfile);
    eraoption = 1;
    startprov = startprovinces;
    ASSERT_EQ(createnewgame(game.c_str(), 0, nullptr), 1);
    gamenbr = gameinfo.gamenbr;
  }

  std::string path(const std::string& name) const { return root + "/save/" + game + "/" + name; }
  std::string trnpath(int32_t p) const { return path(std::string(nations[size_t(p)].fileword) + ".trn"); }

  // The turn number in the world file's header.
  int32_t worldturn() {
    int32_t t = -1;
    UniqueFile f = readfileheader(game.c_str(), 0, -1, 1, -1, &t, nullptr, nullptr, nullptr);
    return f ? t : -1;
  }

  // Reads the player's turn file as the player's program does; false when
  // it does not read.
  bool openturn(int32_t p, int32_t* turnout = nullptr) {
    clearworld();
    if (!checkcrc(trnpath(p).c_str())) return false;
    int32_t t = 0;
    char pass[50];
    UniqueFile f = readfileheader(game.c_str(), 0, -1, 1, p, &t, pass, nullptr, nullptr);
    if (!f) return false;
    strlcopy(password[p], pass, 50);
    getturndata(p, f.get());
    if (turnout) *turnout = t;
    return true;
  }

  // The player's turn: open the turn file, give orders, write the order file.
  void play(int32_t p, const std::function<void()>& orders) {
    int32_t t = 0;
    ASSERT_TRUE(openturn(p, &t));
    const int32_t g = filegamenumber;
    orders();
    write2hfile(p, game.c_str(), t, g);
  }
  // The nation's orders of this turn as written at End turn, read over its
  // turn; false when they do not read.
  bool readorders(int32_t p) {
    if (!openturn(p)) return false;
    int32_t t = 0;
    UniqueFile f = readfileheader(game.c_str(), 0, -1, 0, p, &t, nullptr, nullptr, nullptr);
    if (!f) return false;
    get2hdata(p, f.get(), 0);
    return true;
  }
  std::string orderpath(int32_t p) const { return path(std::string(nations[size_t(p)].fileword) + ".2h"); }

  int host() { return newturn(game.c_str(), -1); }

  // Every file of the turn reads back whole: the world file and each
  // human's turn file with its checksum.
  void readback() {
    clearworld();
    int32_t t = 0;
    ASSERT_EQ(loadworldfile(game.c_str(), 0, &t), 1);
    bugcheck(1);
    for (int32_t p : humans) {
      if (uint16_t(kingdom[size_t(p)].w[KW_CONTROLLER]) != CTRL_HUMAN) continue;
      int32_t tt = 0;
      ASSERT_TRUE(openturn(p, &tt)) << "turn file of " << p;
      EXPECT_EQ(tt, t);
      bugcheck(1);
      clearworld();
      ASSERT_EQ(loadworldfile(game.c_str(), 0, &t), 1);
    }
  }

  // Rewrites the world file with a second commander that names the first
  // one's body, as a stretch of records copied over others leaves them: the
  // file reads to its end but does not hold together. The fault as the
  // reading words it.
  std::string sharebody() {
    int32_t t = 0;
    EXPECT_EQ(loadworldfile(game.c_str(), 0, &t), 1);
    std::vector<int32_t> commanders;
    for (int32_t c = 0; c <= highestcom; c++)
      if (com[size_t(c)].body >= 0) commanders.push_back(c);
    if (commanders.size() < 2) return "fewer than two commanders";
    const int32_t c = commanders[0], body = com[size_t(c)].body;
    com[size_t(commanders[1])].body = body;
    EXPECT_TRUE(writeworldfile(game.c_str(), gameinfo.gamenbr, t));
    clearworld();
    return "commander " + std::to_string(c) + " and its body, unit " + std::to_string(body) +
           ", do not point at each other";
  }

  // Messages for the player in the loaded world containing the text.
  int32_t messages(int32_t p, const char* text) {
    int32_t n = 0;
    for (int32_t m = 0; m <= highestmsg; m++)
      if (message[size_t(m)].type != MT_FREE && message[size_t(m)].player == p && strstr(message[size_t(m)].text, text))
        n++;
    return n;
  }

  // The player's living commanders in the loaded world.
  std::vector<int32_t> commandersof(int32_t p) { return commandersin(-1, p); }
  int32_t home(int32_t p) { return kingdom[size_t(p)].w[KW_HOMELAND]; }
};
