// The battle view's speed: frames of a battle with 1,000 units on a battle
// map of 100 x 100 height-field vertices with its terrain objects (target:
// at least 30 frames a second under Xvfb's software OpenGL), mid-turn with
// blows and missiles in the air; and the start of a replay (the live world
// set aside, the replay read and the battle set up until its first picture;
// target: under 0.5 s).
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <memory>
#include <vector>

#include "battle/battle.h"
#include "battleview/battleview.h"
#include "gamefiles/gamefiles.h"
#include "gfx/gfx.h"
#include "gfx/gui.h"
#include "runtime/folders.h"
#include "runtime/rnd.h"
#include "screens/replays.h"
#include "support/benchfolders.h"
#include "support/benchwindow.h"
#include "world/gamedata.h"
#include "world/units.h"
#include "world/world.h"

namespace {
// A rolling 100 x 100 map with 400 trees, bushes and rocks.
bool writebigmap(const char* path) {
  auto map = std::make_unique<battlemapdata>();
  clearbattlemap(*map);
  map->width = map->depth = 100;
  map->cellsize = 150;
  for (int32_t y = 0; y < 100; y++)
    for (int32_t x = 0; x < 100; x++)
      map->height[size_t(y * 100 + x)] = int16_t(200 * sin(x * 0.09) * cos(y * 0.07) + 60 * sin((x + y) * 0.3));
  for (int32_t i = 0; i < 400; i++) {
    massobj& m = map->obj[size_t(map->objects++)];
    m = massobj{i % 3, (i * 3701) % 14800, (i * 7919) % 14800, 0, (i * 37) % 360, 80 + i % 50, 60, 120, 40, i, 0};
  }
  return writebattlemap(path, *map) == 1;
}

// 1,000 soldiers of two nations facing each other on the battlefield, in
// the unit table, and the frame of a battle turn in which every one of
// them strikes or shoots.
struct Army {
  std::vector<int32_t> units;
  std::vector<BattleEvent> events;
};
Army bigarmy(int32_t count = 1000) {
  Army a;
  clearworld();
  int32_t type = 0;
  while (type < MAXUNITTYPES && (unittypes[size_t(type)].hp < 1 || unittypes[size_t(type)].sprite == 0)) type++;
  for (int32_t i = 0; i < count; i++) {
    const int32_t u = newunit(type, i % 2, 0);
    if (u < 0) break;
    Unit& x = unit[size_t(u)];
    const int32_t side = i % 2, rank = (i / 2) % 10, file = (i / 2) / 10;
    x.x = int16_t(side == 0 ? 12 + rank : 38 + rank);
    x.y = int16_t(file * 40 / 50);
    setunitland(u, 1);
    a.units.push_back(u);
  }
  for (size_t i = 0; i + 1 < a.units.size(); i += 2) {
    const int32_t s = a.units[i], t = a.units[i + 1];
    a.events.push_back({BEV_STRIKE, s, t, unit[size_t(t)].x, unit[size_t(t)].y, 0, 3});
    a.events.push_back({BEV_MISSILE, t, s, unit[size_t(s)].x, unit[size_t(s)].y, 0, 2});
  }
  return a;
}

void BM_BattleFrame1000UnitsOn100x100(benchmark::State& state) {
  static bool ready = false;
  static char path[PATHLEN];
  if (!benchwindow()) {
    state.SkipWithError("no window");
    return;
  }
  if (!ready) {
    benchfolders("battleview");
    formatbounded(path, PATHLEN, "%s/big.v3m", temppath);
    if (!writebigmap(path)) {
      state.SkipWithError("cannot write the battle map");
      return;
    }
    ready = true;
  }
  loadgamedata();
  const Army army = bigarmy(int32_t(state.range(0)));
  battleviewbegin(0);
  LoadBattleMap(path, 0, 1, 1);
  BattleFrame frame{1, int32_t(army.units.size()), army.units.data(), int32_t(army.events.size()),
                    army.events.data(), 1};
  takebattleframe(frame);
  setbattlephase(0.5f);
  const double cpubefore = processcpuseconds() * 1000.0;
  for (auto _ : state) {
    guibegin();
    render_frame(false, Scene::battlefield);
  }
  state.counters["fps"] = benchmark::Counter(double(state.iterations()), benchmark::Counter::kIsRate);
  // The processor time of a frame over all the renderer's threads: what a
  // loaded machine has to find for each frame.
  state.counters["cpums"] = (processcpuseconds() * 1000.0 - cpubefore) / double(std::max<int64_t>(state.iterations(), 1));
  state.counters["standing"] = fieldcount().standing;
  state.counters["objects"] = battlemap.objects;
  battleviewend();
}

// A replay's start: its battle (the 1,000 soldiers in land 1) hosted into a
// turn file, then the world set aside, the replay read and set up, up to
// the first picture the view is given.
std::chrono::steady_clock::time_point firstpicture;
bool pictured = false;
void firstframe(const BattleFrame&) {
  if (!pictured) firstpicture = std::chrono::steady_clock::now();
  pictured = true;
}

void BM_ReplayStart1000Units(benchmark::State& state) {
  benchfolders("battleview");
  const char* game = "replaybench";
  mkdirs((std::string(savepath) + "/" + game).c_str());
  removevcrs();
  const Army army = bigarmy();
  nbrlands = 2;
  strlcopy(land[1].name, "Field", sizeof land[1].name);
  for (int32_t p : {0, 1}) kingdom[size_t(p)].w[KW_CONTROLLER] = CTRL_HUMAN;
  for (int32_t u : army.units) unit[size_t(u)].x = unit[size_t(u)].y = -1;
  battlechecksums.fill(0);
  seedrnd(99);
  GameFile vcr = crvcr(0, 1, 0, 1, 0, 99, 0, 0, 0);
  initbattle(1, 0, 1, 0, 0, 0);
  dobatl(0, 1, 0, 0, 1, 0);
  closevcr(std::move(vcr));
  if (!writeturnfile(0, game, 1, 2)) {
    state.SkipWithError("cannot write the turn file");
    return;
  }
  for (auto _ : state) {
    pictured = false;
    const auto start = std::chrono::steady_clock::now();
    setasideworld();
    playvcr(0, game, 0, nullptr, firstframe);
    restoreworld();
    state.SetIterationTime(std::chrono::duration<double>(firstpicture - start).count());
  }
  state.counters["units"] = double(army.units.size());
}
}  // namespace

BENCHMARK(BM_ReplayStart1000Units)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(5);
BENCHMARK(BM_BattleFrame1000UnitsOn100x100)->Arg(1000)->Arg(0)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2.0);
