// The strategic map of the turn screen in a real window, as a player sees
// it: names, flags and arrows follow every zoom in the same frame, an order
// given by a click shows its arrow at once, the map covers the window to its
// edges, and no province name runs over the screen's panels. The player's
// keys, wheel and clicks are real X events (xdotool) while the screen waits
// for them; the pictures are taken of the X window (ImageMagick's import).
// VEY3_KEEPSHOTS=1 keeps the pictures ($TMPDIR/vey3shots_*/*.ppm).
#include <gtest/gtest.h>
#include <unistd.h>

#include <atomic>
#include <cmath>
#include <string>
#include <thread>
#include <vector>

#include "actions/moverule.h"
#include "frontend/frontend.h"
#include "gfx/guistate.h"
#include "gfx/xwindow.h"
#include "host/hostgame.h"
#include "mapview/mapview.h"
#include "screens/turnscreen.h"
#include "support/turnscript.h"

namespace {
class TurnMap : public HostGame {
 protected:
  int32_t turnnbr = 0, home = 0;
  // The game on Veyrmark and the first nation's turn read.
  void opengame() {
    create("veyrmark.map", {0, 1}, 3);
    ASSERT_TRUE(openturn(0, &turnnbr));
    home = kingdom[0].w[KW_HOMELAND];
    quitprogram = 0;
  }
  // The map of the game in the window, as ppt makes it.
  void showmap() {
    installmapscreens();
    openmapview(game.c_str());
  }
  void panelsandedges(int32_t width, int32_t height);
  // The turn screen of the first nation under the script, until End turn.
  void play(const std::string& script) {
    setinputscript(script.c_str());
    viewland(home, 0, 0, game.c_str(), turnnbr, gamenbr, 0);
    setinputscript("");
  }
};

bool tool(const char* name) { return system(("command -v " + std::string(name) + " >/dev/null").c_str()) == 0; }

// Runs a shell command on the test's X display; true when it succeeded.
bool onx(const std::string& command) { return system(command.c_str()) == 0; }

// Pixels of two pictures of one size that differ by more than a little,
// leaving out a rectangle of window pixels (x0, y0, x1, y1).
int32_t differing(const Shot& a, const Shot& b, int32_t x0 = 0, int32_t y0 = 0, int32_t x1 = 0, int32_t y1 = 0) {
  if (a.width != b.width || a.height != b.height || a.rgb.empty() || b.rgb.empty()) return -1;
  int32_t n = 0;
  for (int32_t y = 0; y < a.height; y++)
    for (int32_t x = 0; x < a.width; x++) {
      if (x >= x0 && x < x1 && y >= y0 && y < y1) continue;
      const uint8_t *p = a.at(x, y), *q = b.at(x, y);
      n += abs(p[0] - q[0]) + abs(p[1] - q[1]) + abs(p[2] - q[2]) > 30;
    }
  return n;
}

// Pixels that differ between two pictures along the middle part of a line
// of window pixels (its second to fourth fifths), within `half` of it.
int32_t differingalong(const Shot& a, const Shot& b, float x0, float y0, float x1, float y1, float half) {
  int32_t n = 0;
  const float len = hypotf(x1 - x0, y1 - y0);
  for (float t = 0.2f; t <= 0.8f; t += 1.0f / len)
    for (float s = -half; s <= half; s += 1) {
      const int32_t x = int32_t(x0 + (x1 - x0) * t - (y1 - y0) / len * s);
      const int32_t y = int32_t(y0 + (y1 - y0) * t + (x1 - x0) / len * s);
      if (x < 0 || y < 0 || x >= a.width || y >= a.height) continue;
      const uint8_t *p = a.at(x, y), *q = b.at(x, y);
      n += abs(p[0] - q[0]) + abs(p[1] - q[1]) + abs(p[2] - q[2]) > 30;
    }
  return n;
}

// A province next to home that a commander of the nation may march to this
// month, whose point lies on the open map clear of the boxes; 0 if none.
int32_t marchtarget(int32_t nation, int32_t home) {
  for (int32_t c = 0; c <= highestcom; c++) {
    const int32_t b = com[size_t(c)].body;
    if (b < 0 || unit[size_t(b)].hp < 1 || unit[size_t(b)].owner != nation || unit[size_t(b)].land != home) continue;
    for (int32_t n = 0; n < MAXNEIGHBOURS && provgeo[size_t(home)].nbr[n] > 0; n++) {
      const int32_t l = provgeo[size_t(home)].nbr[n];
      const float x = L2Sx(l), y = L2Sy(l);
      if (x > 240 && x < 640 && y > 60 && y < 460 && mapmove(c, l, 0)) return l;
    }
  }
  return 0;
}
}  // namespace

// The player selects the home's commanders ("a") and clicks a province next
// door: the arrow stands there whole a moment later. Then Page Up is held
// and the wheel turned: the pictures right after show every name, flag and
// arrow where a screen built anew ("h" twice) puts them.
TEST_F(TurnMap, RealKeysWheelAndClicksMoveTheOverlayWithTheMap) {
  if (!tool("xdotool") || !tool("import")) GTEST_SKIP() << "xdotool and ImageMagick's import are needed";
  opengame();
  RealWindow w(1280, 800);
  ASSERT_TRUE(w.ok);
  showmap();
  mapzoom = 1;
  centremap(home);
  const int32_t target = marchtarget(0, home);
  ASSERT_GT(target, 0);
  const guiview view = guiviewfor(1280, 800);
  const auto pixel = [&](int32_t l, float* px, float* py) { guitowindow(view, 800, L2Sx(l), L2Sy(l), px, py); };
  float hx = 0, hy = 0, tx = 0, ty = 0;
  pixel(home, &hx, &hy);
  pixel(target, &tx, &ty);

  const std::string ready = tempfile("mapready.ppm");
  const std::string before = tempfile("beforeclick.ppm"), after = tempfile("afterclick.ppm");
  const std::string zoomed = tempfile("zoomed.ppm"), rebuilt = tempfile("zoomedrebuilt.ppm");
  const std::string wheeled = tempfile("wheeled.ppm"), wheelrebuilt = tempfile("wheeledrebuilt.ppm");
  std::atomic<bool> done{false};
  std::thread player([&] {
    for (int32_t k = 0; k < 3000 && access(ready.c_str(), F_OK) != 0; k++) usleep(100000);
    // The window's id in $W: pointer positions are the window's pixels.
    const std::string x = "W=$(xdotool search --name 'vey3 test' | head -n 1) && xdotool ";
    const auto shot = [](const std::string& path) {
      return onx("sleep 1.5 && import -silent -window \"$(xdotool search --name 'vey3 test' | head -n 1)\" -depth 8 ppm:" +
                 path);
    };
    onx(x + "mousemove --window $W 300 500 sleep 0.3 key a");
    shot(before);
    onx(x + "mousemove --window $W " + std::to_string(int32_t(tx)) + " " + std::to_string(int32_t(ty)) +
        " click 1 mousemove --window $W 300 500");
    shot(after);
    onx(x + "keydown Prior sleep 0.6 keyup Prior");
    shot(zoomed);
    onx(x + "key h sleep 0.3 key h");
    shot(rebuilt);
    onx(x + "click --repeat 4 --delay 60 5");
    shot(wheeled);
    onx(x + "key h sleep 0.3 key h");
    shot(wheelrebuilt);
    onx(x + "key e");
    done = true;
  });
  play(TURNSCREEN + "wait 3\nshot " + ready + "\n");
  player.join();
  ASSERT_TRUE(done);
  const Shot b = readshot(before), a = readshot(after);
  ASSERT_EQ(b.width, 1280);
  ASSERT_EQ(a.width, 1280);
  // The move arrow stands along the way from home to the target.
  EXPECT_GT(differingalong(b, a, hx, hy, tx, ty, 8), 150);
  // After each zoom the picture is the one a screen built anew shows, but
  // for the home province's blinking flags in the top right corner (the
  // home stays near the boxes there at every zoom).
  pixel(home, &hx, &hy);
  const int32_t x0 = int32_t(hx) - 300, y1 = int32_t(hy) + 150;
  const Shot z = readshot(zoomed), zr = readshot(rebuilt), m = readshot(wheeled), mr = readshot(wheelrebuilt);
  EXPECT_GT(differing(a, z), 20000);   // the zoom changed the picture
  EXPECT_LT(differing(z, zr, x0, 0, 1280, y1), 100);
  EXPECT_GT(differing(zr, m), 20000);
  EXPECT_LT(differing(m, mr, x0, 0, 1280, y1), 100);
  for (const std::string& s : {ready, before, after, zoomed, rebuilt, wheeled, wheelrebuilt}) dropshot(s);
}

namespace {
// Text areas of the map's still layer that are drawn (not left out).
std::vector<int32_t> mapnames() {
  std::vector<int32_t> out;
  for (int32_t i = 0; i < gui.stillend && i < guiareacount(); i++)
    if (guiareaget(i).kind == AreaKind::text && guiareaget(i).length > 0) out.push_back(i);
  return out;
}
bool meets(const guiarea& a, const guirect& r) { return a.x < r.x + r.w && r.x < a.x + a.w && a.y < r.y + r.h && r.y < a.y + a.h; }
}  // namespace

// Over the whole map, at the usual zoom and zoomed out, no province name
// stands under a box or button of the screen; names may stand on one
// another, each at its own province. The window opens on the capital clear
// of the boxes, and a jump to the corner province of the map (bottom left)
// puts the camera on it, the background beyond the map's edges there.
void TurnMap::panelsandedges(int32_t width, int32_t height) {
  opengame();
  RealWindow w(width, height);
  ASSERT_TRUE(w.ok);
  showmap();
  openturnscreen(home, 0, 0, game.c_str(), turnnbr, gamenbr, 0);
  buildturnframe();
  EXPECT_FALSE(pointinguiwindow(L2Sx(home), L2Sy(home)));
  int32_t corner = 1;
  for (int32_t l = 1; l <= nbrlands; l++)
    if (provgeo[size_t(l)].x + provgeo[size_t(l)].y < provgeo[size_t(corner)].x + provgeo[size_t(corner)].y) corner = l;
  turnscreen.gotoprov = corner;
  const std::string shot = tempfile(("turnmap" + std::to_string(width) + ".ppm").c_str());
  setinputscript(("wait 2\nshot " + shot + "\n").c_str());
  for (int32_t k = 0; k < 6; k++) {
    buildturnframe();
    render_frame(false, Scene::map);
  }
  setinputscript("");
  const guirect v = guivisible();
  const Shot s = readshot(shot);
  ASSERT_EQ(s.width, width);
  // The background picture along the window's left and bottom edges.
  EXPECT_EQ(mapcamx, provgeo[size_t(corner)].x);
  EXPECT_EQ(mapcamy, provgeo[size_t(corner)].y);
  const float pixel = float(width) / v.w;   // window pixels a unit
  for (const guirect r : {guirect{v.x, v.y, 20, 495 - v.y}, guirect{v.x, v.y, 676 - v.x, 20}})
    EXPECT_GT(pixelslike(s, r, 34, 42, 58, 20), int32_t(r.w * r.h * pixel * pixel / 2)) << r.x << " " << r.y;
  if (getenv("VEY3_KEEPSHOTS")) printf("turn screen: %s\n", shot.c_str());
  dropshot(shot);
  int32_t hidden = 0, underpanels = 0, onnames = 0, away = 0;
  std::string first;
  for (const float zoom : {1.0f, 0.6f})
    for (float x = 0; x <= float(mapwidth()); x += 160)
      for (float y = 0; y <= float(mapheight()); y += 120) {
        mapzoom = zoom;
        mapcamx = x;
        mapcamy = y;
        buildturnframe();
        const std::vector<int32_t> names = mapnames();
        for (int32_t i : names) {
          const guiarea& a = guiareaget(i);
          const std::string name(guiareatext(a), size_t(a.length));
          for (const guirect& r : gui.windows)
            if (meets(a, r) && underpanels++ == 0) first = name;
          int32_t at = 0;
          for (int32_t l = 1; l <= nbrlands && !at; l++)
            if (name == land[size_t(l)].name && fabsf(a.x + a.w / 2 - L2Sx(l)) < 1) at = l;
          away += at == 0;
          for (int32_t j : names)
            if (j > i && meets(a, {guiareaget(j).x, guiareaget(j).y, guiareaget(j).w, guiareaget(j).h}) && onnames++ == 0)
              first = name;
        }
        for (int32_t i = 0; i < gui.stillend; i++) hidden += guiareaget(i).kind == AreaKind::text && guiareaget(i).length == 0;
      }
  EXPECT_EQ(underpanels, 0) << first;
  EXPECT_GT(onnames, 0);   // crowded names are all drawn
  EXPECT_EQ(away, 0);
  EXPECT_GT(hidden, 0);   // there were names under the panels
}

TEST_F(TurnMap, NamesClearOfPanelsAndTheCameraOnTheMapsCornerAt800x600) { panelsandedges(800, 600); }
TEST_F(TurnMap, NamesClearOfPanelsAndTheCameraOnTheMapsCornerAt1280x800) { panelsandedges(1280, 800); }
TEST_F(TurnMap, NamesClearOfPanelsAndTheCameraOnTheMapsCornerAt1920x1080) { panelsandedges(1920, 1080); }
