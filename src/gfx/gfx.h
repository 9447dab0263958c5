// Graphics, input and the window: the SDL platform layer, OpenGL set-up, the
// frame pump with its scripted input, and the background scenes. Nothing here
// is touched in text-only mode. The header itself pulls in no SDL or OpenGL.
#pragma once
#include <array>
#include <vector>

#include "gfx/gui.h"
#include "runtime/short.h"

// GUI toolkit start values that main hands over once.
extern int32_t guilayoutstyle, guifadein, guireducedgfx;

void initsprites(const char* datafolder);
void setwindowicon(const char* path);
int videomodeok(int32_t width, int32_t height, int32_t bits);
int open_window(const char* caption, int32_t width, int32_t height, int32_t bits, int32_t depthbits,
                int32_t doublebuffer, int32_t fullscreenflag);
void setfullscreensize(int32_t width, int32_t height);
void setwindowsize(int32_t width, int32_t height);
// Size of the open window in pixels (0 when none is open).
int32_t windowwidth();
int32_t windowheight();
// For tests and benchmarks: when DISPLAY is unset, starts an X server of
// this process's own (Xvfb, which picks a free display and ends with the
// process) and sets DISPLAY to it. Its screen of 1920 x 1200 holds a window
// of 1920 x 1080 whole (a window beyond the screen reads back undefined
// pixels there). The server's process id, 0 when DISPLAY was set already,
// -1 on failure.
int32_t startprivatexserver();
// Ends a server that startprivatexserver started and waits until it is gone
// (killed when it does not end in ten seconds).
void stopprivatexserver(int32_t server);
// 1 when there is a display to show the window on (SDL would otherwise run
// on an invisible screen).
int displayreachable();
// Closes SDL when this process started it.
void sdlquit();
// 1 while the window is open.
int windowopen();
// Sets the window (or full-screen surface) to a new size, at least 1 x 1;
// 1 on success. Where the window's context was made anew, the textures are
// loaded again (checkglcontext).
int setvideosize(int32_t width, int32_t height, int32_t full);
// Switches between the window and full screen at their remembered sizes; 1
// when the switch was made.
int togglefullscreen();
int fullscreenon();

// OpenGL state, extension probe, vsync, filtering, texture size limit, and
// the toolkit's font and pictures.
void InitGLStuff();
// The OpenGL state alone (after a context was made anew).
void setglstate();
// Frees every texture and display list that was created (the work of flushopengl).
void freeallgl();
// Frees what the scenes' hooks keep in OpenGL (the battle view's display lists).
void freescenegl();
// Texture filters chosen from the `filtering` setting (0..3): 0 bilinear,
// 1 bilinear between mipmaps, 2 and 3 trilinear; mipmaps from 1 up.
struct texturefilters {
  int32_t minfilter, magfilter, mipmaps;
};
texturefilters filtersfor(int32_t filtering);
extern texturefilters texfilters;


// Battle graphics detail: view distance and particle limit.
void setgfxlevel(int32_t level);
// 10000 below level 10, 2000 * level below 15, else 100000.
int32_t particlelimitfor(int32_t level);
int32_t particlelimit();
// Far end of the battlefield view in metres for the current detail level.
float viewdistance();

// Background scenes drawn behind the screens (Scene in gui.h). Callers may
// also pass a scene number; numbers without a scene of their own show the
// title backdrop.
// Chooses the scene that frames with scene 0 fall back to and forgets the
// current one, so the next such frame takes it anew.
void setbgscene(int32_t scene);
inline void setbgscene(Scene scene) { setbgscene(int32_t(scene)); }
int32_t currentscene();
// Makes the scene current (0: keep the current one, or take the background
// scene when none is); a change clears the particles and tells the map to
// forget wheel motion. Returns the current scene.
int32_t enterscene(int32_t scene);
// The map camera's keys and wheel for a frame of the map scene; 1 when the
// map's picture changed with them (the camera or the zoom moved). On the
// battlefield of a battle being watched, 1 while its camera moves (the
// battle view moves it itself).
int32_t scenecontrols(uint32_t elapsedms);
// Draws one frame of the current scene into the back buffer.
void drawscene();
// The same for a screen's frame: the performance-test pattern is only for
// measuring, so while it is the scene (a world being made behind a progress
// box, say) a screen shows the scene that a screen showed last.
void drawscreenscene();
// The same with the still layer's areas (those before `end`, see
// guistilllayer) drawn over the scene, from the picture of an earlier frame
// while neither changed; returns the first area still to draw.
int32_t drawscreenscenestill(int32_t end, int32_t hovered);
// The still picture behind dialogs (see guidialogbegin in gui.h): taken of
// the scene that a screen showed last and, when `withscreen`, the areas now
// in the tables; drawn darkened over the whole window (one of the scene
// alone is taken when none is held); forgotten when a screen draws a frame
// of the scene given, which is remembered for the next picture.
void takedialogpicture(int32_t withscreen);
int dialogpictureheld();
void drawdialogpicture();
void forgetdialogpicture(int32_t scene);
// The pictures behind the boxes (GuiBox in gui.h): push takes one of the
// window that opens a box as it was last drawn, pop forgets the innermost.
// A box's frames draw the innermost darkened (drawdialogpicture).
void pushboxpicture();
void popboxpicture();
// Flat drawing in window pixels with the origin at the lower left.
void flatprojection();
// The night sky box around the view (textures "sky0.tga" .. "sky5.tga").
void drawskybox();

// Ends a drawn frame: takes a screenshot the input script asked for, shows
// the frame and keeps to the frame pace (framepace).
void finishframe();
// Milliseconds a frame takes at least: `framedelay`, and never less than
// MINFRAMEMS (no more than 60 frames a second, a display's refresh); 0 with
// framedelay 0, the benchmarks' unthrottled frames.
constexpr int32_t MINFRAMEMS = 17;
int32_t framepace();
// Frames that render_frame has drawn since the program started.
uint32_t framesdrawn();
// Sets up the input of a new window: the toolkit's own key repeat in place of
// SDL's, and at most one pointer move waiting in SDL's queue.
void startinput();
// Reads the input waiting (after the input script has fed its events): keeps
// the key-down table, the pointer and the buttons, gathers the key presses
// (with a repeat of a key held down when one is due), button presses and
// wheel notches into `frameinput`, follows window resizes and the full-screen
// toggle (Alt+Enter), and notes a request to close the window. 1 when any
// event came (a pointer move, too), else 0.
int32_t pumpevents();
// Sleeps until an event waits, a signal asks the program to stop
// (runtime/stopsignal.h), or the millisecond clock reaches `until` (0: no
// limit), looking every INPUTPOLLMS.
constexpr int32_t INPUTPOLLMS = 10;
void waitforinput(uint32_t until);
// When the held key repeats next (the clock in ms), 0 when none is held.
uint32_t nextkeyrepeat();
// A key or button press, in the order the presses came: what it was, the
// modifier keys held at it (GUIMOD_*) and when it was read.
struct inputevent {
  bool key;          // a key, else a mouse button
  bool repeat;       // a key held down, repeating
  int32_t sym;
  uint16_t unicode;
  int32_t button;    // 1 left, 2 middle, 3 right
  int32_t x, y;      // window pixels, top-left origin
  int32_t mods;
  uint32_t ms;
};
struct frameevents {
  std::vector<inputevent> events;
  int32_t wheel;
  int32_t videochanged;   // the window was resized or switched
  int32_t any;            // some event came, a pointer move too
};
extern frameevents frameinput;
// 1 while the window is iconified.
extern int32_t iconified;
// Input script lines fed in place of VEY3_INPUTSCRIPT (tests); the next
// frame starts at the first line.
void setinputscript(const char* text);
// 1 while the input script has lines to carry out, frames to wait or a
// picture to take: the frames go on without waiting for input.
int scriptbusy();
// 1 once the window was asked to close.
extern int32_t quitrequested;
// Held keys by SDL key symbol; symbols beyond the table are ignored.
constexpr int32_t KEYTABLE = 320;
extern std::array<uint8_t, KEYTABLE> keydown;
// Keys pressed and let go again within the latest input pass, by symbol:
// how often (at most 255). A key still held at the pass's end counts its
// last press in keydown instead. What moves while a key is held (the map's
// camera) moves for each tap as for one frame held, so that a quick tap
// whose press and release come between two frames is not lost.
extern std::array<uint8_t, KEYTABLE> keytaps;
// When the input passes saw each key's last press and release (the
// millisecond clock): `heldto` is the last pass before the release that
// found the key held (the press's own time for a tap). What the program
// itself saw of a key held, which may be later and shorter than the keyboard
// held it on a busy machine; a key let go with the keyboard's focus counts
// as released then.
struct keyseen {
  uint32_t pressed, heldto, released;
};
extern std::array<keyseen, KEYTABLE> keytimes;
// Forgets the held keys and buttons (and the key that repeats): a window
// opened or closed, or the keyboard gone to another window, sends no
// release for them.
void forgetheldinput();
// Pointer position in window pixels (top-left origin) and held buttons
// (1 left, 2 right, 4 middle).
extern int32_t mousex, mousey, mousebuttons;

// Frames per second drawn of the current scene over the given time.
// mode 1 shows each frame; mode 0 only finishes drawing it.
float benchmarkfps(int32_t milliseconds, int32_t mode);

// Scripted input for tests of the real window: when VEY3_INPUTSCRIPT names a
// file, its lines are carried out one frame at a time:
//   wait N        let N frames pass
//   key NAME      press and release a key (SDL key name: "escape", "return", "a", "f1", ...)
//   type TEXT     type the characters of TEXT
//   click X Y [B] press and release mouse button B (1 when left out) at window pixel X, Y
//   shot PATH     write the next frame as a binary PPM image
//   quit          ask the window to close
//   move X Y      move the pointer to window pixel X, Y
//   down X Y [B], up X Y [B]   press or release a button there
//   wheel N       N notches of the wheel (negative: down)
//   hold KEY, release KEY      press a key and keep it held, let it go
//   resize W H    the window is resized to W x H pixels
//   clickid ID [B]  click the middle of the area with that id as now laid out
//   waitfor ID    wait (at most 3000 frames) until an area with that id is shown
//   point ID      move the window system's pointer over the middle of the area (a real
//                 pointer move, for the clicks that a command below sends)
//   run COMMAND   run a shell command to its end (tests send real X events with xdotool);
//                 a command that fails stops the program
// Empty lines and lines beginning "#" are skipped.
enum class ScriptOp : int32_t {
  skip, wait, key, type, click, shot, quit, move, down, up, wheel, hold, release, resize, clickid, waitfor, point, run, bad
};
struct scriptcommand {
  ScriptOp op;
  int32_t x, y, button;   // wait: x frames; click: position and button
  char text[PATHLEN];     // key name, typed text, shot path or command
};
scriptcommand parsescriptline(const char* line);
// Writes an RGB image (rows bottom-up, as OpenGL reads them) as a binary PPM; 1 on success.
int writeppm(const char* path, const uint8_t* rgb, int32_t width, int32_t height);
