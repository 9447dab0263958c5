// Random map painting: the colour scheme, ground and sea, ground noise,
// decorations (rocks, trees, fields, swamp and waste marks, grass, magic
// sites), shaded province borders and rivers.
#include <algorithm>
#include <cmath>
#include <limits>

#include "runtime/fatal.h"
#include "runtime/image.h"
#include "runtime/options.h"
#include "runtime/progress.h"
#include "runtime/rnd.h"
#include "runtime/trs.h"
#include "world/hoststate.h"
#include "world/world.h"
#include "worldgen/randmap.h"
#include "worldgen/worldgen.h"

namespace {
const char* const TITLE = "Random Map Generation";

struct Rgba {
  int32_t c[4];
};
Rgba ground, sea, deep, shallow;

inline size_t at(int32_t x, int32_t y) { return size_t(y) * size_t(rm.width) + size_t(x); }

// The per-pixel jitter of blobs and noise patches: the same 1/4096 steps as
// frand, from a small generator that each blob seeds from frand's source, so
// the many pixels of a blob cost no library call each.
struct Jitter {
  uint32_t state;
  explicit Jitter(uint32_t seed) : state(seed * 2654435761u + 0x9E3779B9u) {}
  inline float next() {
    state ^= state << 13;
    state ^= state >> 17;
    state ^= state << 5;
    return float((state >> 8) & 4095) / 4096.0f;
  }
};
inline uint32_t jitterseed() { return uint32_t(frand() * 4096.0f) << 12 | uint32_t(frand() * 4096.0f); }

// RMBlendPixel for a pixel known to be inside the map.
inline void blend(size_t i, int32_t r, int32_t g, int32_t b, int32_t strength) {
  int32_t s = std::clamp(strength, 0, 255);
  uint8_t* p = &rm.picture[i * 4];
  p[0] = uint8_t((p[0] * (255 - s) + r * s) / 255);
  p[1] = uint8_t((p[1] * (255 - s) + g * s) / 255);
  p[2] = uint8_t((p[2] * (255 - s) + b * s) / 255);
  if (p[0] == 255 && p[1] == 255 && p[2] == 255) p[0] = p[1] = p[2] = 254;
}
inline float md() { return std::max(rm.mindist, 4.0f); }
inline bool landmask(int32_t l, uint32_t bit) { return l >= 1 && l <= nbrlands && (provgeo[size_t(l)].terrain & bit); }
inline bool colourset(const int32_t* c) { return c[0] != -1; }
// A colour of the command line, which takes any numbers: each component
// within 0..255.
Rgba optioncolour(const int32_t* c) {
  Rgba o;
  for (int i = 0; i < 4; i++) o.c[i] = std::clamp(c[i], 0, 255);
  return o;
}

void addstuff(int32_t x, int32_t y, int32_t frame, int32_t size) {
  if (int32_t(rm.stuff.size()) >= RM_MAXSTUFF) return;
  rm.stuff.push_back({x, y, int16_t(frame), int16_t(std::clamp(size, 0, 32767))});
}

Rgba mix(const Rgba& a, const Rgba& b, float weight) {
  Rgba r;
  for (int i = 0; i < 4; i++) r.c[i] = int32_t(float(a.c[i]) * (1 - weight) + float(b.c[i]) * weight);
  return r;
}

// Squared distance of every pixel to the nearest marked pixel, exact, in two
// passes of the one-dimensional lower-envelope transform.
std::vector<float> distancemap(const std::vector<uint8_t>& marked, int32_t w, int32_t h) {
  const float inf = 1e20f;
  std::vector<float> d(size_t(w) * size_t(h));
  for (size_t i = 0; i < d.size(); i++) d[i] = marked[i] ? 0.0f : inf;
  int32_t longest = std::max(w, h);
  std::vector<float> f(static_cast<size_t>(longest)), out(static_cast<size_t>(longest)), z(size_t(longest) + 1);
  std::vector<int32_t> v(static_cast<size_t>(longest));
  auto transform = [&](int32_t n) {
    int32_t k = 0;
    v[0] = 0;
    z[0] = -inf;
    z[1] = inf;
    for (int32_t q = 1; q < n; q++) {
      if (f[size_t(q)] >= inf) continue;
      if (f[size_t(v[0])] >= inf) {
        v[0] = q;
        continue;
      }
      float s;
      for (;;) {
        int32_t p = v[size_t(k)];
        s = ((f[size_t(q)] + float(q) * float(q)) - (f[size_t(p)] + float(p) * float(p))) / float(2 * q - 2 * p);
        if (s <= z[size_t(k)] && k > 0) k--;
        else break;
      }
      k++;
      v[size_t(k)] = q;
      z[size_t(k)] = s;
      z[size_t(k) + 1] = inf;
    }
    if (f[size_t(v[0])] >= inf) {
      for (int32_t q = 0; q < n; q++) out[size_t(q)] = inf;
      return;
    }
    k = 0;
    for (int32_t q = 0; q < n; q++) {
      while (z[size_t(k) + 1] < float(q)) k++;
      float dq = float(q - v[size_t(k)]);
      out[size_t(q)] = dq * dq + f[size_t(v[size_t(k)])];
    }
  };
  for (int32_t x = 0; x < w; x++) {
    for (int32_t y = 0; y < h; y++) f[size_t(y)] = d[size_t(y) * size_t(w) + size_t(x)];
    transform(h);
    for (int32_t y = 0; y < h; y++) d[size_t(y) * size_t(w) + size_t(x)] = out[size_t(y)];
  }
  for (int32_t y = 0; y < h; y++) {
    for (int32_t x = 0; x < w; x++) f[size_t(x)] = d[size_t(y) * size_t(w) + size_t(x)];
    transform(w);
    for (int32_t x = 0; x < w; x++) d[size_t(y) * size_t(w) + size_t(x)] = out[size_t(x)];
  }
  return d;
}

// Smallest |dx| + |dy| from (x, y) to a pixel of lnr with |dx|, |dy| <= reach;
// above reach when there is none.
int32_t nearestpixel(int32_t lnr, int32_t x, int32_t y, int32_t reach) {
  for (int32_t d = 1; d <= 2 * reach; d++)
    for (int32_t dx = -std::min(d, reach); dx <= std::min(d, reach); dx++) {
      int32_t dy = d - std::abs(dx);
      if (dy > reach) continue;
      if (RMOwner(x + dx, y + dy) == lnr || RMOwner(x + dx, y - dy) == lnr) return d;
    }
  return reach + 1;
}

// River path search: from the sea up through ever higher capitals.
int32_t FindRiverPath(int32_t lnr) {
  rm.rivercount++;
  if (rm.rivercount < RM_MAXPATH) rm.riverpath[rm.rivercount] = lnr;
  for (int32_t attempt = 0; attempt < 100; attempt++) {
    int32_t best = -1;
    float besth = -1e30f;
    for (int k = 0; k < 3; k++) {
      int32_t c = randneighbour(lnr);
      if (c < 1) continue;
      float hc = RMHeight(provgeo[size_t(c)].x, provgeo[size_t(c)].y);
      if (best < 1 || hc > besth) best = c, besth = hc;
    }
    if (best < 1 || (provgeo[size_t(best)].terrain & (TM_SEA | TM_FRESHWATER))) continue;
    if (besth > RMHeight(provgeo[size_t(lnr)].x, provgeo[size_t(lnr)].y)) {
      if (rm.rivercount <= 13) FindRiverPath(best);
      return rm.rivercount;
    }
  }
  return rm.rivercount;
}

void DrawCompleteRiver() {
  int32_t n = std::min(rm.rivercount, RM_MAXPATH - 1);
  const ProvGeo& mouth = provgeo[size_t(rm.riverpath[0])];
  float px = mouth.x, py = mouth.y, width = rm.mindist * 0.1f, heading = 0;
  for (int32_t k = 1; k <= n; k++) {
    int32_t lnr = rm.riverpath[k];
    int32_t J = int32_t(rm.mindist * 0.1f);
    float ax = float(provgeo[size_t(lnr)].x + rnd(J) - J / 2);
    float ay = float(provgeo[size_t(lnr)].y + rnd(J) - J / 2);
    float nx = ax, ny = ay;
    if (k < n) nx = provgeo[size_t(rm.riverpath[k + 1])].x, ny = provgeo[size_t(rm.riverpath[k + 1])].y;
    float step = rm.mindist * 0.05f;
    float target = step * (1.0f + float(n - 1 - k) / float(n));
    px = std::trunc(px);
    py = std::trunc(py);
    heading = std::atan2(ay - py, ax - px);
    float dirx = ax >= px ? 1.0f : -1.0f, diry = ay >= py ? 1.0f : -1.0f;
    bool wasinside = false;
    for (int32_t i = 0; i < 50; i++) {
      int32_t b = std::min(3 * i, 100), a = std::max(0, 100 - 3 * i);
      float sx = (float(a) * ax + float(b) * nx) / 100.0f, sy = (float(a) * ay + float(b) * ny) / 100.0f;
      float want = std::atan2(sy - py, sx - px);
      float turn = want - heading;
      if (turn > float(M_PI)) turn -= 2.0f * float(M_PI);
      if (turn < -float(M_PI)) turn += 2.0f * float(M_PI);
      heading += std::clamp(turn, -0.1f, 0.1f);
      width += std::clamp(target - width, -0.01f * step, 0.01f * step);
      for (int m = 0; m < 10; m++) {
        px += std::cos(heading) * step * 0.1f;
        py += std::sin(heading) * step * 0.1f;
        PaintBlob(54, 54, 130, 100, px, py, width);
      }
      bool passed = (px - ax) * dirx >= 0 && (py - ay) * diry >= 0;
      bool in = RMOwner(int32_t(px), int32_t(py)) == lnr;
      if (passed || (wasinside && !in)) break;
      wasinside |= in;
    }
    provgeo[size_t(lnr)].terrain |= TM_FRESHWATER;
  }
}
}  // namespace

void PaintBlob(int32_t r, int32_t g, int32_t b, int32_t strength, float cx, float cy, float radius) {
  if (!(radius > 0)) return;
  int32_t x0 = std::max(0, int32_t(std::floor(cx - radius))), x1 = std::min(rm.width - 1, int32_t(std::ceil(cx + radius)));
  int32_t y0 = std::max(0, int32_t(std::floor(cy - radius))), y1 = std::min(rm.height - 1, int32_t(std::ceil(cy + radius)));
  if (rm.picture.empty() || rm.heights.empty()) return;
  r = std::clamp(r, 0, 255), g = std::clamp(g, 0, 255), b = std::clamp(b, 0, 255);
  Jitter jitter(jitterseed());
  const float r2 = radius * radius, inv = 1.0f / radius, L = rm.sealevel;
  const float* heights = rm.heights.data();
  for (int32_t y = y0; y <= y1; y++) {
    float dy = float(y) - cy;
    if (dy * dy >= r2) continue;
    // Only the columns of this row that lie inside the circle.
    float half = std::sqrt(r2 - dy * dy);
    int32_t xa = std::max(x0, int32_t(std::floor(cx - half))), xb = std::min(x1, int32_t(std::ceil(cx + half)));
    for (int32_t x = xa; x <= xb; x++) {
      float dx = float(x) - cx, q = dx * dx + dy * dy;
      if (q >= r2 || heights[at(x, y)] < L) continue;
      float d = std::sqrt(q);
      blend(at(x, y), r, g, b, int32_t(((radius - d) * inv + (jitter.next() - 0.5f) * 0.1f) * float(strength)));
    }
  }
}

void ScatterStuff(int32_t lnr, int32_t cx, int32_t cy, int32_t spread, int32_t count, int32_t kind, int32_t size,
                  int32_t reach) {
  for (int32_t t = 0; t < count; t++) {
    int32_t x = cx - spread / 2 + rnd(spread);
    int32_t y = cy - spread / 2 + rnd(spread);
    if (int32_t(rm.stuff.size()) >= RM_MAXSTUFF) return;
    int32_t yc = std::min(y, rm.height - 1);
    if (RMHeight(x - 2, yc) < rm.sealevel || RMHeight(x, yc) < rm.sealevel || RMHeight(x + 2, yc) < rm.sealevel)
      continue;
    int32_t ox = std::clamp(x, 0, rm.width - 1), oy = std::clamp(y, 0, rm.height - 1);
    if (RMOwner(ox, oy) != lnr && reach <= 9999) {
      if (rnd(100) < 50) continue;
      int32_t d = nearestpixel(lnr, x, y, reach);
      if (d > reach || rnd(100) < d * 50 / reach) continue;
    }
    int32_t frame = kind, itemsize = size;
    if (kind == -1) frame = 24 + rnd(6), itemsize = int32_t(float(size) * 0.75f);
    if (kind == -2) frame = 35 + rnd(2);
    if (kind == -3) frame = 30 + rnd(5);
    addstuff(x, y, frame, itemsize);
    if (kind < 0) {
      PaintBlob(70, 89, 34, 50, float(x), float(y), ((frand() - 0.5f) * 1.2f + 1.0f) * float(size) * 1.5f);
      continue;
    }
    int32_t r = -1, g = 0, b = 0, strength = 0;
    if (frame == 37) r = 103, g = 125, b = 51, strength = 75;
    else if (frame == 40) r = 121, g = 120, b = 94, strength = 50;
    else if (frame < 22) r = 103, g = 81, b = 74, strength = 125;
    else if (frame == 41) r = 255, g = 255, b = 255, strength = 125;
    if (r >= 0) PaintBlob(r, g, b, strength, float(x), float(y), ((frand() - 0.5f) * 0.5f + 1.0f) * float(size));
  }
}

void rmcolours(int32_t showprogress) {
  if (showprogress) progressbox(TITLE, 0, "Putting in some color");
  ground = {{170, 146, 116, 255}};
  sea = {{54, 54, 130, 255}};
  deep = {{25, 25, 65, 255}};
  shallow = {{99, 103, 165, 255}};
  rm.snowworld = rm.translucentsea = 0;
  if (frand() < 0.1f) ground = {{161, 131, 106, 255}};
  else if (frand() < 0.2f) ground = {{252, 252, 252, 255}}, rm.snowworld = 1;
  else if (frand() < 0.2f) ground = {{143, 136, 102, 255}};
  if (frand() < 0.2f) sea = {{40, 65, 116, 255}};
  else if (frand() < 0.1f) sea = {{75, 70, 100, 255}};
  else if (frand() < 0.1f) sea.c[3] = 125 + rnd(85);
  rm.translucentsea = sea.c[3] < 255 && mapscol[3] < 255;
  Rgba* scheme[4] = {&ground, &sea, &deep, &shallow};
  for (int c = 0; c < 3; c++)
    for (Rgba* s : scheme) s->c[c] = int32_t(float(s->c[c]) * (0.95f + 0.1f * frand()));
  if (colourset(mapgcol)) ground = optioncolour(mapgcol);
  if (colourset(mapscol)) {
    // Deep and shallow water come from the numbers as given, and are
    // clamped with the rest below (each product within 0..255 already, so
    // that no number of the command line overflows).
    const auto part = [](int32_t v, float f) { return int32_t(std::clamp(float(v) * f, 0.0f, 255.0f)); };
    sea = optioncolour(mapscol);
    deep = {{part(mapscol[0], 0.5f), part(mapscol[1], 0.5f), part(mapscol[2], 0.5f), sea.c[3]}};
    shallow = {{part(mapscol[0], 1.75f), part(mapscol[1], 1.75f), part(mapscol[2], 1.25f), sea.c[3]}};
  }
  for (Rgba* s : scheme)
    for (int32_t& v : s->c) v = std::clamp(v, 0, 255);

  const int32_t w = rm.width, h = rm.height;
  rm.picture.assign(size_t(w) * size_t(h) * 4, 0);
  const float L = rm.sealevel, deepgap = rm.sealevel - rm.deeplevel;
  for (int32_t y = 0; y < h; y++)
    for (int32_t x = 0; x < w; x++) {
      float hgt = rm.heights[at(x, y)];
      Rgba c = ground;
      if (hgt < L) {
        float depth = L - hgt;
        c = depth < 10 ? mix(shallow, sea, depth * 0.1f) : sea;
        if (depth > deepgap) c = mix(sea, deep, std::min(1.0f, (depth - deepgap) * 0.2f));
        c.c[3] = sea.c[3];
      }
      if (c.c[0] == 255 && c.c[1] == 255 && c.c[2] == 255) c.c[0] = c.c[1] = c.c[2] = 254;
      RMPutPixel(x, y, c.c[0], c.c[1], c.c[2], c.c[3]);
    }
  if (mapnoise <= 0) return;
  double patches = 50.0 * double(w) * double(h) / (double(rm.mindist) * double(rm.mindist));
  for (int64_t k = 0; double(k) < patches; k++) {
    int32_t r = int32_t(rm.mindist * 0.2f * frand());
    int32_t cy = rnd(h), cx = rnd(w);
    if (r <= 0) continue;
    Jitter jitter(jitterseed());
    for (int32_t y = std::max(0, cy - r); y <= std::min(h - 1, cy + r); y++)
      for (int32_t x = std::max(0, cx - r); x <= std::min(w - 1, cx + r); x++) {
        int32_t q = (x - cx) * (x - cx) + (y - cy) * (y - cy);
        if (q >= r * r || rm.heights[at(x, y)] < L) continue;
        float d = std::sqrt(float(q));
        int32_t s = int32_t(jitter.next() * (float(r) - d) / float(r) * 200.0f);
        blend(at(x, y), 156, 135, 106, rm.snowworld ? s / 2 : s);
      }
  }
  for (size_t i = 0; i < size_t(w) * size_t(h); i++) blend(i, 0, 0, 0, rnd(mapnoise));
}

void rmrocks(int32_t showprogress) {
  const int32_t w = rm.width, h = rm.height;
  const float m = md(), half = m * 0.5f;
  for (int32_t y = 0; y < h; y++) {
    if (showprogress) progressbox(TITLE, int32_t(int64_t(y) * 100 / h), "Planting rocks");
    for (int32_t x = 0; x < w; x++) {
      int32_t l = rm.owner[at(x, y)];
      if (!landmask(l, TM_MOUNTAINS)) continue;
      bool rock = false;
      if (!rmimpassable) {
        float dx = float(x - provgeo[size_t(l)].x), dy = float(y - provgeo[size_t(l)].y);
        rock = dx * dx + dy * dy > 0.8f * m * m && float(rnd(1000)) < std::max(1.0f, 350.0f / m) &&
               IsMountainPixel(x, y) && IsMountainPixel(int32_t(float(x) + half), y) &&
               IsMountainPixel(int32_t(float(x) - half), y) && IsMountainPixel(x, int32_t(float(y) + half)) &&
               IsMountainPixel(x, int32_t(float(y) - half)) && IsMountainPixel(x, int32_t(float(y) - m * 0.25f)) &&
               IsMountainPixel(int32_t(float(x) + m), y) && IsMountainPixel(int32_t(float(x) - m), y);
      } else if (float(rnd(10000)) < std::max(1.0f, 220000.0f / (m * m))) {
        int32_t s = std::max(1, int32_t((frand() + 1.0f) * m * 0.11f));
        const int32_t probe[8][2] = {{s, 0}, {-s, 0}, {0, s}, {0, -s}, {s / 2, 0}, {-s / 2, 0}, {0, s / 2}, {0, -s / 2}};
        for (const auto& p : probe) {
          int32_t o = RMOwner(x + p[0], y + p[1]);
          if (o != l && landmask(o, TM_MOUNTAINS) && IsImpassablePair(l, o)) {
            rock = true;
            break;
          }
        }
      }
      if (!rock || int32_t(rm.stuff.size()) >= RM_MAXSTUFF) continue;
      addstuff(x, y, rnd(6), int32_t(m * 1.75f));
      PaintBlob(103, 81, 74, 55, float(x) + half, float(y), ((frand() - 0.5f) * 0.5f + 1.0f) * m * 1.2f);
    }
  }
}

void rmdecorations(int32_t showprogress) {
  const float m = md(), half = m * 0.5f, d = rm.mindist;
  for (int32_t l = 1; l <= nbrlands; l++) {
    const ProvGeo& p = provgeo[size_t(l)];
    if (p.terrain & TM_FARM) {
      int32_t count = rnd(5) + 5;
      ScatterStuff(l, p.x, p.y, int32_t(d * 1.25f), count, 37, int32_t(half), int32_t(d * 0.25f));
    }
  }
  rm.forestvariant = rnd(2);
  for (int32_t l = 1; l <= nbrlands; l++) {
    if (showprogress) progressbox(TITLE, l * 100 / nbrlands, "Planting trees and grass");
    const ProvGeo& p = provgeo[size_t(l)];
    if (p.terrain & TM_FOREST) {
      int32_t count = rnd(160) + 160;
      ScatterStuff(l, p.x, p.y, int32_t(d * 3), count, rm.forestvariant ? -3 : -1, int32_t(half), int32_t(d * 0.3f));
    }
    if (p.terrain & TM_SWAMP) {
      int32_t count = rnd(80) + 40;
      ScatterStuff(l, p.x, p.y, int32_t(2 * d), count, 40, int32_t(m * 0.4f), int32_t(d * 0.75f));
    }
    if (p.terrain & TM_WASTE) ScatterStuff(l, p.x, p.y, int32_t(d * 1.25f), 1, -2, int32_t(m * 0.85f), 0);
    for (int32_t k = 0; k < 9; k++)
      if (p.terrain & (TM_FIRESITE << k)) ScatterStuff(l, p.x, p.y, int32_t(d * 1.25f), 1, 41 + k, int32_t(m * 0.85f), 0);
    int32_t count = rnd(4);
    int32_t kind = 38 + rnd(2);
    ScatterStuff(l, p.x, p.y, int32_t(d * 4), count, kind, int32_t(half), 0);
  }
}

void rmborders(int32_t showprogress) {
  const int32_t w = rm.width, h = rm.height;
  int32_t W = borderwidth >= 0 ? borderwidth : 75 + rnd(50);
  float c = float(W) * rm.mindist * 0.03f * 0.01f, outer = 1.5f * c;
  int32_t R = int32_t(outer);
  Rgba gb = colourset(mapbcol) ? optioncolour(mapbcol) : Rgba{{0, 0, 0, 150}};
  int32_t sv = rm.translucentsea ? 255 : 0;
  Rgba sb = colourset(mapsbcol) ? optioncolour(mapsbcol) : Rgba{{sv, sv, sv, rm.translucentsea ? 75 : 150}};
  if (!(c > 0)) return;
  std::vector<uint8_t> border(size_t(w) * size_t(h));
  for (int32_t y = 0; y < h; y++)
    for (int32_t x = 0; x < w; x++) border[at(x, y)] = uint8_t(RMIsBorderPixel(x, y));
  std::vector<float> d2 = distancemap(border, w, h);
  border = {};
  for (int32_t y = 0; y < h; y++) {
    if (showprogress) progressbox(TITLE, int32_t(int64_t(y) * 100 / h), "Drawing borders");
    for (int32_t x = 0; x < w; x++) {
      float q = d2[at(x, y)];
      if (q > float(R) * float(R)) continue;
      float d = std::sqrt(q);
      float factor;
      if (d < c) factor = 1;
      else if (d < outer) factor = 1.0f - (d - c) / (0.5f * c);
      else continue;
      const Rgba& col = rm.heights[at(x, y)] >= rm.sealevel ? gb : sb;
      blend(at(x, y), col.c[0], col.c[1], col.c[2], int32_t(factor * float(col.c[3])));
    }
  }
}

void rmrivers(int32_t riveramount, int32_t showprogress) {
  int32_t lands = nbrlands, made = 0;
  if (lands < 1) return;
  int64_t tries = int64_t(riveramount) * lands / 100, most = int64_t(riveramount) * lands / 5000;
  for (int64_t t = 0; t < tries; t++) {
    if (showprogress) progressbox(TITLE, int32_t(t * 100 / lands), "Creating rivers");
    int32_t l = rnd(lands) + 1;
    if (!rmissea(l)) continue;
    int32_t n = randneighbour(l);
    if (n < 1 || rmissea(n)) continue;
    rm.rivercount = -1;
    int32_t k = FindRiverPath(l);
    int32_t last = rm.riverpath[std::min(k, RM_MAXPATH - 1)];
    bool longenough = k > 3 || (k == 3 && rnd(100) < 25);
    if (!longenough || !(RMHeight(provgeo[size_t(last)].x, provgeo[size_t(last)].y) > 0.9f * rm.mountlevel)) continue;
    made++;
    DrawCompleteRiver();
    if (made > most) break;
  }
}

void rmdrawstuff(int32_t showprogress) {
  std::stable_sort(rm.stuff.begin(), rm.stuff.end(), [](const RmStuff& a, const RmStuff& b) { return a.y > b.y; });
  flipimage32(rm.picture.data(), rm.width, rm.height);
  loadtrsfile(TRS_MAPSTUFF);
  const uint8_t* archive = trsfiledata(TRS_MAPSTUFF);
  bailif(!archive, "spr_mapstuff was not in memory");
  int32_t items = int32_t(rm.stuff.size());
  for (int32_t i = 0; i < items; i++) {
    const RmStuff& s = rm.stuff[size_t(i)];
    if (showprogress && i % 256 == 0) progressbox(TITLE, i * 100 / items, "Drawing Stuff");
    TrsSprite sprite = trssprite(archive, s.frame);
    drawtrssprite(sprite, 0, rm.picture.data(), rm.width, rm.height, s.x - s.size / 2, (rm.height - s.y) - s.size,
                  s.size, s.size, TRSDRAW_BLEND | TRSDRAW_KEEPALPHA, 0);
  }
}
