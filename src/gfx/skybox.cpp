// The sky box: six pictures on the inside of a cube around the eye, drawn
// without depth so that whatever comes after lies in front of it.
#include <GL/gl.h>

#include "gfx/gfx.h"
#include "gfx/texture.h"
#include "runtime/folders.h"
#include "runtime/util.h"

void drawskybox() {
  // Corners of each face (x, y, z) in the order of the texture's corners
  // (0,0) (1,0) (1,1) (0,1): front, right, back, left, top, bottom.
  static const float faces[6][4][3] = {
      {{-1, -1, -1}, {1, -1, -1}, {1, 1, -1}, {-1, 1, -1}},
      {{1, -1, -1}, {1, -1, 1}, {1, 1, 1}, {1, 1, -1}},
      {{1, -1, 1}, {-1, -1, 1}, {-1, 1, 1}, {1, 1, 1}},
      {{-1, -1, 1}, {-1, -1, -1}, {-1, 1, -1}, {-1, 1, 1}},
      {{-1, 1, -1}, {1, 1, -1}, {1, 1, 1}, {-1, 1, 1}},
      {{-1, -1, 1}, {1, -1, 1}, {1, -1, -1}, {-1, -1, -1}},
  };
  static const float corners[4][2] = {{0, 0}, {1, 0}, {1, 1}, {0, 1}};
  glDisable(GL_DEPTH_TEST);
  glDepthMask(GL_FALSE);
  glColor4f(1, 1, 1, 1);
  for (int32_t f = 0; f < 6; f++) {
    char path[PATHLEN];
    formatbounded(path, PATHLEN, "%s/sky%d.tga", datapath, f);
    uint32_t tex = loadtexture(path, 0, 100, 0);
    if (!tex) glColor4f(0.02f, 0.03f, 0.08f, 1);
    bindtexture(tex, 0);
    glBegin(GL_QUADS);
    for (int32_t c = 0; c < 4; c++) {
      glTexCoord2fv(corners[c]);
      glVertex3fv(faces[f][c]);
    }
    glEnd();
  }
  glDepthMask(GL_TRUE);
  glEnable(GL_DEPTH_TEST);
  resettexstate();
}
