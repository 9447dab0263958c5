// Laying a window out: items are measured, gathered into rows, aligned and
// placed, the window is sized between its limits, and every item becomes one
// or more areas; rows beyond the maximum height scroll between a fixed header
// and a fixed footer.
#include <cstring>

#include "gfx/guistate.h"
#include "gfx/sprites.h"
#include "runtime/util.h"

namespace {
struct guirow {
  int32_t first, last;
  float width, height, y;   // y: downward from the top of its part
  uint8_t part;
  bool left;
};
std::vector<guirow> rows;

// Scroll positions by window title, so that a list keeps its place while
// its screen loops, and the three slots that screens save and restore.
struct remembered {
  uint32_t key;
  float position;
  uint32_t used;
};
std::array<remembered, 16> memory = {};
uint32_t memoryclock = 0;
std::array<float, 3> slots = {};
int32_t pendingslot = -1;

uint32_t titlekey() {
  uint32_t h = 2166136261u;
  for (const char* p = gui.title; *p; p++) h = (h ^ uint8_t(*p)) * 16777619u;
  return h | 1u;
}

remembered& memoryslot(bool create) {
  uint32_t key = titlekey();
  remembered* oldest = &memory[0];
  for (remembered& m : memory) {
    if (m.key == key) return m;
    if (m.used < oldest->used) oldest = &m;
  }
  static remembered none;
  if (!create) {
    none = {key, 0, 0};
    return none;
  }
  *oldest = {key, 0, 0};
  return *oldest;
}

// Size of an item; wrapped texts get their rows.
void measure(guiitem& it, float wrapwidth) {
  const float th = it.th;
  it.w = 0;
  it.h = th;
  it.firstrow = it.rows = 0;
  switch (it.kind) {
    case ItemKind::text: {
      const char* text = pooltext(it.text);
      // Most texts are one short line: measured in one pass, no wrapping.
      float w = 0;
      int32_t length = 0;
      bool breaks = false;
      for (; text[length]; length++) {
        breaks |= text[length] == '\n';
        w += charadvance(uint8_t(text[length]));
      }
      it.firstrow = int32_t(gui.wraprows.size());
      if (!breaks && w * th <= wrapwidth) {
        gui.wraprows.push_back({0, length});
        it.rows = 1;
        it.w = w * th;
        break;
      }
      static std::vector<textrow> found(GUIWRAPLEN);
      int32_t n = wraptext(text, length, wrapwidth / maxf(th, 0.01f), found.data(), GUIWRAPLEN);
      it.rows = n;
      for (int32_t r = 0; r < n; r++) {
        gui.wraprows.push_back(found[r]);
        it.w = maxf(it.w, rowwidth(text + found[r].start, found[r].length) * th);
      }
      it.h = th * float(imax(n, 1));
      break;
    }
    case ItemKind::rows: {
      const char* text = pooltext(it.text);
      const char* brk = strchr(text, '\n');
      int32_t first = brk ? int32_t(brk - text) : poollength(it.text);
      it.w = maxf(rowwidth(text, first), brk ? rowwidth(brk + 1, int32_t(strlen(brk + 1))) : 0) * th * 0.5f;
      break;
    }
    case ItemKind::toggle:
    case ItemKind::radio: it.w = th * 1.2f + textwidth(pooltext(it.text)) * th; break;
    case ItemKind::separator: it.h = th * 0.5f; break;
    case ItemKind::space: it.h = it.width * 0.1f * th; break;
    case ItemKind::sprite: {
      float sw = float(spritewidth(it.file, it.nr)), sh = float(spriteheight(it.file, it.nr));
      if (it.fit == SpriteFit::aspect) it.w = sh > 0 ? th * sw / sh : th;
      else if (it.fit == SpriteFit::scaled) it.w = it.width * th;
      else it.w = th;
      break;
    }
    case ItemKind::bar:
    case ItemKind::hline: it.w = maxf(0, it.width); break;
    case ItemKind::callback: it.w = th; break;
    case ItemKind::box: it.w = it.width < 0 ? th : it.width; break;
    case ItemKind::field:
      it.w = float(it.shown) * charadvance('n') * th + th * 0.6f;
      it.h = th * 1.3f;
      break;
  }
}

// Gathers the items into rows and places them inside their row.
void buildrows(float wrapwidth) {
  rows.clear();
  gui.wraprows.clear();
  guirow row = {0, -1, 0, 0, 0, PART_BODY, false};
  float cursor = 0;
  for (int32_t i = 0; i < gui.nitems; i++) {
    guiitem& it = guiitems[size_t(i)];
    measure(it, wrapwidth);
    bool first = row.last < row.first;
    if (first) {
      row = {i, i - 1, 0, 0, 0, it.part, false};
      cursor = 0;
    }
    if (it.indent >= 0) {
      it.x = it.indent - GUIMARGIN;
      row.left = true;
    } else if (!first && it.overlay >= 0) {
      const guiitem& prev = guiitems[size_t(i - 1)];
      it.x = prev.x + (1 - it.overlay) * (prev.w + 0.1f * prev.h);
    } else if (!first) {
      const guiitem& prev = guiitems[size_t(i - 1)];
      it.x = cursor + 0.1f * prev.h;
    } else {
      it.x = 0;
    }
    cursor = maxf(cursor, it.x + it.w);
    row.last = i;
    row.width = maxf(row.width, cursor);
    row.height = maxf(row.height, it.h);
    bool ends = it.endsrow || i == gui.nitems - 1 || guiitems[size_t(i + 1)].part != it.part;
    if (ends) rows.push_back(row);
    if (ends) row = {i + 1, i, 0, 0, 0, PART_BODY, false};
  }
}

float contentwidth() {
  float w = 0;
  for (const guirow& r : rows) w = maxf(w, r.width);
  return w;
}

void emittext(const guiitem& it, float x, float top, float width, int32_t clip) {
  const char* text = pooltext(it.text);
  for (int32_t r = 0; r < it.rows; r++) {
    const textrow& row = gui.wraprows[size_t(it.firstrow + r)];
    float w = rowwidth(text + row.start, row.length) * it.th;
    float rx = it.align == GUIALIGN_LEFT ? x : x + (width - w) * 0.5f;
    guiarea* a = newarea(AreaKind::text, it.id, rx, top - it.th * float(r + 1), w, it.th);
    if (!a) return;
    a->text = it.text + row.start;
    a->length = row.length;
    a->scale = it.th;
    a->r = it.r, a->g = it.g, a->b = it.b, a->a = it.a;
    a->info = it.info;
    a->clip = clip;
    if (it.id != 0) a->flags |= GUIAREA_HOVER;
  }
}

// The areas of one item with its lower left corner at (x, y).
void emititem(const guiitem& it, float x, float y, float contentleft, float contentw, int32_t clip) {
  const float th = it.th;
  auto tag = [&](guiarea* a) {
    if (!a) return a;
    a->r = it.r, a->g = it.g, a->b = it.b, a->a = it.a;
    a->info = it.info;
    a->clip = clip;
    return a;
  };
  switch (it.kind) {
    case ItemKind::text: emittext(it, x, y + it.h, it.w, clip); break;
    case ItemKind::rows: {
      const char* text = pooltext(it.text);
      const char* brk = strchr(text, '\n');
      int32_t first = brk ? int32_t(brk - text) : poollength(it.text);
      for (int32_t r = 0; r < (brk ? 2 : 1); r++) {
        int32_t start = r == 0 ? 0 : first + 1, length = r == 0 ? first : int32_t(strlen(brk + 1));
        float w = rowwidth(text + start, length) * th * 0.5f;
        float rx = it.align == GUIALIGN_LEFT ? x : x + (it.w - w) * 0.5f;
        guiarea* a = tag(newarea(AreaKind::text, r == 0 ? it.id : it.id2, rx, y + th * 0.5f * float(1 - r), w,
                                 th * 0.5f));
        if (!a) return;
        a->text = it.text + start;
        a->length = length;
        a->scale = th * 0.5f;
        if (a->id != 0) a->flags |= GUIAREA_HOVER;
      }
      break;
    }
    case ItemKind::toggle:
    case ItemKind::radio: {
      guiarea* a = tag(newarea(it.kind == ItemKind::toggle ? AreaKind::toggle : AreaKind::radio, it.id, x, y, it.w, th));
      if (!a) return;
      a->toggle = it.toggle;
      // The value a toggle shows is read when its window is laid out: the
      // variable behind the pointer may belong to a screen that has returned
      // by the time the areas are drawn again.
      a->mode = it.kind == ItemKind::toggle ? (*it.toggle != 0) : it.value;
      a->text = it.text;
      a->length = poollength(it.text);
      a->scale = th;
      break;
    }
    case ItemKind::separator: {
      guiarea* a = tag(newarea(AreaKind::box, 0, contentleft, y + th * 0.25f - 1, contentw, 2));
      if (a) a->r *= 0.55f, a->g *= 0.5f, a->b *= 0.45f, a->a *= 0.8f;
      break;
    }
    case ItemKind::space: break;
    case ItemKind::sprite: {
      float sw = float(spritewidth(it.file, it.nr)), sh = float(spriteheight(it.file, it.nr));
      float sx = x, sy = y, w = it.w, h = th;
      if (it.fit != SpriteFit::aspect && it.fit != SpriteFit::scaled) {
        float unit = th / (it.fit == SpriteFit::mid50 ? 50.0f : it.fit == SpriteFit::mid30 ? 30.0f : 40.0f);
        w = sw * unit;
        h = sh * unit;
        sx = x + (th - w) * 0.5f;
        sy = it.fit == SpriteFit::bottom40 ? y : y + (th - h) * 0.5f;
      }
      guiarea* a = tag(newarea(AreaKind::sprite, it.id, sx, sy, w, h));
      if (!a) return;
      a->file = it.file, a->nr = it.nr, a->mode = it.mode;
      if (gui.fade) a->flags |= GUIAREA_FADE;
      break;
    }
    case ItemKind::bar: {
      guiarea* a = tag(newarea(AreaKind::bar, it.id, x, y + th * 0.15f, it.w, th * 0.7f));
      if (a) a->u = it.fraction;
      break;
    }
    case ItemKind::hline: tag(newarea(AreaKind::hline, it.id, x, y + th + it.offset * th - 1, it.w, 2)); break;
    case ItemKind::callback: {
      guiarea* a = tag(newarea(AreaKind::callback, it.id, x, y, it.w, th));
      if (!a) return;
      a->draw = it.draw;
      a->mode = it.value;
      break;
    }
    case ItemKind::box: tag(newarea(AreaKind::box, it.id, x, y, it.w, th)); break;
    case ItemKind::field: {
      guiarea* a = tag(newarea(AreaKind::field, it.id, x, y, it.w, it.h));
      if (!a) return;
      a->text = it.text;
      a->length = poollength(it.text);
      a->mode = it.value;
      a->nr = it.shown;
      a->scale = th;
      break;
    }
  }
}

// Background boxes over the rows of their items: a full-width one from left
// to left + w, another at its indent from the window's left edge.
void emitbgboxes(float windowleft, float left, float w, const float* tops, float bodybottom, float scroll,
                 int32_t clip) {
  for (const guibgboxdef& b : gui.bgboxes) {
    if (b.lastitem < b.firstitem) continue;
    float top = -1e9f, bottom = 1e9f;
    for (const guirow& r : rows) {
      if (r.last < b.firstitem || r.first > b.lastitem) continue;
      float rowtop = tops[r.part] + (r.part == PART_BODY ? scroll : 0) - r.y;
      top = maxf(top, rowtop);
      bottom = bottom < rowtop - r.height ? bottom : rowtop - r.height;
    }
    if (top < bottom) continue;
    bool body = guiitems[size_t(b.firstitem)].part == PART_BODY;
    if (body && (bottom >= tops[PART_BODY] || top <= bodybottom)) continue;
    const bool full = b.width <= 0;
    guiarea* a = newarea(AreaKind::box, 0, full ? left : windowleft + b.indent, bottom, full ? w : b.width, top - bottom);
    if (!a) return;
    a->r = b.r, a->g = b.g, a->b = b.b, a->a = b.a;
    if (body) a->clip = clip;
  }
}
}  // namespace

float windowtitleheight() { return gui.title[0] || gui.closeid ? GUITITLEBAR : 0; }

// The frame of a window: background and border, title and close box.
void emitframe(int32_t flags, float x, float y, float w, float h) {
  gui.windows.push_back({x, y, w, h});
  guiarea* a = newarea(AreaKind::border, 0, x, y, w, h);
  if (a) {
    // Drawn as opaque as the player chose (guiwindowopacity).
    a->r = 0.07f, a->g = 0.06f, a->b = 0.10f, a->a = (flags & GUIWIN_NOBACK) ? 0 : 1;
    if (gui.fade) a->flags |= GUIAREA_FADE;
    a->scale = windowtitleheight();
  }
  if (!gui.title[0] && !gui.closeid) return;
  float titleh = GUITITLEBAR;
  if (gui.title[0]) {
    float scale = GUITITLEHEIGHT;
    float tw = textwidth(gui.title) * scale;
    guiarea* t = newarea(AreaKind::text, 0, x + (w - tw) * 0.5f, y + h - titleh + 3, tw, scale);
    if (t) {
      t->text = pooladd(gui.title, GUIBUTTONLEN);
      t->length = poollength(t->text);
      t->scale = scale;
      t->r = 1.0f, t->g = 0.86f, t->b = 0.55f;
    }
  }
  if (gui.closeid) {
    float side = 16;
    guiarea* c = newarea(AreaKind::closebox, gui.closeid, x + w - side - 14, y + h - titleh + 6, side, side);
    if (c) c->info = infoaddf("%s", "Exit this window");
  }
}

void guiwindow(int32_t flags, float x, float y, float w, float h) { emitframe(flags, x, y, w, h); }

namespace {
// The still layer's texts (the map's names) that a window of the screen
// covers are left out: the window lets the map show through, and a name
// would run across the window's own texts and buttons.
void coverstilltexts() {
  for (int32_t i = 0; i < gui.stillend && i < gui.nareas; i++) {
    guiarea& a = guiareas[size_t(i)];
    if (a.kind != AreaKind::text) continue;
    for (const guirect& w : gui.windows)
      if (a.x < w.x + w.w && w.x < a.x + a.w && a.y < w.y + w.h && w.y < a.y + a.h) {
        a.length = 0;
        break;
      }
  }
}
}  // namespace

void guishow(float x, float y) {
  coverstilltexts();
  const float bar = GUISCROLLBAR + 4;
  float wrapwidth = maxf(10, gui.maxwidth - 2 * GUIMARGIN);
  buildrows(wrapwidth);
  // Nothing to show: no empty window, which would only hide what lies
  // under it and take its clicks.
  if (rows.empty() && !gui.title[0] && !gui.closeid) {
    gui.scrollmax = gui.scroll = 0;
    return;
  }
  float heights[3] = {0, 0, 0};
  auto stack = [&] {
    heights[0] = heights[1] = heights[2] = 0;
    for (guirow& r : rows) {
      r.y = heights[r.part];
      heights[r.part] += r.height;
    }
  };
  stack();
  float& headerh = heights[PART_HEADER];
  float& bodyh = heights[PART_BODY];
  float& footerh = heights[PART_FOOTER];
  const float titleh = windowtitleheight();
  const float fixed = titleh + 2 * GUIMARGIN + headerh + footerh;
  bool scrolling = fixed + bodyh > gui.maxheight && bodyh > 0;
  if (scrolling && contentwidth() + 2 * GUIMARGIN + bar > gui.maxwidth) {
    buildrows(wrapwidth - bar);   // narrower rows leave room for the bar
    stack();
  }
  float inner = contentwidth();
  float titlew = gui.title[0] ? textwidth(gui.title) * GUITITLEHEIGHT + (gui.closeid ? GUITITLEBAR * 2 : 0) : 0;
  float w = maxf(inner + 2 * GUIMARGIN + (scrolling ? bar : 0), titlew + 2 * GUIMARGIN);
  w = maxf(gui.minwidth, gui.maxwidth > 0 ? (w < gui.maxwidth ? w : gui.maxwidth) : w);
  float viewport = bodyh;
  if (scrolling) viewport = maxf(GUITEXTHEIGHT, gui.maxheight - fixed);
  float h = fixed + viewport;
  float left = x < 0 ? (GUIWIDTH - w) * 0.5f : x;
  float top = y < 0 ? (GUIHEIGHT + h) * 0.5f : y;
  float bottom = top - h;

  // Scroll position: a slot being restored, else the window's own.
  gui.scrollmax = scrolling ? bodyh - viewport : 0;
  float scroll = 0;
  if (!takeslotrestore(&scroll)) scroll = rememberedscroll();
  scroll = scroll < 0 ? 0 : scroll > gui.scrollmax ? gui.scrollmax : scroll;
  gui.scroll = scroll;
  rememberscroll(scroll);

  gui.shown = {left, bottom, w, h};
  emitframe(0, left, bottom, w, h);
  coverstilltexts();
  const float contentleft = left + GUIMARGIN;
  const float contentw = w - 2 * GUIMARGIN - (scrolling ? bar : 0);
  const float headertop = top - titleh - GUIMARGIN;
  const float bodytop = headertop - headerh;
  const float bodybottom = bodytop - viewport;
  const float tops[3] = {headertop, bodytop, bodybottom};
  int32_t clip = -1;
  if (scrolling) {
    gui.clips.push_back({left, bodybottom, w, viewport});
    clip = int32_t(gui.clips.size()) - 1;
  }
  emitbgboxes(left, left + GUIMARGIN * 0.5f, w - GUIMARGIN - (scrolling ? bar : 0), tops, bodybottom, scroll, clip);
  for (const guirow& r : rows) {
    const bool body = r.part == PART_BODY;
    float rowtop = tops[r.part] + (body ? scroll : 0) - r.y;
    if (body && (rowtop - r.height >= bodytop || rowtop <= bodybottom)) continue;   // scrolled out of sight
    bool cut = body && (rowtop > bodytop || rowtop - r.height < bodybottom);
    bool leftrow = r.left || guiitems[size_t(r.first)].align == GUIALIGN_LEFT;
    float offset = leftrow ? 0 : (contentw - r.width) * 0.5f;
    for (int32_t i = r.first; i <= r.last; i++) {
      guiitem& it = guiitems[size_t(i)];
      float ix = contentleft + offset + it.x;
      if (it.indent >= 0) ix = left + it.indent;
      float iy = rowtop - r.height + (r.height - it.h) * 0.5f;
      it.x = ix - left;
      it.y = top - (iy + it.h);
      emititem(it, ix, iy, contentleft, contentw, cut ? clip : -1);
    }
  }
  if (scrolling) {
    float bx = left + w - GUIMARGIN * 0.5f - GUISCROLLBAR;
    float side = GUISCROLLBAR;
    newarea(AreaKind::scrollup, GUIID_SCROLLUP, bx, bodytop - side, side, side);
    newarea(AreaKind::scrolldown, GUIID_SCROLLDOWN, bx, bodybottom, side, side);
    float tracktop = bodytop - side, trackbottom = bodybottom + side, track = maxf(0, tracktop - trackbottom);
    newarea(AreaKind::scrolltrack, GUIID_SCROLLTRACK, bx, trackbottom, side, track);
    float thumb = maxf(side, track * viewport / maxf(bodyh, 1));
    if (thumb > track) thumb = track;
    float ty = tracktop - thumb - (track - thumb) * (gui.scrollmax > 0 ? scroll / gui.scrollmax : 0);
    guiarea* t = newarea(AreaKind::scrollthumb, GUIID_SCROLLTHUMB, bx, ty, side, thumb);
    if (t) t->priority = 10;
  }
}

float rememberedscroll() {
  remembered& m = memoryslot(false);
  return m.position;
}

void rememberscroll(float position) {
  remembered& m = memoryslot(true);
  m.position = position;
  m.used = ++memoryclock;
}

int32_t takeslotrestore(float* position) {
  if (pendingslot < 0) return 0;
  *position = slots[size_t(pendingslot)];
  pendingslot = -1;
  return 1;
}

float guiscroll() { return gui.scroll; }
float guiscrollmax() { return gui.scrollmax; }
void guisetscroll(float units) { rememberscroll(units < 0 ? 0 : units); }

void resetscrollslot(int32_t n) {
  if (n >= 0 && n < 3) slots[size_t(n)] = 0;
}
// The position the shown window is laid out at next: where the last frame
// scrolled it, when it did.
void savescrollslot(int32_t n) {
  if (n >= 0 && n < 3) slots[size_t(n)] = rememberedscroll();
}
void restorescrollslot(int32_t n) {
  if (n >= 0 && n < 3) pendingslot = n;
}
