// Real input from the X server for window tests: xdotool, run by the input
// script's "run" line, presses keys and buttons where a person would (the
// window has the keyboard; "point ID" puts the pointer over an area first).
// What SDL makes of such events (their order, repeats, a flood of them in a
// slow frame) is what these tests look at; the script's own events skip it.
#pragma once
#include <sys/stat.h>
#include <unistd.h>

#include <string>

#include "gfx/gfx.h"
#include "runtime/util.h"

// A script line that runs xdotool with these commands to their end and
// then lets the server deliver what they made.
inline std::string xdoline(const std::string& commands) { return "run xdotool " + commands + " && sleep 0.3\n"; }

// A script line that starts xdotool with these commands while the frames go
// on (a key held for a while, as a person holds it), touching `done` at the
// end.
inline std::string xdobackground(const std::string& commands, const std::string& done) {
  return "run (xdotool " + commands + "; touch " + done + ") >/dev/null 2>&1 &\n";
}

inline bool fileexists(const std::string& path) {
  struct stat st;
  return stat(path.c_str(), &st) == 0;
}

// Processor time of this process (every thread, the GL driver's too) in
// clock ticks.
inline long cputicks() {
  FILE* f = fopen("/proc/self/stat", "r");
  if (!f) return -1;
  char line[2048] = {};
  const bool read = fgets(line, sizeof line, f) != nullptr;
  fclose(f);
  if (!read) return -1;
  // The fields after the command name in parentheses; utime and stime are
  // the 14th and 15th of the line.
  const char* p = strrchr(line, ')');
  if (!p) return -1;
  long utime = 0, stime = 0;
  if (sscanf(p + 2, "%*c %*d %*d %*d %*d %*d %*u %*u %*u %*u %*u %ld %ld", &utime, &stime) != 2) return -1;
  return utime + stime;
}

// What a window at rest costs over `ms` milliseconds: the share of one
// processor core that this process used, and the frames drawn.
struct RestCost {
  double share;
  uint32_t frames;
};
inline RestCost measurerest(uint32_t ms) {
  const long before = cputicks();
  const uint32_t start = timems(), frames = framesdrawn();
  sleepms(ms);
  const double seconds = double(timems() - start) / 1000.0;
  return {double(cputicks() - before) / double(sysconf(_SC_CLK_TCK)) / seconds, framesdrawn() - frames};
}
