// The score graphs in a real window: the lines stay clear of the graphs'
// own window, and the plot shows a scale of values and of turns.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "gfx/xwindow.h"
#include "screens/statscreens.h"
#include "support/guitexts.h"
#include "support/pacedscript.h"
#include "support/smallworld.h"
#include "world/scores.h"

TEST(GraphsWindow, LinesKeepClearOfTheWindowAndTheScalesAreShown) {
  makesmallworld();
  memset(&endstats, 0, sizeof endstats);
  for (int32_t p : {0, 1}) kingdom[p].w[KW_CONTROLLER] = CTRL_HUMAN;
  gameinfo.victory = 0;
  endstats.highest = 11;   // turns 0 to 11
  for (int32_t t = 0; t <= 11; t++) {
    endstats.value[0][t][0] = int16_t(4 * t);       // up to 44
    endstats.value[0][t][1] = int16_t(44 - 4 * t);  // from the top down
  }
  RealWindow w(800, 600);
  ASSERT_TRUE(w.ok);
  setinputscript(paced("wait 2\nkey escape\n").c_str());
  viewgraphs(0);
  const guirect win = guishownwindow();
  int32_t lines = 0;
  for (int32_t i = 0; i < guiareacount(); i++) {
    const guiarea& a = guiareaget(i);
    if (a.kind != AreaKind::line || a.scale < 2) continue;   // the nations' lines, 2 wide and more
    lines++;
    EXPECT_LT(std::max(a.y, a.v), win.y) << "a line reaches into the window";
    EXPECT_GE(std::min(a.x, a.u), 0.0f);
  }
  EXPECT_GE(lines, 22) << "both nations' lines, eleven segments each";
  // Values at the left (0 up to 40 in steps of 10), turns below (0 to 11).
  const std::string texts = windowtexts();
  for (const char* label : {"0 ", "10 ", "40 ", "Turn ", "11 "}) EXPECT_NE(texts.find(label), std::string::npos) << label;
}
