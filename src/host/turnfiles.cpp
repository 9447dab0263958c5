// The files of a hosted turn as one set (see runtime/filesets.h): every file
// is written aside first, then a journal that names them is put in place in
// one rename, and only then are the files renamed over the old ones. Whoever
// reads the game folder next finishes a journal that stands and removes
// files aside without one. So a host stopped at any moment (or a full disc)
// leaves either the whole old turn or the whole new one.
#include <string>

#include "host/host.h"
#include "runtime/fatal.h"
#include "runtime/filesets.h"
#include "runtime/folders.h"
#include "runtime/util.h"

bool committurnfiles(const char* gname, const std::vector<TurnFile>& files) {
  char folder[PATHLEN];
  gamefolder(folder, PATHLEN, gname);
  if (mkdirs(folder) < 0) return false;
  FileSet set(folder);
  for (const TurnFile& f : files) {
    if (!set.write(f.name, f.bytes.data(), f.bytes.size())) {
      debugprint("***** Warning: %s/%s could not be written; the old turn stays\n", folder, f.name);
      return false;
    }
  }
  if (!set.commit()) {
    debugprint("***** Warning: the journal of %s could not be written; the old turn stays\n", gname);
    return false;
  }
  return true;
}

int32_t finishhostcommit(const char* gname) {
  char folder[PATHLEN];
  gamefolder(folder, PATHLEN, gname);
  return settlefolder(folder);
}
