// The commander orders that act where the commander stands.
#include "hostworld.h"

#include "world/economy.h"
#include "world/scores.h"

namespace {

class Orders : public HostWorld {};

TEST_F(Orders, BuildingAndDemolishing) {
  own(4, A);
  const int32_t c = commander(A, 4);
  // Laboratories are built by mages, temples by priests.
  com[c].path[P_FIRE] = 1;
  com[c].path[P_PRIEST] = 1;
  order(c, Order::buildlab);
  ordersphase();
  EXPECT_EQ(land[4].lab, 1);
  EXPECT_EQ(com[c].order, Order::defend);
  order(c, Order::buildtemple);
  ordersphase();
  EXPECT_EQ(land[4].temple, 1);
  // A second laboratory is paid back.
  order(c, Order::buildlab);
  const int32_t gold = kingdom[A].gold;
  ordersphase();
  EXPECT_EQ(kingdom[A].gold, gold + getlabcost(A));
  EXPECT_EQ(messages(A, "could not build a laboratory: A laboratory stands here already."), 1);
  order(c, Order::demolishlab);
  ordersphase();
  EXPECT_EQ(land[4].lab, 0);
  order(c, Order::demolishtemple);
  ordersphase();
  EXPECT_EQ(land[4].temple, 0);
  // Only what the nation holds can be torn down.
  const int32_t d = commander(A, BHOME);
  order(d, Order::demolishfort);
  ordersphase();
  EXPECT_EQ(land[BHOME].fort, 1);
  EXPECT_EQ(messages(A, "There is no fort of the nation's to demolish here."), 1);
}

TEST_F(Orders, TheProvinceAndItsPeople) {
  own(4, A);
  Land& l = land[4];
  const int32_t c = commander(A, 4);
  army(c, 9);
  // Patrols calm the province.
  l.unrest = 30;
  order(c, Order::patrol);
  ordersphase();
  EXPECT_EQ(l.unrest, 25);
  // Pillage fills the treasury and empties the province.
  order(c, Order::pillage);
  const int32_t gold = kingdom[A].gold, pop = l.population;
  ordersphase();
  EXPECT_GT(kingdom[A].gold, gold);
  EXPECT_LT(l.population, pop);
  EXPECT_EQ(l.unrest, 45);
  // A blood hunt brings slaves to the hunter.
  order(c, Order::bloodhunt);
  com[c].path[P_BLOOD] = 2;
  ordersphase();
  EXPECT_GE(com[c].gems[P_BLOOD], 3);
  EXPECT_LE(com[c].gems[P_BLOOD], 5);
  // An uprising needs a spy.
  own(6, B);
  const int32_t agent = commander(A, 6);
  order(agent, Order::uprising);
  ordersphase();
  EXPECT_EQ(land[6].unrest, 0);
  EXPECT_EQ(messages(A, "could not stir an uprising: Tester cannot stir up an uprising."), 1);
  unit[com[agent].body].abil[0] = 214;
  unit[com[agent].body].abilval[0] = 5;
  order(agent, Order::uprising);
  ordersphase();
  EXPECT_EQ(land[6].unrest, 15);
}

TEST_F(Orders, PriestsAndTheGod) {
  own(4, A);
  const int32_t priest = commander(A, 4);
  com[priest].path[P_PRIEST] = 2;
  // Preaching raises the god's veyrance up to twice the holy level.
  order(priest, Order::preach);
  for (int32_t i = 0; i < 6; i++) ordersphase();
  EXPECT_EQ(land[4].veyowner, A);
  EXPECT_EQ(land[4].veystr, 4);
  // In a province of a foreign god it pushes that god back.
  own(6, B);
  land[6].veyowner = B;
  land[6].veystr = 3;
  const int32_t p2 = commander(A, 6);
  com[p2].path[P_PRIEST] = 2;
  order(p2, Order::enemypreach);
  ordersphase();
  EXPECT_EQ(land[6].veystr, 2);
  // A prophet, one at a time.
  order(priest, Order::prophet);
  ordersphase();
  EXPECT_EQ(kingdom[A].w[KW_PROPHET], priest);
  EXPECT_TRUE(unit[com[priest].body].flags[1] & ST_PROPHET);
  order(p2, Order::prophet);
  ordersphase();
  EXPECT_EQ(kingdom[A].w[KW_PROPHET], priest);
  EXPECT_EQ(messages(A, "has one already"), 1);
  // A dead god is called back by priestly work.
  const int32_t god = commander(A, AHOME);
  unit[com[god].body].flags[2] |= F3_PRETENDER;
  unit[com[god].body].hp = 0;
  kingdom[A].w[KW_GOD] = int16_t(god);
  order(priest, Order::callgod);
  int32_t months = 0;
  while (unit[com[god].body].hp < 1 && months < 40) {
    ordersphase();
    months++;
  }
  EXPECT_EQ(months, 15);   // thirty levels of work at two a month
  EXPECT_EQ(comland(god), 4);
  EXPECT_EQ(com[priest].order, Order::defend);
}

TEST_F(Orders, RaisingTheDeadAndCallingSpirits) {
  own(4, A);
  land[4].corpses[0] = 2;
  land[4].corpses[1] = 0;
  const int32_t c = commander(A, 4);
  com[c].path[P_PRIEST] = 3;
  unit[com[c].body].type = int16_t(findunittype("Lich"));   // undead: may raise the dead
  ASSERT_GT(unit[com[c].body].type, 0);
  ASSERT_GE(reanimatelevel(c), 1);
  order(c, Order::ghouls);
  ordersphase();
  EXPECT_EQ(armyunits(c).size(), 3u);   // two corpses, two ghouls
  EXPECT_EQ(land[4].corpses[0], 0);
  ordersphase();
  EXPECT_EQ(armyunits(c).size(), 3u);   // no corpses left
  // Calling spirits needs the nation's gift.
  order(c, Order::spirits);
  ordersphase();
  EXPECT_EQ(messages(A, "could not call spirits"), callspiritslevel(c) < 1 ? 1 : 0);
}

TEST_F(Orders, SitesAreSearchedAndEntered) {
  own(4, A);
  int32_t site = -1;
  for (int32_t s = 2; s < nbrofsites() && site < 0; s++)
    if (sites[s].path == P_FIRE && sites[s].level == 1) site = s;
  ASSERT_GT(site, 0);
  land[4].site[0] = int16_t(site);
  const int32_t c = commander(A, 4);
  order(c, Order::search);
  ordersphase();
  EXPECT_EQ(land[4].sitefound[0], 0);   // a Fire site needs a Fire mage
  EXPECT_EQ(messages(A, "could not search"), 1);
  com[c].path[P_FIRE] = 1;
  order(c, Order::search);
  ordersphase();
  EXPECT_EQ(land[4].sitefound[0], 1);
  EXPECT_EQ(land[4].searched[A][P_FIRE], 1);
  EXPECT_EQ(messages(A, "has found the magic site"), 1);
  // A treasure site gives an item and is gone.
  int32_t treasure = -1;
  for (int32_t s = 2; s < nbrofsites() && treasure < 0; s++)
    if (sites[s].effectkind[0] == SE_TREASURE) treasure = s;
  ASSERT_GT(treasure, 0);
  {
    land[4].site[1] = int16_t(treasure);
    land[4].sitefound[1] = 1;
    com[c].path[sites[treasure].path] = 9;
    order(c, Order::entersite, 1);
    ordersphase();
    EXPECT_EQ(land[4].site[1], 0);
    EXPECT_EQ(com[c].order, Order::defend);
  }
}

TEST_F(Orders, AgentsTurnOrLureEnemyCommanders) {
  own(4, B);
  const int32_t target = commander(B, 4);
  const int32_t agent = commander(A, 4);
  unit[com[agent].body].abil[0] = 210;
  unit[com[agent].body].abilval[0] = 40;   // no magic resistance withstands it
  order(agent, Order::seduce);
  ordersphase();
  EXPECT_EQ(complayer(target), A);
  EXPECT_EQ(messages(B, "has been seduced"), 1);
  // Without the gift the order is withdrawn.
  const int32_t plain = commander(A, 4);
  order(plain, Order::corrupt);
  ordersphase();
  EXPECT_EQ(messages(A, "Tester cannot corrupt commanders."), 1);
  // Death matches wait for an arena.
  order(plain, Order::deathmatch);
  ordersphase();
  EXPECT_EQ(messages(A, "No death match is being fought."), 1);
}

}  // namespace
