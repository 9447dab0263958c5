// The cost of a hosted month as the game grows: two games on the same
// 1,500-province grid with the same 15 computer nations, one of 20,000 units
// and one of 80,000, in the same run. Each has a commander with an army of
// forty for every hundred units (the armies of a nation stand in its
// provinces, where its computer player sends them on), a battle for every
// thousand units (an army in an independent province with the order to
// attack it) and garrisons for the rest. A month whose rules walk the whole
// unit table for each commander or battle costs four times as much per unit
// in the large game as in the small; `cpu_us_per_unit` should stay flat,
// and `per_unit_vs_small` near 1.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "gamedata_ids.h"
#include "gamefiles/gamefiles.h"
#include "gridmap.h"
#include "host/host.h"
#include "host/phases.h"
#include "runtime/fatal.h"
#include "runtime/rnd.h"
#include "world/scores.h"
#include "world/units.h"
#include "worldgen/worldgen.h"

namespace {

constexpr const char* GAME = "growth";
constexpr int32_t SMALL = 20000;
std::string root;

// The game of `units` units, written as root/pristine/NAME.
void makegame(const std::string& name, int32_t units) {
  if (root.empty()) root = gridgamefolders("hostgrowth");
  if (system(("rm -rf " + root + "/save/" + GAME + " && mkdir -p " + root + "/pristine/" + name).c_str()) != 0)
    fatalerror("bench: no folder");
  clearworld();
  comptrn = 1;
  indepstr = 1;
  for (int32_t n = 0, placed = 0; n < MAXPLAYERS && placed < 15; n++)
    if (nations[size_t(n)].era == 2 && !isuwnation(n)) nationcontrol[n] = 22, placed++;
  seedrnd(5);
  if (createnewgame(GAME, 0, nullptr) != 1) fatalerror("bench: no game");
  std::vector<int32_t> owned, independent;
  for (int32_t l = 1; l <= nbrlands; l++) {
    if (provgeo[size_t(l)].terrain & TM_SEA) continue;
    const int32_t p = land[size_t(l)].owner;
    if (p == INDEPENDENTS) independent.push_back(l);
    else if (p < MAXPLAYERS) owned.push_back(l);
  }
  // The game as made (about 15,000 units, most of them independents) grows
  // by the armies and garrisons.
  const int32_t added = units - livingunits();
  const int32_t armies = added / 100, attacks = added / 1000;
  if (owned.empty() || independent.size() < size_t(attacks)) fatalerror("bench: the map is too small");
  for (int32_t a = 0; a < armies; a++) {
    const int32_t home = owned[size_t(a) % owned.size()];
    const int32_t p = land[size_t(home)].owner;
    const int32_t c = newcom(MON_COMMANDER_34, p);
    if (c < 0) fatalerror("bench: no commander");
    const int32_t at = a < attacks ? independent[size_t(a) * independent.size() / size_t(attacks)] : home;
    setunitland(com[size_t(c)].body, at);
    com[size_t(c)].squad[0] = newsquadnbr(p);
    spawnunits(soldier(p), p, 40, at, com[size_t(c)].squad[0]);
    if (a < attacks) com[size_t(c)].order = Order::attack;   // attack the province the army stands in
  }
  // Garrisons, ten at a time round the provinces, up to the unit count.
  for (int32_t living = livingunits(), l = 0; living < units; l = l % nbrlands + 1) {
    const int32_t p = l < 1 || (provgeo[size_t(l)].terrain & TM_SEA) ? -1 : land[size_t(l)].owner;
    if (p < 0 || p >= MAXKINGDOMS) continue;
    spawnunits(p == INDEPENDENTS ? 18 : soldier(p), p, 10, l, -1);
    living += 10;
  }
  int32_t t = 0;
  {
    UniqueFile f = readfileheader(GAME, 0, -1, 1, -1, &t, nullptr, nullptr, nullptr);
  }
  if (!writeworldfile(GAME, filegamenumber, t)) fatalerror("bench: no world file");
  if (system(("cp -r " + root + "/save/" + GAME + " " + root + "/pristine/" + name + "/").c_str()) != 0)
    fatalerror("bench: copy failed");
}

// Hosts the month of the game of `units` units from its pristine copy; the
// processor time of the whole process (every thread) counts.
void month(benchmark::State& state, int32_t units) {
  const std::string name = std::to_string(units);
  makegame(name, units);
  double spent = 0;
  int32_t battles = 0, living = 0, commanders = 0;
  for (auto _ : state) {
    state.PauseTiming();
    if (system(("rm -rf " + root + "/save/" + GAME + " && cp -r " + root + "/pristine/" + name + "/" + GAME + " " +
                root + "/save/")
                   .c_str()) != 0)
      fatalerror("bench: reset failed");
    clearworld();
    int32_t t = 0;
    if (loadworldfile(GAME, 0, &t) != 1) fatalerror("bench: no world");
    living = livingunits();
    commanders = 0;
    for (int32_t c = 0; c <= highestcom; c++) commanders += com[size_t(c)].body >= 0;
    state.ResumeTiming();
    const double before = processcpuseconds();
    if (newturn(GAME, -1) != 1) fatalerror("bench: hosting failed");
    spent += processcpuseconds() - before;
    battles = battlesfought;
  }
  const double permonth = spent / double(state.iterations());
  state.counters["units"] = living;
  state.counters["commanders"] = commanders;
  state.counters["battles"] = battles;
  state.counters["cpu_s_per_month"] = permonth;
  state.counters["cpu_us_per_unit"] = permonth * 1e6 / double(living);
  // The large game's cost per unit against the small one's of the same run
  // (1: flat).
  static double smallperunit = 0;
  const double perunit = permonth * 1e6 / double(living);
  if (units == SMALL) smallperunit = perunit;
  else if (smallperunit > 0) state.counters["per_unit_vs_small"] = perunit / smallperunit;
}
BENCHMARK_CAPTURE(month, small_20000_units, SMALL)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK_CAPTURE(month, large_80000_units, 80000)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace
