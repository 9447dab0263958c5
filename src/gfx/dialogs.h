// Standard dialogs of the GUI toolkit: message box, confirmation, text and
// number input, the raise/lower value box and plain menus. Each has a
// text-only console variant that prints to an output stream and reads its
// answers line by line from an input stream; tests point both streams at
// their own files to script the answers.
//
// The windowed toolkit does not exist yet, so every mode uses the console
// variant for now; the calls and results stay the same when it arrives.
#pragma once
#include <cstdio>

#include "runtime/short.h"

// Streams of the console variant; null restores standard input/output.
void setdialoginput(FILE* in);
void setdialogoutput(FILE* out);

// Shows the formatted text with "Ok"; in text mode it only prints it. 1.
int msgbox(const char* format, ...) __attribute__((format(printf, 1, 2)));
// 1 for "Yes", 0 for "Cancel" (and for no answer).
int confirmbox(const char* text);
// Reads at most maxlen characters into buffer, which holds maxlen + 1 bytes.
// 1 on Ok; 0 on Cancel (only when cancel is allowed; the buffer is emptied).
// The console prompt is "%s: ". With nothing left to read, Ok with an empty
// text, or Cancel when allowed.
int inputstring(const char* title, char* buffer, int32_t maxlen, int32_t cancelallowed);
// A number low..high read through inputstring; min(low, 0) - 1 for a number
// out of range or no number, min(low, 0) - 2 on Cancel.
int32_t inputnumber(int32_t low, int32_t high, const char* title);
// The value between raise and lower buttons: 1 raise, -1 lower, 0 Ok
// (Enter, Escape, end of input), 2 = anything else (the caller redraws).
// A raise or lower that is not allowed counts as anything else.
int adjustvaluebox(const char* title, const char* text, const char* hint, int32_t value, int32_t mayraise,
                   int32_t maylower);

// A menu of text lines, each with an id. menuwait returns the id of the
// chosen line; lines with id 0 are shown but cannot be chosen; 0 when the
// input ends before a line was chosen.
constexpr int32_t MENULINES = 100;
constexpr int32_t MENULINELEN = 100;
void menubegin();
void menuline(int32_t id, const char* text);
void menushow();
int32_t menuwait();
