// Squads and the army panel. A commander leads its units in at most five
// squads; each squad slot keeps a place on the deployment field, a battle
// order and a preferred target, and the commander has its own place, order
// and target and a battle script for the first five battle turns. The panel
// sorts the units of one province (or of the armies moving to one) between
// the garrison and the commanders' squads and sets those battle orders.
//
// Rules are plain functions over the world tables and the panel's state
// below, which tests set without a window; the screen rebuilds its items
// every frame and acts on the id returned.
#pragma once
#include <string>
#include <vector>

#include "actions/squads.h"
#include "runtime/short.h"

// ------------------------------------------------------------ battle orders
// One row of an order table: the value stored, its label and help text.
struct BattleChoice {
  int32_t value;
  const char* label;
  const char* help;
};
// Squad orders and preferred targets in menu order.
extern const BattleChoice squadorders[7];
extern const BattleChoice battletargets[7];
// Whether a squad (or commander) order is followed by the target menu, and
// whether a target is offered after that order: "rearmost enemies" only
// after attack and hold and attack. A commander's menu offers every target.
bool ordertakestarget(int32_t order, bool commander);
bool targetoffered(int32_t order, int32_t target, bool commander);
// Stores a squad slot's order or target; values outside the tables and
// empty slots are refused (false).
bool setsquadorder(int32_t cnr, int32_t slot, int32_t order);
bool setsquadtarget(int32_t cnr, int32_t slot, int32_t target);

// The commander's battle orders editor: its entries for the current state.
// Ids: 50..55 script steps, 10 + order for the commander orders, 10 "Done"
// (order 0). shape is true once a Change shape step was chosen.
constexpr int32_t SCR_DONE = 10, SCR_ORDER = 10, SCR_CAST = 50, SCR_SPELL = 51, SCR_SHAPE = 52, SCR_HOLD = 53,
                  SCR_FIRE = 54, SCR_ATTACK = 55;
struct ScriptEntry {
  int32_t id;
  const char* label;
  const char* help;
};
std::vector<ScriptEntry> scriptentries(int32_t cnr, bool shape);
// The lines that the editor shows above its entries: what the order file
// keeps of the commander's battle orders (its order and target, or "No
// battle orders set"); that the file keeps no script, so that hosted
// battles follow the order alone; and the steps chosen this turn, if any.
std::vector<std::string> battleorderlines(int32_t cnr);
// Starts the editor: order and target 0, every step -1.
void clearscript(int32_t cnr);
// Stores a step in the next free place; false when all five are set.
bool addscriptstep(int32_t cnr, int16_t step);
// The step value of a step entry (Cast a specific spell: the spell).
int16_t scriptstepvalue(int32_t id, int32_t spell);
// A commander order chosen in the editor (order = id - 10); false when the
// entry is not offered to the commander now.
bool setcomorder(int32_t cnr, int32_t order, bool shape);
bool setcomtarget(int32_t cnr, int32_t target);

// Battle order memory of the digit keys: ten slots of eight words in the
// nation's kingdom record (kind 1 commander orders with the script, 2 squad
// orders). slot -1 means the commander's own orders.
bool storebattlememory(int32_t player, int32_t key, int32_t cnr, int32_t slot);
// Applies a slot of the same kind; false (nothing changes) when the slot
// holds the other kind or nothing, or holds values outside the tables.
bool applybattlememory(int32_t player, int32_t key, int32_t cnr, int32_t slot);

// ------------------------------------------------------------------ squads
// Squad defaults and joining squads: actions/squads.h.

// The panel's state: the player, land (-1 with a destination: the armies
// moving there), destination (-1 none), the unit selection, the current
// group (-2 none, -1 garrison, else the squad of the last clicked unit),
// the last clicked unit and the research-hiding toggle (kept between
// openings).
struct ArmyPanelState {
  int32_t player = 0, land = -1, dest = -1;
  std::vector<int32_t> sel;
  int32_t group = -2;
  int32_t lastclicked = -1;
  int32_t hideresearch = 0;
};
extern ArmyPanelState armypanelstate;

// Opens the panel's state for the player's units in the land (or moving to
// dest): selection emptied, empty squads cleared, units whose squad no
// commander leads put back in the garrison.
void openarmypanel(int32_t player, int32_t lnr, int32_t dest);
// The player's commanders shown: living, in the land, or moving to the
// destination; researchers left out while hidden.
std::vector<int32_t> panelcommanders();
// The garrison of the land: living units of the player standing there in no
// squad that are not commanders, in unit-number order.
std::vector<int32_t> panelgarrison();
// The living units of a squad, in unit-number order.
std::vector<int32_t> squadmembers(int32_t squad);
// Whether the unit is one of the panel's (the player's, living, not a
// commander, in the land or led by a commander moving to the destination).
bool panelunit(int32_t unr);

// A click on a unit's figure; false when refused (not a unit of the panel,
// or of another group while one is current).
struct UnitClick {
  bool twice = false;    // a double click on the figure, or left Alt / AltGr held
  bool range = false;    // a Shift key held
};
bool clickunit(int32_t unr, UnitClick how);
// The s, e, w and a keys: adds the current group's starving, experienced,
// afflicted or all units to the selection.
enum SelectKind : int32_t { SEL_STARVING = 0, SEL_EXPERIENCED = 1, SEL_AFFLICTED = 2, SEL_ALL = 3 };
void selectgroupkind(int32_t kind);
void clearselection();
// Drops of the selection: into the garrison, to a commander (the first unit
// into a new squad, each further one where the previous one ended), into
// a squad. Each empties the selection and clears the empty squads. A
// commander or squad of another player is refused.
void dropgarrison();
void dropcommander(int32_t cnr);
void dropsquad(int32_t squad);
// cltu: commander leads this unit.
// 1 when the commander has leadership of the kind (normal, undead, magic)
// of the first selected unit (canlead), else 0.
int32_t cltu(int32_t cnr);

// The screen, for the player's units in the land or, with land -1, the
// armies moving to dest.
void armypanel(int32_t player, int32_t lnr, int32_t dest);
