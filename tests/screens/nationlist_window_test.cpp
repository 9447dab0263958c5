// The nation list when a turn file is damaged or another program hosts the
// game: a damaged turn file is marked and named when chosen, and the other
// nations play; a turn file whose body does not read ends the program with a
// message naming it. Hosting from the list while another program hosts is
// refused; orders saved meanwhile are saved with a word that they may come
// too late; orders of a month hosted meanwhile are not saved over the new one.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "frontend/frontend.h"
#include "gfx/dialogwindow.h"
#include "gfx/xwindow.h"
#include "host/hostgame.h"
#include "mapview/mapview.h"
#include "runtime/hostlock.h"
#include "runtime/ask.h"
#include "screens/turnscreen.h"
#include "support/background.h"
#include "support/dialogscript.h"
#include "support/gamefolders.h"
#include "support/pacedscript.h"
#include "support/turnscript.h"

namespace {
std::vector<std::string> told;
// The window's message box, its text kept for the test.
int recordedmsgbox(const char* text) {
  told.emplace_back(text);
  return windowmsgbox(text);
}

class NationList : public HostGame {
 protected:
  // The nation list of the game in a window, run by the script.
  void playinwindow(const std::string& script) {
    RealWindow w;
    ASSERT_TRUE(w.ok);
    installmapscreens();
    static const Dialogs recording = {recordedmsgbox, windowconfirmbox, windowinputstring, windownumber, windowmenu};
    setdialogs(&recording);
    told.clear();
    quitprogram = 0;
    setinputscript(paced(script).c_str());
    playturn(game.c_str());
    installwindowdialogs(1);
  }
  // A host program of the game, held in its --preexec command (after it
  // took the game) until release.
  pid_t heldhost() {
    const pid_t pid = startprogram(
        VEY3_HOST_BINARY,
        {"--textonly", "--host", "--preexec",
         "touch '" + root + "/started'; while [ ! -e '" + root + "/go' ]; do sleep 0.05; done", game},
        {"VEY3_SAVE=" + root + "/save", "VEY3_TEMP=" + root + "/hosttemp", "VEY3_CONF=" + root + "/conf",
         "VEY3_DATA=" VEY3_DATA_DIR, "HOME=" + root},
        root + "/host.txt");
    EXPECT_TRUE(waitforfile(root + "/started"));
    return pid;
  }
  int release(pid_t pid) {
    writebytes(root + "/go", {});
    return waitprogram(pid);
  }
};

std::string buttontext(int32_t id) {
  const int32_t a = findguiarea(id);
  if (a < 0) return "";
  const guiarea& area = guiareaget(a);
  return std::string(guiareatext(area), size_t(area.length));
}
}  // namespace

TEST_F(NationList, ADamagedTurnFileIsMarkedAndTheOtherNationsPlay) {
  create("testvale.map", {0, 1, 2});
  const int32_t first = worldturn();
  patchgamefile(trnpath(1), 22, 4711);   // another game's
  // The damaged nation is chosen (its message box closed), then the first
  // nation plays its turn; the list stays open at the end.
  playinwindow("waitfor 2\nclickid 2\nwait 3\nkey return\nwaitfor 1\nclickid 1\nwaitfor 999\nclickid 999\n"
               + TURNSCREEN + "key e\nwait 5\nwaitfor 1\nwait 2\nkey escape\n");
  EXPECT_NE(buttontext(2).find(std::string(nations[1].name) + " (turn file damaged)"), std::string::npos)
      << buttontext(2);
  EXPECT_NE(buttontext(1).find(std::string("- ") + nations[0].name), std::string::npos) << buttontext(1);
  ASSERT_FALSE(told.empty());
  EXPECT_EQ(told[0], std::string("The turn file of ") + nations[1].name + ", " + trnpath(1) +
                         ", does not read: the file belongs to another game. The next hosting writes it anew.");
  // The first nation's orders are in; the month is not hosted.
  int32_t t = -1;
  UniqueFile orders = readfileheader(game.c_str(), 0, -1, 0, 0, &t, nullptr, nullptr, nullptr);
  EXPECT_TRUE(orders);
  EXPECT_EQ(t, first);
  EXPECT_EQ(worldturn(), first);
}

TEST_F(NationList, ATurnFileWhoseBodyDoesNotReadIsNamedBeforeTheProgramEnds) {
  create("testvale.map", {0, 1});
  // The file is cut in its body; its checksum fits the cut file.
  std::vector<uint8_t> b = readbytes(trnpath(0));
  b.resize(b.size() / 2);
  writewithchecksum(trnpath(0), b);
  // The message goes where the test can read it.
  EXPECT_EXIT(
      {
        setdialogoutput(stderr);
        ppt(0, game.c_str());
      },
      ::testing::ExitedWithCode(1), "The turn file " + trnpath(0) + " does not read: the file is damaged \\(");
}

TEST_F(NationList, HostingWhileAnotherProgramHostsIsRefused) {
  create("testvale.map", {0, 1});
  play(0, [] {});
  play(1, [] {});
  const int32_t before = worldturn();
  const pid_t host = heldhost();
  // Host (everyone has played: no question), the refusal closed, Exit.
  playinwindow("waitfor 100\nclickid 100\nwait 3\nkey return\nwaitfor 1\nwait 2\nkey escape\n");
  ASSERT_FALSE(told.empty());
  EXPECT_EQ(told[0], "The game g is being hosted by another program right now; it was not hosted again");
  EXPECT_EQ(worldturn(), before);
  // The other host makes the month, once.
  EXPECT_EQ(release(host), 0);
  EXPECT_EQ(worldturn(), before + 1);
  // An order writer that holds the game all the while is no host: the box
  // says why the month was not made.
  play(0, [] {});
  play(1, [] {});
  const int writer = open(path(HOSTLOCKFILE).c_str(), O_RDWR | O_CLOEXEC);
  ASSERT_GE(writer, 0);
  ASSERT_EQ(flock(writer, LOCK_SH), 0);
  playinwindow("waitfor 100\nclickid 100\nwait 3\nkey return\nwaitfor 1\nwait 2\nkey escape\n");
  close(writer);
  ASSERT_FALSE(told.empty());
  EXPECT_EQ(told[0], "The order files of the game g were being written all the while; it was not hosted");
  EXPECT_EQ(worldturn(), before + 1);
}

// A world file that reads but does not hold together is named in a box
// when Host is chosen, and the list stays.
TEST_F(NationList, HostingAWorldThatDoesNotHoldTogetherNamesItAndTheListStays) {
  create("testvale.map", {0, 1});
  play(0, [] {});
  play(1, [] {});
  const std::string fault = sharebody();
  const std::vector<uint8_t> world = readbytes(path("ftherlnd"));
  playinwindow("waitfor 100\nclickid 100\nwait 3\nkey return\nwaitfor 1\nwait 2\nkey escape\n");
  ASSERT_FALSE(told.empty());
  EXPECT_EQ(told[0], "The turn of g could not be hosted.\n\nCannot read the world file of the game g, " +
                         path("ftherlnd") + ": the file is damaged (" + fault + ")");
  EXPECT_TRUE(readbytes(path("ftherlnd")) == world);
}

TEST_F(NationList, OrdersSavedWhileAHostWorksAreSavedWithAWord) {
  create("testvale.map", {0, 1});
  const int32_t before = worldturn();
  const pid_t host = heldhost();
  // The first nation plays its turn to its end.
  playinwindow("waitfor 1\nclickid 1\nwaitfor 999\nclickid 999\n" + TURNSCREEN + "key e\nwait 5\nkey return\nwaitfor 1\n"
               "wait 2\nkey escape\n");
  ASSERT_FALSE(told.empty());
  EXPECT_EQ(told[0], "g is being hosted right now. The host started before these orders were saved, so they go into "
                     "the month only if it had not read the order files yet.");
  int32_t t = -1;
  {
    UniqueFile orders = readfileheader(game.c_str(), 0, -1, 0, 0, &t, nullptr, nullptr, nullptr);
    EXPECT_TRUE(orders);
  }
  EXPECT_EQ(t, before);
  // This host had not read them yet: they went into the month.
  EXPECT_EQ(release(host), 0);
  const std::vector<uint8_t> said = readbytes(root + "/host.txt");
  const std::string out(said.begin(), said.end());
  EXPECT_EQ(out.find(std::string("Orders of ") + nations[0].name), std::string::npos) << out;
}

TEST_F(NationList, OrdersOfAMonthHostedMeanwhileAreNotSavedOverTheNewOne) {
  create("testvale.map", {0, 1});
  int32_t t = 0;
  ASSERT_TRUE(openturn(0, &t));
  const int32_t gamenbr = filegamenumber;
  const std::vector<uint8_t> old = readbytes(orderpath(0));
  // The month is hosted while the nation's turn is open; End turn then.
  ASSERT_EQ(host(), 1);
  DialogScript s("\n");
  saveorders(0, game.c_str(), t, gamenbr);
  EXPECT_NE(s.printed().find("While you played, g was hosted: it is at turn " + std::to_string(t + 1) +
                             " now. These orders were for turn " + std::to_string(t) + " and were not saved"),
            std::string::npos) << s.printed();
  EXPECT_EQ(readbytes(orderpath(0)), old);
}
