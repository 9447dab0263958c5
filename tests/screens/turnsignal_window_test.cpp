// A signal that asks the player's program to stop during a turn (a
// shutdown's SIGTERM, Ctrl+C's SIGINT): the program itself, started with a
// game and playing a nation's turn in a window, saves the month's orders
// as End turn does and ends.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>

#include <cstdlib>
#include <string>

#include "gfx/gfx.h"
#include "host/hostgame.h"
#include "mapview/overlay.h"
#include "support/background.h"
#include "support/turnscript.h"

namespace {
class TurnSignal : public HostGame {
 protected:
  void SetUp() override {
    HostGame::SetUp();
    create("testvale.map", {0, 1});
    first = worldturn();
    unsetenv("DISPLAY");   // a server of the test's own
    server = startprivatexserver();
  }
  void TearDown() override {
    stopprivatexserver(server);
    HostGame::TearDown();
  }
  // The program playing the game; its input script opens the first nation's
  // turn, switches the veyrance layer off (a change the order file keeps)
  // and then writes a picture to `ready`, from the program itself: a
  // "run touch" would leave the program inside system() for a moment after
  // the file stands, and system() ignores SIGINT while it waits.
  pid_t playing(const std::string& ready) {
    const std::string script = root + "/script";
    writetext(script, "waitfor 1\nclickid 1\nwait 2\nwaitfor 999\nkey escape\nwait 2\n" + TURNSCREEN +
                          "key 3\nwait 2\nshot " + ready + "\n");
    return startprogram(VEY3_BINARY, {"-a", game},
                        {"VEY3_SAVE=" + root + "/save", "VEY3_TEMP=" + root + "/playtemp", "VEY3_CONF=" + root + "/conf",
                         "VEY3_MAPS=" + std::string(mappath), "VEY3_LOCALMAPS=" + std::string(localmappath),
                         "VEY3_DATA=" VEY3_DATA_DIR, "HOME=" + root, "VEY3_INPUTSCRIPT=" + script,
                         "XDG_RUNTIME_DIR=" + root},   // the sound library's files in the test's folder
                        root + "/out.txt");
  }
  int32_t first = 0;
  int32_t server = -1;
};
}  // namespace

TEST_F(TurnSignal, TheOrdersAreSavedAndTheProgramEnds) {
  ASSERT_GT(server, 0) << "no X server";
  for (const int sig : {SIGTERM, SIGINT}) {
    remove(orderpath(0).c_str());
    const std::string ready = root + "/ready";
    remove(ready.c_str());
    const pid_t pid = playing(ready);
    ASSERT_TRUE(waitforfile(ready, 300)) << readtext(root + "/out.txt");
    kill(pid, sig);
    EXPECT_EQ(waitprogram(pid, 120), 0) << sig;
    const std::string said = readtext(root + "/out.txt");
    EXPECT_NE(said.find(std::string("The orders of ") + nations[0].name + " are saved"), std::string::npos) << said;
    int32_t t = -1;
    ASSERT_TRUE(readfileheader(game.c_str(), 0, -1, 0, 0, &t, nullptr, nullptr, nullptr)) << sig << ": no orders";
    EXPECT_EQ(t, first);
    ASSERT_TRUE(readorders(0));
    const uint16_t layers = uint16_t(kingdom[0].w[KW_MAPFILTER]);
    EXPECT_NE(layers, 0) << "the layers chosen are kept";
    EXPECT_EQ(layers & MAPF_VEYRANCE, 0u) << sig;
  }
}
