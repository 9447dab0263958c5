// A scratch folder of a fuzz target's own, in memory (/dev/shm) where the
// machine lets us write there, else under TMPDIR (or /tmp): files in memory
// cost no disc writes, so a run is as fast as the reader. It goes when the
// run ends normally; after a crash it stays, with what the reader was given.
#pragma once
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>

#include "runtime/folders.h"
#include "runtime/util.h"
#include "support/scratch.h"

inline char fuzzscratchfolder[PATHLEN];

inline void removefuzzscratch() {
  std::error_code ignored;
  std::filesystem::remove_all(fuzzscratchfolder, ignored);
}

// Makes the folder "<base>/<prefix>XXXXXX" and returns its path.
inline const char* makefuzzscratch(const char* prefix) {
  const bool memory = access("/dev/shm", W_OK | X_OK) == 0;
  strlcopy(fuzzscratchfolder, makescratch(prefix, memory ? std::string("/dev/shm") : scratchbase()).c_str(), PATHLEN);
  atexit(removefuzzscratch);
  return fuzzscratchfolder;
}
