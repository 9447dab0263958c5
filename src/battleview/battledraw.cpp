// The battlefield drawn with OpenGL 1.x: the height field as a lit terrain
// mesh with its objects, under a sky and fog, seen by a camera that circles
// the field. Terrain and objects go into one display list that is rebuilt
// when the map or the detail switches change.
#include <GL/gl.h>
#include <GL/glu.h>

#include <algorithm>
#include <cmath>

#include "battleview/battleview.h"
#include "gfx/gfx.h"
#include "gfx/texture.h"
#include "runtime/settings.h"

namespace {
GLuint fieldlist = 0;
uint32_t builtgeneration = ~0u;
int32_t builtlow = -1, builtextra = -1;

constexpr float METRE = 100.0f;   // centimetres per drawing unit

GroundLook builtlook;

// Ground colour by height and steepness: the ground's colour on level land,
// the rock's on slopes, paler high up.
void groundcolour(const GroundLook& look, float heightm, float steep) {
  static const float lift[3] = {0.01f, 0.004f, 0.01f};
  float c[3];
  for (size_t i = 0; i < 3; i++)
    c[i] = std::clamp(look.ground[i] + (look.rock[i] - look.ground[i]) * steep + lift[i] * heightm, 0.0f, 1.0f);
  glColor3fv(c);
}

float vertexheight(int32_t x, int32_t y) {
  return float(battlemap.height[size_t(y) * battlemap.width + x]) / METRE;
}

void terrainvertex(const GroundLook& look, int32_t x, int32_t y) {
  const battlemapdata& m = battlemap;
  int32_t x0 = x > 0 ? x - 1 : x, x1 = x < m.width - 1 ? x + 1 : x;
  int32_t y0 = y > 0 ? y - 1 : y, y1 = y < m.depth - 1 ? y + 1 : y;
  float cell = float(m.cellsize) / METRE;
  float dx = (vertexheight(x1, y) - vertexheight(x0, y)) / (float(x1 - x0) * cell);
  float dy = (vertexheight(x, y1) - vertexheight(x, y0)) / (float(y1 - y0) * cell);
  float length = sqrtf(dx * dx + dy * dy + 1.0f);
  groundcolour(look, vertexheight(x, y), fminf(1.0f, sqrtf(dx * dx + dy * dy)));
  glNormal3f(-dx / length, 1.0f / length, -dy / length);
  glVertex3f(float(x) * cell, vertexheight(x, y), float(y) * cell);
}

void drawterrain(const GroundLook& look) {
  const battlemapdata& m = battlemap;
  int32_t step = battlelowdetail ? 2 : 1;
  for (int32_t y = 0; y + step < m.depth; y += step) {
    glBegin(GL_TRIANGLE_STRIP);
    for (int32_t x = 0; x < m.width; x += step) {
      terrainvertex(look, x, y + step);
      terrainvertex(look, x, y);
    }
    glEnd();
  }
}

// A ring of `sides` points at the given height and radius, joined to an apex
// (a cone) or to a lower ring (a frustum).
void drawcone(float bottom, float top, float radius, float topradius, int32_t sides) {
  glBegin(GL_TRIANGLE_STRIP);
  for (int32_t i = 0; i <= sides; i++) {
    float a = float(i) * 6.2831853f / float(sides);
    float c = cosf(a), s = sinf(a);
    glNormal3f(c, 0.5f, s);
    glVertex3f(c * topradius, top, s * topradius);
    glVertex3f(c * radius, bottom, s * radius);
  }
  glEnd();
}

void drawobject(const GroundLook& look, const massobj& o) {
  float cell = 1.0f / METRE;
  float size = float(o.scale) / 100.0f;
  int32_t sides = battleextradetail ? 10 : 6;
  glPushMatrix();
  glTranslatef(float(o.x) * cell, battlemapheight(battlemap, float(o.x), float(o.y)) * cell + float(o.z) * cell,
               float(o.y) * cell);
  glRotatef(float(o.angle), 0, 1, 0);
  glScalef(size, size, size);
  float r = float(o.red) / 255.0f, g = float(o.green) / 255.0f, b = float(o.blue) / 255.0f;
  if (look.rockset && (MassKind(o.kind) == MassKind::rock || MassKind(o.kind) == MassKind::stone)) {
    r = look.rock[0];
    g = look.rock[1];
    b = look.rock[2];
  }
  float vary = float(o.seed & 7) / 28.0f;
  switch (MassKind(o.kind)) {
    case MassKind::tree:
      glColor3f(0.35f, 0.22f, 0.12f);
      drawcone(0.0f, 1.6f, 0.18f, 0.14f, sides);
      glColor3f(r, g, b);
      drawcone(1.2f, 5.0f + 2.0f * vary, 1.5f, 0.0f, sides);
      break;
    case MassKind::rock:
      glColor3f(r, g, b);
      drawcone(-0.2f, 0.9f + vary, 1.2f, 0.35f, 5);
      break;
    case MassKind::bush:
      glColor3f(r, g, b);
      drawcone(0.0f, 0.8f + vary, 0.9f, 0.2f, sides);
      break;
    case MassKind::stone:
      glColor3f(r, g, b);
      drawcone(0.0f, 3.0f + vary, 0.5f, 0.4f, 4);
      break;
  }
  glPopMatrix();
}

// The sky box: a cube around the eye that turns with the camera but never
// comes nearer, drawn at the far end of the depth range where nothing of the
// field stands yet, so that a software renderer shades only the sky it
// shows. The picture covers each side from the horizon up, once per side:
// laid round when its edges meet, else mirrored in turn, so that neighbours
// meet on the same column of the picture. The top is drawn from
// the picture's top row toward its middle, so it meets every side along
// their common edge. Below the horizon lies far land of the ground's colour
// fading into the fog, and a band of fog hazes the picture's foot.
void drawskycube(const BattleSky& sky, const float* fog, const float* ground) {
  const uint32_t texture = sky.texture;
  float m[16];
  glGetFloatv(GL_MODELVIEW_MATRIX, m);
  glPushMatrix();
  m[12] = m[13] = m[14] = 0.0f;   // the camera's turn without its place
  glLoadMatrixf(m);
  glEnable(GL_DEPTH_TEST);   // the depth function is LEQUAL throughout
  glDepthRange(1.0, 1.0);
  glDepthMask(GL_FALSE);
  // Any size between the near and far planes; the box is always around the eye.
  const float s = 10.0f;
  static const float around[5][2] = {{-1, -1}, {1, -1}, {1, 1}, {-1, 1}, {-1, -1}};
  glColor4f(1, 1, 1, 1);
  if (texture) {
    bindtexture(texture, 0);
    glBegin(GL_QUADS);
    for (int32_t i = 0; i < 4; i++) {
      const float u0 = sky.round ? 0.0f : float(i % 2), u1 = 1.0f - u0;
      const float* a = around[i];
      const float* b = around[i + 1];
      glTexCoord2f(u0, 0);
      glVertex3f(a[0] * s, 0, a[1] * s);
      glTexCoord2f(u1, 0);
      glVertex3f(b[0] * s, 0, b[1] * s);
      glTexCoord2f(u1, 1);
      glVertex3f(b[0] * s, s, b[1] * s);
      glTexCoord2f(u0, 1);
      glVertex3f(a[0] * s, s, a[1] * s);
    }
    glEnd();
    glBegin(GL_TRIANGLES);
    for (int32_t i = 0; i < 4; i++) {
      const float u0 = sky.round ? 0.0f : float(i % 2), u1 = 1.0f - u0;
      glTexCoord2f(u0, 1);
      glVertex3f(around[i][0] * s, s, around[i][1] * s);
      glTexCoord2f(u1, 1);
      glVertex3f(around[i + 1][0] * s, s, around[i + 1][1] * s);
      glTexCoord2f(0.5f, 1);
      glVertex3f(0, s, 0);
    }
    glEnd();
  }
  // Below the horizon, land far beyond the field fading into the fog toward
  // the horizon; over the picture's foot a band of haze.
  bindtexture(0, 5);
  const float haze = 0.07f * s, fade = -0.05f * s;
  float land[3];
  for (int32_t c = 0; c < 3; c++) land[c] = fog[c] + (ground[c] - fog[c]) * 0.6f;
  glBegin(GL_QUADS);
  for (int32_t i = 0; i < 4; i++) {
    const float* a = around[i];
    const float* b = around[i + 1];
    glColor4f(land[0], land[1], land[2], 1);
    glVertex3f(a[0] * s, -s, a[1] * s);
    glVertex3f(b[0] * s, -s, b[1] * s);
    glVertex3f(b[0] * s, fade, b[1] * s);
    glVertex3f(a[0] * s, fade, a[1] * s);
    glVertex3f(a[0] * s, fade, a[1] * s);
    glVertex3f(b[0] * s, fade, b[1] * s);
    glColor4f(fog[0], fog[1], fog[2], 1);
    glVertex3f(b[0] * s, 0, b[1] * s);
    glVertex3f(a[0] * s, 0, a[1] * s);
    glVertex3f(b[0] * s, 0, b[1] * s);
    glVertex3f(a[0] * s, 0, a[1] * s);
    glColor4f(fog[0], fog[1], fog[2], 0);
    glVertex3f(a[0] * s, haze, a[1] * s);
    glVertex3f(b[0] * s, haze, b[1] * s);
  }
  glColor4f(land[0], land[1], land[2], 1);
  for (int32_t i = 3; i >= 0; i--) glVertex3f(around[i][0] * s, -s, around[i][1] * s);
  glEnd();
  resettexstate();
  glDepthMask(GL_TRUE);
  glDepthRange(0.0, 1.0);
  glPopMatrix();
}

void buildfield(const GroundLook& look) {
  if (fieldlist == 0) fieldlist = glGenLists(1);
  glNewList(fieldlist, GL_COMPILE);
  if (battlemap.width >= MINBMSIDE) {
    drawterrain(look);
    for (int32_t i = 0; i < battlemap.objects; i++) drawobject(look, battlemap.obj[i]);
  } else {
    // No map: a translucent ground floor.
    glEnable(GL_BLEND);
    glColor4f(look.ground[0], look.ground[1], look.ground[2], 0.6f);
    glNormal3f(0, 1, 0);
    glBegin(GL_QUADS);
    glVertex3f(0, 0, 0);
    glVertex3f(0, 0, FLOORSPAN);
    glVertex3f(FLOORSPAN, 0, FLOORSPAN);
    glVertex3f(FLOORSPAN, 0, 0);
    glEnd();
    glDisable(GL_BLEND);
  }
  glEndList();
  builtgeneration = battlemapgeneration;
  builtlow = battlelowdetail;
  builtextra = battleextradetail;
  builtlook = look;
}
}  // namespace

void drawbattlefield(uint32_t milliseconds) {
  const GroundLook look = battlegroundlook();
  if (fieldlist == 0 || builtgeneration != battlemapgeneration || builtlow != battlelowdetail ||
      builtextra != battleextradetail || !(builtlook == look))
    buildfield(look);
  const battlemapdata& m = battlemap;
  float cell = float(m.cellsize) / METRE;
  float sizex = m.width >= MINBMSIDE ? float(m.width - 1) * cell : FLOORSPAN;
  float sizez = m.depth >= MINBMSIDE ? float(m.depth - 1) * cell : FLOORSPAN;
  float radius = fmaxf(sizex, sizez) * 0.75f;
  float reach = fmaxf(viewdistance(), radius * 3.0f);

  float sky[4] = {0.55f, 0.68f, 0.85f, 1.0f};
  if (battlewatching)
    for (int32_t i = 0; i < 3; i++) sky[i] = battlefogcolour(i);
  glClearColor(sky[0], sky[1], sky[2], sky[3]);
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  double cx = sizex / 2, cz = sizez / 2;
  if (battlewatching) {
    // The watcher's camera: turned about the field's middle, moved and zoomed.
    const BattleCamera& c = battlecamera;
    reach = fmaxf(reach, c.distance * 4.0f);
    gluPerspective(45.0, double(windowwidth()) / double(windowheight() > 0 ? windowheight() : 1), 0.5, double(reach));
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    cx += c.panx;
    cz += c.panz;
    const double cy = battlemapheight(m, float(cx) * METRE, float(cz) * METRE) / METRE;
    const double ex = cx + c.distance * cos(c.pitch) * cos(c.yaw), ez = cz + c.distance * cos(c.pitch) * sin(c.yaw);
    // A low camera stays above the hills it stands over.
    const double ground = battlemapheight(m, float(ex) * METRE, float(ez) * METRE) / METRE + 2.0;
    gluLookAt(ex, fmax(cy + c.distance * sin(c.pitch), ground), ez, cx, cy, cz, 0, 1, 0);
  } else {
    gluPerspective(45.0, double(windowwidth()) / double(windowheight() > 0 ? windowheight() : 1), 0.5, double(reach));
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    double turn = animback ? double(milliseconds % 120000u) * 6.2831853 / 120000.0 : 0.6;
    gluLookAt(cx + radius * cos(turn), radius * 0.55, cz + radius * sin(turn), cx, 0.0, cz, 0, 1, 0);
  }

  // The sky lies behind the opaque terrain, but shows through a translucent
  // floor.
  const bool floor = m.width < MINBMSIDE;
  if (floor) drawskycube(battlesky(), sky, look.ground.data());
  glEnable(GL_DEPTH_TEST);
  glEnable(GL_FOG);
  glFogi(GL_FOG_MODE, GL_LINEAR);
  glFogfv(GL_FOG_COLOR, sky);
  glFogf(GL_FOG_START, radius * 1.2f);
  glFogf(GL_FOG_END, reach);
  if (battlemaplit) {
    const float sun[4] = {0.4f, 0.9f, 0.3f, 0.0f};
    const float ambient[4] = {0.35f, 0.35f, 0.38f, 1.0f};
    const float diffuse[4] = {0.8f, 0.78f, 0.7f, 1.0f};
    glEnable(GL_LIGHTING);
    glEnable(GL_LIGHT0);
    glLightfv(GL_LIGHT0, GL_POSITION, sun);
    glLightfv(GL_LIGHT0, GL_AMBIENT, ambient);
    glLightfv(GL_LIGHT0, GL_DIFFUSE, diffuse);
    glEnable(GL_COLOR_MATERIAL);
    glColorMaterial(GL_FRONT_AND_BACK, GL_AMBIENT_AND_DIFFUSE);
    glEnable(GL_NORMALIZE);
  }
  glCallList(fieldlist);
  glDisable(GL_LIGHTING);
  if (!floor) {
    glDisable(GL_FOG);
    drawskycube(battlesky(), sky, look.ground.data());
    glEnable(GL_FOG);
  }
  drawbattlefigures();
  glDisable(GL_FOG);
  glDisable(GL_NORMALIZE);
  glDisable(GL_COLOR_MATERIAL);
}

void freebattleviewgl() {
  if (fieldlist) glDeleteLists(fieldlist, 1);
  fieldlist = 0;
  builtgeneration = ~0u;
}
