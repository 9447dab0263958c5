// What the nation's windows write, in a real window by scripted input: the
// army panel opens with its title row and writes nothing of its own over
// its figures and orders; the recruitment, mercenaries, deployment,
// Empowerment and laboratory screens have no title, hint or name of their
// own; the list headings at 0 stand on the window's edge, and the
// mercenaries' header row has no line under it.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "actions/squads.h"
#include "gfx/xwindow.h"
#include "screens/armypanel.h"
#include "screens/deployment.h"
#include "screens/forging.h"
#include "screens/lab.h"
#include "screens/mercenaries.h"
#include "screens/recruitment.h"
#include "screens/statscreens.h"
#include "support/guitexts.h"
#include "support/pacedscript.h"
#include "support/smallworld.h"

namespace {
constexpr int32_t ME = 3;
const std::string LEAVE = paced("wait 2\nkey escape\n");

// A line across the shown window's rows under the header (what a separator
// draws): a box 2 high as wide as the rows.
bool ruled() {
  const guirect w = guishownwindow();
  for (int32_t i = 0; i < guiareacount(); i++) {
    const guiarea& a = guiareaget(i);
    if (a.kind == AreaKind::box && a.h == 2 && a.w >= w.w - 2 * GUIMARGIN - 1) return true;
  }
  return false;
}

// The highest text of the laid-out areas: the first a player reads.
std::string toptext() {
  const guiarea* top = nullptr;
  for (int32_t i = 0; i < guiareacount(); i++) {
    const guiarea& a = guiareaget(i);
    if (a.kind == AreaKind::text && a.length > 0 && (!top || a.y > top->y)) top = &a;
  }
  return top ? std::string(guiareatext(*top), size_t(top->length)) : "";
}

class ScreenTexts : public ::testing::Test {
 protected:
  void SetUp() override {
    makesmallworld();
    settype(1, "Ash Warden").sprite = 12;
    for (int32_t l : {2, 3}) land[l].owner = land[l].fortholder = ME;
  }
};
}  // namespace

TEST_F(ScreenTexts, TheArmyPanelWritesItsRowsAndExitOnly) {
  const int32_t c = mkcom(1, ME, 2);
  strcpy(com[c].name, "Aldric");
  const int32_t a = mkunit(1, ME, 2), b = mkunit(1, ME, 2);
  mkunit(1, ME, 2);   // stays in the garrison
  ASSERT_FALSE(joinsquad(a, c, -1, 0));
  ASSERT_FALSE(joinsquad(b, c, unit[a].squad, 0));
  RealWindow w(800, 600);
  ASSERT_TRUE(w.ok);

  // A province without units: the title row and Exit.
  setinputscript(LEAVE.c_str());
  armypanel(ME, 3, -1);
  EXPECT_EQ(windowtexts(), "Land3, 0 units in garrison Exit ");
  EXPECT_STREQ(guihinttext(), "");

  // The commander's two rows and his squad's, under the title row.
  setinputscript(LEAVE.c_str());
  armypanel(ME, 2, -1);
  char order[ORDERTEXTSIZE], squad[ORDERTEXTSIZE];
  combattleordertext(c, order);
  squadordertext(c, 0, squad);
  EXPECT_EQ(windowtexts(), std::string("Land2, 1 unit in garrison Aldric the Ash Warden, commanding 2 units in 1 squad ") +
                               order + " 2 units " + squad + " Exit ");
  EXPECT_EQ(toptext(), "Land2, 1 unit in garrison");
  EXPECT_STREQ(guihinttext(), "");
}

TEST_F(ScreenTexts, TheNationsOtherWindowsHaveNoTitleOrHintOfTheirOwn) {
  RealWindow w(800, 600);
  ASSERT_TRUE(w.ok);
  setinputscript(LEAVE.c_str());
  buildarmy(2, ME);
  EXPECT_EQ(toptext(), "Units");
  EXPECT_EQ(windowtexts().find("Land2"), std::string::npos) << windowtexts();
  EXPECT_STREQ(guihinttext(), "");

  const int32_t c = mkcom(1, ME, 2);
  setinputscript(LEAVE.c_str());
  setpos(c, -1, -1);
  EXPECT_EQ(toptext(), "Position Commander");
  EXPECT_STREQ(guihinttext(), "");

  land[2].lab = 1;
  setinputscript(LEAVE.c_str());
  EXPECT_EQ(train(2, c), 9);
  EXPECT_EQ(toptext(), "Empowerment");
  EXPECT_EQ(windowtexts().find("Ash Warden"), std::string::npos) << windowtexts();

  setinputscript(LEAVE.c_str());
  viewlab(ME, 2);
  EXPECT_EQ(windowtexts(), "Exit ") << "the doors are their pictures";
  for (int32_t door = 1; door <= 4; door++) EXPECT_GE(findguiarea(door), 0) << door;

  // A band on offer: its header row unruled, the names from 24.
  const int32_t leader = mkcom(1, INDEPENDENTS, 5);
  mercband[0].value[MB_LEADER] = int16_t(leader);
  mercband[0].value[MB_EMPLOYER] = 95;
  strcpy(mercband[0].name, "The Grey Lances");
  for (int32_t b = 1; b < MAXMERCBANDS; b++) mercband[size_t(b)].value[MB_LEADER] = -1;
  setinputscript(LEAVE.c_str());
  viewmercs(ME, 2);
  EXPECT_NE(windowtexts().find("Grey Lances"), std::string::npos) << windowtexts();
  EXPECT_EQ(columnof("Company name"), 24);
  EXPECT_FALSE(ruled()) << "a line under the header row";
  EXPECT_STREQ(guihinttext(), "");
}

namespace {
// The info texts of the laid-out areas with the id, joined by "|"; the
// window's close button (the toolkit's own) left out.
std::string infotexts(int32_t id) {
  std::string all;
  for (int32_t i = 0; i < guiareacount(); i++) {
    const guiarea& a = guiareaget(i);
    if (a.id == id && a.info >= 0 && a.kind != AreaKind::closebox) all += std::string(all.empty() ? "" : "|") + guiinfotext(a.info);
  }
  return all;
}
}  // namespace

// The queue's pictures tell what a click on them does in those words alone,
// without the type's name.
TEST_F(ScreenTexts, TheRecruitmentQueueSaysWhatItsPicturesTakeBack) {
  land[2].comqueued = 1;
  land[2].queuedcomtype = 1;
  land[2].queuecount = 2;
  land[2].queue[0] = land[2].queue[1] = 1;
  RealWindow w(800, 600);
  ASSERT_TRUE(w.ok);
  setinputscript(LEAVE.c_str());
  buildarmy(2, ME);
  EXPECT_EQ(infotexts(RC_REMOVECOM), "Remove commander from recruitment queue");
  EXPECT_EQ(infotexts(RC_REMOVEUNIT),
            "(backspace) Remove last unit from recruitment queue|(backspace) Remove last unit from recruitment queue");
  EXPECT_NE(windowtexts().find("Reset recruitment"), std::string::npos) << windowtexts();
}

// "Name" stands on the window's edge where the lists put it, the names of
// the rows at the toolkit's margin; the other columns share their x.
TEST_F(ScreenTexts, NameHeadsTheHallOfFameAndThePretendersFromTheEdge) {
  mkcom(1, ME, 2);   // commander 0, an empty place of the list
  const int32_t hero = mkcom(1, ME, 2);
  strcpy(com[hero].name, "Aldric");
  gameinfo.hofsize = 1;
  scorelist[0] = int16_t(hero);
  RealWindow w(800, 600);
  ASSERT_TRUE(w.ok);
  setinputscript(LEAVE.c_str());
  halloffame(ME);
  EXPECT_EQ(columnof("Name"), 0);
  EXPECT_EQ(columnof("Aldric"), GUIMARGIN);
  EXPECT_EQ(columnof("Kills"), 300);
  EXPECT_EQ(columnof("0"), 300) << "the kills under their heading";
  EXPECT_FALSE(ruled());

  kingdom[ME].w[KW_CONTROLLER] = CTRL_HUMAN;
  strcpy(kingdom[ME].godname, "Ember");
  setinputscript(LEAVE.c_str());
  viewnations(ME);
  EXPECT_EQ(columnof("Name"), 0);
  EXPECT_EQ(columnof("Ember"), GUIMARGIN);
  EXPECT_EQ(columnof("Human"), 300);
  const guiarea* controller = textstarting("Contr");   // cut to its column
  ASSERT_NE(controller, nullptr);
  EXPECT_EQ(controller->x - guishownwindow().x, 300);
  EXPECT_FALSE(ruled());
}
