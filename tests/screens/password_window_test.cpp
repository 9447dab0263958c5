// The password of a nation in a real window: a wrong one brings back the
// list of nations, in a game of one human player too, where the nation
// opens without the list.
#include <gtest/gtest.h>

#include "gfx/dialogwindow.h"
#include "gfx/xwindow.h"
#include "host/hostgame.h"
#include "screens/turnscreen.h"
#include "support/pacedscript.h"

namespace {
class PasswordWindow : public HostGame {};
}  // namespace

TEST_F(PasswordWindow, AWrongPasswordShowsTheListOfNations) {
  create("veyrmark.map", {0}, 1, "pw");
  memset(enteredpass, 0, sizeof enteredpass);
  RealWindow w;
  ASSERT_TRUE(w.ok);
  installwindowdialogs(1);
  // The nation opens at once and asks; the wrong entry is told, then the
  // list stands, from which Exit leaves.
  setinputscript(paced("waitfor " + std::to_string(DLG_FIELD) + "\ntype secret\nkey return\nwaitfor " +
                       std::to_string(DLG_OK) + "\nkey return\nwaitfor 999\nwaitfor 1\nclickid 999\n")
                     .c_str());
  playturn(game.c_str());
  setinputscript("");
  EXPECT_GE(findguiarea(999), 0) << "the list of nations was not shown";
  EXPECT_GE(findguiarea(1), 0);
  installwindowdialogs(0);
}
