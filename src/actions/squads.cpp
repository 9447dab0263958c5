// Squads under the leadership limits.
#include "actions/squads.h"

#include "runtime/fatal.h"
#include "world/gamedata.h"
#include "world/rules.h"
#include "world/units.h"
#include "world/world.h"

void enfll(int32_t cnr) {
  if (cnr < 0 || cnr > highestcom || combody(cnr) < 0) return;
  int32_t limit[3] = {0, 0, 0};   // normal, undead, magic
  limit[0] = maxcomunits(cnr, &limit[1], &limit[2]);
  const int32_t body = combody(cnr);
  for (int32_t u = 0; u <= highestunit && u < MAXUNITS; u++) {
    if (u == body || unit[size_t(u)].hp < 1 || unit[size_t(u)].comnr >= 0 || !comleadsunit(u, cnr)) continue;
    const int32_t m = unit[size_t(u)].type;
    bailif(m < 0 || m >= MAXUNITTYPES, "enfll: bad m");
    const uint32_t f2 = unittypes[size_t(m)].flags2;
    const int32_t kind = (f2 & MF2_UNDEADCLASS) ? 1 : (f2 & MF2_MAGICBEING) ? 2 : 0;
    if (--limit[kind] < 0) setunitsquad(u, -1);
  }
}

