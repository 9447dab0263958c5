// Computer players: the services that the rest of the game asks of them.
#pragma once
#include "runtime/short.h"

// Movement word bits beyond those of getmoveflags.
constexpr uint32_t MW_MOVE = 0xFF;          // map move points
constexpr uint32_t MW_WATER = 0x100;        // may enter sea provinces
constexpr uint32_t MW_LAND = 0x200;         // may enter dry provinces
constexpr uint32_t MW_FLY = 0x400;          // flies over foreign provinces
constexpr uint32_t MW_FOREST = 0x1000, MW_MOUNTAIN = 0x2000, MW_WASTE = 0x4000, MW_SWAMP = 0x8000;
constexpr uint32_t MW_ANYOWNER = 0x10000;   // may pass provinces of any owner

// Whether the player's army can go from start to dest this month under the
// movement word. Every province entered must be of a terrain the word allows;
// provinces passed on the way must be the player's own unless the word has
// MW_FLY or MW_ANYOWNER, and a destination of another owner must then be a
// neighbour of the start. A step costs 1 point, 2 into forest, mountains,
// waste or swamp that the army does not survive in (flying armies pay 1).
// Writes 1 or 0 to reachable (may be null); returns the points the cheapest
// way costs, 0 when there is none.
int32_t findpath(int32_t player, int32_t start, int32_t dest, uint32_t word, int32_t* reachable);
