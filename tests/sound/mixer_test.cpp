#include <gtest/gtest.h>

#include <array>
#include <vector>

#include "sound/sound.h"

namespace {
struct MixerTest : ::testing::Test {
  void SetUp() override {
    stopallchannels();
    set_master_volume(100);
  }
  void TearDown() override { stopallchannels(); }
};

std::vector<int16_t> mix(int32_t frames) {
  std::vector<int16_t> out(size_t(frames) * 2, 1234);
  mixaudio(out.data(), frames);
  return out;
}
}  // namespace

TEST(MasterVolume, PercentMapsToLevelsOneToThirtyTwo) {
  EXPECT_EQ(mastervolumefor(100), 32);
  EXPECT_EQ(mastervolumefor(50), 16);
  EXPECT_EQ(mastervolumefor(97), 31);    // 31.04 rounds down
  EXPECT_EQ(mastervolumefor(4), 1);
  EXPECT_EQ(mastervolumefor(3), 1);      // 0.96 would be silence: clamped to 1
  EXPECT_EQ(mastervolumefor(0), 1);
  EXPECT_EQ(mastervolumefor(-50), 1);
  EXPECT_EQ(mastervolumefor(250), 32);
  EXPECT_EQ(mastervolumefor(2000000000), 32);   // no overflow on the way
  set_master_volume(50);
  EXPECT_EQ(master_volume_level(), 16);
}

TEST(MixRules, GainsFollowVolumeAndPan) {
  int32_t l, r;
  channelgains(80, 0, l, r);
  EXPECT_EQ(l, 80);
  EXPECT_EQ(r, 80);
  channelgains(80, 100, l, r);
  EXPECT_EQ(l, 0);
  EXPECT_EQ(r, 80);
  channelgains(100, -50, l, r);
  EXPECT_EQ(l, 100);
  EXPECT_EQ(r, 50);
  channelgains(150, -300, l, r);   // both clamped
  EXPECT_EQ(l, 100);
  EXPECT_EQ(r, 0);
  channelgains(-5, 0, l, r);
  EXPECT_EQ(l, 0);
}

TEST(MixRules, OutputScalesByMasterAndClipsToSixteenBits) {
  EXPECT_EQ(mixedvalue(1000, 32), 1000);
  EXPECT_EQ(mixedvalue(1000, 16), 500);
  EXPECT_EQ(mixedvalue(-1000, 1), -31);
  EXPECT_EQ(mixedvalue(40000, 32), 32767);
  EXPECT_EQ(mixedvalue(-40000, 32), -32768);
  EXPECT_EQ(mixedvalue(60000, 16), 30000);   // clipping comes after the master level
}

TEST_F(MixerTest, SilenceWithoutChannels) {
  for (int16_t v : mix(8)) EXPECT_EQ(v, 0);
}

TEST_F(MixerTest, ChannelsAddUpPanAndClip) {
  static const std::array<int16_t, 4> a = {1000, -2000, 30000, 30000};
  static const std::array<int16_t, 4> b = {500, 500, 10000, -30000};
  ASSERT_GE(playsamples(a.data(), 4, 100, 0, 0), 0);
  ASSERT_GE(playsamples(b.data(), 4, 50, 100, 0), 0);   // half volume, right only
  std::vector<int16_t> out = mix(4);
  EXPECT_EQ(out[0], 1000);
  EXPECT_EQ(out[1], 1250);
  EXPECT_EQ(out[2], -2000);
  EXPECT_EQ(out[3], -1750);
  EXPECT_EQ(out[4], 30000);
  EXPECT_EQ(out[5], 32767);    // 35000 clipped
  EXPECT_EQ(out[7], 15000);
  set_master_volume(50);
  ASSERT_GE(playsamples(a.data(), 1, 100, 0, 0), 0);
  out = mix(1);
  EXPECT_EQ(out[0], 500);
}

TEST_F(MixerTest, ChannelsEndOrLoop) {
  static const std::array<int16_t, 3> s = {10, 20, 30};
  int32_t once = playsamples(s.data(), 3, 100, -100, 0);
  int32_t looping = playsamples(s.data(), 3, 100, 100, 1);
  ASSERT_GE(once, 0);
  ASSERT_GE(looping, 0);
  std::vector<int16_t> out = mix(5);
  EXPECT_EQ(out[4], 30);   // last sample of the single play, left
  EXPECT_EQ(out[8], 0);    // over after three frames
  EXPECT_EQ(out[7], 10);   // the loop starts again on the right
  EXPECT_EQ(out[9], 20);
  EXPECT_EQ(channelplaying(once), 0);
  EXPECT_EQ(channelplaying(looping), 1);
  setchannelvolume(looping, 0, 0);
  out = mix(1);
  EXPECT_EQ(out[1], 0);
  stopchannel(looping);
  EXPECT_EQ(channelplaying(looping), 0);
}

TEST_F(MixerTest, TableFillsUpAndFreedSlotsAreReused) {
  static const std::array<int16_t, 2> s = {1, 2};
  EXPECT_EQ(playsamples(nullptr, 2, 100, 0, 0), -1);
  EXPECT_EQ(playsamples(s.data(), 0, 100, 0, 0), -1);
  for (int32_t c = 0; c < MIXCHANNELS; c++) EXPECT_EQ(playsamples(s.data(), 2, 100, 0, 1), c);
  EXPECT_EQ(playsamples(s.data(), 2, 100, 0, 1), -1);
  stopchannel(5);
  EXPECT_EQ(playsamples(s.data(), 2, 100, 0, 0), 5);
}

TEST(MixerDeath, BadChannelNumbersStop) {
  EXPECT_DEATH(stopchannel(MIXCHANNELS), "stopchannel: bad channel");
  EXPECT_DEATH(stopchannel(-1), "stopchannel: bad channel");
  EXPECT_DEATH(setchannelvolume(99, 1, 0), "setchannelvolume: bad channel");
  EXPECT_DEATH(channelplaying(-3), "channelplaying: bad channel");
}
