// The unit and commander tables and the squad services.
#include "world/units.h"

#include <memory>

#include "runtime/fatal.h"
#include "runtime/rnd.h"
#include "world/rules.h"

std::array<Unit, MAXUNITS> unit;
std::array<Commander, MAXCOMS> com;
int32_t highestunit = -1;
int32_t highestcom = -1;
std::array<int32_t, MAXCHECKSUMS> battlechecksums;
int16_t battlesnow = 0, battlerain = 0;
int32_t inbattle = 0;
int32_t ritualbattle = 0;

int32_t ccmrandomtotal = 0;

namespace {
// Where the search for a free unit slot starts; the table reset clears it.
int32_t unitsearchstart = 0;

// One path drawn from a mask of path bits (0x80 Fire .. 0x8000 Priest);
// -1 for a mask without any.
int32_t pathfrommask(uint32_t mask) {
  int32_t paths[9], n = 0;
  for (int32_t p = 0; p < 9; p++)
    if (mask & (0x80u << p)) paths[n++] = p;
  return n == 0 ? -1 : paths[n == 1 ? 0 : rnd(n)];
}

void raisepath(int32_t cnr, int32_t path, int32_t levels) {
  if (path < 0 || path > 8 || levels < 1) return;
  const int32_t v = com[cnr].path[path] + levels;
  com[cnr].path[path] = uint8_t(v > 255 ? 255 : v);
}
}  // namespace

Unit emptyunit() {
  Unit u{};
  setrecordsquad(u, -1);
  u.type = -1;
  setrecordland(u, -1);
  u.homeland = -1;
  u.x = -1;
  u.y = -1;
  u.comnr = -1;
  return u;
}

Commander emptycommander() {
  Commander c{};
  c.body = -1;
  for (int32_t& s : c.squad) s = -1;
  for (int16_t& s : c.roundspell) s = -1;
  c.squadslot = -1;
  return c;
}

void clearunittables() {
  const Unit u = emptyunit();
  for (Unit& x : unit) std::construct_at(&x, u);
  reindexunits();
  const Commander c = emptycommander();
  for (Commander& x : com) x = c;
  highestunit = -1;
  highestcom = -1;
  unitsearchstart = 0;
  battlechecksums.fill(0);
  battlesnow = battlerain = 0;
  inbattle = 0;
  ritualbattle = 0;
}

void killunit(int32_t unr) {
  bailif(unr < 0 || unr >= MAXUNITS, "killunit: bad unr");
  Unit& u = unit[unr];
  u.hp = 0;
  const int32_t c = u.comnr;
  if (c >= 0 && c < MAXCOMS && com[c].body == unr && !(u.flags[2] & F3_PRETENDER)) {
    if (com[c].deaths < INT16_MAX) com[c].deaths++;
    com[c].body = -1;
    u.comnr = -1;
  }
}

int32_t squadunitcount(int32_t squad) {
  if (squad == -1) return -1;
  int32_t n = 0;
  foreachunitinsquad(squad, [&](int32_t u) { n += unit[u].hp > 0; });
  return n;
}

int32_t squadtotalsize(int32_t squad) {
  if (squad == -1) return 0;
  int32_t n = 0;
  foreachunitinsquad(squad, [&](int32_t u) {
    if (unit[u].hp > 0 && unit[u].type >= 0 && unit[u].type < MAXUNITTYPES) n += unittypes[unit[u].type].size;
  });
  return n;
}

int32_t firstsquadunit(int32_t squad) {
  if (squad == -1) return -1;
  for (int32_t u : filedinsquads(std::span(&squad, 1)))
    if (unit[u].hp > 0) return u;
  return -1;
}

int32_t squadcommander(int32_t squad) {
  if (squad == -1) return -1;
  for (int32_t c = 0; c <= highestcom; c++) {
    if (com[c].body < 0) continue;
    for (int32_t s = 0; s < 5; s++)
      if (com[c].squad[s] == squad) {
        com[c].squadslot = s;
        return c;
      }
  }
  return -1;
}

namespace {
int32_t squadinuse(int32_t squad) {
  if (squad == -1) {   // not indexed: every unit outside a squad has it
    for (int32_t i = 0; i <= highestunit; i++)
      if (unit[i].hp > 0 && unit[i].squad == squad) return 1;
    return 0;
  }
  for (int32_t u : filedinsquads(std::span(&squad, 1)))
    if (unit[u].hp > 0) return 1;
  return 0;
}
}  // namespace

int32_t newsquadnbr(int32_t player) {
  // Bounded: a crowded range gives up with the stop message instead of
  // drawing for ever.
  for (int32_t tries = 0; tries < 20000; tries++) {
    const int32_t draw = rnd(5000);
    const int32_t s = player > 200 ? 1000000 + draw : player * 5000 + draw;
    if (!squadinuse(s)) return s;
  }
  fatalerror("out of squads");
  return -1;
}

namespace {
bool freeunitslot(const Unit& u) { return u.hp < 1 && !(u.flags[2] & F3_PRETENDER) && u.comnr < 0; }
}  // namespace

int32_t newunit(int32_t type, int32_t owner, int32_t flag) {
  bailif(type < 0 || type >= MAXUNITTYPES, "newunit: bad mnr");
  if (unitsearchstart < 0 || unitsearchstart >= MAXUNITS) unitsearchstart = 0;
  for (int32_t i = 0; i < MAXUNITS; i++) {
    const int32_t u = (unitsearchstart + i) % MAXUNITS;
    if (!freeunitslot(unit[u])) continue;
    Unit x = emptyunit();
    x.type = int16_t(type);
    x.hp = int16_t(unittypes[type].hp < 1 ? 1 : unittypes[type].hp);
    x.owner = int8_t(owner);
    x.tmp = flag == 1 ? 1 : 0;
    putunit(u, x);
    unit[u].age = int16_t(startage(type));
    if (u > highestunit) highestunit = u;
    unitsearchstart = u + 1;
    return u;
  }
  return -1;
}

int32_t newcom(int32_t type, int32_t owner) {
  int32_t c = 0;
  while (c < MAXCOMS && com[c].body >= 0) c++;
  if (c >= MAXCOMS) return -1;
  const int32_t u = newunit(type, owner, 0);
  if (u < 0) return -1;
  com[c] = emptycommander();
  com[c].body = u;
  for (int32_t p = 0; p < 9; p++) {
    const int32_t level = gettypemagic(type, p);
    com[c].path[p] = uint8_t(level < 0 ? 0 : level > 255 ? 255 : level);
  }
  unit[u].comnr = c;
  if (c > highestcom) highestcom = c;
  return c;
}

void ccm(int32_t cnr) {
  bailif(cnr < 0 || cnr >= MAXCOMS, "ccm: bad cnr");
  ccmrandomtotal = 0;
  const int32_t body = combody(cnr);
  if (body < 0) return;
  const int32_t type = unit[body].type;
  // Random-magic rows: any arcane path, an elemental or a sorcery path for
  // certain; a path-mask row with its chance in percent.
  for (int32_t i = 0; i < MAXRANDMAGIC && randmagic[i].type >= 0; i++) {
    const RandMagic& r = randmagic[i];
    if (r.type != type) continue;
    if (r.code >= 50 && r.code <= 52) {
      ccmrandomtotal += 100;
      const int32_t path = r.code == 50 ? rnd(8) : r.code == 51 ? rnd(4) : 4 + rnd(4);
      raisepath(cnr, path, 1);
    } else if (r.code >= 128) {
      ccmrandomtotal += r.chance;
      if (rnd(100) < r.chance) raisepath(cnr, pathfrommask(r.code), 1);
    }
  }
  // Random picks of the type's own magic: the level in one path of the mask.
  for (int32_t i = 0; i < MAXTYPEMAGIC && typemagic[i].type >= 0; i++) {
    const TypeMagic& t = typemagic[i];
    if (t.type == type && t.path > 127) raisepath(cnr, pathfrommask(uint32_t(t.path)), t.level);
  }
}

namespace {
int32_t spawn(int32_t type, int32_t owner, int32_t count, int32_t lnr, int32_t squad, uint8_t tmp) {
  int32_t last = -1;
  for (int32_t i = 0; i < count; i++) {
    const int32_t u = newunit(type, owner, 0);
    if (u < 0) break;
    setunitland(u, lnr);
    setunitsquad(u, squad);
    unit[u].tmp = tmp;
    last = u;
  }
  return last;
}
}  // namespace

int32_t spawnunits(int32_t type, int32_t owner, int32_t count, int32_t lnr, int32_t squad) {
  return spawn(type, owner, count, lnr, squad, 0);
}

int32_t spawntempunits(int32_t type, int32_t owner, int32_t count, int32_t lnr, int32_t squad) {
  return spawn(type, owner, count, lnr, squad, 1);
}
