// Battle view and battlefield terrain.
#pragma once
#include "runtime/short.h"

extern int32_t battlelowdetail, battleextradetail;

// Loads a battle map (height field and terrain objects) for drawing; 1 on success.
int LoadBattleMap(const char* path, int32_t a, int32_t b, int32_t c);
