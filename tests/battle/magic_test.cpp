// Battle magic and morale: what mages cast and what it does, and which
// units break and run.
#include "../tools/content/contentrules.h"
#include "battle/engine.h"
#include "battleworld.h"

namespace {
int32_t sidehp(int32_t owner) {
  int32_t hp = 0;
  for (int32_t u = 0; u <= highestunit; u++)
    if (unit[u].hp > 0 && unit[u].owner == owner && unit[u].comnr < 0) hp += unit[u].hp;
  return hp;
}
// Hit points of the attacker's troops after the second turn.
int32_t hpturn2 = -1;
uint32_t flagsduring = 0;
int32_t watchedunit = -1;
void hpframe(const BattleFrame& f) {
  recordframe(f);
  if (f.turn == 2) hpturn2 = sidehp(ATT);
  if (f.turn >= 1 && watchedunit >= 0) flagsduring |= unit[watchedunit].flags[1];
}
int32_t fightwatched(int32_t seed, int32_t turnlimit = 0) {
  hpturn2 = -1;
  flagsduring = 0;
  return fightwith(hpframe, seed, turnlimit);
}
}  // namespace

class Magic : public ::testing::Test {
 protected:
  void SetUp() override {
    makebattleworld();
    watchedunit = -1;
  }
};

TEST_F(Magic, AMagesDamageSpellHurtsTheEnemyItReaches) {
  for (bool withspell : {false, true}) {
    makebattleworld();
    mage(DEF, P_FIRE, 1, 9, 0);
    if (withspell) addtospellbook(S_FIREBOLT, DEF);
    addtospellbook(S_HEAL, DEF);   // of a path the mage lacks: never cast
    army(ATT, T_CAPTAIN, T_SOLDIER, 10, BO_HOLDATTACK, 0, 10, 0);
    const int32_t before = sidehp(ATT);
    fightwatched(21, 2);
    EXPECT_EQ(countevents(BEV_SPELL, S_HEAL), 0);
    if (withspell) {
      EXPECT_EQ(countevents(BEV_SPELL, S_FIREBOLT), 2);
      EXPECT_LT(hpturn2, before);
    } else {
      EXPECT_EQ(countevents(BEV_SPELL), 0);
      EXPECT_EQ(hpturn2, before);
    }
  }
}

TEST_F(Magic, AStormOverTheWholeFieldStrikesEveryEnemyAndNoFriend) {
  mage(DEF, P_AIR, 3, 0, 0);
  addtospellbook(S_STORM, DEF);
  spells[S_STORM].damage = 40;
  army(DEF, T_CAPTAIN, T_SOLDIER, 10, BO_HOLDATTACK, 0, 5, 0);
  army(ATT, T_CAPTAIN, T_SOLDIER, 10, BO_HOLDATTACK, 0, 10, 0);
  const int32_t friends = sidehp(DEF);
  EXPECT_EQ(fightwatched(22, 3), DEF);
  EXPECT_EQ(countevents(BEV_SPELL, S_STORM), 1);
  EXPECT_EQ(battleresult.turns, 1);
  EXPECT_EQ(sidehp(DEF), friends);
  EXPECT_EQ(battleresult.killed[1], 11);   // the commander too
}

TEST_F(Magic, BattleEnchantmentsLastTheBattleAndNoLonger) {
  const int32_t m = mage(DEF, P_EARTH, 1, 0, 0);
  addtospellbook(S_STONESKIN, DEF);
  army(ATT, T_CAPTAIN, T_SOLDIER, 3, BO_HOLDATTACK, 0, 10, 0);
  watchedunit = com[m].body;
  fightwatched(23, 3);
  EXPECT_EQ(countevents(BEV_SPELL, S_STONESKIN), 1);   // once: it keeps
  EXPECT_TRUE(flagsduring & 0x10000);
  EXPECT_FALSE(unit[watchedunit].flags[1] & 0x10000);

  // A unit that had the state before the battle keeps it after.
  makebattleworld();
  const int32_t m2 = mage(DEF, P_EARTH, 1, 0, 0);
  addtospellbook(S_STONESKIN, DEF);
  unit[com[m2].body].flags[1] |= 0x10000;
  army(ATT, T_CAPTAIN, T_SOLDIER, 3, BO_HOLDATTACK, 0, 10, 0);
  fightwatched(23, 3);
  EXPECT_TRUE(unit[com[m2].body].flags[1] & 0x10000);
}

TEST_F(Magic, AHostileStateFallsOnTheEnemyAndAWholeSideStateOnEveryFriend) {
  const int32_t m = mage(DEF, P_EARTH, 1, 5, 0);
  com[m].path[P_PRIEST] = 1;
  addtospellbook(S_RUST, DEF);
  addtospellbook(S_COURAGE, DEF);
  const int32_t d = army(DEF, T_CAPTAIN, T_SOLDIER, 4, BO_HOLDATTACK, 0, 0, 0);
  const int32_t a = army(ATT, T_CAPTAIN, T_VETERAN, 3, BO_HOLDATTACK, 0, 10, 0);
  static int32_t soldier, veteran;
  static uint32_t soldierflags, veteranflags;
  soldier = firstsquadunit(com[d].squad[0]);
  veteran = firstsquadunit(com[a].squad[0]);
  soldierflags = veteranflags = 0;
  const BattleViewHook watch = [](const BattleFrame& f) {
    recordframe(f);
    if (f.turn == 2) {
      soldierflags = unit[soldier].flags[1];
      veteranflags = unit[veteran].flags[0];
    }
  };
  fightwith(watch, 30, 2);
  EXPECT_EQ(countevents(BEV_SPELL, S_COURAGE), 1);   // early: every friend at once
  EXPECT_EQ(countevents(BEV_SPELL, S_RUST), 1);
  EXPECT_TRUE(soldierflags & 0x8000);
  EXPECT_TRUE(veteranflags & AF_NOARMOR);             // the biggest enemy in range
  EXPECT_FALSE(unit[veteran].flags[0] & AF_NOARMOR);  // its armour back after the battle
  EXPECT_FALSE(unit[soldier].flags[1] & 0x8000);
}

TEST_F(Magic, SummonedUnitsFightForTheCasterAndVanishAfterwards) {
  mage(DEF, P_NATURE, 1, 0, 0);
  addtospellbook(S_SUMMON, DEF);
  army(ATT, T_CAPTAIN, T_SOLDIER, 4, BO_HOLDATTACK, 0, 10, 0);
  fightwatched(24, 6);
  EXPECT_GE(countevents(BEV_SUMMON), 3);
  for (const BattleEvent& e : seen.events)
    if (e.kind == BEV_SUMMON) {
      EXPECT_EQ(unit[e.unr].owner, DEF);
      EXPECT_EQ(unit[e.unr].type, T_WOLF);
    }
  for (int32_t u = 0; u <= highestunit; u++)
    if (unit[u].type == T_WOLF) EXPECT_LT(unit[u].hp, 1) << u;
}

TEST_F(Magic, HealingMendsAWoundedFriend) {
  mage(DEF, P_NATURE, 1, 0, 0);
  addtospellbook(S_HEAL, DEF);
  const int32_t c = army(DEF, T_CAPTAIN, T_SOLDIER, 1, BO_HOLDATTACK, 0, 2, 0);
  const int32_t hurt = firstsquadunit(com[c].squad[0]);
  unit[hurt].hp = 2;
  army(ATT, T_CAPTAIN, T_SOLDIER, 3, BO_HOLDATTACK, 0, 10, 0);
  fightwatched(25, 1);
  EXPECT_EQ(countevents(BEV_SPELL, S_HEAL), 1);
  EXPECT_EQ(unit[hurt].hp, 10);   // 2 and 10, no more than its maximum
}

TEST_F(Magic, CastingTiresTheMageWhoStopsShortOfCollapse) {
  const int32_t m = mage(DEF, P_FIRE, 1, 9, 0);
  addtospellbook(S_FIREBOLT, DEF);
  spells[S_FIREBOLT].fatigue = 30;
  army(ATT, T_CAPTAIN, T_VETERAN, 20, BO_HOLDATTACK, 0, 10, 0);
  static int32_t fatigue[8];
  static int32_t body;
  body = com[m].body;
  const BattleViewHook watch = [](const BattleFrame& f) {
    recordframe(f);
    if (f.turn < 8) fatigue[f.turn] = unit[body].fatigue;
  };
  fightwith(watch, 27, 6);
  // A bolt costs 30 and the mage's own encumbrance; a fourth would pass 100.
  EXPECT_EQ(countevents(BEV_SPELL, S_FIREBOLT), 3);
  int32_t most = 0;
  for (int32_t t = 1; t < 7; t++) most = std::max(most, fatigue[t]);
  EXPECT_LT(most, 100);
  EXPECT_GT(fatigue[3], fatigue[1]);
  EXPECT_LT(fatigue[6], fatigue[4]);   // resting again
  EXPECT_EQ(unit[body].fatigue, 0);    // and rested after the battle
}

TEST_F(Magic, LowMoraleTroopsBreakAndRunButTheMindlessNever) {
  const int32_t c = army(DEF, T_CAPTAIN, T_PEASANT, 20, BO_ATTACK, 0, 8, 0);
  army(ATT, T_CAPTAIN, T_VETERAN, 20, BO_ATTACK, 0, 8, 0);
  std::vector<int32_t> peasants;
  for (int32_t u = 0; u <= highestunit; u++)
    if (unit[u].squad == com[c].squad[0]) peasants.push_back(u);
  fightwatched(28);
  int32_t routs = 0, fled = 0;
  for (const BattleEvent& e : seen.events)
    for (int32_t u : peasants) {
      if (e.unr != u) continue;
      routs += e.kind == BEV_ROUT;
      fled += e.kind == BEV_FLEE;
    }
  EXPECT_GT(routs, 0);
  EXPECT_GT(fled, 0);

  makebattleworld();
  army(DEF, T_CAPTAIN, T_ZOMBIE, 20, BO_ATTACK, 0, 8, 0);
  army(ATT, T_CAPTAIN, T_VETERAN, 20, BO_ATTACK, 0, 8, 0);
  fightwatched(28);
  for (const BattleEvent& e : seen.events)
    if (e.kind == BEV_ROUT) EXPECT_NE(unit[e.unr].type, T_ZOMBIE);
  EXPECT_EQ(battleresult.fled[0], 0);
}

TEST_F(Magic, AShieldOfAirTurnsMostArrowsAside) {
  int32_t lost[2];
  for (int32_t shielded : {0, 1}) {
    makebattleworld();
    unittypes[T_SOLDIER].hp = 100;   // none falls: every arrow finds a target
    army(DEF, T_CAPTAIN, T_ARCHER, 20, BO_FIRE, 0, 0, 0);
    const int32_t t = army(ATT, T_CAPTAIN, T_SOLDIER, 10, BO_HOLDATTACK, 0, 10, 0);
    if (shielded)
      for (int32_t u = 0; u <= highestunit; u++)
        if (unit[u].squad == com[t].squad[0]) unit[u].flags[1] |= 0x8;
    const int32_t before = sidehp(ATT);
    fightwatched(29, 2);
    lost[shielded] = before - hpturn2;
  }
  EXPECT_GT(lost[0], 50);
  EXPECT_LT(2 * lost[1], lost[0]);
}

TEST(BattleSpells, BattleStatesSetTheBitsTheDataRulesName) {
  int32_t n = 0;
  for (const content::BattleState& b : content::battlestates) {
    ASSERT_GT(b.kind, BK_NONE);
    ASSERT_LT(b.kind, BK_COUNT);
    const BattleStateBit& e = battlestatebits[b.kind];
    EXPECT_EQ(e.word, b.word - 1) << b.name;
    EXPECT_EQ(e.bit, b.bit) << b.name;
    EXPECT_EQ(e.hostile, b.hostile) << b.name;
    n++;
  }
  EXPECT_EQ(n, BK_COUNT - 1);
}

TEST(BattleSpells, EveryBattleSpellOfTheBuiltInDataCanBeCast) {
  loadgamedata();
  int32_t battle = 0;
  for (int32_t s = 0; s < MAXSPELLS && spells[s].researchlevel != SPELL_ENDLEVEL; s++) {
    const Spell& sp = spells[s];
    if (sp.effect >= SPELL_RITUAL || sp.range < 0) continue;
    battle++;
    const int32_t code = battlespelleffect(s);
    EXPECT_GE(code, 0) << sp.name;
    if (code == 1) EXPECT_GT(unittypes[sp.damage].hp, 0) << sp.name;
    if (code == 10 || code == 81) EXPECT_TRUE(sp.damage > BK_NONE && sp.damage < BK_COUNT) << sp.name;
  }
  EXPECT_GT(battle, 20);
  EXPECT_EQ(battlespelleffect(0), -1);   // a ritual
}

TEST(BattleSpells, ABattleOfTheBuiltInDataWithFireMagesIsFoughtAndForeseen) {
  loadgamedata();
  fieldbetweenhomes();
  battleviewhook = recordframe;
  for (int32_t owner : {DEF, ATT}) {
    for (int32_t s = 0; s < 3; s++) {
      const int32_t c = newcom(MON_COMMANDER_34, owner);
      setunitland(com[c].body, FIELD);
      com[c].batorder = BO_STAYBEHIND;
      com[c].squad[0] = owner * 5000 + s;
      com[c].sqx[0] = int8_t(4 - 3 * s);
      com[c].sqy[0] = int8_t(6 * s - 6);
      com[c].sqorder[0] = s == 2 ? BO_FIRE : BO_ATTACK;
      const int32_t type = s == 2 ? MON_ARCHER_17 : owner == DEF ? MON_HEAVY_INFANTRY_38 : MON_LIGHT_INFANTRY_28;
      spawnunits(type, owner, 15, FIELD, com[c].squad[0]);
    }
    const int32_t m = newcom(MON_PYROMANCER_98, owner);
    setunitland(com[m].body, FIELD);
    com[m].batorder = BO_CAST;
    com[m].ownx = 9;
  }
  const std::vector<Unit> units(unit.begin(), unit.begin() + highestunit + 1);
  const std::vector<Commander> coms(com.begin(), com.begin() + highestcom + 1);
  seen = Seen{};
  battlechecksums.fill(0);
  seedrnd(555);
  initbattle(FIELD, DEF, ATT, 0, 0, 0);
  const int32_t winner = dobatl(DEF, ATT, 1, 0, 1, 0);
  EXPECT_GT(countevents(BEV_SPELL), 0);
  EXPECT_GT(countevents(BEV_MISSILE), 0);
  EXPECT_GT(countevents(BEV_DEATH), 0);
  const auto sums = battlechecksums;
  const int32_t turns = battleresult.turns;
  // Again from the same world and seed, comparing as a replay does.
  for (size_t u = 0; u < units.size(); u++) putunit(int32_t(u), units[u]);
  std::copy(coms.begin(), coms.end(), com.begin());
  land[FIELD].corpses[1] = -1;
  debuglevel = 1;
  testing::internal::CaptureStdout();
  seedrnd(555);
  initbattle(FIELD, DEF, ATT, 0, 0, 0);
  EXPECT_EQ(dobatl(DEF, ATT, 0, 0, 1, 0), winner);
  const std::string log = testing::internal::GetCapturedStdout();
  debuglevel = 0;
  EXPECT_EQ(log.find("inconsistency"), std::string::npos);
  EXPECT_EQ(battleresult.turns, turns);
  EXPECT_EQ(battlechecksums, sums);
  battleviewhook = nullptr;
}

TEST_F(Magic, AStateWithADurationEndsAfterItsRounds) {
  const int32_t m = mage(DEF, P_EARTH, 1, 0, 0);
  addtospellbook(S_STONESKIN, DEF);
  spells[S_STONESKIN].effect = 2010;   // two rounds
  army(ATT, T_CAPTAIN, T_SOLDIER, 3, BO_HOLDATTACK, 0, 10, 0);
  static int32_t body;
  static uint32_t skin[6];
  body = com[m].body;
  const BattleViewHook watch = [](const BattleFrame& f) {
    recordframe(f);
    if (f.turn < 6) skin[f.turn] = unit[body].flags[1] & 0x10000;
  };
  fightwith(watch, 31, 5);
  // Cast in turn 1, kept through turn 2, gone at the end of turn 3, and
  // cast anew once gone.
  std::vector<int32_t> casts;
  for (size_t i = 0; i < seen.events.size(); i++)
    if (seen.events[i].kind == BEV_SPELL) casts.push_back(seen.eventturn[i]);
  ASSERT_GE(casts.size(), 2u);
  EXPECT_EQ(casts[0], 1);
  EXPECT_TRUE(skin[1] && skin[2]);
  EXPECT_FALSE(skin[3]);
  EXPECT_EQ(casts[1], 4);
}

TEST_F(Magic, HolyDamageTriplesOnTheUndeadAndStunningTiresInsteadOfWounding) {
  const int32_t d = army(DEF, T_CAPTAIN, 0, 0);
  const int32_t a = army(ATT, T_CAPTAIN, T_ZOMBIE, 1, BO_HOLDATTACK, 0, 0, 0);
  const int32_t zombie = firstsquadunit(com[a].squad[0]);
  const int32_t living = mkunit(T_SOLDIER, ATT, FIELD);
  unit[zombie].hp = unit[living].hp = 3000;   // nobody falls
  seedrnd(32);
  initbattle(FIELD, DEF, ATT, 0, 0, 0);
  const int32_t from = unitfighter(com[d].body);
  Blow holy{30, DT_HOLY, WF_ARMORNEGATING, LOC_BODY, 10};
  int32_t toundead = 0, toliving = 0;
  for (int i = 0; i < 20; i++) {
    toundead += strike(from, unitfighter(zombie), holy);
    toliving += strike(from, unitfighter(living), holy);
  }
  EXPECT_GT(toundead, 2 * toliving);
  Blow stun{10, DT_STUN, WF_ARMORNEGATING, LOC_BODY, 10};
  const int16_t hp = unit[living].hp;
  EXPECT_EQ(strike(from, unitfighter(living), stun), 0);
  EXPECT_EQ(unit[living].hp, hp);
  EXPECT_GT(unit[living].fatigue, 0);
  dobatl(DEF, ATT, 0, 0, 1, 1);
}
