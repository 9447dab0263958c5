#include "runtime/startup.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <unistd.h>

#include "runtime/fatal.h"
#include "runtime/filesets.h"
#include "runtime/folders.h"
#include "runtime/options.h"
#include "runtime/rnd.h"
#include "runtime/settings.h"
#include "runtime/util.h"

void checkrandtab(const char* message) { bailif(randtab[0] == 0, message); }

int64_t nanoseconds(const timespec& t) { return int64_t(t.tv_sec) * 1000000000 + t.tv_nsec; }

namespace {
int64_t clocknow(clockid_t clock) {
  timespec t{};
  clock_gettime(clock, &t);
  return nanoseconds(t);
}
// The clock when this program's own code first ran, before main.
const int64_t firstclock = clocknow(CLOCK_BOOTTIME);

// The end of the clock tick in which the kernel started this process (its
// fork, before the program was loaded), on the clock that counts from the
// boot, as the kernel counts it; 0 when unknown.
int64_t kernelstartbound() {
  UniqueFile f(fopen("/proc/self/stat", "re"));
  if (!f) return 0;
  char line[1024];
  if (!fgets(line, sizeof line, f.get())) return 0;
  // The name in brackets may hold anything; the fields after it are
  // numbers, the start time the twentieth of them.
  const char* p = strrchr(line, ')');
  unsigned long long ticks = 0;
  if (!p || sscanf(p + 1, " %*c %*d %*d %*d %*d %*d %*u %*u %*u %*u %*u %*u %*u %*d %*d %*d %*d %*d %*d %llu",
                   &ticks) != 1)
    return 0;
  const long hz = sysconf(_SC_CLK_TCK);
  if (hz <= 0) return 0;
  return int64_t((uint64_t(ticks) + 1) * 1000000000ULL / uint64_t(hz));
}
}  // namespace

int64_t processstart() {
  const int64_t bound = kernelstartbound();
  return bound > 0 && bound < firstclock ? bound : firstclock;
}

void beginstartup(int argc, char** argv) {
  // Line-buffered from the very start, so that text printed before a stop
  // is never lost.
  setvbuf(stdout, nullptr, _IOLBF, 0);

  checkrandtab("main: corrupt randtab");
  debuglevel = 0;
  removelog();
  srand(unsigned(time(nullptr)) + unsigned(rand()));
  seedrndtime();
  initpaths();
  // What a stopped write of an earlier run left is finished or removed.
  settleallfolders();
  loadconfig();
  for (int32_t& n : nationcontrol) n = 0;
  parsecommandline(argc, argv);

  if (verify) {
    textonly = 1;
    sounddevice = 0;
  } else if (textonly) {
    sounddevice = 0;
  }
  checkrandtab("main2: corrupt randtab");

  debugprint("\n-------------------------\n");
  debugprint("----- VEYRANCES ---------\n");
  debugprint("-------------------------\n\n");
  debugprint("Version %s (%d)", VERSIONTEXT, VERSIONNBR);
  debugprint("dbglevel %d", debuglevel);
  debugprint(" pc_endian");
  debugprint("\n");
  const uint16_t probe = 0x1234;
  if (*reinterpret_cast<const uint8_t*>(&probe) != 0x34) fatalerror("main: Wrong endianess defined in short");
  initmathtables();
  setvbuf(stdout, nullptr, _IOLBF, 0);
  debugprint("datapath='%s'\n", datapath);
  debugprint("confpath='%s'\n", confpath);
  debugprint("savepath='%s'\n", savepath);
  debugprint("modpath='%s'\n", modpath);
  debugprint("mappath='%s'\n", mappath);
  debugprint("localmappath='%s'\n", localmappath);
  debugprint("temppath='%s'\n", temppath);
  makemoddir();
}
