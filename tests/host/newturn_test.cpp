// newturn on whole games: the files it writes, the order files it reads,
// and the same result from the same files.
#include <unistd.h>

#include "hostgame.h"
#include "support/gamefolders.h"

namespace {

class NewTurn : public HostGame {};

TEST_F(NewTurn, HostsATurnWhoseFilesReadBack) {
  create("testvale.map", {0, 1, 2});
  EXPECT_EQ(worldturn(), 1);
  ASSERT_EQ(host(), 1);
  EXPECT_EQ(worldturn(), 2);
  EXPECT_EQ(hostingflag, 0);
  readback();
  // Nobody sent orders: each player hears that its turn was stale.
  for (int32_t p : humans) {
    ASSERT_TRUE(openturn(p));
    EXPECT_EQ(messages(p, "Stale Turn"), 1);
  }
  // No file of the set stays aside, and no journal.
  EXPECT_FALSE(fileexists("%s", path("hostcommit").c_str()));
  EXPECT_FALSE(fileexists("%s", path("ftherlnd.host").c_str()));
}

TEST_F(NewTurn, TheSameFilesGiveTheSameTurn) {
  create("testvale.map", {0, 1});
  play(0, [] {});
  const std::string saved = root + "/copy";
  ASSERT_EQ(system(("cp -r '" + root + "/save/g' '" + saved + "'").c_str()), 0);
  ASSERT_EQ(host(), 1);
  const std::vector<uint8_t> world = readbytes(path("ftherlnd")), trn0 = readbytes(trnpath(0)),
                             trn1 = readbytes(trnpath(1));
  ASSERT_EQ(system(("rm -rf '" + root + "/save/g' && cp -r '" + saved + "' '" + root + "/save/g'").c_str()), 0);
  seedrnd(77);   // whatever the generators held before
  srand(77);
  ASSERT_EQ(host(), 1);
  EXPECT_EQ(readbytes(path("ftherlnd")), world);
  EXPECT_EQ(readbytes(trnpath(0)), trn0);
  EXPECT_EQ(readbytes(trnpath(1)), trn1);
}

TEST_F(NewTurn, ADestroyedNationHearsOfItInItsLastTurnFile) {
  create("testvale.map", {0, 1});
  // Nation 1 loses every province and every unit.
  clearworld();
  int32_t t = 0;
  ASSERT_EQ(loadworldfile(game.c_str(), 0, &t), 1);
  for (int32_t l = 1; l <= nbrlands; l++)
    if (land[size_t(l)].owner == 1) land[size_t(l)].owner = land[size_t(l)].fortholder = INDEPENDENTS;
  for (int32_t u = 0; u <= highestunit; u++)
    if (unit[size_t(u)].owner == 1) unit[size_t(u)].hp = 0;
  ASSERT_TRUE(writeworldfile(game.c_str(), filegamenumber, t));
  ASSERT_EQ(host(), 1);
  ASSERT_TRUE(openturn(1));
  EXPECT_EQ(messages(1, "has been destroyed"), 1);
  clearworld();
  ASSERT_EQ(loadworldfile(game.c_str(), 0, &t), 1);
  EXPECT_EQ(uint16_t(kingdom[1].w[KW_CONTROLLER]), CTRL_WAS1);
  // After that the nation gets no more turns.
  const std::vector<uint8_t> last = readbytes(trnpath(1));
  ASSERT_EQ(host(), 1);
  EXPECT_EQ(readbytes(trnpath(1)), last);
}

TEST_F(NewTurn, AWorldFileThatDoesNotReadChangesNothing) {
  create("testvale.map", {0});
  const std::vector<uint8_t> trn = readbytes(trnpath(0));
  unlink(path("ftherlnd").c_str());
  EXPECT_EQ(host(), 0);
  EXPECT_EQ(readbytes(trnpath(0)), trn);
  EXPECT_EQ(hostingflag, 0);
  // A world file cut short, or of a version out of range, is named with the
  // reader's cause; the host ends without hosting and nothing is written.
  create("testvale.map", {0});
  const std::vector<uint8_t> before = readbytes(trnpath(0));
  const std::vector<uint8_t> whole = readbytes(path("ftherlnd"));
  std::vector<uint8_t> world = whole;
  world.resize(world.size() / 2);
  writebytes(path("ftherlnd"), world);
  testing::internal::CaptureStdout();
  EXPECT_EQ(host(), 0);
  std::string console = testing::internal::GetCapturedStdout();
  EXPECT_NE(console.find("Cannot read the world file of the game g, " + root + "/save/g/ftherlnd: the file is damaged ("),
            std::string::npos) << console;
  EXPECT_EQ(readbytes(trnpath(0)), before);
  EXPECT_FALSE(fileexists("%s", path("hostcommit").c_str()));
  world = whole;
  world[10] = 0x90;   // version 400
  world[11] = 0x01;
  writebytes(path("ftherlnd"), world);
  testing::internal::CaptureStdout();
  EXPECT_EQ(host(), 0);
  console = testing::internal::GetCapturedStdout();
  EXPECT_NE(console.find("ftherlnd: Veyrances version is too old: the file is of version 400; this program reads "
                         "versions 264 to 327 (myversion327 fileversion400 nation-1). Please get the latest update "
                         "of Veyrances.\n"),
            std::string::npos) << console;
  EXPECT_EQ(readbytes(trnpath(0)), before);
  world[10] = 250;   // version 250
  world[11] = 0;
  writebytes(path("ftherlnd"), world);
  testing::internal::CaptureStdout();
  EXPECT_EQ(host(), 0);
  console = testing::internal::GetCapturedStdout();
  EXPECT_NE(console.find("ftherlnd: Save files are too old 327 250 (g), nation -1, .trn 1: the file is of version "
                         "250; this program reads versions 264 to 327\n"),
            std::string::npos) << console;
  EXPECT_EQ(readbytes(trnpath(0)), before);
  EXPECT_EQ(hostingflag, 0);
}

TEST_F(NewTurn, AGameWhoseModIsMissingIsNotHosted) {
  create("testvale.map", {0});
  clearworld();
  int32_t t = 0;
  ASSERT_EQ(loadworldfile(game.c_str(), 0, &t), 1);
  gameinfo.modcount = 0;
  strlcopy(gameinfo.mods[0].name, "lostmod.dm", sizeof gameinfo.mods[0].name);
  ASSERT_TRUE(writeworldfile(game.c_str(), filegamenumber, t));
  const std::vector<uint8_t> world = readbytes(path("ftherlnd")), trn = readbytes(trnpath(0));
  const std::string mods = root + "/mods";
  mkdirs(mods.c_str());
  char saved[PATHLEN];
  strlcopy(saved, modpath, PATHLEN);
  strlcopy(modpath, mods.c_str(), PATHLEN);
  testing::internal::CaptureStdout();
  EXPECT_EQ(host(), 0);
  const std::string out = testing::internal::GetCapturedStdout();
  EXPECT_NE(out.find("The game g needs the mod lostmod.dm, which is not in the mods folder"), std::string::npos) << out;
  EXPECT_EQ(readbytes(path("ftherlnd")), world);
  EXPECT_EQ(readbytes(trnpath(0)), trn);
  EXPECT_EQ(hostingflag, 0);
  // With the mod in its folder the game is hosted.
  writebytes(mods + "/lostmod.dm", {'#', '\n'});
  EXPECT_EQ(host(), 1);
  EXPECT_EQ(worldturn(), t + 1);
  strlcopy(modpath, saved, PATHLEN);
}

}  // namespace
