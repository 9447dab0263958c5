#include "runtime/settings.h"

#include <unistd.h>

#include <cstdio>

#include "mods/mods.h"
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

void resetsettings() {
  fade = 1;
  sounddevice = 1;
  animback = 1;
  filtering = 2;
  fullscreen = 0;
  fswidth = -1;
  fsheight = -1;
  mainmusic = 1;
  battlemusic = 1;
  configreserved = 0;
  guiopacity = -1;
  gfxlevel = -1;
  lightfx = 1;
  grass = 1;
  renderpath = 1;
  treequality = 3;
  screenscale = 1.0f;
  wheelzoom = 1;
  edgescroll = 1;
  winwidth = -1;
  winheight = -1;
  bitplanes = -1;
  zbuffer = 1;
  musicvolume = 255;
  clickvolume = 80;
  texquality = 3;
  gammavalue = -1.0f;
  framedelay = 20;
  fpstarget = 15;
  maxtexsize = 0;
  partamount = -1;
  fastgrx = 0;
}

namespace {
struct SettingsInit {
  SettingsInit() { resetsettings(); }
} settingsinit;

void configpath(char* path) { formatbounded(path, PATHLEN, "%s/vey3config", confpath); }
}  // namespace

void loadconfig() {
  char path[PATHLEN];
  configpath(path);
  UniqueFile file = openfile(path, "rb");
  if (!file) return;
  FILE* f = file.get();
  // A damaged file never stops the start-up: reads are soft, a missing int
  // reads as 0, and what cannot be read keeps its built-in value.
  SoftReadScope soft;
  if (getint(f) != CONFIGVERSION) {
    file.reset();
    unlink(path);
    return;
  }
  fade = getint(f);
  sounddevice = getint(f);
  animback = getint(f);
  filtering = getint(f);
  fullscreen = getint(f);
  fswidth = getint(f);
  fsheight = getint(f);
  if (fswidth < 640) fswidth = 640;
  if (fsheight < 400) fsheight = 400;
  mainmusic = getint(f);
  battlemusic = getint(f);
  configreserved = getint(f);
  guiopacity = getint(f);
  gfxlevel = getint(f);

  int32_t mods = getint(f);
  if (mods < 0 || mods > MAXMODS) {
    debugprint("*** Warning: settings file %s damaged (mod count %d)\n", path, mods);
    return;   // the rest of the stream cannot be trusted
  }
  for (int32_t i = 0; i < mods; i++) {
    char name[MAXSTRING + 1];
    get_string(name, sizeof name, f);
    if (binreadfailed) {
      debugprint("*** Warning: settings file %s damaged (mod names)\n", path);
      return;
    }
    if (modfileexists(name)) enablemod(name);
  }

  lightfx = getint(f);
  grass = getint(f);
  renderpath = getint(f);
  treequality = getint(f);
  if (treequality < 1 || treequality > 5) treequality = 3;
  screenscale = getfixed(f);
  if (screenscale < 0.5f || screenscale > 1.5f) screenscale = -1.0f;
  wheelzoom = getint(f);
  edgescroll = getint(f);
}

void saveconfig() {
  char path[PATHLEN];
  configpath(path);
  if (!direxists("%s", confpath)) mkdirs(confpath);
  debugprint("writing config file\n");
  // Written whole to a new file and renamed over the old one.
  SafeWrite out(path);
  bailif(!out.ok(), "cannot create config file\n");
  FILE* f = out.stream();
  putint(CONFIGVERSION, f);
  putint(fade, f);
  if (sounddevice != 0) sounddevice = 1;
  putint(sounddevice, f);
  putint(animback, f);
  putint(filtering, f);
  putint(fullscreen, f);
  putint(fswidth, f);
  putint(fsheight, f);
  putint(mainmusic, f);
  putint(battlemusic, f);
  putint(configreserved, f);
  putint(guiopacity, f);
  putint(gfxlevel, f);
  putint(enabledmodlist.last + 1, f);
  for (int32_t i = 0; i <= enabledmodlist.last; i++) put_string(enabledmodlist.names[i], f);
  putint(lightfx, f);
  putint(grass, f);
  putint(renderpath, f);
  putint(treequality, f);
  putfixed(f, screenscale);
  putint(wheelzoom, f);
  putint(edgescroll, f);
  bailif(!out.commit(), "cannot create config file\n");
}
