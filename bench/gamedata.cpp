// Loading the whole built-in data set, as start-up does it.
#include <benchmark/benchmark.h>

#include "world/gamedata.h"

static void BM_loadgamedata(benchmark::State& state) {
  for (auto _ : state) {
    loadgamedata();
    benchmark::DoNotOptimize(unittypes[17].hp);
  }
}
BENCHMARK(BM_loadgamedata)->Unit(benchmark::kMillisecond);

static void BM_findunittype_miss(benchmark::State& state) {
  loadgamedata();
  for (auto _ : state) benchmark::DoNotOptimize(findunittype("No Such Creature"));
}
BENCHMARK(BM_findunittype_miss);
