#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "support/smallworld.h"
#include "world/recruit.h"

namespace {
std::vector<int> listed() { return std::vector<int>(slist.begin(), slist.begin() + slistlast + 1); }
bool has(int m) {
  const auto l = listed();
  return std::find(l.begin(), l.end(), m) != l.end();
}

// Nation 3: units 10, 11 (holy), commanders 20 (plain), 21 (mage),
// 22 (priest), 23 (holy mage), 24 (non-leader scout).
class Recruit : public ::testing::Test {
 protected:
  void SetUp() override {
    makesmallworld();
    for (int m = 10; m <= 40; m++) settype(m, "T");
    unittypes[11].flags = MF_HOLY;
    unittypes[22].flags = MF_HOLY;
    unittypes[23].flags = MF_HOLY;
    unittypes[24].flags2 = MF2_NOLEADER;
    unittypes[31].flags = MF_HOLY;
    typemagic[0] = TypeMagic{21, P_FIRE, 1};
    typemagic[1] = TypeMagic{23, P_DEATH, 2};
    typemagic[2] = TypeMagic{22, P_PRIEST, 1};
    typemagic[3] = TypeMagic{-1, 0, 0};
    const int32_t list[] = {10, 11, -5, RECRUIT_COMMANDERS, 20, 21, 22, 23, 24, RECRUIT_END, 39};
    std::fill(std::begin(nations[3].recruit), std::end(nations[3].recruit), RECRUIT_END);
    std::copy(std::begin(list), std::end(list), nations[3].recruit);
    std::fill(poprecruit[4].begin(), poprecruit[4].end(), RECRUIT_END);
    poprecruit[4][0] = 30;
    poprecruit[4][1] = 31;
    poprecruit[4][2] = RECRUIT_COMMANDERS;
    poprecruit[4][3] = 32;
    land[1].fortholder = land[1].owner = 3;
    land[1].fort = 1;
    land[1].poptype = 4;
    kingdom[3].w[KW_HOMELAND] = 9;
    seedrnd(11);
  }
};
}  // namespace

TEST_F(Recruit, UnitsByFortPopulationAndTemple) {
  createslist(1, 0);
  EXPECT_EQ(listed(), (std::vector<int>{10, 30}));
  createslist(1, 2);   // holy units waiting for a temple
  EXPECT_EQ(listed(), (std::vector<int>{11, 31}));
  land[1].temple = 1;
  createslist(1, 0);
  EXPECT_EQ(listed(), (std::vector<int>{10, 11, 30, 31}));
  createslist(1, 2);
  EXPECT_TRUE(listed().empty());
  land[1].fort = 0;   // without a fort only the population recruits
  createslist(1, 0);
  EXPECT_EQ(listed(), (std::vector<int>{30, 31}));
  kingdom[3].w[KW_HOMELAND] = 1;   // and the capital has no population list
  createslist(1, 0);
  EXPECT_TRUE(listed().empty());
  land[1].poptype = 120;   // a population type beyond the table adds nothing
  kingdom[3].w[KW_HOMELAND] = 9;
  createslist(1, 0);
  EXPECT_TRUE(listed().empty());
}

TEST_F(Recruit, CommandersNeedTheirBuildings) {
  createslist(1, 10);
  EXPECT_TRUE(has(20));
  EXPECT_FALSE(has(21));
  EXPECT_FALSE(has(22));
  EXPECT_FALSE(has(23));
  EXPECT_TRUE(has(32));
  createslist(1, 12);
  EXPECT_EQ(listed(), (std::vector<int>{21, 22, 23}));
  land[1].lab = 1;
  createslist(1, 12);
  EXPECT_EQ(listed(), (std::vector<int>{22, 23}));
  land[1].temple = 1;
  createslist(1, 12);
  EXPECT_TRUE(listed().empty());
  createslist(1, 10);
  EXPECT_TRUE(has(21) && has(22) && has(23));
}

TEST_F(Recruit, NonLeadersAreMostlyOnlyInModeTen) {
  int inten = 0, ineleven = 0;
  for (int i = 0; i < 200; i++) {
    createslist(1, 10);
    inten += has(24);
    createslist(1, 11);
    ineleven += has(24);
  }
  EXPECT_EQ(inten, 200);
  EXPECT_GT(ineleven, 0);
  EXPECT_LT(ineleven, 40);
  unittypes[24].abilityid[0] = AB_ASSASSIN;   // assassins are ordinary commanders
  createslist(1, 11);
  EXPECT_TRUE(has(24));
}

TEST_F(Recruit, SeaCoastLandAndSiteRecruits) {
  nations[3].attrkey[0] = NA_LANDUNIT1;
  nations[3].attrval[0] = 33;
  nations[3].attrkey[1] = NA_COASTUNIT1;
  nations[3].attrval[1] = 34;
  nations[3].attrkey[2] = NA_UWUNIT1;
  nations[3].attrval[2] = 35;
  nations[3].attrkey[3] = NA_UWCOM2;
  nations[3].attrval[3] = 36;
  provgeo[1].nbr[0] = 2;
  provgeo[2].nbr[0] = 1;
  createslist(1, 0);
  EXPECT_EQ(listed(), (std::vector<int>{10, 33, 30}));
  provgeo[2].terrain = TM_SEA;
  createslist(1, 0);
  EXPECT_EQ(listed(), (std::vector<int>{10, 34, 33, 30}));
  land[2].fortholder = 3;
  land[2].fort = 1;
  createslist(2, 0);   // a land nation's list needs dry land
  EXPECT_EQ(listed(), (std::vector<int>{35}));
  createslist(2, 10);
  EXPECT_EQ(listed(), (std::vector<int>{36}));
  nations[3].attrkey[4] = NA_UNDERWATER;
  nations[3].attrval[4] = 1;
  createslist(2, 0);
  EXPECT_EQ(listed(), (std::vector<int>{10, 35}));

  sites[5] = Site{};
  sites[5].effectkind[0] = SE_RECUNIT;
  sites[5].effectval[0] = 37;
  sites[5].effectkind[1] = SE_RECUNITCAP;
  sites[5].effectval[1] = 38;
  sites[5].effectkind[2] = SE_RECCOM;
  sites[5].effectval[2] = 39;
  land[3].site[0] = 5;
  createslist(3, 0);
  EXPECT_TRUE(listed().empty());   // not found yet
  land[3].sitefound[0] = 1;
  createslist(3, 0);
  EXPECT_EQ(listed(), (std::vector<int>{37}));
  kingdom[25].w[KW_HOMELAND] = 3;
  createslist(3, 0);
  EXPECT_EQ(listed(), (std::vector<int>{37, 38}));
  createslist(3, 10);
  EXPECT_EQ(listed(), (std::vector<int>{39}));
}

TEST_F(Recruit, OverflowAndBadNumbersStop) {
  std::fill(std::begin(nations[3].recruit), std::end(nations[3].recruit), 10);
  std::fill(poprecruit[4].begin(), poprecruit[4].end(), 30);
  EXPECT_DEATH(createslist(1, 0), "slist overflow");
  EXPECT_DEATH(createslist(-1, 0), "csl: bad lnr");
  land[2].fortholder = 95;
  EXPECT_DEATH(createslist(2, 0), "csl: bad player");
  EXPECT_DEATH(slistaddunit(-1, 10, 0), "slau: bad lnr");
  EXPECT_DEATH(slistaddcom(-1, 10, 0), "slac: bad lnr");
}

TEST_F(Recruit, ArmyNumbersSitesAndTexts) {
  settype(1, "Hero");
  const int32_t c = mkcom(1, 3, 1);
  com[c].armynr = 77;
  EXPECT_EQ(armynrinuse(3, 77), 1);
  EXPECT_EQ(armynrinuse(4, 77), 0);
  for (int i = 0; i < 100; i++) {
    const int32_t n = getfreearmynr(3);
    EXPECT_GE(n, 1);
    EXPECT_LE(n, 30000);
    EXPECT_NE(n, 77);
  }

  for (int s = 0; s < 8; s++) {
    sites[s] = Site{};
    snprintf(sites[s].name, sizeof sites[s].name, "Site%d", s);
    sites[s].level = s % 2;
  }
  sites[8].path = SITE_ENDPATH;
  strcpy(sites[9].name, "Hidden");
  EXPECT_EQ(sitename2nr("site3"), 3);
  EXPECT_EQ(sitename2nr("Hidden"), -1);
  EXPECT_DEATH(sitename2nr(nullptr), "sitename2nr: bad ptr");
  EXPECT_EQ(addfeatnr(4, 2), 0);
  EXPECT_EQ(land[4].sitefound[0], 1);
  EXPECT_EQ(addfeatbyname(4, "Site3"), 1);
  EXPECT_EQ(land[4].sitefound[1], 0);
  EXPECT_EQ(addfeatnr(4, 4), 2);
  EXPECT_EQ(addfeatnr(4, 5), 3);
  EXPECT_EQ(addfeatnr(4, 6), 3);   // a fifth replaces the fourth
  EXPECT_EQ(land[4].site[3], 6);
  EXPECT_EQ(addfeatnr(4, 0), -1);
  EXPECT_EQ(addfeatbyname(4, "nowhere"), -1);
  EXPECT_EQ(addfeatnr(4, MAXSITES), -1);
  EXPECT_DEATH(addfeatnr(1505, 2), "addfeatnr: bad lnr");
  EXPECT_DEATH(addfeatnr(-1, 2), "addfeatnr: bad lnr");

  char text[] = "100% sure %d";
  strippercent(text);
  EXPECT_STREQ(text, "100  sure  d");
  strippercent(nullptr);

  for (int i = 0; i < 200; i++) {
    const int32_t a = erasong(2);
    EXPECT_GE(a, 61);
    EXPECT_LE(a, 64);
    const int32_t b = erasong(-1);
    EXPECT_TRUE(b == 71 || (b >= 55 && b <= 69 && b != 60 && b != 65));
  }
  EXPECT_EQ(erasong(7), 71);
}
