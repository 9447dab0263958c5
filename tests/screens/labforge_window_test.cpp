// The laboratory, both treasuries, alchemy, forging and Empowerment in a
// real window by scripted input on a small world: each view is opened, used
// and pictured; the resource treasury's and alchemy's panels and columns.
// VEY3_KEEPSHOTS=1 keeps the pictures ($TMPDIR/vey3shots_*/*).
#include <gtest/gtest.h>

#include <string>

#include "gfx/dialogwindow.h"
#include "gfx/xwindow.h"
#include "rule_ids.h"
#include "screens/forging.h"
#include "screens/lab.h"
#include "screens/orders.h"
#include "support/guitexts.h"
#include "support/pacedscript.h"
#include "support/smallworld.h"
#include "world/economy.h"
#include "world/ruleconstants.h"
#include "world/scores.h"

namespace {
constexpr int32_t P = 3, LAB = 2, SWORD = 1, HELM = 2;

class LabWindows : public ::testing::Test {
 protected:
  int32_t mage = -1;
  void SetUp() override {
    makesmallworld();
    defaultgeneral();
    settype(1, "Fire Mage");
    for (int32_t l : {1, 2, 3}) land[l].owner = land[l].fortholder = P;
    land[LAB].fort = 1;
    land[LAB].lab = 1;
    kingdom[P].w[KW_PROPHET] = kingdom[P].w[KW_GOD] = -1;
    researchrec[P][RR_LEVEL + SCH_CONSTRUCTION] = 4;
    item(SWORD, "Ember Blade", IT_ONEHAND);
    item(HELM, "Crown of Sparks", IT_HELMET);
    items[3].constlevel = ITEM_SENTINELLEVEL + 1;
    mage = mkcom(1, P, LAB);
    strcpy(com[mage].name, "Aldric the Red");
    com[mage].path[P_FIRE] = 2;
    com[mage].gems[P_DEATH] = 4;
    for (int32_t k = 0; k < 8; k++) kingdom[P].w[KW_GEMS + k] = int16_t(10 + k);
    kingdom[P].gold = 100;
    kingdom[P].w[KW_LABSTORE + 12] = HELM;
  }
  static void item(int32_t i, const char* name, int8_t type) {
    Item& it = setitem(i, name, type);
    it.mainpath = P_FIRE;
    it.mainlevel = 1;
    it.picture = int16_t(i);
  }
  static std::string shot(const char* what) { return tempfile((std::string(what) + ".ppm").c_str()); }
  // The picture shows a window with light text in the middle of the screen.
  static void looked(const std::string& path) {
    const Shot s = readshot(path);
    ASSERT_GT(s.width, 0) << path;
    EXPECT_GT(pixelslike(s, {250, 150, 300, 300}, 255, 255, 255, 60), 30) << path;
    dropshot(path);
  }
  static int16_t gems(int32_t k) { return kingdom[P].w[KW_GEMS + k]; }
};
}  // namespace

TEST_F(LabWindows, EveryViewOpensAndActs) {
  RealWindow w;
  ASSERT_TRUE(w.ok);
  installwindowdialogs(1);
  const std::string labshot = shot("laboratory"), rtshot = shot("resources"), mitshot = shot("items"),
                    alchshot = shot("alchemy"), forgeshot = shot("forge"), trainshot = shot("empowerment");
  // The laboratory opens the resource treasury (t), where the death gems
  // the mage carries are pooled and the gem transfer opens for the mage;
  // F7 closes it.
  setinputscript(paced("waitfor 3\nmove 5 5\nwait 3\nshot " + labshot + "\nkey t\nwaitfor 25\nclickid 25\nmove 5 5\n"
                       "wait 3\nshot " + rtshot + "\nclickid 1\nwaitfor 9\nkey escape\nwaitfor 25\nkey f7\nwaitfor 4\n"
                       "key escape\n")
                     .c_str());
  viewlab(P, LAB);
  EXPECT_EQ(gems(P_DEATH), 19);
  EXPECT_EQ(com[mage].gems[P_DEATH], 0);
  // The item treasury shows the crown's box on a right click and hands the
  // crown to the mage.
  setinputscript(paced("waitfor 112\nmove 5 5\nwait 3\nshot " + mitshot +
                       "\nclickid 112 3\nwaitfor 999\nkey escape\nwaitfor 112\nclickid 112\nkey escape\n")
                     .c_str());
  viewmit(P, LAB, mage);
  EXPECT_EQ(kingdom[P].w[KW_LABSTORE + 12], 0);
  EXPECT_TRUE(comhasitem(mage, HELM));
  // Alchemy: a fire gem to gold, two astral pearls to an air gem (key a),
  // two nature gems to a pearl (key N).
  setinputscript(
      paced("waitfor 300\nclickid 300\nkey a\ntype N\nmove 5 5\nwait 3\nshot " + alchshot + "\nkey escape\n").c_str());
  alch(LAB, mage);
  EXPECT_EQ(kingdom[P].gold, 115);
  EXPECT_EQ(gems(P_FIRE), 9);
  EXPECT_EQ(gems(P_AIR), 12);
  EXPECT_EQ(gems(P_NATURE), 14);
  EXPECT_EQ(gems(P_ASTRAL), 13);
  // Forging: the helmets' category lists the crown; the blade is ordered
  // from the first category.
  setinputscript(paced("waitfor 4\nclickid 4\nwaitfor " + std::to_string(1000 + HELM) + "\nclickid 1\nwaitfor " +
                       std::to_string(1000 + SWORD) + "\nmove 5 5\nwait 3\nshot " + forgeshot + "\nclickid " +
                       std::to_string(1000 + SWORD) + "\n")
                     .c_str());
  ASSERT_EQ(forgelist(mage, 1), std::vector<int32_t>{SWORD});
  forge(LAB, mage);
  EXPECT_EQ(com[mage].order, Order::forge);
  EXPECT_EQ(com[mage].orderparam, SWORD);
  EXPECT_EQ(gems(P_FIRE), 4);
  // Empowerment in Death at level 0 costs 50 gems: refused with a message,
  // the forge order withdrawn and refunded all the same; then Fire 2 to 3
  // for 45 of the 55 fire gems.
  kingdom[P].w[KW_GEMS + int32_t(P_FIRE)] = 50;
  setinputscript(paced("waitfor 15\nmove 5 5\nwait 3\nshot " + trainshot +
                       "\nclickid 15\nwaitfor 1\nclickid 1\nwaitfor 10\nclickid 10\n")
                     .c_str());
  EXPECT_EQ(train(LAB, mage), 45);
  EXPECT_EQ(com[mage].order, Order::empower);
  EXPECT_EQ(gems(P_FIRE), 10);
  for (const std::string& s : {labshot, rtshot, mitshot, alchshot, forgeshot, trainshot}) looked(s);
  installwindowdialogs(0);
}


// The resource treasury is 280 wide with its columns at 130 (the stock), 160
// (the income) and 210 ("pool"), a stock too wide for its column cut; alchemy
// is 150 wide, each kind's conversions on rows under its line, inside it.
TEST_F(LabWindows, TheTreasuryAndAlchemyStandInTheirPanels) {
  sites[1].effectkind[0] = 1 + P_FIRE;   // three fire gems a month
  sites[1].effectval[0] = 3;
  land[LAB].site[0] = 1;
  land[LAB].sitefound[0] = 1;
  ASSERT_EQ(visinc(P, P_FIRE), 3);
  kingdom[P].w[KW_GEMS + int32_t(P_FIRE)] = 32767;
  RealWindow w;
  ASSERT_TRUE(w.ok);
  setinputscript(paced("waitfor 20\nkey escape\n").c_str());
  viewrt(P, LAB);
  const guirect rt = guishownwindow();
  EXPECT_EQ(rt.w, 280);
  EXPECT_EQ(columnof("+3"), 160);
  EXPECT_EQ(columnof("13"), 130) << "the earth gems' stock";
  for (int32_t k = 0; k < LABKINDS; k++) EXPECT_EQ(guiareaget(findguiarea(20 + k)).x - rt.x, 210) << k;
  const guiarea* fire = textstarting("32");
  ASSERT_NE(fire, nullptr);
  EXPECT_EQ(fire->x - rt.x, 130);
  EXPECT_LT(fire->x + fire->w - rt.x, 160) << "the fire gems' stock reaches into the income";

  setinputscript(paced("waitfor 300\nkey escape\n").c_str());
  alch(LAB, mage);
  const guirect al = guishownwindow();
  EXPECT_EQ(al.w, 150);
  for (int32_t i = 0; i < guiareacount(); i++) {
    const guiarea& a = guiareaget(i);
    EXPECT_TRUE(a.x >= al.x && a.x + a.w <= al.x + al.w) << "an area from " << a.x - al.x << " to " << a.x + a.w - al.x;
  }
  // The gold row lies under the pearl row of the fire gems.
  EXPECT_LT(guiareaget(findguiarea(300 + P_FIRE)).y, guiareaget(findguiarea(200 + P_FIRE)).y);
}
