// The Hire Mercenaries screen, the band box where a nation bids, and their
// rules. A bid's gold leaves the treasury when the bid is made and comes
// back when it is reset; the host pays every bid back before it settles
// them and takes the winner's first month again.
#pragma once
#include "runtime/short.h"

// 1 when band b (0..4) can be hired into the land: its leader lives, and in
// a sea province can live under water. A band whose leader is dead loses
// its leader for good ("*** Warning: merc commander dead" in the log).
int32_t mercok(int32_t band, int32_t lnr);
// What the band asks of the player, as the host will reckon it.
int32_t mercaskingprice(int32_t band, int32_t player);
// Bids of the player on band b: the bid back to the treasury, bid 0 and no
// land. Nothing for numbers out of range.
void resetbid(int32_t band, int32_t player);
// A new bid: the old one reset, then the asking price, as far as the
// treasury goes, taken from it at once, with the land given to the bid
// when it is above 0. The bid made.
int32_t startbid(int32_t band, int32_t player, int32_t lnr);
// Moves one step (+1 raise, -1 lower) between the treasury and the bid;
// false when the treasury (raise) or the bid (lower) is empty.
bool stepbid(int32_t band, int32_t player, int32_t step);

// The band box: the leader, the price and contract, the player's bid, and
// Hire and Reset while the contract has less than two months left. Returns
// on Exit. An index outside 0..4 stops the program ("mercbox: bad mercnr"),
// as does a band without a leader ("mercbox: bad cnr") or a leader without
// a body ("mercbox: bad unr").
void mercbox(int32_t band, int32_t player, int32_t lnr);
// The screen of the bands on offer for the province; returns on Exit.
void viewmercs(int32_t player, int32_t lnr);
