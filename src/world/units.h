// The unit and commander tables, the builders that fill them, squads, and the
// battle state that the rules read and the game files store.
#pragma once
#include <array>
#include <span>
#include <string>
#include <vector>

#include "runtime/short.h"
#include "world/orders.h"

constexpr int32_t MAXUNITS = 140000;     // unit numbers 0..139999
constexpr int32_t MAXCOMS = 9000;        // commander numbers 0..8999
constexpr int32_t MAXCHECKSUMS = 75;

// Flag word 1 (afflictions and battle states), the unit's flags[0].
constexpr uint32_t AF_DISEASED = 0x1;
constexpr uint32_t AF_CURSED = 0x2;
constexpr uint32_t AF_LOSTPART = 0x10;       // which part: specialpartloss
constexpr uint32_t AF_CURSEOFSTONES = 0x20;
constexpr uint32_t AF_DECAYING = 0x100;
constexpr uint32_t AF_NOARMOR = 0x400;       // broken armour: wears none of its type's armors
constexpr uint32_t AF_RUSTYARMOR = 0x800;
constexpr uint32_t AF_BLIND = 0x1000;
constexpr uint32_t AF_LIMP = 0x40000;
constexpr uint32_t AF_LOSTEYE = 0x80000;
constexpr uint32_t AF_WEAKENED = 0x100000;
constexpr uint32_t AF_FRIGHT = 0x200000;
constexpr uint32_t AF_MUTE = 0x400000;
constexpr uint32_t AF_CHESTWOUND = 0x800000;
constexpr uint32_t AF_CRIPPLED = 0x1000000;
constexpr uint32_t AF_FEEBLEMINDED = 0x2000000;
constexpr uint32_t AF_NEVERHEAL = 0x4000000;
constexpr uint32_t AF_SLIMED = 0x8000000;
constexpr uint32_t AF_FROZEN = 0x10000000;
constexpr uint32_t AF_LOSTARM = 0x40000000;
constexpr uint32_t AF_LOSTHEAD = 0x80000000;
// Battle states under which defence is quartered.
constexpr uint32_t AF_QUARTERDEF[5] = {0x20000000, 0x40, 0x4000, 0x10000, 0x20000};

// Flag word 2 (states), the unit's flags[1].
constexpr uint32_t ST_BLESSED = 0x1;
constexpr uint32_t ST_PRECISION = 0x4;
constexpr uint32_t ST_ARMORPLUS = 0x40;
constexpr uint32_t ST_STRENGTH = 0x80;
constexpr uint32_t ST_BERSERK = 0x100;
constexpr uint32_t ST_FLYING = 0x20000;
constexpr uint32_t ST_QUICK = 0x40000;
constexpr uint32_t ST_SHARPWEAPON = 0x80000;     // weapon of sharpness
constexpr uint32_t ST_ASTRALWEAPON = 0x100000;
constexpr uint32_t ST_FIREMISSILES = 0x800000;
constexpr uint32_t ST_PROPHET = 0x2000000;
constexpr uint32_t ST_MRPLUS = 0x4000000;

// Third flag word, the unit's flags[2].
constexpr uint32_t F3_TWISTFATE = 0x1;
constexpr uint32_t F3_MOSSBODY = 0x8;
constexpr uint32_t F3_UWDEF = 0x20;
constexpr uint32_t F3_PRETENDER = 0x400;     // body of the god: follows the veyrance, slot never freed
constexpr uint32_t F3_CHARGEBODY = 0x4000;
constexpr uint32_t F3_MISTFORM = 0x10000;
constexpr uint32_t F3_HELLPOWER = 0x20000;
constexpr uint32_t F3_TWICEBORN = 0x400000;
constexpr uint32_t F3_RETURNING = 0x800000;    // ritual of returning
constexpr uint32_t F3_UNHOLYPOWER = 0x2000000;
constexpr uint32_t F3_INNERSUN = 0x4000000;

// The land and the squad of a unit are the keys of the unit indexes (which
// units stand in a land, which follow a squad): they read as plain numbers,
// and only the table's writers below change them (setunitland, setunitsquad,
// putunit), so that the indexes always match the table. A record outside the
// table is changed with setrecordland and setrecordsquad.
template <typename T>
class UnitKey {
 public:
  UnitKey() = default;
  UnitKey(const UnitKey&) = default;
  constexpr operator T() const { return value; }

 private:
  constexpr explicit UnitKey(T v) : value(v) {}
  UnitKey& operator=(const UnitKey&) = default;
  T value;
  friend struct UnitKeyWriter;
};

// One unit instance: a soldier, a monster or a commander's body. The fields
// up to `keepbyte` are stored in game files in this order; the rest is
// battle or run-time state that readers reset. A record of the table is
// written whole only through putunit.
struct Unit {
  uint32_t flags[3];       // afflictions, states, third word
  UnitKey<int32_t> squad;  // -1 = none
  int16_t type;            // negative = none
  int16_t hp;              // below 1 = dead or free slot
  UnitKey<int16_t> land;   // -1 none, -11 The Void
  int16_t homeland;        // -2 marks a mercenary
  int16_t exp;
  int16_t abil[4];         // instance special abilities
  int16_t abilval[4];
  int16_t age;             // years
  int8_t owner;
  uint8_t batstate;        // 3 and 5: routing
  int32_t keep32;          // kept in files
  uint8_t keepbyte;        // kept in files
  // Run-time links and battle-only state.
  uint8_t tmp;             // 1 = vanishes after the battle
  uint8_t batorder;
  uint8_t batcounter;
  int8_t poison;           // 0..100
  int16_t moralemod;
  int16_t fatigue;
  int16_t x, y;            // battlefield position, -1 off the field
  int16_t ammo;
  int32_t comnr;           // commander whose body this is, -1 for others

  Unit() = default;
  Unit(const Unit&) = default;
  Unit& operator=(const Unit&) = delete;   // putunit, which keeps the indexes
};

// A commander. Fields in the order the game files store them.
struct Commander {
  char name[36];
  int32_t body;            // unit number; below 0 = free slot
  int32_t squad[5];        // -1 = none
  int16_t item[8];         // item numbers, 0 = empty
  int32_t orderparam;      // destination, spell, item or fort type of the order
  int32_t ordergems[2];    // gems committed to the order
  uint32_t arrowtime;      // turn screen: when a move was ordered (0 untouched, 1 touched)
  uint16_t armynr;         // 0 none, 1..30000
  int16_t deaths;          // death count
  int16_t herocount;       // hall-of-fame counter
  int16_t kills;
  int16_t keep16[2];       // kept in files
  uint16_t tmpfx;          // temporary effect kind
  int16_t tmpfxstr;        // and its strength
  int16_t keep16b;         // kept in files
  uint8_t keepbyte;        // kept in files
  int8_t veyvalue;         // the god's veyrance value (1..10 for a god)
  uint8_t path[9];         // Fire, Air, Water, Earth, Astral, Death, Nature, Blood, then Priest
  Order order;             // the order (world/orders.h)
  uint8_t gems[9];         // carried gems in gem-kind order; saturate at 255
  uint8_t keepbyte2;       // kept in files
  int8_t sqx[5], sqy[5];   // squad battle places
  uint8_t sqorder[5];      // squad battle orders
  uint8_t sqtarget[5];     // their parameters (preferred targets)
  int8_t ownx, owny;       // the commander's own place
  uint8_t batorder;        // its own battle order
  uint8_t battarget;       // and parameter
  // Run-time fields, not stored.
  int16_t roundspell[5];   // battle script: spell >0, 0 cast, -2 shape, -3 hold, -4 fire, -5 attack, -1 ends
  int16_t scratch16;
  int32_t squadslot;       // slot 0..4 found by the last squadcommander
};

// Battle orders of a commander and its squads.
enum BattleOrder : uint8_t {
  BO_NONE = 0, BO_ATTACK = 1, BO_FIRE = 2, BO_GUARD = 4, BO_CAST = 5,
  BO_HOLDATTACK = 6, BO_RETREAT = 7, BO_FIREFLEE = 9, BO_STAYBEHIND = 10
};

extern std::array<Unit, MAXUNITS> unit;
extern std::array<Commander, MAXCOMS> com;
extern int32_t highestunit;      // highest unit number in use, -1 none
extern int32_t highestcom;       // highest commander number in use, -1 none

// Battle state read by the rules.
extern int32_t batland;          // land whose battle is fought or shown
extern std::array<int32_t, MAXCHECKSUMS> battlechecksums;
extern int16_t battlesnow, battlerain;
extern int32_t inbattle;
extern int32_t ritualbattle;

// Sets every unit and commander slot free and the battle state to rest.
void clearunittables();
// A unit in its empty state (free slot, no links); for readers and builders.
Unit emptyunit();
Commander emptycommander();

// Makes one unit of the type for the owner: full hit points, start age, no
// land (the caller sets it), no squad. flag 1 marks it temporary.
// -1 when no slot is free.
int32_t newunit(int32_t type, int32_t owner, int32_t flag);
// A commander with a new body unit of the type; -1 when no slot is free.
// It has its type's fixed magic paths; the random ones are ccm's.
int32_t newcom(int32_t type, int32_t owner);
// ccm: commander chance magic.
// Rolls the random magic paths of a commander just made from its type's
// random-magic rows and random path picks. Every place that makes a
// commander for the world calls it (recruitment, heroes, events, world
// creation, mercenaries, the army builders); a god's paths are its design.
void ccm(int32_t cnr);
// The sum of the random-magic chances (percent) of the type of the
// commander that ccm last rolled for.
extern int32_t ccmrandomtotal;
// Kills the unit outright; a commander's body frees its commander.
void killunit(int32_t unr);

// A squad number no living unit uses: player * 5000 + rnd(5000).
int32_t newsquadnbr(int32_t player);
// The commander leading the squad (-1 none, also for squad -1); records the
// squad's slot in that commander for getbattleorder.
int32_t squadcommander(int32_t squad);
// Living units of the squad; -1 for squad -1.
int32_t squadunitcount(int32_t squad);
// Summed size of the squad's living units; its first living unit (-1 none).
int32_t squadtotalsize(int32_t squad);
int32_t firstsquadunit(int32_t squad);
// count units of the type in land lnr, all in the squad; the last one made,
// -1 for a count below 1.
int32_t spawnunits(int32_t type, int32_t owner, int32_t count, int32_t lnr, int32_t squad);
int32_t spawntempunits(int32_t type, int32_t owner, int32_t count, int32_t lnr, int32_t squad);

// ---------------------------------------------------------------- writers and indexes
// Every change of a unit's land or squad, and every record of the table
// written whole, goes through these, which keep two indexes beside the table:
// the unit numbers per land and per squad, each list ascending, dead units
// included (their land and squad stay until the slot is used again). Land
// and squad -1 are not indexed. The queries that use them walk one list where
// a scan walks the whole table, and see the units in the same order.
void setunitland(int32_t unr, int32_t lnr);
void setunitsquad(int32_t unr, int32_t squad);
void putunit(int32_t unr, const Unit& x);
// The same for a record that is not in the table (a copy being prepared);
// stops when it is given a record of the table.
void setrecordland(Unit& x, int32_t lnr);
void setrecordsquad(Unit& x, int32_t squad);
// Copies n records into storage beside the table (a snapshot); stops when
// the storage lies in the table.
void copyunitrecords(Unit* to, const Unit* from, size_t n);

// The units whose land is lnr, or whose squad is one of the squads (-1
// entries never match), ascending, living or not, as the table holds them
// now: read from the index, or found by a scan of the table where the index
// does not serve.
std::vector<int32_t> filedinland(int32_t lnr);
std::vector<int32_t> filedinsquads(std::span<const int32_t> squads);
// Calls fn(unr) for each of them. A unit that an earlier call took out of
// the land (or the squads) is passed over, as a scan would pass it.
template <typename Fn>
void foreachunitinland(int32_t lnr, Fn fn) {
  for (int32_t u : filedinland(lnr))
    if (unit[size_t(u)].land == lnr) fn(u);
}
template <typename Fn>
void foreachunitinsquads(std::span<const int32_t> squads, Fn fn) {
  for (int32_t u : filedinsquads(squads))
    for (int32_t s : squads)
      if (s != -1 && unit[size_t(u)].squad == s) {
        fn(u);
        break;
      }
}
template <typename Fn>
void foreachunitinsquad(int32_t squad, Fn fn) {
  foreachunitinsquads(std::span(&squad, 1), fn);
}

// A battle's forces outside its land (or lands) leave the tables while it is
// fought and come back after it as they were: the units, and the
// commanders whose bodies they are (an empty commander stands in each one's
// slot). Their unit slots read as free meanwhile (a summons may take one,
// and gives it back). The indexes keep them where they stood, and the
// queries pass over them while they are away. A set-aside may be made
// within another (the month's battles, then each battle); takeunitsback
// ends the innermost.
void setunitsaside(std::span<const int32_t> lands);
void takeunitsback();
// While a set-aside is in force only a few slots can hold a unit: gives
// those, ascending (all others hold empty records); false when none is.
bool unitslotsintable(std::vector<int32_t>& slots);
// The commanders that may stand in the table with a body, ascending: while
// a set-aside is in force those that it left there, else every one up to
// the highest.
std::vector<int32_t> commandersintable();

// Work that rewrites much of the table at once (a saved world put back)
// lets the indexes rest and builds them anew at its end; in between the
// queries scan the table.
class UnitIndexRest {
 public:
  UnitIndexRest();
  ~UnitIndexRest();
  UnitIndexRest(const UnitIndexRest&) = delete;
  UnitIndexRest& operator=(const UnitIndexRest&) = delete;
};
// Builds both indexes from the table (after the table was cleared).
void reindexunits();
// The indexes against a full scan of the table: "" when they agree, else
// what differs first.
std::string unitindexfault();
// Off, every query scans the table as if there were no index: the same
// results by the other road, for the tests that compare the two.
extern bool unitindexused;
