// Research, forging and Empowerment: mages on the research order add their
// points to the schools by the nation's percentages; forging and
// Empowerment orders, paid when they were given, are carried out.
#include <cstring>

#include "actions/orderrules.h"
#include "host/host.h"
#include "host/hostinternal.h"
#include "host/phases.h"
#include "runtime/fatal.h"
#include "runtime/rnd.h"
#include "runtime/util.h"
#include "world/economy.h"
#include "world/gamedata.h"
#include "world/magic.h"
#include "world/rules.h"
#include "world/siteentry.h"
#include "world/units.h"
#include "world/world.h"

namespace {
constexpr int32_t SCHOOLS = 7;
constexpr int32_t TOPLEVEL = 9;   // a school at this level is complete

// The commander stands in a land whose laboratory the player holds.
bool inownlab(int32_t cnr) {
  const int32_t l = comland(cnr);
  return l >= 1 && l < MAXLANDS && land[size_t(l)].lab >= 1 && land[size_t(l)].fortholder == complayer(cnr);
}

void addgems(int32_t p, int32_t path, int32_t amount) {
  if (path < 0 || path > 8 || amount == 0) return;
  int16_t& g = kingdom[size_t(p)].w[KW_GEMS + path];
  g = int16_t(imax(-32768, imin(32767, g + amount)));
}
}  // namespace

void researchphase() {
  for (int32_t c = 0; c <= highestcom; c++)
    if (com[size_t(c)].order == Order::research && comalive(c))
      if (const Refusal r = orderallowed(c, Order::research, 0)) failorder(c, "research", r);
  for (int32_t p = 0; p < MAXPLAYERS; p++) {
    if (!activeplayer(p)) continue;
    balanceresearch(p, -1);
    bool newlevel = false;
    for (int32_t s = 0; s < SCHOOLS; s++) {
      int16_t& level = researchrec[p][RR_LEVEL + s];
      int16_t& points = researchrec[p][RR_POINTS + s];
      if (level >= TOPLEVEL) {
        points = 0;
        continue;
      }
      points = int16_t(imin(32767, points + pathresearch(p, s)));
      while (level < TOPLEVEL && points >= researchcost(level)) {
        points = int16_t(points - researchcost(level));
        level++;
        newlevel = true;
        landmsg(p, -1, "Research\n\nYour mages have reached level %d in %s.", level, schoolnames[s]);
      }
      if (level >= TOPLEVEL) points = 0;
    }
    if (newlevel) updatespellbook(p);
  }
}

void host_upditemsinplay() {
  int32_t count[MAXITEMS] = {};
  for (int32_t c = 0; c <= highestcom; c++)
    if (com[size_t(c)].body >= 0)
      for (int16_t it : com[size_t(c)].item)
        if (validitem(it)) count[it]++;
  for (int32_t p = 0; p < MAXKINGDOMS; p++)
    for (int32_t i = 0; i < LABSTORESIZE; i++)
      if (validitem(kingdom[size_t(p)].w[KW_LABSTORE + i])) count[kingdom[size_t(p)].w[KW_LABSTORE + i]]++;
  for (int32_t p = 0; p < MAXPLAYERS; p++)
    for (const PMess& m : pmess[p])
      if (m.b0 != 255 && m.b1 == PG_ITEM && validitem(m.value)) count[m.value]++;
  for (int32_t i = 0; i < MAXITEMS; i++) iteminplay[i] = uint8_t(imin(count[i], 255));
}

void forgephase() {
  host_upditemsinplay();
  for (int32_t c = 0; c <= highestcom; c++) {
    Commander& cm = com[size_t(c)];
    if ((cm.order != Order::forge && cm.order != Order::empower) || !comalive(c)) continue;
    const int32_t p = complayer(c);
    if (!inownlab(c)) {
      failorder(c, cm.order == Order::forge ? "forge" : "be empowered", "the nation holds no laboratory there");
      continue;
    }
    if (cm.order == Order::empower) {
      const int32_t path = cm.orderparam;
      if (path < 0 || path > 7 || cm.path[path] >= 250) {
        failorder(c, "be empowered", "that path cannot be raised");
        continue;
      }
      cm.path[path]++;
      landmsg(p, comland(c), "%s has been empowered and reached level %d in %s magic.", comshownname(c), cm.path[path],
              pathnames[path]);
      orderdone(c);
      continue;
    }
    const int32_t item = cm.orderparam;
    const int32_t r = canforge(c, item);
    if (r == -1 || r == -2) {
      failorder(c, "forge the item", r == -2 ? "the unique artifact is already in play" : "the skill is lacking");
      continue;
    }
    const Item& it = items[size_t(item)];
    if (cm.ordergems[0] < forgegemcost1 || (it.secondpath >= 0 && cm.ordergems[1] < forgegemcost2)) {
      failorder(c, "forge the item", "the gems paid do not cover it");
      continue;
    }
    // Gems paid beyond the cost go back to the treasury.
    addgems(p, it.mainpath, cm.ordergems[0] - forgegemcost1);
    if (it.secondpath >= 0) addgems(p, it.secondpath, cm.ordergems[1] - forgegemcost2);
    const bool carried = getitem(c, item) >= 0;
    if (!carried) additemtolab(p, item, 1);
    if (iteminplay[item] < 255) iteminplay[item]++;
    landmsg(p, comland(c), "%s has forged %s%s.", comshownname(c), it.name,
            carried ? "" : " and put it in the laboratory's treasury");
    orderdone(c);
  }
}
