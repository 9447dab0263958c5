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
// The names in the open folder but "." and ".." (the descriptor stays
// open); none when it cannot be read.
std::vector<std::string> entriesof(int folderfd);
// Whether two stats are of one file (its device and inode): a name that
// still leads to the file opened, not to one put in its place since.
struct stat;
bool samefile(const struct stat& a, const struct stat& b);

// A lock on a folder, held while a journal is written or finished and
// while a clean-up looks at what writes in progress left there, and while
// a writer makes its own folder in it (HeldFolder). A writer's sets all
// have the same folder name ("set.vey3.new<pid>"), so a reader that finished
// a journal late would otherwise move files of the writer's next set into
// place before its journal stands, remove that set's folder, or remove its
// journal. The lock ends with the process that holds it. One process holds
// one folder's lock once at a time.
//
// Only this user's programs are kept apart, so the lock is taken on a file
// that only this user can open: ".vey3lock.<uid>" in the folder, made
// without following a link, mode 0600, removed when the lock ends. A lock
// on the folder itself, which anyone who may read the folder can take,
// would hold up every start while another account held it. The folder
// itself is locked too while nobody else holds it, for older programs,
// which lock only the folder; that lock is never waited for.
//
// When something that is not this user's file stands under the lock's name
// (another account put it into a folder that it may write), the lock is not
// taken: problem() says why, and with LockRefusal::said a line names the
// folder, once a process, and the work goes on without the lock.
enum class LockRefusal : uint8_t { said, quiet };
class FolderLock {
 public:
  explicit FolderLock(const std::string& folder, LockRefusal refusal = LockRefusal::said);
  ~FolderLock();
  FolderLock(const FolderLock&) = delete;
  FolderLock& operator=(const FolderLock&) = delete;
  // "<lock file>: <cause>" when the lock could not be taken; empty while it
  // is held, and for a folder that takes no file of this user's (nothing in
  // it can be changed by this user either).
  const std::string& problem() const { return problemtext; }

 private:
  int folderfd = -1, fd = -1;
  std::string problemtext;
};

// A folder that other accounts may write (a game folder that players share,
// the shared temp folder) is input: what the program makes there it makes
// anew, never through a link that stands in its place, and it removes or
// moves only what this user made there (a plain file or a real folder that
// this user owns, never a link).

// A folder of this process's own writes (a set being written, the folder of
// a new game, the temp folder), made anew with a lock held on a file in it
// ("writer.vey3.new<pid>") for as long as the value lives. A clean-up tells
// by that lock that the writer still works: a process in another PID
// namespace, or on another machine that shares the folder, has a pid that
// tells nothing here.
class HeldFolder {
 public:
  HeldFolder() = default;
  ~HeldFolder() { release(); }
  HeldFolder(const HeldFolder&) = delete;
  HeldFolder& operator=(const HeldFolder&) = delete;
  // Makes the folder (mode, less the umask; its missing parents too) and
  // takes its lock; false (errno why) when it cannot be made. A name that stands already is made anew
  // only when it is a folder of this user's that a process of this pid left
  // and no writer holds; anything else there (a link, a file, a folder of
  // another account or of a live writer, or one put in place of the folder
  // as it was made) fails with EEXIST.
  bool make(const char* path, int mode);
  // Ends the hold: the lock file goes (wherever the folder has been moved
  // since) and the lock with it. The folder itself stays.
  void release();
  // The folder made, -1 while none is held: files made relative to it go
  // into it wherever it has been moved since, never through what another
  // account put under its name.
  int fd() const { return folderfd; }
  // Whether the path names the folder made (its device and inode), not
  // something put in its place since.
  bool at(const char* path) const;
  // Removes the folder made: its files through the descriptor, wherever it
  // has been moved, and the folder itself when it still stands at the path.
  // Ends the hold.
  void remove(const char* path);

 private:
  int folderfd = -1, lockfd = -1;
  char lockname[64] = {};
};

// Whether what a write in progress of another process made at the path (a
// file of a temp name, or a folder: a set, a new game, a temp folder) is
// left over, so that a clean-up may remove it: it is this user's plain file
// or real folder and no writer holds its lock. A folder with a lock file
// that no writer holds is left over whatever runs under its pid; anything
// else only while its pid runs no process here (pidalive false), since a
// write of an older program holds no lock.
bool leftover(const char* path, int32_t pid, bool pidalive);

// Creates a new file for writing that no name stands at yet (O_EXCL, never
// through a link) and holds a lock on it while the descriptor is open, so
// that no clean-up removes it meanwhile. A file of this user's that a
// process of this pid left there is replaced; anything else fails with
// EEXIST. The descriptor, -1 on failure (errno why).
int opennewfile(const char* path);
// Copies a plain file to a new file (made as opennewfile makes it) without
// following a link at the source. 0 when copied; -1 when the source cannot
// be read, -2 when the copy cannot be written (errno why).
int32_t copynofollow(const char* from, const char* to);
// Why the file at the path could not be read, as readproblem says it, but
// a symbolic link that is not followed is named as one ("it is a symbolic
// link, not a file"; a loop of links as "its symbolic links go round in a
// loop").
std::string nofollowproblem(const char* path, int err);

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
  // Writes one file of the set whole into the set's folder as it was made
  // (wherever another account may have moved it, never through what it put
  // under the folder's name); false on any failure.
  bool write(const char* name, const void* bytes, size_t length);
  // Adds a file that a writer put into staging() itself.
  bool add(const char* name);
  // Puts every file in place; false on failure. A failure before the
  // journal stands changes nothing: so does a set's folder that is no
  // longer the one made (something else stands under its name; problem
  // says "<set folder>: a file of that name stands there, which this
  // program did not make"). One after it (a folder in place of a file, a
  // file that cannot be replaced) puts the old files back, so the
  // old set stands whole and nothing finishes the new one later; if an old
  // file cannot go back at once, the next reader of the folder puts it back.
  bool commit();
  // Why the set failed: "<path>: <cause>", the path as the file stands (or
  // would stand) in the folder, never the folder aside; empty while none.
  const std::string& problem() const { return problemtext; }

 private:
  bool fail(const std::string& path, int err);
  std::string folder, stage, problemtext;
  HeldFolder held;
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

// Fault injection for the tests of the roads above: with VEY3_KILLSTEP=n
// (or killstep set), the process kills itself with SIGKILL at the n-th step
// that changes files (with VEY3_KILLSIGNAL=s, signal s instead: 19, SIGSTOP,
// holds the process there until SIGCONT). killsteps counts the steps passed.
extern int32_t killstep;
extern int32_t killsteps;
void killpoint();
