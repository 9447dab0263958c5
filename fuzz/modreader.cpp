// Feeds arbitrary text to the ".dm" mod reader over the built-in tables,
// which are put back after every input; afterwards every table still has
// its end row within its capacity.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "mods/mods.h"
#include "world/gamedata.h"
#include "world/ruleconstants.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static bool ready = false;
  if (!ready) {
    loadgamedata();
    ready = true;
  }
  restoregamedata();
  defaultgeneral();
  // No terminator behind the text: a read past its end is caught.
  std::vector<char> text(data, data + size);
  ModInfo info;
  readmod("fuzz.dm", text.data(), text.size(), &info);
  if (nbrofunittypes() >= MAXUNITTYPES || nbrofweapons() >= MAXWEAPONS || nbrofarmors() >= MAXARMORS ||
      nbrofitems() >= MAXITEMS || nbrofsites() >= MAXSITES || nbrofspells() >= MAXSPELLS)
    __builtin_trap();
  if (info.name[sizeof info.name - 1] != 0 || info.description[sizeof info.description - 1] != 0) __builtin_trap();
  return 0;
}
