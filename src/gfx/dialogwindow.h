// The windowed forms of the standard dialogs (see runtime/ask.h and
// gfx/dialogs.h); a window must be open.
#pragma once
#include "gfx/dialogs.h"
#include "runtime/ask.h"

// Puts the windowed forms in the console's place for the questions of
// runtime/ask.h (done when the window opens), or the console back.
void installwindowdialogs(int on);

int windowmsgbox(const char* text);
int32_t windowtextinfobox(const char* title, const char* text, int32_t cancelid);
int windowconfirmbox(const char* text);
int32_t windowsafequestion(const char* title, const char* question, const char* yeslabel, const char* savelabel,
                           const char* cancellabel);
int windowinputstring(const char* title, char* buffer, int32_t maxlen, int32_t cancelallowed);
int windowfield(const char* title, char* buffer, int32_t maxlen, int32_t cancelallowed, const char* note,
                int32_t secret);
int windownumber(const char* title, char* buffer, int32_t maxlen, int32_t negative, const char* note);
int windowadjustvaluebox(const char* title, const char* text, const char* hint, int32_t value, int32_t mayraise,
                         int32_t maylower);
int32_t windowmenu(const MenuLine* lines, int32_t count);
// Draws one frame of the progress box.
void windowprogressbox(const char* title, int32_t percent, const char* text);
// Ids of the dialogs' buttons and field, for tests that click them.
constexpr int32_t DLG_OK = 1, DLG_CANCEL = 2, DLG_FIELD = 3, DLG_LOWER = 4, DLG_RAISE = 5, DLG_YES = 6, DLG_SAVE = 7;
