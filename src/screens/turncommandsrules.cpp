// The rules behind the commands of the main turn screen: the selection of
// commanders by cards, ranges, armies, all or none and the next idle one,
// the right and left clicks on the map, the map filter keys, the order keys
// and the commanders they act on, and the paging and scale of the cards.
// No window: turncommands.cpp maps ids to these and opens the screens.
#include "actions/moverule.h"
#include "mapview/overlay.h"
#include "runtime/settings.h"
#include "runtime/util.h"
#include "screens/orders.h"
#include "screens/turnscreen.h"
#include "world/gamedata.h"
#include "world/movement.h"
#include "world/provinfo.h"
#include "world/recruit.h"
#include "world/rules.h"
#include "world/siteentry.h"
#include "world/units.h"
#include "world/world.h"

namespace {
bool inprovince(int32_t c, int32_t k, int32_t l) {
  const int32_t b = combody(c);
  return b >= 0 && unit[size_t(b)].hp >= 1 && unit[size_t(b)].owner == k && unit[size_t(b)].land == l;
}

int32_t selectedindex(int32_t c) {
  for (int32_t i = 0; i <= selectedcoms.last; i++)
    if (selectedcoms.nr[size_t(i)] == c) return i;
  return -1;
}

void unselect(int32_t i) {
  for (int32_t j = i; j < selectedcoms.last; j++) selectedcoms.nr[size_t(j)] = selectedcoms.nr[size_t(j + 1)];
  selectedcoms.last--;
}

// The army number a commander gets when it joins the selection: none when
// it is the only one selected, else the selection's (or a free one).
void joinarmy(int32_t c) {
  if (selectedcoms.last == 0) {
    com[size_t(c)].armynr = 0;
    return;
  }
  const int32_t army = selarmynr();
  com[size_t(c)].armynr = uint16_t(army ? army : getfreearmynr(turnscreen.nation));
}
}  // namespace

bool selectable(int32_t c, int32_t k) {
  const int32_t b = combody(c);
  return b >= 0 && unit[size_t(b)].hp >= 1 && unit[size_t(b)].owner == k && getability(b, AB_FIXEDORDER, 1) <= 0;
}

void cardclick(int32_t c, ClickKeys keys) {
  TurnScreen& ts = turnscreen;
  const int32_t k = ts.nation, l = ts.current;
  const int32_t at = selectedindex(c);
  if (at >= 0) {
    unselect(at);
    if (!keys.ctrl) selectedcoms.last = -1;
    else com[size_t(c)].armynr = 0;
    return;
  }
  if (keys.ctrl) {
    ts.lastclicked = c;
    if (selectedcoms.last < SELECTSIZE - 1 && selectcom(c) >= 0) joinarmy(c);
    return;
  }
  if (keys.shift && selectedcoms.last >= 0) {
    const int32_t from = ts.lastclicked >= 0 ? ts.lastclicked : selectedcoms.nr[0];
    const int32_t lo = imin(from, c), hi = imax(from, c);
    for (int32_t x = lo; x <= hi && x < MAXCOMS; x++)
      if (inprovince(x, k, l) && selectcom(x) >= 0) joinarmy(x);
    return;
  }
  if (keys.alt) selectkind(c);
  else selectarmy(c);
}

void selectallorno() {
  TurnScreen& ts = turnscreen;
  const int32_t k = ts.nation, l = ts.current;
  int32_t n = 0, already = 0, fixed = 0;
  for (int32_t c = 0; c <= highestcom && c < MAXCOMS; c++) {
    if (!inprovince(c, k, l)) continue;
    com[size_t(c)].armynr = 0;
    n++;
    already += selectedindex(c) >= 0;
    fixed += getability(com[size_t(c)].body, AB_FIXEDORDER, 1) > 0;
  }
  selectedcoms.last = -1;
  const int32_t army = getfreearmynr(k);
  ts.lastclicked = -1;
  if (already >= n - fixed) return;
  for (int32_t c = 0; c <= highestcom && c < MAXCOMS; c++)
    if (inprovince(c, k, l) && selectable(c, k) && selectcom(c) >= 0) com[size_t(c)].armynr = uint16_t(army);
}

int32_t nextidle() {
  TurnScreen& ts = turnscreen;
  const int32_t k = ts.nation;
  auto idle = [&](int32_t c) {
    if (!selectable(c, k)) return false;
    const Commander& cm = com[size_t(c)];
    return cm.order == Order::defend || (cm.order == Order::sneak && cm.orderparam < 1);
  };
  auto search = [&](int32_t l, int32_t from) {
    for (int32_t c = from; c <= highestcom && c < MAXCOMS; c++)
      if (idle(c) && unit[size_t(com[size_t(c)].body)].land == l) return c;
    return -1;
  };
  int32_t found = -1;
  for (int32_t l = ts.current; l <= nbrlands && found < 0; l++)
    found = search(l, l == ts.current && selectedcoms.last >= 0 ? selectedcoms.nr[0] + 1 : 0);
  for (int32_t l = 1; l <= ts.current && found < 0; l++) found = search(l, 0);
  if (found < 0) return -1;
  ts.gotoprov = unit[size_t(com[size_t(found)].body)].land;
  ts.focus = found;
  return found;
}

void mapselect(int32_t lnr) {
  TurnScreen& ts = turnscreen;
  if (lnr >= 1 && lnr <= nbrlands) {
    ts.current = lnr;
    selectedcoms.last = -1;
    for (int32_t c = 0; c <= highestcom && c < MAXCOMS; c++) com[size_t(c)].arrowtime = 0;
  }
  ts.firstcard = 0;
  ts.lastclicked = -1;
}

uint32_t filterkeyword(uint32_t w, int32_t key) {
  switch (key) {
    case 1: return (w & MAPF_FLAGS) ? w ^ (MAPF_FLAGS | MAPF_FORTS) : w | MAPF_FLAGS | MAPF_FORTS;
    case 2: return (w & MAPF_ARMIES) ? w ^ (MAPF_ARMIES | MAPF_ARROWS) : w | MAPF_ARMIES | MAPF_ARROWS;
    case 3: return w ^ MAPF_VEYRANCE;
    case 4: return w ^ MAPF_INCOME;
    case 5: return (w & MAPF_MARKERS) ? w ^ (MAPF_MARKERS | MAPF_TEMPLES) : w | MAPF_MARKERS | MAPF_TEMPLES;
    case 8: return w ^ MAPF_NEIGHBOURS;
    case 9: return w ^ MAPF_NAMES;
    default: return w;
  }
}

int32_t orderkeyrequest(int32_t key, bool ownground) {
  // Z hands over the blood slaves; P preaches, at home or abroad (both rows
  // carry the key); every other key is its order's in the order table.
  if (key == 'Z') return int32_t(MenuChoice::bloodslaves);
  if (key == 'P') return int32_t(ownground ? Order::preach : Order::enemypreach);
  for (const OrderInfo& r : orderinfo)
    if (key != 0 && r.key == key) return int32_t(r.code);
  return -1;
}

std::vector<int32_t> ordertargets(int32_t hover) {
  const int32_t k = turnscreen.nation;
  std::vector<int32_t> out;
  if (selectedcoms.last >= 0) {
    for (int32_t i = 0; i <= selectedcoms.last; i++)
      if (comowner(selectedcoms.nr[size_t(i)]) == k) out.push_back(selectedcoms.nr[size_t(i)]);
    return out;
  }
  int32_t c = -1;
  if (hover >= TS_CARDORDER && hover < TS_CARDORDER + MAXCOMS) c = hover - TS_CARDORDER;
  else if (hover >= TS_CARD && hover < TS_CARD + MAXCOMS) c = hover - TS_CARD;
  if (c >= 0 && comowner(c) == k) out.push_back(c);
  return out;
}

void pagecards(bool on) {
  TurnScreen& ts = turnscreen;
  const int32_t n = int32_t(provincecards(ts.nation, ts.current).size());
  int32_t rows = 0, c = 0;
  cardgrid(n, cardscale(screenscale, n), scoutrows(ts.nation, ts.current), &rows, &c);
  const int32_t shown = rows * c;
  if (!on) ts.firstcard = imax(0, ts.firstcard - c);
  else if (ts.firstcard < n - shown + 1 && n > shown) ts.firstcard += c;
}

void stepcardscale(bool bigger) {
  const float now = cardscale(screenscale, int32_t(provincecards(turnscreen.nation, turnscreen.current).size()));
  screenscale = bigger ? std::min(now + 0.1f, 1.4f) : std::max(now - 0.1f, 0.6f);
}

void mapclickorders(int32_t lnr, bool ctrl) {
  const int32_t k = turnscreen.nation, here = turnscreen.current;
  const bool ownground = land[size_t(here)].owner == k || land[size_t(here)].fortholder == k;
  for (int32_t i = 0; i <= selectedcoms.last; i++) {
    const int32_t c = selectedcoms.nr[size_t(i)];
    if (comowner(c) != k || !cancelorder(c)) continue;
    Commander& cm = com[size_t(c)];
    if (lnr == here || lnr < 1 || !mapmove(c, lnr, 1)) {
      // Staying: defending where the nation owns or holds, else hiding.
      cm.order = ownground ? Order::defend : Order::sneak;
      cm.orderparam = ownground ? -1 : 0;
    } else if (const bool sneaks = maysneak(c); sneaks && !ctrl) {
      cm.order = Order::sneak;
      cm.orderparam = lnr;
    } else if (!sneaks && land[size_t(here)].owner != k) {
      // An army that would be seen leaving foreign ground stays put; a
      // stealthy one told with Ctrl to march openly marches.
      cm.order = Order::defend;
      cm.orderparam = -1;
    } else {
      cm.order = Order::move;
      cm.orderparam = lnr;
    }
    if (cm.order != Order::defend) cm.arrowtime = imax(int32_t(timems()), 2);
  }
}
