#include <gtest/gtest.h>

#include "gfx/dialogs.h"
#include "support/dialogscript.h"

TEST(Dialogs, AdjustValueBoxHonoursWhatIsAllowed) {
  DialogScript s("+\n-\nu\nd\nx\n\n+\n-\n");
  EXPECT_EQ(adjustvaluebox("T", "t", "h", 3, 1, 1), 1);
  EXPECT_EQ(adjustvaluebox("T", "t", "h", 3, 1, 1), -1);
  EXPECT_EQ(adjustvaluebox("T", "t", "h", 3, 1, 1), 1);
  EXPECT_EQ(adjustvaluebox("T", "t", "h", 3, 1, 1), -1);
  EXPECT_EQ(adjustvaluebox("T", "t", "h", 3, 1, 1), 2);
  EXPECT_EQ(adjustvaluebox("T", "t", "h", 3, 1, 1), 0);
  EXPECT_EQ(adjustvaluebox("T", "t", "h", 3, 0, 1), 2);   // raise not offered
  EXPECT_EQ(adjustvaluebox("T", "t", "h", 3, 1, 0), 2);   // lower not offered
  EXPECT_EQ(adjustvaluebox("T", "t", "h", 3, 1, 1), 0);   // end of input
}
