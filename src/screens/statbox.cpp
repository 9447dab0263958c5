// The statistic breakdown box: the basic value, the modifier lines in
// their fixed order and words, each under its own condition, and the
// current values.
#include "screens/statbox.h"

#include <algorithm>
#include <cstdio>
#include <functional>

#include "gfx/gui.h"
#include "runtime/fatal.h"
#include "world/gamedata.h"
#include "world/magic.h"
#include "world/rules.h"

namespace {
constexpr int32_t ID_EXIT = 9;
constexpr uint32_t AF_STARVING = 0x4, ST_DIVINE = 0x8000;

struct StatRow {
  const char* title;
  const char* first;   // format of the basic value, null for none
};
constexpr StatRow STATROWS[STATISTICS] = {
    {"Hit Points", "Basic Hit Points: %d"},     {"Action Points", "Basic Action Points: %d"},
    {"Strength", "Basic Strength: %d"},         {"Attack Skill", "Basic Attack Skill: %d"},
    {"Magic Resistance", "Basic Magic Resistance: %d"}, {"Protection", "Basic Protection: %d"},
    {"Encumbrance", "Basic Encumbrance: %d"},   {"Fatigue", "Current Fatigue: %d"},
    {"Precision", "Basic Precision: %d"},       {"Defence Skill", "Basic Defence Skill: %d"},
    {"Morale", "Basic Morale: %d"},             {"Leadership", nullptr}};

std::string line(const char* format, int32_t a = 0, int32_t b = 0) {
  char text[120];
  snprintf(text, sizeof text, format, a, b);
  return text;
}

int32_t basicvalue(const Monster& t, int32_t stat, const Unit& u) {
  switch (stat) {
    case STAT_HP: return t.hp;
    case STAT_AP: return t.ap;
    case STAT_STR: return t.str;
    case STAT_ATT: return t.att;
    case STAT_MR: return t.mr;
    case STAT_PROT: return t.prot;
    case STAT_ENC: return t.enc;
    case STAT_FATIGUE: return u.fatigue;
    case STAT_PREC: return t.prec;
    case STAT_DEF: return t.def;
    case STAT_MORALE: return t.mor;
    default: return 0;
  }
}

// The getter of a statistic, null for fatigue and leadership.
std::function<int32_t(int32_t)> getter(int32_t stat) {
  switch (stat) {
    case STAT_HP: return getmaxhp;
    case STAT_AP: return [](int32_t u) { return getmaxap(u, 1); };
    case STAT_STR: return getstr;
    case STAT_ATT: return getatt;
    case STAT_MR: return getmr;
    case STAT_PROT: return getprot;
    case STAT_ENC: return [](int32_t u) { return getenc(u, 0); };
    case STAT_PREC: return getprec;
    case STAT_DEF: return [](int32_t u) { return getdef(u, 2); };
    case STAT_MORALE: return getmaxmorale;
    default: return nullptr;
  }
}

// What the box's own lines read of the unit and the land where it stands.
struct Facts {
  int32_t unr = -1, stat = 0, basic = 0;
  const Unit* u = nullptr;
  const Monster* t = nullptr;   // the unit's own type: its flags
  int32_t l = -1;               // the land it stands in, -1 none
  int32_t c = -1;               // its commander, -1 for a plain unit
  int32_t heroic = 0, heroicstr = 0;
  int32_t stars = 0, oldage = 0;
  bool blessed = false, godly = false, own = false, dark = false;
  int32_t veystr = 0, cold = 0, drain = 0;
  bool is(int32_t s) const { return stat == s; }
  int32_t ab(int32_t k) const { return getability(unr, k, 1); }
  int32_t god(int32_t path) const { return godpathlevel(u->owner, path); }
  bool f0(uint32_t bit) const { return (u->flags[0] & bit) != 0; }
  bool f1(uint32_t bit) const { return (u->flags[1] & bit) != 0; }
  bool f2(uint32_t bit) const { return (u->flags[2] & bit) != 0; }
};

Facts facts(int32_t unr, int32_t stat, int32_t basic) {
  Facts f;
  f.unr = unr;
  f.stat = stat;
  f.basic = basic;
  f.u = &unit[size_t(unr)];
  f.t = unittyperec(unr);
  f.l = f.u->land >= 0 && f.u->land < MAXLANDS ? f.u->land : -1;
  f.c = unit2com(unr);
  if (f.c >= 0) f.heroic = com[size_t(f.c)].tmpfx, f.heroicstr = com[size_t(f.c)].tmpfxstr;
  const int32_t exp = f.u->exp;
  f.stars = exp <= 14 ? 0 : exp < 50 ? 1 : exp < 100 ? 2 : exp < 200 ? 3 : exp < 400 ? 4 : 5;
  f.oldage = oldagelevel(unr);
  f.blessed = issacred(unr);
  f.godly = f.f1(ST_PROPHET) || f.f2(F3_PRETENDER);
  if (f.l >= 0) {
    const Land& ld = land[size_t(f.l)];
    f.own = ld.veyowner == f.u->owner;
    f.veystr = ld.veystr;
    f.cold = ld.scale[SC_COLD];
    f.drain = ld.scale[SC_DRAIN];
    f.dark = isdarkness(f.l) && !(f.t->flags & (MF_UNDEAD | MF_DEMON)) && f.ab(AB_BLIND) <= 0 &&
             f.ab(AB_DARKVISION) <= 0;
  }
  return f;
}

bool swampland(int32_t l) {
  return l >= 0 && !issea(l) && ((provgeo[size_t(l)].terrain & TM_SWAMP) || findench(EN_SWAMP, l, -1) >= 0);
}

// The lines of one box as they are made, each only when its condition holds.
struct Lines {
  const Facts& f;
  std::vector<std::string> out;
  void add(bool when, const char* format, int32_t v = 0) {
    if (when) out.push_back(line(format, v));
  }
  // A lost eye: no effect on the blind, everything for the one-eyed kinds,
  // else the given penalty.
  void eyeloss(const char* penalty) {
    if (!f.f0(AF_LOSTEYE)) return;
    if (f.ab(AB_BLIND) > 0) out.push_back("Eye Loss: no effect");
    else if (f.ab(AB_EYES) == -1) out.push_back("Eye Loss: -all");
    else out.push_back(penalty);
  }
};

// How strongly a berserker rages (1 without the ability's own figure).
int32_t berserkbonus(const Facts& f) { return f.ab(AB_BERSERK) > 0 ? f.ab(AB_BERSERK) : 1; }

// Experience and the veyrance of the land, for the statistics they move.
void experienceandveyrance(Lines& o) {
  const Facts& f = o.f;
  const Unit& u = *f.u;
  const bool inland = f.l >= 0, str = f.is(STAT_STR);
  if (str) {
    o.add(u.exp > 399, "Experience bonus: +2");
    o.add(u.exp > 99 && u.exp <= 399, "Experience bonus: +1");
  }
  o.add((f.is(STAT_ATT) || f.is(STAT_PREC) || f.is(STAT_DEF) || f.is(STAT_MORALE)) && u.exp > 14,
        "Experience bonus: +%d", f.stars);
  o.add(f.is(STAT_FATIGUE) && f.ab(AB_REINVIGORATION) > 0, "Extra Reinvigoration: %d", f.ab(AB_REINVIGORATION));
  if (f.is(STAT_MORALE) && inland && f.veystr >= 1)
    o.add(true, f.own ? "Friendly Veyrance: +1" : "Hostile Veyrance: -1");
  if (str && f.godly && inland) {
    o.add(f.own, "Veyrance Bonus: +%d", f.veystr);
    o.add(!f.own && f.veystr >= 1, "Veyrance Penalty: -%d", f.veystr);
  }
  if (f.is(STAT_HP) && f.godly && inland) {
    o.add(f.own, "Veyrance Bonus: +%d", f.veystr * f.basic / 5);
    o.add(!f.own && f.veystr >= 1, "Veyrance Penalty: -%d", std::min(f.veystr, 4) * f.basic / 5);
  }
  if (f.is(STAT_MR) && f.godly && inland && f.veystr >= 2)
    o.add(true, f.own ? "Veyrance Bonus: +%d" : "Veyrance Penalty: -%d", f.veystr / 2);
}

// The states that several statistics share: prophet, berserk, hell power,
// old age.
void sharedstates(Lines& o) {
  const Facts& f = o.f;
  const bool att = f.is(STAT_ATT), def = f.is(STAT_DEF), prec = f.is(STAT_PREC), str = f.is(STAT_STR);
  o.add((att || prec || def) && f.f1(ST_PROPHET), "Prophet Bonus: +2");
  o.add((f.is(STAT_PROT) || str || att) && f.f1(ST_BERSERK), "Berserk: +%d", berserkbonus(f));
  o.add(f.stat != STAT_HP && f.stat != STAT_MR && f.stat != STAT_ENC && f.stat != STAT_FATIGUE &&
            f.stat != STAT_LEADERSHIP && f.f2(F3_HELLPOWER),
        "Hell Power: +4");
  o.add((str || att || def) && f.oldage > 0, "Old Age: -%d", f.oldage);
  o.add(prec && f.oldage / 2 > 0, "Old Age: -%d", f.oldage / 2);
}

// Storms, cold, heat and darkness of the land.
void weatherlines(Lines& o) {
  const Facts& f = o.f;
  if (!(f.is(STAT_DEF) || f.is(STAT_ATT) || f.is(STAT_AP) || f.is(STAT_STR)) || f.l < 0) return;
  o.add(f.ab(AB_STORMPOWER) > 0 && isstorm(f.l), "Storm: +%d", f.ab(AB_STORMPOWER));
  const int32_t c = f.ab(AB_COLDPOWER) - f.ab(AB_FIREPOWER);
  o.add(c != 0 && f.cold > 0, "Cold: %+d", c * f.cold);
  o.add(c != 0 && f.cold < 0, "Heat: %+d", f.cold * c);
  if (const int32_t d = f.ab(AB_DARKPOWER); d != 0) {
    o.add(isdarkness(f.l), "Darkness: %+d", d);
    o.add(findench(EN_LIGHT, f.l, -1) >= 0, "Solar Brilliance: %+d", -d);
  }
}

// Wounds and states that defence and attack share, and the ground.
void fightinglines(Lines& o) {
  const Facts& f = o.f;
  if (!f.is(STAT_DEF) && !f.is(STAT_ATT)) return;
  o.add(f.heroic == 12, "Heroic Ability: +%d", f.heroicstr / 100);
  o.add(f.f1(ST_QUICK), "Quickness: +3");
  o.add(f.f0(AF_SLIMED), "Slimed: -half");
  o.add(f.f0(AF_FROZEN), "Frozen: -3");
  o.add(f.f0(AF_CRIPPLED), "Crippled: -4");
  o.add(!f.f0(AF_CRIPPLED) && f.f0(AF_LIMP), "Limp: -1");
  o.eyeloss("Eye Loss: -2");
  if (f.l >= 0 && issea(f.l)) o.add(!(f.t->flags & (MF_AMPHIBIAN | MF_AQUATIC)), "Underwater penalty: -3");
  o.add(swampland(f.l) && !(f.t->flags & MF_SWAMPSURVIVAL), "Swamp penalty: -1");
}

// The lines of one statistic alone, each after those that it shares.
void hitpointlines(Lines& o) {
  const Facts& f = o.f;
  const int32_t s = f.heroicstr;
  o.add(f.heroic == 7, "Heroic Ability: +%d", s * f.basic / 200);
  o.add(f.heroic == 11, "Heroic Ability: +%d", s * f.basic / 250);
  o.add(f.f0(AF_NEVERHEAL), "Never Healing Wound: -%d", f.basic > 9 ? f.basic / 5 : 2);
}

void actionpointlines(Lines& o) {
  const Facts& f = o.f;
  o.add(f.heroic == 8, "Heroic Ability: +%d percent", f.heroicstr / 2);
  o.add(f.f0(AF_SLIMED), "Slimed: -half");
  o.add(f.f2(F3_UNHOLYPOWER), "Unholy Power: +4");
  o.add(f.f0(AF_FROZEN), "Frozen: -half");
}

void strengthlines(Lines& o) {
  const Facts& f = o.f;
  const int32_t s = f.heroicstr;
  o.add(f.heroic == 1, "Heroic Ability: +%d", s * f.basic / 200);
  o.add(f.heroic == 11, "Heroic Ability: +%d", s * f.basic / 400);
  o.add(f.blessed && f.god(P_BLOOD) > 3, "Blessed: +%d", f.god(P_BLOOD) / 2);
  o.add(f.ab(AB_MAGICBONUS) != 0, "Magic bonus: %+d", f.ab(AB_MAGICBONUS));
  o.add(f.f0(AF_WEAKENED), "Weakened: -4");
  o.add(f.f0(AF_LOSTARM), "Lost one arm: -1");
}

void attacklines(Lines& o) {
  const Facts& f = o.f;
  const int32_t s = f.heroicstr;
  o.add(f.heroic == 2, "Heroic Ability: +%d", s / 50);
  o.add(f.heroic == 105, "Heroic Ability: +%d", s / 100);
  o.add(f.blessed && f.god(P_FIRE) > 3, "Blessed: +%d", f.god(P_FIRE) / 2);
  o.add(f.f2(F3_UNHOLYPOWER), "Unholy Power: +4");
  o.add(f.c >= 0 && getcommagic(f.c, P_FIRE) > 0, "Fire Magic Bonus: +%d", f.c >= 0 ? getcommagic(f.c, P_FIRE) : 0);
  o.add(f.ab(AB_AMBIDEXTROUS) != 0, "Ambidextrous: %d (reduces 2-weapon penalty)", f.ab(AB_AMBIDEXTROUS));
  o.add(f.dark, "Darkness: -%d", f.basic / 2);
}

void resistancelines(Lines& o) {
  const Facts& f = o.f;
  const int32_t s = f.heroicstr;
  const bool inland = f.l >= 0;
  o.add(inland && f.drain < -1, "Magic Scale: -%d", -(f.drain / 2));
  o.add(inland && f.drain > 1, "Drain Scale: +%d", f.drain / 2);
  o.add(f.heroic == 4 || f.heroic == 105, "Heroic Ability: +%d", s / 50);
  o.add(f.heroic == 104, "Heroic Ability: +%d", s / 100);
  o.add(f.blessed && f.god(P_ASTRAL) > 3, "Blessed: +%d", (f.god(P_ASTRAL) - 2) / 2);
  o.add(f.f2(F3_HELLPOWER), "Hell Power: +2");
  const int32_t bonus = f.ab(AB_MRBONUS) + (f.f1(ST_MRPLUS) ? 4 : 0);
  o.add(bonus > 0, "Magic Bonus: +%d", bonus);
  o.add(f.f0(AF_FEEBLEMINDED), "Feeble Minded: -5");
}

void encumbrancelines(Lines& o) {
  const Facts& f = o.f;
  const bool inland = f.l >= 0;
  o.add(f.oldage > 0, "Old Age: +%d", f.oldage);
  for (const int32_t side : {3, -3}) {
    if (!inland || f.cold != side) continue;
    const int32_t res = f.ab(side > 0 ? AB_COLDRES : AB_FIRERES);
    const char* two = side > 0 ? "Severe Cold: +2" : "Severe Heat: +2";
    const char* one = side > 0 ? "Severe Cold: +1" : "Severe Heat: +1";
    if (res < 1 && f.basic > 0) o.add(true, two);
    else o.add(res <= 25 && f.basic >= 1, one);
  }
  o.add(inland && (f.t->flags & MF_COLDBLOOD) && f.cold >= 0, "Cold Blooded in cold climate: +%d", f.cold * 3 + 1);
  o.add(f.heroic == 11, "Heroic Ability: +3");
  o.add(swampland(f.l) && !(f.t->flags & MF_SWAMPSURVIVAL), "Swamp penalty: +2");
}

void protectionlines(Lines& o) {
  const Facts& f = o.f;
  o.add(f.c >= 0 && getcommagic(f.c, P_EARTH) > 0, "Earth Magic: +%d", f.c >= 0 ? getcommagic(f.c, P_EARTH) : 0);
  o.add(f.heroic == 6, "Heroic Ability: +%d", f.heroicstr / 33);
}

void precisionlines(Lines& o) {
  const Facts& f = o.f;
  const int32_t s = f.heroicstr;
  o.add(f.heroic == 9, "Heroic Ability: +%d", s / 50);
  o.add(f.heroic == 104, "Heroic Ability: +%d", s / 75);
  o.add(f.c >= 0 && getcommagic(f.c, P_AIR) > 0, "Air Magic Bonus: +%d", f.c >= 0 ? getcommagic(f.c, P_AIR) : 0);
  const int32_t bonus = f.ab(AB_PRECISIONBONUS) + (f.f1(ST_PRECISION) ? 5 : 0);
  o.add(bonus > 0, "Magic Bonus: +%d", bonus);
  o.eyeloss("Eye Loss: -3");
  o.add(f.dark, "Darkness: -%d", f.basic * 75 / 100);
}

void defencelines(Lines& o) {
  const Facts& f = o.f;
  const Unit& u = *f.u;
  const Monster& t = *f.t;
  o.add(t.flags & MF_MOUNTED, "Mounted: +3");
  o.add(f.heroic == 3, "Heroic Ability: +%d", f.heroicstr / 50);
  o.add(f.blessed && f.god(P_WATER) > 3, "Blessed: +%d", f.god(P_WATER) / 2);
  o.add(f.f1(ST_BERSERK), "Berserk: -%d", berserkbonus(f));
  o.add(f.f2(F3_UWDEF) && f.l >= 0 && issea(f.l), "Water Shield: +5");
  o.add((u.batstate == 3 || u.batstate == 5) && !f.f1(ST_BERSERK) && !(t.flags & MF_IMMOBILE), "Routing: -4");
  o.add(f.dark, "Darkness: -%d", f.basic / 2);
  const int32_t d0 = getdef(f.unr, 0), d1 = getdef(f.unr, 1), d2 = getdef(f.unr, 2), d3 = getdef(f.unr, 3);
  o.add(d2 != d1, d2 - d1 > 0 ? "Weapon Defence Modifiers: +%d" : "Weapon Defence Modifiers: %d", d2 - d1);
  o.add(d0 != d3, d0 - d3 > 0 ? "Armor+Shield Defence Modifiers: +%d" : "Armor+Shield Defence Modifiers: %d", d0 - d3);
  o.add(d1 != d0, "Shield Parry: +%d", d1 - d0);
}

void moralelines(Lines& o) {
  const Facts& f = o.f;
  const Unit& u = *f.u;
  const int32_t s = f.heroicstr;
  o.add(u.homeland > 0 && u.homeland == u.land, "Home Province: +1");
  o.add(f.heroic == 5 || f.heroic == 105, "Heroic Ability: +%d", s / 25);
  o.add(f.f1(ST_DIVINE), "Divine spell: +2");
  o.add(f.blessed, "Blessed: +2");
  o.add(f.f0(AF_FRIGHT), "Battle Fright: -5");
  o.add(f.f0(AF_STARVING), "Starving: -4");
}

void leadershiplines(Lines& o) {
  if (o.f.c < 0) return;
  int32_t undead = 0, magic = 0;
  const int32_t normal = maxcomunits(o.f.c, &undead, &magic);
  o.out.push_back("Leadership Limits");
  o.add(true, "Normal Units: %d", normal);
  o.add(true, "Undead Units: %d", undead);
  o.add(true, "Magic Units: %d", magic);
}

// The lines of each statistic alone, by statistic (none for fatigue).
constexpr void (*STATLINES[STATISTICS])(Lines&) = {
    hitpointlines,  actionpointlines, strengthlines, attacklines, resistancelines, protectionlines,
    encumbrancelines, nullptr,       precisionlines, defencelines, moralelines,    leadershiplines};

// The modifier lines, in their order. Values that may come out
// either way are shown with their sign ("Cold: -3"), where a fixed "+"
// would read "+-3".
std::vector<std::string> ownlines(const Facts& f) {
  Lines o{f, {}};
  experienceandveyrance(o);
  sharedstates(o);
  weatherlines(o);
  fightinglines(o);
  if (STATLINES[f.stat]) STATLINES[f.stat](o);
  if ((f.is(STAT_ATT) || f.is(STAT_PREC) || f.is(STAT_DEF)) && f.f0(AF_BLIND))
    o.add(true, f.ab(AB_BLIND) > 0 ? "Blind: no effect" : "Blind: -all");
  return o.out;
}

void currentlines(int32_t unr, int32_t stat, int32_t value, const Monster& t, StatBreakdown& out) {
  const Unit& u = unit[size_t(unr)];
  const int32_t c = unit2com(unr);
  switch (stat) {
    case STAT_HP: out.current = {line("Current Hit Points: %d", u.hp), line("Size: %d", t.size)}; break;
    case STAT_AP:
      out.current = {line("Current Action Points: %d", value), line("Map Movement Speed: %d", getmapmove(unr))};
      if (c >= 0) out.current.push_back(line("Army Map Movement Speed: %d", armymapmove(c)));
      break;
    case STAT_STR: out.current = {line("Current Strength: %d", value)}; break;
    case STAT_ATT:
      out.current = {line("Current Attack Skill: %d", value)};
      for (int32_t n = 0; n < 10 && getnthweapon(unr, n) > 0; n++)
        out.weaponlines.push_back(line("Attack nr %d: %d", n + 1, getweaponatt(unr, n)));
      break;
    case STAT_MR: out.current = {line("Current Magic Resistance: %d", value)}; break;
    case STAT_PROT:
      out.current = {line("Total Protection: %d", value)};
      if (value >= 1) {
        out.weaponlines.push_back(line("Total Protection, Head: %d", getheadprot(unr)));
        out.weaponlines.push_back(line("Total Protection, Body: %d", getbodyprot(unr)));
      }
      break;
    case STAT_ENC:
      out.current = {line("Melee Encumbrance: %d", value), line("Spell Casting Encumbrance: %d", getenc(unr, 1))};
      break;
    case STAT_FATIGUE: out.current = {line("Age: %d (%d)", u.age, getmaxage(unr))}; break;
    case STAT_PREC: out.current = {line("Current Precision: %d", value)}; break;
    case STAT_DEF: out.current = {line("Current Defence and Parry Skill: %d", value)}; break;
    default: break;
  }
}
}  // namespace

StatBreakdown statbreakdown(int32_t unr, int32_t mnr, int32_t stat) {
  StatBreakdown out;
  const Monster* t = typerec(mnr);
  if (!unittyperec(unr) || !t || unr > highestunit || stat < 0 || stat >= STATISTICS) return out;
  const Unit& u = unit[size_t(unr)];
  const StatRow& row = STATROWS[stat];
  out.title = row.title;
  const int32_t basic = basicvalue(*t, stat, u);
  if (row.first) out.first.push_back(line(row.first, basic));
  // A unit whose morale is 30 or more has nothing more to explain.
  if (stat == STAT_MORALE && getmaxmorale(unr) >= 30) return out;
  out.modifiers = ownlines(facts(unr, stat, basic));
  const auto get = getter(stat);
  currentlines(unr, stat, get ? get(unr) : 0, *t, out);
  return out;
}

int32_t unitdescrbox(int32_t unr, int32_t mnr, int32_t stat) {
  bailif(mnr < 0, "ds: bad mnr");
  const StatBreakdown b = statbreakdown(unr, mnr, stat);
  if (!b.title[0]) return ID_EXIT;
  GuiBox box;
  auto build = [&] {
    guiboxbegin();
    guititle("%s", b.title);
    guicloseid(ID_EXIT);
    guiminwidth(360);
    guimaxwidth(450);
    guialign(GUIALIGN_LEFT);
    guitextscale(0.85f);
    for (const std::string& s : b.first) guibutton(0, "%s", s.c_str());
    guitextscale(0.75f);
    for (const std::string& s : b.modifiers) guibutton(0, "%s", s.c_str());
    guitextscale(0.85f);
    for (const std::string& s : b.current) guibutton(0, "%s", s.c_str());
    if (!b.weaponlines.empty()) {
      if (stat == STAT_PROT) guispace(2);
      guitextscale(0.75f);
      for (const std::string& s : b.weaponlines) guibutton(0, "%s", s.c_str());
    }
    guispace(2);
    guitextscale(0.7f);
    guitextlong(0, descrtextof(finddescr(b.title)));
    guispace(3);
    guitextscale(1.0f);
    guialign(GUIALIGN_CENTRE);
    guibutton(ID_EXIT, "Exit");
    guishortcut(ID_EXIT, KEY_ESCAPE);
    guishortcut(ID_EXIT, KEY_RETURN);
    guishortcut(ID_EXIT, KEY_SPACE);
    guishow(-1, -1);
    guisetfade(0);
  };
  // A left click on a line, which is plain text, closes the box as well.
  return guimodalplainclose(build);
}
