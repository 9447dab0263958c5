// Whole games created from the maps of data/maps, read back with the game
// file readers; the start-province search and its failures.
#include "support/mapfixture.h"
#include "support/gamefolders.h"
#include "support/childconsole.h"
#include "support/plainuser.h"
#include "worldgen/gamesetup.h"

#include <signal.h>
#include <unistd.h>
#include <sys/resource.h>
#include <sys/stat.h>

#include <functional>

#include <filesystem>

#include "gamefiles/gamefiles.h"
#include "gfx/dialogs.h"
#include "host/host.h"
#include "mods/mods.h"
#include "runtime/ask.h"
#include "runtime/fatal.h"
#include "runtime/options.h"
#include "runtime/rnd.h"
#include "world/gamedata.h"
#include "world/hoststate.h"
#include "world/scores.h"
#include "world/units.h"

namespace {

class NewGame : public ShippedMapFolders {
 protected:
  void SetUp() override {
    ShippedMapFolders::SetUp();
    seedrnd(11);
    srand(5);
  }
  // Computer players on the given nations, at AI level 2.
  static void computers(std::initializer_list<int> list) {
    for (int n : list) nationcontrol[n] = 21;
  }
  int32_t countowned() {
    int32_t n = 0;
    for (int32_t l = 1; l <= nbrlands; l++) n += land[size_t(l)].owner != INDEPENDENTS;
    return n;
  }
};

TEST_F(NewGame, SmallMapThreeComputersWritesAWorldThatReadsBack) {
  strlcopy(mapfile, "testvale.map", sizeof mapfile);
  eraoption = 1;
  comptrn = 1;
  computers({0, 1, 2});
  clearenabledmods();
  enablemod("extra.dm");   // not read by this version: the game is made without it
  char made[100];
  const int created = createnewgame("vale", 0, made);
  clearenabledmods();
  ASSERT_EQ(created, 1);
  EXPECT_STREQ(made, "vale");
  ASSERT_EQ(gameinfo.modcount, 0);
  EXPECT_STREQ(gameinfo.mods[0].name, "extra.dm");
  // The end statistics hold the first turn.
  EXPECT_EQ(endstats.highest, 0);
  for (int k : {0, 1, 2}) EXPECT_GE(endstats.value[ES_PROVINCES][0][k], 1);
  EXPECT_EQ(endstats.value[ES_PROVINCES][0][3], 0);
  EXPECT_EQ(nbrlands, 25);
  EXPECT_EQ(hostingflag, 0);
  for (int k : {0, 1, 2}) {
    int32_t home = kingdom[size_t(k)].w[KW_HOMELAND];
    ASSERT_GE(home, 1);
    EXPECT_EQ(land[size_t(home)].owner, k);
    EXPECT_EQ(land[size_t(home)].temple, 1);
    EXPECT_TRUE(land[size_t(home)].vpword & 0x10);
    EXPECT_GE(land[size_t(home)].population, 2951);
    int32_t god = kingdom[size_t(k)].w[KW_GOD];
    ASSERT_GE(god, 0);
    EXPECT_TRUE(unit[size_t(com[size_t(god)].body)].flags[2] & F3_PRETENDER);
    EXPECT_EQ(kingdom[size_t(k)].gold, 200 + 2 * gameinfo.moneymult);
  }
  // Independents everywhere else that had none placed by the map.
  int32_t indep = 0;
  for (int32_t u = 0; u <= highestunit; u++) indep += unit[size_t(u)].hp > 0 && unit[size_t(u)].owner == INDEPENDENTS;
  EXPECT_GT(indep, 25);
  // The files are there and read back.
  EXPECT_TRUE(fileexists("%s/vale/ftherlnd", savepath));
  for (int k : {0, 1, 2}) EXPECT_TRUE(fileexists("%s/vale/%s.trn", savepath, nations[size_t(k)].fileword));
  const int32_t lands = nbrlands, units = highestunit;
  char names[3][36];
  for (int k = 0; k < 3; k++) strlcopy(names[k], land[size_t(kingdom[size_t(k)].w[KW_HOMELAND])].name, 36);
  clearworld();
  int32_t turnout = 0;
  char pass[50];
  UniqueFile f = readfileheader("vale", 0, -1, 1, -1, &turnout, pass, nullptr, nullptr);
  ASSERT_TRUE(f);
  getfatherland(f.get());
  EXPECT_EQ(nbrlands, lands);
  EXPECT_EQ(highestunit, units);
  for (int k = 0; k < 3; k++) EXPECT_STREQ(land[size_t(kingdom[size_t(k)].w[KW_HOMELAND])].name, names[k]);
  EXPECT_EQ(gameinfo.modcount, 0);
  EXPECT_STREQ(gameinfo.mods[0].name, "extra.dm");
}

TEST_F(NewGame, FullMapFifteenNations) {
  strlcopy(mapfile, "veyrmark.map", sizeof mapfile);
  eraoption = 2;
  int placed = 0;
  for (int n = 0; n < 72 && placed < 15; n++)
    if (nations[size_t(n)].era == 2 && !isuwnation(n)) nationcontrol[n] = 22, placed++;
  ASSERT_EQ(placed, 15);
  startprov = 2;
  ASSERT_EQ(createnewgame("mark", 0, nullptr), 1);
  EXPECT_EQ(nbrlands, 150);
  EXPECT_GE(countowned(), 30);
  EXPECT_TRUE(fileexists("%s/mark/ftherlnd", savepath));
}


// A map of its own in the maps folder: the picture and the text.
class BadMaps : public NewGame {
 protected:
  void SetUp() override {
    NewGame::SetUp();
    eraoption = 1;
    computers({0, 1});
    strlcopy(mapfile, "bad.map", sizeof mapfile);
  }
  void makemap(const Picture& p, const std::string& body) {
    writetga(mapdir() + "bad.tga", p, false);
    writetext(mapdir() + "bad.map", "#vey2title Bad\n#imagefile bad.tga\n" + body);
  }
  bool folderempty() { return !fileexists("%s/bad/ftherlnd", savepath); }
};

TEST_F(BadMaps, MissingImage) {
  // The map is left out of the choice; asked for, it ends the run with why,
  // naming the picture that is missing.
  writetext(mapdir() + "bad.map", "#vey2title Bad\n#imagefile none.tga\n");
  EXPECT_EXIT(createnewgame("bad", 0, nullptr), testing::ExitedWithCode(1),
              "Can't find map image: none.tga, named by bad.map \\(Bad\\), is neither in .*/local nor in .*/maps: "
              "it cannot be played");
  EXPECT_TRUE(folderempty());
  writetext(mapdir() + "bad.map", "#vey2title Bad\n");
  EXPECT_EXIT(createnewgame("bad", 0, nullptr), testing::ExitedWithCode(1),
              "map Bad has no imagefile: bad.map has no #imagefile line");
}

TEST_F(BadMaps, ImageNameLeavingTheMapsFolder) {
  writetext(mapdir() + "bad.map", "#vey2title Bad\n#imagefile ../../etc/x.tga\n");
  EXPECT_EXIT(createnewgame("bad", 0, nullptr), testing::ExitedWithCode(1),
              "Bad map image name: ../../etc/x.tga, named by bad.map \\(Bad\\), could lead outside");
  EXPECT_TRUE(folderempty());
  strlcopy(mapfile, "../bad.map", sizeof mapfile);
  EXPECT_EXIT(createnewgame("bad", 0, nullptr), testing::ExitedWithCode(1), "Map specified by --mapfile was not found");
}

TEST_F(BadMaps, ImageOfTheWrongSizeOrKind) {
  // A header that claims more pixels than the file holds gives no
  // provinces; the chooser offers the map, and the new game names the picture.
  Picture p(20, 20);
  p.white(5, 5);
  makemap(p, "");
  std::string img = mapdir() + "bad.tga";
  FILE* f = fopen(img.c_str(), "r+b");
  ASSERT_NE(f, nullptr);
  fseek(f, 12, SEEK_SET);
  fputc(0xFF, f), fputc(0x7F, f);
  fclose(f);
  EXPECT_EXIT(createnewgame("bad", 0, nullptr), testing::ExitedWithCode(1),
              "Map image .*/maps/bad.tga of bad.map \\(Bad\\) cannot be read: the file ends before its pixels do");
  EXPECT_TRUE(folderempty());
  // A picture that stands as a loop of links is there, but cannot be read.
  unlink(img.c_str());
  std::filesystem::create_symlink("bad.tga", img);
  EXPECT_EXIT(createnewgame("bad", 0, nullptr), testing::ExitedWithCode(1),
              "Map image .*/maps/bad.tga of bad.map \\(Bad\\) cannot be read: its symbolic links go round in a loop");
  unlink(img.c_str());
  // A picture without a pure white pixel.
  makemap(Picture(20, 20), "");
  EXPECT_EXIT(createnewgame("bad", 0, nullptr), testing::ExitedWithCode(1),
              "Map image .*/maps/bad.tga of bad.map \\(Bad\\) has no provinces: no pixel of it is pure white");
  EXPECT_TRUE(folderempty());
}

TEST_F(BadMaps, GameFolderPictureWithoutProvincesEndsTheCommandLinesChoice) {
  // The chooser passes the maps folder's picture; the game's folder holds
  // one of that name without provinces, which the new game reads. Named by
  // the command line the map would be chosen again and again; in the window
  // as on the console the run ends with the reason.
  Picture p(20, 20);
  p.white(5, 5);
  makemap(p, "");
  mkdirs((std::string(savepath) + "/bad").c_str());
  writetga(std::string(savepath) + "/bad/bad.tga", Picture(20, 20), false);
  for (int window : {0, 1}) {
    EXPECT_EXIT(
        {
          alarm(10);   // a choice that comes back for ever fails here
          textonly = window ? 0 : 1;
          createnewgame("bad", 0, nullptr);
        },
        testing::ExitedWithCode(1), "Map image .*/save/bad/bad.tga of bad.map \\(Bad\\) has no provinces");
  }
  EXPECT_TRUE(folderempty());
}

TEST_F(BadMaps, MapOfANewerVersionEndsTheRunNamingItsFile) {
  // Left out of the choice, so the command line that names it ends before
  // the game's name is asked, and without a stop of the program.
  Picture p(20, 20);
  p.white(5, 5);
  makemap(p, "#veyversion 400\n");
  EXPECT_EXIT(createnewgame("bad", 0, nullptr), testing::ExitedWithCode(1),
              "Veyrances version is too old: this scenario requires a newer version of Veyrances: bad.map \\(Bad\\) has "
              "#veyversion 400, and this program reads maps up to version 327: it cannot be played");
  EXPECT_TRUE(folderempty());
  // The game's own copy of the map is read when the world is made; it is
  // named where it stands.
  makemap(p, "");
  mkdirs((std::string(savepath) + "/bad").c_str());
  writetext(std::string(savepath) + "/bad/bad.map", "#vey2title Bad\n#imagefile bad.tga\n#veyversion 400\n");
  EXPECT_EXIT(createnewgame("bad", 0, nullptr), testing::ExitedWithCode(1),
              "Veyrances version is too old: this scenario requires a newer version of Veyrances: .*/save/bad/bad.map "
              "has #veyversion 400");
  EXPECT_TRUE(folderempty());
}

TEST_F(BadMaps, MoreNationsThanStartProvinces) {
  // Three land provinces for five nations: refused before any search, with
  // the search's own words, the map and why, and status 1.
  Picture p(60, 20);
  p.redcolumn(20), p.redcolumn(40);
  p.white(10, 10), p.white(30, 10), p.white(50, 10);
  makemap(p, "#neighbour 1 2\n#neighbour 2 3\n");
  computers({2, 3, 4});
  EXPECT_EXIT(createnewgame("bad", 0, nullptr), testing::ExitedWithCode(1),
              "can't find a valid starting province on the map bad\\.map: This map has room for 3 nations on land, "
              "not for 5\\. Choose fewer nations or another map\\.");
  EXPECT_TRUE(folderempty());
}

TEST_F(BadMaps, ProvinceWithoutAPositionIsNeverAHome) {
  // The first province sits on column 0: no position. Nation 0 must start
  // on the second, nation 1 finds nothing.
  Picture p(60, 20);
  p.redcolumn(30);
  p.white(0, 10), p.white(45, 10);
  makemap(p, "#start 1\n#start 2\n");
  nationcontrol[1] = 0;
  ASSERT_EQ(createnewgame("bad", 0, nullptr), 1);
  EXPECT_EQ(kingdom[0].w[KW_HOMELAND], 2);
  EXPECT_EQ(land[1].owner, INDEPENDENTS);
}

TEST_F(BadMaps, ValuesOutOfRangeAreIgnored) {
  Picture p(80, 20);
  p.redcolumn(40);
  p.white(20, 10), p.white(60, 10);
  makemap(p, "#neighbour 1 2\n#neighbour 1 9999\n#neighbour 2 40\n#terrain 2 -5\n#terrain 7000 4\n#start 2000\n"
             "#independents -4\n#features 9999\n#population 99999999\n#landname 5000 \"X\"\n"
             "#setland 2\n#fort 999\n#poptype 200\n");
  nationcontrol[1] = 0;
  ASSERT_EQ(createnewgame("bad", 0, nullptr), 1);
  EXPECT_EQ(nbrlands, 2);
  // A neighbour beyond the picture's provinces is no neighbour.
  EXPECT_EQ(provgeo[1].nbr[0], 2);
  EXPECT_EQ(provgeo[2].nbr[0], 1);
  EXPECT_EQ(provgeo[2].nbr[1], 0);
  EXPECT_NE(land[2].poptype, int8_t(200));
  EXPECT_NE(land[2].population, int16_t(9999999));
  EXPECT_TRUE(fileexists("%s/bad/ftherlnd", savepath));
}

TEST_F(NewGame, StartSearchSpecialStartsAndKinds) {
  // A map where nation 0 has a special start on a no-start province next to
  // another nation's start; it still gets it.
  Picture p(90, 20);
  p.redcolumn(30), p.redcolumn(60);
  p.white(15, 10), p.white(45, 10), p.white(75, 10);
  writetga(mapdir() + "starts.tga", p, false);
  writetext(mapdir() + "starts.map",
            "#vey2title Starts\n#imagefile starts.tga\n#neighbour 1 2\n#neighbour 2 3\n#nostart 2\n"
            "#specstart 0 2\n#start 1\n#start 3\n");
  strlcopy(mapfile, "starts.map", sizeof mapfile);
  eraoption = 1;
  computers({0, 1});
  ASSERT_EQ(createnewgame("starts", 0, nullptr), 1);
  EXPECT_EQ(kingdom[0].w[KW_HOMELAND], 2);
  int32_t other = kingdom[1].w[KW_HOMELAND];
  EXPECT_TRUE(other == 1 || other == 3);
}

TEST_F(NewGame, SeaStartKeepsItsDistanceOverLand) {
  // A row of twelve provinces, 3 and 12 at sea. A land nation holds 1; the
  // underwater nation must not start at 3, two steps away over land 2, while
  // 12 lies eleven steps away.
  Picture p(360, 20);
  for (int i = 1; i < 12; i++) p.redcolumn(30 * i);
  std::string text = "#vey2title Row\n#imagefile row.tga\n#terrain 3 4\n#terrain 12 4\n#specstart 0 1\n"
                     "#start 3\n#start 12\n";
  for (int i = 0; i < 12; i++) p.white(15 + 30 * i, 10);
  for (int i = 1; i < 12; i++) text += "#neighbour " + std::to_string(i) + " " + std::to_string(i + 1) + "\n";
  writetga(mapdir() + "row.tga", p, false);
  writetext(mapdir() + "row.map", text);
  strlcopy(mapfile, "row.map", sizeof mapfile);
  eraoption = 1;
  ASSERT_EQ(isuwnation(21), 1);
  // Without its wish for a coast, which no sea province meets.
  for (size_t a = 0; a < NATIONATTRS; a++)
    if (nations[21].attrkey[a] == NA_COASTSTART) nations[21].attrval[a] = 0;
  for (uint32_t seed = 1; seed <= 6; seed++) {
    clearworld();
    seedrnd(seed);
    computers({0, 21});
    ASSERT_EQ(createnewgame("row", 0, nullptr), 1);
    EXPECT_EQ(kingdom[0].w[KW_HOMELAND], 1);
    EXPECT_EQ(kingdom[21].w[KW_HOMELAND], 12) << "seed " << seed;
  }
}

TEST_F(NewGame, ExistingGameOfTheSameNameIsReplaced) {
  strlcopy(mapfile, "testvale.map", sizeof mapfile);
  eraoption = 1;
  computers({0, 1});
  ASSERT_EQ(createnewgame("again", 0, nullptr), 1);
  int32_t first = gameinfo.gamenbr;
  clearworld();
  computers({0, 1});
  srand(99);
  ASSERT_EQ(createnewgame("again", 0, nullptr), 1);
  EXPECT_NE(gameinfo.gamenbr, first);
  EXPECT_TRUE(fileexists("%s/again/ftherlnd", savepath));
}

TEST_F(NewGame, TheCommandLinesGameNameAsksBeforeAnOldGameGoes) {
  strlcopy(mapfile, "testvale.map", sizeof mapfile);
  eraoption = 1;
  computers({0, 1});
  ASSERT_EQ(createnewgame("asked", 0, nullptr), 1);
  clearworld();
  computers({0, 1});
  // The same name from the command line, in the window: the question names
  // the case in its first words, and its answer replaces the old game.
  static std::string question;
  static const Dialogs asking = {.safe = [](const char*, const char* q, const char*, const char*, const char*) {
    question = q;
    return int32_t(ASK_YES);
  }};
  setdialogs(&asking);
  const std::string answers = root + "/answers.txt";
  writetext(answers, "999\n");   // Ok on the map's information
  setdialoginput(fopen(answers.c_str(), "r"));
  setdialogoutput(fopen((root + "/out.txt").c_str(), "w"));
  const char* args[] = {"vey3", "asked"};
  parsecommandline(2, const_cast<char**>(args));
  textonly = 0;
  const int created = createnewgame(gamename, 0, nullptr);
  textonly = 1;
  setdialogs(nullptr);
  setdialoginput(nullptr);
  setdialogoutput(nullptr);
  ASSERT_EQ(created, 1);
  EXPECT_EQ(question.rfind("A game with this name already exists", 0), 0u) << question;
  EXPECT_NE(question.find("asked"), std::string::npos) << question;
}

TEST_F(NewGame, WindowFreeRoadForTools) {
  // The command line a tool would give.
  const char* args[] = {"vey3", "--mapfile", "testvale.map", "--era", "2", "--startprov", "2", "tool_game"};
  parsecommandline(8, const_cast<char**>(args));
  nationcontrol[30] = nationcontrol[31] = 22;
  EXPECT_EQ(newgamemode(gamename), 0);
  EXPECT_TRUE(fileexists("%s/tool_game/ftherlnd", savepath));
  EXPECT_EQ(gameinfo.era, 2);
  EXPECT_EQ(gameinfo.startprov, 2);
  EXPECT_EQ(newgamemode("../x"), 1);
}

TEST_F(NewGame, TheCommandLinesGameShowsItsProgressAndLogAndAWorldFileAsTheHostWritesIt) {
  static const char* args[] = {"vey3",     "-d", "--mapfile", "testvale.map", "--era", "1", "--startprov", "2",
                               "--normai", "0",  "--normai",  "1",            "told"};
  testing::internal::CaptureStdout();
  parsecommandline(13, const_cast<char**>(args));
  const int status = newgamemode(gamename);
  debuglevel = 0;
  const std::string out = testing::internal::GetCapturedStdout();
  ASSERT_EQ(status, 0) << out;
  // The box opens with "Please Wait"; each later step shows it with an
  // empty label, and with no label of another kind.
  EXPECT_NE(out.find("Creating World, Please Wait [0]\n"), std::string::npos) << out;
  EXPECT_NE(out.find("Creating World,  [0]\n"), std::string::npos) << out;
  for (size_t at = out.find("Creating World, "); at != std::string::npos; at = out.find("Creating World, ", at + 1)) {
    const std::string line = out.substr(at, out.find('\n', at) - at);
    EXPECT_TRUE(line == "Creating World, Please Wait [0]" || line == "Creating World,  [0]") << line;
  }
  EXPECT_TRUE(testing::internal::RE::PartialMatch(out, "\nnation 0  start land [0-9]+, geo\\.spec [0-9]+\n")) << out;
  EXPECT_TRUE(testing::internal::RE::PartialMatch(out, "\nland 1 \\(spec[0-9]+\\) pop [0-9]+ bres [0-9]+\n")) << out;
  // The world file's password field holds the word that a hosted one does.
  auto worldpassword = [] {
    int32_t turn = 0;
    char pass[50] = "unread";
    UniqueFile f = readfileheader("told", 0, -1, 1, -1, &turn, pass, nullptr, nullptr);
    EXPECT_TRUE(f);
    return std::string(pass);
  };
  const std::string made = worldpassword();
  ASSERT_EQ(newturn("told", -1), 1);
  EXPECT_EQ(made, worldpassword());
  EXPECT_NE(made, "");
}

void createonfulldisc(const char* gname) {
  signal(SIGXFSZ, SIG_IGN);
  struct rlimit limit = {20000, 20000};
  setrlimit(RLIMIT_FSIZE, &limit);
  createnewgame(gname, 0, nullptr);
}

TEST_F(NewGame, FilesThatCannotBeWrittenLeaveTheOldGame) {
  strlcopy(mapfile, "testvale.map", sizeof mapfile);
  eraoption = 1;
  comptrn = 1;
  computers({0, 1, 2});
  ASSERT_EQ(createnewgame("half", 0, nullptr), 1);
  const std::string folder = std::string(savepath) + "/half";
  const std::vector<uint8_t> world = readbytes(folder + "/ftherlnd");
  // A file and a folder of the user's own in the folder stay with the game.
  writebytes(folder + "/notes.txt", {'n'});
  ASSERT_EQ(mkdirs((folder + "/mine").c_str()), 1);
  writebytes(folder + "/mine/plan.txt", {'p'});
  // A full disc: no file beyond 20000 bytes can be written.
  EXPECT_DEATH(createonfulldisc("half"), "cng: the game files could not be written");
  EXPECT_EQ(readbytes(folder + "/ftherlnd"), world);
  // The folder of the new game went with the stop.
  EXPECT_EQ(listfolder(savepath), std::vector<std::string>{"half"});
  // Replaced for real, the user's file is kept.
  srand(7);
  ASSERT_EQ(createnewgame("half", 0, nullptr), 1);
  EXPECT_NE(readbytes(folder + "/ftherlnd"), world);
  EXPECT_EQ(readbytes(folder + "/notes.txt"), std::vector<uint8_t>{'n'});
  EXPECT_EQ(readbytes(folder + "/mine/plan.txt"), std::vector<uint8_t>{'p'});
  EXPECT_EQ(listfolder(savepath), std::vector<std::string>{"half"});
}

// A new game of the command line's name over an old game whose folder
// holds a file that the user can neither link nor copy into the new game
// (another account's file that it may not read, another account's FIFO, a
// link that another account put there), or a folder of another account's
// that it may not move into the new game, or whose folder cannot be emptied
// (another account's that the user may not write; one that every player
// writes, holding another account's file): the run ends with status 1
// naming the file and why, and the old game stands whole, where the program
// stopped by SIGABRT ("cannot be written" of a file that it could not read)
// or copied what the link pointed at into the new game, and made the game
// without the folder, or without emptying the old folder, which stayed
// behind as a folder of the old game that no start removed.
TEST_F(NewGame, AnOldGameWithAFileThatCannotGoOverStaysWhole) {
  if (geteuid() != 0) GTEST_SKIP() << "needs another account's files";
  strlcopy(mapfile, "testvale.map", sizeof mapfile);
  eraoption = 1;
  computers({0, 1});
  ASSERT_EQ(createnewgame("kept", 0, nullptr), 1);
  const std::string folder = std::string(savepath) + "/kept", secret = root + "/secret";
  writebytes(secret, {'s'});
  chmod(secret.c_str(), 0600);
  const std::vector<std::string> files = listfolder(folder);
  const std::vector<uint8_t> world = readbytes(folder + "/ftherlnd");
  struct Case {
    const char* name;   // "" for the game's folder itself
    const char* cause;
    std::function<void(const std::string&)> plant;
  };
  const auto everyplayers = [&] {
    chmod(folder.c_str(), 01777);
    ASSERT_EQ(chown(folder.c_str(), 65534, 65534), 0);
  };
  const Case cases[] = {
      {"theirs.txt", "cannot be read: no permission", [](const std::string& p) {
         writebytes(p, {'t'});
         chmod(p.c_str(), 0600);
       }},
      {"pipe", "cannot be read: it is a FIFO, not a file", [](const std::string& p) { mkfifo(p.c_str(), 0600); }},
      {"notes.txt", "cannot be read: it is a symbolic link, not a file",
       [&](const std::string& p) { symlink(secret.c_str(), p.c_str()); }},
      {"maps", "cannot be moved: it is another account's folder", [](const std::string& p) {
         mkdirs(p.c_str());
         writebytes(p + "/drawn.map", {'m'});
       }},
      // One that anyone may write, in a game folder of another account's
      // that every player writes.
      {"shared", "cannot be moved: it is another account's folder", [&](const std::string& p) {
         mkdirs(p.c_str());
         chmod(p.c_str(), 0777);
         everyplayers();
       }},
      {"", "cannot be emptied: it is another account's folder", [](const std::string&) {}},
      {"orders.txt", "cannot be removed: it is another account's file", [&](const std::string& p) {
         writebytes(p, {'o'});
         everyplayers();
       }},
  };
  struct stat own;
  ASSERT_EQ(stat(folder.c_str(), &own), 0);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string planted = c.name[0] ? folder + "/" + c.name : folder;
    c.plant(planted);
    ASSERT_EQ(lchown(planted.c_str(), 65534, 65534), 0);
    const ChildEnd e = runwithconsole(root, [] {
      const PermissionsHold player;
      if (!player.ok()) return 91;
      const char* args[] = {"vey3", "--mapfile", "testvale.map", "--era", "1", "kept"};
      parsecommandline(6, const_cast<char**>(args));
      nationcontrol[0] = nationcontrol[1] = 21;
      return newgamemode(gamename) == 0 ? 0 : 3;
    });
    EXPECT_TRUE(e.exited && e.code == 1) << e.code << e.out;
    EXPECT_NE(e.out.find("The new game kept was not made: " + planted + ", which would go with it, " + c.cause + "\n"),
              std::string::npos)
        << e.out;
    if (c.name[0]) std::filesystem::remove_all(planted);
    ASSERT_EQ(chown(folder.c_str(), own.st_uid, own.st_gid), 0);
    chmod(folder.c_str(), own.st_mode & 07777);
    EXPECT_EQ(listfolder(folder), files);
    EXPECT_EQ(readbytes(folder + "/ftherlnd"), world);
    EXPECT_EQ(listfolder(savepath), std::vector<std::string>{"kept"});
  }
}

}  // namespace

namespace {
TEST_F(NewGame, DeletingAGameRemovesItsFolderWithWhatStoppedWritesLeft) {
  strlcopy(mapfile, "testvale.map", sizeof mapfile);
  eraoption = 1;
  computers({0, 1});
  ASSERT_EQ(createnewgame("gone", 0, nullptr), 1);
  const std::string folder = std::string(savepath) + "/gone";
  for (const char* name : {"ftherlnd.new99999999", "ftherlnd.chk", "stats.txt", "scores.html", "hostcommit",
                           "ftherlnd.host"})
    writebytes(folder + "/" + name, {'x'});
  ASSERT_EQ(mkdirs((folder + "/set.new99999999").c_str()), 1);
  writebytes(folder + "/set.new99999999/ftherlnd", {'x'});
  writebytes(folder + "/notes.txt", {'n'});
  ASSERT_EQ(deletegamefiles("gone", "A game with this name already exists"), 1);
  // Only what the game does not name stays.
  EXPECT_EQ(listfolder(folder), std::vector<std::string>{"notes.txt"});
  unlink((folder + "/notes.txt").c_str());
  ASSERT_EQ(deletegamefiles("gone", "A game with this name already exists"), 1);
  EXPECT_FALSE(direxists("%s", folder.c_str()));
}
}  // namespace
