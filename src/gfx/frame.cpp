// The frame pump: background scenes, showing a frame, reading input, and the
// scripted input that drives the real window in tests.
#include <SDL.h>
#include <GL/gl.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "battleview/battleview.h"
#include "gfx/gfx.h"
#include "runtime/fatal.h"
#include "runtime/settings.h"
#include "runtime/util.h"

int32_t quitrequested = 0;
std::array<uint8_t, KEYTABLE> keydown = {};
int32_t mousex = 0, mousey = 0, mousebuttons = 0;

namespace {
int32_t scene = int32_t(Scene::none);
uint32_t lastframe = 0;

// Flat drawing in window pixels with the origin at the lower left.
void flatprojection() {
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  glOrtho(0, windowwidth(), 0, windowheight(), -1, 1);
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  glDisable(GL_DEPTH_TEST);
  glDisable(GL_LIGHTING);
  glDisable(GL_TEXTURE_2D);
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

// The input script: its lines, the next line to carry out, frames still to
// wait, and a screenshot asked for the next frame.
struct inputscript {
  bool loaded = false;
  std::vector<std::string> lines;
  size_t next = 0;
  int32_t waiting = 0;
  char shotpath[PATHLEN] = {};
};
inputscript script;

constexpr size_t MAXSCRIPTLINES = 10000;

void loadscript() {
  script.loaded = true;
  const char* path = getenv("VEY3_INPUTSCRIPT");
  if (!path || !path[0]) return;
  UniqueFile f = openfile(path, "r");
  bailif_fmt(!f, "inputscript: cannot read %s", path);
  char line[PATHLEN + 64];
  while (fgets(line, sizeof line, f.get()) && script.lines.size() < MAXSCRIPTLINES) script.lines.emplace_back(line);
}

int32_t keysymbyname(const char* name) {
  for (int32_t k = 1; k < SDLK_LAST; k++) {
    const char* known = SDL_GetKeyName(SDLKey(k));
    if (known && strcmp(known, name) == 0) return k;
  }
  return 0;
}

void pushkey(int32_t sym, uint16_t unicode) {
  SDL_Event e = {};
  e.type = SDL_KEYDOWN;
  e.key.state = SDL_PRESSED;
  e.key.keysym.sym = SDLKey(sym);
  e.key.keysym.unicode = unicode;
  SDL_PushEvent(&e);
  e.type = SDL_KEYUP;
  e.key.state = SDL_RELEASED;
  SDL_PushEvent(&e);
}

void pushclick(int32_t x, int32_t y, int32_t button) {
  SDL_Event e = {};
  e.type = SDL_MOUSEMOTION;
  e.motion.x = Uint16(x);
  e.motion.y = Uint16(y);
  SDL_PushEvent(&e);
  e = {};
  e.type = SDL_MOUSEBUTTONDOWN;
  e.button.button = Uint8(button);
  e.button.state = SDL_PRESSED;
  e.button.x = Uint16(x);
  e.button.y = Uint16(y);
  SDL_PushEvent(&e);
  e.type = SDL_MOUSEBUTTONUP;
  e.button.state = SDL_RELEASED;
  SDL_PushEvent(&e);
}

// Carries out script lines until one asks to wait for frames.
void stepscript() {
  if (!script.loaded) loadscript();
  if (script.waiting > 0) {
    script.waiting--;
    return;
  }
  while (script.next < script.lines.size()) {
    const std::string& line = script.lines[script.next++];
    scriptcommand c = parsescriptline(line.c_str());
    switch (c.op) {
      case ScriptOp::skip: break;
      case ScriptOp::wait: script.waiting = c.x; return;
      case ScriptOp::key: {
        int32_t sym = keysymbyname(c.text);
        bailif_fmt(sym == 0, "inputscript: unknown key %s", c.text);
        pushkey(sym, sym < 128 ? uint16_t(sym) : 0);
        break;
      }
      case ScriptOp::type:
        for (const char* p = c.text; *p; p++) {
          uint8_t ch = uint8_t(*p);
          pushkey(ch >= 'A' && ch <= 'Z' ? ch - 'A' + 'a' : ch, ch);
        }
        break;
      case ScriptOp::click: pushclick(c.x, c.y, c.button); break;
      case ScriptOp::shot: strlcopy(script.shotpath, c.text, PATHLEN); break;
      case ScriptOp::quit: {
        SDL_Event e = {};
        e.type = SDL_QUIT;
        SDL_PushEvent(&e);
        break;
      }
      case ScriptOp::bad: bailif_fmt(1, "inputscript: bad line: %s", line.c_str()); break;
    }
  }
}

void takeshot() {
  int32_t w = windowwidth(), h = windowheight();
  if (w <= 0 || h <= 0) return;
  std::vector<uint8_t> pixels(size_t(w) * size_t(h) * 3);
  glReadBuffer(GL_BACK);
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glReadPixels(0, 0, w, h, GL_RGB, GL_UNSIGNED_BYTE, pixels.data());
  bailif_fmt(!writeppm(script.shotpath, pixels.data(), w, h), "inputscript: cannot write %s", script.shotpath);
  debugprint("inputscript: shot %s\n", script.shotpath);
  script.shotpath[0] = 0;
}
}  // namespace

void setbgscene(int32_t s) { scene = s; }
int32_t currentscene() { return scene; }

void drawscene() {
  uint32_t now = timems();
  switch (Scene(scene)) {
    case Scene::battlefield: drawbattlefield(now); break;
    case Scene::perftest: drawperftestscene(now); break;
    default: drawtitlescene(now); break;
  }
}

void finishframe() {
  if (script.shotpath[0]) takeshot();
  SDL_GL_SwapBuffers();
  if (framedelay > 0) {
    int32_t spent = int32_t(timems() - lastframe);
    if (spent >= 0 && spent < framedelay) sleepms(framedelay - spent);
  }
  lastframe = timems();
}

int32_t pumpevents() {
  stepscript();
  int32_t pressed = 0;
  SDL_Event e;
  while (SDL_PollEvent(&e)) {
    switch (e.type) {
      case SDL_QUIT: quitrequested = 1; break;
      case SDL_KEYDOWN:
      case SDL_KEYUP: {
        int32_t sym = e.key.keysym.sym;
        if (sym < 0 || sym >= KEYTABLE) break;
        keydown[size_t(sym)] = e.type == SDL_KEYDOWN;
        if (e.type == SDL_KEYDOWN && !pressed) pressed = sym;
        break;
      }
      case SDL_MOUSEMOTION:
        mousex = e.motion.x;
        mousey = e.motion.y;
        break;
      case SDL_MOUSEBUTTONDOWN:
      case SDL_MOUSEBUTTONUP: {
        int32_t bit = e.button.button == SDL_BUTTON_LEFT ? 1 : e.button.button == SDL_BUTTON_RIGHT ? 2
                    : e.button.button == SDL_BUTTON_MIDDLE ? 4 : 0;
        mousex = e.button.x;
        mousey = e.button.y;
        if (e.type == SDL_MOUSEBUTTONDOWN) mousebuttons |= bit;
        else mousebuttons &= ~bit;
        break;
      }
      default: break;
    }
  }
  return pressed;
}
