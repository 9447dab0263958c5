// A folder that takes no new file for a while, as a read-only disc: the
// folder mounted read-only over itself where mounting is allowed; else the
// files this process writes are held to a few bytes, as on a full disc.
// writable() ends it (the destructor too, and a stop of the program).
#pragma once
#include <signal.h>
#include <sys/mount.h>
#include <sys/resource.h>

#include <string>

#include "runtime/fatal.h"

class ReadOnlyFolder {
 public:
  explicit ReadOnlyFolder(const std::string& folder) {
    if (mount(folder.c_str(), folder.c_str(), nullptr, MS_BIND, nullptr) == 0) {
      mounted = folder;
      addshutdownhook(unmount);
      if (mount(nullptr, folder.c_str(), nullptr, MS_REMOUNT | MS_BIND | MS_RDONLY, nullptr) == 0) return;
      unmount();
    }
    signal(SIGXFSZ, SIG_IGN);
    getrlimit(RLIMIT_FSIZE, &old);
    struct rlimit small = old;
    small.rlim_cur = 16;
    limited = setrlimit(RLIMIT_FSIZE, &small) == 0;
  }
  ~ReadOnlyFolder() { writable(); }
  ReadOnlyFolder(const ReadOnlyFolder&) = delete;
  ReadOnlyFolder& operator=(const ReadOnlyFolder&) = delete;
  void writable() {
    unmount();
    if (limited) setrlimit(RLIMIT_FSIZE, &old);
    limited = false;
  }
  // True while the folder is mounted read-only (else the size limit holds).
  static bool readonly() { return !mounted.empty(); }

 private:
  static void unmount() {
    if (!mounted.empty()) umount2(mounted.c_str(), MNT_DETACH);
    mounted.clear();
  }
  static inline std::string mounted;
  bool limited = false;
  struct rlimit old {};
};
