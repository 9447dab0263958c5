// The front end in a real window, driven by scripted input: a new game from
// the Main Menu to its first turn (map, name, era, participants, gods,
// settings), the god designer's live points and refusals, saving and
// loading designs, and preferences written at once.
// VEY3_KEEPSHOTS=1 keeps the pictures ($TMPDIR/vey3shots_*/*.ppm) that the
// README shows.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cstring>
#include <filesystem>
#include <string>

#include "frontend/frontendwindow.h"
#include "ai/design.h"
#include "ai/randgod.h"
#include "frontend/frontend.h"
#include "gamefiles/gamefiles.h"
#include "gfx/dialogwindow.h"
#include "gfx/xwindow.h"
#include "mapview/mapview.h"
#include "runtime/folders.h"
#include "runtime/options.h"
#include "runtime/settings.h"
#include "screens/ingame.h"
#include "support/pacedscript.h"
#include "world/gamedata.h"
#include "world/world.h"
#include "worldgen/gamesetup.h"
#include "worldgen/worldgen.h"

using frontendtest::Folders;

namespace {
int32_t controllerof(int32_t k) { return kingdom[size_t(k)].w[KW_CONTROLLER]; }
}  // namespace

TEST(FrontEnd, NewGameFromTheMainMenuToItsFirstTurn) {
  RealWindow w;
  ASSERT_TRUE(w.ok);
  Folders f;
  const std::string menushot = tempfile("mainmenu.ppm"), participantsshot = tempfile("participants.ppm"),
                    designershot = tempfile("designer.ppm");
  // Nations 0 and 1 (early era) by humans, nation 2 by an easy computer
  // player and one more drawn at random; nation 0 takes a random god,
  // nation 1 designs its own with a password.
  const std::string script =
      "waitfor 6\nwait 30\nshot " + menushot + "\nclickid 1\n"
      "waitfor 1000\nclickid 1000\n"            // the map chooser: Veyrmark
      "waitfor 999\nclickid 999\n"              // its information: Ok
      "waitfor 3\ntype westmarch\nkey return\n" // the game's name
      "waitfor 12\nclickid 11\n"                // the early era
      "waitfor 1001\nclickid 1000\nclickid 1001\nclickid 1002\nclickid 1002\n"
      "clickid 3\nmove 790 10\nwait 3\nshot " + participantsshot + "\nclickid 1\n"
      "waitfor 23\nclickid 23\nwaitfor 130\nclickid 1\n"          // nation 0: a random god, Done
      "waitfor 21\nclickid 21\nwaitfor 130\n"                      // nation 1: designs its god
      "clickid 105\nclickid 105\nclickid 131\nclickid 120\nclickid 7\nwaitfor 3\ntype hidden\nkey return\n"
      "waitfor 130\nmove 790 10\nwait 3\nshot " + designershot + "\nclickid 1\n"
      "waitfor 5\nclickid 1\n"                                     // the settings: create the world
      "waitfor 999\nclickid 999\n"                                 // its nations: Exit
      "waitfor 6\nclickid 6\n";                                    // and Quit
  setinputscript(paced(script).c_str());
  mainmenu();

  EXPECT_TRUE(fileexists("%s/westmarch/ftherlnd", savepath));
  // The world as the new game wrote it (its nation list has read others since).
  clearworld();
  int32_t worldturn = 0;
  ASSERT_EQ(loadworldfile("westmarch", 0, &worldturn), 1);
  ASSERT_TRUE(readfileheader("westmarch", 0, -1, 1, 1, &worldturn, password[1], nullptr, nullptr));
  EXPECT_EQ(gameinfo.era, 1);
  int32_t humans = 0, computers = 0;
  for (int32_t k = 0; k < MAXPLAYERS; k++) {
    humans += controllerof(k) == CTRL_HUMAN;
    computers += controllerof(k) == CTRL_AI;
  }
  EXPECT_EQ(humans, 2);
  EXPECT_EQ(computers, 2);
  EXPECT_EQ(controllerof(2), CTRL_AI);
  EXPECT_EQ(kingdom[2].w[KW_AILEVEL], 1);
  // The human nations have their turn files and their gods as designed.
  for (int32_t k : {0, 1}) EXPECT_TRUE(fileexists("%s/westmarch/%s.trn", savepath, nations[size_t(k)].fileword));
  EXPECT_STREQ(password[1], "hidden");
  const int32_t god = kingdom[1].w[KW_GOD];
  ASSERT_GE(god, 0);
  GodDesign first = newdesign(1);
  EXPECT_EQ(com[size_t(god)].path[P_DEATH], first.path[P_DEATH] + 2);
  EXPECT_EQ(com[size_t(god)].veyvalue, 2);
  EXPECT_EQ(fg(1, -1), 0);

  // The pictures: the menu and both screens are drawn, with text.
  for (const std::string& shot : {menushot, participantsshot, designershot}) {
    Shot s = readshot(shot);
    ASSERT_GT(s.width, 0) << shot;
    EXPECT_GT(pixelslike(s, {200, 60, 400, 480}, 255, 255, 255, 60), 300) << shot;
    dropshot(shot);
  }
}

TEST(FrontEnd, EscapeBacksOutOfEveryNewGameScreenWithoutAGame) {
  RealWindow w;
  ASSERT_TRUE(w.ok);
  Folders f;
  // Up to the settings, a god kept for the game on the way, then Escape
  // back to the Main Menu screen by screen.
  const std::string script =
      "waitfor 6\nclickid 1\nwaitfor 1000\nclickid 1000\nwaitfor 999\nclickid 999\n"
      "waitfor 3\nkey escape\n"                             // the name: back to the maps
      "waitfor 1000\nclickid 1000\nwaitfor 999\nclickid 999\n"
      "waitfor 3\ntype lost\nkey return\nwaitfor 12\nclickid 11\n"
      "waitfor 1001\nclickid 1000\nclickid 1\n"
      "waitfor 23\nclickid 21\nwaitfor 130\nkey escape\n"   // the designer, left
      "waitfor 23\nkey escape\n"                            // the god's screen: back
      "waitfor 1001\nclickid 1\n"                           // the participants again
      "waitfor 23\nclickid 23\nwaitfor 130\nclickid 1\n"    // a random god, kept
      "waitfor 5\nkey escape\n"                             // the settings
      "waitfor 24\nkey escape\n"                            // the god, kept
      "waitfor 1001\nkey escape\n"                          // the participants
      "waitfor 12\nkey escape\n"                            // the era
      "waitfor 1000\nkey escape\n"                          // the map chooser
      "waitfor 6\nclickid 6\n";
  setinputscript(paced(script).c_str());
  mainmenu();
  EXPECT_FALSE(direxists("%s/lost", savepath));
}

TEST(FrontEnd, DesignerCountsPointsRefusesTooMuchAndKeepsDesigns) {
  RealWindow w;
  ASSERT_TRUE(w.ok);
  Folders f;
  GodDesign d = newdesign(0);
  strlcopy(d.name, "Orun", 36);
  const int32_t base = designcost(d);
  // Fire up six levels and Water up nine (no further than nine): too costly
  // for Done; Water back down to nothing, Done.
  const int32_t fire = d.path[P_FIRE] + 6;
  std::string script = "waitfor 130\n";
  for (int32_t i = 0; i < 10; i++) script += std::string(i < 6 ? "clickid 100\n" : "") + "clickid 102\n";
  script += "clickid 1\nwait 3\nkey return\nwaitfor 130\n";
  for (int32_t i = 0; i < 9; i++) script += "clickid 112\n";
  script += "clickid 1\n";
  setinputscript(paced(script).c_str());
  ASSERT_EQ(godesigner(d, 0), 1);
  // The last row (Random god .. Cancel) stands clear of the frame below it.
  const guirect shown = guishownwindow();
  float lowest = 1e9f;
  for (int32_t i = 0; i < guiareacount(); i++)
    if (guiareaget(i).kind == AreaKind::text) lowest = std::min(lowest, guiareaget(i).y - shown.y);
  EXPECT_GE(lowest, 20.0f);
  EXPECT_EQ(d.path[P_FIRE], fire);
  EXPECT_EQ(d.path[P_WATER], newdesign(0).path[P_WATER]);
  EXPECT_EQ(designcost(d), base + pathcost(d.form, P_FIRE, fire));
  EXPECT_STREQ(designproblem(d, DESIGNPOINTS), "");

  // With files: saved into the nation's designs, and loaded back.
  d.path[P_FIRE] = uint8_t(basepath(d.form, P_FIRE));
  setinputscript(paced("waitfor 130\nclickid 4\nwait 3\nkey return\nwaitfor 130\nclickid 2\n").c_str());
  EXPECT_EQ(godesigner(d, 1), 0);
  EXPECT_TRUE(fileexists("%s/newlords/%s_0.2h", savepath, nations[0].fileword));
  GodDesign other = newdesign(0);
  setinputscript(paced("waitfor 130\nclickid 5\nwaitfor 3000\nclickid 3000\nwaitfor 130\nclickid 1\n").c_str());
  ASSERT_EQ(godesigner(other, 1), 1);
  EXPECT_STREQ(other.name, "Orun");
}

TEST(FrontEnd, PreferencesAreWrittenAtOnce) {
  RealWindow w;
  ASSERT_TRUE(w.ok);
  Folders f;
  wheelzoom = 1;
  // The map's wheel zoom (the 17th preference) off, then back. Opening the
  // preferences chose the window opacity, which is written with it.
  setinputscript(paced("waitfor 999\nclickid 17\nclickid 999\n").c_str());
  preferences();
  char path[PATHLEN];
  configpath(path);
  ASSERT_TRUE(fileexists("%s", path));
  resetsettings();
  loadconfig();
  EXPECT_EQ(wheelzoom, 0);
  EXPECT_EQ(guiopacity, 85);
  // A folder that cannot hold the file: the message, and the game goes on.
  strlcopy(confpath, (f.root + "/conf/vey3config/sub").c_str(), PATHLEN);
  setinputscript(paced("waitfor 999\nclickid 17\nwait 3\nkey return\nwaitfor 999\nclickid 999\n").c_str());
  preferences();
  EXPECT_EQ(wheelzoom, 1);
}

TEST(FrontEnd, InGameMenuQuitsWithOrWithoutTheOrders) {
  RealWindow w;
  ASSERT_TRUE(w.ok);
  Folders f;
  ASSERT_EQ(frontendtest::makecomputergame("menus"), 1);
  const int32_t number = gameinfo.gamenbr;
  auto orders = [] { return fileexists("%s/menus/%s.2h", savepath, nations[0].fileword) != 0; };
  // Back: nothing happens.
  setinputscript(paced("waitfor 999\nclickid 999\n").c_str());
  EXPECT_EQ(gamesettingsmenu(0, "menus", 1, number), 0);
  EXPECT_FALSE(orders());
  EXPECT_EQ(quitprogram, 0);
  // Quit without saving: asked, and no orders written.
  setinputscript(paced("waitfor 5\nclickid 5\nwaitfor 6\nclickid 6\n").c_str());
  EXPECT_EQ(gamesettingsmenu(0, "menus", 1, number), 1);
  EXPECT_EQ(quitprogram, 1);
  EXPECT_FALSE(orders());
  // Save and quit: the order file of the turn.
  quitprogram = 0;
  setinputscript(paced("waitfor 4\nclickid 4\n").c_str());
  EXPECT_EQ(gamesettingsmenu(0, "menus", 1, number), 1);
  EXPECT_EQ(quitprogram, 1);
  EXPECT_TRUE(orders());
  int32_t turn = 0;
  char pass[50];
  EXPECT_TRUE(readfileheader("menus", number, -1, 0, 0, &turn, pass, nullptr, nullptr) != nullptr);
  EXPECT_EQ(turn, 1);
  // The nation handed to the computer: asked, then its orders say so.
  quitprogram = 0;
  kingdom[0].w[KW_CONTROLLER] = CTRL_HUMAN;
  remove((std::string(savepath) + "/menus/" + nations[0].fileword + ".2h").c_str());
  setinputscript(paced("waitfor 3\nclickid 3\nwaitfor 6\nclickid 6\n").c_str());
  EXPECT_EQ(gamesettingsmenu(0, "menus", 1, number), 1);
  EXPECT_EQ(quitprogram, 1);
  ASSERT_TRUE(orders());
  kingdom[0].w[KW_CONTROLLER] = CTRL_HUMAN;
  UniqueFile file = readfileheader("menus", number, -1, 0, 0, &turn, pass, nullptr, nullptr);
  ASSERT_TRUE(file != nullptr);
  get2hdata(0, file.get(), 0);
  EXPECT_EQ(controllerof(0), CTRL_AI);
}
