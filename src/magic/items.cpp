// The description entries of units, spells, items and sites.
#include <cstdio>

#include "magic/rituals.h"
#include "runtime/fatal.h"
#include "runtime/util.h"
#include "world/gamedata.h"
#include "world/rules.h"
#include "world/units.h"
#include "world/world.h"

namespace {
int32_t keyed(const char* prefix, int32_t n, const char* name) {
  char key[48];
  formatbounded(key, sizeof key, "%s%d", prefix, n);
  const int32_t d = finddescr(key);
  return d > 0 || !name || !name[0] ? d : finddescr(name);
}
}  // namespace

int32_t findmondescr(int32_t type) {
  if (type < 0 || type >= MAXUNITTYPES) return 0;
  return keyed("mon", type, unittypes[size_t(type)].name);
}

int32_t finditemdescr(int32_t item) {
  if (item < 0 || item >= MAXITEMS) return 0;
  return keyed("item", item, items[size_t(item)].name);
}

int32_t findsitedescr(int32_t site) {
  if (site < 0 || site >= MAXSITES) return 0;
  return keyed("site", site, sites[size_t(site)].name);
}

int32_t getspldscr(int32_t spell) {
  if (spell < 1 || spell >= MAXSPELLS || !spells[size_t(spell)].name[0]) return -1;
  const int32_t d = finddescr(spells[size_t(spell)].name);
  return d > 0 ? d : -1;
}
