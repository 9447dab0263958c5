// Fuzz target: the map chooser's reading of map files from anywhere (titles,
// images, sizes and the new-game commands of each map), over a joined text
// whose files are separated by zero bytes.
#include <cstdint>
#include <string_view>
#include <vector>

#include "world/world.h"
#include "worldgen/worldgen.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static bool ready = false;
  if (!ready) {
    clearworld();
    ready = true;
  }
  // More "#start" lines than the start list holds stop by design.
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  int32_t starts = 0;
  for (size_t at = text.find("start"); at != std::string_view::npos; at = text.find("start", at + 1))
    if (++starts >= MAXSTARTS - 1) return 0;
  // No terminator behind the text: a read past its end is caught.
  std::vector<char> copy(data, data + size);
  const int32_t n = readmaplist(copy.data(), int32_t(size));
  if (n < 0 || n > MAXMAPENTRIES) __builtin_trap();
  if (higheststart >= MAXSTARTS) __builtin_trap();
  return 0;
}
