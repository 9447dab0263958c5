// The statistic breakdown box: one figure of a unit explained as its basic
// value, every modifier that applies now and the current values, then the
// figure's help text. Read-only. A modifier may halve or remove the figure
// ("Slimed: -half"), so the lines explain the figure without always adding
// up to it.
#pragma once
#include <string>
#include <vector>

#include "runtime/short.h"

// Statistics in the order of the status box's figure ids (id - 10).
enum Statistic : int32_t {
  STAT_HP = 0, STAT_AP, STAT_STR, STAT_ATT, STAT_MR, STAT_PROT, STAT_ENC, STAT_FATIGUE, STAT_PREC, STAT_DEF,
  STAT_MORALE, STAT_LEADERSHIP, STATISTICS
};

struct StatBreakdown {
  const char* title = "";               // the window title and the help text's key
  std::vector<std::string> first;       // the basic value (or the current fatigue)
  // The modifier lines ("NAME: +N", "Slimed: -half", the leadership
  // limits) in their fixed order, each where its condition holds.
  std::vector<std::string> modifiers;
  std::vector<std::string> current;     // current values
  std::vector<std::string> weaponlines; // "Attack nr N: A" under the current attack
};

// The lines for statistic `stat` (0..11) of the unit, with the basic values
// of unit type mnr. A unit or type outside its table, or a statistic
// outside 0..11, gives nothing.
StatBreakdown statbreakdown(int32_t unr, int32_t mnr, int32_t stat);

// Shows the breakdown until a click or key gives an id, which it returns: 9
// (Exit, Escape, Enter, space), -9 (a right click on Exit) or 0 (a left
// click on its plain text: a line, the margin, the title bar). The wheel
// and the scroll bar move its text and nothing else. A negative unit type
// stops the program ("ds: bad mnr").
int32_t unitdescrbox(int32_t unr, int32_t mnr, int32_t stat);
