// The move rule that the turn screens predict with and the host enforces:
// immobile units, water and dry land, frozen seas, the path finder's reach
// and crossing one sea province by ship.
#include "actions/moverule.h"

#include "rule_ids.h"
#include "runtime/ask.h"
#include "runtime/fatal.h"
#include "world/gamedata.h"
#include "world/magic.h"
#include "world/movement.h"
#include "world/rules.h"
#include "world/units.h"
#include "world/world.h"

namespace {

bool sea(int32_t lnr) { return lnr >= 0 && lnr < MAXLANDS && (provgeo[size_t(lnr)].terrain & TM_SEA) != 0; }
bool globalench(int32_t kind) { return findench(kind, -1, -1) >= 0; }

// Asks whether units that cannot come along are left behind (1) or the
// army stays (anything else). A mercenary commander is not offered to leave
// its band behind.
int32_t askleave(const char* title, const char* leave, bool mercenary) {
  menubegin();
  menuline(0, title);
  menuline(0, "");
  if (!mercenary) menuline(1, leave);
  menuline(2, "stay still");
  menushow();
  return menuwait();
}
}  // namespace

int32_t boatmove(int32_t player, int32_t from, int32_t dest) {
  bailif(from < 0 || from > 1504, "boatmove: bad from");
  if (from == dest || sea(dest)) return 0;
  for (int32_t i = 0; i < MAXNEIGHBOURS; i++) {
    const int32_t n = provgeo[size_t(from)].nbr[i];
    if (n < 1) break;
    if (n >= MAXLANDS || !sea(n)) continue;
    for (int32_t j = 0; j < MAXNEIGHBOURS; j++) {
      const int32_t m = provgeo[size_t(n)].nbr[j];
      if (m < 1) break;
      if (m == dest) return 1;
    }
  }
  return 0;
}

int32_t mapmove(int32_t cnr, int32_t dest, int32_t asking) {
  bailif(cnr < 0 || cnr > highestcom || cnr >= MAXCOMS, "mapmove: bad cnr");
  const int32_t b = com[size_t(cnr)].body;
  bailif(b < 0 || b >= MAXUNITS, "mapmove: bad unr");
  if (unittypeflags(b) & MF_IMMOBILE) {
    debugprint("com %d is immobile\n", cnr);
    return 0;
  }
  if (dest < 1 || dest > nbrlands || dest >= MAXLANDS) return 0;
  const int32_t from = unit[size_t(b)].land;
  if (from < 1 || from >= MAXLANDS) return 0;
  const bool mercenary = unit[size_t(b)].homeland == -2;
  if (armymapmove(cnr) < 1) {
    if (!asking || askleave("This army is immobile", "remove immobile units", mercenary) == 1)
      dropimmobileunits(cnr);
    if (armymapmove(cnr) < 1) return 0;
  }
  const int32_t water = watermove(cnr, 0), dry = landmove(cnr, 0);
  if (sea(dest) != sea(from) && globalench(EN_FROZENSEAS)) {
    debugprint("sea is frozen\n");
    return 0;
  }
  const int32_t sailing = getitemfx(cnr, AB_SAILING, 1);
  if (sea(dest) && water == 0) {
    if (!asking || askleave("This army cannot travel underwater", "remove unable units", mercenary) == 1) {
      watermove(cnr, 1);
      clearemptysquads();
    }
  }
  if (!sea(dest) && dry == 0) {
    if (!asking || askleave("This army cannot travel above the surface", "remove unable units", mercenary) == 1) {
      landmove(cnr, 1);
      clearemptysquads();
    }
  }
  int32_t reachable = 0;
  findpath(unit[size_t(b)].owner, from, dest, getmoveflags(cnr), &reachable);
  debugprint("from %d(sea%d) to %d(sea%d) (water%d boat%d)\n", from, sea(from) ? 1 : 0, dest, sea(dest) ? 1 : 0,
             water, sailing > 0 ? 1 : 0);
  if (sailing < 1 || reachable) return reachable;
  if (sea(dest) || globalench(EN_WINTER) || globalench(EN_FROZENSEAS)) return reachable;
  return boatmove(unit[size_t(b)].owner, from, dest);
}
