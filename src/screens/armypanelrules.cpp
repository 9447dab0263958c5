// The rules of squads and battle orders behind the army panel: joining and
// leaving squads under the leadership limits, the panel's selection and
// drops, the order tables and the commander's battle script, and the
// battle order memory of the digit keys.
#include <algorithm>
#include <cstring>

#include "actions/moverule.h"
#include "runtime/fatal.h"
#include "screens/armypanel.h"
#include "screens/deployment.h"
#include "world/gamedata.h"
#include "world/rules.h"
#include "world/siteentry.h"
#include "world/units.h"
#include "world/world.h"

ArmyPanelState armypanelstate;

const BattleChoice squadorders[7] = {
    {0, "none", "The computer chooses orders and targets."},
    {1, "attack", "Move towards the targets and engage them in melee."},
    {2, "fire",
     "The squad uses missile weapons until all missiles are used up. If enemies are close to the squad or if "
     "friendly troops are close to the target the squad will advance or attack."},
    {4, "guard commander",
     "The squad moves towards their commander and only attacks enemies if attacked. Up to five bodyguards will "
     "protect the commander during an assassination attempt."},
    {6, "hold and attack",
     "The squad will hold their position for two turns before advancing. Archers will fire instead of holding if "
     "a target is in range."},
    {9, "fire and flee", "The squad fires missile weapons for three turns and then retreats off the battle field."},
    {7, "retreat", "Retreat from the battle."},
};

const BattleChoice battletargets[7] = {
    {0, "none", "One random enemy unit and his squad is targeted."},
    {2, "enemy archers", "One random enemy armed with missile weapons and his squad is targeted."},
    {3, "enemy cavalry", "One random mounted enemy and his squad is targeted."},
    {4, "enemy fliers", "One random flying enemy and his squad is targeted."},
    {8, "large enemy monsters", "One random large enemy and his squad is targeted."},
    {5, "closest enemy", "The closest squad is targeted."},
    {9, "rearmost enemies",
     "The rearmost squad is targeted. Attacking units unable to fly will try to move straight forward until they "
     "are along side their intended target. They will then attack. This enables you to outflank enemies if you "
     "have quick and strong units on the flanks."},
};

namespace {
bool validcom(int32_t c) { return c >= 0 && c < MAXCOMS && com[size_t(c)].body >= 0 && com[size_t(c)].body < MAXUNITS; }
bool validslot(int32_t s) { return s >= 0 && s < 5; }
bool alive(int32_t u) { return u >= 0 && u < MAXUNITS && unit[size_t(u)].hp > 0; }
const Monster* unittype(int32_t u) { return typerec(unit[size_t(u)].type); }

template <size_t N>
bool intable(const BattleChoice (&t)[N], int32_t v) {
  return std::any_of(t, t + N, [v](const BattleChoice& c) { return c.value == v; });
}
bool squadorderknown(int32_t o) { return intable(squadorders, o); }
bool targetknown(int32_t t) { return intable(battletargets, t); }
bool comorderknown(int32_t o) { return o == 0 || o == 1 || o == 2 || o == 5 || o == 7 || o == 9 || o == 10; }
bool stepknown(int32_t s) { return s >= -5 && s < MAXSPELLS; }

bool hasmissile(int32_t c) { return getmissileweapon(com[size_t(c)].body, 0) > 0; }
bool castsspells(int32_t c) { return ismageorpriest(c) || hasitemspell(c) > 0; }
bool changesshape(int32_t c) { return getability(com[size_t(c)].body, AB_SHAPECHANGE, 1) > 0; }

// The commander whose squad it is, among living commanders; -1 none.
int32_t leaderof(int32_t squad) {
  const int32_t c = squadcommander(squad);
  return c >= 0 && alive(com[size_t(c)].body) ? c : -1;
}

void dropsel() {
  ArmyPanelState& ap = armypanelstate;
  ap.sel.clear();
  ap.group = -2;
  clearemptysquads();
}

bool selected(int32_t u) {
  const std::vector<int32_t>& s = armypanelstate.sel;
  return std::find(s.begin(), s.end(), u) != s.end();
}
void addsel(int32_t u) {
  if (!selected(u)) armypanelstate.sel.push_back(u);
}

// The group a panel unit belongs to: its squad, -1 for the garrison.
int32_t groupof(int32_t u) { return leaderof(unit[size_t(u)].squad) >= 0 ? unit[size_t(u)].squad : -1; }
}  // namespace

// ---------------------------------------------------------------- orders

bool ordertakestarget(int32_t order, bool commander) {
  if (commander) return order == BO_ATTACK || order == BO_FIRE || order == BO_FIREFLEE;
  return order == BO_ATTACK || order == BO_FIRE || order == BO_HOLDATTACK || order == BO_FIREFLEE;
}

bool targetoffered(int32_t order, int32_t target, bool commander) {
  if (!targetknown(target)) return false;
  if (target == 9 && !commander) return order == BO_ATTACK || order == BO_HOLDATTACK;
  return true;
}

bool setsquadorder(int32_t c, int32_t slot, int32_t order) {
  if (!validcom(c) || !validslot(slot) || com[size_t(c)].squad[slot] == -1 || !squadorderknown(order)) return false;
  com[size_t(c)].sqorder[slot] = uint8_t(order);
  return true;
}

bool setsquadtarget(int32_t c, int32_t slot, int32_t target) {
  if (!validcom(c) || !validslot(slot) || com[size_t(c)].squad[slot] == -1) return false;
  if (!targetoffered(com[size_t(c)].sqorder[slot], target, false)) return false;
  com[size_t(c)].sqtarget[slot] = uint8_t(target);
  return true;
}

std::vector<ScriptEntry> scriptentries(int32_t c, bool shape) {
  std::vector<ScriptEntry> v;
  if (!validcom(c)) return v;
  const Commander& cm = com[size_t(c)];
  const bool full = cm.roundspell[4] != -1, mage = castsspells(c), fire = hasmissile(c) || shape;
  if (!full) {
    v.push_back({SCR_HOLD, "Hold a turn", "The commander will hold his position for one turn."});
    if (mage) {
      v.push_back({SCR_CAST, "Hold or Cast a spell",
                   "The commander will hold his position. If able to cast a spell he will do so."});
      v.push_back({SCR_SPELL, "Cast a specific spell",
                   "The commander will try to cast a specific spell. Some spells need magic gems to be cast. If "
                   "all targets are out of range or you do not have enough magic gems to cast the spell the "
                   "computer will choose another spell instead."});
    }
    if (fire)
      v.push_back({SCR_FIRE, "Hold or Fire missile weapon",
                   "The commander will fire any missile weapons he has or hold his position for one turn."});
    if (changesshape(c))
      v.push_back({SCR_SHAPE, "Change shape", "The commander will change shape from human to monster or vice versa."});
    v.push_back({SCR_ATTACK, "Attack one turn", "Move towards a random enemy for one turn."});
  }
  v.push_back({SCR_ORDER + BO_STAYBEHIND, "Stay behind troops",
               "The commander casts spells, fires missile weapons or if unable to do so tries to place himself "
               "behind the rearmost unit on the battle field. "});
  v.push_back({SCR_ORDER + BO_ATTACK, "Attack", "Move towards enemies in an attempt to engage them in melee."});
  if (fire) v.push_back({SCR_ORDER + BO_FIRE, "Fire", "Fire missile weapons against enemies."});
  if (mage) v.push_back({SCR_ORDER + BO_CAST, "Cast spells", "The computer chooses spells to cast."});
  if (fire)
    v.push_back({SCR_ORDER + BO_FIREFLEE, "Fire and flee",
                 "Units armed with missile weapons fires for three turns and retreats off the battlefield."});
  v.push_back({SCR_ORDER + BO_RETREAT, "Retreat", "The commander tries to leave the battle field."});
  v.push_back({SCR_DONE, "Done", "Leave the battle orders as they are now."});
  return v;
}

std::vector<std::string> battleorderlines(int32_t c) {
  if (!validcom(c)) return {};
  char text[ORDERTEXTSIZE];
  combattleordertext(c, text);
  std::vector<std::string> v{strcmp(text, "<set battle orders>") ? text : "No battle orders set"};
  v.push_back("A script of the first turns is not kept in the order file:");
  v.push_back("hosted battles follow the battle order alone.");
  comscripttext(c, text);
  if (text[0]) v.push_back(std::string("Script this turn: ") + text);
  return v;
}

void clearscript(int32_t c) {
  if (!validcom(c)) return;
  Commander& cm = com[size_t(c)];
  cm.batorder = 0;
  cm.battarget = 0;
  for (int16_t& s : cm.roundspell) s = -1;
}

bool addscriptstep(int32_t c, int16_t step) {
  if (!validcom(c) || !stepknown(step) || step == -1) return false;
  for (int16_t& s : com[size_t(c)].roundspell)
    if (s == -1) {
      s = step;
      return true;
    }
  return false;
}

int16_t scriptstepvalue(int32_t id, int32_t spell) {
  switch (id) {
    case SCR_CAST: return 0;
    case SCR_SPELL: return int16_t(spell > 0 && spell < MAXSPELLS ? spell : 0);
    case SCR_SHAPE: return -2;
    case SCR_HOLD: return -3;
    case SCR_FIRE: return -4;
    case SCR_ATTACK: return -5;
    default: return -1;
  }
}

bool setcomorder(int32_t c, int32_t order, bool shape) {
  if (!validcom(c)) return false;
  const std::vector<ScriptEntry> offered = scriptentries(c, shape);
  const bool ok = std::any_of(offered.begin(), offered.end(),
                              [order](const ScriptEntry& e) { return e.id >= SCR_ORDER && e.id < SCR_CAST && e.id - SCR_ORDER == order; });
  if (!ok) return false;
  com[size_t(c)].batorder = uint8_t(order);
  return true;
}

bool setcomtarget(int32_t c, int32_t target) {
  if (!validcom(c) || !targetoffered(com[size_t(c)].batorder, target, true)) return false;
  com[size_t(c)].battarget = uint8_t(target);
  return true;
}

// ---------------------------------------------------------------- battle order memory

namespace {
int16_t* memoryslot(int32_t p, int32_t key) {
  if (p < 0 || p >= MAXKINGDOMS || key < 0 || key > 9) return nullptr;
  return &kingdom[size_t(p)].w[KW_BATTLEMEMORY + 8 * key];
}
}  // namespace

bool storebattlememory(int32_t p, int32_t key, int32_t c, int32_t slot) {
  int16_t* m = memoryslot(p, key);
  if (!m || !validcom(c) || slot < -1 || slot > 4) return false;
  const Commander& cm = com[size_t(c)];
  std::fill(m, m + 8, int16_t(0));
  if (slot == -1) {
    m[0] = 1;
    m[1] = cm.batorder;
    m[2] = cm.battarget;
    std::copy(cm.roundspell, cm.roundspell + 5, m + 3);
  } else {
    if (cm.squad[slot] == -1) return false;
    m[0] = 2;
    m[1] = cm.sqorder[slot];
    m[2] = cm.sqtarget[slot];
  }
  return true;
}

bool applybattlememory(int32_t p, int32_t key, int32_t c, int32_t slot) {
  const int16_t* m = memoryslot(p, key);
  if (!m || !validcom(c) || slot < -1 || slot > 4) return false;
  Commander& cm = com[size_t(c)];
  if (slot == -1) {
    if (m[0] != 1 || !comorderknown(m[1]) || !targetknown(m[2])) return false;
    if (!std::all_of(m + 3, m + 8, stepknown)) return false;
    cm.batorder = uint8_t(m[1]);
    cm.battarget = uint8_t(m[2]);
    std::copy(m + 3, m + 8, cm.roundspell);
    return true;
  }
  if (m[0] != 2 || cm.squad[slot] == -1 || !squadorderknown(m[1]) || !targetknown(m[2])) return false;
  cm.sqorder[slot] = uint8_t(m[1]);
  cm.sqtarget[slot] = uint8_t(m[2]);
  return true;
}

// ---------------------------------------------------------------- joining squads

// ---------------------------------------------------------------- the panel's state

void openarmypanel(int32_t p, int32_t lnr, int32_t dest) {
  ArmyPanelState& ap = armypanelstate;
  ap.player = p;
  ap.land = lnr;
  ap.dest = dest;
  ap.sel.clear();
  ap.group = -2;
  ap.lastclicked = -1;
  unlinkstrayunits();
  clearemptysquads();
}

bool panelunit(int32_t u) {
  const ArmyPanelState& ap = armypanelstate;
  if (!alive(u) || unit[size_t(u)].owner != ap.player || unit2com(u) >= 0 || !unittype(u)) return false;
  if (ap.land >= 0 && unit[size_t(u)].land == ap.land) return true;
  if (ap.dest < 1) return false;
  const int32_t c = leaderof(unit[size_t(u)].squad);
  return c >= 0 && comdestination(c) == ap.dest && unit[size_t(com[size_t(c)].body)].land == unit[size_t(u)].land;
}

std::vector<int32_t> panelcommanders() {
  const ArmyPanelState& ap = armypanelstate;
  std::vector<int32_t> v;
  for (int32_t c = 0; c <= highestcom && c < MAXCOMS; c++) {
    if (!validcom(c)) continue;
    const int32_t b = com[size_t(c)].body;
    if (!alive(b) || unit[size_t(b)].owner != ap.player) continue;
    if (ap.hideresearch && com[size_t(c)].order == Order::research) continue;
    const bool here = ap.land >= 0 && unit[size_t(b)].land == ap.land;
    if (here || (ap.dest >= 1 && comdestination(c) == ap.dest)) v.push_back(c);
  }
  return v;
}

std::vector<int32_t> panelgarrison() {
  const ArmyPanelState& ap = armypanelstate;
  std::vector<int32_t> v;
  if (ap.land < 0) return v;
  for (int32_t u = 0; u <= highestunit && u < MAXUNITS; u++)
    if (panelunit(u) && unit[size_t(u)].land == ap.land && groupof(u) == -1) v.push_back(u);
  return v;
}

std::vector<int32_t> squadmembers(int32_t squad) {
  std::vector<int32_t> v;
  if (squad == -1) return v;
  for (int32_t u = 0; u <= highestunit && u < MAXUNITS; u++)
    if (alive(u) && unit[size_t(u)].squad == squad) v.push_back(u);
  return v;
}

// ---------------------------------------------------------------- selection

void clearselection() {
  armypanelstate.sel.clear();
  armypanelstate.group = -2;
}

bool clickunit(int32_t u, UnitClick how) {
  ArmyPanelState& ap = armypanelstate;
  if (!panelunit(u)) return false;
  const int32_t g = groupof(u);
  if (!ap.sel.empty() && ap.group != -2 && g != ap.group) return false;
  if (selected(u) && !how.twice && !how.range) {
    ap.sel.erase(std::find(ap.sel.begin(), ap.sel.end(), u));
    if (ap.sel.empty()) ap.group = -2;
    return true;
  }
  ap.group = g;
  squaddefaults = SquadDefaults{};
  if (g != -1) {
    const int32_t c = squadcommander(g);
    const int32_t k = com[size_t(c)].squadslot;
    const Commander& cm = com[size_t(c)];
    squaddefaults = SquadDefaults{cm.sqx[k], cm.sqy[k], cm.sqorder[k], cm.sqtarget[k]};
  }
  auto samegroup = [&](int32_t v) { return panelunit(v) && groupof(v) == g; };
  if (how.twice) {
    for (int32_t v = 0; v <= highestunit && v < MAXUNITS; v++)
      if (samegroup(v) && unit[size_t(v)].type == unit[size_t(u)].type) addsel(v);
  } else if (how.range) {
    const int32_t from = ap.lastclicked >= 0 ? ap.lastclicked : u;
    for (int32_t v = std::min(from, u); v <= std::max(from, u); v++)
      if (samegroup(v)) addsel(v);
  } else {
    addsel(u);
  }
  ap.lastclicked = u;
  return true;
}

void selectgroupkind(int32_t kind) {
  ArmyPanelState& ap = armypanelstate;
  if (ap.group == -2) return;
  for (int32_t v = 0; v <= highestunit && v < MAXUNITS; v++) {
    if (!panelunit(v) || groupof(v) != ap.group) continue;
    if (ap.group == -1 && unit[size_t(v)].land != ap.land) continue;
    const Unit& x = unit[size_t(v)];
    const bool take = kind == SEL_STARVING      ? (x.flags[0] & 0x4) != 0
                      : kind == SEL_EXPERIENCED ? x.exp >= 50
                      : kind == SEL_AFFLICTED   ? (x.flags[0] & 0xc7fc1001u) != 0
                                                : true;
    if (take) addsel(v);
  }
}

void dropgarrison() {
  for (int32_t u : armypanelstate.sel)
    if (panelunit(u)) joinsquad(u, -1, -1, 0);
  dropsel();
}

void dropcommander(int32_t c) {
  bailif(c > 8999, "trnsunt10000");
  if (validcom(c) && comowner(c) == armypanelstate.player) {
    int32_t s = -1;
    for (int32_t u : armypanelstate.sel) {
      if (!panelunit(u)) continue;
      joinsquad(u, c, s, 0);
      s = unit[size_t(u)].squad;
    }
  }
  dropsel();
}

void dropsquad(int32_t squad) {
  const int32_t c = leaderof(squad);
  if (c >= 0 && comowner(c) == armypanelstate.player)
    for (int32_t u : armypanelstate.sel)
      if (panelunit(u)) joinsquad(u, c, squad, 0);
  dropsel();
}

int32_t cltu(int32_t c) {
  const std::vector<int32_t>& s = armypanelstate.sel;
  return !s.empty() && !canlead(c, s[0]) ? 1 : 0;
}
