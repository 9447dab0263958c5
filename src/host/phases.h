// The phases of a hosted turn, in the order `newturn` runs them, and the
// rules they share. Each phase works on the loaded world tables only; the
// tests run them one by one on small worlds. The rules that the screens and
// the computer players share with the phases (armies, research, forging,
// prices, upkeep, honour) are those of actions/sharedrules.h.
#pragma once
#include <vector>

#include "actions/refusal.h"
#include "actions/sharedrules.h"
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

// ---------------------------------------------------------------- players and orders
// A player that takes part this turn: controller human or computer, 0..94.
bool activeplayer(int32_t p);
// Withdraws an order that can no longer be carried out: refund through
// cancelorder and a message to the owner "NAME could not TEXT: WHY." (the
// host's own reason), or "NAME could not TEXT: SENTENCE" with the sentence
// of the order rule (actions/orderrules.h) as the order menu shows it.
void failorder(int32_t cnr, const char* what, const char* why);
void failorder(int32_t cnr, const char* what, const Refusal& refused);
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

// ---------------------------------------------------------------- items
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
