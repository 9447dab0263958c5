// The map overlay, army figures and move arrows, worked out as marks.
#include "mapview/overlay.h"

#include <algorithm>
#include <cmath>

#include "gfx/gui.h"
#include "mapview/mapcamera.h"
#include "runtime/fatal.h"
#include "runtime/settings.h"
#include "runtime/trs.h"
#include "world/economy.h"
#include "world/gamedata.h"
#include "world/hoststate.h"
#include "world/magic.h"
#include "world/provinfo.h"
#include "world/rules.h"
#include "world/scores.h"
#include "world/siteentry.h"
#include "world/world.h"
#include "worldgen/worldgen.h"

uint32_t mapfilter = 0;

namespace {
constexpr int32_t BLINKPERIOD = 1000;
constexpr uint32_t GROWMS = 5000;
// Veyrance icons at most: far above any strength that the rules give, a
// guard against a damaged world file.
constexpr int32_t MAXVEYICONS = 100;

MapMark mark(MarkKind kind, int32_t file, int32_t nr, float x, float y, float w, float h) {
  MapMark m{};
  m.kind = kind;
  m.file = int16_t(file);
  m.nr = nr;
  m.x = x, m.y = y, m.w = w, m.h = h;
  m.r = m.g = m.b = m.a = 1;
  return m;
}

MapMark coloured(MapMark m, float r, float g, float b, float a) {
  m.r = r, m.g = g, m.b = b, m.a = a;
  return m;
}

void icon(MapMarks& out, MarkKind kind, int32_t nr, float x, float y, float scale) {
  out.push_back(mark(kind, TRS_MISC, nr, x, y, scale, scale));
}

// A flag of "flag.trs": nation + 1, 0 the plain flag of no nation.
void flag(MapMarks& out, int32_t sprite, float x, float y, float u, int32_t selected) {
  MapMark m = mark(MarkKind::blink, TRS_FLAGS, sprite, x, y, u, 2 * u);
  m.period = selected ? BLINKPERIOD : 0;
  out.push_back(m);
}

// Who owns a land, read as the signed byte it is, and the nation whose flag
// stands for it (-1 outside the nations).
int32_t signedowner(uint8_t b) { return int32_t(int8_t(b)); }
int32_t flagnation(int32_t n) { return n < 0 || n > 94 ? -1 : n; }


// A commander whose move arrow the overlay may draw from the land: its body
// stands there, the viewer owns it, and it moves to a land of the map.
bool arrowcommander(int32_t c, int32_t player, int32_t lnr) {
  const int32_t b = combody(c);
  if (b < 0 || unit[size_t(b)].land != lnr || unit[size_t(b)].owner != player) return false;
  const Commander& x = com[size_t(c)];
  return movingorder(x.order) && x.orderparam >= 1 && x.orderparam <= nbrlands;
}

// An ordered arrow's start time is turned into 1 (touched) once it lies
// more than 5 seconds back, or ahead of the clock.
void expirearrow(Commander& x, uint32_t now) {
  if (x.arrowtime > 1 && uint32_t(now - x.arrowtime) > GROWMS) x.arrowtime = 1;
}

// The last few destinations an arrow was drawn to, the oldest dropped.
template <int N>
struct Recent {
  int32_t dest[N];
  int32_t count = 0;
  bool has(int32_t d) const {
    for (int32_t k = 0; k < count; k++)
      if (dest[k] == d) return true;
    return false;
  }
  void add(int32_t d) {
    if (count < N) {
      dest[count++] = d;
      return;
    }
    for (int32_t k = 1; k < N; k++) dest[k - 1] = dest[k];
    dest[N - 1] = d;
  }
};

// The three walks over the commanders that draw the move arrows from a land:
// untouched sneaks, untouched moves, then orders touched on this screen.
// candidates: the commanders to visit in number order (null: all of them,
// each also expired by the first two walks).
void movearrows(MapMarks& out, int32_t player, int32_t lnr, const std::vector<int32_t>* candidates, float a,
                uint32_t now) {
  const int32_t top = highestcom < MAXCOMS ? highestcom : MAXCOMS - 1;
  auto walk = [&](auto&& visit) {
    if (candidates) {
      for (int32_t c : *candidates) visit(c);
    } else {
      for (int32_t c = 0; c <= top; c++) visit(c);
    }
  };
  for (int32_t pass = 0; pass < 2; pass++) {
    const bool sneaks = pass == 0;
    Recent<4> drawn;
    walk([&](int32_t c) {
      Commander& x = com[size_t(c)];
      if (!candidates) expirearrow(x, now);
      if (!arrowcommander(c, player, lnr) || x.arrowtime != 0) return;
      if ((x.order == Order::sneak) != sneaks || drawn.has(x.orderparam)) return;
      arrowmarks(out, lnr, x.orderparam, sneaks ? ARROW_SNEAK : ARROW_MOVE, 0, a, now);
      drawn.add(x.orderparam);
    });
  }
  Recent<2> drawn;
  walk([&](int32_t c) {
    const Commander& x = com[size_t(c)];
    if (!arrowcommander(c, player, lnr) || x.arrowtime == 0 || drawn.has(x.orderparam)) return;
    arrowmarks(out, lnr, x.orderparam, x.order == Order::sneak ? ARROW_SNEAK : ARROW_MOVE, x.arrowtime, a, now);
    drawn.add(x.orderparam);
  });
}

// An army as figures, or with reduced graphics as one box sized by the
// square root of its size.
void army(MapMarks& out, int32_t lnr, int32_t n, float x, float y, float u, float r, float g, float b) {
  if (fastgrx == 0) {
    armymarks(out, lnr, n, x, y, 1.25f * u);
    return;
  }
  const float s = float(isqrtceil(n)) * u;
  out.push_back(coloured(mark(MarkKind::box, 0, 0, x - 0.035f * s, y - 0.025f * s, 0.07f * s, 0.05f * s), r, g, b, 1));
}

// The text scale of a province's name: larger for a large province,
// smaller for a small one.
float namescale(uint32_t terrain, float u) {
  const float t = 0.75f * u;
  if (terrain & TM_LARGE) return t * 1.1f;
  if (terrain & TM_SMALL) return t * 0.9f;
  return t;
}

// Where a province's copies stand on screen, and whether it is on screen.
struct Copies {
  float x[9], y[9];
  int32_t count = 0;
  bool onscreen = false;
};

// Per-frame index of the commanders that may draw arrows, by land, in
// number order; filled by overlaymarksall.
std::vector<std::vector<int32_t>> arrowindex;
bool indexed = false;

void provincemarks(MapMarks& out, int32_t player, int32_t lnr, int32_t mode, int32_t selected, uint32_t now) {
  bailif(lnr < 0, "flag: bad lnr");
  if (lnr > nbrlands || lnr >= MAXLANDS) {
    static bool warned = false;
    if (!warned) debugprint("***** Warning: map overlay: land %d is not on the map (%d lands)\n", lnr, nbrlands);
    warned = true;
    return;
  }
  const ProvGeo& geo = provgeo[size_t(lnr)];
  if (geo.x < 0) return;
  const Land& l = land[size_t(lnr)];
  const float u = mapmarkerunit(), r = maprawunit();
  // The screen is 800 x 600 units; a wide or tall window shows the map beyond it.
  const guirect vis = guivisible();
  const float x = L2Sx(lnr), y = L2Sy(lnr);
  const bool wrap = mapwraps();
  const float copyw = float(mapwidth()) * mapzoom, copyh = float(mapheight()) * mapzoom;
  if (!wrap) {
    const float m = 300.0f * r / 36.0f;
    if (x <= vis.x - m || y <= vis.y - m || x >= vis.x + vis.w + m || y >= vis.y + vis.h + m) return;
  }
  Copies at;
  for (int32_t i = -1; i <= 1; i++)
    for (int32_t j = -1; j <= 1; j++) {
      if (!wrap && (i != 0 || j != 0)) continue;
      at.x[at.count] = x + float(i) * copyw;
      at.y[at.count] = y + float(j) * copyh;
      at.count++;
    }
  bool xin = false, yin = false;
  for (int32_t k = -1; k <= 1; k++) {
    if (!wrap && k != 0) continue;
    const float cx = x + float(k) * copyw, cy = y + float(k) * copyh;
    xin = xin || (cx > vis.x - 1.1f * u && cx < vis.x + vis.w + 1.1f * u);
    yin = yin || (cy > vis.y - 1.2f * u && cy < vis.y + vis.h + 1.2f * u);
  }
  at.onscreen = xin && yin;
  const int32_t owner = signedowner(l.owner), holder = signedowner(l.fortholder);
  const bool siege = owner != holder && l.fort > 0;

  if (mode == 1) {
    if (at.onscreen)
      for (int32_t k = 0; k < at.count; k++) flag(out, 0, at.x[k] - 0.5f * u, at.y[k], u, selected);
    return;
  }
  const int32_t info = l.infolevel;
  const uint32_t filter = mapfilter;
  const bool seen = info & INFO_NAME;

  if (seen && (filter & MAPF_NAMES)) {
    const float t = namescale(geo.terrain, u);
    const float* c = gameinfo.maptextcol;
    for (int32_t k = 0; k < at.count; k++) {
      if (!(at.x[k] > vis.x - 15 * t && at.x[k] < vis.x + vis.w + 15 * t && at.y[k] > vis.y - (t + 0.8f * r) &&
            at.y[k] < vis.y + vis.h))
        continue;
      MapMark m = mark(MarkKind::name, 0, lnr, at.x[k], at.y[k] + 0.8f * r, t, t);
      out.push_back(c[0] >= 0 ? coloured(m, c[0], c[1], c[2], c[3]) : coloured(m, -1, -1, -1, -1));
    }
  }

  int32_t v = 0;
  if (at.onscreen && (info & INFO_VEYRANCE) && (filter & (MAPF_VEYRANCE | MAPF_INCOME))) {
    v = l.veystr;
    if (l.veyowner != player) v = -v;
  }
  const int32_t veyicons = std::abs(v) < MAXVEYICONS ? std::abs(v) : MAXVEYICONS;
  const int32_t veyicon = v < 0 ? ICON_FOREIGNVEYRANCE : ICON_OWNVEYRANCE;

  if (at.onscreen && (filter & MAPF_INCOME)) {
    int32_t gold = 0, res = 0, used = 0;
    if (info & INFO_ECONOMY) {
      const int32_t total = holder == player ? getresources(lnr, player) : getbaseresources(lnr, player);
      res = total / 20 < 10 ? total / 20 : 10;
      gold = getbaseincome(lnr) / 25 < 10 ? getbaseincome(lnr) / 25 : 10;
    }
    if (holder == player) {
      const int32_t queued = (recruitqueueres(lnr) + 19) / 20;
      used = queued < res ? queued : res;
    }
    if (gold > 0 || v != 0 || res - used > 0) {
      const float b = 1.3f * u;
      for (int32_t k = 0; k < at.count; k++) {
        const float bx = at.x[k] - 1.2f * b, by = at.y[k] + 0.05f * r;
        out.push_back(coloured(mark(MarkKind::box, 0, 0, bx, by, 0.87f * b, 0.57f * b), 0, 0, 0, 0.3f));
        MapMark rim = coloured(mark(MarkKind::frame, 0, 0, bx, by, 0.87f * b, 0.57f * b), 0.6f, 0.6f, 0.6f, 0.6f);
        rim.t = 0.02f * b;
        out.push_back(rim);
        const float x0 = at.x[k] - 1.1f * b, step = 0.075f * b;
        for (int32_t n = 0; n < veyicons; n++)
          icon(out, MarkKind::sprite40mid, veyicon, x0 + float(n) * step, at.y[k] + 0.57f * r, 0.4f * b);
        for (int32_t n = 0; n < gold; n++)
          icon(out, MarkKind::sprite40mid, ICON_GOLD, x0 + float(n) * step, at.y[k] + 0.35f * r, 0.2f * b);
        for (int32_t n = 0; n < res; n++)
          icon(out, MarkKind::sprite40mid, n < used ? ICON_USEDRESOURCES : ICON_FREERESOURCES, x0 + float(n) * step,
               at.y[k] + 0.15f * r, 0.2f * b);
      }
    }
  }

  if (at.onscreen && v != 0 && !(filter & MAPF_INCOME))
    for (int32_t k = 0; k < at.count; k++)
      for (int32_t n = 0; n < (veyicons + 1) / 2; n++) {
        const float cx = at.x[k] - 0.6f * r - 0.12f * float(n) * u;
        icon(out, MarkKind::sprite50mid, veyicon, cx, at.y[k], 1.08f * u);
        if (2 * n + 1 < veyicons) icon(out, MarkKind::sprite50mid, veyicon, cx - 0.048f * u, at.y[k] - 0.12f * u, 1.08f * u);
      }

  if (at.onscreen && seen) {
    if ((filter & MAPF_TEMPLES) && l.temple > 0)
      for (int32_t k = 0; k < at.count; k++)
        icon(out, MarkKind::sprite50mid, ICON_TEMPLE, at.x[k] + 0.85f * u, at.y[k] - 0.055f * u, 0.55f * u);
    const int32_t flagof = siege ? flagnation(holder) : flagnation(owner);
    if (filter & MAPF_FLAGS)
      for (int32_t k = 0; k < at.count; k++) flag(out, flagof + 1, at.x[k] - 0.5f * u, at.y[k] + 0.05f * u, u, selected);
    if ((filter & MAPF_FORTS) && l.fort > 0)
      for (int32_t k = 0; k < at.count; k++) icon(out, MarkKind::sprite50mid, ICON_FORT, at.x[k], at.y[k], 1.15f * u);
    if (siege && (filter & MAPF_FLAGS))
      for (int32_t k = 0; k < at.count; k++)
        flag(out, flagnation(owner) + 1, at.x[k] - 0.75f * u, at.y[k] - 0.1f * u, u, selected);
    if ((filter & MAPF_MARKERS) && findench(-1, lnr, player) >= 0)
      for (int32_t k = 0; k < at.count; k++)
        icon(out, MarkKind::sprite50mid, ICON_ENCHANTMENT, at.x[k], at.y[k], 0.6f * u);
  }
  if (at.onscreen && (filter & MAPF_MARKERS)) {
    const int32_t points = l.vpword & 7;
    for (int32_t k = 0; k < at.count; k++)
      for (int32_t n = 0; n < points; n++)
        icon(out, MarkKind::sprite50mid, ICON_VICTORYPOINT, at.x[k] - 0.5f * u - 0.2f * float(n) * u, at.y[k] + u,
             0.8f * u);
    if (l.vpword & VPW_BATTLE)
      for (int32_t k = 0; k < at.count; k++) icon(out, MarkKind::sprite50mid, ICON_BATTLE, at.x[k], at.y[k], 1.2f * u);
    if (cachedcomcount(lnr) > 0 && owner != player && holder != player)
      for (int32_t k = 0; k < at.count; k++)
        out.push_back(mark(MarkKind::spritecol, TRS_MISC, ICON_PRESENCE, at.x[k] - 0.2f * u, at.y[k] + 0.1f * u,
                           0.4f * u, 0.4f * u));
  }

  if (filter & MAPF_ARMIES) {
    const bool ours = owner == player || holder == player;
    const int32_t n = cachedarmysize(lnr);
    if (at.onscreen && ours && n > 0)
      for (int32_t k = 0; k < at.count; k++) army(out, lnr, n, at.x[k], at.y[k], u, 0.2f, 0, 0.6f);
    if ((filter & MAPF_ARROWS) && cachedcomcount(lnr) > 0)
      movearrows(out, player, lnr, indexed ? &arrowindex[size_t(lnr)] : nullptr, 0.75f * u, now);
    if (at.onscreen && !ours) {
      const int32_t m = findscoutmsg(player, lnr);
      const int32_t scouted = m >= 0 ? message[size_t(m)].subj[1] : 0;
      if (scouted > 0)
        for (int32_t k = 0; k < at.count; k++) army(out, lnr, scouted, at.x[k], at.y[k], u, 0.6f, 0, 0);
    }
  }

  if (at.onscreen && (filter & MAPF_TERRAIN)) {
    int16_t icons[6];
    int32_t count = 0;
    const uint32_t t = geo.terrain;
    if (t & TM_FOREST) icons[count++] = ICON_FOREST;
    if (t & TM_SWAMP) icons[count++] = ICON_SWAMP;
    if (t & TM_CAVE) {
      icons[count++] = ICON_CAVE;
    } else {
      if (t & TM_MOUNTAINS) icons[count++] = ICON_MOUNTAINS;
      if (t & TM_BORDERMOUNT) icons[count++] = ICON_MOUNTAINS;
    }
    if (t & TM_WASTE) icons[count++] = ICON_WASTE;
    if (t & TM_FARM) icons[count++] = ICON_FARM;
    const float s = 0.75f * u, e = 0.75f * r;
    for (int32_t k = 0; k < at.count; k++)
      for (int32_t n = 0; n < count; n++)
        icon(out, MarkKind::sprite50, icons[n], at.x[k] + (-float(count - 1) * e - s) / 2 + float(n) * e,
             at.y[k] + 0.5f * u, s);
  }
}
}  // namespace

float maprawunit() {
  const float base = defaultmapzoom > 0 ? defaultmapzoom : 1.0f;
  return 36.0f * mapzoom / base;
}

float mapmarkerunit() { return fmaxf(maprawunit(), 10.0f); }

void overlaymarks(MapMarks& out, int32_t player, int32_t lnr, int32_t mode, int32_t selected, uint32_t now) {
  provincemarks(out, player, lnr, mode, selected, now);
}

void overlaymarksall(MapMarks& out, int32_t player, int32_t selected, uint32_t now) {
  // Which commanders may draw arrows from where, found once for the frame
  // instead of in three walks over every commander per province.
  const int32_t lands = nbrlands < MAXLANDS ? nbrlands : MAXLANDS - 1;
  arrowindex.resize(size_t(lands) + 1);
  for (auto& list : arrowindex) list.clear();
  const int32_t top = highestcom < MAXCOMS ? highestcom : MAXCOMS - 1;
  for (int32_t c = 0; c <= top; c++) {
    expirearrow(com[size_t(c)], now);
    const int32_t b = combody(c);
    if (b < 0) continue;
    const int32_t l = unit[size_t(b)].land;
    if (l >= 1 && l <= lands && arrowcommander(c, player, l)) arrowindex[size_t(l)].push_back(c);
  }
  indexed = true;
  for (int32_t l = 0; l <= lands; l++) provincemarks(out, player, l, 2, l == selected, now);
  indexed = false;
}

void armymarks(MapMarks& out, int32_t lnr, int32_t n, float x, float y, float s) {
  const guirect vis = guivisible();
  if (!(x > vis.x - 100 && x < vis.x + vis.w + 100 && y > vis.y - 50 && y < vis.y + vis.h + 50) || lnr < 1 || n < 1)
    return;
  int32_t t1 = 0, c1 = 0, t2 = 0, c2 = 0;
  cachedarmytypes(lnr, &t1, &c1, &t2, &c2);
  if (t1 < 1) return;
  bailif(t1 >= MAXUNITTYPES, "dnab: bad mnr");
  if (t2 < 1 || t2 >= MAXUNITTYPES) t2 = t1;
  const int32_t figures = n / 5 < 1 ? 1 : n / 5 > 120 ? 120 : n / 5;
  const int32_t perrow = figures < 10 ? figures : 10;
  const int32_t rows = (figures + perrow - 1) / perrow;
  int32_t empty = rows * perrow - figures;
  int32_t second = 0;
  if (rows > 1 && c2 > 4) {
    const int32_t share = int32_t(int64_t(figures) * c2 / (int64_t(c1) + c2));
    second = figures - perrow < share ? figures - perrow : share;
  }
  const float d = s / 8;
  float x0 = -float(perrow - 1) * s / 16;
  const float base = y - 0.6f * (0.1f * s * float(rows - 1) + s) + 0.25f * s;
  for (int32_t row = rows - 1; row >= 0; row--) {
    int32_t type = t1;
    if (second > 0) {
      type = t2;
      second -= perrow;
    }
    const int32_t sprite = unittypes[size_t(type)].sprite;
    for (int32_t j = 0; j < perrow; j++) {
      if (empty > 0) {
        empty--;
        continue;
      }
      out.push_back(mark(MarkKind::sprite50mid, TRS_ARMY, sprite, x + x0 + float(j) * d, base + 0.1f * s * float(row), s, s));
    }
    x0 += row % 2 ? 0.1f * s : -0.1f * s;
  }
}

void arrowmarks(MapMarks& out, int32_t from, int32_t to, int32_t kind, uint32_t start, float size, uint32_t now) {
  const int32_t copies = mapwraps() ? 1 : 0;
  const float copyw = float(mapwidth()) * mapzoom, copyh = float(mapheight()) * mapzoom;
  for (int32_t i = -copies; i <= copies; i++)
    for (int32_t j = -copies; j <= copies; j++) {
      const float fx = L2Sx(from) + float(i) * copyw, fy = L2Sy(from) + float(j) * copyh;
      const MapPoint target = nearestcopy(to, fx, fy);
      arrowspritemark(out, kind, start, fx, fy, target.x, target.y, size, now);
    }
}

void arrowspritemark(MapMarks& out, int32_t kind, uint32_t start, float x1, float y1, float x2, float y2, float width,
                     uint32_t now) {
  float radians = 0, length = 0;
  vecanglelen(&radians, &length, x1, y1, x2, y2);
  const float angle = 90.0f - radians * 57.297469361769856f;
  float progress = 1, opacity = 0.8f;
  bool growing = false;
  if (start > 1 && uint32_t(now - start) <= GROWMS) {
    // Grows at 10 widths a second; a point-like arrow is whole at once.
    const float full = length * 1000.0f / (10.0f * width);
    progress = full > 0 && std::isfinite(full) ? fminf(1.0f, float(uint32_t(now - start)) / full) : 1.0f;
    opacity = 0.2f + 0.6f * progress;
    growing = progress < 1;
  }
  float backoff = 0;
  if (kind == ARROW_MOVE) backoff = 0.9f * width;
  else if (kind == ARROW_NEIGHBOUR) backoff = -0.5f * width;
  int32_t sprite = kind;
  if (start != 0 && (kind == ARROW_MOVE || kind == ARROW_SNEAK)) sprite = ARROW_ORDERED;
  MapMark m = mark(MarkKind::arrow, TRS_MISC2, sprite, x1, y1, width, length - backoff);
  m.angle = angle;
  m.drawn = fmaxf(progress * (length - backoff), 0.1f * width);
  m.a = opacity;
  m.growing = growing;
  out.push_back(m);
}
