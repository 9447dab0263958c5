// Height fields from octaves of smoothly interpolated random lattices: large
// cells give continents and ridges, smaller cells the detail that ruggedness
// lets through.
#include "worldgen/heights.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "runtime/fatal.h"
#include "runtime/rnd.h"

namespace {
inline float smooth(float t) { return t * t * (3.0f - 2.0f * t); }

// Adds amplitude x one octave of value noise with the given cell size.
void addoctave(int32_t width, int32_t height, float* heights, int32_t cell, float amplitude) {
  int32_t gw = width / cell + 2, gh = height / cell + 2;
  std::vector<float> grid(size_t(gw) * size_t(gh));
  for (float& g : grid) g = float(rnd(4096)) / 4095.0f;
  std::vector<float> weight(static_cast<size_t>(cell));
  for (int32_t i = 0; i < cell; i++) weight[size_t(i)] = smooth(float(i) / float(cell));
  std::vector<float> row0(static_cast<size_t>(gw));
  for (int32_t y = 0; y < height; y++) {
    int32_t gy = y / cell;
    float ty = weight[size_t(y % cell)];
    const float* a = &grid[size_t(gy) * size_t(gw)];
    const float* b = a + gw;
    for (int32_t gx = 0; gx < gw; gx++) row0[size_t(gx)] = a[gx] + (b[gx] - a[gx]) * ty;
    float* out = heights + size_t(y) * size_t(width);
    for (int32_t x = 0; x < width; x++) {
      int32_t gx = x / cell;
      float tx = weight[size_t(x % cell)];
      float v = row0[size_t(gx)] + (row0[size_t(gx) + 1] - row0[size_t(gx)]) * tx;
      out[x] += v * amplitude;
    }
  }
}
}  // namespace

void createrandomheights(int32_t width, int32_t height, float* heights, int32_t hills, float searequest,
                         float* sealevel, float* highest, float heightscale, float ruggedness, float edgefall) {
  bailif(!heights || width < 1 || height < 1, "CRH: bad array");
  size_t count = size_t(width) * size_t(height);
  std::fill(heights, heights + count, 0.0f);
  ruggedness = std::clamp(ruggedness, 0.0f, 1.0f);
  float persistence = 0.38f + 0.3f * ruggedness;
  int32_t cell = std::max(width, height) / 3;
  if (cell < 2) cell = 2;
  float amplitude = 1.0f;
  while (true) {
    addoctave(width, height, heights, cell, amplitude);
    if (cell <= 2) break;
    cell = std::max(2, cell / 2);
    amplitude *= persistence;
  }
  // Value noise piles up around the middle; stretch it to 0..3 x scale.
  float low = heights[0], high = heights[0];
  for (size_t i = 0; i < count; i++) {
    low = std::min(low, heights[i]);
    high = std::max(high, heights[i]);
  }
  float span = high - low > 1e-6f ? high - low : 1.0f;
  float scale = 3.0f * heightscale / span;
  for (size_t i = 0; i < count; i++) heights[i] = (heights[i] - low) * scale;

  for (int32_t k = 0; k < hills; k++) {
    float cx = float(rnd(width)), cy = float(rnd(height));
    float radius = float(std::max(2, std::min(width, height) / 8)) * (0.5f + float(rnd(100)) * 0.01f);
    float top = heightscale * (0.5f + float(rnd(100)) * 0.01f);
    int32_t x0 = std::max(0, int32_t(cx - radius)), x1 = std::min(width - 1, int32_t(cx + radius));
    int32_t y0 = std::max(0, int32_t(cy - radius)), y1 = std::min(height - 1, int32_t(cy + radius));
    for (int32_t y = y0; y <= y1; y++)
      for (int32_t x = x0; x <= x1; x++) {
        float d = std::hypot(float(x) - cx, float(y) - cy) / radius;
        if (d < 1.0f) heights[size_t(y) * size_t(width) + size_t(x)] += top * smooth(1.0f - d);
      }
  }
  if (edgefall > 0.0f) {
    edgefall = std::min(edgefall, 1.0f);
    for (int32_t y = 0; y < height; y++)
      for (int32_t x = 0; x < width; x++) {
        float ex = std::min(x, width - 1 - x) / (0.15f * float(width) + 1.0f);
        float ey = std::min(y, height - 1 - y) / (0.15f * float(height) + 1.0f);
        float e = std::min(1.0f, std::min(ex, ey));
        heights[size_t(y) * size_t(width) + size_t(x)] *= 1.0f - edgefall * (1.0f - smooth(e));
      }
  }
  if (sealevel) {
    std::vector<float> sorted(heights, heights + count);
    size_t k = size_t(std::clamp(searequest, 0.0f, 1.0f) * float(count - 1));
    std::nth_element(sorted.begin(), sorted.begin() + ptrdiff_t(k), sorted.end());
    *sealevel = sorted[k];
  }
  if (highest) *highest = *std::max_element(heights, heights + count);
}
