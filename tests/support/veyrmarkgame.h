// A new game on Veyrmark for tests and benchmarks of the player's screens:
// computer nations of the middle era, each on a start province of the map.
// Needs the game data loaded and the maps and saved-games folders set (the
// maps of data/maps in the maps folder); writes the game's files there.
#pragma once
#include <cstdlib>

#include "runtime/options.h"
#include "runtime/rnd.h"
#include "runtime/util.h"
#include "world/gamedata.h"
#include "world/scores.h"
#include "worldgen/worldgen.h"

// The nation number of the first of the nations, -1 when the game was not made.
inline int32_t veyrmarkgame(const char* name, int32_t count, uint32_t seed) {
  seedrnd(int32_t(seed));
  srand(seed);
  strlcopy(mapfile, "veyrmark.map", sizeof mapfile);
  eraoption = 2;
  int32_t placed = 0, first = -1;
  for (int32_t n = 0; n < 72 && placed < count; n++)
    if (nations[size_t(n)].era == 2 && !isuwnation(n)) {
      nationcontrol[n] = 22;
      if (first < 0) first = n;
      placed++;
    }
  startprov = 2;
  return createnewgame(name, 0, nullptr) == 1 ? first : -1;
}
