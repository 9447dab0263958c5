// Questions that the game puts to the person at the controls: tell, confirm,
// ask for a text or a number, choose a line of a menu. World creation and the
// screens ask through these calls; the rules never ask, they take the answer
// as an argument from their caller.
//
// The console answers every question: it prints to an output stream and reads
// its answers line by line from an input stream; tests point both streams at
// their own files to script the answers. The player side puts its windowed
// dialogs in the console's place with setdialogs; the calls and their results
// stay the same.
#pragma once
#include <cstdio>

#include "runtime/short.h"

// Streams of the console; null restores standard input/output.
void setdialoginput(FILE* in);
void setdialogoutput(FILE* out);

// Shows the formatted text with "Ok"; in text mode it only prints it. 1.
int msgbox(const char* format, ...) __attribute__((format(printf, 1, 2)));
// 1 for "Yes", 0 for "Cancel" (and for no answer).
int confirmbox(const char* text);
// The question before work is lost for good: a file deleted or replaced,
// orders or edits that were not saved dropped, a month hosted for players
// who have not played, a nation handed to the computer. Every such question
// asks through this one, so that all answer alike:
// - the window shows the title with a close box (neither when the title
//   is empty), the question and a button for each answer: when a
//   `savelabel` is given, the answer that keeps the work first ("Save and
//   quit"); `yeslabel`, the loss ("Delete map"); `cancellabel`;
// - Return, Enter, Escape, "n" and the close box answer Cancel, so that no
//   key loses work unread; the loss is only ever a
//   click on its button, and "s" chooses the save answer where there is one;
// - the console prints the title (when not empty) and the question with its
//   answers, and reads a line: "y" for the loss, "s" for the save answer
//   where there is one; anything else, and the end of the input, Cancel.
// ASK_YES, ASK_SAVE or ASK_CANCEL.
enum SafeAnswer : int32_t { ASK_CANCEL = 0, ASK_YES = 1, ASK_SAVE = 2 };
int32_t safequestion(const char* title, const char* question, const char* yeslabel, const char* savelabel = nullptr,
                     const char* cancellabel = "Cancel");
// Reads at most maxlen characters into buffer, which holds maxlen + 1 bytes
// and a text to start from (the window's field opens with it, so a caller
// that keeps the last answer offers it again).
// 1 on Ok; 0 on Cancel (only when cancel is allowed; the buffer is emptied).
// The console prompt is "%s: ". With nothing left to read, Ok with an empty
// text, or Cancel when allowed.
int inputstring(const char* title, char* buffer, int32_t maxlen, int32_t cancelallowed);
// A name box: inputstring with a note under the field that says what the
// name may hold (its longest length, what is changed in it). The console
// prints the note on a line before the prompt.
int inputname(const char* title, char* buffer, int32_t maxlen, int32_t cancelallowed, const char* note);
// A password box: inputstring whose field shows a star for every character
// typed. The console reads the line as inputstring does.
int inputpassword(const char* title, char* buffer, int32_t maxlen, int32_t cancelallowed);
// A number low..high; the window's field takes digits only (and a minus
// sign first when low < 0). min(low, 0) - 1 for a number out of range or no
// number, min(low, 0) - 2 on Cancel.
int32_t inputnumber(int32_t low, int32_t high, const char* title);
// A number box for a value that the player changes: it opens with the
// current value (when within low..high), takes digits only as inputnumber
// does, and answers a number outside low..high, or none, with
// "Give a number from %d to %d." before asking again (the typed text kept
// in the window). The number, or min(low, 0) - 2 on Cancel. On the console
// the prompt is "%s [%d]: " with the current value, which an empty answer
// keeps; the end of the input cancels.
int32_t inputnumberbox(int32_t low, int32_t high, const char* title, int32_t current);

// A menu of text lines, each with an id. menuwait returns the id of the
// chosen line; lines with id 0 are shown but cannot be chosen; 0 when the
// input ends before a line was chosen.
constexpr int32_t MENULINES = 100;
constexpr int32_t MENULINELEN = 100;
struct MenuLine {
  int32_t id;
  char text[MENULINELEN];
};
void menubegin();
void menuline(int32_t id, const char* text);
void menushow();
int32_t menuwait();

// The windowed dialogs that replace the console's (a null member keeps the
// console's). menu shows the lines and waits for a choice, as menushow and
// menuwait together do.
struct Dialogs {
  int (*tell)(const char* text);
  int (*confirm)(const char* text);
  int (*text)(const char* title, char* buffer, int32_t maxlen, int32_t cancelallowed);
  // A field for a number: digits only (a minus sign first when `negative`),
  // opening with the buffer's text, with a note under it ("" none); 1 on Ok,
  // 0 on Cancel.
  int (*number)(const char* title, char* buffer, int32_t maxlen, int32_t negative, const char* note);
  int32_t (*menu)(const MenuLine* lines, int32_t count);
  // A text field as `text`, with a note under it ("" none), showing stars
  // for what is typed when `secret`.
  int (*field)(const char* title, char* buffer, int32_t maxlen, int32_t cancelallowed, const char* note,
               int32_t secret);
  // The window of safequestion (savelabel null when there is no save
  // answer).
  int32_t (*safe)(const char* title, const char* question, const char* yeslabel, const char* savelabel,
                  const char* cancellabel);
};
// Null restores the console for every question.
void setdialogs(const Dialogs* dialogs);

// For the console variants of the player side's own dialogs: one answer line
// without its line end, cut to the buffer (0 at the end of the input), and
// the stream that questions are printed to.
int readanswer(char* buffer, int32_t size);
FILE* dialogoutput();
