#include <gtest/gtest.h>

#include <dlfcn.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <thread>

#include "sound/mixer.h"
#include "sound/samples.h"
#include "sound/sound.h"
#include "sound/soundfolder.h"

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

#ifdef VEY3_ARTS_LAYER
TEST(SoundStart, TheArtsBackEndPlaysTheMixThroughOurArtsLibraryAndLetsGoOfIt) {
  // Loaded first, our library is the one the back end finds by its name.
  void* layer = dlopen(VEY3_ARTS_LAYER, RTLD_NOW | RTLD_LOCAL);
  ASSERT_TRUE(layer) << dlerror();
  using heard_t = int (*)(int16_t*, int);
  using state_t = void (*)(int*, int*, int*);
  auto heard = reinterpret_cast<heard_t>(dlsym(layer, "artslayer_heard"));
  auto state = reinterpret_cast<state_t>(dlsym(layer, "artslayer_state"));
  ASSERT_TRUE(heard && state);
  TestDir dir;
  writetestsamples(dir);
  init_sound("vey3 test", 2, dir.path.c_str());
  ASSERT_STREQ(sound_backend_name(), "aRts");
  set_master_volume(100);
  ASSERT_GE(play_sample(SND_HORN, MAXVOLUME, 0, 1), 0);
  // The back end's thread mixes and writes stereo frames at the device's pace:
  // within a few seconds the last ones written are the horn's value on both sides.
  std::vector<int16_t> last(64);
  bool playing = false;
  for (int tries = 0; tries < 300 && !playing; tries++) {
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
    playing = heard(last.data(), int(last.size())) == int(last.size()) &&
              std::all_of(last.begin(), last.end(), [](int16_t v) { return v == testvalue(SND_HORN); });
  }
  EXPECT_TRUE(playing);
  deinit_sound();
  int opened = 0, closed = 0, holdsinit = 1;
  state(&opened, &closed, &holdsinit);
  EXPECT_EQ(opened, 1);
  EXPECT_EQ(closed, 1);
  EXPECT_EQ(holdsinit, 0);
  EXPECT_STREQ(sound_backend_name(), "none");
  dlclose(layer);
}
#endif
