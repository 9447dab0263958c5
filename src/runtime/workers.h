// A small pool of threads for work that splits into independent tasks.
// run() hands out the task numbers 0 .. count-1, each exactly once, and
// returns when all are done; the calling thread takes tasks too. Callers that
// need the same result on every machine make each task's outcome depend on
// its number only, never on which thread ran it or when.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <thread>
#include <vector>

// The cores this process may run on (its affinity mask, which container
// limits and taskset narrow), at least 1.
int32_t usablecores();

class Workers {
 public:
  // threads counts the calling thread; 0 means one per core, at most 8.
  explicit Workers(int32_t threads = 0);
  ~Workers();
  Workers(const Workers&) = delete;
  Workers& operator=(const Workers&) = delete;

  void run(int32_t count, const std::function<void(int32_t)>& task);
  int32_t threads() const { return int32_t(helpers_.size()) + 1; }

 private:
  void take();
  void serve();

  std::vector<std::thread> helpers_;
  const std::function<void(int32_t)>* task_ = nullptr;
  int32_t count_ = 0;
  std::atomic<uint32_t> round_{0};
  std::atomic<int32_t> next_{0}, busy_{0};
  std::atomic<bool> quit_{false};
};
