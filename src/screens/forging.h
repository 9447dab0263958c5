// The Forge Magic Item and Empowerment screens of a mage and their rules.
// Both orders are paid in gems when given, after the commander's former
// order was withdrawn and refunded; taking the order back (a new order, the
// order menu) gives the gems back. The host forges the item or raises the
// path at the next hosting.
//
// The rules are plain functions over the world tables that tests call
// without a window; the screens rebuild their items every frame and act on
// the id returned.
#pragma once
#include <vector>

#include "runtime/short.h"

// The categories of the forge screen, ids 1..7: the button's sprite in the
// item archive, its pop-up, the item type it lists and its name in the
// message that nothing can be forged, and a short label shown while the
// archive lacks the pictures. Missile weapons are in none.
struct ForgeCategory {
  int32_t sprite;
  const char* popup;
  int8_t type;
  const char* name;
  const char* label;
};
constexpr int32_t FORGECATEGORIES = 7;
extern const ForgeCategory forgecategories[FORGECATEGORIES];

// The items the commander is shown in category 1..7, in table order: of the
// category's type, forgeable (main level 1 or more, paths of gems 0..7) and
// either possible now or refused only for uniqueness or gems.
std::vector<int32_t> forgelist(int32_t cnr, int32_t category);
// An item of construction level 4 or more of which a copy exists: drawn
// faded, it cannot be made again.
bool forgefaded(int32_t item);

// Orders the commander to forge the item, as the forge screen does: 1 when
// ordered (the gems of both paths paid and kept in the order); -1 the item
// cannot be forged by him; -2 a unique item already in play; -3 too few
// gems (in these three cases the current order stays); 0 the current order
// could not be withdrawn.
int32_t orderforge(int32_t cnr, int32_t item);
// The message that a refusal of orderforge shows; null for none.
const char* forgerefusal(int32_t result);

// Orders Empowerment in path 0..7 for the commander, as the Empowerment
// screen does: the current order is withdrawn first (so its refund counts),
// then the cost (empowercost) is paid. The gems spent; -1 when they are
// lacking (the former order stays withdrawn); 0 when the order could not
// be withdrawn or the path is outside 0..7.
int32_t ordertrain(int32_t cnr, int32_t path);

// The screens. train: 9 for Exit, 0 when the order could not be withdrawn,
// else the gems spent ("train: bad lnr", "train: bad cnr", "train: bad unr",
// "train: bad player" for bad numbers). forge: returns when the order is
// given or the screen left ("forge: bad lnr", "forge: bad player",
// "forge: bad cnr", "forge: bad unr").
int32_t train(int32_t lnr, int32_t cnr);
void forge(int32_t lnr, int32_t cnr);
