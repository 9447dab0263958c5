// Sound: what the start-up, the screens, the GUI and the battle view call.
//
// init_sound starts one back end (JACK, PulseAudio, aRts or OSS, loaded at
// run time); where none starts the game runs silent and the log says why.
// Samples are numbered (sound/samples.h) and read from "rawsound/" of the data
// folder on first use; a missing or damaged file plays as silence with a log
// line naming it. Volumes are 0..255 like the music and click volume
// settings; pan is -100 (left) .. 100 (right). Everything here runs on the
// game thread; the mixer (sound/mixer.h) is shared with the audio side under
// its one semaphore.
//
// The music step of a screen (the turn screen, the main menu):
//   starteramusic(era, musicvolume) when music is on;
// a click: playguisound(GUISOUND_TOGGLE); a battle blow:
//   play_sample(weapon sound, volume by distance, pan by position).
#pragma once
#include <span>

#include "gfx/gui.h"
#include "runtime/short.h"

// Starts the back end named by the device number (1 default choice: JACK when
// a JACK server runs, then PulseAudio, aRts, OSS; 2 aRts, 3 OSS, 4 PulseAudio,
// 5 JACK; SOUND_NULLDEVICE the null device). Samples come from datafolder.
void init_sound(const char* caption, int32_t device, const char* datafolder);
// Stops the back end, unloads its library, stops every channel and forgets
// the loaded samples; safe when none runs.
void deinit_sound();
// Name of the back end that runs ("JACK", "PulseAudio", "aRts", "OSS",
// "null"), or "none".
const char* sound_backend_name();

// Starts a sample on a free channel at volume 0..255 (values outside are
// clamped) and pan; loop 1 plays it until it is stopped or faded out. The
// channel number, or -1 when nothing plays: no back end runs, the number is
// below 0 (none) or has no usable sample, or every channel is busy.
int32_t play_sample(int32_t sample, int32_t volume, int32_t pan = 0, int32_t loop = 0);
// Fades the playing channels, all of them (sample -1) or those playing one
// sample, toward a volume 0..255: each 1/50 second the volume moves speed
// times its distance to the target (speed 0.1: about a second). A channel
// faded to 0 stops.
void fade_channels(int32_t sample, int32_t target, float speed);
// 1 while a piece of the era's music plays (and is not fading out), else 0.
int32_t musicplaying(int32_t era);
// The music volume (0..255) or the music switch changed: every piece of
// music that plays fades to the volume at speed 0.1 (at 0 it fades out and
// stops); the effects (clicks, battle sounds) keep their own volume.
void fade_music(int32_t volume);
// The music step of a screen: when no piece of the era's music plays, fades
// every channel out; then, when volume is above 0, starts a random piece of
// the era (erasong) at volume 0 and fades it in to volume at speed 0.1.
void starteramusic(int32_t era, int32_t volume);

// The GUI's three sounds (gfx/gui.h, GuiSound): the sample and the volume of
// each, set at start-up; a sound set to -1 plays nothing. guisetsounds also
// gives the GUI its player (setguisoundhook), playguisound.
void guisetsounds(int32_t newarea, int32_t scrollarrow, int32_t toggle);
void guisetsoundvols(int32_t newarea, int32_t scrollarrow, int32_t toggle);
int32_t playguisound(GuiSound which);

// Master volume (sound/mixer.h): percent * 32 / 100, clamped to 1..32.
void set_master_volume(int32_t percent);

// The null device, for tests and tools: a back end without hardware whose
// output is mixed only when asked. nullsoundrun mixes the next frames into the
// device's buffer and returns them (stereo, 2 values a frame); empty when the
// null device does not run.
constexpr int32_t SOUND_NULLDEVICE = 6;
std::span<const int16_t> nullsoundrun(int32_t frames);
