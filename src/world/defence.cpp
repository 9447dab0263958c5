// Natural protection, hit locations, stealth, morale, magic resistance, the
// battle colour of a unit and the body parts a monster can lose.
#include "runtime/fatal.h"
#include "runtime/rnd.h"
#include "runtime/util.h"
#include "world/magic.h"
#include "world/rules.h"

int32_t getnatprot(int32_t unr) {
  if (unr < 0) return 0;
  bailif(unr >= MAXUNITS, "getnatprot: bad unr");
  const Monster* t = unittyperec(unr);
  if (!t) return 0;
  const Unit& u = unit[unr];
  int32_t p = t->prot;
  const int32_t c = unit2com(unr);
  if (c >= 0) {
    p += getcommagic(c, P_EARTH);
    if (com[c].tmpfx == 6) p += com[c].tmpfxstr / 33;
  }
  if (u.flags[1] & 0x10000000) p = imax(20, p + 3);
  else if (u.flags[1] & 0x10000) p = imax(15, p + 2);
  else if (u.flags[1] & 0x10) p = imax(10, p + 1);
  if (u.flags[2] & F3_HELLPOWER) p += 4;
  if (u.flags[1] & ST_BERSERK) {
    const int32_t b = getability(unr, AB_BERSERK, 1);
    p += (b > 0 ? b : 1);
  }
  p += imin(imax(getability(unr, AB_PETRIFIED, 1), 0), 25);
  if (p >= 25) return p;
  // Not mossbody (bit 0x8 of this word, a chance to soften blows): this
  // state sets the protection itself.
  if (u.flags[2] & 0x2) p = 25;
  return p;
}

int32_t randhitloc() {
  const int32_t r = rnd(10);
  if (r <= 1) return LOC_LEGS;
  if (r <= 6) return LOC_BODY;
  if (r <= 8) return LOC_ARMS;
  return LOC_HEAD;
}

int32_t hitloc(int32_t a, int32_t b, int32_t wl) {
  const Monster* ta = unittyperec(a);
  const Monster* tb = unittyperec(b);
  if (!ta || !tb) return randhitloc();
  const int32_t d = tb->size - ta->size - imax(wl - 1, 0);
  int32_t loc = randhitloc();
  if ((loc == LOC_HEAD && d > 0) || (loc == LOC_BODY && d > 1) || (loc == LOC_ARMS && d > 2)) loc = LOC_LEGS;
  debugprint2("hitloc %s strikes %s wl%d diff%d -> %d\n", ta->name, tb->name, wl, d, loc);
  return loc;
}

int32_t getstealth(int32_t unr) {
  bailif(unr < 0 || unr >= MAXUNITS, "gs: bad unr");
  const uint32_t f = unittypeflags(unr);
  const int32_t base = (f & MF_STEALTHY) ? ((f & MF_ILLUSION) ? 65 : 40) : 0;
  return base + getability(unr, AB_STEALTH, 1);
}

namespace {
// Experience steps: +1 above 14, 49, 99, 199 and 399.
int32_t expsteps(int32_t exp) {
  int32_t n = 0;
  for (int32_t e : {14, 49, 99, 199, 399})
    if (exp > e) n++;
  return n;
}
}  // namespace

int32_t getmaxmorale(int32_t unr) {
  unitfatal(unr < 0 || unr > highestunit || unr >= MAXUNITS, "getmaxmorale: bad unr", unr);
  const Monster* t = unittyperec(unr);
  if (!t) return 0;
  const Unit& u = unit[unr];
  int32_t m = t->mor;
  if (m > 29) return m;
  const int32_t c = unit2com(unr);
  if (c >= 0 && (com[c].tmpfx == 5 || com[c].tmpfx == 105)) m += com[c].tmpfxstr / 25;
  m += expsteps(u.exp);
  if (u.homeland > 0 && u.homeland == u.land) m += 1;
  if (u.flags[2] & F3_HELLPOWER) m += 4;
  const int32_t l = unitlandnr(unr);
  if (l >= 0 && land[l].veystr >= 1) {
    if (land[l].veyowner == u.owner) m += 1;
    else m -= 1;
  }
  if (issacred(unr)) m += 2;
  if (u.flags[1] & 0x8000) m += 2;
  if (m < 31) m = imin(m + getability(unr, AB_MORALECAP, 1), 30);
  if (u.flags[0] & 0x4) m -= 4;
  if (u.flags[0] & AF_FRIGHT) m -= 5;
  if (l >= 0) {
    const int32_t vo = land[l].veyowner;
    if (vo >= 0 && vo != u.owner && findench(EN_ORDEROFHEAVEN, -1, vo) >= 0) m -= land[l].veystr;
    if (findench(EN_DECEPTION, l, -1) >= 0) m -= 4;
  }
  if ((u.flags[1] & ST_PROPHET) || (u.flags[2] & F3_PRETENDER)) m = 30;
  else m += u.moralemod;
  if (u.flags[1] & ST_BERSERK) m = 99;
  return m;
}

int32_t getmr(int32_t unr) {
  if (unr < 0) return 0;
  bailif(unr >= MAXUNITS, "getmr: bad unr");
  const Unit& u = unit[unr];
  bailif(u.type >= MAXUNITTYPES, "getmr: bad m");
  if (u.type < 0) return 0;
  const int32_t l = unitlandnr(unr);
  int32_t r = unittypes[u.type].mr;
  if (l >= 0) {
    const int32_t scale = land[l].scale[SC_DRAIN];
    r += scale / 2;
  }
  const int32_t c = unit2com(unr);
  if (c >= 0) {
    if (com[c].tmpfx == 4 || com[c].tmpfx == 105) r += com[c].tmpfxstr / 50;
    if (com[c].tmpfx == 104) r += com[c].tmpfxstr / 100;
  }
  int32_t v = 0;
  if (l >= 0) v = land[l].veyowner == u.owner ? land[l].veystr : -land[l].veystr;
  r += getability(unr, AB_MRBONUS, 1);
  if (u.flags[1] & ST_MRPLUS) r += 4;
  if (u.flags[2] & F3_HELLPOWER) r += 2;
  if (issacred(unr) && godplayer(u.owner)) {
    const int32_t g = godpathlevel(u.owner, P_ASTRAL);
    if (g >= 4 && r < 18) r = imin(r + (g - 2) / 2, 18);
  }
  if (u.flags[2] & F3_PRETENDER) r += v / 2;
  if (u.flags[1] & ST_PROPHET) {
    v = v / 2;
    r += v;
  }
  if (u.flags[0] & AF_FEEBLEMINDED) r -= 5;
  if (invoid(unr)) r = r / 2;
  return r;
}

uint16_t unitcolour(int32_t unr) {
  bailif(unr < 0 || unr >= MAXUNITS, "unitcolour: bad unr");
  const Unit& u = unit[unr];
  bailif(u.type < 0 || u.type >= MAXUNITTYPES, "unitcolour: bad m");
  const int32_t thp = unittypes[u.type].hp;
  int32_t red = 0, green = 0, blue = 0;
  // A type without hit points shows no wound colour.
  if (thp > 0 && u.hp < thp) red = imin(31, (thp - u.hp) * 28 / thp);
  if (u.batcounter > 0) green = imin(63, 4 * u.batcounter);
  if (u.fatigue >= 11) blue = imin(31, (u.fatigue - 10) / 4);
  return uint16_t((red << 11) | (green << 5) | blue);
}

int32_t specialpartloss(int32_t unr, int32_t* lostweapon, int32_t* replacement, int32_t* lossclass,
                        int32_t* reserved, char* text) {
  if (unr < 0 || unr >= MAXUNITS) return 0;
  const int32_t m = unit[unr].type;
  bailif(m >= MAXUNITTYPES, "uas: bad mnr");
  if (m < 0) return 0;
  struct Loss {
    const char* text;
    int32_t lost, repl, cls;
  };
  Loss loss{nullptr, 0, 0, 0};
  const int16_t* w = unittypes[m].weapon;
  switch (m) {
    case 91: case 766: loss = {"Lost some heads", 30, 0, 0}; break;
    case 138: loss = {"Lost a few snakes", 38, 358, 0}; break;
    case 438: loss = {"Lost a tentacle", 85, 0, 1}; break;
    case 462: loss = {"Lost his stinger", 144, 0, 0}; break;
    case 521: loss = {"Lost some tentacles", 63, 0, 1}; break;
    case 608: loss = {"Beak chopped off", 20, 346, 0}; break;
    case 621: case 980: case 981: loss = {"Lost some good attack branches", 240, 0, 0}; break;
    case 652: loss = {"Lost his life draining tentacle", 271, 0, 0}; break;
    case 655: loss = {"Lost his pincers", 273, 0, 0}; break;
    case 719: case 767: loss = {"Lost a head", 30, 359, 1}; break;
    case 973: loss = {"Lost a few tentacles", 85, 0, 1}; break;
    default:
      if (w[1] == 68 || w[2] == 68) loss = {"Tail chopped off", 68, 0, 1};
      else if (w[0] == 71 && w[1] > 0) loss = {"Lost some sleep vines", 71, 0, 1};
      break;
  }
  if (!loss.text) return 0;
  if (lostweapon) *lostweapon = loss.lost;
  if (replacement) *replacement = loss.repl;
  if (lossclass) *lossclass = loss.cls;
  if (reserved) *reserved = 0;
  if (text) strlcopy(text, loss.text, 100);
  return 1;
}
