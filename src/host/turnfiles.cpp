// The files of a hosted turn as one set (see runtime/filesets.h): every file
// is written aside first, then a journal that names them is put in place in
// one rename, and only then are the files renamed over the old ones. Whoever
// reads the game folder next finishes a journal that stands and removes
// files aside without one. So a host stopped at any moment (or a full disc)
// leaves either the whole old turn or the whole new one.
#include <cerrno>
#include <string>

#include "host/host.h"
#include "runtime/fatal.h"
#include "runtime/filesets.h"
#include "runtime/folders.h"
#include "runtime/util.h"

bool committurnfiles(const char* gname, const std::vector<TurnFile>& files, std::string* problem) {
  char folder[PATHLEN];
  gamefolder(folder, PATHLEN, gname);
  std::string ignored;
  std::string& why = problem ? *problem : ignored;
  if (mkdirs(folder) < 0) {
    why = fileproblem(folder, errno);
    return false;
  }
  FileSet set(folder);
  bool good = true;
  for (const TurnFile& f : files) good = good && set.write(f.name, f.bytes.data(), f.bytes.size());
  good = good && set.commit();
  if (!good) why = set.problem();
  return good;
}

int32_t finishhostcommit(const char* gname) {
  char folder[PATHLEN];
  gamefolder(folder, PATHLEN, gname);
  return settlefolder(folder);
}
