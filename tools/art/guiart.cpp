// Build-time generator of the GUI toolkit's pictures, all drawn here from
// gradients and noise: window borders ("guiborder.tga", "guiborderthin.tga"),
// the progress bar and its fill ("guibar.tga", "guihbar.tga"), the hover
// plate of buttons ("guibutton.tga"), check box and radio marks
// ("guimarks.tga"), the particle glow ("particle.tga"), and the backgrounds
// of the scenes ("menuback.tga", "parchment.tga", the night sky box
// "sky0.tga" .. "sky5.tga"). Rows are bottom first, as the image files keep them.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

#include "runtime/image.h"
#include "runtime/util.h"

namespace {
struct Picture {
  int32_t w, h;
  std::vector<float> px;   // r, g, b, a in 0..1
  Picture(int32_t width, int32_t height) : w(width), h(height), px(size_t(width) * size_t(height) * 4, 0.0f) {}
  float* at(int32_t x, int32_t y) { return &px[(size_t(y) * size_t(w) + size_t(x)) * 4]; }
  void set(int32_t x, int32_t y, float r, float g, float b, float a) {
    float* p = at(x, y);
    p[0] = r, p[1] = g, p[2] = b, p[3] = a;
  }
};

// Smooth value noise that repeats every `period` cells.
float lattice(int32_t x, int32_t y, int32_t seed) {
  uint32_t h = uint32_t(x) * 374761393u + uint32_t(y) * 668265263u + uint32_t(seed) * 2246822519u;
  h = (h ^ (h >> 13)) * 1274126177u;
  return float((h ^ (h >> 16)) & 0xFFFF) / 65535.0f;
}

float noise(float x, float y, int32_t period, int32_t seed) {
  int32_t x0 = int32_t(floorf(x)), y0 = int32_t(floorf(y));
  float fx = x - float(x0), fy = y - float(y0);
  fx = fx * fx * (3 - 2 * fx);
  fy = fy * fy * (3 - 2 * fy);
  auto l = [&](int32_t a, int32_t b) { return lattice(((a % period) + period) % period, ((b % period) + period) % period, seed); };
  float top = l(x0, y0) * (1 - fx) + l(x0 + 1, y0) * fx;
  float bottom = l(x0, y0 + 1) * (1 - fx) + l(x0 + 1, y0 + 1) * fx;
  return top * (1 - fy) + bottom * fy;
}

// Noise of several octaves over a picture of `side` pixels, repeating.
float fractal(float x, float y, int32_t side, int32_t seed) {
  float sum = 0, amp = 0.5f;
  int32_t period = 4;
  for (int32_t o = 0; o < 5; o++) {
    sum += amp * noise(x * float(period) / float(side), y * float(period) / float(side), period, seed + o);
    amp *= 0.5f;
    period *= 2;
  }
  return sum;
}

bool save(const char* folder, const char* name, const Picture& p) {
  std::vector<uint8_t> bytes(p.px.size());
  for (size_t i = 0; i < p.px.size(); i++) bytes[i] = uint8_t(std::lround(std::clamp(p.px[i], 0.0f, 1.0f) * 255.0f));
  char path[PATHLEN];
  formatbounded(path, PATHLEN, "%s/%s", folder, name);
  if (savetga(bytes.data(), p.w, p.h, path)) return true;
  fprintf(stderr, "art_guiart: can't write %s\n", path);
  return false;
}

// A window border: a bronze rim with a dark inner line, transparent inside.
// The outer quarter of the picture is the rim the toolkit stretches.
Picture border(int32_t side, float rim) {
  Picture p(side, side);
  for (int32_t y = 0; y < side; y++)
    for (int32_t x = 0; x < side; x++) {
      float fx = float(x) + 0.5f, fy = float(y) + 0.5f;
      float d = std::min(std::min(fx, float(side) - fx), std::min(fy, float(side) - fy));   // from the edge
      if (d > rim + 1.5f) continue;
      float shade = 0.55f + 0.45f * fractal(fx, fy, side, 7);
      float t = d / rim;
      float light = 1.0f - fabsf(t - 0.45f) * 1.4f;   // a raised band
      float r = (0.55f + 0.35f * light) * shade, g = (0.40f + 0.28f * light) * shade, b = (0.20f + 0.12f * light) * shade;
      float a = d < rim ? 1.0f : std::max(0.0f, 1.0f - (d - rim) / 1.5f);
      if (d < 1.0f || (d > rim - 1.2f && d < rim)) r *= 0.35f, g *= 0.3f, b *= 0.3f;   // dark lines at both sides
      p.set(x, y, r, g, b, a);
    }
  return p;
}

Picture bar(bool fill) {
  Picture p(128, 16);
  for (int32_t y = 0; y < p.h; y++)
    for (int32_t x = 0; x < p.w; x++) {
      float fy = (float(y) + 0.5f) / float(p.h);
      float edge = std::min(std::min(float(x) + 0.5f, float(p.w) - float(x) - 0.5f), std::min(float(y) + 0.5f, float(p.h) - float(y) - 0.5f));
      if (fill) {
        // White so the colour given tints it; lighter along the top.
        float v = 0.65f + 0.35f * (1.0f - fabsf(fy - 0.7f) * 1.6f);
        p.set(x, y, v, v, v, edge < 1.5f ? 0.0f : 1.0f);
      } else {
        float v = 0.08f + 0.06f * fy;
        bool rim = edge < 1.5f;
        p.set(x, y, rim ? 0.6f : v, rim ? 0.48f : v, rim ? 0.3f : v * 1.2f, 1.0f);
      }
    }
  return p;
}

Picture buttonplate() {
  Picture p(128, 32);
  for (int32_t y = 0; y < p.h; y++)
    for (int32_t x = 0; x < p.w; x++) {
      float dx = (float(x) + 0.5f) / float(p.w) * 2 - 1, dy = (float(y) + 0.5f) / float(p.h) * 2 - 1;
      float d = powf(fabsf(dx), 6) + powf(fabsf(dy), 2.5f);
      float a = std::max(0.0f, 1.0f - d) * 0.85f;
      p.set(x, y, 1, 1, 1, a);
    }
  return p;
}

// Four 16-pixel marks: check box off and on, radio off and on.
Picture marks() {
  Picture p(64, 16);
  for (int32_t m = 0; m < 4; m++)
    for (int32_t y = 0; y < 16; y++)
      for (int32_t x = 0; x < 16; x++) {
        float fx = float(x) + 0.5f - 8, fy = float(y) + 0.5f - 8;
        bool radio = m >= 2, on = m % 2 == 1;
        float d = radio ? sqrtf(fx * fx + fy * fy) : std::max(fabsf(fx), fabsf(fy));
        float r = 0, g = 0, b = 0, a = 0;
        if (d < 7.5f) r = 0.05f, g = 0.05f, b = 0.07f, a = 0.9f;                          // well
        if (d >= 6.0f && d < 7.5f) r = 0.8f, g = 0.65f, b = 0.38f, a = 1;                 // rim
        if (on && d < (radio ? 3.6f : 4.0f)) r = 1.0f, g = 0.85f, b = 0.45f, a = 1;       // mark
        p.set(m * 16 + x, y, r, g, b, a);
      }
  return p;
}

Picture glow() {
  Picture p(32, 32);
  for (int32_t y = 0; y < 32; y++)
    for (int32_t x = 0; x < 32; x++) {
      float fx = (float(x) + 0.5f - 16) / 16, fy = (float(y) + 0.5f - 16) / 16;
      float v = std::max(0.0f, 1.0f - sqrtf(fx * fx + fy * fy));
      v = v * v;
      p.set(x, y, v, v, v, 1);
    }
  return p;
}

// Dark stone lit from above with a warm glow near the bottom.
Picture menuback() {
  const int32_t side = 512;
  Picture p(side, side);
  for (int32_t y = 0; y < side; y++)
    for (int32_t x = 0; x < side; x++) {
      float fx = float(x) / float(side), fy = float(y) / float(side);
      float n = fractal(float(x), float(y), side, 11);
      float vignette = 1.0f - 0.9f * (powf(fabsf(fx - 0.5f) * 2, 2.5f) * 0.5f + powf(fabsf(fy - 0.55f) * 2, 2.5f) * 0.5f);
      float warm = std::max(0.0f, 0.45f - fy) * 1.2f;
      float v = (0.10f + 0.16f * n) * vignette;
      p.set(x, y, v + warm * 0.55f * vignette, v * 0.85f + warm * 0.2f * vignette, v * 1.1f, 1);
    }
  return p;
}

Picture parchment() {
  const int32_t side = 256;
  Picture p(side, side);
  for (int32_t y = 0; y < side; y++)
    for (int32_t x = 0; x < side; x++) {
      float n = fractal(float(x), float(y), side, 23), fibre = fractal(float(x) * 4, float(y) * 0.5f, side, 29);
      float v = 0.62f + 0.25f * n + 0.06f * fibre;
      p.set(x, y, v * 0.95f, v * 0.84f, v * 0.62f, 1);
    }
  return p;
}

// One face of the night sky: stars, a faint band of mist, darker at the top.
Picture sky(int32_t face) {
  const int32_t side = 256;
  Picture p(side, side);
  for (int32_t y = 0; y < side; y++)
    for (int32_t x = 0; x < side; x++) {
      float fy = float(y) / float(side);
      float height = face == 4 ? 1.0f : face == 5 ? 0.0f : fy;   // up the sides
      float mist = fractal(float(x), float(y), side, 40 + face) * (face == 5 ? 0.2f : 1.0f);
      float base = 0.02f + 0.05f * (1 - height);
      float r = base + 0.05f * mist * mist, g = base + 0.04f * mist * mist, b = base * 2.2f + 0.10f * mist * mist;
      float star = lattice(x, y, 90 + face);
      if (star > 0.9975f && face != 5) {
        float s = (star - 0.9975f) / 0.0025f;
        r += 0.5f + 0.5f * s, g += 0.5f + 0.5f * s, b += 0.55f + 0.45f * s;
      }
      if (face == 5) r = g = b = 0.01f;   // the ground below is dark
      p.set(x, y, r, g, b, 1);
    }
  return p;
}
}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    fprintf(stderr, "usage: art_guiart DATAFOLDER\n");
    return 2;
  }
  const char* folder = argv[1];
  bool ok = save(folder, "guiborder.tga", border(64, 14.0f)) && save(folder, "guiborderthin.tga", border(32, 6.0f)) &&
            save(folder, "guibar.tga", bar(false)) && save(folder, "guihbar.tga", bar(true)) &&
            save(folder, "guibutton.tga", buttonplate()) && save(folder, "guimarks.tga", marks()) &&
            save(folder, "particle.tga", glow()) && save(folder, "menuback.tga", menuback()) &&
            save(folder, "parchment.tga", parchment());
  for (int32_t face = 0; face < 6 && ok; face++) {
    char name[32];
    formatbounded(name, 32, "sky%d.tga", face);
    ok = save(folder, name, sky(face));
  }
  return ok ? 0 : 1;
}
