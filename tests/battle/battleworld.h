// A small battle world made in the tests: a few unit types, weapons,
// armors and battle spells of our own, a battle land (5) between a land of
// the defender (4) and one of the attacker (6), and armies built to order.
#pragma once
#include <gtest/gtest.h>

#include <vector>

#include "battle/battle.h"
#include "gamedata_ids.h"
#include "runtime/util.h"
#include "support/smallworld.h"

constexpr int32_t DEF = 1, ATT = 2;
constexpr int32_t FIELD = 5, DEFHOME = 4, ATTHOME = 6;

enum TestType : int32_t {
  T_SOLDIER = 1,   // plain: 10 hp, attack and defence 10, a sword
  T_VETERAN = 2,   // 25 hp, attack and defence 15, mail, a shield, a great sword
  T_ARCHER = 3,    // a bow and a dagger
  T_CAPTAIN = 4,   // a commander type
  T_MAGE = 5,      // a commander type with no weapon
  T_PEASANT = 6,   // 6 hp, attack and defence 6, morale 5
  T_ZOMBIE = 7,    // morale 50: never routs
  T_WOLF = 8,      // what the summoning spell calls
  T_WEREFORM = 9,  // the other shape of T_CAPTAIN
};
enum TestWeapon : int32_t { W_SWORD = 1, W_BOW = 2, W_GREATSWORD = 3, W_DAGGER = 4, W_BITE = 5 };
enum TestSpell : int32_t {
  S_FIREBOLT = 1, S_STONESKIN = 2, S_SUMMON = 3, S_HEAL = 4, S_STORM = 5, S_RUST = 6, S_COURAGE = 7, S_END = 8
};

// The cleared world's battle field between the two homes (the world's
// tables as they are, e.g. the built-in data).
inline void fieldbetweenhomes() {
  clearworld();
  nbrlands = 10;
  land[FIELD].owner = DEF;
  land[DEFHOME].owner = DEF;
  land[ATTHOME].owner = ATT;
  provgeo[FIELD].nbr[0] = DEFHOME;
  provgeo[FIELD].nbr[1] = ATTHOME;
}

inline void makebattleworld() {
  makesmallworld();
  setweapon(W_SWORD, "Sword", 0, 1, 1).dmg = 6;
  Weapon& bow = setweapon(W_BOW, "Bow", 0, 0, 0);
  bow.dmg = 9;
  bow.range = 30;
  bow.ammo = 12;
  bow.flags = 0;
  setweapon(W_GREATSWORD, "Great Sword", 1, 1, 3).dmg = 10;
  setweapon(W_DAGGER, "Dagger", 1, 0, 0).dmg = 3;
  setweapon(W_BITE, "Bite", 0, 0, 0).dmg = 5;
  setarmor(1, "Mail", IT_ARMOR, 0, 1);
  addprot(1, LOC_BODY, 10);
  addprot(1, LOC_ARMS, 6);
  addprot(1, LOC_LEGS, 6);
  setarmor(2, "Shield", IT_SHIELD, 3, 1);
  addprot(2, LOC_SHIELD, 12);

  settype(T_SOLDIER, "Soldier").weapon[0] = W_SWORD;
  Monster& vet = settype(T_VETERAN, "Veteran");
  vet.hp = 25;
  vet.att = vet.def = 15;
  vet.str = 14;
  vet.mor = 14;
  vet.weapon[0] = W_GREATSWORD;
  vet.armor[0] = 1;
  vet.armor[1] = 2;
  Monster& archer = settype(T_ARCHER, "Bowman");
  archer.weapon[0] = W_BOW;
  archer.weapon[1] = W_DAGGER;
  archer.prec = 12;
  settype(T_CAPTAIN, "Captain").weapon[0] = W_SWORD;
  unittypes[T_CAPTAIN].hp = 15;
  settype(T_MAGE, "Mage").hp = 12;
  Monster& peasant = settype(T_PEASANT, "Peasant");
  peasant.hp = 6;
  peasant.att = peasant.def = 6;
  peasant.mor = 5;
  peasant.weapon[0] = W_DAGGER;
  Monster& zombie = settype(T_ZOMBIE, "Zombie");
  zombie.hp = 6;
  zombie.att = zombie.def = 6;
  zombie.mor = 50;
  zombie.weapon[0] = W_DAGGER;
  zombie.flags = MF_UNDEAD;
  settype(T_WOLF, "Wolf").weapon[0] = W_BITE;
  Monster& were = settype(T_WEREFORM, "Werebeast");
  were.hp = 30;
  were.weapon[0] = W_BITE;
  addtypeability(T_CAPTAIN, 193, T_WEREFORM);
  addtypeability(T_WEREFORM, 193, T_CAPTAIN);

  spells.fill(Spell{});
  auto spell = [](int32_t s, const char* name, int8_t path, int16_t effect, int32_t dmg, int16_t range, int16_t area) {
    Spell& x = spells[s];
    x = Spell{};
    strlcopy(x.name, name, NAMELEN);
    x.school = SCH_EVOCATION;
    x.path[0] = path;
    x.path[1] = -1;
    x.pathlevel[0] = 1;
    x.fatigue = 10;
    x.effect = effect;
    x.damage = dmg;
    x.range = range;
    x.area = area;
    x.nbreff = 1;
  };
  spell(0, "Some Ritual", P_ASTRAL, 10081, 1, 0, 0);
  spell(S_FIREBOLT, "Fire Bolt", P_FIRE, 2, 15, 35, 1);
  spell(S_STONESKIN, "Stone Skin", P_EARTH, 10, BK_STONESKIN, 0, 0);
  spell(S_SUMMON, "Call Wolves", P_NATURE, 1, T_WOLF, 10, 1);
  spells[S_SUMMON].nbreff = 3;
  spell(S_HEAL, "Heal", P_NATURE, 13, 10, 20, 1);
  spell(S_STORM, "Storm", P_AIR, 2, 6, 40, 660);
  spell(S_RUST, "Rust", P_EARTH, 10, BK_RUSTEDARMOR, 30, 1);
  spell(S_COURAGE, "Courage", P_PRIEST, 81, BK_COURAGE, 0, 0);
  spells[S_END] = Spell{};
  strlcopy(spells[S_END].name, "end", NAMELEN);
  spells[S_END].researchlevel = SPELL_ENDLEVEL;

  for (int32_t l = 1; l <= 10; l++) land[l].owner = land[l].fortholder = INDEPENDENTS;
  land[DEFHOME].owner = land[FIELD].owner = DEF;
  land[ATTHOME].owner = ATT;
  provgeo[FIELD].nbr[0] = DEFHOME;
  provgeo[FIELD].nbr[1] = ATTHOME;
  kingdom[DEF].w[KW_HOMELAND] = DEFHOME;
  kingdom[ATT].w[KW_HOMELAND] = ATTHOME;
  battleviewhook = nullptr;
  battlechecksums.fill(0);
}

// A commander of the type leading one squad of `count` units, standing at
// the place (px, py); the commander stays behind its troops.
inline int32_t army(int32_t owner, int32_t comtype, int32_t unittype, int32_t count, int32_t order = BO_ATTACK,
                    int32_t target = 0, int32_t px = 5, int32_t py = 0) {
  const int32_t c = mkcom(comtype, owner, FIELD);
  Commander& cm = com[c];
  snprintf(cm.name, sizeof cm.name, "Leader %d", c);
  cm.batorder = BO_STAYBEHIND;
  cm.ownx = int8_t(px - 4);
  cm.owny = int8_t(py);
  if (count > 0) {
    cm.squad[0] = owner * 5000 + c;
    cm.sqx[0] = int8_t(px);
    cm.sqy[0] = int8_t(py);
    cm.sqorder[0] = uint8_t(order);
    cm.sqtarget[0] = uint8_t(target);
    for (int32_t i = 0; i < count; i++) setunitsquad(mkunit(unittype, owner, FIELD), cm.squad[0]);
  }
  return c;
}

// A mage commander with the path level, alone, casting spells.
inline int32_t mage(int32_t owner, int32_t path, int32_t level, int32_t px = 0, int32_t py = 0) {
  const int32_t c = army(owner, T_MAGE, 0, 0);
  com[c].path[path] = uint8_t(level);
  com[c].batorder = BO_CAST;
  com[c].ownx = int8_t(px);
  com[c].owny = int8_t(py);
  return c;
}

// Everything the view hook was shown.
struct Seen {
  std::vector<BattleEvent> events;
  std::vector<int32_t> eventturn;
  int32_t frames = 0;
};
inline Seen seen;
inline void recordframe(const BattleFrame& f) {
  seen.frames++;
  for (int32_t i = 0; i < f.nevents; i++) {
    seen.events.push_back(f.events[i]);
    seen.eventturn.push_back(f.turn);
  }
}
inline int32_t countevents(uint8_t kind, int32_t what = -1) {
  int32_t n = 0;
  for (const BattleEvent& e : seen.events)
    if (e.kind == kind && (what < 0 || e.what == what)) n++;
  return n;
}

// Hosts the battle in FIELD: a fresh checksum table, the seed, set-up and
// fight, shown to the hook when there is one.
inline int32_t fightwith(BattleViewHook hook, int32_t seed, int32_t turnlimit = 0, int32_t incastle = 0,
                         int32_t provdef = 0, int32_t trapped = 0) {
  seen = Seen{};
  battleviewhook = hook;
  battlechecksums.fill(0);
  seedrnd(seed);
  initbattle(FIELD, DEF, ATT, incastle, provdef, 0);
  return dobatl(DEF, ATT, hook ? 1 : 0, trapped, 1, turnlimit);
}
// The same, recording what the hook is shown when watch is set.
inline int32_t fight(int32_t seed, bool watch = false, int32_t incastle = 0, int32_t provdef = 0,
                     int32_t turnlimit = 0, int32_t trapped = 0) {
  return fightwith(watch ? recordframe : nullptr, seed, turnlimit, incastle, provdef, trapped);
}

inline int32_t livingunits(int32_t owner, int32_t lnr) {
  int32_t n = 0;
  for (int32_t u = 0; u <= highestunit; u++)
    if (unit[u].hp > 0 && unit[u].owner == owner && unit[u].land == lnr) n++;
  return n;
}
