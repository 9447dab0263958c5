/* A read that fails, for the tests of the host's reading of order files:
 * loaded into the host program with LD_PRELOAD (built by the test with cc,
 * as scripts/faultshim.c is for the writing roads). It counts the calls
 * that look at or read one file (stat, lstat and fstat, opens, read, and
 * the stream reads fread, fread_unlocked, fgetc, fgets and the refill of
 * getc_unlocked) and fails the Nth with an error:
 *
 *   VEY3_READFAULTFILE=SUFFIX   the file: a path that ends so
 *   VEY3_READFAULT=N[:ERROR]    fail the Nth call; ERROR EIO (the default),
 *                               EACCES, ENOMEM or ESTALE
 *   VEY3_READFAULTCOUNT=FILE    writes "calls N" at exit, for choosing N
 */
#define _GNU_SOURCE
#include <dlfcn.h>
#include <errno.h>
#include <fcntl.h>
#include <stdarg.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>
#include <unistd.h>

/* Our own definitions, not the headers' inline forms. */
#undef fread_unlocked
#undef fgetc

static long calls, failat = -1;
static int failerror = EIO, ready;
static const char *suffix;
/* Descriptors open on the file. */
static char watched[4096];

static void setup(void) {
  if (ready) return;
  ready = 1;
  suffix = getenv("VEY3_READFAULTFILE");
  const char *v = getenv("VEY3_READFAULT");
  char error[16] = "";
  if (v && sscanf(v, "%ld:%15[A-Z]", &failat, error) >= 1) {
    if (strcmp(error, "EACCES") == 0) failerror = EACCES;
    if (strcmp(error, "ENOMEM") == 0) failerror = ENOMEM;
    if (strcmp(error, "ESTALE") == 0) failerror = ESTALE;
  }
}

static int isthefile(const char *path) {
  setup();
  if (!suffix || !*suffix || !path) return 0;
  size_t n = strlen(path), s = strlen(suffix);
  return n >= s && strcmp(path + n - s, suffix) == 0;
}
static int watchedfd(int fd) { return fd >= 0 && fd < (int)sizeof watched && watched[fd]; }
static int watchedstream(FILE *f) { return f && watchedfd(fileno(f)); }

/* Counts one call on the file; 1 when it is to fail (errno set). */
static int fault(void) {
  setup();
  if (++calls != failat) return 0;
  errno = failerror;
  return 1;
}
static int streamfault(FILE *f) {
  if (!watchedstream(f) || !fault()) return 0;
  f->_flags |= _IO_ERR_SEEN;
  return 1;
}

#define REAL(name) static __typeof__(name) *real_##name; if (!real_##name) real_##name = dlsym(RTLD_NEXT, #name)

static void __attribute__((destructor)) writecount(void) {
  const char *path = getenv("VEY3_READFAULTCOUNT");
  if (!path || !*path) return;
  REAL(fopen);
  FILE *f = real_fopen(path, "w");
  if (!f) return;
  fprintf(f, "calls %ld\n", calls);
  fclose(f);
}

int stat(const char *path, struct stat *st) {
  if (isthefile(path) && fault()) return -1;
  REAL(stat);
  return real_stat(path, st);
}
int lstat(const char *path, struct stat *st) {
  if (isthefile(path) && fault()) return -1;
  REAL(lstat);
  return real_lstat(path, st);
}
int fstat(int fd, struct stat *st) {
  if (watchedfd(fd) && fault()) return -1;
  REAL(fstat);
  return real_fstat(fd, st);
}
int open(const char *path, int flags, ...) {
  va_list args;
  va_start(args, flags);
  mode_t mode = (flags & (O_CREAT | O_TMPFILE)) ? va_arg(args, mode_t) : 0;
  va_end(args);
  const int mine = isthefile(path);
  if (mine && fault()) return -1;
  REAL(open);
  int fd = real_open(path, flags, mode);
  if (fd >= 0 && fd < (int)sizeof watched) watched[fd] = (char)mine;
  return fd;
}
FILE *fopen(const char *path, const char *mode) {
  const int mine = isthefile(path);
  if (mine && fault()) return NULL;
  REAL(fopen);
  FILE *f = real_fopen(path, mode);
  if (f && fileno(f) < (int)sizeof watched) watched[fileno(f)] = (char)mine;
  return f;
}
int close(int fd) {
  if (fd >= 0 && fd < (int)sizeof watched) watched[fd] = 0;
  REAL(close);
  return real_close(fd);
}
int fclose(FILE *f) {
  if (f && fileno(f) >= 0 && fileno(f) < (int)sizeof watched) watched[fileno(f)] = 0;
  REAL(fclose);
  return real_fclose(f);
}
ssize_t read(int fd, void *bytes, size_t n) {
  if (watchedfd(fd) && fault()) return -1;
  REAL(read);
  return real_read(fd, bytes, n);
}
size_t fread(void *bytes, size_t size, size_t n, FILE *f) {
  if (streamfault(f)) return 0;
  REAL(fread);
  return real_fread(bytes, size, n, f);
}
size_t fread_unlocked(void *bytes, size_t size, size_t n, FILE *f) {
  if (streamfault(f)) return 0;
  REAL(fread_unlocked);
  return real_fread_unlocked(bytes, size, n, f);
}
int fgetc(FILE *f) {
  if (streamfault(f)) return EOF;
  REAL(fgetc);
  return real_fgetc(f);
}
char *fgets(char *text, int n, FILE *f) {
  if (streamfault(f)) return NULL;
  REAL(fgets);
  return real_fgets(text, n, f);
}
int __uflow(FILE *f) {
  if (streamfault(f)) return EOF;
  REAL(__uflow);
  return real___uflow(f);
}
