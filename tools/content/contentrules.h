// The content rules of the built-in data set: the price rule of unit types
// (data/README.md, "Costs") and what counts as recruitable. The data tool
// (tools/content/main.cpp) writes the prices into data/units.txt from these
// rules, and the content invariant tests hold the loaded tables to them, so
// the rule is written once. Header only: the tool and the tests include it.
#pragma once
#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "ai/design.h"
#include "world/gamedata.h"
#include "world/grammar.h"
#include "world/rules.h"
#include "world/units.h"

namespace content {

// ------------------------------------------------------------ type magic
// The magic a unit type starts with: fixed levels per path 0..8 and the
// random rows, each a chance in percent of one more level.
struct TypeMagicOf {
  int level[9] = {};
  int randomrows = 0;
  int randomchance = 0;     // sum of the random rows' chances
  int mage() const { int s = 0; for (int p = 0; p < 8; p++) s += level[p]; return s; }
  int best() const { return *std::max_element(level, level + 8); }
  int bestpath() const { return int(std::max_element(level, level + 8) - level); }
};

inline TypeMagicOf typemagicof(int m) {
  TypeMagicOf t;
  for (int i = 0; i < MAXTYPEMAGIC && typemagic[i].type >= 0; i++)
    if (typemagic[i].type == m && typemagic[i].path >= 0 && typemagic[i].path <= 8)
      t.level[typemagic[i].path] += typemagic[i].level;
    else if (typemagic[i].type == m)
      t.randomrows++, t.randomchance += 100;   // a random pick of a path: one sure level
  for (int i = 0; i < MAXRANDMAGIC && randmagic[i].type >= 0; i++)
    if (randmagic[i].type == m) t.randomrows++, t.randomchance += randmagic[i].chance;
  return t;
}

// ------------------------------------------------------------ roles
// Where a unit type can be had: recruited as a troop or a commander (nation
// lists, fort attributes, population lists, site recruits, start armies,
// mercenary bands), or chosen as a pretender form.
struct Roles {
  std::vector<char> troop, commander, pretender;
  Roles() : troop(MAXUNITTYPES), commander(MAXUNITTYPES), pretender(MAXUNITTYPES) {}
  bool recruitable(int m) const { return troop[m] || commander[m]; }
};

inline void markrecruitlist(Roles& r, const int32_t* list) {
  bool coms = false;
  for (int k = 0; k < RECRUITLEN && list[k] != RECRUIT_END; k++) {
    if (list[k] == RECRUIT_COMMANDERS) { coms = true; continue; }
    if (list[k] > 0 && list[k] < MAXUNITTYPES) (coms ? r.commander : r.troop)[list[k]] = 1;
  }
}

inline Roles rolesofdata() {
  Roles r;
  auto mark = [&](std::vector<char>& v, int32_t m) { if (m > 0 && m < MAXUNITTYPES) v[m] = 1; };
  static const uint32_t troopattrs[] = {NA_STARTUNIT1, NA_STARTUNIT2, NA_COASTUNIT1, NA_COASTUNIT2, NA_LANDUNIT1,
                                        NA_LANDUNIT2, NA_UWUNIT1, NA_UWUNIT2, NA_UWUNIT3, NA_UWUNIT4, NA_UWUNIT5};
  static const uint32_t comattrs[] = {NA_STARTCOM, NA_STARTSCOUT, NA_COASTCOM1, NA_COASTCOM2, NA_LANDCOM1, NA_LANDCOM2,
                                      NA_UWCOM1, NA_UWCOM2, NA_UWCOM3, NA_UWCOM4, NA_UWCOM5};
  for (int n = 0; n < nbrofnations(); n++) {
    const Nation& na = nations[n];
    markrecruitlist(r, na.recruit);
    for (int k = 0; k < NATIONATTRS && na.attrkey[k] != 0; k++) {
      for (uint32_t a : troopattrs) if (na.attrkey[k] == a) mark(r.troop, na.attrval[k]);
      for (uint32_t a : comattrs) if (na.attrkey[k] == a) mark(r.commander, na.attrval[k]);
    }
    for (int g = 0; g < MAXGODFORMS && na.godform[g] != 0; g++) mark(r.pretender, na.godform[g]);
  }
  for (int p = 0; p < MAXPOPTYPES; p++) markrecruitlist(r, poprecruit[p].data());
  for (int s = 1; s < nbrofsites(); s++)
    for (int k = 0; k < SITEEFFECTS; k++) {
      int16_t kind = sites[s].effectkind[k];
      if (kind == SE_RECUNIT || kind == SE_RECUNITCAP) mark(r.troop, sites[s].effectval[k]);
      if (kind == SE_RECCOM || kind == SE_RECCOMCAP) mark(r.commander, sites[s].effectval[k]);
    }
  for (int t = 0; t < nbrofmerctemplates(); t++) {
    mark(r.commander, merctemplates[t].comtype);
    mark(r.troop, merctemplates[t].unittype);
  }
  return r;
}

// ------------------------------------------------------------ nations
inline bool playable(int n) { return nations[n].era >= 1 && nations[n].era <= 3; }

// The troops (commanders false) or commanders of a nation's recruit list.
inline std::vector<int> recruitof(int n, bool commanders) {
  std::vector<int> out;
  bool coms = false;
  for (int k = 0; k < RECRUITLEN && nations[n].recruit[k] != RECRUIT_END; k++) {
    if (nations[n].recruit[k] == RECRUIT_COMMANDERS) { coms = true; continue; }
    if (coms == commanders && nations[n].recruit[k] > 0) out.push_back(nations[n].recruit[k]);
  }
  return out;
}

// The nation's home site (start site attribute), 0 none.
inline int homesite(int n) {
  const int s = getnatattr(n, NA_STARTSITE);
  return s > 0 && s < MAXSITES ? s : 0;
}

// The nation's main path: the path of its home site, whose gems it gives; -1 none.
inline int mainpath(int n) {
  const int s = homesite(n);
  return s && sites[s].path >= 0 && sites[s].path <= 8 ? sites[s].path : -1;
}

// The commanders a nation can have: its recruit list and what its start
// sites recruit.
inline std::vector<int> commandersof(int n) {
  std::vector<int> out = recruitof(n, true);
  for (int k = 0; k < NATIONATTRS && nations[n].attrkey[k] != 0; k++) {
    const uint32_t key = nations[n].attrkey[k];
    const int32_t v = nations[n].attrval[k];
    if ((key == NA_STARTSITE || key == NA_STARTSITEBASE) && v > 0 && v < MAXSITES)
      for (int e = 0; e < SITEEFFECTS; e++)
        if (sites[v].effectkind[e] == SE_RECCOMCAP || sites[v].effectkind[e] == SE_RECCOM) out.push_back(sites[v].effectval[e]);
  }
  return out;
}

// The unit that a nation recruits only in its capital, through its home
// site; 0 none.
inline int capitalunitof(int n) {
  for (int k = 0; k < NATIONATTRS && nations[n].attrkey[k] != 0; k++)
    if (nations[n].attrkey[k] == NA_STARTSITE || nations[n].attrkey[k] == NA_STARTSITEBASE) {
      const int32_t v = nations[n].attrval[k];
      if (v <= 0 || v >= MAXSITES) continue;
      for (int e = 0; e < SITEEFFECTS; e++)
        if ((sites[v].effectkind[e] == SE_RECUNITCAP || sites[v].effectkind[e] == SE_RECCOMCAP) && sites[v].effectval[e] > 0)
          return sites[v].effectval[e];
    }
  return 0;
}

// The same people in the era before (the playable nation of that name), -1 none.
inline int earlierpeople(int n) {
  for (int o = 0; o < nbrofnations(); o++)
    if (playable(o) && nations[o].era == nations[n].era - 1 && !strcmp(nations[o].name, nations[n].name)) return o;
  return -1;
}

// Troops and commanders of a later era that no earlier era of its people recruits.
inline int newunitsofera(int n) {
  std::vector<int> earlier;
  for (int o = earlierpeople(n); o >= 0; o = earlierpeople(o))
    for (bool c : {false, true})
      for (int m : recruitof(o, c)) earlier.push_back(m);
  int fresh = 0;
  for (bool c : {false, true})
    for (int m : recruitof(n, c)) fresh += std::find(earlier.begin(), earlier.end(), m) == earlier.end();
  return fresh;
}

// The highest level in each path that a nation's commanders reach: fixed
// magic, one more when a random row may add to it.
inline std::array<int, 9> nationreach(int n) {
  std::array<int, 9> reach{};
  for (int m : commandersof(n)) {
    if (m <= 0 || m >= MAXUNITTYPES) continue;
    const TypeMagicOf t = typemagicof(m);
    for (int p = 0; p < 9; p++)
      if (t.level[p] > 0) reach[p] = std::max(reach[p], t.level[p] + (t.randomrows > 0 ? 1 : 0));
  }
  return reach;
}

// ------------------------------------------------------------ the price rule
// Gold and resources of a unit type, from its body, gear, leadership and
// magic. Worth is counted in tenths of gold; see data/README.md.
struct AbilityPrice {
  int ability;
  int per;        // tenths of gold per point of value
};
inline constexpr AbilityPrice abilityprices[] = {
    {10, 300}, {11, 300}, {12, 300}, {13, 300}, {14, 300}, {15, 300}, {16, 300}, {17, 300}, {18, 150}, {22, 1000},
    {30, 150}, {31, 150}, {32, 150}, {33, 150}, {34, 150}, {35, 150}, {36, 150}, {37, 150},
    {103, 20}, {105, 50}, {106, 10}, {108, 2}, {117, 10}, {118, 5}, {121, 30}, {122, 1}, {125, 2}, {131, 2},
    {150, 10}, {151, 5}, {156, 100}, {160, 10}, {163, 10}, {170, 2}, {172, 10}, {174, 20}, {176, 20}, {177, 20},
    {181, 10}, {183, 30}, {189, 5}, {190, 20}, {198, 1}, {199, 1}, {200, 1}, {201, 1}, {208, 1}, {212, 50},
    {217, 10}, {220, 10}, {281, 1}, {291, 30}, {293, 20}, {308, 5}, {316, 10}};
// Abilities whose worth does not grow with their value.
inline constexpr AbilityPrice flatabilityprices[] = {{210, 200}, {211, 100}, {213, 200}, {214, 100}, {224, 200},
                                                      {247, 200}, {298, 200}};

struct FlagPrice {
  uint32_t bit;
  int worth;      // tenths of gold
};
inline constexpr FlagPrice flagprices[] = {
    {MF_MOUNTED, 50}, {MF_FLYING, 80}, {MF_TRAMPLE, 50}, {MF_STEALTHY, 30}, {MF_AMPHIBIAN, 20}, {MF_AQUATIC, 10},
    {MF_POORAMPHIBIAN, 10}, {MF_FORESTSURVIVAL, 10}, {MF_MOUNTAINSURVIVAL, 10}, {MF_SWAMPSURVIVAL, 10},
    {MF_WASTESURVIVAL, 10}, {MF_NEEDNOTEAT, 20}, {MF_ETHEREAL, 100}, {MF_HOLY, 20}, {MF_IMMORTAL, 200},
    {MF_FIRERES, 50}, {MF_COLDRES, 50}, {MF_POISONRES, 50}, {MF_SHOCKRES, 50}, {MF_COLDBLOOD, -10},
    {MF_IMMOBILE, -100}};
// Leadership is paid by types that serve as commanders.
inline constexpr FlagPrice leaderprices[] = {
    {MF2_POORLEADER, 50}, {MF2_GOODLEADER, 300}, {MF2_EXPERTLEADER, 500}, {MF2_SUPERIORLEADER, 800},
    {MF2_POORMAGICLEADER, 50}, {MF2_OKMAGICLEADER, 100}, {MF2_GOODMAGICLEADER, 200}, {MF2_EXPERTMAGICLEADER, 300},
    {MF2_SUPERIORMAGICLEADER, 400}, {MF2_POORUNDEADLEADER, 50}, {MF2_OKUNDEADLEADER, 100},
    {MF2_GOODUNDEADLEADER, 200}, {MF2_EXPERTUNDEADLEADER, 300}, {MF2_SUPERIORUNDEADLEADER, 400}};
inline constexpr int OKLEADERWORTH = 150;       // no ordinary leadership bit: "okleader"

// Magic: a path at level L is worth 30 x L(L+1)/2 gold, holy power half of
// that; a random row its chance of 25 gold.
inline int pathworth(int level, bool priest) { return (priest ? 150 : 300) * level * (level + 1) / 2; }

inline int bodyworth(int m) {
  const Monster& u = unittypes[m];
  int w = 100;
  w += (u.hp - 10) * 5 + u.prot * 5 + (u.att - 10) * 10 + (u.def - 10) * 10 + (u.str - 10) * 5;
  w += (u.mr - 10) * 10 + (std::min<int>(u.mor, 20) - 10) * 5 + (u.size - 2) * 10;
  w += (u.ap - 12) * 5 + (u.mapmove - 2) * 30;
  bool missile = false;
  int melee = 0;
  for (int16_t x : u.weapon) {
    if (x <= 0) continue;
    const Weapon& wp = weapons[x];
    if (wp.range != 0) missile = true;
    else melee++;
    if (wp.secondaryeffect != 0) w += 10;
  }
  if (missile) w += 10 + (u.prec - 10) * 10;
  if (melee > 1) w += (melee - 1) * 20;
  for (const FlagPrice& f : flagprices)
    if (u.flags & f.bit) w += f.worth;
  for (int k = 0; k < UNITABILITIES && u.abilityid[k] != 0; k++) {
    for (const AbilityPrice& a : abilityprices)
      if (a.ability == u.abilityid[k]) w += a.per * u.abilityval[k];
    for (const AbilityPrice& a : flatabilityprices)
      if (a.ability == u.abilityid[k] && u.abilityval[k] > 0) w += a.per;
  }
  return w;
}

inline int leaderworth(int m) {
  const Monster& u = unittypes[m];
  int w = 0;
  const uint32_t ordinary = MF2_NOLEADER | MF2_POORLEADER | MF2_GOODLEADER | MF2_EXPERTLEADER | MF2_SUPERIORLEADER;
  if (!(u.flags2 & ordinary)) w += OKLEADERWORTH;
  for (const FlagPrice& f : leaderprices)
    if (u.flags2 & f.bit) w += f.worth;
  return w;
}

inline int magicworth(int m) {
  TypeMagicOf t = typemagicof(m);
  int w = 0;
  for (int p = 0; p < 9; p++) w += pathworth(t.level[p], p == 8);
  return w + t.randomchance * 250 / 100;
}

// The gold a unit type costs; `commander` adds the worth of its leadership.
inline int goldcost(int m, bool commander) {
  int w = bodyworth(m) + magicworth(m) + (commander ? leaderworth(m) : 0);
  return std::max(1, (w + 5) / 10);
}

// Resources pay for the gear: the armors and weapons the type is made with.
inline int resourcecost(int m) {
  const Monster& u = unittypes[m];
  int r = 0;
  for (int16_t a : u.armor) if (a > 0) r += armors[a].rcost;
  for (int16_t x : u.weapon) if (x > 0) r += weapons[x].rcost;
  return std::max(1, r);
}

// Unit a outclasses unit b: at least as good in every fighting figure and
// every priced trait of b, better in one.
inline bool dominates(int a, int b) {
  const Monster &x = unittypes[a], &y = unittypes[b];
  const int16_t Monster::*figures[] = {&Monster::hp, &Monster::prot, &Monster::att, &Monster::def, &Monster::str,
                                       &Monster::mr, &Monster::mor, &Monster::prec, &Monster::ap, &Monster::mapmove};
  bool better = false;
  for (auto f : figures) {
    if (x.*f < y.*f) return false;
    better = better || x.*f > y.*f;
  }
  for (const FlagPrice& f : flagprices)
    if (f.worth > 0 && (y.flags & f.bit) && !(x.flags & f.bit)) return false;
  auto gear = [](const Monster& u, bool missile) {
    int n = 0;
    for (int16_t w : u.weapon) n += w > 0 && (weapons[w].range != 0) == missile;
    return n;
  };
  if (gear(x, true) < gear(y, true) || gear(x, false) < gear(y, false)) return false;
  for (int k = 0; k < UNITABILITIES && y.abilityid[k] != 0; k++) {
    int have = 0;
    for (int j = 0; j < UNITABILITIES && x.abilityid[j] != 0; j++)
      if (x.abilityid[j] == y.abilityid[k]) have = x.abilityval[j];
    if (have < y.abilityval[k]) return false;
  }
  return better;
}

// A type pays for its leadership when it serves as a commander somewhere, or,
// when nothing recruits it, when it carries a leadership class of its own.
inline bool servesascommander(const Roles& r, int m) {
  if (r.commander[m]) return true;
  if (r.troop[m]) return false;
  const uint32_t classes = MF2_POORLEADER | MF2_GOODLEADER | MF2_EXPERTLEADER | MF2_SUPERIORLEADER |
                           MF2_POORMAGICLEADER | MF2_OKMAGICLEADER | MF2_GOODMAGICLEADER | MF2_EXPERTMAGICLEADER |
                           MF2_SUPERIORMAGICLEADER | MF2_POORUNDEADLEADER | MF2_OKUNDEADLEADER |
                           MF2_GOODUNDEADLEADER | MF2_EXPERTUNDEADLEADER | MF2_SUPERIORUNDEADLEADER;
  return (unittypes[m].flags2 & classes) != 0;
}

// Rows whose price the rule sets: every used unit type but the sentinel and
// the pretender forms, whose gold is their design cost.
inline bool pricedbyrule(const Roles& r, int m) { return m > 0 && isusedunittype(m) && !r.pretender[m]; }

// ------------------------------------------------------------ gods
// The forms a god may take: every nation's pretender forms, and the plain
// form of a god reduced in power.
inline std::vector<int> godforms(const Roles& r) {
  std::vector<int> forms;
  for (int m = 1; m < MAXUNITTYPES; m++)
    if (r.pretender[m] || m == FALLBACKFORM) forms.push_back(m);
  return forms;
}

// A god starts younger than its old age, whatever its design. Its body
// starts at its form's start age, which the new game lifts to at least
// GODMINAGE plus a draw below GODAGESPREAD; old age comes soonest to the
// design with the most Fire (each level shortens a life) and no more of the
// other paths than the form brings (they only lengthen it). "" when the form
// keeps to it, else what breaks it. The body of that design is made for a
// moment in the unit tables, which hold no game here (the data tool and the
// content tests have the built-in tables alone): they are cleared around it.
inline std::string godageproblem(int form) {
  if (gettypeability(form, AB_OLDERROLL, -1) > 0) return "its start age has an open-ended roll";
  const int start = std::max<int>(startage(form), GODMINAGE + GODAGESPREAD - 1);
  clearunittables();
  const int32_t c = newcom(form, 0);
  if (c < 0) return "no god of the form can be made";
  com[size_t(c)].path[P_FIRE] = uint8_t(std::max<int>(com[size_t(c)].path[P_FIRE], MAXDESIGNPATH));
  const int oldage = getmaxage(com[size_t(c)].body);
  clearunittables();
  if (start < oldage) return "";
  return "a god of it starts " + std::to_string(start) + " years old, and old age comes at " +
         std::to_string(oldage) + " with Fire " + std::to_string(MAXDESIGNPATH);
}

// ------------------------------------------------------------ spells
// Where the rules of the game look for each lasting enchantment kind (the
// spell's damage field): on one province, over the whole world, or on land 0
// (the arena of death matches). A ritual must create its kind at that scope:
// effect 10082 on a province, 10081 world-wide, 10083 on land 0.
enum class Scope { Province, World, Land0 };
constexpr int16_t EFFECT_WORLDENCH = 10081, EFFECT_PROVINCEENCH = 10082, EFFECT_LAND0ENCH = 10083;
constexpr int16_t EFFECT_SUMMON = 10001, EFFECT_BATTLESTATE = 10, EFFECT_BATTLEENCH = 81;

// Path masks: which paths an enchantment's effect belongs to.
constexpr unsigned PM_F = 1, PM_A = 2, PM_W = 4, PM_E = 8, PM_S = 16, PM_D = 32, PM_N = 64, PM_B = 128, PM_H = 256;

struct EnchKind {
  int kind;
  Scope scope;
  int gempath;        // path of the gems it gives its owner, -1 none
  unsigned paths;     // paths whose mages may cast it (its effect fits them)
  const char* does;   // what it does, for the spell's description
};
inline constexpr EnchKind enchkinds[] = {
    {EN_STORM, Scope::Province, -1, PM_A, "storms rage over the province: missile precision is halved and mages with storm power gain an air level there"},
    {EN_CURRENTS, Scope::Province, -1, PM_W, "the currents of the sea province favour the caster's units (+4 action points) and hinder all others (-4)"},
    {EN_CURRENTS, Scope::World, -1, PM_W, "the caster's units bear their burden lightly under water: 2 less encumbrance in every sea province instead of 2 more"},
    {EN_RAIN, Scope::Province, -1, PM_W | PM_A, "rain falls on the province in every battle fought there"},
    {EN_EYESOFGOD, Scope::World, -1, PM_S | PM_H, "the caster sees every province of the world and may inspect every hero"},
    {EN_WINTER, Scope::World, -1, PM_A | PM_W, "storms rage over every land: missile precision is halved, income of dry land falls by a fifth and no army sails"},
    {EN_PYRE, Scope::World, 0, PM_F, "the caster receives 20 fire gems every month"},
    {EN_DROUGHT, Scope::World, -1, PM_F, "rivers dry up: provinces with fresh water give 30 percent less income"},
    {EN_FORGE, Scope::World, -1, PM_E | PM_F, "the caster's smiths forge as if one level more skilled, and reducible items cost half their gems"},
    {EN_LIGHT, Scope::Province, -1, PM_F | PM_S | PM_H, "no darkness can fall on the province, and creatures that draw power from darkness are weakened there"},
    {EN_FERTILITY, Scope::World, -1, PM_N | PM_E, "provinces in the caster's veyrance give more income, the more the stronger the veyrance"},
    {EN_FROZENSEAS, Scope::World, -1, PM_W, "the seas freeze over: no army may pass between land and sea, and no army sails"},
    {EN_AEGIS, Scope::World, -1, PM_E | PM_S | PM_H, "the caster's units in their own veyrance gain hit points by its strength"},
    {EN_ORDEROFHEAVEN, Scope::World, -1, PM_S | PM_H, "foreign units in the caster's veyrance lose morale by its strength"},
    {EN_MISERY, Scope::World, 5, PM_D, "the caster receives 21 death gems every month, and every province gives a tenth more income"},
    {EN_BOUNTY, Scope::World, -1, PM_N | PM_E, "provinces in the caster's veyrance give more resources, the more the stronger the veyrance"},
    {EN_ASTRALWINDOW, Scope::Province, -1, PM_S | PM_W, "the caster sees everything in the province"},
    {EN_ASTRALPROJECTION, Scope::Province, -1, PM_S, "the caster sees everything in the province"},
    {EN_ARENA, Scope::Land0, -1, PM_S | PM_F | PM_E, "an arena opens where the champions of every nation may fight death matches"},
    {EN_ARCANENEXUS, Scope::Province, -1, PM_S, "astral mages in the province cast as if one level more skilled"},
    {EN_OAK, Scope::World, 6, PM_N, "the caster receives 10 nature gems every month"},
    {EN_MAELSTROM, Scope::World, -1, PM_S | PM_W, "the caster receives 15 water, 5 astral, 3 air and 1 fire, earth, death and nature gems every month"},
    {EN_WELL, Scope::World, 3, PM_E, "the caster receives 20 earth gems every month"},
    {EN_GATE, Scope::World, 1, PM_A, "the caster receives 20 air gems every month"},
    {EN_GOLDEN, Scope::World, -1, PM_F | PM_E, "the caster's provinces give 5 percent more income and 20 percent more resources"},
    {EN_FOCUS, Scope::World, 4, PM_S, "the caster receives 5 astral pearls every month"},
    {EN_FAMINE, Scope::World, -1, PM_D | PM_B, "darkness falls on the world: income and resources everywhere fall to a tenth"},
    {EN_WATERFORALL, Scope::World, -1, PM_W, "every army may enter the sea as if it breathed water"},
    {EN_DECEPTION, Scope::Province, -1, PM_A | PM_S | PM_W | PM_D, "units in the province lose 4 morale"},
    {EN_IRONWALLS, Scope::Province, -1, PM_E | PM_N, "the walls of the province's fort gain 200 defence"},
    {EN_FOG, Scope::Province, -1, PM_W | PM_A, "fog covers the province: missile precision is halved there"},
    {EN_MIST, Scope::Province, -1, PM_D | PM_W, "a foul mist covers the province: missile precision is halved there"},
    {EN_DARKNESS, Scope::Province, -1, PM_D | PM_B, "darkness lies over the province"},
    {EN_CW, Scope::World, 5, PM_D | PM_N, "the caster receives 3 death and 6 nature gems every month"},
    {EN_SWAMP, Scope::Province, -1, PM_W | PM_N | PM_D, "the province turns to swamp: units without swamp survival fight and move worse"},
};

inline Scope scopeofeffect(int effect) {
  return effect == EFFECT_PROVINCEENCH ? Scope::Province : effect == EFFECT_WORLDENCH ? Scope::World : Scope::Land0;
}
inline bool islastingench(const Spell& s) {
  return s.effect == EFFECT_WORLDENCH || s.effect == EFFECT_PROVINCEENCH || s.effect == EFFECT_LAND0ENCH;
}
inline const EnchKind* enchkindof(const Spell& s) {
  for (const EnchKind& k : enchkinds)
    if (k.kind == s.damage && k.scope == scopeofeffect(s.effect)) return &k;
  return nullptr;
}

// States that battle spells give (effect 10: to their targets; effect 81: to
// every unit of the caster's side), by the spell's damage field.
struct BattleState {
  int kind;
  int word;           // the unit flag word that carries it: 1 afflictions, 2 states, 3 third word
  uint32_t bit;
  bool hostile;
  const char* name;
};
inline constexpr BattleState battlestates[] = {
    {1, 2, 0x40000, false, "quickness (double action points, +3 attack and defence)"},
    {2, 2, 0x10000, false, "stone skin (protection at least 15, +2)"},
    {3, 2, 0x10, false, "bark skin (protection at least 10, +1)"},
    {4, 2, 0x10000000, false, "iron skin (protection at least 20, +3)"},
    {5, 2, 0x8, false, "an air shield that turns aside most missiles"},
    {6, 3, 0x8000, false, "a fire shield that burns attackers"},
    {7, 2, 0x80, false, "strength +4"},
    {8, 2, 0x4, false, "precision +5"},
    {9, 2, 0x100, false, "berserk fury"},
    {10, 2, 0x1, false, "a blessing for sacred units"},
    {11, 2, 0x2, false, "luck"},
    {12, 2, 0x4000000, false, "magic resistance +4"},
    {13, 2, 0x8000, false, "courage (+2 morale)"},
    {14, 2, 0x20000, false, "flight"},
    {15, 2, 0x40, false, "hardened armour (+3 protection for each piece worn)"},
    {16, 2, 0x2000, false, "cold resistance"},
    {17, 2, 0x400, false, "fire resistance"},
    {18, 2, 0x1000000, false, "poison resistance"},
    {19, 2, 0x800, false, "shock resistance"},
    {20, 2, 0x8000000, false, "an ethereal body"},
    {21, 3, 0x20000000, false, "regeneration"},
    {22, 3, 0x20, false, "a water shield (+5 defence under water)"},
    {23, 3, 0x20000, false, "hell power (+4 strength, attack, defence and protection)"},
    {24, 3, 0x2000000, false, "unholy power (+4 attack and action points)"},
    {25, 1, 0x400, true, "rusted armour: the targets lose the armour they wear"},
};
inline const BattleState* battlestateof(const Spell& s) {
  if (s.effect != EFFECT_BATTLESTATE && s.effect != EFFECT_BATTLEENCH) return nullptr;
  for (const BattleState& b : battlestates)
    if (b.kind == s.damage) return &b;
  return nullptr;
}

// A spell that only some nations know.
inline bool isnational(int s) {
  for (int a = 0; a < SPELLATTRS && spells[s].attrkey[a] != 0; a++)
    if (spells[s].attrkey[a] == SPA_NATION) return true;
  return false;
}

// A spell kept for other nations than n (spell attribute "nation").
inline bool keptfromnation(int s, int n) {
  bool restricted = false;
  for (int a = 0; a < SPELLATTRS && spells[s].attrkey[a] != 0; a++)
    if (spells[s].attrkey[a] == SPA_NATION) {
      if (spells[s].attrval[a] == n + 100) return false;
      restricted = true;
    }
  return restricted;
}

// The most an item adds to a path that a commander already has.
inline int itemboost(int p) {
  int best = 0;
  for (int i = 1; i < nbrofitems(); i++) {
    if (items[i].cursed < 0) continue;
    int b = 0;
    for (int k = 0; k < ITEMABILITIES && items[i].abilityid[k] != 0; k++) {
      const int a = items[i].abilityid[k], v = items[i].abilityval[k];
      if (a == 10 + p || a == 22 || (a == 20 && p <= 3) || (a == 21 && p >= 4 && p <= 7)) b += v;
      if (a == 119 && (p == 0 || p == 4)) b += 2;
    }
    best = std::max(best, b);
  }
  return best;
}

// A ritual that no nation's mage (with the best item of its path) reaches
// and that no item casts: nobody can ever cast it.
inline bool ritualcastable(int s) {
  const Spell& sp = spells[s];
  for (int i = 1; i < nbrofitems(); i++)
    if (items[i].spell[0] && !strcmp(items[i].spell, sp.name)) return true;
  if (sp.range == -1 || sp.researchlevel > 9 || (sp.school >= SCH_DIVINE && sp.researchlevel != 0)) return false;
  for (int n = 0; n < nbrofnations(); n++) {
    if (!playable(n) || keptfromnation(s, n)) continue;
    const std::array<int, 9> reach = nationreach(n);
    bool ok = true;
    for (int k = 0; k < 2; k++)
      if (sp.path[k] >= 0 && sp.path[k] <= 8 && sp.pathlevel[k] > 0)
        ok = ok && reach[sp.path[k]] > 0 && reach[sp.path[k]] + itemboost(sp.path[k]) >= sp.pathlevel[k];
    if (ok) return true;
  }
  return false;
}

// A summoning ritual costs one gem for every 10 gold that what it brings is
// worth (the gold of the summoned type, times the count), at least one.
inline int summongems(const Roles& r, const Spell& s) {
  if (s.effect != EFFECT_SUMMON || s.damage <= 0 || s.damage >= MAXUNITTYPES) return 0;
  const int gold = goldcost(s.damage, servesascommander(r, s.damage)) * std::max<int>(1, s.nbreff);
  return std::max(1, (gold + 5) / 10);
}

// ------------------------------------------------------------ abilities
// What each ability does for its holder, for descriptions; an item or unit
// whose abilities are all outside this table gives nothing that a rule reads.
// Every text is a noun phrase: "It gives ...", "It has ...".
struct AbilityText {
  int ability;
  const char* text;   // "%d" takes the value
};
inline constexpr AbilityText abilitytexts[] = {
    {10, "+%d fire magic"}, {11, "+%d air magic"}, {12, "+%d water magic"}, {13, "+%d earth magic"},
    {14, "+%d astral magic"}, {15, "+%d death magic"}, {16, "+%d nature magic"}, {17, "+%d blood magic"},
    {18, "+%d holy power"}, {20, "+%d to every elemental path"}, {21, "+%d to every sorcery path"},
    {22, "+%d to every magic path"}, {30, "%d fire gems a month"}, {31, "%d air gems a month"},
    {32, "%d water gems a month"}, {33, "%d earth gems a month"}, {34, "%d astral pearls a month"},
    {35, "%d death gems a month"}, {36, "%d nature gems a month"}, {37, "%d blood slaves a month"},
    {103, "standard: +%d morale to the troops"}, {105, "awe %d"}, {106, "poison cloud %d"}, {108, "stealth %d"},
    {109, "unseen passage for %d size of troops"}, {111, "water breathing for %d size of troops"},
    {113, "flight for %d size of troops"}, {117, "reinvigoration %d"}, {118, "forge bonus %d percent"},
    {119, "+2 fire and astral magic"}, {121, "+%d research"}, {122, "%d more supplies"},
    {125, "siege bonus %d"}, {129, "the power to leave the sea"}, {130, "a way onto land for %d size of sea troops"},
    {131, "pillage bonus %d"}, {132, "alchemy bonus %d percent"}, {138, "+1 magic in the path it names"},
    {150, "+%d attack"}, {151, "+%d strength"}, {157, "leadership of %d more troops"}, {158, "leadership of %d more magic beings"},
    {159, "leadership of %d more undead"}, {160, "+%d magic resistance"}, {161, "spell penetration %d"},
    {162, "fear among animals (%d)"}, {163, "fire shield %d"}, {170, "patrol bonus %d"}, {172, "disease cloud %d"},
    {174, "storm power %d"}, {175, "immunity to storms"}, {176, "cold power %d"}, {177, "fire power %d"},
    {178, "%d more eyes"}, {181, "+%d precision"}, {183, "fear %d"}, {187, "magic at %d percent"},
    {189, "regeneration of %d percent of its hit points a round"}, {190, "berserk %d"}, {198, "fire resistance %d"},
    {199, "shock resistance %d"}, {200, "poison resistance %d"}, {201, "cold resistance %d"}, {208, "air shield %d"},
    {212, "the healing of afflictions (%d)"}, {213, "the skills of an assassin"}, {214, "the skills of a spy"}, {217, "ambidextrous %d"}, {220, "cold aura %d"},
    {221, "%d more regeneration at sea"}, {231, "strength in spring (%d percent)"}, {232, "strength in summer (%d percent)"},
    {233, "strength in autumn (%d percent)"}, {234, "strength in winter (%d percent)"}, {248, "research of at least %d"},
    {272, "research by the province's productivity (%d)"}, {273, "immunity to drain"}, {281, "dark vision %d"},
    {291, "+%d to every fighting figure"}, {293, "dark power %d"}, {308, "+%d morale"}, {316, "heat aura %d"},
    {332, "+%d magic away from home"}};
inline const char* abilitytext(int a) {
  for (const AbilityText& t : abilitytexts)
    if (t.ability == a) return t.text;
  return nullptr;
}

// ------------------------------------------------------------ names
// Unit names that the game's plural rule (append "s", "-man" to "-men",
// "-y" to "-ies", a title prefix "X of" to "Xs of", ...) would get wrong:
// English endings it does not know, and "A of B" turned into "A of Bs".
inline bool pluralgoeswrong(const std::string& n) {
  auto ends = [&](const char* e) { return n.size() >= strlen(e) && n.compare(n.size() - strlen(e), strlen(e), e) == 0; };
  if (n.find(" at ") != std::string::npos) return n != "Man at Arms";
  const size_t of = n.find(" of ");
  if (of != std::string::npos) {
    char b[PLURALLEN];
    const std::string p = pluralname(2, n.c_str(), b), tail = n.substr(of);
    return p.size() < tail.size() || p.compare(p.size() - tail.size(), tail.size(), tail) != 0;
  }
  if (ends("ch")) return !ends("arch");
  if (ends("ief")) return !ends("hief") || ends("Thief") || ends("thief");
  return ends("sh") || ends("x") || ends("z") || (ends("ss") && !ends("ess")) || ends("fe") || ends("ouse") ||
         ends("child") || ends("haman") || ends("us") || ends("is") || (ends("o") && !ends("oo")) || ends("ay") ||
         ends("oy") || ends("uy");
}

// A personal or province name that a player would not want to read: one
// that begins with an unfortunate word, or that holds a rude one anywhere
// ("Ishith", "Hanusa").
inline bool unfortunatename(const char* name) {
  static const char* const starts[] = {"demon", "arse", "cock", "dick", "turd", "fag", "cum", "rape"};
  static const char* const anywhere[] = {"shit", "anus", "fuck", "cunt", "piss", "slut", "whore", "nigg", "twat",
                                         "wank", "penis"};
  std::string n = name;
  for (char& c : n) c = char(tolower(static_cast<unsigned char>(c)));
  for (const char* w : starts)
    if (n.rfind(w, 0) == 0) return true;
  for (const char* w : anywhere)
    if (n.find(w) != std::string::npos) return true;
  return false;
}

}  // namespace content
