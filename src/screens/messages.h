// The nation's messages during its turn: the message list, one message
// read, and the Messages screen, where letters with gold, gems or a magic
// item are sent to other nations (actions/letters.h).
#pragma once
#include <vector>

#include "actions/letters.h"
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
// "To NATION: text (with ...)" for the list of letters.
void letterline(int32_t player, int32_t slot, char* out, int32_t size);
