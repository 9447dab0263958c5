// Mixing one second of audio with every channel busy (target: under 5 ms),
// once with steady volumes and once with every channel fading.
#include <benchmark/benchmark.h>

#include <vector>

#include "sound/mixer.h"

namespace {
// 32 looping samples of different lengths, so their ends fall apart.
void fillchannels(std::vector<std::vector<int16_t>>& samples, bool fading) {
  stopallchannels();
  samples.assign(MIXCHANNELS, {});
  for (int32_t c = 0; c < MIXCHANNELS; c++) {
    std::vector<int16_t>& s = samples[size_t(c)];
    s.resize(size_t(MIXRATE / 3 + 97 * c));
    for (size_t i = 0; i < s.size(); i++) s[i] = int16_t((int32_t(i) * (31 + c) % 4000) - 2000);
    playsamples(s.data(), int32_t(s.size()), c, fading ? 0 : 200, c * 6 - 96, 1);
  }
  // Toward 255 by a thousandth a tick: still fading when the second is over.
  if (fading) fadechannels(-1, 255, 0.001f);
}

void mixsecond(benchmark::State& state, bool fading) {
  std::vector<std::vector<int16_t>> samples;
  std::vector<int16_t> out(size_t(MIXRATE) * 2);
  fillchannels(samples, fading);
  for (auto _ : state) {
    mixaudio(out.data(), MIXRATE);
    benchmark::DoNotOptimize(out.data());
  }
  stopallchannels();
}

void BM_Mix32ChannelsOneSecond(benchmark::State& state) { mixsecond(state, false); }
void BM_Mix32FadingChannelsOneSecond(benchmark::State& state) { mixsecond(state, true); }
}  // namespace

BENCHMARK(BM_Mix32ChannelsOneSecond)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Mix32FadingChannelsOneSecond)->Unit(benchmark::kMillisecond);
