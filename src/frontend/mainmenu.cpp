// The Main Menu and what it opens directly: a new game, the list of saved
// games to play or host, the Game Tools, the credits.
#include <dirent.h>

#include <cstdlib>
#include <cstring>

#include "frontend/frontend.h"
#include "gamefiles/gamefiles.h"
#include "gfx/gfx.h"
#include "host/host.h"
#include "gfx/gui.h"
#include "mapview/mapeditor.h"
#include "mapview/mapview.h"
#include "runtime/ask.h"
#include "runtime/binio.h"
#include "runtime/fatal.h"
#include "runtime/folders.h"
#include "runtime/options.h"
#include "runtime/settings.h"
#include "runtime/util.h"
#include "sound/sound.h"
#include "world/gamedata.h"
#include "world/world.h"
#include "worldgen/gamesetup.h"
#include "worldgen/worldgen.h"

int32_t quitprogram = 0;

namespace {
constexpr int32_t MAXLISTED = 200;

// The menu music: the main menu's piece while music is on.
void menumusic() {
  if (mainmusic && musicvolume > 0) starteramusic(0, musicvolume);
}

// The game's name above the menus.
void titlebanner() {
  areatextcol(0, 400 - textwidth("Veyrances 3") * 24, 500, 48, 1, 0.85f, 0.45f, 1, "Veyrances 3");
  areatextcol(0, 400 - textwidth(VERSIONTEXT) * 8, 470, 16, 0.8f, 0.75f, 0.6f, 1, "%s", VERSIONTEXT);
}

// A plain menu window of large buttons; the id chosen.
struct MenuItem {
  int32_t id;
  const char* text;
  int32_t key;
  const char* info;
};
int32_t menuwindow(const char* title, const MenuItem* items, int32_t count, int32_t cancelid) {
  guibegin();
  if (title) guititle("%s", title);
  guiminwidth(320);
  guispace(3);
  for (int32_t i = 0; i < count; i++) {
    guibuttonlarge(items[i].id, "%s", items[i].text);
    if (items[i].info) guiinfo("%s", items[i].info);
    if (items[i].key) guishortcut(items[i].id, items[i].key);
    guispace(2);
  }
  guishortcut(cancelid, KEY_ESCAPE);
  guishow(-1, 360);
  titlebanner();
  return render_frame(true, Scene::none);
}

void gametools() {
  static const MenuItem items[] = {
      {GT_RANDOMMAP, "Random Map Creator", 'r', "Make a map of your own with a few numbers and save it among the maps"},
      {GT_MAPEDITOR, "Map Editor", 'm', "Make a map from a picture of your own, or change a map's provinces"},
      {GT_DESIGNER, "God Designer", 'g', "Design pretender gods and keep them for the games to come"},
      {GT_MODS, "Mods", 'o', "Enable and disable the mods of the mods folder for the games to come"},
      {GT_BACK, "Back", 0, nullptr}};
  for (;;) {
    if (quitprogram) return;
    switch (menuwindow("Game Tools", items, 5, GT_BACK)) {
      case GT_RANDOMMAP: random_map_creator_screen(); break;
      case GT_MAPEDITOR: mapeditor(); break;
      case GT_DESIGNER: designertool(); break;
      case GT_MODS: modscreen(); break;
      case GT_BACK: return;
      default: break;
    }
  }
}

void playorhost() {
  static char names[MAXLISTED][100];
  static bool damaged[MAXLISTED];
  listfromtop(0);
  for (bool listed = false;; listed = true) {
    if (quitprogram) return;
    const int32_t count = listgames(names, MAXLISTED);
    // Each game's world is read once when the list opens (and after a game
    // was played), not on every frame.
    if (!listed)
      for (int32_t i = 0; i < count; i++) damaged[i] = gamedamaged(names[i]);
    guibegin();
    guititle("Play or Host a Game");
    guicloseid(PG_BACK);
    guiminwidth(360);
    guimaxheight(460);
    if (count == 0) {
      guitextlong(0, "There are no games yet. Start one with New Game.");
    } else {
      {
        GuiTextScale small(0.85f);
        guibutton(0, "Choose a game to play its nations' turns or to host it.");
        guispace(3);
      }
      guiscrollstart();
      for (int32_t i = 0; i < count; i++) {
        if (!damaged[i]) {
          guibutton(PG_FIRST + i, "%s", names[i]);
          continue;
        }
        guibuttoncol(PG_FIRST + i, "%s (damaged)", 1, 0.45f, 0.35f, 1, names[i]);
        guiinfo("The world file of this game is missing or does not read: it cannot be played or hosted");
      }
      guiscrollstart();
    }
    const int32_t id = backandshow(PG_BACK);
    if (id == PG_BACK) return;
    if (id >= PG_FIRST && id < PG_FIRST + count && damaged[id - PG_FIRST]) {
      msgbox("The game %s is damaged: its world file \"ftherlnd\" in %s/%s is missing or does not read. It cannot be "
             "played or hosted.", names[id - PG_FIRST], savepath, names[id - PG_FIRST]);
    } else if (id >= PG_FIRST && id < PG_FIRST + count) {
      listed = false;
      char gname[100];
      strlcopy(gname, names[id - PG_FIRST], 100);
      playgame(gname);
      setbgscene(Scene::menu);
    }
  }
}
}  // namespace

bool gamedamaged(const char* gname) {
  finishhostcommit(gname);
  bool whole = false;
  {
    SoftReadScope soft;
    int32_t turn = 0;
    UniqueFile f = restinmemory(readfileheader(gname, 0, -1, 1, -1, &turn, nullptr, nullptr, nullptr));
    if (f) {
      getfatherland(f.get());
      whole = !readbroken();
    }
  }
  clearworld();
  return !whole;
}

void listfromtop(int32_t slot) {
  resetscrollslot(slot);
  restorescrollslot(slot);
}

int32_t backandshow(int32_t backid) {
  guialign(GUIALIGN_CENTRE);
  guitextscale(1);
  guispace(4);
  guibutton(backid, "Back");
  guishortcut(backid, KEY_ESCAPE);
  guishow(-1, -1);
  return render_frame(true, Scene::none);
}

int32_t listgames(char (*names)[100], int32_t max) {
  int32_t count = 0;
  DIR* d = opendir(savepath);
  if (!d) return 0;
  while (const dirent* e = readdir(d)) {
    if (count >= max) break;
    if (!validgamename(e->d_name) || !direxists("%s/%s", savepath, e->d_name)) continue;
    if (!hasgamefiles(e->d_name)) continue;
    strlcopy(names[count++], e->d_name, 100);
  }
  closedir(d);
  qsort(names, size_t(count), sizeof names[0],
        [](const void* a, const void* b) { return strcmp(static_cast<const char*>(a), static_cast<const char*>(b)); });
  return count;
}

namespace {
playgamefn playgamehook = nullptr;
}  // namespace

void setplaygame(playgamefn play) { playgamehook = play; }

void playgame(const char* gname) {
  bailif(!playgamehook, "playgame: no turn screens");
  playgamehook(gname);
}

int32_t newgamefrommenu() {
  char made[100] = {};
  forgetnewgamegods();
  setbgscene(Scene::menu);
  const int created = createnewgame(nullptr, 0, made);
  setbgscene(Scene::menu);
  if (!created) {
    // Gods designed for a game that was not made went with its folder.
    designsgame[0] = 0;
    forgetnewgamegods();
    return 0;
  }
  designsgame[0] = 0;
  forgetnewgamegods();
  playgame(made);
  return 1;
}

void credits(int32_t atend) {
  static const char text[] =
      "Veyrances 3\n\n"
      "A turn-based game of pretender gods and the nations that believe in them.\n\n"
      "Made by the vey3 developers: the rules, the world and its maps, the host and its battles, the "
      "screens, the art and the sounds, all written and generated by the team.\n\n"
      "The letters are drawn from DejaVu Sans, a free font.\n\n"
      "Thank you for playing.";
  const uint32_t shown = getms();
  for (;;) {
    guibegin();
    guititle("Credits");
    guimaxwidth(520);
    guiminwidth(520);
    {
      GuiTextScale small(0.9f);
      guitextlong(0, text);
    }
    guispace(6);
    guibutton(MM_QUIT, atend ? "Farewell" : "Back");
    guishortcut(MM_QUIT, KEY_ESCAPE);
    guishortcut(MM_QUIT, KEY_RETURN);
    guishortcut(MM_QUIT, KEY_SPACE);
    guishow(-1, -1);
    // The end credits close by themselves.
    const int32_t id = render_frame(!atend, Scene::none);
    if (id == MM_QUIT) return;
    if (atend && getms() - shown > 4000) return;
  }
}

void mainmenu() {
  static const MenuItem items[] = {
      {MM_NEWGAME, "New Game", 'n', "Choose a map, the nations and their gods, and begin"},
      {MM_PLAY, "Play or Host a Game", 'p', "Play the turns of a saved game, or host its next turn"},
      {MM_TOOLS, "Game Tools", 'g', "The Random Map Creator, the Map Editor, the God Designer and the mods"},
      {MM_PREFERENCES, "Preferences", 'o', "Video, sound and map settings"},
      {MM_CREDITS, "Credits", 'c', nullptr},
      {MM_QUIT, "Quit", 'q', nullptr}};
  for (;;) {
    if (quitprogram) return;
    setbgscene(Scene::menu);
    menumusic();
    switch (menuwindow(nullptr, items, 6, MM_QUIT)) {
      case MM_NEWGAME: newgamefrommenu(); break;
      case MM_PLAY: playorhost(); break;
      case MM_TOOLS: gametools(); break;
      case MM_PREFERENCES: preferences(); break;
      case MM_CREDITS: credits(0); break;
      case MM_QUIT:
        if (endcredits) credits(1);
        return;
      default: break;
    }
  }
}
