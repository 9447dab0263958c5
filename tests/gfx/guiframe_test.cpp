// render_frame in a real window: what clicks, keys, the wheel and window
// changes give back, driven by scripted input.
#include <gtest/gtest.h>

#include "gfx/guidraw.h"
#include "gfx/guistate.h"
#include "gfx/particles.h"
#include "gfx/texture.h"
#include "xwindow.h"

namespace {
int32_t flag = 0;

// One screen of the test: two buttons, a toggle, an info-only box, a list.
void build(int32_t rows = 0, bool keyup = false) {
  guibegin();
  guititle("Frame");
  guimaxheight(300);
  guibutton(10, "Left or right");
  guitoggle(20, &flag, "Flag");
  guiscrollstart();
  for (int32_t i = 0; i < rows; i++) guibutton(100 + i, "Row %d", i);
  guishow(50, 550);
  areabox(0, 600, 100, 100, 100, 0.2f, 0.2f, 0.5f, 1);
  areainfo("Only a text");
  guishortcut(30, 'a');
  guishortcut(31, 'A');
  guishortcut(32, KEY_F1);
  if (keyup) guikeyupshortcut(40, KEY_TAB);
}

std::string at(float x, float y) { return std::to_string(int32_t(x)) + " " + std::to_string(int32_t(600 - y)); }
std::string centre(int32_t id) {
  const guiarea& a = guiareaget(findguiarea(id));
  return at(a.x + a.w / 2, a.y + a.h / 2);
}

// Frames of wait-0 passes until one returns non-zero (or the limit).
int32_t firstresult(int32_t frames) {
  for (int32_t i = 0; i < frames; i++) {
    build();
    int32_t r = render_frame(false, Scene::none);
    if (r) return r;
  }
  return 0;
}
}  // namespace

TEST(GuiFrame, ClicksGiveIdsRightClicksTheirNegativeAndTogglesFlip) {
  RealWindow w;
  ASSERT_TRUE(w.ok);
  build();
  setinputscript(("wait 1\nclick " + centre(10) + "\n").c_str());
  EXPECT_EQ(render_frame(true, Scene::none), 10);
  const guiarea& b = guiareaget(findguiarea(10));
  EXPECT_NEAR(clickx, b.w / 2, 1.5f);   // where the press fell inside the area
  EXPECT_NEAR(clicky, b.h / 2, 1.5f);
  build();
  setinputscript(("wait 1\nclick " + centre(10) + " 3\n").c_str());
  EXPECT_EQ(render_frame(true, Scene::none), -10);
  flag = 0;
  build();
  setinputscript(("wait 1\nclick " + centre(20) + "\n").c_str());
  EXPECT_EQ(render_frame(true, Scene::none), 20);
  EXPECT_EQ(flag, 1);
  // No right click on a toggle, none on an info-only area, none outside.
  setinputscript(("click " + centre(20) + " 3\nclick 650 450\nclick 650 450 3\nclick 790 590\n").c_str());
  EXPECT_EQ(firstresult(8), 0);
  EXPECT_EQ(flag, 1);
  // A double click: two clicks close together.
  build();
  setinputscript(("wait 1\nclick " + centre(10) + "\nwait 1\nclick " + centre(10) + "\n").c_str());
  EXPECT_EQ(render_frame(true, Scene::none), 10);
  build();
  EXPECT_EQ(render_frame(true, Scene::none), 10);
  EXPECT_EQ(isdoubleclick(), 1);
  EXPECT_EQ(guihoverid(), 10);
}

TEST(GuiFrame, ShortcutsMatchTheCharacterAndKeyUpShortcutsTheHeldKey) {
  RealWindow w;
  ASSERT_TRUE(w.ok);
  build();
  setinputscript("wait 1\ntype A\ntype a\nkey f1\n");
  EXPECT_EQ(render_frame(true, Scene::none), 31);
  build();
  EXPECT_EQ(render_frame(true, Scene::none), 30);
  build();
  EXPECT_EQ(render_frame(true, Scene::none), 32);
  // Keys beyond the key table, and keys bound to nothing, give nothing.
  setinputscript("key undo\nkey power\nkey z\n");
  EXPECT_EQ(firstresult(6), 0);
  // Key-up: while Tab is held nothing; once it is let go, the id.
  setinputscript("wait 2\nhold tab\nwait 3\nrelease tab\n");
  int32_t results[8];
  for (int32_t i = 0; i < 8; i++) {
    build(0, true);
    results[i] = render_frame(false, Scene::none);
  }
  EXPECT_EQ(results[0], 40);   // the first frame: not held yet
  EXPECT_EQ(results[3], 0);    // held
  EXPECT_EQ(results[7], 40);   // let go
}

TEST(GuiFrame, TheWheelScrollsAListAndElseCountsForTheMap) {
  RealWindow w;
  ASSERT_TRUE(w.ok);
  build(40);
  ASSERT_GT(guiscrollmax(), 0);
  guirect win = guishownwindow();
  setinputscript(("move " + at(win.x + 40, win.y + 40) + "\nwheel -2\n").c_str());
  EXPECT_EQ(render_frame(true, Scene::none), 0);   // the layout changed: the screen rebuilds
  EXPECT_FLOAT_EQ(guiscroll(), 0);    // the old layout is still shown...
  build(40);
  EXPECT_FLOAT_EQ(guiscroll(), 2 * 3 * GUITEXTHEIGHT);   // ...the new one scrolled
  // Off the window the wheel goes to the map's counter.
  wheelcount = 0;
  setinputscript("move 760 60\nwheel 3\n");
  EXPECT_EQ(firstresult(3), 0);
  EXPECT_EQ(wheelcount, 3);
  // The scroll arrows move a row at a time.
  build(40);
  float before = guiscroll();
  setinputscript(("wait 1\nclick " + centre(GUIID_SCROLLDOWN) + "\n").c_str());
  EXPECT_EQ(render_frame(true, Scene::none), 0);
  build(40);
  EXPECT_FLOAT_EQ(guiscroll(), before + GUITEXTHEIGHT);
}

// A modal window with an exit button: the window is built anew after a
// frame that returns 0 (its list scrolled), and Escape, Return and a click
// on the button each give the exit's id; other keys give nothing. (Each
// script ends in the window's own key "a", so that a key that gives nothing
// fails the test rather than waiting for ever.)
TEST(GuiFrame, AModalWindowBuildsAnewUntilItsExitButtonIsChosen) {
  RealWindow w;
  ASSERT_TRUE(w.ok);
  int32_t builds = 0;
  auto modal = [&] {
    builds++;
    build(40);
    guiscrollstart();
    guiexitbutton(99, "Close");
    guishow(50, 550);
  };
  modal();
  const guiarea& button = guiareaget(findguiarea(99));
  EXPECT_EQ(std::string(guiareatext(button), size_t(button.length)), "Close");
  const guirect win = guishownwindow();
  builds = 0;
  setinputscript(("move " + at(win.x + 40, win.y + 80) + "\nwheel -2\nwait 2\nkey escape\nwait 2\nkey a\n").c_str());
  EXPECT_EQ(guimodal(modal, Scene::parchment), 99);
  EXPECT_EQ(builds, 2);
  EXPECT_GT(guiscroll(), 0);
  EXPECT_EQ(currentscene(), int32_t(Scene::parchment));
  setinputscript("wait 1\nkey space\nkey tab\nkey return\nwait 2\nkey a\n");
  EXPECT_EQ(guimodal(modal), 99);
  modal();
  setinputscript(("wait 1\nclick " + centre(99) + "\nwait 2\nkey a\n").c_str());
  EXPECT_EQ(guimodal(modal), 99);
}

TEST(GuiFrame, ResizedWindowsAndScenesStayHarmless) {
  RealWindow w;
  ASSERT_TRUE(w.ok);
  std::string shot = tempfile("tiny.ppm");
  setinputscript(("resize 1 1\nwait 1\nshot " + shot + "\nclick 0 0\nkey a\n").c_str());
  for (int32_t i = 0; i < 4; i++) {
    build();
    render_frame(false, Scene::none);
  }
  EXPECT_EQ(windowwidth(), 1);
  Shot s = readshot(shot);
  EXPECT_EQ(s.width, 1);
  setinputscript(("resize 640 480\nwait 1\nshot " + shot + "\n").c_str());
  for (int32_t i = 0; i < 4; i++) {
    build();
    render_frame(false, Scene::menu);   // the menu backdrop with its embers
  }
  s = readshot(shot);
  EXPECT_EQ(s.width, 640);
  EXPECT_GT(pixelslike(s, guishownwindow(), 255, 255, 255, 60), 20);   // text still drawn
  EXPECT_EQ(currentscene(), 2);
  // Alt+Enter switches to full screen and back; the textures live on.
  setinputscript(("hold left alt\nkey return\nrelease left alt\nwait 2\nshot " + shot + "\n").c_str());
  for (int32_t i = 0; i < 5; i++) {
    build();
    render_frame(false, Scene::menu);
  }
  EXPECT_EQ(isfullscreen(), 1);
  s = readshot(shot);
  EXPECT_GT(pixelslike(s, guishownwindow(), 255, 255, 255, 60), 20);
  setinputscript("hold left alt\nkey return\nrelease left alt\n");
  for (int32_t i = 0; i < 3; i++) render_frame(false, Scene::menu);
  EXPECT_EQ(isfullscreen(), 0);
  // A change of scene clears the particles.
  animback = 1;
  for (int32_t i = 0; i < 30; i++) render_frame(false, Scene::menu);
  EXPECT_GT(particlecount(), 0);
  render_frame(false, Scene::parchment);
  EXPECT_EQ(particlecount(), 0);
  dropshot(shot);
}

namespace {
// A stand-in map for the map scene: the wheel moves its camera, which is
// all that its picture depends on.
int32_t standcamera = 0;
int32_t standkeyheld = 0;
int32_t standscroll(int32_t elapsed) {
  if (elapsed >= 0) standcamera += wheelcount;
  wheelcount = 0;
  return elapsed >= 0 ? standkeyheld : 0;
}
void standdraw(int32_t) {}
uint64_t standkey() { return uint64_t(standcamera) + 1; }
}  // namespace

// A waiting map frame ends when the camera moves, so that the screen makes
// the areas that stand on the map for the new camera before the next frame
// shows it; a click in the same frame is read against the map as it was
// shown. A screen whose areas move with the clock gets every frame back.
TEST(GuiFrame, MapCameraMovesAndAnimationsEndTheWait) {
  RealWindow w;
  ASSERT_TRUE(w.ok);
  setmaphooks(nullptr, standscroll, standdraw);
  setmapscenekey(standkey);
  standcamera = 0;
  build();
  setinputscript("wait 2\nmove 760 60\nwheel 2\nwait 5\nkey a\n");
  EXPECT_EQ(render_frame(true, Scene::map), 0);
  EXPECT_EQ(standcamera, 2);
  build();
  setinputscript(("wait 1\nwheel 1\nclick " + centre(10) + "\nwait 5\nkey a\n").c_str());
  EXPECT_EQ(render_frame(true, Scene::map), 10);
  EXPECT_EQ(standcamera, 2);   // not yet: the click met the map as shown
  build();
  EXPECT_EQ(render_frame(true, Scene::map), 0);
  EXPECT_EQ(standcamera, 3);
  // Without a camera move the frames go on until an id comes.
  build();
  setinputscript("wait 3\nkey a\n");
  EXPECT_EQ(render_frame(true, Scene::map), 30);
  // A camera key held ends the wait though its frame moved nothing (a frame
  // within the clock's tick of the one before): the next frame moves on.
  build();
  standkeyheld = 1;
  setinputscript("wait 3\nkey a\n");
  EXPECT_EQ(render_frame(true, Scene::map), 0);
  EXPECT_EQ(standcamera, 3);
  standkeyheld = 0;
  setinputscript("key a\n");
  EXPECT_EQ(render_frame(true, Scene::map), 30);
  build();
  guianimate();
  setinputscript("wait 3\nkey a\n");
  EXPECT_EQ(render_frame(true, Scene::none), 0);
  setinputscript("");
  setmaphooks(nullptr, nullptr, nullptr);
  setmapscenekey(nullptr);
}

// A key held down when its window closes gets no release there: in the
// next window it neither counts as held nor repeats.
TEST(GuiFrame, AKeyHeldWhenTheWindowClosesIsLetGo) {
  {
    RealWindow w;
    ASSERT_TRUE(w.ok);
    setinputscript("hold escape\n");
    for (int32_t i = 0; i < 3; i++) render_frame(false, Scene::none);
    ASSERT_TRUE(keydown[KEY_ESCAPE]);
  }
  RealWindow w;
  ASSERT_TRUE(w.ok);
  EXPECT_FALSE(keydown[KEY_ESCAPE]);
  const uint32_t until = timems() + 800;
  int32_t fired = 0;
  while (int32_t(timems() - until) < 0) {
    build();
    guishortcut(50, KEY_ESCAPE);
    fired += render_frame(false, Scene::none) == 50;
  }
  EXPECT_EQ(fired, 0);
}

TEST(GuiFrame, NoWindowMeansNoWaiting) {
  guibegin();
  EXPECT_EQ(render_frame(false, Scene::none), 0);
  EXPECT_DEATH(render_frame(true, Scene::none), "render_frame: no window");
}

TEST(GuiFrame, AMissingOrDamagedPictureIsNamedOnceAndMakesNoTexture) {
  RealWindow w;
  ASSERT_TRUE(w.ok);
  const std::string damaged = tempfile("damaged.tga"), missing = tempfile("missing.tga");
  FILE* f = fopen(damaged.c_str(), "wb");
  ASSERT_NE(f, nullptr);
  fputs("not a picture at all", f);
  fclose(f);
  const int32_t before = filetexturecount();
  fflush(stdout);
  testing::internal::CaptureStdout();
  for (int32_t frame = 0; frame < 3; frame++) {
    EXPECT_EQ(loadtexture(damaged.c_str(), 1, 100, 0), 0u);
    EXPECT_EQ(loadtexture(missing.c_str(), 0, 100, 1), 0u);
  }
  fflush(stdout);
  const std::string said = testing::internal::GetCapturedStdout();
  for (const std::string& path : {damaged, missing}) {
    const std::string line = "Texture " + path + ": missing or damaged\n";
    const size_t first = said.find(line);
    EXPECT_NE(first, std::string::npos) << said;
    EXPECT_EQ(said.find(line, first + 1), std::string::npos) << "named more than once";
  }
  EXPECT_EQ(filetexturecount(), before);
  remove(damaged.c_str());
}

// A blinking sprite asks for its next frame exactly when it shows or hides
// next, over the wrap of the clock's low bits too: never earlier (a frame
// that shows the same picture), never later (a blink missed).
TEST(GuiFrame, ABlinkAsksForTheFrameOfItsNextChangeAndNoEarlierOne) {
  auto hidden = [](int32_t period, uint32_t t) { return (t & 1023u) % uint32_t(period) >= uint32_t(period) / 2; };
  for (const int32_t period : {1000, 400, 333, 2}) {
    int32_t wrong = 0;
    for (uint32_t now = 0; now < 3072 && wrong < 5; now++) {
      const uint32_t next = blinkchangein(period, now);
      uint32_t same = 1;
      while (same < next && hidden(period, now + same) == hidden(period, now)) same++;
      if (next == 0 || same != next || hidden(period, now + next) == hidden(period, now)) {
        ADD_FAILURE() << "period " << period << " at " << now << ": asked in " << next << " ms, first change in "
                      << same;
        wrong++;
      }
    }
  }
}
