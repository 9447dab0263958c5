// The nation's screens in a real window by scripted input: recruiting (a
// commander and units queued, one shift-click queues ten, the screen shown
// at 800 x 600 and 1280 x 800, End turn, the host, and the recruits found in
// the next turn) and the Magic Research screen (a school's share set on its
// bar and fine tuned, found in the order file; its rows in their columns;
// its slider's tooltip over the fill).
// VEY3_KEEPSHOTS=1 keeps the pictures ($TMPDIR/vey3shots_*/*.ppm); the README
// shows them.
#include <gtest/gtest.h>

#include <numeric>
#include <string>

#include "frontend/frontend.h"
#include "gfx/xwindow.h"
#include "host/hostgame.h"
#include "mapview/mapview.h"
#include "screens/recruitment.h"
#include "screens/research.h"
#include "screens/turnscreen.h"
#include "support/guitexts.h"
#include "support/pacedscript.h"
#include "support/smallworld.h"
#include "support/turnscript.h"

namespace {
class NationScreens : public HostGame {};

int32_t unitsin(int32_t lnr, int32_t nation, int32_t type) {
  int32_t n = 0;
  for (int32_t u = 0; u < MAXUNITS; u++)
    if (unit[size_t(u)].hp > 0 && unit[size_t(u)].owner == nation && unit[size_t(u)].land == lnr &&
        unit[size_t(u)].type == type)
      n++;
  return n;
}
}  // namespace

TEST_F(NationScreens, QueuedRecruitsAreRaisedByTheHost) {
  create("veyrmark.map", {0, 1}, 3);
  ASSERT_TRUE(openturn(0));
  const int32_t home = kingdom[0].w[KW_HOMELAND];
  const std::vector<int32_t> units = recruitlist(home, 0), coms = recruitlist(home, 10);
  ASSERT_FALSE(units.empty());
  ASSERT_FALSE(coms.empty());
  const int32_t soldier = units[0], leader = coms[0];
  const int32_t gold = kingdom[0].gold, soldiersbefore = unitsin(home, 0, soldier),
                leadersbefore = unitsin(home, 0, leader);
  ASSERT_GE(gold, unittypes[size_t(leader)].gcost + 11 * unittypes[size_t(soldier)].gcost) << "too poor to test";
  RealWindow w;
  ASSERT_TRUE(w.ok);
  installmapscreens();
  quitprogram = 0;
  const std::string shot = tempfile("recruit.ppm"), wide = tempfile("recruit1280.ppm");
  const std::string unitid = std::to_string(RC_UNIT + soldier);
  // The commander, one soldier, ten with Shift, one taken back with
  // Backspace; pictures in both window sizes; Exit, End turn.
  const std::string script =
      "waitfor 1\nclickid 1\nwaitfor 999\nkey escape\n" + TURNSCREEN + "key r\n"
      "waitfor " + unitid + "\nclickid " + std::to_string(RC_COM + leader) + "\nclickid " + unitid +
      "\nhold left shift\nclickid " + unitid + "\nrelease left shift\nkey backspace\nwait 3\n"
      "move 790 590\nwait 3\nshot " + shot + "\nresize 1280 800\nwait 5\nshot " + wide + "\nresize 800 600\nwait 3\n"
      "key escape\n" + TURNSCREEN + "key e\nwait 5\nwaitfor 1\nclickid 999\n";
  setinputscript(paced(script).c_str());
  playturn(game.c_str());
  {
    ASSERT_TRUE(readorders(0));
    EXPECT_EQ(land[size_t(home)].comqueued, 1);
    EXPECT_EQ(land[size_t(home)].queuedcomtype, leader);
    EXPECT_EQ(land[size_t(home)].queuecount, 10);
    EXPECT_EQ(kingdom[0].gold, gold - unittypes[size_t(leader)].gcost - 10 * unittypes[size_t(soldier)].gcost);
  }
  for (const std::string& s : {shot, wide}) {
    const Shot pic = readshot(s);
    ASSERT_GT(pic.width, 0) << s;
    // Light text of the lists in the upper half of the screen.
    EXPECT_GT(pixelslike(pic, {40, 350, 400, 200}, 180, 180, 180, 40),
              100)
        << s;
    dropshot(s);
  }
  // Host from the list; the recruits stand at home in the next turn, and
  // what the resources did not cover still waits in the queue.
  setinputscript(
      paced("waitfor 100\nclickid 100\nwaitfor 6\nclickid 6\nwait 10\nwaitfor 1\nclickid 999\n").c_str());
  playturn(game.c_str());
  ASSERT_TRUE(openturn(0));
  const Land& l = land[size_t(home)];
  const int32_t raised = unitsin(home, 0, soldier) - soldiersbefore;
  EXPECT_EQ(raised + l.queuecount, 10) << raised << " raised, " << l.queuecount << " waiting";
  const bool commander = unitsin(home, 0, leader) > leadersbefore;
  EXPECT_TRUE(commander || l.comqueued == 1);
  EXPECT_GT(raised + (commander ? 1 : 0), 0) << "nothing was recruited";
}

TEST_F(NationScreens, ASchoolsShareIsSetOnItsBarAndFineTuned) {
  create("veyrmark.map", {0, 1}, 3);
  RealWindow w;
  ASSERT_TRUE(w.ok);
  installmapscreens();
  quitprogram = 0;
  const std::string shot = tempfile("research.ppm");
  // Evocation's bar clicked in its middle (50%), "+" once, Exit, End turn.
  const std::string script =
      "waitfor 1\nclickid 1\nwaitfor 999\nkey escape\n" + TURNSCREEN + "key f5\nwaitfor 32\nclickid 32\nwait 2\nkey +\n"
      "move 790 590\nwait 3\nshot " + shot + "\nkey escape\n" + TURNSCREEN + "key e\nwait 5\nwaitfor 1\nclickid 999\n";
  setinputscript(paced(script).c_str());
  playturn(game.c_str());
  ASSERT_TRUE(readorders(0));
  const int16_t* pc = &researchrec[0][RR_PERCENT];
  EXPECT_GT(pc[2], 50);   // 50 from the bar, then at least one point more
  EXPECT_EQ(std::accumulate(pc, pc + 7, 0), 100);
  const Shot pic = readshot(shot);
  ASSERT_GT(pic.width, 0);
  // The green of the bars.
  EXPECT_GT(pixelslike(pic, {200, 150, 150, 300}, 40, 140, 50, 50), 100);
  dropshot(shot);
}

// The research rows in their columns, counted from the window's left edge:
// the slider at 110, "level" at 270, the bar at 320; no text reaches into
// the column after it. The window's boxes are the sliders, the bars and
// Exit: no ground of their own under the rows.
TEST(ResearchWindow, TheRowsStandInTheirColumns) {
  makesmallworld();
  for (int32_t i = 0; i < 24; i++) researchrec[2][i] = 0;
  researchrec[2][RR_PERCENT + 1] = 100;
  researchrec[2][RR_LEVEL + 1] = 12;   // far beyond the last level
  RealWindow w;
  ASSERT_TRUE(w.ok);
  setinputscript(paced("wait 2\nkey escape\n").c_str());
  viewresearch(2);
  float left = -1;
  for (int32_t i = 0; i < guiareacount() && left < 0; i++)
    if (guiareaget(i).kind == AreaKind::border) left = guiareaget(i).x;
  ASSERT_GE(left, 0);
  const int32_t slider = findguiarea(30 + 1);
  ASSERT_GE(slider, 0);
  EXPECT_EQ(guiareaget(slider).x - left, 110);
  const guiarea* level = textstarting("level 12");
  ASSERT_NE(level, nullptr);
  EXPECT_EQ(level->x - left, 270);
  EXPECT_LE(level->x + level->w, left + 320);
  bool bar = false;
  for (int32_t i = 0; i < guiareacount(); i++) {
    const guiarea& a = guiareaget(i);
    bar |= a.kind == AreaKind::box && a.x - left == 320 && a.w == 100 && a.y == level->y - 2;
  }
  EXPECT_TRUE(bar) << "no bar at 320 in the row";
  for (int32_t i = 0; i < guiareacount(); i++) {
    const guiarea& a = guiareaget(i);
    if (a.kind == AreaKind::box) {
      EXPECT_LE(a.w, 100) << "a box " << a.w << " wide at " << a.x - left;
    }
  }
  // The school's name ends before its slider; its points before "level".
  const guiarea* name = textstarting("Alteration");
  ASSERT_NE(name, nullptr);
  EXPECT_LE(name->x + name->w, guiareaget(slider).x);
  const guiarea* points = textstarting("\xA4");
  ASSERT_NE(points, nullptr);
  EXPECT_GE(points->x, guiareaget(slider).x + 100);
  EXPECT_LE(points->x + points->w, level->x);
}

// A school's slider tells what it does wherever the pointer finds it: over
// its green fill as over its empty track.
TEST(ResearchWindow, TheSliderTellsWhatItDoesOverItsFillToo) {
  makesmallworld();
  for (int32_t i = 0; i < 24; i++) researchrec[2][i] = 0;
  researchrec[2][RR_PERCENT + 0] = researchrec[2][RR_PERCENT + 1] = 50;
  RealWindow w;
  ASSERT_TRUE(w.ok);
  setinputscript(paced("wait 2\nkey escape\n").c_str());
  viewresearch(2);
  const int32_t track = findguiarea(30);
  ASSERT_GE(track, 0);
  const guiarea& t = guiareaget(track);
  const std::string tip =
      "The amount of research that will be done in this school. (+,-) Fine tune the research points";
  for (float at : {0.1f, 0.4f, 0.9f}) {
    const int32_t found = guiareaat(t.x + at * t.w, t.y + t.h / 2);
    ASSERT_GE(found, 0) << at;
    EXPECT_EQ(guiareaget(found).id, 30) << at;
    ASSERT_GE(guiareaget(found).info, 0) << "no tooltip at " << at << " of the slider";
    EXPECT_EQ(guiinfotext(guiareaget(found).info), tip) << at;
  }
}
