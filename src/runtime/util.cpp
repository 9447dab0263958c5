#include "runtime/util.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/times.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstdarg>
#include <cstring>
#include <ctime>
#include <set>

#include "runtime/alloc.h"
#include "runtime/binio.h"
#include "runtime/fatal.h"
#include "runtime/filesets.h"

namespace {
int64_t tickrate = 100;
float atantable[200];
char capbuffer[250];

void vpath(char* path, int32_t size, const char* format, va_list args) {
  vsnprintf(path, size_t(size), format, args);
  path[size - 1] = 0;
}
}  // namespace

int strlcopy(char* destination, const char* source, int32_t size) {
  if (size < 1) return 0;
  int32_t i = 0;
  for (; i < size - 1 && source[i]; i++) destination[i] = source[i];
  destination[i] = 0;
  return 0;
}

int strlappend(char* destination, const char* source, int32_t size) {
  if (size < 1 || !source[0]) return 0;
  int32_t length = 0;
  while (length < size && destination[length]) length++;
  if (length >= size) {
    destination[size - 1] = 0;
    return 0;
  }
  int32_t i = 0;
  while (length + i < size - 1 && source[i]) {
    destination[length + i] = source[i];
    i++;
  }
  destination[length + i] = 0;
  return 0;
}

void memcopy(void* destination, const void* source, int32_t count) {
  if (count > 0) memmove(destination, source, size_t(count));
}

const char* capfirst(const char* text) {
  if (!text) return nullptr;
  strlcopy(capbuffer, text, sizeof capbuffer);
  if (capbuffer[0] >= 'a' && capbuffer[0] <= 'z') capbuffer[0] = char(capbuffer[0] - 'a' + 'A');
  return capbuffer;
}

int hasextension(const char* name, const char* extension) {
  if (!name || !name[0]) return 0;
  const char* dot = strrchr(name, '.');
  if (!dot) return 0;
  return strcasecmp(dot, extension) == 0;
}

void strippath(const char* path, char* destination, int32_t size) {
  const char* start = path;
  for (const char* p = path; *p; p++)
    if (*p == '/' || *p == '\\') start = p + 1;
  strlcopy(destination, start, size);
}

int fileexists(const char* format, ...) {
  char path[PATHLEN];
  va_list args;
  va_start(args, format);
  vpath(path, PATHLEN, format, args);
  va_end(args);
  // Asked without opening: opening a FIFO for reading waits for a writer.
  struct stat st;
  return stat(path, &st) == 0 && access(path, R_OK) == 0 ? 1 : 0;
}

int direxists(const char* format, ...) {
  char path[PATHLEN];
  va_list args;
  va_start(args, format);
  vpath(path, PATHLEN, format, args);
  va_end(args);
  DIR* d = opendir(path);
  if (!d) return 0;
  closedir(d);
  return 1;
}

int32_t filesize(const char* format, ...) {
  char path[MSGLEN];
  va_list args;
  va_start(args, format);
  vpath(path, MSGLEN, format, args);
  va_end(args);
  struct stat st;
  if (stat(path, &st) != 0 || !S_ISREG(st.st_mode)) return 0;
  FILE* f = fopen(path, "rb");
  if (!f) return 0;
  fclose(f);
  return st.st_size > INT32_MAX ? INT32_MAX : int32_t(st.st_size);
}

int32_t loadfile(const char* path, void* buffer, int32_t n) {
  UniqueFile f = openquiet(path, "rb");
  if (!f) {
    char message[MSGLEN];
    if (errno == ENOTAFILE) formatbounded(message, sizeof message, "%s", fileproblem(path, errno).c_str());
    else formatbounded(message, sizeof message, "error opening %s", path);
    fatalerror(message);
    return 0;
  }
  if (n < 1) return 0;
  return int32_t(fread(buffer, 1, size_t(n), f.get()));
}

void savefile(const char* path, const void* buffer, int32_t n) {
  UniqueFile out = openquiet(path, "wb");
  if (!out) {
    filestop("savefile: error opening file", path, errno);
  }
  int32_t written = n > 0 ? int32_t(fwrite(buffer, 1, size_t(n), out.get())) : 0;
  int err = written < n ? errno : 0;
  if (fclose(out.release()) != 0 && written == n) written = 0, err = errno;
  if (written < n || (n > 0 && written == 0)) {
    printf("%d/%d\n", written, n);
    fflush(stdout);
    filestop("savefile: error writing to file", path, err ? err : EIO);
  }
}

void savetextfile(const char* path, const char* text) { savefile(path, text, int32_t(strlen(text))); }

void loadtextfile(const char* path, char* buffer) {
  int32_t n = loadfile(path, buffer, 1000);
  if (n > 999) n = 999;
  if (n < 0) n = 0;
  buffer[n] = 0;
  while (n > 0 && (buffer[n - 1] == '\r' || buffer[n - 1] == '\n')) buffer[--n] = 0;
}

int32_t copyfile(const char* source, const char* destination) {
  UniqueFile in = openfile(source, "rb");
  if (!in) return -1;
  UniqueFile out = openfile(destination, "wb");
  if (!out) return -2;
  char* chunk = static_cast<char*>(mymalloc(10000));
  int32_t total = 0, result = 0;
  for (;;) {
    size_t n = fread(chunk, 1, 10000, in.get());
    if (n == 0) break;
    if (fwrite(chunk, 1, n, out.get()) != n) {
      result = -3;
      break;
    }
    total += int32_t(n);
  }
  myfree(chunk);
  // A copy cut short by a read error is no copy.
  if (result == 0 && ferror(in.get())) result = -4;
  if (fclose(out.release()) != 0 && result == 0) result = -3;
  if (result < 0) {
    unlink(destination);
    return result;
  }
  return total;
}

uint32_t getms() {
  struct tms unused;
  return tickstoms(uint64_t(times(&unused)), tickrate);
}

uint32_t tickstoms(uint64_t ticks, int64_t rate) {
  // 64-bit product, wrapped to 32 bits, so unsigned differences stay right.
  if (rate < 1) rate = 100;
  return uint32_t((ticks * 1000u) / uint64_t(rate));
}

uint32_t timems() { return getms(); }

void sleepms(int32_t milliseconds) {
  if (milliseconds < 0) milliseconds = 0;
  struct timespec t;
  t.tv_sec = milliseconds / 1000;
  t.tv_nsec = long(milliseconds % 1000) * 1000000L;
  nanosleep(&t, nullptr);
}

uint32_t peekle16(const uint8_t* p) { return uint32_t(p[0]) | uint32_t(p[1]) << 8; }
uint32_t peekbe16(const uint8_t* p) { return uint32_t(p[0]) << 8 | uint32_t(p[1]); }
uint32_t peekbe32(const uint8_t* p) {
  return uint32_t(p[0]) << 24 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 8 | uint32_t(p[3]);
}
void pokebe32(uint32_t value, uint8_t* p) {
  p[0] = uint8_t(value >> 24);
  p[1] = uint8_t(value >> 16);
  p[2] = uint8_t(value >> 8);
  p[3] = uint8_t(value);
}

int32_t iabs(int32_t a) { return a < 0 ? -a : a; }
int32_t imin(int32_t a, int32_t b) { return a < b ? a : b; }
int32_t imax(int32_t a, int32_t b) { return a > b ? a : b; }
float maxf(float a, float b) { return a > b ? a : b; }

void initmathtables() {
  long rate = sysconf(_SC_CLK_TCK);
  tickrate = rate > 0 ? rate : 100;
  for (int k = 0; k < 200; k++) atantable[k] = float(atan(k * 0.1));
}

float fastatan(float x) {
  // Beyond |x| = 19.9 the table is flat; clamping first keeps a huge or
  // non-number x from an undefined conversion to int.
  if (!(x == x)) return 0.0f;
  if (x > 100.0f) x = 100.0f;
  if (x < -100.0f) x = -100.0f;
  if (atantable[1] == 0.0f) initmathtables();
  int32_t k = int32_t(10.0f * x);
  if (k >= 0) {
    if (k > 198) return atantable[199];
    float f = 10.0f * x - float(k);
    return (1 - f) * atantable[k] + f * atantable[k + 1];
  }
  int32_t j = -k;
  if (j > 198) return -atantable[199];
  float f = 10.0f * (-x) - float(j);
  return -((1 - f) * atantable[j] + f * atantable[j + 1]);
}

namespace {
// Flags of open() for an fopen mode; -1 for a mode that fopen refuses.
int openflags(const char* mode) {
  const bool both = strchr(mode, '+') != nullptr;
  switch (mode[0]) {
    case 'r': return both ? O_RDWR : O_RDONLY;
    case 'w': return (both ? O_RDWR : O_WRONLY) | O_CREAT;
    case 'a': return (both ? O_RDWR : O_WRONLY) | O_CREAT | O_APPEND;
    default: return -1;
  }
}
}  // namespace

UniqueFile openquiet(const char* path, const char* mode) {
  const int flags = openflags(mode);
  if (!path || flags < 0) {
    errno = EINVAL;
    return nullptr;
  }
  // Looked at before opening (opening some devices does something), and the
  // opened file again, in case the path changed in between. O_NONBLOCK keeps
  // the open of a FIFO from waiting for its other end.
  struct stat st;
  if (stat(path, &st) == 0 && !S_ISREG(st.st_mode)) {
    errno = ENOTAFILE;
    return nullptr;
  }
  const int fd = open(path, flags | O_NONBLOCK | O_CLOEXEC, 0644);
  if (fd < 0) return nullptr;
  if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    close(fd);
    errno = ENOTAFILE;
    return nullptr;
  }
  const int status = fcntl(fd, F_GETFL);
  if (status != -1) fcntl(fd, F_SETFL, status & ~O_NONBLOCK);
  // O_TRUNC only now that the file is known to be a plain one.
  if (mode[0] == 'w' && ftruncate(fd, 0) != 0) {
    const int err = errno;
    close(fd);
    errno = err;
    return nullptr;
  }
  FILE* f = fdopen(fd, mode);
  if (!f) {
    const int err = errno;
    close(fd);
    errno = err;
  }
  return UniqueFile(f);
}

UniqueFile openfile(const char* path, const char* mode) {
  UniqueFile f = openquiet(path, mode);
  // Said once for each path: a host or a screen may try the same file again.
  // A soft reader tells its own failures, with the file and the cause.
  static std::set<std::string> told;
  if (!f && errno == ENOTAFILE) {
    if (!softreading() && told.size() < 1000 && told.insert(path).second)
      printf("%s\n", fileproblem(path, ENOTAFILE).c_str());
    errno = ENOTAFILE;
  }
  return f;
}

namespace {
// What happened, in the program's words, for the causes that a read and a
// write share: every error that the file calls of the program can meet.
struct CauseWords {
  int err;
  const char* words;
};
constexpr CauseWords causewords[] = {
    {ENOTAFILE, "not a file"},
    {EISDIR, "a folder stands in its place"},
    {ELOOP, "its symbolic links go round in a loop"},
    {EEXIST, "a file of that name stands there, which this program did not make"},
    {ENOENT, "there is no such file or folder"},
    {ENOTDIR, "a part of its path is a file, not a folder"},
    {ENAMETOOLONG, "its name is too long"},
    {ENOTEMPTY, "the folder is not empty"},
    {EXDEV, "it lies on another file system"},
    {EBUSY, "the system is using it"},
    {ETXTBSY, "it is a program that is running"},
    {EMLINK, "it has as many links as the file system allows"},
    {ENOMEM, "there was not enough memory"},
    {EMFILE, "this program has too many files open"},
    {ENFILE, "the system has too many files open"},
    {ENOLCK, "the system has no lock to give"},
    {EAGAIN, "another program holds it for the moment"},
    {EINTR, "a signal broke off the call"},
    {EINVAL, "the file system does not take that name or call"},
    {EOPNOTSUPP, "the file system cannot do that"},
    {ENOSYS, "the system cannot do that"},
    {EOVERFLOW, "it is too large to be read here"},
    {EBADF, "it was not open for that"},
    {ESTALE, "the file server no longer knows it (it was removed or replaced there)"},
    {ETIMEDOUT, "the file server did not answer in time"},
    {ENOTCONN, "the file system is no longer connected"},
    {ENETDOWN, "the file server cannot be reached"},
    {ENETUNREACH, "the file server cannot be reached"},
    {EHOSTDOWN, "the file server cannot be reached"},
    {EHOSTUNREACH, "the file server cannot be reached"},
    {ECONNREFUSED, "the file server cannot be reached"},
    {ECONNRESET, "the connection to the file server broke off"},
    {EREMOTEIO, "the file server reported an error"},
    {EUCLEAN, "the file system is damaged"},
    {EBADMSG, "the file system is damaged"},
    {ENXIO, "the device is not there"},
    {ENODEV, "the device is not there"},
    {ENOMEDIUM, "there is no disc in the drive"},
    {ENOKEY, "the folder is encrypted and its key is not loaded"},
    {ENOSPC, "the disc is full"},
    {EDQUOT, "the disc is full"},
    {EFBIG, "the disc is full"},
    {EROFS, "the disc is read-only"},
    {EACCES, "no permission"},
    {EPERM, "no permission"},
    {EIO, "the disc reported an error"},
};

const char* sharedcause(int err) {
  for (const CauseWords& c : causewords)
    if (c.err == err) return c.words;
  // An error that no file call of the program is known to meet: its number.
  static thread_local char unknown[64];
  formatbounded(unknown, sizeof unknown, "the system reported error %d", err);
  return unknown;
}
}  // namespace

const char* filecause(int err) {
  switch (err) {
    case EROFS: return "cannot be written: the disc is read-only";
    case EACCES:
    case EPERM: return "cannot be written: no permission";
    default: return sharedcause(err);
  }
}

const char* readcause(int err) { return err == EIO ? "the disc reported an error while reading" : sharedcause(err); }

namespace {
// What stands at the path when it is no plain file; nullptr for a file or
// nothing.
const char* notafilekind(const char* path) {
  struct stat st;
  if (!path || stat(path, &st) != 0 || S_ISREG(st.st_mode)) return nullptr;
  if (S_ISDIR(st.st_mode)) return "it is a folder, not a file";
  if (S_ISFIFO(st.st_mode)) return "it is a FIFO, not a file";
  if (S_ISSOCK(st.st_mode)) return "it is a socket, not a file";
  return "it is a device, not a file";
}
}  // namespace

std::string readproblem(const char* path, int err) {
  const char* kind = notafilekind(path);
  return kind ? kind : readcause(err);
}

bool notafile(const char* path) { return notafilekind(path) != nullptr; }

std::string fileproblem(const char* path, int err) {
  const char* kind = err == ENOTAFILE ? notafilekind(path) : nullptr;
  return std::string(path ? path : "") + ": " + (kind ? kind : filecause(err));
}

void filestop(const char* message, const char* path, int err) {
  fatalerror((std::string(message) + ": " + fileproblem(path, err)).c_str());
  abort();   // fatalerror returns only when nested too deep
}

int formatbounded(char* destination, int32_t size, const char* format, ...) {
  if (size < 1) return 0;
  va_list args;
  va_start(args, format);
  int n = vsnprintf(destination, size_t(size), format, args);
  va_end(args);
  destination[size - 1] = 0;
  return n;
}

namespace {
// The stream of a SafeWrite writes through these, so that the errno of a
// failed write is kept (stdio keeps only an error flag).
ssize_t safewritebytes(void* cookie, const char* bytes, size_t length) {
  SafeWrite::Sink& sink = *static_cast<SafeWrite::Sink*>(cookie);
  size_t done = 0;
  while (done < length) {
    const ssize_t n = ::write(sink.fd, bytes + done, length - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      if (sink.failure == 0) sink.failure = n < 0 ? errno : EIO;
      return done > 0 ? ssize_t(done) : -1;
    }
    done += size_t(n);
  }
  return ssize_t(done);
}
int safewriteseek(void* cookie, off64_t* position, int whence) {
  const off64_t at = lseek64(static_cast<SafeWrite::Sink*>(cookie)->fd, *position, whence);
  if (at < 0) return -1;
  *position = at;
  return 0;
}
int safewriteclose(void* cookie) {
  SafeWrite::Sink& sink = *static_cast<SafeWrite::Sink*>(cookie);
  const int result = close(sink.fd);
  if (result != 0 && sink.failure == 0) sink.failure = errno;
  sink.fd = -1;
  return result;
}
}  // namespace

SafeWrite::SafeWrite(const char* path, bool durable) : durable(durable) {
  strlcopy(target, path, sizeof target);
  // What a stopped write left in this folder goes with the first write.
  char folder[PATHLEN];
  strlcopy(folder, target, sizeof folder);
  char* slash = strrchr(folder, '/');
  if (slash) *slash = 0;
  settlefolderonce(slash ? (folder[0] ? folder : "/") : ".");
  strlcopy(temporary, tempname(target).c_str(), sizeof temporary);
  // Made anew, never through a link, and held while it is written.
  const int fd = opennewfile(temporary);
  FILE* plain = fd >= 0 ? fdopen(fd, "wb") : nullptr;
  if (!plain) {
    sink.failure = errno;
    if (fd >= 0) {
      close(fd);
      unlink(temporary);
    }
    return;
  }
  sink.fd = dup(fileno(plain));
  fclose(plain);
  if (sink.fd >= 0) file = fopencookie(&sink, "wb", {nullptr, safewritebytes, safewriteseek, safewriteclose});
  if (!file) {
    sink.failure = errno;
    if (sink.fd >= 0) close(sink.fd);
    sink.fd = -1;
    unlink(temporary);
  }
}

SafeWrite::~SafeWrite() {
  if (file) {
    fclose(file);
    unlink(temporary);
  }
}

bool SafeWrite::commit() {
  if (!file) {
    errno = sink.failure;
    return false;
  }
  // The first failure's errno is kept: later steps fail for its sake.
  auto check = [this](bool good) {
    if (!good && sink.failure == 0) sink.failure = errno ? errno : EIO;
    return good;
  };
  errno = 0;
  bool good = check(fflush(file) == 0) && check(!ferror(file));
  // On the disk before the rename, so that a power loss never puts an
  // empty file in place of the old one.
  good = good && (!durable || check(fdatasync(sink.fd) == 0));
  good = check(fclose(file) == 0) && good;
  file = nullptr;
  killpoint();
  if (good && check(rename(temporary, target) == 0)) {
    killpoint();
    return true;
  }
  unlink(temporary);
  errno = sink.failure;
  return false;
}
