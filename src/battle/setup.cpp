// Battle set-up: who takes part, in which groups, with which combat values,
// and where every unit stands when the battle begins.
#include <algorithm>
#include <cstring>
#include <vector>

#include "battle/engine.h"
#include "gamedata_ids.h"
#include "runtime/fatal.h"
#include "runtime/rnd.h"
#include "world/rules.h"

BattleState bs;
std::array<Fighter, MAXFIGHTERS> fighter;
std::array<Group, MAXFIGHTERS> group;
std::array<int32_t, MAXFIGHTERS> fighterunit;
std::array<int32_t, FIELDW * FIELDH> squarehead;
std::array<int16_t, FIELDW * FIELDH> squarefill;
std::array<int8_t, FIELDW * FIELDH> squareside;
std::array<std::array<uint64_t, FIELDW>, 2> siderows;
std::array<std::array<int16_t, FIELDW>, 2> troopcolumns;
std::array<int32_t, MAXFIGHTERS> nextingroup;
std::vector<std::vector<int32_t>> groupmembers;
std::array<uint16_t, MAXFIGHTERS> fighterspot;
std::array<BattleEvent, MAXEVENTS> battleevents;
BattleResult battleresult;
BattleViewHook battleviewhook = nullptr;

namespace {
// The fighter of every unit number; -1 for units not in the battle. Only
// the entries of the last battle's fighters are ever set.
std::array<int32_t, MAXUNITS> unitf = [] {
  std::array<int32_t, MAXUNITS> a;
  a.fill(-1);
  return a;
}();

bool validorder(int32_t o) {
  return o == BO_NONE || o == BO_ATTACK || o == BO_FIRE || o == 3 || o == BO_GUARD || o == BO_CAST ||
         o == BO_HOLDATTACK || o == BO_RETREAT || o == BO_FIREFLEE || o == BO_STAYBEHIND;
}
bool validtarget(int32_t t) { return t <= 5 || (t >= 7 && t <= 9); }
}  // namespace

void clearbattle() {
  for (int32_t f = 0; f < bs.nfighters; f++) {
    const int32_t u = fighter[f].unr;
    if (u >= 0 && u < MAXUNITS) unitf[u] = -1;
  }
  bs = BattleState{};
  squarehead.fill(-1);
  squarefill.fill(0);
  squareside.fill(-1);
  for (auto& side : siderows) side.fill(0);
  for (auto& side : troopcolumns) side.fill(0);
}

int32_t unitfighter(int32_t unr) { return unr >= 0 && unr < MAXUNITS ? unitf[unr] : -1; }

int32_t battleside(int32_t unr) {
  const int32_t f = unitfighter(unr);
  return f >= 0 ? fighter[f].side : -1;
}

int32_t addgroup(int32_t side, int32_t cnr, int32_t order, int32_t target) {
  if (bs.ngroups >= MAXFIGHTERS) return -1;
  Group& g = group[bs.ngroups];
  g = Group{};
  g.side = int8_t(side);
  g.first = -1;
  g.cnr = cnr;
  g.order = uint8_t(validorder(order) ? order : BO_NONE);
  if (g.order == 3) g.order = BO_ATTACK;   // flying attack: an attack
  g.target = uint8_t(validtarget(target) ? target : 0);
  g.targetgroup = -1;
  if (groupmembers.size() <= size_t(bs.ngroups)) groupmembers.resize(size_t(bs.ngroups) + 1);
  groupmembers[size_t(bs.ngroups)].clear();
  return bs.ngroups++;
}

int32_t addfighter(int32_t unr, int32_t side, int32_t g) {
  if (bs.nfighters >= MAXFIGHTERS) {
    debugprint("***** Warning: battle in land %d, no room for unit %d\n", bs.land, unr);
    return -1;
  }
  const int32_t f = bs.nfighters++;
  Fighter& x = fighter[f];
  x = Fighter{};
  x.unr = unr;
  x.cnr = unit2com(unr);
  x.group = g;
  x.side = int8_t(side);
  x.state = FS_FIELD;
  x.x = x.y = -1;
  x.nextinsquare = -1;
  x.lastshot = -100;
  // Appended at the group's end, so that a group lists its units in the
  // order they joined.
  nextingroup[size_t(f)] = -1;
  fighterspot[size_t(f)] = OFFFIELD;
  Group& gr = group[g];
  if (gr.first < 0) gr.first = f;
  else nextingroup[size_t(gr.last)] = f;
  gr.last = f;
  groupmembers[size_t(g)].push_back(f);
  gr.count++;
  unitf[unr] = f;
  fighterunit[f] = unr;
  Unit& u = unit[unr];
  u.x = u.y = -1;
  u.batstate = BS_NONE;
  u.batorder = gr.order;
  u.batcounter = 0;
  u.fatigue = 0;
  u.moralemod = 0;
  cachefighter(f);
  const int32_t mw = fighter[f].missilew;
  u.ammo = int16_t(mw > 0 ? (weapons[mw].ammo > 0 ? weapons[mw].ammo : 12) : 0);
  if (x.cnr >= 0 && x.side >= 0) bs.hadcommanders[side] = 1;
  if (x.cnr >= 0) collectspells(f);
  return f;
}

void cachefighter(int32_t f) {
  Fighter& x = fighter[f];
  const int32_t u = x.unr;
  const Monster& t = unittypes[unit[u].type];
  x.tflags = t.flags;
  x.tflags2 = t.flags2;
  x.size = int16_t(std::max<int32_t>(1, getsize(u)));
  x.str = int16_t(getstr(u));
  x.prec = int16_t(getprec(u));
  x.mr = int16_t(getmr(u));
  x.maxhp = int16_t(getmaxhp(u));
  x.flying = uint8_t(canfly(u) ? 1 : 0);
  int32_t moves = std::max<int32_t>(1, (getmaxap(u, 1) + 3) / 5);
  if (battlesnow && !x.flying && moves > 1) moves--;
  if (t.flags & MF_IMMOBILE) moves = 0;
  x.moves = int16_t(moves);
  x.enc = int16_t(getenc(u, 0));
  x.castenc = int16_t(getenc(u, 1));
  x.maxmorale = int16_t(getmaxmorale(u));
  x.def = int16_t(getdef(u, 2));
  const int32_t nat = getnatprot(u);
  auto overall = [nat](int32_t a) { return int16_t(std::min<int32_t>(40, a + ((40 - a) * nat + 20) / 40)); };
  for (int32_t loc = LOC_HEAD; loc <= LOC_LEGS; loc++) x.prot[loc] = overall(getlocprot(u, loc));
  x.prot[0] = x.prot[LOC_BODY];
  if (hasshield(u)) {
    x.shieldparry = int16_t(getshlddef(u));
    x.shieldprot = overall(getshldprt(u));
  } else {
    x.shieldparry = x.shieldprot = 0;
  }
  int32_t w[10];
  const int32_t nw = meleeweapons(u, w);
  x.nmelee = int16_t(std::min<int32_t>(nw, MAXMELEE));
  for (int32_t i = 0; i < x.nmelee; i++) {
    x.meleew[i] = int16_t(w[i]);
    x.meleeatt[i] = int16_t(getweaponatt(u, i));
  }
  x.missilew = int16_t(getmissileweapon(u, 0));
  x.range = 0;
  if (x.missilew > 0) {
    const int32_t r = weapons[x.missilew].range;
    // A negative range is a thrown weapon: strength divided by its size.
    x.range = int16_t(r > 0 ? r : std::max<int32_t>(1, x.str / -r));
  }
  x.res[RS_FIRE] = int16_t(std::clamp<int32_t>(getability(u, AB_FIRERES, 1), -100, 200));
  x.res[RS_COLD] = int16_t(std::clamp<int32_t>(getability(u, AB_COLDRES, 1), -100, 200));
  x.res[RS_SHOCK] = int16_t(std::clamp<int32_t>(getability(u, AB_SHOCKRES, 1), -100, 200));
  x.res[RS_POISON] = int16_t(std::clamp<int32_t>(getability(u, AB_POISONRES, 1), -100, 200));
  x.fireshield = int16_t(std::clamp<int32_t>(getability(u, AB_FIRESHIELD, 1), 0, 100));
  x.airshield = int16_t(std::clamp<int32_t>(getability(u, AB_AIRSHIELD, 1), 0, 100));
  x.regen = int16_t(std::clamp<int32_t>(getability(u, AB_REGENERATION, 1), 0, 100));
  x.reinvig = int16_t(std::clamp<int32_t>(getability(u, AB_REINVIGORATION, 1), 0, 100));
  x.ethereal = uint8_t((t.flags & MF_ETHEREAL) || (unit[u].flags[1] & ST_ETHEREAL) ? 1 : 0);
  x.lucky = uint8_t(unit[u].flags[1] & ST_LUCK ? 1 : 0);
}

void putonsquare(int32_t f, int32_t x, int32_t y) {
  Fighter& fr = fighter[f];
  const int32_t s = squareof(x, y);
  fr.x = int16_t(x);
  fr.y = int16_t(y);
  fighterspot[size_t(f)] = uint16_t(x << 8 | y);
  fr.nextinsquare = squarehead[s];
  squarehead[s] = f;
  squarefill[s] = int16_t(squarefill[s] + fr.size);
  squareside[s] = fr.side;
  if (fr.side == 0 || fr.side == 1) {
    siderows[size_t(fr.side)][size_t(x)] |= uint64_t(1) << y;
    if (fr.cnr < 0) troopcolumns[size_t(fr.side)][size_t(x)]++;
  }
  unit[fr.unr].x = int16_t(x);
  unit[fr.unr].y = int16_t(y);
}

void takeoffsquare(int32_t f) {
  Fighter& fr = fighter[f];
  if (!onfield(fr.x, fr.y)) return;
  const int32_t s = squareof(fr.x, fr.y);
  for (int32_t* p = &squarehead[s]; *p >= 0; p = &fighter[*p].nextinsquare)
    if (*p == f) {
      *p = fr.nextinsquare;
      break;
    }
  squarefill[s] = int16_t(squarefill[s] - fr.size);
  if (squarehead[s] < 0) {
    squarefill[s] = 0;
    squareside[s] = -1;
    if (fr.side == 0 || fr.side == 1) siderows[size_t(fr.side)][size_t(fr.x)] &= ~(uint64_t(1) << fr.y);
  }
  if ((fr.side == 0 || fr.side == 1) && fr.cnr < 0) troopcolumns[size_t(fr.side)][size_t(fr.x)]--;
  fr.nextinsquare = -1;
  fr.x = fr.y = -1;
  fighterspot[size_t(f)] = OFFFIELD;
  unit[fr.unr].x = unit[fr.unr].y = -1;
}

int32_t placenear(int32_t f, int32_t x, int32_t y, bool castleonly) {
  x = std::clamp<int32_t>(x, 0, FIELDW - 1);
  y = std::clamp<int32_t>(y, 0, FIELDH - 1);
  const int32_t maxr = std::max<int32_t>(FIELDW, FIELDH);
  for (int32_t r = 0; r < maxr; r++)
    for (int32_t dy = -r; dy <= r; dy++)
      for (int32_t dx = -r; dx <= r; dx++) {
        if (dx != -r && dx != r && dy != -r && dy != r) continue;   // the ring only
        if (castleonly && !incastle(x + dx, y + dy)) continue;
        if (roomfor(f, x + dx, y + dy)) {
          putonsquare(f, x + dx, y + dy);
          return 1;
        }
      }
  return 0;
}

namespace {
// A deployment place (-10..10 each way) as a square of the side's zone.
void deploysquare(int32_t side, int32_t px, int32_t py, int32_t* x, int32_t* y) {
  px = std::clamp<int32_t>(px, -10, 10);
  py = std::clamp<int32_t>(py, -10, 10);
  if (side == 0 && bs.incastle) {
    *x = (px + 10) * CASTLEX1 / 20;
    *y = CASTLEY0 + (py + 10) * (CASTLEY1 - CASTLEY0) / 20;
  } else if (side == 0) {
    *x = 10 + px;
    *y = FIELDH / 2 + py;
  } else {
    *x = FIELDW - 1 - (10 + px);
    *y = FIELDH - 1 - (FIELDH / 2 + py);
  }
}

// Where a group stands: its commander's place for it, the garrison and the
// province defence near the front, surprised defenders where chance puts them.
struct Place {
  int32_t x, y;
};

void deploygroup(int32_t g, Place p) {
  int32_t x, y;
  deploysquare(group[g].side, p.x, p.y, &x, &y);
  // Defenders fill their castle first and stand outside only when it is full.
  const bool castle = group[g].side == 0 && bs.incastle;
  for (int32_t f = group[g].first; f >= 0; f = nextingroup[size_t(f)])
    if (!(castle && placenear(f, x, y, true)) && !placenear(f, x, y)) {
      debugprint("***** Warning: battle in land %d, no square for unit %d\n", bs.land, fighter[f].unr);
      fighter[f].state = FS_OFF;
    }
}

struct SquadLink {
  int32_t squad, cnr, slot;
};

// The province defence: temporary militia, every third one an archer.
void provincedefence(int32_t side, int32_t points, std::vector<std::pair<int32_t, Place>>& places) {
  points = std::min<int32_t>(points, 125);
  if (points < 1) return;
  const int32_t g = addgroup(side, -1, BO_NONE, 0);
  if (g < 0) return;
  for (int32_t i = 0; i < points; i++) {
    const int32_t type = i % 3 == 2 ? MON_ARCHER_17 : MON_MILITIA_18;
    if (unittypes[type].hp < 1) continue;
    const int32_t u = spawntempunits(type, bs.player[side], 1, bs.land, -1);
    if (u < 0 || addfighter(u, side, g) < 0) break;
  }
  places.push_back({g, Place{8, 0}});
}

// A group without a battle order gets the computer's: mages cast, archers
// fire, a commander with troops stays behind them, everyone else attacks.
void computerorder(int32_t g) {
  Group& gr = group[g];
  if (gr.order != BO_NONE) return;
  int32_t n = 0, archers = 0, mages = 0, commanders = 0;
  for (int32_t f = gr.first; f >= 0; f = nextingroup[size_t(f)]) {
    n++;
    if (fighter[f].missilew > 0) archers++;
    if (fighter[f].nspells > 0) mages++;
    if (fighter[f].cnr >= 0) commanders++;
  }
  bool leads = false;
  for (int32_t k = 0; k < bs.ngroups; k++)
    if (k != g && gr.cnr >= 0 && group[k].cnr == gr.cnr) leads = true;
  if (mages > 0) gr.order = BO_CAST;
  else if (n > 0 && 2 * archers >= n) gr.order = BO_FIRE;
  else if (commanders > 0 && leads) gr.order = BO_STAYBEHIND;
  else gr.order = BO_ATTACK;
}

void setweather(int32_t lnr) {
  const int32_t season = getseason();
  const int32_t cold = lnr >= 0 && lnr < MAXLANDS ? land[lnr].scale[SC_COLD] : 0;
  // Snow in winter and in cold lands, rain in the warmer seasons. Both
  // draws are always made, so the weather never shifts what follows.
  const int32_t snow = (season == 3 ? 30 : 0) + 15 * std::max<int32_t>(0, cold);
  const int32_t rain = season == 3 || season == 1 ? 10 : 25;
  const int32_t snowdraw = rnd(100), raindraw = rnd(100);
  battlesnow = snowdraw < snow ? 1 : 0;
  battlerain = !battlesnow && raindraw < rain ? 1 : 0;
}
}  // namespace

void initbattle(int32_t lnr, int32_t defender, int32_t attacker, int32_t incastle, int32_t provdef,
                int32_t surprise) {
  bailif(lnr < 0 || lnr >= MAXLANDS, "initbattle: bad lnr");
  bailif(defender < 0 || defender >= MAXKINGDOMS || attacker < 0 || attacker >= MAXKINGDOMS,
         "initbattle: bad player");
  clearbattle();
  battleresult = BattleResult{};
  batland = lnr;
  inbattle = 1;
  bs.land = lnr;
  bs.player[0] = defender;
  bs.player[1] = attacker;
  bs.incastle = incastle ? 1 : 0;
  bs.provdef = provdef;
  bs.surprise = surprise ? 1 : 0;
  setweather(lnr);

  // Who takes part, in unit-number order.
  std::vector<int32_t> units;
  for (int32_t u : filedinland(lnr)) {
    const Unit& x = unit[u];
    if (x.hp < 1 || x.type < 0 || x.type >= MAXUNITTYPES) continue;
    if (x.owner == defender || (x.owner == attacker && attacker != defender)) units.push_back(u);
  }
  auto sideof = [&](int32_t u) { return unit[u].owner == defender ? 0 : 1; };

  // Every commander taking part, its own group first, then its squads.
  std::vector<std::pair<int32_t, Place>> places;
  std::vector<SquadLink> links;
  std::vector<int32_t> groupof(units.size(), -1);
  for (size_t i = 0; i < units.size(); i++) {
    const int32_t c = unit2com(units[i]);
    if (c < 0) continue;
    const Commander& cm = com[c];
    const int32_t side = sideof(units[i]);
    const bool own = side == 0 && bs.surprise;
    const int32_t g = addgroup(side, c, own ? 0 : cm.batorder, own ? 0 : cm.battarget);
    if (g < 0) break;
    groupof[i] = g;
    places.push_back({g, Place{std::clamp<int32_t>(cm.ownx, -8, 9), std::clamp<int32_t>(cm.owny, -8, 9)}});
    for (int32_t s = 0; s < 5; s++)
      if (cm.squad[s] >= 0) links.push_back({cm.squad[s], c, s});
  }
  std::sort(links.begin(), links.end(), [](const SquadLink& a, const SquadLink& b) {
    return a.squad != b.squad ? a.squad < b.squad : a.cnr < b.cnr;
  });
  // Squad groups are made as their first unit is met.
  std::vector<std::pair<int32_t, int32_t>> squadgroup;   // (index into links, group)
  int32_t garrison[2] = {-1, -1};
  for (size_t i = 0; i < units.size(); i++) {
    if (groupof[i] >= 0) continue;
    const int32_t u = units[i];
    const int32_t side = sideof(u);
    int32_t g = -1;
    const int32_t sq = unit[u].squad;
    auto it = std::lower_bound(links.begin(), links.end(), sq,
                               [](const SquadLink& l, int32_t s) { return l.squad < s; });
    if (sq >= 0 && it != links.end() && it->squad == sq && sideof(com[it->cnr].body) == side) {
      const int32_t li = int32_t(it - links.begin());
      for (auto& [l, gg] : squadgroup)
        if (l == li) g = gg;
      if (g < 0) {
        const Commander& cm = com[it->cnr];
        const bool own = side == 0 && bs.surprise;
        g = addgroup(side, it->cnr, own ? 0 : cm.sqorder[it->slot], own ? 0 : cm.sqtarget[it->slot]);
        if (g < 0) break;
        squadgroup.push_back({li, g});
        places.push_back({g, Place{cm.sqx[it->slot], cm.sqy[it->slot]}});
      }
    } else {
      if (garrison[side] < 0) {
        garrison[side] = addgroup(side, -1, BO_NONE, 0);
        if (garrison[side] < 0) break;
        places.push_back({garrison[side], Place{6, 0}});
      }
      g = garrison[side];
    }
    groupof[i] = g;
  }
  // Fighters in unit-number order.
  for (size_t i = 0; i < units.size(); i++)
    if (groupof[i] >= 0) addfighter(units[i], sideof(units[i]), groupof[i]);
  provincedefence(0, provdef, places);

  for (const auto& [g, p] : places) {
    Place at = p;
    if (group[g].side == 0 && bs.surprise) at = Place{rnd(19) - 9, rnd(19) - 9};
    deploygroup(g, at);
  }
  for (int32_t g = 0; g < bs.ngroups; g++) computerorder(g);
  for (int32_t f = 0; f < bs.nfighters; f++) {
    unit[fighter[f].unr].batorder = group[fighter[f].group].order;
    if (fighter[f].state == FS_FIELD && fighter[f].x >= 0) bs.active[fighter[f].side]++;
  }
}
