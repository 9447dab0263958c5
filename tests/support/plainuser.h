// In a child: runs on as a plain user (nobody) when the tests run as root,
// so that folders without write permission refuse writes as they do for a
// player. Whatever the child uses must be open to that user.
#pragma once
#include <grp.h>
#include <unistd.h>

inline void asplainuser() {
  if (geteuid() != 0) return;
  // Some containers refuse the change of groups; the user alone decides.
  if (setgroups(0, nullptr) != 0 || setgid(65534) != 0) {
  }
  if (setuid(65534) != 0) _exit(90);
}

#include <linux/capability.h>
#include <sys/syscall.h>

// For the life of the value, as root: the user stays root (the owner of
// what it makes), but the permissions of other accounts' files hold as for
// any user: what it may not read it cannot read, copy or link. For the
// calling thread only (the program's work runs there).
class PermissionsHold {
 public:
  PermissionsHold() {
    if (geteuid() != 0 || syscall(SYS_capget, &header, saved) != 0) return;
    __user_cap_data_struct less[2] = {saved[0], saved[1]};
    for (int cap : {CAP_DAC_OVERRIDE, CAP_DAC_READ_SEARCH, CAP_FOWNER})
      less[cap / 32].effective &= ~(1u << (cap % 32));
    held = syscall(SYS_capset, &header, less) == 0;
  }
  ~PermissionsHold() {
    if (held) syscall(SYS_capset, &header, saved);
  }
  PermissionsHold(const PermissionsHold&) = delete;
  PermissionsHold& operator=(const PermissionsHold&) = delete;
  bool ok() const { return held; }

 private:
  __user_cap_header_struct header = {_LINUX_CAPABILITY_VERSION_3, 0};
  __user_cap_data_struct saved[2] = {};
  bool held = false;
};
