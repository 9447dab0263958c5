// The rules that the turn screens, the computer players and the host share:
// who fights whom, a commander's living army, research and forging, a
// mercenary band's price, upkeep and a commander's honour. Each reads the
// world's tables and gives the same answer on every side, so a screen shows
// what the host will do and a computer player plans with what it will get.
#pragma once
#include <vector>

#include "runtime/short.h"

struct Unit;

// ---------------------------------------------------------------- players and armies
// Two players fight when they meet: different players, not allied.
bool hostile(int32_t a, int32_t b);
// The commander is alive: a body with hit points.
bool comalive(int32_t cnr);
// Owner and land of a living commander's body (-1 when not alive).
int32_t complayer(int32_t cnr);
int32_t comland(int32_t cnr);
// The living units of a commander's army: its body first, then the units of
// its squads (those in the body's land).
std::vector<int32_t> armyunits(int32_t cnr);
// Commander numbers of living commanders of the player (-1: any) in the land
// (-1: any), in number order.
std::vector<int32_t> commandersin(int32_t lnr, int32_t player);
// Living units of the player (-1: any) in the land, in number order.
std::vector<int32_t> unitsin(int32_t lnr, int32_t player);

// ---------------------------------------------------------------- research and forging
// Research points a school of the player receives this turn (school above 6
// or negative: the total).
int32_t pathresearch(int32_t player, int32_t school);
// Brings the seven research percentages back to a sum of 100.
void balanceresearch(int32_t player, int32_t changed);
// Research points needed for the next level of a school at the given level.
int32_t researchcost(int32_t level);
// Whether the commander can forge the item (1), lacks skill or research
// (-1), the unique item exists (-2), or the nation lacks gems (-3); the gem
// costs of the two paths are left in forgegemcost1 and forgegemcost2.
int32_t canforge(int32_t cnr, int32_t item);
extern int32_t forgegemcost1, forgegemcost2;
// Gems the item costs at a path level (levels outside 0..9 count as the
// nearest bound).
int32_t itemgemcost(int32_t level);

// ---------------------------------------------------------------- gold and honour
// What mercenary band b asks of player p a month: its price, the special
// price for its favoured nation, a quarter more for nation 40, half for the
// nation that employs it (`employer`); 0 for a band outside 0..4.
int32_t mercprice(int32_t band, int32_t player, int32_t employer);
// upk: upkeep.
// Monthly gold upkeep of all the player's living units: the gold price of
// each unit that pays (paysupkeep) over UPKEEPDIVISOR months.
int32_t upk(int32_t player);
constexpr int32_t UPKEEPDIVISOR = 15;   // a unit costs its gold price over this many months
// A living unit of a valid type that is neither a mercenary of a band nor
// a pretender pays upkeep; unitupkeep is its share before the division.
bool paysupkeep(const Unit& u);
int32_t unitupkeep(const Unit& u);
// Honour of a commander: 8 x hero counter + 2 x kills + experience; -1 for
// a number outside the commanders in use or a free commander.
int32_t famescore(int32_t cnr);
