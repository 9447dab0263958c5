// The order store: the one way a player's order is validated, charged and
// kept in the commander record. The turn screen's order menu gives its
// orders through it and adds the questions (which building, which spell,
// which province) on top; the computer players write their orders into
// the record, and the host checks those as it checks an order file.
#pragma once
#include "runtime/short.h"
#include "world/orderrules.h"

// Withdraws the commander's order (refunding it) and then stores the new
// one when it is allowed where the commander stands: moves (move,
// movepatrol, sneak with a destination param) through mapmove (asking as there), a building
// paid from the treasury, other orders by their conditions. 1 when stored;
// 0 when refused, with the message for the player in why (ORDERWHYLEN
// bytes, empty when there is nothing to tell), the commander then left on
// Defend. Rituals, forging and Empowerment are not stored here.
int32_t giveorder(int32_t cnr, Order code, int32_t param, int32_t asking, char* why);
// The same without the withdrawal, for a caller that has withdrawn the
// former order itself.
int32_t storeorder(int32_t cnr, Order code, int32_t param, int32_t asking, char* why);
