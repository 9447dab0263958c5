#include "world/startup.h"

#include <sys/stat.h>

#include <cstdlib>

#include "runtime/fatal.h"
#include "runtime/folders.h"
#include "world/world.h"

void plainbenchmarkland() {
  provgeo[0].terrain = 0;
  land[0].scale[SC_COLD] = 0;
  land[0].scale[SC_DEATH] = 0;
}

void general_init() {
  debugprint("-- general_init --\n");
  removetmpfiles();
  mkdirs(savepath);
  struct stat st;
  if (stat(temppath, &st) == 0) {
    // A folder named by VEY3_TEMP is used as it is (and never removed by us);
    // anything else that already stands there cannot be our temp folder.
    if (!S_ISDIR(st.st_mode) || !getenv("VEY3_TEMP"))
      fatalerror("Failed to create temp directory properly (already existed)");
  } else {
    int made = mkdirs(temppath);
    if (made == 1) {
      // Every end of the program, not only the fatal path, removes the temp
      // folder that this process made.
      if (!tempcreated) atexit(removetmpfiles);
      tempcreated = 1;
    }
    else if (made == 0) fatalerror("Failed to create temp directory properly (already existed)");
    else fatalerror("Failed to create temp directory properly (unknown reason)");
  }
  clearworld();
}
