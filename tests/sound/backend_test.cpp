#include <gtest/gtest.h>

#include <dlfcn.h>
#include <unistd.h>

#include "sound/mixer.h"
#include "sound/samples.h"
#include "sound/sound.h"

namespace {
bool artsinstalled() {
  void* l = dlopen("libartsc.so.0", RTLD_NOW | RTLD_LOCAL);
  if (l) dlclose(l);
  return l != nullptr;
}
}  // namespace

TEST(SoundStart, MissingBackEndsLeaveTheGameSilent) {
  deinit_sound();
  deinit_sound();   // safe with nothing running, twice
  EXPECT_STREQ(sound_backend_name(), "none");
  if (artsinstalled() || access("/dev/dsp", F_OK) == 0) GTEST_SKIP() << "aRts or OSS present on this machine";
  init_sound("vey3 test", 2, VEY3_DATA_DIR);
  EXPECT_STREQ(sound_backend_name(), "none");
  EXPECT_STREQ(sounddatafolder, VEY3_DATA_DIR);
  // Silent: nothing takes a channel, however good the sample.
  EXPECT_EQ(play_sample(SND_TOGGLE, 200), -1);
  init_sound("vey3 test", 3, VEY3_DATA_DIR);
  EXPECT_STREQ(sound_backend_name(), "none");
  init_sound("vey3 test", 42, VEY3_DATA_DIR);
  EXPECT_STREQ(sound_backend_name(), "none");
  EXPECT_TRUE(nullsoundrun(16).empty());
  deinit_sound();
  deinit_sound();
  EXPECT_STREQ(sound_backend_name(), "none");
}

TEST(SoundStart, AnyBackEndStopsCleanly) {
  // Whatever this machine offers (a sound server or nothing), starting and
  // stopping twice leaves nothing running and the mixer usable.
  for (int32_t device : {1, 4, SOUND_NULLDEVICE}) {
    init_sound("vey3 test", device, VEY3_DATA_DIR);
    play_sample(SND_HORN, 100);
    deinit_sound();
    deinit_sound();
    EXPECT_STREQ(sound_backend_name(), "none");
    for (int32_t c = 0; c < MIXCHANNELS; c++) EXPECT_EQ(channelplaying(c), 0);
  }
  static const int16_t s[2] = {7, 7};
  int32_t c = playsamples(s, 2, -1, 100, 0, 0);
  ASSERT_GE(c, 0);
  stopchannel(c);
}
