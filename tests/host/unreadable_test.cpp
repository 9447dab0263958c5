// Game files that stand in the game folder but cannot be read, and world
// files that read but do not hold together: the host program makes no month
// of them, names the file and the cause and ends with status 1, leaving the
// game as it stood; --verify finds the same.
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <functional>

#include "hostgame.h"
#include "support/background.h"
#include "support/gamefolders.h"
#include "support/plainuser.h"

namespace {

// What a failed read is said to be, in the program's words.
const char* const DISCERROR = "the disc reported an error while reading";

struct Outcome {
  int status = -1;
  std::string out;
};

class Unreadable : public HostGame {
 protected:
  // The programs run as a plain user, for whom permissions hold.
  Unreadable() { reach = Reach::plainuser; }
  // The modes that run gives the saved-games folder and the game's folder.
  mode_t savemode = 0755, gamemode = 0777;

  // The host program with the arguments (as a plain user unless mine) and
  // further environment; its status and console.
  Outcome run(const std::vector<std::string>& args, bool plain = true, const std::vector<std::string>& more = {}) {
    chmod(root.c_str(), 0755);
    chmod((root + "/save").c_str(), savemode);
    chmod(path("").c_str(), gamemode);
    mkdirs((root + "/temp").c_str());
    chmod((root + "/temp").c_str(), 0777);
    const std::string outfile = root + "/temp/out.txt";
    fflush(stdout);
    const pid_t pid = fork();
    if (pid == 0) {
      if (!freopen(outfile.c_str(), "w", stdout) || chdir(root.c_str()) != 0) _exit(98);
      for (const std::string& e : {"VEY3_SAVE=" + root + "/save", "VEY3_TEMP=" + root + "/temp",
                                  "VEY3_CONF=" + root + "/temp/conf", "VEY3_MODS=" + root + "/mods",
                                  std::string("VEY3_DATA=") + VEY3_DATA_DIR,
                                  "HOME=" + root + "/temp"})
        putenv(strdup(e.c_str()));
      for (const std::string& e : more) putenv(strdup(e.c_str()));
      if (plain) asplainuser();
      std::vector<char*> argv = {strdup(VEY3_HOST_BINARY)};
      for (const std::string& a : args) argv.push_back(strdup(a.c_str()));
      argv.push_back(nullptr);
      execv(VEY3_HOST_BINARY, argv.data());
      _exit(97);
    }
    Outcome r;
    r.status = waitprogram(pid, 600);
    const std::vector<uint8_t> b = readbytes(outfile);
    r.out.assign(b.begin(), b.end());
    return r;
  }
  bool says(const Outcome& r, const std::string& line) { return r.out.find(line) != std::string::npos; }
};

TEST_F(Unreadable, AnOrderFileThatCannotBeReadStopsTheHost) {
  create("testvale.map", {0, 1});
  play(0, [] {});
  play(1, [] {});
  const std::string orders = orderpath(0);
  const std::vector<uint8_t> written = readbytes(orders);
  struct Case {
    std::string cause;
    std::function<void()> spoil;
  };
  const std::vector<Case> cases = {
      {"no permission", [&] { chmod(orders.c_str(), 0); }},
      {"it is a folder, not a file", [&] { unlink(orders.c_str()); mkdirs((orders + "/in").c_str()); }},
      {"it is a FIFO, not a file", [&] { unlink(orders.c_str()); mkfifo(orders.c_str(), 0644); }},
      {"its symbolic links go round in a loop", [&] { unlink(orders.c_str()); symlink(orders.c_str(), orders.c_str()); }},
      // The memory of the reader at address 0: a read that fails as a
      // broken disc's does.
      {DISCERROR, [&] { unlink(orders.c_str()); symlink("/proc/self/mem", orders.c_str()); }},
  };
  const std::vector<uint8_t> world = readbytes(path("ftherlnd")), other = readbytes(orderpath(1)),
                             turn = readbytes(trnpath(0));
  for (const Case& c : cases) {
    SCOPED_TRACE(c.cause);
    c.spoil();
    const Outcome r = run({"--textonly", "--host", "g"});
    EXPECT_EQ(r.status, 1) << r.out;
    EXPECT_TRUE(says(r, std::string("The orders of ") + nations[0].name + ", " + orders + ", cannot be read: " +
                            c.cause + "\nTurn 2 of g was not hosted; the game stands as it was\n"))
        << r.out;
    EXPECT_FALSE(says(r, "not used")) << r.out;
    EXPECT_TRUE(readbytes(path("ftherlnd")) == world);
    EXPECT_TRUE(readbytes(orderpath(1)) == other);
    EXPECT_TRUE(readbytes(trnpath(0)) == turn);
    const Outcome v = run({"--verify", "g"});
    EXPECT_EQ(v.status, 1) << v.out;
    EXPECT_TRUE(says(v, orders + " cannot be read: " + c.cause + "\n1 file of g could not be verified\n")) << v.out;
    EXPECT_FALSE(says(v, "written")) << v.out;
    chmod(orders.c_str(), 0644);
    ASSERT_EQ(system(("rm -rf '" + orders + "'").c_str()), 0);
    writebytes(orders, written);
  }
  // Readable again, the orders go into the month.
  const Outcome r = run({"--textonly", "--host", "g"}, false);
  EXPECT_EQ(r.status, 0) << r.out;
  EXPECT_FALSE(says(r, "not used")) << r.out;
  EXPECT_EQ(worldturn(), 2);
}

// The order file is read once, whole: whichever look at it or read of it
// fails (each in turn, from the first look to the last read), the host
// says that it cannot be read, with status 1, and touches nothing; it never
// takes the file for a stale or damaged one. --verify names it alike.
TEST_F(Unreadable, AnyFailingReadOfAnOrderFileStopsTheHost) {
  create("testvale.map", {0, 1});
  play(0, [] {});
  play(1, [] {});
  // Without its turn file the nation is left out of the host's first look
  // at who has played, which peeks at the order file's header: what is
  // counted is the month's own read of the file.
  unlink(trnpath(0).c_str());
  const std::string shim = root + "/temp/readfault.so";
  ASSERT_EQ(system(("cc -shared -fPIC -O2 -o '" + shim + "' '" VEY3_SOURCE_DIR "/tests/host/readfaultshim.c' -ldl").c_str()),
            0);
  const std::string orders = orderpath(0), count = root + "/temp/count.txt";
  const std::vector<std::string> shimmed = {"LD_PRELOAD=" + shim, "VEY3_READFAULTFILE=" + orders,
                                            "ASAN_OPTIONS=verify_asan_link_order=0:detect_leaks=0"};
  std::vector<std::pair<std::string, std::vector<uint8_t>>> files;
  for (const std::string& name : {path("ftherlnd"), orders, orderpath(1), trnpath(1)})
    files.emplace_back(name, readbytes(name));
  // A clean run counts the calls on the file (and hosts the month).
  std::vector<std::string> counting = shimmed;
  counting.push_back("VEY3_READFAULTCOUNT=" + count);
  Outcome r = run({"--textonly", "--host", "g"}, false, counting);
  ASSERT_EQ(r.status, 0) << r.out;
  std::vector<uint8_t> said = readbytes(count);
  const int32_t calls = atoi(std::string(said.begin(), said.end()).c_str() + 6);
  ASSERT_GE(calls, 4);
  for (const auto& [name, bytes] : files) writebytes(name, bytes);
  unlink(trnpath(0).c_str());
  for (int32_t n = 1; n <= calls; n++) {
    // A disc's error, a memory that runs out, a file that a file server
    // lost meanwhile.
    for (const auto& [error, cause] : {std::pair{"EIO", DISCERROR}, std::pair{"ENOMEM", "there was not enough memory"},
                                       std::pair{"ESTALE", "the file server no longer knows it (it was removed or "
                                                           "replaced there)"}}) {
      SCOPED_TRACE(std::string(error) + " at call " + std::to_string(n) + " of " + std::to_string(calls));
      std::vector<std::string> failing = shimmed;
      failing.push_back("VEY3_READFAULT=" + std::to_string(n) + ":" + error);
      r = run({"--textonly", "--host", "g"}, false, failing);
      EXPECT_EQ(r.status, 1) << r.out;
      EXPECT_TRUE(says(r, std::string("The orders of ") + nations[0].name + ", " + orders + ", cannot be read: " +
                              cause + "\nTurn 2 of g was not hosted; the game stands as it was\n"))
          << r.out;
      EXPECT_FALSE(says(r, "not used")) << r.out;
      for (const auto& [name, bytes] : files) EXPECT_TRUE(readbytes(name) == bytes) << name;
      EXPECT_FALSE(filestands(trnpath(0).c_str()));
      for (const auto& [name, bytes] : files) writebytes(name, bytes);
      unlink(trnpath(0).c_str());
    }
  }
  // --verify reads the file once too: each failing call is named.
  counting.back() = "VEY3_READFAULTCOUNT=" + count;
  r = run({"--verify", "g"}, false, counting);
  said = readbytes(count);
  const int32_t verifycalls = atoi(std::string(said.begin(), said.end()).c_str() + 6);
  ASSERT_GE(verifycalls, 4);
  for (int32_t n = 1; n <= verifycalls; n++) {
    SCOPED_TRACE("--verify, call " + std::to_string(n) + " of " + std::to_string(verifycalls));
    std::vector<std::string> failing = shimmed;
    failing.push_back("VEY3_READFAULT=" + std::to_string(n));
    r = run({"--verify", "g"}, false, failing);
    EXPECT_EQ(r.status, 1) << r.out;
    EXPECT_TRUE(says(r, orders + " cannot be read: " + DISCERROR + "\n")) << r.out;
    EXPECT_FALSE(says(r, "rotten")) << r.out;
  }
}

// A world file whose body reads to its end but does not hold together (a
// stretch of records copied over others) is refused as the reading's own
// damage: by --verify, and by the host before it makes anything.
TEST_F(Unreadable, AWorldThatDoesNotHoldTogetherIsRefusedByVerifyAndHost) {
  create("testvale.map", {0, 1});
  const std::vector<uint8_t> good = readbytes(path("ftherlnd"));
  struct Damage {
    std::string cause;
    std::function<std::string()> spoil;
  };
  const std::vector<Damage> damages = {
      {"two commanders with one body", [&] { return sharebody(); }},
      {"a unit of no type", [&] {
         int32_t t = 0;
         EXPECT_EQ(loadworldfile(game.c_str(), 0, &t), 1);
         const int32_t u = com[0].body;
         unit[size_t(u)].type = -7;
         EXPECT_TRUE(writeworldfile(game.c_str(), gamenbr, t));
         return "unit " + std::to_string(u) + " is of no unit type (-7)";
       }},
  };
  for (const Damage& d : damages) {
    SCOPED_TRACE(d.cause);
    writebytes(path("ftherlnd"), good);
    const std::string fault = d.spoil();
    const std::vector<uint8_t> bad = readbytes(path("ftherlnd"));
    const std::string said = path("ftherlnd") + ": the file is damaged (" + fault + ")\n";
    const Outcome v = run({"--verify", "g"});
    EXPECT_EQ(v.status, 1) << v.out;
    EXPECT_TRUE(says(v, said)) << v.out;
    const Outcome r = run({"--textonly", "--host", "g"});
    EXPECT_EQ(r.status, 1) << r.out;
    EXPECT_TRUE(says(r, "Cannot read the world file of the game g, " + said)) << r.out;
    EXPECT_TRUE(readbytes(path("ftherlnd")) == bad);
  }
}

// A mod of the game that is in the mods folder but cannot be read whole
// stops the host as a missing one does, named with the cause; read, the
// month is made.
TEST_F(Unreadable, AModThatCannotBeReadWholeStopsTheHost) {
  create("testvale.map", {0, 1});
  int32_t t = 0;
  ASSERT_EQ(loadworldfile(game.c_str(), 0, &t), 1);
  gameinfo.modcount = 0;
  strlcopy(gameinfo.mods[0].name, "part.dm", sizeof gameinfo.mods[0].name);
  ASSERT_TRUE(writeworldfile(game.c_str(), gamenbr, t));
  const std::vector<uint8_t> world = readbytes(path("ftherlnd"));
  const std::string mod = root + "/mods/part.dm";
  mkdirs((root + "/mods").c_str());
  chmod((root + "/mods").c_str(), 0755);
  struct Case {
    std::string cause;
    std::function<void()> spoil;
  };
  const std::vector<Case> cases = {
      {"it cannot be opened: no permission", [&] { writebytes(mod, {'#', '\n'}); chmod(mod.c_str(), 0); }},
      {"it is larger than " + std::to_string(MAXMODFILE) + " bytes",
       [&] { writebytes(mod, {'#', '\n'}); ASSERT_EQ(truncate(mod.c_str(), MAXMODFILE + 1), 0); }},
      {std::string("line 1: the file could not be read on from there (") + DISCERROR + ")",
       [&] { symlink("/proc/self/mem", mod.c_str()); }},
      // Something other than a file in its place is no missing mod.
      {"it cannot be opened: it is a folder, not a file", [&] { mkdir(mod.c_str(), 0755); }},
      {"it cannot be opened: it is a FIFO, not a file", [&] { mkfifo(mod.c_str(), 0644); }},
      {"it cannot be opened: its symbolic links go round in a loop", [&] { symlink("part.dm", mod.c_str()); }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.cause);
    remove(mod.c_str());
    c.spoil();
    const Outcome r = run({"--textonly", "--host", "g"});
    EXPECT_EQ(r.status, 1) << r.out;
    EXPECT_TRUE(says(r, "The game g needs the mod part.dm, " + mod + ", which cannot be read: " + c.cause +
                            "; the turn was not hosted\n"))
        << r.out;
    EXPECT_EQ(r.out.find(mod), r.out.rfind(mod)) << r.out;
    EXPECT_TRUE(readbytes(path("ftherlnd")) == world);
  }
  remove(mod.c_str());
  writebytes(mod, {'#', '\n'});
  const Outcome r = run({"--textonly", "--host", "g"}, false);
  EXPECT_EQ(r.status, 0) << r.out;
  EXPECT_EQ(worldturn(), t + 1);
}

// --verify in a saved-games folder that takes no file: every file is
// verified, and the reports that could not be written are said to be so.
TEST_F(Unreadable, VerifyInAReadOnlyFolderSaysTheReportsWereNotWritten) {
  create("testvale.map", {0, 1});
  play(0, [] {});
  play(1, [] {});
  savemode = gamemode = 0555;
  const Outcome v = run({"--verify", "g"});
  chmod((root + "/save").c_str(), savemode = 0755);
  chmod(path("").c_str(), gamemode = 0777);
  EXPECT_EQ(v.status, 1) << v.out;
  for (const std::string& report :
       {path(std::string(nations[0].fileword) + ".chk"), path(std::string(nations[1].fileword) + ".chk"),
        path("ftherlnd.chk")}) {
    EXPECT_TRUE(says(v, "Could not write the report " + report + ": ")) << v.out;
    EXPECT_FALSE(filestands(report.c_str()));
  }
  EXPECT_TRUE(says(v, "3 reports of g could not be written\n")) << v.out;
  EXPECT_FALSE(says(v, "could not be verified")) << v.out;
  // One report in whose place a folder stands, counted as one.
  const std::string world = path("ftherlnd.chk");
  ASSERT_EQ(mkdirs((world + "/in").c_str()), 1);
  const Outcome one = run({"--verify", "g"}, false);
  EXPECT_EQ(one.status, 1) << one.out;
  EXPECT_TRUE(says(one, "Could not write the report " + world + ": a folder stands in its place\n")) << one.out;
  EXPECT_TRUE(says(one, "\n1 report of g could not be written\n")) << one.out;
}

// A FIFO in the place of the world or a turn file is named as such, never
// as an empty file; a world or turn file whose reader stops on a value is
// named with the reader's own stop words and what they mean.
TEST_F(Unreadable, WorldAndTurnFilesAreNamedWithTheTrueCause) {
  create("testvale.map", {0, 1});
  const std::string world = path("ftherlnd");
  const std::vector<uint8_t> good = readbytes(world);
  unlink(world.c_str());
  mkfifo(world.c_str(), 0644);
  Outcome v = run({"--verify", "g"});
  EXPECT_EQ(v.status, 1) << v.out;
  EXPECT_TRUE(says(v, world + " cannot be read: it is a FIFO, not a file\n")) << v.out;
  Outcome r = run({"--textonly", "--host", "g"});
  EXPECT_EQ(r.status, 1) << r.out;
  EXPECT_TRUE(says(r, "Cannot read the world file of the game g, " + world + ": it is a FIFO, not a file\n")) << r.out;
  unlink(world.c_str());
  writebytes(world, good);
  // The header's check value, the last one of the body, and a kingdom
  // record's own.
  const uint8_t check[4] = {0x39, 0x30, 0, 0};
  const size_t headerend = size_t(std::search(good.begin() + 38, good.end(), check, check + 4) - good.begin());
  int32_t t = 0;
  ASSERT_EQ(loadworldfile(game.c_str(), 0, &t), 1);
  const std::vector<uint8_t> kingdom0 = streambytes([](FILE* f) { put_kingdom(0, f); });
  const size_t kingdomat = size_t(std::search(good.begin(), good.end(), kingdom0.begin(), kingdom0.end()) - good.begin());
  ASSERT_LT(kingdomat, good.size());
  struct Damage {
    size_t at;
    std::string said;
  };
  for (const Damage& d : {Damage{headerend, "readfileheader: bad CHECK (its header does not end where it should)"},
                          Damage{good.size() - 4, "getfather: bad CHECK (a section does not end where it should)"},
                          Damage{kingdomat, "get_kingdom: corrupted file (a record holds values out of range)"}}) {
    SCOPED_TRACE(d.said);
    std::vector<uint8_t> bad = good;
    bad[d.at] = 0;
    bad[d.at + 1] = 0;
    writebytes(world, bad);
    v = run({"--verify", "g"});
    EXPECT_EQ(v.status, 1) << v.out;
    EXPECT_TRUE(says(v, world + ": " + d.said + "\n")) << v.out;
    r = run({"--textonly", "--host", "g"});
    EXPECT_EQ(r.status, 1) << r.out;
    EXPECT_TRUE(says(r, "Cannot read the world file of the game g, " + world + ": " + d.said + "\n")) << r.out;
    EXPECT_TRUE(readbytes(world) == bad);
  }
  writebytes(world, good);
  unlink(trnpath(1).c_str());
  mkfifo(trnpath(1).c_str(), 0644);
  // A turn file's header that stops its reader is named so, and written anew.
  std::vector<uint8_t> turn = readbytes(trnpath(0));
  turn[size_t(std::search(turn.begin() + 38, turn.end(), check, check + 4) - turn.begin())] = 0;
  writewithchecksum(trnpath(0), turn);
  r = run({"--textonly", "--host", "g"}, false);
  EXPECT_EQ(r.status, 0) << r.out;
  EXPECT_TRUE(says(r, "The turn file " + trnpath(1) + " did not read (it is a FIFO, not a file); the host wrote it anew"))
      << r.out;
  EXPECT_TRUE(says(r, "The turn file " + trnpath(0) +
                          " did not read (readfileheader: bad CHECK (its header does not end where it should)); the "
                          "host wrote it anew"))
      << r.out;
}

}  // namespace
