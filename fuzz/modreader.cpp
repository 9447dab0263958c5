// Feeds arbitrary text to the ".dm" mod reader over the built-in tables; the
// rows it changed are put back after every input. Afterwards every table
// still has its end row within its capacity, and now and then (and on the
// first input, so a single input read again is checked too) every table is
// compared with the built-in data: a row changed but not marked would stay.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <vector>

#include "mods/mods.h"
#include "world/gamedata.h"
#include "world/ruleconstants.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static uint32_t runs = 0;
  if (runs == 0) loadgamedata();
  defaultgeneral();
  // No terminator behind the text: a read past its end is caught.
  std::vector<char> text(data, data + size);
  ModInfo info;
  readmod("fuzz.dm", text.data(), text.size(), &info);
  if (nbrofunittypes() >= MAXUNITTYPES || nbrofweapons() >= MAXWEAPONS || nbrofarmors() >= MAXARMORS ||
      nbrofitems() >= MAXITEMS || nbrofsites() >= MAXSITES || nbrofspells() >= MAXSPELLS)
    __builtin_trap();
  if (info.name[sizeof info.name - 1] != 0 || info.description[sizeof info.description - 1] != 0) __builtin_trap();
  restorechangedgamedata();
  if (runs++ % 256 == 0)
    if (const char* table = gamedatachangedtable()) {
      fprintf(stderr, "the table %s was changed without its row marked\n", table);
      __builtin_trap();
    }
  return 0;
}
