// Computer players: the services that the rest of the game asks of them.
#pragma once
#include "world/movement.h"

// Whether the player's army can go from start to dest this month under the
// movement word. Every province entered must be of a terrain the word allows;
// provinces passed on the way must be the player's own unless the word has
// MW_FLY or MW_ANYOWNER, and a destination of another owner must then be a
// neighbour of the start. A step costs 1 point, 2 into forest, mountains,
// waste or swamp that the army does not survive in (flying armies pay 1).
// Writes 1 or 0 to reachable (may be null); returns the points the cheapest
// way costs, 0 when there is none.
int32_t findpath(int32_t player, int32_t start, int32_t dest, uint32_t word, int32_t* reachable);

// The computer player's turn: taxes, research, recruits, mercenary bids,
// buildings, rituals, forging and marches for the month, written into the
// records that a human's order file changes. The turn host calls it for
// every computer player before any order is carried out, and checks what it
// wrote as it checks an order file.
void computerplayerturn(int32_t player);
// What the host gives a computer player of a higher level at the start of
// its month (a share of its income in gold), before its orders are taken.
void computerplayerbonus(int32_t player);
