// The nation's messages during its turn: the message list, one message
// read, and the Messages screen, where letters with gold, gems or a magic
// item are sent to other nations. A letter is one of the nation's outgoing
// message slots (world/hoststate.h); what it carries leaves the treasury at
// once and reaches the other nation when the turn is hosted. A letter taken
// back before then returns what it carried.
#pragma once
#include <vector>

#include "runtime/short.h"

// The message list of the player: a click reads a message; a message about
// a province can take the turn screen there (its go-to province), and a
// battle report shows its battle again.
void viewmsgs(int32_t player, const char* gname);
// Shows one message; 1 when the player chose to go to its province, 2 to
// watch its battle.
int32_t readmsg(int32_t m);
// The Messages screen: read messages, write letters with gifts, take back
// letters not yet sent.
void messagesmenu(int32_t player, const char* gname);

// ---- rules

// The messages for the player (its own and those to every nation), in
// message number order.
std::vector<int32_t> playermessages(int32_t player);
// The first line of a message's text (at most size - 1 characters).
void messagetitle(int32_t m, char* out, int32_t size);
// The nations a letter can go to: in the game, not the sender, not the
// special monsters and the independents.
std::vector<int32_t> letterreceivers(int32_t player);

// Why a letter was refused (a message box says so).
enum LetterRefusal : int32_t {
  LR_NOSLOT = -1,      // every outgoing slot is taken
  LR_RECEIVER = -2,    // no nation to send it to
  LR_GOLD = -3,        // not that much gold
  LR_GEMS = -4,        // not that many gems of the kind
  LR_ITEM = -5,        // the item is not in the laboratory
  LR_AMOUNT = -6       // an amount below 1
};
const char* letterrefusaltext(int32_t refusal);
// Writes a letter from one nation to another with a gift (PG_ codes of
// world/hoststate.h: none, gold, an item of the laboratory store by its
// place there, gems of kind PG_GEMS + kind) and its amount, paid at once.
// The slot used, or a LetterRefusal with nothing changed.
int32_t sendletter(int32_t from, int32_t to, const char* text, int32_t gift, int32_t amount);
// Takes back an unsent letter and returns what it carried; 0 when the slot
// holds no letter or the laboratory has no room for its item (the letter
// then stays).
int32_t withdrawletter(int32_t from, int32_t slot);
// The letters the nation has written this turn (slot numbers).
std::vector<int32_t> pendingletters(int32_t player);
// "To NATION: text (with ...)" for the list of letters.
void letterline(int32_t player, int32_t slot, char* out, int32_t size);
