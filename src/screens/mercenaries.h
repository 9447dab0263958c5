// The Hire Mercenaries screen and which bands can be hired where. A band's
// box (mercbox) takes a bid's gold from the treasury when the bid is made;
// the host pays every bid back before it settles them and takes the
// winner's first month again.
#pragma once
#include "runtime/short.h"

// mercok: mercenary OK.
// 1 when band b (0..4) can be hired into the land: its leader lives, and in
// a sea province can live under water. A band whose leader is dead loses
// its leader for good ("*** Warning: merc commander dead" in the log).
int32_t mercok(int32_t band, int32_t lnr);
// The screen of the bands on offer for the province; a band opens its box,
// where the player bids for it into this province. Returns on Exit.
void viewmercs(int32_t player, int32_t lnr);
