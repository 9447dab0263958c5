// The rules of the main turn screen and its commands on small worlds:
// card scale and grid, the season text, the scout report's width, the
// selection by cards, all or none, the next idle commander, the right click
// on the map, the filter keys and which commanders an order key acts on,
// the paging and the province features of the right column.
#include <gtest/gtest.h>

#include <cstring>

#include "gfx/gui.h"
#include "runtime/settings.h"
#include "screens/mapfilters.h"
#include "screens/turnscreen.h"
#include "support/smallworld.h"
#include "world/movement.h"
#include "world/magic.h"
#include "world/provinfo.h"
#include "world/siteentry.h"

namespace {
constexpr int32_t ME = 3, OTHER = 4;

// Commanders of nation ME in land 2 (numbers 0..3), one of OTHER there,
// and one of ME in land 5; commander 2 has an item-like fixed order.
void world() {
  makesmallworld();
  settype(1, "Captain");
  settype(2, "Scout");
  settype(3, "Bound");
  addtypeability(3, AB_FIXEDORDER, 1);
  for (int32_t t : {1, 1, 3, 2}) mkcom(t, ME, 2);
  mkcom(1, OTHER, 2);
  mkcom(2, ME, 5);
  turnscreen = TurnScreen{};
  turnscreen.nation = ME;
  turnscreen.current = 2;
  selectedcoms.last = -1;
}

std::vector<int32_t> selection() {
  return std::vector<int32_t>(selectedcoms.nr.begin(), selectedcoms.nr.begin() + (selectedcoms.last + 1));
}
}  // namespace

TEST(CardGrid, AutomaticScaleAndTheRowsAndColumnsThatFit) {
  EXPECT_FLOAT_EQ(cardscale(-1, 5), 1.2f);
  EXPECT_FLOAT_EQ(cardscale(-1, 6), 1.0f);
  EXPECT_FLOAT_EQ(cardscale(1.6f, 2), 1.2f);   // out of range: automatic
  EXPECT_FLOAT_EQ(cardscale(0.8f, 2), 0.8f);
  int32_t r = 0, c = 0;
  cardlimits(1.2f, &r, &c);
  EXPECT_EQ(r * 10 + c, 53);
  cardlimits(1.0f, &r, &c);
  EXPECT_EQ(r * 10 + c, 64);
  cardlimits(1.4f, &r, &c);
  EXPECT_EQ(r * 10 + c, 43);
  cardlimits(0.6f, &r, &c);
  EXPECT_EQ(r * 10 + c, 106);
  world();
  EXPECT_EQ(provincecards(ME, 2), std::vector<int32_t>({0, 1, 2, 3}));
  EXPECT_TRUE(provincecards(ME, 1).empty());
}

TEST(SeasonHint, TheFirstYearThenCountedYears) {
  char t[200];
  seasonhint(t, sizeof t, 0);
  EXPECT_STREQ(t, "Early Spring in the first year of the oruvane wars");
  seasonhint(t, sizeof t, 11);
  EXPECT_STREQ(t, "Late Winter in the first year of the oruvane wars");
  seasonhint(t, sizeof t, 12);
  EXPECT_STREQ(t, "Early Spring in the year 2 of the oruvane wars");
}

TEST(ScoutReport, ShortReportsStayNarrowLongOnesWiden) {
  int32_t rows = 0;
  EXPECT_FLOAT_EQ(scoutwidth("An army of 12 light infantry.", &rows), 220);
  EXPECT_EQ(rows, 1);
  std::string longer;
  for (int i = 0; i < 60; i++) longer += "soldiers ";
  EXPECT_FLOAT_EQ(scoutwidth(longer.c_str(), &rows), 500);
  EXPECT_GE(rows, 5);
}

// The right column lists what the nation may know and open: the fort and
// temple only with the province's name known, the laboratory and the
// temple's key only where the nation holds the castle, a found site named in
// its hint only then too, and only the nation's own enchantments here.
TEST(ColumnFeatures, WhatTheNationKnowsAndHolds) {
  world();
  constexpr int32_t NAME = 0x1, SITES = 0x20;
  Land& ld = land[2];
  ld.fort = 1;
  ld.lab = 1;
  ld.temple = 1;
  ld.fortholder = OTHER;
  strcpy(sites[1].name, "The Smouldercone");
  ld.site[1] = 1;
  ld.sitefound[1] = 1;
  ld.site[2] = 1;   // not found
  for (int32_t e : {0, 1, 2}) ench[e].kind = 5, ench[e].spell = 0, ench[e].land = 2, ench[e].owner = int16_t(ME);
  ench[1].owner = OTHER;
  ench[2].land = 3;
  highestench = 2;
  auto ids = [](const std::vector<ColumnFeature>& f) {
    std::vector<int32_t> out;
    for (const ColumnFeature& x : f) out.push_back(x.id);
    return out;
  };
  EXPECT_EQ(ids(provincefeatures(ME, 2, 0)), std::vector<int32_t>({TS_ENCHANTMENT}));
  std::vector<ColumnFeature> f = provincefeatures(ME, 2, NAME | SITES);
  EXPECT_EQ(ids(f), std::vector<int32_t>({TS_FORT, 0, TS_SITE + 1, TS_ENCHANTMENT}));
  EXPECT_STREQ(f[2].hint, "Magic site");
  ld.fortholder = ME;
  f = provincefeatures(ME, 2, NAME | SITES);
  EXPECT_EQ(ids(f), std::vector<int32_t>({TS_FORT, TS_LAB, TS_TEMPLE, TS_SITE + 1, TS_ENCHANTMENT}));
  EXPECT_STREQ(f[3].hint, "View magic site: The Smouldercone");
  EXPECT_STREQ(f[4].text, "Enchantment");
  highestench = -1;
  for (int32_t e : {0, 1, 2}) ench[e] = Ench{};
}

TEST(CardClick, PlainCtrlShiftAndAltClicks) {
  world();
  // A plain click selects the commander with its army.
  com[0].armynr = com[1].armynr = 7;
  cardclick(1, {});
  EXPECT_EQ(selection(), std::vector<int32_t>({1, 0}));
  // A plain click on a selected one empties the selection.
  cardclick(0, {});
  EXPECT_TRUE(selection().empty());
  // Ctrl adds: alone a commander has no army; the next one joins the
  // selection's army, or a new one when it has none.
  ClickKeys ctrl;
  ctrl.ctrl = true;
  com[0].armynr = 5;
  com[1].armynr = 0;
  cardclick(0, ctrl);
  EXPECT_EQ(com[0].armynr, 0);
  cardclick(3, ctrl);
  EXPECT_EQ(selection(), std::vector<int32_t>({0, 3}));
  EXPECT_NE(com[3].armynr, 0);
  com[0].armynr = 9;
  cardclick(1, ctrl);
  EXPECT_EQ(com[1].armynr, 9);
  cardclick(1, ctrl);
  // Ctrl on a selected one removes only it, and it leaves the army.
  cardclick(0, ctrl);
  EXPECT_EQ(selection(), std::vector<int32_t>({3}));
  EXPECT_EQ(com[0].armynr, 0);
  // Shift selects the range from the last Ctrl-clicked card, skipping the
  // fixed one and the other nation's.
  ClickKeys shift;
  shift.shift = true;
  cardclick(0, shift);
  EXPECT_EQ(selection(), std::vector<int32_t>({3, 0, 1}));
  // Shift with nothing selected is a plain click.
  selectedcoms.last = -1;
  for (int32_t c = 0; c < 4; c++) com[c].armynr = 0;
  cardclick(1, shift);
  EXPECT_EQ(selection(), std::vector<int32_t>({1}));
  // Alt: every commander of the kind here, as one new army.
  ClickKeys alt;
  alt.alt = true;
  cardclick(0, alt);
  EXPECT_EQ(selection(), std::vector<int32_t>({0, 1}));
  EXPECT_NE(com[0].armynr, 0);
  EXPECT_EQ(com[0].armynr, com[1].armynr);
}

TEST(SelectAll, SelectsTheSelectableThenNone) {
  world();
  selectallorno();
  EXPECT_EQ(selection(), std::vector<int32_t>({0, 1, 3}));
  EXPECT_NE(com[0].armynr, 0);
  EXPECT_EQ(com[0].armynr, com[3].armynr);
  EXPECT_EQ(com[2].armynr, 0);
  selectallorno();
  EXPECT_TRUE(selection().empty());
  EXPECT_EQ(com[0].armynr, 0);
  selectallorno();
  EXPECT_EQ(selection().size(), 3u);
}

TEST(NextIdle, AfterTheSelectionRoundTheProvincesAndNoneLeavesAllAsItWas) {
  world();
  com[0].order = Order::move;
  com[0].orderparam = 3;
  com[3].order = Order::sneak;   // hiding counts as idle
  com[3].orderparam = 0;
  selectcom(1);
  EXPECT_EQ(nextidle(), 3);
  EXPECT_EQ(turnscreen.focus, 3);
  EXPECT_EQ(turnscreen.gotoprov, 2);
  selectedcoms.last = -1;
  selectcom(3);
  EXPECT_EQ(nextidle(), 5);   // on to land 5
  EXPECT_EQ(turnscreen.gotoprov, 5);
  turnscreen.current = 5;
  selectedcoms.last = -1;
  selectcom(5);
  EXPECT_EQ(nextidle(), 1);   // round to land 2 again
  for (int32_t c : {1, 3, 5}) com[c].order = Order::move, com[c].orderparam = 4;
  turnscreen.gotoprov = 0;
  turnscreen.focus = -1;
  EXPECT_EQ(nextidle(), -1);
  EXPECT_EQ(turnscreen.gotoprov, 0);
  EXPECT_EQ(turnscreen.focus, -1);
}

TEST(MapSelect, ARightClickChoosesTheProvinceAndForgetsTheSelection) {
  world();
  selectcom(0);
  com[0].arrowtime = 55;
  turnscreen.firstcard = 4;
  mapselect(5);
  EXPECT_EQ(turnscreen.current, 5);
  EXPECT_TRUE(selection().empty());
  EXPECT_EQ(com[0].arrowtime, 0u);
  EXPECT_EQ(turnscreen.firstcard, 0);
  selectcom(5);
  turnscreen.firstcard = 2;
  mapselect(-1);   // outside every province: the province stays
  EXPECT_EQ(turnscreen.current, 5);
  EXPECT_EQ(selection(), std::vector<int32_t>({5}));
  EXPECT_EQ(turnscreen.firstcard, 0);
}

TEST(FilterKeys, LayersSwitchAsPairs) {
  EXPECT_EQ(filterkeyword(0, 1), 0x104u);
  EXPECT_EQ(filterkeyword(0x4, 1), 0x100u);        // flags on: both toggle
  EXPECT_EQ(filterkeyword(0x104, 1), 0u);
  EXPECT_EQ(filterkeyword(0x10, 2), 0x18u);        // armies off: both set
  EXPECT_EQ(filterkeyword(0x18, 2), 0u);
  EXPECT_EQ(filterkeyword(0x40, 5), 0x200u);
  EXPECT_EQ(filterkeyword(0x20, 8), 0u);
  EXPECT_EQ(filterkeyword(0x0, 9), 0x400u);
  EXPECT_EQ(filterkeyword(0x7, 6), 0x7u);          // keys 6 and 7 do nothing
}

TEST(FilterKeys, WhileTabIsHeldNothingIsKept) {
  world();
  kingdom[ME].w[KW_MAPFILTER] = 0x4;
  turnscreen.tabheld = 1;
  turnaction(TS_FILTERKEY + 3);
  EXPECT_EQ(kingdom[ME].w[KW_MAPFILTER], 0x4);
  turnscreen.tabheld = 0;
  turnaction(TS_FILTERKEY + 3);
  EXPECT_EQ(savedlayers(uint16_t(kingdom[ME].w[KW_MAPFILTER])), 0x5u);
  // The last layer switched off is a choice of none, not the layers of a
  // nation that never chose: here flags and forts, as an older file keeps them.
  kingdom[ME].w[KW_MAPFILTER] = 0x104;
  turnaction(TS_FILTERKEY + 1);
  EXPECT_NE(kingdom[ME].w[KW_MAPFILTER], 0);
  EXPECT_EQ(savedlayers(uint16_t(kingdom[ME].w[KW_MAPFILTER])), 0u);
}

TEST(OrderKeys, TargetsAndRequests) {
  world();
  EXPECT_EQ(orderkeyrequest('R', true), int32_t(Order::research));
  EXPECT_EQ(orderkeyrequest('P', true), int32_t(Order::preach));
  EXPECT_EQ(orderkeyrequest('P', false), int32_t(Order::enemypreach));
  EXPECT_EQ(orderkeyrequest('Q', true), -1);
  EXPECT_EQ(orderkeyrequest('r', true), -1);   // lower case is a screen command
  // With no selection: the card under the pointer, if it is the nation's.
  EXPECT_EQ(ordertargets(TS_CARD + 1), std::vector<int32_t>({1}));
  EXPECT_EQ(ordertargets(TS_CARDORDER + 3), std::vector<int32_t>({3}));
  EXPECT_TRUE(ordertargets(TS_CARD + 4).empty());
  EXPECT_TRUE(ordertargets(TS_MAPCLICK).empty());
  // With a selection: every selected commander of the nation.
  selectcom(0);
  selectcom(3);
  EXPECT_EQ(ordertargets(TS_CARD + 1), std::vector<int32_t>({0, 3}));
}

TEST(TurnActions, EndTurnLeavesOthersStayAndPagingStaysInRange) {
  world();
  for (int32_t i = 0; i < 30; i++) mkcom(1, ME, 2);   // 34 cards: 6 x 4 at scale 1.0
  screenscale = 1.0f;
  EXPECT_EQ(turnaction(TS_ENDTURN), 1);
  EXPECT_EQ(turnscreen.endturn, 1);
  EXPECT_EQ(turnaction(TS_PAGEON), 0);
  EXPECT_EQ(turnscreen.firstcard, 4);
  for (int32_t i = 0; i < 5; i++) turnaction(TS_PAGEON);
  EXPECT_EQ(turnscreen.firstcard, 12);   // no further once the last card shows
  turnaction(TS_PAGEBACK);
  turnaction(TS_PAGEBACK);
  turnaction(TS_PAGEBACK);
  turnaction(TS_PAGEBACK);
  EXPECT_EQ(turnscreen.firstcard, 0);
  turnaction(TS_SMALLER);
  EXPECT_FLOAT_EQ(screenscale, 0.9f);
  for (int32_t i = 0; i < 9; i++) turnaction(TS_BIGGER);
  EXPECT_FLOAT_EQ(screenscale, 1.4f);
  screenscale = -1;
  // God name: the pretender becomes the focus commander.
  kingdom[ME].w[KW_GOD] = 3;
  turnaction(TS_GOD);
  EXPECT_EQ(turnscreen.focus, 3);
}

TEST(MapClick, MovesStayingPutAndHidingAbroad) {
  world();
  land[2].owner = land[2].fortholder = ME;
  provgeo[2].nbr[0] = 3;
  provgeo[3].nbr[0] = 2;
  kingdom[ME].gold = 0;
  com[0].order = Order::buildlab;   // paid for: withdrawn and refunded first
  selectcom(0);
  selectcom(1);
  mapclickorders(3, false);
  for (int32_t c : {0, 1}) {
    EXPECT_EQ(com[c].order, Order::move);
    EXPECT_EQ(com[c].orderparam, 3);
    EXPECT_GT(com[c].arrowtime, 1u);
  }
  EXPECT_EQ(kingdom[ME].gold, 500);
  // A province out of reach, or the province itself: they stay and defend.
  mapclickorders(7, false);
  EXPECT_EQ(com[0].order, Order::defend);
  EXPECT_EQ(com[0].orderparam, -1);
  com[1].order = Order::move;
  mapclickorders(2, false);
  EXPECT_EQ(com[1].order, Order::defend);
  // In a province the nation neither owns nor holds, staying is hiding.
  land[2].owner = land[2].fortholder = OTHER;
  mapclickorders(2, false);
  EXPECT_EQ(com[0].order, Order::sneak);
  EXPECT_EQ(com[0].orderparam, 0);
  EXPECT_EQ(kingdom[ME].gold, 500);
}

// A click on the province next door, for a stealthy and a plain commander, on
// the nation's own ground and abroad, with and without Ctrl.
TEST(MapClick, StealthAndCtrlChooseSneakMoveOrStay) {
  world();
  settype(2, "Scout").flags |= MF_STEALTHY;
  provgeo[2].nbr[0] = 3;
  provgeo[3].nbr[0] = 2;
  const int32_t scout = 3, captain = 0;
  ASSERT_TRUE(maysneak(scout));
  ASSERT_FALSE(maysneak(captain));
  struct Case {
    int32_t c;
    bool own, ctrl;
    Order order;
    int32_t param;
  } const cases[] = {
      {scout, false, false, Order::sneak, 3},   {scout, false, true, Order::move, 3},
      {captain, false, false, Order::defend, -1}, {captain, true, false, Order::move, 3},
      {captain, false, true, Order::defend, -1},  {scout, true, true, Order::move, 3},
  };
  for (const Case& x : cases) {
    land[2].owner = x.own ? ME : OTHER;
    land[2].fortholder = x.own ? ME : OTHER;
    selectedcoms.last = -1;
    selectcom(x.c);
    com[x.c].order = Order::defend;
    mapclickorders(3, x.ctrl);
    EXPECT_EQ(com[x.c].order, x.order) << "commander " << x.c << " own " << x.own << " ctrl " << x.ctrl;
    EXPECT_EQ(com[x.c].orderparam, x.param) << "commander " << x.c << " own " << x.own << " ctrl " << x.ctrl;
  }
}
