// A small world whose nation 3 holds the fort of land 1 and recruits there:
// units 10 and 11 (holy), commanders 20, 21 (mage) and 22 (holy); type 30
// is recruited nowhere.
#pragma once
#include <gtest/gtest.h>

#include <algorithm>

#include "support/smallworld.h"

namespace recruitworld {
constexpr int32_t P = 3, L = 1, SPEAR = 10, ACOLYTE = 11, CAPTAIN = 20, SEER = 21, PRIEST = 22, FAR = 30;

class Recruiting : public ::testing::Test {
 protected:
  void SetUp() override {
    makesmallworld();
    for (int32_t m : {SPEAR, ACOLYTE, CAPTAIN, SEER, PRIEST, FAR}) settype(m, "Recruit");
    unittypes[SPEAR].gcost = 10, unittypes[ACOLYTE].gcost = 15, unittypes[CAPTAIN].gcost = 40, unittypes[FAR].gcost = 1;
    unittypes[ACOLYTE].flags = unittypes[PRIEST].flags = MF_HOLY;
    typemagic[0] = TypeMagic{SEER, P_FIRE, 1};
    const int32_t list[] = {SPEAR, ACOLYTE, RECRUIT_COMMANDERS, CAPTAIN, SEER, PRIEST, RECRUIT_END};
    std::copy(std::begin(list), std::end(list), nations[P].recruit);
    land[L].fortholder = land[L].owner = P;
    land[L].fort = 1;
    land[L].poptype = -1;
    kingdom[P].gold = 1000;
  }
  Land& l = land[L];
  int32_t& gold = kingdom[P].gold;
};
}  // namespace recruitworld
