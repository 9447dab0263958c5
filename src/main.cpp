// The entry of the player's program, which plays every role: player, host,
// server, client and map tools. Prepares the process in a fixed order, then
// hands over to start(). (hostmain.cpp is the entry of the host program,
// which has no window.)
#include <cstdio>
#include <cstdlib>
#include <string>

#include "battleview/battleview.h"
#include "frontend/frontend.h"
#include "gfx/gfx.h"
#include "runtime/ask.h"
#include "runtime/fatal.h"
#include "runtime/folders.h"
#include "runtime/options.h"
#include "runtime/rnd.h"
#include "runtime/settings.h"
#include "runtime/startup.h"
#include "runtime/util.h"
#include "screens/turnscreen.h"
#include "sound/sound.h"
#include "world/gamedata.h"
#include "world/ruleconstants.h"
#include "world/startup.h"
#include "world/units.h"

namespace {
// Measures frames per second on the benchmark battlefield and chooses the
// graphics level and filtering from it.
void framebenchmark() {
  int32_t savedgrass = grass;
  gfxlevel = 10;
  grass = 0;
  batland = 0;
  plainbenchmarkland();
  char path[PATHLEN];
  formatbounded(path, PATHLEN, "%s/battlemaps/plain0.v3m", datapath);
  LoadBattleMap(path, 0, 1, 1);
  setbgscene(Scene::battlefield);

  float f = benchmarkfps(250, 1);
  float g = benchmarkfps(250, 1);
  if (g >= f) f = benchmarkfps(250, 1);
  if (f > 3.0f) {
    float h = benchmarkfps(250, 1);
    if (h >= f) f = benchmarkfps(250, 1);
  }
  debugprint("Benchmark, fps %f (renderpath %d)\n", double(f), renderpath);
  grass = savedgrass;
  if (f < 15.0f) {
    if (grass == -1) grass = 0;
    if (f < 5.0f) animback = 0;
    gfxlevel = 8;
  } else {
    gfxlevel = f < 45.0f ? 10 : 12;
  }
  if (f >= 20.0f) filtering = 3;
  // A settings folder that cannot be written (read-only, full) stops
  // nothing: the game starts with these settings, which hold until it ends.
  if (!trysaveconfig()) {
    const std::string problem = configproblem(errno);
    printf("The settings cannot be saved (%s); the game starts with its built-in settings\n", problem.c_str());
    msgbox("The settings cannot be saved (%s). The game starts with its built-in settings; what you change holds "
           "until the game ends.",
           problem.c_str());
  }
  // The benchmark's battlefield is no backdrop for the screens that follow.
  setbgscene(Scene::menu);
}
}  // namespace

int main(int argc, char** argv) {
  installplayerside();
  installturnscreens();
  beginstartup(argc, argv);
  initsprites(datapath);

  if (!textonly) {
    if (!displayreachable()) {
      printf("There is no display to show the game on (DISPLAY is not set, or its X server cannot be reached).\n"
             "Without one, use --textonly with --host, --verify or --makemap.\n");
      return 1;
    }
    char icon[PATHLEN];
    formatbounded(icon, PATHLEN, "%s/horror_32x32.bmp", datapath);
    setwindowicon(icon);
    if (winwidth <= 0) {
      winwidth = 1024;
      winheight = 768;
    }
    if (fswidth <= 0) {
      fswidth = 1024;
      fsheight = 768;
    }
    if (!videomodeok(fswidth, fsheight, bitplanes)) {
      fswidth = imin(fswidth, 800);
      fsheight = imin(fsheight, 600);
      if (!videomodeok(fswidth, fsheight, bitplanes)) {
        fswidth = imin(fswidth, 640);
        fsheight = imin(fsheight, 480);
      }
    }
    const char* caption = "Veyrances 3";
    int opened = fullscreen ? open_window(caption, fswidth, fsheight, bitplanes, zbuffer, 1, 1)
                            : open_window(caption, winwidth, winheight, bitplanes, zbuffer, 1, 0);
    bailif(!opened, "Failed to init OpenGL");
    setfullscreensize(fswidth, fsheight);
    setwindowsize(winwidth, winheight);
    InitGLStuff();
  }

  if (sounddevice) {
    debugprint("-- sound_init --\n");
    init_sound("Veyrances 3", sounddevice, datapath);
  }
  set_master_volume(50);
  guisetsounds(-1, 6, 5);
  guisetsoundvols(clickvolume, clickvolume, clickvolume);
  guilayoutstyle = 2;
  guifadein = fade;
  guireducedgfx = fastgrx;
  defaultgeneral();
  // The built-in tables (unit types, nations, items, ...) stand before any
  // mode runs; their loaded state is the snapshot that mods restore.
  loadgamedata();
  setgfxlevel(gfxlevel);
  if (fastgrx == 1) {
    battlelowdetail = 1;
    battleextradetail = 0;
  } else if (fastgrx >= 2) {
    battleextradetail = 0;
  }

  if (textonly && netmode != 1 && !makemapname[0] && !hostmode && !superhost && !verify)
    fatalerror("Text only mode can only be used with --tcpserver, --makemap or --host");

  if (perftestflag) {
    perftest();
    fatalerror("");
  }
  checkrandtab("main3: corrupt randtab");
  general_init();
  checkrandtab("main4: corrupt randtab");

  if (fastgrx == 0 && textonly == 0 && (gfxlevel == -1 || renderpath == -1)) framebenchmark();

  start();
  return 0;
}
