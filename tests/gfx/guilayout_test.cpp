// Layout, picking and text of the GUI toolkit as plain data, without a
// window: every printable code is half a text height wide here, so
// positions can be worked out by hand.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "gfx/font.h"
#include "gfx/gfx.h"
#include "gfx/gui.h"
#include "gfx/sprites.h"
#include "runtime/settings.h"

namespace {
class GuiLayout : public ::testing::Test {
 protected:
  void SetUp() override {
    fontmetrics m;
    for (int c = 0; c < 256; c++) m.advance[size_t(c)] = glyphdrawn(uint8_t(c)) ? 0.5f : 0.0f;
    setfontmetrics(m);
    for (int n = 0; n < 3; n++) resetscrollslot(n);
    initsprites(VEY3_DATA_DIR);
    guibegin();
  }
};

const guiarea& area(int32_t id) {
  int32_t i = findguiarea(id);
  EXPECT_GE(i, 0) << "no area with id " << id;
  return guiareaget(i >= 0 ? i : 0);
}

int32_t countkind(AreaKind kind) {
  int32_t n = 0;
  for (int32_t i = 0; i < guiareacount(); i++) n += guiareaget(i).kind == kind;
  return n;
}
}  // namespace

TEST_F(GuiLayout, TextMeasuresWrapsSplitsAndCuts) {
  EXPECT_FLOAT_EQ(textwidth("abcd"), 2.0f);
  EXPECT_FLOAT_EQ(textwidth("a b"), 1.25f);            // a blank is a quarter
  EXPECT_FLOAT_EQ(textwidth("a\xA4\xA4" "b"), 1.5f);   // so is the spacer
  EXPECT_FLOAT_EQ(textwidth("abcdef\nab"), 3.0f);      // the widest line
  EXPECT_FLOAT_EQ(textwidth(nullptr), 0.0f);

  textrow rows[8];
  const char* text = "aaaa bbbb cc";
  ASSERT_EQ(wraptext(text, int32_t(strlen(text)), 2.5f, rows, 8), 3);
  EXPECT_EQ(rows[0].start, 0);
  EXPECT_EQ(rows[0].length, 4);
  EXPECT_EQ(rows[1].start, 5);
  EXPECT_EQ(rows[2].start, 10);
  // A word wider than the row is cut; the row limit holds.
  ASSERT_EQ(wraptext("abcdefgh", 8, 1.0f, rows, 8), 4);
  EXPECT_EQ(rows[3].start, 6);
  EXPECT_EQ(wraptext("abcdefgh", 8, 1.0f, rows, 2), 2);

  char split[] = "aaaa bbbb cc dd";
  EXPECT_EQ(SplitText(split, 2.5f), 3);
  EXPECT_STREQ(split, "aaaa\nbbbb\ncc dd");
  char lone[] = "abcdefgh ij";
  EXPECT_EQ(SplitText(lone, 1.0f), 2);   // the long word keeps its row
  EXPECT_STREQ(lone, "abcdefgh\nij");

  EXPECT_STREQ(CutText("abcdefgh", 1.6f), "abc");
  EXPECT_STREQ(CutText("ab\ncd", 9.0f), "ab");
  std::string longtext(20000, 'x');
  EXPECT_EQ(strlen(CutText(longtext.c_str(), 1e9f)), size_t(MSGLEN - 1));   // never past its buffer
}

// A letter is half wide, a blank a quarter, ".." one.
TEST_F(GuiLayout, TextCutToItsBoxEndsInDotsAfterAWholeWord) {
  EXPECT_STREQ(CutTextDots("Gulf of Lormark", 7.0f), "Gulf of Lormark");   // fits
  EXPECT_STREQ(CutTextDots("most of them Triton Troopers", 7.0f), "most of them..");
  EXPECT_STREQ(CutTextDots("Gulf, of Lormark", 4.0f), "Gulf..");   // no comma before the dots
  EXPECT_STREQ(CutTextDots("Raraduvizaro", 3.0f), "Rara..");        // a first word too wide
  EXPECT_STREQ(CutTextDots("Cast Fire Rain at Halwick", 8.0f), "Cast Fire Rain..");
  EXPECT_STREQ(CutTextDots("ab\ncd", 9.0f), "ab");
  EXPECT_STREQ(CutTextDots("abcdef", 0.5f), "");                   // no room even for the dots
  // Within the width, dots included.
  EXPECT_LE(textwidth(CutTextDots("most of them Triton Troopers", 7.0f)), 7.0f);
}

TEST_F(GuiLayout, RowsAlignmentIndentOverlayAndSpace) {
  guimaxwidth(700);
  guiminwidth(100);
  guibutton(1, "abcd");   // 2 text heights wide: 44 x 22
  guialign(GUIALIGN_LEFT);
  guisetnl(0);
  guibutton(2, "ab");
  guibutton(3, "ab");
  guiindent(200);
  guibutton(4, "a");
  guisetnl(1);
  guibutton(5, "abcdefghijklmnopqrst");   // 220 wide: the widest row
  guioverlay();
  guibutton(6, "ab");
  guispace(10);
  guialign(GUIALIGN_CENTRE);
  guitextscale(0.5f);
  guibutton(7, "ab");
  guishow(100, 500);

  guirect win = guishownwindow();
  EXPECT_FLOAT_EQ(win.x, 100);
  EXPECT_FLOAT_EQ(win.w, 220 + 2 * GUIMARGIN);
  const float left = 100 + GUIMARGIN, top = 500 - GUIMARGIN;
  EXPECT_FLOAT_EQ(area(1).x, left + (220 - 44) / 2.0f);   // centred
  EXPECT_FLOAT_EQ(area(1).y, top - 22);
  EXPECT_FLOAT_EQ(area(2).x, left);                        // left-aligned row
  EXPECT_FLOAT_EQ(area(3).x, left + 22 + 2.2f);           // after the previous, 0.1 height apart
  EXPECT_FLOAT_EQ(area(4).x, 100 + 200);                  // indent from the window's edge
  EXPECT_FLOAT_EQ(area(2).y, top - 44);
  EXPECT_FLOAT_EQ(area(5).y, top - 66);
  EXPECT_FLOAT_EQ(area(6).x, area(5).x);                  // overlay from its start
  EXPECT_FLOAT_EQ(area(6).y, area(5).y);
  // Space of 10 tenths of the text height, then a half-size centred row.
  EXPECT_FLOAT_EQ(area(7).y, top - 66 - 22 - 11);
  EXPECT_FLOAT_EQ(area(7).h, 11);
  EXPECT_FLOAT_EQ(area(7).x, left + (220 - 11) / 2.0f);
  EXPECT_FLOAT_EQ(win.h, 66 + 22 + 11 + 2 * GUIMARGIN);
  EXPECT_FLOAT_EQ(win.y, 500 - win.h);
}

namespace {
// A caption at half the scale and, unless it stops early, a note at a
// quarter under it: the caller's scale is back either way.
void caption(int32_t id, bool stopearly) {
  GuiTextScale half(0.5f);
  guibutton(id, "ab");
  if (stopearly) return;
  GuiTextScale quarter(0.25f);
  guibutton(id + 1, "ab");
}
}  // namespace

TEST_F(GuiLayout, AScopedTextScaleEndsWithItsBlockHoweverItIsLeft) {
  guitextscale(2);
  caption(1, true);
  guibutton(3, "ab");
  {
    GuiTextScale plain(1);
    caption(4, false);
    guibutton(6, "ab");
  }
  guibutton(7, "ab");
  guishow(-1, -1);
  EXPECT_FLOAT_EQ(area(1).h, 11);
  EXPECT_FLOAT_EQ(area(3).h, 44);    // the scale before the early return
  EXPECT_FLOAT_EQ(area(4).h, 11);
  EXPECT_FLOAT_EQ(area(5).h, 5.5f);
  EXPECT_FLOAT_EQ(area(6).h, 22);    // the nested blocks gave back the block's own
  EXPECT_FLOAT_EQ(area(7).h, 44);    // and that one the outermost
}

TEST_F(GuiLayout, SizeLimitsWrappingTitleAndCentring) {
  guimaxwidth(200);
  guiminwidth(100);
  guititle("A title");
  guicloseid(99);
  guibutton(1, "aaaa bbbb cccc dddd eeee");   // 11 heights = 242 wide: wraps
  guishow(-1, -1);
  guirect win = guishownwindow();
  // 164 units of room take 7.45 text heights: "aaaa bbbb cccc" (6.5) and "dddd eeee".
  int32_t rows = 0;
  for (int32_t i = 0; i < guiareacount(); i++) rows += guiareaget(i).id == 1;
  EXPECT_EQ(rows, 2);
  EXPECT_FLOAT_EQ(win.w, 6.5f * 22 + 2 * GUIMARGIN);
  EXPECT_FLOAT_EQ(win.x, (800 - win.w) / 2.0f);
  EXPECT_FLOAT_EQ(win.y, (600 - win.h) / 2.0f);
  EXPECT_FLOAT_EQ(win.h, GUITITLEBAR + 2 * GUIMARGIN + 44);
  // The close button returns the close id and says what it does.
  const guiarea& close = area(99);
  EXPECT_EQ(close.kind, AreaKind::closebox);
  EXPECT_STREQ(guiinfotext(close.info), "Exit this window");
  guibegin();
  guimaxwidth(200);
  guibutton(1, "%s", std::string(40, 'z').c_str());   // one word of 440 units: cut into rows of 14
  guishow(-1, -1);
  EXPECT_FLOAT_EQ(guishownwindow().w, 14 * 11 + 2 * GUIMARGIN);

  guibegin();
  guiminwidth(300);
  guibutton(1, "a");
  guishow(10, 590);
  EXPECT_FLOAT_EQ(guishownwindow().w, 300);
  EXPECT_FLOAT_EQ(guishownwindow().x, 10);
  EXPECT_FLOAT_EQ(guishownwindow().y + guishownwindow().h, 590);
}

TEST_F(GuiLayout, ScrollingBodyUnderAFixedHeader) {
  auto build = [] {
    guibegin();
    guititle("List");
    guimaxheight(200);
    guibutton(1, "Header");
    guiscrollstart();
    for (int32_t i = 0; i < 40; i++) guibutton(100 + i, "row %d", i);
    guishow(-1, -1);
  };
  build();
  guirect win = guishownwindow();
  EXPECT_FLOAT_EQ(win.h, 200);
  const float viewport = 200 - GUITITLEBAR - 2 * GUIMARGIN - 22;
  EXPECT_FLOAT_EQ(guiscrollmax(), 40 * 22 - viewport);
  EXPECT_GE(findguiarea(100), 0);
  EXPECT_LT(findguiarea(139), 0);   // rows out of sight make no areas
  EXPECT_EQ(countkind(AreaKind::scrollthumb), 1);
  const float headery = area(1).y;

  guisetscroll(22 * 30);
  build();
  EXPECT_FLOAT_EQ(guiscroll(), 22 * 30);
  EXPECT_LT(findguiarea(100), 0);
  EXPECT_GE(findguiarea(131), 0);
  EXPECT_FLOAT_EQ(area(1).y, headery);   // the header stays
  // A partly shown row is clipped to the body.
  for (int32_t i = 0; i < guiareacount(); i++) {
    const guiarea& a = guiareaget(i);
    if (a.id >= 100 && (a.y < win.y + GUIMARGIN || a.y + a.h > win.y + win.h - GUITITLEBAR - GUIMARGIN - 22)) {
      EXPECT_GE(a.clip, 0) << "row " << a.id - 100;
    }
  }
  // Past the end is held at the end; the position belongs to the window.
  guisetscroll(1e6f);
  build();
  EXPECT_FLOAT_EQ(guiscroll(), guiscrollmax());
  EXPECT_GE(findguiarea(139), 0);

  // Slots keep a position for when the screen is opened again.
  savescrollslot(1);
  guisetscroll(0);
  build();
  EXPECT_FLOAT_EQ(guiscroll(), 0);
  restorescrollslot(1);
  build();
  EXPECT_FLOAT_EQ(guiscroll(), guiscrollmax());
  resetscrollslot(1);
  restorescrollslot(1);
  build();
  EXPECT_FLOAT_EQ(guiscroll(), 0);

  // A second guiscrollstart keeps what follows below the list, in sight.
  guibegin();
  guimaxheight(200);
  guiscrollstart();
  for (int32_t i = 0; i < 40; i++) guibutton(100 + i, "row %d", i);
  guiscrollstart();
  guibutton(2, "Cancel");
  guishow(-1, -1);
  EXPECT_FLOAT_EQ(guishownwindow().h, 200);
  EXPECT_FLOAT_EQ(area(2).y, guishownwindow().y + GUIMARGIN);
  EXPECT_FLOAT_EQ(guiscrollmax(), 40 * 22 - (200 - 2 * GUIMARGIN - 22));

}

TEST_F(GuiLayout, BackgroundBoxesSeparatorsAndControls) {
  int32_t flag = 0;
  guialign(GUIALIGN_LEFT);
  guibgbox(0.7f, 0.3f, 0.2f, 0.4f);
  guibutton(1, "a");
  guibutton(2, "b");
  guibgbox(0, 0, 0, 0);
  guibutton(3, "c");
  guiseparator();
  guitoggle(4, &flag, "Antialiasing");
  guiradiof(5, 1, "Small");
  guiprogressbar(6, 120, 1.5f, 1, 0, 0, 1);
  guicolourbox(7, 50, 0, 1, 0, 1);
  guicoloursquare(8, 0, 0, 1, 1);
  guishow(0, 600);
  // The box covers the rows of items 1 and 2 across the window.
  int32_t box = -1;
  for (int32_t i = 0; i < guiareacount(); i++)
    if (guiareaget(i).kind == AreaKind::box && guiareaget(i).r == 0.7f) box = i;
  ASSERT_GE(box, 0);
  EXPECT_FLOAT_EQ(guiareaget(box).h, 44);
  EXPECT_FLOAT_EQ(guiareaget(box).y + guiareaget(box).h, area(1).y + 22);
  EXPECT_LT(box, findguiarea(1));   // drawn behind
  EXPECT_EQ(area(4).kind, AreaKind::toggle);
  EXPECT_EQ(area(4).toggle, &flag);
  EXPECT_EQ(area(5).mode, 1);
  EXPECT_FLOAT_EQ(area(6).u, 1.0f);   // fraction held to 0..1
  EXPECT_FLOAT_EQ(area(7).w, 50);
  EXPECT_FLOAT_EQ(area(8).w, 22);
  EXPECT_DEATH(guitoggle(9, nullptr, "x"), "bad toggle pointer");
}

TEST_F(GuiLayout, PickingPrioritiesAndTies) {
  areabox(1, 100, 100, 200, 200, 1, 1, 1, 1);   // centre 200, 200
  areabox(2, 150, 150, 20, 20, 1, 1, 1, 1);     // centre 160, 160
  areabox(0, 0, 0, 800, 600, 0, 0, 0, 1);       // id 0: never picked
  // Nearest centre wins: (165, 165) is 10 from box 2's centre, 70 from box 1's.
  EXPECT_EQ(guiareaat(165, 165), 1);
  EXPECT_EQ(guiareaat(250, 250), 0);
  EXPECT_EQ(guiareaat(50, 50), -1);             // outside every area with an id
  EXPECT_EQ(guiareaat(5000, -5000), -1);
  // A pick priority counts against the distance.
  int32_t low = areatextlow(3, 290, 290, 5, "x");
  EXPECT_EQ(guiareaget(low).priority, 250);
  EXPECT_EQ(guiareaat(291, 291), 3);
  areasetpriority(0, 1000);
  EXPECT_EQ(guiareaat(160, 160), 0);
  // Equal scores: the first in the table.
  guibegin();
  areahotspot(7, 10, 10, 20, 20);
  areahotspot(8, 10, 10, 20, 20);
  EXPECT_EQ(guiareaat(20, 20), 0);
  EXPECT_EQ(findguiarea(8), 1);
  EXPECT_EQ(findguiarea(9), -1);
}

TEST_F(GuiLayout, InfoTextsHintsAndWindowBounds) {
  EXPECT_EQ(guiinfo("nothing to attach to"), -1);
  EXPECT_EQ(areainfo("nor here"), -1);
  guibutton(1, "a");
  EXPECT_EQ(guiinfo("Info %d", 1), 0);
  areabox(0, 10, 10, 10, 10, 1, 1, 1, 1);
  EXPECT_EQ(areainfo("Box"), 1);
  // An info-only area takes id -9 and says so.
  const guiarea& box = guiareaget(guiareacount() - 1);
  EXPECT_EQ(box.id, GUIINFOONLYID);
  EXPECT_TRUE(box.flags & GUIAREA_INFOONLY);
  std::string big(5000, 'i');
  EXPECT_EQ(strlen(guiinfotext(areainfo("%s", big.c_str()))), size_t(GUIINFOLEN - 1));
  guisethint("Press %s", "space");
  EXPECT_STREQ(guihinttext(), "Press space");
  guishow(100, 300);
  EXPECT_STREQ(guiinfotext(area(1).info), "Info 1");
  guirect win = guishownwindow();
  EXPECT_TRUE(pointinguiwindow(win.x - 14, win.y + 1));
  EXPECT_FALSE(pointinguiwindow(win.x - 16, win.y + 1));
  EXPECT_TRUE(pointinguiwindow(win.x + win.w + 29, win.y - 29));
  EXPECT_TRUE(pointinguiwindow(win.x + 1, win.y + win.h + 14));
  EXPECT_FALSE(pointinguiwindow(win.x + 1, win.y + win.h + 16));
  guibegin();
  EXPECT_STREQ(guihinttext(), "");
  EXPECT_FALSE(pointinguiwindow(win.x + 1, win.y + 1));
}

TEST_F(GuiLayout, FullTablesLeaveTheRestOut) {
  guimaxheight(400);
  for (int32_t i = 0; i < GUIITEMS + 10; i++) guibutton(1 + i % 7, "item");
  guiseparator();   // past the table: not added
  int32_t infos = 0;
  for (int32_t i = 0; i < GUIINFOS + 5; i++) infos += guiinfo("info") >= 0;
  EXPECT_EQ(infos, GUIINFOS);
  for (int32_t i = 0; i < GUISHORTCUTS + 3; i++) guishortcut(i + 1, 'a');
  EXPECT_EQ(guishortcutcount(), GUISHORTCUTS);
  guishow(-1, -1);
  // Every item was laid out (a body of 50,000 rows); only those in sight made areas.
  EXPECT_FLOAT_EQ(guiscrollmax(), float(GUIITEMS) * 22 - (400 - 2 * GUIMARGIN));
  EXPECT_LT(guiareacount(), 100);
  for (int32_t i = 0; i < GUIAREAS + 10; i++) areabox(1, 0, 0, 1, 1, 1, 1, 1, 1);
  EXPECT_EQ(guiareacount(), GUIAREAS - 1);
  EXPECT_EQ(areabox(1, 0, 0, 1, 1, 1, 1, 1, 1), -1);
  EXPECT_EQ(areatext(1, 0, 0, 10, "x"), -1);

  guibegin();
  std::string longtext(30000, 'w');
  guibutton(1, "%s", longtext.c_str());
  guishow(-1, -1);
  int32_t shown = 0;
  for (int32_t i = 0; i < guiareacount(); i++)
    if (guiareaget(i).id == 1) shown += guiareaget(i).length;
  EXPECT_EQ(shown, GUIBUTTONLEN - 1);   // 150 characters of a button
  settextbox(0, 0, 100, 100);           // five rows of 20
  EXPECT_EQ(areatextwrap(5, 10, "%s", longtext.c_str()), 5);
}

TEST_F(GuiLayout, SpritesTakeTheirSizeFromTheArchive) {
  // Archive 11 is generated by the build; 30000 is past its end.
  guisprite(1, 11, 0, 4);
  guisprite40(2, 11, 0, 4);
  guisprite(3, 11, 30000, 4);
  guisprite(4, 40, 0, 4);   // no such archive
  guishow(-1, -1);
  EXPECT_FLOAT_EQ(area(1).h, 22);
  EXPECT_FLOAT_EQ(area(2).w, 22.0f * 32 / 40);   // 32-pixel figure at 40 pixels a text height
  EXPECT_FLOAT_EQ(area(2).y, area(2).y);
  EXPECT_EQ(spritewidth(11, 30000), 1);           // missing: a 1 x 1 sprite that draws nothing
  EXPECT_EQ(spritewidth(40, 0), 1);
  EXPECT_DEATH(spritewidth(11, 5000), "spritewidth: unfetched spr");
  EXPECT_EQ(areasprite50(1, 11, 0, 4, 2000, 2000, 1, 1), 0);   // wholly off the screen
  EXPECT_DEATH(areaoutline(0, 0, 10, 10), "bug: SetOutlineTex first");
}

TEST_F(GuiLayout, FontMetricsFileIsCheckedWhole) {
  fontmetrics m;
  m.cell = 64;
  m.pad = 8;
  m.baseline = 14;
  m.advance['A'] = 0.75f;
  std::vector<uint8_t> bytes = encodefontmetrics(m);
  ASSERT_EQ(bytes.size(), size_t(FONTFILEBYTES));
  fontmetrics back;
  EXPECT_EQ(parsefontmetrics(bytes.data(), int64_t(bytes.size()), back), nullptr);
  EXPECT_FLOAT_EQ(back.advance['A'], 0.75f);
  EXPECT_EQ(back.cell, 64);
  std::vector<uint8_t> bad = bytes;
  bad[0] = 'X';
  EXPECT_STREQ(parsefontmetrics(bad.data(), int64_t(bad.size()), back), "not a font file");
  EXPECT_STREQ(parsefontmetrics(bytes.data(), int64_t(bytes.size()) - 1, back), "wrong size");
  bad = bytes;
  bad[6] = 4;   // cell of 4 pixels
  bad[7] = 0;
  EXPECT_STREQ(parsefontmetrics(bad.data(), int64_t(bad.size()), back), "bad cell size");
  bad = bytes;
  bad[FONTHEAD + 1] = 0x20;   // advance of code 0 far too wide
  EXPECT_STREQ(parsefontmetrics(bad.data(), int64_t(bad.size()), back), "advance out of range");
  EXPECT_EQ(back.advance['A'], 0.75f);   // a refused file leaves the metrics as they were
  // The build's font loads; a missing one is named and the metrics stay.
  EXPECT_EQ(loadfontmetrics(VEY3_DATA_DIR), 1);
  EXPECT_GT(textwidth("W"), textwidth("i"));
  EXPECT_FLOAT_EQ(textwidth(" "), 0.25f);
  testing::internal::CaptureStdout();
  EXPECT_EQ(loadfontmetrics("/nonexistent"), 0);
  EXPECT_NE(testing::internal::GetCapturedStdout().find("/nonexistent/font.fnt"), std::string::npos);
  EXPECT_GT(textwidth("W"), textwidth("i"));
}

TEST_F(GuiLayout, PanelWindowsFrameAndGuardTheirRectangles) {
  guititle("Province");
  guicloseid(98);
  guiwindow(0, 15, 520, 460, 65);
  guiwindow(GUIWIN_NOBACK, 510, 520, 277, 65);
  int32_t borders = 0;
  for (int32_t i = 0; i < guiareacount(); i++) borders += guiareaget(i).kind == AreaKind::border;
  EXPECT_EQ(borders, 2);
  EXPECT_EQ(guiareaget(findguiarea(98)).kind, AreaKind::closebox);   // each window has its close box
  EXPECT_TRUE(pointinguiwindow(20, 530));
  EXPECT_TRUE(pointinguiwindow(780, 590));
  EXPECT_FALSE(pointinguiwindow(400, 300));   // the map below stays reachable
}

TEST_F(GuiLayout, NothingToShowShowsNoWindow) {
  // Panels and free areas only, as the turn screen builds: showing the
  // empty flow leaves the map between them drawn and clickable.
  guiwindow(0, 15, 520, 460, 65);
  areahotspot(7, 0, 0, 800, 600);
  const int32_t before = guiareacount();
  guishow(-1, -1);
  EXPECT_EQ(guiareacount(), before);
  EXPECT_FALSE(pointinguiwindow(400, 300));
  EXPECT_EQ(guiscrollmax(), 0);
  // A title alone still makes a window.
  guibegin();
  guititle("Empty");
  guishow(-1, -1);
  EXPECT_EQ(countkind(AreaKind::border), 1);
}
