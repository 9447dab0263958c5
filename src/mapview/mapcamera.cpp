// The map camera, projection and picking: plain numbers over the province
// positions and the loaded map image's size.
#include "mapview/mapcamera.h"

#include <array>
#include <cmath>
#include <cstdlib>

#include "gfx/gui.h"
#include "runtime/fatal.h"
#include "runtime/settings.h"
#include "world/world.h"
#include "worldgen/worldgen.h"

float mapcamx = 0, mapcamy = 0;
MapRect mapviewport = {0, 0, 800, 600};
uint8_t wraparound = 0;

int32_t mapwidth() { return mapimage.width; }
int32_t mapheight() { return mapimage.height; }

void setmapviewport(float x, float y, float width, float height) { mapviewport = {x, y, width, height}; }

MapRect mapdrawnrect() {
  const MapRect& v = mapviewport;
  if (v.x != 0 || v.y != 0 || v.w != GUIWIDTH || v.h != GUIHEIGHT) return v;
  const guirect w = guivisible();
  return {w.x, w.y, w.w, w.h};
}

void centremap(int32_t lnr) {
  if (lnr < 1 || lnr >= MAXLANDS || provgeo[size_t(lnr)].x < 0) return;
  mapcamx = provgeo[size_t(lnr)].x;
  mapcamy = provgeo[size_t(lnr)].y;
  if (mapwidth() > 0 && mapheight() > 0) mapcameraedges();
}

float L2Sx(int32_t lnr) {
  bailif(uint32_t(lnr) > 1503u, "L2Sx: bad lnr");
  // A smaller viewport keeps the screen's centre 400 across.
  const MapRect& v = mapviewport;
  const bool whole = v.x == 0 && v.y == 0 && v.w == GUIWIDTH && v.h == GUIHEIGHT;
  const MapRect r = mapdrawnrect();
  return (float(provgeo[size_t(lnr)].x) - mapcamx) * mapzoom + (whole ? r.x + r.w * 0.5f : GUIWIDTH * 0.5f);
}

float L2Sy(int32_t lnr) {
  bailif(uint32_t(lnr) > 1503u, "L2Sy: bad lnr");
  const MapRect r = mapdrawnrect();
  return (float(provgeo[size_t(lnr)].y) - mapcamy) * mapzoom + r.y + r.h * 0.5f;
}

float mappickcopyw() { return float(mapwidth()) * mapzoom - 1.0f; }
float mappickcopyh() { return float(mapheight()) * mapzoom - 1.0f; }

MapPoint nearestcopy(int32_t lnr, float px, float py) {
  const MapPoint own = {L2Sx(lnr), L2Sy(lnr)};
  if (!mapwraps()) return own;
  const float w = mappickcopyw(), h = mappickcopyh();
  // Every copy is a candidate however far it lies, so the result is always
  // one of them; on a tie the first in row order stays.
  MapPoint best = own;
  float bestdist = INFINITY;
  for (int32_t j = -2; j <= 2; j++)
    for (int32_t i = -2; i <= 2; i++) {
      const MapPoint c = {own.x + float(i) * w, own.y + float(j) * h};
      const float d = fabsf(px - c.x) + fabsf(py - c.y);
      if (d < bestdist) {
        bestdist = d;
        best = c;
      }
    }
  return best;
}

float nearestcopyx(int32_t lnr, float px, float py) { return nearestcopy(lnr, px, py).x; }
float nearestcopyy(int32_t lnr, float px, float py) { return nearestcopy(lnr, px, py).y; }

int32_t provatpoint(int wrap, float px, float py) {
  if (nbrlands < 1) return -1;
  const int32_t top = nbrlands > 1503 ? 1503 : nbrlands;
  const int32_t copies = wrap ? 1 : 0;
  const float w = mappickcopyw(), h = mappickcopyh();
  int64_t bestdist = INT64_MAX;
  int32_t best = -1;
  for (int32_t l = 1; l <= top; l++) {
    const float x = L2Sx(l), y = L2Sy(l);
    for (int32_t j = -copies; j <= copies; j++)
      for (int32_t i = -copies; i <= copies; i++) {
        const float d = fabsf(x + float(i) * w - px) + fabsf(y + float(j) * h - py);
        const int64_t whole = d < 9e18f ? int64_t(d) : INT64_MAX - 1;
        if (whole < bestdist) {
          bestdist = whole;
          best = l;
        }
      }
  }
  return best;
}

// ---------------------------------------------------------------- camera

namespace {
// SDL 1.2 key symbols of the camera keys.
constexpr int32_t KEYUP = 273, KEYDOWN = 274, KEYRIGHT = 275, KEYLEFT = 276, KEYPGUP = 280, KEYPGDOWN = 281;
constexpr int32_t CAMERAKEYS[] = {KEYLEFT, KEYRIGHT, KEYUP, KEYDOWN, KEYPGUP, KEYPGDOWN};
constexpr int32_t MIDDLE = 4;

// What the mouse camera keeps from the frame before.
int32_t lastbuttons = 0;
float lastpx = 0, lastpy = 0;

float scrollstep(float dt) { return 750.0f * dt / (mapzoom + 0.5f); }

void raisetominzoom() {
  if (mapwidth() > 0 && mapzoom < 480.0f / float(mapwidth())) mapzoom = 480.0f / float(mapwidth());
  if (mapheight() > 0 && mapzoom < 360.0f / float(mapheight())) mapzoom = 360.0f / float(mapheight());
}
}  // namespace

float mapminzoom() {
  float z = 0;
  if (mapwidth() > 0) z = fmaxf(z, 480.0f / float(mapwidth()));
  if (mapheight() > 0) z = fmaxf(z, 360.0f / float(mapheight()));
  return z;
}

void mapcameraedges() {
  const float w = float(mapwidth()), h = float(mapheight());
  if (mapwraps()) {
    if (mapcamx < 0) mapcamx += w;
    else if (mapcamx >= w) mapcamx -= w;
    if (mapcamy < 0) mapcamy += h;
    else if (mapcamy >= h) mapcamy -= h;
  } else {
    mapcamx = fminf(fmaxf(mapcamx, 0.0f), w);
    mapcamy = fminf(fmaxf(mapcamy, 0.0f), h);
  }
}

void mapzoomlimits() {
  if (!(mapzoom > 0) || !std::isfinite(mapzoom))
    mapzoom = defaultmapzoom > 0 && std::isfinite(defaultmapzoom) ? defaultmapzoom : 1.0f;
  raisetominzoom();
  if (mapzoom > MAPMAXZOOM) mapzoom = MAPMAXZOOM;
}

int32_t mapmousescroll(int32_t mode, float dt, const MapControls& in) {
  int32_t moved = 0;
  if (mode != -1) {
    if (wheelzoom && in.wheelsteps != 0) {
      const float zoomed = mapzoom * (1.0f + 0.1f * float(in.wheelsteps));
      // Without a map there is no lower limit; the zoom still stays above 0.
      if (zoomed > 0 || mapminzoom() > 0) {
        mapzoom = zoomed;
        raisetominzoom();
        if (mapzoom > MAPMAXZOOM) mapzoom = MAPMAXZOOM;
        moved = 1;
      }
    }
    const bool dragging = (lastbuttons & MIDDLE) && (in.buttons & MIDDLE);
    if (dragging) {
      const float dx = in.pointerx - lastpx, dy = in.pointery - lastpy;
      if (dx != 0 || dy != 0) {
        mapcamx -= dx / fmaxf(mapzoom, 0.1f);
        mapcamy -= dy / fmaxf(mapzoom, 0.1f);
        moved = 1;
      }
    } else if (edgescroll && in.fullscreen == 1) {
      const float step = scrollstep(dt);
      if (in.pointerx <= 0) mapcamx -= step, moved = 1;
      else if (in.pointerx >= 799) mapcamx += step, moved = 1;
      if (in.pointery <= 1) mapcamy -= step, moved = 1;
      else if (in.pointery >= 599) mapcamy += step, moved = 1;
    }
    mapcameraedges();
  }
  lastbuttons = in.buttons;
  lastpx = in.pointerx;
  lastpy = in.pointery;
  return moved;
}

int32_t mapkeyscroll(float dt, const uint8_t* keys) {
  if (dt > 0.5f) dt = 0.5f;
  const float d = 750.0f * dt, step = scrollstep(dt);
  int32_t moved = 0;
  if (keys[KEYLEFT]) mapcamx -= step, moved = 1;
  if (keys[KEYRIGHT]) mapcamx += step, moved = 1;
  if (keys[KEYUP]) mapcamy += step, moved = 1;
  if (keys[KEYDOWN]) mapcamy -= step, moved = 1;
  // One factor of 0.999 (1.001) for each whole or partial unit of d.
  const int32_t units = d > 0 ? int32_t(ceilf(d)) : 0;
  if (keys[KEYPGDOWN] && units > 0) {
    for (int32_t k = 0; k < units; k++) mapzoom *= 0.999f;
    raisetominzoom();
    moved = 1;
  }
  if (keys[KEYPGUP] && units > 0) {
    for (int32_t k = 0; k < units; k++) mapzoom *= 1.001f;
    if (mapzoom > MAPMAXZOOM) mapzoom = MAPMAXZOOM;
    moved = 1;
  }
  mapcameraedges();
  return moved;
}

int32_t mapkeytaps(float dt, const uint8_t* taps) {
  int32_t rounds = 0;
  for (const int32_t k : CAMERAKEYS) rounds = rounds > taps[k] ? rounds : taps[k];
  std::array<uint8_t, KEYPGDOWN + 1> held = {};
  int32_t moved = 0;
  for (int32_t round = 0; round < rounds; round++) {
    for (const int32_t k : CAMERAKEYS) held[size_t(k)] = taps[k] > round;
    moved |= mapkeyscroll(dt, held.data());
  }
  return moved;
}

int32_t mapkeyframe(MapKeyClock& clock, uint32_t nowms, uint32_t elapsedms, uint32_t pacems, uint32_t frame,
                    const uint8_t* keys, const uint8_t* taps) {
  static_assert(sizeof clock.held > size_t(KEYPGDOWN));
  // Capped at the frame's own time, the time of a frame that came late (the
  // machine was busy) would be lost, the delay falling in the camera's time
  // but not the frame's; after other frames without the camera, that time is
  // the most that it may count.
  constexpr uint32_t MOSTHELDMS = 500;
  const bool following = clock.started && frame - clock.lastframe <= 1;
  const uint32_t since = clock.started ? nowms - clock.lastms : elapsedms;
  const uint32_t cap = following ? MOSTHELDMS : elapsedms;
  const uint32_t heldms = since < cap ? since : cap;
  std::array<uint8_t, KEYPGDOWN + 1> going = {}, fresh = {};
  for (const int32_t k : CAMERAKEYS) {
    const size_t key = size_t(k);
    const bool before = clock.held[key] != 0, now = keys[k] != 0;
    going[key] = before && now;
    fresh[key] = uint8_t(taps[k] + (now && !before && taps[k] < 255 ? 1 : 0));
    clock.held[key] = now;
  }
  clock.lastms = nowms;
  clock.lastframe = frame;
  clock.started = true;
  int32_t pressed = 0;
  for (const int32_t k : CAMERAKEYS) pressed |= (going[size_t(k)] | fresh[size_t(k)]) != 0 ? 1 : 0;
  mapkeyscroll(float(heldms) / 1000.0f, going.data());
  mapkeytaps(float(pacems) / 1000.0f, fresh.data());
  return pressed;
}

void mapkeyforget(MapKeyClock& clock) { clock.held = {}; }
