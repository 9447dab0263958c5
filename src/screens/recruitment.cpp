// The Recruit Units screen over the recruitment lists of world/recruit.h;
// the host raises the queue (host/recruit.cpp) and empties it with refunds.
#include "screens/recruitment.h"
#include "screens/unitbox.h"

#include <algorithm>

#include "frontend/frontend.h"
#include "gfx/gfx.h"
#include "gfx/gui.h"
#include "host/phases.h"
#include "runtime/fatal.h"
#include "runtime/trs.h"
#include "runtime/util.h"
#include "world/economy.h"
#include "world/gamedata.h"
#include "world/recruit.h"
#include "world/rules.h"
#include "world/scores.h"
#include "world/world.h"

namespace {
bool validland(int32_t lnr) { return lnr >= 1 && lnr < MAXLANDS; }
bool validplayer(int32_t p) { return p >= 0 && p < MAXPLAYERS; }
bool validtype(int32_t t) { return t >= 1 && t < MAXUNITTYPES; }
bool holy(int32_t t) { return (unittypes[size_t(t)].flags & MF_HOLY) != 0; }
int32_t goldof(int32_t t) { return unittypes[size_t(t)].gcost; }

bool holdsfort(int32_t lnr, int32_t p) {
  return validland(lnr) && validplayer(p) && land[size_t(lnr)].fortholder == p;
}
}  // namespace

// ---------------------------------------------------------------- rules

RecruitTotals recruittotals(int32_t lnr, int32_t p) {
  const Land& l = land[size_t(lnr)];
  RecruitTotals r{};
  r.perturn = getresources(lnr, p);
  r.gold = kingdom[size_t(p)].gold;
  r.left = r.perturn - recruitqueueres(lnr);
  r.holy = getveystr(p);
  for (int32_t i = 0; i < std::clamp<int32_t>(l.queuecount, 0, RECRUITQUEUEMAX); i++)
    if (validtype(l.queue[i]) && holy(l.queue[i])) r.holy--;
  return r;
}

std::vector<bool> queuecovered(int32_t lnr, int32_t p) {
  const Land& l = land[size_t(lnr)];
  std::vector<bool> out;
  int32_t budget = getresources(lnr, p);
  auto take = [&](int32_t t) {
    budget -= validtype(t) ? unitrescost(t) : 0;
    out.push_back(budget >= 0);
  };
  if (l.comqueued == 1) take(l.queuedcomtype);
  for (int32_t i = 0; i < std::clamp<int32_t>(l.queuecount, 0, RECRUITQUEUEMAX); i++) take(l.queue[i]);
  return out;
}

float queuestep(int32_t n) { return n <= 0 ? 13.0f : std::min(13.0f, 430.0f / float(n)); }

void barredcomlabel(int32_t lnr, int32_t type, char* out, int32_t size) {
  const Land& l = land[size_t(lnr)];
  const char* name = unittypes[size_t(type)].name;
  const bool lab = l.lab >= 1, temple = l.temple >= 1;
  const char* missing = nullptr;
  if (holy(type)) {
    if (temple) missing = lab ? nullptr : "lab needed";
    else missing = !lab && gettypemagic(type, 53) > 0 ? "lab and temple needed" : "temple needed";
  } else if (!lab) {
    missing = "lab needed";
  }
  if (missing) formatbounded(out, size, "%s (%s)", name, missing);
  else formatbounded(out, size, "%s", name);
}

// ---------------------------------------------------------------- the screen

namespace {
constexpr int32_t SPRITEMODE = 4;
// The panel: 500 wide, as high as its lists, centred as the toolkit centres
// a window. Rows are written top down from its top (counted from the
// screen's top); areas take y upwards from the bottom.
constexpr float WW = 500, WX = (GUIWIDTH - WW) / 2, MARGIN = 15;
constexpr float ROW = 18, ICON = 17, ENTRYTEXT = 12, COLUMNW = 365;
// A section's heading and its line above its entries; the queue's icons,
// whose x the queue's own rule gives (up to 480 from the panel's edge), and
// the foot's buttons.
constexpr float HEADING = 36, QUEUEICON = 20, QUEUEGAP = 10, FOOT = 22, FOOTGAP = 10;
float up(float y) { return GUIHEIGHT - y; }

// A list of entries, ten a column, from (x, y): each the type's figure and
// its label; shaded lists at half brightness.
struct Entry {
  int32_t id, type;
  char label[120];
  bool shaded;
};

float entriesheight(const std::vector<Entry>& entries) { return ROW * float(std::min<size_t>(10, entries.size())); }

void drawentries(const std::vector<Entry>& entries, float y) {
  if (entries.empty()) return;
  const int32_t cols = (int32_t(entries.size()) + 9) / 10;
  const float colw = std::min(COLUMNW, (WW - 2 * MARGIN) / float(cols));
  for (size_t i = 0; i < entries.size(); i++) {
    const Entry& e = entries[i];
    const float x = WX + MARGIN + colw * float(i / 10), ey = y + ROW * float(i % 10);
    const float b = e.shaded ? 0.5f : 1.0f;
    areaspritecol(e.id, TRS_ARMY, unittypes[size_t(e.type)].sprite, SPRITEMODE, x, up(ey + ICON), ICON, ICON, b, b,
                  b, 1);
    areatextcol(e.id, x + ICON + 4, up(ey + ROW - 5), ENTRYTEXT, b, b, b, 1, "%s",
                CutTextDots(e.label, (colw - ICON - 8) / ENTRYTEXT));
  }
}

// An entry of a type that may be recruited here: shaded with the reason
// while the province is besieged or restless, else with its costs.
Entry offeredentry(int32_t id, int32_t t, bool mine, bool calm) {
  Entry e{id, t, {}, !mine || !calm};
  const char* name = unittypes[size_t(t)].name;
  if (!mine) formatbounded(e.label, sizeof e.label, "%s (cannot recruit while besieged)", name);
  else if (calm) formatbounded(e.label, sizeof e.label, "%s (%d gold, %d resources)", name, goldof(t), unitrescost(t));
  else formatbounded(e.label, sizeof e.label, "%s (unrest too high)", name);
  return e;
}

// A line of the panel, cut with ".." where our font makes it wider.
void panelline(float y, float scale, const char* text) {
  areatext(0, WX + MARGIN, up(y), scale, "%s", CutTextDots(text, (WW - 2 * MARGIN) / scale));
}

void heading(float y, const char* title, const char* line) {
  areatextcol(0, WX + MARGIN, up(y + 14), 16, 1, 0.85f, 0.4f, 1, "%s", title);
  panelline(y + 30, 12, line);
}

// A button of the window's foot: a dark box with its text.
void footbutton(int32_t id, float x, float y, float w, const char* text, const char* hint) {
  areabox(id, x, up(y + FOOT), w, FOOT, 0.15f, 0.15f, 0.2f, 0.9f);
  if (areatext(id, x + 8, up(y + 17), 14, "%s", text) >= 0) areainfo("%s", hint);
}

void drawscreen(int32_t lnr, int32_t p) {
  const Land& l = land[size_t(lnr)];
  const bool mine = l.owner == p, calm = l.unrest <= 99;
  std::vector<Entry> units;
  for (int32_t t : recruitlist(lnr, 0)) units.push_back(offeredentry(RC_UNIT + t, t, mine, calm));
  for (int32_t t : recruitlist(lnr, 2)) {
    Entry e{RC_UNITBARRED + t, t, {}, true};
    formatbounded(e.label, sizeof e.label, "%s (temple needed)", unittypes[size_t(t)].name);
    units.push_back(e);
  }
  std::vector<Entry> coms;
  for (int32_t t : recruitlist(lnr, 10)) coms.push_back(offeredentry(RC_COM + t, t, mine, calm));
  for (int32_t t : recruitlist(lnr, 12)) {
    Entry e{RC_COMBARRED + t, t, {}, true};
    barredcomlabel(lnr, t, e.label, sizeof e.label);
    coms.push_back(e);
  }
  // The panel's height: its title bar, the two lists under their headings,
  // the queue under its heading and line, the foot.
  const float sections = 2 * (HEADING + 4) + entriesheight(units) + entriesheight(coms);
  const float queue = HEADING + 16 + QUEUEICON;
  const float wh = GUITITLEBAR + 6 + sections + queue + QUEUEGAP + FOOT + FOOTGAP;
  const float wtop = (GUIHEIGHT - wh) / 2;
  guibegin();
  guicloseid(RC_EXIT);
  guiwindow(0, WX, up(wtop + wh), WW, wh);
  float y = wtop + GUITITLEBAR + 6;
  heading(y, "Units", "You can recruit as many units per turn as your resources allow or max 100");
  drawentries(units, y + HEADING);
  y += HEADING + entriesheight(units) + 4;
  heading(y, "Commanders", "You can recruit a maximum of one commander per turn");
  drawentries(coms, y + HEADING);
  y += HEADING + entriesheight(coms) + 4;
  // The queue: what this turn's resources cover is drawn whole, the rest faded.
  heading(y, "Recruitment Queue", "Below are the commander and units that will be recruited next turn");
  const RecruitTotals tot = recruittotals(lnr, p);
  char totals[160];
  formatbounded(totals, sizeof totals, "Resources/turn:%d \xA4 Gold:%d \xA4 Resources:%d \xA4 Holy:%d", tot.perturn,
                tot.gold, tot.left, tot.holy);
  panelline(y + 46, 12, totals);
  const std::vector<bool> covered = queuecovered(lnr, p);
  const float qy = y + HEADING + 16;
  size_t k = 0;
  if (l.comqueued == 1 && validtype(l.queuedcomtype)) {
    const float a = covered[k++] ? 1.0f : 0.6f;
    if (areaspritecol(RC_REMOVECOM, TRS_ARMY, unittypes[size_t(l.queuedcomtype)].sprite, SPRITEMODE, WX + MARGIN,
                      up(qy + QUEUEICON), QUEUEICON, QUEUEICON, 1, 1, 1, a) >= 0)
      areainfo("Remove commander from recruitment queue");
  }
  const int32_t n = std::clamp<int32_t>(l.queuecount, 0, RECRUITQUEUEMAX);
  for (int32_t i = 0; i < n; i++) {
    const int32_t t = l.queue[i];
    const float a = covered[k++] ? 1.0f : 0.6f;
    if (!validtype(t)) continue;
    if (areaspritecol(RC_REMOVEUNIT, TRS_ARMY, unittypes[size_t(t)].sprite, SPRITEMODE,
                      WX + 50 + float(i) * queuestep(n), up(qy + QUEUEICON), QUEUEICON, QUEUEICON, 1, 1, 1, a) >= 0)
      areainfo("(backspace) Remove last unit from recruitment queue");
  }
  // The foot.
  const float fy = qy + QUEUEICON + QUEUEGAP;
  footbutton(RC_RESET, WX + MARGIN, fy, 170, "Reset recruitment", "(del) Remove everything from the queue, gold back");
  footbutton(RC_EXIT, WX + WW - MARGIN - 70, fy, 70, "Exit", "(esc) Back to the map");
  guirepeatshortcut(RC_REMOVEUNIT, KEY_BACKSPACE);   // held, it takes back unit after unit
  guishortcut(RC_RESET, KEY_DELETE);
  guishortcut(RC_EXIT, KEY_ESCAPE);
}
}  // namespace

void buildarmy(int32_t lnr, int32_t p) {
  bailif(lnr < 0 || p < 0 || !validland(lnr) || !validplayer(p), "buildarmy: bad lnr");
  for (;;) {
    const int32_t id = guimodal([&] { drawscreen(lnr, p); });
    if (id == RC_EXIT || quitprogram) return;
    const bool shift = guieventmods() & GUIMOD_SHIFT;
    if (id == RC_REMOVECOM) unqueuecommander(lnr, p);
    else if (id == RC_REMOVEUNIT) unqueuelastunit(lnr, p);
    else if (id == RC_RESET && holdsfort(lnr, p)) cancelrecruits(lnr);
    else if (id >= RC_UNIT && id < RC_COM) queueunits(lnr, p, id - RC_UNIT, shift ? 10 : 1);
    else if (id >= RC_COM && id < RC_UNITBARRED) recruitcommander(lnr, p, id - RC_COM);
    else if (-id >= RC_UNIT && -id < RC_COM) typestatbox(-id - RC_UNIT, 0);
    else if (-id >= RC_UNITBARRED && -id < RC_COMBARRED) typestatbox(-id - RC_UNITBARRED, 0);
    else if (-id >= RC_COM && -id < RC_UNITBARRED) comtypestatbox(-id - RC_COM);
    else if (-id >= RC_COMBARRED && -id < RC_COMBARRED + 10000) comtypestatbox(-id - RC_COMBARRED);
  }
}
