// What a player may see of a province, buying province defence, the turn
// screen's selection lists and a ceiling square root.
#pragma once
#include <array>

#include "runtime/short.h"

// The game's winner: 255 while the game goes on. The victory check sets it.
extern int32_t gamewinner;

// What a player may know of a province: each bit opens one group of facts.
// infolevel gives them (-1 everything, 0 nothing); the rules only add bits.
enum InfoLevel : uint32_t {
  INFO_NAME = 0x1,          // seen: its name, flag, fort, temple and enchantment marker
  INFO_GROUP2 = 0x2,        // a group that the grants carry and nothing reads
  INFO_GROUP4 = 0x4,        // a group that the grants carry and nothing reads
  INFO_ECONOMY = 0x8,       // population, income and resources
  INFO_TAX = 0x10,          // tax, unrest and supplies
  INFO_SITES = 0x20,        // the magic sites found there
  INFO_GROUP40 = 0x40,      // a group that the grants carry and nothing reads
  INFO_VEYRANCE = 0x80,     // its veyrance candles and the scales
  INFO_GROUP100 = 0x100,    // a group that the grants carry and nothing reads
  INFO_NAMEFORNEXT = 0x200,  // gives its neighbours INFO_NAME
  INFO_CORPSES = 0x400,     // the unburied corpses
  INFO_DEFENCE = 0x800,     // the province defence
};
// Information bits of the land for the player; -1 everything, 0 nothing.
int32_t infolevel(int32_t lnr, int32_t player, int32_t nested);
int32_t cominland(int32_t lnr, int32_t player);
void cacheinfolevels(int32_t player, int32_t nested);
int32_t canbuydefence(int32_t nation, int32_t lnr);
// Buying province defence, one point at a time: a point more costs the new
// level in gold; a point bought this turn (above small[1]) sells back at the
// price it was bought for. Only the owner who holds the fort may buy, at sea
// only nations that can. provdefsteps says what the player may do now: 0
// nothing, else PD_BUY with PD_RAISE while the level is below the gold and
// 125, and PD_LOWER; stepprovdef takes one step (+1 or -1) when it is
// allowed, and says 1 when it did.
constexpr int32_t PD_BUY = 1, PD_RAISE = 2, PD_LOWER = 4;
int32_t provdefsteps(int32_t player, int32_t lnr);
int32_t stepprovdef(int32_t player, int32_t lnr, int32_t step);

constexpr int32_t SELECTSIZE = 1000;
struct SelectList {
  int32_t last = -1;                 // index of the last entry, -1 empty
  std::array<int32_t, SELECTSIZE> nr;   // unit list: negative = free place
};
extern SelectList selectedcoms, selectedunits;
void clearselections();
int32_t selectcom(int32_t cnr);
int32_t selectunit(int32_t unr);
int32_t findselectedunit(int32_t unr);

int32_t isqrtceil(int32_t n);
