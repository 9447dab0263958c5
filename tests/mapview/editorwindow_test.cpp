// The map editor in a real window: a picture opened as a new map, one
// province chosen on the map, made sea and named, neighbours set and unset
// with the mouse, the map saved, and the change found in the file.
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "gfx/dialogwindow.h"
#include "gfx/xwindow.h"
#include "mapview/mapeditor.h"
#include "mapview/mapview.h"
#include "support/mapfixture.h"

namespace {

class EditorWindow : public ShippedMapFolders {
 protected:
  void TearDown() override {
    freemaptextures();
    ShippedMapFolders::TearDown();
  }
};

TEST_F(EditorWindow, NewMapFromAPictureMarkedSeaNamedAndSaved) {
  // Five provinces on a 400 x 300 picture, numbered from the bottom row up:
  // 1 (100, 100), 2 (300, 100), 3 (100, 220), 4 (300, 220), 5 (370, 280);
  // the picture shows 4 and 5 as neighbours.
  Picture p(400, 300, 40, 120, 40);
  p.redcolumn(200);
  p.redrow(160);
  p.white(100, 100), p.white(300, 100), p.white(100, 220), p.white(300, 220), p.white(370, 280);
  writetga(mapdir() + "quad.tga", p, false);
  RealWindow w(800, 600);
  ASSERT_TRUE(w.ok);
  installmapscreens();
  // The map opens at its centre (200, 150) at the least zoom that fills
  // 480 x 360 units, 1.2: province 2 stands at window pixel (520, 360),
  // 4 at (520, 216), 5 at (604, 144).
  const std::string shot = tempfile("editor.ppm"), asked = tempfile("replace.ppm");
  const std::string script =
      "waitfor 1\nclickid 1\nwait 2\ntype quad\nkey return\nwait 5\n"
      "waitfor 26\nwait 2\nclick 520 360 3\nwait 2\n"   // right click: province 2 chosen
      "clickid 1\nwait 2\n"                              // Sea
      "clickid 10\nwait 2\ntype Salt \"Bay\"\nkey return\nwaitfor 26\nwait 2\n"
      "click 520 216\nwait 2\nclick 604 144\nwait 2\n"   // neighbours 2-4 and 2-5
      "hold left ctrl\nwait 1\nclick 604 144\nwait 2\nrelease left ctrl\nwait 2\n"   // 2-5 no more
      "shot " + shot + "\nwait 1\n"
      "clickid 26\nwait 2\ntype quadmap\nkey return\nwait 2\nkey return\n"   // saved, and told so
      "waitfor 26\nwait 2\nclickid 1\nwait 2\n"                              // 2 no more sea
      "clickid 26\nwait 2\ntype quadmap\nkey return\nwait 20\n"             // the same name again:
      "shot " + asked + "\nwait 1\nkey escape\nwait 2\n"                     // asked, and kept
      "waitfor 26\nwait 2\nclickid 26\nwait 2\ntype quadmap.map\nkey return\nwait 2\n"
      "waitfor 6\nclickid 6\nwait 2\nkey return\n"                            // replaced, and told so
      "waitfor 999\nwait 1\nkey escape\nwait 3\nkey escape\n";   // the editor, then its menu
  setinputscript(script.c_str());
  // The window's own boxes, with what they said noted down.
  static std::vector<std::string> said;
  said.clear();
  static const Dialogs noting = {
      [](const char* text) { return said.push_back(text), windowmsgbox(text); },
      [](const char* text) { return said.push_back(text), windowconfirmbox(text); },
      windowinputstring, windownumber, windowmenu, nullptr,
      [](const char* title, const char* text, const char* yes, const char* save, const char* cancel) {
        return said.push_back(text), windowsafequestion(title, text, yes, save, cancel);
      }};
  setdialogs(&noting);
  mapeditor();
  installwindowdialogs(1);
  // Saved once; the same name asked about twice, refused and then agreed;
  // saved over the old file.
  ASSERT_EQ(said.size(), 4u);
  EXPECT_EQ(said[0], "Map saved as quadmap.map");
  for (int i : {1, 2}) EXPECT_EQ(said[size_t(i)].find("A map called quadmap.map already stands in "), 0u) << said[size_t(i)];
  EXPECT_EQ(said[3], "Map saved as quadmap.map");
  const std::string text = readtext(root + "/local/quadmap.map");
  ASSERT_FALSE(text.empty());
  EXPECT_NE(text.find("#imagefile quad.tga\n"), std::string::npos) << text;
  EXPECT_NE(text.find("#landname 2 \"Salt  Bay \"\n#terrain 2 0\n"), std::string::npos) << text;
  EXPECT_NE(text.find("#neighbour 2 4\n"), std::string::npos) << text;
  EXPECT_EQ(text.find("#neighbour 2 5\n"), std::string::npos) << text;
  EXPECT_NE(text.find("#neighbour 4 5\n"), std::string::npos) << text;
  // The screen showed the map beside its window: the picture's green, and
  // the white neighbour line from 2 up to 4, between their flags.
  Shot s = readshot(shot);
  ASSERT_GT(s.width, 0);
  EXPECT_GT(pixelslike(s, {310, 130, 170, 70}, 40, 120, 40, 12), 170 * 70 * 9 / 10);
  EXPECT_GT(16 * 55 - pixelslike(s, {512, 320, 16, 55}, 40, 120, 40, 12), 40);
  if (getenv("VEY3_KEEPSHOTS")) printf("Editor shot: %s, the question: %s\n", shot.c_str(), asked.c_str());
  dropshot(asked);
  dropshot(shot);
  setmapscreens(nullptr);
}

TEST_F(EditorWindow, LoadMapListsTheMapsAndACopyTakesItsNewNameAsTitle) {
  // The player's own copy of Veyrmark, of the same title: the list shows the
  // game's maps first (Test Vale 1000, Veyrmark 1001), then the copy (1002).
  std::filesystem::create_directories(root + "/local");
  std::filesystem::copy_file(mapdir() + "veyrmark.map", root + "/local/veyrold.map");
  RealWindow w(800, 600);
  ASSERT_TRUE(w.ok);
  installmapscreens();
  // Veyrmark opened from the list and saved as myveyr: titled so. Then a
  // title given, which a save under yet another name keeps.
  const std::string list = tempfile("loadlist.ppm"), panel = tempfile("editpanel.ppm");
  const std::string script =
      "waitfor 2\nclickid 2\nwaitfor 1002\nwait 2\nshot " + list + "\nwait 1\nclickid 1001\n"
      "waitfor 26\nwait 2\nclickid 26\nwait 2\ntype myveyr\nkey return\nwait 2\nkey return\n"
      "waitfor 31\nwait 2\nshot " + panel + "\nwait 1\nclickid 31\nwait 2\n"
      "key backspace\nkey backspace\nkey backspace\nkey backspace\nkey backspace\nkey backspace\n"
      "type Old Realm\nkey return\nwait 2\n"
      "waitfor 26\nclickid 26\nwait 2\ntype realm2\nkey return\nwait 2\nkey return\n"
      "waitfor 999\nwait 1\nkey escape\nwait 3\nkey escape\n";
  setinputscript(script.c_str());
  mapeditor();
  const std::string copy = readtext(root + "/local/myveyr.map"), titled = readtext(root + "/local/realm2.map");
  EXPECT_NE(copy.find("\n#vey2title myveyr\n"), std::string::npos) << copy.substr(0, 200);
  EXPECT_NE(copy.find("#imagefile veyrmark.tga\n"), std::string::npos);
  EXPECT_NE(titled.find("\n#vey2title Old Realm\n"), std::string::npos) << titled.substr(0, 200);
  if (getenv("VEY3_KEEPSHOTS")) printf("The list: %s, the panel: %s\n", list.c_str(), panel.c_str());
  dropshot(list);
  dropshot(panel);
  setmapscreens(nullptr);
}

}  // namespace
