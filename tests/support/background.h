// A program started beside the test (a second host of a game, say), which
// the test waits for or ends itself.
#pragma once
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

// Starts the program with the arguments, the environment entries added to
// this process's ("NAME=value") and its standard output into outfile, in
// the folder workdir when given. The pid.
inline pid_t startprogram(const char* program, const std::vector<std::string>& args,
                          const std::vector<std::string>& env, const std::string& outfile,
                          const std::string& workdir = "") {
  fflush(stdout);
  fflush(stderr);
  const pid_t pid = fork();
  if (pid == 0) {
    if (!freopen(outfile.c_str(), "w", stdout) || (!workdir.empty() && chdir(workdir.c_str()) != 0)) _exit(98);
    for (const std::string& e : env) putenv(strdup(e.c_str()));
    std::vector<char*> argv;
    argv.push_back(strdup(program));
    for (const std::string& a : args) argv.push_back(strdup(a.c_str()));
    argv.push_back(nullptr);
    execv(program, argv.data());
    _exit(97);
  }
  return pid;
}

// The exit status of the program (-signal when killed), waiting at most
// the given seconds before it is killed.
inline int waitprogram(pid_t pid, int seconds = 120) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
  int status = 0;
  while (waitpid(pid, &status, WNOHANG) != pid) {
    if (std::chrono::steady_clock::now() > deadline) {
      kill(pid, SIGKILL);
      waitpid(pid, &status, 0);
      break;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return WIFEXITED(status) ? WEXITSTATUS(status) : -WTERMSIG(status);
}

// True once the file exists, false after the given seconds.
inline bool waitforfile(const std::string& path, int seconds = 60) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
  while (access(path.c_str(), F_OK) != 0) {
    if (std::chrono::steady_clock::now() > deadline) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return true;
}
