// Build-time pictures of the laboratory screens in "misc.trs": the alchemy
// arrows (79 to a pearl, 80 to gold), the frame over the chosen forge
// category (96), gold (132) and the laboratory's four buttons: research
// (151), the resource treasury (150), the item treasury (152) and the
// global enchantments with (134) and without (153) one in force. Drawn from
// simple shapes, 64 pixels for the buttons.
#pragma once
#include <cmath>
#include <vector>

#include "canvas.h"
#include "turnicons.h"

namespace labicons {
using turnicons::finish;
using turnicons::gemcolour;

// An arrow pointing right in the colour.
inline TrsImage arrow(Colour c) {
  Canvas v(32, 32);
  v.thick(4, 16, 20, 16, 5, c);
  for (int x = 18; x < 29; x++) {
    const float half = 9.0f * (1.0f - float(x - 18) / 11.0f);
    for (int y = int(16 - half); y <= int(16 + half); y++) v.put(x, y, c);
  }
  return finish(v);
}

// A square frame with a transparent middle, drawn over a chosen button.
inline TrsImage frame() {
  Canvas v(32, 32);
  for (int i = 0; i < 3; i++) {
    v.rect(i, i, 31 - i, i, {255, 225, 90});
    v.rect(i, 31 - i, 31 - i, 31 - i, {255, 225, 90});
    v.rect(i, i, i, 31 - i, {255, 225, 90});
    v.rect(31 - i, i, 31 - i, 31 - i, {255, 225, 90});
  }
  return v.image;
}

// A stack of gold coins.
inline TrsImage gold() {
  Canvas v(32, 32);
  const Colour g = {245, 200, 60};
  for (int i = 0; i < 5; i++) {
    const int y = 27 - 4 * i;
    v.rect(8, y - 2, 24, y + 1, shaded(g, 0.7f));
    v.ellipse(16, float(y) - 2, 8, 2.5f, shaded(g, 0.95f + 0.03f * float(i)), 0.2f);
  }
  return finish(v);
}

// An open book on a stand: research.
inline TrsImage research() {
  Canvas v(64, 64);
  v.rect(29, 40, 35, 58, {110, 75, 45});
  v.rect(18, 56, 46, 60, {90, 60, 35});
  for (int side = 0; side < 2; side++) {
    const float x0 = side ? 33.0f : 9.0f;
    for (int y = 14; y < 40; y++)
      for (int x = int(x0); x < int(x0) + 22; x++) v.put(x, y + (side ? (x - 33) / 6 : (30 - x) / 6), {235, 225, 195});
  }
  for (int line = 0; line < 5; line++) {
    v.thick(12, 19 + 4 * float(line), 28, 19 + 4 * float(line), 1, {90, 80, 120});
    v.thick(36, 19 + 4 * float(line), 52, 19 + 4 * float(line), 1, {90, 80, 120});
  }
  v.ellipse(32, 8, 5, 5, {150, 240, 240});
  return finish(v);
}

// A chest, open, with gems of every kind on it (resources) or a sword and a
// ring (items).
inline TrsImage chest(bool items) {
  Canvas v(64, 64);
  v.rect(8, 34, 56, 58, {120, 80, 40});
  v.rect(8, 34, 56, 37, {200, 170, 80});
  v.rect(8, 46, 56, 48, {200, 170, 80});
  v.rect(28, 40, 36, 50, {230, 200, 90});
  if (items) {
    v.thick(18, 34, 44, 6, 4, {210, 215, 225});
    v.thick(22, 24, 30, 32, 3, {170, 120, 60});
    v.ellipse(46, 26, 7, 7, {245, 200, 60});
    v.ellipse(46, 26, 4, 4, {0, 0, 0, 0}, 0);
    for (int y = 22; y <= 30; y++)
      for (int x = 42; x <= 50; x++)
        if (std::hypot(float(x) + 0.5f - 46, float(y) + 0.5f - 26) < 3.5f) v.set(x, y, {0, 0, 0, 0});
  } else {
    for (int g = 0; g < 8; g++) {
      const float x = 14 + 5.2f * float(g), y = 30 - 6 * float((g * 3) % 4);
      v.ellipse(x, y, 5, 5, gemcolour[g]);
    }
  }
  return finish(v);
}

// The world with a ring of enchantment around it, glowing while one is in
// force.
inline TrsImage globe(bool lit) {
  Canvas v(64, 64);
  const float light = lit ? 1.0f : 0.5f;
  if (lit) v.ellipse(32, 32, 30, 30, {200, 120, 255, 90}, 0);
  v.ellipse(32, 32, 20, 20, shaded({50, 110, 200}, light));
  v.ellipse(26, 26, 8, 6, shaded({70, 160, 70}, light));
  v.ellipse(38, 40, 7, 5, shaded({70, 160, 70}, light));
  for (int i = 0; i < 360; i += 2) {
    const float a = float(i) * 3.14159f / 180;
    v.put(int(32 + 28 * cosf(a)), int(32 + 9 * sinf(a) - 8 * cosf(a) * 0.3f), shaded({230, 190, 255}, light));
  }
  return finish(v);
}

inline void addmisc(std::vector<TrsImage>& out) {
  auto put = [&](int nr, TrsImage image) {
    if (out.size() <= size_t(nr)) out.resize(size_t(nr) + 1, Canvas(1, 1).image);
    out[size_t(nr)] = std::move(image);
  };
  put(79, arrow({150, 240, 240}));
  put(80, arrow({245, 200, 60}));
  put(96, frame());
  put(132, gold());
  put(134, globe(true));
  put(150, chest(false));
  put(151, research());
  put(152, chest(true));
  put(153, globe(false));
}
}  // namespace labicons
