// Veyrance: every month each source of a god's veyrance (its god, prophet,
// home province, temples and victory-point provinces) takes the steps that
// the conversion points shown on the Temple screen give (ten points a step,
// world/veyrates.h); the veyrance then turns the scales of the provinces it
// covers towards the god's own.
#include <vector>

#include "host/host.h"
#include "host/hostinternal.h"
#include "host/phases.h"
#include "runtime/rnd.h"
#include "runtime/util.h"
#include "world/gamedata.h"
#include "world/rules.h"
#include "world/veyrates.h"
#include "world/world.h"

namespace {
constexpr int32_t SCALESTEP = 5;   // percent per point of strength that a scale moves a month

// Whether one point of p's veyrance can still change the land: a foreign
// veyrance is weakened, an uncovered land claimed, p's own raised to cap.
bool takes(const Land& l, int32_t p, int32_t cap) { return l.veyowner != p || l.veystr < cap; }

// One point of p's veyrance spent in the land.
void step(Land& l, int32_t p) {
  if (l.veyowner == p) {
    l.veystr++;
  } else if (l.veyowner < 0 || l.veystr <= 0) {
    l.veyowner = int8_t(p);
    l.veystr = 1;
  } else if (--l.veystr <= 0) {
    l.veystr = 0;
    l.veyowner = -1;
  }
}

// The source's steps go, one at a time, to the nearest land (its own
// first, then outward by neighbours, in neighbour order) that can still
// take one. Steps that find no such land are lost.
void spread(const VeySource& s, int32_t p, int32_t cap, std::vector<int32_t>& seen, int32_t mark) {
  int32_t points = veysteps(s.points, turn);
  if (points <= 0) return;
  std::vector<int32_t> queue{s.land};
  seen[size_t(s.land)] = mark;
  for (size_t at = 0; at < queue.size() && points > 0; at++) {
    const int32_t lnr = queue[at];
    Land& l = land[size_t(lnr)];
    while (points > 0 && takes(l, p, cap)) {
      step(l, p);
      points--;
    }
    for (int32_t n = 0; n < MAXNEIGHBOURS; n++) {
      const int32_t nb = provgeo[size_t(lnr)].nbr[n];
      if (nb < 1) break;
      if (nb > nbrlands || nb >= MAXLANDS || seen[size_t(nb)] == mark) continue;
      seen[size_t(nb)] = mark;
      queue.push_back(nb);
    }
  }
}

void turnscales(int32_t lnr) {
  Land& l = land[size_t(lnr)];
  const int32_t p = l.veyowner;
  if (!godplayer(p) || l.veystr < 1) return;
  for (int32_t s = 0; s < 6; s++) {
    const int32_t want = veyrec[size_t(p)].scale[s];
    if (l.scale[s] == want || rnd(100) >= l.veystr * SCALESTEP) continue;
    l.scale[s] = int8_t(l.scale[s] + (want > l.scale[s] ? 1 : -1));
  }
}
}  // namespace

void veyrancephase() {
  std::vector<int32_t> seen(MAXLANDS, 0);
  int32_t mark = 0;
  for (int32_t p = 0; p < MAXPLAYERS; p++) {
    if (!activeplayer(p) || !godplayer(p)) continue;
    // A land takes the nation's veyrance up to the nation's strength.
    const int32_t cap = imax(veyrate(p), 1);
    for (const VeySource& s : veysources(p)) spread(s, p, cap, seen, ++mark);
  }
  for (int32_t l = 1; l <= nbrlands; l++) turnscales(l);
}
