// The maps of data/maps: every province of the text is a white pixel of the
// picture, neighbours are real, and the start provinces are dry land.
#include "support/mapfixture.h"

#include <cstring>

namespace {

class ShippedMaps : public MapFolders {
 protected:
  void SetUp() override {
    MapFolders::SetUp();
    std::string cmd = "cp " VEY3_SOURCE_DIR "/data/maps/*.map " VEY3_SOURCE_DIR "/data/maps/*.tga '" + root + "/maps/'";
    ASSERT_EQ(system(cmd.c_str()), 0);
  }
  void check(const char* file, int32_t provinces, int32_t starts) {
    SCOPED_TRACE(file);
    ASSERT_EQ(readmapfile(nullptr, file, MAPREAD_INFO), 1);
    FindCapitals(nullptr, mapimagename);
    ASSERT_EQ(nbrlands, provinces);
    ASSERT_EQ(readmapfile(nullptr, file, MAPREAD_GEO), 1);
    int32_t sea = 0, cave = 0;
    for (int32_t l = 1; l <= nbrlands; l++) {
      const ProvGeo& g = provgeo[size_t(l)];
      EXPECT_GT(g.x, 0);
      EXPECT_GT(g.y, 0);
      EXPECT_NE(g.nbr[0], 0) << "province " << l << " has no neighbour";
      sea += (g.terrain & TM_SEA) != 0;
      cave += (g.terrain & TM_CAVE) != 0;
      // Neighbours named by the text lie across one border of the picture
      // along at least one of the five lines the editor draws.
      for (int i = 0; i < MAXNEIGHBOURS && g.nbr[i]; i++) {
        const ProvGeo& h = provgeo[size_t(g.nbr[i])];
        int best = 99;
        for (int32_t k = -2; k <= 2; k++) best = std::min(best, linecrossings(g.x + k, g.y, h.x + k, h.y, 0));
        EXPECT_LE(best, 2) << l << "-" << g.nbr[i];
      }
    }
    EXPECT_GT(sea, 0);
    EXPECT_GT(cave, 0);
    // The start lines name dry land.
    std::string text;
    FILE* f = fopen((mapdir() + file).c_str(), "r");
    ASSERT_NE(f, nullptr);
    char line[256];
    int32_t found = 0;
    while (fgets(line, sizeof line, f)) {
      int32_t l = 0;
      if (sscanf(line, "#start %d", &l) == 1) {
        found++;
        EXPECT_FALSE(provgeo[size_t(l)].terrain & (TM_SEA | TM_CAVE));
      }
    }
    fclose(f);
    EXPECT_EQ(found, starts);
  }
};

TEST_F(ShippedMaps, SmallMapForTests) { check("testvale.map", 25, 4); }
TEST_F(ShippedMaps, FullMapToPlay) { check("veyrmark.map", 150, 16); }

}  // namespace
