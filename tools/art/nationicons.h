// Small pictures of the nation's screens in "misc.trs": the hall of fame's
// hero mark (113), and the soldier (114), experience star (115) and
// lasting-effect mark (116) that the Nation Overview draws while the icon
// archive has no pictures of its own for them. Included by the map art
// program, which writes the archives.
#pragma once
#include <cmath>
#include <vector>

#include "canvas.h"

namespace nationicons {
const Colour RIM = {25, 20, 15, 230};

inline TrsImage hero() {   // a laurel wreath around a point of light
  Canvas c(32, 32);
  for (int i = 0; i < 7; i++) {
    const float y = 6.0f + 3.2f * float(i);
    c.ellipse(9.0f + 0.25f * float(i * i) * 0.4f, y, 3.5f, 2.0f, {90, 170, 60}, 0.5f);
    c.ellipse(23.0f - 0.25f * float(i * i) * 0.4f, y, 3.5f, 2.0f, {90, 170, 60}, 0.5f);
  }
  c.ellipse(16, 14, 4, 4, {250, 220, 90}, 0.6f);
  c.outline(RIM);
  return c.image;
}

inline TrsImage soldier() {   // a helmeted head over a shield
  Canvas c(32, 32);
  c.ellipse(16, 8, 6, 6, {190, 190, 200}, 0.5f);
  c.rect(9, 14, 23, 24, {160, 40, 40});
  c.rect(11, 24, 21, 27, {160, 40, 40});
  c.thick(16, 15, 16, 27, 2, {230, 200, 90});
  c.outline(RIM);
  return c.image;
}

inline TrsImage expstar() {   // a silver star
  Canvas c(32, 32);
  for (int y = 0; y < 32; y++)
    for (int x = 0; x < 32; x++) {
      const float dx = float(x) + 0.5f - 16, dy = float(y) + 0.5f - 17;
      const float a = atan2f(dy, dx) + 1.5707963f, r = sqrtf(dx * dx + dy * dy);
      const float edge = 5.0f + 9.0f * powf(std::fabs(cosf(a * 2.5f)), 3.0f);
      if (r <= edge) c.put(x, y, shaded({215, 225, 240}, 1.15f - 0.3f * r / edge));
    }
  c.outline(RIM);
  return c.image;
}

inline TrsImage effect() {   // a blue swirl
  Canvas c(32, 32);
  for (int i = 0; i < 40; i++) {
    const float a = float(i) * 0.3f, r = 2.0f + float(i) * 0.3f;
    c.ellipse(16 + r * cosf(a), 16 + r * sinf(a), 2, 2, {110, 160, 250}, 0.3f);
  }
  c.outline(RIM);
  return c.image;
}

inline void addmisc(std::vector<TrsImage>& out) {
  auto put = [&](int nr, TrsImage image) {
    if (out.size() <= size_t(nr)) out.resize(size_t(nr) + 1, Canvas(1, 1).image);
    out[size_t(nr)] = std::move(image);
  };
  put(113, hero());
  put(114, soldier());
  put(115, expstar());
  put(116, effect());
}
}  // namespace nationicons
