// Random events from the event table. Every province of a nation in play
// may meet one event a month: the chance follows the game's event rarity,
// and Turmoil and Luck or Misfortune make events more frequent; Luck makes
// them good more often, Misfortune bad. Of the events whose requirements
// hold for the province, one is drawn by its rarity; its effects change the
// province and its nation, and its text tells the owner.
#include <cstring>
#include <string>

#include "host/host.h"
#include "host/hostinternal.h"
#include "host/phases.h"
#include "mods/mods.h"
#include "runtime/fatal.h"
#include "runtime/rnd.h"
#include "runtime/util.h"
#include "world/builders.h"
#include "world/gamedata.h"
#include "world/grammar.h"
#include "world/magic.h"
#include "world/rules.h"
#include "world/scores.h"
#include "world/units.h"
#include "world/world.h"
#include "worldgen/worldgen.h"

namespace {
constexpr int32_t MAXDEFENCE = 125;

bool bit(uint32_t terrain, uint32_t b) { return (terrain & b) != 0; }

// What the requirements ask of the owner's forces in the province, counted
// once for the province.
struct Forces {
  int32_t units = 0;
  bool commander = false, mage = false, priest = false;
};

Forces forcesin(int32_t lnr, int32_t p) {
  Forces f;
  f.units = int32_t(unitsin(lnr, p).size());
  for (int32_t c : commandersin(lnr, p)) {
    f.commander = true;
    f.mage = f.mage || ismage(c);
    f.priest = f.priest || ispriest(c);
  }
  return f;
}

bool unfoundsite(const Land& l) {
  for (int32_t s = 0; s < 4 && l.site[s] >= 1; s++)
    if (!l.sitefound[s]) return true;
  return false;
}

// Whether one requirement holds for the province and its owner.
bool holds(int32_t code, int32_t v, int32_t lnr, bool good, const Forces& f) {
  const Land& l = land[size_t(lnr)];
  const uint32_t t = provgeo[size_t(lnr)].terrain;
  const int32_t p = l.owner;
  const Kingdom& k = kingdom[size_t(p)];
  switch (code) {
    case EVR_GOOD: return good;
    case EVR_BAD: return !good;
    case EVR_SEASON: return getseason() == v;
    case EVR_FOREST: return bit(t, TM_FOREST);
    case EVR_MOUNTAIN: return bit(t, TM_MOUNTAINS);
    case EVR_SWAMP: return bit(t, TM_SWAMP);
    case EVR_WASTE: return bit(t, TM_WASTE);
    case EVR_FARM: return bit(t, TM_FARM);
    case EVR_SEA: return bit(t, TM_SEA);
    case EVR_LAND: return !bit(t, TM_SEA);
    case EVR_COAST: return iscoastal(lnr) != 0;
    case EVR_CAVE: return bit(t, TM_CAVE);
    case EVR_PLAIN: return !(t & (TM_SEA | TM_FOREST | TM_MOUNTAINS | TM_SWAMP | TM_WASTE | TM_FARM | TM_CAVE));
    case EVR_DEEPSEA: return bit(t, TM_DEEPSEA);
    case EVR_TURMOIL: return l.scale[SC_TURMOIL] >= v;
    case EVR_ORDER: return -l.scale[SC_TURMOIL] >= v;
    case EVR_SLOTH: return l.scale[SC_SLOTH] >= v;
    case EVR_PRODUCTIVITY: return -l.scale[SC_SLOTH] >= v;
    case EVR_COLD: return l.scale[SC_COLD] >= v;
    case EVR_HEAT: return -l.scale[SC_COLD] >= v;
    case EVR_DEATH: return l.scale[SC_DEATH] >= v;
    case EVR_GROWTH: return -l.scale[SC_DEATH] >= v;
    case EVR_MISFORTUNE: return l.scale[SC_MISFORTUNE] >= v;
    case EVR_LUCK: return -l.scale[SC_MISFORTUNE] >= v;
    case EVR_DRAIN: return l.scale[SC_DRAIN] >= v;
    case EVR_MAGIC: return -l.scale[SC_DRAIN] >= v;
    case EVR_FORT: return l.fort > 0;
    case EVR_NOFORT: return l.fort <= 0;
    case EVR_TEMPLE: return l.temple > 0;
    case EVR_NOTEMPLE: return l.temple == 0;
    case EVR_LAB: return l.lab > 0;
    case EVR_NOLAB: return l.lab == 0;
    case EVR_MINPOP: return l.population >= v;
    case EVR_MAXPOP: return l.population <= v;
    case EVR_UNREST: return l.unrest >= v;
    case EVR_CALM: return l.unrest <= v;
    case EVR_VEYRANCE: return l.veyowner == p && l.veystr >= v;
    case EVR_FOREIGNVEYRANCE: return l.veyowner >= 0 && l.veyowner != p && l.veystr >= v;
    case EVR_GOLD: return k.gold >= v;
    case EVR_POOR: return k.gold < v;
    case EVR_TURN: return turn >= v;
    case EVR_MAGE: return f.mage;
    case EVR_PRIEST: return f.priest;
    case EVR_COMMANDER: return f.commander;
    case EVR_ARMY: return f.units >= v;
    case EVR_NOARMY: return f.units == 0;
    case EVR_SITE: return unfoundsite(l);
    case EVR_CAPITAL: return k.w[KW_HOMELAND] == lnr;
    case EVR_NOTCAPITAL: return k.w[KW_HOMELAND] != lnr;
    case EVR_CORPSES: return l.corpses[0] + l.corpses[1] >= v;
    case EVR_PROVINCES: return nbrofprovinces(p) >= v;
    case EVR_ERA: return gameinfo.era == v;
    default: return false;
  }
}

// An event that names neither "good" nor "bad" may come either way.
bool eligible(const Event& e, int32_t lnr, bool good, const Forces& f) {
  if (e.rarity < 1) return false;
  for (int32_t i = 0; i < EVENTREQS && e.req[i] != EVR_NONE; i++)
    if (!holds(e.req[i], e.reqval[i], lnr, good, f)) return false;
  return true;
}

int32_t weight(int32_t rarity) { return rarity >= 1 && rarity <= 4 ? 8 >> (rarity - 1) : 0; }

void replaceall(std::string& s, const char* what, const std::string& with) {
  for (size_t at = s.find(what); at != std::string::npos; at = s.find(what, at + with.size()))
    s.replace(at, strlen(what), with);
}

int16_t clampi16(int64_t v, int32_t lo, int32_t hi) { return int16_t(v < lo ? lo : v > hi ? hi : v); }

int32_t newsite(int32_t lnr, int32_t level) {
  Land& l = land[size_t(lnr)];
  int32_t slot = 0;
  while (slot < 4 && l.site[slot] >= 1) slot++;
  if (slot >= 4) return 0;
  std::vector<int32_t> fits;
  for (int32_t s = 1; s < nbrofsites() && s < MAXSITES; s++)
    if (sites[size_t(s)].name[0] && sites[size_t(s)].level <= level && !(sites[size_t(s)].placement & SP_UNIQUE) &&
        sitefitsland(s, lnr))
      fits.push_back(s);
  if (fits.empty()) return 0;
  l.site[slot] = int16_t(fits[size_t(rnd(int32_t(fits.size())))]);
  l.sitefound[slot] = 1;
  return l.site[slot];
}

// Applies the event's effects; the first number it produces fills "[amount]".
int32_t applyevent(const Event& e, int32_t lnr, int32_t& amount) {
  Land& l = land[size_t(lnr)];
  const int32_t p = l.owner;
  Kingdom& k = kingdom[size_t(p)];
  int32_t count = 0;
  int32_t winner = p;
  auto note = [&](int32_t v) {
    if (amount == INT32_MIN) amount = v;
  };
  for (int32_t i = 0; i < EVENTEFFECTS && e.effect[i] != EVE_NONE; i++) {
    const int32_t v = e.effectval[i];
    const int32_t code = e.effect[i];
    switch (code) {
      case EVE_GOLD: addgold(p, v); note(iabs(v)); break;
      case EVE_GOLDPOP: {
        const int64_t g = int64_t(imax(l.population, 0)) * v / 1000;
        addgold(p, g);
        note(int32_t(g < 0 ? -g : g));
        break;
      }
      case EVE_POP: {
        const int64_t d = int64_t(imax(l.population, 0)) * v / 100;
        l.population = clampi16(int64_t(imax(l.population, 0)) + d, 0, 30000);
        note(int32_t(d < 0 ? -d : d));
        break;
      }
      case EVE_UNREST: l.unrest = clampi16(int64_t(l.unrest) + v, 0, 30000); break;
      case EVE_FIREGEMS: case EVE_AIRGEMS: case EVE_WATERGEMS: case EVE_EARTHGEMS: case EVE_PEARLS:
      case EVE_DEATHGEMS: case EVE_NATUREGEMS: case EVE_SLAVES: {
        int16_t& g = k.w[KW_GEMS + code - EVE_FIREGEMS];
        g = clampi16(int64_t(imax(g, 0)) + v, 0, 32767);
        note(iabs(v));
        break;
      }
      case EVE_TURMOIL: case EVE_SLOTH: case EVE_COLD: case EVE_DEATH: case EVE_MISFORTUNE: case EVE_DRAIN: {
        int8_t& s = l.scale[code - EVE_TURMOIL];
        s = int8_t(imax(-3, imin(3, s + v)));
        break;
      }
      case EVE_DEFENCE:
        l.provdef = uint8_t(imax(0, imin(MAXDEFENCE, l.provdef + v)));
        l.small[1] = uint8_t(imin(l.small[1], l.provdef));
        break;
      case EVE_RESOURCES: l.baseres = clampi16(int64_t(l.baseres) + v, 0, 30000); break;
      case EVE_INCOME: l.extraincome = clampi16(int64_t(l.extraincome) + v, -30000, 30000); break;
      case EVE_NUMBER: count = imax(v, 0); break;
      case EVE_MONSTERS: {
        const int32_t n = count > 0 ? count : openroll(6) + 2;
        const int32_t made = placeunits(v, INDEPENDENTS, n, lnr, -1);
        note(made);
        if (made > 0) {
          // The monsters attack the province at once.
          const int32_t w = fightbattle(lnr, p, INDEPENDENTS, 0, 0, {});
          if (w == INDEPENDENTS) {
            conquerland(lnr, INDEPENDENTS);
            winner = INDEPENDENTS;
          }
        }
        count = 0;
        break;
      }
      case EVE_UNITS: note(placeunits(v, p, count > 0 ? count : 1, lnr, -1)); count = 0; break;
      case EVE_COMMANDER: {
        if (v < 1 || v >= MAXUNITTYPES || !isusedunittype(v)) break;
        placecommander(v, p, lnr);
        break;
      }
      case EVE_ITEM: {
        const int32_t item = randitemoflevel(v);
        if (item > 0) additemtolab(p, item, 1);
        break;
      }
      case EVE_KILL: {
        int32_t dead = 0;
        for (int32_t u : unitsin(lnr, p))
          if (unit[size_t(u)].comnr < 0 && rnd(100) < v) killunit(u), dead++;
        note(dead);
        break;
      }
      case EVE_DISEASE: {
        int32_t sick = 0;
        for (int32_t u : unitsin(lnr, p))
          if (!(unittypeflags(u) & (MF_UNDEAD | MF_INANIMATE)) && rnd(100) < v) unit[size_t(u)].flags[0] |= AF_DISEASED, sick++;
        note(sick);
        break;
      }
      case EVE_HEAL:
        for (int32_t u : unitsin(lnr, p)) {
          unit[size_t(u)].flags[0] &= ~(AF_DISEASED | 0x4u);
          unit[size_t(u)].hp = int16_t(imax(unit[size_t(u)].hp, getmaxhp(u)));
        }
        break;
      case EVE_EXPERIENCE:
        for (int32_t u : unitsin(lnr, p)) unit[size_t(u)].exp = clampi16(int64_t(unit[size_t(u)].exp) + v, 0, 32767);
        break;
      case EVE_TEMPLE: l.temple = 1; break;
      case EVE_NOTEMPLE: l.temple = 0; break;
      case EVE_LAB: l.lab = 1; break;
      case EVE_NOLAB: l.lab = 0; break;
      case EVE_FINDSITE:
        for (int32_t s = 0; s < 4 && l.site[s] >= 1; s++)
          if (!l.sitefound[s]) {
            l.sitefound[s] = 1;
            break;
          }
        break;
      case EVE_NEWSITE: newsite(lnr, v); break;
      case EVE_VEYRANCE:
        if (!godplayer(p)) break;
        if (v > 0 && l.veyowner != p) {
          l.veyowner = int8_t(p);
          l.veystr = 0;
        }
        if (l.veyowner == p) l.veystr = clampi16(int64_t(l.veystr) + v, 0, 10);
        if (l.veystr == 0) l.veyowner = -1;
        break;
      case EVE_CORPSES: l.corpses[0] = clampi16(int64_t(imax(l.corpses[0], 0)) + v, 0, 30000); break;
      case EVE_RESEARCH: {
        const int32_t s = rnd(7);
        researchrec[p][RR_POINTS + s] = clampi16(int64_t(researchrec[p][RR_POINTS + s]) + v, 0, 32767);
        note(v);
        break;
      }
      case EVE_GATES:
        if (l.fort > 0) l.fortdef = clampi16(int64_t(l.fortdef) - v, 0, 30000);
        break;
      default:
        break;
    }
  }
  return winner;
}

void happen(int32_t lnr, int32_t ev) {
  const Event& e = randevents[size_t(ev)];
  const int32_t p = land[size_t(lnr)].owner;
  int32_t amount = INT32_MIN;
  const std::string landname = land[size_t(lnr)].name;
  debugprint("event %d in %s\n", ev, land[size_t(lnr)].name);
  applyevent(e, lnr, amount);
  std::string text = e.text;
  replaceall(text, "[land]", landname);
  replaceall(text, "[nation]", nations[size_t(p)].name);
  replaceall(text, "[god]", kingdom[size_t(p)].godname);
  replaceall(text, "[amount]", std::to_string(amount == INT32_MIN ? 0 : amount));
  landmsg(p, lnr, "%s", text.c_str());
}

// Units of the owner in the province that keep bad events away.
bool warded(int32_t lnr, int32_t p) {
  for (int32_t u : unitsin(lnr, p))
    if (getability(u, AB_NOBADEVENTS, 1) > 0) return true;
  return false;
}
}  // namespace

void eventsphase() {
  // Chance per province in tenths of a percent: the rule constant, doubled
  // when events are common.
  const int32_t base = eventisrare * (gameinfo.eventrarity == 2 ? 1 : 2);
  for (int32_t lnr = 1; lnr <= nbrlands; lnr++) {
    const Land& l = land[size_t(lnr)];
    const int32_t p = l.owner;
    if (!activeplayer(p) || !godplayer(p)) continue;
    const int32_t turmoil = l.scale[SC_TURMOIL], luck = -l.scale[SC_MISFORTUNE];
    const int32_t chance = base * (100 + turmoil * turmoilevents + iabs(luck) * luckevents) / 100;
    if (rnd(1000) >= chance) continue;
    bool good = rnd(100) < imax(0, imin(100, 50 + luck * misfortune));
    if (!good && warded(lnr, p)) good = true;
    const Forces f = forcesin(lnr, p);
    int32_t total = 0;
    for (const Event& e : randevents)
      if (eligible(e, lnr, good, f)) total += weight(e.rarity);
    if (total <= 0) continue;
    int32_t pick = rnd(total);
    for (int32_t ev = 0; ev < MAXRANDEVENTS; ev++) {
      const Event& e = randevents[size_t(ev)];
      if (!eligible(e, lnr, good, f)) continue;
      pick -= weight(e.rarity);
      if (pick < 0) {
        happen(lnr, ev);
        break;
      }
    }
  }
}
