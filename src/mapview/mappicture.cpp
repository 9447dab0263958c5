// The map picture: cut into textures of at most 1024 pixels a side, drawn
// over a rectangle with a simple camera for the map scenes.
#include <GL/gl.h>

#include <cmath>
#include <cstring>
#include <vector>

#include "gfx/gfx.h"
#include "gfx/gui.h"
#include "gfx/guidraw.h"
#include "gfx/texture.h"
#include "mapview/mapview.h"
#include "runtime/alloc.h"
#include "runtime/image.h"
#include "runtime/util.h"

namespace {
constexpr int32_t TILE = 1024;
struct tile {
  uint32_t texture;
  int32_t x, y, w, h;   // pixels of the picture it covers (rows bottom first)
};
std::vector<tile> tiles;
int32_t picturew = 0, pictureh = 0;
// The camera of the map scenes: the picture's point at the screen's centre
// and the zoom over the picture fitted to the screen.
float camx = 0.5f, camy = 0.5f, zoom = 1.0f;

// Draws the picture so that (cx, cy) (shares of its width and height) lies
// at the rectangle's centre, `scale` units a picture pixel, clipped to it.
void drawpicture(float x, float y, float w, float h, float cx, float cy, float scale) {
  float left = x + w * 0.5f - cx * float(picturew) * scale;
  float bottom = y + h * 0.5f - cy * float(pictureh) * scale;
  glColor4f(1, 1, 1, 1);
  for (const tile& t : tiles) {
    bindtexture(t.texture, 0);
    drawguitexquadclipped(left + float(t.x) * scale, bottom + float(t.y) * scale, float(t.w) * scale,
                          float(t.h) * scale, 0, 0, 1, 1, x, y, w, h);
  }
  resettexstate();
}

float fitscale() {
  if (picturew <= 0 || pictureh <= 0) return 1;
  return fmaxf(GUIWIDTH / float(picturew), GUIHEIGHT / float(pictureh));
}

void mapscenedraw(int32_t stripe) {
  if (tiles.empty()) return;
  guiprojection();
  drawpicture(0, 0, GUIWIDTH, GUIHEIGHT, camx, camy, fitscale() * zoom);
  (void)stripe;
}

void mapkeys() {
  const float step = 0.01f / zoom;
  if (keydown[KEY_LEFT]) camx -= step;
  if (keydown[KEY_RIGHT]) camx += step;
  if (keydown[KEY_UP]) camy += step;
  if (keydown[KEY_DOWN]) camy -= step;
  camx = fminf(fmaxf(camx, 0), 1);
  camy = fminf(fmaxf(camy, 0), 1);
}

void mapwheel(int32_t elapsed) {
  if (elapsed < 0) {
    wheelcount = 0;
    return;
  }
  if (wheelcount) zoom = fminf(fmaxf(zoom * powf(1.25f, float(wheelcount)), 1.0f), 8.0f);
  wheelcount = 0;
}
}  // namespace

void freemappicture() {
  for (const tile& t : tiles) deletetexture(t.texture);
  tiles.clear();
  picturew = pictureh = 0;
}

int loadmappicture(const char* path) {
  freemappicture();
  camx = camy = 0.5f;
  zoom = 1;
  int32_t w = 0, h = 0;
  uint8_t* pixels = path ? loadimage(path, &w, &h, 0) : nullptr;
  if (!pixels) {
    printf("Map picture %s: missing or damaged\n", path ? path : "");
    return 0;
  }
  picturew = w;
  pictureh = h;
  if (!windowopen()) {
    myfree(pixels);
    return 1;
  }
  // Very large maps are shown at half size (or less); the tiles stay in
  // the picture's own proportion.
  int32_t shown = 1;
  while ((w > 4 * TILE || h > 4 * TILE) && w > 1 && h > 1) {
    halveimage32inplace(pixels, w, h);
    w /= 2;
    h /= 2;
    shown *= 2;
  }
  std::vector<uint8_t> part(size_t(TILE) * TILE * 4);
  for (int32_t ty = 0; ty < h; ty += TILE)
    for (int32_t tx = 0; tx < w; tx += TILE) {
      int32_t tw = imin(TILE, w - tx), th = imin(TILE, h - ty);
      for (int32_t row = 0; row < th; row++)
        memcpy(&part[size_t(row) * size_t(tw) * 4], pixels + (int64_t(ty + row) * w + tx) * 4, size_t(tw) * 4);
      tiles.push_back({RGBA2Tex(tw, th, part.data(), 0, 0), tx * shown, ty * shown, tw * shown, th * shown});
    }
  myfree(pixels);
  return 1;
}

int32_t mappicturewidth() { return picturew; }
int32_t mappictureheight() { return pictureh; }

void drawmappreview(int32_t value, float x, float y, float w, float h) {
  if (tiles.empty()) return;
  guiprojection();
  float scale = fmaxf(h / float(pictureh), w / float(picturew));
  drawpicture(x, y, w, h, 0.5f, 0.5f, scale);
  (void)value;
}

void installmapscreenhooks() { setmaphooks(mapkeys, mapwheel, mapscenedraw); }
