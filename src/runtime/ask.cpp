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

int32_t inputnumber(int32_t low, int32_t high, const char* title) {
  const int32_t base = imin(low, 0);
  const int32_t len = (low < -99999 || high > 99999) ? 11 : 6;
  char buf[16];
  if (!inputstring(title, buf, len, 1)) return base - 2;
  errno = 0;
  char* end = nullptr;
  const long v = strtol(buf, &end, 10);
  if (end == buf || errno != 0 || *end != 0 || v < low || v > high) return base - 1;
  return int32_t(v);
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
