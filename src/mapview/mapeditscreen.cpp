// The map editor in the window: its menu, the editing screen over the map,
// and the Battle Ground Look dialog.
#include <cstring>
#include <string>
#include <vector>

#include "gfx/gfx.h"
#include "gfx/gui.h"
#include "mapview/mapeditor.h"
#include "mapview/mapview.h"
#include "runtime/ask.h"
#include "runtime/fatal.h"
#include "runtime/folders.h"
#include "runtime/rnd.h"
#include "runtime/util.h"
#include "world/world.h"
#include "worldgen/worldgen.h"

namespace {
constexpr int32_t NAMEINPUT = 35;   // the longest name typed in the editor

bool isprovince(int32_t lnr) { return lnr >= 1 && lnr <= nbrlands && lnr <= MAXPROVINCES; }
bool ctrlheld() { return guieventmods() & GUIMOD_CTRL; }

void newmap() {
  char typed[NAMEINPUT + 1] = {}, image[PATHLEN], message[MSGLEN];
  if (!inputname("Enter name of RGB or TGA file", typed, NAMEINPUT, 1,
                 "At most 35 characters, a picture of the maps folders; .rgb or .tga may be left out") ||
      !typed[0])
    return;
  if (!editopenimage(typed, image, message)) {
    msgbox("%s", message);
    return;
  }
  CreateMapTextures("", image);
  mapeditscreen(image, nullptr, 0);
}

void loadmap() {
  char typed[NAMEINPUT + 1] = {}, image[PATHLEN], message[MSGLEN];
  if (!inputstring("Enter name of MAP file", typed, NAMEINPUT, 1) || !typed[0])
    return;
  std::vector<int32_t> starts;
  if (!editopenmap(typed, image, starts, message)) {
    msgbox("%s", message);
    return;
  }
  CreateMapTextures("", image);
  mapeditscreen(image, starts.data(), int32_t(starts.size()));
}

// Saves the map under a name asked for; true (and the text written in
// `written`) when it was saved.
bool savemap(const char* image, const std::vector<int32_t>& starts, std::string& written) {
  char typed[NAMEINPUT + 1] = {}, file[PATHLEN];
  inputstring("Save map as", typed, NAMEINPUT, 1);
  if (!editsavename(typed, file, PATHLEN) || !safemapname(image)) {
    msgbox("Map not saved");
    return false;
  }
  char path[PATHLEN];
  formatbounded(path, PATHLEN, "%s/%s", localmappath, file);
  if (fileexists("%s", path)) {
    char question[MSGLEN];
    formatbounded(question, MSGLEN, "A map called %s already stands in %s.\n\nReplace it with this map?", file,
                  localmappath);
    if (safequestion("Save map as", question, "Replace it") != ASK_YES) return false;
  }
  mkdirs(localmappath);
  if (cmf(path, image, starts.data(), int32_t(starts.size()))) {
    written = mapfiletext(image, starts.data(), int32_t(starts.size()));
    return true;
  }
  msgbox("The map could not be written (%s). Nothing was saved; the map is still here to save elsewhere.",
         fileproblem(path, errno).c_str());
  return false;
}

// The map being edited, and the text of its file as last saved or opened:
// what the question about unsaved edits needs, the window's close included.
struct Editing {
  const char* image;
  const std::vector<int32_t>* starts;
  std::string saved;
  bool unsaved() const { return mapfiletext(image, starts->data(), int32_t(starts->size())) != saved; }
};
Editing* editing = nullptr;

// Edits that are not saved: saved when the player says so (true when saved
// or left without them: the editor may go), kept on Cancel (false).
// `closing`: the window is being closed, which ends the program.
bool askunsaved(bool closing) {
  Editing& e = *editing;
  if (!e.unsaved()) return true;
  switch (safequestion("",
                       closing ? "Quit the game? The map has changes that are not saved."
                               : "Leave the map editor? The map has changes that are not saved.",
                       closing ? "Quit without saving" : "Leave without saving",
                       closing ? "Save and quit" : "Save and leave")) {
    case ASK_SAVE: return savemap(e.image, *e.starts, e.saved);
    case ASK_YES: return true;
    default: return false;
  }
}

// The window's close while the editor is open: the program ends, after the
// question when edits are unsaved.
void askclosingeditor() {
  if (askunsaved(true)) fatalerror("");
}

// The map being edited and its close question, while the screen is open.
struct EditingScope {
  explicit EditingScope(Editing& e) {
    editing = &e;
    setclosequestion(askclosingeditor);
  }
  ~EditingScope() {
    setclosequestion(nullptr);
    editing = nullptr;
  }
  EditingScope(const EditingScope&) = delete;
  EditingScope& operator=(const EditingScope&) = delete;
};

// The text typed for a name of the battleground, made safe; the old text
// stays on Cancel or when the name could leave the data folders.
void asklookname(const char* title, char* field) {
  char typed[100] = {};
  if (!inputstring(title, typed, 99, 1)) return;
  editcleanname(typed);
  if (typed[0] && !safemapname(typed)) {
    msgbox("Not saved: %s names no file of the data folder", typed);
    return;
  }
  strlcopy(field, typed, 100);
}
}  // namespace

void bglookdialog(int32_t lnr) {
  if (!isprovince(lnr)) return;
  ProvGeo& g = provgeo[size_t(lnr)];
  int16_t* colours[3] = {g.groundcol, g.rockcol, g.fogcol};
  static const char* const words[3] = {"groundcol", "rockcol", "fogcol"};
  // A box over the editing screen, which shows darkened behind it.
  GuiBox box;
  auto build = [&] {
    guiboxbegin();
    guititle("Battle Ground Look");
    guicloseid(BG_OK);
    for (int32_t k = 0; k < 3; k++) {
      const int16_t* c = colours[k];
      if (c[0] != -1) guibuttoncol(BG_GROUND + k, "%s", float(c[0]) / 255, float(c[1]) / 255, float(c[2]) / 255, 1, words[k]);
      else guibutton(BG_GROUND + k, "%s is unaltered", words[k]);
      guiinfo("(%d) Left click to randomize, right click to reset", k + 1);
      guishortcut(BG_GROUND + k, '1' + k);
    }
    guibutton(BG_SKYBOX, "Skybox: %s", g.skybox);
    guiinfo("This is the picture shown in the background of the battlefield. I.e. the sky. It should be 512*512 or "
            "1024*1024 pixels large");
    guibutton(BG_BATMAP, "Batmap: %s", g.batmap);
    guiinfo("Enter a v3m file here or 'empty' to get a translucent battle ground floor.");
    guispace(4);
    guiexitbutton(BG_OK, "Ok");
    guishow(-1, -1);
  };
  for (;;) {
    const int32_t id = guimodal(build);
    if (id >= BG_GROUND && id <= BG_FOG)
      for (int32_t i = 0; i < 3; i++) colours[id - BG_GROUND][i] = int16_t(rnd(256));
    if (id <= -BG_GROUND && id >= -BG_FOG)
      for (int32_t i = 0; i < 3; i++) colours[-id - BG_GROUND][i] = -1;
    if (id == BG_SKYBOX) asklookname("Skybox", g.skybox);
    if (id == BG_BATMAP) asklookname("Batmap", g.batmap);
    if (id == BG_OK) return;
  }
}

void mapeditscreen(const char* imagename, const int32_t* starts, int32_t nstarts) {
  char image[PATHLEN];
  strlcopy(image, imagename, PATHLEN);
  const std::vector<int32_t> keep(starts, starts + (starts ? nstarts : 0));
  Editing edits{image, &keep, mapfiletext(image, keep.data(), int32_t(keep.size()))};
  EditingScope scope(edits);
  int32_t selected = nbrlands >= 6 ? 6 : nbrlands >= 1 ? 1 : 0;
  int32_t wrap = wraparound ? 1 : 0;
  setmapviewport(0, 0, 800, 600);
  mapcamx = float(mapwidth()) / 2;
  mapcamy = float(mapheight()) / 2;
  mapzoom = defaultmapzoom;
  mapzoomlimits();
  int32_t shown[TERRAINTOGGLES] = {};
  for (;;) {
    guibegin();
    setmapviewport(0, 0, 800, 600);
    if (isprovince(selected)) {
      drawmapoverlay(0, selected, 1, 1);
      const int16_t* list = provgeo[size_t(selected)].nbr;
      for (int32_t k = 0; k < MAXNEIGHBOURS && list[k] != 0; k++)
        if (isprovince(list[k])) drawarrow(selected, list[k], ARROW_NEIGHBOUR, 0, 10);
    }
    for (int32_t l = 1; l <= nbrlands && l <= MAXPROVINCES; l++)
      if (l != selected) drawmapoverlay(0, l, 1, 0);
    // The flags and lines change only with the map: kept as pictures, so
    // that the chosen province's blinking flag does not draw the map anew.
    guistilllayer();
    areahotspot(ME_MAP, 0, 0, 800, 600);
    guimaxheight(590);
    guiminwidth(170);
    if (isprovince(selected)) {
      const uint32_t terrain = provgeo[size_t(selected)].terrain;
      {
        GuiTextScale small(0.7f);
        guibutton(0, "%d", selected);
      }
      guibutton(ME_NAME, "%s", land[size_t(selected)].name[0] ? land[size_t(selected)].name : "(no name)");
      guiinfo("Click to give the province a name.");
      guialign(GUIALIGN_LEFT);
      guitextscale(0.7f);
      guibutton(ME_RANDOMNAME, "Randomize name");
      guiinfo("(R) Get a random name for this province.");
      guishortcut(ME_RANDOMNAME, 'R');
      for (int32_t k = 0; k < TERRAINTOGGLES; k++) {
        const TerrainToggle& t = terraintoggles[k];
        if (t.bit == TM_SMALL || t.bit == TM_MOUNTAINS) guispace(1);
        shown[k] = (terrain & t.bit) != 0;
        guitoggle(t.id, &shown[k], "%s", t.label);
        guiinfo("%s", t.info);
        guishortcut(t.id, t.key);
      }
      const ProvGeo& g = provgeo[size_t(selected)];
      const bool plain = g.groundcol[0] == -1 && g.rockcol[0] == -1 && g.fogcol[0] == -1 && !g.skybox[0];
      guibuttoncol(ME_BATTLEGROUND, "Battle Ground", -1, -1, -1, plain ? 0.5f : 1.0f);
      guiinfo("(x) Alter the battle ground appearance. Normally there is no need for this.");
      guishortcut(ME_BATTLEGROUND, 'x');
    }
    guialign(GUIALIGN_LEFT);
    guitextscale(0.7f);
    guispace(2);
    guibutton(ME_INSERTED, "Province inserted");
    guiinfo("Use this if you have inserted a new province in your map and don't want to recreate all neighbors and "
            "terrains");
    guibutton(ME_REMOVED, "Province removed");
    guiinfo("Use this before you remove the province from your map and most neighbors will still be correct "
            "afterwards");
    guibutton(ME_CLEARNEIGHBOURS, "Remove neighbors");
    guiinfo("Remove all neighbors in the world");
    guibutton(ME_RANDOMNAMES, "Randomize names");
    guiinfo("Random names for all provinces in the world. This is not necessary as any unnamed province will get a "
            "random name when creating a new game.");
    guitoggle(ME_WRAP, &wrap, "Wraparound");
    guiinfo("The map wraps around at its four edges.");
    guialign(GUIALIGN_CENTRE);
    guishortcut(ME_GOTO, '#');
    guitextscale(1);
    guispace(2);
    guibutton(ME_SAVE, "Save map");
    guibutton(ME_EXIT, "Exit");
    guishortcut(ME_EXIT, KEY_CANCEL);
    guishow(10, -1);
    // The screen waits for input; the camera moving, or the chosen
    // province's blinking flag, brings its frames.
    const int32_t id = render_frame(true, Scene::map);
    if (const TerrainToggle* t = terraintoggle(id)) editterrain(selected, t->bit);
    switch (id) {
      case ME_NAME: {
        char typed[NAMEINPUT + 1] = {};
        if (isprovince(selected)) strlcopy(typed, land[size_t(selected)].name, NAMEINPUT + 1);
        if (isprovince(selected) && inputname("Enter new name", typed, NAMEINPUT, 1,
                                              "At most 35 characters (% \" and # become spaces)")) {
          editcleanname(typed);
          strlcopy(land[size_t(selected)].name, typed, 36);
        }
        break;
      }
      case ME_RANDOMNAME:
        if (isprovince(selected)) setlandname(selected);
        break;
      case ME_RANDOMNAMES:
        for (int32_t l = 1; l <= nbrlands && l <= MAXPROVINCES; l++) setlandname(l);
        break;
      case ME_CLEARNEIGHBOURS: editclearneighbours(); break;
      case ME_WRAP:
        wraparound = uint8_t(wrap);
        mapcameraedges();
        break;
      case ME_GOTO: {
        const int32_t n = inputnumber(1, nbrlands, "Goto province number");
        if (isprovince(n)) {
          selected = n;
          centremap(n);
        }
        break;
      }
      case ME_SAVE: savemap(image, keep, edits.saved); break;
      case ME_INSERTED: editinserted(selected); break;
      case ME_REMOVED: editremoved(selected); break;
      case ME_BATTLEGROUND: bglookdialog(selected); break;
      case ME_MAP:
      case -ME_MAP:
        if (const int32_t at = mapclickprovince(id, ME_MAP)) {
          if (id < 0) selected = at;
          else editneighbour(selected, at, ctrlheld());
        }
        break;
      case ME_EXIT:
        if (askunsaved(false)) return;
        break;
      default: break;
    }
    editseacheck(selected);
  }
}

void mapeditor() {
  setbgscene(Scene::menu);
  auto build = [&] {
    guibegin();
    guititle("Map Editor");
    guicloseid(ME_MENUEXIT);
    guiminwidth(300);
    guitextscale(0.85f);
    guibutton(ME_NEWMAP, "New map");
    guiinfo("Make a map from a picture in the maps folders (RGB or TGA) with one pure white pixel for each province");
    guibutton(ME_LOADMAP, "Load map");
    guiinfo("Change a map file of the maps folders");
    guispace(3);
    guibutton(ME_MENUEXIT, "Exit");
    guishortcut(ME_MENUEXIT, KEY_CANCEL);
    guishow(-1, -1);
  };
  for (;;) {
    const int32_t id = guimodal(build);
    if (id == ME_MENUEXIT) return;
    if (id == ME_NEWMAP) newmap();
    if (id == ME_LOADMAP) loadmap();
    setbgscene(Scene::menu);   // back from the map
  }
}
