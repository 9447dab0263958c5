// A data folder of known samples for the null device: every file of the
// sample table holds a constant value (effects as 16-bit WAVE, music as raw
// a-law), so mixed output can be checked as numbers.
#pragma once
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "runtime/fatal.h"
#include "support/testdir.h"
#include "runtime/util.h"
#include "sound/mixer.h"
#include "sound/samples.h"
#include "sound/sound.h"

// The value every frame of a test sample holds: 1000 + 100 * number, except
// for the sample that must clip (SND_BLUNT).
inline int16_t testvalue(int32_t number) { return number == SND_BLUNT ? 30000 : int16_t(1000 + 100 * number); }
constexpr int32_t TESTFRAMES = 200;          // effects
constexpr int32_t TESTMUSICFRAMES = MIXRATE * 8;   // music pieces

inline void writetestsamples(const TestDir& dir) {
  std::filesystem::create_directories(dir / "rawsound");
  for (int32_t n = 0; n < SOUNDSAMPLES; n++) {
    const char* file = samplefile(n);
    if (!file) continue;
    std::vector<unsigned char> bytes;
    if (hasextension(file, ".raw")) {
      bytes.assign(TESTMUSICFRAMES, alawencode(testvalue(n)));
    } else {
      std::vector<int16_t> pcm(TESTFRAMES, testvalue(n));
      std::vector<uint8_t> wav = encodewav(pcm, MIXRATE, WAVE_PCM);
      bytes.assign(wav.begin(), wav.end());
    }
    writebytes(dir / file, bytes);
  }
}

// The null device over such a folder, master volume full, nothing playing.
struct NullDevice : ::testing::Test {
  TestDir dir;
  void SetUp() override {
    writetestsamples(dir);
    init_sound("vey3 test", SOUND_NULLDEVICE, dir.path.c_str());
    ASSERT_STREQ(sound_backend_name(), "null");
    set_master_volume(100);
  }
  void TearDown() override { deinit_sound(); }
  // Left and right of the given frame after mixing that many frames.
  static std::vector<int16_t> run(int32_t frames) {
    std::span<const int16_t> out = nullsoundrun(frames);
    return std::vector<int16_t>(out.begin(), out.end());
  }
};
