// Feeds arbitrary bytes to the sprite-archive check, then draws every sprite
// of an archive that passed it.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "runtime/trs.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (!trscheck(data, int64_t(size))) return 0;
  std::vector<uint8_t> target(16 * 16 * 4);
  for (int32_t nr = 0; nr < trscount(data); nr++) {
    TrsSprite s = trssprite(data, nr);
    for (int32_t frame = 0; frame < s.frames; frame++)
      drawtrssprite(s, frame, target.data(), 16, 16, -3, 5, 20, 9, TRSDRAW_BLEND, 0);
  }
  return 0;
}
