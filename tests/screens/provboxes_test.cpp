#include <gtest/gtest.h>

#include <string>

#include "gfx/gui.h"
#include "host/host.h"
#include "rule_ids.h"
#include "screens/orders.h"
#include "support/guitexts.h"
#include "support/smallworld.h"
#include "world/economy.h"
#include "world/ruleconstants.h"

namespace {
std::string effect(int32_t player, int32_t scale, int32_t v) {
  char buf[EFFECTTEXTLEN];
  veyeffecttext(player, scale, v, buf);
  return buf;
}

class ProvinceBoxes : public ::testing::Test {
 protected:
  void SetUp() override {
    makesmallworld();
    defaultgeneral();
  }
};

TEST_F(ProvinceBoxes, ScaleEffectTexts) {
  EXPECT_EQ(effect(3, SC_TURMOIL, -2), "Income +14%, random events -10%");
  EXPECT_EQ(effect(3, SC_TURMOIL, 3), "Income -21%, random events +15%");
  EXPECT_EQ(effect(3, SC_SLOTH, -1), "Income +2%, resources +15%");
  EXPECT_EQ(effect(3, SC_SLOTH, 2), "Income -4%, resources -30%");
  EXPECT_EQ(effect(3, SC_DEATH, -1), "Income +2%, supplies +15%, growth +0.2%");
  EXPECT_EQ(effect(3, SC_DEATH, 2), "Income -4%, supplies -30%, growth -0.4%");
  EXPECT_EQ(effect(3, SC_MISFORTUNE, -1), "Random events +5%, event is good +13%");
  EXPECT_EQ(effect(3, SC_MISFORTUNE, 2), "Random events +10%, event is good -26%");
  EXPECT_EQ(effect(3, SC_DRAIN, -3), "Research +2 RP");
  EXPECT_EQ(effect(3, SC_DRAIN, 1), "Research -1 RP");
  for (int32_t s : {0, 1, 3, 4, 5, 9}) EXPECT_EQ(effect(3, s, 0), "") << s;
  EXPECT_EQ(effect(3, 9, 2), "Unknown effect");
  // Cold and heat count from the nation's preferred value, 0 included.
  EXPECT_EQ(effect(3, SC_COLD, 0), "");
  EXPECT_EQ(effect(3, SC_COLD, -2), "Income -10%, supplies -20%");
  nations[3].attrkey[0] = NA_COLDPREF;
  nations[3].attrval[0] = 1;
  nations[3].attrkey[1] = NA_NODEATHSUPPLY;
  nations[3].attrval[1] = 1;
  EXPECT_EQ(effect(3, SC_COLD, 1), "");
  EXPECT_EQ(effect(3, SC_COLD, 0), "Income -5%, supplies -10%");
  EXPECT_EQ(effect(3, SC_COLD, -2), "Income -15%, supplies -30%");
  EXPECT_EQ(effect(3, SC_DEATH, -1), "Income +2%, growth +0.2%");
  EXPECT_EQ(effect(3, SC_DEATH, 3), "Income -6%, growth -0.6%");
}

TEST_F(ProvinceBoxes, TaxStepsStayWithinBoundsAndEndAutomaticTaxing) {
  Land& l = land[4];
  l.tax = 195;
  l.reserved = LF_AUTOTAX;
  taxstep(4, 1);
  EXPECT_EQ(l.tax, 200);
  EXPECT_EQ(l.reserved & LF_AUTOTAX, 0);
  taxstep(4, 1);
  EXPECT_EQ(l.tax, 200);
  l.tax = 5;
  taxstep(4, -1);
  EXPECT_EQ(l.tax, 0);
  l.unrest = 7;
  settaxauto(4, 1);
  EXPECT_EQ(l.tax, 80);
  EXPECT_NE(l.reserved & LF_AUTOTAX, 0);
  l.unrest = 0;
  settaxauto(4, 0);
  EXPECT_EQ(l.tax, 100);
  EXPECT_EQ(l.reserved & LF_AUTOTAX, 0);
  for (int32_t unrest : {-5, 0}) {
    l.unrest = int16_t(unrest);
    EXPECT_EQ(unrestpercent(4), 100);
  }
  l.unrest = 5;
  EXPECT_EQ(unrestpercent(4), 90);
  l.unrest = 26;
  EXPECT_EQ(unrestpercent(4), 50);
  l.unrest = 3000;
  EXPECT_EQ(unrestpercent(4), 50);
}

TEST_F(ProvinceBoxes, VeyranceInfoShowsWhatThePlayerKnows) {
  land[4].owner = 6;
  land[4].veyowner = 6;
  land[4].veystr = 3;
  land[4].scale[SC_TURMOIL] = -2;
  guibegin();
  buildveyinfo(3, 4);   // a province nation 3 knows nothing of
  guishow(-1, -1);
  std::string t = windowtexts();
  EXPECT_NE(t.find("Nothing is known about the Veyrance in this province"), std::string::npos);
  EXPECT_EQ(t.find("Veyrance strength"), std::string::npos);
  land[4].owner = 3;
  strcpy(kingdom[3].godname, "Ashen One");
  guibegin();
  buildveyinfo(3, 4);
  guishow(-1, -1);
  t = windowtexts();
  EXPECT_NE(t.find("an enemy Pretender God's Veyrance"), std::string::npos);
  EXPECT_NE(t.find("Veyrance strength: 3"), std::string::npos);
  EXPECT_NE(t.find("Order: 2"), std::string::npos);
  EXPECT_NE(t.find("Income +14%, random events -10%"), std::string::npos);
  land[4].veyowner = 3;
  guibegin();
  buildveyinfo(3, 4);
  guishow(-1, -1);
  EXPECT_NE(windowtexts().find("under the influence of Ashen One's Veyrance."), std::string::npos);
  EXPECT_EQ(guishownwindow().w, 325);
  EXPECT_EQ(guishownwindow().h, 325) << "the window is 325 by 325; its rows scroll";
}
}  // namespace
