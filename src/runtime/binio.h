// Binary file primitives: the only way binary files are written and read.
// Little-endian integers, a 6-byte fixed-point float and two scrambled string
// encodings. Integer reads that come up short give 0; other failures stop the
// program, unless a SoftReadScope is active (order files and other untrusted
// input), in which case they set binreadfailed and return harmless values.
#pragma once
#include <cstdint>
#include <cstdio>
#include <functional>
#include <vector>

#include "runtime/short.h"
#include "runtime/util.h"

// The one-byte mask of plain strings and the starting key of keyed strings.
// Both have the high bit set, so scrambled plain text never forms ASCII markers.
constexpr uint8_t STRINGMASK = 0xC5;
constexpr uint8_t KEYSTART = 0xB3;
constexpr int32_t MAXSTRING = 9999;       // characters of put_string/get_string
constexpr int32_t READWHYLEN = 200;       // bytes of a read failure's tag

int32_t getint(FILE* f);
// Up to n bytes; a short read marks a soft read as failed. The count read.
size_t getraw(void* bytes, size_t n, FILE* f);
int32_t getshort(FILE* f);   // 0..65535
int32_t getsbyte(FILE* f);   // sign-extended
int32_t getbyte(FILE* f);    // 0..255
float getfixed(FILE* f);

int32_t putint(int32_t value, FILE* f);
int32_t putshort(int32_t value, FILE* f);
int32_t putbyte(int32_t value, FILE* f);
void putint_be(int32_t value, FILE* f);
void putshort_be(int32_t value, FILE* f);
void putfixed(FILE* f, float value);

// size is 1, 2 or 4; values are little-endian in the file.
int32_t putmany(const void* buffer, int32_t size, int32_t count, FILE* f);
// Reads size*count bytes into a destination of capacity bytes; a size other
// than 1, 2, 4, or more than capacity, stops before anything is read.
void getmany(void* buffer, int32_t size, int32_t count, FILE* f, size_t capacity);

void put_string(const char* text, FILE* f);
// Reads to the terminator; keeps at most size-1 characters, always terminated.
void get_string(char* buffer, size_t size, FILE* f);
void put_keystring(const char* text, FILE* f);
// Keyed string into at most n bytes (cut to n-1 characters); the rest of a
// cut text is consumed so the stream stays in step.
void get_keystring(char* buffer, FILE* f, int32_t n);

// Untrusted input: while a scope is alive, read failures set binreadfailed
// (also short integer reads) instead of stopping the program.
extern int32_t binreadfailed;
struct SoftReadScope {
  SoftReadScope();
  ~SoftReadScope();
  SoftReadScope(const SoftReadScope&) = delete;
  SoftReadScope& operator=(const SoftReadScope&) = delete;
 private:
  int32_t saved;
  int32_t savedfailed;
  char savedwhy[READWHYLEN] = "";
};
bool softreading();
// A reader's failure with its tag: under a SoftReadScope it is marked (the
// first one kept as readfailwhy); otherwise it stops the program, naming the
// file of a ReadingFileScope beside the tag.
void readfailure(const char* message);
// Why the current soft read failed: the first failure's tag ("getstring
// failed", "the file ends early"), or "" while it has not.
const char* readfailwhy();
// The file that the readers read while the scope lives (the path is not copied).
struct ReadingFileScope {
  explicit ReadingFileScope(const char* path);
  ~ReadingFileScope();
  ReadingFileScope(const ReadingFileScope&) = delete;
  ReadingFileScope& operator=(const ReadingFileScope&) = delete;
 private:
  const char* saved;
};

// ---------------------------------------------------------------- files in memory
// Game files are put together in memory and reach the disc in one write, and
// are read from memory after one read: a file of a million fields costs a
// million steps through a buffer, not a million calls into the system.

// The bytes that `write` puts into a stream.
std::vector<uint8_t> streambytes(const std::function<void(FILE*)>& write);

// A stream that gathers what is written to it in memory. take() ends the
// stream and hands over the bytes; they are empty when the stream failed or
// memory ran out, which ok() tells before and after take().
class ByteSink {
 public:
  ByteSink();
  ~ByteSink();
  ByteSink(const ByteSink&) = delete;
  ByteSink& operator=(const ByteSink&) = delete;
  FILE* stream() const { return f_; }
  bool ok() const;
  std::vector<uint8_t> take();
  struct Bytes;
 private:
  Bytes* bytes_;
  FILE* f_;
};

// The rest of an open file read into memory at once, as a stream that reads
// from there (the bytes are freed when it closes). Its positions are those
// of the file. The file itself when there is no memory for it, when it is
// not a plain file, or when the rest is larger than MEMORYFILELIMIT (beyond
// the world of any game: a damaged or hostile file so large is read from the
// disc as far as its readers go, not taken into memory whole).
constexpr int64_t MEMORYFILELIMIT = int64_t(64) << 20;
UniqueFile restinmemory(UniqueFile file);

// A stream that reads the given bytes, as restinmemory's do; none when
// there is no memory for it.
UniqueFile memorystream(std::vector<uint8_t> bytes);
