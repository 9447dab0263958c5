#include "runtime/hostlock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <string>
#include <vector>

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

GameLock lockgame(const char* folder, bool host) {
  if (Hold* h = findhold(folder)) {
    h->count++;
    return GameLock::held;
  }
  const std::string path = std::string(folder) + "/" + HOSTLOCKFILE;
  const int fd = open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
  if (fd < 0) return GameLock::nofolder;
  // A writer of an order file holds its shared lock for a moment only: a
  // host waits for it rather than refusing.
  bool got = trylock(fd, host ? LOCK_EX : LOCK_SH);
  for (int32_t tries = 0; !got && host && tries < 50; tries++) {
    sleepms(10);
    got = trylock(fd, LOCK_EX);
  }
  if (!got) {
    close(fd);
    return GameLock::busy;
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

GameLockScope::GameLockScope(const char* path, bool host) : got(lockgame(path, host)) {
  strlcopy(folder, path, PATHLEN);
}

GameLockScope::~GameLockScope() {
  if (got == GameLock::held) unlockgame(folder);
}
