// The player side's own dialogs: the window's form while one is open, the
// console's otherwise.
#include "gfx/dialogs.h"

#include <cstring>

#include "gfx/dialogwindow.h"
#include "gfx/gfx.h"
#include "runtime/options.h"

namespace {
bool inwindow() { return !textonly && windowopen(); }
}  // namespace

int adjustvaluebox(const char* title, const char* text, const char* hint, int32_t value, int32_t mayraise,
                   int32_t maylower) {
  if (inwindow()) return windowadjustvaluebox(title ? title : "", text ? text : "", hint ? hint : "", value, mayraise, maylower);
  fprintf(dialogoutput(), "%s\n%s\n%s\nValue: %d  [%s%s Enter = Ok]: ", title ? title : "", text ? text : "",
          hint ? hint : "", value, mayraise ? "+ raise, " : "", maylower ? "- lower, " : "");
  fflush(dialogoutput());
  char ans[16];
  if (!readanswer(ans, sizeof ans) || ans[0] == 0) return 0;
  if (!strcmp(ans, "+") || !strcmp(ans, "u")) return mayraise ? 1 : 2;
  if (!strcmp(ans, "-") || !strcmp(ans, "d")) return maylower ? -1 : 2;
  return 2;
}

int32_t textinfobox(const char* title, const char* text, int32_t cancelid) {
  if (inwindow()) return windowtextinfobox(title ? title : "", text ? text : "", cancelid);
  fprintf(dialogoutput(), "%s\n%s\n", title ? title : "", text ? text : "");
  fflush(dialogoutput());
  return cancelid;
}
