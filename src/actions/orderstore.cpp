// Validating, charging and storing one commander order.
#include "actions/orderstore.h"

#include "actions/moverule.h"
#include "world/movement.h"
#include "world/rules.h"
#include "world/siteentry.h"
#include "world/units.h"
#include "world/world.h"

Refusal storeorder(int32_t cnr, Order code, int32_t param, int32_t asking) {
  const int32_t b = combody(cnr);
  const int32_t lnr = orderland(cnr);
  if (b < 0 || lnr < 0 || unit[size_t(b)].hp < 1) return refuse("The commander stands in no province.");
  const char* name = comshownname(cnr);
  if (code == Order::empower || code == Order::ritual || code == Order::forge || code == Order::dispel ||
      code == Order::monthlyritual)
    return refuse("That order is given where its gems are chosen.");
  Commander& c = com[size_t(cnr)];
  if (movingorder(code) && (code != Order::sneak || (param >= 1 && param != lnr))) {
    if (param < 1 || param == lnr) return refuse("Choose where %s moves by clicking a province on the map.", name);
    if (code == Order::sneak)
      if (Refusal r = orderallowed(cnr, Order::sneak, 0)) return r;
    if (!mapmove(cnr, param, asking)) return refuse("%s's army cannot go there this month.", name);
    c.order = code;
    c.orderparam = param;
    return {};
  }
  if (Refusal r = orderallowed(cnr, code, param)) return r;
  const int32_t cost = ordergoldcost(cnr, code);
  Kingdom& k = kingdom[size_t(unit[size_t(b)].owner)];
  if (cost > 0 && k.gold < cost) return refuse("Not enough gold. You have %d pounds of gold in the treasury.", k.gold);
  k.gold -= cost;
  c.order = code;
  switch (code) {
    case Order::buildfort: c.orderparam = fortordertype(cnr); break;
    case Order::attack: c.orderparam = lnr; break;
    case Order::entersite: c.orderparam = param; break;
    case Order::cultist: case Order::funeral: c.orderparam = param; break;
    default: c.orderparam = 0; break;
  }
  return {};
}

Refusal giveorder(int32_t cnr, Order code, int32_t param, int32_t asking) {
  if (!cancelorder(cnr)) return refuse("%s is bound to the order it has.", comshownname(cnr));
  return storeorder(cnr, code, param, asking);
}
