// Handing magic items between commanders, the laboratory store and the
// ground.
#include "actions/items.h"

#include <cstdio>

#include "actions/squads.h"
#include "runtime/ask.h"
#include "runtime/fatal.h"
#include "world/gamedata.h"
#include "world/grammar.h"
#include "world/rules.h"
#include "world/siteentry.h"
#include "world/units.h"
#include "world/world.h"
namespace {
constexpr int32_t ID_LAB = 2, ID_THROW = 3, ID_EXIT = 999, ID_COM = 1000;
constexpr int32_t MAXCHOICES = MENULINES - 4;

// The commander of a body that the menu offered, -1 when it is gone.
int32_t bodycommander(int32_t body) {
  for (int32_t c = 0; c <= highestcom && c < MAXCOMS; c++)
    if (com[size_t(c)].body == body) return c;
  return -1;
}

// The item goes to whom the player chose; 1 when it found its place.
int32_t hand(int32_t item, int32_t player, int32_t choice) {
  if (choice == CHOOSE_THROWAWAY) return 1;
  if (choice == CHOOSE_LAB) return additemtolab(player, item, 0) >= 0 ? 1 : 0;
  const int32_t c = bodycommander(choice);
  if (c < 0) return 0;
  if (getitem(c, item) >= 0) return 1;
  msgbox("%s cannot carry %s.", comshownname(c), items[size_t(item)].name);
  return 0;
}
}  // namespace

int32_t chooseitemowner(const char* title, int32_t player, int32_t lnr, int32_t except, int32_t withlab,
                        int32_t withthrow) {
  int32_t bodies[MAXCHOICES];
  int32_t n = 0;
  menubegin();
  menuline(0, title);
  for (int32_t c = 0; c <= highestcom && c < MAXCOMS && n < MAXCHOICES; c++) {
    const int32_t b = combody(c);
    if (c == except || b < 0 || unit[size_t(b)].hp < 1 || unit[size_t(b)].owner != player ||
        unit[size_t(b)].land != lnr)
      continue;
    // Mercenaries take no items of the nation's.
    if (unit[size_t(b)].homeland == -2) continue;
    bodies[n] = b;
    menuline(ID_COM + n, comshownname(c));
    n++;
  }
  if (withlab) menuline(ID_LAB, "Laboratory");
  if (withthrow) menuline(ID_THROW, "Throw away");
  menuline(ID_EXIT, "Exit");
  menushow();
  const int32_t id = menuwait();
  if (id >= ID_COM && id < ID_COM + n) return bodies[id - ID_COM];
  if (id == ID_LAB && withlab) return CHOOSE_LAB;
  if (id == ID_THROW && withthrow) return CHOOSE_THROWAWAY;
  return CHOOSE_NONE;
}

int32_t giveitem(int32_t cnr, int32_t lnr, int32_t slot, int32_t tolab) {
  bailif(lnr < 1 || lnr >= MAXLANDS, "giveitem: bad lnr");
  bailif(slot < 0, "giveitem: bad itemnr");
  if (cnr < 0) {
    // From the laboratory store of the nation that holds the fort.
    const int32_t p = land[size_t(lnr)].fortholder;
    if (p >= MAXPLAYERS || slot >= LABSTORESIZE || !land[size_t(lnr)].lab) return 0;
    int16_t& place = kingdom[size_t(p)].w[KW_LABSTORE + slot];
    const int32_t item = place;
    if (!validitem(item)) return 0;
    const int32_t to = chooseitemowner("Transfer item to", p, lnr, -1, 0, 0);
    if (to < 0 || !hand(item, p, to)) return 0;
    place = 0;
    return 1;
  }
  bailif(cnr >= MAXCOMS, "giveitem: bad cnr");
  const int32_t b = combody(cnr);
  if (b < 0 || slot >= 8) return 0;
  const int32_t item = com[size_t(cnr)].item[slot];
  const int32_t p = unit[size_t(b)].owner;
  if (!validitem(item) || p < 0 || p >= MAXPLAYERS) return 0;
  const bool lab = land[size_t(lnr)].lab && land[size_t(lnr)].fortholder == p;
  int32_t to = CHOOSE_LAB;
  if (!tolab) {
    to = chooseitemowner("Transfer item to", p, lnr, cnr, lab, 1);
    if (to == CHOOSE_NONE) return 0;
  }
  // Off the commander first, so that a two-handed item frees both hands for
  // a receiver that is the commander's neighbour in the list.
  com[size_t(cnr)].item[slot] = 0;
  if (!hand(item, p, to)) {
    com[size_t(cnr)].item[slot] = int16_t(item);
    return 0;
  }
  getiba(cnr);
  return 1;
}

// ------------------------------------------------------------ the player's hand-over

namespace {
// Orders that a commander keeps when it hands an item over.
bool keepsorder(Order o) {
  return o == Order::patrol || o == Order::research || o == Order::search || o == Order::storm ||
         o == Order::breaksiege;
}
}  // namespace

Refusal canmoveitem(int32_t cnr, int32_t slot, int32_t tolab) {
  const int32_t b = combody(cnr);
  if (b < 0 || slot < 0 || slot >= 8 || !validitem(com[size_t(cnr)].item[size_t(slot)])) return refuse("No magic item");
  const Unit& u = unit[size_t(b)];
  if (tolab) {
    const int32_t l = u.land;
    if (l < 1 || l >= MAXLANDS || land[size_t(l)].fortholder != u.owner || !land[size_t(l)].lab)
      return refuse("No lab in this province");
  }
  if (items[size_t(com[size_t(cnr)].item[size_t(slot)])].cursed < 0)
    return refuse("This item is cursed and cannot be transfered.");
  if (u.homeland == -2) return refuse("The mercenary won't give away %s magic item.", hisher(b));
  return {};
}

Refusal moveitem(int32_t cnr, int32_t slot, int32_t tolab) {
  if (Refusal r = canmoveitem(cnr, slot, tolab)) return r;
  const int32_t b = combody(cnr);
  const int32_t l = b < 0 ? -1 : unit[size_t(b)].land;
  // Only a damaged file leaves a commander outside every province.
  if (l < 1 || l >= MAXLANDS) return refuse("%s stands in no province", comshownname(cnr));
  // The order goes even when the item then stays, as players know it.
  if (!keepsorder(com[size_t(cnr)].order)) cancelorder(cnr);
  giveitem(cnr, l, slot, tolab);
  enfll(cnr);
  clearemptysquads();
  return {};
}
