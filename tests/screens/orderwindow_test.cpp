// The order menu, the spell choice and the province boxes in a real window
// at two sizes, by scripted input. VEY3_KEEPSHOTS=1 keeps the pictures
// ($TMPDIR/vey3shots_*/*) that the README shows.
#include <gtest/gtest.h>

#include <string>

#include "gfx/dialogwindow.h"
#include "gfx/xwindow.h"
#include "screens/orders.h"
#include "world/provinfo.h"
#include "support/smallworld.h"
#include "world/ruleconstants.h"

namespace {
struct Size {
  int32_t w, h;
};

class OrderWindows : public ::testing::TestWithParam<Size> {
 protected:
  int32_t mage = -1;
  void SetUp() override {
    makesmallworld();
    defaultgeneral();
    for (Spell& s : spells) s = Spell{};
    spells[20].researchlevel = 255;
    settype(1, "Fire Mage");
    for (int32_t l : {1, 2, 3}) land[l].owner = land[l].fortholder = 3;
    for (int32_t l = 1; l < 10; l++) {
      provgeo[l].nbr[0] = int16_t(l + 1);
      provgeo[l + 1].nbr[1] = int16_t(l);
    }
    land[2].fort = 1;
    land[2].lab = 1;
    strcpy(forts[1].name, "Palisade");
    kingdom[3].w[KW_PROPHET] = -1;
    kingdom[3].w[KW_GOD] = -1;
    mage = mkcom(1, 3, 2);
    strcpy(com[mage].name, "Aldric the Red");
    com[mage].path[P_FIRE] = 2;
    spell(1, "Flare", 1, 5);
    spell(2, "Inferno", 3, 5);
    spell(3, "Summon Ember", 1, 10001);
    spell(4, "Fire Storm", 3, 10002);
    int32_t i = 0;
    for (int32_t s : {1, 2, 3, 4}) spellbook[3][i++] = int16_t(s);
    spellbook[3][i] = -1;
    clearselections();
  }
  static void spell(int32_t n, const char* name, uint8_t level, int16_t effect) {
    Spell& s = spells[size_t(n)];
    snprintf(s.name, sizeof s.name, "%s", name);
    s.path[0] = P_FIRE;
    s.path[1] = -1;
    s.pathlevel[0] = level;
    s.school = effect > 9999 ? SCH_CONJURATION : SCH_EVOCATION;
    s.effect = effect;
    s.range = 5;
    s.fatigue = 100 * level;
    s.researchlevel = 1;
    s.flags = SF_UNDERWATER;
  }
  std::string shot(const char* what) {
    const Size s = GetParam();
    return tempfile((std::string(what) + "_" + std::to_string(s.w) + ".ppm").c_str());
  }
  // The shot shows a window with text in the middle of the screen.
  static void looked(const std::string& path) {
    Shot s = readshot(path);
    ASSERT_GT(s.width, 0) << path;
    EXPECT_GT(pixelslike(s, {250, 150, 300, 300}, 255, 255, 255, 60), 30) << path;
    dropshot(path);
  }
};

TEST_P(OrderWindows, OrderMenuSpellChoiceAndProvinceBoxes) {
  RealWindow w(GetParam().w, GetParam().h);
  ASSERT_TRUE(w.ok);
  installwindowdialogs(1);
  const std::string menushot = shot("ordermenu"), spellshot = shot("spellchoice"), veyshot = shot("veyinfo"),
                    taxshot = shot("taxbox"), infoshot = shot("spellinfo"), ritualshot = shot("rituals");
  // The order menu: patrol.
  setinputscript(("waitfor 103\nmove 5 5\nwait 3\nshot " + menushot + "\nwait 2\nclickid 103\nwait 2\n").c_str());
  changeorder(mage);
  EXPECT_EQ(com[mage].order, Order::patrol);
  // Keys of the menu: d (or D) defends.
  setinputscript("waitfor 100\nkey d\nwait 2\n");
  changeorder(mage);
  EXPECT_EQ(com[mage].order, Order::defend);
  // The spell choice: the water filter hides the fire spells, * brings them
  // back, a greyed spell may be picked for battle.
  setinputscript(("waitfor 99\nkey w\nwait 2\nkey *\nwait 2\nwaitfor 101\nmove 5 5\nwait 2\nshot " + spellshot +
                  "\nwait 2\nclickid 102\nwait 2\n")
                     .c_str());
  EXPECT_EQ(choosespell("Battle spells", mage, 0), 2);
  // A ritual beyond the mage is refused with a message, an item of it left.
  setinputscript("waitfor 104\nclickid 104\nwait 2\nwaitfor 1\nclickid 1\nwait 2\nwaitfor 103\nclickid 103\nwait 2\n");
  EXPECT_EQ(choosespell("Cast Ritual Spell", mage, 1), 3);
  // A right click opens the spell's box; Escape leaves the list.
  setinputscript(("waitfor 101\nclickid 101 3\nwait 2\nwaitfor 1\nmove 5 5\nwait 3\nshot " + infoshot +
                  "\nwait 2\nclickid 1\nwait 2\nwaitfor 99\nkey escape\nwait 2\n")
                     .c_str());
  EXPECT_EQ(choosespell("Battle spells", mage, 0), -1);
  // A ritual from the order menu, paid with a fire gem.
  kingdom[3].w[KW_GEMS + int32_t(P_FIRE)] = 4;
  setinputscript(("waitfor 109\nclickid 109\nwait 2\nwaitfor 103\nmove 5 5\nwait 3\nshot " + ritualshot +
                  "\nwait 2\nclickid 103\nwait 2\n")
                     .c_str());
  changeorder(mage);
  EXPECT_EQ(com[mage].order, Order::ritual);
  EXPECT_EQ(com[mage].orderparam, 3);
  EXPECT_EQ(kingdom[3].w[KW_GEMS + int32_t(P_FIRE)], 3);
  // A ritual that finds sites (the effect of Detect Sites in the data)
  // searches the caster's own province and asks for no target: the Escape
  // after the choice would leave the summoning in place in a target menu.
  spell(5, "Detect Sites", 1, 10020);
  spellbook[3][4] = 5;
  spellbook[3][5] = -1;
  setinputscript("waitfor 109\nclickid 109\nwait 2\nwaitfor 105\nclickid 105\nwait 2\nkey escape\nwait 2\n");
  changeorder(mage);
  EXPECT_EQ(com[mage].order, Order::ritual);
  EXPECT_EQ(com[mage].orderparam, 5);
  // The province boxes.
  land[2].veystr = 2;
  land[2].veyowner = 3;
  land[2].scale[SC_TURMOIL] = -1;
  land[2].scale[SC_DRAIN] = 2;
  strcpy(kingdom[3].godname, "The Ashen One");
  setinputscript(("waitfor 999\nwait 3\nshot " + veyshot + "\nwait 2\nkey escape\nwait 2\n").c_str());
  veyinfo(3, 2);
  land[2].tax = 100;
  setinputscript(("waitfor 2\nclickid 2\nwait 2\nclickid 2\nwait 2\nkey down\nwait 2\nwait 3\nshot " + taxshot +
                  "\nwait 2\nkey return\nwait 2\n")
                     .c_str());
  taxbox(3, 2);
  EXPECT_EQ(land[2].tax, 110);
  for (const std::string& s : {menushot, spellshot, veyshot, taxshot, infoshot, ritualshot}) looked(s);
  installwindowdialogs(0);
}

INSTANTIATE_TEST_SUITE_P(Sizes, OrderWindows, ::testing::Values(Size{800, 600}, Size{1280, 800}),
                         [](const auto& info) { return std::to_string(info.param.w); });
}  // namespace
