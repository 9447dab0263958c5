// The rules of battle deployment: the size of a squad's box, the range of
// its place on the field, what a click on the field means, and the short
// texts of commander and squad battle orders.
#include "screens/deployment.h"

#include <algorithm>
#include <cstring>

#include "runtime/fatal.h"
#include "world/gamedata.h"
#include "world/units.h"

namespace {
// The smallest integer whose square is at least n, capped at 10000.
int32_t rootup(int32_t n) {
  int32_t s = 0;
  while (s < 10000 && s * s < n) s++;
  return s;
}

void add(char* buf, const char* text) {
  const size_t used = strlen(buf);
  if (used + 1 < size_t(ORDERTEXTSIZE)) strncat(buf, text, size_t(ORDERTEXTSIZE) - used - 1);
}

const char* targettext(int32_t target, bool commander) {
  switch (target) {
    case 1: return "commanders ";
    case 2: return "archers ";
    case 3: return "cavalry ";
    case 4: return "fliers ";
    case 5: return "closest ";
    case 7: return "magic users ";
    case 8: return commander ? "large monsters " : "monsters ";
    case 9: return "rear ";
    default: return "";
  }
}
}  // namespace

int32_t squadside(int32_t total) { return std::max<int32_t>(2, rootup(std::max<int32_t>(0, total) / 6 + 1)); }

void enfpos(int32_t c, int32_t slot) {
  bailif(slot >= 5 || c < 0 || c >= MAXCOMS, "enfpos");
  Commander& cm = com[size_t(c)];
  if (slot < 0) {
    cm.ownx = int8_t(std::clamp<int32_t>(cm.ownx, -8, 9));
    cm.owny = int8_t(std::clamp<int32_t>(cm.owny, -8, 9));
    return;
  }
  int32_t lo = -8, hi = 9;
  if (cm.squad[slot] != -1) {
    const int32_t h = squadside(squadtotalsize(cm.squad[slot])) / 2;
    lo = h - 9;
    hi = 10 - h;
  }
  // Raised to the lower bound, then lowered to the upper one (a box wider
  // than the field ends at the upper bound), never off the field.
  auto bring = [lo, hi](int8_t v) { return int8_t(std::clamp<int32_t>(std::min(std::max<int32_t>(v, lo), hi), -10, 10)); };
  cm.sqx[slot] = bring(cm.sqx[slot]);
  cm.sqy[slot] = bring(cm.sqy[slot]);
}

void fieldclickplace(float px, float py, float w, float h, int32_t* x, int32_t* y) {
  *x = w > 0 ? int32_t(20.0f * float(int32_t(px)) / w) - 10 : 0;
  *y = h > 0 ? int32_t(20.0f * float(int32_t(h - py)) / h) - 10 : 0;
}

void comscripttext(int32_t c, char* buf) {
  buf[0] = 0;
  if (c < 0 || c >= MAXCOMS) return;
  for (int16_t s : com[size_t(c)].roundspell) {
    if (s == -1) break;
    if (s > 0) {
      char name[16] = {};
      if (s < MAXSPELLS) strncpy(name, spells[size_t(s)].name, 12);
      else debugprint("***** Warning: bad spellnr %d\n", s);
      add(buf, "(");
      add(buf, name);
      add(buf, ")");
    } else if (s == 0) {
      add(buf, "(cast)");
    } else if (s == -2) {
      add(buf, "(change shape)");
    } else if (s == -3) {
      add(buf, "(hold)");
    } else if (s == -4) {
      add(buf, "(fire)");
    } else if (s == -5) {
      add(buf, "(attack)");
    }
  }
}

void combattleordertext(int32_t c, char* buf) {
  buf[0] = 0;
  if (c < 0 || c >= MAXCOMS) return;
  const Commander& cm = com[size_t(c)];
  const int32_t o = cm.batorder;
  switch (o) {
    case 1: add(buf, "Attack "); break;
    case 2: add(buf, "Fire "); break;
    case 3: add(buf, "Fly atk "); break;
    case 9: add(buf, "Fire "); break;
    case 5: add(buf, "Spells "); break;
    case 7: add(buf, "Retreat "); break;
    case 10: add(buf, "Stay behind troops"); break;
    default: break;
  }
  if (o == 1 || o == 2 || o == 3 || o == 9) add(buf, targettext(cm.battarget, true));
  if (o == 9) add(buf, "and flee ");
  if (!buf[0]) add(buf, "<set battle orders>");
}

void comordertext(int32_t c, char* buf) {
  comscripttext(c, buf);
  if (c < 0 || c >= MAXCOMS) return;
  char order[ORDERTEXTSIZE];
  combattleordertext(c, order);
  if (buf[0]) {
    add(buf, " ");
    if (strcmp(order, "<set battle orders>") != 0) add(buf, order);
  } else {
    add(buf, order);
  }
}

void squadordertext(int32_t c, int32_t slot, char* buf) {
  buf[0] = 0;
  if (c < 0 || c >= MAXCOMS || slot < 0 || slot > 4) return;
  const Commander& cm = com[size_t(c)];
  const int32_t o = cm.sqorder[slot];
  switch (o) {
    case 1: add(buf, "Attack "); break;
    case 2: add(buf, "Fire "); break;
    case 3: add(buf, "Fly atk "); break;
    case 5: add(buf, "Spells "); break;
    case 7: add(buf, "Retreat "); break;
    case 6: add(buf, "Hold and Attack "); break;
    case 4: add(buf, "Guard commander "); break;
    case 9: add(buf, "Fire and Flee"); break;
    default: add(buf, "<set battle orders>"); return;
  }
  if (o == 1 || o == 2 || o == 3) add(buf, targettext(cm.sqtarget[slot], false));
  if (!buf[0]) add(buf, "<set battle orders>");
}
