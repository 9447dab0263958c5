// The map editor in a real window: a picture opened as a new map, one
// province chosen on the map, made sea and named, neighbours set and unset
// with the mouse, the map saved, and the change found in the file; a map
// file opened by name; edits that are not saved asked about on leaving and
// on the window's close, under keys and clicks from the X server.
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "gfx/dialogwindow.h"
#include "gfx/xwindow.h"
#include "mapview/mapeditor.h"
#include "mapview/mapview.h"
#include "support/mapfixture.h"
#include "support/pacedscript.h"
#include "support/xinput.h"

namespace {

// The window's own boxes, with what they said noted down.
std::vector<std::string> said;
const Dialogs noting = {
    [](const char* text) { return said.push_back(text), windowmsgbox(text); },
    [](const char* text) { return said.push_back(text), windowconfirmbox(text); },
    windowinputstring, windownumber, windowmenu, nullptr,
    [](const char* title, const char* text, const char* yes, const char* save, const char* cancel) {
      return said.push_back(text), windowsafequestion(title, text, yes, save, cancel);
    }};

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
      "clickid 26\nwait 2\ntype quadmap\nkey return\nwait 2\n"             // saved, without a box
      "waitfor 26\nwait 2\nclickid 1\nwait 2\n"                              // 2 no more sea
      "clickid 26\nwait 2\ntype quadmap\nkey return\nwait 20\n"             // the same name again:
      "shot " + asked + "\nwait 1\nkey escape\nwait 2\n"                     // asked, and kept
      "waitfor 26\nwait 2\nclickid 26\nwait 2\ntype quadmap.map\nkey return\nwait 2\n"
      "waitfor 6\nclickid 6\nwait 2\n"                                         // replaced
      "waitfor 999\nwait 1\nkey escape\nwait 3\nkey escape\n";   // the editor, then its menu
  setinputscript(script.c_str());
  said.clear();
  setdialogs(&noting);
  mapeditor();
  installwindowdialogs(1);
  // Saved once, no box telling so; the same name asked about twice, refused
  // and then agreed; saved over the old file.
  ASSERT_EQ(said.size(), 2u);
  for (int i : {0, 1}) EXPECT_EQ(said[size_t(i)].find("A map called quadmap.map already stands in "), 0u) << said[size_t(i)];
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
  // Nothing but the background along the bottom of the screen: no line of
  // hints there.
  EXPECT_GT(pixelslike(s, {180, 2, 440, 20}, 34, 42, 58, 20), 440 * 20 * 95 / 100);
  if (getenv("VEY3_KEEPSHOTS")) printf("Editor shot: %s, the question: %s\n", shot.c_str(), asked.c_str());
  dropshot(asked);
  dropshot(shot);
  setmapscreens(nullptr);
}

// The menu's Load map (its Exit, 9, is no id of a dialog), Test Vale typed,
// and what comes after it. Script lines of a real key, and of a real click
// on an area, each acted on before the script's own events that follow.
std::string loadvale(const std::string& then) {
  return "waitfor 9\nclickid 2\nwait 2\ntype testvale\nkey return\nwaitfor 26\nwait 2\n" + then;
}
std::string xkey(const char* key) { return xdoline(std::string("key ") + key) + "wait 2\n"; }
std::string xclick(int32_t id) { return line("point", id) + "wait 2\n" + xdoline("click 1") + "wait 2\n"; }

// Load map asks for the file by name; a box opened from the editing screen
// shows it behind; Save map writes the title of the map, without a box
// telling so. A name typed is looked for as it stands in both maps folders
// before ".map" is added: "vale" in the local maps folder (Test Vale) is
// opened before "vale.map" in the maps folder (Veyrmark).
TEST_F(EditorWindow, LoadMapAsksForTheFileAndSavingKeepsTheTitle) {
  RealWindow w(800, 600);
  ASSERT_TRUE(w.ok);
  installmapscreens();
  ASSERT_EQ(system(("cp '" + root + "/maps/testvale.map' '" + root + "/local/vale'").c_str()), 0);
  ASSERT_EQ(system(("cp '" + root + "/maps/veyrmark.map' '" + root + "/maps/vale.map'").c_str()), 0);
  const std::string panel = tempfile("editpanel.ppm"), look = tempfile("bglook.ppm");
  setinputscript(("waitfor 9\nclickid 2\nwait 2\ntype ../maps/veyrmark\nkey return\nwait 2\nkey return\n"
                  "wait 20\nwaitfor 9\nclickid 2\nwait 2\ntype veyrmark\nkey return\n"
                  "waitfor 26\nwait 2\nclickid 29\nwait 3\nshot " + look + "\nwait 1\nkey return\n"
                  "waitfor 26\nwait 2\nshot " + panel + "\nwait 1\nclickid 26\nwait 2\ntype myveyr\nkey return\n"
                  "wait 2\nwaitfor 999\nwait 1\nkey escape\n"
                  "waitfor 9\nwait 2\nclickid 2\nwait 2\ntype vale\nkey return\nwaitfor 26\nwait 2\n"
                  "clickid 26\nwait 2\ntype valecopy\nkey return\nwait 2\nwaitfor 999\nwait 1\nkey escape\n"
                  "wait 3\nkey escape\n").c_str());
  said.clear();
  setdialogs(&noting);
  mapeditor();
  installwindowdialogs(1);
  EXPECT_EQ(said, (std::vector<std::string>{"Cannot open file"}));
  const std::string copy = readtext(root + "/local/myveyr.map");
  EXPECT_NE(copy.find("\n#vey2title Veyrmark\n"), std::string::npos) << copy.substr(0, 200);
  EXPECT_NE(copy.find("#imagefile veyrmark.tga\n"), std::string::npos);
  const std::string vale = readtext(root + "/local/valecopy.map");
  EXPECT_NE(vale.find("\n#vey2title Test Vale\n"), std::string::npos) << vale.substr(0, 200);
  // The Battle Ground Look box stood over the editing screen, whose dark
  // panel showed behind it (not the bare map).
  const Shot s = readshot(look);
  EXPECT_GT(pixelslike(s, {30, 250, 120, 100}, 0, 0, 0, 40), 120 * 100 * 7 / 10);
  if (getenv("VEY3_KEEPSHOTS")) printf("The panel: %s, the look: %s\n", panel.c_str(), look.c_str());
  dropshot(panel);
  dropshot(look);
  setmapscreens(nullptr);
}

// Leaving with an edit not saved asks; Return keeps the editor, Leave
// without saving leaves it, Save and leave saves first; with nothing
// changed Exit leaves at once. (The question's buttons share their ids with
// terrain toggles behind it: it is waited for by frames.)
TEST_F(EditorWindow, LeavingAsksAboutEditsNotSaved) {
  RealWindow w(800, 600);
  ASSERT_TRUE(w.ok);
  installmapscreens();
  const std::string asked = tempfile("leaveask.ppm");
  setinputscript(paced(loadvale(xkey("u") + xkey("Escape") + "wait 10\nshot " + asked + "\n" + xkey("Return") +
                                line("waitfor", ME_SAVE) + xkey("Escape") + "wait 10\n" + xclick(DLG_YES)) +
                       loadvale(line("clickid", ME_EXIT)) +
                       loadvale(xkey("u") + line("clickid", ME_EXIT) + "wait 10\n" + xclick(DLG_SAVE) +
                                "wait 2\ntype valesea\nkey return\n") +
                       line("waitfor", ME_MENUEXIT) + "key escape\n")
                     .c_str());
  said.clear();
  setdialogs(&noting);
  mapeditor();
  installwindowdialogs(1);
  const std::string question = "Leave the map editor? The map has changes that are not saved.";
  EXPECT_EQ(said, (std::vector<std::string>{question, question, question}));
  // Province 6, a sea chosen when the editor opens, is land in the map
  // saved; nothing else was written.
  const std::string text = readtext(root + "/local/valesea.map");
  EXPECT_NE(text.find("#terrain 6 0\n"), std::string::npos) << text;
  int32_t files = 0;
  for ([[maybe_unused]] const auto& f : std::filesystem::directory_iterator(root + "/local")) files++;
  EXPECT_EQ(files, 1);
  if (getenv("VEY3_KEEPSHOTS")) printf("The question: %s\n", asked.c_str());
  dropshot(asked);
  setmapscreens(nullptr);
}

// The window's close ends the program: at once with nothing changed, after
// the question with an edit not saved, whose Escape keeps the editor.
TEST_F(EditorWindow, ClosingTheWindowAsksAboutEditsNotSaved) {
  auto closing = [this](const std::string& script) {
    RealWindow w(800, 600);
    if (!w.ok) exit(4);
    installmapscreens();
    static const Dialogs telling = {
        windowmsgbox, windowconfirmbox, windowinputstring, windownumber, windowmenu, nullptr,
        [](const char* title, const char* text, const char* yes, const char* save, const char* cancel) {
          fprintf(stderr, "asked: %s\n", text);
          return windowsafequestion(title, text, yes, save, cancel);
        }};
    setdialogs(&telling);
    setinputscript(paced(loadvale(script)).c_str());
    mapeditor();
    exit(3);   // the editor left otherwise
  };
  const std::string stay =
      xkey("u") + "quit\nwait 10\n" + xkey("Escape") + line("waitfor", ME_SAVE) + "quit\nwait 10\n";
  const char* asked = "asked: Quit the game\\? The map has changes that are not saved";
  // A close that did not end the program finds no question open: the
  // editor is left and the menu after it.
  const std::string notended = "wait 20\n" + line("clickid", ME_EXIT) + "key escape\n";
  EXPECT_EXIT(closing("quit\n" + notended), testing::ExitedWithCode(0), "");
  EXPECT_EXIT(closing(stay + xclick(DLG_YES) + notended), testing::ExitedWithCode(0), asked);
  EXPECT_EQ(readtext(root + "/local/closed.map"), "");
  EXPECT_EXIT(closing(stay + xclick(DLG_SAVE) + "wait 2\ntype closed\nkey return\n" + notended),
              testing::ExitedWithCode(0), asked);
  EXPECT_NE(readtext(root + "/local/closed.map").find("#vey2title Test Vale\n"), std::string::npos);
}

}  // namespace
