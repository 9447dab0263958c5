// Random pretender gods and the design check.
#include "ai/randgod.h"

#include "runtime/fatal.h"
#include "runtime/rnd.h"
#include "runtime/util.h"
#include "world/gamedata.h"
#include "world/units.h"
#include "world/world.h"

namespace {
constexpr int32_t FALLBACKFORM = 244;   // the plain form a god falls back to
constexpr int32_t MAXDESIGNPOINTS = 500;

// Each further level of a path costs more than the one before.
int32_t pathcost(int32_t level) { return level * (level + 1) / 2 * 8; }

bool formallowed(int32_t nation, int32_t type) {
  const Nation& n = nations[size_t(nation)];
  if (n.godform[0] == 0) return type == FALLBACKFORM;
  for (int i = 0; i < MAXGODFORMS && n.godform[i] != 0; i++)
    if (n.godform[i] == type) return true;
  return false;
}
}  // namespace

int32_t godcost(int32_t cnr) {
  bailif(cnr < 0 || cnr >= MAXCOMS, "godcost: bad cnr");
  const Commander& c = com[size_t(cnr)];
  int32_t cost = 0;
  if (c.body >= 0 && c.body < MAXUNITS) {
    int32_t type = unit[size_t(c.body)].type;
    if (type >= 0 && type < MAXUNITTYPES) cost += imax(0, unittypes[size_t(type)].gcost);
  }
  for (int p = 0; p < 9; p++) cost += pathcost(c.path[p]);
  cost += 10 * imax(0, c.veyvalue - 1);
  return cost;
}

int32_t randgod(int32_t player, int32_t points) {
  bailif(player < 0 || player >= MAXPLAYERS, "randgod: bad p");
  const Nation& n = nations[size_t(player)];
  int32_t forms = 0;
  while (forms < MAXGODFORMS && n.godform[forms] != 0) forms++;
  int32_t type = forms > 0 ? n.godform[rnd(forms)] : FALLBACKFORM;
  int32_t cnr = newcom(type, player);
  if (cnr < 0) return -1;
  Commander& c = com[size_t(cnr)];
  for (int p = 0; p < 9; p++) c.path[p] = 0;
  c.veyvalue = int8_t(1 + rnd(3));
  // Spend the points a level at a time on random paths, then on veyrance.
  for (int32_t attempt = 0; attempt < 200; attempt++) {
    int32_t p = rnd(9);
    c.path[p]++;
    if (c.path[p] > 9 || godcost(cnr) > points) c.path[p]--;
  }
  while (c.veyvalue < 10) {
    c.veyvalue++;
    if (godcost(cnr) > points) {
      c.veyvalue--;
      break;
    }
  }
  VeyRec& v = veyrec[size_t(player)];
  for (int s = 0; s < 6; s++) v.scale[s] = int8_t(rnd(7) - 3);
  v.value[0] = 0;
  return cnr;
}

int32_t fg(int32_t player, int32_t arg) {
  if (arg >= 0) return 0;
  bailif(player < 0 || player >= MAXPLAYERS, "fg: bad p");
  int32_t c = kingdom[size_t(player)].w[KW_GOD];
  bailif(c < 0 || c >= MAXCOMS, "fg: bad c");
  int32_t u = com[size_t(c)].body;
  bailif(u < 0 || u >= MAXUNITS, "fg: bad u");
  if (!formallowed(player, unit[size_t(u)].type)) {
    debugprint("FG bad m\n");
    return 1;
  }
  int32_t cost = godcost(c);
  if (cost > MAXDESIGNPOINTS) {
    debugprint("FG %d %d\n", player, cost);
    return 1;
  }
  return 0;
}
