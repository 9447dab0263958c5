// The mixer: a table of channels guarded by one unnamed POSIX semaphore,
// shared by the game thread and the audio side.
#include "sound/mixer.h"

#include <semaphore.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cmath>

#include "runtime/fatal.h"
#include "sound/sound.h"

namespace {
std::array<mixchannel, MIXCHANNELS> channels = {};
int32_t masterlevel = 32;

sem_t& mixsem() {
  static sem_t sem;
  static bool made = [] { return sem_init(&sem, 0, 1) == 0; }();
  bailif(!made, "mixer: cannot make semaphore");
  return sem;
}

// Holds the channel table for one scope.
struct MixerLock {
  MixerLock() {
    while (sem_wait(&mixsem()) != 0 && errno == EINTR) {
    }
  }
  ~MixerLock() { sem_post(&mixsem()); }
  MixerLock(const MixerLock&) = delete;
  MixerLock& operator=(const MixerLock&) = delete;
};

int32_t clampi(int32_t v, int32_t low, int32_t high) { return v < low ? low : v > high ? high : v; }

mixchannel& channelat(int32_t channel, const char* badmessage) {
  bailif(channel < 0 || channel >= MIXCHANNELS, badmessage);
  return channels[size_t(channel)];
}

// Frames mixed at a time into the float sums.
constexpr int32_t MIXBLOCK = 256;

// Adds frames of one channel into the sums; ends the channel when its sample
// runs out (unless it loops) or a fade brings it to silence.
void mixchannelinto(mixchannel& ch, float* sums, int32_t frames) {
  const float left = float(100 - std::max(ch.pan, 0)) / (100.0f * MAXVOLUME);
  const float right = float(100 + std::min(ch.pan, 0)) / (100.0f * MAXVOLUME);
  int32_t i = 0;
  while (i < frames && ch.active) {
    const int32_t run = std::min(frames - i, ch.length - ch.position);
    const int16_t* s = ch.samples + ch.position;
    float* out = sums + 2 * i;
    if (ch.keep >= 1.0f) {
      const float gl = ch.volume * left, gr = ch.volume * right;
      for (int32_t k = 0; k < run; k++) {
        out[2 * k] += float(s[k]) * gl;
        out[2 * k + 1] += float(s[k]) * gr;
      }
      ch.position += run;
      i += run;
    } else {
      int32_t k = 0;
      for (; k < run; k++) {
        ch.volume = ch.target + (ch.volume - ch.target) * ch.keep;
        if (std::fabs(ch.volume - ch.target) < 0.5f) {
          ch.volume = ch.target;
          ch.keep = 1.0f;
          if (ch.target <= 0.0f) {
            ch.active = 0;
            break;
          }
        }
        out[2 * k] += float(s[k]) * ch.volume * left;
        out[2 * k + 1] += float(s[k]) * ch.volume * right;
        if (ch.keep >= 1.0f) {   // the fade is over: the plain loop takes the rest
          k++;
          break;
        }
      }
      ch.position += k;
      i += k;
      if (!ch.active) break;
    }
    if (ch.position >= ch.length) {
      ch.position = 0;
      if (!ch.loop) ch.active = 0;
    }
  }
}

int16_t mixedvalue(float sum, int32_t level) {
  const float v = sum * float(level) / 32.0f;
  if (v >= 32767.0f) return 32767;
  if (v <= -32768.0f) return -32768;
  return int16_t(v);
}
}  // namespace

int32_t mastervolumefor(int32_t percent) { return clampi(int32_t(int64_t(percent) * 32 / 100), 1, 32); }

void set_master_volume(int32_t percent) {
  MixerLock lock;
  masterlevel = mastervolumefor(percent);
}

int32_t master_volume_level() { return masterlevel; }

int32_t playsamples(const int16_t* samples, int32_t length, int32_t sample, int32_t volume, int32_t pan,
                    int32_t loop) {
  if (!samples || length <= 0) return -1;
  MixerLock lock;
  for (int32_t c = 0; c < MIXCHANNELS; c++) {
    mixchannel& ch = channels[size_t(c)];
    if (ch.active) continue;
    const float v = float(clampi(volume, 0, MAXVOLUME));
    ch = {samples, length, 0, sample, v, v, 1.0f, clampi(pan, -100, 100), loop ? 1 : 0, 1};
    return c;
  }
  return -1;
}

void stopchannel(int32_t channel) {
  mixchannel& ch = channelat(channel, "stopchannel: bad channel");
  MixerLock lock;
  ch.active = 0;
}

void setchannelvolume(int32_t channel, int32_t volume, int32_t pan) {
  mixchannel& ch = channelat(channel, "setchannelvolume: bad channel");
  MixerLock lock;
  ch.volume = ch.target = float(clampi(volume, 0, MAXVOLUME));
  ch.keep = 1.0f;
  ch.pan = clampi(pan, -100, 100);
}

int32_t channelplaying(int32_t channel) {
  mixchannel& ch = channelat(channel, "channelplaying: bad channel");
  MixerLock lock;
  return ch.active;
}

float channelvolume(int32_t channel) {
  mixchannel& ch = channelat(channel, "channelvolume: bad channel");
  MixerLock lock;
  return ch.volume;
}

void stopallchannels() {
  MixerLock lock;
  for (mixchannel& ch : channels) ch.active = 0;
}

namespace {
// Per frame the distance kept is the FADETICK-th root of what a tick keeps.
float fadekeep(float speed) { return speed >= 1.0f ? 0.0f : std::pow(1.0f - speed, 1.0f / float(FADETICK)); }

void startfade(mixchannel& ch, float goal, float keep) {
  ch.target = goal;
  ch.keep = keep;
  if (keep == 0.0f || ch.volume == goal) {
    ch.volume = goal;
    ch.keep = 1.0f;
    if (goal <= 0.0f) ch.active = 0;
  }
}

// Fades every channel that `which` picks.
template <typename Which>
void fadewhere(Which which, int32_t target, float speed) {
  if (!(speed > 0.0f)) return;
  const float goal = float(clampi(target, 0, MAXVOLUME)), keep = fadekeep(speed);
  MixerLock lock;
  for (mixchannel& ch : channels)
    if (which(ch)) startfade(ch, goal, keep);
}

bool playingin(const mixchannel& ch, int32_t first, int32_t last) {
  return ch.active && ch.sample >= first && ch.sample <= last && !(ch.keep < 1.0f && ch.target <= 0.0f);
}
}  // namespace

void fadechannels(int32_t sample, int32_t target, float speed) {
  fadewhere([sample](const mixchannel& ch) { return ch.active && (sample < 0 || ch.sample == sample); }, target, speed);
}

void fadechannel(int32_t channel, int32_t target, float speed) {
  const mixchannel& one = channelat(channel, "fadechannel: bad channel");
  fadewhere([&one](const mixchannel& ch) { return &ch == &one && ch.active; }, target, speed);
}

int32_t channelsplaying(int32_t first, int32_t last) {
  MixerLock lock;
  int32_t n = 0;
  for (const mixchannel& ch : channels)
    if (playingin(ch, first, last)) n++;
  return n;
}

void fadechannelsplaying(int32_t first, int32_t last, int32_t target, float speed) {
  fadewhere([first, last](const mixchannel& ch) { return playingin(ch, first, last); }, target, speed);
}

void mixaudio(int16_t* out, int32_t frames) {
  if (!out || frames <= 0) return;
  std::array<float, MIXBLOCK * 2> sums;
  MixerLock lock;
  for (int32_t done = 0; done < frames; done += MIXBLOCK) {
    const int32_t n = std::min(MIXBLOCK, frames - done);
    std::fill_n(sums.begin(), 2 * n, 0.0f);
    for (mixchannel& ch : channels)
      if (ch.active) mixchannelinto(ch, sums.data(), n);
    int16_t* o = out + 2 * done;
    for (int32_t k = 0; k < 2 * n; k++) o[k] = mixedvalue(sums[size_t(k)], masterlevel);
  }
}

int32_t ratestepneed(const RateStep& step, uint32_t frames) {
  if (step.rate == 0) return 0;
  return int32_t(std::min<uint64_t>((step.phase + uint64_t(frames) * MIXRATE) / step.rate, INT32_MAX));
}

void ratestep(RateStep& step, const int16_t* mixed, int32_t count, uint32_t frames, float* left, float* right) {
  if (step.rate == 0) return;
  int32_t taken = 0;
  for (uint32_t i = 0; i < frames; i++) {
    const float w = float(step.phase) / float(step.rate);
    left[i] = (step.older[0] + (step.newer[0] - step.older[0]) * w) / 32768.0f;
    right[i] = (step.older[1] + (step.newer[1] - step.older[1]) * w) / 32768.0f;
    step.phase += MIXRATE;
    while (step.phase >= step.rate) {
      step.phase -= step.rate;
      step.older[0] = step.newer[0];
      step.older[1] = step.newer[1];
      if (taken < count) {
        step.newer[0] = mixed[2 * taken];
        step.newer[1] = mixed[2 * taken + 1];
        taken++;
      }
    }
  }
}
