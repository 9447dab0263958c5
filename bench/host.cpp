// One hosted turn of a large game: 1,500 provinces in a grid, 15 computer
// nations that play their phase, about 20,000 units and 40 armies of a
// hundred, in two forms side by side. In the first the armies stand in
// defended provinces with the order to attack, which the computer players
// leave as it is, so that the turn fights its 40 battles. In the second they
// are set to march into those provinces, and the computer players send
// them where they judge best, as they would in a game (about half of the
// battles are then fought).
#include <benchmark/benchmark.h>

#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "ai/ai.h"
#include "battle/battle.h"
#include "gamedata_ids.h"
#include "gamefiles/gamefiles.h"
#include "gridmap.h"
#include "host/host.h"
#include "host/phases.h"
#include "mods/mods.h"
#include "runtime/fatal.h"
#include "runtime/folders.h"
#include "runtime/image.h"
#include "runtime/options.h"
#include "runtime/rnd.h"
#include "runtime/util.h"
#include "world/gamedata.h"
#include "world/movement.h"
#include "world/rules.h"
#include "world/scores.h"
#include "world/world.h"
#include "worldgen/worldgen.h"

namespace {

std::string root;
constexpr const char* GAME = "big";
constexpr int32_t ARMIES = 40;
constexpr int32_t UNITS = 20000;

// The game, written as the turn to host in both forms: "pristine/attack"
// and "pristine/march".
void makegame() {
  root = gridgamefolders("host", {"/pristine/attack", "/pristine/march"});
  comptrn = 1;
  indepstr = 1;
  int placed = 0;
  for (int n = 0; n < 72 && placed < 15; n++)
    if (nations[size_t(n)].era == 2 && !isuwnation(n)) nationcontrol[n] = 22, placed++;
  seedrnd(5);
  if (createnewgame(GAME, 0, nullptr) != 1) fatalerror("bench: no game");
  // Armies of a hundred, each with a new commander, set to march on
  // independent provinces next to the nations' own.
  struct Army {
    int32_t cnr, from, to;
  };
  std::vector<Army> armies;
  for (int32_t l = 1; l <= nbrlands && int32_t(armies.size()) < ARMIES; l++) {
    const int32_t p = land[size_t(l)].owner;
    if (p == INDEPENDENTS || p >= MAXPLAYERS) continue;
    for (int32_t i = 0; i < MAXNEIGHBOURS && provgeo[size_t(l)].nbr[i] > 0 && int32_t(armies.size()) < ARMIES; i++) {
      const int32_t n = provgeo[size_t(l)].nbr[i];
      if (land[size_t(n)].owner != INDEPENDENTS || (provgeo[size_t(n)].terrain & TM_SEA) ||
          unitsin(n, INDEPENDENTS).empty() ||
          std::find_if(armies.begin(), armies.end(), [n](const Army& a) { return a.to == n; }) != armies.end())
        continue;
      const int32_t c = newcom(MON_COMMANDER_34, p);
      if (c < 0) break;
      setunitland(com[size_t(c)].body, l);
      com[size_t(c)].squad[0] = newsquadnbr(p);
      spawnunits(soldier(p), p, 100, l, com[size_t(c)].squad[0]);
      com[size_t(c)].order = Order::move;
      com[size_t(c)].orderparam = n;
      armies.push_back({c, l, n});
    }
  }
  // Garrisons fill the world up to the unit count.
  int32_t living = 0;
  for (int32_t u = 0; u <= highestunit; u++) living += unit[size_t(u)].hp > 0;
  for (int32_t l = 1; l <= nbrlands && living < UNITS; l++) {
    const int32_t p = land[size_t(l)].owner;
    spawnunits(p == INDEPENDENTS ? 18 : soldier(p), p, 10, l, -1);
    living += 10;
  }
  int32_t t = 0;
  {
    UniqueFile f = readfileheader(GAME, 0, -1, 1, -1, &t, nullptr, nullptr, nullptr);
  }
  auto keep = [&](const char* form) {
    if (!writeworldfile(GAME, filegamenumber, t)) fatalerror("bench: no world file");
    const std::string copy = "cp -r " + root + "/save/" + GAME + " " + root + "/pristine/" + form + "/";
    if (system(copy.c_str()) != 0) fatalerror("bench: copy failed");
  };
  keep("march");
  // The same armies in the provinces they marched on, ordered to attack.
  for (const Army& a : armies) {
    for (int32_t u : armyunits(a.cnr)) setunitland(u, a.to);
    setunitland(com[size_t(a.cnr)].body, a.to);
    com[size_t(a.cnr)].order = Order::attack;   // attack the province the army stands in
    com[size_t(a.cnr)].orderparam = 0;
  }
  keep("attack");
  printf("bench: %d armies, %d units\n", int32_t(armies.size()), living);
}

// Hosts the turn of the form from its pristine copy.
void hostturn(benchmark::State& state, const char* form) {
  if (root.empty()) makegame();
  int32_t battles = 0;
  for (auto _ : state) {
    state.PauseTiming();
    const std::string reset = "rm -rf " + root + "/save/" + GAME + " && cp -r " + root + "/pristine/" + form + "/" +
                              GAME + " " + root + "/save/";
    if (system(reset.c_str()) != 0) fatalerror("bench: reset failed");
    state.ResumeTiming();
    if (newturn(GAME, -1) != 1) fatalerror("bench: hosting failed");
    battles = battlesfought;
  }
  state.counters["battles"] = battles;
  int32_t living = 0;
  for (int32_t u = 0; u <= highestunit; u++) living += unit[size_t(u)].hp > 0;
  state.counters["units"] = living;
}
BENCHMARK_CAPTURE(hostturn, attack_40_battles, "attack")->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK_CAPTURE(hostturn, march_as_the_computers_send, "march")->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace
