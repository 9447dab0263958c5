// Magic and rituals: global enchantments in force, spellbooks and research.
#pragma once
#include <array>
#include "rule_ids.h"
#include "runtime/short.h"

constexpr int32_t MAXENCH = 100;
constexpr int32_t SPELLBOOKSIZE = 1000;
constexpr int32_t RESEARCHRECSIZE = 24;

// A global enchantment or lasting ritual in force. Fields in file order.
struct Ench {
  int32_t caster;          // unit number of the caster
  int16_t kind;            // 0 or below = free slot; what findench matches
  int16_t spell;           // spell number shown to players
  int16_t owner;
  int16_t land;            // -1 = world-wide
  int16_t extra;
  int16_t last16;          // kept in files
  int32_t counter[5];
};

extern std::array<Ench, MAXENCH> ench;
extern int32_t highestench;      // highest slot in use, -1 none

// Research record layout: levels of schools 0..7, points toward the next
// level 8..15, percentages 16..22, one spare.
constexpr int32_t RR_LEVEL = 0, RR_POINTS = 8, RR_PERCENT = 16;
extern int16_t spellbook[100][SPELLBOOKSIZE];   // ends at the first negative entry
extern int16_t researchrec[100][RESEARCHRECSIZE];

void clearmagictables();

// A new enchantment of the kind for the owner on the land (-1 world-wide);
// spell 0, counters 0. -1 when every slot is taken or kind is below 1.
int32_t addench(int32_t kind, int32_t caster, int32_t owner, int32_t lnr, int32_t extra);
// First active enchantment of the kind (-1 any) on the land (-1: world-wide
// ones only) owned by owner (-1 any); -1 when none.
int32_t findench(int32_t kind, int32_t lnr, int32_t owner);
// Frees the slot.
void removeench(int32_t e);
// Active world-wide enchantments cast by the unit.
int32_t countcasterench(int32_t unr);

// Spell number of the name; below 1 when no spell has that name.
int32_t name2spell(const char* name);
// Rebuilds the player's book: every spell whose school's research level the
// player has reached (level-0 spells are the default book) and that is not
// kept for another nation.
void updatespellbook(int32_t player);
// Adds the spell to the player's book unless it is there already.
void addtospellbook(int32_t spell, int32_t player);
int32_t inspellbook(int32_t spell, int32_t player);
