#include "runtime/binio.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <new>

#include "runtime/fatal.h"
#include "runtime/util.h"

int32_t binreadfailed = 0;

namespace {
int32_t softdepth = 0;
// The first failure of the current soft read, and the file being read.
char failwhy[READWHYLEN] = "";
const char* readingpath = nullptr;

constexpr const char* ENDSEARLY = "the file ends early";
constexpr const char* DISCFULL = "Can't write to file! Disc full???";

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

// The byte reads and writes below take the stream's buffer directly
// (getc_unlocked and putc_unlocked are a few instructions while the buffer
// lasts): a file of a million fields costs a million buffer steps, not a
// million library calls. A stream is only ever used by one thread.

// Up to n bytes, one at a time; the count read.
inline size_t takebytes(uint8_t* bytes, size_t n, FILE* f) {
  for (size_t i = 0; i < n; i++) {
    const int c = getc_unlocked(f);
    if (c == EOF) return i;
    bytes[i] = uint8_t(c);
  }
  return n;
}

// Writes n bytes; the count written.
inline int32_t givebytes(const uint8_t* bytes, int32_t n, FILE* f) {
  int32_t written = 0;
  for (int32_t i = 0; i < n; i++) written += putc_unlocked(bytes[i], f) != EOF;
  return written;
}

// Reads n bytes; a short read marks a soft read as failed (the value is 0).
bool readbytes(uint8_t* bytes, size_t n, FILE* f) {
  if (takebytes(bytes, n, f) == n) return true;
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
  size_t got = n <= 16 ? takebytes(static_cast<uint8_t*>(bytes), n, f) : fread_unlocked(bytes, 1, n, f);
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
  return givebytes(b, 4, f);
}

int32_t putshort(int32_t value, FILE* f) {
  uint32_t v = uint32_t(value);
  uint8_t b[2] = {uint8_t(v), uint8_t(v >> 8)};
  return givebytes(b, 2, f);
}

int32_t putbyte(int32_t value, FILE* f) { return putc_unlocked(uint8_t(value), f) != EOF ? 1 : 0; }

void putint_be(int32_t value, FILE* f) {
  uint32_t v = uint32_t(value);
  uint8_t b[4] = {uint8_t(v >> 24), uint8_t(v >> 16), uint8_t(v >> 8), uint8_t(v)};
  givebytes(b, 4, f);
}

void putshort_be(int32_t value, FILE* f) {
  uint32_t v = uint32_t(value);
  uint8_t b[2] = {uint8_t(v >> 8), uint8_t(v)};
  givebytes(b, 2, f);
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
  if (size != 1 && size != 2 && size != 4) {
    fatalerror("putmany: bad size");
    return 0;
  }
  // The values stand little-endian in memory as in the file (main checks
  // the byte order), so they are written as they stand, in one write.
  return int32_t(fwrite_unlocked(buffer, 1, size_t(size) * size_t(count), f));
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
  size_t got = fread_unlocked(buffer, 1, size_t(bytes), f);
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
    putc_unlocked(uint8_t(text[n]) ^ STRINGMASK, f);
  }
  if (putc_unlocked(STRINGMASK, f) == EOF) writestop(DISCFULL, f);
}

void get_string(char* buffer, size_t size, FILE* f) {
  // Consumes the whole stored text up to its terminator (at most 9999
  // characters), keeping what fits in the destination.
  size_t kept = 0;
  for (int32_t count = 0;; count++) {
    int c = getc_unlocked(f);
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
    putc_unlocked(c ^ key, f);
    key = uint8_t(key + c);
  }
  if (putc_unlocked(key, f) == EOF) writestop(DISCFULL, f);
}

void get_keystring(char* buffer, FILE* f, int32_t n) {
  if (n < 1) return;
  uint8_t key = KEYSTART;
  int32_t stored = 0;
  for (int32_t count = 0;; count++) {
    int c = getc_unlocked(f);
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

// ---------------------------------------------------------------- files in memory

struct ByteSink::Bytes {
  std::vector<uint8_t> bytes;
  size_t at = 0;        // a reader's next byte
  int64_t base = 0;     // a reader's file position of the first byte
  bool failed = false;  // a writer ran out of memory, or its stream failed
};

namespace {
using Bytes = ByteSink::Bytes;

ssize_t appendbytes(void* cookie, const char* from, size_t n) {
  Bytes& m = *static_cast<Bytes*>(cookie);
  try {
    m.bytes.insert(m.bytes.end(), from, from + n);
  } catch (const std::bad_alloc&) {
    m.failed = true;
    return 0;
  }
  return ssize_t(n);
}

ssize_t givebytesout(void* cookie, char* to, size_t n) {
  Bytes& m = *static_cast<Bytes*>(cookie);
  const size_t left = m.bytes.size() - m.at;
  if (n > left) n = left;
  memcpy(to, m.bytes.data() + m.at, n);
  m.at += n;
  return ssize_t(n);
}

// A writer is only ever at its end (ftell asks where that is); a reader
// moves anywhere within the bytes it holds.
int seekwritten(void* cookie, off64_t* offset, int whence) {
  const Bytes& m = *static_cast<Bytes*>(cookie);
  const off64_t end = off64_t(m.bytes.size());
  const off64_t to = whence == SEEK_SET ? *offset : end + *offset;
  if (to != end) return -1;
  *offset = to;
  return 0;
}

int seekheld(void* cookie, off64_t* offset, int whence) {
  Bytes& m = *static_cast<Bytes*>(cookie);
  const off64_t end = off64_t(m.base) + off64_t(m.bytes.size());
  const off64_t to = whence == SEEK_SET ? *offset : whence == SEEK_CUR ? off64_t(m.base) + off64_t(m.at) + *offset
                                                                         : end + *offset;
  if (to < m.base || to > end) return -1;
  m.at = size_t(to - m.base);
  *offset = to;
  return 0;
}

int freeheld(void* cookie) {
  delete static_cast<Bytes*>(cookie);
  return 0;
}
}  // namespace

namespace {
// Files are written in runs of like size (a world file, then every turn
// file): room for as many bytes as the last one took is made at once, so
// that the bytes are not copied, nor fresh memory touched, again and again
// as they grow.
thread_local size_t lastsize = 0;
}  // namespace

ByteSink::ByteSink() : bytes_(new Bytes), f_(fopencookie(bytes_, "wb", {nullptr, appendbytes, seekwritten, nullptr})) {
  if (!f_) bytes_->failed = true;
  try {
    bytes_->bytes.reserve(std::max<size_t>(lastsize, 65536));
  } catch (const std::bad_alloc&) {
  }
}

ByteSink::~ByteSink() {
  if (f_) fclose(f_);
  delete bytes_;
}

bool ByteSink::ok() const { return !bytes_->failed && (!f_ || !ferror(f_)); }

std::vector<uint8_t> ByteSink::take() {
  if (f_) {
    // The last bytes reach memory only here, and may find none.
    if (fflush(f_) != 0 || ferror(f_)) bytes_->failed = true;
    fclose(f_);
    f_ = nullptr;
  }
  if (bytes_->failed) return {};
  lastsize = bytes_->bytes.size();
  return std::move(bytes_->bytes);
}

std::vector<uint8_t> streambytes(const std::function<void(FILE*)>& write) {
  ByteSink sink;
  if (!sink.stream()) fatalerror("No memory for a file");
  write(sink.stream());
  if (!sink.ok()) fatalerror("No memory for a file");
  return sink.take();
}

namespace {
UniqueFile heldstream(Bytes* held) {
  FILE* memory = fopencookie(held, "rb", {givebytesout, nullptr, seekheld, freeheld});
  if (!memory) delete held;
  return UniqueFile(memory);
}
}  // namespace

UniqueFile memorystream(std::vector<uint8_t> bytes) {
  auto* held = new (std::nothrow) Bytes;
  if (!held) return nullptr;
  held->bytes = std::move(bytes);
  return heldstream(held);
}

UniqueFile restinmemory(UniqueFile file) {
  if (!file) return file;
  FILE* f = file.get();
  const long at = ftell(f);
  struct stat st;
  if (at < 0 || fstat(fileno(f), &st) != 0 || !S_ISREG(st.st_mode) || st.st_size - at > MEMORYFILELIMIT) return file;
  auto* held = new (std::nothrow) Bytes;
  if (!held) return file;
  held->base = at;
  try {
    held->bytes.resize(st.st_size > at ? size_t(st.st_size - at) : 0);
  } catch (const std::bad_alloc&) {
    delete held;
    return file;
  }
  // One read for the rest (what the stream already buffered comes first);
  // a file cut short or unreadable ends early, as it would have.
  held->bytes.resize(fread_unlocked(held->bytes.data(), 1, held->bytes.size(), f));
  UniqueFile memory = heldstream(held);
  if (!memory) {
    fseek(f, at, SEEK_SET);
    return file;
  }
  return memory;
}
