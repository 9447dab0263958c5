// Handing magic items on: from a commander to another commander of the
// player's in the same province, into the nation's laboratory store or
// away, and from the laboratory store to a commander.
#pragma once
#include "actions/refusal.h"
#include "runtime/short.h"

// What chooseitemowner returns beside a unit number.
constexpr int32_t CHOOSE_NONE = -1, CHOOSE_LAB = -2, CHOOSE_THROWAWAY = -3;
// The "Transfer item to" question: a menu of the player's other living
// commanders in the land (not `except`), then, with `withlab`, "Laboratory",
// with `withthrow`, "Throw away", and "Exit". The unit number (body) of the
// commander chosen, or CHOOSE_LAB, CHOOSE_THROWAWAY, CHOOSE_NONE.
int32_t chooseitemowner(const char* title, int32_t player, int32_t lnr, int32_t except, int32_t withlab,
                        int32_t withthrow);
// Moves the item of the commander's slot (or, for cnr -1, of the player's
// laboratory place `slot`, the player being the fort holder of lnr): with
// tolab 1 into the laboratory store (it stays when the store is full);
// with tolab 0 to whom chooseitemowner names; a receiver that cannot carry
// it is told ("NAME cannot carry ITEM.") and the item stays. 1 when the
// item moved. Stops with "giveitem: bad lnr" for a land outside 1..1504
// and "giveitem: bad itemnr" for a negative slot.
int32_t giveitem(int32_t cnr, int32_t lnr, int32_t slot, int32_t tolab);

// The player hands on the item of the commander's slot (into the
// laboratory with tolab). Refused: "No magic item" (no commander, a slot
// outside 0..7, an empty slot or an item number beyond the table), "No lab
// in this province" (with tolab, when the owner holds no fort with a
// laboratory where the commander stands), "This item is cursed and cannot
// be transfered.", "The mercenary won't give away his magic item.".
Refusal canmoveitem(int32_t cnr, int32_t slot, int32_t tolab);
// Asks canmoveitem again, then: the commander's order is cancelled (unless
// it is one of 3, 4, 7, 31, 32), also when the item then stays, as players
// know it; the item goes by giveitem (the "Transfer item to" question
// without tolab); the units beyond the commander's new leadership leave
// their squads and empty squads are cleared. An item that stays because
// the player left the question, the store is full or the receiver cannot
// carry it (giveitem tells why) is no refusal.
Refusal moveitem(int32_t cnr, int32_t slot, int32_t tolab);
