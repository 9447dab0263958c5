// Starting and stopping sound: the back end named by the device setting, or
// for the default choice the first one that starts. Back-end libraries are
// loaded at run time, so the game runs (silent) on machines without them.
#include <dlfcn.h>

#include <array>
#include <cstdlib>
#include <vector>

#include "runtime/fatal.h"
#include "runtime/util.h"
#include "sound/backends.h"
#include "sound/mixer.h"
#include "sound/samples.h"
#include "sound/sound.h"
#include "world/recruit.h"

char sounddatafolder[PATHLEN];

namespace {
enum class Backend { none, arts, oss, pulse, jack, null };
Backend running = Backend::none;
std::vector<int16_t> nullbuffer;

// JACK is only tried when a JACK server runs: connecting to none would try to start one.
bool jackserverfound() { return system("pgrep jackd > /dev/null") == 0; }

bool start(Backend which, const char* caption) {
  switch (which) {
    case Backend::arts: return startarts(caption);
    case Backend::oss: return startoss();
    case Backend::pulse: return startpulse(caption);
    case Backend::jack:
      if (!jackserverfound()) {
        debugprint("sound: no JACK server found\n");
        return false;
      }
      return startjack(caption);
    case Backend::null: return true;
    case Backend::none: return false;
  }
  return false;
}
}  // namespace

void* loadsoundlibrary(const char* name) {
  void* library = dlopen(name, RTLD_NOW | RTLD_LOCAL);
  if (!library) debugprint("sound: cannot load %s (%s)\n", name, dlerror());
  return library;
}

bool soundsymbol(void* library, const char* name, void*& out) {
  out = dlsym(library, name);
  if (!out) debugprint("sound: missing %s\n", name);
  return out != nullptr;
}

void init_sound(const char* caption, int32_t device, const char* datafolder) {
  // The back-end threads must stop before the process tears down its globals.
  static bool stopatexit = atexit(deinit_sound) == 0;
  (void)stopatexit;
  deinit_sound();
  strlcopy(sounddatafolder, datafolder ? datafolder : "", PATHLEN);
  const char* name = caption ? caption : "vey3";
  Backend tried = Backend::none;
  switch (device) {
    case 1:
      for (Backend b : {Backend::jack, Backend::pulse, Backend::arts, Backend::oss})
        if (start(b, name)) {
          tried = b;
          break;
        }
      break;
    case 2: tried = start(Backend::arts, name) ? Backend::arts : Backend::none; break;
    case 3: tried = start(Backend::oss, name) ? Backend::oss : Backend::none; break;
    case 4: tried = start(Backend::pulse, name) ? Backend::pulse : Backend::none; break;
    case 5: tried = start(Backend::jack, name) ? Backend::jack : Backend::none; break;
    case SOUND_NULLDEVICE: tried = Backend::null; break;
    default: debugprint("sound: unknown sound device %d\n", device); break;
  }
  running = tried;
  if (running == Backend::none) debugprint("sound: no back end started, running silent\n");
  else debugprint("sound: playing through %s\n", sound_backend_name());
}

void deinit_sound() {
  Backend was = running;
  running = Backend::none;
  switch (was) {
    case Backend::arts: stoparts(); break;
    case Backend::oss: stoposs(); break;
    case Backend::pulse: stoppulse(); break;
    case Backend::jack: stopjack(); break;
    case Backend::null: nullbuffer = {}; break;
    case Backend::none: break;
  }
  // Nothing mixes any more: the channels and then the samples they played go.
  stopallchannels();
  freesamples();
}

const char* sound_backend_name() {
  switch (running) {
    case Backend::arts: return "aRts";
    case Backend::oss: return "OSS";
    case Backend::pulse: return "PulseAudio";
    case Backend::jack: return "JACK";
    case Backend::null: return "null";
    case Backend::none: break;
  }
  return "none";
}

std::span<const int16_t> nullsoundrun(int32_t frames) {
  if (running != Backend::null || frames <= 0) return {};
  nullbuffer.resize(size_t(frames) * 2);
  mixaudio(nullbuffer.data(), frames);
  return nullbuffer;
}

int32_t play_sample(int32_t sample, int32_t volume, int32_t pan, int32_t loop) {
  if (running == Backend::none || sample < 0) return -1;
  const std::vector<int16_t>* samples = loadsample(sample);
  if (!samples) return -1;
  return playsamples(samples->data(), int32_t(samples->size()), sample, volume, pan, loop);
}

void fade_channels(int32_t sample, int32_t target, float speed) { fadechannels(sample, target, speed); }

int32_t musicplaying(int32_t era) {
  const SongRange songs = erasongs(era);
  return channelsplaying(songs.first, songs.first + songs.count - 1) > 0 ? 1 : 0;
}

void fade_music(int32_t volume) {
  // The menu's piece (era 0) and those of the three eras.
  for (int32_t era = 0; era <= 3; era++) {
    const SongRange songs = erasongs(era);
    fadechannelsplaying(songs.first, songs.first + songs.count - 1, volume, 0.1f);
  }
}

void starteramusic(int32_t era, int32_t volume) {
  if (musicplaying(era)) return;
  fade_channels(-1, 0, 0.1f);
  if (volume <= 0) return;
  const int32_t song = erasong(era);
  // Only the new channel fades in: an old one playing the same piece goes on fading out.
  const int32_t channel = play_sample(song, 0);
  if (channel >= 0) fadechannel(channel, volume, 0.1f);
}

namespace {
std::array<int32_t, 3> guisounds = {-1, -1, -1};
std::array<int32_t, 3> guisoundvols = {0, 0, 0};
}  // namespace

void guisetsounds(int32_t newarea, int32_t scrollarrow, int32_t toggle) {
  guisounds = {newarea, scrollarrow, toggle};
  setguisoundhook([](GuiSound which) { playguisound(which); });
}

void guisetsoundvols(int32_t newarea, int32_t scrollarrow, int32_t toggle) {
  guisoundvols = {newarea, scrollarrow, toggle};
}

int32_t playguisound(GuiSound which) {
  const size_t k = size_t(which);
  if (k >= guisounds.size()) return -1;
  return play_sample(guisounds[k], guisoundvols[k]);
}
