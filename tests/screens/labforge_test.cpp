// The rules of the laboratory, the treasuries, alchemy, forging and
// Empowerment on a small world: what moves where, what is paid and what
// comes back.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "host/phases.h"
#include "rule_ids.h"
#include "screens/forging.h"
#include "screens/lab.h"
#include "screens/orders.h"
#include "support/smallworld.h"
#include "world/siteentry.h"

namespace {
// Nation 3 holds the fort and laboratory of land 2; land 4 has a laboratory
// whose fort nation 6 holds. Type 1 is a mage's body, type 2 a captain's.
constexpr int32_t P = 3, LAB = 2, FOREIGNLAB = 4;
constexpr int32_t SWORD = 1, CROWN = 2, STAFF = 3, BOW = 4, RELIC = 5, BOOTS = 6;

class LabForge : public ::testing::Test {
 protected:
  void SetUp() override {
    makesmallworld();
    settype(1, "Mage");
    settype(2, "Captain");
    for (int32_t l : {1, 2, 3}) land[l].owner = land[l].fortholder = P;
    land[LAB].fort = 1;
    land[LAB].lab = 1;
    land[FOREIGNLAB].owner = land[FOREIGNLAB].fortholder = 6;
    land[FOREIGNLAB].lab = 1;
    kingdom[P].w[KW_PROPHET] = kingdom[P].w[KW_GOD] = -1;
    // Construction 4: items of construction level 2 at most.
    researchrec[P][RR_LEVEL + SCH_CONSTRUCTION] = 4;
    item(SWORD, "Fire Sword", IT_ONEHAND, 1, P_FIRE, 1);
    item(CROWN, "Crown", IT_HELMET, 4, P_FIRE, 1);   // unique from level 4: beyond construction 4
    item(STAFF, "Staff", IT_TWOHAND, 0, P_FIRE, 2, P_EARTH, 1);
    item(BOW, "Bow", IT_MISSILE, 0, P_FIRE, 1);          // no category lists it
    item(RELIC, "Relic", IT_ONEHAND, 0, P_FIRE, 0);      // main level 0: never made
    item(BOOTS, "Boots", IT_BOOTS, 1, P_WATER, 3);
    items[7].constlevel = ITEM_SENTINELLEVEL + 1;
  }
  static void item(int32_t i, const char* name, int8_t type, int8_t level, int8_t path, uint8_t plevel,
                   int8_t path2 = -1, uint8_t plevel2 = 0) {
    Item& it = setitem(i, name, type);
    it.constlevel = level;
    it.mainpath = path;
    it.mainlevel = plevel;
    it.secondpath = path2;
    it.secondlevel = plevel2;
  }
  static int32_t mage(int32_t lnr, int32_t fire = 2) {
    const int32_t c = mkcom(1, P, lnr);
    com[c].path[P_FIRE] = uint8_t(fire);
    com[c].path[P_EARTH] = 1;
    snprintf(com[c].name, sizeof com[c].name, "Com%d", c);
    return c;
  }
  static int16_t& gems(int32_t kind) { return kingdom[P].w[KW_GEMS + kind]; }
  static std::vector<int32_t> menuids(int32_t c) {
    OrderEntry e[ORDERMENUSIZE];
    const int32_t n = ordermenuentries(c, e, ORDERMENUSIZE);
    std::vector<int32_t> v;
    for (int32_t i = 0; i < n; i++) v.push_back(e[i].id);
    return v;
  }
};

bool has(const std::vector<int32_t>& v, int32_t id) { return std::find(v.begin(), v.end(), id) != v.end(); }
}  // namespace

TEST_F(LabForge, PoolingTakesOnlyFromOwnCommandersInOwnLaboratories) {
  const int32_t here = mage(LAB), away = mage(1), foreign = mage(FOREIGNLAB), merc = mage(LAB), dead = mage(LAB);
  unit[com[merc].body].homeland = -2;
  unit[com[dead].body].hp = 0;
  for (int32_t c : {here, away, foreign, merc, dead}) com[c].gems[P_DEATH] = 5;
  com[here].gems[P_PRIEST] = 9;   // holy gems are not the treasury's
  EXPECT_EQ(nbrcomgems(here), 5);
  EXPECT_EQ(poolgems(P, P_DEATH), 5);
  EXPECT_EQ(gems(P_DEATH), 5);
  for (int32_t c : {away, foreign, merc, dead}) EXPECT_EQ(com[c].gems[P_DEATH], 5) << c;
  EXPECT_EQ(com[here].gems[P_DEATH], 0);
  // A stock never passes 32767: the rest stays with the commander.
  com[here].gems[P_FIRE] = 200;
  gems(P_FIRE) = 32700;
  EXPECT_EQ(poolgems(P, P_FIRE), 67);
  EXPECT_EQ(gems(P_FIRE), 32767);
  EXPECT_EQ(com[here].gems[P_FIRE], 133);
  EXPECT_EQ(nbrcomgems(-1) + nbrcomgems(MAXCOMS), 0);
}

TEST_F(LabForge, AlchemyRatesAndLimits) {
  const int32_t c = mage(LAB);
  kingdom[P].gold = 0;
  gems(P_FIRE) = gems(P_EARTH) = 1;
  EXPECT_TRUE(alchemy(P, c, AL_TOGOLD, P_FIRE));
  EXPECT_TRUE(alchemy(P, c, AL_TOGOLD, P_EARTH));
  EXPECT_FALSE(alchemy(P, c, AL_TOGOLD, P_EARTH));   // none left
  EXPECT_EQ(kingdom[P].gold, 25);
  EXPECT_EQ(alchemygold(c, P_WATER), 0);
  // An item with an alchemy bonus of 50.
  setitem(8, "Stone", IT_MISC).abilityid[0] = AB_ALCHEMY;
  items[8].abilityval[0] = 50;
  com[c].item[4] = 8;
  EXPECT_EQ(alchemygold(c, P_FIRE), 22);
  EXPECT_EQ(alchemygold(c, P_EARTH), 15);
  // Pearls: two make one gem, two gems make one pearl; not with one.
  gems(P_ASTRAL) = 1;
  EXPECT_FALSE(alchemy(P, c, AL_FROMPEARLS, P_DEATH));
  gems(P_ASTRAL) = 3;
  EXPECT_TRUE(alchemy(P, c, AL_FROMPEARLS, P_DEATH));
  EXPECT_EQ(gems(P_ASTRAL), 1);
  EXPECT_EQ(gems(P_DEATH), 1);
  gems(P_NATURE) = 5;
  EXPECT_TRUE(alchemy(P, c, AL_TOPEARL, P_NATURE));
  EXPECT_EQ(gems(P_NATURE), 3);
  EXPECT_EQ(gems(P_ASTRAL), 2);
  // Pearls to pearls, blood slaves, kinds outside the table, a full stock.
  EXPECT_FALSE(alchemy(P, c, AL_TOPEARL, P_ASTRAL) || alchemy(P, c, AL_FROMPEARLS, P_BLOOD) ||
               alchemy(P, c, AL_TOPEARL, -1) || alchemy(P, c, 7 + AL_TOGOLD, P_FIRE) ||
               alchemy(-1, c, AL_TOPEARL, P_NATURE));
  gems(P_DEATH) = 32767;
  EXPECT_FALSE(alchemy(P, c, AL_FROMPEARLS, P_DEATH));
  EXPECT_EQ(gems(P_ASTRAL), 2);
}

TEST_F(LabForge, TreasuryItemsGoToCommandersWithRoomInAHeldLaboratory) {
  const int32_t c = mage(LAB), far = mage(1);
  kingdom[P].w[KW_LABSTORE + 7] = SWORD;
  EXPECT_FALSE(treasurytocommander(P, 1, 7, far));   // no laboratory there
  EXPECT_FALSE(treasurytocommander(P, LAB, 7, far));  // not in the province
  EXPECT_FALSE(treasurytocommander(P, LAB, LABSTORESIZE, c));
  ASSERT_TRUE(treasurytocommander(P, LAB, 7, c));
  EXPECT_EQ(kingdom[P].w[KW_LABSTORE + 7], 0);
  EXPECT_TRUE(std::find(std::begin(com[c].item), std::end(com[c].item), SWORD) != std::end(com[c].item));
  // No free hand left: the place stays filled.
  kingdom[P].w[KW_LABSTORE] = STAFF;
  for (int32_t s = 0; s < 8; s++)
    if (unitslotkind(com[c].body, s) == 1 && com[c].item[s] == 0) com[c].item[s] = SWORD;
  EXPECT_FALSE(treasurytocommander(P, LAB, 0, c));
  EXPECT_EQ(kingdom[P].w[KW_LABSTORE], STAFF);
  EXPECT_FALSE(labheld(P, FOREIGNLAB));
}

TEST_F(LabForge, TheForgeListsWhatTheMageMayMake) {
  const int32_t c = mage(LAB, 1);
  EXPECT_EQ(forgelist(c, 1), (std::vector<int32_t>{SWORD}));   // the relic has no level, the crown is research
  EXPECT_TRUE(forgelist(c, 2).empty());                        // the staff needs Fire 2
  com[c].path[P_FIRE] = 2;
  EXPECT_EQ(forgelist(c, 2), (std::vector<int32_t>{STAFF}));   // listed though the gems lack
  EXPECT_TRUE(forgelist(c, 6).empty());                        // no Water
  EXPECT_TRUE(forgelist(c, 0).empty() && forgelist(c, 8).empty() && forgelist(-1, 1).empty());
  for (int32_t k = 1; k <= FORGECATEGORIES; k++)
    for (int32_t i : forgelist(c, k)) EXPECT_NE(i, BOW);
  // A unique item in play is listed faded.
  researchrec[P][RR_LEVEL + SCH_CONSTRUCTION] = 8;
  iteminplay[CROWN] = 1;
  EXPECT_EQ(forgelist(c, 4), (std::vector<int32_t>{CROWN}));
  EXPECT_TRUE(forgefaded(CROWN));
  EXPECT_FALSE(forgefaded(SWORD));
  iteminplay[CROWN] = 0;
}

TEST_F(LabForge, ForgingPaysBothPathsAndTakingItBackRefundsThem) {
  const int32_t c = mage(LAB);
  gems(P_FIRE) = 30;
  gems(P_EARTH) = 4;
  com[c].order = Order::patrol;
  EXPECT_EQ(orderforge(c, STAFF), -3);   // 10 fire and 5 earth gems
  EXPECT_STREQ(forgerefusal(-3), "You do not have enough magic gems to forge that item.");
  EXPECT_EQ(com[c].order, Order::patrol);   // refused: the order stays
  gems(P_EARTH) = 5;
  ASSERT_EQ(orderforge(c, STAFF), 1);
  EXPECT_EQ(com[c].order, Order::forge);
  EXPECT_EQ(com[c].orderparam, STAFF);
  EXPECT_EQ(com[c].ordergems[0], 10);
  EXPECT_EQ(com[c].ordergems[1], 5);
  EXPECT_EQ(gems(P_FIRE), 20);
  EXPECT_EQ(gems(P_EARTH), 0);
  // A new forge order gives the first one's gems back before paying.
  ASSERT_EQ(orderforge(c, SWORD), 1);
  EXPECT_EQ(gems(P_FIRE), 25);
  EXPECT_EQ(gems(P_EARTH), 5);
  EXPECT_EQ(com[c].ordergems[1], 0);
  ASSERT_TRUE(cancelorder(c));
  EXPECT_EQ(gems(P_FIRE), 30);
  // What cannot be made is refused without a message.
  EXPECT_EQ(orderforge(c, RELIC), -1);
  EXPECT_EQ(canforge(c, RELIC), -1);   // nor does the host make it from an order file
  EXPECT_EQ(orderforge(c, BOOTS), -1);
  EXPECT_EQ(orderforge(c, MAXITEMS), -1);
  EXPECT_EQ(forgerefusal(-1), nullptr);
  researchrec[P][RR_LEVEL + SCH_CONSTRUCTION] = 8;
  iteminplay[CROWN] = 1;
  EXPECT_EQ(orderforge(c, CROWN), -2);
  iteminplay[CROWN] = 0;
}

TEST_F(LabForge, EmpowermentCostsAndRefundsOnTheMagesOwnLevel) {
  const int32_t c = mage(LAB);
  gems(P_DEATH) = 49;
  com[c].order = Order::patrol;
  EXPECT_EQ(ordertrain(c, P_DEATH), -1);   // level 1 costs 50
  EXPECT_EQ(com[c].order, Order::defend);      // the former order is withdrawn all the same
  gems(P_DEATH) = 100;
  EXPECT_EQ(ordertrain(c, P_DEATH), 50);
  EXPECT_EQ(com[c].order, Order::empower);
  EXPECT_EQ(com[c].orderparam, P_DEATH);
  EXPECT_EQ(gems(P_DEATH), 50);
  ASSERT_TRUE(cancelorder(c));
  EXPECT_EQ(gems(P_DEATH), 100);
  com[c].path[P_DEATH] = 3;
  EXPECT_EQ(ordertrain(c, P_DEATH), 60);
  // A forge order's gems come back first and count toward the cost.
  gems(P_FIRE) = 45;
  ASSERT_EQ(orderforge(c, SWORD), 1);
  EXPECT_EQ(gems(P_FIRE), 40);
  EXPECT_EQ(ordertrain(c, P_FIRE), 45);   // Fire 2 costs 45: reached with the sword's gems back
  EXPECT_EQ(gems(P_FIRE), 0);
  EXPECT_EQ(ordertrain(c, 8), 0);
  EXPECT_EQ(ordertrain(c, -1), 0);
}

TEST_F(LabForge, TheOrderMenuOffersForgingAlchemyAndEmpowermentInTheNationsLab) {
  const int32_t m = mage(LAB), captain = mkcom(2, P, LAB), away = mage(1);
  EXPECT_TRUE(has(menuids(m), 111) && has(menuids(m), 95) && has(menuids(m), 105));
  const std::vector<int32_t> cap = menuids(captain);
  EXPECT_FALSE(has(cap, 111) || has(cap, 95));
  EXPECT_TRUE(has(cap, 105));
  const std::vector<int32_t> far = menuids(away);
  EXPECT_FALSE(has(far, 111) || has(far, 95) || has(far, 105));
}
