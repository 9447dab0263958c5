// Standard dialogs of the GUI toolkit. The questions that world creation and
// the screens share (message, confirmation, text, number, menu) are declared
// in runtime/ask.h, with their console variants; the toolkit's windowed ones
// (gfx/dialogwindow.h) take their place through setdialogs while the window
// is open. Here: the dialogs that only the player side asks, each a window
// while one is open (and not in text-only mode), else a console variant that
// reads its answers through the console of runtime/ask.h.
//
// In the window every dialog (these and those of runtime/ask.h: message,
// question, text and number input, menu, progress) is drawn over a still,
// darkened picture of the screen that asked it: that screen's scene and
// window as it last built them before the dialog (see guidialogbegin in
// gui.h). A screen that asks calls the dialog straight after a frame of its
// own, with its window still in the tables; dialogs in a row (a question,
// then the progress of the work it started, then a message) all show the
// same screen behind them. A screen's own modal box built with
// guidialogbegin in place of guibegin is shown the same way.
#pragma once
#include "runtime/ask.h"
#include "runtime/short.h"

// The value between raise and lower buttons: 1 raise ("+", "u", keypad
// plus), -1 lower ("-", "d", keypad minus), 0 Ok (Enter, Escape, end of
// input), 2 = anything else (the caller redraws).
// A raise or lower that is not allowed counts as anything else.
int adjustvaluebox(const char* title, const char* text, const char* hint, int32_t value, int32_t mayraise,
                   int32_t maylower);

// A title and a text shown as they are (scrolling when long) with a
// "Cancel" button of the given id (Escape too), until it is chosen; with id
// 0 there is no button and the box is shown for one frame. Returns the id.
// On the console both are printed and the id returned.
int32_t textinfobox(const char* title, const char* text, int32_t cancelid);
