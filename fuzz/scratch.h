// A scratch folder of a fuzz target's own, in memory (/dev/shm) where the
// machine has it, else under /tmp: files there cost no disc writes, so a run
// is as fast as the reader. It goes when the run ends normally; after a
// crash it stays, with what the reader was given.
#pragma once
#include <cstdlib>
#include <cstring>
#include <filesystem>

#include "runtime/folders.h"
#include "runtime/util.h"

inline char fuzzscratchfolder[PATHLEN];

inline void removefuzzscratch() {
  std::error_code ignored;
  std::filesystem::remove_all(fuzzscratchfolder, ignored);
}

// Makes the folder from a mkdtemp pattern and returns its path.
inline const char* makefuzzscratch(const char* pattern) {
  char name[PATHLEN];
  strlcopy(name, pattern, PATHLEN);
  std::error_code ignored;
  if (strncmp(pattern, "/tmp/", 5) == 0 && std::filesystem::is_directory("/dev/shm", ignored))
    formatbounded(name, PATHLEN, "/dev/shm/%s", pattern + 5);
  if (!mkdtemp(name)) abort();
  strlcopy(fuzzscratchfolder, name, PATHLEN);
  atexit(removefuzzscratch);
  return fuzzscratchfolder;
}
