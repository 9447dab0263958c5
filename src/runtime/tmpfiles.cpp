#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "runtime/fatal.h"
#include "runtime/filesets.h"
#include "runtime/folders.h"
#include "runtime/util.h"

namespace {
// The pid of a name "TEMPPREFIX<digits>", 0 for any other name.
int32_t temppidof(const char* name) {
  const size_t n = strlen(TEMPPREFIX);
  if (strncmp(name, TEMPPREFIX, n) != 0 || !name[n]) return 0;
  int64_t pid = 0;
  for (const char* c = name + n; *c; c++) {
    if (*c < '0' || *c > '9' || pid > 99999999) return 0;
    pid = pid * 10 + (*c - '0');
  }
  return int32_t(pid);
}

// This process's temp folder, held while the process lives: a start of
// another program (in another PID namespace, or on another machine that
// shares the folder) tells by its lock that it is in use.
HeldFolder& tempfolderhold() {
  static HeldFolder held;
  return held;
}

// Removes the temp folders in the shared one that their programs left:
// this user's, held by no program, and (a folder of an older program,
// without a lock) of a pid that runs no process here, or of this process's
// pid, which no program of this machine uses but this one.
void removegonetempfolders() {
  const FolderLock lock(tempbase);
  std::vector<std::string> stale;
  if (DIR* d = opendir(tempbase)) {
    while (dirent* e = readdir(d)) {
      const int32_t pid = temppidof(e->d_name);
      if (pid <= 0) continue;
      const std::string path = std::string(tempbase) + "/" + e->d_name;
      if (leftover(path.c_str(), pid, pid != int32_t(getpid()) && processalive(pid))) stale.push_back(path);
    }
    closedir(d);
  }
  for (const std::string& path : stale) {
    struct stat st;
    if (lstat(path.c_str(), &st) != 0) continue;
    debugprint("Removing %s, the temp folder of a program that is gone\n", path.c_str());
    if (S_ISDIR(st.st_mode)) removeownfolder(path.c_str());
    else unlink(path.c_str());
  }
}

// A temp folder that cannot be made stops the start through the fatal path,
// naming the folder and why.
[[noreturn]] void cannotmake(const char* path, int err) {
  filestop(err == EEXIST ? "Failed to create temp directory properly (already existed)"
                         : "Failed to create temp directory properly (unknown reason)",
           path, err);
}

// The folder of this program's own made beside a default shared one that
// is not the user's own ("/tmp/veyrances3_UID.XXXXXX"), held open with a
// shared lock while the program lives: a start that finds such a folder
// removes it only when no program holds it. Only this user may open it
// (mode 0700), so no other account can hold it either.
int ownbaselock = -1;

// Makes that folder (own: the pattern "...XXXXXX", then the folder made)
// and takes its lock; false (errno why) when it cannot be made.
bool makeownbase(std::string* own) {
  const std::string pattern = *own;
  for (int32_t tries = 0; tries < 100; tries++) {
    *own = pattern;
    if (!mkdtemp(own->data())) return false;
    const int fd = open(own->c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0) {
      const int err = errno;
      rmdir(own->c_str());
      errno = err;
      return false;
    }
    while (flock(fd, LOCK_SH) != 0 && errno == EINTR) {
    }
    // A start that took it for left over before the lock was taken has
    // removed it: another one.
    struct stat named, made;
    if (lstat(own->c_str(), &named) == 0 && fstat(fd, &made) == 0 && samefile(named, made)) {
      ownbaselock = fd;
      return true;
    }
    close(fd);
  }
  errno = EEXIST;
  return false;
}

// Removes the folders of this program's own beside the shared one that
// programs killed while they worked there left: this user's real folders
// (never a link), held by no program, whose temp folders are all left over
// as in the usual temp folder (a folder of an older program, which takes no
// lock, goes only when the pids in it run no process).
void removegoneownbases(const std::string& shared) {
  const size_t slash = shared.rfind('/');
  const std::string parent = slash == 0 ? "/" : shared.substr(0, slash), prefix = shared.substr(slash + 1) + ".";
  std::vector<std::string> names;
  if (DIR* d = opendir(parent.c_str())) {
    while (dirent* e = readdir(d))
      if (strncmp(e->d_name, prefix.c_str(), prefix.size()) == 0 && strlen(e->d_name) == prefix.size() + 6)
        names.emplace_back(e->d_name);
    closedir(d);
  }
  for (const std::string& name : names) {
    const std::string base = parent + "/" + name;
    const int fd = open(base.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0) continue;
    struct stat st;
    if (fstat(fd, &st) != 0 || st.st_uid != geteuid() || flock(fd, LOCK_EX | LOCK_NB) != 0) {
      close(fd);
      continue;
    }
    bool whole = true;
    for (const std::string& entry : entriesof(fd)) {
      const int32_t pid = temppidof(entry.c_str());
      const std::string path = base + "/" + entry;
      if (pid > 0 && leftover(path.c_str(), pid, pid != int32_t(getpid()) && processalive(pid)))
        removeownfolder(path.c_str());
      else whole = false;
    }
    struct stat named;
    if (whole && lstat(base.c_str(), &named) == 0 && samefile(named, st)) {
      debugprint("Removing %s, the temp folder of a program that is gone\n", base.c_str());
      rmdir(base.c_str());
    }
    close(fd);
  }
}

// Why a shared temp folder that stands is not one for this user's files,
// looked at without following a link: "" when it is a folder of this
// user's own that no other account may write.
const char* notowntemp(const struct stat& st) {
  if (S_ISLNK(st.st_mode)) return "it is a symbolic link";
  if (!S_ISDIR(st.st_mode)) return "it is not a folder";
  if (st.st_uid != geteuid()) return "it belongs to another user";
  if (st.st_mode & (S_IWGRP | S_IWOTH)) return "other users may write in it";
  return "";
}

// The default shared temp folder, "/tmp/veyrances3_UID", lies where every
// account may make files and folders: one that another account made (or a
// link it put there) is not used. Then this program makes a folder of its
// own beside it (removed at its end), or the start ends with status 1.
void openowndefaulttemp() {
  const std::string shared = tempbase;
  removegoneownbases(shared);
  if (mkdir(tempbase, 0755) != 0 && errno != EEXIST) cannotmake(tempbase, errno);
  struct stat st;
  if (lstat(tempbase, &st) != 0) cannotmake(tempbase, errno);
  // The user's own folder made under a umask that lets the group write
  // (002, the default of many desktops) is made private again: the folder
  // itself, never what a link leads to.
  if (S_ISDIR(st.st_mode) && st.st_uid == geteuid() && (st.st_mode & S_IWGRP) && !(st.st_mode & S_IWOTH)) {
    const int fd = open(tempbase, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    struct stat opened;
    if (fd >= 0 && fstat(fd, &opened) == 0 && samefile(opened, st) &&
        fchmod(fd, opened.st_mode & 07777 & ~mode_t(S_IWGRP)) == 0)
      fstat(fd, &st);
    if (fd >= 0) close(fd);
  }
  const char* why = notowntemp(st);
  if (!why[0]) return;
  std::string own = shared + ".XXXXXX";
  if (!makeownbase(&own)) {
    const int err = errno;
    const std::string parent = shared.substr(0, imax(1, int32_t(shared.rfind('/'))));
    const std::string message = "The temp folder " + shared + " is not this user's own (" + why +
                                "), and no folder of this program's own can be made beside it: " +
                                fileproblem(parent.c_str(), err);
    failexit(message.c_str());
  }
  printf("The temp folder %s is not this user's own (%s); this program uses a folder of its own, %s\n",
         shared.c_str(), why, own.c_str());
  strlcopy(tempbase, own.c_str(), PATHLEN);
  formatbounded(temppath, PATHLEN, "%s/%s%d", tempbase, TEMPPREFIX, int(getpid()));
  tempbasemade = 1;
}
}  // namespace

void opentempfolder() {
  if (tempbasedefault) {
    openowndefaulttemp();
  } else if (mkdirs(tempbase) < 0) {
    // mkdir says "exists" of a file that stands where the folder goes.
    cannotmake(tempbase, errno == EEXIST ? ENOTDIR : errno);
  }
  removegonetempfolders();
  if (!tempfolderhold().make(temppath, 0700)) cannotmake(temppath, errno);
  // Every end of the program, not only the fatal path, removes it.
  if (!tempcreated) atexit(removetmpfiles);
  tempcreated = 1;
}

void removetmpfiles() {
  // Another instance's files, or a folder this process did not make, are
  // never touched.
  if (tempcreated && temppath[0]) {
    char path[PATHLEN];
    formatbounded(path, PATHLEN, "%s/tmp_fl", temppath);
    unlink(path);
    formatbounded(path, PATHLEN, "%s/tmpmon.trs", temppath);
    unlink(path);
    for (int nation = 0; nation < 95; nation++) {
      for (int k = 0; k <= 999; k++) {   // bounded, like the replay clean-up
        formatbounded(path, PATHLEN, "%s/%d_%d.vcr", temppath, nation, k);
        if (unlink(path) != 0) break;
      }
    }
    tempfolderhold().release();
    rmdir(temppath);
  }
  // A folder of its own in place of a shared one goes too (also when its
  // own folder in it could not be made).
  if (tempbasemade) rmdir(tempbase);
}
