// The nation's views in a real window by scripted input on Veyrmark: a bid
// for a mercenary band made in its box (written into the order file with
// its gold set aside, and settled by the host); the Nation Overview, from
// which a province is chosen; the order menu over the turn screen.
// VEY3_KEEPSHOTS=1 keeps the pictures (/tmp/vey3test_*_*.ppm); the README
// shows them.
#include <gtest/gtest.h>

#include <string>

#include "frontend/frontend.h"
#include "gfx/xwindow.h"
#include "host/hostgame.h"
#include "mapview/mapview.h"
#include "runtime/settings.h"
#include "screens/overview.h"
#include "screens/turnscreen.h"
#include "support/pacedscript.h"
#include "worldgen/mercenaries.h"

namespace {
class NationViews : public HostGame {
 protected:
  // A picture with light text in the given part of the screen.
  static void looked(const std::string& shot, guirect where) {
    const Shot pic = readshot(shot);
    ASSERT_GT(pic.width, 0) << shot;
    EXPECT_GT(pixelslike(pic, where, 200, 200, 200, 55), 60) << shot;
    dropshot(shot);
  }
  // The turn screen's opening: the nation, its message list.
  static std::string opening() { return "waitfor 1\nclickid 1\nwaitfor 999\nkey escape\nwaitfor 27\n"; }
};
}  // namespace

TEST_F(NationViews, ABidIsMadeInTheBandsBoxAndSettledByTheHost) {
  create("veyrmark.map", {0, 1}, 3);
  ASSERT_TRUE(openturn(0));
  int32_t band = -1;
  for (int32_t b = 0; b < MAXMERCBANDS && band < 0; b++)
    if (mercband[size_t(b)].value[MB_LEADER] >= 0) band = b;
  ASSERT_GE(band, 0) << "no band on offer";
  const int32_t gold = kingdom[0].gold, home = kingdom[0].w[KW_HOMELAND];
  const int32_t price = mercband[size_t(band)].value[MB_PRICE];
  const int32_t bid = std::min(gold, price);
  RealWindow w;
  ASSERT_TRUE(w.ok);
  installmapscreens();
  quitprogram = 0;
  fade = 0;
  const std::string list = tempfile("mercs.ppm"), box = tempfile("mercbox.ppm");
  const std::string id = std::to_string(100 + band);
  // b, the band, Hire, the starting bid raised by one and lowered again,
  // Ok; the box and the list in pictures; End turn.
  const std::string script = opening() + "key b\nwaitfor " + id + "\nclickid " + id +
                             "\nwaitfor 1\nclickid 1\nwaitfor 1\nkey -\nkey +\nkey return\nwaitfor 9\nmove 5 5\n"
                             "wait 3\nshot " + box + "\nkey escape\nwaitfor " + id + "\nwait 3\nshot " + list +
                             "\nkey escape\nwaitfor 27\nkey e\nwait 5\nwaitfor 1\nclickid 999\n";
  setinputscript(paced(script).c_str());
  playturn(game.c_str());
  ASSERT_TRUE(readorders(0));
  EXPECT_EQ(kingdom[0].w[KW_MERCBIDS + band], bid);
  EXPECT_EQ(kingdom[0].w[KW_MERCBIDLAND + band], home);
  EXPECT_EQ(kingdom[0].gold, gold - bid);
  looked(box, {250, 250, 300, 150});
  looked(list, {200, 250, 400, 100});
  // The host: a bid at the price hires the band into the province; a
  // lower one is refused and its gold comes back.
  EXPECT_EQ(host(), 1);
  ASSERT_TRUE(openturn(0));
  if (bid >= price) {
    EXPECT_EQ(mercband[size_t(band)].value[MB_EMPLOYER], 0);
    EXPECT_EQ(unit[size_t(com[size_t(mercband[size_t(band)].value[MB_LEADER])].body)].land, home);
  } else {
    EXPECT_EQ(messages(0, "below the band's price"), 1);
  }
}

TEST_F(NationViews, TheOverviewListsTheNationAndSendsTheTurnScreenToAProvince) {
  create("veyrmark.map", {0, 1}, 3);
  ASSERT_TRUE(openturn(0));
  const int32_t home = kingdom[0].w[KW_HOMELAND];
  int32_t other = -1;
  for (int32_t l = 1; l <= nbrlands && other < 0; l++)
    if (l != home && land[size_t(l)].owner == 0) other = l;
  ASSERT_GT(other, 0) << "one province only";
  RealWindow w;
  ASSERT_TRUE(w.ok);
  installmapscreens();
  quitprogram = 0;
  fade = 0;
  const std::string shot = tempfile("overview.ppm"), tabbed = tempfile("overviewtab.ppm");
  const std::string land = std::to_string(8000 + other);
  // F1, a picture, Tab (commanders hidden) and a picture, Tab again; the
  // second province chosen; F1 and Exit; End turn.
  const std::string script = opening() + "key f1\nwaitfor " + land + "\nmove 5 5\nwait 3\nshot " + shot +
                             "\nkey tab\nwait 3\nshot " + tabbed + "\nkey tab\nwaitfor " + land + "\nclickid " + land +
                             "\nwaitfor 27\nwait 3\nkey f1\nwaitfor 999\nkey escape\nwaitfor 27\nkey e\nwait 5\n"
                             "waitfor 1\nclickid 999\n";
  setinputscript(paced(script).c_str());
  playturn(game.c_str());
  EXPECT_EQ(turnscreen.current, other);
  looked(shot, {100, 200, 600, 300});
  looked(tabbed, {100, 200, 600, 300});
}
