// The main turn screen in a real window of 1024 x 768 (an X server of its
// own): frames of the screen on a random map of 5000 x 5000 pixels with
// 1,495 provinces where 200 of the viewer's commanders stand in view (24 of
// them in the shown province, with their cards), beside frames of the bare
// map scene of the same world in the same run; and opening a turn on
// Veyrmark: the turn file read and checked, the screen's entry and its
// first frame. The "cpums" counter, the CPU time of all threads per frame,
// compares changes on a busy machine; with LP_NUM_THREADS=0 the GL driver
// draws on the benchmark's own thread and the "CPU" column says the same.
#include <benchmark/benchmark.h>

#include <unistd.h>

#include <GL/gl.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "gamefiles/gamefiles.h"
#include "gfx/gfx.h"
#include "gfx/gui.h"
#include "mapview/mapview.h"
#include "runtime/fatal.h"
#include "runtime/folders.h"
#include "runtime/options.h"
#include "runtime/rnd.h"
#include "runtime/settings.h"
#include "runtime/util.h"
#include "screens/mapfilters.h"
#include "screens/turnscreen.h"
#include "support/benchfolders.h"
#include "support/benchwindow.h"
#include "support/smallworld.h"
#include "support/veyrmarkgame.h"
#include "world/gamedata.h"
#include "world/hoststate.h"
#include "world/provinfo.h"
#include "world/ruleconstants.h"
#include "world/siteentry.h"
#include "worldgen/randmap.h"
#include "worldgen/worldgen.h"

namespace {
void setupfolders() { benchfolders("turnscreen"); }

bool windowready() {
  if (!benchwindow()) return false;
  installmapscreens();
  return true;
}

// The big world: eight nations hold the provinces in turn; the viewer
// (nation 0) holds every province within the first screen around the
// centre, and 200 of its commanders stand there, 24 in the centre province.
int32_t bigworld() {
  setupfolders();
  clearworld();
  if (!CreateRandomMap("turnbench", localmappath, 5000, 5000, 1495, 0, 0, 100, 0.3f, 0.3f, 0.2f))
    fatalerror("bench: no map");
  seedrnd(17);
  strlcopy(gameinfo.mappic, "turnbench.rgb", sizeof gameinfo.mappic);
  // The province names in the plain colour, as a new game on a map that sets none.
  for (float& c : gameinfo.maptextcol) c = -1;
  wraparound = 0;
  setmapviewport(0, 0, 800, 600);
  mapzoom = 0.75f;
  int32_t centre = 1;
  float best = 1e9f;
  for (int32_t l = 1; l <= nbrlands; l++) {
    const float d = std::abs(float(provgeo[size_t(l)].x) - 2500) + std::abs(float(provgeo[size_t(l)].y) - 2500);
    if (d < best) best = d, centre = l;
  }
  std::vector<int32_t> near;
  for (int32_t l = 1; l <= nbrlands; l++) {
    land[size_t(l)] = resetland();
    setlandname(l);
    const float dx = std::abs(float(provgeo[size_t(l)].x - provgeo[size_t(centre)].x)) * mapzoom;
    const float dy = std::abs(float(provgeo[size_t(l)].y - provgeo[size_t(centre)].y)) * mapzoom;
    const bool inview = dx < 380 && dy < 280 && !(provgeo[size_t(l)].terrain & TM_SEA);
    const uint8_t owner = inview ? 0 : provgeo[size_t(l)].terrain & TM_SEA ? INDEPENDENTS : uint8_t(1 + l % 7);
    land[size_t(l)].owner = land[size_t(l)].fortholder = owner;
    land[size_t(l)].fort = l % 5 == 0 ? 1 : 0;
    land[size_t(l)].population = 2000;
    if (inview && l != centre) near.push_back(l);
  }
  land[size_t(centre)].owner = land[size_t(centre)].fortholder = 0;
  for (int32_t a = 0; a < 200; a++) {
    const int32_t l = a < 24 || near.empty() ? centre : near[size_t(a) % near.size()];
    const int32_t c = mkcom(23, 0, l);
    snprintf(com[size_t(c)].name, sizeof com[0].name, "Captain %d", a);
    for (int32_t k = 5 + a % 20; k > 0; k--) mkunit(k % 3 ? 17 : 19, 0, l);
    if (a % 3 == 0 && provgeo[size_t(l)].nbr[0] > 0) {
      com[size_t(c)].order = Order::move;
      com[size_t(c)].orderparam = provgeo[size_t(l)].nbr[0];
    }
  }
  for (int32_t a = 0; a < 1000; a++) {
    const int32_t l = 1 + rnd(nbrlands);
    if (land[size_t(l)].owner == 0 || land[size_t(l)].owner == INDEPENDENTS) continue;
    mkcom(23, land[size_t(l)].owner, l);
    for (int32_t k = 10 + a % 40; k > 0; k--) mkunit(17, land[size_t(l)].owner, l);
  }
  kingdom[0].w[KW_CONTROLLER] = CTRL_HUMAN;
  kingdom[0].w[KW_HOMELAND] = int16_t(centre);
  strlcopy(kingdom[0].godname, "Orun", 36);
  kingdom[0].gold = 1200;
  return centre;
}

// Frames of the bare map scene (0), the map with the overlay of every
// province (1) or the turn screen (2).
void framesof(int32_t what, int32_t centre, int32_t count) {
  for (int32_t k = 0; k < count; k++) {
    if (what < 2) {
      guibegin();
      setmapviewport(0, 0, 800, 600);
      if (what == 1) {
        // The layers as the turn screen reads them: a nation that never
        // chose sees them all but the terrain icons.
        mapfilter = savedlayers(uint16_t(kingdom[0].w[KW_MAPFILTER]));
        drawmapoverlays(0, centre);
      }
    } else {
      buildturnframe();
    }
    render_frame(false, Scene::map);
  }
}

void BM_TurnScreenFrame1500Provinces(benchmark::State& state) {
  static int32_t centre = 0;
  if (!windowready()) {
    state.SkipWithError("no window");
    return;
  }
  if (!centre) centre = bigworld();
  CreateMapTextures("", "turnbench.rgb");
  openturnscreen(centre, 0, 0, "turnbench", 10, 1, 0);
  centremap(centre);
  const int32_t what = int32_t(state.range(0));
  // VEY3_BENCHSHOT=prefix keeps a picture of each scene's frame as
  // prefix<scene>.ppm, for comparing what a change draws.
  if (const char* shots = getenv("VEY3_BENCHSHOT")) {
    setinputscript(("shot " + std::string(shots) + std::to_string(what) + ".ppm\n").c_str());
    framesof(what, centre, 3);
    setinputscript("");
  }
  const double cpu0 = processcpuseconds();
  for (auto _ : state) {
    framesof(what, centre, 1);
  }
  // The CPU time of every thread, the GL driver's drawing threads with them,
  // per frame: steadier than the frame rate on a busy machine.
  state.counters["cpums"] = (processcpuseconds() - cpu0) * 1000.0 / double(state.iterations());
  state.counters["fps"] = benchmark::Counter(double(state.iterations()), benchmark::Counter::kIsRate);
  state.counters["areas"] = double(guiareacount());
  // A scene that draws nothing over the map measures nothing.
  if (what > 0 && guiareacount() == 0) state.SkipWithError("the scene drew no areas");
}

// Veyrmark with six computer nations; the viewer is the first, played by a
// human.
int32_t veyrmark() {
  setupfolders();
  const int32_t first = benchveyrmark();
  // The first nation's turn file, as a human player gets it.
  int32_t t = 0;
  clearworld();
  if (!loadworldfile("benchmark", 0, &t)) fatalerror("bench: no world file");
  kingdom[size_t(first)].w[KW_CONTROLLER] = CTRL_HUMAN;
  if (!writeturnfile(first, "benchmark", filegamenumber, t)) fatalerror("bench: no turn file");
  return first;
}

void BM_OpenTurnVeyrmark(benchmark::State& state) {
  static int32_t viewer = -1;
  if (!windowready()) {
    state.SkipWithError("no window");
    return;
  }
  if (viewer < 0) viewer = veyrmark();
  for (auto _ : state) {
    int32_t turnnbr = 0, gamenbr = 0, vcrs = 0;
    if (readturnfile(viewer, "benchmark", &turnnbr, &gamenbr, &vcrs) != 1) {
      state.SkipWithError("the turn file does not read");
      return;
    }
    openmapview("benchmark");
    openturnscreen(kingdom[size_t(viewer)].w[KW_HOMELAND], viewer, vcrs, "benchmark", turnnbr, gamenbr, 0);
    buildturnframe();
    render_frame(false, Scene::map);
    glFinish();
  }
}

// The bare map scene (0), the map with the overlay of every province (1)
// and the turn screen (2) over the same world.
BENCHMARK(BM_TurnScreenFrame1500Provinces)->Arg(0)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2.0);
BENCHMARK(BM_OpenTurnVeyrmark)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(10);
}  // namespace
