// Income and upkeep, the provinces' month (tax, unrest, growth) and supply
// with starvation.
#include <algorithm>
#include <map>

#include "host/host.h"
#include "host/hostinternal.h"
#include "host/phases.h"
#include "mods/mods.h"
#include "runtime/fatal.h"
#include "runtime/rnd.h"
#include "runtime/util.h"
#include "world/economy.h"
#include "world/gamedata.h"
#include "world/rules.h"
#include "world/units.h"
#include "world/world.h"

namespace {
constexpr uint32_t AF_STARVING = 0x4;
constexpr int32_t MAXPOPULATION = 30000;
// Units leave when the treasury cannot pay them: the dearest first, until
// what they cost covers the debt.
int32_t desert(int32_t p, int32_t debt) {
  std::vector<int32_t> soldiers;
  for (int32_t u = 0; u <= highestunit; u++)
    if (unit[size_t(u)].owner == p && paysupkeep(unit[size_t(u)]) && unit[size_t(u)].comnr < 0) soldiers.push_back(u);
  std::stable_sort(soldiers.begin(), soldiers.end(),
                   [](int32_t a, int32_t b) { return unitupkeep(unit[size_t(a)]) > unitupkeep(unit[size_t(b)]); });
  int32_t gone = 0;
  int32_t covered = 0;
  for (int32_t u : soldiers) {
    if (covered >= debt * UPKEEPDIVISOR) break;
    covered += imax(unitupkeep(unit[size_t(u)]), 1);
    killunit(u);
    gone++;
  }
  return gone;
}

void provincemonth(int32_t lnr) {
  Land& l = land[size_t(lnr)];
  if (l.reserved & LF_AUTOTAX) l.tax = int16_t(unrestpercent(lnr));
  // Unrest calms by a tenth and one point a month; a high tax stirs it.
  int32_t unrest = imax(l.unrest, 0);
  unrest -= 1 + unrest / 10;
  if (l.tax > 100) unrest += (l.tax - 100) / 10;
  l.unrest = int16_t(imax(0, imin(unrest, 30000)));
  // Growth in tenths of a percent: three, less the Death scale's share.
  if (l.population > 0) {
    const int32_t permille = 3 - l.scale[SC_DEATH] * deathdeath;
    const int64_t pop = int64_t(l.population) + int64_t(l.population) * permille / 1000;
    l.population = int16_t(imax(0, int32_t(std::min<int64_t>(pop, MAXPOPULATION))));
  }
}
}  // namespace

void incomephase() {
  for (int32_t p = 0; p < MAXPLAYERS; p++) {
    if (!activeplayer(p)) continue;
    Kingdom& k = kingdom[size_t(p)];
    int64_t gold = int64_t(k.gold) + getkinc(p) - upk(p);
    for (int32_t g = 0; g < 8; g++) k.w[KW_GEMS + g] = int16_t(imin(32767, imax(0, k.w[KW_GEMS + g]) + visinc(p, g)));
    if (gold < 0) {
      const int32_t gone = desert(p, int32_t(std::max<int64_t>(-gold, INT32_MIN + 1)));
      gold = 0;
      if (gone > 0)
        landmsg(p, -1, "Unpaid troops\n\nThe treasury could not pay the army: %d units have deserted.", gone);
    }
    k.gold = int32_t(std::min<int64_t>(gold, INT32_MAX));
  }
  for (int32_t l = 1; l <= nbrlands; l++) provincemonth(l);
}

void starvephase() {
  // Which players eat where: every land a player's units stand in.
  std::map<std::pair<int32_t, int32_t>, std::vector<int32_t>> eaters;
  for (int32_t u = 0; u <= highestunit; u++) {
    const Unit& x = unit[size_t(u)];
    if (x.hp < 1 || x.land < 1 || x.land > nbrlands || !activeplayer(x.owner)) continue;
    eaters[{x.land, x.owner}].push_back(u);
  }
  for (auto& [key, units] : eaters) {
    const auto [lnr, p] = key;
    const bool hungry = supplyuse(lnr, p) > getsupply(lnr, p, 1);
    int32_t starved = 0;
    for (int32_t u : units) {
      Unit& x = unit[size_t(u)];
      if (unittypeflags(u) & MF_NEEDNOTEAT) continue;
      if (!hungry) {
        x.flags[0] &= ~AF_STARVING;
        continue;
      }
      // A month without food weakens; a second one wounds and sickens.
      if (x.flags[0] & AF_STARVING) {
        x.hp = int16_t(x.hp - imax(1, getmaxhp(u) / 10));
        if (rnd(10) == 0) x.flags[0] |= AF_DISEASED;
        if (x.hp < 1 && !(x.flags[2] & F3_PRETENDER)) {
          if (const int32_t c = unit2com(u); c >= 0) landmsg(p, lnr, "%s has starved to death.", comshownname(c));
          killunit(u);
        } else if (x.hp < 1) {
          x.hp = 1;
        }
      }
      x.flags[0] |= AF_STARVING;
      starved++;
    }
    if (starved > 0) landmsg(p, lnr, "Your troops in %s are starving: the province cannot feed them.", land[size_t(lnr)].name);
  }
}
