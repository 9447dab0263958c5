// New-game set-up: the game settings (one table that the command line's
// values, the settings screens and the game information share), era,
// participants and their nations, the gods of the human players, the
// deletion of an old game of the same name, and the province and unit checks
// that world creation asks for.
//
// The questions of a new game are asked on the console; the player side puts
// its screens in their place through setnewgamescreens (not in text-only
// mode), as it does for the map chooser.
#pragma once
#include <string>

#include "runtime/short.h"

// Victory-point provinces worth 1, 2 and 3 points that a new game places.
extern int32_t vpprovinces[3];

// ---------------------------------------------------------------- game settings
// One setting of a new game: the command-line option that sets it (its
// values, low..high, and usage text come from the command line's table; null
// for a toggle that only the screen sets), its
// label on the settings screens, the command line's value that the screens
// change too, and the game's own default for a value of -1. Toggles take 0
// and 1. Screen 0 is "Game Settings", 1 "Victory Conditions".
struct NewGameSetting {
  const char* option;
  const char* label;
  int32_t* value;
  int32_t fallback;
  int32_t toggle;
  int32_t screen;
  const char* const* names;   // the values' names from low on, or null for numbers
  const char* effect;         // what the setting does in the game, for the screens' tooltips
};
extern const NewGameSetting newgamesettings[];
extern const int32_t nbrnewgamesettings;
// The value a setting takes in the game (its default for -1), and its limits.
int32_t settingvalue(const NewGameSetting& s);
void settingrange(const NewGameSetting& s, int32_t* low, int32_t* high);
// No more victory points may be needed to win than stand in the world: a
// number above them becomes their number. True when it did, with the
// message that says so in `message` ("Only 6 victory points stand in the
// world; 6 it is.").
bool fitrequiredvp(char* message, int32_t size);
// Copies the command-line game options into the game settings (the victory
// points needed fitted to those in the world, with the message).
void applygamesettings(int32_t mode);
// The command line's per-nation controllers into the player slots.
void applynationcontrol();

// ---------------------------------------------------------------- participants
// A participant of a new game: the nation it plays (-1 for a nation drawn
// among the era's free ones) and who controls it (CTRL_HUMAN, or CTRL_AI
// with an AI level 1..5).
struct Participant {
  int32_t nation;
  int32_t controller;
  int32_t ailevel;
};
extern Participant participants[95];
extern int32_t highestparticipant;            // -1 empty
// 1 when the nation can play in a new game of the era on the chosen map.
int nationplayable(int32_t nation, int32_t era);
// A fresh list: the nations of the era that the map's computer players and
// the command line's per-nation controllers name.
void defaultparticipants(int32_t era);
// The index of the nation's participant, -1 when it has none.
int32_t participantof(int32_t nation);
// Sets the nation's participant (controller 0 removes it). Random
// participants are nation -1: addparticipant adds one, removeparticipant
// takes out the one at the index.
void setparticipant(int32_t nation, int32_t controller, int32_t ailevel);
void addparticipant(int32_t nation, int32_t controller, int32_t ailevel);
void removeparticipant(int32_t index);
// Why the list cannot make a game of the era ("" when it can): nobody
// plays, a nation played twice or not of the era, more nations drawn at
// random than are free, no human player (when one is needed).
const char* participantsproblem(int32_t era, int needhuman);
// Gives each participant its nation: controllers of every slot from the
// list, random participants drawn among the era's free nations.
void assignnations(int32_t era);
// Why the chosen map has no room for the playing nations ("" when it has):
// too few provinces on land (or in the sea, for the nations of the sea)
// where a nation may start.
const char* startroomproblem();

// ---------------------------------------------------------------- questions
int32_t gamesettings(int32_t mode);           // 0 when the user went back
int32_t selectera(int32_t mode);              // 1..3, 0 back
int32_t chooseparticipants(int32_t fresh, int32_t era);   // above 0 when confirmed
// The god of every human slot, designed or loaded, saved as the nation's
// ".2h" in the game's folder; 0 when the user went back.
int32_t designallgods(int32_t era, const char* gname);
// The windowed forms of the questions above (null members keep the
// console's): era 1..3 or 0; participants fills the list, above 0 when
// confirmed; gods as designallgods; settings shows the settings and victory
// conditions, changing the command line's values, 0 when the user went back.
struct NewGameScreens {
  int32_t (*era)();
  int32_t (*participants)(int32_t era);
  int32_t (*gods)(int32_t era, const char* gname);
  int32_t (*settings)();
};
void setnewgamescreens(const NewGameScreens* screens);
// Removes the files of a game that this program names (with what stopped
// writes left there), and its folder when that is empty.
void removegamefiles(const char* gname);
// True when a game of that name stands: its world file or a turn file.
bool gameexists(const char* gname);
// True for a file name that belongs to the game: its world, turn, order and
// report files, its random map, the host's pages and unfinished writes.
bool gamefilename(const char* gname, const char* name);
// Carries what the old folder of a game holds besides the old game's own
// files (the gods that players put there for it, files of the user's own;
// with oldgame false, every file) into the folder of the new game: a second
// name of each file, or where that cannot be made (another account's file)
// a copy, never through a link; and finds whether each sub-folder can be
// moved into it once the new game stands, and whether the old folder can
// then be emptied. "" when every file went over and every folder can; else
// why not, naming the file or folder and the cause. The old folder is not
// changed either way.
std::string carryoldfiles(const char* gname, const char* from, const char* to, bool oldgame);
// 1 when no game of that name stands, or the user agreed to replace it
// (always in text-only mode); 0 when the user refused.
int32_t askreplacegame(const char* gname, const char* question);
// Removes the files of an old game of that name (after asking, unless in
// text-only mode); 0 when the user refused.
int32_t deletegamefiles(const char* gname, const char* question);
void initcapitalland(int32_t lnr);
// 1 when the land or a land within the steps (of the kind: 0 dry land, 1 sea,
// else any) belongs to a player other than the independents.
int32_t nearowned(int32_t lnr, int32_t steps, int32_t kind);
// Stops on a unit overflow, and (debug level above 0) on a commander whose
// body does not point back at it.
void unitcheck(int32_t level);
