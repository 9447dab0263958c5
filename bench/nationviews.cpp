// The nation's views in a real window of 1024 x 768: opening the Nation
// Overview of a nation that holds 300 of 1,500 provinces with 500
// commanders (each leading a squad) and 10,000 units: the list built, laid
// out and drawn once.
#include <benchmark/benchmark.h>

#include <GL/gl.h>

#include <cstdio>

#include "gfx/gfx.h"
#include "gfx/gui.h"
#include "screens/overview.h"
#include "support/benchwindow.h"
#include "support/smallworld.h"
#include "world/ruleconstants.h"

namespace {
constexpr int32_t NATION = 0, SOLDIER = 10, CAPTAIN = 11;

void bignation() {
  makesmallworld();
  settype(SOLDIER, "Spearman");
  settype(CAPTAIN, "Captain");
  nbrlands = 1500;
  for (int32_t l = 1; l <= nbrlands; l++) {
    snprintf(land[size_t(l)].name, sizeof land[0].name, "Province %d", l);
    const uint8_t owner = l % 5 == 0 ? NATION : uint8_t(1 + l % 7);
    land[size_t(l)].owner = land[size_t(l)].fortholder = owner;
    land[size_t(l)].population = 2000;
    land[size_t(l)].tax = 100;
  }
  for (int32_t a = 0; a < 500; a++) {
    const int32_t l = 5 * (1 + a % 300);
    const int32_t c = mkcom(CAPTAIN, NATION, l);
    snprintf(com[size_t(c)].name, sizeof com[0].name, "Captain %d", a);
    com[size_t(c)].squad[0] = a + 1;
    for (int32_t k = 0; k < 16; k++) setunitsquad(mkunit(SOLDIER, NATION, l), a + 1);
    for (int32_t k = 0; k < 4; k++) mkunit(SOLDIER, NATION, l);
  }
}

void BM_NationOverview500Commanders(benchmark::State& state) {
  if (!benchwindow()) {
    state.SkipWithError("no window");
    return;
  }
  static bool made = false;
  if (!made) bignation();
  made = true;
  for (auto _ : state) {
    buildoverview(NATION);
    render_frame(false, Scene::none);
    glFinish();
  }
  state.counters["areas"] = double(guiareacount());
}

BENCHMARK(BM_NationOverview500Commanders)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(1.0);
}  // namespace
