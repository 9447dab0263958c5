// Building a screen: the window settings and the items added row by row.
#include <cstdio>
#include <cstring>

#include "gfx/guistate.h"
#include "gfx/sprites.h"
#include "runtime/fatal.h"
#include "runtime/util.h"

namespace {
// A new item in the current settings, or null when the table is full.
guiitem* newitem(ItemKind kind, int32_t id, float textheight) {
  if (gui.nitems >= GUIITEMS) return nullptr;
  guiitem& it = guiitems[size_t(gui.nitems++)];
  it = {};
  it.kind = kind;
  it.id = id;
  it.th = textheight;
  it.r = gui.plain[0];
  it.g = gui.plain[1];
  it.b = gui.plain[2];
  it.a = gui.plain[3];
  it.align = uint8_t(gui.align);
  it.endsrow = gui.newline != 0;
  it.part = gui.scrollstart >= 0 && gui.scrollend >= 0 ? PART_FOOTER : PART_BODY;
  it.indent = gui.pendingindent;
  it.overlay = gui.pendingoverlay;
  // An overlay shares the row of the item it lies over.
  if (it.overlay >= 0 && gui.nitems > 1) guiitems[size_t(gui.nitems - 2)].endsrow = false;
  gui.pendingindent = gui.pendingoverlay = -1;
  it.text = it.info = -1;
  it.bgbox = gui.openbgbox;
  it.file = it.nr = -1;
  if (gui.openbgbox >= 0) gui.bgboxes[size_t(gui.openbgbox)].lastitem = gui.nitems - 1;
  return &it;
}

float textheight() { return GUITEXTHEIGHT * gui.textscale; }

void textitem(int32_t id, float scale, const char* format, va_list args) {
  guiitem* it = newitem(ItemKind::text, id, textheight() * scale);
  if (!it) return;
  it->text = poolvformat(GUIBUTTONLEN, format, args);
}

void spriteitem(int32_t id, int32_t file, int32_t nr, int32_t mode, SpriteFit fit, float scale, const float* col) {
  guiitem* it = newitem(ItemKind::sprite, id, textheight());
  if (!it) return;
  it->file = file;
  it->nr = nr;
  it->mode = mode;
  it->fit = fit;
  it->width = scale;
  fetchsprite(file, nr, mode);
  if (col) {
    it->r = col[0];
    it->g = col[1] == 1.0f ? 0.99f : col[1];
    it->b = col[2];
    it->a = col[3];
  }
}
}  // namespace

void guibegin() {
  cleartables();
  forgetbuildanimation();
  gui.textscale = 1;
  gui.plain[0] = gui.plain[1] = gui.plain[2] = gui.plain[3] = 1;
  gui.align = GUIALIGN_CENTRE;
  gui.newline = 1;
  gui.pendingindent = gui.pendingoverlay = -1;
  gui.openbgbox = gui.scrollstart = gui.scrollend = -1;
  gui.closeid = gui.plainclickid = 0;
  gui.dialog = gui.box = false;
  gui.maxheight = 450;
  gui.maxwidth = 700;
  gui.minwidth = 100;
  gui.title[0] = 0;
  gui.hashint = false;
  gui.shown = {0, 0, 0, 0};
  gui.stillend = 0;
  gui.animating = false;
}

void guistilllayer() { gui.stillend = gui.nareas; }

void guianimate() { gui.animating = true; }

void guititle(const char* format, ...) {
  va_list args;
  va_start(args, format);
  vsnprintf(gui.title, sizeof gui.title, format ? format : "", args);
  va_end(args);
}

void guicloseid(int32_t id) { gui.closeid = id; }
void guiplainclickid(int32_t id) { gui.plainclickid = id; }
void guisetfade(int32_t on) { gui.fade = on; }
void guimaxheight(float h) { gui.maxheight = h; }
void guimaxwidth(float w) { gui.maxwidth = w; }
void guiminwidth(float w) { gui.minwidth = w; }
void guitextscale(float f) { gui.textscale = f; }

GuiTextScale::GuiTextScale(float f) : outer(gui.textscale) { gui.textscale = f; }
GuiTextScale::~GuiTextScale() { gui.textscale = outer; }

void guisetnl(int32_t flag) {
  if (flag && !gui.newline && gui.nitems > 0) guiitems[size_t(gui.nitems - 1)].endsrow = true;
  gui.newline = flag ? 1 : 0;
}

void guialign(int32_t mode) {
  if (mode == GUIALIGN_LEFT || mode == GUIALIGN_CENTRE) gui.align = mode;
}

void guispace(float h) {
  guiitem* it = newitem(ItemKind::space, 0, textheight());
  if (!it) return;
  it->width = h;
  it->endsrow = true;
}

void guiindent(float w) { gui.pendingindent = maxf(0, w); }
void guioverlayat(float f) { gui.pendingoverlay = f; }
void guioverlay() { gui.pendingoverlay = 1; }

void guiscrollstart() {
  if (gui.nitems > 0) guiitems[size_t(gui.nitems - 1)].endsrow = true;
  gui.openbgbox = -1;
  if (gui.scrollstart >= 0) {   // a second call: what follows is a fixed footer
    gui.scrollend = gui.nitems;
    return;
  }
  for (int32_t i = 0; i < gui.nitems; i++) guiitems[size_t(i)].part = PART_HEADER;
  gui.scrollstart = gui.nitems;
}

void guishade(float level) { gui.plain[0] = gui.plain[1] = gui.plain[2] = level; }

void guibgboxat(float indent, float width, float r, float g, float b, float a) {
  if (gui.nitems > 0) guiitems[size_t(gui.nitems - 1)].endsrow = true;
  gui.openbgbox = -1;
  if (a <= 0) return;
  gui.bgboxes.push_back({r, g, b, a, gui.nitems, gui.nitems - 1, maxf(0, indent), maxf(0, width)});
  gui.openbgbox = int32_t(gui.bgboxes.size()) - 1;
}

void guibgbox(float r, float g, float b, float a) { guibgboxat(0, 0, r, g, b, a); }

void guibutton(int32_t id, const char* format, ...) {
  va_list args;
  va_start(args, format);
  textitem(id, 1.0f, format, args);
  va_end(args);
}

void guiexitbutton(int32_t id, const char* label) {
  guibutton(id, "%s", label);
  guishortcut(id, KEY_ESCAPE);
  guishortcut(id, KEY_RETURN);
}

void guibuttonlarge(int32_t id, const char* format, ...) {
  va_list args;
  va_start(args, format);
  textitem(id, 1.125f, format, args);
  va_end(args);
}

void guibuttonsmall(int32_t id, const char* format, ...) {
  va_list args;
  va_start(args, format);
  textitem(id, 0.75f, format, args);
  va_end(args);
}

void guibuttoncol(int32_t id, const char* format, float r, float g, float b, float a, ...) {
  va_list args;
  va_start(args, a);
  textitem(id, 1.0f, format, args);
  va_end(args);
  if (gui.nitems == 0) return;
  guiitem& it = guiitems[size_t(gui.nitems - 1)];
  if (r != -1) it.r = r;
  if (g != -1) it.g = g;
  if (b != -1) it.b = b;
  if (a != -1) it.a = a;
}

void guirows(int32_t id1, int32_t id2, const char* format, ...) {
  guiitem* it = newitem(ItemKind::rows, id1, textheight());
  if (!it) return;
  it->id2 = id2;
  va_list args;
  va_start(args, format);
  it->text = poolvformat(GUIBUTTONLEN, format, args);
  va_end(args);
}

int32_t guiinfo(const char* format, ...) {
  if (gui.nitems == 0) return -1;
  va_list args;
  va_start(args, format);
  int32_t info = infoadd(format, args);
  va_end(args);
  if (info >= 0) guiitems[size_t(gui.nitems - 1)].info = info;
  return info;
}

int32_t guisethint(const char* format, ...) {
  va_list args;
  va_start(args, format);
  vsnprintf(gui.hint, sizeof gui.hint, format ? format : "", args);
  va_end(args);
  gui.hashint = true;
  return 0;
}

namespace {
void addshortcut(int32_t id, int32_t key, int32_t keyup, int32_t repeats) {
  if (gui.nshortcuts >= GUISHORTCUTS) {
    debugprint("Warning: out of shortcuts\n");
    return;
  }
  guishortcuts[size_t(gui.nshortcuts++)] = {id, key, keyup, repeats};
}
}  // namespace

void guishortcut(int32_t id, int32_t key) { addshortcut(id, key, 0, 0); }
void guirepeatshortcut(int32_t id, int32_t key) { addshortcut(id, key, 0, 1); }
void guikeyupshortcut(int32_t id, int32_t key) { addshortcut(id, key, 1, 0); }

int32_t guitoggle(int32_t id, int32_t* value, const char* format, ...) {
  bailif(!value, "bad toggle pointer");
  guiitem* it = newitem(ItemKind::toggle, id, textheight());
  if (!it) return -1;
  it->toggle = value;
  va_list args;
  va_start(args, format);
  it->text = poolvformat(GUIBUTTONLEN, format, args);
  va_end(args);
  return gui.nitems - 1;
}

void guiradiof(int32_t id, int32_t selected, const char* format, ...) {
  guiitem* it = newitem(ItemKind::radio, id, textheight());
  if (!it) return;
  it->value = selected;
  va_list args;
  va_start(args, format);
  it->text = poolvformat(GUIBUTTONLEN, format, args);
  va_end(args);
}

void guiseparator() {
  guiitem* it = newitem(ItemKind::separator, 0, textheight());
  if (it) it->endsrow = true;
}

void guisprite(int32_t id, int32_t file, int32_t nr, int32_t mode) {
  spriteitem(id, file, nr, mode, SpriteFit::aspect, 0, nullptr);
}
void guispritecol(int32_t id, int32_t file, int32_t nr, int32_t mode, float r, float g, float b, float a) {
  const float col[4] = {r, g, b, a};
  spriteitem(id, file, nr, mode, SpriteFit::aspect, 0, col);
}
void guispritescaled(int32_t id, int32_t file, int32_t nr, int32_t mode, float scale) {
  spriteitem(id, file, nr, mode, SpriteFit::scaled, scale, nullptr);
}
void guisprite40(int32_t id, int32_t file, int32_t nr, int32_t mode) {
  spriteitem(id, file, nr, mode, SpriteFit::bottom40, 0, nullptr);
}
void guisprite40mid(int32_t id, int32_t file, int32_t nr, int32_t mode) {
  spriteitem(id, file, nr, mode, SpriteFit::mid40, 0, nullptr);
}
void guisprite40col(int32_t id, int32_t file, int32_t nr, int32_t mode, float r, float g, float b, float a) {
  const float col[4] = {r, g, b, a};
  spriteitem(id, file, nr, mode, SpriteFit::bottom40, 0, col);
}
void guisprite40midcol(int32_t id, int32_t file, int32_t nr, int32_t mode, float r, float g, float b, float a) {
  const float col[4] = {r, g, b, a};
  spriteitem(id, file, nr, mode, SpriteFit::mid40, 0, col);
}
void guisprite50(int32_t id, int32_t file, int32_t nr, int32_t mode) {
  spriteitem(id, file, nr, mode, SpriteFit::mid50, 0, nullptr);
}
void guisprite30(int32_t id, int32_t file, int32_t nr, int32_t mode) {
  spriteitem(id, file, nr, mode, SpriteFit::mid30, 0, nullptr);
}

namespace {
guiitem* colouritem(ItemKind kind, int32_t id, float width, float r, float g, float b, float a) {
  guiitem* it = newitem(kind, id, textheight());
  if (!it) return nullptr;
  it->width = width;
  it->r = r;
  it->g = g;
  it->b = b;
  it->a = a;
  return it;
}
}  // namespace

int32_t guiprogressbar(int32_t id, float width, float fraction, float r, float g, float b, float a) {
  guiitem* it = colouritem(ItemKind::bar, id, width, r, g, b, a);
  if (!it) return -1;
  it->fraction = fraction < 0 ? 0 : fraction > 1 ? 1 : fraction;
  return gui.nitems - 1;
}

int32_t guihline(int32_t id, float width, float offset, float r, float g, float b, float a) {
  guiitem* it = colouritem(ItemKind::hline, id, width, r, g, b, a);
  if (!it) return -1;
  it->offset = offset;
  return gui.nitems - 1;
}

int32_t guicallback(int32_t id, int32_t value, guidrawfn draw) {
  guiitem* it = newitem(ItemKind::callback, id, textheight());
  if (!it) return -1;
  it->value = value;
  it->draw = draw;
  return gui.nitems - 1;
}

int32_t guicolourbox(int32_t id, float width, float r, float g, float b, float a) {
  return colouritem(ItemKind::box, id, width, r, g, b, a) ? gui.nitems - 1 : -1;
}

void guicoloursquare(int32_t id, float r, float g, float b, float a) {
  colouritem(ItemKind::box, id, -1, r, g, b, a);
}

int32_t guiinputfield(int32_t id, const char* text, int32_t cursor, int32_t shown) {
  guiitem* it = newitem(ItemKind::field, id, textheight());
  if (!it) return -1;
  it->text = pooladd(text, MSGLEN);
  it->value = cursor;
  it->shown = imax(1, shown);
  return gui.nitems - 1;
}

void guitextlong(int32_t id, const char* text) {
  guiitem* it = newitem(ItemKind::text, id, textheight());
  if (it) it->text = pooladd(text, GUIWRAPLEN);
}
