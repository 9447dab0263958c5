// The dialogs in a real window, answered by scripted input, with a frame of
// each read back.
#include <gtest/gtest.h>

#include <cstring>

#include "gfx/dialogs.h"
#include "gfx/dialogwindow.h"
#include "runtime/progress.h"
#include "support/xinput.h"
#include "xwindow.h"

namespace {
// Runs the script from the next frame on.
void script(const std::string& lines) { setinputscript(lines.c_str()); }

// Window pixel (top-left origin) of the centre of the area with the id.
std::string clickon(int32_t id, int32_t button = 1) {
  int32_t a = findguiarea(id);
  if (a < 0) return "# no area\n";
  const guiarea& r = guiareaget(a);
  return "click " + std::to_string(int32_t(r.x + r.w / 2)) + " " + std::to_string(int32_t(600 - (r.y + r.h / 2))) +
         " " + std::to_string(button) + "\n";
}
}  // namespace

TEST(DialogWindow, MessageBoxShowsItsTextAndAnswersOkByKeyAndClick) {
  RealWindow w;
  ASSERT_TRUE(w.ok);
  std::string shot = tempfile("msg.ppm");
  script("wait 2\nshot " + shot + "\nwait 1\nkey return\n");
  EXPECT_EQ(msgbox("The gods are %s.", "restless"), 1);
  Shot s = readshot(shot);
  ASSERT_EQ(s.width, 800);
  guirect win = guishownwindow();
  EXPECT_GT(win.w, 200);
  // White glyphs of the text inside the window, none outside it.
  EXPECT_GT(pixelslike(s, win, 255, 255, 255, 60), 20);
  EXPECT_EQ(pixelslike(s, {0, 0, 800, win.y - 40}, 255, 255, 255, 10), 0);
  // Clicking Ok answers as well; Escape too.
  script("wait 1\n" + clickon(DLG_OK));
  EXPECT_EQ(msgbox("Again"), 1);
  script("wait 1\nkey escape\n");
  EXPECT_EQ(msgbox("And again"), 1);
  dropshot(shot);
}

TEST(DialogWindow, InputStringEditsWithTheKeysAndKeepsToTheMaximum) {
  RealWindow w;
  ASSERT_TRUE(w.ok);
  char buffer[21] = "";
  std::string shot = tempfile("input.ppm");
  script("wait 1\ntype Ragnar\nkey backspace\nkey left\ntype x\nkey home\ntype K\nkey end\nkey delete\nwait 2\nshot " +
         shot + "\nkey return\n");
  EXPECT_EQ(inputstring("Name of your god", buffer, 20, 1), 1);
  EXPECT_STREQ(buffer, "KRagnxa");
  Shot s = readshot(shot);
  int32_t field = findguiarea(DLG_FIELD);
  ASSERT_GE(field, 0);
  const guiarea& f = guiareaget(field);
  EXPECT_GT(pixelslike(s, {f.x, f.y, f.w, f.h}, 255, 255, 255, 60), 10);   // the typed text

  // The field opens with the buffer's text, and the caller's maximum holds
  // whatever is typed after it.
  char small[5] = "xy";
  script("wait 1\ntype abcdefgh\nkey return\n");
  EXPECT_EQ(inputstring("Short", small, 4, 1), 1);
  EXPECT_STREQ(small, "xyab");
  // Escape cancels and empties the buffer; without Cancel it does nothing.
  script("wait 1\ntype zz\nkey escape\n");
  EXPECT_EQ(inputstring("Name", buffer, 20, 1), 0);
  EXPECT_STREQ(buffer, "");
  script("wait 1\nkey escape\ntype ok\nkey return\n");
  EXPECT_EQ(inputstring("Name", buffer, 20, 0), 1);
  EXPECT_STREQ(buffer, "ok");
  dropshot(shot);
}

// The text of the window's field, as the last frame showed it.
std::string fieldshown() {
  const int32_t a = findguiarea(DLG_FIELD);
  return a < 0 ? "#none" : std::string(guiareatext(guiareaget(a)), size_t(guiareaget(a).length));
}

TEST(DialogWindow, PasswordFieldsShowStarsAndNameBoxesTheirLimits) {
  RealWindow w;
  ASSERT_TRUE(w.ok);
  char pass[50] = "";
  script("wait 1\ntype s3cret\nkey backspace\nwait 2\nkey return\n");
  EXPECT_EQ(inputpassword("Enter password for Ulm", pass, 49, 1), 1);
  EXPECT_STREQ(pass, "s3cre");
  EXPECT_EQ(fieldshown(), "*****");
  // A name box says what it holds under the field, and shows what is typed.
  char name[26] = "";
  const std::string shot = tempfile("namebox.ppm");
  script("wait 1\ntype abcdefgh\nwait 12\nshot " + shot + "\nwait 2\nkey return\n");
  EXPECT_EQ(inputname("Enter game name", name, 5, 1, "At most 5 characters"), 1);
  EXPECT_STREQ(name, "abcde");
  EXPECT_EQ(fieldshown(), "abcde");
  bool noted = false;
  for (int32_t i = 0; i < guiareacount(); i++)
    if (guiareaget(i).kind == AreaKind::text && strstr(guiareatext(guiareaget(i)), "At most 5 characters")) noted = true;
  EXPECT_TRUE(noted);
  // The letters that did not fit turned the note red.
  EXPECT_GT(pixelslike(readshot(shot), guishownwindow(), 255, 115, 89, 50), 20);
  dropshot(shot);
}

TEST(DialogWindow, InputNumberReadsThroughTheField) {
  RealWindow w;
  ASSERT_TRUE(w.ok);
  script("wait 1\ntype 42\nkey return\n");
  EXPECT_EQ(inputnumber(1, 100, "Provinces"), 42);
  script("wait 1\ntype 420\nkey return\n");
  EXPECT_EQ(inputnumber(1, 100, "Provinces"), -1);   // out of range
  script("wait 1\nkey escape\n");
  EXPECT_EQ(inputnumber(1, 100, "Provinces"), -2);   // cancelled
  script("wait 1\ntype -7\nkey return\n");
  EXPECT_EQ(inputnumber(-10, 10, "Scale"), -7);
}

TEST(DialogWindow, NumberBoxesTakeDigitsOpenWithTheValueAndSayTheRange) {
  RealWindow w;
  ASSERT_TRUE(w.ok);
  // Letters and signs are not taken.
  script("wait 1\ntype 4x-2.\nkey return\n");
  EXPECT_EQ(inputnumber(1, 100, "Provinces"), 42);
  // The box opens with the current value, which Enter keeps.
  script("wait 1\nkey return\n");
  EXPECT_EQ(inputnumberbox(5, 90, "Sea part", 30), 30);
  // Out of range: the box says the range in red and asks again with the
  // typed number kept; a minus sign only where the range has room for it.
  std::string shot = tempfile("range.ppm");
  script("wait 1\nkey backspace\nkey backspace\ntype 500\nkey return\nwait 12\nshot " + shot +
         "\nkey backspace\nkey backspace\nkey return\n");
  EXPECT_EQ(inputnumberbox(5, 90, "Sea part", 30), 5);
  Shot s = readshot(shot);
  EXPECT_GT(pixelslike(s, guishownwindow(), 255, 115, 89, 50), 20);
  script("wait 1\nkey home\ntype -\nkey return\n");
  EXPECT_EQ(inputnumberbox(-10, 10, "Scale", 3), -3);
  script("wait 1\nkey escape\n");
  EXPECT_EQ(inputnumberbox(5, 90, "Sea part", 30), -2);
  dropshot(shot);
}

// A screen of its own: a bright green box left of where dialogs open.
void greenscreen() {
  guibegin();
  guibutton(0, "A screen");
  guishow(-1, 560);
  areabox(0, 20, 250, 100, 100, 0.1f, 1, 0.1f, 1);
}

TEST(DialogWindow, DialogsShowTheScreenThatAskedThemDarkenedAndStill) {
  RealWindow w;
  ASSERT_TRUE(w.ok);
  setbgscene(Scene::menu);
  greenscreen();
  render_frame(false, Scene::none);
  std::string shot = tempfile("over.ppm"), shot2 = tempfile("over2.ppm");
  const guirect green = {30, 260, 80, 80};
  script("wait 2\nshot " + shot + "\nwait 10\nshot " + shot2 + "\nwait 1\nkey return\n");
  EXPECT_EQ(msgbox("Over the screen"), 1);
  Shot s = readshot(shot), t = readshot(shot2);
  // The screen's box is there, darkened, and the picture does not move.
  EXPECT_GT(pixelslike(s, green, 14, 140, 14, 20), 5000);
  EXPECT_EQ(pixelslike(s, green, 25, 255, 25, 20), 0);
  EXPECT_TRUE(s.rgb == t.rgb);
  // A question, then the progress of what it started over the performance
  // scene: both show the same screen, never the question that has ended or
  // the performance pattern.
  script("wait 1\ntype Veyrmark\nkey return\n");
  char name[20] = "";
  EXPECT_EQ(inputstring("The name of the map, which a wide question asks across most of the screen", name, 19, 1), 1);
  const guirect asked = guishownwindow();
  setbgscene(Scene::perftest);
  script("shot " + shot2 + "\n");
  resetprogress();
  progressbox("Random Map", 10, "Dividing the world");
  progressbox("Random Map", 20, "Dividing the world.");
  s = readshot(shot2);
  EXPECT_GT(pixelslike(s, green, 14, 140, 14, 20), 5000);
  // Where the question's window was, beside the progress box: the dark backdrop only.
  const float left = std::max(asked.x + 4, green.x + green.w + 4);
  const guirect beside = {left, asked.y + 4, guishownwindow().x - left - 24, asked.h - 8};
  ASSERT_GT(beside.w, 10);
  EXPECT_EQ(pixelslike(s, beside, 255, 255, 255, 185), 0);   // nothing as bright as the gold border or text
  // A screen frame of its own ends the picture: the next dialog shows the new screen.
  guibegin();
  guibutton(0, "Another screen");
  guishow(-1, 560);
  render_frame(false, Scene::none);
  script("wait 2\nshot " + shot + "\nwait 1\nkey return\n");
  EXPECT_EQ(msgbox("Over another screen"), 1);
  s = readshot(shot);
  EXPECT_EQ(pixelslike(s, green, 14, 140, 14, 30), 0);
  dropshot(shot);
  dropshot(shot2);
}

TEST(DialogWindow, ConfirmBoxYesAndCancel) {
  RealWindow w;
  ASSERT_TRUE(w.ok);
  script("wait 1\ntype y\n");
  EXPECT_EQ(confirmbox("Delete Map?"), 1);
  script("wait 1\nkey escape\n");
  EXPECT_EQ(confirmbox("Delete Map?"), 0);
  script("wait 1\n" + clickon(DLG_OK));
  EXPECT_EQ(confirmbox("Delete Map?"), 1);
  script("wait 1\n" + clickon(DLG_CANCEL));
  EXPECT_EQ(confirmbox("Delete Map?"), 0);
  // A right click on Yes is no answer; the box waits for one.
  script("wait 1\n" + clickon(DLG_OK, 3) + "wait 1\nkey n\n");
  EXPECT_EQ(confirmbox("Delete Map?"), 0);
}

TEST(DialogWindow, TheSafeQuestionLosesNothingByAnyKey) {
  RealWindow w;
  ASSERT_TRUE(w.ok);
  // Keys of a keyboard, through the X server: these answer Cancel, and "y"
  // and "s" (without a save answer) answer nothing, so that Escape then ends it.
  for (const char* key : {"Return", "KP_Enter", "Escape", "n", "y Escape", "s Escape"}) {
    script("wait 2\n" + xdoline(std::string("key ") + key));
    EXPECT_EQ(safequestion("Delete Map?", "The files of Veyrmark are removed.", "Delete map"), ASK_CANCEL) << key;
  }
  // With a save answer Return still keeps everything as it is; "s" saves.
  const char* question = "Quit the game? The orders of this turn are not saved yet.";
  script("wait 2\n" + xdoline("key Return"));
  EXPECT_EQ(safequestion("", question, "Quit without saving", "Save and quit"), ASK_CANCEL);
  script("wait 2\n" + xdoline("key s"));
  EXPECT_EQ(safequestion("", question, "Quit without saving", "Save and quit"), ASK_SAVE);
  // A click on a button answers it; the loss is never answered otherwise.
  for (const int32_t button : {DLG_YES, DLG_CANCEL}) {
    script("wait 2\npoint " + std::to_string(button) + "\nwait 1\n" + xdoline("click 1"));
    EXPECT_EQ(safequestion("", question, "Quit without saving", "Save and quit"),
              button == DLG_YES ? ASK_YES : ASK_CANCEL);
  }
}

TEST(DialogWindow, AdjustValueBoxRaisesLowersAndEnds) {
  RealWindow w;
  ASSERT_TRUE(w.ok);
  std::string shot = tempfile("adjust.ppm");
  script("wait 1\nshot " + shot + "\nwait 1\ntype +\n");
  EXPECT_EQ(adjustvaluebox("Buy Province Defence", "Defence 5", "Costs 10 gold", 5, 1, 1), 1);
  Shot s = readshot(shot);
  EXPECT_GT(pixelslike(s, guishownwindow(), 255, 255, 255, 60), 20);
  script("wait 1\ntype d\n");
  EXPECT_EQ(adjustvaluebox("Buy", "Defence 6", "", 6, 1, 1), -1);
  script("wait 1\n" + clickon(DLG_RAISE));
  EXPECT_EQ(adjustvaluebox("Buy", "Defence 6", "", 6, 1, 1), 1);
  script("wait 1\nkey [+]\n");   // not allowed: a redraw
  EXPECT_EQ(adjustvaluebox("Buy", "Defence 6", "", 6, 0, 1), 2);
  script("wait 1\nkey return\n");
  EXPECT_EQ(adjustvaluebox("Buy", "Defence 6", "", 6, 1, 1), 0);
  dropshot(shot);
}

TEST(DialogWindow, MenuReturnsTheChosenLine) {
  RealWindow w;
  ASSERT_TRUE(w.ok);
  menubegin();
  menuline(0, "Choose Map");
  menuline(1005, "1005 Test Vale");
  menuline(1006, "1006 Veyrmark");
  menuline(1, "1 Cancel");
  menushow();
  script("wait 2\n# learn the layout\n");
  render_frame(false, Scene::none);   // nothing built yet: harmless
  script("wait 1\nkey escape\n");
  EXPECT_EQ(menuwait(), 0);
  script("wait 1\n" + clickon(1006));
  EXPECT_EQ(menuwait(), 1006);
  script("wait 1\n" + clickon(0 + 1005) + "\n");
  EXPECT_EQ(menuwait(), 1005);
}

TEST(DialogWindow, TextInfoBoxAndProgressBox) {
  RealWindow w;
  ASSERT_TRUE(w.ok);
  std::string text;
  for (int i = 0; i < 60; i++) text += "Line " + std::to_string(i) + " of the chronicle\n";
  script("wait 2\nkey escape\n");
  EXPECT_EQ(textinfobox("Chronicle", text.c_str(), 998), 998);
  EXPECT_GT(guiscrollmax(), 0);   // sixty lines scroll
  script("");
  EXPECT_EQ(textinfobox("Note", "Shown once", 0), 0);   // no button: one frame

  std::string shot = tempfile("progress.ppm");
  resetprogress();
  script("shot " + shot + "\n");
  progressbox("Random Map", 50, "Dividing the world");
  progressbox("Random Map", 50, "Dividing the world.");   // the frame the shot was asked for
  Shot s = readshot(shot);
  int32_t bar = -1;
  for (int32_t i = 0; i < guiareacount(); i++)
    if (guiareaget(i).kind == AreaKind::bar) bar = i;
  ASSERT_GE(bar, 0);
  const guiarea& b = guiareaget(bar);
  EXPECT_FLOAT_EQ(b.u, 0.5f);
  // The filled half in the bar's colour, the other half dark.
  int32_t filled = pixelslike(s, {b.x, b.y, b.w / 2, b.h}, 217, 153, 64, 60);
  int32_t empty = pixelslike(s, {b.x + b.w / 2 + 4, b.y, b.w / 2 - 4, b.h}, 217, 153, 64, 60);
  EXPECT_GT(filled, 100);
  EXPECT_LT(empty, filled / 10);
  dropshot(shot);
}
