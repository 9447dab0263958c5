// Order cancelling with its refunds, and who may enter a magic site.
#pragma once
#include "runtime/short.h"

// Withdraws the commander's order and gives its owner back what the order
// paid, once. 1 when withdrawn, 0 when not.
int32_t cancelorder(int32_t cnr);
// Gems of the path that an Empowerment order costs the commander (and that
// cancelling it gives back): 50 at level 0, else (level + 1) * 15, on the
// commander's own level without item bonuses. 0 for a path outside 0..8.
int32_t empowercost(int32_t cnr, int32_t path);
// 1 allowed; 0 nothing to enter or not placed; -1 not a mage of the site's
// path; -2 another commander enters it this turn; -3 the fort is not held.
int32_t canentersite(int32_t cnr, int32_t slot);
int32_t countsiteentrants(int32_t lnr, int32_t slot);
int32_t siteicon(int32_t site);
