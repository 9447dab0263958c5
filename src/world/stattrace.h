// Breakdown of a combat value into its steps. While a breakdown is asked
// for (stattrace set), the value getters note every step that changes the
// value they compute, under the name of the modifier, so that the listed
// lines always add up to the value the getter returns. When no breakdown
// is asked for a step costs one test of a null pointer.
#pragma once
#include <vector>

#include "runtime/short.h"

struct StatStep {
  const char* what;   // a literal: the modifier's name
  int32_t delta;
};

struct StatTrace {
  std::vector<StatStep> steps;   // in the order the getter applies them
};

extern StatTrace* stattrace;

// Sets v to `to`, noting the change under `what` while a trace is on.
inline void statstep(int32_t& v, int32_t to, const char* what) {
  if (stattrace && to != v) stattrace->steps.push_back({what, to - v});
  v = to;
}
