#include <unistd.h>

#include <cstdio>

#include "runtime/folders.h"
#include "runtime/util.h"

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
