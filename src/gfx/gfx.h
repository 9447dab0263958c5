// Graphics, input and the window: the SDL platform layer, OpenGL set-up, the
// frame pump with its scripted input, and the background scenes. Nothing here
// is touched in text-only mode. The header itself pulls in no SDL or OpenGL.
#pragma once
#include <array>

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
// Closes SDL when this process started it.
void sdlquit();
// 1 while the window is open.
int windowopen();

// OpenGL state, extension probe, vsync, filtering, texture size limit.
void InitGLStuff();
// Frees every texture and display list that was created (the work of flushopengl).
void freeallgl();
// Texture filters chosen from the `filtering` setting (0..3): 0 bilinear,
// 1 bilinear between mipmaps, 2 and 3 trilinear; mipmaps from 1 up.
struct texturefilters {
  int32_t minfilter, magfilter, mipmaps;
};
texturefilters filtersfor(int32_t filtering);
extern texturefilters texfilters;

void guisetsounds(int32_t newarea, int32_t scrollarrow, int32_t toggle);
void guisetsoundvols(int32_t newarea, int32_t scrollarrow, int32_t toggle);
extern std::array<int32_t, 3> guisounds, guisoundvols;

// Battle graphics detail: view distance and particle limit.
void setgfxlevel(int32_t level);
// 10000 below level 10, 2000 * level below 15, else 100000.
int32_t particlelimitfor(int32_t level);
int32_t particlelimit();
// Far end of the battlefield view in metres for the current detail level.
float viewdistance();

// Background scenes drawn behind the screens. Callers may also pass a scene
// number; numbers without a scene of their own show the title backdrop.
enum class Scene : int32_t { none = 0, title = 1, perftest = 4, battlefield = 11 };
void setbgscene(int32_t scene);
inline void setbgscene(Scene scene) { setbgscene(int32_t(scene)); }
int32_t currentscene();
// Draws one frame of the current scene into the back buffer.
void drawscene();

// Ends a drawn frame: takes a screenshot the input script asked for, shows
// the frame and keeps to the frame-rate limit (`framedelay` ms per frame).
void finishframe();
// Reads the input of one frame (after the input script has fed its events):
// keeps the key-down table, the pointer and the buttons, and notes a request
// to close the window. Returns the symbol of the first key pressed, or 0.
int32_t pumpevents();
// 1 once the window was asked to close.
extern int32_t quitrequested;
// Held keys by SDL key symbol; symbols beyond the table are ignored.
constexpr int32_t KEYTABLE = 320;
extern std::array<uint8_t, KEYTABLE> keydown;
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
// Empty lines and lines beginning "#" are skipped.
enum class ScriptOp : int32_t { skip, wait, key, type, click, shot, quit, bad };
struct scriptcommand {
  ScriptOp op;
  int32_t x, y, button;   // wait: x frames; click: position and button
  char text[PATHLEN];     // key name, typed text or shot path
};
scriptcommand parsescriptline(const char* line);
// Writes an RGB image (rows bottom-up, as OpenGL reads them) as a binary PPM; 1 on success.
int writeppm(const char* path, const uint8_t* rgb, int32_t width, int32_t height);
