// The Global Enchantments screen (every enchantment in force over the whole
// world) and the Temple screen (a nation's temples, converted provinces and
// the rates at which its god, prophet, home province and temples spread its
// veyrance, as the host spends them: world/veyrates.h), with their rules.
#pragma once
#include "runtime/short.h"

// An enchantment slot in force over the whole world: kind and spell above
// 0, no land (the host's nbrglobalench counts these).
bool globalench(int32_t slot);

// Global Enchantments: a player outside 0..99 stops the program
// ("viewench: bad player"); returns on Exit (Escape, F6, Return).
void viewench(int32_t player);
// The Temple screen of the nation that holds the fort of lnr; a land
// outside 1..1504 stops the program ("viewtmpl: bad lnr"). Shown until the
// first click or key, whose id it returns: 9 (Exit, Escape, Return), -9 (a
// right click on Exit) or 0 (a left click on its plain text: a figure, the
// picture, the margin, the title bar).
int32_t viewtmpl(int32_t lnr);
// Adds the Temple screen's items for the land (1..1504) to the window being built.
void buildtemple(int32_t lnr);
