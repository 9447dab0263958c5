// Every key and click of the main turn screen: the selection of commanders
// (cards, ranges, armies, all or none, the next idle one), the map clicks
// (move orders, choosing the province), the map filter keys, the camera
// keys, the card scale and paging, and the screens that the commands open.
#include <cstring>

#include "frontend/frontend.h"
#include "ai/movelegal.h"
#include "gfx/dialogs.h"
#include "gfx/gfx.h"
#include "gfx/gui.h"
#include "mapview/mapview.h"
#include "runtime/ask.h"
#include "runtime/fatal.h"
#include "runtime/settings.h"
#include "runtime/util.h"
#include "screens/armypanel.h"
#include "screens/infoboxes.h"
#include "screens/lab.h"
#include "screens/magicviews.h"
#include "screens/mapfilters.h"
#include "screens/mercenaries.h"
#include "screens/messages.h"
#include "screens/orders.h"
#include "screens/overview.h"
#include "screens/recruitment.h"
#include "screens/replays.h"
#include "screens/research.h"
#include "screens/screens.h"
#include "screens/statscreens.h"
#include "screens/turnscreen.h"
#include "screens/unitbox.h"
#include "world/forts.h"
#include "world/gamedata.h"
#include "world/hoststate.h"
#include "world/magic.h"
#include "world/movement.h"
#include "world/provinfo.h"
#include "world/recruit.h"
#include "world/rules.h"
#include "world/siteentry.h"
#include "world/units.h"
#include "world/world.h"
#include "worldgen/worldgen.h"

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

// ---------------------------------------------------------------- rules

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
    return cm.order == ORD_DEFEND || (cm.order == ORD_SNEAK && cm.orderparam < 1);
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
    case 1: return (w & 0x4) ? w ^ 0x104 : w | 0x104;
    case 2: return (w & 0x8) ? w ^ 0x18 : w | 0x18;
    case 3: return w ^ 0x1;
    case 4: return w ^ 0x80;
    case 5: return (w & 0x40) ? w ^ 0x240 : w | 0x240;
    case 8: return w ^ 0x20;
    case 9: return w ^ 0x400;
    default: return w;
  }
}

int32_t orderkeyrequest(int32_t key, bool ownground) {
  switch (key) {
    case 'D': return 0;
    case 'X': return 3;
    case 'R': return 4;
    case 'S': return 7;
    case 'B': return 8;
    case 'C': return 9;
    case 'F': return 11;
    case 'G': return 14;
    case 'H': return 16;
    case 'A': return 21;
    case 'T': return 31;
    case 'E': return 32;
    case 'W': return 51;
    case 'Z': return 59;
    case 'M': return 60;
    case 'P': return ownground ? 6 : 43;
    default: return -1;
  }
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

// ---------------------------------------------------------------- the screens of other parts

int32_t opennationscreen(int32_t id) {
  // Each of these opens a screen that is built with the nation's screens
  // (army panel, recruitment, research, laboratory, treasuries,
  // mercenaries, temples, forts, sites, enchantments, overview, graphs,
  // hall of fame, statistics, filters, key help, replays, the unit box).
  // They are called here once they exist; until then the key does nothing.
  const int32_t k = turnscreen.nation, l = turnscreen.current;
  switch (id) {
    case TS_RECRUIT:
      if (l >= 1 && l <= nbrlands && land[size_t(l)].fortholder == k && land[size_t(l)].fort > 0) buildarmy(l, k);
      return 1;
    case TS_RESEARCH: viewresearch(k); return 1;
    case TS_LAB: case -TS_LAB: viewlab(k, l); return 1;
    case TS_RESOURCES: viewrt(k, l); return 1;
    case TS_ITEMS: viewmit(k, l, -1); return 1;
    case TS_FORT: case -TS_FORT:
      if (l >= 1 && l <= nbrlands && land[size_t(l)].fort > 0) castlebox(k, l, land[size_t(l)].fort);
      return 1;
    case TS_ARMYSETUP: armypanel(k, l, -1); return 1;
    case TS_ARMYHERE: armypanel(k, l, l); return 1;
    case TS_MERCENARIES: viewmercs(k, l); return 1;
    case TS_OVERVIEW: takeoverviewresult(nation_overview_screen(k)); return 1;
    case TS_ENCHANTMENTS: viewench(k); return 1;
    case TS_TEMPLE: case -TS_TEMPLE:
      if (l >= 1 && l <= nbrlands && land[size_t(l)].fortholder == k) viewtmpl(l);
      return 1;
    case TS_GRAPHS: viewgraphs(k); return 1;
    case TS_HALLOFFAME: halloffame(k); return 1;
    case TS_NATIONS: viewnations(k); return 1;
    case TS_STATISTICS: takeoverviewresult(statsmenu(k)); return 1;
    case TS_FILTERS: mapfiltermenu(k); return 1;
    case TS_KEYHELP: keyhelp(); return 1;
    case TS_REPLAYS: viewvcrs(k, l, turnscreen.vcrs, turnscreen.gname); return 1;
    default: break;
  }
  if (iabs(id) >= TS_SITE && iabs(id) < TS_SITE + 4) {
    const int32_t slot = iabs(id) - TS_SITE;
    if (l >= 1 && l <= nbrlands && land[size_t(l)].sitefound[slot] && land[size_t(l)].site[slot] > 0)
      featbox(land[size_t(l)].site[slot]);
    return 1;
  }
  if (id <= -TS_CARD && id > -TS_CARD - MAXCOMS) {
    const int32_t c = -TS_CARD - id, b = combody(c);
    if (b >= 0 && unit[size_t(b)].hp > 0) ustatbox(b, nullptr, comowner(c) == turnscreen.nation, 0);
    return 1;
  }
  return 0;
}

// ---------------------------------------------------------------- one action

int32_t turnaction(int32_t id) {
  TurnScreen& ts = turnscreen;
  const int32_t k = ts.nation, l = ts.current;
  // The button ends the turn; a single key, easily hit by mistake, asks first.
  if (id == TS_ENDTURN || (id == TS_ENDTURNKEY && confirmbox(ENDTURNQUESTION))) {
    ts.endturn = 1;
    return 1;
  }
  ts.hint = 0;
  const bool ctrl = guieventmods() & GUIMOD_CTRL;
  if (opennationscreen(id)) return 0;
  switch (id) {
    case TS_OPTIONS: gamesettingsmenu(k, ts.gname, ts.turnnbr, ts.gamenbr); return quitprogram ? 1 : 0;
    case TS_MESSAGELIST: viewmsgs(k, ts.gname); return 0;
    case TS_MESSAGES: messagesmenu(k, ts.gname); return 0;
    case TS_DEFENCE: buyprovdef(k, l); return 0;
    case -TS_DEFENCE:
      textinfobox("Province Defence", descrtextof(finddescr("Province Defence")), 999);
      return 0;
    case -TS_TAX: textinfobox("Province Tax", descrtextof(finddescr("Tax")), 999); return 0;
    case TS_TAX:
      if (land[size_t(l)].owner == k) taxbox(k, l);
      return 0;
    case TS_SCOUT: {
      const int32_t m = findscoutmsg(k, l);
      if (m >= 0) readmsg(m);
      return 0;
    }
    case TS_GOD: ts.focus = kingdom[size_t(k)].w[KW_GOD]; return 0;
    case TS_GOTONUMBER: {
      const int32_t n = inputnumber(1, nbrlands, "Goto province number");
      if (n >= 1 && n <= nbrlands) ts.gotoprov = n;
      return 0;
    }
    case TS_HOME: ts.gotoprov = kingdom[size_t(k)].w[KW_HOMELAND]; return 0;
    case TS_DEFAULTZOOM:
      mapzoom = defaultmapzoom;
      mapzoomlimits();
      centremap(l);
      return 0;
    case TS_ZOOMOUT: case TS_ZOOMIN: {
      if (mapwidth() <= 0 || mapheight() <= 0) return 0;
      const float a = 800.0f / float(mapwidth()), b = 600.0f / float(mapheight());
      mapzoom = id == TS_ZOOMOUT ? std::min(a, b) : std::max(a, b);
      mapzoomlimits();
      mapcamx = float(mapwidth()) / 2;
      mapcamy = float(mapheight()) / 2;
      return 0;
    }
    case TS_NEXTIDLE: nextidle(); return 0;
    case TS_SELECTALL: selectallorno(); return 0;
    case TS_UNSELECT:
      selectedcoms.last = -1;
      ts.lastclicked = -1;
      return 0;
    case TS_PAGEBACK: case TS_PAGEON: {
      const int32_t n = int32_t(provincecards(k, l).size());
      int32_t rows = 0, cols = 0;
      cardlimits(cardscale(screenscale, n), &rows, &cols);
      const int32_t c = imin(cols, (n + rows - 1) / imax(rows, 1));
      const int32_t shown = imin(rows, (n + imax(c, 1) - 1) / imax(c, 1)) * c;
      if (id == TS_PAGEBACK) ts.firstcard = imax(0, ts.firstcard - c);
      else if (ts.firstcard < n - shown + 1 && n > shown) ts.firstcard += c;
      return 0;
    }
    case TS_BIGGER: case TS_SMALLER: {
      const float now = cardscale(screenscale, int32_t(provincecards(k, l).size()));
      screenscale = id == TS_BIGGER ? std::min(now + 0.1f, 1.4f) : std::max(now - 0.1f, 0.6f);
      return 0;
    }
    case TS_BUTTONS: ts.buttons = !ts.buttons; return 0;
    case TS_TABDOWN: ts.tabheld = 1; return 0;
    case TS_TABUP: ts.tabheld = 0; return 0;
    case TS_VALUE:
      if (debuglevel >= 1) msgbox("%d", kingdomvalue(k));
      return 0;
    case TS_MAPCLICK: {
      if (selectedcoms.last < 0) {
        if (turn < 3) ts.hint = 1;
        return 0;
      }
      mapclickorders(provatpoint(mapwraps(), clickx, clicky), ctrl);
      return 0;
    }
    case -TS_MAPCLICK: mapselect(provatpoint(mapwraps(), clickx, clicky)); return 0;
    case TS_ORDERMENU: {
      const std::vector<int32_t> targets = ordertargets(guihoverid());
      if (!targets.empty()) changeorder(targets[0]);
      return 0;
    }
    case TS_SCALES: case TS_SCALES + 1: case TS_SCALES + 2: case TS_SCALES + 3: case TS_SCALES + 4:
    case TS_SCALES + 5: case -TS_SCALES: case -TS_SCALES - 1: case -TS_SCALES - 2: case -TS_SCALES - 3:
    case -TS_SCALES - 4: case -TS_SCALES - 5:
      veyinfo(k, l);
      return 0;
    default: break;
  }
  if (id >= TS_CARDORDER && id < TS_CARDORDER + MAXCOMS) {
    changeorder(id - TS_CARDORDER);
    return 0;
  }
  if (id >= TS_ORDERKEY && id < TS_ORDERKEY + 100) {
    OrderBatch batch;
    for (int32_t c : ordertargets(guihoverid())) changeoneorder(c, id - TS_ORDERKEY);
    return 0;
  }
  if (iabs(id) >= TS_ENCHANTMENT && iabs(id) < TS_ENCHANTMENT + MAXENCH) {
    const int32_t e = iabs(id) - TS_ENCHANTMENT;
    if (ench[size_t(e)].kind > 0 && ench[size_t(e)].spell > 0) spellinfobox(ench[size_t(e)].spell);
    return 0;
  }
  if (id >= TS_FILTERKEY + 1 && id <= TS_FILTERKEY + 9) {
    const uint32_t w = filterkeyword(uint16_t(kingdom[size_t(k)].w[KW_MAPFILTER]), id - TS_FILTERKEY);
    if (!ts.tabheld) kingdom[size_t(k)].w[KW_MAPFILTER] = int16_t(uint16_t(w));
    return 0;
  }
  if (id >= TS_CARD && id < TS_CARD + MAXCOMS) {
    ClickKeys keys;
    keys.ctrl = ctrl;
    keys.shift = guieventmods() & GUIMOD_SHIFT;
    keys.alt = guieventmods() & GUIMOD_ALT;
    cardclick(id - TS_CARD, keys);
    return 0;
  }
  return 0;
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
      cm.order = ownground ? ORD_DEFEND : ORD_SNEAK;
      cm.orderparam = ownground ? -1 : 0;
    } else if (const bool sneaks = maysneak(c); sneaks && !ctrl) {
      cm.order = ORD_SNEAK;
      cm.orderparam = lnr;
    } else if (!sneaks && land[size_t(here)].owner != k) {
      // An army that would be seen leaving foreign ground stays put; a
      // stealthy one told with Ctrl to march openly marches.
      cm.order = ORD_DEFEND;
      cm.orderparam = -1;
    } else {
      cm.order = ORD_MOVE;
      cm.orderparam = lnr;
    }
    if (cm.order != ORD_DEFEND) cm.arrowtime = imax(int32_t(timems()), 2);
  }
}
