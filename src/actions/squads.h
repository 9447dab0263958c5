// Squads: which units a commander leads, under its three leadership limits
// (normal, undead, magic beings).
#pragma once
#include "runtime/short.h"

// enfll: enforce leadership limits.
// Applies the commander's three leadership limits to the units it leads, in
// unit order: a unit beyond the limit of its kind leaves its squad.
void enfll(int32_t cnr);
