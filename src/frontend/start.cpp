// start: the hand-over from start-up. The command-line modes and the Main
// Menu come later; for now a window shows the title screen until Escape or
// until it is closed.
#include <SDL.h>

#include <cstdio>
#include <cstdlib>

#include "battleview/battleview.h"
#include "frontend/frontend.h"
#include "gfx/gfx.h"
#include "host/host.h"
#include "runtime/fatal.h"
#include "runtime/folders.h"
#include "runtime/options.h"
#include "runtime/util.h"

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

void start() {
  int status = runcommandlinemode();
  if (status >= 0) {
    fflush(stdout);
    exit(status);
  }
  setbgscene(Scene::title);
  while (!quitrequested) {
    drawscene();
    finishframe();
    if (pumpevents() == SDLK_ESCAPE) break;
  }
}
