// The melee and missile weapon lists of a unit.
#include "runtime/fatal.h"
#include "world/rules.h"

namespace {
struct List {
  int32_t n = 0;
  int32_t w[48];
  void add(int32_t weapon) {
    if (n < 48) w[n++] = weapon;
  }
};

bool melee(int32_t w) { return validweapon(w) && weapons[w].range == 0; }
bool missile(int32_t w) { return validweapon(w) && weapons[w].range != 0; }
bool twohanded(int32_t w) { return validweapon(w) && (weapons[w].flags & WF_TWOHANDED); }
bool bonus(int32_t w) { return validweapon(w) && (weapons[w].flags & WF_BONUS); }
int32_t itemweapon(int32_t it) { return validitem(it) ? items[it].weapon : 0; }

// The type's natural weapons in slot order with a lost part replaced once:
// calls f(slot, weapon) for every weapon that remains.
// Missile lists pass replace = false: a lost part takes only melee weapons.
template <typename F>
void naturalweapons(int32_t unr, const Monster& t, bool replace, F f) {
  int32_t lost = 0, repl = 0;
  if (!replace || !(unit[unr].flags[0] & AF_LOSTPART) ||
      specialpartloss(unr, &lost, &repl, nullptr, nullptr, nullptr) != 1)
    lost = repl = 0;
  for (int32_t i = 0; i < UNITWEAPONS; i++) {
    int32_t w = t.weapon[i];
    if (w < 1) break;
    if (lost > 0 && w == lost) {
      lost = 0;
      if (repl <= 0) continue;
      w = repl;
    }
    if (!validweapon(w)) continue;
    f(i, w);
  }
}

// Weapons of the commander's items of one slot kind that pass the test.
template <typename T>
void kindweapons(int32_t cnr, int32_t kind, T test, List& out) {
  int32_t held[8];
  const int32_t n = comitemsofkind(cnr, kind, held);
  for (int32_t k = 0; k < n; k++) {
    const int32_t w = itemweapon(held[k]);
    if (test(w)) out.add(w);
  }
}

struct Hands {
  int32_t shields = 0;
  bool meleeinhand = false;
  bool missileinhand = false;
  int32_t lastweapon = 0;   // weapon number of the last hand item
};

Hands handitems(int32_t cnr) {
  Hands h;
  int32_t held[8];
  const int32_t n = comitemsofkind(cnr, SLOT_HAND, held);
  for (int32_t k = 0; k < n; k++) {
    const int32_t it = held[k];
    if (items[it].type == IT_SHIELD) h.shields++;
    const int32_t w = itemweapon(it);
    if (w > 0 && melee(w)) h.meleeinhand = true;
    if (w > 0 && missile(w)) h.missileinhand = true;
    h.lastweapon = w;
  }
  return h;
}

void meleelist(int32_t unr, const Monster& t, List& out, Hands& h) {
  const bool lostarm = unit[unr].flags[0] & AF_LOSTARM;
  const int32_t c = unit2com(unr);
  if (c >= 0) h = handitems(c);
  if (c >= 0 && h.meleeinhand) {
    int32_t held[8];
    const int32_t nheld = comitemsofkind(c, SLOT_HAND, held);
    for (int32_t k = 0; k < nheld; k++) {
      const int32_t w = itemweapon(held[k]);
      if (w > 0 && melee(w)) out.add(lostarm && twohanded(w) ? WEAPON_FIST : w);
    }
    naturalweapons(unr, t, true, [&](int32_t, int32_t w) {
      if (melee(w) && bonus(w)) out.add(w);
    });
  } else {
    const int32_t s = h.shields;
    naturalweapons(unr, t, true, [&](int32_t i, int32_t w) {
      if (!melee(w)) return;
      if (lostarm && twohanded(w)) {
        out.add(WEAPON_FIST);
        return;
      }
      const bool handsfull = (i == 0 && s >= (lostarm ? 1 : 2)) || (i == 1 && (lostarm || s >= 1)) ||
                             (i == 2 && s >= 3) || (i == 3 && s >= 4);
      if (handsfull && !bonus(w)) return;
      out.add(s >= 1 && twohanded(w) ? WEAPON_FIST : w);
    });
  }
  if (c >= 0) {
    kindweapons(c, SLOT_MISC, melee, out);
    kindweapons(c, SLOT_FEET, melee, out);
    kindweapons(c, SLOT_HEAD, melee, out);
  }
}
}  // namespace

namespace {
// The melee list with its fallback for an empty list.
void fulllist(int32_t unr, List& list) {
  const int32_t m = unit[unr].type;
  bailif(m < 0 || m >= MAXUNITTYPES, "gmw: bad m");
  const Monster& t = unittypes[m];
  Hands h;
  meleelist(unr, t, list, h);
  if (list.n > 0 || (t.flags & MF_IMMOBILE)) return;
  const bool lostarm = unit[unr].flags[0] & AF_LOSTARM;
  if (h.shields >= 2 || (h.shields == 1 && lostarm)) {
    const int32_t slots = getability(unr, AB_ITEMSLOTS, 0);
    list.add(slots == 0 || (slots & 0x800) ? WEAPON_USELESSKICK : WEAPON_FIST);
  } else {
    list.add(WEAPON_FIST);
  }
}
}  // namespace

int32_t getnthweapon(int32_t unr, int32_t n) {
  if (unr < 0 || unr >= MAXUNITS) return 0;
  List list;
  fulllist(unr, list);
  return n >= 0 && n < list.n ? list.w[n] : 0;
}

int32_t meleeweapons(int32_t unr, int32_t (&out)[10]) {
  if (unr < 0 || unr >= MAXUNITS) return 0;
  List list;
  fulllist(unr, list);
  int32_t n = 0;
  while (n < list.n && n < 10 && list.w[n] >= 1) {
    out[n] = list.w[n];
    n++;
  }
  return n;
}

int32_t getmissileweapon(int32_t unr, int32_t n) {
  const Monster* t = unittyperec(unr);
  if (!t || n < 0) return 0;
  const bool lostarm = unit[unr].flags[0] & AF_LOSTARM;
  auto usable = [&](int32_t w) { return missile(w) && !(lostarm && twohanded(w)); };
  const int32_t c = unit2com(unr);
  List list;
  bool itemlist = false;
  if (c >= 0) {
    const Hands h = handitems(c);
    itemlist = h.missileinhand || h.lastweapon != 0;
  }
  if (itemlist) {
    kindweapons(c, SLOT_HAND, usable, list);
    naturalweapons(unr, *t, false, [&](int32_t, int32_t w) {
      if (missile(w) && bonus(w)) list.add(w);
    });
  } else {
    naturalweapons(unr, *t, false, [&](int32_t, int32_t w) {
      if (usable(w)) list.add(w);
    });
  }
  if (c >= 0) {
    kindweapons(c, SLOT_MISC, missile, list);
    kindweapons(c, SLOT_FEET, missile, list);
  }
  return n < list.n ? list.w[n] : 0;
}

int32_t shortestweaponlen(int32_t unr) {
  if (unr < 0) return 100;
  int32_t best = 100, list[10];
  const int32_t n = meleeweapons(unr, list);
  for (int32_t i = 0; i < n; i++)
    if (validweapon(list[i]) && weapons[list[i]].len < best) best = weapons[list[i]].len;
  return best;
}
