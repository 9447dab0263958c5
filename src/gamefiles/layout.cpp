// The field-table mechanism that every record writer and reader shares, the
// framing of indexed sections, and the reader's failure path.
#include <cstring>

#include "gamefiles/gamefiles.h"
#include "runtime/binio.h"
#include "runtime/fatal.h"

int32_t readversion = FILEVERSION;
int32_t writeversion = FILEVERSION;

void setreadversion(int32_t version) { readversion = version; }

bool readdefect(const char* message) {
  readfailure(message);
  return false;
}

bool readbroken() { return softreading() && binreadfailed; }

namespace {
int64_t loadelement(const uint8_t* p, int width, bool issigned) {
  switch (width) {
    case 1: { uint8_t v; memcpy(&v, p, 1); return issigned ? int64_t(int8_t(v)) : int64_t(v); }
    case 2: { uint16_t v; memcpy(&v, p, 2); return issigned ? int64_t(int16_t(v)) : int64_t(v); }
    case 4: { uint32_t v; memcpy(&v, p, 4); return issigned ? int64_t(int32_t(v)) : int64_t(v); }
    default: { int64_t v; memcpy(&v, p, 8); return v; }
  }
}

void storeelement(uint8_t* p, int width, int64_t value) {
  switch (width) {
    case 1: { uint8_t v = uint8_t(value); memcpy(p, &v, 1); break; }
    case 2: { uint16_t v = uint16_t(value); memcpy(p, &v, 2); break; }
    case 4: { uint32_t v = uint32_t(value); memcpy(p, &v, 4); break; }
    default: memcpy(p, &value, 8); break;
  }
}

// The elements of a number field, read in blocks rather than one by one;
// elements past the end of the file read as 0, as single reads would give.
void readnumbers(const FieldSpec& field, uint8_t* p, FILE* f) {
  const uint32_t width = field.filewidth == 1 || field.filewidth == 2 ? field.filewidth : 4;
  uint8_t block[1024];
  const uint32_t perblock = uint32_t(sizeof block) / width;
  for (uint32_t first = 0; first < field.count; first += perblock) {
    const uint32_t n = field.count - first < perblock ? field.count - first : perblock;
    const size_t got = getraw(block, size_t(n) * width, f);
    if (got < size_t(n) * width) memset(block + got, 0, size_t(n) * width - got);
    for (uint32_t i = 0; i < n; i++) {
      const uint8_t* b = block + i * width;
      int64_t v;
      if (width == 1) v = field.issigned ? int64_t(int8_t(b[0])) : int64_t(b[0]);
      else if (width == 2) {
        const uint32_t u = uint32_t(b[0]) | uint32_t(b[1]) << 8;
        v = field.issigned ? int64_t(int16_t(u)) : int64_t(u);
      } else {
        v = int32_t(uint32_t(b[0]) | uint32_t(b[1]) << 8 | uint32_t(b[2]) << 16 | uint32_t(b[3]) << 24);
      }
      // A partial element at the end of the file reads as 0.
      if ((i + 1) * width > got) v = 0;
      storeelement(p + (first + i) * field.memwidth, field.memwidth, v);
    }
    if (got < size_t(n) * width) {
      // Later elements read nothing either.
      for (uint32_t i = first + n; i < field.count; i++) storeelement(p + i * field.memwidth, field.memwidth, 0);
      return;
    }
  }
}
}  // namespace

void writefields(Layout layout, const void* record, FILE* f) {
  const uint8_t* base = static_cast<const uint8_t*>(record);
  for (const FieldSpec& field : layout) {
    if (!field.inversion(writeversion)) continue;
    const uint8_t* p = base + field.offset;
    if (field.kind != FieldKind::number) {
      // A record's text may fill its field without a terminator.
      char text[1500];
      uint32_t n = field.count < sizeof text ? field.count : uint32_t(sizeof text);
      memcpy(text, p, n - 1);
      text[n - 1] = 0;
      if (field.kind == FieldKind::plainstring) put_string(text, f);
      else put_keystring(text, f);
      continue;
    }
    for (uint32_t i = 0; i < field.count; i++) {
      int64_t v = loadelement(p + i * field.memwidth, field.memwidth, field.issigned);
      if (field.filewidth == 1) putbyte(int32_t(v), f);
      else if (field.filewidth == 2) putshort(int32_t(v), f);
      else putint(int32_t(v), f);
    }
  }
}

bool readfields(Layout layout, void* record, FILE* f) {
  uint8_t* base = static_cast<uint8_t*>(record);
  for (const FieldSpec& field : layout) {
    if (!field.inversion(readversion)) continue;
    uint8_t* p = base + field.offset;
    if (field.kind == FieldKind::plainstring) get_string(reinterpret_cast<char*>(p), field.count, f);
    else if (field.kind == FieldKind::keystring) get_keystring(reinterpret_cast<char*>(p), f, int32_t(field.count));
    else readnumbers(field, p, f);
    if (readbroken()) return false;
  }
  return true;
}

int32_t layoutbytes(Layout layout, int32_t version) {
  int32_t total = 0;
  for (const FieldSpec& field : layout) {
    if (!field.inversion(version)) continue;
    total += field.kind == FieldKind::number ? int32_t(field.filewidth * field.count) : 1;
  }
  return total;
}

void putindex(int32_t index, FILE* f) { putint(index, f); }
void endsection(FILE* f) { putint(-1, f); }

int32_t getindex(FILE* f, int32_t limit, const char* message) {
  int32_t index = getint(f);
  if (readbroken()) return -2;
  // A file that ends inside a section would read index 0 for ever.
  if (feof(f)) {
    readdefect(message);
    return -2;
  }
  if (index < 0) return -1;
  if (index >= limit) {
    readdefect(message);
    return -2;
  }
  return index;
}

bool readcheck(FILE* f, int32_t expected, const char* message) {
  int32_t got = getint(f);
  if (readbroken()) return false;
  if (got != expected) return readdefect(message);
  return true;
}

bool readcheck16(FILE* f, int32_t expected, const char* message) {
  int32_t got = int16_t(getshort(f));
  if (readbroken()) return false;
  if (got != expected) return readdefect(message);
  return true;
}
