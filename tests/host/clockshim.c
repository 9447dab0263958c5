/* A wall clock that is off, for the tests of what a host reads of the
 * time: loaded into the program with LD_PRELOAD (built by the test with
 * cc), it moves time(), gettimeofday() and clock_gettime() of the wall
 * clock by VEY3_CLOCKSHIFT seconds (negative: behind), as on a machine
 * whose clock disagrees with the file server's or was stepped back. The
 * clocks that count from the boot are left as they are, as a step of the
 * wall clock leaves them.
 */
#define _GNU_SOURCE
#include <dlfcn.h>
#include <stdlib.h>
#include <sys/time.h>
#include <time.h>

static long shift(void) {
  const char *v = getenv("VEY3_CLOCKSHIFT");
  return v ? atol(v) : 0;
}

int clock_gettime(clockid_t clock, struct timespec *t) {
  static int (*real)(clockid_t, struct timespec *);
  if (!real) real = (int (*)(clockid_t, struct timespec *))dlsym(RTLD_NEXT, "clock_gettime");
  const int r = real(clock, t);
  if (r == 0 && (clock == CLOCK_REALTIME || clock == CLOCK_REALTIME_COARSE)) t->tv_sec += shift();
  return r;
}

int gettimeofday(struct timeval *restrict t, void *restrict zone) {
  struct timespec now;
  if (clock_gettime(CLOCK_REALTIME, &now) != 0) return -1;
  t->tv_sec = now.tv_sec;
  t->tv_usec = now.tv_nsec / 1000;
  (void)zone;
  return 0;
}

time_t time(time_t *out) {
  struct timespec now;
  clock_gettime(CLOCK_REALTIME, &now);
  if (out) *out = now.tv_sec;
  return now.tv_sec;
}
