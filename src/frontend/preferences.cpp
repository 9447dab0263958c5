// Preferences: the settings a player sets (video, sound, the map), each
// applied and written to the settings file at once. The music and click
// volumes have no place in the settings file: they hold for this run (the
// command line's --musicvol and --clickvol set them at start).
#include <cstring>

#include "frontend/frontend.h"
#include "gfx/gfx.h"
#include "gfx/gui.h"
#include "runtime/ask.h"
#include "runtime/folders.h"
#include "runtime/settings.h"
#include "runtime/util.h"
#include "sound/sound.h"

namespace {
// The screen size and scale as whole numbers the table can step through.
int32_t sizeindex = 0, scalepercent = 100, musicpercent = 100, clickpercent = 31;

constexpr int32_t SIZES = 6;
constexpr int32_t sizes[SIZES][2] = {{640, 480}, {800, 600}, {1024, 768}, {1280, 1024}, {1600, 1200}, {1920, 1080}};
const char* const sizenames[SIZES] = {"640 x 480", "800 x 600", "1024 x 768", "1280 x 1024", "1600 x 1200", "1920 x 1080"};
const char* const filternames[4] = {"Plain", "Mipmapped", "Trilinear", "Trilinear, best"};
const char* const detailnames[4] = {"Low", "Normal", "High", "Very high"};
constexpr int32_t detaillevels[4] = {8, 10, 12, 15};
int32_t detailindex = 1;

// One preference: a check box (0/1), or a value stepped through low..high
// by step (with names, or shown as a number and a unit).
struct Preference {
  const char* heading;       // printed above it when set
  const char* label;
  int32_t* value;
  int32_t low, high, step;
  const char* const* names;
  const char* unit;
  const char* info;
};
const Preference prefs[] = {
    {"Video", "Full screen", &fullscreen, 0, 1, 1, nullptr, nullptr, "Alt+Enter switches at any time"},
    {nullptr, "Full-screen size", &sizeindex, 0, SIZES - 1, 1, sizenames, nullptr, "The size of the screen in full-screen mode"},
    {nullptr, "Texture filtering", &filtering, 0, 3, 1, filternames, nullptr, "Smoother textures cost speed; applies from the next start"},
    {nullptr, "Battle detail", &detailindex, 0, 3, 1, detailnames, nullptr, "View distance and particles in battles"},
    {nullptr, "Tree quality", &treequality, 1, 5, 1, nullptr, "", "How trees on battlefields are drawn, 1 to 5"},
    {nullptr, "Light effects in battles", &lightfx, 0, 1, 1, nullptr, nullptr, nullptr},
    {nullptr, "Grass on battlefields", &grass, 0, 1, 1, nullptr, nullptr, nullptr},
    {nullptr, "Animated backgrounds", &animback, 0, 1, 1, nullptr, nullptr, nullptr},
    {nullptr, "Fade effects", &fade, 0, 1, 1, nullptr, nullptr, "Windows fade in when they open"},
    {nullptr, "Window opacity", &guiopacity, 40, 100, 10, nullptr, "%", "How much of the map and windows beneath shows through a window"},
    {nullptr, "Turn screen scale", &scalepercent, 50, 150, 10, nullptr, "%", "The size of the turn screen's boxes"},
    {"Sound", "Sound and music", &sounddevice, 0, 1, 1, nullptr, nullptr, nullptr},
    {nullptr, "Menu music", &mainmusic, 0, 1, 1, nullptr, nullptr, nullptr},
    {nullptr, "Battle music", &battlemusic, 0, 1, 1, nullptr, nullptr, nullptr},
    {nullptr, "Music volume (this session)", &musicpercent, 0, 100, 10, nullptr, "%", "Not kept in the settings file: --musicvol sets it at start"},
    {nullptr, "Click volume (this session)", &clickpercent, 0, 100, 10, nullptr, "%", "Not kept in the settings file: --clickvol sets it at start"},
    {"Map", "Zoom map with scrollwheel", &wheelzoom, 0, 1, 1, nullptr, nullptr, nullptr},
    {nullptr, "Map edge scrolling", &edgescroll, 0, 1, 1, nullptr, nullptr, "In full screen, the map scrolls when the pointer touches the edge"},
};
constexpr int32_t NBRPREFS = int32_t(sizeof prefs / sizeof prefs[0]);

bool istoggle(const Preference& p) { return p.low == 0 && p.high == 1 && !p.names; }

// The whole numbers from the settings, before the screen shows them.
void readsettings() {
  if (guiopacity < 0) guiopacity = 85;   // opening the preferences chooses it
  sizeindex = 2;
  for (int32_t i = 0; i < SIZES; i++)
    if (sizes[i][0] == fswidth && sizes[i][1] == fsheight) sizeindex = i;
  scalepercent = screenscale < 0 ? 100 : int32_t(screenscale * 100 + 0.5f);
  detailindex = 1;
  for (int32_t i = 0; i < 4; i++)
    if (detaillevels[i] <= gfxlevel) detailindex = i;
  musicpercent = musicvolume * 100 / 255;
  clickpercent = clickvolume * 100 / 255;
  if (sounddevice) sounddevice = 1;
}

// Puts a changed preference into effect.
void apply(const Preference& p) {
  if (p.value == &fullscreen) {
    if (fullscreenon() != fullscreen) togglefullscreen();
    fullscreen = fullscreenon();
  } else if (p.value == &sizeindex) {
    fswidth = sizes[sizeindex][0];
    fsheight = sizes[sizeindex][1];
    setfullscreensize(fswidth, fsheight);
    if (fullscreenon()) setvideosize(fswidth, fsheight, 1);
  } else if (p.value == &detailindex) {
    gfxlevel = detaillevels[detailindex];
    setgfxlevel(gfxlevel);
  } else if (p.value == &fade) {
    guifadein = fade;
  } else if (p.value == &scalepercent) {
    screenscale = float(scalepercent) / 100.0f;
  } else if (p.value == &sounddevice) {
    if (sounddevice) init_sound("Veyrances 3", 1, datapath);
    else deinit_sound();
  } else if (p.value == &musicpercent) {
    musicvolume = musicpercent * 255 / 100;
    fade_music(musicvolume);
  } else if (p.value == &clickpercent) {
    clickvolume = clickpercent * 255 / 100;
    guisetsoundvols(clickvolume, clickvolume, clickvolume);
  } else if (p.value == &mainmusic && !mainmusic) {
    fade_music(0);
  }
}

void change(const Preference& p, bool back) {
  if (!istoggle(p)) {
    int32_t v = *p.value + (back ? -p.step : p.step);
    if (v > p.high) v = p.low;
    if (v < p.low) v = p.high;
    *p.value = v;
  }
  apply(p);
  if (!trysaveconfig()) {
    char path[PATHLEN];
    configpath(path);
    msgbox("Your preferences could not be saved in %s. They hold until the game ends; the file stays as it was.", path);
  }
}
}  // namespace

void preferences() {
  readsettings();
  listfromtop(0);
  auto build = [&] {
    guibegin();
    guititle("Preferences");
    guicloseid(PF_BACK);
    guiminwidth(520);
    guimaxwidth(520);
    guimaxheight(540);
    guialign(GUIALIGN_LEFT);
    guitextscale(0.8f);
    guiscrollstart();
    for (int32_t i = 0; i < NBRPREFS; i++) {
      const Preference& p = prefs[i];
      if (p.heading) {
        if (i > 0) guispace(3);
        guishade(0.75f);
        guibutton(0, "%s", p.heading);
        guishade(1);
        guiseparator();
      }
      if (istoggle(p)) {
        guitoggle(PF_FIRST + i, p.value, "%s", p.label);
      } else {
        guisetnl(0);
        guibutton(PF_FIRST + i, "%s", p.label);
        guiindent(320);
        if (p.names) guibuttoncol(PF_FIRST + i, "%s", 1, 0.85f, 0.45f, 1, p.names[*p.value - p.low]);
        else guibuttoncol(PF_FIRST + i, "%d%s", 1, 0.85f, 0.45f, 1, *p.value, p.unit);
        guisetnl(1);
      }
      if (p.info) guiinfo("%s", p.info);
    }
    guiscrollstart();
    guialign(GUIALIGN_CENTRE);
    guitextscale(1);
    guispace(4);
    guiexitbutton(PF_BACK, "Back");
    guisethint("Click a value to step it on, right click to step it back");
    guishow(-1, -1);
  };
  for (;;) {
    const int32_t id = guimodal(build);
    if (id == PF_BACK) return;
    const int32_t key = id < 0 ? -id : id;
    if (key >= PF_FIRST && key < PF_FIRST + NBRPREFS) change(prefs[key - PF_FIRST], id < 0);
  }
}
