// The Nation Overview: every province the nation owns or whose fort it
// holds, with its figures, sites and site searches, and under each
// province the nation's commanders there with their order, army, items,
// gems and magic. A click on a province or a commander returns it to the
// turn screen.
#pragma once
#include <vector>

#include "runtime/short.h"

// One row of the list: a province row (com -1; header when the province is
// foreign and listed only for the commanders standing in it) or a
// commander row.
struct OverviewRow {
  int32_t land = 0;
  int32_t com = -1;
  bool header = false;
};
// The rows in order: provinces 1..n, each followed (with commanders on) by
// the player's living commanders in it in number order.
std::vector<OverviewRow> overviewrows(int32_t player, bool withcommanders);
// Icons drawn for an army of k units (k capped at 100): one per 25 begun.
int32_t armyicons(int32_t units);
// Stars drawn for an experience: none to 14, then 1..5 (15, 50, 100, 200, 400).
int32_t experiencestars(int32_t experience);
// The figure a site search level shows (at most 9).
int32_t searchfigure(int32_t level);

// The turn screen goes to what the overview returned: a province becomes
// the go-to province, a commander the focus; 0 leaves both.
void takeoverviewresult(int32_t result);
// What the screen returns: 0 left, a land number 1..n for a province, or
// -(c + 1) for commander c.
int32_t nation_overview_screen(int32_t player);
// Its items for one frame, laid out (the screen and the benchmark build them).
void buildoverview(int32_t player);
