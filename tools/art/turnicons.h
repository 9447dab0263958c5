// The turn screen's own icons in the map archives, drawn from simple shapes:
// in "misc.trs" the seasons (5..8), the card paging arrows (76, 77), the gem
// kinds (85..92), the enchantment entry (110), the scales (136..147, two per
// scale: the second-named side, then the first-named), the magic sites by
// path and level (157..183) and the province box's veyrance candles (192
// enemy, 193 own); in "misc2.trs" the buttons of the right column (16..21),
// army setup, mercenaries and recruitment unlit (23..25) and lit (37, 39, 38),
// and the laboratory (94). Included by the map art program, which writes
// the archives.
#pragma once
#include <cmath>
#include <vector>

#include "canvas.h"

namespace turnicons {
const Colour RIM = {25, 20, 15, 230};
// The gem kinds' colours in path order (fire .. blood) and the priest's.
const Colour gemcolour[9] = {{230, 70, 40}, {210, 225, 250}, {50, 90, 230}, {200, 150, 60}, {150, 240, 240},
                             {120, 40, 150}, {50, 170, 60},  {150, 20, 30}, {250, 240, 150}};

inline TrsImage finish(Canvas& c) {
  c.outline(RIM);
  return c.image;
}

inline TrsImage season(int s) {
  Canvas c(32, 32);
  if (s == 0) {   // spring: a green shoot
    c.thick(16, 28, 16, 12, 3, {70, 150, 50});
    c.ellipse(11, 13, 6, 3.5f, {110, 200, 70});
    c.ellipse(21, 10, 6, 3.5f, {110, 200, 70});
  } else if (s == 1) {   // summer: the sun
    for (int r = 0; r < 8; r++) {
      const float a = float(r) * 0.785f;
      c.thick(16 + 7 * cosf(a), 16 + 7 * sinf(a), 16 + 14 * cosf(a), 16 + 14 * sinf(a), 2, {250, 200, 60});
    }
    c.ellipse(16, 16, 8, 8, {255, 220, 80});
  } else if (s == 2) {   // fall: a brown leaf
    c.ellipse(16, 15, 11, 7, {200, 110, 40});
    c.thick(6, 24, 26, 8, 1.5f, {120, 60, 20});
  } else {   // winter: a snow flake
    for (int r = 0; r < 3; r++) {
      const float a = float(r) * 1.047f;
      c.thick(16 - 13 * cosf(a), 16 - 13 * sinf(a), 16 + 13 * cosf(a), 16 + 13 * sinf(a), 2.5f, {230, 240, 255});
    }
  }
  return finish(c);
}

// A triangle pointing up (back) or down (on).
inline TrsImage pagearrow(bool up) {
  Canvas c(32, 32);
  for (int y = 0; y < 24; y++) {
    const float half = float(y) * 0.6f;
    const int row = up ? 4 + y : 27 - y;
    for (int x = int(16 - half); x <= int(16 + half); x++) c.put(x, row, shaded({240, 220, 160}, 1.1f - 0.01f * float(y)));
  }
  return finish(c);
}

inline TrsImage gem(int kind) {
  Canvas c(32, 32);
  const Colour g = gemcolour[kind];
  if (kind == 7) {   // a blood slave: a small figure
    c.ellipse(16, 8, 5, 5, {200, 160, 130});
    c.rect(11, 13, 21, 27, g);
  } else if (kind == 4) {   // a pearl
    c.ellipse(16, 17, 11, 11, g, 0.6f);
    c.ellipse(12, 13, 3, 3, {255, 255, 255, 200});
  } else {
    for (int y = 4; y < 29; y++) {
      const float half = y < 12 ? float(y - 4) * 1.5f : float(28 - y) * 0.8f;
      for (int x = int(16 - half); x <= int(16 + half); x++) c.put(x, y, shaded(g, float(x) < 16 ? 1.2f : 0.8f));
    }
  }
  return finish(c);
}

inline TrsImage enchantment() {
  Canvas c(32, 32);
  c.ellipse(16, 16, 13, 13, {120, 80, 200, 160});
  for (int r = 0; r < 5; r++) {
    const float a = float(r) * 1.2566f - 1.5708f, b = a + 2.5133f;
    c.thick(16 + 11 * cosf(a), 16 + 11 * sinf(a), 16 + 11 * cosf(b), 16 + 11 * sinf(b), 2, {250, 230, 120});
  }
  return finish(c);
}

// Scale s (0..5), the first-named side (Turmoil, Sloth, Cold, Death,
// Misfortune, Drain) dark and the second (Order, Productivity, Heat,
// Growth, Luck, Magic) bright: a coloured drop with a mark.
inline TrsImage scale(int s, bool first) {
  static const Colour firsts[6] = {{180, 40, 40}, {110, 100, 80}, {120, 180, 240}, {70, 60, 70}, {90, 70, 120}, {90, 90, 90}};
  static const Colour seconds[6] = {{240, 230, 200}, {230, 170, 60}, {240, 110, 40}, {90, 200, 80}, {250, 210, 70}, {150, 110, 240}};
  Canvas c(16, 32);
  const Colour col = first ? firsts[s] : seconds[s];
  c.ellipse(8, 18, 6.5f, 11, col);
  c.rect(7, 10, 8, 26, shaded(col, first ? 1.5f : 0.6f));
  return finish(c);
}

// A magic site of a path (0..8) and level (0..2): a standing stone in the
// path's colour with one to three rings.
inline TrsImage site(int path, int level) {
  Canvas c(32, 32);
  const Colour g = gemcolour[path];
  c.ellipse(16, 18, 7, 12, shaded(g, 0.8f));
  for (int r = 0; r <= level; r++) c.ellipse(16, 8 + 8 * float(r), 9 - r, 1.5f, {240, 240, 220, 200});
  return finish(c);
}

inline TrsImage candle(bool own) {
  Canvas c(16, 32);
  c.rect(5, 12, 10, 30, own ? Colour{240, 230, 200} : Colour{90, 70, 80});
  c.ellipse(8, 7, 3, 5, own ? Colour{255, 200, 60} : Colour{170, 60, 200});
  return finish(c);
}

// Buttons of the right column: end turn, options, map filters, statistics,
// messages, magic.
inline TrsImage button(int n) {
  Canvas c(32, 32);
  switch (n) {
    case 0:   // an hourglass
      c.triangle(16, 4, 16, 10, {230, 200, 120});
      for (int y = 16; y < 28; y++) c.rect(16 - (y - 16) * 10 / 12, y, 16 + (y - 16) * 10 / 12, y, {230, 200, 120});
      c.rect(5, 2, 27, 4, {140, 100, 60});
      c.rect(5, 28, 27, 30, {140, 100, 60});
      break;
    case 1:   // a cog
      for (int r = 0; r < 8; r++) {
        const float a = float(r) * 0.785f;
        c.thick(16, 16, 16 + 13 * cosf(a), 16 + 13 * sinf(a), 4, {170, 170, 180});
      }
      c.ellipse(16, 16, 9, 9, {190, 190, 200});
      c.ellipse(16, 16, 3.5f, 3.5f, {40, 40, 50});
      break;
    case 2:   // three layers
      for (int l = 0; l < 3; l++) c.rect(5, 7 + 8 * l, 27, 11 + 8 * l, shaded({120, 180, 230}, 1.2f - 0.2f * float(l)));
      break;
    case 3:   // bars
      for (int b = 0; b < 4; b++) c.rect(4 + 7 * b, 28 - 5 * (b + 1), 8 + 7 * b, 28, {120 + 30 * b, 200, 120});
      break;
    case 4:   // a sealed letter
      c.rect(4, 8, 28, 25, {235, 225, 195});
      c.line(4, 8, 16, 18, {150, 130, 100});
      c.line(28, 8, 16, 18, {150, 130, 100});
      c.ellipse(16, 19, 3.5f, 3.5f, {190, 40, 40});
      break;
    default:   // a star of magic
      for (int r = 0; r < 4; r++) {
        const float a = float(r) * 0.785f;
        c.thick(16 - 13 * cosf(a), 16 - 13 * sinf(a), 16 + 13 * cosf(a), 16 + 13 * sinf(a), 3, {170, 130, 250});
      }
      c.ellipse(16, 16, 5, 5, {240, 220, 255});
      break;
  }
  return finish(c);
}

// Army setup (a shield), mercenaries (a purse) and recruitment (a banner),
// lit when they can be used here.
inline TrsImage armyicon(int n, bool lit) {
  Canvas c(32, 32);
  const float light = lit ? 1.0f : 0.45f;
  if (n == 0) {
    c.ellipse(16, 14, 11, 10, shaded({170, 60, 50}, light));
    c.triangle(16, 30, 14, 11, shaded({170, 60, 50}, light));
    c.rect(15, 6, 17, 26, shaded({230, 200, 100}, light));
  } else if (n == 1) {
    c.ellipse(16, 19, 11, 10, shaded({150, 110, 60}, light));
    c.rect(12, 6, 20, 10, shaded({120, 85, 45}, light));
    c.ellipse(16, 20, 3, 3, shaded({250, 210, 60}, light));
  } else {
    c.rect(7, 3, 9, 30, shaded({110, 75, 45}, light));
    c.rect(10, 4, 27, 17, shaded({60, 110, 200}, light));
  }
  return finish(c);
}

inline TrsImage laboratory() {
  Canvas c(32, 32);
  c.ellipse(16, 21, 10, 9, {90, 200, 150, 220});
  c.rect(13, 3, 19, 13, {200, 220, 230, 200});
  c.ellipse(13, 18, 2, 2, {255, 255, 255});
  return finish(c);
}

// Puts the pictures into the archives' lists (grown as needed).
inline void addmisc(std::vector<TrsImage>& out) {
  auto put = [&](int nr, TrsImage image) {
    if (out.size() <= size_t(nr)) out.resize(size_t(nr) + 1, Canvas(1, 1).image);
    out[size_t(nr)] = std::move(image);
  };
  for (int s = 0; s < 4; s++) put(SPRITE_SEASON + s, season(s));
  put(SPRITE_PAGEBACK, pagearrow(true));
  put(SPRITE_PAGEON, pagearrow(false));
  for (int g = 0; g < 8; g++) put(SPRITE_GEM + g, gem(g));
  put(SPRITE_ENCHANTMENT, enchantment());
  // 138, Productivity, keeps the map's resource ingot, which says as much.
  for (int s = 0; s < 6; s++) {
    if (SPRITE_SCALE + 2 * s != 138) put(SPRITE_SCALE + 2 * s, scale(s, false));
    put(SPRITE_SCALE + 1 + 2 * s, scale(s, true));
  }
  for (int path = 0; path < 9; path++)
    for (int level = 0; level < 3; level++) put(SPRITE_SITE + 3 * path + level, site(path, level));
  put(SPRITE_ENEMYCANDLE, candle(false));
  put(SPRITE_OWNCANDLE, candle(true));
}

inline void addmisc2(std::vector<TrsImage>& out) {
  auto put = [&](int nr, TrsImage image) {
    if (out.size() <= size_t(nr)) out.resize(size_t(nr) + 1, Canvas(1, 1).image);
    out[size_t(nr)] = std::move(image);
  };
  for (int b = 0; b < 6; b++) put(SPRITE2_COLUMNBUTTON + b, button(b));
  put(SPRITE2_ARMYSETUP, armyicon(0, false));
  put(SPRITE2_MERCENARIES, armyicon(1, false));
  put(SPRITE2_RECRUIT, armyicon(2, false));
  put(SPRITE2_ARMYSETUPLIT, armyicon(0, true));
  put(SPRITE2_MERCENARIESLIT, armyicon(1, true));
  put(SPRITE2_RECRUITLIT, armyicon(2, true));
  put(SPRITE2_LAB, laboratory());
}
}  // namespace turnicons
