// Build-time generator of the unit box's pictures, drawn here from simple
// shapes: the magic items of "items.trs" (one picture for every picture
// number that an item of the built-in data names, drawn by the item's kind
// and name in the colour of its main path) and the ability and affliction
// icons of "icons.trs" (kinds 0..130: a round badge whose colour tells the
// group and a mark that tells the kind).
#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "canvas.h"
#include "runtime/trs.h"
#include "runtime/util.h"
#include "turnicons.h"
#include "world/gamedata.h"

namespace {
constexpr float PI = 3.14159265f;
const Colour RIM = {25, 20, 15, 230};
const Colour STEEL = {185, 190, 200}, DARKSTEEL = {110, 115, 125}, WOOD = {120, 80, 45}, GOLD = {235, 195, 70},
             LEATHER = {135, 90, 55};

TrsImage empty() { return Canvas(1, 1).image; }

TrsImage done(Canvas& c) {
  c.outline(RIM);
  return c.image;
}

Colour pathcolour(int path) { return path >= 0 && path < 9 ? turnicons::gemcolour[path] : Colour{200, 200, 210}; }

bool named(const char* name, const char* word) { return strstr(name, word) != nullptr; }

// ------------------------------------------------------------------ items

void blade(Canvas& c, Colour glow, bool twohand) {
  const float top = twohand ? 2 : 4;
  c.thick(9, 23, 23, top + 6, twohand ? 4.5f : 3.5f, STEEL);
  c.thick(10, 22, 22, top + 7, 1.2f, glow);
  c.thick(6, 19, 13, 26, 2.5f, GOLD);   // cross guard
  c.thick(4, 28, 8, 24, 2.5f, LEATHER);
}

void polearm(Canvas& c, Colour glow) {
  c.thick(6, 29, 24, 5, 2.2f, WOOD);
  c.ellipse(23, 7, 6, 4, STEEL);
  c.ellipse(24, 6, 2.5f, 1.5f, glow);
}

void bow(Canvas& c, Colour glow) {
  for (int y = 3; y <= 29; y++) c.thick(10 + 9 * std::sin(float(y - 3) * PI / 26), float(y), 10 + 9 * std::sin(float(y - 2) * PI / 26), float(y + 1), 2.5f, WOOD);
  c.line(10, 3, 10, 29, {230, 230, 220});
  c.thick(6, 16, 27, 16, 1.5f, glow);
}

void shield(Canvas& c, Colour glow) {
  c.ellipse(16, 13, 11, 10, shaded(glow, 0.8f));
  c.triangle(16, 30, 14, 11, shaded(glow, 0.8f));
  c.ellipse(16, 15, 4, 4, GOLD);
}

void armour(Canvas& c, Colour glow) {
  c.rect(9, 7, 22, 25, STEEL);
  c.rect(4, 7, 9, 14, DARKSTEEL);
  c.rect(22, 7, 27, 14, DARKSTEEL);
  c.ellipse(16, 7, 4, 2, {40, 40, 40});
  c.thick(10, 16, 22, 16, 2, glow);
}

void helmet(Canvas& c, Colour glow, bool crown) {
  if (crown) {
    c.rect(6, 16, 26, 24, GOLD);
    for (int k = 0; k < 3; k++) c.triangle(8.0f + 8 * k, 7, 16, 3, GOLD);
    c.ellipse(16, 20, 2.5f, 2.5f, glow);
    return;
  }
  c.ellipse(16, 17, 11, 11, STEEL);
  c.rect(5, 17, 27, 28, {0, 0, 0, 0});
  for (int y = 17; y <= 28; y++)
    for (int x = 5; x <= 27; x++) c.set(x, y, {0, 0, 0, 0});
  c.rect(6, 17, 26, 20, DARKSTEEL);
  c.rect(14, 17, 18, 26, DARKSTEEL);
  c.ellipse(16, 8, 3, 3, glow);
}

void boots(Canvas& c, Colour glow) {
  c.rect(8, 6, 15, 24, LEATHER);
  c.rect(8, 22, 24, 28, LEATHER);
  c.rect(8, 6, 15, 9, glow);
}

void amulet(Canvas& c, Colour glow) {
  for (int k = 0; k < 24; k++) {
    const float a = PI * float(k) / 23;
    c.put(int(16 - 11 * std::cos(a)), int(4 + 10 * std::sin(a) * 0.6f), GOLD);
  }
  c.line(5, 4, 14, 18, GOLD);
  c.line(27, 4, 18, 18, GOLD);
  c.ellipse(16, 22, 6, 6, GOLD);
  c.ellipse(16, 22, 4, 4, glow, 0.7f);
}

void ring(Canvas& c, Colour glow) {
  c.ellipse(16, 19, 10, 9, GOLD);
  c.ellipse(16, 19, 7, 6, {0, 0, 0, 0});
  for (int y = 10; y < 29; y++)
    for (int x = 6; x < 27; x++) {
      const float dx = (float(x) + 0.5f - 16) / 7, dy = (float(y) + 0.5f - 19) / 6;
      if (dx * dx + dy * dy < 1) c.set(x, y, {0, 0, 0, 0});
    }
  c.ellipse(16, 8, 4, 4, glow, 0.7f);
}

void staff(Canvas& c, Colour glow) {
  c.thick(8, 30, 22, 6, 2.5f, WOOD);
  c.ellipse(23, 6, 5, 5, glow, 0.7f);
  c.ellipse(21, 4, 1.5f, 1.5f, {255, 255, 255, 200});
}

void skull(Canvas& c, Colour glow) {
  c.ellipse(16, 14, 10, 9, {225, 220, 200});
  c.rect(11, 20, 21, 27, {225, 220, 200});
  c.ellipse(12, 14, 2.5f, 3, glow);
  c.ellipse(20, 14, 2.5f, 3, glow);
  for (int x = 12; x <= 20; x += 2) c.line(float(x), 23, float(x), 27, {60, 50, 40});
}

void orb(Canvas& c, Colour glow) {
  c.ellipse(16, 15, 10, 10, glow, 0.8f);
  c.ellipse(12, 11, 3, 3, {255, 255, 255, 180});
  c.rect(11, 25, 21, 29, GOLD);
}

void pelt(Canvas& c, Colour glow) {
  c.ellipse(16, 17, 12, 11, {140, 110, 80});
  c.triangle(8, 3, 10, 4, {140, 110, 80});
  c.triangle(24, 3, 10, 4, {140, 110, 80});
  c.ellipse(16, 17, 4, 3, glow);
}

void book(Canvas& c, Colour glow) {
  c.rect(6, 6, 26, 27, shaded(glow, 0.7f));
  c.rect(8, 8, 24, 25, {235, 225, 195});
  c.line(16, 8, 16, 25, {150, 130, 100});
  c.ellipse(16, 16, 3, 3, glow);
}

void banner(Canvas& c, Colour glow) {
  c.thick(8, 3, 8, 30, 2, WOOD);
  c.rect(9, 4, 26, 17, glow);
  c.triangle(17, 17, 24, 8, glow);
}

void girdle(Canvas& c, Colour glow) {
  c.rect(3, 13, 28, 19, LEATHER);
  c.rect(13, 11, 19, 21, GOLD);
  c.ellipse(16, 16, 2, 2, glow);
}

void trinket(Canvas& c, Colour glow, int k) {
  // A charm: a small figure of one of three shapes in the path's colour.
  if (k % 3 == 0) {
    c.triangle(16, 4, 28, 11, glow);
    c.ellipse(16, 22, 6, 4, shaded(glow, 0.7f));
  } else if (k % 3 == 1) {
    for (int r = 0; r < 5; r++) {
      const float a = float(r) * 2 * PI / 5 - PI / 2;
      c.thick(16, 16, 16 + 12 * std::cos(a), 16 + 12 * std::sin(a), 4, glow);
    }
    c.ellipse(16, 16, 4, 4, GOLD);
  } else {
    c.ellipse(16, 16, 11, 8, GOLD);
    c.ellipse(16, 16, 7, 5, glow, 0.7f);
  }
}

TrsImage itempicture(const Item& it, int nr) {
  Canvas c(32, 32);
  const Colour glow = pathcolour(it.mainpath);
  const char* n = it.name;
  switch (it.type) {
    case IT_ONEHAND:
      if (named(n, "Staff") || named(n, "Rod") || named(n, "Wand") || named(n, "Sceptre")) staff(c, glow);
      else if (named(n, "Spear") || named(n, "Trident") || named(n, "Lance")) polearm(c, glow);
      else blade(c, glow, false);
      break;
    case IT_TWOHAND:
      if (named(n, "Staff") || named(n, "Rod")) staff(c, glow);
      else if (named(n, "Halberd") || named(n, "Spear") || named(n, "Trident") || named(n, "Axe") || named(n, "Pike") ||
               named(n, "Scythe") || named(n, "Hammer"))
        polearm(c, glow);
      else blade(c, glow, true);
      break;
    case IT_MISSILE: bow(c, glow); break;
    case IT_SHIELD: shield(c, glow); break;
    case IT_ARMOR:
      if (named(n, "Pelt") || named(n, "Robe") || named(n, "Cloak") || named(n, "Hide") || named(n, "Skin")) pelt(c, glow);
      else armour(c, glow);
      break;
    case IT_HELMET: helmet(c, glow, named(n, "Crown") || named(n, "Circlet") || named(n, "Diadem")); break;
    case IT_BOOTS: boots(c, glow); break;
    default:
      if (named(n, "Amulet") || named(n, "Pendant") || named(n, "Necklace") || named(n, "Talisman")) amulet(c, glow);
      else if (named(n, "Ring")) ring(c, glow);
      else if (named(n, "Skull") || named(n, "Lich") || named(n, "Bone")) skull(c, glow);
      else if (named(n, "Staff") || named(n, "Wand") || named(n, "Rod")) staff(c, glow);
      else if (named(n, "Orb") || named(n, "Stone") || named(n, "Heart") || named(n, "Gem") || named(n, "Crystal") ||
               named(n, "Eye") || named(n, "Pearl"))
        orb(c, glow);
      else if (named(n, "Book") || named(n, "Tome") || named(n, "Scroll") || named(n, "Codex")) book(c, glow);
      else if (named(n, "Banner") || named(n, "Standard") || named(n, "Flag")) banner(c, glow);
      else if (named(n, "Girdle") || named(n, "Belt") || named(n, "Bracers")) girdle(c, glow);
      else if (named(n, "Cloak") || named(n, "Pelt") || named(n, "Robe")) pelt(c, glow);
      else trinket(c, glow, nr);
  }
  return done(c);
}

std::vector<TrsImage> itempictures() {
  loadgamedata();
  std::vector<TrsImage> out;
  for (int32_t i = 1; i < MAXITEMS; i++) {
    const Item& it = items[size_t(i)];
    if (!it.name[0] || it.picture < 0 || it.picture >= MAXTRSSPRITES) continue;
    if (out.size() <= size_t(it.picture)) out.resize(size_t(it.picture) + 1, empty());
    if (out[size_t(it.picture)].width == 1) out[size_t(it.picture)] = itempicture(it, it.picture);
  }
  // The forge shows its categories by these pictures: a kind's picture
  // where no item has one (0 stands for items without a picture of their own).
  const struct {
    int nr;
    int8_t type;
    bool always;
  } categories[] = {{0, IT_ONEHAND, true}, {192, IT_ARMOR, false}, {202, IT_SHIELD, false}};
  for (const auto& k : categories) {
    if (out.size() <= size_t(k.nr)) out.resize(size_t(k.nr) + 1, empty());
    if (!k.always && out[size_t(k.nr)].width > 1) continue;
    Item plain{};
    plain.type = k.type;
    plain.mainpath = -1;
    out[size_t(k.nr)] = itempicture(plain, k.nr);
  }
  return out;
}

// ------------------------------------------------------------------ icons

enum Mark {
  M_NONE, M_WOUND, M_FLAME, M_FLAKE, M_DROP, M_BOLT, M_SKULL, M_WING, M_EYE, M_STAR, M_SHIELD, M_HEART, M_WAVE,
  M_SWORD, M_CROSS, M_SUN, M_MOON, M_LEAF, M_MOUNTAIN, M_TREE, M_REEDS, M_DUNE, M_SPIRAL, M_BANNER, M_COIN, M_HAMMER,
  M_HOURGLASS, M_CLOUD, M_FOOT, M_CROWN, M_FANG, M_RING, M_BOOK, M_TOWER, M_DAGGER, M_CIRCLEDOT, M_PLUS
};

const Colour C_BAD = {170, 45, 40}, C_FIRE = {215, 90, 30}, C_COLD = {90, 160, 220}, C_POISON = {80, 150, 60},
             C_SHOCK = {210, 190, 60}, C_DEATH = {90, 70, 100}, C_MOVE = {70, 140, 90}, C_MAGIC = {130, 80, 190},
             C_HOLY = {220, 190, 90}, C_BODY = {140, 110, 80}, C_WAR = {150, 150, 160}, C_SKILL = {80, 110, 170};

struct IconSpec {
  Mark mark;
  Colour ground;
};

IconSpec iconspec(int kind) {
  switch (kind) {
    case 0: return {M_WOUND, C_BAD};
    case 1: return {M_FLAME, C_FIRE};
    case 2: return {M_FLAKE, C_COLD};
    case 3: return {M_DROP, C_POISON};
    case 4: return {M_BOLT, C_SHOCK};
    case 5: return {M_SKULL, C_DEATH};
    case 6: return {M_EYE, C_BAD};
    case 8: return {M_HEART, C_POISON};
    case 9: return {M_HOURGLASS, C_HOLY};
    case 10: return {M_FLAKE, C_SKILL};
    case 11: return {M_SUN, C_FIRE};
    case 12: return {M_CROSS, C_HOLY};
    case 14: return {M_WAVE, C_COLD};
    case 15: return {M_WAVE, C_MOVE};
    case 16: return {M_WAVE, C_BODY};
    case 17: return {M_CROSS, C_SKILL};
    case 18: return {M_STAR, C_HOLY};
    case 19: return {M_FLAKE, C_BODY};
    case 20: return {M_COIN, C_BAD};
    case 21: return {M_CLOUD, C_MAGIC};
    case 22: return {M_CROWN, C_HOLY};
    case 23: return {M_CROWN, C_MAGIC};
    case 24: return {M_BOOK, C_HOLY};
    case 25: return {M_FOOT, C_BODY};
    case 26: return {M_FANG, C_BODY};
    case 27: return {M_CIRCLEDOT, C_WAR};
    case 28: return {M_WING, C_MOVE};
    case 29: return {M_EYE, C_DEATH};
    case 30: return {M_CLOUD, C_WAR};
    case 31: return {M_SKULL, C_BAD};
    case 33: return {M_SPIRAL, C_HOLY};
    case 34: return {M_SPIRAL, C_MOVE};
    case 35: return {M_SUN, C_HOLY};
    case 36: return {M_STAR, C_MAGIC};
    case 38: return {M_CIRCLEDOT, C_BODY};
    case 40: return {M_EYE, C_HOLY};
    case 41: return {M_BANNER, C_WAR};
    case 42: return {M_SKULL, C_MAGIC};
    case 43: return {M_COIN, C_MOVE};
    case 45: return {M_SHIELD, C_HOLY};
    case 46: return {M_SWORD, C_SKILL};
    case 47: return {M_SWORD, C_MAGIC};
    case 48: return {M_SHIELD, C_BODY};
    case 49: return {M_SHIELD, C_BAD};
    case 50: return {M_FLAME, C_WAR};
    case 51: return {M_SPIRAL, C_MAGIC};
    case 52: return {M_STAR, C_MOVE};
    case 53: return {M_CLOUD, C_COLD};
    case 54: return {M_HOURGLASS, C_BAD};
    case 57: return {M_FANG, C_FIRE};
    case 58: return {M_BOLT, C_SKILL};
    case 59: return {M_FLAME, C_BAD};
    case 60: return {M_SHIELD, C_MAGIC};
    case 61: return {M_HEART, C_BAD};
    case 62: return {M_DAGGER, C_BAD};
    case 63: return {M_DAGGER, C_FIRE};
    case 67: return {M_RING, C_MAGIC};
    case 68: return {M_DROP, C_BAD};
    case 69: return {M_SPIRAL, C_SKILL};
    case 70: return {M_CLOUD, C_SKILL};
    case 71: return {M_DUNE, C_BODY};
    case 72: return {M_MOUNTAIN, C_WAR};
    case 73: return {M_TREE, C_MOVE};
    case 74: return {M_REEDS, C_POISON};
    case 75: return {M_FLAME, C_BAD};
    case 76: return {M_FLAKE, C_BAD};
    case 77: return {M_SPIRAL, C_BAD};
    case 78: return {M_MOUNTAIN, C_BAD};
    case 79: return {M_FLAME, C_DEATH};
    case 80: return {M_SWORD, C_FIRE};
    case 81: return {M_TOWER, C_WAR};
    case 82: return {M_COIN, C_WAR};
    case 83: return {M_PLUS, C_MOVE};
    case 84: return {M_CROSS, C_BAD};
    case 85: return {M_WAVE, C_SKILL};
    case 86: return {M_FANG, C_MOVE};
    case 87: return {M_COIN, C_POISON};
    case 88: return {M_TOWER, C_SKILL};
    case 89: return {M_HAMMER, C_WAR};
    case 90: return {M_EYE, C_WAR};
    case 91: return {M_STAR, C_BAD};
    case 92: return {M_CLOUD, C_HOLY};
    case 93: return {M_FANG, C_MAGIC};
    case 94: return {M_SPIRAL, C_FIRE};
    case 95: return {M_HEART, C_MAGIC};
    case 96: return {M_MOON, C_SKILL};
    case 97: return {M_EYE, C_BODY};
    case 98: return {M_SKULL, C_POISON};
    case 99: return {M_HOURGLASS, C_BODY};
    case 100: return {M_SPIRAL, C_DEATH};
    case 101: return {M_CLOUD, C_POISON};
    case 102: return {M_MOUNTAIN, C_MAGIC};
    case 103: return {M_LEAF, C_MOVE};
    case 104: return {M_SUN, C_SHOCK};
    case 105: return {M_LEAF, C_FIRE};
    case 106: return {M_FLAKE, C_HOLY};
    case 107: return {M_LEAF, C_POISON};
    case 108: return {M_SWORD, C_DEATH};
    case 109: return {M_DROP, C_BAD};
    case 110: return {M_BOLT, C_BAD};
    case 111: return {M_COIN, C_FIRE};
    case 112: return {M_CROSS, C_DEATH};
    case 113: return {M_FLAME, C_HOLY};
    case 114: return {M_FLAKE, C_HOLY};
    case 115: return {M_MOON, C_DEATH};
    case 116: return {M_FANG, C_POISON};
    case 117: return {M_PLUS, C_HOLY};
    case 118: return {M_EYE, C_MAGIC};
    case 119: return {M_BOLT, C_HOLY};
    case 120: return {M_LEAF, C_HOLY};
    case 121: return {M_HEART, C_MOVE};
    case 122: return {M_HEART, C_BODY};
    case 123: return {M_SKULL, C_WAR};
    case 124: return {M_DROP, C_DEATH};
    case 125: return {M_DROP, C_POISON};
    case 126: return {M_FANG, C_HOLY};
    case 127: return {M_CROSS, C_WAR};
    case 128: return {M_DAGGER, C_DEATH};
    case 129: return {M_EYE, C_SKILL};
    case 130: return {M_WOUND, C_MAGIC};
    default: return {M_NONE, C_WAR};
  }
}

void markdraw(Canvas& c, Mark m) {
  const Colour W = {250, 245, 230}, D = {40, 35, 30};
  switch (m) {
    case M_NONE: break;
    case M_WOUND: c.thick(9, 9, 23, 23, 3, W); c.thick(23, 9, 9, 23, 3, W); break;
    case M_FLAME: c.triangle(16, 6, 26, 7, {255, 200, 60}); c.ellipse(16, 21, 6, 5, {255, 230, 120}); break;
    case M_FLAKE:
      for (int r = 0; r < 3; r++) {
        const float a = float(r) * PI / 3;
        c.thick(16 - 10 * std::cos(a), 16 - 10 * std::sin(a), 16 + 10 * std::cos(a), 16 + 10 * std::sin(a), 2, W);
      }
      break;
    case M_DROP: c.ellipse(16, 19, 6, 6, W); c.triangle(16, 7, 15, 5, W); break;
    case M_BOLT: c.thick(19, 5, 12, 16, 3, {255, 240, 120}); c.thick(12, 16, 20, 16, 3, {255, 240, 120}); c.thick(20, 16, 13, 27, 3, {255, 240, 120}); break;
    case M_SKULL: c.ellipse(16, 14, 8, 7, W); c.rect(12, 19, 20, 24, W); c.ellipse(13, 14, 2, 2, D); c.ellipse(19, 14, 2, 2, D); break;
    case M_WING:
      for (int k = 0; k < 4; k++) c.thick(6, 20 - 2 * k, 26 - 3 * k, 8 + 2 * k, 2, W);
      break;
    case M_EYE: c.ellipse(16, 16, 10, 5, W); c.ellipse(16, 16, 3.5f, 3.5f, D); break;
    case M_STAR:
      for (int r = 0; r < 5; r++) {
        const float a = float(r) * 2 * PI / 5 - PI / 2;
        c.thick(16, 16, 16 + 10 * std::cos(a), 16 + 10 * std::sin(a), 3.5f, {255, 230, 120});
      }
      break;
    case M_SHIELD: c.ellipse(16, 13, 8, 7, W); c.triangle(16, 27, 13, 8, W); break;
    case M_HEART: c.ellipse(12, 13, 5, 5, W); c.ellipse(20, 13, 5, 5, W); c.triangle(16, 27, 12, 9, W); break;
    case M_WAVE:
      for (int k = 0; k < 2; k++)
        for (int x = 5; x <= 27; x++) c.thick(float(x), 13 + 8 * k + 2.5f * std::sin(float(x) * 0.6f), float(x + 1), 13 + 8 * k + 2.5f * std::sin(float(x + 1) * 0.6f), 2, W);
      break;
    case M_SWORD: c.thick(9, 23, 23, 9, 3, W); c.thick(8, 17, 15, 24, 2.5f, {255, 220, 90}); break;
    case M_CROSS: c.thick(16, 6, 16, 26, 3.5f, W); c.thick(8, 13, 24, 13, 3.5f, W); break;
    case M_SUN:
      c.ellipse(16, 16, 6, 6, {255, 230, 120});
      for (int r = 0; r < 8; r++) {
        const float a = float(r) * PI / 4;
        c.thick(16 + 8 * std::cos(a), 16 + 8 * std::sin(a), 16 + 11 * std::cos(a), 16 + 11 * std::sin(a), 2, {255, 230, 120});
      }
      break;
    case M_MOON: c.ellipse(16, 16, 9, 9, W); c.ellipse(20, 13, 8, 8, {60, 60, 80}); break;
    case M_LEAF: c.ellipse(16, 15, 6, 10, {170, 230, 120}); c.line(16, 6, 16, 27, D); break;
    case M_MOUNTAIN: c.triangle(13, 8, 25, 9, W); c.triangle(21, 12, 25, 7, {220, 220, 220}); break;
    case M_TREE: c.triangle(16, 5, 21, 9, {170, 230, 120}); c.rect(15, 21, 17, 27, {120, 80, 40}); break;
    case M_REEDS:
      for (int k = 0; k < 4; k++) c.thick(9.0f + 5 * k, 27, 10.0f + 5 * k, 9.0f + 3 * (k % 2), 2, {170, 230, 120});
      break;
    case M_DUNE: c.ellipse(12, 24, 10, 5, {240, 210, 140}); c.ellipse(22, 22, 8, 6, {250, 225, 160}); break;
    case M_SPIRAL:
      for (int k = 0; k < 60; k++) {
        const float a = float(k) * 0.25f, r = 1 + float(k) * 0.17f;
        c.thick(16 + r * std::cos(a), 16 + r * std::sin(a), 16 + (r + 0.17f) * std::cos(a + 0.25f), 16 + (r + 0.17f) * std::sin(a + 0.25f), 2, W);
      }
      break;
    case M_BANNER: c.thick(10, 5, 10, 27, 2, W); c.rect(11, 6, 24, 15, {255, 220, 90}); break;
    case M_COIN: c.ellipse(16, 16, 9, 9, {255, 215, 80}); c.ellipse(16, 16, 5, 5, {215, 170, 50}); break;
    case M_HAMMER: c.thick(10, 26, 20, 12, 2.5f, {170, 120, 70}); c.thick(14, 8, 25, 16, 5, W); break;
    case M_HOURGLASS: c.triangle(16, 16, 7, 8, W); c.rect(8, 6, 24, 8, W); c.rect(8, 24, 24, 26, W);
                      for (int y = 16; y < 24; y++) c.rect(16 - (y - 16), y, 16 + (y - 16), y, W);
                      break;
    case M_CLOUD: c.ellipse(12, 18, 6, 5, W); c.ellipse(19, 15, 7, 6, W); c.ellipse(22, 20, 5, 4, W); break;
    case M_FOOT: c.ellipse(16, 19, 6, 8, W); for (int k = 0; k < 4; k++) c.ellipse(10.0f + 4 * k, 9, 1.8f, 2.2f, W); break;
    case M_CROWN: c.rect(8, 17, 24, 23, {255, 215, 80}); for (int k = 0; k < 3; k++) c.triangle(9.0f + 7 * k, 8, 17, 3, {255, 215, 80}); break;
    case M_FANG: c.triangle(11, 8, 24, 4, W); c.triangle(21, 8, 24, 4, W); c.rect(6, 6, 26, 9, W); break;
    case M_RING: c.ellipse(16, 16, 10, 10, {255, 215, 80}); c.ellipse(16, 16, 6, 6, {130, 80, 190}); break;
    case M_BOOK: c.rect(8, 8, 24, 25, W); c.line(16, 8, 16, 25, D); break;
    case M_TOWER: c.rect(10, 10, 22, 27, W); for (int k = 0; k < 3; k++) c.rect(10 + 5 * k, 6, 12 + 5 * k, 10, W); break;
    case M_DAGGER: c.thick(16, 5, 16, 21, 3, W); c.thick(11, 21, 21, 21, 2.5f, {255, 220, 90}); c.thick(16, 22, 16, 27, 2.5f, {140, 90, 50}); break;
    case M_CIRCLEDOT: c.ellipse(16, 16, 9, 9, W); c.ellipse(16, 16, 7, 7, {90, 90, 100}); c.ellipse(16, 16, 2.5f, 2.5f, W); break;
    case M_PLUS: c.thick(16, 7, 16, 25, 5, W); c.thick(7, 16, 25, 16, 5, W); break;
  }
}

TrsImage icon(int kind) {
  const IconSpec s = iconspec(kind);
  if (s.mark == M_NONE) return empty();
  Canvas c(32, 32);
  c.ellipse(16, 16, 15, 15, shaded(s.ground, 0.55f), 0.0f);
  c.ellipse(16, 16, 13.5f, 13.5f, s.ground, 0.5f);
  markdraw(c, s.mark);
  return done(c);
}

std::vector<TrsImage> icons() {
  std::vector<TrsImage> out;
  for (int k = 0; k < 131; k++) out.push_back(icon(k));
  return out;
}

int write(const char* folder, int32_t file, const std::vector<TrsImage>& images) {
  char path[PATHLEN];
  formatbounded(path, PATHLEN, "%s/%s", folder, trsfilename(file));
  if (savetrsfile(path, images)) return 0;
  fprintf(stderr, "art_boxart: can't write %s\n", path);
  return 1;
}
}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    fprintf(stderr, "usage: art_boxart DATAFOLDER\n");
    return 2;
  }
  return write(argv[1], TRS_ITEMS, itempictures()) | write(argv[1], TRS_ICONS, icons());
}
