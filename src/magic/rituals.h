// Magic at the host's side: the ritual order (`castrit`) with its refusals,
// the ritual phase that carries out every ritual spell, global enchantments
// with their monthly upkeep and dispelling, and the description look-ups.
//
// Rituals: a spell whose effect is SPELL_RITUAL (10000) or above. The code
// says what it does (data/README.md, "Spells"; named RITUAL_ in
// data/ids.txt):
//   10001 summons nbreff units of type dmg into the caster's province
//   10002 strikes the armies of a target province for dmg damage each
//   10081 a world-wide enchantment of kind dmg, 10082 one on a target
//   province, 10083 one recorded on land 0 (the arena)
//   10010 teleports the caster's army to a target province
//   10013 heals the caster's army, 10020 reveals the sites of the caster's
//   province, 10023 scouts a target province, 10033 turns gems into astral
//   pearls, 10044 grants a wish (the greatest item not yet in play),
//   10050 makes a magic item, 10062 turns the caster into a lich,
//   10111 dispels a world-wide enchantment (order 15).
//
// A ritual costs fatigue / 100 gems of the spell's first path, paid from the
// nation's treasury when the order is given (the commander's second order
// parameter holds them, and cancelling the order gives them back). A target
// province lies within the ritual's range: twice the caster's level in the
// spell's first path, in steps over the neighbour graph.
#pragma once
#include "runtime/short.h"

// castrit and ritualrefusal results. The first four are the refusals that
// the order menu words ("This spell cannot be cast under water.", "This
// spell can only be cast under water.", "The caster is too immobile to use
// this spell.", "Wrong terrain for this ritual."); ritualrefusaltext gives
// the words of every refusal.
enum RitualResult : int32_t {
  RIT_OK = 1,
  RIT_BADTARGET = -1,        // no target, or beyond the ritual's range
  RIT_NOGEMS = -2,           // the treasury lacks the gems
  RIT_TOOCOMPLEX = -3,       // the caster lacks the path levels
  RIT_ONLYUNDERWATER = -4,
  RIT_NOTUNDERWATER = -5,
  RIT_IMMOBILE = -6,
  RIT_WRONGTERRAIN = -7,
  RIT_NORITUAL = -8,         // not a ritual of the spell table
  RIT_INFORCE = -9,          // the nation's enchantment of that kind is in force already
  RIT_NOLAB = -10,           // a ritual of the spellbook needs the nation's laboratory where the caster stands
};
const char* ritualrefusaltext(int32_t result);

// What the caller must choose before castrit.
enum RitualTarget : int32_t {
  RT_NONE = 0,       // the ritual acts where the caster stands or on the world
  RT_PROVINCE = 1,   // a province within range (target = land number)
  RT_ENCHANTMENT = 2 // a world-wide enchantment in force (target = its slot), with astral pearls
};
int32_t ritualtargetkind(int32_t spell);

// 1 when the spell is a ritual of the table.
bool isritual(int32_t spell);
// Gems of the spell's first path that the ritual costs.
int32_t ritualgemcost(int32_t spell);
// Steps from the caster's province that a target may lie away.
int32_t ritualrange(int32_t cnr, int32_t spell);
// Fewest steps over the neighbour graph from a to b, -1 when b is not
// reached within maxsteps (or a land is outside the map).
int32_t landdistance(int32_t a, int32_t b, int32_t maxsteps);

// Whether the commander may cast the ritual now: RIT_OK or the refusal.
// granted: the spell comes from the commander's items, so the path levels are
// not asked of the caster. target: as ritualtargetkind says (0 when none).
// Gems are not looked at.
int32_t ritualrefusal(int32_t cnr, int32_t spell, int32_t granted, int32_t target);

// castrit: cast ritual.
// The ritual order. The caller (the order menu, a computer player) has
// cancelled the commander's former order and chosen the target:
// a province for RT_PROVINCE, an enchantment slot for RT_ENCHANTMENT with
// `pearls` astral pearls put into the dispel (1 or more). On RIT_OK the
// order becomes 9 (parameter the spell, gems paid, third parameter the
// target) or 15 for a dispel (parameter the enchantment slot, second the
// pearls) and the gems leave the treasury; otherwise nothing changes and the
// refusal is returned. Stops with "castrit: bad cnr" / "castrit: bad unr"
// for a commander number outside the table or without a body.
int32_t castrit(int32_t cnr, int32_t spell, int32_t granted, int32_t target, int32_t pearls);

// The n-th ritual spell (0, 1, ...) that the commander's items grant; 0 when
// none.
int32_t getcomitemspell(int32_t cnr, int32_t n);

// ---------------------------------------------------------------- the host's phase
// Carries out the ritual and dispel orders of the month, in commander order;
// monthly rituals (order 60) pay again for the next month or end. Then the
// enchantments in force take their upkeep. Every outcome is a message to
// the caster's nation; an order that cannot be carried out is given back
// with its gems.
void performrituals();
// The monthly upkeep of world-wide enchantments: the owner pays one gem of
// the spell's path for every ten gems it cost (at least one); an
// enchantment whose caster has died or whose owner cannot pay ends.
void enchantmentupkeep();
// Ends the enchantment and tells its owner why.
void endenchantment(int32_t e, const char* why);
// Enchantments in force over the whole world.
int32_t nbrglobalench();

// ---------------------------------------------------------------- descriptions
// finddescr (the key's entry, 0 when none) is in world/gamedata.h.
// The entry of a unit type: "mon<type>", else the type's name; 0 when none.
int32_t findmondescr(int32_t type);
// The entry of a spell (keyed by its name); negative when it has none.
int32_t getspldscr(int32_t spell);
// The entries of an item ("item<n>", else its name) and a site ("site<n>",
// else its name); 0 when none.
int32_t finditemdescr(int32_t item);
int32_t findsitedescr(int32_t site);
