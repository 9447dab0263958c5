// The mixer: a table of channels that play mono 16-bit samples at MIXRATE,
// mixed into 16-bit stereo frames (left, right, left, ...). The table is shared
// by the game thread (play, stop, volume, fades) and the audio side (mixing,
// on a back-end thread or an audio server's callback), guarded by one
// semaphore of initial value 1.
//
// What one output value is, for every channel c playing sample value s:
//   sum   = the sum over channels of s * volume / 255 * side / 100, where side
//           is 100 - pan on the left for pan > 0, 100 + pan on the right for
//           pan < 0, else 100;
//   value = sum * master level / 32, clipped to -32768..32767 and cut toward 0.
// So a lone channel at volume 255, pan 0 and master level 32 passes its
// samples through unchanged.
#pragma once
#include "runtime/short.h"

constexpr int32_t MIXRATE = 22050;
constexpr int32_t MIXCHANNELS = 32;
constexpr int32_t MAXVOLUME = 255;

struct mixchannel {
  const int16_t* samples;   // owned by the caller, alive while playing
  int32_t length;           // samples
  int32_t position;         // next sample to mix
  int32_t sample;           // sample number it plays (-1: a caller's buffer)
  float volume;             // 0..255
  float target;             // volume a fade moves toward
  float keep;               // share of the distance to target kept per frame; 1: no fade
  int32_t pan;              // -100 left .. 100 right
  int32_t loop;             // 1: starts again at the end
  int32_t active;
};

// Starts samples on the lowest free channel; the channel number, or -1 when
// every channel is busy or there is nothing to play. sample is the number
// that fades and queries match (-1 for none).
int32_t playsamples(const int16_t* samples, int32_t length, int32_t sample, int32_t volume, int32_t pan,
                    int32_t loop);
void stopchannel(int32_t channel);
void setchannelvolume(int32_t channel, int32_t volume, int32_t pan);
int32_t channelplaying(int32_t channel);
// Current volume of a channel, 0..255 (fades move it while mixing).
float channelvolume(int32_t channel);
void stopallchannels();

// Fades every playing channel (sample -1) or those playing one sample number
// toward target (0..255). Each 1/50 second of mixed audio (441 frames) the
// volume moves by speed times its distance to the target, smoothly frame by
// frame; speed 1 or more sets the target at once, 0 or less does nothing. A
// channel whose volume comes within half a step of the target takes it; one
// that reaches 0 that way stops.
void fadechannels(int32_t sample, int32_t target, float speed);
constexpr int32_t FADETICK = MIXRATE / 50;
// The same for one channel.
void fadechannel(int32_t channel, int32_t target, float speed);

// Number of channels playing a sample number in first..last that are not on
// their way out (fading toward 0).
int32_t channelsplaying(int32_t first, int32_t last);
// Fades those same channels toward target as fadechannels does; the ones on
// their way out go on fading out.
void fadechannelsplaying(int32_t first, int32_t last, int32_t target, float speed);

// Mixes the next frames of every playing channel into out, at the master level.
void mixaudio(int16_t* out, int32_t frames);

// Master volume (set_master_volume, sound/sound.h): level = percent * 32 / 100,
// clamped to 1..32 (so 0 % still gives level 1), multiplied into every mixed value.
int32_t mastervolumefor(int32_t percent);
int32_t master_volume_level();

// From the mixer's rate to an audio server's rate by linear interpolation
// between mixed frames: each server frame lies `phase` (in 1/rate of a mixer
// frame) past the older of two mixed frames.
struct RateStep {
  uint32_t rate;   // server frames a second, above 0
  uint64_t phase = 0;
  float older[2] = {0, 0}, newer[2] = {0, 0};
};
// Mixed frames that the next `frames` server frames move past.
int32_t ratestepneed(const RateStep& step, uint32_t frames);
// Writes `frames` server frames (values -1..1) from `count` fresh mixed frames
// (stereo); when fewer come than needed, the last one is held.
void ratestep(RateStep& step, const int16_t* mixed, int32_t count, uint32_t frames, float* left, float* right);
