// Letters between nations during a turn: one of the nation's outgoing
// message slots (world/hoststate.h) with a gift of gold, gems or a magic
// item of the laboratory store; the gift leaves the treasury at once and
// reaches the other nation when the turn is hosted. A letter taken back
// before then returns what it carried.
#pragma once
#include <vector>

#include "actions/refusal.h"
#include "runtime/short.h"

// The nations a letter can go to: in the game, not the sender, not the
// special monsters and the independents.
std::vector<int32_t> letterreceivers(int32_t player);
// The letters the nation has written this turn (slot numbers).
std::vector<int32_t> pendingletters(int32_t player);

// Whether the nation may send the gift (PG_ codes of world/hoststate.h:
// none, gold, an item of the laboratory store by its place there, gems of
// kind PG_GEMS + kind) of the amount to the other nation. Refused: "There
// is no nation to send a message to", "You cannot send more messages this
// month", "Nothing to send" (an amount below 1), "You do not have that much
// gold", "You do not have that many gems", "That item is not in your
// laboratory". An unknown gift code sends no gift.
Refusal cansendletter(int32_t from, int32_t to, int32_t gift, int32_t amount);
// Asks cansendletter again, then pays the gift and writes the letter into
// the first free slot (its number into *slot when given).
Refusal sendletter(int32_t from, int32_t to, const char* text, int32_t gift, int32_t amount,
                   int32_t* slot = nullptr);
// Taking back an unsent letter, which returns what it carried. Refused:
// "There is no such message", "Your laboratory has no room for the item;
// the message stays".
Refusal canwithdrawletter(int32_t from, int32_t slot);
Refusal withdrawletter(int32_t from, int32_t slot);
