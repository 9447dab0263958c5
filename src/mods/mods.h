// Mods: the enabled-mod list and the loading of mods over the built-in
// tables and the general rule constants (world/ruleconstants.h).
#pragma once
#include "runtime/short.h"
#include "world/ruleconstants.h"

constexpr int MAXMODS = 200;
constexpr int MODNAMELEN = 100;   // bytes per name, terminator included

struct EnabledModList {
  int32_t last = -1;              // highest used index, -1 when empty
  char names[MAXMODS][MODNAMELEN] = {};
};
extern EnabledModList enabledmodlist;

// Adds the mod file name unless it is listed already; a full list only logs.
// Names that would leave the mod folder are refused.
void enablemod(const char* name);
void clearenabledmods();
// 1 for a name that may become a path: not empty, below 100 characters, no
// "..", no leading "/" and no control character.
int validmodname(const char* name);
// 1 when the name is a valid mod name and a regular file of that name lies in
// the mod folder (a folder such as "." is no mod).
int modfileexists(const char* name);

// Brings the game tables in line with the enabled mods: when the list
// differs from the one the tables were last built with, restores the
// built-in tables and runs every enabled mod. Mod files are not read yet, so
// each enabled mod is only logged as not applied.
void applymods();
// Restores the built-in tables and runs every enabled mod (see applymods).
void run_all_mods();
// Copies the enabled-mod list into the game information's mod list (names;
// version numbers 0).
void EnabledMods2GameInfo();
