// Writing and reading the world file of a large game: 1,500 provinces,
// 95 players, 20,000 units and 5,000 commanders.
#include <benchmark/benchmark.h>

#include "gamefiles/gamefiles.h"
#include "support/sampleworld.h"

namespace {

std::vector<uint8_t> writeworld() { return streambytes([](FILE* f) { putfatherland(f); }); }

void BM_WriteWorld(benchmark::State& state) {
  sampleworld(1500, 95, 20000, 5000);
  size_t bytes = 0;
  for (auto _ : state) bytes = writeworld().size();
  state.counters["file_bytes"] = double(bytes);
}
BENCHMARK(BM_WriteWorld)->Unit(benchmark::kMillisecond);

void BM_ReadWorld(benchmark::State& state) {
  sampleworld(1500, 95, 20000, 5000);
  std::vector<uint8_t> bytes = writeworld();
  for (auto _ : state) {
    FILE* f = fmemopen(bytes.data(), bytes.size(), "rb");
    setreadversion(FILEVERSION);
    getfatherland(f);
    fclose(f);
  }
  state.counters["file_bytes"] = double(bytes.size());
}
BENCHMARK(BM_ReadWorld)->Unit(benchmark::kMillisecond);

}  // namespace
