// The "Transfer Magic Resources" window over the gem moves of
// actions/gems.h: which way a click on a count moves one gem.
#pragma once
#include "actions/gems.h"
#include "runtime/short.h"

// Ids of the window: portraits 1 (left) and 2 (right), counts 100 + kind
// (left), 200 + kind (right), 300 + kind (treasury); negative for a right
// click.
enum GemId : int32_t { GEM_LEFTPIC = 1, GEM_RIGHTPIC = 2, GEM_LEFT = 100, GEM_RIGHT = 200, GEM_TREASURY = 300, GEM_EXIT = 9 };

struct GemSides {
  int32_t left = -1, right = -1;   // commanders; right -1 when none
  int32_t player = -1, lnr = -1;
  bool lab = false;                // the land's laboratory is the player's
};

// The two sides for the left commander and the right one (-1: the first
// other commander of the player in the land, or none). Stops with "tgems:
// bad cnr1", "tgems: bad player" or "tgems: bad lnr".
GemSides gemsides(int32_t left, int32_t right);
// Acts on one click (one gem moves, or nothing); 1 when a gem moved. Ids
// of the portraits and Exit move nothing. A gem kind outside 0..8 stops
// with the tag of the id's group ("tg100", "tg-100", "tg200", "tg-200",
// "tg300").
int32_t gemclick(const GemSides& s, int32_t id);

// tgems: transfer gems.
// The window, until Exit.
void tgems(int32_t left, int32_t right);
