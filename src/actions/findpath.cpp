// Path finding over the province graph for move orders and computer players.
#include <array>

#include "actions/moverule.h"
#include "world/world.h"

namespace {
bool validland(int32_t l) { return l >= 1 && l <= nbrlands && l < MAXLANDS; }

bool terrainallowed(int32_t l, uint32_t word) {
  const bool sea = (provgeo[l].terrain & TM_SEA) != 0;
  return sea ? (word & MW_WATER) != 0 : (word & MW_LAND) != 0;
}

int32_t stepcost(int32_t l, uint32_t word) {
  if (word & MW_FLY) return 1;
  const uint32_t t = provgeo[l].terrain;
  if (((t & TM_FOREST) && !(word & MW_FOREST)) || ((t & TM_MOUNTAINS) && !(word & MW_MOUNTAIN)) ||
      ((t & TM_WASTE) && !(word & MW_WASTE)) || ((t & TM_SWAMP) && !(word & MW_SWAMP)))
    return 2;
  return 1;
}
}  // namespace

int32_t findpath(int32_t player, int32_t start, int32_t dest, uint32_t word, int32_t* reachable) {
  if (reachable) *reachable = 0;
  const int32_t move = int32_t(word & MW_MOVE);
  if (!validland(start) || !validland(dest) || dest == start || move == 0 || !terrainallowed(dest, word)) return 0;
  const bool anyowner = (word & (MW_FLY | MW_ANYOWNER)) != 0;
  if (!anyowner && land[dest].owner != player) {
    // A foreign destination must lie next to the start.
    bool next = false;
    for (int32_t i = 0; i < MAXNEIGHBOURS && provgeo[start].nbr[i] > 0; i++)
      if (provgeo[start].nbr[i] == dest) next = true;
    if (!next) return 0;
  }
  // Cheapest cost by bucket search: costs are small (at most 255 points).
  static std::array<int16_t, MAXLANDS> best;
  best.fill(-1);
  best[start] = 0;
  for (int32_t cost = 0; cost <= move; cost++) {
    for (int32_t l = 1; l <= nbrlands && l < MAXLANDS; l++) {
      if (best[l] != cost) continue;
      if (l == dest) {
        if (reachable) *reachable = 1;
        return cost;
      }
      // Only the start and provinces the army may pass lead further.
      if (l != start && !anyowner && land[l].owner != player) continue;
      for (int32_t i = 0; i < MAXNEIGHBOURS; i++) {
        const int32_t n = provgeo[l].nbr[i];
        if (n < 1) break;
        if (!validland(n) || !terrainallowed(n, word)) continue;
        const int32_t c = cost + stepcost(n, word);
        if (c <= move && (best[n] < 0 || c < best[n])) best[n] = int16_t(c);
      }
    }
  }
  return 0;
}
