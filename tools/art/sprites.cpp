// Build-time generator of the sprite archives: every picture is drawn here
// from simple shapes. Writes "mapstuff.trs" (decorations of random maps) and
// "army.trs" (army figures) into the data folder given as the one argument.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

#include "runtime/trs.h"
#include "runtime/util.h"

namespace {
constexpr int32_t SIDE = 32;

struct Colour {
  int r, g, b, a = 255;
};

// A square picture, rows top first as the archive stores them.
struct Canvas {
  TrsImage image;
  Canvas() {
    image.width = image.height = SIDE;
    image.frames = 1;
    image.pixels.assign(size_t(SIDE * SIDE * 4), 0);
  }
  void put(int x, int y, Colour c) {
    if (x < 0 || y < 0 || x >= SIDE || y >= SIDE) return;
    uint8_t* p = &image.pixels[size_t((y * SIDE + x) * 4)];
    int a = std::clamp(c.a, 0, 255);
    p[0] = uint8_t((std::clamp(c.r, 0, 255) * a + p[0] * (255 - a)) / 255);
    p[1] = uint8_t((std::clamp(c.g, 0, 255) * a + p[1] * (255 - a)) / 255);
    p[2] = uint8_t((std::clamp(c.b, 0, 255) * a + p[2] * (255 - a)) / 255);
    p[3] = uint8_t(std::max<int>(p[3], a));
  }
  // Ellipse shaded from its upper left (light) to its lower right (dark).
  void ellipse(float cx, float cy, float rx, float ry, Colour c, float shade = 0.35f) {
    for (int y = 0; y < SIDE; y++)
      for (int x = 0; x < SIDE; x++) {
        float dx = (x + 0.5f - cx) / rx, dy = (y + 0.5f - cy) / ry;
        if (dx * dx + dy * dy > 1.0f) continue;
        float light = 1.0f + shade * (-dx - dy) * 0.5f;
        put(x, y, {int(c.r * light), int(c.g * light), int(c.b * light), c.a});
      }
  }
  void rect(int x0, int y0, int x1, int y1, Colour c) {
    for (int y = y0; y <= y1; y++)
      for (int x = x0; x <= x1; x++) put(x, y, c);
  }
  // Triangle with its apex at (cx, top) and its base from cx-half to cx+half at bottom.
  void triangle(float cx, float top, float bottom, float half, Colour c) {
    for (int y = int(top); y <= int(bottom); y++) {
      float t = (y - top) / std::max(1.0f, bottom - top);
      float w = half * t;
      for (int x = int(cx - w); x <= int(cx + w); x++) {
        float light = x < cx ? 1.15f : 0.85f;
        put(x, y, {int(c.r * light), int(c.g * light), int(c.b * light), c.a});
      }
    }
  }
  void line(float x0, float y0, float x1, float y1, Colour c) {
    int n = int(std::max(std::fabs(x1 - x0), std::fabs(y1 - y0))) + 1;
    for (int i = 0; i <= n; i++) put(int(x0 + (x1 - x0) * i / n), int(y0 + (y1 - y0) * i / n), c);
  }
};

// A small generator of our own, so the art is the same on every machine.
struct Dice {
  uint32_t s;
  int operator()(int n) {
    s = s * 1103515245u + 12345u;
    return int((s >> 16) % uint32_t(n));
  }
};

// A small heap of boulders at the foot of the frame: rocks are drawn large
// and close together on mountains, so they fill only part of it.
TrsImage rock(int k) {
  Canvas c;
  Dice d{uint32_t(101 + k)};
  int grey = 120 + d(40);
  Colour base{grey + 10, grey, grey - 15};
  float cx = 16, cy = 25;
  for (int lump = 0; lump < 3; lump++)
    c.ellipse(cx - 3 + d(6), cy - 1 + d(3), 2.5f + d(3), 2.0f + d(2), base, 0.6f);
  c.ellipse(cx - 2, cy - 2, 1.5f, 1.0f, {grey + 60, grey + 55, grey + 45, 150});
  return c.image;
}

TrsImage leaftree(int k) {
  Canvas c;
  Dice d{uint32_t(201 + k)};
  c.rect(15, 20, 17, 30, {92, 62, 36});
  Colour leaf{50 + d(30), 95 + d(40), 35 + d(20)};
  c.ellipse(16, 14, 9.0f + d(3), 8.0f + d(3), leaf, 0.7f);
  c.ellipse(12 + d(3), 17, 5, 4, leaf, 0.7f);
  c.ellipse(19 + d(3), 16, 5, 4, leaf, 0.7f);
  return c.image;
}

TrsImage pine(int k) {
  Canvas c;
  Dice d{uint32_t(301 + k)};
  c.rect(15, 25, 16, 30, {80, 55, 35});
  Colour needle{30 + d(20), 75 + d(30), 45 + d(20)};
  c.triangle(16, 2, 14, 6, needle);
  c.triangle(16, 7, 20, 9, needle);
  c.triangle(16, 12, 26, 11, needle);
  return c.image;
}

TrsImage waste(int k) {
  Canvas c;
  Dice d{uint32_t(401 + k)};
  c.ellipse(16, 26, 12, 4, {150, 120, 80, 120}, 0.2f);
  for (int i = 0; i < 5; i++) {
    float x = 6.0f + d(20), y = 22.0f + d(6);
    c.line(x, y, x + d(7) - 3, y + d(5) - 2, {90, 70, 50});
  }
  if (k == 0) {   // a dead bush
    c.line(16, 28, 16, 18, {100, 80, 60});
    c.line(16, 22, 11, 16, {100, 80, 60});
    c.line(16, 21, 21, 15, {100, 80, 60});
  }
  return c.image;
}

TrsImage farm() {
  Canvas c;
  for (int y = 12; y < 30; y++)
    for (int x = 3; x < 29; x++) {
      bool furrow = (x + y / 3) % 4 == 0;
      c.put(x, y, furrow ? Colour{120, 110, 50} : Colour{170, 165, 80});
    }
  c.rect(3, 12, 28, 12, {110, 95, 60});
  return c.image;
}

TrsImage grass(int k) {
  Canvas c;
  Dice d{uint32_t(501 + k)};
  for (int i = 0; i < 9; i++) {
    float x = 6.0f + d(20);
    c.line(x, 30, x - 2 + d(5), 20.0f + d(6), {70 + d(30), 120 + d(40), 50});
  }
  return c.image;
}

TrsImage swamp() {
  Canvas c;
  c.ellipse(16, 26, 12, 4, {70, 90, 80, 200}, 0.2f);
  for (int i = 0; i < 5; i++) {
    float x = 8.0f + i * 4;
    c.line(x, 27, x + (i % 2), 15.0f + (i * 7) % 6, {90, 110, 60});
  }
  return c.image;
}

// One mark per magic path: fire, air, water, earth, astral, death, nature, blood, holy.
TrsImage feature(int path) {
  Canvas c;
  c.ellipse(16, 16, 13, 13, {40, 35, 30, 110}, 0.0f);
  switch (path) {
    case 0: c.triangle(16, 4, 26, 8, {235, 110, 30}); c.triangle(16, 12, 26, 4, {250, 210, 60}); break;
    case 1: c.ellipse(16, 16, 9, 9, {190, 215, 245}); c.ellipse(18, 14, 5, 5, {60, 70, 90, 200}); break;
    case 2: c.ellipse(16, 19, 7, 7, {60, 110, 220}); c.triangle(16, 5, 16, 6, {60, 110, 220}); break;
    case 3: c.triangle(16, 5, 26, 11, {140, 105, 60}); break;
    case 4: c.line(16, 4, 16, 28, {250, 245, 200}); c.line(4, 16, 28, 16, {250, 245, 200});
            c.line(8, 8, 24, 24, {230, 225, 180}); c.line(24, 8, 8, 24, {230, 225, 180}); break;
    case 5: c.ellipse(16, 14, 8, 8, {200, 200, 190}); c.ellipse(13, 13, 2, 2, {20, 20, 20});
            c.ellipse(19, 13, 2, 2, {20, 20, 20}); c.rect(13, 21, 19, 24, {200, 200, 190}); break;
    case 6: c.ellipse(16, 16, 5, 10, {60, 160, 60}); c.line(16, 6, 16, 27, {40, 100, 40}); break;
    case 7: c.ellipse(16, 19, 7, 7, {170, 20, 25}); c.triangle(16, 5, 16, 6, {170, 20, 25}); break;
    default: c.ellipse(16, 16, 7, 7, {245, 210, 80});
             for (int i = 0; i < 8; i++) {
               float a = float(i) * 0.785f;
               c.line(16 + 8 * std::cos(a), 16 + 8 * std::sin(a), 16 + 13 * std::cos(a), 16 + 13 * std::sin(a),
                      {245, 210, 80});
             }
  }
  return c.image;
}

// Frames of the map decorations: 0..23 rocks, 24..29 leaf trees, 30..34
// pines, 35..36 waste, 37 farm fields, 38..39 grass, 40 swamp, 41..49 the
// marks of the nine magic paths.
std::vector<TrsImage> mapstuff() {
  std::vector<TrsImage> s;
  for (int k = 0; k < 24; k++) s.push_back(rock(k));
  for (int k = 0; k < 6; k++) s.push_back(leaftree(k));
  for (int k = 0; k < 5; k++) s.push_back(pine(k));
  for (int k = 0; k < 2; k++) s.push_back(waste(k));
  s.push_back(farm());
  for (int k = 0; k < 2; k++) s.push_back(grass(k));
  s.push_back(swamp());
  for (int k = 0; k < 9; k++) s.push_back(feature(k));
  return s;
}

// A standing figure; the number picks the kind (spear, sword and shield,
// bow, rider, robed caster, heavy foot, beast, winged) and the colours.
TrsImage figure(int nr) {
  Canvas c;
  Dice d{uint32_t(1000 + nr)};
  int kind = nr % 8;
  Colour cloth{60 + d(180), 60 + d(180), 60 + d(180)};
  Colour skin{220, 180, 140};
  Colour steel{170, 170, 180};
  Colour wood{110, 75, 40};
  switch (kind) {
    case 3:   // rider
      c.ellipse(16, 22, 11, 5, {120 + d(60), 90 + d(40), 60});
      c.rect(7, 25, 8, 31, {90, 70, 50});
      c.rect(24, 25, 25, 31, {90, 70, 50});
      c.ellipse(27, 17, 3, 4, {120, 90, 60});
      c.rect(14, 10, 18, 19, cloth);
      c.ellipse(16, 7, 3, 3, skin);
      c.line(22, 3, 10, 20, steel);
      break;
    case 6:   // beast
      c.ellipse(16, 20, 12, 10, cloth, 0.6f);
      c.ellipse(12, 16, 2, 2, {250, 240, 60});
      c.ellipse(20, 16, 2, 2, {250, 240, 60});
      c.rect(9, 27, 11, 31, cloth);
      c.rect(21, 27, 23, 31, cloth);
      break;
    default: {
      bool heavy = kind == 5;
      c.rect(13, 23, 14, 31, {70, 60, 50});
      c.rect(18, 23, 19, 31, {70, 60, 50});
      if (kind == 4) c.triangle(16, 9, 31, 8, cloth);
      else c.rect(heavy ? 10 : 12, 11, heavy ? 22 : 20, 23, heavy ? steel : cloth);
      c.ellipse(16, 7, 4, 4, skin);
      if (heavy) c.rect(12, 3, 20, 6, steel);
      if (kind == 0) c.line(23, 1, 23, 31, wood), c.triangle(23, 0, 3, 2, steel);
      if (kind == 1) c.line(24, 8, 24, 22, steel), c.ellipse(9, 17, 4, 6, {cloth.r / 2, cloth.g / 2, cloth.b / 2});
      if (kind == 2)
        for (int y = 6; y <= 26; y++) c.put(23 + int(4 * std::sin((y - 6) * 3.1416f / 20)), y, wood);
      if (kind == 4) c.line(24, 4, 22, 31, wood), c.ellipse(24, 4, 2, 2, {120, 200, 255});
      if (kind == 5) c.line(24, 6, 24, 24, steel);
      if (kind == 7) c.triangle(6, 6, 20, 6, {200, 200, 210}), c.triangle(26, 6, 20, 6, {200, 200, 210});
    }
  }
  return c.image;
}

constexpr int ARMYFIGURES = 128;

int write(const char* folder, int32_t file, const std::vector<TrsImage>& images) {
  char path[PATHLEN];
  formatbounded(path, PATHLEN, "%s/%s", folder, trsfilename(file));
  if (savetrsfile(path, images)) return 0;
  fprintf(stderr, "art_sprites: can't write %s\n", path);
  return 1;
}
}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    fprintf(stderr, "usage: art_sprites DATAFOLDER\n");
    return 2;
  }
  std::vector<TrsImage> army;
  for (int nr = 0; nr < ARMYFIGURES; nr++) army.push_back(figure(nr));
  return write(argv[1], TRS_MAPSTUFF, mapstuff()) | write(argv[1], TRS_ARMY, army);
}
