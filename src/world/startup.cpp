#include "world/startup.h"

#include "world/world.h"

void plainbenchmarkland() {
  provgeo[0].terrain = 0;
  land[0].scale[SC_COLD] = 0;
  land[0].scale[SC_DEATH] = 0;
}
