// The deployment field as drawn on the army panel and on the Position Squad
// / Position Commander screen, and that screen itself.
#include <array>
#include <cmath>
#include <cstring>

#include "frontend/frontend.h"
#include "gfx/gfx.h"
#include "gfx/gui.h"
#include "runtime/fatal.h"
#include "screens/deployment.h"
#include "world/gamedata.h"
#include "world/rules.h"
#include "world/units.h"

namespace {
// Summed squad sizes kept while drawing: the panel draws every squad of
// the province once per commander and squad row, every frame.
struct SizeSlot {
  int32_t squad = 0, size = -1;
};
std::array<SizeSlot, 128> sizecache;

// The screen's id for a left click on its plain text, which closes it.
constexpr int32_t SP_PLAINTEXT = 6;

int32_t cachedsquadsize(int32_t squad) {
  SizeSlot& s = sizecache[size_t(squad & 127)];
  if (s.squad != squad || s.size < 0) s = SizeSlot{squad, squadtotalsize(squad)};
  return s.size;
}

// The side of a squad's drawn box: the smallest integer whose square
// reaches its size + 1, capped at 10000.
float drawnside(int32_t size) {
  int32_t s = 0;
  while (s < 10000 && s * s < size + 1) s++;
  return float(s);
}

bool shown(int32_t c, int32_t lnr, int32_t dest, int32_t player) {
  const int32_t b = com[size_t(c)].body;
  if (b < 0 || b >= MAXUNITS || unit[size_t(b)].hp < 1 || unit[size_t(b)].owner != player) return false;
  return dest < 1 ? unit[size_t(b)].land == lnr : comdestination(c) == dest;
}

struct Box {
  float cx, cy, side;
};
}  // namespace

void cleardeploycache() { sizecache.fill(SizeSlot{}); }

void drawdeployfield(int32_t id, int32_t lnr, int32_t dest, int32_t player, int32_t selcom, int32_t selsquad,
                     float x, float y, float w, float h) {
  areabox(id, x, y, w, h, 0.15f, 0.25f, 0.15f, 1);
  const float W = w - 2, H = h - 2;
  auto at = [&](int32_t px, int32_t py, float side) {
    return Box{x + 1 + (0.5f + 0.05f * float(px)) * W, y + 1 + 0.5f * H - float(py) * 0.05f * H, side};
  };
  auto draw = [&](const Box& b, float r, float g, float bl) {
    // Kept inside the field, so that a large squad never covers the panel.
    const float side = std::fmin(b.side, std::fmin(W, H));
    const float bx = std::fmax(x + 1, std::fmin(b.cx - side / 2, x + 1 + W - side));
    const float by = std::fmax(y + 1, std::fmin(b.cy - side / 2, y + 1 + H - side));
    areabox(id, bx, by, side, side, r, g, bl, 1);
  };
  bool selected = false;
  Box sel{};
  for (int32_t c = 0; c <= highestcom && c < MAXCOMS; c++) {
    if (!shown(c, lnr, dest, player)) continue;
    const Commander& cm = com[size_t(c)];
    for (int32_t k = 0; k < 5; k++) {
      if (cm.squad[k] == -1) continue;
      const Box b = at(cm.sqx[k], cm.sqy[k], drawnside(cachedsquadsize(cm.squad[k])) * W / 60);
      if (cm.squad[k] == selsquad) {
        sel = b;
        selected = true;
      } else {
        draw(b, 1.0f, 0.4f, 0.3f);
      }
    }
    const int32_t t = unit[size_t(cm.body)].type;
    const float size = t >= 0 && t < MAXUNITTYPES ? float(unittypes[size_t(t)].size) : 1.0f;
    const Box b = at(cm.ownx, cm.owny, (size + 3) * W / 120);
    if (c == selcom && selsquad == -1) {
      sel = b;
      selected = true;
    } else {
      draw(b, 0.4f, 0.6f, 0.7f);
    }
  }
  if (selected) draw(sel, 1, 1, 1);
}

void setpos(int32_t c, int32_t slot, int32_t dest) {
  debugprint("setpos cnr%d snbr%d\n", c, slot);
  bailif(c < 0 || c >= MAXCOMS, "setpos: bad cnr");
  bailif(slot >= 5, "setpos: bad snbr");
  const int32_t b = com[size_t(c)].body;
  bailif(b < 0 || b >= MAXUNITS, "setpos: bad unr");
  if (slot < -1) slot = -1;
  Commander& cm = com[size_t(c)];
  int8_t& px = slot < 0 ? cm.ownx : cm.sqx[slot];
  int8_t& py = slot < 0 ? cm.owny : cm.sqy[slot];
  const char line[] = "Back... \xA4\xA4\xA4\xA4\xA4\xA4\xA4\xA4\xA4\xA4\xA4\xA4\xA4\xA4\xA4\xA4\xA4\xA4\xA4\xA4\xA4\xA4\xA4 ...Front";
  for (;;) {
    guibegin();
    guicloseid(999);
    guiplainclickid(SP_PLAINTEXT);
    guibuttonlarge(0, slot < 0 ? "Position Commander" : "Position Squad");
    guispace(2);
    guitextscale(0.75f);
    guibutton(0, "%s", line);
    guispace(2);
    guitextscale(200.0f / 22.0f);
    guicolourbox(5, 250, 0, 0, 0, 0);
    guitextscale(1);
    guispace(2);
    guiexitbutton(999, "Exit");
    guishortcut(1, KEY_UP);
    guishortcut(2, KEY_LEFT);
    guishortcut(3, KEY_RIGHT);
    guishortcut(4, KEY_DOWN);
    guishow(-1, -1);
    const int32_t a = findguiarea(5);
    guirect field{0, 0, 0, 0};
    if (a >= 0) {
      const guiarea& r = guiareaget(a);
      field = guirect{r.x, r.y, r.w, r.h};
      drawdeployfield(5, unit[size_t(b)].land, dest, unit[size_t(b)].owner, c, slot < 0 ? -1 : cm.squad[slot],
                      r.x, r.y, r.w, r.h);
    }
    const int32_t id = render_frame(true, Scene::none);
    switch (id) {
      case 1: py = int8_t(py - 1); break;
      case 4: py = int8_t(py + 1); break;
      case 2: px = int8_t(px - 1); break;
      case 3: px = int8_t(px + 1); break;
      case 5: {
        int32_t nx = 0, ny = 0;
        fieldclickplace(pointerx - field.x, pointery - field.y, field.w, field.h, &nx, &ny);
        px = int8_t(nx);
        py = int8_t(ny);
        break;
      }
      default:
        enfpos(c, slot);
        // Exit, a right click and a click on the title or the line above
        // the field (plain text) close it.
        if (id < 1 || id == 999 || id == SP_PLAINTEXT || quitprogram) return;
        continue;
    }
    enfpos(c, slot);
  }
}
