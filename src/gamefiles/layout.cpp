// The field-table mechanism that every record writer and reader shares, the
// framing of indexed sections, and the reader's failure path.
#include <array>
#include <cstdint>
#include <cstring>
#include <vector>

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

// The elements of a number field whose width changes between record and
// file, read in blocks; elements past the end of the file read as 0, as
// single reads would give.
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

uint32_t filewidthof(const FieldSpec& field) { return field.filewidth == 1 || field.filewidth == 2 ? field.filewidth : 4; }

// A layout as the files of one version hold it, worked out once: runs of
// fields whose bytes stand in the record as in the file (the same width,
// little-endian, one after the other in both) go through whole, the rest
// field by field.
struct Step {
  enum class Kind : uint8_t { bytes, number, text } kind;
  uint32_t offset;       // in the record
  uint32_t size;         // bytes of a run
  const FieldSpec* first;  // the run's fields: first up to end, those of the version
  const FieldSpec* end;
};
struct Plan {
  const FieldSpec* layout = nullptr;
  size_t length = 0;
  int32_t version = 0;
  std::vector<Step> steps;
};

const std::vector<Step>& planof(Layout layout, int32_t version) {
  // A few dozen layouts and versions in use: a small table, each layout
  // in a slot chosen by its address.
  thread_local std::array<Plan, 64> plans;
  Plan& plan = plans[(reinterpret_cast<uintptr_t>(layout.data()) / sizeof(FieldSpec) + size_t(version)) % plans.size()];
  if (plan.layout == layout.data() && plan.length == layout.size() && plan.version == version) return plan.steps;
  plan.layout = layout.data();
  plan.length = layout.size();
  plan.version = version;
  plan.steps.clear();
  for (const FieldSpec& field : layout) {
    if (!field.inversion(version)) continue;
    if (field.kind != FieldKind::number) {
      plan.steps.push_back({Step::Kind::text, field.offset, 0, &field, &field + 1});
      continue;
    }
    if (field.memwidth != filewidthof(field)) {
      plan.steps.push_back({Step::Kind::number, field.offset, 0, &field, &field + 1});
      continue;
    }
    const uint32_t size = field.count * field.memwidth;
    Step* last = plan.steps.empty() ? nullptr : &plan.steps.back();
    if (last && last->kind == Step::Kind::bytes && last->offset + last->size == field.offset) {
      last->size += size;
      last->end = &field + 1;
    } else {
      plan.steps.push_back({Step::Kind::bytes, field.offset, size, &field, &field + 1});
    }
  }
  return plan.steps;
}

// The fields of a run that a short read cut: what came stays, a partial
// element and what follows in its field read as 0, and so do the later
// fields of the run unless a soft read stops here.
void cutrun(const Step& run, uint8_t* base, size_t got) {
  size_t at = 0;
  for (const FieldSpec* field = run.first; field < run.end; field++) {
    if (!field->inversion(readversion)) continue;
    const size_t size = size_t(field->count) * field->memwidth;
    if (got < at + size) {
      const size_t whole = got > at ? (got - at) / field->memwidth * field->memwidth : 0;
      memset(base + field->offset + whole, 0, size - whole);
      if (readbroken()) return;
    }
    at += size;
  }
}

// The bytes of a record's number fields gather here and reach the stream
// in one write per run of fields (strings go between the runs).
struct FieldBytes {
  uint8_t bytes[1024];
  size_t used = 0;
  FILE* f;
  explicit FieldBytes(FILE* out) : f(out) {}
  ~FieldBytes() { flush(); }
  void flush() {
    if (used) fwrite_unlocked(bytes, 1, used, f);
    used = 0;
  }
  void put(const uint8_t* p, size_t n) {
    if (n > sizeof bytes) {
      flush();
      fwrite_unlocked(p, 1, n, f);
      return;
    }
    if (used + n > sizeof bytes) flush();
    memcpy(bytes + used, p, n);
    used += n;
  }
};
}  // namespace

void writefields(Layout layout, const void* record, FILE* f) {
  const uint8_t* base = static_cast<const uint8_t*>(record);
  FieldBytes out(f);
  for (const Step& step : planof(layout, writeversion)) {
    const uint8_t* p = base + step.offset;
    const FieldSpec& field = *step.first;
    if (step.kind == Step::Kind::bytes) {
      out.put(p, step.size);
    } else if (step.kind == Step::Kind::text) {
      // A record's text may fill its field without a terminator.
      char text[1500];
      uint32_t n = field.count < sizeof text ? field.count : uint32_t(sizeof text);
      memcpy(text, p, n - 1);
      text[n - 1] = 0;
      out.flush();
      if (field.kind == FieldKind::plainstring) put_string(text, f);
      else put_keystring(text, f);
    } else {
      const uint32_t width = filewidthof(field);
      for (uint32_t i = 0; i < field.count; i++) {
        const uint32_t v = uint32_t(loadelement(p + i * field.memwidth, field.memwidth, field.issigned));
        const uint8_t b[4] = {uint8_t(v), uint8_t(v >> 8), uint8_t(v >> 16), uint8_t(v >> 24)};
        out.put(b, width);
      }
    }
  }
}

bool readfields(Layout layout, void* record, FILE* f) {
  uint8_t* base = static_cast<uint8_t*>(record);
  for (const Step& step : planof(layout, readversion)) {
    uint8_t* p = base + step.offset;
    const FieldSpec& field = *step.first;
    if (step.kind == Step::Kind::bytes) {
      const size_t got = getraw(p, step.size, f);
      if (got < step.size) cutrun(step, base, got);
    } else if (field.kind == FieldKind::plainstring) {
      get_string(reinterpret_cast<char*>(p), field.count, f);
    } else if (field.kind == FieldKind::keystring) {
      get_keystring(reinterpret_cast<char*>(p), f, int32_t(field.count));
    } else {
      readnumbers(field, p, f);
    }
    if (readbroken()) return false;
  }
  return true;
}

size_t fieldsinto(Layout layout, const void* record, uint8_t* out, size_t room, bool* exact) {
  const uint8_t* base = static_cast<const uint8_t*>(record);
  size_t used = 0;
  *exact = true;
  for (const Step& step : planof(layout, writeversion)) {
    const uint8_t* p = base + step.offset;
    const FieldSpec& field = *step.first;
    if (step.kind == Step::Kind::text) return 0;
    const uint32_t width = filewidthof(field);
    if (room - used < (step.kind == Step::Kind::bytes ? step.size : field.count * width)) return 0;
    if (step.kind == Step::Kind::bytes) {
      memcpy(out + used, p, step.size);
      used += step.size;
      continue;
    }
    for (uint32_t i = 0; i < field.count; i++) {
      const uint8_t* element = p + i * field.memwidth;
      const uint32_t v = uint32_t(loadelement(element, field.memwidth, field.issigned));
      const uint8_t b[4] = {uint8_t(v), uint8_t(v >> 8), uint8_t(v >> 16), uint8_t(v >> 24)};
      memcpy(out + used, b, width);
      used += width;
      // As readnumbers reads it back.
      const int64_t back = width == 1   ? (field.issigned ? int64_t(int8_t(v)) : int64_t(uint8_t(v)))
                           : width == 2 ? (field.issigned ? int64_t(int16_t(v)) : int64_t(uint16_t(v)))
                                        : int64_t(int32_t(v));
      uint8_t stored[8];
      storeelement(stored, field.memwidth, back);
      if (memcmp(stored, element, field.memwidth) != 0) *exact = false;
    }
  }
  return used;
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

int32_t getindex(FILE* f, int32_t limit, const char* message) { return checkindex(f, getint(f), limit, message); }

int32_t checkindex(FILE* f, int32_t index, int32_t limit, const char* message) {
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
