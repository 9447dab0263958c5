// A game made to host itself: the play menu lists only the nations still to
// play, and once every human nation has played, leaving the last turn hosts
// the next one without a menu. A game made without it keeps the full menu.
#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "frontend/frontend.h"
#include "gfx/xwindow.h"
#include "host/hostgame.h"
#include "mapview/mapview.h"
#include "screens/turnscreen.h"
#include "support/pacedscript.h"
#include "support/turnscript.h"

namespace {
class AutoHost : public HostGame {
 protected:
  // A game of two human nations, made with or without the setting, whose
  // game information says so; the play menu's window stands ready.
  void make(int32_t autohost) {
    autohostgame = autohost;
    create("testvale.map", {0, 1}, 1);
    autohostgame = 0;
    ASSERT_TRUE(openturn(0));
    EXPECT_EQ(gameinfo.autohost, autohost);
    w.emplace();
    ASSERT_TRUE(w->ok);
    installmapscreens();
    quitprogram = 0;
    first = worldturn();
  }
  std::optional<RealWindow> w;   // opened once the game stands
  int32_t first = 0;
};

// Buttons of the play menu: 1 + nation, Host 100, Exit 999.
bool shown(int32_t id) { return findguiarea(id) >= 0; }

TEST_F(AutoHost, TheSettingIsKeptInTheGameAndHostsOnceEveryoneHasPlayed) {
  ASSERT_NO_FATAL_FAILURE(make(1));
  // One of two has played: the menu lists only the other one.
  play(0, [] {});
  setinputscript(paced("waitfor 999\nwait 2\nkey escape\n").c_str());
  playturn(game.c_str());
  EXPECT_FALSE(shown(1));
  EXPECT_TRUE(shown(2));
  EXPECT_TRUE(shown(100));

  // Both have played: the last one's turn opens ("already played", Continue),
  // End turn, and the host runs without a menu; the new turn's menu lists
  // both nations again.
  play(1, [] {});
  setinputscript(paced("waitfor 1\nclickid 1\nwaitfor 999\nclickid 999\n" + TURNSCREEN + "key e\nwait 5\n"
                       "waitfor 2\nwait 2\nkey escape\n")
                     .c_str());
  playturn(game.c_str());
  EXPECT_EQ(worldturn(), first + 1);
  EXPECT_TRUE(shown(1));
  EXPECT_TRUE(shown(2));
}

TEST_F(AutoHost, WithoutTheSettingTheMenuListsEveryNationAndWaits) {
  ASSERT_NO_FATAL_FAILURE(make(0));
  play(0, [] {});
  play(1, [] {});
  setinputscript(paced("waitfor 999\nwait 2\nkey escape\n").c_str());
  playturn(game.c_str());
  EXPECT_TRUE(shown(1));
  EXPECT_TRUE(shown(2));
  EXPECT_EQ(worldturn(), first);
}
}  // namespace
