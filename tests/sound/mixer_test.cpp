// The mixer through the null device: sums, pan, clipping, master volume,
// ends, loops and fades as numbers.
#include "sound/soundfolder.h"

#include "gfx/gfx.h"
#include "world/recruit.h"

namespace {
int16_t left(const std::vector<int16_t>& out, int32_t frame) { return out[size_t(2 * frame)]; }
int16_t right(const std::vector<int16_t>& out, int32_t frame) { return out[size_t(2 * frame + 1)]; }
int16_t alaw(int16_t v) { return alawdecode(alawencode(v)); }
}  // namespace

TEST(MasterVolume, PercentMapsToLevelsOneToThirtyTwo) {
  EXPECT_EQ(mastervolumefor(100), 32);
  EXPECT_EQ(mastervolumefor(50), 16);
  EXPECT_EQ(mastervolumefor(97), 31);    // 31.04 rounds down
  EXPECT_EQ(mastervolumefor(4), 1);
  EXPECT_EQ(mastervolumefor(3), 1);      // 0.96 would be silence: clamped to 1
  EXPECT_EQ(mastervolumefor(0), 1);      // even 0 % keeps level 1
  EXPECT_EQ(mastervolumefor(-50), 1);
  EXPECT_EQ(mastervolumefor(250), 32);
  EXPECT_EQ(mastervolumefor(2000000000), 32);   // no overflow on the way
  set_master_volume(50);
  EXPECT_EQ(master_volume_level(), 16);
}

TEST_F(NullDevice, ChannelsAddUpWithVolumeAndPan) {
  EXPECT_TRUE(run(4) == std::vector<int16_t>(8, 0));   // silence without channels
  ASSERT_EQ(play_sample(SND_SWORD, 255), 0);            // 1000 both sides
  ASSERT_EQ(play_sample(SND_BOW, 128, 100), 1);         // 1200 at 128/255, right only
  ASSERT_EQ(play_sample(SND_SLING, 255, -40), 2);       // 1400, right at 60 %
  std::vector<int16_t> out = run(3);
  EXPECT_EQ(left(out, 0), 1000 + 1400);
  EXPECT_EQ(right(out, 2), 1000 + 602 + 840);   // 1200 * 128 / 255 = 602.4
  // Out-of-range volumes and pans are clamped, not wrapped.
  stopallchannels();
  ASSERT_GE(play_sample(SND_SWORD, 999, -500), 0);
  ASSERT_GE(play_sample(SND_BOW, -20, 0), 0);
  out = run(1);
  EXPECT_EQ(left(out, 0), 1000);
  EXPECT_EQ(right(out, 0), 0);
}

TEST_F(NullDevice, SumsClipToSixteenBitsAfterTheMasterLevel) {
  ASSERT_GE(play_sample(SND_BLUNT, 255), 0);   // 30000
  ASSERT_GE(play_sample(SND_BLUNT, 255), 0);
  EXPECT_EQ(left(run(1), 0), 32767);
  set_master_volume(50);                       // 60000 * 16 / 32 fits again
  EXPECT_EQ(left(run(1), 0), 30000);
  set_master_volume(0);                        // level 1: 60000 / 32
  EXPECT_EQ(left(run(1), 0), 1875);
  stopallchannels();
  set_master_volume(100);
  // The same sample with its sign turned: a negative sum clips at -32768.
  static std::vector<int16_t> low(10, -30000);
  ASSERT_GE(playsamples(low.data(), 10, -1, 255, 0, 0), 0);
  ASSERT_GE(playsamples(low.data(), 10, -1, 255, 0, 0), 0);
  EXPECT_EQ(right(run(1), 0), -32768);
}

TEST_F(NullDevice, SamplesEndOrLoopAndFreeTheirChannel) {
  const int32_t once = play_sample(SND_SWORD, 255, -100);
  const int32_t looping = play_sample(SND_TOGGLE, 255, 100, 1);
  ASSERT_GE(once, 0);
  ASSERT_GE(looping, 0);
  std::vector<int16_t> out = run(TESTFRAMES + 5);
  EXPECT_EQ(left(out, TESTFRAMES - 1), 1000);
  EXPECT_EQ(left(out, TESTFRAMES), 0);           // over
  EXPECT_EQ(right(out, TESTFRAMES + 4), 1500);   // the loop starts again
  EXPECT_EQ(channelplaying(once), 0);
  EXPECT_EQ(channelplaying(looping), 1);
  EXPECT_EQ(play_sample(SND_SWORD, 255), once);   // the freed slot is taken again
  stopchannel(looping);
  EXPECT_EQ(channelplaying(looping), 0);
}

TEST_F(NullDevice, EveryChannelBusyRefusesMore) {
  for (int32_t c = 0; c < MIXCHANNELS; c++) ASSERT_EQ(play_sample(SND_SWORD, 10, 0, 1), c);
  EXPECT_EQ(play_sample(SND_SWORD, 10), -1);
  stopchannel(7);
  EXPECT_EQ(play_sample(SND_BOW, 10), 7);
}

TEST_F(NullDevice, FadesMoveTowardTheTargetAndStopAtSilence) {
  const int32_t a = play_sample(SND_SWORD, 255, 0, 1);
  const int32_t b = play_sample(SND_TOGGLE, 255, 0, 1);
  fade_channels(SND_SWORD, 0, 0.1f);    // only the sword fades
  std::vector<int16_t> out = run(FADETICK);
  // One tick keeps 90 % of the distance: 1000 * 0.9 + 1500.
  EXPECT_NEAR(left(out, FADETICK - 1), 900 + 1500, 2);
  EXPECT_NEAR(channelvolume(a), 255 * 0.9, 0.5);
  EXPECT_EQ(channelvolume(b), 255);
  EXPECT_NEAR(left(run(FADETICK), FADETICK - 1), 810 + 1500, 2);
  run(MIXRATE * 3);   // long enough to come within half a step of 0
  EXPECT_EQ(channelplaying(a), 0);
  EXPECT_EQ(channelplaying(b), 1);
  EXPECT_EQ(left(run(1), 0), 1500);

  // Fading in from 0; speed 1 sets the target at once; 0 or less does nothing.
  stopallchannels();
  const int32_t c = play_sample(SND_SWORD, 0, 0, 1);
  EXPECT_EQ(left(run(1), 0), 0);
  fade_channels(-1, 200, 0.5f);
  run(FADETICK * 20);
  EXPECT_EQ(channelvolume(c), 200);
  fade_channels(-1, 64, 0.0f);
  EXPECT_EQ(channelvolume(c), 200);
  fade_channels(-1, 64, 1.0f);
  EXPECT_EQ(left(run(1), 0), 250);   // 1000 * 64 / 255 = 250.98
  fade_channels(-1, 0, 2.0f);
  EXPECT_EQ(channelplaying(c), 0);
}

TEST_F(NullDevice, EraMusicStartsFadedInOnceAndGivesWayToAnotherEra) {
  EXPECT_EQ(musicplaying(1), 0);
  const int32_t click = play_sample(SND_SWORD, 255, 0, 1);
  starteramusic(1, 200);
  EXPECT_EQ(musicplaying(1), 1);
  EXPECT_EQ(musicplaying(2), 0);
  // Everything that played fades out; the piece fades in from nothing.
  std::vector<int16_t> out = run(MIXRATE * 2);
  EXPECT_EQ(channelplaying(click), 0);
  const SongRange early = erasongs(1);
  int32_t song = -1;
  for (int32_t s = early.first; s < early.first + early.count; s++)
    if (channelsplaying(s, s)) song = s;
  ASSERT_GE(song, 0);
  EXPECT_NEAR(left(out, 0), 1000, 5);   // the click at full volume, the music next to nothing
  EXPECT_NEAR(left(out, MIXRATE * 2 - 1), alaw(testvalue(song)) * 200 / 255, 2);
  // Already playing: nothing changes.
  starteramusic(1, 200);
  EXPECT_EQ(channelsplaying(0, SOUNDSAMPLES), 1);

  starteramusic(2, 255);
  EXPECT_EQ(musicplaying(1), 0);   // on its way out
  EXPECT_EQ(musicplaying(2), 1);
  run(MIXRATE * 3);
  EXPECT_EQ(channelsplaying(early.first, early.first + early.count - 1), 0);
  // Music off: the old piece fades and nothing new starts.
  starteramusic(7, 0);
  EXPECT_EQ(musicplaying(7), 0);
  run(MIXRATE * 3);
  EXPECT_EQ(channelsplaying(0, SOUNDSAMPLES), 0);
  // The main menu piece stands for any era outside 1..3.
  starteramusic(0, 100);
  EXPECT_EQ(musicplaying(-5), 1);
  EXPECT_EQ(channelsplaying(71, 71), 1);
}

TEST_F(NullDevice, TheMusicFadesToItsVolumeWhileEffectsKeepTheirsAndOldMusicGoesOnFadingOut) {
  starteramusic(1, 200);
  run(MIXRATE);
  starteramusic(2, 200);   // the first era's piece on its way out, the second's coming in
  const int32_t effect = play_sample(SND_SWORD, 90, 0, 1);
  ASSERT_GE(effect, 0);
  fade_music(100);
  run(MIXRATE * 3);
  const SongRange early = erasongs(1), middle = erasongs(2);
  EXPECT_EQ(channelsplaying(early.first, early.first + early.count - 1), 0);
  EXPECT_EQ(channelsplaying(middle.first, middle.first + middle.count - 1), 1);
  EXPECT_EQ(channelvolume(effect), 90);
  // Everything but the effect at 90 and the music at 100 is silent by now.
  int32_t song = -1;
  for (int32_t s = middle.first; s < middle.first + middle.count; s++)
    if (channelsplaying(s, s)) song = s;
  EXPECT_NEAR(left(run(1), 0), testvalue(SND_SWORD) * 90 / 255 + alaw(testvalue(song)) * 100 / 255, 2);
  fade_music(0);
  run(MIXRATE * 3);
  EXPECT_EQ(channelsplaying(0, SOUNDSAMPLES), 1);
  EXPECT_EQ(channelplaying(effect), 1);
}

TEST_F(NullDevice, GuiSoundsPlayAsTheStartUpSetThem) {
  guisetsounds(-1, 6, 5);
  guisetsoundvols(80, 90, 100);
  EXPECT_EQ(playguisound(GUISOUND_NEWAREA), -1);
  ASSERT_EQ(playguisound(GUISOUND_SCROLL), 0);
  ASSERT_EQ(playguisound(GUISOUND_TOGGLE), 1);
  EXPECT_EQ(channelvolume(0), 90);
  EXPECT_EQ(channelsplaying(SND_SCROLL, SND_SCROLL), 1);
  EXPECT_EQ(channelsplaying(SND_TOGGLE, SND_TOGGLE), 1);
  // 1600 * 90 / 255 + 1500 * 100 / 255 = 564.7 + 588.2
  EXPECT_EQ(left(run(1), 0), 1152);
}

TEST(MixerDeath, BadChannelNumbersStop) {
  EXPECT_DEATH(stopchannel(MIXCHANNELS), "stopchannel: bad channel");
  EXPECT_DEATH(stopchannel(-1), "stopchannel: bad channel");
  EXPECT_DEATH(setchannelvolume(99, 1, 0), "setchannelvolume: bad channel");
  EXPECT_DEATH(channelplaying(-3), "channelplaying: bad channel");
  EXPECT_DEATH(fadechannel(MIXCHANNELS, 0, 1.0f), "fadechannel: bad channel");
}

TEST(RateStep, ServerFramesInterpolateBetweenMixedFrames) {
  // Twice the mixer's rate: a new mixed frame every second server frame,
  // reached one mixed frame late, with the halfway values between.
  RateStep step{uint32_t(MIXRATE * 2)};
  const int16_t mixed[] = {1000, -1000, 2000, -2000, 3000, -3000};
  EXPECT_EQ(ratestepneed(step, 6), 3);
  float left[6], right[6];
  ratestep(step, mixed, 3, 6, left, right);
  const float want[] = {0, 0, 0, 500, 1000, 1500};
  for (int i = 0; i < 6; i++) {
    EXPECT_FLOAT_EQ(left[i] * 32768.0f, want[i]) << i;
    EXPECT_FLOAT_EQ(right[i] * 32768.0f, -want[i]) << i;
  }
  // The next call goes on from there; with no fresh frames the last is held.
  EXPECT_EQ(ratestepneed(step, 4), 2);
  ratestep(step, mixed, 0, 4, left, right);
  EXPECT_FLOAT_EQ(left[0] * 32768.0f, 2000);
  EXPECT_FLOAT_EQ(left[1] * 32768.0f, 2500);
  EXPECT_FLOAT_EQ(left[3] * 32768.0f, 3000);

  // Half the mixer's rate: every server frame moves past two mixed frames.
  RateStep slow{uint32_t(MIXRATE / 2)};
  EXPECT_EQ(ratestepneed(slow, 3), 6);
  const int16_t ramp[] = {100, 0, 200, 0, 300, 0, 400, 0, 500, 0, 600, 0};
  ratestep(slow, ramp, 6, 3, left, right);
  EXPECT_FLOAT_EQ(left[0] * 32768.0f, 0);
  EXPECT_FLOAT_EQ(left[1] * 32768.0f, 100);
  EXPECT_FLOAT_EQ(left[2] * 32768.0f, 300);
  RateStep none{0};
  EXPECT_EQ(ratestepneed(none, 100), 0);
}
