// The province's look on the battlefield, in a real window: the sky box
// around the field turning with the camera and closed at its edges, the
// default sky's and a province's own.
// VEY3_KEEPSHOTS=1 keeps the pictures ($TMPDIR/vey3shots_*/look*.ppm).
#include <algorithm>
#include <cmath>
#include <memory>
#include <string>
#include <vector>

#include "battle/battle.h"
#include "battleview/battleview.h"
#include "gfx/xwindow.h"
#include "runtime/fatal.h"
#include "runtime/image.h"
#include "world/world.h"

namespace {
constexpr int32_t LAND = 4;

// Mean colour of a row's pixels from x0 up to x1.
std::array<float, 3> rowmean(const Shot& s, int32_t y, int32_t x0, int32_t x1) {
  std::array<float, 3> sum{};
  for (int32_t x = x0; x < x1; x++)
    for (int32_t c = 0; c < 3; c++) sum[size_t(c)] += float(s.at(x, y)[c]);
  for (float& v : sum) v /= float(x1 - x0);
  return sum;
}

// The largest step in colour between neighbouring pixels along a row, and
// the darkest pixel's brightness.
struct RowSteps {
  int32_t largest, darkest;
};
RowSteps rowsteps(const Shot& s, int32_t y) {
  RowSteps r{0, 999};
  for (int32_t x = 0; x < s.width; x++) {
    const uint8_t* p = s.at(x, y);
    r.darkest = std::min(r.darkest, p[0] + p[1] + p[2]);
    if (x == 0) continue;
    const uint8_t* q = s.at(x - 1, y);
    r.largest = std::max(r.largest, abs(p[0] - q[0]) + abs(p[1] - q[1]) + abs(p[2] - q[2]));
  }
  return r;
}

class BattleLook : public testing::Test {
 protected:
  void SetUp() override {
    clearworld();
    nbrlands = 8;
  }
  void TearDown() override { battleviewend(); }

  // One frame of the watched field from the given camera, read back.
  Shot look(const char* name, float yaw, float pitch) {
    battlecamera.yaw = yaw;
    battlecamera.pitch = pitch;
    const std::string path = tempfile(name);
    setinputscript(("shot " + path + "\n").c_str());
    for (int32_t i = 0; i < 2; i++) render_frame(false, Scene::battlefield);
    setinputscript("");
    const Shot s = readshot(path);
    dropshot(path);
    return s;
  }

  // Turning all the way round in small steps, a box edge crosses the view
  // every quarter turn: no row of the sky ever breaks into a dark gap or a
  // sudden step of colour, up in the sky nor where it meets the box's top.
  void expectnoseams() {
    for (int32_t step = 0; step < 16; step++) {
      const Shot s = look("lookturn.ppm", float(step) * 0.3927f, 0.08f);
      ASSERT_GT(s.width, 0);
      for (int32_t y : {2, 50, 100}) {
        const RowSteps r = rowsteps(s, y);
        EXPECT_GT(r.darkest, 150) << "step " << step << " row " << y;
        EXPECT_LT(r.largest, 40) << "step " << step << " row " << y;
      }
    }
  }
};

}  // namespace

TEST_F(BattleLook, TheSkyTurnsWithTheCameraAroundTheFieldWithoutSeams) {
  RealWindow w;
  ASSERT_TRUE(w.ok);
  battleviewbegin(LAND);
  ASSERT_NE(battlesky().texture, 0u);
  EXPECT_TRUE(battlesky().round) << "the default sky repeats across";
  // Looking across the field: the top of the view is sky, blue above the haze.
  const Shot east = look("looksky1.ppm", 0.3f, 0.08f), west = look("looksky2.ppm", 0.3f + 2.2f, 0.08f);
  ASSERT_GT(east.width, 0);
  ASSERT_GT(west.width, 0);
  const std::array<float, 3> top = rowmean(east, 5, 0, east.width);
  EXPECT_GT(top[2], top[0] + 40) << "the sky at the top of the view is blue";
  // Turned about, the sky's clouds stand elsewhere at the top of the view.
  int32_t moved = 0;
  for (int32_t y = 0; y < 200; y += 4)
    for (int32_t x = 0; x < east.width; x += 4) {
      const uint8_t *a = east.at(x, y), *b = west.at(x, y);
      if (abs(a[0] - b[0]) + abs(a[1] - b[1]) + abs(a[2] - b[2]) > 30) moved++;
    }
  EXPECT_GT(moved, 200);
  expectnoseams();
}

TEST_F(BattleLook, AProvincesOwnSkyIsLaidRoundWithoutSeamsAndAMissingOneGivesTheDefault) {
  RealWindow w;
  ASSERT_TRUE(w.ok);
  // A data folder of the test's own with one sky picture: blue on the
  // left to white on the right, so its edges do not meet.
  const std::string folder = tempfile("lookdata");
  mkdirs(folder.c_str());
  strlcopy(datapath, folder.c_str(), PATHLEN);
  const int32_t side = 64;
  std::vector<uint8_t> px(size_t(side * side * 4));
  for (int32_t y = 0; y < side; y++)
    for (int32_t x = 0; x < side; x++) {
      uint8_t* p = &px[size_t((y * side + x) * 4)];
      p[0] = p[1] = uint8_t(40 + x * 3);
      p[2] = 230;
      p[3] = 255;
    }
  ASSERT_EQ(savetga(px.data(), side, side, (folder + "/gradient.tga").c_str()), 1);
  strlcopy(provgeo[LAND].skybox, "gradient.tga", sizeof provgeo[LAND].skybox);
  battleviewbegin(LAND);
  const BattleSky own = battlesky();
  ASSERT_NE(own.texture, 0u);
  EXPECT_FALSE(own.round);
  expectnoseams();
  // The picture's colours fill the top of the view: blue, red and green
  // alike low, rising together toward the white edge.
  const Shot s = look("lookown.ppm", 0.3f, 0.08f);
  const std::array<float, 3> top = rowmean(s, 5, 0, s.width);
  EXPECT_GT(top[2], 200);
  EXPECT_NEAR(top[0], top[1], 6);
  // A missing picture is named in the log and the default sky stands.
  strlcopy(provgeo[LAND].skybox, "nosuchsky.tga", sizeof provgeo[LAND].skybox);
  strlcopy(datapath, VEY3_DATA_DIR, PATHLEN);
  debuglevel = 1;
  testing::internal::CaptureStdout();
  battleviewbegin(LAND);
  const std::string log = testing::internal::GetCapturedStdout();
  debuglevel = 0;
  EXPECT_NE(log.find("nosuchsky.tga"), std::string::npos);
  EXPECT_TRUE(battlesky().round);
  EXPECT_NE(battlesky().texture, own.texture);
  remove((folder + "/gradient.tga").c_str());
  rmdir(folder.c_str());
}

TEST_F(BattleLook, TheFieldTakesTheGroundColoursOfItsProvince) {
  RealWindow w;
  ASSERT_TRUE(w.ok);
  // Three provinces on the same battle map: one red ground, one blue, one
  // left to the default; the middle of the field seen from above.
  const int16_t red[3] = {190, 60, 40}, blue[3] = {40, 70, 200};
  std::copy(red, red + 3, provgeo[4].groundcol);
  std::copy(blue, blue + 3, provgeo[5].groundcol);
  std::array<std::array<float, 3>, 3> seen{};
  for (int32_t l : {4, 5, 6}) {
    battleviewbegin(l);
    const Shot s = look("lookground.ppm", 1.0f, 1.35f);
    ASSERT_GT(s.width, 0);
    std::array<float, 3> sum{};
    for (int32_t y = s.height / 3; y < s.height * 2 / 3; y += 8) {
      const std::array<float, 3> m = rowmean(s, y, s.width / 3, s.width * 2 / 3);
      for (size_t c = 0; c < 3; c++) sum[c] += m[c];
    }
    seen[size_t(l - 4)] = sum;
    battleviewend();
  }
  const auto& r = seen[0];
  const auto& b = seen[1];
  const auto& d = seen[2];
  EXPECT_GT(r[0], r[2] * 2) << "red ground";
  EXPECT_GT(b[2], b[0] * 2) << "blue ground";
  EXPECT_GT(d[1], d[0]) << "the default ground is green";
  EXPECT_GT(d[1], d[2]);
  // "empty" as the battle map: a translucent floor in the province's ground
  // colour, with the field's middle on it, and no complaint in the log.
  strlcopy(provgeo[4].batmap, "empty", sizeof provgeo[4].batmap);
  debuglevel = 1;
  testing::internal::CaptureStdout();
  battleviewbegin(4);
  const std::string log = testing::internal::GetCapturedStdout();
  debuglevel = 0;
  EXPECT_EQ(log.find("Warning"), std::string::npos) << log;
  EXPECT_EQ(battlemap.width, 0);
  float x = 0, z = 0;
  fieldsquarepoint(0, 0, &x, &z);
  EXPECT_GT(x, 0);
  EXPECT_GT(z, 0);
  fieldsquarepoint(FIELDW - 1, FIELDH - 1, &x, &z);
  EXPECT_LT(x, FLOORSPAN);
  EXPECT_LT(z, FLOORSPAN);
  const Shot floor = look("lookfloor.ppm", 1.0f, 1.35f);
  const std::array<float, 3> m = rowmean(floor, floor.height / 2, floor.width / 3, floor.width * 2 / 3);
  EXPECT_GT(m[0], m[2] + 30) << "the floor is the province's red";
}

TEST_F(BattleLook, FarTerrainDrawnCoarserLeavesNoGapsBetweenItsBlocks) {
  RealWindow w;
  ASSERT_TRUE(w.ok);
  // A wide field of sharp bumps, so that blocks drawn at different steps
  // have edges far apart; seen from far enough that the steps differ.
  const std::string folder = tempfile("lookrough");
  mkdirs((folder + "/battlemaps").c_str());
  auto map = std::make_unique<battlemapdata>();
  clearbattlemap(*map);
  map->width = map->depth = 200;
  map->cellsize = 150;
  for (int32_t y = 0; y < 200; y++)
    for (int32_t x = 0; x < 200; x++)
      map->height[size_t(y * 200 + x)] = int16_t(((x * 7 + y * 13) % 5) * 90 + 150 * sin(x * 0.2) * cos(y * 0.15));
  ASSERT_EQ(writebattlemap((folder + "/battlemaps/rough.v3m").c_str(), *map), 1);
  strlcopy(datapath, folder.c_str(), PATHLEN);
  strlcopy(provgeo[LAND].batmap, "rough.v3m", sizeof provgeo[LAND].batmap);
  // Magenta fog, so that the far land behind any gap stands out from the
  // green ground before the fog begins.
  const int16_t ground[3] = {40, 160, 40}, fog[3] = {255, 0, 255};
  std::copy(ground, ground + 3, provgeo[LAND].groundcol);
  std::copy(fog, fog + 3, provgeo[LAND].fogcol);
  battleviewbegin(LAND);
  ASSERT_EQ(battlemap.width, 200);
  battlecamera.distance = 160;
  for (float yaw : {0.2f, 1.1f, 2.5f}) {
    const Shot s = look("lookrough.ppm", yaw, 0.7f);
    ASSERT_GT(s.width, 0);
    int32_t gaps = 0;
    for (int32_t y = s.height * 3 / 10; y < s.height; y++)
      for (int32_t x = 0; x < s.width; x++) {
        const uint8_t* p = s.at(x, y);
        if (p[0] > p[1] + 20 && p[2] > p[1] + 20) gaps++;
      }
    EXPECT_EQ(gaps, 0) << "yaw " << yaw;
  }
  strlcopy(datapath, VEY3_DATA_DIR, PATHLEN);
  remove((folder + "/battlemaps/rough.v3m").c_str());
  rmdir((folder + "/battlemaps").c_str());
  rmdir(folder.c_str());
}
