// Reading and writing image files. Every size, offset and run length in a
// file is checked before it is used: images come from other players' maps.
#include "runtime/image.h"

#include <cerrno>
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

// Why a picture cannot be read, as the messages about a map's picture give it.
const char* const TOOSHORT = "the file ends before its pixels do";
const char* const NOTTGA = "it is no TGA picture of a kind this game reads (true colour or grey, plain or run-length)";
const char* const NOTSGI = "it is no SGI picture of a kind this game reads (one byte a channel, one to four channels)";
const char* const NOPIXELS = "its header gives it no pixels";
const char* const TOOLARGE =
    "its header promises a picture larger than this game reads (at most 32767 pixels a side and 2 GB of pixels)";
const char* const DAMAGED = "its run-length data is damaged";

// What the header of a picture gives: its size, where its pixels start, and
// the most bytes of the file that its pixels can take up, so that a file is
// never read beyond what its picture needs.
struct ImageHead {
  int32_t width = 0, height = 0;
  int64_t pixels = 0;   // offset of the pixel data
  int64_t need = 0;     // bytes of the file the reader may look at
  int32_t channels = 0; // bytes of a pixel (TGA), planes (SGI)
  bool rle = false;     // run-length packed
};

// The size problem of a picture of width x height; null when it can be held.
const char* sizeproblem(int64_t width, int64_t height) {
  if (width < 1 || height < 1) return NOPIXELS;
  if (width > MAXIMAGESIDE || height > MAXIMAGESIDE || width * height * 4 > MAXIMAGEBYTES) return TOOLARGE;
  return nullptr;
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

// TGA: plain or run-length true colour (24/32 bits) or grey (8 bits). The
// header is the first 18 bytes of a file of `size` bytes.
const char* tgahead(const uint8_t* d, int64_t size, ImageHead& head) {
  if (size < TGAHEADER) return TOOSHORT;
  int32_t type = d[2], bpp = d[16];
  bool rle = type == 10 || type == 11;
  bool grey = type == 3 || type == 11;
  if (type != 2 && type != 3 && type != 10 && type != 11) return NOTTGA;
  if (grey ? bpp != 8 : (bpp != 24 && bpp != 32)) return NOTTGA;
  head.width = int32_t(peekle16(d + 12));
  head.height = int32_t(peekle16(d + 14));
  if (const char* problem = sizeproblem(head.width, head.height)) return problem;
  head.pixels = TGAHEADER + d[0];
  if (d[1] != 0) head.pixels += int64_t(peekle16(d + 5)) * ((d[7] + 7) / 8);   // colour map, unused
  const int32_t bytes = bpp / 8;
  head.channels = bytes;
  head.rle = rle;
  const int64_t count = int64_t(head.width) * head.height;
  if (head.pixels > size) return TOOSHORT;
  // A run-length packet of 1 + bytes bytes gives 1 to 128 pixels.
  if (!rle && head.pixels + count * bytes > size) return TOOSHORT;
  if (rle && (size - head.pixels) / (1 + bytes) * 128 < count) return TOOSHORT;
  head.need = head.pixels + count * (rle ? 1 + bytes : bytes);
  return nullptr;
}

// Rows are stored bottom first unless bit 0x20 of the descriptor says top first.
uint8_t* decodetga(const uint8_t* d, int64_t size, int32_t* width, int32_t* height, const char** why) {
  ImageHead head;
  if ((*why = tgahead(d, size, head))) return nullptr;
  const int32_t w = head.width, h = head.height, bytes = head.channels;
  const bool rle = head.rle;
  const int64_t count = int64_t(w) * h;
  int64_t pos = head.pixels;
  uint8_t* out = newblock(w, h);
  if (!rle) {
    for (int64_t i = 0; i < count; i++) tgapixel(out + i * 4, d + pos + i * bytes, bytes);
  } else {
    int64_t i = 0;
    while (i < count) {
      if (pos >= size) {
        myfree(out);
        *why = TOOSHORT;
        return nullptr;
      }
      int32_t headbyte = d[pos++];
      int64_t run = (headbyte & 0x7F) + 1;
      bool repeat = headbyte & 0x80;
      int64_t need = repeat ? bytes : run * bytes;
      if (run > count - i || pos + need > size) {
        myfree(out);
        *why = run > count - i ? DAMAGED : TOOSHORT;
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
const char* sgihead(const uint8_t* d, int64_t size, ImageHead& head) {
  if (size < 2 || int32_t(peekbe16(d)) != SGIMAGIC) return NOTSGI;
  if (size < SGIHEADER) return TOOSHORT;
  int32_t storage = d[2], bpc = d[3], dim = int32_t(peekbe16(d + 4));
  int32_t w = int32_t(peekbe16(d + 6)), h = int32_t(peekbe16(d + 8)), zsize = int32_t(peekbe16(d + 10));
  if (storage > 1 || bpc != 1 || dim < 1 || dim > 3) return NOTSGI;
  if (dim == 1) h = 1;
  if (dim < 3) zsize = 1;
  if (zsize < 1 || zsize > 4) return NOTSGI;
  if (const char* problem = sizeproblem(w, h)) return problem;
  head.width = w;
  head.height = h;
  head.pixels = SGIHEADER;
  head.channels = zsize;
  head.rle = storage == 1;
  const int64_t rows = int64_t(h) * zsize;
  // A run-length row takes at most two bytes a pixel (packets of one) and its end.
  head.need = storage == 0 ? SGIHEADER + rows * w : SGIHEADER + rows * 8 + rows * (2 * int64_t(w) + 1);
  if (storage == 0 && head.need > size) return TOOSHORT;
  if (storage == 1 && SGIHEADER + rows * 8 > size) return TOOSHORT;
  return nullptr;
}

uint8_t* decodesgi(const uint8_t* d, int64_t size, int32_t* width, int32_t* height, const char** why) {
  ImageHead head;
  if ((*why = sgihead(d, size, head))) return nullptr;
  const int32_t w = head.width, h = head.height, zsize = head.channels;
  const int64_t rows = int64_t(h) * zsize;
  uint8_t* out = newblock(w, h);
  if (zsize != 4 && zsize != 2)
    for (int64_t i = 0; i < int64_t(w) * h; i++) out[i * 4 + 3] = 255;
  for (int32_t z = 0; z < zsize; z++) {
    for (int32_t y = 0; y < h; y++) {
      int64_t row = int64_t(z) * h + y;
      if (!head.rle) {
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
        int32_t packet = d[pos++];
        int32_t run = packet & 0x7F;
        if (run == 0) {
          good = x == w;
          break;
        }
        if (run > w - x) good = false;
        else if (packet & 0x80) {
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
        *why = end > size ? TOOSHORT : DAMAGED;
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

uint8_t* decodeimage(const uint8_t* data, int64_t size, int sgi, int32_t* width, int32_t* height, const char** why) {
  *width = *height = 0;
  const char* problem = "the file is empty";
  uint8_t* pixels = nullptr;
  if (data && size > 0)
    pixels = sgi ? decodesgi(data, size, width, height, &problem) : decodetga(data, size, width, height, &problem);
  if (why) *why = pixels ? nullptr : problem;
  return pixels;
}

uint8_t* loadimage(const char* path, int32_t* width, int32_t* height, int32_t flags, const char** why) {
  *width = *height = 0;
  const char* problem = nullptr;
  auto refuse = [&](const char* text) -> uint8_t* {
    debugprint("loadimage: bad image %s: %s\n", path, text);
    if (why) *why = text;
    return nullptr;
  };
  // Why a file could not be opened, in the words of the other readers ("no
  // permission"); it stands until the next load that cannot open its file.
  static thread_local char cause[200];
  UniqueFile f = why ? openquiet(path, "rb") : openfile(path, "rb");
  if (!f) {
    strlcopy(cause, readproblem(path, errno).c_str(), sizeof cause);
    return refuse(cause);
  }
  if (fseek(f.get(), 0, SEEK_END) != 0) return refuse(readcause(errno));
  const int64_t size = ftell(f.get());
  if (size <= 0) return refuse("the file is empty");
  // The header first: a picture larger than the reader holds, or a file
  // larger than its picture needs, is never read whole.
  const bool sgi = !hasextension(path, ".tga");
  std::vector<uint8_t> data(size_t(size < SGIHEADER ? size : SGIHEADER));
  rewind(f.get());
  if (fread(data.data(), 1, data.size(), f.get()) != data.size()) return refuse("the file cannot be read to its end");
  ImageHead head;
  if ((problem = sgi ? sgihead(data.data(), size, head) : tgahead(data.data(), size, head))) return refuse(problem);
  const int64_t length = size < head.need ? size : head.need;
  const size_t got = data.size();
  if (int64_t(got) < length) {
    data.resize(size_t(length));
    if (fread(data.data() + got, 1, data.size() - got, f.get()) != data.size() - got)
      return refuse("the file cannot be read to its end");
  }
  uint8_t* pixels = decodeimage(data.data(), int64_t(data.size()), sgi, width, height, &problem);
  if (!pixels) return refuse(problem);
  if (why) *why = nullptr;
  return pixels;
}

int savesgi(const uint8_t* pixels, int32_t width, int32_t height, const char* path, int32_t rle) {
  if (!pixels || sizeproblem(width, height)) return 0;
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
  if (!pixels || sizeproblem(width, height)) return 0;
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
