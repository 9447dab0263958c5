// Watching a battle: a hosted battle's replay shown in a real window from
// the battles screen, paused at its start and skipped to its end report,
// twice, giving the same pictures; and the province's look when its battle
// map is missing.
// VEY3_KEEPSHOTS=1 keeps the pictures ($TMPDIR/vey3shots_*/*.ppm); the README
// shows them.
#include <string>
#include <thread>
#include <vector>

#include "battle/battle.h"
#include "battleview/battleview.h"
#include "gfx/guistate.h"
#include "gfx/xwindow.h"
#include "screens/messages.h"
#include "screens/replays.h"
#include "support/hostedbattle.h"
#include "support/pacedscript.h"
#include "support/xinput.h"
#include "support/xtestkeys.h"

namespace {
class Watching : public HostedBattle {
 protected:
  void hostandopen() {
    hostbattle(25, 18);
    ASSERT_EQ(openturn(), 1);
  }

  // Watches the replay from the battles screen: slowed, paused at the
  // deployment for a picture, skipped to the end report for another.
  void watch(const std::string& start, const std::string& end) {
    const std::string script = "wait 2\nkey -\nkey -\nkey p\nmove 795 595\nwait 3\nshot " + start +
                               "\nkey p\nkey e\nwaitfor 999\nmove 795 595\nwait 3\nshot " + end + "\nclickid 999\n";
    setinputscript(paced(script).c_str());
    viewvcrs(A, 4, 1, game);
    setinputscript("");
  }
};

// Pixels that differ by more than a little between two pictures of one size.
int32_t differing(const Shot& a, const Shot& b) {
  if (a.width != b.width || a.height != b.height) return -1;
  int32_t n = 0;
  for (size_t i = 0; i + 2 < a.rgb.size(); i += 3)
    if (abs(a.rgb[i] - b.rgb[i]) + abs(a.rgb[i + 1] - b.rgb[i + 1]) + abs(a.rgb[i + 2] - b.rgb[i + 2]) > 24) n++;
  return n;
}
}  // namespace

TEST_F(Watching, AReplayShowsTheSameBattleEveryTimeAndTheWorldComesBack) {
  hostandopen();
  const Order ordersbefore = com[0].order;
  RealWindow w;
  ASSERT_TRUE(w.ok);
  const std::string start1 = tempfile("battlestart1.ppm"), end1 = tempfile("battleend1.ppm");
  const std::string start2 = tempfile("battlestart2.ppm"), end2 = tempfile("battleend2.ppm");
  watch(start1, end1);
  EXPECT_EQ(com[0].order, ordersbefore);
  EXPECT_TRUE(land[4].vpword & VPW_BATTLE);
  watch(start2, end2);
  const Shot a = readshot(start1), b = readshot(start2), c = readshot(end1), d = readshot(end2);
  ASSERT_GT(a.width, 0);
  ASSERT_GT(c.width, 0);
  EXPECT_EQ(differing(a, b), 0);
  EXPECT_EQ(differing(c, d), 0);
  // The field changed between the deployment and the end.
  EXPECT_GT(differing(a, c), 2000);
  // The report's light text stands over the field.
  EXPECT_GT(pixelslike(c, {200, 250, 400, 150}, 230, 230, 230, 30), 100);
  for (const std::string& s : {start1, end1, start2, end2}) dropshot(s);
}

// A paused battle and the end report draw nothing while nothing moves, and
// wait for input: a frame at most now and then, under 5 % of a core. The
// camera still turns frame by frame while Left is held (real X events): for
// most of the time that its frames found the key held, and frames go on
// meanwhile; a tap of Right, its press and release read together, turns it
// back by one frame's worth.
TEST_F(Watching, APausedBattleAndTheEndReportRestUntilTheCameraMoves) {
  hostandopen();
  RealWindow w;
  ASSERT_TRUE(w.ok);
  const std::string paused = tempfile("battlepaused.ppm");
  setinputscript(paced("wait 2\nkey p\nmove 795 595\nwait 3\nshot " + paused + "\n").c_str());
  RestCost still{-1, 0}, report{-1, 0};
  uint32_t turning = 0;
  float yaw[3] = {};
  keyseen left = {};
  std::thread measure([&] {
    while (!fileexists(paused)) sleepms(50);
    sleepms(1500);
    still = measurerest(4000);
    yaw[0] = battlecamera.yaw;
    const uint32_t before = framesdrawn();
    system("xdotool keydown Left; sleep 1.2; xdotool keyup Left; sleep 0.3");
    turning = framesdrawn() - before;
    yaw[1] = battlecamera.yaw;
    left = keytimes[KEY_LEFT];
    {
      XTestKeys keys;
      if (keys.ok()) keys.tap("Right");
    }
    sleepms(300);
    yaw[2] = battlecamera.yaw;
    system("xdotool key p; sleep 0.3; xdotool key e; sleep 2");
    report = measurerest(4000);
    system("xdotool key Return");
  });
  viewvcrs(A, 4, 1, game);
  measure.join();
  dropshot(paused);
  const float pace = float(framepace()) / 1000.0f, held = float(left.released - left.pressed) / 1000.0f;
  const float heldframes = float(left.heldto - left.pressed) / 1000.0f, turned = (yaw[0] - yaw[1]) / 1.5f;
  printf("paused battle: %.1f %% of a core, %u frames; end report: %.1f %%, %u frames; Left seen held %.3f s, "
         "by frames %.3f s, turned %.3f s in %u frames\n",
         still.share * 100, still.frames, report.share * 100, report.frames, double(held), double(heldframes),
         double(turned), turning);
  EXPECT_GE(still.share, 0);
  EXPECT_LT(still.share, 0.05);
  EXPECT_LE(still.frames, 3u);
  // A wait for input while the key is held would draw one frame or two.
  EXPECT_GE(turning, 4u);
  EXPECT_GT(left.released, 0u);
  EXPECT_GE(turned, pace + heldframes / 4 - 0.01f);
  EXPECT_LE(turned, pace + held + 0.01f);
  EXPECT_NEAR(yaw[2] - yaw[1], pace * 1.5f, 1e-4f);
  EXPECT_GE(report.share, 0);
  EXPECT_LT(report.share, 0.05);
  EXPECT_LE(report.frames, 3u);
}

// Left pressed by the X server turns the camera as far while the battle is
// paused (the frames wait for input) as while it runs (a frame after
// another): the first frame of a press counts one frame, not the wait
// before it, also for a key let go and pressed again while the frames wait,
// and the frames after it the time that they found it held. So each press
// turns the camera by at least one frame's worth and at most by that and the
// time from the press to the release as the program itself saw them (later
// and shorter than xdotool held the key on a busy machine). Six short
// presses, then a longer one, which turns it for most of the time that its
// frames found it held.
TEST_F(Watching, AKeyPressedTurnsTheCameraAsFarPausedAsRunning) {
  hostandopen();
  RealWindow w;
  ASSERT_TRUE(w.ok);
  const std::string paused = tempfile("battlepressed.ppm");
  setinputscript(paced("wait 2\nkey -\nkey -\nkey p\nmove 795 595\nwait 3\nshot " + paused + "\n").c_str());
  struct Press {
    float turned;
    keyseen seen;
  };
  std::vector<Press> presses[2];
  std::thread press([&] {
    while (!fileexists(paused)) sleepms(50);
    sleepms(800);
    // Seconds of the key held: 1.5 thousandths of a radian a millisecond.
    auto held = [](const char* hold) {
      const float before = battlecamera.yaw;
      system((std::string("xdotool keydown Left; sleep ") + hold + "; xdotool keyup Left; sleep 0.5").c_str());
      return Press{(before - battlecamera.yaw) / 1.5f, keytimes[KEY_LEFT]};
    };
    for (int32_t running = 0; running < 2; running++) {
      for (int32_t k = 0; k < 6; k++) presses[running].push_back(held("0.02"));
      presses[running].push_back(held("0.3"));
      system(running ? "xdotool key e; sleep 2; xdotool key Return" : "xdotool key p; sleep 0.5");
    }
  });
  viewvcrs(A, 4, 1, game);
  press.join();
  dropshot(paused);
  const float pace = float(framepace()) / 1000.0f, tick = 0.01f;
  for (int32_t running = 0; running < 2; running++) {
    ASSERT_EQ(presses[running].size(), 7u);
    for (size_t k = 0; k < 7; k++) {
      const Press& p = presses[running][k];
      const float held = float(p.seen.released - p.seen.pressed) / 1000.0f;
      const float heldframes = float(p.seen.heldto - p.seen.pressed) / 1000.0f;
      printf("Left held %s s %s: turned %.3f s, seen held %.3f s, by frames %.3f s\n", k < 6 ? "0.02" : "0.3",
             running ? "running" : "paused", double(p.turned), double(held), double(heldframes));
      EXPECT_GT(p.seen.released, 0u) << running << " " << k;
      EXPECT_GE(p.turned, pace - 1e-4f) << running << " " << k;
      EXPECT_LE(p.turned, pace + held + tick) << running << " " << k;
      if (k == 6) {
        EXPECT_GE(p.turned, pace + heldframes / 4 - tick) << running;
      }
    }
  }
}

TEST_F(Watching, ABattleReportInTheMessageListShowsItsBattle) {
  hostandopen();
  int32_t m = -1;
  for (int32_t i = 0; i <= highestmsg; i++)
    if (message[size_t(i)].type == MT_BATTLE && message[size_t(i)].player == A) m = i;
  ASSERT_GE(m, 0);
  RealWindow w;
  ASSERT_TRUE(w.ok);
  textonly = 0;   // the host world's tests run without a window
  const std::string mid = tempfile("battlemid.ppm"), end = tempfile("battlereport.ppm");
  // The report read, "Watch the battle", a look in the middle of the
  // fighting, skipped to the end report, Exit, and the list closed.
  const std::string item = std::to_string(1000 + m);
  const std::string script = "waitfor " + item + "\nclickid " + item + "\nwaitfor 2\nclickid 2\nwait 500\nhold up\nwait 10\nrelease up\nmove 795 595\nwait 2\n"
                             "shot " + mid + "\nkey e\nwaitfor 999\nmove 795 595\nwait 3\nshot " + end +
                             "\nclickid 999\nwait 5\nkey escape\n";
  setinputscript(paced(script).c_str());
  viewmsgs(A, game);
  setinputscript("");
  const Shot report = readshot(end), fighting = readshot(mid);
  ASSERT_GT(report.width, 0);
  ASSERT_GT(fighting.width, 0);
  EXPECT_GT(pixelslike(report, {200, 250, 400, 150}, 230, 230, 230, 30), 100);
  EXPECT_TRUE(land[4].vpword & VPW_BATTLE);
  EXPECT_EQ(message[size_t(m)].type, MT_BATTLE);
  for (const std::string& s : {mid, end}) dropshot(s);
}

TEST_F(Watching, SeveralBattlesOfAProvinceAreListedAndTheListComesBackAfterEach) {
  hostbattle(25, 18);
  counterattack();
  ASSERT_EQ(openturn(), 2);
  RealWindow w;
  ASSERT_TRUE(w.ok);
  const std::string list = tempfile("battlelist.ppm"), again = tempfile("battlelist2.ppm");
  const std::string script = "waitfor 1\nmove 795 595\nwait 3\nshot " + list +
                             "\nclickid 2\nwait 5\nkey e\nwaitfor 999\nclickid 999\nwaitfor 1\nmove 795 595\n"
                             "wait 3\nshot " + again + "\nkey escape\n";
  setinputscript(paced(script).c_str());
  viewvcrs(A, 4, 2, game);
  setinputscript("");
  // The list's title, as the player reads it when Escape closed it.
  EXPECT_EQ(std::string(gui.title), std::string("the battles of ") + nations[A].name);
  for (const std::string& s : {list, again}) {
    const Shot pic = readshot(s);
    ASSERT_GT(pic.width, 0) << s;
    // The two battles' lines in light text in the middle of the screen.
    EXPECT_GT(pixelslike(pic, {200, 220, 400, 160}, 230, 230, 230, 30), 100) << s;
  }
  EXPECT_EQ(land[4].owner, A);
  for (const std::string& s : {list, again}) dropshot(s);
}

TEST_F(Watching, AMissingBattleMapGivesAFlatFieldNamedInTheLog) {
  strlcopy(datapath, VEY3_DATA_DIR, PATHLEN);
  strlcopy(provgeo[4].batmap, "nosuchfield.v3m", sizeof provgeo[4].batmap);
  debuglevel = 1;
  testing::internal::CaptureStdout();
  battleviewbegin(4);
  const std::string log = testing::internal::GetCapturedStdout();
  debuglevel = 0;
  EXPECT_NE(log.find("nosuchfield.v3m"), std::string::npos);
  EXPECT_GE(battlemap.width, MINBMSIDE);
  EXPECT_GE(battlemap.depth, MINBMSIDE);
  bool flat = true;
  for (int32_t i = 0; i < battlemap.width * battlemap.depth; i++) flat = flat && battlemap.height[size_t(i)] == 0;
  EXPECT_TRUE(flat);
  // Figures stand on it: the middle square lies inside the map.
  float x = 0, z = 0;
  fieldsquarepoint(FIELDW / 2, FIELDH / 2, &x, &z);
  EXPECT_GT(x, 0);
  EXPECT_LT(x * 100, float((battlemap.width - 1) * battlemap.cellsize));
  EXPECT_LT(z * 100, float((battlemap.depth - 1) * battlemap.cellsize));
  // A name that leaves the battle map folder is refused the same way.
  strlcopy(provgeo[4].batmap, "../plain0.v3m", sizeof provgeo[4].batmap);
  testing::internal::CaptureStdout();
  debuglevel = 1;
  battleviewbegin(4);
  debuglevel = 0;
  EXPECT_NE(testing::internal::GetCapturedStdout().find("refused"), std::string::npos);
  battleviewend();
}
