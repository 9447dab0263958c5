// A host that cannot put the month in place says so, naming the file and
// the cause, and leaves the old turn with nothing waiting to finish it: the
// next host makes that month, not the one after it.
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <climits>
#include <cstring>
#include <filesystem>

#include <regex>

#include "hostgame.h"
#include "runtime/filesets.h"
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
  expectrefused(hostin([] { failjournalsync = true; }), root + "/save/g: the disc reported an error");
  expectoldturn();
}

// What another account puts into a game folder that it may write, under
// the names of the host's set, its journal while it is written and the
// lock that keeps two hosts apart: a link there is not followed, and a
// lock file that cannot be opened is named as a file that cannot be read.
// The host refuses the month, naming the file and why, and what a link
// leads to stays as it was, where the host wrote the month into a folder
// of the user's and then emptied it, wrote its journal over a file of the
// user's, made a file where the lock's link pointed, or said "cannot be
// written" of a lock file that it could not read.
TEST_F(UnwrittenMonth, WhatOtherAccountsPutInTheGameFolderIsNotFollowed) {
  create("testvale.map", {0, 1});
  const std::string mine = root + "/mine", made = root + "/made", lock = path(HOSTLOCKFILE);
  ASSERT_EQ(mkdirs(mine.c_str()), 1);
  writebytes(mine + "/notes", {'n'});
  for (const std::string& open : {root, root + "/save"}) chmod(open.c_str(), 0755);
  chmod(temppath, 0777);
  chmod(path("").c_str(), 0777);
  const std::string month = "Turn 2 of g was not hosted: ", planted = "\\.vey3\\.new[0-9]+: a file of that name stands there, which this program did not make; the old turn stands",
                    nolock = "The game g was not hosted: the lock that keeps two hosts apart cannot be taken: " + lock + ": ";
  struct Case {
    std::string name, to, said;   // the link's name and where it points (none: a lock file of root's)
  };
  const Case cases[] = {{"set", mine, month + path("set") + planted},
                        {"hostcommit", mine + "/notes", month + path("hostcommit") + planted},
                        {HOSTLOCKFILE, made, nolock + "it is a symbolic link, not a file"},
                        {HOSTLOCKFILE, lock, nolock + "its symbolic links go round in a loop"},
                        {HOSTLOCKFILE, "", nolock + "no permission"}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.said);
    if (c.to.empty()) {
      writebytes(lock, {});
      chmod(lock.c_str(), 0600);
    }
    const ChildEnd e = hostin([&] {
      // Named as this host names it; the pid of a host is no secret.
      const std::string link = c.name == HOSTLOCKFILE ? lock : path(c.name) + TEMPMARK + std::to_string(getpid());
      if (c.to.empty()) asplainuser();
      else if (symlink(c.to.c_str(), link.c_str()) != 0 || lchown(link.c_str(), 65534, 65534) != 0) _exit(90);
    });
    EXPECT_EQ(e.code, 3) << e.out;
    EXPECT_TRUE(std::regex_search(e.out, std::regex(c.said + "\n"))) << e.out;
    EXPECT_EQ(listfolder(mine), std::vector<std::string>{"notes"});
    EXPECT_EQ(readbytes(mine + "/notes"), std::vector<uint8_t>{'n'});
    EXPECT_FALSE(std::filesystem::exists(std::filesystem::symlink_status(made)));
    for (const std::string& left : listfolder(path("")))
      if (temppid(left.c_str()) > 0 || left == HOSTLOCKFILE) unlink(path(left).c_str());
  }
  expectoldturn();
}

}  // namespace
