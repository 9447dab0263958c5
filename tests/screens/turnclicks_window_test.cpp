// Keys and clicks of the turn screen in a real window (xdotool): "r" on a
// province that the nation holds opens the Recruit Units screen even where
// no fort stands, and a unit of the province's own people can be queued
// there; a left click on a magic scale opens the Veyrance Info box, a right
// click on it nothing; the button column hidden with "h" stays hidden when
// the next turn screen of the run opens.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "actions/recruit.h"
#include "frontend/frontend.h"
#include "gfx/gui.h"
#include "gfx/xwindow.h"
#include "host/hostgame.h"
#include "mapview/mapview.h"
#include "screens/recruitment.h"
#include "screens/turnscreen.h"
#include "support/turnscript.h"
#include "support/xinput.h"

namespace {
class TurnClicks : public HostGame {};

// A land province other than the home, without a fort, whose own people
// can be recruited once the nation holds it; 0 if the map has none.
int32_t unfortifiedrecruiting(int32_t k, int32_t home, int32_t* type) {
  for (int32_t l = 1; l <= nbrlands; l++) {
    Land& ld = land[size_t(l)];
    if (l == home || ld.fort != 0 || (provgeo[size_t(l)].terrain & TM_SEA)) continue;
    const uint8_t owner = ld.owner, holder = ld.fortholder;
    ld.owner = ld.fortholder = uint8_t(k);
    const std::vector<int32_t> units = recruitlist(l, 0);
    if (!units.empty()) {
      *type = units[0];
      return l;
    }
    ld.owner = owner;
    ld.fortholder = holder;
  }
  return 0;
}
}  // namespace

TEST_F(TurnClicks, TheRKeyOpensRecruitmentInHeldGroundWithoutAFort) {
  create("veyrmark.map", {0, 1}, 3);
  int32_t turnnbr = 0;
  ASSERT_TRUE(openturn(0, &turnnbr));
  int32_t type = -1;
  const int32_t lnr = unfortifiedrecruiting(0, kingdom[0].w[KW_HOMELAND], &type);
  ASSERT_GT(lnr, 0) << "no province without a fort recruits on this map";
  land[size_t(lnr)].unrest = 0;
  land[size_t(lnr)].queuecount = 0;
  kingdom[0].gold = 5000;
  RealWindow w;
  ASSERT_TRUE(w.ok);
  installmapscreens();
  openmapview(game.c_str());
  quitprogram = 0;
  // "r" from the keyboard on that province, one unit clicked into the queue,
  // Escape back to the map and End turn.
  const std::string unit = std::to_string(RC_UNIT + type);
  setinputscript(paced(TURNSCREEN + xdoline("key r") + "waitfor " + unit + "\nclickid " + unit + "\nkey escape\n" +
                       TURNSCREEN + line("clickid", TS_ENDTURN))
                     .c_str());
  viewland(lnr, 0, 0, game.c_str(), turnnbr, gamenbr, 0);
  setinputscript("");
  EXPECT_EQ(land[size_t(lnr)].queuecount, 1);
  EXPECT_EQ(land[size_t(lnr)].queue[0], type);
}

TEST_F(TurnClicks, OnlyALeftClickOnAScaleOpensTheVeyranceInfo) {
  create("veyrmark.map", {0, 1}, 3);
  int32_t turnnbr = 0;
  ASSERT_TRUE(openturn(0, &turnnbr));
  const int32_t home = kingdom[0].w[KW_HOMELAND];
  land[size_t(home)].scale[0] = 1;
  RealWindow w;
  ASSERT_TRUE(w.ok);
  installmapscreens();
  openmapview(game.c_str());
  quitprogram = 0;
  // A right click on the scale, the turn screen still there; a left click,
  // the info box instead (its Exit key back); End turn. A box opened by the
  // right click would hide the god's name that the script waits for.
  const std::string scale = line("point", TS_SCALES) + "wait 1\n";
  setinputscript(paced(TURNSCREEN + scale + xdoline("click 3") + "wait 3\n" + TURNSCREEN + scale +
                       xdoline("click 1") + "wait 3\nshot " + tempfile("scaleinfo.ppm") + "\nkey escape\n" +
                       TURNSCREEN + line("clickid", TS_ENDTURN))
                     .c_str());
  viewland(home, 0, 0, game.c_str(), turnnbr, gamenbr, 0);
  setinputscript("");
}

TEST_F(TurnClicks, TheButtonColumnHiddenStaysHiddenOnTheNextVisit) {
  create("veyrmark.map", {0, 1}, 3);
  int32_t turnnbr = 0;
  ASSERT_TRUE(openturn(0, &turnnbr));
  const int32_t home = kingdom[0].w[KW_HOMELAND];
  RealWindow w;
  ASSERT_TRUE(w.ok);
  installmapscreens();
  openmapview(game.c_str());
  quitprogram = 0;
  // "h" hides the column, "e" ends the turn; the screen opened again shows
  // no End turn button until "h" is pressed there.
  setinputscript(paced(TURNSCREEN + xdoline("key h") + "wait 3\n" + xdoline("key e")).c_str());
  viewland(home, 0, 0, game.c_str(), turnnbr, gamenbr, 0);
  setinputscript(paced(TURNSCREEN + "wait 3\n" + xdoline("key e")).c_str());
  viewland(home, 0, 0, game.c_str(), turnnbr, gamenbr, 0);
  setinputscript("");
  EXPECT_LT(findguiarea(TS_ENDTURN), 0) << "the column came back";
  EXPECT_EQ(turnscreen.buttons, 0);
  turnscreen.buttons = 1;
}
