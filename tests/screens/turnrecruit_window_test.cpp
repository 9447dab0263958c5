// The turn screen's "r" in a real window (xdotool): a province that the
// nation holds opens the Recruit Units screen even where no fort stands, and
// a unit of the province's own people can be queued there.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "actions/recruit.h"
#include "frontend/frontend.h"
#include "gfx/xwindow.h"
#include "host/hostgame.h"
#include "mapview/mapview.h"
#include "screens/recruitment.h"
#include "screens/turnscreen.h"
#include "support/turnscript.h"
#include "support/xinput.h"

namespace {
class TurnRecruit : public HostGame {};

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

TEST_F(TurnRecruit, TheRKeyOpensRecruitmentInHeldGroundWithoutAFort) {
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
