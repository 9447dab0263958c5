/* A fault for the fault-injection runs (scripts/fault-inject.sh), loaded
 * into the game with LD_PRELOAD. It counts the calls that change files
 * (opens for writing, writes, renames, flushes to the disc) and at the Nth
 * one either fails it with an error or kills the process (SIGKILL):
 *
 *   VEY3_FAULT=KIND:N[:ERROR]
 *     KIND   open, write, rename, sync: fail the Nth call of that kind;
 *            kill: SIGKILL before the Nth counted call of any kind.
 *     ERROR  ENOSPC (the default), EIO, EACCES, EROFS, EDQUOT.
 *   VEY3_FAULTCOUNT=FILE  writes the calls counted by kind at exit, and
 *     when the last one came (milliseconds of the wall clock), for choosing
 *     N and a time ("open 12 write 340 rename 9 sync 11 all 372 last
 *     1733650000123").
 *
 * Only calls that change files count: opens for writing of a path that is
 * a file or is made by the open, writes to files (not to the console, pipes,
 * sockets or devices), stream calls on streams open for writing to a file,
 * renames and syncs. Libraries read their settings through streams and wake
 * their threads through pipes; counted, those calls came in numbers that
 * changed from run to run and left the calls of the game's own saves a
 * small share of them. stdio is caught at its own calls (fwrite, fputs,
 * fputc, fprintf, fflush, fclose), as glibc's stdio writes through its own
 * internal calls. The calls caught are those that the game's programs
 * import (nm -D).
 */
#define _GNU_SOURCE
#include <dlfcn.h>
#include <errno.h>
#include <fcntl.h>
#include <signal.h>
#include <stdarg.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

enum { K_OPEN, K_WRITE, K_RENAME, K_SYNC, K_KINDS };
static const char *kindnames[K_KINDS] = {"open", "write", "rename", "sync"};

static long counts[K_KINDS], total;
static long long lastcall; /* wall clock ms of the last call counted */
static int faultkind = -2; /* -2 not read yet, -1 none, K_KINDS for kill, -3 not counting */
static long faultat;
static int faulterror = ENOSPC;

static void readfault(void) {
  if (faultkind != -2) return;
  faultkind = -1;
  /* Only the program it was put into: the programs that it starts (a shell
     of system()) inherit the library but neither count nor fail. */
  char self[24];
  snprintf(self, sizeof self, "%d", (int)getpid());
  const char *owner = getenv("VEY3_FAULTPID");
  if (owner && strcmp(owner, self) != 0) {
    faultkind = -3;
    return;
  }
  setenv("VEY3_FAULTPID", self, 1);
  const char *v = getenv("VEY3_FAULT");
  if (!v || !*v) return;
  char kind[16] = "", error[16] = "";
  long n = 0;
  if (sscanf(v, "%15[a-z]:%ld:%15[A-Z]", kind, &n, error) < 2 || n < 1) return;
  for (int k = 0; k < K_KINDS; k++)
    if (strcmp(kind, kindnames[k]) == 0) faultkind = k;
  if (strcmp(kind, "kill") == 0) faultkind = K_KINDS;
  faultat = n;
  static const struct { const char *name; int value; } errors[] = {
      {"ENOSPC", ENOSPC}, {"EIO", EIO}, {"EACCES", EACCES}, {"EROFS", EROFS}, {"EDQUOT", EDQUOT}};
  for (size_t i = 0; i < sizeof errors / sizeof errors[0]; i++)
    if (strcmp(error, errors[i].name) == 0) faulterror = errors[i].value;
}

/* Counts one call; 1 when it is to fail (errno set). */
static int fault(int kind) {
  readfault();
  if (faultkind == -3) return 0;
  counts[kind]++;
  total++;
  struct timespec now;
  clock_gettime(CLOCK_REALTIME, &now);
  lastcall = (long long)now.tv_sec * 1000 + now.tv_nsec / 1000000;
  if (faultkind == K_KINDS && total == faultat) raise(SIGKILL);
  if (faultkind == kind && counts[kind] == faultat) {
    errno = faulterror;
    return 1;
  }
  return 0;
}

static int writingflags(int flags) { return (flags & (O_WRONLY | O_RDWR | O_CREAT | O_TRUNC | O_APPEND)) != 0; }
static int writingmode(const char *mode) { return mode && strpbrk(mode, "wa+") != NULL; }
/* A path that is a file, or none yet (the open makes it): not a device or folder. */
static int filepath(const char *path) {
  struct stat st;
  return stat(path, &st) != 0 || S_ISREG(st.st_mode);
}
/* A descriptor of a file: not the console, a pipe, a socket or a device. */
static int filefd(int fd) {
  struct stat st;
  return fd != STDOUT_FILENO && fd != STDERR_FILENO && fstat(fd, &st) == 0 && S_ISREG(st.st_mode);
}
/* A stream that writes to a file: streams for reading, the console and
   streams in memory or of the program's own (no descriptor) are not; the
   latter write through write() when they meet a file. */
static int filestream(FILE *f) {
  if (!f) return 0;
  int fd = fileno(f), flags = fd >= 0 ? fcntl(fd, F_GETFL) : -1;
  return flags >= 0 && (flags & O_ACCMODE) != O_RDONLY && filefd(fd);
}

/* A stream's write fails: as a real failure would, it marks the stream. */
static int streamfault(FILE *f) {
  if (!filestream(f) || !fault(K_WRITE)) return 0;
  f->_flags |= _IO_ERR_SEEN;
  return 1;
}

#define REAL(name) static __typeof__(name) *real_##name; if (!real_##name) real_##name = dlsym(RTLD_NEXT, #name)

static void __attribute__((constructor)) takeprogram(void) { readfault(); }

static void __attribute__((destructor)) writecounts(void) {
  const char *path = getenv("VEY3_FAULTCOUNT");
  if (!path || !*path || faultkind == -3) return;
  faultkind = -3; /* the count file's own calls are not counted */
  REAL(fopen);
  FILE *f = real_fopen(path, "w");
  if (!f) return;
  for (int k = 0; k < K_KINDS; k++) fprintf(f, "%s %ld ", kindnames[k], counts[k]);
  fprintf(f, "all %ld last %lld\n", total, lastcall);
  fclose(f);
}

/* ------------------------------------------------------------ opening */

static mode_t modearg(int flags, va_list args) {
  return (flags & (O_CREAT | O_TMPFILE)) ? va_arg(args, mode_t) : 0;
}

int open(const char *path, int flags, ...) {
  va_list args;
  va_start(args, flags);
  mode_t mode = modearg(flags, args);
  va_end(args);
  if (writingflags(flags) && filepath(path) && fault(K_OPEN)) return -1;
  REAL(open);
  return real_open(path, flags, mode);
}
FILE *fopen(const char *path, const char *mode) {
  if (writingmode(mode) && filepath(path) && fault(K_OPEN)) return NULL;
  REAL(fopen);
  return real_fopen(path, mode);
}
FILE *fdopen(int fd, const char *mode) {
  if (writingmode(mode) && filefd(fd) && fault(K_OPEN)) return NULL;
  REAL(fdopen);
  return real_fdopen(fd, mode);
}

/* ------------------------------------------------------------ writing */

ssize_t write(int fd, const void *bytes, size_t n) {
  if (filefd(fd) && fault(K_WRITE)) return -1;
  REAL(write);
  return real_write(fd, bytes, n);
}
size_t fwrite(const void *bytes, size_t size, size_t n, FILE *f) {
  if (streamfault(f)) return 0;
  REAL(fwrite);
  return real_fwrite(bytes, size, n, f);
}
int fputs(const char *text, FILE *f) {
  if (streamfault(f)) return EOF;
  REAL(fputs);
  return real_fputs(text, f);
}
int fputc(int c, FILE *f) {
  if (streamfault(f)) return EOF;
  REAL(fputc);
  return real_fputc(c, f);
}
int vfprintf(FILE *f, const char *format, va_list args) {
  if (streamfault(f)) return -1;
  REAL(vfprintf);
  return real_vfprintf(f, format, args);
}
int fprintf(FILE *f, const char *format, ...) {
  va_list args;
  va_start(args, format);
  int n = vfprintf(f, format, args);
  va_end(args);
  return n;
}
int fflush(FILE *f) {
  if (streamfault(f)) return EOF;
  REAL(fflush);
  return real_fflush(f);
}
int fclose(FILE *f) {
  /* The stream is closed all the same; only its last flush fails. */
  int failed = streamfault(f);
  REAL(fclose);
  int r = real_fclose(f);
  if (failed) {
    errno = faulterror;
    return EOF;
  }
  return r;
}

/* ------------------------------------------------------------ renaming and syncing */

int rename(const char *from, const char *to) {
  if (fault(K_RENAME)) return -1;
  REAL(rename);
  return real_rename(from, to);
}
int fsync(int fd) {
  if (fault(K_SYNC)) return -1;
  REAL(fsync);
  return real_fsync(fd);
}
int fdatasync(int fd) {
  if (fault(K_SYNC)) return -1;
  REAL(fdatasync);
  return real_fdatasync(fd);
}
int syncfs(int fd) {
  if (fault(K_SYNC)) return -1;
  REAL(syncfs);
  return real_syncfs(fd);
}
