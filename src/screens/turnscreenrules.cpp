// The rules behind the main turn screen: the commanders whose cards it
// shows and how many fit, the page that shows a commander, the
// season text, the scout report's width and the province features of the
// right column. No window: the screen (turnscreen.cpp) draws what these
// return.
#include <cstring>

#include "gfx/gui.h"
#include "mapview/overlay.h"
#include "runtime/fatal.h"
#include "runtime/trs.h"
#include "runtime/util.h"
#include "screens/orders.h"
#include "screens/screens.h"
#include "screens/turnscreen.h"
#include "world/forts.h"
#include "world/gamedata.h"
#include "world/magic.h"
#include "world/provinfo.h"
#include "world/rules.h"
#include "world/hoststate.h"
#include "world/units.h"
#include "world/world.h"

namespace {
constexpr const char* monthnames[12] = {"Early Spring", "Spring",     "Late Spring", "Early Summer",
                                        "Summer",       "Late Summer", "Early Fall", "Fall",
                                        "Late Fall",    "Early Winter", "Winter",    "Late Winter"};

bool holdscastle(int32_t k, int32_t l) { return land[size_t(l)].fortholder == k; }
}  // namespace

bool comalivein(int32_t c, int32_t k, int32_t l) {
  const int32_t b = combody(c);
  return b >= 0 && unit[size_t(b)].hp >= 1 && unit[size_t(b)].owner == k && (l < 0 || unit[size_t(b)].land == l);
}

float cardscale(float preference, int32_t commanders) {
  if (preference < 0.5f || preference > 1.5f) return commanders < 6 ? 1.2f : 1.0f;
  return preference;
}

void cardlimits(float s, int32_t* rows, int32_t* cols) {
  if (s > 1.399f) *rows = 4, *cols = 3;
  else if (s > 1.199f) *rows = 5, *cols = 3;
  else if (s > 0.999f) *rows = 6, *cols = 4;
  else if (s > 0.899f) *rows = 7, *cols = 4;
  else if (s > 0.799f) *rows = 8, *cols = 4;
  else if (s > 0.699f) *rows = 9, *cols = 5;
  else *rows = 10, *cols = 6;
}

std::vector<int32_t> provincecards(int32_t k, int32_t l) {
  std::vector<int32_t> out;
  for (int32_t c = 0; c <= highestcom && c < MAXCOMS; c++)
    if (comalivein(c, k, l)) out.push_back(c);
  return out;
}

int32_t scoutrows(int32_t k, int32_t l) {
  const int32_t scout = findscoutmsg(k, l);
  if (scout < 0) return 0;
  int32_t rows = 0;
  scoutwidth(message[size_t(scout)].text, &rows);
  return rows;
}

void cardgrid(int32_t count, float s, int32_t reportrows, int32_t* rows, int32_t* cols) {
  int32_t maxrows = 0, maxcols = 0;
  cardlimits(s, &maxrows, &maxcols);
  if (reportrows > 0) maxrows = imax(1, maxrows - (reportrows + 3) / 4);
  *cols = imin(maxcols, (imax(count, 0) + maxrows - 1) / maxrows);
  *rows = imin(maxrows, (imax(count, 0) + imax(*cols, 1) - 1) / imax(*cols, 1));
}

int32_t focusoffset(int32_t c, int32_t count, float s, int32_t reportrows) {
  int32_t rows = 0, cols = 0;
  cardgrid(count, s, reportrows, &rows, &cols);
  for (int32_t offset = 0; offset < count; offset++)
    if (comvisible(c, offset, rows * cols) == 1) return offset;
  return 0;
}

void seasonhint(char* out, int32_t size, int32_t t) {
  const int32_t month = ((t % 12) + 12) % 12;
  if (t <= 11) formatbounded(out, size, "%s in the first year of the oruvane wars", monthnames[month]);
  else formatbounded(out, size, "%s in the year %d of the oruvane wars", monthnames[month], t / 12 + 1);
}

float scoutwidth(const char* text, int32_t* rows) {
  std::vector<textrow> r(64);
  const int32_t length = int32_t(strnlen(text, MSGTEXTLEN));
  for (float w : {220.0f, 320.0f, 420.0f}) {
    const int32_t n = wraptext(text, length, (w - 4) / 15, r.data(), 64);
    if (n < 5) {
      *rows = imax(n, 1);
      return w;
    }
  }
  *rows = imax(1, wraptext(text, length, 496.0f / 15, r.data(), 64));
  return 500;
}

std::vector<ColumnFeature> provincefeatures(int32_t k, int32_t l, int32_t info) {
  const Land& ld = land[size_t(l)];
  std::vector<ColumnFeature> features;
  auto add = [&](int32_t id, int32_t file, int32_t icon, const char* text, const char* hint) {
    ColumnFeature f{id, file, icon, {}, {}};
    strlcopy(f.text, text, sizeof f.text);
    strlcopy(f.hint, hint ? hint : "", sizeof f.hint);
    features.push_back(f);
  };
  if (ld.fort > 0 && (info & INFO_NAME)) add(TS_FORT, TRS_MISC, ICON_FORT, "Fortification", "(f) Fort statistics");
  if (holdscastle(k, l) && ld.lab)
    add(TS_LAB, TRS_MISC2, SPRITE2_LAB, "Laboratory",
        "(l) Arcane laboratory, (F5) research, (F6) global enchantments, (F7) resources, (F8) items");
  if (ld.temple && (info & INFO_NAME)) {
    const int32_t pic = getnatattr(ld.fortholder, NA_TEMPLEPIC);
    bailif(pic > 1000, "bad templepic");
    const bool mine = holdscastle(k, l);
    // A picture that the temple archive lacks (a mod's number): the map's temple.
    const bool drawn = spritepresent(TRS_TEMPLES, pic);
    add(mine ? TS_TEMPLE : 0, drawn ? TRS_TEMPLES : TRS_MISC, drawn ? pic : ICON_TEMPLE, "Temple",
        "(o) Temple and veyrance statistics");
  }
  if (info & INFO_SITES)
    for (int32_t s = 0; s < 4; s++) {
      const int32_t site = ld.site[s];
      if (site < 1 || site >= MAXSITES || !ld.sitefound[s]) continue;
      char hint[200];
      if (holdscastle(k, l)) formatbounded(hint, sizeof hint, "View magic site: %s", sites[size_t(site)].name);
      else strlcopy(hint, "Magic site", sizeof hint);
      const int32_t path = imin(imax(sites[size_t(site)].path, 0), 8);
      add(TS_SITE + s, TRS_MISC, SPRITE_SITE + 3 * path + imin(sites[size_t(site)].level, 2), sites[size_t(site)].name, hint);
    }
  for (int32_t e = 0; e <= highestench && e < MAXENCH; e++) {
    const Ench& en = ench[size_t(e)];
    if (en.kind <= 0 || en.owner != k || en.land != l) continue;
    const char* name = en.spell > 0 && en.spell < MAXSPELLS ? spells[size_t(en.spell)].name : "Enchantment";
    char hint[200];
    formatbounded(hint, sizeof hint, "View enchantment: %s", name);
    add(TS_ENCHANTMENT + e, TRS_MISC, SPRITE_ENCHANTMENT, name, hint);
  }
  return features;
}
