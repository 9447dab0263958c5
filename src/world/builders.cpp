// Commanders, squads, bodyguards, items and equipment for armies placed by
// world creation, summons and events.
#include "world/builders.h"

#include "runtime/fatal.h"
#include "runtime/rnd.h"
#include "runtime/util.h"
#include "world/gamedata.h"
#include "world/rules.h"
#include "world/units.h"
#include "world/world.h"

BuilderState builder;

void resetbuilder() { builder = BuilderState{}; }

namespace {
// The commander that adding calls act on, or -1 when they must add nothing.
int32_t target() {
  if (builder.detached || builder.com < 0 || builder.com >= MAXCOMS) return -1;
  return combody(builder.com) >= 0 ? builder.com : -1;
}

// Steps shared by popgang and poptempgang: squad, units, commander, orders.
int32_t gang(int32_t u, int32_t c, int32_t n, int32_t o, int32_t l, bool temp) {
  int32_t squad = -1;
  if (n > 0 && c >= 0) {
    squad = newsquadnbr(o);
    if (squad < 0) n = 0;
  }
  builder.squad = squad;
  builder.owner = o;
  builder.land = l;
  if (squad != -1 && n > 0) {
    builder.added = 1;
    temp ? spawntempunits(u, o, n, l, squad) : spawnunits(u, o, n, l, squad);
  } else {
    builder.added = temp && n > 0 ? 1 : 0;
    if (n > 0) temp ? spawntempunits(u, o, n, l, -1) : spawnunits(u, o, n, l, -1);
  }
  builder.com = -1;
  builder.detached = true;
  if (c < 0) return -1;
  const int32_t cnr = newcom(c, o);
  if (cnr < 0) return cnr;
  builder.com = cnr;
  builder.detached = false;
  const int32_t b = com[cnr].body;
  bailif(b < 0 || b >= MAXUNITS, temp ? "poptempgang: bad u" : "popgang: bad u");
  if (b < 0 || b >= MAXUNITS) return -1;
  setunitland(b, l);
  if (temp) unit[b].tmp = 1;
  ccm(cnr);
  const Monster* t = typerec(c);
  const bool mp = ismageorpriest(cnr) != 0;
  if (gettypeability(c, AB_BERSERK, l) > 0 || (!mp && t && (t->flags & MF_IMMORTAL))) {
    com[cnr].batorder = BO_ATTACK;
    com[cnr].battarget = 0;
  }
  if (n > 0) com[cnr].squad[0] = squad;
  if (!temp && o == INDEPENDENTS && !mp && (c == 22 || c == 23 || (t && t->hp > 24))) {
    com[cnr].batorder = BO_ATTACK;
    com[cnr].battarget = 0;
  }
  return cnr;
}

void addgems(int32_t cnr, int32_t path, int32_t g) {
  if (g > 0) com[cnr].gems[path] = uint8_t(imin(255, com[cnr].gems[path] + g));
}
}  // namespace

int32_t popgang(int32_t u, int32_t c, int32_t n, int32_t o, int32_t l) {
  const int32_t r = gang(u, c, n, o, l, false);
  if (highestunit > 139950) debugprint("*** Warning: popgang, many units %d\n", highestunit);
  return r;
}

int32_t poptempgang(int32_t u, int32_t c, int32_t n, int32_t o, int32_t l) { return gang(u, c, n, o, l, true); }

int32_t popcom(int32_t c, int32_t l) {
  bailif(l < 1 || l > 1504, "popcom: bad lnr");
  return popgang(0, c, 0, INDEPENDENTS, l);
}

int32_t addsquad(int32_t u, int32_t n) {
  const int32_t cnr = target();
  if (cnr < 0) return -1;
  const int32_t s = newsquadnbr(builder.owner);
  if (n >= 1 && s >= 0 && builder.added >= 0 && builder.added < 4) {
    spawnunits(u, builder.owner, n, builder.land, s);
    com[cnr].squad[builder.added] = s;
    builder.added++;
  }
  return s;
}

int32_t addtosquad(int32_t u, int32_t n) {
  if (target() < 0) return -1;
  if (n >= 1) spawnunits(u, builder.owner, n, builder.land, builder.squad);
  return builder.squad;
}

int32_t addbodyguards(int32_t u, int32_t n) {
  if (n < 1) return -1;
  if (builder.detached) return -1;
  bailif(builder.com < 0 || builder.com >= MAXCOMS, "addbodyguards: bad cnr");
  const int32_t r = addsquad(u, n);
  bailif(builder.added < 1, "addbodyguards: bad osq");
  const int32_t cnr = target();
  if (cnr >= 0 && builder.added >= 1 && builder.added <= 5) {
    com[cnr].sqorder[builder.added - 1] = BO_GUARD;
    com[cnr].sqtarget[builder.added - 1] = 0;
  }
  return r;
}

void setbattleorder(int32_t order, int32_t param) {
  const int32_t cnr = target();
  if (cnr < 0) return;
  com[cnr].batorder = uint8_t(order);
  com[cnr].battarget = uint8_t(param);
}

int32_t additem(const char* name, int32_t chance) {
  if (builder.detached) return 0;
  bailif(target() < 0, "additem: bad cnr");
  if (rnd(100) >= chance) return 0;
  const int32_t it = finditem(name ? name : "");
  if (it < 1) {
    debugprint("*** Warning: additem, No item called %s\n", name ? name : "");
    return 0;
  }
  getitemf(builder.com, it, 0);
  return it;
}

void addequip(int32_t level) {
  if (level <= 0 || builder.detached) return;
  const int32_t cnr = target();
  bailif(cnr < 0, "addequip: bad cnr");
  if (cnr < 0) return;
  for (int32_t p = 0; p < 8; p++) {
    const int32_t m = getcommagic(cnr, p);
    if (m <= 0) continue;
    addgems(cnr, p, openrolls(level + 4, m));
    if (p == P_BLOOD) addgems(cnr, p, openroll(6) - 1);
  }
  struct Draw {
    int32_t threshold, constlevel;
  };
  const Draw draws[5] = {{level * 10, 0}, {level * 5, 1}, {level * 20 - 40, 1}, {level * 50 - 150, 1},
                         {level * 10 - 20, 2}};
  for (const Draw& d : draws)
    if (rnd(100) < d.threshold) getitem(cnr, randitemoflevel(d.constlevel));
}

int32_t randitemoflevel(int32_t level) {
  const int32_t end = imin(nbrofitems(), MAXITEMS);
  int32_t count = 0;
  for (int32_t i = 1; i < end; i++)
    if (items[i].constlevel == level) count++;
  if (count == 0) return 0;
  int32_t k = rnd(count);
  for (int32_t i = 1; i < end; i++)
    if (items[i].constlevel == level && k-- == 0) return i;
  return 0;
}

void killand(int32_t lnr) {
  bailif(highestunit >= MAXUNITS, "killand: unit overflow");
  if (lnr < 0) return;
  const int32_t saved = inbattle;
  inbattle = 0;
  foreachunitinland(lnr, [](int32_t u) {
    if (unit[u].hp > 0) killunit(u);
  });
  inbattle = saved;
  if (lnr == 0) {
    Land& l = land[0];
    l.fort = 0;
    l.provdef = 0;
    l.small[1] = 0;
    provgeo[0].terrain = 0;
    l.veystr = 0;
    l.veyowner = -1;
    for (int8_t& s : l.scale) s = 0;
  }
}

// Start-army templates: the table holds no entries, so the start population
// always uses its fixed recipes.
int32_t pickpoptemplate(int32_t, int32_t) { return -1; }
void poptemplate(int32_t, int32_t, int32_t) {}
