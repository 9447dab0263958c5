// The progress line of hosting and world creation, and the consistency
// check that runs after every host phase.
#include <cstdio>
#include <cstring>

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
  bailif(highestunit >= MAXUNITS, "bugcheck: bad highestunit");
  bailif(highestcom >= MAXCOMS, "bugcheck: bad highestcom");
  bailif(nbrlands >= MAXLANDS, "bugcheck: bad nbrlands");
  // Commanders and their bodies point at each other.
  for (int32_t c = 0; c <= highestcom; c++) {
    const int32_t b = com[size_t(c)].body;
    if (b < 0) continue;
    bailif(b >= MAXUNITS, "bugcheck: bad body");
    bailif(unit[size_t(b)].comnr != c, "bugcheck: body does not know its commander");
  }
  if (level < 1) return;
  // Every living unit stands somewhere, has a type and an owner.
  for (int32_t u = 0; u <= highestunit; u++) {
    const Unit& x = unit[size_t(u)];
    if (x.hp < 1) continue;
    bailif(x.type < 0 || x.type >= MAXUNITTYPES, "bugcheck: bad unit type");
    bailif(x.owner < 0 || x.owner >= MAXKINGDOMS, "bugcheck: bad unit owner");
    bailif(x.land >= MAXLANDS || (x.land < 0 && x.land != VOIDLAND && x.land != -1), "bugcheck: bad unit land");
    const int32_t c = x.comnr;
    bailif(c >= 0 && (c >= MAXCOMS || com[size_t(c)].body != u), "bugcheck: unit points at a foreign commander");
  }
  // The indexes of units by land and squad list what the table holds.
  if (const std::string fault = unitindexfault(); !fault.empty()) fatalerror(("bugcheck: " + fault).c_str());
  for (int32_t l = 1; l <= nbrlands; l++) {
    const Land& ld = land[size_t(l)];
    bailif(ld.queuecount < 0 || ld.queuecount > 100, "bugcheck: bad queue");
    bailif(ld.owner >= MAXKINGDOMS || ld.fortholder >= MAXKINGDOMS, "bugcheck: bad land owner");
    bailif(ld.fort <= 0 && ld.owner != ld.fortholder, "bugcheck: fort holder without a fort");
  }
}
