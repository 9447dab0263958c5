// Commander magic, leadership and commander queries.
#include "runtime/fatal.h"
#include "world/magic.h"
#include "world/rules.h"

namespace {
int32_t baselevel(int32_t cnr, int32_t path) { return int8_t(com[cnr].path[path]); }

// A commander in use whose body record exists, else -1 for its body.
int32_t bodyof(int32_t cnr) { return cnr < 0 ? -1 : combody(cnr); }

int32_t onepath(int32_t cnr, int32_t path) {
  const int32_t b = bodyof(cnr);
  const Unit& u = unit[b];
  const Commander& c = com[cnr];
  int32_t lvl = baselevel(cnr, path);
  if (lvl >= 1) {
    const uint32_t f3 = u.flags[2];
    if (path == P_EARTH && (f3 & 0x1000)) lvl++;
    if (f3 & 0x20000) lvl += 2;
    if (f3 & 0x80) lvl++;
    if (path == P_FIRE && lvl > 0 && (f3 & 0x40000)) lvl++;
    if (path == P_WATER && lvl > 0 && (f3 & 0x80000)) lvl++;
    if (lvl > 0) {
      if (path == P_NATURE && (f3 & 0x100000)) lvl++;
      if (u.land != u.homeland) lvl += getability(b, AB_FOREIGNMAGIC, 1);
      const int32_t l = unitlandnr(b);
      if (path == P_AIR && lvl > 0 && (f3 & 0x2000) &&
          ((l >= 0 && findench(EN_STORM, l, -1) >= 0) || findench(EN_WINTER, -1, -1) >= 0))
        lvl++;
      if (path == P_ASTRAL && lvl > 0 && l >= 0 && findench(EN_ARCANENEXUS, l, -1) >= 0) lvl++;
    }
    // Items raise only a path the commander already has; a copy of one of
    // the two items counted last adds nothing.
    int32_t last[2] = {0, 0};
    for (int32_t s = 0; s < 8 && lvl > 0; s++) {
      const int32_t it = c.item[s];
      if (!validitem(it) || it == last[0] || it == last[1]) continue;
      const Item& item = items[it];
      for (int32_t k = 0; k < ITEMABILITIES && item.abilityid[k] != 0; k++) {
        const int32_t a = item.abilityid[k], v = item.abilityval[k];
        if (a >= AB_MAGICBOOST && a <= AB_MAGICBOOST + P_PRIEST && a - AB_MAGICBOOST == path) lvl += v;
        else if (a == AB_MAGICBOOSTALL && path != P_PRIEST) lvl += v;
        else if (a == AB_FIREASTRALBOOST && (path == P_FIRE || path == P_ASTRAL)) lvl += 2;
        else if (a == AB_SORCERYBOOST && (path == P_ASTRAL || path == P_DEATH || path == P_NATURE || path == P_BLOOD)) lvl += v;
        else if (a == AB_ELEMENTALBOOST && path <= P_EARTH) lvl += v;
        else if (a == AB_ONEPATHBOOST && v == path) lvl += 1;
      }
      last[1] = last[0];
      last[0] = it;
    }
  }
  if (lvl > 0) {
    if (path < P_PRIEST) lvl += gettypeability(u.type, AB_MAGICBOOST + path, -1);
    lvl += gettypeability(u.type, AB_MAGICBOOSTALL, -1);
  }
  if (c.tmpfx == 105) lvl = (lvl + 1) / 2;
  if (lvl > 0) {
    if (u.flags[0] & AF_MUTE) lvl = (lvl + 1) / 2;
    if (lvl > 0) {
      const int32_t boost = getitemfx(cnr, AB_MAGICSCALE, 1);
      if (boost > 0) lvl = boost * lvl / 100;
    }
  }
  return lvl < 0 ? 0 : lvl;
}
}  // namespace

int32_t getcommagic(int32_t cnr, int32_t path) {
  const int32_t b = bodyof(cnr);
  if (b < 0) return 0;
  if ((unit[b].flags[0] & AF_FEEBLEMINDED) || getability(b, AB_NOMAGIC, 1) > 0) return 0;
  if (path == 53 || path == 55 || path == 56) {
    const int32_t top = path == 53 ? 7 : path == 55 ? 8 : 6;
    int32_t sum = 0;
    for (int32_t p = 0; p <= top; p++) sum += onepath(cnr, p);
    return sum;
  }
  if (path < 0 || path > 8) return 0;
  return onepath(cnr, path);
}

int32_t getcomgems(int32_t cnr) {
  if (bodyof(cnr) < 0) return 0;
  int32_t sum = 0;
  for (int32_t g = 0; g < 8; g++) sum += com[cnr].gems[g];
  return sum;
}

int32_t bestpath(int32_t cnr) {
  int32_t best = 0, bestlvl = 0;
  for (int32_t p = 0; p < 8; p++) {
    const int32_t l = getcommagic(cnr, p);
    if (l > bestlvl) {
      best = p;
      bestlvl = l;
    }
  }
  return best;
}

namespace {
bool anybase(int32_t cnr, int32_t from, int32_t to) {
  for (int32_t p = from; p <= to; p++)
    if (baselevel(cnr, p) > 0) return true;
  return false;
}
bool sane(int32_t cnr) {
  const int32_t b = bodyof(cnr);
  return b >= 0 && !(unit[b].flags[0] & AF_FEEBLEMINDED);
}
}  // namespace

int32_t ismageorpriest(int32_t cnr) { return sane(cnr) && anybase(cnr, 0, 8); }
int32_t ismage(int32_t cnr) { return sane(cnr) && anybase(cnr, 0, 7); }
int32_t ispriest(int32_t cnr) { return sane(cnr) && baselevel(cnr, P_PRIEST) > 0; }
int32_t hasmagicpaths(int32_t cnr) { return bodyof(cnr) >= 0 && anybase(cnr, 0, 8); }

namespace {
// Limit of a leadership class given by the first set bit of five, or none.
int32_t classlimit(uint32_t flags, const uint32_t (&bits)[5], int32_t none) {
  static constexpr int32_t limits[5] = {10, 40, 80, 120, 160};
  for (int32_t i = 0; i < 5; i++)
    if (flags & bits[i]) return limits[i];
  return none;
}
}  // namespace

int32_t maxcomunits(int32_t cnr, int32_t* undeadout, int32_t* magicout) {
  bailif(cnr < 0 || cnr >= MAXCOMS, "maxcomunits: bad cnr");
  const int32_t b = combody(cnr);
  bailif(b < 0, "maxcomunits: bad unr");
  const Commander& c = com[cnr];
  const Unit& u = unit[b];
  const Monster* t = typerec(u.type);
  const uint32_t f2 = t ? t->flags2 : 0;

  int32_t ord = 40, step = 30;
  if (f2 & MF2_POORLEADER) ord = 10, step = 10;
  else if (f2 & MF2_GOODLEADER) ord = 80, step = 40;
  else if (f2 & MF2_EXPERTLEADER) ord = 120, step = 50;
  else if (f2 & MF2_SUPERIORLEADER) ord = 160, step = 60;
  ord += 5 * getcommagic(cnr, P_FIRE);
  if (u.exp > 14) ord += step / 2;
  for (int32_t e : {49, 99, 199, 399})
    if (u.exp > e) ord += step;
  if (c.tmpfx == 5) ord += c.tmpfxstr / 4;
  if (c.tmpfx == 100) ord += c.tmpfxstr / 2;
  if (c.tmpfx == 105) ord /= 2;

  int32_t undead = classlimit(f2, {MF2_POORUNDEADLEADER, MF2_OKUNDEADLEADER, MF2_GOODUNDEADLEADER,
                                   MF2_EXPERTUNDEADLEADER, MF2_SUPERIORUNDEADLEADER}, 0);
  if (c.tmpfx == 102) undead += c.tmpfxstr / 2;
  int32_t magic = classlimit(f2, {MF2_POORMAGICLEADER, MF2_OKMAGICLEADER, MF2_GOODMAGICLEADER,
                                  MF2_EXPERTMAGICLEADER, MF2_SUPERIORMAGICLEADER}, 0);
  if (ismageorpriest(cnr)) {
    int32_t lv[9];
    for (int32_t p = 0; p < 9; p++) lv[p] = getcommagic(cnr, p);
    undead += 30 * lv[P_DEATH] + 5 * lv[P_BLOOD];
    magic += 10 * lv[P_ASTRAL] + 5 * (lv[P_FIRE] + lv[P_AIR] + lv[P_WATER] + lv[P_EARTH] + lv[P_NATURE] + lv[P_BLOOD]);
    if (getnatattr(u.owner, NA_PRIESTREANIM) > 0) undead += 15 * lv[P_PRIEST];
  }
  if (f2 & MF2_NOLEADER) {
    ord = undead = 0;
    if (!(f2 & (MF2_POORMAGICLEADER | MF2_OKMAGICLEADER))) magic = 0;
  }
  ord += getitemfx(cnr, AB_LEADERSHIPBONUS, 1);
  undead += getitemfx(cnr, AB_UNDEADLEADERSHIPBONUS, 1);
  magic += getitemfx(cnr, AB_MAGICLEADERSHIPBONUS, 1);
  if (u.flags[0] & AF_MUTE) ord = (ord + 3) / 4;
  if (u.flags[0] & AF_FEEBLEMINDED) {
    ord /= 4;
    undead /= 4;
    magic /= 4;
  }
  if (undeadout) *undeadout = undead;
  if (magicout) *magicout = magic;
  return ord;
}

int32_t comarmyfull(int32_t cnr) {
  if (cnr < 0) return 1;
  int32_t und = 0, mag = 0, maxund = 0, maxmag = 0;
  const int32_t n = comunits(cnr, &und, &mag);
  const int32_t maxn = maxcomunits(cnr, &maxund, &maxmag);
  return n >= maxn && und >= maxund && mag >= maxmag;
}

int32_t nbrcomunits(int32_t cnr) {
  int32_t und = 0, mag = 0;
  const int32_t n = comunits(cnr, &und, &mag);
  return n + und + mag;
}

int32_t nbrsquads(int32_t cnr) {
  if (cnr < 0 || cnr > highestcom || bodyof(cnr) < 0) return 0;
  int32_t n = 0;
  for (int32_t s : com[cnr].squad)
    if (s != -1) n++;
  return n;
}

int32_t hasitemspell(int32_t cnr) {
  if (bodyof(cnr) < 0) return 0;
  for (int32_t it : com[cnr].item)
    if (validitem(it) && items[it].spell[0] != 0) return 1;
  return 0;
}

namespace {
uint32_t bodytypeflags(int32_t cnr) { return unittypeflags(bodyof(cnr)); }
int32_t bodyowner(int32_t cnr) { return unit[bodyof(cnr)].owner; }
}  // namespace

int32_t reanimatelevel(int32_t cnr) {
  if (bodyof(cnr) < 0) return 0;
  int32_t h = getcommagic(cnr, P_PRIEST);
  if (h < 1) return 0;
  const uint32_t f = bodytypeflags(cnr);
  const int32_t owner = bodyowner(cnr);
  bool allowed = getnatattr(owner, NA_PRIESTREANIM) > 0;
  if (f & MF_UNDEAD) {
    h++;
    allowed = true;
  }
  if (f & MF_DEMON) allowed = true;
  if (!(f & MF_UNDEAD) && owner >= 0 && owner <= 94 && getnatattr(owner, NA_MANIKINS) != 0) allowed = false;
  return allowed ? h : 0;
}

int32_t manikinlevel(int32_t cnr) {
  if (bodyof(cnr) < 0) return 0;
  const int32_t h = getcommagic(cnr, P_PRIEST);
  if (h < 1) return 0;
  return (bodytypeflags(cnr) & MF_UNDEAD) && getnatattr(bodyowner(cnr), NA_MANIKINS) > 0 ? h : 0;
}

int32_t callspiritslevel(int32_t cnr) {
  if (bodyof(cnr) < 0) return 0;
  int32_t h = getcommagic(cnr, P_PRIEST);
  if (h < 1) return 0;
  const uint32_t f = bodytypeflags(cnr);
  bool qualifies;
  if (f & MF_UNDEAD) {
    h++;
    qualifies = true;
  } else {
    qualifies = (f & MF_DEMON) || getcommagic(cnr, P_DEATH) > 0;
  }
  const int32_t owner = bodyowner(cnr);
  if (owner < 0 || owner > 94 || getnatattr(owner, NA_CALLSPIRITS) < 1) return 0;
  return qualifies ? h : 0;
}

namespace {
// Commander with a living body owned by owner (-1 any) in land (-1 any).
bool comisat(int32_t cnr, int32_t owner, int32_t lnr) {
  const int32_t b = bodyof(cnr);
  if (b < 0 || unit[b].hp < 1) return false;
  return (owner == -1 || unit[b].owner == owner) && (lnr == -1 || unit[b].land == lnr);
}
}  // namespace

int32_t bestpathinland(int32_t owner, int32_t lnr, int32_t path) {
  int32_t best = 0;
  for (int32_t c = 0; c <= highestcom && c < MAXCOMS; c++) {
    const int32_t b = bodyof(c);
    if (b < 0 || unit[b].hp < 1 || unit[b].owner != owner || unit[b].land != lnr) continue;
    const int32_t l = getcommagic(c, path);
    if (l > best) best = l;
  }
  return best;
}

int32_t findcomwithorder(int32_t player, int32_t lnr, Order order) {
  for (int32_t c = 0; c <= highestcom && c < MAXCOMS; c++)
    if (comisat(c, player, lnr) && com[c].order == order) return c;
  return -1;
}

int32_t countcomwithorder(int32_t player, int32_t lnr, Order order) {
  int32_t n = 0;
  for (int32_t c = 0; c <= highestcom && c < MAXCOMS; c++)
    if (comisat(c, player, lnr) && com[c].order == order) n++;
  return n;
}

int32_t comowner(int32_t cnr) {
  const int32_t b = bodyof(cnr);
  return b < 0 ? -1 : unit[b].owner;
}

int32_t comdestination(int32_t cnr) {
  const int32_t b = bodyof(cnr);
  if (b < 0 || unit[b].hp < 1) return -1;
  const Order o = com[cnr].order;
  return movingorder(o) || o == Order::attack ? com[cnr].orderparam : -1;
}
