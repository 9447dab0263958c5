// OpenGL set-up and the frame-rate measurement of start-up.
#include <SDL.h>
#include <GL/gl.h>

#include "gfx/gfx.h"
#include "runtime/fatal.h"
#include "runtime/util.h"

namespace {
char spritefolder[PATHLEN];
int32_t guisounds[3] = {-1, -1, -1};
int32_t guisoundvols[3] = {0, 0, 0};
int32_t particlelimit = 10000;
}  // namespace

void initsprites(const char* datafolder) { strlcopy(spritefolder, datafolder, PATHLEN); }

void InitGLStuff() {
  debugprint("-- InitGLStuff --\n");
  glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
  glEnable(GL_DEPTH_TEST);
}

void guisetsounds(int32_t a, int32_t b, int32_t c) {
  guisounds[0] = a;
  guisounds[1] = b;
  guisounds[2] = c;
}

void guisetsoundvols(int32_t a, int32_t b, int32_t c) {
  guisoundvols[0] = a;
  guisoundvols[1] = b;
  guisoundvols[2] = c;
}

void setgfxlevel(int32_t level) {
  if (level < 10) particlelimit = 10000;
  else if (level < 15) particlelimit = 2000 * level;
  else particlelimit = 100000;
}

float benchmarkfps(int32_t milliseconds, int32_t mode) {
  uint32_t begin = timems();
  int32_t frames = 0;
  uint32_t elapsed = 0;
  do {
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    SDL_GL_SwapBuffers();
    frames++;
    elapsed = timems() - begin;
  } while (elapsed < uint32_t(milliseconds));
  return elapsed ? float(frames) * 1000.0f / float(elapsed) : 0.0f;
}

void freeallgl() {}
