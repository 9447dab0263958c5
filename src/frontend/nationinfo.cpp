// The nation information screen and the text of a god's blessings, which
// the turn screens show.
#include <cstring>

#include "frontend/frontend.h"
#include "gfx/gui.h"
#include "runtime/fatal.h"
#include "runtime/util.h"
#include "world/gamedata.h"
#include "world/rules.h"
#include "world/units.h"
#include "world/world.h"

void blesseffects(int32_t player, char* buffer, int32_t size) {
  if (!buffer || size < 1) return;
  buffer[0] = 0;
  static const struct {
    int32_t path;
    const char* what;
  } effects[] = {{P_FIRE, "Att"}, {P_WATER, "Def"}, {P_BLOOD, "Str"}};
  for (const auto& e : effects) {
    const int32_t bonus = blessbonus(player, e.path);
    if (bonus <= 0) continue;
    const size_t used = strlen(buffer);
    formatbounded(buffer + used, int32_t(size_t(size) - used), "%s%s +%d", used ? ", " : "", e.what, bonus);
  }
  if (!buffer[0]) strlcopy(buffer, "none", size_t(size));
}

void shownationinfo(int32_t nation, int32_t withgod, int32_t reserved) {
  (void)reserved;
  bailif(nation < 0 || nation >= MAXPLAYERS, "shownationinfo: bad nation");
  const Nation& n = nations[size_t(nation)];
  char key[32];
  formatbounded(key, sizeof key, "nation%d", nation);
  const char* summary = descrtextof(finddescr(key));
  const int32_t god = kingdom[size_t(nation)].w[KW_GOD];
  const int32_t body = god >= 0 && god < MAXCOMS ? com[size_t(god)].body : -1;
  auto build = [&] {
    guibegin();
    guititle("%s", n.name);
    guicloseid(NI_EXIT);
    guiminwidth(440);
    guimaxwidth(560);
    guimaxheight(520);
    {
      GuiTextScale heading(0.9f);
      guibuttoncol(0, "%s, %s", 1, 0.85f, 0.45f, 1, n.name, n.epithet);
      guispace(2);
    }
    guialign(GUIALIGN_LEFT);
    guiscrollstart();
    {
      GuiTextScale text(0.8f);
      if (n.era >= 1 && n.era <= 3) {
        guishade(0.75f);
        guibutton(0, "%s", eranames[n.era - 1]);
        guishade(1);
        guitextlong(0, erainfos[n.era - 1]);
        guispace(3);
      }
      if (summary && summary[0]) guitextlong(0, summary);
      if (withgod && body >= 0 && body < MAXUNITS && unit[size_t(body)].hp > 0) {
        char blessings[200];
        blesseffects(nation, blessings, sizeof blessings);
        guispace(3);
        guishade(0.75f);
        guibutton(0, "Pretender god");
        guishade(1);
        guibutton(0, "%s, %s", comshownname(god), unittypes[size_t(unit[size_t(body)].type)].name);
        guibutton(0, "Blessings of its sacred troops: %s", blessings);
      }
    }
    guiscrollstart();
    guialign(GUIALIGN_CENTRE);
    guispace(4);
    guiexitbutton(NI_EXIT, "Exit");
    guishow(-1, -1);
  };
  while (guimodal(build) != NI_EXIT) {}
}
