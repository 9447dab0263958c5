// The economic phases on a small world: recruitment, research, forging and
// Empowerment, rituals, income and upkeep, supply, and gifts.
#include "hostworld.h"

#include "world/economy.h"
#include "world/recruit.h"
#include "world/scores.h"

namespace {

class Economy : public HostWorld {
 protected:
  // A type the capital of the player recruits, and a commander type.
  int32_t recruitable(int32_t p, int32_t mode) {
    createslist(p == A ? AHOME : BHOME, mode);
    EXPECT_GE(slistlast, 0);
    return slistlast >= 0 ? slist[0] : -1;
  }
};

TEST_F(Economy, RecruitmentFollowsResourcesAndRefundsWhatCannotBeRaised) {
  Land& l = land[AHOME];
  const int32_t unit1 = recruitable(A, 0), leader = recruitable(A, 10);
  const int32_t budget = getresources(AHOME, A);
  const int32_t each = imax(unitrescost(unit1), 1);
  const int32_t fit = budget / each;
  // More than this month's resources: the rest waits, in order.
  l.queuecount = int16_t(imin(fit + 3, 100));
  for (int32_t i = 0; i < l.queuecount; i++) l.queue[i] = int16_t(unit1);
  const int32_t gold = kingdom[A].gold;
  recruitphase();
  EXPECT_EQ(living(AHOME, A), fit);
  EXPECT_EQ(l.queuecount, imin(fit + 3, 100) - fit);
  EXPECT_EQ(kingdom[A].gold, gold);   // paid when queued
  EXPECT_EQ(messages(A, "Recruitment in"), 1);
  // A commander comes first; a type no longer recruitable here is refunded.
  l.queuecount = 2;
  l.queue[0] = int16_t(MON_MILITIA_18);
  l.queue[1] = int16_t(unit1);
  l.comqueued = 1;
  l.queuedcomtype = int16_t(leader);
  createslist(AHOME, 0);
  bool militia = false;
  for (int32_t i = 0; i <= slistlast; i++) militia = militia || slist[size_t(i)] == MON_MILITIA_18;
  recruitphase();
  EXPECT_EQ(l.comqueued, 0);
  EXPECT_EQ(commandersin(AHOME, A).size(), 1u);
  if (!militia) {
    EXPECT_EQ(kingdom[A].gold, gold + unittypes[MON_MILITIA_18].gcost);
  }
  // A besieged or rebellious province gives its whole queue back.
  l.queuecount = 1;
  l.queue[0] = int16_t(unit1);
  l.unrest = 150;
  const int32_t before = kingdom[A].gold;
  recruitphase();
  EXPECT_EQ(l.queuecount, 0);
  EXPECT_EQ(kingdom[A].gold, before + unittypes[size_t(unit1)].gcost);
  EXPECT_EQ(messages(A, "the unrest is too high"), 1);
}

TEST_F(Economy, CommandersMadeInHostingRollTheirRandomMagic) {
  const int32_t leader = recruitable(A, 10);
  const std::array<RandMagic, MAXRANDMAGIC> saved = randmagic;
  randmagic[0] = RandMagic{int16_t(leader), 0x80 | 0x8000, 100};   // Fire or Priest, always
  randmagic[1] = RandMagic{-1, 0, 0};
  Land& l = land[AHOME];
  l.comqueued = 1;
  l.queuedcomtype = int16_t(leader);
  recruitphase();
  randmagic = saved;
  ASSERT_EQ(commandersin(AHOME, A).size(), 1u);
  const Commander& c = com[size_t(commandersin(AHOME, A)[0])];
  EXPECT_EQ(c.path[P_FIRE] + c.path[P_PRIEST],
            gettypemagic(leader, P_FIRE) + gettypemagic(leader, P_PRIEST) + 1);
}

TEST_F(Economy, ResearchAddsPointsRaisesLevelsAndNeedsALaboratory) {
  const int32_t mage = commander(A, AHOME, MON_COMMANDER_34);
  com[mage].path[P_FIRE] = 3;
  order(mage, Order::research);
  researchrec[A][RR_PERCENT + 0] = 50;
  researchrec[A][RR_PERCENT + 2] = 50;
  const int32_t total = pathresearch(A, 99);
  EXPECT_EQ(total, comresearch(mage, 0));
  EXPECT_EQ(pathresearch(A, 0) + pathresearch(A, 2), total);
  // Enough points for the next level of Conjuration.
  researchrec[A][RR_POINTS + 0] = int16_t(researchcost(0) - 1);
  researchphase();
  EXPECT_EQ(researchrec[A][RR_LEVEL + 0], 1);
  EXPECT_EQ(researchrec[A][RR_POINTS + 0], researchcost(0) - 1 + pathresearch(A, 0) - researchcost(0));
  EXPECT_EQ(messages(A, "reached level 1 in Conjuration"), 1);
  // The costs: 20, 40, ... by level and research difficulty, capped at the table's end.
  gameinfo.researchdiff = 0;
  EXPECT_EQ(researchcost(0), 20);
  EXPECT_EQ(researchcost(10), 3000);
  gameinfo.researchdiff = 3;
  EXPECT_EQ(researchcost(0), 100);
  gameinfo.researchdiff = 1;
  // A complete school gathers nothing.
  researchrec[A][RR_LEVEL + 2] = 9;
  researchrec[A][RR_POINTS + 2] = 50;
  researchphase();
  EXPECT_EQ(researchrec[A][RR_POINTS + 2], 0);
  // Without a laboratory the mage gives up.
  setunitland(com[mage].body, 5);
  researchphase();
  EXPECT_EQ(com[mage].order, Order::defend);
  EXPECT_EQ(messages(A, "could not research"), 1);
}

TEST_F(Economy, BalancingResearchPercentages) {
  int16_t* pc = &researchrec[A][RR_PERCENT];
  for (int32_t i = 0; i < 7; i++) pc[i] = 0;
  pc[0] = 50, pc[1] = 50, pc[2] = 80;
  balanceresearch(A, 2);
  EXPECT_EQ(pc[0], 10);
  EXPECT_EQ(pc[1], 10);
  EXPECT_EQ(pc[2], 80);
  for (int32_t i = 0; i < 7; i++) pc[i] = 0;
  balanceresearch(A, -1);
  int32_t sum = 0;
  for (int32_t i = 0; i < 7; i++) sum += pc[i];
  EXPECT_EQ(sum, 100);
  EXPECT_EQ(pc[6], 0);   // a drawn school is never Blood Magic
  // Shares of 10 points: 34/33/33 gives 4, 3, 3.
  const int32_t mage = commander(A, AHOME);
  order(mage, Order::research);
  for (int32_t i = 0; i < 7; i++) pc[i] = 0;
  pc[0] = 34, pc[1] = 33, pc[2] = 33;
  com[mage].ordergems[0] = 10 - comresearch(mage, 0);
  EXPECT_EQ(pathresearch(A, 0), 4);
  EXPECT_EQ(pathresearch(A, 1), 3);
}

TEST_F(Economy, ForgingAndEmpowerment) {
  // An item of the first construction level that a Fire mage can make.
  int32_t item = 0;
  for (int32_t i = 1; i < nbrofitems() && !item; i++)
    if (items[i].constlevel == 0 && items[i].mainpath == P_FIRE && items[i].secondpath < 0 && items[i].mainlevel == 1)
      item = i;
  ASSERT_GT(item, 0);
  const int32_t mage = commander(A, AHOME);
  com[mage].path[P_FIRE] = 1;
  ASSERT_EQ(canforge(mage, item), -3);   // the nation has no fire gems yet
  kingdom[A].w[KW_GEMS + P_FIRE] = 100;
  ASSERT_EQ(canforge(mage, item), 1);
  const int32_t cost = forgegemcost1;
  // The screen took the gems; the host makes the item.
  kingdom[A].w[KW_GEMS + P_FIRE] = int16_t(100 - cost);
  order(mage, Order::forge, item);
  com[mage].ordergems[0] = cost;
  forgephase();
  EXPECT_EQ(com[mage].order, Order::defend);
  EXPECT_EQ(comhasitem(mage, item) + (kingdom[A].w[KW_LABSTORE] == item), 1);
  EXPECT_EQ(iteminplay[item], 1);
  EXPECT_EQ(kingdom[A].w[KW_GEMS + P_FIRE], 100 - cost);
  // Gems short of the cost: the order fails and what was paid comes back.
  if (cost > 1) {
    order(mage, Order::forge, item);
    com[mage].ordergems[0] = cost - 1;
    kingdom[A].w[KW_GEMS + P_FIRE] = 0;
    forgephase();
    EXPECT_EQ(kingdom[A].w[KW_GEMS + P_FIRE], cost - 1);
    EXPECT_EQ(messages(A, "the gems paid do not cover it"), 1);
  }
  // Empowerment raises a path by one.
  order(mage, Order::empower, P_WATER);
  forgephase();
  EXPECT_EQ(com[mage].path[P_WATER], 1);
  EXPECT_EQ(messages(A, "empowered"), 1);
  // Away from a laboratory of the nation both are refunded.
  setunitland(com[mage].body, 5);
  order(mage, Order::empower, P_AIR);
  kingdom[A].w[KW_GEMS + P_AIR] = 0;
  forgephase();
  EXPECT_EQ(com[mage].path[P_AIR], 0);
  EXPECT_EQ(kingdom[A].w[KW_GEMS + P_AIR], empowercost(mage, P_AIR));
}

TEST_F(Economy, RitualsAreRefunded) {
  int32_t spell = 0;
  for (int32_t s = 1; s < nbrofspells() && !spell; s++)
    if (spells[s].effect >= SPELL_RITUAL && spells[s].path[0] >= 0 && spells[s].path[0] < 8) spell = s;
  ASSERT_GT(spell, 0);
  const int32_t mage = commander(A, AHOME);
  order(mage, Order::ritual, spell);
  com[mage].ordergems[0] = 7;
  const int32_t path = spells[spell].path[0];
  kingdom[A].w[KW_GEMS + path] = 0;
  ritualsphase();
  EXPECT_EQ(com[mage].order, Order::defend);
  EXPECT_EQ(kingdom[A].w[KW_GEMS + path], 7);
  EXPECT_EQ(messages(A, "could not cast the ritual"), 1);
}

TEST_F(Economy, IncomeUpkeepAndDesertion) {
  const int32_t c = commander(A, AHOME);
  army(c, 30);
  const int32_t income = getkinc(A), upkeep = upk(A);
  EXPECT_EQ(upkeep, (30 * unittypes[MON_HEAVY_INFANTRY_38].gcost + unittypes[MON_COMMANDER_34].gcost) / 15);
  kingdom[A].gold = 100;
  incomephase();
  EXPECT_EQ(kingdom[A].gold, 100 + income - upkeep);
  // An empty treasury: the dearest units leave until the debt is covered.
  kingdom[A].gold = -income - 50;
  const int32_t before = living(AHOME, A);
  incomephase();
  EXPECT_EQ(kingdom[A].gold, 0);
  EXPECT_LT(living(AHOME, A), before);
  EXPECT_GE(messages(A, "have deserted"), 1);
  EXPECT_TRUE(comalive(c));   // commanders stay
}

TEST_F(Economy, ProvincesMonthTaxUnrestAndGrowth) {
  Land& l = land[5];
  l.unrest = 40;
  l.reserved = LF_AUTOTAX;
  incomephase();
  EXPECT_EQ(l.unrest, 40 - 1 - 4);
  EXPECT_EQ(l.tax, unrestpercent(5));
  EXPECT_EQ(unrestpercent(5), 10 * imax(5, 10 - (l.unrest + 4) / 5));
  const int32_t pop = l.population;
  l.scale[SC_DEATH] = 3;   // three steps of Death: growth falls below nothing
  incomephase();
  EXPECT_LT(l.population, pop);
  land[6].tax = 150;
  land[6].unrest = 0;
  incomephase();
  EXPECT_EQ(land[6].unrest, 4);
}

TEST_F(Economy, ArmiesStarveWhereSupplyRunsShort) {
  Land& l = land[5];
  l.population = 100;
  own(5, A);
  const int32_t c = commander(A, 5);
  army(c, 80);
  ASSERT_GT(supplyuse(5, A), getsupply(5, A, 1));
  starvephase();
  const int32_t u = unitsin(5, A).back();
  EXPECT_TRUE(unit[u].flags[0] & 0x4);
  EXPECT_EQ(unit[u].hp, unittypes[MON_HEAVY_INFANTRY_38].hp);   // the first month only weakens
  starvephase();
  EXPECT_LT(unit[u].hp, unittypes[MON_HEAVY_INFANTRY_38].hp);
  EXPECT_GE(messages(A, "starving"), 2);
  l.population = 20000;
  starvephase();
  EXPECT_FALSE(unit[u].flags[0] & 0x4);
}

TEST_F(Economy, GiftsAndLettersAreDelivered) {
  PMess& gold = pmess[A][0];
  gold.b0 = B;
  gold.b1 = PG_GOLD;
  gold.value = 250;
  strlcopy(gold.text, "For the road", MSGTEXTLEN);
  PMess& gems = pmess[A][1];
  gems.b0 = B;
  gems.b1 = PG_GEMS + P_EARTH;
  gems.value = 4;
  PMess& lost = pmess[A][2];
  lost.b0 = 3;   // a nation not in the game
  lost.b1 = PG_ITEM;
  lost.value = 1;
  const int32_t bgold = kingdom[B].gold;
  messagesphase();
  EXPECT_EQ(kingdom[B].gold, bgold + 250);
  EXPECT_EQ(kingdom[B].w[KW_GEMS + P_EARTH], 4);
  EXPECT_EQ(messages(B, "For the road"), 1);
  EXPECT_EQ(kingdom[A].w[KW_LABSTORE], 1);   // back in the sender's treasury
  EXPECT_EQ(messages(A, "could not be delivered"), 1);
  for (const PMess& m : pmess[A]) EXPECT_EQ(m.b0, 255);
}

}  // namespace
