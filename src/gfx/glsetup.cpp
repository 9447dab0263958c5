// OpenGL set-up, detail levels, GUI sound choices and the frame-rate
// measurement of start-up.
#include <SDL.h>
#include <GL/gl.h>

#include "gfx/gfx.h"
#include "gfx/dialogwindow.h"
#include "gfx/glext.h"
#include "gfx/guidraw.h"
#include "gfx/sprites.h"
#include "gfx/texture.h"
#include "runtime/fatal.h"
#include "runtime/options.h"
#include "runtime/settings.h"
#include "runtime/trs.h"
#include "runtime/util.h"

texturefilters texfilters = {GL_LINEAR, GL_LINEAR, 0};

namespace {
int32_t particles = 10000;
float farview = 300.0f;
}  // namespace

// Clears the sprite archive cache and remembers where the archives lie.
void initsprites(const char* datafolder) {
  flushtrscache();
  settrsfolder(datafolder);
}

texturefilters filtersfor(int32_t level) {
  if (level <= 0) return {GL_LINEAR, GL_LINEAR, 0};
  if (level == 1) return {GL_LINEAR_MIPMAP_NEAREST, GL_LINEAR, 1};
  return {GL_LINEAR_MIPMAP_LINEAR, GL_LINEAR, 1};
}

void setglstate() {
  glViewport(0, 0, windowwidth(), windowheight());
  glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
  glClearDepth(1.0);
  glEnable(GL_DEPTH_TEST);
  glDepthFunc(GL_LEQUAL);
  glShadeModel(GL_SMOOTH);
  glDisable(GL_CULL_FACE);
  glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
  glAlphaFunc(GL_GREATER, 0.05f);
  glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glHint(GL_PERSPECTIVE_CORRECTION_HINT, GL_NICEST);
  glHint(GL_FOG_HINT, GL_NICEST);
}

void InitGLStuff() {
  debugprint("-- InitGLStuff --\n");
  setglstate();
  if (glext) initglext();
  if (badgl) clamptoedge = 0;
  if (supported_GLX_SGI_swap_control == 1 && (vsync == 0 || vsync == 1) && pglXSwapIntervalSGI)
    pglXSwapIntervalSGI(vsync);
  texfilters = filtersfor(filtering);
  if (maxtexsize == 0) {
    GLint largest = 0;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &largest);
    maxtexsize = largest;
    debugprint("maxtexsize %d\n", maxtexsize);
  }
  texmipmaps = 1;
  texcompresslevel = texquality <= 1 ? 2 : texquality == 2 ? 1 : 0;
  maptexcompress = gfxlevel >= 0 && gfxlevel < 3 ? 1 : 0;
  loadguiart();
  installwindowdialogs(1);
}

void freeallgl() {
  if (!windowopen()) return;
  freescenegl();
  clearsprites();
  freealltextures();
  // Whoever keeps texture names (the map's tiles) forgets them: they mean
  // nothing in the next window.
  reloadtextures();
}


int32_t particlelimitfor(int32_t level) {
  if (level < 10) return 10000;
  if (level < 15) return 2000 * level;
  return 100000;
}

void setgfxlevel(int32_t level) {
  particles = particlelimitfor(level);
  // Each level past 8 lets the eye see a little further over the field.
  farview = 300.0f + 40.0f * float(imax(0, imin(level, 20) - 8));
}

int32_t particlelimit() { return particles; }
float viewdistance() { return farview; }

float benchmarkfps(int32_t milliseconds, int32_t mode) {
  int32_t savedframedelay = framedelay, savedanimback = animback;
  framedelay = 0;
  animback = 1;
  // A frame as render_frame draws it: the scene and the screen's areas.
  auto frame = [mode]() {
    drawscene();
    drawguiareas(-1);
    if (mode) finishframe();
    else glFinish();
  };
  frame();   // uncounted: display lists and the like are built here
  uint32_t begin = timems(), elapsed = 0;
  int32_t frames = 0;
  do {
    frame();
    frames++;
    elapsed = timems() - begin;
  } while (elapsed < uint32_t(imax(milliseconds, 0)));
  framedelay = savedframedelay;
  animback = savedanimback;
  return float(frames) * 1000.0f / float(imax(int32_t(elapsed), 1));
}
