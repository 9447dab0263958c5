// Research, forging and Empowerment: mages on the research order add their
// points to the schools by the nation's percentages; forging and
// Empowerment orders, paid when they were given, are carried out.
#include <cstring>

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

int32_t forgegemcost1 = 0, forgegemcost2 = 0;

namespace {
constexpr int32_t levelcosts[12] = {0, 20, 40, 60, 100, 160, 260, 420, 680, 1100, 1780, 3000};
constexpr int32_t itemgems[10] = {0, 5, 10, 15, 25, 40, 65, 90, 115, 140};
constexpr int32_t SCHOOLS = 7;
constexpr int32_t TOPLEVEL = 9;   // a school at this level is complete
constexpr int32_t EN_FORGEHALF = 20;

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

int32_t researchcost(int32_t level) {
  const int32_t i = imax(0, imin(level + 1 + int32_t(gameinfo.researchdiff), 11));
  return levelcosts[i];
}

int32_t itemgemcost(int32_t level) { return itemgems[imax(0, imin(level, 9))]; }

int32_t pathresearch(int32_t p, int32_t school) {
  int32_t total = 0;
  for (int32_t c = 0; c <= highestcom; c++)
    if (com[size_t(c)].order == 4 && complayer(c) == p) total += comresearch(c, 0) + com[size_t(c)].ordergems[0];
  if (school < 0 || school >= SCHOOLS) return total;
  int32_t share[SCHOOLS];
  int32_t sum = 0;
  for (int32_t i = 0; i < SCHOOLS; i++) {
    const int32_t pc = researchrec[p][RR_PERCENT + i];
    share[i] = pc > 0 ? int32_t(int64_t(total) * pc / 100) : 0;
    sum += share[i];
  }
  // The points lost to rounding go, one each, to the first schools with a share.
  if (sum < total) {
    for (int32_t i = 0; i < 6 && sum < total; i++)
      if (share[i] > 0) share[i]++, sum++;
    if (sum < total && share[6] > 0) share[6]++;
  }
  return share[school];
}

void balanceresearch(int32_t p, int32_t changed) {
  int16_t* pc = &researchrec[p][RR_PERCENT];
  int32_t smallest = changed == 0 ? 1 : 0, largest = smallest;
  for (int32_t pass = 0; pass < 10000; pass++) {
    int32_t sum = 0;
    for (int32_t i = 0; i < SCHOOLS; i++) sum += pc[i];
    if (pass > 0) {
      if (sum == 100) return;
      if (sum == 0) pc[rnd(6)] = 100;
      else if (sum < 100) pc[smallest]++;
      else pc[largest]--;
    }
    for (int32_t i = 0; i < SCHOOLS; i++) pc[i] = int16_t(imax(0, imin(100, pc[i])));
    int32_t hi = -1, lo = -1;
    for (int32_t i = 0; i < SCHOOLS; i++) {
      if (i == changed) continue;
      if (hi < 0 || pc[i] > pc[hi]) hi = i;
      if (pc[i] > 0 && (lo < 0 || pc[i] < pc[lo])) lo = i;
    }
    if (hi >= 0 && pc[hi] > 0) largest = hi;
    if (lo >= 0) smallest = lo;
    sum = 0;
    for (int32_t i = 0; i < SCHOOLS; i++) sum += pc[i];
    if (pass == 0 && sum == 100) return;
  }
}

void researchphase() {
  for (int32_t c = 0; c <= highestcom; c++)
    if (com[size_t(c)].order == 4 && comalive(c) && !inownlab(c))
      failorder(c, "research", "research needs a laboratory of the nation");
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

int32_t canforge(int32_t cnr, int32_t item) {
  const int32_t b = combody(cnr);
  if (b < 0 || !validitem(item)) return -1;
  const Item& it = items[size_t(item)];
  // An item without a path level of gems is found, never made (an order
  // file may name one all the same).
  if (it.mainlevel < 1 || it.mainpath < 0 || it.mainpath > 7 || it.secondpath > 7) return -1;
  const int32_t p = unit[size_t(b)].owner;
  const int32_t l = unit[size_t(b)].land;
  const bool reducible = it.constlevel <= 4 && getitemability(item, 292) <= 0;
  const int32_t bonus = p >= 0 && findench(EN_FORGEHALF, -1, p) >= 0 ? 1 : 0;
  auto skilled = [&](int32_t path, int32_t level) {
    if (path < 0) return true;
    int32_t have = getcommagic(cnr, path);
    if (have > 0) have += bonus;
    return have >= level;
  };
  if (!skilled(it.mainpath, it.mainlevel) || !skilled(it.secondpath, it.secondlevel)) return -1;
  if (p < 0 || p >= MAXKINGDOMS || it.constlevel > researchrec[p][RR_LEVEL + SCH_CONSTRUCTION] / 2) return -1;
  int32_t cost1 = itemgemcost(it.mainlevel), cost2 = itemgemcost(it.secondlevel);
  if (bonus && reducible) cost1 /= 2, cost2 /= 2;
  const int32_t r = imin(getitemfx(cnr, 118, 1) + landsiteeffect(l, 63, 0, 0), 80);
  if (r > 0 && reducible) {
    cost1 = cost1 * (100 - r) / 100;
    cost2 = cost2 * (100 - r) / 100;
  }
  forgegemcost1 = cost1;
  forgegemcost2 = cost2;
  if (it.constlevel >= 4 && iteminplay[item] > 0) return -2;
  const Kingdom& k = kingdom[size_t(p)];
  if ((it.mainpath >= 0 && cost1 > k.w[KW_GEMS + it.mainpath]) ||
      (it.secondpath >= 0 && cost2 > k.w[KW_GEMS + it.secondpath]))
    return -3;
  return 1;
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
    if ((cm.order != ORD_FORGE && cm.order != ORD_EMPOWER) || !comalive(c)) continue;
    const int32_t p = complayer(c);
    if (!inownlab(c)) {
      failorder(c, cm.order == ORD_FORGE ? "forge" : "be empowered", "the nation holds no laboratory there");
      continue;
    }
    if (cm.order == ORD_EMPOWER) {
      const int32_t path = cm.orderparam;
      if (path < 0 || path > 7 || cm.path[path] >= 250) {
        failorder(c, "be empowered", "that path cannot be raised");
        continue;
      }
      cm.path[path]++;
      landmsg(p, comland(c), "%s has been empowered and reached level %d in %s magic.", cm.name, cm.path[path],
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
    landmsg(p, comland(c), "%s has forged %s%s.", cm.name, it.name,
            carried ? "" : " and put it in the laboratory's treasury");
    orderdone(c);
  }
}
