// The two back ends that feed the device from a thread of their own: OSS
// ("/dev/dsp") and the aRts C library (loaded at run time).
#include <dlfcn.h>
#include <fcntl.h>
#include <linux/soundcard.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <atomic>
#include <thread>

#include "runtime/fatal.h"
#include "sound/backends.h"
#include "sound/mixer.h"

namespace {
constexpr int32_t CHUNKFRAMES = 512;

// OSS
int dsp = -1;
std::thread ossthread;
std::atomic<bool> ossrunning{false};

void ossloop() {
  int16_t buffer[CHUNKFRAMES * 2];
  while (ossrunning) {
    mixaudio(buffer, CHUNKFRAMES);
    if (write(dsp, buffer, sizeof buffer) < 0) {
      debugprint("sound: OSS write failed\n");
      break;
    }
  }
}

// aRts: the few calls of its C interface that we use.
using arts_init_t = int (*)();
using arts_play_stream_t = void* (*)(int rate, int bits, int channels, const char* name);
using arts_write_t = int (*)(void* stream, const void* buffer, int count);
using arts_close_stream_t = void (*)(void* stream);
using arts_free_t = void (*)();
struct artsapi {
  void* library = nullptr;
  arts_init_t init = nullptr;
  arts_play_stream_t play = nullptr;
  arts_write_t write = nullptr;
  arts_close_stream_t close = nullptr;
  arts_free_t free = nullptr;
  void* stream = nullptr;
};
artsapi arts;
std::thread artsthread;
std::atomic<bool> artsrunning{false};

void artsloop() {
  int16_t buffer[CHUNKFRAMES * 2];
  while (artsrunning) {
    mixaudio(buffer, CHUNKFRAMES);
    if (arts.write(arts.stream, buffer, int(sizeof buffer)) < 0) {
      debugprint("sound: aRts write failed\n");
      break;
    }
  }
}

}  // namespace

int startoss() {
  dsp = open("/dev/dsp", O_WRONLY);
  if (dsp < 0) {
    debugprint("sound: cannot open /dev/dsp\n");
    return 0;
  }
  int stereo = 1, format = AFMT_S16_LE, fragment = (8 << 16) | 11, speed = MIXRATE;
  if (ioctl(dsp, SNDCTL_DSP_STEREO, &stereo) < 0 || ioctl(dsp, SNDCTL_DSP_SETFMT, &format) < 0 ||
      format != AFMT_S16_LE || ioctl(dsp, SNDCTL_DSP_SETFRAGMENT, &fragment) < 0 ||
      ioctl(dsp, SNDCTL_DSP_SPEED, &speed) < 0) {
    debugprint("sound: /dev/dsp refuses 16-bit stereo\n");
    close(dsp);
    dsp = -1;
    return 0;
  }
  ossrunning = true;
  ossthread = std::thread(ossloop);
  return 1;
}

void stoposs() {
  ossrunning = false;
  if (ossthread.joinable()) ossthread.join();
  if (dsp >= 0) close(dsp);
  dsp = -1;
}

int startarts(const char* caption) {
  arts.library = loadsoundlibrary("libartsc.so.0");
  if (!arts.library) return 0;
  bool ok = soundsymbol(arts.library, "arts_init", arts.init) && soundsymbol(arts.library, "arts_play_stream", arts.play) &&
            soundsymbol(arts.library, "arts_write", arts.write) && soundsymbol(arts.library, "arts_close_stream", arts.close) &&
            soundsymbol(arts.library, "arts_free", arts.free);
  if (ok && arts.init() != 0) {
    debugprint("sound: aRts server not reached\n");
    ok = false;
  } else if (ok) {
    arts.stream = arts.play(MIXRATE, 16, 2, caption);
    if (!arts.stream) {
      debugprint("sound: aRts refuses a play stream\n");
      arts.free();
      ok = false;
    }
  }
  if (!ok) {
    dlclose(arts.library);
    arts = {};
    return 0;
  }
  artsrunning = true;
  artsthread = std::thread(artsloop);
  return 1;
}

void stoparts() {
  artsrunning = false;
  if (artsthread.joinable()) artsthread.join();
  if (arts.stream) arts.close(arts.stream);
  if (arts.free) arts.free();
  if (arts.library) dlclose(arts.library);
  arts = {};
}
