// Info boxes of the turn screens: the magic item box, the magic site box,
// the fort box and the mercenary offer box. The rules list their lines;
// only the mercenary box changes the world, through the bids of
// actions/mercs.h.
#pragma once
#include <vector>

#include "actions/mercs.h"
#include "runtime/short.h"
#include "screens/equipbox.h"

// The item box's lines: kind, weapon and armour figures, bonuses (the
// spell line is not among them: the box adds it as a button). None for a
// number outside the item table.
std::vector<InfoLine> itemlines(int32_t item);
// The "Requires ... to produce" row: the gem cost and path of each
// requirement with a level above 0 (path -1 when there is none).
struct ItemNeed {
  int32_t gems = 0, path = -1;
};
std::vector<ItemNeed> itemneeds(int32_t item);
// The magic site box's lines, one per effect (repeats left out). None for a
// number outside the site table.
std::vector<InfoLine> sitelines(int32_t site);
// The fort box's lines for the player viewing the land (0 for no land).
std::vector<InfoLine> fortlines(int32_t player, int32_t lnr, int32_t fort);

// What the player pays the band of offer b: the shared price rule
// (actions/sharedrules.h) with the band's present employer.
int32_t mercprice(int32_t offer, int32_t player);
// The leader and contract sentences of the offer for the player.
std::vector<InfoLine> merclines(int32_t offer, int32_t player);
// Hire starts a bid (actions/mercs.h): the old one back, then min(price,
// gold) taken as the new bid with the tag. The bid afterwards.
int32_t mercstartbid(int32_t offer, int32_t player, int32_t tag);

// mibox: magic item box; featbox: feature box, the box of a magic site.
int32_t mibox(int32_t item);                               // 999; stops with "mibox: bad mi"
// featbox: 999 (Exit; also for a site number below 1), -999 (a right click
// on Exit) or 0 (a left click on plain text).
int32_t featbox(int32_t site);                             // stops with "featbox: bad fnr"
int32_t castlebox(int32_t player, int32_t lnr, int32_t fort);   // 9; "castlebox: bad type"
void mercbox(int32_t offer, int32_t player, int32_t tag);   // "mercbox: bad mercnr"
