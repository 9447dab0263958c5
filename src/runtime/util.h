// Small routines shared by the whole system: bounded strings, files with
// printf-style paths, the millisecond clock, byte-order peeks and integer helpers.
#pragma once
#include <cstdio>
#include <memory>
#include <string>
#include "runtime/short.h"

int strlcopy(char* destination, const char* source, int32_t size);
int strlappend(char* destination, const char* source, int32_t size);
void memcopy(void* destination, const void* source, int32_t count);
const char* capfirst(const char* text);
int hasextension(const char* name, const char* extension);
void strippath(const char* path, char* destination, int32_t size);

int fileexists(const char* format, ...) __attribute__((format(printf, 1, 2)));
int direxists(const char* format, ...) __attribute__((format(printf, 1, 2)));
int32_t filesize(const char* format, ...) __attribute__((format(printf, 1, 2)));
int32_t loadfile(const char* path, void* buffer, int32_t n);
void savefile(const char* path, const void* buffer, int32_t n);
void savetextfile(const char* path, const char* text);
void loadtextfile(const char* path, char* buffer);   // buffer of at least 1000 bytes
// The number of bytes copied; -1 the source cannot be opened, -2 the
// destination cannot be made, -3 a write fell short, -4 a read failed (the
// destination is removed after -3 and -4).
int32_t copyfile(const char* source, const char* destination);

// getms: get milliseconds.
uint32_t getms();
// Clock ticks at the given rate as milliseconds: 64-bit product, wrapped to 32 bits.
uint32_t tickstoms(uint64_t ticks, int64_t rate);
uint32_t timems();
void sleepms(int32_t milliseconds);

uint32_t peekle16(const uint8_t* p);
uint32_t peekbe16(const uint8_t* p);
uint32_t peekbe32(const uint8_t* p);
void pokebe32(uint32_t value, uint8_t* p);

int32_t iabs(int32_t a);
int32_t imin(int32_t a, int32_t b);
int32_t imax(int32_t a, int32_t b);
float maxf(float a, float b);
float fastatan(float x);
void initmathtables();

// Formats into a bounded buffer (always terminated, cut when too long).
int formatbounded(char* destination, int32_t size, const char* format, ...) __attribute__((format(printf, 3, 4)));

// A stdio stream that closes itself.
struct FileCloser {
  void operator()(FILE* f) const { if (f) fclose(f); }
};
using UniqueFile = std::unique_ptr<FILE, FileCloser>;

// The errno of a path that names no plain file: a folder, a FIFO or a device.
constexpr int ENOTAFILE = 4096;
// Opens a file as fopen does (modes "r", "w", "a", with "b" and "+"), but only
// a plain file: a FIFO, a device or a folder in its place is refused at once,
// never waited on or read for ever, with errno ENOTAFILE. Every reader and
// writer of the program's files opens them here. openfile also prints
// "<path>: it is a FIFO, not a file" (a folder, a device) for such a
// refusal, but to a soft reader (SoftReadScope), which tells its own
// failures; openquiet leaves the report to its caller.
UniqueFile openfile(const char* path, const char* mode);
UniqueFile openquiet(const char* path, const char* mode);
// Why a file could not be read or written, as a player reads it, in the
// program's words for every error that a file call can meet ("a folder
// stands in its place" for EISDIR, "the disc is full" for ENOSPC, EDQUOT
// and EFBIG, "the disc reported an error" for EIO, "a file of that name
// stands there, which this program did not make" for EEXIST), "cannot be
// written: ..." for a read-only disc or folder (EROFS, EACCES, EPERM), and
// the error's number for one that none is known to meet.
const char* filecause(int err);
// The same for a reading: "no permission", "the disc reported an error
// while reading" (the write causes of filecause do not fit a reading).
const char* readcause(int err);
// The same for a path that stands (lstat finds it) but did not read with
// err: what stands there when it is no plain file ("it is a folder, not a
// file", "it is a FIFO, not a file", a device, a socket), else readcause.
std::string readproblem(const char* path, int err);
// True when the path names something that is no plain file (a folder, a
// FIFO, a device): such a path is never read as a file.
bool notafile(const char* path);
// "<path>: <filecause>", for a path that is no plain file (ENOTAFILE) what
// stands there, as readproblem says it.
std::string fileproblem(const char* path, int err);
// Stops the program (fatalerror) with "<message>: <path>: <filecause>": the
// stop's own words, then which file and why.
[[noreturn]] void filestop(const char* message, const char* path, int err);

// Writes a file whole or not at all: the bytes go to a new file in the same
// folder, which commit() renames over the target. Without commit() (an early
// return, an error) the new file is removed and the old one stays as it was.
// A durable write is flushed to the disc before the rename, so that a power
// loss never puts an empty file in its place; a temp file needs no flush.
class SafeWrite {
 public:
  explicit SafeWrite(const char* path, bool durable = true);
  ~SafeWrite();
  SafeWrite(const SafeWrite&) = delete;
  SafeWrite& operator=(const SafeWrite&) = delete;
  FILE* stream() const { return file; }
  bool ok() const { return file != nullptr; }
  // Flushes, checks for write errors and renames; false (and nothing
  // changed, errno that of the first failure) on any failure.
  bool commit();
  // The errno of the first failure (0 while none); fileproblem(path, error())
  // names the file and the cause.
  int error() const { return sink.failure; }

  // Where the stream's bytes go, and the errno of the first failure.
  struct Sink {
    int fd = -1;
    int failure = 0;
  };

 private:
  FILE* file = nullptr;
  Sink sink;
  char target[PATHLEN] = {};
  char temporary[PATHLEN + 16] = {};
  bool durable = true;
};
