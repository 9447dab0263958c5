// Research, veyrance, province and victory-point scores; resource bills.
#include "world/scores.h"

#include <utility>

#include "runtime/fatal.h"
#include "runtime/util.h"
#include "world/gamedata.h"
#include "world/magic.h"
#include "world/rules.h"
#include "world/units.h"
#include "world/world.h"

namespace {
constexpr int32_t researchcost[14] = {0, 20, 40, 60, 100, 160, 260, 420, 680, 1100, 1780, 3000, 4000, 5000};

int32_t lastland() { return imin(nbrlands, MAXLANDS - 1); }
}  // namespace

int32_t totalresearch(int32_t p) {
  bailif(p < 0 || p > 99, "grs: bad p");
  const int32_t diff = int8_t(gameinfo.researchdiff);
  int32_t total = 0;
  for (int32_t s = 0; s < 7; s++) {
    const int32_t level = imin(researchrec[p][RR_LEVEL + s], 10);
    for (int32_t k = 1; k <= level; k++) total += researchcost[imax(0, imin(13, diff + k))];
    total += researchrec[p][RR_POINTS + s];
  }
  return total;
}

int32_t veyscore(int32_t p) {
  int32_t v = 0;
  for (int32_t l = 1; l <= lastland(); l++)
    if (land[l].veyowner == p && land[l].veystr > 0) v += land[l].veystr + 10;
  return v;
}

int32_t nbrofprovinces(int32_t p) {
  int32_t n = 0;
  for (int32_t l = 1; l <= lastland(); l++)
    if (land[l].fortholder == p) n++;
  return n;
}

int32_t victorypoints(int32_t p) {
  int32_t v = 0;
  for (int32_t l = 1; l <= lastland(); l++)
    if (p == -1 || land[l].fortholder == p) v += land[l].vpword & 7;
  return v;
}

int32_t comhasitem(int32_t c, int32_t item) {
  if (combody(c) < 0) return 0;
  for (int16_t i : com[c].item)
    if (i == item) return 1;
  return 0;
}

int32_t isuwnation(int32_t n) {
  if (n < 0 || n > 94) return 0;
  return getnatattr(n, NA_UNDERWATER) > 0 ? 1 : 0;
}

int32_t unitrescost(int32_t m) {
  const Monster* t = typerec(m);
  if (!t) return 0;
  int32_t sum = 0;
  for (int16_t w : t->weapon) {
    if (w <= 0) break;
    if (w < MAXWEAPONS) sum += weapons[w].rcost;
  }
  for (int16_t a : t->armor) {
    if (a <= 0) break;
    if (a < MAXARMORS) sum += armors[a].rcost;
  }
  const int32_t rs = gettypeability(m, AB_RESSIZE, -1);
  sum *= rs >= 1 ? rs : t->size;
  return imax(0, sum / 2 + t->rcost);
}

int32_t queuedunits(int32_t lnr) { return lnr >= 0 && lnr < MAXLANDS ? imax(0, imin(land[lnr].queuecount, 100)) : 0; }
int32_t queuedcom(int32_t lnr) { return lnr >= 0 && lnr < MAXLANDS ? imax(0, imin(land[lnr].comqueued, 1)) : 0; }

int32_t recruitqueueres(int32_t lnr) {
  if (lnr < 0 || lnr >= MAXLANDS) return 0;
  const Land& l = land[lnr];
  int32_t r = 0;
  for (int32_t i = 0; i < queuedunits(lnr); i++) {
    bailif(l.queue[i] >= MAXUNITTYPES, "rq: bad m in uque");
    r += unitrescost(l.queue[i]);
  }
  if (queuedcom(lnr)) {
    bailif(l.queuedcomtype >= MAXUNITTYPES, "rq: bad m in cque");
    r += unitrescost(l.queuedcomtype);
  }
  return r;
}

int32_t armycomposition(int32_t p, int32_t lnr, int32_t* type1, int32_t* count1, int32_t* type2, int32_t* count2) {
  int32_t types[50], counts[50];
  int32_t n = 0, total = 0;
  const auto tally = [&](int32_t u) {
    const Unit& un = unit[u];
    if (un.hp < 1 || un.owner != p) return;
    total++;
    int32_t i = 0;
    while (i < n && types[i] != un.type) i++;
    if (i < n) {
      counts[i]++;
    } else if (n < 50) {
      types[n] = un.type;
      counts[n++] = 1;
    }
  };
  if (lnr != -1) foreachunitinland(lnr, tally);
  else   // any land: every unit in use
    for (int32_t u = 0; u <= highestunit && u < MAXUNITS; u++) tally(u);
  for (int32_t pass = 0; pass < n; pass++)
    for (int32_t i = 0; i + 1 < n; i++)
      if (counts[i] < counts[i + 1]) {
        std::swap(counts[i], counts[i + 1]);
        std::swap(types[i], types[i + 1]);
      }
  if (type1) *type1 = n > 0 ? types[0] : -1;
  if (count1) *count1 = n > 0 ? counts[0] : 0;
  if (type2) *type2 = n > 1 ? types[1] : -1;
  if (count2) *count2 = n > 1 ? counts[1] : 0;
  return total;
}
