// The end-of-game statistics: one column of the eight series per turn.
#include <cstdint>

#include "runtime/util.h"
#include "world/economy.h"
#include "world/hoststate.h"
#include "world/magic.h"
#include "world/scores.h"
#include "world/world.h"

namespace {
// The series hold 16-bit values; readers take them as unsigned.
int16_t stat16(int64_t v) { return int16_t(uint16_t(v < 0 ? 0 : v > 65535 ? 65535 : v)); }

bool inplay(int32_t p) {
  const uint16_t c = uint16_t(kingdom[size_t(p)].w[KW_CONTROLLER]);
  return c == CTRL_HUMAN || c == CTRL_AI;
}
}  // namespace

void updateendstats(int32_t) {
  const int32_t t = imin(imax(turn, 0), ENDSTATTURNS - 1);
  int64_t s[ENDSTATSERIES][MAXPLAYERS] = {};
  const int32_t last = imin(nbrlands, MAXLANDS - 1);
  for (int32_t l = 1; l <= last; l++) {
    const Land& ld = land[size_t(l)];
    if (ld.owner < MAXPLAYERS) s[ES_PROVINCES][ld.owner]++;
    if (ld.fortholder < MAXPLAYERS && ld.fort > 0) s[ES_FORTS][ld.fortholder]++;
  }
  for (int32_t p = 0; p < MAXPLAYERS; p++) {
    if (!inplay(p)) {
      for (auto& series : s) series[p] = 0;
      continue;
    }
    s[ES_INCOME][p] = getkinc(p);
    for (int32_t g = 0; g < 8; g++) s[ES_GEMINCOME][p] += imax(visinc(p, g), 0);
    for (int32_t school = 0; school < 7; school++) s[ES_RESEARCH][p] += imax(researchrec[p][RR_LEVEL + school], 0);
    s[ES_VEYRANCE][p] = veyscore(p);
    s[ES_UNITS][p] = armycomposition(p, -1, nullptr, nullptr, nullptr, nullptr);
    s[ES_VICTORYPOINTS][p] = victorypoints(p);
  }
  for (int32_t i = 0; i < ENDSTATSERIES; i++)
    for (int32_t p = 0; p < MAXPLAYERS; p++) endstats.value[i][t][p] = stat16(s[i][p]);
  if (endstats.highest < t) endstats.highest = int16_t(t);
}
