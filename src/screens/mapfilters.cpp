// The Map Filters and Statistics menus and the keyboard help.
#include "screens/mapfilters.h"

#include <iterator>

#include "frontend/frontend.h"
#include "gfx/gfx.h"
#include "gfx/gui.h"
#include "mapview/overlay.h"
#include "runtime/fatal.h"
#include "screens/overview.h"
#include "screens/statscreens.h"
#include "screens/turnscreen.h"
#include "world/world.h"

namespace {
struct FilterBox {
  int32_t id;
  const char* text;
  uint32_t shows, sets;   // the bit the box starts from, the bits it sets
};
constexpr FilterBox filterbox[FILTERBOXES] = {
    {1, "Flags and forts", MAPF_FLAGS, MAPF_FLAGS | MAPF_FORTS},
    {2, "Armies and arrows", MAPF_ARMIES, MAPF_ARMIES | MAPF_ARROWS},
    {4, "Veyrance", MAPF_VEYRANCE, MAPF_VEYRANCE},
    {3, "Income box", MAPF_INCOME, MAPF_INCOME},
    {7, "Misc", MAPF_MARKERS, MAPF_MARKERS | MAPF_TEMPLES},
    {8, "Neighbors", MAPF_NEIGHBOURS, MAPF_NEIGHBOURS},
    {9, "Names", MAPF_NAMES, MAPF_NAMES}};
constexpr int32_t NAMESBOX = 6, ID_EXIT = 999;

struct Section {
  const char* title;
  std::initializer_list<const char*> lines;
};
const Section keysections[] = {
    {"Misc Shortcuts",
     {"a = select/deselect all commanders", "b = bid for mercenaries", "d = recruit defence", "e = end turn",
      "f = fort info", "h = hide/show right side menu", "m = read messages", "n = next commander without orders",
      "o = temple and veyrance", "r = recruit units", "s = send messages", "t = transfer units",
      "v = view battles in current province", "x = change tax", "+,- = scroll commanders",
      "ret = deselect all commanders", ">,< = grow or shrink commander tokens"}},
    {"Statistics screens",
     {"F1 = nation overview", "F2 = score graphs", "F3 = hall of fame", "F4 = pretenders of the world"}},
    {"Magic",
     {"l = arcane laboratory", "F5 = research", "F6 = global enchantments", "F7 = magic resource treasury",
      "F8 = magic item treasury"}},
    {"Map View",
     {"right click = select province", "arrows = scroll map", "home = goto capital", "end = zoom x0.5",
      "ins = zoom to cover the whole screen", "del = zoom to view entire map", "page up = zoom in",
      "page down = zoom out", "# = goto province nbr"}},
    {"Map Filters",
     {"1 = flags and forts", "2 = armies", "3 = veyrance", "4 = income and resources", "5 = temples and misc symbols",
      "8 = neighbors", "9 = province names"}},
    {"Unit Orders",
     {"space = choose order from menu", "A = reanimate, call spirits", "B = blood hunt", "C = cast ritual spell",
      "D = defend", "E = break siege", "F = forge magic item", "G = call god", "H = heal", "M = monthly ritual spell",
      "P = preach", "R = research", "S = search for magic sites", "T = storm castle", "W = capture slaves",
      "X = patrol", "Z = put all blood slaves in the lab"}}};
}  // namespace

// ---------------------------------------------------------------- rules

FilterBoxes filterboxes(uint32_t word) {
  FilterBoxes b{};
  for (int32_t i = 0; i < FILTERBOXES; i++) b.on[i] = (word & filterbox[i].shows) ? 1 : 0;
  return b;
}

uint32_t filterword(const FilterBoxes& b, uint32_t old, bool namesshown) {
  uint32_t w = 0;
  for (int32_t i = 0; i < FILTERBOXES; i++)
    if (b.on[i]) w |= filterbox[i].sets;
  if (!namesshown) w = (w & ~MAPF_NAMES) | (old & MAPF_NAMES);
  return w;
}

uint32_t savedlayers(uint16_t stored) { return stored == 0 ? MAPF_START : stored & ~uint32_t(FILTERCHOSEN); }

uint16_t chosenlayers(uint32_t layers) { return uint16_t((layers & ~uint32_t(FILTERCHOSEN)) | FILTERCHOSEN); }

// ---------------------------------------------------------------- screens

void mapfiltermenu(int32_t p) {
  bailif(p < 0 || p >= MAXKINGDOMS, "mapfiltermenu: bad player");
  const uint32_t old = savedlayers(uint16_t(kingdom[size_t(p)].w[KW_MAPFILTER]));
  FilterBoxes b = filterboxes(old);
  const bool names = !(gameinfo.gameflags & GF_NONAMEFILTER);
  auto build = [&] {
    guibegin();
    guititle("Map Filters");
    guiminwidth(GUIMENUWIDTH);
    guicloseid(ID_EXIT);
    guialign(GUIALIGN_LEFT);
    for (int32_t i = 0; i < FILTERBOXES; i++)
      if (i != NAMESBOX || names) guitoggle(filterbox[i].id, &b.on[i], "%s", filterbox[i].text);
    guialign(GUIALIGN_CENTRE);
    guispace(2);
    guiexitbutton(ID_EXIT, "Exit");
    guishow(-1, -1);
  };
  while (guimodal(build) != ID_EXIT && !quitprogram) {}
  kingdom[size_t(p)].w[KW_MAPFILTER] = int16_t(chosenlayers(filterword(b, old, names)));
}

int32_t statsmenu(int32_t p) {
  struct Entry {
    int32_t id;
    const char* text;
    const char* help;
    int32_t key;
  };
  static constexpr Entry entries[] = {{1, "Nation overview", "(F1) Your nation at a glance", KEY_F1},
                                      {2, "Score graphs", "(F2) A comparison of nations", KEY_F1 + 1},
                                      {3, "Hall of Fame", "(F3) The most famous heroes of this era", KEY_F1 + 2},
                                      {4, "Pretenders of the world", "(F4) The competing Pretender Gods", KEY_F1 + 3}};
  auto build = [] {
    guibegin();
    guititle("Statistics");
    guiminwidth(GUIMENUWIDTH);
    guicloseid(9);
    for (const Entry& e : entries) {
      guibutton(e.id, "%s", e.text);
      guiinfo("%s", e.help);
      guishortcut(e.id, e.key);
    }
    guispace(2);
    guiexitbutton(9, "Exit");
    guishow(-1, -1);
  };
  for (;;) {
    switch (guimodal(build)) {
      case 1:
        if (const int32_t r = nation_overview_screen(p)) return r;
        break;
      case 2: viewgraphs(p); break;
      case 3: halloffame(p); break;
      case 4: viewnations(p); break;
      case 9: return 0;
      default: break;
    }
    if (quitprogram) return 0;
  }
}

void keyhelp() {
  // Three columns: the misc and statistics keys, the magic, map and filter
  // keys, the order keys.
  constexpr int32_t column[std::size(keysections)] = {0, 0, 1, 1, 1, 2};
  constexpr float WX = 30, WY = 60, WW = 740, WH = 490, ROW = 13.5f;
  auto build = [&] {
    guibegin();
    guititle("Keyboard Commands");
    guicloseid(ID_EXIT);
    guiwindow(0, WX, WY, WW, WH);
    float y[3] = {WY + WH - 50, WY + WH - 50, WY + WH - 50};
    for (size_t i = 0; i < std::size(keysections); i++) {
      const Section& s = keysections[i];
      const int32_t c = column[i];
      const float x = WX + 18 + 245 * float(c);
      areatextcol(0, x, y[c], 15, 1, 0.85f, 0.4f, 1, "%s", s.title);
      y[c] -= 19;
      for (const char* line : s.lines) {
        areatext(0, x + 6, y[c], 11.5f, "%s", line);
        y[c] -= ROW;
      }
      y[c] -= 12;
    }
    areabox(ID_EXIT, WX + WW / 2 - 35, WY + 12, 70, 22, 0.15f, 0.15f, 0.2f, 0.9f);
    areatext(ID_EXIT, WX + WW / 2 - 14, WY + 17, 14, "exit");
    for (int32_t key : {KEY_ESCAPE, KEY_RETURN, int32_t('?')}) guishortcut(ID_EXIT, key);
  };
  while (guimodal(build) != ID_EXIT && !quitprogram) {}
}
