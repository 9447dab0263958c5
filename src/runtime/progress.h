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

// The window, when the player side has one: whether it is open (the box is
// then drawn there), and the background scene it shows behind long jobs.
// Without them every line goes to the console.
void setprogresswindow(int (*windowopen)(), void (*setscene)(int32_t));
// Shows the scene behind the box of a long job; nothing without a window.
void progressscene(int32_t scene);
// Draws the box in the window (title, percent, text); null prints lines.
void setprogressdraw(void (*draw)(const char* title, int32_t percent, const char* text));
