// One battle of 500 against 500 units of the built-in data: ten squads of
// fifty on each side (infantry, archers and cavalry), with commanders and a
// fire mage each, from the set-up to the aftermath.
#include <benchmark/benchmark.h>

#include <vector>

#include "battle/battle.h"
#include "world/world.h"
#include "gamedata_ids.h"
#include "runtime/rnd.h"
#include "world/gamedata.h"
#include "world/rules.h"

namespace {
constexpr int32_t FIELDLAND = 5, DEFENDER = 1, ATTACKER = 2;

int32_t place(int32_t type, int32_t owner) {
  const int32_t u = newunit(type, owner, 0);
  setunitland(u, FIELDLAND);
  return u;
}

void side(int32_t owner, const int32_t (&types)[10], int32_t comtype) {
  for (int32_t s = 0; s < 10; s++) {
    const int32_t c = newcom(comtype, owner);
    setunitland(com[c].body, FIELDLAND);
    com[c].batorder = BO_STAYBEHIND;
    com[c].squad[0] = owner * 5000 + s;
    com[c].sqx[0] = int8_t(2 + (s % 3) * 3);
    com[c].sqy[0] = int8_t(-9 + s * 2);
    com[c].sqorder[0] = uint8_t(types[s] == MON_ARCHER_17 ? BO_FIRE : BO_ATTACK);
    com[c].ownx = int8_t(com[c].sqx[0] - 3);
    com[c].owny = com[c].sqy[0];
    for (int32_t i = 0; i < 50; i++) setunitsquad(place(types[s], owner), com[c].squad[0]);
  }
  const int32_t m = newcom(MON_PYROMANCER_98, owner);
  setunitland(com[m].body, FIELDLAND);
  com[m].batorder = BO_CAST;
}

std::vector<Unit> savedunits;
std::vector<Commander> savedcoms;
Land savedland;

void makebattle() {
  loadgamedata();
  clearworld();
  nbrlands = 10;
  land[FIELDLAND].owner = DEFENDER;
  land[4].owner = DEFENDER;
  land[6].owner = ATTACKER;
  provgeo[FIELDLAND].nbr[0] = 4;
  provgeo[FIELDLAND].nbr[1] = 6;
  const int32_t defence[10] = {MON_HEAVY_INFANTRY_38, MON_HEAVY_INFANTRY_38, MON_ARCHER_17, MON_ARCHER_17,
                               MON_HEAVY_INFANTRY_39, MON_LIGHT_INFANTRY_28, MON_LIGHT_INFANTRY_28,
                               MON_ARCHER_17, MON_HEAVY_INFANTRY_40, MON_MILITIA_30};
  const int32_t attack[10] = {MON_LIGHT_INFANTRY_28, MON_HEAVY_INFANTRY_38, MON_ARCHER_17, MON_ARCHER_17,
                              MON_LIGHT_CAVALRY_24, MON_HEAVY_CAVALRY_19, MON_LIGHT_INFANTRY_29,
                              MON_ARCHER_32, MON_HEAVY_INFANTRY_39, MON_MILITIA_30};
  side(DEFENDER, defence, MON_COMMANDER_34);
  side(ATTACKER, attack, MON_COMMANDER_34);
  savedunits = std::vector<Unit>(unit.begin(), unit.begin() + highestunit + 1);
  savedcoms.assign(com.begin(), com.begin() + highestcom + 1);
  savedland = land[FIELDLAND];
}

void restore() {
  for (size_t u = 0; u < savedunits.size(); u++) putunit(int32_t(u), savedunits[u]);
  std::copy(savedcoms.begin(), savedcoms.end(), com.begin());
  land[FIELDLAND] = savedland;
}

void BM_Battle500v500(benchmark::State& state) {
  makebattle();
  int32_t turns = 0, seed = 1;
  for (auto _ : state) {
    state.PauseTiming();
    restore();
    battlechecksums.fill(0);
    state.ResumeTiming();
    seedrnd(seed++);
    initbattle(FIELDLAND, DEFENDER, ATTACKER, 0, 0, 0);
    benchmark::DoNotOptimize(dobatl(DEFENDER, ATTACKER, 0, 0, 1, 0));
    turns += battleresult.turns;
  }
  state.counters["turns"] = benchmark::Counter(turns, benchmark::Counter::kAvgIterations);
}
BENCHMARK(BM_Battle500v500)->Unit(benchmark::kMillisecond);
}  // namespace
