// Order cancelling and site entry.
#include "world/siteentry.h"

#include "runtime/fatal.h"
#include "runtime/util.h"
#include "world/forts.h"
#include "world/gamedata.h"
#include "world/rules.h"
#include "world/scores.h"
#include "world/units.h"
#include "world/world.h"

namespace {
// Treasury changes stay inside the player's record: gems of paths 0..8 only,
// counts saturating in their 16-bit fields.
void refundgems(int32_t p, int32_t path, int32_t amount) {
  if (path < 0 || path > 8) return;
  int16_t& g = kingdom[p].w[KW_GEMS + path];
  g = int16_t(imax(-32768, imin(32767, g + amount)));
}

void refundgold(int32_t p, int32_t amount) {
  const int64_t g = int64_t(kingdom[p].gold) + amount;
  kingdom[p].gold = int32_t(g > INT32_MAX ? INT32_MAX : g);
}

bool enterablekind(int32_t k) { return k == 18 || k == 22 || k == 57 || k == 72 || k == 192; }
}  // namespace

int32_t empowercost(int32_t cnr, int32_t path) {
  if (path < 0 || path > 8 || combody(cnr) < 0) return 0;
  const int32_t level = com[cnr].path[path];
  return level == 0 ? 50 : (level + 1) * 15;
}

int32_t cancelorder(int32_t c) {
  if (c < 0 || c > highestcom || c >= MAXCOMS) return 0;
  const int32_t b = combody(c);
  if (b < 0) return 0;
  Commander& cm = com[c];
  const Order old = cm.order;
  const int32_t p = unit[b].owner;
  const int32_t l = unit[b].land;
  if (getability(b, AB_FIXEDORDER, 1) > 0) return 0;
  const bool payer = p >= 0 && p < MAXKINGDOMS;   // a treasury to give back to
  switch (old) {
    case Order::buildlab:
      if (payer) refundgold(p, getlabcost(p));
      break;
    case Order::buildtemple:
      if (payer) refundgold(p, gettemplecost(p));
      break;
    case Order::buildfort: {
      const int32_t fort = l >= 0 && l < MAXLANDS ? land[l].fort : 0;
      if (fort >= 0) {
        bailif(cm.orderparam < 1 || cm.orderparam > 49, "rho: bad f");
        if (payer && cm.orderparam >= 1 && cm.orderparam <= 49) refundgold(p, fortcost(p, cm.orderparam));
      } else if (payer && kingdom[p].w[KW_CONTROLLER] == CTRL_AI) {
        return 0;
      }
      break;
    }
    case Order::forge:
      if (payer && validitem(cm.orderparam)) {
        const Item& it = items[cm.orderparam];
        refundgems(p, it.mainpath, cm.ordergems[0]);
        if (it.secondpath >= 0) refundgems(p, it.secondpath, cm.ordergems[1]);
      }
      break;
    case Order::ritual:
    case Order::monthlyritual:
      if (cm.orderparam > 0 && cm.orderparam < MAXSPELLS) {
        const int32_t path = spells[cm.orderparam].path[0];
        if (path >= 0) {
          bailif(path >= 20, "rho: bad mt0");
          if (payer) refundgems(p, path, cm.ordergems[0]);
        }
      }
      break;
    case Order::deathmatch:
      if (comhasitem(c, 1)) return 0;
      break;
    case Order::empower:
      if (payer) refundgems(p, cm.orderparam, empowercost(c, cm.orderparam));
      break;
    case Order::dispel:
      if (payer) refundgems(p, P_ASTRAL, cm.ordergems[0]);
      break;
    default:
      break;
  }
  cm.order = Order::defend;
  if (old != Order::move && old != Order::sneak && old != Order::movepatrol) cm.orderparam = 0;
  cm.ordergems[0] = cm.ordergems[1] = 0;
  return 1;
}

int32_t countsiteentrants(int32_t lnr, int32_t slot) {
  int32_t n = 0;
  for (int32_t c = 0; c <= highestcom && c < MAXCOMS; c++) {
    const int32_t b = combody(c);
    if (b >= 0 && unit[b].land == lnr && com[c].order == Order::entersite && com[c].orderparam == slot) n++;
  }
  return n;
}

int32_t canentersite(int32_t c, int32_t s) {
  if (c < 0) return 0;
  bailif(s < 0 || s > 3, "ces: bad sitenr");
  if (s < 0 || s > 3) return 0;
  const int32_t b = combody(c);
  if (b < 0) return 0;
  const int32_t l = unit[b].land;
  if (l < 1 || l >= MAXLANDS) return 0;
  const Land& ld = land[l];
  if (ld.fortholder != unit[b].owner) return -3;
  const int32_t site = ld.site[s];
  if (site < 0 || site >= MAXSITES) return 0;
  const int32_t kind = sites[site].effectkind[0];
  if (!enterablekind(kind) || ld.sitefound[s] < 1) return 0;
  if (countsiteentrants(l, s) != 0) return -2;
  if (kind == 22 || kind == 192) return 1;
  return getcommagic(c, sites[site].path) >= 1 ? 1 : -1;
}

int32_t siteicon(int32_t site) {
  if (site < 0 || site >= MAXSITES) return 0;
  return 157 + 3 * sites[site].path + imin(sites[site].level, 2);
}
