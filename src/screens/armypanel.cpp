// The army panel: the garrison of a province and its commanders' squads,
// with their places on the deployment field and their battle orders. The
// window is rebuilt every frame from the rules of armypanelrules.cpp.
#include <algorithm>
#include <cstring>

#include "frontend/frontend.h"
#include "gfx/gfx.h"
#include "gfx/gui.h"
#include "runtime/fatal.h"
#include "runtime/trs.h"
#include "runtime/util.h"
#include "screens/armypanel.h"
#include "screens/deployment.h"
#include "screens/orders.h"
#include "screens/unitbox.h"
#include "world/gamedata.h"
#include "world/grammar.h"
#include "world/provinfo.h"
#include "world/rules.h"
#include "world/units.h"
#include "world/world.h"

namespace {
// Ids of the panel; a unit's, commander's or squad's is its base plus its number.
enum PanelId : int32_t {
  AP_GARRISON = 1, AP_HIDE = 3, AP_STARVING = 4, AP_EXPERIENCED = 5, AP_AFFLICTED = 6, AP_ALL = 7,
  AP_UNSELECT = 8, AP_EXIT = 9, AP_PAGEBACK = 10, AP_PAGEON = 11, AP_MEMORY = 100,   // 100..109
  AP_COM = 10000, AP_UNIT = 100000, AP_COMORDERS = 700000, AP_COMPLACE = 800000, AP_SQUADPLACE = 1000000,
  AP_SQUADDROP = 2000000, AP_SQUADORDERS = 3000000
};
constexpr int32_t SPRITEMODE = 4;
// The window: 700 wide and as high as the screen, which cannot show the
// whole of a 700-high panel; centred as the toolkit centres a window. Its
// top is counted from the screen's top, its bottom (WY) upwards as areas are.
constexpr float WW = 700, WH = GUIHEIGHT, WX = (GUIWIDTH - WW) / 2, WTOP = (GUIHEIGHT - WH) / 2,
                WY = GUIHEIGHT - WTOP - WH;
// Inside the border: the garrison band, whose drop frame lies around it.
constexpr float BANDX = WX + 6, BANDW = WW - 12;
constexpr float GARRISONSPAN = 665, SQUADSPAN = 460;   // what a row's figures are spread over
constexpr float COMROW = 44, SQUADROW = 36;
// A squad row from the left: its drop box under the commander's figure,
// its figures, its place on the field, its two rows of text to the band's end.
constexpr float DROPX = WX + 14, SQUADFIGX = WX + 48, SQUADFIG = 30, SQUADFIELDX = SQUADFIGX + SQUADSPAN + SQUADFIG + 4,
                SQUADFIELDW = 45, SQUADTEXTX = SQUADFIELDX + SQUADFIELDW + 6;
constexpr int32_t MISC_FORT = 15;   // misc.trs: the map's fort
float up(float y) { return 600 - y; }

const Monster* typeof_(int32_t u) { return typerec(unit[size_t(u)].type); }

// A unit's figure; selected ones lit with a frame behind them.
void figure(int32_t id, int32_t u, float x, float y, float size, bool lit) {
  const Monster* t = typeof_(u);
  if (!t) return;   // a type outside the table shows nothing
  if (lit) areabox(0, x - 1, up(y + size) - 1, size + 2, size + 2, 0.9f, 0.8f, 0.3f, 0.45f);
  const float b = lit ? 1.0f : 0.75f;
  areaspritecol(id, TRS_ARMY, t->sprite, SPRITEMODE, x, up(y + size), size, size, b, b, b, 1);
}

bool selected(int32_t u) {
  const std::vector<int32_t>& s = armypanelstate.sel;
  return std::find(s.begin(), s.end(), u) != s.end();
}

// A selection from another group than g is waiting to be dropped.
bool otherselection(int32_t g) { return !armypanelstate.sel.empty() && armypanelstate.group != g; }

// Two rows of one clickable text, each cut to the width with ".." (the cut
// keeps one buffer, so each row is cut and copied before the next).
void twolines(int32_t id, float x, float y, float width, const char* first, const char* second, float shade) {
  char row[200];
  strlcopy(row, CutTextDots(first, width / 13), sizeof row);
  areatextcol(id, x, up(y + 14), 13, shade, shade, shade, 1, "%s", row);
  strlcopy(row, CutTextDots(second, width / 12), sizeof row);
  areatextcol(id, x, up(y + 30), 12, 0.85f, 0.8f, 0.55f, 1, "%s", row);
}

void garrisonrow(float y) {
  const ArmyPanelState& ap = armypanelstate;
  const std::vector<int32_t> g = panelgarrison();
  const bool drop = ap.group >= 0 && !ap.sel.empty();
  areabox(drop ? AP_GARRISON : 0, BANDX, up(y + 40), BANDW, 40, 0.12f, drop ? 0.3f : 0.12f, 0.1f, 0.8f);
  if (drop) {
    areaframe(BANDX, up(y + 40), BANDW, 40, 2, 0.3f, 0.8f, 0.3f, 0.9f);
    areainfo("Put the selected units back in the garrison");
  }
  const float step = g.empty() ? 32 : std::min(32.0f, GARRISONSPAN / float(g.size()));
  // A long garrison's last figure ends near the span's end: the figures
  // shrink so that it stays in the band, standing on one line.
  const float x0 = BANDX + 1, size = std::min(32.0f, BANDX + BANDW - 1 - (x0 + GARRISONSPAN - step));
  const int32_t clickable = ap.group == -1 || ap.group == -2;
  for (size_t i = 0; i < g.size() && i < 500; i++)
    figure(clickable ? AP_UNIT + g[i] : 0, g[i], x0 + step * float(i), y + 36 - size, size, selected(g[i]));
}

// One commander's block: its row and one row per squad; the height used.
float commanderblock(int32_t c, float y, int32_t& shade) {
  const ArmyPanelState& ap = armypanelstate;
  const Commander& cm = com[size_t(c)];
  const int32_t b = cm.body;
  const bool target = !ap.sel.empty() && cltu(c);
  if (target) areaframe(WX + 10, up(y + 38), 36, 36, 2, 0.3f, 0.8f, 0.3f, 0.9f);
  figure(AP_COM + c, b, WX + 12, y + 4, 32, false);
  areainfo("Click to give the selected units to %s, right click for the commander", comshownname(c));
  drawdeployfield(AP_COMPLACE + c, ap.land, ap.dest, ap.player, c, -1, WX + 52, up(y + 40), 54, 38);
  areainfo("Position of the commander on the battle field");
  // What the order file keeps: the order and target, not the script.
  char order[ORDERTEXTSIZE], first[200];
  combattleordertext(c, order);
  const int32_t n = nbrcomunits(c), s = nbrsquads(c);
  const Monster* t = typeof_(b);
  formatbounded(first, sizeof first, "%s%s%s, commanding %d %s in %d %s", cm.name, cm.name[0] ? " the " : "",
                t ? t->name : "?", n, n == 1 ? "unit" : "units", s, s == 1 ? "squad" : "squads");
  twolines(AP_COMORDERS + c, WX + 114, y + 6, BANDX + BANDW - (WX + 114), first, order, 1);
  areainfo("Click to set the battle orders of the commander. Digit keys: use a remembered order, "
           "Ctrl and a digit: remember it");
  float h = COMROW;
  for (int32_t k = 0; k < 5; k++) {
    const int32_t sq = cm.squad[k];
    if (sq == -1) continue;
    const float ry = y + h;
    if (shade++ % 2) areabox(0, BANDX, up(ry + SQUADROW), BANDW, SQUADROW, 1, 1, 1, 0.06f);
    if (otherselection(sq) && cltu(c)) {
      areabox(AP_SQUADDROP + sq, DROPX, up(ry + 30), 26, 26, 0.2f, 0.55f, 0.2f, 0.9f);
      areainfo("Put the selected units in this squad");
    }
    // Only the panel's units: a squad number that a turn file also gave to
    // units of another player or province shows those as nothing.
    std::vector<int32_t> m = squadmembers(sq);
    std::erase_if(m, [](int32_t u) { return !panelunit(u); });
    const float step = m.empty() ? 32 : std::min(32.0f, SQUADSPAN / float(m.size()));
    const bool clickable = ap.group == -2 || ap.group == sq;
    for (size_t i = 0; i < m.size(); i++)
      figure(clickable ? AP_UNIT + m[i] : 0, m[i], SQUADFIGX + step * float(i), ry + 3, SQUADFIG, selected(m[i]));
    drawdeployfield(AP_SQUADPLACE + sq, ap.land, ap.dest, ap.player, -1, sq, SQUADFIELDX, up(ry + 33), SQUADFIELDW,
                    30);
    areainfo("Position of the squad on the battle field");
    char sorder[ORDERTEXTSIZE], count[40];
    squadordertext(c, k, sorder);
    formatbounded(count, sizeof count, "%d units", int32_t(m.size()));
    twolines(AP_SQUADORDERS + sq, SQUADTEXTX, ry + 2, BANDX + BANDW - SQUADTEXTX, count, sorder, 0.95f);
    areainfo("Click to set the squad's battle order and preferred target");
    h += SQUADROW;
  }
  return h + 4;
}

// The heights of the commanders' blocks, for paging.
float blockheight(int32_t c) { return COMROW + SQUADROW * float(nbrsquads(c)) + 4; }

void drawpanel(int32_t first, int32_t* shownto) {
  const ArmyPanelState& ap = armypanelstate;
  guibegin();
  guicloseid(AP_EXIT);
  guiwindow(0, WX, WY, WW, WH);
  float y = WTOP + GUITITLEBAR + 2;
  // Title row: the castle (the garrison's drop target too) and the count.
  const std::vector<int32_t> g = panelgarrison();
  char units[40], title[200] = "";
  unittitle(int32_t(g.size()), "unit", units);
  if (ap.land >= 1 && ap.land < MAXLANDS) {
    const Land& l = land[size_t(ap.land)];
    const bool seen = (infolevel(ap.land, ap.player, 0) & INFO_NAME) != 0;
    if (seen && l.fort > 0) areasprite(AP_GARRISON, TRS_MISC, MISC_FORT, SPRITEMODE, WX + 12, up(y + 32), 32, 32);
    else areasprite(AP_GARRISON, TRS_MISC2, SPRITE2_ARMYSETUP, SPRITEMODE, WX + 12, up(y + 32), 32, 32);
    formatbounded(title, sizeof title, "%s, %d %s in garrison", seen ? l.name : "???", int32_t(g.size()), units);
  } else if (ap.dest >= 1 && ap.dest < MAXLANDS) {
    formatbounded(title, sizeof title, "Units moving to %s", land[size_t(ap.dest)].name);
  }
  const float titlex = WX + 54;
  if (title[0])
    areatextcol(0, titlex, up(y + 22), 17, 1, 0.85f, 0.4f, 1, "%s", CutTextDots(title, (BANDX + BANDW - titlex) / 17));
  y += 38;
  if (ap.land >= 0) {
    garrisonrow(y);
    y += 46;
  }
  if (ap.hideresearch && countcomwithorder(ap.player, ap.land, Order::research) > 0) {
    areatextcol(0, WX + 14, up(y + 14), 12, 0.7f, 0.7f, 0.7f, 1, "Hidden researchers: %d (press tab to reveal)",
                countcomwithorder(ap.player, ap.land, Order::research));
    y += 18;
  }
  const std::vector<int32_t> coms = panelcommanders();
  const float bottom = WTOP + WH - 44;
  int32_t shade = 0, i = first;
  for (; i < int32_t(coms.size()); i++) {
    if (i > first && y + blockheight(coms[size_t(i)]) > bottom) break;
    y += commanderblock(coms[size_t(i)], y, shade);
  }
  *shownto = i;
  const float fy = WTOP + WH - 36;
  if (first > 0) {
    areabox(AP_PAGEBACK, WX + 15, up(fy + 22), 110, 22, 0.15f, 0.15f, 0.2f, 0.9f);
    areatext(AP_PAGEBACK, WX + 23, up(fy + 17), 14, "Previous");
    areainfo("(page up) The commanders before these");
  }
  if (i < int32_t(coms.size())) {
    areabox(AP_PAGEON, WX + 135, up(fy + 22), 110, 22, 0.15f, 0.15f, 0.2f, 0.9f);
    areatext(AP_PAGEON, WX + 143, up(fy + 17), 14, "More (%d)", int32_t(coms.size()) - i);
    areainfo("(page down) The commanders after these");
  }
  areabox(AP_EXIT, WX + WW - 85, up(fy + 22), 70, 22, 0.15f, 0.15f, 0.2f, 0.9f);
  areatext(AP_EXIT, WX + WW - 77, up(fy + 17), 14, "Exit");
  areainfo("(esc) Back to the map");
  guishortcut(AP_HIDE, KEY_TAB);
  guishortcut(AP_STARVING, 's');
  guishortcut(AP_EXPERIENCED, 'e');
  guishortcut(AP_AFFLICTED, 'w');
  guishortcut(AP_ALL, 'a');
  guishortcut(AP_UNSELECT, KEY_RETURN);
  guishortcut(AP_EXIT, KEY_ESCAPE);
  guishortcut(AP_PAGEBACK, KEY_PAGEUP);
  guishortcut(AP_PAGEON, KEY_PAGEDOWN);
  for (int32_t d = 0; d < 10; d++) guishortcut(AP_MEMORY + d, '0' + d);
}

// A menu of choices with their help texts; the value chosen, or -1.
int32_t choicemenu(const char* title, const BattleChoice* rows, int32_t n, bool (*offered)(int32_t, int32_t),
                   int32_t order) {
  GuiBox box;
  for (;;) {
    guiboxbegin();
    guititle("%s", title);
    guicloseid(999);
    guiminwidth(GUIMENUWIDTH);
    guitextscale(0.85f);
    for (int32_t i = 0; i < n; i++) {
      if (offered && !offered(order, rows[i].value)) continue;
      guibutton(1 + i, "%s", rows[i].label);
      guiinfo("%s", rows[i].help);
    }
    guishortcut(999, KEY_ESCAPE);
    guishow(-1, -1);
    const int32_t id = render_frame(true, Scene::none);
    if (id >= 1 && id <= n) return rows[id - 1].value;
    if (id == 999 || quitprogram) return -1;
  }
}

bool squadtargetoffered(int32_t order, int32_t target) { return targetoffered(order, target, false); }

void squadordermenu(int32_t squad) {
  const int32_t c = squadcommander(squad);
  if (c < 0 || comowner(c) != armypanelstate.player) return;
  const int32_t k = com[size_t(c)].squadslot;
  const int32_t o = choicemenu("select default order for this squad", squadorders, 7, nullptr, 0);
  if (o < 0 || !setsquadorder(c, k, o) || !ordertakestarget(o, false)) return;
  const int32_t t = choicemenu("Preferred target", battletargets, 7, squadtargetoffered, o);
  if (t >= 0) setsquadtarget(c, k, t);
}

// The battle orders editor of a commander.
void battleorders(int32_t c) {
  if (comowner(c) != armypanelstate.player) return;
  clearscript(c);
  bool shape = false;
  GuiBox box;
  for (;;) {
    guiboxbegin();
    guititle("Set battle orders for %s", comshownname(c));
    guicloseid(SCR_DONE);
    guiminwidth(GUIMENUWIDTH);
    const std::vector<std::string> lines = battleorderlines(c);
    guitextscale(0.85f);
    for (size_t i = 0; i < lines.size(); i++) {
      // The order kept, then in a dimmer hand the script that is not.
      if (i == 1) {
        guispace(2);
        guitextscale(0.7f);
      }
      const float shade = i == 0 ? 1.0f : 0.7f;
      guibuttoncol(0, "%s", 0.85f * shade, 0.8f * shade, 0.55f * shade, 1, lines[i].c_str());
    }
    guitextscale(0.85f);
    guispace(2);
    const std::vector<ScriptEntry> entries = scriptentries(c, shape);
    bool orders = false;
    for (const ScriptEntry& e : entries) {
      if (e.id < SCR_CAST && !orders) {
        orders = true;
        guispace(com[size_t(c)].roundspell[4] != -1 ? 10 : 4);
      }
      guibutton(e.id, "%s", e.label);
      guiinfo("%s", e.help);
    }
    guishortcut(SCR_DONE, KEY_ESCAPE);
    guishow(-1, -1);
    const int32_t id = render_frame(true, Scene::none);
    if (quitprogram) return;
    if (id >= SCR_CAST && id <= SCR_ATTACK) {
      int32_t spell = 0;
      if (id == SCR_SPELL) {
        spell = choosespell("Choose spell", c, 0);
        if (spell < 1) continue;
      }
      if (addscriptstep(c, scriptstepvalue(id, spell)) && id == SCR_SHAPE) shape = true;
      continue;
    }
    if (id >= SCR_ORDER && id < SCR_CAST) {
      const int32_t o = id - SCR_ORDER;
      if (!setcomorder(c, o, shape)) continue;
      if (ordertakestarget(o, true)) {
        const int32_t t = choicemenu("Preferred target", battletargets, 7, nullptr, o);
        if (t >= 0) setcomtarget(c, t);
      }
      return;
    }
  }
}

// A digit key over a commander's or a squad's text.
void memorykey(int32_t key) {
  const int32_t hover = guihoverid();
  const bool ctrl = guieventmods() & GUIMOD_CTRL;
  int32_t c = -1, slot = -1;
  if (hover >= AP_COMORDERS && hover < AP_COMPLACE) {
    c = hover - AP_COMORDERS;
    bailif(c > 8999, "trun700000");
  } else if (hover >= AP_SQUADORDERS) {
    c = squadcommander(hover - AP_SQUADORDERS);
    bailif(c > 8999, "trun700000b");
    if (c >= 0) slot = com[size_t(c)].squadslot;
  }
  if (c < 0 || comowner(c) != armypanelstate.player) return;
  if (ctrl) storebattlememory(armypanelstate.player, key, c, slot);
  else applybattlememory(armypanelstate.player, key, c, slot);
}

void showunit(int32_t u) {
  if (u >= 0 && u < MAXUNITS && unit[size_t(u)].hp > 0 && typeof_(u)) ustatbox(u, nullptr, 1, 0);
}
}  // namespace

void armypanel(int32_t p, int32_t lnr, int32_t dest) {
  bailif(p < 0 || p >= MAXPLAYERS || lnr >= MAXLANDS || dest >= MAXLANDS, "armypanel: bad player");
  openarmypanel(p, lnr, dest);
  cleardeploycache();
  ArmyPanelState& ap = armypanelstate;
  int32_t first = 0, shownto = 0;
  for (;;) {
    const int32_t ncoms = int32_t(panelcommanders().size());
    first = std::clamp(first, 0, std::max(0, ncoms - 1));
    drawpanel(first, &shownto);
    const int32_t id = render_frame(true, Scene::none);
    if (id == AP_EXIT || quitprogram) break;
    cleardeploycache();
    const bool alt = guieventmods() & GUIMOD_ALT;
    if (id == AP_GARRISON) dropgarrison();
    else if (id == AP_HIDE) ap.hideresearch = !ap.hideresearch;
    else if (id >= AP_STARVING && id <= AP_ALL) selectgroupkind(id - AP_STARVING);
    else if (id == AP_UNSELECT) clearselection();
    else if (id == AP_PAGEBACK) first = std::max(0, first - std::max(1, shownto - first));
    else if (id == AP_PAGEON && shownto < ncoms) first = shownto;
    else if (id >= AP_MEMORY && id < AP_MEMORY + 10) memorykey(id - AP_MEMORY);
    else if (id >= AP_COM && id < AP_UNIT) dropcommander(id - AP_COM);
    else if (id >= AP_UNIT && id < AP_COMORDERS) {
      const int32_t u = id - AP_UNIT;
      bailif(u > 139999, "vl: bad u");
      // A double click is two quick clicks on the same figure.
      const bool twice = (isdoubleclick() && u == ap.lastclicked) || alt;
      clickunit(u, UnitClick{twice, (guieventmods() & GUIMOD_SHIFT) != 0});
    } else if (id >= AP_COMORDERS && id < AP_COMPLACE) {
      bailif(id - AP_COMORDERS > 8999, "trun 700000");
      battleorders(id - AP_COMORDERS);
    } else if (id >= AP_COMPLACE && id < AP_SQUADPLACE) {
      if (comowner(id - AP_COMPLACE) == p) setpos(id - AP_COMPLACE, -1, dest);
    } else if (id >= AP_SQUADPLACE && id < AP_SQUADDROP) {
      const int32_t c = squadcommander(id - AP_SQUADPLACE);
      if (c >= 0 && comowner(c) == p) setpos(c, com[size_t(c)].squadslot, dest);
    } else if (id >= AP_SQUADDROP && id < AP_SQUADORDERS) {
      dropsquad(id - AP_SQUADDROP);
    } else if (id >= AP_SQUADORDERS) {
      squadordermenu(id - AP_SQUADORDERS);
    } else if (id <= -AP_COM && id > -AP_UNIT) {
      const int32_t c = -id - AP_COM;
      if (c < MAXCOMS) showunit(com[size_t(c)].body);
    } else if (id <= -AP_UNIT && id > -AP_COMORDERS) {
      showunit(-id - AP_UNIT);
    }
  }
  clearemptysquads();
}
