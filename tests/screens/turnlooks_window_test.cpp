// What a player reads on the turn screen and its small windows, in a real
// window by scripted input: commanders without a name of their own named by
// their kind, the month in the nation box, the key help's line of the card
// size keys, menus whose lines keep clear of the frame, and the Arcane
// Laboratory's pictures within their rows.
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

TEST_F(TurnLooks, NamesMonthKeyHelpMenusAndTheLaboratory) {
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

  // The turn screen in the sixth month: the month shows; '<' is the key
  // that makes the cards bigger.
  turn = 5;
  openturnscreen(2, ME, 0, "looks", 5, 1, 0);
  buildturnframe();
  EXPECT_TRUE(hastext("Late Summer, year 1"));
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
