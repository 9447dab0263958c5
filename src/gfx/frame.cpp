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
#include "gfx/gui.h"
#include "runtime/fatal.h"
#include "runtime/settings.h"
#include "runtime/util.h"

int32_t quitrequested = 0;
std::array<uint8_t, KEYTABLE> keydown = {};
int32_t mousex = 0, mousey = 0, mousebuttons = 0;

frameevents frameinput = {};
int32_t iconified = 0;

namespace {
uint32_t lastframe = 0;

// The key that was pressed last, while it is held: it repeats after a
// pause, as long as its release has not come.
constexpr uint32_t REPEATDELAY = 500, REPEATINTERVAL = 30;
struct heldkey {
  int32_t sym = 0;
  uint16_t unicode = 0;
  uint32_t next = 0;   // when it repeats next
};
heldkey held;

// The input script: its lines, the next line to carry out, frames still to
// wait, and a screenshot asked for the next frame.
struct inputscript {
  bool loaded = false;
  std::vector<std::string> lines;
  size_t next = 0;
  int32_t waiting = 0, waitedfor = 0;
  char shotpath[PATHLEN] = {};
};
inputscript script;

constexpr size_t MAXSCRIPTLINES = 10000;

void loadscript() {
  if (script.loaded) return;
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

void pushkeyevent(int32_t sym, uint16_t unicode, bool down) {
  SDL_Event e = {};
  e.type = down ? SDL_KEYDOWN : SDL_KEYUP;
  e.key.state = down ? SDL_PRESSED : SDL_RELEASED;
  e.key.keysym.sym = SDLKey(sym);
  e.key.keysym.unicode = down ? unicode : 0;
  SDL_PushEvent(&e);
}

void pushkey(int32_t sym, uint16_t unicode) {
  pushkeyevent(sym, unicode, true);
  pushkeyevent(sym, unicode, false);
}

// Where the script last put the pointer: the wheel turns there.
int32_t scriptx = 0, scripty = 0;

void pushmotion(int32_t x, int32_t y) {
  scriptx = x;
  scripty = y;
  SDL_Event e = {};
  e.type = SDL_MOUSEMOTION;
  e.motion.x = Uint16(x);
  e.motion.y = Uint16(y);
  SDL_PushEvent(&e);
}

void pushbutton(int32_t x, int32_t y, int32_t button, bool down) {
  SDL_Event e = {};
  e.type = down ? SDL_MOUSEBUTTONDOWN : SDL_MOUSEBUTTONUP;
  e.button.button = Uint8(button);
  e.button.state = down ? SDL_PRESSED : SDL_RELEASED;
  e.button.x = Uint16(x);
  e.button.y = Uint16(y);
  SDL_PushEvent(&e);
}

void pushclick(int32_t x, int32_t y, int32_t button) {
  pushmotion(x, y);
  pushbutton(x, y, button, true);
  pushbutton(x, y, button, false);
}

int32_t namedkey(const char* name) {
  int32_t sym = keysymbyname(name);
  bailif_fmt(sym == 0, "inputscript: unknown key %s", name);
  return sym;
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
    if (c.op == ScriptOp::waitfor && findguiarea(c.x) < 0) {
      bailif_fmt(++script.waitedfor > 3000, "inputscript: no area %d appeared", c.x);
      script.next--;   // look again next frame
      return;
    }
    script.waitedfor = 0;
    switch (c.op) {
      case ScriptOp::waitfor: break;
      case ScriptOp::clickid: {
        int32_t a = findguiarea(c.x);
        bailif_fmt(a < 0, "inputscript: no area %d to click", c.x);
        const guiarea& r = guiareaget(a);
        float px = 0, py = 0;
        guitowindow(guiviewport(), windowheight(), r.x + r.w * 0.5f, r.y + r.h * 0.5f, &px, &py);
        pushclick(int32_t(px), int32_t(py), c.button);
        break;
      }
      case ScriptOp::skip: break;
      case ScriptOp::wait: script.waiting = c.x; return;
      case ScriptOp::key: {
        int32_t sym = namedkey(c.text);
        pushkey(sym, sym < 128 ? uint16_t(sym) : 0);
        break;
      }
      case ScriptOp::hold:
      case ScriptOp::release: {
        int32_t sym = namedkey(c.text);
        pushkeyevent(sym, sym < 128 ? uint16_t(sym) : 0, c.op == ScriptOp::hold);
        break;
      }
      case ScriptOp::move: pushmotion(c.x, c.y); break;
      case ScriptOp::down:
      case ScriptOp::up:
        pushmotion(c.x, c.y);
        pushbutton(c.x, c.y, c.button, c.op == ScriptOp::down);
        break;
      case ScriptOp::wheel:
        for (int32_t n = 0; n < iabs(c.x); n++) {
          pushbutton(scriptx, scripty, c.x > 0 ? SDL_BUTTON_WHEELUP : SDL_BUTTON_WHEELDOWN, true);
          pushbutton(scriptx, scripty, c.x > 0 ? SDL_BUTTON_WHEELUP : SDL_BUTTON_WHEELDOWN, false);
        }
        break;
      case ScriptOp::resize: {
        SDL_Event e = {};
        e.type = SDL_VIDEORESIZE;
        e.resize.w = c.x;
        e.resize.h = c.y;
        SDL_PushEvent(&e);
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

void finishframe() {
  if (script.shotpath[0]) takeshot();
  SDL_GL_SwapBuffers();
  if (framedelay > 0) {
    int32_t spent = int32_t(timems() - lastframe);
    if (spent >= 0 && spent < framedelay) sleepms(framedelay - spent);
  }
  lastframe = timems();
}

void forgetheldinput() {
  keydown = {};
  mousebuttons = 0;
  held = {};
}

int32_t pumpevents() {
  stepscript();
  frameinput.nkeys = frameinput.npresses = frameinput.wheel = frameinput.videochanged = 0;
  int32_t pressed = 0;
  SDL_Event e;
  while (SDL_PollEvent(&e)) {
    switch (e.type) {
      case SDL_QUIT: quitrequested = 1; break;
      case SDL_KEYDOWN:
      case SDL_KEYUP: {
        int32_t sym = e.key.keysym.sym;
        bool down = e.type == SDL_KEYDOWN;
        bool alt = (e.key.keysym.mod & KMOD_ALT) || keydown[SDLK_LALT] || keydown[SDLK_RALT];
        if (down && (sym == SDLK_RETURN || sym == SDLK_KP_ENTER) && alt) {
          if (togglefullscreen()) frameinput.videochanged = 1;
          break;
        }
        if (sym < 0 || sym >= KEYTABLE) break;   // symbols beyond the table are ignored
        keydown[size_t(sym)] = down;
        if (!down) {
          if (sym == held.sym) held = {};
          break;
        }
        held = {sym, e.key.keysym.unicode, timems() + REPEATDELAY};
        if (!pressed) pressed = sym;
        if (frameinput.nkeys < int32_t(frameinput.keys.size()))
          frameinput.keys[size_t(frameinput.nkeys++)] = {sym, e.key.keysym.unicode};
        break;
      }
      case SDL_MOUSEMOTION:
        mousex = e.motion.x;
        mousey = e.motion.y;
        break;
      case SDL_MOUSEBUTTONDOWN:
      case SDL_MOUSEBUTTONUP: {
        int32_t b = e.button.button;
        mousex = e.button.x;
        mousey = e.button.y;
        if (b == SDL_BUTTON_WHEELUP || b == SDL_BUTTON_WHEELDOWN) {
          if (e.type == SDL_MOUSEBUTTONDOWN) frameinput.wheel += b == SDL_BUTTON_WHEELUP ? 1 : -1;
          break;
        }
        int32_t bit = b == SDL_BUTTON_LEFT ? 1 : b == SDL_BUTTON_RIGHT ? 2 : b == SDL_BUTTON_MIDDLE ? 4 : 0;
        if (e.type == SDL_MOUSEBUTTONDOWN) {
          mousebuttons |= bit;
          if (frameinput.npresses < int32_t(frameinput.presses.size()))
            frameinput.presses[size_t(frameinput.npresses++)] = {b, mousex, mousey};
        } else {
          mousebuttons &= ~bit;
        }
        break;
      }
      case SDL_VIDEORESIZE:
        if (setvideosize(e.resize.w, e.resize.h, 0)) frameinput.videochanged = 1;
        break;
      case SDL_ACTIVEEVENT:
        if (e.active.state & SDL_APPACTIVE) iconified = e.active.gain ? 0 : 1;
        // Keys let go in another window send no release here.
        if ((e.active.state & SDL_APPINPUTFOCUS) && !e.active.gain) forgetheldinput();
        break;
      default: break;
    }
  }
  const uint32_t now = timems();
  if (held.sym > 0 && keydown[size_t(held.sym)] && int32_t(now - held.next) >= 0 &&
      frameinput.nkeys < int32_t(frameinput.keys.size())) {
    frameinput.keys[size_t(frameinput.nkeys++)] = {held.sym, held.unicode};
    if (!pressed) pressed = held.sym;
    held.next = now + REPEATINTERVAL;
  }
  return pressed;
}

void setinputscript(const char* text) {
  script = {};
  script.loaded = true;
  const char* p = text ? text : "";
  while (*p && script.lines.size() < MAXSCRIPTLINES) {
    const char* end = strchr(p, '\n');
    size_t n = end ? size_t(end - p) : strlen(p);
    script.lines.emplace_back(p, n);
    p += n + (end ? 1 : 0);
  }
}
