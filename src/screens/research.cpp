// The Magic Research screen over the host's research rules.
#include "screens/research.h"

#include <algorithm>
#include <cmath>

#include "actions/sharedrules.h"
#include "frontend/frontend.h"
#include "gfx/gfx.h"
#include "gfx/gui.h"
#include "runtime/fatal.h"
#include "runtime/util.h"
#include "screens/orders.h"
#include "world/gamedata.h"
#include "world/magic.h"
#include "world/world.h"

namespace {
constexpr int32_t SCHOOLCOUNT = 7;   // the Divine school is never researched
constexpr int32_t RS_PLUS = 1, RS_MINUS = 2, RS_SCHOOL = 10, RS_SLIDER = 30, RS_EXIT = 999;

bool validplayer(int32_t p) { return p >= 0 && p < MAXKINGDOMS; }
bool validschool(int32_t s) { return s >= 0 && s < SCHOOLCOUNT; }
int16_t& percentof(int32_t p, int32_t s) { return researchrec[size_t(p)][size_t(RR_PERCENT + s)]; }
}  // namespace

// ---------------------------------------------------------------- rules

void finetuneresearch(int32_t p, int32_t s, int32_t step) {
  if (!validplayer(p) || !validschool(s) || step == 0) return;
  step = step > 0 ? 1 : -1;
  int16_t& pc = percentof(p, s);
  const int32_t was = pathresearch(p, s);
  for (;;) {
    const int32_t v = pc + step;
    if (v > 99) {
      pc = 100;
      return;
    }
    if (v < 1) {
      pc = 0;
      return;
    }
    pc = int16_t(v);
    if (pathresearch(p, s) != was) return;
  }
}

int32_t sliderpercent(float pixels) {
  const double v = std::trunc((double(pixels) - 5) * 1.1111111111111112);
  return int32_t(std::clamp(v, 0.0, 100.0));
}

void setresearchpercent(int32_t p, int32_t s, int32_t percent) {
  if (!validplayer(p) || !validschool(s)) return;
  percentof(p, s) = int16_t(std::clamp(percent, 0, 100));
  balanceresearch(p, s);
}

ResearchRow researchrow(int32_t p, int32_t s) {
  ResearchRow r{};
  if (!validplayer(p) || !validschool(s)) return r;
  r.points = pathresearch(p, s);
  r.level = researchrec[size_t(p)][size_t(RR_LEVEL + s)];
  r.complete = r.level > 8;
  r.gathered = r.complete ? 0 : researchrec[size_t(p)][size_t(RR_POINTS + s)];
  r.cost = researchcost(r.level);
  return r;
}

// ---------------------------------------------------------------- the screen

namespace {
constexpr float WX = 90, WW = 620, WTOP = 140, WH = 320;   // the window, its top counted from the screen's top
// A row's columns, from the window's left edge: the school's name, its
// slider, "level", the bar of the level's progress; each text follows the
// item before it.
constexpr float NAMEX = 20, SLIDERX = 110, LEVELX = 270, BARX = 320, SLIDERW = 100, BARW = 100, TEXTGAP = 2;
constexpr float ROWSCALE = 13;
// The layout is written top down; areas take y upwards from the bottom.
float up(float y) { return 600 - y; }
float sliderx() { return WX + SLIDERX; }

// A text of the row in the column from x to the column's end, cut with
// ".." where our font makes it longer: its area, or -1.
int32_t columntext(int32_t id, float x, float end, float y, float scale, const char* text) {
  return areatext(id, x, y, scale, "%s", CutTextDots(text, (end - x) / scale));
}

void drawscreen(int32_t p) {
  guibegin();
  guititle("Magic Research");
  guicloseid(RS_EXIT);
  guiwindow(0, WX, up(WTOP + WH), WW, WH);
  const float x0 = WX + NAMEX;
  char text[60];
  for (int32_t s = 0; s < SCHOOLCOUNT; s++) {
    if (researchrec[size_t(p)][size_t(RR_LEVEL + s)] > 8) researchrec[size_t(p)][size_t(RR_POINTS + s)] = 0;
    const ResearchRow r = researchrow(p, s);
    const float y = WTOP + 40 + 30 * float(s);
    if (columntext(RS_SCHOOL + s, x0, sliderx() - TEXTGAP, up(y + 16), 14, schoolnames[s]) >= 0)
      areainfo("View all available spells in this school");
    // The slider: its track and its fill, either of which the pointer may
    // find, so both carry its tooltip.
    const char* slidertip =
        "The amount of research that will be done in this school. (+,-) Fine tune the research points";
    const float sx = sliderx();
    if (areabox(RS_SLIDER + s, sx, up(y + 18), SLIDERW, 18, 0.2f, 0.2f, 0.25f, 0.9f) >= 0) areainfo("%s", slidertip);
    const float fill = SLIDERW * float(std::clamp<int32_t>(percentof(p, s), 0, 100)) / 100;
    if (fill > 0 && areabox(RS_SLIDER + s, sx, up(y + 18), fill, 18, 0.1f, 1.0f, 0.2f, 0.5f) >= 0)
      areainfo("%s", slidertip);
    formatbounded(text, sizeof text, "\xA4%d rp ", r.points);
    columntext(0, sx + SLIDERW + TEXTGAP, WX + LEVELX, up(y + 16), ROWSCALE, text);
    formatbounded(text, sizeof text, "level %d ", r.level);
    columntext(0, WX + LEVELX, WX + BARX, up(y + 16), ROWSCALE, text);
    const float gx = WX + BARX;
    areabox(0, gx, up(y + 18), BARW, 18, 0.2f, 0.2f, 0.25f, 0.9f);
    const float done = r.cost > 0 ? std::clamp(float(r.gathered) / float(r.cost), 0.0f, 1.0f) : 0.0f;
    if (!r.complete && done > 0) areabox(0, gx, up(y + 18), BARW * done, 18, 0.1f, 0.3f, 0.9f, 0.5f);
    if (r.complete) formatbounded(text, sizeof text, "\xA4" "Completed");
    else formatbounded(text, sizeof text, "\xA4%d rp left", r.cost - r.gathered);
    columntext(0, gx + BARW + TEXTGAP, WX + WW - NAMEX, up(y + 16), ROWSCALE, text);
  }
  const float fy = WTOP + 40 + 30 * SCHOOLCOUNT + 8;
  areatext(0, x0, up(fy + 16), 14, "Research speed: %d rp per turn", pathresearch(p, 99));
  areabox(RS_EXIT, WX + WW - 90, up(fy + 48), 70, 22, 0.15f, 0.15f, 0.2f, 0.9f);
  areatext(RS_EXIT, WX + WW - 82, up(fy + 43), 14, "Exit");
  for (int32_t key : {KEY_ESCAPE, KEY_F1 + 4, KEY_RETURN}) guishortcut(RS_EXIT, key);
  guirepeatshortcut(RS_PLUS, '+');
  guirepeatshortcut(RS_MINUS, '-');
}
}  // namespace

void viewresearch(int32_t p) {
  bailif(!validplayer(p), "viewresearch: bad player");
  balanceresearch(p, -1);
  int32_t touched = 0;
  for (;;) {
    const int32_t id = guimodal([&] { drawscreen(p); });
    if (id == RS_EXIT || quitprogram) return;
    if (id == RS_PLUS || id == RS_MINUS) {
      finetuneresearch(p, touched, id == RS_PLUS ? 1 : -1);
      balanceresearch(p, touched);
    } else if (std::abs(id) >= RS_SCHOOL && std::abs(id) < RS_SCHOOL + SCHOOLCOUNT) {
      const int32_t s = std::abs(id) - RS_SCHOOL;
      schoolspells(p, s, researchrec[size_t(p)][size_t(RR_LEVEL + s)] + 1);
    } else if (id >= RS_SLIDER && id < RS_SLIDER + SCHOOLCOUNT) {
      float gx = 0, gy = 0;
      windowtogui(guiviewport(), windowheight(), float(mousex), float(mousey), &gx, &gy);
      touched = id - RS_SLIDER;
      setresearchpercent(p, touched, sliderpercent(gx - sliderx()));
    }
  }
}
