// The small host world with a mage of nation A at home: every path at the
// given level and a treasury full of gems.
#pragma once
#include "host/hostworld.h"
#include "magic/rituals.h"

class MagicWorld : public HostWorld {
 protected:
  int32_t mage = -1;
  void SetUp() override { setup(3, 100); }
  void setup(int32_t level, int16_t stock) {
    HostWorld::SetUp();
    mage = commander(A, AHOME);
    for (int32_t p = 0; p < 9; p++) com[size_t(mage)].path[p] = uint8_t(level);
    for (int32_t g = 0; g < 9; g++) kingdom[A].w[KW_GEMS + g] = stock;
  }
  static int32_t spell(const char* name) {
    const int32_t s = name2spell(name);
    EXPECT_GT(s, 0) << name;
    return s;
  }
  static int16_t& gems(int32_t p, int32_t path) { return kingdom[size_t(p)].w[KW_GEMS + path]; }
};
