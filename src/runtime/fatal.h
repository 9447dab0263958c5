// The one path for impossible states, and tracing at three debug levels.
#pragma once
#include "runtime/short.h"

extern int32_t debuglevel;      // raised by each "-d"; never lowered

// Where in the source a stop was called: file (relative to the checkout, as
// the build maps it), line and function. A default argument of the stopping
// calls fills it at the call site. (std::source_location would do, but the
// fuzz build's clang lacks it beside this standard library; the compiler
// builtins beneath it serve both compilers.)
struct StopPlace {
  const char* file = "";
  int32_t line = 0;
  const char* function = "";
  static constexpr StopPlace here(const char* file = __builtin_FILE(), int32_t line = __builtin_LINE(),
                                  const char* function = __builtin_FUNCTION()) {
    return {file, line, function};
  }
};

// Reports the fixed line and the message (on standard error and standard
// output, the console and the log; with -d the log adds the line "where:
// FILE:LINE, FUNCTION" naming the place of the stop), removes the temp
// files, runs the shut-down hooks and ends the process: status 0 for an
// empty message, abort() otherwise. Returns only when entered more than
// five times nested.
void fatalerror(const char* message, StopPlace where = StopPlace::here());
// A refusal of what the user asked for (a map that cannot be played, say),
// which is no fault of the program: the message goes out as fatalerror's
// does, the same shut-down runs, and the process ends with status 1.
[[noreturn]] void failexit(const char* message);
// Shut-down work of the player side (free the textures, close the window,
// stop sound), which this layer cannot call by name: fatalerror runs the
// hooks in the order they were added. A hook added twice runs once.
void addshutdownhook(void (*hook)());
// What the player side shows of one unit before a stop about it (its status
// box), which this layer cannot call by name. showunitfatal runs the hook
// unless none is set or it is already running (the box of a broken unit may
// stop again inside it: that stop goes on without a second box).
void setunitfatalhook(void (*hook)(int32_t unr));
void showunitfatal(int32_t unr);
// Stops through fatalerror when the low 16 bits of the condition are set.
// Inline, so that a check costs its test alone: the message and the place
// are passed only on the way to the stop (bailstop), which many checks in
// the inner loops of the rules would otherwise pay for on every pass.
void bailstop(const char* message, StopPlace where);
inline void bailif(int32_t condition, const char* message, StopPlace where = StopPlace::here()) {
  if (condition & 0xFFFF) [[unlikely]]
    bailstop(message, where);
}
// The condition of bailif_fmt with the place of its call: a variadic call
// cannot take a default argument after the format, so the condition brings
// the place along (converted at the call site).
struct StopCondition {
  int32_t value;
  StopPlace where;
  StopCondition(int32_t condition, StopPlace place = StopPlace::here()) : value(condition), where(place) {}
};
void bailif_fmt(StopCondition condition, const char* format, ...) __attribute__((format(printf, 2, 3)));

void debugprint(const char* format, ...) __attribute__((format(printf, 1, 2)));   // debuglevel > 0
void debugprint2(const char* format, ...) __attribute__((format(printf, 1, 2)));  // debuglevel > 1
void debugprint3(const char* format, ...) __attribute__((format(printf, 1, 2)));  // debuglevel > 2
void logtostream(int tostderr, const char* text);
void removelog();

// Nesting depth of fatalerror calls that have begun (for tests).
int32_t fatalnesting();
