// The in-game settings menu of a player's turn: the game's settings, the
// preferences, handing the nation to the computer, and quitting with or
// without saving the orders.
#include <cstring>

#include "frontend/frontend.h"
#include "gamefiles/gamefiles.h"
#include "gfx/dialogs.h"
#include "gfx/gui.h"
#include "runtime/ask.h"
#include "runtime/fatal.h"
#include "runtime/util.h"
#include "screens/ingame.h"
#include "screens/turnscreen.h"
#include "world/gamedata.h"
#include "world/world.h"
#include "worldgen/gamesetup.h"

namespace {
const char* const eranames[4] = {"", "Early", "Middle", "Late"};
const char* const researchnames[4] = {"Easy", "Normal", "Hard", "Very hard"};

// The settings the game was made with, as lines of text.
void describegame(char* text, int32_t size) {
  const GameInfo& g = gameinfo;
  char victory[200];
  if (g.victory == 1 || g.victory == 5)
    formatbounded(victory, sizeof victory, "%d victory points win%s", g.victoryvalue,
                  g.victory == 5 ? ", gathered each summer" : "");
  else if (g.victory > 0)
    formatbounded(victory, sizeof victory, "condition %d, goal %d", g.victory, g.victoryvalue);
  else
    strlcopy(victory, "the last god standing wins", sizeof victory);
  formatbounded(text, size,
                "Era: %s\nResearch: %s\nHall of Fame: %d\nStrength of the independents: %d\nMagic site frequency: %d\n"
                "Random events: %s\nGold, resources, supplies: %d%%, %d%%, %d%%\nProvinces at the start: %d\n"
                "Victory: %s\nExtra victory point in capitals: %s\nCheat detection: %s\nScore graphs: %s\n"
                "Information on other nations: %s\nHosts itself when every human has played: %s",
                g.era >= 1 && g.era <= 3 ? eranames[g.era] : "?", g.researchdiff < 4 ? researchnames[g.researchdiff] : "?",
                g.hofsize, g.indepstr, g.magicsites, g.eventrarity == 2 ? "rare" : "common", g.moneymult,
                g.resourcemult, g.supplymult, g.startprov, victory, (g.gameflags & 0x8) ? "yes" : "no",
                (g.gameflags & 0x20) ? "off" : "on", (g.gameflags & GF_NOSCOREGRAPHS) ? "off" : "on",
                (g.gameflags & GF_NONATIONINFO) ? "none" : "yes", g.autohost ? "yes" : "no");
}
}  // namespace

int32_t gamesettingsmenu(int32_t player, const char* gname, int32_t turn, int32_t gamenbr) {
  bailif(player < 0 || player >= MAXPLAYERS, "gamesettingsmenu: bad player");
  auto build = [&] {
    guibegin();
    guititle("Options");
    guicloseid(IG_BACK);
    guiminwidth(360);
    guispace(2);
    guibutton(IG_SETTINGS, "Game settings");
    guibutton(IG_PREFERENCES, "Preferences");
    guispace(3);
    guibutton(IG_COMPUTER, "Let the computer play %s", nations[size_t(player)].name);
    guiinfo("The computer gives this nation's orders from the next turn on");
    guispace(3);
    guibutton(IG_SAVEQUIT, "Save and quit");
    guiinfo("Keeps this turn's orders and ends the game; the turn can be finished later");
    guibutton(IG_QUIT, "Quit without saving");
    guispace(4);
    guibutton(IG_BACK, "Back");
    guishortcut(IG_BACK, KEY_ESCAPE);
    guishortcut(IG_SAVEQUIT, 's');
    guishortcut(IG_QUIT, 'q');
    guishow(-1, -1);
  };
  for (;;) {
    switch (guimodal(build)) {
      case IG_SETTINGS: {
        char text[2000];
        describegame(text, sizeof text);
        char title[200];
        formatbounded(title, sizeof title, "Settings of %s", gname);
        textinfobox(title, text, IG_BACK);
        break;
      }
      case IG_PREFERENCES: preferences(); break;
      case IG_COMPUTER: {
        if (safequestion("", "The computer will play this nation from the next turn on. Save the orders and quit?",
                         "Let the computer play") != ASK_YES)
          break;
        int16_t* words = kingdom[size_t(player)].w;
        const int16_t controller = words[KW_CONTROLLER], level = words[KW_AILEVEL];
        words[KW_CONTROLLER] = CTRL_AI;
        words[KW_AILEVEL] = 2;
        // Orders that were not written keep the player in the turn, the
        // nation still the player's.
        if (saveorders(player, gname, turn, gamenbr) != OrdersSave::written) {
          words[KW_CONTROLLER] = controller;
          words[KW_AILEVEL] = level;
          break;
        }
        quitprogram = 1;
        return 1;
      }
      case IG_SAVEQUIT:
        if (saveorders(player, gname, turn, gamenbr) != OrdersSave::written) break;
        quitprogram = 1;
        return 1;
      case IG_QUIT:
        if (safequestion("", "Quit without saving this turn's orders?", "Quit without saving") != ASK_YES) break;
        quitprogram = 1;
        return 1;
      case IG_BACK: return 0;
      default: break;
    }
  }
}
