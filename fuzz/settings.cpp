// Fuzz target: arbitrary bytes as the settings file, read by loadconfig with
// a private configuration folder. Loading never stops the program, every
// checked setting lands in its range, and saving and loading settle on the
// same settings.
#include <sys/stat.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "mods/mods.h"
#include "runtime/folders.h"
#include "runtime/settings.h"
#include "runtime/util.h"
#include "scratch.h"

namespace {
char configfile[PATHLEN];

void setup() {
  static bool done = false;
  if (done) return;
  done = true;
  const char* dir = makefuzzscratch("vey3fuzz_settings_");
  formatbounded(confpath, PATHLEN, "%s/conf", dir);
  formatbounded(modpath, PATHLEN, "%s/mods", dir);
  mkdirs(confpath);
  mkdirs(modpath);
  // Two mods that exist, so that names in the file can enable them.
  for (const char* name : {"a.dm", "bb.dm"}) {
    char path[PATHLEN];
    formatbounded(path, PATHLEN, "%s/%s", modpath, name);
    savetextfile(path, "#modname \"fuzz\"\n");
  }
  formatbounded(configfile, PATHLEN, "%s/vey3config", confpath);
}

struct Snapshot {
  int32_t v[19];
  float scale;
  int32_t mods;
  char first[MODNAMELEN];
};

Snapshot snapshot() {
  Snapshot s{{fade, sounddevice, animback, filtering, fullscreen, fswidth, fsheight, mainmusic, battlemusic,
              configreserved, guiopacity, gfxlevel, lightfx, grass, renderpath, treequality, wheelzoom, edgescroll, 0},
             screenscale, enabledmodlist.last, {}};
  if (enabledmodlist.last >= 0) strlcopy(s.first, enabledmodlist.names[0], MODNAMELEN);
  return s;
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  setup();
  FILE* f = fopen(configfile, "wb");
  if (!f) abort();
  if (size) fwrite(data, 1, size, f);
  fclose(f);
  resetsettings();
  clearenabledmods();
  loadconfig();

  if (treequality < 1 || treequality > 5) __builtin_trap();
  if (screenscale != -1.0f && (screenscale < 0.5f || screenscale > 1.5f)) __builtin_trap();
  if (fswidth < 640 && fswidth != -1) __builtin_trap();
  if (enabledmodlist.last < -1 || enabledmodlist.last >= MAXMODS) __builtin_trap();
  for (int32_t i = 0; i <= enabledmodlist.last; i++)
    if (strcmp(enabledmodlist.names[i], "a.dm") != 0 && strcmp(enabledmodlist.names[i], "bb.dm") != 0) __builtin_trap();

  // One save and load settles the values that loading clamps (a built-in
  // full-screen width of -1 loads as 640); from then on they stay.
  Snapshot saved{}, again{};
  for (Snapshot* s : {&saved, &again}) {
    if (!trysaveconfig()) return 0;   // a full or read-only temp folder: nothing to compare
    resetsettings();
    clearenabledmods();
    loadconfig();
    *s = snapshot();
  }
  if (memcmp(saved.v, again.v, sizeof saved.v) != 0 || saved.scale != again.scale || saved.mods != again.mods ||
      strcmp(saved.first, again.first) != 0)
    __builtin_trap();
  return 0;
}
