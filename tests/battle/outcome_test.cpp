// Battles of small armies whose outcome follows from the rules: who wins,
// what is left of the losers, and what the battle leaves in the world.
#include "battleworld.h"

class Outcome : public ::testing::Test {
 protected:
  void SetUp() override { makebattleworld(); }
};

TEST_F(Outcome, TheMuchStrongerArmyWinsAttackingOrDefending) {
  for (int32_t seed : {1, 2, 3}) {
    makebattleworld();
    army(DEF, T_CAPTAIN, T_PEASANT, 20);
    army(ATT, T_CAPTAIN, T_VETERAN, 20);
    EXPECT_EQ(fight(seed), ATT) << "seed " << seed;
    EXPECT_GT(battleresult.killed[0] + battleresult.fled[0], battleresult.killed[1]);
    EXPECT_EQ(livingunits(DEF, FIELD), 0);

    makebattleworld();
    army(DEF, T_CAPTAIN, T_VETERAN, 20);
    army(ATT, T_CAPTAIN, T_PEASANT, 20);
    EXPECT_EQ(fight(seed), DEF) << "seed " << seed;
    EXPECT_EQ(livingunits(ATT, FIELD), 0);
  }
}

TEST_F(Outcome, TheDeadAreRemovedAndTheLosersRetreatWithTheirCommanders) {
  const int32_t loser = army(ATT, T_CAPTAIN, T_PEASANT, 15);
  army(DEF, T_CAPTAIN, T_VETERAN, 15);
  const int16_t corpses = land[FIELD].corpses[1];
  ASSERT_EQ(fight(7), DEF);
  EXPECT_GT(battleresult.killed[1], 0);
  int32_t dead = 0;
  for (int32_t u = 0; u <= highestunit; u++) {
    const Unit& x = unit[u];
    if (x.owner == ATT && x.hp > 0) EXPECT_EQ(x.land, ATTHOME);   // every survivor went home
    if (x.owner == ATT && x.hp <= 0) dead++;
    if (x.hp > 0) {
      // Nothing of the battle is left on the survivors.
      EXPECT_EQ(x.x, -1);
      EXPECT_EQ(x.batstate, BS_NONE);
      EXPECT_EQ(x.fatigue, 0);
    }
  }
  EXPECT_EQ(dead, battleresult.killed[1]);
  EXPECT_EQ(battleresult.retreated, livingunits(ATT, ATTHOME));
  // A commander that fell is free; one that lived went home with its troops.
  if (com[loser].body >= 0) EXPECT_EQ(unit[com[loser].body].land, ATTHOME);
  EXPECT_EQ(land[FIELD].corpses[1], std::max<int16_t>(0, corpses) + battleresult.killed[0] + battleresult.killed[1]);
  EXPECT_EQ(land[FIELD].owner, DEF);   // the land's owner is the host's business
}

TEST_F(Outcome, LosersWithNoLandOfTheirOwnNextDoorOrTrappedDie) {
  for (int32_t trapped : {0, 1}) {
    makebattleworld();
    if (!trapped) land[ATTHOME].owner = INDEPENDENTS;
    army(ATT, T_CAPTAIN, T_PEASANT, 10, BO_RETREAT);   // they leave the field alive
    army(DEF, T_CAPTAIN, T_VETERAN, 10);
    ASSERT_EQ(fight(3, false, 0, 0, 0, trapped), DEF);
    EXPECT_EQ(livingunits(ATT, FIELD) + livingunits(ATT, ATTHOME), 0) << "trapped " << trapped;
    EXPECT_GT(battleresult.died_trapped, 0);
    EXPECT_EQ(battleresult.retreated, 0);
  }
}

TEST_F(Outcome, TheDefenderHoldsTheFieldWhenTheTurnsRunOut) {
  // Archers of both sides out of each other's reach hold for ever.
  army(DEF, T_CAPTAIN, T_ARCHER, 5, BO_FIRE, 0, -10, 0);
  army(ATT, T_CAPTAIN, T_ARCHER, 5, BO_FIRE, 0, -10, 0);
  EXPECT_EQ(fight(5, false, 0, 0, 30), DEF);
  EXPECT_EQ(battleresult.turns, 30);
  EXPECT_EQ(livingunits(ATT, ATTHOME), 6);
}

TEST_F(Outcome, ProvinceDefenceFightsForTheDefenderAndVanishesAfterwards) {
  settype(MON_MILITIA_18, "Militia").weapon[0] = W_SWORD;
  settype(MON_ARCHER_17, "Archer").weapon[0] = W_BOW;
  army(ATT, T_CAPTAIN, T_PEASANT, 3);
  const int32_t before = highestunit;
  EXPECT_EQ(fight(11, false, 0, 12), DEF);
  EXPECT_GT(highestunit, before);
  for (int32_t u = before + 1; u <= highestunit; u++) EXPECT_LT(unit[u].hp, 1) << u;
}

TEST_F(Outcome, SurvivorsGainExperienceAndCommandersCountTheirKills) {
  Monster& champion = settype(10, "Champion");
  champion.hp = 60;
  champion.att = 20;
  champion.def = 18;
  champion.weapon[0] = W_GREATSWORD;
  const int32_t hero = army(DEF, 10, 0, 0);
  com[hero].batorder = BO_ATTACK;
  army(ATT, T_CAPTAIN, T_PEASANT, 3);
  EXPECT_EQ(fight(2), DEF);
  EXPECT_EQ(unit[com[hero].body].exp, 1);
  EXPECT_GT(com[hero].kills, 0);
}
