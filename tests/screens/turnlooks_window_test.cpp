// What a player reads on the turn screen and its small windows, in a real
// window by scripted input: commanders without a name of their own named by
// their kind, the key help's line of the card size keys (on the window's own
// ground), menus whose lines keep clear of the frame, and the Arcane
// Laboratory's pictures within their rows; the province box, the nation box
// and the right column in their places; a commander chosen through the
// Statistics button.
#include <gtest/gtest.h>

#include <string>

#include "gfx/dialogwindow.h"
#include "gfx/xwindow.h"
#include "mapview/mapview.h"
#include "screens/armypanel.h"
#include "screens/lab.h"
#include "screens/mapfilters.h"
#include "screens/orders.h"
#include "screens/turnscreen.h"
#include "support/guitexts.h"
#include "support/pacedscript.h"
#include "support/smallworld.h"
#include "world/provinfo.h"

namespace {
constexpr int32_t ME = 3;

class TurnLooks : public ::testing::Test {
 protected:
  void SetUp() override {
    makesmallworld();
    settype(1, "Ash Warden").sprite = 12;
    warden = mkcom(1, ME, 2);   // no name of its own
    for (int32_t i = 0; i < 2; i++) mkunit(1, ME, 2);
    land[2].owner = land[2].fortholder = ME;
    land[2].lab = 1;
  }
  int32_t warden = -1;
};

bool hastext(const char* text) { return windowtexts().find(text) != std::string::npos; }

// The info text of the first area with the id, "" when none.
std::string infoof(int32_t id) {
  const int32_t a = findguiarea(id);
  if (a < 0 || guiareaget(a).info < 0) return "";
  return guiinfotext(guiareaget(a).info);
}

// Every text of the shown window keeps this far from its left and right edges.
float leastmargin() {
  const guirect w = guishownwindow();
  float least = 1e9f;
  for (int32_t i = 0; i < guiareacount(); i++) {
    const guiarea& a = guiareaget(i);
    if (a.kind != AreaKind::text || a.y >= w.y + w.h - GUITITLEBAR) continue;   // the title has its bar
    least = std::min(least, std::min(a.x - w.x, w.x + w.w - (a.x + a.w)));
  }
  return least;
}
}  // namespace

TEST_F(TurnLooks, NamesKeyHelpMenusAndTheLaboratory) {
  RealWindow w(800, 600);
  ASSERT_TRUE(w.ok);
  installwindowdialogs(1);
  installmapscreens();

  // The order menu: titled with the kind, its lines clear of the frame.
  setinputscript(paced("wait 2\nkey escape\n").c_str());
  changeorder(warden);
  EXPECT_TRUE(hastext("Ash Warden"));
  EXPECT_GE(leastmargin(), 24.0f);

  // The army panel gives units to the warden by its kind.
  setinputscript(paced("wait 2\nkey escape\n").c_str());
  armypanel(ME, 2, -1);
  EXPECT_NE(infoof(10000 + warden).find("give the selected units to Ash Warden,"), std::string::npos)
      << infoof(10000 + warden);

  // The key help names the card size keys in its own words.
  setinputscript(paced("wait 2\nkey escape\n").c_str());
  keyhelp();
  EXPECT_TRUE(hastext(">,< = grow or shrink commander tokens"));
  for (int32_t i = 0; i < guiareacount(); i++) {
    const guiarea& a = guiareaget(i);
    if (a.kind == AreaKind::box) {
      EXPECT_LE(a.h, 22) << "a box " << a.w << "x" << a.h << " under the key lists";
    }
  }

  // '<' is the key that makes the cards bigger.
  openturnscreen(2, ME, 0, "looks", 5, 1, 0);
  buildturnframe();
  int32_t bigger = 0;
  for (int32_t i = 0; i < guishortcutcount(); i++)
    if (guishortcutget(i).key == '<') bigger = guishortcutget(i).id;
  EXPECT_EQ(bigger, TS_BIGGER);

  // The laboratory's pictures lie within their rows: none reaches into
  // the row of another door.
  setinputscript(paced("wait 2\nkey escape\n").c_str());
  viewlab(ME, 2);
  installwindowdialogs(0);
  for (int32_t id = 1; id <= 4; id++)
    for (int32_t i = 0; i < guiareacount(); i++) {
      const guiarea& p = guiareaget(i);
      if (p.kind != AreaKind::sprite || p.id != id) continue;
      for (int32_t j = 0; j < guiareacount(); j++) {
        const guiarea& o = guiareaget(j);
        if (o.id < 1 || o.id > 4 || o.id == id) continue;
        EXPECT_FALSE(p.y < o.y + o.h - 0.5f && o.y < p.y + p.h - 0.5f) << "picture " << id << " reaches row " << o.id;
      }
    }
}

namespace {
// The y of the first area with the id, -1 when none.
float yof(int32_t id) {
  const int32_t a = findguiarea(id);
  return a < 0 ? -1 : guiareaget(a).y;
}
}  // namespace

TEST_F(TurnLooks, TheBoxesAndTheColumnStandInTheirPlaces) {
  RealWindow w(800, 600);
  ASSERT_TRUE(w.ok);
  installmapscreens();
  strcpy(land[2].name, "Mire of Rossia");
  strcpy(kingdom[ME].godname, "Oruvane");
  land[2].fort = 1;   // the fort is the first of the province's features
  kingdom[ME].gold = 321;
  kingdom[ME].w[KW_GEMS + P_FIRE] = 4;
  land[2].searched[ME][P_FIRE] = 3;
  turn = 5;
  openturnscreen(2, ME, 0, "looks", 5, 1, 0);
  buildturnframe();
  // The fire mages' search in the icon row, at 525 with the terrain.
  bool searchmark = false;
  for (int32_t i = 0; i < guiareacount(); i++) {
    const guiarea& a = guiareaget(i);
    searchmark |= a.kind == AreaKind::box && a.x == 300 && a.y == 525 && a.w == 8 && a.h == 12;
  }
  EXPECT_TRUE(searchmark);
  // The province's name and the god's name: y 570 at scale 18.
  const guiarea* name = textstarting("Mire of Rossia (2)");
  ASSERT_NE(name, nullptr);
  EXPECT_EQ(name->y, 570);
  EXPECT_EQ(name->scale, 18);
  const int32_t god = findguiarea(TS_GOD);
  ASSERT_GE(god, 0);
  EXPECT_EQ(guiareaget(god).x, 515);
  EXPECT_EQ(guiareaget(god).y, 570);
  EXPECT_EQ(guiareaget(god).scale, 18);
  // The nation box holds the god, treasury, income, upkeep and gem lines
  // and no other text (no month).
  std::vector<std::string> nationbox;
  for (int32_t i = 0; i < guiareacount(); i++) {
    const guiarea& a = guiareaget(i);
    if (a.kind == AreaKind::text && a.x >= 510 && a.x < 787 && a.y >= 520 && a.y < 585)
      nationbox.emplace_back(guiareatext(a), size_t(a.length));
  }
  EXPECT_EQ(nationbox.size(), 5u);
  for (const std::string& t : nationbox)
    EXPECT_TRUE(t == "Oruvane" || t.rfind("Treasury 321", 0) == 0 || t.rfind("Total inc. ", 0) == 0 ||
                t.rfind("Upkeep ", 0) == 0 || t == "4")
        << "a line of its own in the nation box: " << t;
  EXPECT_FALSE(hastext("Late Summer")) << "the month is the season picture's hint only";
  // The right column: the nation's buttons from 475 down, the province's
  // 50 lower, its features from 211; without the buttons from 475.
  EXPECT_EQ(yof(TS_ENDTURN), 475);
  EXPECT_EQ(yof(TS_OPTIONS), 451);
  EXPECT_EQ(yof(TS_ARMYSETUP), 305);
  EXPECT_EQ(yof(TS_RECRUIT), 257);
  EXPECT_EQ(yof(TS_FORT), 211);
  turnscreen.buttons = 0;
  buildturnframe();
  EXPECT_EQ(yof(TS_FORT), 475);
  EXPECT_EQ(yof(TS_ENDTURN), -1);
  // Labels of the column that our font makes wider than their room are cut
  // with "..", at the column's own scale 16.
  const guiarea* fort = textstarting("Fort");
  ASSERT_NE(fort, nullptr);
  EXPECT_EQ(fort->scale, 16);
  EXPECT_EQ(fort->y, 475 + 3);
  turnscreen.buttons = 1;   // the column is kept for the program's run
}

TEST_F(TurnLooks, ACommanderChosenThroughStatisticsChangesNothing) {
  RealWindow w(800, 600);
  ASSERT_TRUE(w.ok);
  installwindowdialogs(1);
  installmapscreens();
  const int32_t away = mkcom(1, ME, 1);   // in a province the nation neither owns nor holds
  // Statistics, Nation overview, the commander abroad; back on the turn
  // screen, End turn.
  const std::string pick = std::to_string(10000 + away);
  setinputscript(paced(line("waitfor", TS_GOD) + line("clickid", TS_STATISTICS) + "waitfor 9\nclickid 1\nwaitfor " +
                       pick + "\nclickid " + pick + "\nwait 3\n" + line("waitfor", TS_GOD) +
                       line("clickid", TS_ENDTURN))
                     .c_str());
  viewland(2, ME, 0, "looks", 5, 1, 0);
  setinputscript("");
  installwindowdialogs(0);
  EXPECT_EQ(turnscreen.current, 2) << "the turn screen went to the commander's province";
  EXPECT_EQ(selectedcoms.last, -1) << "the commander was selected";
}
