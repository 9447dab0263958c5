// Which orders a commander may take where it stands, and what a building
// order costs. The order menu of the turn screen, the order store
// (actions/orderstore.h) and the turn host read the same conditions from
// here, and the host tells a refused order with the sentence the menu shows.
#pragma once
#include "actions/refusal.h"
#include "runtime/short.h"
#include "world/orders.h"

// Empty when the commander may take the order (param: the site slot of
// entersite), else the sentence that says why not. Moves (move,
// movepatrol, and sneak with a destination) are not decided here: mapmove.
// Of the commanders that hold a sacrifice in one temple, or the death
// match for one nation, the first by number keeps it: the others (and one
// that asks for it then) are refused.
Refusal orderallowed(int32_t cnr, Order code, int32_t param);
// Gold that the order costs when given: a laboratory, a temple or a new
// fort; continuing a fort under construction costs nothing. 0 otherwise.
int32_t ordergoldcost(int32_t cnr, Order code);
// The castle type that buildfort builds: the type under construction when
// one is recorded, else the type the nation builds in the land.
int32_t fortordertype(int32_t cnr);
// The most veyrance that the commander's preaching can raise the land to.
int32_t preachlimit(int32_t cnr);

// What the menus ask about a commander where it stands.
bool ordermobile(int32_t cnr);
int32_t orderland(int32_t cnr);          // -1 none
const struct Land& orderlandrec(int32_t cnr);   // land 0 when none
int32_t orderplayer(int32_t cnr);
int32_t effectof(int32_t cnr, int32_t ability);
