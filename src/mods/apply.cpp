// Bringing the game tables and the game information in line with the
// enabled-mod list.
#include <cstring>
#include <string>

#include "mods/mods.h"
#include "runtime/ask.h"
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

bool run_all_mods(ModProblem* unread) {
  restoregamedata();
  defaultgeneral();
  bool whole = true;
  for (int32_t i = 0; i <= listlast(); i++) {
    ModInfo info;
    std::string problem;
    const int32_t warnings = loadmodfile(enabledmodlist.names[i], &info, &problem);
    if (warnings < 0) debugprint("***** Warning: mod %s not applied\n", enabledmodlist.names[i]);
    else if (warnings > 0) debugprint("mod %s applied with %d warnings\n", enabledmodlist.names[i], warnings);
    // A missing mod is the game's to name; one that is there but cannot be
    // read whole is the caller's when it asks, else said here, as it is
    // left out.
    if (warnings >= 0 || problem.empty()) continue;
    if (unread && whole) *unread = ModProblem{enabledmodlist.names[i], problem};
    if (!unread)
      msgbox("The mod %s is not used: %s. The game goes on without it.", enabledmodlist.names[i], problem.c_str());
    whole = false;
  }
  return whole;
}

bool applymods(ModProblem* unread) {
  if (samelist(enabledmodlist, builtwith)) return true;
  const bool whole = run_all_mods(unread);
  builtwith.last = listlast();
  for (int32_t i = 0; i <= builtwith.last; i++) strlcopy(builtwith.names[i], enabledmodlist.names[i], MODNAMELEN);
  // Tables built without a mod that could not be read are built anew next
  // time, so that the mod is read again (and its fault told again).
  if (!whole) builtwith.last = -2;
  return whole;
}

void EnabledMods2GameInfo() {
  static_assert(MAXGAMEMODS == MAXMODS && sizeof gameinfo.mods[0].name == MODNAMELEN);
  const int32_t last = listlast();
  gameinfo.modcount = int16_t(last);
  for (int32_t i = 0; i <= last; i++) {
    GameMod& m = gameinfo.mods[i];
    m = GameMod{};
    strlcopy(m.name, enabledmodlist.names[i], sizeof m.name);
    ModInfo info;
    if (readmodinfo(m.name, &info)) {
      m.version[0] = info.version[0];
      m.version[1] = info.version[1];
    }
  }
}

int32_t ConfirmGameInfoMods() {
  const int32_t last = imax(-1, imin(gameinfo.modcount, MAXGAMEMODS - 1));
  for (int32_t i = 0; i <= last; i++) {
    const char* name = gameinfo.mods[i].name;
    std::string cause;
    const int32_t state = modfilestate(name, &cause);
    if (state == 1) continue;
    if (state < 0) msgbox("This game needs the mod %s, which cannot be read: %s.", name, cause.c_str());
    else if (validmodname(name)) msgbox("This game needs the mod %s, which is not in the mods folder.", name);
    else msgbox("This game names a mod that cannot be a file of the mods folder.");
    return 0;
  }
  return 1;
}

void EnableGameInfoMods() {
  clearenabledmods();
  const int32_t last = imax(-1, imin(gameinfo.modcount, MAXGAMEMODS - 1));
  for (int32_t i = 0; i <= last; i++) enablemod(gameinfo.mods[i].name);
}
