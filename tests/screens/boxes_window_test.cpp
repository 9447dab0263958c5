// The unit box in a real window by scripted input: opened from a
// commander's card of the turn screen, its attack broken down, the item box
// of a held item, and the item handed to another commander through the
// "Transfer item to" question. VEY3_KEEPSHOTS=1 keeps the pictures
// ($TMPDIR/vey3shots_*/boxes_*).
#include <gtest/gtest.h>

#include <string>

#include "gfx/dialogwindow.h"
#include "gfx/xwindow.h"
#include "screens/turnscreen.h"
#include "screens/unitbox.h"
#include "support/pacedscript.h"
#include "support/smallworld.h"

namespace {
TEST(BoxesWindow, BreakdownItemBoxAndAnItemHandedOver) {
  makesmallworld();
  Monster& t = settype(1, "Ash Warden");
  t.sprite = 12;
  t.flags |= MF_FLYING;
  addtypeability(1, AB_FIRERES, 25);
  setweapon(1, "Spear", 1, 1, 3);
  setarmor(1, "Leather Cuirass", IT_ARMOR, 0, 1);
  addprot(1, LOC_BODY, 6);
  t.weapon[0] = 1;
  t.armor[0] = 1;
  setweapon(6, "Ember Blade", 2, 1, 2);
  Item& blade = setitem(5, "Ember Blade", IT_ONEHAND);
  blade.weapon = 6;
  blade.picture = 7;
  blade.mainpath = P_FIRE;
  blade.mainlevel = 2;
  additemability(5, 10, 1);
  const int32_t hero = mkcom(1, 3, 2), mate = mkcom(1, 3, 2);
  strcpy(com[hero].name, "Aldric");
  strcpy(com[mate].name, "Brenna");
  com[hero].item[0] = 5;
  com[hero].gems[P_FIRE] = 3;
  com[hero].path[P_FIRE] = 2;
  unit[bodyunit(hero)].exp = 60;
  unit[bodyunit(hero)].flags[0] |= AF_LOSTEYE;
  turnscreen.nation = 3;

  RealWindow w(800, 600);
  ASSERT_TRUE(w.ok);
  installwindowdialogs(1);
  const std::string box = tempfile("boxes_unitbox.ppm"), stat = tempfile("boxes_attack.ppm"),
                    item = tempfile("boxes_item.ppm"), menu = tempfile("boxes_transfer.ppm");
  setinputscript(paced("waitfor 99\nmove 5 5\nwait 2\nshot " + box +
                       "\nclickid 13\nwaitfor 9\nshot " + stat + "\nkey escape\n"
                       "waitfor 99\nclickid 150 3\nwaitfor 999\nshot " + item + "\nkey escape\n"
                       "waitfor 99\nclickid 150\nwaitfor 1000\nshot " + menu + "\nclickid 1000\n"
                       "waitfor 99\nkey escape\nwait 2\n")
                     .c_str());
  EXPECT_EQ(turnaction(-TS_CARD - hero), 0);
  installwindowdialogs(0);
  EXPECT_EQ(com[hero].item[0], 0) << "the blade left Aldric";
  bool held = false;
  for (int16_t i : com[mate].item) held = held || i == 5;
  EXPECT_TRUE(held) << "Brenna holds the blade";
  for (const std::string& s : {box, stat, item, menu}) {
    const Shot shot = readshot(s);
    ASSERT_GT(shot.width, 0) << s;
    EXPECT_GT(pixelslike(shot, {250, 150, 300, 300}, 255, 255, 255, 60), 30) << "text on " << s;
    dropshot(s);
  }
}
}  // namespace
