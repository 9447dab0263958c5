// The frame loop under real X input (xdotool): a key press acts once
// however long it is held, a held key repeats only where the window asks, no
// click is lost behind a flood of pointer moves in a slow frame, and a click
// keeps the modifier keys held when it was made. Then the frames themselves:
// a still window is drawn once and waits, what moves goes on being drawn.
// A key held is let go when its release comes, when the keyboard goes to
// another window, and when the X server has it up though the release went to
// a program that grabbed the keyboard.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdio>
#include <cstring>
#include <thread>
#include <vector>

#include "support/xinput.h"
#include "support/xtestkeys.h"
#include "xwindow.h"

namespace {
constexpr int32_t BUTTON = 10, F5KEY = 5, PLUS = 6, FIELD = 7, STOP = 8;
char typed[40] = "";

void build(bool field = false) {
  guibegin();
  guititle("Input");
  guitextscale(2);
  guibutton(BUTTON, "    Press here    ");
  guitextscale(1);
  if (field) guiinputfield(FIELD, typed, int32_t(strlen(typed)), 20);
  guishow(-1, -1);
  guishortcut(F5KEY, KEY_F1 + 4);
  guirepeatshortcut(PLUS, KEY_KP_PLUS);
  guishortcut(STOP, 's');
}

struct Result {
  int32_t id, mods;
};

// Frames of wait-0 passes until `done` exists (and a few after it), each
// id with its modifier keys.
std::vector<Result> framesuntil(const std::string& done, bool field = false) {
  std::vector<Result> out;
  int32_t after = 0;
  for (int32_t i = 0; i < 5000 && after < 10; i++) {
    build(field);
    const int32_t id = render_frame(false, Scene::none);
    if (id) out.push_back({id, guieventmods()});
    if (id == FIELD && guikeychar && strlen(typed) < sizeof typed - 1) strncat(typed, reinterpret_cast<char*>(&guikeychar), 1);
    if (fileexists(done)) after++;
  }
  remove(done.c_str());
  return out;
}

int32_t count(const std::vector<Result>& r, int32_t id) {
  int32_t n = 0;
  for (const Result& x : r) n += x.id == id;
  return n;
}
}  // namespace

TEST(RealInput, APressActsOnceAndOnlyTheKeysMeantToRepeatRepeat) {
  RealWindow w;
  ASSERT_TRUE(w.ok);
  const std::string done = tempfile("keysdone");
  // F5 held for a second: one press. SDL's own repeat gave a dozen, each
  // closing and opening a view again.
  setinputscript(xdobackground("keydown F5 sleep 1.2 keyup F5", done).c_str());
  EXPECT_EQ(count(framesuntil(done), F5KEY), 1);
  // Ten quick taps: ten presses. SDL's repeat went on repeating a key whose
  // release came in the same frame as its press, as if it were still held.
  setinputscript(xdobackground("key --delay 80 F5 F5 F5 F5 F5 F5 F5 F5 F5 F5 sleep 1", done).c_str());
  EXPECT_EQ(count(framesuntil(done), F5KEY), 10);
  // A key meant to step a value goes on while held; so does a key typed
  // into a field.
  setinputscript(xdobackground("keydown KP_Add sleep 1.3 keyup KP_Add", done).c_str());
  const int32_t steps = count(framesuntil(done), PLUS);
  EXPECT_GE(steps, 5);
  EXPECT_LE(steps, 60);
  typed[0] = 0;
  setinputscript(xdobackground("keydown x sleep 1.3 keyup x", done).c_str());
  framesuntil(done, true);
  EXPECT_GE(strlen(typed), 5u);
  EXPECT_EQ(strspn(typed, "x"), strlen(typed));
}

// A list under Page Down from the X server: a tap whose press and release
// come between two frames scrolls one page; the key held goes on scrolling.
TEST(RealInput, APageKeyTappedScrollsAListOnceAndHeldGoesOn) {
  RealWindow w;
  ASSERT_TRUE(w.ok);
  auto build = [] {
    guibegin();
    guimaxheight(300);
    guiscrollstart();
    for (int32_t i = 0; i < 200; i++) guibutton(100 + i, "Row %d", i);
    guishow(-1, -1);
  };
  // Frames, at least n and until the file exists, and the list laid out anew.
  auto frames = [&](int32_t n, const std::string& until) {
    for (int32_t k = 0; k < n || (!until.empty() && k < 5000 && !fileexists(until)); k++) {
      build();
      render_frame(false, Scene::none);
    }
    build();
  };
  build();
  const float page = 0.8f * guishownwindow().h;
  setinputscript(xdoline("key Next").c_str());
  frames(6, "");
  EXPECT_FLOAT_EQ(guiscroll(), page);
  const std::string done = tempfile("pagesdone");
  setinputscript(xdobackground("keydown Next sleep 1.2 keyup Next", done).c_str());
  frames(1, done);
  EXPECT_GT(guiscroll(), 5 * page);
  remove(done.c_str());
}

TEST(RealInput, AClickBehindAFloodOfPointerMovesIsReadWithTheModifiersHeldAtIt) {
  RealWindow w;
  ASSERT_TRUE(w.ok);
  // Four hundred small moves over the button, then a Shift-click, a plain
  // click and a Ctrl-right-click, all waiting for one frame: SDL's queue
  // keeps 128 events, and its layer over SDL 2 puts a key press behind the
  // clicks that follow it.
  const std::string moves = tempfile("moves"), done = tempfile("floodread");
  FILE* f = fopen(moves.c_str(), "w");
  ASSERT_TRUE(f);
  for (int32_t i = 0; i < 200; i++) fprintf(f, "mousemove_relative 2 0\nmousemove_relative -- -2 0\n");
  fprintf(f, "keydown shift\nclick 1\nkeyup shift\nclick 1\nkeydown ctrl\nclick 3\nkeyup ctrl\n");
  fclose(f);
  build();
  setinputscript(("point " + std::to_string(BUTTON) + "\nwait 2\n" + xdoline(moves) + "run touch " + done + "\n")
                     .c_str());
  const std::vector<Result> got = framesuntil(done);
  remove(moves.c_str());
  ASSERT_EQ(got.size(), 3u);
  EXPECT_EQ(got[0].id, BUTTON);
  EXPECT_EQ(got[0].mods, GUIMOD_SHIFT);
  EXPECT_EQ(got[1].id, BUTTON);
  EXPECT_EQ(got[1].mods, 0);
  EXPECT_EQ(got[2].id, -BUTTON);
  EXPECT_EQ(got[2].mods, GUIMOD_CTRL);
}

TEST(RealInput, AStillWindowIsDrawnOnceAndWhatMovesGoesOnAtMostSixtyTimesASecond) {
  RealWindow w;
  ASSERT_TRUE(w.ok);
  const std::string done = tempfile("idledone");
  // Frames drawn while render_frame waits 1.5 s for the key "s".
  auto framesinwait = [&](void (*more)(), const char* wait = "1.5") {
    setinputscript("");
    build();
    more();
    system(("(sleep " + std::string(wait) + "; xdotool key s; touch " + done + ") >/dev/null 2>&1 &").c_str());
    const uint32_t before = framesdrawn(), start = timems();
    EXPECT_EQ(render_frame(true, Scene::none), STOP);
    const uint32_t took = timems() - start;
    while (!fileexists(done)) sleepms(10);
    remove(done.c_str());
    EXPECT_GE(took, 1000u);
    return std::pair<int32_t, uint32_t>(int32_t(framesdrawn() - before), took);
  };
  // Nothing moves: one frame, then sleep until the key.
  EXPECT_LE(framesinwait([] {}).first, 3);
  // A window that moves with the clock: frames go on, no more than 60 a
  // second of the wait (which a busy machine may make longer) even where the
  // frame-rate setting asks for more.
  framedelay = 5;
  const auto [moving, tookmoving] = framesinwait([] { guianimating(); });
  framedelay = 20;
  EXPECT_GE(moving, 8);
  EXPECT_LE(moving, int32_t(tookmoving * 60 / 1000) + 10);
  // A blinking sprite: a frame at each of its changes, five a second, not
  // more; over four seconds, as a busy machine that wakes late for a change
  // may show two changes in one frame.
  const auto [blinking, tookblinking] =
      framesinwait([] { areaspriteblink(0, 27, 113, 1, 100, 100, 40, 40, 400); }, "4");
  EXPECT_GE(blinking, 8);
  EXPECT_LE(blinking, int32_t(tookblinking * 5 / 1000) + 10);
}

// Right held by a client of the X server's test extension, and let go in
// three ways: its release reaching the window; the keyboard's focus given to
// another window, to which the release then goes; the keyboard grabbed by
// that client, which then gets the release, while the focus follows the
// pointer (SDL takes the grab for a hotkey's and keeps the key down, and
// without the focus of its own it never learns of the release). Each time
// the window lets go of the key while the other client still holds the focus
// or the grab, and Right pressed again afterwards reads as a press.
TEST(RealInput, AKeyHeldIsLetGoOnItsReleaseAFocusLossOrWhenTheServerHasItUp) {
  RealWindow w;
  ASSERT_TRUE(w.ok);
  enum class Away { none, focus, grab };
  for (const Away away : {Away::none, Away::focus, Away::grab}) {
    const int32_t how = int32_t(away);
    // 1 seen held, 2 let go by the client, 3 let go in the window, 4 the
    // focus or grab given back, 5 pressed again.
    std::atomic<int32_t> step{0};
    std::atomic<bool> pressed{false}, grabbed{false};
    std::thread client([&] {
      XTestKeys keys;
      if (keys.ok()) {
        if (away == Away::grab) keys.focusbypointer();
        keys.press("Right");
        pressed = true;
        for (int32_t k = 0; k < 1000 && step < 1; k++) sleepms(10);
        if (away == Away::focus) keys.focusaway();
        if (away == Away::grab) grabbed = keys.grabkeyboard();
        keys.release("Right");
        step = 2;
        // Long enough for the window to see it, however busy the machine.
        for (int32_t k = 0; k < 1000 && step < 3; k++) sleepms(10);
        if (away == Away::grab) keys.ungrabkeyboard();
        if (away == Away::focus) keys.focusback();
        step = 4;
        keys.tap("Right");
      }
      step = 5;
    });
    bool sawheld = false;
    uint32_t letgo = 0, before = 0;
    for (int32_t i = 0; i < 1500 && (step < 5 || keytimes[KEY_RIGHT].pressed == before); i++) {
      build();
      render_frame(false, Scene::none);
      if (pressed && keydown[KEY_RIGHT] && !sawheld) {
        sawheld = true;
        before = keytimes[KEY_RIGHT].pressed;
        step = 1;
      }
      if (step == 2 && sawheld && !keydown[KEY_RIGHT]) {
        letgo = keytimes[KEY_RIGHT].released;
        step = 3;
      }
    }
    client.join();
    EXPECT_TRUE(sawheld) << how;
    EXPECT_GT(letgo, 0u) << how;
    EXPECT_TRUE(grabbed || away != Away::grab);
    EXPECT_FALSE(keydown[KEY_RIGHT]) << how;
    EXPECT_NE(keytimes[KEY_RIGHT].pressed, before) << how;
  }
}
