// The unit box's own pictures in the map archives, drawn from simple
// shapes: in "misc.trs" the research mark (82), the holy gem (93) and the
// random magic mark (108); in "misc2.trs" the empty item slots by kind
// (1 hand, 2 head, 3 body, 4 feet, 5 misc) and the gem pouch (7). Included
// by the map art program, which writes the archives.
#pragma once
#include <cmath>
#include <vector>

#include "canvas.h"
#include "turnicons.h"

namespace boxicons {
// A dim outline of what fits the slot, on a dark plate.
inline TrsImage slot(int kind) {
  Canvas c(32, 32);
  c.ellipse(16, 16, 14, 14, {40, 36, 32, 170}, 0.0f);
  const Colour g = {150, 145, 130, 220};
  switch (kind) {
    case 1: c.thick(9, 23, 23, 9, 3, g); c.thick(8, 17, 15, 24, 2.5f, g); break;            // a sword
    case 2: c.ellipse(16, 17, 9, 8, g); c.rect(7, 18, 25, 24, {40, 36, 32, 170}); break;    // a helmet
    case 3: c.rect(10, 8, 22, 24, g); c.rect(6, 8, 10, 13, g); c.rect(22, 8, 26, 13, g); break;   // a shirt
    case 4: c.rect(11, 7, 16, 22, g); c.rect(11, 21, 23, 26, g); break;                    // a boot
    default: c.ellipse(16, 18, 6, 6, g); c.line(10, 7, 14, 13, g); c.line(22, 7, 18, 13, g); break;   // an amulet
  }
  return turnicons::finish(c);
}

inline TrsImage pouch() {
  Canvas c(32, 32);
  c.ellipse(16, 20, 11, 9, {150, 105, 60});
  c.rect(12, 7, 20, 12, {125, 85, 45});
  c.thick(10, 12, 22, 12, 2, {200, 170, 90});
  c.ellipse(12, 19, 2.5f, 2.5f, turnicons::gemcolour[0]);
  c.ellipse(18, 22, 2.5f, 2.5f, turnicons::gemcolour[2]);
  return turnicons::finish(c);
}

inline TrsImage research() {   // an open book with a quill
  Canvas c(32, 32);
  c.rect(4, 12, 15, 26, {235, 225, 195});
  c.rect(17, 12, 28, 26, {235, 225, 195});
  c.line(16, 12, 16, 26, {120, 100, 80});
  c.thick(20, 3, 26, 14, 1.5f, {250, 250, 250});
  return turnicons::finish(c);
}

inline TrsImage randommagic() {   // a die with a star
  Canvas c(32, 32);
  c.rect(6, 6, 26, 26, {200, 190, 240});
  for (int r = 0; r < 5; r++) {
    const float a = float(r) * 1.2566f - 1.5708f;
    c.thick(16, 16, 16 + 8 * std::cos(a), 16 + 8 * std::sin(a), 2.5f, {120, 60, 200});
  }
  return turnicons::finish(c);
}

inline void put(std::vector<TrsImage>& out, int nr, TrsImage image) {
  if (out.size() <= size_t(nr)) out.resize(size_t(nr) + 1, Canvas(1, 1).image);
  out[size_t(nr)] = std::move(image);
}

inline void addmisc(std::vector<TrsImage>& out) {
  put(out, 82, research());
  put(out, 93, turnicons::gem(8));
  put(out, 108, randommagic());
}

inline void addmisc2(std::vector<TrsImage>& out) {
  for (int k = 1; k <= 5; k++) put(out, k, slot(k));
  put(out, 7, pouch());
}
}  // namespace boxicons
