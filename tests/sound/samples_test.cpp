// Sample files: the a-law codec, the RIFF and raw readers on good and damaged
// bytes, the loader's silence for bad files, and the samples the build made.
#include <cstring>

#include "sound/soundfolder.h"
#include "world/recruit.h"

namespace {
using Bytes = std::vector<uint8_t>;

void put16(Bytes& b, size_t at, uint32_t v) {
  b[at] = uint8_t(v);
  b[at + 1] = uint8_t(v >> 8);
}
void put32(Bytes& b, size_t at, uint32_t v) {
  put16(b, at, v & 0xFFFF);
  put16(b, at + 2, v >> 16);
}

// A WAVE file of 16-bit mono samples; the fmt chunk body starts at 20, the
// data chunk header at 36.
Bytes wave(std::vector<int16_t> samples, int32_t rate = MIXRATE, int32_t format = WAVE_PCM) {
  return encodewav(samples, rate, format);
}

const char* problemof(const Bytes& b, bool riff = true) {
  std::vector<int16_t> out = {1, 2, 3};
  const char* problem = nullptr;
  EXPECT_FALSE(decodesample(b, riff, out, &problem));
  EXPECT_TRUE(out.empty());
  return problem ? problem : "";
}

std::vector<int16_t> decoded(const Bytes& b, bool riff = true) {
  std::vector<int16_t> out;
  const char* problem = nullptr;
  EXPECT_TRUE(decodesample(b, riff, out, &problem)) << problem;
  return out;
}
}  // namespace

TEST(Alaw, EveryCodeSurvivesARoundTripAndValuesStayClose) {
  for (int c = 0; c < 256; c++) EXPECT_EQ(alawencode(alawdecode(uint8_t(c))), c) << c;
  for (int32_t v = -32768; v <= 32767; v += 7) {
    const int32_t back = alawdecode(alawencode(int16_t(v)));
    // Steps grow with the magnitude: at most 1/32 of it, at least 8.
    EXPECT_LE(std::abs(back - v), std::max(16, std::abs(v) / 32 + 1)) << v;
    EXPECT_EQ(back >= 0, v >= 0) << v;
  }
}

TEST(SampleReaders, GoodFilesDecodeToMonoAtTheMixerRate) {
  EXPECT_EQ(decoded(wave({0, 100, -100, 32767, -32768})), (std::vector<int16_t>{0, 100, -100, 32767, -32768}));
  // a-law inside RIFF, and raw a-law bytes.
  EXPECT_EQ(decoded(wave({0, 1000, -1000}, MIXRATE, WAVE_ALAW)),
            (std::vector<int16_t>{alawdecode(alawencode(0)), alawdecode(alawencode(1000)), alawdecode(alawencode(-1000))}));
  EXPECT_EQ(decoded(Bytes{alawencode(500), alawencode(-500)}, false),
            (std::vector<int16_t>{alawdecode(alawencode(500)), alawdecode(alawencode(-500))}));
  // Half the rate gives twice the samples, the new ones halfway between.
  EXPECT_EQ(decoded(wave({0, 1000, 2000}, MIXRATE / 2)), (std::vector<int16_t>{0, 500, 1000, 1500, 2000, 2000}));
  // 8-bit stereo mixed down: (255 - 128) << 8 and (1 - 128) << 8 average to 0;
  // 128 and 192 to half of 64 << 8.
  Bytes stereo8 = wave({0, 0});
  put16(stereo8, 22, 2);    // channels
  put16(stereo8, 32, 2);    // block size
  put16(stereo8, 34, 8);    // bits
  put32(stereo8, 40, 4);
  stereo8.resize(44);
  stereo8.insert(stereo8.end(), {255, 1, 128, 192});
  EXPECT_EQ(decoded(stereo8), (std::vector<int16_t>{0, 64 * 256 / 2}));
  // Chunks before fmt are skipped, an odd one with its pad byte.
  Bytes withlist = wave({42});
  withlist.insert(withlist.begin() + 12, {'L', 'I', 'S', 'T', 3, 0, 0, 0, 'a', 'b', 'c', 0});
  EXPECT_EQ(decoded(withlist), (std::vector<int16_t>{42}));
}

TEST(SampleReaders, DamagedFilesAreRefusedWithTheirProblem) {
  const Bytes good = wave({1, 2, 3, 4});
  EXPECT_STREQ(problemof(Bytes(good.begin(), good.begin() + 11)), "not a RIFF WAVE file");
  Bytes b = good;
  b[8] = 'X';
  EXPECT_STREQ(problemof(b), "not a RIFF WAVE file");
  // Cut inside the data: the data chunk runs past the end.
  EXPECT_STREQ(problemof(Bytes(good.begin(), good.end() - 1)), "a chunk runs past the end of the file");
  // One field of the header changed at a time: (offset, bytes, value, problem).
  struct Damage {
    size_t at;
    int bytes;
    uint32_t value;
    const char* problem;
  };
  for (const Damage& d : {Damage{16, 4, 0xFFFFFFF0u, "a chunk runs past the end of the file"},   // fmt size
                          Damage{16, 4, 14, "format chunk too short"},
                          Damage{20, 2, 3, "not PCM or a-law"},   // floating point
                          Damage{22, 2, 0, "not mono or stereo"}, Damage{22, 2, 6, "not mono or stereo"},
                          Damage{24, 4, 200000, "rate outside 4000..96000"},
                          Damage{34, 2, 24, "unusable bits per sample"},
                          // A block size of 0 would divide by zero.
                          Damage{32, 2, 0, "block size does not fit the format"},
                          Damage{40, 4, 1, "no whole sample at the mixer's rate"}}) {
    b = good;
    if (d.bytes == 2) put16(b, d.at, d.value);
    else put32(b, d.at, d.value);
    EXPECT_STREQ(problemof(b), d.problem) << "offset " << d.at;
  }
  b = good;
  memcpy(b.data() + 12, "junk", 4);   // the fmt chunk is not one any more
  EXPECT_STREQ(problemof(b), "data before the format chunk");
  EXPECT_STREQ(problemof(Bytes(good.begin(), good.begin() + 36)), "no data chunk");
  b = Bytes(good.begin(), good.begin() + 12);
  EXPECT_STREQ(problemof(b), "no format chunk");
  EXPECT_STREQ(problemof(Bytes{}, false), "empty file");
  EXPECT_STREQ(problemof(Bytes(size_t(MAXSAMPLEFRAMES) + 1, 0x55), false), "longer than a sample may be");
  // A file within the size limit whose samples would grow past the longest
  // sample at the mixer's rate.
  b = wave(std::vector<int16_t>(size_t(MAXSAMPLEFRAMES) / 4, 0), 4000);
  EXPECT_STREQ(problemof(b), "longer than a sample may be");
  EXPECT_STREQ(problemof(Bytes(size_t(MAXSAMPLEFILE) + 1, 0)), "file too large");
}

TEST(SampleLoader, BadFilesPlayAsSilenceAndTheLogNamesThemOnce) {
  TestDir dir;
  writetestsamples(dir);
  writebytes(dir / samplefile(SND_SWORD), {'R', 'I', 'F', 'F'});
  std::filesystem::remove(dir / samplefile(SND_BOW));
  writebytes(dir / samplefile(71), {});
  init_sound("vey3 test", SOUND_NULLDEVICE, dir.path.c_str());
  const int32_t saved = debuglevel;
  debuglevel = 1;
  testing::internal::CaptureStdout();
  EXPECT_EQ(play_sample(SND_SWORD, 255), -1);
  EXPECT_EQ(play_sample(SND_SWORD, 255), -1);   // remembered: one log line
  EXPECT_EQ(play_sample(SND_BOW, 255), -1);
  EXPECT_EQ(play_sample(71, 255), -1);
  EXPECT_EQ(play_sample(30, 255), -1);          // a number without a file
  EXPECT_EQ(play_sample(SOUNDSAMPLES, 255), -1);
  EXPECT_EQ(play_sample(-1, 255), -1);          // none, quietly
  EXPECT_EQ(play_sample(SND_BLUNT, 255), 0);    // the good ones still play
  const std::string log = testing::internal::GetCapturedStdout();
  debuglevel = saved;
  deinit_sound();
  const std::string sword = dir / "rawsound/sword.wav: not a RIFF WAVE file, played as silence";
  EXPECT_NE(log.find(sword), std::string::npos) << log;
  EXPECT_EQ(log.find(sword), log.rfind(sword)) << log;
  EXPECT_NE(log.find(dir / "rawsound/bow.wav: missing"), std::string::npos) << log;
  EXPECT_NE(log.find(dir / "rawsound/menu.raw: empty file"), std::string::npos) << log;
  EXPECT_NE(log.find("no sound sample 30"), std::string::npos) << log;
  EXPECT_NE(log.find("no sound sample 89"), std::string::npos) << log;
}

TEST(BuiltSamples, EveryFileOfTheTableIsThereAudibleAndSmall) {
  strlcopy(sounddatafolder, VEY3_DATA_DIR, PATHLEN);
  int64_t total = 0;
  int32_t files = 0;
  for (int32_t n = 0; n < SOUNDSAMPLES; n++) {
    const char* file = samplefile(n);
    if (!file) continue;
    files++;
    const std::vector<int16_t>* s = loadsample(n);
    ASSERT_NE(s, nullptr) << file;
    total += int64_t(filesize("%s/%s", VEY3_DATA_DIR, file));
    int32_t peak = 0;
    for (int16_t v : *s) peak = std::max(peak, std::abs(int32_t(v)));
    EXPECT_GT(peak, 8000) << file;
    EXPECT_LT(peak, 32000) << file;   // made with headroom: nothing clipped
    const float seconds = float(s->size()) / MIXRATE;
    if (hasextension(file, ".raw")) {
      EXPECT_GT(seconds, 10) << file;
      EXPECT_LT(seconds, 30) << file;
      // It ends in silence, so a piece that stops does not click.
      EXPECT_LT(std::abs(int32_t(s->back())), 64) << file;
    } else {
      EXPECT_LT(seconds, 2.5f) << file;
    }
  }
  EXPECT_EQ(samplefile(SND_TOGGLE), std::string("rawsound/toggle.wav"));
  EXPECT_LT(float(loadsample(SND_TOGGLE)->size()) / MIXRATE, 0.1f);   // a click is a click
  for (int32_t era = 0; era <= 3; era++) {
    const SongRange songs = erasongs(era);
    for (int32_t s = songs.first; s < songs.first + songs.count; s++) EXPECT_NE(samplefile(s), nullptr) << s;
  }
  EXPECT_EQ(files, 40);
  EXPECT_LT(total, 8 << 20);
  freesamples();
}
