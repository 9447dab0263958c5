// The move rule: whether a commander's army may be ordered to another
// province this month. The turn screens ask it when a player orders a move
// (and may then ask the player about units that cannot come along); the
// turn host and the computer players ask it without questions before they
// keep a move order, so every move order passes the same rule, and the
// screen's prediction is the host's truth.
#pragma once
#include "runtime/short.h"
#include "world/movement.h"   // the movement word's flags (MW_)

// Nonzero when the army of commander cnr may move to land dest. With asking
// set, the player is asked (runtime/ask.h menus) whether units that cannot
// come along are left behind or the army stays; with asking 0 they are
// always left behind. Units left behind stay out of their squads even when
// the answer is 0. A commander number outside 0..highestcom stops the
// program ("mapmove: bad cnr"), so does a commander without a unit.
int32_t mapmove(int32_t cnr, int32_t dest, int32_t asking);
// 1 when dest is a land province next to a sea province that lies next to
// the land from; 0 otherwise (and for from == dest).
int32_t boatmove(int32_t player, int32_t from, int32_t dest);
// Whether the player's army can go from start to dest this month under the
// movement word. Every province entered must be of a terrain the word allows;
// provinces passed on the way must be the player's own unless the word has
// MW_FLY or MW_ANYOWNER, and a destination of another owner must then be a
// neighbour of the start. A step costs 1 point, 2 into forest, mountains,
// waste or swamp that the army does not survive in (flying armies pay 1).
// Writes 1 or 0 to reachable (may be null); returns the points the cheapest
// way costs, 0 when there is none.
int32_t findpath(int32_t player, int32_t start, int32_t dest, uint32_t word, int32_t* reachable);
