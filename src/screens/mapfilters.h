// Three small screens of the turn screen: the Map Filters menu, which sets
// what the map overlay draws; the Statistics menu, which leads to the
// Nation Overview, the graphs, the Hall of Fame and the Pretenders; and
// the Keyboard Commands help.
#pragma once
#include "runtime/short.h"

// The menu's check boxes, in the menu's order: flags and forts, armies and
// arrows, veyrance, income box, misc, neighbours, names.
constexpr int32_t FILTERBOXES = 7;
struct FilterBoxes {
  int32_t on[FILTERBOXES];
};
// The boxes as a filter word shows them.
FilterBoxes filterboxes(uint32_t word);
// The word the boxes give, built anew (bits no box sets are cleared); with
// the names box hidden (`namesshown` false) the names bit keeps its state in
// `old`.
uint32_t filterword(const FilterBoxes& boxes, uint32_t old, bool namesshown);

// The nation's filter word as its kingdom record keeps it (16 bits, saved
// with the orders) tells a choice from none: a word that the player's
// choice wrote carries FILTERCHOSEN beside the layers, so that a choice of
// no layer at all is kept as one; a word without it is an older file's
// choice, taken as it stands, and a word of 0 was never chosen and shows
// every layer but the terrain icons (MAPF_START).
constexpr uint16_t FILTERCHOSEN = 0x8000;
// The layers that a stored word shows.
uint32_t savedlayers(uint16_t stored);
// The word stored for the layers that the player chose.
uint16_t chosenlayers(uint32_t layers);

// The menu: rewrites the nation's filter word when left.
void mapfiltermenu(int32_t player);
// The Statistics menu; the Nation Overview's result when it is not 0 (the
// turn screen acts on it), else 0 when the menu is left.
int32_t statsmenu(int32_t player);
// The Keyboard Commands screen, shown until it is closed.
void keyhelp();
