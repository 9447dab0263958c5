// Special abilities: the type's pairs and flags, the unit's own slots, the
// commander's items and the abilities that follow from a unit's state; and
// handing items to commanders' slots and the laboratory store.
#include "runtime/fatal.h"
#include "world/rules.h"

int32_t lastfxslot = -9;

namespace {
// Sum or best of two values by the sum flag (only its low 16 bits count).
int32_t fold(int32_t v, int32_t s, bool sum) { return sum ? v + s : (v > s ? v : s); }
bool summode(int32_t sum) { return (sum & 0xFFFF) != 0; }
}  // namespace

int32_t gettypeability(int32_t mnr, int32_t k, int32_t lnr) {
  const Monster* t = typerec(mnr);
  if (k < 1 || !t) return 0;
  int32_t v = 0;
  for (int32_t i = 0; i < UNITABILITIES && t->abilityid[i] != 0; i++)
    if (t->abilityid[i] == k) {
      v = t->abilityval[i];
      break;
    }
  switch (k) {
    case AB_FIRERES: return (t->flags & MF_FIRERES) ? v + 100 : v;
    case AB_COLDRES: return (t->flags & MF_COLDRES) ? v + 100 : v;
    case AB_SHOCKRES: return (t->flags & MF_SHOCKRES) ? v + 100 : v;
    case AB_POISONRES: return (t->flags & MF_POISONRES) ? v + 100 : v;
    case AB_COLD: return (t->flags & MF_UNUSED10000) ? v + 3 : v;
    case AB_HEAT: return (t->flags & MF_UNUSED80) ? v + 3 : v;
    case AB_REGENERATION:
      if (lnr >= 0 && issea(lnr)) return v + gettypeability(mnr, AB_SEAREGENERATION, -1);
      return v;
    default: return v;
  }
}

int32_t getunitfx(int32_t unr, int32_t k) {
  if (unr < 0 || unr >= MAXUNITS) return 0;
  for (int32_t i = 0; i < 4; i++)
    if (unit[unr].abil[i] == k) return unit[unr].abilval[i];
  return 0;
}

int32_t getitemability(int32_t it, int32_t k) {
  if (!validitem(it)) return 0;
  for (int32_t i = 0; i < ITEMABILITIES && items[it].abilityid[i] != 0; i++)
    if (items[it].abilityid[i] == k) return items[it].abilityval[i];
  return 0;
}

int32_t getweaponability(int32_t w, int32_t k) {
  if (k < 1 || w < 0 || w >= MAXWEAPONS) return 0;
  for (int32_t i = 0; i < WEAPONABILITIES && weapons[w].abilityid[i] != 0; i++)
    if (weapons[w].abilityid[i] == k) return weapons[w].abilityval[i];
  return 0;
}

int32_t stateability(int32_t unr, int32_t k, int32_t sum) {
  switch (k) {
    case AB_FLYCAP: case AB_REINVIGORATION: case AB_FIRESHIELD: case AB_FEAR: case AB_REGENERATION: case AB_BERSERK: case AB_FIRERES: case AB_SHOCKRES:
    case AB_POISONRES: case AB_COLDRES: case AB_AIRSHIELD: case AB_COLD: case AB_DRAGONMASTER: case AB_DEATHPOWER: case AB_HEAT: case AB_BURNING: break;
    default: return 0;   // no state rule for this ability
  }
  const Monster* t = unittyperec(unr);
  if (!t) return 0;
  const Unit& u = unit[unr];
  const uint32_t f2 = u.flags[1], f3 = u.flags[2];
  const bool s = issacred(unr);
  auto g = [&](int32_t path) { return godpathlevel(u.owner, path); };
  switch (k) {
    case AB_FEAR: return (f3 & 0x10) ? 5 : 0;
    case AB_REGENERATION: {
      const bool inanimate = t->flags & MF_INANIMATE;
      int32_t r = (f2 & 0x20) && !inanimate ? 10 : 0;
      if (s && g(P_NATURE) > 3) r += (g(P_NATURE) / 2) * 5 - 5;
      if (r > 0) {
        const int32_t c = unit2com(unr);
        const int32_t nature = c >= 0 ? getcommagic(c, P_NATURE) : 0;
        r += 100 * nature / getmaxhp(unr);
      }
      if (inanimate) r = 0;
      if (f3 & 0x20000000) r += 10;
      return r;
    }
    case AB_REINVIGORATION: return s && g(P_EARTH) >= 4 ? g(P_EARTH) / 2 : 0;
    case AB_SHOCKRES: {
      int32_t r = (f2 & 0x10000000) ? -75 : 0;
      if (s && g(P_AIR) >= 9) r += 75;
      if (f2 & 0x800) r += 50;
      return r;
    }
    case AB_POISONRES: return ((f3 & 0x2) ? -100 : 0) + ((f2 & 0x1000000) ? 50 : 0);
    case AB_FIRERES: return ((f2 & 0x400) ? 50 : 0) - ((f2 & 0x10) ? 25 : 0);
    case AB_COLDRES: return ((f2 & 0x10000) ? -50 : 0) + ((f2 & 0x2000) ? 100 : 0) + ((f2 & 0x1000) ? 50 : 0);
    case AB_AIRSHIELD: {
      int32_t r = (f2 & 0x8) ? 80 : 0;
      if (s && g(P_AIR) >= 4 && 10 * g(P_AIR) - 20 > r) r = 10 * g(P_AIR) - 20;
      return r;
    }
    case AB_FIRESHIELD: return (f3 & 0x8000) ? 7 : 0;
    case AB_BURNING: return (f3 & 0x10000000) ? 1 : 0;
    case AB_DRAGONMASTER: return (f3 & 0x40000000) ? 2 : 0;
    case AB_FLYCAP: return s && getability(unr, AB_FLYINGSTATE, 1) > 0 ? 1 : 0;
    case AB_BERSERK: return s && g(P_NATURE) >= 9 ? 2 : 0;
    case AB_DEATHPOWER: return s && g(P_DEATH) >= 4 ? 50 * g(P_DEATH) - 100 : 0;
    case AB_COLD: return (f2 & 0x2000) ? 6 : 0;
    case AB_HEAT: return (f2 & 0x4000) ? 3 : 0;
    default: return 0;
  }
}

int32_t getability(int32_t unr, int32_t k, int32_t sum) {
  if (k < 1 || unr < 0 || unr >= MAXUNITS) return 0;
  const int32_t c = unit2com(unr);
  if (c >= 0) return getitemfx(c, k, sum);
  const Unit& u = unit[unr];
  const int32_t a = getunitfx(unr, k);
  const int32_t t = gettypeability(u.type, k, unitlandnr(unr));
  const int32_t s = stateability(unr, k, sum);
  int32_t v = summode(sum) ? a + t + s : fold(fold(a, t, false), s, false);
  // Homesick units regenerate only at home.
  if (k == AB_REGENERATION && gettypeability(u.type, AB_HOMESICK, unitlandnr(unr)) >= 1 && u.land != u.homeland) v = 0;
  return v;
}

int32_t getitemfx(int32_t cnr, int32_t k, int32_t sum) {
  bailif(cnr >= MAXCOMS, "getitemfx: bad cnr");
  lastfxslot = -9;
  const int32_t b = cnr < 0 ? -1 : combody(cnr);
  if (b < 0) return 0;
  const bool all = summode(sum);
  const Unit& u = unit[b];
  const Commander& c = com[cnr];
  int32_t v = fold(k > 0 ? getunitfx(b, k) : 0, gettypeability(u.type, k, unitlandnr(b)), all);

  if (!(k == AB_REGENERATION && (unittypeflags(b) & MF_INANIMATE))) {
    // A copy of one of the last three contributing items adds nothing.
    int32_t memory[3] = {0, 0, 0};
    auto remember = [&](int32_t it, int32_t slot) {
      memory[2] = memory[1];
      memory[1] = memory[0];
      memory[0] = it;
      lastfxslot = slot;
    };
    for (int32_t slot = 0; slot < 8; slot++) {
      const int32_t it = c.item[slot];
      if (!validitem(it)) continue;
      const Item& item = items[it];
      for (int32_t i = 0; i < ITEMABILITIES && item.abilityid[i] != 0; i++) {
        if (item.abilityid[i] != k) continue;
        if (it == memory[0] || it == memory[1] || it == memory[2]) continue;
        const int32_t value = item.abilityval[i];
        if (all) {
          v += value;
          remember(it, slot);
        } else if (v == 0 || value > v) {
          v = value;
          remember(it, slot);
        }
      }
    }
    if (k == AB_FEAR || k == AB_MAGICBONUS || k == AB_MRBONUS) {
      // The nested look-up leaves its own lastfxslot, as callers expect.
      if (getitemfx(cnr, AB_FEARBOOST, 1) >= 2) v += k == AB_FEAR ? 10 : k == AB_MAGICBONUS ? 5 : 2;
    }
    if (k == AB_SUPPLYBONUS) {
      const int32_t n = 10 * getcommagic(cnr, P_NATURE);
      if (all) return v + n + stateability(b, AB_SUPPLYBONUS, sum);
      return fold(fold(v, n, false), stateability(b, AB_SUPPLYBONUS, 0), false);
    }
  }
  v = fold(v, stateability(b, k, sum), all);

  const int32_t e = c.tmpfx, g = c.tmpfxstr;
  switch (k) {
    case AB_STANDARD:
      if (e == 5) v += g / 10;
      break;
    case AB_AWE: {
      if (e == 100) v += (g - 75) / 25;
      const int32_t x = getitemfx(cnr, AB_LEADERSHIPBONUS, 1);
      if (x > 99) v += (x - 75) / 25;
      if ((u.flags[2] & F3_PRETENDER) && c.veyvalue >= 9) v += 2 * c.veyvalue - 17;
      break;
    }
    case AB_FEAR:
      if (e == 101) v += g / 20;
      else if (e == 106) v += 5;
      v += getcommagic(cnr, P_DEATH);
      break;
    case AB_DEATHPOWER:
      if (e == 106) v += 2 * g;
      break;
    case AB_AMBIDEXTROUS:
      if (e == 12) v += g / 50;
      break;
    case AB_REINVIGORATION:
      if (e == 10) v += g / 50;
      if (u.flags[2] & 0x1000) v += 4;
      if (u.flags[2] & 0x20000) v += 5;
      break;
    case AB_FIRESHIELD:
      if (v >= 1) {
        const int32_t f = getcommagic(cnr, P_FIRE) + 6;
        if (f > v) v = f;
      }
      break;
    case AB_COLD:
      if (v >= 1) v += getcommagic(cnr, P_WATER);
      break;
    case AB_HEAT:
      if (v >= 1) v += getcommagic(cnr, P_FIRE);
      break;
    default: break;
  }
  return v;
}

int32_t sumlandability(int32_t lnr, int32_t player, int32_t k) {
  int32_t total = 0;
  foreachunitinland(lnr, [&](int32_t u) {
    if (unit[u].hp >= 1 && (player == -1 || unit[u].owner == player)) total += getability(u, k, 1);
  });
  return total;
}

void getiba(int32_t cnr) {
  bailif(cnr < 0 || cnr > 8999, "getiba: bad cnr");
  const int32_t b = combody(cnr);
  if (b < 0) return;
  Unit& u = unit[b];
  int32_t eyeloss = 0;
  for (int32_t s = 0; s < 8; s++) {
    const int32_t it = com[cnr].item[s];
    if (!validitem(it)) continue;
    const Item& item = items[it];
    u.flags[1] |= item.flags[0];
    u.flags[2] |= item.flags[1];
    u.flags[0] |= item.flags[2];
    if ((item.flags[2] & AF_LOSTEYE) && ++eyeloss == 2 && getitemfx(cnr, AB_EYES, 1) < 1) u.flags[0] |= AF_BLIND;
  }
}

namespace {
int32_t slotkindof(int8_t type) {
  switch (type) {
    case IT_ONEHAND: case IT_SHIELD: case IT_TWOHAND: case IT_MISSILE: return SLOT_HAND;
    case IT_HELMET: return SLOT_HEAD;
    case IT_ARMOR: return SLOT_BODY;
    case IT_BOOTS: return SLOT_FEET;
    default: return SLOT_MISC;
  }
}
bool twoslot(int32_t it) {
  return validitem(it) && (items[it].type == IT_TWOHAND || items[it].type == IT_MISSILE);
}
bool emptyslot(int32_t cnr, int32_t s) { return !validitem(com[cnr].item[s]); }

bool fits(int32_t it, const Monster& t, int32_t mnr) {
  const Item& item = items[it];
  if (item.picture == 27 && mnr != 320 && !(t.flags & MF_COLDBLOOD)) return false;
  if ((item.picture == 26 || item.picture == 40) && (t.flags & MF_INANIMATE)) return false;
  for (int32_t i = 0; i < ITEMABILITIES && item.abilityid[i] != 0; i++)
    if (item.abilityid[i] == AB_ITEMFIT && (uint32_t(item.abilityval[i]) & t.flags)) return false;
  return true;
}
}  // namespace

int32_t getitem(int32_t cnr, int32_t it) {
  if (it < 1 || cnr < 0 || cnr >= MAXCOMS) return -20;
  bailif(it >= MAXITEMS, "getitem: bad item");
  const int32_t b = combody(cnr);
  if (b < 0) return -20;
  const Monster* t = unittyperec(b);
  if (!t || !fits(it, *t, unit[b].type)) return -20;
  const int32_t kind = slotkindof(items[it].type);
  const bool wide = twoslot(it);
  int32_t first = -1;
  for (int32_t s = 0; s < 8; s++) {
    if (unitslotkind(b, s) != kind) continue;
    if (first < 0) first = s;
    bool free = emptyslot(cnr, s);
    if (free && kind == SLOT_HAND && s >= 1 && unitslotkind(b, s - 1) == SLOT_HAND && twoslot(com[cnr].item[s - 1]))
      free = false;
    if (!free) continue;
    if (wide && (s >= 7 || unitslotkind(b, s + 1) != kind || !emptyslot(cnr, s + 1))) continue;
    com[cnr].item[s] = int16_t(it);
    getiba(cnr);
    debugprint(wide ? "cnr %d got twohand %s\n" : "cnr %d got onehand %s\n", cnr, items[it].name);
    return s;
  }
  return first < 0 ? -20 : -10 - first;
}

int32_t getitemf(int32_t cnr, int32_t it, int32_t mode) {
  bailif(cnr < 0 || cnr >= MAXCOMS, "getitemf: bad cnr");
  const int32_t b = combody(cnr);
  if (b < 0) return -20;
  const int32_t r = getitem(cnr, it);
  if (r == -20 || r >= 0) return r;
  const int32_t s = -10 - r;
  if (s < 0 || s > 7) return -20;
  const int32_t owner = unit[b].owner;
  const int32_t l = unitlandnr(b);
  const bool tolab = mode == 2 || (mode == 1 && l >= 0 && land[l].fortholder == owner && land[l].lab);
  auto putaside = [&](int32_t slot) {
    const int32_t old = com[cnr].item[slot];
    if (tolab && validitem(old)) additemtolab(owner, old, 0);
    com[cnr].item[slot] = 0;
  };
  putaside(s);
  com[cnr].item[s] = int16_t(it);
  if (twoslot(it) && s < 7 && unitslotkind(b, s + 1) == SLOT_HAND) putaside(s + 1);
  return s;
}

int32_t additemtolab(int32_t player, int32_t it, int32_t force) {
  if (it < 1 || player < 0 || player >= MAXKINGDOMS) return -1;
  int16_t* store = &kingdom[player].w[KW_LABSTORE];
  for (int32_t i = 0; i < LABSTORESIZE; i++)
    if (store[i] < 1) {
      store[i] = int16_t(it);
      return i;
    }
  if (!force) return -1;
  store[LABSTORESIZE - 1] = int16_t(it);
  return LABSTORESIZE - 1;
}
