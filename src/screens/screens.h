// Turn screens: the player's main turn screen, its order menus, info boxes
// and views. For now: the boxes that put a rule's question to the player.
#pragma once
#include "runtime/short.h"

// The Buy Province Defence box: raises or lowers the province defence of the
// land one point per answer until the player is done (Ok, Escape, the end of
// the input). Shows the gold left after each step.
void buyprovdef(int32_t player, int32_t lnr);
