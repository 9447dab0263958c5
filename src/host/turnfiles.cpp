// The files of a hosted turn as one set: every file is written aside first,
// then a journal that names them is put in place in one rename, and only
// then are the files renamed over the old ones. Whoever finds a journal
// finishes the renames; whoever finds files aside without a journal removes
// them. So a host stopped at any moment (or a full disk) leaves either the
// whole old turn or the whole new one.
#include <dirent.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "host/host.h"
#include "runtime/fatal.h"
#include "runtime/folders.h"
#include "runtime/util.h"

namespace {
constexpr const char* ASIDE = ".host";
constexpr const char* JOURNAL = "hostcommit";

std::string folderof(const char* gname) { return std::string(savepath) + "/" + gname; }

// A file name of the set: a plain name in the game folder.
bool plainname(const char* name) {
  if (!name[0] || strchr(name, '/') || strstr(name, "..")) return false;
  for (const char* c = name; *c; c++)
    if (uint8_t(*c) < 32) return false;
  return true;
}

bool writeaside(const std::string& path, const std::vector<uint8_t>& bytes) {
  FILE* f = fopen(path.c_str(), "wb");
  if (!f) return false;
  bool good = bytes.empty() || fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
  good = fflush(f) == 0 && good && !ferror(f);
  good = fclose(f) == 0 && good;
  return good;
}

// Removes the files aside that a set left behind without its journal.
void removeaside(const std::string& folder) {
  DIR* d = opendir(folder.c_str());
  if (!d) return;
  std::vector<std::string> doomed;
  const size_t n = strlen(ASIDE);
  while (dirent* e = readdir(d)) {
    const size_t len = strlen(e->d_name);
    if (len > n && strcmp(e->d_name + len - n, ASIDE) == 0) doomed.push_back(folder + "/" + e->d_name);
  }
  closedir(d);
  for (const std::string& path : doomed) {
    debugprint("***** Warning: removing %s of an unfinished hosting\n", path.c_str());
    unlink(path.c_str());
  }
}
}  // namespace

bool committurnfiles(const char* gname, const std::vector<TurnFile>& files) {
  const std::string folder = folderof(gname);
  if (mkdirs(folder.c_str()) < 0) return false;
  // 1. Every file aside.
  for (const TurnFile& f : files) {
    if (!plainname(f.name) || !writeaside(folder + "/" + f.name + ASIDE, f.bytes)) {
      debugprint("***** Warning: %s/%s could not be written; the old turn stays\n", folder.c_str(), f.name);
      removeaside(folder);
      return false;
    }
  }
  // 2. The journal: the moment the new turn exists.
  {
    SafeWrite journal((folder + "/" + JOURNAL).c_str());
    bool good = journal.ok();
    for (const TurnFile& f : files)
      if (good) good = fprintf(journal.stream(), "%s\n", f.name) > 0;
    if (!good || !journal.commit()) {
      debugprint("***** Warning: the journal of %s could not be written; the old turn stays\n", gname);
      removeaside(folder);
      return false;
    }
  }
  // 3. The renames.
  finishhostcommit(gname);
  return true;
}

int32_t finishhostcommit(const char* gname) {
  const std::string folder = folderof(gname);
  const std::string journal = folder + "/" + JOURNAL;
  UniqueFile f = openfile(journal.c_str(), "rb");
  if (!f) {
    removeaside(folder);
    return 0;
  }
  int32_t moved = 0;
  char line[200];
  while (fgets(line, sizeof line, f.get())) {
    line[strcspn(line, "\r\n")] = 0;
    if (!plainname(line)) continue;
    const std::string target = folder + "/" + line;
    const std::string aside = target + ASIDE;
    // Each rename happens once; a file no longer aside was moved before.
    if (access(aside.c_str(), F_OK) != 0) continue;
    if (rename(aside.c_str(), target.c_str()) != 0) {
      fatalerror("Could not put the files of the new turn in place");
      return moved;
    }
    moved++;
  }
  f.reset();
  unlink(journal.c_str());
  removeaside(folder);
  return moved;
}
