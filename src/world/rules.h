// Rules over the world tables: land and kingdom values, unit conditions and
// item slots, commander magic and leadership, defensive and combat values,
// armor and weapons, special abilities, player status and the unit queries.
// Pure functions of the tables; the few caches are named where they live.
#pragma once
#include "runtime/fatal.h"
#include "runtime/short.h"
#include "world/gamedata.h"
#include "world/units.h"
#include "world/world.h"

// Safe look-ups: a number outside its table gives none, so no rule reads
// outside a table whatever a corrupt record holds.
inline const Monster* typerec(int32_t mnr) {
  return mnr >= 0 && mnr < MAXUNITTYPES ? &unittypes[mnr] : nullptr;
}
inline const Monster* unittyperec(int32_t unr) {
  return unr >= 0 && unr < MAXUNITS ? typerec(unit[unr].type) : nullptr;
}
inline uint32_t unittypeflags(int32_t unr) {
  const Monster* t = unittyperec(unr);
  return t ? t->flags : 0;
}
// The unit's land when it is a record of the land table, else -1.
inline int32_t unitlandnr(int32_t unr) {
  if (unr < 0 || unr >= MAXUNITS) return -1;
  const int32_t l = unit[unr].land;
  return l >= 0 && l < MAXLANDS ? l : -1;
}
inline bool validitem(int32_t i) { return i > 0 && i < MAXITEMS; }
inline bool validweapon(int32_t w) { return w > 0 && w < MAXWEAPONS; }
inline bool validarmor(int32_t a) { return a > 0 && a < MAXARMORS; }
// The body unit of a commander in use, else -1.
inline int32_t combody(int32_t cnr) {
  if (cnr < 0 || cnr >= MAXCOMS) return -1;
  const int32_t b = com[cnr].body;
  return b >= 0 && b < MAXUNITS ? b : -1;
}
// A commander's name, or its unit type's while it has none ("" for no
// commander): what every text that names a commander shows.
inline const char* comshownname(int32_t cnr) {
  if (cnr < 0 || cnr >= MAXCOMS) return "";
  if (com[cnr].name[0]) return com[cnr].name;
  const Monster* t = unittyperec(com[cnr].body);
  return t ? t->name : "";
}
// A player that has a god: 0..94 but not 23, 24, 25.
inline bool godplayer(int32_t p) { return p >= 0 && p <= 94 && (p < 23 || p > 25); }

// ------------------------------------------------ land and kingdom records
int32_t getveystr(int32_t player);
int32_t godpathlevel(int32_t player, int32_t path);
// What the god's path gives the player's blessed sacred units: half the
// god's level from level 4 on (Fire attack, Water defence, Blood strength).
inline int32_t blessbonus(int32_t player, int32_t path) {
  if (!godplayer(player)) return 0;
  const int32_t g = godpathlevel(player, path);
  return g > 3 ? g / 2 : 0;
}
int32_t countfoundsites(int32_t lnr);
int32_t nbroftemples(int32_t player);

// ---------------------------------- unit conditions, weather and item slots
int32_t isstorm(int32_t lnr);
int32_t issnow(int32_t lnr);
int32_t israin(int32_t lnr);
int32_t isfog(int32_t lnr);
int32_t isdarkness(int32_t lnr);
int32_t iscoastal(int32_t lnr);
int32_t isneighbour(int32_t a, int32_t b);
int32_t issea(int32_t lnr);   // the land's terrain has the sea bit; 0 out of range

int32_t getsize(int32_t unr);
int32_t getmapmove(int32_t unr);
int32_t canfly(int32_t unr);
int32_t armymapmove(int32_t cnr);
uint32_t armyflags(int32_t cnr);
int32_t invoid(int32_t unr);
int32_t issacred(int32_t unr);
int32_t isholy(int32_t unr);
int32_t cannotact(int32_t unr);
int32_t mayburn(int32_t unr);
int32_t mayfreeze(int32_t unr);
int32_t nativeter(int32_t unr);
int32_t survivesonland(int32_t unr);
int32_t typebreatheswater(int32_t mnr);
int32_t breatheswater(int32_t unr);
int32_t nbrheadslots(int32_t unr);
int32_t getbattleorder(int32_t unr);
int32_t getbattleorderparam(int32_t unr);

int32_t typeslotkind(int32_t mnr, int32_t n);
int32_t unitslotkind(int32_t unr, int32_t n);
int32_t nbrslotsofkind(int32_t mnr, int32_t kind);
int32_t comslotitem(int32_t cnr, int32_t kind, int32_t n);
// Every item the commander holds in slots of the kind, packed in slot
// order (what comslotitem gives for n = 0, 1, ...); the count.
int32_t comitemsofkind(int32_t cnr, int32_t kind, int32_t (&out)[8]);

// ------------------------------------- commander magic and leadership
int32_t getcommagic(int32_t cnr, int32_t path);   // path 0..8, 53, 55, 56
int32_t getcomgems(int32_t cnr);
int32_t bestpath(int32_t cnr);
int32_t ismageorpriest(int32_t cnr);
int32_t ismage(int32_t cnr);
int32_t ispriest(int32_t cnr);
int32_t hasmagicpaths(int32_t cnr);
// Ordinary leadership; the undead and magic limits go to the out values.
int32_t maxcomunits(int32_t cnr, int32_t* undead, int32_t* magic);
int32_t comarmyfull(int32_t cnr);
int32_t nbrcomunits(int32_t cnr);
int32_t nbrsquads(int32_t cnr);
int32_t hasitemspell(int32_t cnr);
int32_t reanimatelevel(int32_t cnr);
int32_t manikinlevel(int32_t cnr);
int32_t callspiritslevel(int32_t cnr);
int32_t bestpathinland(int32_t owner, int32_t lnr, int32_t path);
int32_t findcomwithorder(int32_t player, int32_t lnr, Order order);
int32_t countcomwithorder(int32_t player, int32_t lnr, Order order);
int32_t comowner(int32_t cnr);
int32_t comdestination(int32_t cnr);

// ------------------------------ defensive values and lost body parts
int32_t getnatprot(int32_t unr);
int32_t randhitloc();
int32_t hitloc(int32_t attacker, int32_t target, int32_t weaponlen);
int32_t getstealth(int32_t unr);
int32_t getmaxmorale(int32_t unr);
int32_t getmr(int32_t unr);   // get magic resistance
uint16_t unitcolour(int32_t unr);
// 1 when the unit's type can lose a body part; out values may be null.
int32_t specialpartloss(int32_t unr, int32_t* lostweapon, int32_t* replacement, int32_t* lossclass,
                        int32_t* reserved, char* text);

// ------------------------------------------- armor and protection
int32_t getarmor(int32_t unr, int32_t n);
// The worn armors that the rules scan (at most ten), as getarmor lists them;
// the count.
int32_t wornarmors(int32_t unr, int32_t (&out)[10]);
int32_t getshldprt(int32_t unr);
int32_t getshlddef(int32_t unr);
int32_t hasshield(int32_t unr);
int32_t getlocprot(int32_t unr, int32_t loc);
int32_t getprot(int32_t unr);
int32_t getheadprot(int32_t unr);
int32_t getbodyprot(int32_t unr);

// ------------------------------------------------------------- weapons
int32_t getnthweapon(int32_t unr, int32_t n);
// The first ten melee weapons as getnthweapon gives them for n = 0..9, up to
// the first below 1; the count.
int32_t meleeweapons(int32_t unr, int32_t (&out)[10]);
int32_t getmissileweapon(int32_t unr, int32_t n);
int32_t shortestweaponlen(int32_t unr);
constexpr int32_t WEAPON_FIST = 92;
constexpr int32_t WEAPON_USELESSKICK = 346;

// ------------------------------------------------------- combat values
int32_t getstr(int32_t unr);
int32_t getmaxhp(int32_t unr);
int32_t getenc(int32_t unr, int32_t mode);   // get encumbrance
int32_t getdef(int32_t unr, int32_t mode);   // get defence
int32_t getatt(int32_t unr);   // get attack
int32_t getweaponatt(int32_t unr, int32_t n);
int32_t getmaxap(int32_t unr, int32_t mode);
int32_t getprec(int32_t unr);   // get precision
int32_t typemaxage(int32_t mnr);
int32_t typeispretender(int32_t mnr);
int32_t getmaxage(int32_t unr);
int32_t oldagelevel(int32_t unr);
int32_t startage(int32_t mnr);
int32_t getmonth();
int32_t getseason();

// ---------------------------------------------------- special abilities
// Index 0..7 of the item slot that last gave a getitemfx result, -9 none.
extern int32_t lastfxslot;
int32_t getability(int32_t unr, int32_t k, int32_t sum);
int32_t getitemfx(int32_t cnr, int32_t k, int32_t sum);
int32_t stateability(int32_t unr, int32_t k, int32_t sum);
int32_t gettypeability(int32_t mnr, int32_t k, int32_t lnr);
int32_t getunitfx(int32_t unr, int32_t k);
int32_t getitemability(int32_t item, int32_t k);
int32_t getweaponability(int32_t weapon, int32_t k);
int32_t sumlandability(int32_t lnr, int32_t player, int32_t k);
// getiba: get item-borne abilities, the flags that the commander's items
// give its body.
void getiba(int32_t cnr);
int32_t getitem(int32_t cnr, int32_t item);
int32_t getitemf(int32_t cnr, int32_t item, int32_t mode);
int32_t additemtolab(int32_t player, int32_t item, int32_t force);

// -------------------------------------------- player status and undead types
extern int32_t allowednationsonly;          // a map's "allowedplayer" was read
extern uint8_t allowednation[95];
int32_t isingame(int32_t player);
int32_t isparticipant(int32_t player);
int32_t recmercs(int32_t player, int32_t band);
int32_t nationsinera(int32_t era);
int32_t gettypemagic(int32_t mnr, int32_t path);
int32_t randsoulless(int32_t culture, int32_t lnr, int32_t chance, int32_t warriorchance, int32_t amount);
int32_t randlongdead(int32_t culture, int32_t chance);
int32_t randghoul(int32_t culture, int32_t chance);

// -------------------------------------- unit dumps and consistency stops
void unitdump(int32_t unr);
// A stop about one unit (when the low 16 bits of cond are set): the unit to
// the log, a message box naming it, the unit's status box where a window
// shows it (not for a number outside the units in use), then fatalerror.
// These stops name the place of their caller.
void unitfatal(int32_t cond, const char* text, int32_t unr, StopPlace where = StopPlace::here());
void checkunit(int32_t unr, const char* tag, StopPlace where = StopPlace::here());
void checkcom(int32_t cnr, const char* tag, StopPlace where = StopPlace::here());

// ------------------------------------------- unit and commander queries
int32_t countunits(int32_t lnr, int32_t owner);
int32_t sumunitsizes(int32_t lnr, int32_t owner);
int32_t countcommanders(int32_t lnr, int32_t owner);
int32_t countfreeunits(int32_t lnr, int32_t owner, int32_t type);
int32_t findunitoftype(int32_t type);
// The commander whose body the unit is, or -1; a link that does not hold
// both ways stops the program (the check lives out of line).
int32_t unit2comchecked(int32_t unr);
inline int32_t unit2com(int32_t unr) {
  if (unr >= 0 && unr < MAXUNITS && unit[unr].comnr < 0) return -1;
  return unit2comchecked(unr);
}
int32_t unitleader(int32_t unr);
int32_t comleadsunit(int32_t unr, int32_t cnr);
int32_t squad2com(int32_t squad);
int32_t comhasunits(int32_t cnr);
int32_t comunits(int32_t cnr, int32_t* undead, int32_t* magic);
void cachearmysizes(int32_t player);
int32_t cachedarmysize(int32_t lnr);
void cachedarmytypes(int32_t lnr, int32_t* type1, int32_t* count1, int32_t* type2, int32_t* count2);
int32_t cachedcomcount(int32_t lnr);
void unlinkstrayunits();
void clearemptysquads();
