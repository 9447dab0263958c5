#include <dirent.h>
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
  if (mkdir(tempbase, 0755) != 0 && errno != EEXIST) cannotmake(tempbase, errno);
  struct stat st;
  if (lstat(tempbase, &st) != 0) cannotmake(tempbase, errno);
  const char* why = notowntemp(st);
  if (!why[0]) return;
  const std::string shared = tempbase;
  std::string own = shared + ".XXXXXX";
  if (!mkdtemp(own.data())) {
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
