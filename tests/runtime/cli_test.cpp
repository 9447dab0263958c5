// The built program as a process: its command-line exits, the text-only
// rule and the folders it makes, each run with private folders.
#include <gtest/gtest.h>

#include <regex>
#include <sstream>

#include "runtime/settings.h"
#include "support/process.h"

namespace {
const std::string fixed = "N\xE5got gick fel!\n";
const std::string textonlymessage = "Text only mode can only be used with --tcpserver, --makemap or --host";

struct Program {
  TestDir dir;
  std::string home = dir / "home", conf = dir / "conf", save = dir / "saves", temp = dir / "temp";
  std::map<std::string, std::string> env;
  Program() {
    mkdir(home.c_str(), 0755);
    env = {{"HOME", home},        {"VEY3_CONF", conf}, {"VEY3_SAVE", save},     {"VEY3_TEMP", temp},
           {"VEY3_DATA", VEY3_DATA_DIR}, {"VEY3_MODS", ""}, {"VEY3_MAPS", ""}, {"VEY3_LOCALMAPS", ""},
           {"ASAN_OPTIONS", "detect_leaks=0"}};
  }
  Ended operator()(const std::vector<std::string>& args) { return runprogram(args, env, dir.path); }
};

std::vector<std::string> lines(const std::string& text) {
  std::vector<std::string> out;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) out.push_back(line);
  return out;
}
}  // namespace

// The usage text: its frame, each line an option in the columns of the table
// or a heading, and every option it lists is taken by the program.
TEST(CommandLine, UsageTextListsOptionsTheProgramTakes) {
  Program run;
  Ended e = run({"--help"});
  EXPECT_TRUE(e.exited);
  EXPECT_EQ(e.code, 1);
  std::vector<std::string> got = lines(e.out);
  ASSERT_GT(got.size(), 100u);
  EXPECT_EQ(got[0], "usage: vey3 [option(s)] [gamename]");
  EXPECT_EQ(got[1], "options:");
  EXPECT_NE(got.back().find("vey3 -wm"), std::string::npos) << got.back();
  const std::regex option(R"((-[A-Za-z]|  )  ((--[a-z]+)( ([A-Z]+)( [A-Z])?)?)? +(\S.*))");
  std::vector<std::string> args;
  int headings = 0;
  for (size_t i = 2; i + 1 < got.size(); i++) {
    std::smatch m;
    if (std::regex_match(got[i], std::regex(R"(\*+ [A-Za-z ]+ Options \*+)"))) {
      headings++;
      continue;
    }
    ASSERT_TRUE(std::regex_match(got[i], m, option)) << got[i];
    EXPECT_EQ(got[i].find(m[7].str()), 20u) << got[i];   // the text starts in column 21
    const std::string name = m[3].matched ? m[3].str() : m[1].str();
    if (name == "--version") continue;   // ends the program
    args.push_back(name);
    const std::string arg = m[5].str();
    const int values = arg == "RGBA" ? 4 : m[6].matched ? 2 : arg.empty() ? 0 : 1;
    for (int v = 0; v < values; v++) args.push_back(arg == "X" || arg == "RGBA" || m[6].matched ? "1" : "name");
  }
  EXPECT_EQ(headings, 5);
  // "--exit" ends the program with 15 once every option before it was taken.
  args.push_back("--exit");
  Ended all = run(args);
  EXPECT_TRUE(all.exited);
  EXPECT_EQ(all.code, 15) << all.out;
  EXPECT_EQ(run({"-h", "--version"}).out, e.out);
}

TEST(CommandLine, VersionText) {
  Program run;
  for (const char* option : {"--version", "-v"}) {
    Ended e = run({option});
    EXPECT_TRUE(e.exited);
    EXPECT_EQ(e.code, 1);
    std::vector<std::string> got = lines(e.out);
    ASSERT_EQ(got.size(), 2u) << e.out;
    EXPECT_TRUE(std::regex_match(got[0], std::regex(R"(Veyrances 3, version 3\.27 \([A-Z][a-z]{2} [ 0-9][0-9] [0-9]{4} [0-9]{2}:[0-9]{2}:[0-9]{2}\))")))
        << got[0];
    EXPECT_FALSE(got[1].empty());
  }
}

TEST(CommandLine, UnknownSwitchAndExit) {
  Program run;
  Ended e = run({"-w", "--bogus", "--help"});
  EXPECT_TRUE(e.exited);
  EXPECT_EQ(e.code, 1);
  EXPECT_EQ(e.out, "unknown switch: --bogus\n");
  EXPECT_EQ(run({"--"}).out, "unknown switch: --\n");
  Ended quit = run({"-w", "--exit"});
  EXPECT_TRUE(quit.exited);
  EXPECT_EQ(quit.code, 15);
  EXPECT_EQ(quit.out, "");
  EXPECT_EQ(quit.err, "");
}

// A settings file of another version goes at the start, without a word.
TEST(CommandLine, SettingsFileOfAnotherVersionIsDeletedAtStart) {
  Program run;
  mkdir(run.conf.c_str(), 0755);
  writebytes(run.conf + "/vey3config", {239, 0, 0, 0, 1, 0, 0, 0});
  Ended e = run({"--exit"});
  EXPECT_EQ(e.code, 15);
  EXPECT_EQ(e.out, "");
  EXPECT_FALSE(exists(run.conf + "/vey3config"));
}

// A start finishes or removes only what its own stopped writes left (named
// as they name their files, or listed in a journal): a user's file or
// folder with a name like theirs stays in every folder that it tidies.
TEST(CommandLine, AStartRemovesOnlyWhatStoppedWritesLeft) {
  Program run;
  const std::string maps = run.dir / "maps", game = run.save + "/g";
  run.env["VEY3_LOCALMAPS"] = maps;
  const pid_t gone = fork();
  if (gone == 0) _exit(0);
  waitpid(gone, nullptr, 0);
  const std::string dead = std::to_string(gone);
  std::filesystem::create_directories(run.save + "/hx-copy.new" + dead);
  writetext(run.save + "/hx-copy.new" + dead + "/ftherlnd", "the user's copy");
  std::filesystem::create_directories(game);
  std::filesystem::create_directories(maps);
  std::filesystem::create_directories(run.conf);
  const std::vector<std::string> users = {maps + "/island.new" + dead, game + "/notes.new" + dead,
                                          run.conf + "/vey3config.old.new" + dead};
  const std::vector<std::string> stopped = {maps + "/island.map.vey3.new" + dead,
                                            game + "/ftherlnd.vey3.new" + dead,
                                            run.conf + "/vey3config.vey3.new" + dead};
  for (const std::string& f : users) writetext(f, "the user's");
  for (const std::string& f : stopped) writetext(f, "half written");
  run({"--verify", "g"});
  EXPECT_EQ(readbytes(run.save + "/hx-copy.new" + dead + "/ftherlnd").size(), 15u);
  for (const std::string& f : users) EXPECT_TRUE(exists(f)) << f;
  for (const std::string& f : stopped) EXPECT_FALSE(exists(f)) << f;
}

TEST(CommandLine, TextOnlyModeIsRefusedWithoutAServerOrHostRun) {
  for (auto args : std::vector<std::vector<std::string>>{{"--textonly"}, {"-T", "--tcpclient"}, {"-T", "mygame"}}) {
    Program run;
    Ended e = run(args);
    EXPECT_TRUE(e.aborted()) << args[0];
    EXPECT_EQ(e.err, fixed + textonlymessage + "\n");
    EXPECT_NE(e.out.find(fixed + textonlymessage + "\n"), std::string::npos);
    // The mod folder is made before the refusal; the saved-games and temp
    // folders only by the general initialisation after it.
    EXPECT_TRUE(std::filesystem::is_directory(run.conf + "/mods"));
    EXPECT_FALSE(exists(run.save));
    EXPECT_FALSE(exists(run.temp));
  }
}

TEST(CommandLine, RefusalLeavesAnExistingTempFolderAlone) {
  Program run;
  mkdir(run.temp.c_str(), 0755);
  writetext(run.temp + "/tmp_fl", "another instance's forces");
  Ended e = run({"--textonly"});
  EXPECT_TRUE(e.aborted());
  EXPECT_TRUE(exists(run.temp + "/tmp_fl"));
}

TEST(CommandLine, TextOnlyHostRunMakesItsFoldersAndRemovesItsTempFolder) {
  // (A server run would wait for clients, so it is not among them.)
  for (auto args : std::vector<std::vector<std::string>>{{"--textonly", "--host"}, {"--verify"}}) {
    Program run;
    Ended e = run(args);
    EXPECT_TRUE(e.exited || e.signal == SIGABRT) << e.signal;
    EXPECT_EQ(e.err.find(textonlymessage), std::string::npos) << args[0];
    EXPECT_TRUE(std::filesystem::is_directory(run.save)) << args[0];
    EXPECT_TRUE(std::filesystem::is_directory(run.conf + "/mods")) << args[0];
    // The shared temp folder stays; the program's own folder in it goes.
    EXPECT_TRUE(std::filesystem::is_empty(run.temp)) << args[0];
    EXPECT_FALSE(exists(run.conf + "/vey3config")) << args[0];   // no benchmark in text-only mode
  }
}

TEST(CommandLine, ExistingTempFolderIsUsedAndKept) {
  Program run;
  mkdir(run.temp.c_str(), 0755);
  writetext(run.temp + "/tmp_fl", "another instance's forces");
  Ended e = run({"--textonly", "--host"});
  EXPECT_EQ(e.err.find("Failed to create temp directory"), std::string::npos) << e.err;
  EXPECT_TRUE(exists(run.temp + "/tmp_fl"));
}

TEST(CommandLine, TempNameThatIsAFileIsReported) {
  Program run;
  writetext(run.temp, "a file");
  Ended e = run({"--textonly", "--host"});
  EXPECT_TRUE(e.aborted());
  EXPECT_EQ(e.err, fixed + "Failed to create temp directory properly (unknown reason): " + run.temp +
                       ": a part of its path is a file, not a folder\n");
  EXPECT_TRUE(exists(run.temp));
}

// Programs that share a temp folder each keep their files (battle replays
// among them) in a folder of their own; a start removes the folders of
// programs that are gone, a killed one not yet reaped among them.
TEST(CommandLine, EachProgramHasItsOwnTempFolderAndTidiesThoseOfProgramsGone) {
  Program run;
  const auto folder = [&](pid_t pid) { return run.temp + "/vey3-" + std::to_string(pid); };
  const auto leave = [&](pid_t pid) {
    std::filesystem::create_directories(folder(pid));
    writetext(folder(pid) + "/0_0.vcr", "a battle of another game");
  };
  const pid_t dead = fork();
  if (dead == 0) _exit(0);
  waitpid(dead, nullptr, 0);
  const pid_t zombie = zombiepid();
  for (pid_t pid : {getpid(), dead, zombie}) leave(pid);
  std::filesystem::create_directories(run.temp + "/vey3-notapid");
  Ended e = run({"-d", "--verify"});
  waitpid(zombie, nullptr, 0);
  EXPECT_TRUE(e.exited) << e.err;
  std::smatch own;
  ASSERT_TRUE(std::regex_search(e.out, own, std::regex("temppath='" + run.temp + "/vey3-([0-9]+)'\n"))) << e.out;
  EXPECT_NE(own[1], std::to_string(getpid()));
  EXPECT_FALSE(exists(run.temp + "/vey3-" + own[1].str()));   // removed at its end
  EXPECT_TRUE(exists(folder(getpid()) + "/0_0.vcr"));
  EXPECT_FALSE(exists(folder(dead)));
  EXPECT_FALSE(exists(folder(zombie)));
  EXPECT_TRUE(exists(run.temp + "/vey3-notapid"));
}

TEST(CommandLine, DebugBannerAndFolders) {
  Program run;
  Ended e = run({"-d", "--textonly", "--host"});
  const std::string banner =
      "\n-------------------------\n----- VEYRANCES ---------\n-------------------------\n\n"
      "Version version 3.27 (327)dbglevel 1 pc_endian\n";
  EXPECT_EQ(e.out.rfind(banner, 0), 0u) << e.out;
  EXPECT_NE(e.out.find("confpath='" + run.conf + "'\n"), std::string::npos);
  EXPECT_NE(e.out.find("savepath='" + run.save + "'\n"), std::string::npos);
  EXPECT_NE(e.out.find("modpath='" + run.conf + "/mods'\n"), std::string::npos);
  EXPECT_NE(e.out.find("temppath='" + run.temp + "/vey3-"), std::string::npos);
  EXPECT_NE(e.out.find("-- general_init --\n"), std::string::npos);
  Ended quiet = run({"--textonly", "--host"});
  EXPECT_EQ(quiet.out.find("VEYRANCES"), std::string::npos);
}
