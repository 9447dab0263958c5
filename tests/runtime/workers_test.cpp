#include <gtest/gtest.h>

#include <atomic>
#include <numeric>
#include <vector>

#include "runtime/workers.h"

TEST(Workers, EveryTaskRunsOnceInEveryRoundWhateverTheThreadCount) {
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

TEST(Workers, ManyShortRoundsAddUp) {
  Workers workers(4);
  std::vector<int64_t> sums(16, 0);
  for (int32_t round = 0; round < 5000; round++)
    workers.run(16, [&](int32_t i) { sums[size_t(i)] += round + i; });
  int64_t total = std::accumulate(sums.begin(), sums.end(), int64_t(0));
  EXPECT_EQ(total, 16 * (int64_t(4999) * 5000 / 2) + int64_t(5000) * (15 * 16 / 2));
  EXPECT_GE(Workers().threads(), 1);
}
