// The unit indexes by land and squad: after any mix of the table's writers
// they list what the table holds, and every query that reads them answers
// as the scan of the whole table does, dropping units in the same order.
#include <gtest/gtest.h>

#include <random>

#include "support/smallworld.h"
#include "world/magic.h"
#include "rule_ids.h"
#include "world/movement.h"

namespace {

// Types: 1 man, 2 fish (aquatic), 3 bird (flying), 4 ghoul (undead),
// 5 statue (map move 0). Item 1 carries a few units through water, over
// land and in the air, so that dropping depends on the members' order.
class UnitIndex : public ::testing::Test {
 protected:
  void SetUp() override {
    makesmallworld();
    settype(1, "Man");
    settype(2, "Fish").flags = MF_AQUATIC;
    settype(3, "Bird").flags = MF_FLYING;
    settype(4, "Ghoul").flags2 = MF2_UNDEADCLASS;
    settype(5, "Statue").mapmove = 0;
    for (int32_t a = 0; a < 3; a++) {
      items[1].abilityid[a] = int16_t(std::array{AB_WATERCAP, AB_LANDCAP, AB_FLYCAP}[size_t(a)]);
      items[1].abilityval[a] = 5;
    }
  }
  void TearDown() override { unitindexused = true; }

  std::mt19937 draw{12345};
  int32_t pick(int32_t n) { return int32_t(draw() % uint32_t(n)); }
  int32_t anyland() { return std::array{-1, 0, 1, 2, 3, 4, VOIDLAND}[size_t(pick(7))]; }
  int32_t anysquad() { return pick(4) == 0 ? -1 : 500 + pick(6); }
  int32_t anyunit() { return highestunit < 0 ? 0 : pick(highestunit + 2); }
  // A slot that is no commander's body, to be written whole.
  int32_t plainunit() {
    const int32_t u = anyunit();
    return unit[size_t(u)].comnr < 0 ? u : highestunit + 1;
  }
  Unit plaincopy() {
    Unit x = unit[size_t(anyunit())];
    x.comnr = -1;
    return x;
  }

  // One write of a kind that the game makes.
  void write() {
    switch (pick(10)) {
      case 0: spawnunits(1 + pick(5), pick(3), 1 + pick(3), anyland(), anysquad()); break;
      case 1: {
        const int32_t c = newcom(1 + pick(4), pick(3));
        if (c < 0) break;
        setunitland(com[c].body, 1 + pick(4));
        for (int32_t& s : com[c].squad) s = anysquad();
        com[c].item[0] = int16_t(pick(2));
        break;
      }
      case 2: killunit(anyunit()); break;
      case 3: setunitland(anyunit(), anyland()); break;
      case 4: setunitsquad(anyunit(), anysquad()); break;
      case 5: putunit(plainunit(), plaincopy()); break;
      case 6: putunit(plainunit(), emptyunit()); break;
      case 7: {
        // A battle's set-aside: much of the table rewritten while the index rests.
        const UnitIndexRest rest;
        for (int32_t i = 0; i < 5; i++) setunitland(anyunit(), anyland());
        putunit(plainunit(), emptyunit());
        EXPECT_EQ(countunits(1, -1), countunitsbyscan(1));
        break;
      }
      case 8: {
        // A battle: the forces outside its land away, summons in their
        // slots (as newunit finds them free) that move, die and vanish,
        // then everyone back.
        const int32_t field = 1 + pick(4);
        std::vector<int32_t> away;
        std::vector<int32_t> stood;
        for (int32_t u = 0; u <= highestunit; u++) {
          if (unit[size_t(u)].land == field) continue;
          away.push_back(u);
          stood.push_back(unit[size_t(u)].land);
        }
        setunitsaside(std::span(&field, 1));
        for (int32_t i = 0; i < 4 && !away.empty(); i++) {
          const size_t k = size_t(pick(int32_t(away.size())));
          const int32_t u = away[k];
          Unit summons = emptyunit();
          summons.type = int16_t(1 + pick(5));
          summons.hp = 10;
          setrecordland(summons, field);
          setrecordsquad(summons, anysquad());
          putunit(u, summons);
          if (pick(2)) setunitland(u, stood[k]);   // where the slot's unit stood
          if (pick(2)) setunitland(u, anyland());
          if (pick(2)) setunitsquad(u, anysquad());
          if (pick(2)) killunit(u);
        }
        EXPECT_EQ(answers(), answersbyscan());
        takeunitsback();
        break;
      }
      default: unit[size_t(anyunit())].hp = int16_t(pick(3));   // not a key: the queries test it
    }
  }
  int32_t countunitsbyscan(int32_t lnr) {
    unitindexused = false;
    const int32_t n = countunits(lnr, -1);
    unitindexused = true;
    return n;
  }

  // Every query over lands, owners, squads and armies, as one list of numbers.
  std::vector<int64_t> answers() {
    std::vector<int64_t> v;
    for (int32_t l : {0, 1, 2, 3, 4, VOIDLAND}) {
      v.push_back(int64_t(filedinland(l).size()));
      for (int32_t p = -1; p < 3; p++)
        v.insert(v.end(), {countunits(l, p), sumunitsizes(l, p), countfreeunits(l, p, -1)});
    }
    for (int32_t s = 500; s < 506; s++)
      v.insert(v.end(), {squadunitcount(s), squadtotalsize(s), firstsquadunit(s)});
    for (int32_t c = 0; c <= highestcom; c++) {
      if (combody(c) < 0 || unit[size_t(com[c].body)].hp < 1) continue;
      int32_t undead = 0, magic = 0;
      v.insert(v.end(), {comunits(c, &undead, &magic), undead, magic, armymapmove(c), armyflags(c),
                         getmoveflags(c), maysneak(c)});
      for (int32_t u : filedinsquads(com[c].squad)) v.push_back(u);
    }
    return v;
  }
  std::vector<int64_t> answersbyscan() {
    unitindexused = false;
    std::vector<int64_t> v = answers();
    unitindexused = true;
    return v;
  }
};

TEST_F(UnitIndex, EveryWriterKeepsTheIndexAndTheQueriesAnswerAsTheScan) {
  for (int32_t step = 0; step < 1500; step++) {
    write();
    ASSERT_EQ(unitindexfault(), "") << "step " << step;
    if (step % 10 == 0) {
      ASSERT_EQ(answers(), answersbyscan()) << "step " << step;
    }
  }
  EXPECT_GT(highestunit, 100);
  clearunittables();
  EXPECT_EQ(unitindexfault(), "");
  EXPECT_TRUE(filedinland(1).empty());
}

TEST_F(UnitIndex, ArmiesDropTheSameUnitsInTheSameOrderAsTheScan) {
  for (int32_t step = 0; step < 400; step++) write();
  const std::vector<Unit> before(unit.begin(), unit.begin() + highestunit + 1);
  const std::array<Commander, MAXCOMS> coms = com;   // dropping empties squad slots
  const auto drops = [&](bool indexed) {
    for (size_t u = 0; u < before.size(); u++) putunit(int32_t(u), before[u]);
    com = coms;
    unitindexused = indexed;
    std::vector<int32_t> v;
    for (int32_t c = 0; c <= highestcom; c++) {
      if (combody(c) < 0 || unit[size_t(com[c].body)].hp < 1) continue;
      v.insert(v.end(), {watermove(c, 1), landmove(c, 1), flymove(c, 1)});
      dropimmobileunits(c);
    }
    for (int32_t u = 0; u <= highestunit; u++) v.push_back(unit[size_t(u)].squad);
    unitindexused = true;
    return v;
  };
  const std::vector<int32_t> indexed = drops(true);
  EXPECT_EQ(unitindexfault(), "");
  EXPECT_EQ(indexed, drops(false));
}

// The month's battles within one set-aside of everyone outside their
// provinces: each battle sees the tables that setting the whole world aside
// for it alone gives, units and commanders, and lists as the commanders in
// the table those with a body there; also when the forces set aside for a
// battle are written back over their slots after it. The month ends with
// the same tables, the commanders as they were before it.
TEST_F(UnitIndex, BattlesWithinTheMonthsSetAsideSeeWhatTheirOwnSetAsideGives) {
  for (int32_t step = 0; step < 300; step++) write();
  const std::vector<Unit> world(unit.begin(), unit.begin() + highestunit + 1);
  const std::array<Commander, MAXCOMS> coms = com;
  const int32_t top = highestunit;
  ASSERT_GT(highestcom, 10);
  const std::array<int32_t, 3> fields = {1, 3, 1};
  using Row = std::array<int32_t, 7>;
  const auto table = [] {
    std::vector<Row> v;
    for (int32_t u = 0; u <= highestunit; u++) {
      const Unit& x = unit[size_t(u)];
      v.push_back({x.land, x.squad, x.type, x.hp, x.owner, x.comnr, x.homeland});
    }
    for (int32_t c = 0; c <= highestcom; c++) {
      const Commander& x = com[size_t(c)];
      v.push_back({x.body, x.squad[0], x.squad[4], x.item[0], x.squadslot, c, -2});
    }
    return v;
  };
  const auto withbodies = [] {
    std::vector<int32_t> v;
    for (int32_t c = 0; c <= highestcom; c++)
      if (com[size_t(c)].body >= 0) v.push_back(c);
    return v;
  };
  const auto month = [&](bool once) {
    for (size_t u = 0; u < world.size(); u++) putunit(int32_t(u), world[u]);
    highestunit = top;
    std::mt19937 d(99);
    std::vector<std::vector<Row>> seen;
    std::vector<int32_t> slots;
    if (once) {
      setunitsaside(fields);
      EXPECT_EQ(commandersintable(), withbodies());
    }
    for (int32_t field : fields) {
      setunitsaside(std::span(&field, 1));
      EXPECT_EQ(commandersintable(), withbodies());
      for (int32_t c : commandersintable()) EXPECT_EQ(unit[size_t(com[size_t(c)].body)].land, field);
      seen.push_back(table());
      // Summons take free slots as newunit finds them, move and vanish;
      // the province's first unit retreats.
      for (int32_t i = 0; i < 3; i++) {
        std::vector<int32_t> free;
        for (int32_t u = 0; u <= highestunit; u++)
          if (unit[size_t(u)].hp < 1 && unit[size_t(u)].comnr < 0) free.push_back(u);
        const int32_t u = free[d() % free.size()];
        Unit summons = emptyunit();
        summons.type = 1;
        summons.hp = 10;
        setrecordland(summons, field);
        setrecordsquad(summons, 500 + int32_t(d() % 3));
        putunit(u, summons);
        if (d() % 2) setunitland(u, int32_t(d() % 4));
        if (d() % 2) setunitsquad(u, -1);
      }
      const std::vector<int32_t> here = filedinland(field);
      if (!here.empty()) setunitland(here[0], 2);
      EXPECT_TRUE(unitslotsintable(slots));
      for (int32_t u = 0; u <= highestunit; u++)
        if (unit[size_t(u)].hp > 0) EXPECT_TRUE(std::binary_search(slots.begin(), slots.end(), u)) << u;
      seen.push_back(table());
      takeunitsback();
      // The set-aside file read back: every unit outside the province
      // written over its slot as it stands, after each battle.
      std::vector<int32_t> kept;
      if (!unitslotsintable(kept))
        for (int32_t u = 0; u <= highestunit; u++) kept.push_back(u);
      for (int32_t u : kept)
        if (unit[size_t(u)].hp > 0 && unit[size_t(u)].land != field) putunit(u, Unit(unit[size_t(u)]));
    }
    if (once) takeunitsback();
    EXPECT_EQ(unitindexfault(), "");
    EXPECT_EQ(memcmp(com.data(), coms.data(), sizeof com), 0);
    seen.push_back(table());
    return seen;
  };
  EXPECT_EQ(month(true), month(false));
}

TEST_F(UnitIndex, ListsAreAscendingAndEndAtTheHighestUnitInUse) {
  const int32_t a = mkunit(1, 0, 3), b = mkunit(1, 0, 3), c = mkunit(1, 0, 3);
  setunitsquad(c, 7);
  setunitsquad(a, 8);
  setunitsquad(b, 7);
  const int32_t squads[] = {7, -1, 8, 7};
  EXPECT_EQ(filedinsquads(squads), (std::vector<int32_t>{a, b, c}));
  setunitland(b, 4);
  EXPECT_EQ(filedinland(3), (std::vector<int32_t>{a, c}));
  highestunit = b;   // c lies beyond the units in use, as a scan sees it
  EXPECT_EQ(filedinland(3), (std::vector<int32_t>{a}));
  EXPECT_DEATH(setrecordland(unit[size_t(a)], 2), "setrecordland: a unit of the table");
}

}  // namespace
