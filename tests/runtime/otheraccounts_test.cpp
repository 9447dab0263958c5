// Another account that may read or write a game folder, met through the
// programs: its lock on the folder holds up no start, what it puts under the
// name of this user's lock stops the month, and a link that it puts in
// place of the month's set is never written through.
#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <regex>

#include "host/hostgame.h"
#include "runtime/filesets.h"
#include "support/background.h"
#include "support/gamefolders.h"
#include "support/plainuser.h"

namespace {

// A process that the test ends when the value goes, however it ends.
struct Process {
  pid_t pid;
  explicit Process(pid_t started) : pid(started) {}
  ~Process() {
    if (pid > 0 && waitpid(pid, nullptr, WNOHANG) == 0) kill(pid, SIGKILL), waitpid(pid, nullptr, 0);
  }
};

// A child that has done f as another account (as root: the plain user) and
// stays until it is ended; -1 when f failed.
template <class F>
pid_t asother(F f) {
  int ready[2];
  if (pipe(ready) != 0) return -1;
  fflush(stdout);
  pid_t pid = fork();
  if (pid == 0) {
    asplainuser();
    if (f() && write(ready[1], "r", 1) == 1) pause();
    _exit(90);
  }
  close(ready[1]);
  char c;
  if (read(ready[0], &c, 1) != 1) waitpid(pid, nullptr, 0), pid = -1;
  close(ready[0]);
  return pid;
}

class OtherAccounts : public HostGame {
 protected:
  OtherAccounts() { reach = Reach::plainuser; }
  void SetUp() override {
    if (geteuid() != 0) GTEST_SKIP() << "only root can run a process of another account";
    HostGame::SetUp();
    create("testvale.map", {0, 1});
    lock = path(".vey3lock." + std::to_string(geteuid()));
  }
  std::vector<std::string> env(std::vector<std::string> more = {}) const {
    more.insert(more.end(), {"VEY3_SAVE=" + root + "/save", "VEY3_TEMP=" + root + "/temp",
                             "VEY3_CONF=" + root + "/conf", "VEY3_DATA=" VEY3_DATA_DIR, "HOME=" + root});
    return more;
  }
  // The program's exit status (-signal), its output in out; WAITED when it
  // waited for an flock (a "->" line of /proc/locks) and was ended there.
  static constexpr int WAITED = -1000;
  int run(const char* program, const std::vector<std::string>& args) {
    const pid_t pid = startprogram(program, args, env(), root + "/out.txt", root);
    int status = 0, waited = 0;
    while (waitpid(pid, &status, WNOHANG) != pid) {
      const std::vector<uint8_t> b = readbytes("/proc/locks");
      if (std::regex_search(std::string(b.begin(), b.end()),
                            std::regex("-> FLOCK +\\w+ +\\w+ +" + std::to_string(pid) + " ")))
        waited = kill(pid, SIGKILL) == 0;
      usleep(10000);
    }
    readout();
    return waited ? WAITED : WIFEXITED(status) ? WEXITSTATUS(status) : -WTERMSIG(status);
  }
  void readout() {
    const std::vector<uint8_t> b = readbytes(root + "/out.txt");
    out.assign(b.begin(), b.end());
  }
  std::string lock, out;
};

// The game folder and the temp folder are mode 0755, as they are made: a
// start waited without end and without a word while another account held
// a lock on either.
TEST_F(OtherAccounts, TheirLockOnTheFoldersHoldsUpNoStart) {
  chmod(temppath, 0755);
  const Process holder(asother([&] {
    for (const std::string& folder : {path(""), std::string(temppath)}) {
      const int fd = open(folder.c_str(), O_RDONLY | O_DIRECTORY);
      if (fd < 0 || flock(fd, LOCK_EX) != 0) return false;
    }
    return true;
  }));
  ASSERT_GT(holder.pid, 0);
  EXPECT_EQ(run(VEY3_BINARY, {"--verify", "g"}), 0) << out;
  EXPECT_EQ(run(VEY3_HOST_BINARY, {"--textonly", "--host", "g"}), 0) << out;
  EXPECT_EQ(worldturn(), 2);
  EXPECT_FALSE(std::filesystem::exists(std::filesystem::symlink_status(lock)));
}

// Their file, or a link to where nothing stands, under the name of this
// user's lock in a game folder that they may write: a start says so and
// goes on; the host keeps the old turn; nothing is made where the link leads.
TEST_F(OtherAccounts, WhatTheyPutUnderTheLocksNameStopsTheMonth) {
  chmod(path("").c_str(), 0777);
  const std::string made = root + "/made";
  for (const std::string why : {"no permission", "it is a symbolic link, not a file"}) {
    SCOPED_TRACE(why);
    const bool link = why != "no permission";
    const Process planter(
        asother([&] { return link ? symlink(made.c_str(), lock.c_str()) == 0 : creat(lock.c_str(), 0644) >= 0; }));
    ASSERT_GT(planter.pid, 0);
    EXPECT_EQ(run(VEY3_BINARY, {"--verify", "g"}), 0);
    EXPECT_NE(out.find("The folder " + root + "/save/g is used without its lock: " + lock + ": " + why + "\n"),
              std::string::npos)
        << out;
    EXPECT_EQ(run(VEY3_HOST_BINARY, {"--textonly", "--host", "g"}), 1);
    EXPECT_NE(out.find("Turn 2 of g was not hosted: " + lock + ": " + why + "; the old turn stands\n"),
              std::string::npos)
        << out;
    EXPECT_EQ(worldturn(), 1);
    EXPECT_FALSE(std::filesystem::exists(made));
    unlink(lock.c_str());
  }
  EXPECT_EQ(run(VEY3_HOST_BINARY, {"--textonly", "--host", "g"}), 0);
  EXPECT_EQ(worldturn(), 2);
}

// While the host writes the month they move the set's folder aside and put
// a link to another game's folder in its place: the host wrote through the
// link over that game's files (0600, which they may not even read).
TEST_F(OtherAccounts, TheMonthIsNeverWrittenThroughWhatTheyPutInPlaceOfTheSet) {
  chmod(path("").c_str(), 0777);
  const std::string other = root + "/save/other", aside = path("aside");
  ASSERT_EQ(mkdirs(other.c_str()), 1);
  const std::vector<std::string> names = {std::string(nations[0].fileword) + ".trn", "ftherlnd"};
  for (const std::string& name : names)
    writebytes(other + "/" + name, {'o'}), chmod((other + "/" + name).c_str(), 0600);
  // The host holds at its first file of the set, the set's folder made; it
  // ends with the test however the test ends.
  const Process host(startprogram(VEY3_HOST_BINARY, {"--textonly", "--host", "g"},
                                  env({"VEY3_KILLSTEP=1", "VEY3_KILLSIGNAL=" + std::to_string(SIGSTOP)}),
                                  root + "/out.txt", root));
  const std::string stat = "/proc/" + std::to_string(host.pid) + "/stat";
  for (int32_t tries = 0; tries < 60000 && readtext(stat).find(") T ") == std::string::npos; tries++) usleep(1000);
  ASSERT_NE(readtext(stat).find(") T "), std::string::npos) << "the host did not stop";
  const std::string set = path(std::string("set") + TEMPMARK + std::to_string(host.pid));
  ASSERT_GT(Process(asother([&] {
              return rename(set.c_str(), aside.c_str()) == 0 && symlink(other.c_str(), set.c_str()) == 0;
            })).pid,
            0);
  kill(host.pid, SIGCONT);
  EXPECT_EQ(waitprogram(host.pid, 600), 1);
  readout();
  EXPECT_NE(out.find("Turn 2 of g was not hosted: " + set + ": a file of that name stands there, which this program did not make; the old turn stands\n"), std::string::npos)
      << out;
  for (const std::string& name : names) EXPECT_TRUE(readbytes(other + "/" + name) == std::vector<uint8_t>{'o'}) << name;
  // Nothing of the month stays in the folder moved aside, and the next host makes it.
  EXPECT_EQ(listfolder(aside), std::vector<std::string>{});
  EXPECT_EQ(worldturn(), 1);
  unlink(set.c_str());
  rmdir(aside.c_str());
  EXPECT_EQ(run(VEY3_HOST_BINARY, {"--textonly", "--host", "g"}), 0);
  EXPECT_EQ(worldturn(), 2);
}

}  // namespace
