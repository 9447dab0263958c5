// A generated map read back by the map reader: the provinces found at the
// white marks of the picture, the neighbours and the terrain of the ".map"
// text are those the generator left.
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "support/testdir.h"
#include "runtime/folders.h"
#include "runtime/options.h"
#include "runtime/trs.h"
#include "runtime/util.h"
#include "world/world.h"
#include "worldgen/randmap.h"
#include "worldgen/worldgen.h"

namespace {
struct Province {
  int32_t x, y;
  uint32_t terrain;
  std::set<int32_t> nbrs;
};

std::vector<Province> snapshot() {
  std::vector<Province> out;
  for (int32_t l = 1; l <= nbrlands; l++) {
    const ProvGeo& p = provgeo[size_t(l)];
    Province q{p.x, p.y, p.terrain, {}};
    for (int32_t i = 0; i < MAXNEIGHBOURS && p.nbr[i] > 0; i++)
      if (!IsImpassablePair(l, p.nbr[i])) q.nbrs.insert(p.nbr[i]);
    out.push_back(q);
  }
  return out;
}
}  // namespace

TEST(RandomMapReadBack, TheMapReaderFindsWhatTheGeneratorMade) {
  for (int32_t impassable = 0; impassable < 2; impassable++) {
    resetoptions();
    rmimpassable = impassable;
    TestDir scratch;   // other checkouts run this test at the same time
    std::string dir = scratch / ("rm_readback" + std::to_string(impassable));
    mkdirs(dir.c_str());
    strlcopy(localmappath, dir.c_str(), PATHLEN);
    settrsfolder(VEY3_DATA_DIR);
    seedrandommap(21 + impassable);
    ASSERT_EQ(CreateRandomMap("back", dir.c_str(), 360, 280, 24, 0, 0, 200, 0.3f, 0.3f, 0.6f), 1);
    ASSERT_EQ(write_random_map_file((dir + "/back.map").c_str(), "back", 0), 1);
    std::vector<Province> made = snapshot();
    rmimpassable = 0;

    clearlandtables();
    freebigmap();
    FindCapitals(nullptr, "back.rgb");
    ASSERT_EQ(nbrlands, int32_t(made.size()));
    ASSERT_EQ(readmapfile(nullptr, "back.map", MAPREAD_INFO), 1);
    EXPECT_STREQ(mapimagename, "back.rgb");
    EXPECT_GT(defaultmapzoom, 0.0f);
    ASSERT_EQ(readmapfile(nullptr, "back.map", MAPREAD_GEO), 1);
    std::vector<Province> read = snapshot();
    for (size_t i = 0; i < made.size(); i++) {
      EXPECT_EQ(read[i].x, made[i].x) << i + 1;
      EXPECT_EQ(read[i].y, made[i].y) << i + 1;
      EXPECT_EQ(read[i].terrain, made[i].terrain) << i + 1;
      EXPECT_EQ(read[i].nbrs, made[i].nbrs) << i + 1;
    }
    freebigmap();
  }
}
