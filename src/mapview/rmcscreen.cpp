// The Random Map Creator screen: the generator's settings in a panel over
// the map it made, "Create a random map" and "Save map" into the local maps
// folder.
#include <cmath>
#include <cstring>

#include "gfx/gfx.h"
#include "gfx/gui.h"
#include "mapview/mapview.h"
#include "runtime/ask.h"
#include "runtime/fatal.h"
#include "runtime/filesets.h"
#include "runtime/folders.h"
#include "runtime/options.h"
#include "runtime/util.h"
#include "worldgen/randmap.h"
#include "world/world.h"
#include "worldgen/worldgen.h"

namespace {
struct rmcsettings {
  int32_t width, height, provinces, sea, mountains, rugged, rivers, impassable, antialias;
};

// The number dialog of a setting: its question and limits; a refused or
// cancelled answer keeps the value.
struct numberquestion {
  int32_t id;
  const char* question;
  int32_t low, high;
};
constexpr numberquestion questions[] = {
    {RMC_RUGGED, "Enter new value for ruggedness (0-100)", 0, 100},
    {RMC_WIDTH, "Enter new image width in pixels (100-10000)", 100, 10000},
    {RMC_HEIGHT, "Enter new image height in pixels (100-10000)", 100, 10000},
    {RMC_PROVINCES, "Number of Provinces (10-1500)", 10, 1500},
    {RMC_SEA, "Enter sea percentage (0-100)", 0, 100},
    {RMC_MOUNTAINS, "Enter mountain percentage (0-100)", 0, 100},
    {RMC_RIVERS, "Enter river occurence (0-1000) 100=normal amount", 0, 1000},
};

int32_t* settingof(rmcsettings& s, int32_t id) {
  switch (id) {
    case RMC_RUGGED: return &s.rugged;
    case RMC_WIDTH: return &s.width;
    case RMC_HEIGHT: return &s.height;
    case RMC_PROVINCES: return &s.provinces;
    case RMC_SEA: return &s.sea;
    case RMC_MOUNTAINS: return &s.mountains;
    case RMC_RIVERS: return &s.rivers;
    default: return nullptr;
  }
}

void buildpanel(rmcsettings& s, bool made) {
  guititle("Random Map Creator");
  guitextscale(0.85f);
  guibutton(RMC_WIDTH, "Set map width (%d pixels)", s.width);
  guibutton(RMC_HEIGHT, "Set map height (%d pixels)", s.height);
  guibutton(RMC_PROVINCES, "Set number of provinces (%d)", s.provinces);
  guibutton(RMC_SEA, "Set sea area percentage (%d)", s.sea);
  guiinfo("The area of the map that should be covered by water. Note that sea provinces are usually larger than "
          "land provinces, so make sure you set this higher than the percentage of sea provinces you want.");
  guibutton(RMC_MOUNTAINS, "Set mountain percentage (%d)", s.mountains);
  guibutton(RMC_RUGGED, "Set ruggedness (%d)", s.rugged);
  guibutton(RMC_RIVERS, "Set river occurence (%d)", s.rivers);
  guiinfo("A value between 0 and 1000, zero means no rivers");
  guitoggle(RMC_IMPASSABLE, &s.impassable, "Impassable mountains");
  guiinfo("If this is set there will only be mountains on provinces borders and they will be impassable. "
          "Otherwise mountains can be placed inside provinces and will never be impassable.");
  guitoggle(RMC_ANTIALIAS, &s.antialias, "Antialiasing");
  guiinfo("Smooths the graphics to give a slightly higher quality map, but it also takes much longer time to "
          "generate.");
  guispace(4);
  guibutton(RMC_CREATE, "Create a random map");
  if (made) guibutton(RMC_SAVE, "Save map");
  guispace(4);
  guitextscale(1);
  guibutton(RMC_EXIT, "Exit");
  guitextscale(0.7f);
  guibutton(0, "Press space to hide/show this window");
}

void savemap() {
  char name[101] = "";
  if (!inputname("Save map as (e.g. my_pretty_world)", name, 100, 1, "At most 100 characters, no folder") || !name[0])
    return;
  if (!safemapname(name)) {
    msgbox("Map not saved: \"%s\" cannot be used as a file name.", name);
    return;
  }
  // Picture and text are put in place together.
  char from[PATHLEN], image[PATHLEN];
  formatbounded(from, PATHLEN, "%s/tmp_randommap.rgb", localmappath);
  formatbounded(image, PATHLEN, "%s.rgb", name);
  FileSet set(localmappath);
  const std::string to = set.staging() + "/" + image;
  if (set.staging().empty() || copyfile(from, to.c_str()) < 0 || !putrandommap(set, name, !textonly)) {
    msgbox("Map not saved: %s could not be written in %s.", name, localmappath);
    return;
  }
  flushmapimage(image);
}
}  // namespace

void random_map_creator_screen() {
  rmcsettings s = {mapsize[0] > 0 ? mapsize[0] : 1600,
                   mapsize[1] > 0 ? mapsize[1] : 1200,
                   150, 30, 20, 30, riverpart, impassmount ? 1 : 0, 0};
  bool made = false, hidden = false;
  const int32_t scene = currentscene();   // the menu's, shown again on leaving
  auto build = [&] {
    guibegin();
    if (!hidden) buildpanel(s, made);
    guishortcut(RMC_HIDE, KEY_SPACE);
    guishortcut(RMC_EXIT, KEY_CANCEL);
    if (!hidden) guishow(10, -1);
    // The map fills the whole window, whatever its shape.
    const guirect window = guivisible();
    setmapviewport(window.x, window.y, window.w, window.h);
  };
  for (;;) {
    const int32_t id = guimodal(build);
    if (int32_t* setting = settingof(s, id)) {
      for (const numberquestion& q : questions)
        if (q.id == id) {
          // Cancel or a number out of range gives below 0: the value stays.
          const int32_t answer = inputnumber(q.low, q.high, q.question);
          if (answer >= 0) *setting = answer;
        }
    } else if (id == RMC_HIDE) {
      hidden = !hidden;
    } else if (id == RMC_CREATE) {
      // The work shows over this screen: its map darkened, or its backdrop.
      render_frame(false, made ? Scene::darkmap : Scene::menu);
      rmimpassable = s.impassable;
      int32_t antialias = int64_t(s.width) * s.height > 30250000 ? 0 : s.antialias;
      if (CreateRandomMap("tmp_randommap", localmappath, s.width, s.height, s.provinces, 1, antialias, s.rivers,
                          float(s.rugged) / 100.0f, float(s.sea) / 100.0f, float(s.mountains) / 100.0f)) {
        // The new picture replaces the one held under that name; the whole
        // of it is shown, from the middle.
        flushmapimage("tmp_randommap.rgb");
        freemaptextures();
        gameinfo.wraparound = 0;
        wraparound = 0;
        CreateMapTextures("", "tmp_randommap.rgb");
        made = mapwidth() > 0;
        if (made) {
          mapcamx = float(mapwidth()) / 2;
          mapcamy = float(mapheight()) / 2;
          const guirect window = guivisible();
          setmapviewport(window.x, window.y, window.w, window.h);
          mapzoom = fmaxf(mapminzoom(), fminf(window.w / float(mapwidth()), window.h / float(mapheight())));
        }
      }
      guibegin();
      render_frame(false, Scene::map);
    } else if (id == RMC_SAVE && made) {
      savemap();
    } else if (id == RMC_EXIT) {
      // No map of the creator stays behind the menus.
      freemaptextures();
      setbgscene(scene > 0 ? scene : int32_t(Scene::menu));
      return;
    }
  }
}
