// Background scenes behind the screens: the title, the menu backdrop with
// drifting embers, a turning night sky, parchment, the performance-test
// pattern, the battlefield, and the strategic map through the map view's
// hooks (redrawn a stripe per frame at reduced graphics).
#include <SDL.h>
#include <GL/gl.h>
#include <GL/glu.h>

#include <cmath>
#include <vector>

#include "gfx/gfx.h"
#include "gfx/glext.h"
#include "gfx/guidraw.h"
#include "gfx/gui.h"
#include "gfx/guistate.h"
#include "gfx/particles.h"
#include "gfx/texture.h"
#include "runtime/folders.h"
#include "runtime/options.h"
#include "runtime/settings.h"
#include "runtime/util.h"

void flatprojection() {
  glViewport(0, 0, windowwidth(), windowheight());
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  glOrtho(0, windowwidth(), 0, windowheight(), -1, 1);
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  glDisable(GL_DEPTH_TEST);
  glDisable(GL_LIGHTING);
  glDisable(GL_FOG);
  resettexstate();
}

namespace {
int32_t bgscene = int32_t(Scene::title);
int32_t scene = int32_t(Scene::none);
uint32_t scenestart = 0;
mapkeyscrollfn mapkeyscroll = nullptr;
mapmousescrollfn mapmousescroll = nullptr;
mapdrawfn mapdraw = nullptr;
mapscenekeyfn mapscenekey = nullptr;
BattlefieldHooks battlefield{};
// The map backdrop kept at reduced graphics, and the stripe drawn next.
uint32_t backdrop = 0;
int32_t backdropw = 0, backdroph = 0, nextstripe = -1;
// The menu backdrop's emitter while that scene is shown.
int32_t embers = -1;
// At reduced graphics: what the map showed when its stripes began to be
// drawn anew, and the stripes still to draw for it.
uint64_t stripedkey = 0;
int32_t stripesleft = 0;

// After the window's context was made anew its objects are gone with it:
// the map's backdrop and the battlefield's lists are made again when they
// are next drawn, not drawn from names that the new context does not know.
void forgetscenegl() {
  backdrop = 0;
  backdropw = backdroph = 0;
  nextstripe = -1;
  if (battlefield.freegl) battlefield.freegl();
}
void hookscenegl() {
  static bool hooked = false;
  if (!hooked) addglreloadhook(forgetscenegl);
  hooked = true;
}

void quad(float x, float y, float w, float h, const float top[3], const float bottom[3]) {
  glBegin(GL_QUADS);
  glColor3fv(bottom);
  glVertex2f(x, y);
  glVertex2f(x + w, y);
  glColor3fv(top);
  glVertex2f(x + w, y + h);
  glVertex2f(x, y + h);
  glEnd();
}

// Dark backdrop with a lit title band across its upper middle.
void drawtitlescene(uint32_t ms) {
  float w = float(windowwidth()), h = float(windowheight());
  glClearColor(0.06f, 0.05f, 0.09f, 1.0f);
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  flatprojection();
  const float deep[3] = {0.08f, 0.07f, 0.16f}, dusk[3] = {0.28f, 0.12f, 0.18f};
  quad(0, 0, w, h, dusk, deep);
  const float bandtop[3] = {0.85f, 0.62f, 0.20f}, bandbottom[3] = {0.45f, 0.18f, 0.08f};
  quad(0, h * 0.62f, w, h * 0.16f, bandtop, bandbottom);
  const float edge[3] = {0.95f, 0.88f, 0.55f};
  quad(0, h * 0.78f, w, 3, edge, edge);
  quad(0, h * 0.62f - 3, w, 3, edge, edge);
  // A slow shimmer of small diamonds under the band.
  float phase = animback ? float(ms % 10000u) / 10000.0f * 6.2831853f : 0.0f;
  glBegin(GL_TRIANGLES);
  for (int32_t i = 0; i < 24; i++) {
    float x = w * (float(i) + 0.5f) / 24.0f, y = h * 0.45f + 12.0f * sinf(phase + float(i) * 0.7f);
    glColor3f(0.3f + 0.025f * float(i), 0.35f, 0.9f - 0.025f * float(i));
    glVertex2f(x - 8, y);
    glVertex2f(x + 8, y);
    glVertex2f(x, y + 14);
  }
  glEnd();
  glEnable(GL_DEPTH_TEST);
}

// Many overlapping blended quads: a measure of fill rate for the performance test.
void drawperftestscene(uint32_t ms) {
  float w = float(windowwidth()), h = float(windowheight());
  glClearColor(0, 0, 0, 1);
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  flatprojection();
  glEnable(GL_BLEND);
  float turn = float(ms % 3600u) / 10.0f;
  for (int32_t i = 0; i < 64; i++) {
    glPushMatrix();
    glTranslatef(w * 0.5f, h * 0.5f, 0);
    glRotatef(turn + float(i) * 5.625f, 0, 0, 1);
    glColor4f(float(i % 4) / 3.0f, float(i % 7) / 6.0f, float(i % 5) / 4.0f, 0.15f);
    glBegin(GL_QUADS);
    glVertex2f(-w * 0.4f, -h * 0.05f);
    glVertex2f(w * 0.4f, -h * 0.05f);
    glVertex2f(w * 0.4f, h * 0.05f);
    glVertex2f(-w * 0.4f, h * 0.05f);
    glEnd();
    glPopMatrix();
  }
  glDisable(GL_BLEND);
  glEnable(GL_DEPTH_TEST);
}



uint32_t datatexture(const char* name, int32_t alpha, int32_t wrap) {
  char path[PATHLEN];
  formatbounded(path, PATHLEN, "%s/%s", datapath, name);
  return loadtexture(path, alpha, 100, wrap);
}

// A picture over the whole window in its own proportions: a repeating one
// is tiled `repeat` times up the window's height; a single one covers the
// window, its middle kept and what does not fit cut off at the edges.
void texturedbackdrop(uint32_t texture, float repeat, bool tiled) {
  int32_t tw = 0, th = 0;
  texturesize(texture, &tw, &th);
  flatprojection();
  bindtexture(texture, 3);
  glColor4f(1, 1, 1, 1);
  const float w = float(windowwidth()), h = maxf(float(windowheight()), 1);
  if (!texture) {
    glColor4f(0.1f, 0.08f, 0.12f, 1);
    bindtexture(0, 0);
  }
  if (tiled) {
    drawguitexquad(0, 0, w, h, 0, 0, repeat * w / h, repeat);
  } else {
    const float aspect = float(tw) / float(imax(th, 1));
    const float shown = w / h / (aspect > 0 ? aspect : 1);   // window's share of the picture's width
    if (shown <= 1) drawguitexquad(0, 0, w, h, (1 - shown) * 0.5f, 0, shown, 1);
    else drawguitexquad(0, 0, w, h, 0, (1 - 1 / shown) * 0.5f, 1, 1 / shown);
  }
  resettexstate();
}

// The menu backdrop: a dark vignette picture with embers rising from below.
void drawmenuscene(uint32_t ms) {
  glClearColor(0, 0, 0, 1);
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  texturedbackdrop(datatexture("menuback.tga", 0, 0), 1.0f, false);
  // Embers rise across the whole window while backgrounds are animated;
  // without animation the backdrop is still.
  if (embers == -2) {   // a still picture: the embers as they are
    drawparticles();
    return;
  }
  if (!animback) {
    removeemitter(embers);
    embers = -1;
    clearparticles();
    return;
  }
  if (embers < 0 || !emitteralive(embers)) {
    const guirect r = guivisible();
    embers = addemitter({r.x, r.y - 5, r.w, 0, 14.0f * r.w / GUIWIDTH, 0, 22.0f, 9.0f, 4500, 1.0f, 0.55f, 0.15f, 0.9f});
  }
  (void)ms;
  drawparticles();
}

// A night sky seen from the middle of a box of six pictures, turning slowly.
void drawskyscene(uint32_t ms) {
  glClearColor(0, 0, 0.02f, 1);
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  glViewport(0, 0, windowwidth(), windowheight());
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  gluPerspective(70.0, double(windowwidth()) / double(imax(windowheight(), 1)), 0.1, 10.0);
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  float turn = animback ? float(ms % 240000u) / 240000.0f * 360.0f : 30.0f;
  glRotatef(-12, 1, 0, 0);
  glRotatef(turn, 0, 1, 0);
  drawskybox();
  flatprojection();
}

void drawparchmentscene() {
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  texturedbackdrop(datatexture("parchment.tga", 0, 1), 2.0f, true);
}

// The strategic map. At reduced graphics 2 and up the map is redrawn one
// stripe of 120 units per frame and the rest kept from earlier frames.
void drawmapscene(int32_t which, uint32_t ms) {
  glClearColor(0, 0, 0, 1);
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  if (!mapdraw) return;
  const int32_t w = windowwidth(), h = windowheight();
  if (guireducedgfx < 2) {
    mapdraw(-1);
  } else {
    if (!backdrop || backdropw != w || backdroph != h) {
      hookscenegl();
      std::vector<uint8_t> black(size_t(w) * size_t(h) * 4, 0);
      if (backdrop) deletetexture(backdrop);
      int32_t saved = texmipmaps;
      texmipmaps = 0;
      backdrop = RGBA2Tex(w, h, black.data(), 0, 0);
      texmipmaps = saved;
      backdropw = w;
      backdroph = h;
      nextstripe = -1;
    }
    // A change of the map is drawn over the next five frames, one stripe each.
    const uint64_t key = mapscenekey ? mapscenekey() : 0;
    if (!key || key != stripedkey) stripesleft = 5;
    stripedkey = key;
    int32_t stripe = nextstripe;
    if (stripe < 0) stripesleft = 0;
    else if (stripesleft > 0) stripesleft--;
    if (stripesleft > 0) guianimating();
    if (stripe >= 0) {
      const guiview v = guiviewport();
      int32_t y0 = int32_t(v.offy + float(stripe * 120) * v.scale);
      int32_t y1 = imin(h, int32_t(v.offy + float((stripe + 1) * 120) * v.scale));
      glEnable(GL_SCISSOR_TEST);
      glScissor(0, y0, w, imax(1, y1 - y0));
      mapdraw(stripe);
      glDisable(GL_SCISSOR_TEST);
      bindtexture(backdrop, 0);
      glCopyTexSubImage2D(GL_TEXTURE_2D, 0, 0, y0, 0, y0, w, imax(1, y1 - y0));
    } else {
      mapdraw(-1);
      bindtexture(backdrop, 0);
      glCopyTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, 0, 0, w, h);
    }
    nextstripe = (stripe + 1) % 5;
    flatprojection();
    bindtexture(backdrop, 0);
    drawguitexquad(0, 0, float(w), float(h), 0, 0, 1, 1);
    resettexstate();
  }
  if (which == 8) {
    // Darkened to grey 0.6, over half a second while the fade effect is on.
    float level = 0.6f;
    if (fade) level = 1.0f - 0.4f * fminf(1.0f, float(ms - scenestart) / 500.0f);
    flatprojection();
    glEnable(GL_BLEND);
    glBlendFunc(GL_ZERO, GL_SRC_COLOR);
    glColor4f(level, level, level, 1);
    drawguiquad(0, 0, float(w), float(h));
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glDisable(GL_BLEND);
  }
}
}  // namespace

void setmapscenekey(mapscenekeyfn key) { mapscenekey = key; }

void setbattlefieldhooks(const BattlefieldHooks& hooks) {
  hookscenegl();
  battlefield = hooks;
}

void freescenegl() {
  if (battlefield.freegl) battlefield.freegl();
}

void setmaphooks(mapkeyscrollfn keyscroll, mapmousescrollfn mousescroll, mapdrawfn draw) {
  mapkeyscroll = keyscroll;
  mapmousescroll = mousescroll;
  mapdraw = draw;
}

void setbgscene(int32_t s) {
  bgscene = s;
  scene = int32_t(Scene::none);
}

int32_t currentscene() { return scene != int32_t(Scene::none) ? scene : bgscene; }

int32_t enterscene(int32_t wanted) {
  int32_t next = wanted != 0 ? wanted : scene != int32_t(Scene::none) ? scene : bgscene;
  if (next != scene) {
    scene = next;
    scenestart = timems();
    removeemitter(embers);
    embers = -1;
    clearparticles();
    if (mapmousescroll) mapmousescroll(-1);
    nextstripe = -1;
  }
  return scene;
}

int32_t scenecontrols(uint32_t elapsed) {
  if (scene == int32_t(Scene::battlefield)) return battlefield.cameramoves ? battlefield.cameramoves() : 0;
  if (scene != int32_t(Scene::map)) return 0;
  const uint64_t before = mapscenekey ? mapscenekey() : 0;
  if (mapkeyscroll) mapkeyscroll();
  const int32_t keyheld = mapmousescroll ? mapmousescroll(int32_t(elapsed)) : 0;
  return keyheld || (mapscenekey && mapscenekey() != before) ? 1 : 0;
}

namespace {
void drawsceneas(int32_t s, uint32_t now) {
  switch (s) {
    case int32_t(Scene::battlefield):
      if (battlefield.draw) battlefield.draw(now);
      break;
    case int32_t(Scene::perftest): drawperftestscene(now); break;
    case int32_t(Scene::menu): drawmenuscene(now); break;
    case int32_t(Scene::map):
    case int32_t(Scene::darkmap): drawmapscene(s, now); break;
    case int32_t(Scene::sky): drawskyscene(now); break;
    case int32_t(Scene::parchment): drawparchmentscene(); break;
    default: drawtitlescene(now); break;
  }
}

// Asks for the frames of a scene that moves with the clock: the animated
// backdrops, the battlefield, the darkening of the map, particles.
void askforsceneframes(int32_t s, uint32_t now) {
  bool moves = particlecount() > 0;
  switch (s) {
    // A battle being watched asks for its own frames: none while paused.
    case int32_t(Scene::battlefield):
      moves |= !(battlefield.watching && battlefield.watching()) && animback != 0;
      break;
    case int32_t(Scene::perftest): moves = true; break;
    case int32_t(Scene::menu):
    case int32_t(Scene::sky): moves |= animback != 0; break;
    case int32_t(Scene::darkmap): moves |= fade && now - scenestart < 500; break;
    case int32_t(Scene::map):
    case int32_t(Scene::parchment): break;
    default: moves |= animback != 0; break;   // the title's shimmer
  }
  if (moves) guianimating();
}

// The still picture behind dialogs, the size it was taken at, and the
// scene that a screen showed last.
uint32_t dialogpicture = 0;
int32_t picturew = 0, pictureh = 0;
int32_t screenscene = int32_t(Scene::menu);

// The pictures behind the boxes that are open (guiboxbegin), the innermost
// last; 0 for one that could not be taken.
std::vector<uint32_t> boxpictures;
constexpr float DIALOGDARK = 0.55f;

void forgetpicturetexture() {
  dialogpicture = 0;
  std::fill(boxpictures.begin(), boxpictures.end(), 0u);
}

// The window's picture copied into the texture, made anew at a new size.
void copywindow(uint32_t& picture, int32_t& pw, int32_t& ph) {
  const int32_t w = windowwidth(), h = windowheight();
  if (picture && (pw != w || ph != h)) {
    deletetexture(picture);
    picture = 0;
  }
  if (!picture) {
    std::vector<uint8_t> black(size_t(w) * size_t(h) * 4, 0);
    const int32_t saved = texmipmaps;
    texmipmaps = 0;
    picture = RGBA2Tex(w, h, black.data(), 0, 0);
    texmipmaps = saved;
    pw = w;
    ph = h;
    // Drawn texel for pixel: the nearest texel is the one that filtering
    // would read alone, without the cost of reading four.
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
  }
  bindtexture(picture, 0);
  glCopyTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, 0, 0, w, h);
  resettexstate();
}

// A picture of the window over all of it, its colours times `level`.
void drawpicture(uint32_t picture, float level) {
  flatprojection();
  bindtexture(picture, level < 1 ? 3 : 0);
  glColor4f(level, level, level, 1);
  drawguitexquad(0, 0, float(windowwidth()), float(windowheight()), 0, 0, 1, 1);
  glColor4f(1, 1, 1, 1);
  resettexstate();
}

// A picture of the whole window kept for later frames: in a framebuffer
// object where the driver has them, shown again by a copy between
// framebuffers (a software renderer copies the rows instead of drawing a
// window-sized textured quad pixel by pixel), else in a texture.
struct keptpicture {
  uint32_t texture = 0, framebuffer = 0, renderbuffer = 0;
  int32_t w = 0, h = 0;
  bool refused = false;   // the driver would not take the framebuffer object
};

// Copies the window's picture into the framebuffer object, made (anew at a
// new size) as needed; false when the driver has none or refuses it.
bool keepinframebuffer(keptpicture& p) {
  if (supported_EXT_framebuffer_blit != 1 || p.refused) return false;
  const int32_t w = windowwidth(), h = windowheight();
  if (!p.framebuffer) {
    GLuint f = 0, r = 0;
    pglGenFramebuffersEXT(1, &f);
    pglGenRenderbuffersEXT(1, &r);
    p.framebuffer = f;
    p.renderbuffer = r;
    p.w = p.h = 0;
  }
  if (p.w != w || p.h != h) {
    pglBindRenderbufferEXT(GL_RENDERBUFFER_EXT, p.renderbuffer);
    pglRenderbufferStorageEXT(GL_RENDERBUFFER_EXT, GL_RGBA8, w, h);
    pglBindRenderbufferEXT(GL_RENDERBUFFER_EXT, 0);
    pglBindFramebufferEXT(GL_FRAMEBUFFER_EXT, p.framebuffer);
    pglFramebufferRenderbufferEXT(GL_FRAMEBUFFER_EXT, GL_COLOR_ATTACHMENT0_EXT, GL_RENDERBUFFER_EXT, p.renderbuffer);
    const bool complete = pglCheckFramebufferStatusEXT(GL_FRAMEBUFFER_EXT) == GL_FRAMEBUFFER_COMPLETE_EXT;
    pglBindFramebufferEXT(GL_FRAMEBUFFER_EXT, 0);
    if (!complete) {
      GLuint f = p.framebuffer, r = p.renderbuffer;
      pglDeleteFramebuffersEXT(1, &f);
      pglDeleteRenderbuffersEXT(1, &r);
      p.framebuffer = p.renderbuffer = 0;
      p.refused = true;
      return false;
    }
    p.w = w;
    p.h = h;
  }
  // The copy passes the scissor test: nothing may be cut from it.
  glDisable(GL_SCISSOR_TEST);
  pglBindFramebufferEXT(GL_DRAW_FRAMEBUFFER_EXT, p.framebuffer);
  pglBlitFramebufferEXT(0, 0, w, h, 0, 0, w, h, GL_COLOR_BUFFER_BIT, GL_NEAREST);
  pglBindFramebufferEXT(GL_DRAW_FRAMEBUFFER_EXT, 0);
  return true;
}

void keepwindow(keptpicture& p) {
  if (keepinframebuffer(p)) return;
  copywindow(p.texture, p.w, p.h);
}

// True when the picture is of the window's present size.
bool pictureheld(const keptpicture& p) {
  return (p.framebuffer || p.texture) && p.w == windowwidth() && p.h == windowheight();
}

void showpicture(const keptpicture& p) {
  if (!p.framebuffer) {
    drawpicture(p.texture, 1);
    return;
  }
  glDisable(GL_SCISSOR_TEST);
  pglBindFramebufferEXT(GL_READ_FRAMEBUFFER_EXT, p.framebuffer);
  pglBlitFramebufferEXT(0, 0, p.w, p.h, 0, 0, p.w, p.h, GL_COLOR_BUFFER_BIT, GL_NEAREST);
  pglBindFramebufferEXT(GL_READ_FRAMEBUFFER_EXT, 0);
}

// The still layer: the map scene with the areas over it that change only
// with it, as pictures, and what each showed. Two are kept, so that a
// blinking mark (the chosen province's flag) shows its two states from
// pictures instead of drawing the map anew at each change; the one used
// longer ago is replaced.
struct stillslot {
  keptpicture picture;
  uint64_t key = 0;
  uint32_t used = 0;
};
std::array<stillslot, 2> stills;
uint32_t stilluse = 0;

// After the context was made anew its objects are gone with it.
void forgetstillpicture() { stills = {}; }

uint64_t hashbytes(uint64_t h, const void* data, size_t n) {
  const auto* p = static_cast<const uint8_t*>(data);
  for (size_t i = 0; i < n; i++) h = (h ^ p[i]) * 1099511628211ull;
  return h;
}

// What the still layer would show now: the scene, the window, and every
// area before `end` as it is drawn at `now`; 0 when it cannot be kept (not
// the map, the map redrawn in stripes, areas that draw themselves or move
// with the clock).
uint64_t stillkeynow(int32_t s, int32_t end, int32_t hovered, uint32_t now) {
  if (s != int32_t(Scene::map) || !mapscenekey || !mapdraw || guireducedgfx >= 2 || end <= 0) return 0;
  const uint64_t map = mapscenekey();
  const int32_t frame[6] = {windowwidth(), windowheight(), hovered < end ? hovered : -1, fade, inkcutting ? 1 : 0,
                            particlecount()};
  uint64_t h = hashbytes(hashbytes(14695981039346656037ull, &map, sizeof map), frame, sizeof frame);
  if (frame[5] > 0) return 0;
  for (int32_t i = 0; i < end && i < guiareacount(); i++) {
    const guiarea& a = guiareaget(i);
    if (a.kind == AreaKind::callback || a.kind == AreaKind::field) return 0;
    const bool hidden = a.period > 0 && (now & 1023u) % uint32_t(a.period) >= uint32_t(a.period) / 2;
    if (a.period > 0) guianimatingin(blinkchangein(a.period, now));
    const float f[11] = {a.x, a.y, a.w, a.h, a.r, a.g, a.b, a.a, a.scale, a.u, a.v};
    const int32_t n[9] = {int32_t(a.kind), a.flags, a.id, a.file, a.nr, a.mode, a.length, a.clip, hidden ? 1 : 0};
    h = hashbytes(hashbytes(h, f, sizeof f), n, sizeof n);
    if (a.length > 0) h = hashbytes(h, guiareatext(a), size_t(a.length));
  }
  return h ? h : 1;
}
}  // namespace

void drawscene() {
  uint32_t now = timems();
  int32_t s = enterscene(0);
  updateparticles(now);
  drawsceneas(s, now);
}

void drawscreenscene() {
  uint32_t now = timems();
  int32_t s = enterscene(0);
  updateparticles(now);
  drawsceneas(s == int32_t(Scene::perftest) ? screenscene : s, now);
}

int32_t drawscreenscenestill(int32_t end, int32_t hovered) {
  static bool hooked = false;
  if (!hooked) addglreloadhook(forgetstillpicture);
  hooked = true;
  const uint32_t now = timems();
  const int32_t s = enterscene(0);
  updateparticles(now);
  askforsceneframes(s == int32_t(Scene::perftest) ? screenscene : s, now);
  const uint64_t key = stillkeynow(s, end, hovered, now);
  if (key)
    for (stillslot& slot : stills)
      if (slot.key == key && pictureheld(slot.picture)) {
        slot.used = ++stilluse;
        showpicture(slot.picture);
        return end;
      }
  drawsceneas(s == int32_t(Scene::perftest) ? screenscene : s, now);
  if (!key) return 0;
  drawguiarearange(0, end, hovered, now);
  stillslot& older = stills[0].used <= stills[1].used ? stills[0] : stills[1];
  older.key = key;
  older.used = ++stilluse;
  keepwindow(older.picture);
  return end;
}

namespace {
void hookpicturetextures() {
  static bool hooked = false;
  if (!hooked) addglreloadhook(forgetpicturetexture);
  hooked = true;
}

// The scene that a screen showed last, as it stood, without new particles:
// the picture is still.
void drawstillscene() {
  const int32_t savedembers = embers;
  embers = -2;
  drawsceneas(screenscene, timems());
  embers = savedembers;
}

// The background of a box's frames: its picture darkened, or the scene
// when the picture was lost.
void drawboxbackground(uint32_t picture) {
  glClearColor(0, 0, 0, 1);
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  if (picture) drawpicture(picture, DIALOGDARK);
  else drawstillscene();
}
}  // namespace

void takedialogpicture(int32_t withscreen) {
  hookpicturetextures();
  const int32_t w = windowwidth(), h = windowheight();
  if (w < 1 || h < 1) return;
  // A box that asks is drawn over its own background.
  if (gui.box && !boxpictures.empty()) drawboxbackground(boxpictures.back());
  else drawstillscene();
  if (withscreen) drawguiareas(-1);
  copywindow(dialogpicture, picturew, pictureh);
}

int dialogpictureheld() { return dialogpicture != 0; }

void drawdialogpicture() {
  if (gui.box) {
    // A frame of the box: a dialog that it asked has ended.
    if (dialogpicture) deletetexture(dialogpicture);
    dialogpicture = 0;
    drawboxbackground(boxpictures.empty() ? 0 : boxpictures.back());
    return;
  }
  if (!dialogpicture) takedialogpicture(0);
  glClearColor(0, 0, 0, 1);
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  drawpicture(dialogpicture, DIALOGDARK);
}

void pushboxpicture() {
  uint32_t picture = 0;
  int32_t pw = 0, ph = 0;
  if (windowopen() && !textonly && windowwidth() > 0 && windowheight() > 0) {
    hookpicturetextures();
    // The window that opens the box as it was last drawn: a box over its
    // own background, a screen over its scene; the window of a dialog that
    // has ended is left out, its background kept.
    if (gui.box) {
      drawboxbackground(boxpictures.empty() ? 0 : boxpictures.back());
    } else if (gui.dialog && dialogpicture) {
      drawboxbackground(dialogpicture);
    } else {
      drawstillscene();
    }
    if (!gui.dialog || gui.box) drawguiareas(-1);
    copywindow(picture, pw, ph);
  }
  boxpictures.push_back(picture);
}

void popboxpicture() {
  if (boxpictures.empty()) return;
  if (boxpictures.back()) deletetexture(boxpictures.back());
  boxpictures.pop_back();
}

GuiBox::GuiBox() { pushboxpicture(); }
GuiBox::~GuiBox() { popboxpicture(); }

void guiboxbegin() {
  guibegin();
  gui.dialog = gui.box = true;
}

void forgetdialogpicture(int32_t scene) {
  if (scene != int32_t(Scene::perftest) && scene != int32_t(Scene::none)) screenscene = scene;
  if (!dialogpicture) return;
  deletetexture(dialogpicture);
  dialogpicture = 0;
}
