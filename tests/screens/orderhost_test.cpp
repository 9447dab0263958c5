// Orders given through the order store on a player's turn are carried out
// by the host: one order of each family (moving, research, buildings)
// through a real order file and a hosted turn.
#include "host/hostgame.h"

#include "actions/orderstore.h"
#include "screens/orders.h"
#include "world/movement.h"

namespace {
class OrdersHosted : public HostGame {};

TEST_F(OrdersHosted, EveryFamilyOfOrdersIsCarriedOut) {
  create("testvale.map", {0, 1}, 2);   // two provinces each: a move at home
  const int32_t p = 0;
  int32_t mover = -1, dest = -1, researcher = -1, builder = -1, before = 0;
  auto research = [&] {
    int32_t sum = 0;
    for (int32_t s = 0; s < 8; s++) sum += researchrec[p][RR_POINTS + s] + 1000 * researchrec[p][RR_LEVEL + s];
    return sum;
  };
  play(p, [&] {
    const int32_t h = home(p);
    before = research();
    for (int32_t c : commandersof(p)) {
      if (comland(c) != h) continue;
      if (researcher < 0 && ismage(c) && !giveorder(c, Order::research, 0, 0)) {
        researcher = c;
        continue;
      }
      if (builder < 0 && !giveorder(c, Order::demolishlab, 0, 0)) {
        builder = c;
        continue;
      }
      if (mover >= 0) continue;
      for (int32_t i = 0; i < MAXNEIGHBOURS && provgeo[size_t(h)].nbr[i] > 0 && mover < 0; i++) {
        const int32_t n = provgeo[size_t(h)].nbr[i];
        if (land[size_t(n)].owner == p && !giveorder(c, Order::move, n, 0)) {
          mover = c;
          dest = n;
        }
      }
    }
  });
  ASSERT_GE(mover, 0);
  ASSERT_GE(researcher, 0);
  ASSERT_GE(builder, 0);
  ASSERT_EQ(host(), 1);
  ASSERT_TRUE(openturn(p));
  EXPECT_EQ(comland(mover), dest);
  EXPECT_EQ(land[size_t(home(p))].lab, 0);
  EXPECT_GT(research(), before);
  EXPECT_EQ(messages(p, "could not"), 0);
}
}  // namespace
