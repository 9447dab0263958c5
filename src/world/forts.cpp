// Kingdom values, building costs and forts.
#include "world/forts.h"

#include <bit>

#include "runtime/fatal.h"
#include "runtime/util.h"
#include "world/gamedata.h"
#include "world/hoststate.h"
#include "world/magic.h"
#include "world/rules.h"
#include "world/scores.h"
#include "world/units.h"
#include "world/world.h"

namespace {
int32_t itemworth(int32_t i) {
  if (!validitem(i)) return 0;
  return 3 * items[i].mainlevel + items[i].constlevel;
}

int32_t typegold(int32_t m) {
  bailif(m < 0 || m >= MAXUNITTYPES, "kdv: bad m");
  return unittypes[m].gcost;
}

// The living commanders of the player: body in use, owned by p, alive.
bool livingcomof(int32_t c, int32_t p) {
  const int32_t b = combody(c);
  return b >= 0 && unit[b].owner == p && unit[b].hp > 0;
}
}  // namespace

int32_t getlabcost(int32_t n) {
  if (n < 0 || n > 94) return 500;
  const int32_t v = getnatattr(n, NA_LABCOST);
  return v >= 1 ? v : 500;
}

int32_t gettemplecost(int32_t n) {
  if (n < 0 || n > 94) return 400;
  const int32_t v = getnatattr(n, NA_TEMPLECOST);
  return v >= 1 ? v : 400;
}

int32_t fortcost(int32_t lnr, int32_t f) {
  bailif(lnr < 0 || f < 0 || f >= MAXFORTS, "fortcost");
  return 200 + 200 * forts[f].val[FORT_COSTFACTOR];
}

int32_t fortdef(int32_t f, int32_t lnr) {
  bailif(f < 0 || f >= MAXFORTS, "fortdef");
  int32_t d = forts[f].val[FORT_DEF];
  if (findench(EN_IRONWALLS, lnr, -1) >= 0) d += 200;
  return d;
}

int32_t getcastle(int32_t n, int32_t lnr) {
  auto attr = [&](uint32_t key, const char* tag) -> int32_t {
    const int32_t v = getnatattr(n, key);
    bailif(v >= MAXFORTS, tag);
    return v;
  };
  if (lnr == -1 && n < 95) {
    const int32_t s = attr(NA_CASTLESTART, "bad startcastle");
    if (s > 0) return s;
  }
  const uint32_t t = lnr >= 0 && lnr < MAXLANDS ? provgeo[lnr].terrain : 0;
  if (t & TM_DEEPSEA) return n > 94 ? 0 : imax(attr(NA_CASTLEDEEP, "bad deepcastle"), 0);
  if (t & TM_SEA) return n > 94 ? 0 : imax(attr(NA_CASTLEUW, "bad uwcastle"), 0);
  if (n > 94 || n < 0) return 1;
  struct Choice {
    uint32_t bit, key;
    const char* tag;
  };
  static constexpr Choice choices[] = {
      {TM_FOREST, NA_CASTLEFOREST, "bad forestcastle"}, {TM_MOUNTAINS, NA_CASTLEMOUNTAIN, "bad mountaincastle"},
      {TM_SWAMP, NA_CASTLESWAMP, "bad swampcastle"},    {TM_FARM, NA_CASTLEFARM, "bad farmcastle"},
      {TM_CAVE, NA_CASTLECAVE, "bad cavecastle"},
  };
  for (const Choice& c : choices) {
    if (!(t & c.bit)) continue;
    const int32_t v = attr(c.key, c.tag);
    if (v > 0) return v;
  }
  const int32_t d = attr(NA_CASTLEPLAIN, "bad defaultcastle");
  return d > 0 ? d : 1;
}

int32_t nbrofafflictions(int32_t u) {
  if (u < 0 || u >= MAXUNITS) return 0;
  constexpr uint32_t mask = 0x1 | 0x10 | 0x1000 | 0x40000 | 0x80000 | 0x100000 | 0x200000 | 0x400000 | 0x800000 |
                            0x1000000 | 0x2000000 | 0x4000000 | 0x40000000 | 0x80000000;
  return std::popcount(unit[u].flags[0] & mask);
}

int32_t kingdomvalue(int32_t p) {
  bailif(p < 0 || p >= MAXKINGDOMS, "kv: bad p");
  const Kingdom& k = kingdom[p];
  int32_t v = imax(k.gold, 0);
  for (int32_t i = 0; i < 5; i++) v += imax(k.w[KW_MERCPAY + i], 0);
  const int32_t last = imin(nbrlands, MAXLANDS - 1);
  for (int32_t l = 1; l <= last; l++) {
    const int32_t d = land[l].provdef;
    if (land[l].owner == p && d > 0) v += d * (d + 1) / 2;
  }
  for (int32_t l = 1; l <= last; l++) {
    if (land[l].fortholder != p) continue;
    if (queuedcom(l)) v += typegold(land[l].queuedcomtype);
    for (int32_t i = 0; i < queuedunits(l); i++) v += typegold(land[l].queue[i]);
  }
  int32_t gems[8];
  for (int32_t g = 0; g < 8; g++) gems[g] = imax(k.w[KW_GEMS + g], 0);
  const int32_t stone = finditem("alchemist's stone");
  int32_t alchemy = 0;
  for (int32_t c = 0; c <= highestcom && c < MAXCOMS; c++) {
    if (!livingcomof(c, p)) continue;
    const Commander& cm = com[c];
    const int32_t l = unit[cm.body].land;
    if (l > 0) {
      if (cm.order == Order::buildlab) v += getlabcost(p);
      if (cm.order == Order::buildtemple) v += gettemplecost(p);
      if (cm.order == Order::buildfort && l < MAXLANDS && land[l].fort >= 0) {
        bailif(cm.orderparam < 1 || cm.orderparam > 100, "kv: bad f");
        v += fortcost(l, cm.orderparam);
      }
    }
    for (int32_t g = 0; g < 8; g++) gems[g] += cm.gems[g];
    if ((cm.order == Order::ritual || cm.order == Order::monthlyritual) && cm.orderparam > 0 && cm.orderparam < MAXSPELLS) {
      const int32_t path = spells[cm.orderparam].path[0];
      bailif(path > 8, "kv: bad spell mt0");
      if (path >= 0 && path < 8) gems[path] += imax(cm.ordergems[0], 0);
    }
    if (cm.order == Order::forge && cm.orderparam >= 0 && cm.orderparam < MAXITEMS) {
      const Item& it = items[cm.orderparam];
      bailif_fmt(it.mainpath < 0, "kv: bad item %d mt0", cm.orderparam);
      if (it.mainpath < 8) gems[it.mainpath] += imax(cm.ordergems[0], 0);
      if (it.secondpath >= 0 && it.secondpath < 8) gems[it.secondpath] += imax(cm.ordergems[1], 0);
    }
    int32_t a = getitemfx(c, AB_ALCHEMY, 1);
    if (stone > 0 && comhasitem(c, stone)) a -= 50;
    alchemy = imax(alchemy, a);
  }
  // Outgoing messages: the receiver byte as a signed number, below 0 free.
  for (const PMess& m : pmess[imin(p, 94)]) {
    if (p > 94 || int8_t(m.b0) < 0) continue;
    if (m.b1 == PG_GOLD) v += m.value;
    if (m.b1 >= PG_GEMS) {
      bailif(m.b1 - PG_GEMS > 7, "kv: gt");
      gems[m.b1 - PG_GEMS] += m.value;
    }
  }
  const int32_t g = 15 * gems[0] + 4 * gems[1] + 4 * gems[2] + 10 * gems[3] + 8 * gems[4] + 4 * gems[5] + 4 * gems[6];
  return v + 10 * gems[7] + g + g * (alchemy + 50) / 100;
}

int32_t kingdomitemvalue(int32_t p) {
  bailif(p < 0, "kiv: bad p");
  if (p >= MAXKINGDOMS) return 0;
  int32_t v = 0;
  for (int32_t i = 0; i < LABSTORESIZE; i++) v += itemworth(kingdom[p].w[KW_LABSTORE + i]);
  for (int32_t c = 0; c <= highestcom && c < MAXCOMS; c++) {
    if (!livingcomof(c, p)) continue;
    for (int16_t it : com[c].item) v += itemworth(it);
  }
  if (p <= 94)
    for (const PMess& m : pmess[p]) {
      if (int8_t(m.b0) < 0 || m.b1 != PG_ITEM) continue;
      bailif(m.value < 0, "kiv: i");
      v += itemworth(m.value);
    }
  for (int32_t c = 0; c <= highestcom && c < MAXCOMS; c++) {
    if (!livingcomof(c, p)) continue;
    for (int32_t k = 0; k <= 8; k++) v += imax(0, com[c].path[k]) * (((c + k) % 4) + 1);
  }
  return v;
}
