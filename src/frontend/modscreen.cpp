// The Mods screen: every mod file of the mod folder with its name and
// description, enabled or not; a change is written to the settings file at
// once, and the game's tables follow the enabled mods when a game is made.
#include <string>
#include <vector>

#include "frontend/frontend.h"
#include "gfx/gfx.h"
#include "gfx/gui.h"
#include "mods/mods.h"
#include "runtime/ask.h"
#include "runtime/folders.h"
#include "runtime/settings.h"

void modscreen() {
  const std::vector<std::string> files = listmodfiles();
  std::vector<ModInfo> infos(files.size());
  for (size_t i = 0; i < files.size(); i++) readmodinfo(files[i].c_str(), &infos[i]);
  std::vector<int32_t> on(files.size());   // the check boxes, flipped by a click
  resetscrollslot(0);
  for (;;) {
    guibegin();
    guititle("Mods");
    guicloseid(MS_BACK);
    guiminwidth(520);
    guimaxwidth(520);
    guimaxheight(540);
    guialign(GUIALIGN_LEFT);
    guitextscale(0.8f);
    if (files.empty()) guiinfo("There are no mods in %s. A mod is a text file ending in \".dm\".", modpath);
    guiscrollstart();
    for (size_t i = 0; i < files.size(); i++) {
      on[i] = modenabled(files[i].c_str());
      const ModInfo& m = infos[i];
      guitoggle(MS_FIRST + int32_t(i), &on[i], "%s %d.%02d (%s)", m.name[0] ? m.name : files[i].c_str(), m.version[0],
                m.version[1], files[i].c_str());
      if (m.description[0]) guiinfo("%s", m.description);
    }
    guiscrollstart();
    guisethint("Enabled mods change the game data of the games created from now on");
    const int32_t id = backandshow(MS_BACK);
    if (id == MS_BACK) return;
    if (id < MS_FIRST || id >= MS_FIRST + int32_t(files.size())) continue;
    const size_t i = size_t(id - MS_FIRST);
    if (on[i]) enablemod(files[i].c_str());
    else disablemod(files[i].c_str());
    if (!trysaveconfig()) msgbox("The enabled mods could not be saved in the settings file; they hold until the game ends.");
  }
}
