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
// The sprite's texture (first frame), made on first use; 0 when it has none.
uint32_t spritetexture(int32_t file, int32_t nr);
// Forgets every sprite (textures freed when a window is open).
void clearsprites();
