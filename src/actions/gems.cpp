// Gems handed between commanders and the treasury.
#include "actions/gems.h"

#include <cstdint>

#include "world/gamedata.h"
#include "world/grammar.h"
#include "world/rules.h"
#include "world/units.h"
#include "world/world.h"

namespace {
constexpr const char* GEMNAME[GEMKINDS] = {"fire gems",     "air gems",    "water gems",  "earth gems",
                                           "astral pearls", "death gems",  "nature gems", "blood slaves"};

// The commander belongs to the player and stands in the land.
bool standsthere(int32_t c, int32_t player, int32_t lnr) {
  const int32_t b = c >= 0 && c < MAXCOMS ? combody(c) : -1;
  return b >= 0 && unit[size_t(b)].owner == player && unit[size_t(b)].land == lnr;
}

bool labthere(int32_t player, int32_t lnr) {
  return lnr >= 0 && lnr < MAXLANDS && land[size_t(lnr)].lab && land[size_t(lnr)].fortholder == player;
}
}  // namespace

Refusal canmovegem(int32_t player, int32_t lnr, int32_t from, int32_t to, int32_t k) {
  if (k < 0 || k >= GEMKINDS || player < 0 || player >= MAXPLAYERS || from == to) return refuse("No such gem");
  for (int32_t c : {from, to}) {
    if (c == GEMTREASURY && !labthere(player, lnr)) return refuse("No lab in this province");
    if (c != GEMTREASURY && !standsthere(c, player, lnr)) return refuse("No commander");
  }
  const int16_t stock = kingdom[size_t(player)].w[KW_GEMS + k];
  if (from == GEMTREASURY) {
    if (stock < 1) return refuse("There are no %s in the treasury", GEMNAME[k]);
  } else {
    if (com[size_t(from)].gems[size_t(k)] < 1) return refuse("%s has no %s", comshownname(from), GEMNAME[k]);
    if (unit[size_t(com[size_t(from)].body)].homeland == -2)
      return refuse("The mercenary won't give away %s gems", hisher(com[size_t(from)].body));
  }
  if (to == GEMTREASURY) {
    // A full store (a 16-bit count) takes no more, so nothing wraps.
    if (stock >= INT16_MAX) return refuse("The treasury is full");
  } else if (getcomgems(to) >= GEMCARRYLIMIT) {
    return refuse("%s cannot carry more gems", comshownname(to));
  }
  return {};
}

Refusal movegem(int32_t player, int32_t lnr, int32_t from, int32_t to, int32_t k) {
  if (Refusal r = canmovegem(player, lnr, from, to, k)) return r;
  if (from == GEMTREASURY) kingdom[size_t(player)].w[KW_GEMS + k]--;
  else com[size_t(from)].gems[size_t(k)]--;
  if (to == GEMTREASURY) kingdom[size_t(player)].w[KW_GEMS + k]++;
  else com[size_t(to)].gems[size_t(k)]++;
  return {};
}
