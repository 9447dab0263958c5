// The progress box of long jobs (map generation, hosting). In text-only mode,
// or while no window is open, it prints "title, text [percent]" instead.
#pragma once
#include "runtime/short.h"

// Shows the title and the formatted text with the percent (clamped to
// 0..100). The same text again within 99 ms (999 ms on the console) is
// skipped.
void progressbox(const char* title, int32_t percent, const char* format, ...) __attribute__((format(printf, 3, 4)));
// Forgets the last text shown, so the next call is shown whatever it says.
void resetprogress();
