// Build-time pictures of the order screens in "misc.trs": the magic path
// icons (98..106, Fire .. Blood and Priest) that the spell lists repeat once
// per level a spell needs. Small orbs in the path's gem colour.
#pragma once
#include <vector>

#include "canvas.h"
#include "turnicons.h"

namespace ordericons {

inline TrsImage pathicon(int path) {
  Canvas c(32, 32);
  const Colour g = turnicons::gemcolour[path];
  c.ellipse(16, 16, 13, 13, shaded(g, 0.45f), 0.0f);
  c.ellipse(16, 16, 11, 11, g, 0.7f);
  c.ellipse(12, 12, 3.5f, 3.5f, {255, 255, 255, 170});
  return c.image;
}

inline void addmisc(std::vector<TrsImage>& out) {
  for (int path = 0; path < 9; path++) {
    const size_t nr = size_t(98 + path);
    if (out.size() <= nr) out.resize(nr + 1, Canvas(1, 1).image);
    out[nr] = pathicon(path);
  }
}

}  // namespace ordericons
