// The overlay's marks handed to the GUI toolkit as areas, and the province
// chooser.
#include <cstdarg>
#include <cstdio>

#include "gfx/gui.h"
#include "gfx/particles.h"
#include "mapview/mapview.h"
#include "runtime/fatal.h"
#include "runtime/util.h"
#include "world/provinfo.h"
#include "world/world.h"

namespace {
MapMarks marks;

void addareas(const MapMarks& list) {
  for (const MapMark& m : list) {
    switch (m.kind) {
      case MarkKind::name: {
        const char* name = m.nr >= 0 && m.nr < MAXLANDS ? land[size_t(m.nr)].name : "";
        areatextcol(0, m.x - textwidth(name) * m.w / 2, m.y, m.w, m.r, m.g, m.b, m.a, "%s", name);
        break;
      }
      case MarkKind::box: areabox(0, m.x, m.y, m.w, m.h, m.r, m.g, m.b, m.a); break;
      case MarkKind::frame: areaframe(m.x, m.y, m.w, m.h, m.t, m.r, m.g, m.b, m.a); break;
      case MarkKind::sprite50: areasprite50(0, m.file, m.nr, MAPSPRITEMODE, m.x, m.y, m.w, m.h); break;
      case MarkKind::sprite40mid: areasprite40mid(0, m.file, m.nr, MAPSPRITEMODE, m.x, m.y, m.w, m.h); break;
      case MarkKind::sprite50mid: areasprite50mid(0, m.file, m.nr, MAPSPRITEMODE, m.x, m.y, m.w, m.h); break;
      case MarkKind::blink: areaspriteblink(0, m.file, m.nr, MAPSPRITEMODE, m.x, m.y, m.w, m.h, m.period); break;
      case MarkKind::spritecol:
        areaspritecol(0, m.file, m.nr, MAPSPRITEMODE, m.x, m.y, m.w, m.h, m.r, m.g, m.b, m.a);
        break;
      case MarkKind::arrow:
        areaarrow(0, m.file, m.nr, m.x, m.y, m.w, m.h, m.angle, m.drawn, 0.8f, m.a);
        // The screen makes its areas anew every frame while the arrow grows.
        if (m.growing) guianimate();
        break;
    }
  }
}

template <typename Fill>
void drawmarks(Fill&& fill) {
  marks.clear();
  fill(marks);
  addareas(marks);
}
}  // namespace

void drawmapoverlay(int32_t player, int32_t lnr, int32_t mode, int32_t selected) {
  drawmarks([&](MapMarks& m) { overlaymarks(m, player, lnr, mode, selected, timems()); });
}

void drawmapoverlays(int32_t player, int32_t selected) {
  drawmarks([&](MapMarks& m) { overlaymarksall(m, player, selected, timems()); });
}

void dnab(int32_t lnr, int32_t n, float x, float y, float s) {
  drawmarks([&](MapMarks& m) { armymarks(m, lnr, n, x, y, s); });
}

void drawarrow(int32_t from, int32_t to, int32_t kind, uint32_t start, float size) {
  drawmarks([&](MapMarks& m) { arrowmarks(m, from, to, kind, start, size, timems()); });
}

void drawmaparrowsprite(int32_t kind, uint32_t start, float x1, float y1, float x2, float y2, float width) {
  drawmarks([&](MapMarks& m) { arrowspritemark(m, kind, start, x1, y1, x2, y2, width, timems()); });
}

int32_t mapclickprovince(int32_t id, int32_t mapid) {
  if (mapid == 0 || (id != mapid && id != -mapid) || pointinguiwindow(clickx, clicky)) return 0;
  const int32_t at = provatpoint(mapwraps(), clickx, clicky);
  return at > 0 ? at : 0;
}

int32_t chooseprovince(int32_t player, int32_t province, const char* format, ...) {
  char title[2501];
  va_list args;
  va_start(args, format);
  vsnprintf(title, sizeof title, format, args);
  va_end(args);
  int32_t chosen = province >= 1 && province <= nbrlands ? province : 0;
  auto build = [&] {
    clearparticles();
    guibegin();
    setmapviewport(0, 0, 800, 600);
    drawmapoverlays(player, chosen);
    // The whole map answers clicks; the window's own items lie over it.
    areahotspot(CHOOSE_MAP, 0, 0, 800, 600);
    {
      GuiTextScale small(0.85f);
      guibutton(0, "%s", title);
    }
    guispace(4);
    if (chosen > 0) {
      if (infolevel(chosen, player, 0) & INFO_NAME) guibutton(0, "%s (%d)", land[size_t(chosen)].name, chosen);
      else guibutton(0, "??? (%d)", chosen);
      guispace(3);
      guibutton(CHOOSE_OK, "Ok");
      guishortcut(CHOOSE_OK, KEY_RETURN);
    }
    guibutton(CHOOSE_CANCEL, "Cancel");
    guishortcut(CHOOSE_CANCEL, KEY_CANCEL);
    guishow(-1, 575);
  };
  for (;;) {
    const int32_t id = guimodal(build, Scene::map);
    if (const int32_t at = mapclickprovince(id, CHOOSE_MAP)) {
      chosen = at;
    } else if (id == CHOOSE_OK && chosen > 0) {
      return chosen;
    } else if (id == CHOOSE_CANCEL) {
      return 0;
    }
  }
}
