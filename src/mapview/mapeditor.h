// The map editor: a picture with one pure white pixel per province made into
// a playable map (terrain, names, neighbours and battleground look of each
// province), saved as a ".map" file that new games read.
//
// The rules are plain functions over the province tables (provgeo, land), so
// tests run them without a window; the screens (mapeditscreen.cpp) call them
// on the ids that render_frame returns. The map in memory is the world
// creation's: nbrlands provinces numbered 1..n, the map head (maptitle,
// mapdescription, maptextcolour, defaultmapzoom), and the map view's
// wraparound.
#pragma once
#include <cstddef>
#include <string>
#include <vector>

#include "runtime/short.h"

// ---------------------------------------------------------------- rules

// A terrain check box of the editing screen.
struct TerrainToggle {
  int32_t id;
  int32_t key;          // its shortcut (an SDL key symbol or a character)
  uint32_t bit;         // TM_ bit of the terrain mask
  const char* label;
  const char* info;     // the pop-up text
};
constexpr int32_t TERRAINTOGGLES = 14;
// In the screen's order: sea, deep sea, fresh water, small, large, mountains,
// border mountains, cave, swamp, waste, forest, farm, no start, many sites.
extern const TerrainToggle terraintoggles[TERRAINTOGGLES];
// The check box of an id, null for another id.
const TerrainToggle* terraintoggle(int32_t id);

// Flips one terrain bit of a province, with its couplings: setting small
// clears large and setting large clears small, clearing sea clears deep sea,
// setting deep sea sets sea. Nothing for a province outside 1..nbrlands.
void editterrain(int32_t lnr, uint32_t bit);
// A sea province holds no forest, mountains, swamp or fresh water: applied
// to the selected province after every action of the screen.
void editseacheck(int32_t lnr);
// A province was inserted into the picture right at `selected` (its white
// pixel now numbers it): the neighbour lists and terrains of selected..n-1
// move up one place, so that the provinces after it keep theirs; the
// numbers inside the lists stay. Needs 1 <= selected < n.
void editinserted(int32_t selected);
// The province `selected` is about to be removed from the picture: the
// neighbour lists and terrains of selected+1..n move down one place. Needs
// 1 <= selected <= n.
void editremoved(int32_t selected);
// Empties the neighbour list of every province.
void editclearneighbours();
// A left click on province `other` with `selected` chosen: the two become
// neighbours of each other, or, with Ctrl held, stop being neighbours.
// Nothing when the two are the same or either is not a province.
void editneighbour(int32_t selected, int32_t other, int ctrl);

// A typed province, skybox or battle map name made safe for a map file:
// '%', '"' and '#' become blanks (a quote would end the text when the file
// is read back, a '#' start a command).
void editcleanname(char* text);
// The file name "Save map as" writes: ".map" appended unless the fourth
// character from the end (or the first of a shorter name) is '.'. 0 (and
// out empty) when the typed name is empty or one that no path may take
// (safemapname: "..", a leading "/" or a control character).
int editsavename(const char* typed, char* out, size_t size);

// cmf: create map file.
// Writes the map in memory as a ".map" file at path, with imagename as its
// picture: the map head, each province's name and terrain, each neighbour
// pair once, the battleground look of the provinces that have one, and the
// start provinces given. All or nothing: 1 when written, 0 (logged, any old
// file kept as it was, errno the cause) when it cannot be.
int cmf(const char* path, const char* imagename, const int32_t* starts = nullptr, int32_t nstarts = 0);
// The text that cmf writes for the map in memory. The editor compares it
// with the text last saved (or opened) to know whether edits are unsaved.
std::string mapfiletext(const char* imagename, const int32_t* starts, int32_t nstarts);

// What the editor opens, without a window: a picture of the maps folders
// (as typed, then with ".rgb", then ".tga"; the maps folder first, then the
// local maps folder) made into a new map with its provinces and the
// neighbours the picture shows, or a map file (as typed in the maps folder
// or the local maps folder, else with ".map" in either) with everything it
// says of the map. image gets the picture's name (PATHLEN
// bytes). 1 when opened; else 0 with the message for the player (MSGLEN
// bytes): a name that no path may take or nowhere found ("Cannot open file"),
// a picture without white pixels or with more than the tables hold, a map
// file that cannot be read ("Bad map file").
int editopenimage(const char* typed, char* image, char* message);
int editopenmap(const char* typed, char* image, std::vector<int32_t>& starts, char* message);

// ---------------------------------------------------------------- screens

// The Map Editor menu of the Game Tools: a new map from a picture of the
// maps folders, or a map file of the maps folders, each asked for by name,
// then the editing screen; returns when Exit is chosen.
void mapeditor();
// The editing screen for the map in memory (its picture already cut into
// textures), until Exit. starts: the map's start provinces, kept when
// saving. With edits that are not saved, Exit (Escape) and the window's
// close ask first whether to save them, leave without them or stay
// (Return and Escape: stay); the close ends the program unless the player
// stays.
void mapeditscreen(const char* imagename, const int32_t* starts, int32_t nstarts);
// The Battle Ground Look dialog of a province (nothing outside 1..n).
void bglookdialog(int32_t lnr);

// Ids of the menu, the editing screen (besides the terrain toggles 1..16)
// and the dialog.
enum MapEditId : int32_t {
  ME_NEWMAP = 1, ME_LOADMAP = 2, ME_MENUEXIT = 9,
  ME_NAME = 10, ME_RANDOMNAME = 11, ME_CLEARNEIGHBOURS = 21, ME_RANDOMNAMES = 22, ME_WRAP = 23, ME_GOTO = 25,
  ME_SAVE = 26, ME_INSERTED = 27, ME_REMOVED = 28, ME_BATTLEGROUND = 29, ME_MAP = 30, ME_EXIT = 999,
  BG_OK = 1, BG_SKYBOX = 2, BG_BATMAP = 3, BG_GROUND = 4, BG_ROCK = 5, BG_FOG = 6
};
