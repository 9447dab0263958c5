// The OSS back end on our stand-in card: how it sets the device up, that its
// thread writes the mix (every byte of it, at the master volume), and that it
// stops cleanly or does not start at all on a card that cannot play the mix.
#include <fcntl.h>
#include <linux/soundcard.h>

#include <chrono>
#include <functional>
#include <thread>

#include "sound/ossstandin.h"
#include "sound/soundfolder.h"

namespace {
// Waits up to ten seconds (the back end's thread runs at the card's pace) for
// a condition on what the card heard.
bool waitfor(const std::function<bool()>& condition) {
  for (int tries = 0; tries < 1000; tries++) {
    if (condition()) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return condition();
}

// The frames written whose left or right value is not silence, as
// [first, last + 1); empty when there are none.
std::pair<size_t, size_t> soundingframes(const std::vector<int16_t>& v) {
  size_t first = v.size() / 2, last = 0;
  for (size_t f = 0; f < v.size() / 2; f++)
    if (v[2 * f] != 0 || v[2 * f + 1] != 0) {
      first = std::min(first, f);
      last = f + 1;
    }
  return {first, std::max(first, last)};
}

bool lastframesare(const std::vector<int16_t>& v, int16_t left, int16_t right) {
  if (v.size() < 128) return false;
  for (size_t k = v.size() - 128; k < v.size(); k += 2)
    if (v[k] != left || v[k + 1] != right) return false;
  return true;
}

struct OssBackEnd : ::testing::Test {
  TestDir dir;
  void SetUp() override { writetestsamples(dir); }
  void TearDown() override { deinit_sound(); }
  void start() { init_sound("vey3 test", 3, dir.path.c_str()); }
};
}  // namespace

TEST_F(OssBackEnd, SetsTheCardUpWritesEveryMixedFrameAtTheMasterVolumeAndLetsGo) {
  // A card whose writes are cut short now and then, one of them before it takes anything.
  StandInDsp card({.maxwrite = 1002, .interrupts = 1});
  start();
  ASSERT_STREQ(sound_backend_name(), "OSS");
  StandInHeard heard = card.heard();
  EXPECT_EQ(heard.opens, 1);
  EXPECT_EQ(heard.openflags, O_WRONLY);
  // Stereo, 16-bit, fragments of one written chunk, the mixer's rate: asked in that order.
  ASSERT_GE(heard.asks.size(), 4u);
  EXPECT_EQ(heard.asks[0].request, SNDCTL_DSP_STEREO);
  EXPECT_EQ(heard.asks[0].asked, 1);
  EXPECT_EQ(heard.asks[1].request, SNDCTL_DSP_SETFMT);
  EXPECT_EQ(heard.asks[1].asked, AFMT_S16_LE);
  EXPECT_EQ(heard.asks[2].request, SNDCTL_DSP_SETFRAGMENT);
  EXPECT_EQ(1 << (heard.asks[2].asked & 0xffff), OSSCHUNKFRAMES * 4);
  EXPECT_GE(heard.asks[2].asked >> 16, 2);   // at least two queued, or the card starves
  EXPECT_EQ(heard.asks[3].request, SNDCTL_DSP_SPEED);
  EXPECT_EQ(heard.asks[3].asked, MIXRATE);

  // A sample played once, all to the left: exactly its frames come out, in one
  // run between silences, however the writes were cut.
  set_master_volume(100);
  ASSERT_GE(play_sample(SND_SWORD, MAXVOLUME, -100), 0);
  std::pair<size_t, size_t> run;
  ASSERT_TRUE(waitfor([&] {
    const std::vector<int16_t> v = card.values();
    run = soundingframes(v);
    return run.second > run.first && v.size() / 2 > run.second + OSSCHUNKFRAMES;
  }));
  const std::vector<int16_t> once = card.values();
  EXPECT_EQ(run.second - run.first, size_t(TESTFRAMES));
  for (size_t f = run.first; f < run.second; f++) {
    ASSERT_EQ(once[2 * f], testvalue(SND_SWORD)) << f;
    ASSERT_EQ(once[2 * f + 1], 0) << f;
  }

  // The master volume scales what the card gets, while it plays.
  ASSERT_GE(play_sample(SND_HORN, MAXVOLUME, 0, 1), 0);
  const int16_t horn = testvalue(SND_HORN);
  EXPECT_TRUE(waitfor([&] { return lastframesare(card.values(), horn, horn); }));
  set_master_volume(50);
  EXPECT_TRUE(waitfor([&] { return lastframesare(card.values(), horn / 2, horn / 2); }));

  // Stopped: the thread is done writing before the card is closed, and nothing follows.
  deinit_sound();
  EXPECT_STREQ(sound_backend_name(), "none");
  heard = card.heard();
  EXPECT_EQ(heard.closes, 1);
  EXPECT_EQ(heard.writing, 0);
  EXPECT_EQ(heard.misuses, 0);
  EXPECT_EQ(heard.bytes.size() % 4, 0u);   // whole frames only
  std::this_thread::sleep_for(std::chrono::milliseconds(60));
  EXPECT_EQ(card.heard().bytes.size(), heard.bytes.size());
  // Started again, the same card opens again.
  start();
  EXPECT_STREQ(sound_backend_name(), "OSS");
  deinit_sound();
  EXPECT_EQ(card.heard().opens, 2);
  EXPECT_EQ(card.heard().closes, 2);
}

TEST_F(OssBackEnd, ACardThatCannotPlayTheMixIsClosedAgainAndTheGameRunsSilent) {
  const StandInCard cannot[] = {{.busy = true}, {.stereo = false}, {.sixteenbit = false}, {.rate = 44100},
                                {.rate = 11025}};
  for (const StandInCard& c : cannot) {
    StandInDsp card(c);
    start();
    EXPECT_STREQ(sound_backend_name(), "none");
    EXPECT_EQ(play_sample(SND_SWORD, MAXVOLUME), -1);
    const StandInHeard heard = card.heard();
    EXPECT_EQ(heard.opens, heard.closes);
    EXPECT_TRUE(heard.bytes.empty());
    EXPECT_EQ(heard.misuses, 0);
    deinit_sound();
  }
  // A card that keeps its own fragment size, or plays a rate a little off, still plays.
  for (const StandInCard& c : {StandInCard{.fragments = false}, StandInCard{.rate = 22058}}) {
    StandInDsp card(c);
    start();
    EXPECT_STREQ(sound_backend_name(), "OSS");
    EXPECT_TRUE(waitfor([&] { return !card.heard().bytes.empty(); }));
    deinit_sound();
    EXPECT_EQ(card.heard().closes, 1);
  }
}
