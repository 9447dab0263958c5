// Cutting the map image into tile textures, and planning where the tiles
// and the background go on screen.
#include "mapview/maptiles.h"

#include <cmath>
#include <cstring>

#include "runtime/fatal.h"
#include "runtime/image.h"

MapTextureSet maptex = {{}, {}, 0, 0, MAPTILE, MAPTILE};
int32_t mapistransparent = 0;

namespace {
constexpr int32_t EDGE = 8;   // pixels of edge extension beyond a partial tile

// Copies the tile at pixel (x, y) into the buffer (stride 512), extends its
// right and top edges, and paints the white markers over with the carried
// colour.
void filltile(uint8_t* buffer, const uint8_t* pixels, int32_t width, int32_t x, int32_t y, int32_t w, int32_t h,
              uint8_t carried[3]) {
  const size_t stride = size_t(MAPTILE) * 4;
  for (int32_t r = 0; r < h; r++)
    memcpy(buffer + size_t(r) * stride, pixels + (int64_t(y + r) * width + x) * 4, size_t(w) * 4);
  if (w < MAPTILE)
    for (int32_t r = 0; r < h; r++) {
      uint8_t* row = buffer + size_t(r) * stride;
      for (int32_t k = w; k < w + EDGE && k < MAPTILE; k++) memcpy(row + size_t(k) * 4, row + size_t(w - 1) * 4, 4);
    }
  if (h < MAPTILE)
    for (int32_t r = h; r < h + EDGE && r < MAPTILE; r++)
      memcpy(buffer + size_t(r) * stride, buffer + size_t(h - 1) * stride, stride);
  // The markers are single pure white pixels; the colour beside them hides them.
  for (int32_t r = 0; r < h; r++) {
    uint8_t* p = buffer + size_t(r) * stride;
    for (int32_t k = 0; k < w; k++, p += 4) {
      if (p[0] == 255 && p[1] == 255 && p[2] == 255) {
        p[0] = carried[0], p[1] = carried[1], p[2] = carried[2];
      } else {
        carried[0] = p[0], carried[1] = p[1], carried[2] = p[2];
      }
    }
  }
}
}  // namespace

void cutmapimage(const uint8_t* pixels, int32_t width, int32_t height, int32_t fastgrx, const MapTexMaker& make) {
  // One work buffer for every tile, filled once: what a partial tile does
  // not cover keeps the fill or an earlier tile's pixels.
  std::vector<uint8_t> buffer(size_t(MAPTILE) * MAPTILE * 4, 128);
  uint8_t carried[3] = {0, 0, 0};
  for (int32_t y = 0; y < height; y += MAPTILE) {
    int32_t h = 0;
    for (int32_t x = 0; x < width; x += MAPTILE) {
      bailif(y > 16383, "cmt: map too high");
      bailif(x >= 16384, "cmt: map too wide");
      const int32_t column = x / MAPTILE, row = y / MAPTILE;
      const int32_t w = width - x < MAPTILE ? width - x : MAPTILE;
      h = height - y < MAPTILE ? height - y : MAPTILE;
      debugprint2("Map Texture %d %d (%dx%d)\n", column, row, w, h);
      filltile(buffer.data(), pixels, width, x, y, w, h, carried);
      int32_t alpha = 0;
      if (fastgrx == 0) {
        const int32_t least = minalpha32(buffer.data(), MAPTILE, MAPTILE);
        if (least < 245) {
          debugprint("Bigmap is transparent (minalpha %d)\n", least);
          mapistransparent = 1;
          alpha = 1;
        }
      }
      for (int32_t level = 0; level < MAPTEXLEVELS; level++) {
        const int32_t side = MAPTILE >> level;
        if (level > 0) halveimage32inplace(buffer.data(), side * 2, side * 2);
        const uint32_t name = make({column, row, level, side, buffer.data(), alpha});
        bailif(name == 0, "cmt: failed to chop up txtr");
        maptex.names[size_t(column)][size_t(row)][size_t(level)] = name;
      }
      maptex.lastcolumnwidth = w;
    }
    maptex.lastrowheight = h;
  }
}

int32_t maptexlevel(float side) {
  int32_t level = 0;
  for (float limit = 256.0f; side < limit && level < MAPTEXLEVELS - 1; limit *= 0.5f) level++;
  return level;
}

void planbigmap(MapDrawPlan& plan, int wrap, float camx, float camy, float zoom, MapRect clip, float brightness,
                float alpha, float inset) {
  const MapRect vp = mapviewport;
  plan.tiles.clear();
  plan.bands.clear();
  // The clip rectangle never reaches beyond the viewport.
  clip.x = fmaxf(clip.x, vp.x);
  clip.w = fminf(clip.w, vp.w);
  clip.y = fmaxf(clip.y, vp.y);
  if (clip.y + clip.h > vp.y + vp.h) clip.h = vp.y + vp.h - clip.y;
  plan.clip = clip;
  plan.clipped = clip.w < 800 || clip.h < 600;
  const float cx = vp.x + vp.w * 0.5f, cy = vp.y + vp.h * 0.5f;
  const int transparent = mapistransparent != 0;
  plan.underlay = transparent && vp.x <= 0;
  const float side = float(MAPTILE) * zoom;
  plan.level = maptexlevel(side);
  plan.blend = 5;
  if (alpha == 1.0f && brightness == 1.0f) plan.blend = transparent ? 2 : 0;
  plan.colour[0] = plan.colour[1] = plan.colour[2] = brightness;
  plan.colour[3] = alpha;

  const int32_t columns = (maptex.width + MAPTILE - 1) / MAPTILE, rows = (maptex.height + MAPTILE - 1) / MAPTILE;
  const int32_t copies = wrap ? 5 : 0;
  const float copyw = zoom * float(mapwidth()), copyh = zoom * float(mapheight());
  // The drawn extent, kept in whole units as the bands are placed by it.
  int32_t minx = int32_t(vp.x + vp.w), maxx = int32_t(vp.x), miny = int32_t(vp.y + vp.h), maxy = int32_t(vp.y);
  for (int32_t r = rows - 1; r >= 0; r--)
    for (int32_t c = columns - 1; c >= 0; c--) {
      float tw = side, th = side, du = 1, dv = 1;
      if (maptex.width / MAPTILE == c) {
        tw = zoom * float(maptex.lastcolumnwidth);
        du = float(maptex.lastcolumnwidth) / float(MAPTILE);
      }
      if (maptex.height / MAPTILE == r) {
        th = zoom * float(maptex.lastrowheight);
        dv = float(maptex.lastrowheight) / float(MAPTILE);
      }
      for (int32_t i = -copies; i <= copies; i++)
        for (int32_t j = -copies; j <= copies; j++) {
          const float x = (float(MAPTILE * c) - camx) * zoom + cx + float(i) * copyw;
          const float y = (float(MAPTILE * r) - camy) * zoom + cy + float(j) * copyh;
          if (!(x + tw > vp.x && y + th > vp.y && x < vp.x + vp.w && y < vp.y + vp.h)) continue;
          plan.tiles.push_back({int16_t(c), int16_t(r), x, y, tw, th, inset, inset, du - 2 * inset, dv - 2 * inset});
          // Rounded down: beside a window wider than the screen the map's
          // edge lies at a negative x, where cutting toward 0 would lay a
          // band over its first unit.
          if (x < float(minx)) minx = int32_t(floorf(x));
          if (x + tw > float(maxx)) maxx = int32_t(floorf(x + tw));
          if (y < float(miny)) miny = int32_t(floorf(y));
          if (y + th > float(maxy)) maxy = int32_t(floorf(y + th));
        }
    }
  if (wrap || transparent) return;
  const float left = fmaxf(float(minx), vp.x), right = fminf(float(maxx), vp.x + vp.w);
  auto band = [&](float x, float y, float w, float h) {
    if (w > 0 && h > 0) plan.bands.push_back({x, y, w, h});
  };
  if (float(miny) > vp.y) band(left, vp.y, right - left, fminf(float(miny) + 1 - vp.y, vp.h));
  if (float(maxy) < vp.y + vp.h) band(left, float(maxy), right - left, vp.y + vp.h + 1 - float(maxy));
  if (left > vp.x) band(vp.x, vp.y, left + 1 - vp.x, vp.h);
  if (right < vp.x + vp.w) band(right, vp.y, vp.x + vp.w - right, vp.h);
}
