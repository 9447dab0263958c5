#include <gtest/gtest.h>
#include <vector>

#include "support/smallworld.h"
#include "world/builders.h"

namespace {
// Types: 1 soldier, 2 captain, 3 immortal, 4 giant (30 hp), 5 berserker,
// 6 mage. Items: 1..3 of construction level 0, 4 of level 1, end at 6.
class Builders : public ::testing::Test {
 protected:
  void SetUp() override {
    makesmallworld();
    resetbuilder();
    settype(1, "Soldier");
    settype(2, "Captain");
    settype(3, "Lich").flags = MF_IMMORTAL;
    settype(4, "Giant").hp = 30;
    settype(5, "Berserker");
    addtypeability(5, AB_BERSERK, 1);
    settype(6, "Mage");
    typemagic[0] = TypeMagic{6, P_FIRE, 2};
    typemagic[1] = TypeMagic{6, P_BLOOD, 1};
    typemagic[2] = TypeMagic{-1, 0, 0};
    for (int i = 1; i <= 5; i++) setitem(i, "Ring", IT_MISC);
    strcpy(items[1].name, "Ring of Tests");
    items[4].constlevel = 1;
    items[5].constlevel = 2;
    items[6].constlevel = ITEM_ENDLEVEL;
    seedrnd(3);
  }
  static int32_t unitsin(int32_t squad) {
    int32_t n = 0;
    for (int32_t u = 0; u <= highestunit; u++)
      if (unit[u].hp > 0 && unit[u].squad == squad) n++;
    return n;
  }
  static int32_t unitsinland(int32_t lnr) {
    int32_t n = 0;
    for (int32_t u = 0; u <= highestunit; u++)
      if (unit[u].hp > 0 && unit[u].land == lnr) n++;
    return n;
  }
};
}  // namespace

TEST_F(Builders, GangMakesCommanderSquadAndState) {
  const int32_t c = popgang(1, 2, 10, 3, 4);
  ASSERT_GE(c, 0);
  const int32_t s = com[c].squad[0];
  EXPECT_GE(s, 15000);
  EXPECT_LT(s, 20000);
  EXPECT_EQ(unitsin(s), 10);
  EXPECT_EQ(unitsinland(4), 11);
  EXPECT_EQ(unit[com[c].body].land, 4);
  EXPECT_EQ(unit[com[c].body].owner, 3);
  EXPECT_EQ(com[c].batorder, BO_NONE);
  EXPECT_EQ(builder.com, c);
  EXPECT_EQ(builder.squad, s);
  EXPECT_EQ(builder.added, 1);
  EXPECT_EQ(addtosquad(1, 5), s);
  EXPECT_EQ(unitsin(s), 15);
  const int32_t s2 = addsquad(1, 3);
  EXPECT_EQ(com[c].squad[1], s2);
  EXPECT_EQ(unitsin(s2), 3);
  const int32_t g = addbodyguards(1, 2);
  EXPECT_EQ(com[c].squad[2], g);
  EXPECT_EQ(com[c].sqorder[2], BO_GUARD);
  const int32_t s4 = addsquad(1, 1);
  EXPECT_EQ(com[c].squad[3], s4);
  // A fifth builder squad: a fresh number, no units, no slot.
  const int32_t s5 = addsquad(1, 4);
  EXPECT_GE(s5, 15000);
  EXPECT_EQ(unitsin(s5), 0);
  EXPECT_EQ(com[c].squad[4], -1);
  EXPECT_EQ(addbodyguards(1, 0), -1);
  addbodyguards(1, 1);   // the order falls on the last builder squad
  EXPECT_EQ(com[c].sqorder[3], BO_GUARD);
  setbattleorder(BO_RETREAT, 2);
  EXPECT_EQ(com[c].batorder, BO_RETREAT);
  EXPECT_EQ(com[c].battarget, 2);
}

TEST_F(Builders, UnitsWithoutCommanderAndFailedCreationsAttachNothing) {
  const int32_t first = popgang(1, 2, 2, 3, 4);
  const int32_t before = highestunit;
  EXPECT_EQ(popgang(1, -1, 6, 7, 5), -1);
  EXPECT_EQ(unitsinland(5), 6);
  for (int32_t u = before + 1; u <= highestunit; u++) EXPECT_EQ(unit[u].squad, -1);
  EXPECT_EQ(popgang(1, -1, 0, 7, 5), -1);
  EXPECT_EQ(unitsinland(5), 6);
  // Nothing of the later calls reaches the commander of player 3.
  EXPECT_EQ(addsquad(1, 4), -1);
  EXPECT_EQ(addtosquad(1, 4), -1);
  EXPECT_EQ(addbodyguards(1, 4), -1);
  EXPECT_EQ(additem("Ring of Tests", 100), 0);
  addequip(5);
  setbattleorder(BO_FIRE, 1);
  EXPECT_EQ(com[first].squad[1], -1);
  EXPECT_EQ(com[first].item[0], 0);
  EXPECT_EQ(com[first].batorder, BO_NONE);
  EXPECT_EQ(unitsinland(5), 6);
  // The commander table is full: creation fails the same way.
  for (int32_t c = 0; c < MAXCOMS; c++)
    if (com[c].body < 0) com[c].body = 0;
  EXPECT_EQ(popgang(1, 2, 3, 9, 6), -1);
  EXPECT_EQ(addsquad(1, 4), -1);
  EXPECT_EQ(com[first].squad[1], -1);
}

TEST_F(Builders, BattleOrdersForBerserkersImmortalsAndBigIndependents) {
  EXPECT_EQ(com[popgang(0, 5, 0, 3, 1)].batorder, BO_ATTACK);
  EXPECT_EQ(com[popgang(0, 3, 0, 3, 1)].batorder, BO_ATTACK);
  EXPECT_EQ(com[popgang(0, 4, 0, 3, 1)].batorder, BO_NONE);
  EXPECT_EQ(com[popgang(0, 4, 0, INDEPENDENTS, 1)].batorder, BO_ATTACK);
  EXPECT_EQ(com[popcom(4, 1)].batorder, BO_ATTACK);
  unittypes[6].hp = 40;
  EXPECT_EQ(com[popcom(6, 1)].batorder, BO_NONE);   // mages keep their choice
  unittypes[6].flags = MF_IMMORTAL;
  EXPECT_EQ(com[popcom(6, 1)].batorder, BO_NONE);
  settype(22, "Chieftain");
  EXPECT_EQ(com[popcom(22, 1)].batorder, BO_ATTACK);
  const int32_t c = popcom(2, 8);
  EXPECT_EQ(unit[com[c].body].owner, INDEPENDENTS);
  EXPECT_EQ(com[c].squad[0], -1);
  EXPECT_EQ(builder.added, 0);
}

TEST_F(Builders, TemporaryGangs) {
  const int32_t c = poptempgang(1, 2, 3, 4, 2);
  ASSERT_GE(c, 0);
  EXPECT_EQ(unit[com[c].body].tmp, 1);
  for (int32_t u = 0; u <= highestunit; u++)
    if (unit[u].hp > 0) {
      EXPECT_EQ(unit[u].tmp, 1);
    }
  EXPECT_EQ(poptempgang(1, -1, 2, 4, 3), -1);
  EXPECT_EQ(unitsinland(3), 2);
  EXPECT_EQ(builder.added, 1);
}

TEST_F(Builders, CommandersRollTheirRandomMagicWhenMade) {
  // Mages of type 6 learn Air or Earth as well, always; poptempgang's summons too.
  randmagic[0] = RandMagic{6, 0x100 | 0x400, 100};
  randmagic[1] = RandMagic{-1, 0, 0};
  for (int32_t c : {popgang(0, 6, 0, 3, 1), poptempgang(0, 6, 0, 3, 1), popcom(6, 2)}) {
    EXPECT_EQ(com[c].path[P_FIRE], 2);
    EXPECT_EQ(com[c].path[P_AIR] + com[c].path[P_EARTH], 1);
  }
  EXPECT_EQ(ccmrandomtotal, 100);
  const int32_t captain = popgang(0, 2, 0, 3, 1);
  EXPECT_EQ(com[captain].path[P_AIR] + com[captain].path[P_EARTH], 0);
}

TEST_F(Builders, ItemsAndEquipment) {
  const int32_t c = popgang(0, 6, 0, 3, 1);
  EXPECT_EQ(additem("Ring of Tests", 0), 0);
  EXPECT_EQ(com[c].item[0] + com[c].item[1], 0);
  EXPECT_EQ(additem("Ring of Tests", 100), 1);
  EXPECT_EQ(comslotitem(c, SLOT_MISC, 0), 1);
  EXPECT_EQ(additem("No such ring", 100), 0);

  std::array<int, 6> seen{};
  for (int i = 0; i < 600; i++) seen[randitemoflevel(0)]++;
  EXPECT_GT(seen[1], 0);
  EXPECT_GT(seen[3], 0);
  EXPECT_EQ(seen[4] + seen[5] + seen[0], 0);
  EXPECT_EQ(randitemoflevel(1), 4);
  EXPECT_EQ(randitemoflevel(7), 0);

  // Gems: fire 2 dice and blood 1 die of level + 4, plus d6 - 1 blood slaves.
  int32_t fire = 0;
  for (int i = 0; i < 50; i++) {
    const int32_t d = popgang(0, 6, 0, 3, 1);
    addequip(1);
    EXPECT_GE(com[d].gems[P_FIRE], 2);
    EXPECT_EQ(com[d].gems[P_WATER], 0);
    fire += com[d].gems[P_FIRE];
    // Level 1 never reaches the third, fourth or fifth draw.
    for (int16_t it : com[d].item) EXPECT_TRUE(it == 0 || items[it].constlevel <= 1);
  }
  EXPECT_GT(fire, 50 * 2);
  const int32_t e = popgang(0, 6, 0, 3, 1);
  com[e].gems[P_FIRE] = 250;
  addequip(40);
  EXPECT_EQ(com[e].gems[P_FIRE], 255);
  addequip(0);
  addequip(-3);
}

TEST_F(Builders, KillandEmptiesALand) {
  popgang(1, 2, 4, 3, 2);
  popgang(1, 2, 4, 3, 3);
  inbattle = 7;
  killand(2);
  EXPECT_EQ(inbattle, 7);
  EXPECT_EQ(unitsinland(2), 0);
  EXPECT_EQ(unitsinland(3), 5);
  killand(-1);
  EXPECT_EQ(unitsinland(3), 5);
  land[0].fort = 2;
  land[0].provdef = 9;
  land[0].scale[3] = 2;
  land[0].veyowner = 4;
  provgeo[0].terrain = TM_FOREST;
  land[3].fort = 2;
  killand(0);
  EXPECT_EQ(land[0].fort, 0);
  EXPECT_EQ(land[0].provdef, 0);
  EXPECT_EQ(land[0].scale[3], 0);
  EXPECT_EQ(land[0].veyowner, -1);
  EXPECT_EQ(provgeo[0].terrain, 0u);
  EXPECT_EQ(land[3].fort, 2);
  EXPECT_EQ(pickpoptemplate(500, 1), -1);
}

TEST_F(Builders, StopsWithTheirTags) {
  EXPECT_DEATH(popcom(2, 0), "popcom: bad lnr");
  EXPECT_DEATH(popcom(2, 1505), "popcom: bad lnr");
  EXPECT_DEATH(addbodyguards(1, 2), "addbodyguards: bad cnr");
  EXPECT_DEATH(additem("Ring of Tests", 100), "additem: bad cnr");
  EXPECT_DEATH(addequip(1), "addequip: bad cnr");
  EXPECT_EQ(addsquad(1, 3), -1);   // no commander yet: nothing made
  EXPECT_EQ(addtosquad(1, 3), -1);
  highestunit = MAXUNITS;
  EXPECT_DEATH(killand(1), "killand: unit overflow");
  highestunit = -1;
}

TEST_F(Builders, DrawsRepeatAfterTheSameSeed) {
  auto run = [&](int32_t seed) {
    makesmallworld();
    SetUp();
    seedrnd(seed);
    std::vector<int32_t> out;
    for (int i = 0; i < 10; i++) {
      const int32_t c = popgang(1, 6, 3, 3, 1);
      addequip(3);
      out.push_back(com[c].squad[0]);
      for (uint8_t g : com[c].gems) out.push_back(g);
      for (int16_t it : com[c].item) out.push_back(it);
      out.push_back(randitemoflevel(0));
    }
    return out;
  };
  const auto a = run(41), b = run(41), c = run(42);
  EXPECT_EQ(a, b);
  EXPECT_NE(a, c);
}
