// Boxes opened from a window of the turn screen lie over a darkened picture
// of that window, in a real window by scripted input: the battle orders of
// the army panel and a figure of the unit box; a box opened under the
// pointer shows from its first frame only what the pointer is over.
// VEY3_KEEPSHOTS=1 keeps the pictures ($TMPDIR/vey3shots_*/boxlayers_*).
#include <gtest/gtest.h>

#include <string>

#include "gfx/dialogwindow.h"
#include "gfx/xwindow.h"
#include "screens/armypanel.h"
#include "screens/unitbox.h"
#include "support/pacedscript.h"
#include "support/smallworld.h"
#include "support/xevents.h"
#include "support/xinput.h"

namespace {
constexpr int32_t ME = 3;
// The id of a unit's figure in the army panel: this plus the unit number.
constexpr int32_t FIGURE = 100000;
// The title colour of windows, and the same darkened behind a box.
constexpr int32_t TITLE[3] = {255, 219, 140}, DARKTITLE[3] = {140, 120, 77};
// The colour of the army panel's title row, and the same darkened.
constexpr int32_t ROWTITLE[3] = {255, 217, 102}, DARKROWTITLE[3] = {125, 106, 50};

int32_t titlepixels(const Shot& s, guirect r, const int32_t (&c)[3]) { return pixelslike(s, r, c[0], c[1], c[2], 30); }

Shot runscript(const std::string& script, const char* name, void (*run)()) {
  RealWindow w(800, 600);
  EXPECT_TRUE(w.ok);
  if (!w.ok) return {};
  installwindowdialogs(1);
  const std::string path = tempfile(name);
  std::string s = script;
  s.replace(s.find("@"), 1, path);
  setinputscript(paced(s).c_str());
  run();
  installwindowdialogs(0);
  Shot shot = readshot(path);
  dropshot(path);
  return shot;
}

int32_t captain = -1;
}  // namespace

// The army panel's title row (the province and its garrison, at the top of
// the screen) shows darkened beside the battle orders box, which stands in
// the middle of the screen.
TEST(BoxLayersWindow, BattleOrdersLieOverTheArmyPanel) {
  makesmallworld();
  settype(1, "Ash Warden").sprite = 12;
  captain = mkcom(1, ME, 2);
  strcpy(com[captain].name, "Aldric");
  for (int32_t i = 0; i < 3; i++) mkunit(1, ME, 2);
  land[2].owner = land[2].fortholder = ME;
  const Shot s = runscript("waitfor 9\nclickid " + std::to_string(700000 + captain) + "\nwaitfor 10\nwait 2\nshot @\n"
                           "key escape\nwaitfor 9\nkey escape\n",
                           "boxlayers_orders.ppm", [] { armypanel(ME, 2, -1); });
  ASSERT_EQ(s.width, 800);
  const guirect top = {70, 525, 700, 35};
  EXPECT_GT(titlepixels(s, top, DARKROWTITLE), 20) << "the panel's title row, darkened";
  EXPECT_EQ(titlepixels(s, top, ROWTITLE), 0);
}

// The unit box's title shows darkened above the figure box of its hit points.
TEST(BoxLayersWindow, AFigureBoxLiesOverTheUnitBox) {
  makesmallworld();
  settype(1, "Ash Warden").sprite = 12;
  captain = mkcom(1, ME, 2);
  const Shot s = runscript("waitfor 99\nclickid 10\nwait 3\nshot @\nkey escape\nwaitfor 99\nkey escape\n",
                           "boxlayers_figure.ppm", [] {
                             guibegin();   // no window of an earlier test behind
                             ustatbox(com[captain].body, nullptr, 0, 0);
                           });
  ASSERT_EQ(s.width, 800);
  const guirect top = {100, 440, 600, 60};
  EXPECT_GT(titlepixels(s, top, DARKTITLE), 20) << "the unit box's title, darkened";
}

// A unit's box opened by a right click on its figure in the army panel,
// with the pointer put there by the X server, is drawn alike in its first
// frame and in one drawn later: nothing of the box shows hovered (lit, with
// its tooltip) for the figure of the panel that the pointer was over.
TEST(BoxLayersWindow, ABoxShowsNothingHoveredFromTheWindowBeneath) {
  makesmallworld();
  settype(1, "Ash Warden").sprite = 12;
  captain = mkcom(1, ME, 2);
  int32_t units[3] = {};
  for (int32_t& u : units) u = mkunit(1, ME, 2);
  land[2].owner = land[2].fortholder = ME;
  RealWindow w(800, 600);
  ASSERT_TRUE(w.ok);
  installwindowdialogs(1);
  // Shown once, to learn where the figures stand.
  setinputscript(paced("waitfor 9\nkey escape\n").c_str());
  armypanel(ME, 2, -1);
  for (int32_t u : units) {
    int32_t x = 0, y = 0;
    ASSERT_TRUE(areapixel(FIGURE + u, &x, &y)) << "the figure of unit " << u;
    const std::string first = tempfile("boxlayers_first.ppm"), later = tempfile("boxlayers_later.ppm");
    const std::string at = std::to_string(x) + " " + std::to_string(y);
    setinputscript(("waitfor 9\n" +
                    xdoline("mousemove --window \"$(xdotool search --name '^vey3 test$' | head -1)\" " + at) +
                    "wait 6\nclick " + at + " 3\nshot " + first + "\nwait 6\nshot " + later +
                    "\nwait 2\nkey escape\nwaitfor 9\nkey escape\n")
                       .c_str());
    armypanel(ME, 2, -1);
    const Shot a = readshot(first), b = readshot(later);
    dropshot(first);
    dropshot(later);
    ASSERT_EQ(a.width, 800) << "the first frame of unit " << u << "'s box";
    ASSERT_EQ(b.width, 800);
    int32_t differ = 0;
    for (size_t i = 0; i < a.rgb.size() && i < b.rgb.size(); i++) differ += abs(a.rgb[i] - b.rgb[i]) > 8;
    EXPECT_EQ(differ, 0) << "unit " << u << ": the box's first frame shows what the pointer is not over";
  }
  installwindowdialogs(0);
  setinputscript("");
}
