// A whole turn played in a real window by scripted input: the nation list,
// the password, the main turn screen, End turn writing the order file, the
// host, and the next turn opened the same way.
// VEY3_KEEPSHOTS=1 keeps the pictures (/tmp/vey3test_*_*.ppm) that the
// README shows.
#include <gtest/gtest.h>

#include <string>

#include "frontend/frontend.h"
#include "gfx/xwindow.h"
#include "host/hostgame.h"
#include "mapview/mapview.h"
#include "screens/turnscreen.h"
#include "support/pacedscript.h"

namespace {
class TurnWindow : public HostGame {
 protected:
  void SetUp() override {
    HostGame::SetUp();
    strlcopy(temppath, (root + "/temp").c_str(), PATHLEN);
  }
};


int32_t orderfileturn(const char* game, int32_t nation) {
  int32_t t = -1;
  UniqueFile f = readfileheader(game, 0, -1, 0, nation, &t, nullptr, nullptr, nullptr);
  return f ? t : -1;
}
}  // namespace

TEST_F(TurnWindow, OpenATurnPlayItAndTheHostMakesTheNext) {
  create("testvale.map", {0, 1}, 1, "secret");
  RealWindow w;
  ASSERT_TRUE(w.ok);
  installmapscreens();
  quitprogram = 0;
  memset(enteredpass, 0, sizeof enteredpass);
  const std::string listshot = tempfile("nationlist.ppm"), turnshot = tempfile("turnscreen.ppm");
  const int32_t god = kingdom[0].w[KW_GOD];
  // The list, nation 0 with its password, the turn screen (its message
  // list first when there are messages), the god selected, End turn, Exit.
  const std::string script =
      "waitfor 1\nwait 3\nshot " + listshot + "\nclickid 1\n"
      "waitfor 3\ntype secret\nkey return\n"
      "waitfor 999\nclickid 999\n"   // the messages of the month
      "waitfor 27\nclickid " + std::to_string(TS_CARD + god) + "\nmove 400 300\nwait 5\nshot " + turnshot + "\n"
      "key e\nwait 5\n"
      // Host from the list, though nation 1 has not played.
      "waitfor 100\nclickid 100\nwaitfor 998\nclickid 100\n"
      // The next turn: no password asked again in this run.
      "wait 10\nwaitfor 1\nclickid 1\nwaitfor 999\nclickid 999\nwaitfor 27\nkey e\nwait 5\n"
      "waitfor 1\nclickid 999\n";
  setinputscript(paced(script).c_str());
  const int32_t first = worldturn();
  playturn(game.c_str());
  EXPECT_EQ(worldturn(), first + 1);
  EXPECT_EQ(orderfileturn(game.c_str(), 0), first + 1);
  EXPECT_NE(orderfileturn(game.c_str(), 1), worldturn());
  EXPECT_STREQ(enteredpass[0], "secret");
  for (const std::string& shot : {listshot, turnshot}) {
    Shot s = readshot(shot);
    ASSERT_GT(s.width, 0) << shot;
    dropshot(shot);
  }
}
