#include "world/startup.h"

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
  opentempfolder();
  clearworld();
}
