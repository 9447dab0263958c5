// Reading and writing image files. Every size, offset and run length in a
// file is checked before it is used: images come from other players' maps.
#include "runtime/image.h"

#include <cstring>
#include <vector>

#include "runtime/alloc.h"
#include "runtime/binio.h"
#include "runtime/fatal.h"
#include "runtime/util.h"

namespace {
constexpr int32_t SGIMAGIC = 474;
constexpr int32_t SGIHEADER = 512;
constexpr int32_t TGAHEADER = 18;

bool sizeok(int64_t width, int64_t height) {
  return width >= 1 && height >= 1 && width <= MAXIMAGESIDE && height <= MAXIMAGESIDE &&
         width * height * 4 <= MAXIMAGEBYTES;
}

uint8_t* newblock(int32_t width, int32_t height) {
  return static_cast<uint8_t*>(mymalloc(int32_t(int64_t(width) * height * 4)));
}

// Stores one file pixel (BGR, BGRA or grey) as RGBA.
inline void tgapixel(uint8_t* out, const uint8_t* in, int32_t bytes) {
  if (bytes == 1) {
    out[0] = out[1] = out[2] = in[0];
    out[3] = 255;
  } else {
    out[0] = in[2];
    out[1] = in[1];
    out[2] = in[0];
    out[3] = bytes == 4 ? in[3] : 255;
  }
}

// TGA: plain or run-length true colour (24/32 bits) or grey (8 bits). Rows
// are stored bottom first unless bit 0x20 of the descriptor says top first.
uint8_t* decodetga(const uint8_t* d, int64_t size, int32_t* width, int32_t* height) {
  if (size < TGAHEADER) return nullptr;
  int32_t type = d[2], bpp = d[16];
  int32_t w = int32_t(peekle16(d + 12)), h = int32_t(peekle16(d + 14));
  bool rle = type == 10 || type == 11;
  bool grey = type == 3 || type == 11;
  if (type != 2 && type != 3 && type != 10 && type != 11) return nullptr;
  if (grey ? bpp != 8 : (bpp != 24 && bpp != 32)) return nullptr;
  if (!sizeok(w, h)) return nullptr;
  int64_t pos = TGAHEADER + d[0];
  if (d[1] != 0) pos += int64_t(peekle16(d + 5)) * ((d[7] + 7) / 8);   // colour map, unused
  int32_t bytes = bpp / 8;
  int64_t count = int64_t(w) * h;
  if (pos > size) return nullptr;
  if (!rle && pos + count * bytes > size) return nullptr;
  // A packet of 1 + bytes bytes gives at most 128 pixels: refuse before
  // allocating when the file cannot hold the picture.
  if (rle && (size - pos) / (1 + bytes) * 128 < count) return nullptr;
  uint8_t* out = newblock(w, h);
  if (!rle) {
    for (int64_t i = 0; i < count; i++) tgapixel(out + i * 4, d + pos + i * bytes, bytes);
  } else {
    int64_t i = 0;
    while (i < count) {
      if (pos >= size) {
        myfree(out);
        return nullptr;
      }
      int32_t head = d[pos++];
      int64_t run = (head & 0x7F) + 1;
      bool repeat = head & 0x80;
      int64_t need = repeat ? bytes : run * bytes;
      if (run > count - i || pos + need > size) {
        myfree(out);
        return nullptr;
      }
      for (int64_t k = 0; k < run; k++) tgapixel(out + (i + k) * 4, d + pos + (repeat ? 0 : k * bytes), bytes);
      pos += need;
      i += run;
    }
  }
  if (d[17] & 0x20) flipimage32(out, w, h);
  *width = w;
  *height = h;
  return out;
}

// Puts one channel of a row into the block; grey images fill R, G and B.
inline void sgistore(uint8_t* out, int32_t w, int32_t y, int32_t z, int32_t zsize, int32_t x, uint8_t v) {
  uint8_t* p = out + (int64_t(y) * w + x) * 4;
  if (zsize <= 2) {
    if (z == 0) p[0] = p[1] = p[2] = v;
    else p[3] = v;
  } else {
    p[z] = v;
  }
}

// SGI: 512-byte big-endian header, then per channel per row (bottom row
// first) either the plain bytes or run-length packets through two tables.
uint8_t* decodesgi(const uint8_t* d, int64_t size, int32_t* width, int32_t* height) {
  if (size < SGIHEADER || int32_t(peekbe16(d)) != SGIMAGIC) return nullptr;
  int32_t storage = d[2], bpc = d[3], dim = int32_t(peekbe16(d + 4));
  int32_t w = int32_t(peekbe16(d + 6)), h = int32_t(peekbe16(d + 8)), zsize = int32_t(peekbe16(d + 10));
  if (storage > 1 || bpc != 1 || dim < 1 || dim > 3) return nullptr;
  if (dim == 1) h = 1;
  if (dim < 3) zsize = 1;
  if (zsize < 1 || zsize > 4 || !sizeok(w, h)) return nullptr;
  int64_t rows = int64_t(h) * zsize;
  if (storage == 0 && SGIHEADER + rows * w > size) return nullptr;
  if (storage == 1 && SGIHEADER + rows * 8 > size) return nullptr;
  uint8_t* out = newblock(w, h);
  if (zsize != 4 && zsize != 2)
    for (int64_t i = 0; i < int64_t(w) * h; i++) out[i * 4 + 3] = 255;
  for (int32_t z = 0; z < zsize; z++) {
    for (int32_t y = 0; y < h; y++) {
      int64_t row = int64_t(z) * h + y;
      if (storage == 0) {
        const uint8_t* src = d + SGIHEADER + row * w;
        for (int32_t x = 0; x < w; x++) sgistore(out, w, y, z, zsize, x, src[x]);
        continue;
      }
      int64_t start = peekbe32(d + SGIHEADER + row * 4);
      int64_t length = peekbe32(d + SGIHEADER + rows * 4 + row * 4);
      int64_t end = start + length;
      bool good = start >= SGIHEADER && end <= size;
      int32_t x = 0;
      int64_t pos = start;
      while (good) {
        if (pos >= end) {
          good = x == w;   // a row may end without its closing 0
          break;
        }
        int32_t head = d[pos++];
        int32_t run = head & 0x7F;
        if (run == 0) {
          good = x == w;
          break;
        }
        if (run > w - x) good = false;
        else if (head & 0x80) {
          if (pos + run > end) good = false;
          else
            for (int32_t k = 0; k < run; k++) sgistore(out, w, y, z, zsize, x++, d[pos++]);
        } else {
          if (pos >= end) good = false;
          else {
            uint8_t v = d[pos++];
            for (int32_t k = 0; k < run; k++) sgistore(out, w, y, z, zsize, x++, v);
          }
        }
      }
      if (!good) {
        myfree(out);
        return nullptr;
      }
    }
  }
  *width = w;
  *height = h;
  return out;
}

// Run-length codes one row of bytes the SGI way: literal packets (0x80 | n)
// and repeat packets (n, byte), n at most 127, ended by a 0.
void sgiencoderow(const uint8_t* b, int32_t n, std::vector<uint8_t>& out) {
  int32_t i = 0;
  while (i < n) {
    int32_t start = i;
    while (i < n && !(i + 2 < n && b[i] == b[i + 1] && b[i] == b[i + 2])) i++;
    while (start < i) {
      int32_t c = imin(i - start, 127);
      out.push_back(uint8_t(0x80 | c));
      out.insert(out.end(), b + start, b + start + c);
      start += c;
    }
    if (i < n) {
      int32_t j = i;
      while (j < n && b[j] == b[i] && j - i < 127) j++;
      out.push_back(uint8_t(j - i));
      out.push_back(b[i]);
      i = j;
    }
  }
  out.push_back(0);
}
}  // namespace

uint8_t* decodeimage(const uint8_t* data, int64_t size, int sgi, int32_t* width, int32_t* height) {
  *width = *height = 0;
  if (!data || size <= 0) return nullptr;
  return sgi ? decodesgi(data, size, width, height) : decodetga(data, size, width, height);
}

uint8_t* loadimage(const char* path, int32_t* width, int32_t* height, int32_t flags) {
  *width = *height = 0;
  UniqueFile f = openfile(path, "rb");
  if (!f) return nullptr;
  if (fseek(f.get(), 0, SEEK_END) != 0) return nullptr;
  long size = ftell(f.get());
  if (size <= 0 || size > MAXIMAGEBYTES * 2) return nullptr;
  rewind(f.get());
  std::vector<uint8_t> data(static_cast<size_t>(size));
  if (fread(data.data(), 1, data.size(), f.get()) != data.size()) return nullptr;
  uint8_t* pixels = decodeimage(data.data(), size, !hasextension(path, ".tga"), width, height);
  if (!pixels) debugprint("loadimage: bad image %s\n", path);
  return pixels;
}

int savesgi(const uint8_t* pixels, int32_t width, int32_t height, const char* path, int32_t rle) {
  if (!pixels || !sizeok(width, height)) return 0;
  SafeWrite out(path);
  if (!out.ok()) return 0;
  FILE* f = out.stream();
  putshort_be(SGIMAGIC, f);
  putbyte(rle ? 1 : 0, f);
  putbyte(1, f);
  putshort_be(3, f);
  putshort_be(width, f);
  putshort_be(height, f);
  putshort_be(4, f);
  putint_be(0, f);     // smallest value
  putint_be(255, f);   // largest value
  putint_be(0, f);
  uint8_t blank[404] = {};
  fwrite(blank, 1, 80, f);   // image name
  putint_be(0, f);           // normal colour map
  fwrite(blank, 1, 404, f);
  std::vector<uint8_t> row(static_cast<size_t>(width));
  auto fillrow = [&](int32_t y, int32_t z) {
    const uint8_t* p = pixels + int64_t(y) * width * 4 + z;
    for (int32_t x = 0; x < width; x++) row[size_t(x)] = p[int64_t(x) * 4];
  };
  if (!rle) {
    for (int32_t z = 0; z < 4; z++)
      for (int32_t y = 0; y < height; y++) {
        fillrow(y, z);
        fwrite(row.data(), 1, row.size(), f);
      }
    return out.commit() ? 1 : 0;
  }
  int64_t rows = int64_t(height) * 4;
  std::vector<uint8_t> data;
  std::vector<int64_t> starts(static_cast<size_t>(rows)), lengths(static_cast<size_t>(rows));
  int64_t base = SGIHEADER + rows * 8;
  for (int32_t z = 0; z < 4; z++)
    for (int32_t y = 0; y < height; y++) {
      fillrow(y, z);
      size_t before = data.size();
      sgiencoderow(row.data(), width, data);
      size_t r = size_t(int64_t(z) * height + y);
      starts[r] = base + int64_t(before);
      lengths[r] = int64_t(data.size() - before);
    }
  if (base + int64_t(data.size()) > 0x7FFFFFFFLL) return 0;
  for (int64_t s : starts) putint_be(int32_t(s), f);
  for (int64_t l : lengths) putint_be(int32_t(l), f);
  fwrite(data.data(), 1, data.size(), f);
  return out.commit() ? 1 : 0;
}

int savetga(const uint8_t* pixels, int32_t width, int32_t height, const char* path) {
  if (!pixels || !sizeok(width, height)) return 0;
  SafeWrite out(path);
  if (!out.ok()) return 0;
  uint8_t header[TGAHEADER] = {};
  header[2] = 2;   // plain true colour
  header[12] = uint8_t(width & 0xFF);
  header[13] = uint8_t(width >> 8);
  header[14] = uint8_t(height & 0xFF);
  header[15] = uint8_t(height >> 8);
  header[16] = 32;
  header[17] = 8;   // alpha bits, rows bottom first
  fwrite(header, 1, TGAHEADER, out.stream());
  std::vector<uint8_t> row(size_t(width) * 4);
  for (int32_t y = 0; y < height; y++) {
    const uint8_t* p = pixels + int64_t(y) * width * 4;
    for (int32_t x = 0; x < width; x++) {
      row[size_t(x) * 4 + 0] = p[x * 4 + 2];
      row[size_t(x) * 4 + 1] = p[x * 4 + 1];
      row[size_t(x) * 4 + 2] = p[x * 4 + 0];
      row[size_t(x) * 4 + 3] = p[x * 4 + 3];
    }
    fwrite(row.data(), 1, row.size(), out.stream());
  }
  return out.commit() ? 1 : 0;
}

void flipimage32(uint8_t* pixels, int32_t width, int32_t height) {
  if (!pixels || width < 1) return;
  size_t stride = size_t(width) * 4;
  std::vector<uint8_t> temp(stride);
  for (int32_t y = 0; y < height / 2; y++) {
    uint8_t* a = pixels + size_t(y) * stride;
    uint8_t* b = pixels + size_t(height - 1 - y) * stride;
    memcpy(temp.data(), a, stride);
    memcpy(a, b, stride);
    memcpy(b, temp.data(), stride);
  }
}

void halveimage32inplace(uint8_t* pixels, int32_t width, int32_t height) {
  if (!pixels) return;
  int32_t hw = width / 2, hh = height / 2;
  for (int32_t y = 0; y < hh; y++)
    for (int32_t x = 0; x < hw; x++) {
      const uint8_t* q[4] = {pixels + (int64_t(2 * y) * width + 2 * x) * 4,
                             pixels + (int64_t(2 * y) * width + 2 * x + 1) * 4,
                             pixels + (int64_t(2 * y + 1) * width + 2 * x) * 4,
                             pixels + (int64_t(2 * y + 1) * width + 2 * x + 1) * 4};
      int32_t sum[3] = {0, 0, 0}, alpha = 0, opaque = 0;
      for (const uint8_t* p : q) {
        alpha += p[3];
        if (p[3] == 0) continue;
        opaque++;
        for (int c = 0; c < 3; c++) sum[c] += p[c];
      }
      uint8_t* o = pixels + (int64_t(y) * hw + x) * 4;
      for (int c = 0; c < 3; c++) o[c] = uint8_t(opaque ? (sum[c] + opaque / 2) / opaque : 128);
      o[3] = uint8_t((alpha + 2) / 4);
    }
}

int32_t minalpha32(const uint8_t* pixels, int32_t width, int32_t height) {
  int32_t low = 255;
  if (!pixels) return low;
  for (int64_t i = 0; i < int64_t(width) * height; i++) low = imin(low, pixels[i * 4 + 3]);
  return low;
}
