// SIGTERM and SIGINT caught where a stop at once would lose work.
#include "runtime/stopsignal.h"

#include <csignal>
#include <cstdio>

#include "runtime/fatal.h"

namespace {
constexpr int STOPSIGNALS[2] = {SIGTERM, SIGINT};
volatile sig_atomic_t signalled = 0;
StopAction action = nullptr;
struct sigaction before[2];

// Only what a handler may do: the flag, or the signal's own action for a
// second one.
void onstop(int sig) {
  if (signalled) {
    signal(sig, SIG_DFL);
    raise(sig);
    return;
  }
  signalled = sig;
}
}  // namespace

StopSignalScope::StopSignalScope(StopAction a) {
  action = a;
  struct sigaction caught {};
  caught.sa_handler = onstop;
  sigemptyset(&caught.sa_mask);
  for (size_t i = 0; i < 2; i++) sigaction(STOPSIGNALS[i], &caught, &before[i]);
}

StopSignalScope::~StopSignalScope() {
  action = nullptr;
  for (size_t i = 0; i < 2; i++) sigaction(STOPSIGNALS[i], &before[i], nullptr);
}

bool stopsignalled() { return signalled != 0; }

void stopifsignalled() {
  if (!signalled) return;
  printf("The program was asked to stop (signal %d)\n", int(signalled));
  fflush(stdout);
  if (const StopAction a = action) {
    action = nullptr;
    a();
  }
  fatalerror("");
}
