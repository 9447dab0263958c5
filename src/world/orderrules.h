// Which orders a commander may take where it stands, and what a building
// order costs. The order menu of the turn screen, the order store
// (actions/orderstore.h) and the turn host read the same conditions from
// here.
#pragma once
#include "runtime/short.h"
#include "world/orders.h"

constexpr int32_t ORDERWHYLEN = 300;
// 1 when the commander may take the order (param: the site slot of
// entersite); else 0 with the message for the player in why (ORDERWHYLEN
// bytes), which says why (empty only for a site slot outside 0..3). Moves
// (move, movepatrol, and sneak with a destination) are not decided here:
// mapmove.
int32_t orderallowed(int32_t cnr, Order code, int32_t param, char* why);
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
