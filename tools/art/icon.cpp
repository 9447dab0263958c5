// Writes the window icon "horror_32x32.bmp": a 32x32 picture of a horned,
// glowing-eyed face on a dark disc, drawn procedurally as a 24-bit BMP.
#include <cmath>
#include <cstdio>

#include "runtime/binio.h"
#include "runtime/util.h"

namespace {
constexpr int32_t SIDE = 32;

// Colour of the pixel at (x, y), y counted from the top.
void pixel(int32_t x, int32_t y, uint8_t rgb[3]) {
  double cx = x - 15.5, cy = y - 17.0;
  double r = sqrt(cx * cx + cy * cy);
  double red = 20, green = 12, blue = 30;   // backdrop
  if (r < 14.5) {                           // the face
    double shade = 1.0 - r / 20.0;
    red = 150 * shade + 40;
    green = 40 * shade + 10;
    blue = 35 * shade + 10;
  }
  // Horns: two curved bands rising from the upper corners of the face.
  for (int32_t side = -1; side <= 1; side += 2) {
    double hx = cx * side - 9.0, hy = cy + 11.0;
    if (hx > -3 && hy < 4 && fabs(hy + 0.06 * hx * hx + 0.4 * hx) < 2.2 && hx < 7) {
      red = 225;
      green = 210;
      blue = 170;
    }
  }
  // Eyes glow yellow, the mouth is a dark gash.
  for (int32_t side = -1; side <= 1; side += 2) {
    double ex = cx - 5.0 * side, ey = cy + 3.0;
    if (ex * ex / 6.0 + ey * ey / 1.5 < 1.0) {
      red = 255;
      green = 230;
      blue = 60;
    }
  }
  if (fabs(cy - 6.0 - 0.05 * cx * cx) < 1.0 && fabs(cx) < 7) red = green = blue = 15;
  rgb[0] = uint8_t(red);
  rgb[1] = uint8_t(green);
  rgb[2] = uint8_t(blue);
}
}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    fprintf(stderr, "usage: art_icon <data folder>\n");
    return 1;
  }
  char path[PATHLEN];
  formatbounded(path, PATHLEN, "%s/horror_32x32.bmp", argv[1]);
  SafeWrite out(path);
  if (!out.ok()) return 1;
  FILE* f = out.stream();
  const int32_t rowbytes = SIDE * 3, pixelbytes = rowbytes * SIDE;   // 96-byte rows need no padding
  fwrite("BM", 1, 2, f);
  putint(14 + 40 + pixelbytes, f);   // file size
  putint(0, f);                      // reserved
  putint(14 + 40, f);                // offset of the pixels
  putint(40, f);                     // info header size
  putint(SIDE, f);
  putint(SIDE, f);                   // positive height: rows stored bottom-up
  putshort(1, f);                    // planes
  putshort(24, f);                   // bits per pixel
  putint(0, f);                      // no compression
  putint(pixelbytes, f);
  putint(2835, f);                   // 72 dots per inch
  putint(2835, f);
  putint(0, f);
  putint(0, f);
  for (int32_t y = SIDE - 1; y >= 0; y--)
    for (int32_t x = 0; x < SIDE; x++) {
      uint8_t rgb[3];
      pixel(x, y, rgb);
      const uint8_t bgr[3] = {rgb[2], rgb[1], rgb[0]};
      fwrite(bgr, 1, 3, f);
    }
  return out.commit() ? 0 : 1;
}
