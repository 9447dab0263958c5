// Sound: back ends loaded at run time, the mixer and the master volume.
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
// Name of the back end that runs, or "none".
const char* sound_backend_name();
