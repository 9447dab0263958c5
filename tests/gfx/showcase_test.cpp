// A window of every common control over the menu backdrop, read back: the
// README's picture of the toolkit comes from this test
// (VEY3_KEEPSHOTS=1 keeps $TMPDIR/vey3shots_*/showcase.ppm).
#include <gtest/gtest.h>

#include "xwindow.h"

namespace {
int32_t antialias = 1, passable = 0;

void showcase() {
  guibegin();
  guititle("Muster of the Northern Host");
  guicloseid(99);
  guimaxwidth(440);
  guiminwidth(440);
  guimaxheight(400);
  guitextscale(0.85f);
  guibutton(0, "Choose the banners that march at first light.");
  guispace(3);
  guialign(GUIALIGN_LEFT);
  guitoggle(1, &antialias, "Sound the war horns");
  guitoggle(2, &passable, "March through the mountains");
  guiradiof(3, 1, "Attack at dawn");
  guiradiof(4, 0, "Hold the river fords");
  guiprogressbar(0, 300, 0.65f, 0.85f, 0.6f, 0.25f, 1);
  guiinfo("Supplies for the march");
  guispace(3);
  guisetnl(0);
  guibutton(0, "Banner");
  guiindent(300);
  guibutton(0, "Soldiers");
  guisetnl(1);
  guiseparator();
  guiscrollstart();
  static const char* const banners[] = {"Ravens of Holmgard", "Iron Wolves", "Sons of the Ash", "Keepers of the Ford",
                                        "Grey Riders", "Wardens of Skarn", "The Tarn Guard", "Hill Spears"};
  for (int32_t i = 0; i < 24; i++) {
    if (i % 2) guibgbox(1, 0.9f, 0.7f, 0.07f);
    else guibgbox(0, 0, 0, 0);
    guisetnl(0);
    guibutton(100 + i, "%s %s", banners[i % 8], i >= 8 ? (i >= 16 ? "III" : "II") : "");
    guiindent(300);
    guibutton(0, "%d", 40 + (i * 37) % 300);
    guisetnl(1);
  }
  guibgbox(0, 0, 0, 0);
  guiscrollstart();
  guialign(GUIALIGN_CENTRE);
  guitextscale(1);
  guispace(4);
  guisetnl(0);
  guibutton(10, "March");
  guibutton(0, "     ");
  guibutton(99, "Cancel");
  guisetnl(1);
  guishow(-1, -1);
}
}  // namespace

TEST(Showcase, TextButtonsTogglesAndAScrollListAreDrawn) {
  RealWindow w(800, 600);
  ASSERT_TRUE(w.ok);
  std::string shot = tempfile("showcase.ppm");
  // The pointer rests on the second banner, lighting it.
  setinputscript(("wait 20\nmove 300 330\nwait 3\nshot " + shot + "\nwait 1\n").c_str());
  for (int32_t i = 0; i < 40; i++) {
    showcase();
    render_frame(false, Scene::menu);
  }
  Shot s = readshot(shot);
  ASSERT_EQ(s.width, 800);
  // Text, the lit toggle marks and the scroll thumb are all there.
  const guiarea& toggle = guiareaget(findguiarea(1));
  EXPECT_GT(pixelslike(s, {toggle.x, toggle.y, toggle.h, toggle.h}, 255, 217, 115, 40), 4);
  const guiarea& thumb = guiareaget(findguiarea(-2000000004));
  EXPECT_GT(pixelslike(s, {thumb.x + 3, thumb.y + 2, thumb.w - 6, thumb.h - 4}, 166, 133, 77, 30) +
                pixelslike(s, {thumb.x + 3, thumb.y + 2, thumb.w - 6, thumb.h - 4}, 217, 179, 77, 30),
            20);
  EXPECT_GT(pixelslike(s, guishownwindow(), 255, 255, 255, 60), 300);
  EXPECT_GT(guiscrollmax(), 0);
  dropshot(shot);
}
