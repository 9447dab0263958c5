// Bringing the game tables and the game information in line with the
// enabled-mod list.
#include <cstring>

#include "mods/mods.h"
#include "runtime/fatal.h"
#include "runtime/util.h"
#include "world/gamedata.h"
#include "world/world.h"

namespace {
// The list the game tables were last built with; the built-in tables count
// as built with no mods.
EnabledModList builtwith;

bool samelist(const EnabledModList& a, const EnabledModList& b) {
  if (a.last != b.last) return false;
  for (int32_t i = 0; i <= a.last && i < MAXMODS; i++)
    if (strcmp(a.names[i], b.names[i]) != 0) return false;
  return true;
}

int32_t listlast() { return imax(-1, imin(enabledmodlist.last, MAXMODS - 1)); }
}  // namespace

void run_all_mods() {
  restoregamedata();
  for (int32_t i = 0; i <= listlast(); i++) {
    // Mod files are not read yet: the game goes on without the mod rather
    // than claim a change it never made.
    debugprint("*** Warning: mod %s not applied: mod files are not read by this version\n",
               enabledmodlist.names[i]);
  }
}

void applymods() {
  if (samelist(enabledmodlist, builtwith)) return;
  run_all_mods();
  builtwith.last = listlast();
  for (int32_t i = 0; i <= builtwith.last; i++) strlcopy(builtwith.names[i], enabledmodlist.names[i], MODNAMELEN);
}

void EnabledMods2GameInfo() {
  static_assert(MAXGAMEMODS == MAXMODS && sizeof gameinfo.mods[0].name == MODNAMELEN);
  const int32_t last = listlast();
  gameinfo.modcount = int16_t(last);
  for (int32_t i = 0; i <= last; i++) {
    GameMod& m = gameinfo.mods[i];
    m = GameMod{};   // version numbers stay 0 until mod files are read
    strlcopy(m.name, enabledmodlist.names[i], sizeof m.name);
  }
}
