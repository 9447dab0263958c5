// One host at a time for a game. A host holds an exclusive advisory lock
// (flock) on the file "hostlock" in the game's folder from the moment it
// looks at the game's files until it has written the new month (the whole
// --superhost loop); a player's program holds a shared one while it writes
// an order file. The lock ends with its process, however that ends, so a
// killed host never leaves a game locked.
//
// A second host of a game that is being hosted is refused at once; a host
// that finds an order file being written waits for the write (a moment) and
// then reads it whole; an order file written while a host works is written
// all the same, and its writer is told that it may come too late for the
// month. A host tells the two apart by the kind of lock that stands: an
// exclusive one is a host's.
#pragma once
#include <string>

#include "runtime/short.h"

constexpr const char* HOSTLOCKFILE = "hostlock";

enum class GameLock : uint8_t {
  held,       // this process holds it now
  busy,       // a host of another process holds it
  writing,    // order files were being written all the while a host waited
  nofolder,   // no game folder (or one that cannot take the lock file): nothing to guard
  unopened,   // the lock file stands but cannot be opened: nothing is sure to be guarded
};

// Takes the folder's lock for this process: exclusive for a host, shared for
// a writer of an order file. A host waits up to five seconds for writers
// to finish, never for another host. Holds nest within one process: each
// held needs its unlockgame. For unopened, *err (when given) says why.
GameLock lockgame(const char* folder, bool host, int* err = nullptr);
void unlockgame(const char* folder);

// The lock for as long as the value lives.
class GameLockScope {
 public:
  GameLockScope(const char* folder, bool host);
  ~GameLockScope();
  GameLockScope(const GameLockScope&) = delete;
  GameLockScope& operator=(const GameLockScope&) = delete;
  GameLock state() const { return got; }
  // Why the lock file could not be opened (state unopened): "<lock file>:
  // <cause>" in the words of a file that cannot be read ("no permission",
  // "it is a FIFO, not a file", "it is a symbolic link, not a file").
  std::string problem() const;

 private:
  char folder[PATHLEN];
  int err = 0;
  GameLock got;
};
