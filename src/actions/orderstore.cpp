// Validating, charging and storing one commander order.
#include "actions/orderstore.h"

#include <cstdio>

#include "actions/moverule.h"
#include "world/movement.h"
#include "world/orderrules.h"
#include "world/rules.h"
#include "world/siteentry.h"
#include "world/units.h"
#include "world/world.h"

int32_t storeorder(int32_t cnr, Order code, int32_t param, int32_t asking, char* why) {
  why[0] = 0;
  const int32_t b = combody(cnr);
  const int32_t lnr = orderland(cnr);
  if (b < 0 || lnr < 0 || unit[size_t(b)].hp < 1) return 0;
  // Orders that pay gems are stored by the windows that take the gems.
  if (code == Order::empower || code == Order::ritual || code == Order::forge || code == Order::dispel ||
      code == Order::monthlyritual)
    return 0;
  Commander& c = com[size_t(cnr)];
  if (movingorder(code) && (code != Order::sneak || (param >= 1 && param != lnr))) {
    if (param < 1 || param == lnr) return 0;
    if (code == Order::sneak && !maysneak(cnr)) return 0;
    if (!mapmove(cnr, param, asking)) return 0;
    c.order = code;
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
  c.order = code;
  switch (code) {
    case Order::buildfort: c.orderparam = fortordertype(cnr); break;
    case Order::attack: c.orderparam = lnr; break;
    case Order::entersite: c.orderparam = param; break;
    case Order::cultist: case Order::funeral: c.orderparam = param; break;
    default: c.orderparam = 0; break;
  }
  return 1;
}

int32_t giveorder(int32_t cnr, Order code, int32_t param, int32_t asking, char* why) {
  why[0] = 0;
  if (!cancelorder(cnr)) return 0;
  return storeorder(cnr, code, param, asking, why);
}
