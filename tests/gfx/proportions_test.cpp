// What a player sees of the toolkit's own drawing, read back from a real
// window: the screen in its proportions at any window shape, popups beside
// what they explain, window backgrounds without a band, a still menu
// backdrop when backgrounds are not animated, small text without marks
// taken from the neighbouring glyphs of the font's picture.
#include <gtest/gtest.h>

#include <algorithm>

#include "gfx/particles.h"
#include "support/xevents.h"
#include "xwindow.h"

namespace {
// The window-pixel box of the pixels close to a colour inside a GUI
// rectangle: {x0, y0, x1, y1}, x1 < x0 when there are none.
std::array<int32_t, 4> colourbox(const Shot& s, guirect r, int32_t red, int32_t green, int32_t blue, int32_t tol) {
  const guiview v = guiviewfor(s.width, s.height);
  float px0 = 0, py0 = 0, px1 = 0, py1 = 0;
  guitowindow(v, s.height, r.x, r.y + r.h, &px0, &py0);
  guitowindow(v, s.height, r.x + r.w, r.y, &px1, &py1);
  std::array<int32_t, 4> box = {s.width, s.height, -1, -1};
  for (int32_t y = std::max(0, int32_t(py0)); y < std::min(s.height, int32_t(py1)); y++)
    for (int32_t x = std::max(0, int32_t(px0)); x < std::min(s.width, int32_t(px1)); x++) {
      const uint8_t* p = s.at(x, y);
      if (abs(p[0] - red) > tol || abs(p[1] - green) > tol || abs(p[2] - blue) > tol) continue;
      box = {std::min(box[0], x), std::min(box[1], y), std::max(box[2], x), std::max(box[3], y)};
    }
  return box;
}

// A menu of large buttons, the second with a long info text.
void menu() {
  guibegin();
  guiminwidth(320);
  static const char* const names[] = {"New Game", "Play or Host a Game", "Game Tools", "Preferences", "Back"};
  for (int32_t i = 0; i < 5; i++) {
    guibuttonlarge(1 + i, "%s", names[i]);
    if (i == 1) guiinfo("Play the turns of a saved game, or host its next turn, and a few more words");
    guispace(2);
  }
  guishow(-1, 360);
}

// Pixels of a GUI rectangle with any channel above 25 (on a black ground).
int32_t litpixels(const Shot& s, guirect r) {
  std::array<int32_t, 4> box = colourbox(s, r, 0, 0, 0, 255);   // every pixel of it
  int32_t n = 0;
  for (int32_t y = box[1]; y <= box[3]; y++)
    for (int32_t x = box[0]; x <= box[2]; x++) {
      const uint8_t* p = s.at(x, y);
      n += std::max({p[0], p[1], p[2]}) > 25 ? 1 : 0;
    }
  return n;
}

std::string pixel(float x, float y) {
  float px = 0, py = 0;
  guitowindow(guiviewport(), windowheight(), x, y, &px, &py);
  return std::to_string(int32_t(px)) + " " + std::to_string(int32_t(py));
}
}  // namespace

TEST(Proportions, TheScreenIsScaledAlikeOnBothAxesAndCentred) {
  guiview v = guiviewfor(1280, 800);   // 16:10: bands beside
  EXPECT_FLOAT_EQ(v.scale, 800.0f / 600.0f);
  EXPECT_FLOAT_EQ(v.offx, 106);
  EXPECT_FLOAT_EQ(v.offy, 0);
  v = guiviewfor(800, 1000);   // tall: bands above and below
  EXPECT_FLOAT_EQ(v.scale, 1);
  EXPECT_FLOAT_EQ(v.offy, 200);
  float x = 0, y = 0, px = 0, py = 0;
  v = guiviewfor(1920, 1080);
  guitowindow(v, 1080, 400, 300, &px, &py);
  EXPECT_FLOAT_EQ(px, 960);   // the middle stays the middle
  EXPECT_FLOAT_EQ(py, 540);
  windowtogui(v, 1080, 0, 1080, &x, &y);   // the lower left corner lies left of the screen
  EXPECT_LT(x, -100);
  EXPECT_FLOAT_EQ(y, 0);
  EXPECT_GT(guiviewfor(1, 1).scale, 0);   // a window of one pixel is harmless
}

TEST(Proportions, RadioMarksStayRoundAndClicksHitInAWideWindow) {
  RealWindow w(1280, 800);
  ASSERT_TRUE(w.ok);
  auto build = [] {
    guibegin();
    guitextscale(2);
    guiradiof(7, 1, "Attack at dawn");
    guiradiof(8, 0, "Hold the fords");
    guishow(-1, -1);
  };
  std::string shot = tempfile("round.ppm");
  build();
  setinputscript(("wait 2\nshot " + shot + "\nwait 1\nclickid 8\n").c_str());
  int32_t got = 0;
  for (int32_t i = 0; i < 20 && !got; i++) {
    build();
    got = render_frame(false, Scene::none);
  }
  EXPECT_EQ(got, 8);
  Shot s = readshot(shot);
  ASSERT_EQ(s.width, 1280);
  const guiarea& a = guiareaget(findguiarea(7));
  std::array<int32_t, 4> mark = colourbox(s, {a.x, a.y, a.h, a.h}, 255, 217, 115, 40);
  const int32_t markw = mark[2] - mark[0] + 1, markh = mark[3] - mark[1] + 1;
  ASSERT_GT(markh, 10);
  EXPECT_NEAR(double(markw) / double(markh), 1.0, 0.1);
  dropshot(shot);
}

TEST(Proportions, APopupLeavesTheOtherButtonsReadable) {
  RealWindow w;
  ASSERT_TRUE(w.ok);
  menu();
  const guiarea& hovered = guiareaget(findguiarea(2));
  const std::string at = pixel(hovered.x + hovered.w * 0.3f, hovered.y + hovered.h * 0.5f);
  // In plain data: the place chosen covers none of the other buttons.
  guirect place = guipopupplace(300, 40, hovered.x + hovered.w * 0.3f, hovered.y + 10, findguiarea(2),
                                {0, 0, 800, 600});
  for (int32_t id : {1, 2, 3, 4, 5}) {
    const guiarea& b = guiareaget(findguiarea(id));
    EXPECT_TRUE(place.x >= b.x + b.w || place.x + place.w <= b.x || place.y >= b.y + b.h || place.y + place.h <= b.y)
        << "covers button " << id;
  }
  // In the window: the buttons below read the same with the popup shown.
  std::string before = tempfile("nopopup.ppm"), after = tempfile("popup.ppm");
  setinputscript(("move 5 5\nwait 2\nshot " + before + "\nmove " + at + "\nwait 3\nshot " + after + "\n").c_str());
  for (int32_t i = 0; i < 10; i++) {
    menu();
    render_frame(false, Scene::none);
  }
  Shot s0 = readshot(before), s1 = readshot(after);
  ASSERT_EQ(s1.width, 800);
  EXPECT_EQ(guihoverid(), 2);
  for (int32_t id : {1, 3}) {
    const guiarea& b = guiareaget(findguiarea(id));
    guirect r = {b.x, b.y, b.w, b.h};
    int32_t plain = pixelslike(s0, r, 255, 255, 255, 40);
    EXPECT_GT(plain, 50) << "button " << id;
    EXPECT_GE(pixelslike(s1, r, 255, 255, 255, 40), plain * 95 / 100) << "button " << id;
  }
  dropshot(before);
  dropshot(after);
}

TEST(Proportions, WindowBackgroundsHaveNoBandAndTheStillMenuBackdropHasNoEmbers) {
  RealWindow w;
  ASSERT_TRUE(w.ok);
  auto build = [] {
    guibegin();
    guiminwidth(400);
    guibutton(0, "Top");
    guispace(120);
    guibutton(0, "Bottom");
    guishow(-1, -1);
  };
  std::string shot = tempfile("band.ppm"), later = tempfile("still.ppm");
  animback = 0;
  setinputscript(("wait 5\nshot " + shot + "\nwait 20\nshot " + later + "\n").c_str());
  for (int32_t i = 0; i < 30; i++) {
    build();
    render_frame(false, Scene::menu);
  }
  Shot s = readshot(shot), t = readshot(later);
  ASSERT_EQ(s.width, 800);
  // Down the middle of the window, between the two texts, the background
  // changes by at most a step of rounding from row to row.
  const guirect win = guishownwindow();
  const int32_t x = int32_t(win.x + win.w * 0.75f);
  int32_t worst = 0;
  for (int32_t y = int32_t(600 - win.y - win.h * 0.8f); y < int32_t(600 - win.y - win.h * 0.2f); y++)
    for (int32_t c = 0; c < 3; c++) worst = std::max(worst, abs(s.at(x, y)[c] - s.at(x, y + 1)[c]));
  EXPECT_LE(worst, 2);
  // Without animated backgrounds the menu backdrop shows no embers and does not move.
  EXPECT_EQ(particlecount(), 0);
  ASSERT_EQ(t.width, 800);
  EXPECT_TRUE(s.rgb == t.rgb);
  dropshot(shot);
  dropshot(later);
}

TEST(Proportions, SmallTextTakesNoMarksFromNeighbouringGlyphs) {
  RealWindow w;
  ASSERT_TRUE(w.ok);
  // Lower-case letters whose neighbours in the font picture reach into the
  // next cell (descenders of g, j, p, q, y above w, z, and the letters below).
  const char* const text = "Press space to hide/show this window";
  const float scales[] = {11.3f, 12.6f, 13.2f, 14.7f, 15.4f, 16.5f, 17.8f, 18.7f};
  auto build = [&] {
    guibegin();
    areabox(0, 0, 0, 800, 600, 0, 0, 0, 1);
    // Texts fall between pixels as laid-out windows put them.
    for (int32_t i = 0; i < 8; i++)
      areatextcol(0, 20.4f, 560.35f - 40 * float(i), scales[i], 1, 1, 1, 1, "%s", text);
  };
  std::string shot = tempfile("small.ppm");
  setinputscript(("wait 2\nshot " + shot + "\nwait 1\n").c_str());
  for (int32_t i = 0; i < 6; i++) {
    build();
    render_frame(false, Scene::none);
  }
  Shot s = readshot(shot);
  ASSERT_EQ(s.width, 800);
  for (int32_t i = 0; i < 8; i++) {
    const float y = 560.35f - 40 * float(i), scale = scales[i];
    // Above the tallest letters (at about 0.85 of the line) nothing is lit;
    // the letters themselves are there.
    const guirect above = {21, y + scale * 0.9f, textwidth(text) * scale - 2, scale * 0.1f + 3};
    const guirect letters = {21, y + scale * 0.25f, textwidth(text) * scale - 2, scale * 0.35f};
    EXPECT_EQ(litpixels(s, above), 0) << "scale " << scale;
    EXPECT_GT(litpixels(s, letters), 20) << "scale " << scale;
  }
  dropshot(shot);
}

TEST(Proportions, ScreensNeverShowThePerformancePattern) {
  RealWindow w;
  ASSERT_TRUE(w.ok);
  auto frames = [](const std::string& shot) {
    setinputscript(("wait 2\nshot " + shot + "\nwait 1\n").c_str());
    for (int32_t i = 0; i < 5; i++) {
      guibegin();
      guibutton(0, "Making a world");
      guishow(-1, -1);
      render_frame(false, Scene::none);
    }
  };
  const std::string menu = tempfile("menuscene.ppm"), busy = tempfile("busyscene.ppm");
  setbgscene(Scene::menu);
  frames(menu);
  // The scene that world creation chooses while it works: the screen keeps the menu's.
  setbgscene(Scene::perftest);
  frames(busy);
  EXPECT_EQ(currentscene(), int32_t(Scene::perftest));
  Shot a = readshot(menu), b = readshot(busy);
  ASSERT_EQ(a.width, 800);
  EXPECT_TRUE(a.rgb == b.rgb);
  dropshot(menu);
  dropshot(busy);
}

namespace {
// A list like the forge's: rows of fourteen picture buttons in a window
// almost as wide as the screen, at its top or at its bottom, each button
// with an info text.
constexpr int32_t ROWS = 3, COLUMNS = 14;
void iconrows(bool top) {
  guibegin();
  guiminwidth(740);
  guialign(GUIALIGN_LEFT);
  guitextscale(1.5f);
  for (int32_t i = 0; i < ROWS * COLUMNS; i++) {
    if (i % COLUMNS == 0) {
      if (i) guisetnl(1);
      guisetnl(0);
    }
    guiindent(16 + 50 * float(i % COLUMNS));
    guibutton(100 + i, "##");
    guiinfo("Ember Blade of the Long Name  (rclick) info");
  }
  guisetnl(1);
  guishow(-1, top ? 600 : 140);
}

// A script line that puts the real pointer at a pixel of the window.
std::string pointerat(int32_t x, int32_t y) {
  return "run xdotool mousemove --window $(xdotool search --name '^vey3 test$' | head -1) " + std::to_string(x) + " " +
         std::to_string(y) + " && sleep 0.3\n";
}

// The script line that puts it over the middle of the area.
std::string pointerto(int32_t id) {
  int32_t x = 0, y = 0;
  return areapixel(id, &x, &y) ? pointerat(x, y) : "";
}
}  // namespace

// The info text of a button at the edge of a full list lies wholly inside
// the window, clear of each of its edges, where it was pushed against the
// edge and read as running off it; a long hint of the screen keeps inside
// as well, where it ran off both sides.
TEST(Proportions, APopupStaysClearOfEveryEdgeOfTheWindow) {
  RealWindow w;
  ASSERT_TRUE(w.ok);
  // The first and last button of the first row, on a list at the top; the
  // first and last of the last row, on a list at the bottom.
  const struct {
    bool top;
    int32_t button;
  } hovers[] = {{true, 100}, {true, 100 + COLUMNS - 1}, {false, 100 + (ROWS - 1) * COLUMNS},
                {false, 100 + ROWS * COLUMNS - 1}};
  const std::string away = tempfile("nopopup_edge.ppm"), over = tempfile("popup_edge.ppm");
  for (const auto& h : hovers) {
    iconrows(h.top);
    render_frame(false, Scene::none);
    setinputscript(
        (pointerat(1, 1) + "wait 3\nshot " + away + "\nwait 2\n" + pointerto(h.button) + "wait 3\nshot " + over + "\nwait 2\n")
            .c_str());
    for (int32_t i = 0; i < 16; i++) {
      iconrows(h.top);
      render_frame(false, Scene::none);
    }
    ASSERT_EQ(guihoverid(), h.button);
    // What the pointer changed: the popup and the lit button.
    const Shot a = readshot(away), b = readshot(over);
    ASSERT_EQ(a.width, 800);
    ASSERT_EQ(b.width, 800);
    int32_t x0 = a.width, y0 = a.height, x1 = -1, y1 = -1;
    for (int32_t y = 0; y < a.height; y++)
      for (int32_t x = 0; x < a.width; x++)
        if (memcmp(a.at(x, y), b.at(x, y), 3) != 0) {
          x0 = std::min(x0, x), y0 = std::min(y0, y);
          x1 = std::max(x1, x), y1 = std::max(y1, y);
        }
    ASSERT_GT(x1 - x0, 200) << "no popup for " << h.button;
    EXPECT_GE(x0, 3) << h.button;
    EXPECT_GE(y0, 3) << h.button;
    EXPECT_LE(x1, a.width - 4) << h.button;
    EXPECT_LE(y1, a.height - 4) << h.button;
  }
  // The screen's own hint, shown over no area, keeps off the side edges
  // however long it is.
  const std::string hint = tempfile("hint_edge.ppm");
  setinputscript((pointerat(1, 1) + "wait 3\nshot " + hint + "\nwait 2\n").c_str());
  for (int32_t i = 0; i < 8; i++) {
    guibegin();
    guisethint("Select units, then click a commander or a green box to put them there; the keys s, e, w and a select "
               "the units of a kind, Return none of them and Tab the researchers among them");
    render_frame(false, Scene::none);
  }
  const Shot s = readshot(hint);
  ASSERT_EQ(s.width, 800);
  // The columns of its letters in the band at the window's foot.
  int32_t first = s.width, last = -1;
  for (int32_t y = s.height - 60; y < s.height; y++)
    for (int32_t x = 0; x < s.width; x++)
      if (s.at(x, y)[0] > 100) first = std::min(first, x), last = std::max(last, x);
  ASSERT_GT(last - first, 200) << "no hint";
  EXPECT_GE(first, 3);
  EXPECT_LE(last, s.width - 4);
  dropshot(away);
  dropshot(over);
  dropshot(hint);
}
