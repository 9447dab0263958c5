#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "runtime/options.h"
#include "runtime/progress.h"
#include "runtime/rnd.h"
#include "worldgen/heights.h"

TEST(RandomHeights, SameSeedSameFieldWithinTheExpectedRange) {
  const int w = 203, h = 97;
  std::vector<float> a(size_t(w * h)), b(size_t(w * h));
  seedrnd(77);
  createrandomheights(w, h, a.data(), 0, 0, nullptr, nullptr, 150, 0.3f, 0);
  seedrnd(77);
  createrandomheights(w, h, b.data(), 0, 0, nullptr, nullptr, 150, 0.3f, 0);
  EXPECT_EQ(a, b);
  auto [low, high] = std::minmax_element(a.begin(), a.end());
  EXPECT_FLOAT_EQ(*low, 0.0f);
  EXPECT_NEAR(*high, 450.0f, 0.01f);
  // Neighbouring heights differ little: the field is smooth, not noise.
  double step = 0;
  for (int i = 1; i < w; i++) step += std::abs(a[size_t(i)] - a[size_t(i - 1)]);
  EXPECT_LT(step / (w - 1), 25.0);
  seedrnd(78);
  createrandomheights(w, h, b.data(), 0, 0, nullptr, nullptr, 150, 0.3f, 0);
  EXPECT_NE(a, b);
}

TEST(RandomHeights, OutputsHillsEdgesAndTinyFields) {
  const int w = 64, h = 48;
  std::vector<float> f(size_t(w * h));
  float sea = -1, top = -1;
  seedrnd(5);
  createrandomheights(w, h, f.data(), 3, 0.25f, &sea, &top, 100, 1.0f, 1.0f);
  size_t below = size_t(std::count_if(f.begin(), f.end(), [&](float v) { return v < sea; }));
  EXPECT_NEAR(double(below) / double(f.size()), 0.25, 0.02);
  EXPECT_FLOAT_EQ(top, *std::max_element(f.begin(), f.end()));
  EXPECT_FLOAT_EQ(f[0], 0.0f);   // edges sunk fully
  float one = 9;
  createrandomheights(1, 1, &one, 0, 0, nullptr, nullptr, 150, 0, 0);
  EXPECT_FLOAT_EQ(one, 0.0f);
  EXPECT_DEATH(createrandomheights(4, 4, nullptr, 0, 0, nullptr, nullptr, 150, 0.3f, 0), "CRH: bad array");
}

TEST(ProgressBox, ConsoleLinesAndRepeatsWithinASecondAreSkipped) {
  textonly = 1;
  resetprogress();
  testing::internal::CaptureStdout();
  progressbox("Random Map Generation", 150, "Placing %s", "capitals");
  progressbox("Random Map Generation", 40, "Placing %s", "capitals");
  progressbox("Random Map Generation", -5, "Drawing borders");
  std::string out = testing::internal::GetCapturedStdout();
  EXPECT_EQ(out, "Random Map Generation, Placing capitals [100]\nRandom Map Generation, Drawing borders [0]\n");
  textonly = 0;
}
