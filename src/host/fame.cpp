// Heroes and the hall of fame: unique heroes come to serve the nations now
// and then; the most honoured commanders of the world stand in the hall of
// fame, and every month there adds to their honour.
#include <algorithm>

#include "host/host.h"
#include "host/hostinternal.h"
#include "host/phases.h"
#include "runtime/fatal.h"
#include "runtime/rnd.h"
#include "runtime/util.h"
#include "world/gamedata.h"
#include "world/rules.h"
#include "world/units.h"
#include "world/world.h"

namespace {
constexpr int32_t HEROCHANCE = 2;   // percent a month per nation

bool uniqueused(int32_t type) {
  for (int32_t i = 0; i <= uniquetypelist.count && i < MAXUNIQUETYPES; i++)
    if (uniquetypelist.type[size_t(i)] == type) return true;
  for (int32_t u = 0; u <= highestunit; u++)
    if (unit[size_t(u)].type == type && (unit[size_t(u)].hp >= 1 || (unit[size_t(u)].flags[2] & F3_PRETENDER)))
      return true;
  return false;
}

// Unique commander types that no game has brought into play yet.
std::vector<int32_t> herocandidates() {
  std::vector<int32_t> v;
  for (int32_t t = 1; t < MAXUNITTYPES; t++) {
    if (!isusedunittype(t) || gettypeability(t, AB_UNIQUE, -1) <= 0) continue;
    if (unittypes[size_t(t)].flags2 & MF2_NOLEADER) continue;
    if (!uniqueused(t)) v.push_back(t);
  }
  return v;
}

// The nation's capital when it holds it, else its first province with a fort.
int32_t heroland(int32_t p) {
  const int32_t home = kingdom[size_t(p)].w[KW_HOMELAND];
  if (home >= 1 && home <= nbrlands && land[size_t(home)].owner == p && land[size_t(home)].fortholder == p) return home;
  for (int32_t l = 1; l <= nbrlands; l++)
    if (land[size_t(l)].owner == p && land[size_t(l)].fortholder == p && land[size_t(l)].fort > 0) return l;
  return -1;
}
}  // namespace

void heroesphase() {
  std::vector<int32_t> candidates = herocandidates();
  for (int32_t p = 0; p < MAXPLAYERS && !candidates.empty(); p++) {
    if (!activeplayer(p) || rnd(100) >= HEROCHANCE) continue;
    const int32_t lnr = heroland(p);
    if (lnr < 0) continue;
    const size_t pick = size_t(rnd(int32_t(candidates.size())));
    const int32_t type = candidates[pick];
    const int32_t c = placecommander(type, p, lnr);
    if (c < 0) break;
    if (uniquetypelist.count < MAXUNIQUETYPES - 1) uniquetypelist.type[size_t(++uniquetypelist.count)] = int16_t(type);
    candidates.erase(candidates.begin() + std::ptrdiff_t(pick));
    landmsg(p, lnr, "A hero\n\n%s, a %s of great renown, has come to serve %s and waits in %s.", com[size_t(c)].name,
            unittypes[size_t(type)].name, nations[size_t(p)].name, land[size_t(lnr)].name);
  }
}

void famephase() {
  const int32_t size = imin(imax(int32_t(gameinfo.hofsize), 0), MAXSCORES);
  std::vector<std::pair<int32_t, int32_t>> ranked;   // (score, commander)
  for (int32_t c = 1; c <= highestcom; c++) {
    const int32_t s = famescore(c);
    if (s > 0 && comalive(c)) ranked.push_back({s, c});
  }
  std::stable_sort(ranked.begin(), ranked.end(), [](const auto& a, const auto& b) { return a.first > b.first; });
  int16_t hall[MAXSCORES];
  for (int32_t i = 0; i < MAXSCORES; i++) hall[i] = -1;
  for (int32_t i = 0; i < size && i < int32_t(ranked.size()); i++) hall[i] = int16_t(ranked[size_t(i)].second);
  for (int32_t i = 0; i < size; i++) {
    const int32_t c = hall[i];
    if (c < 0) continue;
    if (!inhalloffame(c))
      landmsg(complayer(c), comland(c), "Hall of Fame\n\n%s has entered the Hall of Fame.", com[size_t(c)].name);
    if (com[size_t(c)].herocount < INT16_MAX) com[size_t(c)].herocount++;
  }
  for (int32_t i = 0; i < MAXSCORES; i++) scorelist[i] = hall[i];
}
