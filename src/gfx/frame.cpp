// The frame pump: background scenes, showing a frame, reading input, and the
// scripted input that drives the real window in tests.
#include <SDL.h>
#include <SDL_syswm.h>
#include <X11/keysym.h>
#include <GL/gl.h>
#include <dlfcn.h>

#include <atomic>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <string>
#include <vector>

#include "gfx/gfx.h"
#include "gfx/gui.h"
#include "runtime/fatal.h"
#include "runtime/settings.h"
#include "runtime/stopsignal.h"
#include "runtime/util.h"

int32_t quitrequested = 0;
std::array<uint8_t, KEYTABLE> keydown = {}, keytaps = {};
std::array<keyseen, KEYTABLE> keytimes = {};
int32_t mousex = 0, mousey = 0, mousebuttons = 0;

frameevents frameinput = {};
int32_t iconified = 0;

namespace {
uint32_t lastframe = 0;

// Pointer moves waiting in SDL's queue are kept to one: a newer move while
// one waits only updates the position held here. A slow frame then finds a
// short queue, where a flood of moves would fill it (SDL keeps 128 events)
// and push out the click that followed them.
std::atomic<bool> motionwaiting{false}, newermotion{false};
std::atomic<int32_t> latestx{0}, latesty{0};

int SDLCALL keeplatestmotion(const SDL_Event* e) {
  if (e->type != SDL_MOUSEMOTION) return 1;
  if (!motionwaiting.exchange(true)) return 1;
  latestx = e->motion.x;
  latesty = e->motion.y;
  newermotion = true;
  return 0;
}

// SDL 1.2's layer over SDL 2 holds a key press back until it learns the
// key's character, and lets the clicks made after it into the queue first:
// a Shift-click reads as a plain click followed by Shift. The modifier keys
// of each click are therefore taken from SDL 2's own events, in the order
// they come, through a filter put in front of the layer's own. Without SDL 2
// (a true SDL 1.2 keeps the order) the key-down table gives them.
namespace sdl2 {
constexpr uint32_t MOUSEBUTTONDOWN = 0x401;
constexpr int32_t SHIFT = 0x3, CTRL = 0xc0, LALT = 0x100, MODE = 0x4000;
using Filter = int (*)(void*, void*);
Filter layerfilter = nullptr;
void* layerdata = nullptr;
int (*getmodstate)() = nullptr;
bool hooked = false;
// The modifiers at each button press that the layer has turned into an
// event still to be read.
std::deque<int32_t> pressmods;

int SDLCALL watch(void*, void* event) {
  if (*static_cast<const uint32_t*>(event) == MOUSEBUTTONDOWN && pressmods.size() < 1024) {
    const int32_t m = getmodstate();
    pressmods.push_back(((m & SHIFT) ? GUIMOD_SHIFT : 0) | ((m & CTRL) ? GUIMOD_CTRL : 0) |
                        ((m & (LALT | MODE)) ? GUIMOD_ALT : 0));
  }
  return layerfilter ? layerfilter(layerdata, event) : 1;
}

void hook() {
  void* lib = dlopen("libSDL2-2.0.so.0", RTLD_NOW | RTLD_NOLOAD);
  if (!lib) return;
  auto getfilter = reinterpret_cast<int (*)(Filter*, void**)>(dlsym(lib, "SDL_GetEventFilter"));
  auto setfilter = reinterpret_cast<void (*)(Filter, void*)>(dlsym(lib, "SDL_SetEventFilter"));
  getmodstate = reinterpret_cast<int (*)()>(dlsym(lib, "SDL_GetModState"));
  if (!getfilter || !setfilter || !getmodstate) return;
  Filter now = nullptr;
  void* data = nullptr;
  if (!getfilter(&now, &data)) now = nullptr, data = nullptr;
  if (now != watch) {
    layerfilter = now;
    layerdata = data;
    setfilter(watch, nullptr);
  }
  hooked = true;
}
}  // namespace sdl2

// When the last input pass began: the last time that a key let go in the
// next pass was seen held.
uint32_t lastpass = 0;

void notereleased(size_t key, uint32_t now) {
  keyseen& seen = keytimes[key];
  seen.released = now;
  seen.heldto = int32_t(lastpass - seen.pressed) > 0 ? lastpass : seen.pressed;
}

// Script presses are marked as the script's, apart from the window's own.
constexpr uint8_t SCRIPTDEVICE = 7;

// A key held down repeats (the first repeat after REPEATDELAY ms, then every
// REPEATINTERVAL ms) as the toolkit's own events marked as repeats; SDL's
// own repeat is off, since it can go on repeating a key that was let go.
constexpr uint32_t REPEATDELAY = 500, REPEATINTERVAL = 30;
struct heldkey {
  int32_t sym = 0;
  uint16_t unicode = 0;
  uint32_t next = 0;
};
heldkey repeating;

// A key's release can miss the window: the X server gives it to a program
// that grabbed the keyboard meanwhile, and SDL, which takes such a grab's
// focus change for a hotkey's, keeps the key down; where SDL does not hold
// the keyboard's focus (the pointer gave it), nothing lets go of it later.
// While a key is held, the server is asked now and then which keys are
// down: a key held here that the server has up is let go here, and SDL is
// sent its release, so that its next press reads as a press again.
namespace serverkeys {
constexpr uint32_t CHECKMS = 150;
uint32_t lastcheck = 0;
// Keys that the input script holds: the server never had them down.
std::array<uint8_t, KEYTABLE> scriptheld = {};

struct xlib {
  int (*querykeymap)(Display*, char*) = nullptr;
  int (*sendevent)(Display*, Window, int, long, XEvent*) = nullptr;
  int (*flush)(Display*) = nullptr;
  KeyCode (*keycode)(Display*, KeySym) = nullptr;
  bool looked = false;
};
xlib x;

// The X key symbol of an SDL 1.2 key symbol; 0 for the lock keys, which SDL
// 1.2 holds down while the lock is on, and for keys without one here.
KeySym xkeysym(int32_t sym) {
  static constexpr struct {
    int32_t sym;
    KeySym x;
  } named[] = {{SDLK_BACKSPACE, XK_BackSpace}, {SDLK_TAB, XK_Tab},         {SDLK_CLEAR, XK_Clear},
               {SDLK_RETURN, XK_Return},       {SDLK_PAUSE, XK_Pause},     {SDLK_ESCAPE, XK_Escape},
               {SDLK_DELETE, XK_Delete},       {SDLK_KP_PERIOD, XK_KP_Decimal}, {SDLK_KP_DIVIDE, XK_KP_Divide},
               {SDLK_KP_MULTIPLY, XK_KP_Multiply}, {SDLK_KP_MINUS, XK_KP_Subtract}, {SDLK_KP_PLUS, XK_KP_Add},
               {SDLK_KP_ENTER, XK_KP_Enter},   {SDLK_KP_EQUALS, XK_KP_Equal}, {SDLK_UP, XK_Up},
               {SDLK_DOWN, XK_Down},           {SDLK_RIGHT, XK_Right},     {SDLK_LEFT, XK_Left},
               {SDLK_INSERT, XK_Insert},       {SDLK_HOME, XK_Home},       {SDLK_END, XK_End},
               {SDLK_PAGEUP, XK_Prior},        {SDLK_PAGEDOWN, XK_Next},   {SDLK_RSHIFT, XK_Shift_R},
               {SDLK_LSHIFT, XK_Shift_L},      {SDLK_RCTRL, XK_Control_R}, {SDLK_LCTRL, XK_Control_L},
               {SDLK_RALT, XK_Alt_R},          {SDLK_LALT, XK_Alt_L},      {SDLK_RMETA, XK_Meta_R},
               {SDLK_LMETA, XK_Meta_L},        {SDLK_LSUPER, XK_Super_L},  {SDLK_RSUPER, XK_Super_R},
               {SDLK_MODE, XK_Mode_switch}};
  if (sym >= SDLK_SPACE && sym < SDLK_DELETE) return KeySym(sym);   // the same codes
  if (sym >= SDLK_KP0 && sym <= SDLK_KP9) return KeySym(XK_KP_0 + (sym - SDLK_KP0));
  if (sym >= SDLK_F1 && sym <= SDLK_F15) return KeySym(XK_F1 + (sym - SDLK_F1));
  for (const auto& n : named)
    if (n.sym == sym) return n.x;
  return 0;
}

bool serverheldany() {
  for (size_t k = 0; k < keydown.size(); k++)
    if (keydown[k] && !scriptheld[k]) return true;
  return false;
}

void check(uint32_t now) {
  if (now - lastcheck < CHECKMS || !serverheldany()) return;
  lastcheck = now;
  if (!x.looked) {
    x.looked = true;
    void* lib = dlopen("libX11.so.6", RTLD_NOW | RTLD_NOLOAD);
    if (!lib) return;
    x.querykeymap = reinterpret_cast<decltype(x.querykeymap)>(dlsym(lib, "XQueryKeymap"));
    x.sendevent = reinterpret_cast<decltype(x.sendevent)>(dlsym(lib, "XSendEvent"));
    x.flush = reinterpret_cast<decltype(x.flush)>(dlsym(lib, "XFlush"));
    x.keycode = reinterpret_cast<decltype(x.keycode)>(dlsym(lib, "XKeysymToKeycode"));
  }
  if (!x.querykeymap || !x.sendevent || !x.flush || !x.keycode) return;
  SDL_SysWMinfo info;
  SDL_VERSION(&info.version);
  if (SDL_GetWMInfo(&info) <= 0 || info.subsystem != SDL_SYSWM_X11 || !info.info.x11.display) return;
  Display* d = info.info.x11.display;
  if (info.info.x11.lock_func) info.info.x11.lock_func();
  char server[32] = {};
  x.querykeymap(d, server);
  bool sent = false;
  for (int32_t k = 1; k < KEYTABLE; k++) {
    const KeySym xsym = keydown[size_t(k)] && !scriptheld[size_t(k)] ? xkeysym(k) : 0;
    const KeyCode code = xsym ? x.keycode(d, xsym) : 0;
    if (!code || ((server[code / 8] >> (code % 8)) & 1)) continue;
    keydown[size_t(k)] = 0;
    notereleased(size_t(k), now);
    if (k == repeating.sym) repeating = {};
    XEvent up = {};
    up.xkey.type = KeyRelease;
    up.xkey.display = d;
    up.xkey.window = info.info.x11.window;
    up.xkey.root = DefaultRootWindow(d);
    up.xkey.keycode = code;
    up.xkey.same_screen = 1;
    x.sendevent(d, info.info.x11.window, 0, 0, &up);
    sent = true;
  }
  if (sent) x.flush(d);
  if (info.info.x11.unlock_func) info.info.x11.unlock_func();
}
}  // namespace serverkeys

// The shift, control and lock keys themselves never repeat.
bool modifierkey(int32_t sym) { return sym >= 300 && sym <= 313; }

bool held(int32_t sym) { return sym > 0 && sym < KEYTABLE && keydown[size_t(sym)]; }

int32_t modsnow() {
  return (held(KEY_LSHIFT) || held(KEY_RSHIFT) ? GUIMOD_SHIFT : 0) |
         (held(KEY_LCTRL) || held(KEY_RCTRL) ? GUIMOD_CTRL : 0) | (held(KEY_LALT) || held(KEY_ALTGR) ? GUIMOD_ALT : 0);
}

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
  UniqueFile f = openquiet(path, "r");
  bailif_fmt(!f, "inputscript: cannot read %s: %s", path, f ? "" : readproblem(path, errno).c_str());
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
  e.key.which = SCRIPTDEVICE;
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
  e.button.which = SCRIPTDEVICE;
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
      case ScriptOp::clickid:
      case ScriptOp::point: {
        int32_t a = findguiarea(c.x);
        bailif_fmt(a < 0, "inputscript: no area %d to click", c.x);
        const guiarea& r = guiareaget(a);
        float px = 0, py = 0;
        guitowindow(guiviewport(), windowheight(), r.x + r.w * 0.5f, r.y + r.h * 0.5f, &px, &py);
        if (c.op == ScriptOp::point) SDL_WarpMouse(Uint16(px), Uint16(py));
        else pushclick(int32_t(px), int32_t(py), c.button);
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
      case ScriptOp::run: {
        // The command runs to its end in this frame (tests send real X
        // events with it), so what it made happen waits for the next pump.
        const int status = system(c.text);
        bailif_fmt(status != 0, "inputscript: the command failed (%d): %s", status, c.text);
        break;
      }
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
  const int32_t pace = framepace();
  if (pace > 0) {
    int32_t spent = int32_t(timems() - lastframe);
    if (spent >= 0 && spent < pace) sleepms(pace - spent);
  }
  lastframe = timems();
}

void forgetheldinput() {
  for (size_t k = 0; k < keydown.size(); k++)
    if (keydown[k]) notereleased(k, timems());
  keydown = keytaps = serverkeys::scriptheld = {};
  mousebuttons = 0;
  repeating = {};
}

int32_t framepace() { return framedelay > 0 ? imax(framedelay, MINFRAMEMS) : 0; }

void startinput() {
  // SDL's repeat keeps repeating a key whose release came in the same
  // pump as its press; the toolkit repeats held keys itself.
  SDL_EnableKeyRepeat(0, 0);
  SDL_SetEventFilter(keeplatestmotion);
  sdl2::hook();
}

int32_t pumpevents() {
  stepscript();
  frameinput.events.clear();
  frameinput.wheel = frameinput.videochanged = frameinput.any = 0;
  std::array<uint8_t, KEYTABLE> presses = {};
  const uint32_t passstart = timems();
  serverkeys::check(passstart);
  SDL_Event e;
  while (SDL_PollEvent(&e)) {
    frameinput.any = 1;
    const uint32_t now = timems();
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
        const bool wasdown = keydown[size_t(sym)];
        keydown[size_t(sym)] = down;
        serverkeys::scriptheld[size_t(sym)] = down && e.key.which == SCRIPTDEVICE;
        if (!down) {
          if (sym == repeating.sym) repeating = {};
          if (wasdown) notereleased(size_t(sym), now);
          break;
        }
        if (!wasdown) keytimes[size_t(sym)] = {now, now, 0};
        if (presses[size_t(sym)] < 255) presses[size_t(sym)]++;
        if (!modifierkey(sym)) repeating = {sym, e.key.keysym.unicode, now + REPEATDELAY};
        frameinput.events.push_back({true, wasdown, sym, e.key.keysym.unicode, 0, 0, 0, modsnow(), now});
        break;
      }
      case SDL_MOUSEMOTION:
        motionwaiting = false;
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
          int32_t mods = modsnow();
          if (e.button.which != SCRIPTDEVICE && !sdl2::pressmods.empty()) {
            mods = sdl2::pressmods.front();
            sdl2::pressmods.pop_front();
          }
          frameinput.events.push_back({false, false, 0, 0, b, mousex, mousey, mods, now});
        } else {
          mousebuttons &= ~bit;
        }
        break;
      }
      case SDL_VIDEORESIZE:
        // The player's resize of the window. A switch to full screen sends
        // the screen's size too: no resize of a window, where acting on it
        // left full screen and switched again from the new size.
        if (fullscreenon() || (e.resize.w == windowwidth() && e.resize.h == windowheight())) break;
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
  lastpass = passstart;
  sdl2::pressmods.clear();   // every press the layer made is read
  for (size_t k = 0; k < presses.size(); k++) keytaps[k] = uint8_t(presses[k] - (presses[k] && keydown[k] ? 1 : 0));
  // Where the pointer went after the moves that were kept out of the queue.
  if (newermotion.exchange(false)) {
    mousex = latestx;
    mousey = latesty;
    frameinput.any = 1;
  }
  const uint32_t now = timems();
  if (repeating.sym && !held(repeating.sym)) repeating = {};
  if (repeating.sym && int32_t(now - repeating.next) >= 0) {
    frameinput.events.push_back({true, true, repeating.sym, repeating.unicode, 0, 0, 0, modsnow(), now});
    repeating.next = now + REPEATINTERVAL;
  }
  return frameinput.any || !frameinput.events.empty();
}

uint32_t nextkeyrepeat() { return repeating.sym ? repeating.next : 0; }

void waitforinput(uint32_t until) {
  for (;;) {
    SDL_PumpEvents();
    SDL_Event e;
    if (SDL_PeepEvents(&e, 1, SDL_PEEKEVENT, SDL_ALLEVENTS) > 0 || newermotion || stopsignalled()) return;
    const int32_t left = until ? int32_t(until - timems()) : INPUTPOLLMS;
    if (left <= 0) return;
    sleepms(imin(left, INPUTPOLLMS));
  }
}

int scriptbusy() {
  if (!script.loaded) loadscript();
  return script.waiting > 0 || script.next < script.lines.size() || script.shotpath[0] ? 1 : 0;
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
