// Random map generation: the whole run at three sizes (the default map, a
// large map with rivers, the largest map with peak memory) and each stage of
// the default map. The division runs on several threads, so the times are
// real (wall-clock) times; the default map is made with every core and with
// one, side by side, and more cores must never make it slower.
#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <string>

#include "runtime/trs.h"
#include "worldgen/randmap.h"
#include "support/scratch.h"

namespace {
const std::string folder = makerunscratch("vey3bench_randmap_");

RmParams params(int32_t w, int32_t h, int32_t provinces, int32_t rivers) {
  return RmParams{"bench", folder.c_str(), w, h, provinces, 0, 0, rivers, 0.3f, 0.3f, 0.2f};
}

void whole(benchmark::State& state, int32_t w, int32_t h, int32_t provinces, int32_t rivers, int32_t threads = 0) {
  settrsfolder(VEY3_DATA_DIR);
  rm.threads = threads;
  for (auto _ : state) {
    seedrandommap(1);
    RmParams p = params(w, h, provinces, rivers);
    rmbegin(p);
    for (int32_t s = 0; s < int32_t(RmStage::count); s++) rmstage(RmStage(s), p);
    benchmark::DoNotOptimize(rmfinish(p));
    std::string map = folder + "/bench.map";
    write_random_map_file(map.c_str(), "bench", 0);
  }
  rm.threads = 0;
  rusage use{};
  getrusage(RUSAGE_SELF, &use);
  state.counters["peak_MB"] = double(use.ru_maxrss) / 1024.0;
}

void stage(benchmark::State& state, RmStage which) {
  settrsfolder(VEY3_DATA_DIR);
  for (auto _ : state) {
    state.PauseTiming();
    seedrandommap(1);
    RmParams p = params(1600, 1200, 150, 100);
    rmbegin(p);
    for (int32_t s = 0; s < int32_t(which); s++) rmstage(RmStage(s), p);
    state.ResumeTiming();
    rmstage(which, p);
  }
}
}  // namespace

// The largest map first, so the peak memory it reports is its own.
BENCHMARK_CAPTURE(whole, map_5000x5000_1495, 5000, 5000, 1495, 100)->Unit(benchmark::kMillisecond)->Iterations(1)->UseRealTime();
BENCHMARK_CAPTURE(whole, map_4000x3000_1000_rivers, 4000, 3000, 1000, 100)->Unit(benchmark::kMillisecond)->Iterations(1)->UseRealTime();
BENCHMARK_CAPTURE(whole, map_default_1600x1200_150, 1600, 1200, 150, 0)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime()->MeasureProcessCPUTime();
BENCHMARK_CAPTURE(whole, map_default_one_thread, 1600, 1200, 150, 0, 1)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime()->MeasureProcessCPUTime();
BENCHMARK_CAPTURE(stage, heights, RmStage::heights)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK_CAPTURE(stage, levels, RmStage::levels)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK_CAPTURE(stage, capitals, RmStage::capitals)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK_CAPTURE(stage, division, RmStage::division)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();
BENCHMARK_CAPTURE(stage, prettify, RmStage::prettify)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK_CAPTURE(stage, colours, RmStage::colours)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK_CAPTURE(stage, neighbours, RmStage::neighbours)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK_CAPTURE(stage, decorations, RmStage::decorations)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK_CAPTURE(stage, borders, RmStage::borders)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK_CAPTURE(stage, rivers, RmStage::rivers)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK_CAPTURE(stage, stuff, RmStage::stuff)->Unit(benchmark::kMillisecond)->Iterations(3);
