// The strategic map in a real window: a game on Veyrmark with its overlay,
// a random map with the background beyond its edges and wrapped copies, the
// camera under scripted keys, wheel and drag, the province chooser picking a
// province with a click, and a map picture that is missing.
#include <cmath>
#include <cstring>
#include <string>
#include <thread>

#include "gfx/xwindow.h"
#include "mapview/mapeditor.h"
#include "mapview/mapview.h"
#include "runtime/rnd.h"
#include "runtime/settings.h"
#include "runtime/trs.h"
#include "support/mapfixture.h"
#include "support/smallworld.h"
#include "support/xinput.h"
#include "support/veyrmarkgame.h"
#include "world/hoststate.h"
#include "world/provinfo.h"
#include "world/ruleconstants.h"
#include "world/rules.h"
#include "world/scores.h"
#include "world/siteentry.h"
#include "world/units.h"
#include "worldgen/randmap.h"

namespace {

// The map's usual layers: everything but terrain icons and neighbour lines.
constexpr uint32_t USUALFILTER = 0x7DD;

// The window pixel (top-left origin) of a GUI point.
struct Pixel {
  int32_t x, y;
};
Pixel pixelof(float x, float y) {
  return {int32_t(x * float(windowwidth()) / GUIWIDTH), int32_t((GUIHEIGHT - y) * float(windowheight()) / GUIHEIGHT)};
}

// Frames of the map scene with the overlay of every province, as a turn
// screen draws them.
void mapframes(int32_t player, int32_t selected, int32_t count) {
  for (int32_t k = 0; k < count; k++) {
    guibegin();
    setmapviewport(0, 0, 800, 600);
    drawmapoverlays(player, selected);
    render_frame(false, Scene::map);
  }
}

int32_t areasof(int32_t file) {
  int32_t n = 0;
  for (int32_t i = 0; i < guiareacount(); i++) n += guiareaget(i).kind == AreaKind::sprite && guiareaget(i).file == file;
  return n;
}

// Kinds of colour in a rectangle of the shot: a drawn map has many, a plain
// background few.
int32_t colours(const Shot& s, guirect r) {
  std::vector<bool> seen(4096);
  int32_t n = 0;
  const float sx = float(s.width) / GUIWIDTH, sy = float(s.height) / GUIHEIGHT;
  for (int32_t y = int32_t(float(s.height) - (r.y + r.h) * sy); y < int32_t(float(s.height) - r.y * sy); y++)
    for (int32_t x = int32_t(r.x * sx); x < int32_t((r.x + r.w) * sx); x++) {
      const uint8_t* p = s.at(x, y);
      const size_t key = size_t((p[0] >> 4) << 8 | (p[1] >> 4) << 4 | (p[2] >> 4));
      if (!seen[key]) seen[key] = true, n++;
    }
  return n;
}

class MapWindow : public ShippedMapFolders {
 protected:
  void SetUp() override {
    ShippedMapFolders::SetUp();
    defaultgeneral();   // as the program starts: the rule constants the income box reads
  }
  void TearDown() override {
    freemaptextures();
    setmapscreens(nullptr);
    ShippedMapFolders::TearDown();
  }
  // The map behind the map scenes, as the program sets it up at start.
  static bool window(RealWindow& w) {
    if (!w.ok) return false;
    installmapscreens();
    return true;
  }
  // A game of six nations on Veyrmark; the viewer is the first of them.
  int32_t veyrmark() {
    const int32_t first = veyrmarkgame("mark", 6, 3);
    EXPECT_GE(first, 0);
    return first;
  }
  // That game's map in the window (made after the game) at zoom 1, as the
  // viewer's turn shows it; false without a window.
  static bool showveyrmark(RealWindow& w, int32_t viewer) {
    if (!window(w)) return false;
    openmapview("mark");
    cacheinfolevels(viewer, 1);
    cachearmysizes(viewer);
    mapzoom = 1;
    return true;
  }
  // The same with the camera on the middle of the map.
  static bool showveyrmarkmiddle(RealWindow& w, int32_t viewer) {
    if (!showveyrmark(w, viewer)) return false;
    mapcamx = float(mapwidth()) / 2;
    mapcamy = float(mapheight()) / 2;
    return true;
  }
};

// Mean brightness (0..255) of a rectangle of the shot.
float brightness(const Shot& s, guirect r) {
  const float sx = float(s.width) / GUIWIDTH, sy = float(s.height) / GUIHEIGHT;
  double sum = 0;
  int64_t n = 0;
  for (int32_t y = int32_t(float(s.height) - (r.y + r.h) * sy); y < int32_t(float(s.height) - r.y * sy); y++)
    for (int32_t x = int32_t(r.x * sx); x < int32_t((r.x + r.w) * sx); x++, n++) {
      const uint8_t* p = s.at(x, y);
      sum += (p[0] + p[1] + p[2]) / 3.0;
    }
  return n ? float(sum / double(n)) : 0;
}

TEST_F(MapWindow, VeyrmarkWithTheViewersOverlayAndDarkened) {
  ASSERT_GE(veyrmark(), 0);
  // The viewer whose home lies nearest the middle of the map.
  int32_t viewer = -1, home = 0;
  float best = 1e9f;
  for (int32_t k = 0; k < MAXPLAYERS; k++) {
    const int32_t h = kingdom[size_t(k)].w[KW_HOMELAND];
    if (kingdom[size_t(k)].w[KW_CONTROLLER] == CTRL_NONE || h < 1 || h > nbrlands) continue;
    const float d = fabsf(provgeo[size_t(h)].x - 640.0f) + fabsf(provgeo[size_t(h)].y - 480.0f);
    if (d < best) best = d, viewer = k, home = h;
  }
  ASSERT_GE(viewer, 0);
  RealWindow w(1024, 768);
  ASSERT_TRUE(window(w));
  fade = 0;
  openmapview("mark");
  ASSERT_GT(maptex.width, 0);
  // The home army sets out for a neighbour: an arrow.
  for (int32_t c = 0; c <= highestcom; c++) {
    const int32_t b = combody(c);
    if (b >= 0 && unit[size_t(b)].owner == viewer && unit[size_t(b)].land == home) {
      com[size_t(c)].order = Order::move;
      com[size_t(c)].orderparam = provgeo[size_t(home)].nbr[0];
      break;
    }
  }
  cacheinfolevels(viewer, 1);
  cachearmysizes(viewer);
  mapfilter = USUALFILTER;
  centremap(home);
  mapcamx -= 60;
  const std::string shot = tempfile("veyrmark.ppm"), dark = tempfile("veyrmark8.ppm");
  setinputscript(("wait 4\nshot " + shot + "\n").c_str());
  mapframes(viewer, home, 8);
  // The overlay's flags, forts, figures and the arrow are among the areas.
  EXPECT_GT(areasof(TRS_FLAGS), 5);
  EXPECT_GT(areasof(TRS_ARMY), 0);
  EXPECT_GT(areasof(TRS_MISC), 0);
  int32_t arrows = 0;
  for (int32_t i = 0; i < guiareacount(); i++) arrows += guiareaget(i).kind == AreaKind::arrow;
  EXPECT_EQ(arrows, 1);
  // The picture fills the screen; the viewer's flag colour stands by its home.
  Shot s = readshot(shot);
  ASSERT_GT(s.width, 0);
  EXPECT_GT(colours(s, {0, 0, 800, 600}), 60);
  const float* c = nations[size_t(viewer)].colour;
  const guirect near = {L2Sx(home) - 40, L2Sy(home) - 10, 80, 80};
  EXPECT_GT(pixelslike(s, near, int32_t(c[0] * 255), int32_t(c[1] * 255), int32_t(c[2] * 255), 40), 20);
  // Behind a dialog the map is darkened to 0.6 and the camera keeps still.
  const float camx = mapcamx;
  setinputscript(("hold right\nwait 4\nshot " + dark + "\nwait 1\nrelease right\n").c_str());
  for (int32_t k = 0; k < 8; k++) {
    guibegin();
    render_frame(false, Scene::darkmap);
  }
  EXPECT_EQ(mapcamx, camx);
  const guirect corner = {0, 0, 120, 90};
  EXPECT_NEAR(brightness(readshot(dark), corner) / brightness(s, corner), 0.6f, 0.05f);
  if (getenv("VEY3_KEEPSHOTS")) printf("Veyrmark shots: %s %s\n", shot.c_str(), dark.c_str());
  dropshot(shot);
  dropshot(dark);
}

// The names alone over Veyrmark, every province known and the map zoomed
// out so that names crowd: every province on the screen shows its name, at
// its own place, none left out for another that covers it; the picture
// stays the same when another province is chosen.
TEST_F(MapWindow, NamesStandAtTheirProvincesWhicheverIsChosen) {
  const int32_t viewer = veyrmark();
  RealWindow w(1024, 768);
  ASSERT_TRUE(showveyrmark(w, viewer));
  fade = 0;
  mapfilter = MAPF_NAMES;
  mapzoom = 0.7f;
  for (int32_t l = 1; l <= nbrlands; l++) land[size_t(l)].infolevel |= INFO_NAME;
  const int32_t home = kingdom[size_t(viewer)].w[KW_HOMELAND];
  centremap(home);
  const std::string first = tempfile("names_home.ppm"), second = tempfile("names_other.ppm");
  setinputscript(("wait 3\nshot " + first + "\n").c_str());
  mapframes(viewer, home, 8);
  std::vector<bool> drawn(size_t(nbrlands) + 1, false);
  int32_t names = 0;
  for (int32_t i = 0; i < guiareacount(); i++) {
    const guiarea& a = guiareaget(i);
    if (a.kind != AreaKind::text) continue;
    const std::string text(guiareatext(a), size_t(a.length));
    int32_t at = 0;
    for (int32_t l = 1; l <= nbrlands && !at; l++)
      if (text == land[size_t(l)].name && fabsf(a.x + a.w / 2 - L2Sx(l)) < 1 &&
          fabsf(a.y - L2Sy(l) - 0.8f * maprawunit()) < 1)
        at = l;
    EXPECT_GT(at, 0) << text << " away from its province";
    drawn[size_t(at)] = true;
    names++;
  }
  ASSERT_TRUE(drawn[size_t(home)]);
  EXPECT_GT(names, 20);
  // Names that cover one another: crowded, yet every one drawn.
  int32_t covered = 0;
  for (int32_t l = 1; l <= nbrlands; l++) {
    if (L2Sx(l) < 0 || L2Sx(l) > 800 || L2Sy(l) < 0 || L2Sy(l) > 550) continue;
    EXPECT_TRUE(drawn[size_t(l)]) << land[size_t(l)].name << " left out";
    for (int32_t o = l + 1; o <= nbrlands; o++)
      covered += fabsf(L2Sx(l) - L2Sx(o)) < 60 && fabsf(L2Sy(l) - L2Sy(o)) < 0.75f * mapmarkerunit();
  }
  EXPECT_GT(covered, 0);
  const int32_t other = provgeo[size_t(home)].nbr[0];
  ASSERT_GT(other, 0);
  setinputscript(("wait 3\nshot " + second + "\n").c_str());
  mapframes(viewer, other, 8);
  const Shot a = readshot(first), b = readshot(second);
  ASSERT_FALSE(a.rgb.empty());
  EXPECT_EQ(a.rgb, b.rgb);
  // The home's name is drawn in the shot: light letters where it stands.
  const float t = 0.75f * mapmarkerunit();
  const guirect name = {L2Sx(home) - 20, L2Sy(home) + 0.8f * maprawunit(), 40, t};
  EXPECT_GT(pixelslike(a, name, 230, 230, 220, 40), 20);
  dropshot(first);
  dropshot(second);
}

TEST_F(MapWindow, CameraFollowsKeysWheelAndDrag) {
  const int32_t viewer = veyrmark();
  RealWindow w(800, 600);
  ASSERT_TRUE(showveyrmarkmiddle(w, viewer));
  const float x0 = mapcamx;
  setinputscript("hold right\nwait 10\nrelease right\n");
  mapframes(viewer, 0, 14);
  EXPECT_GT(mapcamx, x0 + 5);
  setinputscript("wheel 3\n");
  mapframes(viewer, 0, 3);
  EXPECT_NEAR(mapzoom, 1.3f, 1e-4);
  const float x1 = mapcamx, y1 = mapcamy;
  // Script lines run in one frame up to the next wait.
  setinputscript("move 400 300\nwait 1\ndown 400 300 2\nwait 1\nmove 452 300\nwait 1\nmove 452 326\nwait 1\n"
                 "up 452 326 2\nwait 1\n");
  mapframes(viewer, 0, 10);
  EXPECT_NEAR(mapcamx, x1 - 52 / 1.3f, 0.5f);
  EXPECT_NEAR(mapcamy, y1 + 26 / 1.3f, 0.5f);
  // The wheel turned on another scene never zooms the map later.
  setinputscript("wheel 2\n");
  for (int32_t k = 0; k < 3; k++) {
    guibegin();
    render_frame(false, Scene::title);
  }
  mapframes(viewer, 0, 2);
  EXPECT_NEAR(mapzoom, 1.3f, 1e-4);
}

// Keys from the X server (xdotool): a tap of an arrow or Page key whose
// press and release come between two frames moves the map as one frame of
// the key held at the frame pace, two taps twice; a key held goes on.
TEST_F(MapWindow, AKeyTappedBetweenTwoFramesMovesTheMapOnce) {
  const int32_t viewer = veyrmark();
  RealWindow w(800, 600);
  ASSERT_TRUE(showveyrmarkmiddle(w, viewer));
  const float x0 = mapcamx, y0 = mapcamy, frame = float(framepace()) / 1000.0f;
  const float step = 750.0f * frame / (mapzoom + 0.5f);
  setinputscript(xdoline("key Right").c_str());
  mapframes(viewer, 0, 4);
  EXPECT_NEAR(mapcamx, x0 + step, 0.01f);
  setinputscript(xdoline("key Up Up").c_str());
  mapframes(viewer, 0, 4);
  EXPECT_NEAR(mapcamy, y0 + 2 * step, 0.01f);
  setinputscript(xdoline("key Prior").c_str());
  mapframes(viewer, 0, 4);
  EXPECT_NEAR(mapzoom, powf(1.001f, ceilf(750.0f * frame)), 1e-4f);
  // Held for 0.6 s: the camera goes on moving for as long as the frames
  // found the key held, and no longer than the program saw it held.
  const std::string done = tempfile("heldleft");
  const float x1 = mapcamx, persecond = 750.0f / (mapzoom + 0.5f);
  setinputscript(xdobackground("keydown Left sleep 0.6 keyup Left", done).c_str());
  for (int32_t k = 0; k < 3000 && !fileexists(done); k++) mapframes(viewer, 0, 1);
  mapframes(viewer, 0, 3);
  remove(done.c_str());
  const keyseen left = keytimes[KEY_LEFT];
  const float held = float(left.released - left.pressed) / 1000.0f;
  const float heldframes = float(left.heldto - left.pressed) / 1000.0f;
  EXPECT_GT(left.released, 0u);
  EXPECT_GE(x1 - mapcamx, (frame + heldframes / 2 - 0.01f) * persecond);
  EXPECT_LE(x1 - mapcamx, (frame + held + 0.01f) * persecond);
}

// A key pressed for a while by the X server moves the map on a screen that
// stands still until input comes (the province chooser) as on one that draws
// every frame: its first frame counts one frame, not the stillness before it
// (which made a press of a few milliseconds move the map by half a second's
// worth), and the frames after it the time that they found it held. So the
// map moves by at least one frame's step, at most by that and the time from
// the press to the release as the program itself saw them (on a busy machine
// later and shorter than xdotool held the key), and for a long press by most
// of the time that the frames found the key held. The same for a Page key's
// zoom, which goes in whole steps of 1/750 s. A tap on the still screen, its
// press and release read together after a wait of a third of a second, moves
// the map by one frame's step exactly.
TEST_F(MapWindow, AKeyPressedOnAStillScreenMovesTheMapAsOnOneThatDrawsEveryFrame) {
  const int32_t viewer = veyrmark();
  RealWindow w(800, 600);
  ASSERT_TRUE(showveyrmarkmiddle(w, viewer));
  const float middlex = mapcamx, pace = float(framepace()) / 1000.0f;
  const std::string done = tempfile("pressdone");
  // The move in seconds of the key held (at zoom 1: 500 pixels a second
  // across, the zoom by 1.001 for each 1/750 s) of `key` pressed for
  // `hold` seconds, on the chooser, or on frames drawn one after another.
  auto seconds = [&](const char* key, const char* hold, bool still) {
    mapcamx = middlex;
    mapzoom = 1;
    const std::string press = std::string("keydown ") + key + " sleep " + hold + " keyup " + key;
    if (still) {
      setinputscript(("waitfor 1\nwait 3\n" + xdobackground("sleep 0.8 " + press + " sleep 0.6 key Escape", done)).c_str());
      EXPECT_EQ(chooseprovince(viewer, 0, "Choose"), 0);
    } else {
      setinputscript(xdobackground("sleep 0.3 " + press, done).c_str());
      for (int32_t k = 0; k < 3000 && !fileexists(done); k++) mapframes(viewer, 0, 1);
      mapframes(viewer, 0, 3);
    }
    while (!fileexists(done)) sleepms(10);
    remove(done.c_str());
    return strcmp(key, "Prior") == 0 ? logf(mapzoom) / logf(1.001f) / 750 : (mapcamx - middlex) / 500;
  };
  for (const char* key : {"Right", "Prior"})
    for (const char* hold : {"0.01", "0.04", "0.3"})
      for (const bool still : {true, false}) {
        const float moved = seconds(key, hold, still);
        const keyseen seen = keytimes[strcmp(key, "Prior") == 0 ? KEY_PAGEUP : KEY_RIGHT];
        const float held = float(seen.released - seen.pressed) / 1000.0f;
        const float heldframes = float(seen.heldto - seen.pressed) / 1000.0f;
        printf("%s held %s s on %s: moved %.3f s, seen held %.3f s, by frames %.3f s\n", key, hold,
               still ? "the still screen" : "frames drawn one after another", double(moved), double(held),
               double(heldframes));
        // The clock's tick of 10 ms; the zoom's whole steps add up to one
        // 750th of a second a frame.
        const float tick = 0.01f, steps = strcmp(key, "Prior") == 0 ? 0.002f * (1 + heldframes / pace) : 0.001f;
        EXPECT_GT(seen.released, 0u) << key << " " << hold << " " << still;
        EXPECT_GE(moved, pace - steps) << key << " " << hold << " " << still;
        EXPECT_LE(moved, pace + held + tick + steps) << key << " " << hold << " " << still;
        if (strcmp(hold, "0.3") == 0) {
          EXPECT_GE(moved, pace + heldframes / 2 - tick) << key << " " << still;
        }
      }
  mapcamx = middlex;
  mapzoom = 1;
  setinputscript(("waitfor 1\nwait 3\n" + xdoline("key Right") + "wait 3\n" + xdoline("key Escape")).c_str());
  EXPECT_EQ(chooseprovince(viewer, 0, "Choose"), 0);
  EXPECT_NEAR(mapcamx - middlex, 500 * pace, 0.01f);
}

TEST_F(MapWindow, ChooserPicksTheProvinceClicked) {
  const int32_t viewer = veyrmark();
  const int32_t home = kingdom[size_t(viewer)].w[KW_HOMELAND];
  RealWindow w(1024, 768);
  ASSERT_TRUE(window(w));
  openmapview("mark");
  cacheinfolevels(viewer, 1);
  cachearmysizes(viewer);
  mapfilter = USUALFILTER;
  mapzoom = 1;
  centremap(home);
  // A neighbour of the home, clicked on its own point, then Ok.
  const int32_t target = provgeo[size_t(home)].nbr[0];
  ASSERT_GE(target, 1);
  Pixel p = pixelof(L2Sx(target), L2Sy(target));
  setinputscript(("waitfor 1\nclick " + std::to_string(p.x) + " " + std::to_string(p.y) + "\nwaitfor 2\nclickid 2\n").c_str());
  EXPECT_EQ(chooseprovince(viewer, 0, "Choose a target for %s", "the ritual"), target);
  // The click fell on the map, not on the chooser's window (as its last
  // frame laid it out).
  EXPECT_FALSE(pointinguiwindow(L2Sx(target), L2Sy(target)));
  // The window named the province before Ok was pressed.
  bool named = false;
  char want[100];
  snprintf(want, sizeof want, "%s (%d)", land[size_t(target)].name, target);
  for (int32_t i = 0; i < guiareacount(); i++) {
    const guiarea& a = guiareaget(i);
    if (a.kind == AreaKind::text && std::string(guiareatext(a), size_t(a.length)) == want) named = true;
  }
  EXPECT_TRUE(named) << want;
  // Cancel gives 0 even after a choice; a province the viewer does not
  // know is shown by its number only.
  int32_t unknown = 0;
  for (int32_t l = 1; l <= nbrlands && !unknown; l++)
    if (!(infolevel(l, viewer, 0) & 1)) unknown = l;
  ASSERT_GT(unknown, 0);
  setinputscript("waitfor 2\nclickid 1\n");
  EXPECT_EQ(chooseprovince(viewer, unknown, "Choose"), 0);
  snprintf(want, sizeof want, "??? (%d)", unknown);
  named = false;
  for (int32_t i = 0; i < guiareacount(); i++) {
    const guiarea& a = guiareaget(i);
    if (a.kind == AreaKind::text && std::string(guiareatext(a), size_t(a.length)) == want) named = true;
  }
  EXPECT_TRUE(named) << want;
}

// The arrow keys held until the camera goes no farther: it stops on the
// map's corners, 0 and the map's size, with half a window of background
// beyond the map's two edges there (the slate of the background picture).
TEST_F(MapWindow, TheCameraStopsOnTheMapsEdgesShowingHalfAWindowBeyond) {
  const int32_t viewer = veyrmark();
  RealWindow w(800, 600);
  ASSERT_TRUE(showveyrmarkmiddle(w, viewer));
  const std::string low = tempfile("cornerlow.ppm"), high = tempfile("cornerhigh.ppm");
  auto held = [&](const char* across, const char* up, const std::string& shot) {
    setinputscript((std::string("hold ") + across + "\nhold " + up + "\nwait 150\nrelease " + across + "\nrelease " +
                    up + "\nwait 2\nshot " + shot + "\n").c_str());
    mapframes(viewer, 0, 160);
    return readshot(shot);
  };
  const Shot a = held("left", "down", low);
  EXPECT_EQ(mapcamx, 0);
  EXPECT_EQ(mapcamy, 0);
  const int32_t slate = 360 * 600 / 2;
  EXPECT_GT(pixelslike(a, {0, 0, 360, 600}, 34, 42, 58, 20), slate);
  EXPECT_GT(pixelslike(a, {420, 0, 380, 270}, 34, 42, 58, 20), 380 * 270 / 2);
  EXPECT_LT(pixelslike(a, {420, 320, 380, 280}, 34, 42, 58, 20), 380 * 280 / 10);
  const Shot b = held("right", "up", high);
  EXPECT_EQ(mapcamx, float(mapwidth()));
  EXPECT_EQ(mapcamy, float(mapheight()));
  EXPECT_GT(pixelslike(b, {440, 0, 360, 600}, 34, 42, 58, 20), slate);
  EXPECT_GT(pixelslike(b, {0, 330, 380, 270}, 34, 42, 58, 20), 380 * 270 / 2);
  EXPECT_LT(pixelslike(b, {0, 0, 380, 280}, 34, 42, 58, 20), 380 * 280 / 10);
  if (getenv("VEY3_KEEPSHOTS")) printf("The map's corners: %s %s\n", low.c_str(), high.c_str());
  dropshot(low);
  dropshot(high);
}

TEST_F(MapWindow, RandomMapBackgroundBeyondTheEdgesAndWrappedCopies) {
  RealWindow w(800, 600);
  ASSERT_TRUE(window(w));
  ASSERT_EQ(CreateRandomMap("mapwin", localmappath, 800, 600, 40, 0, 0, 100, 0.3f, 0.3f, 0.2f), 1);
  wraparound = 0;
  CreateMapTextures("", "mapwin.rgb");
  ASSERT_EQ(maptex.width, 800);
  mapcamx = 400;
  mapcamy = 300;
  mapzoom = mapminzoom();   // 0.6: 480 x 360 units in the middle
  const std::string shot = tempfile("randommap.ppm"), wrapped = tempfile("wrapped.ppm");
  setinputscript(("wait 2\nshot " + shot + "\n").c_str());
  mapframes(0, 0, 6);
  Shot s = readshot(shot);
  ASSERT_GT(s.width, 0);
  // The map in the middle, the background picture's slate around it.
  EXPECT_GT(colours(s, {200, 150, 400, 300}), 30);
  EXPECT_GT(pixelslike(s, {0, 0, 150, 600}, 34, 42, 58, 20), 150 * 600 / 2);
  EXPECT_GT(pixelslike(s, {200, 0, 400, 110}, 34, 42, 58, 20), 400 * 110 / 2);
  // Wrapping around, the map's copies fill the screen instead.
  wraparound = 1;
  setinputscript(("wait 2\nshot " + wrapped + "\n").c_str());
  mapframes(0, 0, 6);
  Shot t = readshot(wrapped);
  EXPECT_LT(pixelslike(t, {0, 0, 150, 600}, 34, 42, 58, 6), 150 * 600 / 10);
  EXPECT_GT(colours(t, {0, 0, 150, 600}), 20);
  wraparound = 0;
  if (getenv("VEY3_KEEPSHOTS")) printf("Random map shots: %s %s\n", shot.c_str(), wrapped.c_str());
  dropshot(shot);
  dropshot(wrapped);
}

// The textures of one window mean nothing in the next: the map is cut
// again there, not drawn from the old names (all white).
TEST_F(MapWindow, ASecondWindowCutsTheMapAgain) {
  {
    RealWindow first(800, 600);
    ASSERT_TRUE(window(first));
    CreateMapTextures("", "veyrmark.tga");
    ASSERT_GT(maptex.width, 0);
  }
  EXPECT_EQ(maptex.width, 0);
  EXPECT_STREQ(maptex.imagename, "");
  RealWindow second(800, 600);
  ASSERT_TRUE(window(second));
  mapzoom = 1;
  mapcamx = float(mapwidth()) / 2;
  mapcamy = float(mapheight()) / 2;
  const std::string shot = tempfile("second.ppm");
  setinputscript(("wait 2\nshot " + shot + "\n").c_str());
  mapframes(0, 0, 5);
  EXPECT_GT(maptex.width, 0);
  Shot s = readshot(shot);
  ASSERT_GT(s.width, 0);
  EXPECT_LT(pixelslike(s, {0, 0, 800, 600}, 255, 255, 255, 8), 800 * 600 / 10);
  dropshot(shot);
}

TEST_F(MapWindow, MissingOrDamagedPictureAndSpritesDrawNothing) {
  RealWindow w(800, 600);
  ASSERT_TRUE(window(w));
  // An army of a type whose figure is not in the archive draws nothing.
  // Without a map the camera stays at the map's origin.
  makesmallworld();
  provgeo[1].x = provgeo[1].y = 0;
  mapzoom = defaultmapzoom = 1;
  land[1].owner = land[1].fortholder = 1;
  settype(7, "Stranger").sprite = 4000;
  for (int32_t k = 0; k < 20; k++) mkunit(7, 1, 1);
  cachearmysizes(1);
  mapfilter = MAPF_ARMIES;
  mapframes(1, 0, 2);
  EXPECT_EQ(areasof(TRS_ARMY), 4);
  writetext(mapdir() + "broken.tga", "not a picture");
  for (const char* name : {"nowhere.tga", "broken.tga"}) {
    flushmapimage(name);
    CreateMapTextures("", name);
    EXPECT_EQ(maptex.width, 0) << name;
    const std::string shot = tempfile("missing.ppm");
    setinputscript(("wait 1\nshot " + shot + "\n").c_str());
    mapframes(0, 0, 5);
    Shot s = readshot(shot);
    EXPECT_GT(pixelslike(s, {0, 0, 800, 600}, 34, 42, 58, 20), 800 * 600 * 8 / 10) << name;
    dropshot(shot);
  }
}

TEST_F(MapWindow, EditorOnVeyrmarkLoadedAndAProvinceFoundByItsNumber) {
  RealWindow w(1280, 800);
  ASSERT_TRUE(window(w));
  const std::string shot = tempfile("editorveyrmark.ppm");
  setinputscript(("waitfor 2\nclickid 2\nwait 2\ntype veyrmark\nkey return\nwaitfor 26\nwait 2\n"
                  "type #\nwait 2\ntype 80\nkey return\nwaitfor 26\nwait 3\nshot " + shot + "\nwait 1\n"
                  "key escape\nwait 3\nkey escape\n").c_str());
  mapeditor();
  EXPECT_EQ(nbrlands, 150);
  // The camera stood on province 80, the map drawn all round it.
  EXPECT_EQ(mapcamx, provgeo[80].x);
  EXPECT_EQ(mapcamy, provgeo[80].y);
  Shot s = readshot(shot);
  ASSERT_GT(s.width, 0);
  EXPECT_GT(colours(s, {300, 50, 450, 500}), 30);
  // The window is wider than the 800 x 600 screen: the map fills it to the
  // edges, nothing is left black.
  int32_t black = 0;
  for (int32_t y = 0; y < s.height; y += 4)
    for (int32_t x : {0, 20, 40, 60, s.width - 61, s.width - 41, s.width - 21, s.width - 1}) {
      const uint8_t* p = s.at(x, y);
      black += p[0] < 8 && p[1] < 8 && p[2] < 8;
    }
  EXPECT_EQ(black, 0);
  if (getenv("VEY3_KEEPSHOTS")) printf("Editor shot: %s\n", shot.c_str());
  dropshot(shot);
}

// Where the picture's two halves meet along a line of the shot, in window
// pixels: the point between two pixel middles where the colour is half
// the one and half the other (-1 when it does not cross there). `across`
// walks x along row `at`, else y down column `at`.
float halvesmeet(const Shot& s, bool across, int32_t at, int32_t from, int32_t to) {
  auto share = [&](int32_t i) {   // 0 red, 1 blue
    const uint8_t* p = across ? s.at(i, at) : s.at(at, i);
    return (float(p[2]) - float(p[0]) + 190.0f) / 380.0f;
  };
  for (int32_t i = from; i < to; i++) {
    const float a = share(i), b = share(i + 1);
    if ((a < 0.5f) != (b < 0.5f)) return float(i) + 0.5f + (0.5f - a) / (b - a);
  }
  return -1;
}

// In a window whose margin is an odd number of pixels (803 x 600: the
// screen one pixel in from the left, two from the right; 800 x 603 the
// same up and down), what stands on the map stands where the picture shows
// the point it belongs to: province 1 lies on the line where the red and
// blue halves of the picture meet, to a quarter of a pixel, as the map is
// drawn (zoom 8, the camera a sixteenth of a map pixel off the line).
TEST_F(MapWindow, TheOverlayStandsOnThePictureInAWindowOfOddMargins) {
  for (const bool across : {true, false}) {
    Picture p(400, 300, 200, 10, 10);
    for (int32_t y = 0; y < 300; y++)
      for (int32_t x = 0; x < 400; x++)
        if (across ? x >= 200 : y >= 150) p.set(x, y, 10, 10, 200);
    const std::string name = across ? "lefthalf.tga" : "lowhalf.tga";
    writetga(mapdir() + name, p, false);
    RealWindow w(across ? 803 : 800, across ? 600 : 603);
    ASSERT_TRUE(window(w));
    wraparound = 0;
    CreateMapTextures("", name.c_str());
    ASSERT_EQ(maptex.width, 400);
    provgeo[1].x = 200;
    provgeo[1].y = 150;
    mapzoom = 8;
    mapcamx = across ? 200 - 1.0f / 16 : 200;
    mapcamy = across ? 150 : 150 - 1.0f / 16;
    const std::string shot = tempfile("halves.ppm");
    setinputscript(("wait 2\nshot " + shot + "\n").c_str());
    mapframes(0, 0, 5);
    setinputscript("");
    float px = 0, py = 0;
    guitowindow(guiviewport(), windowheight(), L2Sx(1), L2Sy(1), &px, &py);
    const Shot s = readshot(shot);
    ASSERT_GT(s.width, 0);
    const float meet = across ? halvesmeet(s, true, int32_t(py), int32_t(px) - 20, int32_t(px) + 20)
                              : halvesmeet(s, false, int32_t(px), int32_t(py) - 20, int32_t(py) + 20);
    EXPECT_NEAR(meet, across ? px : py, 0.25f) << (across ? "x" : "y");
    dropshot(shot);
    freemaptextures();
  }
}

// The map editor with a province chosen (its flag blinks) and the Random
// Map Creator over the map it made wait for input: a frame only at each
// blink, under 5 % of a core over four seconds each. Escape, sent by the X
// server, leaves each.
TEST_F(MapWindow, TheEditorAndTheRandomMapCreatorRestWhileNothingMoves) {
  RealWindow w;
  ASSERT_TRUE(window(w));
  const std::string editing = tempfile("editorrest.ppm"), made = tempfile("creatorrest.ppm");
  RestCost editor{-1, 0}, creator{-1, 0};
  auto restthen = [](const std::string& ready, RestCost* cost, const char* leave) {
    return std::thread([=] {
      while (!fileexists(ready)) sleepms(50);
      sleepms(1500);
      *cost = measurerest(4000);
      system(leave);
    });
  };
  std::thread measure = restthen(editing, &editor, "xdotool key Escape; sleep 1; xdotool key Escape");
  setinputscript(("waitfor 2\nclickid 2\nwait 2\ntype veyrmark\nkey return\nwaitfor 26\nwait 2\n"
                  "click 500 300 3\nwait 3\nshot " + editing + "\n").c_str());
  mapeditor();
  measure.join();
  measure = restthen(made, &creator, "xdotool key Escape");
  setinputscript(("waitfor 9\nclickid 9\nwait 2\nwaitfor 10\nwait 3\nshot " + made + "\n").c_str());
  random_map_creator_screen();
  measure.join();
  printf("map editor: %.1f %% of a core, %u frames; random map creator: %.1f %%, %u frames\n", editor.share * 100,
         editor.frames, creator.share * 100, creator.frames);
  EXPECT_GE(editor.share, 0);
  EXPECT_LT(editor.share, 0.05);
  EXPECT_GE(editor.frames, 4u);   // the chosen province's flag blinks on
  EXPECT_LE(editor.frames, 12u);   // two changes a second
  EXPECT_GE(creator.share, 0);
  EXPECT_LT(creator.share, 0.05);
  EXPECT_LE(creator.frames, 3u);
  dropshot(editing);
  dropshot(made);
}

}  // namespace

// Frames of the map with its overlay as the still layer and a text over it:
// the picture of the fourth frame (the first ones draw it all, the later
// ones from the still picture when nothing changed).
Shot stillframes(int32_t viewer, bool still, const char* name) {
  const std::string path = tempfile(name);
  setinputscript(("wait 3\nshot " + path + "\n").c_str());
  for (int32_t k = 0; k < 6; k++) {
    guibegin();
    setmapviewport(0, 0, 800, 600);
    drawmapoverlays(viewer, 0);
    if (still) guistilllayer();
    areatextcol(0, 300, 300, 30, 1, 0.9f, 0.5f, 1, "Over the map");
    render_frame(false, Scene::map);
  }
  setinputscript("");
  Shot s = readshot(path);
  dropshot(path);
  return s;
}

TEST_F(MapWindow, TheStillLayerDrawsWhatWholeFramesDrawAndFollowsEveryChange) {
  const int32_t viewer = veyrmark();
  ASSERT_GE(viewer, 0);
  RealWindow w(1024, 768);
  ASSERT_TRUE(window(w));
  fade = 0;
  openmapview("mark");
  cacheinfolevels(viewer, 1);
  cachearmysizes(viewer);
  mapfilter = USUALFILTER;
  const int32_t home = kingdom[size_t(viewer)].w[KW_HOMELAND];
  centremap(home);
  // Whole frames: as they stand, with the camera moved, and with a province
  // of the view changed hands.
  const int32_t l = provgeo[size_t(home)].nbr[0];
  ASSERT_GT(l, 0);
  const uint8_t owner = land[size_t(l)].owner, other = uint8_t((owner + 1) % 5);
  const float camx = mapcamx;
  const Shot whole = stillframes(viewer, false, "whole.ppm");
  mapcamx = camx + 37;
  const Shot moved = stillframes(viewer, false, "moved.ppm");
  land[size_t(l)].owner = land[size_t(l)].fortholder = other;
  const Shot taken = stillframes(viewer, false, "taken.ppm");
  ASSERT_FALSE(whole.rgb.empty());
  EXPECT_NE(moved.rgb, whole.rgb);
  EXPECT_NE(taken.rgb, moved.rgb);
  // The same with the overlay as the still layer, one change after another.
  mapcamx = camx;
  land[size_t(l)].owner = land[size_t(l)].fortholder = owner;
  EXPECT_EQ(stillframes(viewer, true, "still.ppm").rgb, whole.rgb);
  mapcamx = camx + 37;
  EXPECT_EQ(stillframes(viewer, true, "stillmoved.ppm").rgb, moved.rgb);
  land[size_t(l)].owner = land[size_t(l)].fortholder = other;
  EXPECT_EQ(stillframes(viewer, true, "stilltaken.ppm").rgb, taken.rgb);
  // While nothing changes the map is not drawn again but taken from the
  // picture; after a change, once.
  static int32_t mapdraws = 0;
  setmaphooks(nullptr, nullptr, [](int32_t) { mapdraws++; });
  mapdraws = 0;
  stillframes(viewer, true, "counted.ppm");
  EXPECT_EQ(mapdraws, 0);
  mapcamx -= 37;
  stillframes(viewer, true, "countedmoved.ppm");
  EXPECT_EQ(mapdraws, 1);
  stillframes(viewer, false, "countedwhole.ppm");
  EXPECT_EQ(mapdraws, 7);
  installmapscreens();
}
