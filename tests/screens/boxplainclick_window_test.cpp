// A left click on the plain text of a box, a list or a small screen closes
// it as its Exit does (the unit box, the site box, the ability, breakdown
// and spell boxes, the Temple and Position screens, the spell lists, the
// schools' menu, the battles' list); a click beside it, the wheel and the
// unit box's selection strip do not. Real clicks and wheel notches from the
// X server (xdotool).
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <functional>
#include <string>

#include "gamefiles/gamefiles.h"
#include "gfx/guistate.h"
#include "gfx/xwindow.h"
#include "runtime/folders.h"
#include "screens/abilitybox.h"
#include "screens/deployment.h"
#include "screens/infoboxes.h"
#include "screens/magicviews.h"
#include "screens/orders.h"
#include "screens/replays.h"
#include "screens/statbox.h"
#include "screens/unitbox.h"
#include "support/guitexts.h"
#include "support/hostedbattle.h"
#include "support/pacedscript.h"
#include "support/smallworld.h"
#include "support/xevents.h"
#include "support/xinput.h"

namespace {
constexpr int32_t ME = 3;
constexpr const char* LORE = "A sentence of lore that goes on and on about nothing. ";

// The type's description: LORE sixty times, longer than the box.
void describeatlength(const char* key) {
  std::string text;
  for (int32_t n = 0; n < 60; n++) text += LORE;
  descrs[0] = Descr{};
  descrs[0].text = -1;
  memcpy(descrtext.data(), text.c_str(), text.size() + 1);
  nbrdescrs = 2;
  descrs[1] = Descr{};
  strncpy(descrs[1].key, key, sizeof descrs[1].key - 1);
  descrs[1].text = 0;
}

// Where a click goes: the GUI point and a script line that moves the pointer
// there and presses the button.
struct Spot {
  float x = 0, y = 0;
  std::string press(int32_t button) const {
    float px = 0, py = 0;
    guitowindow(guiviewport(), windowheight(), x, y, &px, &py);
    return xdoline("mousemove --window \"$(xdotool search --name '^vey3 test$' | head -1)\" " +
                   std::to_string(int32_t(px)) + " " + std::to_string(int32_t(py)) + " click " +
                   std::to_string(button));
  }
};

// The middle of the first text area that begins with start, in the window
// last drawn; x -1 when there is none.
Spot middleof(const std::string& start) {
  const guiarea* a = textstarting(start);
  if (!a) return {-1, -1};
  return {a->x + a->w / 2, a->y + a->h / 2};
}

// A spot in the shown window's left margin, halfway up: no item lies
// there, and it stays put while the window's list scrolls.
Spot margin() {
  const guirect w = guishownwindow();
  return {w.x + 4, w.y + w.h / 2};
}

// Runs the box with the script, which ends with Escape; what it returned.
int32_t runbox(const std::string& script, const std::function<int32_t()>& open) {
  setinputscript(script.c_str());
  guibegin();   // no window of a box before behind
  return open();
}

// Two wheel notches at the spot, each let through a few frames, then a left
// click there, then Escape.
std::string wheeltwiceandclick(const Spot& at) {
  return at.press(5) + "wait 6\n" + at.press(5) + "wait 6\n" + at.press(1) + "wait 10\n" + "key escape\n";
}
}  // namespace

// The unit box: a click beside it and two wheel notches over its
// description leave it open, scrolled; a click on the description then
// closes it with 0, before the Escape that ends the script.
TEST(BoxPlainClickWindow, UnitBoxClosesOnItsPlainText) {
  makesmallworld();
  settype(1, "Ash Warden").sprite = 12;
  describeatlength("Ash Warden");
  const int32_t body = mkunit(1, ME, 2);
  RealWindow w(800, 600);
  ASSERT_TRUE(w.ok);
  auto open = [&] { return ustatbox(body, nullptr, 0, 0); };

  // Shown once, to learn where its text lies.
  ASSERT_EQ(runbox(paced(line("waitfor", UB_EXIT) + "key escape\n"), open), UB_EXIT);
  // A row of the description that stays under the pointer as the text scrolls.
  const Spot lore = middleof("sentence");
  ASSERT_GT(lore.x, 0) << "the description is shown";
  const Spot beside{guishownwindow().x / 2, guishownwindow().y + guishownwindow().h / 2};
  ASSERT_GT(beside.x, 2) << "room beside the box";

  const std::string script = line("waitfor", UB_EXIT) + beside.press(1) + "wait 6\n" + lore.press(5) + "wait 6\n" +
                             lore.press(5) + "wait 6\n" + lore.press(1) + "wait 10\n" + "key escape\n";
  EXPECT_EQ(runbox(script, open), UB_CLOSE) << "closed by the click on its text, not by Escape";
  EXPECT_TRUE(scriptbusy()) << "the Escape after the click was not needed";
  EXPECT_GT(guiscroll(), 3 * GUITEXTHEIGHT) << "open through the click beside it and both wheel notches";
  setinputscript("");
}

// The site box: a click on its line closes it with 0.
TEST(BoxPlainClickWindow, SiteBoxClosesOnItsPlainText) {
  makesmallworld();
  sites[5] = Site{};
  strcpy(sites[5].name, "Gilded Hollow");
  sites[5].effectkind[0] = SE_GOLD;
  sites[5].effectval[0] = 40;
  RealWindow w(800, 600);
  ASSERT_TRUE(w.ok);
  auto open = [] { return featbox(5); };

  ASSERT_EQ(runbox(paced(line("waitfor", 999) + "key escape\n"), open), 999);
  const Spot gold = middleof("Brings 40 gold");
  ASSERT_GT(gold.x, 0) << "the line is shown";

  EXPECT_EQ(runbox(line("waitfor", 999) + gold.press(1) + "wait 10\n" + "key escape\n", open), 0)
      << "closed by the click on its line, not by Escape";
  EXPECT_TRUE(scriptbusy());
  setinputscript("");
}

// Two units of one type (their boxes share a title): scrolled down to the
// selection strip in the first, the box shows the second from the top.
TEST(BoxPlainClickWindow, SelectionEntryShowsItsUnitFromTheTop) {
  makesmallworld();
  settype(1, "Ash Warden").sprite = 12;
  describeatlength("Ash Warden");
  const int32_t first = mkcom(1, ME, 2), second = mkcom(1, ME, 2);
  strcpy(com[first].name, "Oda");
  strcpy(com[second].name, "Brannoc");
  const int32_t sel[] = {com[first].body, com[second].body, -1};
  RealWindow w(800, 600);
  ASSERT_TRUE(w.ok);

  const std::string script = line("waitfor", UB_EXIT) + line("point", UB_EXIT) + "wait 2\n" +
                             xdoline("click --repeat 20 --delay 30 5") + line("waitfor", UB_SELECTION + 1) +
                             "wait 4\n" + line("point", UB_SELECTION + 1) + "wait 2\n" + xdoline("click 1") +
                             "wait 10\n" + "key escape\n";
  EXPECT_EQ(runbox(paced(script), [&] { return ustatbox(sel[0], sel, 0, 0); }), UB_EXIT);
  EXPECT_NE(windowtexts().find("Brannoc"), std::string::npos) << "the second unit is shown";
  EXPECT_GT(guiscrollmax(), 0);
  EXPECT_EQ(guiscroll(), 0) << "from the top of its list";
  setinputscript("");
}

struct PlainTextCase {
  const char* box;
  int32_t exitid;   // waited for; Escape gives it
  const char* line;   // the start of a line of its plain text
  std::function<int32_t()> open;
  int32_t closed;   // what it returns for the click on the line
};

// Boxes and small screens shown until the first click: a left click on a
// line of their text closes each (with 0 where it returns an id), before
// the Escape that ends the script.
TEST(BoxPlainClickWindow, SmallBoxesAndScreensCloseOnALineOfTheirText) {
  makesmallworld();
  settype(1, "Ash Warden").sprite = 12;
  addtypeability(1, AB_FIRERES, 25);
  const int32_t hero = mkcom(1, ME, 2);
  spells[1] = Spell{};
  strcpy(spells[1].name, "Wordy Hex");
  spells[1].fatigue = 20;
  land[2].owner = land[2].fortholder = ME;
  land[2].temple = 1;
  const int32_t body = com[hero].body;
  const PlainTextCase cases[] = {
      {"ability box", 9, "Fire Resistant", [&] { return afflictionbox(body, 1); }, 0},
      {"breakdown box", 9, "Basic Hit Points", [&] { return unitdescrbox(body, 1, 0); }, 0},
      {"spell box", 1, "Fatigue Cost", [] { spellinfobox(1); return 0; }, 0},
      {"temple screen", 9, "Number of temples", [] { return viewtmpl(2); }, 0},
      {"position screen", 999, "Back...", [&] { setpos(hero, -1, -1); return 0; }, 0},
  };
  RealWindow w(800, 600);
  ASSERT_TRUE(w.ok);
  for (const PlainTextCase& c : cases) {
    // Shown once, to learn where the line lies.
    runbox(paced(line("waitfor", c.exitid) + "key escape\n"), c.open);
    const Spot text = middleof(c.line);
    ASSERT_GT(text.x, 0) << c.box << " shows " << c.line;
    EXPECT_EQ(runbox(line("waitfor", c.exitid) + text.press(1) + "wait 10\n" + "key escape\n", c.open), c.closed)
        << c.box;
    EXPECT_TRUE(scriptbusy()) << c.box << " closed by the click on its line, not by Escape";
  }
  setinputscript("");
}

// The spell choice and a school's list, longer than their windows, turned
// two notches by the wheel over their margin, and the schools' menu: a
// left click in the margin then leaves each, before the Escape.
TEST(BoxPlainClickWindow, SpellListsLeaveOnAClickInTheirMargin) {
  makesmallworld();
  for (Spell& s : spells) s = Spell{};
  for (int32_t n = 1; n <= 30; n++) {
    Spell& s = spells[size_t(n)];
    snprintf(s.name, sizeof s.name, "Spark %d", n);
    s.path[0] = P_FIRE;
    s.path[1] = -1;
    s.pathlevel[0] = 1;
    s.school = SCH_EVOCATION;
    s.effect = 5;
    s.range = 5;
    s.fatigue = 100;
    s.researchlevel = 1;
    spellbook[ME][size_t(n - 1)] = int16_t(n);
  }
  spellbook[ME][30] = -1;
  spells[31].researchlevel = 255;
  settype(1, "Fire Mage");
  const int32_t mage = mkcom(1, ME, 2);
  com[mage].path[P_FIRE] = 2;
  RealWindow w(800, 600);
  ASSERT_TRUE(w.ok);

  struct List {
    const char* name;
    int32_t exitid;
    std::function<int32_t()> open;
    bool scrolls;
  };
  const List lists[] = {
      {"spell choice", 99, [&] { return choosespell("Battle spells", mage, 0); }, true},
      {"school's list", 1, [] { schoolspells(-1, SCH_EVOCATION, 100); return 0; }, true},
      {"schools' menu", 1, [] { magicschools(); return 0; }, false},
  };
  for (const List& l : lists) {
    const int32_t left = runbox(paced(line("waitfor", l.exitid) + "key escape\n"), l.open);
    ASSERT_GT(guishownwindow().w, 0) << l.name;
    ASSERT_EQ(guiscrollmax() > 0, l.scrolls) << l.name;
    const Spot side = margin();
    const std::string script = l.scrolls ? wheeltwiceandclick(side) : side.press(1) + "wait 10\n" + "key escape\n";
    EXPECT_EQ(runbox(line("waitfor", l.exitid) + script, l.open), left) << l.name;
    EXPECT_TRUE(scriptbusy()) << l.name << " left by the click in its margin, not by Escape";
    if (l.scrolls) {
      EXPECT_GT(guiscroll(), 3 * GUITEXTHEIGHT) << l.name << " open through both wheel notches";
    }
  }
  setinputscript("");
}

namespace {
class BattleListPlainClick : public HostedBattle {};
}  // namespace

// Thirty battles of one province, listed: two wheel notches over the list's
// margin only scroll it, and a left click there leaves it, before the
// Escape; no battle is watched.
TEST_F(BattleListPlainClick, TheWheelScrollsTheListAndAClickInItsMarginLeavesIt) {
  hostbattle();
  // The one replay again and again in the turn file.
  char first[PATHLEN], copy[PATHLEN];
  vcrpath(first, PATHLEN, A, 0);
  for (int32_t n = 1; n < 30; n++) {
    vcrpath(copy, PATHLEN, A, n);
    ASSERT_TRUE(std::filesystem::copy_file(first, copy)) << copy;
  }
  ASSERT_TRUE(writeturnfile(A, game, 7, turn + 1));
  ASSERT_EQ(openturn(), 30);
  const int32_t owner = land[4].owner;
  RealWindow w(800, 600);
  ASSERT_TRUE(w.ok);
  auto open = [&] {
    viewvcrs(A, 4, 30, game);
    return 0;
  };

  runbox(paced(line("waitfor", 999) + "key escape\n"), open);
  ASSERT_GT(guiscrollmax(), 3 * GUITEXTHEIGHT) << "the list is longer than its window";
  runbox(line("waitfor", 999) + wheeltwiceandclick(margin()), open);
  EXPECT_TRUE(scriptbusy()) << "left by the click in its margin, not by Escape";
  EXPECT_GT(guiscroll(), 3 * GUITEXTHEIGHT) << "open through both wheel notches";
  EXPECT_EQ(std::string(gui.title), std::string("the battles of ") + nations[A].name);
  EXPECT_EQ(land[4].owner, owner) << "the live world back, no battle watched";
  setinputscript("");
}
