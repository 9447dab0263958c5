// The strategic map: cutting a 5000 x 5000 map image into textures (the
// work alone, and with the uploads in a real window), and frames per second
// of the map scene with a viewer's overlay of every province in a real
// window of 1024 x 768 (an X server of its own) on Veyrmark with six
// nations, and on a random map of 5000 x 5000 pixels with 1,495 provinces
// and 2,000 armies, beside the plain background in the same run.
#include <benchmark/benchmark.h>

#include <unistd.h>

#include <GL/gl.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "gfx/gfx.h"
#include "gfx/gui.h"
#include "mapview/mapview.h"
#include "runtime/fatal.h"
#include "runtime/folders.h"
#include "runtime/options.h"
#include "runtime/rnd.h"
#include "runtime/settings.h"
#include "runtime/util.h"
#include "support/benchfolders.h"
#include "support/benchwindow.h"
#include "support/smallworld.h"
#include "support/veyrmarkgame.h"
#include "world/gamedata.h"
#include "world/hoststate.h"
#include "world/provinfo.h"
#include "world/ruleconstants.h"
#include "world/scores.h"
#include "world/siteentry.h"
#include "worldgen/randmap.h"
#include "worldgen/worldgen.h"

namespace {
void setupfolders() { benchfolders("mapview"); }

bool windowready() {
  if (!benchwindow()) return false;
  installmapscreens();
  return true;
}

// The 5000 x 5000 random map, made once; its provinces are kept, as the
// Veyrmark game replaces them.
std::array<ProvGeo, MAXLANDS> bigprovinces;
int32_t biglands = 0;

bool bigmapready() {
  static int state = 0;
  if (state) return state > 0;
  setupfolders();
  state = CreateRandomMap("bigbench", localmappath, 5000, 5000, 1495, 0, 0, 100, 0.3f, 0.3f, 0.2f) ? 1 : -1;
  bigprovinces = provgeo;
  biglands = nbrlands;
  return state > 0;
}

// Veyrmark with six computer nations; the viewer is the first.
int32_t veyrmark() {
  setupfolders();
  return benchveyrmark();
}

// The world of the big map: eight nations hold its provinces in turn, 2,000
// armies of 10 to 60 units stand on them, a third of them moving to a
// neighbour, and the viewer (nation 0) has scouted 300 foreign provinces.
void bigworld() {
  clearworld();
  provgeo = bigprovinces;
  nbrlands = biglands;
  seedrnd(17);
  auto d = [](int32_t n) { return rnd(n); };
  for (int32_t l = 1; l <= nbrlands; l++) {
    land[size_t(l)] = resetland();
    setlandname(l);
    const uint8_t owner = provgeo[size_t(l)].terrain & TM_SEA ? INDEPENDENTS : uint8_t(l % 8);
    land[size_t(l)].owner = land[size_t(l)].fortholder = owner;
    land[size_t(l)].fort = l % 5 == 0 ? 1 : 0;
    land[size_t(l)].temple = l % 9 == 0 ? 1 : 0;
    land[size_t(l)].population = 2000;
  }
  for (int32_t a = 0; a < 2000; a++) {
    const int32_t l = 1 + d(nbrlands);
    const int32_t owner = land[size_t(l)].owner;
    const int32_t c = mkcom(23, owner, l);
    for (int32_t k = 10 + d(50); k > 0; k--) mkunit(k % 3 ? 17 : 19, owner, l);
    if (a % 3 == 0 && provgeo[size_t(l)].nbr[0] > 0) {
      com[size_t(c)].order = Order::move;
      com[size_t(c)].orderparam = provgeo[size_t(l)].nbr[0];
    }
  }
  for (int32_t k = 0, l = 1; k < 300 && l <= nbrlands; l++) {
    if (land[size_t(l)].owner == 0) continue;
    const int32_t m = newmsg(l, 0, MT_SCOUT, l);
    if (m < 0) break;
    message[size_t(m)].subj[1] = 20 + l % 80;
    message[size_t(m)].subj[2] = 18;
    k++;
  }
  cacheinfolevels(0, 1);
  cachearmysizes(0);
}

void BM_MapCut5000x5000WithoutWindow(benchmark::State& state) {
  if (!bigmapready()) {
    state.SkipWithError("no map");
    return;
  }
  freebigmap();
  mapimage.imagename[0] = 0;
  LoadBigMap("", "bigbench.rgb");
  for (auto _ : state) {
    maptex.names = {};
    cutmapimage(mapimage.pixels, mapimage.width, mapimage.height, 0, [](const MapTileLevel&) { return 1u; });
  }
}

void BM_MapTextures5000x5000(benchmark::State& state) {
  if (!bigmapready() || !windowready()) {
    state.SkipWithError("no map or no window");
    return;
  }
  for (auto _ : state) {
    freemaptextures();
    CreateMapTextures("", "bigbench.rgb");
    glFinish();
  }
}

// Frames of the map scene with the viewer's overlay; fps is the rate.
void mapframes(benchmark::State& state, int32_t viewer, int32_t selected) {
  mapfilter = 0x7DD;
  for (auto _ : state) {
    guibegin();
    setmapviewport(0, 0, 800, 600);
    drawmapoverlays(viewer, selected);
    render_frame(false, Scene::map);
  }
  state.counters["fps"] = benchmark::Counter(double(state.iterations()), benchmark::Counter::kIsRate);
  state.counters["areas"] = double(guiareacount());
}

void BM_MapFramePlainBackground(benchmark::State& state) {
  if (!windowready()) {
    state.SkipWithError("no window");
    return;
  }
  for (auto _ : state) {
    guibegin();
    render_frame(false, Scene::title);
  }
  state.counters["fps"] = benchmark::Counter(double(state.iterations()), benchmark::Counter::kIsRate);
  setbgscene(1);
  state.counters["benchmarkfps"] = benchmarkfps(1000, 1);
}

void BM_MapFrameVeyrmark(benchmark::State& state) {
  static int32_t viewer = -1, home = 0;
  if (viewer < 0) {
    viewer = veyrmark();
    home = kingdom[size_t(viewer)].w[KW_HOMELAND];
  }
  if (!windowready()) {
    state.SkipWithError("no window");
    return;
  }
  openmapview("benchmark");
  cacheinfolevels(viewer, 1);
  cachearmysizes(viewer);
  mapzoom = float(state.range(0)) / 100;
  centremap(home);
  mapframes(state, viewer, home);
}

void BM_MapFrame5000x5000(benchmark::State& state) {
  static bool made = false;
  if (!bigmapready() || !windowready()) {
    state.SkipWithError("no map or no window");
    return;
  }
  if (!made) {
    bigworld();
    made = true;
  }
  wraparound = 0;
  setmapviewport(0, 0, 800, 600);
  CreateMapTextures("", "bigbench.rgb");
  mapzoom = state.range(0) > 0 ? float(state.range(0)) / 100 : mapminzoom();
  mapcamx = 2500;
  mapcamy = 2500;
  mapframes(state, 0, 0);
}

BENCHMARK(BM_MapCut5000x5000WithoutWindow)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_MapTextures5000x5000)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);
BENCHMARK(BM_MapFramePlainBackground)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2.0);
// Zoom in hundredths: the map's own 1.0, and closer in.
BENCHMARK(BM_MapFrameVeyrmark)->Arg(100)->Arg(200)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2.0);
// The default zoom of a 1,495-province map (about 0.75), 1.0, and the whole
// map on screen (0: the smallest zoom).
BENCHMARK(BM_MapFrame5000x5000)->Arg(75)->Arg(100)->Arg(0)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2.0);
}  // namespace
