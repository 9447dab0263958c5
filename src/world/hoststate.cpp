#include <cstring>

#include "world/hoststate.h"
#include "world/world.h"

int16_t scorelist[MAXSCORES];
EndStats endstats;
UniqueTypeList uniquetypelist;

void clearhoststate() {
  memset(scorelist, 0, sizeof scorelist);
  memset(&endstats, 0, sizeof endstats);
  endstats.highest = -1;
  uniquetypelist.count = -1;
  memset(uniquetypelist.type, 0, sizeof uniquetypelist.type);
}

bool inhalloffame(int32_t cnr) {
  // Files of games keep 0 for an empty place, so commander 0 never counts.
  if (cnr <= 0) return false;
  const int32_t n = gameinfo.hofsize < MAXSCORES ? gameinfo.hofsize : MAXSCORES;
  for (int32_t i = 0; i < n; i++)
    if (scorelist[i] == cnr) return true;
  return false;
}
