// The statistics screens: the score graphs (one figure per nation per
// turn, from the statistics the host records each turn), the Hall of Fame
// and the Pretenders of the World, with the rules of the graphs.
#pragma once
#include <vector>

#include "runtime/short.h"

// The graphs: provinces, forts, income, gem income, research, veyrance,
// army size and victory points; the last is shown only in games won by
// victory points (victory condition 1 or 5).
constexpr int32_t GRAPHS = 8;
extern const char* const graphnames[GRAPHS];
int32_t graphcount();
// A nation's value of a graph at a turn, as recorded (0 outside the record).
int32_t graphvalue(int32_t graph, int32_t turn, int32_t nation);
// The goal that the game's victory condition sets on the graph, which the
// scale reaches; -1 when it sets none.
int32_t graphtarget(int32_t graph);
// The goal drawn as a line across the graph: the graph's target, and on
// the victory points' graph the game's goal whatever the condition; -1 for
// none.
int32_t graphgoalline(int32_t graph);
// The top of the graph's scale: its largest value over every nation that
// takes or took part and every recorded turn, raised to the goal and (for
// victory points) to all the victory points there are; at least 1.
int32_t graphscale(int32_t graph);
// Turns per line segment: 1 while fewer than 70 turns are recorded, else a
// seventieth of them.
int32_t graphstep(int32_t lastturn);
// The nation's line on the 800 x 500 plot: segments from turn t to
// min(t + step, T) for t = 0, step, ... below T (empty before two turns).
struct GraphSegment {
  float x1, y1, x2, y2;
};
std::vector<GraphSegment> graphline(int32_t graph, int32_t nation);

// The screens; each returns on Exit (F2, F3, F4 close their own).
void viewgraphs(int32_t player);
void halloffame(int32_t player);
void viewnations(int32_t player);
