// Unit conditions, movement, weather and item slots.
#include <algorithm>
#include <cstring>

#include "runtime/fatal.h"
#include "world/magic.h"
#include "world/rules.h"

namespace {
bool inlandtable(int32_t lnr) { return lnr >= 0 && lnr < MAXLANDS; }
bool enchonland(int32_t kind, int32_t lnr) { return findench(kind, lnr, -1) >= 0; }
bool enchanywhere(int32_t kind) { return findench(kind, -1, -1) >= 0; }
int32_t sumability(int32_t unr, int32_t k) { return getability(unr, k, 1); }
}  // namespace

int32_t issea(int32_t lnr) { return inlandtable(lnr) && (provgeo[lnr].terrain & TM_SEA) ? 1 : 0; }

int32_t isstorm(int32_t lnr) {
  if (!inlandtable(lnr) || issea(lnr)) return 0;
  return enchanywhere(EN_WINTER) || enchonland(EN_STORM, lnr);
}

int32_t issnow(int32_t lnr) { return inlandtable(lnr) && !issea(lnr) && battlesnow != 0; }

int32_t israin(int32_t lnr) {
  if (!inlandtable(lnr) || issea(lnr)) return 0;
  return enchonland(EN_RAIN, lnr) || battlerain != 0;
}

int32_t isfog(int32_t lnr) {
  if (!inlandtable(lnr) || issea(lnr)) return 0;
  return enchonland(EN_FOG, lnr) || enchonland(EN_MIST, lnr);
}

int32_t isdarkness(int32_t lnr) {
  if (!inlandtable(lnr) || enchonland(EN_LIGHT, lnr)) return 0;
  return enchonland(EN_DARKNESS, lnr) || enchanywhere(EN_FAMINE);
}

int32_t iscoastal(int32_t lnr) {
  bailif(lnr < 0, "lic: bad lnr");
  if (lnr >= MAXLANDS || issea(lnr)) return 0;
  for (int32_t i = 0; i < MAXNEIGHBOURS && provgeo[lnr].nbr[i] >= 1; i++)
    if (issea(provgeo[lnr].nbr[i])) return 1;
  return 0;
}

int32_t isneighbour(int32_t a, int32_t b) {
  if (!inlandtable(a)) return 0;
  for (int32_t i = 0; i < MAXNEIGHBOURS && provgeo[a].nbr[i] >= 1; i++)
    if (provgeo[a].nbr[i] == b) return 1;
  return 0;
}

int32_t getsize(int32_t unr) {
  if (unr < 0 || unr >= MAXUNITS) return 0;
  const int32_t m = unit[unr].type;
  bailif(m < 0 || m >= MAXUNITTYPES, "getsize: bad m");
  return unittypes[m].size;
}

int32_t canfly(int32_t unr) {
  const Monster* t = unittyperec(unr);
  if (!t) return 0;
  const int32_t l = unitlandnr(unr);
  if (issea(l)) return (t->flags & MF_FLYING) && (t->flags & (MF_AQUATIC | MF_AMPHIBIAN)) ? 1 : 0;
  if (isstorm(l)) return sumability(unr, AB_STORMPOWER) > 0 || sumability(unr, AB_STORMIMMUNE) > 0;
  return (t->flags & MF_FLYING) || (unit[unr].flags[1] & ST_FLYING) || sumability(unr, AB_FLYCAP) > 0;
}

int32_t getmapmove(int32_t unr) {
  unitfatal(unr < 0 || unr > highestunit || unr >= MAXUNITS, "getmapmove: bad unr", unr);
  const Monster* t = unittyperec(unr);
  if (!t) return 0;
  int32_t m = t->mapmove;
  const int32_t l = unit[unr].land;
  const bool onwater = l < 0 ? (t->flags & (MF_AMPHIBIAN | MF_AQUATIC)) != 0 : issea(l) != 0;
  if (canfly(unr) && !onwater && m < 3) m++;
  return m;
}

namespace {
// Commander with a living body: its body, else -1.
int32_t livingbody(int32_t cnr) {
  if (cnr < 0 || cnr > highestcom) return -1;
  const int32_t b = combody(cnr);
  return b >= 0 && unit[b].hp > 0 ? b : -1;
}
}  // namespace

int32_t armymapmove(int32_t cnr) {
  const int32_t b = livingbody(cnr);
  if (b < 0) return 0;
  int32_t m = getmapmove(b);
  const int32_t l = unit[b].land;
  foreachunitinsquads(com[cnr].squad, [&](int32_t u) {
    if (u != b && unit[u].land == l) m = std::min(m, getmapmove(u));
  });
  return m;
}

uint32_t armyflags(int32_t cnr) {
  const int32_t b = livingbody(cnr);
  if (b < 0) return 0;
  uint32_t f = unittypeflags(b);
  const int32_t l = unit[b].land;
  foreachunitinsquads(com[cnr].squad, [&](int32_t u) {
    if (u != b && unit[u].hp > 0 && unit[u].land == l) f &= unittypeflags(u);
  });
  return f;
}

int32_t invoid(int32_t unr) {
  if (unr < 0 || unr >= MAXUNITS) return 0;
  const int32_t l = unit[unr].land;
  const bool thevoid = l == VOIDLAND || (l == 0 && strcmp(land[0].name, "The Void") == 0);
  return thevoid && sumability(unr, AB_VOIDSANITY) < 1;
}

int32_t issacred(int32_t unr) {
  if (unr < 0 || unr >= MAXUNITS) return 0;
  if (unit[unr].flags[2] & F3_PRETENDER) return 0;
  return (unit[unr].flags[1] & (ST_BLESSED | ST_PROPHET)) ? 1 : 0;
}

int32_t isholy(int32_t unr) {
  if (unr < 0 || unr >= MAXUNITS) return 0;
  const int32_t c = unit2com(unr);
  if (c >= 0 && ispriest(c)) return 1;
  if (unit[unr].flags[1] & ST_PROPHET) return 1;
  return (unittypeflags(unr) & MF_HOLY) ? 1 : 0;
}

int32_t cannotact(int32_t unr) {
  if (unr < 0 || unr >= MAXUNITS) return 0;
  if (unit[unr].fatigue > 99) return 1;
  for (uint32_t bit : AF_QUARTERDEF)
    if (unit[unr].flags[0] & bit) return 1;
  return sumability(unr, AB_PARALYZED) > 0 || sumability(unr, AB_PETRIFIED) > 0;
}

int32_t mayburn(int32_t unr) {
  const Monster* t = unittyperec(unr);
  if (!t) return 0;
  const Unit& u = unit[unr];
  if (u.flags[1] & (0x8000000 | 0x400 | 0x2000)) return 0;
  if (u.flags[2] & 0x10000) return 0;
  if (t->flags & (MF_ETHEREAL | MF_FIRERES | MF_UNUSED10000)) return 0;
  return !issea(unitlandnr(unr));
}

int32_t mayfreeze(int32_t unr) {
  const Monster* t = unittyperec(unr);
  if (!t) return 0;
  const Unit& u = unit[unr];
  if (u.flags[1] & (0x8000000 | 0x1000 | 0x2000)) return 0;
  if (u.flags[2] & (0x10000 | 0x8000)) return 0;
  if (t->flags & (MF_ETHEREAL | MF_COLDRES | MF_UNUSED80)) return 0;
  return 1;
}

int32_t nativeter(int32_t unr) {
  if (unr < 0 || unr >= MAXUNITS) return 0;
  const int32_t m = unit[unr].type;
  bailif(m < 0 || m >= MAXUNITTYPES, "nativeter: bad mnr");
  const int32_t l = unitlandnr(unr);
  if (l < 0) return 0;
  const uint32_t ter = provgeo[l].terrain, f = unittypes[m].flags;
  return ((ter & TM_WASTE) && (f & MF_WASTESURVIVAL)) || ((ter & TM_SWAMP) && (f & MF_SWAMPSURVIVAL)) ||
         ((ter & TM_FOREST) && (f & MF_FORESTSURVIVAL)) || ((ter & TM_MOUNTAINS) && (f & MF_MOUNTAINSURVIVAL));
}

int32_t survivesonland(int32_t unr) {
  const Monster* t = unittyperec(unr);
  if (!t) return 0;
  if (t->flags & MF_AQUATIC) return sumability(unr, AB_AQUATICLEAVE) > 0;
  return 1;
}

int32_t typebreatheswater(int32_t mnr) {
  const Monster* t = typerec(mnr);
  return t && (t->flags & (MF_AMPHIBIAN | MF_AQUATIC | MF_POORAMPHIBIAN)) ? 1 : 0;
}

int32_t breatheswater(int32_t unr) {
  if (unr < 0 || unr >= MAXUNITS) return 0;
  if (typebreatheswater(unit[unr].type)) return 1;
  if (sumability(unr, AB_NOWATER) > 99) return 0;
  if (sumability(unr, AB_WATERBREATHING) > 0 || enchanywhere(EN_WATERFORALL)) return 1;
  const int32_t owner = unit[unr].owner;
  if (owner < 0 || owner > 94 || getnatattr(owner, NA_HOLYWATERBREATHING) == 0 || !isholy(unr)) return 0;
  const int32_t l = unitlandnr(unr);
  return l >= 0 && land[l].veyowner == owner && land[l].veystr > 0;
}

int32_t nbrheadslots(int32_t unr) {
  if (unittypeflags(unr) & MF_NOITEM) return 0;
  if (!unittyperec(unr)) return 0;
  const int32_t mask = getability(unr, AB_ITEMSLOTS, 0);
  const bool lost = unit[unr].flags[0] & AF_LOSTHEAD;
  if (mask == 0) return 1;
  if (mask & 0x100) return lost ? 1 : 2;
  if (mask & 0x80) return lost ? 0 : 1;
  return 0;
}

namespace {
int32_t battleorderfield(int32_t unr, bool param, const char* tag) {
  bailif(unr < 0, tag);
  if (unr >= MAXUNITS) return 0;
  const int32_t c = unit2com(unr);
  if (c >= 0) return param ? com[c].battarget : com[c].batorder;
  const int32_t l = squadcommander(unit[unr].squad);
  if (l < 0) return 0;
  const int32_t s = com[l].squadslot;
  if (s < 0 || s > 4) return 0;
  return param ? com[l].sqtarget[s] : com[l].sqorder[s];
}
}  // namespace

int32_t getbattleorder(int32_t unr) { return battleorderfield(unr, false, "ubp: bad unr"); }
int32_t getbattleorderparam(int32_t unr) { return battleorderfield(unr, true, "ubp: bad unr"); }

namespace {
// Every slot kind of a type in slot order, from one look-up of its mask;
// the count of slots.
int32_t typeslotkinds(int32_t mnr, int32_t (&kinds)[17]) {
  const Monster* t = typerec(mnr);
  if (!t) return 0;
  int32_t mask = gettypeability(mnr, AB_ITEMSLOTS, -1);
  if (mask < 1) mask = (t->flags & MF_NOITEM) ? 12288 : (t->flags & MF_MOUNTED) ? 13446 : 15494;
  if (mask == 1) return 0;
  int32_t n = 0;
  for (int32_t bit = 1; bit <= 17; bit++) {
    if (!(mask & (1 << bit))) continue;
    kinds[n++] = bit <= 6 ? SLOT_HAND : bit <= 9 ? SLOT_HEAD : bit == 10 ? SLOT_BODY : bit == 11 ? SLOT_FEET : SLOT_MISC;
  }
  return n;
}

// The unit's usable slots: its type's, less the first hand after a lost arm
// and the first head after a lost head.
int32_t unitslotkinds(int32_t unr, int32_t (&kinds)[17]) {
  if (unr < 0 || unr >= MAXUNITS) return 0;
  int32_t all[17];
  const int32_t n = typeslotkinds(unit[unr].type, all);
  bool skiphand = unit[unr].flags[0] & AF_LOSTARM;
  bool skiphead = unit[unr].flags[0] & AF_LOSTHEAD;
  int32_t left = 0;
  for (int32_t s = 0; s < n; s++) {
    if (all[s] == SLOT_HAND && skiphand) {
      skiphand = false;
      continue;
    }
    if (all[s] == SLOT_HEAD && skiphead) {
      skiphead = false;
      continue;
    }
    kinds[left++] = all[s];
  }
  return left;
}
}  // namespace

int32_t typeslotkind(int32_t mnr, int32_t n) {
  int32_t kinds[17];
  const int32_t count = typeslotkinds(mnr, kinds);
  return n >= 0 && n < count ? kinds[n] : 0;
}

int32_t unitslotkind(int32_t unr, int32_t n) {
  int32_t kinds[17];
  const int32_t count = unitslotkinds(unr, kinds);
  return n >= 0 && n < count ? kinds[n] : 0;
}

int32_t nbrslotsofkind(int32_t mnr, int32_t kind) {
  int32_t kinds[17];
  const int32_t count = typeslotkinds(mnr, kinds);
  int32_t n = 0;
  for (int32_t s = 0; s < count; s++)
    if (kinds[s] == kind) n++;
  return n;
}

int32_t comitemsofkind(int32_t cnr, int32_t kind, int32_t (&out)[8]) {
  const int32_t b = combody(cnr);
  if (b < 0) return 0;
  int32_t kinds[17];
  const int32_t count = unitslotkinds(b, kinds);
  int32_t n = 0;
  for (int32_t s = 0; s < 8 && s < count; s++) {
    const int32_t it = com[cnr].item[s];
    if (validitem(it) && kinds[s] == kind) out[n++] = it;
  }
  return n;
}

int32_t comslotitem(int32_t cnr, int32_t kind, int32_t n) {
  int32_t held[8];
  const int32_t count = comitemsofkind(cnr, kind, held);
  return n >= 0 && n < count ? held[n] : 0;
}
