// Drawing of the toolkit (a window must be open).
#pragma once
#include "runtime/short.h"

// Textured quads of sprites and glyphs are cut down to the texels with ink
// and what the filtering spreads it over (less to fill, the same picture but
// for rounding); tests switch it off to compare.
extern bool inkcutting;
// Quads that share no pixel with those between are drawn together with
// others of their texture, out of the order given (the same picture in
// fewer calls); tests switch it off to compare.
extern bool quadreordering;

// Loads the font and the toolkit's pictures from the data folder; what is
// missing is named on the console and drawn plainly.
void loadguiart();
// Projection of the virtual 800 x 600 screen over the whole window.
void guiprojection();
// One text (up to length characters; a line break starts a row below) with
// its lower left at (x, y), height `scale`, in the colour.
void drawtext(const char* text, int32_t length, float x, float y, float scale, float r, float g, float b, float a);
// Every area of the screen in table order, the hovered one lit, then the
// hovered area's info text or the screen's hint.
void drawguiareas(int32_t hovered);
// The areas from `first` on, then the info text or hint, as drawguiareas.
void drawguiareasfrom(int32_t first, int32_t hovered);
// Milliseconds from `now` until a sprite blinking with this period (see
// areaspriteblink) shows or hides next.
uint32_t blinkchangein(int32_t period, uint32_t now);
// Areas first .. end - 1 only, as they look at the time `now`; areas that
// change with the clock ask for the frame that shows the change.
void drawguiarearange(int32_t first, int32_t end, int32_t hovered, uint32_t now);
