// Scratch folders of the tests, benchmarks and tools: each run makes folders
// of its own under the caller's TMPDIR (else /tmp) and writes nowhere else,
// so runs side by side, and a machine whose TMPDIR is private, stay apart.
#pragma once
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

// The folder under which scratch folders are made: TMPDIR when it names a
// folder, else /tmp. No trailing slash.
inline std::string scratchbase() {
  const char* tmpdir = getenv("TMPDIR");
  std::error_code ignored;
  std::string base = tmpdir && tmpdir[0] && std::filesystem::is_directory(tmpdir, ignored) ? tmpdir : "/tmp";
  while (base.size() > 1 && base.back() == '/') base.pop_back();
  return base;
}

// True when every folder from the root down to `path` lets others pass
// through, so that a plain user reaches what is made inside it.
inline bool othersreach(const std::string& path) {
  std::filesystem::path p = std::filesystem::absolute(path);
  for (;;) {
    struct stat st {};
    if (stat(p.c_str(), &st) != 0 || !(st.st_mode & S_IXOTH)) return false;
    if (p == p.root_path()) return true;
    p = p.parent_path();
  }
}

// The base for folders that a child run as a plain user must reach: the
// scratch base when others may pass through it (always when the tests do not
// run as root), else the first of /tmp, /var/tmp and /dev/shm that they may.
// Empty when there is none.
inline std::string plainuserbase() {
  const std::string base = scratchbase();
  if (geteuid() != 0 || othersreach(base)) return base;
  for (const char* shared : {"/tmp", "/var/tmp", "/dev/shm"})
    if (othersreach(shared)) return shared;
  return "";
}

// Makes a fresh folder "<base>/<prefix>XXXXXX" and returns its path; the base
// is the scratch base unless given. A folder that cannot be made stops the
// run: nothing may fall back to writing into a shared folder.
inline std::string makescratch(const char* prefix, const std::string& base = scratchbase()) {
  std::string pattern = base + "/" + prefix + "XXXXXX";
  if (!mkdtemp(pattern.data())) {
    fprintf(stderr, "cannot make a scratch folder %s\n", pattern.c_str());
    abort();
  }
  return pattern;
}

// Where a scratch folder stands: under the scratch base, or where a child
// that drops to a plain user (support/plainuser.h) reaches it.
enum class Reach { self, plainuser };

// A scratch folder as `reach` asks. For Reach::plainuser it is made under
// plainuserbase() and left open for others to pass through (0711), and it is
// empty when no base allows that.
inline std::string makescratch(const char* prefix, Reach reach) {
  if (reach == Reach::self) return makescratch(prefix);
  const std::string base = plainuserbase();
  if (base.empty()) return "";
  const std::string folder = makescratch(prefix, base);
  chmod(folder.c_str(), 0711);
  return folder;
}

// A scratch folder for a whole run (a benchmark, a tool, a test program):
// removed with all in it when the process that made it ends normally, not
// when a child forked from it (a death test) exits.
inline std::string makerunscratch(const char* prefix) {
  static std::vector<std::string> made;
  static const pid_t maker = getpid();
  if (made.empty())
    atexit([] {
      if (getpid() != maker) return;
      std::error_code ignored;
      for (const std::string& folder : made) std::filesystem::remove_all(folder, ignored);
    });
  made.push_back(makescratch(prefix));
  return made.back();
}
