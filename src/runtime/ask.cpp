// The console's answers to the game's questions, and the hand-over to the
// windowed dialogs that the player side installs.
#include "runtime/ask.h"

#include <cerrno>
#include <cstdarg>
#include <cstdlib>
#include <cstring>

#include "runtime/util.h"

namespace {
FILE* dlgin = nullptr;
FILE* dlgout = nullptr;

Dialogs windowed{};

FILE* in() { return dlgin ? dlgin : stdin; }
FILE* out() { return dlgout ? dlgout : stdout; }

MenuLine menu[MENULINES];
int32_t menucount = 0;
}  // namespace

// A line longer than the buffer is consumed whole so the next answer stays in step.
int readanswer(char* buf, int32_t size) {
  int32_t n = 0;
  int c;
  bool any = false;
  while ((c = fgetc(in())) != EOF) {
    any = true;
    if (c == '\n') break;
    if (c == '\r') continue;
    if (n < size - 1) buf[n++] = char(c);
  }
  buf[n] = 0;
  return any ? 1 : 0;
}

FILE* dialogoutput() { return out(); }

void setdialoginput(FILE* f) { dlgin = f; }
void setdialogoutput(FILE* f) { dlgout = f; }
void setdialogs(const Dialogs* dialogs) { windowed = dialogs ? *dialogs : Dialogs{}; }

int msgbox(const char* format, ...) {
  char text[MSGLEN];
  va_list ap;
  va_start(ap, format);
  vsnprintf(text, sizeof text, format, ap);
  va_end(ap);
  if (windowed.tell) return windowed.tell(text);
  fprintf(out(), "%s\n", text);
  fflush(out());
  return 1;
}

int confirmbox(const char* text) {
  if (windowed.confirm) return windowed.confirm(text);
  fprintf(out(), "%s (y/n): ", text ? text : "");
  fflush(out());
  char ans[16];
  if (!readanswer(ans, sizeof ans)) return 0;
  return ans[0] == 'y' || ans[0] == 'Y' ? 1 : 0;
}

int32_t safequestion(const char* title, const char* question, const char* yeslabel, const char* savelabel,
                     const char* cancellabel) {
  title = title ? title : "";
  question = question ? question : "";
  yeslabel = yeslabel ? yeslabel : "Yes";
  cancellabel = cancellabel ? cancellabel : "Cancel";
  if (windowed.safe) return windowed.safe(title, question, yeslabel, savelabel, cancellabel);
  if (title[0]) fprintf(out(), "%s\n", title);
  if (savelabel) fprintf(out(), "%s (y = %s, s = %s, n = %s): ", question, yeslabel, savelabel, cancellabel);
  else fprintf(out(), "%s (y = %s, n = %s): ", question, yeslabel, cancellabel);
  fflush(out());
  char ans[16];
  if (!readanswer(ans, sizeof ans)) return ASK_CANCEL;
  if (ans[0] == 'y' || ans[0] == 'Y') return ASK_YES;
  if (savelabel && (ans[0] == 's' || ans[0] == 'S')) return ASK_SAVE;
  return ASK_CANCEL;
}

int inputstring(const char* title, char* buffer, int32_t maxlen, int32_t cancelallowed) {
  if (!buffer) return 0;
  if (maxlen < 0) maxlen = 0;
  if (windowed.text) return windowed.text(title, buffer, maxlen, cancelallowed);
  fprintf(out(), "%s: ", title ? title : "");
  fflush(out());
  if (!readanswer(buffer, maxlen + 1)) {
    buffer[0] = 0;
    return cancelallowed ? 0 : 1;
  }
  return 1;
}

int inputname(const char* title, char* buffer, int32_t maxlen, int32_t cancelallowed, const char* note) {
  if (!buffer) return 0;
  if (windowed.field) return windowed.field(title, buffer, imax(maxlen, 0), cancelallowed, note ? note : "", 0);
  if (note && note[0] && !windowed.text) fprintf(out(), "%s\n", note);
  return inputstring(title, buffer, maxlen, cancelallowed);
}

int inputpassword(const char* title, char* buffer, int32_t maxlen, int32_t cancelallowed) {
  if (!buffer) return 0;
  if (windowed.field) return windowed.field(title, buffer, imax(maxlen, 0), cancelallowed, "", 1);
  return inputstring(title, buffer, maxlen, cancelallowed);
}

namespace {
// Characters of a number's field: 6, or 11 when a bound lies beyond +-99999.
int32_t numberlength(int32_t low, int32_t high) { return (low < -99999 || high > 99999) ? 11 : 6; }

// The number of a whole answer within low..high, or false.
bool numberin(const char* text, int32_t low, int32_t high, int32_t* value) {
  errno = 0;
  char* end = nullptr;
  const long v = strtol(text, &end, 10);
  if (end == text || errno != 0 || *end != 0 || v < low || v > high) return false;
  *value = int32_t(v);
  return true;
}

// One answer for a number: the window's number field, else a console line
// (an empty one keeps what the buffer held).
int asknumber(const char* title, char* buffer, int32_t maxlen, int32_t low, const char* note) {
  if (windowed.number) return windowed.number(title, buffer, maxlen, low < 0, note);
  char line[16];
  if (note[0]) fprintf(out(), "%s\n", note);
  fprintf(out(), "%s: ", title ? title : "");
  fflush(out());
  if (!readanswer(line, imin(maxlen + 1, int32_t(sizeof line)))) return 0;
  if (line[0]) strlcopy(buffer, line, maxlen + 1);
  return 1;
}
}  // namespace

int32_t inputnumber(int32_t low, int32_t high, const char* title) {
  const int32_t base = imin(low, 0);
  char buf[16] = "";
  if (windowed.number ? !windowed.number(title, buf, numberlength(low, high), low < 0, "")
                      : !inputstring(title, buf, numberlength(low, high), 1))
    return base - 2;
  int32_t v = 0;
  return numberin(buf, low, high, &v) ? v : base - 1;
}

int32_t inputnumberbox(int32_t low, int32_t high, const char* title, int32_t current) {
  const int32_t len = numberlength(low, high);
  char start[16] = "", buf[16] = "";
  if (current >= low && current <= high) snprintf(start, sizeof start, "%d", current);
  strlcopy(buf, start, sizeof buf);
  char prompt[MSGLEN];
  if (windowed.number) strlcopy(prompt, title ? title : "", sizeof prompt);
  else snprintf(prompt, sizeof prompt, "%s [%s]", title ? title : "", start);
  char note[80] = "";
  for (;;) {
    // The window keeps what was typed; the console starts from the current value.
    if (!windowed.number) strlcopy(buf, start, sizeof buf);
    if (!asknumber(prompt, buf, len, low, note)) return imin(low, 0) - 2;
    int32_t v = 0;
    if (numberin(buf, low, high, &v)) return v;
    snprintf(note, sizeof note, "Give a number from %d to %d.", low, high);
  }
}

void menubegin() { menucount = 0; }

void menuline(int32_t id, const char* text) {
  if (menucount >= MENULINES) return;
  menu[menucount].id = id;
  strlcopy(menu[menucount].text, text ? text : "", MENULINELEN);
  menucount++;
}

void menushow() {
  if (windowed.menu) return;   // the window shows the lines while it waits
  for (int32_t i = 0; i < menucount; i++) {
    if (menu[i].id != 0)
      fprintf(out(), "%d) %s\n", menu[i].id, menu[i].text);
    else
      fprintf(out(), "   %s\n", menu[i].text);
  }
  fflush(out());
}

int32_t menuwait() {
  if (windowed.menu) return windowed.menu(menu, menucount);
  char ans[24];
  for (;;) {
    fprintf(out(), "Choice: ");
    fflush(out());
    if (!readanswer(ans, sizeof ans)) return 0;
    char* end = nullptr;
    const long v = strtol(ans, &end, 10);
    if (end == ans || *end != 0 || v == 0) continue;
    for (int32_t i = 0; i < menucount; i++)
      if (menu[i].id == v) return menu[i].id;
  }
}
