// Mods: the enabled-mod list and the loading of mods over the built-in
// tables and the general rule constants (world/ruleconstants.h).
#pragma once
#include <cstdio>
#include <string>
#include <vector>

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
// 1 when the name is on the enabled-mod list.
int32_t modenabled(const char* name);
// Takes the name off the list; the others keep their order.
void disablemod(const char* name);
// 1 for a name that may become a path: not empty, below 100 characters, no
// "..", no leading "/" and no control character.
int validmodname(const char* name);
// 1 when the name is a valid mod name and a regular file of that name lies in
// the mod folder (a folder such as "." is no mod).
int modfileexists(const char* name);
// What stands under a valid mod name in the mod folder: 1 the file, 0
// nothing (a missing mod, or an invalid name), -1 something that is no file
// to read (a folder, a FIFO, a link that goes round in a loop, a folder that
// may not be searched), with why in the readers' words in *cause and the
// errno of the look (0 for something that is there) in *problem.
int32_t modfilestate(const char* name, std::string* cause = nullptr, int* problem = nullptr);
// 1 when something stands under the valid mod name in the mod folder: the
// file, or what the reader refuses with its cause. 0 for a missing mod.
int modinfolder(const char* name);

// A mod that is in the mods folder but cannot be read whole, and why.
struct ModProblem {
  std::string name, problem;
};
// Brings the game tables in line with the enabled mods: when the list
// differs from the one the tables were last built with, restores the
// built-in tables and rule constants and runs every enabled mod. False when
// a mod could not be read whole: it is left out, and the first such one
// goes into *unread when given, else a message box names it.
bool applymods(ModProblem* unread = nullptr);
// Restores the built-in tables and rule constants and runs every enabled mod
// (see applymods); a mod that cannot be read is logged and left out.
bool run_all_mods(ModProblem* unread = nullptr);
// Copies the enabled-mod list into the game information's mod list (names
// and the mods' version numbers).
void EnabledMods2GameInfo();
// 1 when every mod the game information names is in the mod folder; else
// says which one is missing (message box) and gives 0: the game does not open.
int32_t ConfirmGameInfoMods();
// The enabled-mod list becomes the game's own; applymods then builds the tables.
void EnableGameInfoMods();

// ---------------------------------------------------------------- mod files
// A mod file (".dm", text): lines of "#" commands, "--" comments.
// General commands: #modname "text", #description "text", #version 1.05 and
// the rule constants by name (#poppergold 80 ... #researchscale 3, 0..10000).
// A section per table selects a row (#selectmonster 17 or #selectmonster
// "Archer"; weapon, armor, item, site, nation, spell likewise) or adds one
// (#newmonster, or #newmonster 2500 for a row past the end; new rows go below
// the end row, which moves down), then sets its fields and flags by keyword
// (#name "text", #hp 12, #flying, #fireres 100, #weapon "Spear", ...) until
// #end. data/mods/README.md lists every command.
constexpr int32_t MODLINELEN = 4000;            // longer lines are skipped
constexpr int32_t MAXMODFILE = 16 * 1024 * 1024;
struct ModInfo {
  char name[100] = {};
  char description[500] = {};
  int16_t version[2] = {};
};
// Reads a mod's text into the tables and rule constants. Faults (unknown
// commands, values out of range, rows past a table's capacity, a missing
// #end, ...) are logged as "***** Warning: FILE:LINE: what" and the line is
// skipped. The number of warnings.
int32_t readmod(const char* file, const char* text, size_t length, ModInfo* info);
// The same for a file of the mod folder; -1 (logged) when the name would
// leave the folder or the file cannot be read whole or is too large: then
// nothing of the mod reaches the tables, and *problem (when given) says why,
// with the line where a failed reading stopped ("" for a missing file).
int32_t loadmodfile(const char* name, ModInfo* info, std::string* problem = nullptr);
// The same for a mod's text from an open stream.
int32_t loadmodstream(const char* name, FILE* f, ModInfo* info, std::string* problem = nullptr);
// Only the mod's own name, description and version, changing nothing; 0
// when the file cannot be read.
int32_t readmodinfo(const char* name, ModInfo* info);
// The ".dm" files of the mod folder, sorted.
std::vector<std::string> listmodfiles();
