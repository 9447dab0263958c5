// The particle system.
#include "gfx/particles.h"

#include "gfx/guidraw.h"

#include <GL/gl.h>

#include <array>
#include <cstdlib>
#include <vector>

#include "gfx/gfx.h"
#include "gfx/texture.h"
#include "runtime/folders.h"
#include "runtime/settings.h"
#include "runtime/util.h"

namespace {
struct particle {
  float x, y, vx, vy, size;
  float r, g, b, a;
  uint32_t born, life;
};
struct emitter {
  emitterdef def;
  bool alive;
  float owed;   // particles due but not yet given off
};
std::vector<particle> particles;
std::array<emitter, 32> emitters = {};
uint32_t lastupdate = 0;

float unitrandom() { return float(rand() % 10000) / 10000.0f; }
}  // namespace

int32_t particlecap() {
  if (partamount == 0) return 0;
  int32_t share = partamount < 0 ? 4 : partamount;
  return int32_t(int64_t(particlelimit()) * share / 4);
}

int32_t addemitter(const emitterdef& def) {
  for (size_t i = 0; i < emitters.size(); i++)
    if (!emitters[i].alive) {
      emitters[i] = {def, true, 0};
      return int32_t(i);
    }
  return -1;
}

void removeemitter(int32_t e) {
  if (e >= 0 && e < int32_t(emitters.size())) emitters[size_t(e)].alive = false;
}

int emitteralive(int32_t e) { return e >= 0 && e < int32_t(emitters.size()) && emitters[size_t(e)].alive; }

void clearparticles() { particles.clear(); }

void updateparticles(uint32_t now) {
  float dt = lastupdate ? float(imin(int32_t(now - lastupdate), 500)) / 1000.0f : 0;
  lastupdate = now;
  size_t kept = 0;
  for (particle& p : particles) {
    if (now - p.born >= p.life) continue;
    p.x += p.vx * dt;
    p.y += p.vy * dt;
    particles[kept++] = p;
  }
  particles.resize(kept);
  const size_t cap = size_t(particlecap());
  for (emitter& e : emitters) {
    if (!e.alive) continue;
    e.owed += e.def.rate * dt;
    while (e.owed >= 1 && particles.size() < cap) {
      e.owed -= 1;
      particle p = {e.def.x + e.def.w * unitrandom(), e.def.y + e.def.h * unitrandom(),
                    e.def.vx + (unitrandom() - 0.5f) * 8, e.def.vy * (0.6f + 0.8f * unitrandom()),
                    e.def.size * (0.5f + unitrandom()), e.def.r, e.def.g, e.def.b, e.def.a,
                    now, uint32_t(float(e.def.life) * (0.5f + 0.5f * unitrandom()))};
      particles.push_back(p);
    }
    if (e.owed > 1) e.owed = 1;
  }
}

void drawparticles() {
  if (particles.empty() || !windowopen()) return;
  char path[PATHLEN];
  formatbounded(path, PATHLEN, "%s/particle.tga", datapath);
  uint32_t tex = loadtexture(path, 2, 100, 0);
  guiprojection();
  bindtexture(tex, 5);
  glBlendFunc(GL_SRC_ALPHA, GL_ONE);
  uint32_t now = timems();
  glBegin(GL_QUADS);
  for (const particle& p : particles) {
    float age = float(now - p.born) / float(imax(int32_t(p.life), 1));
    float fade = age < 0.2f ? age / 0.2f : 1.0f - (age - 0.2f) / 0.8f;
    glColor4f(p.r, p.g, p.b, p.a * (fade < 0 ? 0 : fade));
    float s = p.size * 0.5f;
    glTexCoord2f(0, 0);
    glVertex2f(p.x - s, p.y - s);
    glTexCoord2f(1, 0);
    glVertex2f(p.x + s, p.y - s);
    glTexCoord2f(1, 1);
    glVertex2f(p.x + s, p.y + s);
    glTexCoord2f(0, 1);
    glVertex2f(p.x - s, p.y + s);
  }
  glEnd();
  glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
  resettexstate();
}

int32_t particlecount() { return int32_t(particles.size()); }
