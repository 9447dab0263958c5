// A scratch folder of a fuzz target's own under /tmp. It goes when the run
// ends normally; after a crash it stays, with what the reader was given.
#pragma once
#include <cstdlib>
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
  if (!mkdtemp(name)) abort();
  strlcopy(fuzzscratchfolder, name, PATHLEN);
  atexit(removefuzzscratch);
  return fuzzscratchfolder;
}
