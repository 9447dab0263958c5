// The Global Enchantments screen (every enchantment in force over the whole
// world) and the Temple screen (a nation's temples, converted provinces and
// the rates at which its god, prophet, home province and temples spread its
// veyrance), with their rules.
#pragma once
#include "runtime/short.h"

// An enchantment slot in force over the whole world: kind and spell above
// 0, no land (the host's nbrglobalench counts these).
bool globalench(int32_t slot);

// The Temple screen's figures for nation p.
struct TempleRates {
  int32_t temples = 0, converted = 0;   // temples held, provinces its veyrance covers
  int32_t rate = 0;                     // min(temples / 5 + the god's veyrance value, 10)
  int32_t god = 0, prophet = 0, home = 0, templesrate = 0;
  int32_t victory = 0;                  // 5 x victory points (shown when above 0)
};
TempleRates templerates(int32_t player);

// Global Enchantments: a player outside 0..99 stops the program
// ("viewench: bad player"); returns on Exit (Escape, F6, Return).
void viewench(int32_t player);
// The Temple screen of the nation that holds the fort of lnr; a land
// outside 1..1504 stops the program ("viewtmpl: bad lnr"). Shown until the
// first click or key, whose id it returns (9 Exit).
int32_t viewtmpl(int32_t lnr);
