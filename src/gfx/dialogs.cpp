// Console variants of the standard dialogs. Windowed mode uses them too until
// the windowed toolkit exists (see dialogs.h).
#include "gfx/dialogs.h"

#include <cerrno>
#include <cstdarg>
#include <cstdlib>
#include <cstring>

#include "runtime/util.h"

namespace {
FILE* dlgin = nullptr;
FILE* dlgout = nullptr;

FILE* in() { return dlgin ? dlgin : stdin; }
FILE* out() { return dlgout ? dlgout : stdout; }

// Reads one answer line without its line end, cut to the buffer. A line
// longer than the buffer is consumed whole so the next answer stays in step.
// 0 at the end of the input.
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

struct MenuLine {
  int32_t id;
  char text[MENULINELEN];
};
MenuLine menu[MENULINES];
int32_t menucount = 0;
}  // namespace

void setdialoginput(FILE* f) { dlgin = f; }
void setdialogoutput(FILE* f) { dlgout = f; }

int msgbox(const char* format, ...) {
  char text[MSGLEN];
  va_list ap;
  va_start(ap, format);
  vsnprintf(text, sizeof text, format, ap);
  va_end(ap);
  fprintf(out(), "%s\n", text);
  fflush(out());
  return 1;
}

int confirmbox(const char* text) {
  fprintf(out(), "%s (y/n): ", text ? text : "");
  fflush(out());
  char ans[16];
  if (!readanswer(ans, sizeof ans)) return 0;
  return ans[0] == 'y' || ans[0] == 'Y' ? 1 : 0;
}

int inputstring(const char* title, char* buffer, int32_t maxlen, int32_t cancelallowed) {
  if (!buffer) return 0;
  if (maxlen < 0) maxlen = 0;
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

int adjustvaluebox(const char* title, const char* text, const char* hint, int32_t value, int32_t mayraise,
                   int32_t maylower) {
  fprintf(out(), "%s\n%s\n%s\nValue: %d  [%s%s Enter = Ok]: ", title ? title : "", text ? text : "",
          hint ? hint : "", value, mayraise ? "+ raise, " : "", maylower ? "- lower, " : "");
  fflush(out());
  char ans[16];
  if (!readanswer(ans, sizeof ans) || ans[0] == 0) return 0;
  if (!strcmp(ans, "+") || !strcmp(ans, "u")) return mayraise ? 1 : 2;
  if (!strcmp(ans, "-") || !strcmp(ans, "d")) return maylower ? -1 : 2;
  return 2;
}

void menubegin() { menucount = 0; }

void menuline(int32_t id, const char* text) {
  if (menucount >= MENULINES) return;
  menu[menucount].id = id;
  strlcopy(menu[menucount].text, text ? text : "", MENULINELEN);
  menucount++;
}

void menushow() {
  for (int32_t i = 0; i < menucount; i++) {
    if (menu[i].id != 0)
      fprintf(out(), "%d) %s\n", menu[i].id, menu[i].text);
    else
      fprintf(out(), "   %s\n", menu[i].text);
  }
  fflush(out());
}

int32_t menuwait() {
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
