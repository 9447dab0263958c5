// The two back ends that the audio server calls back: PulseAudio (threaded
// main loop with a playback stream) and JACK (process callback). Both
// libraries are loaded at run time; the few calls we use are declared here.
#include <dlfcn.h>

#include <algorithm>
#include <array>

#include "runtime/fatal.h"
#include "sound/backends.h"
#include "sound/mixer.h"

namespace {

// ---- PulseAudio ----
struct pasamplespec {
  int32_t format;   // 3: signed 16-bit little-endian
  uint32_t rate;
  uint8_t channels;
};
constexpr int32_t PA_SAMPLE_S16LE = 3;
constexpr int32_t PA_CONTEXT_NOAUTOSPAWN = 1;
constexpr int32_t PA_CONTEXT_READY = 4, PA_CONTEXT_FAILED = 5, PA_CONTEXT_TERMINATED = 6;
constexpr int32_t PA_STREAM_READY = 2, PA_STREAM_FAILED = 3, PA_STREAM_TERMINATED = 4;
constexpr int32_t PA_SEEK_RELATIVE = 0;

using pa_state_cb = void (*)(void* object, void* userdata);
using pa_write_cb = void (*)(void* stream, size_t bytes, void* userdata);
struct pulseapi {
  void* library = nullptr;
  void* (*mainloop_new)() = nullptr;
  void* (*mainloop_get_api)(void*) = nullptr;
  int (*mainloop_start)(void*) = nullptr;
  void (*mainloop_stop)(void*) = nullptr;
  void (*mainloop_free)(void*) = nullptr;
  void (*mainloop_lock)(void*) = nullptr;
  void (*mainloop_unlock)(void*) = nullptr;
  void (*mainloop_wait)(void*) = nullptr;
  void (*mainloop_signal)(void*, int) = nullptr;
  void* (*context_new)(void* api, const char* name) = nullptr;
  void (*context_set_state_callback)(void*, pa_state_cb, void*) = nullptr;
  int (*context_connect)(void*, const char* server, int flags, const void* spawnapi) = nullptr;
  int (*context_get_state)(void*) = nullptr;
  void (*context_disconnect)(void*) = nullptr;
  void (*context_unref)(void*) = nullptr;
  void* (*stream_new)(void*, const char* name, const pasamplespec*, const void* channelmap) = nullptr;
  void (*stream_set_state_callback)(void*, pa_state_cb, void*) = nullptr;
  void (*stream_set_write_callback)(void*, pa_write_cb, void*) = nullptr;
  void (*stream_set_underflow_callback)(void*, pa_state_cb, void*) = nullptr;
  int (*stream_connect_playback)(void*, const char* device, const void* attr, int flags, const void* volume,
                                 void* sync) = nullptr;
  int (*stream_get_state)(void*) = nullptr;
  int (*stream_write)(void*, const void* data, size_t bytes, void (*freecb)(void*), int64_t offset,
                      int seek) = nullptr;
  int (*stream_disconnect)(void*) = nullptr;
  void (*stream_unref)(void*) = nullptr;
  void* mainloop = nullptr;
  void* context = nullptr;
  void* stream = nullptr;
};
pulseapi pa;

bool loadpulse() {
  pa.library = loadsoundlibrary("libpulse.so.0");
  if (!pa.library) return false;
  void* l = pa.library;
  return soundsymbol(l, "pa_threaded_mainloop_new", pa.mainloop_new) &&
         soundsymbol(l, "pa_threaded_mainloop_get_api", pa.mainloop_get_api) &&
         soundsymbol(l, "pa_threaded_mainloop_start", pa.mainloop_start) &&
         soundsymbol(l, "pa_threaded_mainloop_stop", pa.mainloop_stop) &&
         soundsymbol(l, "pa_threaded_mainloop_free", pa.mainloop_free) &&
         soundsymbol(l, "pa_threaded_mainloop_lock", pa.mainloop_lock) &&
         soundsymbol(l, "pa_threaded_mainloop_unlock", pa.mainloop_unlock) &&
         soundsymbol(l, "pa_threaded_mainloop_wait", pa.mainloop_wait) &&
         soundsymbol(l, "pa_threaded_mainloop_signal", pa.mainloop_signal) &&
         soundsymbol(l, "pa_context_new", pa.context_new) &&
         soundsymbol(l, "pa_context_set_state_callback", pa.context_set_state_callback) &&
         soundsymbol(l, "pa_context_connect", pa.context_connect) &&
         soundsymbol(l, "pa_context_get_state", pa.context_get_state) &&
         soundsymbol(l, "pa_context_disconnect", pa.context_disconnect) &&
         soundsymbol(l, "pa_context_unref", pa.context_unref) && soundsymbol(l, "pa_stream_new", pa.stream_new) &&
         soundsymbol(l, "pa_stream_set_state_callback", pa.stream_set_state_callback) &&
         soundsymbol(l, "pa_stream_set_write_callback", pa.stream_set_write_callback) &&
         soundsymbol(l, "pa_stream_set_underflow_callback", pa.stream_set_underflow_callback) &&
         soundsymbol(l, "pa_stream_connect_playback", pa.stream_connect_playback) &&
         soundsymbol(l, "pa_stream_get_state", pa.stream_get_state) && soundsymbol(l, "pa_stream_write", pa.stream_write) &&
         soundsymbol(l, "pa_stream_disconnect", pa.stream_disconnect) && soundsymbol(l, "pa_stream_unref", pa.stream_unref);
}

void pulsestatechanged(void*, void*) { pa.mainloop_signal(pa.mainloop, 0); }

// The server asks for bytes: mix them in chunks (called on the main-loop thread).
void pulsewrite(void* stream, size_t bytes, void*) {
  static std::array<int16_t, 4096 * 2> buffer;
  size_t frames = bytes / 4;
  while (frames > 0) {
    size_t n = std::min(frames, buffer.size() / 2);
    mixaudio(buffer.data(), int32_t(n));
    pa.stream_write(stream, buffer.data(), n * 4, nullptr, 0, PA_SEEK_RELATIVE);
    frames -= n;
  }
}

void pulseunderflow(void*, void*) { debugprint2("sound: PulseAudio underflow\n"); }

// Waits (main loop locked) until the state leaves its transient values.
template <typename Get>
int32_t settle(Get get, void* object, int32_t ready, int32_t failed, int32_t terminated) {
  for (;;) {
    int32_t state = get(object);
    if (state == ready || state == failed || state == terminated) return state;
    pa.mainloop_wait(pa.mainloop);
  }
}

// ---- JACK ----
constexpr unsigned long JackPortIsInput = 0x1, JackPortIsOutput = 0x2, JackPortIsPhysical = 0x4;
constexpr int JackNoStartServer = 0x1;
struct jackapi {
  void* library = nullptr;
  void* (*client_open)(const char* name, int options, int* status, ...) = nullptr;
  int (*set_process_callback)(void*, int (*)(uint32_t, void*), void*) = nullptr;
  void* (*port_register)(void*, const char* name, const char* type, unsigned long flags,
                         unsigned long buffersize) = nullptr;
  int (*activate)(void*) = nullptr;
  int (*deactivate)(void*) = nullptr;
  int (*client_close)(void*) = nullptr;
  uint32_t (*get_sample_rate)(void*) = nullptr;
  void* (*port_get_buffer)(void*, uint32_t) = nullptr;
  const char** (*get_ports)(void*, const char* name, const char* type, unsigned long flags) = nullptr;
  const char* (*port_name)(void*) = nullptr;
  int (*connect)(void*, const char* source, const char* destination) = nullptr;
  void (*free)(void*) = nullptr;
  void* client = nullptr;
  void* ports[2] = {};
  uint32_t rate = 0;
};
jackapi jack;

bool loadjack() {
  jack.library = loadsoundlibrary("libjack.so.0");
  if (!jack.library) return false;
  void* l = jack.library;
  return soundsymbol(l, "jack_client_open", jack.client_open) &&
         soundsymbol(l, "jack_set_process_callback", jack.set_process_callback) &&
         soundsymbol(l, "jack_port_register", jack.port_register) && soundsymbol(l, "jack_activate", jack.activate) &&
         soundsymbol(l, "jack_deactivate", jack.deactivate) && soundsymbol(l, "jack_client_close", jack.client_close) &&
         soundsymbol(l, "jack_get_sample_rate", jack.get_sample_rate) &&
         soundsymbol(l, "jack_port_get_buffer", jack.port_get_buffer) && soundsymbol(l, "jack_get_ports", jack.get_ports) &&
         soundsymbol(l, "jack_port_name", jack.port_name) && soundsymbol(l, "jack_connect", jack.connect) &&
         soundsymbol(l, "jack_free", jack.free);
}

// The mixer runs at MIXRATE, the server at its own rate.
constexpr int32_t JACKMIXFRAMES = 8192;
std::array<int16_t, JACKMIXFRAMES * 2> jackmix;
RateStep jackstep;

int jackprocess(uint32_t frames, void*) {
  float* left = static_cast<float*>(jack.port_get_buffer(jack.ports[0], frames));
  float* right = static_cast<float*>(jack.port_get_buffer(jack.ports[1], frames));
  const int32_t need = std::min(ratestepneed(jackstep, frames), JACKMIXFRAMES);
  mixaudio(jackmix.data(), need);
  ratestep(jackstep, jackmix.data(), need, frames, left, right);
  return 0;
}
}  // namespace

int startpulse(const char* caption) {
  if (!loadpulse()) {
    stoppulse();
    return 0;
  }
  pa.mainloop = pa.mainloop_new();
  if (!pa.mainloop) {
    stoppulse();
    return 0;
  }
  pa.context = pa.context_new(pa.mainloop_get_api(pa.mainloop), caption);
  if (!pa.context) {
    stoppulse();
    return 0;
  }
  pa.context_set_state_callback(pa.context, pulsestatechanged, nullptr);
  pa.mainloop_lock(pa.mainloop);
  bool ok = pa.mainloop_start(pa.mainloop) == 0 &&
            pa.context_connect(pa.context, nullptr, PA_CONTEXT_NOAUTOSPAWN, nullptr) == 0 &&
            settle(pa.context_get_state, pa.context, PA_CONTEXT_READY, PA_CONTEXT_FAILED, PA_CONTEXT_TERMINATED) ==
                PA_CONTEXT_READY;
  if (!ok) debugprint("sound: PulseAudio server not reached\n");
  if (ok) {
    pasamplespec format = {PA_SAMPLE_S16LE, uint32_t(MIXRATE), 2};
    pa.stream = pa.stream_new(pa.context, caption, &format, nullptr);
    ok = pa.stream != nullptr;
  }
  if (ok) {
    pa.stream_set_state_callback(pa.stream, pulsestatechanged, nullptr);
    pa.stream_set_write_callback(pa.stream, pulsewrite, nullptr);
    pa.stream_set_underflow_callback(pa.stream, pulseunderflow, nullptr);
    ok = pa.stream_connect_playback(pa.stream, nullptr, nullptr, 0, nullptr, nullptr) == 0 &&
         settle(pa.stream_get_state, pa.stream, PA_STREAM_READY, PA_STREAM_FAILED, PA_STREAM_TERMINATED) ==
             PA_STREAM_READY;
    if (!ok) debugprint("sound: PulseAudio refuses a playback stream\n");
  }
  pa.mainloop_unlock(pa.mainloop);
  if (!ok) stoppulse();
  return ok ? 1 : 0;
}

void stoppulse() {
  if (pa.mainloop) {
    pa.mainloop_lock(pa.mainloop);
    if (pa.stream) {
      pa.stream_disconnect(pa.stream);
      pa.stream_unref(pa.stream);
    }
    if (pa.context) {
      pa.context_disconnect(pa.context);
      pa.context_unref(pa.context);
    }
    pa.mainloop_unlock(pa.mainloop);
    pa.mainloop_stop(pa.mainloop);
    pa.mainloop_free(pa.mainloop);
  }
  if (pa.library) dlclose(pa.library);
  pa = {};
}

int startjack(const char* caption) {
  if (!loadjack()) {
    stopjack();
    return 0;
  }
  int status = 0;
  jack.client = jack.client_open(caption, JackNoStartServer, &status);
  if (!jack.client) {
    debugprint("sound: JACK server not reached\n");
    stopjack();
    return 0;
  }
  jack.rate = jack.get_sample_rate(jack.client);
  jackstep = {jack.rate};
  jack.ports[0] = jack.port_register(jack.client, "left", "32 bit float mono audio", JackPortIsOutput, 0);
  jack.ports[1] = jack.port_register(jack.client, "right", "32 bit float mono audio", JackPortIsOutput, 0);
  if (jack.rate == 0 || !jack.ports[0] || !jack.ports[1] ||
      jack.set_process_callback(jack.client, jackprocess, nullptr) != 0 || jack.activate(jack.client) != 0) {
    debugprint("sound: JACK refuses our ports\n");
    stopjack();
    return 0;
  }
  // Connect to the first two physical playback ports, when there are any.
  if (const char** targets = jack.get_ports(jack.client, nullptr, nullptr, JackPortIsPhysical | JackPortIsInput)) {
    for (int i = 0; i < 2 && targets[i]; i++) jack.connect(jack.client, jack.port_name(jack.ports[i]), targets[i]);
    jack.free(targets);
  }
  return 1;
}

void stopjack() {
  if (jack.client) {
    jack.deactivate(jack.client);
    jack.client_close(jack.client);
  }
  if (jack.library) dlclose(jack.library);
  jack = {};
}
