#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <cstring>

#include "gamefiles/gamefiles.h"
#include "runtime/binio.h"
#include "support/gamefolders.h"
#include "support/gameseeds.h"
#include "support/sampleworld.h"

namespace {

std::vector<uint8_t> worldbytes() { return streambytes([](FILE* f) { putfatherland(f); }); }

template <class R>
void readfrom(std::vector<uint8_t>& bytes, R reader) {
  FILE* f = bytestream(bytes);
  reader(f);
  EXPECT_EQ(fgetc(f), EOF);   // the reader used the whole body
  fclose(f);
}

}  // namespace

using Files = GameFolders;

TEST_F(Files, WorldRoundTripGivesTheSameBytes) {
  sampleworld(40, 12, 300, 20);
  std::vector<uint8_t> first = worldbytes();
  clearworld();
  setreadversion(FILEVERSION);
  readfrom(first, [](FILE* f) { getfatherland(f); });
  EXPECT_EQ(nbrlands, 40);
  EXPECT_EQ(highestunit, 299);
  EXPECT_EQ(unit[com[3].body].comnr, 3);   // links rebuilt
  EXPECT_STREQ(password[5], "pw5");
  EXPECT_EQ(ench[5].spell, 105);
  EXPECT_EQ(ench[4].spell, 0);   // a free slot is not stored
  EXPECT_EQ(worldbytes(), first);
}

TEST_F(Files, WorldFileThroughHeaderAndDisk) {
  sampleworld(10, 5, 50, 5);
  ASSERT_TRUE(writeworldfile("w1", 42, 7));
  std::vector<uint8_t> first = readbytes(lastfilepath);
  clearworld();
  int32_t t;
  EXPECT_EQ(loadworldfile("w1", 41, &t), 0);
  ASSERT_EQ(loadworldfile("w1", 42, &t), 1);
  EXPECT_EQ(t, 7);
  ASSERT_TRUE(writeworldfile("w1", 42, 7));
  EXPECT_EQ(readbytes(lastfilepath), first);
  EXPECT_EQ(highestcom, 4);
  // The hall of fame holds hofsize entries in the world file.
  EXPECT_EQ(scorelist[2], 3);
}

namespace {
uint64_t fnv1a(const std::vector<uint8_t>& bytes) {
  uint64_t h = 14695981039346656037ull;
  for (uint8_t b : bytes) h = (h ^ b) * 1099511628211ull;
  return h;
}
}  // namespace

// A large world and a turn file, put together in memory and written at once,
// are byte for byte what the writers have always made (the sums are those of
// files written a field at a time). A disc that fails on the way, or a file
// that could not be put together, leaves the file as it was and the cause in
// errno.
TEST_F(Files, GameFilesReachTheDiscWholeOrNotAtAll) {
  sampleworld(300, 40, 3000, 300);
  ASSERT_TRUE(writeworldfile("sums", 7, 3));
  const std::string world = lastfilepath;
  const std::vector<uint8_t> before = readbytes(world);
  EXPECT_EQ(before.size(), 520444u);
  EXPECT_EQ(fnv1a(before), 15446154780406431670ull);
  ASSERT_TRUE(writeturnfile(2, "sums", 7, 3));
  const std::vector<uint8_t> turn = readbytes(lastfilepath);
  EXPECT_EQ(turn.size(), 116513u);
  EXPECT_EQ(fnv1a(turn), 11723853998148450109ull);

  fflush(stdout);
  const pid_t pid = fork();
  if (pid == 0) {
    // Writes past half the file fail as on a full disc.
    signal(SIGXFSZ, SIG_IGN);
    const struct rlimit limit = {before.size() / 2, before.size() / 2};
    setrlimit(RLIMIT_FSIZE, &limit);
    errno = 0;
    const bool written = writeworldfile("sums", 7, 4);
    _exit(!written && errno == EFBIG ? 0 : 1);
  }
  int status = 0;
  waitpid(pid, &status, 0);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
  EXPECT_TRUE(readbytes(world) == before);

  GameFile file = createfileheader("sums", 7, 5, 1, -1, nullptr, 0);
  ASSERT_TRUE(file);
  putfatherland(gamefilestream(file));
  EXPECT_EQ(fgetc(gamefilestream(file)), EOF);   // a write stream cannot be read: it fails
  errno = 0;
  EXPECT_FALSE(closegamefile(std::move(file), 0));
  EXPECT_EQ(errno, ENOMEM);
  EXPECT_TRUE(readbytes(world) == before);
  EXPECT_EQ(listfolder(savepath + std::string("/sums")).size(), 2u);
}

TEST_F(Files, TurnFileRoundTripAndFilters) {
  sampleworld(30, 6, 200, 10);
  const int p = 2;
  std::vector<uint8_t> first = streambytes([](FILE* f) { putturndata(2, f); });
  clearworld();
  readfrom(first, [](FILE* f) { getturndata(2, f); });
  for (int u = 0; u <= highestunit; u++)
    if (unit[u].hp > 0 && unit[u].comnr < 0) {
      EXPECT_EQ(unit[u].owner, p);   // only the player's own living units
    }
  EXPECT_EQ(unit[49 * 6 + 2].hp, 0);                    // a dead unit of the player is left out
  EXPECT_EQ(spellbook[p][0], p + 1);
  EXPECT_NE(spellbook[p + 1][0], p + 2);                // other players' books are not sent
  EXPECT_EQ(endstats.highest, 3);
  EXPECT_EQ(std::vector<uint8_t>(streambytes([](FILE* f) { putturndata(2, f); })), first);
}

TEST_F(Files, TurnFileWithoutStatisticsAndWithReplays) {
  sampleworld(10, 4, 40, 4);
  gameinfo.gameflags = GF_NOSCOREGRAPHS;
  std::vector<uint8_t> plain = streambytes([](FILE* f) { putturndata(1, f); });
  // The body ends with flag 0 and the check.
  const std::vector<uint8_t> tail = {0, 0, 0, 0, 0x39, 0x30, 0, 0};
  EXPECT_EQ(std::vector<uint8_t>(plain.end() - 8, plain.end()), tail);
  readfrom(plain, [](FILE* f) { getturndata(1, f); });
  EXPECT_EQ(endstats.highest, -1);
  // Two replays in the temp folder follow the check whole.
  for (int n = 0; n < 2; n++) closevcr(crvcr(1, 3, 1, 2, 0, 1000 + n, 0, 0, 0));
  std::vector<uint8_t> withreplays = streambytes([](FILE* f) { putturndata(1, f); });
  ASSERT_GT(withreplays.size(), plain.size());
  FILE* f = bytestream(withreplays);
  ASSERT_EQ(find_vcr(1, f), 1);
  int32_t lnr, def, att, castle, seed, values[3];
  EXPECT_EQ(readvcr(&lnr, &def, &att, &castle, &seed, values, 0, f), 1);
  EXPECT_EQ(seed, 1001);
  fclose(f);
}

TEST_F(Files, TurnFileOnDiskAndItsGameInformation) {
  sampleworld(10, 4, 40, 4);
  ASSERT_TRUE(writeturnfile(1, "t1", 8, 3));
  EXPECT_EQ(checkcrc(lastfilepath), 1);
  cleargamestate();
  int32_t t;
  char pass[50];
  UniqueFile f = readfileheader("t1", 8, 3, 1, 1, &t, pass, nullptr, nullptr);
  ASSERT_TRUE(f);
  EXPECT_STREQ(pass, "pw1");
  getturninfo(f.get());
  EXPECT_STREQ(gameinfo.mappic, "sample.tga");
  EXPECT_EQ(gameinfo.moneymult, 125);
}

TEST(Records, UnitRecordIs51Bytes) {
  EXPECT_EQ(unitrecordbytes(), 51);
  putunit(7, emptyunit());
  EXPECT_EQ(streambytes([](FILE* f) { put_unit(7, f); }).size(), 51u);
  // Made in memory, the same bytes.
  Unit x = emptyunit();
  x.flags[2] = 0x80000001u;
  x.hp = -3;
  x.abilval[3] = 32000;
  x.keep32 = -70000;
  x.keepbyte = 255;
  putunit(7, x);
  std::array<uint8_t, 64> bytes;
  bool exact = false;
  ASSERT_EQ(unitbytes(unit[7], bytes.data(), bytes.size(), &exact), 51u);
  EXPECT_TRUE(exact);
  EXPECT_EQ(std::vector<uint8_t>(bytes.begin(), bytes.begin() + 51), streambytes([](FILE* f) { put_unit(7, f); }));
  EXPECT_DEATH(put_unit(MAXUNITS, stdout), "put_unit");
}

TEST_F(Files, PlayersNotInPlayGetNoBody) {
  sampleworld(10, 4, 40, 4);
  kingdom[3].w[KW_CONTROLLER] = 0;
  EXPECT_TRUE(streambytes([](FILE* f) { putturndata(3, f); }).empty());
  EXPECT_TRUE(streambytes([](FILE* f) { put2hdata(3, f); }).empty());
  kingdom[3].w[KW_CONTROLLER] = -2;
  EXPECT_FALSE(streambytes([](FILE* f) { put2hdata(3, f); }).empty());
}

TEST_F(Files, OrderFileRoundTrip) {
  sampleworld(30, 6, 200, 10);
  std::vector<uint8_t> first = streambytes([](FILE* f) { put2hdata(4, f); });
  clearworld();
  nbrlands = 30;
  readfrom(first, [](FILE* f) { get2hdata(4, f, 0); });
  EXPECT_EQ(kingdom[4].gold, 504);
  EXPECT_STREQ(pmess[4][3].text, "a note");
  EXPECT_EQ(streambytes([](FILE* f) { put2hdata(4, f); }), first);
  EXPECT_DEATH(get2hdata(4, bytestream(first = {0xFF, 0xFF, 0, 0}), 0), "get2hdata: bad lnr");
}

TEST_F(Files, ReaderRefusalsStopWithTheirMessages) {
  sampleworld(10, 4, 40, 4);
  std::vector<uint8_t> world = worldbytes();
  std::vector<uint8_t> bad = world;
  bad[bad.size() - 4] ^= 1;
  EXPECT_DEATH(readfrom(bad, [](FILE* f) { getfatherland(f); }), "getfather: bad CHECK");
  std::vector<uint8_t> turnfile = streambytes([](FILE* f) { putturndata(1, f); });
  ASSERT_GT(turnfile.size(), 4u);
  std::vector<uint8_t> cut(turnfile.begin(), turnfile.end() - 4);
  EXPECT_DEATH(readfrom(cut, [](FILE* f) { getturndata(1, f); }), "getturndata: bad CHECK");
  // Under a soft read the same defects only mark the read as failed.
  SoftReadScope soft;
  FILE* f = bytestream(bad);
  getfatherland(f);
  fclose(f);
  EXPECT_TRUE(binreadfailed);
}

TEST_F(Files, PretenderDesignRoundTrip) {
  sampleworld(10, 4, 40, 4);
  strlcopy(com[2].name, "Designed", 36);
  writenewlord("newlords", 6, 2, "godpw");
  std::string first = lastfilepath;
  clearworld();
  strlcopy(masterpassword, "master", 50);
  char pass[50] = {};
  ASSERT_EQ(loadnewlord("newlords", 6, 2, 20, pass, 0), 1);
  EXPECT_STREQ(pass, "godpw");
  EXPECT_EQ(com[2].body, 20);
  EXPECT_EQ(unit[20].comnr, 2);
  EXPECT_STREQ(com[2].name, "Designed");
  veyrec[0] = veyrec[6];   // the designer works in slot 0
  writenewlord("newlords", 6, 2, "godpw");
  EXPECT_NE(first, std::string(lastfilepath));   // the next free slot
  std::vector<uint8_t> a = readbytes(first), b = readbytes(lastfilepath);
  ASSERT_EQ(a.size(), b.size());
  // Only the stored body number differs: 20 now.
  size_t differing = 0;
  for (size_t i = 0; i < a.size(); i++) differing += a[i] != b[i];
  EXPECT_LE(differing, 6u);
  EXPECT_EQ(loadnewlord("newlords", 6, 2, 20, nullptr, 7), -1);   // no such slot
}

TEST_F(Files, PretenderDesignRefusals) {
  sampleworld(10, 4, 40, 4);
  writenewlord("newlords", 6, 1, "x");
  std::string path = lastfilepath;
  std::vector<uint8_t> bytes = readbytes(path);
  // A header whose game number is not -1 is refused by the header check.
  std::vector<uint8_t> other = bytes;
  other[22] = 5;
  other[23] = other[24] = other[25] = 0;
  writebytes(path, other);
  EXPECT_EQ(loadnewlord("newlords", 6, 1, 10, nullptr, 0), -1);
  std::vector<uint8_t> broken = bytes;
  broken[broken.size() - 10] ^= 1;
  writebytes(path, broken);
  EXPECT_DEATH(loadnewlord("newlords", 6, 1, 10, nullptr, 0), "is corrupted");
  // A body of no known unit type.
  unit[com[1].body].type = 5000;
  writenewlord("newlords", 6, 1, "x");
  EXPECT_DEATH(loadnewlord("newlords", 6, 1, 10, nullptr, 1), "corrupted newlord file");
  EXPECT_DEATH(loadnewlord("newlords", 6, -1, 10, nullptr, 1), "lnl");
}

TEST_F(Files, AGameIsKnownByItsWorldOrTurnFilesInTheFolderItIsMadeIn) {
  sampleworld(10, 4, 40, 4);
  EXPECT_FALSE(hasgamefiles("g"));
  ASSERT_TRUE(closegamefile(createfileheader("g", 99, 3, 1, 2, nullptr, 0), 0));   // a turn file alone
  EXPECT_TRUE(hasgamefiles("g"));
  // A game being made in a folder of its own is found there, not in the saved games.
  const std::string stage = std::string(savepath) + "/elsewhere";
  redirectgame("h", stage.c_str());
  ASSERT_TRUE(closegamefile(createfileheader("h", 99, 3, 1, -1, nullptr, 0), 0));
  EXPECT_TRUE(fileexists("%s/ftherlnd", stage.c_str()));
  EXPECT_TRUE(hasgamefiles("h"));
  redirectgame(nullptr, nullptr);
  EXPECT_FALSE(hasgamefiles("h"));
}

TEST_F(Files, ReplayRoundTripAndSetAside) {
  sampleworld(20, 6, 120, 8);
  for (int i = 0; i < 5; i++) battlechecksums[i] = 11 * (i + 1);
  ritualbattle = 1;
  kingdom[2].w[KW_HOMELAND] = 0;   // an attacker without a home land
  closevcr(crvcr(3, 7, 1, 2, 1, 4242, 5, 6, 7));
  char path[PATHLEN];
  vcrpath(path, PATHLEN, 3, 0);
  std::vector<uint8_t> first = readbytes(path);
  clearworld();
  FILE* f = bytestream(first);
  ASSERT_EQ(find_vcr(0, f), 1);
  int32_t lnr, def, att, castle, seed, values[3];
  EXPECT_EQ(readvcr(&lnr, &def, &att, &castle, &seed, values, 1, f), 1);
  EXPECT_EQ(readchecksums(f), 5);
  fclose(f);
  EXPECT_EQ(seed, 4242);
  EXPECT_EQ(values[2], 7);
  EXPECT_EQ(ritualbattle, 1);
  EXPECT_EQ(battlechecksums[4], 55);
  closevcr(crvcr(3, 7, 1, 2, 1, 4242, 5, 6, 7));
  vcrpath(path, PATHLEN, 3, 1);
  std::vector<uint8_t> second = readbytes(path);
  ASSERT_EQ(second.size(), first.size());
  size_t at = 0;
  while (at < first.size() && first[at] == second[at]) at++;
  EXPECT_EQ(at, first.size());

  // Set aside: everything outside land 7 leaves and comes back.
  sampleworld(20, 6, 120, 8);
  std::vector<uint8_t> before = worldbytes();
  setforcesaside(7);
  const int32_t bodyoutside = com[0].body;
  ASSERT_NE(unit[bodyoutside].land, 7);
  for (int u = 0; u <= highestunit; u++)
    if (unit[u].land != 7 && unit[u].hp >= 1) putunit(u, emptyunit());
  for (int c = 0; c <= highestcom; c++)
    if (unit[com[c].body].land != 7) com[c].name[0] = 0;
  EXPECT_EQ(takeforcesback(), 1);
  EXPECT_EQ(worldbytes(), before);
  char tmp[PATHLEN];
  formatbounded(tmp, PATHLEN, "%s/tmp_fl", temppath);
  std::vector<uint8_t> aside = readbytes(tmp);
  aside[0] ^= 1;
  writebytes(tmp, aside);
  EXPECT_DEATH(takeforcesback(), "loadfor: bad header");
}

TEST_F(Files, VerifyReports) {
  sampleworld(10, 4, 40, 4);
  write2hfile(1, "v1", 3, 99);
  write2hfile(2, "v1", 3, 99);
  ASSERT_TRUE(writeworldfile("v1", 99, 3));
  std::string two = std::string(savepath) + "/v1/" + realmword(2) + ".2h";
  std::vector<uint8_t> b = readbytes(two);
  b[50] ^= 1;
  writebytes(two, b);
  verifygamefiles("v1");
  auto text = [](const std::string& path) {
    std::vector<uint8_t> bytes = readbytes(path);
    return std::string(bytes.begin(), bytes.end());
  };
  std::string folder = std::string(savepath) + "/v1/";
  EXPECT_EQ(text(folder + realmword(1) + ".chk"), "2h file is OK!\n  gamenbr 99\n  turnnbr 3\n");
  EXPECT_EQ(text(folder + realmword(2) + ".chk"), "Error: corrupted file\n");
  EXPECT_EQ(text(folder + "ftherlnd.chk"), "Fatherland file\n  gamenbr 99\n  turnnbr 3\n");
  EXPECT_FALSE(fileexists("%s%s.chk", folder.c_str(), realmword(3)));
  // A file larger than any order file is corrupt, and is not read (a sparse
  // file: no disc is used).
  const std::string huge = folder + realmword(3) + ".2h";
  writebytes(huge, {1});
  ASSERT_EQ(truncate(huge.c_str(), int64_t(3) << 30), 0);
  // A report that cannot be written, a file that cannot be read, a damaged
  // file: each is named and counted once.
  unlink((folder + realmword(1) + ".chk").c_str());
  ASSERT_EQ(mkdirs((folder + realmword(1) + ".chk/in").c_str()), 1);
  ASSERT_EQ(mkdirs((folder + realmword(4) + ".2h/in").c_str()), 1);
  const VerifyCount count = verifygamefiles("v1");
  EXPECT_EQ(count.failed, 3);
  EXPECT_EQ(count.unwritten, 1);
  EXPECT_EQ(text(folder + realmword(3) + ".chk"), "Error: corrupted file\n");
  EXPECT_EQ(text(folder + realmword(2) + ".chk"), "Error: corrupted file\n");
}

TEST_F(Files, AFileLargerThanItsKindIsRefusedUnread) {
  sampleworld(10, 4, 40, 4);
  write2hfile(1, "big", 3, 99);
  char path[PATHLEN];
  gamefilepath(path, PATHLEN, "big", 0, 1);
  EXPECT_EQ(checkcrc(path), 1);
  // A sparse file of 3 GB: beyond any order file, and beyond the memory
  // that the check may take.
  ASSERT_EQ(truncate(path, int64_t(3) << 30), 0);
  EXPECT_GT(int64_t(3) << 30, largestgamefile(path));
#if !defined(__SANITIZE_ADDRESS__)
  fflush(stdout);
  const pid_t pid = fork();
  if (pid == 0) {
    struct rlimit limit = {size_t(512) << 20, size_t(512) << 20};
    setrlimit(RLIMIT_AS, &limit);
    _exit(checkcrc(path) == 0 && loadorders(1, "big", 99, 3) == 0 ? 0 : 1);
  }
  int status = 0;
  waitpid(pid, &status, 0);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
#endif
  EXPECT_EQ(loadorders(1, "big", 99, 3), 0);
  EXPECT_STREQ(lastorderrefusal(), "larger than any such file");
  // One byte short of the bound it is read (and found corrupt).
  ASSERT_EQ(truncate(path, largestgamefile(path)), 0);
  EXPECT_EQ(checkcrc(path), 0);
  EXPECT_STREQ(crcproblem, "bad checksum");
}

// The committed seeds of the game-file fuzz targets are what the writers make
// today; after a change of layout `make seeds` writes them anew.
TEST_F(Files, FuzzSeedsAreWhatTheWritersMake) {
  const std::vector<GameSeed> seeds = makegameseeds();
  ASSERT_EQ(seeds.size(), 6u);
  for (const GameSeed& s : seeds) {
    const std::string path = std::string(VEY3_SOURCE_DIR) + "/fuzz/corpus/" + s.target + "/" + s.name;
    EXPECT_FALSE(s.bytes.empty()) << path;
    EXPECT_TRUE(readbytes(path) == s.bytes) << path << " is stale: run make seeds";
  }
}

// The world and turn seeds leave out the kingdoms out of play: read, they
// give the same world, whose file is the whole one again.
TEST_F(Files, WorldAndTurnFilesCutToTheKingdomsInPlayReadIntoTheSameWorld) {
  sampleworld(12, 6, 60, 6);
  const std::vector<uint8_t> world = worldbytes();
  const std::vector<uint8_t> turn = streambytes([](FILE* f) { putturndata(2, f); });
  std::vector<uint8_t> cut = cutkingdoms(world, 6, {put_kingdom, put_spellstuff});
  ASSERT_FALSE(cut.empty());
  EXPECT_LT(cut.size(), world.size() / 2);
  clearworld();
  setreadversion(FILEVERSION);
  readfrom(cut, [](FILE* f) { getfatherland(f); });
  EXPECT_FALSE(readbroken());
  EXPECT_EQ(kingdom[5].gold, 505);
  EXPECT_EQ(spellbook[5][0], 6);
  EXPECT_TRUE(worldbytes() == world);

  cut = cutkingdoms(turn, 6, {put_kingdom});
  ASSERT_FALSE(cut.empty());
  EXPECT_LT(cut.size(), turn.size());
  clearworld();
  readfrom(cut, [](FILE* f) { getturndata(2, f); });
  EXPECT_FALSE(readbroken());
  EXPECT_TRUE(streambytes([](FILE* f) { putturndata(2, f); }) == turn);
}

TEST_F(Files, VerifyFromTheCommandLine) {
  sampleworld(10, 4, 40, 4);
  ASSERT_TRUE(writeworldfile("cmdgame", 31, 6));
  std::string command = "VEY3_SAVE='" + std::string(savepath) + "' VEY3_CONF='" + root + "' VEY3_TEMP='" + root +
                        "/vtemp' " + VEY3_BINARY + " --verify cmdgame > '" + root + "/out.txt' 2>&1";
  EXPECT_EQ(system(command.c_str()), 0);
  std::vector<uint8_t> report = readbytes(std::string(savepath) + "/cmdgame/ftherlnd.chk");
  EXPECT_EQ(std::string(report.begin(), report.end()), "Fatherland file\n  gamenbr 31\n  turnnbr 6\n");
  command = "VEY3_SAVE='" + std::string(savepath) + "' VEY3_CONF='" + root + "' VEY3_TEMP='" + root +
            "/vtemp2' " + VEY3_BINARY + " --verify > /dev/null 2>&1";
  EXPECT_NE(system(command.c_str()), 0);   // no game named
  command = "VEY3_SAVE='" + std::string(savepath) + "' VEY3_CONF='" + root + "' VEY3_TEMP='" + root +
            "/vtemp3' " + VEY3_BINARY + " --verify nosuchgame > '" + root + "/out2.txt' 2>&1";
  EXPECT_NE(system(command.c_str()), 0);
  std::vector<uint8_t> said = readbytes(root + "/out2.txt");
  EXPECT_NE(std::string(said.begin(), said.end()).find("There is no game named nosuchgame"), std::string::npos);
  // A report that cannot be written fails the run, with its name.
  unlink((std::string(savepath) + "/cmdgame/ftherlnd.chk").c_str());
  ASSERT_EQ(mkdirs((std::string(savepath) + "/cmdgame/ftherlnd.chk/in").c_str()), 1);
  command = "VEY3_SAVE='" + std::string(savepath) + "' VEY3_CONF='" + root + "' VEY3_TEMP='" + root +
            "/vtemp4' " + VEY3_BINARY + " --verify cmdgame > '" + root + "/out3.txt' 2>&1";
  const int status = system(command.c_str());
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 1) << status;
  said = readbytes(root + "/out3.txt");
  EXPECT_NE(std::string(said.begin(), said.end()).find("Could not write the report"), std::string::npos);
  // Every file that does not verify is named with its cause, the world file
  // too, and the run ends with status 1.
  rmdir((std::string(savepath) + "/cmdgame/ftherlnd.chk/in").c_str());
  rmdir((std::string(savepath) + "/cmdgame/ftherlnd.chk").c_str());
  const std::string world = std::string(savepath) + "/cmdgame/ftherlnd";
  std::vector<uint8_t> bytes = readbytes(world);
  bytes[10] = 0x90;   // version 400
  bytes[11] = 0x01;
  writebytes(world, bytes);
  sampleworld(10, 4, 40, 4);
  write2hfile(1, "cmdgame", 6, 31);
  const std::string orders = std::string(savepath) + "/cmdgame/" + realmword(1) + ".2h";
  bytes = readbytes(orders);
  bytes[bytes.size() / 2] ^= 0x40;
  writebytes(orders, bytes);
  auto verify = [&](const char* name) {
    const std::string out = root + "/" + name;
    const int status = system(("VEY3_SAVE='" + std::string(savepath) + "' VEY3_CONF='" + root + "' VEY3_TEMP='" +
                               root + "/" + name + "temp' " + VEY3_BINARY + " --verify cmdgame > '" + out + "' 2>&1")
                                  .c_str());
    const std::vector<uint8_t> b = readbytes(out);
    return std::make_pair(WIFEXITED(status) ? WEXITSTATUS(status) : -1, std::string(b.begin(), b.end()));
  };
  auto [code, text] = verify("out4.txt");
  EXPECT_EQ(code, 1) << text;
  EXPECT_NE(text.find(world + ": Veyrances version is too old: the file is of version 400; this program reads "
                              "versions 264 to 327 (myversion327 fileversion400 nation-1)"),
            std::string::npos) << text;
  EXPECT_NE(text.find(orders + ": bad checksum"), std::string::npos) << text;
  unlink(world.c_str());
  unlink(orders.c_str());
  std::tie(code, text) = verify("out5.txt");
  EXPECT_EQ(code, 1) << text;
  EXPECT_NE(text.find(world + ": there is no world file"), std::string::npos) << text;
}

TEST_F(Files, TruncatedWorldFilesStopInsteadOfReadingOn) {
  sampleworld(10, 4, 40, 4);
  std::vector<uint8_t> world = worldbytes();
  // Cut inside the lands, the units, the commanders and the spell states.
  for (double part : {0.01, 0.05, 0.1, 0.2, 0.5, 0.9, 0.999}) {
    std::vector<uint8_t> cut(world.begin(), world.begin() + ptrdiff_t(double(world.size()) * part));
    EXPECT_DEATH(readfrom(cut, [](FILE* f) { getfatherland(f); }), "gick fel!") << part;   // the stop of fatalerror, never a crash
  }
}

TEST_F(Files, ReplayNumbersRunOut) {
  sampleworld(10, 4, 40, 4);
  char path[PATHLEN];
  for (int n = 0; n < MAXVCR; n++) {
    vcrpath(path, PATHLEN, 5, n);
    fclose(fopen(path, "wb"));
  }
  EXPECT_FALSE(crvcr(5, 3, 1, 2, 0, 1, 0, 0, 0));   // the host writes no replay then
  EXPECT_TRUE(crvcr(6, 3, 1, 2, 0, 1, 0, 0, 0));
  EXPECT_DEATH(crvcr(95, 3, 1, 2, 0, 1, 0, 0, 0), "crvcr: bad vcrgod");
}
