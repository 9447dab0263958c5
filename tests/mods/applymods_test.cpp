#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "runtime/ask.h"
#include "runtime/folders.h"
#include "runtime/util.h"

#include "mods/mods.h"
#include "runtime/fatal.h"
#include "support/testdir.h"
#include "world/gamedata.h"
#include "world/world.h"

namespace {
class ApplyMods : public ::testing::Test {
 protected:
  void SetUp() override {
    loadgamedata();
    clearenabledmods();
    applymods();   // tables built with no mods, whatever an earlier test left
    debuglevel = 1;
  }
  void TearDown() override {
    debuglevel = 0;
    clearenabledmods();
    applymods();
  }
  // Runs applymods and returns what it logged.
  static std::string apply() {
    testing::internal::CaptureStdout();
    applymods();
    return testing::internal::GetCapturedStdout();
  }
};
}  // namespace

TEST_F(ApplyMods, RebuildsTheTablesOnlyWhenTheListChanged) {
  const int16_t rcost = weapons[1].rcost;
  weapons[1].rcost = int16_t(rcost + 7);   // a change the built-in tables do not have
  EXPECT_EQ(apply(), "");                  // same (empty) list: nothing rebuilt
  EXPECT_EQ(weapons[1].rcost, rcost + 7);

  enablemod("first.dm");
  enablemod("second.dm");
  EXPECT_EQ(apply(),
            "***** Warning: the mod first.dm cannot be read\n***** Warning: mod first.dm not applied\n"
            "***** Warning: the mod second.dm cannot be read\n***** Warning: mod second.dm not applied\n");
  EXPECT_EQ(weapons[1].rcost, rcost);      // restored

  weapons[1].rcost = int16_t(rcost + 7);
  EXPECT_EQ(apply(), "");                  // the list is the one the tables were built with
  EXPECT_EQ(weapons[1].rcost, rcost + 7);

  // Same names in another order count as another list.
  clearenabledmods();
  enablemod("second.dm");
  enablemod("first.dm");
  EXPECT_NE(apply(), "");
  EXPECT_EQ(weapons[1].rcost, rcost);

  weapons[1].rcost = int16_t(rcost + 7);
  clearenabledmods();
  EXPECT_EQ(apply(), "");                  // back to no mods: restored, nothing to warn about
  EXPECT_EQ(weapons[1].rcost, rcost);
}

TEST_F(ApplyMods, AModThatCannotBeReadWholeIsNamedAndLeftOutAndTheOthersAreUsed) {
  TestDir dir;
  const std::string folder = dir.path;
  std::filesystem::create_directories(folder + "/broken.dm");   // a folder: its reading fails
  savetextfile((folder + "/good.dm").c_str(), "#poppergold 80\n");
  char saved[PATHLEN];
  strlcopy(saved, modpath, PATHLEN);
  strlcopy(modpath, folder.c_str(), PATHLEN);
  const std::string said = folder + "/said.txt";
  setdialogoutput(fopen(said.c_str(), "w"));
  enablemod("broken.dm");
  enablemod("good.dm");
  enablemod("missing.dm");   // a missing mod is the game's to name
  apply();
  fclose(dialogoutput());
  setdialogoutput(nullptr);
  strlcopy(modpath, saved, PATHLEN);
  EXPECT_EQ(poppergold, 80);
  std::ifstream in(said);
  const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  EXPECT_NE(text.find("The mod broken.dm is not used: "), std::string::npos) << text;
  EXPECT_EQ(text.find("missing.dm"), std::string::npos) << text;
  EXPECT_EQ(text.find("good.dm"), std::string::npos) << text;
  std::filesystem::remove_all(folder);
}

TEST(EnabledModsToGameInfo, CopiesTheNamesWithVersionZero) {
  clearenabledmods();
  gameinfo.modcount = 5;
  EnabledMods2GameInfo();
  EXPECT_EQ(gameinfo.modcount, -1);

  gameinfo.mods[1].version[0] = 3;   // left from an earlier game
  gameinfo.mods[1].value[1] = 8;
  enablemod("a.dm");
  enablemod("b.dm");
  EnabledMods2GameInfo();
  ASSERT_EQ(gameinfo.modcount, 1);
  EXPECT_STREQ(gameinfo.mods[0].name, "a.dm");
  EXPECT_STREQ(gameinfo.mods[1].name, "b.dm");
  EXPECT_EQ(gameinfo.mods[1].version[0], 0);
  EXPECT_EQ(gameinfo.mods[1].value[1], 0);

  clearenabledmods();
  const std::string longname(99, 'x');
  for (int i = 0; i < MAXMODS; i++) enablemod((std::to_string(i) + longname).substr(0, 99).c_str());
  EnabledMods2GameInfo();
  ASSERT_EQ(gameinfo.modcount, 199);
  EXPECT_EQ(std::string(gameinfo.mods[199].name), ("199" + longname).substr(0, 99));

  // A list whose count was damaged never runs past the table.
  enabledmodlist.last = 500;
  EnabledMods2GameInfo();
  EXPECT_EQ(gameinfo.modcount, 199);
  clearenabledmods();
}
