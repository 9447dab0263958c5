// Private maps, saved-games and temp folders for a benchmark run (the maps of
// data/maps copied in, everything removed at exit), the game data loaded;
// and Veyrmark with six computer nations made there.
#pragma once
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "runtime/fatal.h"
#include "runtime/folders.h"
#include "runtime/options.h"
#include "runtime/util.h"
#include "support/hostedgame.h"
#include "support/veyrmarkgame.h"
#include "world/gamedata.h"
#include "world/ruleconstants.h"
#include "world/world.h"
#include "worldgen/worldgen.h"
#include "support/scratch.h"

inline void benchfolders(const char* name) {
  static std::string root;
  if (!root.empty()) return;
  root = makerunscratch((std::string("vey3bench_") + name + "_").c_str());
  pointgamefolders(root);
  strlcopy(datapath, VEY3_DATA_DIR, PATHLEN);
  std::string cmd = "cp " VEY3_SOURCE_DIR "/data/maps/*.map " VEY3_SOURCE_DIR "/data/maps/*.tga " + root + "/maps/";
  if (system(cmd.c_str()) != 0) fatalerror("bench: copying the maps failed");
  loadgamedata();
  defaultgeneral();
}

// The game "benchmark" on Veyrmark; the number of its first nation.
inline int32_t benchveyrmark() {
  resetoptions();
  freebigmap();
  mapimage.imagename[0] = 0;
  clearworld();
  textonly = 1;
  const int32_t first = veyrmarkgame("benchmark", 6, 5);
  if (first < 0) fatalerror("bench: no game");
  textonly = 0;
  return first;
}
