#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

#include "support/testdir.h"
#include "runtime/alloc.h"
#include "runtime/folders.h"
#include "runtime/image.h"
#include "runtime/options.h"
#include "runtime/trs.h"
#include "runtime/util.h"
#include "runtime/workers.h"
#include "world/world.h"
#include "worldgen/randmap.h"

namespace {
// An empty folder of the name inside this run's own scratch folder (other
// checkouts run these tests at the same time), removed at the end.
std::string folder(const char* name) {
  static TestDir scratch;
  std::string f = scratch / (std::string("rm_") + name);
  std::error_code ignored;
  std::filesystem::remove_all(f, ignored);
  mkdirs(f.c_str());
  return f;
}

std::string readtext(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

std::vector<std::string> lines(const std::string& text) {
  std::vector<std::string> out;
  std::string line;
  std::istringstream in(text);
  while (std::getline(in, line)) out.push_back(line);
  return out;
}

// One map made and written with fixed seeds and small sizes.
struct Made {
  std::string dir, map, picture;
  int ok = 0;
};

Made make(const char* tag, int32_t w, int32_t h, int32_t provinces, float sea, float mount, int32_t rivers = 0,
          int32_t aa = 0, int32_t seed = 11) {
  settrsfolder(VEY3_DATA_DIR);
  Made m;
  m.dir = folder(tag);
  seedrandommap(seed);
  m.ok = CreateRandomMap("testmap", m.dir.c_str(), w, h, provinces, 0, aa, rivers, 0.3f, sea, mount);
  if (!m.ok) return m;
  std::string path = m.dir + "/testmap.map";
  EXPECT_EQ(write_random_map_file(path.c_str(), "testmap", 0), 1);
  m.map = readtext(path);
  m.picture = m.dir + "/testmap.rgb";
  return m;
}

uint32_t terrainof(const std::string& map, int32_t land) {
  for (const std::string& l : lines(map)) {
    int32_t a;
    unsigned mask;
    if (sscanf(l.c_str(), "#terrain %d %u", &a, &mask) == 2 && a == land) return mask;
  }
  return 0xFFFFFFFFu;
}

class RandomMapOptions : public testing::Test {
 protected:
  void SetUp() override {
    resetoptions();
    textonly = 1;
    rmimpassable = 0;
    settrsfolder(VEY3_DATA_DIR);
    flushtrscache();
  }
  void TearDown() override {
    resetoptions();
    rmimpassable = 0;
  }
};
using RandomMapShares = RandomMapOptions;
}  // namespace

TEST_F(RandomMapOptions, SameSeedsGiveByteIdenticalFiles) {
  Made a = make("seed_a", 300, 220, 16, 0.3f, 0.2f, 100);
  Made b = make("seed_b", 300, 220, 16, 0.3f, 0.2f, 100);
  ASSERT_TRUE(a.ok && b.ok);
  EXPECT_EQ(a.map, b.map);
  EXPECT_EQ(readtext(a.picture), readtext(b.picture));
  Made c = make("seed_c", 300, 220, 16, 0.3f, 0.2f, 100, 0, 12);
  EXPECT_NE(readtext(a.picture), readtext(c.picture));
  // The division shares its work among threads and bands of rows; how many
  // must not show. One-row bands settle every pick across a band's edge.
  // The threads run as on a quiet machine of 8 cores (a busy one gives the
  // pool no helpers), and as on a busy one.
  for (auto [threads, bandrows, load] : {std::tuple{3, 0, "0 0 0 1/99 1"}, {8, 0, "0 0 0 1/99 1"},
                                         {8, 1, "0 0 0 1/99 1"}, {8, 0, "30 30 30 31/99 1"}, {1, 1000, ""}}) {
    rm.threads = threads;
    rm.bandrows = bandrows;
    setmachineload(load, 8);
    Made t = make("seed_threads", 300, 220, 16, 0.3f, 0.2f, 100);
    setmachineload("");
    rm.threads = 0;
    rm.bandrows = 0;
    ASSERT_TRUE(t.ok);
    EXPECT_EQ(t.map, a.map) << threads << " " << bandrows;
    EXPECT_EQ(readtext(t.picture), readtext(a.picture)) << threads << " " << bandrows;
  }
}

TEST_F(RandomMapOptions, FileStructureAndEveryInvariant) {
  Made m = make("invariants", 400, 300, 25, 0.3f, 0.2f, 300);
  ASSERT_TRUE(m.ok);
  std::vector<std::string> l = lines(m.map);
  ASSERT_GT(l.size(), 14u);
  for (int i = 0; i < 6; i++) EXPECT_EQ(l[size_t(i)].substr(0, 2), "--") << i;
  EXPECT_EQ(l[0], "--");
  EXPECT_EQ(l[2], "--");
  EXPECT_EQ(l[5], "--");
  EXPECT_EQ(l[6], "");
  EXPECT_EQ(l[7], "#vey2title testmap");
  EXPECT_EQ(l[8], "#imagefile testmap.rgb");
  EXPECT_EQ(l[9], "#veyversion 327");
  float zoom = 0;
  ASSERT_EQ(sscanf(l[10].c_str(), "#defaultmapzoom %f", &zoom), 1);
  EXPECT_EQ(l[11], "");
  const int32_t n = nbrlands;
  ASSERT_GE(n, 10);
  char description[300];
  snprintf(description, sizeof description,
           "#description \"This is a randomly created map. It has %d provinces and is 400 x 300 pixels large.\"", n);
  EXPECT_EQ(l[12], description);
  EXPECT_EQ(l[13], "");
  EXPECT_EQ(m.map.substr(m.map.size() - 3), "\n\n\n");

  // Neighbour lines: lower number first, no repeats, symmetric records,
  // and exactly the pairs of the records.
  std::set<std::pair<int, int>> pairs;
  size_t k = 14;
  for (; k < l.size() && l[k].rfind("#neighbour", 0) == 0; k++) {
    int a, b;
    ASSERT_EQ(sscanf(l[k].c_str(), "#neighbour %d %d", &a, &b), 2);
    EXPECT_LT(a, b);
    EXPECT_GE(a, 1);
    EXPECT_LE(b, n);
    EXPECT_TRUE(pairs.insert({a, b}).second);
    EXPECT_TRUE(rmisneighbour(a, b) && rmisneighbour(b, a));
  }
  EXPECT_GT(pairs.size(), size_t(n));
  for (int32_t a = 1; a <= n; a++)
    for (int32_t i = 0; i < MAXNEIGHBOURS && provgeo[size_t(a)].nbr[i] > 0; i++) {
      int32_t b = provgeo[size_t(a)].nbr[i];
      EXPECT_TRUE(pairs.count({std::min(a, b), std::max(a, b)})) << a << " " << b;
    }
  ASSERT_EQ(l[k], "");
  // Terrain lines in land order, with bits that belong together.
  const uint32_t allowed = TM_SMALL | TM_LARGE | TM_SEA | TM_FRESHWATER | TM_MOUNTAINS | TM_SWAMP | TM_WASTE |
                           TM_FOREST | TM_FARM | TM_NOSTART | TM_DEEPSEA | TM_BORDERMOUNT | 0x3FE000;
  for (int32_t land = 1; land <= n; land++) {
    int a;
    unsigned mask;
    ASSERT_EQ(sscanf(l[++k].c_str(), "#terrain %d %u", &a, &mask), 2);
    EXPECT_EQ(a, land);
    EXPECT_EQ(mask, provgeo[size_t(land)].terrain);
    EXPECT_EQ(mask & ~allowed, 0u);
    EXPECT_NE(mask & (TM_SMALL | TM_LARGE), TM_SMALL | TM_LARGE);
    if (mask & TM_DEEPSEA) { EXPECT_TRUE(mask & TM_SEA); }
    if (mask & TM_SEA) { EXPECT_EQ(mask & (TM_MOUNTAINS | TM_FOREST | TM_FARM | TM_WASTE | TM_SWAMP | TM_FRESHWATER), 0u); }
    if (mask & TM_FARM) { EXPECT_FALSE(mask & TM_MOUNTAINS); }
    EXPECT_FALSE(mask & TM_BORDERMOUNT) << "impassable mountains are off";
    int kinds = !!(mask & TM_FOREST) + !!(mask & TM_FARM) + !!(mask & TM_WASTE) + !!(mask & TM_SWAMP);
    EXPECT_LE(kinds, 1);
    EXPECT_LE(__builtin_popcount(mask & 0x3FE000), 1);
    // Poorly connected provinces never take a player's start.
    bool poor = (mask & TM_SEA) ? LandNbors(land) + SeaNbors(land) < 2 : LandNbors(land) < 2;
    if (poor) { EXPECT_TRUE(mask & TM_NOSTART) << land; }
  }

  // The zoom: 75 over the mean of the (n/5+1)th and (n/5+2)th smallest
  // nearest-capital distances.
  std::vector<double> nearest;
  for (int32_t a = 1; a <= n; a++) {
    double best = 1e12;
    for (int32_t b = 1; b <= n; b++)
      if (a != b)
        best = std::min(best, std::pow(provgeo[size_t(a)].x - provgeo[size_t(b)].x, 2) +
                                  std::pow(provgeo[size_t(a)].y - provgeo[size_t(b)].y, 2));
    nearest.push_back(best);
  }
  std::sort(nearest.begin(), nearest.end());
  double typical = (std::sqrt(nearest[size_t(n / 5)]) + std::sqrt(nearest[size_t(n / 5 + 1)])) / 2;
  EXPECT_NEAR(zoom, 75.0 / typical, 1e-4);

  // One pure white pixel per province, at its capital, found in reading
  // order from row 0 as the map reader numbers them.
  int32_t w, h;
  uint8_t* p = loadimage(m.picture.c_str(), &w, &h, 0);
  ASSERT_NE(p, nullptr);
  EXPECT_EQ(w, 400);
  EXPECT_EQ(h, 300);
  std::vector<std::pair<int, int>> whites;
  for (int32_t y = 0; y < h; y++)
    for (int32_t x = 0; x < w; x++) {
      const uint8_t* q = p + (size_t(y) * size_t(w) + size_t(x)) * 4;
      if (q[0] == 255 && q[1] == 255 && q[2] == 255) whites.push_back({x, y});
    }
  myfree(p);
  ASSERT_EQ(int32_t(whites.size()), n);
  for (int32_t land = 1; land <= n; land++) {
    EXPECT_EQ(whites[size_t(land - 1)].first, provgeo[size_t(land)].x);
    EXPECT_EQ(whites[size_t(land - 1)].second, provgeo[size_t(land)].y);
  }
}

// The land shares take any value: above 100 every land of the kind, below 0 none.
TEST_F(RandomMapShares, AllLandAllForestAndNoRivers) {
  forestpart = 250;
  swamppart = -40;
  Made m = make("allland", 300, 240, 15, 0.0f, 0.0f, 0);
  ASSERT_TRUE(m.ok);
  for (int32_t land = 1; land <= nbrlands; land++) {
    uint32_t mask = terrainof(m.map, land);
    EXPECT_FALSE(mask & (TM_SEA | TM_FRESHWATER)) << land;
    EXPECT_TRUE(mask & TM_FOREST) << land;
    EXPECT_FALSE(mask & TM_MOUNTAINS) << land;
  }
}

TEST_F(RandomMapShares, AllSeaIsMadeAndSaved) {
  // No land province: the map stands all the same (a new game on it is
  // refused when no nation finds a start).
  Made m = make("allsea", 400, 300, 10, 1.0f, 0.2f, 100, 0, 3);
  ASSERT_TRUE(m.ok);
  EXPECT_TRUE(fileexists("%s", m.picture.c_str()));
  ASSERT_EQ(nbrlands, 10);
  for (int32_t land = 1; land <= nbrlands; land++) EXPECT_TRUE(terrainof(m.map, land) & TM_SEA) << land;
}

TEST_F(RandomMapShares, MountainsRiversAndImpassableBorders) {
  rmimpassable = 1;
  Made m = make("impassable", 420, 320, 30, 0.2f, 1.0f, 1000);
  ASSERT_TRUE(m.ok);
  ASSERT_GE(rm.paircount, 0);
  for (int32_t i = 0; i <= rm.paircount; i++) {
    int a = rm.pairs[i][0], b = rm.pairs[i][1];
    char line[64];
    snprintf(line, sizeof line, "#neighbour %d %d\n", std::min(a, b), std::max(a, b));
    EXPECT_EQ(m.map.find(line), std::string::npos) << line;
    EXPECT_TRUE(terrainof(m.map, a) & TM_BORDERMOUNT);
    EXPECT_TRUE(terrainof(m.map, b) & TM_BORDERMOUNT);
  }
  for (int32_t land = 1; land <= nbrlands; land++) EXPECT_FALSE(terrainof(m.map, land) & TM_MOUNTAINS);
  // Ten river tries per province at most lands / 5 + 1 rivers.
  int fresh = 0;
  for (int32_t land = 1; land <= nbrlands; land++) fresh += !!(terrainof(m.map, land) & TM_FRESHWATER);
  EXPECT_GT(fresh, 0);
}

TEST_F(RandomMapShares, AntialiasedMapsKeepTheAskedSizeAndOneMarkPerProvince) {
  Made m = make("aa", 260, 200, 12, 0.3f, 0.2f, 0, 1);
  ASSERT_TRUE(m.ok);
  int32_t w, h;
  uint8_t* p = loadimage(m.picture.c_str(), &w, &h, 0);
  ASSERT_NE(p, nullptr);
  EXPECT_EQ(w, 260);
  EXPECT_EQ(h, 200);
  int whites = 0;
  for (size_t i = 0; i < size_t(w) * size_t(h); i++) whites += p[i * 4] == 255 && p[i * 4 + 1] == 255 && p[i * 4 + 2] == 255;
  myfree(p);
  EXPECT_EQ(whites, nbrlands);
  EXPECT_GE(nbrlands, 10);
}

TEST_F(RandomMapShares, CrowdedSmallMapsAreMadeAndCrowdedPlacementStillEnds) {
  // The most provinces on the smallest map: each keeps a white mark of its
  // own, which the map reader finds again.
  Made m = make("crowded", 100, 100, 1495, 0.3f, 0.2f, 100);
  ASSERT_TRUE(m.ok);
  EXPECT_GT(nbrlands, 500);
  int32_t w, h, whites = 0;
  uint8_t* px = loadimage(m.picture.c_str(), &w, &h, 0);
  ASSERT_NE(px, nullptr);
  for (int64_t i = 0; i < int64_t(w) * h; i++) whites += px[i * 4] == 255 && px[i * 4 + 1] == 255 && px[i * 4 + 2] == 255;
  myfree(px);
  EXPECT_EQ(whites, nbrlands);
  // Capital placement asked for far more than fit still ends, with what it
  // could place.
  seedrandommap(11);
  const std::string dir = folder("crowded");
  RmParams p{"crowded", dir.c_str(), 100, 100, 1495, 0, 0, 0, 0.3f, 0.3f, 0.2f};
  rmbegin(p);
  for (RmStage s : {RmStage::heights, RmStage::levels, RmStage::capitals}) rmstage(s, p);
  EXPECT_GT(nbrlands, 500);
  EXPECT_LE(nbrlands, 1495);
}

TEST_F(RandomMapOptions, BadNamesAreRefused) {
  std::string dir = folder("refused");
  setenv("VEY3_LOCALMAPS", dir.c_str(), 1);
  strlcopy(localmappath, dir.c_str(), PATHLEN);
  for (const char* name : {"../evil", "a/b", "", "maps"}) {
    resetoptions();
    textonly = 1;
    strlcopy(makemapname, name, 500);
    testing::internal::CaptureStdout();
    EXPECT_EQ(makemapmode(), 1) << name;
    std::string out = testing::internal::GetCapturedStdout();
    EXPECT_NE(out.find("Bad filename for random map"), std::string::npos) << name << ": " << out;
  }
  EXPECT_TRUE(std::filesystem::is_empty(dir));
}

TEST_F(RandomMapOptions, MissingSpriteArchiveIsAMessageNotACrash) {
  std::string dir = folder("nosprites");
  strlcopy(localmappath, dir.c_str(), PATHLEN);
  settrsfolder(dir.c_str());
  flushtrscache();
  strlcopy(makemapname, "nosprites", 500);
  testing::internal::CaptureStdout();
  EXPECT_EQ(makemapmode(), 1);
  EXPECT_NE(testing::internal::GetCapturedStdout().find("Can't find the sprite archive mapstuff.trs"), std::string::npos);
  EXPECT_FALSE(fileexists("%s/nosprites.rgb", dir.c_str()));
}

TEST_F(RandomMapOptions, MakemapModeWritesBothFiles) {
  std::string dir = folder("mode");
  strlcopy(localmappath, dir.c_str(), PATHLEN);
  strlcopy(makemapname, "mode_map", 500);
  mapsize[0] = 240, mapsize[1] = 180;
  mapprov = 10;
  riverpart = 50;
  mapgcol[0] = 120, mapgcol[1] = 130, mapgcol[2] = 90, mapgcol[3] = 255;
  borderwidth = 0;
  testing::internal::CaptureStdout();
  EXPECT_EQ(makemapmode(), 0);
  std::string out = testing::internal::GetCapturedStdout();
  // In text-only mode no progress and no line of its own; the working lines
  // only with -d.
  EXPECT_EQ(out.find("Random Map Generation"), std::string::npos) << out;
  EXPECT_EQ(out.find("written"), std::string::npos) << out;
  EXPECT_EQ(out.find("CreateRandomMap"), std::string::npos) << out;
  EXPECT_TRUE(fileexists("%s/mode_map.map", dir.c_str()));
  EXPECT_TRUE(fileexists("%s/mode_map.rgb", dir.c_str()));
  // An unwritable folder: a message, status 1 and no picture left behind.
  strlcopy(localmappath, "/proc/no_such_folder", PATHLEN);
  testing::internal::CaptureStdout();
  EXPECT_EQ(makemapmode(), 1);
  testing::internal::GetCapturedStdout();
}

TEST_F(RandomMapOptions, ColourComponentsBeyondAByteAreClamped) {
  // The command line takes any numbers; the shades of the sea are worked
  // out from its colour as given, and then clamped.
  rm.width = 4, rm.height = 2;
  rm.heights.assign(8, 99.5f);   // shallow water, half a step below the sea level
  rm.sealevel = 100, rm.deeplevel = 50;
  mapnoise = 0;
  const int32_t sea[4] = {2000000000, 10, -7, 400};
  std::copy(sea, sea + 4, mapscol);
  rmcolours(0);
  for (size_t i = 0; i < 8; i++) {
    EXPECT_EQ(rm.picture[i * 4], 255) << i;
    EXPECT_EQ(rm.picture[i * 4 + 2], 0) << i;
    EXPECT_EQ(rm.picture[i * 4 + 3], 255) << i;
  }
  // Deep water is half the sea's numbers: a blue of 300 gives 150, though
  // the sea's own blue is 255.
  rm.heights.assign(8, 0.0f);
  const int32_t blue[4] = {200, 100, 300, 255};
  std::copy(blue, blue + 4, mapscol);
  rmcolours(0);
  EXPECT_EQ(rm.picture[0], 100);
  EXPECT_EQ(rm.picture[1], 50);
  EXPECT_EQ(rm.picture[2], 150);
  rm.picture = {};
  rm.heights = {};
}

TEST(RandomMapPixels, BlendingClampsAndNeverMakesWhite) {
  rm.width = 3, rm.height = 2;
  rm.picture.assign(3 * 2 * 4, 0);
  rm.owner.assign(6, 0);
  RMPutPixel(0, 0, 300, 255, 255, 77);
  EXPECT_EQ(rm.picture[0], 255);
  EXPECT_EQ(rm.picture[3], 77);
  RMBlendPixel(0, 0, 255, 255, 255, 255);
  EXPECT_EQ(rm.picture[0], 254);
  RMBlendPixel(1, 0, 100, 0, 0, 1000);   // strength beyond 255 counts as 255
  EXPECT_EQ(rm.picture[4], 100);
  RMBlendPixel(1, 0, 0, 0, 0, -50);      // below 0 counts as 0
  EXPECT_EQ(rm.picture[4], 100);
  RMBlendPixel(5, 5, 0, 0, 0, 255);      // outside: ignored
  RMSetOwner(2, 1, 7);
  EXPECT_EQ(RMOwner(2, 1), 7);
  EXPECT_EQ(RMOwner(3, 1), 0);
  EXPECT_EQ(RMIsBorderPixel(1, 0), 1);   // below right is 7
  EXPECT_EQ(RMIsBorderPixel(2, 1), 0);   // nothing to the right or below
  EXPECT_EQ(LandSize(7), 1);
  rm.heights.assign(6, 1.0f);
  nbrlands = 0;
  DoubleResolution();
  EXPECT_EQ(rm.width, 6);
  EXPECT_EQ(RMOwner(5, 3), 7);
  EXPECT_EQ(RMOwner(3, 1), 0);
  HalveResolution();
  EXPECT_EQ(rm.width, 3);
  EXPECT_EQ(rm.picture[4], 100);
  EXPECT_EQ(RMOwner(2, 1), 7);
}

TEST(RandomMapDeathTest, FatalStops) {
  EXPECT_DEATH(CreateRandomMap(nullptr, "/tmp", 100, 100, 10, 0, 0, 0, 0.3f, 0.3f, 0.2f), "CRM: bad name");
  EXPECT_DEATH(CreateRandomMap("x", "/tmp", 24, 100, 10, 0, 0, 0, 0.3f, 0.3f, 0.2f), "maparea too small");
  EXPECT_DEATH(LandNbors(1505), "LandNbors: bad lnr");
  EXPECT_DEATH(ContSize(0), "ContSize2, bad lnr");
  settrsfolder("/nonexistent");
  flushtrscache();
  EXPECT_DEATH(CreateRandomMap("x", testing::TempDir().c_str(), 120, 100, 10, 0, 0, 0, 0.3f, 0.3f, 0.2f),
               "spr_mapstuff was not in memory");
}
