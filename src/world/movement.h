// Army movement rules: whether a commander's army may move unseen, enter
// water, enter dry land or fly, the movement word for the path finder, and
// taking immobile units out of the army.
#pragma once
#include "runtime/short.h"

int32_t maysneak(int32_t cnr);
int32_t watermove(int32_t cnr, int32_t drop);
int32_t landmove(int32_t cnr, int32_t drop);
int32_t flymove(int32_t cnr, int32_t drop);
uint32_t getmoveflags(int32_t cnr);
void dropimmobileunits(int32_t cnr);
