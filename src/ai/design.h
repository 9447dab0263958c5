// Pretender god designs: a god as a player designs it (form, magic paths,
// dominion, the six scales, awakening), what it costs in design points,
// whether the rules allow it, random designs, and its two homes outside the
// record: a commander with its body in the world tables, and a saved design
// file ("newlords" slots, or a nation's ".2h" in a new game's folder).
//
// Design points (our own rule; a god may cost DESIGNPOINTS):
//   form       the form's gold (the pretender forms' `gcost` is their design cost)
//   paths      every level above the form's own: 8 x the level reached
//              (so a path bought from nothing to level L costs 4 L (L + 1))
//   dominion   10 per step above 1
//   scales     Order, Productivity, Growth, Luck and Magic cost 10 a step;
//              Turmoil, Sloth, Death, Misfortune and Drain give 10 back a
//              step; Heat and Cold are free
//   awakening  a dormant god gives 50 back, an imprisoned one 100
#pragma once
#include "runtime/short.h"

constexpr int32_t DESIGNPOINTS = 500;
constexpr int32_t MAXDESIGNPATH = 9;           // highest level a design may buy
constexpr int32_t MINDOMINION = 1, MAXDOMINION = 10;
constexpr int32_t MAXSCALE = 3;                // scales run -3..3
constexpr int32_t GODPATHS = 9;                // Fire..Blood, then Priest
constexpr int32_t FALLBACKFORM = 244;          // the plain form of a god reduced in power
// A god placed in a new game is at least GODMINAGE plus a draw below
// GODAGESPREAD years old (older when its form starts older).
constexpr int32_t GODMINAGE = 275, GODAGESPREAD = 50;
enum Awakening : int32_t { GOD_AWAKE = 0, GOD_DORMANT = 1, GOD_IMPRISONED = 2 };

struct GodDesign {
  int32_t nation = 0;
  int32_t form = 0;              // unit type of the body
  uint8_t path[GODPATHS] = {};
  int32_t dominion = 1;
  int8_t scale[6] = {};          // first-named side positive: Turmoil, Sloth, Cold, Death, Misfortune, Drain
  int32_t awakening = GOD_AWAKE;
  char name[36] = {};
  char epithet[251] = {};
  char password[50] = {};
};

// Points of each part and in all.
int32_t formcost(int32_t form);
int32_t pathcost(int32_t form, int32_t path, int32_t level);
int32_t dominioncost(int32_t dominion);
int32_t scalecost(int32_t scale, int32_t value);
int32_t awakeningcost(int32_t awakening);
int32_t designcost(const GodDesign& d);

// 1 when the nation may choose the form (a nation without forms of its own
// takes the plain one).
int formallowed(int32_t nation, int32_t form);
// The nation's forms, at most MAXGODFORMS; their number.
int32_t nationforms(int32_t nation, int32_t* forms);
// The form's own level in the path: the least a design may have.
int32_t basepath(int32_t form, int32_t path);
// A new design: the nation's first form at its own magic, dominion 1, every
// scale 0, awake, a name from the form's name list.
GodDesign newdesign(int32_t nation);
// Changes the form and lifts the paths to at least the new form's own.
void setform(GodDesign& d, int32_t form);
// Why the rules refuse the design ("" when they allow it): a form the
// nation may not take, a value out of its range, or more than `points`.
const char* designproblem(const GodDesign& d, int32_t points);

// A random design for the nation within the points, spent on scales, paths
// and dominion (the game's random generator).
GodDesign randomdesign(int32_t nation, int32_t points);

// The world side. placedesign makes the god as a commander of `owner` (its
// body a new unit, no land) and writes its scales, awakening and epithet
// into the owner's veyrance record; the commander number, -1 when no slot
// is free. designof reads a god back: commander cnr with the scales and
// awakening of veyrance record `rec`.
int32_t placedesign(const GodDesign& d, int32_t owner);
GodDesign designof(int32_t cnr, int32_t rec, int32_t nation);
// Draws an epithet for the design (the game's random generator), as the god
// would carry it; the world tables are left as they were.
void drawepithet(GodDesign& d);

// Saved design files. gname "newlords" saves into the nation's first free
// slot of the saved-games folder's "newlords" folder (the slot is
// returned); any other game name saves as the nation's ".2h" in that game's
// folder, where a new game reads it (0 is returned). -1 when the file could
// not be written, with the reason in why (MSGLEN bytes); an old file stays
// as it was.
int32_t savedesign(const GodDesign& d, const char* gname, char* why);
// Reads a saved design (slot -1 for a game folder's file) without touching
// the world; 1 on success, else 0 with the reason in why.
int loaddesign(const char* gname, int32_t nation, int32_t slot, GodDesign* d, char* why);
// The nation's saved designs in "newlords": slot numbers in order, at most
// max; their count.
int32_t listdesigns(int32_t nation, int32_t* slots, int32_t max);
