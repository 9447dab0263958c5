// Forging, Empowerment and alchemy given on a player's turn are carried out
// by the host through a real order file: the item is made, the path raised,
// and the alchemy's gold is kept (the order check sees no wealth made).
#include "host/hostgame.h"

#include "screens/forging.h"
#include "screens/lab.h"
#include "screens/orders.h"

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
  EXPECT_EQ(com[size_t(smith)].order, OC_DEFEND);
  EXPECT_EQ(messages(p, "could not"), 0);
}
}  // namespace
