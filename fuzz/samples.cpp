// Feeds arbitrary bytes to the sample readers: the first byte picks RIFF
// WAVE (odd) or raw a-law (even). A refused file must leave nothing behind; an
// accepted one must fit the limits and play through the mixer.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "sound/mixer.h"
#include "sound/samples.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1) return 0;
  std::vector<int16_t> out;
  const char* problem = nullptr;
  const bool ok = decodesample({data + 1, size - 1}, data[0] & 1, out, &problem);
  if (ok != (problem == nullptr) || (!ok && !out.empty())) __builtin_trap();
  if (!ok) return 0;
  if (out.empty() || out.size() > size_t(MAXSAMPLEFRAMES)) __builtin_trap();
  const int32_t channel = playsamples(out.data(), int32_t(out.size()), -1, MAXVOLUME, 0, 0);
  int16_t mixed[2 * 512];
  mixaudio(mixed, 512);
  if (channel >= 0) stopchannel(channel);
  return 0;
}
