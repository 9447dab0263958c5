#include <gtest/gtest.h>

#include <dlfcn.h>
#include <unistd.h>

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
  init_sound("vey3 test", 2, "/data");
  EXPECT_STREQ(sound_backend_name(), "none");
  EXPECT_STREQ(sounddatafolder, "/data");
  init_sound("vey3 test", 3, "/data");
  EXPECT_STREQ(sound_backend_name(), "none");
  init_sound("vey3 test", 42, "/data");
  EXPECT_STREQ(sound_backend_name(), "none");
  deinit_sound();
  deinit_sound();
  EXPECT_STREQ(sound_backend_name(), "none");
}

TEST(SoundStart, AnyBackEndStopsCleanly) {
  // Whatever this machine offers (a sound server or nothing), starting and
  // stopping twice leaves nothing running and the mixer usable.
  for (int32_t device : {1, 4}) {
    init_sound("vey3 test", device, "/data");
    deinit_sound();
    deinit_sound();
    EXPECT_STREQ(sound_backend_name(), "none");
  }
  static const int16_t s[2] = {7, 7};
  int32_t c = playsamples(s, 2, 100, 0, 0);
  ASSERT_GE(c, 0);
  stopchannel(c);
}
