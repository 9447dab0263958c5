// A host that cannot put the month in place says so, naming the file and
// the cause, and leaves the old turn with nothing waiting to finish it: the
// next host makes that month, not the one after it.
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <climits>
#include <cstring>

#include <regex>

#include "hostgame.h"
#include "runtime/hostlock.h"
#include "support/childconsole.h"
#include "support/gamefolders.h"
#include "support/plainuser.h"

// While set, the first sync of a folder that holds a hosted month's
// journal fails as a failing disc does: the sync that puts the journal
// itself on the disc. Every other sync, and every one while unset, is the
// system's.
bool failjournalsync = false;
extern "C" int fsync(int fd) {
  char link[64], folder[PATH_MAX];
  snprintf(link, sizeof link, "/proc/self/fd/%d", fd);
  const ssize_t n = failjournalsync ? readlink(link, folder, sizeof folder - 20) : -1;
  struct stat st;
  if (n > 0 && fstat(fd, &st) == 0 && S_ISDIR(st.st_mode)) {
    strcpy(folder + n, "/hostcommit");
    if (access(folder, F_OK) == 0) {
      failjournalsync = false;
      errno = EIO;
      return -1;
    }
  }
  return int(syscall(SYS_fsync, fd));
}

namespace {

class UnwrittenMonth : public HostGame {
 protected:
  // A child drops to a plain user, who must reach the game folder.
  UnwrittenMonth() { reach = Reach::plainuser; }
  // Hosts in a child made ready by setup; how it ended and its console.
  template <class Setup>
  ChildEnd hostin(Setup setup) {
    return runwithconsole(root, [&] {
      setup();
      return newturn(game.c_str(), -1) == 1 ? 0 : 3;
    });
  }
  void expectrefused(const ChildEnd& e, const std::string& problem) {
    EXPECT_TRUE(e.exited);
    EXPECT_EQ(e.code, 3) << e.out;
    EXPECT_TRUE(std::regex_search(e.out, std::regex("Turn 2 of g was not hosted: " + problem +
                                                    "; the old turn stands\n")))
        << e.out;
    // The file as it stands in the game folder, never the folder aside.
    EXPECT_EQ(e.out.find(".new"), std::string::npos) << e.out;
  }
  // Nothing of the month stands or waits: the next host makes turn 2.
  void expectoldturn() {
    finishhostcommit(game.c_str());
    EXPECT_EQ(worldturn(), 1);
    ASSERT_EQ(host(), 1);
    EXPECT_EQ(worldturn(), 2);
  }
};

TEST_F(UnwrittenMonth, AFullDiscIsSaid) {
  create("testvale.map", {0, 1});
  // A disc that holds less than a world file.
  expectrefused(hostin([] { fulldiscafter(20000); }), root + "/save/g/[a-z0-9]+(\\.trn)?: the disc is full");
  expectoldturn();
}

TEST_F(UnwrittenMonth, AReadOnlyGameFolderIsNoFullDisc) {
  create("testvale.map", {0, 1});
  const std::string folder = root + "/save/g";
  for (const std::string& open : {root, root + "/save"}) chmod(open.c_str(), 0755);
  chmod(temppath, 0777);
  chmod(folder.c_str(), 0555);
  expectrefused(hostin([] { asplainuser(); }), folder + ": cannot be written: no permission");
  chmod(folder.c_str(), 0755);
  expectoldturn();
}

// A journal that the disc did not take is no month: the host says why and
// the old turn stands, where it went on and reported the month hosted.
TEST_F(UnwrittenMonth, AJournalThatTheDiscDidNotTakeIsNoMonth) {
  create("testvale.map", {0, 1});
  expectrefused(hostin([] { failjournalsync = true; }), root + "/save/g: Input/output error");
  expectoldturn();
}

// The lock that keeps two hosts apart cannot be taken through another
// user's lock file that this user may not open: the host refuses, naming
// it, where it hosted unguarded.
TEST_F(UnwrittenMonth, ALockFileThatCannotBeOpenedRefusesTheHost) {
  create("testvale.map", {0, 1});
  const std::string folder = root + "/save/g", lock = folder + "/" + HOSTLOCKFILE;
  for (const std::string& open : {root, root + "/save"}) chmod(open.c_str(), 0755);
  chmod(temppath, 0777);
  chmod(folder.c_str(), 0777);
  writebytes(lock, {});
  chmod(lock.c_str(), 0600);
  const ChildEnd e = runwithconsole(root, [&] {
    asplainuser();
    return hostgame(game.c_str());
  });
  EXPECT_EQ(e.code, 1) << e.out;
  EXPECT_NE(e.out.find("The game g was not hosted: the lock that keeps two hosts apart cannot be taken: " + lock +
                          ": cannot be written: no permission\n"), std::string::npos)
      << e.out;
  EXPECT_EQ(worldturn(), 1);
}

}  // namespace
