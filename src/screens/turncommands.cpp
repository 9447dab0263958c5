// Every key and click of the main turn screen: the selection of commanders
// (cards, ranges, armies, all or none, the next idle one), the map clicks
// (move orders, choosing the province), the map filter keys, the camera
// keys, the card scale and paging, and the screens that the commands open.
#include <cstring>

#include "frontend/frontend.h"
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
#include "screens/ingame.h"
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
      // Held ground recruits whether or not a fort stands there: without one
      // the screen offers the province's own people and its sites' units.
      if (l >= 1 && l <= nbrlands && land[size_t(l)].fortholder == k) buildarmy(l, k);
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
    case TS_STATISTICS: {
      // Only a province chosen there is gone to; a commander chosen in its
      // overview changes nothing here.
      const int32_t r = statsmenu(k);
      if (r > 0 && r <= nbrlands) turnscreen.gotoprov = r;
      return 1;
    }
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

namespace {
void readscoutreport(int32_t) {
  const int32_t m = findscoutmsg(turnscreen.nation, turnscreen.current);
  if (m >= 0) readmsg(m);
}

void gotonumber(int32_t) {
  const int32_t n = inputnumber(1, nbrlands, "Goto province number");
  if (n >= 1 && n <= nbrlands) turnscreen.gotoprov = n;
}

void defaultzoom(int32_t) {
  mapzoom = defaultmapzoom;
  mapzoomlimits();
  centremap(turnscreen.current);
}

// The whole map: fitted in the window (zoom out) or filling it (zoom in),
// centred.
void wholemap(int32_t id) {
  if (mapwidth() <= 0 || mapheight() <= 0) return;
  const float a = 800.0f / float(mapwidth()), b = 600.0f / float(mapheight());
  mapzoom = id == TS_ZOOMOUT ? std::min(a, b) : std::max(a, b);
  mapzoomlimits();
  mapcamx = float(mapwidth()) / 2;
  mapcamy = float(mapheight()) / 2;
}

// A left click on the map gives the selection its move orders; with
// nothing selected, early in the game, it shows how to choose a province.
void mapclick(int32_t) {
  if (selectedcoms.last < 0) {
    if (turn < 3) turnscreen.hint = 1;
    return;
  }
  mapclickorders(provatpoint(mapwraps(), clickx, clicky), guieventmods() & GUIMOD_CTRL);
}

void ordermenu(int32_t) {
  const std::vector<int32_t> targets = ordertargets(guihoverid());
  if (!targets.empty()) changeorder(targets[0]);
}

// The ids of one command each.
struct IdCommand {
  int32_t id;
  void (*run)(int32_t id);
};
const IdCommand idcommands[] = {
    {TS_OPTIONS,
     [](int32_t) {
       const TurnScreen& ts = turnscreen;
       gamesettingsmenu(ts.nation, ts.gname, ts.turnnbr, ts.gamenbr);
     }},
    {TS_MESSAGELIST, [](int32_t) { viewmsgs(turnscreen.nation, turnscreen.gname); }},
    {TS_MESSAGES, [](int32_t) { messagesmenu(turnscreen.nation, turnscreen.gname); }},
    {TS_DEFENCE, [](int32_t) { buyprovdef(turnscreen.nation, turnscreen.current); }},
    {-TS_DEFENCE,
     [](int32_t) { textinfobox("Province Defence", descrtextof(finddescr("Province Defence")), 999); }},
    {-TS_TAX, [](int32_t) { textinfobox("Province Tax", descrtextof(finddescr("Tax")), 999); }},
    {TS_TAX,
     [](int32_t) {
       if (land[size_t(turnscreen.current)].owner == turnscreen.nation) taxbox(turnscreen.nation, turnscreen.current);
     }},
    {TS_SCOUT, readscoutreport},
    {TS_GOD, [](int32_t) { turnscreen.focus = kingdom[size_t(turnscreen.nation)].w[KW_GOD]; }},
    {TS_GOTONUMBER, gotonumber},
    {TS_HOME, [](int32_t) { turnscreen.gotoprov = kingdom[size_t(turnscreen.nation)].w[KW_HOMELAND]; }},
    {TS_DEFAULTZOOM, defaultzoom},
    {TS_ZOOMOUT, wholemap},
    {TS_ZOOMIN, wholemap},
    {TS_NEXTIDLE, [](int32_t) { nextidle(); }},
    {TS_SELECTALL, [](int32_t) { selectallorno(); }},
    {TS_UNSELECT,
     [](int32_t) {
       selectedcoms.last = -1;
       turnscreen.lastclicked = -1;
     }},
    {TS_PAGEBACK, [](int32_t) { pagecards(false); }},
    {TS_PAGEON, [](int32_t) { pagecards(true); }},
    {TS_BIGGER, [](int32_t) { stepcardscale(true); }},
    {TS_SMALLER, [](int32_t) { stepcardscale(false); }},
    {TS_BUTTONS, [](int32_t) { turnscreen.buttons = !turnscreen.buttons; }},
    {TS_TABDOWN, [](int32_t) { turnscreen.tabheld = 1; }},
    {TS_TABUP, [](int32_t) { turnscreen.tabheld = 0; }},
    {TS_VALUE,
     [](int32_t) {
       if (debuglevel >= 1) msgbox("%d", kingdomvalue(turnscreen.nation));
     }},
    {TS_MAPCLICK, mapclick},
    {-TS_MAPCLICK, [](int32_t) { mapselect(provatpoint(mapwraps(), clickx, clicky)); }},
    {TS_ORDERMENU, ordermenu},
};

void enchantmentinfo(int32_t e) {
  if (ench[size_t(e)].kind > 0 && ench[size_t(e)].spell > 0) spellinfobox(ench[size_t(e)].spell);
}

void filterkey(int32_t index) {
  const int32_t k = turnscreen.nation;
  const uint32_t w = filterkeyword(savedlayers(uint16_t(kingdom[size_t(k)].w[KW_MAPFILTER])), index + 1);
  if (!turnscreen.tabheld) kingdom[size_t(k)].w[KW_MAPFILTER] = int16_t(chosenlayers(w));
}

void cardclicked(int32_t c) {
  const int32_t mods = guieventmods();
  ClickKeys keys;
  keys.ctrl = mods & GUIMOD_CTRL;
  keys.shift = mods & GUIMOD_SHIFT;
  keys.alt = mods & GUIMOD_ALT;
  cardclick(c, keys);
}

// The ids of a range (first .. first + count - 1, with a right click too
// where either sign counts): the command gets the index in the range.
struct RangeCommand {
  int32_t first, count;
  bool eithersign;
  void (*run)(int32_t index);
};
const RangeCommand rangecommands[] = {
    {TS_SCALES, 6, false, [](int32_t) { veyinfo(turnscreen.nation, turnscreen.current); }},
    {TS_CARDORDER, MAXCOMS, false, [](int32_t c) { changeorder(c); }},
    {TS_ORDERKEY, 100,  false,
     [](int32_t request) {
       OrderBatch batch;
       for (int32_t c : ordertargets(guihoverid())) changeoneorder(c, request);
     }},
    {TS_ENCHANTMENT, MAXENCH, true, enchantmentinfo},
    {TS_FILTERKEY + 1, 9, false, filterkey},
    {TS_CARD, MAXCOMS, false, cardclicked},
};
}  // namespace

int32_t turnaction(int32_t id) {
  if (id == TS_ENDTURN) {
    turnscreen.endturn = 1;
    return 1;
  }
  turnscreen.hint = 0;
  if (opennationscreen(id)) return 0;
  for (const IdCommand& command : idcommands)
    if (command.id == id) {
      command.run(id);
      // Quitting from the Options leaves the screen.
      return id == TS_OPTIONS && quitprogram ? 1 : 0;
    }
  for (const RangeCommand& range : rangecommands) {
    const int32_t at = (range.eithersign ? iabs(id) : id) - range.first;
    if (at >= 0 && at < range.count) {
      range.run(at);
      return 0;
    }
  }
  return 0;
}

