// Writes the battle maps of the data folder: "battlemaps/plain0.v3m", a
// gently rolling plain with a few trees, bushes and rocks (the benchmark
// battlefield of start-up).
#include <cmath>
#include <cstdio>
#include <memory>

#include "battleview/battleview.h"
#include "runtime/folders.h"
#include "runtime/util.h"

namespace {
// A small repeatable generator, so that every build writes the same map.
uint32_t nextrandom(uint32_t& state) {
  state = state * 1664525u + 1013904223u;
  return state >> 8;
}

void makeplain(battlemapdata& map) {
  clearbattlemap(map);
  map.width = 65;
  map.depth = 65;
  map.cellsize = 200;
  for (int32_t y = 0; y < map.depth; y++)
    for (int32_t x = 0; x < map.width; x++) {
      double fx = x / 64.0, fy = y / 64.0;
      double h = 120.0 * sin(fx * 6.1 + 0.4) * cos(fy * 4.3) + 70.0 * sin((fx + fy) * 11.0) + 90.0 * fy;
      map.height[size_t(y) * map.width + x] = int16_t(lround(h));
    }
  uint32_t state = 327;
  int32_t span = (map.width - 1) * map.cellsize;
  for (int32_t i = 0; i < 40; i++) {
    massobj& m = map.obj[size_t(map.objects++)];
    int32_t pick = int32_t(nextrandom(state) % 10);
    m.kind = int32_t(pick < 5 ? MassKind::tree : pick < 8 ? MassKind::bush : pick < 9 ? MassKind::rock : MassKind::stone);
    m.x = int32_t(nextrandom(state) % uint32_t(span));
    m.y = int32_t(nextrandom(state) % uint32_t(span));
    m.z = 0;
    m.angle = int32_t(nextrandom(state) % 360);
    m.scale = 70 + int32_t(nextrandom(state) % 60);
    bool green = m.kind == int32_t(MassKind::tree) || m.kind == int32_t(MassKind::bush);
    m.red = green ? 40 + int32_t(nextrandom(state) % 30) : 120;
    m.green = green ? 100 + int32_t(nextrandom(state) % 50) : 115;
    m.blue = green ? 30 : 105;
    m.seed = int32_t(nextrandom(state) % 1000);
    m.decoration = int16_t(m.kind == int32_t(MassKind::bush) ? 1 : 0);
  }
  // The battlefield lies a little off the middle, on the gentler slope.
  map.entries = 1;
  map.entry[0] = {32, 28};
}
}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    fprintf(stderr, "usage: art_battlemaps <data folder>\n");
    return 1;
  }
  char folder[PATHLEN], path[PATHLEN];
  formatbounded(folder, PATHLEN, "%s/battlemaps", argv[1]);
  mkdirs(folder);
  auto map = std::make_unique<battlemapdata>();
  makeplain(*map);
  formatbounded(path, PATHLEN, "%s/plain0.v3m", folder);
  if (!writebattlemap(path, *map)) {
    fprintf(stderr, "art_battlemaps: cannot write %s\n", path);
    return 1;
  }
  return 0;
}
