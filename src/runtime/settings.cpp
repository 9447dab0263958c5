#include "runtime/settings.h"

#include <unistd.h>

#include <cerrno>
#include <cstdio>

#include "runtime/binio.h"
#include "runtime/fatal.h"
#include "runtime/folders.h"
#include "runtime/util.h"

int32_t fade, sounddevice, animback, filtering, fullscreen, fswidth, fsheight;
int32_t mainmusic, battlemusic, configreserved, guiopacity, gfxlevel, lightfx;
int32_t grass, renderpath, treequality, wheelzoom, edgescroll;
float screenscale;
int32_t winwidth, winheight, bitplanes, zbuffer, musicvolume, clickvolume, texquality;
float gammavalue;
int32_t framedelay, fpstarget, maxtexsize, partamount, fastgrx;

namespace {
// One setting: its variable (a whole number or a real), its built-in value,
// whether the settings file stores it, and what loading puts in place of a
// stored value outside low..high.
struct Setting {
  int32_t* whole;
  float* real;
  double initial;
  bool stored;
  double low, high, outside;
};
constexpr double ANY = 1e30;
// The mod list stands between gfxlevel and lightfx in the file.
constexpr Setting MODLIST{nullptr, nullptr, 0, true, 0, 0, 0};

Setting whole(int32_t& v, int32_t initial, bool stored = true) { return {&v, nullptr, double(initial), stored, -ANY, ANY, 0}; }

// Every setting, the stored ones in file order.
const Setting settings[] = {
    whole(fade, 1), whole(sounddevice, 1), whole(animback, 1), whole(filtering, 2), whole(fullscreen, 0),
    {&fswidth, nullptr, -1, true, 640, ANY, 640}, {&fsheight, nullptr, -1, true, 400, ANY, 400},
    whole(mainmusic, 1), whole(battlemusic, 1), whole(configreserved, 0), whole(guiopacity, -1),
    whole(gfxlevel, -1), MODLIST, whole(lightfx, 1), whole(grass, 1), whole(renderpath, 1),
    {&treequality, nullptr, 3, true, 1, 5, 3}, {nullptr, &screenscale, 1.0, true, 0.5, 1.5, -1.0},
    whole(wheelzoom, 1), whole(edgescroll, 1),
    // Not stored.
    whole(winwidth, -1, false), whole(winheight, -1, false), whole(bitplanes, -1, false), whole(zbuffer, 1, false),
    whole(musicvolume, 255, false), whole(clickvolume, 80, false), whole(texquality, 3, false),
    {nullptr, &gammavalue, -1.0, false, -ANY, ANY, 0}, whole(framedelay, 20, false), whole(fpstarget, 15, false),
    whole(maxtexsize, 0, false), whole(partamount, -1, false), whole(fastgrx, 0, false),
};

bool ismodlist(const Setting& s) { return !s.whole && !s.real; }

SettingsSection modlistsection{};
}  // namespace

void resetsettings() {
  for (const Setting& s : settings) {
    if (s.whole) *s.whole = int32_t(s.initial);
    if (s.real) *s.real = float(s.initial);
  }
}

namespace {
struct SettingsInit {
  SettingsInit() { resetsettings(); }
} settingsinit;
}  // namespace

void setmodlistsection(SettingsSection section) { modlistsection = section; }

void configpath(char* path) { formatbounded(path, PATHLEN, "%s/vey3config", confpath); }

void loadconfig() {
  bailif(!modlistsection.read, "loadconfig: no keeper of the mod list");
  char path[PATHLEN];
  configpath(path);
  UniqueFile file = openfile(path, "rb");
  if (!file) return;
  FILE* f = file.get();
  // A damaged file never stops the start-up: reads are soft, a missing int
  // reads as 0, and what cannot be read keeps its built-in value.
  SoftReadScope soft;
  if (getint(f) != CONFIGVERSION) {
    // Another version's file (or an empty one) goes; the built-in settings
    // stay, and the next save writes a file of this version.
    file.reset();
    unlink(path);
    return;
  }
  for (const Setting& s : settings) {
    if (!s.stored) continue;
    if (ismodlist(s)) {
      if (!modlistsection.read(f, path)) return;
      continue;
    }
    const double v = s.whole ? double(getint(f)) : double(getfixed(f));
    const double kept = v < s.low || v > s.high ? s.outside : v;
    if (s.whole) *s.whole = int32_t(kept);
    else *s.real = float(kept);
  }
}

bool trysaveconfig() {
  bailif(!modlistsection.write, "trysaveconfig: no keeper of the mod list");
  char path[PATHLEN];
  configpath(path);
  if (!direxists("%s", confpath)) mkdirs(confpath);
  debugprint("writing config file\n");
  int err = 0;
  {
    // Written whole to a new file and renamed over the old one.
    SafeWrite out(path);
    if (!out.ok()) return false;
    FILE* f = out.stream();
    putint(CONFIGVERSION, f);
    if (sounddevice != 0) sounddevice = 1;
    for (const Setting& s : settings) {
      if (!s.stored) continue;
      if (ismodlist(s)) {
        modlistsection.write(f);
      } else if (s.whole) {
        putint(*s.whole, f);
      } else {
        putfixed(f, *s.real);
      }
    }
    if (out.commit()) return true;
    err = out.error() ? out.error() : errno;
  }
  errno = err;   // the removal of the new file does not change why
  return false;
}

std::string configproblem(int err) {
  char path[PATHLEN];
  configpath(path);
  return fileproblem(path, err);
}
