// The content rules of the built-in data set: the price rule of unit types
// (data/README.md, "Costs") and what counts as recruitable. The data tool
// (tools/content/main.cpp) writes the prices into data/units.txt from these
// rules, and the content invariant tests hold the loaded tables to them, so
// the rule is written once. Header only: the tool and the tests include it.
#pragma once
#include <algorithm>
#include <cstdint>
#include <vector>

#include "world/gamedata.h"

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

}  // namespace content
