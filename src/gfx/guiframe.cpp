// render_frame: draws the scene and the screen's areas, reads the input and
// turns it into the id the screen acts on.
#include <deque>

#include "gfx/gfx.h"
#include "gfx/guidraw.h"
#include "gfx/guistate.h"
#include "gfx/texture.h"
#include "runtime/fatal.h"
#include "runtime/options.h"
#include "runtime/stopsignal.h"
#include "runtime/util.h"

float pointerx = 0, pointery = 0, clickx = 0, clicky = 0;
int32_t pointerbuttons = 0, wheelcount = 0;
int32_t guikeysym = 0, guikeychar = 0;

namespace {
// Input not yet acted on: key and button presses in the order they came.
// Each call of the frame acts on them until one gives an id; the rest wait
// for the next call, so a burst of typed keys reaches a text field one by
// one and a click after a key goes to the window that the key left.
struct pending {
  bool key, repeat;
  int32_t sym, unicode;   // key
  int32_t button;         // press
  float x, y;             // press, GUI units
  int32_t mods;
  uint32_t ms;
};
std::deque<pending> queue;
// Far more than a person can give between two frames: only a screen that
// stops calling the frame lets older input go.
constexpr size_t QUEUELIMIT = 4096;
uint32_t lastframe = 0, lastclick = 0, previousclick = 0;
int32_t hoverarea = -1, hoverid = -1;
int32_t eventmods = 0;
uint32_t frames = 0;

// Animation asked for by the frame being drawn and by the window built for
// it (kept until the next guibegin): the next frame at the frame pace, or
// at a time on the millisecond clock (0 none).
bool drawing = false;
bool framesteady = false, buildsteady = false;
uint32_t framedue = 0, builddue = 0;

bool reached(uint32_t now, uint32_t at) { return int32_t(now - at) >= 0; }
uint32_t sooner(uint32_t a, uint32_t b) { return !a ? b : !b ? a : int32_t(a - b) <= 0 ? a : b; }

void beginframeanimation(uint32_t now) {
  framesteady = buildsteady;
  if (builddue && reached(now, builddue)) builddue = 0;
  framedue = builddue;
}

// The next frame is due: asked for at the pace, or its time has come.
bool animationdue(uint32_t now) { return framesteady || (framedue && reached(now, framedue)); }

// The close question, and whether it is being asked.
closequestionfn closequestion = nullptr;
bool askingclose = false;
bool dragging = false;
float dragoffset = 0;

guisoundfn guisound = nullptr;
void playsound(GuiSound which) {
  if (guisound) guisound(which);
}

void updatepointer() {
  windowtogui(guiviewport(), windowheight(), float(mousex), float(mousey), &pointerx, &pointery);
  pointerbuttons = mousebuttons;
}

bool printable(int32_t c) { return (c >= 32 && c < 127) || (c >= 160 && c < 256); }

bool keymatches(const pending& k, int32_t key) {
  if (printable(k.unicode) && k.unicode == key) return true;
  if (k.sym != key) return false;
  // A letter's symbol stands for the lower-case letter only.
  return !(k.sym >= 'a' && k.sym <= 'z' && printable(k.unicode) && k.unicode != k.sym);
}

int32_t fieldid() {
  for (int32_t i = 0; i < guiareacount(); i++)
    if (guiareaget(i).kind == AreaKind::field) return guiareaget(i).id;
  return 0;
}

bool inshownwindow(float x, float y) {
  const guirect& w = gui.shown;
  return x >= w.x && x < w.x + w.w && y >= w.y && y < w.y + w.h;
}

// Scrolls the shown window; true when the position changed.
bool scrollby(float units) {
  float before = guiscroll(), after = before + units;
  after = after < 0 ? 0 : after > guiscrollmax() ? guiscrollmax() : after;
  if (after == before) return false;
  guisetscroll(after);
  return true;
}

bool thumbdrag() {
  int32_t track = findguiarea(GUIID_SCROLLTRACK), thumb = findguiarea(GUIID_SCROLLTHUMB);
  if (track < 0 || thumb < 0) return false;
  const guiarea& t = guiareaget(track);
  float room = t.h - guiareaget(thumb).h;
  if (room <= 0) return false;
  float top = pointery + dragoffset;   // where the thumb's top should be
  float share = (t.y + t.h - top) / room;
  share = share < 0 ? 0 : share > 1 ? 1 : share;
  return scrollby(share * guiscrollmax() - guiscroll());
}

// A press on a scroll bar part; true when the scroll position changed.
bool scrollpress(const guiarea& a) {
  playsound(GUISOUND_SCROLL);
  const float row = GUITEXTHEIGHT;
  switch (a.id) {
    case GUIID_SCROLLUP: return scrollby(-row);
    case GUIID_SCROLLDOWN: return scrollby(row);
    case GUIID_SCROLLTRACK: {
      int32_t thumb = findguiarea(GUIID_SCROLLTHUMB);
      float page = guishownwindow().h * 0.8f;
      bool above = thumb >= 0 && pointery > guiareaget(thumb).y + guiareaget(thumb).h;
      return scrollby(above ? -page : page);
    }
    default:
      dragging = true;
      dragoffset = a.y + a.h - pointery;
      return false;
  }
}

// Acts on the queued input; the id to return, or 0. *rebuild is set when
// the window's layout changed (scrolling).
int32_t actonqueue(bool* rebuild) {
  while (!queue.empty()) {
    pending p = queue.front();
    queue.pop_front();
    eventmods = p.mods;
    if (p.key) {
      guikeysym = p.sym;
      guikeychar = printable(p.unicode) ? p.unicode : 0;
      // A held key repeats only where the window asks for it: a shortcut
      // that repeats, the input field, the list's page keys. Any other
      // shortcut it matches took the press already (or its window closed
      // with it, and the press is not to act on the window beneath).
      bool taken = false;
      for (int32_t i = 0; i < guishortcutcount() && !taken; i++) {
        const guishortcutkey& s = guishortcutget(i);
        if (s.keyup || !keymatches(p, s.key)) continue;
        if (!p.repeat || s.repeats) return s.id;
        taken = true;
      }
      if (taken) continue;
      int32_t field = fieldid();
      if (field) return field;
      if (guiscrollmax() > 0 && (p.sym == KEY_PAGEUP || p.sym == KEY_PAGEDOWN)) {
        *rebuild |= scrollby((p.sym == KEY_PAGEUP ? -0.8f : 0.8f) * guishownwindow().h);
        if (*rebuild) return 0;
      }
      continue;
    }
    guikeysym = guikeychar = 0;
    previousclick = lastclick;
    lastclick = p.ms;
    const int32_t area = guiareaat(p.x, p.y);
    if (area >= 0 && isscrollid(guiareaget(area).id)) {
      if (p.button == 1 && scrollpress(guiareaget(area))) {
        *rebuild = true;
        return 0;
      }
      continue;
    }
    // Outside every area, or on one that only shows a text: nothing to
    // activate, unless the window closes on a click on its plain text.
    if (area < 0 || (guiareaget(area).flags & GUIAREA_INFOONLY)) {
      if (p.button == 1 && gui.plainclickid && inshownwindow(p.x, p.y)) return gui.plainclickid;
      continue;
    }
    const guiarea& a = guiareaget(area);
    clickx = p.x - a.x;
    clicky = p.y - a.y;
    if (p.button == 1) {
      if (a.kind == AreaKind::toggle && a.toggle) {
        *a.toggle = !*a.toggle;
        guiareas[size_t(area)].mode = *a.toggle != 0;   // shown at once, before the screen builds again
        playsound(GUISOUND_TOGGLE);
      } else if (a.kind == AreaKind::radio) {
        playsound(GUISOUND_TOGGLE);
      }
      return a.id;
    }
    if (p.button == 3) {
      if (a.kind == AreaKind::toggle || a.kind == AreaKind::radio || a.kind == AreaKind::field) continue;
      return -a.id;
    }
  }
  return 0;
}

// The key and button presses of the last pump join the queue.
void queueinput() {
  const guiview view = guiviewport();
  for (const inputevent& e : frameinput.events) {
    if (e.key) {
      queue.push_back({true, e.repeat, e.sym, e.unicode, 0, 0, 0, e.mods, e.ms});
      continue;
    }
    int32_t button = e.button == 1 ? 1 : e.button == 3 ? 3 : 2;
    float x = 0, y = 0;
    windowtogui(view, windowheight(), float(e.x), float(e.y), &x, &y);
    queue.push_back({false, false, 0, 0, button, x, y, e.mods, e.ms});
  }
  frameinput.events.clear();
  while (queue.size() > QUEUELIMIT) queue.pop_front();
}

int32_t handleinput(bool* rebuilt) {
  queueinput();

  int32_t before = hoverarea;
  hoverarea = guiareaat(pointerx, pointery);
  hoverid = hoverarea >= 0 ? guiareaget(hoverarea).id : -1;
  if (hoverarea != before && hoverarea >= 0) playsound(GUISOUND_NEWAREA);

  bool rebuild = false;
  if (dragging) {
    if (!(mousebuttons & 1)) dragging = false;
    else rebuild |= thumbdrag();
  }
  if (frameinput.wheel) {
    if (guiscrollmax() > 0 && pointinguiwindow(pointerx, pointery)) rebuild |= scrollby(-float(frameinput.wheel) * 3 * GUITEXTHEIGHT);
    else wheelcount += frameinput.wheel;
  }
  *rebuilt = rebuild;
  if (rebuild) return 0;
  bool keyswaiting = false;
  for (const pending& p : queue) keyswaiting |= p.key;
  int32_t result = actonqueue(&rebuild);
  *rebuilt = rebuild;
  if (result != 0 || rebuild) return result;
  if (!keyswaiting)
    for (int32_t i = 0; i < guishortcutcount(); i++) {
      const guishortcutkey& s = guishortcutget(i);
      if (s.keyup && (s.key < 0 || s.key >= KEYTABLE || !keydown[size_t(s.key)])) return s.id;
    }
  return 0;
}

// Draws a frame; the milliseconds since the one before (at most 500).
uint32_t drawframe() {
  uint32_t now = timems();
  uint32_t elapsed = lastframe ? now - lastframe : 0;
  if (elapsed > 500) elapsed = 500;
  lastframe = now;
  beginframeanimation(now);
  drawing = true;
  // The area under the pointer in the tables as they stand: a window built
  // since the input was read (a box that a click opened) shows nothing
  // hovered that the pointer found in the window before it.
  hoverarea = guiareaat(pointerx, pointery);
  hoverid = hoverarea >= 0 ? guiareaget(hoverarea).id : -1;
  const int32_t hovered = hoverarea < guiareacount() ? hoverarea : -1;
  if (gui.dialog) {
    drawdialogpicture();
    drawguiareas(hovered);
  } else {
    forgetdialogpicture(currentscene());
    drawguiareasfrom(drawscreenscenestill(gui.stillend, hovered), hovered);
  }
  drawing = false;
  finishframe();
  frames++;
  return elapsed;
}

// The window was asked to close: the question when one is set (a second
// request while it is asked is left to it), else the end of the program.
// The question is a window of its own over the one shown; when the player
// goes back, the window shown is put back as it was, with the presses that
// came before the request still to act on it and those made after the
// answer behind them: the press that answers acts on the question alone.
// True when the program goes on with the window shown.
bool answerclose() {
  quitrequested = 0;
  if (!closequestion) fatalerror("");
  if (askingclose) return false;
  queueinput();
  std::deque<pending> before;
  before.swap(queue);
  const guitablescopy shown = copyguitables();
  const bool steady = buildsteady;
  const uint32_t due = builddue;
  askingclose = true;
  closequestion();
  askingclose = false;
  restoreguitables(shown);
  buildsteady = steady;
  builddue = due;
  dragging = false;
  before.insert(before.end(), queue.begin(), queue.end());
  queue.swap(before);
  return true;
}
}  // namespace

int32_t render_frame(bool wait, Scene scene) {
  if (!windowopen() || textonly) {
    bailif(wait, "render_frame: no window");
    return 0;
  }
  enterscene(int32_t(scene));
  for (;;) {
    const uint32_t elapsed = drawframe();
    // Input is read after each frame; while nothing comes, nothing moves
    // on the screen and no script drives it, the frame sleeps until input
    // comes or the next frame is due.
    for (;;) {
      const bool came = pumpevents() != 0;
      stopifsignalled();
      // Answered by going back, the question leaves the window as it was:
      // it is drawn again and the wait goes on.
      if (quitrequested && answerclose()) break;
      if (frameinput.videochanged) checkglcontext();
      updatepointer();
      bool rebuilt = false;
      int32_t result = handleinput(&rebuilt);
      // A scroll that changed the layout ends the wait too: the screen lays
      // its window out anew.
      if (result != 0 || rebuilt) return result;
      // The camera moves only now, so that the id above was read against the
      // map as shown; when it moved, the screen makes the areas that stand on
      // the map anew before the next frame shows the map.
      const bool moved = !gui.dialog && scenecontrols(elapsed) != 0;
      if (moved || gui.animating || !wait) return 0;
      const uint32_t now = timems();
      if (came || animationdue(now) || scriptbusy()) break;
      waitforinput(sooner(framedue, nextkeyrepeat()));
    }
  }
}

void guianimating() {
  if (drawing) framesteady = true;
  else buildsteady = true;
}

void guianimatingin(uint32_t ms) {
  uint32_t at = timems() + ms;
  if (!at) at = 1;
  if (drawing) framedue = sooner(framedue, at);
  else builddue = sooner(builddue, at);
}

void forgetbuildanimation() {
  buildsteady = false;
  builddue = 0;
}

void setclosequestion(closequestionfn ask) { closequestion = ask; }

void setguisoundhook(guisoundfn play) { guisound = play; }

int32_t guieventmods() { return eventmods; }

uint32_t framesdrawn() { return frames; }

void guidialogbegin() {
  // The tables still hold the window of the screen or box that asks, unless
  // they hold a dialog's that has ended: then the picture of that screen is kept.
  if (windowopen() && !textonly && !dialogpictureheld()) takedialogpicture(gui.dialog && !gui.box ? 0 : 1);
  guibegin();
  gui.dialog = true;
}

int32_t guihoverid() { return hoverid; }

int isdoubleclick() { return lastclick - previousclick < 251 ? 1 : 0; }

int isfullscreen() {
  if (!fullscreenon()) return 0;
  return iconified ? -1 : 1;
}
