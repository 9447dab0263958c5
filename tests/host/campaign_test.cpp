// A game hosted for thirty turns: the nations research with their mages,
// recruit at home and march their armies into the provinces around them,
// all through their order files; every file is read back after each turn.
#include "hostgame.h"
#include "support/gamefolders.h"

#include "actions/moverule.h"
#include "world/movement.h"
#include "world/recruit.h"
#include "world/scores.h"

namespace {

class Campaign : public HostGame {
 protected:
  // What a player does with a turn.
  void orders(int32_t p) {
    const int32_t h = home(p);
    std::vector<int32_t> coms = commandersof(p);
    // Mages in a laboratory of the nation research.
    for (int32_t c : coms) {
      const int32_t l = comland(c);
      if (ismage(c) && land[size_t(l)].lab && land[size_t(l)].fortholder == p && com[size_t(c)].order == Order::defend)
        com[size_t(c)].order = Order::research;
    }
    // The cheapest recruitable unit, as many as the gold allows (at most ten).
    if (h > 0 && land[size_t(h)].owner == p && land[size_t(h)].fortholder == p) {
      createslist(h, 0);
      int32_t cheapest = -1;
      for (int32_t i = 0; i <= slistlast; i++)
        if (cheapest < 0 || unittypes[size_t(slist[size_t(i)])].gcost < unittypes[size_t(cheapest)].gcost)
          cheapest = slist[size_t(i)];
      Land& l = land[size_t(h)];
      for (int32_t n = 0; cheapest >= 0 && n < 10 && l.queuecount < 100; n++) {
        const int32_t cost = unittypes[size_t(cheapest)].gcost;
        if (kingdom[size_t(p)].gold < cost + 60) break;
        kingdom[size_t(p)].gold -= cost;
        l.queue[l.queuecount++] = int16_t(cheapest);
      }
    }
    // Armies march on a province they do not hold; units standing at home
    // join the first commander there.
    for (int32_t c : coms) {
      if (unit[size_t(com[size_t(c)].body)].flags[2] & F3_PRETENDER) continue;
      const int32_t l = comland(c);
      if (l == h) {
        int32_t& squad = com[size_t(c)].squad[0];
        if (squad == -1) squad = newsquadnbr(p);
        for (int32_t u : unitsin(h, p))
          if (unit[size_t(u)].squad == -1 && unit[size_t(u)].comnr < 0 && unit[size_t(u)].homeland != -2)
            setunitsquad(u, squad);
      }
      if (armyunits(c).size() < 4 || com[size_t(c)].order != Order::defend) continue;
      for (int32_t i = 0; i < MAXNEIGHBOURS && provgeo[size_t(l)].nbr[i] > 0; i++) {
        const int32_t n = provgeo[size_t(l)].nbr[i];
        int32_t reachable = 0;
        if (land[size_t(n)].owner == p) continue;
        findpath(p, l, n, getmoveflags(c), &reachable);
        if (!reachable) continue;
        com[size_t(c)].order = Order::move;
        com[size_t(c)].orderparam = n;
        break;
      }
    }
  }
};

TEST_F(Campaign, ThirtyTurnsOfRecruitingMarchingFightingAndResearch) {
  create("testvale.map", {0, 1, 2});
  int32_t battles = 0, recruited = 0;
  int32_t researched = 0;
  int32_t twicebattles = 0;
  int32_t mostprovinces = 0;
  for (int32_t t = 0; t < 30; t++) {
    for (int32_t p : humans) {
      ASSERT_TRUE(openturn(p));
      if (uint16_t(kingdom[size_t(p)].w[KW_CONTROLLER]) != CTRL_HUMAN) continue;
      recruited += messages(p, "Recruitment in");
      battles += messages(p, "Battle of");
      play(p, [&] { orders(p); });
    }
    const int32_t before = worldturn();
    // Every few turns the month is hosted twice from the same files: the
    // second host writes the same bytes, battles and their replays included.
    const bool twice = t % 6 == 5;
    if (twice) ASSERT_EQ(system(("rm -rf '" + root + "/copy' && cp -r '" + path("") + "' '" + root + "/copy'").c_str()), 0);
    ASSERT_EQ(host(), 1) << "turn " << t;
    ASSERT_EQ(worldturn(), before + 1);
    if (twice) {
      std::vector<std::vector<uint8_t>> first;
      for (int32_t p : humans) first.push_back(readbytes(trnpath(p)));
      first.push_back(readbytes(path("ftherlnd")));
      const int32_t fought = battlesfought;
      ASSERT_EQ(system(("rm -rf '" + path("") + "' && cp -r '" + root + "/copy' '" + path("") + "'").c_str()), 0);
      ASSERT_EQ(host(), 1) << "turn " << t;
      EXPECT_EQ(battlesfought, fought);
      twicebattles += fought;
      std::vector<std::vector<uint8_t>> second;
      for (int32_t p : humans) second.push_back(readbytes(trnpath(p)));
      second.push_back(readbytes(path("ftherlnd")));
      EXPECT_TRUE(first == second) << "turn " << t;
    }
    readback();
    ASSERT_FALSE(HasFatalFailure());
    clearworld();
    int32_t ft = 0;
    ASSERT_EQ(loadworldfile(game.c_str(), 0, &ft), 1);
    for (int32_t p : humans) {
      mostprovinces = imax(mostprovinces, nbrofprovinces(p));
      for (int32_t s = 0; s < 7; s++) researched = imax(researched, researchrec[p][RR_LEVEL + s]);
    }
  }
  EXPECT_GT(recruited, 10);
  EXPECT_GT(battles, 3);
  EXPECT_GT(mostprovinces, 2);
  EXPECT_GE(researched, 1);
  EXPECT_GT(twicebattles, 0);
}

}  // namespace
