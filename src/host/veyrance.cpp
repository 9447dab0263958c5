// Veyrance: every god's influence spreads from its temples, from the god's
// own body and from its prophet; it pushes back foreign veyrance and turns
// the scales of the provinces it covers towards the god's own.
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
constexpr int32_t MAXSPREAD = 10;     // strength a province can hold
constexpr int32_t SCALESTEP = 5;      // percent per point of strength that a scale moves a month

// One push of the god's veyrance into the land: its own grows up to the
// source's strength, a foreign one weakens, an empty land is claimed.
void push(int32_t lnr, int32_t p, int32_t strength) {
  if (lnr < 1 || lnr > nbrlands || strength < 1) return;
  Land& l = land[size_t(lnr)];
  if (l.veyowner == p) {
    if (l.veystr < imin(strength, MAXSPREAD)) l.veystr++;
  } else if (l.veyowner < 0 || l.veystr <= 0) {
    l.veyowner = int8_t(p);
    l.veystr = 1;
  } else {
    l.veystr--;
    if (l.veystr <= 0) {
      l.veystr = 0;
      l.veyowner = -1;
    }
  }
}

// A source pushes its land and, while strong enough, spreads outward.
void spread(int32_t lnr, int32_t p, int32_t strength) {
  push(lnr, p, strength);
  int32_t at = lnr;
  for (int32_t s = strength - 1; s >= 1; s--) {
    if (rnd(100) >= 50) break;
    const int32_t n = randneighbour(at);
    if (n < 1) break;
    push(n, p, s);
    at = n;
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
  for (int32_t p = 0; p < MAXPLAYERS; p++) {
    if (!activeplayer(p) || !godplayer(p)) continue;
    const int32_t strength = getveystr(p);
    for (int32_t l = 1; l <= nbrlands; l++)
      if (land[size_t(l)].temple >= 1 && land[size_t(l)].fortholder == p) spread(l, p, strength);
    const int32_t god = kingdom[size_t(p)].w[KW_GOD];
    if (comalive(god) && comland(god) >= 1) spread(comland(god), p, strength + 1);
    const int32_t prophet = kingdom[size_t(p)].w[KW_PROPHET];
    if (comalive(prophet) && complayer(prophet) == p && comland(prophet) >= 1)
      spread(comland(prophet), p, imax(strength - 1, 1));
  }
  for (int32_t l = 1; l <= nbrlands; l++) turnscales(l);
}
