// Map lists and the map chooser: which files are listed, the choice by the
// command line or the console, and the settings read from the chosen map.
#include "support/mapfixture.h"

#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "runtime/ask.h"
#include "runtime/options.h"

namespace {

class MapList : public MapFolders {
 protected:
  char mapname[PATHLEN] = {}, imagename[PATHLEN] = {};
  void SetUp() override {
    MapFolders::SetUp();
    resetoptions();
  }
  void TearDown() override {
    setdialoginput(nullptr);
    setdialogoutput(nullptr);
    MapFolders::TearDown();
  }
  void writemap(const std::string& file, const std::string& body) {
    writetext(mapdir() + file, "#vey2title " + file + "\n#imagefile x.tga\n" + body);
    writeoneprovince(mapdir() + "x.tga");
  }
  // Answers the console dialogs with the given lines.
  void answer(const std::string& lines) {
    std::string path = root + "/answers.txt";
    writetext(path, lines);
    setdialoginput(fopen(path.c_str(), "r"));
    setdialogoutput(fopen((root + "/out.txt").c_str(), "w"));
  }
};

TEST_F(MapList, WhichFilesAreListed) {
  EXPECT_EQ(ismapfile("a.map"), 1);
  EXPECT_EQ(ismapfile("A.MAP"), 1);
  EXPECT_EQ(ismapfile(".map"), 0);
  EXPECT_EQ(ismapfile("a.mapx"), 0);
  writetext(mapdir() + "one.map", "");
  writetext(mapdir() + "__randommap_g.map", "");
  writetext(mapdir() + "x.tga", "");
  writetext(root + "/local/two.MAP", "");
  findmaps(0);
  EXPECT_EQ(highestmap, 1);
  findmaps(1);
  EXPECT_EQ(highestmap, 2);
  for (int i = 0; i < 120; i++) writetext(mapdir() + "m" + std::to_string(i) + ".map", "");
  findmaps(1);
  EXPECT_EQ(highestmap, MAXMAPS - 1);
}

TEST_F(MapList, CommandLineChoiceAndItsSettings) {
  writemap("a.map", "#neighbour 1 2\n");
  writemap("b.map",
           "#description \"Two\nlines\"\n#independents 25\n#features 250\n#start 4\n#start 9\n#specstart 3 7\n"
           "#specstart 95 7\n#nostart 12\n#computerplayer 5 3\n#computerplayer 6 9\n#nohomelandnames\n"
           "#scenario\n#defaultmapzoom 2.5\n#startspell 1 \"Fire\"\n");
  strlcopy(mapfile, "b.map", sizeof mapfile);
  ASSERT_EQ(choosemap(1, mapname, imagename), 1);
  EXPECT_STREQ(mapname, "b.map");
  EXPECT_STREQ(imagename, "x.tga");
  EXPECT_STREQ(maptitle, "b.map");
  EXPECT_STREQ(mapdescription, "Two\nlines");
  EXPECT_EQ(mapindepstr, 10);
  EXPECT_EQ(mapsitefreq, 100);
  EXPECT_EQ(higheststart, 1);
  EXPECT_EQ(startlist[1], 9);
  EXPECT_EQ(specstart[3], 7);
  EXPECT_TRUE(provgeo[12].terrain & TM_NOSTART);
  EXPECT_EQ(kingdom[5].w[KW_CONTROLLER], CTRL_AI);
  EXPECT_EQ(kingdom[5].w[KW_AILEVEL], 3);
  EXPECT_EQ(kingdom[6].w[KW_CONTROLLER], CTRL_NONE);
  EXPECT_EQ(nohomelandnames, 1);
  EXPECT_EQ(mapisscenario, 1);
  EXPECT_FLOAT_EQ(defaultmapzoom, 2.5f);
  // The other map's settings do not leak into this one.
  strlcopy(mapfile, "a.map", sizeof mapfile);
  ASSERT_EQ(choosemap(1, mapname, imagename), 1);
  EXPECT_EQ(higheststart, -1);
  EXPECT_EQ(mapindepstr, -1);
  EXPECT_FLOAT_EQ(defaultmapzoom, 1.0f);
  strlcopy(mapfile, "c.map", sizeof mapfile);
  EXPECT_EXIT(choosemap(1, mapname, imagename), testing::ExitedWithCode(1), "Map specified by --mapfile was not found");
}

TEST_F(MapList, RandomMapsByCommandLine) {
  writemap("a.map", "");
  randmap = 20;
  EXPECT_EQ(choosemap(1, mapname, imagename), 2);
  EXPECT_STREQ(mapname, "__mediumrandommap");
  randmap = 10;
  EXPECT_EQ(choosemap(1, mapname, imagename), 2);
  EXPECT_STREQ(mapname, "__smallrandommap");
}

TEST_F(MapList, StartLimitAndBadMaps) {
  std::string starts;
  for (int i = 1; i <= 100; i++) starts += "#start " + std::to_string(i) + "\n";
  writemap("s.map", starts);
  strlcopy(mapfile, "s.map", sizeof mapfile);
  EXPECT_EQ(choosemap(1, mapname, imagename), 1);
  EXPECT_EQ(higheststart, 99);
  // One more, and the map is left out, with its reason when it is asked for.
  writemap("s.map", starts + "#startspell 1 \"Fire\"\n");
  EXPECT_EQ(choosemap(1, mapname, imagename), 1);
  writemap("s.map", starts + "#start 101\n");
  EXPECT_EXIT(choosemap(1, mapname, imagename), testing::ExitedWithCode(1),
              "too many #start: s.map \\(s.map\\) has 101 #start lines, at most 100: it cannot be played");
}

TEST_F(MapList, UnusableMapTextsAreLeftOutAndNamedAndTheOthersStayChoosable) {
  writetext(mapdir() + "noimage.map", "#vey2title No image\n");
  writetext(mapdir() + "old.map", "#title Old\n#imagefile x.tga\n");
  writetext(mapdir() + "escape.map", "#vey2title Escape\n#imagefile ../x.tga\n");
  writetext(mapdir() + "lost.map", "#vey2title Lost\n#imagefile lost.tga\n");
  writetext(mapdir() + "untitled.map", "-- being drawn\n#imagefile lost.tga\n#start 3\n");
  std::filesystem::create_directories(mapdir() + "folder.map");
  std::filesystem::create_symlink("loop.map", mapdir() + "loop.map");
  // Made for a newer program: the line may stand before the title.
  writetext(mapdir() + "newer.map", "#veyversion 328\n#vey2title Newer\n#imagefile x.tga\n");
  // Read in part, a map file would lose its later lines; one of the most
  // bytes is read whole.
  const std::string head = "#vey2title Big\n#imagefile x.tga\n";
  writetext(mapdir() + "big.map", head + std::string(size_t(MAPFILEMAX) - head.size() + 1, '-'));
  const std::string edgehead = "#vey2title Edge\n#imagefile x.tga\n", edgetail = "\n#start 9\n";
  writetext(mapdir() + "edge.map", edgehead + std::string(size_t(MAPFILEMAX) - edgehead.size() - edgetail.size(), '-') +
                                       edgetail);
  ASSERT_EQ(filesize("%sedge.map", mapdir().c_str()), MAPFILEMAX);
  // The chooser reads no picture: one that cannot be read is offered, and
  // found out when its map is chosen; so is one that stands there as a loop
  // of links, which is no missing picture.
  writetext(mapdir() + "garbled.map", "#vey2title Garbled\n#imagefile garbled.tga\n");
  writetext(mapdir() + "garbled.tga", "img");
  writetext(mapdir() + "looped.map", "#vey2title Looped\n#imagefile looped.tga\n");
  std::filesystem::create_symlink("looped.tga", mapdir() + "looped.tga");
  writemap("good.map", "#start 7\n");
  testing::internal::CaptureStdout();
  const std::vector<MapChoice> maps = listmaps();
  const std::string said = testing::internal::GetCapturedStdout();
  std::vector<std::string> titles;
  for (const MapChoice& m : maps) titles.push_back(m.title);
  EXPECT_EQ(titles, (std::vector<std::string>{"Edge", "Garbled", "good.map", "Looped"}));
  // Each left out with its reason, which names its file; named on the
  // command line, it ends the run with that reason.
  const struct {
    const char* file;
    const char* reason;
  } unusable[] = {
      {"noimage.map", "map No image has no imagefile: noimage.map has no #imagefile line"},
      {"old.map", "Map old.map \\(Old\\) is in an old format that this version cannot read"},
      {"escape.map", "Bad map image name: ../x.tga, named by escape.map \\(Escape\\), could lead outside the maps folders"},
      {"lost.map", "Can't find map image: lost.tga, named by lost.map \\(Lost\\), is neither in .*/local nor in .*/maps"},
      {"untitled.map", "Map file untitled.map has no #vey2title line"},
      {"folder.map", "Map file .*/maps/folder.map cannot be read: it is a folder, not a file"},
      {"loop.map", "Map file .*/maps/loop.map cannot be read: its symbolic links go round in a loop"},
      {"newer.map", "Veyrances version is too old: this scenario requires a newer version of Veyrances: newer.map "
                    "\\(Newer\\) has #veyversion 328, and this program reads maps up to version 327"},
      {"big.map", "Map file .*/maps/big.map is too large: 500001 bytes, where a map file has at most 500000"},
  };
  for (const auto& u : unusable) {
    EXPECT_TRUE(testing::internal::RE::PartialMatch(said, std::string(u.reason) + ": left out of the choice\n"))
        << u.file << ": " << said;
    strlcopy(mapfile, u.file, sizeof mapfile);
    EXPECT_EXIT(choosemap(1, mapname, imagename), testing::ExitedWithCode(1), std::string(u.reason) + ": it cannot be played");
  }
  // Only a map that is not there is not found.
  strlcopy(mapfile, "nosuch.map", sizeof mapfile);
  EXPECT_EXIT(choosemap(1, mapname, imagename), testing::ExitedWithCode(1),
              "Map specified by --mapfile was not found: nosuch.map is not among the map files of .*/maps and .*/local");
  strlcopy(mapfile, "edge.map", sizeof mapfile);
  ASSERT_EQ(choosemap(1, mapname, imagename), 1);
  EXPECT_EQ(higheststart, 0);
  EXPECT_EQ(startlist[0], 9);
}

TEST_F(MapList, ConsoleChoiceLeavesOutMapsWithHumanNations) {
  writemap("a.map", "");
  writemap("b.map", "#computerplayer 4 2\n");
  findmaps(0);
  // Entry numbers follow the folder's order; find b's number from the listing.
  kingdom[4].w[KW_CONTROLLER] = CTRL_HUMAN;
  answer("3\n1000\n1001\n");
  int r = choosemap(1, mapname, imagename);
  EXPECT_EQ(r, 1);
  EXPECT_STREQ(mapname, "a.map");   // b is not offered, so its number is not taken
  // The list: random sizes, one numbered line per offered map, Cancel and
  // the prompt, shown again after each number that is not on it.
  fflush(dialogoutput());
  const std::string said = readtext(root + "/out.txt");
  const std::string list = "--------------\n5 <small random map>\n6 <medium random map>\n7 <large random map>\n";
  ASSERT_EQ(said.rfind(list, 0), 0u) << said;
  const size_t a = said.find(" a.map\n"), b = said.find(" b.map\n");
  ASSERT_NE(a, std::string::npos) << said;
  EXPECT_EQ(b, std::string::npos) << said;
  const std::string aline = said.substr(list.size(), a + 7 - list.size());
  EXPECT_TRUE(aline == "1000 a.map\n" || aline == "1001 a.map\n") << aline;
  EXPECT_NE(said.find("1 Cancel\nChoose map number: "), std::string::npos) << said;
  size_t shown = 0;
  for (size_t at = said.find("--------------"); at != std::string::npos; at = said.find("--------------", at + 1)) shown++;
  EXPECT_EQ(shown, aline[3] == '1' ? 3u : 2u) << said;   // 3 and the unlisted number show it again
  answer("");
  EXPECT_EQ(choosemap(1, mapname, imagename), 0);   // the input ends: cancelled
  answer("6\n");
  EXPECT_EQ(choosemap(1, mapname, imagename), 2);
}

TEST_F(MapList, MapsOfOneTitleAreToldApartByTheirFiles) {
  // An edited copy of a map in the local maps folder, beside another map.
  writetext(mapdir() + "vale.map", "#vey2title Vale\n#imagefile x.tga\n");
  writetext(mapdir() + "moor.map", "#vey2title moor\n#imagefile x.tga\n");
  writetext(root + "/local/myvale.map", "#vey2title Vale\n#imagefile x.tga\n");
  writetext(root + "/local/amber.map", "#vey2title Amber\n#imagefile x.tga\n");
  writeoneprovince(mapdir() + "x.tga");
  // The editor's list: the game's maps by title, then the player's.
  const std::vector<MapChoice> maps = listmaps();
  std::vector<std::string> titles;
  for (const MapChoice& m : maps) titles.push_back(std::to_string(m.id) + " " + m.title + " " + m.file);
  EXPECT_EQ(titles, (std::vector<std::string>{"1000 moor moor.map", "1001 Vale (vale.map) vale.map",
                                              "1002 Amber amber.map", "1003 Vale (myvale.map) myvale.map"}));
  // The chooser names the file of each of the two.
  answer("1\n");
  EXPECT_EQ(choosemap(0, mapname, imagename), 0);
  const std::string said = readtext(root + "/out.txt");
  EXPECT_NE(said.find(" Vale (vale.map)\n"), std::string::npos) << said;
  EXPECT_NE(said.find(" Vale (myvale.map)\n"), std::string::npos) << said;
  EXPECT_NE(said.find(" moor\n"), std::string::npos) << said;
}

TEST_F(MapList, DeleteMapRemovesOnlyThePlayersOwnMapFiles) {
  // A map of the data folder cannot be deleted: Delete is not offered, and
  // choosing it anyway leaves the files.
  writemap("a.map", "");
  writetext(mapdir() + "x.tga", "img");
  strlcopy(mapfilename, "a.map", PATHLEN);
  strlcopy(mapimagename, "x.tga", PATHLEN);
  strlcopy(maptitle, "Aland", PATHLEN);
  answer("999\n");
  EXPECT_EQ(deletemap(), 1);
  answer("997\nyes\n998\n");
  EXPECT_EQ(deletemap(), 0);
  EXPECT_TRUE(fileexists("%s/a.map", mappath));
  EXPECT_TRUE(fileexists("%s/x.tga", mappath));
  // The player's own map: asked by its name; refused, then agreed.
  const std::string local = std::string(localmappath) + "/";
  std::filesystem::create_directories(local);
  writetext(local + "a.map", "#vey2title Aland\n#imagefile x.tga\n");
  writetext(local + "x.tga", "img");
  writetext(local + "other.tga", "img");
  answer("997\nno\n998\n");
  EXPECT_EQ(deletemap(), 0);
  EXPECT_TRUE(fileexists("%s/a.map", localmappath));
  answer("997\nyes\n");
  EXPECT_EQ(deletemap(), 0);
  EXPECT_FALSE(fileexists("%s/a.map", localmappath));
  EXPECT_FALSE(fileexists("%s/x.tga", localmappath));
  EXPECT_TRUE(fileexists("%s/other.tga", localmappath));
  EXPECT_TRUE(fileexists("%s/a.map", mappath));   // the data folder's map of that name stays
  EXPECT_TRUE(fileexists("%s/x.tga", mappath));
  fflush(dialogoutput());
  const std::string said = readtext(root + "/out.txt");
  EXPECT_NE(said.find("Delete Map?\n\nThe files of Aland (a.map) are removed"), std::string::npos) << said;
}

TEST_F(MapList, FilesStayApartAndEachEntryKeepsItsFile) {
  // The first file ends without a line end and the third has two titles; a
  // file of the local maps folder without a title comes after every map of
  // the maps folder, and none of its lines reaches the map before it.
  writetext(mapdir() + "a.map", "#vey2title A\n#start 3\n#imagefile a.tga");
  writetext(mapdir() + "c.map", "#vey2title C\n#imagefile c.tga\n#start 5\n");
  writetext(mapdir() + "d.map", "#vey2title D\n#imagefile d.tga\n#start 6\n#vey2title D again\n#start 8\n");
  writetext(root + "/local/b.map", "-- no title here\n#imagefile lost.tga\n#start 4\n#computerplayer 3 2\n#scenario\n");
  writetext(mapdir() + std::string(120, 'n') + ".map", "#vey2title Long\n#imagefile l.tga\n");
  for (const char* image : {"a.tga", "c.tga", "d.tga", "l.tga"}) writeoneprovince(mapdir() + image);
  const struct {
    const char* file;
    const char* image;
    int32_t start;
  } cases[] = {{"a.map", "a.tga", 3}, {"c.map", "c.tga", 5}, {"d.map", "d.tga", 6}};
  for (const auto& c : cases) {
    strlcopy(mapfile, c.file, sizeof mapfile);
    ASSERT_EQ(choosemap(1, mapname, imagename), 1) << c.file;
    EXPECT_STREQ(mapname, c.file);
    EXPECT_STREQ(imagename, c.image);
    ASSERT_EQ(higheststart, 0) << c.file;
    EXPECT_EQ(startlist[0], c.start);
    EXPECT_EQ(kingdom[3].w[KW_CONTROLLER], CTRL_NONE) << c.file;
    EXPECT_EQ(mapisscenario, 0) << c.file;
  }
  strlcopy(mapfile, "b.map", sizeof mapfile);
  EXPECT_EXIT(choosemap(1, mapname, imagename), testing::ExitedWithCode(1),
              "Map file b.map has no #vey2title line: it cannot be played");
  findmaps(0);
  EXPECT_EQ(highestmap, 3);   // the overlong name is not listed
}

}  // namespace
