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
    own(4, B);
    army(commander(B, 4), defenders);
    attackerc = attack(A, 3, attackers);
  }

  // A second battle in land 4 the same month, B's counter-attack from land
  // 5; A's turn file written again with both replays.
  void counterattack(int32_t count = 12) { attack(B, 5, count); }

  // The player's army of count soldiers marches from land `from` into land
  // 4, the month's movement and battles follow, and A's turn file is
  // written with every replay so far; the army's commander.
  int32_t attack(int32_t player, int32_t from, int32_t count) {
    own(from, player);
    const int32_t c = commander(player, from);
    army(c, count);
    order(c, Order::move, 4);
    const int32_t fought = battlesfought;
    movephase();
    battlesphase();
    EXPECT_EQ(battlesfought, fought + 1);
    EXPECT_TRUE(writeturnfile(A, game, 7, turn + 1));
    return c;
  }

  // A's turn opened as the player's program opens it; the replays in it.
  int32_t openturn() {
    int32_t t = 0, g = 0, vcrs = 0;
    EXPECT_EQ(readturnfile(A, game, &t, &g, &vcrs), 1);
    return vcrs;
  }
};
