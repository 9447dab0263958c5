// Standard dialogs of the GUI toolkit. The questions that world creation and
// the screens share (message, confirmation, text, number, menu) are declared
// in runtime/ask.h, with their console variants; the toolkit's windowed ones
// take their place through setdialogs. Here: the dialogs that only the player
// side asks, each with a console variant that reads its answers through the
// console of runtime/ask.h.
#pragma once
#include "runtime/ask.h"
#include "runtime/short.h"

// The value between raise and lower buttons: 1 raise, -1 lower, 0 Ok
// (Enter, Escape, end of input), 2 = anything else (the caller redraws).
// A raise or lower that is not allowed counts as anything else.
int adjustvaluebox(const char* title, const char* text, const char* hint, int32_t value, int32_t mayraise,
                   int32_t maylower);
