#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "actions/orderstore.h"
#include "rule_ids.h"
#include "screens/orders.h"
#include "support/dialogscript.h"
#include "support/smallworld.h"
#include "world/forts.h"
#include "world/provinfo.h"
#include "world/siteentry.h"

namespace {
// Nation 3 holds lands 1..4 (2 with a fort, a lab and a temple), 6 holds 5.
// Types: 1 mage, 2 priest, 3 tower (immobile), 4 demon priest.
class OrderStore : public ::testing::Test {
 protected:
  void SetUp() override {
    makesmallworld();
    settype(1, "Mage");
    settype(2, "Priest");
    settype(3, "Tower").flags = MF_IMMOBILE;
    settype(4, "Fiend").flags = MF_DEMON;
    for (int32_t l = 1; l <= 9; l++) {
      provgeo[l].nbr[0] = int16_t(l + 1);
      provgeo[l + 1].nbr[1] = int16_t(l);
    }
    for (int32_t l : {1, 2, 3, 4}) land[l].owner = land[l].fortholder = 3;
    land[5].owner = land[5].fortholder = 6;
    land[2].fort = 1;
    land[2].lab = land[2].temple = 1;
    strcpy(forts[1].name, "Palisade");
    forts[1].val[FORT_COSTFACTOR] = 1;
    forts[1].val[FORT_BUILDTIME] = 3;
    kingdom[3].gold = 1000;
    kingdom[3].w[KW_PROPHET] = -1;
    kingdom[3].w[KW_GOD] = -1;
    clearselections();
  }
  static int32_t mage(int32_t lnr, int32_t type = 1) {
    const int32_t c = mkcom(type, 3, lnr);
    com[c].path[P_FIRE] = 1;
    snprintf(com[c].name, sizeof com[c].name, "Com%d", c);
    return c;
  }
  static int32_t priest(int32_t lnr, int32_t level = 1, int32_t type = 2) {
    const int32_t c = mkcom(type, 3, lnr);
    com[c].path[P_PRIEST] = uint8_t(level);
    snprintf(com[c].name, sizeof com[c].name, "Com%d", c);
    return c;
  }
  static std::vector<std::string> menu(int32_t c) {
    OrderEntry e[ORDERMENUSIZE];
    const int32_t n = ordermenuentries(c, e, ORDERMENUSIZE);
    std::vector<std::string> v;
    for (int32_t i = 0; i < n; i++) v.push_back(e[i].label);
    return v;
  }
  static bool has(const std::vector<std::string>& v, const char* label) {
    return std::find(v.begin(), v.end(), label) != v.end();
  }
};

TEST_F(OrderStore, BuildingsArePaidWhenOrderedAndRefundedWhenWithdrawn) {
  const int32_t c = mage(3);
  kingdom[3].gold = 100;
  EXPECT_EQ(giveorder(c, Order::buildlab, 0, 0).why, "Not enough gold. You have 100 pounds of gold in the treasury.");
  EXPECT_EQ(kingdom[3].gold, 100);
  kingdom[3].gold = 1000;
  ASSERT_FALSE(giveorder(c, Order::buildlab, 0, 0));
  EXPECT_EQ(kingdom[3].gold, 500);
  EXPECT_EQ(giveorder(c, Order::buildtemple, 0, 0).why, "Only priests can build a temple.");
  EXPECT_EQ(com[c].order, Order::defend);
  EXPECT_EQ(kingdom[3].gold, 1000);
  // A new fort costs its price; continuing one under way costs nothing.
  ASSERT_FALSE(giveorder(c, Order::buildfort, 0, 0));
  EXPECT_EQ(com[c].orderparam, 1);
  EXPECT_EQ(kingdom[3].gold, 1000 - fortcost(3, 1));
  cancelorder(c);
  land[3].fort = -2;
  land[3].counter = 1;
  ASSERT_FALSE(giveorder(c, Order::buildfort, 0, 0));
  EXPECT_EQ(kingdom[3].gold, 1000);
  EXPECT_FALSE(giveorder(c, Order::buildlab, 0, 0));
  EXPECT_EQ(giveorder(mage(2), Order::buildlab, 0, 0).why, "A laboratory stands here already.");
  EXPECT_EQ(giveorder(mage(5), Order::buildlab, 0, 0).why,
            "Buildings go up only where the nation holds the province and its castle.");
}

TEST_F(OrderStore, ARefusedRequestSaysWhyAndLeavesDefendWithTheFormerCostsRefunded) {
  const int32_t p = priest(2);
  EXPECT_EQ(giveorder(p, Order::buildtemple, 0, 0).why, "A temple stands here already.");
  land[2].temple = 0;
  ASSERT_FALSE(giveorder(p, Order::buildtemple, 0, 0));
  EXPECT_EQ(kingdom[3].gold, 600);
  {
    DialogScript answers("");
    changeoneorder(p, int32_t(Order::sacrifice));
    EXPECT_NE(answers.printed().find("Only priests of a few choice nations can perform blood sacrifices."),
              std::string::npos);
  }
  // The temple is not built: its gold is back, and the card and the menu
  // show the commander defending.
  EXPECT_EQ(com[p].order, Order::defend);
  EXPECT_EQ(kingdom[3].gold, 1000);
  char text[ORDERTEXTLEN];
  EXPECT_STREQ(hostordertext(p, text), "Defend");
  EXPECT_EQ(menu(p).front(), "Defend Castle");
  // A sneaking army refused another order leaves its hiding: the menu no
  // longer offers to move without sneaking.
  const int32_t s = mage(5);
  com[s].order = Order::sneak;
  com[s].orderparam = 4;
  ASSERT_TRUE(has(menu(s), "Move without sneaking"));
  {
    DialogScript answers("");
    changeoneorder(s, int32_t(Order::uprising));
    EXPECT_NE(answers.printed().find(std::string(com[s].name) + " cannot stir up an uprising."), std::string::npos);
  }
  EXPECT_EQ(com[s].order, Order::defend);
  EXPECT_FALSE(has(menu(s), "Move without sneaking"));
  // Keys given to commanders that cannot take the order: each says why, in
  // one message, and is left on Defend.
  const int32_t m = mage(3);   // where no laboratory stands
  ASSERT_FALSE(giveorder(m, Order::patrol, 0, 0));
  ASSERT_FALSE(giveorder(p, Order::preach, 0, 0));
  {
    DialogScript answers("");
    {
      OrderBatch batch;
      for (int32_t c : {p, m}) changeoneorder(c, int32_t(Order::heal));
      changeoneorder(m, int32_t(Order::ghouls));
      EXPECT_EQ(answers.printed(), "") << "nothing until the batch ends";
    }
    const std::string told = answers.printed();
    for (const std::string& w : {std::string(com[p].name) + " cannot heal troops.",
                                 std::string(com[m].name) + " cannot heal troops.",
                                 std::string(com[m].name) + " is no priest and cannot raise the dead."})
      EXPECT_NE(told.find(w), std::string::npos) << w;
  }
  EXPECT_EQ(com[m].order, Order::defend);
  EXPECT_EQ(com[p].order, Order::defend);
  // A ritual withdraws nothing until a spell is chosen: refused, the
  // former order stands.
  ASSERT_FALSE(giveorder(m, Order::patrol, 0, 0));
  {
    DialogScript answers("");
    changeoneorder(m, int32_t(Order::ritual));
    EXPECT_NE(answers.printed().find("Rituals are cast in a laboratory"), std::string::npos);
  }
  EXPECT_EQ(com[m].order, Order::patrol);
}

TEST_F(OrderStore, OneSacrificeATempleForThePriestThatHoldsItFirst) {
  const int32_t p = priest(2);
  nations[3].attrkey[0] = NA_BLOODSACRIFICE;
  nations[3].attrval[0] = 1;
  land[2].temple = 0;
  EXPECT_EQ(giveorder(p, Order::sacrifice, 0, 0).why, "A temple is required for blood sacrifices.");
  land[2].temple = 1;
  EXPECT_EQ(giveorder(p, Order::sacrifice, 0, 0).why,
            "In order to perform a sacrifice " + std::string(com[p].name) + " must be given some blood slaves.");
  com[p].gems[P_BLOOD] = 3;
  EXPECT_FALSE(giveorder(p, Order::sacrifice, 0, 0));
  const int32_t q = priest(2);
  com[q].gems[P_BLOOD] = 3;
  EXPECT_EQ(giveorder(q, Order::sacrifice, 0, 0).why, "Only one priest at once may perform a sacrifice in this temple.");
  // Two that hold it (as a computer player may leave them): the first by
  // number keeps it, as the host carries it out.
  com[q].order = Order::sacrifice;
  EXPECT_FALSE(orderallowed(p, Order::sacrifice, 0));
  EXPECT_TRUE(orderallowed(q, Order::sacrifice, 0));
  // The slaves go into the laboratory, and the sacrifice is not withdrawn.
  changeoneorder(p, int32_t(MenuChoice::bloodslaves));
  EXPECT_EQ(com[p].gems[P_BLOOD], 0);
  EXPECT_EQ(kingdom[3].w[KW_GEMS + P_BLOOD], 3);
  EXPECT_EQ(com[p].order, Order::sacrifice);
}

TEST_F(OrderStore, MovesNeedADestinationTheArmyCanReach) {
  const int32_t c = mage(2);
  EXPECT_FALSE(giveorder(c, Order::move, 4, 0));   // through our own land
  EXPECT_EQ(com[c].orderparam, 4);
  EXPECT_TRUE(giveorder(c, Order::move, 6, 0));   // beyond an enemy province
  EXPECT_TRUE(giveorder(c, Order::move, 2, 0));   // where it stands
  EXPECT_TRUE(giveorder(mage(2, 3), Order::move, 3, 0));   // a tower stays
  // From the menu, Move and Patrol keeps the destination of the move.
  ASSERT_FALSE(giveorder(c, Order::move, 4, 0));
  land[4].fort = 1;
  EXPECT_TRUE(has(menu(c), "Move and Patrol"));
  changeoneorder(c, int32_t(Order::movepatrol));
  EXPECT_EQ(com[c].order, Order::movepatrol);
  EXPECT_EQ(com[c].orderparam, 4);
  changeoneorder(c, int32_t(Order::patrol));
  EXPECT_EQ(com[c].order, Order::patrol);
  EXPECT_EQ(com[c].orderparam, 0);
}

TEST_F(OrderStore, ReanimationOffersWhatThePriestsLevelAllows) {
  const int32_t c = priest(3, 2, 4);   // a demon priest of level 2
  DialogScript answers("123\n");
  changeoneorder(c, int32_t(Order::ghouls));
  const std::string shown = answers.printed();
  EXPECT_NE(shown.find("Reanimate (" + std::string(com[c].name) + ")"), std::string::npos);
  for (const char* line : {"reanimate ghouls", "reanimate soulless", "reanimate longdead warriors"})
    EXPECT_NE(shown.find(line), std::string::npos) << line;
  for (const char* line : {"horsemen", "chariot", "wyrm", "lictors"}) EXPECT_EQ(shown.find(line), std::string::npos) << line;
  EXPECT_EQ(com[c].order, Order::longdead);
}

TEST_F(OrderStore, AMenuChoiceReachesTheSelectedCommandersOfTheSameOwner) {
  const int32_t a = mage(2), b = mage(3), lone = mage(2);
  const int32_t foreign = mkcom(1, 6, 5);
  for (int32_t c : {a, b, foreign}) selectcom(c);
  applyorderchoice(a, ordermenuid(Order::patrol));
  EXPECT_EQ(com[a].order, Order::patrol);
  EXPECT_EQ(com[b].order, Order::patrol);
  EXPECT_EQ(com[foreign].order, Order::defend);
  EXPECT_EQ(com[lone].order, Order::defend);
  applyorderchoice(lone, ordermenuid(Order::search));   // not selected: itself alone
  EXPECT_EQ(com[lone].order, Order::search);
  EXPECT_EQ(com[a].order, Order::patrol);
  applyorderchoice(a, ORDERMENU_CANCEL);
  EXPECT_EQ(com[a].order, Order::patrol);
}

TEST_F(OrderStore, TheMenuOffersWhatTheCommanderMayDoWhereItStands) {
  const int32_t m = mage(2);
  std::vector<std::string> v = menu(m);
  EXPECT_EQ(v.front(), "Defend Castle");
  EXPECT_EQ(v.back(), "Cancel");
  for (const char* l : {"Move", "Patrol Province", "Search for Magic Sites", "Blood Hunt", "Construct Building",
                        "Pillage", "Research", "Become Prophet"})
    EXPECT_TRUE(has(v, l)) << l;
  EXPECT_FALSE(has(v, "Preach the Teachings of God"));
  EXPECT_EQ(menu(mage(3)).front(), "Defend Province");
  EXPECT_FALSE(has(menu(mage(2, 3)), "Move"));   // an immobile tower
  // A siege, then with the gates broken.
  land[2].fortholder = 6;
  land[2].fortdef = 50;
  v = menu(m);
  EXPECT_EQ(v.front(), "Maintain Siege");
  EXPECT_FALSE(has(v, "Storm Castle"));
  land[2].fortdef = 0;
  EXPECT_TRUE(has(menu(m), "Storm Castle"));
  // Besieged in our castle.
  land[2].fortholder = 3;
  land[2].owner = 6;
  v = menu(m);
  for (const char* l : {"Defend Castle", "Break Siege", "Demolish Lab", "Research"}) EXPECT_TRUE(has(v, l)) << l;
  EXPECT_FALSE(has(v, "Pillage"));
  // In an enemy province a priest attacks or preaches against the enemy god.
  const int32_t p = priest(5);
  v = menu(p);
  EXPECT_TRUE(has(v, "Attack Current Province"));
  OrderEntry e[ORDERMENUSIZE];
  const int32_t n = ordermenuentries(p, e, ORDERMENUSIZE);
  EXPECT_TRUE(std::any_of(e, e + n, [](const OrderEntry& x) { return x.id == ordermenuid(Order::enemypreach); }));
  changeoneorder(p, int32_t(Order::attack));
  EXPECT_EQ(com[p].order, Order::attack);
  EXPECT_EQ(com[p].orderparam, 5);
}

TEST_F(OrderStore, SitesTellWhoMayEnter) {
  strcpy(sites[9].name, "Burning Pit");
  sites[9].path = P_FIRE;
  sites[9].effectkind[0] = 18;
  land[3].site[0] = 9;
  land[3].sitefound[0] = 1;
  const int32_t p = priest(3);
  {
    DialogScript answers("");
    changeoneorder(p, int32_t(MenuChoice::entersite));
    EXPECT_NE(answers.printed().find("Only Fire mages can enter this site"), std::string::npos);
  }
  EXPECT_FALSE(has(menu(p), "Enter Site: Burning Pit"));
  const int32_t m = mage(3);
  EXPECT_TRUE(has(menu(m), "Enter Site: Burning Pit"));
  changeoneorder(m, int32_t(MenuChoice::entersite));
  EXPECT_EQ(com[m].order, Order::entersite);
  EXPECT_EQ(com[m].orderparam, 0);
  DialogScript answers("");
  changeoneorder(mage(3), -20);
  EXPECT_NE(answers.printed().find("Only one commander can enter a site at once"), std::string::npos);
}
TEST_F(OrderStore, ItemRitualsAreCastThroughTheStoreSevenAtMostOffered) {
  for (Spell& s : spells) s = Spell{};
  spells[60].researchlevel = 255;
  const int32_t c = mage(3);
  for (int32_t k = 0; k < 8; k++) {
    Spell& s = spells[size_t(40 + k)];
    snprintf(s.name, sizeof s.name, "Rite %d", k);
    s.effect = 10001;
    s.path[0] = P_FIRE;
    s.path[1] = -1;
    s.pathlevel[0] = 5;   // beyond the mage: the item grants it
    s.range = 1;
    s.researchlevel = 1;
    setitem(10 + k, "Charm", IT_MISC);
    strcpy(items[size_t(10 + k)].spell, s.name);
    com[c].item[k] = int16_t(10 + k);
  }
  const std::vector<std::string> v = menu(c);
  EXPECT_EQ(std::count_if(v.begin(), v.end(), [](const std::string& l) { return l.rfind("Cast Item Spell: ", 0) == 0; }),
            7);
  EXPECT_TRUE(has(v, "Cast Item Spell: Rite 6"));
  changeoneorder(c, int32_t(MenuChoice::itemritual) + 2);
  EXPECT_EQ(com[c].order, Order::ritual);
  EXPECT_EQ(com[c].orderparam, 42);
}

}  // namespace
