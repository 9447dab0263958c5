// The commander orders: one code per order and one table that says, for
// each, its name on the commander cards, its line in the order menu, its
// key, its help text and what it needs besides the commander. The order
// menu, the order texts, the computer players and the host all read them.
#pragma once
#include <cstdint>

// The numbers are the order file's (the commander's order byte in every
// world and order file): never renumber a value or reuse a free number.
enum class Order : uint8_t {
  defend = 0,           // stay, defend the province, or hold the siege of its castle
  move = 1,             // march to the province in orderparam
  sneak = 2,            // sneak to orderparam unseen, or hide where it stands (orderparam 0)
  patrol = 3,           // hunt hidden enemies and brigands
  research = 4,         // research spells in a laboratory
  empower = 5,          // be empowered in the path orderparam (gems paid when ordered)
  preach = 6,           // raise the god's veyrance in the nation's province
  search = 7,           // look for magic sites
  bloodhunt = 8,        // hunt the people for blood slaves
  ritual = 9,           // cast the ritual orderparam once (gems paid when ordered)
  prophet = 10,         // become the nation's prophet
  forge = 11,           // forge the item orderparam (gems paid when ordered)
  recruit = 12,         // recruit (kept by old files; no menu gives it)
  callgod = 14,         // recall the dead god
  dispel = 15,          // dispel an enchantment (astral pearls paid when ordered)
  heal = 16,            // heal the army's afflictions
  summonallies = 17,    // call allies that join the army
  buildlab = 18,        // build a laboratory (gold paid when ordered)
  buildtemple = 19,     // build a temple (gold paid when ordered)
  buildfort = 20,       // build or go on building the fort type orderparam
  ghouls = 21,          // raise ghouls
  soulless = 22,        // raise soulless
  longdead = 23,        // raise longdead warriors
  horsemen = 24,        // raise longdead horsemen
  lictors = 25,         // revive lictors
  tombwyrm = 26,        // raise a tomb wyrm
  manikins = 27,        // awaken manikins
  chariot = 28,         // raise a tomb chariot
  pillage = 30,         // pillage the province for gold
  storm = 31,           // storm the besieged castle
  breaksiege = 32,      // sally out against the besiegers
  sacrifice = 33,       // sacrifice the blood slaves carried at a temple
  uprising = 34,        // stir unrest in an enemy province
  enemypreach = 43,     // preach against the veyrance of other gods
  demolishfort = 44,    // tear the fort down
  demolishlab = 45,     // tear the laboratory down
  movepatrol = 46,      // march to orderparam, then patrol there
  attack = 47,          // attack the province orderparam where it stands
  assassinate = 48,     // hunt an enemy commander
  deathmatch = 49,      // fight in the arena
  entersite = 50,       // enter the magic site of slot orderparam
  captureslaves = 51,   // take the people as slaves
  spirits = 54,         // call dispossessed spirits
  shadows = 55,         // call shadows
  apparitions = 56,     // call apparitions
  seduce = 57,          // seduce an enemy commander
  corrupt = 58,         // corrupt an enemy commander
  monthlyritual = 60,   // cast the ritual orderparam every month
  lure = 61,            // lure an enemy commander into the sea
  cultist = 62,         // a cultist's rite, text by orderparam
  funeral = 63,         // a funeral rite, text by orderparam
  demolishtemple = 64,  // tear the temple down
};

// What an order keeps in the commander's orderparam, which the order menu
// asks for and the host checks in an order file.
enum class OrderNeeds : uint8_t {
  nothing,
  province,   // a province number (0 where sneaking means hiding)
  path,       // a magic path 0..7
  item,       // a forgeable item
  spell,      // a ritual spell
  forttype,   // a fort type
  siteslot,   // a site slot 0..3 of the province
};

struct OrderInfo {
  Order code;
  const char* name;    // the text on the commander cards; nullptr where the parameters decide it
  const char* label;   // the order menu's line; nullptr where no menu line gives the order by itself
  char key;            // the key that gives the order on the turn screen (and in the menu); 0 none
  const char* help;    // the menu's help line; nullptr with label
  OrderNeeds needs;
};

// Every order, by code.
constexpr int32_t ORDERCOUNT = 52;
extern const OrderInfo orderinfo[ORDERCOUNT];
// The row of an order code; nullptr for a number that is no order (an
// order file may hold any byte).
const OrderInfo* orderrow(int32_t code);
inline const OrderInfo& orderrow(Order code) { return *orderrow(int32_t(code)); }
// Orders that march the army to the province in orderparam (sneaking with
// no province there hides instead).
inline bool movingorder(Order o) { return o == Order::move || o == Order::sneak || o == Order::movepatrol; }
