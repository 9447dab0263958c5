// Console variants of the player side's own dialogs. Windowed mode uses them
// too until the windowed toolkit exists (see dialogs.h).
#include "gfx/dialogs.h"

#include <cstring>

int adjustvaluebox(const char* title, const char* text, const char* hint, int32_t value, int32_t mayraise,
                   int32_t maylower) {
  fprintf(dialogoutput(), "%s\n%s\n%s\nValue: %d  [%s%s Enter = Ok]: ", title ? title : "", text ? text : "",
          hint ? hint : "", value, mayraise ? "+ raise, " : "", maylower ? "- lower, " : "");
  fflush(dialogoutput());
  char ans[16];
  if (!readanswer(ans, sizeof ans) || ans[0] == 0) return 0;
  if (!strcmp(ans, "+") || !strcmp(ans, "u")) return mayraise ? 1 : 2;
  if (!strcmp(ans, "-") || !strcmp(ans, "d")) return maylower ? -1 : 2;
  return 2;
}
