// Read-only boxes of the unit status box: the weapon box, the armour box and
// the random magic box of a unit type. The rules list the lines; the boxes
// show them until Exit.
#pragma once
#include <string>
#include <vector>

#include "runtime/short.h"

// One line of a box and the text that pops up over it (may be empty).
struct InfoLine {
  std::string text, hover;
  int32_t sprite = -1;   // a small picture of "misc.trs" after the text, -1 none
  std::string after;     // the text after that picture
};

// The weapon's lines; none for a number outside the weapon table.
std::vector<InfoLine> weaponlines(int32_t weapon);
// The armour's lines; none for a number outside the armour table.
std::vector<InfoLine> armorlines(int32_t armor);

// One row of the random magic box: the paths it may give (0..8), the level
// it gives and its chance in percent (at most 100).
struct RandMagicRow {
  std::vector<int32_t> paths;
  int32_t level = 0, chance = 0;
};
// The random-magic rows of the unit type, in table order.
std::vector<RandMagicRow> randmagicrows(int32_t type);

int32_t weaponbox(int32_t weapon);      // 999 when closed
int32_t armorbox(int32_t armor);        // 999 when closed
int32_t randmagicbox(int32_t type);     // 9 when closed

// A printf-style text, for the lines of the boxes.
std::string strf(const char* format, ...) __attribute__((format(printf, 1, 2)));

// Shared by the boxes of the turn screens: the lines left-aligned, each
// with its hover text.
void showinfolines(const std::vector<InfoLine>& lines);

// The table numbers behind a box's figures, for modders: the text under the
// title until its Exit (999, also Escape and Return); returns 999.
int32_t numberlisting(const char* title, const std::string& text);
