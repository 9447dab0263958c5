// The bitmap font: 256 glyphs (codes 0..255, Latin-1) in one square picture
// "font.tga" of 16 x 16 cells, and their advance widths in "font.fnt". The
// build makes both from a free system font (tools/art/font.cpp).
//
// "font.fnt", little-endian, exactly FONTFILEBYTES bytes:
//   0  "VFNT"
//   4  u16 version (FONTVERSION)
//   6  u16 cell side in pixels (8..256): the square of a glyph that is drawn
//   8  u16 pad: pixels from the square's left edge to the glyph's pen position
//  10  u16 baseline: pixels from the square's bottom edge to the baseline
//  12  256 x u16 advance of each code in 1/1024 of a text height (0..4096)
// The picture is 16 cells on a side; a cell (the picture's side / 16) may
// be larger than the square, which lies in its middle with an empty margin
// round it, so that the shrunken picture of small text mixes no glyph with
// its neighbours. A text of height s is drawn glyph by glyph: each square of
// side s with its left edge pad/cell * s left of the pen, the pen moving on
// by the advance times s.
#pragma once
#include <array>
#include <vector>

#include "runtime/short.h"

constexpr int32_t FONTVERSION = 1;
constexpr int32_t FONTHEAD = 12;
constexpr int32_t FONTFILEBYTES = FONTHEAD + 256 * 2;
constexpr int32_t FONTCELLS = 16;      // cells on a side of the picture
constexpr float FONTADVANCEUNIT = 1024.0f;

struct fontmetrics {
  int32_t cell = 48, pad = 6, baseline = 11;
  std::array<float, 256> advance = {};   // in text heights
};

// Reads the metrics file's bytes; null on success, else the reason (and
// `out` unchanged).
const char* parsefontmetrics(const uint8_t* data, int64_t size, fontmetrics& out);
// The file's bytes for the metrics (advances rounded to the file's unit).
std::vector<uint8_t> encodefontmetrics(const fontmetrics& metrics);

// The metrics in use. Until a font is loaded every printable code is half a
// text height wide, so layout works (roughly) without the data folder.
const fontmetrics& currentfont();
// Puts metrics in use (tests lay text out with metrics of their own).
void setfontmetrics(const fontmetrics& metrics);
// Loads "font.fnt" of the data folder into use; 1 on success. On failure the
// log names the file and the reason, and the metrics in use stay.
int loadfontmetrics(const char* datafolder);
// 1 when the code draws a glyph (the blank, the 0xA4 spacer and control
// codes draw nothing).
int glyphdrawn(uint8_t code);
// Advance of each code at scale 1 for the metrics in use, the blank and the
// 0xA4 spacer a quarter whatever the file says.
extern float fontadvance[256];
inline float charadvance(uint8_t code) { return fontadvance[code]; }
