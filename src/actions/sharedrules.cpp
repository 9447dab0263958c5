// The rules that the turn screens, the computer players and the host share
// (actions/sharedrules.h).
#include "actions/sharedrules.h"

#include <algorithm>

#include "runtime/rnd.h"
#include "runtime/util.h"
#include "world/economy.h"
#include "world/gamedata.h"
#include "world/magic.h"
#include "world/rules.h"
#include "world/units.h"
#include "world/world.h"

int32_t forgegemcost1 = 0, forgegemcost2 = 0;

namespace {
constexpr int32_t levelcosts[12] = {0, 20, 40, 60, 100, 160, 260, 420, 680, 1100, 1780, 3000};
constexpr int32_t itemgems[10] = {0, 5, 10, 15, 25, 40, 65, 90, 115, 140};
constexpr int32_t SCHOOLS = 7;
}  // namespace

// ---------------------------------------------------------------- players and armies
bool hostile(int32_t a, int32_t b) {
  if (a == b || a < 0 || b < 0) return false;
  // An alliance is the byte 255 both ways (the map command "allies").
  if (a < MAXPLAYERS && b < MAXPLAYERS && diplomacy[a][b] == 255 && diplomacy[b][a] == 255) return false;
  return true;
}

bool comalive(int32_t cnr) {
  const int32_t b = combody(cnr);
  return b >= 0 && unit[size_t(b)].hp >= 1;
}

int32_t complayer(int32_t cnr) { return comalive(cnr) ? unit[size_t(com[size_t(cnr)].body)].owner : -1; }

int32_t comland(int32_t cnr) { return comalive(cnr) ? unit[size_t(com[size_t(cnr)].body)].land : -1; }

std::vector<int32_t> armyunits(int32_t cnr) {
  std::vector<int32_t> v;
  if (!comalive(cnr)) return v;
  const int32_t b = com[size_t(cnr)].body;
  v.push_back(b);
  const int32_t l = unit[size_t(b)].land, owner = unit[size_t(b)].owner;
  foreachunitinsquads(com[size_t(cnr)].squad, [&](int32_t u) {
    const Unit& x = unit[size_t(u)];
    if (x.hp >= 1 && u != b && x.land == l && x.owner == owner) v.push_back(u);
  });
  return v;
}

std::vector<int32_t> commandersin(int32_t lnr, int32_t player) {
  std::vector<int32_t> v;
  for (int32_t c = 0; c <= highestcom; c++) {
    if (!comalive(c)) continue;
    const Unit& b = unit[size_t(com[size_t(c)].body)];
    if ((lnr < 0 || b.land == lnr) && (player < 0 || b.owner == player)) v.push_back(c);
  }
  return v;
}

std::vector<int32_t> unitsin(int32_t lnr, int32_t player) {
  std::vector<int32_t> v;
  foreachunitinland(lnr, [&](int32_t u) {
    const Unit& x = unit[size_t(u)];
    if (x.hp >= 1 && (player < 0 || x.owner == player)) v.push_back(u);
  });
  return v;
}

// ---------------------------------------------------------------- research and forging
int32_t researchcost(int32_t level) {
  const int32_t i = imax(0, imin(level + 1 + int32_t(gameinfo.researchdiff), 11));
  return levelcosts[i];
}

int32_t itemgemcost(int32_t level) { return itemgems[imax(0, imin(level, 9))]; }

int32_t pathresearch(int32_t p, int32_t school) {
  int32_t total = 0;
  for (int32_t c = 0; c <= highestcom; c++)
    if (com[size_t(c)].order == Order::research && complayer(c) == p) total += comresearch(c, 0) + com[size_t(c)].ordergems[0];
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

int32_t canforge(int32_t cnr, int32_t item) {
  const int32_t b = combody(cnr);
  if (b < 0 || !validitem(item)) return -1;
  const Item& it = items[size_t(item)];
  // An item without a path level of gems is found, never made (an order
  // file may name one all the same).
  if (it.mainlevel < 1 || it.mainpath < 0 || it.mainpath > 7 || it.secondpath > 7) return -1;
  const int32_t p = unit[size_t(b)].owner;
  const int32_t l = unit[size_t(b)].land;
  const bool reducible = it.constlevel <= 4 && getitemability(item, AB_NOTREDUCIBLE) <= 0;
  const int32_t bonus = p >= 0 && findench(EN_FORGE, -1, p) >= 0 ? 1 : 0;
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
  const int32_t r = imin(getitemfx(cnr, AB_FORGEBONUS, 1) + landsiteeffect(l, 63, 0, 0), 80);
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

// ---------------------------------------------------------------- gold and honour
int32_t mercprice(int32_t b, int32_t p, int32_t employer) {
  if (b < 0 || b >= MAXMERCBANDS) return 0;
  const MercBand& m = mercband[size_t(b)];
  int32_t price = m.value[MB_PRICE];
  if (p == m.value[MB_FAVNATION]) price = price * m.value[MB_FAVPERCENT] / 100;
  if (p == 40) price += price / 4;
  if (p == employer && p >= 0 && p < MAXPLAYERS) price /= 2;
  return price;
}

bool paysupkeep(const Unit& u) {
  return u.hp >= 1 && u.homeland != -2 && !(u.flags[2] & F3_PRETENDER) && u.type >= 0 && u.type < MAXUNITTYPES;
}

int32_t unitupkeep(const Unit& u) { return imax(unittypes[size_t(u.type)].gcost, 0); }

int32_t upk(int32_t p) {
  int64_t sum = 0;
  for (int32_t u = 0; u <= highestunit; u++)
    if (unit[size_t(u)].owner == p && paysupkeep(unit[size_t(u)])) sum += unitupkeep(unit[size_t(u)]);
  return int32_t(std::min<int64_t>(sum / UPKEEPDIVISOR, INT32_MAX));
}

int32_t famescore(int32_t cnr) {
  if (cnr < 0 || cnr > highestcom || cnr >= MAXCOMS || combody(cnr) < 0) return -1;
  const Commander& c = com[size_t(cnr)];
  return 8 * c.herocount + 2 * c.kills + unit[size_t(c.body)].exp;
}
