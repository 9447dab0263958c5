// The battle engine's own state: the units on the field with the combat
// values worked out once at the set-up, the groups they fight in, the grid
// of squares and the events of the current turn. Only the engine's files
// include this header; everything else reads battle.h.
#pragma once
#include <array>
#include <vector>

#include "battle/battle.h"

// Where a fighter is.
enum FighterState : uint8_t { FS_FIELD = 0, FS_DEAD = 1, FS_OFF = 2 };

constexpr int32_t MAXMELEE = 6;        // melee weapons a fighter swings
constexpr int32_t MAXBATTLESPELLS = 24;   // spells a mage keeps at hand
constexpr int32_t NOGROUP = -1;

// Resistances kept per fighter.
enum Resist { RS_FIRE = 0, RS_COLD = 1, RS_SHOCK = 2, RS_POISON = 3 };

static_assert(BK_COUNT <= 32, "a fighter's battle states fit one word");

// One unit on the battlefield.
struct Fighter {
  int32_t unr;
  int32_t cnr;             // commander whose body it is, -1 none
  int32_t group;
  int32_t nextinsquare;    // -1 ends the square's list
  int8_t side;             // 0 defender, 1 attacker
  uint8_t state;           // FighterState
  int16_t x, y;
  // Combat values, worked out at the set-up and after a change of state.
  int16_t size, str, prec, mr, maxhp, moves, enc, castenc, maxmorale;
  int16_t def;             // melee defence with weapons and shield parry
  int16_t shieldparry, shieldprot;
  int16_t prot[5];         // overall protection at locations 1..4
  int16_t nmelee;
  int16_t meleew[MAXMELEE];
  int16_t meleeatt[MAXMELEE];
  int16_t missilew, range;
  int16_t res[4];          // Resist
  int16_t fireshield, airshield, regen, reinvig;
  uint32_t tflags, tflags2;   // the unit type's flag words
  uint8_t flying, ethereal, lucky;
  // Battle state.
  int16_t kills;
  int16_t harass;          // blows aimed at it this turn
  int16_t paralysed;       // turns it cannot act
  int16_t fought;          // 1 when it fought or cast this turn
  int16_t lastshot;        // turn of its last missile
  int16_t stuck;           // turns it could not move on
  uint32_t gained[3];      // flag bits the battle gave it, taken back after
  int16_t buffend[BK_COUNT];   // turn after which a battle state ends; 0 none
  uint32_t buffs;          // bit k: buffend[k] is set
  int16_t nspells;
  int16_t spell[MAXBATTLESPELLS];
};

// A squad, a commander, the garrison or a summoned band: units that take
// one battle order and one target together.
struct Group {
  int8_t side;
  int32_t first, last;     // first and last fighter, -1 none
  int32_t count;           // fighters it ever had
  int32_t cnr;             // leading commander, -1 none
  uint8_t order, target;
  int32_t targetgroup;     // -1: to be chosen
  int16_t lost, lostnow;   // fighters lost, in all and this turn
  uint8_t leaderlost;      // its commander fell or fled this turn
  uint8_t routed;
};

struct BattleState {
  int32_t land = -1;       // -1: no battle set up
  int32_t player[2];       // defender, attacker
  int32_t incastle, provdef, surprise;
  int32_t turn;            // 0 during the set-up
  int32_t nfighters, ngroups;
  int32_t active[2];       // fighters of a side on the field and not routing
  int32_t hadcommanders[2];
  int32_t nevents;
};

extern BattleState bs;
extern std::array<Fighter, MAXFIGHTERS> fighter;
extern std::array<Group, MAXFIGHTERS> group;
extern std::array<int32_t, MAXFIGHTERS> fighterunit;   // unit numbers in fighter order
extern std::array<int32_t, FIELDW * FIELDH> squarehead;  // first fighter, -1 empty
extern std::array<int16_t, FIELDW * FIELDH> squarefill;  // summed size
extern std::array<int8_t, FIELDW * FIELDH> squareside;   // -1 empty
// The squares each side holds: a bit per row, one word per column, kept with
// squareside. The nearest enemy is looked for column by column outward from
// a fighter instead of among every fighter.
static_assert(FIELDH <= 64, "a column's rows fit one word");
extern std::array<std::array<uint64_t, FIELDW>, 2> siderows;
// The walks over a group read these two compact tables rather than the
// fighters' records: the next fighter of the group (-1 ends it), and where
// a fighter on the field stands, x << 8 | y (OFFFIELD: not on a square).
extern std::array<int32_t, MAXFIGHTERS> nextingroup;
constexpr uint16_t OFFFIELD = 0xFFFF;
extern std::array<uint16_t, MAXFIGHTERS> fighterspot;
// The fighters of each group in the order they joined (the same as its
// nextingroup list), one after another in memory for the walks that read
// every one of them.
extern std::vector<std::vector<int32_t>> groupmembers;
// Fighters of each side that are no commander, per column.
extern std::array<std::array<int16_t, FIELDW>, 2> troopcolumns;
constexpr int32_t MAXEVENTS = 16384;
extern std::array<BattleEvent, MAXEVENTS> battleevents;

// ----------------------------------------------------------------- set-up
// The fighter of a unit in the current battle, -1 none.
int32_t unitfighter(int32_t unr);
// Adds a unit to the battle in the group; -1 when the field is full.
int32_t addfighter(int32_t unr, int32_t side, int32_t g);
int32_t addgroup(int32_t side, int32_t cnr, int32_t order, int32_t target);
// Works the fighter's combat values out again from the rules.
void cachefighter(int32_t f);
// Places the fighter on the free square nearest (x, y), inside the
// defender's castle only when asked; 0 when none is left.
int32_t placenear(int32_t f, int32_t x, int32_t y, bool castleonly = false);
// Forgets the previous battle's units.
void clearbattle();

// ------------------------------------------------------------------ grid
inline bool onfield(int32_t x, int32_t y) { return x >= 0 && x < FIELDW && y >= 0 && y < FIELDH; }
inline int32_t squareof(int32_t x, int32_t y) { return y * FIELDW + x; }
inline bool incastle(int32_t x, int32_t y) { return bs.incastle && x <= CASTLEX1 && y >= CASTLEY0 && y <= CASTLEY1; }
inline int32_t distance(int32_t x0, int32_t y0, int32_t x1, int32_t y1) {
  const int32_t dx = x0 > x1 ? x0 - x1 : x1 - x0, dy = y0 > y1 ? y0 - y1 : y1 - y0;
  return dx > dy ? dx : dy;
}
// Whether the fighter fits on the square.
inline bool roomfor(int32_t f, int32_t x, int32_t y) {
  if (!onfield(x, y)) return false;
  const int32_t s = squareof(x, y);
  if (squarefill[size_t(s)] == 0) return true;
  return squareside[size_t(s)] == fighter[size_t(f)].side && squarefill[size_t(s)] + fighter[size_t(f)].size <= SQUARESIZE;
}
void putonsquare(int32_t f, int32_t x, int32_t y);
void takeoffsquare(int32_t f);

// ---------------------------------------------------------------- fighting
// One battle turn: every fighter acts once in an order drawn anew.
void battleturn();
// Morale of the groups that lost units this turn, recovery and lasting effects.
void endofturn();
// Damage of one blow, missile or spell on the target after protection;
// what was done. from is the striking fighter (-1 none).
struct Blow {
  int32_t dmg;             // before protection
  int32_t dmgtype;         // DT_ code, 0 normal
  uint32_t wflags;         // WF_ bits (armor piercing, negating, elements, MR)
  int32_t loc;             // hit location, 5 the shield
  int32_t mrpen;           // magic penetration for MR-negated blows
};
int32_t strike(int32_t from, int32_t target, const Blow& blow);
void killfighter(int32_t f, int32_t killer);
void routfighter(int32_t f);
void logevent(uint8_t kind, int32_t f, int32_t target, int32_t tx, int32_t ty, int32_t what, int32_t amount);
// drn: dice roll number.
int32_t drn();               // open-ended two six-sided dice
// The enemy group a group goes for; -1 when no enemy is left.
int32_t grouptarget(int32_t g);
// Nearest fighter of the other side on the field (of group g when g >= 0)
// within range r of (x, y); -1 none.
int32_t nearestenemy(int32_t side, int32_t x, int32_t y, int32_t g, int32_t r);

// ------------------------------------------------------------------ spells
// Fills the fighter's list of battle spells (commanders only).
void collectspells(int32_t f);
// Casts the spell (or, for spell 0 or one that cannot be cast now, the
// mage's own choice); 1 when a spell was cast.
int32_t castbattlespell(int32_t f, int32_t spell);
// Gives the fighter a battle state until turn `until` (0: the battle).
void battlestate(int32_t f, int32_t kind, int32_t until);
// Takes back the states that have run out (all of them after the battle),
// and only the flag bits the battle gave.
void endbattlestates(int32_t f, bool all);
