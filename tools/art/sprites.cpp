// Build-time generator of the sprite archives: every picture is drawn here
// from simple shapes. Writes "mapstuff.trs" (decorations of random maps) and
// "army.trs" (army figures, one for every unit type's sprite number) into
// the data folder given as the one argument.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

#include "canvas.h"
#include "runtime/trs.h"
#include "runtime/util.h"
#include "world/gamedata.h"
#include "world/rules.h"

namespace {
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

// Kinds of figure: spear, sword and shield, bow, rider, robed caster,
// heavy foot, beast, winged.
enum FigureKind { SPEAR, SWORD, BOW, RIDER, CASTER, HEAVY, BEAST, WINGED };

// A standing figure of the kind; the number picks the colours.
TrsImage figure(int nr, int kind) {
  Canvas c;
  Dice d{uint32_t(1000 + nr)};
  Colour cloth{60 + d(180), 60 + d(180), 60 + d(180)};
  Colour skin{220, 180, 140};
  Colour steel{170, 170, 180};
  Colour wood{110, 75, 40};
  switch (kind) {
    case RIDER:
      c.ellipse(16, 22, 11, 5, {120 + d(60), 90 + d(40), 60});
      c.rect(7, 25, 8, 31, {90, 70, 50});
      c.rect(24, 25, 25, 31, {90, 70, 50});
      c.ellipse(27, 17, 3, 4, {120, 90, 60});
      c.rect(14, 10, 18, 19, cloth);
      c.ellipse(16, 7, 3, 3, skin);
      c.line(22, 3, 10, 20, steel);
      break;
    case BEAST:
      c.ellipse(16, 20, 12, 10, cloth, 0.6f);
      c.ellipse(12, 16, 2, 2, {250, 240, 60});
      c.ellipse(20, 16, 2, 2, {250, 240, 60});
      c.rect(9, 27, 11, 31, cloth);
      c.rect(21, 27, 23, 31, cloth);
      break;
    default: {
      bool heavy = kind == HEAVY;
      c.rect(13, 23, 14, 31, {70, 60, 50});
      c.rect(18, 23, 19, 31, {70, 60, 50});
      if (kind == CASTER) c.triangle(16, 9, 31, 8, cloth);
      else c.rect(heavy ? 10 : 12, 11, heavy ? 22 : 20, 23, heavy ? steel : cloth);
      c.ellipse(16, 7, 4, 4, skin);
      if (heavy) c.rect(12, 3, 20, 6, steel);
      if (kind == SPEAR) c.line(23, 1, 23, 31, wood), c.triangle(23, 0, 3, 2, steel);
      if (kind == SWORD) c.line(24, 8, 24, 22, steel), c.ellipse(9, 17, 4, 6, {cloth.r / 2, cloth.g / 2, cloth.b / 2});
      if (kind == BOW)
        for (int y = 6; y <= 26; y++) c.put(23 + int(4 * std::sin((y - 6) * 3.1416f / 20)), y, wood);
      if (kind == CASTER) c.line(24, 4, 22, 31, wood), c.ellipse(24, 4, 2, 2, {120, 200, 255});
      if (kind == HEAVY) c.line(24, 6, 24, 24, steel);
      if (kind == WINGED) c.triangle(6, 6, 20, 6, {200, 200, 210}), c.triangle(26, 6, 20, 6, {200, 200, 210});
    }
  }
  return c.image;
}

// One figure for every sprite number that a unit type of the built-in data
// names, of the kind its type suggests (riders, fliers, beasts, mages, foot
// soldiers of a kind by the number).
std::vector<TrsImage> armyfigures() {
  loadgamedata();
  std::vector<int> kinds(128, -1);
  for (int32_t t = 1; t < MAXUNITTYPES; t++) {
    const Monster& m = unittypes[size_t(t)];
    if (!m.name[0] || m.sprite == UNITTYPE_ENDSPRITE) continue;
    if (m.sprite >= kinds.size()) kinds.resize(size_t(m.sprite) + 1, -1);
    int kind = m.flags & MF_MOUNTED ? RIDER : m.flags & MF_FLYING ? WINGED : m.flags & MF_ANIMAL ? BEAST : -1;
    if (kind < 0 && gettypemagic(t, 53) > 0) kind = CASTER;
    if (kinds[m.sprite] < 0) kinds[m.sprite] = kind;
  }
  static const int foot[] = {SPEAR, SWORD, BOW, HEAVY};
  std::vector<TrsImage> army;
  for (size_t nr = 0; nr < kinds.size(); nr++) {
    const int kind = kinds[nr] >= 0 ? kinds[nr] : nr < 128 ? int(nr % 8) : foot[nr % 4];
    army.push_back(figure(int(nr), kind));
  }
  return army;
}

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
  return write(argv[1], TRS_MAPSTUFF, mapstuff()) | write(argv[1], TRS_ARMY, armyfigures());
}
