// Death matches in the Arena of Champions.
#include <string>

#include "hostworld.h"

#include "world/magic.h"

namespace {

class Arena : public HostWorld {
 protected:
  static constexpr int32_t C = 2, D = 3, ARENALAND = 5;

  // The arena, cast by a commander of A who stands in ARENALAND with guards
  // and the province's defence.
  void raisearena() {
    own(ARENALAND, A);
    land[ARENALAND].provdef = 20;
    const int32_t caster = commander(A, ARENALAND);
    army(caster, 10);
    const int32_t e = addench(38, com[size_t(caster)].body, A, 0, 0);
    ASSERT_GE(e, 0);
    ench[size_t(e)].spell = int16_t(name2spell("Arena of Champions"));
  }

  // A champion of a nation in play, with an army that stays at home.
  static int32_t champion(int32_t p, int32_t home) {
    kingdom[size_t(p)].w[KW_CONTROLLER] = CTRL_HUMAN;
    const int32_t c = commander(p, home);
    formatbounded(com[size_t(c)].name, 36, "Champion%d", p);
    army(c, 5);
    order(c, Order::deathmatch);
    return c;
  }

  // The nation's match report, "" when there is none.
  static std::string report(int32_t p) {
    for (int32_t m = 0; m <= highestmsg; m++) {
      const Message& x = message[size_t(m)];
      if (x.type == MT_BATTLE && x.player == p && x.subj[0] > 0 && strstr(x.text, "Death match")) return x.text;
    }
    return "";
  }
};

TEST_F(Arena, ChampionsAreDrawnInPairsAndFightAloneToTheDeath) {
  std::vector<int32_t> champions;
  auto host = [&]() {
    TearDown();
    SetUp();
    raisearena();
    champions.clear();
    for (int32_t p : {A, B, C, D}) champions.push_back(champion(p, 3 + 2 * p));
    ordersphase();
    std::string outcome;
    for (int32_t c : champions) {
      outcome += comalive(c) ? " lives " + std::to_string(unit[com[c].body].exp) : std::string(" died");
    }
    for (int32_t p : {A, B, C, D}) outcome += report(p);
    return outcome;
  };
  // The same world and orders give the same pairs and the same matches.
  EXPECT_EQ(host(), host());
  EXPECT_EQ(battlesfought, 2);
  EXPECT_EQ(living(ARENALAND, A), 11) << "the arena's province only watched";
  for (int32_t p : {A, B, C, D}) {
    const int32_t c = champions[size_t(p)], home = 3 + 2 * p;
    // The army stayed at home; the winner went back there with the battle's
    // experience and the arena's.
    EXPECT_EQ(living(home, p), 5 + (comalive(c) ? 1 : 0));
    EXPECT_NE(report(p).find(" was slain"), std::string::npos) << report(p);
    if (!comalive(c)) continue;
    EXPECT_EQ(unit[com[c].body].exp, 11);
    EXPECT_EQ(comland(c), home);
    EXPECT_EQ(com[c].order, Order::defend);
    EXPECT_NE(report(p).find(std::string(com[c].name) + " of " + nationname(p) + " won"), std::string::npos);
  }
  bugcheck(1);
  // Watched again, a match holds the two champions alone and is fought as it
  // was, without the province's defence.
  Replay r;
  ASSERT_NO_FATAL_FAILURE(readreplay(B, r));
  EXPECT_EQ(r.lnr, ARENALAND);
  EXPECT_EQ(unitsin(r.lnr, -1).size(), 2u);
  EXPECT_EQ(r.values[0], 0);
  const std::string log = fightreplay(r);
  EXPECT_NE(log.find("This battle looks just like I have forseen"), std::string::npos);
  EXPECT_EQ(log.find("inconsistency"), std::string::npos);
}

TEST_F(Arena, WhoDoesNotFightAndWhoCannotLeave) {
  // Without an arena the order is withdrawn and nobody fights.
  const int32_t a = champion(A, AHOME), b = champion(B, BHOME);
  ordersphase();
  EXPECT_EQ(battlesfought, 0);
  EXPECT_EQ(com[a].order, Order::defend);
  EXPECT_EQ(messages(B, "could not compete in the arena: No death match is being fought."), 1);

  // Champions that run find no way out, though their nations hold the
  // provinces around the arena; a second champion of a nation is sent back.
  raisearena();
  own(ARENALAND - 1, A);
  own(ARENALAND + 1, B);
  const int32_t second = champion(A, AHOME);
  order(a, Order::deathmatch);
  order(b, Order::deathmatch);
  com[a].batorder = com[b].batorder = BO_RETREAT;
  ordersphase();
  EXPECT_EQ(battlesfought, 1);
  EXPECT_EQ(comalive(a) + comalive(b), 1);
  EXPECT_TRUE(comalive(second) && com[second].order == Order::defend);
  EXPECT_EQ(messages(A, "A champion of the nation is in the death match already."), 1);

  // Three champions: two fight, the odd one out is told and keeps its order;
  // the Champion's Trident binds the winner to the arena as well.
  const std::vector<int32_t> three = {comalive(a) ? a : b, champion(C, 4), champion(D, 9)};
  for (int32_t x : three) {
    order(x, Order::deathmatch);
    com[x].item[0] = 1;
  }
  ordersphase();
  EXPECT_EQ(battlesfought, 2);
  int32_t alive = 0, told = 0;
  for (int32_t x : three) {
    alive += comalive(x);
    EXPECT_TRUE(!comalive(x) || com[x].order == Order::deathmatch);
    told += messages(complayer(x), "found no opponent in the Arena of Champions this month");
  }
  EXPECT_EQ(alive, 2);
  EXPECT_EQ(told, 1);
}

}  // namespace
