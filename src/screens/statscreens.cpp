// The score graphs, the Hall of Fame and the Pretenders of the World.
#include "screens/statscreens.h"

#include <algorithm>
#include <cstdlib>

#include "actions/sharedrules.h"
#include "frontend/frontend.h"
#include "gfx/gfx.h"
#include "gfx/gui.h"
#include "runtime/fatal.h"
#include "runtime/trs.h"
#include "runtime/util.h"
#include "screens/screens.h"
#include "screens/unitbox.h"
#include "world/gamedata.h"
#include "world/hoststate.h"
#include "world/magic.h"
#include "world/rules.h"
#include "world/scores.h"
#include "world/units.h"
#include "world/world.h"

const char* const graphnames[GRAPHS] = {"Provinces", "Forts",  "Income",    "Gem Income",
                                        "Research",  "Veyrance",  "Army Size", "Victory Points"};

namespace {
constexpr int32_t GR_NEXT = 1, GR_TAB = 10, GR_NATION = 100, ST_EXIT = 999, HF_UNIT = 100000, VN_NATION = 100;
constexpr char graphkeys[GRAPHS] = {'p', 'f', 'i', 'g', 'r', 'd', 'a', 'v'};
constexpr float PLOTW = 800, PLOTH = 500;

// Kept for the whole run: the graph shown and the nations whose lines are.
int32_t currentgraph = 0;
bool shown[MAXPLAYERS];
bool shownset = false;

int32_t lastturn() { return imin(endstats.highest, ENDSTATTURNS - 1); }
bool validgraph(int32_t g) { return g >= 0 && g < GRAPHS; }
}  // namespace

// ---------------------------------------------------------------- rules of the graphs

int32_t graphcount() { return gameinfo.victory == 1 || gameinfo.victory == 5 ? 8 : 7; }

int32_t graphvalue(int32_t g, int32_t t, int32_t n) {
  if (!validgraph(g) || t < 0 || t > lastturn() || n < 0 || n >= MAXPLAYERS) return 0;
  return uint16_t(endstats.value[g][t][n]);
}

int32_t graphtarget(int32_t g) {
  const int32_t c = gameinfo.victory;
  if ((g == 0 && c == 3) || (g == 4 && c == 4) || (g == 5 && c == 2) || (g == 7 && c == 5)) return gameinfo.victoryvalue;
  return -1;
}

int32_t graphgoalline(int32_t g) {
  if (g == 7) return gameinfo.victoryvalue;
  return graphtarget(g);
}

int32_t graphscale(int32_t g) {
  int32_t top = 0;
  for (int32_t n = 0; n < MAXPLAYERS; n++) {
    if (!isparticipant(n)) continue;
    for (int32_t t = 0; t <= lastturn(); t++) top = imax(top, graphvalue(g, t, n));
  }
  if (g == 7) top = imax(top, victorypoints(-1));
  top = imax(top, graphtarget(g));
  return imax(top, 1);   // a graph of zeros still has a scale
}

int32_t graphstep(int32_t last) { return last + 1 < 70 ? 1 : (last + 1) / 70; }

std::vector<GraphSegment> graphline(int32_t g, int32_t n) {
  std::vector<GraphSegment> out;
  const int32_t last = lastturn();
  if (last < 1 || !validgraph(g)) return out;
  const int32_t step = graphstep(last);
  const float xs = PLOTW / float(last), ys = PLOTH / float(graphscale(g));
  for (int32_t t = 0; t < last; t += step) {
    const int32_t e = imin(t + step, last);
    out.push_back({float(t) * xs, float(graphvalue(g, t, n)) * ys, float(e) * xs, float(graphvalue(g, e, n)) * ys});
  }
  return out;
}

// ---------------------------------------------------------------- the graphs

namespace {
// The plot as the graphs have always drawn it, over the whole 800 x 600
// screen: 24 bands of 25 units, each nation's line from 0 at the foot to
// the scale's top at 500, the player's last and on top, and the goal's
// line; the window of tabs and flags lies over its top.
void drawgraph(int32_t p, int32_t g) {
  for (int32_t b = 0; b < 24; b++) {
    const float v = b % 2 == 0 ? 1.0f : 0.0f;
    areabox(0, 0, 25 * float(b), PLOTW, 25, 0.2f + 0.1f * v, 0.17f + 0.08f * v, 0.17f + 0.08f * v, 1);
  }
  const int32_t top = graphscale(g);
  auto plotline = [](int32_t g, int32_t n, float width, float shift) {
    const float* c = nations[size_t(n)].colour;
    for (const GraphSegment& s : graphline(g, n))
      arealine(1, s.x1, s.y1, s.x2 + shift, s.y2, c[0], c[1], c[2], 1, width);
  };
  for (int32_t n = 0; n < MAXPLAYERS; n++)
    if (n != p && isparticipant(n) && shown[n]) plotline(g, n, 2, 0);
  if (p >= 0 && p < MAXPLAYERS && shown[p]) plotline(g, p, 2.5f, 0.5f);
  const int32_t goal = graphgoalline(g);
  if (goal >= 0) {
    const float y = float(goal) * PLOTH / float(top);
    arealine(1, 0, y, PLOTW, y, 1, 1, 1, 0.5f, 4);
  }
}
}  // namespace

void viewgraphs(int32_t p) {
  if (!shownset) std::fill(std::begin(shown), std::end(shown), true);
  shownset = true;
  const int32_t count = graphcount();
  // Only on entry: the key v shows the victory points' graph even where it
  // has no tab.
  currentgraph = std::clamp(currentgraph, 0, count - 1);
  for (;;) {
    const bool plotted = lastturn() + 1 >= 2;
    guibegin();
    // No title bar: the window fits the 100 units above the plot's lines.
    if (plotted) drawgraph(p, currentgraph);
    guimaxwidth(780);
    guitextscale(0.8f);
    guisetnl(0);
    for (int32_t g = 0; g < count; g++) {
      if (g == currentgraph) guibuttoncol(GR_TAB + g, " [%s] ", 1, 0.85f, 0.4f, 1, graphnames[g]);
      else guibutton(GR_TAB + g, "  %s  ", graphnames[g]);
      guiinfo("Show next graph (tab), goto graph (p,f,i,g,r,d,a,v)");
    }
    guibutton(ST_EXIT, "   Exit");
    guisetnl(1);
    if (!plotted) {
      guibutton(0, "No statistics available yet");
    } else {
      int32_t inrow = 0;
      guitextscale(1.3f);
      guisetnl(0);
      for (int32_t n = 0; n < MAXPLAYERS; n++) {
        if (!isparticipant(n)) continue;
        if (inrow == 9) {
          guisetnl(1);
          guisetnl(0);
          inrow = 0;
        }
        const float b = shown[n] ? 1.2f : 0.5f;
        guispritecol(GR_NATION + n, TRS_FLAGS, n + 1, 1, b, b, b, 1);
        guiinfo("%s, show/hide graph", nations[size_t(n)].name);
        inrow++;
      }
      guisetnl(1);
    }
    for (int32_t key : {KEY_TAB, int32_t('n'), KEY_SPACE}) guishortcut(GR_NEXT, key);
    for (int32_t g = 0; g < GRAPHS; g++) guishortcut(GR_TAB + g, graphkeys[g]);
    for (int32_t key : {KEY_ESCAPE, KEY_F1 + 1, KEY_RETURN}) guishortcut(ST_EXIT, key);
    guishow(-1, 598);
    const int32_t id = render_frame(true, Scene::none);
    if (id == ST_EXIT || quitprogram) return;
    if (id == GR_NEXT) currentgraph = currentgraph + 1 < count ? currentgraph + 1 : 0;
    else if (id >= GR_TAB && id < GR_TAB + GRAPHS) currentgraph = id - GR_TAB;
    else if (id >= GR_NATION && id < GR_NATION + MAXPLAYERS) shown[id - GR_NATION] = !shown[id - GR_NATION];
  }
}

// ---------------------------------------------------------------- hall of fame

namespace {
// The text scale of the two lists, and the widths of their windows.
constexpr float LISTSCALE = 0.85f, FAMEW = 400, PRETENDERSW = 370;

// A text of a list's column from x up to the next column's x, cut with ".."
// where our font makes it wider.
const char* incolumn(const char* text, float x, float next) {
  return CutTextDots(text, (next - x) / (LISTSCALE * GUITEXTHEIGHT));
}
const char* incolumn(int32_t value, float x, float next) {
  char text[16];
  formatbounded(text, sizeof text, "%d", value);
  return incolumn(text, x, next);
}
}  // namespace

void halloffame(int32_t p) {
  auto build = [&] {
    guibegin();
    guititle("Hall of Fame");
    guicloseid(ST_EXIT);
    guiminwidth(FAMEW);
    guimaxwidth(FAMEW);
    guialign(GUIALIGN_LEFT);
    guitextscale(LISTSCALE);
    listheadings({{0, "Name"}, {240, "Nation"}, {300, "Kills"}, {350, "Exp."}}, false);
    const int32_t n = imin(gameinfo.hofsize, MAXSCORES);
    for (int32_t i = 0; i < n; i++) {
      liststripe(i);
      // 0 is an empty place too: a new game's list holds it, and commander
      // 0 is never ranked.
      const int32_t c = scorelist[i];
      if (c <= 0 || famescore(c) < 0) {
        guibutton(0, "None");
        continue;
      }
      const int32_t u = com[size_t(c)].body;
      bailif(u < 0 || u >= 140000 || u >= MAXUNITS, "halloffame: bad u");
      const Unit& x = unit[size_t(u)];
      const char* name = comshownname(c);
      guisetnl(0);
      guibutton(HF_UNIT + u, "%s", incolumn(name, GUIMARGIN, 240));
      if (x.owner >= 0 && x.owner < 95) {
        if (x.flags[2] & F3_PRETENDER) guiinfo("%s. God of %s", name, nations[size_t(x.owner)].name);
        else if (x.flags[1] & ST_PROPHET) guiinfo("%s. Prophet of %s", name, kingdom[size_t(x.owner)].godname);
        else guiinfo("%s of %s", name, nations[size_t(x.owner)].name);
      } else {
        guiinfo("%s", name);
      }
      const int32_t h = int8_t(com[size_t(c)].herocount);
      for (int32_t k = h - 1; k >= 0; k--) {
        guiindent(200 - float(imin(15, 100 / h) * k));
        guispritescaled(0, TRS_MISC, SPRITE_HERO, 1, 0.8f);
      }
      guiindent(250);
      guisprite(0, TRS_FLAGS, x.owner >= 0 && x.owner < 95 ? x.owner + 1 : 0, 1);
      guiindent(300);
      guibutton(0, "%s", incolumn(com[size_t(c)].kills, 300, 350));
      guiindent(350);
      guibutton(0, "%s", incolumn(x.exp, 350, FAMEW - GUIMARGIN));
      guisetnl(1);
    }
    listexit(ST_EXIT, KEY_F1 + 2);
    guishow(-1, -1);
  };
  for (;;) {
    const int32_t id = guimodal(build);
    if (id == ST_EXIT || quitprogram) return;
    const int32_t u = std::abs(id) - HF_UNIT;
    if (std::abs(id) >= HF_UNIT && u < MAXUNITS && (unit[size_t(u)].owner == p || findench(EN_EYESOFGOD, -1, p) >= 0))
      ustatbox(u, nullptr, 0, 0);
  }
}

// ---------------------------------------------------------------- pretenders

void viewnations(int32_t p) {
  (void)p;
  auto build = [&] {
    guibegin();
    guititle("Pretenders of the World");
    guicloseid(ST_EXIT);
    guiminwidth(PRETENDERSW);
    guimaxwidth(PRETENDERSW);
    guialign(GUIALIGN_LEFT);
    guitextscale(LISTSCALE);
    if (gameinfo.gameflags & GF_NONATIONINFO) {
      guibutton(0, "No info on other nations is available");
    } else {
      listheadings({{0, "Name"}, {240, "Nation"}, {300, incolumn("Controller", 300, PRETENDERSW - GUIMARGIN)}}, false);
      int32_t rows = 0;
      for (int32_t n = 0; n < 95; n++) {
        const uint16_t c = uint16_t(kingdom[size_t(n)].w[KW_CONTROLLER]);
        if (c == CTRL_NONE || c == 3) continue;
        liststripe(rows++);
        guisetnl(0);
        guibutton(VN_NATION + n, "%s", incolumn(kingdom[size_t(n)].godname, GUIMARGIN, 240));
        guiinfo("Nation info for %s", nations[size_t(n)].name);
        guiindent(250);
        guisprite(0, TRS_FLAGS, n + 1, 1);
        guiindent(300);
        const char* controller = c == CTRL_HUMAN ? "Human" : c == CTRL_AI ? "AI" : c == CTRL_WAS1 || c == CTRL_WAS2 ? "Defeated" : "???";
        guibutton(0, "%s", incolumn(controller, 300, PRETENDERSW - GUIMARGIN));
        guisetnl(1);
      }
    }
    listexit(ST_EXIT, KEY_F1 + 3);
    guishow(-1, -1);
  };
  for (;;) {
    const int32_t id = guimodal(build);
    if (id == ST_EXIT || quitprogram) return;
    const int32_t n = std::abs(id) - VN_NATION;
    if (std::abs(id) >= VN_NATION && n < 95) shownationinfo(n, 1, 0);
  }
}
