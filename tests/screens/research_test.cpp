// The rules of the Magic Research screen on a small world.
#include <gtest/gtest.h>

#include "host/phases.h"
#include "screens/research.h"
#include "support/smallworld.h"
#include "world/economy.h"

namespace {
constexpr int32_t P = 2;

// Player 2 with a researcher bringing ten points a turn.
class Research : public ::testing::Test {
 protected:
  void SetUp() override {
    makesmallworld();
    settype(10, "Sage");
    sage = mkcom(10, P, 1);
    com[sage].order = Order::research;
    com[sage].ordergems[0] = 10 - comresearch(sage, 0);
    for (int32_t i = 0; i < 24; i++) researchrec[P][i] = 0;
  }
  int16_t* pc = &researchrec[P][RR_PERCENT];
  int32_t sage = -1;
};
}  // namespace

TEST_F(Research, FineTuningMovesThePointsOrStopsAtABound) {
  pc[0] = 34, pc[1] = 33, pc[2] = 33;   // 4, 3 and 3 points
  finetuneresearch(P, 0, 1);   // 35 .. 49 all give 4 points: one press goes on to 50
  EXPECT_EQ(pc[0], 50);
  finetuneresearch(P, 1, -1);   // 29 is the first below 33 to give 2
  EXPECT_EQ(pc[1], 29);
  com[sage].order = Order::defend;   // nothing to share: the percentage runs to its bound
  finetuneresearch(P, 2, 1);
  EXPECT_EQ(pc[2], 100);
  const std::vector<int16_t> before(pc, pc + 7);
  finetuneresearch(-1, 0, 1);
  finetuneresearch(P, 7, 1);
  finetuneresearch(P, 0, 0);
  setresearchpercent(P, -1, 50);
  EXPECT_EQ(std::vector<int16_t>(pc, pc + 7), before);
}

TEST_F(Research, TheSliderSetsAShareAndARowShowsWhatIsLeft) {
  EXPECT_EQ(sliderpercent(5), 0);
  EXPECT_EQ(sliderpercent(50), 50);
  EXPECT_EQ(sliderpercent(95), 100);
  pc[0] = 50, pc[1] = 50;
  setresearchpercent(P, 2, 80);   // the others make room
  EXPECT_EQ(std::vector<int16_t>(pc, pc + 7), (std::vector<int16_t>{10, 10, 80, 0, 0, 0, 0}));
  researchrec[P][RR_LEVEL + 2] = 9;   // complete: the points gathered are cleared
  researchrec[P][RR_POINTS + 2] = 15;
  const ResearchRow r = researchrow(P, 2);
  EXPECT_TRUE(r.complete);
  EXPECT_EQ(r.gathered, 0);
  EXPECT_EQ(r.points, 8);
}
