// Battle magic: the spells a mage has at hand, the computer's choice among
// them, and their effects (damage, healing, summoning and battle states).
#include <algorithm>

#include "battle/engine.h"
#include "world/magic.h"
#include "runtime/fatal.h"
#include "runtime/rnd.h"
#include "world/rules.h"

// The flag bit of each battle state.
const BattleStateBit battlestatebits[BK_COUNT] = {
    {1, 0, false},          {1, 0x40000, false},    {1, 0x10000, false},   {1, 0x10, false},
    {1, 0x10000000, false}, {1, 0x8, false},        {2, 0x8000, false},    {1, 0x80, false},
    {1, 0x4, false},        {1, 0x100, false},      {1, 0x1, false},       {1, ST_LUCK, false},
    {1, 0x4000000, false},  {1, 0x8000, false},     {1, 0x20000, false},   {1, 0x40, false},
    {1, 0x2000, false},     {1, 0x400, false},      {1, 0x1000000, false}, {1, 0x800, false},
    {1, ST_ETHEREAL, false}, {2, 0x20000000, false}, {2, 0x20, false},     {2, 0x20000, false},
    {2, 0x2000000, false},  {0, AF_NOARMOR, true},
};

namespace {
bool fieldunit(int32_t f) { return fighter[f].state == FS_FIELD && fighter[f].x >= 0; }

// Values above 999 grow with the caster's level.
int32_t scaled(int32_t v, int32_t level) {
  for (int32_t i = 0; v > 999 && i < 100; i++) v = v - 1000 + level;
  return v;
}

struct Cast {
  int32_t spell, code, duration, level;
  int32_t range, area, effects, precision, damage;
};

Cast spellvalues(int32_t f, int32_t s) {
  const Spell& sp = spells[s];
  Cast c;
  c.spell = s;
  c.code = battlespelleffect(s);
  c.duration = sp.effect >= 1000 && sp.effect < 10000 ? sp.effect / 1000 : 0;
  const int32_t cnr = fighter[f].cnr;
  c.level = sp.path[0] >= 0 && cnr >= 0 ? getcommagic(cnr, sp.path[0]) : 0;
  c.range = scaled(sp.range, c.level);
  c.area = scaled(sp.area >= 10000 ? sp.area - 10000 : sp.area, c.level);
  c.effects = std::max<int32_t>(1, scaled(sp.nbreff, c.level));
  c.precision = scaled(sp.precision, c.level);
  c.damage = scaled(sp.damage, c.level);
  return c;
}

// Gems of the first path that a fatigue of 100 or more asks, and the
// fatigue left after them.
int32_t gemcost(int32_t s) { return spells[s].fatigue >= 100 ? spells[s].fatigue / 100 : 0; }
int32_t fatiguecost(int32_t f, int32_t s) {
  return (spells[s].fatigue >= 100 ? spells[s].fatigue % 100 : std::max<int32_t>(0, spells[s].fatigue)) +
         std::max<int32_t>(0, fighter[f].castenc);
}

bool affordable(int32_t f, int32_t s) {
  const Fighter& x = fighter[f];
  const int32_t gems = gemcost(s), path = spells[s].path[0];
  if (gems > 0 && (path < 0 || path > 8 || x.cnr < 0 || com[x.cnr].gems[path] < gems)) return false;
  return unit[x.unr].fatigue + fatiguecost(f, s) < 100;
}

bool hasstate(int32_t f, int32_t kind) { return fighter[f].buffend[kind] != 0; }
bool isstate(const Cast& c) { return c.code == 10 || c.code == 81; }
bool hostile(const Cast& c) { return isstate(c) && battlestatebits[c.damage].hostile; }

int32_t arearadius(int32_t area) {
  int32_t r = 0;
  while ((2 * r + 3) * (2 * r + 3) <= area && r < FIELDW) r++;
  return r;
}

// Whom a spell of healing or of a battle state is for, within range of the
// caster: the most wounded friend for healing; for a state the unit with
// most hit points that lacks it, a friend or, for a hostile state, an enemy.
// Range 0 is the caster itself. -1 when there is nobody.
int32_t spelltarget(int32_t f, const Cast& c) {
  const Fighter& x = fighter[f];
  if (c.range <= 0 && !hostile(c)) return c.code == 13 || !hasstate(f, c.damage) ? f : -1;
  const bool enemy = hostile(c);
  int32_t best = -1, bestv = 0;
  for (int32_t e = 0; e < bs.nfighters; e++) {
    const Fighter& y = fighter[e];
    if ((y.side == x.side) == enemy || !fieldunit(e) || distance(x.x, x.y, y.x, y.y) > std::max<int32_t>(1, c.range))
      continue;
    const int32_t v = c.code == 13 ? y.maxhp - unit[y.unr].hp : hasstate(e, c.damage) ? 0 : y.maxhp + 1;
    if (v > bestv) {
      best = e;
      bestv = v;
    }
  }
  return best;
}

// Enemies within range (at most 64), nearest first for the group's target.
int32_t enemiesinrange(int32_t f, int32_t range, int32_t* out) {
  const Fighter& x = fighter[f];
  int32_t n = 0;
  const int32_t first = nearestenemy(x.side, x.x, x.y, grouptarget(x.group), range);
  if (first >= 0) out[n++] = first;
  for (int32_t e = 0; e < bs.nfighters && n < 64; e++) {
    const Fighter& y = fighter[e];
    if (y.side == x.side || e == first || !fieldunit(e) || distance(x.x, x.y, y.x, y.y) > range) continue;
    out[n++] = e;
  }
  return n;
}

// Whether a state for the whole side would reach anybody new.
bool sidelacks(int32_t f, const Cast& c) {
  const bool enemy = hostile(c);
  for (int32_t e = 0; e < bs.nfighters; e++)
    if ((fighter[e].side == fighter[f].side) != enemy && fieldunit(e) && !hasstate(e, c.damage)) return true;
  return false;
}

// Whether the spell can do anything now, and how much the computer likes
// it: stronger spells first, states early in the battle, harm later.
int32_t spellscore(int32_t f, int32_t s) {
  if (!affordable(f, s)) return -1;
  const Cast c = spellvalues(f, s);
  const int32_t base = 10 * spells[s].researchlevel + 5 * spells[s].pathlevel[0] + rnd(8);
  int32_t targets[64];
  switch (c.code) {
    case 1:
      return base + 10;
    case 13: {
      const int32_t t = spelltarget(f, c);
      return t >= 0 && fighter[t].maxhp - unit[fighter[t].unr].hp >= std::min<int32_t>(c.damage, fighter[t].maxhp / 3)
                 ? base + 20
                 : -1;
    }
    case 81:
      return sidelacks(f, c) ? base + (bs.turn <= 2 ? 25 : 0) : -1;
    case 10:
      return spelltarget(f, c) >= 0 ? base + (hostile(c) ? 5 : bs.turn <= 2 ? 15 : -10) : -1;
    default:
      return enemiesinrange(f, c.range, targets) > 0 ? base + (c.area >= 660 ? 10 : 0) : -1;
  }
}

// A summoned unit joins the caster's side beside it.
void bringin(int32_t f, int32_t type, int32_t g) {
  const Fighter& x = fighter[f];
  if (type < 1 || type >= MAXUNITTYPES || unittypes[type].hp < 1) return;
  const int32_t u = spawntempunits(type, bs.player[x.side], 1, bs.land, -1);
  if (u < 0) return;
  const int32_t nf = addfighter(u, x.side, g);
  if (nf < 0) {
    unit[u].hp = 0;
    setunitland(u, -1);
    return;
  }
  if (!placenear(nf, fighter[f].x, fighter[f].y)) {
    fighter[nf].state = FS_OFF;
    return;
  }
  bs.active[x.side]++;
  logevent(BEV_SUMMON, nf, -1, fighter[nf].x, fighter[nf].y, type, 0);
}

// The spell's effect on one unit it reaches.
void affect(int32_t f, int32_t t, const Cast& c) {
  Fighter& y = fighter[t];
  if (y.state != FS_FIELD) return;
  const Spell& sp = spells[c.spell];
  if (c.code == 13) {
    Unit& u = unit[y.unr];
    u.hp = int16_t(std::min<int32_t>(y.maxhp, u.hp + std::max<int32_t>(0, c.damage)));
    return;
  }
  if (isstate(c)) {
    // A hostile state is resisted like harmful magic.
    if (hostile(c) && (sp.flags & (SF_MRNEGATES | SF_MRNEGATESEASILY)) &&
        y.mr + ((sp.flags & SF_MRNEGATESEASILY) ? 2 : 0) + drn() > 10 + c.level + drn())
      return;
    battlestate(t, c.damage, c.duration > 0 ? bs.turn + c.duration : 0);
    return;
  }
  Blow b;
  b.dmg = c.damage;
  b.dmgtype = c.code == 2 ? 0 : c.code;
  b.wflags = 0;
  if (sp.flags & SF_ARMORPIERCING) b.wflags |= WF_ARMORPIERCING;
  if (sp.flags & SF_ARMORNEGATING) b.wflags |= WF_ARMORNEGATING;
  if (sp.flags & SF_MRNEGATES) b.wflags |= WF_MRNEGATES;
  if (sp.flags & SF_MRNEGATESEASILY) b.wflags |= WF_MRNEGATESEASILY;
  if (sp.path[0] == P_FIRE) b.wflags |= WF_FIRE;
  if (sp.path[0] == P_WATER) b.wflags |= WF_COLD;
  if (sp.path[0] == P_AIR) b.wflags |= WF_SHOCK;
  b.loc = LOC_BODY;
  b.mrpen = 10 + c.level;
  if (c.damage == 999) {
    // Death: only magic resistance saves.
    if (y.mr + drn() > b.mrpen + drn()) return;
    unit[y.unr].hp = 0;
    killfighter(t, f);
    return;
  }
  strike(f, t, b);
}

// Every unit on the squares within the area of (tx, ty); from 660 on, and
// for a state of the whole side, every unit of that side. Harm falls on
// friend and foe alike; healing and states reach only their own side.
void affectarea(int32_t f, int32_t tx, int32_t ty, const Cast& c) {
  const int32_t side = fighter[f].side;
  const bool chosen = c.code == 13 || isstate(c);
  const int32_t want = hostile(c) ? 1 - side : side;
  if (c.area >= 660 || c.code == 81) {
    for (int32_t e = 0; e < bs.nfighters; e++)
      if (fieldunit(e) && (chosen ? fighter[e].side == want : fighter[e].side != side)) affect(f, e, c);
    return;
  }
  const int32_t r = arearadius(c.area);
  int32_t hit[512], n = 0;
  for (int32_t y = ty - r; y <= ty + r; y++)
    for (int32_t x = tx - r; x <= tx + r; x++) {
      if (!onfield(x, y)) continue;
      for (int32_t e = squarehead[squareof(x, y)]; e >= 0 && n < 512; e = fighter[e].nextinsquare)
        if (!chosen || fighter[e].side == want) hit[n++] = e;
    }
  // Gathered first: a unit that dies leaves its square's list.
  for (int32_t i = 0; i < n; i++) affect(f, hit[i], c);
}

int32_t cast(int32_t f, int32_t s) {
  Fighter& x = fighter[f];
  const Cast c = spellvalues(f, s);
  if (c.code < 0 || !affordable(f, s)) return 0;
  int32_t tx = x.x, ty = x.y;
  int32_t targets[64], nt = 0;
  if (c.code == 13 || c.code == 10) {
    const int32_t t = spelltarget(f, c);
    if (t < 0) return 0;
    tx = fighter[t].x;
    ty = fighter[t].y;
  } else if (c.code == 81) {
    if (!sidelacks(f, c)) return 0;
  } else if (c.code != 1) {
    nt = enemiesinrange(f, c.range, targets);
    if (nt < 1) return 0;
  }
  // Paid: gems of the first path and fatigue.
  const int32_t gems = gemcost(s);
  if (gems > 0) com[x.cnr].gems[spells[s].path[0]] = uint8_t(com[x.cnr].gems[spells[s].path[0]] - gems);
  Unit& u = unit[x.unr];
  u.fatigue = int16_t(std::min<int32_t>(200, u.fatigue + fatiguecost(f, s)));
  x.fought = 1;
  logevent(BEV_SPELL, f, -1, tx, ty, s, 0);
  if (c.code == 1) {
    const int32_t g = addgroup(x.side, -1, BO_ATTACK, 0);
    for (int32_t i = 0; g >= 0 && i < c.effects && i < 100; i++) bringin(f, c.damage, g);
    return 1;
  }
  if (c.code == 13 || isstate(c)) {
    affectarea(f, tx, ty, c);
    return 1;
  }
  for (int32_t k = 0; k < c.effects; k++) {
    int32_t t = k == 0 ? targets[0] : targets[rnd(nt)];
    if (fighter[t].state != FS_FIELD) {
      nt = enemiesinrange(f, c.range, targets);
      if (nt < 1) break;
      t = targets[0];
    }
    tx = fighter[t].x;
    ty = fighter[t].y;
    if (c.area < 660) {
      const int32_t aim = x.prec + c.precision + drn() - (distance(x.x, x.y, tx, ty) / 3 + drn());
      if (aim <= 0) {
        const int32_t m = std::min<int32_t>(3, 1 + -aim / 4);
        tx += rnd(2 * m + 1) - m;
        ty += rnd(2 * m + 1) - m;
      }
    }
    affectarea(f, tx, ty, c);
  }
  return 1;
}

bool known(int32_t f, int32_t s) {
  const Fighter& x = fighter[f];
  for (int32_t i = 0; i < x.nspells; i++)
    if (x.spell[i] == s) return true;
  return false;
}

void addspell(Fighter& x, int32_t s) {
  if (x.nspells >= MAXBATTLESPELLS) return;
  for (int32_t i = 0; i < x.nspells; i++)
    if (x.spell[i] == s) return;
  x.spell[x.nspells++] = int16_t(s);
}

// The land's water decides which spells work: at sea only those made for
// water, and those made only for water nowhere else.
bool fitswater(int32_t s) {
  const bool sea = issea(bs.land);
  if (sea && !(spells[s].flags & SF_UNDERWATER)) return false;
  return sea || !(spells[s].flags & SF_ONLYUNDERWATER);
}

bool haslevels(int32_t cnr, int32_t s) {
  const Spell& sp = spells[s];
  for (int32_t k = 0; k < 2; k++)
    if (sp.path[k] >= 0 && getcommagic(cnr, sp.path[k]) < std::max<int32_t>(1, sp.pathlevel[k])) return false;
  return true;
}
}  // namespace

int32_t battlespelleffect(int32_t s) {
  if (s < 0 || s >= MAXSPELLS) return -1;
  const Spell& sp = spells[s];
  if (sp.researchlevel == SPELL_ENDLEVEL || sp.range < 0 || sp.effect < 1 || sp.effect >= SPELL_RITUAL) return -1;
  const int32_t code = sp.effect % 1000;
  switch (code) {
    case 1:
      return sp.damage > 0 && sp.damage < MAXUNITTYPES ? code : -1;
    case 10:
    case 81:
      return sp.damage > BK_NONE && sp.damage < BK_COUNT ? code : -1;
    case 2: case 3: case 7: case 13: case 24: case 32: case 33: case 66: case 73:
    case 96: case 105: case 106: case 107: case 109:
      return code;
    default:
      return -1;
  }
}

void collectspells(int32_t f) {
  Fighter& x = fighter[f];
  x.nspells = 0;
  const int32_t c = x.cnr;
  if (c < 0) return;
  // Spells of the commander's items need no magic of its own.
  for (int32_t n = 0; n < 99; n++) {
    const int32_t s = gispl(c, n);
    if (s <= 0) break;
    if (battlespelleffect(s) >= 0 && fitswater(s)) addspell(x, s);
  }
  if (!ismageorpriest(c)) return;
  const int32_t owner = unit[x.unr].owner;
  if (owner < 0 || owner >= 100) return;
  // The player's spellbook; a player with none knows the spells of research
  // level 0, which every nation starts with.
  const bool nobook = spellbook[owner][0] < 0;
  for (int32_t i = 0; i < (nobook ? MAXSPELLS : SPELLBOOKSIZE); i++) {
    const int32_t s = nobook ? i : spellbook[owner][i];
    if (s < 0) break;
    if (nobook && (spells[s].researchlevel == SPELL_ENDLEVEL)) break;
    if (nobook && spells[s].researchlevel != 0) continue;
    if (battlespelleffect(s) >= 0 && fitswater(s) && haslevels(c, s)) addspell(x, s);
  }
}

int32_t castbattlespell(int32_t f, int32_t s) {
  const Fighter& x = fighter[f];
  if (x.nspells < 1) return 0;
  if (s > 0 && known(f, s) && cast(f, s)) return 1;
  int32_t best = -1, bestscore = -1;
  for (int32_t i = 0; i < x.nspells; i++) {
    const int32_t sc = spellscore(f, x.spell[i]);
    if (sc > bestscore) {
      best = x.spell[i];
      bestscore = sc;
    }
  }
  return best >= 0 ? cast(f, best) : 0;
}

void battlestate(int32_t f, int32_t kind, int32_t until) {
  if (kind <= BK_NONE || kind >= BK_COUNT) return;
  Fighter& x = fighter[f];
  Unit& u = unit[x.unr];
  const int32_t end = until > 0 ? until : MAXBATTLETURNS + 1;
  if (x.buffend[kind] != 0) {
    x.buffend[kind] = int16_t(std::max<int32_t>(x.buffend[kind], end));
    return;
  }
  x.buffend[kind] = int16_t(end);
  x.buffs |= uint32_t(1) << kind;
  const BattleStateBit& e = battlestatebits[kind];
  const uint32_t add = e.bit & ~u.flags[e.word];
  u.flags[e.word] |= add;
  x.gained[e.word] |= add;
  cachefighter(f);
}

void endbattlestates(int32_t f, bool all) {
  Fighter& x = fighter[f];
  Unit& u = unit[x.unr];
  bool changed = false;
  for (uint32_t on = x.buffs; on; on &= on - 1) {
    const int32_t k = __builtin_ctz(on);
    if (!all && x.buffend[k] > bs.turn) continue;
    x.buffend[k] = 0;
    x.buffs &= ~(uint32_t(1) << k);
    const BattleStateBit& e = battlestatebits[k];
    const uint32_t back = e.bit & x.gained[e.word];
    u.flags[e.word] &= ~back;
    x.gained[e.word] &= ~back;
    changed = true;
  }
  if (changed && !all) cachefighter(f);
}
