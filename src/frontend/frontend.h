// Front end: start (the command-line modes, then the Main Menu), the
// new-game screens, the god designer, preferences, the credits, the
// performance test, and the player side's part of start-up and shut-down.
// The turn screens (screens/) stand above this folder and register their
// entry (setplaygame).
//
// Every screen here is a loop: it builds its items, calls render_frame and
// acts on the id returned (gfx/gui.h). The ids below are named so that tests
// can click them through the input script ("clickid").
#pragma once
#include "ai/design.h"
#include "runtime/short.h"

// Hands the player side's part of the shared services to the layers below:
// the shut-down hooks of the fatal path (free the textures, close the
// window, stop sound), the window behind the progress box, the windowed map
// screens and the new-game screens. main calls it first of all, then
// installturnscreens.
void installplayerside();
// Frees all OpenGL textures and display lists; nothing in text-only mode.
void flushopengl();
// The OpenGL performance test of "--perftest".
void perftest();
// Dispatches the command-line modes or runs the Main Menu; returns on quit.
void start();

// ---------------------------------------------------------------- Main Menu
enum MainMenuId : int32_t {
  MM_NEWGAME = 1, MM_PLAY = 2, MM_TOOLS = 3, MM_PREFERENCES = 4, MM_CREDITS = 5, MM_QUIT = 6,
  // Game Tools
  GT_RANDOMMAP = 11, GT_MAPEDITOR = 12, GT_DESIGNER = 13, GT_MODS = 14, GT_BACK = 19,
  // Play or Host a Game: 100 + the game's place in the list
  PG_FIRST = 100, PG_BACK = 99, PG_READY = 98
};
// The Main Menu until Quit (or the window is closed).
void mainmenu();
// A new game from the window's screens, then its first turn; 1 when a game
// was made.
int32_t newgamefrommenu();
// Opens a game of the saved-games folder: its nations' turns (the turn
// screens), or hosting. The game name must be a valid one. The turn screens
// set the opening at start-up (installturnscreens of screens/turnscreen.h).
void playgame(const char* gname);
using playgamefn = void (*)(const char* gname);
void setplaygame(playgamefn play);
// The saved games: folder names that hold a world or a turn file, in
// alphabetical order; their number (at most max).
int32_t listgames(char (*names)[100], int32_t max);
// True when the game's world file is missing or does not read whole (its
// header or any record); the world tables are left empty after the look.
bool gamedamaged(const char* gname);
// The foot of a menu window: a "Back" button under its items (Escape too);
// shows the window and gives the id chosen.
int32_t backandshow(int32_t backid);
// The next window shown starts its list at the top (scroll slot n); the
// window keeps its own scroll position from then on.
void listfromtop(int32_t slot);
// The Mods screen of Game Tools: every mod of the mod folder, enabled or
// not by a click (written to the settings file at once); Back leaves.
enum ModScreenId : int32_t { MS_BACK = 999, MS_FIRST = 1 };   // MS_FIRST + place in the folder's list
void modscreen();
// The credits; the end credits close by themselves after a few seconds.
void credits(int32_t atend);

// ---------------------------------------------------------------- new game
enum NewGameId : int32_t {
  NG_OK = 1, NG_BACK = 2,
  NG_ERA = 10,                 // 11..13: early, middle, late
  NG_ADDRANDOM = 3,            // participants: a random opponent more
  NG_NATION = 1000,            // + nation: its controller (right click: the one before)
  NG_RANDOM = 2000,            // + place in the list: a random opponent's level
  NG_DESIGN = 21, NG_LOAD = 22, NG_RANDOMGOD = 23,   // a human's god
  NG_SAVED = 3000,             // + place in the list of saved designs
  NG_SETTING = 100,            // + place in the settings table
  NG_PASSWORD = 4, NG_VICTORY = 5,
  NG_KEEPGOD = 24, NG_CHANGEGOD = 25               // a human's god chosen before
};
// The eras' names and what each is like, for eras 1..3 at 0..2.
extern const char* const eranames[3];
extern const char* const erainfos[3];
// Puts the new-game screens in place of the console's questions.
void installnewgamescreens();
// The game whose folder the gods of the new game being made were saved
// into ("" none): a new game left before it was made takes them away.
extern char designsgame[100];
// Forgets the gods chosen on the road of a new game: the next road begins
// without them.
void forgetnewgamegods();

// ---------------------------------------------------------------- god designer
enum DesignerId : int32_t {
  GD_DONE = 1, GD_CANCEL = 2, GD_RANDOM = 3, GD_SAVE = 4, GD_LOAD = 5, GD_NAME = 6, GD_PASSWORD = 7,
  GD_EPITHET = 8, GD_FORMPREV = 10, GD_FORMNEXT = 11,
  GD_PATHUP = 100, GD_PATHDOWN = 110,          // + path 0..8
  GD_DOMUP = 120, GD_DOMDOWN = 121,
  GD_SCALEFIRST = 130, GD_SCALESECOND = 140,   // + scale: a step toward its first- or second-named side
  GD_AWAKE = 150                               // + awakening 0..2
};
// The designer over the design: 1 when it was finished within the points
// ("Done"), 0 when left (Escape) with the design as it was. withfiles
// offers saving into and loading from the nation's saved designs.
int32_t godesigner(GodDesign& d, int32_t withfiles);
// Chooses one of the nation's saved designs (a list with name and points);
// 1 with the design loaded, 0 when none was chosen. A design that does not
// read is named in a message box.
int32_t choosesaveddesign(int32_t nation, GodDesign* d);
// Game Tools, "God Designer": era, nation, then the designer with files.
void designertool();

// ---------------------------------------------------------------- nations
// The nation information screen: name and epithet, its era, what the
// nation is like and, with withgod, the god that leads it in the world
// (its name, form and the blessings of its paths). Closes on Exit, Escape
// or Return. The last argument is kept for callers and unused.
void shownationinfo(int32_t nation, int32_t withgod, int32_t reserved);
// The effects that the player's god gives blessed sacred units, as a text
// ("Att +2, Def +3", or "none").
void blesseffects(int32_t player, char* buffer, int32_t size);
enum NationInfoId : int32_t { NI_EXIT = 999 };

// ---------------------------------------------------------------- preferences
enum PreferenceId : int32_t { PF_BACK = 999, PF_FIRST = 1 };   // PF_FIRST + place in the table
void preferences();

// ---------------------------------------------------------------- quitting from a turn
// Raised when the player quits from a turn: the turn screens end without
// writing and the program ends when they return.
extern int32_t quitprogram;
