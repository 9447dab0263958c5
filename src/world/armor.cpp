// Worn armors and the protection they give, by location and overall.
#include "runtime/fatal.h"
#include "runtime/util.h"
#include "world/rules.h"

namespace {
constexpr int32_t MAXWORN = 10;

struct Worn {
  int32_t n = 0;
  int32_t a[32];
  void add(int32_t armor) {
    if (n < 32) a[n++] = armor;
  }
};

// The type's armors of one armor type (0 = any), in type order up to the
// first number below 1.
void typearmors(const Monster& t, int32_t armortype, bool noshield, Worn& out) {
  for (int32_t i = 0; i < UNITARMORS; i++) {
    const int32_t a = t.armor[i];
    if (!validarmor(a)) break;
    const int32_t at = armors[a].type;
    if (armortype != 0 && at != armortype) continue;
    if (noshield && at == IT_SHIELD) continue;
    out.add(a);
  }
}

void itemarmor(int32_t it, Worn& out) {
  if (validitem(it) && validarmor(items[it].armor)) out.add(items[it].armor);
}

void wornlist(int32_t unr, Worn& out) {
  const Monster* t = unittyperec(unr);
  if (!t) return;
  const Unit& u = unit[unr];
  const bool noarmor = u.flags[0] & AF_NOARMOR;
  const bool lostarm = u.flags[0] & AF_LOSTARM;
  const int32_t c = unit2com(unr);
  if (c < 0) {
    if (!noarmor) typearmors(*t, 0, lostarm, out);
    return;
  }
  int32_t held[8];
  const int32_t heads = comitemsofkind(c, SLOT_HEAD, held);
  if (heads == 0) {
    if (!noarmor) typearmors(*t, IT_HELMET, false, out);
  }
  for (int32_t k = 0; k < heads && k < 3; k++) itemarmor(held[k], out);
  if (comitemsofkind(c, SLOT_BODY, held) > 0) itemarmor(held[0], out);
  else if (!noarmor) typearmors(*t, IT_ARMOR, false, out);
  int32_t hands = 0;
  bool shield = false;
  const int32_t nhand = comitemsofkind(c, SLOT_HAND, held);
  for (int32_t k = 0; k < nhand; k++) {
    const int32_t it = held[k];
    if (items[it].type == IT_SHIELD) {
      itemarmor(it, out);
      shield = true;
    } else if (items[it].type == IT_ONEHAND) {
      hands += 1;
    } else if (items[it].type == IT_TWOHAND) {
      hands += 2;
    }
  }
  if (hands <= 1 && !shield && !noarmor && !lostarm) typearmors(*t, IT_SHIELD, false, out);
  const int32_t nmisc = comitemsofkind(c, SLOT_MISC, held);
  for (int32_t k = 0; k < nmisc; k++) itemarmor(held[k], out);
}

// Calls f for each worn armor among the first ten.
template <typename F>
void forworn(int32_t unr, F f) {
  Worn w;
  wornlist(unr, w);
  for (int32_t i = 0; i < w.n && i < MAXWORN; i++) f(armors[w.a[i]]);
}

void checkused(int32_t unr, const char* tag) { bailif(unr < 0 || unr > highestunit || unr >= MAXUNITS, tag); }

int32_t combine(int32_t a, int32_t natural) { return imin(40, a + ((40 - a) * natural + 20) / 40); }
}  // namespace

int32_t wornarmors(int32_t unr, int32_t (&out)[10]) {
  if (unr < 0) return 0;
  bailif(unr >= MAXUNITS, "getarmor: bad unr");
  Worn w;
  wornlist(unr, w);
  int32_t n = 0;
  while (n < w.n && n < MAXWORN) {
    out[n] = w.a[n];
    n++;
  }
  return n;
}

int32_t getarmor(int32_t unr, int32_t n) {
  if (unr < 0) return 0;
  bailif(unr >= MAXUNITS, "getarmor: bad unr");
  Worn w;
  wornlist(unr, w);
  return n >= 0 && n < w.n ? w.a[n] : 0;
}

int32_t getshldprt(int32_t unr) {
  checkused(unr, "getshldprt: bad unr");
  int32_t sum = 0;
  forworn(unr, [&](const Armor& a) {
    if (a.type == IT_SHIELD && a.prot[0].loc == LOC_SHIELD) sum += a.prot[0].prot;
  });
  const Monster* t = unittyperec(unr);
  debugprint2("shieldprot for %s = %d\n", t ? t->name : "?", sum);
  return sum;
}

int32_t getshlddef(int32_t unr) {
  checkused(unr, "getshlddef: bad unr");
  int32_t sum = 0;
  forworn(unr, [&](const Armor& a) {
    if (a.type == IT_SHIELD) sum += a.def;
  });
  return sum;
}

int32_t hasshield(int32_t unr) {
  checkused(unr, "getshlddef: bad unr");
  int32_t has = 0;
  forworn(unr, [&](const Armor& a) { has = has || a.type == IT_SHIELD; });
  return has;
}

namespace {
// What protection at every location of one unit depends on.
struct ProtSource {
  Worn worn;
  int32_t ice = 0;     // the cold's share, for ice protection
  int32_t piece = 0;   // added to every matching pair
  int32_t heads = 1;
};

ProtSource protsource(int32_t unr) {
  bailif(unr >= MAXUNITS, "getarmor: bad unr");
  ProtSource p;
  const Unit& u = unit[unr];
  wornlist(unr, p.worn);
  const int32_t l = unitlandnr(unr);
  if (l >= 0 && !(u.flags[0] & AF_NOARMOR)) {
    const int32_t iceprot = getability(unr, AB_ICEPROT, 1);
    if (iceprot >= 1) p.ice = land[l].scale[SC_COLD] * iceprot;
  }
  if (u.flags[1] & ST_ARMORPLUS) p.piece = 3;
  if (issacred(unr) && godplayer(u.owner) && godpathlevel(u.owner, P_EARTH) > 8) p.piece += 4;
  p.heads = nbrheadslots(unr);
  return p;
}

int32_t locprot(const ProtSource& p, int32_t loc) {
  int32_t sum = 0;
  for (int32_t n = 0; n < p.worn.n && n < MAXWORN; n++) {
    const Armor& a = armors[p.worn.a[n]];
    for (int32_t i = 0; i < ARMORPAIRS && a.prot[i].loc != 0; i++)
      if (a.prot[i].loc == loc || (a.prot[i].loc == LOC_ALLBUTSHIELD && loc != LOC_SHIELD)) sum += a.prot[i].prot + p.piece;
  }
  if (loc == LOC_HEAD && p.heads >= 2) return sum / p.heads + p.ice;
  return sum + p.ice;
}
}  // namespace

int32_t getlocprot(int32_t unr, int32_t loc) {
  if (unr < 0) return 0;
  return locprot(protsource(unr), loc);
}

int32_t getprot(int32_t unr) {
  if (unr < 0) return 0;
  bailif(unr >= MAXUNITS, "getprot: bad unr");
  const ProtSource p = protsource(unr);
  int32_t sum = 2 * locprot(p, LOC_BODY) + locprot(p, LOC_ARMS) + locprot(p, LOC_LEGS);
  int32_t weight = 4;
  if (p.heads >= 1) {
    sum += locprot(p, LOC_HEAD);
    weight++;
  }
  int32_t v = getnatprot(unr);
  v = combine(sum / weight, v);
  return v;
}

int32_t getheadprot(int32_t unr) {
  if (unr < 0) return 0;
  return combine(getlocprot(unr, LOC_HEAD), getnatprot(unr));
}

int32_t getbodyprot(int32_t unr) {
  if (unr < 0) return 0;
  const ProtSource p = protsource(unr);
  const int32_t a = (2 * locprot(p, LOC_BODY) + locprot(p, LOC_ARMS) + locprot(p, LOC_LEGS)) / 4;
  return combine(a, getnatprot(unr));
}
