#include "runtime/filesets.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <set>

#include "runtime/fatal.h"
#include "runtime/folders.h"
#include "runtime/util.h"

int32_t killstep = -1;
int32_t killsteps = 0;

namespace {
constexpr const char* JOURNAL = "hostcommit";
// Files aside of an older way of writing a hosted turn.
constexpr const char* OLDASIDE = ".host";
constexpr const char* GONE = ".gone.new";

std::set<std::string>& settled() {
  static std::set<std::string> folders;
  return folders;
}

bool isfolder(const std::string& path) {
  struct stat st;
  return lstat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool endswith(const char* name, const char* tail) {
  const size_t n = strlen(name), t = strlen(tail);
  return n > t && strcmp(name + n - t, tail) == 0;
}

std::vector<std::string> entries(const std::string& folder) {
  std::vector<std::string> names;
  DIR* d = opendir(folder.c_str());
  if (!d) return names;
  while (dirent* e = readdir(d))
    if (strcmp(e->d_name, ".") != 0 && strcmp(e->d_name, "..") != 0) names.emplace_back(e->d_name);
  closedir(d);
  return names;
}

// Writing a journal and finishing one happen under a lock on the folder. A
// writer's sets all have the same folder name ("set.new<pid>"), so a reader
// that finished a journal late would otherwise move files of the writer's
// next set into place before its journal stands, remove that set's folder,
// or remove its journal. The lock ends with the process that holds it.
class FolderLock {
 public:
  explicit FolderLock(const std::string& folder) : fd(open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC)) {
    if (fd >= 0)
      while (flock(fd, LOCK_EX) != 0 && errno == EINTR) {
      }
  }
  ~FolderLock() {
    if (fd >= 0) close(fd);
  }
  FolderLock(const FolderLock&) = delete;
  FolderLock& operator=(const FolderLock&) = delete;

 private:
  int fd;
};

// The renames that a journal names; the journal's first line is the set's
// folder, each further line one file.
int32_t finishjournal(const std::string& folder) {
  const std::string journal = folder + "/" + JOURNAL;
  UniqueFile f = openfile(journal.c_str(), "rb");
  if (!f) return 0;
  int32_t moved = 0;
  char line[PATHLEN];
  std::string stage;
  bool first = true;
  while (fgets(line, sizeof line, f.get())) {
    line[strcspn(line, "\r\n")] = 0;
    if (!plainfilename(line)) continue;
    if (first) {
      first = false;
      if (temppid(line) > 0) {
        stage = folder + "/" + line;
        continue;
      }
    }
    // A journal of the older kind names the files alone; they stood aside
    // as "NAME.host".
    const std::string target = folder + "/" + line;
    const std::string aside = stage.empty() ? target + OLDASIDE : stage + "/" + line;
    // Each rename happens once: a file no longer aside was moved before
    // (by us, or by another reader finishing the same journal).
    if (rename(aside.c_str(), target.c_str()) == 0) {
      moved++;
      killpoint();
    } else if (errno != ENOENT) {
      fatalerror("Could not put the files of the new turn in place");
      return moved;
    }
  }
  f.reset();
  syncfolder(folder.c_str());
  unlink(journal.c_str());
  killpoint();
  if (!stage.empty()) removeownfolder(stage.c_str());
  return moved;
}
}  // namespace

int32_t temppid(const char* name) {
  const char* dot = strrchr(name, '.');
  if (!dot || strncmp(dot, ".new", 4) != 0 || !dot[4]) return 0;
  int64_t pid = 0;
  for (const char* c = dot + 4; *c; c++) {
    if (*c < '0' || *c > '9' || pid > 99999999) return 0;
    pid = pid * 10 + (*c - '0');
  }
  return int32_t(pid);
}

bool processalive(int32_t pid) {
  if (pid <= 0) return false;
  return kill(pid_t(pid), 0) == 0 || errno == EPERM;
}

std::string tempname(const char* path) { return std::string(path) + ".new" + std::to_string(getpid()); }

bool plainfilename(const char* name) {
  if (!name || !name[0] || strchr(name, '/') || strstr(name, "..")) return false;
  for (const char* c = name; *c; c++)
    if (uint8_t(*c) < 32) return false;
  return true;
}

bool removeownfolder(const char* folder) {
  for (const std::string& name : entries(folder)) {
    const std::string path = std::string(folder) + "/" + name;
    // A set that was being written inside the folder goes with it.
    if (unlink(path.c_str()) != 0 && temppid(name.c_str()) > 0 && isfolder(path)) removeownfolder(path.c_str());
  }
  return rmdir(folder) == 0 || errno == ENOENT;
}

int32_t settlefolder(const char* folder) {
  const std::string dir = folder;
  const FolderLock lock(dir);
  const int32_t done = finishjournal(dir);
  const bool journal = access((dir + "/" + JOURNAL).c_str(), F_OK) == 0;
  for (const std::string& name : entries(dir)) {
    const std::string path = dir + "/" + name;
    const int32_t pid = temppid(name.c_str());
    const bool stale = pid > 0 && !processalive(pid);
    const bool oldaside = !journal && endswith(name.c_str(), OLDASIDE);
    if (!stale && !oldaside) continue;
    // A folder moved aside to make room for its replacement, which never
    // came: it goes back.
    const size_t gone = name.rfind(GONE);
    if (gone != std::string::npos && gone > 0 && isfolder(path)) {
      const std::string back = dir + "/" + name.substr(0, gone);
      if (access(back.c_str(), F_OK) != 0 && rename(path.c_str(), back.c_str()) == 0) continue;
    }
    debugprint("***** Warning: removing %s, left by a write that was stopped\n", path.c_str());
    if (isfolder(path)) removeownfolder(path.c_str());
    else unlink(path.c_str());
  }
  return done;
}

void settlefolderonce(const char* folder) {
  if (!folder || !folder[0] || !settled().insert(folder).second) return;
  settlefolder(folder);
}

void settlepending(const char* folder) {
  settlefolderonce(folder);
  if (access((std::string(folder) + "/" + JOURNAL).c_str(), F_OK) == 0) settlefolder(folder);
}

bool writesynced(const char* path, const void* bytes, size_t length) {
  int fd = open(path, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (fd < 0) return false;
  const uint8_t* p = static_cast<const uint8_t*>(bytes);
  bool good = true;
  while (good && length > 0) {
    ssize_t n = ::write(fd, p, length);
    if (n < 0 && errno == EINTR) continue;
    good = n > 0;
    if (good) p += n, length -= size_t(n);
  }
  good = fdatasync(fd) == 0 && good;
  good = close(fd) == 0 && good;
  return good;
}

void syncfolder(const char* folder) {
  int fd = open(folder, O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  fsync(fd);
  close(fd);
}

void killpoint() {
  static bool fromenv = false;
  if (!fromenv) {
    fromenv = true;
    if (const char* v = getenv("VEY3_KILLSTEP")) killstep = atoi(v);
  }
  if (killstep < 0) return;
  if (++killsteps == killstep) raise(SIGKILL);
}

// ---------------------------------------------------------------- a set

FileSet::FileSet(const char* folder) : folder(folder) {}

FileSet::~FileSet() {
  if (!stage.empty()) removeownfolder(stage.c_str());
}

const std::string& FileSet::staging() {
  if (stage.empty() && !failed) {
    settlefolderonce(folder.c_str());
    stage = tempname((folder + "/set").c_str());
    if (mkdirs(stage.c_str()) < 0) {
      failed = true;
      stage.clear();
    }
  }
  return stage;
}

bool FileSet::add(const char* name) {
  if (failed || !plainfilename(name) || staging().empty()) return false;
  names.emplace_back(name);
  return true;
}

bool FileSet::write(const char* name, const void* bytes, size_t length) {
  if (!add(name)) return failed = true, false;
  killpoint();
  if (!writesynced((stage + "/" + name).c_str(), bytes, length)) failed = true;
  return !failed;
}

bool FileSet::commit() {
  if (failed || stage.empty()) return false;
  syncfolder(stage.c_str());
  const FolderLock lock(folder);
  // The journal: the moment the new set exists.
  {
    SafeWrite journal((folder + "/" + JOURNAL).c_str());
    bool good = journal.ok() && fprintf(journal.stream(), "%s\n", strrchr(stage.c_str(), '/') + 1) > 0;
    for (const std::string& name : names)
      if (good) good = fprintf(journal.stream(), "%s\n", name.c_str()) > 0;
    if (!good || !journal.commit()) return false;
  }
  killpoint();
  finishjournal(folder);
  stage.clear();
  return true;
}

void settleallfolders() {
  settlefolderonce(savepath);
  for (const std::string& name : entries(savepath)) {
    const std::string path = std::string(savepath) + "/" + name;
    if (isfolder(path)) settlefolderonce(path.c_str());
  }
  for (const char* folder : {confpath, localmappath}) settlefolderonce(folder);
}
