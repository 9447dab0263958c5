// Gem moves: who may give and take, and the treasury only at the nation's
// laboratory. The clicks that choose the way are tested with the window.
#include <gtest/gtest.h>

#include "actions/gems.h"
#include "support/smallworld.h"

namespace {

TEST(GemMoves, OnlyBetweenThePlayersCommandersThereAndTheTreasuryAtItsLaboratory) {
  makesmallworld();
  settype(1, "Ash Warden");
  const int32_t a = mkcom(1, 3, 2), b = mkcom(1, 3, 2), far = mkcom(1, 3, 5), foe = mkcom(1, 4, 2);
  com[a].gems[P_FIRE] = 2;
  EXPECT_FALSE(movegem(3, 2, a, b, P_FIRE));
  EXPECT_EQ(com[a].gems[P_FIRE], 1);
  EXPECT_EQ(com[b].gems[P_FIRE], 1);
  EXPECT_EQ(movegem(3, 2, a, far, P_FIRE).why, "No commander");
  EXPECT_EQ(movegem(3, 2, a, foe, P_FIRE).why, "No commander");
  EXPECT_EQ(movegem(3, 2, a, GEMTREASURY, P_FIRE).why, "No lab in this province");
  EXPECT_EQ(canmovegem(3, 2, a, b, GEMKINDS).why, "No such gem");
  land[2].lab = 1;
  land[2].fortholder = 3;
  EXPECT_EQ(movegem(3, 2, GEMTREASURY, a, P_FIRE).why, "There are no fire gems in the treasury");
  EXPECT_FALSE(movegem(3, 2, a, GEMTREASURY, P_FIRE));
  EXPECT_EQ(kingdom[3].w[KW_GEMS + P_FIRE], 1);
  EXPECT_EQ(canmovegem(3, 2, a, b, P_FIRE).why, "Ash Warden has no fire gems");
  com[b].gems[P_EARTH] = 30;
  EXPECT_EQ(canmovegem(3, 2, GEMTREASURY, b, P_FIRE).why, "Ash Warden cannot carry more gems");
  unit[bodyunit(b)].homeland = -2;
  EXPECT_EQ(canmovegem(3, 2, b, a, P_EARTH).why, "The mercenary won't give away his gems");
  kingdom[3].w[KW_GEMS + P_EARTH] = INT16_MAX;
  unit[bodyunit(b)].homeland = 0;
  EXPECT_EQ(movegem(3, 2, b, GEMTREASURY, P_EARTH).why, "The treasury is full");
  EXPECT_EQ(com[b].gems[P_EARTH], 30);
}

}  // namespace
