#include "runtime/rnd.h"

#include <cstdlib>
#include <ctime>

namespace {
// The table is the first 500 outputs of the C library's additive-feedback
// generator (31-word state) seeded with 1, computed here at compile time so
// that it is the same on every machine and every C library.
constexpr std::array<uint32_t, 500> buildrandtab() {
  std::array<uint32_t, 344 + 500> r{};
  r[0] = 1;
  for (int i = 1; i < 31; i++) {
    int32_t prev = int32_t(r[i - 1]);
    int32_t hi = prev / 127773, lo = prev % 127773;
    int32_t word = 16807 * lo - 2836 * hi;
    if (word < 0) word += 2147483647;
    r[i] = uint32_t(word);
  }
  for (int i = 31; i < 34; i++) r[i] = r[i - 31];
  for (size_t i = 34; i < r.size(); i++) r[i] = r[i - 31] + r[i - 3];
  std::array<uint32_t, 500> table{};
  for (int k = 0; k < 500; k++) table[k] = r[344 + k] >> 1;
  return table;
}

RndState state = {0, 0, 0};
}  // namespace

constinit const std::array<uint32_t, 500> randtab = buildrandtab();
static_assert(buildrandtab()[0] == 1804289383u && buildrandtab()[4] == 1957747793u);

RndState getrndstate() { return state; }
void setrndstate(RndState s) { state = s; }

void seedrnd(int32_t seed) {
  int32_t i = seed & 511;
  if (i > 499) i -= 500;
  state.index = i;
  state.shift = (seed >> 10) & 15;
  state.xorword = 0;
}

void seedrndtime() {
  uint32_t sum = uint32_t(time(nullptr)) + uint32_t(rand());
  seedrnd(int32_t(sum));
}

static inline int32_t scaled(uint32_t word, int32_t n) {
  // A 64-bit product keeps every n exact; in-range results are unchanged.
  return int32_t((int64_t(word & 4095) * n) / 4096);
}

int32_t peekrnd(int32_t n) {
  uint32_t w = (randtab[state.index] >> state.shift) ^ state.xorword;
  return scaled(w, n);
}

int32_t rnd(int32_t n) {
  uint32_t w = (randtab[state.index] >> state.shift) ^ state.xorword;
  if (++state.index >= 500) {
    state.index = 0;
    if (++state.shift >= 17) {
      state.shift = 0;
      state.xorword += 4113;
    }
  }
  return scaled(w, n);
}

int32_t roll(int32_t n) { return rnd(n) + 1; }

int32_t rolls(int32_t n, int32_t count) {
  int32_t sum = 0;
  for (int32_t i = 0; i < count; i++) sum += roll(n);
  return sum;
}

int32_t openroll(int32_t n) {
  if (n < 1) return 0;
  if (n == 1) return 1;
  int32_t total = 0;
  int32_t r = roll(n);
  while (r == n) {
    total += n - 1;
    r = roll(n);
  }
  return total + r;
}

int32_t openrolls(int32_t n, int32_t count) {
  int32_t sum = 0;
  for (int32_t i = 0; i < count; i++) sum += openroll(n);
  return sum;
}

int32_t sysrnd(int32_t n) { return n < 1 ? 0 : rand() % n; }

float frand() { return float(rand() & 4095) / 4096.0f; }
