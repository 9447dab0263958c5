// Turn host: the phases that turn one world into the next, over the records
// of world/hoststate.h.
#pragma once
#include "world/hoststate.h"

// Records the series for the current turn (turn index capped at 249, a
// negative turn counts as 0) and raises the highest recorded turn index.
// The argument is 0 for the turn's own statistics.
void updateendstats(int32_t mode);

// Runs the command-line mode that was asked for (--verify, --makemap) and
// gives its exit status; in text-only mode without such a mode it says so and
// gives 1; -1 when the player's program goes on to its menus.
int runcommandlinemode();
