// Keys pressed through the X server's test extension by a client of the
// test's own (a connection of its own to the window's server), as a keyboard
// or a tool that drives one does; used from a thread of the test while the
// test's own thread runs the frames.
//
// `tap` sends a press and its release while it holds the server: the window
// receives both together, so they come between the same two frames however
// busy the machine is. `grabkeyboard` takes the keyboard from the window as
// another program's grab does: a key let go meanwhile is let go to the
// grabbing client, and the window gets no release.
#pragma once
#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>

#include <cstdint>

class XTestKeys {
 public:
  XTestKeys() : display(XOpenDisplay(nullptr)) {}
  ~XTestKeys() {
    if (display && other) XDestroyWindow(display, other);
    if (display) XCloseDisplay(display);
  }
  XTestKeys(const XTestKeys&) = delete;
  XTestKeys& operator=(const XTestKeys&) = delete;
  bool ok() const { return display != nullptr; }

  void press(const char* key) { send(key, true, false); }
  void release(const char* key) { send(key, false, false); }
  void tap(const char* key) {
    XGrabServer(display);
    send(key, true, true);
    send(key, false, true);
    XUngrabServer(display);
    XSync(display, False);
  }
  bool grabkeyboard() {
    const int status = XGrabKeyboard(display, DefaultRootWindow(display), False, GrabModeAsync, GrabModeAsync,
                                     CurrentTime);
    XSync(display, False);
    return status == GrabSuccess;
  }
  // Gives the keyboard's focus to a window of this client's own, shown
  // beside the window under test, as a click into another program does.
  void focusaway() {
    int revert = 0;
    XGetInputFocus(display, &before, &revert);
    other = XCreateSimpleWindow(display, DefaultRootWindow(display), 0, 0, 40, 40, 0, 0, 0);
    XMapWindow(display, other);
    XSync(display, False);
    XSetInputFocus(display, other, RevertToParent, CurrentTime);
    XSync(display, False);
  }
  // Lets the keyboard's focus follow the pointer (no window manager's
  // choice), as a desktop without one does: SDL then holds no focus of the
  // keyboard, though the keys reach the window under the pointer.
  void focusbypointer() {
    XSetInputFocus(display, PointerRoot, RevertToPointerRoot, CurrentTime);
    XSync(display, False);
  }
  // Gives the focus back to the window that had it.
  void focusback() {
    XSetInputFocus(display, before, RevertToParent, CurrentTime);
    XSync(display, False);
  }
  void ungrabkeyboard() {
    XUngrabKeyboard(display, CurrentTime);
    XSync(display, False);
  }
  // Whether the server has the key down.
  bool down(const char* key) {
    char keys[32] = {};
    XQueryKeymap(display, keys);
    const KeyCode code = keycode(key);
    return (keys[code / 8] >> (code % 8)) & 1;
  }

 private:
  KeyCode keycode(const char* key) { return XKeysymToKeycode(display, XStringToKeysym(key)); }
  // One key event, the server held around it (as the grabbing clients that
  // drive a keyboard send them) unless the caller holds it already.
  void send(const char* key, bool down, bool held) {
    if (!held) XGrabServer(display);
    XTestFakeKeyEvent(display, keycode(key), down ? True : False, CurrentTime);
    if (!held) {
      XUngrabServer(display);
      XSync(display, False);
    }
  }
  Display* display;
  Window other = 0, before = 0;
};
