// A made-up map for the benchmarks: 50 x 30 cells of 24 pixels, 1,500
// provinces with red borders and a white centre each, every seventh sea,
// every fifth forest, every eleventh mountains, neighbours in the grid.
#pragma once
#include <unistd.h>

#include <cstdio>
#include <string>
#include <vector>

#include "support/hostedgame.h"
#include "runtime/image.h"
#include "runtime/options.h"
#include "runtime/util.h"
#include "world/gamedata.h"
#include "world/world.h"
#include "support/scratch.h"

// A soldier type the nation recruits.
inline int32_t soldier(int32_t p) {
  for (int32_t m : nations[size_t(p)].recruit) {
    if (m == RECRUIT_END || m == RECRUIT_COMMANDERS) break;
    if (m > 0) return m;
  }
  return 18;
}

// Writes grid.rgb and grid.map into the folder.
inline void makegridmap(const std::string& folder) {
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
  savesgi(px.data(), w, h, (folder + "/grid.rgb").c_str(), 1);
  FILE* f = fopen((folder + "/grid.map").c_str(), "w");
  fwrite(text.data(), 1, text.size(), f);
  fclose(f);
}

// A folder of the benchmark's own under TMPDIR, removed at the end (maps, save, temp and the
// extra folders named) that the game's folders point into, the game data
// loaded, the grid map written and chosen for a new game of the middle era
// in text-only mode. The folder's path.
inline std::string gridgamefolders(const std::string& name, std::vector<std::string> extra = {}) {
  const std::string root = makerunscratch(("vey3bench_" + name + "_").c_str());
  hostedgamefolders(root, std::move(extra));
  makegridmap(root + "/maps");
  strlcopy(mapfile, "grid.map", sizeof mapfile);
  return root;
}
