// A small world made inside a test: empty game-data tables with the few
// types, weapons, armors and items a test defines, ten plain provinces and
// empty unit, commander and enchantment tables.
#pragma once
#include <cstring>
#include "runtime/fatal.h"
#include "runtime/rnd.h"
#include "world/gamedata.h"
#include "world/hoststate.h"
#include "world/magic.h"
#include "world/rules.h"
#include "world/startup.h"
#include "world/units.h"
#include "world/world.h"

inline void makesmallworld() {
  clearworld();
  unittypes.fill(Monster{});
  weapons.fill(Weapon{});
  armors.fill(Armor{});
  items.fill(Item{});
  sites.fill(Site{});
  for (Nation& n : nations) {
    n = Nation{};
    n.endmarker = NATION_FREEMARK & 0xFFFF;
  }
  for (TypeMagic& t : typemagic) t = TypeMagic{-1, 0, 0};
  for (RandMagic& r : randmagic) r = RandMagic{-1, 0, 0};
  nbrlands = 10;
  for (int32_t l = 1; l <= 10; l++) snprintf(land[l].name, sizeof land[l].name, "Land%d", l);
  turn = 0;
  debuglevel = 0;
}

// A plain type: 10 hp, strength 10, attack 10, defence 10, precision 10,
// encumbrance 1, 12 action points, map move 2, size 2, magic resistance 10,
// morale 10.
inline Monster& settype(int32_t m, const char* name) {
  Monster& t = unittypes[m];
  t = Monster{};
  strncpy(t.name, name, sizeof t.name - 1);
  t.hp = 10;
  t.str = 10;
  t.att = 10;
  t.def = 10;
  t.prec = 10;
  t.enc = 1;
  t.ap = 12;
  t.mapmove = 2;
  t.size = 2;
  t.mr = 10;
  t.mor = 10;
  return t;
}

inline void addtypeability(int32_t m, int32_t k, int32_t v) {
  Monster& t = unittypes[m];
  for (int i = 0; i < UNITABILITIES; i++)
    if (t.abilityid[i] == 0) {
      t.abilityid[i] = int16_t(k);
      t.abilityval[i] = v;
      return;
    }
}

inline Weapon& setweapon(int32_t w, const char* name, int16_t att = 0, int16_t def = 0, int16_t len = 1) {
  Weapon& x = weapons[w];
  x = Weapon{};
  strncpy(x.name, name, sizeof x.name - 1);
  x.dmg = 5;
  x.att = att;
  x.def = def;
  x.len = len;
  x.nratt = 1;
  x.flags = WF_STRENGTH;
  return x;
}

inline Armor& setarmor(int32_t a, const char* name, int16_t type, int16_t def = 0, int16_t enc = 0) {
  Armor& x = armors[a];
  x = Armor{};
  strncpy(x.name, name, sizeof x.name - 1);
  x.type = type;
  x.def = def;
  x.enc = enc;
  return x;
}

inline void addprot(int32_t a, int16_t loc, int16_t prot) {
  Armor& x = armors[a];
  for (int i = 0; i < ARMORPAIRS; i++)
    if (x.prot[i].loc == 0) {
      x.prot[i].loc = loc;
      x.prot[i].prot = prot;
      return;
    }
}

inline Item& setitem(int32_t i, const char* name, int8_t type) {
  Item& x = items[i];
  x = Item{};
  strncpy(x.name, name, sizeof x.name - 1);
  x.type = type;
  x.mainpath = -1;
  x.secondpath = -1;
  return x;
}

inline void additemability(int32_t i, int32_t k, int32_t v) {
  Item& x = items[i];
  for (int n = 0; n < ITEMABILITIES; n++)
    if (x.abilityid[n] == 0) {
      x.abilityid[n] = int16_t(k);
      x.abilityval[n] = v;
      return;
    }
}

// A unit of the type in the next free number, at full type hit points.
inline int32_t mkunit(int32_t type, int32_t owner, int32_t lnr) {
  const int32_t u = highestunit + 1;
  putunit(u, emptyunit());
  unit[u].type = int16_t(type);
  unit[u].hp = unittypes[type].hp > 0 ? unittypes[type].hp : 1;
  unit[u].owner = int8_t(owner);
  setunitland(u, lnr);
  unit[u].age = 20;
  highestunit = u;
  return u;
}

// A commander with a new body of the type.
inline int32_t mkcom(int32_t type, int32_t owner, int32_t lnr) {
  const int32_t u = mkunit(type, owner, lnr);
  const int32_t c = highestcom + 1;
  com[c] = emptycommander();
  com[c].body = u;
  unit[u].comnr = c;
  highestcom = c;
  return c;
}

inline int32_t bodyunit(int32_t c) { return com[c].body; }
