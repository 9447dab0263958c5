// Commander orders on the turn screens: the text of every order code, the
// commander armies and the paged commander list, the province boxes, the
// spell choice and the order menu with its order store.
//
// Rules (plain functions over the world tables, no window) and screens
// (modal loops that rebuild their items every frame) are declared apart.
// Whether an army may move (mapmove) is a rule that the host and the
// computer players share: it lives in actions/moverule.h.
#pragma once
#include "actions/refusal.h"
#include "runtime/short.h"
#include "world/orders.h"

// ----------------------------------------------------------- order texts
constexpr int32_t ORDERTEXTLEN = 1000;
// Writes the text of the commander's order into buf (ORDERTEXTLEN bytes,
// always terminated) and returns buf. A negative number or a commander
// without a unit stops the program.
char* hostordertext(int32_t cnr, char* buf);

// ------------------------------------------------- armies and list paging
// -1 when the commander has no unit or its unit no land; else 1 when its
// place among the owner's living commanders of its land lies on the page
// that starts at `offset` and holds `pagesize` cards, 0 when not.
int32_t comvisible(int32_t cnr, int32_t offset, int32_t pagesize);
// Empties the selection and selects the commander's army (a commander
// without an army gets a new army number and is selected alone). The
// commander's index in the selection; -1 for an invalid commander.
int32_t selectarmy(int32_t cnr);
// Binds every living commander of the same owner, land and unit type into
// one new army and selects them; the index of the last one, -1 when none.
int32_t selectkind(int32_t cnr);
// The army number of the first selected commander that has one; 0 none.
int32_t selarmynr();
// Commanders of the player with that army number whose unit stands outside
// the land leave the army.
void leavearmy(int32_t player, int32_t armynr, int32_t lnr);
// Dead commanders leave their armies; of an army spread over provinces the
// lowest-numbered living commander keeps the number in its province.
void checkarmies();

// ----------------------------------------------------------- province boxes
constexpr int32_t EFFECTTEXTLEN = 1000;
// The effect text of one magic scale's value for the player's nation into
// buf (EFFECTTEXTLEN bytes); empty when the value has no effect.
void veyeffecttext(int32_t player, int32_t scale, int32_t value, char* buf);
// The Veyrance Info window of the land as the player knows it; returns when
// closed. buildveyinfo adds its items to the window being built.
void veyinfo(int32_t player, int32_t lnr);
void buildveyinfo(int32_t player, int32_t lnr);
// Tax steps of the Tax Rate window: step -1 lowers the tax by 10 (not below
// 0), +1 raises it by 10 (not above 200); either ends automatic taxing.
// settaxauto sets the tax that suits the unrest, then automatic taxing on
// or off.
void taxstep(int32_t lnr, int32_t step);
void settaxauto(int32_t lnr, int32_t on);
// The Tax Rate window of a land 1..1504 (other numbers do nothing).
void taxbox(int32_t player, int32_t lnr);

// ---------------------------------------------------- spell choice and info
// Filters of the spell lists: one flag per magic path 0..9, all on to start.
struct SpellFilter {
  int8_t on[10] = {1, 1, 1, 1, 1, 1, 1, 1, 1, 1};
};
// A filter key of path 0..7: shows that path alone, or everything again
// when that path was already shown alone.
void spellfilterkey(SpellFilter& f, int32_t path);
void spellfilterall(SpellFilter& f);
// A level-scaled spell value: while above 999, 1000 is taken off and the
// level added; scaled tells whether that happened.
int32_t spellscaled(int32_t value, int32_t level, bool* scaled);
// 1 when the spell is kept for nations and none of them is `nation` (with
// nation -1: as soon as it is kept for any); 0 otherwise.
int32_t spellforbidden(int32_t spell, int32_t nation);
// One row of the spell choice: a school header (spell -1), an item spell
// (never greyed) or a spell of the book.
struct SpellRow {
  int32_t spell;
  int32_t school;
  bool item, greyed;
};
// The rows that choosespell shows the commander: "Item spells" header
// (school -2) and the items' spells first, then each school's header and
// spells. Rituals or battle spells; the filter applies to paths 0..7.
int32_t spellchoicerows(int32_t cnr, int32_t ritual, const SpellFilter& filter, SpellRow* rows, int32_t max);
// 1 when the commander may cast the spell without it being greyed: path
// levels reached and water right where it stands.
bool spellcastable(int32_t cnr, int32_t spell);
// The lines of the spell's information box (description not included); the
// count, at most max.
constexpr int32_t SPELLINFOLINE = 120;
int32_t spellinfolines(int32_t spell, char (*lines)[SPELLINFOLINE], int32_t max);

// The spell choice of a mage: returns the spell picked, -1 for none (Exit,
// Escape, the close button or a left click on the list's plain text: a
// header, the margin, the title bar). The wheel and the scroll bar move the
// list and nothing else.
int32_t choosespell(const char* title, int32_t cnr, int32_t ritual);
// The information box of a spell, until a click or key gives an id (Exit,
// Escape, Return, a left click on its plain text); the wheel and the scroll
// bar move its text and nothing else. A spell outside the table shows
// nothing.
void spellinfobox(int32_t spell);
// Every spell of a school by research level (nation -1: none); spells from
// the known level on are drawn faded. A click on a spell shows its box;
// Exit (Escape, Enter, space, the close button) or a left click on the
// list's plain text leaves, and the wheel only scrolls.
void schoolspells(int32_t nation, int32_t school, int32_t knownlevel);
// The menu of the schools: a school shows its spells; Exit, a right click or
// a left click on plain text leaves.
void magicschools();
void spellfilterhelp();
// Picks a world-wide enchantment in force: its slot, -1 for Cancel.
int32_t chooseench(const char* title);
// Adds the row of the player's gem stock to the window being built.
void gemstockpanel(int32_t player);
// The next spell choice opens at the top of its list.
void resetspellscroll();

// ------------------------------------------------------------ order menu
// The choices of the order menu that are no order of their own: they open a
// window or act at once. As requests they sit beside the order codes
// (world/orders.h), on numbers that no order uses.
enum class MenuChoice : int32_t {
  entersite = -20,    // -20..-17: enter the site of slot 0..3 (the order entersite)
  alchemy = -5,       // the alchemy window
  changeshape = -4,   // change shape at once
  construct = -2,     // the window of the buildings
  itemritual = 36,    // 36..42: cast the ritual of the commander's item spell 0..6
  bloodslaves = 59,   // hand the blood slaves carried to the laboratory
};

// One line of a commander's order menu: the menu id (the order request is
// id - 100: an order code or a MenuChoice), the label, its key (0 none) and
// its help text.
struct OrderEntry {
  int32_t id;
  char label[100];
  char key;
  const char* help;
};
constexpr int32_t ORDERMENUSIZE = 60;
// Menu ids: an order's line is 100 + its code, a choice's 100 + its number,
// so that the choice made is always the request id - 100. Beside them the
// line that explains how to move, Cancel, and a line that does nothing.
constexpr int32_t ordermenuid(Order o) { return 100 + int32_t(o); }
constexpr int32_t ordermenuid(MenuChoice m) { return 100 + int32_t(m); }
constexpr int32_t ORDERMENU_MOVEHELP = 998, ORDERMENU_CANCEL = 999, ORDERMENU_NOTHING = 97;
// The rituals of the commander's items that the menu offers; the order
// store serves seven of them.
constexpr int32_t MAXITEMRITUALS = 7;
// The entries of the commander's order menu where it stands, in menu
// order (Cancel last); the count.
int32_t ordermenuentries(int32_t cnr, OrderEntry* entries, int32_t max);
// The order menu of the commander; the choice is applied to it or, when it
// is selected, to every selected commander of its owner.
void changeorder(int32_t cnr);
// Validates order request (a menu id - 100: an order code or a
// MenuChoice) for the commander and stores it, asking what the order needs.
// The former order is withdrawn first, its costs refunded; a request that
// the commander cannot take where it stands is then told why in a message
// and leaves the commander on Defend. Rituals, forging and alchemy withdraw
// nothing until their window has a choice, so a refusal of those leaves
// the former order. A number that is neither does nothing.
void changeoneorder(int32_t cnr, int32_t request);
// Why the commander cannot take order request where it stands, as it stands
// after its former order was withdrawn (empty: it may). Requests that open
// a menu or a screen are refused here for what the menu or screen needs; a
// move needs the destination that the former move left.
Refusal orderrefusal(int32_t cnr, int32_t request);
// While one lives, the refusals of changeoneorder are gathered and told in
// one message when it ends (an order given to many commanders at once).
struct OrderBatch {
  OrderBatch();
  ~OrderBatch();
  OrderBatch(const OrderBatch&) = delete;
  OrderBatch& operator=(const OrderBatch&) = delete;
};
// What a choice of the menu does: 998 explains how to move, 999, 97 and ids
// below 1 nothing; any other id becomes order request id - 100 for the
// commander or, when it is selected, for every selected commander of its
// owner.
void applyorderchoice(int32_t cnr, int32_t id);
