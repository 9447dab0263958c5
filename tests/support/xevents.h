// Real X events for window tests: xdotool, run beside the screen under test,
// presses keys and clicks the mouse through the X server, so the events
// reach the game as a player's do (SDL's own key and button records, key
// repeat and release included), where the input script pushes SDL events.
//
// The screen under test waits for input on the test's own thread, so the
// events come from a child process that works through its steps in order,
// pausing between them; the test then looks at what the screen did.
#pragma once
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string>

#include "gfx/gui.h"
#include "gfx/gfx.h"

// The window pixel (top-left origin) of the middle of the area with the
// id, in the tables of the last frame drawn; false when there is none.
inline bool areapixel(int32_t id, int32_t* x, int32_t* y) {
  const int32_t a = findguiarea(id);
  if (a < 0) return false;
  const guiarea& r = guiareaget(a);
  float px = 0, py = 0;
  guitowindow(guiviewfor(windowwidth(), windowheight()), windowheight(), r.x + r.w / 2, r.y + r.h / 2, &px, &py);
  *x = int32_t(px);
  *y = int32_t(py);
  return true;
}

// Steps of xdotool, carried out in order by a child process once the
// window is shown; each step is followed by a pause. Keys go through the X
// server's test extension to the window under the pointer, as a keyboard's
// do.
class XEvents {
 public:
  XEvents& click(int32_t x, int32_t y, int32_t button = 1) {
    return step("mousemove --window $W " + std::to_string(x) + " " + std::to_string(y) + " click " +
                std::to_string(button));
  }
  XEvents& key(const char* name) { return step(std::string("key ") + name); }
  // Holds the key down for the time, then lets it go.
  XEvents& hold(const char* name, double seconds) {
    return step(std::string("keydown ") + name + " && sleep " + std::to_string(seconds) + " && xdotool keyup " + name);
  }
  XEvents& type(const char* text) { return step(std::string("type --delay 60 '") + text + "'"); }
  XEvents& pause(double seconds) {
    steps += "sleep " + std::to_string(seconds) + "\n";
    return *this;
  }
  // Starts the child; the caller then runs the screen, which it leaves.
  void start() {
    const std::string script = "W=$(xdotool search --sync --name 'vey3 test' | head -1)\nsleep 1\n" + steps;
    child = fork();
    if (child == 0) {
      execlp("sh", "sh", "-c", script.c_str(), static_cast<char*>(nullptr));
      _exit(127);
    }
  }
  // Waits for the child; true when every step ran.
  bool finish() {
    if (child <= 0) return false;
    int status = 0;
    waitpid(child, &status, 0);
    child = -1;
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
  }
  ~XEvents() {
    if (child > 0) {
      kill(child, SIGTERM);
      waitpid(child, nullptr, 0);
    }
  }

 private:
  XEvents& step(const std::string& command) {
    steps += "xdotool " + command + " || exit 1\nsleep 0.4\n";
    return *this;
  }
  std::string steps;
  pid_t child = -1;
};
