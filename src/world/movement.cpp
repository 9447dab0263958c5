// Movement capacities of armies.
#include "world/movement.h"

#include "runtime/fatal.h"
#include "runtime/util.h"
#include "world/gamedata.h"
#include "world/magic.h"
#include "world/rules.h"
#include "world/units.h"

namespace {
bool badcom(int32_t c) { return c < 0 || c > highestcom || c >= MAXCOMS; }

int32_t typesize(int32_t u) {
  const Monster* t = unittyperec(u);
  return t ? t->size : 0;
}

// The members' half of the capacity rule: each member that needs help costs
// its size; with drop, members that no longer fit leave the army in
// unit-number order. Returns 1 when the capacity holds, 0 otherwise, and 0 at
// once when `never` says a member can never come along; cap keeps what is left.
template <typename Needs, typename Never>
int32_t carrymembers(int32_t c, int32_t& cap, int32_t drop, Needs needs, Never never) {
  // The living units of the commander's squads, in unit-number order.
  for (int32_t u : filedinsquads(com[c].squad)) {
    if (unit[u].hp <= 0 || !needs(u)) continue;
    if (never(u)) return 0;
    cap -= typesize(u);
    if (cap < 0 && drop) {
      setunitsquad(u, -1);
      cap += typesize(u);
    }
  }
  return cap >= 0 ? 1 : 0;
}
}  // namespace

int32_t maysneak(int32_t c) {
  bailif(badcom(c), "maysneak: bad cnr");
  const int32_t b = combody(c);
  if (badcom(c) || b < 0) return 0;
  int32_t cap = getitemfx(c, AB_SNEAKCAP, 1);
  if (getstealth(b) < 1) {
    cap -= typesize(b);
    if (cap < 0) return 0;
  }
  return carrymembers(c, cap, 0, [](int32_t u) { return getstealth(u) < 1; }, [](int32_t) { return false; });
}

int32_t watermove(int32_t c, int32_t drop) {
  bailif(badcom(c), "watermove: bad cnr");
  const int32_t b = combody(c);
  if (badcom(c) || b < 0) return -1;
  if (getability(b, AB_NOWATER, 1) > 99) return -1;
  int32_t cap = getitemfx(c, AB_WATERCAP, 1);
  if (findench(EN_WATERFORALL, -1, -1) >= 0) return 1;
  if (!breatheswater(b)) {
    cap -= typesize(b);
    if (cap < 0) return -1;
  }
  return carrymembers(c, cap, drop, [](int32_t u) { return !breatheswater(u); },
                      [](int32_t u) { return getability(u, AB_NOWATER, 1) > 99; });
}

int32_t landmove(int32_t c, int32_t drop) {
  bailif(badcom(c), "landmove: bad cnr");
  const int32_t b = combody(c);
  if (badcom(c) || b < 0) return -1;
  int32_t cap = getitemfx(c, AB_LANDCAP, 1);
  if ((unittypeflags(b) & MF_AQUATIC) && getitemfx(c, AB_AQUATICLEAVE, 1) < 1) {
    cap -= typesize(b);
    if (cap < 0) return -1;
  }
  return carrymembers(c, cap, drop, [](int32_t u) { return (unittypeflags(u) & MF_AQUATIC) != 0; },
                      [](int32_t) { return false; });
}

int32_t flymove(int32_t c, int32_t drop) {
  bailif(badcom(c), "flymove: bad cnr");
  const int32_t b = combody(c);
  bailif(b < 0, "flymove: bad u");
  if (badcom(c) || b < 0) return -1;
  int32_t cap = getitemfx(c, AB_FLYCAP, 1);
  if (!(unittypeflags(b) & MF_FLYING) && !(unit[b].flags[1] & ST_FLYING)) {
    cap -= typesize(b);
    if (cap < 0) return -1;
  }
  carrymembers(c, cap, drop, [](int32_t u) { return !(unittypeflags(u) & MF_FLYING); },
               [](int32_t) { return false; });
  debugprint("flymove %d %d\n", c, cap);
  if (cap >= 0) return 1;
  debugprint("No flymove %d\n", c);
  return 0;
}

uint32_t getmoveflags(int32_t c) {
  uint32_t w = 0;
  if (watermove(c, 0) > 0) w |= MW_WATER;
  if (landmove(c, 0) > 0) w |= MW_LAND;
  if (flymove(c, 0) > 0) w |= MW_FLY;
  const uint32_t f = armyflags(c);
  if (f & MF_FORESTSURVIVAL) w |= MW_FOREST;
  if (f & MF_SWAMPSURVIVAL) w |= MW_SWAMP;
  if (f & MF_MOUNTAINSURVIVAL) w |= MW_MOUNTAIN;
  if (f & MF_WASTESURVIVAL) w |= MW_WASTE;
  const int32_t b = combody(c);
  if (b >= 0 && unit[b].owner == 41) w |= 0x800;
  int32_t mm = armymapmove(c);
  if ((w & MW_FLY) && getitemfx(c, AB_FLYCAP, 1) > 9) mm = imax(mm, 3);
  return w | uint32_t(imax(0, imin(mm, 255)));
}

void dropimmobileunits(int32_t c) {
  const int32_t b = combody(c);
  if (c >= 0 && b >= 0 && unit[b].hp > 0) {
    foreachunitinland(unit[b].land, [&](int32_t u) {
      if (unit[u].hp > 0 && comleadsunit(u, c) && getmapmove(u) < 1) setunitsquad(u, -1);
    });
  }
  clearemptysquads();
}
