// Commander services of the battle engine that the turn screens and the
// host call: item spells, finding a commander in a land, changing shape and
// the item check after it. (Random magic, ccm, is made with the commander:
// world/units.h.)
#include "battle/battle.h"
#include "world/magic.h"
#include "runtime/fatal.h"
#include "runtime/rnd.h"
#include "world/rules.h"

namespace {
int32_t itemslotkind(int32_t item) {
  switch (items[item].type) {
    case IT_ONEHAND: case IT_TWOHAND: case IT_MISSILE: case IT_SHIELD: return SLOT_HAND;
    case IT_HELMET: return SLOT_HEAD;
    case IT_ARMOR: return SLOT_BODY;
    case IT_BOOTS: return SLOT_FEET;
    default: return SLOT_MISC;
  }
}
}  // namespace

int32_t gispl(int32_t cnr, int32_t n) {
  bailif(cnr < 0 || cnr >= MAXCOMS, "gispl: bad cnr");
  if (com[cnr].body < 0 || n < 0) return 0;
  for (int32_t s = 0; s < 8; s++) {
    const int32_t it = com[cnr].item[s];
    if (!validitem(it) || items[it].spell[0] == 0) continue;
    const int32_t spell = name2spell(items[it].spell);
    if (spell > 0 && n-- == 0) return spell;
  }
  return 0;
}

int32_t randcom(int32_t lnr, int32_t player, int32_t mode) {
  int32_t found[MAXCOMS > 1000 ? 1000 : MAXCOMS], n = 0;
  for (int32_t c = 0; c <= highestcom && c < MAXCOMS && n < 1000; c++) {
    const int32_t b = combody(c);
    if (b < 0 || unit[b].hp < 1 || unit[b].land != lnr || unit[b].owner != player) continue;
    found[n++] = c;
  }
  if (n == 0) return -1;
  return mode == 1 && n > 1 ? found[rnd(n)] : found[0];
}

int32_t shapechange(int32_t unr) {
  bailif(unr < 0 || unr >= MAXUNITS, "shapechange: bad unr");
  Unit& u = unit[unr];
  const int32_t to = getability(unr, AB_SHAPECHANGE, 0);
  if (to <= 0 || to >= MAXUNITTYPES || u.type < 0 || u.type >= MAXUNITTYPES || unittypes[to].hp < 1) return 0;
  const int32_t from = u.type, oldmax = getmaxhp(unr), oldhp = u.hp;
  u.type = int16_t(to);
  int32_t hp = getmaxhp(unr) - oldmax + oldhp;
  if (hp < 1) {
    if (unittypes[to].hp < unittypes[from].hp) {
      u.type = int16_t(from);   // the smaller shape would not survive the wounds
      return 0;
    }
    hp = 1;
  }
  u.hp = int16_t(hp > INT16_MAX ? INT16_MAX : hp);
  return 1;
}

void check_item_slots(int32_t unr, int32_t mode) {
  bailif(unr < 0 || unr >= MAXUNITS, "check_item_slots: bad unr");
  const int32_t c = unit2com(unr);
  if (c < 0) return;
  for (int32_t s = 0; s < 8; s++) {
    const int32_t it = com[c].item[s];
    if (!validitem(it)) continue;
    if (unitslotkind(unr, s) == itemslotkind(it)) continue;
    debugprint("Item violation: %s holds %s in slot %d\n", com[c].name, items[it].name, s);
    if (mode != 2) continue;
    com[c].item[s] = 0;
    if (getitem(c, it) >= 0) continue;
    if (additemtolab(unit[unr].owner, it, 0) < 0) debugprint("*** Warning: %s lost %s\n", com[c].name, items[it].name);
  }
}
