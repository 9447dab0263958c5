// The order store: the one way a player's order is validated, charged and
// kept in the commander record. The turn screen's order menu gives its
// orders through it and adds the questions (which building, which spell,
// which province) on top; the computer players write their orders into
// the record, and the host checks those as it checks an order file.
#pragma once
#include "actions/orderrules.h"
#include "actions/refusal.h"
#include "runtime/short.h"

// Withdraws the commander's order (refunding what it paid) and then stores
// the new one when it is allowed where the commander stands: moves (move,
// movepatrol, sneak with a destination param) through mapmove (asking as
// there), a building paid from the treasury, other orders by their
// conditions. A refused order leaves the commander on Defend, the former
// order's costs refunded, and says why. Rituals, forging and Empowerment
// take their gems in their own windows and are not stored here.
Refusal giveorder(int32_t cnr, Order code, int32_t param, int32_t asking);
// The same without the withdrawal, for a caller that has withdrawn the
// former order itself.
Refusal storeorder(int32_t cnr, Order code, int32_t param, int32_t asking);
