// Sprite sizes and textures by archive and number.
#include "gfx/sprites.h"

#include <GL/gl.h>

#include <algorithm>
#include <cstring>
#include <unordered_map>
#include <vector>

#include "gfx/gfx.h"
#include "gfx/texture.h"
#include "runtime/trs.h"
#include "runtime/fatal.h"
#include "runtime/util.h"

namespace {
struct spriteinfo {
  int32_t width, height;
  spritetex where;
  bool made;
  bool found;   // false: a place holder of 1 x 1 for a failed lookup
};
std::unordered_map<int64_t, spriteinfo> sprites;
std::array<bool, TRSFILES> warned = {};
// Archives whose small sprites were put on pages, and every texture made.
std::array<bool, TRSFILES> paged = {};
std::vector<uint32_t> textures;
constexpr int32_t PAGE = 1024, SMALL = 128, GAP = 2;

int64_t key(int32_t file, int32_t nr) { return (int64_t(file) << 32) | uint32_t(nr); }

const spriteinfo& fetched(int32_t file, int32_t nr, const char* tag) {
  auto it = sprites.find(key(file, nr));
  bailif_fmt(it == sprites.end(), "%s: unfetched spr", tag);
  return it->second;
}

void forgettextures() {
  for (auto& [k, s] : sprites) {
    s.where = {};
    s.made = false;
  }
  paged = {};
  textures.clear();
}

// The sprite's first frame with its rows bottom first.
std::vector<uint8_t> upright(const TrsSprite& s) {
  std::vector<uint8_t> pixels(size_t(s.width) * size_t(s.height) * 4);
  for (int32_t y = 0; y < s.height; y++)
    memcpy(&pixels[size_t(s.height - 1 - y) * size_t(s.width) * 4], s.pixels + size_t(y) * size_t(s.width) * 4,
           size_t(s.width) * 4);
  return pixels;
}

// Puts the small sprites of an archive on pages, shelf by shelf.
void makepages(int32_t file) {
  paged[size_t(file)] = true;
  const uint8_t* data = trsfiledata(file);
  if (!data) return;
  const int32_t count = trscount(data);
  std::vector<uint8_t> page(size_t(PAGE) * PAGE * 4, 0);
  std::vector<int64_t> onpage;   // sprites waiting for the page's texture
  int32_t x = 0, y = 0, shelf = 0;
  auto finish = [&]() {
    if (onpage.empty()) return;
    uint32_t tex = RGBA2Tex(PAGE, PAGE, page.data(), 1, 0);
    textures.push_back(tex);
    for (int64_t k : onpage) sprites[k].where.texture = tex;
    onpage.clear();
    std::fill(page.begin(), page.end(), 0);
    x = y = shelf = 0;
  };
  for (int32_t nr = 0; nr < count; nr++) {
    TrsSprite s = trssprite(data, nr);
    if (s.width <= 0 || s.width > SMALL || s.height > SMALL) continue;
    if (x + s.width > PAGE) {
      x = 0;
      y += shelf + GAP;
      shelf = 0;
    }
    if (y + s.height > PAGE) finish();
    std::vector<uint8_t> pixels = upright(s);
    for (int32_t row = 0; row < s.height; row++)
      memcpy(&page[(size_t(y + row) * PAGE + size_t(x)) * 4], &pixels[size_t(row) * size_t(s.width) * 4],
             size_t(s.width) * 4);
    int64_t k = key(file, nr);
    spriteinfo& info = sprites[k];
    info.width = s.width;
    info.height = s.height;
    info.where = {0, float(x) / PAGE, float(y) / PAGE, float(s.width) / PAGE, float(s.height) / PAGE, {}};
    // Neighbours on the page mix into the shrunken levels: no level is
    // kept apart.
    info.where.ink = inkof(pixels.data(), s.width, s.height, x, y, PAGE, PAGE, 0);
    info.made = true;
    info.found = true;
    onpage.push_back(k);
    x += s.width + GAP;
    shelf = imax(shelf, s.height);
  }
  finish();
}
}  // namespace

inkbox inkof(const uint8_t* pixels, int32_t w, int32_t h, int32_t x, int32_t y, int32_t tw, int32_t th,
             int32_t levels) {
  int32_t x0 = w, y0 = h, x1 = -1, y1 = -1;
  for (int32_t row = 0; row < h; row++)
    for (int32_t col = 0; col < w; col++)
      if (pixels[(size_t(row) * size_t(w) + size_t(col)) * 4 + 3]) {
        x0 = imin(x0, col), x1 = imax(x1, col);
        y0 = imin(y0, row), y1 = imax(y1, row);
      }
  inkbox ink;
  ink.u0 = float(x + x0) / float(tw), ink.u1 = float(x + x1 + 1) / float(tw);
  ink.v0 = float(y + y0) / float(th), ink.v1 = float(y + y1 + 1) / float(th);
  ink.texw = tw, ink.texh = th;
  ink.levels = levels;
  return ink;
}

int32_t fetchsprite(int32_t file, int32_t nr, int32_t mode) {
  // A failed lookup is remembered as failed: the disk is not asked again.
  if (auto it = sprites.find(key(file, nr)); it != sprites.end()) return it->second.found ? 1 : 0;
  static bool hooked = false;
  if (!hooked) addglreloadhook(forgettextures);
  hooked = true;
  spriteinfo info = {1, 1, {}, false, false};
  bool known = file >= 0 && file < TRSFILES && loadtrsfile(file);
  const uint8_t* data = known ? trsfiledata(file) : nullptr;
  TrsSprite s = data ? trssprite(data, nr) : TrsSprite{};
  if (s.width > 0) {
    info.width = s.width;
    info.height = s.height;
    info.found = true;
  } else if (file >= 0 && file < TRSFILES && !warned[size_t(file)]) {
    warned[size_t(file)] = true;
    printf("Sprite %d of %s: %s\n", nr, trsfilename(file) ? trsfilename(file) : "?",
           data ? "no such sprite" : "archive missing or damaged");
  }
  (void)mode;
  sprites[key(file, nr)] = info;
  return s.width > 0 ? 1 : 0;
}

int32_t spritewidth(int32_t file, int32_t nr) { return fetched(file, nr, "spritewidth").width; }
int32_t spriteheight(int32_t file, int32_t nr) { return fetched(file, nr, "spriteheight").height; }

spritetex spritetexture(int32_t file, int32_t nr) {
  auto it = sprites.find(key(file, nr));
  if (it == sprites.end() || !windowopen() || file < 0 || file >= TRSFILES) return {};
  if (!it->second.made && !paged[size_t(file)] && loadtrsfile(file)) {
    makepages(file);
    it = sprites.find(key(file, nr));
  }
  spriteinfo& info = it->second;
  if (info.made) return info.where;
  info.made = true;
  if (!loadtrsfile(file)) return {};
  TrsSprite s = trssprite(trsfiledata(file), nr);
  if (s.width <= 0) return {};
  // Large sprites have a texture of their own.
  std::vector<uint8_t> pixels = upright(s);
  info.where = {RGBA2Tex(s.width, s.height, pixels.data(), 1, 0), 0, 0, 1, 1, {}};
  textures.push_back(info.where.texture);
  return info.where;
}

void clearsprites() {
  if (windowopen())
    for (uint32_t t : textures) deletetexture(t);
  textures.clear();
  sprites.clear();
  warned = {};
  paged = {};
}
