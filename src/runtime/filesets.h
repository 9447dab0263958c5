// Files that must appear together (the world and turn files of a turn, a
// map's picture and text), and the clean-up of what a stopped write left.
//
// Names: a write in progress is "NAME.vey3.new<pid>" (a file, or a folder
// that holds the files of a set), a name that no user gives a file of his
// own: only such names, and what a journal lists, are ever removed as left
// by a stopped write. A set is written into its folder
// "set.vey3.new<pid>", then a journal ("hostcommit") that names the folder and
// the files is written beside it; one sync of the file system puts them
// all on the disc, and the journal is put in place in one rename: from that
// moment the new set exists. Then each old file is kept beside the set under a second name,
// the new file renamed into place, and at the end the journal and the set's
// folder removed. When a file cannot be put in place, the journal becomes
// "hostcommit.undo" and the old files go back: the set never comes.
// Whoever opens the folder next (settlefolder) finishes a journal or an undo
// journal that stands, and removes what a process that is gone left behind.
// So a stop at any moment leaves the old set or the new one, whole.
#pragma once
#include <string>
#include <vector>

#include "runtime/short.h"

// The mark of this program's temp names: "NAME" TEMPMARK "<pid>".
constexpr const char* TEMPMARK = ".vey3.new";
// The pid of a temp name "NAME.vey3.new<pid>", 0 for any other name.
int32_t temppid(const char* name);
// The pid of a temp name of the older form "NAME.new<pid>" (the last dot),
// which a user's own file may have too: taken as a write's only where a
// journal or a game's own file names tell. 0 for any other name.
int32_t oldtemppid(const char* name);
// True while a process of that pid runs (a zombie, killed and not yet
// reaped, has stopped: false).
bool processalive(int32_t pid);
// "path.vey3.new<pid>" of this process.
std::string tempname(const char* path);

// Finishes a set whose journal stands in the folder (or puts its old files
// back when it cannot be finished) and removes temp files and set folders of
// processes that are gone (a folder moved aside for a replacement that never
// came goes back). The number of files that a journal put in place.
int32_t settlefolder(const char* folder);
// settlefolder, the first time this process writes into the folder.
void settlefolderonce(const char* folder);
// Before reading from a folder: settlefolderonce, and settlefolder again
// whenever a journal stands.
void settlepending(const char* folder);

// At start-up: settles the saved games, each game's folder, the settings
// and the maps folder.
void settleallfolders();

// Removes every file of a folder of our own making and the folder (one
// level: sets and games hold no sub-folders but a set being written). A
// sub-folder of the user's stays, and so does the folder then. True when
// it is gone.
bool removeownfolder(const char* folder);
// Moves each sub-folder of the user's (any but a set being written) from
// one folder into another that has none of its name: what the user keeps
// in a game's folder goes with the game when a new one replaces it.
void keepsubfolders(const char* from, const char* to);

class FileSet {
 public:
  explicit FileSet(const char* folder);
  ~FileSet();   // without commit(): the files aside are removed
  FileSet(const FileSet&) = delete;
  FileSet& operator=(const FileSet&) = delete;
  // The folder into which the files of the set are written under their
  // own names (made on first use); empty when it cannot be made.
  const std::string& staging();
  // Writes one file of the set whole; false on any failure.
  bool write(const char* name, const void* bytes, size_t length);
  // Adds a file that a writer put into staging() itself.
  bool add(const char* name);
  // Puts every file in place; false on failure. A failure before the
  // journal stands changes nothing. One after it (a folder in place of a
  // file, a file that cannot be replaced) puts the old files back, so the
  // old set stands whole and nothing finishes the new one later; if an old
  // file cannot go back at once, the next reader of the folder puts it back.
  bool commit();
  // Why the set failed: "<path>: <cause>", the path as the file stands (or
  // would stand) in the folder, never the folder aside; empty while none.
  const std::string& problem() const { return problemtext; }

 private:
  bool fail(const std::string& path, int err);
  std::string folder, stage, problemtext;
  std::vector<std::string> names;
  bool failed = false;
};

// A plain file name: not empty, no "/", no "..", no control character.
bool plainfilename(const char* name);
// Writes the bytes to a file, with sync flushed to the disc; false on
// failure (errno why).
bool writefile(const char* path, const void* bytes, size_t length, bool sync);
// Puts a folder's names (files made, renamed, removed) on the disc; false
// on failure (errno why).
bool syncfolder(const char* folder);
// Flushes everything written to the file system that holds the folder (one
// call for any number of files); false on failure (errno why).
bool syncfilesystem(const char* folder);

// Fault injection for the tests of the roads above: with VEY3_KILLSTEP=n
// (or killstep set), the process kills itself with SIGKILL at the n-th step
// that changes files. killsteps counts the steps passed.
extern int32_t killstep;
extern int32_t killsteps;
void killpoint();
