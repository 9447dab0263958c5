// What a player sets before a battle is what happens in it: deployment
// places, squad and commander battle orders, preferred targets and the
// commander's battle script.
#include "battle/engine.h"
#include "battleworld.h"

namespace {
// Positions of chosen units after every turn.
std::vector<int32_t> watched;
std::vector<std::vector<std::pair<int16_t, int16_t>>> track;
void trackframe(const BattleFrame& f) {
  recordframe(f);
  std::vector<std::pair<int16_t, int16_t>> at;
  for (int32_t u : watched) at.push_back({unit[u].x, unit[u].y});
  track.push_back(at);
}
int32_t firstofsquad(int32_t c) { return firstsquadunit(com[c].squad[0]); }
std::vector<int32_t> squadunits(int32_t c) {
  std::vector<int32_t> v;
  for (int32_t u = 0; u <= highestunit; u++)
    if (unit[u].hp > 0 && unit[u].squad == com[c].squad[0]) v.push_back(u);
  return v;
}
// Fights with the tracking hook.
int32_t fighttracked(int32_t seed, int32_t turnlimit = 0) {
  track.clear();
  return fightwith(trackframe, seed, turnlimit);
}
}  // namespace

class Orders : public ::testing::Test {
 protected:
  void SetUp() override {
    makebattleworld();
    watched.clear();
  }
};

TEST_F(Orders, SquadsAndCommandersStandWhereTheirPlacesSay) {
  const int32_t d = army(DEF, T_CAPTAIN, T_SOLDIER, 12, BO_ATTACK, 0, 5, -5);
  const int32_t a = army(ATT, T_CAPTAIN, T_SOLDIER, 12, BO_ATTACK, 0, -3, 4);
  seedrnd(1);
  initbattle(FIELD, DEF, ATT, 0, 0, 0);
  // The defender's zone runs from his back edge (x 0) to the middle; the
  // attacker's is the same seen from the other end of the field.
  EXPECT_EQ(unit[firstofsquad(d)].x, 15);
  EXPECT_EQ(unit[firstofsquad(d)].y, 15);
  EXPECT_EQ(unit[firstofsquad(a)].x, FIELDW - 1 - 7);
  EXPECT_EQ(unit[firstofsquad(a)].y, FIELDH - 1 - 24);
  EXPECT_EQ(unit[com[d].body].x, 11);   // four places behind its squad
  EXPECT_EQ(unit[com[a].body].x, FIELDW - 1 - 3);
  // A squad stands together: a block of three to a square around its place.
  for (int32_t u : squadunits(d)) {
    EXPECT_LE(std::abs(unit[u].x - 15), 1);
    EXPECT_LE(std::abs(unit[u].y - 15), 1);
  }
  dobatl(DEF, ATT, 0, 0, 1, 0);

  // Another place, another square.
  makebattleworld();
  const int32_t moved = army(DEF, T_CAPTAIN, T_SOLDIER, 12, BO_ATTACK, 0, -7, 8);
  army(ATT, T_CAPTAIN, T_SOLDIER, 12);
  seedrnd(1);
  initbattle(FIELD, DEF, ATT, 0, 0, 0);
  EXPECT_EQ(unit[firstofsquad(moved)].x, 3);
  EXPECT_EQ(unit[firstofsquad(moved)].y, 28);
  dobatl(DEF, ATT, 0, 0, 1, 0);
}

TEST_F(Orders, DefendersInTheirCastleStandBehindItsWalls) {
  army(DEF, T_CAPTAIN, T_SOLDIER, 30, BO_ATTACK, 0, 8, 8);
  army(DEF, T_CAPTAIN, T_ARCHER, 10, BO_FIRE, 0, -8, -8);
  army(ATT, T_CAPTAIN, T_SOLDIER, 20);
  seedrnd(2);
  initbattle(FIELD, DEF, ATT, 1, 0, 0);
  for (int32_t u = 0; u <= highestunit; u++) {
    if (unit[u].owner == DEF) {
      EXPECT_LE(unit[u].x, CASTLEX1) << u;
      EXPECT_GE(unit[u].y, CASTLEY0) << u;
      EXPECT_LE(unit[u].y, CASTLEY1) << u;
    } else {
      EXPECT_GT(unit[u].x, CASTLEX1) << u;
    }
  }
  dobatl(DEF, ATT, 0, 0, 1, 0);
}

TEST_F(Orders, HoldAndAttackWaitsTwoTurnsThenAdvances) {
  const int32_t a = army(ATT, T_CAPTAIN, T_SOLDIER, 6, BO_HOLDATTACK, 0, 0, 0);
  army(DEF, T_CAPTAIN, T_SOLDIER, 6, BO_HOLDATTACK, 0, 0, 0);
  watched = squadunits(a);
  fighttracked(3);
  ASSERT_GE(track.size(), 4u);
  EXPECT_EQ(track[1], track[0]);   // turn 1
  EXPECT_EQ(track[2], track[0]);   // turn 2
  EXPECT_NE(track[3], track[0]);   // turn 3: on they go
  for (size_t i = 0; i < track[3].size(); i++) EXPECT_LT(track[3][i].first, track[0][i].first);
}

TEST_F(Orders, ArchersOrderedToFireShootFromWhereTheyStand) {
  const int32_t d = army(DEF, T_CAPTAIN, T_ARCHER, 10, BO_FIRE, 0, 0, 0);
  army(ATT, T_CAPTAIN, T_SOLDIER, 10, BO_ATTACK, 0, 10, 0);
  watched = squadunits(d);
  fighttracked(4);
  int32_t first = -1, hits = 0;
  for (size_t i = 0; i < seen.events.size(); i++) {
    const BattleEvent& e = seen.events[i];
    if (e.kind == BEV_MISSILE && unit[e.unr].owner == DEF) {
      if (first < 0) first = seen.eventturn[i];
      if (e.amount > 0) hits++;
    }
  }
  EXPECT_EQ(first, 1);   // in range from the start
  EXPECT_GT(hits, 0);
  // They stood still while they shot, until the enemy was upon them.
  EXPECT_EQ(track[1], track[0]);
  EXPECT_EQ(track[2], track[0]);
  for (int32_t u : watched)
    if (unit[u].hp > 0) EXPECT_EQ(unit[u].ammo, 0);   // reset after the battle
}

TEST_F(Orders, ASquadOrderedToRetreatLeavesTheFieldWithoutAFight) {
  const int32_t a = army(ATT, T_CAPTAIN, T_SOLDIER, 8, BO_RETREAT, 0, 5, 0);
  army(DEF, T_CAPTAIN, T_VETERAN, 8, BO_ATTACK, 0, 5, 0);
  const std::vector<int32_t> runners = squadunits(a);
  fighttracked(5);
  int32_t fled = 0;
  for (const BattleEvent& e : seen.events) {
    for (int32_t u : runners) {
      if (e.kind == BEV_STRIKE && e.unr == u) ADD_FAILURE() << "a retreating unit struck";
      if (e.kind == BEV_FLEE && e.unr == u) fled++;
    }
  }
  EXPECT_EQ(fled, int32_t(runners.size()));
}

TEST_F(Orders, GuardsStayWithTheirCommander) {
  const int32_t a = army(ATT, T_CAPTAIN, T_SOLDIER, 6, BO_GUARD, 0, 8, 8);
  com[a].ownx = -8;
  com[a].owny = -8;
  army(DEF, T_CAPTAIN, T_ARCHER, 3, BO_FIRE, 0, -10, 0);
  watched = squadunits(a);
  watched.push_back(com[a].body);
  fighttracked(6, 8);
  const auto& last = track.back();
  const auto boss = last.back();
  for (size_t i = 0; i + 1 < last.size(); i++)
    EXPECT_LE(distance(last[i].first, last[i].second, boss.first, boss.second), 2);
}

TEST_F(Orders, PreferredTargetsPickTheirKindOfEnemy) {
  const int32_t front = army(DEF, T_CAPTAIN, T_SOLDIER, 10, BO_ATTACK, 0, 9, 0);
  const int32_t archers = army(DEF, T_CAPTAIN, T_ARCHER, 5, BO_FIRE, 0, -9, 0);
  const int32_t fliers = army(DEF, T_CAPTAIN, T_WOLF, 3, BO_ATTACK, 0, -5, 9);
  unittypes[T_WOLF].flags |= MF_FLYING;
  const int32_t hunters = army(ATT, T_CAPTAIN, T_SOLDIER, 5, BO_ATTACK, 2, 5, 0);
  const int32_t skyhunters = army(ATT, T_CAPTAIN, T_SOLDIER, 5, BO_ATTACK, 4, 5, 5);
  const int32_t rearguard = army(ATT, T_CAPTAIN, T_SOLDIER, 5, BO_ATTACK, 9, 5, -5);
  const int32_t closest = army(ATT, T_CAPTAIN, T_SOLDIER, 5, BO_ATTACK, 5, 10, 0);
  seedrnd(7);
  initbattle(FIELD, DEF, ATT, 0, 0, 0);
  auto groupof = [](int32_t u) { return fighter[unitfighter(u)].group; };
  auto targetof = [&](int32_t c) { return grouptarget(groupof(firstofsquad(c))); };
  EXPECT_EQ(targetof(hunters), groupof(firstofsquad(archers)));
  EXPECT_EQ(targetof(skyhunters), groupof(firstofsquad(fliers)));
  // The archers stand at the defender's back edge, the soldiers in front.
  EXPECT_EQ(targetof(rearguard), groupof(firstofsquad(archers)));
  EXPECT_EQ(targetof(closest), groupof(firstofsquad(front)));
  dobatl(DEF, ATT, 0, 0, 1, 0);
}

TEST_F(Orders, TheBattleScriptRunsItsStepsThenTheOrder) {
  const int32_t m = mage(DEF, P_FIRE, 1, 9, 0);
  addtospellbook(S_FIREBOLT, DEF);
  addtospellbook(S_STORM, DEF);
  com[m].path[P_AIR] = 1;
  // Turn 1 the storm, turn 2 hold, turn 3 the fire bolt; then the order.
  com[m].roundspell[0] = S_STORM;
  com[m].roundspell[1] = -3;
  com[m].roundspell[2] = S_FIREBOLT;
  com[m].roundspell[3] = -1;
  com[m].batorder = BO_RETREAT;
  army(ATT, T_CAPTAIN, T_SOLDIER, 5, BO_HOLDATTACK, 0, 10, 0);
  watched = {com[m].body};
  fighttracked(8);
  std::vector<std::pair<int32_t, int32_t>> casts;   // (turn, spell)
  for (size_t i = 0; i < seen.events.size(); i++)
    if (seen.events[i].kind == BEV_SPELL) casts.push_back({seen.eventturn[i], seen.events[i].what});
  ASSERT_EQ(casts.size(), 2u);
  EXPECT_EQ(casts[0], std::make_pair(1, int32_t(S_STORM)));
  EXPECT_EQ(casts[1], std::make_pair(3, int32_t(S_FIREBOLT)));
  int32_t left = 0;
  for (const BattleEvent& e : seen.events) left += e.kind == BEV_FLEE && e.unr == com[m].body;
  EXPECT_EQ(left, 1);   // from turn 4: the order, retreat
}

TEST_F(Orders, AChangeOfShapeInTheScriptTakesTheOtherForm) {
  const int32_t c = army(DEF, T_CAPTAIN, 0, 0);
  com[c].roundspell[0] = -2;
  com[c].roundspell[1] = -1;
  army(ATT, T_CAPTAIN, T_PEASANT, 2, BO_HOLDATTACK, 0, 10, 0);
  const int32_t body = com[c].body;
  fighttracked(9, 1);
  EXPECT_EQ(unit[body].type, T_WEREFORM);
  EXPECT_EQ(unit[body].hp, unittypes[T_WEREFORM].hp);
}

TEST_F(Orders, SurprisedDefendersStandAnywhereUnderTheComputersOrders) {
  const int32_t d = army(DEF, T_CAPTAIN, T_SOLDIER, 6, BO_RETREAT, 0, 0, 0);
  army(ATT, T_CAPTAIN, T_SOLDIER, 6);
  seedrnd(12);
  initbattle(FIELD, DEF, ATT, 0, 0, 1);
  const int32_t u = firstofsquad(d);
  EXPECT_EQ(unit[u].batorder, BO_ATTACK);   // not the retreat they were given
  EXPECT_FALSE(unit[u].x == 10 && unit[u].y == 20);
  dobatl(DEF, ATT, 0, 0, 1, 0);
}

TEST_F(Orders, TheCastleWallsStopClimbersAndShieldTheDefendersFromArrows) {
  // Arrows at defenders in the open and behind their walls.
  int32_t hits[2];
  for (int32_t castle : {0, 1}) {
    makebattleworld();
    unittypes[T_SOLDIER].hp = 100;   // none falls: every arrow finds a target
    army(DEF, T_CAPTAIN, T_SOLDIER, 12, BO_HOLDATTACK, 0, 10, 0);
    army(ATT, T_CAPTAIN, T_ARCHER, 20, BO_FIRE, 0, 10, 0);
    seen = Seen{};
    battleviewhook = recordframe;
    battlechecksums.fill(0);
    seedrnd(40);
    initbattle(FIELD, DEF, ATT, castle, 0, 0);
    // The archers stand fifteen squares from the defenders either way.
    const int32_t at = (castle ? CASTLEX1 : 20) + 15;
    for (int32_t f = 0; f < bs.nfighters; f++)
      if (fighter[f].side == 1 && fighter[f].missilew > 0) {
        const int32_t y = fighter[f].y;
        takeoffsquare(f);
        placenear(f, at, y);
      }
    dobatl(DEF, ATT, 1, 0, 1, 2);
    hits[castle] = 0;
    for (const BattleEvent& e : seen.events)
      if (e.kind == BEV_MISSILE && e.target >= 0 && unit[e.target].owner == DEF) hits[castle]++;
  }
  EXPECT_GT(hits[0], 10);
  EXPECT_LT(hits[1], hits[0] * 3 / 4);

  // A climber that reaches the wall goes no further that turn.
  makebattleworld();
  army(DEF, T_CAPTAIN, T_SOLDIER, 3, BO_HOLDATTACK, 0, -10, -10);
  const int32_t a = army(ATT, T_CAPTAIN, T_SOLDIER, 1, BO_ATTACK, 0, 10, 0);
  watched = {firstsquadunit(com[a].squad[0])};
  seen = Seen{};
  track.clear();
  battleviewhook = trackframe;
  battlechecksums.fill(0);
  seedrnd(41);
  initbattle(FIELD, DEF, ATT, 1, 0, 0);
  const int32_t f = unitfighter(watched[0]);
  takeoffsquare(f);
  placenear(f, CASTLEX1 + 1, 20);   // at the foot of the wall
  dobatl(DEF, ATT, 1, 0, 1, 1);
  ASSERT_EQ(track.size(), 2u);
  EXPECT_EQ(track[1][0].first, CASTLEX1);   // one step, over the wall, and no more
}
