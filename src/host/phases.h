// The phases of a hosted turn, in the order `newturn` runs them, and the
// rules they share. Each phase works on the loaded world tables only; the
// tests run them one by one on small worlds.
#pragma once
#include <vector>

#include "runtime/short.h"

// ---------------------------------------------------------------- the phase list
enum HostPhase {
  PH_COMPUTER = 0,   // computer players give their orders
  PH_MESSAGES,       // gifts and player messages delivered
  PH_RECRUIT,        // recruitment queues become units
  PH_RESEARCH,       // research points and new levels
  PH_FORGE,          // forging and Empowerment
  PH_RITUALS,        // ritual orders
  PH_MOVE,           // movement; meetings make battles
  PH_BATTLES,        // the battles of the month
  PH_SIEGES,         // sieges, storming, fort construction
  PH_ORDERS,         // the other commander orders
  PH_INCOME,         // income and upkeep
  PH_STARVE,         // supply and starvation
  PH_VEYRANCE,       // veyrance spread with temples
  PH_MERCENARIES,    // mercenary bids and months of service
  PH_AGEING,         // healing, ageing and afflictions
  PH_EVENTS,         // random events
  PH_HEROES,         // random heroes
  PH_FAME,           // the hall of fame
  PH_STATISTICS,     // end-of-game statistics
  PH_SCORES,         // scores and victory
  PH_CHEATS,         // cheat detection baselines
  PH_COUNT
};
// The name logged as "host: NAME" and the progress label of each phase.
const char* phasename(int32_t phase);
const char* phaselabel(int32_t phase);
// Runs one phase (logging, progress label, then bugcheck after it).
void runphase(int32_t phase);

// ---------------------------------------------------------------- players and armies
// A player that takes part this turn: controller human or computer, 0..94.
bool activeplayer(int32_t p);
// Two players fight when they meet: different players, not allied.
bool hostile(int32_t a, int32_t b);
// The living units of a commander's army: its body first, then the units of
// its squads (those in the body's land).
std::vector<int32_t> armyunits(int32_t cnr);
// Commander numbers of living commanders of the player (-1: any) in the land
// (-1: any), in number order.
std::vector<int32_t> commandersin(int32_t lnr, int32_t player);
// Living units of the player (-1: any) in the land, in number order.
std::vector<int32_t> unitsin(int32_t lnr, int32_t player);
// The commander is alive: a body with hit points.
bool comalive(int32_t cnr);
// Owner and land of a living commander's body (-1 when not alive).
int32_t complayer(int32_t cnr);
int32_t comland(int32_t cnr);
// Withdraws an order that can no longer be carried out: refund through
// cancelorder and a message to the owner "NAME could not TEXT: WHY".
void failorder(int32_t cnr, const char* what, const char* why);
// Orders back to Defend after they were carried out (no refund).
void orderdone(int32_t cnr);

// ---------------------------------------------------------------- conquest and battles
// The player takes the province: a land without a fort changes owner and
// fort holder and loses its temple, fort work, queues and province defence;
// a land with a fort changes owner only (the fort holder is besieged unless
// it is the player). Queues held for a fort holder that loses the province
// are refunded. Sets the conquest bit of the victory-point word.
void conquerland(int32_t lnr, int32_t player);
// Fights a battle in the land between the defender and the attacker and
// returns the winner (one of the two); the battle engine has applied the
// aftermath, the land's owner is the caller's to change. Writes a replay for
// each side that is a player in the game and reports the outcome to both.
int32_t host_battle(int32_t lnr, int32_t defender, int32_t attacker, int32_t incastle, int32_t surprise);
// Battles fought this turn (for the log and the tests).
extern int32_t battlesfought;

// ---------------------------------------------------------------- rules shared with the screens
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
// What mercenary band b asks of player p a month: its price, the special
// price for its favoured nation, a quarter more for nation 40, half for the
// nation that employs it (`employer`); 0 for a band outside 0..4.
int32_t mercprice(int32_t band, int32_t player, int32_t employer);
// upk: upkeep.
// Monthly gold upkeep of all the player's living units.
int32_t upk(int32_t player);
// Honour of a commander: 8 x hero counter + 2 x kills + experience; -1 for
// a number outside the commanders in use or a free commander.
int32_t famescore(int32_t cnr);
// Keeps the per-item count of items in play.
void host_upditemsinplay();

// ---------------------------------------------------------------- phases
void computerplayersphase();
void messagesphase();
void recruitphase();
// Empties both recruitment queues of the land, paying their gold back to
// the fort holder (none when it is negative); a negative land does nothing.
void cancelrecruits(int32_t lnr);
void researchphase();
void forgephase();
void ritualsphase();
void movephase();
void battlesphase();
void siegesphase();
void ordersphase();
void incomephase();
void starvephase();
void veyrancephase();
void mercenaryphase();
void ageingphase();
void eventsphase();
void heroesphase();
void famephase();
void statisticsphase();
void scoresphase();
void cheatsphase();
