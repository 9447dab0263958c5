// Epithets of pretender gods.
#include "world/epithets.h"

#include <cstring>

#include "runtime/fatal.h"
#include "runtime/rnd.h"
#include "runtime/util.h"
#include "world/gamedata.h"
#include "world/rules.h"
#include "world/units.h"
#include "world/world.h"

namespace {
constexpr int32_t MAXCHOSEN = 10;
constexpr int32_t NGROUPS = 20;
// Tries after which a god with at least one title keeps what it has.
constexpr int32_t TRYLIMIT = 20000;
uint8_t groupused[NGROUPS];

int32_t groupof(int32_t v) { return imax(0, imin(NGROUPS - 1, v)); }

bool flagreq(uint32_t flags, uint32_t bit, int32_t v) {
  if (v == 1) return (flags & bit) != 0;
  if (v == 0) return (flags & bit) == 0;
  return true;
}

const char* titleword(int32_t n, bool female) {
  static constexpr const char* imperial[2][4] = {{"God", "Lord", "Emperor", "Minister"},
                                                 {"Goddess", "Lady", "Empress", "Minister"}};
  static constexpr const char* royal[2][4] = {{"God", "Lord", "King", "Prince"},
                                              {"Goddess", "Lady", "Queen", "Princess"}};
  const int32_t k = rnd(4);
  return (n == 5 || n == 34 || n == 55) ? imperial[female][k] : royal[female][k];
}

int32_t countepithets() {
  for (int32_t e = 0; e < MAXEPITHETS; e++)
    if (!strcmp(epithets[e].text, "end")) return e;
  return -1;
}
}  // namespace

int32_t epitetimp(int32_t e) {
  if (e < 0 || e >= MAXEPITHETS) return 0;
  int32_t imp = 0;
  for (int32_t i = 0; i < EPITHETREQS; i++) {
    const int32_t k = epithets[e].reqkind[i], v = epithets[e].reqval[i];
    if (k == 1 || (k >= 1000 && k <= 1007)) imp += v;
    else if (k == 3) imp += 2;
    else if (k == 1051 || k == 1052) imp += 4 * v;
    else if (k == 1053) imp += 8 * v;
  }
  return imp;
}

int32_t epitetok(int32_t e, int32_t g, int32_t n) {
  bailif(g < 0 || g >= MAXCOMS, "epitetok: bad cnr");
  bailif(e < 0 || e >= MAXEPITHETS, "epitetok: bad epnr");
  if (g < 0 || g >= MAXCOMS || e < 0 || e >= MAXEPITHETS) return 0;
  const int32_t u = com[g].body;
  bailif(u < 0 || u >= MAXUNITS, "epitetok: bad unr");
  if (u < 0 || u >= MAXUNITS) return 0;
  const int32_t p = unit[u].owner;
  bailif(p < 0 || p >= MAXPLAYERS, "epitetok: bad player");
  if (p < 0 || p >= MAXPLAYERS) return 0;
  const uint32_t flags = unittypeflags(u);
  auto levels = [&](int32_t from, int32_t to, int32_t v) {
    for (int32_t k = from; k <= to; k++)
      if (getcommagic(g, k) < v) return false;
    return true;
  };
  for (int32_t i = 0; i < EPITHETREQS; i++) {
    const int32_t k = epithets[e].reqkind[i], v = epithets[e].reqval[i];
    bool met = true;
    switch (k) {
      case 0: break;
      case 1: met = com[g].veyvalue >= v; break;
      case 2: met = flagreq(flags, MF_FEMALE, v == 1 ? 0 : v == 0 ? 1 : v); break;
      case 3: met = n == v; break;
      case 4:
        met = !groupused[groupof(v)];
        groupused[groupof(v)] = 1;
        break;
      case 5: met = getability(u, AB_FEAR, 1) >= v; break;
      case 6: met = getability(u, AB_AWE, 1) >= v; break;
      case 7: met = getstr(u) >= v; break;
      case 11: met = flagreq(flags, MF_UNDEAD, v); break;
      case 12: met = flagreq(flags, MF_DEMON, v); break;
      case 14: met = flagreq(flags, MF_IMMORTAL, v); break;
      case 15: met = flagreq(flags, MF_IMMOBILE, v); break;
      case 16: met = flagreq(flags, MF_INANIMATE, v); break;
      case 1051: met = levels(0, 3, v); break;
      case 1052: met = levels(4, 7, v); break;
      case 1053: met = levels(0, 7, v); break;
      default:
        if (k >= 1000 && k <= 1007) met = getcommagic(g, k - 1000) >= v;
        else if (k >= 2000 && k <= 2005) met = veyrec[p].scale[k - 2000] >= v;
        else if (k >= 2100 && k <= 2105) met = veyrec[p].scale[k - 2100] <= -v;
        break;
    }
    if (!met) return 0;
  }
  return 1;
}

int32_t ge(int32_t n, int32_t g) {
  bailif(g < 0 || g >= MAXCOMS, "ge: bad cnr");
  if (g < 0 || g >= MAXCOMS) return 0;
  const int32_t u = com[g].body;
  bailif(u < 0 || u > highestunit || u >= MAXUNITS, "ge: bad unr");
  if (u < 0 || u >= MAXUNITS) return 0;
  bailif(unit[u].type < 0, "ge: bad mnr");
  const int32_t p = unit[u].owner;
  bailif(p > 94 || p < 0, "ge: bad player");
  if (p > 94 || p < 0) return 0;
  int32_t chosen[MAXCHOSEN];
  for (int32_t& c : chosen) c = -1;
  memset(groupused, 0, sizeof groupused);
  const int32_t count = countepithets();
  bailif(count < 0, "ge: bang");
  char* out = veyrec[p].text;
  out[0] = 0;
  if (count < 1) {
    strlcopy(out, "Ruler of nothing", EPITHETTEXTLEN);
    return 1;
  }
  const bool female = (unittypeflags(u) & MF_FEMALE) != 0;
  const int32_t vv = com[g].veyvalue;
  const int32_t x = vv + rnd(3);
  const int32_t wanted = x <= 1 ? 1 : (vv + rnd(3)) / 2;
  int32_t minimp = vv;
  int32_t c = 0;
  for (int32_t t = 0;; t++) {
    const int32_t e = rnd(count);
    bool fresh = true;
    for (int32_t i = 0; i < c; i++)
      if (chosen[i] == e) fresh = false;
    if (epitetimp(e) >= minimp && fresh && epitetok(e, g, n)) {
      for (int32_t i = 0; i < EPITHETREQS; i++)
        if (epithets[e].reqkind[i] == 4) groupused[groupof(epithets[e].reqval[i])] = 1;
      const char* text = epithets[e].text;
      const char* word = titleword(n, female);
      char title[EPITHETTEXTLEN * 2];
      const size_t len = strnlen(text, EPITHETLEN);
      if (text[0] == '#') {
        formatbounded(title, sizeof title, "%s%.*s", word, int(len) - 1, text + 1);
      } else if (len > 0 && text[len - 1] == '#') {
        formatbounded(title, sizeof title, "%.*s%s", int(len) - 1, text, word);
      } else {
        formatbounded(title, sizeof title, "%.*s", int(len), text);
      }
      if (title[0] == '!') {
        char rest[sizeof title];
        strlcopy(rest, title + 1, sizeof rest);
        formatbounded(title, sizeof title, "%s%s", female ? "She" : "He", rest);
      }
      char joined[EPITHETTEXTLEN];
      if (c == 0)
        strlcopy(joined, title, sizeof joined);
      else if (epitetimp(e) < 9)
        formatbounded(joined, sizeof joined, "%s, %s", out, title);
      else
        formatbounded(joined, sizeof joined, "%s, %s", title, out);
      strlcopy(out, joined, EPITHETTEXTLEN);
      chosen[c++] = e;
      minimp--;
      if (c >= MAXCHOSEN) return c;
    }
    if (t % 8 == 0) {
      minimp--;
      debugprint("k%d tries%d minimp%d\n", c, t, minimp);
    }
    if (c == 0 && t > 10000) {
      strlcopy(out, "Ruler of nothing", EPITHETTEXTLEN);
      return 1;
    }
    if (c > 0) {
      if (c >= wanted) return c;
      if (t > 149 && c >= wanted - 1) return c;
      if (t > 249 && c >= wanted - 2) return c;
      if (t > TRYLIMIT) return c;
    }
  }
}
