// Creating a game of 15 computer nations: on the full map of data/maps, and
// on a made-up map of 1,500 provinces in a grid.
#include <benchmark/benchmark.h>

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "gridmap.h"
#include "runtime/fatal.h"
#include "runtime/folders.h"
#include "runtime/image.h"
#include "runtime/options.h"
#include "runtime/rnd.h"
#include "runtime/util.h"
#include "world/gamedata.h"
#include "world/scores.h"
#include "world/world.h"
#include "worldgen/worldgen.h"
#include "support/scratch.h"

namespace {

std::string root;

void setupfolders() {
  if (!root.empty()) return;
  root = makerunscratch("vey3bench_newgame_");
  mkdirs((root + "/maps").c_str());
  mkdirs((root + "/save").c_str());
  strlcopy(mappath, (root + "/maps").c_str(), PATHLEN);
  strlcopy(localmappath, (root + "/maps").c_str(), PATHLEN);
  strlcopy(savepath, (root + "/save").c_str(), PATHLEN);
  std::string cmd = "cp " VEY3_SOURCE_DIR "/data/maps/*.map " VEY3_SOURCE_DIR "/data/maps/*.tga " + root + "/maps/";
  if (system(cmd.c_str()) != 0) fatalerror("bench: copying the maps failed");
  loadgamedata();
}

void creategame(benchmark::State& state, const char* map) {
  setupfolders();
  if (std::string(map) == "grid.map") makegridmap(root + "/maps");
  int32_t game = 0;
  for (auto _ : state) {
    state.PauseTiming();
    clearworld();
    freebigmap();
    mapimage.imagename[0] = 0;
    resetoptions();
    textonly = 1;
    eraoption = 2;
    strlcopy(mapfile, map, sizeof mapfile);
    int placed = 0;
    for (int n = 0; n < 72 && placed < 15; n++)
      if (nations[size_t(n)].era == 2 && !isuwnation(n)) nationcontrol[n] = 22, placed++;
    seedrnd(game);
    std::string name = "b" + std::to_string(game++);
    state.ResumeTiming();
    createnewgame(name.c_str(), 0, nullptr);
  }
}

void BM_FullMap15(benchmark::State& state) { creategame(state, "veyrmark.map"); }
void BM_Grid1500(benchmark::State& state) { creategame(state, "grid.map"); }
BENCHMARK(BM_FullMap15)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_Grid1500)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace
