// Creating a game of 15 computer nations: on the full map of data/maps, and
// on a made-up map of 1,500 provinces in a grid.
#include <benchmark/benchmark.h>

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

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

namespace {

std::string root;

void setupfolders() {
  if (!root.empty()) return;
  root = "/tmp/vey3bench_newgame_" + std::to_string(getpid());
  mkdirs((root + "/maps").c_str());
  mkdirs((root + "/save").c_str());
  strlcopy(mappath, (root + "/maps").c_str(), PATHLEN);
  strlcopy(localmappath, (root + "/maps").c_str(), PATHLEN);
  strlcopy(savepath, (root + "/save").c_str(), PATHLEN);
  std::string cmd = "cp " VEY3_SOURCE_DIR "/data/maps/*.map " VEY3_SOURCE_DIR "/data/maps/*.tga " + root + "/maps/";
  if (system(cmd.c_str()) != 0) fatalerror("bench: copying the maps failed");
  loadgamedata();
}

// 50 x 30 cells of 24 pixels with red borders and a white centre each.
void makegridmap() {
  const int32_t cols = 50, rows = 30, cell = 24, w = cols * cell, h = rows * cell;
  std::vector<uint8_t> px(size_t(w * h * 4));
  for (int32_t y = 0; y < h; y++)
    for (int32_t x = 0; x < w; x++) {
      uint8_t* p = &px[size_t((y * w + x) * 4)];
      bool border = x % cell == 0 || y % cell == 0;
      p[0] = border ? 200 : 100, p[1] = border ? 20 : 150, p[2] = border ? 20 : 90, p[3] = 255;
    }
  std::string text = "#vey2title Grid\n#imagefile grid.rgb\n";
  for (int32_t r = 0; r < rows; r++)
    for (int32_t c = 0; c < cols; c++) {
      int32_t x = c * cell + cell / 2, y = r * cell + cell / 2;
      uint8_t* p = &px[size_t((y * w + x) * 4)];
      p[0] = p[1] = p[2] = 255;
      int32_t l = r * cols + c + 1;
      uint32_t t = (l % 7 == 0) ? TM_SEA : (l % 5 == 0) ? TM_FOREST : (l % 11 == 0) ? TM_MOUNTAINS : 0;
      text += "#terrain " + std::to_string(l) + " " + std::to_string(t) + "\n";
      if (c + 1 < cols) text += "#neighbour " + std::to_string(l) + " " + std::to_string(l + 1) + "\n";
      if (r + 1 < rows) text += "#neighbour " + std::to_string(l) + " " + std::to_string(l + cols) + "\n";
    }
  savesgi(px.data(), w, h, (root + "/maps/grid.rgb").c_str(), 1);
  FILE* f = fopen((root + "/maps/grid.map").c_str(), "w");
  fwrite(text.data(), 1, text.size(), f);
  fclose(f);
}

void creategame(benchmark::State& state, const char* map) {
  setupfolders();
  if (std::string(map) == "grid.map") makegridmap();
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
