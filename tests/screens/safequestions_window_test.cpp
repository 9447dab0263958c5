// The questions of the turn screens whose yes loses work, answered with a
// keyboard's Return and Escape through the X server: the month is not hosted
// for the players who have not played, the turn is not quit without its
// orders and the nation is not handed to the computer.
#include <gtest/gtest.h>

#include <string>

#include "frontend/frontend.h"
#include "gfx/dialogwindow.h"
#include "gfx/xwindow.h"
#include "host/hostgame.h"
#include "mapview/mapview.h"
#include "screens/ingame.h"
#include "screens/turnscreen.h"
#include "support/pacedscript.h"
#include "support/turnscript.h"
#include "support/xinput.h"

namespace {
class SafeQuestions : public HostGame {
 protected:
  void SetUp() override {
    HostGame::SetUp();
    create("testvale.map", {0, 1});
  }
};

// Asks the question that `open` opens, answers it with each key in turn
// (the question asked again between them) and waits for the screen
// beneath, whose area `back` shows.
std::string eachkeykeeps(const std::string& open, int32_t back) {
  std::string script;
  for (const char* key : {"Return", "Escape"})
    script += open + line("waitfor", DLG_YES) + xdoline(std::string("key ") + key) + line("waitfor", back);
  return script;
}
}  // namespace

TEST_F(SafeQuestions, ReturnAndEscapeNeitherHostNorQuitNorHandOver) {
  const int32_t first = worldturn();
  RealWindow w;
  ASSERT_TRUE(w.ok);
  installmapscreens();
  quitprogram = 0;
  fade = 0;
  // Host while nobody has played; then the first nation's turn, its
  // Options with Quit without saving and Let the computer play; Back, and
  // End turn.
  const std::string script =
      eachkeykeeps("waitfor 100\nclickid 100\n", 1) + "clickid 1\nwaitfor 999\nkey escape\n" + TURNSCREEN +
      "key escape\n" + eachkeykeeps(line("waitfor", IG_QUIT) + line("clickid", IG_QUIT), IG_QUIT) +
      eachkeykeeps(line("clickid", IG_COMPUTER), IG_COMPUTER) + line("clickid", IG_BACK) + TURNSCREEN +
      line("clickid", TS_ENDTURN) + "waitfor 1\nkey escape\n";
  setinputscript(paced(script).c_str());
  playturn(game.c_str());
  EXPECT_EQ(quitprogram, 0);
  EXPECT_EQ(worldturn(), first) << "the month was hosted";
  int32_t t = -1;
  ASSERT_TRUE(readfileheader(game.c_str(), 0, -1, 0, 0, &t, nullptr, nullptr, nullptr)) << "no orders";
  EXPECT_EQ(t, first);
  ASSERT_TRUE(readorders(0));
  EXPECT_EQ(uint16_t(kingdom[0].w[KW_CONTROLLER]), CTRL_HUMAN);
}
