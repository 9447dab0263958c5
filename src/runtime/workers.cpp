#include "runtime/workers.h"

#include <sched.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <system_error>

namespace {
// How long a thread with nothing to do looks for more before it sleeps.
// Runs often follow each other within microseconds, and waking a sleeping
// thread costs about as much; a longer spin would take a core from others.
constexpr int32_t SPINS = 2000;
// How often the machine's load is looked at again.
constexpr std::chrono::milliseconds LOOKEVERY{10};
constexpr uint32_t CLOSED = 0xFFFFFFFFu;
char fixedload[128] = "";
int32_t fixedcores = 8;
// A wait for a helper's task this long is taken for a helper without a core.
constexpr std::chrono::milliseconds STALL{1};

inline void spinpause() {
#if defined(__x86_64__) || defined(__i386__)
  __builtin_ia32_pause();
#endif
}

// Waits until a differs from old: a short spin, then a sleep.
template <class T>
T awaitchange(const std::atomic<T>& a, T old) {
  for (int32_t spin = 0; spin < SPINS; spin++) {
    T now = a.load(std::memory_order_acquire);
    if (now != old) return now;
    spinpause();
  }
  for (T now = a.load(); ; now = a.load()) {
    if (now != old) return now;
    a.wait(old);
  }
}
}  // namespace

int32_t usablecores() {
  cpu_set_t set;
  CPU_ZERO(&set);
  if (sched_getaffinity(0, sizeof set, &set) == 0) return std::max(1, CPU_COUNT(&set));
  return int32_t(std::max(1u, std::thread::hardware_concurrency()));
}

int32_t freehelpers(const char* load, int32_t cores, int32_t running, int32_t most) {
  // The fourth field: threads runnable now / threads in all.
  const char* p = load;
  for (int32_t field = 0; field < 3 && p; field++) {
    p = strchr(p, ' ');
    if (p) p++;
  }
  if (!p) return 0;
  char* end = nullptr;
  const long runnable = strtol(p, &end, 10);
  if (end == p || *end != '/') return 0;
  const long others = std::max(0L, runnable - running);
  const long free = long(cores) - others;   // the caller's core among them
  return int32_t(std::clamp(free - 1, 0L, long(std::max(0, most))));
}

void setmachineload(const char* text, int32_t cores) {
  snprintf(fixedload, sizeof fixedload, "%s", text);
  fixedcores = cores;
}

Workers::Workers(int32_t threads) {
  if (threads <= 0) threads = std::min(8, usablecores());
  most_ = threads - 1;
}

Workers::~Workers() {
  quit_.store(true);
  for (auto& h : helpers_) {
    h->posted.fetch_add(1);
    h->posted.notify_one();
  }
  for (auto& h : helpers_) h->thread.join();
}

int32_t Workers::wanted() {
  const auto now = std::chrono::steady_clock::now();
  if (lastlook_ != std::chrono::steady_clock::time_point{} && now - lastlook_ < LOOKEVERY) return awake_;
  lastlook_ = now;
  char text[128] = "";
  int32_t cores = fixedcores;
  if (fixedload[0]) {
    memcpy(text, fixedload, sizeof text);
  } else {
    cores = int32_t(std::max(1L, sysconf(_SC_NPROCESSORS_ONLN)));
    if (FILE* f = fopen("/proc/loadavg", "r")) {
      if (!fgets(text, sizeof text, f)) text[0] = 0;
      fclose(f);
    }
  }
  int32_t running = 1;
  for (auto& h : helpers_)
    if (!h->asleep.load(std::memory_order_relaxed)) running++;
  return freehelpers(text, cores, running, most_);
}

void Workers::run(int32_t count, const std::function<void(int32_t)>& task) {
  if (count <= 0) return;
  if (count > 1 && most_ > 0) awake_ = wanted();
  while (int32_t(helpers_.size()) < awake_) {
    helpers_.push_back(std::make_unique<Helper>());
    Helper& h = *helpers_.back();
    // Counted from now, not from when the thread first runs: a round
    // handed out before then is still this helper's to look at.
    h.posted.store(round_);
    try {
      h.thread = std::thread([this, &h, start = round_] { serve(h, start); });
    } catch (const std::system_error&) {
      // No more threads to be had: the pool makes do with those it has.
      helpers_.pop_back();
      most_ = awake_ = int32_t(helpers_.size());
    }
  }
  if (count == 1 || awake_ == 0) {
    for (int32_t i = 0; i < count; i++) task(i);
    return;
  }
  task_.store(&task);
  count_.store(count);
  done_.store(0);
  const uint32_t round = ++round_;
  ticket_.store(uint64_t(round) << 32);
  // No more helpers than there are tasks besides the caller's first.
  const int32_t wake = std::min(awake_, count - 1);
  for (int32_t k = 0; k < wake; k++) {
    Helper& h = *helpers_[size_t(k)];
    h.posted.store(round);
    if (h.asleep.load()) h.posted.notify_one();
  }
  const auto start = std::chrono::steady_clock::now();
  take(round);
  // Only tasks that a helper has taken are left: wait for those alone.
  int32_t d = done_.load();
  if (d != count) {
    const auto mine = std::chrono::steady_clock::now();
    while (d != count) d = awaitchange(done_, d);
    // A helper that lost its core while it held a task kept the caller
    // waiting far longer than the caller's own share took: the machine is
    // busier than its load said, so the next runs go without helpers until
    // the load is looked at again.
    const auto waited = std::chrono::steady_clock::now() - mine;
    if (waited > STALL && waited > 2 * (mine - start)) {
      awake_ = 0;
      lastlook_ = mine;
    }
  }
  // Closed: a helper that comes late finds nothing of this round to take.
  ticket_.store(uint64_t(round) << 32 | CLOSED);
}

void Workers::take(uint32_t round) {
  for (;;) {
    uint64_t t = ticket_.load();
    if (uint32_t(t >> 32) != round) return;
    const uint32_t i = uint32_t(t);
    // Read before the ticket is moved on: a successful move proves that the
    // round was still open, so these still belong to it.
    const int32_t count = count_.load();
    const std::function<void(int32_t)>* task = task_.load();
    if (i >= uint32_t(count)) return;
    if (!ticket_.compare_exchange_weak(t, t + 1)) continue;
    (*task)(int32_t(i));
    if (done_.fetch_add(1) + 1 == count) done_.notify_one();
  }
}

void Workers::serve(Helper& self, uint32_t seen) {
  for (;;) {
    uint32_t now = seen;
    for (int32_t spin = 0; spin < SPINS && now == seen; spin++) {
      spinpause();
      now = self.posted.load(std::memory_order_acquire);
    }
    if (now == seen) {
      self.asleep.store(true);
      for (now = self.posted.load(); now == seen; now = self.posted.load()) self.posted.wait(seen);
      self.asleep.store(false);
    }
    seen = now;
    if (quit_.load()) return;
    take(now);
  }
}
