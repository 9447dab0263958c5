// Runs code in a forked child whose standard output goes to a file, and
// gives back how the child ended and what it printed. Free of the other
// support headers, so that it goes with any of them.
#pragma once
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>

struct ChildEnd {
  bool exited = false;
  int code = -1;   // the exit status when exited
  std::string out;
};

// f returns the child's exit status; scratch is a folder for the console file.
template <class F>
ChildEnd runwithconsole(const std::string& scratch, F f) {
  const std::string console = scratch + "/console.txt";
  fflush(stdout);
  const pid_t pid = fork();
  if (pid == 0) {
    if (!freopen(console.c_str(), "w", stdout)) _exit(98);
    const int code = f();
    fflush(stdout);
    _exit(code);
  }
  int status = 0;
  waitpid(pid, &status, 0);
  ChildEnd e;
  e.exited = WIFEXITED(status);
  e.code = e.exited ? WEXITSTATUS(status) : -1;
  std::ifstream in(console, std::ios::binary);
  e.out.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  unlink(console.c_str());
  return e;
}

// In a child: writes past the given file size fail as on a full disc.
inline void fulldiscafter(rlim_t bytes) {
  signal(SIGXFSZ, SIG_IGN);
  const struct rlimit limit = {bytes, bytes};
  setrlimit(RLIMIT_FSIZE, &limit);
}
