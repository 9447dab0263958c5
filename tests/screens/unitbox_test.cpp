// The unit status box: what it lists for a unit and a commander on a small
// world, and the box opened from the turn screen's card in a real window.
// VEY3_KEEPSHOTS=1 keeps the picture ($TMPDIR/vey3shots_*/unitbox_*).
#include <gtest/gtest.h>

#include <string>

#include "gfx/dialogwindow.h"
#include "gfx/xwindow.h"
#include "screens/turnscreen.h"
#include "screens/unitbox.h"
#include "support/smallworld.h"

namespace {
std::vector<std::string> texts(const std::vector<BoxEntry>& v, bool hover = false) {
  std::vector<std::string> out;
  for (const BoxEntry& e : v) out.push_back(hover ? e.hover : e.text);
  return out;
}

class UnitBox : public ::testing::Test {
 protected:
  int32_t hero = -1, soldier = -1;
  void SetUp() override {
    makesmallworld();
    settype(1, "Ash Warden");
    settype(2, "Spearman");
    setweapon(1, "Spear");
    setweapon(2, "Sling").range = 20;
    unittypes[2].weapon[0] = 1;
    unittypes[2].weapon[1] = 2;
    setarmor(1, "Leather Cuirass", IT_ARMOR);
    setarmor(2, "Iron Cap", IT_HELMET);
    unittypes[2].armor[0] = 1;
    unittypes[2].armor[1] = 2;
    setitem(5, "Ember Blade", IT_ONEHAND);
    hero = mkcom(1, 3, 2);
    strcpy(com[hero].name, "Aldric");
    soldier = mkunit(2, 3, 2);
    unit[soldier].homeland = 4;
  }
};

TEST_F(UnitBox, FiguresOfAUnitAndACommander) {
  unit[soldier].hp = 7;
  unit[soldier].fatigue = 25;
  const std::vector<std::string> plain = texts(unitboxfigures(soldier));
  ASSERT_EQ(plain.size(), 11u) << "a plain unit has no leadership";
  EXPECT_EQ(plain[0], "Hit points 7");
  EXPECT_EQ(plain[1], "Strength 10");
  EXPECT_EQ(plain[10], "Fatigue 25");
  const std::vector<BoxEntry> f = unitboxfigures(bodyunit(hero));
  ASSERT_EQ(f.size(), 12u);
  EXPECT_EQ(std::string(f[11].text).rfind("Leadership ", 0), 0u);
  // Each figure's id opens the breakdown of its own statistic: all differ.
  std::vector<int32_t> ids;
  for (const BoxEntry& e : f) ids.push_back(e.id);
  std::sort(ids.begin(), ids.end());
  EXPECT_EQ(std::unique(ids.begin(), ids.end()), ids.end());
  EXPECT_EQ(ids.front(), UB_FIGURE);
  EXPECT_TRUE(unitboxfigures(MAXUNITS).empty());
  char line[100];
  homegarrison(soldier, line, sizeof line);
  EXPECT_STREQ(line, "home garrison Land4");
  unit[bodyunit(hero)].homeland = 4;
  homegarrison(bodyunit(hero), line, sizeof line);
  EXPECT_STREQ(line, "") << "commanders have no garrison line";
}

TEST_F(UnitBox, ItemSlotsGemsAndMagic) {
  com[hero].item[0] = 5;
  std::vector<BoxEntry> slots = unitboxslots(hero);
  ASSERT_EQ(slots.size(), 7u);
  EXPECT_EQ(slots[0].id, UB_ITEM + 0);
  EXPECT_STREQ(slots[0].hover, "Hand, Ember Blade");
  EXPECT_EQ(slots[1].id, UB_EMPTYSLOT + 1);
  EXPECT_STREQ(slots[1].hover, "Hand, no magic item");
  EXPECT_STREQ(slots[6].hover, "Misc, no magic item");
  // A lost arm takes one hand slot away.
  unit[bodyunit(hero)].flags[0] |= AF_LOSTARM;
  EXPECT_EQ(unitboxslots(hero).size(), 6u);
  EXPECT_TRUE(unitboxslots(-1).empty());
  com[hero].gems[P_FIRE] = 2;
  com[hero].gems[P_BLOOD] = 1;
  EXPECT_EQ(unitboxgems(hero), (std::vector<int32_t>{0, 0, 7}));
  com[hero].gems[P_EARTH] = 40;
  EXPECT_EQ(unitboxgems(hero).size(), size_t(UB_MAXGEMSPRITES));
  EXPECT_TRUE(unitboxmagic(hero).empty()) << "no paths, no research";
  com[hero].path[P_FIRE] = 2;
  com[hero].path[P_PRIEST] = 1;
  const std::vector<std::string> hovers = texts(unitboxmagic(hero), true);
  ASSERT_GE(hovers.size(), 2u);
  EXPECT_EQ(hovers[0], "fire mage level 2");
  EXPECT_EQ(hovers[1], "priest level 1");
}

TEST_F(UnitBox, AfflictionsExperienceWeaponsAndArmour) {
  EXPECT_TRUE(unitboxicons(soldier).empty());
  unit[soldier].flags[0] |= AF_DISEASED | AF_LOSTEYE;
  unit[soldier].exp = 120;   // three stars
  std::vector<std::string> icons = texts(unitboxicons(soldier), true);
  EXPECT_EQ(icons, (std::vector<std::string>{"Diseased", "Affliction", "Affliction", "Experience", "Experience",
                                             "Experience"}));
  EXPECT_EQ(iconstep(14), 30);
  EXPECT_EQ(iconstep(20), 21);
  EXPECT_EQ(texts(unitboxweapons(soldier)), (std::vector<std::string>{"Spear", "Sling"}));
  EXPECT_EQ(unitboxweapons(soldier)[1].id, UB_WEAPON + 2);
  EXPECT_EQ(texts(unitboxarmors(soldier)), (std::vector<std::string>{"Leather Cuirass", "Iron Cap"}));
  EXPECT_EQ(unitboxwidth(300), 450);
  EXPECT_EQ(unitboxwidth(500), 500);
  EXPECT_EQ(unitboxwidth(2000), 700);
}

TEST_F(UnitBox, ABadUnitNumberStops) {
  EXPECT_DEATH(ustatbox(MAXUNITS, nullptr, 0, 0), "ustatbox: bad unr");
  const int32_t sel[2] = {MAXUNITS, -1};
  EXPECT_DEATH(ustatbox(soldier, sel, 0, 0), "ustatbox: bad selection");
}

// A right click on a commander's card of the turn screen opens the box;
// Escape closes it.
TEST_F(UnitBox, OpensFromTheTurnScreenCard) {
  RealWindow w(800, 600);
  ASSERT_TRUE(w.ok);
  installwindowdialogs(1);
  unittypes[1].sprite = 12;
  unittypes[1].weapon[0] = 1;
  unittypes[1].armor[0] = 1;
  com[hero].item[0] = 5;
  com[hero].gems[P_FIRE] = 3;
  com[hero].path[P_FIRE] = 2;
  unit[bodyunit(hero)].exp = 60;
  unit[bodyunit(hero)].flags[0] |= AF_LOSTEYE;
  turnscreen.nation = 3;
  const std::string shot = tempfile("unitbox_800.ppm");
  setinputscript(("waitfor 99\nmove 5 5\nwait 3\nshot " + shot + "\nwait 2\nkey escape\nwait 2\n").c_str());
  EXPECT_EQ(turnaction(-TS_CARD - hero), 0);
  Shot s = readshot(shot);
  ASSERT_GT(s.width, 0);
  EXPECT_GT(pixelslike(s, {250, 150, 300, 300}, 255, 255, 255, 60), 30);
  dropshot(shot);
  installwindowdialogs(0);
}
}  // namespace
