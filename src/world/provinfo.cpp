// Province information levels, province defence purchase, selection lists.
#include "world/provinfo.h"

#include "runtime/fatal.h"
#include "runtime/util.h"
#include "world/gamedata.h"
#include "world/magic.h"
#include "world/rules.h"
#include "world/scores.h"
#include "world/units.h"
#include "world/world.h"

int32_t gamewinner = 255;
SelectList selectedcoms, selectedunits;

namespace {
int32_t infoguard = 0;

// What each source grants.
constexpr uint32_t GRANT_OWNER = INFO_NAME | INFO_GROUP2 | INFO_ECONOMY | INFO_TAX | INFO_SITES | INFO_GROUP40 |
                                 INFO_VEYRANCE | INFO_NAMEFORNEXT | INFO_DEFENCE;
constexpr uint32_t GRANT_FORTHOLDER = INFO_NAME | INFO_GROUP2 | INFO_GROUP4 | INFO_ECONOMY | INFO_TAX | INFO_SITES |
                                      INFO_GROUP40 | INFO_VEYRANCE;
// The Eyes of God, and where the player is also the veyrance owner.
constexpr uint32_t GRANT_EYESOFGOD = INFO_NAME | INFO_GROUP2 | INFO_ECONOMY | INFO_SITES | INFO_VEYRANCE;
constexpr uint32_t GRANT_EYESOFGOD_OWNVEYRANCE = GRANT_EYESOFGOD | INFO_GROUP4 | INFO_DEFENCE;
constexpr uint32_t GRANT_ASTRAL = INFO_NAME | INFO_GROUP2 | INFO_GROUP4 | INFO_ECONOMY | INFO_TAX | INFO_SITES |
                                  INFO_GROUP40 | INFO_DEFENCE;
constexpr uint32_t GRANT_VEYOWNER = INFO_NAME | INFO_GROUP2 | INFO_ECONOMY | INFO_GROUP40 | INFO_VEYRANCE;
constexpr uint32_t GRANT_VISITOR = INFO_NAME | INFO_GROUP2 | INFO_GROUP4 | INFO_GROUP40 | INFO_GROUP100 |
                                   INFO_NAMEFORNEXT;
constexpr uint32_t GRANT_SPY = INFO_ECONOMY | INFO_TAX | INFO_SITES | INFO_NAMEFORNEXT | INFO_DEFENCE;
static_assert(GRANT_OWNER == 0xAFB && GRANT_FORTHOLDER == 0xFF && GRANT_EYESOFGOD == 0xAB &&
              GRANT_EYESOFGOD_OWNVEYRANCE == 0x8AF && GRANT_ASTRAL == 0x87F && GRANT_VEYOWNER == 0xCB &&
              GRANT_VISITOR == 0x347 && GRANT_SPY == 0xA38);

// The veyrance owner counts only while the veyrance has strength.
int32_t veyownerof(int32_t l) { return land[l].veystr > 0 ? land[l].veyowner : -1; }

bool livingcomin(int32_t c, int32_t l, int32_t p) {
  const int32_t b = combody(c);
  return b >= 0 && unit[b].hp > 0 && unit[b].owner == p && unit[b].land == l;
}
}  // namespace

int32_t cominland(int32_t l, int32_t p) {
  int32_t r = 0;
  for (int32_t c = 0; c <= highestcom && c < MAXCOMS; c++) {
    if (!livingcomin(c, l, p)) continue;
    r = 1;
    if (getitemfx(c, AB_SPY, 0) > 0) return 2;
  }
  return r;
}

int32_t infolevel(int32_t l, int32_t p, int32_t nested) {
  bailif(l < 0 || l > 1504, "infolevel: bad lnr");
  if (l < 0 || l >= MAXLANDS || p < 0 || l == 0) return 0;
  if (gamewinner != 255) return -1;
  int32_t start = 0;
  if (!nested)
    for (int32_t c = 0; c <= highestcom && c < MAXCOMS; c++)
      if (livingcomin(c, l, p) && (getcommagic(c, P_DEATH) > 0 || reanimatelevel(c) != 0 || callspiritslevel(c) != 0)) {
        start = INFO_CORPSES;
        break;
      }
  const Land& ld = land[l];
  if (ld.owner == p) return start | int32_t(GRANT_OWNER);
  int32_t v = start;
  if (ld.fortholder == p) v |= GRANT_FORTHOLDER;
  if (findench(EN_EYESOFGOD, -1, p) >= 0) v |= veyownerof(l) == p ? GRANT_EYESOFGOD_OWNVEYRANCE : GRANT_EYESOFGOD;
  if (findench(EN_ASTRALWINDOW, l, p) >= 0 || findench(EN_ASTRALPROJECTION, l, p) >= 0) v |= GRANT_ASTRAL;
  if (veyownerof(l) == p) v |= GRANT_VEYOWNER;
  const int32_t c = cominland(l, p);
  if (c > 0) v |= GRANT_VISITOR;
  if (c == 2) v |= GRANT_SPY;
  if (infoguard || ((v & INFO_VEYRANCE) && (v & INFO_NAME))) return v;
  infoguard = 1;
  for (int32_t i = 0; i < MAXNEIGHBOURS; i++) {
    const int32_t n = provgeo[l].nbr[i];
    if (n < 1) break;
    if (n >= MAXLANDS) continue;
    if (infolevel(n, p, 1) & INFO_NAMEFORNEXT) v |= INFO_NAME;
    if (veyownerof(n) == p) v |= INFO_VEYRANCE;
  }
  infoguard = 0;
  return v;
}

void cacheinfolevels(int32_t p, int32_t nested) {
  for (int32_t l = 1; l <= nbrlands && l < MAXLANDS; l++) land[l].infolevel = int16_t(infolevel(l, p, nested));
}

int32_t canbuydefence(int32_t n, int32_t l) {
  if (l < 0 || l >= MAXLANDS) return 0;
  if (!(provgeo[l].terrain & TM_SEA) || isuwnation(n)) return 1;
  return getnatattr(n, NA_UWDEFENCE) > 0 ? 1 : 0;
}

int32_t provdefsteps(int32_t p, int32_t l) {
  if (l < 0 || l >= MAXLANDS || p < 0 || p >= MAXKINGDOMS) return 0;
  const Land& ld = land[l];
  if (ld.owner != p || ld.fortholder != p || !canbuydefence(p, l)) return 0;
  const int32_t d = ld.provdef;
  int32_t steps = PD_BUY;
  if (d < kingdom[p].gold && d < 125) steps |= PD_RAISE;
  if (d > ld.small[1]) steps |= PD_LOWER;
  return steps;
}

int32_t stepprovdef(int32_t p, int32_t l, int32_t step) {
  const int32_t allowed = provdefsteps(p, l);
  if (step == 1 && (allowed & PD_RAISE)) {
    const int32_t d = land[l].provdef;
    land[l].provdef = uint8_t(d + 1);
    kingdom[p].gold -= d + 1;
    return 1;
  }
  if (step == -1 && (allowed & PD_LOWER)) {
    const int32_t d = land[l].provdef;
    kingdom[p].gold += d;
    land[l].provdef = uint8_t(d - 1);
    return 1;
  }
  return 0;
}

void clearselections() {
  selectedcoms.last = -1;
  selectedunits.last = -1;
}

int32_t selectcom(int32_t c) {
  for (int32_t i = 0; i <= selectedcoms.last; i++)
    if (selectedcoms.nr[i] == c) return i;
  if (getitemfx(c, AB_FIXEDORDER, 1) > 0 || selectedcoms.last >= SELECTSIZE - 1) return -1;
  selectedcoms.nr[++selectedcoms.last] = c;
  return selectedcoms.last;
}

int32_t findselectedunit(int32_t u) {
  for (int32_t i = 0; i <= selectedunits.last; i++)
    if (selectedunits.nr[i] == u) return i;
  return -1;
}

int32_t selectunit(int32_t u) {
  if (u < 0 || u >= MAXUNITS) return -1;
  const int32_t at = findselectedunit(u);
  if (at >= 0) return at;
  if (unit[u].homeland == -2) return -1;
  for (int32_t i = 0; i <= selectedunits.last; i++)
    if (selectedunits.nr[i] < 0) {
      selectedunits.nr[i] = u;
      return i;
    }
  if (selectedunits.last >= SELECTSIZE - 1) return -1;
  selectedunits.nr[++selectedunits.last] = u;
  return selectedunits.last;
}

int32_t isqrtceil(int32_t n) {
  if (n <= 0) return 0;
  int64_t r = n >= 625 ? 25 : 0;
  while (r * r < n) r++;
  return int32_t(r);
}
