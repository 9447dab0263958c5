// Bidding for a mercenary band: a bid's gold leaves the treasury at once,
// with the land the band is to come to; the host settles the bids at the
// month's end (the highest bid hires the band, its employer's counted
// double) and gives back the others.
#pragma once
#include "actions/refusal.h"
#include "runtime/short.h"

// Whether the player may bid the amount on the band, its old bid given back
// first. Refused: "No such mercenary band", "No such nation", "A bid is
// between 0 and 32767 pounds of gold", "You do not have that much gold".
Refusal canbidformerc(int32_t band, int32_t player, int32_t amount);
// Asks canbidformerc again, then gives the old bid back and takes the
// amount as the new bid for the land.
Refusal bidformerc(int32_t band, int32_t player, int32_t amount, int32_t lnr);
// The player's bid back to the treasury (bid 0, no land). Refused only for
// a band or nation out of range.
Refusal canwithdrawmercbid(int32_t band, int32_t player);
Refusal withdrawmercbid(int32_t band, int32_t player);
// One pound of gold from the treasury into the bid (a positive step) or
// back (a negative one). Refused: "You have no more gold", "The bid cannot
// rise further", "There is no bid to lower", "Nothing to move" (step 0).
Refusal canstepmercbid(int32_t band, int32_t player, int32_t step);
Refusal stepmercbid(int32_t band, int32_t player, int32_t step);
