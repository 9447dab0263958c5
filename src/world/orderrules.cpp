// Conditions and costs of the commander orders.
#include "world/orderrules.h"

#include <cstdio>

#include "rule_ids.h"
#include "runtime/util.h"
#include "world/economy.h"
#include "world/forts.h"
#include "world/gamedata.h"
#include "world/magic.h"
#include "world/movement.h"
#include "world/rules.h"
#include "world/siteentry.h"
#include "world/units.h"
#include "world/world.h"

namespace {
constexpr int32_t EN_ARENAKIND = 38;

bool holdscastle(int32_t c) { return orderlandrec(c).fortholder == orderplayer(c); }
bool ownsprovince(int32_t c) { return orderlandrec(c).owner == orderplayer(c); }
int32_t holy(int32_t c) { return getcommagic(c, P_PRIEST); }
bool mayholypreach(int32_t c) {
  return holy(c) >= 1 && getnatattr(orderplayer(c), NA_NOPREACHING) == 0 &&
         !(unittypeflags(com[size_t(c)].body) & MF_UNDEAD);
}
bool anyeffect(int32_t c, int32_t from, int32_t to) {
  for (int32_t k = from; k <= to; k++)
    if (effectof(c, k) > 0) return true;
  return false;
}
bool pretenderdead(int32_t p) {
  const int32_t god = kingdom[size_t(p)].w[KW_GOD];
  const int32_t b = combody(god);
  return b >= 0 && unit[size_t(b)].hp < 1;
}
}  // namespace

int32_t orderland(int32_t c) { return unitlandnr(combody(c)); }
const Land& orderlandrec(int32_t c) { return land[size_t(imax(0, orderland(c)))]; }
int32_t orderplayer(int32_t c) {
  const int32_t b = combody(c);
  return b >= 0 ? unit[size_t(b)].owner : -1;
}
bool ordermobile(int32_t c) { return !(unittypeflags(combody(c)) & MF_IMMOBILE); }
int32_t effectof(int32_t c, int32_t k) { return getitemfx(c, k, 1); }

int32_t preachlimit(int32_t c) {
  const Land& l = orderlandrec(c);
  int32_t m = 2 * holy(c);
  if (holdscastle(c) && l.temple) m++;
  if (l.veystr >= 1) m += getnatattr(orderplayer(c), NA_PREACHBONUS);
  return m;
}

int32_t fortordertype(int32_t c) {
  const Land& l = orderlandrec(c);
  if (l.fort < 0 && l.counter > 0 && l.counter < MAXFORTS) return l.counter;
  return getcastle(orderplayer(c), orderland(c));
}

int32_t ordergoldcost(int32_t c, int32_t code) {
  const int32_t p = orderplayer(c);
  switch (code) {
    case 18: return getlabcost(p);
    case 19: return gettemplecost(p);
    case 20: {
      if (orderlandrec(c).fort < 0) return 0;   // continuing costs nothing
      const int32_t t = fortordertype(c);
      return t > 0 && t < MAXFORTS ? fortcost(orderland(c), t) : 0;
    }
    default: return 0;
  }
}

int32_t orderallowed(int32_t c, int32_t code, int32_t param, char* why) {
  why[0] = 0;
  const int32_t b = combody(c);
  const int32_t lnr = orderland(c);
  if (b < 0 || lnr < 0) return 0;
  const int32_t p = orderplayer(c);
  const Land& l = land[size_t(lnr)];
  auto tell = [&](const char* format, auto... args) {
    snprintf(why, ORDERWHYLEN, format, args...);
    return 0;
  };
  switch (code) {
    case 2: return maysneak(c);
    case 4: return l.lab && holdscastle(c) && comresearch(c, 0) >= 1;
    case 6: case 43: return mayholypreach(c);
    case 7: return ismageorpriest(c);
    case 8: return ownsprovince(c);
    case 10: return !(unit[size_t(b)].flags[2] & F3_PRETENDER);
    case 14:
      return (ownsprovince(c) || holdscastle(c)) && ispriest(c) && pretenderdead(p) && veyrec[size_t(p)].value[0] <= 0;
    case 16: return effectof(c, FX_HEAL) > 0;
    case 17: return anyeffect(c, 164, 168);
    case 18: return holdscastle(c) && !l.lab && ismage(c);
    case 19: return holdscastle(c) && !l.temple && ispriest(c);
    case 20:
      if (!holdscastle(c)) return 0;
      if (l.fort == 0) return getcastle(p, lnr) > 0;
      return l.fort < 0 && (!(provgeo[size_t(lnr)].terrain & TM_SEA) || getnatattr(p, NA_UWFORTS) > 0);
    case 21: case 22: case 23: case 24: case 25: case 26: case 28: {
      if (holy(c) < 1 || !ownsprovince(c) || manikinlevel(c) >= 1) return 0;
      const int32_t r = reanimatelevel(c);
      switch (code) {
        case 21: case 22: return r >= 1;
        case 23: return r >= 2;
        case 24: return r >= 3 && getnatattr(p, NA_LONGDEADHORSE) > 0;
        case 28: return r >= 3 && getnatattr(p, NA_TOMBCHARIOT) > 0;
        case 26: return r >= 4 && getnatattr(p, NA_TOMBWYRM) > 0;
        default: return r >= 4 && getnatattr(p, NA_LICTORS) > 0;
      }
    }
    case 27: return holy(c) >= 1 && ownsprovince(c) && manikinlevel(c) >= 1;
    case 31: return l.fort > 0 && l.fortholder != p && ordermobile(c) && l.fortdef <= 0;
    case 32: return l.fort > 0 && holdscastle(c) && l.owner != p && ordermobile(c);
    case 33:
      if (getnatattr(p, NA_SACRIFICE) == 0) return tell("Only priests of a few choice nations can perform blood sacrifices.");
      if (!l.temple || !holdscastle(c)) return tell("A temple is required for blood sacrifices.");
      for (int32_t o = 0; o <= highestcom && o < MAXCOMS; o++)
        if (o != c && com[size_t(o)].order == 33 && combody(o) >= 0 && unit[size_t(com[size_t(o)].body)].hp >= 1 &&
            orderplayer(o) == p && orderland(o) == lnr)
          return tell("Only one priest at once may perform a sacrifice in this temple.");
      if (!ispriest(c)) return 0;
      if (com[size_t(c)].gems[P_BLOOD] < 1)
        return tell("In order to perform a sacrifice %s must be given some blood slaves.", comshownname(c));
      return 1;
    case 34: return effectof(c, FX_UPRISING) > 0;
    case 44: return holdscastle(c) && l.fort > 0 && l.fortholder == l.owner;
    case 45: return holdscastle(c) && l.lab;
    case 48: return effectof(c, FX_ASSASSIN) > 0;
    case 49: {
      const uint32_t flags = unittypeflags(b);
      return findench(EN_ARENAKIND, 0, -1) >= 0 && findcomwithorder(p, -1, 49) < 0 &&
             !(flags & (MF_IMMOBILE | MF_AQUATIC));
    }
    case 50: {
      if (param < 0 || param > 3) return 0;
      const int32_t r = canentersite(c, param);
      if (r == -1) {
        const int32_t site = l.site[param];
        const int32_t path = site > 0 && site < MAXSITES ? sites[size_t(site)].path : -1;
        return tell("Only %s mages can enter this site", path >= 0 && path <= 8 ? pathnames[path] : "other");
      }
      if (r == -2) return tell("Only one commander can enter a site at once");
      return r >= 1;
    }
    case 51: return ownsprovince(c) && holdscastle(c) && effectof(c, FX_CAPTURE) > 0;
    case 54: case 55: case 56: return callspiritslevel(c) >= code - 53;
    case 57: return effectof(c, FX_SEDUCE) > 0 || effectof(c, FX_RUNAWAY) > 0;
    case 58: return effectof(c, FX_CORRUPT) > 0;
    case 61: return iscoastal(lnr) && effectof(c, FX_LURE) > 0;
    default: return 1;
  }
}
