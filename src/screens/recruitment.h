// The Recruit Units screen of a province and the rules of what it shows.
// The queue itself (recruiting, taking back) is actions/recruit.h; the
// faded icons of the queue show what waits for more resources.
//
// The rules are plain functions over the world tables that tests call
// without a window; the screen rebuilds its items every frame and acts on
// the id returned.
#pragma once
#include <vector>

#include "actions/recruit.h"
#include "runtime/short.h"

// Ids of the screen; a type's entry is its base plus the type number.
enum RecruitId : int32_t {
  RC_REMOVECOM = 1, RC_REMOVEUNIT = 2, RC_RESET = 3, RC_EXIT = 9,
  RC_UNIT = 10000, RC_COM = 20000, RC_UNITBARRED = 30000, RC_COMBARRED = 40000
};
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
