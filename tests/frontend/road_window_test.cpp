// A new player's road in the window: nothing saved is lost by a key or a
// click (a game of a name given again, a map of the game's own), and going
// back keeps what was done (the gods, the participants) without carrying it
// where it does not belong (another map, a name not seen on this pass).
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/resource.h>
#include <sys/statvfs.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "ai/design.h"
#include "frontend/frontendwindow.h"
#include "gamefiles/gamefiles.h"
#include "gfx/dialogwindow.h"
#include "runtime/fatal.h"
#include "support/plainuser.h"
#include "support/xinput.h"

using frontendtest::Folders;

namespace {
// From the Main Menu to the name box of a new game on Veyrmark.
const char* const tonamebox = "waitfor 6\nclickid 1\nwaitfor 1000\nclickid 1000\nwaitfor 999\nclickid 999\nwaitfor 3\n";

std::string bytesof(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

// The Random Map Creator's settings for a small map: so many pixels wide,
// 300 high, 20 provinces (each box cleared of the value it opens with).
std::string smallmap(const std::string& width) {
  std::string script;
  for (const std::string set : {"2\n" + width, std::string("3\n300"), std::string("4\n20")}) {
    const size_t cut = set.find('\n');
    script += "waitfor 9\nclickid " + set.substr(0, cut) + "\nwaitfor 3\n";
    for (int32_t i = 0; i < 5; i++) script += "key backspace\n";
    script += "type " + set.substr(cut + 1) + "\nkey return\n";
  }
  return script;
}
}  // namespace

TEST(NewPlayersRoad, AGameNameGivenAgainAsksAndCancelKeepsTheOldGame) {
  RealWindow w;
  ASSERT_TRUE(w.ok);
  Folders f;
  ASSERT_EQ(frontendtest::makecomputergame("oldgame"), 1);
  const std::string world = std::string(savepath) + "/oldgame/ftherlnd";
  const std::string before = bytesof(world);
  // The old name: the question, answered by Return (Cancel); the box holds
  // the name, so Return asks again; Cancel, and Escape back to the maps.
  setinputscript(paced(std::string(tonamebox) +
                       "type oldgame\nkey return\nwaitfor 6\nkey return\n"
                       "waitfor 3\nkey return\nwaitfor 6\nclickid 2\n"
                       "waitfor 3\nkey escape\nwaitfor 1000\nkey escape\nwaitfor 6\nclickid 6\n")
                     .c_str());
  mainmenu();
  ASSERT_FALSE(before.empty());
  EXPECT_EQ(bytesof(world), before);
}

TEST(NewPlayersRoad, TheNameBoxSaysItsLimitsAndTheNameKeepsThem) {
  RealWindow w;
  ASSERT_TRUE(w.ok);
  Folders f;
  // A name of 35 characters with spaces: the box says what it takes, in red
  // once a letter does not fit; the game (a human nation with a random god
  // and a computer nation) is made under the first 25, each space a "_";
  // its first turn is left through Options, Save and quit.
  const std::string shot = tempfile("namebox.ppm");
  setinputscript(paced(std::string(tonamebox) + "type my long game name of thirty ch\nwait 45\nshot " + shot +
                       "\nwait 1\nkey return\nwaitfor 12\nclickid 11\n"
                       "waitfor 1001\nclickid 1000\nclickid 1001\nclickid 1001\nclickid 1\n"
                       "waitfor 23\nclickid 23\nwaitfor 130\nclickid 1\n"
                       "waitfor 5\nclickid 1\nwaitfor 999\nclickid 999\nwaitfor 994\nclickid 994\nwaitfor 4\nclickid 4\n")
                     .c_str());
  mainmenu();
  EXPECT_TRUE(fileexists("%s/my_long_game_name_of_thir/ftherlnd", savepath));
  const Shot s = readshot(shot);
  ASSERT_GT(s.width, 0);
  EXPECT_GT(pixelslike(s, {0, 0, s.width, s.height}, 255, 115, 89, 50), 20);
  dropshot(shot);
}

namespace {
// A saved-games folder on a disc with little room: a small file system of
// its own, nearly filled, where mounting is allowed; else a limit on the
// size of the files this process writes. room() gives the room back.
class FullDisc {
 public:
  explicit FullDisc(const std::string& folder) : folder(folder) {
    if (mount("tmpfs", folder.c_str(), "tmpfs", 0, "size=4m") == 0) {
      mounted = true;
      // A stop of the program takes the file system away as well.
      mountedfolder = folder;
      addshutdownhook(unmount);
      struct statvfs fs {};
      statvfs(folder.c_str(), &fs);
      // Room for a god's design, none for the world.
      const uint64_t fill = uint64_t(fs.f_bavail) * fs.f_frsize - 48 * 1024;
      std::ofstream(folder + "/filler", std::ios::binary) << std::string(size_t(fill), 'x');
      return;
    }
    signal(SIGXFSZ, SIG_IGN);
    getrlimit(RLIMIT_FSIZE, &old);
    struct rlimit small = old;
    small.rlim_cur = 40000;
    setrlimit(RLIMIT_FSIZE, &small);
  }
  ~FullDisc() {
    room();
    unmount();
  }
  void room() {
    if (mounted) std::filesystem::remove(folder + "/filler");
    else setrlimit(RLIMIT_FSIZE, &old);
  }
  bool mounted = false;

 private:
  static void unmount() {
    if (!mountedfolder.empty()) umount2(mountedfolder.c_str(), MNT_DETACH);
    mountedfolder.clear();
  }
  static inline std::string mountedfolder;
  std::string folder;
  struct rlimit old {};
};
FullDisc* fulldisc = nullptr;
std::vector<std::string> said;
}  // namespace

TEST(NewPlayersRoad, AFullDiscKeepsTheWindowAndEveryChoiceOfTheNewGame) {
  RealWindow w;
  ASSERT_TRUE(w.ok);
  Folders f;
  FullDisc disc(savepath);
  fulldisc = &disc;
  said.clear();
  // The player reads the box and makes room before Ok.
  static const Dialogs noting = {
      [](const char* text) {
        said.push_back(text);
        const int ok = windowmsgbox(text);
        fulldisc->room();
        return ok;
      },
      windowconfirmbox, windowinputstring, windownumber, windowmenu};
  setdialogs(&noting);
  // Nations 0 and 1 by humans with random gods, nation 2 by an easy
  // computer player; Create the world, the box, Create the world once more.
  const std::string shot = tempfile("fulldisc.ppm");
  setinputscript(paced(std::string(tonamebox) +
                       "type full\nkey return\nwaitfor 12\nclickid 11\n"
                       "waitfor 1001\nclickid 1000\nclickid 1001\nclickid 1002\nclickid 1002\nclickid 1\n"
                       "waitfor 23\nclickid 23\nwaitfor 130\nclickid 1\nwaitfor 23\nclickid 23\nwaitfor 130\nclickid 1\n"
                       "waitfor 5\nclickid 1\nwait 5\n" + (disc.mounted ? "shot " + shot + "\n" : "") +
                       "key return\nwaitfor 5\nclickid 1\n"
                       "waitfor 999\nclickid 999\nwaitfor 6\nclickid 6\n")
                     .c_str());
  mainmenu();
  installwindowdialogs(1);
  fulldisc = nullptr;
  ASSERT_EQ(said.size(), 1u);
  EXPECT_EQ(said[0].find("The new game full could not be written to " + std::string(savepath) + ": the disc is full."),
            0u)
      << said[0];
  // The game of the choices made before the box.
  clearworld();
  int32_t turn = 0;
  ASSERT_EQ(loadworldfile("full", 0, &turn), 1);
  EXPECT_EQ(gameinfo.era, 1);
  EXPECT_EQ(kingdom[0].w[KW_CONTROLLER], CTRL_HUMAN);
  EXPECT_EQ(kingdom[1].w[KW_CONTROLLER], CTRL_HUMAN);
  EXPECT_EQ(kingdom[2].w[KW_CONTROLLER], CTRL_AI);
  EXPECT_EQ(kingdom[2].w[KW_AILEVEL], 1);
  int32_t playing = 0;
  for (int32_t k = 0; k < MAXPLAYERS; k++) playing += kingdom[size_t(k)].w[KW_CONTROLLER] != CTRL_NONE;
  EXPECT_EQ(playing, 3);
  for (int32_t k : {0, 1}) EXPECT_TRUE(fileexists("%s/full/%s.trn", savepath, nations[size_t(k)].fileword));
  if (getenv("VEY3_KEEPSHOTS")) printf("The box: %s\n", shot.c_str());
  dropshot(shot);
}

// Delete game over an old game whose folder holds a file of another
// account that the player may not read: a box names the file and why, the
// old game stands whole, and the name box comes again with the name in it,
// on the map chosen; the game is then made under the name changed there.
// The program stopped by SIGABRT, and every choice was lost.
TEST(NewPlayersRoad, AnOldGameThatCannotBeReplacedStaysAndTheNameIsAskedAgain) {
  if (geteuid() != 0) GTEST_SKIP() << "needs another account's files";
  RealWindow w;
  ASSERT_TRUE(w.ok);
  Folders f;
  ASSERT_EQ(frontendtest::makecomputergame("oldgame"), 1);
  const std::string folder = std::string(savepath) + "/oldgame", theirs = folder + "/theirs.txt";
  std::ofstream(theirs) << "a player's";
  chmod(theirs.c_str(), 0600);
  ASSERT_EQ(chown(theirs.c_str(), 65534, 65534), 0);
  const std::string world = bytesof(folder + "/ftherlnd");
  said.clear();
  static const Dialogs noting = {[](const char* text) {
                                   said.push_back(text);
                                   return windowmsgbox(text);
                                 },
                                 windowconfirmbox, windowinputstring, windownumber, windowmenu, windowfield,
                                 windowsafequestion};
  setdialogs(&noting);
  // Delete game, the box; "2" added to the name; nations 0 and 1 by humans
  // with random gods; Create the world.
  setinputscript(paced(std::string(tonamebox) +
                       "type oldgame\nkey return\nwaitfor 6\nclickid 6\nwaitfor 1\nkey return\n"
                       "waitfor 3\ntype 2\nkey return\nwaitfor 12\nclickid 11\n"
                       "waitfor 1001\nclickid 1000\nclickid 1001\nclickid 1\n"
                       "waitfor 23\nclickid 23\nwaitfor 130\nclickid 1\nwaitfor 23\nclickid 23\nwaitfor 130\nclickid 1\n"
                       "waitfor 5\nclickid 1\nwaitfor 999\nclickid 999\nwaitfor 6\nclickid 6\n")
                     .c_str());
  {
    const PermissionsHold player;
    ASSERT_TRUE(player.ok());
    mainmenu();
  }
  installwindowdialogs(1);
  ASSERT_EQ(said.size(), 1u);
  EXPECT_EQ(said[0], "The new game oldgame was not made: " + theirs +
                         ", which would go with it, cannot be read: no permission.\n\nThe old game stands as it was.");
  EXPECT_EQ(bytesof(folder + "/ftherlnd"), world);
  EXPECT_EQ(bytesof(theirs), "a player's");
  clearworld();
  int32_t turn = 0;
  ASSERT_EQ(loadworldfile("oldgame2", 0, &turn), 1);
  EXPECT_STREQ(gameinfo.mappic, "veyrmark.tga");
  EXPECT_EQ(kingdom[0].w[KW_CONTROLLER], CTRL_HUMAN);
  EXPECT_EQ(kingdom[1].w[KW_CONTROLLER], CTRL_HUMAN);
}

TEST(NewPlayersRoad, MapsOfTheGameCannotBeDeletedThePlayersOwnOnlyAfterAQuestion) {
  RealWindow w;
  ASSERT_TRUE(w.ok);
  Folders f;
  // The player's own map (a copy of Veyrmark under another title) lists
  // after the game's.
  std::string text = bytesof(std::string(mappath) + "/veyrmark.map");
  const size_t title = text.find("#vey2title");
  text.replace(title, text.find('\n', title) - title, "#vey2title Mine");
  std::ofstream(std::string(localmappath) + "/mine.map") << text;
  std::filesystem::copy_file(std::string(mappath) + "/veyrmark.tga", std::string(localmappath) + "/veyrmark.tga");
  // Veyrmark: no Delete, and the Delete key does nothing; then Mine:
  // deleted after the question.
  setinputscript(paced("waitfor 6\nclickid 1\nwaitfor 1000\nclickid 1000\nwaitfor 999\nkey delete\nwait 3\n"
                       "clickid 998\nwaitfor 1001\nclickid 1001\nwaitfor 997\nclickid 997\nwaitfor 6\nclickid 6\n"
                       "waitfor 1000\nkey escape\nwaitfor 6\nclickid 6\n")
                     .c_str());
  mainmenu();
  EXPECT_TRUE(fileexists("%s/veyrmark.map", mappath));
  EXPECT_TRUE(fileexists("%s/veyrmark.tga", mappath));
  EXPECT_FALSE(fileexists("%s/mine.map", localmappath));
}

TEST(NewPlayersRoad, GodsAreKeptGoingBackAndTheNameIsAskedOnEveryPass) {
  RealWindow w;
  ASSERT_TRUE(w.ok);
  Folders f;
  // Named "first", then back from the era to the maps: the name box comes
  // again with "first" in it, and the game is made as "first2". Nations 0
  // and 1 by humans: 0 designs a god with a password, 1 takes a random one.
  // Escape from the settings goes back to 1's god and on to 0's, both kept;
  // Return keeps each on the way forward again.
  setinputscript(paced(std::string(tonamebox) +
                       "type first\nkey return\nwaitfor 12\nkey escape\n"
                       "waitfor 1000\nclickid 1000\nwaitfor 999\nclickid 999\n"
                       "waitfor 3\ntype 2\nkey return\nwaitfor 12\nclickid 11\n"
                       "waitfor 1001\nclickid 1000\nclickid 1001\nclickid 1\n"
                       "waitfor 21\nclickid 21\nwaitfor 130\nclickid 7\nwaitfor 3\ntype alpha\nkey return\n"
                       "waitfor 130\nclickid 1\n"
                       "waitfor 23\nclickid 23\nwaitfor 130\nclickid 1\n"
                       "waitfor 5\nkey escape\nwaitfor 24\nkey escape\nwaitfor 24\nkey return\n"
                       "waitfor 24\nkey return\nwaitfor 5\nclickid 1\nwaitfor 999\nclickid 999\nwaitfor 6\nclickid 6\n")
                     .c_str());
  mainmenu();
  EXPECT_FALSE(direxists("%s/first", savepath));
  ASSERT_TRUE(fileexists("%s/first2/ftherlnd", savepath));
  // The world as the new game wrote it (its nation list has read others since).
  clearworld();
  int32_t turn = 0;
  ASSERT_EQ(loadworldfile("first2", 0, &turn), 1);
  ASSERT_TRUE(readfileheader("first2", 0, -1, 1, 0, &turn, password[0], nullptr, nullptr));
  EXPECT_STREQ(password[0], "alpha");
  EXPECT_EQ(kingdom[0].w[KW_CONTROLLER], CTRL_HUMAN);
  EXPECT_EQ(kingdom[1].w[KW_CONTROLLER], CTRL_HUMAN);
  EXPECT_GE(kingdom[1].w[KW_GOD], 0);
}

TEST(NewPlayersRoad, ParticipantsStayWithTheirMapAndDrawnNationsStayHidden) {
  RealWindow w;
  ASSERT_TRUE(w.ok);
  Folders f;
  // Nation 0 by a human and an opponent drawn at random; on to the god and
  // back: the opponent is still "drawn at random" (row 2001). Then back to
  // the maps and Veyrmark again: nobody is chosen.
  setinputscript(paced(std::string(tonamebox) +
                       "type drawn\nkey return\nwaitfor 12\nclickid 11\n"
                       "waitfor 1001\nclickid 1000\nclickid 3\nclickid 1\n"
                       "waitfor 21\nkey escape\nwaitfor 2001\nkey escape\nwaitfor 12\nkey escape\n"
                       "waitfor 1000\nclickid 1000\nwaitfor 999\nclickid 999\nwaitfor 3\n"
                       "key backspace\nkey backspace\nkey backspace\nkey backspace\nkey backspace\ntype drawn\nkey return\n"
                       "waitfor 12\nclickid 11\nwaitfor 1001\nkey escape\nwaitfor 12\nkey escape\n"
                       "waitfor 1000\nkey escape\nwaitfor 6\nclickid 6\n")
                     .c_str());
  mainmenu();
  EXPECT_EQ(highestparticipant, -1);
  EXPECT_FALSE(direxists("%s/drawn", savepath));
}

TEST(NewPlayersRoad, TheDesignerAsksBeforeEscapeDropsChanges) {
  RealWindow w;
  ASSERT_TRUE(w.ok);
  Folders f;
  GodDesign d = newdesign(0);
  const int32_t fire = d.path[P_FIRE];
  // Fire one up, Escape: the question, which a keyboard's Return and then
  // Escape answer by staying; Fire up once more, and Done keeps both.
  std::string script = "waitfor 130\nclickid 100\n";
  for (const char* key : {"Return", "Escape"})
    script += "key escape\nwait 3\n" + xdoline(std::string("key ") + key) + "waitfor 130\n";
  setinputscript(paced(script + "clickid 100\nclickid 1\n").c_str());
  ASSERT_EQ(godesigner(d, 0), 1);
  EXPECT_EQ(d.path[P_FIRE], fire + 2);
  // Unchanged, Escape leaves at once.
  setinputscript(paced("waitfor 130\nkey escape\n").c_str());
  EXPECT_EQ(godesigner(d, 0), 0);
}

TEST(NewPlayersRoad, PlayOrHostMarksAGameWithoutAWholeWorldAsDamaged) {
  RealWindow w;
  ASSERT_TRUE(w.ok);
  Folders f;
  comptrn = 1;   // the turn files of computer nations too
  ASSERT_EQ(frontendtest::makecomputergame("good"), 1);
  const std::string save = savepath;
  for (const char* copy : {"/broken", "/noworld"})
    std::filesystem::copy(save + "/good", save + copy);
  std::filesystem::resize_file(save + "/broken/ftherlnd", std::filesystem::file_size(save + "/broken/ftherlnd") / 2);
  std::filesystem::remove(save + "/noworld/ftherlnd");
  EXPECT_FALSE(gamedamaged("good"));
  EXPECT_TRUE(gamedamaged("broken"));
  EXPECT_TRUE(gamedamaged("noworld"));
  // "broken" (100) and "noworld" (102) say why they cannot be opened.
  setinputscript(paced("waitfor 6\nclickid 2\nwaitfor 102\nclickid 100\nwaitfor 1\nkey return\n"
                       "waitfor 102\nclickid 102\nwaitfor 1\nkey return\nwaitfor 99\nclickid 99\nwaitfor 6\nclickid 6\n")
                     .c_str());
  mainmenu();
  EXPECT_TRUE(fileexists("%s/good/ftherlnd", savepath));
}

TEST(NewPlayersRoad, TheLastNationOfEveryEraCanBeChosenAt800x600) {
  RealWindow w(800, 600);
  ASSERT_TRUE(w.ok);
  Folders f;
  allowedplayersgiven = 0;
  // The list scrolls by the wheel (early era), by Page Down (middle era),
  // and by the wheel again below three opponents drawn at random (late era).
  const char* const scroll[3] = {"move 400 300\nwheel -40\n", "key page down\nkey page down\nkey page down\nkey page down\n",
                                 "clickid 3\nclickid 3\nclickid 3\nmove 400 300\nwheel -40\n"};
  for (int32_t era = 1; era <= 3; era++) {
    int32_t last = -1;
    for (int32_t n = 0; n < MAXPLAYERS; n++)
      if (nationplayable(n, era)) last = n;
    ASSERT_GE(last, 0);
    const std::string id = std::to_string(NG_NATION + last);
    setinputscript(paced(std::string("waitfor 1\n") + scroll[era - 1] + "wait 3\nwaitfor " + id + "\nclickid " + id +
                         "\nclickid 1\n")
                       .c_str());
    highestparticipant = -1;
    ASSERT_EQ(chooseparticipants(0, era), 1) << era;
    ASSERT_GE(participantof(last), 0) << nations[size_t(last)].name;
    EXPECT_EQ(participants[participantof(last)].controller, CTRL_HUMAN);
  }
}

TEST(NationInformation, ShowsTheNationWithItsGodAndTheGodsBlessings) {
  RealWindow w;
  ASSERT_TRUE(w.ok);
  Folders f;
  ASSERT_EQ(frontendtest::makecomputergame("nations"), 1);
  Kingdom& k = kingdom[0];
  std::fill(std::begin(k.godpath), std::end(k.godpath), 0);
  k.godpath[P_FIRE] = 5;
  k.godpath[P_WATER] = 8;
  k.godpath[P_BLOOD] = 3;   // below 4: nothing
  char text[100];
  blesseffects(0, text, sizeof text);
  EXPECT_STREQ(text, "Att +2, Def +4");
  blesseffects(INDEPENDENTS, text, sizeof text);
  EXPECT_STREQ(text, "none");
  blesseffects(0, text, 8);   // cut, never past the buffer
  EXPECT_STREQ(text, "Att +2,");

  setinputscript(paced("waitfor 999\nkey escape\n").c_str());
  shownationinfo(0, 1, 0);
  const int32_t god = k.w[KW_GOD];
  ASSERT_GE(god, 0);
  std::string shown;
  for (int32_t a = 0; a < guiareacount(); a++) {
    const guiarea& area = guiareaget(a);
    if (area.kind == AreaKind::text) shown += std::string(guiareatext(area), size_t(area.length)) + "\n";
  }
  EXPECT_NE(shown.find(nations[0].epithet), std::string::npos) << shown;
  EXPECT_NE(shown.find(com[size_t(god)].name), std::string::npos) << shown;
  EXPECT_NE(shown.find("Att +2, Def +4"), std::string::npos) << shown;
}

TEST(NewPlayersRoad, LeavingTheRandomMapCreatorLeavesNoMapBehindTheMenus) {
  RealWindow w;
  ASSERT_TRUE(w.ok);
  Folders f;
  setbgscene(Scene::menu);
  render_frame(false, Scene::none);
  // A small map, made, and Exit.
  const std::string script = smallmap("400");
  setinputscript(paced(script + "waitfor 9\nclickid 9\nwaitfor 7\nclickid 999\n").c_str());
  random_map_creator_screen();
  render_frame(false, Scene::none);
  EXPECT_EQ(currentscene(), int32_t(Scene::menu));
}

TEST(NewPlayersRoad, GameSettingsOpenTheirNumberBoxesWithTheValueAndExplainEachSetting) {
  RealWindow w;
  ASSERT_TRUE(w.ok);
  Folders f;
  hofsize = 10;
  // The Hall of Fame's box opens with 10: its last digit becomes 2.
  const std::string shot = tempfile("gamesettings.ppm");
  setinputscript(paced("waitfor 5\nwait 2\nshot " + shot + "\nclickid 101\nwaitfor 3\nkey backspace\ntype 2\nkey return\nwaitfor 5\nclickid 1\n").c_str());
  ASSERT_EQ(gamesettings(2), 1);
  EXPECT_EQ(hofsize, 12);
  EXPECT_EQ(gameinfo.hofsize, 12);
  EXPECT_GT(readshot(shot).width, 0);
  dropshot(shot);
  // Every row's popup says what the setting does, with its switch.
  for (int32_t i = 0; i < nbrnewgamesettings; i++) {
    const int32_t a = findguiarea(NG_SETTING + i);
    if (newgamesettings[i].screen != 0) continue;
    ASSERT_GE(a, 0) << newgamesettings[i].label;
    const std::string info = guiinfotext(guiareaget(a).info);
    EXPECT_NE(info.find(newgamesettings[i].effect), std::string::npos) << info;
    if (newgamesettings[i].option) EXPECT_NE(info.find(newgamesettings[i].option), std::string::npos) << info;
  }
}

TEST(NewPlayersRoad, TheRandomMapCreatorsMapFillsAWideWindow) {
  RealWindow w(1280, 800);
  ASSERT_TRUE(w.ok);
  Folders f;
  const std::string shot = tempfile("rmcwide.ppm");
  // A wide map (640 x 300), made, the panel hidden: shown whole in its own
  // shape, it reaches the window's sides beyond the 800 x 600 screen in the
  // middle.
  const std::string script = smallmap("640");
  setinputscript(paced(script + "waitfor 9\nclickid 9\nwaitfor 7\nkey space\nwait 3\nshot " + shot + "\nkey escape\n").c_str());
  random_map_creator_screen();
  const Shot s = readshot(shot);
  ASSERT_EQ(s.width, 1280);
  int32_t black = 0, all = 0;
  for (int32_t y = s.height / 3; y < s.height * 2 / 3; y += 4)   // beside the map's middle
    for (int32_t x = 0; x < 100; x += 4, all++) black += s.at(x, y)[0] + s.at(x, y)[1] + s.at(x, y)[2] < 30;
  EXPECT_LT(black, all / 10);
  dropshot(shot);
}
