#include <gtest/gtest.h>

#include <pwd.h>

#include <cstring>
#include <memory>

#include "runtime/fatal.h"
#include "runtime/folders.h"
#include "runtime/util.h"
#include "support/process.h"
#include "world/startup.h"

namespace {
const std::string fixed = "N\xE5got gick fel!\n";

// A private home and working folder with none of the program's variables set.
struct Sandbox {
  TestDir dir;
  std::string home = dir / "home";
  std::string work = dir / "work";
  std::vector<std::unique_ptr<EnvVar>> vars;
  char oldcwd[PATHLEN] = {};
  Sandbox() {
    mkdir(home.c_str(), 0755);
    mkdir(work.c_str(), 0755);
    vars.push_back(std::make_unique<EnvVar>("HOME", home.c_str()));
    for (const char* name : {"VEY3_DATA", "VEY3_CONF", "VEY3_SAVE", "VEY3_MAPS", "VEY3_LOCALMAPS", "VEY3_MODS",
                             "VEY3_TEMP", "TEMP", "TMP"})
      vars.push_back(std::make_unique<EnvVar>(name, nullptr));
    EXPECT_TRUE(getcwd(oldcwd, sizeof oldcwd));
    EXPECT_EQ(chdir(work.c_str()), 0);
  }
  ~Sandbox() { EXPECT_EQ(chdir(oldcwd), 0); }
  void set(const char* name, const std::string& value) { vars.push_back(std::make_unique<EnvVar>(name, value.c_str())); }
};

std::string expanded(const char* path, int32_t size = PATHLEN) {
  char buffer[PATHLEN];
  strlcopy(buffer, path, PATHLEN);
  expandpath(buffer, size);
  return buffer;
}

bool systemdatafolder() { return exists("/usr/local/games/veyrances3/army.trs"); }
}  // namespace

TEST(Folders, ExpandPath) {
  Sandbox box;
  EnvVar games("GAMES", "/opt");
  EXPECT_EQ(expanded("%GAMES%/data/"), "/opt/data");
  EXPECT_EQ(expanded("%GAMES%"), "/opt");
  EXPECT_EQ(expanded("%NOCLOSE/x"), "%NOCLOSE/x");
  EXPECT_EQ(expanded("~"), box.home);
  EXPECT_EQ(expanded("~/"), box.home);
  EXPECT_EQ(expanded("~/x//"), box.home + "/x");
  EXPECT_EQ(expanded("~x"), "~x");
  EXPECT_EQ(expanded("/"), "/");
  EXPECT_EQ(expanded("a\\"), "a");
  EXPECT_EQ(expanded("relative/path"), "relative/path");
  EnvVar unset("GAMES", nullptr);
  testing::internal::CaptureStdout();
  EXPECT_EQ(expanded("%GAMES%/data/"), "./data");
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "env var 'GAMES' not found\n");
  // Both expansions are cut to the buffer.
  EXPECT_EQ(expanded("~/abcdef", 8), box.home.substr(0, 7));
  EnvVar longer("LONG", std::string(3000, 'l').c_str());
  EXPECT_EQ(expanded("%LONG%/x").size(), size_t(PATHLEN - 1));
}

// Without HOME the home folder is the user's in the password database; a
// user without one is refused, and no folder named "~" is ever made.
TEST(Folders, WithoutHomeThePasswordDatabaseOrARefusal) {
  Sandbox box;
  EnvVar nohome("HOME", nullptr);
  const std::string home = getpwuid(getuid())->pw_dir;
  EXPECT_EQ(expanded("~/x"), home + "/x");
  initpaths();
  EXPECT_EQ(std::string(confpath), home + "/veyrances3");
  if (geteuid() != 0) GTEST_SKIP() << "only root can become a user that the password database does not name";
  Ended e = runchild([] {
    if (setuid(54321) != 0 || getpwuid(54321)) _exit(90);
    initpaths();
    exit(0);
  });
  EXPECT_TRUE(e.exited);
  EXPECT_EQ(e.code, 1) << e.out;
  EXPECT_NE(e.out.find("No home folder is known for the settings folder: HOME is not set"), std::string::npos) << e.out;
  EXPECT_FALSE(exists(box.work + "/~"));
}

TEST(Folders, MakeDirectories) {
  Sandbox box;
  EXPECT_EQ(mkdirs("one/two/three"), 1);
  EXPECT_TRUE(std::filesystem::is_directory(box.work + "/one/two/three"));
  EXPECT_EQ(mkdirs("one/two/three"), 0);
  EXPECT_EQ(mkdirs("one"), 0);
  EXPECT_EQ(mkdirs((box.dir / "abs/a/b/").c_str()), 1);
  EXPECT_TRUE(std::filesystem::is_directory(box.dir / "abs/a/b"));
  writetext("plainfile", "x");
  EXPECT_EQ(mkdirs("plainfile/sub"), -1);
  EXPECT_EQ(mkdirs("plainfile"), -1);
}

TEST(Folders, InstallLocationFileInHome) {
  if (exists("/usr/local/.install_locations/veyrances3")) GTEST_SKIP() << "a system install-location file exists";
  Sandbox box;
  char destination[PATHLEN] = "unchanged";
  EXPECT_EQ(readinstalllocation(PRODUCTWORD, destination), 0);
  EXPECT_STREQ(destination, "unchanged");
  mkdir((box.home + "/.install_locations").c_str(), 0755);
  writetext(box.home + "/.install_locations/veyrances3", "/srv/vey3 data\r\nsecond line\r\n");
  EXPECT_EQ(readinstalllocation(PRODUCTWORD, destination), 1);
  EXPECT_STREQ(destination, "/srv/vey3 data\r\nsecond line");
  writetext(box.home + "/.install_locations/veyrances3", "/srv/vey3\r\n");
  EXPECT_EQ(readinstalllocation(PRODUCTWORD, destination), 1);
  EXPECT_STREQ(destination, "/srv/vey3");
  EnvVar nohome("HOME", nullptr);
  EXPECT_EQ(readinstalllocation(PRODUCTWORD, destination), 0);
}

TEST(Folders, DefaultsUnderTheHomeFolder) {
  if (systemdatafolder() || exists("/usr/local/.install_locations/veyrances3")) GTEST_SKIP();
  Sandbox box;
  initpaths();
  EXPECT_STREQ(datapath, ".");
  EXPECT_EQ(std::string(confpath), box.home + "/veyrances3");
  EXPECT_EQ(std::string(savepath), box.home + "/veyrances3/savedgames");
  EXPECT_STREQ(mappath, "./maps");
  EXPECT_EQ(std::string(localmappath), box.home + "/veyrances3/maps");
  EXPECT_EQ(std::string(modpath), box.home + "/veyrances3/mods");
  const std::string base = "/tmp/veyrances3_" + std::to_string(getuid());
  EXPECT_EQ(std::string(tempbase), base);
  EXPECT_EQ(std::string(temppath), base + "/vey3-" + std::to_string(getpid()));
  EXPECT_FALSE(exists(temppath));
  EXPECT_FALSE(exists(box.home + "/veyrances3"));   // nothing is created here
}

TEST(Folders, EnvironmentVariables) {
  Sandbox box;
  box.set("VEY3_CONF", "~/x/");
  box.set("VEY3_DATA", box.dir / "data//");
  box.set("VEY3_TEMP", box.dir / "temp");
  initpaths();
  EXPECT_EQ(std::string(confpath), box.home + "/x");
  EXPECT_EQ(std::string(savepath), box.home + "/x/savedgames");
  EXPECT_EQ(std::string(localmappath), box.home + "/x/maps");
  EXPECT_EQ(std::string(modpath), box.home + "/x/mods");
  if (!systemdatafolder()) {
    EXPECT_EQ(std::string(datapath), box.dir / "data");
    EXPECT_EQ(std::string(mappath), box.dir / "data/maps");
  }
  EXPECT_EQ(std::string(tempbase), box.dir / "temp");
  EXPECT_EQ(std::string(temppath), box.dir / ("temp/vey3-" + std::to_string(getpid())));
  box.set("VEY3_SAVE", "/s");
  box.set("VEY3_MAPS", "/m");
  box.set("VEY3_LOCALMAPS", "/l");
  box.set("VEY3_MODS", "/d");
  box.set("TEMP", "/ignored");
  initpaths();
  EXPECT_STREQ(savepath, "/s");
  EXPECT_STREQ(mappath, "/m");
  EXPECT_STREQ(localmappath, "/l");
  EXPECT_STREQ(modpath, "/d");
  box.set("VEY3_CONF", std::string(2500, 'c'));   // copied at most 1999 characters
  initpaths();
  EXPECT_EQ(strlen(confpath), 1999u);
}

TEST(Folders, DataFolderSearch) {
  if (systemdatafolder()) GTEST_SKIP();
  Sandbox box;
  box.set("VEY3_DATA", box.dir / "nodata");
  initpaths();
  EXPECT_EQ(std::string(datapath), box.dir / "nodata");   // kept when nothing is found
  writetext("army.trs", "TCS");
  initpaths();
  EXPECT_STREQ(datapath, ".");
  mkdir((box.home + "/veyrances3").c_str(), 0755);
  writetext(box.home + "/veyrances3/army.trs", "TCS");
  initpaths();
  EXPECT_EQ(std::string(datapath), box.home + "/veyrances3");   // the later hit wins
  mkdir((box.dir / "nodata").c_str(), 0755);
  writetext(box.dir / "nodata/army.trs", "TCS");
  initpaths();
  EXPECT_EQ(std::string(datapath), box.dir / "nodata");   // a recognised folder is kept
}

TEST(Folders, ModFolderIsMadeWhenMissing) {
  Sandbox box;
  strlcopy(modpath, (box.dir / "conf/mods").c_str(), PATHLEN);
  debuglevel = 1;
  testing::internal::CaptureStdout();
  makemoddir();
  makemoddir();
  std::string out = testing::internal::GetCapturedStdout();
  debuglevel = 0;
  EXPECT_TRUE(std::filesystem::is_directory(box.dir / "conf/mods"));
  EXPECT_EQ(out, "Creating mod directory '" + (box.dir / "conf/mods") + "'\n");
  writetext(box.dir / "file", "x");
  strlcopy(modpath, (box.dir / "file/mods").c_str(), PATHLEN);
  debuglevel = 1;
  testing::internal::CaptureStdout();
  makemoddir();   // failure is only logged
  out = testing::internal::GetCapturedStdout();
  debuglevel = 0;
  EXPECT_NE(out.find("Failed to create mod directory"), std::string::npos);
}

namespace {
// The temp folder shared by programs, and this process's folder in it.
void usetemp(const std::string& base) {
  strlcopy(tempbase, base.c_str(), PATHLEN);
  formatbounded(temppath, PATHLEN, "%s/vey3-%d", tempbase, int(getpid()));
  tempcreated = 0;
  tempbasedefault = 0;
}
}  // namespace

TEST(GeneralInit, MakesTheSavedGamesAndTempFolders) {
  Sandbox box;
  strlcopy(savepath, (box.dir / "conf/savedgames").c_str(), PATHLEN);
  usetemp(box.dir / "tmp/veyrances3_1");
  // A folder of this pid was left by an earlier program of the same pid.
  mkdirs(temppath);
  writetext(std::string(temppath) + "/tmp_fl", "an older program's");
  general_init();
  EXPECT_TRUE(std::filesystem::is_directory(savepath));
  EXPECT_TRUE(std::filesystem::is_directory(temppath));
  EXPECT_FALSE(exists(std::string(temppath) + "/tmp_fl"));
  EXPECT_EQ(tempcreated, 1);
  removetmpfiles();
  tempcreated = 0;
  EXPECT_FALSE(exists(temppath));
  EXPECT_TRUE(exists(tempbase));
}

TEST(GeneralInit, ATempFolderThatCannotBeMadeIsNamed) {
  Sandbox box;
  strlcopy(savepath, (box.dir / "saves").c_str(), PATHLEN);
  writetext(box.dir / "afile", "x");
  usetemp(box.dir / "afile");
  Ended file = runchild([] { general_init(); });
  EXPECT_TRUE(file.aborted());
  EXPECT_EQ(file.err, fixed + "Failed to create temp directory properly (unknown reason): " + (box.dir / "afile") +
                          ": a part of its path is a file, not a folder\n");
}

TEST(GeneralInit, TempFolderWeMadeIsRemovedAtEveryEnd) {
  Sandbox box;
  strlcopy(savepath, (box.dir / "saves").c_str(), PATHLEN);
  const std::string base = box.dir / "shared";
  usetemp(base);
  Ended e = runchild([&] {
    general_init();
    writetext(std::string(temppath) + "/tmp_fl", "forces set aside");
    exit(0);
  });
  EXPECT_TRUE(e.exited);
  EXPECT_TRUE(std::filesystem::is_directory(base));
  EXPECT_TRUE(std::filesystem::is_empty(base));
}

TEST(GameNames, Validity) {
  EXPECT_EQ(validgamename("Ulm_vs-Pyth3"), 1);
  EXPECT_EQ(validgamename(std::string(99, 'a').c_str()), 1);
  EXPECT_EQ(validgamename(std::string(100, 'a').c_str()), 0);
  for (const char* bad : {"", ".", "..", "NewLords", "maps", "MODS", "log", "doc", "debug", "rawsound", "battlemaps",
                          "a b", "a/b", "../x", "x.map", "\xE5"})
    EXPECT_EQ(validgamename(bad), 0) << bad;
  EXPECT_EQ(validgamename(nullptr), 0);
}
