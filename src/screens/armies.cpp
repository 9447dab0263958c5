// Commander armies (one click selects every commander of an army) and the
// test whether a commander's card lies on the side panel's current page.
#include "runtime/fatal.h"
#include "screens/orders.h"
#include "world/provinfo.h"
#include "world/recruit.h"
#include "world/rules.h"
#include "world/units.h"

namespace {
bool living(int32_t c) {
  const int32_t b = combody(c);
  return b >= 0 && unit[size_t(b)].hp >= 1;
}
int32_t ownerof(int32_t c) { return unit[size_t(com[size_t(c)].body)].owner; }
int32_t landof(int32_t c) { return unit[size_t(com[size_t(c)].body)].land; }
}  // namespace

int32_t comvisible(int32_t cnr, int32_t offset, int32_t pagesize) {
  const int32_t b = combody(cnr);
  if (b < 0 || unit[size_t(b)].land < 0) return -1;
  const int32_t lnr = unit[size_t(b)].land, owner = unit[size_t(b)].owner;
  // The cards show living commanders only, so only they take places.
  int32_t k = 0;
  for (int32_t c = 0; c <= highestcom && c < MAXCOMS; c++) {
    const bool counted = living(c) && landof(c) == lnr && ownerof(c) == owner;
    if (counted) k++;
    if (c == cnr) return k > offset ? 1 : 0;
    if (k >= offset + pagesize) return 0;
  }
  return 1;
}

int32_t selectarmy(int32_t cnr) {
  if (combody(cnr) < 0) return -1;
  clearselections();
  const int32_t at = selectcom(cnr);
  Commander& me = com[size_t(cnr)];
  if (me.armynr == 0) {
    me.armynr = uint16_t(getfreearmynr(ownerof(cnr)));
    return at;
  }
  for (int32_t c = 0; c <= highestcom && c < MAXCOMS; c++)
    if (c != cnr && living(c) && com[size_t(c)].armynr == me.armynr && ownerof(c) == ownerof(cnr) &&
        landof(c) == landof(cnr))
      selectcom(c);
  return at;
}

int32_t selectkind(int32_t cnr) {
  const int32_t b = combody(cnr);
  if (b < 0) return -1;
  clearselections();
  const uint16_t army = uint16_t(getfreearmynr(ownerof(cnr)));
  int32_t last = -1;
  for (int32_t c = 0; c <= highestcom && c < MAXCOMS; c++) {
    if (!living(c) || ownerof(c) != ownerof(cnr) || landof(c) != landof(cnr) ||
        unit[size_t(com[size_t(c)].body)].type != unit[size_t(b)].type)
      continue;
    com[size_t(c)].armynr = army;
    if (const int32_t at = selectcom(c); at >= 0) last = at;
  }
  return last;
}

int32_t selarmynr() {
  for (int32_t i = 0; i <= selectedcoms.last; i++) {
    const int32_t c = selectedcoms.nr[size_t(i)];
    if (c >= 0 && c < MAXCOMS && com[size_t(c)].armynr != 0) return com[size_t(c)].armynr;
  }
  return 0;
}

void leavearmy(int32_t player, int32_t armynr, int32_t lnr) {
  for (int32_t c = 0; c <= highestcom && c < MAXCOMS; c++)
    if (combody(c) >= 0 && ownerof(c) == player && com[size_t(c)].armynr == armynr && landof(c) != lnr)
      com[size_t(c)].armynr = 0;
}

void checkarmies() {
  for (int32_t c = 0; c <= highestcom && c < MAXCOMS; c++) {
    if (combody(c) < 0) continue;
    if (!living(c)) com[size_t(c)].armynr = 0;
    else if (com[size_t(c)].armynr != 0) leavearmy(ownerof(c), com[size_t(c)].armynr, landof(c));
  }
}
