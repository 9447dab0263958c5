// Sprite archives: checked reading, writing, the cache and pixel drawing.
#include "runtime/trs.h"

#include <array>
#include <cstring>

#include "runtime/fatal.h"
#include "runtime/folders.h"
#include "runtime/util.h"

namespace {
// Names of the archives in the data folder, by number.
constexpr std::array<const char*, TRSFILES> trsnames = {
    "gui.trs",      "mapstuff.trs", "items.trs",   "spr03.trs",   "spr04.trs",   "temples.trs", "spr06.trs",
    "spr07.trs",    "flag.trs",     "spr09.trs",   "icons.trs",   "army.trs",    "army12.trs",  "army13.trs",
    "army14.trs",   "army15.trs",   "army16.trs",  "army17.trs",  "army18.trs",  "army19.trs",  "army20.trs",
    "army21.trs",   "army22.trs",   "army23.trs",  "army24.trs",  "army25.trs",  "spr26.trs",   "misc.trs",
    "misc2.trs",    "spr29.trs",    "spr30.trs",   "spr31.trs",   "spr32.trs",   "spr33.trs",   "spr34.trs"};

struct CacheSlot {
  int32_t file = -1;
  std::vector<uint8_t> data;
};
std::array<CacheSlot, TRSCACHESLOTS> cache;
int32_t nextslot = 0;
int64_t cachedbytes = 0;
char folder[PATHLEN];
bool folderset = false;

uint32_t le32(const uint8_t* p) { return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24; }
void putle16(std::vector<uint8_t>& out, uint32_t v) {
  out.push_back(uint8_t(v));
  out.push_back(uint8_t(v >> 8));
}
void putle32(std::vector<uint8_t>& out, uint32_t v) {
  putle16(out, v & 0xFFFF);
  putle16(out, v >> 16);
}

void flushslot(CacheSlot& slot) {
  if (slot.file < 0) return;
  debugprint("Flushing trs file %d from cache\n", slot.file);
  cachedbytes -= int64_t(slot.data.size());
  slot.file = -1;
  slot.data = {};
}
}  // namespace

const char* trsfilename(int32_t file) { return file >= 0 && file < TRSFILES ? trsnames[size_t(file)] : nullptr; }

int trscheck(const uint8_t* d, int64_t size) {
  if (!d || size < TRSHEADER || size > MAXTRSBYTES) return 0;
  if (memcmp(d, "TCS", 3) != 0 || d[3] != TRSVERSION) return 0;
  int64_t count = le32(d + 4);
  if (count < 1 || count > MAXTRSSPRITES || TRSHEADER + count * 4 > size) return 0;
  for (int64_t i = 0; i < count; i++) {
    int64_t at = le32(d + TRSHEADER + i * 4);
    if (at < TRSHEADER + count * 4 || at + TRSRECORDHEAD > size) return 0;
    int64_t w = peekle16(d + at), h = peekle16(d + at + 2), frames = peekle16(d + at + 4);
    if (w < 1 || h < 1 || w > MAXTRSSIDE || h > MAXTRSSIDE || frames < 1 || frames > MAXTRSFRAMES) return 0;
    if (at + TRSRECORDHEAD + frames * w * h * 4 > size) return 0;
  }
  return 1;
}

int32_t trscount(const uint8_t* d) { return d ? int32_t(le32(d + 4)) : 0; }

TrsSprite trssprite(const uint8_t* d, int32_t nr) {
  TrsSprite s;
  if (!d || nr < 0 || nr >= trscount(d)) return s;
  const uint8_t* r = d + le32(d + TRSHEADER + nr * 4);
  s.width = int32_t(peekle16(r));
  s.height = int32_t(peekle16(r + 2));
  s.frames = int32_t(peekle16(r + 4));
  s.pixels = r + TRSRECORDHEAD;
  return s;
}

std::vector<uint8_t> encodetrs(std::span<const TrsImage> images) {
  std::vector<uint8_t> out;
  out.reserve(TRSHEADER);
  for (char c : {'T', 'C', 'S'}) out.push_back(uint8_t(c));
  out.push_back(uint8_t(TRSVERSION));
  putle32(out, uint32_t(images.size()));
  size_t at = TRSHEADER + images.size() * 4;
  for (const TrsImage& im : images) {
    putle32(out, uint32_t(at));
    at += TRSRECORDHEAD + im.pixels.size();
  }
  for (const TrsImage& im : images) {
    bailif(int64_t(im.pixels.size()) != int64_t(im.width) * im.height * im.frames * 4, "encodetrs: bad image");
    putle16(out, uint32_t(im.width));
    putle16(out, uint32_t(im.height));
    putle16(out, uint32_t(im.frames));
    putle16(out, 0);
    out.insert(out.end(), im.pixels.begin(), im.pixels.end());
  }
  return out;
}

int savetrsfile(const char* path, std::span<const TrsImage> images) {
  std::vector<uint8_t> bytes = encodetrs(images);
  SafeWrite out(path);
  if (!out.ok()) return 0;
  fwrite(bytes.data(), 1, bytes.size(), out.stream());
  return out.commit() ? 1 : 0;
}

void settrsfolder(const char* path) {
  strlcopy(folder, path, PATHLEN);
  folderset = true;
}

int loadtrsfile(int32_t file) {
  const char* name = trsfilename(file);
  if (!name) return 0;
  if (trsfiledata(file)) return 1;
  char path[PATHLEN];
  formatbounded(path, PATHLEN, "%s/%s", folderset ? folder : datapath, name);
  UniqueFile f = openfile(path, "rb");
  if (!f) {
    debugprint("Can't open sprite file %s\n", path);
    return 0;
  }
  std::vector<uint8_t> data;
  uint8_t chunk[65536];
  size_t n;
  while ((n = fread(chunk, 1, sizeof chunk, f.get())) > 0) {
    data.insert(data.end(), chunk, chunk + n);
    if (int64_t(data.size()) > MAXTRSBYTES) break;
  }
  if (!trscheck(data.data(), int64_t(data.size()))) {
    debugprint("Bad sprite file %s\n", path);
    return 0;
  }
  int32_t slot = nextslot;
  flushslot(cache[size_t(slot)]);
  for (int32_t k = 1; k < TRSCACHESLOTS && cachedbytes + int64_t(data.size()) > TRSCACHEBUDGET; k++)
    flushslot(cache[size_t((slot + k) % TRSCACHESLOTS)]);
  cachedbytes += int64_t(data.size());
  cache[size_t(slot)].file = file;
  cache[size_t(slot)].data = std::move(data);
  nextslot = (slot + 1) % TRSCACHESLOTS;
  return 1;
}

const uint8_t* trsfiledata(int32_t file) {
  for (const CacheSlot& s : cache)
    if (s.file == file && file >= 0) return s.data.data();
  return nullptr;
}

void flushtrscache() {
  for (CacheSlot& s : cache) flushslot(s);
  nextslot = 0;
}

void drawtrssprite(const TrsSprite& s, int32_t frame, uint8_t* pixels, int32_t width, int32_t height, int32_t x,
                   int32_t y, int32_t w, int32_t h, int32_t flag, int32_t mode) {
  if (!s.pixels || !pixels || w < 1 || h < 1 || frame < 0 || frame >= s.frames) return;
  const uint8_t* src = s.pixels + int64_t(frame) * s.width * s.height * 4;
  int32_t j0 = imax(0, -y), j1 = imin(h, height - y);
  int32_t i0 = imax(0, -x), i1 = imin(w, width - x);
  for (int32_t j = j0; j < j1; j++) {
    const uint8_t* srow = src + int64_t(int64_t(j) * s.height / h) * s.width * 4;
    uint8_t* drow = pixels + (int64_t(y + j) * width + x) * 4;
    for (int32_t i = i0; i < i1; i++) {
      const uint8_t* p = srow + int64_t(int64_t(i) * s.width / w) * 4;
      uint8_t* q = drow + int64_t(i) * 4;
      int32_t a = p[3];
      if (flag & TRSDRAW_BLEND) {
        if (a == 0) continue;
        for (int c = 0; c < 3; c++) q[c] = uint8_t((p[c] * a + q[c] * (255 - a) + 127) / 255);
        if (!(flag & TRSDRAW_KEEPALPHA)) q[3] = uint8_t(imax(q[3], a));
      } else {
        for (int c = 0; c < 3; c++) q[c] = p[c];
        if (!(flag & TRSDRAW_KEEPALPHA)) q[3] = uint8_t(a);
      }
    }
  }
}
