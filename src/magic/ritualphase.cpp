// The ritual phase of the host: every ritual and dispel order of the month
// carried out, and the upkeep of the enchantments in force.
#include <cstdarg>
#include <cstdio>
#include <string>
#include <utility>
#include <vector>

#include "magic/rituals.h"
#include "runtime/fatal.h"
#include "runtime/rnd.h"
#include "runtime/util.h"
#include "world/builders.h"
#include "world/gamedata.h"
#include "world/hoststate.h"
#include "world/magic.h"
#include "world/rules.h"
#include "world/siteentry.h"
#include "world/units.h"
#include "world/world.h"

namespace {

bool validland(int32_t l) { return l >= 1 && l <= nbrlands && l < MAXLANDS; }
bool nationplays(int32_t p) {
  if (p < 0 || p >= MAXPLAYERS) return false;
  const uint16_t c = uint16_t(kingdom[size_t(p)].w[KW_CONTROLLER]);
  return c == CTRL_HUMAN || c == CTRL_AI;
}

void tell(int32_t p, int32_t lnr, const char* format, ...) __attribute__((format(printf, 3, 4)));
void tell(int32_t p, int32_t lnr, const char* format, ...) {
  if (!nationplays(p)) return;
  char text[MSGTEXTLEN];
  va_list args;
  va_start(args, format);
  vsnprintf(text, sizeof text, format, args);
  va_end(args);
  const int32_t m = newmsg(validland(lnr) ? lnr : -1, p, validland(lnr) ? MT_LANDLINK : MT_PLAIN, lnr);
  t2msg(m, "%s", text);
}

int16_t& treasury(int32_t p, int32_t path) { return kingdom[size_t(p)].w[KW_GEMS + path]; }

// A level-scaled value: every 1000 above 999 is one level of the caster.
int32_t scaled(int32_t v, int32_t level) {
  while (v > 999) v = v - 1000 + level;
  return v;
}

// The commander's order comes to an end, done (the gems were used).
void done(int32_t c) {
  com[size_t(c)].order = Order::defend;
  com[size_t(c)].orderparam = 0;
  com[size_t(c)].ordergems[0] = com[size_t(c)].ordergems[1] = 0;
}

// Not carried out: the gems go back and the nation is told why.
void refused(int32_t c, const char* why) {
  const int32_t b = com[size_t(c)].body;
  const int32_t p = unit[size_t(b)].owner, l = unitlandnr(b);
  cancelorder(c);
  tell(p, l, "%s could not cast the ritual: %s", comshownname(c), why);
}

// The units of the commander's army: its body, then its squads in its province.
std::vector<int32_t> army(int32_t c) {
  std::vector<int32_t> v;
  const int32_t b = com[size_t(c)].body;
  v.push_back(b);
  const int32_t l = unit[size_t(b)].land;
  for (int32_t u : filedinsquads(com[size_t(c)].squad)) {
    const Unit& x = unit[size_t(u)];
    if (u == b || x.hp < 1 || x.land != l || x.squad < 0) continue;
    for (int32_t s : com[size_t(c)].squad)
      if (s >= 0 && s == x.squad) v.push_back(u);
  }
  return v;
}

int32_t freesquad(int32_t c) {
  Commander& cm = com[size_t(c)];
  for (int32_t s : cm.squad)
    if (s >= 0) return s;
  const int32_t p = unit[size_t(cm.body)].owner;
  cm.squad[0] = newsquadnbr(p);
  return cm.squad[0];
}

// ---------------------------------------------------------------- the effects

void summon(int32_t c, const Spell& sp, int32_t level) {
  const int32_t b = com[size_t(c)].body, p = unit[size_t(b)].owner, l = unit[size_t(b)].land;
  const int32_t type = sp.damage, count = imax(1, scaled(sp.nbreff, level));
  if (type < 1 || type >= MAXUNITTYPES || !isusedunittype(type)) {
    tell(p, l, "%s performed %s, but nothing answered the call.", comshownname(c), sp.name);
    return;
  }
  const int32_t last = spawnunits(type, p, count, l, freesquad(c));
  int32_t made = 0;
  for (int32_t u = imax(0, last - count + 1); last >= 0 && u <= last; u++)
    if (unit[size_t(u)].type == type && unit[size_t(u)].owner == p && unit[size_t(u)].land == l) {
      unit[size_t(u)].homeland = int16_t(l);
      made++;
    }
  tell(p, l, "%s performed %s: %d %s joined the army.", comshownname(c), sp.name, made,
       unittypes[size_t(type)].name);
}

void remotedamage(int32_t c, const Spell& sp, int32_t level, int32_t target) {
  const int32_t b = com[size_t(c)].body, p = unit[size_t(b)].owner;
  const int32_t dmg = scaled(sp.damage, level);
  int32_t hit = 0, killed = 0;
  std::vector<int32_t> victims;
  std::vector<std::pair<int32_t, std::string>> fallen;   // commanders killed: owner and name
  for (int32_t u : filedinland(target)) {
    Unit& x = unit[size_t(u)];
    if (x.hp < 1 || x.owner == p) continue;
    if (x.flags[2] & F3_PRETENDER) continue;   // the gods are beyond such rituals
    const int32_t owner = x.owner;
    hit++;
    const int32_t harm = dmg == 999 ? x.hp : imax(1, dmg - getprot(u) / 2);
    if (harm >= x.hp) {
      if (const int32_t fc = unit2com(u); fc >= 0) fallen.emplace_back(owner, comshownname(fc));
      killunit(u);
      killed++;
    } else {
      x.hp = int16_t(x.hp - harm);
    }
    bool known = false;
    for (int32_t v : victims) known = known || v == owner;
    if (!known) victims.push_back(owner);
  }
  tell(p, target, "%s performed %s on %s: %d units were struck, %d of them died.", comshownname(c), sp.name,
       land[size_t(target)].name, hit, killed);
  for (int32_t v : victims) {
    std::string dead;
    for (const auto& [owner, name] : fallen)
      if (owner == v) dead += "\n" + name + " has died.";
    tell(v, target, "%s struck our armies in %s from afar: %d of %d units died.%s", sp.name, land[size_t(target)].name,
         killed, hit, dead.c_str());
  }
}

void enchant(int32_t c, int32_t spell, int32_t lnr) {
  const Spell& sp = spells[size_t(spell)];
  const int32_t b = com[size_t(c)].body, p = unit[size_t(b)].owner;
  if (findench(sp.damage, lnr, p) >= 0) {
    tell(p, unit[size_t(b)].land, "%s performed %s, but the enchantment was in force already.", comshownname(c),
         sp.name);
    return;
  }
  const int32_t e = addench(sp.damage, b, p, lnr, 0);
  if (e < 0) {
    tell(p, unit[size_t(b)].land, "%s performed %s, but the world can bear no further enchantment.",
         comshownname(c), sp.name);
    return;
  }
  ench[size_t(e)].spell = int16_t(spell);
  ench[size_t(e)].counter[0] = turn;   // pays its first upkeep next month
  if (lnr == -1) {
    for (int32_t q = 0; q < MAXPLAYERS; q++)
      if (nationplays(q)) tell(q, -1, "%s has cast %s over the whole world.", comshownname(c), sp.name);
  } else if (validland(lnr)) {
    tell(p, lnr, "%s has cast %s on %s.", comshownname(c), sp.name, land[size_t(lnr)].name);
    const int32_t o = land[size_t(lnr)].owner;
    if (o != p) tell(o, lnr, "%s has been cast on %s.", sp.name, land[size_t(lnr)].name);
  } else {
    tell(p, -1, "%s has cast %s.", comshownname(c), sp.name);
  }
}

void teleport(int32_t c, const Spell& sp, int32_t target) {
  const int32_t b = com[size_t(c)].body, p = unit[size_t(b)].owner;
  const std::vector<int32_t> units = army(c);
  for (int32_t u : units) setunitland(u, target);
  tell(p, target, "%s performed %s and arrived in %s with %d units.", comshownname(c), sp.name,
       land[size_t(target)].name, int32_t(units.size()) - 1);
}

void healarmy(int32_t c, const Spell& sp) {
  int32_t healed = 0;
  for (int32_t u : army(c)) {
    const int32_t top = getmaxhp(u);
    if (unit[size_t(u)].hp < top) unit[size_t(u)].hp = int16_t(top), healed++;
    unit[size_t(u)].flags[0] &= ~AF_DISEASED;
  }
  const int32_t b = com[size_t(c)].body;
  tell(unit[size_t(b)].owner, unit[size_t(b)].land, "%s performed %s: %d units were healed.", comshownname(c),
       sp.name, healed);
}

void findsites(int32_t c, const Spell& sp, int32_t level, int32_t target) {
  const int32_t b = com[size_t(c)].body, p = unit[size_t(b)].owner;
  const int32_t path = sp.path[0];
  Land& l = land[size_t(target)];
  int32_t found = 0;
  for (int32_t s = 0; s < 4; s++) {
    const int32_t site = l.site[s];
    if (site < 1 || site >= MAXSITES || l.sitefound[s]) continue;
    if (sites[size_t(site)].path != path || sites[size_t(site)].level > level) continue;
    l.sitefound[s] = 1;
    tell(p, target, "%s performed %s and found %s in %s.", comshownname(c), sp.name, sites[size_t(site)].name,
         l.name);
    found++;
  }
  if (path >= 0 && path < 9 && p >= 0 && p < MAXPLAYERS)
    l.searched[p][path] = int8_t(imax(l.searched[p][path], imin(level, 127)));
  if (!found) tell(p, target, "%s performed %s, but found nothing new in %s.", comshownname(c), sp.name, l.name);
}

void scry(int32_t c, const Spell& sp, int32_t target) {
  const int32_t b = com[size_t(c)].body, p = unit[size_t(b)].owner;
  int32_t count[MAXKINGDOMS] = {};
  for (int32_t u : filedinland(target))
    if (unit[size_t(u)].hp >= 1 && unit[size_t(u)].owner >= 0) count[size_t(unit[size_t(u)].owner)]++;
  const int32_t m = newmsg(target, p, MT_LANDLINK, target);
  t2msg(m, "%s performed %s on %s.", comshownname(c), sp.name, land[size_t(target)].name);
  bool any = false;
  for (int32_t q = 0; q < MAXKINGDOMS; q++)
    if (count[q] > 0) {
      t2msg(m, "\n%d units of %s", count[q], q < MAXNATIONS ? nations[size_t(q)].name : "nobody");
      any = true;
    }
  if (!any) t2msg(m, "\nNo army stands there.");
}

void enchantgems(int32_t c, const Spell& sp, int32_t level) {
  const int32_t b = com[size_t(c)].body, p = unit[size_t(b)].owner;
  const int32_t pearls = 2 + imax(0, level - sp.pathlevel[0]);
  treasury(p, P_ASTRAL) = int16_t(imin(32767, treasury(p, P_ASTRAL) + pearls));
  tell(p, unit[size_t(b)].land, "%s performed %s: %d astral pearls were made.", comshownname(c), sp.name, pearls);
}

void wish(int32_t c, const Spell& sp) {
  const int32_t b = com[size_t(c)].body, p = unit[size_t(b)].owner;
  // The greatest item that is not in play yet.
  int32_t best = -1;
  for (int32_t i = 1; i < MAXITEMS && items[size_t(i)].constlevel <= 98; i++) {
    if (!items[size_t(i)].name[0] || items[size_t(i)].constlevel > 9 || iteminplay[i] > 0) continue;
    if (best < 0 || items[size_t(i)].constlevel > items[size_t(best)].constlevel) best = i;
  }
  if (best > 0 && additemtolab(p, best, 0) >= 0) {
    if (iteminplay[best] < 255) iteminplay[best]++;
    tell(p, -1, "%s wished for %s, and it lies in the laboratory.", comshownname(c), items[size_t(best)].name);
    return;
  }
  // Capped before the sum: a treasury near the limit stays at the limit.
  kingdom[size_t(p)].gold = imin(INT32_MAX - 1000, kingdom[size_t(p)].gold) + 1000;
  tell(p, -1, "%s wished for riches and was given 1000 pounds of gold.", comshownname(c));
}

void makeitem(int32_t c, const Spell& sp, int32_t level) {
  const int32_t b = com[size_t(c)].body, p = unit[size_t(b)].owner;
  std::vector<int32_t> fit;
  for (int32_t i = 1; i < MAXITEMS && items[size_t(i)].constlevel <= 98; i++) {
    const Item& it = items[size_t(i)];
    if (!it.name[0] || it.constlevel > sp.researchlevel || it.mainpath != sp.path[0] || it.mainlevel > level) continue;
    if (it.constlevel >= 4 && iteminplay[i] > 0) continue;   // unique ones once
    fit.push_back(i);
  }
  const int32_t made = fit.empty() ? 0 : fit[size_t(rnd(int32_t(fit.size())))];
  if (made < 1 || additemtolab(p, made, 0) < 0) {
    tell(p, unit[size_t(b)].land, "%s performed %s, but made nothing.", comshownname(c), sp.name);
    return;
  }
  if (iteminplay[made] < 255) iteminplay[made]++;
  tell(p, unit[size_t(b)].land, "%s performed %s and made %s.", comshownname(c), sp.name, items[size_t(made)].name);
}

void lichcraft(int32_t c, const Spell& sp) {
  const int32_t b = com[size_t(c)].body, p = unit[size_t(b)].owner;
  const int32_t lich = findunittype("Lich");
  if (lich < 1 || (unittypeflags(b) & MF_UNDEAD) || (unit[size_t(b)].flags[2] & F3_PRETENDER)) {
    tell(p, unit[size_t(b)].land, "%s performed %s, but nothing changed.", comshownname(c), sp.name);
    return;
  }
  unit[size_t(b)].type = int16_t(lich);
  unit[size_t(b)].hp = int16_t(getmaxhp(b));
  tell(p, unit[size_t(b)].land, "%s performed %s and rose again as a lich.", comshownname(c), sp.name);
}

// One ritual order.
void perform(int32_t c) {
  Commander& cm = com[size_t(c)];
  const int32_t b = com[size_t(c)].body, p = unit[size_t(b)].owner;
  const int32_t spell = cm.orderparam, target = cm.ordergems[1];
  int32_t granted = 0;
  for (int32_t n = 0; n < 8; n++)
    if (getcomitemspell(c, n) == spell && spell > 0) granted = 1;
  const int32_t why = ritualrefusal(c, spell, granted, target);
  if (why != RIT_OK) return refused(c, ritualrefusaltext(why));
  const int32_t cost = ritualgemcost(spell);
  if (cm.ordergems[0] < cost) return refused(c, "the gems were not given");
  const Spell& sp = spells[size_t(spell)];
  const int32_t level = imax(sp.path[0] >= 0 ? getcommagic(c, sp.path[0]) : 0, granted ? sp.pathlevel[0] : 0);
  switch (sp.effect) {
    case RITUAL_SUMMON: summon(c, sp, level); break;
    case RITUAL_REMOTEDAMAGE: remotedamage(c, sp, level, target); break;
    case RITUAL_GLOBALENCH: enchant(c, spell, -1); break;
    case RITUAL_PROVINCEENCH: enchant(c, spell, target); break;
    case RITUAL_ARENAENCH: enchant(c, spell, 0); break;
    case RITUAL_TELEPORT: teleport(c, sp, target); break;
    case RITUAL_HEALARMY: healarmy(c, sp); break;
    case RITUAL_FINDSITES: findsites(c, sp, level, unit[size_t(b)].land); break;
    case RITUAL_SCRY: scry(c, sp, target); break;
    case RITUAL_ENCHANTGEMS: enchantgems(c, sp, level); break;
    case RITUAL_WISH: wish(c, sp); break;
    case RITUAL_MAKEITEM: makeitem(c, sp, level); break;
    case RITUAL_LICHCRAFT: lichcraft(c, sp); break;
    default:
      tell(p, unit[size_t(b)].land, "%s performed %s, but its magic took no shape.", comshownname(c), sp.name);
      break;
  }
  if (combody(c) < 0) return;
  // A monthly ritual pays for the next month now, or ends.
  if (cm.order == Order::monthlyritual) {
    const int32_t path = sp.path[0];
    if (cost == 0 || (path >= 0 && path <= 8 && treasury(p, path) >= cost)) {
      if (cost > 0) treasury(p, path) = int16_t(treasury(p, path) - cost);
      cm.ordergems[0] = cost;
      return;
    }
    tell(p, unit[size_t(b)].land, "%s cannot repeat %s next month: the treasury lacks the gems.", comshownname(c), sp.name);
  }
  done(c);
}

void dispel(int32_t c) {
  Commander& cm = com[size_t(c)];
  const int32_t b = com[size_t(c)].body, p = unit[size_t(b)].owner;
  const int32_t e = cm.orderparam, pearls = cm.ordergems[0];
  if (e < 0 || e >= MAXENCH || ench[size_t(e)].kind <= 0 || ench[size_t(e)].land != -1)
    return refused(c, "the enchantment is no longer in force");
  if (pearls < 1) return refused(c, "no astral pearls were given");
  const int32_t spell = ench[size_t(e)].spell;
  const char* name = spell > 0 && spell < MAXSPELLS ? spells[size_t(spell)].name : "an enchantment";
  done(c);
  // Half the gems that the enchantment cost break it.
  const int32_t needed = (ritualgemcost(spell) + 1) / 2;
  if (pearls < needed) {
    tell(p, unit[size_t(b)].land, "%s tried to dispel %s, but %d astral pearls were too few.", comshownname(c), name, pearls);
    return;
  }
  const int32_t owner = ench[size_t(e)].owner;
  tell(p, unit[size_t(b)].land, "%s dispelled %s.", comshownname(c), name);
  if (owner != p) endenchantment(e, "it was dispelled");
  else removeench(e);
}

}  // namespace

int32_t nbrglobalench() {
  int32_t n = 0;
  for (int32_t e = 0; e <= highestench && e < MAXENCH; e++)
    if (ench[size_t(e)].kind > 0 && ench[size_t(e)].spell > 0 && ench[size_t(e)].land == -1) n++;
  return n;
}

void endenchantment(int32_t e, const char* why) {
  if (e < 0 || e >= MAXENCH || ench[size_t(e)].kind <= 0) return;
  const Ench& x = ench[size_t(e)];
  const int32_t spell = x.spell;
  tell(x.owner, x.land >= 1 ? x.land : -1, "%s has ended: %s.",
       spell > 0 && spell < MAXSPELLS ? spells[size_t(spell)].name : "An enchantment", why);
  removeench(e);
}

void enchantmentupkeep() {
  for (int32_t e = 0; e <= highestench && e < MAXENCH; e++) {
    Ench& x = ench[size_t(e)];
    if (x.kind <= 0 || x.counter[0] == turn) continue;
    // Enchantments of the world's making (no caster, no nation) stand.
    if (x.caster >= 0 && x.caster < MAXUNITS && unit[size_t(x.caster)].hp < 1) {
      endenchantment(e, "its caster has died");
      continue;
    }
    if (!nationplays(x.owner) || x.spell < 1 || x.spell >= MAXSPELLS) continue;
    const int32_t path = spells[size_t(x.spell)].path[0];
    if (path < 0 || path > 8) continue;
    const int32_t upkeep = imax(1, ritualgemcost(x.spell) / 10);
    if (treasury(x.owner, path) < upkeep) {
      endenchantment(e, "the treasury could not pay its upkeep");
      continue;
    }
    treasury(x.owner, path) = int16_t(treasury(x.owner, path) - upkeep);
  }
}

void performrituals() {
  for (int32_t c = 0; c <= highestcom && c < MAXCOMS; c++) {
    const int32_t b = combody(c);
    if (b < 0 || unit[size_t(b)].hp < 1 || unitlandnr(b) < 1) continue;
    const Order o = com[size_t(c)].order;
    if (o == Order::ritual || o == Order::monthlyritual) perform(c);
    else if (o == Order::dispel) dispel(c);
  }
  enchantmentupkeep();
}
