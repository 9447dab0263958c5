// The progress line of hosting and world creation, and the consistency
// check that runs after every host phase.
#include <cstdio>
#include <cstring>

#include "gamefiles/gamefiles.h"
#include "host/host.h"
#include "runtime/fatal.h"
#include "runtime/options.h"
#include "runtime/progress.h"
#include "runtime/util.h"
#include "world/gamedata.h"
#include "world/units.h"
#include "world/world.h"

namespace {
char progresstitle[100] = {};
}

void startprogress(const char* title, int32_t) {
  strlcopy(progresstitle, title ? title : "", sizeof progresstitle);
  resetprogress();
}

void showprogress(const char* label, int32_t percent) {
  // An empty label keeps the line as it is.
  if (!label || !label[0]) return;
  progressbox(progresstitle, percent, "%s", label);
}

void endprogress() { progresstitle[0] = 0; }

void bugcheck(int32_t level) {
  if (const std::string fault = worldfault(level); !fault.empty()) fatalerror(("bugcheck: " + fault).c_str());
  if (level < 1) return;
  // The indexes of units by land and squad list what the table holds.
  if (const std::string fault = unitindexfault(); !fault.empty()) fatalerror(("bugcheck: " + fault).c_str());
  for (int32_t l = 1; l <= nbrlands; l++) {
    const Land& ld = land[size_t(l)];
    bailif(ld.fort <= 0 && ld.owner != ld.fortholder, "bugcheck: fort holder without a fort");
  }
}
