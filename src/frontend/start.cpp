// start: the hand-over from start-up. The command-line modes run first
// (each ends the program); then a game named on the command line, or the
// Main Menu until Quit.
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "battleview/battleview.h"
#include "frontend/frontend.h"
#include "gfx/gfx.h"
#include "host/host.h"
#include "runtime/ask.h"
#include "runtime/fatal.h"
#include "runtime/folders.h"
#include "runtime/options.h"
#include "runtime/util.h"
#include "worldgen/worldgen.h"

void perftest() {
  char path[PATHLEN];
  formatbounded(path, PATHLEN, "%s/battlemaps/plain0.v3m", datapath);
  LoadBattleMap(path, 0, 1, 1);
  int32_t saved = currentscene();
  int32_t savedlow = battlelowdetail;
  for (int32_t test = 0; test < 3; test++) {
    // 0: blended fill, 1: the battlefield, 2: the battlefield at low detail.
    setbgscene(test == 0 ? Scene::perftest : Scene::battlefield);
    battlelowdetail = test == 2 ? 1 : savedlow;
    printf("Test %d, %f frames per second\n", test, double(benchmarkfps(1000, 1)));
  }
  battlelowdetail = savedlow;
  setbgscene(saved);
}

namespace {
[[noreturn]] void endwith(int status) {
  fflush(stdout);
  exit(status);
}

bool gameexists(const char* gname) {
  char names[200][100];
  const int32_t count = listgames(names, 200);
  for (int32_t i = 0; i < count; i++)
    if (strcmp(names[i], gname) == 0) return true;
  return false;
}

bool computersnamed() {
  for (int32_t n = 0; n < NATIONCONTROLS; n++)
    if (nationcontrol[n] >= 20 && nationcontrol[n] <= 24) return true;
  return false;
}

// The game named on the command line: played when it exists; made from the
// command line's new-game options when they name computer players (the
// window asks for the map and era); otherwise the Main Menu says so.
void namedgame(const char* gname) {
  if (!validgamename(gname)) {
    printf("Not a valid game name: %s (letters, digits, '-' and '_' only, at most 99)\n", gname);
    endwith(1);
  }
  if (gameexists(gname)) {
    playgame(gname);
    return;
  }
  if (computersnamed()) {
    createnewgame(gname, 0, nullptr);
    return;
  }
  setbgscene(Scene::menu);   // the word shows over the menu's backdrop, not the start-up's scene
  msgbox("There is no game called %s in %s.", gname, savepath);
  mainmenu();
}
}  // namespace

void start() {
  const RunMode mode = chooserunmode();
  const int status = runcommandlinemode();
  if (status >= 0) endwith(status);
  if (mode == RunMode::game) namedgame(gamename);
  else mainmenu();
}
