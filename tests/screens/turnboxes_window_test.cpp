// Boxes of the main turn screen in a real window by scripted input: the
// scout report and the commander cards. VEY3_KEEPSHOTS=1 keeps the pictures
// (/tmp/vey3test_*_turnboxes_*).
#include <gtest/gtest.h>

#include <string>

#include "gfx/dialogwindow.h"
#include "gfx/xwindow.h"
#include "mapview/mapview.h"
#include "screens/turnscreen.h"
#include "support/pacedscript.h"
#include "support/smallworld.h"
#include "world/hoststate.h"

namespace {
constexpr int32_t ME = 3;

// Shows the turn screen of nation ME on land 2 for a few frames, keeps one
// picture and leaves with End turn.
Shot showturn(const std::string& name) {
  RealWindow w(800, 600);
  EXPECT_TRUE(w.ok);
  if (!w.ok) return {};
  installwindowdialogs(1);
  installmapscreens();
  const std::string path = tempfile(name.c_str());
  setinputscript(paced("wait 3\nshot " + path + "\nkey e\nwait 2\n").c_str());
  viewland(2, ME, 0, "turnboxes", 5, 1, 0);
  installwindowdialogs(0);
  const Shot s = readshot(path);
  dropshot(path);
  return s;
}

int32_t textareas(int32_t id) {
  int32_t n = 0;
  for (int32_t a = 0; a < guiareacount(); a++)
    if (guiareaget(a).id == id && guiareaget(a).kind == AreaKind::text) n++;
  return n;
}

TEST(TurnBoxesWindow, AScoutReportShowsEveryRowItWraps) {
  makesmallworld();
  settype(1, "Ash Warden").sprite = 12;
  mkcom(1, ME, 2);
  strcpy(land[2].name, "Mire of Rossia");
  land[2].owner = ME;
  t2msg(newmsg(2, ME, MT_SCOUT, 2), "Scouts report 2 units in Mire of Rossia, most of them Spearmen.");
  const Shot s = showturn("turnboxes_scout.ppm");
  ASSERT_GT(s.width, 0);
  EXPECT_EQ(textareas(TS_SCOUT), 2) << "the report wraps to two rows at 220 wide";
  // Light letters in the band of each row, inside the report's window.
  for (int32_t r = 0; r < 2; r++)
    EXPECT_GT(pixelslike(s, {17, 501 - 15 * float(r + 1), 200, 13}, 230, 230, 230, 45), 10) << "row " << r + 1;
}
}  // namespace
