#include <gtest/gtest.h>

#include "runtime/rnd.h"

TEST(RandTab, MatchesTheCLibrarySequenceSeededWithOne) {
  EXPECT_EQ(randtab[0], 1804289383u);
  EXPECT_EQ(randtab[1], 846930886u);
  EXPECT_EQ(randtab[2], 1681692777u);
  EXPECT_EQ(randtab[3], 1714636915u);
  EXPECT_EQ(randtab[4], 1957747793u);
}
