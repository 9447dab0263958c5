// The unit and commander tables and the squad services.
#include "battle/battle.h"

#include "runtime/fatal.h"
#include "runtime/rnd.h"

std::array<Unit, MAXUNITS> unit;
std::array<Commander, MAXCOMS> com;
int32_t highestunit = -1;
int32_t highestcom = -1;
std::array<int32_t, MAXCHECKSUMS> battlechecksums;
int16_t battlesnow = 0, battlerain = 0;
int32_t inbattle = 0;
int32_t ritualbattle = 0;

Unit emptyunit() {
  Unit u{};
  u.squad = -1;
  u.type = -1;
  u.land = -1;
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
  for (Unit& x : unit) x = u;
  const Commander c = emptycommander();
  for (Commander& x : com) x = c;
  highestunit = -1;
  highestcom = -1;
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
    com[c].deaths++;
    com[c].body = -1;
    u.comnr = -1;
  }
}

int32_t squadunitcount(int32_t squad) {
  if (squad == -1) return -1;
  int32_t n = 0;
  for (int32_t i = 0; i <= highestunit; i++)
    if (unit[i].hp > 0 && unit[i].squad == squad) n++;
  return n;
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
  for (int32_t i = 0; i <= highestunit; i++)
    if (unit[i].hp > 0 && unit[i].squad == squad) return 1;
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
