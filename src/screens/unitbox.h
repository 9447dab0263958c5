// The unit status box: one window that shows a unit or commander with its
// figures, items, gems, magic paths, afflictions and experience, weapons
// and armour. Any screen opens it on a right click on a unit.
//
// The rules of the box (unitboxrules.cpp, abilitybox.cpp for the icons)
// are plain functions over the world tables that tests call without
// a window; ustatbox (unitbox.cpp) builds the window from them every frame.
#pragma once
#include <string>
#include <vector>

#include "runtime/short.h"

// Ids of the box. Figures are 10 + statistic, item slots 150 + slot (held)
// and 170 + slot (empty), selection entries 110 + entry, icons 200 + kind,
// weapons 1000 + weapon, armours 2000 + armour; UB_PLAINTEXT is a left
// click on its plain text, which closes it as UB_CLOSE.
enum UnitBoxId : int32_t {
  UB_CLOSE = 0, UB_PLAINTEXT = 1, UB_GEMS = 3, UB_RANDOMMAGIC = 4, UB_FIGURE = 10, UB_SELECTION = 110, UB_ITEM = 150,
  UB_EMPTYSLOT = 170, UB_ICON = 200, UB_EXIT = 99, UB_WEAPON = 1000, UB_ARMOR = 2000,
  UB_TOLAB = 94, UB_LISTING = 95, UB_RENAME = 97
};

// Widest and fewest values the box lays out.
constexpr int32_t UB_SELECTIONS = 6;    // units in a selection strip
constexpr int32_t UB_MAXGEMSPRITES = 30;
constexpr int32_t UB_TEXTLEN = 120;

// One clickable line or icon of the box: its id, its text (a figure's line,
// a name) and the hover text.
struct BoxEntry {
  int32_t id = 0;
  int32_t sprite = -1;   // sprite number, -1 for a text
  int32_t file = 0;      // its sprite archive
  char text[UB_TEXTLEN] = {};
  char hover[UB_TEXTLEN] = {};
};

// The box's width for a description of len characters: 450, growing by half
// of every character past 400, at most 700.
float unitboxwidth(int32_t len);
// The figures in their rows, left then right: twelve for a commander, eleven
// for a plain unit (no leadership).
std::vector<BoxEntry> unitboxfigures(int32_t unr);
// The item row of a commander: each slot that holds an item or is usable
// (held: the item's sprite and "KIND, NAME"; empty: the slot kind's sprite
// and "KIND, no magic item"), in slot order. Empty for a plain unit.
std::vector<BoxEntry> unitboxslots(int32_t cnr);
// The gem kinds of the small gem sprites drawn over the gem icon: one per
// carried gem, kind by kind, at most 30.
std::vector<int32_t> unitboxgems(int32_t cnr);
// The sum of the random-magic chances (percent) of the unit type's rows: a
// whole level (100) per chance of an any-path, elemental or sorcery row,
// the chance of a row of paths.
int32_t randmagictotal(int32_t type);
// The magic row: one entry per path with a level above 0 ("%d " and the
// hover "fire mage level 2"), in mode 1 (a type for recruitment) the random
// magic of the type (id 4), the research ability last when above 0. Empty
// when the commander is neither mage nor priest, has no random magic and
// cannot research.
std::vector<BoxEntry> unitboxmagic(int32_t cnr, int32_t mode = 0);
// The afflictions and experience of the unit as icons, in drawing order:
// diseased, sacred or blessed, flying, one "Affliction" per affliction and
// one "Experience" per star (experience above 14, 49, 99, 199 and 399).
std::vector<BoxEntry> unitboxicons(int32_t unr);
// The step between icons: 30, narrowed to 420 / count when more would not
// fit.
int32_t iconstep(int32_t count);
// The weapons shown: each slot 0..9 takes the melee weapon, else the next
// missile weapon, up to the first slot where neither gives one (ids 1000 +
// weapon). The armours: getarmor 0..9 to the first empty (ids 2000 + armour).
std::vector<BoxEntry> unitboxweapons(int32_t unr);
std::vector<BoxEntry> unitboxarmors(int32_t unr);
// The home garrison line of a plain unit with a home land ("home garrison
// NAME"), else an empty text.
void homegarrison(int32_t unr, char* out, int32_t size);


// Shows the unit until Exit (Enter, Escape, Space, the close button) or a
// left click on its plain text (the description, the unit's picture, the
// margin); the wheel and the scroll bar move its list and nothing else. The
// id that closed it: 99, or 0 for plain text, a unit without a type or the
// program quitting. sel lists up to six units, ended early by a negative
// number (null for none); a click on one shows it instead, from the top. A
// unit number of 140000 or more stops the program ("ustatbox: bad unr"), as
// does one in the list ("ustatbox: bad selection"). Mode 0 is a unit in
// play; 1 and 2 a unit type shown for recruitment and design.
// With mayedit the player may hand items over (a click on one, "l" into the
// laboratory), move gems and rename ("r").
int32_t ustatbox(int32_t unr, const int32_t* sel, int32_t mayedit, int32_t mode);
// The unit shown before a stop about it (the fatal path's unit hook): its
// status box, read-only, while a window is open; nothing in text-only mode.
void unitfatalbox(int32_t unr);
// Shows a unit type: a unit of it made for the independents for the time
// of the box (mode 2 with design, else 1); nothing when none can be made.
void typestatbox(int32_t type, int32_t design);
// The same for a commander type offered for recruitment, shown as a
// commander (leadership, item places, magic and random magic) of a
// commander record made for the time of the box.
void comtypestatbox(int32_t type);
