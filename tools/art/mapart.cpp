// Build-time generator of the strategic map's own pictures, drawn here from
// simple shapes: the nations' flags ("flag.trs": 0 the plain flag of no
// nation, nation n at n + 1, in the nation's colour with a pattern of its
// own), the map icons of "misc.trs" (forts, temples, victory points, battle
// and enchantment markers, veyrance candles, income and terrain icons), the
// movement arrows of "misc2.trs", the nations' temples ("temples.trs"), and
// the background beyond the map's edges ("mapbg.tga", a picture that repeats
// every 512 pixels).
//
// Sprite numbers of other pictures in these archives are left as empty 1 x 1
// sprites; the table of each archive takes further pictures by number.
#include <cmath>
#include <cstdio>
#include <functional>
#include <utility>
#include <vector>

#include "boxicons.h"
#include "canvas.h"
#include "labicons.h"
#include "nationicons.h"
#include "ordericons.h"
#include "turnicons.h"
#include "runtime/image.h"
#include "runtime/trs.h"
#include "runtime/util.h"
#include "world/gamedata.h"

namespace {
constexpr float PI = 3.14159265f;
const Colour OUTLINE = {25, 20, 15, 230};

TrsImage empty() { return Canvas(1, 1).image; }

// ------------------------------------------------------------------ flags

float luminance(Colour c) { return (0.3f * float(c.r) + 0.59f * float(c.g) + 0.11f * float(c.b)) / 255.0f; }

Colour nationcolour(int n) {
  if (n >= 0 && n < MAXNATIONS && nations[size_t(n)].name[0]) {
    const float* c = nations[size_t(n)].colour;
    if (c[0] + c[1] + c[2] > 0)
      return {int(std::lround(c[0] * 255)), int(std::lround(c[1] * 255)), int(std::lround(c[2] * 255))};
  }
  Dice d{uint32_t(7000 + n)};
  return {40 + d(200), 40 + d(200), 40 + d(200)};
}

// A banner on a pole, 32 x 64: the pole stands at the left edge of the
// picture, its foot at the bottom, the banner waving from its top (the
// upper third, clear of the province name below it). pattern -1 is the
// plain flag of no nation.
TrsImage flag(Colour main, int pattern) {
  Canvas c(32, 64);
  const Colour wood = {105, 72, 40};
  c.rect(1, 3, 2, 63, wood);
  c.rect(1, 3, 1, 63, {140, 100, 60});
  c.ellipse(2, 3, 2.2f, 2.2f, {230, 190, 70});
  const Colour second = luminance(main) > 0.55f ? shaded(main, 0.4f)
                                                 : Colour{(main.r + 3 * 235) / 4, (main.g + 3 * 230) / 4, (main.b + 3 * 210) / 4};
  const int left = 3, right = 30, top = 4, bottom = 21;
  for (int x = left; x <= right; x++) {
    const float t = float(x - left) / float(right - left);
    const float wave = 1.6f * sinf(t * 2.2f * PI) * t;
    const float light = 1.0f + 0.16f * cosf(t * 2.2f * PI);
    for (int y = top; y <= bottom; y++) {
      const float v = float(y - top) / float(bottom - top), u = t;
      bool mark = false;
      switch (pattern) {
        case 0: mark = v > 0.36f && v < 0.64f; break;                        // band across
        case 1: mark = u < 0.3f; break;                                      // band at the pole
        case 2: mark = std::fabs(u - v) < 0.17f; break;                      // diagonal
        case 3: mark = (u - 0.5f) * (u - 0.5f) * 1.6f + (v - 0.5f) * (v - 0.5f) < 0.07f; break;   // disc
        case 4: mark = std::fabs(u - 0.4f) < 0.09f || std::fabs(v - 0.5f) < 0.14f; break;  // cross
        case 5: mark = v < 0.36f; break;                                     // band at the top
        case 6: mark = (int(u * 4) + int(v * 2)) % 2 == 0; break;            // chequers
        default: mark = false;
      }
      c.set(x, y + int(std::lround(wave)), shaded(mark ? second : main, light));
    }
  }
  c.outline(OUTLINE);
  return c.image;
}

std::vector<TrsImage> flags() {
  loadgamedata();
  std::vector<TrsImage> out;
  out.push_back(flag({225, 222, 210}, -1));
  for (int n = 0; n < MAXNATIONS; n++) out.push_back(flag(nationcolour(n), n % 7));
  return out;
}

// ------------------------------------------------------------- map icons

TrsImage star() {   // victory point
  Canvas c;
  for (int y = 0; y < 32; y++)
    for (int x = 0; x < 32; x++) {
      const float dx = float(x) + 0.5f - 16, dy = float(y) + 0.5f - 17;
      const float a = atan2f(dy, dx) + PI / 2, r = sqrtf(dx * dx + dy * dy);
      const float edge = 6.0f + 8.0f * powf(std::fabs(cosf(a * 2.5f)), 3.0f);
      if (r <= edge) c.put(x, y, shaded({250, 205, 60}, 1.15f - 0.25f * r / edge - 0.01f * dy));
    }
  c.outline(OUTLINE);
  return c.image;
}

TrsImage swords() {   // battle
  Canvas c;
  c.ellipse(16, 16, 13, 13, {200, 40, 20, 120}, 0.0f);
  const Colour blade = {215, 215, 225}, hilt = {120, 80, 40};
  c.thick(6, 26, 25, 5, 3.0f, blade);
  c.thick(26, 26, 7, 5, 3.0f, blade);
  c.thick(4, 22, 10, 28, 2.5f, hilt);
  c.thick(22, 28, 28, 22, 2.5f, hilt);
  c.outline(OUTLINE);
  return c.image;
}

TrsImage temple() {
  Canvas c(40, 40);
  const Colour stone = {235, 228, 210};
  c.triangle(20, 6, 14, 16, stone);
  c.rect(5, 15, 35, 17, stone);
  for (int k = 0; k < 4; k++) c.rect(8 + k * 7, 18, 10 + k * 7, 31, shaded(stone, 0.92f));
  c.rect(4, 32, 36, 35, shaded(stone, 0.85f));
  c.outline(OUTLINE);
  return c.image;
}

TrsImage fort() {
  Canvas c(40, 40);
  const Colour stone = {150, 145, 140};
  c.rect(6, 16, 33, 37, stone);
  for (int x = 6; x <= 31; x += 5) c.rect(x, 13, x + 2, 15, stone);
  c.rect(2, 8, 11, 37, shaded(stone, 1.1f));
  c.rect(28, 8, 37, 37, shaded(stone, 0.9f));
  for (int x : {2, 6, 10, 28, 32, 36}) c.rect(x, 5, x + 1, 7, stone);
  c.rect(16, 26, 23, 37, {60, 40, 25});
  c.ellipse(19.5f, 26, 4, 4, {60, 40, 25}, 0.0f);
  c.rect(5, 14, 7, 18, {40, 35, 35});
  c.rect(31, 14, 33, 18, {40, 35, 35});
  c.line(7, 1, 7, 5, {90, 60, 30});
  c.rect(8, 1, 12, 3, {200, 40, 30});
  c.outline(OUTLINE);
  return c.image;
}

TrsImage enchantment() {
  Canvas c;
  c.ellipse(16, 16, 14, 14, {150, 90, 255, 70}, 0.0f);
  c.ellipse(16, 16, 9, 9, {170, 120, 255, 110}, 0.0f);
  for (int k = 0; k < 4; k++) {
    const float a = float(k) * PI / 4;
    c.thick(16 - 12 * cosf(a), 16 - 12 * sinf(a), 16 + 12 * cosf(a), 16 + 12 * sinf(a), k % 2 ? 1.5f : 2.5f,
            {225, 205, 255});
  }
  c.ellipse(16, 16, 3.5f, 3.5f, {255, 255, 255}, 0.0f);
  return c.image;
}

TrsImage ingot(bool used) {   // resources: free, or taken by recruitment
  Canvas c;
  const Colour metal = used ? Colour{120, 60, 50} : Colour{175, 160, 140};
  c.rect(6, 14, 26, 24, metal);
  c.rect(9, 9, 23, 13, shaded(metal, 1.25f));
  c.rect(6, 25, 26, 26, shaded(metal, 0.6f));
  c.outline(OUTLINE);
  return c.image;
}

TrsImage coin() {
  Canvas c;
  c.ellipse(16, 16, 12, 12, {235, 185, 40}, 0.5f);
  c.ellipse(16, 16, 8, 8, {255, 215, 80}, 0.3f);
  c.rect(15, 11, 17, 21, {200, 150, 30});
  c.outline(OUTLINE);
  return c.image;
}

// A thin candle with its flame: the viewer's veyrance bright, another's dark.
TrsImage candle(bool own) {
  Canvas c;
  const Colour wax = own ? Colour{245, 240, 220} : Colour{70, 40, 70};
  const Colour flame = own ? Colour{255, 210, 80} : Colour{200, 40, 60};
  c.rect(14, 14, 17, 31, wax);
  c.rect(14, 14, 14, 31, shaded(wax, 1.15f));
  c.ellipse(15.5f, 9, 2.5f, 5, flame, 0.0f);
  c.ellipse(15.5f, 10, 1.2f, 2.5f, {255, 250, 220}, 0.0f);
  c.outline(OUTLINE);
  return c.image;
}

TrsImage presence() {
  Canvas c;
  c.ellipse(16, 16, 12, 12, {250, 250, 250}, 0.2f);
  c.ellipse(16, 16, 6, 6, {40, 60, 120}, 0.0f);
  c.outline(OUTLINE);
  return c.image;
}

// Terrain icons: forest, swamp, mountains, waste, farm, sea, deep sea, cave.
TrsImage forest() {
  Canvas c;
  c.rect(9, 22, 10, 29, {90, 60, 35});
  c.triangle(10, 4, 24, 8, {40, 110, 50});
  c.rect(21, 22, 22, 29, {90, 60, 35});
  c.ellipse(21.5f, 15, 8, 9, {70, 140, 55}, 0.6f);
  c.outline(OUTLINE);
  return c.image;
}

TrsImage swamp() {
  Canvas c;
  c.ellipse(16, 25, 14, 5, {60, 90, 80}, 0.2f);
  for (int k = 0; k < 5; k++) c.thick(8.0f + float(k) * 4, 26, 7.0f + float(k) * 4.5f, 9.0f + float(k % 2) * 5, 1.5f, {110, 140, 60});
  c.ellipse(22, 9, 1.5f, 3.5f, {120, 80, 40}, 0.0f);
  c.outline(OUTLINE);
  return c.image;
}

TrsImage mountains() {
  Canvas c;
  c.triangle(12, 6, 28, 11, {130, 120, 110});
  c.triangle(22, 10, 28, 9, {110, 100, 95});
  c.triangle(12, 6, 11, 3, {245, 245, 250});
  c.outline(OUTLINE);
  return c.image;
}

TrsImage wasteland() {
  Canvas c;
  c.ellipse(16, 25, 14, 4.5f, {200, 165, 105}, 0.2f);
  c.thick(16, 27, 16, 10, 2, {120, 95, 70});
  c.thick(16, 18, 10, 12, 1.5f, {120, 95, 70});
  c.thick(16, 15, 22, 9, 1.5f, {120, 95, 70});
  c.line(6, 25, 11, 27, {150, 110, 70});
  c.line(20, 25, 26, 24, {150, 110, 70});
  c.outline(OUTLINE);
  return c.image;
}

TrsImage farmland() {
  Canvas c;
  for (int k = 0; k < 5; k++) {
    const float x = 8.0f + float(k) * 4;
    c.thick(16, 29, x, 10, 1.5f, {200, 170, 60});
    c.ellipse(x, 9, 2, 4, {235, 200, 80}, 0.2f);
  }
  c.rect(11, 20, 21, 22, {150, 110, 40});
  c.outline(OUTLINE);
  return c.image;
}

TrsImage waves(bool deep) {
  Canvas c;
  const Colour water = deep ? Colour{20, 40, 110} : Colour{50, 100, 190};
  c.ellipse(16, 17, 14, 11, water, 0.2f);
  for (int row = 0; row < 3; row++)
    for (int x = 5; x < 28; x++) {
      const float y = 11.0f + float(row) * 6 + 1.5f * sinf(float(x) * 0.8f);
      c.put(x, int(y), {200, 225, 255});
    }
  c.outline(OUTLINE);
  return c.image;
}

TrsImage cave() {
  Canvas c;
  c.ellipse(16, 20, 15, 12, {120, 110, 100}, 0.4f);
  c.ellipse(16, 23, 7, 8, {15, 12, 12}, 0.0f);
  c.rect(9, 27, 23, 31, {0, 0, 0, 0});
  c.outline(OUTLINE);
  return c.image;
}

std::vector<TrsImage> misc() {
  const std::vector<std::pair<int, std::function<TrsImage()>>> table = {
      {11, star},
      {13, swords},
      {14, temple},
      {15, fort},
      {109, enchantment},
      {138, [] { return ingot(false); }},
      {184, forest},
      {185, swamp},
      {186, mountains},
      {187, wasteland},
      {188, farmland},
      {189, [] { return waves(false); }},
      {190, [] { return waves(true); }},
      {191, [] { return candle(false); }},
      {194, [] { return candle(true); }},
      {224, coin},
      {225, [] { return ingot(true); }},
      {226, presence},
      {228, cave},
  };
  std::vector<TrsImage> out(229, empty());
  turnicons::addmisc(out);
  ordericons::addmisc(out);
  labicons::addmisc(out);
  boxicons::addmisc(out);
  nationicons::addmisc(out);
  for (const auto& [nr, draw] : table) out[size_t(nr)] = draw();
  return out;
}

// ------------------------------------------------------------- temples

// The temples of "temples.trs", by a nation's temple picture (attribute
// 138): 0 a plain shrine for a nation that names none, 1 the columned temple
// of the built-in nations. 64 x 64, the ground at the bottom.
TrsImage shrine() {
  Canvas c(64, 64);
  const Colour stone = {170, 160, 145};
  c.rect(10, 54, 53, 60, shaded(stone, 0.8f));
  c.rect(16, 28, 47, 53, stone);
  c.triangle(32, 12, 28, 22, shaded(stone, 1.05f));
  c.rect(27, 38, 36, 53, {45, 30, 20});
  c.ellipse(31.5f, 38, 4.5f, 4.5f, {45, 30, 20}, 0.0f);
  c.ellipse(31.5f, 47, 2.5f, 3.5f, {250, 190, 70}, 0.2f);   // the light within
  c.outline(OUTLINE);
  return c.image;
}

TrsImage columnedtemple() {
  Canvas c(64, 64);
  const Colour marble = {238, 232, 218}, gold = {230, 185, 60};
  c.rect(4, 56, 59, 61, shaded(marble, 0.8f));   // steps
  c.rect(7, 52, 56, 55, shaded(marble, 0.9f));
  for (int k = 0; k < 5; k++) {
    const int x = 9 + k * 10;
    c.rect(x, 26, x + 5, 51, shaded(marble, 0.95f));
    c.rect(x - 1, 24, x + 6, 26, marble);             // capital
  }
  c.rect(6, 20, 57, 23, marble);                       // architrave
  c.triangle(31.5f, 5, 19, 28, gold);                  // pediment
  c.ellipse(31.5f, 15, 3, 3, {255, 245, 200}, 0.2f);   // the god's sign
  c.ellipse(31.5f, 46, 3, 5, {250, 150, 40}, 0.3f);    // altar flame
  c.rect(28, 49, 35, 51, shaded(marble, 0.7f));
  c.outline(OUTLINE);
  return c.image;
}

std::vector<TrsImage> temples() { return {shrine(), columnedtemple()}; }

// ---------------------------------------------------------------- arrows

// A movement arrow, 128 x 32, pointing right: the shaft runs the first 80 %
// of the picture, the head the rest.
TrsImage arrow(Colour colour, float shaft, bool dashed) {
  Canvas c(128, 32);
  for (int x = 0; x < 103; x++) {
    if (dashed && (x / 10) % 2 == 1) continue;
    for (int y = int(16 - shaft / 2); y < int(16 + shaft / 2); y++)
      c.set(x, y, shaded(colour, 1.1f - 0.3f * std::fabs(float(y) + 0.5f - 16) / shaft));
  }
  for (int x = 102; x < 127; x++) {
    const float half = 15.0f * (1.0f - float(x - 102) / 25.0f);
    for (int y = int(16 - half); y < int(16 + half); y++) c.set(x, y, colour);
  }
  c.outline(OUTLINE);
  return c.image;
}

std::vector<TrsImage> misc2() {
  std::vector<TrsImage> out(31, empty());
  out[15] = arrow({220, 50, 30}, 9, false);     // move
  out[28] = arrow({120, 80, 170}, 9, true);     // sneak
  out[29] = arrow({250, 250, 245}, 10, false);  // neighbour line
  out[30] = arrow({255, 210, 60}, 10, false);   // ordered on this screen
  turnicons::addmisc2(out);
  boxicons::addmisc2(out);
  return out;
}

// ------------------------------------------------------------ background

// Dark slate ground with soft patches: made of waves whose periods divide
// 512, so the picture repeats without a seam.
bool background(const char* folder) {
  constexpr int32_t SIDE = 512;
  std::vector<uint8_t> px(size_t(SIDE) * SIDE * 4);
  for (int32_t y = 0; y < SIDE; y++)
    for (int32_t x = 0; x < SIDE; x++) {
      const float u = float(x) * 2 * PI / SIDE, v = float(y) * 2 * PI / SIDE;
      float n = 0.5f * sinf(u * 2 + 1.3f) * sinf(v * 3 + 0.4f) + 0.3f * sinf(u * 5 + v * 4) +
                0.2f * sinf(u * 11 - v * 7 + 2.0f) + 0.12f * sinf(u * 23 + v * 19);
      const uint32_t h = (uint32_t(x) * 374761393u + uint32_t(y) * 668265263u) ^ 0x5bd1e995u;
      n += float((h >> 13) & 15) / 150.0f;
      uint8_t* p = &px[(size_t(y) * SIDE + size_t(x)) * 4];
      p[0] = uint8_t(std::clamp(34 + n * 14, 0.0f, 255.0f));
      p[1] = uint8_t(std::clamp(42 + n * 16, 0.0f, 255.0f));
      p[2] = uint8_t(std::clamp(58 + n * 20, 0.0f, 255.0f));
      p[3] = 255;
    }
  char path[PATHLEN];
  formatbounded(path, PATHLEN, "%s/mapbg.tga", folder);
  return savetga(px.data(), SIDE, SIDE, path) != 0;
}

int write(const char* folder, int32_t file, const std::vector<TrsImage>& images) {
  char path[PATHLEN];
  formatbounded(path, PATHLEN, "%s/%s", folder, trsfilename(file));
  if (savetrsfile(path, images)) return 0;
  fprintf(stderr, "art_mapart: can't write %s\n", path);
  return 1;
}
}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    fprintf(stderr, "usage: art_mapart DATAFOLDER\n");
    return 2;
  }
  int failed = write(argv[1], TRS_FLAGS, flags()) | write(argv[1], TRS_MISC, misc()) |
               write(argv[1], TRS_MISC2, misc2()) | write(argv[1], TRS_TEMPLES, temples());
  if (!background(argv[1])) {
    fprintf(stderr, "art_mapart: can't write %s/mapbg.tga\n", argv[1]);
    failed = 1;
  }
  return failed;
}
