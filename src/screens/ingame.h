// The in-game settings menu of a player's turn (Escape or Q on the turn
// screen): the game's settings, preferences, handing the nation to the
// computer, quitting with or without saving the orders.
#pragma once
#include "runtime/short.h"

enum InGameId : int32_t { IG_SETTINGS = 1, IG_PREFERENCES = 2, IG_COMPUTER = 3, IG_SAVEQUIT = 4, IG_QUIT = 5, IG_BACK = 999 };
// 1 when the player quit (quitprogram of frontend/frontend.h is raised; the
// orders are written already when asked), else 0.
int32_t gamesettingsmenu(int32_t player, const char* gname, int32_t turn, int32_t gamenbr);
