// Writes the battlefield's art into the data folder: "battlemaps/plain0.v3m",
// a gently rolling plain with a few trees, bushes and rocks (the benchmark
// battlefield of start-up), and "battlesky.tga", the sky of every province
// that names no picture of its own.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <memory>
#include <vector>

#include "battleview/battleview.h"
#include "runtime/folders.h"
#include "runtime/image.h"
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

// Value noise repeating every `period` cells across, smooth between them.
float cloudnoise(float x, float y, int32_t period, uint32_t seed) {
  auto cell = [&](int32_t cx, int32_t cy) {
    uint32_t h = uint32_t(((cx % period) + period) % period) * 2654435761u ^ uint32_t(cy) * 2246822519u ^ seed;
    h ^= h >> 15;
    h *= 2246822519u;
    h ^= h >> 13;
    return float(h & 0xFFFF) / 65535.0f;
  };
  const int32_t x0 = int32_t(floorf(x)), y0 = int32_t(floorf(y));
  float fx = x - float(x0), fy = y - float(y0);
  fx = fx * fx * (3 - 2 * fx);
  fy = fy * fy * (3 - 2 * fy);
  const float low = cell(x0, y0) + (cell(x0 + 1, y0) - cell(x0, y0)) * fx;
  const float high = cell(x0, y0 + 1) + (cell(x0 + 1, y0 + 1) - cell(x0, y0 + 1)) * fx;
  return low + (high - low) * fy;
}

float smoothstep(float a, float b, float v) {
  const float t = std::clamp((v - a) / (b - a), 0.0f, 1.0f);
  return t * t * (3 - 2 * t);
}

// The sky seen from the battlefield, from the horizon (the bottom row) up
// to where the sky box's top begins (the top row): hazy near the horizon,
// deep blue above, with a band of fair-weather clouds that flatten toward
// the horizon. The top row is one colour and the clouds repeat across, so
// the box's faces meet without a seam however the picture is laid on them.
std::vector<uint8_t> makesky(int32_t side) {
  std::vector<uint8_t> px(size_t(side) * size_t(side) * 4);
  for (int32_t y = 0; y < side; y++) {
    const float up = float(y) / float(side - 1);
    const float blue = powf(up, 0.6f);
    const float base[3] = {0.80f - 0.50f * blue, 0.86f - 0.36f * blue, 0.92f - 0.08f * blue};
    // Depth into the cloud layer: clouds far away crowd toward the horizon.
    // A side of the sky box spans twice as wide as high, so the clouds are
    // drawn twice as tall here as they are to look.
    const float depth = 2.4f / (up + 0.2f);
    const float band = smoothstep(0.02f, 0.12f, up) * (1 - smoothstep(0.55f, 0.85f, up));
    for (int32_t x = 0; x < side; x++) {
      float n = 0, amp = 0.55f;
      int32_t period = 6;
      for (int32_t o = 0; o < 4; o++) {
        n += amp * cloudnoise(float(x) * float(period) / float(side), depth * float(period) / 6.0f, period, 11u + uint32_t(o));
        amp *= 0.5f;
        period *= 2;
      }
      const float cloud = smoothstep(0.48f, 0.72f, n) * band;
      const float light = 0.82f + 0.18f * smoothstep(0.5f, 0.9f, n);
      uint8_t* p = &px[(size_t(y) * size_t(side) + size_t(x)) * 4];
      for (int32_t c = 0; c < 3; c++) {
        const float white = light * (c == 2 ? 1.0f : 0.98f);
        p[c] = uint8_t(lroundf(std::clamp(base[c] + (white - base[c]) * cloud, 0.0f, 1.0f) * 255.0f));
      }
      p[3] = 255;
    }
  }
  return px;
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
  const int32_t side = 512;
  const std::vector<uint8_t> sky = makesky(side);
  formatbounded(path, PATHLEN, "%s/%s", argv[1], DEFAULTBATTLESKY);
  if (!savetga(sky.data(), side, side, path)) {
    fprintf(stderr, "art_battlemaps: cannot write %s\n", path);
    return 1;
  }
  return 0;
}
