// The game's table random generator and dice. The state is three integers over
// a fixed table of 500 words, so a battle replays exactly from its seed.
#pragma once
#include <array>
#include "runtime/short.h"

extern const std::array<uint32_t, 500> randtab;

struct RndState {
  int32_t index;   // 0..499
  int32_t shift;   // 0..16
  uint32_t xorword;
};
RndState getrndstate();
void setrndstate(RndState state);

void seedrnd(int32_t seed);
void seedrndtime();
int32_t rnd(int32_t n);       // 0..n-1 for n >= 1
int32_t peekrnd(int32_t n);   // what rnd(n) would give now, without advancing
int32_t roll(int32_t n);      // one die 1..n
int32_t rolls(int32_t n, int32_t count);
int32_t openroll(int32_t n);  // open-ended: a roll of n counts n-1 and rolls again
int32_t openrolls(int32_t n, int32_t count);

// The C library generator, which no replay records.
int32_t sysrnd(int32_t n);    // 0 for n below 1
float frand();                // 0 <= value < 1, in steps of 1/4096
