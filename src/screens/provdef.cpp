// The Buy Province Defence box over the rule of world/provinfo.h.
#include "gfx/dialogs.h"
#include "runtime/util.h"
#include "screens/screens.h"
#include "world/provinfo.h"
#include "world/world.h"

namespace {
constexpr const char* defencehint =
    "Province Defence doesn't cost any upkeep and will defend your province against small attacks. The more you "
    "buy the better the defence will get. Defences of 10 or more will patrol your province against enemy spies "
    "and a value of 20 or more will get a second commander for the defence.";
}  // namespace

void buyprovdef(int32_t p, int32_t l) {
  if (!provdefsteps(p, l)) return;
  char text[MSGLEN];
  for (;;) {
    formatbounded(text, sizeof text, "You have %d gold left", kingdom[p].gold);
    const int32_t steps = provdefsteps(p, l);
    const int r = adjustvaluebox("Buy Province Defence", text, defencehint, land[l].provdef, (steps & PD_RAISE) != 0,
                                 (steps & PD_LOWER) != 0);
    if (r == 0) return;
    stepprovdef(p, l, r);   // a step that is not allowed, whatever the box sent, does nothing
  }
}
