// The private X server of window tests: it must not hold the output of the
// process that started it, or a test runner that reads that output waits on
// a server left behind.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

#include "gfx/gfx.h"

namespace {
std::string fdtarget(pid_t pid, int fd) {
  char path[64], target[256] = {};
  snprintf(path, sizeof path, "/proc/%d/fd/%d", int(pid), fd);
  const ssize_t n = readlink(path, target, sizeof target - 1);
  return n > 0 ? std::string(target, size_t(n)) : std::string();
}
}  // namespace

TEST(PrivateXServer, HoldsNeitherOutputOfItsStarter) {
  unsetenv("DISPLAY");
  int out[2];
  ASSERT_EQ(pipe(out), 0);
  const int savedout = dup(1), savederr = dup(2);
  dup2(out[1], 1), dup2(out[1], 2);
  const pid_t server = startprivatexserver();
  dup2(savedout, 1), dup2(savederr, 2);
  close(savedout), close(savederr);
  ASSERT_GT(server, 0);
  EXPECT_NE(getenv("DISPLAY"), nullptr);
  const std::string pipename = fdtarget(getpid(), out[1]);
  ASSERT_NE(pipename, "");
  for (int fd : {0, 1, 2}) EXPECT_NE(fdtarget(server, fd), pipename) << "fd " << fd;
  stopprivatexserver(server);
  EXPECT_NE(kill(server, 0), 0) << "the server is gone";
  unsetenv("DISPLAY");
  close(out[0]), close(out[1]);
}
