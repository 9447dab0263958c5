#include <gtest/gtest.h>

#include "support/smallworld.h"
#include "world/builders.h"
#include "worldgen/mercenaries.h"

namespace {
MercTemplate& settemplate(int t, uint8_t eras, int8_t tier, int32_t comtype, int32_t unittype, int32_t count) {
  MercTemplate& m = merctemplates[t];
  m = MercTemplate{};
  m.eras = eras;
  m.tier = tier;
  snprintf(m.bandname, sizeof m.bandname, "Band %d", t);
  m.comtype = comtype;
  m.unittype = unittype;
  m.count = count;
  m.price = 100 + t;
  m.xp = 15;
  m.favnation = -1;
  m.favpercent = 100;
  return m;
}

class Mercs : public ::testing::Test {
 protected:
  void SetUp() override {
    makesmallworld();
    resetbuilder();
    settype(1, "Mercenary");
    settype(2, "Captain");
    setitem(1, "Ring of Tests", IT_MISC);
    items[2].constlevel = ITEM_ENDLEVEL;
    for (auto& m : merctemplates) m = MercTemplate{};
    settemplate(0, MERC_EARLY | MERC_MIDDLE | MERC_LATE, 0, 2, 1, 30);
    settemplate(1, MERC_EARLY, 0, 2, 1, 5);
    settemplate(2, MERC_LATE, 1, 2, 1, 8);
    settemplate(3, MERC_LATE, 0, 2, 0, 0);
    merctemplates[4].tier = MERC_ENDTIER;
    seedrnd(9);
  }
};
}  // namespace

TEST_F(Mercs, ABandWithItsTroopsWaitsInTheHoldingLand) {
  const int32_t c = popmercs("The Wolves", "Ulf", 2, 1, 30, 7, 150, 15, 29, 75);
  ASSERT_GE(c, 0);
  const int32_t b = com[c].body;
  EXPECT_EQ(unit[b].owner, MERCOWNER);
  EXPECT_EQ(unit[b].land, MERCLAND);
  EXPECT_EQ(unit[b].exp, 30);
  EXPECT_EQ(unit[b].homeland, -2);
  EXPECT_STREQ(com[c].name, "Ulf");
  int32_t troops = 0;
  for (int32_t u = 0; u <= highestunit; u++)
    if (unit[u].hp > 0 && unit[u].squad == com[c].squad[0]) {
      troops++;
      EXPECT_EQ(unit[u].exp, 15);
      EXPECT_EQ(unit[u].homeland, -2);
      EXPECT_EQ(unit[u].land, MERCLAND);
    }
  EXPECT_EQ(troops, 30);
  const MercBand& m = mercband[0];
  EXPECT_STREQ(m.name, "The Wolves");
  EXPECT_EQ(m.value[MB_LEADER], c);
  EXPECT_EQ(m.value[MB_EMPLOYER], -1);
  EXPECT_EQ(m.value[MB_PRICE], 150);
  EXPECT_EQ(m.value[MB_FAVNATION], 29);
  EXPECT_EQ(m.value[MB_FAVPERCENT], 75);
  EXPECT_EQ(m.value[MB_MONTHS], 0);
  EXPECT_EQ(m.value[MB_RESERVE], 7);
  // Long names are cut to their fields.
  const std::string longname(300, 'x');
  const int32_t d = popmercs(longname.c_str(), longname.c_str(), 2, 0, 9, 0, 10, 0, -1, 100);
  EXPECT_EQ(strlen(com[d].name), sizeof com[d].name - 1);
  EXPECT_EQ(strlen(mercband[1].name), sizeof mercband[1].name - 1);
  EXPECT_EQ(com[d].squad[0], -1);   // no troop type: a lone leader
  popmercs("c", nullptr, 2, 1, 1, 0, 10, 0, -1, 100);
  popmercs("d", nullptr, 2, 1, 1, 0, 10, 0, -1, 100);
  popmercs("e", nullptr, 2, 1, 1, 0, 10, 0, -1, 100);
  EXPECT_EQ(popmercs("f", nullptr, 2, 1, 1, 0, 10, 0, -1, 100), -1);
  EXPECT_DEATH(popmercs("g", nullptr, -1, 1, 1, 0, 10, 0, -1, 100), "popmercs: bad commnr");
}

TEST_F(Mercs, TemplatesAreDrawnByEraAndTierOnce) {
  merctemplates[3].items[0][0] = 0;
  strcpy(merctemplates[3].items[0], "Ring of Tests");
  // Late era, tier 0: templates 0 and 3 only.
  int32_t a = addrandommerc(3, 0);
  int32_t b = addrandommerc(3, 0);
  EXPECT_TRUE((a == 0 && b == 3) || (a == 3 && b == 0));
  EXPECT_EQ(addrandommerc(3, 0), -1);   // every fitting template used
  EXPECT_EQ(merctemplateused[0] + merctemplateused[3], 2);
  EXPECT_EQ(merctemplateused[1] + merctemplateused[2], 0);
  // The lone leader of template 3 got its item.
  const int32_t leader = mercband[a == 3 ? 0 : 1].value[MB_LEADER];
  EXPECT_EQ(com[leader].item[0] + com[leader].item[1] + com[leader].item[2] + com[leader].item[3] +
                com[leader].item[4] + com[leader].item[5] + com[leader].item[6] + com[leader].item[7],
            1);
  EXPECT_EQ(addrandommerc(3, 1), 2);
  EXPECT_EQ(addrandommerc(7, 0), 1);   // any other era: flags not tested
  EXPECT_EQ(addrandommerc(1, 1), -1);
}

TEST_F(Mercs, FullSlotsStillUseTheTemplate) {
  for (auto& band : mercband) band.value[MB_LEADER] = 1;
  const int32_t t = addrandommerc(1, 0);
  EXPECT_TRUE(t == 0 || t == 1);
  EXPECT_EQ(merctemplateused[t], 1);
  EXPECT_EQ(highestcom, -1);
  merctemplates[0].tier = MERC_ENDTIER;   // an empty list draws nothing
  EXPECT_EQ(addrandommerc(1, 0), -1);
}

TEST(MercsBuiltin, TheBuiltInTemplatesMakeBands) {
  loadgamedata();
  clearworld();
  resetbuilder();
  seedrnd(21);
  int32_t made = 0;
  for (int era = 1; era <= 3; era++)
    for (int tier = 0; tier <= 2; tier++) {
      const int32_t t = addrandommerc(era, tier);
      if (t < 0) continue;
      EXPECT_LT(t, BUILTIN_MERCTEMPLATES);
      EXPECT_EQ(merctemplates[t].tier, tier);
      EXPECT_NE(merctemplates[t].eras & (1 << (era - 1)), 0);
      made++;
    }
  EXPECT_GE(made, 5);
  for (const MercBand& m : mercband) {
    ASSERT_GE(m.value[MB_LEADER], 0);
    const int32_t b = com[m.value[MB_LEADER]].body;
    EXPECT_EQ(unit[b].land, MERCLAND);
    EXPECT_EQ(unit[b].owner, MERCOWNER);
  }
}
