// The nearest enemy is looked up on the squares each side holds; it must be
// the one a walk over every fighter in order finds: the nearest, and of
// equals the lowest-numbered. And the tables that the look-up reads agree
// with the squares after every turn of real battles.
#include <random>

#include "battle/engine.h"
#include "battleworld.h"

namespace {
// The walk over every fighter, as the engine once did it.
int32_t walknearest(int32_t side, int32_t x, int32_t y, int32_t g, int32_t r) {
  int32_t best = -1, bestd = r + 1;
  for (int32_t e = 0; e < bs.nfighters; e++) {
    const Fighter& y_ = fighter[e];
    if (y_.side == side || y_.state != FS_FIELD || y_.x < 0) continue;
    if (g >= 0 && (group[g].side == side || y_.group != g)) continue;
    const int32_t d = distance(x, y, y_.x, y_.y);
    if (d < bestd) {
      best = e;
      bestd = d;
    }
  }
  return best;
}

// Every query from every square of a fighter on the field, of a few ranges,
// against any enemy and against each group.
void comparewithwalk(std::mt19937& rng, int32_t queries) {
  for (int32_t q = 0; q < queries; q++) {
    const int32_t side = int32_t(rng() % 2), x = int32_t(rng() % FIELDW), y = int32_t(rng() % FIELDH);
    const int32_t r = q % 5 == 0 ? FIELDW + FIELDH : int32_t(rng() % 30);
    const int32_t g = q % 3 == 0 && bs.ngroups > 0 ? int32_t(rng() % uint32_t(bs.ngroups)) : -1;
    ASSERT_EQ(nearestenemy(side, x, y, g, r), walknearest(side, x, y, g, r))
        << "side " << side << " at " << x << "," << y << " group " << g << " range " << r;
  }
}

// The side tables against the squares: a row bit for every held square, a
// troop count for every fighter that is no commander.
void checktables() {
  for (int32_t side = 0; side < 2; side++)
    for (int32_t x = 0; x < FIELDW; x++) {
      int32_t troops = 0;
      for (int32_t y = 0; y < FIELDH; y++) {
        const bool held = squareside[size_t(squareof(x, y))] == side;
        ASSERT_EQ(((siderows[size_t(side)][size_t(x)] >> y) & 1) != 0, held) << side << " " << x << "," << y;
        if (held)
          for (int32_t e = squarehead[size_t(squareof(x, y))]; e >= 0; e = fighter[e].nextinsquare)
            troops += fighter[e].cnr < 0 ? 1 : 0;
      }
      ASSERT_EQ(troopcolumns[size_t(side)][size_t(x)], troops) << side << " " << x;
    }
}

std::mt19937 framerng(7);
int32_t framesseen = 0;
void checkframe(const BattleFrame& f) {
  framesseen++;
  checktables();
  comparewithwalk(framerng, 300);
  // From where each fighter stands, as the engine asks.
  for (int32_t e = 0; e < bs.nfighters; e++) {
    const Fighter& x = fighter[e];
    if (x.state != FS_FIELD || x.x < 0) continue;
    ASSERT_EQ(nearestenemy(x.side, x.x, x.y, -1, 12), walknearest(x.side, x.x, x.y, -1, 12)) << e;
  }
  (void)f;
}
}  // namespace

class Nearest : public ::testing::Test {
 protected:
  void SetUp() override { makebattleworld(); }
};

TEST_F(Nearest, OnRandomFieldsTheLookUpFindsWhatTheWalkFinds) {
  std::mt19937 rng(2024);
  const int32_t types[] = {T_SOLDIER, T_VETERAN, T_ARCHER, T_PEASANT, T_WOLF};
  for (int32_t field = 0; field < 60; field++) {
    makebattleworld();
    clearbattle();
    bs.land = FIELD;
    // Crowds of many groups on both sides: some squares full, others
    // shared by several fighters, many of them at equal distances.
    const int32_t groups = 2 + int32_t(rng() % 12);
    for (int32_t k = 0; k < groups; k++) addgroup(k % 2, -1, BO_ATTACK, 0);
    const int32_t n = 1 + int32_t(rng() % 400);
    const int32_t cx = int32_t(rng() % FIELDW), cy = int32_t(rng() % FIELDH);
    for (int32_t i = 0; i < n; i++) {
      const int32_t g = int32_t(rng() % uint32_t(groups));
      const int32_t u = mkunit(types[rng() % 5], group[g].side ? ATT : DEF, FIELD);
      const int32_t f = addfighter(u, group[g].side, g);
      ASSERT_GE(f, 0);
      const int32_t spread = 1 + int32_t(rng() % 30);
      placenear(f, cx + int32_t(rng() % uint32_t(2 * spread + 1)) - spread,
                cy + int32_t(rng() % uint32_t(2 * spread + 1)) - spread);
    }
    // The dead, the fled and those taken off the field are not found.
    for (int32_t i = 0; i < n / 5; i++) {
      const int32_t f = int32_t(rng() % uint32_t(bs.nfighters));
      const uint32_t how = rng() % 3;
      if (how == 0) killfighter(f, -1);
      if (how == 1) fighter[f].state = FS_OFF;
      if (how >= 1) takeoffsquare(f);
    }
    checktables();
    comparewithwalk(rng, 2000);
  }
}

TEST_F(Nearest, InEveryTurnOfRealBattlesTheTablesAgreeAndTheLookUpFindsWhatTheWalkFinds) {
  // Archers that shoot, troops that advance, mages that summon wolves and
  // commanders that stay behind their troops, with routs and deaths.
  framesseen = 0;
  for (int32_t seed : {1, 2, 3}) {
    makebattleworld();
    army(DEF, T_CAPTAIN, T_SOLDIER, 60, BO_ATTACK, 0, 5, -6);
    army(DEF, T_CAPTAIN, T_ARCHER, 30, BO_FIRE, 0, -6, 6);
    army(DEF, T_CAPTAIN, T_PEASANT, 40, BO_ATTACK, 3, 0, 9);
    army(ATT, T_CAPTAIN, T_VETERAN, 40, BO_ATTACK, 0, 4, 0);
    army(ATT, T_CAPTAIN, T_ARCHER, 30, BO_FIREFLEE, 0, -4, -8);
    army(ATT, T_CAPTAIN, T_ZOMBIE, 40, BO_HOLDATTACK, 9, 2, 8);
    const int32_t m = mage(ATT, P_NATURE, 3);
    com[m].path[P_FIRE] = 2;
    fightwith(checkframe, seed);
  }
  EXPECT_GT(framesseen, 15);
}
