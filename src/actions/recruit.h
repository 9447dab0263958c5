// Recruiting in a province: a player puts unit types and at most one
// commander type into the province's recruitment queue; the gold is paid at
// once and given back when an entry is removed. The host turns the queue
// into units at the next hosting as far as the province's resources go.
#pragma once
#include <vector>

#include "actions/refusal.h"
#include "runtime/short.h"

constexpr int32_t RECRUITQUEUEMAX = 100;

// The type numbers that createslist gives for the land and mode (0 units,
// 2 holy units lacking a temple, 10 commanders, 12 commanders lacking a
// laboratory or temple).
std::vector<int32_t> recruitlist(int32_t lnr, int32_t mode);

// Whether the player may queue one unit of the type here. Refused: "Only the
// holder of the fort can recruit here" (refunds go to the fort holder),
// "Cannot recruit while besieged" (the player does not own the province),
// "Unrest too high" (above 99), "Not recruited here" (not offered, mode 0),
// "The recruitment queue is full", "Not enough gold" (a negative price is
// refused too: it would hand out gold for each entry queued).
Refusal canrecruitunit(int32_t lnr, int32_t player, int32_t type);
// Asks canrecruitunit again, then queues the type and takes its gold.
Refusal recruitunit(int32_t lnr, int32_t player, int32_t type);
// recruitunit up to `times` times, until the first refusal; the number
// queued.
int32_t queueunits(int32_t lnr, int32_t player, int32_t type, int32_t times);

// The same for the province's one commander (offered here, mode 10);
// refused also with "A commander is already queued".
Refusal canrecruitcommander(int32_t lnr, int32_t player, int32_t type);
Refusal recruitcommander(int32_t lnr, int32_t player, int32_t type);

// Taking back the queued commander / the last queued unit: its gold goes
// back to the player, who must hold the fort ("Only the holder of the fort
// can recruit here"); "No commander queued", "No unit queued" (also for a
// count out of range, which only a damaged file holds).
Refusal canunqueuecommander(int32_t lnr, int32_t player);
Refusal unqueuecommander(int32_t lnr, int32_t player);
Refusal canunqueuelastunit(int32_t lnr, int32_t player);
Refusal unqueuelastunit(int32_t lnr, int32_t player);
