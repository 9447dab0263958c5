// One battle turn: every unit acts once, in an order drawn anew each turn,
// by its group's battle order (or its commander's battle script in the
// first five turns): it moves, strikes, shoots or casts; then the groups
// that lost units test their morale, and wounds, poison, fatigue and
// battle enchantments run on.
#include <algorithm>

#include "battle/engine.h"
#include "runtime/fatal.h"
#include "runtime/rnd.h"
#include "world/rules.h"

namespace {
std::array<int32_t, MAXFIGHTERS> order;

bool fieldunit(int32_t f) { return fighter[f].state == FS_FIELD && fighter[f].x >= 0; }
bool routing(int32_t f) { return unit[fighter[f].unr].batstate == BS_ROUTING; }
int32_t backedge(int32_t side) { return side == 0 ? 0 : FIELDW - 1; }

// The fighter leaves the field, dead or alive: its group lost it, and the
// squads of a commander lost their leader.
void offfield(int32_t f, uint8_t state) {
  Fighter& x = fighter[f];
  if (!routing(f)) bs.active[x.side]--;
  takeoffsquare(f);
  x.state = state;
  Group& g = group[x.group];
  g.lost++;
  g.lostnow++;
  if (x.cnr >= 0)
    for (int32_t k = 0; k < bs.ngroups; k++)
      if (group[k].cnr == x.cnr && k != x.group) group[k].leaderlost = 1;
}

// Takes the fighter off the field alive (a retreat or a rout that reached
// its back edge).
void leavefield(int32_t f) {
  logevent(BEV_FLEE, f, -1, fighter[f].x, fighter[f].y, 0, 0);
  offfield(f, FS_OFF);
  unit[fighter[f].unr].batstate = BS_FLED;
}

// One step to a neighbouring square that brings the fighter nearer to
// (tx, ty): fewer steps away first, then straighter. A sidestep keeps the
// number of steps when the way is blocked.
bool step(int32_t f, int32_t tx, int32_t ty, bool sidestep) {
  // The eight neighbours in reading order: the first of equals is taken.
  static constexpr int8_t OX[8] = {-1, 0, 1, -1, 1, -1, 0, 1};
  static constexpr int8_t OY[8] = {-1, -1, -1, 0, 0, 1, 1, 1};
  Fighter& x = fighter[f];
  const int32_t rx = x.x - tx, ry = x.y - ty;
  const int32_t d = std::max(std::abs(rx), std::abs(ry)), e = rx * rx + ry * ry;
  // Each neighbour that may be taken gets a key that orders them as wanted:
  // steps left, then the square of the straight distance, then the reading
  // order. They are tried best first, and mostly the first has room.
  constexpr uint64_t NONE = UINT64_MAX;
  uint64_t keys[8];
  for (int32_t k = 0; k < 8; k++) {
    const int32_t ax = rx + OX[k], ay = ry + OY[k];
    const int32_t nd = std::max(std::abs(ax), std::abs(ay)), ne = ax * ax + ay * ay;
    const bool wanted = nd < d || (nd == d && (ne < e || sidestep));
    keys[k] = wanted ? uint64_t(nd) << 40 | uint64_t(uint32_t(ne)) << 3 | uint64_t(k) : NONE;
  }
  for (;;) {
    uint64_t best = keys[0];
    for (int32_t k = 1; k < 8; k++) best = std::min(best, keys[k]);
    if (best == NONE) return false;
    const int32_t k = int32_t(best & 7);
    const int32_t nx = x.x + OX[k], ny = x.y + OY[k];
    if (roomfor(f, nx, ny)) {
      takeoffsquare(f);
      putonsquare(f, nx, ny);
      return true;
    }
    keys[k] = NONE;
  }
}

// Moves up to the fighter's moves towards (tx, ty), stopping at `stop`
// squares from it. An attacker that climbs into the castle stops there.
// Flying units pass over others and land on the last free square of their way.
void moveto(int32_t f, int32_t tx, int32_t ty, int32_t stop) {
  Fighter& x = fighter[f];
  if (x.moves < 1) return;
  if (x.flying) {
    int32_t px = x.x, py = x.y;
    int32_t pathx[64], pathy[64], n = 0;
    for (int32_t i = 0; i < x.moves && i < 64 && distance(px, py, tx, ty) > stop; i++) {
      px += tx > px ? 1 : tx < px ? -1 : 0;
      py += ty > py ? 1 : ty < py ? -1 : 0;
      pathx[n] = px;
      pathy[n++] = py;
    }
    for (int32_t i = n - 1; i >= 0; i--)
      if (roomfor(f, pathx[i], pathy[i])) {
        takeoffsquare(f);
        putonsquare(f, pathx[i], pathy[i]);
        return;
      }
    return;
  }
  bool sidestepped = false;
  for (int32_t i = 0; i < x.moves; i++) {
    if (distance(x.x, x.y, tx, ty) <= stop) return;
    const bool outside = !incastle(x.x, x.y);
    if (!step(f, tx, ty, false)) {
      if (sidestepped || !step(f, tx, ty, true)) return;
      sidestepped = true;
    }
    if (x.side == 1 && outside && incastle(x.x, x.y)) return;   // over the wall: no further this turn
  }
}

// Runs for the back edge and leaves the field once it can reach it; a
// routing unit hemmed in for two turns slips away all the same.
void flee(int32_t f) {
  Fighter& x = fighter[f];
  const int32_t edge = backedge(x.side);
  const int32_t moves = std::max<int32_t>(1, x.moves);
  const int32_t fromx = x.x, fromy = x.y;
  for (int32_t i = 0; i < moves && x.x != edge; i++)
    if (!step(f, edge, x.y, false) && !step(f, edge, x.y, true)) break;
  const int32_t left = x.x > edge ? x.x - edge : edge - x.x;
  x.stuck = int16_t(x.x == fromx && x.y == fromy ? x.stuck + 1 : 0);
  if (left < moves || (routing(f) && x.stuck >= 2)) leavefield(f);
}

// A random enemy on a square next to the fighter, one of its group's
// target group first; -1 none.
int32_t adjacentenemy(int32_t f) {
  const Fighter& x = fighter[f];
  if ((x.side == 0 || x.side == 1) && onfield(x.x, x.y)) {
    // Most often no enemy stands next to it: the rows its enemies hold in
    // the three columns around it tell without a look at the squares.
    const std::array<uint64_t, FIELDW>& held = siderows[size_t(1 - x.side)];
    const uint64_t rows = (uint64_t(7) << x.y >> 1);
    uint64_t near = held[size_t(x.x)];
    if (x.x > 0) near |= held[size_t(x.x - 1)];
    if (x.x + 1 < FIELDW) near |= held[size_t(x.x + 1)];
    if ((near & rows) == 0) return -1;
  }
  const int32_t tg = group[x.group].targetgroup;
  int32_t found[24], n = 0, preferred[24], np = 0;
  for (int32_t dy = -1; dy <= 1; dy++)
    for (int32_t dx = -1; dx <= 1; dx++) {
      const int32_t sx = x.x + dx, sy = x.y + dy;
      if (!onfield(sx, sy)) continue;
      const int32_t s = squareof(sx, sy);
      if (squareside[s] < 0 || squareside[s] == x.side) continue;
      for (int32_t e = squarehead[s]; e >= 0; e = fighter[e].nextinsquare) {
        if (n < 24) found[n++] = e;
        if (fighter[e].group == tg && np < 24) preferred[np++] = e;
      }
    }
  if (np > 0) return preferred[np == 1 ? 0 : rnd(np)];
  if (n > 0) return found[n == 1 ? 0 : rnd(n)];
  return -1;
}

// Whether a unit of the side stands within one square of (x, y).
bool friendnear(int32_t side, int32_t x, int32_t y) {
  for (int32_t dy = -1; dy <= 1; dy++)
    for (int32_t dx = -1; dx <= 1; dx++)
      if (onfield(x + dx, y + dy) && squareside[squareof(x + dx, y + dy)] == side) return true;
  return false;
}

Blow weaponblow(int32_t f, int32_t w, int32_t loc) {
  const Weapon& wp = weapons[w];
  Blow b;
  b.dmg = wp.dmg + ((wp.flags & WF_STRENGTH) ? fighter[f].str : 0);
  b.dmgtype = wp.dmgtype;
  b.wflags = wp.flags;
  b.loc = loc;
  b.mrpen = 10;
  return b;
}

// The weapon's blow and its secondary effect; what the blow did.
int32_t weaponhit(int32_t f, int32_t t, int32_t w, int32_t loc) {
  const int32_t dealt = strike(f, t, weaponblow(f, w, loc));
  const int32_t sec = weapons[w].secondaryeffect;
  const int32_t sw = sec < 0 ? -sec : sec;
  if (sw > 0 && sw < MAXWEAPONS && validweapon(sw) && (sec < 0 || dealt > 0) && fighter[t].state == FS_FIELD) {
    Blow b = weaponblow(f, sw, loc);
    if (!(weapons[sw].flags & WF_STRENGTH)) b.dmg = weapons[sw].dmg;
    strike(f, t, b);
  }
  return dealt;
}

// Melee: every weapon strikes its number of attacks at enemies beside the
// fighter. The attack roll against the defence roll decides the hit; a hit
// by less than the shield's parry lands on the shield.
void melee(int32_t f, int32_t t) {
  Fighter& x = fighter[f];
  x.fought = 1;
  for (int32_t i = 0; i < x.nmelee; i++) {
    const int32_t w = x.meleew[i];
    const Weapon& wp = weapons[w];
    int32_t attacks = wp.nratt;
    if (attacks < 0) {
      if (bs.turn % -attacks != 0) continue;   // one blow every few turns
      attacks = 1;
    }
    if (attacks == 0) attacks = 1;
    for (int32_t a = 0; a < attacks; a++) {
      if (x.state != FS_FIELD || unit[x.unr].hp < 1) return;
      if (fighter[t].state != FS_FIELD) {
        t = adjacentenemy(f);
        if (t < 0) return;
      }
      Fighter& y = fighter[t];
      const Unit& yu = unit[y.unr];
      int32_t def = y.def - y.harass - yu.fatigue / 20;
      if (y.paralysed > 0 || yu.fatigue >= 100) def = 0;
      y.harass++;
      const int32_t attroll = x.meleeatt[i] + drn();
      const int32_t defroll = std::max<int32_t>(0, def) + drn();
      if (attroll <= defroll) {
        logevent(BEV_STRIKE, f, t, y.x, y.y, w, 0);
        continue;
      }
      const int32_t margin = attroll - defroll;
      const int32_t loc = y.shieldparry > 0 && margin <= y.shieldparry && !(wp.flags & WF_FLAIL)
                              ? LOC_SHIELD
                              : hitloc(x.unr, y.unr, wp.len);
      const bool shield = y.fireshield > 0;
      const int32_t dealt = weaponhit(f, t, w, loc);
      logevent(BEV_STRIKE, f, t, y.x, y.y, w, dealt);
      // A fire shield burns whoever strikes it in melee.
      if (shield && x.state == FS_FIELD) {
        Blow b;
        b.dmg = fighter[t].fireshield;
        b.dmgtype = 0;
        b.wflags = WF_FIRE | WF_ARMORNEGATING;
        b.loc = LOC_BODY;
        b.mrpen = 10;
        strike(t, f, b);
      }
    }
  }
}

enum FireResult { FIRED, NOAMMO, NOTARGET, BLOCKED };

// Shoots the missile weapon at the nearest enemy in range (of the target
// group first). Each missile lands on the target's square when the aim
// holds and scatters by its failure otherwise, and hits whoever stands
// where it lands, friend or foe.
FireResult fire(int32_t f) {
  Fighter& x = fighter[f];
  Unit& u = unit[x.unr];
  if (x.missilew <= 0 || u.ammo <= 0) return NOAMMO;
  const Weapon& wp = weapons[x.missilew];
  if (wp.nratt < 0 && bs.turn - x.lastshot < -wp.nratt) return FIRED;   // reloading
  const int32_t tg = grouptarget(x.group);
  int32_t t = tg >= 0 ? nearestenemy(x.side, x.x, x.y, tg, x.range) : -1;
  if (t < 0) t = nearestenemy(x.side, x.x, x.y, -1, x.range);
  if (t < 0) return NOTARGET;
  const int32_t tx = fighter[t].x, ty = fighter[t].y;
  if (friendnear(x.side, tx, ty)) return BLOCKED;
  const int32_t shots = wp.nratt > 0 ? wp.nratt : 1;
  x.lastshot = int16_t(bs.turn);
  for (int32_t s = 0; s < shots && u.ammo > 0; s++) {
    u.ammo--;
    const int32_t dist = distance(x.x, x.y, tx, ty);
    const int32_t aim = x.prec + drn() - (dist / 3 + drn());
    int32_t lx = tx, ly = ty;
    if (aim <= 0) {
      const int32_t m = std::min<int32_t>(3, 1 + -aim / 4);
      lx += rnd(2 * m + 1) - m;
      ly += rnd(2 * m + 1) - m;
    }
    int32_t victim = -1;
    if (onfield(lx, ly)) {
      int32_t here[SQUARESIZE + 1], n = 0;
      for (int32_t e = squarehead[squareof(lx, ly)]; e >= 0 && n <= SQUARESIZE; e = fighter[e].nextinsquare) here[n++] = e;
      if (n > 0) victim = here[n == 1 ? 0 : rnd(n)];
    }
    if (victim >= 0) {
      Fighter& v = fighter[victim];
      if (incastle(lx, ly) && !incastle(x.x, x.y) && rnd(2) == 0) victim = -1;      // the wall takes it
      else if (v.airshield > 0 && rnd(100) < v.airshield) victim = -1;             // blown aside
    }
    int32_t dealt = 0;
    if (victim >= 0) {
      Fighter& v = fighter[victim];
      const int32_t loc = v.shieldparry > 0 && rnd(20) < v.shieldparry ? LOC_SHIELD : hitloc(x.unr, v.unr, 0);
      dealt = weaponhit(f, victim, x.missilew, loc);
    }
    logevent(BEV_MISSILE, f, victim, lx, ly, x.missilew, dealt);
  }
  return FIRED;
}

// Moves towards the group's target and strikes when it gets there. The
// rearmost-target order first walks straight ahead until level with it. A
// unit that could not get on for two turns goes for the nearest enemy.
void advance(int32_t f) {
  Fighter& x = fighter[f];
  const int32_t tg = x.stuck >= 2 ? -1 : grouptarget(x.group);
  int32_t t = tg >= 0 ? nearestenemy(x.side, x.x, x.y, tg, FIELDW + FIELDH) : -1;
  if (t < 0) t = nearestenemy(x.side, x.x, x.y, -1, FIELDW + FIELDH);
  if (t < 0) return;
  const Fighter& y = fighter[t];
  int32_t tx = y.x, ty = y.y;
  const int32_t dx = x.x > tx ? x.x - tx : tx - x.x;
  if (group[x.group].target == 9 && !x.flying && dx > 1) ty = x.y;
  const int32_t fromx = x.x, fromy = x.y;
  moveto(f, tx, ty, 1);
  if (x.state != FS_FIELD) return;
  const int32_t e = adjacentenemy(f);
  if (e >= 0) {
    x.stuck = 0;
    melee(f, e);
  } else {
    x.stuck = int16_t(x.x == fromx && x.y == fromy ? x.stuck + 1 : 0);
  }
}

// A random enemy on the field becomes the fighter's target for this turn.
void attackrandom(int32_t f) {
  const Fighter& x = fighter[f];
  int32_t n = 0;
  for (int32_t e = 0; e < bs.nfighters; e++)
    if (fighter[e].side != x.side && fieldunit(e)) n++;
  if (n < 1) return;
  int32_t pick = rnd(n);
  for (int32_t e = 0; e < bs.nfighters; e++)
    if (fighter[e].side != x.side && fieldunit(e) && pick-- == 0) {
      moveto(f, fighter[e].x, fighter[e].y, 1);
      break;
    }
  if (fighter[f].state != FS_FIELD) return;
  const int32_t a = adjacentenemy(f);
  if (a >= 0) melee(f, a);
}

// Behind the rearmost unit of its own side that is not a commander.
void staybehind(int32_t f) {
  Fighter& x = fighter[f];
  if (x.side != 0 && x.side != 1) return;
  // The first column from the side's own back edge with a troop in it.
  const std::array<int16_t, FIELDW>& troops = troopcolumns[size_t(x.side)];
  int32_t rear = -1;
  for (int32_t k = 0; k < FIELDW && rear < 0; k++) {
    const int32_t c = x.side == 0 ? k : FIELDW - 1 - k;
    if (troops[size_t(c)] > (x.cnr < 0 && fieldunit(f) && x.x == c ? 1 : 0)) rear = c;
  }
  if (rear < 0) return;
  const int32_t want = x.side == 0 ? std::max<int32_t>(0, rear - 1) : std::min<int32_t>(FIELDW - 1, rear + 1);
  if (x.side == 0 ? x.x > want : x.x < want) moveto(f, want, x.y, 0);
}

void guard(int32_t f) {
  Fighter& x = fighter[f];
  const int32_t c = group[x.group].cnr;
  const int32_t cf = c >= 0 ? unitfighter(com[c].body) : -1;
  if (cf < 0 || !fieldunit(cf)) {
    advance(f);   // nobody left to guard
    return;
  }
  moveto(f, fighter[cf].x, fighter[cf].y, 1);
}

// A commander's battle script for the first five turns: the step of this
// turn, or -1 once the script has ended.
int32_t scriptstep(int32_t cnr, int32_t turn) {
  if (cnr < 0 || turn < 1 || turn > 5) return -1;
  for (int32_t i = 0; i < turn; i++)
    if (com[cnr].roundspell[i] == -1) return -1;
  return com[cnr].roundspell[turn - 1];
}

void act(int32_t f) {
  Fighter& x = fighter[f];
  if (!fieldunit(f)) return;
  Unit& u = unit[x.unr];
  if (u.hp < 1) return;
  if (u.batstate == BS_ROUTING) {
    flee(f);
    return;
  }
  if (x.paralysed > 0 || u.fatigue >= 100) return;
  const Group& g = group[x.group];
  const int32_t script = scriptstep(x.cnr, bs.turn);
  if (script != -1) {
    const int32_t near = adjacentenemy(f);
    if (script == -2) {
      // The new shape may be larger: it takes its place again.
      const int32_t ox = x.x, oy = x.y;
      takeoffsquare(f);
      if (shapechange(x.unr)) {
        check_item_slots(x.unr, 2);
        cachefighter(f);
      }
      placenear(f, ox, oy);
      return;
    }
    if (near >= 0 && script != -3) {
      melee(f, near);
      return;
    }
    if (script > 0 || script == 0) {
      castbattlespell(f, script);
      return;
    }
    if (script == -4) fire(f);
    if (script == -5) attackrandom(f);
    if (script == -3 && near >= 0) melee(f, near);   // holding, but not defenceless
    return;
  }
  const int32_t o = g.order;
  if (o == BO_RETREAT || (o == BO_FIREFLEE && bs.turn > 3)) {
    flee(f);
    return;
  }
  const int32_t near = adjacentenemy(f);
  if (near >= 0) {
    melee(f, near);
    return;
  }
  switch (o) {
    case BO_CAST:
      if (castbattlespell(f, 0)) return;
      staybehind(f);
      return;
    case BO_STAYBEHIND:
      if (castbattlespell(f, 0)) return;
      if (fire(f) == FIRED) return;
      staybehind(f);
      return;
    case BO_FIRE:
    case BO_FIREFLEE: {
      const FireResult r = fire(f);
      if (r == FIRED) return;
      // Out of missiles, or friends too close to the target: advance.
      if (r == NOAMMO || r == BLOCKED) advance(f);
      return;
    }
    case BO_HOLDATTACK:
      if (bs.turn <= 2) {
        fire(f);
        return;
      }
      advance(f);
      return;
    case BO_GUARD:
      guard(f);
      return;
    default:
      advance(f);
      return;
  }
}
}  // namespace

int32_t drn() { return openroll(6) + openroll(6); }

void logevent(uint8_t kind, int32_t f, int32_t target, int32_t tx, int32_t ty, int32_t what, int32_t amount) {
  if (bs.nevents >= MAXEVENTS || !battleviewhook) return;
  BattleEvent& e = battleevents[bs.nevents++];
  e.kind = kind;
  e.unr = f >= 0 ? fighter[f].unr : -1;
  e.target = target >= 0 ? fighter[target].unr : -1;
  e.tx = int16_t(tx);
  e.ty = int16_t(ty);
  e.what = int16_t(what);
  e.amount = int16_t(std::clamp<int32_t>(amount, -32768, 32767));
}

namespace {
// How many rows from row y the nearest row of the set is; 64 when it is empty.
inline int32_t rowdistance(uint64_t rows, int32_t y) {
  int32_t d = 64;
  if (const uint64_t from = rows >> y) d = __builtin_ctzll(from);
  if (const uint64_t before = rows & ((uint64_t(1) << y) - 1)) d = std::min(d, y - (63 - __builtin_clzll(before)));
  return d;
}
}  // namespace

int32_t nearestenemy(int32_t side, int32_t x, int32_t y, int32_t g, int32_t r) {
  int32_t best = -1, bestd = r + 1;
  if (g >= 0) {
    if (group[g].side == side) return -1;
    // Without a branch per fighter: one off the field is never nearer.
    for (const int32_t e : groupmembers[size_t(g)]) {
      const uint16_t at = fighterspot[size_t(e)];
      const int32_t d = distance(x, y, at >> 8, at & 0xFF) | (at == OFFFIELD ? INT32_MAX : 0);
      if (d < bestd) {
        best = e;
        bestd = d;
      }
    }
    return best;
  }
  if ((side != 0 && side != 1) || !onfield(x, y)) {
    // Not from a square of the field: every fighter in turn.
    for (int32_t e = 0; e < bs.nfighters; e++) {
      if (fighter[e].side == side || !fieldunit(e)) continue;
      const int32_t d = distance(x, y, fighter[e].x, fighter[e].y);
      if (d < bestd) {
        best = e;
        bestd = d;
      }
    }
    return best;
  }
  // The distance first: column by column outward, each column's nearest
  // held row; columns farther off than the nearest found cannot be nearer.
  const std::array<uint64_t, FIELDW>& held = siderows[size_t(1 - side)];
  for (int32_t dx = 0; dx < bestd && (x - dx >= 0 || x + dx < FIELDW); dx++) {
    if (x - dx >= 0 && held[size_t(x - dx)]) bestd = std::min(bestd, std::max(dx, rowdistance(held[size_t(x - dx)], y)));
    if (dx > 0 && x + dx < FIELDW && held[size_t(x + dx)])
      bestd = std::min(bestd, std::max(dx, rowdistance(held[size_t(x + dx)], y)));
  }
  if (bestd > r) return -1;
  // Then, of every enemy that near, the lowest-numbered: the one a walk
  // over all fighters in order finds first. They stand on the ring of
  // squares at that distance: its two end columns whole, the top and
  // bottom rows of the columns between.
  const int32_t d = bestd;
  const int32_t top = std::max(0, y - d), bottom = std::min(FIELDH - 1, y + d);
  const uint64_t endrows = ((uint64_t(1) << (bottom - top + 1)) - 1) << top;
  uint64_t edgerows = 0;
  if (y - d >= 0) edgerows |= uint64_t(1) << (y - d);
  if (y + d < FIELDH) edgerows |= uint64_t(1) << (y + d);
  for (int32_t cx = std::max(0, x - d); cx <= std::min(FIELDW - 1, x + d); cx++) {
    for (uint64_t rows = held[size_t(cx)] & (cx == x - d || cx == x + d ? endrows : edgerows); rows; rows &= rows - 1)
      for (int32_t e = squarehead[size_t(squareof(cx, __builtin_ctzll(rows)))]; e >= 0; e = fighter[e].nextinsquare)
        if (best < 0 || e < best) best = e;
  }
  return best;
}

namespace {
bool groupinfield(int32_t g) {
  for (int32_t e = group[g].first; e >= 0; e = nextingroup[size_t(e)])
    if (fieldunit(e)) return true;
  return false;
}

bool targetfits(int32_t e, int32_t code) {
  const Fighter& y = fighter[e];
  switch (code) {
    case 1: return y.cnr >= 0;
    case 2: return y.missilew > 0 && unit[y.unr].ammo > 0;
    case 3: return (y.tflags & MF_MOUNTED) != 0;
    case 4: return y.flying != 0;
    case 7: return y.nspells > 0;
    case 8: return y.size >= 4;
    default: return true;
  }
}
}  // namespace

int32_t grouptarget(int32_t g) {
  Group& gr = group[g];
  if (gr.targetgroup >= 0 && groupinfield(gr.targetgroup)) return gr.targetgroup;
  gr.targetgroup = -1;
  // Where the group stands: its first unit on the field.
  int32_t gx = -1, gy = -1;
  for (int32_t e = gr.first; e >= 0; e = nextingroup[size_t(e)])
    if (fieldunit(e)) {
      gx = fighter[e].x;
      gy = fighter[e].y;
      break;
    }
  int32_t code = gr.target;
  for (int32_t pass = 0; pass < 2; pass++) {
    int32_t n = 0, pick = -1, bestv = 0;
    for (int32_t e = 0; e < bs.nfighters; e++) {
      const Fighter& y = fighter[e];
      if (y.side == gr.side || !fieldunit(e) || !targetfits(e, code)) continue;
      n++;
      if (code == 5) {
        const int32_t d = gx >= 0 ? distance(gx, gy, y.x, y.y) : 0;
        if (pick < 0 || d < bestv) {
          pick = e;
          bestv = d;
        }
      } else if (code == 9) {
        // Rearmost: deepest in its own side of the field.
        const int32_t depth = y.side == 0 ? -y.x : y.x;
        if (pick < 0 || depth > bestv) {
          pick = e;
          bestv = depth;
        }
      }
    }
    if (n > 0) {
      if (code != 5 && code != 9) {
        int32_t k = rnd(n);
        for (int32_t e = 0; e < bs.nfighters; e++) {
          const Fighter& y = fighter[e];
          if (y.side == gr.side || !fieldunit(e) || !targetfits(e, code)) continue;
          if (k-- == 0) {
            pick = e;
            break;
          }
        }
      }
      gr.targetgroup = fighter[pick].group;
      return gr.targetgroup;
    }
    code = 0;   // nothing of the preferred kind: any enemy
  }
  return -1;
}

int32_t strike(int32_t from, int32_t target, const Blow& blow) {
  Fighter& y = fighter[target];
  if (y.state != FS_FIELD) return 0;
  Unit& u = unit[y.unr];
  if (blow.wflags & (WF_MRNEGATES | WF_MRNEGATESEASILY)) {
    const int32_t mr = y.mr + ((blow.wflags & WF_MRNEGATESEASILY) ? 2 : 0);
    if (mr + drn() > blow.mrpen + drn()) return 0;
  }
  const int32_t dt = blow.dmgtype;
  const uint32_t tf = y.tflags;
  if (dt == DT_DEMONONLY && !(tf & MF_DEMON)) return 0;
  if (dt == DT_CONSTRUCTONLY && !(tf & MF_INANIMATE)) return 0;
  if (dt == 105 && !(tf & MF_ILLUSION)) return 0;
  if (y.ethereal && (blow.wflags & WF_MUNDANE) && rnd(4) != 0) return 0;
  if (y.lucky && rnd(4) == 0) return 0;
  int32_t dmg = blow.dmg;
  if (dt == DT_HOLY && (tf & (MF_UNDEAD | MF_DEMON))) dmg *= 3;
  if (dt == DT_MAGIC && (y.tflags2 & MF2_MAGICBEING)) dmg *= 2;
  if (dt == DT_DEMON && (tf & MF_DEMON)) dmg *= 2;
  const int32_t loc = blow.loc >= LOC_HEAD && blow.loc <= LOC_SHIELD ? blow.loc : LOC_BODY;
  int32_t prot = loc == LOC_SHIELD ? y.shieldprot : y.prot[loc];
  if (blow.wflags & WF_ARMORPIERCING) prot /= 2;
  int32_t d = dmg + drn() - ((blow.wflags & WF_ARMORNEGATING) ? 0 : prot + drn());
  if (blow.wflags & WF_FIRE) {
    d -= y.res[RS_FIRE];
    if (battlerain) d /= 2;
  }
  if (blow.wflags & WF_COLD) d -= y.res[RS_COLD];
  if (blow.wflags & WF_SHOCK) d -= y.res[RS_SHOCK];
  if (d <= 0) return 0;
  if (dt == DT_STUN) {
    u.fatigue = int16_t(std::min<int32_t>(200, u.fatigue + d));
    return 0;
  }
  if (dt == DT_POISON || (blow.wflags & WF_POISON)) {
    const int32_t p = d * (100 - std::clamp<int32_t>(y.res[RS_POISON], 0, 100)) / 100;
    u.poison = int8_t(std::min<int32_t>(100, u.poison + p));
    return 0;
  }
  if (dt == DT_PARALYZE) {
    y.paralysed = int16_t(std::min<int32_t>(20, y.paralysed + d));
    return 0;
  }
  if (dt == DT_CAP) d = 1;
  u.hp = int16_t(std::max<int32_t>(-1000, u.hp - d));
  if (u.hp < 1) killfighter(target, from);
  return d;
}

void killfighter(int32_t f, int32_t killer) {
  Fighter& x = fighter[f];
  if (x.state != FS_FIELD) return;
  logevent(BEV_DEATH, f, -1, x.x, x.y, 0, 0);
  offfield(f, FS_DEAD);
  unit[x.unr].hp = 0;
  if (killer >= 0) fighter[killer].kills++;
  // The fallen of the living stay on the field, where the dead may be raised.
  if (!(x.tflags & (MF_UNDEAD | MF_INANIMATE | MF_ETHEREAL))) {
    int16_t& c = land[bs.land].corpses[1];
    if (c < 0) c = 0;
    if (c < INT16_MAX) c++;
  }
}

void routfighter(int32_t f) {
  Fighter& x = fighter[f];
  Unit& u = unit[x.unr];
  if (x.state != FS_FIELD || u.batstate == BS_ROUTING) return;
  u.batstate = BS_ROUTING;
  bs.active[x.side]--;
  x.def = int16_t(getdef(x.unr, 2));
  logevent(BEV_ROUT, f, -1, x.x, x.y, 0, 0);
}

void battleturn() {
  const int32_t n = bs.nfighters;
  for (int32_t i = 0; i < n; i++) order[i] = i;
  for (int32_t i = n - 1; i > 0; i--) std::swap(order[i], order[rnd(i + 1)]);
  for (int32_t i = 0; i < n; i++) act(order[i]);
}

void endofturn() {
  // Morale: a group that lost units this turn holds or routs together;
  // units of morale 30 or more never rout.
  for (int32_t g = 0; g < bs.ngroups; g++) {
    Group& gr = group[g];
    if ((gr.lostnow > 0 || gr.leaderlost) && !gr.routed && gr.count > 0) {
      int32_t sum = 0, n = 0;
      for (int32_t e = gr.first; e >= 0; e = nextingroup[size_t(e)])
        if (fieldunit(e) && !routing(e)) {
          sum += fighter[e].maxmorale;
          n++;
        }
      if (n > 0 && sum / n < 30) {
        const int32_t pressure = 4 + 20 * gr.lost / gr.count + std::min<int32_t>(10, 40 * gr.lostnow / gr.count) +
                                 5 * gr.leaderlost;
        if (sum / n + drn() < pressure + drn()) {
          gr.routed = 1;
          for (int32_t e = gr.first; e >= 0; e = nextingroup[size_t(e)])
            if (fieldunit(e) && fighter[e].maxmorale < 30) routfighter(e);
        }
      }
    }
    gr.lostnow = 0;
    gr.leaderlost = 0;
  }
  for (int32_t f = 0; f < bs.nfighters; f++) {
    Fighter& x = fighter[f];
    if (x.state != FS_FIELD) continue;
    Unit& u = unit[x.unr];
    if (x.regen > 0 && u.hp < x.maxhp)
      u.hp = int16_t(std::min<int32_t>(x.maxhp, u.hp + std::max<int32_t>(1, x.maxhp * x.regen / 100)));
    if (u.poison > 0) {
      u.hp = int16_t(u.hp - (1 + u.poison / 10));
      u.poison = int8_t(std::max<int32_t>(0, u.poison - 1 - u.poison / 5));
      if (u.hp < 1) {
        killfighter(f, -1);
        continue;
      }
    }
    if (x.paralysed > 0) x.paralysed--;
    if (x.fought) u.fatigue = int16_t(std::min<int32_t>(200, u.fatigue + x.enc));
    else if (u.fatigue > 0) u.fatigue--;
    if (x.reinvig > 0) u.fatigue = int16_t(std::max<int32_t>(0, u.fatigue - x.reinvig));
    x.harass = 0;
    x.fought = 0;
    endbattlestates(f, false);
  }
}
