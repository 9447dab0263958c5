// Battles of small armies whose outcome follows from the rules: who wins,
// what is left of the losers, and what the battle leaves in the world.
#include <random>
#include <vector>

#include "battleworld.h"
#include "world/units.h"

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

namespace {
struct Digest {
  uint64_t h = 14695981039346656037ull;
  void add(int64_t v) {
    for (int32_t i = 0; i < 8; i++) h = (h ^ uint8_t(v >> (8 * i))) * 1099511628211ull;
  }
};

// A battle of random armies of the built-in units in land 5: squads of any
// type under plain commanders, with random orders, targets and places, and
// mages that cast; sometimes in the defender's castle, with province defence.
void randombattle(std::mt19937& rng, const std::vector<int32_t>& types) {
  fieldbetweenhomes();
  constexpr uint8_t orders[] = {BO_ATTACK, BO_FIRE, BO_GUARD, BO_HOLDATTACK, BO_RETREAT, BO_FIREFLEE};
  constexpr int32_t casters[] = {MON_PYROMANCER_98, MON_CLOUD_MAGE_92, MON_DRUID_105, MON_HYDROMANCER_103,
                                 MON_CONJURER_94};
  auto pick = [&](int32_t n) { return int32_t(rng() % uint32_t(n)); };
  for (int32_t owner : {DEF, ATT}) {
    const int32_t squads = 1 + pick(6);
    for (int32_t s = 0; s < squads; s++) {
      const int32_t c = newcom(pick(4) == 0 ? MON_MOUNTED_COMMANDER_44 : MON_COMMANDER_34, owner);
      setunitland(com[c].body, FIELD);
      com[c].batorder = pick(3) == 0 ? BO_ATTACK : BO_STAYBEHIND;
      com[c].ownx = int8_t(pick(21) - 10);
      com[c].owny = int8_t(pick(21) - 10);
      com[c].squad[0] = owner * 5000 + s;
      com[c].sqx[0] = int8_t(pick(21) - 10);
      com[c].sqy[0] = int8_t(pick(21) - 10);
      com[c].sqorder[0] = orders[pick(6)];
      com[c].sqtarget[0] = uint8_t(pick(10));
      const int32_t type = types[size_t(pick(int32_t(types.size())))];
      const int32_t count = 1 + pick(60);
      for (int32_t i = 0; i < count; i++) {
        const int32_t u = newunit(type, owner, 0);
        setunitland(u, FIELD);
        setunitsquad(u, com[c].squad[0]);
      }
    }
    for (int32_t m = pick(3); m > 0; m--) {
      const int32_t c = newcom(casters[pick(5)], owner);
      setunitland(com[c].body, FIELD);
      com[c].batorder = BO_CAST;
      com[c].ownx = int8_t(pick(21) - 10);
    }
  }
  battlechecksums.fill(0);
  seedrnd(int32_t(rng() % 100000) + 1);
  initbattle(FIELD, DEF, ATT, pick(4) == 0 ? 1 : 0, pick(3) == 0 ? 10 + pick(40) : 0, 0);
  dobatl(DEF, ATT, 0, pick(5) == 0 ? 1 : 0, 1, 0);
}
}  // namespace

// Random battles of the built-in units, folded into one number: the checksum
// of every turn, the results and what each battle left of every unit. Made
// faster the engine must fight the same battles; when the rules of battle
// change on purpose, the number is written anew with them.
TEST(SameBattles, RandomBattlesOfTheBuiltInUnitsFightAsBefore) {
  loadgamedata();
  std::vector<int32_t> types;
  for (int32_t t = 1; t < MAXUNITTYPES; t++)
    if (unittypes[t].hp > 0 && unittypes[t].name[0]) types.push_back(t);
  ASSERT_GT(types.size(), 100u);
  std::mt19937 rng(31337);
  Digest d;
  int32_t turns = 0;
  for (int32_t b = 0; b < 120; b++) {
    randombattle(rng, types);
    for (int32_t c : battlechecksums) d.add(c);
    const BattleResult& r = battleresult;
    for (int32_t v : {r.winner, r.turns, r.killed[0], r.killed[1], r.fled[0], r.fled[1], r.retreated, r.died_trapped})
      d.add(v);
    for (int32_t u = 0; u <= highestunit; u++) {
      const Unit& x = unit[u];
      for (int32_t v : {int32_t(x.type), int32_t(x.hp), int32_t(x.land), int32_t(x.exp), int32_t(x.owner)}) d.add(v);
    }
    turns += r.turns;
  }
  EXPECT_GT(turns, 120 * 5);
  EXPECT_EQ(d.h, 18189672997916032770ull);
}
