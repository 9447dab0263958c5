// The computer players' phase of a large game: 1,500 provinces in a grid,
// 15 computer nations with twelve armies of thirty each, garrisons in every
// province, and gold and gems to spend. The phase is timed as the host runs
// it: the level bonus, every nation's month and the order check.
#include <benchmark/benchmark.h>

#include <unistd.h>

#include <memory>
#include <string>

#include "ai/ai.h"
#include "gamedata_ids.h"
#include "gridmap.h"
#include "host/phases.h"
#include "mods/mods.h"
#include "runtime/fatal.h"
#include "runtime/folders.h"
#include "runtime/options.h"
#include "runtime/rnd.h"
#include "runtime/util.h"
#include "world/gamedata.h"
#include "world/magic.h"
#include "world/rules.h"
#include "world/scores.h"
#include "world/units.h"
#include "world/world.h"
#include "worldgen/worldgen.h"

namespace {

// The world as it was made, put back before every run of the phase.
struct Saved {
  std::array<Unit, MAXUNITS> units;
  std::array<Commander, MAXCOMS> coms;
  std::array<Land, MAXLANDS> lands;
  std::array<Kingdom, MAXKINGDOMS> kingdoms;
  int32_t highestunit, highestcom;
};
std::unique_ptr<Saved> saved;

int32_t soldier(int32_t p) {
  for (int32_t m : nations[size_t(p)].recruit) {
    if (m == RECRUIT_END || m == RECRUIT_COMMANDERS) break;
    if (m > 0) return m;
  }
  return MON_MILITIA_18;
}

void makeworld() {
  gridgamefolders("ai");
  int32_t placed = 0;
  for (int32_t n = 0; n < 72 && placed < 15; n++)
    if (nations[size_t(n)].era == 2 && !isuwnation(n)) nationcontrol[n] = 20 + placed % 5, placed++;
  seedrnd(5);
  if (createnewgame("ai", 0, nullptr) != 1) fatalerror("bench: no game");
  for (int32_t p = 0; p < MAXPLAYERS; p++) {
    if (uint16_t(kingdom[size_t(p)].w[KW_CONTROLLER]) != CTRL_AI) continue;
    const int32_t home = kingdom[size_t(p)].w[KW_HOMELAND];
    kingdom[size_t(p)].gold = 5000;
    for (int32_t g = 0; g < 8; g++) kingdom[size_t(p)].w[KW_GEMS + g] = 50;
    // Twelve armies at home and in the provinces around it, which become the nation's.
    for (int32_t i = 0; i < 12; i++) {
      int32_t l = home;
      if (i > 0 && provgeo[size_t(home)].nbr[i % 4] > 0) l = provgeo[size_t(home)].nbr[i % 4];
      if (issea(l)) l = home;
      land[size_t(l)].owner = land[size_t(l)].fortholder = uint8_t(p);
      const int32_t c = newcom(MON_COMMANDER_34, p);
      setunitland(com[size_t(c)].body, l);
      spawnunits(soldier(p), p, 30, l, -1);
    }
  }
  for (int32_t l = 1; l <= nbrlands; l++)
    if (land[size_t(l)].owner == INDEPENDENTS) spawnunits(MON_MILITIA_18, INDEPENDENTS, 8, l, -1);
  saved = std::make_unique<Saved>();
  copyunitrecords(saved->units.data(), unit.data(), MAXUNITS);
  saved->coms = com;
  saved->lands = land;
  saved->kingdoms = kingdom;
  saved->highestunit = highestunit;
  saved->highestcom = highestcom;
}

void restore() {
  {
    const UnitIndexRest rest;   // the whole table: the indexes are built once after
    for (int32_t u = 0; u < MAXUNITS; u++) putunit(u, saved->units[size_t(u)]);
  }
  com = saved->coms;
  land = saved->lands;
  kingdom = saved->kingdoms;
  highestunit = saved->highestunit;
  highestcom = saved->highestcom;
}

void BM_ComputerPlayersPhase(benchmark::State& state) {
  if (!saved) makeworld();
  int32_t moving = 0;
  for (auto _ : state) {
    state.PauseTiming();
    restore();
    state.ResumeTiming();
    computerplayersphase();
    state.PauseTiming();
    moving = 0;
    for (int32_t c = 0; c <= highestcom; c++) moving += com[size_t(c)].body >= 0 && com[size_t(c)].order == Order::move;
    state.ResumeTiming();
  }
  state.counters["nations"] = 15;
  state.counters["provinces"] = nbrlands;
  state.counters["marching"] = moving;
}
BENCHMARK(BM_ComputerPlayersPhase)->Unit(benchmark::kMillisecond)->Iterations(5);

}  // namespace
