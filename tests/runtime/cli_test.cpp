// The built program as a process: its command-line exits, the text-only
// rule and the folders it makes, each run with private folders.
#include <gtest/gtest.h>

#include <regex>
#include <sstream>

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

TEST(CommandLine, UsageText) {
  Program run;
  Ended e = run({"--help"});
  EXPECT_TRUE(e.exited);
  EXPECT_EQ(e.code, 1);
  const char* const expected[] = {
      "usage: vey3 [option(s)] [gamename]",
      "options:",
      "-v  --version       Print version number and exit",
      "-d                  Increase debug level",
      "-g  --host          Generate new turn and exit",
      "    --verify        Verify all 2h-files and exit (creates .chk files)",
      "    --statfile      Create a player info file after each turn (stats.txt)",
      "    --scoredump     Create a score file after each turn (scores.html)",
      "    --finalhost     Generate new turn, send out final score msg and exit",
      "-c  --nocredits     Disables the end credits",
      "******* Network Options *******",
      "-C  --tcpclient     Connect to a Veyrances multiplayer server",
      "-S  --tcpserver     Start a Veyrances multiplayer server",
      "    --ipadr XXX     Use this IP-adr when connecting to server",
      "    --port X        Use this port nbr",
      "    --preexec CMD   Execute this command before each turn generation",
      "    --postexec CMD  Execute this command after each turn generation",
      "-t  --hosttime X Y  Host on day X (0=sunday) hour Y (0-23)",
      "    --minutes X     Set host interval in minutes",
      "-h  --hours X       Set host interval in hours",
      "    --pauseday X    Stop timer on this day (0=sunday)",
      "-q  --quickhost     Host as soon as all turns are done",
      "-n  --nonationsel   No nation selection when resuming a network game",
      "    --noclientstart Clients cannot start the game during Choose Participants",
      "    --uploadtime X  Game is created after this many minutes.",
      "    --uploadmaxp X  Game is created if this many players join.",
      "    --closed X      Nation closed X=nation number (0-94)",
      "    --easyai X      Nation ai controlled X=nation number (0-94)",
      "    --normai X      Nation ai controlled X=nation number (0-94)",
      "    --diffai X      Nation ai controlled X=nation number (0-94)",
      "    --mightyai X    Nation ai controlled X=nation number (0-94)",
      "    --impai X       Nation ai controlled X=nation number (0-94)",
      "******* New Game Options *******",
      "    --mapfile XXX   Filename of map. E.g. eye.map",
      "    --randmap X     Make and use a random map with X prov per player (10,15,20)",
      "    --research X    Research difficulty 0-3 (default 1)",
      "    --hofsize X     Size of Hall of Fame 5-15 (default 10)",
      "    --indepstr X    Strength of Independents 0-9 (default 5)",
      "    --magicsites X  Magic site frequency 0-75 (default 40)",
      "    --eventrarity X Random event rarity 1-2, 1=common 2=rare",
      "    --totalvp X     Vic. points available in the world 0-25",
      "    --capitalvp     One extra victory per capital",
      "    --requiredvp X  Vic. points required for victory (default total/2)",
      "    --summervp      Vic. points are accumulated each summer",
      "    --richness X    Money multiple 50-300 (default 100)",
      "    --resources X   Resource multiple 50-300 (default 100)",
      "    --supplies X    Supply multiple 50-300 (default 100)",
      "    --masterpass XX Master password. E.g. quillfeathers",
      "    --startprov X   Number of starting provinces (1-9)",
      "    --renaming      Enable commander renaming",
      "    --noscoregraphs Disable score graphs",
      "    --nonationinfo  No info at all on other nations",
      "    --nocheatdet    Turns off cheat detection",
      "    --era X         New game created in this era (1-3)",
      "-M  --enablemod XXX Enable the mod with filename XXX",
      "******* Random Map Options *******",
      "    --makemap XXX   Generate a random map with filename XXX and exit",
      "    --riverpart X   100 = normal amount of rivers, 0=no rivers",
      "    --seapart X     Percent of map that is below water level (default=30)",
      "    --mountpart X   Percent of map that is mountains (default=20)",
      "    --forestpart X  Percent of lands that are forests (default=20)",
      "    --farmpart X    Percent of lands that are farm lands (default=15)",
      "    --wastepart X   Percent of lands that are wastes (default=10)",
      "    --swamppart X   Percent of lands that are swamps (default=10)",
      "    --mapaa         Enable antialiasing for random maps",
      "    --mapsize W H   Set width and height of random map (default=1600 1200)",
      "    --mapprov X     Set number of provinces (default=150)",
      "    --passmount     Don't use impassable mountains on random maps",
      "    --mapgcol RGBA  Ground color 0-255 (default=170 146 116 255)",
      "    --mapscol RGBA  Sea color 0-255 (default=54 54 130 255)",
      "    --mapbcol RGBA  Ground border color 0-255 (x4)",
      "    --mapsbcol RGBA Sea border color 0-255 (x4)",
      "    --mapnoise X    Ground color noise 0-255 (default 15)",
      "    --borderwidth X Border width 0-500 (default 100)",
      "******* Video Options *******",
      "-w  --window        Run Veyrances 3 in a window",
      "-u  --fullscreen    Use the entire screen",
      "    --bitplanes X   Try to use a color depth of X bits per pixel",
      "    --zbuffer X     Try to use a depth buffer of X bits per pixel (default=16)",
      "-T  --textonly      Use this with --tcpserver to get graphicless server",
      "    --gamma X       Set gamma function (brightness) 0.1 - 5.0 (default=1.0)",
      "    --opacity X     Set gui opacity 0 - 100",
      "-r  --res X Y       Set screen resolution / window size (default=1024 768)",
      "    --animback      Use animated backgrounds",
      "-a  --noanimback    Don't use animated backgrounds",
      "    --fade          Use fade effects",
      "-f  --nofade        No fade effects",
      "    --nopopups      No helpful popups",
      "    --fps X         Aim for this nbr of frames per second (default=20)",
      "    --maxfps X      Maximum nbr of frames per second (default=50)",
      "    --filtering X   Quality of OpenGL filtering 0-3 (default=2)",
      "    --maxtexsize X  Max texture size in pixels 32-4096 (default=unlimited)",
      "    --treequal X    Tree quality 1-5 (default=3)",
      "    --texqual X     Texture quality 1-5 (default=3)",
      "    --nolightfx     No light effects in battles",
      "    --partamount X  Max nbr of particles 0-8 (0=none, 4=default, 8=max)",
      "    --nograss       Don't draw the grass",
      "    --noarcade      Don't draw floating damage numbers",
      "    --noglext       Don't use any OpenGL extensions",
      "    --vsync         Enable vsync",
      "-V  --novsync       Disable vsync",
      "    --renderpath X  Use different optimizations 0-1 (0=good for low mem cards)",
      "-x  --fastgrx       Faster graphics (use 3 times for best performance (-xxx))",
      "-p  --perftest      Run a performance test and exit",
      "******* Audio Options *******",
      "-s  --nosound       No sound effects or music",
      "-m  --nomusic       No music",
      "    --musicvol X    Set music volume, 0-100",
      "    --clickvol X    Set mouse click volume, 0-100",
      "    --defsound      Use default sound device",
      "    --jack          Route sound through jack",
      "    --pulseaudio    Route sound through pulse audio",
      "    --arts          Route sound through aRts",
      "-o  --oss           Use direct oss sound output",
  };
  std::vector<std::string> got = lines(e.out);
  ASSERT_EQ(got.size(), std::size(expected) + 1);
  for (size_t i = 0; i < std::size(expected); i++) EXPECT_EQ(got[i], expected[i]) << "line " << i + 1;
  EXPECT_NE(got.back().find("vey3 -wm"), std::string::npos) << got.back();
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

TEST(CommandLine, SettingsFileOfAnotherVersionIsRemovedAtStart) {
  Program run;
  mkdir(run.conf.c_str(), 0755);
  writebytes(run.conf + "/vey3config", {239, 0, 0, 0, 1, 0, 0, 0});
  Ended e = run({"--exit"});
  EXPECT_EQ(e.code, 15);
  EXPECT_FALSE(exists(run.conf + "/vey3config"));
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
    EXPECT_FALSE(exists(run.temp)) << args[0];
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
  EXPECT_EQ(e.err, fixed + "Failed to create temp directory properly (already existed)\n");
  EXPECT_TRUE(exists(run.temp));
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
  EXPECT_NE(e.out.find("temppath='" + run.temp + "'\n"), std::string::npos);
  EXPECT_NE(e.out.find("-- general_init --\n"), std::string::npos);
  Ended quiet = run({"--textonly", "--host"});
  EXPECT_EQ(quiet.out.find("VEYRANCES"), std::string::npos);
}
