// Feeds arbitrary text to the map file passes: information, geography,
// allowed players and the map-editor scenario pass (every command but god).
#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

#include "world/world.h"
#include "worldgen/worldgen.h"

// Every neighbour number stays a province number (left without coverage
// feedback in fuzz/coverage.ignore: it walks the whole table every run).
bool neighboursinrange() {
  for (const ProvGeo& g : provgeo)
    for (int16_t n : g.nbr)
      if (n < 0 || n > MAXPROVINCES) return false;
  return true;
}

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
  if (!neighboursinrange()) __builtin_trap();
  return 0;
}
