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
// A screen over the map (the turn screens, the chooser, the map editor):
//   once, when it opens:
//     openmapview (game)             the game's picture as textures, its
//                                    wraparound, the zoom within its limits
//     centremap (province)           the camera on the province to show
//     cacheinfolevels (viewer, 1), cachearmysizes (viewer)
//                                    what the overlay may show the viewer;
//                                    again whenever orders or armies change
//   every frame:
//     guibegin ()
//     setmapviewport (0, 0, 800, 600)
//     drawmapoverlays (viewer, current province)   (mapfilter chooses the layers)
//     areahotspot (MAPCLICK_ID, 0, 0, 800, 600)    the whole map answers clicks
//     ... the screen's own window and areas ...
//     id = render_frame (1, 6)       scene 6: the map under the camera (keys,
//                                    wheel, middle drag, edges in full
//                                    screen); a dialog opened from the screen
//                                    passes scene 0 and keeps the map
//     land = mapclickprovince (id, MAPCLICK_ID)
//                                    the province clicked (id > 0 left, id < 0
//                                    right button), 0 for a click on the
//                                    screen's window or for another id
// Without a window everything but the drawing works: the overlay is plain
// marks (overlaymarksall) and picking is provatpoint over the camera.
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
// dnab: draw n army bodies.
// An army of n units as figures around (x, y), figure scale s.
void dnab(int32_t lnr, int32_t n, float x, float y, float s);
// An arrow of a kind (ARROW_...) from one land to another at the nearest
// copies; start: when the move was ordered (0 none, 1 touched).
void drawarrow(int32_t from, int32_t to, int32_t kind, uint32_t start, float size);
void drawmaparrowsprite(int32_t kind, uint32_t start, float x1, float y1, float x2, float y2, float width);

// ----------------------------------------------------------------- clicks

// The id a screen gives its hot spot over the whole map (any id works; the
// chooser and the map editor use their own).
constexpr int32_t MAPCLICK_ID = 15;
// The province under the last click, when render_frame returned mapid (left
// button) or -mapid (right button) for a hot spot laid over the whole map at
// (0, 0): the nearest province to the pointer (provatpoint, on the copies
// when the map wraps). 0 for another id, for a click within 15 to 30 units
// of the screen's window (pointinguiwindow), or when there are no provinces.
int32_t mapclickprovince(int32_t id, int32_t mapid);

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
