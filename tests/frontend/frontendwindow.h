// The front end's window tests: private folders with Veyrmark the only map,
// and games made for them.
#pragma once
#include <filesystem>
#include <string>

#include "frontend/frontend.h"
#include "gfx/xwindow.h"
#include "mapview/mapview.h"
#include "runtime/folders.h"
#include "runtime/fatal.h"
#include "runtime/options.h"
#include "screens/turnscreen.h"
#include "support/pacedscript.h"
#include "world/gamedata.h"
#include "world/world.h"
#include "worldgen/gamesetup.h"
#include "worldgen/worldgen.h"

namespace frontendtest {
// Private saved-games, maps and configuration folders; Veyrmark the only map.
struct Folders {
  std::string root;
  Folders() {
    root = tempfile("frontend");
    std::filesystem::remove_all(root);
    for (const char* sub : {"/save", "/maps", "/local", "/conf"}) std::filesystem::create_directories(root + sub);
    for (const char* file : {"veyrmark.map", "veyrmark.tga"})
      std::filesystem::copy_file(std::string(VEY3_SOURCE_DIR) + "/data/maps/" + file, root + "/maps/" + file);
    strlcopy(savepath, (root + "/save").c_str(), PATHLEN);
    strlcopy(mappath, (root + "/maps").c_str(), PATHLEN);
    strlcopy(localmappath, (root + "/local").c_str(), PATHLEN);
    strlcopy(confpath, (root + "/conf").c_str(), PATHLEN);
    static bool loaded = false;
    if (!loaded) loadgamedata();
    loaded = true;
    clearworld();
    installmapscreens();
    installnewgamescreens();
    installturnscreens();
    endcredits = 0;
    quitprogram = 0;
  }
  ~Folders() {
    setnewgamescreens(nullptr);
    setplaygame(nullptr);
    setunitfatalhook(nullptr);
    setmapscreens(nullptr);
    std::filesystem::remove_all(root);
  }
};

// A game of two computer nations (0 and 1, early era, Veyrmark) made from
// the command line's options as the console would; the options are put
// back afterwards. 1 when it was made.
inline int makecomputergame(const char* name) {
  strlcopy(mapfile, "veyrmark.map", sizeof mapfile);
  eraoption = 1;
  nationcontrol[0] = nationcontrol[1] = 21;
  textonly = 1;
  const int made = createnewgame(name, 0, nullptr);
  textonly = 0;
  mapfile[0] = 0;
  eraoption = 0;
  nationcontrol[0] = nationcontrol[1] = 0;
  return made;
}

}  // namespace frontendtest
