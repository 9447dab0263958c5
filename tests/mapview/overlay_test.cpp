// The map overlay for a viewing player: what each player may see of a
// province, sieges, the income box and veyrance, markers, terrain icons and
// copies on a wrapping map, read back as marks without a window.
#include <algorithm>
#include <cmath>
#include <vector>

#include "gfx/gui.h"
#include "mapview/mapsupport.h"
#include "mapview/overlay.h"
#include "runtime/settings.h"
#include "runtime/trs.h"
#include "world/economy.h"
#include "world/magic.h"
#include "world/provinfo.h"
#include "world/scores.h"

namespace {

constexpr uint32_t EVERYTHING = 0xFFF;

int32_t count(const MapMarks& m, MarkKind kind, int32_t file, int32_t nr) {
  return int32_t(std::count_if(m.begin(), m.end(), [&](const MapMark& k) {
    return k.kind == kind && (file < 0 || k.file == file) && (nr < 0 || k.nr == nr);
  }));
}
int32_t icons(const MapMarks& m, int32_t nr) {
  return int32_t(std::count_if(m.begin(), m.end(), [&](const MapMark& k) {
    return k.kind != MarkKind::blink && k.file == TRS_MISC && k.nr == nr;
  }));
}
const MapMark* first(const MapMarks& m, MarkKind kind, int32_t file, int32_t nr) {
  for (const MapMark& k : m)
    if (k.kind == kind && k.file == file && k.nr == nr) return &k;
  return nullptr;
}

class Overlay : public MapWorld {
 protected:
  MapMarks marks;
  void SetUp() override {
    MapWorld::SetUp();
    mapfilter = EVERYTHING;
    fastgrx = 0;
    for (int32_t l = 1; l <= nbrlands; l++) placeland(l, 100 * l, 400);   // land 5 at the screen centre
  }
  void draw(int32_t player, int32_t lnr, int32_t selected = 0, uint32_t now = 100000) {
    marks.clear();
    overlaymarks(marks, player, lnr, 2, selected, now);
  }
};

// Three nations: 1 holds land 5, 2 holds its neighbour 6, 3 holds land 9 far
// off. Each sees its own lands whole, the neighbour's name and flag, and
// nothing of the land far away but what no knowledge is needed for.
TEST_F(Overlay, EachPlayerSeesOnlyWhatItKnows) {
  for (int32_t l : {5, 6, 9}) {
    land[size_t(l)].fort = 1;
    land[size_t(l)].temple = 1;
    land[size_t(l)].extraincome = 1000;
    land[size_t(l)].vpword = 2;
  }
  land[5].owner = land[5].fortholder = 1;
  land[6].owner = land[6].fortholder = 2;
  land[9].owner = land[9].fortholder = 3;
  land[5].veyowner = 1;
  land[5].veystr = 3;
  provgeo[5].nbr[0] = 6;
  provgeo[6].nbr[0] = 5;
  cacheinfolevels(1, 1);
  mapzoom = 0.5f;   // lands 4 to 6 and 9 on screen

  draw(1, 5);
  EXPECT_EQ(count(marks, MarkKind::name, -1, 5), 1);
  EXPECT_EQ(count(marks, MarkKind::blink, TRS_FLAGS, 2), 1);   // nation 1's flag
  EXPECT_EQ(icons(marks, ICON_FORT), 1);
  EXPECT_EQ(icons(marks, ICON_TEMPLE), 1);
  EXPECT_EQ(icons(marks, ICON_GOLD), 10);
  EXPECT_EQ(icons(marks, ICON_OWNVEYRANCE), 3);   // in the income box
  EXPECT_EQ(count(marks, MarkKind::box, -1, -1), 1);
  EXPECT_EQ(icons(marks, ICON_VICTORYPOINT), 2);

  draw(1, 6);
  EXPECT_EQ(count(marks, MarkKind::name, -1, 6), 1);
  EXPECT_EQ(count(marks, MarkKind::blink, TRS_FLAGS, 3), 1);
  EXPECT_EQ(icons(marks, ICON_FORT), 1);
  EXPECT_EQ(icons(marks, ICON_GOLD), 0);   // its economy is not known
  EXPECT_EQ(count(marks, MarkKind::box, -1, -1), 0);

  draw(1, 9);
  EXPECT_EQ(count(marks, MarkKind::name, -1, -1), 0);
  EXPECT_EQ(count(marks, MarkKind::blink, -1, -1), 0);
  EXPECT_EQ(icons(marks, ICON_FORT) + icons(marks, ICON_TEMPLE) + icons(marks, ICON_GOLD), 0);
  EXPECT_EQ(icons(marks, ICON_VICTORYPOINT), 2);   // victory points are public

  // The other way round for nation 3.
  cacheinfolevels(3, 1);
  draw(3, 9);
  EXPECT_EQ(count(marks, MarkKind::blink, TRS_FLAGS, 4), 1);
  EXPECT_EQ(icons(marks, ICON_GOLD), 10);
  draw(3, 5);
  EXPECT_EQ(count(marks, MarkKind::name, -1, -1) + count(marks, MarkKind::blink, -1, -1), 0);
  EXPECT_EQ(icons(marks, ICON_OWNVEYRANCE) + icons(marks, ICON_FOREIGNVEYRANCE), 0);

  // The filter word turns layers off whatever the knowledge.
  cacheinfolevels(1, 1);
  mapfilter = EVERYTHING & ~(MAPF_NAMES | MAPF_FLAGS | MAPF_FORTS | MAPF_MARKERS);
  draw(1, 5);
  EXPECT_EQ(count(marks, MarkKind::name, -1, -1) + count(marks, MarkKind::blink, -1, -1), 0);
  EXPECT_EQ(icons(marks, ICON_FORT) + icons(marks, ICON_VICTORYPOINT), 0);
  EXPECT_EQ(icons(marks, ICON_TEMPLE), 1);
}

TEST_F(Overlay, SiegeFlagsAndTheSelectedProvinceBlinks) {
  land[5].infolevel = INFO_NAME;
  land[5].owner = 7;
  land[5].fortholder = 4;
  land[5].fort = 2;
  draw(1, 5, 1);
  const float u = mapmarkerunit();
  const MapMark* holder = first(marks, MarkKind::blink, TRS_FLAGS, 5);
  const MapMark* owner = first(marks, MarkKind::blink, TRS_FLAGS, 8);
  ASSERT_TRUE(holder && owner);
  EXPECT_FLOAT_EQ(holder->x, 400 - 0.5f * u);
  EXPECT_FLOAT_EQ(holder->y, 300 + 0.05f * u);
  EXPECT_FLOAT_EQ(owner->x, 400 - 0.75f * u);
  EXPECT_FLOAT_EQ(owner->y, 300 - 0.1f * u);
  EXPECT_LT(holder - marks.data(), owner - marks.data());   // the owner's flag lies over it
  EXPECT_GT(holder->period, 0);
  // Owner and holder apart without a fort: only the owner's flag, steady.
  land[5].fort = 0;
  draw(1, 5);
  EXPECT_EQ(count(marks, MarkKind::blink, TRS_FLAGS, -1), 1);
  EXPECT_EQ(count(marks, MarkKind::blink, TRS_FLAGS, 8), 1);
  EXPECT_EQ(first(marks, MarkKind::blink, TRS_FLAGS, 8)->period, 0);
  // Nations beyond the last show the plain flag.
  land[5].owner = 200;
  draw(1, 5);
  EXPECT_EQ(count(marks, MarkKind::blink, TRS_FLAGS, 0), 1);
  // The map editor's plain flags.
  marks.clear();
  overlaymarks(marks, 1, 5, 1, 0, 0);
  ASSERT_EQ(marks.size(), 1u);
  EXPECT_EQ(marks[0].nr, 0);
  EXPECT_FLOAT_EQ(marks[0].y, 300);
}

TEST_F(Overlay, VeyranceAsCandlesOrInTheIncomeBox) {
  land[5].infolevel = INFO_NAME | INFO_VEYRANCE;
  land[5].veystr = 5;
  land[5].veyowner = 2;
  mapfilter = MAPF_VEYRANCE;
  draw(1, 5);
  // Another player's veyrance, five candles in pairs, the second of a pair
  // behind and lower.
  EXPECT_EQ(icons(marks, ICON_FOREIGNVEYRANCE), 5);
  const float u = mapmarkerunit(), r = maprawunit();
  ASSERT_EQ(marks.size(), 5u);
  EXPECT_FLOAT_EQ(marks[0].x, 400 - 0.6f * r);
  EXPECT_FLOAT_EQ(marks[1].x, 400 - 0.6f * r - 0.048f * u);
  EXPECT_FLOAT_EQ(marks[1].y, 300 - 0.12f * u);
  EXPECT_FLOAT_EQ(marks[4].x, 400 - 0.6f * r - 0.24f * u);
  // With the income box on, veyrance is shown only in it.
  mapfilter = MAPF_VEYRANCE | MAPF_INCOME;
  draw(1, 5);
  EXPECT_EQ(count(marks, MarkKind::sprite50mid, -1, -1), 0);
  EXPECT_EQ(count(marks, MarkKind::sprite40mid, TRS_MISC, ICON_FOREIGNVEYRANCE), 5);
  // A strength beyond reason (a damaged file) shows at most 100 icons.
  land[5].veystr = 30000;
  draw(1, 5);
  EXPECT_EQ(count(marks, MarkKind::sprite40mid, TRS_MISC, ICON_FOREIGNVEYRANCE), 100);
  // Unknown veyrance is shown nowhere.
  land[5].infolevel = INFO_NAME;
  draw(1, 5);
  EXPECT_TRUE(marks.empty());
}

TEST_F(Overlay, IncomeBoxLeftOutWhenRecruitmentTakesEveryResource) {
  land[5].owner = land[5].fortholder = 1;
  land[5].fort = 1;
  land[5].infolevel = 0xAFB;
  land[5].population = 150;
  land[5].baseres = 400;
  mapfilter = MAPF_INCOME;
  const int32_t res = getresources(5, 1) / 20;
  ASSERT_GT(res, 0);
  ASSERT_EQ(getbaseincome(5) / 25, 0);
  draw(1, 5);
  EXPECT_EQ(count(marks, MarkKind::box, -1, -1), 1);
  EXPECT_EQ(icons(marks, ICON_FREERESOURCES), std::min(res, 10));
  // A queue that needs all of it: the resources are shown used, and with no
  // gold or veyrance left the box goes.
  settype(30, "Digger").weapon[0] = 1;
  setweapon(1, "Pick").rcost = int16_t(getresources(5, 1));
  land[5].queue[0] = 30;
  land[5].queuecount = 1;
  ASSERT_GE(recruitqueueres(5), getresources(5, 1));
  draw(1, 5);
  EXPECT_TRUE(marks.empty());
  land[5].extraincome = 100;
  draw(1, 5);
  EXPECT_EQ(icons(marks, ICON_USEDRESOURCES), std::min(res, 10));
  EXPECT_EQ(icons(marks, ICON_FREERESOURCES), 0);
  EXPECT_EQ(icons(marks, ICON_GOLD), std::min(getbaseincome(5) / 25, 10));
}

TEST_F(Overlay, MarkersPresenceAndTerrain) {
  land[5].owner = land[5].fortholder = 2;
  land[5].infolevel = 0x347;
  land[5].vpword = 7 | 8;
  mkcom(1, 1, 5);
  settype(1, "Captain");
  cachearmysizes(1);
  addench(3, 0, 1, 5, 0);
  draw(1, 5);
  EXPECT_EQ(icons(marks, ICON_VICTORYPOINT), 7);
  EXPECT_EQ(icons(marks, ICON_BATTLE), 1);
  EXPECT_EQ(icons(marks, ICON_ENCHANTMENT), 1);
  EXPECT_EQ(count(marks, MarkKind::spritecol, TRS_MISC, ICON_PRESENCE), 1);
  // No presence marker on the viewer's own land.
  land[5].owner = 1;
  draw(1, 5);
  EXPECT_EQ(count(marks, MarkKind::spritecol, -1, -1), 0);
  // Terrain icons in a centred row; a cave hides its mountains.
  provgeo[5].terrain = TM_FOREST | TM_MOUNTAINS | TM_BORDERMOUNT | TM_FARM;
  mapfilter = MAPF_TERRAIN;
  draw(1, 5);
  ASSERT_EQ(marks.size(), 4u);
  const int16_t want[] = {ICON_FOREST, ICON_MOUNTAINS, ICON_MOUNTAINS, ICON_FARM};
  const float u = mapmarkerunit(), r = maprawunit();
  for (int32_t k = 0; k < 4; k++) {
    EXPECT_EQ(marks[size_t(k)].nr, want[k]);
    EXPECT_FLOAT_EQ(marks[size_t(k)].x, 400 + (-3 * 0.75f * r - 0.75f * u) / 2 + float(k) * 0.75f * r);
  }
  provgeo[5].terrain |= TM_CAVE;
  draw(1, 5);
  EXPECT_EQ(icons(marks, ICON_MOUNTAINS), 0);
  EXPECT_EQ(icons(marks, ICON_CAVE), 1);
}

TEST_F(Overlay, SizesFollowTheZoomWithAFloor) {
  land[5].infolevel = INFO_NAME;
  land[5].owner = 3;
  mapfilter = MAPF_FLAGS | MAPF_NAMES;
  provgeo[5].terrain = TM_LARGE;
  mapzoom = 2;
  draw(1, 5);
  EXPECT_FLOAT_EQ(first(marks, MarkKind::blink, TRS_FLAGS, 4)->w, 72);
  EXPECT_FLOAT_EQ(first(marks, MarkKind::name, 0, 5)->w, 0.75f * 72 * 1.1f);
  // Far out the flags keep 10 units while the name's lift keeps shrinking.
  mapzoom = 0.1f;
  mapcamx = 500;
  draw(1, 5);
  const MapMark* name = first(marks, MarkKind::name, 0, 5);
  ASSERT_NE(name, nullptr);
  EXPECT_FLOAT_EQ(first(marks, MarkKind::blink, TRS_FLAGS, 4)->w, 10);
  EXPECT_FLOAT_EQ(name->y, 300 + 0.8f * 3.6f);
  // The default zoom of the map sets the scale.
  defaultmapzoom = 0.5f;
  mapzoom = 1;
  draw(1, 5);
  EXPECT_FLOAT_EQ(first(marks, MarkKind::blink, TRS_FLAGS, 4)->w, 72);
}

TEST_F(Overlay, WrappingMapShowsMarkersOnBothSides) {
  setmap(1000, 800, true);
  land[1].infolevel = INFO_NAME;
  land[1].owner = 3;
  mapfilter = MAPF_FLAGS;
  mapzoom = 0.8f;   // the map 800 units wide: land 1 at x 80 and 880
  draw(1, 1);
  ASSERT_EQ(marks.size(), 9u);
  bool left = false, right = false;
  for (const MapMark& m : marks) {
    left = left || (m.x > 0 && m.x < 100);
    right = right || (m.x > 800 - 50 && m.x < 900);
  }
  EXPECT_TRUE(left && right);
  // Without wrap: one flag, and nothing once the land is far off.
  setmap(1000, 800, false);
  draw(1, 1);
  EXPECT_EQ(marks.size(), 1u);
  mapcamx = 2000;
  draw(1, 1);
  EXPECT_TRUE(marks.empty());
}

// Five names on one point, one of them a large province's, and a castle
// among them: every known name shows, each at its own province's place,
// none left out for another that covers it, whichever province is chosen
// and wherever the camera stands; a name the viewer does not know is not
// drawn.
TEST_F(Overlay, CrowdedNamesAllShowAtTheirOwnProvinces) {
  for (int32_t l = 1; l <= nbrlands; l++) land[size_t(l)].infolevel = INFO_NAME;
  mapfilter = MAPF_NAMES;
  for (int32_t l = 2; l <= 6; l++) placeland(l, 500, 400, l == 4 ? TM_LARGE : 0);
  land[6].fort = 1;
  auto shown = [&](int32_t selected) {
    marks.clear();
    overlaymarksall(marks, 1, selected, 100000);
    std::vector<int32_t> names;
    for (const MapMark& m : marks)
      if (m.kind == MarkKind::name) {
        names.push_back(m.nr);
        EXPECT_FLOAT_EQ(m.x, L2Sx(m.nr)) << m.nr;
        EXPECT_FLOAT_EQ(m.y, L2Sy(m.nr) + 0.8f * maprawunit()) << m.nr;
      }
    return names;
  };
  // The small world's provinces all lie on the screen.
  std::vector<int32_t> all;
  for (int32_t l = 1; l <= nbrlands; l++) all.push_back(l);
  EXPECT_EQ(shown(0), all);
  EXPECT_EQ(shown(6), all);
  mapcamx += 37, mapcamy -= 11;
  EXPECT_EQ(shown(3), all);
  land[5].infolevel = 0;
  std::erase(all, 5);
  EXPECT_EQ(shown(2), all);
}

TEST_F(Overlay, LandsOffTheMapDrawNothing) {
  land[5].infolevel = INFO_NAME;
  placeland(5, -1, 300);
  draw(1, 5);
  EXPECT_TRUE(marks.empty());
  draw(1, nbrlands + 1);
  EXPECT_TRUE(marks.empty());
  draw(1, 1504);
  EXPECT_TRUE(marks.empty());
  EXPECT_DEATH(draw(1, -1), "flag: bad lnr");
}

}  // namespace
