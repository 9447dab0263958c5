#include <cstring>

#include "world/hoststate.h"

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
