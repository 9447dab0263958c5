// The commander orders that act where the commander stands: buildings and
// their demolition, patrols against unrest, preaching, site searches,
// blood hunts and slave taking, pillage, the prophet, recalling a dead god,
// healing, summoning allies, raising the dead and calling spirits, blood
// sacrifice, stirring uprisings, the agents' seduction, corruption and
// luring, and entering magic sites; after them the month's death matches
// (arena.cpp). Rituals and dispelling are the game's magic (magic/rituals.h).
#include <cstring>

#include "actions/orderrules.h"
#include "gamedata_ids.h"
#include "host/host.h"
#include "host/hostinternal.h"
#include "host/phases.h"
#include "magic/rituals.h"
#include "runtime/fatal.h"
#include "runtime/rnd.h"
#include "runtime/util.h"
#include "world/builders.h"
#include "world/economy.h"
#include "world/forts.h"
#include "world/gamedata.h"
#include "world/grammar.h"
#include "world/magic.h"
#include "world/rules.h"
#include "world/scores.h"
#include "world/siteentry.h"
#include "world/units.h"
#include "world/world.h"

namespace {
constexpr int32_t CALLGODWORK = 30;   // priestly levels summed over the months that recall a god

Land& landof(int32_t cnr) { return land[size_t(comland(cnr))]; }
bool holdscastle(int32_t cnr) { return landof(cnr).fortholder == complayer(cnr); }
bool ownsprovince(int32_t cnr) { return landof(cnr).owner == complayer(cnr); }
int32_t holy(int32_t cnr) { return getcommagic(cnr, P_PRIEST); }
// The host carries out what the rule of the order menu and the computer
// players (actions/orderrules.h) lets the commander take where it stands
// now, and tells a refusal with the rule's sentence.
Refusal refusal(int32_t cnr, Order o) { return orderallowed(cnr, o, com[size_t(cnr)].orderparam); }

// New units join the commander's army: its first squad, or a new one when it
// has a free squad place; otherwise they stand in the province.
int32_t raise(int32_t cnr, int32_t type, int32_t count) {
  if (type < 1 || type >= MAXUNITTYPES || !isusedunittype(type) || count < 1) return 0;
  Commander& c = com[size_t(cnr)];
  const int32_t p = complayer(cnr), l = comland(cnr);
  int32_t squad = -1;
  for (int32_t s : c.squad)
    if (s != -1) {
      squad = s;
      break;
    }
  if (squad == -1)
    for (int32_t& s : c.squad)
      if (s == -1) {
        s = squad = newsquadnbr(p);
        break;
      }
  return placeunits(type, p, count, l, squad);
}

void raised(int32_t cnr, int32_t made, int32_t type, const char* verb) {
  char plural[PLURALLEN];
  landmsg(complayer(cnr), comland(cnr), "%s has %s %d %s.", comshownname(cnr), verb, made,
          pluralname(made, unittypes[size_t(type)].name, plural));
}

// ---------------------------------------------------------------- buildings

// A laboratory (order 18) or a temple (order 19), paid when ordered.
void build(int32_t c, Order what) {
  Land& l = landof(c);
  const bool lab = what == Order::buildlab;
  const char* task = lab ? "build a laboratory" : "build a temple";
  uint8_t& building = lab ? l.lab : l.temple;
  if (const Refusal r = refusal(c, what)) return failorder(c, task, r);
  building = 1;
  landmsg(complayer(c), comland(c), "A %s has been built in %s.", lab ? "laboratory" : "temple", l.name);
  orderdone(c);
}

void demolish(int32_t c, Order what) {
  Land& l = landof(c);
  const char* name = what == Order::demolishfort ? "the fort" : what == Order::demolishlab ? "the laboratory" : "the temple";
  char task[120];
  formatbounded(task, sizeof task, "demolish %s of %s", name, l.name);
  if (const Refusal r = refusal(c, what)) return failorder(c, task, r);
  orderdone(c);
  if (what == Order::demolishfort) {
    l.fort = 0;
    l.fortdef = 0;
  } else if (what == Order::demolishlab) {
    l.lab = 0;
  } else {
    l.temple = 0;
  }
  landmsg(complayer(c), comland(c), "%s of %s has been demolished.", capfirst(name), l.name);
}

// ---------------------------------------------------------------- the province

void patrolunrest(int32_t c) {
  if (!ownsprovince(c)) return;
  Land& l = landof(c);
  int32_t strength = 0;
  for (int32_t u : armyunits(c)) strength += 1 + imax(getability(u, AB_PATROLBONUS, 1), 0);
  l.unrest = int16_t(imax(0, l.unrest - imax(1, strength / 2)));
}

void preach(int32_t c, bool enemyland) {
  const int32_t p = complayer(c), h = holy(c);
  Land& l = landof(c);
  if (const Refusal r = refusal(c, enemyland ? Order::enemypreach : Order::preach)) return failorder(c, "preach", r);
  if (l.veyowner != p && l.veystr > 0) {
    l.veystr = int16_t(imax(0, l.veystr - (h + 1) / 2));
    if (l.veystr == 0) l.veyowner = -1;
    return;
  }
  if (enemyland) return;
  int32_t limit = 2 * h;
  if (holdscastle(c) && l.temple) limit++;
  if (l.veystr >= 1) limit += imax(getnatattr(p, NA_PREACHBONUS), 0);
  l.veyowner = int8_t(p);
  if (l.veystr < limit) l.veystr++;
}

void search(int32_t c) {
  const int32_t p = complayer(c);
  Land& l = landof(c);
  if (const Refusal r = refusal(c, Order::search)) return failorder(c, "search for sites", r);
  for (int32_t path = 0; path < 9; path++) {
    const int32_t level = getcommagic(c, path);
    if (level > l.searched[p][path]) l.searched[p][path] = int8_t(imin(level, 127));
  }
  for (int32_t s = 0; s < 4; s++) {
    const int32_t site = l.site[s];
    if (site < 1) break;
    if (site >= MAXSITES || l.sitefound[s]) continue;
    const Site& st = sites[size_t(site)];
    const int32_t path = st.path >= 0 && st.path <= 8 ? st.path : -1;
    if (path >= 0 && getcommagic(c, path) >= st.level) {
      l.sitefound[s] = 1;
      landmsg(p, comland(c), "%s has found the magic site %s in %s.", comshownname(c), st.name, l.name);
    }
  }
}

void bloodhunt(int32_t c) {
  Land& l = landof(c);
  Commander& cm = com[size_t(c)];
  if (const Refusal r = refusal(c, Order::bloodhunt)) return failorder(c, "hunt for blood slaves", r);
  const int32_t carried = cm.gems[P_BLOOD];
  int32_t found = imin(roll(3) + getcommagic(c, P_BLOOD), imax(l.population, 0) / 200);
  found = imin(found, 255 - carried);
  if (found <= 0) return;
  cm.gems[P_BLOOD] = uint8_t(carried + found);
  l.population = int16_t(imax(0, l.population - found * 10));
  l.unrest = int16_t(imin(30000, l.unrest + found));
  landmsg(complayer(c), comland(c), "%s has found %d blood slaves in %s.", comshownname(c), found, l.name);
}

void captureslaves(int32_t c) {
  Land& l = landof(c);
  Commander& cm = com[size_t(c)];
  if (const Refusal r = refusal(c, Order::captureslaves)) return failorder(c, "capture slaves", r);
  const int32_t found = imin(imin(effectof(c, AB_CAPTURE) + roll(6), imax(l.population, 0) / 100), 255 - cm.gems[P_BLOOD]);
  if (found <= 0) return;
  cm.gems[P_BLOOD] = uint8_t(cm.gems[P_BLOOD] + found);
  l.population = int16_t(imax(0, l.population - found * 10));
  l.unrest = int16_t(imin(30000, l.unrest + 2 * found));
  landmsg(complayer(c), comland(c), "%s has taken %d slaves in %s.", comshownname(c), found, l.name);
}

void pillage(int32_t c) {
  Land& l = landof(c);
  if (const Refusal r = refusal(c, Order::pillage)) return failorder(c, "pillage", r);
  int32_t strength = 0;
  for (int32_t u : armyunits(c)) strength += 1 + imax(getability(u, AB_PILLAGEBONUS, 1), 0);
  const int32_t gold = imin(getbaseincome(comland(c)) * 2, strength * 5);
  addgold(complayer(c), gold);
  l.population = int16_t(imax(0, l.population - l.population / 20 - strength));
  l.unrest = int16_t(imin(30000, l.unrest + 20));
  landmsg(complayer(c), comland(c), "%s has pillaged %s for %d gold.", comshownname(c), l.name, gold);
}

void uprising(int32_t c) {
  Land& l = landof(c);
  if (const Refusal r = refusal(c, Order::uprising)) return failorder(c, "stir an uprising", r);
  l.unrest = int16_t(imin(30000, l.unrest + 10 + effectof(c, AB_SPY) + imax(effectof(c, AB_INCUNREST), 0)));
}

void prophet(int32_t c) {
  const int32_t p = complayer(c);
  Kingdom& k = kingdom[size_t(p)];
  const int32_t b = com[size_t(c)].body;
  if (const Refusal r = refusal(c, Order::prophet)) return failorder(c, "become prophet", r);
  orderdone(c);
  if (comalive(k.w[KW_PROPHET]) && complayer(k.w[KW_PROPHET]) == p)
    return (void)landmsg(p, comland(c), "%s could not become prophet: the nation has one already.", comshownname(c));
  k.w[KW_PROPHET] = int16_t(c);
  unit[size_t(b)].flags[1] |= ST_PROPHET;
  landmsg(p, comland(c), "%s has become the prophet of %s.", comshownname(c), k.godname);
}

void callgod(int32_t c) {
  const int32_t p = complayer(c);
  Kingdom& k = kingdom[size_t(p)];
  const int32_t god = k.w[KW_GOD];
  const int32_t body = combody(god);
  if (const Refusal r = refusal(c, Order::callgod)) return failorder(c, "call the god", r);
  k.w[KW_CALLGOD] = int16_t(imin(32767, k.w[KW_CALLGOD] + holy(c)));
  if (k.w[KW_CALLGOD] < CALLGODWORK) return;
  Unit& g = unit[size_t(body)];
  setunitland(body, comland(c));
  g.flags[0] = 0;
  g.hp = int16_t(imax(1, getmaxhp(body)));
  k.w[KW_CALLGOD] = 0;
  for (int32_t q = 0; q <= highestcom; q++)
    if (com[size_t(q)].order == Order::callgod && complayer(q) == p) orderdone(q);
  landmsg(p, comland(c), "%s has returned to the world in %s.", k.godname, land[size_t(comland(c))].name);
}

void heal(int32_t c) {
  const int32_t power = effectof(c, AB_HEALER);
  if (const Refusal r = refusal(c, Order::heal)) return failorder(c, "heal", r);
  int32_t healed = 0;
  for (int32_t u : unitsin(comland(c), complayer(c))) {
    Unit& x = unit[size_t(u)];
    if (x.flags[0] == 0 || rnd(100) >= power) continue;
    // The worst first: disease, then the other afflictions one at a time.
    if (x.flags[0] & AF_DISEASED) x.flags[0] &= ~AF_DISEASED;
    else x.flags[0] &= x.flags[0] - 1;
    healed++;
  }
  if (healed) landmsg(complayer(c), comland(c), "%s has healed %d afflicted units.", comshownname(c), healed);
}

void summonallies(int32_t c) {
  if (const Refusal r = refusal(c, Order::summonallies)) return failorder(c, "summon allies", r);
  for (int32_t k = 0; k < 5; k++) {
    const int32_t type = effectof(c, AB_MAKEMONSTER + k);
    if (type <= 0) continue;
    const int32_t made = raise(c, type, k + 1);
    if (made) raised(c, made, type, "summoned");
    return;
  }
}

// Raising the dead spends the province's corpses.
void reanimate(int32_t c, Order order) {
  const int32_t p = complayer(c), lnr = comland(c);
  Land& l = landof(c);
  const int32_t level = order == Order::manikins ? manikinlevel(c) : reanimatelevel(c);
  if (const Refusal r = refusal(c, order)) return failorder(c, "raise the dead", r);
  const int32_t corpses = imax(l.corpses[0], 0) + imax(l.corpses[1], 0);
  int32_t count = imin(level, corpses);
  if (count <= 0) return;
  int32_t type = -1;
  for (int32_t i = 0; i < count; i++) {
    switch (order) {
      case Order::ghouls: type = randghoul(p, 50); break;
      case Order::soulless: type = randsoulless(p, lnr, 50, 30, 1); break;
      case Order::longdead: type = randlongdead(p, 50); break;
      case Order::horsemen: type = MON_LONGDEAD_HORSEMAN_189; break;
      case Order::lictors: type = findunittype("Lictor"); break;
      case Order::tombwyrm: type = findunittype("Tomb Wyrm"); break;
      case Order::manikins: type = findunittype("Manikin"); break;
      case Order::chariot: type = findunittype("Tomb Chariot"); break;
      default: break;
    }
    if (type < 1) return failorder(c, "raise the dead", "no such dead can be raised");
    if (order != Order::soulless) {
      const int32_t kind = l.corpses[0] > 0 ? 0 : 1;
      l.corpses[kind] = int16_t(imax(0, l.corpses[kind] - 1));
    }
    if (!raise(c, type, 1)) break;
  }
  landmsg(p, lnr, "%s has raised %d of the dead in %s.", comshownname(c), count, l.name);
}

void callspirits(int32_t c, Order order) {
  const int32_t level = callspiritslevel(c);
  const int32_t need = order == Order::spirits ? 1 : order == Order::shadows ? 2 : 3;
  if (const Refusal r = refusal(c, order)) return failorder(c, "call spirits", r);
  const int32_t type = order == Order::spirits ? MON_GHOST_566 : order == Order::shadows ? MON_SHADE_676 : MON_SHADE_LORD_843;
  const int32_t made = raise(c, type, order == Order::apparitions ? 1 : level - need + 1);
  if (made) raised(c, made, type, "called");
}

void sacrifice(int32_t c) {
  const int32_t p = complayer(c);
  Land& l = landof(c);
  Commander& cm = com[size_t(c)];
  // One sacrifice a temple a month: the rule keeps it for the first priest.
  if (const Refusal r = refusal(c, Order::sacrifice)) return failorder(c, "sacrifice", r);
  const int32_t slaves = imin(cm.gems[P_BLOOD], 2 + holy(c));
  cm.gems[P_BLOOD] = uint8_t(cm.gems[P_BLOOD] - slaves);
  if (l.veyowner != p) {
    l.veyowner = int8_t(p);
    l.veystr = 0;
  }
  l.veystr = int16_t(imin(l.veystr + slaves, 10));
  landmsg(p, comland(c), "%s has sacrificed %d blood slaves in %s.", comshownname(c), slaves, l.name);
}

// ---------------------------------------------------------------- agents

// An enemy commander the agent may take: in the land, not a god, and hostile.
int32_t victim(int32_t c) {
  std::vector<int32_t> v;
  for (int32_t t : commandersin(comland(c), -1))
    if (hostile(complayer(c), complayer(t)) && !(unit[size_t(com[size_t(t)].body)].flags[2] & F3_PRETENDER) &&
        complayer(t) != INDEPENDENTS + 100)
      v.push_back(t);
  return v.empty() ? -1 : v[size_t(rnd(int32_t(v.size())))];
}

void agent(int32_t c, Order order) {
  const int32_t p = complayer(c), lnr = comland(c);
  const int32_t power = order == Order::seduce ? imax(effectof(c, AB_SEDUCE), effectof(c, AB_RUNAWAY))
                        : order == Order::corrupt ? effectof(c, AB_CORRUPT)
                                              : effectof(c, AB_LURE);
  const char* what = order == Order::seduce ? "seduce" : order == Order::corrupt ? "corrupt" : "lure";
  if (const Refusal r = refusal(c, order)) return failorder(c, what, r);
  orderdone(c);
  const int32_t t = victim(c);
  if (t < 0) return (void)landmsg(p, lnr, "%s found no one to %s.", comshownname(c), what);
  const int32_t tb = com[size_t(t)].body, tp = complayer(t);
  // Magic resistance against the agent's gift, on two dice.
  if (rolls(10, 2) + getmr(tb) > 10 + power + rolls(10, 2) / 2) {
    landmsg(p, lnr, "%s failed to %s %s.", comshownname(c), what, comshownname(t));
    return;
  }
  if (order == Order::lure) {
    landmsg(p, lnr, "%s has lured %s into the sea.", comshownname(c), comshownname(t));
    landmsg(tp, lnr, "%s has been lured into the sea and is lost.", comshownname(t));
    killunit(tb);
    return;
  }
  // The commander changes sides; its squads stay behind with their owner.
  for (int32_t& s : com[size_t(t)].squad) s = -1;
  unit[size_t(tb)].owner = int8_t(p);
  com[size_t(t)].order = Order::defend;
  landmsg(p, lnr, "%s has %s %s, who now serves you.", comshownname(c),
          order == Order::seduce ? "seduced" : "corrupted", comshownname(t));
  landmsg(tp, lnr, "%s has been %s by an agent of %s.", comshownname(t),
          order == Order::seduce ? "seduced" : "corrupted", nationname(p));
}

// ---------------------------------------------------------------- magic sites

void entersite(int32_t c) {
  const int32_t p = complayer(c);
  Commander& cm = com[size_t(c)];
  if (unit[size_t(cm.body)].land == VOIDLAND) {
    // Back from The Void, a month later, with something or nothing at all.
    const int32_t home = cm.ordergems[1];
    setunitland(cm.body, home >= 1 && home <= nbrlands ? home : kingdom[size_t(p)].w[KW_HOMELAND]);
    orderdone(c);
    if (rnd(100) < 25) {
      landmsg(p, -1, "%s has not come back from The Void.", comshownname(c));
      killunit(cm.body);
      return;
    }
    const int32_t item = randitemoflevel(1 + rnd(3));
    if (item > 0 && getitem(c, item) < 0) additemtolab(p, item, 1);
    landmsg(p, comland(c), "%s has come back from The Void%s%s.", comshownname(c), item > 0 ? " with " : "",
            item > 0 ? items[size_t(item)].name : "");
    return;
  }
  const int32_t slot = cm.orderparam;
  // The rule counts the commanders on this order, this one among them.
  cm.order = Order::defend;
  const Refusal refused = orderallowed(c, Order::entersite, slot);
  cm.order = Order::entersite;
  if (refused) return failorder(c, "enter the site", refused);
  Land& l = landof(c);
  const int32_t site = l.site[slot];
  const Site& st = sites[size_t(site)];
  for (int32_t e = 0; e < SITEEFFECTS; e++) {
    const int32_t kind = st.effectkind[e], value = st.effectval[e];
    switch (kind) {
      case SE_SUMMON: {
        const int32_t made = raise(c, value, 1);
        if (made) raised(c, made, value, "brought forth");
        orderdone(c);
        return;
      }
      case SE_TRAINING:
        for (int32_t u : armyunits(c)) unit[size_t(u)].exp = int16_t(imin(32767, unit[size_t(u)].exp + imax(value, 1)));
        landmsg(p, comland(c), "%s and the army have trained at %s.", comshownname(c), st.name);
        orderdone(c);
        return;
      case SE_VOID:
        cm.ordergems[1] = comland(c);
        for (int32_t u : armyunits(c))
          if (u != cm.body) setunitsquad(u, -1);
        setunitland(cm.body, VOIDLAND);
        landmsg(p, -1, "%s has entered The Void.", comshownname(c));
        return;
      case SE_SCRY: {
        const int32_t target = cm.ordergems[1];
        orderdone(c);
        if (target < 1 || target > nbrlands) return;
        int32_t t1 = -1, n1 = 0, t2 = -1, n2 = 0;
        int32_t seen = 0;
        for (int32_t q = 0; q < MAXKINGDOMS; q++)
          if (q != p) seen += armycomposition(q, target, q == land[size_t(target)].owner ? &t1 : &t2,
                                              q == land[size_t(target)].owner ? &n1 : &n2, nullptr, nullptr);
        const int32_t m = newmsg(target, p, MT_SCOUT, target);
        if (m >= 0) {
          message[size_t(m)].subj[1] = seen;
          message[size_t(m)].subj[2] = t1 >= 0 ? t1 : t2;
          t2msg(m, "%s has scried %s: %d units are there.", comshownname(c), land[size_t(target)].name, seen);
        }
        return;
      }
      case SE_TREASURE: {
        const int32_t item = randitemoflevel(imax(st.level, 0));
        orderdone(c);
        if (item > 0 && getitem(c, item) < 0) additemtolab(p, item, 1);
        // The treasure is taken: the site is gone.
        for (int32_t s = slot; s < 3; s++) {
          l.site[s] = l.site[s + 1];
          l.sitefound[s] = l.sitefound[s + 1];
        }
        l.site[3] = 0;
        l.sitefound[3] = 0;
        landmsg(p, comland(c), "%s has found %s at %s.", comshownname(c), item > 0 ? items[size_t(item)].name : "nothing",
                st.name);
        return;
      }
      default:
        break;
    }
  }
  failorder(c, "enter the site", "nothing happens there");
}

}  // namespace

void ritualsphase() { performrituals(); }

void ordersphase() {
  for (int32_t c = 0; c <= highestcom; c++) {
    if (!comalive(c) && !(combody(c) >= 0 && unit[size_t(com[size_t(c)].body)].land == VOIDLAND)) continue;
    const Order o = com[size_t(c)].order;
    if (comland(c) < 1 && o != Order::entersite) continue;
    switch (o) {
      case Order::buildlab: case Order::buildtemple: build(c, o); break;
      case Order::demolishfort: case Order::demolishlab: case Order::demolishtemple: demolish(c, o); break;
      case Order::patrol: patrolunrest(c); break;
      case Order::preach: preach(c, false); break;
      case Order::enemypreach: preach(c, true); break;
      case Order::search: search(c); break;
      case Order::bloodhunt: bloodhunt(c); break;
      case Order::captureslaves: captureslaves(c); break;
      case Order::pillage: pillage(c); break;
      case Order::uprising: uprising(c); break;
      case Order::prophet: prophet(c); break;
      case Order::callgod: callgod(c); break;
      case Order::heal: heal(c); break;
      case Order::summonallies: summonallies(c); break;
      case Order::ghouls: case Order::soulless: case Order::longdead: case Order::horsemen: case Order::lictors: case Order::tombwyrm:
      case Order::manikins: case Order::chariot: reanimate(c, o); break;
      case Order::spirits: case Order::shadows: case Order::apparitions: callspirits(c, o); break;
      case Order::sacrifice: sacrifice(c); break;
      case Order::seduce: case Order::corrupt: case Order::lure: agent(c, o); break;
      case Order::entersite: entersite(c); break;
      default:
        break;
    }
  }
  deathmatches();
}
