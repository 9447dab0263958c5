// Sieges and fort construction. A besieging army wears the gates down; a
// castle without defenders falls, a siege without besiegers ends; unbroken
// gates are mended. Commanders on the build order raise a fort a month at
// a time until the fort type's building time is reached.
#include "actions/orderrules.h"
#include "host/host.h"
#include "host/hostinternal.h"
#include "host/phases.h"
#include "runtime/fatal.h"
#include "runtime/util.h"
#include "world/forts.h"
#include "world/gamedata.h"
#include "world/rules.h"
#include "world/siteentry.h"
#include "world/units.h"
#include "world/world.h"

void cancelrecruits(int32_t lnr);

namespace {

int32_t fulldefence(int32_t lnr) { return fortdef(land[size_t(lnr)].fort, lnr); }

void siege(int32_t lnr, const std::vector<int32_t>& units) {
  Land& l = land[size_t(lnr)];
  const int32_t besieger = l.owner, holder = l.fortholder;
  int32_t attack = 0, mend = 0;
  bool besiegers = false, defenders = false;
  for (int32_t u : units) {
    if (unit[size_t(u)].owner == besieger) {
      besiegers = true;
      attack += 1 + imax(getability(u, AB_SIEGEBONUS, 1), 0);
    } else if (unit[size_t(u)].owner == holder) {
      defenders = true;
      mend += imax(getability(u, AB_CASTLEDEF, 1), 0);
    }
  }
  if (!besiegers) {
    l.owner = uint8_t(holder);
    landmsg(holder, lnr, "The siege of %s has ended.", l.name);
    landmsg(besieger, lnr, "Your siege of %s has ended: no army of yours is left there.", l.name);
    return;
  }
  if (!defenders) {
    cancelrecruits(lnr);
    l.fortholder = uint8_t(besieger);
    landmsg(besieger, lnr, "The castle of %s has surrendered: no one was left to defend it.", l.name);
    landmsg(holder, lnr, "The castle of %s has fallen to %s.", l.name, nationname(besieger));
    return;
  }
  const int32_t before = l.fortdef;
  l.fortdef = int16_t(imax(0, imin(fulldefence(lnr), l.fortdef - attack / 2 + mend)));
  if (before > 0 && l.fortdef <= 0) {
    landmsg(besieger, lnr, "The gates of %s have been broken: the castle can be stormed.", l.name);
    landmsg(holder, lnr, "The gates of %s have been broken by the besiegers.", l.name);
  }
}

// A tenth of the fort's defence is mended each month without a siege.
void mend(int32_t lnr) {
  Land& l = land[size_t(lnr)];
  const int32_t full = fulldefence(lnr);
  if (l.fortdef < full) l.fortdef = int16_t(imin(full, l.fortdef + imax(full / 10, 10)));
}

int32_t buildtime(int32_t type) { return type > 0 && type < MAXFORTS ? imax(forts[size_t(type)].val[FORT_BUILDTIME], 1) : 1; }

void build(int32_t lnr, const std::vector<int32_t>& builders) {
  Land& l = land[size_t(lnr)];
  const int32_t first = builders.front();
  const int32_t p = complayer(first);
  for (int32_t c : builders)
    if (const Refusal r = orderallowed(c, Order::buildfort, com[size_t(c)].orderparam)) failorder(c, "build a fort", r);
  if (!comalive(first) || com[size_t(first)].order != Order::buildfort) return;
  if (l.fort == 0) {
    const int32_t type = com[size_t(first)].orderparam;
    if (type < 1 || type >= MAXFORTS || type != getcastle(p, lnr)) {
      failorder(first, "build a fort", "that castle cannot be built here");
      return;
    }
    l.counter = int16_t(type);
  }
  const int32_t type = l.counter;
  const int32_t months = 1 - l.fort;
  if (type < 1 || type >= MAXFORTS) {
    l.fort = 0;
    l.counter = 0;
    for (int32_t c : builders) failorder(c, "build a fort", "the work that was begun is lost");
    return;
  }
  if (months < buildtime(type)) {
    l.fort = int8_t(-imin(months, 127));
    return;
  }
  l.fort = int8_t(type);
  l.fortholder = l.owner;
  l.fortdef = int16_t(fortdef(type, lnr));
  l.counter = 0;
  for (int32_t c : builders)
    if (comalive(c) && com[size_t(c)].order == Order::buildfort) orderdone(c);
  landmsg(p, lnr, "%s has been built in %s.", forts[size_t(type)].name, l.name);
}
}  // namespace

void siegesphase() {
  const LandIndex& index = indexlands();
  for (int32_t l = 1; l <= nbrlands; l++) {
    Land& ld = land[size_t(l)];
    if (ld.fort > 0 && ld.fortholder != ld.owner) siege(l, index.units[size_t(l)]);
    else if (ld.fort > 0) mend(l);
    std::vector<int32_t> builders;
    for (int32_t c : index.coms[size_t(l)])
      if (com[size_t(c)].order == Order::buildfort) builders.push_back(c);
    if (!builders.empty()) build(l, builders);
  }
}
