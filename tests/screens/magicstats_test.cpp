// The rules of the magic and statistics views on small worlds: the global
// enchantments in force, the score graphs' scale and lines, and the map
// filter menu's word.
#include <gtest/gtest.h>

#include "magic/rituals.h"
#include "mapview/overlay.h"
#include "screens/magicviews.h"
#include "screens/mapfilters.h"
#include "screens/statscreens.h"
#include "support/smallworld.h"

namespace {
constexpr int32_t P = 3;

void enchant(int32_t e, int16_t kind, int16_t spell, int16_t land) {
  ench[size_t(e)].kind = kind;
  ench[size_t(e)].spell = spell;
  ench[size_t(e)].land = land;
  highestench = std::max(highestench, e);
}
}  // namespace

TEST(MagicViews, OnlyWorldWideEnchantmentsInForceCount) {
  makesmallworld();
  EXPECT_EQ(nbrglobalench(), 0);
  enchant(0, 5, 12, -1);
  enchant(1, 5, 12, 4);    // on a province
  enchant(2, 0, 12, -1);   // a free slot
  enchant(3, 7, 0, -1);    // no spell to show
  enchant(6, 2, 30, -1);
  EXPECT_EQ(nbrglobalench(), 2);
  EXPECT_TRUE(globalench(6));
  EXPECT_FALSE(globalench(1));
  EXPECT_FALSE(globalench(MAXENCH));
}

namespace {
class Graphs : public ::testing::Test {
 protected:
  void SetUp() override {
    makesmallworld();
    memset(&endstats, 0, sizeof endstats);
    for (int32_t p : {0, 1, 2}) kingdom[p].w[KW_CONTROLLER] = CTRL_HUMAN;
    kingdom[2].w[KW_CONTROLLER] = int16_t(CTRL_WAS1);   // defeated, still drawn
    gameinfo.victory = 0;
    gameinfo.victoryvalue = 0;
  }
  static void record(int32_t turns) {
    endstats.highest = int16_t(turns - 1);
    for (int32_t t = 0; t < turns; t++)
      for (int32_t p : {0, 1, 2}) endstats.value[0][t][p] = int16_t(t * (p + 1));
  }
};
}  // namespace

TEST_F(Graphs, TheScaleTakesEveryParticipantTheGoalAndNeverFallsToZero) {
  record(10);
  EXPECT_EQ(graphscale(0), 27);   // the defeated nation's turn 9
  endstats.value[0][3][40] = 500;   // a nation that never took part
  EXPECT_EQ(graphscale(0), 27);
  EXPECT_EQ(graphscale(1), 1);    // all zeros
  EXPECT_EQ(graphtarget(0), -1);
  gameinfo.victory = 3;
  gameinfo.victoryvalue = 60;
  EXPECT_EQ(graphtarget(0), 60);
  EXPECT_EQ(graphscale(0), 60);
  EXPECT_EQ(graphtarget(4), -1);
  gameinfo.victory = 5;
  EXPECT_EQ(graphcount(), 8);
  land[2].vpword = 3;
  EXPECT_EQ(graphscale(7), 60);
  gameinfo.victory = 1;
  EXPECT_EQ(graphscale(7), 3);    // every victory point there is
  gameinfo.victory = 2;
  EXPECT_EQ(graphcount(), 7);
  EXPECT_EQ(graphtarget(5), 60);
  // Values are read as unsigned.
  endstats.value[1][2][1] = int16_t(-2);
  EXPECT_EQ(graphvalue(1, 2, 1), 65534);
}

TEST_F(Graphs, LinesStepThroughTheTurnsAcrossThePlot) {
  EXPECT_EQ(graphstep(68), 1);
  EXPECT_EQ(graphstep(69), 1);
  EXPECT_EQ(graphstep(139), 2);
  record(1);
  EXPECT_TRUE(graphline(0, 0).empty());
  record(5);
  const std::vector<GraphSegment> line = graphline(0, 1);   // values 0, 2, 4, 6, 8 of a scale of 12
  ASSERT_EQ(line.size(), 4u);
  EXPECT_FLOAT_EQ(line[0].x1, 0);
  EXPECT_FLOAT_EQ(line[3].x2, 800);
  EXPECT_FLOAT_EQ(line[3].y2, 8 * 500.0f / 12);
  EXPECT_FLOAT_EQ(line[1].y1, line[0].y2);
  record(141);
  const std::vector<GraphSegment> long_ = graphline(0, 0);
  EXPECT_EQ(long_.size(), 70u);
  EXPECT_FLOAT_EQ(long_.back().x2, 800);
}

TEST(MapFilters, TheStoredWordTellsAChoiceOfNoLayersFromNoChoice) {
  EXPECT_EQ(savedlayers(0), MAPF_START) << "never chosen";
  EXPECT_EQ(chosenlayers(0), FILTERCHOSEN);
  EXPECT_EQ(savedlayers(chosenlayers(0)), 0u) << "nothing chosen";
  EXPECT_EQ(savedlayers(chosenlayers(MAPF_VEYRANCE | MAPF_NAMES)), MAPF_VEYRANCE | MAPF_NAMES);
  // An older file's choice has no mark and reads as it stands.
  EXPECT_EQ(savedlayers(0x104), 0x104u);
  EXPECT_EQ(savedlayers(chosenlayers(0x104)), 0x104u);
}

TEST(MapFilters, TheWordIsBuiltAnewFromTheBoxes) {
  FilterBoxes b = filterboxes(0x7fd);
  for (int32_t on : b.on) EXPECT_EQ(on, 1);
  EXPECT_EQ(filterword(b, 0, true), 0x7fdu);
  // A box shows the first of its bits: 0x100 alone does not tick Flags and forts.
  EXPECT_EQ(filterboxes(0x100).on[0], 0);
  b = filterboxes(0xfff);
  for (int32_t& on : b.on) on = 0;
  EXPECT_EQ(filterword(b, 0xfff, true), 0u);
  // The names box hidden: bit 0x400 keeps its state.
  EXPECT_EQ(filterword(b, 0x400, false), 0x400u);
  EXPECT_EQ(filterword(filterboxes(0x400), 0, false), 0u);
  // One box at a time sets its bits.
  b = filterboxes(0);
  b.on[0] = 1;
  EXPECT_EQ(filterword(b, 0, true), 0x104u);
  b = filterboxes(0x040);
  EXPECT_EQ(filterword(b, 0, true), 0x240u);
}
