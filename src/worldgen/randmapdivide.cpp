// Random map division: every pixel goes to a province (sea provinces grow
// over water, land provinces over land), borders are smoothed, touching
// provinces become neighbours, and chains of border mountains are raised.
#include <algorithm>
#include <cmath>
#include <numeric>

#include "runtime/fatal.h"
#include "runtime/progress.h"
#include "runtime/rnd.h"
#include "runtime/workers.h"
#include "world/hoststate.h"
#include "world/world.h"
#include "worldgen/randmap.h"
#include "worldgen/worldgen.h"

namespace {
const char* const TITLE = "Random Map Generation";

inline size_t at(int32_t x, int32_t y) { return size_t(y) * size_t(rm.width) + size_t(x); }
// Water pixels as bits, made at the start of each division: the passes test
// water at random spots, and the bits stay in the fast caches where the
// heights would not.
std::vector<uint64_t> waterbits;
void makewaterbits() {
  size_t n = rm.heights.size();
  waterbits.assign((n + 63) / 64, 0);
  for (size_t i = 0; i < n; i++)
    if (rm.heights[i] < rm.sealevel) waterbits[i >> 6] |= uint64_t(1) << (i & 63);
}
inline bool wateri(size_t i) { return (waterbits[i >> 6] >> (i & 63)) & 1; }
inline bool waterat(int32_t x, int32_t y) { return wateri(at(x, y)); }
inline bool sealand(int32_t l) { return (provgeo[size_t(l)].terrain & TM_SEA) != 0; }

// The walks of the expansion take most of the random steps of a map; they
// come from a small generator of their own, seeded from the table generator
// at each division, so a map still follows from the seeds.
struct WalkSteps {
  uint64_t state;
  inline uint32_t next32() {
    state ^= state >> 12;
    state ^= state << 25;
    state ^= state >> 27;
    return uint32_t((state * 2685821657736338717ULL) >> 32);
  }
  // One of the nine moves (dx, dy in -1..1), all equally likely.
  inline int32_t move() { return int32_t((uint64_t(next32()) * 9) >> 32); }
  // True with chance k / n.
  inline bool below(uint32_t n, uint32_t k) { return ((uint64_t(next32()) * n) >> 32) < k; }
  // An independent stream for one user of this seed.
  WalkSteps fork(uint64_t user) const {
    uint64_t z = state + (user + 1) * 0x9E3779B97F4A7C15ULL;   // splitmix64
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
    z ^= z >> 31;
    return WalkSteps{z | 1};
  }
};

// A walk that stands inside a square of its own province (Chebyshev radius r
// around it) goes on until it first steps onto the ring at distance r + 1.
// Where it lands there follows a fixed distribution, computed once per r,
// so the walk can be moved there at once: the outcome of every walk is
// distributed exactly as if it took every step.
constexpr int32_t MAXHOP = 10;
struct HopTables {
  // Per r: the landing offsets and an alias table over them (Walker's
  // method), so a landing costs two draws and no search.
  std::vector<std::vector<std::pair<int8_t, int8_t>>> ring;
  std::vector<std::vector<uint32_t>> keep;   // threshold of a 32-bit draw to keep the slot
  std::vector<std::vector<uint16_t>> alias;
  HopTables() : ring(MAXHOP + 1), keep(MAXHOP + 1), alias(MAXHOP + 1) {
    for (int32_t r = 1; r <= MAXHOP; r++) {
      int32_t side = 2 * r + 1;
      std::vector<double> mass(size_t(side * side), 0.0), next(mass.size());
      std::vector<double> land(size_t((side + 2) * (side + 2)), 0.0);
      mass[size_t(r * side + r)] = 1.0;
      double left = 1.0;
      while (left > 1e-13) {
        std::fill(next.begin(), next.end(), 0.0);
        for (int32_t y = 0; y < side; y++)
          for (int32_t x = 0; x < side; x++) {
            double m = mass[size_t(y * side + x)];
            if (m == 0) continue;
            for (int32_t dy = -1; dy <= 1; dy++)
              for (int32_t dx = -1; dx <= 1; dx++) {
                int32_t nx = x + dx, ny = y + dy;
                if (nx >= 0 && ny >= 0 && nx < side && ny < side) next[size_t(ny * side + nx)] += m / 9;
                else land[size_t((ny + 1) * (side + 2) + nx + 1)] += m / 9;
              }
          }
        mass.swap(next);
        left = 0;
        for (double m : mass) left += m;
      }
      std::vector<double> p;
      for (int32_t y = 0; y < side + 2; y++)
        for (int32_t x = 0; x < side + 2; x++) {
          double v = land[size_t(y * (side + 2) + x)];
          if (v <= 0) continue;
          ring[size_t(r)].push_back({int8_t(x - r - 1), int8_t(y - r - 1)});
          p.push_back(v);
        }
      double total = 0;
      for (double v : p) total += v;
      size_t n = p.size();
      for (double& v : p) v = v / total * double(n);
      std::vector<uint32_t>& k = keep[size_t(r)];
      std::vector<uint16_t>& al = alias[size_t(r)];
      k.assign(n, 0xFFFFFFFFu);
      al.resize(n);
      for (size_t i = 0; i < n; i++) al[i] = uint16_t(i);
      std::vector<size_t> small, large;
      for (size_t i = 0; i < n; i++) (p[i] < 1.0 ? small : large).push_back(i);
      while (!small.empty() && !large.empty()) {
        size_t lo = small.back(), hi = large.back();
        small.pop_back();
        k[lo] = uint32_t(std::min(4294967295.0, p[lo] * 4294967296.0));
        al[lo] = uint16_t(hi);
        p[hi] -= 1.0 - p[lo];
        if (p[hi] < 1.0) {
          large.pop_back();
          small.push_back(hi);
        }
      }
    }
  }
  inline std::pair<int8_t, int8_t> sample(int32_t r, uint32_t u, uint32_t v) const {
    const auto& rg = ring[size_t(r)];
    size_t i = size_t((uint64_t(u) * rg.size()) >> 32);
    return rg[v <= keep[size_t(r)][i] ? i : alias[size_t(r)][i]];
  }
};

const HopTables& hops() {
  static const HopTables tables;
  return tables;
}

// For every owned pixel, the Chebyshev radius of the square around it that
// its province owns whole (0 for unowned pixels), capped at MAXHOP. Pixels
// only ever pass from unowned to owned, so an old map never overstates a
// radius and the walks may use it between renewals.
void safemap(std::vector<uint8_t>& safe, std::vector<uint16_t>& walkmap) {
  const int32_t w = rm.width, h = rm.height;
  const int16_t* owner = rm.owner.data();
  safe.assign(size_t(w) * size_t(h), 0);
  const uint8_t far = MAXHOP + 1;
  // Distance to the nearest foreign pixel: 1 next to one (or to the map's
  // edge), then grown through pixels of the same province in two sweeps.
  for (int32_t y = 0; y < h; y++) {
    bool edgerow = y == 0 || y == h - 1;
    for (int32_t x = 0; x < w; x++) {
      size_t i = at(x, y);
      int16_t l = owner[i];
      if (l == 0) continue;
      if (edgerow || x == 0 || x == w - 1) {
        safe[i] = 1;
        continue;
      }
      const int16_t* up = owner + i - size_t(w);
      const int16_t* down = owner + i + size_t(w);
      if (up[-1] != l || up[0] != l || up[1] != l || owner[i - 1] != l || owner[i + 1] != l || down[-1] != l ||
          down[0] != l || down[1] != l) {
        safe[i] = 1;
        continue;
      }
      const uint8_t* su = safe.data() + i - size_t(w);
      uint8_t d = std::min({far, uint8_t(su[-1] + 1), uint8_t(su[0] + 1), uint8_t(su[1] + 1), uint8_t(safe[i - 1] + 1)});
      safe[i] = d;
    }
  }
  walkmap.resize(safe.size());
  for (int32_t y = h - 1; y >= 0; y--)
    for (int32_t x = w - 1; x >= 0; x--) {
      size_t i = at(x, y);
      uint8_t d = safe[i];
      if (d > 1) {
        const uint8_t* sd = safe.data() + i + size_t(w);
        d = std::min({d, uint8_t(sd[-1] + 1), uint8_t(sd[0] + 1), uint8_t(sd[1] + 1), uint8_t(safe[i + 1] + 1)});
        safe[i] = d;
      }
      uint8_t radius = d ? uint8_t(std::min<int32_t>(d - 1, MAXHOP)) : 0;
      walkmap[i] = uint16_t(uint16_t(owner[i]) | uint16_t(radius) << 11);
    }
}

void prefetcharea(const std::vector<uint16_t>& walkmap, int32_t x, int32_t y, int32_t reach) {
  int32_t x0 = std::max(0, x - reach), x1 = std::min(rm.width - 1, x + reach);
  for (int32_t row = std::max(0, y - reach); row <= std::min(rm.height - 1, y + reach); row++)
    for (int32_t col = x0; col <= x1 + 31; col += 32) __builtin_prefetch(&walkmap[at(std::min(col, x1), row)]);
}

// One province's walk from its capital: each step moves to a random one of
// the 8 surrounding pixels (or stays) until it leaves the province.
// The walk reads one map that holds each pixel's owner (low 11 bits) and
// its square's radius (high bits), so a step costs one memory access.
// Returns the pixel the province takes, or NOCLAIM. The walk only reads the
// maps, so the walks of one round can run side by side.
constexpr uint32_t NOCLAIM = ~uint32_t(0);
uint32_t walkonce(int32_t l, WalkSteps& steps, const std::vector<uint16_t>& walkmap) {
  int32_t x = provgeo[size_t(l)].x, y = provgeo[size_t(l)].y;
  const int32_t w = rm.width, h = rm.height;
  const uint16_t* walk = walkmap.data();
  const HopTables& table = hops();
  int32_t r = walk[at(x, y)] >> 11;
  for (;;) {
    if (r >= 1) {
      uint32_t u = steps.next32();
      auto [dx, dy] = table.sample(r, u, steps.next32());
      x += dx;
      y += dy;
    } else {
      int32_t move = steps.move();
      x += move % 3 - 1;
      y += move / 3 - 1;
    }
    if (x < 0 || y < 0 || x >= w || y >= h) return NOCLAIM;   // outside counts as unowned and is never taken
    uint16_t cell = walk[at(x, y)];
    int32_t o = cell & 0x7FF;
    r = cell >> 11;
    if (o == l) continue;
    if (o != 0) return NOCLAIM;
    bool water = waterat(x, y);
    bool take = sealand(l) ? water : (!water || steps.below(100, 30));
    return take ? uint32_t(at(x, y)) : NOCLAIM;
  }
}

// The expansion: every round, every province walks once over the map as it
// stood when the round began; the claims are then given out in province
// order, and a pixel claimed by an earlier province stops the later one, as
// if the later walk had found it owned. Each province draws from a stream of
// its own, so the result does not depend on how the walks are shared out
// among the threads.
void expand(Workers& workers, int32_t showprogress, WalkSteps seed) {
  std::vector<uint8_t> safe;
  std::vector<uint16_t> walkmap;
  std::vector<WalkSteps> streams(size_t(nbrlands) + 1);
  for (int32_t l = 1; l <= nbrlands; l++) streams[size_t(l)] = seed.fork(uint64_t(l));
  std::vector<uint32_t> claims(size_t(nbrlands) + 1, NOCLAIM);
  hops();   // built before the threads share it
  constexpr int32_t CHUNK = 8;
  const int32_t chunks = (nbrlands + CHUNK - 1) / CHUNK;
  int32_t reach = 3;
  const std::function<void(int32_t)> walkchunk = [&](int32_t c) {
    int32_t first = c * CHUNK + 1, last = std::min(nbrlands, first + CHUNK - 1);
    for (int32_t l = first; l <= last; l++) {
      // The walks wait mostly on memory: while one province walks, the
      // area of the next one is fetched.
      if (l < last) prefetcharea(walkmap, provgeo[size_t(l) + 1].x, provgeo[size_t(l) + 1].y, reach);
      claims[size_t(l)] = walkonce(l, streams[size_t(l)], walkmap);
    }
  };
  int16_t* owner = rm.owner.data();
  float rounds = 50.0f * rm.mindist;
  for (int32_t k = 0; float(k) < rounds; k++) {
    if (showprogress && k % 64 == 0) progressbox(TITLE, int32_t(float(k) * 100.0f / rounds), "Expanding territories");
    // The squares are renewed as the provinces grow: at doubled round counts, then every 512 rounds.
    if (k == 0 || (k >= 32 && (k & (k - 1)) == 0) || k % 512 == 0) safemap(safe, walkmap);
    reach = std::min(48, int32_t(std::sqrt(float(k)) * 0.7f) + 3);
    workers.run(chunks, walkchunk);
    for (int32_t l = 1; l <= nbrlands; l++) {
      uint32_t i = claims[size_t(l)];
      if (i == NOCLAIM || owner[i] != 0) continue;
      owner[i] = int16_t(l);
      walkmap[i] = uint16_t(l);
    }
  }
}

// The state of a division between passes. The map is cut into bands of rows
// that the threads work on side by side. Each band keeps its frontier: the
// owned pixels off the outermost rows and columns that have an unowned pixel
// among their 8 neighbours, in reading order (only they can take pixels in a
// growth pass). The unowned pixels are listed for the filling passes.
struct Band {
  int32_t y0 = 0, y1 = -1;                      // rows of the band
  std::vector<uint32_t> frontier;
  std::vector<uint32_t> taken;                  // pixels of the band taken in this pass
  std::vector<std::pair<uint32_t, int16_t>> up; // claims on the row above the band, settled after the pass
  int64_t innerblanks = 0;                      // unowned pixels off the outermost rows and columns
};
struct Division {
  std::vector<Band> bands;
  std::vector<uint32_t> blanks;   // may hold pixels taken since the last filling pass
  WalkSteps steps{0};
  // Row of a pixel number by one multiplication instead of a division
  // (exact for every 32-bit number and width).
  uint64_t rowmagic = 0;
  int32_t bandrows = 1;
  inline uint32_t row(uint32_t i) const { return uint32_t((unsigned __int128)rowmagic * i >> 64); }
  inline Band& bandof(uint32_t i) { return bands[row(i) / uint32_t(bandrows)]; }
  int64_t innerblanks() const {
    int64_t n = 0;
    for (const Band& b : bands) n += b.innerblanks;
    return n;
  }
};

inline bool inner(int32_t x, int32_t y) { return x >= 1 && y >= 1 && x <= rm.width - 2 && y <= rm.height - 2; }

// True when the inner pixel i has an unowned pixel among its 8 neighbours.
inline bool nexttoblank(uint32_t i) {
  const int16_t* o = rm.owner.data() + i;
  const size_t w = size_t(rm.width);
  return !o[-1] || !o[1] || !o[-w - 1] || !o[-w] || !o[-w + 1] || !o[w - 1] || !o[w] || !o[w + 1];
}

// Threads for a division: small maps are done before more threads would
// have started.
int32_t divisionthreads() {
  if (rm.threads > 0) return std::min(rm.threads, 64);
  int64_t area = int64_t(rm.width) * rm.height;
  return int32_t(std::clamp<int64_t>(area / 250000, 1, std::min(8, usablecores())));
}

WalkSteps newsteps() {
  return WalkSteps{(uint64_t(rnd(4096)) << 36 | uint64_t(rnd(4096)) << 24 | uint64_t(rnd(4096)) << 12 |
                    uint64_t(rnd(4096))) | 0x9E3779B97F4A7C15ULL};
}

Division finddivision(Workers& workers) {
  Division d;
  d.steps = newsteps();
  const int32_t w = rm.width, h = rm.height;
  d.rowmagic = ~uint64_t(0) / uint64_t(std::max(1, w)) + 1;
  // The bands follow from the map alone, so the result does not depend on
  // the number of threads.
  d.bandrows = rm.bandrows > 0 ? rm.bandrows : std::max(8, (h + 63) / 64);
  d.bands.resize(size_t((h + d.bandrows - 1) / d.bandrows));
  for (size_t b = 0; b < d.bands.size(); b++) {
    d.bands[b].y0 = int32_t(b) * d.bandrows;
    d.bands[b].y1 = std::min(h - 1, d.bands[b].y0 + d.bandrows - 1);
  }
  for (int32_t y = 0; y < h; y++)
    for (int32_t x = 0; x < w; x++)
      if (rm.owner[at(x, y)] == 0) d.blanks.push_back(uint32_t(at(x, y)));
  workers.run(int32_t(d.bands.size()), [&](int32_t b) {
    Band& band = d.bands[size_t(b)];
    for (int32_t y = std::max(1, band.y0); y <= std::min(h - 2, band.y1); y++)
      for (int32_t x = 1; x < w - 1; x++) {
        uint32_t i = uint32_t(at(x, y));
        if (rm.owner[i] == 0) band.innerblanks++;
        else if (nexttoblank(i)) band.frontier.push_back(i);
      }
  });
  return d;
}

// Brings every band's frontier and count up to date after its taken pixels
// were given owners: pixels that no longer touch an unowned one leave, taken
// pixels that do join, in reading order.
void update(Workers& workers, Division& d) {
  workers.run(int32_t(d.bands.size()), [&](int32_t b) {
    Band& band = d.bands[size_t(b)];
    std::vector<uint32_t> keep;
    keep.reserve(band.frontier.size() + band.taken.size());
    for (uint32_t i : band.frontier)
      if (nexttoblank(i)) keep.push_back(i);
    size_t old = keep.size();
    for (uint32_t i : band.taken) {
      uint32_t y = d.row(i);
      if (!inner(int32_t(i - y * uint32_t(rm.width)), int32_t(y))) continue;
      band.innerblanks--;
      if (nexttoblank(i)) keep.push_back(i);
    }
    std::sort(keep.begin() + ptrdiff_t(old), keep.end());
    std::inplace_merge(keep.begin(), keep.begin() + ptrdiff_t(old), keep.end());
    band.frontier.swap(keep);
    band.taken.clear();
  });
}

// The random draw of one pixel in one growth pass: a hash of both, so the
// passes need no shared generator and every band can draw on its own.
inline uint64_t pixeldraw(uint64_t passkey, uint32_t i) {
  uint64_t z = (uint64_t(i) + passkey) * 0x9E3779B97F4A7C15ULL;
  z = (z ^ (z >> 31)) * 0xD6E8FEB86659FD93ULL;
  return z ^ (z >> 32);
}

// One growth pass: every owned pixel off the outermost rows and columns
// picks one of its 3 x 3 neighbours and takes it when unowned and fitting;
// of two pixels that pick the same one, the first in reading order takes it.
// A band settles its own rows in reading order, starting with the picks that
// the last row of the band above makes into its first row; the picks its
// first row makes into the band above come after all of that band's own,
// so they are settled after the pass, band by band.
// Returns the inner unowned count from before the pass.
int32_t growpass(Workers& workers, Division& d, int32_t a, int32_t b) {
  const int32_t w = rm.width, h = rm.height;
  if (h < 3) return 0;
  int32_t before = int32_t(d.innerblanks());
  int16_t* owner = rm.owner.data();
  const int64_t offset[9] = {-w - 1, -w, -w + 1, -1, 0, 1, w - 1, w, w + 1};
  const uint64_t passkey = uint64_t(d.steps.next32()) << 32 | d.steps.next32();
  // Whether land l claims pixel t, with the pick's draw; -1 when it picks no
  // unowned pixel of the given rows.
  auto pick = [&](uint32_t i, int32_t& l, uint32_t& t) {
    uint64_t z = pixeldraw(passkey, i);
    l = owner[i];
    t = uint32_t(int64_t(i) + offset[(uint64_t(uint32_t(z)) * 9) >> 32]);
    uint32_t chance = uint32_t((uint64_t(uint32_t(z >> 32)) * 100) >> 32);
    bool water = wateri(t);
    return sealand(l) ? (water || chance < uint32_t(b)) : (!water || chance < uint32_t(a));
  };
  workers.run(int32_t(d.bands.size()), [&](int32_t k) {
    Band& band = d.bands[size_t(k)];
    band.up.clear();
    const uint32_t first = uint32_t(band.y0) * uint32_t(w), end = uint32_t(band.y1 + 1) * uint32_t(w);
    if (k > 0) {
      const std::vector<uint32_t>& above = d.bands[size_t(k) - 1].frontier;
      auto from = std::lower_bound(above.begin(), above.end(), first - uint32_t(w));
      for (auto it = from; it != above.end(); ++it) {
        int32_t l;
        uint32_t t;
        if (pick(*it, l, t) && t >= first && owner[t] == 0) {
          owner[t] = int16_t(l);
          band.taken.push_back(t);
        }
      }
    }
    for (uint32_t i : band.frontier) {
      int32_t l;
      uint32_t t;
      bool claim = pick(i, l, t);
      if (!claim || t >= end) continue;   // the band below settles picks into its rows
      if (t < first) band.up.push_back({t, int16_t(l)});
      else if (owner[t] == 0) {
        owner[t] = int16_t(l);
        band.taken.push_back(t);
      }
    }
  });
  for (size_t k = 1; k < d.bands.size(); k++)
    for (auto [t, l] : d.bands[k].up)
      if (owner[t] == 0) {
        owner[t] = l;
        d.bands[k - 1].taken.push_back(t);
      }
  update(workers, d);
  return before;
}

// One filling pass: every unowned pixel looks at its 3 x 3 neighbours as they
// were before the pass, in reading order, and the first that takes it owns it.
// Returns the unowned count from before the pass.
int32_t fillpass(Workers& workers, Division& d, int32_t a, int32_t b) {
  const int32_t w = rm.width, h = rm.height;
  std::erase_if(d.blanks, [](uint32_t i) { return rm.owner[i] != 0; });
  int32_t before = int32_t(d.blanks.size());
  std::vector<uint32_t> taken;
  std::vector<int16_t> takers;
  for (uint32_t i : d.blanks) {
    uint32_t yy = d.row(i);
    int32_t x = int32_t(i - yy * uint32_t(w)), y = int32_t(yy);
    bool water = waterat(x, y);
    int32_t taker = 0;
    for (int32_t ny = std::max(0, y - 1); ny <= std::min(h - 1, y + 1) && !taker; ny++)
      for (int32_t nx = std::max(0, x - 1); nx <= std::min(w - 1, x + 1); nx++) {
        int32_t l = rm.owner[at(nx, ny)];
        if (l == 0 || rnd(100) >= a) continue;
        if (sealand(l) ? (water || rnd(100) < b) : (!water || rnd(100) < 40)) {
          taker = l;
          break;
        }
      }
    if (taker) taken.push_back(i), takers.push_back(int16_t(taker));
  }
  for (size_t k = 0; k < taken.size(); k++) {
    rm.owner[taken[k]] = takers[k];
    d.bandof(taken[k]).taken.push_back(taken[k]);
  }
  update(workers, d);
  return before;
}
}  // namespace

void SortLands() {
  int32_t n = nbrlands;
  std::vector<int32_t> order(static_cast<size_t>(n));
  std::iota(order.begin(), order.end(), 1);
  std::stable_sort(order.begin(), order.end(), [](int32_t a, int32_t b) {
    const ProvGeo &p = provgeo[size_t(a)], &q = provgeo[size_t(b)];
    return p.y != q.y ? p.y < q.y : p.x < q.x;
  });
  std::vector<ProvGeo> copy(provgeo.begin() + 1, provgeo.begin() + 1 + n);
  for (int32_t k = 0; k < n; k++) {
    const ProvGeo& from = copy[size_t(order[size_t(k)] - 1)];
    ProvGeo& to = provgeo[size_t(k) + 1];
    to.x = from.x;
    to.y = from.y;
    to.terrain = from.terrain;
  }
}

int32_t GrowPass(int32_t a, int32_t b) {
  makewaterbits();
  Workers workers(divisionthreads());
  Division d = finddivision(workers);
  return growpass(workers, d, a, b);
}

int32_t FillPass(int32_t a, int32_t b) {
  makewaterbits();
  Workers workers(divisionthreads());
  Division d = finddivision(workers);
  return fillpass(workers, d, a, b);
}

void DivideWorld(int32_t showprogress, int32_t first) {
  rm.owner.assign(size_t(rm.width) * size_t(rm.height), 0);
  if (nbrlands < 1) return;
  makewaterbits();
  for (int32_t l = 1; l <= nbrlands; l++) RMSetOwner(provgeo[size_t(l)].x, provgeo[size_t(l)].y, l);
  Workers workers(divisionthreads());
  expand(workers, showprogress, newsteps());
  int64_t area = int64_t(rm.width) * rm.height;
  Division division = finddivision(workers);
  int32_t blanks = growpass(workers, division, 30, 1);
  int32_t firstblanks = std::max(1, blanks);
  int32_t stalled = 0;
  while (blanks > 0) {
    if (showprogress) progressbox(TITLE, (firstblanks - blanks) * 100 / firstblanks, "Dividing the world");
    int32_t before = blanks;
    if (blanks >= 3 * (rm.width + rm.height)) {
      if (blanks < area / (first ? 20 : 50)) {
        blanks = fillpass(workers, division, 60, 15);
        RMLog("eblanks %d", blanks);
      } else if (blanks < area / 10) {
        blanks = growpass(workers, division, 75, 5);
        RMLog("_blanks %d", blanks);
      } else {
        blanks = growpass(workers, division, 30, 1);
        RMLog("blanks %d", blanks);
      }
    } else {
      blanks = fillpass(workers, division, 100, 50);
      RMLog("feblanks %d", blanks);
    }
    // The passes count before they fill; a count that stops falling means
    // pixels no province can reach, which must not loop for ever.
    stalled = blanks >= before ? stalled + 1 : 0;
    if (stalled > 1000) break;
  }
  // The growth passes skip the outermost rows and columns: fill what they left.
  for (int32_t pass = 0; pass < 10000 && division.innerblanks() + int64_t(division.blanks.size()) > 0; pass++)
    if (fillpass(workers, division, 100, 50) == 0) break;
}

void rmprettify(int32_t showprogress) {
  const int32_t w = rm.width, h = rm.height;
  for (int32_t pass = 0; pass < 3; pass++) {
    std::vector<int16_t> copy = rm.owner;
    for (int32_t y = 1; y <= h - 2; y++) {
      if (showprogress) progressbox(TITLE, int32_t((int64_t(pass) * h + y) * 100 / (3 * int64_t(h))), "Prettifying borders");
      for (int32_t x = 1; x <= w - 2; x++) {
        int32_t centre = copy[at(x, y)];
        int32_t same = 0, last = centre;
        for (int32_t dy = -1; dy <= 1; dy++)
          for (int32_t dx = -1; dx <= 1; dx++) {
            int32_t v = copy[at(x + dx, y + dy)];
            if (v == centre) same++;
            else last = v;
          }
        if (same < 5) rm.owner[at(x, y)] = int16_t(last);
      }
    }
  }
}

// Two provinces are neighbours when enough sampled pixels of the one touch
// the other. The sample is a checkerboard anchored at the left edge of the
// window around the first province's capital; its scan runs down the rows
// until the province has been left behind. One scan per province collects
// the counts of every later province at once, which gives the same pairs as
// a scan per pair.
void rmfindneighbours(int32_t showprogress) {
  const int32_t w = rm.width, h = rm.height, n = nbrlands;
  for (int32_t l = 0; l < MAXLANDS; l++) std::fill(std::begin(provgeo[size_t(l)].nbr), std::end(provgeo[size_t(l)].nbr), 0);
  // Bounding rows and columns of each province.
  std::vector<int32_t> bx0(size_t(n) + 1, w), bx1(size_t(n) + 1, -1), by0(size_t(n) + 1, h), by1(size_t(n) + 1, -1);
  for (int32_t y = 0; y < h; y++)
    for (int32_t x = 0; x < w; x++) {
      int32_t o = rm.owner[at(x, y)];
      if (o < 1 || o > n) continue;
      size_t i = size_t(o);
      bx0[i] = std::min(bx0[i], x), bx1[i] = std::max(bx1[i], x);
      by0[i] = std::min(by0[i], y), by1[i] = std::max(by1[i], y);
    }
  const int32_t R = int32_t(rm.mindist * 15.0f);
  const float threshold = std::min(10.0f, rm.mindist * 0.05f);
  std::vector<int32_t> counts(size_t(n) + 1, 0);
  std::vector<int32_t> touched;
  for (int32_t i = 1; i <= n; i++) {
    if (showprogress) progressbox(TITLE, i * 100 / n, "Finding all neighbors");
    RMLog("  Nbors for %d", i);
    const ProvGeo& pi = provgeo[size_t(i)];
    touched.clear();
    if (bx1[size_t(i)] >= 0) {
      int32_t r0 = std::max(1, pi.y - R / 2);
      int32_t c0 = std::max(1, pi.x - R / 2), c1 = std::min(pi.x + R / 2, w - 2);
      int32_t first = std::max(r0, by0[size_t(i)]);
      int32_t lastseen = -1;
      for (int32_t y = first; y <= h - 2; y++) {
        if (lastseen >= 0 && y > lastseen + 1) break;
        int32_t start = c0 + (y & 1);
        // Skip to the province's first column, keeping the sample's parity.
        int32_t from = std::max(start, bx0[size_t(i)]);
        from += (from - start) & 1;
        int32_t to = std::min(c1, bx1[size_t(i)] + 1);
        for (int32_t x = from; x < to; x += 2) {
          if (rm.owner[at(x, y)] != i) continue;
          lastseen = y;
          int32_t around[4] = {rm.owner[at(x + 1, y)], rm.owner[at(x - 1, y)], rm.owner[at(x, y + 1)],
                               rm.owner[at(x, y - 1)]};
          for (int k = 0; k < 4; k++) {
            int32_t j = around[k];
            if (j <= i || j > n) continue;
            bool again = false;
            for (int m = 0; m < k; m++) again |= around[m] == j;
            if (again) continue;
            if (counts[size_t(j)]++ == 0) touched.push_back(j);
          }
        }
      }
    }
    std::sort(touched.begin(), touched.end());
    for (int32_t j : touched) {
      const ProvGeo& pj = provgeo[size_t(j)];
      bool near = std::abs(pi.x - pj.x) <= R && std::abs(pi.y - pj.y) <= R;
      if (near && float(counts[size_t(j)]) > threshold) {
        addnbor(i, j);
        addnbor(j, i);
      }
      counts[size_t(j)] = 0;
    }
  }
}

void rmbordermountains() {
  int32_t made = 0;
  rm.paircount = -1;
  for (int32_t attempt = 0; attempt < 1000 && made < rm.mounttarget; attempt++) {
    int32_t l = rnd(nbrlands) + 1;
    int32_t n = randneighbour(l);
    bool ok = n >= 1 && !rmissea(l) && !rmissea(n);
    if (ok && rmiscoastal(l) && rnd(100) < 75) ok = false;
    if (ok && rmiscoastal(n) && rnd(100) < 75) ok = false;
    if (ok && rmiscoastal(l) && rmiscoastal(n)) ok = false;
    RMLog("mount %d l=%d n=%d ok=%d", attempt, l, n, ok ? 1 : 0);
    if (!ok) continue;
    provgeo[size_t(l)].terrain |= TM_MOUNTAINS;
    provgeo[size_t(n)].terrain |= TM_MOUNTAINS;
    if (rm.paircount < RM_MAXPAIRS - 1) {
      rm.paircount++;
      rm.pairs[rm.paircount][0] = l;
      rm.pairs[rm.paircount][1] = n;
    }
    if (rnd(100) < 80) {
      for (int32_t k = 0; k < 10; k++) {
        int32_t m = randneighbour(l);
        if (m < 1 || rmissea(m) || !rmisneighbour(l, m) || !rmisneighbour(n, m)) continue;
        if (rmiscoastal(l) && rmiscoastal(m)) continue;
        provgeo[size_t(m)].terrain |= TM_MOUNTAINS;
        if (rm.paircount < RM_MAXPAIRS - 1) {
          rm.paircount++;
          rm.pairs[rm.paircount][0] = l;
          rm.pairs[rm.paircount][1] = m;
        }
        break;
      }
    }
    RMLog("border mountain %d %d", l, n);
    made++;
  }
}
