// Sprite sizes and textures by archive and number.
#include "gfx/sprites.h"

#include <GL/gl.h>

#include <cstring>
#include <unordered_map>

#include "gfx/gfx.h"
#include "gfx/texture.h"
#include "runtime/trs.h"
#include "runtime/fatal.h"
#include "runtime/util.h"

namespace {
struct spriteinfo {
  int32_t width, height;
  uint32_t texture;
  bool made;
};
std::unordered_map<int64_t, spriteinfo> sprites;
std::array<bool, TRSFILES> warned = {};

int64_t key(int32_t file, int32_t nr) { return (int64_t(file) << 32) | uint32_t(nr); }

const spriteinfo& fetched(int32_t file, int32_t nr, const char* tag) {
  auto it = sprites.find(key(file, nr));
  bailif_fmt(it == sprites.end(), "%s: unfetched spr", tag);
  return it->second;
}

void forgettextures() {
  for (auto& [k, s] : sprites) {
    s.texture = 0;
    s.made = false;
  }
}
}  // namespace

int32_t fetchsprite(int32_t file, int32_t nr, int32_t mode) {
  if (sprites.count(key(file, nr))) return sprites[key(file, nr)].width > 0 ? 1 : 0;
  static bool hooked = false;
  if (!hooked) addglreloadhook(forgettextures);
  hooked = true;
  spriteinfo info = {1, 1, 0, false};
  bool known = file >= 0 && file < TRSFILES && loadtrsfile(file);
  const uint8_t* data = known ? trsfiledata(file) : nullptr;
  TrsSprite s = data ? trssprite(data, nr) : TrsSprite{};
  if (s.width > 0) {
    info.width = s.width;
    info.height = s.height;
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

uint32_t spritetexture(int32_t file, int32_t nr) {
  auto it = sprites.find(key(file, nr));
  if (it == sprites.end() || !windowopen()) return 0;
  spriteinfo& info = it->second;
  if (info.made) return info.texture;
  info.made = true;
  if (!loadtrsfile(file)) return 0;
  TrsSprite s = trssprite(trsfiledata(file), nr);
  if (s.width <= 0) return 0;
  // The archive keeps rows top first; textures take them bottom first.
  std::vector<uint8_t> pixels(size_t(s.width) * size_t(s.height) * 4);
  for (int32_t y = 0; y < s.height; y++)
    memcpy(&pixels[size_t(s.height - 1 - y) * size_t(s.width) * 4], s.pixels + size_t(y) * size_t(s.width) * 4,
           size_t(s.width) * 4);
  info.texture = RGBA2Tex(s.width, s.height, pixels.data(), 1, 0);
  return info.texture;
}

void clearsprites() {
  if (windowopen())
    for (auto& [k, s] : sprites)
      if (s.texture) deletetexture(s.texture);
  sprites.clear();
  warned = {};
}
