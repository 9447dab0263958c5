// Random pretender gods and the design check, by the design rules of
// ai/design.h.
#include "ai/randgod.h"

#include "ai/design.h"
#include "runtime/fatal.h"
#include "world/epithets.h"
#include "world/units.h"
#include "world/world.h"

int32_t godcost(int32_t player) {
  bailif(player < 0 || player >= MAXPLAYERS, "godcost: bad p");
  const int32_t c = kingdom[size_t(player)].w[KW_GOD];
  bailif(c < 0 || c >= MAXCOMS, "godcost: bad c");
  return designcost(designof(c, player, player));
}

int32_t randgod(int32_t player, int32_t points) {
  bailif(player < 0 || player >= MAXPLAYERS, "randgod: bad p");
  GodDesign d = randomdesign(player, points);
  const int32_t cnr = placedesign(d, player);
  if (cnr >= 0) ge(player, cnr);
  return cnr;
}

int32_t fg(int32_t player, int32_t arg) {
  if (arg >= 0) return 0;
  bailif(player < 0 || player >= MAXPLAYERS, "fg: bad p");
  const int32_t c = kingdom[size_t(player)].w[KW_GOD];
  bailif(c < 0 || c >= MAXCOMS, "fg: bad c");
  const int32_t u = com[size_t(c)].body;
  bailif(u < 0 || u >= MAXUNITS, "fg: bad u");
  if (!formallowed(player, unit[size_t(u)].type)) {
    debugprint("FG bad m\n");
    return 1;
  }
  const int32_t cost = designcost(designof(c, player, player));
  if (cost > DESIGNPOINTS) {
    debugprint("FG %d %d\n", player, cost);
    return 1;
  }
  return 0;
}
