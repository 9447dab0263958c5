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
