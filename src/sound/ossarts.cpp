// The two back ends that feed the device from a thread of their own: OSS
// ("/dev/dsp", reached through sound/ossdevice.h) and the aRts C library
// (loaded at run time).
#include <dlfcn.h>
#include <fcntl.h>
#include <linux/soundcard.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <thread>

#include "runtime/fatal.h"
#include "runtime/util.h"
#include "sound/backends.h"
#include "sound/mixer.h"
#include "sound/ossdevice.h"

const OssDevice SYSTEMOSSDEVICE = {
    [](const char* path, int flags) { return ::open(path, flags); },
    [](int fd, unsigned long request, int* value) { return ::ioctl(fd, request, value); },
    [](int fd, const void* bytes, size_t count) { return ::write(fd, bytes, count); },
    [](int fd) { return ::close(fd); },
};
OssDevice ossdevice = SYSTEMOSSDEVICE;

namespace {
constexpr int32_t CHUNKFRAMES = OSSCHUNKFRAMES;

// OSS
int dsp = -1;
std::thread ossthread;
std::atomic<bool> ossrunning{false};

// Writes every byte: a write cut short by a signal goes on where it stopped,
// so no frame is lost or torn. False when the device fails.
bool writeall(const void* data, size_t count) {
  const char* bytes = static_cast<const char*>(data);
  while (count > 0) {
    const ssize_t n = ossdevice.write(dsp, bytes, count);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    bytes += n;
    count -= size_t(n);
  }
  return true;
}

void ossloop() {
  int16_t buffer[CHUNKFRAMES * 2];
  while (ossrunning) {
    mixaudio(buffer, CHUNKFRAMES);
    if (!writeall(buffer, sizeof buffer)) {
      debugprint("sound: OSS write failed (%s)\n", filecause(errno));
      break;
    }
  }
}

// Sets the open device up, in the order stereo, format, fragment size, speed.
// The device answers each with what it took: anything but 16-bit stereo near
// the mixer's rate would play the mix wrong, so it names what is refused
// (nullptr when the device plays the mix). The fragment size is only a wish:
// a device that keeps its own still plays.
const char* setupdsp() {
  int stereo = 1, format = AFMT_S16_LE, fragment = OSSFRAGMENTS << 16 | OSSFRAGMENTBITS, speed = MIXRATE;
  if (ossdevice.ioctl(dsp, SNDCTL_DSP_STEREO, &stereo) < 0 || stereo != 1) return "refuses stereo";
  if (ossdevice.ioctl(dsp, SNDCTL_DSP_SETFMT, &format) < 0 || format != AFMT_S16_LE)
    return "refuses 16-bit samples";
  if (ossdevice.ioctl(dsp, SNDCTL_DSP_SETFRAGMENT, &fragment) < 0)
    debugprint("sound: %s keeps its own fragment size\n", DSPPATH);
  if (ossdevice.ioctl(dsp, SNDCTL_DSP_SPEED, &speed) < 0 || std::abs(speed - MIXRATE) > OSSRATESLACK)
    return "refuses 22050 frames a second";
  return nullptr;
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
  dsp = ossdevice.open(DSPPATH, O_WRONLY);
  if (dsp < 0) {
    debugprint("sound: cannot open %s (%s)\n", DSPPATH, filecause(errno));
    return 0;
  }
  if (const char* refused = setupdsp()) {
    debugprint("sound: %s %s\n", DSPPATH, refused);
    ossdevice.close(dsp);
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
  if (dsp >= 0) ossdevice.close(dsp);
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
