// User preferences: built-in values, then the settings file "vey3config",
// then the command line. Other subsystems read them by name.
#pragma once
#include <cstdio>
#include <string>

#include "runtime/short.h"

constexpr int32_t CONFIGVERSION = 240;

// Stored in the settings file, in field order.
extern int32_t fade;
extern int32_t sounddevice;   // 0 none, 1 default, 2 aRts, 3 OSS, 4 PulseAudio, 5 JACK
extern int32_t animback;
extern int32_t filtering;
extern int32_t fullscreen;
extern int32_t fswidth, fsheight;
extern int32_t mainmusic;
extern int32_t battlemusic;
extern int32_t configreserved;   // field 11, kept as read
extern int32_t guiopacity;
extern int32_t gfxlevel;
extern int32_t lightfx;
extern int32_t grass;
extern int32_t renderpath;
extern int32_t treequality;
extern float screenscale;
extern int32_t wheelzoom;
extern int32_t edgescroll;

// Not stored.
extern int32_t winwidth, winheight;
extern int32_t bitplanes;
extern int32_t zbuffer;
extern int32_t musicvolume;
extern int32_t clickvolume;
extern int32_t texquality;
extern float gammavalue;      // display gamma ("gamma" would clash with libm)
extern int32_t framedelay;
extern int32_t fpstarget;
extern int32_t maxtexsize;
extern int32_t partamount;
extern int32_t fastgrx;

// The enabled-mod list is stored in the settings file, between gfxlevel and
// lightfx, but kept by mods/, a folder above this one, which sets this
// section before main runs. read takes the section from the file (false when
// the file is damaged there: the rest of it is not read), write puts it.
struct SettingsSection {
  bool (*read)(FILE* f, const char* path);
  void (*write)(FILE* f);
};
void setmodlistsection(SettingsSection section);

void loadconfig();
// Writes the settings file whole; false when it cannot be written (the old
// file stays as it was, errno says why: configproblem(errno)).
bool trysaveconfig();
// "<settings file>: <cause>" for a message.
std::string configproblem(int err);
// The settings file's path (PATHLEN bytes).
void configpath(char* path);
// Puts every setting back to its built-in value (start of a test, say).
void resetsettings();
