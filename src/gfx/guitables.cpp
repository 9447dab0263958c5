// The tables of one screen: items, areas, shortcuts, info texts and the text
// pool, with the look-ups that screens and tests read.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "gfx/guistate.h"
#include "runtime/fatal.h"
#include "runtime/util.h"

guistate gui;
std::array<guiitem, GUIITEMS> guiitems;
std::array<guiarea, GUIAREAS> guiareas;
std::array<guishortcutkey, GUISHORTCUTS> guishortcuts;

namespace {
// Texts of items and areas, one after another, each terminated.
constexpr int32_t POOLSIZE = 12 << 20;
char pool[POOLSIZE];
int32_t poolused = 0;
// Info texts.
constexpr int32_t INFOPOOL = 4 << 20;
char infopool[INFOPOOL];
int32_t infoused = 0;
std::array<int32_t, GUIINFOS> infostart;
bool areaswarned = false;
}  // namespace

void cleartables() {
  gui.nitems = gui.nareas = gui.nshortcuts = gui.ninfos = 0;
  poolused = infoused = 0;
  areaswarned = false;
  gui.bgboxes.clear();
  gui.wraprows.clear();
  gui.clips.clear();
  gui.windows.clear();
}

guitablescopy copyguitables() {
  guitablescopy c;
  c.state = gui;
  c.items.assign(guiitems.begin(), guiitems.begin() + gui.nitems);
  c.areas.assign(guiareas.begin(), guiareas.begin() + gui.nareas);
  c.shortcuts.assign(guishortcuts.begin(), guishortcuts.begin() + gui.nshortcuts);
  c.pool.assign(pool, pool + poolused);
  c.infos.assign(infopool, infopool + infoused);
  c.infostart.assign(infostart.begin(), infostart.begin() + gui.ninfos);
  return c;
}

void restoreguitables(const guitablescopy& c) {
  gui = c.state;
  std::copy(c.items.begin(), c.items.end(), guiitems.begin());
  std::copy(c.areas.begin(), c.areas.end(), guiareas.begin());
  std::copy(c.shortcuts.begin(), c.shortcuts.end(), guishortcuts.begin());
  std::copy(c.pool.begin(), c.pool.end(), pool);
  poolused = int32_t(c.pool.size());
  std::copy(c.infos.begin(), c.infos.end(), infopool);
  infoused = int32_t(c.infos.size());
  std::copy(c.infostart.begin(), c.infostart.end(), infostart.begin());
}

int32_t pooladd(const char* text, int32_t limit) {
  if (!text) text = "";
  int32_t n = int32_t(strnlen(text, size_t(limit - 1)));
  if (poolused + n + 1 > POOLSIZE) return -1;
  int32_t at = poolused;
  memcpy(pool + at, text, size_t(n));
  pool[at + n] = 0;
  poolused += n + 1;
  return at;
}

int32_t poolvformat(int32_t limit, const char* format, va_list args) {
  if (poolused + limit > POOLSIZE) {
    // Not room for the longest text: format aside and keep what fits.
    char* text = new char[size_t(limit)];
    vsnprintf(text, size_t(limit), format ? format : "", args);
    int32_t at = pooladd(text, limit);
    delete[] text;
    return at;
  }
  int32_t at = poolused;
  int n = vsnprintf(pool + at, size_t(limit), format ? format : "", args);
  if (n < 0) n = 0;
  n = imin(n, limit - 1);
  poolused += n + 1;
  return at;
}

const char* pooltext(int32_t offset) { return offset >= 0 && offset < POOLSIZE ? pool + offset : ""; }
int32_t poollength(int32_t offset) { return int32_t(strlen(pooltext(offset))); }

int32_t infoadd(const char* format, va_list args) {
  if (gui.ninfos >= GUIINFOS || infoused + GUIINFOLEN > INFOPOOL) return -1;
  int n = vsnprintf(infopool + infoused, GUIINFOLEN, format ? format : "", args);
  if (n < 0) n = 0;
  infostart[size_t(gui.ninfos)] = infoused;
  infoused += imin(n, GUIINFOLEN - 1) + 1;
  return gui.ninfos++;
}

int32_t infoaddf(const char* format, ...) {
  va_list args;
  va_start(args, format);
  int32_t n = infoadd(format, args);
  va_end(args);
  return n;
}

const char* guiinfotext(int32_t info) {
  return info >= 0 && info < gui.ninfos ? infopool + infostart[size_t(info)] : "";
}

guiarea* newarea(AreaKind kind, int32_t id, float x, float y, float w, float h) {
  if (gui.nareas >= GUIAREAS - 1) {
    if (!areaswarned) debugprint("Warning: out of guiareas\n");
    areaswarned = true;
    return nullptr;
  }
  guiarea& a = guiareas[size_t(gui.nareas++)];
  a = {};
  a.kind = kind;
  a.id = id;
  a.x = x;
  a.y = y;
  a.w = w;
  a.h = h;
  a.r = a.g = a.b = a.a = 1;
  a.text = a.info = a.clip = -1;
  return &a;
}

int32_t guiareacount() { return gui.nareas; }
const guiarea& guiareaget(int32_t index) {
  bailif(index < 0 || index >= gui.nareas, "guiareaget: bad area");
  return guiareas[size_t(index)];
}
const char* guiareatext(const guiarea& area) { return pooltext(area.text); }
guirect guishownwindow() { return gui.shown; }
guirect guiclip(int32_t index) {
  return index >= 0 && index < int32_t(gui.clips.size()) ? gui.clips[size_t(index)] : guirect{0, 0, GUIWIDTH, GUIHEIGHT};
}
const char* guihinttext() { return gui.hashint ? gui.hint : ""; }
int32_t guishortcutcount() { return gui.nshortcuts; }
const guishortcutkey& guishortcutget(int32_t index) {
  bailif(index < 0 || index >= gui.nshortcuts, "guishortcutget: bad shortcut");
  return guishortcuts[size_t(index)];
}

namespace {
bool inside(const guirect& r, float x, float y) { return x >= r.x && x <= r.x + r.w && y >= r.y && y <= r.y + r.h; }
}  // namespace

int32_t guiareaat(float x, float y) {
  int32_t best = -1;
  float bestscore = 0;
  for (int32_t i = 0; i < gui.nareas; i++) {
    const guiarea& a = guiareas[size_t(i)];
    if (a.id == 0 || !inside({a.x, a.y, a.w, a.h}, x, y)) continue;
    if (a.clip >= 0 && !inside(gui.clips[size_t(a.clip)], x, y)) continue;
    float score = fabsf(x - (a.x + a.w * 0.5f)) + fabsf(y - (a.y + a.h * 0.5f)) - float(a.priority);
    if (best < 0 || score < bestscore) {
      best = i;
      bestscore = score;
    }
  }
  return best;
}

int pointinguiwindow(float x, float y) {
  for (const guirect& w : gui.windows)
    if (x >= w.x - 15 && x <= w.x + w.w + 30 && y >= w.y - 30 && y <= w.y + w.h + 15) return 1;
  return 0;
}

int32_t findguiarea(int32_t id) {
  for (int32_t i = 0; i < gui.nareas; i++)
    if (guiareas[size_t(i)].id == id) return i;
  return -1;
}

void areasetpriority(int32_t area, int32_t priority) {
  if (area < 0 || area >= gui.nareas) return;
  guiareas[size_t(area)].priority = uint16_t(imax(0, imin(priority, 65535)));
}

namespace {
// Areas that a popup should leave readable: texts and controls, not the
// window's frame, background boxes or lines.
bool keepsclear(const guiarea& a) {
  switch (a.kind) {
    case AreaKind::box:
    case AreaKind::border:
    case AreaKind::line:
    case AreaKind::hline:
    case AreaKind::hotspot:
    case AreaKind::scrolltrack:
    case AreaKind::buttonback: return false;
    default: return true;
  }
}

float overlap(const guirect& p, const guiarea& a) {
  const float w = fminf(p.x + p.w, a.x + a.w) - fmaxf(p.x, a.x), h = fminf(p.y + p.h, a.y + a.h) - fmaxf(p.y, a.y);
  return w > 0 && h > 0 ? w * h : 0;
}
}  // namespace

guirect guipopupplace(float w, float h, float px, float py, int32_t hovered, guirect room) {
  // Kept off the room's edges, so that it is seen to end there; a popup
  // wider (higher) than the room less its margins keeps its left (top)
  // edge in view.
  const float marginx = fminf(POPUPMARGIN, fmaxf(0, (room.w - w) * 0.5f));
  const float marginy = fminf(POPUPMARGIN, fmaxf(0, (room.h - h) * 0.5f));
  room = {room.x + marginx, room.y + marginy, room.w - 2 * marginx, room.h - 2 * marginy};
  guirect item = {px, py, 0, 0};
  if (hovered >= 0 && hovered < gui.nareas) {
    const guiarea& a = guiareas[size_t(hovered)];
    item = {a.x, a.y, a.w, a.h};
  }
  const float gap = 16, itemmidy = item.y + item.h * 0.5f;
  const guirect tries[] = {
      {px + gap, py - h * 0.5f, w, h},                      // right of the pointer
      {item.x + item.w + 8, itemmidy - h * 0.5f, w, h},     // right of the item
      {px - gap - w, py - h * 0.5f, w, h},                  // left of the pointer
      {item.x - 8 - w, itemmidy - h * 0.5f, w, h},          // left of the item
      {px - w * 0.5f, py + gap, w, h},                      // above the pointer
      {px - w * 0.5f, item.y + item.h + 4, w, h},           // above the item
      {px + 10, py + gap, w, h},                            // above, to the right
      {px - 10 - w, py + gap, w, h},                        // above, to the left
      {px - w * 0.5f, py - gap - h, w, h},                  // below the pointer
      {px - w * 0.5f, item.y - 4 - h, w, h},                // below the item
  };
  guirect best = tries[0];
  float bestcover = -1;
  for (guirect t : tries) {
    t.x = fmaxf(room.x, fminf(t.x, room.x + room.w - t.w));
    t.y = fminf(room.y + room.h - t.h, fmaxf(t.y, room.y));
    float cover = 0;
    for (int32_t i = 0; i < gui.nareas; i++)
      if (keepsclear(guiareas[size_t(i)])) cover += overlap(t, guiareas[size_t(i)]);
    if (bestcover < 0 || cover < bestcover) {
      best = t;
      bestcover = cover;
    }
    if (cover == 0) break;
  }
  return best;
}
