// Every combat value of 20,000 units in a small world of a few types,
// weapons, armors and items; a thousand of the units are commanders.
#include <benchmark/benchmark.h>

#include <cstring>
#include "world/gamedata.h"
#include "world/rules.h"
#include "world/world.h"

namespace {
constexpr int32_t UNITS = 20000;

void makeworld() {
  clearworld();
  for (TypeMagic& t : typemagic) t = TypeMagic{-1, 0, 0};
  for (int32_t w = 1; w <= 4; w++) {
    weapons[w] = Weapon{};
    snprintf(weapons[w].name, NAMELEN, "Weapon %d", w);
    weapons[w].att = int16_t(w - 2);
    weapons[w].def = int16_t(w % 2);
    weapons[w].len = int16_t(w);
    weapons[w].range = w == 4 ? 30 : 0;
  }
  for (int32_t a = 1; a <= 3; a++) {
    armors[a] = Armor{};
    armors[a].type = a == 1 ? IT_HELMET : a == 2 ? IT_ARMOR : IT_SHIELD;
    armors[a].prot[0].loc = a == 1 ? LOC_HEAD : a == 2 ? LOC_BODY : LOC_SHIELD;
    armors[a].prot[0].prot = int16_t(5 * a);
    armors[a].enc = int16_t(a - 1);
    armors[a].def = int16_t(a == 3 ? 2 : 0);
  }
  for (int32_t m = 1; m <= 4; m++) {
    Monster& t = unittypes[m];
    t = Monster{};
    snprintf(t.name, UNITNAMELEN, "Type %d", m);
    t.hp = int16_t(8 + m);
    t.str = t.att = t.def = t.prec = 10;
    t.enc = 1;
    t.ap = 12;
    t.size = int16_t(1 + m % 3);
    t.mr = 10;
    t.mor = 10;
    t.weapon[0] = int16_t(m);
    t.weapon[1] = int16_t(m % 3 + 1);
    t.armor[0] = 1;
    t.armor[1] = 2;
    t.armor[2] = m % 2 ? 3 : 0;
    t.abilityid[0] = 198;
    t.abilityval[0] = 25;
  }
  items[1] = Item{};
  items[1].type = IT_ONEHAND;
  items[1].weapon = 2;
  items[1].abilityid[0] = 151;
  items[1].abilityval[0] = 2;
  items[2] = Item{};
  items[2].type = IT_MISC;
  items[2].abilityid[0] = 160;
  items[2].abilityval[0] = 2;
  nbrlands = 10;
  for (int32_t l = 1; l <= 10; l++) {
    land[l].veyowner = int8_t(l % 3);
    land[l].veystr = int16_t(l % 4);
    land[l].scale[SC_COLD] = int8_t(l % 7 - 3);
  }
  provgeo[4].terrain = TM_SWAMP;
  provgeo[7].terrain = TM_SEA;
  for (int32_t u = 0; u < UNITS; u++) {
    putunit(u, emptyunit());
    unit[u].type = int16_t(1 + u % 4);
    unit[u].hp = 10;
    unit[u].owner = int8_t(u % 5);
    setunitland(u, 1 + u % 10);
    unit[u].exp = int16_t(u % 300);
    unit[u].age = int16_t(18 + u % 40);
    unit[u].flags[1] = (u % 11 == 0) ? ST_BLESSED : 0;
  }
  highestunit = UNITS - 1;
  for (int32_t c = 0; c < 1000; c++) {
    const int32_t u = c * 20;
    com[c] = emptycommander();
    com[c].body = u;
    com[c].path[c % 8] = uint8_t(1 + c % 3);
    com[c].item[0] = 1;
    com[c].item[5] = 2;
    unit[u].comnr = c;
  }
  highestcom = 999;
}

void BM_CombatValues(benchmark::State& state) {
  makeworld();
  for (auto _ : state) {
    int64_t sum = 0;
    for (int32_t u = 0; u < UNITS; u++) {
      sum += getstr(u) + getmaxhp(u) + getenc(u, 0) + getenc(u, 1) + getdef(u, 0) + getdef(u, 2);
      sum += getatt(u) + getweaponatt(u, 0) + getmaxap(u, 1) + getprec(u) + getprot(u) + getmr(u);
      sum += getmaxmorale(u) + getstealth(u) + getnthweapon(u, 1) + getmissileweapon(u, 0);
    }
    benchmark::DoNotOptimize(sum);
  }
}
BENCHMARK(BM_CombatValues)->Unit(benchmark::kMillisecond);
}  // namespace
