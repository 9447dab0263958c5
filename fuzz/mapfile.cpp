// Feeds arbitrary text to the map file passes: information, geography,
// allowed players and the map-editor scenario pass (every command but god).
#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

#include "world/world.h"
#include "worldgen/worldgen.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static bool ready = false;
  if (!ready) {
    clearworld();
    nbrlands = 40;
    ready = true;
  }
  // No terminator behind the text: a read past its end is caught.
  std::vector<char> text(data, data + size);
  // A map for a newer program stops by design; keep those out.
  const std::string_view word = "veyversion";
  for (size_t i = 0; i + word.size() <= text.size(); i++)
    if (std::string_view(&text[i], word.size()) == word) text[i] = 'x';
  const int32_t n = int32_t(size);
  readmapinfo(text.data(), n);
  readmapgeo(text.data(), n);
  readallowedplayers(text.data(), n);
  readscenario(text.data(), n, 1);
  for (int32_t l = 0; l < MAXLANDS; l++)
    for (int i = 0; i < MAXNEIGHBOURS; i++)
      if (provgeo[size_t(l)].nbr[i] < 0 || provgeo[size_t(l)].nbr[i] > MAXPROVINCES) __builtin_trap();
  return 0;
}
