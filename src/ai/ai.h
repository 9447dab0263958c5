// Computer players: the services that the rest of the game asks of them.
#pragma once
#include "runtime/short.h"

// The computer player's turn: taxes, research, recruits, mercenary bids,
// buildings, rituals, forging and marches for the month, written into the
// records that a human's order file changes. The turn host calls it for
// every computer player before any order is carried out, and checks what it
// wrote as it checks an order file.
void computerplayerturn(int32_t player);
// What the host gives a computer player of a higher level at the start of
// its month (a share of its income in gold), before its orders are taken.
void computerplayerbonus(int32_t player);
