// Random map relief: sea, deep sea and mountain levels at the requested
// shares, capitals scattered at minimum distances with their terrain kinds,
// and capitals pulled to the middle of their provinces.
#include <algorithm>
#include <cmath>
#include <unordered_set>

#include "runtime/fatal.h"
#include "runtime/options.h"
#include "runtime/progress.h"
#include "runtime/rnd.h"
#include "world/world.h"
#include "worldgen/randmap.h"

namespace {
const char* const TITLE = "Random Map Generation";

// The heights of every second pixel of every second row, sorted: the share
// below a level is then one binary search instead of a pass over the map.
struct WaterSamples {
  std::vector<float> sorted;
  const float* source = nullptr;
  size_t size = 0;
  int32_t width = 0;
} samples;

void buildsamples() {
  if (samples.source == rm.heights.data() && samples.size == rm.heights.size() && samples.width == rm.width) return;
  samples.sorted.clear();
  for (int32_t y = 0; y < rm.height; y += 2)
    for (int32_t x = 0; x < rm.width; x += 2) samples.sorted.push_back(rm.heights[size_t(y) * size_t(rm.width) + size_t(x)]);
  std::sort(samples.sorted.begin(), samples.sorted.end());
  samples.source = rm.heights.data();
  samples.size = rm.heights.size();
  samples.width = rm.width;
}

void forgetsamples() {
  samples.sorted = {};
  samples.source = nullptr;
  samples.size = 0;
}

// Counts of water pixels over rectangles through a summed-area table; a
// rectangle that reaches past the map reads the clamped heights instead.
struct WaterTable {
  std::vector<uint32_t> sum;   // (width + 1) x (height + 1)
  void build() {
    size_t w1 = size_t(rm.width) + 1;
    sum.assign(w1 * (size_t(rm.height) + 1), 0);
    for (int32_t y = 0; y < rm.height; y++) {
      uint32_t row = 0;
      for (int32_t x = 0; x < rm.width; x++) {
        row += rm.heights[size_t(y) * size_t(rm.width) + size_t(x)] < rm.sealevel;
        sum[(size_t(y) + 1) * w1 + size_t(x) + 1] = sum[size_t(y) * w1 + size_t(x) + 1] + row;
      }
    }
  }
  // Water pixels in columns x0..x1 and rows y0..y1, inclusive.
  int64_t count(int32_t x0, int32_t y0, int32_t x1, int32_t y1) const {
    if (x1 < x0 || y1 < y0) return 0;
    if (sum.empty() || x0 < 0 || y0 < 0 || x1 >= rm.width || y1 >= rm.height) {
      int64_t n = 0;
      for (int32_t y = y0; y <= y1; y++)
        for (int32_t x = x0; x <= x1; x++) n += RMHeight(x, y) < rm.sealevel;
      return n;
    }
    size_t w1 = size_t(rm.width) + 1;
    return int64_t(sum[(size_t(y1) + 1) * w1 + size_t(x1) + 1]) - sum[size_t(y0) * w1 + size_t(x1) + 1] -
           sum[(size_t(y1) + 1) * w1 + size_t(x0)] + sum[size_t(y0) * w1 + size_t(x0)];
  }
} water;

int squareissea(int32_t x, int32_t y, int32_t size) {
  int32_t half = size / 2;
  int64_t n = int64_t(2 * half) * (2 * half);
  if (n <= 0) return 0;
  return double(water.count(x - half, y - half, x + half - 1, y + half - 1)) / double(n) > 0.75;
}

// Capitals already placed, bucketed so that a distance test looks only at
// the cells around the spot.
struct CapitalGrid {
  int32_t cell = 1, gw = 1, gh = 1;
  std::vector<std::vector<int32_t>> cells;
  void reset(int32_t size) {
    cell = std::max(1, size);
    gw = rm.width / cell + 1;
    gh = rm.height / cell + 1;
    cells.assign(size_t(gw) * size_t(gh), {});
  }
  void add(int32_t lnr) {
    const ProvGeo& p = provgeo[size_t(lnr)];
    cells[size_t(p.y / cell) * size_t(gw) + size_t(p.x / cell)].push_back(lnr);
  }
  // 1 when every capital (every sea capital with seaonly) lies at least
  // dist away from (x, y).
  bool clear(int32_t x, int32_t y, int32_t dist, bool seaonly) const {
    int64_t d2 = int64_t(dist) * dist;
    int32_t cx0 = std::max(0, (x - dist) / cell), cx1 = std::min(gw - 1, (x + dist) / cell);
    int32_t cy0 = std::max(0, (y - dist) / cell), cy1 = std::min(gh - 1, (y + dist) / cell);
    for (int32_t cy = cy0; cy <= cy1; cy++)
      for (int32_t cx = cx0; cx <= cx1; cx++)
        for (int32_t l : cells[size_t(cy) * size_t(gw) + size_t(cx)]) {
          const ProvGeo& p = provgeo[size_t(l)];
          if (seaonly && !(p.terrain & TM_SEA)) continue;
          int64_t dx = p.x - x, dy = p.y - y;
          if (dx * dx + dy * dy < d2) return false;
        }
    return true;
  }
};

void clearprovince(int32_t lnr) {
  ProvGeo& p = provgeo[size_t(lnr)];
  p = ProvGeo{};
  for (int i = 0; i < 3; i++) p.groundcol[i] = p.rockcol[i] = p.fogcol[i] = -1;
}

// The terrain kind of a new land province from the shares.
uint32_t landkind(int32_t lnr, uint32_t mask) {
  bool coastal = rmiscoastal(lnr);
  int32_t r = rnd(100);
  if (coastal ? r < forestpart - 5 : r <= forestpart + 4) return mask | TM_FOREST;
  r = rnd(100);
  if (coastal ? r <= farmpart + 9 : r < farmpart - 5) return (mask & TM_MOUNTAINS) ? mask : mask | TM_FARM;
  r = rnd(100);
  if (coastal ? r < wastepart - 5 : r <= wastepart + 4) return mask | TM_WASTE;
  r = rnd(100);
  if (coastal ? r <= swamppart + 4 : r < swamppart - 5) return mask | TM_SWAMP;
  return mask;
}
}  // namespace

float RMWaterShare(float level) {
  buildsamples();
  if (samples.sorted.empty()) return 0;
  auto below = std::lower_bound(samples.sorted.begin(), samples.sorted.end(), level) - samples.sorted.begin();
  return float(below) / float(samples.sorted.size());
}

int RMSquareIsSea(int32_t x, int32_t y, int32_t size) { return squareissea(x, y, size); }

void rmsealevel(float seashare, int32_t showprogress) {
  float level = 0, share = 0;
  rm.deeplevel = 0;
  rm.deepshare = 0;
  // Heights stay below about 450; the bound only guards a damaged field.
  while (share < seashare && level < 100000.0f) {
    if (showprogress) progressbox(TITLE, int32_t(level), "Filling up with water");
    share = RMWaterShare(level);
    if (share < 0.4f * seashare) {
      rm.deeplevel = level;
      rm.deepshare = share;
    }
    level += 2.5f;
  }
  rm.sealevel = level;
  rm.seashare = RMWaterShare(level);
  RMLog("   Sea level %f (part %f, real %f) deep %f (part %f, real %f)", double(rm.sealevel), double(seashare),
        double(rm.seashare), double(rm.deeplevel), double(0.4f * seashare), double(rm.deepshare));
}

void rmmountlevel(float seashare, float mountshare, int32_t showprogress) {
  float target = mountshare * (1.0f - seashare);
  float level = 450;
  while (1.0f - RMWaterShare(level) < target && level > -100000.0f) {
    if (showprogress) progressbox(TITLE, int32_t((450 - level) * 0.5f), "Putting down some mountains");
    level -= 2.5f;
  }
  rm.mountlevel = level;
  rm.mountshare = 1.0f - RMWaterShare(level);
  RMLog("   Mount level %f (part %f, realpart %f)", double(level), double(target), double(rm.mountshare));
  forgetsamples();
}

void rmplacecapitals(int32_t provinces, int32_t showprogress) {
  int32_t w = rm.width, h = rm.height;
  int32_t edge = w >= 1040 ? 25 : w / 40;
  edge = std::max(0, std::min(edge, h / 40));
  int32_t distance = int32_t(std::sqrt(double(int64_t(h - edge) * (w - edge) / (int64_t(provinces) * 5))));
  if (rm.seashare > 0.5f) distance = int32_t(float(distance) * (1.5f - rm.seashare));
  // Two capitals on one pixel (or one 2 x 2 block of a map made at double
  // size) would merge into one white mark.
  int32_t floor = rm.antialias ? 2 : 1;
  distance = std::max(distance, floor);
  rm.mindist = float(distance);
  int32_t seadist = 3 * distance;
  RMLog("mindist %d  minseadist %d", distance, seadist);

  for (ProvGeo& p : provgeo) std::fill(std::begin(p.nbr), std::end(p.nbr), 0);
  nbrlands = 0;
  water.build();
  CapitalGrid grid;
  grid.reset(distance);
  bool stuck = false;
  for (int32_t k = 0; k < provinces && !stuck; k++) {
    int32_t tries = 0, x = 0, y = 0, probe = 0;
    bool atfloor = false;
    for (;;) {
      tries++;
      x = edge + rnd(w - 2 * edge);
      y = edge + rnd(h - 2 * edge);
      probe = int32_t(float(distance) * 0.5f);
      int32_t p2 = probe / 2;
      int64_t n = int64_t(2 * p2 + 1) * (2 * p2 + 1);
      double share = double(water.count(x - p2, y - p2, x + p2, y + p2)) / double(n);
      bool good = !(share > 0.01 && share < 0.99);
      if (good && !grid.clear(x, y, distance, false)) good = false;
      if (good && squareissea(x, y, probe) && !grid.clear(x, y, seadist, true)) {
        RMLog("  close sea cap");
        good = false;
      }
      if (good) break;
      if (showprogress && tries % 64 == 0) progressbox(TITLE, k * 100 / provinces, "Placing capitals");
      if (tries > 10000) {
        if (atfloor) {
          // Nothing fits even at the smallest distances: keep what stands.
          RMLog("no room for more capitals (%d placed)", nbrlands);
          stuck = true;
          break;
        }
        seadist = std::max(floor, int32_t(float(seadist) * 0.9f));
        distance = std::max(floor, int32_t(float(distance) * 0.9f));
        atfloor = distance == floor && seadist == floor;
        RMLog("trouble placing capitals %f %f", double(distance), double(seadist));
        tries = 0;
      }
    }
    if (stuck) break;
    int32_t lnr = ++nbrlands;
    clearprovince(lnr);
    ProvGeo& p = provgeo[size_t(lnr)];
    p.x = int16_t(x);
    p.y = int16_t(y);
    uint32_t mask = 0;
    if (squareissea(x, y, probe)) {
      mask = TM_SEA;
      if (RMHeight(x, y) < rm.deeplevel) mask |= TM_DEEPSEA;
    } else {
      if (!rmimpassable && RMHeight(x, y) >= rm.mountlevel) mask = TM_MOUNTAINS;
      mask = landkind(lnr, mask);
    }
    if (rnd(100) < 5) mask |= TM_FIRESITE << rnd(9);
    p.terrain = mask;
    grid.add(lnr);
  }
  water.sum = {};
}

void rmcentrecapitals(int32_t showprogress) {
  int32_t n = nbrlands;
  std::vector<int64_t> sx(size_t(n) + 1, 0), sy(size_t(n) + 1, 0), count(size_t(n) + 1, 0);
  std::vector<int32_t> x0(size_t(n) + 1, rm.width), x1(size_t(n) + 1, -1), y0(size_t(n) + 1, rm.height),
      y1(size_t(n) + 1, -1);
  for (int32_t y = 0; y < rm.height; y++)
    for (int32_t x = 0; x < rm.width; x++) {
      int32_t o = rm.owner[size_t(y) * size_t(rm.width) + size_t(x)];
      if (o < 1 || o > n) continue;
      size_t i = size_t(o);
      sx[i] += x, sy[i] += y, count[i]++;
      x0[i] = std::min(x0[i], x), x1[i] = std::max(x1[i], x);
      y0[i] = std::min(y0[i], y), y1[i] = std::max(y1[i], y);
    }
  std::unordered_set<int64_t> taken;
  auto key = [](int32_t x, int32_t y) { return (int64_t(y) << 32) | uint32_t(x); };
  for (int32_t l = 1; l <= n; l++) taken.insert(key(provgeo[size_t(l)].x, provgeo[size_t(l)].y));
  for (int32_t l = 1; l <= n; l++) {
    if (showprogress) progressbox(TITLE, l * 100 / n, "Center capitals");
    ProvGeo& p = provgeo[size_t(l)];
    int32_t wy0 = std::max(0, p.y - rm.height / 3), wy1 = std::min(rm.height, p.y + rm.height / 3) - 1;
    int32_t wx0 = std::max(0, p.x - rm.width / 3), wx1 = std::min(rm.width, p.x + rm.width / 3) - 1;
    size_t i = size_t(l);
    int64_t ax = sx[i], ay = sy[i], c = count[i];
    if (c > 0 && (x0[i] < wx0 || x1[i] > wx1 || y0[i] < wy0 || y1[i] > wy1)) {
      // Part of the province lies outside the window: count the window only.
      ax = ay = c = 0;
      for (int32_t y = wy0; y <= wy1; y++)
        for (int32_t x = wx0; x <= wx1; x++)
          if (RMOwner(x, y) == l) ax += x, ay += y, c++;
    }
    if (c == 0) continue;   // a province without pixels keeps its capital
    int32_t cx = int32_t(ax / c), cy = int32_t(ay / c);
    bool below = RMHeight(cx, cy) < rm.sealevel;
    if ((p.terrain & TM_SEA) ? !below : below) continue;
    if (taken.count(key(cx, cy))) continue;   // never onto another capital
    taken.erase(key(p.x, p.y));
    p.x = int16_t(cx);
    p.y = int16_t(cy);
    taken.insert(key(cx, cy));
  }
}
