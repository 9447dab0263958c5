// The progress box: drawn in the window by the player side when it has one
// open, else a line on the console.
#include "runtime/progress.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>

#include "runtime/options.h"
#include "runtime/util.h"

namespace {
char lasttext[MSGLEN];
uint32_t lasttime = 0;
bool shown = false;
int (*windowshown)() = nullptr;
void (*sceneshown)(int32_t) = nullptr;
void (*drawbox)(const char*, int32_t, const char*) = nullptr;
}  // namespace

void setprogressdraw(void (*draw)(const char* title, int32_t percent, const char* text)) { drawbox = draw; }

void setprogresswindow(int (*windowopen)(), void (*setscene)(int32_t)) {
  windowshown = windowopen;
  sceneshown = setscene;
}

void progressscene(int32_t scene) {
  if (sceneshown) sceneshown(scene);
}

void resetprogress() {
  lasttext[0] = 0;
  shown = false;
}

void progressbox(const char* title, int32_t percent, const char* format, ...) {
  char text[MSGLEN];
  va_list args;
  va_start(args, format);
  vsnprintf(text, sizeof text, format, args);
  va_end(args);
  percent = imax(0, imin(100, percent));
  bool console = textonly || !windowshown || !windowshown();
  uint32_t now = timems();
  uint32_t window = console ? 999 : 99;
  if (shown && strcmp(text, lasttext) == 0 && now - lasttime < window) return;
  strlcopy(lasttext, text, sizeof lasttext);
  lasttime = now;
  shown = true;
  if (!console && drawbox) drawbox(title ? title : "", percent, text);
  else printf("%s, %s [%d]\n", title ? title : "", text, int(percent));
}
