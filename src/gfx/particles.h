// Particles: glowing points that emitters give off over time, moved and
// faded every frame and drawn in GUI units over the background scene. Their
// number is held under the limit of the graphics detail level and the
// particle amount setting (0 none, 4 the default share, 8 twice that).
#pragma once
#include "runtime/short.h"

struct emitterdef {
  float x, y, w, h;        // the rectangle particles start in (GUI units)
  float rate;              // particles a second
  float vx, vy;            // speed (units a second)
  float size;              // side (units)
  int32_t life;            // milliseconds
  float r, g, b, a;
};
// An emitter's number, or -1 when all 32 are taken.
int32_t addemitter(const emitterdef& def);
void removeemitter(int32_t emitter);
int emitteralive(int32_t emitter);
// Removes every particle; the emitters stay.
void clearparticles();
// Moves the particles on to the given clock time (ms) and lets emitters give off new ones.
void updateparticles(uint32_t now);
void drawparticles();
int32_t particlecount();
// The limit in force now.
int32_t particlecap();
