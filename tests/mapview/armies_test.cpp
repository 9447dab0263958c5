// Army figures, scouted armies and move arrows on a small world built here.
#include <algorithm>
#include <cmath>
#include <initializer_list>
#include <utility>

#include "mapview/mapsupport.h"
#include "mapview/overlay.h"
#include "runtime/settings.h"
#include "runtime/trs.h"
#include "world/hoststate.h"
#include "world/provinfo.h"
#include "world/siteentry.h"

namespace {

class Armies : public MapWorld {
 protected:
  MapMarks marks;
  void SetUp() override {
    MapWorld::SetUp();
    mapfilter = 0xFFF;
    fastgrx = 0;
    for (int32_t l = 1; l <= nbrlands; l++) placeland(l, 100 * l, 400);   // land 5 at the screen centre
    for (int32_t t = 1; t <= 3; t++) settype(t, "Soldier").sprite = uint16_t(100 + t);
  }
  // Units of the types and counts for the owner in the land (the owner's
  // land unless another holds it), the cache made.
  void army(int32_t lnr, int32_t owner, std::initializer_list<std::pair<int32_t, int32_t>> kinds) {
    if (land[size_t(lnr)].owner == INDEPENDENTS) land[size_t(lnr)].owner = land[size_t(lnr)].fortholder = uint8_t(owner);
    for (auto [type, n] : kinds)
      for (int32_t k = 0; k < n; k++) mkunit(type, owner, lnr);
    cachearmysizes(owner);
  }
  int32_t figures(int32_t sprite = -1) const {
    return int32_t(std::count_if(marks.begin(), marks.end(), [&](const MapMark& m) {
      return m.kind == MarkKind::sprite50mid && m.file == TRS_ARMY && (sprite < 0 || m.nr == sprite);
    }));
  }
  // Rows of figures by height, back row first.
  std::vector<std::vector<const MapMark*>> rows() const {
    std::vector<std::vector<const MapMark*>> out;
    for (const MapMark& m : marks) {
      if (m.kind != MarkKind::sprite50mid) continue;
      if (out.empty() || fabsf(out.back().back()->y - m.y) > 1e-4f) out.emplace_back();
      out.back().push_back(&m);
    }
    return out;
  }
  void crowd(int32_t n) {
    marks.clear();
    armymarks(marks, 5, n, 400, 300, 40);
  }
  int32_t mover(int32_t lnr, Order order, int32_t dest, uint32_t arrowtime = 0, int32_t owner = 1) {
    const int32_t c = mkcom(1, owner, lnr);
    com[size_t(c)].order = order;
    com[size_t(c)].orderparam = dest;
    com[size_t(c)].arrowtime = arrowtime;
    return c;
  }
  std::vector<const MapMark*> arrows() const {
    std::vector<const MapMark*> out;
    for (const MapMark& m : marks)
      if (m.kind == MarkKind::arrow) out.push_back(&m);
    return out;
  }
  void draw(int32_t player, int32_t lnr, uint32_t now = 100000) {
    marks.clear();
    overlaymarks(marks, player, lnr, 2, 0, now);
  }
};

TEST_F(Armies, FigureCountsAndRows) {
  army(5, 1, {{1, 700}});
  for (int32_t n : {1, 9}) {
    crowd(n);
    EXPECT_EQ(figures(), 1) << n;
  }
  crowd(50);
  EXPECT_EQ(figures(), 10);
  EXPECT_EQ(rows().size(), 1u);
  for (int32_t n : {51, 54}) {
    crowd(n);
    EXPECT_EQ(figures(), 10);
  }
  crowd(600);
  EXPECT_EQ(figures(101), 120);
  EXPECT_EQ(rows().size(), 12u);
  crowd(5000);
  EXPECT_EQ(figures(), 120);
  // A full row is centred, the rows stand back to front and shift in turn.
  crowd(50);
  const float s = 40, d = s / 8;
  EXPECT_FLOAT_EQ(marks.front().x, 400 - 9 * s / 16);
  EXPECT_FLOAT_EQ(marks[1].x - marks[0].x, d);
  crowd(100);
  auto r = rows();
  ASSERT_EQ(r.size(), 2u);
  EXPECT_GT(r[0][0]->y, r[1][0]->y);
  EXPECT_NEAR(r[1][0]->x - r[0][0]->x, 0.1f * s, 1e-4);
  // 120 units: three rows, the back row with its 4 figures at its right end.
  crowd(120);
  r = rows();
  ASSERT_EQ(r.size(), 3u);
  ASSERT_EQ(r[0].size(), 4u);
  EXPECT_FLOAT_EQ(r[0].back()->x, 400 - 9 * s / 16 + 9 * d);
  // Nothing far off screen, for no units, or outside the map's lands.
  marks.clear();
  armymarks(marks, 5, 50, 950, 300, 40);
  armymarks(marks, 5, 0, 400, 300, 40);
  armymarks(marks, 0, 50, 400, 300, 40);
  armymarks(marks, 11, 50, 400, 300, 40);
  EXPECT_TRUE(marks.empty());
}

TEST_F(Armies, SecondTypeFillsWholeBackRows) {
  army(5, 1, {{1, 65}, {2, 55}});
  crowd(120);   // 24 figures; 11 of the second type: its rows are drawn first
  auto r = rows();
  ASSERT_EQ(r.size(), 3u);
  EXPECT_EQ(r[0].size(), 4u);
  for (const auto& row : {r[0], r[1]})
    for (const MapMark* m : row) EXPECT_EQ(m->nr, 102);
  for (const MapMark* m : r[2]) EXPECT_EQ(m->nr, 101);
  // One row of figures never shows a second type.
  crowd(23);
  EXPECT_EQ(figures(101), 4);
  EXPECT_EQ(figures(102), 0);
}

TEST_F(Armies, FewOfTheSecondTypeAndBadTypes) {
  army(5, 1, {{1, 300}, {2, 4}});
  crowd(300);
  EXPECT_EQ(figures(102), 0);
  EXPECT_EQ(figures(101), 60);
  // A second type outside the table (a damaged record) is drawn as the first.
  army(6, 1, {{1, 50}, {2, 30}});
  for (int32_t u = highestunit - 29; u <= highestunit; u++) unit[size_t(u)].type = 5000;
  cachearmysizes(1);
  marks.clear();
  armymarks(marks, 6, 80, 400, 300, 40);
  EXPECT_EQ(figures(101), 16);
  // A most common type outside it stops the program.
  army(7, 2, {{1, 5}});
  for (int32_t u = highestunit - 4; u <= highestunit; u++) unit[size_t(u)].type = 4000;   // damaged records
  cachearmysizes(2);
  marks.clear();
  EXPECT_DEATH(armymarks(marks, 7, 5, 400, 300, 40), "dnab: bad mnr");
}

TEST_F(Armies, OwnScoutedAndReducedGraphicsArmies) {
  land[5].owner = land[5].fortholder = 1;
  land[6].owner = land[6].fortholder = 2;
  land[6].infolevel = INFO_NAME;
  placeland(6, 520, 400);
  army(5, 1, {{1, 100}});
  army(6, 2, {{2, 100}});
  cachearmysizes(1);
  mapfilter = MAPF_ARMIES;
  draw(1, 5);
  EXPECT_EQ(figures(101), 20);
  // The foreign army shows only through a scout report of the viewer.
  draw(1, 6);
  EXPECT_EQ(figures(), 0);
  const int32_t m = newmsg(6, 1, MT_SCOUT, 0);
  ASSERT_GE(m, 0);
  message[size_t(m)].subj[1] = 40;
  message[size_t(m)].subj[2] = 3;
  cachearmysizes(1);
  draw(1, 6);
  EXPECT_EQ(figures(103), 8);
  // Another player's report is not the viewer's.
  message[size_t(m)].player = 2;
  cachearmysizes(1);
  draw(1, 6);
  EXPECT_EQ(figures(), 0);
  // With reduced graphics an army is one box by the root of its size.
  message[size_t(m)].player = 1;
  cachearmysizes(1);
  fastgrx = 1;
  draw(1, 5);
  ASSERT_EQ(marks.size(), 1u);
  const float u = mapmarkerunit();
  EXPECT_FLOAT_EQ(marks[0].w, 0.07f * 10 * u);
  EXPECT_FLOAT_EQ(marks[0].b, 0.6f);
  draw(1, 6);
  ASSERT_EQ(marks.size(), 1u);
  EXPECT_FLOAT_EQ(marks[0].w, 0.07f * 7 * u);
  EXPECT_FLOAT_EQ(marks[0].r, 0.6f);
  fastgrx = 0;
}

TEST_F(Armies, ArrowsOncePerDestinationInThreeWalks) {
  land[5].owner = 1;
  mover(5, Order::move, 6);
  mover(5, Order::movepatrol, 6);
  for (int32_t dest : {7, 8, 7, 8, 7}) mover(5, Order::move, dest);
  mover(5, Order::sneak, 6);
  mover(5, Order::sneak, 5);   // hiding in place: an arrow to itself
  mover(5, Order::defend, 9);
  mover(5, Order::move, 0);
  mover(5, Order::move, nbrlands + 1);
  mover(5, Order::move, 9, 0, 2);   // another player's
  cachearmysizes(1);
  mapfilter = MAPF_ARMIES | MAPF_ARROWS;
  draw(1, 5);
  auto a = arrows();
  ASSERT_EQ(a.size(), 5u);
  // Sneaks first, then moves.
  EXPECT_EQ(a[0]->nr, ARROW_SNEAK);
  EXPECT_EQ(a[1]->nr, ARROW_SNEAK);
  for (int32_t k = 2; k < 5; k++) EXPECT_EQ(a[size_t(k)]->nr, ARROW_MOVE);
  for (const MapMark* m : a) EXPECT_FLOAT_EQ(m->a, 0.8f);
  // From land 5 to 6 at zoom 1: 100 units, the move arrow backed off.
  EXPECT_FLOAT_EQ(a[2]->h, 100 - 0.9f * a[2]->w);
  EXPECT_NEAR(a[2]->angle, 90, 1e-4);   // pointing right
  EXPECT_FLOAT_EQ(a[2]->w, 0.75f * mapmarkerunit());
  // Arrows need their filter bit, and the viewer's commanders in the land.
  mapfilter = MAPF_ARMIES;
  draw(1, 5);
  EXPECT_TRUE(arrows().empty());
  mapfilter = MAPF_ARMIES | MAPF_ARROWS;
  cachearmysizes(3);
  draw(3, 5);
  EXPECT_TRUE(arrows().empty());
}

TEST_F(Armies, OrderedArrowsGrowThenRest) {
  const uint32_t now = 100000;
  land[5].owner = 1;
  const int32_t fresh = mover(5, Order::move, 7, now - 300);
  const int32_t old = mover(5, Order::sneak, 3, now - 6000);
  mover(5, Order::move, 6);
  cachearmysizes(1);
  mapfilter = MAPF_ARMIES | MAPF_ARROWS;
  draw(1, 5, now);
  auto a = arrows();
  ASSERT_EQ(a.size(), 3u);
  EXPECT_EQ(a[0]->nr, ARROW_MOVE);   // untouched
  EXPECT_EQ(a[1]->nr, ARROW_ORDERED);
  EXPECT_EQ(a[2]->nr, ARROW_ORDERED);
  // 200 units long grows at 10 widths a second.
  const float w = a[1]->w, full = 200 - 0.9f * w;
  const float progress = 300.0f / (200 * 1000 / (10 * w));
  ASSERT_LT(progress, 1);
  EXPECT_FLOAT_EQ(a[1]->drawn, progress * full);
  EXPECT_FLOAT_EQ(a[1]->a, 0.2f + 0.6f * progress);
  EXPECT_EQ(com[size_t(fresh)].arrowtime, now - 300);
  // One older than 5 seconds is whole, and marked touched.
  EXPECT_FLOAT_EQ(a[2]->drawn, a[2]->h);
  EXPECT_FLOAT_EQ(a[2]->a, 0.8f);
  EXPECT_EQ(com[size_t(old)].arrowtime, 1u);
  // A time ahead of the clock (it went round) is touched too.
  com[size_t(fresh)].arrowtime = now + 10;
  draw(1, 5, now);
  EXPECT_EQ(com[size_t(fresh)].arrowtime, 1u);
  // Across the 32-bit wrap of the clock the arrow still grows.
  com[size_t(fresh)].arrowtime = 0xFFFFFF00u;
  draw(1, 5, 0x100u);
  EXPECT_LT(arrows()[1]->drawn, arrows()[1]->h);
}

TEST_F(Armies, ArrowSpritesAndDegenerateArrows) {
  arrowspritemark(marks, ARROW_NEIGHBOUR, 0, 100, 100, 100, 200, 10, 0);
  arrowspritemark(marks, ARROW_SNEAK, 1, 100, 100, 0, 100, 10, 0);
  arrowspritemark(marks, ARROW_MOVE, 500, 100, 100, 100, 100, 0, 600);
  ASSERT_EQ(marks.size(), 3u);
  EXPECT_FLOAT_EQ(marks[0].h, 105);   // reaches half a width beyond
  EXPECT_NEAR(marks[0].angle, 0, 0.01);   // upward
  EXPECT_EQ(marks[1].nr, ARROW_ORDERED);
  EXPECT_NEAR(marks[1].angle, -90, 0.01);   // leftward
  for (const MapMark& m : marks) {
    EXPECT_TRUE(std::isfinite(m.drawn) && std::isfinite(m.a) && std::isfinite(m.angle));
  }
  EXPECT_FLOAT_EQ(marks[2].a, 0.8f);
}

TEST_F(Armies, ArrowsAcrossTheSeamTakeTheShortWay) {
  setmap(1000, 800, true);
  placeland(1, 980, 400);
  placeland(2, 20, 400);
  land[1].owner = 1;
  mover(1, Order::move, 2);
  cachearmysizes(1);
  mapfilter = MAPF_ARMIES | MAPF_ARROWS;
  draw(1, 1);
  auto a = arrows();
  ASSERT_EQ(a.size(), 9u);   // once from each copy of the source
  // Rightward across the seam, 40 units; the copies found lie a unit
  // closer than those drawn, so some arrows are a unit shorter or askew.
  for (const MapMark* m : a) {
    EXPECT_NEAR(m->h + 0.9f * m->w, 39, 1.1f);
    EXPECT_NEAR(m->angle, 90, 2);
  }
}

// The whole-map overlay finds the arrow commanders once per frame; it must
// give the same marks as drawing each land by itself.
TEST_F(Armies, WholeMapOverlayMatchesLandByLand) {
  for (int32_t l = 1; l <= nbrlands; l++) land[size_t(l)].owner = land[size_t(l)].fortholder = uint8_t(l % 3);
  for (int32_t l = 1; l <= nbrlands; l++) {
    army(l, l % 3, {{1, 10 * l}});
    mover(l, Order::move, l % nbrlands + 1);
    mover(l, Order::sneak, (l + 2) % nbrlands + 1, 99000);
  }
  // An army and a mover in a land no longer on the map add nothing.
  army(nbrlands + 2, 1, {{1, 40}});
  mover(nbrlands + 2, Order::move, 3);
  cacheinfolevels(1, 1);
  cachearmysizes(1);
  mapzoom = 0.5f;
  MapMarks bylands;
  for (int32_t l = 0; l <= nbrlands; l++) overlaymarks(bylands, 1, l, 2, l == 4, 100000);
  overlaymarksall(marks, 1, 4, 100000);
  ASSERT_EQ(marks.size(), bylands.size());
  EXPECT_GT(std::count_if(marks.begin(), marks.end(), [](const MapMark& m) { return m.kind == MarkKind::arrow; }), 3);
  for (size_t i = 0; i < marks.size(); i++) {
    const MapMark &a = marks[i], &b = bylands[i];
    ASSERT_TRUE(a.kind == b.kind && a.file == b.file && a.nr == b.nr && a.x == b.x && a.y == b.y && a.w == b.w &&
                a.h == b.h && a.a == b.a && a.angle == b.angle && a.drawn == b.drawn && a.period == b.period)
        << "mark " << i;
  }
}

}  // namespace
