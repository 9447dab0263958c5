// Sound: back ends loaded at run time (aRts, OSS, PulseAudio, JACK), the
// mixer with its channel table, and the master volume. The channel table is
// shared by the game thread (play, stop, volume) and the audio side (mixing),
// guarded by one semaphore.
#pragma once
#include "runtime/short.h"

// Starts the back end named by the device number (1 default choice, 2 aRts,
// 3 OSS, 4 PulseAudio, 5 JACK); without a working back end the game runs silent.
void init_sound(const char* caption, int32_t device, const char* datafolder);
// Stops the back end and unloads its library; safe when none runs.
void deinit_sound();
// level = percent * 32 / 100, clamped to 1..32, multiplied into every sample.
void set_master_volume(int32_t percent);
int32_t master_volume_level();
int32_t mastervolumefor(int32_t percent);
// Name of the back end that runs, or "none".
const char* sound_backend_name();
// The data folder sound samples are read from (set by init_sound).
extern char sounddatafolder[PATHLEN];

// The mixer: mono 16-bit samples at MIXRATE mixed into 16-bit stereo.
constexpr int32_t MIXRATE = 22050;
constexpr int32_t MIXCHANNELS = 16;
struct mixchannel {
  const int16_t* samples;   // owned by the caller, alive while playing
  int32_t length;           // samples
  int32_t position;         // next sample to mix
  int32_t volume;           // 0..100
  int32_t pan;              // -100 left .. 100 right
  int32_t loop;             // 1: starts again at the end
  int32_t active;
};
// Starts samples on a free channel; the channel number, or -1 when every
// channel is busy or there is nothing to play.
int32_t playsamples(const int16_t* samples, int32_t length, int32_t volume, int32_t pan, int32_t loop);
void stopchannel(int32_t channel);
void setchannelvolume(int32_t channel, int32_t volume, int32_t pan);
int32_t channelplaying(int32_t channel);
void stopallchannels();
// Mixes the next frames of every playing channel into out (left, right,
// left, ...), scaled by the master level and clipped to 16 bits.
void mixaudio(int16_t* out, int32_t frames);
// One output value: the sum of a frame's channel contributions at the master level.
int16_t mixedvalue(int32_t sum, int32_t masterlevel);
// A channel's share of one sample on the left and right.
void channelgains(int32_t volume, int32_t pan, int32_t& left, int32_t& right);

// Back ends (each 1 when it started; stop is safe when it did not).
int startarts(const char* caption);
void stoparts();
int startoss();
void stoposs();
int startpulse(const char* caption);
void stoppulse();
int startjack(const char* caption);
void stopjack();
// Loads a shared library for a back end, or logs why not; nullptr on failure.
void* loadsoundlibrary(const char* name);
// Looks a symbol up; false (and a log line) when it is missing.
bool soundsymbol(void* library, const char* name, void*& out);
template <typename F>
bool soundsymbol(void* library, const char* name, F& out) {
  void* p = nullptr;
  bool ok = soundsymbol(library, name, p);
  out = reinterpret_cast<F>(p);
  return ok;
}
