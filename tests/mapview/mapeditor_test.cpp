// The map editor's rules without a window, and the map file writer read
// back through the map reader on Test Vale, Veyrmark and a random map.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "mapview/mapcamera.h"
#include "mapview/mapeditor.h"
#include "runtime/trs.h"
#include "support/mapfixture.h"
#include "support/smallworld.h"
#include "worldgen/randmap.h"

namespace {

std::vector<std::string> lines(const std::string& text) {
  std::vector<std::string> out;
  size_t at = 0;
  for (size_t nl; (nl = text.find('\n', at)) != std::string::npos; at = nl + 1) out.push_back(text.substr(at, nl - at));
  return out;
}

class EditorRules : public testing::Test {
 protected:
  void SetUp() override {
    makesmallworld();
    for (int32_t l = 1; l <= nbrlands; l++) provgeo[size_t(l)].terrain = 0;
  }
  static uint32_t& terrain(int32_t l) { return provgeo[size_t(l)].terrain; }
  static std::vector<int16_t> nbrs(int32_t l) {
    std::vector<int16_t> v;
    for (int32_t k = 0; k < MAXNEIGHBOURS && provgeo[size_t(l)].nbr[k]; k++) v.push_back(provgeo[size_t(l)].nbr[k]);
    return v;
  }
};

TEST_F(EditorRules, TogglesKeepTheTerrainConsistent) {
  // Each toggle is found by its id and flips its own bit.
  for (const TerrainToggle& t : terraintoggles) {
    ASSERT_EQ(terraintoggle(t.id), &t);
    terrain(2) = 0;
    editterrain(2, t.bit);
    EXPECT_EQ(terrain(2) & t.bit, t.bit) << t.label;
  }
  EXPECT_EQ(terraintoggle(10), nullptr);
  // Deep sea on a land province makes it sea; sea then sheds forest,
  // mountains, swamp and fresh water but keeps cave, waste, farm and border
  // mountains.
  terrain(3) = TM_FOREST | TM_MOUNTAINS | TM_SWAMP | TM_FRESHWATER | TM_CAVE | TM_WASTE | TM_FARM | TM_BORDERMOUNT;
  editterrain(3, TM_DEEPSEA);
  editseacheck(3);
  EXPECT_EQ(terrain(3), TM_SEA | TM_DEEPSEA | TM_CAVE | TM_WASTE | TM_FARM | TM_BORDERMOUNT);
  editterrain(3, TM_SEA);
  EXPECT_EQ(terrain(3) & (TM_SEA | TM_DEEPSEA), 0u);
  // A land province keeps its forest.
  terrain(4) = TM_FOREST;
  editseacheck(4);
  EXPECT_EQ(terrain(4), TM_FOREST);
  // Small and large are never both set; clearing one leaves the other clear.
  editterrain(4, TM_SMALL);
  editterrain(4, TM_LARGE);
  EXPECT_EQ(terrain(4) & (TM_SMALL | TM_LARGE), TM_LARGE);
  editterrain(4, TM_SMALL);
  EXPECT_EQ(terrain(4) & (TM_SMALL | TM_LARGE), TM_SMALL);
  editterrain(4, TM_SMALL);
  EXPECT_EQ(terrain(4) & (TM_SMALL | TM_LARGE), 0u);
  // Beyond the provinces nothing changes.
  const uint32_t before = provgeo[size_t(nbrlands + 1)].terrain;
  editterrain(nbrlands + 1, TM_SEA);
  editterrain(0, TM_SEA);
  EXPECT_EQ(provgeo[size_t(nbrlands + 1)].terrain, before);
}

TEST_F(EditorRules, NeighbourPairsStaySymmetric) {
  editclearneighbours();
  editneighbour(2, 5, 0);
  EXPECT_EQ(nbrs(2), std::vector<int16_t>{5});
  EXPECT_EQ(nbrs(5), std::vector<int16_t>{2});
  editneighbour(5, 2, 0);   // already neighbours: listed once
  editneighbour(2, 3, 0);
  EXPECT_EQ(nbrs(2), (std::vector<int16_t>{5, 3}));
  editneighbour(5, 2, 1);   // Ctrl: no more neighbours, on both sides
  EXPECT_EQ(nbrs(2), std::vector<int16_t>{3});
  EXPECT_TRUE(nbrs(5).empty());
  EXPECT_EQ(nbrs(3), std::vector<int16_t>{2});
  // A click on the chosen province itself, or off the provinces, changes nothing.
  editneighbour(3, 3, 0);
  editneighbour(3, -1, 0);
  editneighbour(3, nbrlands + 1, 0);
  editneighbour(0, 3, 0);
  EXPECT_EQ(nbrs(3), std::vector<int16_t>{2});
  editclearneighbours();
  for (int32_t l = 1; l <= nbrlands; l++) EXPECT_TRUE(nbrs(l).empty()) << l;
}

TEST_F(EditorRules, InsertedAndRemovedProvincesShiftListsAndTerrain) {
  ASSERT_GE(nbrlands, 5);
  const int32_t n = nbrlands;
  editclearneighbours();
  for (int32_t l = 1; l <= n; l++) {
    terrain(l) = uint32_t(l) << 12;
    provgeo[size_t(l)].nbr[0] = int16_t(100 + l);
    provgeo[size_t(l)].nbr[1] = 0;
    snprintf(land[size_t(l)].name, 36, "Land %d", l);
  }
  provgeo[2].x = 77;
  // Inserted at 2: 2..n-1 move to 3..n, 2 keeps its own; names and points stay.
  editinserted(2);
  EXPECT_EQ(terrain(2), 2u << 12);
  EXPECT_EQ(terrain(3), 2u << 12);
  EXPECT_EQ(terrain(n), uint32_t(n - 1) << 12);
  EXPECT_EQ(provgeo[size_t(n)].nbr[0], 100 + n - 1);
  EXPECT_STREQ(land[3].name, "Land 3");
  EXPECT_EQ(provgeo[2].x, 77);
  // Removed at 2: 3..n move to 2..n-1, n keeps its own.
  editremoved(2);
  EXPECT_EQ(terrain(2), 2u << 12);
  EXPECT_EQ(terrain(n - 1), uint32_t(n - 1) << 12);
  EXPECT_EQ(terrain(n), uint32_t(n - 1) << 12);
  // Inserted at the last province, or outside, does nothing; nor on a map
  // of one province.
  const uint32_t last = terrain(n);
  editinserted(n);
  editinserted(0);
  editremoved(n + 1);
  EXPECT_EQ(terrain(n), last);
  EXPECT_EQ(terrain(n - 1), uint32_t(n - 1) << 12);
  nbrlands = 1;
  terrain(1) = 7;
  editinserted(1);
  EXPECT_EQ(terrain(2), 2u << 12);
  nbrlands = n;
}

TEST_F(EditorRules, SaveNamesAndTypedNames) {
  char out[PATHLEN];
  struct Case {
    const char* typed;
    const char* saved;   // null: refused
  } cases[] = {{"vale", "vale.map"}, {"vale.map", "vale.map"}, {"vale.txt", "vale.txt"}, {"ab", "ab.map"},
               {".ab", ".ab"},       {"a.b", "a.b.map"},       {"", nullptr},             {"../up", nullptr},
               {"/tmp/x", nullptr},  {"sub/x", "sub/x.map"},   {"a\tb", nullptr}};
  for (const Case& c : cases) {
    EXPECT_EQ(editsavename(c.typed, out, PATHLEN), c.saved ? 1 : 0) << c.typed;
    EXPECT_STREQ(out, c.saved ? c.saved : "") << c.typed;
  }
  EXPECT_EQ(editsavename("vale", out, 8), 0);   // no room for the ending
  char name[] = "100% \"Gold\" #1";
  editcleanname(name);
  EXPECT_STREQ(name, "100   Gold   1");
}

// ---------------------------------------------------------------- writer

class MapWriter : public ShippedMapFolders {
 protected:
  std::string local(const char* name) const { return root + "/local/" + name; }
  // Everything the editor holds of a map, as read.
  struct Snapshot {
    int32_t lands = 0;
    std::vector<std::vector<int16_t>> nbrs;
    std::vector<std::string> names, looks;
    std::vector<uint32_t> terrain;
    std::vector<int32_t> points;
    std::string title, description, image;
    float colour[4] = {}, zoom = 0;
    int32_t wrap = 0;
    std::vector<int32_t> starts;
  };
  Snapshot open(const char* name) {
    Snapshot s;
    char image[PATHLEN], message[MSGLEN];
    EXPECT_EQ(editopenmap(name, image, s.starts, message), 1) << name << ": " << message;
    s.lands = nbrlands;
    for (int32_t l = 1; l <= nbrlands; l++) {
      const ProvGeo& g = provgeo[size_t(l)];
      std::vector<int16_t> list(g.nbr, std::find(g.nbr, g.nbr + MAXNEIGHBOURS, 0));
      std::sort(list.begin(), list.end());
      s.nbrs.push_back(list);
      s.names.push_back(land[size_t(l)].name);
      s.terrain.push_back(g.terrain);
      s.points.push_back(g.x * 100000 + g.y);
      char look[400];
      snprintf(look, sizeof look, "%d %d %d/%d %d %d/%d %d %d/%s/%s", g.groundcol[0], g.groundcol[1], g.groundcol[2],
               g.rockcol[0], g.rockcol[1], g.rockcol[2], g.fogcol[0], g.fogcol[1], g.fogcol[2], g.skybox, g.batmap);
      s.looks.push_back(look);
    }
    s.title = maptitle;
    s.description = mapdescription;
    s.image = image;
    std::copy(maptextcolour, maptextcolour + 4, s.colour);
    s.zoom = defaultmapzoom;
    s.wrap = wraparound;
    return s;
  }
  static void same(const Snapshot& a, const Snapshot& b) {
    EXPECT_EQ(a.lands, b.lands);
    EXPECT_EQ(a.points, b.points);
    EXPECT_EQ(a.nbrs, b.nbrs);
    EXPECT_EQ(a.names, b.names);
    EXPECT_EQ(a.terrain, b.terrain);
    EXPECT_EQ(a.looks, b.looks);
    EXPECT_EQ(a.title, b.title);
    EXPECT_EQ(a.description, b.description);
    EXPECT_EQ(a.image, b.image);
    for (int i = 0; i < 4; i++) EXPECT_NEAR(a.colour[i], b.colour[i], 0.006f);
    EXPECT_NEAR(a.zoom, b.zoom, 0.006f);
    EXPECT_EQ(a.wrap, b.wrap);
    EXPECT_EQ(a.starts, b.starts);
  }
  // Writes the map in memory and reads it back; the file's text.
  std::string roundtrip(const Snapshot& before, const char* name) {
    EXPECT_EQ(cmf(local(name).c_str(), before.image.c_str(), before.starts.data(), int32_t(before.starts.size())), 1);
    same(before, open(name));
    return readtext(local(name));
  }
};

TEST_F(MapWriter, TestValeWithNamesLooksAndWrapReadsBackTheSame) {
  Snapshot original = open("testvale");
  ASSERT_EQ(original.lands, 25);
  EXPECT_EQ(original.starts.size(), 4u);
  // What the editor adds: names, a battleground look, wraparound.
  strlcopy(land[3].name, "Vale's End", 36);
  strlcopy(land[25].name, "The Last", 36);
  provgeo[4].groundcol[0] = 10, provgeo[4].groundcol[1] = 20, provgeo[4].groundcol[2] = 30;
  strlcopy(provgeo[5].skybox, "dusk.tga", 100);
  strlcopy(provgeo[5].batmap, "empty", 100);
  provgeo[6].fogcol[0] = 0, provgeo[6].fogcol[1] = 255, provgeo[6].fogcol[2] = 1;
  wraparound = 1;
  Snapshot before = original;
  before.names[2] = "Vale's End";
  before.names[24] = "The Last";
  before.looks[3] = "10 20 30/-1 0 0/-1 0 0//";
  before.looks[4] = "-1 0 0/-1 0 0/-1 0 0/dusk.tga/empty";
  before.looks[5] = "-1 0 0/-1 0 0/0 255 1//";
  before.wrap = 1;
  const std::string text = roundtrip(before, "vale2.map");
  // A province with a ground colour only gets "#setland" and "#groundcol".
  EXPECT_NE(text.find("#setland 4\n#groundcol 10 20 30\n#setland 5\n"), std::string::npos) << text;
  EXPECT_NE(text.find("#landname 3 \"Vale's End\"\n#terrain 3 "), std::string::npos);
  EXPECT_NE(text.find("#veyversion 175\n#wraparound\n#defaultmapzoom 1.00\n"), std::string::npos);
  // Written again from what was read back: the same bytes.
  EXPECT_EQ(cmf(local("vale3.map").c_str(), before.image.c_str(), before.starts.data(), int32_t(before.starts.size())),
            1);
  EXPECT_EQ(readtext(local("vale3.map")), text);
}

TEST_F(MapWriter, VeyrmarkAndARandomMapReadBackTheSame) {
  Snapshot veyrmark = open("veyrmark.map");
  ASSERT_EQ(veyrmark.lands, 150);
  const std::string text = roundtrip(veyrmark, "veyrmark2.map");
  // Each pair once, from its lower-numbered province.
  int32_t pairs = 0;
  for (const std::string& l : lines(text)) {
    int32_t a = 0, b = 0;
    if (sscanf(l.c_str(), "#neighbour %d %d", &a, &b) == 2) {
      EXPECT_LT(a, b) << l;
      pairs++;
    }
  }
  int32_t listed = 0;
  for (const auto& list : veyrmark.nbrs) listed += int32_t(list.size());
  EXPECT_EQ(2 * pairs, listed);

  settrsfolder(VEY3_DATA_DIR);   // the stones and trees that the random map paints
  ASSERT_EQ(CreateRandomMap("rtrandom", localmappath, 600, 450, 60, 0, 0, 100, 0.3f, 0.3f, 0.2f), 1);
  ASSERT_EQ(write_random_map_file(local("rtrandom.map").c_str(), "rtrandom", 0), 1);
  Snapshot random = open("rtrandom");
  EXPECT_GE(random.lands, 50);
  roundtrip(random, "rtrandom2.map");
}

TEST_F(MapWriter, EmptyMapsNewMapsAndFilesThatCannotBeWritten) {
  // No provinces: the head, the three section comments and the closing "--".
  nbrlands = 0;
  maptitle[0] = mapdescription[0] = 0;
  for (float& c : maptextcolour) c = -1;
  defaultmapzoom = 0.75f;
  wraparound = 0;
  ASSERT_EQ(cmf(local("empty.map").c_str(), "blank.tga"), 1);
  std::vector<std::string> l = lines(readtext(local("empty.map")));
  ASSERT_EQ(l.size(), 21u);
  EXPECT_EQ(l[0], "-- ");
  EXPECT_EQ(l[8], "#vey2title A map based on blank.tga.");
  EXPECT_EQ(l[9], "#imagefile blank.tga");
  EXPECT_EQ(l[11], "#defaultmapzoom 0.75");
  EXPECT_EQ(l[12], "#description \"A newly created map.\"");
  EXPECT_EQ(l[14], "-- Province names/terrains");
  EXPECT_EQ(l[16], "-- Province neighbours");
  EXPECT_EQ(l[18], "-- Special per province commands");
  EXPECT_EQ(l[20], "--");
  // A folder that does not exist: 0, and nothing is written; errno says why.
  EXPECT_EQ(cmf((root + "/nowhere/x.map").c_str(), "blank.tga"), 0);
  EXPECT_EQ(errno, ENOENT);
  // A file that cannot be replaced keeps its old contents.
  writetext(local("kept.map"), "old");
  const std::string cmd = "chmod a-w '" + root + "/local'";
  ASSERT_EQ(system(cmd.c_str()), 0);
  if (geteuid() != 0) {
    EXPECT_EQ(cmf(local("kept.map").c_str(), "blank.tga"), 0);
    EXPECT_EQ(errno, EACCES);
    EXPECT_EQ(readtext(local("kept.map")), "old");
  }
  ASSERT_EQ(system(("chmod u+w '" + root + "/local'").c_str()), 0);

  // A new map from a picture: its white pixels, the neighbours it shows; a
  // map text colour of the map read before is not carried over.
  ASSERT_NE(open("testvale").colour[0], -1);
  Picture p(120, 90);
  p.redcolumn(60);
  p.white(20, 40), p.white(100, 40), p.white(30, 70);
  writetga(mapdir() + "three.tga", p, false);
  char image[PATHLEN], message[MSGLEN];
  ASSERT_EQ(editopenimage("three", image, message), 1) << message;
  EXPECT_STREQ(image, "three.tga");
  EXPECT_EQ(nbrlands, 3);
  EXPECT_TRUE(isneighbour(1, 3) && isneighbour(3, 1));
  EXPECT_FALSE(isneighbour(1, 2));
  ASSERT_EQ(cmf(local("three.map").c_str(), image), 1);
  const std::string text = readtext(local("three.map"));
  EXPECT_EQ(text.find("#maptextcol"), std::string::npos);
  EXPECT_EQ(text.find("#wraparound"), std::string::npos);
  EXPECT_EQ(text.find("#landname"), std::string::npos);
  EXPECT_NE(text.find("#neighbour 1 3\n"), std::string::npos);
  readmapfile("", "testvale.map", MAPREAD_INFO);
  readmapfile("", "three.map", MAPREAD_INFO);
  EXPECT_EQ(maptextcolour[0], -1);

  // Pictures and names that make no map say so.
  writetga(mapdir() + "nowhite.tga", Picture(50, 50), false);
  EXPECT_EQ(editopenimage("nowhite.tga", image, message), 0);
  EXPECT_TRUE(strstr(message, "no pure white pixels")) << message;
  Picture crowd(60, 30);
  for (int32_t y = 0; y < 30; y++)
    for (int32_t x = 0; x < 51; x++) crowd.white(x, y);
  writetga(mapdir() + "crowd.tga", crowd, false);
  EXPECT_EQ(editopenimage("crowd", image, message), 0);
  EXPECT_TRUE(strstr(message, "1530 pure white pixels")) << message;
  for (const char* bad : {"../maps/three", "/etc/passwd", "sub/three", "missing"}) {
    EXPECT_EQ(editopenimage(bad, image, message), 0) << bad;
    EXPECT_STREQ(message, "Cannot open file");
  }
  std::vector<int32_t> starts;
  writetext(local("hollow.map"), "");
  writetext(local("noimage.map"), "#vey2title Nothing\n");
  EXPECT_EQ(editopenmap("hollow", image, starts, message), 0);
  EXPECT_STREQ(message, "Bad map file");
  EXPECT_EQ(editopenmap("noimage", image, starts, message), 0);
  EXPECT_STREQ(message, "Bad map file");
  EXPECT_EQ(editopenmap("../local/noimage", image, starts, message), 0);
  EXPECT_STREQ(message, "Cannot open file");
}

}  // namespace
