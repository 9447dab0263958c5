// Build-time generator of the bitmap font: renders codes 0..255 (Latin-1) of
// a free system font through FreeType into "font.tga" (16 x 16 cells, white
// glyphs with a soft dark rim so text reads on any background, and a white
// block in the cell of code 0 for plain boxes) and writes
// their advance widths into "font.fnt" (layout in src/gfx/font.h).
// Each glyph keeps to a square in the middle of its cell with an empty
// margin around it, so that small text, drawn from the shrunken picture,
// takes nothing from the neighbouring glyphs.
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_OUTLINE_H

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

#include "gfx/font.h"
#include "runtime/image.h"
#include "runtime/util.h"

namespace {
constexpr int32_t STRIDE = 64;                     // a cell of the picture
constexpr int32_t CELL = 56;                       // the square drawn of it
constexpr int32_t MARGIN = (STRIDE - CELL) / 2;    // empty round the square
constexpr int32_t PAD = 7;
constexpr int32_t BASELINE = 12;
constexpr int32_t PIXELSIZE = 40;
constexpr int32_t SIDE = STRIDE * FONTCELLS;
constexpr int32_t RIM = 3;   // reach of the dark rim in pixels

const char* const candidates[] = {
    "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf",
    "/usr/share/fonts/TTF/DejaVuSans.ttf",
    "/usr/share/fonts/dejavu/DejaVuSans.ttf",
};

const char* findfont() {
  for (const char* path : candidates)
    if (fileexists("%s", path)) return path;
  return nullptr;
}
}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    fprintf(stderr, "usage: art_font DATAFOLDER\n");
    return 2;
  }
  const char* source = findfont();
  if (!source) {
    fprintf(stderr, "art_font: no DejaVuSans.ttf found (package fonts-dejavu-core)\n");
    return 1;
  }
  FT_Library library;
  FT_Face face;
  if (FT_Init_FreeType(&library) || FT_New_Face(library, source, 0, &face) ||
      FT_Set_Pixel_Sizes(face, 0, PIXELSIZE)) {
    fprintf(stderr, "art_font: FreeType cannot read %s\n", source);
    return 1;
  }
  // Coverage of every glyph, rows bottom first like the picture.
  std::vector<float> cover(size_t(SIDE) * SIDE, 0.0f);
  fontmetrics metrics;
  metrics.cell = CELL;
  metrics.pad = PAD;
  metrics.baseline = BASELINE;
  for (int32_t code = 0; code < 256; code++) {
    if (!glyphdrawn(uint8_t(code))) {
      metrics.advance[size_t(code)] = code == ' ' || code == 0xA0 || code == 0xA4 ? 0.25f : 0.0f;
      continue;
    }
    if (FT_Load_Char(face, FT_ULong(code), FT_LOAD_DEFAULT)) continue;
    FT_GlyphSlot g = face->glyph;
    // Stems half a pixel heavier: the glyphs keep their weight when the
    // picture is shrunk for small text.
    if (g->format == FT_GLYPH_FORMAT_OUTLINE) FT_Outline_Embolden(&g->outline, 32);
    if (FT_Render_Glyph(g, FT_RENDER_MODE_NORMAL)) continue;
    metrics.advance[size_t(code)] = float(g->advance.x) / 64.0f / float(CELL);
    const int32_t cx = (code % FONTCELLS) * STRIDE + MARGIN, cy = (FONTCELLS - 1 - code / FONTCELLS) * STRIDE + MARGIN;
    for (int32_t row = 0; row < int32_t(g->bitmap.rows); row++)
      for (int32_t col = 0; col < int32_t(g->bitmap.width); col++) {
        int32_t x = PAD + g->bitmap_left + col;
        int32_t y = BASELINE + g->bitmap_top - 1 - row;   // upward from the cell's bottom
        if (x < RIM || y < RIM || x >= CELL - RIM || y >= CELL - RIM) continue;
        cover[size_t(cy + y) * SIDE + size_t(cx + x)] = float(g->bitmap.buffer[row * g->bitmap.pitch + col]) / 255.0f;
      }
  }
  FT_Done_Face(face);
  FT_Done_FreeType(library);
  // Code 0 draws nothing; its cell holds a solid white block, so that plain
  // boxes are drawn from the font's texture and need no change of texture.
  for (int32_t y = MARGIN; y < STRIDE - MARGIN; y++)
    for (int32_t x = MARGIN; x < STRIDE - MARGIN; x++) cover[size_t((FONTCELLS - 1) * STRIDE + y) * SIDE + size_t(x)] = 1.0f;

  // White glyph over a dark rim that fades out within RIM pixels.
  std::vector<uint8_t> pixels(size_t(SIDE) * SIDE * 4, 0);
  for (int32_t y = 0; y < SIDE; y++)
    for (int32_t x = 0; x < SIDE; x++) {
      float core = cover[size_t(y) * SIDE + size_t(x)], rim = 0.0f;
      for (int32_t dy = -RIM; dy <= RIM; dy++)
        for (int32_t dx = -RIM; dx <= RIM; dx++) {
          int32_t sx = x + dx, sy = y + dy;
          if (sx < 0 || sy < 0 || sx >= SIDE || sy >= SIDE) continue;
          float reach = 1.0f - std::sqrt(float(dx * dx + dy * dy)) / float(RIM + 1);
          if (reach > 0) rim = std::max(rim, cover[size_t(sy) * SIDE + size_t(sx)] * reach);
        }
      float alpha = core + (1.0f - core) * rim * 0.7f;
      uint8_t* p = &pixels[(size_t(y) * SIDE + size_t(x)) * 4];
      uint8_t white = uint8_t(alpha > 0 ? std::lround(255.0f * core / alpha) : 255);
      p[0] = p[1] = p[2] = white;
      p[3] = uint8_t(std::lround(255.0f * std::min(alpha, 1.0f)));
    }

  char path[PATHLEN];
  formatbounded(path, PATHLEN, "%s/font.tga", argv[1]);
  if (!savetga(pixels.data(), SIDE, SIDE, path)) {
    fprintf(stderr, "art_font: can't write %s\n", path);
    return 1;
  }
  formatbounded(path, PATHLEN, "%s/font.fnt", argv[1]);
  std::vector<uint8_t> bytes = encodefontmetrics(metrics);
  SafeWrite out(path);
  if (!out.ok() || fwrite(bytes.data(), 1, bytes.size(), out.stream()) != bytes.size() || !out.commit()) {
    fprintf(stderr, "art_font: can't write %s\n", path);
    return 1;
  }
  return 0;
}
