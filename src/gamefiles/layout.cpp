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
  if (softreading()) {
    binreadfailed = 1;
    return false;
  }
  fatalerror(message);
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

int64_t readelement(FILE* f, int width, bool issigned) {
  switch (width) {
    case 1: return issigned ? getsbyte(f) : getbyte(f);
    case 2: { int32_t v = getshort(f); return issigned ? int64_t(int16_t(v)) : int64_t(v); }
    default: return getint(f);
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
    else
      for (uint32_t i = 0; i < field.count; i++)
        storeelement(p + i * field.memwidth, field.memwidth, readelement(f, field.filewidth, field.issigned));
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
