// Squads under the leadership limits.
#include "actions/squads.h"

#include <algorithm>

#include "actions/moverule.h"
#include "runtime/fatal.h"
#include "world/gamedata.h"
#include "world/orders.h"
#include "world/rules.h"
#include "world/units.h"
#include "world/world.h"

void enfll(int32_t cnr) {
  if (cnr < 0 || cnr > highestcom || combody(cnr) < 0) return;
  int32_t limit[3] = {0, 0, 0};   // normal, undead, magic
  limit[0] = maxcomunits(cnr, &limit[1], &limit[2]);
  const int32_t body = combody(cnr);
  for (int32_t u = 0; u <= highestunit && u < MAXUNITS; u++) {
    if (u == body || unit[size_t(u)].hp < 1 || unit[size_t(u)].comnr >= 0 || !comleadsunit(u, cnr)) continue;
    const int32_t m = unit[size_t(u)].type;
    bailif(m < 0 || m >= MAXUNITTYPES, "enfll: bad m");
    const uint32_t f2 = unittypes[size_t(m)].flags2;
    const int32_t kind = (f2 & MF2_UNDEADCLASS) ? 1 : (f2 & MF2_MAGICBEING) ? 2 : 0;
    if (--limit[kind] < 0) setunitsquad(u, -1);
  }
}


// ---------------------------------------------------------------- joining squads

SquadDefaults squaddefaults;

int32_t leadkind(const Monster& t) {
  if (t.flags2 & MF2_UNDEADCLASS) return 1;
  if (t.flags2 & MF2_MAGICBEING) return 2;
  return 0;
}

namespace {
constexpr const char* KINDWORD[3] = {"troops", "undead", "magic beings"};

bool validcom(int32_t c) { return c >= 0 && c < MAXCOMS && com[size_t(c)].body >= 0 && com[size_t(c)].body < MAXUNITS; }
bool alive(int32_t u) { return u >= 0 && u < MAXUNITS && unit[size_t(u)].hp > 0; }
const Monster* unittype(int32_t u) { return typerec(unit[size_t(u)].type); }

// How far a join got before it was refused: a join refused by the band or
// the leadership still draws a new squad's number and sets up its slot, as
// it always has, so that the numbers of later squads stay the same.
enum JoinStage { JOIN_EARLY, JOIN_BAND, JOIN_ROOM, JOIN_OK };
struct JoinCheck {
  Refusal why;
  JoinStage stage = JOIN_EARLY;
  int32_t freeslot = -1;   // the slot a new squad takes (squad -1), -1 none
};

JoinCheck checkjoin(int32_t u, int32_t c, int32_t s) {
  if (!validcom(c) || !alive(com[size_t(c)].body) || u < 0 || u >= MAXUNITS || !unittype(u))
    return {refuse("No commander to join")};
  const Commander& cm = com[size_t(c)];
  const Unit& x = unit[size_t(u)];
  const Unit& body = unit[size_t(cm.body)];
  if (x.land != body.land) return {refuse("The unit stands in another province")};
  if (s != -1) {
    const int32_t first = firstsquadunit(s);
    if (first >= 0 && first != u && unit[size_t(first)].land != x.land)
      return {refuse("That squad stands in another province")};
  }
  JoinCheck r;
  if (s == -1) {
    for (int32_t k = 0; k < 5 && r.freeslot < 0; k++)
      if (cm.squad[k] == -1) r.freeslot = k;
  } else if (std::find(cm.squad, cm.squad + 5, s) == cm.squad + 5) {
    r.why = refuse("%s does not lead that squad", comshownname(c));
    return r;
  }
  if (body.homeland == -2) {
    r.why = refuse("A mercenary commander leads only its band");
    r.stage = JOIN_BAND;
    return r;
  }
  int32_t led[3] = {0, 0, 0}, most[3] = {0, 0, 0};
  led[0] = comunits(c, &led[1], &led[2]);
  most[0] = maxcomunits(c, &most[1], &most[2]);
  const int32_t kind = leadkind(*unittype(u));
  // Counted as if the unit had left its squad first.
  if (alive(u) && x.squad != -1 && std::find(cm.squad, cm.squad + 5, x.squad) != cm.squad + 5) led[kind]--;
  if (led[kind] >= most[kind]) {
    r.why = refuse("%s cannot lead more %s", comshownname(c), KINDWORD[kind]);
    r.stage = JOIN_ROOM;
    return r;
  }
  r.stage = JOIN_OK;
  return r;
}
}  // namespace

Refusal canjoinsquad(int32_t u, int32_t c, int32_t s) { return checkjoin(u, c, s).why; }

Refusal joinsquad(int32_t u, int32_t c, int32_t s, int32_t leaveout) {
  bailif(u < 0 || u >= MAXUNITS, "tu1");
  Unit& x = unit[size_t(u)];
  const int32_t former = x.squad;
  setunitsquad(u, -1);
  if (c < 0) return {};
  const JoinCheck check = checkjoin(u, c, s);
  Commander& cm = com[size_t(c)];
  if (check.stage != JOIN_EARLY && check.freeslot >= 0) {
    // The new squad's slot is set up before the band and the leadership are
    // asked, and keeps its defaults when they refuse (the squad stays -1).
    const int32_t k = check.freeslot;
    const int32_t drawn = newsquadnbr(unit[size_t(cm.body)].owner);
    cm.sqx[k] = squaddefaults.x;
    cm.sqy[k] = squaddefaults.y;
    cm.sqorder[k] = squaddefaults.order;
    cm.sqtarget[k] = squaddefaults.target;
    if (check.stage == JOIN_OK) {
      s = drawn;
      cm.squad[k] = s;
    }
  } else if (check.stage == JOIN_OK && s == -1) {
    s = cm.squad[0];
  }
  if (check.why) {
    // A mercenary commander's refusal leaves the unit out whatever leaveout says.
    if (!leaveout && check.stage != JOIN_BAND) setunitsquad(u, former);
    return check.why;
  }
  setunitsquad(u, s);
  if (cm.order == Order::sneak && getstealth(u) < 1) {
    const int32_t l = unit[size_t(cm.body)].land;
    const bool foreign = l < 0 || l >= MAXLANDS || land[size_t(l)].owner != x.owner;
    cm.order = foreign ? Order::defend : Order::move;
  }
  if ((cm.order == Order::move || cm.order == Order::sneak || cm.order == Order::movepatrol) && !mapmove(c, cm.orderparam, 0))
    cm.order = Order::defend;
  return {};
}

Refusal canlead(int32_t c, int32_t u) {
  if (!validcom(c) || !alive(com[size_t(c)].body) || !alive(u) || !unittype(u)) return refuse("No commander to join");
  int32_t most[3] = {0, 0, 0};
  most[0] = maxcomunits(c, &most[1], &most[2]);
  const int32_t kind = leadkind(*unittype(u));
  if (most[kind] <= 0) return refuse("%s cannot lead %s", comshownname(c), KINDWORD[kind]);
  return {};
}
