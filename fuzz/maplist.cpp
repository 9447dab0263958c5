// Fuzz target: the map chooser's reading of map files from anywhere (titles,
// images, sizes and the new-game commands of each map), over a joined text
// whose files are separated by zero bytes; each file is read on its own.
#include <cstdint>
#include <vector>

#include "world/world.h"
#include "worldgen/worldgen.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static bool ready = false;
  if (!ready) {
    clearworld();
    ready = true;
  }
  // No terminator behind the text: a read past its end is caught.
  std::vector<char> copy(data, data + size);
  const int32_t n = readmaplist(copy.data(), int32_t(size));
  // At most one map a file: a file without a title adds to no other.
  int32_t files = 1;
  for (size_t i = 0; i < size && files < MAXMAPS; i++) files += data[i] == 0;
  if (n < 0 || n > files) __builtin_trap();
  if (higheststart >= MAXSTARTS) __builtin_trap();
  return 0;
}
