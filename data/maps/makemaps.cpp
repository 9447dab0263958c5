// Makes the maps of this folder: each a ".map" text and a run-length TGA
// image in which every province is one pure white pixel and the borders
// between provinces are red. Provinces are the cells around scattered points;
// a height and a moisture field over the picture give their terrain.
//
//   g++ -O2 -std=c++20 -o makemaps makemaps.cpp && ./makemaps .
//
// The output depends only on the fixed seeds below, so running it again
// gives the same files.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace {

uint32_t state = 1;
uint32_t next() {
  state = state * 1664525u + 1013904223u;
  return state >> 8;
}
double unit() { return double(next() % 1000000) / 1000000.0; }

struct Province {
  int x, y;          // white pixel; y counts from the bottom row
  uint32_t terrain;
  int size = 0;
};

constexpr uint32_t SMALL = 0x1, LARGE = 0x2, SEA = 0x4, FRESH = 0x8, MOUNT = 0x10, SWAMP = 0x20, WASTE = 0x40,
                   FOREST = 0x80, FARM = 0x100, DEEP = 0x800, CAVE = 0x1000;

struct Field {
  double ph[6];
  void init() {
    for (double& p : ph) p = unit() * 6.283;
  }
  double at(double x, double y, double w, double h) const {
    double u = x / w * 6.283, v = y / h * 6.283;
    return 0.5 * sin(u * 1.0 + ph[0]) * cos(v * 1.0 + ph[1]) + 0.3 * sin(u * 2.3 + v * 1.7 + ph[2]) +
           0.2 * cos(u * 3.1 - v * 2.9 + ph[3]) + 0.15 * sin(v * 4.3 + ph[4]) * cos(u * 3.7 + ph[5]);
  }
};

struct MapSpec {
  const char* file;
  const char* title;
  const char* description;
  int width, height, provinces, starts;
  uint32_t seed;
  double sealevel, mountlevel;
  double zoom;
};

void colourof(uint32_t t, uint8_t* c) {
  uint8_t r = 120, g = 170, b = 90;                     // plains
  if (t & SEA) r = 40, g = 80, b = 170;
  if ((t & SEA) && (t & DEEP)) r = 20, g = 45, b = 120;
  else if (t & CAVE) r = 90, g = 80, b = 75;
  else if (t & MOUNT) r = 150, g = 140, b = 130;
  else if (t & SWAMP) r = 80, g = 110, b = 80;
  else if (t & WASTE) r = 190, g = 175, b = 120;
  else if (t & FOREST) r = 40, g = 120, b = 50;
  else if (t & FARM) r = 170, g = 190, b = 80;
  c[0] = r, c[1] = g, c[2] = b, c[3] = 255;
}

// Run-length TGA, 32 bits a pixel, bottom row first.
void writetga(const std::string& path, const std::vector<uint8_t>& px, int w, int h) {
  std::vector<uint8_t> d(18, 0);
  d[2] = 10;
  d[12] = uint8_t(w), d[13] = uint8_t(w >> 8), d[14] = uint8_t(h), d[15] = uint8_t(h >> 8);
  d[16] = 32, d[17] = 8;
  for (int y = 0; y < h; y++) {
    const uint8_t* row = &px[size_t(y) * w * 4];
    int x = 0;
    while (x < w) {
      int run = 1;
      while (x + run < w && run < 128 && std::equal(row + (x + run) * 4, row + (x + run) * 4 + 4, row + x * 4)) run++;
      if (run > 1) {
        d.push_back(uint8_t(0x80 | (run - 1)));
        const uint8_t* p = row + x * 4;
        d.push_back(p[2]), d.push_back(p[1]), d.push_back(p[0]), d.push_back(p[3]);
        x += run;
        continue;
      }
      int lit = 1;
      while (x + lit < w && lit < 128 &&
             !(x + lit + 1 < w &&
               std::equal(row + (x + lit) * 4, row + (x + lit) * 4 + 4, row + (x + lit + 1) * 4)))
        lit++;
      d.push_back(uint8_t(lit - 1));
      for (int i = 0; i < lit; i++) {
        const uint8_t* p = row + (x + i) * 4;
        d.push_back(p[2]), d.push_back(p[1]), d.push_back(p[0]), d.push_back(p[3]);
      }
      x += lit;
    }
  }
  FILE* f = fopen(path.c_str(), "wb");
  if (!f) return;
  fwrite(d.data(), 1, d.size(), f);
  fclose(f);
}

void make(const MapSpec& plan, const std::string& folder) {
  state = plan.seed;
  const int w = plan.width, h = plan.height;
  // Points at least a minimum distance apart.
  std::vector<Province> p;
  double mind = sqrt(double(w) * h / plan.provinces) * 0.7;
  for (int tries = 0; int(p.size()) < plan.provinces && tries < 200000; tries++) {
    int x = 6 + int(next() % uint32_t(w - 12)), y = 6 + int(next() % uint32_t(h - 12));
    bool ok = true;
    for (const Province& q : p)
      if (hypot(q.x - x, q.y - y) < mind) ok = false;
    if (ok) p.push_back({x, y, 0});
  }
  // Province numbers follow the image's pixel order: bottom row first.
  std::sort(p.begin(), p.end(), [](const Province& a, const Province& b) { return a.y != b.y ? a.y < b.y : a.x < b.x; });
  const int n = int(p.size());
  std::vector<int16_t> owner(size_t(w) * h);
  for (int y = 0; y < h; y++)
    for (int x = 0; x < w; x++) {
      int best = 0;
      long bd = 1L << 60;
      for (int i = 0; i < n; i++) {
        long dx = p[i].x - x, dy = p[i].y - y, d = dx * dx + dy * dy;
        if (d < bd) bd = d, best = i;
      }
      owner[size_t(y) * w + x] = int16_t(best);
      p[best].size++;
    }
  // Terrain from the height and moisture fields at each point.
  Field height, wet;
  height.init();
  wet.init();
  for (Province& q : p) {
    double hgt = height.at(q.x, q.y, w, h), mo = wet.at(q.x, q.y, w, h);
    uint32_t t = 0;
    if (hgt < plan.sealevel) {
      t = SEA;
      if (hgt < plan.sealevel - 0.35) t |= DEEP;
    } else if (hgt > plan.mountlevel) {
      t = MOUNT;
      if (next() % 4 == 0) t = CAVE;
    } else if (mo > 0.45) {
      t = SWAMP;
    } else if (mo > 0.15) {
      t = FOREST;
    } else if (mo < -0.5) {
      t = WASTE;
    } else if (mo < -0.1 && next() % 2) {
      t = FARM;
    }
    if (!(t & (SEA | CAVE)) && next() % 6 == 0) t |= FRESH;
    q.terrain = t;
  }
  double mean = double(w) * h / n;
  for (Province& q : p) {
    if (q.terrain & SEA) continue;
    if (q.size < mean * 0.6) q.terrain |= SMALL;
    else if (q.size > mean * 1.4) q.terrain |= LARGE;
  }
  // Borders and neighbours: a shared edge of at least three pixels.
  std::map<std::pair<int, int>, int> edges;
  std::vector<uint8_t> px(size_t(w) * h * 4);
  for (int y = 0; y < h; y++)
    for (int x = 0; x < w; x++) {
      int o = owner[size_t(y) * w + x];
      uint8_t* c = &px[(size_t(y) * w + x) * 4];
      colourof(p[o].terrain, c);
      int right = x + 1 < w ? owner[size_t(y) * w + x + 1] : o;
      int up = y + 1 < h ? owner[size_t(y + 1) * w + x] : o;
      for (int other : {right, up})
        if (other != o) {
          edges[{std::min(o, other), std::max(o, other)}]++;
          c[0] = 200, c[1] = 20, c[2] = 20;
        }
    }
  for (const Province& q : p) {
    uint8_t* c = &px[(size_t(q.y) * w + q.x) * 4];
    c[0] = c[1] = c[2] = c[3] = 255;
  }
  // Start provinces: land far from each other, chosen greedily.
  std::vector<int> starts;
  for (int k = 0; k < plan.starts; k++) {
    int best = -1;
    double bd = -1;
    for (int i = 0; i < n; i++) {
      if (p[i].terrain & (SEA | CAVE)) continue;
      double d = 1e18;
      for (int s : starts) d = std::min(d, hypot(p[i].x - p[s].x, p[i].y - p[s].y));
      if (starts.empty()) d = hypot(p[i].x - w / 2.0, p[i].y - h / 2.0) * -1 + 1e9;
      if (std::find(starts.begin(), starts.end(), i) != starts.end()) continue;
      if (d > bd) bd = d, best = i;
    }
    if (best >= 0) starts.push_back(best);
  }
  std::string base = folder + "/" + plan.file;
  writetga(base + ".tga", px, w, h);
  FILE* f = fopen((base + ".map").c_str(), "w");
  if (!f) return;
  fprintf(f, "-- %s: made by makemaps.cpp\n#vey2title %s\n#imagefile %s.tga\n", plan.title, plan.title, plan.file);
  fprintf(f, "#description \"%s\"\n#defaultmapzoom %.2f\n#maptextcol 1.0 1.0 0.9 1.0\n\n", plan.description, plan.zoom);
  fprintf(f, "-- Terrain of each province\n");
  for (int i = 0; i < n; i++) fprintf(f, "#terrain %d %u\n", i + 1, p[i].terrain);
  fprintf(f, "\n-- Neighbours\n");
  for (const auto& [pair, length] : edges)
    if (length >= 3) fprintf(f, "#neighbour %d %d\n", pair.first + 1, pair.second + 1);
  fprintf(f, "\n-- Start provinces\n");
  for (int s : starts) fprintf(f, "#start %d\n", s + 1);
  fclose(f);
  int sea = 0, cave = 0;
  for (const Province& q : p) sea += (q.terrain & SEA) != 0, cave += (q.terrain & CAVE) != 0;
  printf("%s: %d provinces, %d sea, %d caves, %zu starts\n", plan.file, n, sea, cave, starts.size());
}

}  // namespace

int main(int argc, char** argv) {
  std::string folder = argc > 1 ? argv[1] : ".";
  make({"testvale", "Test Vale",
        "A small vale of twenty-five provinces between a lake and the hills, made for quick games and tests.",
        480, 360, 25, 4, 7, -0.45, 0.55, 1.0},
       folder);
  make({"veyrmark", "Veyrmark",
        "The old kingdoms of the Veyrmark: coasts and deep waters to the west, mountains riddled with caves, "
        "forests, marshes and farmland. Room for up to sixteen nations.",
        1280, 960, 150, 16, 20261206, -0.25, 0.45, 1.0},
       folder);
  return 0;
}
