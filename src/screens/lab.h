// The Arcane Laboratory and the nation's treasuries: the magic resources
// (gems, astral pearls, blood slaves) and magic items that the kingdom keeps
// apart from what its commanders carry, pooling the commanders' resources
// into the treasury, handing stored items out and alchemy. Everything
// changes the kingdom and commander records at once; the order file carries
// the result to the host, whose order check sees that no wealth was made.
//
// The rules are plain functions over the world tables that tests call
// without a window; the screens rebuild their items every frame and act on
// the id returned.
#pragma once
#include "runtime/short.h"

// Resource kinds that the treasury shows: 0 fire gems .. 7 blood slaves.
constexpr int32_t LABKINDS = 8;

// The sum of what the commander carries of kinds 0..7; 0 for a commander
// number outside the table.
int32_t nbrcomgems(int32_t cnr);
// Moves every resource of the kind that the player's living, non-mercenary
// commanders carry in provinces whose laboratory the player holds into the
// treasury; the number moved. A stock never passes 32767: what does not fit
// stays with its commander. A negative player or kind stops the program
// ("PG: bad"), as does one beyond the tables.
int32_t poolgems(int32_t player, int32_t kind);
// True when the land has a laboratory whose fort the player holds: there
// items are handed out and resources pooled.
bool labheld(int32_t player, int32_t lnr);
// Hands the item of treasury place `slot` to the commander when the player
// holds the laboratory of lnr and the commander (the player's, living, in
// lnr) has a free slot for it; true when the place was emptied.
bool treasurytocommander(int32_t player, int32_t lnr, int32_t slot, int32_t cnr);

// Alchemy. The gold that one gem of the kind gives the commander: a fire
// gem 15, an earth gem 10, each scaled by 100 + the commander's alchemy
// bonus percent (truncated); 0 for other kinds.
int32_t alchemygold(int32_t cnr, int32_t kind);
enum AlchemyWay : int32_t {
  AL_FROMPEARLS = 1,   // two astral pearls become one gem of the kind
  AL_TOPEARL = 2,      // two gems of the kind become one astral pearl
  AL_TOGOLD = 3,       // one fire or earth gem becomes gold
};
// Converts for the player as the commander's alchemy allows; true when
// something changed. Nothing happens without enough in stock, for kind 4
// (pearls to pearls), a kind outside 0..6, or when the result would not fit
// the treasury.
bool alchemy(int32_t player, int32_t cnr, int32_t way, int32_t kind);

// The screens. viewlab: the Arcane Laboratory, the hub of research,
// enchantments and the treasuries ("viewlab: bad lnr" outside 0..1504,
// "viewlab: bad player" outside 0..99). viewrt: the Magic Resource Treasury.
// viewmit: the Magic Item Treasury; cnr is the commander who receives
// items, or -1 to choose one. alch: the Alchemy screen of the commander,
// for the fort holder of lnr.
void viewlab(int32_t player, int32_t lnr);
void viewrt(int32_t player, int32_t lnr);
void viewmit(int32_t player, int32_t lnr, int32_t cnr);
void alch(int32_t lnr, int32_t cnr);
// The item's picture from the item archive as a button of the window being
// built, or its name in small print while the archive lacks the picture,
// so that the button is never invisible. The forge and the treasury use it.
void itempicture(int32_t id, int32_t sprite, const char* name, float alpha);
// True when the item archive has that picture.
bool itemsprite(int32_t sprite);
