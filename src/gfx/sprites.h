// Sprites of the sprite archives as the toolkit draws them: fetching a
// sprite learns its size from its archive (no window needed) and its
// texture is made when it is first drawn.
#pragma once
#include "runtime/short.h"

// Prepares a sprite: 1 when it exists. A missing archive or a number past
// its end is logged once, naming the file, and the sprite then counts as a
// fetched 1 x 1 sprite that draws nothing.
int32_t fetchsprite(int32_t file, int32_t nr, int32_t mode);
// Size in sprite pixels of a fetched sprite ("spritewidth: unfetched spr"
// and "spriteheight: unfetched spr" otherwise).
int32_t spritewidth(int32_t file, int32_t nr);
int32_t spriteheight(int32_t file, int32_t nr);
// Where the sprite's first frame is drawn from: a texture and the part of it
// (u, v, du, dv) that holds the sprite. The sprites of an archive that are
// at most 128 pixels a side share pages of 1024 x 1024, made when the first
// of them is drawn. Texture 0 when the sprite has none.
// `ink` is where the sprite's texels have any alpha: a quad drawn from it
// may be cut down to that (see the toolkit's drawing).
struct inkbox {
  float u0 = 0, v0 = 0, u1 = 1, v1 = 1;   // texture coordinates
  int32_t texw = 0, texh = 0;             // texels of the texture; 0: not known, never cut
  int32_t levels = 0;                     // shrunken levels that keep the ink apart from others' ink
};
struct spritetex {
  uint32_t texture;
  float u, v, du, dv;
  inkbox ink;
};
spritetex spritetexture(int32_t file, int32_t nr);
// inkof: ink of a picture.
// Where a picture of w x h RGBA pixels, put at texel (x, y) of a texture of
// tw x th texels, has pixels with any alpha (an empty box, u0 > u1, when
// none has); `levels` as in inkbox.
inkbox inkof(const uint8_t* pixels, int32_t w, int32_t h, int32_t x, int32_t y, int32_t tw, int32_t th,
             int32_t levels);
// Forgets every sprite (textures freed when a window is open).
void clearsprites();
