// Unit and commander queries: counts by land and owner, the links between
// units, squads and commanders, the army-size cache and the link repairs.
#include <cstdio>
#include <unordered_map>
#include <utility>

#include "runtime/ask.h"
#include "runtime/fatal.h"
#include "runtime/options.h"
#include "world/hoststate.h"
#include "world/rules.h"

namespace {
bool alive(int32_t u) { return unit[u].hp > 0; }
bool matches(int32_t u, int32_t lnr, int32_t owner) {
  return (lnr == -1 || unit[u].land == lnr) && (owner == -1 || unit[u].owner == owner);
}
int32_t topunit() { return highestunit < MAXUNITS ? highestunit : MAXUNITS - 1; }
int32_t topcom() { return highestcom < MAXCOMS ? highestcom : MAXCOMS - 1; }
const char* typename_(int32_t m) { return typerec(m) ? unittypes[m].name : "?"; }
}  // namespace

namespace {
// Calls fn(u) for every unit of the land (any land for -1), ascending.
template <typename Fn>
void eachinland(int32_t lnr, Fn fn) {
  if (lnr != -1) {
    foreachunitinland(lnr, fn);
    return;
  }
  for (int32_t u = 0; u <= topunit(); u++) fn(u);
}
}  // namespace

int32_t countunits(int32_t lnr, int32_t owner) {
  int32_t n = 0;
  eachinland(lnr, [&](int32_t u) { n += alive(u) && matches(u, lnr, owner); });
  return n;
}

int32_t sumunitsizes(int32_t lnr, int32_t owner) {
  int32_t n = 0;
  eachinland(lnr, [&](int32_t u) {
    if (!alive(u) || !matches(u, lnr, owner)) return;
    const Monster* t = unittyperec(u);
    const int32_t size = t ? t->size : 0;
    n += size >= 4 ? 6 : size;
  });
  return n;
}

int32_t countcommanders(int32_t lnr, int32_t owner) {
  int32_t n = 0;
  for (int32_t c = 0; c <= topcom(); c++) {
    const int32_t b = combody(c);
    if (b >= 0 && alive(b) && matches(b, lnr, owner)) n++;
  }
  return n;
}

int32_t countfreeunits(int32_t lnr, int32_t owner, int32_t type) {
  int32_t n = 0;
  eachinland(lnr, [&](int32_t u) {
    n += alive(u) && matches(u, lnr, owner) && (type == -1 || unit[u].type == type) && unit[u].squad == -1 &&
         unit2com(u) < 0;
  });
  return n;
}

int32_t findunitoftype(int32_t type) {
  int32_t any = -1;
  for (int32_t u = 0; u <= topunit(); u++) {
    if (unit[u].type != type) continue;
    if (alive(u)) return u;
    if (any < 0) any = u;
  }
  return any;
}

int32_t unit2comchecked(int32_t unr) {
  if (unr < 0) return -1;
  bailif(unr >= MAXUNITS, "u2c: bad unr");
  const int32_t c = unit[unr].comnr;
  if (c < 0) return -1;
  if (c <= highestcom && c < MAXCOMS && com[c].body == unr) return c;
  debugprint("---------- unit2com -----------\n");
  const bool intable = c < MAXCOMS;
  if (intable) debugprint("unr%d cnr%d (deaths%d) unr%d\n", unr, c, com[c].deaths, com[c].body);
  debugprint("highestunit %d highestcom %d\n", highestunit, highestcom);
  debugprint("unr%d (hp%d) type %s -> cnr%d\n", unr, unit[unr].hp, typename_(unit[unr].type), c);
  if (intable) {
    const int32_t b = combody(c);
    debugprint("cnr%d unr%d (hp%d) type %s\n", c, com[c].body, b >= 0 ? unit[b].hp : 0,
               b >= 0 ? typename_(unit[b].type) : "?");
  }
  fatalerror("unit2com inconsistency");
  return -1;
}

int32_t unitleader(int32_t unr) {
  if (unr < 0 || unr >= MAXUNITS) return -1;
  const int32_t squad = unit[unr].squad;
  for (int32_t c = 0; c <= topcom(); c++) {
    if (com[c].body < 0) continue;
    if (com[c].body == unr) return c;
    // A unit in no squad never matches an empty squad slot.
    if (squad == -1) continue;
    for (int32_t s : com[c].squad)
      if (s == squad) return c;
  }
  return -1;
}

int32_t comleadsunit(int32_t unr, int32_t cnr) {
  if (unr < 0 || cnr < 0 || unr >= MAXUNITS || cnr >= MAXCOMS) return 0;
  if (com[cnr].body == unr) return 1;
  if (com[cnr].body < 0 || unit[unr].squad == -1) return 0;
  for (int32_t s : com[cnr].squad)
    if (s == unit[unr].squad) return 1;
  return 0;
}

int32_t squad2com(int32_t squad) {
  if (squad == -1) return -1;
  for (int32_t c = 0; c <= topcom(); c++) {
    if (com[c].body < 0) continue;
    for (int32_t s : com[c].squad)
      if (s == squad) return c;
  }
  return -1;
}

namespace {
void checkledcom(int32_t cnr, const char* badcnr, const char* badunr) {
  bailif(cnr < 0 || cnr > highestcom || cnr >= MAXCOMS, badcnr);
  bailif(combody(cnr) < 0, badunr);
}
}  // namespace

int32_t comhasunits(int32_t cnr) {
  checkledcom(cnr, "comunits: bad cnr", "comunits: bad unr");
  for (int32_t s : com[cnr].squad)
    if (s != -1) return 1;
  return 0;
}

int32_t comunits(int32_t cnr, int32_t* undead, int32_t* magic) {
  checkledcom(cnr, "comunits: bad cnr", "comunits: bad unr");
  const Commander& c = com[cnr];
  const int32_t where = unit[c.body].land;
  int32_t ord = 0, und = 0, mag = 0;
  foreachunitinsquads(c.squad, [&](int32_t u) {
    const Unit& x = unit[u];
    if (!alive(u) || x.land != where) return;
    const Monster* t = typerec(x.type);
    const uint32_t f2 = t ? t->flags2 : 0;
    if (f2 & MF2_UNDEADCLASS) und++;
    else if (f2 & MF2_MAGICBEING) mag++;
    else ord++;
  });
  if (undead) *undead = und;
  if (magic) *magic = mag;
  return ord;
}

namespace {
struct ArmyCache {
  int32_t size, type1, count1, type2, count2;
  int16_t coms;
};
std::array<ArmyCache, MAXLANDS> armycache;

// The player's living units in the land and its two most common types; the
// tally holds 50 types in order of first appearance, sorted stably by count.
int32_t composition(int32_t player, int32_t lnr, ArmyCache& out) {
  int32_t types[50], counts[50], ntypes = 0, total = 0;
  eachinland(lnr, [&](int32_t u) {
    if (!alive(u) || unit[u].owner != player || (lnr != -1 && unit[u].land != lnr)) return;
    total++;
    int32_t i = 0;
    while (i < ntypes && types[i] != unit[u].type) i++;
    if (i < ntypes) counts[i]++;
    else if (ntypes < 50) {
      types[ntypes] = unit[u].type;
      counts[ntypes++] = 1;
    }
  });
  for (int32_t pass = 0; pass < ntypes; pass++)
    for (int32_t i = 0; i + 1 < ntypes; i++)
      if (counts[i] < counts[i + 1]) {
        std::swap(types[i], types[i + 1]);
        std::swap(counts[i], counts[i + 1]);
      }
  out.type1 = ntypes > 0 ? types[0] : -1;
  out.count1 = ntypes > 0 ? counts[0] : 0;
  out.type2 = ntypes > 1 ? types[1] : -1;
  out.count2 = ntypes > 1 ? counts[1] : 0;
  return total;
}

const ArmyCache* cacheentry(int32_t lnr) {
  if (lnr < 1 || lnr > nbrlands || lnr >= MAXLANDS) return nullptr;
  return &armycache[lnr];
}
}  // namespace

void cachearmysizes(int32_t player) {
  debugprint("Cache army sizes for player %d\n", player);
  const int32_t top = nbrlands < MAXLANDS ? nbrlands : MAXLANDS - 1;
  for (int32_t l = 1; l <= top; l++) {
    ArmyCache& e = armycache[l];
    e = ArmyCache{0, -1, 0, -1, 0, 0};
    e.coms = int16_t(countcommanders(l, player));
    if (land[l].owner == player || land[l].fortholder == player) {
      e.size = composition(player, l, e);
      continue;
    }
    const int32_t m = findscoutmsg(player, l);
    if (m < 0) continue;
    debugprint("cas: %d %d in %d\n", message[m].subj[1], message[m].subj[2], l);
    e.size = message[m].subj[1];
    e.count1 = message[m].subj[1];
    e.type1 = message[m].subj[2];
  }
}

int32_t cachedarmysize(int32_t lnr) {
  const ArmyCache* e = cacheentry(lnr);
  return e ? e->size : 0;
}

void cachedarmytypes(int32_t lnr, int32_t* type1, int32_t* count1, int32_t* type2, int32_t* count2) {
  const ArmyCache* e = cacheentry(lnr);
  if (type1) *type1 = e ? e->type1 : 0;
  if (count1) *count1 = e ? e->count1 : 0;
  if (type2) *type2 = e ? e->type2 : 0;
  if (count2) *count2 = e ? e->count2 : 0;
}

int32_t cachedcomcount(int32_t lnr) {
  const ArmyCache* e = cacheentry(lnr);
  return e ? e->coms : 0;
}

namespace {
// The first commander in use (lowest number) that lists each squad, as
// squadcommander finds it: one pass instead of one search per unit.
std::unordered_map<int32_t, int32_t> squadleaders() {
  std::unordered_map<int32_t, int32_t> leaders;
  for (int32_t c = 0; c <= topcom(); c++) {
    if (com[c].body < 0) continue;
    for (int32_t s : com[c].squad)
      if (s != -1) leaders.emplace(s, c);
  }
  return leaders;
}
}  // namespace

void unlinkstrayunits() {
  const std::unordered_map<int32_t, int32_t> leaders = squadleaders();
  for (int32_t u = 0; u <= topunit(); u++) {
    Unit& x = unit[u];
    if (!alive(u) || x.squad == -1) continue;
    const auto it = leaders.find(x.squad);
    const int32_t c = it == leaders.end() ? -1 : it->second;
    const int32_t b = c >= 0 ? combody(c) : -1;
    const bool keep = b >= 0 && alive(b) && unit[b].owner == x.owner && (unit[b].land == x.land || unit[b].land == 0);
    if (!keep) setunitsquad(u, -1);
  }
}

void clearemptysquads() {
  // Living units per squad, counted once.
  std::unordered_map<int32_t, int32_t> members;
  for (int32_t u = 0; u <= highestunit && u < MAXUNITS; u++)
    if (unit[u].hp > 0 && unit[u].squad != -1) members[unit[u].squad]++;
  for (int32_t c = 0; c <= topcom(); c++) {
    if (com[c].body < 0) continue;
    for (int32_t& s : com[c].squad)
      if (s != -1 && members.find(s) == members.end()) s = -1;
  }
}

void unitdump(int32_t unr) {
  debugprint("--------- Unit nbr %d ------------\n", unr);
  // A number outside the table gets the header line only.
  if (unr >= 0 && unr < MAXUNITS) {
    const Unit& u = unit[unr];
    if (u.owner >= 0 && u.owner <= 94) debugprint("owner: %d (%s)\n", u.owner, nations[u.owner].name);
    else debugprint("owner: %d\n", u.owner);
    if (u.type >= 1 && u.type < MAXUNITTYPES) {
      debugprint("type: %d (%s)\n", u.type, unittypes[u.type].name);
      debugprint("hp: %d  lnr: %d  snr: %d  order: %d\n", u.hp, int32_t(u.land), int32_t(u.squad), u.batorder);
      debugprint("x:%d  y:%d\n", u.x, u.y);
    }
  }
  debugprint("\n");
}

void unitfatal(int32_t cond, const char* text, int32_t unr, StopPlace where) {
  if ((cond & 0xFFFF) == 0) return;
  unitdump(unr);
  // A text-only run prints the message box's text.
  msgbox("Nagot gick fel\n\n unit %d\n\n%s", unr, text);
  // The unit's status box, where a window shows it. Only for a unit in use:
  // the figures of any other number would stop again inside the box.
  if (unr >= 0 && unr <= highestunit && unr < MAXUNITS) showunitfatal(unr);
  fatalerror(text, where);
}

void checkunit(int32_t unr, const char* tag, StopPlace where) {
  char msg[MSGLEN];
  if (unr < 0 || unr > highestunit || unr >= MAXUNITS) {
    snprintf(msg, sizeof msg, "%.500s: bad unr", tag);
    fatalerror(msg, where);
    return;
  }
  snprintf(msg, sizeof msg, "%.500s: bad owner", tag);
  unitfatal(uint8_t(unit[unr].owner) > 99, msg, unr, where);
  snprintf(msg, sizeof msg, "%.500s: unit dead", tag);
  unitfatal(unit[unr].hp < 0, msg, unr, where);
}

void checkcom(int32_t cnr, const char* tag, StopPlace where) {
  if (cnr < 0 || cnr > highestcom || cnr >= MAXCOMS) {
    char msg[MSGLEN];
    snprintf(msg, sizeof msg, "%.500s: bad cnr %d", tag, cnr);
    fatalerror(msg, where);
    return;
  }
  checkunit(com[cnr].body, tag, where);
}
