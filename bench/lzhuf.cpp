// Speed of the LZHUF coder on 1 MiB of game-like records and of random bytes.
#include <benchmark/benchmark.h>

#include <cstring>
#include <random>
#include <vector>

#include "runtime/lzhuf.h"

namespace {
constexpr int32_t SIZE = 1 << 20;

// Records like those of the game files: counters, small numbers, flags and names.
std::vector<uint8_t> gamelike() {
  static const char* const names[] = {"Heavy Infantry", "Longbowman", "Pretender", "Fire Drake", "Militia",
                                      "Sacred Serpent", "Arch Mage", "Province of the Silver Hills"};
  std::vector<uint8_t> b;
  for (uint32_t i = 0; b.size() < size_t(SIZE); i++) {
    uint32_t fields[8] = {i, i % 95, 10 + i % 7, 0, 0xFFFFFFFFu, (i * 37) % 1000, 1, 12345};
    for (uint32_t f : fields)
      for (int k = 0; k < 4; k++) b.push_back(uint8_t(f >> (8 * k)));
    const char* name = names[i % 8];
    b.insert(b.end(), name, name + strlen(name) + 1);
  }
  b.resize(size_t(SIZE));
  return b;
}

std::vector<uint8_t> randombytes() {
  std::mt19937 gen(1);
  std::vector<uint8_t> b(static_cast<size_t>(SIZE));
  for (auto& x : b) x = uint8_t(gen());
  return b;
}

void compressbench(benchmark::State& state, const std::vector<uint8_t>& plain) {
  std::vector<uint8_t> out(plain.size() * 3 + 64);
  int32_t n = 0;
  for (auto _ : state) {
    n = lzh_compress(plain.data(), int32_t(plain.size()), out.data(), int32_t(out.size()));
    benchmark::DoNotOptimize(n);
  }
  if (n < 0) state.SkipWithError("output did not fit");
  state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(plain.size()));
  state.counters["ratio"] = double(n) / double(plain.size());
}

void decompressbench(benchmark::State& state, const std::vector<uint8_t>& plain) {
  std::vector<uint8_t> packed(plain.size() * 3 + 64);
  int32_t n = lzh_compress(plain.data(), int32_t(plain.size()), packed.data(), int32_t(packed.size()));
  std::vector<uint8_t> out(plain.size());
  for (auto _ : state) {
    int32_t m = lzh_decompress(packed.data(), n, out.data(), int32_t(out.size()));
    benchmark::DoNotOptimize(m);
    if (m != int32_t(plain.size())) state.SkipWithError("bad round trip");
  }
  state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(plain.size()));
}

void BM_CompressGameData(benchmark::State& state) { compressbench(state, gamelike()); }
void BM_DecompressGameData(benchmark::State& state) { decompressbench(state, gamelike()); }
void BM_CompressRandom(benchmark::State& state) { compressbench(state, randombytes()); }
void BM_DecompressRandom(benchmark::State& state) { decompressbench(state, randombytes()); }
}  // namespace

BENCHMARK(BM_CompressGameData)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DecompressGameData)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CompressRandom)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DecompressRandom)->Unit(benchmark::kMillisecond);
