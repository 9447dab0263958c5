// Battle engine. It fights over the unit and commander tables of the world.
#pragma once
#include "world/units.h"

// ======================================================================
// The battle engine: a battle in one land between a defender and an
// attacker, fought on a grid from the loaded world and decided by the
// table random generator `rnd` alone, so that a replay of the same world
// from the same seed is the same battle.
//
// The host's road for one battle (the replay's road is the same, with the
// world read from the replay and battlechecksums filled by readchecksums):
//   battlechecksums.fill(0);           // hosting: store, not compare
//   seedrnd(seed);                     // once, right before initbattle
//   initbattle(lnr, defender, attacker, incastle, provdef, surprise);
//   dobatl(defender, attacker, view, trapped, 1, turnlimit);
//   ... battleresult says who won; the aftermath is already applied.
// The three host values stored in a replay are provdef, surprise and
// turnlimit, in this order. The rules read the world around the battle as
// well: the turn (seasons, weather), the land, enchantments, the two
// players' kingdoms and spellbooks. A replay is the same battle only when
// these are what the replay carries, so the host sets forces outside the
// land aside before it writes the replay and fights the battle with `turn`
// at the value its players' turn files will carry.
// ======================================================================

// The battlefield: FIELDW squares from the defender's back edge (x = 0) to
// the attacker's back edge (x = FIELDW - 1), FIELDH squares across. A square
// holds units of one side up to a summed size of SQUARESIZE (a larger unit
// stands alone). Deployment places (-10..10 each way, x from a side's back
// towards its front) map to the defender's zone x = 10 + place.x and to the
// attacker's zone mirrored through the middle of the field.
constexpr int32_t FIELDW = 60;
constexpr int32_t FIELDH = 40;
constexpr int32_t SQUARESIZE = 6;
// The defender's castle when he fights from it: a walled block at his back.
constexpr int32_t CASTLEX1 = 8;                 // x 0..CASTLEX1
constexpr int32_t CASTLEY0 = 12, CASTLEY1 = 27; // y CASTLEY0..CASTLEY1
constexpr int32_t DEFAULTBATTLETURNS = 50;      // the defender holds after these
constexpr int32_t MAXBATTLETURNS = 200;
constexpr int32_t MAXFIGHTERS = 12000;          // units on one battlefield

// Battle state byte of a unit (Unit::batstate).
constexpr uint8_t BS_NONE = 0;
constexpr uint8_t BS_ROUTING = 3;   // running for its back edge
constexpr uint8_t BS_FLED = 5;      // has left the battlefield

// Battle states a spell gives (the damage field of a spell with effect code
// 10 or 81): each sets one unit flag bit for the rest of the battle, or for
// the spell's duration when its effect carries one. The state's effect is
// the rules' reading of that bit; the engine reads the luck and ethereal
// bits itself. Rusted armour is the one hostile state.
enum BattleStateKind : int32_t {
  BK_NONE = 0, BK_QUICKNESS = 1, BK_STONESKIN = 2, BK_BARKSKIN = 3, BK_IRONSKIN = 4, BK_AIRSHIELD = 5,
  BK_FIRESHIELD = 6, BK_STRENGTH = 7, BK_PRECISION = 8, BK_BERSERK = 9, BK_BLESSING = 10, BK_LUCK = 11,
  BK_MAGICRES = 12, BK_COURAGE = 13, BK_FLIGHT = 14, BK_HARDARMOR = 15, BK_COLDRES = 16, BK_FIRERES = 17,
  BK_POISONRES = 18, BK_SHOCKRES = 19, BK_ETHEREAL = 20, BK_REGENERATION = 21, BK_WATERSHIELD = 22,
  BK_HELLPOWER = 23, BK_UNHOLYPOWER = 24, BK_RUSTEDARMOR = 25, BK_COUNT = 26
};
struct BattleStateBit {
  int32_t word;        // the unit flag word: 0 afflictions, 1 states, 2 the third word
  uint32_t bit;
  bool hostile;        // given to the enemy
};
extern const BattleStateBit battlestatebits[BK_COUNT];
constexpr uint32_t ST_LUCK = 0x2;          // a blow on it misses one time in four
constexpr uint32_t ST_ETHEREAL = 0x8000000;   // mundane weapons harm it one blow in four

// Battle spell effect codes the engine casts (the effect field of a spell,
// after a duration of rounds x 1000 is taken off). Any other code below
// 10000 is not offered to a mage in battle.
//   1  summon: `nbreff` temporary units of unit type `damage` beside the caster
//   2  damage; with the damage-type codes 3 stun, 7 poison, 24 holy (x3 on
//      undead and demons), 66 paralysis, 73 magic (x2 on magic beings),
//      96 constructs only, 105 illusions only, 106 demons only, 107 demons
//      x2, 109 at most 1 hit point; a damage of 999 kills unless magic
//      resistance negates it
//   10 a battle state (BattleStateKind in `damage`) for the units in the
//      area of the target: range 0 the caster, else a friend in range (an
//      enemy for a hostile state)
//   13 heal `damage` hit points
//   81 a battle state for every unit of the caster's side (of the enemy's
//      for a hostile state)
// Range, area, number of effects, precision and damage above 999 grow with
// the caster's level in the spell's first path. Area: the square of the
// target (0 and 1), the squares within r of it for (2r+1)^2, the whole field
// from 660 on. A spell whose path is Fire, Water or Air deals fire, cold or
// shock damage, which the matching resistance lowers.
int32_t battlespelleffect(int32_t spell);   // the code above, -1 not castable in battle

// The result of the last battle.
struct BattleResult {
  int32_t land;
  int32_t defender, attacker;
  int32_t winner;          // the player that holds the field: attacker or defender
  int32_t turns;           // battle turns fought
  int32_t killed[2];       // units killed, [0] defender's, [1] attacker's
  int32_t fled[2];         // units that left the field alive
  int32_t retreated;       // survivors of the losing side that retreated
  int32_t died_trapped;    // survivors of the losing side that had nowhere to go
};
extern BattleResult battleresult;

// Sets the battle up in land lnr from the loaded world: every living unit
// there owned by the defender or the attacker takes part (the defender's
// side also gets `provdef` points of temporary province defence). Squads
// and commanders stand at the places their commanders' deployment gives,
// the defender inside his castle when incastle is 1. With surprise 1 the
// defender stands where chance puts him and fights under the computer's
// orders. Sets batland, inbattle, the weather (battlesnow, battlerain, which
// dobatl clears again) and the units' battle fields. Draws from rnd; seed
// before calling.
void initbattle(int32_t lnr, int32_t defender, int32_t attacker, int32_t incastle, int32_t provdef,
                int32_t surprise);
// Whether the player holds a land beside land lnr: where the losers of its
// side retreat to after a battle there.
bool haslandbeside(int32_t lnr, int32_t player);
// dobatl: do battle.
// Fights the battle set up by initbattle and applies its aftermath: the
// dead are removed (and add to the land's fallen), temporary units vanish,
// the survivors of the losing side retreat to a neighbouring land their
// owner holds, or die when there is none or `trapped` is 1; every battle
// field of the units is reset. The land's owner is left to the caller.
// view 1: the display hook is called after the set-up and after every
// battle turn. checksums 1: when battlechecksums[0] is not 0 the set-up
// and every turn below MAXCHECKSUMS are compared with the table and logged
// ("This battle looks just like I have forseen" / "***** Warning: Battle
// inconsistency (turn %d)", "Battle running along just as I have forseen"),
// otherwise they are stored in it ("Saving setup checksum", "Saving
// checksum"); a mismatch never stops the battle. turnlimit: battle turns
// before the defender holds the field (0: DEFAULTBATTLETURNS). Returns the
// winner (the defender or the attacker).
int32_t dobatl(int32_t defender, int32_t attacker, int32_t view, int32_t trapped, int32_t checksums,
               int32_t turnlimit);

// What the battle view draws. The hook is called once after the set-up
// (turn 0) and once after every battle turn while dobatl runs with view 1;
// the units on the field are those of `units` (positions, hit points and
// battle state in the unit table; x below 0 once off the field).
enum BattleEventKind : uint8_t {
  BEV_STRIKE = 1,      // melee blow: unr strikes target (amount: damage, 0 a miss)
  BEV_MISSILE = 2,     // unr shoots at square tx, ty (what: weapon), hits target or -1
  BEV_SPELL = 3,       // unr casts spell `what` at square tx, ty
  BEV_DEATH = 4,       // unr dies
  BEV_ROUT = 5,        // unr starts to rout
  BEV_FLEE = 6,        // unr leaves the field
  BEV_SUMMON = 7,      // unr appears (summoned or raised)
};
struct BattleEvent {
  uint8_t kind;        // BattleEventKind
  int32_t unr;
  int32_t target;      // unit, -1 none
  int16_t tx, ty;      // target square
  int16_t what;        // weapon or spell number
  int16_t amount;
};
struct BattleFrame {
  int32_t turn;
  int32_t nunits;
  const int32_t* units;          // every unit of the battle, both sides
  int32_t nevents;
  const BattleEvent* events;     // what happened in this turn, in order
  int32_t foreseen;              // the turn's checksum against the replay's: 1 the same,
                                 // 0 not, -1 nothing to compare with
};
using BattleViewHook = void (*)(const BattleFrame& frame);
extern BattleViewHook battleviewhook;   // null: nothing is drawn
// The side of a unit in the current battle: 0 defender, 1 attacker, -1 none.
int32_t battleside(int32_t unr);

// ---------------------------------------------------- commander services
// gispl: get item spell.
// ccm and ccmrandomtotal (random magic of a new commander): world/units.h.
// The n-th spell (from 0) that the commander's items grant; 0 or less none.
int32_t gispl(int32_t cnr, int32_t n);
// A commander of the player in the land (drawn with rnd when mode is 1,
// else the first); -1 when there is none.
int32_t randcom(int32_t lnr, int32_t player, int32_t mode);
// Turns the unit into its other shape (ability 193); 1 when it changed.
int32_t shapechange(int32_t unr);
// After a change of shape: items in slots the new form lacks are logged
// ("Item violation") and, in mode 2, moved to a free slot or the owner's
// laboratory store.
void check_item_slots(int32_t unr, int32_t mode);
