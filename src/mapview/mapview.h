// The map screens of the player side that stand before the full map view:
// the map picture behind the map scenes (fitted to the screen, moved with
// the cursor keys and zoomed with the wheel), its preview in a GUI item, the
// Random Map Creator screen, and the windowed map chooser and map
// information screens that world creation asks through its hooks.
#pragma once
#include "runtime/short.h"

// Loads a map picture (TGA or SGI) for the map scenes and the preview,
// replacing the one before; 1 on success, else 0 and a message naming the
// file, and no picture.
int loadmappicture(const char* path);
void freemappicture();
int32_t mappicturewidth();
int32_t mappictureheight();
// A GUI draw callback: the picture covering the rectangle, cut at the sides
// that overflow; nothing without a picture.
void drawmappreview(int32_t value, float x, float y, float w, float h);
// Puts the picture behind the map scenes (6 and 8) and the windowed map
// chooser and map information screens in place of the console's.
void installmapscreens();

// The Random Map Creator: settings, the map made and shown behind the
// panel, saving it into the local maps folder. Runs until Exit.
void random_map_creator_screen();
// Ids of its items.
enum RmcId : int32_t {
  RMC_RUGGED = 1, RMC_WIDTH = 2, RMC_HEIGHT = 3, RMC_PROVINCES = 4, RMC_SEA = 5, RMC_MOUNTAINS = 6, RMC_SAVE = 7,
  RMC_ANTIALIAS = 8, RMC_CREATE = 9, RMC_RIVERS = 10, RMC_HIDE = 11, RMC_IMPASSABLE = 12, RMC_EXIT = 999
};
