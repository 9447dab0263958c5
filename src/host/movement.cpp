// Movement and the meetings it makes: every army with a move order marches
// at once from where it stood; patrols look for hidden enemies; armies that
// enter or attack a hostile province, storm a castle, break a siege or send
// an assassin make the battles of the month, which the battles phase fights
// in the order they arose. A province without defenders falls without a
// battle; one whose defenders hold a castle is besieged.
#include <algorithm>

#include "actions/moverule.h"
#include "actions/orderrules.h"
#include "host/host.h"
#include "host/hostinternal.h"
#include "host/phases.h"
#include "runtime/fatal.h"
#include "runtime/rnd.h"
#include "runtime/util.h"
#include "world/forts.h"
#include "world/gamedata.h"
#include "world/movement.h"
#include "world/rules.h"
#include "world/siteentry.h"
#include "world/units.h"
#include "world/world.h"

void cancelrecruits(int32_t lnr);

namespace {

struct March {
  int32_t cnr, player, from, to;
  bool sneak;
  std::vector<int32_t> units;
};

bool hidden(int32_t cnr) { return com[size_t(cnr)].order == Order::sneak; }

// The destination of a moving order, or 0.
int32_t destination(int32_t cnr) {
  const Commander& c = com[size_t(cnr)];
  if (c.order != Order::move && c.order != Order::movepatrol && c.order != Order::sneak) return 0;
  return c.orderparam != comland(cnr) ? c.orderparam : 0;
}

std::vector<March> plannedmarches() {
  std::vector<March> marches;
  for (int32_t c = 0; c <= highestcom; c++) {
    if (!comalive(c)) continue;
    const int32_t to = destination(c);
    if (to == 0) continue;
    const int32_t p = complayer(c), from = comland(c);
    char what[120];
    formatbounded(what, sizeof what, "move%s", com[size_t(c)].order == Order::sneak ? " unseen" : "");
    if (to < 1 || to > nbrlands || from < 1 || from > nbrlands) {
      failorder(c, what, "there is no such province");
      continue;
    }
    if (com[size_t(c)].order == Order::sneak && !maysneak(c)) {
      failorder(c, what, "the army cannot move unseen");
      continue;
    }
    if (!mapmove(c, to, 0)) {
      failorder(c, what, "the way there is closed or too long for the army");
      continue;
    }
    marches.push_back({c, p, from, to, com[size_t(c)].order == Order::sneak, armyunits(c)});
  }
  return marches;
}

void queuebattle(int32_t lnr, int32_t defender, int32_t attacker, int32_t incastle, int32_t kind) {
  for (const PendingBattle& b : pendingbattles)
    if (b.land == lnr && b.attacker == attacker && b.defender == defender && b.kind == kind) return;
  pendingbattles.push_back({lnr, defender, attacker, incastle, 0, kind, {}});
}

// Patrols of the province's owner find hidden armies of its enemies.
void patrol(int32_t lnr, const std::vector<int32_t>& coms) {
  const int32_t owner = land[size_t(lnr)].owner;
  int32_t strength = 0;
  for (int32_t c : coms)
    if (com[size_t(c)].order == Order::patrol && complayer(c) == owner)
      for (int32_t u : armyunits(c)) strength += 1 + getability(u, AB_PATROLBONUS, 1);
  if (strength == 0) return;
  for (int32_t c : coms) {
    if (!hidden(c) || !hostile(owner, complayer(c))) continue;
    const int32_t size = int32_t(armyunits(c).size());
    const int32_t chance = imax(5, imin(95, 100 * strength / (strength + 4 * size)));
    if (rnd(100) >= chance) continue;
    orderdone(c);   // found: no longer hidden
    landmsg(owner, lnr, "Your patrols have found an army of %s hiding in %s.", nationname(complayer(c)),
            land[size_t(lnr)].name);
    queuebattle(lnr, owner, complayer(c), 0, BK_PATROL);
  }
}

// Orders that raise battles where the commander stands.
void standingbattles(int32_t lnr, const std::vector<int32_t>& coms) {
  const Land& l = land[size_t(lnr)];
  for (int32_t c : coms) {
    const int32_t p = complayer(c);
    switch (com[size_t(c)].order) {
      case Order::attack:
        orderdone(c);
        if (hostile(l.owner, p)) queuebattle(lnr, l.owner, p, 0, BK_ATTACK);
        break;
      case Order::storm: {
        char task[120];
        formatbounded(task, sizeof task, "storm the castle of %s", l.name);
        if (const Refusal r = orderallowed(c, Order::storm, 0)) {
          failorder(c, task, r);
          break;
        }
        orderdone(c);
        // The castle is stormed from a siege of the nation's own province.
        if (l.owner != p || !hostile(l.fortholder, p)) landmsg(p, lnr, "%s could not %s: the nation does not besiege it.", comshownname(c), task);
        else queuebattle(lnr, l.fortholder, p, 1, BK_STORM);
        break;
      }
      case Order::breaksiege:
        if (const Refusal r = orderallowed(c, Order::breaksiege, 0)) {
          failorder(c, "break the siege", r);
          break;
        }
        orderdone(c);
        if (hostile(l.owner, p)) queuebattle(lnr, l.owner, p, 0, BK_BREAKSIEGE);
        break;
      case Order::assassinate: {
        if (const Refusal r = orderallowed(c, Order::assassinate, 0)) {
          failorder(c, "assassinate", r);
          break;
        }
        orderdone(c);
        std::vector<int32_t> targets;
        for (int32_t t : coms)
          if (hostile(p, complayer(t)) && !hidden(t)) targets.push_back(t);
        if (targets.empty()) {
          landmsg(p, lnr, "%s found no one to assassinate in %s.", comshownname(c), l.name);
          break;
        }
        const int32_t t = targets[size_t(rnd(int32_t(targets.size())))];
        pendingbattles.push_back(
            {lnr, complayer(t), p, 0, 1, BK_ASSASSIN, {com[size_t(t)].body, com[size_t(c)].body}});
        break;
      }
      default:
        break;
    }
  }
}

}  // namespace

void conquerland(int32_t lnr, int32_t player) {
  bailif(lnr < 1 || lnr >= MAXLANDS, "conquerland: bad lnr");
  bailif(player < 0 || player >= MAXKINGDOMS, "conquerland: bad player");
  Land& l = land[size_t(lnr)];
  const int32_t was = l.owner;
  if (l.fort > 0) {
    if (l.fortholder != player) cancelrecruits(lnr);
    l.owner = uint8_t(player);
  } else {
    cancelrecruits(lnr);
    l.owner = l.fortholder = uint8_t(player);
    l.temple = 0;
    l.fort = 0;
  }
  // The defence bought goes with the province, and with it the mark of what
  // was bought before this turn (else the new owner's orders look unpaid).
  l.provdef = 0;
  l.small[1] = 0;
  l.counter = 0;
  l.tax = 100;
  l.reserved &= int16_t(~LF_AUTOTAX);
  l.vpword |= 0x10;
  l.unrest = int16_t(imax(l.unrest, openrolls(6, 2) + 5));
  if (was != player) {
    landmsg(player, lnr, "%s has been conquered.", l.name);
    landmsg(was, lnr, "%s has been conquered by %s.", l.name, nationname(player));
  }
}

void movephase() {
  const std::vector<March> marches = plannedmarches();
  // Every army marches at once, from where it stood.
  for (const March& m : marches) {
    for (int32_t u : m.units) setunitland(u, m.to);
    Commander& c = com[size_t(m.cnr)];
    if (c.order == Order::movepatrol) {
      orderdone(m.cnr);
      c.order = Order::patrol;
    } else if (c.order == Order::sneak) {
      c.orderparam = 0;   // hiding where it arrived
    } else {
      orderdone(m.cnr);
    }
  }
  unlinkstrayunits();
  clearemptysquads();
  const LandIndex& index = indexlands();
  for (int32_t l = 1; l <= nbrlands; l++) patrol(l, index.coms[size_t(l)]);
  // Armies that entered a hostile province attack it, in the order they came.
  for (const March& m : marches) {
    if (m.sneak || !comalive(m.cnr) || comland(m.cnr) != m.to || hidden(m.cnr)) continue;
    if (hostile(land[size_t(m.to)].owner, m.player)) queuebattle(m.to, land[size_t(m.to)].owner, m.player, 0, BK_INVASION);
  }
  for (int32_t l = 1; l <= nbrlands; l++) standingbattles(l, index.coms[size_t(l)]);
}

void battlesphase() {
  // Between the battles only their provinces are looked at: everyone else
  // is set aside once for all of them, so that each battle sets aside only
  // the others' forces (the battles are fought exactly as with the whole
  // world set aside each time).
  std::vector<int32_t> fields;
  for (const PendingBattle& b : pendingbattles) fields.push_back(b.land);
  const bool once = unitindexused && !fields.empty();
  if (once) setunitsaside(fields);
  for (size_t i = 0; i < pendingbattles.size(); i++) {
    const PendingBattle b = pendingbattles[i];
    Land& l = land[size_t(b.land)];
    const int32_t a = b.attacker;
    if (unitsin(b.land, a).empty()) continue;   // beaten or gone since
    switch (b.kind) {
      case BK_INVASION:
      case BK_ATTACK: {
        const int32_t d = l.owner;
        if (!hostile(d, a)) break;
        if (l.fort > 0 && l.fortholder == d) {
          // The defenders withdraw behind their walls.
          conquerland(b.land, a);
          landmsg(a, b.land, "Your army lays siege to the castle of %s.", l.name);
          landmsg(d, b.land, "%s lays siege to the castle of %s.", nationname(a), l.name);
          break;
        }
        // Hidden armies of the owner do not defend.
        std::vector<int32_t> apart;
        for (int32_t c : commandersin(b.land, d))
          if (hidden(c))
            for (int32_t u : armyunits(c)) apart.push_back(u);
        bool defended = l.provdef > 0 && d != INDEPENDENTS;
        for (int32_t u : unitsin(b.land, d))
          if (std::find(apart.begin(), apart.end(), u) == apart.end()) defended = true;
        const int32_t winner = defended ? fightbattle(b.land, d, a, 0, 0, apart) : a;
        if (winner == a) conquerland(b.land, a);
        break;
      }
      case BK_PATROL:
        if (!unitsin(b.land, b.defender).empty()) fightbattle(b.land, b.defender, a, 0, 0, {});
        break;
      case BK_STORM:
        if (l.fort > 0 && l.fortholder == b.defender && l.owner == a && fightbattle(b.land, b.defender, a, 1, 0, {}) == a) {
          cancelrecruits(b.land);
          l.fortholder = uint8_t(a);
          landmsg(a, b.land, "The castle of %s has been stormed and taken.", l.name);
          landmsg(b.defender, b.land, "The castle of %s has been stormed by %s.", l.name, nationname(a));
        }
        break;
      case BK_BREAKSIEGE:
        if (l.fort > 0 && l.fortholder == a && l.owner == b.defender && fightbattle(b.land, b.defender, a, 0, 0, {}) == a) {
          l.owner = uint8_t(a);
          landmsg(a, b.land, "The siege of %s has been broken.", l.name);
          landmsg(b.defender, b.land, "The siege of %s has been broken by %s.", l.name, nationname(a));
        }
        break;
      case BK_ASSASSIN: {
        // Only the assassin and the target fight: everyone else stands apart.
        std::vector<int32_t> apart;
        for (int32_t u : unitsin(b.land, -1))
          if (std::find(b.units.begin(), b.units.end(), u) == b.units.end()) apart.push_back(u);
        bool present = true;
        for (int32_t u : b.units) present = present && unit[size_t(u)].hp >= 1 && unit[size_t(u)].land == b.land;
        BattleTerms alone;
        alone.provdef = false;
        if (present) fightbattle(b.land, b.defender, a, 0, 1, apart, alone);
        break;
      }
      default:
        break;
    }
  }
  if (once) takeunitsback();
  pendingbattles.clear();
  unlinkstrayunits();
  clearemptysquads();
}
