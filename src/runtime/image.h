// Image files and RGBA pixel blocks: TGA (either row order, plain or
// run-length) and SGI ".rgb" (plain or run-length) are read into 4 bytes a
// pixel (R, G, B, A), rows one after another with row 0 the bottom row of the
// picture; SGI files are written from such blocks.
#pragma once
#include "runtime/short.h"

// Largest side of an image: coordinates everywhere are 16-bit.
constexpr int32_t MAXIMAGESIDE = 32767;
// Largest pixel block (bytes) that one image may need.
constexpr int64_t MAXIMAGEBYTES = 0x7FFFFFF0LL;

// Loads a TGA or SGI file (chosen by the ".tga" extension, else SGI) into a
// block of the checking allocator that the caller frees with myfree. Null,
// with width and height 0, when the file is missing, damaged or too large;
// `why` (when given) then says why in words for a message ("the file ends
// before its pixels do", "no permission"), and is null after a load; the
// words of a file that could not be opened last until the next such load. The header is read
// first: a picture larger than MAXIMAGESIDE a side or MAXIMAGEBYTES is
// refused before the rest of the file is read, and no more of a file is
// read than its picture can take up.
uint8_t* loadimage(const char* path, int32_t* width, int32_t* height, int32_t flags, const char** why = nullptr);
// The same from bytes in memory (sgi 1: SGI, 0: TGA).
uint8_t* decodeimage(const uint8_t* data, int64_t size, int sgi, int32_t* width, int32_t* height,
                     const char** why = nullptr);

// Writes an SGI image of four channels, run-length coded when rle is non-zero.
// The file is replaced whole or not at all; 1 on success, 0 on failure.
int savesgi(const uint8_t* pixels, int32_t width, int32_t height, const char* path, int32_t rle);
// Writes a plain 32-bit TGA (rows bottom first), whole or not at all; 1 on success.
int savetga(const uint8_t* pixels, int32_t width, int32_t height, const char* path);

// Turns an RGBA block upside down in place.
void flipimage32(uint8_t* pixels, int32_t width, int32_t height);
// Halves an RGBA block in place (the result has width/2 x height/2 pixels):
// RGB is the rounded mean of the non-transparent pixels of each 2 x 2 block
// (128 when all four are transparent), alpha the rounded mean of all four.
void halveimage32inplace(uint8_t* pixels, int32_t width, int32_t height);
// Smallest alpha byte of the block; 255 for an empty block.
int32_t minalpha32(const uint8_t* pixels, int32_t width, int32_t height);
