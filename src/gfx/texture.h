// Textures and quads of the toolkit: image files and pixel blocks made into
// OpenGL textures, binding with blend modes, and quads in GUI units. A
// window must be open for everything here but the settings.
#pragma once
#include "runtime/short.h"

// The program's texture settings: mipmaps on or off, the compression level
// (0 full colour, 1 sixteen-bit formats, 2 compressed formats where the
// driver has them, else 1) and the map's own level (1 at graphics detail
// levels below 3, else 0).
extern int32_t texmipmaps, texcompresslevel, maptexcompress;

// The texture of an image file (TGA or SGI): alpha mode 0 opaque, 1 the
// image's alpha, 2 alpha from each pixel's brightness (the colour white);
// brightness in percent scales the colour; wrap 1 repeats. Loaded once per
// path and arguments and kept; 0 (and a message naming the file) when the
// file is missing or damaged. Pictures larger than the largest texture are
// halved until they fit.
uint32_t loadtexture(const char* path, int32_t alphamode, int32_t brightness, int32_t wrap);
// The texture of an RGBA block (rows bottom first): edges clamped unless
// wrap; mipmaps with the mipmap flag; the format follows alpha and the
// compression level. Stops the program when no texture can be made
// ("glGenTextures failed").
uint32_t RGBA2Tex(int32_t width, int32_t height, const uint8_t* pixels, int32_t alpha, int32_t wrap);
// Binds a texture (0: texturing off) in a blend mode: 0 replace, 1 replace
// with blending and alpha test, 2 replace with blending, 3 modulate,
// 4 modulate with blending and alpha test, 5 modulate with blending. Both
// are cached, so binding what is bound costs nothing.
void bindtexture(uint32_t texture, int32_t mode);
// Blending and alpha test off, replace, texturing off, caches cleared.
void resettexstate();
void deletetexture(uint32_t texture);
// Width and height of a texture's first level in texels (0 for none).
void texturesize(uint32_t texture, int32_t* width, int32_t* height);

// Quads in GUI units (the toolkit's projection).
void drawguiquad(float x, float y, float w, float h);
void drawguicolourquad(float x, float y, float w, float h, float r, float g, float b, float a);
void drawguitexquad(float x, float y, float w, float h, float u, float v, float du, float dv);
// The same cut to the clip rectangle, texture coordinates cut in proportion.
void drawguitexquadclipped(float x, float y, float w, float h, float u, float v, float du, float dv, float cx,
                           float cy, float cw, float ch);

// After the window's OpenGL context was made anew (full-screen toggle on
// some systems): every file texture is loaded again under its old name and
// the hooks run, so owners of other textures make theirs again.
using glreloadfn = void (*)();
void addglreloadhook(glreloadfn hook);
void reloadtextures();
// After the window changed: when its context lost the textures, sets the
// OpenGL state again and reloads them.
void checkglcontext();
// Frees every texture made here (shut-down).
void freealltextures();
// Textures made from files that are alive (tests).
int32_t filetexturecount();
