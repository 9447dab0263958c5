// Which province names the map shows where names would cover one another.
#include <algorithm>
#include <cmath>
#include <numeric>

#include "mapview/overlay.h"

namespace {
// The box of a name's text, a little taller than its letters so that two
// rows of names keep a gap, and a blank wider on each side so that two names
// side by side do not read as one.
struct Box {
  float x0, y0, x1, y1;
};
Box boxof(const NameSpot& s) {
  const float side = s.half + 0.25f * s.t;
  return {s.x - side, s.y - 0.1f * s.t, s.x + side, s.y + 1.05f * s.t};
}

bool meets(const Box& a, const Box& b, float dx, float dy) {
  return a.x0 < b.x1 + dx && b.x0 + dx < a.x1 && a.y0 < b.y1 + dy && b.y0 + dy < a.y1;
}

// Cells per axis at most: the grid only saves comparisons, and a few
// thousand cells are plenty for the largest map.
constexpr int32_t MAXCELLS = 64;

// One axis of the grid that holds the names placed, by the lower left corner
// of their boxes. A cell is at least as wide as the widest box, so a box
// that meets another has its corner in one of a few cells. On a wrapping
// axis the cells go round the period.
struct Axis {
  float origin = 0, cell = 1, period = 0;
  int32_t count = 1;
  Axis(float low, float high, float widest, float wrap) : origin(low), period(wrap) {
    const float span = wrap > 0 ? wrap : high - low;
    const float fit = widest > 0 ? span / widest : 0;
    count = fit >= float(MAXCELLS) ? MAXCELLS : fit >= 1 ? int32_t(fit) : 1;
    cell = wrap > 0 ? span / float(count) : std::max(widest, span / float(count)) * 1.0001f + 1e-3f;
  }
  int32_t step(float v) const { return int32_t(floorf((v - origin) / cell)); }
  int32_t cellof(int32_t s) const {
    if (period > 0) return ((s % count) + count) % count;
    return std::clamp(s, 0, count - 1);
  }
  // The cells that hold corners from lo to hi: the first and how many (a
  // little more, for the rounding of corners a period away).
  void range(float lo, float hi, int32_t* first, int32_t* n) const {
    const int32_t a = step(lo - 0.01f * cell), b = step(hi + 0.01f * cell);
    if (period > 0) {
      *first = cellof(a);
      *n = std::min(count, b - a + 1);
    } else {
      *first = cellof(a);
      *n = cellof(b) - *first + 1;
    }
  }
};

// A coordinate moved by whole periods into 0 .. period.
float wrapinto(float v, float period) {
  float w = fmodf(v, period);
  if (w < 0) w += period;
  return w >= period ? 0 : w;
}
}  // namespace

std::vector<bool> placenames(std::span<const NameSpot> spots, float wrapw, float wraph) {
  const size_t n = spots.size();
  std::vector<bool> keep(n, false);
  if (n == 0) return keep;
  // The boxes, on a wrapping map moved into the first copy.
  std::vector<Box> boxes(n);
  float widest = 0, tallest = 0, lowx = INFINITY, lowy = INFINITY, highx = -INFINITY, highy = -INFINITY;
  for (size_t k = 0; k < n; k++) {
    Box b = boxof(spots[k]);
    if (wrapw > 0) {
      const float dx = wrapinto(b.x0, wrapw) - b.x0;
      b.x0 += dx, b.x1 += dx;
    }
    if (wraph > 0) {
      const float dy = wrapinto(b.y0, wraph) - b.y0;
      b.y0 += dy, b.y1 += dy;
    }
    boxes[k] = b;
    widest = std::max(widest, b.x1 - b.x0);
    tallest = std::max(tallest, b.y1 - b.y0);
    lowx = std::min(lowx, b.x0), highx = std::max(highx, b.x0);
    lowy = std::min(lowy, b.y0), highy = std::max(highy, b.y0);
  }
  const Axis ax(wrapw > 0 ? 0 : lowx, highx, widest, wrapw), ay(wraph > 0 ? 0 : lowy, highy, tallest, wraph);
  std::vector<std::vector<uint32_t>> grid(size_t(ax.count) * size_t(ay.count));
  // The greater names first: the higher weight, the larger text, then the
  // lower province number.
  std::vector<uint32_t> order(n);
  std::iota(order.begin(), order.end(), 0u);
  std::stable_sort(order.begin(), order.end(), [&](uint32_t a, uint32_t b) {
    if (spots[a].weight != spots[b].weight) return spots[a].weight > spots[b].weight;
    if (spots[a].t != spots[b].t) return spots[a].t > spots[b].t;
    return spots[a].lnr < spots[b].lnr;
  });
  const int32_t shiftsx = wrapw > 0 ? 1 : 0, shiftsy = wraph > 0 ? 1 : 0;
  for (const uint32_t k : order) {
    const Box& q = boxes[k];
    int32_t fx = 0, nx = 0, fy = 0, ny = 0;
    ax.range(q.x0 - widest, q.x1, &fx, &nx);
    ay.range(q.y0 - tallest, q.y1, &fy, &ny);
    bool covered = false;
    for (int32_t i = 0; i < nx && !covered; i++)
      for (int32_t j = 0; j < ny && !covered; j++)
        for (const uint32_t p : grid[size_t(ay.cellof(fy + j)) * size_t(ax.count) + size_t(ax.cellof(fx + i))])
          for (int32_t sx = -shiftsx; sx <= shiftsx && !covered; sx++)
            for (int32_t sy = -shiftsy; sy <= shiftsy && !covered; sy++)
              covered = meets(q, boxes[p], float(sx) * wrapw, float(sy) * wraph);
    if (covered) continue;
    keep[k] = true;
    grid[size_t(ay.cellof(ay.step(q.y0))) * size_t(ax.count) + size_t(ax.cellof(ax.step(q.x0)))].push_back(k);
  }
  return keep;
}
