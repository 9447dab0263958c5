// Drawing of sprite pictures for the build-time art programs: a canvas of
// RGBA pixels (rows top first, as sprite archives keep them) with blended
// shapes, and a small random generator of our own so that the art is the
// same on every machine.
#pragma once
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

#include "runtime/trs.h"

struct Colour {
  int r, g, b, a = 255;
};

inline Colour shaded(Colour c, float light) {
  return {int(float(c.r) * light), int(float(c.g) * light), int(float(c.b) * light), c.a};
}

struct Canvas {
  TrsImage image;
  explicit Canvas(int32_t width = 32, int32_t height = 32) {
    image.width = width;
    image.height = height;
    image.frames = 1;
    image.pixels.assign(size_t(width) * size_t(height) * 4, 0);
  }
  int32_t width() const { return image.width; }
  int32_t height() const { return image.height; }
  // Blends the colour over the pixel by its alpha.
  void put(int x, int y, Colour c) {
    if (x < 0 || y < 0 || x >= image.width || y >= image.height) return;
    uint8_t* p = &image.pixels[(size_t(y) * size_t(image.width) + size_t(x)) * 4];
    int a = std::clamp(c.a, 0, 255);
    p[0] = uint8_t((std::clamp(c.r, 0, 255) * a + p[0] * (255 - a)) / 255);
    p[1] = uint8_t((std::clamp(c.g, 0, 255) * a + p[1] * (255 - a)) / 255);
    p[2] = uint8_t((std::clamp(c.b, 0, 255) * a + p[2] * (255 - a)) / 255);
    p[3] = uint8_t(std::max<int>(p[3], a));
  }
  // Ellipse shaded from its upper left (light) to its lower right (dark).
  void ellipse(float cx, float cy, float rx, float ry, Colour c, float shade = 0.35f) {
    for (int y = int(cy - ry) - 1; y <= int(cy + ry) + 1; y++)
      for (int x = int(cx - rx) - 1; x <= int(cx + rx) + 1; x++) {
        float dx = (float(x) + 0.5f - cx) / rx, dy = (float(y) + 0.5f - cy) / ry;
        if (dx * dx + dy * dy > 1.0f) continue;
        put(x, y, shaded(c, 1.0f + shade * (-dx - dy) * 0.5f));
      }
  }
  void rect(int x0, int y0, int x1, int y1, Colour c) {
    for (int y = y0; y <= y1; y++)
      for (int x = x0; x <= x1; x++) put(x, y, c);
  }
  // Triangle with its apex at (cx, top) and its base from cx-half to cx+half at bottom.
  void triangle(float cx, float top, float bottom, float half, Colour c) {
    for (int y = int(top); y <= int(bottom); y++) {
      float t = (float(y) - top) / std::max(1.0f, bottom - top);
      float w = half * t;
      for (int x = int(cx - w); x <= int(cx + w); x++) put(x, y, shaded(c, float(x) < cx ? 1.15f : 0.85f));
    }
  }
  void line(float x0, float y0, float x1, float y1, Colour c) {
    int n = int(std::max(std::fabs(x1 - x0), std::fabs(y1 - y0))) + 1;
    for (int i = 0; i <= n; i++)
      put(int(x0 + (x1 - x0) * float(i) / float(n)), int(y0 + (y1 - y0) * float(i) / float(n)), c);
  }
  // A line of the given thickness.
  void thick(float x0, float y0, float x1, float y1, float width, Colour c) {
    int n = int(std::max(std::fabs(x1 - x0), std::fabs(y1 - y0)) * 2) + 1;
    for (int i = 0; i <= n; i++) {
      float t = float(i) / float(n);
      float x = x0 + (x1 - x0) * t, y = y0 + (y1 - y0) * t;
      for (int yy = int(y - width / 2); yy <= int(y + width / 2); yy++)
        for (int xx = int(x - width / 2); xx <= int(x + width / 2); xx++) {
          float dx = float(xx) + 0.5f - x, dy = float(yy) + 0.5f - y;
          if (dx * dx + dy * dy <= width * width / 4 + 0.25f) set(xx, yy, c);
        }
    }
  }
  // Replaces the pixel (no blending).
  void set(int x, int y, Colour c) {
    if (x < 0 || y < 0 || x >= image.width || y >= image.height) return;
    uint8_t* p = &image.pixels[(size_t(y) * size_t(image.width) + size_t(x)) * 4];
    p[0] = uint8_t(std::clamp(c.r, 0, 255)), p[1] = uint8_t(std::clamp(c.g, 0, 255));
    p[2] = uint8_t(std::clamp(c.b, 0, 255)), p[3] = uint8_t(std::clamp(c.a, 0, 255));
  }
  // A dark rim one pixel wide around everything drawn, so that small
  // pictures stand out on any ground.
  void outline(Colour c) {
    std::vector<uint8_t> alpha(size_t(image.width) * size_t(image.height));
    for (size_t i = 0; i < alpha.size(); i++) alpha[i] = image.pixels[i * 4 + 3];
    for (int y = 0; y < image.height; y++)
      for (int x = 0; x < image.width; x++) {
        if (alpha[size_t(y) * size_t(image.width) + size_t(x)] > 60) continue;
        bool near = false;
        for (int dy = -1; dy <= 1 && !near; dy++)
          for (int dx = -1; dx <= 1 && !near; dx++) {
            int nx = x + dx, ny = y + dy;
            near = nx >= 0 && ny >= 0 && nx < image.width && ny < image.height &&
                   alpha[size_t(ny) * size_t(image.width) + size_t(nx)] > 160;
          }
        if (near) set(x, y, c);
      }
  }
};

struct Dice {
  uint32_t s;
  int operator()(int n) {
    s = s * 1103515245u + 12345u;
    return int((s >> 16) % uint32_t(n));
  }
};
