// Boxes opened from a window of the turn screen lie over a darkened picture
// of that window, in a real window by scripted input: the battle orders of
// the army panel and a figure of the unit box. VEY3_KEEPSHOTS=1 keeps the
// pictures ($TMPDIR/vey3shots_*/boxlayers_*).
#include <gtest/gtest.h>

#include <string>

#include "gfx/dialogwindow.h"
#include "gfx/xwindow.h"
#include "screens/armypanel.h"
#include "screens/unitbox.h"
#include "support/pacedscript.h"
#include "support/smallworld.h"

namespace {
constexpr int32_t ME = 3;
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
