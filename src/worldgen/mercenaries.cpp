// Mercenary bands from their templates.
#include "worldgen/mercenaries.h"

#include "runtime/fatal.h"
#include "runtime/rnd.h"
#include "runtime/util.h"
#include "world/builders.h"
#include "world/gamedata.h"
#include "world/units.h"
#include "world/world.h"

namespace {
int16_t clamp16(int32_t v) { return int16_t(imax(-32768, imin(32767, v))); }

int32_t templatecount() {
  int32_t n = 0;
  while (n < MAXMERCTEMPLATES && merctemplates[n].tier != MERC_ENDTIER) n++;
  return n;
}

const char* typename_(int32_t m) { return m >= 0 && m < MAXUNITTYPES ? unittypes[m].name : "none"; }
}  // namespace

int32_t popmercs(const char* bandname, const char* leadername, int32_t comtype, int32_t unittype, int32_t count,
                 int32_t reserve, int32_t price, int32_t xp, int32_t favnation, int32_t favpercent) {
  bailif(comtype < 0, "popmercs: bad commnr");
  int32_t slot = -1;
  for (int32_t i = 0; i < MAXMERCBANDS && slot < 0; i++)
    if (mercband[i].value[MB_LEADER] < 0) slot = i;
  if (slot < 0) {
    debugprint("Can't create new mercs\n");
    return -1;
  }
  if (unittype < 1) count = 0;   // a template without troops
  const int32_t c = popgang(unittype, comtype, count, MERCOWNER, MERCLAND);
  if (c < 0) return -1;
  debugprint("Creating new mercs %s cnr %d comtype %s unittype %s\n", bandname ? bandname : "", c,
             typename_(comtype), typename_(unittype));
  const int32_t sq = com[c].squad[0];
  foreachunitinsquad(sq, [&](int32_t u) {
    if (unit[u].hp > 0) {
      unit[u].homeland = -2;
      unit[u].exp = clamp16(xp);
    }
  });
  const int32_t b = com[c].body;
  unit[b].homeland = -2;
  unit[b].exp = clamp16(2 * int64_t(xp) > 32767 ? 32767 : 2 * xp);
  if (leadername && leadername[0]) strlcopy(com[c].name, leadername, sizeof com[c].name);
  MercBand& m = mercband[slot];
  m.value[MB_LEADER] = clamp16(c);
  m.value[MB_EMPLOYER] = -1;
  m.value[MB_PRICE] = clamp16(price);
  strlcopy(m.name, bandname ? bandname : "", sizeof m.name);
  m.value[MB_MONTHS] = 0;
  m.value[MB_RESERVE] = clamp16(reserve);
  m.value[MB_FAVNATION] = clamp16(favnation);
  m.value[MB_FAVPERCENT] = clamp16(favpercent);
  return c;
}

int32_t addrandommerc(int32_t era, int32_t tier) {
  const int32_t n = templatecount();
  if (n < 1) return -1;
  const uint8_t erabit = era == 1 ? MERC_EARLY : era == 2 ? MERC_MIDDLE : era == 3 ? MERC_LATE : 0;
  for (int32_t draw = 0; draw < 100; draw++) {
    const int32_t t = rnd(n);
    const MercTemplate& m = merctemplates[t];
    if (merctemplateused[t] || (erabit && !(m.eras & erabit)) || m.tier != tier) continue;
    const int32_t c = popmercs(m.bandname, m.leadername, m.comtype, m.unittype, m.count, m.reserve, m.price, m.xp,
                               m.favnation, m.favpercent);
    if (c >= 0) {
      for (int32_t i = 0; i < MERCITEMS && m.items[i][0]; i++) additem(m.items[i], 100);
      addequip(m.equiplevel);
    }
    merctemplateused[t] = 1;
    return t;
  }
  return -1;
}
