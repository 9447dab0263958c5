#include "sound/sound.h"

#include "runtime/fatal.h"

namespace {
int32_t masterlevel = 32;
const char* backend = "none";
}  // namespace

void init_sound(const char* caption, int32_t device, const char* datafolder) {
  backend = "none";
  debugprint("sound: no back end available, running silent\n");
}

void deinit_sound() { backend = "none"; }

void set_master_volume(int32_t percent) {
  int32_t level = percent * 32 / 100;
  if (level < 1) level = 1;
  if (level > 32) level = 32;
  masterlevel = level;
}

int32_t master_volume_level() { return masterlevel; }
const char* sound_backend_name() { return backend; }
