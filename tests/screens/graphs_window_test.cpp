// The score graphs in a real window under a keyboard's keys: the plot
// fills the screen in its 24 bands, the lines run from 0 at the foot to the
// scale's top at 500 and from the first turn at the left edge to the last
// at the right, the window of tabs and flags lies over the plot above them,
// and nothing is written over the lines. A graph's key shows that graph;
// the victory points' graph draws the game's goal whatever the condition.
// The Global Enchantments of a world without any; the Hall of Fame's hero
// marks and the Pretenders of the World within their window.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>

#include "gfx/xwindow.h"
#include "runtime/trs.h"
#include "screens/magicviews.h"
#include "screens/statscreens.h"
#include "support/guitexts.h"
#include "support/pacedscript.h"
#include "support/smallworld.h"
#include "support/xinput.h"
#include "world/scores.h"

TEST(GraphsWindow, ThePlotFillsTheScreenUnderTheWindowAndNothingIsWrittenOverIt) {
  makesmallworld();
  memset(&endstats, 0, sizeof endstats);
  for (int32_t p : {0, 1}) kingdom[p].w[KW_CONTROLLER] = CTRL_HUMAN;
  gameinfo.victory = 0;
  endstats.highest = 11;   // turns 0 to 11
  for (int32_t t = 0; t <= 11; t++) {
    endstats.value[0][t][0] = int16_t(4 * t);       // up to 44
    endstats.value[0][t][1] = int16_t(44 - 4 * t);  // from the top down
  }
  RealWindow w(800, 600);
  ASSERT_TRUE(w.ok);
  const std::string shot = tempfile("graphs.ppm");
  setinputscript(paced("wait 2\nmove 790 10\nwait 2\nshot " + shot + "\n" + xdoline("key Escape")).c_str());
  viewgraphs(0);
  int32_t bands = 0, lines = 0, window = -1;
  float lowest = 600, highest = 0, right = 0;
  bool topreached = false, otherfromtop = false;
  for (int32_t i = 0; i < guiareacount(); i++) {
    const guiarea& a = guiareaget(i);
    if (window < 0 && a.kind == AreaKind::border) window = i;
    if (a.kind == AreaKind::box && a.x == 0 && a.w == 800 && a.h == 25) {
      bands++;
      EXPECT_EQ(std::fmod(a.y, 25.0f), 0.0f);
      EXPECT_LT(i, window < 0 ? guiareacount() : window) << "a band over the window";
    }
    if (a.kind != AreaKind::line || a.scale < 2 || a.scale > 3) continue;   // the nations' lines
    lines++;
    lowest = std::min({lowest, a.y, a.v});
    highest = std::max({highest, a.y, a.v});
    right = std::max({right, a.x, a.u});
    topreached |= a.scale > 2 && a.u >= 800 && a.v == 500;   // the player's, at the last turn
    otherfromtop |= a.scale == 2 && a.x == 0 && a.y == 500;
  }
  EXPECT_EQ(bands, 24);
  EXPECT_GE(lines, 22) << "both nations' lines, eleven segments each";
  EXPECT_EQ(lowest, 0.0f);
  EXPECT_EQ(highest, 500.0f);
  EXPECT_LE(right, 800.5f);
  EXPECT_TRUE(topreached) << "the player's 44 at turn 11 stands at (800, 500)";
  EXPECT_TRUE(otherfromtop) << "the other nation's 44 at turn 0 stands at (0, 500)";
  // The window of one row of flags keeps above the lines' top; the bands
  // are seen beside it. Every text is the window's: no scale over the plot.
  const guirect shown = guishownwindow();
  EXPECT_GE(shown.y, 500.0f);
  EXPECT_NE(windowtexts().find("Provinces"), std::string::npos);
  for (int32_t i = 0; i < guiareacount(); i++) {
    const guiarea& a = guiareaget(i);
    if (a.kind == AreaKind::text)
      EXPECT_GE(a.y, shown.y) << "written over the plot: " << std::string(guiareatext(a), size_t(a.length));
  }
  const Shot s = readshot(shot);
  EXPECT_GT(pixelslike(s, {0, 575, 90, 25}, 51, 43, 43, 12), 1000) << "no band beside the window";
  if (getenv("VEY3_KEEPSHOTS")) printf("The graphs: %s\n", shot.c_str());
  else dropshot(shot);
  // "f" shows the forts.
  setinputscript(paced("wait 2\n" + xdoline("key f") + "wait 2\n" + xdoline("key Escape")).c_str());
  viewgraphs(0);
  EXPECT_NE(windowtexts().find("[Forts]"), std::string::npos) << windowtexts();
}

namespace {
// The goal lines: white lines 4 wide; the y of the first, -1 when none.
float goalline() {
  for (int32_t i = 0; i < guiareacount(); i++) {
    const guiarea& a = guiareaget(i);
    if (a.kind == AreaKind::line && a.scale == 4) return a.y;
  }
  return -1;
}

// A game of four turns whose victory points rise to 30, with a goal of 15,
// under the victory condition given.
void victorypointsgame(int32_t condition) {
  makesmallworld();
  memset(&endstats, 0, sizeof endstats);
  kingdom[0].w[KW_CONTROLLER] = CTRL_HUMAN;
  endstats.highest = 3;
  for (int32_t t = 0; t <= 3; t++) endstats.value[7][t][0] = int16_t(10 * t);
  gameinfo.victory = condition;
  gameinfo.victoryvalue = 15;
}

// The graphs of player 0 after the keys, one after another; left by Escape.
void graphsafter(std::initializer_list<const char*> keys) {
  std::string script = "wait 2\n";
  for (const char* k : keys) script += xdoline(std::string("key ") + k) + "wait 2\n";
  setinputscript(paced(script + xdoline("key Escape")).c_str());
  viewgraphs(0);
}
}  // namespace

TEST(GraphsWindow, TheVictoryPointsGraphDrawsTheGoalInEveryGame) {
  victorypointsgame(1);
  RealWindow w(800, 600);
  ASSERT_TRUE(w.ok);
  graphsafter({"v"});
  EXPECT_FLOAT_EQ(goalline(), 15 * 500.0f / 30);
  // A graph that no condition gives a goal has no line.
  graphsafter({"p"});
  EXPECT_EQ(goalline(), -1);
}

// In a game of seven tabs the key v still shows the victory points' graph,
// with its goal and no tab marked; the next graph after it is the first.
TEST(GraphsWindow, TheKeyVShowsTheVictoryPointsWithoutItsTabAndTabGoesOnToTheFirst) {
  victorypointsgame(0);
  RealWindow w(800, 600);
  ASSERT_TRUE(w.ok);
  graphsafter({"v"});
  EXPECT_FLOAT_EQ(goalline(), 15 * 500.0f / 30) << "the victory points' goal";
  EXPECT_EQ(windowtexts().find('['), std::string::npos) << "a tab marked: " << windowtexts();
  EXPECT_EQ(windowtexts().find("Victory Points"), std::string::npos) << "a tab of its own";
  graphsafter({"v", "Tab"});
  EXPECT_NE(windowtexts().find("[Provinces]"), std::string::npos) << windowtexts();
}

TEST(EnchantmentsWindow, AWorldWithoutAnyShowsFiveEmptyRowsAndExit) {
  makesmallworld();
  RealWindow w(800, 600);
  ASSERT_TRUE(w.ok);
  setinputscript(paced("wait 2\nkey escape\n").c_str());
  viewench(0);
  int32_t texts = 0, empty = 0;
  for (int32_t i = 0; i < guiareacount(); i++) {
    const guiarea& a = guiareaget(i);
    if (a.kind != AreaKind::text) continue;
    const std::string t(guiareatext(a), size_t(a.length));
    if (t.find_first_not_of(' ') == std::string::npos) {
      empty++;
      continue;
    }
    texts++;
    EXPECT_TRUE(t == "Exit" || t == "Global Enchantments") << "a line of its own: " << t;
  }
  EXPECT_EQ(texts, 2);
  EXPECT_EQ(empty, 5);
}

// The Hall of Fame draws every hero mark of a hero, and an empty place
// (0, as a new game's list holds) as "None"; the Pretenders of the
// World is 370 wide, and what our font makes wider than a column is cut
// with ".." so that every text stays inside the window.
TEST(StatisticsWindows, EveryHeroMarkAndThePretendersInside) {
  makesmallworld();
  settype(1, "Ash Warden").sprite = 12;
  mkcom(1, 0, 1);   // commander 0 is no hero here
  const int32_t hero = mkcom(1, 0, 2);
  com[hero].herocount = 40;
  gameinfo.hofsize = 2;
  scorelist[0] = int16_t(hero);
  scorelist[1] = 0;
  RealWindow w(800, 600);
  ASSERT_TRUE(w.ok);
  setinputscript(paced("wait 2\nkey escape\n").c_str());
  halloffame(0);
  int32_t marks = 0;
  for (int32_t i = 0; i < guiareacount(); i++)
    marks += guiareaget(i).kind == AreaKind::sprite && guiareaget(i).nr == SPRITE_HERO;
  EXPECT_EQ(marks, 40);
  EXPECT_NE(windowtexts().find("None"), std::string::npos);
  EXPECT_EQ(windowtexts().find("Ash Warden"), windowtexts().rfind("Ash Warden")) << "commander 0 in an empty place";

  for (int32_t p : {0, 1}) kingdom[p].w[KW_CONTROLLER] = CTRL_HUMAN;
  kingdom[1].w[KW_CONTROLLER] = int16_t(CTRL_WAS1);
  strcpy(kingdom[0].godname, "The Everlasting Ember King of Ash");
  setinputscript(paced("wait 2\nkey escape\n").c_str());
  viewnations(0);
  const guirect shown = guishownwindow();
  EXPECT_EQ(shown.w, 370);
  for (int32_t i = 0; i < guiareacount(); i++) {
    const guiarea& a = guiareaget(i);
    if (a.kind == AreaKind::text)
      EXPECT_LE(a.x + a.w, shown.x + shown.w - GUIMARGIN / 2)
          << "beyond the window: " << std::string(guiareatext(a), size_t(a.length));
  }
  const guiarea* heading = textstarting("Contr");
  ASSERT_NE(heading, nullptr);
  EXPECT_EQ(heading->x - shown.x, 300);
}
