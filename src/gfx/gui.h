// The immediate-mode GUI toolkit. A screen is a loop: on every pass it calls
// guibegin, adds items (texts, buttons, toggles, sprites, boxes) row by row,
// free-standing areas at absolute positions and key shortcuts, lays the items
// out with guishow and calls render_frame, which draws and returns what the
// user activated (guimodal is that loop's wait). Nothing survives between passes but the state named below
// (scroll positions, the pointer, held keys).
//
// Positions are in a virtual screen of 800 x 600 units, origin at the lower
// left, y upward. The screen keeps its proportions in a window of any shape:
// it is scaled alike on both axes and centred (see guiviewport), and what
// lies beside it in a wide window (above and below it in a tall one) is
// still GUI space, beyond 0..800 or 0..600, where the scene is drawn. Rectangles are given by
// their lower-left corner and size. Ids are the caller's ints; 0 is not
// clickable. Text scales: an item's text height is 22 units times the scale
// of guitextscale; an area's text scale is its height in units.
//
// Tables: at most GUIITEMS items, GUIAREAS - 1 areas, GUISHORTCUTS shortcuts
// and GUIINFOS info texts per screen; what does not fit is left out (areas
// log "Warning: out of guiareas", shortcuts "Warning: out of shortcuts").
// Texts are cut to their limits, never written past a buffer.
//
// Everything but render_frame and the draw callbacks works without a window,
// so layout and picking are plain data that tests read back.
#pragma once
#include <array>

#include "runtime/short.h"

constexpr int32_t GUIITEMS = 50000;
constexpr int32_t GUIAREAS = 20000;
constexpr int32_t GUISHORTCUTS = 256;
constexpr int32_t GUIINFOS = 5000;
constexpr int32_t GUIINFOLEN = 2000;      // info texts keep 1999 characters
constexpr int32_t GUIBUTTONLEN = 151;     // item texts keep 150 characters
constexpr int32_t GUIWRAPLEN = 25000;     // areatextwrap keeps 24999 characters
constexpr float GUITEXTHEIGHT = 22.0f;    // text height at text scale 1
constexpr float GUIWIDTH = 800.0f, GUIHEIGHT = 600.0f;
// Window layout: inner margin, title bar, scroll bar width.
constexpr float GUIMARGIN = 18.0f, GUITITLEBAR = 34.0f, GUITITLEHEIGHT = 20.0f, GUISCROLLBAR = 16.0f;

// Key symbols the toolkit names (SDL 1.2 numbering).
constexpr int32_t KEY_BACKSPACE = 8, KEY_TAB = 9, KEY_RETURN = 13, KEY_ESCAPE = 27, KEY_SPACE = 32,
                  KEY_DELETE = 127, KEY_KP_MINUS = 269, KEY_KP_PLUS = 270, KEY_KP_ENTER = 271, KEY_UP = 273,
                  KEY_DOWN = 274, KEY_RIGHT = 275, KEY_LEFT = 276, KEY_HOME = 278, KEY_END = 279,
                  KEY_PAGEUP = 280, KEY_PAGEDOWN = 281, KEY_F1 = 282, KEY_RSHIFT = 303, KEY_LSHIFT = 304,
                  KEY_RCTRL = 305, KEY_LCTRL = 306, KEY_LALT = 308, KEY_ALTGR = 313;
// The key that cancels a dialog.
constexpr int32_t KEY_CANCEL = KEY_ESCAPE;

// ---------------------------------------------------------------- frame --

// Where the 800 x 600 screen lies in a window of width x height pixels:
// pixels per unit (the same on both axes) and the pixel offset of the GUI
// origin from the window's lower left corner.
struct guiview {
  float scale, offx, offy;
};
guiview guiviewfor(int32_t width, int32_t height);
// The view of the open window (scale 1, no offset when none is open).
guiview guiviewport();
// GUI units of a window pixel (top-left origin) and back.
void windowtogui(const guiview& v, int32_t windowh, float px, float py, float* x, float* y);
void guitowindow(const guiview& v, int32_t windowh, float x, float y, float* px, float* py);

// The scenes drawn behind a screen's frames (the map's through the map
// hooks below; the others are the toolkit's backgrounds).
enum class Scene : int32_t {
  none = 0,          // keep the scene shown, or take the one of setbgscene when none is
  title = 1,         // the title backdrop
  menu = 2,          // the menus' backdrop
  perftest = 4,      // the performance-test pattern, measured by benchmarkfps: a screen's
                     // frames show the scene that a screen showed last in its place
  map = 6,           // the strategic map with its camera
  darkmap = 8,       // the map darkened, without camera control
  sky = 9,           // the night sky
  parchment = 10,    // plain parchment
  battlefield = 11   // the battlefield of the battle view
};

// Draws frames of the current screen over a background scene and handles
// input. Returns the id of the area clicked with the left button, minus that
// id for the right button (toggles, radio lines and input fields take no
// right click), the id of a shortcut whose key was pressed, or 0 when
// nothing was activated. A left or right click on an area that only shows
// an info text gives nothing; clicks outside every area give nothing (in a
// window that asks for them, the left ones give its guiplainclickid).
// With wait, frames are drawn until something is activated; without, one
// frame. While waiting, a frame is drawn only when input came (a pointer move
// too), when something drawn moves with the clock (see guianimating) or
// while the input script runs; else the frame sleeps until then. Every key
// and button press is acted on, in the order it came, with the modifier
// keys held at it (guieventmods); a key held down acts once (see
// guirepeatshortcut).
// A change of a list window's scroll position also returns 0, so the screen
// lays its window out anew; so do a move of the map camera (keys, wheel,
// drag, edge scrolling: the next frame shows the map and the areas on it
// made for the new camera together) and every frame of a screen whose
// areas move with the clock (guianimate).
// The camera moves after the input of the frame shown was acted on: a click
// that returns an id finds the camera as the frame showed it.
// A change of scene clears the particles and tells the map to forget wheel
// motion. Asking the window to close ends the program normally, or asks the
// close question when one is set (setclosequestion), after which the frame
// goes on with its window as it was. A stop asked by a
// signal (runtime/stopsignal.h) is acted on after every wait for input. With no
// window, waiting stops the program ("render_frame: no window") and a
// frame without waiting returns 0.
int32_t render_frame(bool wait, Scene scene);

// Pointer in GUI units, held buttons (1 left, 2 right, 4 middle), the wheel
// counter (+1 a notch up, -1 down; the map camera reads and clears it), and
// where the last press on an area fell inside it (x from its left edge,
// y from its bottom edge).
extern float pointerx, pointery;
extern int32_t pointerbuttons, wheelcount;
extern float clickx, clicky;

// The key behind the last id render_frame returned: its symbol and its
// character (0 when not printable); both 0 after a click. A screen with an
// input field gets the field's id for every key that is no shortcut, and
// for a key held down, repeating.
extern int32_t guikeysym, guikeychar;

// The modifier keys that were held when the key or click behind the last id
// render_frame returned was made (a click acted on frames later, behind
// others in the queue, keeps them): GUIMOD_* bits. Alt is the left Alt or
// AltGr.
constexpr int32_t GUIMOD_SHIFT = 1, GUIMOD_CTRL = 2, GUIMOD_ALT = 4;
int32_t guieventmods();

// What is drawn moves with the clock. A still screen is not drawn again
// until input comes: render_frame with wait 1 sleeps after a frame unless
// the frame (or the window built for it) asked for more. Whatever draws a
// thing that moves asks, each frame it draws it (or once while building
// the window, for all its frames until the next guibegin):
// guianimating() for the next frame at the frame pace (at most 60 frames a
// second), guianimatingin(ms) for a frame at the latest `ms` milliseconds
// on (a blink's next change). The frames show the window as it was built;
// a screen whose areas must be made anew for each frame says guianimate.
void guianimating();
void guianimatingin(uint32_t ms);

// When the window is asked to close (the window manager's close, Alt+F4),
// render_frame asks this question in place of ending the program, while one
// is set: it may end the program; when it returns, the frame puts back the
// window that it showed, as it was, and goes on waiting for input to it
// (the presses that answered the question act on nothing else). Null ends
// the program at once, as it does outside a game's turn.
using closequestionfn = void (*)();
void setclosequestion(closequestionfn ask);

// 1 when the last two clicks came less than 251 ms apart.
int isdoubleclick();
// 1 in full screen, 0 in a window, -1 while iconified from full screen.
int isfullscreen();

// Hooks of the strategic map for Scene::map and Scene::darkmap, set by the map view:
// keyscroll (), mousescroll (elapsed ms, or -1 to forget wheel motion; 1 while
// a camera key is held or was tapped, so that the frames go on while a key
// moves the map, also in a frame whose step was too short to move it) and
// draw (the stripe to redraw 0..4 at reduced graphics, -1 for all of it).
using mapkeyscrollfn = void (*)();
using mapmousescrollfn = int32_t (*)(int32_t);
using mapdrawfn = void (*)(int32_t);
void setmaphooks(mapkeyscrollfn keyscroll, mapmousescrollfn mousescroll, mapdrawfn draw);
// What the map scene's picture depends on (camera, viewport, map textures),
// as a number that changes when any of it changes; set by the map view.
using mapscenekeyfn = uint64_t (*)();
void setmapscenekey(mapscenekeyfn key);
// Hooks of the battlefield scene (11), set by the battle view when it
// prepares a field: draw (milliseconds) draws it; cameramoves is 1 while a
// watched battle's camera moves (the frame then ends its wait); watching is
// 1 while a battle is watched, which asks for its own frames, else the field
// moves with the clock while animback is on; freegl frees the view's display
// lists (freeallgl; and after the window's context was made anew, when they
// are gone already: the view then makes them again). Unset, the scene draws
// nothing of its own.
struct BattlefieldHooks {
  void (*draw)(uint32_t milliseconds);
  int32_t (*cameramoves)();
  int32_t (*watching)();
  void (*freegl)();
};
void setbattlefieldhooks(const BattlefieldHooks& hooks);

// The GUI's three sounds: moving onto a new area, a scroll-arrow click, a
// toggle or radio click. The sound player (sound/guisetsounds) sets the hook
// that plays them; unset, the GUI is silent.
enum GuiSound : int32_t { GUISOUND_NEWAREA = 0, GUISOUND_SCROLL = 1, GUISOUND_TOGGLE = 2 };
using guisoundfn = void (*)(GuiSound which);
void setguisoundhook(guisoundfn play);

// The wait of a modal window, the tail of every screen's and box's loop:
//   for (;;) {
//     const int32_t id = guimodal([&] { guibegin(); ...items...; guishow(-1, -1); });
//     if (id == EXIT) return;
//     ...act on the id...
//   }
// build makes the window (guibegin, guidialogbegin or guiboxbegin, its items,
// guishow) and waiting frames over the scene show it; a frame that returns 0
// (a list scrolled, the map camera moved) leaves a stale layout, so the window is built anew and shown again.
// Returns the first id that is not 0. A screen that acts after every frame,
// 0 too (keeps a scroll slot, say), keeps a loop of its own.
template <typename Build>
int32_t guimodal(Build&& build, Scene scene = Scene::none) {
  for (;;) {
    build();
    if (const int32_t id = render_frame(true, scene)) return id;
  }
}

// --------------------------------------------------------- window build --

// Starts a new screen: clears items, areas, shortcuts, info texts and the
// hint; text scale 1, plain colour white, centred, one item per row, no
// title, close id 0, size limits 450 high, 700 and 100 wide.
void guibegin();
// Starts the window of a dialog, as guibegin does. Its frames show it over
// a still picture of the screen that asked it (its scene and window as last
// built, before this call), darkened; the picture is taken at the first
// dialog after a frame of a screen and kept for the dialogs that follow
// until a screen draws a frame of its own again. A scene that only the
// performance test shows is never part of the picture: the last scene that
// a screen showed is drawn instead (the menu scene before any).
void guidialogbegin();
// A box opened from a window (a screen or another box: the battle orders of
// the army panel, the figures of a unit box), for as long as it lives: the
// frames that the box builds with guiboxbegin (in place of guibegin) show it
// over a still, darkened picture of that window as it was last drawn, so
// boxes opened from boxes lie over each other. Dialogs that a box asks show
// the box behind them. Declare one before the box's loop:
//   GuiBox box;
//   for (;;) { int32_t id = guimodal([&] { guiboxbegin(); ... guishow(-1, -1); }); ... }
struct GuiBox {
  GuiBox();
  ~GuiBox();
  GuiBox(const GuiBox&) = delete;
  GuiBox& operator=(const GuiBox&) = delete;
};
void guiboxbegin();
// The areas made so far lie on the map scene and change only with it (the
// map overlay). While neither the scene nor these areas change, frames draw
// both from a picture of the window taken when they were last drawn, and
// only the areas made later anew. guishow leaves out the texts of this
// layer that a window of the screen covers (guiwindow, its own window).
void guistilllayer();
// The areas of this screen change with the clock (an arrow that grows):
// render_frame returns 0 after each frame that it draws so that the screen
// makes them anew, and never waits idle for input. guibegin clears it.
void guianimate();
// Lays the items out into areas. -1 centres the window on that axis; another
// x places its left edge, another y its top edge. Without items, a title or
// a close box no window is shown.
void guishow(float x, float y);
// Areas of a window frame for a rectangle: background, border, title bar
// with the window title when one is set, and the close button ("Exit this
// window") when a close id is set. Flags: GUIWIN_NOBACK draws no background.
constexpr int32_t GUIWIN_NOBACK = 1;
void guiwindow(int32_t flags, float x, float y, float w, float h);
// How opaque a window's background is drawn (1 whole, 0 not at all): wholly
// while the player chose no opacity (`guiopacity`, from "--opacity" or the
// settings file, below 0), else the chosen percent, at most 100; a chosen
// opacity is also drawn 0.35 less while the window fades in (guisetfade),
// an unchosen one never. fading: 0.65 while fading, else 1.
float guiwindowopacity(int32_t chosen, float fading);
void guititle(const char* format, ...) __attribute__((format(printf, 1, 2)));
void guicloseid(int32_t id);
// The id that a left click on a place of the shown window that activates
// nothing gives (plain text, a picture, the place of an info text, the
// margin, the title bar), for a box that such a click closes. 0, after
// guibegin, leaves those clicks to nothing, and the wait goes on. A click
// beside the window, a right click, the wheel and the scroll bar never give it.
void guiplainclickid(int32_t id);
// The wait of a box that the first thing activated closes, a left click on
// its plain text too (guiplainclickid, set after build):
// guimodal's id, 0 for that click.
constexpr int32_t GUIPLAINCLOSEID = -2000000100;
template <typename Build>
int32_t guimodalplainclose(Build&& build, Scene scene = Scene::none) {
  const int32_t id = guimodal(
      [&] {
        build();
        guiplainclickid(GUIPLAINCLOSEID);
      },
      scene);
  return id == GUIPLAINCLOSEID ? 0 : id;
}
// While on (and the fade preference is on) frames and sprites are drawn 0.35
// less opaque.
void guisetfade(int32_t on);
void guimaxheight(float h);
// The least width of a small menu, so that its lines keep clear of the
// frame's rim: menus call guiminwidth(GUIMENUWIDTH).
constexpr float GUIMENUWIDTH = 240;
void guimaxwidth(float w);
void guiminwidth(float w);
void guitextscale(float f);
// The text scale for the items of a block, the scale before it back when
// the block ends (by its end, a return or a throw), so that blocks nest:
//   { GuiTextScale small(0.7f); guitextlong(0, text); }   // back to the outer scale
// Only within one window's build: guibegin sets the scale to 1 whatever
// block is open.
struct GuiTextScale {
  explicit GuiTextScale(float f);
  ~GuiTextScale();
  GuiTextScale(const GuiTextScale&) = delete;
  GuiTextScale& operator=(const GuiTextScale&) = delete;

 private:
  float outer;
};
// 1: every item ends its row; 0: items share a row; back to 1 closes the row.
void guisetnl(int32_t flag);
// GUIALIGN_LEFT or GUIALIGN_CENTRE for the items that follow.
constexpr int32_t GUIALIGN_LEFT = 8, GUIALIGN_CENTRE = 9;
void guialign(int32_t mode);
// Vertical space of h tenths of the text height.
void guispace(float h);
// The next item starts w units from the window's left edge, on the same row.
void guiindent(float w);
// The next item lies over the previous one, from its x plus (1 - f) times
// (its width + 0.1 times its height).
void guioverlayat(float f);
void guioverlay();
// The items added so far are a fixed header; only later items scroll. A
// second call ends the scrolling part: the items after it are a fixed
// footer below the list.
void guiscrollstart();
// Three slots (0..2) that keep a list window's scroll position: reset
// forgets, save keeps the shown window's position (where a frame since its
// guishow scrolled it, if one did), restore applies it at the next guishow.
void resetscrollslot(int32_t n);
void savescrollslot(int32_t n);
void restorescrollslot(int32_t n);
// The picture of window borders (a square; its outer quarter is the rim).
void SetActiveGUIBorderTexture(const char* path);
// Plain colour red = green = blue = level for the items that follow.
void guishade(float level);
// A full-width box behind the rows of the items that follow, up to the next
// guibgbox (alpha 0 ends it without starting another) or the end of the
// scrolling header or window.
void guibgbox(float r, float g, float b, float a);
// The same box `width` wide from `indent` units right of the window's left
// edge. Like every background box it takes no room in its rows: the items
// over it stand where they would without it.
void guibgboxat(float indent, float width, float r, float g, float b, float a);

// Id of the area under the pointer at the last input pass, -1 if none.
int32_t guihoverid();
// Index of the area with a non-zero id under the point: of several, the one
// with the smallest |dx| + |dy| from its centre minus its pick priority (the
// first in the table on a tie); -1 if none.
int32_t guiareaat(float x, float y);
// 1 if the point lies in the shown window widened by 15 units on the left
// and top and 30 on the right and bottom.
int pointinguiwindow(float x, float y);
// Index of the first area with the id, -1 if none.
int32_t findguiarea(int32_t id);

// ---------------------------------------------------------------- items --

// Clickable texts (printf style, 150 characters shown); large and small are
// 1.125 and 0.75 times the text scale. A text wider than the window's
// maximum width wraps onto further rows.
void guibutton(int32_t id, const char* format, ...) __attribute__((format(printf, 2, 3)));
void guibuttonlarge(int32_t id, const char* format, ...) __attribute__((format(printf, 2, 3)));
void guibuttonsmall(int32_t id, const char* format, ...) __attribute__((format(printf, 2, 3)));
// The button that leaves the window ("Exit", "Close", "Ok"...): a clickable
// text that Escape and Return give too, as every screen's and box's exit.
// Its row, alignment and scale are the caller's; more keys are the
// caller's guishortcut.
void guiexitbutton(int32_t id, const char* label);
// A text in a colour of its own; a component of -1 keeps the plain colour's.
void guibuttoncol(int32_t id, const char* format, float r, float g, float b, float a, ...)
    __attribute__((format(printf, 2, 7)));
// A long text shown as it is (24999 characters, wrapped at the maximum width).
void guitextlong(int32_t id, const char* text);
// Two rows (split at the first line break) at half the text scale, each
// clickable with its own id.
void guirows(int32_t id1, int32_t id2, const char* format, ...) __attribute__((format(printf, 3, 4)));
// Info text (1999 characters) of the last item / the last area, shown while
// the pointer is over it; the info number, or -1 when the table is full or
// there is nothing to attach it to. An area with id 0 takes id -9 so that it
// can be found, yet clicks on it give nothing.
int32_t guiinfo(const char* format, ...) __attribute__((format(printf, 1, 2)));
int32_t areainfo(const char* format, ...) __attribute__((format(printf, 1, 2)));
constexpr int32_t GUIINFOONLYID = -9;
// The screen's own info text, shown while the pointer is over no area with
// an info text; the info number or -1.
int32_t guisethint(const char* format, ...) __attribute__((format(printf, 1, 2)));
// A key symbol that makes render_frame return id. A printable key matches
// the character typed (so 'a' and 'A' differ); other keys match by symbol.
// One press gives the id once, however long the key is held.
void guishortcut(int32_t id, int32_t key);
// The same for a key that goes on giving the id while it is held (after
// half a second, some 30 times a second): a value stepped up or down.
void guirepeatshortcut(int32_t id, int32_t key);
// While no key event is waiting, render_frame returns id whenever the key
// is not held.
void guikeyupshortcut(int32_t id, int32_t key);
// A check box bound to the caller's int: a click flips it and returns id.
// A null pointer stops the program ("bad toggle pointer"). Returns the item
// index or -1.
int32_t guitoggle(int32_t id, int32_t* value, const char* format, ...) __attribute__((format(printf, 3, 4)));
// A radio line; selected draws the filled mark.
void guiradiof(int32_t id, int32_t selected, const char* format, ...) __attribute__((format(printf, 3, 4)));
// A line of half the text height across the window.
void guiseparator();
// Sprite items one text height high, as wide as the sprite's aspect ratio
// gives (or scale times the text height). A colour with a green of exactly
// 1.0 is kept as 0.99.
void guisprite(int32_t id, int32_t file, int32_t nr, int32_t mode);
void guispritecol(int32_t id, int32_t file, int32_t nr, int32_t mode, float r, float g, float b, float a);
void guispritescaled(int32_t id, int32_t file, int32_t nr, int32_t mode, float scale);
// Sprites at a text height of 40 (50, 30) sprite pixels in a square cell of
// one text height: 40 sits on the cell's bottom, centred across it; 40mid,
// 50 and 30 are centred both ways.
void guisprite40(int32_t id, int32_t file, int32_t nr, int32_t mode);
void guisprite40mid(int32_t id, int32_t file, int32_t nr, int32_t mode);
void guisprite40col(int32_t id, int32_t file, int32_t nr, int32_t mode, float r, float g, float b, float a);
void guisprite40midcol(int32_t id, int32_t file, int32_t nr, int32_t mode, float r, float g, float b, float a);
void guisprite50(int32_t id, int32_t file, int32_t nr, int32_t mode);
void guisprite30(int32_t id, int32_t file, int32_t nr, int32_t mode);
// A bar ("guibar.tga") filled to the fraction 0..1 ("guihbar.tga" in the
// colour); the item index or -1 when the table is full.
int32_t guiprogressbar(int32_t id, float width, float fraction, float r, float g, float b, float a);
// A quad 2 units high across the width at the item's top plus offset times
// its height; the item index or -1.
int32_t guihline(int32_t id, float width, float offset, float r, float g, float b, float a);
// A square item (side = the text height) that the renderer draws by calling
// draw (value, x, y, w, h) every frame; the item index or -1.
using guidrawfn = void (*)(int32_t value, float x, float y, float w, float h);
int32_t guicallback(int32_t id, int32_t value, guidrawfn draw);
// Plain boxes: width x text height, and a square of the text height.
int32_t guicolourbox(int32_t id, float width, float r, float g, float b, float a);
void guicoloursquare(int32_t id, float r, float g, float b, float a);
// A text field for the dialogs: the text with a cursor, at most `shown`
// characters wide, the part around the cursor shown.
int32_t guiinputfield(int32_t id, const char* text, int32_t cursor, int32_t shown);

// ---------------------------------------------------------------- areas --

// Each returns the area's index, or -1 when the table is full.
int32_t areabox(int32_t id, float x, float y, float w, float h, float r, float g, float b, float a);
// Four boxes (id 0) of thickness t outlining the rectangle from outside.
void areaframe(float x, float y, float w, float h, float t, float r, float g, float b, float a);
int32_t arealine(int32_t smooth, float x1, float y1, float x2, float y2, float r, float g, float b, float a,
                 float width);
int32_t areasprite(int32_t id, int32_t file, int32_t nr, int32_t mode, float x, float y, float w, float h);
int32_t areaspritecol(int32_t id, int32_t file, int32_t nr, int32_t mode, float x, float y, float w, float h,
                      float r, float g, float b, float a);
// Shown for half of each period (ms), by the clock; a period of 0 or below is steady.
int32_t areaspriteblink(int32_t id, int32_t file, int32_t nr, int32_t mode, float x, float y, float w, float h,
                        int32_t period);
// 1/50 unit per sprite pixel times xs, ys, shifted right by (1 - sprite width
// * 0.02) * xs; 40mid: 1/40, centred on (x, y); 50mid: 1/50, centred on x
// with its bottom at y. They add nothing (and return 0) for a sprite wholly
// off the screen.
int32_t areasprite50(int32_t id, int32_t file, int32_t nr, int32_t mode, float x, float y, float xs, float ys);
int32_t areasprite40mid(int32_t id, int32_t file, int32_t nr, int32_t mode, float x, float y, float xs, float ys);
int32_t areasprite50mid(int32_t id, int32_t file, int32_t nr, int32_t mode, float x, float y, float xs, float ys);
// The sprite of outline frames, drawn in mode 4 at alpha 0.9 over the
// rectangle ("bug: SetOutlineTex first" when none was set).
void SetOutlineTex(int32_t file, int32_t nr);
int32_t areaoutline(float x, float y, float w, float h);
// A sprite (pointing right) laid along an arrow from (x, y) toward the
// heading `angle` (degrees: 0 up, 90 right), drawn up to `drawn` of its full
// length: `tail` is the part of the sprite that stretches along the shaft,
// the rest is the head, kept in its proportions at the tip of the part drawn.
int32_t areaarrow(int32_t id, int32_t file, int32_t nr, float x, float y, float width, float length, float angle,
                  float drawn, float tail, float alpha);
// Angle (radians, +-pi/2 when vertical) and length of the vector.
void vecanglelen(float* angle, float* length, float x1, float y1, float x2, float y2);
// One line of text with its lower left at (x, y), scale = its height in
// units; a colour component of -1 takes the plain colour. The low variant
// has a pick priority of 250.
int32_t areatextcol(int32_t id, float x, float y, float scale, float r, float g, float b, float a,
                    const char* format, ...) __attribute__((format(printf, 9, 10)));
int32_t areatext(int32_t id, float x, float y, float scale, const char* format, ...)
    __attribute__((format(printf, 5, 6)));
int32_t areatextlow(int32_t id, float x, float y, float scale, const char* format, ...)
    __attribute__((format(printf, 5, 6)));
// The box of the wrapped text printer (lower left, size); rows go down from
// its top while they stay inside, at most height / 20 of them.
void settextbox(float x, float y, float width, float height);
// A long text (24999 characters) wrapped to the box's width; the number of
// rows written.
int32_t areatextwrap(int32_t id, float scale, const char* format, ...) __attribute__((format(printf, 3, 4)));
int32_t areahotspot(int32_t id, float x, float y, float w, float h);
// Sets the pick priority of an area (larger wins).
void areasetpriority(int32_t area, int32_t priority);

// ----------------------------------------------------------------- text --

// Width at scale 1 (in text heights) of the widest line; a blank and the
// 0xA4 spacer count 0.25.
float textwidth(const char* text);
// Width at scale 1 of the first `length` characters, taken as one row.
float rowwidth(const char* text, int32_t length);
// Breaks the text in place into rows no wider than width (at scale 1) by
// turning blanks into line breaks; a word wider than a row keeps its own
// row. The number of rows ("SplitText: bad txt pntr" for a null text).
int32_t SplitText(char* text, float width);
// The text cut to fit the width at scale 1 (a static buffer).
const char* CutText(const char* text, float width);
// The text (its first line) as it is when it fits the width at scale 1;
// else its words that fit with ".." after them: cut after the last whole
// word, blanks and commas before the dots dropped, never inside a later
// word (a first word wider than the width is cut inside). Its own static
// buffer, apart from CutText's.
const char* CutTextDots(const char* text, float width);
// Rows of a text wrapped at width (scale 1): start and length of each, at
// most `max` of them; words wider than a row are cut. The count of rows.
struct textrow {
  int32_t start, length;
};
int32_t wraptext(const char* text, int32_t length, float width, textrow* rows, int32_t max);

// ------------------------------------------------------------ the tables --

enum class AreaKind : uint8_t {
  box, text, sprite, line, hotspot, toggle, radio, bar, hline, callback, field, border, arrow, outline, closebox,
  scrollup, scrolldown, scrolltrack, scrollthumb, buttonback
};
// An area as laid out: what render_frame draws and picks. Text areas point
// into the screen's text pool.
struct guiarea {
  AreaKind kind;
  uint8_t flags;            // GUIAREA_...
  uint16_t priority;
  int32_t id;
  float x, y, w, h;
  float r, g, b, a;
  float scale;              // text height; arrow: drawn length
  float u, v;               // bar: fraction; line: end point; arrow: angle, tail
  int32_t file, nr, mode;   // sprites; toggle/callback: value
  int32_t text, length;     // text pool range
  int32_t info;             // info text, -1 none
  int32_t period;           // blinking sprites
  int32_t clip;             // clip rectangle of a scrolled window, -1 none
  int32_t* toggle;          // toggles
  guidrawfn draw;           // callbacks
};
constexpr uint8_t GUIAREA_FADE = 1;       // drawn less opaque while fading
constexpr uint8_t GUIAREA_INFOONLY = 2;   // id -9 given for an info text
constexpr uint8_t GUIAREA_SMOOTH = 4;     // lines: smoothed
constexpr uint8_t GUIAREA_HOVER = 8;      // clickable text: lit under the pointer
constexpr uint8_t GUIAREA_PLAINCOL = 16;  // text in the plain colour of the frame
int32_t guiareacount();
const guiarea& guiareaget(int32_t index);
// The text of a text area (not terminated; its length is area.length).
const char* guiareatext(const guiarea& area);
const char* guiinfotext(int32_t info);
// The shown window (after guishow) and its clip rectangles.
struct guirect {
  float x, y, w, h;
};
guirect guishownwindow();
// The whole window in GUI units (0, 0, 800, 600 when none is open): the
// room that popups keep inside and that scenes fill.
guirect guivisible();
guirect guiclip(int32_t index);
// The scroll position (units from the top) of the shown window, and how far
// it can go.
float guiscroll();
float guiscrollmax();
// Sets the shown window's scroll position for the next guishow.
void guisetscroll(float units);
// Where a popup box of w x h units goes for the pointer at (px, py) over
// the area `hovered` (-1 none): beside the pointer or the area, else above,
// else below, inside `room` and POPUPMARGIN units clear of its edges (as
// far as the room has space for the box); the first place that covers none
// of the screen's texts and controls (the hovered one included), else the
// one that covers least of them.
constexpr float POPUPMARGIN = 6.0f;
guirect guipopupplace(float w, float h, float px, float py, int32_t hovered, guirect room);
// Hint of the screen, or "" when none.
const char* guihinttext();
// Shortcuts of the screen.
struct guishortcutkey {
  int32_t id, key, keyup, repeats;
};
int32_t guishortcutcount();
const guishortcutkey& guishortcutget(int32_t index);
