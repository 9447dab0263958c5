// Runs code in a child process (or the built program) and collects its
// standard output, standard error and how it ended.
#pragma once
#include <fcntl.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <map>
#include <string>
#include <thread>
#include <vector>

#include "support/testdir.h"

// out and err hold what the child wrote except the lines that name the place
// of a stop ("where: FILE:LINE, FUNCTION", which the log has after the stop's
// message with -d): those are in places, one per line, first those of err,
// then those of out. The places move with every edit.
struct Ended {
  bool exited = false;
  int code = -1;     // exit status when exited
  int signal = 0;    // signal number when killed
  std::string out, err, places;
  bool aborted() const { return !exited && signal == SIGABRT; }
};

namespace processdetail {
// Takes the stops' place lines out of text, adding them to places.
inline std::string withoutplaces(const std::string& text, std::string* places) {
  std::string kept;
  for (size_t at = 0; at < text.size();) {
    size_t end = text.find('\n', at);
    end = end == std::string::npos ? text.size() : end + 1;
    if (text.compare(at, 7, "where: ") == 0) {
      places->append(text, at, end - at);
    } else {
      kept.append(text, at, end - at);
    }
    at = end;
  }
  return kept;
}

inline Ended collect(pid_t pid, const TestDir& dir, int seconds) {
  Ended e;
  int status = 0;
  auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
  for (;;) {
    pid_t done = waitpid(pid, &status, WNOHANG);
    if (done == pid) break;
    if (std::chrono::steady_clock::now() > deadline) {
      kill(pid, SIGKILL);
      waitpid(pid, &status, 0);
      break;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  if (WIFEXITED(status)) {
    e.exited = true;
    e.code = WEXITSTATUS(status);
  } else if (WIFSIGNALED(status)) {
    e.signal = WTERMSIG(status);
  }
  auto out = readbytes(dir / "out");
  auto err = readbytes(dir / "err");
  e.err = withoutplaces(std::string(err.begin(), err.end()), &e.places);
  e.out = withoutplaces(std::string(out.begin(), out.end()), &e.places);
  return e;
}

inline void redirect(const TestDir& dir) {
  int in = open("/dev/null", O_RDONLY);
  int out = open((dir / "out").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  int err = open((dir / "err").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  dup2(in, 0);
  dup2(out, 1);
  dup2(err, 2);
}
}  // namespace processdetail

// In a child: writes past the given file size fail as on a full disc.
inline void limitfilesize(rlim_t bytes) {
  signal(SIGXFSZ, SIG_IGN);
  struct rlimit limit = {bytes, bytes};
  setrlimit(RLIMIT_FSIZE, &limit);
}

// Calls f in a forked child whose standard output is fully buffered into a file.
template <class F>
Ended runchild(F f, int seconds = 30) {
  TestDir dir;
  fflush(stdout);
  fflush(stderr);
  pid_t pid = fork();
  if (pid == 0) {
    processdetail::redirect(dir);
    setvbuf(stdout, nullptr, _IOFBF, 1 << 16);
    f();
    fflush(stdout);
    _exit(99);
  }
  return processdetail::collect(pid, dir, seconds);
}

// Runs the built program with the given arguments and environment (added to
// a copy of this process's environment; an empty value removes a variable).
inline Ended runprogram(const std::vector<std::string>& args, const std::map<std::string, std::string>& env,
                        const std::string& workdir, int seconds = 60) {
  TestDir dir;
  fflush(stdout);
  fflush(stderr);
  pid_t pid = fork();
  if (pid == 0) {
    processdetail::redirect(dir);
    for (const auto& [name, value] : env) {
      if (value.empty()) unsetenv(name.c_str());
      else setenv(name.c_str(), value.c_str(), 1);
    }
    if (chdir(workdir.c_str()) != 0) _exit(98);
    std::vector<char*> argv;
    std::string program = VEY3_BINARY;
    argv.push_back(program.data());
    std::vector<std::string> copies = args;
    for (auto& a : copies) argv.push_back(a.data());
    argv.push_back(nullptr);
    execv(program.c_str(), argv.data());
    _exit(97);
  }
  return processdetail::collect(pid, dir, seconds);
}

// A child that has ended and is not yet reaped (a zombie): its pid still
// answers kill(). The caller reaps it with waitpid.
inline pid_t zombiepid() {
  const pid_t pid = fork();
  if (pid == 0) _exit(0);
  const std::string stat = "/proc/" + std::to_string(pid) + "/stat";
  for (int i = 0; i < 500; i++) {
    const std::vector<unsigned char> b = readbytes(stat);
    if (std::string(b.begin(), b.end()).find(") Z") != std::string::npos) break;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return pid;
}
