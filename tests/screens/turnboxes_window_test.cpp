// Boxes of the main turn screen in a real window by scripted input: the
// scout report and the commander cards. VEY3_KEEPSHOTS=1 keeps the pictures
// ($TMPDIR/vey3shots_*/turnboxes_*).
#include <gtest/gtest.h>

#include <string>

#include "gfx/dialogwindow.h"
#include "gfx/xwindow.h"
#include "mapview/mapview.h"
#include "screens/turnscreen.h"
#include "support/pacedscript.h"
#include "support/smallworld.h"
#include "runtime/trs.h"
#include "world/hoststate.h"

namespace {
constexpr int32_t ME = 3;

// Shows the turn screen of nation ME on land 2 for a few frames, keeps one
// picture and leaves with the End turn button.
Shot showturn(const std::string& name) {
  RealWindow w(800, 600);
  EXPECT_TRUE(w.ok);
  if (!w.ok) return {};
  installwindowdialogs(1);
  installmapscreens();
  const std::string path = tempfile(name.c_str());
  setinputscript(paced("wait 3\nshot " + path + "\nclickid 999\nwait 2\n").c_str());
  viewland(2, ME, 0, "turnboxes", 5, 1, 0);
  installwindowdialogs(0);
  const Shot s = readshot(path);
  dropshot(path);
  return s;
}

int32_t textareas(int32_t id) {
  int32_t n = 0;
  for (int32_t a = 0; a < guiareacount(); a++)
    if (guiareaget(a).id == id && guiareaget(a).kind == AreaKind::text) n++;
  return n;
}

// Sprite areas of the last frame showing that picture (in the right
// column only: at its icons' x).
int32_t spriteareas(int32_t file, int32_t nr, bool column = false) {
  int32_t n = 0;
  for (int32_t a = 0; a < guiareacount(); a++) {
    const guiarea& g = guiareaget(a);
    if (g.kind == AreaKind::sprite && g.file == file && g.nr == nr && (!column || g.x == 677)) n++;
  }
  return n;
}

TEST(TurnBoxesWindow, AScoutReportShowsEveryRowItWraps) {
  makesmallworld();
  settype(1, "Ash Warden").sprite = 12;
  mkcom(1, ME, 2);
  strcpy(land[2].name, "Mire of Rossia");
  land[2].owner = ME;
  t2msg(newmsg(2, ME, MT_SCOUT, 2), "Scouts report 2 units in Mire of Rossia, most of them Spearmen.");
  const Shot s = showturn("turnboxes_scout.ppm");
  ASSERT_GT(s.width, 0);
  EXPECT_EQ(textareas(TS_SCOUT), 2) << "the report wraps to two rows at 220 wide";
  // Its window: 15 high a row, its top at 501.
  int32_t windows = 0;
  for (int32_t a = 0; a < guiareacount(); a++) {
    const guiarea& g = guiareaget(a);
    if (g.kind != AreaKind::border || g.x != 15 || g.y + g.h != 501) continue;
    windows++;
    EXPECT_EQ(g.w, 220);
    EXPECT_EQ(g.h, 30);
  }
  EXPECT_EQ(windows, 1);
  // Light letters in the band of each row, inside the report's window.
  for (int32_t r = 0; r < 2; r++)
    EXPECT_GT(pixelslike(s, {17, 501 - 15 * float(r + 1), 200, 13}, 230, 230, 230, 45), 10) << "row " << r + 1;
}

// The icon row of the province box: a candle per point of veyrance and a
// mark per step of each scale, as many as the rules give; the figures of a
// damaged file draw nothing beyond the box, and the rest of the screen is
// still there.
TEST(TurnBoxesWindow, TheVeyranceAndScalesStayInTheProvinceBox) {
  makesmallworld();
  land[2].owner = land[2].fortholder = ME;
  land[2].veyowner = ME;
  land[2].veystr = 10;
  for (int32_t s = 0; s < 6; s++) land[2].scale[s] = int8_t(s % 2 ? 3 : -3);
  ASSERT_GT(showturn("turnboxes_scales.ppm").width, 0);
  EXPECT_EQ(spriteareas(TRS_MISC, SPRITE_OWNCANDLE), 10);
  for (int32_t s = 0; s < 6; s++)
    EXPECT_EQ(spriteareas(TRS_MISC, SPRITE_SCALE + 2 * s + (s % 2)), 3) << "scale " << s;
  land[2].veystr = 32000;
  land[2].scale[0] = 120;
  ASSERT_GT(showturn("turnboxes_damaged.ppm").width, 0);
  int32_t icons = 0;
  for (int32_t a = 0; a < guiareacount(); a++) {
    const guiarea& g = guiareaget(a);
    if (g.kind != AreaKind::sprite || g.file != TRS_MISC || g.y != 523) continue;
    icons++;
    EXPECT_GE(g.x, 15);
    EXPECT_LE(g.x + g.w, 15 + 460);
  }
  EXPECT_GT(icons, 40);
  EXPECT_GE(findguiarea(999), 0) << "End turn";
}

// A card shows the items, gems, experience stars and wounds of its commander
// as their pictures; the temple entry shows the temple that the castle
// holder's nation names, or the map's temple for a number the archive lacks.
TEST(TurnBoxesWindow, CardMarksAndTheTempleArePictures) {
  makesmallworld();
  settype(1, "Ash Warden").sprite = 12;
  const int32_t c = mkcom(1, ME, 2);
  setitem(5, "Ember Blade", IT_ONEHAND).picture = 7;
  setitem(6, "Crown of Ash", IT_HELMET).picture = 23;
  com[c].item[0] = 5;
  com[c].item[2] = 6;
  com[c].gems[P_FIRE] = 2;
  com[c].gems[P_ASTRAL] = 1;
  unit[com[c].body].exp = 120;   // three stars
  unit[com[c].body].flags[0] |= AF_LIMP;
  nations[ME].attrkey[0] = 138;
  nations[ME].attrval[0] = 1;
  land[2].owner = land[2].fortholder = ME;
  land[2].fort = 1;
  land[2].temple = 1;
  ASSERT_GT(showturn("turnboxes_cards.ppm").width, 0);
  EXPECT_EQ(spriteareas(TRS_ITEMS, 7), 1);
  EXPECT_EQ(spriteareas(TRS_ITEMS, 23), 1);
  EXPECT_EQ(spriteareas(TRS_MISC, 85 + P_FIRE), 2) << "a fire gem picture per gem";
  EXPECT_EQ(spriteareas(TRS_MISC, 85 + P_ASTRAL), 1);
  EXPECT_EQ(spriteareas(TRS_MISC, 115), 3) << "a star per experience step";
  EXPECT_EQ(spriteareas(TRS_ICONS, 0), 1) << "the affliction's icon";
  EXPECT_EQ(spriteareas(TRS_TEMPLES, 1, true), 1) << "the nation's temple";
  nations[ME].attrval[0] = 7;   // no such picture
  ASSERT_GT(showturn("turnboxes_cards2.ppm").width, 0);
  EXPECT_EQ(spriteareas(TRS_TEMPLES, 7), 0);
  EXPECT_EQ(spriteareas(TRS_MISC, 14, true), 1) << "the map's temple in its place";
}
}  // namespace

// A scout report takes a row of cards; the paging keys page through the
// cards as the grid shows them, so that the last ones can be reached.
TEST(TurnBoxesWindow, UnderAScoutReportPagingReachesTheLastCards) {
  makesmallworld();
  settype(1, "Ash Warden").sprite = 12;
  int32_t last = -1;
  for (int32_t i = 0; i < 22; i++) last = mkcom(1, ME, 2);   // 6 rows of 4 at scale 1.0, 5 under the report
  land[2].owner = ME;
  t2msg(newmsg(2, ME, MT_SCOUT, 2), "Scouts report 2 units in Land2, most of them Spearmen.");
  RealWindow w(800, 600);
  ASSERT_TRUE(w.ok);
  installwindowdialogs(1);
  installmapscreens();
  setinputscript(paced("wait 3\nkey +\nwait 3\nclickid 999\nwait 2\n").c_str());
  viewland(2, ME, 0, "turnboxes", 5, 1, 0);
  installwindowdialogs(0);
  EXPECT_EQ(turnscreen.firstcard, 4) << "a row of four on";
  EXPECT_GE(findguiarea(TS_CARD + last), 0) << "the last card is not shown";
  EXPECT_GE(findguiarea(TS_PAGEBACK), 0);
}
