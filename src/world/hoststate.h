// What the turn host keeps between turns and the game files store: the turn
// counter, player messages and messages between players, hall of fame scores,
// end-of-game statistics and the unique unit types in play.
#pragma once
#include <array>
#include "runtime/short.h"

constexpr int32_t MAXMSG = 4000;
constexpr int32_t MSGTEXTLEN = 1500;     // text of at most 1499 characters
constexpr int32_t PMESSSLOTS = 32;

// Current turn, counted from 0; one turn is one month.
extern int32_t turn;
// 1 while the host or world creation changes the world.
extern int16_t hostingflag;

// Message types.
constexpr uint8_t MT_PLAIN = 0, MT_LANDLINK = 1, MT_COMLINK = 2, MT_BATTLE = 4, MT_SCOUT = 5, MT_FREE = 255;
constexpr uint8_t MSG_ALLPLAYERS = 254;

// A message to a player.
struct Message {
  int32_t land;
  int32_t subj[3];         // scout report: [1] army size seen, [2] main unit type seen
  uint8_t player;          // 254 = every player
  uint8_t type;            // 255 = free slot
  char text[MSGTEXTLEN];
};
extern std::array<Message, MAXMSG> message;
extern int32_t highestmsg;       // -1 none

// A stored message slot of a player; first byte 255 = free.
struct PMess {
  uint8_t b0, b1;
  int32_t value;
  char text[MSGTEXTLEN];
};
extern PMess pmess[95][PMESSSLOTS];

// A player's outgoing messages and gifts are its pmess slots, delivered in
// hosting: b0 the receiver (255 = free slot), b1 the gift (PG_ codes), value
// the amount or item number, text the letter.
constexpr uint8_t PG_NONE = 0, PG_GOLD = 1, PG_ITEM = 2, PG_GEMS = 10;   // 10..17 gems of kind b1 - 10

void clearmessages();

// A new empty message: land or -1, player 0..94 or -2 for all, type, and a
// land link in subject 0. -1 for a bad player or a full table.
int32_t newmsg(int32_t lnr, int32_t player, int32_t type, int32_t link);
// t2msg: text to message.
// Appends formatted text; a message number below 0 is ignored; text past
// 1499 characters is cut.
void t2msg(int32_t m, const char* format, ...) __attribute__((format(printf, 2, 3)));
// Lowest scout report (type 5) of the player about the land, -1 none.
int32_t findscoutmsg(int32_t player, int32_t lnr);
// Messages in use for the player (its own and those to every player).
int32_t nbrofmsg(int32_t player);
// A uniformly drawn neighbour of the land; -1 for a land below 1 or no neighbour.
int32_t randneighbour(int32_t lnr);

// Hall of fame: commander numbers in descending order of honour; files keep
// 0 or -1 for an empty place. The game's hall-of-fame size tells how many count.
constexpr int32_t MAXSCORES = 15;
extern int16_t scorelist[MAXSCORES];
// True when the commander is in the hall of fame (commander 0 never is).
bool inhalloffame(int32_t cnr);

// End-of-game statistics: eight series of per-turn values per player.
constexpr int32_t ENDSTATSERIES = 8;
constexpr int32_t ENDSTATTURNS = 250;
struct EndStats {
  int16_t value[ENDSTATSERIES][ENDSTATTURNS][95];
  int16_t highest;         // highest recorded turn index, -1 none
};
extern EndStats endstats;
// The series that the graphs show, per player 0..94 in play (controller
// human or computer; 0 for every other slot), each clamped to 0..65535 and
// read as unsigned:
enum EndStatSeries {
  ES_PROVINCES = 0,       // provinces owned
  ES_FORTS = 1,           // forts held
  ES_INCOME = 2,          // gold income per turn (getkinc)
  ES_GEMINCOME = 3,       // gems and slaves per turn, every kind summed (visinc)
  ES_RESEARCH = 4,        // research levels of the seven schools summed
  ES_VEYRANCE = 5,        // the god's veyrance (veyscore)
  ES_UNITS = 6,           // army size: living units owned, commanders included
  ES_VICTORYPOINTS = 7    // victory points in provinces whose fort is held
};
// Records the series for the current turn (turn index capped at 249, a
// negative turn counts as 0) and raises the highest recorded turn index:
// the host after each month, the world maker for a new world's first row.
// The argument is 0 for the turn's own statistics.
void updateendstats(int32_t mode);

// Unique unit types already brought into play.
constexpr int32_t MAXUNIQUETYPES = 4000;
struct UniqueTypeList {
  int32_t count;           // highest index in use, -1 empty
  int16_t type[MAXUNIQUETYPES];
};
extern UniqueTypeList uniquetypelist;

// Resets scores, end statistics and the unique-type list.
void clearhoststate();
