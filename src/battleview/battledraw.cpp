// The battlefield drawn with OpenGL 1.x: the height field as a lit terrain
// mesh with its objects, under a sky and fog, seen by a camera that circles
// the field. Terrain and objects go into display lists that are rebuilt
// when the map, the detail switches or the ground's colours change.
#include <GL/gl.h>
#include <GL/glu.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "battleview/battleview.h"
#include "gfx/gfx.h"
#include "gfx/gui.h"
#include "gfx/texture.h"
#include "runtime/settings.h"

namespace {
// The field is drawn in square blocks of the terrain mesh, each as display
// lists at three steps (every vertex, every second, every fourth; twice
// those at low detail) and one of its objects. A frame leaves out the
// blocks outside the view, draws far blocks at a coarser step, and the fog
// only over blocks that reach into it: a software renderer's cost follows
// the triangles and the fog it is given.
constexpr int32_t BLOCKCELLS = 16;
constexpr int32_t LEVELS = 3;
struct TerrainBlock {
  GLuint lists;              // LEVELS terrain lists, then the objects' list
  float x, y, z, radius;     // a ball round the block and its objects, metres
};
std::vector<TerrainBlock> blocks;
GLuint fieldlist = 0;        // the translucent floor of a field without a map
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

// The vertex rows (or columns) of a block from `first` to `last` at a step:
// every step-th one, and always the last, so that neighbours meet.
std::vector<int32_t> steps(int32_t first, int32_t last, int32_t step) {
  std::vector<int32_t> at;
  for (int32_t i = first; i < last; i += step) at.push_back(i);
  at.push_back(last);
  return at;
}

// How far the edges of a block drawn at one step can lie from the same
// edges drawn at a coarser step (the coarse edge's vertices are among the
// fine edge's, as every block starts on a multiple of the coarsest step):
// the gap that a skirt must close between neighbours of different steps.
float edgegap(int32_t x0, int32_t y0, int32_t x1, int32_t y1, int32_t first) {
  float gap = 0;
  auto along = [&](int32_t ax, int32_t ay, int32_t dx, int32_t dy, int32_t length) {
    for (int32_t level = 1; level < LEVELS; level++) {
      const std::vector<int32_t> coarse = steps(0, length, first << level);
      for (size_t k = 0; k + 1 < coarse.size(); k++)
        for (int32_t i = coarse[k] + 1; i < coarse[k + 1]; i++) {
          const float t = float(i - coarse[k]) / float(coarse[k + 1] - coarse[k]);
          const float a = vertexheight(ax + dx * coarse[k], ay + dy * coarse[k]);
          const float b = vertexheight(ax + dx * coarse[k + 1], ay + dy * coarse[k + 1]);
          gap = std::max(gap, fabsf(vertexheight(ax + dx * i, ay + dy * i) - (a + (b - a) * t)));
        }
    }
  };
  along(x0, y0, 1, 0, x1 - x0);
  along(x0, y1, 1, 0, x1 - x0);
  along(x0, y0, 0, 1, y1 - y0);
  along(x1, y0, 0, 1, y1 - y0);
  return gap;
}

// One block of the terrain mesh at a step, with a skirt hanging from its
// edges: where a neighbour is drawn at another step, their edges differ by
// less than the skirt, which closes the gap.
void drawblock(const GroundLook& look, int32_t x0, int32_t y0, int32_t x1, int32_t y1, int32_t step, float skirt) {
  const std::vector<int32_t> xs = steps(x0, x1, step), ys = steps(y0, y1, step);
  for (size_t j = 0; j + 1 < ys.size(); j++) {
    glBegin(GL_TRIANGLE_STRIP);
    for (int32_t x : xs) {
      terrainvertex(look, x, ys[j + 1]);
      terrainvertex(look, x, ys[j]);
    }
    glEnd();
  }
  // The skirt: round the edges, each edge vertex and the same point lower.
  std::vector<std::array<int32_t, 2>> edge;
  for (int32_t x : xs) edge.push_back({x, y0});
  for (size_t j = 1; j < ys.size(); j++) edge.push_back({x1, ys[j]});
  for (size_t i = xs.size() - 1; i-- > 0;) edge.push_back({xs[i], y1});
  for (size_t j = ys.size() - 1; j-- > 0;) edge.push_back({x0, ys[j]});
  const float cell = float(battlemap.cellsize) / METRE;
  glBegin(GL_TRIANGLE_STRIP);
  for (const auto& e : edge) {
    terrainvertex(look, e[0], e[1]);
    glVertex3f(float(e[0]) * cell, vertexheight(e[0], e[1]) - skirt, float(e[1]) * cell);
  }
  glEnd();
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

// The colour of the land far beyond the field, below the horizon: the
// ground's colour half lost in the fog.
void farland(const float* fog, const float* ground, float* land) {
  for (int32_t c = 0; c < 3; c++) land[c] = fog[c] + (ground[c] - fog[c]) * 0.6f;
}

// The sky box: a cube around the eye that turns with the camera but never
// comes nearer, drawn at the far end of the depth range where nothing of the
// field stands yet, so that a software renderer shades only the sky it
// shows. The picture covers each side from the horizon up, once per side:
// laid round when its edges meet, else mirrored in turn, so that neighbours
// meet on the same column of the picture. The top is drawn from the
// picture's top row toward its middle, so it meets every side along their
// common edge. Below the horizon lies the far land (the window is cleared to
// it), fading into the fog toward the horizon.
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
  // Below the horizon the window is cleared to the far land; a band of it
  // fades into the fog up to the horizon, and a band of haze lies over the
  // picture's foot.
  const float haze = 0.07f * s, fade = -0.05f * s;
  float land[3];
  farland(fog, ground, land);
  bindtexture(0, 0);
  glBegin(GL_QUADS);
  for (int32_t i = 0; i < 4; i++) {
    const float* a = around[i];
    const float* b = around[i + 1];
    glColor3fv(land);
    glVertex3f(a[0] * s, fade, a[1] * s);
    glVertex3f(b[0] * s, fade, b[1] * s);
    glColor3fv(fog);
    glVertex3f(b[0] * s, 0, b[1] * s);
    glVertex3f(a[0] * s, 0, a[1] * s);
  }
  glEnd();
  bindtexture(0, 5);
  glBegin(GL_QUADS);
  for (int32_t i = 0; i < 4; i++) {
    const float* a = around[i];
    const float* b = around[i + 1];
    glColor4f(fog[0], fog[1], fog[2], 1);
    glVertex3f(b[0] * s, 0, b[1] * s);
    glVertex3f(a[0] * s, 0, a[1] * s);
    glColor4f(fog[0], fog[1], fog[2], 0);
    glVertex3f(a[0] * s, haze, a[1] * s);
    glVertex3f(b[0] * s, haze, b[1] * s);
  }
  glEnd();
  resettexstate();
  glDepthMask(GL_TRUE);
  glDepthRange(0.0, 1.0);
  glPopMatrix();
}

void freefield() {
  for (const TerrainBlock& b : blocks) glDeleteLists(b.lists, LEVELS + 1);
  blocks.clear();
  if (fieldlist) glDeleteLists(fieldlist, 1);
  fieldlist = 0;
}

void buildfield(const GroundLook& look) {
  freefield();
  const battlemapdata& m = battlemap;
  builtgeneration = battlemapgeneration;
  builtlow = battlelowdetail;
  builtextra = battleextradetail;
  builtlook = look;
  if (m.width < MINBMSIDE || m.depth < MINBMSIDE) {
    // No map: a translucent ground floor.
    fieldlist = glGenLists(1);
    glNewList(fieldlist, GL_COMPILE);
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
    glEndList();
    return;
  }
  const float cell = float(m.cellsize) / METRE;
  const int32_t across = (m.width - 2) / BLOCKCELLS + 1, down = (m.depth - 2) / BLOCKCELLS + 1;
  std::vector<std::vector<int32_t>> objectsof(size_t(across * down));
  for (int32_t i = 0; i < m.objects; i++) {
    const int32_t bx = std::clamp(m.obj[i].x / m.cellsize / BLOCKCELLS, 0, across - 1);
    const int32_t by = std::clamp(m.obj[i].y / m.cellsize / BLOCKCELLS, 0, down - 1);
    objectsof[size_t(by * across + bx)].push_back(i);
  }
  const int32_t first = battlelowdetail ? 2 : 1;
  for (int32_t by = 0; by < down; by++)
    for (int32_t bx = 0; bx < across; bx++) {
      const int32_t x0 = bx * BLOCKCELLS, y0 = by * BLOCKCELLS;
      const int32_t x1 = std::min(x0 + BLOCKCELLS, m.width - 1), y1 = std::min(y0 + BLOCKCELLS, m.depth - 1);
      float low = 1e9f, high = -1e9f;
      for (int32_t y = y0; y <= y1; y++)
        for (int32_t x = x0; x <= x1; x++) {
          low = std::min(low, vertexheight(x, y));
          high = std::max(high, vertexheight(x, y));
        }
      TerrainBlock b;
      b.lists = glGenLists(LEVELS + 1);
      // Objects stand up to about ten metres over the ground and reach a
      // few metres past the block's edge.
      const float sx = float(x1 - x0) * cell, sz = float(y1 - y0) * cell, sy = high - low + 10.0f;
      b.x = (float(x0) + float(x1)) * cell / 2;
      b.z = (float(y0) + float(y1)) * cell / 2;
      b.y = low + sy / 2;
      b.radius = sqrtf(sx * sx + sy * sy + sz * sz) / 2 + 4.0f;
      const float skirt = edgegap(x0, y0, x1, y1, first) + 0.05f;
      for (int32_t level = 0; level < LEVELS; level++) {
        glNewList(b.lists + GLuint(level), GL_COMPILE);
        drawblock(look, x0, y0, x1, y1, first << level, skirt);
        glEndList();
      }
      glNewList(b.lists + LEVELS, GL_COMPILE);
      for (int32_t i : objectsof[size_t(by * across + bx)]) drawobject(look, m.obj[i]);
      glEndList();
      blocks.push_back(b);
    }
}

// Window pixels per metre at the given distance from the eye.
float pixelsat(float distance) {
  return float(windowheight()) / (2.0f * tanf(22.5f * 3.14159265f / 180.0f) * std::max(distance, 1.0f));
}

// A step level for a block whose middle lies `distance` metres from the
// eye: the coarsest whose cells still span at most BLOCKPIXELS window
// pixels across there (seen aslant, far less from near to far).
constexpr float BLOCKPIXELS = 24.0f;
int32_t blocklevel(float distance) {
  const float cellpixels = float(battlemap.cellsize) / METRE * float(battlelowdetail ? 2 : 1) * pixelsat(distance);
  int32_t level = 0;
  while (level + 1 < LEVELS && cellpixels * float(2 << level) <= BLOCKPIXELS) level++;
  return level;
}

// The blocks in view, those clear of the fog first.
void drawblocks(const ViewSides& view, float fogstart) {
  float m[16];
  glGetFloatv(GL_MODELVIEW_MATRIX, m);
  const float eye[3] = {-(m[0] * m[12] + m[1] * m[13] + m[2] * m[14]), -(m[4] * m[12] + m[5] * m[13] + m[6] * m[14]),
                        -(m[8] * m[12] + m[9] * m[13] + m[10] * m[14])};
  const bool fog = glIsEnabled(GL_FOG);
  for (int32_t fogged = 0; fogged < 2; fogged++) {
    if (fog) {
      if (fogged) glEnable(GL_FOG);
      else glDisable(GL_FOG);
    }
    for (const TerrainBlock& b : blocks) {
      if (!view.sees(b.x, b.y, b.z, b.radius)) continue;
      const float dx = b.x - eye[0], dy = b.y - eye[1], dz = b.z - eye[2];
      const float distance = sqrtf(dx * dx + dy * dy + dz * dz);
      if ((distance + b.radius >= fogstart) != (fogged != 0)) continue;
      glCallList(b.lists + GLuint(blocklevel(distance)));
      glCallList(b.lists + LEVELS);
    }
  }
  if (fog) glEnable(GL_FOG);
}
}  // namespace

void drawbattlefield(uint32_t milliseconds) {
  const GroundLook look = battlegroundlook();
  if ((fieldlist == 0 && blocks.empty()) || builtgeneration != battlemapgeneration || builtlow != battlelowdetail ||
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
  float land[3];
  farland(sky, look.ground.data(), land);
  glClearColor(land[0], land[1], land[2], 1.0f);
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
  const float fogstart = radius * 1.2f;
  glFogf(GL_FOG_START, fogstart);
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
  if (fieldlist) glCallList(fieldlist);
  else drawblocks(viewsides(), fogstart);
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
  freefield();
  builtgeneration = ~0u;
}

void installbattlefield() {
  setbattlefieldhooks({drawbattlefield, battlecameramoves, [] { return battlewatching; }, freebattleviewgl});
}

ViewSides viewsides() {
  float m[16], p[16], c[16];
  glGetFloatv(GL_MODELVIEW_MATRIX, m);
  glGetFloatv(GL_PROJECTION_MATRIX, p);
  for (int32_t col = 0; col < 4; col++)
    for (int32_t row = 0; row < 4; row++) {
      float sum = 0;
      for (int32_t k = 0; k < 4; k++) sum += p[k * 4 + row] * m[col * 4 + k];
      c[col * 4 + row] = sum;
    }
  // Each side is the combined matrix's fourth row plus or minus one of the
  // first three (the matrices are kept column by column).
  ViewSides v{};
  for (int32_t i = 0; i < 6; i++) {
    const int32_t row = i / 2;
    const float sign = i % 2 ? -1.0f : 1.0f;
    float* q = v.planes[size_t(i)].data();
    for (int32_t col = 0; col < 4; col++) q[col] = c[col * 4 + 3] + sign * c[col * 4 + row];
    const float length = sqrtf(q[0] * q[0] + q[1] * q[1] + q[2] * q[2]);
    if (length > 0)
      for (int32_t k = 0; k < 4; k++) q[k] /= length;
  }
  return v;
}
