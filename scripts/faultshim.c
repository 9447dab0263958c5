/* A fault for the fault-injection runs (scripts/fault-inject.sh), loaded
 * into the game with LD_PRELOAD. It counts the calls that change files
 * (opens for writing, writes, renames, flushes to the disc) and at the Nth
 * one either fails it with an error or kills the process (SIGKILL):
 *
 *   VEY3_FAULT=KIND:N[:ERROR]
 *     KIND   open, write, rename, sync: fail the Nth call of that kind;
 *            kill: SIGKILL before the Nth counted call of any kind.
 *     ERROR  ENOSPC (the default), EIO, EACCES, EROFS, EDQUOT.
 *   VEY3_FAULTCOUNT=FILE  writes the calls counted by kind at exit
 *     ("open 12 write 340 rename 9 sync 11 all 372"), for choosing N.
 *
 * Writes to standard output and error are not counted, nor opens for
 * reading. stdio is caught at its own calls (fwrite, fputs, fputc, fprintf,
 * fflush, fclose), as glibc's stdio writes through its own internal calls.
 * The calls caught are those that the game's programs import (nm -D).
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
#include <unistd.h>

enum { K_OPEN, K_WRITE, K_RENAME, K_SYNC, K_KINDS };
static const char *kindnames[K_KINDS] = {"open", "write", "rename", "sync"};

static long counts[K_KINDS], total;
static int faultkind = -2; /* -2 not read yet, -1 none, K_KINDS for kill */
static long faultat;
static int faulterror = ENOSPC;

static void readfault(void) {
  if (faultkind != -2) return;
  faultkind = -1;
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
  counts[kind]++;
  total++;
  if (faultkind == K_KINDS && total == faultat) raise(SIGKILL);
  if (faultkind == kind && counts[kind] == faultat) {
    errno = faulterror;
    return 1;
  }
  return 0;
}

static int writingflags(int flags) { return (flags & (O_WRONLY | O_RDWR | O_CREAT | O_TRUNC | O_APPEND)) != 0; }
static int writingmode(const char *mode) { return mode && strpbrk(mode, "wa+") != NULL; }
static int console(int fd) { return fd == STDOUT_FILENO || fd == STDERR_FILENO; }
/* The console and streams in memory (no descriptor) meet no disc. */
static int consolestream(FILE *f) { return f == stdout || f == stderr || fileno(f) < 0; }

/* A stream's write fails: as a real failure would, it marks the stream. */
static int streamfault(FILE *f) {
  if (!f || consolestream(f) || !fault(K_WRITE)) return 0;
  f->_flags |= _IO_ERR_SEEN;
  return 1;
}

#define REAL(name) static __typeof__(name) *real_##name; if (!real_##name) real_##name = dlsym(RTLD_NEXT, #name)

static void __attribute__((destructor)) writecounts(void) {
  const char *path = getenv("VEY3_FAULTCOUNT");
  if (!path || !*path) return;
  REAL(fopen);
  FILE *f = real_fopen(path, "w");
  if (!f) return;
  for (int k = 0; k < K_KINDS; k++) fprintf(f, "%s %ld ", kindnames[k], counts[k]);
  fprintf(f, "all %ld\n", total);
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
  if (writingflags(flags) && fault(K_OPEN)) return -1;
  REAL(open);
  return real_open(path, flags, mode);
}
FILE *fopen(const char *path, const char *mode) {
  if (writingmode(mode) && fault(K_OPEN)) return NULL;
  REAL(fopen);
  return real_fopen(path, mode);
}
FILE *fdopen(int fd, const char *mode) {
  if (writingmode(mode) && fault(K_OPEN)) return NULL;
  REAL(fdopen);
  return real_fdopen(fd, mode);
}

/* ------------------------------------------------------------ writing */

ssize_t write(int fd, const void *bytes, size_t n) {
  if (!console(fd) && fault(K_WRITE)) return -1;
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
