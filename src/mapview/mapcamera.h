// The strategic map's shared camera, projection and picking.
//
// Map space is the loaded map image: x the pixel column, y the pixel row,
// row 0 the lowest on screen. Screen space is the GUI's 800 x 600 units,
// origin at the lower left, y upward. The camera is the map point shown at
// the centre of the map viewport, and `mapzoom` (kept with the world, as the
// game files store it) the screen units per map pixel. On a map that wraps
// around (the game setting), the map repeats in every direction.
//
// Everything here is plain numbers over the world tables, the map image's
// size and the window's size in GUI units (800 x 600 without a window): no
// window is needed, so tests and the turn screens use it alike.
#pragma once
#include <array>

#include "runtime/short.h"

struct MapRect {
  float x, y, w, h;
};
struct MapPoint {
  float x, y;
};

// The camera (map point at the viewport's centre) and the screen rectangle
// of the map (0, 0, 800, 600 until a screen sets another).
extern float mapcamx, mapcamy;
extern MapRect mapviewport;

// Size in pixels of the loaded map image (0 while none is loaded).
int32_t mapwidth();
int32_t mapheight();
// Non-zero when the map shown wraps around at its four edges: the game's
// setting while a game's map is shown (openmapview sets it), else 0.
extern uint8_t wraparound;
inline int mapwraps() { return wraparound != 0; }

void setmapviewport(float x, float y, float width, float height);
// The screen rectangle that the map is drawn into: the viewport, but for a
// viewport of the whole 800 x 600 screen the whole window (guivisible),
// beyond the screen where the window is wider or taller. The picture and
// everything placed on it stand around its middle, which lies half a unit
// off the screen's where the window's margin is an odd number of pixels.
MapRect mapdrawnrect();
// Puts the camera on a province's map point (nothing for a province that
// has no place on the map), as near as the map's edges allow (see
// mapcameraedges) once a map is loaded.
void centremap(int32_t lnr);

// Screen position of a province, from the middle of the rectangle the map
// is drawn into (mapdrawnrect), but across from the screen's centre 400
// in a viewport smaller than the screen. A land number outside 0..1503
// stops the program ("L2Sx: bad lnr", "L2Sy: bad lnr").
float L2Sx(int32_t lnr);
float L2Sy(int32_t lnr);

// Spacing of the copies used for picking and arrows on a wrapping map: one
// unit less than the copies drawn (map size times zoom).
float mappickcopyw();
float mappickcopyh();

// The copy of the province nearest (by |dx| + |dy|) to a screen point among
// the 5 x 5 copies around it on a wrapping map (the first in row order on a
// tie); the province itself otherwise.
MapPoint nearestcopy(int32_t lnr, float px, float py);
float nearestcopyx(int32_t lnr, float px, float py);
float nearestcopyy(int32_t lnr, float px, float py);

// The province nearest to a screen point, each among its 3 x 3 copies when
// wrap is set, by truncated |dx| + |dy| (the lowest number on a tie); -1
// when there are no provinces. A click anywhere picks some province.
int32_t provatpoint(int wrap, float px, float py);

// ---------------------------------------------------------------- camera

// Zoom limits: the map is never smaller on screen than 480 x 360 units, and
// a map pixel never larger than 8 units. Without a map only the upper limit
// holds.
float mapminzoom();
constexpr float MAPMAXZOOM = 8.0f;

// What the mouse camera reads of one frame.
struct MapControls {
  float pointerx, pointery;   // GUI units
  int32_t buttons;            // held: 1 left, 2 right, 4 middle
  int32_t wheelsteps;         // wheel notches since the last frame, + away from the user
  int32_t fullscreen;         // 1 in full screen
};

// The mouse camera of one map frame (dt in seconds): wheel zoom (when the
// wheel preference is on), middle-button drag, else edge scrolling in full
// screen (when that preference is on), then the edges (wrap once around, or
// clamp to the map). Mode -1 only forgets: the wheel steps are dropped and
// the pointer and buttons remembered. 1 when the camera or zoom moved.
int32_t mapmousescroll(int32_t mode, float dt, const MapControls& in);
// The key camera: arrows scroll 750 units a second at zoom 0.5 pace
// (750 / (zoom + 0.5) map pixels), Page Down and Page Up zoom out and in
// by 0.999 and 1.001 a unit; dt is capped at half a second. keys is the
// held-key table by SDL key symbol (at least 282 entries). 1 when a key acted.
int32_t mapkeyscroll(float dt, const uint8_t* keys);
// The key camera for keys tapped (pressed and let go between two frames):
// each tap acts as its key held for one frame of dt, a key tapped twice
// twice. taps: the tap counts by SDL key symbol (at least 282 entries).
int32_t mapkeytaps(float dt, const uint8_t* taps);
// The key camera of one map frame, as the frame function runs it (`frame`
// the number of the frame drawn). A key held at the camera's last pass counts
// the time since then: at most half a second where that pass came in this
// frame or the one before, else (a dialog's frames came between) at most the
// frame's own elapsed time. A key found newly pressed, and each tap, counts
// one frame at the frame pace, however long the screen stood still before:
// so a key held for a while moves the map as far as it would on a screen
// that draws every frame, and as far on a busy machine whose frames come
// late and unevenly. The clock keeps the keys held and the time and frame of
// the last pass; forgetting it (another scene was shown) makes a key still
// held count as newly pressed. 1 while a camera key is held or was tapped.
struct MapKeyClock {
  std::array<uint8_t, 282> held = {};
  uint32_t lastms = 0, lastframe = 0;
  bool started = false;
};
int32_t mapkeyframe(MapKeyClock& clock, uint32_t nowms, uint32_t elapsedms, uint32_t pacems, uint32_t frame,
                    const uint8_t* keys, const uint8_t* taps);
void mapkeyforget(MapKeyClock& clock);
// Wraps the camera once around a wrapping map; otherwise keeps it on the
// map, 0..mapwidth across and 0..mapheight up (standing on an edge, the
// camera shows half a window beyond it).
void mapcameraedges();

// A zoom read from a file kept within the limits: one that is not a
// positive finite number becomes the map's default zoom (or 1).
void mapzoomlimits();
