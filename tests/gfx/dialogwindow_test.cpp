// The dialogs in a real window, answered by scripted input, with a frame of
// each read back.
#include <gtest/gtest.h>

#include <cstring>

#include "gfx/dialogs.h"
#include "gfx/dialogwindow.h"
#include "runtime/progress.h"
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

  // The caller's maximum holds whatever is typed.
  char small[5] = "xy";
  script("wait 1\ntype abcdefgh\nkey return\n");
  EXPECT_EQ(inputstring("Short", small, 4, 1), 1);
  EXPECT_STREQ(small, "abcd");
  // Escape cancels and empties the buffer; without Cancel it does nothing.
  script("wait 1\ntype zz\nkey escape\n");
  EXPECT_EQ(inputstring("Name", buffer, 20, 1), 0);
  EXPECT_STREQ(buffer, "");
  script("wait 1\nkey escape\ntype ok\nkey return\n");
  EXPECT_EQ(inputstring("Name", buffer, 20, 0), 1);
  EXPECT_STREQ(buffer, "ok");
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
  render_frame(0, 0);   // nothing built yet: harmless
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
