// What stands on the strategic map over the picture, for one viewing player:
// province names, flags, forts, temples, veyrance candles, the income box,
// victory points, battle, enchantment and presence markers, armies as
// crowds of unit figures, move arrows, and terrain icons, each only as far
// as the viewer knows the province (its cached information level) and as
// the map filter word asks.
//
// The overlay is worked out as plain marks, one per GUI area that it adds,
// in drawing order (later marks lie on top). Tests read the marks; the
// window side hands them to the GUI toolkit as areas (overlaydraw).
//
// Sizes are multiples of the marker unit u = 36 x zoom / default zoom (at
// least 10 units); a few offsets use the raw unit r = 36 x zoom / default
// zoom, which keeps shrinking. Before drawing, the turn screen caches the
// viewer's information levels and army sizes (cacheinfolevels,
// cachearmysizes).
#pragma once
#include <vector>

#include "runtime/short.h"

// The map filter word (MAPF_ bits): which layers the overlay draws. The turn
// screens set it (the filter menu and keys; the low 16 bits are saved per
// nation).
extern uint32_t mapfilter;
constexpr uint32_t MAPF_VEYRANCE = 0x1;      // veyrance candles beside the flag
constexpr uint32_t MAPF_FLAGS = 0x4;
constexpr uint32_t MAPF_ARMIES = 0x8;
constexpr uint32_t MAPF_ARROWS = 0x10;       // move arrows; with MAPF_ARMIES
constexpr uint32_t MAPF_NEIGHBOURS = 0x20;   // neighbour lines of the current province (the turn screen's)
constexpr uint32_t MAPF_MARKERS = 0x40;      // enchantment, victory-point, battle and presence markers
constexpr uint32_t MAPF_INCOME = 0x80;       // income box, with its own veyrance row
constexpr uint32_t MAPF_FORTS = 0x100;
constexpr uint32_t MAPF_TEMPLES = 0x200;
constexpr uint32_t MAPF_NAMES = 0x400;
constexpr uint32_t MAPF_TERRAIN = 0x800;
// A nation's filter word before it chose one, and the layers that holding Tab
// adds: all but the neighbour lines and the terrain.
constexpr uint32_t MAPF_START = MAPF_VEYRANCE | MAPF_FLAGS | MAPF_ARMIES | MAPF_ARROWS | MAPF_MARKERS | MAPF_INCOME |
                                MAPF_FORTS | MAPF_TEMPLES | MAPF_NAMES;
static_assert(MAPF_START == 0x7dd);

// Icons of "misc.trs" that the overlay shows.
enum MiscIcon : int16_t {
  ICON_VICTORYPOINT = 11, ICON_BATTLE = 13, ICON_TEMPLE = 14, ICON_FORT = 15, ICON_ENCHANTMENT = 109,
  ICON_FREERESOURCES = 138, ICON_FOREST = 184, ICON_SWAMP = 185, ICON_MOUNTAINS = 186, ICON_WASTE = 187,
  ICON_FARM = 188, ICON_FOREIGNVEYRANCE = 191, ICON_OWNVEYRANCE = 194, ICON_GOLD = 224, ICON_USEDRESOURCES = 225,
  ICON_PRESENCE = 226, ICON_CAVE = 228
};
// Arrow kinds: sprites of "misc2.trs".
constexpr int32_t ARROW_MOVE = 15, ARROW_SNEAK = 28, ARROW_NEIGHBOUR = 29, ARROW_ORDERED = 30;
// Sprite mode of every overlay sprite.
constexpr int32_t MAPSPRITEMODE = 4;

// One GUI area of the overlay, as the toolkit call that adds it:
//   name       the land's name (nr) centred on x, its foot at y, text height w;
//              colour r, g, b, a (-1 each: the plain text colour)
//   box        areabox (x, y, w, h) in the colour
//   frame      areaframe (x, y, w, h) of thickness t in the colour
//   sprite50, sprite40mid, sprite50mid
//              that areasprite call of (file, nr) at (x, y), scales w and h
//   blink      areaspriteblink of (file, nr) over (x, y, w, h), period ms (0 steady)
//   spritecol  areaspritecol of (file, nr) over (x, y, w, h) in the colour
//   arrow      areaarrow of (file, nr) from (x, y), width w, full length h,
//              angle (degrees), drawn length, tail 0.8, opacity a; growing
//              while it is shorter than its full length
enum class MarkKind : uint8_t { name, box, frame, sprite50, sprite40mid, sprite50mid, blink, spritecol, arrow };
struct MapMark {
  MarkKind kind;
  int16_t file;
  int32_t nr;
  float x, y, w, h;
  float r, g, b, a;
  float t, angle, drawn;
  int32_t period;
  bool growing;
};
using MapMarks = std::vector<MapMark>;

// The marker unit u and the raw unit r of the current zoom.
float mapmarkerunit();
float maprawunit();

// The marks of one province for the viewing player (0..94). mode 1 (the map
// editor): plain flags only; mode 2: the full overlay. selected: the
// province's flags blink. now: the millisecond clock, for the growing move
// arrows; the overlay turns an ordered arrow's start time older than 5
// seconds into 1 (touched). A land number below 0 stops the program ("flag:
// bad lnr"); one beyond the map's provinces draws nothing and is logged.
void overlaymarks(MapMarks& out, int32_t player, int32_t lnr, int32_t mode, int32_t selected, uint32_t now);
// The marks of every province (0 .. number of lands), `selected` marked as
// such: what the turn screen and the province chooser draw every frame.
void overlaymarksall(MapMarks& out, int32_t player, int32_t selected, uint32_t now);

// An army of n units in land lnr as a crowd of at most 120 figures of
// "army.trs" around (x, y) (rows of at most 10, the back row first), figure
// scale s; the most common unit type and, in whole rows at the back, the
// second type, as the viewer's army cache gives them. Nothing without a
// known unit type or far off screen. A most common type of 4000 or more
// stops the program ("dnab: bad mnr").
void armymarks(MapMarks& out, int32_t lnr, int32_t n, float x, float y, float s);
// The arrow from land `from` to land `to` of a kind, drawn from each copy of
// the source on a wrapping map to the nearest copy of the destination.
// start: the arrow's start time (0 none).
void arrowmarks(MapMarks& out, int32_t from, int32_t to, int32_t kind, uint32_t start, float size, uint32_t now);
// A movement arrow between two screen points: an ordered arrow (start above
// 1, within 5 seconds) grows at 10 widths a second from opacity 0.2 to 0.8;
// move arrows end 0.9 widths short of the target, neighbour lines reach half
// a width beyond it; with a start time, move and sneak arrows show the
// ordered arrow's sprite.
void arrowspritemark(MapMarks& out, int32_t kind, uint32_t start, float x1, float y1, float x2, float y2, float width,
                     uint32_t now);
