// The windowed map chooser ("Choose Map") and map information screen that
// world creation asks through its hooks.
#include <cstring>

#include "gfx/gui.h"
#include "mapview/mapview.h"
#include "runtime/folders.h"
#include "runtime/util.h"
#include "worldgen/worldgen.h"

void installmapscreenhooks();

namespace {
int32_t choosescreen(const MapChoice* maps, int32_t count, int offerrandom) {
  static const char* const randomnames[] = {"<Small random map>", "<Medium random map>", "<Large random map>"};
  static const char* const randomhints[] = {
      "Generate a random map for this game with about 10 provinces per player",
      "Generate a random map for this game with about 15 provinces per player",
      "Generate a random map for this game with about 20 provinces per player"};
  resetscrollslot(2);
  for (;;) {
    guibegin();
    guititle("Choose Map");
    guicloseid(1);
    guimaxwidth(560);
    guiminwidth(560);
    guimaxheight(520);
    guialign(GUIALIGN_LEFT);
    guitextscale(0.8f);
    guisetnl(0);
    guishade(0.75f);
    guibutton(0, "Map name");
    guiindent(400);
    guibutton(0, "Provinces");
    guisetnl(1);
    guishade(1);
    guiseparator();
    guiscrollstart();
    int32_t row = 0;
    auto line = [&](int32_t id, const char* title, int32_t kind, const char* provinces, const char* hint) {
      if (row++ % 2) guibgbox(1, 0.9f, 0.7f, 0.07f);
      else guibgbox(0, 0, 0, 0);
      guisetnl(0);
      guibutton(id, "%s%s", kind == 1 ? "\xA4\xA4" : "", title);
      if (hint) guiinfo("%s", hint);
      if (kind == 1) guiinfo("A scenario: a map with a setting of its own");
      guiindent(400);
      guibutton(0, "%s", provinces);
      guisetnl(1);
    };
    if (offerrandom)
      for (int32_t r = 0; r < 3; r++) line(5 + r, randomnames[r], 0, "--", randomhints[r]);
    for (int32_t i = 0; i < count; i++) {
      char provinces[64];
      formatbounded(provinces, 64, "%d land + %d sea", maps[i].lands, maps[i].seas);
      line(maps[i].id, maps[i].title, maps[i].kind, provinces, nullptr);
    }
    guibgbox(0, 0, 0, 0);
    guiscrollstart();
    guialign(GUIALIGN_CENTRE);
    guitextscale(1);
    guispace(4);
    guibutton(1, "Cancel");
    guishortcut(1, KEY_CANCEL);
    guishow(-1, -1);
    // Scenario marks beside their titles.
    for (int32_t i = 0; i < count; i++) {
      if (maps[i].kind != 1) continue;
      int32_t a = findguiarea(maps[i].id);
      if (a < 0) continue;
      const guiarea& t = guiareaget(a);
      areabox(0, t.x + 1, t.y + t.h * 0.35f, t.h * 0.3f, t.h * 0.3f, 1, 0.8f, 0.3f, 1);
    }
    int32_t id = render_frame(true, Scene::none);
    if (id > 0) return id;
  }
}

// The map's picture in its own shape, as large as fits the preview's square
// and centred in it.
void drawfittedpreview(int32_t value, float x, float y, float w, float h) {
  if (mapwidth() < 1 || mapheight() < 1) return;
  const float aspect = float(mapwidth()) / float(mapheight());
  float fw = w, fh = h;
  if (aspect >= w / h) fh = w / aspect;
  else fw = h * aspect;
  drawmappreview(value, x + (w - fw) / 2, y + (h - fh) / 2, fw, fh);
}

int32_t infoscreen(const char* title, const char* description, const char* imagename, int deletable) {
  CreateMapTextures("", imagename);
  auto build = [&] {
    guibegin();
    guititle("%s", title);
    guicloseid(998);
    guimaxwidth(620);
    guiminwidth(520);
    guimaxheight(560);
    {
      GuiTextScale preview(240.0f / GUITEXTHEIGHT);
      guicallback(0, 0, drawfittedpreview);   // a square of 240 units with the map in it
    }
    guitextscale(0.8f);
    guispace(3);
    guialign(GUIALIGN_LEFT);
    guiscrollstart();
    guitextlong(0, description);
    guiscrollstart();
    guialign(GUIALIGN_CENTRE);
    guitextscale(1);
    guispace(4);
    guisetnl(0);
    guibutton(999, "Ok");
    guibutton(0, "     ");
    if (deletable) {
      guibutton(997, "Delete map");
      guiinfo("Deletes this map of your own from your maps folder (after a question)");
      guibutton(0, "     ");
    }
    guibutton(998, "Cancel");
    guisetnl(1);
    guishortcut(999, KEY_RETURN);
    if (deletable) guishortcut(997, KEY_DELETE);
    guishortcut(998, KEY_CANCEL);
    guishow(-1, -1);
  };
  for (;;) {
    const int32_t id = guimodal(build);
    if (id == 997 && deletable) flushmapimage(imagename);   // about to be deleted
    if (id == 999 || (id == 997 && deletable) || id == 998) return id;
  }
}
}  // namespace

void installmapscreens() {
  static const MapScreens screens = {choosescreen, infoscreen};
  setmapscreens(&screens);
  installmapscreenhooks();
}
