#include "runtime/workers.h"

#include <sched.h>

#include <algorithm>

namespace {
// Waits until a changes from old. Tasks handed to the pool often take well
// under a millisecond, and waking a sleeping thread costs about as much, so
// the wait spins a while before it sleeps.
template <class T>
void awaitchange(const std::atomic<T>& a, T old) {
  for (int32_t spin = 0; spin < 4000; spin++) {
    if (a.load(std::memory_order_acquire) != old) return;
#if defined(__x86_64__) || defined(__i386__)
    __builtin_ia32_pause();
#endif
  }
  while (a.load() == old) a.wait(old);
}
}  // namespace

int32_t usablecores() {
  cpu_set_t set;
  CPU_ZERO(&set);
  if (sched_getaffinity(0, sizeof set, &set) == 0) return std::max(1, CPU_COUNT(&set));
  return int32_t(std::max(1u, std::thread::hardware_concurrency()));
}

Workers::Workers(int32_t threads) {
  if (threads <= 0) threads = std::min(8, usablecores());
  for (int32_t t = 1; t < threads; t++) helpers_.emplace_back([this] { serve(); });
}

Workers::~Workers() {
  quit_.store(true);
  round_.fetch_add(1);
  round_.notify_all();
  for (std::thread& t : helpers_) t.join();
}

void Workers::run(int32_t count, const std::function<void(int32_t)>& task) {
  if (count <= 0) return;
  if (helpers_.empty() || count == 1) {
    for (int32_t i = 0; i < count; i++) task(i);
    return;
  }
  task_ = &task;
  count_ = count;
  next_.store(0);
  busy_.store(int32_t(helpers_.size()));
  round_.fetch_add(1);
  round_.notify_all();
  take();
  for (int32_t b = busy_.load(); b != 0; b = busy_.load()) awaitchange(busy_, b);
  task_ = nullptr;
}

void Workers::take() {
  for (int32_t i = next_.fetch_add(1); i < count_; i = next_.fetch_add(1)) (*task_)(i);
}

void Workers::serve() {
  // Counted from the pool's start, not from when this thread first runs:
  // a round handed out before then is still this thread's to finish.
  uint32_t seen = 0;
  for (;;) {
    awaitchange(round_, seen);
    seen = round_.load();
    if (quit_.load()) return;
    take();
    if (busy_.fetch_sub(1) == 1) busy_.notify_one();
  }
}
