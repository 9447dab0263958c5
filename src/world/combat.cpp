// Combat values of a unit: strength, hit points, encumbrance, defence,
// attack, action points, precision, and age.
#include "runtime/fatal.h"
#include "runtime/rnd.h"
#include "runtime/util.h"
#include "world/hoststate.h"
#include "world/magic.h"
#include "world/rules.h"

namespace {
int32_t ab(int32_t unr, int32_t k) { return getability(unr, k, 1); }

// Veyrance term: + strength in the owner's own veyrance, - strength elsewhere.
int32_t veyterm(int32_t unr, int32_t l) {
  if (l < 0) return 0;
  return land[l].veyowner == unit[unr].owner ? land[l].veystr : -land[l].veystr;
}

// Storm, cold, heat and darkness powers in the land, added to v.
void climate(int32_t unr, int32_t l, int32_t& v) {
  const int32_t storm = ab(unr, AB_STORMPOWER);
  if (storm > 0 && isstorm(l)) v += storm;
  if (l < 0) return;
  const int32_t cold = land[l].scale[SC_COLD];
  if (const int32_t a = ab(unr, AB_COLDPOWER); a > 0) v += a * cold;
  if (const int32_t a = ab(unr, AB_FIREPOWER); a > 0) v -= a * cold;
  if (const int32_t a = ab(unr, AB_DARKPOWER); a > 0) {
    if (isdarkness(l)) v += a;
    if (findench(EN_LIGHT, l, -1) >= 0) v -= a;
  }
}

int32_t expsteps(int32_t exp) {
  int32_t n = 0;
  for (int32_t e : {14, 49, 99, 199, 399})
    if (exp > e) n++;
  return n;
}

int32_t blessing(int32_t unr, int32_t path) {
  const int32_t owner = unit[unr].owner;
  if (!issacred(unr)) return 0;
  return blessbonus(owner, path);
}

int32_t berserkvalue(int32_t unr) {
  const int32_t b = ab(unr, AB_BERSERK);
  return b > 0 ? b : 1;
}

struct Heroic {
  int32_t kind = 0, str = 0;
};
Heroic heroic(int32_t unr) {
  Heroic h;
  const int32_t c = unit2com(unr);
  if (c >= 0) {
    h.kind = com[c].tmpfx;
    h.str = com[c].tmpfxstr;
  }
  return h;
}

// A lost eye has been subtracted by the getter; here only the checks that
// blind a unit outright.
void eyecheck(int32_t unr, int32_t& value) {
  const int32_t blind = ab(unr, AB_BLIND), eyes = ab(unr, AB_EYES);
  const uint32_t af = unit[unr].flags[0];
  if ((af & AF_LOSTEYE) && blind < 1 && eyes == -1) value = 0;
  else if (eyes < -1 && blind < 1) value = 0;
  else if ((af & AF_BLIND) && blind < 1) value = 0;
}

void darkness(int32_t unr, int32_t l, const Monster& t, int32_t& value) {
  if (!isdarkness(l) || (t.flags & (MF_UNDEAD | MF_DEMON)) || ab(unr, AB_BLIND) >= 1) return;
  value = ((ab(unr, AB_DARKVISION) / 2 + 50) * value) / 100;
}

// The lowest value a figure takes.
int32_t atleast(int32_t v, int32_t low) {
  return imax(v, low);
}

bool waterborn(const Monster& t) { return t.flags & (MF_AMPHIBIAN | MF_AQUATIC); }
bool swampy(int32_t l) {
  return l >= 0 && !issea(l) && ((provgeo[l].terrain & TM_SWAMP) || findench(EN_SWAMP, l, -1) >= 0);
}

// What defence and attack lose alike, in this order: a swamp, old age,
// wounds, slime, the Void and water; between them the blessing of the path
// that helps the figure.
void hardships(int32_t unr, const Unit& u, const Monster& t, int32_t l, int32_t blessedpath, int32_t& v) {
  if (swampy(l) && !(t.flags & MF_SWAMPSURVIVAL)) v -= 1;
  v += blessing(unr, blessedpath);
  v -= oldagelevel(unr);
  if ((u.flags[0] & AF_LOSTEYE) && ab(unr, AB_BLIND) < 1) v -= 2;
  if (u.flags[0] & AF_FEEBLEMINDED) v -= 1;
  if (u.flags[0] & AF_CRIPPLED) v -= 4;
  else if (u.flags[0] & AF_LIMP) v -= 1;
  if (u.flags[0] & AF_SLIMED) v = v / 2;
  if (invoid(unr)) v = v / 2;
  if (issea(l) && !waterborn(t)) v -= 3;
}

void checkunr(int32_t unr, const char* tag) { unitfatal(unr < 0 || unr > highestunit || unr >= MAXUNITS, tag, unr); }

// The site amount of a kind over the land's found sites, summed.
int32_t foundsiteamount(int32_t l, int32_t kind) {
  if (l < 0 || l >= MAXLANDS) return 0;
  int32_t sum = 0;
  for (int32_t s = 0; s < 4 && land[l].site[s] >= 1; s++) {
    const int32_t site = land[l].site[s];
    if (!land[l].sitefound[s] || site >= MAXSITES) continue;
    for (int32_t e = 0; e < SITEEFFECTS; e++)
      if (sites[site].effectkind[e] == kind) sum += sites[site].effectval[e];
  }
  return sum;
}

constexpr int32_t SPRING = 0, SUMMER = 1, AUTUMN = 2, WINTER = 3;
}  // namespace

int32_t getmonth() { return turn < 0 ? 0 : turn % 12; }
int32_t getseason() { return getmonth() / 3; }

int32_t getstr(int32_t unr) {
  checkunr(unr, "getstr: bad unr");
  const Monster* t = unittyperec(unr);
  if (!t || t->str == 0) return 0;
  const Unit& u = unit[unr];
  const int32_t l = unitlandnr(unr);
  int32_t s = t->str;
  const Heroic h = heroic(unr);
  if (h.kind == 1) s += (h.str * s) / 200;
  if (h.kind == 11) s += (h.str * s) / 400;
  climate(unr, l, s);
  s += ab(unr, AB_MAGICBONUS);
  if (u.flags[1] & ST_STRENGTH) s += 4;
  if (u.flags[1] & ST_BERSERK) s += berserkvalue(unr);
  if (u.flags[2] & F3_HELLPOWER) s += 4;
  s += 2 * ab(unr, AB_PROWESS);
  s += blessing(unr, P_BLOOD);
  if ((u.flags[2] & F3_PRETENDER) || (u.flags[1] & ST_PROPHET)) {
    const int32_t v = veyterm(unr, l) * ((u.flags[2] & F3_PRETENDER) && (u.flags[1] & ST_PROPHET) ? 2 : 1);
    s += v;
  }
  if (u.exp > 99) s += (u.exp > 399 ? 2 : 1);
  s -= oldagelevel(unr);
  if (u.flags[0] & AF_WEAKENED) s -= 4;
  if (u.flags[0] & AF_CHESTWOUND) s -= 1;
  if (u.flags[0] & AF_LOSTARM) s -= 1;
  return s;
}

int32_t getmaxhp(int32_t unr) {
  checkunr(unr, "getmaxhp: bad unr");
  const Monster* t = unittyperec(unr);
  if (!t) return 1;
  const Unit& u = unit[unr];
  const int32_t l = unitlandnr(unr);
  int32_t h = t->hp;
  const Heroic hero = heroic(unr);
  if (hero.kind == 7) h += (hero.str * h) / 200;
  if (hero.kind == 11) h += (hero.str * h) / 250;
  int32_t d = 0;
  if (l >= 0) d = land[l].veyowner == u.owner ? land[l].veystr : -imin(land[l].veystr, 4);
  if (u.flags[2] & F3_PRETENDER) h = (h * 2 * (d + 5)) / 10;
  if (u.flags[1] & ST_PROPHET) h = ((2 * d + 10) * h) / 10;
  if (u.flags[0] & AF_NEVERHEAL) h -= (h > 9 ? h / 5 : 2);
  const int32_t o = oldagelevel(unr);
  if (o > 0) h -= (o * h) / 20;
  if (u.exp >= 200) h += 2;
  h += 5 * ab(unr, AB_PROWESS);
  const int32_t season = getseason();
  const int32_t powers[4][3] = {{AB_SPRINGPOWER, SPRING, AUTUMN}, {AB_SUMMERPOWER, SUMMER, WINTER},
                                {AB_FALLPOWER, AUTUMN, SPRING}, {AB_WINTERPOWER, WINTER, SUMMER}};
  for (const auto& p : powers) {
    const int32_t a = ab(unr, p[0]);
    if (a == 0) continue;
    if (season == p[1]) h = ((100 + a) * h) / 100;
    else if (season == p[2]) h = ((100 - a) * h) / 100;
  }
  if (const int32_t a = ab(unr, AB_HPBONUSCOUNT); a > 0) h += a * ab(unr, AB_HPBONUSSIZE);
  if (d > 0 && findench(EN_AEGIS, -1, u.owner) >= 0) h = ((d + 10) * h) / 10;
  if ((t->flags & MF_INANIMATE) && !(t->flags & MF_UNDEAD) && t->mor == 50 && d > 0)
    h += (d * h * foundsiteamount(l, SE_INANIMATEHP)) / 100;
  return atleast(h, 1);
}

int32_t getenc(int32_t unr, int32_t mode) {
  checkunr(unr, "getenc: bad unr");
  const int32_t m = unit[unr].type;
  bailif(m < 0 || m >= MAXUNITTYPES, "get: bad m");
  const Monster& t = unittypes[m];
  const Unit& u = unit[unr];
  int32_t e = t.enc;
  if (mode == 0 && e == 0) return 0;
  if (!(mode == 0 && (t.flags & MF_MOUNTED))) {
    int32_t worn[10];
    const int32_t n = wornarmors(unr, worn);
    for (int32_t i = 0; i < n; i++)
      e += (mode != 0 ? 2 * armors[worn[i]].enc : armors[worn[i]].enc);
  }
  const int32_t l = unitlandnr(unr);
  const int32_t cold = l >= 0 ? land[l].scale[SC_COLD] : 0;
  if (l >= 0 && (t.flags & MF_COLDBLOOD) && cold >= 0) e += 3 * cold + 1;
  if (heroic(unr).kind == 11) e += 3;
  e += oldagelevel(unr);
  if (u.flags[0] & AF_CHESTWOUND) e += 5;
  if (u.exp >= 200) e -= 1;
  if (l < 0) return atleast(e, 0);
  if (cold == 3 || cold == -3) {
    const int32_t res = ab(unr, cold == 3 ? AB_COLDRES : AB_FIRERES);
    const int32_t limit = cold == 3 ? 25 : 24;
    if (res < 1 && t.enc > 0) e += 2;
    else if (res <= limit && t.enc > 0) e += 1;
  }
  if (issea(l)) {
    const int32_t e1 = waterborn(t) ? e - 1 : e + 1;
    e = findench(EN_CURRENTS, -1, u.owner) >= 0 ? e1 - 2 : e1 + 2;
  } else if (((provgeo[l].terrain & TM_SWAMP) || findench(EN_SWAMP, l, -1) >= 0) && !(t.flags & MF_SWAMPSURVIVAL)) {
    e += 2;
  }
  return atleast(e, 0);
}

int32_t getdef(int32_t unr, int32_t mode) {
  checkunr(unr, "getdef: bad unr");
  const int32_t m = unit[unr].type;
  bailif(m < 0 || m >= MAXUNITTYPES, "gd: bad m");
  const Monster& t = unittypes[m];
  const Unit& u = unit[unr];
  const int32_t l = unitlandnr(unr);
  int32_t d = t.def;
  if (t.flags & MF_MOUNTED) d += 3;
  const int32_t c = unit2com(unr);
  if (c >= 0) d += getcommagic(c, P_WATER);
  if (mode != 3) {
    int32_t worn[10];
    const int32_t nworn = wornarmors(unr, worn);
    for (int32_t i = 0; i < nworn; i++) {
      const Armor& a = armors[worn[i]];
      if (a.type != IT_SHIELD) d += a.def;
      else {
        d -= a.enc;
        if (mode > 0) d += a.enc + a.def;
      }
    }
    if (mode == 2) {
      int32_t list[10];
      const int32_t nw = meleeweapons(unr, list);
      for (int32_t i = 0; i < nw; i++)
        if (validweapon(list[i])) d += weapons[list[i]].def;
    }
  }
  const Heroic h = heroic(unr);
  if (h.kind == 3) d += h.str / 50;
  if (h.kind == 12) d += h.str / 100;
  d += expsteps(u.exp);
  if (u.flags[1] & ST_PROPHET) d += 2;
  if (u.flags[0] & AF_FROZEN) d -= 3;
  if (u.flags[1] & ST_QUICK) d += 3;
  if (u.flags[2] & F3_HELLPOWER) d += 4;
  if ((u.flags[2] & F3_UWDEF) && issea(l)) d += 5;
  d += ab(unr, AB_PROWESS) / 2;
  climate(unr, l, d);
  const bool berserk = u.flags[1] & ST_BERSERK;
  if (berserk) d -= berserkvalue(unr);
  if ((u.batstate == 3 || u.batstate == 5) && !berserk && !(t.flags & MF_IMMOBILE)) d -= 4;
  hardships(unr, u, t, l, P_WATER, d);
  for (uint32_t bit : AF_QUARTERDEF)
    if (u.flags[0] & bit) d = d / 4;
  darkness(unr, l, t, d);
  if (ab(unr, AB_PARALYZED) >= 1 || ab(unr, AB_PETRIFIED) >= 1) d = 0;
  eyecheck(unr, d);
  return atleast(d, 0);
}

int32_t getatt(int32_t unr) {
  if (unr < 0) return 0;
  checkunr(unr, "getatt: bad unr");
  const int32_t m = unit[unr].type;
  bailif(m < 0 || m >= MAXUNITTYPES, "getatt: bad m");
  const Monster& t = unittypes[m];
  const Unit& u = unit[unr];
  const int32_t l = unitlandnr(unr);
  int32_t a = t.att;
  const int32_t c = unit2com(unr);
  if (c >= 0) a += getcommagic(c, P_FIRE);
  const Heroic h = heroic(unr);
  if (h.kind == 2) a += h.str / 50;
  if (h.kind == 12 || h.kind == 105) a += h.str / 100;
  a += expsteps(u.exp);
  climate(unr, l, a);
  a += ab(unr, AB_ATTACKBONUS);
  if (u.flags[1] & ST_PROPHET) a += 2;
  if (u.flags[1] & ST_BERSERK) a += berserkvalue(unr);
  if (u.flags[2] & F3_HELLPOWER) a += 4;
  a += ab(unr, AB_PROWESS) / 2;
  if (u.flags[2] & F3_UNHOLYPOWER) a += 4;
  if (u.flags[1] & ST_QUICK) a += 3;
  if (u.flags[0] & AF_FROZEN) a -= 3;
  hardships(unr, u, t, l, P_FIRE, a);
  darkness(unr, l, t, a);
  if (ab(unr, AB_PARALYZED) >= 1) a = 0;
  eyecheck(unr, a);
  return atleast(a, 0);
}

int32_t getweaponatt(int32_t unr, int32_t n) {
  if (unr < 0) return 0;
  checkunr(unr, "getweaponatt: bad unr");
  const int32_t m = unit[unr].type;
  bailif(m < 0 || m >= MAXUNITTYPES, "gwa: bad mnr");
  int32_t plain = 0, lensum = 0, list[10];
  const int32_t nw = meleeweapons(unr, list);
  for (int32_t i = 0; i < nw; i++) {
    const int32_t w = list[i];
    if (validweapon(w) && !(weapons[w].flags & WF_BONUS)) {
      plain++;
      lensum += weapons[w].len;
    }
  }
  const int32_t w = getnthweapon(unr, n);
  if (w < 0) return 0;
  int32_t a = getatt(unr) + (validweapon(w) ? weapons[w].att : 0);
  // Hand slots come first, so every one lies among slots 0..7.
  if (nbrslotsofkind(m, SLOT_HAND) >= 2 && plain >= 2 && validweapon(w) && !(weapons[w].flags & WF_BONUS)) {
    const int32_t penalty = lensum - ab(unr, AB_AMBIDEXTROUS);
    if (penalty >= 0) a -= penalty;
  }
  return a;
}

int32_t getmaxap(int32_t unr, int32_t mode) {
  if (unr < 0) return 0;
  bailif(unr >= MAXUNITS, "getmaxap: bad unr");
  const int32_t m = unit[unr].type;
  bailif(m < 0 || m >= MAXUNITTYPES, "getmaxap: bad m");
  const Monster& t = unittypes[m];
  const Unit& u = unit[unr];
  const int32_t l = unitlandnr(unr);
  int32_t p = t.ap;
  if (!(t.flags & MF_MOUNTED)) {
    int32_t worn[10];
    const int32_t n = wornarmors(unr, worn);
    for (int32_t i = 0; i < n; i++) p -= armors[worn[i]].enc;
  }
  const int32_t o = oldagelevel(unr);
  if (o > 0) p -= (o * p) / 20;
  climate(unr, l, p);
  if (u.flags[2] & F3_UNHOLYPOWER) p += 4;
  if (u.flags[0] & AF_SLIMED) p = p / 2;
  if (u.flags[0] & AF_LIMP) p = p / 2;
  if ((u.flags[0] & AF_BLIND) && ab(unr, AB_BLIND) < 1) p = p / 2;
  if (mode != 0) {
    const Heroic h = heroic(unr);
    if (h.kind == 8) p += (h.str * p) / 200;
    if (u.flags[1] & ST_QUICK) p = p * 2;
    else if (issacred(unr) && godplayer(u.owner) && godpathlevel(u.owner, P_WATER) > 8) p = p * 3 / 2;
    if (u.flags[0] & AF_FROZEN) p = p / 2;
  }
  if (issea(l)) {
    if (!waterborn(t)) p = p / 2;
    const int32_t e = findench(EN_CURRENTS, l, -1);
    if (e >= 0) p += (ench[e].owner == u.owner ? 4 : -4);
  }
  if (u.flags[0] & AF_CRIPPLED) {
    p = 2;
    return p;
  }
  return atleast(p, 2);
}

int32_t getprec(int32_t unr) {
  if (unr < 0) return 0;
  checkunr(unr, "getprec: bad unr");
  const int32_t m = unit[unr].type;
  bailif(m < 0 || m >= MAXUNITTYPES, "getprec: bad m");
  const Monster& t = unittypes[m];
  const Unit& u = unit[unr];
  const int32_t l = unitlandnr(unr);
  int32_t p = t.prec;
  const Heroic h = heroic(unr);
  if (h.kind == 9) p += h.str / 50;
  if (h.kind == 104) p += h.str / 75;
  p += ab(unr, AB_PRECISIONBONUS);
  p += ab(unr, AB_PROWESS) / 2;
  if (u.flags[1] & ST_PROPHET) p += 2;
  p -= oldagelevel(unr) / 2;
  const bool seeing = ab(unr, AB_BLIND) >= 1;
  if ((u.flags[0] & AF_LOSTEYE) && !seeing) p -= 3;
  if (u.flags[1] & ST_PRECISION) p += 5;
  if (u.flags[0] & AF_FEEBLEMINDED) p -= 1;
  if (u.flags[2] & F3_HELLPOWER) p += 4;
  if (invoid(unr)) p = p / 2;
  if (isdarkness(l) && !(t.flags & (MF_UNDEAD | MF_DEMON)) && !seeing)
    p = ((ab(unr, AB_DARKVISION) * 75 / 100 + 25) * p) / 100;
  if (isstorm(l) && ab(unr, AB_STORMPOWER) < 1 && ab(unr, AB_STORMIMMUNE) < 1) p = p / 2;
  if (isfog(l)) p = p / 2;
  const int32_t c = unit2com(unr);
  if (c >= 0) p += getcommagic(c, P_AIR);
  p += expsteps(u.exp);
  eyecheck(unr, p);
  return atleast(p, 0);
}

int32_t typeispretender(int32_t mnr) {
  return gettypeability(mnr, AB_STARTVEY, -1) > 0 || gettypeability(mnr, AB_PATHCOST, -1) > 0;
}

int32_t typemaxage(int32_t mnr) {
  const Monster* t = typerec(mnr);
  if (!t) return 0;
  const int32_t given = gettypeability(mnr, AB_MAXAGE, -1);
  if (given >= 1) return given;
  const uint32_t f = t->flags;
  int32_t v;
  if (f & MF_DEMON) v = 1000;
  else if (f & MF_UNDEAD) v = (f & MF_ETHEREAL) ? 1000 : 500;
  else if (f & MF_INANIMATE) v = 400 * t->size;
  else if (f & MF_ETHEREAL) v = 150;
  else if (f & MF_HEAL) v = 90;
  else if (f & MF_ANIMAL) v = t->mr > 5 ? 15 * t->size : 7 * t->size;
  else v = 50;
  if (f & MF_COLDBLOOD) v += v / 2;
  if (typeispretender(mnr)) v = imax(v, t->size > 4 ? 1000 : 500);
  return v;
}

int32_t getmaxage(int32_t unr) {
  const Monster* t = unittyperec(unr);
  if (!t) return 0;
  const int32_t m = unit[unr].type;
  const int32_t base = typemaxage(m);
  const int32_t c = unit2com(unr);
  if (c < 0) return base;
  const uint32_t f = t->flags;
  if (f & (MF_INANIMATE | MF_UNDEAD | MF_DEMON)) {
    const int32_t path = (f & MF_INANIMATE) ? P_EARTH : (f & MF_UNDEAD) ? P_DEATH : P_BLOOD;
    return base + (getcommagic(c, path) * base) / 2;
  }
  const int32_t b = gettypeability(m, AB_REGENERATION, -1) > 0 ? 2 * base : base;
  const int32_t b2 = b + (getcommagic(c, P_NATURE) * b) / 2;
  const int32_t mult = b2 <= 39 ? 1 : imin(b2, 100) / 20;
  return b2 - getcommagic(c, P_FIRE) * mult;
}

int32_t oldagelevel(int32_t unr) {
  if (!unittyperec(unr)) return 0;
  const int32_t m = getmaxage(unr);
  const int32_t a = unit[unr].age;
  if (a < m) return 0;
  const double dm = m;
  if (a >= 3 * dm) return 6;
  if (a >= 2 * dm) return 5;
  if (a >= 1.6 * dm) return 4;
  if (a >= 1.4 * dm) return 3;
  if (a >= 1.2 * dm) return 2;
  return 1;
}

int32_t startage(int32_t mnr) {
  if (mnr < 0) return 20;
  bailif(mnr >= MAXUNITTYPES, "startage: bad mnr");
  const Monster& t = unittypes[mnr];
  const int32_t life = typemaxage(mnr);
  const int32_t base = life > 10 ? life / 3 + 4 : life / 3 + 1;
  const int32_t lc = imax(life, 40);
  const int32_t magic = gettypemagic(mnr, 53), holy = gettypemagic(mnr, 8);
  int32_t a, b;
  if (life > 399) {
    a = magic * imin(life, 750) / 12;
    b = holy * imin(life, 750) / 8;
  } else if (life >= 200) {
    a = magic * lc / 9;
    b = holy * lc / 6;
  } else {
    a = magic * lc / 7;
    b = holy * lc / 5;
  }
  int32_t age = imax(a, b) + base;
  if (t.flags2 & MF2_GOODLEADER) age += imin(life, 100) / 10;
  else if (t.flags2 & MF2_EXPERTLEADER) age += imin(life, 100) / 5;
  else if (t.flags2 & MF2_SUPERIORLEADER) age += imin(life, 100) / 2;
  age += gettypeability(mnr, AB_OLDER, -1);
  age += openroll(gettypeability(mnr, AB_OLDERROLL, -1));
  const int32_t fixed = gettypeability(mnr, AB_STARTAGE, -1);
  if (fixed != 0) age = fixed < 0 ? 0 : fixed;
  return age;
}
