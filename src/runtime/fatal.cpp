#include "runtime/fatal.h"

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <initializer_list>
#include <sys/stat.h>
#include <unistd.h>

#include "runtime/folders.h"

int32_t debuglevel = 0;

namespace {
int32_t nesting = 0;
constexpr int32_t MAXSHUTDOWNHOOKS = 8;
void (*shutdownhooks[MAXSHUTDOWNHOOKS])() = {};
int32_t shutdowncount = 0;
void (*unitfatalhook)(int32_t) = nullptr;
bool showingunit = false;

// "Något gick fel!" with the a-ring as the Latin-1 byte 0xE5.
const char fatalline[] = "N\xE5got gick fel!";

void vformatbounded(char* buffer, const char* format, va_list args) {
  vsnprintf(buffer, MSGLEN, format, args);
  buffer[MSGLEN - 1] = 0;
}
}  // namespace

int32_t fatalnesting() { return nesting; }

void addshutdownhook(void (*hook)()) {
  if (!hook) return;
  for (int32_t i = 0; i < shutdowncount; i++)
    if (shutdownhooks[i] == hook) return;
  bailif(shutdowncount >= MAXSHUTDOWNHOOKS, "addshutdownhook: too many hooks");
  shutdownhooks[shutdowncount++] = hook;
}

void setunitfatalhook(void (*hook)(int32_t unr)) { unitfatalhook = hook; }

void showunitfatal(int32_t unr) {
  if (!unitfatalhook || showingunit) return;
  showingunit = true;
  unitfatalhook(unr);
  showingunit = false;
}

namespace {
// Reports the message (under the fault line for a fault) and runs the
// shut-down; false when nested too deep.
// A source path from the checkout's top: a compiler launcher (ccache) may
// give it relative to the build folder ("../../src/world/units.cpp").
const char* checkoutpath(const char* file) {
  while (strncmp(file, "../", 3) == 0) file += 3;
  return file;
}

// A fault goes out under the fixed line; a refusal (no place) without it.
// The place of a fault goes to the log alone, and only with -d: the player
// sees the fixed line and the message.
bool shutdown(const char* message, const StopPlace* where) {
  if (nesting >= 5) return false;
  nesting++;
  if (message[0]) {
    const bool fault = where != nullptr;
    if (fault) fprintf(stderr, "%s\n", fatalline);
    fprintf(stderr, "%s\n", message);
    fflush(stderr);
    if (fault) puts(fatalline);
    printf("%s\n", message);
    if (fault) debugprint("where: %s:%d, %s\n", checkoutpath(where->file), where->line, where->function);
    if (nesting > 1) printf("N\xE5got gick fel +%d (%s)!\n", nesting, message);
  } else if (nesting > 1) {
    printf("N\xE5got gick fel +%d (%s)!\n", nesting, message);
  }
  fflush(stdout);
  removetmpfiles();
  for (int32_t i = 0; i < shutdowncount; i++) shutdownhooks[i]();
  fflush(stdout);
  return true;
}
}  // namespace

void fatalerror(const char* message, StopPlace where) {
  if (!message) message = "";
  if (!shutdown(message, &where)) return;
  if (!message[0]) exit(0);
  abort();
}

void failexit(const char* message) {
  shutdown(message ? message : "", nullptr);
  exit(1);
}

__attribute__((cold, noinline)) void bailstop(const char* message, StopPlace where) { fatalerror(message, where); }

void bailif_fmt(StopCondition condition, const char* format, ...) {
  if (!(condition.value & 0xFFFF)) return;
  char buffer[MSGLEN];
  va_list args;
  va_start(args, format);
  vformatbounded(buffer, format, args);
  va_end(args);
  fatalerror(buffer, condition.where);
}

#define DEBUGPRINT_BODY(level)              \
  if (debuglevel <= (level)) return;        \
  char buffer[MSGLEN];                      \
  va_list args;                             \
  va_start(args, format);                   \
  vformatbounded(buffer, format, args);     \
  va_end(args);                             \
  fputs(buffer, stdout);

void debugprint(const char* format, ...) { DEBUGPRINT_BODY(0) }
void debugprint2(const char* format, ...) { DEBUGPRINT_BODY(1) }
void debugprint3(const char* format, ...) { DEBUGPRINT_BODY(2) }

void logtostream(int tostderr, const char* text) { fputs(text, tostderr ? stderr : stdout); }

// An old log is removed at start, but never the file that this run's own
// output goes to: "vey3 ... > log.txt" would otherwise write into a file
// that no longer has a name, and the whole log would be lost.
void removelog() {
  struct stat old {};
  if (stat("log.txt", &old) != 0) return;
  for (int fd : {STDOUT_FILENO, STDERR_FILENO}) {
    struct stat out {};
    if (fstat(fd, &out) == 0 && out.st_dev == old.st_dev && out.st_ino == old.st_ino) return;
  }
  unlink("log.txt");
}
