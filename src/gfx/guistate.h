// The GUI toolkit's tables of one screen, shared by its source files (items,
// layout, areas, drawing, the frame). Screens use gui.h only.
#pragma once
#include <array>
#include <cstdarg>
#include <vector>

#include "gfx/font.h"
#include "gfx/gui.h"

enum class ItemKind : uint8_t { text, rows, toggle, radio, separator, space, sprite, bar, hline, callback, box, field };
// How a sprite item sits in its cell.
enum class SpriteFit : uint8_t { aspect, scaled, bottom40, mid40, mid50, mid30 };

struct guiitem {
  ItemKind kind;
  SpriteFit fit;
  uint8_t align;
  bool endsrow;
  uint8_t part;             // PART_HEADER, PART_BODY or PART_FOOTER
  int32_t id, id2;
  float th;                 // text height of the item
  float r, g, b, a;
  float indent, overlay;    // -1 when not given
  float width, fraction, offset;
  int32_t text, length;     // text pool range
  int32_t file, nr, mode;
  int32_t value, shown;     // radio: selected; callback: value; field: cursor and characters shown
  int32_t* toggle;
  guidrawfn draw;
  int32_t info;
  int32_t bgbox;            // background box it lies on, -1 none
  // Layout: size, then place (x from the window's left edge, y downward from
  // the top of the header or of the scrolling part), and its wrapped rows.
  float w, h, x, y;
  int32_t firstrow, rows;
};

constexpr uint8_t PART_HEADER = 0, PART_BODY = 1, PART_FOOTER = 2;

struct guibgboxdef {
  float r, g, b, a;
  int32_t firstitem, lastitem;
  float indent, width;   // from the window's left edge; width 0: the full width
};

struct guistate {
  // Build state.
  float textscale = 1.0f;
  float plain[4] = {1, 1, 1, 1};
  int32_t align = GUIALIGN_CENTRE;
  int32_t newline = 1;
  float pendingindent = -1, pendingoverlay = -1;
  int32_t openbgbox = -1;
  int32_t scrollstart = -1;   // first scrolling item, -1 none
  int32_t scrollend = -1;     // first item of the fixed footer, -1 none
  int32_t closeid = 0;
  int32_t plainclickid = 0;   // guiplainclickid
  int32_t fade = 0;
  bool dialog = false;        // built by guidialogbegin (or guiboxbegin)
  bool box = false;           // built by guiboxbegin
  float maxheight = 450, maxwidth = 700, minwidth = 100;
  char title[GUIBUTTONLEN] = {};
  char hint[GUIINFOLEN] = {};
  bool hashint = false;
  // Text box of the wrapped text printer.
  float textbox[4] = {0, 0, 800, 600};
  // Tables.
  int32_t nitems = 0, nareas = 0, nshortcuts = 0, ninfos = 0;
  std::vector<guibgboxdef> bgboxes;
  std::vector<textrow> wraprows;
  std::vector<guirect> clips;
  std::vector<guirect> windows;
  guirect shown = {0, 0, 0, 0};
  float scroll = 0, scrollmax = 0;
  int32_t stillend = 0;         // areas before it: the still layer (guistilllayer)
  bool animating = false;       // the areas change with the clock (guianimate)
  int32_t outlinefile = -1, outlinenr = -1;
};

extern guistate gui;
extern std::array<guiitem, GUIITEMS> guiitems;
extern std::array<guiarea, GUIAREAS> guiareas;
extern std::array<guishortcutkey, GUISHORTCUTS> guishortcuts;

// Internal ids of the scroll bar parts; render_frame handles them itself.
constexpr int32_t GUIID_SCROLLUP = -2000000001, GUIID_SCROLLDOWN = -2000000002, GUIID_SCROLLTRACK = -2000000003,
                  GUIID_SCROLLTHUMB = -2000000004;
inline bool isscrollid(int32_t id) { return id <= GUIID_SCROLLUP && id >= GUIID_SCROLLTHUMB; }

// The tables of the window shown, taken whole: a question that a frame
// asks over that window (the close question) builds its own window in the
// tables, and the frame then goes on with this one as it was.
struct guitablescopy {
  guistate state;
  std::vector<guiitem> items;
  std::vector<guiarea> areas;
  std::vector<guishortcutkey> shortcuts;
  std::vector<char> pool, infos;
  std::vector<int32_t> infostart;
};
guitablescopy copyguitables();
void restoreguitables(const guitablescopy& copy);

// Text pool: texts of items and areas; -1 when full. The text is cut to
// `limit` - 1 characters.
int32_t pooladd(const char* text, int32_t limit);
int32_t poolvformat(int32_t limit, const char* format, va_list args);
const char* pooltext(int32_t offset);
int32_t poollength(int32_t offset);
// Info texts.
int32_t infoadd(const char* format, va_list args);
int32_t infoaddf(const char* format, ...) __attribute__((format(printf, 1, 2)));
void cleartables();
// Forgets the animation asked for while a window was built (guibegin).
void forgetbuildanimation();

// A new area with every field cleared and no info or clip; null when full
// ("Warning: out of guiareas" logged once per screen).
guiarea* newarea(AreaKind kind, int32_t id, float x, float y, float w, float h);
// Window scroll memory by window title.
float rememberedscroll();
void rememberscroll(float position);
// The pending slot restore, applied and forgotten by guishow.
int32_t takeslotrestore(float* position);
// Layout results of the shown window for tests and the drawer.
float windowtitleheight();
