// Random pretender gods for computer players, and the design check that
// world creation runs on the gods of human players (design points:
// ai/design.h).
#pragma once
#include "runtime/short.h"

// Design points of the player's god (its commander, body and veyrance record).
int32_t godcost(int32_t player);
// A new random god for the player within the design points, with its
// scales, awakening and epithet in the player's veyrance record; the
// commander number (its body is that commander's unit), -1 when none could
// be made.
int32_t randgod(int32_t player, int32_t points);
// fg: forbidden god.
// 1 when the player's god is not allowed (a form the nation may not take,
// or a design above 500 points); 0 otherwise and for a second argument of
// 0 or more.
int32_t fg(int32_t player, int32_t arg);
