// Projection, wrapped copies, picking and the camera, as plain numbers.
#include <array>
#include <cmath>

#include "gfx/gui.h"
#include "mapview/mapsupport.h"
#include "mapview/mapview.h"
#include "runtime/settings.h"

namespace {

using Camera = MapWorld;

TEST_F(Camera, ProvinceToScreenUsesFixedCentreAndViewportMiddle) {
  placeland(1, 500, 300);
  mapcamx = 500;
  mapcamy = 300;
  EXPECT_FLOAT_EQ(L2Sx(1), 400);
  EXPECT_FLOAT_EQ(L2Sy(1), 300);
  // The horizontal centre stays at 400 whatever the viewport; y follows it.
  setmapviewport(100, 50, 400, 200);
  mapzoom = 2;
  placeland(2, 510, 290);
  EXPECT_FLOAT_EQ(L2Sx(2), 420);
  EXPECT_FLOAT_EQ(L2Sy(2), 130);
  EXPECT_DEATH(L2Sx(1504), "L2Sx: bad lnr");
  EXPECT_DEATH(L2Sy(-1), "L2Sy: bad lnr");
}

TEST_F(Camera, NearestCopyAcrossTheSeam) {
  placeland(1, 990, 400);
  setmap(1000, 800, true);
  // Seen from screen x 10 the province stands at its copy 999 units left.
  EXPECT_FLOAT_EQ(nearestcopyx(1, 10, 300), 890 - 999);
  EXPECT_FLOAT_EQ(nearestcopyy(1, 10, 300), 300);
  // Far from every copy it still answers one of them.
  EXPECT_FLOAT_EQ(nearestcopyx(1, 1e6f, 300), 890 + 2 * 999);
  setmap(1000, 800, false);
  EXPECT_FLOAT_EQ(nearestcopyx(1, 10, 300), 890);
}

TEST_F(Camera, PickingTiesAndEmptyMaps) {
  placeland(1, 400, 400);
  placeland(2, 600, 401);
  nbrlands = 2;
  // 100.7 and 100.3 units away: equal once truncated, so the lower number
  // wins though the other lies nearer.
  EXPECT_EQ(provatpoint(0, 400.7f, 300), 1);
  EXPECT_EQ(provatpoint(0, 401.5f, 300), 2);
  // No distance limit.
  EXPECT_EQ(provatpoint(0, 9000, 9000), 2);
  nbrlands = 0;
  EXPECT_EQ(provatpoint(1, 400, 300), -1);
}

// A click on the map's hot spot picks the province there, on either
// button; a click on the screen's window, or another id, picks none.
TEST_F(Camera, MapClicksPickTheProvinceUnlessOnTheWindow) {
  placeland(1, 200, 300);
  placeland(2, 880, 300);
  nbrlands = 2;
  guibegin();
  guibutton(7, "A window at the left edge");
  guishow(10, -1);
  const guirect w = guishownwindow();
  clickx = 760, clicky = 320;   // near province 2, far from the window
  EXPECT_EQ(mapclickprovince(MAPCLICK_ID, MAPCLICK_ID), 2);
  EXPECT_EQ(mapclickprovince(-MAPCLICK_ID, MAPCLICK_ID), 2);
  EXPECT_EQ(mapclickprovince(7, MAPCLICK_ID), 0);
  EXPECT_EQ(mapclickprovince(0, 0), 0);
  clickx = w.x + w.w + 10, clicky = w.y + w.h / 2;   // beside the window's right edge
  EXPECT_EQ(mapclickprovince(MAPCLICK_ID, MAPCLICK_ID), 0);
  clickx = w.x + w.w + 40;
  EXPECT_EQ(mapclickprovince(MAPCLICK_ID, MAPCLICK_ID), 1);
  nbrlands = 0;
  EXPECT_EQ(mapclickprovince(MAPCLICK_ID, MAPCLICK_ID), 0);
}

// Every province is found again from its own screen point, at zooms from
// the whole map to the closest, with the camera near the seam so that
// provinces are seen through their copies.
TEST_F(Camera, RoundTripProvinceScreenProvinceAtSeveralZoomsAndAcrossTheWrap) {
  nbrlands = 0;
  for (int32_t y = 50; y < 800; y += 100)
    for (int32_t x = 50; x < 1000; x += 100) placeland(++nbrlands, x, y);
  ASSERT_LE(nbrlands, 1503);
  for (bool wrap : {false, true}) {
    setmap(1000, 800, wrap);
    for (float zoom : {0.6f, 1.0f, 2.5f, 8.0f})
      for (std::array<float, 2> cam : {std::array<float, 2>{450, 350}, {980, 30}, {20, 770}}) {
        mapzoom = zoom;
        mapcamx = cam[0];
        mapcamy = cam[1];
        int32_t checked = 0;
        for (int32_t l = 1; l <= nbrlands; l++) {
          const MapPoint p = nearestcopy(l, 400, 300);
          if (p.x < 0 || p.x > 800 || p.y < 0 || p.y > 600) continue;
          checked++;
          ASSERT_EQ(provatpoint(wrap, p.x, p.y), l) << "zoom " << zoom << " camera " << cam[0] << "," << cam[1];
          // A click a little off the province still finds it.
          ASSERT_EQ(provatpoint(wrap, p.x + 20 * zoom, p.y - 20 * zoom), l);
        }
        EXPECT_GT(checked, 0);
        // With wrap the screen near the seam shows provinces from both
        // sides of the map; without it, half the screen is empty.
        if (wrap && cam[0] == 980) {
          const MapPoint p = nearestcopy(1, 400, 300);   // at map x 50, right of the seam
          EXPECT_GT(p.x, 400);
        }
      }
  }
}

TEST_F(Camera, WheelZoomWithinTheLimits) {
  setmap(1600, 1200, false);
  MapControls in{400, 300, 0, 3, 0};
  EXPECT_EQ(mapmousescroll(1, 0.02f, in), 1);
  EXPECT_NEAR(mapzoom, 1.3f, 1e-5);
  in.wheelsteps = -5;
  mapmousescroll(1, 0.02f, in);
  EXPECT_NEAR(mapzoom, 0.65f, 1e-5);
  in.wheelsteps = -9;
  mapmousescroll(1, 0.02f, in);
  EXPECT_FLOAT_EQ(mapzoom, 0.3f);   // 480 / 1600
  in.wheelsteps = 40;
  for (int k = 0; k < 5; k++) mapmousescroll(1, 0.02f, in);
  EXPECT_FLOAT_EQ(mapzoom, MAPMAXZOOM);
  // Wheel motion that the map forgot (another scene was shown) never zooms.
  mapzoom = 1;
  in.wheelsteps = 4;
  EXPECT_EQ(mapmousescroll(-1, 0, in), 0);
  EXPECT_FLOAT_EQ(mapzoom, 1);
  // The preference turns wheel zoom off.
  wheelzoom = 0;
  EXPECT_EQ(mapmousescroll(1, 0.02f, in), 0);
  EXPECT_FLOAT_EQ(mapzoom, 1);
  wheelzoom = 1;
  // Without a map there is no lower limit, but the zoom stays above 0.
  setmap(0, 0, false);
  in.wheelsteps = -12;
  mapmousescroll(1, 0.02f, in);
  EXPECT_GT(mapzoom, 0);
}

TEST_F(Camera, ZoomFromAFileKeptWithinTheLimits) {
  setmap(1600, 1200, false);
  defaultmapzoom = 0.75f;
  for (float bad : {0.0f, -2.0f, NAN, INFINITY}) {
    mapzoom = bad;
    mapzoomlimits();
    EXPECT_FLOAT_EQ(mapzoom, 0.75f) << bad;
  }
  mapzoom = 100;
  mapzoomlimits();
  EXPECT_FLOAT_EQ(mapzoom, MAPMAXZOOM);
  mapzoom = 0.01f;
  mapzoomlimits();
  EXPECT_FLOAT_EQ(mapzoom, 0.3f);
  defaultmapzoom = NAN;
  mapzoom = NAN;
  mapzoomlimits();
  EXPECT_FLOAT_EQ(mapzoom, 1);
}

TEST_F(Camera, DragEdgeScrollAndMapEdges) {
  setmap(1000, 800, false);
  mapzoom = 2;
  mapcamx = 500;
  mapcamy = 400;
  MapControls in{300, 300, 4, 0, 0};
  mapmousescroll(1, 0.02f, in);   // the press: nothing moves yet
  in.pointerx = 340;
  EXPECT_EQ(mapmousescroll(1, 0.02f, in), 1);
  EXPECT_FLOAT_EQ(mapcamx, 480);   // 40 units right at zoom 2: 20 pixels left
  // Edge scrolling only in full screen, and not while dragging.
  in = {0, 300, 0, 0, 0};
  mapmousescroll(1, 0.02f, in);
  EXPECT_EQ(mapmousescroll(1, 0.1f, in), 0);
  EXPECT_FLOAT_EQ(mapcamx, 480);
  in.fullscreen = 1;
  EXPECT_EQ(mapmousescroll(1, 0.1f, in), 1);
  EXPECT_FLOAT_EQ(mapcamx, 480 - 75 / 2.5f);
  in.pointery = 600;
  mapmousescroll(1, 0.1f, in);
  EXPECT_FLOAT_EQ(mapcamy, 400 + 30);
  edgescroll = 0;
  EXPECT_EQ(mapmousescroll(1, 0.1f, in), 0);
  edgescroll = 1;
  // Without wrap the camera stays on the map, whatever the zoom: it may
  // stand on an edge, half a screen of background beyond it. Jumping to a
  // province on the edge puts the camera there. With wrap it goes once
  // around.
  for (const float zoom : {2.0f, 0.6f}) {
    mapzoom = zoom;
    mapcamx = -10;
    mapcamy = 805;
    mapcameraedges();
    EXPECT_FLOAT_EQ(mapcamx, 0) << zoom;
    EXPECT_FLOAT_EQ(mapcamy, 800) << zoom;
    mapcamx = 1200;
    mapcamy = -0.5f;
    mapcameraedges();
    EXPECT_FLOAT_EQ(mapcamx, 1000) << zoom;
    EXPECT_FLOAT_EQ(mapcamy, 0) << zoom;
    mapcamx = 999;
    mapcamy = 1;
    mapcameraedges();
    EXPECT_FLOAT_EQ(mapcamx, 999) << zoom;
    EXPECT_FLOAT_EQ(mapcamy, 1) << zoom;
  }
  provgeo[1].x = 0;
  provgeo[1].y = 800;
  centremap(1);
  EXPECT_FLOAT_EQ(mapcamx, 0);
  EXPECT_FLOAT_EQ(mapcamy, 800);
  setmap(1000, 800, true);
  mapcamx = -10;
  mapcamy = 800;
  mapcameraedges();
  EXPECT_FLOAT_EQ(mapcamx, 990);
  EXPECT_FLOAT_EQ(mapcamy, 0);
}

TEST_F(Camera, KeysScrollAndZoom) {
  std::array<uint8_t, 320> keys{};
  setmap(1600, 1200, false);
  mapcamx = 800;
  mapcamy = 600;
  EXPECT_EQ(mapkeyscroll(0.1f, keys.data()), 0);
  keys[275] = keys[273] = 1;   // right and up
  EXPECT_EQ(mapkeyscroll(0.1f, keys.data()), 1);
  EXPECT_FLOAT_EQ(mapcamx, 850);   // 75 units at zoom 1: 50 pixels
  EXPECT_FLOAT_EQ(mapcamy, 650);
  keys = {};
  // A long frame counts as half a second.
  keys[276] = 1;
  mapkeyscroll(3.0f, keys.data());
  EXPECT_FLOAT_EQ(mapcamx, 850 - 250);
  keys = {};
  // A second of Page Down: 750 factors of 0.999.
  keys[281] = 1;
  mapkeyscroll(0.5f, keys.data());
  mapkeyscroll(0.5f, keys.data());
  EXPECT_NEAR(mapzoom, powf(0.999f, 750), 2e-3);
  for (int k = 0; k < 10; k++) mapkeyscroll(0.5f, keys.data());
  EXPECT_FLOAT_EQ(mapzoom, 0.3f);
  keys = {};
  keys[280] = 1;
  for (int k = 0; k < 20; k++) mapkeyscroll(0.5f, keys.data());
  EXPECT_FLOAT_EQ(mapzoom, MAPMAXZOOM);
}

}  // namespace

namespace {
// One map frame of the key camera at `now` ms: the right arrow held, tapped
// `taps` times since the frame before; the camera's move across.
// One frame after the one before, or after `skipped` frames without the
// camera (a dialog's).
uint32_t framenumber = 0;
float rightframe(MapKeyClock& clock, uint32_t now, uint32_t elapsed, bool held, uint8_t taps = 0,
                 uint32_t skipped = 0) {
  std::array<uint8_t, 320> keys{}, tapped{};
  keys[KEY_RIGHT] = held;
  tapped[KEY_RIGHT] = taps;
  const float before = mapcamx;
  framenumber += 1 + skipped;
  mapkeyframe(clock, now, elapsed, 20, framenumber, keys.data(), tapped.data());
  return mapcamx - before;
}

// The right arrow held from `press` for `hold` ms, frames at the pace of 20
// ms from `first` on, `quiet` ms after the frame before them, the first of
// them counting `firstelapsed`: the move.
float heldfor(uint32_t quiet, uint32_t first, uint32_t firstelapsed, uint32_t press, uint32_t hold) {
  MapKeyClock clock;
  rightframe(clock, first - quiet, 20, false);
  float moved = 0;
  uint32_t last = first - quiet;
  for (uint32_t now = first; now < press + hold + 100; now += 20) {
    const bool down = now >= press && now < press + hold;
    const bool tapped = !down && last < press && now >= press + hold;
    moved += rightframe(clock, now, now == first ? firstelapsed : now - last, down, tapped);
    last = now;
  }
  return moved;
}
}  // namespace

TEST_F(Camera, AKeyPressedCountsOneFrameWhateverTheStillnessBeforeIt) {
  setmap(4000, 4000, false);
  mapcamx = mapcamy = 2000;
  const float frame = 750.0f * 0.02f / 1.5f;   // one frame at the pace, zoom 1
  MapKeyClock clock;
  rightframe(clock, 1000, 20, false);
  // Pressed after three still seconds, found by a frame whose elapsed time
  // is the cap: one frame's step; held, the time since the frame before.
  EXPECT_FLOAT_EQ(rightframe(clock, 4000, 500, true), frame);
  EXPECT_FLOAT_EQ(rightframe(clock, 4005, 500, true), 750.0f * 0.005f / 1.5f);
  EXPECT_FLOAT_EQ(rightframe(clock, 4035, 30, true), 750.0f * 0.03f / 1.5f);
  // ... also where the frame came late and counts less of its own (a busy
  // machine), up to half a second ...
  EXPECT_FLOAT_EQ(rightframe(clock, 4100, 40, true), 750.0f * 0.065f / 1.5f);
  EXPECT_FLOAT_EQ(rightframe(clock, 5100, 500, true), 750.0f * 0.5f / 1.5f);
  // ... and at most the frame's own time where a dialog's frames came between.
  EXPECT_FLOAT_EQ(rightframe(clock, 9000, 25, true, 0, 40), 750.0f * 0.025f / 1.5f);
  // A frame within the clock's tick of the one before moves nothing, but
  // tells that the key is held (so the frames go on), also for a Page key
  // whose zoom takes whole steps; let go, the key is told no more.
  const float zoombefore = mapzoom;
  std::array<uint8_t, 320> keys{}, none{};
  keys[KEY_PAGEUP] = 1;
  mapkeyframe(clock, 9000, 20, 20, ++framenumber, keys.data(), none.data());
  const float zoom = mapzoom;
  EXPECT_EQ(mapkeyframe(clock, 9000, 20, 20, ++framenumber, keys.data(), none.data()), 1);
  EXPECT_FLOAT_EQ(mapzoom, zoom);
  EXPECT_EQ(mapkeyframe(clock, 9000, 20, 20, ++framenumber, none.data(), none.data()), 0);
  mapzoom = zoombefore;
  // Let go and pressed again, tapped twice meanwhile: three frames' steps.
  rightframe(clock, 9020, 20, false);
  EXPECT_FLOAT_EQ(rightframe(clock, 9800, 500, true, 2), 3 * frame);
  // Another scene was shown: a key still held counts as newly pressed.
  mapkeyforget(clock);
  EXPECT_FLOAT_EQ(rightframe(clock, 12000, 500, true), frame);
  // A key held for t moves the map as far on a screen that stood still
  // (its first frame after the press counting the cap of 500 ms) as on one
  // that draws every frame, to a frame's step; a short press or a tap as
  // far as a frame or two.
  for (const uint32_t hold : {3u, 12u, 35u, 150u, 700u}) {
    const float still = heldfor(3000, 20007, 500, 20000, hold), steady = heldfor(20, 10000, 20, 20000, hold);
    EXPECT_NEAR(still, steady, frame + 0.01f) << hold;
    EXPECT_NEAR(steady, 750.0f * float(hold) / 1000 / 1.5f, 1.01f * frame) << hold;
    EXPECT_GE(still, frame - 0.01f) << hold;
  }
}
