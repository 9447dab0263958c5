// Income, gems, resources, supply and research of lands and players.
#include "world/economy.h"

#include <array>
#include <cstdlib>

#include "runtime/fatal.h"
#include "runtime/util.h"
#include "world/gamedata.h"
#include "world/magic.h"
#include "world/ruleconstants.h"
#include "world/rules.h"
#include "world/units.h"
#include "world/world.h"

namespace {
bool anywhere(int32_t kind) { return findench(kind, -1, -1) >= 0; }
bool ownedby(int32_t kind, int32_t owner) { return owner >= 0 && findench(kind, -1, owner) >= 0; }

// value * num / den for a rule constant that a mod may have set to 0: such a
// term becomes 0 with a warning instead of a division by zero.
int32_t scaleby(int32_t value, int32_t num, int32_t den, const char* what) {
  if (den <= 0) {
    debugprint("***** Warning: %s divisor %d, term taken as 0\n", what, den);
    return 0;
  }
  return int32_t(int64_t(value) * num / den);
}

// A 64-bit step result brought back into 32 bits, never below 0.
int32_t clampi(int64_t v) { return int32_t(v < 0 ? 0 : v > INT32_MAX ? INT32_MAX : v); }

int32_t harmfulonly(int32_t scale, bool own) { return own ? scale : imax(scale, 0); }

bool hasfort(const Land& l) { return l.fort > 0 && l.fort < MAXFORTS; }
bool sealand(int32_t lnr) { return (provgeo[lnr].terrain & TM_SEA) != 0; }
int32_t population(const Land& l) { return imax(l.population, 0); }
}  // namespace

int32_t fortadmin(int32_t f) { return f > 0 && f < MAXFORTS ? forts[f].val[FORT_ADMIN] : 0; }
int32_t fortsiegesupply(int32_t f) { return f > 0 && f < MAXFORTS ? forts[f].val[FORT_SUPPLY] : 0; }

int32_t landsiteeffect(int32_t lnr, int32_t kind, int32_t sum, int32_t all) {
  if (lnr < 0 || lnr >= MAXLANDS) return 0;
  const Land& l = land[lnr];
  int32_t v = 0;
  for (int s = 0; s < 4; s++) {
    const int32_t site = l.site[s];
    if (site < 1) break;
    if (site >= MAXSITES || !(l.sitefound[s] || all)) continue;
    for (int e = 0; e < SITEEFFECTS; e++) {
      if (sites[site].effectkind[e] != kind) continue;
      const int32_t a = sites[site].effectval[e];
      v = sum ? v + a : imax(v, a);
    }
  }
  return v;
}

int32_t visinc(int32_t p, int32_t path) {
  int32_t g = 0;
  for (int32_t l = 1; l <= nbrlands && l < MAXLANDS; l++)
    if (land[l].fortholder == p) g += landsiteeffect(l, path + 1, 1, 0);
  struct Giver {
    int32_t path, kind, gems;
    const char* tag;
  };
  static constexpr Giver givers[] = {
      {P_FIRE, EN_PYRE, 20, "visinc: no one owns pyre"},   {P_AIR, EN_GATE, 20, "visinc: no one owns gate"},
      {P_EARTH, EN_WELL, 20, "visinc: no one owns well"},  {P_ASTRAL, EN_FOCUS, 5, "visinc: no one owns focus"},
      {P_DEATH, EN_MISERY, 21, "visinc: no one owns misery"}, {P_DEATH, EN_CW, 3, "visinc: no one owns cw"},
      {P_NATURE, EN_OAK, 10, "visinc: no one owns oak"},   {P_NATURE, EN_CW, 6, "visinc: no one owns cw"},
  };
  for (const Giver& gv : givers) {
    if (gv.path != path) continue;
    const int32_t e = findench(gv.kind, -1, -1);
    if (e < 0) continue;
    bailif(ench[e].owner >= 100, gv.tag);
    if (ench[e].owner == p) g += gv.gems;
  }
  const int32_t m = findench(EN_MAELSTROM, -1, -1);
  if (m >= 0 && path != P_BLOOD) {
    bailif(ench[m].owner >= 100, "visinc: no one owns maelstrom");
    if (ench[m].owner == p) {
      switch (path) {
        case P_WATER: g += 15; break;
        case P_ASTRAL: g += 5; break;
        case P_AIR: g += 3; break;
        case P_FIRE: case P_EARTH: case P_DEATH: case P_NATURE: g += 1; break;
        default: break;
      }
    }
  }
  return g;
}

int32_t getbaseincome(int32_t lnr) {
  bailif(lnr < 0 || lnr >= MAXLANDS, "gbi: bad lnr");
  const Land& l = land[lnr];
  const int32_t popgold = scaleby(population(l), 10, poppergold, "poppergold");
  const int64_t g = int64_t(popgold + l.extraincome) * gameinfo.moneymult / 100 + landsiteeffect(lnr, SE_GOLD, 1, 0);
  return clampi(g);
}

int32_t getincome(int32_t lnr, int32_t p) {
  bailif(lnr < 0 || lnr >= MAXLANDS, "gi: bad lnr");
  const Land& l = land[lnr];
  const bool own = l.veyowner == p;
  const bool sea = sealand(lnr);
  const int32_t admin = hasfort(l) ? fortadmin(l.fort) : 0;
  // 64-bit steps: a tax rate or multiple from a file cannot overflow them.
  int64_t g = getbaseincome(lnr);
  if (hasfort(l) && l.fortholder == p) g += admin * g / 100;
  g = g * l.tax;
  g = (g / 100) * (100 - harmfulonly(l.scale[SC_TURMOIL], own) * turmoilincome) / 100;
  if (p != 37) g = (100 - l.scale[SC_DEATH] * deathincome) * g / 100;
  g = (100 - harmfulonly(l.scale[SC_SLOTH], own) * slothincome) * g / 100;
  if (!sea) g = (100 - iabs(l.scale[SC_COLD] - getnatcoldpref(p)) * coldincome) * g / 100;
  if (!sea && (provgeo[lnr].terrain & TM_FRESHWATER) && anywhere(EN_DROUGHT)) g = g * 70 / 100;
  if (!sea && anywhere(EN_WINTER)) g = g * 80 / 100;
  if (l.veystr >= 1 && ownedby(EN_FERTILITY, l.veyowner)) g += int64_t(imin(l.veystr, 10)) * g / 5;
  if (anywhere(EN_MISERY)) g += g / 10;
  if (ownedby(EN_GOLDEN, p)) g = g * 105 / 100;
  if (anywhere(EN_FAMINE)) g = g / 10;
  const int32_t se = landsiteeffect(lnr, SE_INCOME, 1, 1);
  if (se > 0) {
    const int32_t m = imax(se, l.veystr);
    if (getnatattr(l.owner, NA_SITEINCOMEUP) > 0)
      g = (100 + m) * g / 100;
    else
      g = (100 - 5 * m) * g / 100;
  }
  const int32_t u = imax(l.unrest, 0);
  g = imax(0, scaleby(clampi(g), unresthalfinc, u + unresthalfinc, "unresthalfinc"));
  if (l.owner == p) {
    if (!hasfort(l) || l.fortholder == p) return g;
    return (100 - admin) * g / 100;
  }
  if (hasfort(l) && l.fortholder == p) return admin * g / 100;
  return 0;
}

int32_t getkinc(int32_t p) {
  bailif(p > 99, "getkinc: bad player");
  int64_t g = 0;
  for (int32_t l = 1; l <= nbrlands && l < MAXLANDS; l++)
    if (land[l].owner == p || land[l].fortholder == p) g += getincome(l, p);
  return clampi(g);
}

int32_t getbaseresources(int32_t lnr, int32_t p) {
  bailif(lnr < 0 || lnr >= MAXLANDS, "gbr: bad lnr");
  const Land& l = land[lnr];
  int64_t r = (int64_t(gameinfo.resourcemult) * l.baseres / 100) * resourcemult / 100;
  if (l.veystr >= 1 && ownedby(EN_BOUNTY, l.veyowner)) r += imin(l.veystr, 5) * r / 5;
  if (ownedby(EN_GOLDEN, l.owner)) r = r * 120 / 100;
  if (anywhere(EN_FAMINE)) r = r / 10;
  const int32_t s = harmfulonly(l.scale[SC_SLOTH], l.veyowner == p);
  r = scaleby(clampi(r * (100 - s * slothresources) / 100), unresthalfres, l.unrest + unresthalfres, "unresthalfres");
  r += landsiteeffect(lnr, SE_RES, 1, 0);
  const int32_t n = population(l);
  if (n < 100) r = n * r / 100;
  return clampi(r);
}

int32_t grd(int32_t lnr) {
  bailif(lnr < 0 || lnr >= MAXLANDS, "grd: bad lnr");
  const int32_t o = land[lnr].owner;
  if (o > 94) return 0;
  int32_t a = 0;
  for (int i = 0; i < MAXNEIGHBOURS; i++) {
    const int32_t n = provgeo[lnr].nbr[i];
    if (n == 0) break;
    if (n < 0 || n >= MAXLANDS) continue;
    const Land& nl = land[n];
    if (nl.owner == o && nl.fortholder == o && hasfort(nl)) a += fortadmin(nl.fort);
  }
  return a;
}

int32_t getresources(int32_t lnr, int32_t p) {
  bailif(lnr < 0 || lnr >= MAXLANDS, "gr: bad lnr");
  const Land& l = land[lnr];
  if (!hasfort(l)) {
    if (l.owner != p) return 0;
    const int32_t r = getbaseresources(lnr, l.owner);
    const int32_t a = grd(lnr);
    if (a > 99) return 0;
    if (a >= 50) return (100 - a) * r / 100;
    return imax(r / 2, 2);
  }
  int32_t bonus = 100;
  if (l.fortholder <= 94) bonus += imax(getnatattr(l.fortholder, NA_FORTRESBONUS), 0);
  int32_t r = bonus * getbaseresources(lnr, p) / 100;
  if (l.fortholder != p) return l.owner == p ? r / 2 : 0;
  if (l.owner != p) return imax(r / 2, 2);
  const int32_t admin = fortadmin(l.fort);
  const bool sea = sealand(lnr);
  for (int i = 0; i < MAXNEIGHBOURS; i++) {
    const int32_t n = provgeo[lnr].nbr[i];
    if (n == 0) break;
    if (n < 0 || n >= MAXLANDS) continue;
    if (land[n].owner != p || hasfort(land[n]) || sealand(n) != sea) continue;
    int32_t rn = getbaseresources(n, p);
    const int32_t a = grd(n);
    if (a > 100) rn = rn * 100 / a;
    r += rn * admin / 100;
  }
  return imax(r, 2);
}

int32_t getsupply(int32_t lnr, int32_t p, int32_t withfort) {
  bailif(lnr < 0 || lnr >= MAXLANDS, "gs: bad lnr");
  const Land& l = land[lnr];
  int32_t b = supplymult * 400 / 100;
  if (!(p >= 0 && p <= 94 && getnatattr(p, NA_NODEATHSUPPLY) > 0)) b -= l.scale[SC_DEATH] * deathsupply * b / 100;
  b -= iabs(getnatcoldpref(p) - l.scale[SC_COLD]) * coldsupply * b / 100;
  const int32_t n = population(l);
  b = (n > 999 ? b * (n + 1000) / 2000 : b * n / 1000) + 10;
  if (!withfort) return b;
  if (l.owner == p) {
    if (hasfort(l) && l.fortholder != p) b -= fortadmin(l.fort) * b / 100;
    return b + suplinereach(lnr, p, 5);
  }
  if (hasfort(l) && l.fortholder == p) {
    const int32_t s = fortsiegesupply(l.fort);
    return l.supplydiv >= 2 ? s / l.supplydiv : s;
  }
  return 0;
}

int32_t supline(int32_t lnr, int32_t p, int32_t prev, int32_t prev2, int32_t d, int32_t dmax) {
  bailif(lnr < 1 || lnr > nbrlands || lnr >= MAXLANDS, "supline: bad lnr");
  if (lnr < 1 || lnr >= MAXLANDS) return 0;   // only when the stop is nested
  const Land& l = land[lnr];
  int32_t v = (hasfort(l) && l.fortholder == p) ? 4 * fortadmin(l.fort) : 0;
  if (d > 1) v = v / d;
  if (d >= dmax) return v;
  for (int i = 0; i < MAXNEIGHBOURS; i++) {
    const int32_t n = provgeo[lnr].nbr[i];
    if (n == 0) break;
    bailif(n < 1 || n > nbrlands || n >= MAXLANDS, "msl: bad nbor");
    if (n < 1 || n >= MAXLANDS) continue;
    if (land[n].owner != p || n == prev || n == prev2) continue;
    v = imax(v, supline(n, p, lnr, prev, d + 1, dmax));
  }
  return v;
}

int32_t suplinereach(int32_t lnr, int32_t p, int32_t dmax) {
  bailif(lnr < 1 || lnr > nbrlands || lnr >= MAXLANDS, "supline: bad lnr");
  if (lnr < 1 || lnr >= MAXLANDS) return 0;
  // Breadth first over the player's provinces: each fort counts at the
  // shortest distance it is reached at, where its share is largest.
  static std::array<int32_t, MAXLANDS> seen{};
  static std::array<int16_t, MAXLANDS> queue, dist;
  static int32_t stamp = 0;
  if (++stamp == 0) {
    seen.fill(0);
    stamp = 1;
  }
  auto value = [&](int32_t l, int32_t d) {
    const Land& ld = land[l];
    const int32_t v = (hasfort(ld) && ld.fortholder == p) ? 4 * fortadmin(ld.fort) : 0;
    return d > 1 ? v / d : v;
  };
  int32_t head = 0, tail = 0;
  queue[tail] = int16_t(lnr);
  dist[tail++] = 1;
  seen[lnr] = stamp;
  int32_t v = value(lnr, 1);
  while (head < tail) {
    const int32_t l = queue[head], d = dist[head++];
    if (d >= dmax) continue;
    for (int i = 0; i < MAXNEIGHBOURS; i++) {
      const int32_t n = provgeo[l].nbr[i];
      if (n == 0) break;
      // One test of the neighbour a pass; the stop only when it fails.
      if (n < 1 || n > nbrlands || n >= MAXLANDS) {
        bailif(1, "msl: bad nbor");
        continue;
      }
      if (land[n].owner != p || seen[n] == stamp) continue;
      seen[n] = stamp;
      queue[tail] = int16_t(n);
      dist[tail++] = int16_t(d + 1);
      v = imax(v, value(n, d + 1));
    }
  }
  return v;
}

int32_t supplyuse(int32_t lnr, int32_t p) {
  int32_t sum = 0;
  foreachunitinland(lnr, [&](int32_t u) {
    const Unit& un = unit[u];
    if (un.hp < 1 || un.owner != p) return;
    const Monster* t = typerec(un.type);
    if (!t || (t->flags & MF_NEEDNOTEAT)) return;
    const int32_t a = getability(u, AB_SUPPLYSIZE, 1);
    const int32_t s = a > 0 ? a : t->size;
    sum += s < 2 ? 1 : 2 * s - 2;
  });
  return sum / 2 - sumlandability(lnr, p, AB_SUPPLYBONUS);
}

int32_t scaleresearchmod(int32_t m) {
  const int32_t s = imax(-3, imin(3, m));
  const int32_t k = researchscale;
  if (k == 2) {
    static constexpr int32_t table[7] = {2, 1, 1, 0, -1, -1, -2};
    return table[s + 3];
  }
  return -(s * k) / 3;
}

int32_t unrestpercent(int32_t lnr) {
  if (lnr < 0 || lnr >= MAXLANDS) return 100;
  const int32_t u = land[size_t(lnr)].unrest;
  if (u < 1) return 100;
  return 10 * imax(5, imin(20, 10 - (u + 4) / 5));
}

int32_t comresearch(int32_t cnr, int32_t bonus) {
  const int32_t b = combody(cnr);
  if (b < 0) return 0;
  int32_t r = bonus;
  for (int32_t k = 0; k < 8; k++) r += getcommagic(cnr, k);
  if (r >= 1) r += 2;
  r = imax(r, getitemfx(cnr, AB_RESEARCHFLOOR, 0));
  if (r == 0) return 0;
  static constexpr int32_t steps[5] = {14, 49, 99, 199, 399};
  for (int32_t s : steps)
    if (unit[b].exp > s) r++;
  r += getitemfx(cnr, AB_RESEARCHBONUS, 1);
  if (com[cnr].tmpfx == 103) r += com[cnr].tmpfxstr / 20;
  const int32_t l = unitlandnr(b);
  if (l < 0) return imax(r, 1);
  const Land& ld = land[l];
  r += getitemfx(cnr, AB_SLOTHRESEARCH, 1) * ld.scale[SC_SLOTH];
  const int32_t k = scaleresearchmod(ld.scale[SC_DRAIN]);
  const bool ownvey = ld.veyowner == unit[b].owner;   // the veyrance of the commander's own god
  if (getitemfx(cnr, AB_DRAINIMMUNE, 0) < 1)
    r += ownvey ? k : imin(k, 0);
  else if (ownvey)
    r += imax(k, 0);
  return imax(r, 1);
}
