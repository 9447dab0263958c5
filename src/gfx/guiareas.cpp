// Free-standing areas at absolute positions: boxes, frames, lines, sprites,
// texts and hot spots.
#include <cmath>
#include <cstdio>

#include "gfx/guistate.h"
#include "gfx/sprites.h"
#include "runtime/fatal.h"
#include "runtime/util.h"

namespace {
int32_t indexof(const guiarea* a) { return a ? int32_t(a - guiareas.data()) : -1; }

void colour(guiarea* a, float r, float g, float b, float al) {
  a->r = r == -1 ? gui.plain[0] : r;
  a->g = g == -1 ? gui.plain[1] : g;
  a->b = b == -1 ? gui.plain[2] : b;
  a->a = al == -1 ? gui.plain[3] : al;
}

guiarea* spritearea(int32_t id, int32_t file, int32_t nr, int32_t mode, float x, float y, float w, float h) {
  fetchsprite(file, nr, mode);
  guiarea* a = newarea(AreaKind::sprite, id, x, y, w, h);
  if (!a) return nullptr;
  a->file = file;
  a->nr = nr;
  a->mode = mode;
  if (gui.fade) a->flags |= GUIAREA_FADE;
  return a;
}

// Wholly outside the window, which in a wide or tall window reaches beyond
// the 800 x 600 screen.
bool offscreen(float x, float y, float w, float h) {
  const guirect v = guivisible();
  return x + w < v.x || y + h < v.y || x > v.x + v.w || y > v.y + v.h;
}

int32_t textarea(int32_t id, float x, float y, float scale, const float* col, int32_t priority, const char* format,
                 va_list args) {
  int32_t text = poolvformat(MSGLEN, format, args);
  if (text < 0) return -1;
  const char* t = pooltext(text);
  guiarea* a = newarea(AreaKind::text, id, x, y, textwidth(t) * scale, scale);
  if (!a) return -1;
  a->text = text;
  a->length = poollength(text);
  a->scale = scale;
  colour(a, col[0], col[1], col[2], col[3]);
  a->priority = uint16_t(priority);
  return indexof(a);
}
// A text in the plain colour.
int32_t areatextv(int32_t id, float x, float y, float scale, int32_t priority, const char* format, va_list args) {
  const float col[4] = {-1, -1, -1, -1};
  return textarea(id, x, y, scale, col, priority, format, args);
}
}  // namespace

int32_t areabox(int32_t id, float x, float y, float w, float h, float r, float g, float b, float a) {
  guiarea* ar = newarea(AreaKind::box, id, x, y, w, h);
  if (!ar) return -1;
  colour(ar, r, g, b, a);
  return indexof(ar);
}

void areaframe(float x, float y, float w, float h, float t, float r, float g, float b, float a) {
  areabox(0, x - t, y - t, t, h + 2 * t, r, g, b, a);
  areabox(0, x + w, y - t, t, h + 2 * t, r, g, b, a);
  areabox(0, x, y - t, w, t, r, g, b, a);
  areabox(0, x, y + h, w, t, r, g, b, a);
}

int32_t arealine(int32_t smooth, float x1, float y1, float x2, float y2, float r, float g, float b, float a,
                 float width) {
  guiarea* ar = newarea(AreaKind::line, 0, x1, y1, x2 - x1, y2 - y1);
  if (!ar) return -1;
  colour(ar, r, g, b, a);
  ar->u = x2;
  ar->v = y2;
  ar->scale = width;
  if (smooth) ar->flags |= GUIAREA_SMOOTH;
  return indexof(ar);
}

int32_t areasprite(int32_t id, int32_t file, int32_t nr, int32_t mode, float x, float y, float w, float h) {
  return indexof(spritearea(id, file, nr, mode, x, y, w, h));
}

int32_t areaspritecol(int32_t id, int32_t file, int32_t nr, int32_t mode, float x, float y, float w, float h,
                      float r, float g, float b, float a) {
  guiarea* ar = spritearea(id, file, nr, mode, x, y, w, h);
  if (!ar) return -1;
  ar->r = r, ar->g = g, ar->b = b;
  ar->a = a < 0 ? 0 : a > 1 ? 1 : a;
  return indexof(ar);
}

int32_t areaspriteblink(int32_t id, int32_t file, int32_t nr, int32_t mode, float x, float y, float w, float h,
                        int32_t period) {
  guiarea* ar = spritearea(id, file, nr, mode, x, y, w, h);
  if (!ar) return -1;
  ar->period = period;
  return indexof(ar);
}

int32_t areasprite50(int32_t id, int32_t file, int32_t nr, int32_t mode, float x, float y, float xs, float ys) {
  fetchsprite(file, nr, mode);
  float sw = float(spritewidth(file, nr)), sh = float(spriteheight(file, nr));
  float w = sw * 0.02f * xs, h = sh * 0.02f * ys;
  x += (1 - sw * 0.02f) * xs;
  if (offscreen(x, y, w, h)) return 0;
  return indexof(spritearea(id, file, nr, mode, x, y, w, h));
}

int32_t areasprite40mid(int32_t id, int32_t file, int32_t nr, int32_t mode, float x, float y, float xs, float ys) {
  fetchsprite(file, nr, mode);
  float w = float(spritewidth(file, nr)) / 40.0f * xs, h = float(spriteheight(file, nr)) / 40.0f * ys;
  if (offscreen(x - w * 0.5f, y - h * 0.5f, w, h)) return 0;
  return indexof(spritearea(id, file, nr, mode, x - w * 0.5f, y - h * 0.5f, w, h));
}

int32_t areasprite50mid(int32_t id, int32_t file, int32_t nr, int32_t mode, float x, float y, float xs, float ys) {
  fetchsprite(file, nr, mode);
  float w = float(spritewidth(file, nr)) * 0.02f * xs, h = float(spriteheight(file, nr)) * 0.02f * ys;
  if (offscreen(x - w * 0.5f, y, w, h)) return 0;
  return indexof(spritearea(id, file, nr, mode, x - w * 0.5f, y, w, h));
}

void SetOutlineTex(int32_t file, int32_t nr) {
  gui.outlinefile = file;
  gui.outlinenr = nr;
}

int32_t areaoutline(float x, float y, float w, float h) {
  bailif(gui.outlinefile < 0, "bug: SetOutlineTex first");
  guiarea* a = spritearea(0, gui.outlinefile, gui.outlinenr, 4, x, y, w, h);
  if (!a) return -1;
  a->kind = AreaKind::outline;
  a->a = 0.9f;
  return indexof(a);
}

int32_t areaarrow(int32_t id, int32_t file, int32_t nr, float x, float y, float width, float length, float angle,
                  float drawn, float tail, float alpha) {
  guiarea* a = spritearea(id, file, nr, 4, x, y, length, width);
  if (!a) return -1;
  a->kind = AreaKind::arrow;
  a->u = angle;
  a->v = tail;
  a->scale = drawn;
  a->a = alpha;
  return indexof(a);
}

void vecanglelen(float* angle, float* length, float x1, float y1, float x2, float y2) {
  float dx = x2 - x1, dy = y2 - y1;
  if (length) *length = sqrtf(dx * dx + dy * dy);
  if (!angle) return;
  if (dx == 0) *angle = dy >= 0 ? float(M_PI_2) : -float(M_PI_2);
  else *angle = atanf(dy / dx) + (dx < 0 ? float(M_PI) : 0.0f);
}

int32_t areatextcol(int32_t id, float x, float y, float scale, float r, float g, float b, float a,
                    const char* format, ...) {
  const float col[4] = {r, g, b, a};
  va_list args;
  va_start(args, format);
  int32_t n = textarea(id, x, y, scale, col, 0, format, args);
  va_end(args);
  return n;
}

int32_t areatext(int32_t id, float x, float y, float scale, const char* format, ...) {
  va_list args;
  va_start(args, format);
  int32_t n = areatextv(id, x, y, scale, 0, format, args);
  va_end(args);
  return n;
}

int32_t areatextlow(int32_t id, float x, float y, float scale, const char* format, ...) {
  va_list args;
  va_start(args, format);
  int32_t n = areatextv(id, x, y, scale, 250, format, args);
  va_end(args);
  return n;
}

void settextbox(float x, float y, float width, float height) {
  gui.textbox[0] = x;
  gui.textbox[1] = y;
  gui.textbox[2] = width;
  gui.textbox[3] = height;
}

int32_t areatextwrap(int32_t id, float scale, const char* format, ...) {
  va_list args;
  va_start(args, format);
  int32_t text = poolvformat(GUIWRAPLEN, format, args);
  va_end(args);
  if (text < 0 || scale <= 0) return 0;
  const float x = gui.textbox[0], bottom = gui.textbox[1], width = gui.textbox[2];
  const float top = gui.textbox[1] + gui.textbox[3];
  const int32_t limit = imax(0, int32_t(gui.textbox[3] / 20.0f));
  std::vector<textrow> rows(size_t(imax(limit, 1)));
  int32_t n = wraptext(pooltext(text), poollength(text), width / scale, rows.data(), imax(limit, 1));
  int32_t written = 0;
  for (int32_t r = 0; r < n && written < limit; r++) {
    float y = top - scale * float(r + 1);
    if (y < bottom) break;
    guiarea* a = newarea(AreaKind::text, id, x, y, 0, scale);
    if (!a) break;
    a->text = text + rows[size_t(r)].start;
    a->length = rows[size_t(r)].length;
    a->w = rowwidth(pooltext(a->text), a->length) * scale;
    a->scale = scale;
    colour(a, -1, -1, -1, -1);
    written++;
  }
  return written;
}

int32_t areahotspot(int32_t id, float x, float y, float w, float h) {
  return indexof(newarea(AreaKind::hotspot, id, x, y, w, h));
}

int32_t areainfo(const char* format, ...) {
  if (gui.nareas == 0) return -1;
  va_list args;
  va_start(args, format);
  int32_t info = infoadd(format, args);
  va_end(args);
  if (info < 0) return -1;
  guiarea& a = guiareas[size_t(gui.nareas - 1)];
  a.info = info;
  if (a.id == 0) {
    a.id = GUIINFOONLYID;
    a.flags |= GUIAREA_INFOONLY;
  }
  return info;
}
