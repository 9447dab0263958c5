// The files of a hosted turn: written as one set, so that a host stopped at
// any moment or on a full disk leaves the whole old turn or the whole new
// one; and the host road of the command line.
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <functional>
#include <fstream>

#include "hostgame.h"
#include "runtime/filesets.h"
#include "runtime/hostlock.h"
#include "support/background.h"
#include "support/gamefolders.h"

namespace {

struct Outcome {
  int status = -1;
  std::string out;
};

// Runs the program with the arguments and environment in the folder; its output.
Outcome runprogram(const char* program, const std::vector<std::string>& args, const std::vector<std::string>& env,
                   const std::string& dir) {
  const std::string outfile = dir + "/out.txt";
  Outcome r;
  r.status = waitprogram(startprogram(program, args, env, outfile, dir), 3600);
  const std::vector<uint8_t> b = readbytes(outfile);
  r.out.assign(b.begin(), b.end());
  return r;
}

class TurnFiles : public HostGame {
 protected:
  std::vector<std::string> setnames() {
    std::vector<std::string> v = {"ftherlnd"};
    for (int32_t p : humans) v.push_back(std::string(nations[size_t(p)].fileword) + ".trn");
    return v;
  }
  std::vector<std::vector<uint8_t>> setbytes() {
    std::vector<std::vector<uint8_t>> v;
    for (const std::string& n : setnames()) v.push_back(readbytes(path(n)));
    return v;
  }
  void savecopy(const std::string& name) {
    ASSERT_EQ(system(("rm -rf '" + root + "/" + name + "' && cp -r '" + root + "/save/g' '" + root + "/" + name + "'").c_str()), 0);
  }
  void restorecopy(const std::string& name) {
    ASSERT_EQ(system(("rm -rf '" + root + "/save/g' && cp -r '" + root + "/" + name + "' '" + root + "/save/g'").c_str()), 0);
  }
  // The environment of a host program on the game.
  std::vector<std::string> hostenv() const {
    return {"VEY3_SAVE=" + root + "/save", "VEY3_TEMP=" + root + "/temp", "VEY3_CONF=" + root + "/conf",
            "VEY3_DATA=" VEY3_DATA_DIR, "HOME=" + root};
  }
  // A host started (with the environment) before another host makes its
  // month, and slow to start (it reads the game only once the month
  // stands), hosts nothing.
  void slowhostleavesthenextmonth(const std::vector<std::string>& env) {
    const pid_t slow = startprogram("/bin/sh",
                                    {"-c", "while [ ! -e '" + root + "/slowgo' ]; do sleep 0.01; done; exec '" +
                                               std::string(VEY3_HOST_BINARY) + "' --textonly --host g"},
                                    env, root + "/slow.txt");
    ASSERT_EQ(runprogram(VEY3_HOST_BINARY, {"--textonly", "--host", "g"}, hostenv(), root).status, 0);
    const int32_t made = worldturn();
    writebytes(root + "/slowgo", {});
    EXPECT_EQ(waitprogram(slow), 1);
    const std::vector<uint8_t> late = readbytes(root + "/slow.txt");
    EXPECT_EQ(std::string(late.begin(), late.end()), "The game g was hosted by another program meanwhile (it is at turn " +
                                                         std::to_string(made) + " now); it was not hosted again\n");
    EXPECT_EQ(worldturn(), made);
  }
  // Every file of the set carries the same turn.
  int32_t consistentturn() {
    const int32_t t = worldturn();
    for (int32_t p : humans) {
      int32_t tt = -1;
      UniqueFile f = readfileheader(game.c_str(), 0, -1, 1, p, &tt, nullptr, nullptr, nullptr);
      EXPECT_TRUE(f);
      EXPECT_EQ(tt, t);
      EXPECT_TRUE(checkcrc(trnpath(p).c_str()));
    }
    return t;
  }
};

TEST_F(TurnFiles, AHostKilledAtAnyMomentLeavesOneWholeTurn) {
  create("testvale.map", {0, 1, 2});
  play(0, [] {});
  savecopy("old");
  ASSERT_EQ(host(), 1);
  const std::vector<std::vector<uint8_t>> expected = setbytes();
  restorecopy("old");
  // How long a host takes here, to spread the kills over it.
  const uint32_t start = getms();
  ASSERT_EQ(host(), 1);
  const uint32_t span = imax(getms() - start, 20) * 1000;
  int32_t old = 0, fresh = 0;
  // Kills from the start on, until the host has finished a few times.
  for (uint32_t k = 0; k < 200 && fresh < 3; k++) {
    const uint32_t delay = span * k / 20;
    restorecopy("old");
    fflush(stdout);
    const pid_t pid = fork();
    if (pid == 0) {
      freopen("/dev/null", "w", stdout);
      newturn(game.c_str(), -1);
      _exit(0);
    }
    usleep(delay);
    kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);
    // The next reader finishes or undoes what the host left.
    finishhostcommit(game.c_str());
    const int32_t t = consistentturn();
    ASSERT_TRUE(t == 1 || t == 2) << delay;
    if (t == 2) {
      fresh++;
      EXPECT_EQ(setbytes(), expected) << delay;
    } else {
      old++;
      // Hosting again gives the same turn as an unbroken host.
      ASSERT_EQ(host(), 1);
      EXPECT_EQ(setbytes(), expected) << delay;
    }
    EXPECT_FALSE(fileexists("%s", path("hostcommit").c_str()));
    EXPECT_FALSE(fileexists("%s", path("ftherlnd.host").c_str()));
  }
  EXPECT_GT(old, 0);
  EXPECT_GT(fresh, 0);
}

TEST_F(TurnFiles, AFullDiskLeavesTheOldTurn) {
  create("testvale.map", {0, 1});
  const std::vector<std::vector<uint8_t>> before = setbytes();
  fflush(stdout);
  const pid_t pid = fork();
  if (pid == 0) {
    freopen("/dev/null", "w", stdout);
    signal(SIGXFSZ, SIG_IGN);
    struct rlimit limit = {20000, 20000};   // smaller than a world file
    setrlimit(RLIMIT_FSIZE, &limit);
    _exit(newturn(game.c_str(), -1) == 1 ? 0 : 3);
  }
  int status = 0;
  waitpid(pid, &status, 0);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 3);
  EXPECT_EQ(setbytes(), before);
  EXPECT_FALSE(fileexists("%s", path("ftherlnd.host").c_str()));
  EXPECT_FALSE(fileexists("%s", path("hostcommit").c_str()));
  EXPECT_EQ(host(), 1);
  EXPECT_EQ(worldturn(), 2);
}

TEST_F(TurnFiles, AJournalIsFinishedAndStrayFilesRemoved) {
  create("testvale.map", {0});
  // Files aside without a journal are what a host stopped early leaves.
  FILE* f = fopen(path("ftherlnd.host").c_str(), "w");
  fputs("half", f);
  fclose(f);
  const std::vector<uint8_t> world = readbytes(path("ftherlnd"));
  EXPECT_EQ(finishhostcommit(game.c_str()), 0);
  EXPECT_FALSE(fileexists("%s", path("ftherlnd.host").c_str()));
  EXPECT_EQ(readbytes(path("ftherlnd")), world);
  // With the journal the set is put in place, whatever was renamed already.
  std::vector<TurnFile> set(2);
  strlcopy(set[0].name, "ftherlnd", 100);
  set[0].bytes = {1, 2, 3};
  strlcopy(set[1].name, "stats.txt", 100);
  set[1].bytes = {'x'};
  ASSERT_TRUE(committurnfiles(game.c_str(), set));
  EXPECT_EQ(readbytes(path("ftherlnd")), set[0].bytes);
  EXPECT_EQ(readbytes(path("stats.txt")), set[1].bytes);
  // A set with a name that could leave the folder is refused whole.
  strlcopy(set[1].name, "../escape", 100);
  EXPECT_FALSE(committurnfiles(game.c_str(), set));
  EXPECT_EQ(readbytes(path("ftherlnd")), (std::vector<uint8_t>{1, 2, 3}));
}

TEST_F(TurnFiles, TheHostConsoleSaysWhatMatters) {
  create("testvale.map", {0, 1, 2});
  play(0, [] {});
  play(1, [] {});
  // Nation 1 sent orders from a newer program; nation 2 sent none.
  unlink(orderpath(2).c_str());
  std::vector<uint8_t> b = readbytes(orderpath(1));
  for (int i = 0; i < 4; i++) b[10 + size_t(i)] = uint8_t(uint32_t(400) >> (8 * i));
  b.resize(b.size() - 2);
  const int32_t crc = calccrc(b.data(), int32_t(b.size()), 0);
  b.push_back(uint8_t(crc & 0xFF));
  b.push_back(uint8_t(crc >> 8));
  writebytes(orderpath(1), b);
  const std::vector<std::string> env = hostenv();
  const std::vector<uint8_t> world = readbytes(path("ftherlnd"));
  const Outcome r = runprogram(VEY3_HOST_BINARY, {"--textonly", "--host", "g"}, env, root);
  // The host went on past the file it could not use.
  EXPECT_EQ(r.status, 0) << r.out;
  EXPECT_EQ(worldturn(), 2);
  EXPECT_NE(r.out.find("Turn 2 of g hosted"), std::string::npos) << r.out;
  EXPECT_EQ(r.out.find(std::string("Orders of ") + nations[0].name), std::string::npos) << r.out;
  EXPECT_NE(r.out.find(std::string("Orders of ") + nations[1].name + " (" + nations[1].fileword +
                       ".2h) not used: the file is of version 400; this program reads versions 264 to 327"),
            std::string::npos) << r.out;
  EXPECT_NE(r.out.find(std::string("Orders of ") + nations[2].name + " (" + nations[2].fileword +
                       ".2h) not used: there is no order file"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("Hosting, Battles"), std::string::npos) << r.out;
  EXPECT_EQ(r.out.find("host: "), std::string::npos) << r.out;
  ASSERT_TRUE(openturn(1));
  EXPECT_EQ(messages(1, "Stale Turn"), 1);
  ASSERT_TRUE(openturn(0));
  EXPECT_EQ(messages(0, "Stale Turn"), 0);
  // The working lines of each phase follow -d.
  writebytes(path("ftherlnd"), world);
  const Outcome d = runprogram(VEY3_HOST_BINARY, {"--textonly", "--host", "-d", "g"}, env, root);
  EXPECT_EQ(d.status, 0) << d.out;
  EXPECT_NE(d.out.find("host: move"), std::string::npos) << d.out;
}

// A damaged turn file of any kind stops neither the host nor a second
// host: every turn file is written anew, and each damaged one is named.
TEST_F(TurnFiles, DamagedTurnFilesAreNamedAndWrittenAnew) {
  create("testvale.map", {0, 1, 2, 3});
  const std::vector<std::string> env = hostenv();
  auto patched = [&](int32_t p, size_t at, int32_t value) { patchgamefile(trnpath(p), at, value); };
  // A file of a nation that plays no part in the game is named and left.
  const std::string stray = path(std::string(nations[9].fileword) + ".trn");
  writebytes(stray, {'j', 'u', 'n', 'k'});
  struct Damage {
    int32_t nation;
    std::function<void()> spoil;
    std::string cause;
  };
  const std::vector<std::vector<Damage>> rounds = {
      {{1, [&] { writebytes(trnpath(1), {}); }, "the file is empty"},
       {2, [&] { writebytes(trnpath(2), {1, 2, 4, 'V', 'E', 'Y', 0, 0}); }, "the file is damaged (its header is cut short)"},
       {3, [&] { patched(3, 22, 4711); }, "the file belongs to another game"}},
      {{1, [&] { patched(1, 10, 400); },
        "Veyrances version is too old: the file is of version 400; this program reads versions 264 to 327 "
        "(myversion327 fileversion400 nation1). Please get the latest update of Veyrances."},
       {2, [&] { unlink(trnpath(2).c_str()); mkdirs((trnpath(2) + "/in").c_str()); }, "it is a folder, not a file"},
       {3, [&] { patched(3, 26, 0); }, "the file belongs to another nation"}},
  };
  for (const std::vector<Damage>& round : rounds) {
    const int32_t before = worldturn();
    for (const Damage& d : round) d.spoil();
    const Outcome r = runprogram(VEY3_HOST_BINARY, {"--textonly", "--host", "g"}, env, root);
    EXPECT_EQ(r.status, 0) << r.out;
    EXPECT_EQ(worldturn(), before + 1) << r.out;
    for (const Damage& d : round) {
      EXPECT_NE(r.out.find("The turn file " + trnpath(d.nation) + " did not read (" + d.cause +
                           "); the host wrote it anew"), std::string::npos) << r.out;
      int32_t t = -1;
      EXPECT_TRUE(openturn(d.nation, &t)) << d.nation;
      EXPECT_EQ(t, before + 1);
    }
    EXPECT_NE(r.out.find("The turn file " + stray + " does not read (it is not a game file); no nation of this game "
                         "plays it, so it was left as it was"), std::string::npos) << r.out;
    EXPECT_EQ(readbytes(stray), (std::vector<uint8_t>{'j', 'u', 'n', 'k'}));
  }
  // The folder's own files were kept aside.
  EXPECT_TRUE(direxists("%s.folder/in", trnpath(2).c_str()));
  // --verify reads the new turn's files whole.
  const Outcome v = runprogram(VEY3_HOST_BINARY, {"--verify", "g"}, env, root);
  EXPECT_EQ(v.status, 0) << v.out;
}

// --verify reads the world file whole: a file cut short, empty or damaged
// after a good header is named with its cause and the status is 1.
TEST_F(TurnFiles, VerifyNamesADamagedWorldFile) {
  create("testvale.map", {0, 1});
  const std::vector<std::string> env = hostenv();
  const std::string world = path("ftherlnd");
  const std::vector<uint8_t> whole = readbytes(world);
  ASSERT_GT(whole.size(), 1000u);
  std::vector<uint8_t> spoilt = whole;
  std::fill(spoilt.begin() + long(whole.size() / 4), spoilt.begin() + long(whole.size() / 2), uint8_t(0xff));
  const std::vector<std::pair<std::vector<uint8_t>, std::string>> damages = {
      {{whole.begin(), whole.begin() + long(whole.size() / 2)}, "the file is damaged (the file ends early)\n"},
      {{}, "the file is empty"},
      // Bytes of FF end the sections early (index -1): the reader stops at
      // the body's last check, with its own words.
      {spoilt, "getfather: bad CHECK (a section does not end where it should)\n"},
  };
  for (const auto& [bytes, cause] : damages) {
    writebytes(world, bytes);
    const Outcome v = runprogram(VEY3_HOST_BINARY, {"--verify", "g"}, env, root);
    EXPECT_EQ(v.status, 1) << v.out;
    EXPECT_NE(v.out.find(world + ": " + cause), std::string::npos) << v.out;
  }
  writebytes(world, whole);
  const Outcome v = runprogram(VEY3_HOST_BINARY, {"--verify", "g"}, env, root);
  EXPECT_EQ(v.status, 0) << v.out;
}

// A second host of a game that is being hosted refuses, with a line and
// status 1; the month is hosted once.
TEST_F(TurnFiles, OneHostAtATime) {
  create("testvale.map", {0, 1});
  const std::vector<std::string> env = hostenv();
  const int32_t before = worldturn();
  // The first host is held in its --preexec command until the second has
  // been refused.
  const pid_t first = startprogram(VEY3_HOST_BINARY,
                                   {"--textonly", "--host", "--preexec",
                                    "touch '" + root + "/started'; while [ ! -e '" + root + "/go' ]; do sleep 0.05; done",
                                    "g"},
                                   {"VEY3_SAVE=" + root + "/save", "VEY3_TEMP=" + root + "/temp1",
                                    "VEY3_CONF=" + root + "/conf", "VEY3_DATA=" VEY3_DATA_DIR, "HOME=" + root},
                                   root + "/first.txt");
  ASSERT_TRUE(waitforfile(root + "/started"));
  for (const char* mode : {"--host", "--superhost"}) {
    const Outcome second = runprogram(VEY3_HOST_BINARY, {"--textonly", mode, "g"}, env, root);
    EXPECT_EQ(second.status, 1) << second.out;
    EXPECT_NE(second.out.find("The game g is being hosted by another program right now; it was not hosted again"),
              std::string::npos) << second.out;
  }
  writebytes(root + "/go", {});
  EXPECT_EQ(waitprogram(first), 0);
  EXPECT_EQ(worldturn(), before + 1);
  // Once it is done the game is free for the next host.
  const Outcome next = runprogram(VEY3_HOST_BINARY, {"--textonly", "--host", "g"}, env, root);
  EXPECT_EQ(next.status, 0) << next.out;
  EXPECT_EQ(worldturn(), before + 2);
}

// True once the program started has the file open (or has ended), false
// after a minute. What the child of the fork holds before it starts the
// program does not count.
bool holdsopen(pid_t pid, const std::string& file) {
  const std::string fds = "/proc/" + std::to_string(pid) + "/fd";
  const std::string program = std::filesystem::path(VEY3_HOST_BINARY).filename();
  for (int32_t tries = 0; tries < 6000; tries++) {
    siginfo_t ended{};
    if (waitid(P_PID, id_t(pid), &ended, WEXITED | WNOHANG | WNOWAIT) == 0 && ended.si_pid == pid) return true;
    std::error_code ignored;
    const bool started = std::filesystem::read_symlink("/proc/" + std::to_string(pid) + "/exe", ignored).filename() == program;
    if (started)
      for (const auto& e : std::filesystem::directory_iterator(fds, ignored))
        if (std::filesystem::read_symlink(e.path(), ignored).filename() == file) return true;
    usleep(10000);
  }
  return false;
}

// A host that finds another host at work refuses at once, though that host
// ends soon after: the month made is not hosted a second time. It waits
// only for an order writer, and hosts the month that stood when it was
// started or none.
TEST_F(TurnFiles, ASecondHostNeverHostsTheMonthAfter) {
  create("testvale.map", {0, 1});
  const std::vector<std::string> env = hostenv();
  const int32_t before = worldturn();
  // The first host has made its month and holds the lock in --postexec
  // until the second is at the lock.
  const pid_t first = startprogram(
      VEY3_HOST_BINARY,
      {"--textonly", "--host", "--postexec",
       "touch '" + root + "/made'; while [ ! -e '" + root + "/go' ]; do sleep 0.02; done", "g"},
      env, root + "/first.txt");
  ASSERT_TRUE(waitforfile(root + "/made"));
  const pid_t second = startprogram(VEY3_HOST_BINARY, {"--textonly", "--host", "g"}, env, root + "/second.txt");
  ASSERT_TRUE(holdsopen(second, HOSTLOCKFILE));
  // The second ends while the first still holds the lock, however long it
  // takes to get there on a busy machine; one that waited for the lock would
  // not end before the first.
  EXPECT_EQ(waitprogram(second, 60), 1);
  writebytes(root + "/go", {});
  EXPECT_EQ(waitprogram(first), 0);
  const std::vector<uint8_t> said = readbytes(root + "/second.txt");
  EXPECT_EQ(std::string(said.begin(), said.end()),
            "The game g is being hosted by another program right now; it was not hosted again\n");
  EXPECT_EQ(worldturn(), before + 1);
  // A host that waits for an order writer, and finds meanwhile the month
  // that another host made, leaves it.
  savecopy("month2");
  ASSERT_EQ(runprogram(VEY3_HOST_BINARY, {"--textonly", "--host", "g"}, env, root).status, 0);
  savecopy("month3");
  restorecopy("month2");
  const std::string folder = root + "/save/g";
  ASSERT_EQ(lockgame(folder.c_str(), false), GameLock::held);
  const pid_t waiting = startprogram(VEY3_HOST_BINARY, {"--textonly", "--host", "g"}, env, root + "/third.txt");
  ASSERT_TRUE(holdsopen(waiting, HOSTLOCKFILE));
  for (const std::string& n : setnames()) rename((root + "/month3/" + n).c_str(), path(n).c_str());
  unlockgame(folder.c_str());
  EXPECT_EQ(waitprogram(waiting), 1);
  const std::vector<uint8_t> third = readbytes(root + "/third.txt");
  EXPECT_NE(std::string(third.begin(), third.end()).find("The game g was hosted by another program meanwhile (it is at "
                                                          "turn " + std::to_string(before + 2) + " now)"),
            std::string::npos);
  EXPECT_EQ(worldturn(), before + 2);
  slowhostleavesthenextmonth(env);
  EXPECT_EQ(worldturn(), before + 3);
}

// Whether a month was made after a host started does not hang on the host's
// wall clock agreeing with the file system's (a network folder, a clock
// stepped back): a host whose clock runs a minute behind hosts the month
// that stood, and one whose clock runs a minute ahead still leaves the
// month that another host made after its start.
TEST_F(TurnFiles, AHostWhoseClockIsOffHostsTheMonthThatStoodAtItsStart) {
  create("testvale.map", {0, 1});
  const int32_t before = worldturn();
  const std::string shim = root + "/temp/clockshim.so";
  ASSERT_EQ(system(("mkdir -p '" + root + "/temp' && cc -shared -fPIC -O2 -o '" + shim + "' '" VEY3_SOURCE_DIR
                    "/tests/host/clockshim.c' -ldl")
                       .c_str()),
            0);
  auto shifted = [&](int seconds) {
    std::vector<std::string> env = hostenv();
    for (const std::string& v : {"LD_PRELOAD=" + shim, "VEY3_CLOCKSHIFT=" + std::to_string(seconds),
                                 std::string("ASAN_OPTIONS=verify_asan_link_order=0:detect_leaks=0")})
      env.push_back(v);
    return env;
  };
  // The month just made, the next at once by a clock behind.
  ASSERT_EQ(runprogram(VEY3_HOST_BINARY, {"--textonly", "--host", "g"}, hostenv(), root).status, 0);
  const Outcome behind = runprogram(VEY3_HOST_BINARY, {"--textonly", "--host", "g"}, shifted(-60), root);
  EXPECT_EQ(behind.status, 0) << behind.out;
  EXPECT_EQ(behind.out.find("meanwhile"), std::string::npos) << behind.out;
  EXPECT_EQ(worldturn(), before + 2);
  // Started before another host's month, by a clock ahead.
  slowhostleavesthenextmonth(shifted(60));
  EXPECT_EQ(worldturn(), before + 3);
}

// The pid here of the process that has the pid inner in a PID namespace
// below this one, once it has stopped; 0 while none has.
pid_t stoppedinside(pid_t inner) {
  std::error_code ignored;
  for (const auto& e : std::filesystem::directory_iterator("/proc", ignored)) {
    const std::vector<uint8_t> b = readbytes(e.path().string() + "/status");
    const std::string status(b.begin(), b.end());
    const size_t at = status.find("\nNSpid:\t");
    if (at == std::string::npos || status.find("\nState:\tT") == std::string::npos) continue;
    const std::string pids = status.substr(at + 8, status.find('\n', at + 1) - at - 8);
    if (pids.substr(pids.find('\t') + 1) == std::to_string(inner)) return pid_t(atoi(pids.c_str()));
  }
  return 0;
}

// A host in a PID namespace of its own (a container) that shares the game
// and temp folders with this machine: the pid of its writes runs no process
// here, but the locks that it holds tell that it works. A start of a
// program here (and a second host) keeps its set and its temp folder, and
// its month is made, where that start removed them as left by a process
// that is gone and the month failed.
TEST_F(TurnFiles, AHostInAnotherPidNamespaceKeepsItsSetAndTempFolder) {
  if (geteuid() != 0 || system("unshare --pid --fork true 2>/dev/null") != 0) GTEST_SKIP() << "no PID namespaces here";
  create("testvale.map", {0, 1});
  const int32_t before = worldturn();
  const std::vector<std::string> env = hostenv();
  // A pid that runs no process here is the host's in its namespace; the
  // host stops itself at the first write of the month's set.
  const pid_t ended = fork();
  if (ended == 0) _exit(0);
  waitpid(ended, nullptr, 0);
  std::vector<std::string> stopping = env;
  stopping.push_back("VEY3_KILLSTEP=1");
  stopping.push_back("VEY3_KILLSIGNAL=" + std::to_string(SIGSTOP));
  const pid_t host = startprogram(
      "/usr/bin/unshare",
      {"--pid", "--fork", "--kill-child", "--mount-proc", "sh", "-c",
       "echo " + std::to_string(ended - 1) + " > /proc/sys/kernel/ns_last_pid; \"$0\" \"$@\"; exit $?",
       VEY3_HOST_BINARY, "--textonly", "--host", "g"},
      stopping, root + "/host.txt", root);
  // However the test ends, the host and its namespace end with it.
  struct Ender {
    pid_t pid;
    ~Ender() {
      if (pid > 0) waitprogram(pid, 0);
    }
  } ender{host};
  pid_t stopped = 0;
  for (int32_t tries = 0; tries < 6000 && !stopped; tries++) {
    usleep(10000);
    stopped = stoppedinside(ended);
  }
  ASSERT_NE(stopped, 0) << "the host did not stop";
  const std::string set = path(std::string("set") + TEMPMARK + std::to_string(ended));
  const std::string temp = root + "/temp/" + TEMPPREFIX + std::to_string(ended);
  ASSERT_TRUE(std::filesystem::is_directory(set));
  ASSERT_TRUE(std::filesystem::is_directory(temp));
  runprogram(VEY3_HOST_BINARY, {"--verify", "g"}, env, root);
  const Outcome second = runprogram(VEY3_HOST_BINARY, {"--textonly", "--host", "g"}, env, root);
  EXPECT_NE(second.out.find("The game g is being hosted by another program right now"), std::string::npos)
      << second.out;
  EXPECT_TRUE(std::filesystem::is_directory(set));
  EXPECT_TRUE(std::filesystem::is_directory(temp));
  kill(stopped, SIGCONT);
  const int status = waitprogram(host);
  ender.pid = 0;
  const std::vector<uint8_t> said = readbytes(root + "/host.txt");
  EXPECT_EQ(status, 0) << std::string(said.begin(), said.end());
  EXPECT_EQ(worldturn(), before + 1);
  EXPECT_FALSE(std::filesystem::exists(set));
  EXPECT_FALSE(std::filesystem::exists(temp));
}

TEST_F(TurnFiles, TheHostRoadOfTheCommandLine) {
  create("testvale.map", {0, 1});
  const std::vector<std::string> env = hostenv();
  // The host program hosts one turn without a display, with the user's
  // commands around it, the statistics and the score page, and ends quietly.
  const Outcome r = runprogram(VEY3_HOST_BINARY, {"--textonly", "--host", "--statfile", "--scoredump", "--preexec", "echo before > pre.txt",
                         "--postexec", "echo after > post.txt", "g"},
                        env, root);
  EXPECT_EQ(r.status, 0) << r.out;
  EXPECT_EQ(worldturn(), 2);
  EXPECT_TRUE(fileexists("%s/pre.txt", root.c_str()));
  EXPECT_TRUE(fileexists("%s/post.txt", root.c_str()));
  const std::vector<uint8_t> stats = readbytes(path("stats.txt")), page = readbytes(path("scores.html"));
  const std::string s(stats.begin(), stats.end()), html(page.begin(), page.end());
  EXPECT_NE(s.find("g turn 2"), std::string::npos);
  EXPECT_NE(s.find(nations[0].name), std::string::npos);
  EXPECT_NE(html.find("<table"), std::string::npos);
  EXPECT_NE(html.find(nations[1].name), std::string::npos);
  // The player's program in text-only mode hosts the same way; the final
  // host tells every player the final scores.
  const Outcome f = runprogram(VEY3_BINARY, {"--textonly", "--finalhost", "g"}, env, root);
  EXPECT_EQ(f.status, 0);
  ASSERT_TRUE(openturn(0));
  EXPECT_EQ(messages(0, "Final scores"), 1);
  // A game that does not exist is an error with a message.
  const Outcome none = runprogram(VEY3_HOST_BINARY, {"--host", "nosuchgame"}, env, root);
  EXPECT_EQ(none.status, 1);
  EXPECT_NE(none.out.find("Cannot read the world file of the game nosuchgame"), std::string::npos);
  // --superhost hosts turn after turn until it is stopped; whenever that is,
  // the files hold one whole turn.
  fflush(stdout);
  const pid_t pid = fork();
  if (pid == 0) {
    for (const std::string& e : env) putenv(strdup(e.c_str()));
    freopen("/dev/null", "w", stdout);
    execl(VEY3_HOST_BINARY, VEY3_HOST_BINARY, "--superhost", "g", static_cast<char*>(nullptr));
    _exit(97);
  }
  // Three turns, however long a loaded machine takes for them; a host that
  // ended by itself ends the wait at once.
  const int32_t before = worldturn();
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(120);
  bool ended = false;
  while (!ended && worldturn() < before + 3 && std::chrono::steady_clock::now() < deadline) {
    usleep(50000);
    ended = waitpid(pid, nullptr, WNOHANG) == pid;
  }
  EXPECT_FALSE(ended) << "--superhost stopped by itself";
  // Between its turns too, the game is the --superhost's alone.
  if (!ended) {
    const Outcome second = runprogram(VEY3_HOST_BINARY, {"--textonly", "--host", "g"}, env, root);
    EXPECT_EQ(second.status, 1) << second.out;
  }
  if (!ended) {
    kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);
  }
  finishhostcommit(game.c_str());
  EXPECT_GE(worldturn(), before + 3);
  for (int32_t p : humans) {
    int32_t t = -1;
    UniqueFile trn = readfileheader(game.c_str(), 0, -1, 1, p, &t, nullptr, nullptr, nullptr);
    EXPECT_EQ(t, worldturn());
  }
}

}  // namespace
