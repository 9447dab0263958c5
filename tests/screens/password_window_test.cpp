// Opening the nation of a game of one human player in a real window: the
// nation opens without the list, and a wrong password or Cancel at "already
// played" leaves the game; the list of nations does not come back.
#include <gtest/gtest.h>

#include "gfx/dialogwindow.h"
#include "gfx/xwindow.h"
#include "host/hostgame.h"
#include "screens/turnscreen.h"
#include "support/gamefolders.h"
#include "support/pacedscript.h"

namespace {
class PasswordWindow : public HostGame {};

// The list of nations, and nothing else here, has Exit (999).
bool listshown() { return findguiarea(999) >= 0; }
}  // namespace

TEST_F(PasswordWindow, AFailedOpeningLeavesTheGame) {
  create("veyrmark.map", {0}, 1, "pw");
  memset(enteredpass, 0, sizeof enteredpass);
  RealWindow w;
  ASSERT_TRUE(w.ok);
  installwindowdialogs(1);
  // The nation opens at once and asks; the wrong entry is told and the game
  // is left. Were the list shown, Escape would leave it.
  const std::string thenlist = "wait 5\nkey escape\n";
  setinputscript(paced("waitfor " + std::to_string(DLG_FIELD) + "\ntype secret\nkey return\nwaitfor " +
                       std::to_string(DLG_OK) + "\nkey return\n" + thenlist)
                     .c_str());
  playturn(game.c_str());
  setinputscript("");
  EXPECT_FALSE(listshown()) << "a wrong password brought back the list of nations";
  EXPECT_EQ(enteredpass[0][0], 0);

  // Orders of this turn are in: Cancel at "already played" leaves too, the
  // order file as it was.
  play(0, [] {});
  const std::vector<uint8_t> before = readbytes(orderpath(0));
  ASSERT_FALSE(before.empty());
  setinputscript(paced("waitfor 3\nkey escape\n" + thenlist).c_str());
  playturn(game.c_str());
  setinputscript("");
  EXPECT_FALSE(listshown()) << "Cancel at \"already played\" brought back the list of nations";
  EXPECT_EQ(readbytes(orderpath(0)), before);
  installwindowdialogs(0);
}
