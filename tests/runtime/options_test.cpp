#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <functional>

#include "mods/mods.h"
#include "runtime/fatal.h"
#include "runtime/folders.h"
#include "runtime/options.h"
#include "runtime/settings.h"
#include "runtime/util.h"
#include "support/process.h"

namespace {
const std::string fixed = "N\xE5got gick fel!\n";

struct OptionsFixture : testing::Test {
  void SetUp() override { reset(); }
  void TearDown() override { reset(); }
  static void reset() {
    resetoptions();
    resetsettings();
    clearenabledmods();
    debuglevel = 0;
  }
};

void parse(std::vector<std::string> args) {
  static std::vector<std::string> keep;   // gamename points into the arguments
  keep = std::move(args);
  keep.insert(keep.begin(), "vey3");
  std::vector<char*> argv;
  for (auto& a : keep) argv.push_back(a.data());
  parsecommandline(int(argv.size()), argv.data());
}

Ended parsechild(std::vector<std::string> args) {
  return runchild([&] {
    parse(args);
    _exit(0);
  });
}

struct ValueCase {
  std::vector<std::string> args;
  const int32_t* setting;
  int32_t expected;
};
}  // namespace

TEST_F(OptionsFixture, ValueTable) {
  // Each value kind at and past its limits, and the options with rules of their own.
  const ValueCase cases[] = {
      {{"--fps", "2"}, &fpstarget, 4},          {{"--fps", "500"}, &fpstarget, 200},
      {{"--fps", "x"}, &fpstarget, 15},         {{"--maxfps", "0"}, &framedelay, 20},
      {{"--maxfps", "300"}, &framedelay, 5},    {{"--maxfps", "30"}, &framedelay, 33},
      {{"--filtering", "5"}, &filtering, 3},    {{"--filtering", "-1"}, &filtering, 2},
      {{"--opacity", "150"}, &guiopacity, 100}, {{"--opacity", "-5"}, &guiopacity, 0},
      {{"--bitplanes", "0"}, &bitplanes, -1},   {{"--zbuffer", "40"}, &zbuffer, 32},
      {{"--musicvol", "50"}, &musicvolume, 127}, {{"--musicvol", "101"}, &musicvolume, 255},
      {{"--maxtexsize", "16"}, &maxtexsize, 32}, {{"--maxtexsize", "5000"}, &maxtexsize, 5000},
      {{"--partamount", "-1"}, &partamount, -1}, {{"--partamount", "10"}, &partamount, -1},
      {{"--port", "99999999999"}, &port, INT32_MAX},
      {{"--minutes", "30"}, &hostinterval, 30}, {{"--hours", "2"}, &hostinterval, 120},
      {{"--minutes", "0"}, &hostinterval, 0},   {{"--uploadtime", "3"}, &uploadtime, 180000},
      {{"--uploadmaxp", "200"}, &uploadmaxp, 95}, {{"--randmap", "150"}, &randmap, 100},
      {{"--research", "3"}, &researchdiff, 3},  {{"--research", "4"}, &researchdiff, 1},
      {{"--totalvp", "30"}, &totalvp, 25},      {{"--totalvp", "-1"}, &totalvp, -1},
      {{"--richness", "10"}, &richness, 50},    {{"--resources", "400"}, &resources, 300},
      {{"--forestpart", "-5"}, &forestpart, -5}, {{"--farmpart", "500"}, &farmpart, 500},
      {{"--pauseday", "6"}, &pauseday[6], 1},   {{"--pauseday", "7"}, &pauseday[0], 0},
      {{"--closed", "3"}, &nationcontrol[3], -3}, {{"--closed", "99"}, &nationcontrol[94], 0},
      {{"--easyai", "5"}, &nationcontrol[5], 20}, {{"--impai", "26"}, &nationcontrol[26], 24},
      {{"-t", "3", "14"}, &hosthour[3], 14},     {{"-t", "7", "14"}, &hosthour[0], -1},
      {{"--hosttime", "3", "24"}, &hosthour[3], -1},
      {{"--mapprov", "0"}, &mapprov, 10},       {{"--mapprov", "5"}, &mapprov, 10},
      {{"--mapprov", "2000"}, &mapprov, 1495},  {{"--mapprov", "1495"}, &mapprov, 1495},
      {{"--mapsize", "50", "20000"}, &mapsize[0], 100}, {{"--mapsize", "50", "20000"}, &mapsize[1], 11000},
      {{"--mapgcol", "1", "2", "3", "4"}, &mapgcol[3], 4}, {{"--mapsbcol", "1", "2", "3", "4"}, &mapsbcol[1], 2},
      {{"-r", "800", "600"}, &winheight, 600},   {{"--res", "800", "50"}, &fsheight, -1},
  };
  for (const ValueCase& c : cases) {
    reset();
    std::string shown;
    for (const auto& a : c.args) shown += a + " ";
    parse(c.args);
    EXPECT_EQ(*c.setting, c.expected) << shown;
    EXPECT_EQ(pendingvalue, 0) << shown;
    EXPECT_EQ(gamename, nullptr) << shown;
  }
}

TEST_F(OptionsFixture, NumbersBeyond32BitsSaturate) {
  // A value handed straight to parseoption (the command line would split it).
  parseoption("--port");
  parseoption("-99999999999");
  EXPECT_EQ(port, INT32_MIN);
  parseoption("--musicvol");
  parseoption("4294967346");   // would be 50 if it wrapped
  EXPECT_EQ(musicvolume, 255);
  parseoption("--fps");
  parseoption(" +25fps");
  EXPECT_EQ(fpstarget, 25);
}

TEST_F(OptionsFixture, TextValuesAreCut) {
  parse({"--ipadr", std::string(300, 'i'), "--preexec", std::string(600, 'p'), "--postexec", "post cmd",
         "--masterpass", std::string(60, 'm'), "--mapfile", std::string(600, 'f')});
  EXPECT_EQ(strlen(ipadr), 249u);
  EXPECT_EQ(strlen(preexec), 499u);
  EXPECT_STREQ(postexec, "post cmd");
  EXPECT_EQ(strlen(masterpass), 49u);
  EXPECT_EQ(strlen(mapfile), 499u);
}

TEST_F(OptionsFixture, GammaIsADecimal) {
  parse({"--gamma", "0.01"});
  EXPECT_FLOAT_EQ(gammavalue, 0.1f);
  parse({"--gamma", "7"});
  EXPECT_FLOAT_EQ(gammavalue, 5.0f);
  parse({"--gamma", "1.25"});
  EXPECT_FLOAT_EQ(gammavalue, 1.25f);
  parse({"--gamma", "bright"});
  EXPECT_FLOAT_EQ(gammavalue, 1.25f);
}

TEST_F(OptionsFixture, Resolution) {
  parse({"--res", "800", "600"});
  EXPECT_EQ(fswidth, 800);
  EXPECT_EQ(winwidth, 800);
  EXPECT_EQ(fsheight, 600);
  EXPECT_EQ(winheight, 600);
  reset();
  // A width out of range is ignored and no height is awaited.
  parse({"--res", "100", "600"});
  EXPECT_EQ(fswidth, -1);
  EXPECT_EQ(fsheight, -1);
  EXPECT_STREQ(gamename, "600");
}

TEST_F(OptionsFixture, HostTimers) {
  hostinterval = 60;
  parse({"--hosttime", "0", "23"});
  EXPECT_EQ(hostinterval, 0);
  EXPECT_EQ(hosthour[0], 23);
  parse({"--minutes", "45"});
  for (int d = 0; d < 7; d++) EXPECT_EQ(hosthour[d], -1);
  EXPECT_EQ(hostinterval, 45);
}

// Flags that do more than set their own switch, aliases, and pairs whose
// later one wins.
TEST_F(OptionsFixture, Flags) {
  struct Flag {
    const char* option;
    const int32_t* setting;
    int32_t expected;
  } flags[] = {
      {"-g", &hostmode, 1}, {"--finalhost", &hostmode, 2}, {"--tcpclient", &netmode, 2},
      {"--nonationinfo", &nonationinfo, 1}, {"--nonationinfo", &noscoregraphs, 1}, {"--passmount", &impassmount, 0},
      {"--directsound", &sounddevice, 4}, {"--waveout", &sounddevice, 5}, {"-o", &sounddevice, 3},
      {"--fastgrx", &fastgrx, 1}, {"-x", &filtering, 0}, {"-x", &animback, 0}, {"-x", &fade, 0},
      {"--tcpserver", &netmode, 1}, {"--tcpserver", &musicvolume, 0}, {"--tcpserver", &sounddevice, 0},
      {"-d", &debuglevel, 1},
  };
  for (const Flag& f : flags) {
    reset();
    parse({f.option});
    EXPECT_EQ(*f.setting, f.expected) << f.option;
  }
  struct Back {
    const char* on;
    const char* off;
    const int32_t* setting;
  } pairs[] = {{"--fade", "--nofade", &fade}, {"--animback", "-a", &animback}, {"--lightfx", "--nolightfx", &lightfx},
               {"--grass", "--nograss", &grass}, {"--window", "-u", &fullscreen}, {"--windowed", "-u", &fullscreen},
               {"-w", "-u", &fullscreen}, {"--defsound", "-s", &sounddevice}};
  for (const Back& p : pairs) {
    reset();
    parse({p.off, p.on});
    EXPECT_EQ(*p.setting, p.on[1] == 'w' || std::string(p.on).find("window") != std::string::npos ? 0 : 1) << p.on;
  }
  reset();
  parse({"--fullgrx", "--intro", "--nointro", "-i", "--antialiasing", "--noantialiasing"});
  EXPECT_EQ(gamename, nullptr);
}

TEST_F(OptionsFixture, GroupedSwitchesAndGameNames) {
  parse({"-wm", "mygame"});
  EXPECT_EQ(fullscreen, 0);
  EXPECT_EQ(musicvolume, 0);
  EXPECT_STREQ(gamename, "mygame");
  reset();
  fullscreen = 1;
  parse({"-wmx", "first", "second"});
  EXPECT_EQ(fullscreen, 0);
  EXPECT_EQ(fastgrx, 1);
  EXPECT_STREQ(gamename, "second");
  reset();
  parse({"-xxx", "-", "-dd", "-d"});
  EXPECT_EQ(fastgrx, 3);
  EXPECT_EQ(debuglevel, 3);
  EXPECT_EQ(gamename, nullptr);
}

TEST_F(OptionsFixture, ValuesArePendingWhateverTheyLookLike) {
  // "--port" takes "--ipadr" as its value (not a number), and the word
  // after it becomes the game name.
  port = 6000;
  parse({"--port", "--ipadr", "1.2.3.4"});
  EXPECT_EQ(port, 6000);
  EXPECT_STREQ(ipadr, "");
  EXPECT_STREQ(gamename, "1.2.3.4");
  reset();
  parse({"--partamount", "-1"});
  EXPECT_EQ(partamount, -1);
  reset();
  parse({"--treequal"});   // a value option at the end leaves its value unset
  EXPECT_EQ(treequality, 3);
  EXPECT_EQ(pendingvalue, 1);
}

TEST_F(OptionsFixture, RandomMapName) {
  parse({"--makemap", "x.map"});
  EXPECT_STREQ(makemapname, "x");
  parse({"--makemap", "ab"});
  EXPECT_STREQ(makemapname, "ab");
  parse({"--makemap", "abc.rgb"});
  EXPECT_STREQ(makemapname, "abc");
  for (const char* name : {"../evil", "maps", "a b", ".map", "island.tga.map", "MAPS.map"}) {
    Ended e = parsechild({"--makemap", name});
    EXPECT_TRUE(e.aborted()) << name;
    EXPECT_EQ(e.err, fixed + "Bad filename for random map\n") << name;
  }
}

TEST_F(OptionsFixture, ComputerPlayerNations) {
  for (const char* nation : {"23", "24", "25", "95", "99", "-1"}) {
    Ended e = parsechild({"--easyai", nation});
    EXPECT_TRUE(e.aborted()) << nation;
    EXPECT_EQ(e.err, fixed + "bad ai player\n") << nation;
  }
  Ended notanumber = parsechild({"--impai", "many"});
  EXPECT_TRUE(notanumber.exited);
  parse({"--closed", "25", "--closed", "-1"});
  EXPECT_EQ(nationcontrol[25], -3);
  for (int n = 0; n < NATIONCONTROLS; n++) {
    if (n != 25) {
      EXPECT_EQ(nationcontrol[n], 0) << n;
    }
  }
}

TEST_F(OptionsFixture, Exits) {
  Ended unknown = parsechild({"--"});
  EXPECT_TRUE(unknown.exited);
  EXPECT_EQ(unknown.code, 1);
  EXPECT_EQ(unknown.out, "unknown switch: --\n");
  Ended letter = parsechild({"-wz"});
  EXPECT_EQ(letter.code, 1);
  EXPECT_EQ(letter.out, "unknown switch: -z\n");
  // "-12" as a value gives -1 and then the unknown switch "-2".
  Ended split = runchild([] {
    parse({"--renderpath", "-12"});
    _exit(50);
  });
  EXPECT_EQ(split.code, 1);
  EXPECT_EQ(split.out, "unknown switch: -2\n");
  Ended partial = runchild([] {
    atexit([] { printf("renderpath %d\n", renderpath); });
    parse({"--renderpath", "-12"});
  });
  EXPECT_EQ(partial.out, "unknown switch: -2\nrenderpath -1\n");
  Ended quit = parsechild({"--exit", "--help"});
  EXPECT_TRUE(quit.exited);
  EXPECT_EQ(quit.code, 15);
  EXPECT_EQ(quit.out, "");
  Ended help = parsechild({"-h"});
  EXPECT_EQ(help.code, 1);
  EXPECT_EQ(help.out.rfind("usage: vey3 [option(s)] [gamename]\noptions:\n", 0), 0u);
  Ended version = parsechild({"-v"});
  EXPECT_EQ(version.code, 1);
  EXPECT_EQ(version.out.rfind("Veyrances 3, version 3.27 (", 0), 0u);
}

TEST_F(OptionsFixture, EnableModsReplaceTheSettingsList) {
  TestDir dir;
  strlcopy(modpath, dir.path.c_str(), PATHLEN);
  writetext(dir / "a.dm", "#modname");
  writetext(dir / "b.dm", "#modname");
  mkdir((dir / "folder.dm").c_str(), 0755);
  mkfifo((dir / "pipe.dm").c_str(), 0600);
  symlink("loop.dm", (dir / "loop.dm").c_str());
  enablemod("fromsettings.dm");
  testing::internal::CaptureStdout();
  parse({"-M", "a.dm", "--enablemod", "missing.dm", "-M", "b.dm", "-M", "a.dm", "-M", "../etc/passwd", "-M",
         "folder.dm", "-M", "pipe.dm", "-M", "loop.dm"});
  std::string out = testing::internal::GetCapturedStdout();
  // A folder or a FIFO in a mod's place is named with its cause; a link
  // that goes round in a loop is missing like any other.
  EXPECT_EQ(out, "Can't find mod: missing.dm\nCan't find mod: ../etc/passwd\n"
                 "Can't find mod: folder.dm (it is a folder, not a file)\n"
                 "Can't find mod: pipe.dm (it is a FIFO, not a file)\n"
                 "Can't find mod: loop.dm\n");
  ASSERT_EQ(enabledmodlist.last, 1);
  EXPECT_STREQ(enabledmodlist.names[0], "a.dm");
  EXPECT_STREQ(enabledmodlist.names[1], "b.dm");
}
