#include "runtime/hostlock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <string>
#include <vector>

#include "runtime/filesets.h"
#include "runtime/util.h"

namespace {
struct Hold {
  std::string folder;
  int fd;
  int32_t count;
};
// The locks this process holds. Two descriptors of one process would shut
// each other out, so a folder is locked once and further holds count.
std::vector<Hold>& holds() {
  static std::vector<Hold> all;
  return all;
}

Hold* findhold(const char* folder) {
  for (Hold& h : holds())
    if (h.folder == folder) return &h;
  return nullptr;
}

bool trylock(int fd, int kind) {
  for (;;) {
    if (flock(fd, kind | LOCK_NB) == 0) return true;
    if (errno != EINTR) return false;
  }
}
}  // namespace

GameLock lockgame(const char* folder, bool host, int* err) {
  if (Hold* h = findhold(folder)) {
    h->count++;
    return GameLock::held;
  }
  const std::string path = std::string(folder) + "/" + HOSTLOCKFILE;
  // Never through a link: one that another account put in the game folder
  // would have the file made where it points. A FIFO is not waited on.
  constexpr int flags = O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC;
  int fd = open(path.c_str(), O_RDWR | O_CREAT | flags, 0644);
  // A lock needs no write access: another user's lock file guards as well.
  if (fd < 0 && errno != ENOENT && errno != ENOTDIR && errno != ELOOP) fd = open(path.c_str(), O_RDONLY | flags);
  struct stat st;
  if (fd >= 0 && (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode))) {
    close(fd);
    fd = -1;
    errno = ENOTAFILE;
  }
  if (fd < 0) {
    // No game folder, or one that the user cannot write into and that has
    // no lock file yet: the host cannot write the month there either and
    // says so when it tries.
    if (errno == ENOENT || errno == ENOTDIR) return GameLock::nofolder;
    if (err) *err = errno;
    return GameLock::unopened;
  }
  GameLock state = GameLock::held;
  if (!host) {
    if (!trylock(fd, LOCK_SH)) state = GameLock::busy;
  } else {
    // A writer of an order file holds its shared lock for a moment only: a
    // host waits for it. An exclusive lock is another host's: refused at
    // once, so that the month it makes is not hosted again after it.
    for (int32_t tries = 0;; tries++) {
      if (trylock(fd, LOCK_EX)) break;
      if (!trylock(fd, LOCK_SH)) {
        state = GameLock::busy;
        break;
      }
      flock(fd, LOCK_UN);
      if (tries >= 500) {
        state = GameLock::writing;
        break;
      }
      sleepms(10);
    }
  }
  if (state != GameLock::held) {
    close(fd);
    return state;
  }
  holds().push_back({folder, fd, 1});
  return GameLock::held;
}

void unlockgame(const char* folder) {
  std::vector<Hold>& all = holds();
  for (size_t i = 0; i < all.size(); i++) {
    if (all[i].folder != folder || --all[i].count > 0) continue;
    close(all[i].fd);
    all.erase(all.begin() + ptrdiff_t(i));
    return;
  }
}

GameLockScope::GameLockScope(const char* path, bool host) : got(lockgame(path, host, &err)) {
  strlcopy(folder, path, PATHLEN);
}

std::string GameLockScope::problem() const {
  const std::string path = std::string(folder) + "/" + HOSTLOCKFILE;
  return path + ": " + nofollowproblem(path.c_str(), err);
}

GameLockScope::~GameLockScope() {
  if (got == GameLock::held) unlockgame(folder);
}
