// Small services shared by the host phases: who plays, who fights whom,
// armies and their units, messages about lands and failed orders.
#include <cstdarg>
#include <cstdio>

#include "ai/ai.h"
#include "host/host.h"
#include "host/hostinternal.h"
#include "host/phases.h"
#include "runtime/fatal.h"
#include "runtime/util.h"
#include "world/gamedata.h"
#include "world/rules.h"
#include "world/siteentry.h"
#include "world/units.h"
#include "world/world.h"

std::vector<PendingBattle> pendingbattles;
char hostedgame[100] = {};
std::vector<int32_t> destroyedthisturn;

bool activeplayer(int32_t p) {
  if (p < 0 || p >= MAXPLAYERS) return false;
  const uint16_t c = uint16_t(kingdom[size_t(p)].w[KW_CONTROLLER]);
  return c == CTRL_HUMAN || c == CTRL_AI;
}

const LandIndex& indexlands() {
  static LandIndex index;
  index.units.assign(MAXLANDS, {});
  index.coms.assign(MAXLANDS, {});
  for (int32_t u = 0; u <= highestunit; u++) {
    const Unit& x = unit[size_t(u)];
    if (x.hp >= 1 && x.land >= 0 && x.land < MAXLANDS) index.units[size_t(x.land)].push_back(u);
  }
  for (int32_t c = 0; c <= highestcom; c++) {
    const int32_t l = comland(c);
    if (l >= 0 && l < MAXLANDS) index.coms[size_t(l)].push_back(c);
  }
  return index;
}

const char* nationname(int32_t p) {
  if (p == INDEPENDENTS) return "the independents";
  if (p < 0 || p >= MAXNATIONS) return "an unknown power";
  return nations[size_t(p)].name;
}

int32_t landmsg(int32_t player, int32_t lnr, const char* format, ...) {
  if (player < 0 || player >= MAXPLAYERS || !activeplayer(player)) return -1;
  const int32_t m = newmsg(lnr >= 1 ? lnr : -1, player, lnr >= 1 ? MT_LANDLINK : MT_PLAIN, lnr);
  if (m < 0) return -1;
  char text[MSGLEN];
  va_list args;
  va_start(args, format);
  vsnprintf(text, sizeof text, format, args);
  va_end(args);
  t2msg(m, "%s", text);
  return m;
}

void addgold(int32_t p, int64_t gold) {
  const int64_t g = int64_t(kingdom[size_t(p)].gold) + gold;
  kingdom[size_t(p)].gold = int32_t(g < 0 ? 0 : g > INT32_MAX ? INT32_MAX : g);
}

int32_t placeunits(int32_t type, int32_t owner, int32_t count, int32_t lnr, int32_t squad) {
  if (type < 1 || type >= MAXUNITTYPES || !isusedunittype(type)) return 0;
  int32_t made = 0;
  for (int32_t i = 0; i < count; i++) {
    const int32_t u = newunit(type, owner, 0);
    if (u < 0) break;
    setunitland(u, lnr);
    unit[size_t(u)].homeland = int16_t(lnr);
    setunitsquad(u, squad);
    made++;
  }
  return made;
}

int32_t placecommander(int32_t type, int32_t owner, int32_t lnr) {
  const int32_t c = newcom(type, owner);
  if (c < 0) return -1;
  const int32_t b = com[size_t(c)].body;
  setunitland(b, lnr);
  unit[size_t(b)].homeland = int16_t(lnr);
  namecommander(c);
  ccm(c);
  return c;
}

void orderdone(int32_t cnr) {
  if (cnr < 0 || cnr >= MAXCOMS) return;
  Commander& c = com[size_t(cnr)];
  c.order = Order::defend;
  c.orderparam = 0;
  c.ordergems[0] = c.ordergems[1] = 0;
}

namespace {
void failwith(int32_t cnr, const char* what, const char* why, const char* end) {
  const int32_t p = complayer(cnr);
  // A commander bound to its order (ability 310) keeps it.
  cancelorder(cnr);
  if (p >= 0) landmsg(p, comland(cnr), "%s could not %s: %s%s", comshownname(cnr), what, why, end);
}
}  // namespace

void failorder(int32_t cnr, const char* what, const char* why) { failwith(cnr, what, why, "."); }

// The rule's sentence is told as the order menu tells it, its own stop kept.
void failorder(int32_t cnr, const char* what, const Refusal& refused) { failwith(cnr, what, refused.why.c_str(), ""); }

// The computer players' call point: the driver of ai/ai.h gives each
// computer nation its orders and queues, as a human's order file would,
// before any order of the month is carried out. It works on the loaded
// world alone and draws only from the hosting's own generator, so the same
// files still give the same turn.
void computerplayersphase() {
  auto computer = [](int32_t p) { return uint16_t(kingdom[size_t(p)].w[KW_CONTROLLER]) == CTRL_AI; };
  bool any = false;
  for (int32_t p = 0; p < MAXPLAYERS; p++)
    if (computer(p)) any = true, computerplayerbonus(p);
  if (!any) return;
  // Their orders are checked as an order file is, against the world as it
  // stands now.
  beginordercheck();
  for (int32_t p = 0; p < MAXPLAYERS; p++)
    if (computer(p)) {
      computerplayerturn(p);
      checkorders(p);
    }
}
