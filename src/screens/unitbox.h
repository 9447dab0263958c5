// The unit status box: one window that shows a unit or commander with its
// figures, items, gems, magic paths, afflictions and experience, weapons
// and armour. Any screen opens it on a right click on a unit.
//
// The rules of the box are plain functions over the world tables that tests
// call without a window; ustatbox builds the window from them every frame.
#pragma once
#include <vector>

#include "runtime/short.h"

// Ids of the box. Figures are 10 + statistic, item slots 150 + slot (held)
// and 170 + slot (empty), selection entries 110 + entry, icons 200 + kind,
// weapons 1000 + weapon, armours 2000 + armour.
enum UnitBoxId : int32_t {
  UB_CLOSE = 0, UB_GEMS = 3, UB_RANDOMMAGIC = 4, UB_FIGURE = 10, UB_SELECTION = 110, UB_ITEM = 150,
  UB_EMPTYSLOT = 170, UB_ICON = 200, UB_EXIT = 99, UB_WEAPON = 1000, UB_ARMOR = 2000
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
// The magic row: one entry per path with a level above 0 ("%d " and the
// hover "fire mage level 2"), the research ability last when above 0. Empty
// when the commander is neither mage nor priest and cannot research.
std::vector<BoxEntry> unitboxmagic(int32_t cnr);
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

// Shows the unit until Exit (Enter, Escape, Space) or a click on plain
// text; the id that closed it (99 or 0). sel lists up to six units, ended
// early by a negative number (null for none); a click on one shows it
// instead. A unit number of 140000 or more stops the program ("ustatbox:
// bad unr"), as does one in the list ("ustatbox: bad selection"). Mode 0 is
// a unit in play; 1 and 2 a unit type shown for recruitment and design.
int32_t ustatbox(int32_t unr, const int32_t* sel, int32_t mayedit, int32_t mode);
