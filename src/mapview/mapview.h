// The strategic map in the window: the map image's textures, the map drawn
// behind the map scenes (6 with the camera, 8 darkened) and in previews,
// the overlay of every province added as GUI areas, the province chooser,
// the Random Map Creator screen, and the windowed map chooser and map
// information screens that world creation asks through its hooks.
//
// The plain-number side lives in mapcamera.h (camera, projection, picking),
// maptiles.h (cutting and the drawing plan) and overlay.h (the overlay's
// marks and the map filter word).
//
// A turn screen uses it like this: openmapview (game) once when the turn is
// opened, centremap on the province to show, cacheinfolevels and
// cachearmysizes for the viewer, then every frame setmapviewport (0, 0, 800,
// 600), drawmapoverlays (viewer, current province) among its own items, an
// areahotspot over the map, and render_frame (1, 6); a map click picks
// provatpoint (wraparound, clickx, clicky).
#pragma once
#include "mapview/mapcamera.h"
#include "mapview/maptiles.h"
#include "mapview/overlay.h"
#include "runtime/short.h"

// ---------------------------------------------------------------- textures

// Makes the textures of a map image (found in the game's folder when a
// game is named, else the folder of the image loaded before, then the two
// map folders); nothing when they are made already. An image that is
// missing or cannot be read is logged and the map is drawn as its
// background. Without a window the image is only loaded.
void CreateMapTextures(const char* gamename, const char* mapname);
// Deletes the map textures (the next map frame makes them again).
void freemaptextures();
// Forgets the image and its textures when they are of that name (a map
// file about to be written anew).
void flushmapimage(const char* name);
// The game's map for the turn screens: its textures made from the game's
// map picture, the game's wraparound, the viewport the whole screen, and
// the zoom and camera (as the game file left them) within their limits.
void openmapview(const char* gamename);

// ----------------------------------------------------------------- drawing

// Draws the map (a window must be open, in the GUI's projection) with
// (camx, camy) at the viewport's centre, cut to the clip rectangle, the
// background picture where the map does not reach; brightness and alpha
// modulate it.
void drawbigmap(int wrap, float camx, float camy, float zoom, float clipx, float clipy, float clipw, float cliph,
                float brightness, float alpha);
// The map of the map scenes through the viewport.
void drawmapview(float camx, float camy, float zoom, float brightness);
// A GUI draw callback: the whole loaded map covering the rectangle, cut at
// the sides that overflow; the viewport stays at the rectangle.
void drawmappreview(int32_t value, float x, float y, float w, float h);
// A quad of the bound background picture, fixed to the screen.
void drawmapbgquad(float x, float y, float w, float h);

// ----------------------------------------------------------------- overlay

// The overlay of one province for the viewer as GUI areas (see overlay.h):
// mode 1 plain flags (the map editor), 2 everything; selected blinks.
void drawmapoverlay(int32_t player, int32_t lnr, int32_t mode, int32_t selected);
// The overlay of every province, the selected one blinking: the turn
// screen's and the chooser's call once a frame.
void drawmapoverlays(int32_t player, int32_t selected);
// An army of n units as figures around (x, y), figure scale s.
void dnab(int32_t lnr, int32_t n, float x, float y, float s);
// An arrow of a kind (ARROW_...) from one land to another at the nearest
// copies; start: when the move was ordered (0 none, 1 touched).
void drawarrow(int32_t from, int32_t to, int32_t kind, uint32_t start, float size);
void drawmaparrowsprite(int32_t kind, uint32_t start, float x1, float y1, float x2, float y2, float width);

// ----------------------------------------------------------------- chooser

// Shows the map with the viewer's overlay and a small window (title, the
// chosen province, Ok and Cancel); a left or right click on the map chooses
// the province there. Returns the chosen land, or 0 for Cancel. province:
// the one shown as chosen at the start (0 none). The map scrolls and zooms
// as in the turn screen; the viewer's information levels and army sizes
// are expected cached.
int32_t chooseprovince(int32_t player, int32_t province, const char* format, ...)
    __attribute__((format(printf, 3, 4)));
// Ids of the chooser.
enum ChooserId : int32_t { CHOOSE_CANCEL = 1, CHOOSE_OK = 2, CHOOSE_MAP = 15 };

// ------------------------------------------------------------------ screens

// Puts the map behind the map scenes (6 and 8) with its camera, and the
// windowed map chooser and map information screens in place of the
// console's.
void installmapscreens();

// The Random Map Creator: settings, the map made and shown behind the
// panel, saving it into the local maps folder. Runs until Exit.
void random_map_creator_screen();
// Ids of its items.
enum RmcId : int32_t {
  RMC_RUGGED = 1, RMC_WIDTH = 2, RMC_HEIGHT = 3, RMC_PROVINCES = 4, RMC_SEA = 5, RMC_MOUNTAINS = 6, RMC_SAVE = 7,
  RMC_ANTIALIAS = 8, RMC_CREATE = 9, RMC_RIVERS = 10, RMC_HIDE = 11, RMC_IMPASSABLE = 12, RMC_EXIT = 999
};
