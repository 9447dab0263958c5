// Mods in play: a mod from the mod folder changes a unit type that the rules
// and a game created with it see; the game remembers it, says which mod is
// missing when it is gone, and the built-in tables come back when the mod
// is disabled.
#include "support/mapfixture.h"

#include <string>

#include "gamedata_ids.h"
#include "gamefiles/gamefiles.h"
#include "host/host.h"
#include "mods/mods.h"
#include "runtime/ask.h"
#include "runtime/fatal.h"
#include "support/dialogscript.h"
#include "world/rules.h"
#include "world/magic.h"
#include "world/ruleconstants.h"
#include "world/units.h"

namespace {

class ModGame : public ShippedMapFolders {
 protected:
  void SetUp() override {
    ShippedMapFolders::SetUp();
    mkdirs((root + "/mods").c_str());
    strlcopy(modpath, (root + "/mods").c_str(), PATHLEN);
    mkdirs((root + "/temp").c_str());
    strlcopy(temppath, (root + "/temp").c_str(), PATHLEN);
    clearenabledmods();
    applymods();
  }
  void TearDown() override {
    clearenabledmods();
    applymods();
    ShippedMapFolders::TearDown();
  }
  void writemod(const char* name, const std::string& text) { writetext(root + "/mods/" + name, text); }
};

TEST_F(ModGame, AModChangesAUnitTypeForTheRulesAndForAGameCreatedWithIt) {
  const int32_t hi = MON_HEAVY_INFANTRY_38;
  const int16_t builtin = unittypes[hi].hp;
  writemod("tough.dm", "#modname \"Tough Infantry\"\n#version 2.03\n#selectmonster 38\n#hp 40\n#end\n#coldincome 9\n");
  enablemod("tough.dm");
  applymods();
  EXPECT_EQ(unittypes[hi].hp, 40);
  EXPECT_EQ(coldincome, 9);
  const int32_t u = newunit(hi, 0, 0);
  ASSERT_GE(u, 0);
  EXPECT_EQ(getmaxhp(u), 40);   // the rules read the modded row
  // A game created now remembers the mod and its version.
  strlcopy(mapfile, "testvale.map", sizeof mapfile);
  eraoption = 1;
  nationcontrol[0] = nationcontrol[1] = 21;
  ASSERT_EQ(createnewgame("modded", 0, nullptr), 1);
  EXPECT_EQ(gameinfo.modcount, 0);
  EXPECT_STREQ(gameinfo.mods[0].name, "tough.dm");
  EXPECT_EQ(gameinfo.mods[0].version[0], 2);
  EXPECT_EQ(gameinfo.mods[0].version[1], 3);

  // Disabled: the built-in tables and constants are back.
  clearenabledmods();
  applymods();
  EXPECT_EQ(unittypes[hi].hp, builtin);
  EXPECT_EQ(coldincome, 5);

  // Opening the game enables its mods again.
  clearworld();
  int32_t t = 0;
  ASSERT_EQ(loadworldfile("modded", 0, &t), 1);
  EXPECT_EQ(ConfirmGameInfoMods(), 1);
  EnableGameInfoMods();
  applymods();
  EXPECT_EQ(unittypes[hi].hp, 40);

  // Without the file it says which mod is missing and does not open.
  ASSERT_EQ(remove((root + "/mods/tough.dm").c_str()), 0);
  DialogScript answers("\n");
  EXPECT_EQ(ConfirmGameInfoMods(), 0);
  EXPECT_NE(answers.printed().find("tough.dm"), std::string::npos);
  // A folder in its place is named as such, and the game does not open.
  ASSERT_EQ(mkdir((root + "/mods/tough.dm").c_str(), 0755), 0);
  DialogScript folder("\n");
  EXPECT_EQ(ConfirmGameInfoMods(), 0);
  EXPECT_NE(folder.printed().find("tough.dm, which cannot be read: it is a folder, not a file"), std::string::npos)
      << folder.printed();
  ASSERT_EQ(rmdir((root + "/mods/tough.dm").c_str()), 0);
  // Nor is it hosted: the turn stays where it was.
  EXPECT_EQ(newturn("modded", -1), 0);
  clearworld();
  ASSERT_EQ(loadworldfile("modded", 0, &t), 1);
  EXPECT_EQ(t, 1);
  // A name that would leave the mod folder is refused the same way.
  strlcopy(gameinfo.mods[0].name, "../../etc/passwd", 100);
  EXPECT_EQ(ConfirmGameInfoMods(), 0);
}

TEST_F(ModGame, TheModFolderListsModsWithTheirOwnNames) {
  writemod("b.dm", "#modname \"Second\"\n");
  writemod("a.dm", "#modname \"First\"\n#description \"The first mod.\"\n#version 1.10\n#selectmonster 999999\n");
  writetext(root + "/mods/notes.txt", "not a mod");
  mkdirs((root + "/mods/folder.dm").c_str());
  const std::vector<std::string> files = listmodfiles();
  ASSERT_EQ(files.size(), 2u);
  EXPECT_EQ(files[0], "a.dm");
  ModInfo info;
  ASSERT_EQ(readmodinfo("a.dm", &info), 1);
  EXPECT_STREQ(info.name, "First");
  EXPECT_STREQ(info.description, "The first mod.");
  EXPECT_EQ(info.version[1], 10);
  EXPECT_EQ(readmodinfo("gone.dm", &info), 0);
  EXPECT_EQ(loadmodfile("../a.dm", &info), -1);
  // Enabling and disabling keeps the order of the others.
  enablemod("a.dm");
  enablemod("b.dm");
  EXPECT_TRUE(modenabled("b.dm"));
  disablemod("a.dm");
  EXPECT_FALSE(modenabled("a.dm"));
  EXPECT_EQ(enabledmodlist.last, 0);
  EXPECT_STREQ(enabledmodlist.names[0], "b.dm");
}

TEST_F(ModGame, TheExampleModReadsWithoutAWarning) {
  std::string text;
  FILE* f = fopen(VEY3_SOURCE_DIR "/data/mods/longwinter.dm", "rb");
  ASSERT_NE(f, nullptr);
  char buffer[4096];
  size_t n = 0;
  while ((n = fread(buffer, 1, sizeof buffer, f)) > 0) text.append(buffer, n);
  fclose(f);
  ModInfo info;
  debuglevel = 1;
  testing::internal::CaptureStdout();
  const int32_t warnings = readmod("longwinter.dm", text.data(), text.size(), &info);
  const std::string log = testing::internal::GetCapturedStdout();
  debuglevel = 0;
  EXPECT_EQ(warnings, 0) << log;
  const int32_t giant = findunittype("Frost Giant");
  ASSERT_GT(giant, 0);
  const int32_t spell = name2spell("Call Frost Giants");
  ASSERT_GT(spell, 0);
  EXPECT_EQ(spells[size_t(spell)].damage, giant);
  EXPECT_EQ(unittypes[size_t(giant)].weapon[0], findweapon("Frost Maul"));
}

}  // namespace
