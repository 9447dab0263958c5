// Feeds arbitrary bytes to the font metrics reader: a refused file leaves the
// metrics as they were, an accepted one holds only advances in range.
#include <cstddef>
#include <cstdint>

#include "gfx/font.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fontmetrics m;
  m.cell = 7;
  if (parsefontmetrics(data, int64_t(size), m)) {
    if (m.cell != 7) __builtin_trap();
    return 0;
  }
  if (m.cell < 8 || m.cell > 256) __builtin_trap();
  for (float a : m.advance)
    if (a < 0 || a > 4.0f) __builtin_trap();
  return 0;
}
