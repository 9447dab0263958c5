// Healing, disease and old age. Wounds heal by a fifth a month; disease
// gnaws instead. Once a year every unit grows older, and the old collect
// afflictions and may die. Old age draws from the C library generator.
#include "host/host.h"
#include "host/hostinternal.h"
#include "host/phases.h"
#include "runtime/fatal.h"
#include "runtime/rnd.h"
#include "runtime/util.h"
#include "world/gamedata.h"
#include "world/rules.h"
#include "world/units.h"
#include "world/world.h"

namespace {
// What old age does to a body, in the order it is drawn.
constexpr uint32_t oldageafflictions[] = {AF_LIMP, AF_WEAKENED, AF_CHESTWOUND, AF_CRIPPLED, AF_FEEBLEMINDED,
                                          AF_BLIND, AF_LOSTEYE};

bool mortal(int32_t u) {
  const uint32_t f = unittypeflags(u);
  return !(f & (MF_IMMORTAL | MF_INANIMATE | MF_UNDEAD | MF_DEMON)) && !(unit[size_t(u)].flags[2] & F3_PRETENDER);
}

void heal(int32_t u) {
  Unit& x = unit[size_t(u)];
  const int32_t maxhp = getmaxhp(u);
  if (x.flags[0] & AF_DISEASED) {
    if (unittypeflags(u) & (MF_UNDEAD | MF_INANIMATE)) {
      x.flags[0] &= ~AF_DISEASED;   // nothing left to sicken
      return;
    }
    x.hp = int16_t(x.hp - imax(1, maxhp / 10));
    return;
  }
  if (x.hp >= maxhp || (unittypeflags(u) & MF_NOHEAL)) {
    if (x.hp > maxhp) x.hp = int16_t(imax(maxhp, 1));
    return;
  }
  x.hp = int16_t(imin(maxhp, x.hp + imax(1, maxhp / 5)));
}

void growolder(int32_t u) {
  Unit& x = unit[size_t(u)];
  if (x.age < 32767) x.age++;
  if (!mortal(u)) return;
  const int32_t level = oldagelevel(u);
  if (level <= 0) return;
  const int32_t c = unit2com(u);
  if (sysrnd(100) < level * 10) {
    const uint32_t a = oldageafflictions[sysrnd(int32_t(sizeof oldageafflictions / sizeof oldageafflictions[0]))];
    if (!(x.flags[0] & a)) {
      x.flags[0] |= a;
      if (c >= 0) landmsg(x.owner, x.land, "Old age\n\n%s feels the burden of the years.", comshownname(c));
    }
  }
  if (level >= 5 && sysrnd(100) < (level - 4) * 10) {
    if (c >= 0) landmsg(x.owner, x.land, "Old age\n\n%s has died of old age.", comshownname(c));
    killunit(u);
  }
}
}  // namespace

void ageingphase() {
  const bool newyear = getmonth() == 0;
  for (int32_t u = 0; u <= highestunit; u++) {
    if (unit[size_t(u)].hp < 1) continue;
    heal(u);
    if (unit[size_t(u)].hp < 1) {
      const int32_t c = unit2com(u);
      if (c >= 0) landmsg(unit[size_t(u)].owner, unit[size_t(u)].land, "%s has died of disease.", comshownname(c));
      if (unit[size_t(u)].flags[2] & F3_PRETENDER) unit[size_t(u)].hp = 1;
      else killunit(u);
      continue;
    }
    if (newyear) growolder(u);
  }
}
