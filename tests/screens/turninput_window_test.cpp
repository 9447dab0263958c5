// The turn screen in a real window, under the input a person gives: closing
// the window asks what becomes of the month's orders, no key answers a
// question that loses the month or the orders, a key held opens or
// closes a view once, a Shift-click sent by the X server queues ten
// recruits, "e" ends the turn as End turn does, orders that cannot be
// written keep the player in the turn, and a turn screen where
// nothing moves leaves the processor alone.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <thread>

#include "frontend/frontend.h"
#include "gfx/dialogwindow.h"
#include "gfx/xwindow.h"
#include "host/hostgame.h"
#include "mapview/mapview.h"
#include "mapview/overlay.h"
#include "screens/ingame.h"
#include "screens/mapfilters.h"
#include "screens/recruitment.h"
#include "screens/turnscreen.h"
#include "screens/unitbox.h"
#include "support/pacedscript.h"
#include "support/turnscript.h"
#include "support/readonlyfolder.h"
#include "support/xclose.h"
#include "support/xinput.h"

namespace {
class TurnInput : public HostGame {
 protected:
  void SetUp() override {
    HostGame::SetUp();
    create("veyrmark.map", {0, 1}, 3);
    first = worldturn();
  }
  // The window, and the turn of nation 0 opened from the list with its
  // message list closed.
  void openwindow() {
    w.emplace();
    ASSERT_TRUE(w->ok);
    installmapscreens();
    quitprogram = 0;
    fade = 0;
  }
  // The nation's order file of this turn, read back; false when there is
  // none of this turn.
  bool orderswritten() {
    int32_t t = -1;
    UniqueFile f = readfileheader(game.c_str(), 0, -1, 0, 0, &t, nullptr, nullptr, nullptr);
    return f && t == first && readorders(0);
  }
  // The map layers of nation 0 as its turn opens (a nation that never
  // chose them sees all but the terrain icons).
  int32_t savedfilter() {
    EXPECT_TRUE(openturn(0));
    const int32_t saved = kingdom[0].w[KW_MAPFILTER];
    return saved ? saved : 0x7dd;
  }
  std::optional<RealWindow> w;
  int32_t first = 0;
};


const std::string toturn = "waitfor 1\nclickid 1\nwaitfor 999\nkey escape\n" + TURNSCREEN;
// The key "3" switches the veyrance layer: a change that the order file keeps.
constexpr int32_t VEYRANCEBIT = 0x1;
}  // namespace

TEST_F(TurnInput, ClosingTheWindowAsksAndKeepsTheOrdersWhenToldTo) {
  const int32_t filter = savedfilter();
  // Closed twice: Cancel goes back to the turn, then Save and quit writes
  // the orders given and ends the program.
  EXPECT_EXIT(
      {
        openwindow();
        setinputscript(paced(toturn + "key 3\nquit\n" + line("waitfor", DLG_SAVE) + line("clickid", DLG_CANCEL) +
                             TURNSCREEN + "quit\n" + line("waitfor", DLG_SAVE) + line("clickid", DLG_SAVE) + "wait 50\n")
                           .c_str());
        playturn(game.c_str());
        exit(3);   // the turn ended otherwise
      },
      testing::ExitedWithCode(0), "");
  ASSERT_TRUE(orderswritten());
  EXPECT_NE(kingdom[0].w[KW_MAPFILTER] & VEYRANCEBIT, filter & VEYRANCEBIT);
  // Quit without saving leaves the order file as it was.
  remove(orderpath(0).c_str());
  EXPECT_EXIT(
      {
        openwindow();
        setinputscript(
            paced(toturn + "key 3\nquit\n" + line("waitfor", DLG_YES) + line("clickid", DLG_YES) + "wait 50\n").c_str());
        playturn(game.c_str());
        exit(3);
      },
      testing::ExitedWithCode(0), "");
  EXPECT_FALSE(orderswritten());
}

// The turn opened again by "Continue where I left" after End turn saved
// its orders: closing the window ends the program at once, with the order
// file as it was, since nothing would be lost; after a change the question
// comes, and Save and quit writes the change.
TEST_F(TurnInput, AfterContinueTheCloseAsksOnlyWhenSomethingWouldBeLost) {
  const std::string saved = root + "/saved.2h";
  // End turn with a change, Continue, and the window closed. A question
  // would be cancelled and the turn ended again, which ends the run with 3.
  const auto continued = [&](const WindowCloser& closer, const std::string& then) {
    return paced(toturn + "key 3\n" + xdoline("key e") + "waitfor 100\nrun cp " + orderpath(0) + " " + saved +
                 "\nclickid 1\nwait 3\n" + xdoline("key Return") + "waitfor 999\nkey escape\n" + TURNSCREEN + then +
                 closer.line() + "wait 10\n");
  };
  EXPECT_EXIT(
      {
        openwindow();
        WindowCloser closer;
        setinputscript((continued(closer, "") + line("waitfor", DLG_CANCEL) + line("clickid", DLG_CANCEL) + "wait 2\n" +
                        TURNSCREEN + "key e\nwait 2\nwaitfor 100\nclickid 999\n")
                           .c_str());
        playturn(game.c_str());
        exit(3);
      },
      testing::ExitedWithCode(0), "");
  ASSERT_FALSE(readtext(saved).empty());
  EXPECT_TRUE(readtext(orderpath(0)) == readtext(saved)) << "the order file was written again";
  // A layer switched after Continue is asked about and saved.
  remove(orderpath(0).c_str());
  EXPECT_EXIT(
      {
        openwindow();
        WindowCloser closer;
        setinputscript(
            (continued(closer, "key 3\nwait 2\n") + line("waitfor", DLG_SAVE) + line("clickid", DLG_SAVE) + "wait 50\n")
                .c_str());
        playturn(game.c_str());
        exit(3);
      },
      testing::ExitedWithCode(0), "");
  ASSERT_FALSE(readtext(saved).empty());
  EXPECT_TRUE(readtext(orderpath(0)) != readtext(saved)) << "the change was not saved";
}

namespace {
// The share of pixels that differ between two pictures of the same size
// (1 when their sizes differ).
double differingshare(const Shot& a, const Shot& b) {
  if (a.rgb.empty() || a.width != b.width || a.height != b.height) return 1;
  size_t differ = 0;
  for (size_t i = 0; i < a.rgb.size(); i += 3)
    differ += abs(a.rgb[i] - b.rgb[i]) > 40 || abs(a.rgb[i + 1] - b.rgb[i + 1]) > 40 || abs(a.rgb[i + 2] - b.rgb[i + 2]) > 40;
  return double(differ) / double(a.rgb.size() / 3);
}
}  // namespace

// The window closed by the window manager while a commander's unit box is
// open, and the question cancelled with Escape: the box stays open as it
// was, the turn screen does not come back beneath it.
TEST_F(TurnInput, CancellingTheCloseQuestionKeepsTheUnitBoxOpen) {
  ASSERT_TRUE(openturn(0));
  const int32_t home = kingdom[0].w[KW_HOMELAND];
  int32_t card = -1;
  for (int32_t c = 0; c <= highestcom && card < 0; c++)
    if (combody(c) >= 0 && unit[size_t(combody(c))].owner == 0 && unit[size_t(combody(c))].land == home) card = c;
  ASSERT_GE(card, 0);
  const std::string before = tempfile("closebox_before.ppm"), after = tempfile("closebox_after.ppm");
  EXPECT_EXIT(
      {
        openwindow();
        WindowCloser closer;
        // Shown, asked, cancelled, shown again; then closed for good.
        setinputscript(paced(toturn + "clickid " + std::to_string(TS_CARD + card) + " 3\n" + line("waitfor", UB_EXIT) +
                             "move 5 5\nwait 3\nshot " + before + "\n" + closer.line() + line("waitfor", DLG_CANCEL) +
                             xdoline("key Escape") + "move 5 5\nwait 3\nshot " + after + "\n" + closer.line() +
                             line("waitfor", DLG_YES) + line("clickid", DLG_YES) + "wait 50\n")
                           .c_str());
        playturn(game.c_str());
        exit(3);
      },
      testing::ExitedWithCode(0), "");
  const Shot shown = readshot(before), back = readshot(after);
  ASSERT_GT(shown.width, 0);
  EXPECT_LT(differingshare(shown, back), 0.01);
  dropshot(before);
  dropshot(after);
}

namespace {
ReadOnlyFolder* unwritable = nullptr;
std::vector<std::string> said;
size_t roomafter = 0;

// The turn played by the script in a game folder that takes no file until
// the player has read as many boxes as given; each box names the order
// file and the cause.
void playunwritable(const std::string& game, const std::string& root, const std::string& orders,
                    const std::string& script, size_t boxes) {
  ReadOnlyFolder folder(root + "/save/" + game);
  const bool readonly = ReadOnlyFolder::readonly();
  unwritable = &folder;
  said.clear();
  roomafter = boxes;
  // The player reads the box, makes room when it is time and says Ok.
  static const Dialogs noting = {
      [](const char* text) {
        said.push_back(text);
        const int ok = windowmsgbox(text);
        if (said.size() == roomafter) unwritable->writable();
        return ok;
      },
      windowconfirmbox, windowinputstring, windownumber, windowmenu};
  setdialogs(&noting);
  setinputscript(script.c_str());
  playturn(game.c_str());
  installwindowdialogs(1);
  unwritable = nullptr;
  ASSERT_EQ(said.size(), boxes);
  const std::string named = "Your orders could not be saved. " + orders + ": ";
  for (const std::string& text : said) {
    EXPECT_EQ(text.find(named), 0u) << text;
    EXPECT_NE(text.find(readonly ? "the disc is read-only" : "the disc is full"), std::string::npos) << text;
  }
}
}  // namespace

// Save and quit of the Options menu in a folder that takes no file: a box
// names the order file and the cause, and the player stays in the turn
// with every order; once the disc has room again, Save and quit writes
// them and ends the game.
TEST_F(TurnInput, SaveAndQuitThatCannotWriteSaysWhyAndStaysInTheTurn) {
  const int32_t filter = savedfilter();
  openwindow();
  const std::string box = tempfile("ordersnotwritten.ppm");
  playunwritable(game, root, orderpath(0),
                 paced(toturn + "key 3\nkey escape\n" + line("waitfor", IG_SAVEQUIT) + "key s\nwait 5\nshot " + box +
                       "\nkey return\n" + line("waitfor", IG_SAVEQUIT) + "key s\n"),
                 1);
  EXPECT_EQ(quitprogram, 1);
  ASSERT_TRUE(orderswritten());
  EXPECT_NE(kingdom[0].w[KW_MAPFILTER] & VEYRANCEBIT, filter & VEYRANCEBIT);
  if (getenv("VEY3_KEEPSHOTS")) printf("The box: %s\n", box.c_str());
  dropshot(box);
}

// End turn in a folder that takes no file, by the button and then by "e":
// each time a box names the order file and the cause and the player stays
// in the turn with every order; once the disc has room, End turn writes
// them and the nation list comes back.
TEST_F(TurnInput, EndTurnThatCannotWriteSaysWhyAndStaysInTheTurn) {
  const int32_t filter = savedfilter();
  openwindow();
  playunwritable(game, root, orderpath(0),
                 paced(toturn + "key 3\n" + line("clickid", TS_ENDTURN) + "wait 5\nkey return\n" + TURNSCREEN +
                       "key e\nwait 5\nkey return\n" + line("waitfor", TS_ENDTURN) +
                       line("clickid", TS_ENDTURN) + "waitfor 1\nclickid 999\n"),
                 2);
  ASSERT_TRUE(orderswritten());
  EXPECT_NE(kingdom[0].w[KW_MAPFILTER] & VEYRANCEBIT, filter & VEYRANCEBIT);
}

TEST_F(TurnInput, TheEndTurnKeyEndsTheTurnAtOnce) {
  const int32_t filter = savedfilter();
  openwindow();
  // A change, then a keyboard's "e": the nation list (its Host button) is
  // back with the turn's orders saved, and no question came between.
  setinputscript(paced(toturn + "key 3\n" + xdoline("key e") + "waitfor 100\nclickid 999\n").c_str());
  playturn(game.c_str());
  ASSERT_TRUE(orderswritten());
  EXPECT_NE(kingdom[0].w[KW_MAPFILTER] & VEYRANCEBIT, filter & VEYRANCEBIT);
}

TEST_F(TurnInput, EveryLayerSwitchedOffStaysOffWhenTheTurnOpensAgain) {
  openwindow();
  // The Map Filters menu by the mouse: every box that is ticked (all but
  // Neighbors) unticked, Return; "e". The turn opened again (Continue):
  // the map shows no layer, where the nation that never chose sees all.
  std::string script = toturn + "point " + std::to_string(TS_FILTERS) + "\nwait 1\n" + xdoline("click 1") + "wait 3\n";
  for (int32_t box : {1, 2, 4, 3, 7, 9}) script += "point " + std::to_string(box) + "\nwait 1\n" + xdoline("click 1");
  script += xdoline("key Return") + TURNSCREEN + xdoline("key e") + "waitfor 100\nclickid 1\nwait 3\n" +
            xdoline("key Return") + "waitfor 999\nkey escape\n" + TURNSCREEN + xdoline("key e") +
            "waitfor 100\nclickid 999\n";
  setinputscript(paced(script).c_str());
  playturn(game.c_str());
  // The layers of the last frame of the turn, the one opened again.
  EXPECT_EQ(mapfilter, 0u);
  ASSERT_TRUE(orderswritten());
  EXPECT_NE(kingdom[0].w[KW_MAPFILTER], 0);
  EXPECT_EQ(savedlayers(uint16_t(kingdom[0].w[KW_MAPFILTER])), 0u);
}

namespace {
// Asks the question that `open` opens, answers it with a keyboard's Return
// and then Escape (the question asked again between them) and waits for
// the screen beneath, whose area `back` shows.
std::string eachkeykeeps(const std::string& open, int32_t back) {
  std::string script;
  for (const char* key : {"Return", "Escape"})
    script += open + line("waitfor", DLG_YES) + xdoline(std::string("key ") + key) + line("waitfor", back);
  return script;
}
}  // namespace

// The questions whose yes loses work: Return and Escape neither host the
// month for the nation that has not played, nor quit the turn without its
// orders, nor hand the nation to the computer.
TEST_F(TurnInput, ReturnAndEscapeNeitherHostNorQuitNorHandOver) {
  openwindow();
  setinputscript(paced(eachkeykeeps("waitfor 100\nclickid 100\n", 1) + "clickid 1\nwaitfor 999\nkey escape\n" +
                       TURNSCREEN + "key escape\n" +
                       eachkeykeeps(line("waitfor", IG_QUIT) + line("clickid", IG_QUIT), IG_QUIT) +
                       eachkeykeeps(line("clickid", IG_COMPUTER), IG_COMPUTER) + line("clickid", IG_BACK) +
                       TURNSCREEN + line("clickid", TS_ENDTURN) + "waitfor 1\nkey escape\n")
                     .c_str());
  playturn(game.c_str());
  EXPECT_EQ(quitprogram, 0);
  EXPECT_EQ(worldturn(), first) << "the month was hosted";
  ASSERT_TRUE(orderswritten());
  EXPECT_EQ(uint16_t(kingdom[0].w[KW_CONTROLLER]), CTRL_HUMAN);
}

TEST_F(TurnInput, AViewKeyHeldActsOnceAndEscapeClosesOnlyTheView) {
  openwindow();
  // F3 held opens the Hall of Fame once, Escape held closes it and opens
  // no Options beneath; the same with F5 and Magic Research. A key that
  // repeated would open and close the view frame by frame, and Escape
  // would go on to the turn screen's Options: 27 would not come back.
  std::string script = toturn;
  for (const char* view : {"F3", "F5"})
    script += xdoline(std::string("keydown ") + view) + "wait 60\n" + xdoline(std::string("keyup ") + view) +
              "wait 10\n" + xdoline("keydown Escape") + "wait 60\n" + xdoline("keyup Escape") + "wait 10\n" + TURNSCREEN;
  script += "key e\nwaitfor 1\nclickid 999\n";
  setinputscript(paced(script).c_str());
  playturn(game.c_str());
  EXPECT_TRUE(orderswritten());
}

TEST_F(TurnInput, AShiftClickFromTheServerQueuesTen) {
  ASSERT_TRUE(openturn(0));
  const int32_t home = kingdom[0].w[KW_HOMELAND];
  const std::vector<int32_t> units = recruitlist(home, 0);
  ASSERT_FALSE(units.empty());
  ASSERT_GE(kingdom[0].gold, 10 * unittypes[size_t(units[0])].gcost) << "too poor to test";
  openwindow();
  const std::string unitid = std::to_string(RC_UNIT + units[0]);
  // Shift pressed, the click and Shift let go reach the program in one
  // frame, as they do when a frame is slow.
  setinputscript(paced(toturn + "key r\nwaitfor " + unitid + "\npoint " + unitid + "\nwait 3\n" +
                       xdoline("keydown shift click 1 keyup shift") +
                       "wait 3\nkey escape\n" + TURNSCREEN + "key e\nwaitfor 1\nclickid 999\n")
                     .c_str());
  playturn(game.c_str());
  ASSERT_TRUE(orderswritten());
  EXPECT_EQ(land[size_t(home)].queuecount, 10);
}

TEST_F(TurnInput, ATurnScreenWhereNothingMovesLeavesTheProcessorAlone) {
  openwindow();
  const std::string ready = tempfile("turnready.ppm");
  // Once the turn screen stands, its flags switched off ("1": the chosen
  // province's flag blinks) and the script is done, ten seconds of
  // processor time are measured; then "e" ends the turn.
  setinputscript(paced(toturn + "key 1\nmove 400 300\nwait 10\nshot " + ready + "\n").c_str());
  double share = -1;
  std::thread measure([&] {
    while (!fileexists(ready)) sleepms(50);
    sleepms(1500);
    const long before = cputicks();
    const uint32_t start = timems(), f0 = framesdrawn();
    sleepms(10000);
    printf("frames %u\n", framesdrawn() - f0);
    share = double(cputicks() - before) / double(sysconf(_SC_CLK_TCK)) / (double(timems() - start) / 1000.0);
    system("xdotool key e; sleep 2; xdotool key Escape");
  });
  playturn(game.c_str());
  measure.join();
  remove(ready.c_str());
  printf("processor share of the resting turn screen: %.1f %%\n", share * 100);
  EXPECT_GE(share, 0);
  EXPECT_LT(share, 0.05);
  EXPECT_TRUE(orderswritten());
}
