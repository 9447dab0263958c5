// Drawing a screen's areas with OpenGL: texts in the bitmap font, sprites,
// window frames with the border picture, bars, toggles, the text field,
// scroll bars, and the hover info and hint on top.
#include <GL/gl.h>

#include <array>
#include <cmath>
#include <cstring>
#include <vector>

#include "gfx/font.h"
#include "gfx/gfx.h"
#include "gfx/guidraw.h"
#include "gfx/guistate.h"
#include "gfx/sprites.h"
#include "gfx/texture.h"
#include "runtime/alloc.h"
#include "runtime/folders.h"
#include "runtime/image.h"
#include "runtime/options.h"
#include "runtime/settings.h"
#include "runtime/util.h"

namespace {
uint32_t fonttexture = 0, bartexture = 0, hbartexture = 0, buttontexture = 0, markstexture = 0;
uint32_t bordertexture = 0;
char borderpath[PATHLEN];
int32_t bordercorner = 16;   // pixels of the border picture's corner
int32_t currentclip = -2;

// Quads waiting to be drawn, in runs of one texture and blend mode each,
// drawn one call per run in the order of the runs before anything drawn
// directly and at the end. A new quad joins the latest run of its texture
// and mode when it overlaps no quad of the runs after that one (which it
// would otherwise be drawn under): quads that share no pixel give the same
// picture in any order, so a screen of texts, figures and boxes takes a
// few calls instead of one per change of texture. Plain boxes are drawn
// untextured: a texture read per pixel costs a software renderer more than
// the box itself.
struct vertex {
  float x, y, u, v;
  uint8_t c[4];
};
struct quadbounds {
  float x0, y0, x1, y1;
};
struct quadrun {
  uint32_t texture;
  int32_t mode;
  quadbounds all;                 // around every quad of the run
  std::vector<quadbounds> quads;
  std::vector<vertex> vertices;   // four per quad
};
// The runs (kept with their room from frame to frame) and how many are in use.
std::vector<quadrun> runs;
size_t liveruns = 0;
// How far back a quad looks for its run, in runs and in quads compared.
constexpr size_t RUNLOOKBACK = 32;
constexpr int32_t OVERLAPTESTS = 4096;
// The part of a font cell that a glyph is drawn from, in texture units: the
// margin from the cell's edges and the side of the square drawn.
float fontmargin = 0, fontsquare = 1.0f / FONTCELLS;
// The shrunken levels of the font's texture, and where each glyph has ink.
constexpr int32_t FONTLEVELS = 3;
std::array<inkbox, 256> glyphink;

void flushbatch() {
  if (!liveruns) return;
  glEnableClientState(GL_VERTEX_ARRAY);
  glEnableClientState(GL_TEXTURE_COORD_ARRAY);
  glEnableClientState(GL_COLOR_ARRAY);
  for (size_t r = 0; r < liveruns; r++) {
    quadrun& run = runs[r];
    bindtexture(run.texture, run.mode);
    glVertexPointer(2, GL_FLOAT, sizeof(vertex), &run.vertices[0].x);
    glTexCoordPointer(2, GL_FLOAT, sizeof(vertex), &run.vertices[0].u);
    glColorPointer(4, GL_UNSIGNED_BYTE, sizeof(vertex), run.vertices[0].c);
    glDrawArrays(GL_QUADS, 0, GLsizei(run.vertices.size()));
    run.quads.clear();
    run.vertices.clear();
  }
  glDisableClientState(GL_COLOR_ARRAY);
  glDisableClientState(GL_TEXTURE_COORD_ARRAY);
  glDisableClientState(GL_VERTEX_ARRAY);
  liveruns = 0;
}

// Rectangles that share inner points; touching edges share no pixel.
inline bool overlap(const quadbounds& a, const quadbounds& b) {
  return a.x0 < b.x1 && b.x0 < a.x1 && a.y0 < b.y1 && b.y0 < a.y1;
}

// The run that a quad of the texture and mode within the bounds joins:
// the latest of its kind with no quad of the later runs over it, else a
// new one.
quadrun& runfor(uint32_t texture, int32_t mode, const quadbounds& q) {
  int32_t tests = 0;
  for (size_t r = liveruns; r-- > 0 && liveruns - r <= RUNLOOKBACK && quadreordering;) {
    quadrun& run = runs[r];
    if (run.texture == texture && run.mode == mode) return run;
    if (!overlap(run.all, q)) continue;
    tests += int32_t(run.quads.size());
    if (tests > OVERLAPTESTS) break;
    bool under = false;
    for (const quadbounds& b : run.quads) under = under || overlap(b, q);
    if (under) break;
  }
  if (liveruns > 0 && runs[liveruns - 1].texture == texture && runs[liveruns - 1].mode == mode)
    return runs[liveruns - 1];
  if (liveruns == runs.size()) runs.emplace_back();
  quadrun& run = runs[liveruns++];
  run.texture = texture;
  run.mode = mode;
  run.all = q;
  return run;
}

// A quad of four corners (lower left, lower right, upper right, upper left).
void addquad(uint32_t texture, int32_t mode, const vertex (&corners)[4]) {
  const quadbounds q = {fminf(corners[0].x, corners[2].x), fminf(corners[0].y, corners[2].y),
                       fmaxf(corners[0].x, corners[2].x), fmaxf(corners[0].y, corners[2].y)};
  quadrun& run = runfor(texture, mode, q);
  run.all = {fminf(run.all.x0, q.x0), fminf(run.all.y0, q.y0), fmaxf(run.all.x1, q.x1), fmaxf(run.all.y1, q.y1)};
  run.quads.push_back(q);
  run.vertices.insert(run.vertices.end(), corners, corners + 4);
}

inline uint8_t colourbyte(float f) { return uint8_t(f <= 0 ? 0 : f >= 1 ? 255 : int32_t(f * 255.0f + 0.5f)); }

void batchquad(uint32_t texture, int32_t mode, float x, float y, float w, float h, float u, float v, float du,
               float dv, float r, float g, float b, float a) {
  const uint8_t c0 = colourbyte(r), c1 = colourbyte(g), c2 = colourbyte(b), c3 = colourbyte(a);
  addquad(texture, mode,
          {{x, y, u, v, {c0, c1, c2, c3}},
           {x + w, y, u + du, v, {c0, c1, c2, c3}},
           {x + w, y + h, u + du, v + dv, {c0, c1, c2, c3}},
           {x, y + h, u, v + dv, {c0, c1, c2, c3}}});
}

// Blend modes draw nothing where the texel's alpha is 0, and with the
// alpha test nothing at or below the test's 0.05 either.
bool blends(int32_t mode) { return mode == 1 || mode == 2 || mode == 4 || mode == 5; }

// A textured quad cut down to the texels with ink and a margin that the
// filtering spreads ink over at the drawn size; the pixels cut away would
// have drawn no ink, so the frame is the same with less to fill. A bilinear
// read reaches half a texel of the level read; a shrunken level (a block of
// 2^L texels each) reaches 1.5 x 2^L texels, and trilinear filtering reads
// the level below the size and the next. Sprites whose shrunken levels mix
// with their neighbours' are cut only where drawn enlarged.
void batchinked(uint32_t texture, int32_t mode, float x, float y, float w, float h, float u, float v, float du,
                float dv, const inkbox& ink, float r, float g, float b, float a) {
  const float scale = guiviewport().scale, pw = w * scale, ph = h * scale;
  if (!inkcutting || !blends(mode) || ink.texw <= 0 || ink.texh <= 0 || pw <= 0 || ph <= 0 || du <= 0 || dv <= 0) {
    batchquad(texture, mode, x, y, w, h, u, v, du, dv, r, g, b, a);
    return;
  }
  const float texels = fmaxf(du * float(ink.texw) / pw, dv * float(ink.texh) / ph);
  float spread = 1;
  if (texels > 0.9f) {   // shrunken, or so near it that the driver may read a shrunken level
    if (ink.levels <= 0 || !std::isfinite(texels)) {
      batchquad(texture, mode, x, y, w, h, u, v, du, dv, r, g, b, a);
      return;
    }
    const int32_t top = imin(int32_t(floorf(log2f(texels) + 0.1f)) + 1, ink.levels);
    spread = 1.5f * float(1 << imax(top, 0)) + 1;
  }
  const float mu = spread / float(ink.texw), mv = spread / float(ink.texh);
  const float u0 = fmaxf(u, ink.u0 - mu), u1 = fminf(u + du, ink.u1 + mu);
  const float v0 = fmaxf(v, ink.v0 - mv), v1 = fminf(v + dv, ink.v1 + mv);
  if (u0 >= u1 || v0 >= v1) return;   // no ink within reach
  const float sx = w / du, sy = h / dv;
  batchquad(texture, mode, x + (u0 - u) * sx, y + (v0 - v) * sy, (u1 - u0) * sx, (v1 - v0) * sy, u0, v0, u1 - u0,
            v1 - v0, r, g, b, a);
}

// A plain box whose colour runs from `bottom` at its lower edge to `top`
// at its upper edge (red, green, blue, alpha each).
void gradientquad(float x, float y, float w, float h, const float bottom[4], const float top[4]) {
  const uint8_t b0 = colourbyte(bottom[0]), b1 = colourbyte(bottom[1]), b2 = colourbyte(bottom[2]),
                b3 = colourbyte(bottom[3]);
  const uint8_t t0 = colourbyte(top[0]), t1 = colourbyte(top[1]), t2 = colourbyte(top[2]), t3 = colourbyte(top[3]);
  addquad(0, 2,
          {{x, y, 0, 0, {b0, b1, b2, b3}},
           {x + w, y, 0, 0, {b0, b1, b2, b3}},
           {x + w, y + h, 0, 0, {t0, t1, t2, t3}},
           {x, y + h, 0, 0, {t0, t1, t2, t3}}});
}

void plainquad(float x, float y, float w, float h, float r, float g, float b, float a) {
  batchquad(0, 2, x, y, w, h, 0, 0, 0, 0, r, g, b, a);
}

uint32_t guitex(const char* name) {
  char path[PATHLEN];
  formatbounded(path, PATHLEN, "%s/%s", datapath, name);
  return loadtexture(path, 1, 100, 0);
}

float fadefactor(const guiarea& a) { return (a.flags & GUIAREA_FADE) && fade ? 0.65f : 1.0f; }

void setclip(int32_t clip) {
  if (clip == currentclip) return;
  flushbatch();
  currentclip = clip;
  if (clip < 0) {
    glDisable(GL_SCISSOR_TEST);
    return;
  }
  guirect r = guiclip(clip);
  const guiview v = guiviewport();
  glEnable(GL_SCISSOR_TEST);
  glScissor(int32_t(floorf(v.offx + r.x * v.scale)), int32_t(floorf(v.offy + r.y * v.scale)),
            int32_t(ceilf(r.w * v.scale)), int32_t(ceilf(r.h * v.scale)));
}

// Nine pieces of the border picture: corners kept square, edges stretched.
void drawborder(float x, float y, float w, float h, float alpha) {
  if (!bordertexture) {
    plainquad(x, y, w, 2, 0.6f, 0.5f, 0.3f, alpha);
    plainquad(x, y + h - 2, w, 2, 0.6f, 0.5f, 0.3f, alpha);
    plainquad(x, y, 2, h, 0.6f, 0.5f, 0.3f, alpha);
    plainquad(x + w - 2, y, 2, h, 0.6f, 0.5f, 0.3f, alpha);
    return;
  }
  float t = float(bordercorner) * 0.75f;
  t = fminf(t, fminf(w, h) * 0.5f);
  const float c = 0.25f;   // the corner's share of the picture
  const float xs[4] = {x, x + t, x + w - t, x + w}, ys[4] = {y, y + t, y + h - t, y + h};
  const float us[4] = {0, c, 1 - c, 1};
  for (int32_t j = 0; j < 3; j++)
    for (int32_t i = 0; i < 3; i++) {
      if (i == 1 && j == 1) continue;
      batchquad(bordertexture, 5, xs[i], ys[j], xs[i + 1] - xs[i], ys[j + 1] - ys[j], us[i], us[j],
                us[i + 1] - us[i], us[j + 1] - us[j], 1, 1, 1, alpha);
    }
}

void drawmark(int32_t which, float x, float y, float side, float alpha) {
  if (!markstexture) {
    plainquad(x, y, side, side, 0.8f, 0.8f, 0.8f, alpha);
    if (which & 1) plainquad(x + side * 0.25f, y + side * 0.25f, side * 0.5f, side * 0.5f, 0.1f, 0.1f, 0.1f, alpha);
    return;
  }
  batchquad(markstexture, 5, x, y, side, side, float(which) * 0.25f, 0, 0.25f, 1, 1, 1, 1, alpha);
}

void drawtriangle(float x, float y, float side, bool up, float r, float g, float b) {
  flushbatch();
  bindtexture(0, 0);
  glColor4f(r, g, b, 1);
  glBegin(GL_TRIANGLES);
  if (up) {
    glVertex2f(x + side * 0.2f, y + side * 0.3f);
    glVertex2f(x + side * 0.8f, y + side * 0.3f);
    glVertex2f(x + side * 0.5f, y + side * 0.75f);
  } else {
    glVertex2f(x + side * 0.2f, y + side * 0.7f);
    glVertex2f(x + side * 0.5f, y + side * 0.25f);
    glVertex2f(x + side * 0.8f, y + side * 0.7f);
  }
  glEnd();
}

void drawfield(const guiarea& a, uint32_t now) {
  plainquad(a.x, a.y, a.w, a.h, 0.02f, 0.02f, 0.04f, 0.9f);
  plainquad(a.x, a.y, a.w, 1.5f, 0.7f, 0.6f, 0.4f, 1);
  plainquad(a.x, a.y + a.h - 1.5f, a.w, 1.5f, 0.7f, 0.6f, 0.4f, 1);
  plainquad(a.x, a.y, 1.5f, a.h, 0.7f, 0.6f, 0.4f, 1);
  plainquad(a.x + a.w - 1.5f, a.y, 1.5f, a.h, 0.7f, 0.6f, 0.4f, 1);
  const char* text = guiareatext(a);
  int32_t length = a.length, cursor = imax(0, imin(a.mode, length)), shown = imax(1, a.nr);
  // The part of the text shown keeps the cursor in sight.
  int32_t first = imax(0, cursor - shown);
  int32_t count = imin(length - first, shown);
  float scale = a.scale, tx = a.x + scale * 0.3f, ty = a.y + (a.h - scale) * 0.5f;
  drawtext(text + first, count, tx, ty, scale, 1, 1, 1, 1);
  guianimatingin(500 - now % 500);   // the cursor blinks
  if ((now / 500) % 2 == 0) {
    float cx = tx;
    for (int32_t i = first; i < cursor; i++) cx += charadvance(uint8_t(text[i])) * scale;
    plainquad(cx, ty + scale * 0.12f, 1.5f, scale * 0.76f, 1, 0.85f, 0.4f, 1);
  }
}

void drawarea(const guiarea& a, int32_t hovered, uint32_t now) {
  const float fadef = fadefactor(a);
  const bool lit = hovered && a.id != 0 && !(a.flags & GUIAREA_INFOONLY);
  switch (a.kind) {
    case AreaKind::box: plainquad(a.x, a.y, a.w, a.h, a.r, a.g, a.b, a.a * fadef); break;
    case AreaKind::text: {
      if (lit && (a.flags & GUIAREA_HOVER)) {
        if (buttontexture)
          batchquad(buttontexture, 5, a.x - a.scale * 0.3f, a.y, a.w + a.scale * 0.6f, a.scale, 0, 0, 1, 1, 1, 0.8f,
                    0.45f, 0.55f);
        drawtext(guiareatext(a), a.length, a.x, a.y, a.scale, 1, 0.9f, 0.45f, a.a);
      } else {
        drawtext(guiareatext(a), a.length, a.x, a.y, a.scale, a.r, a.g, a.b, a.a);
      }
      break;
    }
    case AreaKind::sprite:
    case AreaKind::outline: {
      if (a.period > 0) {
        guianimatingin(blinkchangein(a.period, now));
        if ((now & 1023u) % uint32_t(a.period) >= uint32_t(a.period) / 2) break;
      }
      spritetex t = spritetexture(a.file, a.nr);
      if (!t.texture) break;
      batchinked(t.texture, a.mode >= 0 && a.mode <= 5 ? a.mode : 4, a.x, a.y, a.w, a.h, t.u, t.v, t.du, t.dv, t.ink,
                 a.r, a.g, a.b, a.a * fadef);
      break;
    }
    case AreaKind::arrow: {
      spritetex t = spritetexture(a.file, a.nr);
      if (!t.texture || a.w <= 0) break;
      // The head (the sprite beyond the tail part) keeps its proportions at
      // the tip of the part drawn; the shaft stretches behind it.
      const float drawn = fminf(fmaxf(a.scale, 0), a.w), tail = fminf(fmaxf(a.v, 0), 1);
      const float aspect = float(spritewidth(a.file, a.nr)) / float(imax(spriteheight(a.file, a.nr), 1));
      float headfull = a.h * (1 - tail) * aspect;
      if (headfull > a.w * (1 - tail)) headfull = a.w * (1 - tail);
      const float head = fminf(drawn, headfull), shaft = drawn - head;
      flushbatch();
      bindtexture(t.texture, 5);
      glColor4f(1, 1, 1, a.a);
      glPushMatrix();
      glTranslatef(a.x, a.y, 0);
      glRotatef(90 - a.u, 0, 0, 1);   // a heading: 0 up, 90 right
      if (shaft > 0) drawguitexquad(0, -a.h * 0.5f, shaft, a.h, t.u, t.v, t.du * tail, t.dv);
      if (head > 0)
        drawguitexquad(shaft, -a.h * 0.5f, head, a.h, t.u + t.du * tail, t.v, t.du * (1 - tail) * head / headfull, t.dv);
      glPopMatrix();
      break;
    }
    case AreaKind::line: {
      flushbatch();
      bindtexture(0, 2);
      if (a.flags & GUIAREA_SMOOTH) glEnable(GL_LINE_SMOOTH);
      glLineWidth(fmaxf(1.0f, a.scale * guiviewport().scale));
      glColor4f(a.r, a.g, a.b, a.a);
      glBegin(GL_LINES);
      glVertex2f(a.x, a.y);
      glVertex2f(a.u, a.v);
      glEnd();
      glDisable(GL_LINE_SMOOTH);
      glLineWidth(1);
      break;
    }
    case AreaKind::hotspot: break;
    case AreaKind::toggle:
    case AreaKind::radio: {
      float side = a.scale * 0.8f;
      int32_t on = a.mode != 0;
      drawmark((a.kind == AreaKind::radio ? 2 : 0) + (on ? 1 : 0), a.x + a.scale * 0.1f, a.y + a.scale * 0.1f, side,
               a.a);
      float r = lit ? 1 : a.r, g = lit ? 0.9f : a.g, b = lit ? 0.45f : a.b;
      drawtext(guiareatext(a), a.length, a.x + a.scale * 1.2f, a.y, a.scale, r, g, b, a.a);
      break;
    }
    case AreaKind::bar: {
      if (bartexture) batchquad(bartexture, 5, a.x, a.y, a.w, a.h, 0, 0, 1, 1, 1, 1, 1, a.a);
      else plainquad(a.x, a.y, a.w, a.h, 0.15f, 0.12f, 0.1f, a.a);
      float fill = a.w * fminf(fmaxf(a.u, 0), 1);
      if (fill > 0) {
        if (hbartexture) batchquad(hbartexture, 5, a.x, a.y, fill, a.h, 0, 0, a.u, 1, a.r, a.g, a.b, a.a);
        else plainquad(a.x, a.y, fill, a.h, a.r, a.g, a.b, a.a);
      }
      break;
    }
    case AreaKind::hline: plainquad(a.x, a.y, a.w, a.h, a.r, a.g, a.b, a.a); break;
    case AreaKind::callback:
      if (a.draw) {
        flushbatch();
        setclip(-1);
        a.draw(a.mode, a.x, a.y, a.w, a.h);
        guiprojection();
      }
      break;
    case AreaKind::field: drawfield(a, now); break;
    case AreaKind::border: {
      if (a.a > 0) {   // lighter toward the top, evenly, so no band shows
        const float alpha = a.a * guiwindowopacity(guiopacity, fadef);
        const float bottom[4] = {a.r, a.g, a.b, alpha};
        const float top[4] = {a.r * 1.3f, a.g * 1.25f, a.b * 1.2f, alpha};
        gradientquad(a.x, a.y, a.w, a.h, bottom, top);
      }
      if (a.scale > 0) {   // the title bar: a darker band over a bronze line
        plainquad(a.x + 8, a.y + a.h - a.scale, a.w - 16, a.scale - 6, 0.25f, 0.1f, 0.08f, 0.5f * fadef);
        plainquad(a.x + 8, a.y + a.h - a.scale, a.w - 16, 1.5f, 0.75f, 0.6f, 0.35f, fadef);
      }
      drawborder(a.x, a.y, a.w, a.h, fadef);
      break;
    }
    case AreaKind::closebox: {
      plainquad(a.x, a.y, a.w, a.h, lit ? 0.75f : 0.45f, 0.12f, 0.08f, 0.9f);
      flushbatch();
      bindtexture(0, 0);
      glColor4f(1, 0.9f, 0.8f, 1);
      glLineWidth(fmaxf(1.0f, 2.0f * guiviewport().scale));
      glBegin(GL_LINES);
      float m = a.w * 0.28f;
      glVertex2f(a.x + m, a.y + m);
      glVertex2f(a.x + a.w - m, a.y + a.h - m);
      glVertex2f(a.x + m, a.y + a.h - m);
      glVertex2f(a.x + a.w - m, a.y + m);
      glEnd();
      glLineWidth(1);
      break;
    }
    case AreaKind::scrollup:
    case AreaKind::scrolldown:
      plainquad(a.x, a.y, a.w, a.h, lit ? 0.45f : 0.3f, lit ? 0.35f : 0.25f, 0.2f, 0.95f);
      drawtriangle(a.x, a.y, a.w, a.kind == AreaKind::scrollup, 0.95f, 0.85f, 0.6f);
      break;
    case AreaKind::scrolltrack: plainquad(a.x, a.y, a.w, a.h, 0.05f, 0.04f, 0.06f, 0.8f); break;
    case AreaKind::scrollthumb:
      plainquad(a.x + 2, a.y, a.w - 4, a.h, lit ? 0.85f : 0.65f, lit ? 0.7f : 0.52f, 0.3f, 0.95f);
      break;
    case AreaKind::buttonback: break;
  }
}

// A box of wrapped text by the pointer where it hides nothing else, inside the window.
void drawpopup(const char* text, float px, float py, int32_t hovered) {
  const float scale = 15, width = 320;
  textrow rows[40];
  int32_t length = int32_t(strnlen(text, GUIINFOLEN));
  int32_t n = wraptext(text, length, width / scale, rows, 40);
  float w = 0;
  for (int32_t r = 0; r < n; r++) w = fmaxf(w, rowwidth(text + rows[r].start, rows[r].length) * scale);
  const float h = float(n) * scale + 8, bw = w + 12;
  const guirect place = guipopupplace(bw, h, px, py, hovered, guivisible());
  const float x = place.x, y = place.y;
  plainquad(x, y, bw, h, 0.03f, 0.03f, 0.05f, 1);
  plainquad(x, y + h - 1.5f, bw, 1.5f, 0.8f, 0.65f, 0.35f, 1);
  for (int32_t r = 0; r < n; r++)
    drawtext(text + rows[r].start, rows[r].length, x + 6, y + h - 4 - scale * float(r + 1), scale, 1, 0.95f, 0.85f, 1);
}

// The screen's hint in a band at the foot of the screen, centred, in rows
// as wide as the window less a popup's margins.
void drawhint(const char* hint) {
  const float scale = 16;
  const guirect room = guivisible();
  textrow rows[8];
  const int32_t n = wraptext(hint, int32_t(strnlen(hint, GUIINFOLEN)), (room.w - 2 * POPUPMARGIN) / scale, rows, 8);
  plainquad(room.x, 0, room.w, float(n) * scale + 6, 0.02f, 0.02f, 0.04f, 0.75f);
  for (int32_t r = 0; r < n; r++) {
    const float w = rowwidth(hint + rows[r].start, rows[r].length);
    drawtext(hint + rows[r].start, rows[r].length, (GUIWIDTH - w * scale) * 0.5f, 3 + scale * float(n - 1 - r), scale,
             1, 0.95f, 0.8f, 1);
  }
}

// The font's picture is never shrunk past 8 times: each level of the
// shrunken picture then keeps the glyphs within their cells' margins.
void limitfontlevels() {
  if (!fonttexture) return;
  glBindTexture(GL_TEXTURE_2D, fonttexture);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAX_LEVEL, FONTLEVELS);
  resettexstate();
}

// Where the drawn square lies in a cell of the picture: the metrics give
// its side in pixels, the picture the cell's.
void fontgeometry() {
  int32_t side = 0, h = 0;
  texturesize(fonttexture, &side, &h);
  const float stride = float(side) / FONTCELLS, square = fminf(float(currentfont().cell), stride);
  fontmargin = side > 0 ? (stride - square) * 0.5f / float(side) : 0;
  fontsquare = side > 0 ? square / float(side) : 1.0f / FONTCELLS;
}

// Where each glyph's cell has ink, from the font's picture as the texture
// got it (rows bottom first, so code c's cell row is 15 - c / 16). The cells'
// margins keep the glyphs apart in every level the texture keeps.
void glyphinks(const char* path) {
  glyphink.fill(inkbox{});
  int32_t w = 0, h = 0, tw = 0, th = 0;
  texturesize(fonttexture, &tw, &th);
  uint8_t* pixels = fonttexture ? loadimage(path, &w, &h, 0) : nullptr;
  if (!pixels) return;
  if (w == tw && h == th && w % FONTCELLS == 0 && h % FONTCELLS == 0) {
    const int32_t cw = w / FONTCELLS, ch = h / FONTCELLS;
    std::vector<uint8_t> cell(size_t(cw) * size_t(ch) * 4);
    for (int32_t c = 0; c < 256; c++) {
      const int32_t x = (c % FONTCELLS) * cw, y = (FONTCELLS - 1 - c / FONTCELLS) * ch;
      for (int32_t row = 0; row < ch; row++)
        memcpy(&cell[size_t(row) * size_t(cw) * 4], pixels + (size_t(y + row) * size_t(w) + size_t(x)) * 4,
               size_t(cw) * 4);
      glyphink[size_t(c)] = inkof(cell.data(), cw, ch, x, y, w, h, FONTLEVELS);
    }
  }
  myfree(pixels);
}
}  // namespace

bool inkcutting = true;
bool quadreordering = true;

float guiwindowopacity(int32_t chosen, float fading) {
  if (chosen < 0) return 1;
  return float(chosen < 100 ? chosen : 100) / 100.0f * fading;
}

void loadguiart() {
  loadfontmetrics(datapath);
  fonttexture = guitex("font.tga");
  fontgeometry();
  char fontpath[PATHLEN];
  formatbounded(fontpath, PATHLEN, "%s/font.tga", datapath);
  glyphinks(fontpath);
  limitfontlevels();
  addglreloadhook(limitfontlevels);
  bartexture = guitex("guibar.tga");
  hbartexture = guitex("guihbar.tga");
  buttontexture = guitex("guibutton.tga");
  markstexture = guitex("guimarks.tga");
  if (!borderpath[0]) formatbounded(borderpath, PATHLEN, "%s/guiborder.tga", datapath);
  bordertexture = loadtexture(borderpath, 1, 100, 0);
}

void SetActiveGUIBorderTexture(const char* path) {
  if (!path || strcmp(path, borderpath) == 0) return;
  strlcopy(borderpath, path, PATHLEN);
  if (!windowopen()) return;
  bordertexture = loadtexture(borderpath, 1, 100, 0);
  int32_t w = 0, h = 0;
  // The corner is a quarter of the picture; thin borders come in small pictures.
  texturesize(bordertexture, &w, &h);
  bordercorner = w > 0 ? w / 4 : 16;
}

void guiprojection() {
  glViewport(0, 0, windowwidth(), windowheight());
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  const guirect r = guivisible();
  glOrtho(r.x, r.x + r.w, r.y, r.y + r.h, -1, 1);
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  glDisable(GL_DEPTH_TEST);
  glDisable(GL_LIGHTING);
  glDisable(GL_FOG);
  glDisable(GL_CULL_FACE);
  glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
  resettexstate();
}

void drawtext(const char* text, int32_t length, float x, float y, float scale, float r, float g, float b, float a) {
  if (!text || length <= 0 || scale <= 0) return;
  const fontmetrics& f = currentfont();
  const float pad = float(f.pad) / float(f.cell) * scale, cellshare = 1.0f / float(FONTCELLS);
  const float inset = fontmargin, square = fontsquare;
  float pen = x, line = y;
  for (int32_t i = 0; i < length && text[i]; i++) {
    uint8_t c = uint8_t(text[i]);
    if (c == '\n') {
      pen = x;
      line -= scale;
      continue;
    }
    if (glyphdrawn(c)) {
      if (fonttexture) {
        float u = float(c % FONTCELLS) * cellshare + inset, v = float(FONTCELLS - 1 - c / FONTCELLS) * cellshare + inset;
        batchinked(fonttexture, 5, pen - pad, line, scale, scale, u, v, square, square, glyphink[c], r, g, b, a);
      } else {   // no font picture: a bar per glyph keeps the text's place visible
        plainquad(pen + scale * 0.05f, line + scale * 0.25f, charadvance(c) * scale * 0.8f, scale * 0.5f, r, g, b,
                  a * 0.6f);
      }
    }
    pen += charadvance(c) * scale;
  }
}

uint32_t blinkchangein(int32_t period, uint32_t now) {
  // The phase is taken from the clock's low ten bits, so it also jumps
  // when they wrap, into the shown half: a change there only when hidden.
  const uint32_t p = uint32_t(imax(period, 1)), clock = now & 1023u, phase = clock % p, half = p / 2;
  const uint32_t turn = phase < half ? half - phase : p - phase;
  if (clock + turn < 1024) return turn;
  return phase < half ? 1024 - clock + imin(int32_t(half), 1024) : 1024 - clock;
}

void drawguiarearange(int32_t first, int32_t end, int32_t hovered, uint32_t now) {
  guiprojection();
  currentclip = -2;
  setclip(-1);
  end = imin(end, guiareacount());
  for (int32_t i = imax(first, 0); i < end; i++) {
    const guiarea& a = guiareaget(i);
    setclip(a.clip);
    drawarea(a, i == hovered, now);
  }
  setclip(-1);
  flushbatch();
  resettexstate();
}

void drawguiareas(int32_t hovered) { drawguiareasfrom(0, hovered); }

void drawguiareasfrom(int32_t first, int32_t hovered) {
  drawguiarearange(first, guiareacount(), hovered, timems());
  guiprojection();
  // The hovered area's info text by the pointer, else the screen's hint at the bottom.
  const char* info = hovered >= 0 ? guiinfotext(guiareaget(hovered).info) : "";
  if (info[0] && popups) {
    drawpopup(info, pointerx, pointery, hovered);
  } else if (guihinttext()[0] && popups) {
    drawhint(guihinttext());
  }
  flushbatch();
  resettexstate();
}

void forgetguiart() {
  fonttexture = bartexture = hbartexture = buttontexture = markstexture = bordertexture = 0;
}
