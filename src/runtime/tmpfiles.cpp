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

// A temp folder that cannot be made ends the start with status 1: nothing
// of the program's is wrong, the folder or its place is not as it must be.
[[noreturn]] void cannotmake(const char* path, int err) {
  const std::string message = std::string("Failed to create temp directory properly (") +
                              (err == EEXIST ? "already existed" : "unknown reason") + "): " + fileproblem(path, err);
  failexit(message.c_str());
}
}  // namespace

void opentempfolder() {
  // mkdir says "exists" of a file that stands where the folder goes.
  if (mkdirs(tempbase) < 0) cannotmake(tempbase, errno == EEXIST ? ENOTDIR : errno);
  std::vector<std::string> stale;
  if (DIR* d = opendir(tempbase)) {
    while (dirent* e = readdir(d)) {
      const int32_t pid = temppidof(e->d_name);
      // A folder of our own pid was left by an earlier program of that pid.
      if (pid > 0 && (pid == int32_t(getpid()) || !processalive(pid))) stale.emplace_back(e->d_name);
    }
    closedir(d);
  }
  for (const std::string& name : stale) {
    const std::string path = std::string(tempbase) + "/" + name;
    struct stat st;
    if (lstat(path.c_str(), &st) != 0) continue;
    debugprint("Removing %s, the temp folder of a program that is gone\n", path.c_str());
    if (S_ISDIR(st.st_mode)) removeownfolder(path.c_str());
    else unlink(path.c_str());
  }
  if (mkdir(temppath, 0700) != 0) cannotmake(temppath, errno);
  // Every end of the program, not only the fatal path, removes it.
  if (!tempcreated) atexit(removetmpfiles);
  tempcreated = 1;
}

void removetmpfiles() {
  // Another instance's files, or a folder this process did not make, are
  // never touched.
  if (!tempcreated || !temppath[0]) return;
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
  rmdir(temppath);
}
