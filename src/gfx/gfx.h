// Graphics, input and the window: the SDL platform layer and OpenGL set-up.
// Nothing here is touched in text-only mode.
#pragma once
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
void InitGLStuff();
void guisetsounds(int32_t newarea, int32_t scrollarrow, int32_t toggle);
void guisetsoundvols(int32_t newarea, int32_t scrollarrow, int32_t toggle);
void setgfxlevel(int32_t level);
// Frames per second drawn of the current scene over the given time.
float benchmarkfps(int32_t milliseconds, int32_t mode);
// Closes SDL when this process started it.
void sdlquit();
// Frees every texture and display list (the work of flushopengl).
void freeallgl();
// 1 while the window is open.
int windowopen();
