// World creation: the map image and its provinces, the ".map" file reader and
// its scenario commands, the map list and chooser, land set-up and province
// names, the start-of-game population, and `createnewgame`.
#pragma once
#include <cstdint>
#include <vector>

#include "runtime/ask.h"
#include "runtime/short.h"

// ---------------------------------------------------------------- map image and provinces
constexpr int32_t MAXPROVINCES = 1503;   // province numbers 1..1503
// The one loaded map image: 4 bytes a pixel (R, G, B, A), row 0 first.
struct MapImage {
  uint8_t* pixels;         // block of the checking allocator, null when none
  int32_t width, height;
  char imagename[PATHLEN]; // the name it was loaded by, empty when none
  char folder[PATHLEN];    // the game folder given with it, empty when none
  char path[PATHLEN];      // the file it was loaded from, or last tried
  char problem[200];       // why that file could not be read; empty when it was
};
extern MapImage mapimage;
extern int32_t maptexturesmade;   // 1 once the map view has cut the image into textures
extern float defaultmapzoom;      // from the map file; the map view starts at it

// 1 when the name may become part of a path: not empty, no "..", no leading
// "/" and no control character.
int safemapname(const char* name);

// 1 when it loaded the image; 0 when that image was already held or loading failed.
int LoadBigMap(const char* folder, const char* image);
void freebigmap();
// Loads the image and numbers a province at every pure white pixel.
void FindCapitals(const char* folder, const char* image);
void FindNbors();
void FPN(int32_t l, float limit);
int linecrossings(int32_t x0, int32_t y0, int32_t x1, int32_t y1, int32_t cooldown);
int isredpixel(int32_t x, int32_t y);
float provdist(int32_t a, int32_t b);
void addnbor(int32_t a, int32_t b);
void removenbor(int32_t a, int32_t b);
int32_t provsteps(int32_t from, int32_t to, int32_t depth, int32_t prev, int32_t prev2);
int32_t landsteps(int32_t a, int32_t b);

// ---------------------------------------------------------------- map file reader
constexpr int32_t MAPDESCRLEN = 5000;
constexpr int32_t QUOTEDTEXTLEN = 496;    // getquotedtext: 495 bytes and the terminator

extern char mapfilename[PATHLEN];
extern char mapimagename[PATHLEN];
extern char maptitle[PATHLEN];
extern char mapdescription[MAPDESCRLEN];
extern float maptextcolour[4];           // r, g, b, a; -1 each when the map sets none
extern uint8_t allowedplayers[95];
extern int32_t allowedplayersgiven;
extern int32_t maptextlen;                // length of the last map text loaded

// Text routines over [text, end): every scan stops at end.
int getlinerest(const char* text, const char* end, char* buffer);          // buffer of PATHLEN
int getquotedstr(const char* text, const char* end, char* buffer, int n);
int getquotedarg(const char* text, const char* end, char* buffer, int n);
int getquotedtext(const char* text, const char* end, char* buffer);        // buffer of QUOTEDTEXTLEN
// Decimal numbers from the start of text as "%d %d ..." reads them, saturated
// to 32 bits; the count read. Values not read keep what they held.
int scanints(const char* text, int32_t* values, int count);
int scanfloats(const char* text, float* values, int count);

// The reading rule of every pass: at each '#' the keywords are compared by
// prefix in their order; a match leaves the argument text (rest of the line)
// in `line` and the text right after the keyword in `args`.
struct MapScanner {
  const char* pos;
  const char* end;
  const char* args = nullptr;
  char line[PATHLEN] = {};
  MapScanner(const char* text, int32_t length) : pos(text), end(text + (length > 0 ? length : 0)) {}
  // The index of the next matching keyword, -1 at the end of the text.
  int next(const char* const* keywords, int count);
};
int matchkeyword(const char* const* keywords, int count, const char* text, const char* end, const char** after);
// "veyversion": a map for a newer program ends the run (status 1) after the
// box that says so, naming the map file being read.
void versioncheck(const char* line);
// Why a map of a newer program cannot be used: the stop's own words, the map
// (its file, or file and title) and its version.
void newermapproblem(char* out, int32_t size, const char* map, int32_t version);
// Where a file of a map (its text or its picture) is looked for, first hit
// wins: the game's folder when one is given, the local maps folder, the maps
// folder. Something that stands there counts, readable or not, so that its
// reader names the true cause. Which of them holds it; MAPIN_NONE (0), with
// the maps folder's path, when it stands in none of them.
constexpr int MAPIN_NONE = 0, MAPIN_GAME = 1, MAPIN_LOCAL = 2, MAPIN_MAPS = 3;
int findmapfile(const char* folder, const char* name, char* path);
// "imagefile": the image name, refused when it could leave the maps folders.
void setmapimagename(const char* line);

// Modes of readmapfile.
constexpr int MAPREAD_SCENARIO = 0, MAPREAD_INFO = 1, MAPREAD_EDITOR = 2, MAPREAD_GEO = 3, MAPREAD_PLAYERS = 4;
int readmapfile(const char* folder, const char* mapname, int mode);
// The passes over a loaded text.
int readmapinfo(const char* text, int32_t length);
int readmapgeo(const char* text, int32_t length);
int readallowedplayers(const char* text, int32_t length);
int readscenario(const char* text, int32_t length, int nogods);

// ---------------------------------------------------------------- map list and chooser
constexpr int32_t MAXMAPS = 100;
constexpr int32_t MAXMAPENTRIES = 200;
constexpr int32_t ALLMAPSBYTES = 5000000;
constexpr int32_t MAPFILEMAX = 500000;
constexpr int32_t MAXSTARTS = 100;

extern char maplist[MAXMAPS][100];
extern int32_t highestmap;                // -1 empty
// The chosen map's settings for the new game.
extern int32_t startlist[MAXSTARTS];
extern int32_t higheststart;              // -1 empty
extern int32_t specstart[95];             // 0 none
extern int32_t mapindepstr;               // -1 the map gives none
extern int32_t mapsitefreq;               // -1 the map gives none
extern int32_t nohomelandnames;
extern int32_t mapisscenario;

// The map chooser's reading of a joined map text whose files are separated
// by zero bytes (for the fuzz target): the entries found, each entry's
// title, image and new-game commands read in turn.
int32_t readmaplist(const char* buffer, int32_t length);

int ismapfile(const char* name);
void findmaps(int includerandom);
// The listed files joined in one block; the caller frees it with myfree.
char* loadallmaps();
// 0 cancelled, 1 a map chosen, 2 a random map chosen.
int choosemap(int offerrandom, char* mapname, char* imagename);
// The map information screen of the chosen map: 1 Ok, 0 back to the
// chooser (also after the map was deleted). Only a map of the local maps
// folder can be deleted, after a question that names it and its file.
int deletemap();
// The windowed forms of the chooser and of the map information screen, which
// the player side installs (null members keep the console's menus). choose
// shows the maps (and the three random sizes when offered) and returns the
// id chosen: 5..7 a random map, 1000 + i map i, 1 Cancel. info shows the
// chosen map with its picture and returns 999 Ok, 997 Delete map (offered
// only when deletable) or 998 Cancel.
struct MapChoice {
  int32_t id, kind;            // kind 1: a scenario
  int32_t lands, seas;         // the "%d land + %d sea" column
  char title[MENULINELEN];     // a title that two maps share is followed by " (file)"
  char file[100];              // the map file's name
};
// The maps that the chooser offers (without the random sizes), the game's
// own first, then those of the local maps folder, each sorted by title and
// file, numbered 1000 on in that order: the map editor's list.
std::vector<MapChoice> listmaps();
struct MapScreens {
  int32_t (*choose)(const MapChoice* maps, int32_t count, int offerrandom);
  int32_t (*info)(const char* title, const char* description, const char* imagename, int deletable);
};
void setmapscreens(const MapScreens* screens);
// Ends the program with status 1 over a map that cannot be played (the one
// the command line named): a box in the window, the text on the console.
[[noreturn]] void endwithmapfault(const char* text);

// ---------------------------------------------------------------- land set-up and names
extern int32_t highestsite;
extern uint8_t siteused[1000];

void resetlands();
void landsetup();
void setlandname(int32_t lnr);
void provname(int kind, char* name);    // a random name of province-name list `kind`
int32_t countlandname(const char* name);
int32_t randomsite(int32_t lnr, int32_t rarity, int32_t path, int32_t level);
int32_t minvpsteps(int32_t lnr);
int sitefitsland(int32_t site, int32_t lnr);
// The progress line of world creation ("Creating World") with its label,
// which is empty after the first ("Please Wait").
void worldprogress(const char* label);

// ---------------------------------------------------------------- start population
// popl: populate land.
// Places the independents of a province by terrain and era; the terrain
// class chosen (0 deep sea, 1 sea, 2 cave, 3 coast, 4 farmland, 5 forest,
// 6 mountains, 7 swamp, 8 waste, 9 plains).
int popl(int32_t lnr, int32_t strength);
// Garrison template 1..99 in the province with strength s (nothing below 1).
void indeptemplate(int t, int32_t lnr, int32_t s);

// ---------------------------------------------------------------- new game
// Settings the new game takes from the command line or the settings screens.
int createnewgame(const char* gname, int netflag, char* namebuffer);
// The window-free road to a new game for tools and tests: the command line's
// map, era, nations and settings, the dialogs answered on the console. The
// exit status: 0 created, 1 refused.
int newgamemode(const char* gname);
// Random maps: provinces per player by the kind ("__smallrandommap", ...),
// and the province count for the players with a draw 0 <= draw < 1.
int32_t randomperplayer(const char* kind);
int32_t randomprovinces(const char* kind, int32_t players, float draw);
