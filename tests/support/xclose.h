// The window manager's close for window tests: the X protocol's
// WM_DELETE_WINDOW message sent to the window, as a window manager sends it
// when the player clicks the close box of the title bar or presses Alt+F4.
// The test's X server runs no window manager and xdotool has no command for
// it, so a thread of the test sends it through an X connection of its own
// while the screen under test waits for input on the test's thread. The
// script's line (line()) asks for the message and returns once the server
// has delivered it; the next frames read it as SDL's own event.
#pragma once
#include <dlfcn.h>
#include <unistd.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>

#include "gfx/xwindow.h"

class WindowCloser {
 public:
  WindowCloser() : request(tempfile(("closewindow_" + std::to_string(getpid())).c_str())) {
    sender = std::thread([this] { serve(); });
  }
  ~WindowCloser() {
    stop = true;
    sender.join();
  }
  WindowCloser(const WindowCloser&) = delete;
  WindowCloser& operator=(const WindowCloser&) = delete;

  // A script line that closes the test's window ("vey3 test") as a window
  // manager would; it fails the script when the message was not sent
  // within half a minute.
  std::string line() const {
    return "run xdotool search --name '^vey3 test$' | head -1 > " + request + ".new && mv " + request + ".new " +
           request + " && for i in $(seq 1500); do [ -e " + request + " ] || exit 0; sleep 0.02; done; exit 1\n";
  }

 private:
  // Waits for a request (the window's number in the file), sends the
  // message, and removes the request once the server has it.
  void serve() {
    while (!stop) {
      FILE* f = fopen(request.c_str(), "r");
      unsigned long window = 0;
      if (f) {
        const bool read = fscanf(f, "%lu", &window) == 1;
        fclose(f);
        if (read && window && send(window)) remove(request.c_str());
      }
      usleep(20000);
    }
  }

  // Xlib is not linked into the tests: its entry points come from the
  // library that the window already loaded, and its event record is written
  // out here (a client message; Xlib's header would bring its macros into
  // the test).
  struct ClientMessage {
    int type;
    unsigned long serial;
    int sendevent;
    void* display;
    unsigned long window, messagetype;
    int format;
    long data[5];
  };
  union Event {
    ClientMessage message;
    long pad[24];
  };
  static constexpr int CLIENTMESSAGE = 33;

  static bool send(unsigned long window) {
    void* x11 = dlopen("libX11.so.6", RTLD_NOW);
    if (!x11) return false;
    auto open = reinterpret_cast<void* (*)(const char*)>(dlsym(x11, "XOpenDisplay"));
    auto atom = reinterpret_cast<unsigned long (*)(void*, const char*, int)>(dlsym(x11, "XInternAtom"));
    auto sendevent = reinterpret_cast<int (*)(void*, unsigned long, int, long, Event*)>(dlsym(x11, "XSendEvent"));
    auto sync = reinterpret_cast<int (*)(void*, int)>(dlsym(x11, "XSync"));
    auto close = reinterpret_cast<int (*)(void*)>(dlsym(x11, "XCloseDisplay"));
    if (!open || !atom || !sendevent || !sync || !close) return false;
    void* d = open(getenv("DISPLAY"));
    if (!d) return false;
    Event e = {};
    e.message.type = CLIENTMESSAGE;
    e.message.window = window;
    e.message.messagetype = atom(d, "WM_PROTOCOLS", 0);
    e.message.format = 32;
    e.message.data[0] = long(atom(d, "WM_DELETE_WINDOW", 0));
    e.message.data[1] = 0;   // CurrentTime
    const bool sent = sendevent(d, window, 0, 0, &e) != 0;
    sync(d, 0);
    close(d);
    return sent;
  }

  std::string request;
  std::atomic<bool> stop{false};
  std::thread sender;
};
