// A small world for squads: nation 3 holds lands 1..3; types 1 soldier, 2
// captain, 3 zombie (undead), 4 archer, 5 were-captain (changes shape), 6
// ogre (size 6).
#pragma once
#include <gtest/gtest.h>

#include <vector>

#include "actions/squads.h"
#include "support/smallworld.h"

namespace squadworld {
constexpr int32_t ME = 3, OTHER = 4;
class Squads : public ::testing::Test {
 protected:
  void SetUp() override {
    makesmallworld();
    settype(1, "Soldier");
    settype(2, "Captain");
    settype(3, "Zombie").flags2 = MF2_UNDEADCLASS;
    settype(4, "Archer").weapon[0] = 1;
    setweapon(1, "Bow").range = 20;
    settype(5, "Werecaptain");
    addtypeability(5, 193, 1);
    settype(6, "Ogre").size = 6;
    for (int32_t l = 1; l <= 3; l++) land[l].owner = land[l].fortholder = ME;
    squaddefaults = SquadDefaults{};
  }
  std::vector<int32_t> units(int32_t type, int32_t n, int32_t lnr = 1) {
    std::vector<int32_t> v;
    for (int32_t i = 0; i < n; i++) v.push_back(mkunit(type, ME, lnr));
    return v;
  }
  static int32_t slotof(int32_t c, int32_t squad) {
    for (int32_t k = 0; k < 5; k++)
      if (com[c].squad[k] == squad) return k;
    return -1;
  }
};
}  // namespace squadworld
