#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <mutex>
#include <numeric>
#include <set>
#include <thread>
#include <vector>

#include "runtime/workers.h"

namespace {
// A machine with 8 cores and nothing else to run, or with 20 threads waiting.
constexpr const char* QUIET = "0.10 0.20 0.30 1/300 4242";
constexpr const char* BUSY = "20.10 19.00 18.50 21/300 4242";

class Pool : public ::testing::Test {
 protected:
  void SetUp() override { setmachineload(QUIET, 8); }
  void TearDown() override { setmachineload(""); }
};
}  // namespace

TEST_F(Pool, EveryTaskRunsOnceInEveryRoundWhateverTheThreadCount) {
  for (int32_t threads : {1, 2, 3, 8}) {
    // New pools run at once: a round handed out before a thread has started
    // must still be finished (it once waited for ever).
    for (int32_t pool = 0; pool < 20; pool++) {
      Workers workers(threads);
      EXPECT_EQ(workers.threads(), threads);
      for (int32_t count : {0, 1, 2, 7, 64, 1000}) {
        std::vector<std::atomic<int32_t>> runs(static_cast<size_t>(count));
        workers.run(count, [&](int32_t i) { runs[size_t(i)].fetch_add(1); });
        for (int32_t i = 0; i < count; i++) ASSERT_EQ(runs[size_t(i)].load(), 1) << threads << " " << count << " " << i;
      }
    }
  }
}

TEST_F(Pool, ManyShortRoundsAddUp) {
  Workers workers(4);
  std::vector<int64_t> sums(16, 0);
  for (int32_t round = 0; round < 5000; round++)
    workers.run(16, [&](int32_t i) { sums[size_t(i)] += round + i; });
  int64_t total = std::accumulate(sums.begin(), sums.end(), int64_t(0));
  EXPECT_EQ(total, 16 * (int64_t(4999) * 5000 / 2) + int64_t(5000) * (15 * 16 / 2));
  EXPECT_GE(Workers().threads(), 1);
}

TEST(Workers, HelpersAreOnlyForCoresThatNothingElseWantsNow) {
  // The fourth field of the load counts the threads runnable now, the
  // reader's own among them.
  EXPECT_EQ(freehelpers(QUIET, 8, 1, 7), 7);
  EXPECT_EQ(freehelpers(QUIET, 8, 1, 3), 3);                         // no more than asked for
  EXPECT_EQ(freehelpers("1.0 1.0 1.0 4/300 1", 8, 1, 7), 4);        // three others run
  EXPECT_EQ(freehelpers("1.0 1.0 1.0 4/300 1", 8, 4, 7), 7);        // all four are ours
  EXPECT_EQ(freehelpers(BUSY, 8, 1, 7), 0);
  EXPECT_EQ(freehelpers("9.0 9.0 9.0 8/300 1", 8, 1, 7), 0);        // the caller's core is the last
  EXPECT_EQ(freehelpers("1.0 1.0 1.0 2/300 1", 1, 1, 7), 0);
  for (const char* bad : {"", "0.1 0.2 0.3", "0.1 0.2 0.3 x/300 1", "0.1 0.2 0.3 4"})
    EXPECT_EQ(freehelpers(bad, 8, 1, 7), 0) << bad;
}

TEST_F(Pool, OnAQuietMachineTheHelpersTakeTasksAndOnABusyOneNoneStarts) {
  // Task 0 holds its thread until another thread has taken a task, so the
  // round ends only when a helper takes part.
  auto threadsused = [](Workers& workers) {
    std::mutex m;
    std::set<std::thread::id> ids;
    std::atomic<bool> other{false};
    const std::thread::id caller = std::this_thread::get_id();
    workers.run(32, [&](int32_t i) {
      if (std::this_thread::get_id() != caller) other = true;
      if (i == 0)
        for (auto until = std::chrono::steady_clock::now() + std::chrono::seconds(20);
             !other && std::chrono::steady_clock::now() < until;)
          std::this_thread::sleep_for(std::chrono::microseconds(100));
      std::lock_guard<std::mutex> lock(m);
      ids.insert(std::this_thread::get_id());
    });
    return ids.size();
  };
  {
    Workers workers(4);
    EXPECT_GE(threadsused(workers), 2u);
    EXPECT_GE(workers.started(), 1);
    EXPECT_LE(workers.started(), 3);
  }
  setmachineload(BUSY, 8);
  Workers workers(4);
  std::vector<int32_t> order;
  workers.run(50, [&](int32_t i) { order.push_back(i); });
  EXPECT_EQ(workers.started(), 0);
  std::vector<int32_t> all(50);
  std::iota(all.begin(), all.end(), 0);
  EXPECT_EQ(order, all);   // the caller alone, in order
}
