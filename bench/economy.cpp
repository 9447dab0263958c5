// The per-turn economy of a large game: income, gems, resources, supply and
// research of every province and player on a 1,500-province world with 95
// players and 5,000 commanders. Target: under 20 ms per turn.
#include <benchmark/benchmark.h>

#include "runtime/rnd.h"
#include "world/economy.h"
#include "world/gamedata.h"
#include "world/ruleconstants.h"
#include "world/units.h"
#include "world/world.h"

namespace {
constexpr int32_t W = 50, H = 30;   // 1,500 provinces on a grid

void bigworld() {
  clearworld();
  defaultgeneral();
  seedrnd(7);
  forts.fill(Fort{});
  for (int f = 1; f <= 3; f++) {
    forts[f].val[FORT_ADMIN] = int16_t(f == 1 ? 5 : f == 2 ? 20 : 50);
    forts[f].val[FORT_SUPPLY] = int16_t(f == 1 ? 100 : f == 2 ? 200 : 1000);
  }
  sites.fill(Site{});
  for (int s = 1; s < 100; s++) {
    sites[s].effectkind[0] = int16_t(1 + s % 8);
    sites[s].effectval[0] = 1 + s % 3;
    sites[s].effectkind[1] = s % 2 ? SE_GOLD : SE_RES;
    sites[s].effectval[1] = 10;
  }
  unittypes.fill(Monster{});
  unittypes[1].hp = 10;
  unittypes[1].size = 2;
  nbrlands = W * H;
  for (int32_t l = 1; l <= nbrlands; l++) {
    const int32_t x = (l - 1) % W, y = (l - 1) / W;
    int i = 0;
    for (int dy = -1; dy <= 1; dy++)
      for (int dx = -1; dx <= 1; dx++) {
        if ((dx == 0 && dy == 0) || x + dx < 0 || x + dx >= W || y + dy < 0 || y + dy >= H) continue;
        provgeo[l].nbr[i++] = int16_t(l + dx + dy * W);
      }
    Land& ld = land[l];
    // 95 players in blocks of about 16 provinces; the rest independent.
    const int32_t p = ((y / 4) * (W / 5) + x / 5) % 100;
    ld.owner = ld.fortholder = uint8_t(p < 95 ? p : 25);
    ld.population = int16_t(500 + rnd(10000));
    ld.baseres = int16_t(20 + rnd(60));
    ld.tax = 100;
    ld.unrest = int16_t(rnd(30));
    for (int8_t& s : ld.scale) s = int8_t(rnd(7) - 3);
    ld.veyowner = int8_t(rnd(95));
    ld.veystr = int16_t(rnd(5));
    if (x % 5 == 2 && y % 4 == 1) ld.fort = int8_t(1 + rnd(3));
    if (rnd(3) == 0) {
      ld.site[0] = int16_t(1 + rnd(99));
      ld.sitefound[0] = 1;
    }
    if (rnd(10) == 0) provgeo[l].terrain = TM_SEA;
  }
  for (int32_t c = 0; c < 5000; c++) {
    const int32_t u = c;
    putunit(u, emptyunit());
    unit[u].type = 1;
    unit[u].hp = 10;
    unit[u].owner = int8_t(c % 95);
    setunitland(u, 1 + rnd(nbrlands));
    unit[u].exp = int16_t(rnd(500));
    unit[u].comnr = c;
    com[c] = emptycommander();
    com[c].body = u;
    com[c].path[c % 8] = uint8_t(1 + c % 3);
  }
  highestunit = highestcom = 4999;
}

void BM_EconomyTurn(benchmark::State& state) {
  bigworld();
  int64_t sink = 0;
  for (auto _ : state) {
    for (int32_t p = 0; p < 95; p++) {
      sink += getkinc(p);
      for (int32_t path = 0; path < 8; path++) sink += visinc(p, path);
    }
    for (int32_t l = 1; l <= nbrlands; l++) {
      sink += getresources(l, land[l].owner);
      sink += getsupply(l, land[l].owner, 1);
    }
    for (int32_t c = 0; c <= highestcom; c++) sink += comresearch(c, 0);
    benchmark::DoNotOptimize(sink);
  }
}
BENCHMARK(BM_EconomyTurn)->Unit(benchmark::kMillisecond);
}  // namespace

