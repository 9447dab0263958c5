// Turn host: the phases that turn one world into the next, over the records
// of world/hoststate.h.
#pragma once
#include "world/hoststate.h"

// Records the series for the current turn (turn index capped at 249, a
// negative turn counts as 0) and raises the highest recorded turn index.
// The argument is 0 for the turn's own statistics.
void updateendstats(int32_t mode);

// What the command line asks the program to do, in the order the modes are
// tried: check a game's order files (--verify), make a random map
// (--makemap), the network server or client (--tcpserver, --tcpclient),
// host a game (--host, --finalhost, --superhost), play the named game (a
// bare word), or the Main Menu.
enum class RunMode { verify, makemap, server, client, host, game, menu };
RunMode chooserunmode();
// Runs the command-line mode that was asked for (--verify, --makemap, the
// network modes, which this version does not offer) and gives its exit
// status; in text-only mode without such a mode it says so and gives 1; -1
// when the player's program goes on to its menus.
int runcommandlinemode();
