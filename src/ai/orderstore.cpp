// Validating, charging and storing one commander order.
#include "ai/orderstore.h"

#include <cstdio>

#include "actions/moverule.h"
#include "world/movement.h"
#include "world/orderrules.h"
#include "world/rules.h"
#include "world/siteentry.h"
#include "world/units.h"
#include "world/world.h"

namespace {
bool movecode(int32_t code) { return code == 1 || code == 46 || code == 2; }
}  // namespace

int32_t storeorder(int32_t cnr, int32_t code, int32_t param, int32_t asking, char* why) {
  why[0] = 0;
  const int32_t b = combody(cnr);
  const int32_t lnr = orderland(cnr);
  if (b < 0 || lnr < 0 || unit[size_t(b)].hp < 1 || code < 0 || code > 255) return 0;
  if (code == 5 || code == 9 || code == 11 || code == 15 || code == 60) return 0;
  Commander& c = com[size_t(cnr)];
  if (movecode(code) && (code != 2 || (param >= 1 && param != lnr))) {
    if (param < 1 || param == lnr) return 0;
    if (code == 2 && !maysneak(cnr)) return 0;
    if (!mapmove(cnr, param, asking)) return 0;
    c.order = uint8_t(code);
    c.orderparam = param;
    return 1;
  }
  if (!orderallowed(cnr, code, param, why)) return 0;
  const int32_t cost = ordergoldcost(cnr, code);
  Kingdom& k = kingdom[size_t(unit[size_t(b)].owner)];
  if (cost > 0 && k.gold < cost) {
    snprintf(why, ORDERWHYLEN, "Not enough gold. You have %d pounds of gold in the treasury.", k.gold);
    return 0;
  }
  k.gold -= cost;
  c.order = uint8_t(code);
  switch (code) {
    case 20: c.orderparam = fortordertype(cnr); break;
    case 47: c.orderparam = lnr; break;
    case 50: c.orderparam = param; break;
    case 62: case 63: c.orderparam = param; break;
    default: c.orderparam = 0; break;
  }
  return 1;
}

int32_t giveorder(int32_t cnr, int32_t code, int32_t param, int32_t asking, char* why) {
  why[0] = 0;
  if (!cancelorder(cnr)) return 0;
  return storeorder(cnr, code, param, asking, why);
}
