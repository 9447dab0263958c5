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
// A journal whose set could not be put in place: its old files go back.
constexpr const char* UNDOJOURNAL = "hostcommit.undo";
// Files aside of an older way of writing a hosted turn.
constexpr const char* OLDASIDE = ".host";
// A folder stepped aside for its replacement: "NAME.gone.vey3.new<pid>".
constexpr const char* GONE = ".gone.vey3.new";

// Writes the bytes whole to the descriptor; false (errno why) on failure.
bool writeall(int fd, const void* bytes, size_t length) {
  const uint8_t* p = static_cast<const uint8_t*>(bytes);
  while (length > 0) {
    const ssize_t n = ::write(fd, p, length);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      if (n == 0) errno = EIO;
      return false;
    }
    p += n, length -= size_t(n);
  }
  return true;
}

// Writes the bytes to the descriptor, with sync flushed to the disc, and
// closes it; false (errno why) on failure.
bool writeclose(int fd, const void* bytes, size_t length, bool sync) {
  bool good = writeall(fd, bytes, length);
  if (sync) good = fdatasync(fd) == 0 && good;
  const int err = errno;
  good = close(fd) == 0 && good;
  if (!good && errno == 0) errno = err;
  return good;
}

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

std::vector<std::string> namesin(DIR* d) {
  std::vector<std::string> names;
  if (!d) return names;
  while (dirent* e = readdir(d))
    if (strcmp(e->d_name, ".") != 0 && strcmp(e->d_name, "..") != 0) names.emplace_back(e->d_name);
  closedir(d);
  return names;
}
std::vector<std::string> entries(const std::string& folder) { return namesin(opendir(folder.c_str())); }
}  // namespace

std::vector<std::string> entriesof(int folderfd) {
  const int copy = dup(folderfd);
  DIR* d = copy >= 0 ? fdopendir(copy) : nullptr;
  if (!d && copy >= 0) close(copy);
  if (d) rewinddir(d);
  return namesin(d);
}

bool samefile(const struct stat& a, const struct stat& b) { return a.st_dev == b.st_dev && a.st_ino == b.st_ino; }

namespace {
// A plain file or a real folder of this user's (as lstat sees it: a link is
// neither).
bool mine(const struct stat& st) { return st.st_uid == geteuid() && (S_ISREG(st.st_mode) || S_ISDIR(st.st_mode)); }

// Whether the name in the folder is the file open (not one put in its place
// since, nor a link).
bool stillnamed(int folderfd, const char* name, int fd) {
  struct stat named, open;
  return fstatat(folderfd, name, &named, AT_SYMLINK_NOFOLLOW) == 0 && fstat(fd, &open) == 0 && samefile(named, open);
}

// Empties the open folder: its files go, and sets being written inside it
// (folders of temp names) with theirs. Nothing is followed: every step
// works on the folder itself, wherever a link may point.
void emptyfolder(int folderfd) {
  for (const std::string& name : entriesof(folderfd)) {
    if (unlinkat(folderfd, name.c_str(), 0) == 0 || temppid(name.c_str()) <= 0) continue;
    const int sub = openat(folderfd, name.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (sub < 0) continue;
    emptyfolder(sub);
    close(sub);
    unlinkat(folderfd, name.c_str(), AT_REMOVEDIR);
  }
}

// The lock file in a held folder of a writer of that pid.
std::string lockfilename(int32_t pid) { return std::string("writer") + TEMPMARK + std::to_string(pid); }

enum class Writer : uint8_t { holds, gone, unknown };

// Whether a writer holds its lock on the file (relative to the folder
// descriptor): an exclusive lock that is granted at once means none does.
// Unknown when there is no lock file (an older program's write) or it
// cannot be tried.
Writer lockholder(int folderfd, const char* name) {
  const int fd = openat(folderfd, name, O_RDWR | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return Writer::unknown;
  struct stat st;
  Writer w = Writer::unknown;
  if (fstat(fd, &st) == 0 && S_ISREG(st.st_mode)) {
    for (;;) {
      if (flock(fd, LOCK_EX | LOCK_NB) == 0) w = Writer::gone;
      else if (errno == EINTR) continue;
      else if (errno == EWOULDBLOCK) w = Writer::holds;
      break;
    }
  }
  close(fd);   // and a lock taken here with it
  return w;
}

bool present(const std::string& path) {
  struct stat st;
  return lstat(path.c_str(), &st) == 0;
}

// The lines of a journal: the set's folder (empty for a journal of the
// older kind, whose files stood aside as "NAME.host") and the file names.
struct Journal {
  std::string stage;
  std::vector<std::string> names;
};

enum class JournalRead : uint8_t { none, read, refused };

// Says why a journal is not followed, once a process, in a line that names
// it; the line is also the problem of a set that the journal stands in the
// way of.
std::string refusejournal(const std::string& path, const std::string& why) {
  static std::set<std::string> told;
  const std::string line = path + " is refused: " + why;
  if (told.size() < 1000 && told.insert(line).second) printf("%s\n", line.c_str());
  return line;
}

// Reads a journal that this program wrote. Only a plain file of this user's
// is read (never through a link), and only when what it names to move or
// remove is this user's own: its set's folder a real folder, the files
// aside of the older kind plain files. Anything else (a journal that
// another account put into a folder that it may write, to have our files
// moved or a folder of ours emptied through a link) is refused: problem
// (when given) says why, and nothing of it is done.
JournalRead readjournal(const std::string& path, const std::string& folder, Journal* j, std::string* problem = nullptr) {
  const int fd = open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
  struct stat st;
  std::string why;
  if (fd < 0 && errno != ELOOP) return JournalRead::none;
  if (fd < 0 || fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || st.st_uid != geteuid()) {
    if (fd >= 0) close(fd);
    why = "this program did not write it";
  } else {
    FILE* f = fdopen(fd, "rb");
    if (!f) {
      close(fd);
      return JournalRead::none;
    }
    char line[PATHLEN];
    bool first = true;
    while (fgets(line, sizeof line, f)) {
      line[strcspn(line, "\r\n")] = 0;
      if (!plainfilename(line)) continue;
      // The set's folder, of either form.
      if (first && (temppid(line) > 0 || oldtemppid(line) > 0)) j->stage = folder + "/" + line;
      else j->names.emplace_back(line);
      first = false;
    }
    fclose(f);
    std::vector<std::string> named;
    if (!j->stage.empty()) named.push_back(j->stage);
    else
      for (const std::string& name : j->names) named.push_back(folder + "/" + name + OLDASIDE);
    for (const std::string& aside : named)
      if (lstat(aside.c_str(), &st) == 0 && (!mine(st) || S_ISDIR(st.st_mode) != !j->stage.empty())) {
        why = "it names " + aside + ", which this program did not make";
        break;
      }
    if (why.empty()) return JournalRead::read;
  }
  *j = Journal{};
  const std::string line = refusejournal(path, why);
  if (problem) *problem = line;
  return JournalRead::refused;
}

// In the set's folder beside each new file: the old file it replaces (a
// second name of it, so that the old file never leaves its place before the
// new one takes it), or a mark that there was none. Set files never begin
// with a dot.
std::string keptold(const std::string& name) { return ".old." + name; }
std::string noold(const std::string& name) { return ".none." + name; }

bool presentat(int folderfd, const std::string& name) {
  struct stat st;
  return fstatat(folderfd, name.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0;
}

// The two folders of a journal's set, open: every step is taken relative
// to them, so that the set's folder is the one opened wherever it is moved
// meanwhile, and nothing that another account puts under its name is
// followed. stage is -1 when the set's folder is gone: none of its files is
// left to move.
struct SetFolders {
  int folder = -1, stage = -1;
  std::string stagename;
  SetFolders() = default;
  SetFolders(const SetFolders&) = delete;
  SetFolders& operator=(const SetFolders&) = delete;
  ~SetFolders() {
    if (stage >= 0) close(stage);
    if (folder >= 0) close(folder);
  }
};

enum class SetOpen : uint8_t { open, refused, replaced };

// Opens the folders of the journal's set (of the newer kind). The set's
// folder must be a real folder of this user's, as readjournal found it,
// and, when made is given, the very folder that the writer made.
SetOpen opensetfolders(const std::string& folder, const std::string& journal, const Journal& j,
                       const struct stat* made, SetFolders* f, std::string* problem) {
  f->folder = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (f->folder < 0) {
    *problem = fileproblem(folder.c_str(), errno);
    return SetOpen::refused;
  }
  f->stagename = j.stage.substr(j.stage.rfind('/') + 1);
  f->stage = openat(f->folder, f->stagename.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
  const int err = errno;
  struct stat st;
  const bool found = f->stage >= 0 && fstat(f->stage, &st) == 0;
  if (made && !(found && samefile(st, *made))) {
    *problem = fileproblem(j.stage.c_str(), EEXIST);
    return SetOpen::replaced;
  }
  if (f->stage < 0 && err == ENOENT) return SetOpen::open;
  if (!found || !mine(st) || !S_ISDIR(st.st_mode)) {
    *problem = refusejournal(journal, "it names " + j.stage + ", which this program did not make");
    return SetOpen::refused;
  }
  return SetOpen::open;
}

// Removes the set's folder, when it is still the one opened.
void removestage(const SetFolders& f) {
  if (f.stage < 0) return;
  emptyfolder(f.stage);
  if (stillnamed(f.folder, f.stagename.c_str(), f.stage)) unlinkat(f.folder, f.stagename.c_str(), AT_REMOVEDIR);
}

// Puts the old files back where a set was put in place in part. Each step
// can be taken again after a stop: a kept old file goes back by a rename,
// and a file that had no old one goes only while its new one is out of the
// set's folder. False (problem set) when a file could not go back.
bool undoset(const std::string& folder, const SetFolders& f, const Journal& j, std::string* problem) {
  bool whole = true;
  for (const std::string& name : j.names) {
    const char* target = name.c_str();
    bool good = true;
    if (presentat(f.stage, keptold(name))) good = renameat(f.stage, keptold(name).c_str(), f.folder, target) == 0;
    else if (presentat(f.stage, noold(name)) && !presentat(f.stage, name))
      good = unlinkat(f.folder, target, 0) == 0 || errno == ENOENT;
    if (!good && whole) {
      *problem = fileproblem((folder + "/" + name).c_str(), errno);
      whole = false;
    }
    if (good) killpoint();
  }
  return whole;
}

// Finishes an undo journal: the old set goes back whole, then the journal
// and the set's folder go. False while an old file cannot go back (the
// journal stays for the next reader).
bool finishundo(const std::string& folder, std::string* problem) {
  const std::string undo = folder + "/" + UNDOJOURNAL;
  Journal j;
  const JournalRead read = readjournal(undo, folder, &j, problem);
  if (read != JournalRead::read) return read == JournalRead::none;
  SetFolders f;
  if (j.stage.empty() || opensetfolders(folder, undo, j, nullptr, &f, problem) != SetOpen::open ||
      !undoset(folder, f, j, problem)) {
    if (j.stage.empty()) *problem = undo + ": names no set";
    debugprint("***** Warning: %s\n", problem->c_str());
    return false;
  }
  fsync(f.folder);
  unlinkat(f.folder, UNDOJOURNAL, 0);
  killpoint();
  removestage(f);
  return true;
}

// Puts one file of the set in place, its old file kept first. Each step can
// be taken again after a stop.
bool putinplace(const std::string& folder, const SetFolders& f, const std::string& name, std::string* problem) {
  const std::string target = folder + "/" + name;
  // A file that is no longer in the set's folder was put in place before
  // (by us, or by another reader finishing the same journal).
  if (!presentat(f.stage, name)) return true;
  if (!presentat(f.stage, keptold(name)) && !presentat(f.stage, noold(name))) {
    struct stat st;
    bool kept;
    if (fstatat(f.folder, name.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0) {
      const int mark = errno == ENOENT ? openat(f.stage, noold(name).c_str(),
                                                O_WRONLY | O_CREAT | O_TRUNC | O_NOFOLLOW | O_CLOEXEC, 0644)
                                       : -1;
      kept = mark >= 0 && close(mark) == 0;
    } else if (S_ISDIR(st.st_mode)) {
      errno = EISDIR;
      kept = false;
    } else {
      kept = linkat(f.folder, name.c_str(), f.stage, keptold(name).c_str(), 0) == 0;
    }
    if (!kept) {
      *problem = fileproblem(target.c_str(), errno);
      return false;
    }
    killpoint();
  }
  if (renameat(f.stage, name.c_str(), f.folder, name.c_str()) != 0) {
    *problem = fileproblem(target.c_str(), errno);
    return false;
  }
  killpoint();
  return true;
}

// The journal of the older kind keeps no old files, so it can only go
// forward. The number of files put in place, -1 when one could not be.
int32_t finisholdjournal(const std::string& folder, const Journal& j, std::string* problem) {
  const std::string journal = folder + "/" + JOURNAL;
  int32_t moved = 0;
  for (const std::string& name : j.names) {
    const std::string target = folder + "/" + name;
    if (rename((target + OLDASIDE).c_str(), target.c_str()) == 0) moved++;
    else if (errno != ENOENT) {
      *problem = fileproblem(target.c_str(), errno);
      debugprint("***** Warning: %s; %s stays\n", problem->c_str(), journal.c_str());
      return -1;
    }
  }
  syncfolder(folder.c_str());
  unlink(journal.c_str());
  killpoint();
  return moved;
}

// The renames that the journal names. When one cannot be made, the journal
// becomes an undo journal in one rename (from then on the set never comes)
// and the old files go back. The number of files put in place, -1 when the
// set could not be put in place (problem says why). With made, the journal
// is the one that its writer has just put in place for the set's folder
// made: when another folder stands under the set's name, no file has moved
// yet, and the journal goes.
int32_t finishjournal(const std::string& folder, std::string* problem, const struct stat* made = nullptr) {
  if (!finishundo(folder, problem)) return -1;
  const std::string journal = folder + "/" + JOURNAL;
  Journal j;
  const JournalRead read = readjournal(journal, folder, &j, problem);
  if (read != JournalRead::read) return read == JournalRead::none ? 0 : -1;
  if (j.stage.empty()) return finisholdjournal(folder, j, problem);
  SetFolders f;
  const SetOpen opened = opensetfolders(folder, journal, j, made, &f, problem);
  if (opened == SetOpen::replaced && f.folder >= 0) {
    unlinkat(f.folder, JOURNAL, 0);
    fsync(f.folder);
  }
  if (opened != SetOpen::open) return -1;
  int32_t moved = 0;
  for (const std::string& name : j.names) {
    if (!putinplace(folder, f, name, problem)) {
      debugprint("***** Warning: %s; the files of the set go back\n", problem->c_str());
      // The old files kept in the set's folder, and the marks of files that
      // had none, are on the disc before a journal can send them back.
      syncfs(f.stage);
      if (renameat(f.folder, JOURNAL, f.folder, UNDOJOURNAL) != 0) return -1;
      fsync(f.folder);
      killpoint();
      std::string undoproblem;
      if (!finishundo(folder, &undoproblem)) *problem += "; and " + undoproblem + " (an old file is not back yet)";
      return -1;
    }
    moved++;
  }
  fsync(f.folder);
  unlinkat(f.folder, JOURNAL, 0);
  killpoint();
  removestage(f);
  return moved;
}
}  // namespace

namespace {
// The pid that the digits make, 0 when there are none or they are no pid.
int32_t pidof(const char* digits) {
  if (!digits[0]) return 0;
  int64_t pid = 0;
  for (const char* c = digits; *c; c++) {
    if (*c < '0' || *c > '9' || pid > 99999999) return 0;
    pid = pid * 10 + (*c - '0');
  }
  return int32_t(pid);
}
}  // namespace

int32_t temppid(const char* name) {
  const char* at = strstr(name, TEMPMARK);
  if (!at || at == name) return 0;
  while (const char* later = strstr(at + 1, TEMPMARK)) at = later;
  return pidof(at + strlen(TEMPMARK));
}

int32_t oldtemppid(const char* name) {
  const char* dot = strrchr(name, '.');
  return dot && dot != name && strncmp(dot, ".new", 4) == 0 ? pidof(dot + 4) : 0;
}

bool processalive(int32_t pid) {
  if (pid <= 0) return false;
  if (kill(pid_t(pid), 0) != 0 && errno != EPERM) return false;
  // A process that was killed but not yet reaped by its parent (a zombie)
  // still answers kill(); it writes nothing any more, so it counts as gone.
  char path[64];
  snprintf(path, sizeof path, "/proc/%d/stat", int(pid));
  UniqueFile f = openquiet(path, "r");
  if (!f) return true;   // no /proc: kill() has the last word
  char line[512];
  if (!fgets(line, sizeof line, f.get())) return true;
  // "PID (NAME) STATE ...": the name may hold spaces and parentheses.
  const char* close = strrchr(line, ')');
  if (!close || close[1] != ' ') return true;
  return close[2] != 'Z' && close[2] != 'X';
}

std::string tempname(const char* path) { return std::string(path) + TEMPMARK + std::to_string(getpid()); }

bool plainfilename(const char* name) {
  if (!name || !name[0] || strchr(name, '/') || strstr(name, "..")) return false;
  for (const char* c = name; *c; c++)
    if (uint8_t(*c) < 32) return false;
  return true;
}

namespace {
// The file of a folder's lock: one for each user, so that the programs of
// several accounts that share a folder do not stand in each other's way.
std::string folderlockname() { return ".vey3lock." + std::to_string(geteuid()); }
}  // namespace

FolderLock::FolderLock(const std::string& folder, LockRefusal refusal)
    : folderfd(open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC)) {
  if (folderfd < 0) return;
  while (flock(folderfd, LOCK_EX | LOCK_NB) != 0 && errno == EINTR) {
  }
  const std::string name = folderlockname();
  int err = 0;
  for (;;) {
    fd = openat(folderfd, name.c_str(), O_RDONLY | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC, 0600);
    err = errno;
    struct stat st;
    if (fd < 0 || fstat(fd, &st) != 0) break;
    if (!S_ISREG(st.st_mode) || st.st_uid != geteuid()) {
      err = S_ISREG(st.st_mode) ? EACCES : ENOTAFILE;
      break;
    }
    // No other account may open it, so none holds it: only this user's
    // programs are waited for.
    if (st.st_mode & 077) fchmod(fd, 0600);
    while (flock(fd, LOCK_EX) != 0 && errno == EINTR) {
    }
    // The holder before may have removed the file as its lock ended: the
    // lock holds only on the file that stands under the name.
    if (stillnamed(folderfd, name.c_str(), fd)) return;
    close(fd);
  }
  if (fd >= 0) close(fd);
  fd = -1;
  // A folder that takes no file of this user's (no permission, a read-only
  // disc) has nothing for this user to change either.
  struct stat st;
  if (fstatat(folderfd, name.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0) return;
  const std::string path = folder + "/" + name;
  problemtext = path + ": " + nofollowproblem(path.c_str(), err);
  static std::set<std::string> told;
  if (refusal == LockRefusal::said && told.size() < 1000 && told.insert(folder).second)
    printf("The folder %s is used without its lock: %s\n", folder.c_str(), problemtext.c_str());
}

FolderLock::~FolderLock() {
  if (fd >= 0) {
    // Removed while held, so that a waiter for it tries anew; only when it
    // is still this lock's file.
    const std::string name = folderlockname();
    if (stillnamed(folderfd, name.c_str(), fd)) unlinkat(folderfd, name.c_str(), 0);
    close(fd);
  }
  if (folderfd >= 0) close(folderfd);
}

bool removeownfolder(const char* folder) {
  // Never through a link: a link in the folder's place stays as it is.
  const int fd = open(folder, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
  if (fd < 0) return errno == ENOENT;
  emptyfolder(fd);
  close(fd);
  return rmdir(folder) == 0 || errno == ENOENT;
}

bool HeldFolder::make(const char* path, int mode) {
  release();
  // Under the lock of the folder that holds it, which a clean-up holds too:
  // no clean-up sees the folder before its lock is taken.
  std::string parent = path;
  const size_t slash = parent.rfind('/');
  parent = slash == std::string::npos ? "." : slash == 0 ? "/" : parent.substr(0, slash);
  if (mkdirs(parent.c_str()) < 0) return false;
  const FolderLock guard(parent);
  while (mkdir(path, mode_t(mode)) != 0) {
    // A name of this pid that stands already: an earlier process of this
    // pid left it, unless a process of another PID namespace holds it.
    if (errno != EEXIST) return false;
    struct stat st;
    if (lstat(path, &st) != 0 || !S_ISDIR(st.st_mode) || !leftover(path, int32_t(getpid()), false) ||
        !removeownfolder(path)) {
      errno = EEXIST;
      return false;
    }
  }
  folderfd = open(path, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
  if (folderfd < 0) return false;
  // The folder just made, not one that another account put in its place
  // meanwhile (its own, or one of this user's moved there): this user's
  // and empty.
  struct stat st;
  if (fstat(folderfd, &st) != 0 || !mine(st) || !S_ISDIR(st.st_mode) || !entriesof(folderfd).empty()) {
    release();
    errno = EEXIST;
    return false;
  }
  strlcopy(lockname, lockfilename(int32_t(getpid())).c_str(), sizeof lockname);
  lockfd = openat(folderfd, lockname, O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
  if (lockfd < 0) {
    const int err = errno;
    release();
    errno = err;
    return false;
  }
  // A file system without locks keeps the file without one: a clean-up
  // that cannot try the lock either goes by the pid.
  while (flock(lockfd, LOCK_EX | LOCK_NB) != 0 && errno == EINTR) {
  }
  return true;
}

bool HeldFolder::at(const char* path) const {
  struct stat named, made;
  return folderfd >= 0 && lstat(path, &named) == 0 && fstat(folderfd, &made) == 0 && samefile(named, made);
}

void HeldFolder::remove(const char* path) {
  if (folderfd >= 0) {
    const bool named = at(path);
    emptyfolder(folderfd);
    release();
    if (named) rmdir(path);
  }
}

void HeldFolder::release() {
  if (lockfd >= 0) {
    if (folderfd >= 0) unlinkat(folderfd, lockname, 0);
    close(lockfd);
  }
  if (folderfd >= 0) close(folderfd);
  lockfd = folderfd = -1;
}

bool leftover(const char* path, int32_t pid, bool pidalive) {
  struct stat st;
  if (!path || lstat(path, &st) != 0 || !mine(st)) return false;
  Writer w = Writer::unknown;
  if (S_ISDIR(st.st_mode)) {
    const int fd = open(path, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd >= 0) {
      w = lockholder(fd, lockfilename(pid).c_str());
      close(fd);
    }
    // A folder's lock file tells all: its writer is gone, whatever runs
    // under that pid now.
    if (w == Writer::gone) return true;
  } else {
    w = lockholder(AT_FDCWD, path);
  }
  return w != Writer::holds && !pidalive;
}

int opennewfile(const char* path) {
  for (;;) {
    const int fd = open(path, O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0644);
    if (fd >= 0) {
      while (flock(fd, LOCK_EX | LOCK_NB) != 0 && errno == EINTR) {
      }
      return fd;
    }
    if (errno != EEXIST) return -1;
    struct stat st;
    if (lstat(path, &st) != 0 || !S_ISREG(st.st_mode) || !leftover(path, int32_t(getpid()), false) ||
        unlink(path) != 0) {
      errno = EEXIST;
      return -1;
    }
  }
}

int32_t copynofollow(const char* from, const char* to) {
  // Looked at first: opening a device may do something.
  struct stat st;
  if (lstat(from, &st) == 0 && !S_ISREG(st.st_mode) && !S_ISLNK(st.st_mode)) {
    errno = ENOTAFILE;
    return -1;
  }
  const int in = open(from, O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
  if (in < 0) return -1;
  if (fstat(in, &st) != 0 || !S_ISREG(st.st_mode)) {
    close(in);
    errno = ENOTAFILE;
    return -1;
  }
  const int out = opennewfile(to);
  int32_t result = out < 0 ? -2 : 0;
  int err = errno;
  char chunk[16384];
  while (result == 0) {
    const ssize_t n = read(in, chunk, sizeof chunk);
    if (n < 0 && errno == EINTR) continue;
    if (n == 0) break;
    if (n < 0 || !writeall(out, chunk, size_t(n))) {
      result = n < 0 ? -1 : -2;
      err = errno;
    }
  }
  close(in);
  if (out >= 0 && close(out) != 0 && result == 0) {
    result = -2;
    err = errno;
  }
  if (out >= 0 && result < 0) unlink(to);
  errno = err;
  return result;
}

std::string nofollowproblem(const char* path, int err) {
  struct stat st;
  // A loop of links is said as such, as any reader says it.
  if (path && lstat(path, &st) == 0 && S_ISLNK(st.st_mode) && !(stat(path, &st) != 0 && errno == ELOOP))
    return "it is a symbolic link, not a file";
  return readproblem(path, err);
}

void keepsubfolders(const char* from, const char* to) {
  for (const std::string& name : entries(from)) {
    const std::string path = std::string(from) + "/" + name, target = std::string(to) + "/" + name;
    if (temppid(name.c_str()) > 0 || !isfolder(path) || present(target)) continue;
    if (rename(path.c_str(), target.c_str()) != 0)
      debugprint("***** Warning: %s stays in %s: %s\n", name.c_str(), from, filecause(errno));
  }
}

int32_t settlefolder(const char* folder) {
  const std::string dir = folder;
  const FolderLock lock(dir);
  std::string problem;
  const int32_t done = finishjournal(dir, &problem);
  // A journal that still stands keeps its set's folder and the files aside.
  std::set<std::string> kept;
  bool journal = false;
  for (const char* name : {JOURNAL, UNDOJOURNAL}) {
    Journal j;
    if (readjournal(dir + "/" + name, dir, &j) == JournalRead::none) continue;
    journal = true;
    if (!j.stage.empty()) kept.insert(j.stage);
  }
  for (const std::string& name : entries(dir)) {
    const std::string path = dir + "/" + name;
    const int32_t pid = temppid(name.c_str());
    // What this process writes stays, and so does what a write of another
    // process holds, what a journal still needs, and anything this user
    // did not make.
    const bool stale = pid > 0 && pid != int32_t(getpid()) && !kept.count(path) &&
                       leftover(path.c_str(), pid, processalive(pid));
    struct stat st;
    const bool oldaside = !journal && endswith(name.c_str(), OLDASIDE) && lstat(path.c_str(), &st) == 0 &&
                          mine(st) && S_ISREG(st.st_mode);
    if (!stale && !oldaside) continue;
    // A folder moved aside to make room for its replacement, which never
    // came: it goes back.
    const size_t gone = name.rfind(GONE);
    if (gone != std::string::npos && gone > 0 && isfolder(path)) {
      const std::string back = dir + "/" + name.substr(0, gone);
      if (access(back.c_str(), F_OK) != 0 && rename(path.c_str(), back.c_str()) == 0) continue;
    }
    // The old folder of a game replaced, or the new one of a game never
    // made: the user's sub-folders in it go to the game's folder.
    if (isfolder(path)) {
      std::string base = name.substr(0, name.rfind(TEMPMARK));
      if (gone != std::string::npos && gone > 0) base = name.substr(0, gone);
      if (!base.empty() && isfolder(dir + "/" + base)) keepsubfolders(path.c_str(), (dir + "/" + base).c_str());
    }
    debugprint("***** Warning: removing %s, left by a write that was stopped\n", path.c_str());
    if (isfolder(path)) removeownfolder(path.c_str());
    else unlink(path.c_str());
  }
  return imax(done, 0);
}

void settlefolderonce(const char* folder) {
  if (!folder || !folder[0] || !settled().insert(folder).second) return;
  settlefolder(folder);
}

void settlepending(const char* folder) {
  settlefolderonce(folder);
  const std::string dir = folder;
  if (present(dir + "/" + JOURNAL) || present(dir + "/" + UNDOJOURNAL)) settlefolder(folder);
}


bool writefile(const char* path, const void* bytes, size_t length, bool sync) {
  const int fd = open(path, O_WRONLY | O_CREAT | O_TRUNC | O_NOFOLLOW | O_CLOEXEC, 0644);
  return fd >= 0 && writeclose(fd, bytes, length, sync);
}

bool syncfolder(const char* folder) {
  int fd = open(folder, O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return false;
  const bool good = fsync(fd) == 0;
  const int err = errno;
  close(fd);
  errno = err;
  return good;
}

void killpoint() {
  static bool fromenv = false;
  static int killsignal = SIGKILL;
  if (!fromenv) {
    fromenv = true;
    if (const char* v = getenv("VEY3_KILLSTEP")) killstep = atoi(v);
    if (const char* v = getenv("VEY3_KILLSIGNAL")) killsignal = atoi(v);
  }
  if (killstep < 0) return;
  if (++killsteps == killstep) raise(killsignal);
}

// ---------------------------------------------------------------- a set

FileSet::FileSet(const char* folder) : folder(folder) {}

FileSet::~FileSet() {
  if (!stage.empty()) held.remove(stage.c_str());
}

bool FileSet::fail(const std::string& path, int err) {
  if (problemtext.empty()) problemtext = fileproblem(path.c_str(), err);
  failed = true;
  return false;
}

const std::string& FileSet::staging() {
  if (stage.empty() && !failed) {
    settlefolderonce(folder.c_str());
    stage = tempname((folder + "/set").c_str());
    if (!held.make(stage.c_str(), 0755)) {
      // Something else that stands under the set's name is named itself.
      fail(errno == EEXIST ? stage : folder, errno);
      stage.clear();
    }
  }
  return stage;
}

bool FileSet::add(const char* name) {
  if (failed) return false;
  // Names that begin with a dot are kept for the old files beside the set.
  if (!plainfilename(name) || name[0] == '.') return fail(folder + "/" + (name ? name : ""), EINVAL);
  if (staging().empty()) return false;
  names.emplace_back(name);
  return true;
}

bool FileSet::write(const char* name, const void* bytes, size_t length) {
  if (!add(name)) return failed = true, false;
  killpoint();
  // Into the folder made, wherever it stands now. Made durable with the
  // whole set at commit().
  const int fd = openat(held.fd(), name, O_WRONLY | O_CREAT | O_TRUNC | O_NOFOLLOW | O_CLOEXEC, 0644);
  if (fd < 0 || !writeclose(fd, bytes, length, false)) return fail(folder + "/" + name, errno);
  return true;
}

bool FileSet::commit() {
  if (failed || stage.empty()) return false;
  // A set is put in place only under the folder's lock: the start that
  // could not take it has said why.
  const FolderLock lock(folder, LockRefusal::quiet);
  if (!lock.problem().empty()) {
    problemtext = lock.problem();
    failed = true;
    return false;
  }
  // A set of another writer that could not be finished or undone stands in
  // the way of this one.
  std::string earlier;
  finishjournal(folder, &earlier);
  for (const char* name : {JOURNAL, UNDOJOURNAL})
    if (present(folder + "/" + name)) {
      problemtext = earlier.empty() ? folder + "/" + name + ": an earlier set stands unfinished" : earlier;
      return false;
    }
  // The set's folder must still be the one made: another account that may
  // write the folder may have moved it aside and put something in its place.
  struct stat made;
  if (!held.at(stage.c_str()) || fstat(held.fd(), &made) != 0) return fail(stage, EEXIST);
  // The journal, beside the folder under a temp name until it stands.
  const std::string journal = folder + "/" + JOURNAL, pending = tempname(journal.c_str());
  std::string lines = std::string(strrchr(stage.c_str(), '/') + 1) + "\n";
  for (const std::string& name : names) lines += name + "\n";
  // Made anew: what stands under the name (a link another account put
  // there) is neither written through nor removed.
  const int pendingfd = opennewfile(pending.c_str());
  if (pendingfd < 0) return fail(errno == EEXIST ? pending : journal, errno);
  if (!writeclose(pendingfd, lines.data(), lines.size(), false)) {
    const int err = errno;
    unlink(pending.c_str());
    return fail(journal, err);
  }
  // One sync of the file system puts the files of the set, their names in
  // the set's folder and the journal on the disc, where a sync of each would
  // cost one a file.
  if (syncfs(held.fd()) != 0) {
    const int err = errno;
    unlink(pending.c_str());
    return fail(folder, err);
  }
  killpoint();
  // The moment the new set exists; on the disc before any file moves.
  if (rename(pending.c_str(), journal.c_str()) != 0) {
    const int err = errno;
    unlink(pending.c_str());
    return fail(journal, err);
  }
  // A journal that may not be on the disc is no commit: no file has moved
  // yet, so taking it away leaves the old set as it stands.
  if (!syncfolder(folder.c_str())) {
    const int err = errno;
    unlink(journal.c_str());
    syncfolder(folder.c_str());
    return fail(folder, err);
  }
  killpoint();
  // Put in place whole, or (the journal turned into an undo journal) not
  // at all: then the old set stands again and the set's folder is gone.
  if (finishjournal(folder, &problemtext, &made) < 0) {
    // The undo removed the set's folder, or keeps it for the next reader; a
    // folder moved aside for another one is emptied as the set ends.
    failed = true;
    if (held.at(stage.c_str())) stage.clear();
    return false;
  }
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
