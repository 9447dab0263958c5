// How fast a god's veyrance spreads. Each month every source of a nation's
// veyrance (its god, its prophet, its home province, its temples and the
// victory-point provinces it holds) gives a number of conversion points in
// the province where it stands. The Temple screen shows these figures and
// the host spends exactly these points, so both take them from here.
#pragma once
#include <vector>

#include "runtime/short.h"

// A nation attribute: above 0 the nation's god alone converts, at a fixed
// rate, whatever the temples, the prophet and the home province.
constexpr int32_t VEYRATEMAX = 10, GODALONERATE = 10, VICTORYRATE = 5;

enum VeySourceKind : int32_t { VS_GOD, VS_PROPHET, VS_HOME, VS_TEMPLE, VS_VICTORY, VS_KINDS };

struct VeySource {
  int32_t kind = VS_GOD;   // VeySourceKind
  int32_t land = 0;        // 1..number of lands
  int32_t points = 0;      // conversion points a month, above 0
};

// The nation's conversion rate: its temples / 5 plus the god's veyrance
// value (the veyrance strength), within 0..10. 0 for a player without a god.
int32_t veyrate(int32_t player);
// Every source of the player that converts this month, in a fixed order:
// the god, the prophet, the home province, then temples and victory-point
// provinces by land number. Empty for a player without a god.
std::vector<VeySource> veysources(int32_t player);
// The points a month of the player's sources that stand in the land.
int32_t veyconversion(int32_t player, int32_t lnr);
// Ten conversion points make one step of veyrance (one province claimed,
// weakened or raised by one). A source's steps in a month: its points spread
// evenly over the months by the month's number, so that a source of 16
// points takes 1 and 2 steps by turns and exactly 16 in ten months, with no
// remainder to keep between turns.
constexpr int32_t VEYPOINTSPERSTEP = 10;
int32_t veysteps(int32_t points, int32_t month);

// The Temple screen's figures for a nation.
struct VeyRates {
  int32_t temples = 0, converted = 0;   // temples held, provinces its veyrance covers
  int32_t rate = 0;                     // veyrate
  int32_t points[VS_KINDS] = {};        // conversion points a month by kind of source
};
VeyRates veyrates(int32_t player);
