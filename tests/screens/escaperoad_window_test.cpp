// Every view that a key of the turn screen opens closes again with Escape
// and gives the turn screen back, twice down the same road, on Veyrmark:
// a view that kept its window, or ended the turn screen, stops the script
// ("no area 27 appeared") and the test with it.
// VEY3_KEEPSHOTS=1 keeps a picture of each view ($TMPDIR/vey3shots_*/esc*.ppm).
#include <gtest/gtest.h>

#include <string>

#include "frontend/frontend.h"
#include "gfx/xwindow.h"
#include "host/hostgame.h"
#include "mapview/mapview.h"
#include "runtime/settings.h"
#include "screens/turnscreen.h"
#include "support/pacedscript.h"
#include "support/turnscript.h"

namespace {
class EscapeRoad : public HostGame {};
}  // namespace

TEST_F(EscapeRoad, EveryViewOfTheTurnScreenClosesWithEscapeTwice) {
  create("veyrmark.map", {0, 1}, 3);
  ASSERT_TRUE(openturn(0));
  RealWindow w;
  ASSERT_TRUE(w.ok);
  installmapscreens();
  quitprogram = 0;
  fade = 0;
  // The nation, its message list closed; then each view and Escape.
  std::string script = "waitfor 1\nclickid 1\nwaitfor 999\nkey escape\n" + TURNSCREEN;
  const char* keys[] = {"f1", "f2", "f3", "f4", "f5", "f6", "f7", "f8", "l", "b", "t", "y", "r", "g", "x"};
  for (int pass = 0; pass < 2; pass++)
    for (const char* k : keys) {
      const std::string shot = tempfile(("esc" + std::to_string(pass) + "_" + k + ".ppm").c_str());
      script += std::string("key ") + k + "\nwait 4\nshot " + shot + "\nkey escape\n" + TURNSCREEN;
    }
  script += "key e\nwait 5\nwaitfor 1\nclickid 999\n";
  setinputscript(paced(script).c_str());
  playturn(game.c_str());
  EXPECT_EQ(quitprogram, 0);
}
