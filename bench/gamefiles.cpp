// Writing and reading the world file of a large game: 1,500 provinces,
// 95 players, 20,000 units and 5,000 commanders; in memory, and as the host
// does it, through a file on the disc (put together in memory and written
// at once, read at once and taken apart in memory). The baseline of the
// same run copies the file's bytes once in memory.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

#include "gamefiles/gamefiles.h"
#include "runtime/binio.h"
#include "runtime/folders.h"
#include "support/sampleworld.h"
#include "support/scratch.h"

namespace {

std::vector<uint8_t> writeworld() { return streambytes([](FILE* f) { putfatherland(f); }); }

void BM_CopyWorldBytes(benchmark::State& state) {
  sampleworld(1500, 95, 20000, 5000);
  const std::vector<uint8_t> bytes = writeworld();
  for (auto _ : state) {
    std::vector<uint8_t> copy(bytes);
    benchmark::DoNotOptimize(copy.data());
  }
  state.counters["file_bytes"] = double(bytes.size());
}
BENCHMARK(BM_CopyWorldBytes)->Unit(benchmark::kMillisecond);

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
    UniqueFile f = memorystream(bytes);
    setreadversion(FILEVERSION);
    getfatherland(f.get());
  }
  state.counters["file_bytes"] = double(bytes.size());
}
BENCHMARK(BM_ReadWorld)->Unit(benchmark::kMillisecond);

// The host's own calls on a folder of the benchmark's own.
const char* const GAME = "bench";
void savefolder() {
  static const std::string folder = makerunscratch("vey3bench_gamefiles_");
  strlcopy(savepath, folder.c_str(), PATHLEN);
}

void BM_WriteWorldFile(benchmark::State& state) {
  savefolder();
  sampleworld(1500, 95, 20000, 5000);
  for (auto _ : state)
    if (!writeworldfile(GAME, 7, 3)) state.SkipWithError("the world file was not written");
}
BENCHMARK(BM_WriteWorldFile)->Unit(benchmark::kMillisecond);

void BM_LoadWorldFile(benchmark::State& state) {
  savefolder();
  sampleworld(1500, 95, 20000, 5000);
  if (!writeworldfile(GAME, 7, 3)) state.SkipWithError("the world file was not written");
  for (auto _ : state) {
    int32_t turn = 0;
    if (!loadworldfile(GAME, 7, &turn)) state.SkipWithError("the world file was not read");
  }
  const std::string clear = std::string("rm -rf ") + savepath;
  if (system(clear.c_str()) != 0) state.SkipWithError("the folder stays");
}
BENCHMARK(BM_LoadWorldFile)->Unit(benchmark::kMillisecond);

}  // namespace
