// The rules of the nation's views on small worlds: hiring mercenaries (which
// bands can be hired where) and the Nation
// Overview's list (what is listed, in which order, the icon counts).
#include <gtest/gtest.h>

#include "host/host.h"
#include "screens/mercenaries.h"
#include "screens/overview.h"
#include "screens/turnscreen.h"
#include "support/smallworld.h"
#include "worldgen/mercenaries.h"

namespace {
constexpr int32_t P = 3, OTHER = 4, SEA = 5, FISH = 12, MAN = 10;

class Mercs : public ::testing::Test {
 protected:
  int32_t leader = -1;
  void SetUp() override {
    makesmallworld();
    settype(MAN, "Mercenary Captain");
    settype(FISH, "Triton");
    unittypes[FISH].flags |= MF_AQUATIC;
    provgeo[SEA].terrain |= TM_SEA;
    leader = mkcom(MAN, MERCOWNER, MERCLAND);
    for (MercBand& m : mercband) m.value[MB_LEADER] = -1;
    MercBand& m = mercband[1];
    snprintf(m.name, sizeof m.name, "The Grey Company");
    m.value[MB_LEADER] = int16_t(leader);
    m.value[MB_EMPLOYER] = -1;
    m.value[MB_PRICE] = 80;
    m.value[MB_FAVNATION] = -1;
    kingdom[P].gold = 100;
  }
};
}  // namespace

TEST_F(Mercs, ABandIsHiredOnlyWhereItsLeaderCanLiveAndNeverAfterHisDeath) {
  EXPECT_EQ(mercok(1, 2), 1);
  EXPECT_EQ(mercok(1, SEA), 0);   // he cannot live under water
  EXPECT_EQ(mercband[1].value[MB_LEADER], leader);   // and is still on offer
  unit[size_t(com[leader].body)].type = FISH;
  EXPECT_EQ(mercok(1, SEA), 1);
  EXPECT_EQ(mercok(0, 2), 0);   // an empty slot
  EXPECT_EQ(mercok(7, 2), 0);
  unit[size_t(com[leader].body)].hp = 0;
  EXPECT_EQ(mercok(1, 2), 0);
  EXPECT_EQ(mercband[1].value[MB_LEADER], -1);   // dropped for good
  unit[size_t(com[leader].body)].hp = 10;
  EXPECT_EQ(mercok(1, 2), 0);
}

namespace {
class Overview : public ::testing::Test {
 protected:
  void SetUp() override {
    makesmallworld();
    settype(MAN, "Captain");
    for (int32_t l : {2, 4}) land[l].owner = land[l].fortholder = P;
    land[6].owner = OTHER;
    land[6].fortholder = P;   // held against its owner
    land[7].owner = land[7].fortholder = OTHER;
  }
};
}  // namespace

TEST_F(Overview, ProvincesInOrderEachWithItsCommandersForeignOnesUnderAHeader) {
  const int32_t c7 = mkcom(MAN, P, 7), c2a = mkcom(MAN, P, 2), c2b = mkcom(MAN, P, 2);
  mkcom(MAN, OTHER, 2);                             // another nation's
  unit[size_t(com[mkcom(MAN, P, 4)].body)].hp = 0;   // a fallen one
  const std::vector<OverviewRow> rows = overviewrows(P, true);
  const std::vector<std::tuple<int32_t, int32_t, bool>> want = {
      {2, -1, false}, {2, c2a, false}, {2, c2b, false}, {4, -1, false}, {6, -1, false}, {7, -1, true}, {7, c7, false}};
  ASSERT_EQ(rows.size(), want.size());
  for (size_t i = 0; i < rows.size(); i++)
    EXPECT_EQ(std::make_tuple(rows[i].land, rows[i].com, rows[i].header), want[i]) << i;
  // Without commanders the foreign province goes too.
  EXPECT_EQ(overviewrows(P, false).size(), 3u);
  EXPECT_TRUE(overviewrows(99, true).empty());
}

TEST_F(Overview, IconCountsAndWhatAClickGivesTheTurnScreen) {
  EXPECT_EQ(armyicons(0), 0);
  EXPECT_EQ(armyicons(1), 1);
  EXPECT_EQ(armyicons(26), 2);
  EXPECT_EQ(armyicons(101), 4);
  EXPECT_EQ(experiencestars(14), 0);
  EXPECT_EQ(experiencestars(15), 1);
  EXPECT_EQ(experiencestars(99), 2);
  EXPECT_EQ(experiencestars(100), 3);
  EXPECT_EQ(experiencestars(399), 4);
  EXPECT_EQ(experiencestars(400), 5);
  EXPECT_EQ(searchfigure(12), 9);
  turnscreen.gotoprov = 0;
  turnscreen.focus = -1;
  takeoverviewresult(4);
  EXPECT_EQ(turnscreen.gotoprov, 4);
  takeoverviewresult(-8);   // commander 7
  EXPECT_EQ(turnscreen.focus, 7);
  turnscreen.gotoprov = 0;
  takeoverviewresult(0);
  takeoverviewresult(nbrlands + 1);
  EXPECT_EQ(turnscreen.gotoprov, 0);
}
