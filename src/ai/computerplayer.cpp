// The computer players' turn driver: a computer nation gives the orders
// that a human gives through the turn screens (taxes, research, recruits,
// mercenary bids, buildings, rituals, forging, marches) into the same
// records, and the host checks them as it checks an order file.
//
// The five levels differ in what the host gives them and in how well they
// play (aistyles below): an easy nation attacks only with a large margin,
// misjudges defences, spends little and leaves magic items, mercenaries and
// world enchantments alone; an impossible one is paid 60% more gold each
// month, attacks at a slight margin and uses everything. An aggressive
// personality attacks at a smaller margin, a defensive one at a larger and
// keeps its armies nearer home.
#include <algorithm>
#include <vector>

#include "actions/mercs.h"
#include "actions/moverule.h"
#include "actions/sharedrules.h"
#include "ai/ai.h"
#include "magic/rituals.h"
#include "runtime/fatal.h"
#include "runtime/rnd.h"
#include "runtime/util.h"
#include "world/economy.h"
#include "world/forts.h"
#include "world/gamedata.h"
#include "world/magic.h"
#include "world/movement.h"
#include "world/recruit.h"
#include "world/rules.h"
#include "world/scores.h"
#include "world/siteentry.h"
#include "world/units.h"
#include "world/world.h"

namespace {

struct AiStyle {
  int32_t incomebonus;   // percent of the month's income that the host adds
  int32_t attackratio;   // percent of the defence an army must bring to attack
  int32_t spendshare;    // percent of the gold above the reserve spent on troops each month
  int32_t misjudge;      // percent by which it may misjudge a defence, either way
  bool mercenaries;      // bids for mercenary bands
  bool forging;          // forges magic items and hands them to its commanders
  bool enchantments;     // casts world enchantments
  bool guardscapital;    // calls armies home when its capital is threatened
};
constexpr AiStyle aistyles[6] = {
    {0, 200, 70, 20, false, false, false, false},   // none (treated as normal play without extras)
    {0, 250, 60, 40, false, false, false, false},   // easy
    {0, 170, 80, 20, true, true, false, true},      // normal
    {15, 140, 90, 10, true, true, true, true},      // difficult
    {35, 125, 100, 0, true, true, true, true},      // mighty
    {60, 110, 100, 0, true, true, true, true},      // impossible
};
constexpr int32_t MINARMY = 5;   // units an army needs before it marches

const AiStyle& styleof(int32_t p) {
  return aistyles[size_t(imax(0, imin(5, kingdom[size_t(p)].w[KW_AILEVEL])))];
}

bool validland(int32_t l) { return l >= 1 && l <= nbrlands && l < MAXLANDS; }

// What a unit is worth in battle: its price rule's gold, for the units of
// the independents and of the nations alike; wounded units count less.
int32_t worth(int32_t u) {
  const Unit& x = unit[size_t(u)];
  const Monster* t = typerec(x.type);
  if (!t) return 0;
  const int32_t full = imax(1, t->hp);
  return imax(5, t->gcost) * imax(1, imin(x.hp, full)) / full;
}

int16_t& gems(int32_t p, int32_t path) { return kingdom[size_t(p)].w[KW_GEMS + path]; }

// The state of one computer player's month.
struct Plan {
  int32_t p = -1;
  AiStyle style{};
  int32_t ratio = 0;
  int32_t home = 0;
  int32_t reserve = 0;
  std::vector<int32_t> foes;        // strength of hostile units per land
  std::vector<int32_t> mine;        // strength of own units per land
  std::vector<int32_t> committed;   // strength already sent against a land this month
  std::vector<int16_t> tofront;     // steps from an own land to the nearest land not owned
  std::vector<int32_t> coms;        // the nation's living commanders
  std::vector<int32_t> owned;       // its provinces
  std::vector<int32_t> loose;       // units without a commander per land, after gatherarmies
};

bool ownsboth(int32_t l, int32_t p) { return land[size_t(l)].owner == p && land[size_t(l)].fortholder == p; }
bool ispretender(int32_t c) { return (unit[size_t(com[size_t(c)].body)].flags[2] & F3_PRETENDER) != 0; }
bool ismerc(int32_t c) { return unit[size_t(com[size_t(c)].body)].homeland == -2; }
bool mobile(int32_t c) { return !(unittypeflags(com[size_t(c)].body) & MF_IMMOBILE); }
bool leads(int32_t c) {
  const Monster* t = unittyperec(com[size_t(c)].body);
  return t && !(t->flags2 & MF2_NOLEADER) && !(t->flags & MF_IMMOBILE);
}

void survey(Plan& plan) {
  const int32_t p = plan.p;
  plan.foes.assign(size_t(MAXLANDS), 0);
  plan.mine.assign(size_t(MAXLANDS), 0);
  plan.committed.assign(size_t(MAXLANDS), 0);
  for (int32_t u = 0; u <= highestunit && u < MAXUNITS; u++) {
    const Unit& x = unit[size_t(u)];
    if (x.hp < 1 || x.land < 1 || x.land >= MAXLANDS) continue;
    if (x.owner == p) plan.mine[size_t(x.land)] += worth(u);
    else if (hostile(p, x.owner)) plan.foes[size_t(x.land)] += worth(u);
  }
  for (int32_t l = 1; l <= nbrlands && l < MAXLANDS; l++) {
    // Bought province defence stands with the owner's units; a fort doubles a defence.
    if (land[size_t(l)].owner != p) plan.foes[size_t(l)] += land[size_t(l)].provdef * 8;
    if (land[size_t(l)].fort > 0 && land[size_t(l)].fortholder != p) plan.foes[size_t(l)] *= 2;
    if (land[size_t(l)].owner == p) plan.owned.push_back(l);
  }
  plan.coms = commandersin(-1, p);
  // Steps to the front through the nation's own lands.
  plan.tofront.assign(size_t(MAXLANDS), -1);
  std::vector<int32_t> now, next;
  for (int32_t l = 1; l <= nbrlands && l < MAXLANDS; l++)
    if (land[size_t(l)].owner != p) {
      plan.tofront[size_t(l)] = 0;
      now.push_back(l);
    }
  for (int16_t step = 1; !now.empty() && step < 1000; step++) {
    next.clear();
    for (int32_t l : now)
      for (int32_t i = 0; i < MAXNEIGHBOURS; i++) {
        const int32_t n = provgeo[size_t(l)].nbr[i];
        if (n < 1) break;
        if (!validland(n) || plan.tofront[size_t(n)] >= 0) continue;
        plan.tofront[size_t(n)] = step;
        next.push_back(n);
      }
    now.swap(next);
  }
}

// ---------------------------------------------------------------- the economy

void settaxes(const Plan& plan) {
  for (int32_t l : plan.owned) land[size_t(l)].tax = int16_t(unrestpercent(l));
}

void setresearch(const Plan& plan) {
  // Conjuration and construction bring summons and items; blood magic only
  // for a nation with blood mages.
  int32_t weights[7] = {25, 10, 10, 25, 15, 15, 0};
  for (int32_t c : plan.coms)
    if (getcommagic(c, P_BLOOD) > 0) weights[SCH_BLOOD] = 10;
  int32_t sum = 0;
  for (int32_t w : weights) sum += w;
  int32_t given = 0;
  for (int32_t s = 0; s < 7; s++) {
    const int32_t share = weights[s] * 100 / sum;
    researchrec[plan.p][RR_PERCENT + s] = int16_t(share);
    given += share;
  }
  researchrec[plan.p][RR_PERCENT] = int16_t(researchrec[plan.p][RR_PERCENT] + 100 - given);
}

// Battle worth per price of a recruitable type.
int32_t typevalue(int32_t m) {
  const Monster& t = unittypes[size_t(m)];
  const int32_t fight = (t.hp + 2 * t.prot) * (t.att + t.def + t.str / 2 + 5);
  return fight * 10 / imax(1, t.gcost + unitrescost(m));
}

bool pay(int32_t p, int32_t gold, int32_t reserve) {
  if (gold < 0 || kingdom[size_t(p)].gold - gold < reserve) return false;
  kingdom[size_t(p)].gold -= gold;
  return true;
}

int32_t leaderscount(const Plan& plan) {
  int32_t n = 0;
  for (int32_t c : plan.coms)
    if (leads(c) && !ispretender(c) && !ismerc(c) && !ismageorpriest(c)) n++;
  return n;
}

void recruit(Plan& plan) {
  const int32_t p = plan.p;
  const int32_t spendable = imax(0, kingdom[size_t(p)].gold - plan.reserve) * plan.style.spendshare / 100;
  const int32_t floor = kingdom[size_t(p)].gold - spendable;
  int32_t leaders = leaderscount(plan);
  for (int32_t l : plan.owned) {
    Land& ld = land[size_t(l)];
    if (!ownsboth(l, p) || ld.unrest > 99) continue;
    int32_t budget = getresources(l, p);
    for (int32_t i = 0; i < imin(imax(ld.queuecount, 0), 100); i++) budget -= unitrescost(ld.queue[i]);
    // A commander where units wait without one, or while the nation has few.
    const bool needleader = plan.loose[size_t(l)] > 10 || leaders < 2 + int32_t(plan.owned.size()) / 4;
    if (needleader && ld.comqueued != 1) {
      createslist(l, 10);
      int32_t best = -1;
      for (int32_t i = 0; i <= slistlast; i++) {
        const int32_t m = slist[size_t(i)];
        const Monster& t = unittypes[size_t(m)];
        if ((t.flags2 & MF2_NOLEADER) || (t.flags & MF_IMMOBILE) || unitrescost(m) > budget) continue;
        bool magical = false;
        for (int32_t path = 0; path <= P_PRIEST; path++) magical = magical || gettypemagic(m, path) > 0;
        if (magical) continue;   // mages and priests are no field commanders
        if (best < 0 || t.gcost < unittypes[size_t(best)].gcost) best = m;
      }
      if (best >= 0 && pay(p, unittypes[size_t(best)].gcost, floor)) {
        ld.comqueued = 1;
        ld.queuedcomtype = int16_t(best);
        budget -= unitrescost(best);
        leaders++;
      }
    }
    createslist(l, 0);
    int32_t best = -1;
    for (int32_t i = 0; i <= slistlast; i++) {
      const int32_t m = slist[size_t(i)];
      if ((unittypes[size_t(m)].flags & MF_IMMOBILE) || unitrescost(m) > budget) continue;
      if (best < 0 || typevalue(m) > typevalue(best)) best = m;
    }
    if (best < 0) continue;
    const int32_t cost = imax(1, unittypes[size_t(best)].gcost), res = imax(1, unitrescost(best));
    while (ld.queuecount < 100 && budget >= res && pay(p, cost, floor)) {
      ld.queue[ld.queuecount++] = int16_t(best);
      budget -= res;
    }
  }
}

void hiremercenaries(const Plan& plan) {
  if (!plan.style.mercenaries || !validland(plan.home) || land[size_t(plan.home)].owner != plan.p) return;
  if (recmercs(plan.p, -1) >= 2) return;
  const int32_t level = kingdom[size_t(plan.p)].w[KW_AILEVEL];
  for (int32_t b = 0; b < MAXMERCBANDS; b++) {
    const MercBand& m = mercband[size_t(b)];
    if (m.value[MB_LEADER] < 0 || (m.value[MB_EMPLOYER] >= 0 && m.value[MB_EMPLOYER] < MAXPLAYERS)) continue;
    int32_t price = imax(m.value[MB_PRICE], 1);
    if (plan.p == m.value[MB_FAVNATION] && m.value[MB_FAVPERCENT] > 0) price = price * m.value[MB_FAVPERCENT] / 100;
    price = imax(1, price) * (100 + 5 * imax(0, level - 2)) / 100;   // the stronger outbid the rest
    if (kingdom[size_t(plan.p)].gold < plan.reserve + 3 * price || price > 32767) continue;
    // A bid holds its gold until the host settles it, as a player's does.
    bidformerc(b, plan.p, price, plan.home);
    return;   // one bid a month
  }
}

// ---------------------------------------------------------------- armies

// Units without a commander join one in their province while it has room;
// those left over are counted per land.
void gatherarmies(Plan& plan) {
  std::vector<std::vector<int32_t>> loose(static_cast<size_t>(MAXLANDS));
  for (int32_t u = 0; u <= highestunit && u < MAXUNITS; u++) {
    const Unit& x = unit[size_t(u)];
    if (x.hp < 1 || x.owner != plan.p || x.squad != -1 || x.comnr >= 0 || !validland(x.land)) continue;
    if (unittypeflags(u) & MF_IMMOBILE) continue;
    loose[size_t(x.land)].push_back(u);
  }
  for (int32_t c : plan.coms) {
    if (!leads(c) || ispretender(c) || ismageorpriest(c)) continue;
    std::vector<int32_t>& here = loose[size_t(comland(c))];
    if (here.empty()) continue;
    int32_t undead = 0, magic = 0;
    int32_t room = maxcomunits(c, &undead, &magic) - nbrcomunits(c);
    Commander& cm = com[size_t(c)];
    if (cm.squad[0] == -1) cm.squad[0] = newsquadnbr(plan.p);
    // The army closes with the enemy: archers that only shoot wait out of
    // range while the defenders do the same.
    cm.sqorder[0] = BO_ATTACK;
    while (room > 0 && !here.empty()) {
      setunitsquad(here.back(), cm.squad[0]);
      here.pop_back();
      room--;
    }
  }
  plan.loose.assign(size_t(MAXLANDS), 0);
  for (int32_t l = 0; l < MAXLANDS; l++) plan.loose[size_t(l)] = int32_t(loose[size_t(l)].size());
}

int32_t armystrength(int32_t c) {
  int32_t s = 0;
  for (int32_t u : armyunits(c)) s += worth(u);
  return s;
}

int32_t landvalue(int32_t l) {
  const Land& ld = land[size_t(l)];
  int32_t v = 10 + imax(0, ld.population) / 200;
  if (ld.fort > 0) v += 15;
  for (int32_t p = 0; p < MAXPLAYERS; p++)
    if (kingdom[size_t(p)].w[KW_HOMELAND] == l) v += 40;   // a capital
  return v;
}

// The defence of a land as this nation judges it.
int32_t judged(const Plan& plan, int32_t l) {
  int32_t d = plan.foes[size_t(l)];
  if (plan.style.misjudge > 0) d = d * (100 - plan.style.misjudge + rnd(2 * plan.style.misjudge + 1)) / 100;
  return d;
}

bool move(int32_t c, int32_t to) {
  int32_t reachable = 0;
  findpath(complayer(c), comland(c), to, getmoveflags(c), &reachable);
  if (!reachable) return false;
  if (!cancelorder(c)) return false;
  com[size_t(c)].order = Order::move;
  com[size_t(c)].orderparam = to;
  return true;
}

// The capital is threatened when hostile nations' armies next to it
// outweigh what stands in it.
bool capitalthreatened(const Plan& plan) {
  if (!validland(plan.home) || land[size_t(plan.home)].owner != plan.p) return false;
  int32_t threat = 0;
  for (int32_t i = 0; i < MAXNEIGHBOURS; i++) {
    const int32_t n = provgeo[size_t(plan.home)].nbr[i];
    if (n < 1) break;
    if (validland(n) && land[size_t(n)].owner != INDEPENDENTS) threat += plan.foes[size_t(n)];
  }
  return threat > plan.mine[size_t(plan.home)];
}

// The best neighbour of the land that the strength can take, -1 none.
int32_t choosetarget(const Plan& plan, int32_t l, int64_t strength) {
  int32_t best = -1, bestscore = -1;
  for (int32_t i = 0; i < MAXNEIGHBOURS; i++) {
    const int32_t n = provgeo[size_t(l)].nbr[i];
    if (n < 1) break;
    if (!validland(n) || land[size_t(n)].owner == plan.p || !hostile(plan.p, land[size_t(n)].owner)) continue;
    const int32_t defence = judged(plan, n);
    if ((strength + plan.committed[size_t(n)]) * 100 < int64_t(plan.ratio) * defence) continue;
    const int32_t score = landvalue(n) * 1000 / (defence + 50);
    if (score > bestscore) best = n, bestscore = score;
  }
  return best;
}

void marches(Plan& plan) {
  const int32_t p = plan.p;
  const bool threatened = plan.style.guardscapital && capitalthreatened(plan);
  struct Army {
    int32_t strength, cnr;
  };
  std::vector<std::vector<Army>> at(static_cast<size_t>(MAXLANDS));
  std::vector<int32_t> lands;
  for (int32_t c : plan.coms) {
    if (!leads(c) || ispretender(c) || ismageorpriest(c) || !mobile(c)) continue;
    const Order o = com[size_t(c)].order;
    if (o != Order::defend && o != Order::move) continue;   // building, storming and the rest stay
    const int32_t l = comland(c);
    if (!validland(l)) continue;
    Land& ld = land[size_t(l)];
    // A siege: storm broken gates, else keep the siege.
    if (ld.owner == p && ld.fort > 0 && hostile(p, ld.fortholder)) {
      if (cancelorder(c) && ld.fortdef <= 0) com[size_t(c)].order = Order::storm;
      continue;
    }
    if (int32_t(armyunits(c).size()) < MINARMY) {
      cancelorder(c);
      continue;
    }
    if (at[size_t(l)].empty()) lands.push_back(l);
    at[size_t(l)].push_back({armystrength(c), c});
  }
  for (int32_t l : lands) {
    std::vector<Army>& here = at[size_t(l)];
    std::sort(here.begin(), here.end(), [](const Army& x, const Army& y) { return x.strength > y.strength; });
    if (threatened && l != plan.home && landdistance(l, plan.home, 2) > 0) {
      for (const Army& a : here)
        if (!move(a.cnr, plan.home)) cancelorder(a.cnr);
      continue;
    }
    // The armies of a province strike together where together they are strong enough.
    size_t next = 0;
    while (next < here.size()) {
      int64_t total = 0;
      for (size_t i = next; i < here.size(); i++) total += here[i].strength;
      const int32_t target = choosetarget(plan, l, total);
      if (target < 0) break;
      const int64_t wanted = int64_t(plan.ratio) * judged(plan, target) * 13 / 1000;   // a margin of 30%
      int64_t sent = 0;
      for (; next < here.size() && (sent == 0 || (sent + plan.committed[size_t(target)]) < wanted); next++)
        if (move(here[next].cnr, target)) sent += here[next].strength;
      if (sent == 0) break;
      plan.committed[size_t(target)] += int32_t(std::min<int64_t>(sent, INT32_MAX / 2));
    }
    // The rest go towards the front through the nation's lands.
    const int32_t d = plan.tofront[size_t(l)];
    int32_t step = -1;
    for (int32_t i = 0; d > 1 && i < MAXNEIGHBOURS; i++) {
      const int32_t n = provgeo[size_t(l)].nbr[i];
      if (n < 1) break;
      if (validland(n) && land[size_t(n)].owner == p && plan.tofront[size_t(n)] == d - 1) step = n;
    }
    const bool keephome = kingdom[size_t(p)].w[KW_AIPERSONALITY] == 2 && l == plan.home;
    for (; next < here.size(); next++)
      if (step < 0 || keephome || !move(here[next].cnr, step)) cancelorder(here[next].cnr);
  }
}

// ---------------------------------------------------------------- buildings

void build(const Plan& plan) {
  const int32_t p = plan.p;
  int32_t forts = 0, building = 0;
  for (int32_t l : plan.owned)
    if (land[size_t(l)].fort > 0) forts++;
  for (int32_t c : plan.coms)
    if (com[size_t(c)].order == Order::buildfort) building++;
  for (int32_t c : plan.coms) {
    const int32_t l = comland(c);
    if (!validland(l) || !ownsboth(l, p) || com[size_t(c)].order != Order::defend || ispretender(c)) continue;
    Land& ld = land[size_t(l)];
    // Temples where its priests stand.
    if (ispriest(c) && !ld.temple && pay(p, gettemplecost(p), plan.reserve)) {
      com[size_t(c)].order = Order::buildtemple;
      continue;
    }
    // A fort for every eight provinces, away from the front, one at a time.
    if (building == 0 && ld.fort == 0 && forts < 1 + int32_t(plan.owned.size()) / 8 && plan.tofront[size_t(l)] >= 2) {
      const int32_t type = getcastle(p, l);
      if (type > 0 && pay(p, fortcost(l, type), plan.reserve + 200)) {
        com[size_t(c)].order = Order::buildfort;
        com[size_t(c)].orderparam = type;
        building++;
      }
    }
  }
}

// ---------------------------------------------------------------- magic

bool inownlab(int32_t c) {
  const int32_t l = comland(c);
  return validland(l) && land[size_t(l)].lab && land[size_t(l)].fortholder == complayer(c);
}

// The best ritual the mage can cast now: summons by what they bring per gem,
// world enchantments for those who use them.
int32_t chooseritual(const Plan& plan, int32_t c) {
  const int32_t p = plan.p;
  int32_t best = 0, bestscore = 0;
  for (int32_t i = 0; i < SPELLBOOKSIZE && spellbook[p][i] >= 0; i++) {
    const int32_t s = spellbook[p][i];
    if (!isritual(s) || ritualtargetkind(s) != RT_NONE) continue;
    const Spell& sp = spells[size_t(s)];
    const int32_t cost = ritualgemcost(s), path = sp.path[0];
    if (path < 0 || path > 7 || cost < 1 || gems(p, path) < cost) continue;
    int32_t score = 0;
    if (sp.effect == RITUAL_SUMMON && sp.damage > 0 && sp.damage < MAXUNITTYPES)
      score = unittypes[size_t(sp.damage)].gcost * imax(1, sp.nbreff % 1000) * 10 / cost;
    else if (sp.effect == RITUAL_GLOBALENCH && plan.style.enchantments && gems(p, path) >= 2 * cost)
      score = 100;
    if (score <= bestscore || ritualrefusal(c, s, 0, 0) != RIT_OK) continue;
    best = s;
    bestscore = score;
  }
  return best;
}

// An item the mage can forge for a third of the gems at most.
int32_t chooseitem(int32_t c) {
  const int32_t p = complayer(c);
  int32_t best = 0;
  for (int32_t i = 1; i < MAXITEMS && items[size_t(i)].constlevel <= 98; i++) {
    const Item& it = items[size_t(i)];
    if (!it.name[0] || it.mainpath < 0 || it.mainpath > 7 || it.secondpath > 7) continue;
    if (canforge(c, i) != 1) continue;
    if (forgegemcost1 * 3 > gems(p, it.mainpath)) continue;
    if (it.secondpath >= 0 && forgegemcost2 * 3 > gems(p, it.secondpath)) continue;
    if (best == 0 || it.constlevel > items[size_t(best)].constlevel) best = i;
  }
  return best;
}

void magic(const Plan& plan) {
  const int32_t p = plan.p;
  bool forged = false;
  for (int32_t c : plan.coms) {
    const Order o = com[size_t(c)].order;
    if (!ismage(c) || !inownlab(c) || (o != Order::defend && o != Order::research)) continue;
    if (!cancelorder(c)) continue;
    const int32_t s = chooseritual(plan, c);
    if (s > 0 && castrit(c, s, 0, 0, 0) == RIT_OK) continue;
    if (plan.style.forging && !forged) {
      const int32_t item = chooseitem(c);
      if (item > 0 && canforge(c, item) == 1) {
        const Item& it = items[size_t(item)];
        gems(p, it.mainpath) = int16_t(gems(p, it.mainpath) - forgegemcost1);
        if (it.secondpath >= 0) gems(p, it.secondpath) = int16_t(gems(p, it.secondpath) - forgegemcost2);
        Commander& cm = com[size_t(c)];
        cm.order = Order::forge;
        cm.orderparam = item;
        cm.ordergems[0] = forgegemcost1;
        cm.ordergems[1] = it.secondpath >= 0 ? forgegemcost2 : 0;
        forged = true;
        continue;
      }
    }
    com[size_t(c)].order = Order::research;
    com[size_t(c)].ordergems[1] = 0;
  }
  // Items of the laboratory go to the army commanders that stand by one.
  if (!plan.style.forging) return;
  for (int32_t i = 0; i < LABSTORESIZE; i++) {
    int16_t& place = kingdom[size_t(p)].w[KW_LABSTORE + i];
    if (!validitem(place)) continue;
    for (int32_t c : plan.coms)
      if (inownlab(c) && leads(c) && !ismageorpriest(c) && !ismerc(c) && getitem(c, place) >= 0) {
        place = 0;
        break;
      }
  }
}

}  // namespace

void computerplayerbonus(int32_t player) {
  if (player < 0 || player >= MAXPLAYERS) return;
  const int32_t bonus = styleof(player).incomebonus;
  if (bonus <= 0) return;
  const int64_t g = int64_t(kingdom[size_t(player)].gold) + int64_t(imax(0, getkinc(player))) * bonus / 100;
  kingdom[size_t(player)].gold = int32_t(std::min<int64_t>(g, INT32_MAX));
}

void computerplayerturn(int32_t player) {
  if (player < 0 || player >= MAXPLAYERS) return;
  Plan plan;
  plan.p = player;
  plan.style = styleof(player);
  int32_t personality = kingdom[size_t(player)].w[KW_AIPERSONALITY];
  if (personality < 1 || personality > 3) personality = 1 + player % 3;
  plan.ratio = plan.style.attackratio + (personality == 3 ? -15 : personality == 2 ? 30 : 0);
  plan.home = kingdom[size_t(player)].w[KW_HOMELAND];
  plan.reserve = 2 * upk(player);
  survey(plan);
  if (plan.owned.empty() && plan.coms.empty()) return;
  settaxes(plan);
  setresearch(plan);
  magic(plan);
  build(plan);
  gatherarmies(plan);
  recruit(plan);
  hiremercenaries(plan);
  marches(plan);
  debugprint2("computer player %d: %d provinces, %d commanders, %d gold\n", player, int32_t(plan.owned.size()),
              int32_t(plan.coms.size()), kingdom[size_t(player)].gold);
}
