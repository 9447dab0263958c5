// Land and kingdom values, player status, era counts, type magic and the
// random undead types.
#include <cstring>
#include "runtime/fatal.h"
#include "runtime/rnd.h"
#include "runtime/util.h"
#include "world/rules.h"

int32_t allowednationsonly = 0;
uint8_t allowednation[95];

int32_t nbroftemples(int32_t player) {
  int32_t n = 0;
  const int32_t top = nbrlands < MAXLANDS ? nbrlands : MAXLANDS - 1;
  for (int32_t l = 1; l <= top; l++)
    if (land[l].fortholder == player && land[l].temple >= 1) n++;
  return n;
}

int32_t getveystr(int32_t player) {
  bailif(player < 0 || player > 99, "getveystr: bad player");
  if (player >= 23 && player <= 25) return 0;
  const int32_t temples = nbroftemples(player) / 5;
  // A player without a living god keeps the temple term.
  const int32_t god = kingdom[player].w[KW_GOD];
  if (god < 0 || god >= MAXCOMS) return temples;
  return temples + com[god].veyvalue;
}

int32_t godpathlevel(int32_t player, int32_t path) {
  if (!godplayer(player) || path < 0 || path > 8) return 0;
  return kingdom[player].godpath[path];
}

int32_t countfoundsites(int32_t lnr) {
  if (lnr < 1 || lnr > nbrlands || lnr >= MAXLANDS) return 0;
  int32_t n = 0;
  for (int32_t s = 0; s < 4 && land[lnr].site[s] >= 1; s++)
    if (land[lnr].sitefound[s]) n++;
  return n;
}

int32_t isingame(int32_t player) {
  if (player < 0 || player > 94) return 0;
  const uint16_t c = uint16_t(kingdom[player].w[KW_CONTROLLER]);
  return c == CTRL_HUMAN || c == CTRL_AI;
}

int32_t isparticipant(int32_t player) {
  if (player < 0 || player > 94) return 0;
  const uint16_t c = uint16_t(kingdom[player].w[KW_CONTROLLER]);
  return c == CTRL_HUMAN || c == CTRL_AI || c == CTRL_WAS1 || c == CTRL_WAS2;
}

int32_t recmercs(int32_t player, int32_t band) {
  bailif(player < 0, "recmercs: bad p");
  if (player >= MAXKINGDOMS) return 0;
  int32_t n = 0;
  for (int32_t i = 0; i < 5; i++)
    if (kingdom[player].w[KW_MERCPAY + i] > 0 && (band == -1 || kingdom[player].w[KW_MERCBAND + i] == band)) n++;
  return n;
}

namespace {
bool freenation(int32_t n) { return int16_t(nations[n].endmarker & 0xFFFF) == NATION_FREEMARK; }
}  // namespace

int32_t nationsinera(int32_t era) {
  int32_t count = 0;
  for (int32_t n = 0; n < MAXNATIONS; n++) {
    if (freenation(n) || nations[n].era != era) continue;
    if (n >= 23 && n <= 25) continue;
    bool shadowed = false;
    for (int32_t m = n + 1; m < MAXNATIONS && !shadowed; m++)
      shadowed = !freenation(m) && nations[m].era == era && strcasecmp(nations[m].name, nations[n].name) == 0;
    if (shadowed) continue;
    if (allowednationsonly && !allowednation[n]) continue;
    count++;
    debugprint("era %d ok %d for %s\n", era, count, nations[n].name);
  }
  return count;
}

int32_t gettypemagic(int32_t mnr, int32_t path) {
  int32_t sum = 0;
  for (int32_t i = 0; i < MAXTYPEMAGIC && typemagic[i].type >= 0; i++) {
    const TypeMagic& t = typemagic[i];
    if (t.type != mnr) continue;
    if ((path == 53 && t.path <= 127 && t.path != 8) || (path == 55 && t.path <= 127) ||
        (path == 57 && t.path > 127))
      sum += t.level;
    else if (t.path == path)
      return t.level;
  }
  return sum;
}

namespace {
bool culture(int32_t n, std::initializer_list<int32_t> set) {
  for (int32_t c : set)
    if (c == n) return true;
  return false;
}
// One of two types: the first when rnd(100) < 70.
int32_t pick70(int32_t a, int32_t b) { return rnd(100) < 70 ? a : b; }
}  // namespace

int32_t randsoulless(int32_t n, int32_t lnr, int32_t chance, int32_t warriorchance, int32_t amount) {
  // Callers always pass a province; anything else spends no corpses.
  int16_t scratch[2] = {0, 0};
  int16_t* corpses = lnr >= 0 && lnr < MAXLANDS ? land[lnr].corpses : scratch;
  const int32_t r = rnd(100);
  const bool warrior = (r < warriorchance && corpses[1] > 0) || corpses[0] < corpses[1];
  int32_t def;
  if (warrior) {
    corpses[1] = int16_t(imax(0, corpses[1] - amount));
    def = pick70(914, 915);
  } else {
    corpses[0] = int16_t(imax(0, corpses[0] - amount));
    def = 197;
  }
  if (rnd(100) >= chance) return def;
  if (culture(n, {17, 42, 63}) && rnd(100) < 50) return warrior ? pick70(916, 917) : 315;
  if (culture(n, {9, 38, 59})) return warrior ? 918 : 317;
  if (culture(n, {21, 46, 66})) return warrior ? pick70(919, 920) : 318;
  if (culture(n, {22, 47, 67})) return warrior ? 919 : 318;
  if (culture(n, {10, 39, 60})) return warrior ? pick70(921, 922) : 319;
  if (culture(n, {18, 43, 64, 68})) {
    const int32_t x = rnd(7);
    if (x <= 1) return warrior ? pick70(1717, 1718) : 1716;
    if (x <= 4) return warrior ? pick70(1725, 1726) : 1724;
    return 1731;
  }
  return def;
}

int32_t randlongdead(int32_t n, int32_t chance) {
  const int32_t def = 191 + rnd(6);
  if (rnd(100) >= chance) return def;
  if (culture(n, {17, 42, 63}) && rnd(100) < 50) return 316;
  if (culture(n, {1, 28, 50})) return rnd(4) < 2 ? 186 + rnd(2) : 1657 + rnd(2);
  if (culture(n, {10, 39, 60})) return 615 + rnd(5);
  if (culture(n, {45, 20}) && rnd(100) < 50) return 2041 + rnd(4);
  if (culture(n, {18, 43, 64, 68})) {
    const int32_t x = rnd(7);
    if (x <= 1) return 1720 + rnd(3);
    if (x <= 4) return 1727 + rnd(3);
    return 1732;
  }
  return def;
}

int32_t randghoul(int32_t n, int32_t chance) {
  if (rnd(100) < chance && culture(n, {18, 43, 64, 68})) return 1715;
  return 198;
}
