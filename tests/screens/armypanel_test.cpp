// Squads, battle orders and deployment places as the army panel sets them,
// on small worlds made here.
#include <gtest/gtest.h>

#include <string>

#include "screens/armypanel.h"
#include "screens/deployment.h"
#include "support/squadworld.h"

namespace {
using namespace squadworld;
class PanelSquads : public Squads {
 protected:
  void SetUp() override {
    Squads::SetUp();
    armypanelstate = ArmyPanelState{};
  }
};
}  // namespace

TEST_F(PanelSquads, ThePanelSelectsWithinOneGroupAndDrops) {
  const int32_t c = mkcom(2, ME, 1), d = mkcom(2, ME, 1);
  const std::vector<int32_t> men = units(1, 4), archers = units(4, 3);
  mkunit(1, OTHER, 1);          // not mine
  mkunit(1, ME, 2);             // elsewhere
  const int32_t stray = mkunit(1, ME, 1);
  setunitsquad(stray, 4242);     // a squad nobody leads: back in the garrison
  openarmypanel(ME, 1, -1);
  EXPECT_EQ(unit[stray].squad, -1);
  EXPECT_EQ(panelgarrison().size(), 8u);
  EXPECT_EQ(panelcommanders(), (std::vector<int32_t>{c, d}));

  // A double click takes every archer of the garrison.
  ASSERT_TRUE(clickunit(archers[1], UnitClick{true, false}));
  EXPECT_EQ(armypanelstate.sel.size(), 3u);
  EXPECT_EQ(armypanelstate.group, -1);
  EXPECT_EQ(cltu(c), 1);
  dropcommander(c);
  EXPECT_TRUE(armypanelstate.sel.empty());
  const int32_t s = unit[archers[0]].squad;
  EXPECT_NE(s, -1);
  for (int32_t u : archers) EXPECT_EQ(unit[u].squad, s);   // one new squad for them all
  EXPECT_EQ(squadmembers(s), archers);

  // While the squad is the current group, garrison units cannot be added.
  ASSERT_TRUE(clickunit(archers[0], {}));
  EXPECT_FALSE(clickunit(men[0], {}));
  ASSERT_TRUE(clickunit(archers[0], {}));   // clicked again: deselected, no group
  EXPECT_EQ(armypanelstate.group, -2);
  // A range of the garrison by Shift, into d's new squad, then a part of it back.
  ASSERT_TRUE(clickunit(men[0], {}));
  ASSERT_TRUE(clickunit(men[2], UnitClick{false, true}));
  EXPECT_EQ(armypanelstate.sel.size(), 3u);
  dropcommander(d);
  const int32_t t = unit[men[1]].squad;
  ASSERT_NE(t, -1);
  EXPECT_EQ(com[d].squad[0], t);
  ASSERT_TRUE(clickunit(men[1], {}));
  dropgarrison();
  EXPECT_EQ(unit[men[1]].squad, -1);
  // A squad chosen as drop target: the archers join d's squad; c's empty
  // squad is cleared.
  ASSERT_TRUE(clickunit(archers[0], UnitClick{true, false}));
  dropsquad(t);
  EXPECT_EQ(unit[archers[2]].squad, t);
  EXPECT_EQ(nbrsquads(c), 0);
  // The squad's place and orders become the defaults of the next new squad.
  com[d].sqx[0] = 4;
  com[d].sqorder[0] = 6;
  ASSERT_TRUE(clickunit(archers[0], {}));
  EXPECT_EQ(squaddefaults.x, 4);
  EXPECT_EQ(squaddefaults.order, 6);
  // The a key adds the rest of the group; another player's commander is refused.
  selectgroupkind(SEL_ALL);
  EXPECT_EQ(armypanelstate.sel.size(), 5u);
  const int32_t foreign = mkcom(2, OTHER, 1);
  dropcommander(foreign);
  EXPECT_EQ(unit[archers[0]].squad, t);
  // Figures of bad types from a file are left out of the panel.
  const int32_t bad = mkunit(1, ME, 1);
  unit[bad].type = 9999;
  EXPECT_FALSE(panelunit(bad));
  EXPECT_FALSE(clickunit(bad, {}));
}

TEST_F(PanelSquads, SquadOrdersTargetsAndTheCommandersScript) {
  const int32_t c = mkcom(2, ME, 1);
  ASSERT_FALSE(joinsquad(mkunit(1, ME, 1), c, -1, 0));
  EXPECT_TRUE(setsquadorder(c, 0, 1));
  EXPECT_TRUE(setsquadtarget(c, 0, 9));    // rearmost after attack
  EXPECT_TRUE(setsquadorder(c, 0, 2));
  EXPECT_FALSE(setsquadtarget(c, 0, 9));   // not after fire
  EXPECT_FALSE(setsquadorder(c, 0, 3));    // not a squad order
  EXPECT_FALSE(setsquadorder(c, 1, 1));    // an empty slot
  EXPECT_TRUE(ordertakestarget(9, false));
  EXPECT_FALSE(ordertakestarget(6, true));

  auto ids = [](int32_t cnr, bool shape) {
    std::string s;
    for (const ScriptEntry& e : scriptentries(cnr, shape)) s += std::to_string(e.id) + " ";
    return s;
  };
  // A captain without bow, spells or other shape: hold, attack, the plain orders.
  EXPECT_EQ(ids(c, false), "53 55 20 11 17 10 ");
  EXPECT_FALSE(setcomorder(c, 2, false));
  const int32_t were = mkcom(5, ME, 1);
  clearscript(were);
  EXPECT_EQ(ids(were, false), "53 52 55 20 11 17 10 ");
  // Change shape makes the fire entries available.
  EXPECT_EQ(ids(were, true), "53 54 52 55 20 11 12 19 17 10 ");
  for (int16_t step : {int16_t(-2), int16_t(-4), int16_t(-3), int16_t(-3), int16_t(-5)}) EXPECT_TRUE(addscriptstep(were, step));
  EXPECT_FALSE(addscriptstep(were, -3));
  EXPECT_EQ(ids(were, true), "20 11 12 19 17 10 ");   // after five steps only orders
  EXPECT_TRUE(setcomorder(were, 9, true));
  EXPECT_TRUE(setcomtarget(were, 2));
  char text[ORDERTEXTSIZE];
  comordertext(were, text);
  EXPECT_STREQ(text, "(change shape)(fire)(hold)(hold)(attack) Fire archers and flee ");
  // The editor shows the order that the order file keeps, says that it keeps
  // no script, and shows the script apart.
  std::vector<std::string> lines = battleorderlines(were);
  ASSERT_EQ(lines.size(), 4u);
  EXPECT_EQ(lines[0], "Fire archers and flee ");
  EXPECT_NE(lines[1].find("not kept in the order file"), std::string::npos);
  EXPECT_EQ(lines[3], "Script this turn: (change shape)(fire)(hold)(hold)(attack)");
  lines = battleorderlines(c);
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_EQ(lines[0], "No battle orders set");
}

TEST_F(PanelSquads, TheDigitKeysRememberOrdersOfTheirKind) {
  const int32_t c = mkcom(2, ME, 1), d = mkcom(2, ME, 1);
  ASSERT_FALSE(joinsquad(mkunit(1, ME, 1), c, -1, 0));
  ASSERT_FALSE(joinsquad(mkunit(1, ME, 1), d, -1, 0));
  com[c].sqorder[0] = 6;
  com[c].sqtarget[0] = 9;
  com[c].batorder = 1;
  com[c].battarget = 5;
  com[c].roundspell[0] = -3;
  EXPECT_TRUE(storebattlememory(ME, 1, c, 0));
  EXPECT_TRUE(storebattlememory(ME, 2, c, -1));
  EXPECT_TRUE(applybattlememory(ME, 1, d, 0));
  EXPECT_EQ(com[d].sqorder[0], 6);
  EXPECT_EQ(com[d].sqtarget[0], 9);
  EXPECT_FALSE(applybattlememory(ME, 2, d, 0));    // commander orders over a squad: nothing
  EXPECT_EQ(com[d].sqorder[0], 6);
  EXPECT_FALSE(applybattlememory(ME, 1, d, -1));
  EXPECT_TRUE(applybattlememory(ME, 2, d, -1));
  EXPECT_EQ(com[d].batorder, 1);
  EXPECT_EQ(com[d].roundspell[0], -3);
  EXPECT_EQ(com[d].roundspell[1], -1);
  // A slot whose words a file spoiled applies nothing.
  kingdom[ME].w[KW_BATTLEMEMORY + 8 * 1 + 1] = 77;
  EXPECT_FALSE(applybattlememory(ME, 1, c, 0));
  EXPECT_FALSE(applybattlememory(ME, 10, c, 0));
  EXPECT_FALSE(storebattlememory(ME, 3, c, 3));    // an empty slot
}

TEST_F(PanelSquads, PlacesStayOnTheFieldBySquadSize) {
  const int32_t c = mkcom(2, ME, 1);
  // Sizes 0..5 (the empty slot too) keep -8..9; 144 keeps -7..8; 600 keeps -4..5.
  struct Case {
    int32_t ogres;
    int32_t lo, hi;
  } cases[] = {{0, -8, 9}, {24, -7, 8}, {100, -4, 5}};
  for (const Case& k : cases) {
    for (int32_t& s : com[c].squad) s = -1;
    for (int32_t i = 0; i < k.ogres; i++) {
      const int32_t u = mkunit(6, ME, 1);
      setunitsquad(u, 777 + k.ogres);
      com[c].squad[2] = 777 + k.ogres;
    }
    com[c].sqx[2] = -20;
    com[c].sqy[2] = 20;
    enfpos(c, 2);
    EXPECT_EQ(com[c].sqx[2], k.lo) << k.ogres;
    EXPECT_EQ(com[c].sqy[2], k.hi) << k.ogres;
  }
  EXPECT_EQ(squadside(5), 2);
  EXPECT_EQ(squadside(144), 5);
  EXPECT_EQ(squadside(600), 11);
  com[c].ownx = 10;
  com[c].owny = -9;
  enfpos(c, -1);
  EXPECT_EQ(com[c].ownx, 9);
  EXPECT_EQ(com[c].owny, -8);
  // Clicks on a field of 250 x 200: the upper half is negative y, the right
  // half positive x, the left edge -10 before the range applies.
  int32_t x = 0, y = 0;
  fieldclickplace(200, 150, 250, 200, &x, &y);
  EXPECT_EQ(x, 6);
  EXPECT_EQ(y, -5);
  fieldclickplace(0, 20, 250, 200, &x, &y);
  EXPECT_EQ(x, -10);
  EXPECT_EQ(y, 8);
}

TEST_F(PanelSquads, OrderTextsSayWhatWasSet) {
  const int32_t c = mkcom(2, ME, 1);
  strncpy(spells[5].name, "Thunderstrike Long", sizeof spells[5].name - 1);
  char text[ORDERTEXTSIZE];
  comordertext(c, text);
  EXPECT_STREQ(text, "<set battle orders>");
  const int16_t steps[5] = {5, 0, -3, -1, -5};
  std::copy(steps, steps + 5, com[c].roundspell);
  com[c].batorder = 9;
  com[c].battarget = 2;
  comordertext(c, text);
  EXPECT_STREQ(text, "(Thunderstrik)(cast)(hold) Fire archers and flee ");
  com[c].sqorder[1] = 1;
  com[c].sqtarget[1] = 8;
  squadordertext(c, 1, text);
  EXPECT_STREQ(text, "Attack monsters ");
  com[c].sqorder[1] = 200;
  squadordertext(c, 1, text);
  EXPECT_STREQ(text, "<set battle orders>");
}
