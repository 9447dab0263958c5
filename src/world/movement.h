// Army movement rules: whether a commander's army may move unseen, enter
// water, enter dry land or fly, the movement word for the path finder, and
// taking immobile units out of the army.
#pragma once
#include "runtime/short.h"

// Movement word bits beyond those of getmoveflags.
constexpr uint32_t MW_MOVE = 0xFF;          // map move points
constexpr uint32_t MW_WATER = 0x100;        // may enter sea provinces
constexpr uint32_t MW_LAND = 0x200;         // may enter dry provinces
constexpr uint32_t MW_FLY = 0x400;          // flies over foreign provinces
constexpr uint32_t MW_FOREST = 0x1000, MW_MOUNTAIN = 0x2000, MW_WASTE = 0x4000, MW_SWAMP = 0x8000;
constexpr uint32_t MW_ANYOWNER = 0x10000;   // may pass provinces of any owner

int32_t maysneak(int32_t cnr);
int32_t watermove(int32_t cnr, int32_t drop);
int32_t landmove(int32_t cnr, int32_t drop);
int32_t flymove(int32_t cnr, int32_t drop);
uint32_t getmoveflags(int32_t cnr);
void dropimmobileunits(int32_t cnr);
