// The Recruit Units screen of a province and its rules. A player puts unit
// types and at most one commander type into the province's recruitment
// queue; the gold is paid at once and given back when an entry is removed.
// The host turns the queue into units at the next hosting as far as the
// province's resources go (the faded icons of the queue show what waits).
//
// The rules are plain functions over the world tables that tests call
// without a window; the screen rebuilds its items every frame and acts on
// the id returned.
#pragma once
#include <vector>

#include "runtime/short.h"

// Ids of the screen; a type's entry is its base plus the type number.
enum RecruitId : int32_t {
  RC_REMOVECOM = 1, RC_REMOVEUNIT = 2, RC_RESET = 3, RC_EXIT = 9,
  RC_UNIT = 10000, RC_COM = 20000, RC_UNITBARRED = 30000, RC_COMBARRED = 40000
};
constexpr int32_t RECRUITQUEUEMAX = 100;

// The type numbers that createslist gives for the land and mode (0 units,
// 2 holy units lacking a temple, 10 commanders, 12 commanders lacking a
// laboratory or temple).
std::vector<int32_t> recruitlist(int32_t lnr, int32_t mode);
// True while the player may queue here: the player owns the province and
// holds its fort (refunds go to the fort holder) and its unrest is 99 or less.
bool recruitallowed(int32_t lnr, int32_t player);
// Queues the unit type up to `times` times, each only while its gold can be
// paid and the queue has room; the type must be offered here (mode 0). The
// number queued; the gold of each is taken at once.
int32_t queueunits(int32_t lnr, int32_t player, int32_t type, int32_t times);
// Queues the commander type (offered here, mode 10) when none is queued yet
// and its gold can be paid; true when queued.
bool queuecommander(int32_t lnr, int32_t player, int32_t type);
// Removes the queued commander / the last queued unit and gives its gold
// back to the player, who must hold the fort; true when something was removed.
bool unqueuecommander(int32_t lnr, int32_t player);
bool unqueuelastunit(int32_t lnr, int32_t player);

// The figures of the queue's line: resources of the province per turn for
// the player, the player's gold, those resources less everything queued, and
// the veyrance strength less the holy units queued.
struct RecruitTotals {
  int32_t perturn, gold, left, holy;
};
RecruitTotals recruittotals(int32_t lnr, int32_t player);
// Whether each queued entry is covered by this turn's resources, in the
// order paid: the commander first (when queued), then the units.
std::vector<bool> queuecovered(int32_t lnr, int32_t player);
// Distance in pixels between the icons of a queue of n units (long queues
// overlap).
float queuestep(int32_t n);
// The label of a commander type that the province lacks a building for
// (mode 12): its name with what is missing, as shown on the screen.
void barredcomlabel(int32_t lnr, int32_t type, char* out, int32_t size);

// The screen: runs until Exit (Escape). A negative land or player stops the
// program ("buildarmy: bad lnr").
void buildarmy(int32_t lnr, int32_t player);
