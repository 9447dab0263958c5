// Magic gems moved one at a time between two commanders of one player in
// one land, and between a commander and the nation's treasury where the
// land has the nation's laboratory. A commander receives while it carries
// fewer than 30 gems; a mercenary never gives any away.
#pragma once
#include "actions/refusal.h"
#include "runtime/short.h"

constexpr int32_t GEMKINDS = 8;   // kinds moved (fire .. blood)
constexpr int32_t GEMCARRYLIMIT = 30;
constexpr int32_t GEMTREASURY = -1;   // the place that is the nation's treasury

// Whether one gem of the kind may go from one place to the other (each a
// commander of the player standing in the land, or GEMTREASURY). Refused:
// "No such gem", "No commander", "No lab in this province" (the treasury
// where the land's laboratory is not the player's), "NAME has no GEM",
// "There is no GEM in the treasury", "The mercenary won't give away his
// gems", "NAME cannot carry more gems", "The treasury is full".
Refusal canmovegem(int32_t player, int32_t lnr, int32_t from, int32_t to, int32_t kind);
// Asks canmovegem again, then moves the gem.
Refusal movegem(int32_t player, int32_t lnr, int32_t from, int32_t to, int32_t kind);
