#include <gtest/gtest.h>

#include "screens/screens.h"
#include "support/dialogscript.h"
#include "support/smallworld.h"
#include "world/provinfo.h"

// The box asks until Ok, offers only the steps the rule allows, and shows the
// gold left after each step.
TEST(ProvinceDefenceBox, AsksUntilOkAndOffersOnlyAllowedSteps) {
  makesmallworld();
  land[1].owner = land[1].fortholder = 3;
  kingdom[3].gold = 4;
  DialogScript s("+\n+\n+\n-\n\n+\n");
  buyprovdef(3, 1);   // to 1 (3 gold left), to 2 (1 left), a raise refused, back to 1, Ok
  EXPECT_EQ(land[1].provdef, 1);
  EXPECT_EQ(kingdom[3].gold, 3);
  const std::string p = s.printed();
  EXPECT_NE(p.find("You have 1 gold left"), std::string::npos);
  EXPECT_NE(p.find("Value: 2  [- lower,  Enter = Ok]"), std::string::npos);
  buyprovdef(4, 1);   // not the owner: no box at all
  EXPECT_EQ(s.printed(), p);
}
