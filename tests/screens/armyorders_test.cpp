// What a player sets in the army panel reaches the next turn through the
// order file and the host: squad orders and places, the commander's own
// order and target (not its script, which the file has no room for), and
// the nation's remembered battle orders and map filter, which the host
// keeps from the order file.
#include <gtest/gtest.h>

#include "host/hostgame.h"
#include "screens/armypanel.h"
#include "screens/turnscreen.h"

namespace {
class ArmyOrders : public HostGame {};
}  // namespace

TEST_F(ArmyOrders, SquadOrdersPlacesAndTheNationsMemoryOutliveTheHost) {
  create("testvale.map", {0, 1});
  int32_t c = -1, slot = -1;
  play(0, [&] {
    for (int32_t x = 0; x <= highestcom && c < 0; x++) {
      if (comowner(x) != 0) continue;
      for (int32_t k = 0; k < 5; k++)
        if (com[size_t(x)].squad[k] != -1 && c < 0) {
          c = x;
          slot = k;
        }
    }
    if (c < 0) return;
    setsquadorder(c, slot, BO_HOLDATTACK);
    setsquadtarget(c, slot, 9);
    com[size_t(c)].sqx[slot] = 5;
    com[size_t(c)].sqy[slot] = -4;
    storebattlememory(0, 3, c, slot);
    // The commander's own order and target are kept; its script is not.
    clearscript(c);
    ASSERT_TRUE(setcomorder(c, BO_ATTACK, false));
    ASSERT_TRUE(setcomtarget(c, 3));
    ASSERT_TRUE(addscriptstep(c, -3));
    kingdom[0].w[KW_MAPFILTER] = 0x19;
  });
  ASSERT_GE(c, 0) << "no commander with a squad";
  ASSERT_EQ(host(), 1);
  ASSERT_TRUE(openturn(0));
  EXPECT_EQ(messages(0, "Orders refused"), 0);
  const Commander& cm = com[size_t(c)];
  EXPECT_EQ(cm.sqorder[slot], BO_HOLDATTACK);
  EXPECT_EQ(cm.sqtarget[slot], 9);
  EXPECT_EQ(cm.sqx[slot], 5);
  EXPECT_EQ(cm.sqy[slot], -4);
  EXPECT_EQ(kingdom[0].w[KW_MAPFILTER], 0x19);
  EXPECT_EQ(cm.batorder, BO_ATTACK);
  EXPECT_EQ(cm.battarget, 3);
  EXPECT_EQ(cm.roundspell[0], -1);
  // The remembered squad orders apply in the new turn.
  com[size_t(c)].sqorder[slot] = BO_ATTACK;
  EXPECT_TRUE(applybattlememory(0, 3, c, slot));
  EXPECT_EQ(cm.sqorder[slot], BO_HOLDATTACK);
}
