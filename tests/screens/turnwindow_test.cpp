// A whole turn played in a real window by scripted input: the nation list,
// the password, the main turn screen, End turn writing the order file, the
// host, and the next turn opened the same way.
// VEY3_KEEPSHOTS=1 keeps the pictures ($TMPDIR/vey3shots_*/*.ppm) that the
// README shows.
#include <gtest/gtest.h>

#include <string>

#include "actions/moverule.h"
#include "frontend/frontend.h"
#include "gfx/xwindow.h"
#include "host/hostgame.h"
#include "mapview/mapview.h"
#include "screens/messages.h"
#include "screens/orders.h"
#include "screens/turnscreen.h"
#include "support/pacedscript.h"
#include "support/turnscript.h"
#include "world/siteentry.h"

namespace {

class TurnWindow : public HostGame {
 protected:
  void SetUp() override {
    HostGame::SetUp();
    strlcopy(temppath, (root + "/temp").c_str(), PATHLEN);
  }
};


int32_t orderfileturn(const char* game, int32_t nation) {
  int32_t t = -1;
  UniqueFile f = readfileheader(game, 0, -1, 0, nation, &t, nullptr, nullptr, nullptr);
  return f ? t : -1;
}
}  // namespace

// A commander of the nation in its home province that can march to a
// province of its own next door, whose point lies on the open map (clear
// of the boxes) with the camera on the home province: the commander, the
// province and its window pixel.
struct MoveTarget {
  int32_t cnr = -1, lnr = 0, x = 0, y = 0;
};
MoveTarget findmove(int32_t nation) {
  MoveTarget m;
  const int32_t home = kingdom[size_t(nation)].w[KW_HOMELAND];
  centremap(home);
  for (int32_t c = 0; c <= highestcom && m.cnr < 0; c++) {
    const int32_t b = com[size_t(c)].body;
    if (b < 0 || unit[size_t(b)].hp < 1 || unit[size_t(b)].owner != nation || unit[size_t(b)].land != home) continue;
    if (c == kingdom[size_t(nation)].w[KW_GOD]) continue;
    for (int32_t n = 0; n < MAXNEIGHBOURS && provgeo[size_t(home)].nbr[n] > 0; n++) {
      const int32_t l = provgeo[size_t(home)].nbr[n];
      const float x = L2Sx(l), y = L2Sy(l);
      if (land[size_t(l)].owner != nation || x < 120 || x > 640 || y < 60 || y > 480) continue;
      if (!mapmove(c, l, 0)) continue;
      m = {c, l, int32_t(x), int32_t(600 - y)};
      break;
    }
  }
  return m;
}

TEST_F(TurnWindow, OpenATurnPlayItAndTheHostMakesTheNext) {
  create("testvale.map", {0, 1}, 3, "secret");
  RealWindow w;
  ASSERT_TRUE(w.ok);
  installmapscreens();
  ASSERT_TRUE(openturn(0));
  openmapview(game.c_str());
  const MoveTarget move = findmove(0);
  ASSERT_GE(move.cnr, 0) << "no commander that can march next door";
  // A mage at home that is not the one marching (the god is one).
  int32_t mage = -1;
  for (int32_t c : provincecards(0, kingdom[0].w[KW_HOMELAND]))
    if (c != move.cnr && (com[size_t(c)].armynr == 0 || com[size_t(c)].armynr != com[size_t(move.cnr)].armynr) &&
        ismage(c) && mage < 0)
      mage = c;
  ASSERT_GE(mage, 0) << "no mage at home";
  quitprogram = 0;
  memset(enteredpass, 0, sizeof enteredpass);
  const std::string listshot = tempfile("nationlist.ppm"), turnshot = tempfile("turnscreen.ppm"),
                    againshot = tempfile("alreadyplayed.ppm");
  // The list, nation 0 with its password, the turn screen (its message
  // list first), a commander selected and sent to the province next door
  // by a click on the map, a mage set to research by its key, End turn. Then the nation again: the
  // "already played" question, Continue, no password (it was given in this run), and the move kept;
  // End turn; and once more, Cancel at the question; Exit.
  const std::string script =
      "waitfor 1\nwait 3\nshot " + listshot + "\nclickid 1\n"
      "waitfor 3\ntype secret\nkey return\n"
      "waitfor 999\nclickid 999\n"
      + TURNSCREEN + "clickid " + std::to_string(TS_CARD + move.cnr) + "\nclick " + std::to_string(move.x) + " " +
      std::to_string(move.y) + "\nclickid " + std::to_string(TS_CARD + mage) + "\ntype R\nwait 3\n"
      "move 400 300\nwait 5\nshot " + turnshot + "\nkey e\nwait 5\n"
      "waitfor 1\nclickid 1\nwaitfor 2\nwait 2\nshot " + againshot + "\nkey return\n"
      "waitfor 999\nclickid 999\n" + TURNSCREEN + "key e\nwait 5\n"
      "waitfor 1\nclickid 1\nwaitfor 2\nkey escape\n"
      "waitfor 1\nclickid 999\n";
  setinputscript(paced(script).c_str());
  const int32_t first = worldturn();
  playturn(game.c_str());
  EXPECT_EQ(orderfileturn(game.c_str(), 0), first);
  EXPECT_NE(orderfileturn(game.c_str(), 1), first);
  EXPECT_STREQ(enteredpass[0], "secret");
  EXPECT_STREQ(enteredpass[1], "") << "nation 1 was not opened";
  {
    // The orders as written: the move, kept through Continue.
    ASSERT_TRUE(openturn(0));
    int32_t t = 0;
    UniqueFile f = readfileheader(game.c_str(), 0, -1, 0, 0, &t, nullptr, nullptr, nullptr);
    ASSERT_TRUE(f);
    get2hdata(0, f.get(), 0);
    EXPECT_EQ(com[size_t(move.cnr)].order, Order::move);
    EXPECT_EQ(com[size_t(move.cnr)].orderparam, move.lnr);
    EXPECT_EQ(com[size_t(mage)].order, Order::research);
  }
  // Host from the list, though nation 1 has not played; the next turn
  // opens without the password and shows the army in its new province.
  setinputscript(paced("waitfor 100\nclickid 100\nwaitfor 6\nclickid 6\n"
                       "wait 10\nwaitfor 1\nclickid 1\n"
                       "waitfor 999\nclickid 999\n" + TURNSCREEN + "key e\nwait 5\n"
                       "waitfor 1\nclickid 999\n").c_str());
  playturn(game.c_str());
  EXPECT_EQ(worldturn(), first + 1);
  EXPECT_EQ(orderfileturn(game.c_str(), 0), first + 1);
  ASSERT_TRUE(openturn(0));
  EXPECT_EQ(unit[size_t(com[size_t(move.cnr)].body)].land, move.lnr);
  for (const std::string& shot : {listshot, turnshot, againshot}) {
    Shot s = readshot(shot);
    ASSERT_GT(s.width, 0) << shot;
    dropshot(shot);
  }
}

// The turn screen of a nation on Veyrmark in a wide window: the boxes are
// drawn with their texts; the Messages screen, the message list and a
// message read from it.
TEST_F(TurnWindow, TheTurnScreenAndItsMessagesInAWideWindow) {
  create("veyrmark.map", {0, 1}, 3);
  ASSERT_TRUE(openturn(0));
  const std::vector<int32_t> mine = playermessages(0);
  ASSERT_FALSE(mine.empty());
  RealWindow w(1280, 800);
  ASSERT_TRUE(w.ok);
  installmapscreens();
  quitprogram = 0;
  const std::string shot = tempfile("turnscreen1280.ppm"), menushot = tempfile("messagesmenu.ppm"),
                    listshot = tempfile("messagelist.ppm"), readshot1 = tempfile("message.ppm");
  const std::string script =
      "waitfor 1\nclickid 1\nwaitfor 999\nkey escape\n" + TURNSCREEN + "key a\nkey 2\nkey 2\n"
      "move 640 400\nwait 5\nshot " + shot + "\n"
      "key s\nwaitfor 2\nshot " + menushot + "\nkey r\nwait 3\nshot " + listshot + "\n"
      "clickid " + std::to_string(1000 + mine[0]) + "\nwait 3\nshot " + readshot1 + "\n"
      "key escape\nwait 3\nkey escape\nwait 3\nkey escape\n" + TURNSCREEN +
      "key e\nwait 5\nwaitfor 1\nclickid 999\n";
  setinputscript(paced(script).c_str());
  playturn(game.c_str());
  const Shot s = readshot(shot);
  ASSERT_EQ(s.width, 1280);
  // Light text in the province box and the nation box; the cards' white
  // frames of the selected commanders below the province box.
  EXPECT_GT(pixelslike(s, {15, 520, 460, 65}, 235, 235, 235, 40), 100);
  EXPECT_GT(pixelslike(s, {510, 520, 277, 65}, 235, 235, 235, 40), 100);
  EXPECT_GT(pixelslike(s, {15, 300, 200, 200}, 215, 215, 215, 25), 500);
  // Each message window shows text in the middle of the screen.
  for (const std::string& other : {menushot, listshot, readshot1}) {
    const Shot m = readshot(other);
    ASSERT_EQ(m.width, 1280) << other;
    EXPECT_GT(pixelslike(m, {250, 200, 300, 200}, 235, 235, 235, 40), 50) << other;
    dropshot(other);
  }
  dropshot(shot);
}
