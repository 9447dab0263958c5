#include "runtime/startup.h"

#include <cstdio>
#include <cstdlib>
#include <ctime>

#include "runtime/fatal.h"
#include "runtime/filesets.h"
#include "runtime/folders.h"
#include "runtime/options.h"
#include "runtime/rnd.h"
#include "runtime/settings.h"
#include "runtime/util.h"

void checkrandtab(const char* message) { bailif(randtab[0] == 0, message); }

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
