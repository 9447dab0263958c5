// The conversion points of a nation's veyrance sources.
#include "world/veyrates.h"

#include "runtime/util.h"
#include "world/gamedata.h"
#include "world/rules.h"
#include "world/units.h"
#include "world/world.h"

namespace {
int32_t lastland() { return imin(imax(nbrlands, 0), MAXLANDS - 1); }

// The land where the commander stands when its body lives there and serves
// the player, else 0.
int32_t sourceland(int32_t cnr, int32_t player) {
  const int32_t b = combody(cnr);
  if (b < 0) return 0;
  const Unit& u = unit[size_t(b)];
  return u.hp >= 1 && u.owner == player && u.land >= 1 && u.land <= lastland() ? u.land : 0;
}
}  // namespace

int32_t veyrate(int32_t p) {
  if (!godplayer(p)) return 0;
  return imin(imax(getveystr(p), 0), VEYRATEMAX);
}

std::vector<VeySource> veysources(int32_t p) {
  std::vector<VeySource> v;
  if (!godplayer(p)) return v;
  const Kingdom& k = kingdom[size_t(p)];
  const int32_t rate = veyrate(p);
  const bool godalone = getnatattr(p, NA_FIXEDTEMPLERATES) > 0;
  auto add = [&v](int32_t kind, int32_t l, int32_t points) {
    if (l >= 1 && points > 0) v.push_back(VeySource{kind, l, points});
  };
  add(VS_GOD, sourceland(k.w[KW_GOD], p), godalone ? GODALONERATE : 2 * rate + 10);
  if (!godalone) {
    add(VS_PROPHET, sourceland(k.w[KW_PROPHET], p), rate);
    const int32_t home = k.w[KW_HOMELAND];
    if (home >= 1 && home <= lastland() && land[size_t(home)].fortholder == p) add(VS_HOME, home, rate);
  }
  for (int32_t l = 1; l <= lastland(); l++) {
    const Land& ld = land[size_t(l)];
    if (ld.fortholder != p) continue;
    if (!godalone && ld.temple >= 1) add(VS_TEMPLE, l, rate);
    add(VS_VICTORY, l, VICTORYRATE * (ld.vpword & 7));
  }
  return v;
}

int32_t veyconversion(int32_t p, int32_t lnr) {
  int32_t n = 0;
  for (const VeySource& s : veysources(p))
    if (s.land == lnr) n += s.points;
  return n;
}

int32_t veysteps(int32_t points, int32_t month) {
  if (points <= 0 || month < 0) return 0;
  const int64_t p = points, m = month;
  return int32_t((p * (m + 1)) / VEYPOINTSPERSTEP - (p * m) / VEYPOINTSPERSTEP);
}

VeyRates veyrates(int32_t p) {
  VeyRates r;
  if (p < 0 || p >= MAXPLAYERS) return r;
  r.temples = nbroftemples(p);
  for (int32_t l = 1; l <= lastland(); l++) r.converted += land[size_t(l)].veyowner == p && land[size_t(l)].veystr > 0;
  r.rate = veyrate(p);
  for (const VeySource& s : veysources(p)) r.points[s.kind] += s.points;
  return r;
}
