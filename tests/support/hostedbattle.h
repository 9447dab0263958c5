// A battle hosted on the small host world for the replay tests: A attacks B
// in land 4 with its foot, and A's turn file carries the battle's replay.
#pragma once
#include "battle/battle.h"
#include "gamefiles/gamefiles.h"
#include "host/hostworld.h"
#include "screens/turnscreen.h"

class HostedBattle : public HostWorld {
 protected:
  const char* game = "g";
  int32_t attackerc = -1;

  void SetUp() override {
    HostWorld::SetUp();
    strlcopy(savepath, (tmp + "/save").c_str(), PATHLEN);
    mkdirs((tmp + "/save/g").c_str());
  }

  // The battle hosted and A's turn file written with its replay.
  void hostbattle(int32_t attackers = 20, int32_t defenders = 15) {
    own(3, A);
    own(4, B);
    attackerc = commander(A, 3);
    const int32_t d = commander(B, 4);
    army(attackerc, attackers);
    army(d, defenders);
    order(attackerc, ORD_MOVE, 4);
    movephase();
    battlesphase();
    ASSERT_EQ(battlesfought, 1);
    ASSERT_TRUE(writeturnfile(A, game, 7, turn + 1));
  }

  // A's turn opened as the player's program opens it; the replays in it.
  int32_t openturn() {
    int32_t t = 0, g = 0, vcrs = 0;
    EXPECT_EQ(readturnfile(A, game, &t, &g, &vcrs), 1);
    return vcrs;
  }
};
