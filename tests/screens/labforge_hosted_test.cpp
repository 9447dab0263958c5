// Forging, Empowerment and alchemy given on a player's turn are carried out
// by the host through a real order file: the item is made, the path raised,
// and the alchemy's gold is kept (the order check sees no wealth made); and
// the same road played in a real window by scripted input.
#include "host/hostgame.h"

#include "frontend/frontend.h"
#include "gfx/xwindow.h"
#include "mapview/mapview.h"
#include "screens/forging.h"
#include "screens/lab.h"
#include "screens/orders.h"
#include "screens/turnscreen.h"
#include "support/pacedscript.h"
#include "support/turnscript.h"

namespace {
class LabForgeHosted : public HostGame {
 protected:
  // Puts gems into the nation's treasury in the world and its turn file.
  void grant(int32_t p, int32_t kind, int32_t n) {
    clearworld();
    int32_t t = 0;
    ASSERT_EQ(loadworldfile(game.c_str(), 0, &t), 1);
    kingdom[size_t(p)].w[KW_GEMS + kind] = int16_t(n);
    ASSERT_TRUE(writeworldfile(game.c_str(), gamenbr, t));
    ASSERT_TRUE(writeturnfile(p, game.c_str(), gamenbr, t));
  }
};

TEST_F(LabForgeHosted, TheItemIsForgedThePathRaisedAndAlchemyKept) {
  create("testvale.map", {0, 1}, 2);
  const int32_t p = 0;
  grant(p, P_FIRE, 400);
  int32_t smith = -1, item = -1, pupil = -1, level = 0;
  play(p, [&] {
    const int32_t h = home(p);
    ASSERT_TRUE(labheld(p, h));
    for (int32_t c : commandersof(p)) {
      if (comland(c) != h) continue;
      if (smith < 0 && ismage(c))
        for (int32_t k = 1; k <= FORGECATEGORIES && item < 0; k++)
          for (int32_t i : forgelist(c, k))
            if (item < 0 && orderforge(c, i) == 1) smith = c, item = i;
      if (c != smith && pupil < 0) pupil = c;
    }
    ASSERT_GE(smith, 0) << "no mage of the nation can forge at home";
    ASSERT_GE(pupil, 0);
    level = com[size_t(pupil)].path[P_FIRE];
    ASSERT_GT(ordertrain(pupil, P_FIRE), 0);
    ASSERT_TRUE(alchemy(p, smith, AL_TOGOLD, P_FIRE));
  });
  ASSERT_EQ(host(), 1);
  ASSERT_TRUE(openturn(p));
  EXPECT_EQ(messages(p, "Orders refused"), 0);
  EXPECT_EQ(messages(p, "has forged"), 1);
  bool found = false;
  for (int16_t i : com[size_t(smith)].item) found |= i == item;
  for (int32_t s = 0; s < LABSTORESIZE; s++) found |= kingdom[size_t(p)].w[KW_LABSTORE + s] == item;
  EXPECT_TRUE(found) << items[size_t(item)].name << " was not made";
  EXPECT_EQ(com[size_t(pupil)].path[P_FIRE], level + 1);
  EXPECT_EQ(com[size_t(smith)].order, Order::defend);
  EXPECT_EQ(messages(p, "could not"), 0);
}

// The whole road: the laboratory opened by "l" on the turn screen, a mage's
// Forge order given by "F", End turn, the host, and the item found with the
// mage (or in the treasury) on the next turn.
TEST_F(LabForgeHosted, AnItemForgedOnTheTurnScreenIsMadeByTheHost) {
  create("veyrmark.map", {0, 1}, 3);
  grant(0, P_FIRE, 400);
  ASSERT_TRUE(openturn(0));
  const int32_t home = kingdom[0].w[KW_HOMELAND];
  int32_t smith = -1, item = -1, category = -1;
  for (int32_t c : commandersof(0))
    for (int32_t k = 1; k <= FORGECATEGORIES && smith < 0 && comland(c) == home && ismage(c); k++)
      for (int32_t i : forgelist(c, k))
        if (smith < 0 && canforge(c, i) == 1) smith = c, item = i, category = k;
  ASSERT_GE(smith, 0) << "no mage at home can forge";
  RealWindow w;
  ASSERT_TRUE(w.ok);
  installmapscreens();
  quitprogram = 0;
  const std::string labshot = tempfile("labroad.ppm"), forgeshot = tempfile("forgeroad.ppm");
  const std::string itemid = std::to_string(1000 + item);
  const std::string script =
      "waitfor 1\nclickid 1\n" + TURNSCREEN + "key l\nwaitfor 4\nmove 790 590\nwait 3\nshot " +
      labshot + "\nkey escape\n" + TURNSCREEN + "clickid " + std::to_string(TS_CARD + smith) + "\ntype F\nwaitfor " +
      std::to_string(category) + "\nclickid " + std::to_string(category) + "\nwaitfor " + itemid +
      "\nmove 790 590\nwait 3\nshot " + forgeshot + "\nclickid " + itemid +
      "\n" + TURNSCREEN + "key e\nwait 5\nwaitfor 1\nclickid 999\n";
  setinputscript(paced(script).c_str());
  playturn(game.c_str());
  setinputscript(
      paced("waitfor 100\nclickid 100\nwaitfor 6\nclickid 6\nwait 10\nwaitfor 1\nclickid 999\n").c_str());
  playturn(game.c_str());
  ASSERT_TRUE(openturn(0));
  EXPECT_EQ(messages(0, "has forged"), 1);
  bool found = false;
  for (int16_t i : com[size_t(smith)].item) found |= i == item;
  for (int32_t s = 0; s < LABSTORESIZE; s++) found |= kingdom[0].w[KW_LABSTORE + s] == item;
  EXPECT_TRUE(found) << items[size_t(item)].name << " was not made";
  for (const std::string& s : {labshot, forgeshot}) {
    const Shot pic = readshot(s);
    ASSERT_GT(pic.width, 0) << s;
    EXPECT_GT(pixelslike(pic, {250, 150, 300, 300}, 255, 255, 255, 60), 30) << s;
    dropshot(s);
  }
}

// An order file whose forge or Empowerment order names an item or a path
// beyond the tables is not used: the nation is told, nothing is made.
TEST_F(LabForgeHosted, OrdersBeyondTheTablesAreRefused) {
  create("testvale.map", {0, 1}, 2);
  const int32_t p = 0;
  int32_t c = -1;
  for (const auto& [code, param] : {std::pair{Order::forge, MAXITEMS + 5}, std::pair{Order::empower, 9}}) {
    int32_t level = 0;
    play(p, [&] {
      c = commandersof(p).front();
      level = com[size_t(c)].path[P_FIRE];
      com[size_t(c)].order = code;
      com[size_t(c)].orderparam = param;
    });
    ASSERT_EQ(host(), 1);
    ASSERT_TRUE(openturn(p));
    EXPECT_EQ(messages(p, "Orders refused"), 1) << int(code);
    EXPECT_EQ(messages(p, "has forged") + messages(p, "has been empowered"), 0);
    EXPECT_EQ(com[size_t(c)].order, Order::defend);
    EXPECT_EQ(com[size_t(c)].path[P_FIRE], level);
  }
}
}  // namespace
