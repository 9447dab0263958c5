// Mercenary bands: leaders with troops owned by player 24, waiting in land
// 1504 until a nation hires them. Bands are made from the built-in templates;
// each template gives at most one band per game.
#pragma once
#include "runtime/short.h"

// The fields of a band record and the bands' owner are world/world.h's
// (MercField, MERCOWNER).

// Leader commander number, or -1 when all five band slots are in use.
int32_t popmercs(const char* bandname, const char* leadername, int32_t comtype, int32_t unittype, int32_t count,
                 int32_t reserve, int32_t price, int32_t xp, int32_t favnation, int32_t favpercent);
// The template drawn for the era and tier, or -1 when none fitted in 100 draws.
int32_t addrandommerc(int32_t era, int32_t tier);
