// Recruitment: the queues the players filled (and paid for) become units and
// commanders, as far as the province's resources go this month; the rest
// waits for the next month. What can no longer be recruited is refunded.
#include <cstring>

#include "host/host.h"
#include "host/hostinternal.h"
#include "host/phases.h"
#include "runtime/fatal.h"
#include "runtime/rnd.h"
#include "runtime/util.h"
#include "world/economy.h"
#include "world/gamedata.h"
#include "world/grammar.h"
#include "world/recruit.h"
#include "world/rules.h"
#include "world/scores.h"
#include "world/units.h"
#include "world/world.h"

namespace {

void refund(int32_t p, int32_t type) {
  if (p < 0 || p >= MAXKINGDOMS || type < 0 || type >= MAXUNITTYPES) return;
  const int64_t g = int64_t(kingdom[size_t(p)].gold) + unittypes[size_t(type)].gcost;
  kingdom[size_t(p)].gold = int32_t(g > INT32_MAX ? INT32_MAX : g);
}

bool inslist(int32_t type) {
  for (int32_t i = 0; i <= slistlast; i++)
    if (slist[size_t(i)] == type) return true;
  return false;
}

// Why nothing can be recruited in the land now, or null.
const char* recruitbarred(const Land& l) {
  if (l.owner != l.fortholder) return "the province is besieged";
  if (l.unrest > 99) return "the unrest is too high";
  return nullptr;
}

}  // namespace

void namecommander(int32_t cnr) {
  if (cnr < 0 || cnr >= MAXCOMS || combody(cnr) < 0) return;
  const int32_t type = unit[size_t(com[size_t(cnr)].body)].type;
  int32_t nt = type >= 0 && type < MAXUNITTYPES ? unittypes[size_t(type)].nametype : 0;
  if (nt <= 0) nt = gettypeability(type, AB_NAMETYPE, -1);
  if (nt > 0 && nt < MAXNAMETYPES && personalnames[size_t(nt)].count > 0) {
    const PersonalNameList& list = personalnames[size_t(nt)];
    strlcopy(com[size_t(cnr)].name, list.names[size_t(rnd(imin(list.count, MAXPERSONALNAMES)))], 36);
  } else if (type >= 0 && type < MAXUNITTYPES) {
    strlcopy(com[size_t(cnr)].name, unittypes[size_t(type)].name, 36);
  }
}

void cancelrecruits(int32_t lnr) {
  if (lnr < 0 || lnr >= MAXLANDS) return;
  Land& l = land[size_t(lnr)];
  const int32_t p = l.fortholder;
  if (l.comqueued == 1) refund(p, l.queuedcomtype);
  for (int32_t i = 0; i < imin(imax(l.queuecount, 0), 100); i++) refund(p, l.queue[i]);
  l.comqueued = 0;
  l.queuecount = 0;
}

void recruitphase() {
  for (int32_t lnr = 1; lnr <= nbrlands; lnr++) {
    Land& l = land[size_t(lnr)];
    if (l.comqueued != 1 && l.queuecount <= 0) continue;
    const int32_t p = l.fortholder;
    if (!activeplayer(p)) {
      l.comqueued = 0;
      l.queuecount = 0;
      continue;
    }
    if (const char* why = recruitbarred(l)) {
      cancelrecruits(lnr);
      landmsg(p, lnr, "Recruitment in %s was cancelled and paid back: %s.", l.name, why);
      continue;
    }
    int32_t budget = getresources(lnr, p);
    int32_t made = 0, refunded = 0;
    char comname[40] = {};
    if (l.comqueued == 1) {
      const int32_t t = l.queuedcomtype;
      createslist(lnr, 10);
      if (!inslist(t)) {
        refund(p, t);
        l.comqueued = 0;
        refunded++;
      } else if (budget - unitrescost(t) >= 0) {
        budget -= unitrescost(t);
        const int32_t c = placecommander(t, p, lnr);
        if (c >= 0) {
          strlcopy(comname, com[size_t(c)].name, sizeof comname);
          l.comqueued = 0;
        }
      } else {
        budget = -1;   // the commander comes first; the units wait for it
      }
    }
    createslist(lnr, 0);
    int32_t kept = 0;
    const int32_t n = imin(imax(l.queuecount, 0), 100);
    for (int32_t i = 0; i < n; i++) {
      const int32_t t = l.queue[i];
      if (!inslist(t)) {
        refund(p, t);
        refunded++;
        continue;
      }
      if (budget >= 0 && budget - unitrescost(t) >= 0) {
        budget -= unitrescost(t);
        const int32_t u = newunit(t, p, 0);
        if (u >= 0) {
          setunitland(u, lnr);
          unit[size_t(u)].homeland = int16_t(lnr);
          made++;
          continue;
        }
      }
      // Over this month's resources: it stays queued, in order.
      budget = -1;
      l.queue[kept++] = int16_t(t);
    }
    l.queuecount = int16_t(kept);
    if (made > 0 || comname[0])
      landmsg(p, lnr, "Recruitment in %s: %d units%s%s.", l.name, made, comname[0] ? " and the commander " : "",
              comname);
    if (refunded > 0)
      landmsg(p, lnr, "%d recruits could not be raised in %s any more; their gold was paid back.", refunded, l.name);
  }
}
