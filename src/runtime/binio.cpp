#include "runtime/binio.h"

#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "runtime/fatal.h"
#include "runtime/util.h"

int32_t binreadfailed = 0;

namespace {
int32_t softdepth = 0;
// The first failure of the current soft read, and the file being read.
char failwhy[READWHYLEN] = "";
const char* readingpath = nullptr;

constexpr const char* ENDSEARLY = "the file ends early";

// A write that failed stops with the file's name (as the system knows it;
// a stream in memory has none) and the cause.
[[noreturn]] void writestop(const char* tag, FILE* f) {
  const int err = errno ? errno : EIO;
  char link[64], path[PATHLEN] = "a file";
  const int fd = fileno(f);
  snprintf(link, sizeof link, "/proc/self/fd/%d", fd);
  const ssize_t n = fd >= 0 ? readlink(link, path, sizeof path - 1) : -1;
  if (n > 0) path[n] = 0;
  filestop(tag, path, err);
}

// Reads n bytes; a short read marks a soft read as failed (the value is 0).
bool readbytes(uint8_t* bytes, size_t n, FILE* f) {
  if (fread(bytes, 1, n, f) == n) return true;
  if (softdepth > 0) readfailure(ENDSEARLY);
  return false;
}
}  // namespace

void readfailure(const char* message) {
  if (softdepth > 0) {
    if (!binreadfailed) strlcopy(failwhy, message, sizeof failwhy);
    binreadfailed = 1;
    return;
  }
  if (!readingpath) {
    fatalerror(message);
    return;
  }
  char named[MSGLEN];
  formatbounded(named, MSGLEN, "The file %s is damaged and cannot be read (%s)", readingpath, message);
  fatalerror(named);
}

const char* readfailwhy() { return binreadfailed ? failwhy : ""; }

ReadingFileScope::ReadingFileScope(const char* path) : saved(readingpath) { readingpath = path; }
ReadingFileScope::~ReadingFileScope() { readingpath = saved; }

size_t getraw(void* bytes, size_t n, FILE* f) {
  size_t got = fread(bytes, 1, n, f);
  if (got != n && softdepth > 0) readfailure(ENDSEARLY);
  return got;
}

SoftReadScope::SoftReadScope() : saved(softdepth), savedfailed(binreadfailed) {
  softdepth++;
  if (savedfailed) strlcopy(savedwhy, failwhy, sizeof savedwhy);
  binreadfailed = 0;
  failwhy[0] = 0;
}
SoftReadScope::~SoftReadScope() {
  // An enclosing scope still sees a failure of this one, and its own first.
  softdepth = saved;
  if (savedfailed) strlcopy(failwhy, savedwhy, sizeof failwhy);
  binreadfailed |= savedfailed;
}
bool softreading() { return softdepth > 0; }

int32_t getint(FILE* f) {
  uint8_t b[4];
  if (!readbytes(b, 4, f)) return 0;
  return int32_t(uint32_t(b[0]) | uint32_t(b[1]) << 8 | uint32_t(b[2]) << 16 | uint32_t(b[3]) << 24);
}

int32_t getshort(FILE* f) {
  uint8_t b[2];
  if (!readbytes(b, 2, f)) return 0;
  return int32_t(uint32_t(b[0]) | uint32_t(b[1]) << 8);
}

int32_t getsbyte(FILE* f) {
  uint8_t b;
  if (!readbytes(&b, 1, f)) return 0;
  return int32_t(int8_t(b));
}

int32_t getbyte(FILE* f) {
  uint8_t b;
  if (!readbytes(&b, 1, f)) return 0;
  return b;
}

float getfixed(FILE* f) {
  int32_t fraction = getshort(f);
  int32_t whole = getint(f);
  return float(double(fraction) / 65536.0 + double(whole));
}

int32_t putint(int32_t value, FILE* f) {
  uint32_t v = uint32_t(value);
  uint8_t b[4] = {uint8_t(v), uint8_t(v >> 8), uint8_t(v >> 16), uint8_t(v >> 24)};
  return int32_t(fwrite(b, 1, 4, f));
}

int32_t putshort(int32_t value, FILE* f) {
  uint32_t v = uint32_t(value);
  uint8_t b[2] = {uint8_t(v), uint8_t(v >> 8)};
  return int32_t(fwrite(b, 1, 2, f));
}

int32_t putbyte(int32_t value, FILE* f) {
  uint8_t b = uint8_t(value);
  return int32_t(fwrite(&b, 1, 1, f));
}

void putint_be(int32_t value, FILE* f) {
  uint32_t v = uint32_t(value);
  uint8_t b[4] = {uint8_t(v >> 24), uint8_t(v >> 16), uint8_t(v >> 8), uint8_t(v)};
  fwrite(b, 1, 4, f);
}

void putshort_be(int32_t value, FILE* f) {
  uint32_t v = uint32_t(value);
  uint8_t b[2] = {uint8_t(v >> 8), uint8_t(v)};
  fwrite(b, 1, 2, f);
}

void putfixed(FILE* f, float value) {
  // Fraction: low 16 bits of 65536 x value in single precision, truncated;
  // whole part: the value truncated toward zero.
  float scaled = 65536.0f * value;
  int64_t fraction = 0;
  if (scaled > -9.2e18f && scaled < 9.2e18f) fraction = int64_t(scaled);
  int32_t whole = 0;
  if (value > -2147483648.0f && value < 2147483648.0f) whole = int32_t(value);
  putshort(int32_t(fraction & 0xFFFF), f);
  putint(whole, f);
}

int32_t putmany(const void* buffer, int32_t size, int32_t count, FILE* f) {
  if (count < 1) return 0;
  int32_t total = 0;
  if (size == 2) {
    const int16_t* values = static_cast<const int16_t*>(buffer);
    for (int32_t i = 0; i < count; i++) total += putshort(values[i], f);
  } else if (size == 4) {
    const int32_t* values = static_cast<const int32_t*>(buffer);
    for (int32_t i = 0; i < count; i++) total += putint(values[i], f);
  } else if (size == 1) {
    total = int32_t(fwrite(buffer, 1, size_t(count), f));
  } else {
    fatalerror("putmany: bad size");
  }
  return total;
}

void getmany(void* buffer, int32_t size, int32_t count, FILE* f, size_t capacity) {
  if (count < 1) return;
  if (size != 1 && size != 2 && size != 4) {
    readfailure("getmany: bad size");
    return;
  }
  uint64_t bytes = uint64_t(size) * uint64_t(count);
  if (bytes > capacity) {
    readfailure("getmany failed");
    return;
  }
  size_t got = fread(buffer, 1, size_t(bytes), f);
  if (got != bytes) {
    memset(static_cast<uint8_t*>(buffer) + got, 0, size_t(bytes - got));
    readfailure("getmany failed");
    return;
  }
  // The file is little-endian; so is every machine the game runs on (main checks).
}

void put_string(const char* text, FILE* f) {
  int32_t n = 0;
  for (; text[n]; n++) {
    if (n >= MAXSTRING) fatalerror("put_string: string too long");
    fputc(uint8_t(text[n]) ^ STRINGMASK, f);
  }
  if (fputc(STRINGMASK, f) == EOF) writestop("put_string", f);
}

void get_string(char* buffer, size_t size, FILE* f) {
  // Consumes the whole stored text up to its terminator (at most 9999
  // characters), keeping what fits in the destination.
  size_t kept = 0;
  for (int32_t count = 0;; count++) {
    int c = fgetc(f);
    if (c == EOF) {
      if (size > 0) buffer[kept < size ? kept : size - 1] = 0;
      readfailure("getstring failed");
      return;
    }
    uint8_t plain = uint8_t(c) ^ STRINGMASK;
    if (plain == 0) break;
    if (count >= MAXSTRING) {
      if (size > 0) buffer[kept < size ? kept : size - 1] = 0;
      readfailure("get_string: string too long");
      return;
    }
    if (kept + 1 < size) buffer[kept++] = char(plain);
  }
  if (size > 0) buffer[kept] = 0;
}

void put_keystring(const char* text, FILE* f) {
  uint8_t key = KEYSTART;
  int32_t n = 0;
  for (; text[n]; n++) {
    if (n >= 10000) fatalerror("put_string: string too long");
    uint8_t c = uint8_t(text[n]);
    fputc(c ^ key, f);
    key = uint8_t(key + c);
  }
  if (fputc(key, f) == EOF) writestop("put_keystring", f);
}

void get_keystring(char* buffer, FILE* f, int32_t n) {
  if (n < 1) return;
  uint8_t key = KEYSTART;
  int32_t stored = 0;
  for (int32_t count = 0;; count++) {
    int c = fgetc(f);
    if (c == EOF) {
      buffer[stored < n ? stored : n - 1] = 0;
      readfailure("glcs: error reading file");
      return;
    }
    uint8_t plain = uint8_t(c) ^ key;
    key = uint8_t(key + plain);
    if (plain == 0) break;
    if (count > 10000) {
      buffer[stored] = 0;
      readfailure("glcs: error reading file");
      return;
    }
    // Cut to n-1 characters; the rest is consumed so the stream stays in step.
    if (stored < n - 1) buffer[stored++] = char(plain);
  }
  buffer[stored] = 0;
}
