#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

#include "mods/mods.h"
#include "runtime/folders.h"
#include "runtime/util.h"
#include "support/testdir.h"

namespace {
struct ModList : testing::Test {
  void SetUp() override { clearenabledmods(); }
  void TearDown() override { clearenabledmods(); }
};
}  // namespace

TEST_F(ModList, EnablesEachNameOnceInOrder) {
  EXPECT_EQ(enabledmodlist.last, -1);
  enablemod("b.dm");
  enablemod("a.dm");
  enablemod("b.dm");
  ASSERT_EQ(enabledmodlist.last, 1);
  EXPECT_STREQ(enabledmodlist.names[0], "b.dm");
  EXPECT_STREQ(enabledmodlist.names[1], "a.dm");
  clearenabledmods();
  EXPECT_EQ(enabledmodlist.last, -1);
}

TEST_F(ModList, HoldsAtMost200Names) {
  for (int i = 0; i < 205; i++) enablemod(("mod" + std::to_string(i) + ".dm").c_str());
  EXPECT_EQ(enabledmodlist.last, MAXMODS - 1);
  EXPECT_STREQ(enabledmodlist.names[199], "mod199.dm");
}

TEST_F(ModList, NamesThatCannotBePathsAreRefused) {
  std::string longest(MODNAMELEN - 1, 'n');
  EXPECT_EQ(validmodname(longest.c_str()), 1);
  EXPECT_EQ(validmodname("sub/dir.dm"), 1);
  for (std::string bad : {std::string(""), std::string(MODNAMELEN, 'n'), std::string("../x.dm"),
                          std::string("a/../b.dm"), std::string("/etc/x.dm"), std::string("tab\t.dm"),
                          std::string("del\x7f.dm")}) {
    EXPECT_EQ(validmodname(bad.c_str()), 0) << bad;
    enablemod(bad.c_str());
  }
  EXPECT_EQ(validmodname(nullptr), 0);
  EXPECT_EQ(enabledmodlist.last, -1);
}

TEST(RuleConstants, Defaults) {
  poppergold = resourcemult = supplymult = unresthalfinc = unresthalfres = eventisrare = -7;
  turmoilincome = turmoilevents = deathincome = deathsupply = deathdeath = slothincome = -7;
  slothresources = coldincome = coldsupply = misfortune = luckevents = researchscale = -7;
  defaultgeneral();
  const int32_t got[] = {poppergold,    resourcemult, supplymult,  unresthalfinc,  unresthalfres, eventisrare,
                         turmoilincome, turmoilevents, deathincome, deathsupply,   deathdeath,    slothincome,
                         slothresources, coldincome,   coldsupply,  misfortune,    luckevents,    researchscale};
  const int32_t expected[] = {100, 100, 100, 50, 100, 15, 7, 5, 2, 15, 2, 2, 15, 5, 10, 13, 5, 2};
  for (size_t i = 0; i < std::size(got); i++) EXPECT_EQ(got[i], expected[i]) << i;
}

TEST_F(ModList, OnlyRegularFilesOfTheModFolderAreMods) {
  TestDir dir;
  const char* folder = dir.path.c_str();
  char saved[PATHLEN];
  strlcopy(saved, modpath, PATHLEN);
  strlcopy(modpath, folder, PATHLEN);
  savetextfile((std::string(folder) + "/real.dm").c_str(), "#modname \"real\"\n");
  ASSERT_EQ(mkdirs((std::string(folder) + "/sub.dm").c_str()), 1);
  EXPECT_EQ(modfileexists("real.dm"), 1);
  EXPECT_EQ(modfileexists("missing.dm"), 0);
  EXPECT_EQ(modfileexists("."), 0);        // the mod folder itself
  EXPECT_EQ(modfileexists("sub.dm"), 0);   // a folder with a mod's name
  EXPECT_EQ(modfileexists("../real.dm"), 0);
  remove((std::string(folder) + "/real.dm").c_str());
  remove((std::string(folder) + "/sub.dm").c_str());
  remove(folder);
  strlcopy(modpath, saved, PATHLEN);
}

TEST(ModFolder, TheReadmesNameTheFolderThatThePlayersProgramReads) {
  // Without VEY3_CONF and VEY3_MODS the mods folder lies under the home folder.
  TestDir dir;
  const std::string home = dir / "modhome";
  const char* names[] = {"HOME", "VEY3_CONF", "VEY3_MODS"};
  std::string saved[3];
  bool had[3];
  for (int i = 0; i < 3; i++) {
    const char* v = getenv(names[i]);
    had[i] = v != nullptr;
    saved[i] = v ? v : "";
  }
  setenv("HOME", home.c_str(), 1);
  unsetenv("VEY3_CONF");
  unsetenv("VEY3_MODS");
  char* const paths[] = {datapath, temppath, confpath, savepath, mappath, localmappath, modpath};
  char keep[7][PATHLEN];
  for (int i = 0; i < 7; i++) strlcopy(keep[i], paths[i], PATHLEN);
  initpaths();
  const std::string folder = modpath;
  for (int i = 0; i < 7; i++) strlcopy(paths[i], keep[i], PATHLEN);
  for (int i = 0; i < 3; i++) had[i] ? setenv(names[i], saved[i].c_str(), 1) : unsetenv(names[i]);
  ASSERT_EQ(folder.compare(0, home.size(), home), 0) << folder;
  const std::string shown = "~" + folder.substr(home.size());
  for (const char* readme : {"/README.md", "/data/mods/README.md"}) {
    std::ifstream in(std::string(VEY3_SOURCE_DIR) + readme);
    std::stringstream text;
    text << in.rdbuf();
    EXPECT_NE(text.str().find("(`" + shown), std::string::npos) << readme << " does not name " << shown;
  }
}
