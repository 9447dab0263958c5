// The mixer: a table of channels guarded by one unnamed POSIX semaphore,
// shared by the game thread and the audio side.
#include <semaphore.h>

#include <array>
#include <cerrno>

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
}  // namespace

int32_t mastervolumefor(int32_t percent) { return clampi(int32_t(int64_t(percent) * 32 / 100), 1, 32); }

void set_master_volume(int32_t percent) {
  MixerLock lock;
  masterlevel = mastervolumefor(percent);
}

int32_t master_volume_level() { return masterlevel; }

void channelgains(int32_t volume, int32_t pan, int32_t& left, int32_t& right) {
  volume = clampi(volume, 0, 100);
  pan = clampi(pan, -100, 100);
  left = volume * (100 - (pan > 0 ? pan : 0)) / 100;
  right = volume * (100 + (pan < 0 ? pan : 0)) / 100;
}

int16_t mixedvalue(int32_t sum, int32_t level) {
  int64_t v = int64_t(sum) * level / 32;
  return int16_t(v > 32767 ? 32767 : v < -32768 ? -32768 : v);
}

int32_t playsamples(const int16_t* samples, int32_t length, int32_t volume, int32_t pan, int32_t loop) {
  if (!samples || length <= 0) return -1;
  MixerLock lock;
  for (int32_t c = 0; c < MIXCHANNELS; c++) {
    mixchannel& ch = channels[size_t(c)];
    if (ch.active) continue;
    ch = {samples, length, 0, clampi(volume, 0, 100), clampi(pan, -100, 100), loop ? 1 : 0, 1};
    return c;
  }
  return -1;
}

void stopchannel(int32_t channel) {
  bailif(channel < 0 || channel >= MIXCHANNELS, "stopchannel: bad channel");
  MixerLock lock;
  channels[size_t(channel)].active = 0;
}

void setchannelvolume(int32_t channel, int32_t volume, int32_t pan) {
  bailif(channel < 0 || channel >= MIXCHANNELS, "setchannelvolume: bad channel");
  MixerLock lock;
  channels[size_t(channel)].volume = clampi(volume, 0, 100);
  channels[size_t(channel)].pan = clampi(pan, -100, 100);
}

int32_t channelplaying(int32_t channel) {
  bailif(channel < 0 || channel >= MIXCHANNELS, "channelplaying: bad channel");
  MixerLock lock;
  return channels[size_t(channel)].active;
}

void stopallchannels() {
  MixerLock lock;
  for (mixchannel& ch : channels) ch.active = 0;
}

void mixaudio(int16_t* out, int32_t frames) {
  if (!out || frames <= 0) return;
  MixerLock lock;
  for (int32_t i = 0; i < frames; i++) {
    int32_t left = 0, right = 0;
    for (mixchannel& ch : channels) {
      if (!ch.active) continue;
      int32_t gl, gr;
      channelgains(ch.volume, ch.pan, gl, gr);
      int32_t s = ch.samples[ch.position];
      left += s * gl / 100;
      right += s * gr / 100;
      if (++ch.position >= ch.length) {
        ch.position = 0;
        if (!ch.loop) ch.active = 0;
      }
    }
    out[2 * i] = mixedvalue(left, masterlevel);
    out[2 * i + 1] = mixedvalue(right, masterlevel);
  }
}
