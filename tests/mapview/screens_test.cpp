// The player's map screens in a real window: the Random Map Creator makes
// and saves a map, the chooser offers the maps and random sizes, and the map
// information screen shows the chosen map's picture.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <string>

#include "gfx/xwindow.h"
#include "runtime/alloc.h"
#include "runtime/image.h"
#include "mapview/mapview.h"
#include "support/dialogscript.h"
#include "support/guitexts.h"
#include "support/mapfixture.h"
#include "support/xevents.h"
#include "runtime/folders.h"
#include "worldgen/randmap.h"
#include "worldgen/worldgen.h"

namespace {
struct Maps {
  std::string local;
  Maps() {
    local = tempfile("maps");
    std::filesystem::create_directories(local);
    strlcopy(localmappath, local.c_str(), PATHLEN);
    formatbounded(mappath, PATHLEN, "%s/maps", VEY3_DATA_DIR);
    installmapscreens();
  }
  ~Maps() {
    setmapscreens(nullptr);
    std::filesystem::remove_all(local);
  }
};

}  // namespace

TEST(MapScreens, RandomMapCreatorMakesShowsAndSavesAMap) {
  RealWindow w;
  ASSERT_TRUE(w.ok);
  Maps maps;
  std::string shot = tempfile("rmc.ppm");
  // Ids 2, 3 and 4 are the panel's size buttons; the number dialog's own
  // are 1..3, so the panel is known by id 4. The boxes open empty.
  const std::string clear = "key backspace\nkey backspace\nkey backspace\nkey backspace\n";
  std::string script =
      "waitfor 2\nclickid 2\nwait 2\n" + clear + "type 400\nkey return\n"
      "waitfor 4\nclickid 3\nwait 2\n" + clear + "type 300\nkey return\n"
      "waitfor 4\nclickid 4\nwait 2\n" + clear + "type 20\nkey return\n"
      "waitfor 12\nclickid 12\n"   // impassable mountains off
      "wait 2\nclickid 9\nwaitfor 7\nwait 2\nshot " + shot + "\n"
      "wait 1\nclickid 7\nwait 2\ntype my_test_world\nkey return\n"
      "waitfor 7\nwait 1\nkey escape\n";
  setinputscript(script.c_str());
  impassmount = 1;
  // The map drawn is the same whatever the tests before this one drew.
  seedrandommap(5);
  random_map_creator_screen();
  // The map was made at the size set and saved under the name typed.
  std::string map = readtext(maps.local + "/my_test_world.map");
  EXPECT_NE(map.find("#vey2title my_test_world"), std::string::npos);
  EXPECT_NE(map.find("#imagefile my_test_world.rgb"), std::string::npos);
  EXPECT_EQ(map.find("0x400000"), std::string::npos);
  int32_t iw = 0, ih = 0;
  std::string image = maps.local + "/my_test_world.rgb";
  uint8_t* pixels = loadimage(image.c_str(), &iw, &ih, 0);
  ASSERT_NE(pixels, nullptr);
  myfree(pixels);
  EXPECT_EQ(iw, 400);
  EXPECT_EQ(ih, 300);
  // The map is shown behind the panel: right of the panel the picture's
  // colours, not the title backdrop's (which is four fifths of that strip;
  // a map's borders and deep sea a few hundredths).
  Shot s = readshot(shot);
  ASSERT_GT(s.width, 0);
  int32_t dark = pixelslike(s, {600, 50, 180, 500}, 20, 14, 30, 25);
  EXPECT_LT(dark, 180 * 500 / 10);
  dropshot(shot);
}

TEST(MapScreens, RandomMapCreatorMakesASmallMapWithAllItsProvinces) {
  RealWindow w;
  ASSERT_TRUE(w.ok);
  Maps maps;
  // The console answers the panel's number boxes: 100 x 100 pixels for the
  // 150 provinces that the panel starts with. A width out of range is
  // answered once and keeps the width; the box is not asked again.
  setdialogs(nullptr);
  DialogScript answers("50\n100\n100\n");
  setinputscript("waitfor 2\nclickid 2\nwait 2\nclickid 2\nwait 2\nclickid 3\nwait 2\nclickid 9\nwaitfor 7\nwait 1\nkey escape\n");
  random_map_creator_screen();
  int32_t iw = 0, ih = 0, whites = 0;
  const std::string image = maps.local + "/tmp_randommap.rgb";
  uint8_t* pixels = loadimage(image.c_str(), &iw, &ih, 0);
  ASSERT_NE(pixels, nullptr) << answers.printed();
  for (int64_t i = 0; i < int64_t(iw) * ih; i++)
    whites += pixels[i * 4] == 255 && pixels[i * 4 + 1] == 255 && pixels[i * 4 + 2] == 255;
  myfree(pixels);
  EXPECT_EQ(iw, 100);
  EXPECT_EQ(ih, 100);
  EXPECT_EQ(whites, 150);
}

TEST(MapScreens, DeletingAMapNamesItsFileAndReturnOrEscapeKeepIt) {
  RealWindow w;
  ASSERT_TRUE(w.ok);
  Maps maps;
  // An edited copy of Veyrmark in the player's own maps folder.
  const std::string shipped = std::string(mappath) + "/veyrmark.";
  std::filesystem::copy_file(shipped + "map", maps.local + "/myveyr.map");
  std::filesystem::copy_file(shipped + "tga", maps.local + "/veyrmark.tga");
  strlcopy(mapfilename, "myveyr.map", PATHLEN);
  strlcopy(mapimagename, "veyrmark.tga", PATHLEN);
  strlcopy(maptitle, "Veyrmark", PATHLEN);
  // The Delete key asks; Return, then Escape, answer Cancel and go back to
  // the map, which Escape leaves.
  for (const char* answer : {"Return", "Escape"}) {
    XEvents keys;
    keys.key("Delete").pause(0.5).key(answer).pause(0.5).key("Escape");
    keys.start();
    EXPECT_EQ(deletemap(), 0);
    ASSERT_TRUE(keys.finish());
    EXPECT_TRUE(fileexists("%s/myveyr.map", maps.local.c_str())) << answer;
    EXPECT_TRUE(fileexists("%s/veyrmark.tga", maps.local.c_str())) << answer;
  }
  // The question names the map and its file; its button deletes both files.
  const std::string shot = tempfile("deletemap.ppm");
  setinputscript(("waitfor 997\nkey delete\nwaitfor 6\nwait 2\nshot " + shot + "\nwait 1\nclickid 6\n").c_str());
  EXPECT_EQ(deletemap(), 0);
  EXPECT_NE(windowtexts().find("The files of Veyrmark (myveyr.map) are removed"), std::string::npos) << windowtexts();
  EXPECT_FALSE(fileexists("%s/myveyr.map", maps.local.c_str()));
  EXPECT_FALSE(fileexists("%s/veyrmark.tga", maps.local.c_str()));
  if (getenv("VEY3_KEEPSHOTS")) printf("The question: %s\n", shot.c_str());
  else dropshot(shot);
}

TEST(MapScreens, ChooserOffersMapsAndRandomSizesAndShowsTheChosenMap) {
  RealWindow w;
  ASSERT_TRUE(w.ok);
  Maps maps;
  char name[PATHLEN], image[PATHLEN];
  std::string list = tempfile("choose.ppm");
  setinputscript(("waitfor 6\nwait 1\nshot " + list + "\nwait 1\nclickid 6\n").c_str());
  EXPECT_EQ(choosemap(1, name, image), 2);
  EXPECT_STREQ(name, "__mediumrandommap");
  // Both built-in maps are listed with their land and sea counts.
  int32_t listed = 0;
  for (int32_t i = 0; i < guiareacount(); i++) {
    const guiarea& a = guiareaget(i);
    if (a.kind == AreaKind::text && strstr(std::string(guiareatext(a), size_t(a.length)).c_str(), " land + ")) listed++;
  }
  EXPECT_EQ(listed, 2);
  EXPECT_GT(pixelslike(readshot(list), guishownwindow(), 255, 255, 255, 60), 100);
  dropshot(list);
  // As a new game asks: into the names of the chosen map.
  setinputscript("waitfor 1001\nclickid 1001\n");
  EXPECT_EQ(choosemap(1, mapfilename, mapimagename), 1);
  EXPECT_TRUE(strstr(mapfilename, ".map"));
  EXPECT_GT(strlen(maptitle), 0u);
  // The information screen shows the picture in its preview square, in the
  // map's own shape.
  std::string shot = tempfile("info.ppm");
  setinputscript(("waitfor 999\nwait 2\nshot " + shot + "\nwait 1\nclickid 999\n").c_str());
  EXPECT_EQ(deletemap(), 1);
  int32_t preview = -1;
  for (int32_t i = 0; i < guiareacount(); i++)
    if (guiareaget(i).kind == AreaKind::callback) preview = i;
  ASSERT_GE(preview, 0);
  const guiarea& p = guiareaget(preview);
  EXPECT_FLOAT_EQ(p.w, 240);
  Shot s = readshot(shot);
  // The map fills the square across and leaves a band of the window's own
  // background above and below, as its shape gives (an 800 x 600 window:
  // one pixel a unit).
  ASSERT_GT(mapwidth(), mapheight());
  const float band = p.h * (1 - float(mapheight()) / float(mapwidth())) / 2;
  auto spread = [&](float bottom, float height) {
    int32_t most = 0;
    const int32_t top = s.height - int32_t(bottom + height), x0 = int32_t(p.x) + 2;
    const uint8_t* first = s.at(x0, top);
    for (int32_t y = top; y < s.height - int32_t(bottom); y++)
      for (int32_t x = x0; x < int32_t(p.x + p.w) - 2; x++)
        for (int32_t c = 0; c < 3; c++) most = std::max(most, std::abs(int32_t(s.at(x, y)[c]) - first[c]));
    return most;
  };
  EXPECT_LT(spread(p.y + p.h - band + 2, band - 4), 30);   // the band above: plain background
  EXPECT_LT(spread(p.y + 2, band - 4), 30);                // and below
  EXPECT_GT(spread(p.y + p.h / 2 - 10, 20), 60);           // the map across the middle
  setinputscript("waitfor 998\nkey escape\n");
  EXPECT_EQ(deletemap(), 0);
  // Cancel in the chooser.
  setinputscript("waitfor 1\nclickid 1\n");
  EXPECT_EQ(choosemap(1, name, image), 0);
  dropshot(shot);
}
