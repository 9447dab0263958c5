// How windows lie over what is beneath them, in a real window: a window
// hides the texts under it whatever the fade effect does, and a box opened
// from a box shows both boxes behind it, darkened once for each step.
#include <gtest/gtest.h>

#include "gfx/gfx.h"
#include "gfx/gui.h"
#include "runtime/settings.h"
#include "xwindow.h"

namespace {
constexpr guirect WINDOW = {250, 200, 300, 200};

// A window over the menu scene, with a large white text beneath it or not;
// the window's inside read back.
Shot windowover(bool textbeneath, const char* name) {
  return shotofsecondframe(name, [&] {
    guibegin();
    if (textbeneath) areatext(0, 150, 280, 60, "WWWWWWWW");
    guisetfade(1);
    guiwindow(0, WINDOW.x, WINDOW.y, WINDOW.w, WINDOW.h);
    guisetfade(0);
  });
}

// Pixels of the rectangle that differ by more than `by` in a channel.
int32_t differing(const Shot& a, const Shot& b, guirect r, int32_t by) {
  if (a.rgb.size() != b.rgb.size() || a.rgb.empty()) return -1;
  const guiview v = guiviewfor(a.width, a.height);
  float x0 = 0, y0 = 0, x1 = 0, y1 = 0;
  guitowindow(v, a.height, r.x, r.y + r.h, &x0, &y0);
  guitowindow(v, a.height, r.x + r.w, r.y, &x1, &y1);
  int32_t n = 0;
  for (int32_t y = int32_t(y0); y < int32_t(y1); y++)
    for (int32_t x = int32_t(x0); x < int32_t(x1); x++)
      for (int32_t c = 0; c < 3; c++)
        if (abs(a.at(x, y)[c] - b.at(x, y)[c]) > by) {
          n++;
          break;
        }
  return n;
}
}  // namespace

TEST(WindowLayers, NoTextShowsThroughAWindowWithOrWithoutTheFade) {
  RealWindow w;
  ASSERT_TRUE(w.ok);
  setbgscene(Scene::parchment);
  const int32_t savedfade = fade;
  for (int32_t f : {0, 1}) {
    fade = f;
    const Shot bare = windowover(false, "layers_bare.ppm"), covered = windowover(true, "layers_text.ppm");
    ASSERT_GT(bare.width, 0);
    // The inside of the window, clear of its rim.
    const guirect inside = {WINDOW.x + 12, WINDOW.y + 12, WINDOW.w - 24, WINDOW.h - 24};
    EXPECT_EQ(differing(bare, covered, inside, 3), 0) << "fade " << f;
    // The text beside the window shows, so it was drawn.
    EXPECT_GT(differing(bare, covered, {150, 270, 100, 60}, 40), 50) << "fade " << f;
  }
  fade = savedfade;
}

// With an opacity chosen ("--opacity", the preferences) what lies beneath a
// window shows through it as far as chosen, the more while it fades in; at
// 100 nothing does.
TEST(WindowLayers, AChosenOpacityLetsTheTextBeneathShowThrough) {
  RealWindow w;
  ASSERT_TRUE(w.ok);
  setbgscene(Scene::parchment);
  const guirect inside = {WINDOW.x + 12, WINDOW.y + 12, WINDOW.w - 24, WINDOW.h - 24};
  auto through = [&](int32_t opacity, int32_t fading) {
    guiopacity = opacity;
    fade = fading;
    const Shot bare = windowover(false, "opacity_bare.ppm"), covered = windowover(true, "opacity_text.ppm");
    return differing(bare, covered, inside, 3);
  };
  const int32_t half = through(50, 0), halffading = through(50, 1);
  EXPECT_GT(half, 200);
  EXPECT_GT(halffading, half);
  EXPECT_EQ(through(100, 0), 0);
  EXPECT_EQ(through(-1, 1), 0);
  // The window's own colour, half over the parchment: lighter than opaque.
  guiopacity = 50;
  fade = 0;
  const Shot seen = windowover(false, "opacity_seen.ppm");
  guiopacity = -1;
  const Shot opaque = windowover(false, "opacity_opaque.ppm");
  EXPECT_GT(differing(seen, opaque, inside, 40), int32_t(inside.w * inside.h / 2));
}

// A screen with a red square in its corner; an outer box, an inner box
// opened from it, then the outer box again after the inner one closed.
TEST(WindowLayers, ABoxShowsTheWindowsThatOpenedItDarkenedOnceForEachStep) {
  RealWindow w;
  ASSERT_TRUE(w.ok);
  setbgscene(Scene::parchment);
  const guirect corner = {20, 20, 80, 80};
  auto screen = [&] {
    guibegin();
    areabox(0, corner.x, corner.y, corner.w, corner.h, 1, 0, 0, 1);
  };
  shotofsecondframe("layers_screen.ppm", screen);
  auto box = [](const char* text) {
    return [text] {
      guiboxbegin();
      guititle("%s", text);
      guibutton(1, "Done");
      guishow(-1, -1);
    };
  };
  const auto reds = [&](const Shot& s, int32_t level) { return pixelslike(s, corner, level, 0, 0, 12); };
  const float full = corner.w * corner.h;
  {
    GuiBox outer;
    const Shot first = shotofsecondframe("layers_outer.ppm", box("Outer"));
    EXPECT_GT(reds(first, 140), full * 0.9f) << "the screen once darkened";
    const guirect outerwindow = guishownwindow();
    {
      GuiBox inner;
      const Shot nested = shotofsecondframe("layers_inner.ppm", box("Inner and longer"));
      EXPECT_GT(reds(nested, 77), full * 0.9f) << "the screen darkened twice";
      // The outer box's title, darkened once, above the inner box.
      const guirect title = {outerwindow.x, outerwindow.y + outerwindow.h - 34, outerwindow.w, 34};
      EXPECT_GT(pixelslike(nested, title, 140, 118, 76, 30), 20);
    }
    const Shot again = shotofsecondframe("layers_again.ppm", box("Outer"));
    EXPECT_GT(reds(again, 140), full * 0.9f) << "the outer box over its own picture again";
  }
}
