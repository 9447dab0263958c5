// Font metrics: reading and writing "font.fnt" and the metrics in use.
#include "gfx/font.h"

#include <cerrno>
#include <cstring>

#include "runtime/fatal.h"
#include "runtime/util.h"

namespace {
constexpr char MAGIC[4] = {'V', 'F', 'N', 'T'};

fontmetrics fallbackmetrics() {
  fontmetrics m;
  for (int32_t c = 0; c < 256; c++) m.advance[size_t(c)] = glyphdrawn(uint8_t(c)) ? 0.5f : 0.0f;
  return m;
}

fontmetrics inuse = fallbackmetrics();

// The table of charadvance for the metrics in use.
void settable() {
  for (int32_t c = 0; c < 256; c++) fontadvance[c] = inuse.advance[size_t(c)];
  fontadvance[' '] = fontadvance[0xA4] = 0.25f;
}
struct tablemaker {
  tablemaker() { settable(); }
} maketable;

void put16(std::vector<uint8_t>& out, uint32_t v) {
  out.push_back(uint8_t(v & 0xFF));
  out.push_back(uint8_t((v >> 8) & 0xFF));
}
}  // namespace

float fontadvance[256];

int glyphdrawn(uint8_t code) { return code > 32 && code != 127 && !(code >= 128 && code < 160) && code != 0xA4; }

const char* parsefontmetrics(const uint8_t* data, int64_t size, fontmetrics& out) {
  if (!data || size != FONTFILEBYTES) return "wrong size";
  if (memcmp(data, MAGIC, 4) != 0) return "not a font file";
  if (int32_t(peekle16(data + 4)) != FONTVERSION) return "unknown version";
  fontmetrics m;
  m.cell = int32_t(peekle16(data + 6));
  m.pad = int32_t(peekle16(data + 8));
  m.baseline = int32_t(peekle16(data + 10));
  if (m.cell < 8 || m.cell > 256 || m.pad >= m.cell || m.baseline >= m.cell) return "bad cell size";
  for (int32_t c = 0; c < 256; c++) {
    uint32_t a = peekle16(data + FONTHEAD + 2 * c);
    if (a > 4096) return "advance out of range";
    m.advance[size_t(c)] = float(a) / FONTADVANCEUNIT;
  }
  out = m;
  return nullptr;
}

std::vector<uint8_t> encodefontmetrics(const fontmetrics& m) {
  std::vector<uint8_t> out(MAGIC, MAGIC + 4);
  put16(out, uint32_t(FONTVERSION));
  put16(out, uint32_t(m.cell));
  put16(out, uint32_t(m.pad));
  put16(out, uint32_t(m.baseline));
  for (float a : m.advance) put16(out, uint32_t(imin(4096, imax(0, int32_t(a * FONTADVANCEUNIT + 0.5f)))));
  return out;
}

const fontmetrics& currentfont() { return inuse; }
void setfontmetrics(const fontmetrics& metrics) {
  inuse = metrics;
  settable();
}

int loadfontmetrics(const char* datafolder) {
  char path[PATHLEN];
  formatbounded(path, PATHLEN, "%s/font.fnt", datafolder ? datafolder : ".");
  uint8_t data[FONTFILEBYTES + 1];
  UniqueFile f = openquiet(path, "rb");
  const std::string unopened = f || errno == ENOENT ? "missing or unreadable" : readproblem(path, errno);
  int64_t n = f ? int64_t(fread(data, 1, sizeof data, f.get())) : -1;
  const char* why = n < 0 ? unopened.c_str() : parsefontmetrics(data, n, inuse);
  if (why) {
    debugprint("***** Warning: font %s: %s\n", path, why);
    printf("Font %s: %s\n", path, why);
    return 0;
  }
  settable();
  return 1;
}
