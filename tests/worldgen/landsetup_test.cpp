// Land set-up: names, population and resources by terrain, victory-point
// provinces, magic sites.
#include "support/mapfixture.h"
#include "worldgen/gamesetup.h"

#include <cstring>

#include "runtime/rnd.h"
#include "world/gamedata.h"
#include "world/units.h"

namespace {

class LandSetup : public testing::Test {
 protected:
  static void SetUpTestSuite() { loadgamedata(); }
  void SetUp() override {
    clearworld();
    resetlands();
    gameinfo.era = 2;
    gameinfo.indepstr = 0;
    gameinfo.magicsites = 0;
    mapindepstr = mapsitefreq = -1;
    vpprovinces[0] = vpprovinces[1] = vpprovinces[2] = 0;
    // A chain of 30 provinces.
    nbrlands = 30;
    for (int32_t l = 1; l <= 30; l++) {
      provgeo[size_t(l)] = ProvGeo{};
      provgeo[size_t(l)].x = int16_t(l * 10);
      provgeo[size_t(l)].y = 10;
      if (l > 1) addnbor(l, l - 1), addnbor(l - 1, l);
    }
    seedrnd(4);
    srand(4);
  }
};

TEST_F(LandSetup, PopulationAndResourcesByTerrain) {
  provgeo[1].terrain = TM_FARM | TM_FRESHWATER;
  provgeo[2].terrain = TM_SEA | TM_SMALL;
  provgeo[3].terrain = TM_SEA | TM_DEEPSEA | TM_LARGE;
  provgeo[4].terrain = TM_MOUNTAINS | TM_FOREST;
  provgeo[5].terrain = TM_WASTE;
  landsetup();
  // 800 x 1.5 x 1.2 = 1440, times 0.75 .. 1.25
  EXPECT_GE(land[1].population, 1080);
  EXPECT_LT(land[1].population, 1800);
  EXPECT_GE(land[2].population, 100);
  EXPECT_LT(land[2].population, 700);
  EXPECT_GE(land[3].population, 300);
  EXPECT_LT(land[3].population, 1500);
  // Mountains before forest: 800 x 0.5.
  EXPECT_LT(land[4].population, 500);
  EXPECT_LT(land[5].population, 250);
  EXPECT_GE(land[4].baseres, 2 * 41);   // (openroll(40) + 40) doubled
  for (int32_t l = 1; l <= 30; l++) {
    EXPECT_EQ(land[size_t(l)].corpses[0], 0);
    // Strength 0: the tables still choose a population type, or 39 when none.
    EXPECT_GE(land[size_t(l)].poptype, 25);
  }
  EXPECT_EQ(highestunit, -1);
}

TEST_F(LandSetup, NamesFollowTerrain) {
  provgeo[1].terrain = TM_SEA | TM_DEEPSEA;
  provgeo[2].terrain = TM_SEA;
  provgeo[3].terrain = TM_CAVE;
  provgeo[4].terrain = TM_SWAMP | TM_FARM;
  strlcopy(land[5].name, "Kept", 36);
  landsetup();
  auto inlist = [](int kind, const char* name) {
    for (int32_t i = 0; i < provnames[size_t(kind)].count; i++)
      if (strcmp(provnames[size_t(kind)].names[i], name) == 0) return true;
    return false;
  };
  EXPECT_TRUE(inlist(PN_DEEPSEA, land[1].name));
  EXPECT_TRUE(inlist(PN_SEA, land[2].name));
  EXPECT_TRUE(inlist(PN_MOUNTAIN, land[3].name));
  EXPECT_TRUE(inlist(PN_SWAMP, land[4].name));
  EXPECT_STREQ(land[5].name, "Kept");
  for (int32_t l = 6; l <= 30; l++) {
    EXPECT_TRUE(inlist(PN_PLAIN, land[size_t(l)].name)) << land[size_t(l)].name;
    EXPECT_EQ(countlandname(land[size_t(l)].name), 1);   // plenty of plain names: no repeats
  }
}

TEST_F(LandSetup, VictoryPointsSpacedAndBounded) {
  vpprovinces[0] = 3;
  landsetup();
  std::vector<int32_t> vp;
  for (int32_t l = 1; l <= 30; l++)
    if (land[size_t(l)].vpword & 7) vp.push_back(l);
  ASSERT_EQ(vp.size(), 3u);
  // (119 - 6) / 20 = 5 steps apart, or a little less after refusals.
  for (size_t i = 1; i < vp.size(); i++) EXPECT_GE(vp[i] - vp[i - 1], 3);
  // More than there are provinces: placement ends.
  resetlands();
  vpprovinces[0] = 40;
  landsetup();
  for (int32_t l = 1; l <= 30; l++) EXPECT_EQ(land[size_t(l)].vpword & 7, 1);
}

TEST_F(LandSetup, StrengthFromMapOrGame) {
  mapindepstr = 3;
  landsetup();
  int32_t units = 0;
  for (int32_t u = 0; u <= highestunit; u++) units += unit[size_t(u)].hp > 0;
  EXPECT_GT(units, 30);
  // A land that already holds units keeps them and gets no garrison.
  clearworld();
  resetlands();
  nbrlands = 30;
  gameinfo.era = 2;
  int32_t c = newcom(240, 4);
  setunitland(com[size_t(c)].body, 7);
  mapindepstr = -1;
  gameinfo.indepstr = 5;
  landsetup();
  for (int32_t u = 0; u <= highestunit; u++)
    if (unit[size_t(u)].land == 7) EXPECT_EQ(unit[size_t(u)].owner, 4);
}

TEST_F(LandSetup, SitesByPathBitAndFrequency) {
  provgeo[2].terrain = TM_FIRESITE << P_DEATH;
  provgeo[3].terrain = TM_MANYSITES;
  gameinfo.magicsites = 100;
  landsetup();
  const Site& s = sites[size_t(land[2].site[0])];
  ASSERT_GT(land[2].site[0], 0);
  EXPECT_EQ(s.path, P_DEATH);
  EXPECT_EQ(s.level, 0);
  EXPECT_EQ(land[2].sitefound[0], 1);
  // With a chance of 125 every land of many sites fills its four slots.
  int32_t filled = 0;
  for (int i = 0; i < 4; i++) filled += land[3].site[i] > 0;
  EXPECT_GE(filled, 3);
  // Unique sites are placed once.
  std::vector<int32_t> seen(MAXSITES, 0);
  for (int32_t l = 1; l <= 30; l++)
    for (int i = 0; i < 4; i++)
      if (land[size_t(l)].site[i] > 0) seen[size_t(land[size_t(l)].site[i])]++;
  for (int32_t s2 = 0; s2 < MAXSITES; s2++)
    if (sites[size_t(s2)].placement & SP_UNIQUE) EXPECT_LE(seen[size_t(s2)], 1);
  EXPECT_DEATH(randomsite(1504, 0, -1, -1), "randomsite: bad lnr");
  EXPECT_DEATH(randomsite(1, 3, -1, -1), "randomsite: bad rarity");
}

}  // namespace
