// The map file reader: text routines, the reading rule and the small passes.
#include "support/mapfixture.h"

#include <cstring>

#include "runtime/ask.h"

namespace {

std::string lr(const std::string& s) {
  char buffer[PATHLEN];
  int n = getlinerest(s.data(), s.data() + s.size(), buffer);
  EXPECT_EQ(size_t(n), strlen(buffer));
  return buffer;
}

TEST(TextRoutines, LineRest) {
  EXPECT_EQ(lr("  \t my map.tga  \t\r\nnext"), "my map.tga");
  EXPECT_EQ(lr("   \nx"), "");
  EXPECT_EQ(lr(""), "");
  EXPECT_EQ(lr("abc"), "abc");   // ends at the end of the text, not at a terminator
  std::string longline(3000, 'x');
  EXPECT_EQ(lr(longline).size(), size_t(PATHLEN - 1));
}

TEST(TextRoutines, QuotedStringSpansLines) {
  char b[5000];
  std::string t = "x \"first\nsecond \n\" tail";
  EXPECT_EQ(getquotedstr(t.data(), t.data() + t.size(), b, 5000), 12);
  EXPECT_STREQ(b, "first\nsecond");
  std::string open = "x \"never closed";
  EXPECT_EQ(getquotedstr(open.data(), open.data() + open.size(), b, 5000), 0);
  EXPECT_STREQ(b, "");
  std::string none = "no quote";
  EXPECT_EQ(getquotedstr(none.data(), none.data() + none.size(), b, 5000), 0);
  std::string cut = "\"abcdef\"";
  EXPECT_EQ(getquotedstr(cut.data(), cut.data() + cut.size(), b, 4), 3);
  EXPECT_STREQ(b, "abc");
}

TEST(TextRoutines, QuotedArgStaysOnItsLine) {
  char b[QUOTEDTEXTLEN];
  std::string t = "12 \"Ulm Forest\" 3";
  EXPECT_EQ(getquotedtext(t.data(), t.data() + t.size(), b), 10);
  EXPECT_STREQ(b, "Ulm Forest");
  std::string nextline = "12\n\"Other\"";
  EXPECT_EQ(getquotedtext(nextline.data(), nextline.data() + nextline.size(), b), 0);
  EXPECT_STREQ(b, "");
  std::string empty = "\"\"";
  EXPECT_EQ(getquotedtext(empty.data(), empty.data() + empty.size(), b), 0);
  std::string longq = "\"" + std::string(600, 'n') + "\"";
  EXPECT_EQ(getquotedtext(longq.data(), longq.data() + longq.size(), b), 495);
  EXPECT_EQ(strlen(b), 495u);
  std::string open = "\"abc";
  EXPECT_EQ(getquotedarg(open.data(), open.data() + open.size(), b, 10), 3);
  EXPECT_EQ(getquotedarg(open.data(), open.data() + open.size(), b, 1), 0);
}

TEST(TextRoutines, NumbersKeepTheirValueWhenMissingAndSaturate) {
  int32_t v[3] = {7, 8, 9};
  EXPECT_EQ(scanints(" 12 -4 x", v, 3), 2);
  EXPECT_EQ(v[0], 12);
  EXPECT_EQ(v[1], -4);
  EXPECT_EQ(v[2], 9);
  EXPECT_EQ(scanints("99999999999999", v, 1), 1);
  EXPECT_EQ(v[0], INT32_MAX);
  float f[4] = {0, 0, 0, 5};
  EXPECT_EQ(scanfloats("0.5 1 0.25", f, 4), 3);
  EXPECT_FLOAT_EQ(f[2], 0.25f);
  EXPECT_FLOAT_EQ(f[3], 5.0f);
}

int run(int (*pass)(const char*, int32_t), const std::string& text) {
  // A copy without a terminator right behind it, so reads past the end show up.
  std::vector<char> copy(text.begin(), text.end());
  return pass(copy.data(), int32_t(copy.size()));
}

TEST(MapInfo, TitleDescriptionImageZoomColour) {
  int r = run(readmapinfo,
              "-- a comment\n#vey2title Test Land  \n#description \"A small\nworld\"\n"
              "#imagefile my map.tga  \n#defaultmapzoom 1.5\n#maptextcol 0.1 0.2 0.3 0.4\n");
  EXPECT_EQ(r, 1);
  EXPECT_STREQ(maptitle, "Test Land");
  EXPECT_STREQ(mapdescription, "A small\nworld");
  EXPECT_STREQ(mapimagename, "my map.tga");
  EXPECT_FLOAT_EQ(defaultmapzoom, 1.5f);
  EXPECT_FLOAT_EQ(maptextcolour[3], 0.4f);
  defaultmapzoom = 1.0f;
  EXPECT_EQ(run(readmapinfo, "#vey2title x\n"), 0);
  EXPECT_STREQ(mapdescription, "");
  // An image name that would leave the maps folders is refused.
  EXPECT_EQ(run(readmapinfo, "#imagefile ../../etc/secret.tga\n"), 0);
  EXPECT_STREQ(mapimagename, "");
}

TEST(MapGeo, NeighboursTerrainAndNoStart) {
  clearlandtables();
  provgeo[3].nbr[0] = 9;   // lists from an earlier map are emptied first
  int r = run(readmapgeo,
              "#vey2title g\n#neighbour 5 7\n#neighbor 5 8\n#neighbour 0 3\n#neighbour 3 1504\n"
              "#nostart 12\n#terrain 12 0\n#terrain 13 4100\n#terrain 14 -1\n#terrain 1504 4\n");
  EXPECT_EQ(r, 1);
  EXPECT_EQ(provgeo[5].nbr[0], 7);
  EXPECT_EQ(provgeo[5].nbr[1], 8);
  EXPECT_EQ(provgeo[7].nbr[0], 5);
  EXPECT_EQ(provgeo[8].nbr[0], 5);
  EXPECT_EQ(provgeo[3].nbr[0], 0);
  EXPECT_EQ(provgeo[12].terrain, TM_NOSTART);
  EXPECT_EQ(provgeo[13].terrain, 4100u);
  EXPECT_EQ(provgeo[14].terrain, 0u);
  EXPECT_EQ(run(readmapgeo, "#neighbour 1 2"), 0);   // no title; the last line has no line end
  EXPECT_EQ(provgeo[1].nbr[0], 2);
}

TEST(MapGeo, NewerVersionIsToldInABoxThenEndsTheRun) {
  EXPECT_EQ(run(readmapgeo, "#veyversion 327\n"), 0);
  // The player's box, not standard output, carries the reason.
  static const Dialogs toerr = {.tell = [](const char* text) {
    fprintf(stderr, "box: %s\n", text);
    return 1;
  }};
  EXPECT_EXIT(
      {
        setdialogs(&toerr);
        run(readmapgeo, "#veyversion 328\n");
      },
      testing::ExitedWithCode(1),
      "box: This scenario requires a newer version of Veyrances\\.(.|\n)*Veyrances version is too old: this scenario "
      "requires a newer version of Veyrances: the map has #veyversion 328");
}

TEST(MapGeo, HashInsideAnArgumentStartsACommand) {
  clearlandtables();
  run(readmapgeo, "#description \"a #neighbour 2 3 inside\"\n");
  EXPECT_EQ(provgeo[2].nbr[0], 3);
  // Scanning goes on right after the keyword, so a keyword glued to the next
  // is skipped, while one later on the line is read.
  run(readmapgeo, "#nostart 4 #nostart 6\n");
  EXPECT_EQ(provgeo[4].terrain, TM_NOSTART);
  EXPECT_EQ(provgeo[6].terrain, TM_NOSTART);
}

TEST(AllowedPlayers, LastNumberAndFlags) {
  EXPECT_EQ(run(readallowedplayers, "#vey2title x\n"), 95);
  EXPECT_EQ(allowedplayersgiven, 0);
  EXPECT_EQ(run(readallowedplayers, "#allowedplayer 3\n#allowedplayer 120\n"), 120);
  EXPECT_EQ(allowedplayersgiven, 1);
  EXPECT_EQ(allowedplayers[3], 1);
  EXPECT_EQ(run(readallowedplayers, "#allowedplayer 4\n#allowedplayer x\n"), 4);
  EXPECT_EQ(allowedplayers[3], 0);
}

class MapFiles : public MapFolders {};

TEST_F(MapFiles, FoundInGameFolderLocalThenMapsAndModes) {
  writetext(mapdir() + "a.map", "#vey2title In maps\n#imagefile a.tga\n#allowedplayer 7\n#neighbour 1 2\n");
  EXPECT_EQ(readmapfile(nullptr, "a.map", MAPREAD_INFO), 1);
  EXPECT_STREQ(maptitle, "In maps");
  writetext(root + "/local/a.map", "#vey2title In local\n");
  EXPECT_EQ(readmapfile("", "a.map", 5), 0);   // mode 5 reads like mode 1
  EXPECT_STREQ(maptitle, "In local");
  mkdirs((root + "/save/g").c_str());
  writetext(root + "/save/g/a.map", "#vey2title In game\n#allowedplayer 9\n");
  EXPECT_EQ(readmapfile("g", "a.map", MAPREAD_PLAYERS), 9);
  EXPECT_EQ(readmapfile(nullptr, "a.map", MAPREAD_GEO), 1);
}

TEST_F(MapFiles, MissingOrBadNamesStop) {
  EXPECT_DEATH(readmapfile(nullptr, "none.map", MAPREAD_INFO), "veyloadmalloc: load failed");
  writetext(mapdir() + "empty.map", "");
  EXPECT_DEATH(readmapfile(nullptr, "empty.map", MAPREAD_INFO), "veyloadmalloc: load failed");
  EXPECT_DEATH(readmapfile(nullptr, "../secret.map", MAPREAD_INFO), "Bad map file name");
  EXPECT_DEATH(readmapfile("..", "a.map", MAPREAD_INFO), "Bad map file name");
}

}  // namespace
