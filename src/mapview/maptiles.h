// The map image as textures, and where they go on screen.
//
// OpenGL takes no texture as large as a map image (up to 16384 pixels a
// side), so the image is cut into tiles of 512 x 512 pixels, and each tile
// is made into a chain of nine textures of falling size (512, 256, ..., 2),
// of which the drawing takes one per tile by zoom. While cutting, the white
// province marker pixels are painted over with the colour last seen, and
// each tile is tested for transparency.
//
// The cutting and the drawing plan are plain data, made here without a
// window; the window side (mapdraw) turns them into textures and quads.
#pragma once
#include <array>
#include <functional>
#include <vector>

#include "mapview/mapcamera.h"
#include "runtime/short.h"

constexpr int32_t MAPTILE = 512;
constexpr int32_t MAPTILES = 32;        // tile columns and rows at most: 16384 pixels
constexpr int32_t MAPTEXLEVELS = 9;     // level L holds the tile at (512 >> L) texels a side
constexpr int32_t MAPTEXNAMELEN = 2501;

// Texture names by [tile column][tile row][level]; 0 none.
using MapTexTable = std::array<std::array<std::array<uint32_t, MAPTEXLEVELS>, MAPTILES>, MAPTILES>;

// The textures of the map image, with what they were made from.
struct MapTextureSet {
  MapTexTable names;
  char imagename[MAPTEXNAMELEN];    // the image they were made from; empty when none
  int32_t width, height;            // the image's size when they were made; 0 when none
  int32_t lastcolumnwidth, lastrowheight;   // pixels of the last tile column and row (512 before any map)
};
extern MapTextureSet maptex;
// 1 once a tile of the loaded image was found transparent.
extern int32_t mapistransparent;

// One level of one tile, as it is handed over to become a texture: side x
// side pixels (R, G, B, A; rows bottom first), with or without alpha.
struct MapTileLevel {
  int32_t column, row, level, side;
  const uint8_t* pixels;
  int32_t alpha;
};
// Makes a texture of a tile level: its name, 0 when none could be made.
using MapTexMaker = std::function<uint32_t(const MapTileLevel&)>;

// Cuts an image (rows bottom first) into tiles through one 512 x 512 work
// buffer, hands every level of every tile to make and keeps the names in
// maptex.names; sets the last column's width and the last row's height.
// Partial tiles are extended by 8 pixels of their edge; white markers take
// the colour carried along the rows, from tile to tile. Unless reduced
// graphics are on (fastgrx), a tile whose buffer holds any alpha below 245
// is made with alpha and marks the map transparent. Stops the program at a
// tile beyond 16384 pixels ("cmt: map too wide", "cmt: map too high") or
// when a texture cannot be made ("cmt: failed to chop up txtr").
void cutmapimage(const uint8_t* pixels, int32_t width, int32_t height, int32_t fastgrx, const MapTexMaker& make);

// ---------------------------------------------------------------- drawing plan

// One tile copy on screen: the tile, its quad and texture rectangle.
struct MapTileQuad {
  int16_t column, row;
  float x, y, w, h;
  float u, v, du, dv;
};

// What drawbigmap draws in one frame, in order: the background under the
// whole screen (a transparent map), the tiles (cut to the clip rectangle
// when clipped), then the background bands beyond the map's edges.
struct MapDrawPlan {
  int32_t level;                    // texture level of every tile
  int32_t blend;                    // texture blend mode of tiles and bands
  float colour[4];                  // of the tiles
  int underlay;
  int clipped;
  MapRect clip;
  std::vector<MapTileQuad> tiles;
  std::vector<MapRect> bands;
};

// The texture level for a tile shown `side` units wide: 0 from 256 units
// up (magnified too), one level more for each halving, 8 at most.
int32_t maptexlevel(float side);

// Plans the map with (camx, camy) at the viewport's centre, from the
// textures of maptex: every tile copy that meets the viewport (121 copies
// with wrap, drawn from the last tile to the first), and without wrap and
// for an opaque map the background bands that fill the viewport beyond the
// map (overlapping the map by one unit against seams). inset: texture
// coordinates kept off the tile edges where clamping is unreliable.
void planbigmap(MapDrawPlan& plan, int wrap, float camx, float camy, float zoom, MapRect clip, float brightness,
                float alpha, float inset);
