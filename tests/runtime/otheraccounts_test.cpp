// Another account that may write a game folder, met through the host
// program: a link that it puts in place of the month's set is never
// written through.
#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

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
  }
  std::vector<std::string> env(std::vector<std::string> more = {}) const {
    more.insert(more.end(), {"VEY3_SAVE=" + root + "/save", "VEY3_TEMP=" + root + "/temp",
                             "VEY3_CONF=" + root + "/conf", "VEY3_DATA=" VEY3_DATA_DIR, "HOME=" + root});
    return more;
  }
  // The program's exit status (-signal), its output in out.
  int run(const char* program, const std::vector<std::string>& args) {
    const int status = waitprogram(startprogram(program, args, env(), root + "/out.txt", root), 600);
    readout();
    return status;
  }
  void readout() {
    const std::vector<uint8_t> b = readbytes(root + "/out.txt");
    out.assign(b.begin(), b.end());
  }
  std::string out;
};

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
  EXPECT_NE(out.find("Turn 2 of g was not hosted: " + set + ": File exists; the old turn stands\n"), std::string::npos)
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
