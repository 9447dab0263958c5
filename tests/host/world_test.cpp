// The phases that tend the world: veyrance, mercenaries, healing and age,
// random events, heroes, the hall of fame, scores and victory.
#include "hostworld.h"

#include "world/scores.h"
#include "world/veyrates.h"
#include "worldgen/mercenaries.h"

namespace {

class Tending : public HostWorld {};

TEST_F(Tending, VeyranceSpendsTheTempleScreensPointsNearestFirstAndTurnsTheScales) {
  const int32_t god = commander(A, 6);   // a god standing far from its home
  kingdom[A].w[KW_GOD] = int16_t(god);
  com[god].veyvalue = 3;
  veyrec[A].scale[SC_TURMOIL] = -3;
  land[5].veyowner = land[7].veyowner = B;   // B has no god: it converts nothing
  land[5].veystr = 1;
  land[7].veystr = 2;
  ASSERT_EQ(veyconversion(A, 6), 16);
  ASSERT_EQ(veyconversion(A, AHOME), 6);   // home province and temple, 3 each
  // Month 9: the god's 16 points give 2 steps, its own land first; the home
  // province's and the temple's 3 give a step each there.
  turn = 9;
  veyrancephase();
  EXPECT_EQ(land[6].veyowner, A);
  EXPECT_EQ(land[6].veystr, 2);
  EXPECT_EQ(land[AHOME].veystr, 2);
  EXPECT_EQ(land[5].veyowner, B);
  EXPECT_EQ(land[5].veystr, 1);
  // Month 10: the god's 1 step fills its land; the home's 3 points give none.
  turn = 10;
  veyrancephase();
  EXPECT_EQ(land[6].veystr, 3);
  EXPECT_EQ(land[AHOME].veystr, 2);
  // Steps go to the nearest land that still takes one: B is pushed out of 5
  // and 7, and in the end the world is full of A's veyrance at its strength
  // and takes no more.
  for (turn = 11; turn < 80; turn++) veyrancephase();
  for (int32_t l = 1; l <= nbrlands; l++) {
    EXPECT_EQ(land[size_t(l)].veyowner, A) << l;
    EXPECT_EQ(land[size_t(l)].veystr, 3) << l;
  }
  // The scales follow the god.
  int32_t turned = 0;
  for (int32_t l = 1; l <= nbrlands; l++) turned += land[size_t(l)].scale[SC_TURMOIL] < 0;
  EXPECT_GT(turned, 0);
}

TEST_F(Tending, MercenariesAreHiredByTheBestBidAndServeTheirMonths) {
  const int32_t leader = commander(MERCOWNER, MERCLAND);
  army(leader, 5);
  for (int32_t u : armyunits(leader)) unit[size_t(u)].homeland = -2;
  MercBand& m = mercband[0];
  strlcopy(m.name, "The Grey Company", sizeof m.name);
  m.value[MB_LEADER] = int16_t(leader);
  m.value[MB_EMPLOYER] = -1;
  m.value[MB_PRICE] = 50;
  m.value[MB_FAVNATION] = -1;
  for (int32_t i = 1; i < MAXMERCBANDS; i++) mercband[size_t(i)].value[MB_LEADER] = -1;
  kingdom[A].w[KW_MERCBIDS] = 60;
  kingdom[A].w[KW_MERCBIDLAND] = AHOME;
  kingdom[B].w[KW_MERCBIDS] = 40;   // below the price
  kingdom[B].w[KW_MERCBIDLAND] = BHOME;
  const int32_t gold = kingdom[A].gold;
  kingdom[A].gold -= 60;   // a bid holds its gold until it is settled
  kingdom[B].gold -= 40;
  const int32_t goldb = kingdom[B].gold + 40;
  mercenaryphase();
  EXPECT_EQ(kingdom[B].gold, goldb);   // the failed bid is paid back
  EXPECT_EQ(m.value[MB_EMPLOYER], A);
  EXPECT_EQ(complayer(leader), A);
  EXPECT_EQ(comland(leader), AHOME);
  EXPECT_EQ(living(AHOME, A), 6);
  EXPECT_EQ(kingdom[A].gold, gold - 60);
  EXPECT_EQ(recmercs(A, 0), 1);
  EXPECT_EQ(messages(B, "below the band's price"), 1);
  EXPECT_EQ(kingdom[A].w[KW_MERCBIDS], 0);   // bids last one month
  // Two more months paid, then the band leaves.
  mercenaryphase();
  mercenaryphase();
  EXPECT_EQ(kingdom[A].gold, gold - 180);
  mercenaryphase();
  EXPECT_EQ(m.value[MB_EMPLOYER], -1);
  EXPECT_EQ(complayer(leader), MERCOWNER);
  EXPECT_EQ(comland(leader), MERCLAND);
  EXPECT_EQ(recmercs(A, -1), 0);
  // A band whose leader died breaks up for good.
  killunit(com[leader].body);
  mercenaryphase();
  EXPECT_EQ(m.value[MB_LEADER], -1);
}

TEST_F(Tending, ABandWhoseTimeIsUpServesTheBestBidItsEmployersCountedDouble) {
  const int32_t leader = commander(MERCOWNER, MERCLAND);
  army(leader, 2);
  for (int32_t u : armyunits(leader)) unit[size_t(u)].homeland = -2;
  MercBand& m = mercband[0];
  m.value[MB_LEADER] = int16_t(leader);
  m.value[MB_EMPLOYER] = -1;
  m.value[MB_PRICE] = 50;
  m.value[MB_FAVNATION] = -1;
  for (int32_t i = 1; i < MAXMERCBANDS; i++) mercband[size_t(i)].value[MB_LEADER] = -1;
  auto bid = [&](int32_t p, int32_t gold, int32_t lnr) {
    kingdom[size_t(p)].gold -= gold;
    kingdom[size_t(p)].w[KW_MERCBIDS] = int16_t(gold);
    kingdom[size_t(p)].w[KW_MERCBIDLAND] = int16_t(lnr);
  };
  bid(A, 50, AHOME);
  mercenaryphase();
  ASSERT_EQ(m.value[MB_EMPLOYER], A);
  mercenaryphase();
  mercenaryphase();
  ASSERT_EQ(m.value[MB_MONTHS], 1);
  // In its last month A bids 60 (its price is halved to 25), B bids 100:
  // A's bid counts 120 and A keeps the band for three more months.
  const int32_t agold = kingdom[A].gold, bgold = kingdom[B].gold;
  bid(A, 60, AHOME);
  bid(B, 100, BHOME);
  mercenaryphase();
  EXPECT_EQ(m.value[MB_EMPLOYER], A);
  EXPECT_EQ(m.value[MB_MONTHS], 3);
  EXPECT_EQ(kingdom[A].gold, agold - 60);
  EXPECT_EQ(kingdom[B].gold, bgold);
  EXPECT_EQ(recmercs(A, 0), 1);
  EXPECT_EQ(messages(B, "another nation bid more"), 1);
  // The price as the bidding box shows it: halved for the employer, a
  // quarter more for nation 40, the favoured nation's share.
  EXPECT_EQ(mercprice(0, A, A), 25);
  EXPECT_EQ(mercprice(0, 40, 40), (50 + 50 / 4) / 2);
  m.value[MB_FAVNATION] = B;
  m.value[MB_FAVPERCENT] = 60;
  EXPECT_EQ(mercprice(0, B, A), 30);
}

TEST_F(Tending, WoundsHealDiseaseGnawsAndTheOldGrowFrail) {
  const int32_t c = commander(A, AHOME);
  army(c, 2);
  const int32_t hurt = armyunits(c)[1], sick = armyunits(c)[2];
  const int32_t maxhp = getmaxhp(hurt);
  unit[hurt].hp = 1;
  unit[sick].flags[0] |= AF_DISEASED;
  ageingphase();
  EXPECT_EQ(unit[hurt].hp, 1 + imax(1, maxhp / 5));
  EXPECT_LT(unit[sick].hp, maxhp);
  // A year's turn: everyone is a year older; the very old fall.
  turn = 12;
  const int32_t b = com[c].body;
  unit[b].age = int16_t(5 * getmaxage(b));
  const int16_t age = unit[hurt].age;
  bool died = false;
  for (int32_t year = 0; year < 30 && !died; year++) {
    ageingphase();
    died = unit[b].hp < 1;
  }
  EXPECT_TRUE(died);
  EXPECT_GT(unit[hurt].age, age);
  EXPECT_EQ(messages(A, "died of old age"), 1);
}

// Every way a commander dies outside battle is told with its name, the unit
// type's for a commander that has none of its own.
TEST_F(Tending, ADeadCommanderIsNamedHoweverItDied) {
  const std::string name = unittypes[MON_COMMANDER_34].name;
  ASSERT_FALSE(name.empty());
  auto unnamed = [](int32_t lnr) {
    const int32_t c = commander(A, lnr);
    com[c].name[0] = 0;
    return c;
  };
  auto told = [&](const char* how) { return messages(A, (name + how).c_str()); };
  const int32_t sick = unnamed(AHOME);
  unit[com[sick].body].flags[0] |= AF_DISEASED;
  unit[com[sick].body].hp = 1;
  ageingphase();
  EXPECT_FALSE(comalive(sick));
  EXPECT_EQ(told(" has died of disease."), 1);
  // Starving a second month wounds; the weakest do not live through it.
  own(5, A);
  land[5].population = 100;
  const int32_t hungry = unnamed(5);
  army(hungry, 80);
  unit[com[hungry].body].flags[0] |= 0x4;
  unit[com[hungry].body].hp = 1;
  starvephase();
  EXPECT_FALSE(comalive(hungry));
  EXPECT_EQ(told(" has starved to death."), 1);
  turn = 12;
  const int32_t old = unnamed(AHOME);
  unit[com[old].body].age = int16_t(5 * getmaxage(com[old].body));
  for (int32_t year = 0; year < 30 && comalive(old); year++) ageingphase();
  EXPECT_FALSE(comalive(old));
  EXPECT_EQ(told(" has died of old age."), 1);
}

TEST_F(Tending, RandomEventsFollowTheTable) {
  // Every province of A meets an event this month.
  eventisrare = 1000;
  eventsphase();
  int32_t told = 0;
  for (int32_t m = 0; m <= highestmsg; m++)
    if (message[size_t(m)].type != MT_FREE && message[size_t(m)].player == A) {
      told++;
      EXPECT_EQ(strstr(message[size_t(m)].text, "[land]"), nullptr);
      EXPECT_EQ(strstr(message[size_t(m)].text, "[amount]"), nullptr);
    }
  EXPECT_GE(told, 1);
  // With events that cannot happen, nothing happens.
  clearmessages();
  for (Event& e : randevents) e.req[0] = EVR_SEASON, e.reqval[0] = 9;
  eventsphase();
  EXPECT_EQ(nbrofmsg(A), 0);
  loadgamedata();
}

TEST_F(Tending, AnEventOfMonstersIsABattle) {
  // A hand-made row: barbarians attack an undefended capital and take it.
  eventisrare = 1000;
  for (Event& e : randevents) e.rarity = 0;
  Event& raid = randevents[0];
  raid = Event{};
  strlcopy(raid.text, "Raiders fall upon [land].", EVENTTEXTLEN);
  raid.rarity = 1;
  raid.effect[0] = EVE_NUMBER;
  raid.effectval[0] = 10;
  raid.effect[1] = EVE_MONSTERS;
  raid.effectval[1] = MON_HEAVY_INFANTRY_38;
  land[AHOME].fort = 0;
  eventsphase();
  EXPECT_EQ(messages(A, "Raiders fall upon Land2."), 1);
  EXPECT_EQ(land[AHOME].owner, INDEPENDENTS);
  EXPECT_EQ(messages(A, "Land2 has been conquered by the independents"), 1);
  loadgamedata();
}

TEST_F(Tending, TheHallOfFameAndItsHeroes) {
  const int32_t a = commander(A, AHOME), b = commander(B, BHOME), c = commander(A, 3);
  unit[com[a].body].exp = 30;
  com[b].kills = 20;   // 40
  unit[com[c].body].exp = 0;
  EXPECT_EQ(famescore(b), 40);
  EXPECT_EQ(famescore(-1), -1);
  gameinfo.hofsize = 1;
  famephase();
  EXPECT_TRUE(inhalloffame(b));
  EXPECT_FALSE(inhalloffame(a));
  EXPECT_EQ(com[b].herocount, 1);
  EXPECT_EQ(famescore(b), 48);
  EXPECT_EQ(messages(B, "entered the Hall of Fame"), 1);
  famephase();
  EXPECT_EQ(messages(B, "entered the Hall of Fame"), 1);   // once
  // A unique hero comes to serve a nation and never comes twice.
  int32_t hero = -1;
  for (int32_t t = 1; t < nbrofunittypes() && hero < 0; t++)
    if (isusedunittype(t) && !(unittypes[size_t(t)].flags2 & MF2_NOLEADER)) hero = t;
  ASSERT_GT(hero, 0);
  for (int32_t i = 0; i < UNITABILITIES; i++)
    if (unittypes[size_t(hero)].abilityid[i] == 0) {
      unittypes[size_t(hero)].abilityid[i] = 275;   // unique
      unittypes[size_t(hero)].abilityval[i] = 1;
      break;
    }
  for (int32_t month = 0; month < 400 && uniquetypelist.count < 0; month++) heroesphase();
  ASSERT_EQ(uniquetypelist.count, 0);
  EXPECT_EQ(uniquetypelist.type[0], hero);
  const int32_t count = uniquetypelist.count;
  for (int32_t month = 0; month < 100; month++) heroesphase();
  EXPECT_EQ(uniquetypelist.count, count);
  loadgamedata();
}

TEST_F(Tending, ScoutsReportTheArmiesAroundTheNation) {
  const int32_t near = commander(B, 3);   // next to A's capital
  army(near, 6);
  const int32_t far = commander(B, 6);
  army(far, 2);
  const int32_t sneak = commander(B, 1);
  army(sneak, 3);
  order(sneak, Order::sneak);   // hidden next to A: not seen
  statisticsphase();
  const int32_t m = findscoutmsg(A, 3);
  ASSERT_GE(m, 0);
  EXPECT_EQ(message[m].subj[1], 7);
  EXPECT_EQ(message[m].subj[2], MON_HEAVY_INFANTRY_38);
  EXPECT_EQ(findscoutmsg(A, 6), -1);   // too far
  EXPECT_EQ(findscoutmsg(A, 1), -1);
  EXPECT_EQ(nbrofmsg(A), 1);
  EXPECT_EQ(endstats.highest, 1);   // the month's statistics
}

TEST_F(Tending, NationsFallAndVictoryIsDeclared) {
  kingdom[2].w[KW_CONTROLLER] = CTRL_HUMAN;   // a third nation with nothing at all
  kingdom[2].w[KW_MAYWIN] = 1;
  scoresphase();
  EXPECT_EQ(uint16_t(kingdom[2].w[KW_CONTROLLER]), CTRL_WAS1);
  EXPECT_EQ(messages(A, "has been destroyed"), 1);
  // Victory points: the capital of A is worth three.
  gameinfo.victory = 1;
  gameinfo.victoryvalue = 3;
  land[AHOME].vpword = 3;
  scoresphase();
  EXPECT_EQ(kingdom[A].w[KW_WINNER], 1);
  EXPECT_EQ(messages(B, "has won the game"), 1);
  scoresphase();
  EXPECT_EQ(messages(B, "has won the game"), 1);   // declared once
  // The last nation standing wins too.
  kingdom[A].w[KW_WINNER] = 0;
  gameinfo.victory = 0;
  kingdom[B].w[KW_CONTROLLER] = int16_t(CTRL_WAS1);
  scoresphase();
  EXPECT_EQ(kingdom[A].w[KW_WINNER], 1);
  // --finalhost sends everyone the final scores.
  hostmode = 2;
  scoresphase();
  hostmode = 0;
  EXPECT_EQ(messages(A, "Final scores"), 1);
}

}  // namespace
