// The rules behind the unit status box: the figures, item slots, gems,
// magic, weapons and armour that it lists for a unit or commander, its
// width and the home garrison line. No window: unitbox.cpp draws them.
#include <algorithm>
#include <cstdarg>
#include <cstdio>

#include "magic/rituals.h"
#include "runtime/trs.h"
#include "screens/unitbox.h"
#include "world/economy.h"
#include "world/gamedata.h"
#include "world/rules.h"
#include "world/units.h"
#include "world/world.h"

namespace {
constexpr const char* SLOTKIND[6] = {"", "Hand", "Head", "Body", "Feet", "Misc"};
constexpr const char* MAGEWORD[9] = {"fire mage",  "air mage",    "water mage", "earth mage", "astral mage",
                                     "death mage", "nature mage", "blood mage", "priest"};

BoxEntry entry(int32_t id, int32_t file, int32_t sprite, const char* hover, const char* format, ...)
    __attribute__((format(printf, 5, 6)));
BoxEntry entry(int32_t id, int32_t file, int32_t sprite, const char* hover, const char* format, ...) {
  BoxEntry e;
  e.id = id;
  e.file = file;
  e.sprite = sprite;
  snprintf(e.hover, sizeof e.hover, "%s", hover);
  va_list ap;
  va_start(ap, format);
  vsnprintf(e.text, sizeof e.text, format, ap);
  va_end(ap);
  return e;
}

bool validunit(int32_t unr) { return unr >= 0 && unr < MAXUNITS; }
}  // namespace

float unitboxwidth(int32_t len) {
  if (len <= 400) return 450;
  return std::min(450.0f + float(len - 400) / 2, 700.0f);
}

std::vector<BoxEntry> unitboxfigures(int32_t unr) {
  std::vector<BoxEntry> out;
  if (!validunit(unr) || !unittyperec(unr)) return out;
  const Unit& u = unit[size_t(unr)];
  const auto add = [&](int32_t id, const char* format, int32_t a, int32_t b = 0) {
    BoxEntry e;
    e.id = id;
    snprintf(e.text, sizeof e.text, format, a, b);
    out.push_back(e);
  };
  add(UB_FIGURE + 0, "Hit points %d", u.hp);
  add(UB_FIGURE + 2, "Strength %d", getstr(unr));
  add(UB_FIGURE + 5, "Protection %d", getprot(unr));
  add(UB_FIGURE + 3, "Attack skill %d", getatt(unr));
  add(UB_FIGURE + 10, "Morale %d", getmaxmorale(unr));
  add(UB_FIGURE + 9, "Defence skill %d", getdef(unr, 2));
  add(UB_FIGURE + 4, "Magic resistance %d", getmr(unr));
  add(UB_FIGURE + 8, "Precision %d", getprec(unr));
  add(UB_FIGURE + 6, "Encumbrance %d", getenc(unr, 0));
  add(UB_FIGURE + 1, "Move %d / %d", getmapmove(unr), getmaxap(unr, 1));
  add(UB_FIGURE + 7, "Fatigue %d", u.fatigue);
  const int32_t c = u.comnr;
  if (c >= 0 && combody(c) == unr) {
    int32_t undead = 0, magic = 0;
    add(UB_FIGURE + 11, "Leadership %d", maxcomunits(c, &undead, &magic));
  }
  return out;
}

std::vector<BoxEntry> unitboxslots(int32_t cnr) {
  std::vector<BoxEntry> out;
  const int32_t b = combody(cnr);
  if (b < 0) return out;
  for (int32_t s = 0; s < 8; s++) {
    const int32_t kind = unitslotkind(b, s);
    const char* kindname = kind >= 1 && kind <= 5 ? SLOTKIND[kind] : "Slot";
    const int32_t i = com[size_t(cnr)].item[size_t(s)];
    if (validitem(i)) {
      BoxEntry e = entry(UB_ITEM + s, TRS_ITEMS, items[size_t(i)].picture, "", "%s", items[size_t(i)].name);
      snprintf(e.hover, sizeof e.hover, "%s, %s", kindname, items[size_t(i)].name);
      out.push_back(e);
    } else if (kind > 0) {
      BoxEntry e = entry(UB_EMPTYSLOT + s, TRS_MISC2, kind, "", "%s", "");
      snprintf(e.hover, sizeof e.hover, "%s, no magic item", kindname);
      out.push_back(e);
    }
  }
  return out;
}

std::vector<int32_t> unitboxgems(int32_t cnr) {
  std::vector<int32_t> out;
  if (combody(cnr) < 0) return out;
  for (int32_t g = 0; g < 9; g++)
    for (int32_t n = 0; n < com[size_t(cnr)].gems[size_t(g)] && int32_t(out.size()) < UB_MAXGEMSPRITES; n++)
      out.push_back(g);
  return out;
}

int32_t randmagictotal(int32_t type) {
  int32_t total = 0;
  for (const RandMagic& r : randmagic) {
    if (r.type == -1) break;
    if (r.type != type) continue;
    if (r.code >= 50 && r.code <= 52) total += 100 * r.chance;
    else if (r.code >= 128) total += r.chance;
  }
  return total;
}

std::vector<BoxEntry> unitboxmagic(int32_t cnr, int32_t mode) {
  std::vector<BoxEntry> out;
  const int32_t b = combody(cnr);
  if (b < 0) return out;
  const int32_t random = mode == 1 ? randmagictotal(unit[size_t(b)].type) : 0;
  const int32_t research = comresearch(cnr, random / 100);
  if (!ismageorpriest(cnr) && random < 1 && research < 1) return out;
  for (int32_t p = 0; p < 9; p++) {
    const int32_t level = com[size_t(cnr)].path[size_t(p)];
    if (level < 1) continue;
    BoxEntry e = entry(0, TRS_MISC, SPRITE_PATH + p, "", "%d ", level);
    snprintf(e.hover, sizeof e.hover, "%s level %d", MAGEWORD[p], level);
    out.push_back(e);
  }
  if (random >= 1) {
    BoxEntry e = entry(UB_RANDOMMAGIC, TRS_MISC, SPRITE_RANDOMMAGIC, "", "%d ", random / 100);
    snprintf(e.hover, sizeof e.hover, "random magic skill");
    out.push_back(e);
  }
  if (research > 0) {
    BoxEntry e = entry(0, TRS_MISC, SPRITE_RESEARCH, "", "%d ", research);
    snprintf(e.hover, sizeof e.hover, "Research ability: %d", research);
    out.push_back(e);
  }
  return out;
}

std::vector<BoxEntry> unitboxweapons(int32_t unr) {
  std::vector<BoxEntry> out;
  if (!validunit(unr) || !unittyperec(unr)) return out;
  int32_t missile = 0;
  for (int32_t s = 0; s < 10; s++) {
    int32_t w = getnthweapon(unr, s);
    if (!validweapon(w)) w = getmissileweapon(unr, missile++);
    if (!validweapon(w)) break;
    out.push_back(entry(UB_WEAPON + w, 0, -1, "", "%s", weapons[size_t(w)].name));
  }
  return out;
}

std::vector<BoxEntry> unitboxarmors(int32_t unr) {
  std::vector<BoxEntry> out;
  if (!validunit(unr) || !unittyperec(unr)) return out;
  for (int32_t s = 0; s < 10; s++) {
    const int32_t a = getarmor(unr, s);
    if (!validarmor(a)) break;
    out.push_back(entry(UB_ARMOR + a, 0, -1, "", "%s", armors[size_t(a)].name));
  }
  return out;
}

void homegarrison(int32_t unr, char* out, int32_t size) {
  out[0] = 0;
  if (!validunit(unr)) return;
  const Unit& u = unit[size_t(unr)];
  if (u.comnr >= 0 && combody(u.comnr) == unr) return;
  if (u.homeland > 0 && u.homeland < MAXLANDS) snprintf(out, size_t(size), "home garrison %s", land[size_t(u.homeland)].name);
}
