// A small pool of threads for work that splits into independent tasks.
// run() hands out the task numbers 0 .. count-1, each exactly once, and
// returns when all are done; the calling thread takes tasks too. Callers that
// need the same result on every machine make each task's outcome depend on
// its number only, never on which thread ran it or when.
//
// The pool never lets an extra thread slow a run: a task goes to whichever
// thread is free to take it, and the caller waits only for tasks already
// taken, never for a helper that has not yet been given a core. Helpers are
// started only when there are cores free to run them (the machine's other
// runnable threads are counted now and then), and a helper with nothing to
// do spins a moment, then sleeps until the next run.
#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <thread>
#include <vector>

// The cores this process may run on (its affinity mask, which container
// limits and taskset narrow), at least 1.
int32_t usablecores();

// The helpers (threads besides the caller) worth waking when `running` of
// our own threads are runnable now, of at most `most`: the cores of the
// machine less the other runnable threads, one of them being the caller's.
// `load` is the text of /proc/loadavg ("0.50 0.40 0.30 3/250 1234"); an
// unreadable text allows none.
int32_t freehelpers(const char* load, int32_t cores, int32_t running, int32_t most);
// Tests: every pool reads this text instead of /proc/loadavg, and the
// machine's cores are `cores`; "" restores the machine's own.
void setmachineload(const char* text, int32_t cores = 8);

class Workers {
 public:
  // threads counts the calling thread; 0 means one per core, at most 8.
  explicit Workers(int32_t threads = 0);
  ~Workers();
  Workers(const Workers&) = delete;
  Workers& operator=(const Workers&) = delete;

  void run(int32_t count, const std::function<void(int32_t)>& task);
  // The most threads a run may use, the caller's included.
  int32_t threads() const { return most_ + 1; }
  // Helpers started so far (for tests and benchmarks).
  int32_t started() const { return int32_t(helpers_.size()); }

 private:
  struct Helper {
    std::thread thread;
    std::atomic<uint32_t> posted{0};   // the latest round handed to this helper
    std::atomic<bool> asleep{false};
  };
  void take(uint32_t round);
  void serve(Helper& self, uint32_t seen);
  int32_t wanted();

  int32_t most_ = 0;       // helpers at most
  int32_t awake_ = 0;      // helpers that runs hand out work to now
  std::vector<std::unique_ptr<Helper>> helpers_;
  std::chrono::steady_clock::time_point lastlook_{};
  // The round in the high half, the next task number in the low half; a
  // task is taken by moving it on by one while the round is still current.
  std::atomic<uint64_t> ticket_{0};
  std::atomic<const std::function<void(int32_t)>*> task_{nullptr};
  std::atomic<int32_t> count_{0};
  std::atomic<int32_t> done_{0};
  uint32_t round_ = 0;
  std::atomic<bool> quit_{false};
};
